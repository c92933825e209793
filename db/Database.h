#pragma once

#include "common/Dialogs.h"
#include "db/FilterSyntax.h"
#include "db/TableRow.h"
#include "db/TableStore.h"

#include <QVariantList>
#include <QVariantMap>

#include <array>
#include <functional>
#include <map>
#include <optional>
#include <vector>

namespace kront
{

class TBunch;
class TPoverka;
struct SqlFilter;

// The record operations on the six tables and the added ones, in the table
// files of <home>/Data (OpenTables: the files stay open for the life of the
// object) or on a database server (ServerTables); every operation does its
// work in one transaction that is committed before it returns, so a kill at
// any moment afterwards loses nothing of it.
//
// Tables are named by their schema object (tables::Poverki, ...). Rows to
// insert are built by field name (TableRow); a null (or invalid) QVariant is
// null; the store assigns the auto-increment ID. Filters are in the program's
// filter dialect (FilterSyntax.h); an empty filter passes every row. A filter that does not
// parse changes nothing: the operation reports it through its result, shows
// the error and keeps it in lastFilterError().
class Database
{
public:
    // On the store the home's settings name (storeFromSettings()).
    explicit Database(Dialogs &dialogs);
    Database(Dialogs &dialogs, std::unique_ptr<TableStore> store);
    ~Database();

    TableStore &store() { return *tables; }

    // The installation this program is: the verifications it starts are
    // marked with it, and the references used by the unfinished verifications
    // of other installations are kept from changes. From the [Store] section
    // of the home's settings unless set.
    const QString &installation() const { return installationName; }
    void setInstallation(const QString &name);

    // Start-up check: creates each missing table file, in the order Poverki,
    // EtalSens, Sensors, BunchesTP, ResultsTP, Documents, then the added
    // tables (IzvReasons, Conditions, ...), and on a server its own
    // (DocCounters). Present files are
    // not touched. On the first file that cannot be created its message is
    // shown and the check ends (false).
    bool ensureTables();
    // Whether the table is there (see TableStore::hasTable).
    bool hasTable(const TableSchema &table) const { return tables->hasTable(table); }
    // Makes the table when it is missing; false after its insert message
    // when it cannot be made.
    bool ensureTable(const TableSchema &table);

    // Inserts: one row of that table each; false when nothing was stored
    // (table not opened, a row of another table or with an unknown field
    // name, a value that does not fit its field, a write failure), after the
    // table's insert message.
    bool DBPoverkaInsert(const TableRow &row);
    bool DBEtalSensInsert(const TableRow &row);
    bool DBSensorsInsert(const TableRow &row);
    bool DBBunchesTPInsert(const TableRow &row);
    bool DBResultsTPInsert(const TableRow &row);
    bool DBDocInsert(const TableRow &row);
    // The ID the store gave the last row this object inserted into a table
    // with an ID (0 before the first); the caller takes it right after its
    // insert succeeded.
    int lastInsertedID() const { return lastInserted; }

    // Starts a verification: its Poverki row and the Installations row that
    // names this installation, in one transaction. The new verification's ID;
    // 0 when nothing was stored, after the Poverki insert message.
    int startVerification(const TableRow &poverkiRow);
    // The installations of these verifications (those without one are not
    // in the map: they belong to every installation). nullopt when the table
    // cannot be read (message shown).
    std::optional<std::map<int, QString>> installationsOf(const std::vector<int> &poverkaIDs);

    // Document numbers on a server shared by several installations; the
    // counters are the DocCounters rows by name. takeDocumentNumber gives the
    // next number of the counter and moves it on, in one transaction, so that
    // no two installations get the same one; a counter not yet on the server
    // starts at `firstNumber` (the number the home's settings would give
    // next). nullopt after the message when the table cannot be written or
    // the counter is at its end.
    std::optional<int> takeDocumentNumber(const QString &counter, int firstNumber);
    // A number given by hand was used: the counter moves past it when it is
    // not past it already. False after the message on a failed write.
    bool documentNumberUsed(const QString &counter, int number);

    // Queries; -1 for failure or "none".
    // Rows passing the filter; Sensors, EtalSens, Poverki, BunchesTP, ResultsTP only.
    int DBGetRecordsCount(const TableSchema &table, const QString &filter);
    // The same for any table, counting no further than `limit` rows (-1: all):
    // enough to size a list shown a page at a time without walking the whole
    // range of a large table.
    int countRows(const TableSchema &table, const QString &filter, int limit);
    // The largest ID (0 for an empty table); with a filter, that ID only when
    // its row passes the filter, else -1. Tables with an ID only.
    int DBGetMaxID(const TableSchema &table, const QString &filter);
    // The ID of the only row passing the filter; -1 for an empty filter, no
    // row or several rows. Sensors, EtalSens, Poverki, BunchesTP only.
    int DBGetID(const TableSchema &table, const QString &filter);

    // Updates of one row by ID; a missing row changes nothing (false).
    bool DBPoverkaUpdateState(int poverkaID, const QString &state);
    bool DBPoverkaTPSetStepCount(int poverkaID, int count);
    bool DBBunchTPSetTerminated(int bunchID, int pointNum);
    // Stores the current time in poverka->Finished (when given) and in the
    // row; true only when the row was updated.
    bool DBPoverkaSetFinished(int poverkaID, TPoverka *poverka);
    // Every field after ID from an EtalSens row (fields not set become
    // null); a row of another table or with an unknown field name is not
    // assigned. A reference used by an unfinished verification of another
    // installation is not changed (the refusal is shown); the check is made
    // in the transaction of the change. The same holds for DBDeleteEtalSens.
    bool DBEtalSensUpdateAllByID(int etalID, const TableRow &row);
    // ResultInp1..4 from result codes results[1..4]: <0 empty, 10 "Бр.",
    // else the class digits. The row is found by ID and PoverkaID.
    bool DBUpdateBunchesTPResults(int bunchID, int poverkaID, const std::array<int, 5> &results);

    // Deletions; false when nothing could be done (table not opened, filter
    // error, a failed write), after the message. Cascades are one transaction
    // over all the files involved.
    bool DBDeletePoverka(const QString &filter); // with its ResultsTP and BunchesTP rows
    bool DBDeleteBunchesTP(const QString &filter);
    bool DBDeleteResultsTPFilter(const QString &filter);
    bool DBDeleteResultsTPByPovID(const QString &filter);
    bool DBDeleteEtalSensFilter(const QString &filter);
    bool DBDeleteSensor(int sensorID);
    bool DBDeleteEtalSens(int etalID);
    bool DBDeletePartialData(int poverkaID); // bunches with their sensors, then the Poverki row
    bool DBDeleteBunchesTPwithSensors(const QString &filter);

    // Loading sensors into bunch objects; true whenever the table could be
    // opened, whether or not the row exists.
    bool DBReadEtalSensor(int etalID, TBunch &bunch);
    bool DBReadPovSensor(int sensorID, int input, TBunch &bunch, TPoverka *current);

    // The graduation point of reference sensor etalID nearest to emf (mV):
    // its EMF and temperature, or -300 for both when emf lies outside the
    // graduated span or the sensor has no graduation. False (both -300) when
    // the table cannot be opened.
    bool DBGetEtalSvidData(int etalID, double &pointEMF, double &pointTemp, double emf);
    // The ends of that graduated span: the points of the lowest and the
    // highest EMF; -300 for all when the sensor has no graduation. False (all
    // -300) when the table cannot be opened.
    bool DBGetEtalSvidSpan(int etalID, double &lowEMF, double &lowTemp, double &highEMF,
                           double &highTemp);

    // General access for the code that walks a table. Rows passing the
    // filter as field name -> value maps, ordered by `orderBy` (field names,
    // comma-separated, each optionally followed by " DESC"; "ID" means table
    // order for ResultsTP). nullopt when the table cannot be opened (the
    // message shown is openFailureText, else the table's own) or the filter
    // or order is wrong.
    std::optional<std::vector<QVariantMap>> select(const TableSchema &table, const QString &filter,
                                                   const QString &orderBy = QStringLiteral("ID"),
                                                   int limit = -1,
                                                   const QString &openFailureText = QString());
    // The same for the named fields only: each row's values in the order of
    // `fieldNames`, from the offset-th row on; nullopt as well for an unknown
    // field name. AsStored
    // gives the values as the file holds them (date-times as their stored
    // local-time text, booleans as 0/1), for lists of many rows that only
    // show them.
    enum class ValueForm { Typed, AsStored };
    std::optional<std::vector<QVariantList>>
    selectFields(const TableSchema &table, const QStringList &fieldNames, const QString &filter,
                 const QString &orderBy = QStringLiteral("ID"), int limit = -1, int offset = 0,
                 const QString &openFailureText = QString(), ValueForm form = ValueForm::Typed);
    // Inserts several rows of that table in one transaction (all or none;
    // none after the table's insert message).
    bool insertRows(const TableSchema &table, const std::vector<TableRow> &rows);
    // Replaces every row of the table with these in one transaction (the same messages).
    bool replaceRows(const TableSchema &table, const std::vector<TableRow> &rows);
    // Inserts rows with the IDs they carry (moving a lab between stores), in
    // one transaction, and moves the table's ID counter past the largest, so
    // that the next row inserted gets a new ID. The same messages as insertRows.
    bool importRows(const TableSchema &table, const std::vector<TableRow> &rows);
    // Sets the given fields of every row passing the filter; the number of
    // rows changed, -1 on failure.
    int updateWhere(const TableSchema &table, const QString &filter, const QVariantMap &values,
                    const QString &openFailureText = QString());

    // The reads that join tables: `read` runs its statements on one connection
    // over `main` with `attached` attached, in one read transaction, and gives
    // the table it could not read (nullptr when all went well). False after the
    // message of the table whose file could not be opened or read.
    using JoinedRead = std::function<const TableSchema *(sql::Connection &)>;
    bool readTables(const TableSchema &main, const std::vector<const TableSchema *> &attached,
                    const JoinedRead &read);

    // The error of the last filter that did not parse or compile, cleared by
    // every operation that takes a filter.
    const std::optional<FilterError> &lastFilterError() const { return filterError; }

private:
    // The table's connection for one operation, with `attached` attached
    // (one transaction over all their files). When a file cannot be opened,
    // null after its table's message (failureText, else the table's own, for
    // the first table).
    TableStore::Operation openTable(const TableSchema &schema, TableStore::Mode mode,
                                    const QString &failureText,
                                    const std::vector<const TableSchema *> &attached = {});
    std::optional<SqlFilter> compile(const QString &filter, const TableSchema &schema);
    enum class InsertKind { New, Replace, KeepIds };
    bool insertAll(const TableSchema &schema, const std::vector<TableRow> &rows,
                   InsertKind kind = InsertKind::New);
    using FieldValues = std::vector<std::pair<int, QVariant>>; // field index, value
    enum class EditResult { Updated, NotFound, NotEditable, Unassignable, PostFailed, Refused };
    // Runs inside an edit's transaction before the change: Refused stops it.
    using EditCheck = std::function<EditResult(StoreOperation &)>;
    // Sets `values` in the row whose fields equal `key`, in one transaction.
    EditResult editRow(StoreOperation &file, const FieldValues &key, const FieldValues &values,
                       const EditCheck &check = {});
    // Within a write transaction on EtalSens (with BunchesTP, Poverki and
    // Installations attached on the table files): the refusal text when the
    // reference is used by an unfinished verification of another
    // installation, an empty text when it is free, nullopt when the tables
    // could not be read.
    std::optional<QString> referenceInUseElsewhere(StoreOperation &file, int etalID);
    // The tables that check reads besides EtalSens (none on a home made
    // before installations were marked: there every verification is this
    // installation's).
    std::vector<const TableSchema *> referenceUseTables() const;
    // A home made before verifications were marked has no Installations table
    // until its start-up check runs.
    bool hasInstallationsTable() const;
    bool updateById(const TableSchema &schema, int id, const FieldValues &values);
    bool finishEdit(const TableSchema &schema, EditResult result);
    // Starts the operation's write transaction; a locked file shows the
    // open-failure text (failureText, else the table's own).
    // mainTableOnly: the operation changes its main table and reads the others.
    bool beginWrite(StoreOperation &file, const QString &failureText, bool mainTableOnly = false);
    bool deleteWhere(const TableSchema &schema, const QString &filter);
    // The row with that ID; `opened` tells whether the table could be opened.
    std::optional<QVariantMap> rowById(const TableSchema &schema, int id,
                                       const QString &failureText, bool &opened);

    Dialogs &dialogs;
    std::optional<FilterError> filterError;
    std::unique_ptr<TableStore> tables;
    QString installationName;
    int lastInserted = 0;
};

} // namespace kront
