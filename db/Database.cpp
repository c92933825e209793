#include "db/Database.h"

#include "common/Clock.h"
#include "db/FieldValue.h"
#include "db/FilterCompiler.h"
#include "settings/StoreSettings.h"

#include <algorithm>

namespace kront
{

Database::Database(Dialogs &d) : Database(d, storeFromSettings()) {}

Database::Database(Dialogs &d, std::unique_ptr<TableStore> store)
    : dialogs(d), tables(std::move(store)), installationName(loadStoreSettings().installation)
{
}

void Database::setInstallation(const QString &name)
{
    installationName = name.trimmed().left(kInstallationNameLength);
}

Database::~Database() = default;

bool Database::ensureTables()
{
    std::vector<const TableSchema *> all(allTables().begin(), allTables().end());
    all.insert(all.end(), addedTables().begin(), addedTables().end());
    if (tables->isServer())
        all.insert(all.end(), serverOnlyTables().begin(), serverOnlyTables().end());
    if (const TableSchema *failed = tables->createMissingTables(all)) {
        dialogs.error(QString::fromUtf8(failed->startupFailureText));
        return false;
    }
    return true;
}

bool Database::ensureTable(const TableSchema &table)
{
    if (!tables->createMissingTables({&table}))
        return true;
    dialogs.error(QString::fromUtf8(table.insertFailureText));
    return false;
}

TableStore::Operation Database::openTable(const TableSchema &schema, TableStore::Mode mode,
                                          const QString &failureText,
                                          const std::vector<const TableSchema *> &attached)
{
    const TableSchema *failed = nullptr;
    auto file = tables->acquire(schema, attached, mode, failed);
    if (!file) {
        dialogs.error(failed == &schema && !failureText.isEmpty()
                          ? failureText
                          : QString::fromUtf8(failed->openFailureText));
    }
    return file;
}

bool Database::readTables(const TableSchema &main, const std::vector<const TableSchema *> &attached,
                          const JoinedRead &read)
{
    auto file = openTable(main, TableStore::Mode::Read, QString(), attached);
    if (!file)
        return false;
    const TableSchema *failed = read(file->connection());
    if (!failed)
        return true;
    file.reset(); // the read transaction ends before the message is shown
    dialogs.error(QString::fromUtf8(failed->openFailureText));
    return false;
}

bool Database::beginWrite(StoreOperation &file, const QString &failureText, bool mainTableOnly)
{
    if (mainTableOnly ? file.beginWriteOfMainTable() : file.beginWrite())
        return true;
    // Locked by another process past the wait: the table cannot be opened.
    dialogs.error(failureText.isEmpty() ? QString::fromUtf8(file.schema().openFailureText)
                                        : failureText);
    return false;
}

std::optional<SqlFilter> Database::compile(const QString &filter, const TableSchema &schema)
{
    filterError.reset();
    auto compiled = compileFilter(filter, schema, programClock().now(),
                                  tables->isServer() ? SqlDialect::Server : SqlDialect::Embedded);
    if (auto *err = std::get_if<FilterError>(&compiled)) {
        filterError = *err;
        dialogs.error(
            QStringLiteral("Внутренняя ошибка: неверное условие отбора записей таблицы "
                           "%1 «%2» (позиция %3: %4). Операция не выполнена.")
                .arg(schema.tableName(), filter, QString::number(err->position), err->message));
        return std::nullopt;
    }
    return std::get<SqlFilter>(std::move(compiled));
}

namespace
{

struct InsertStatement {
    QString sql;
    std::vector<sqlite::Value> values;
};

// The INSERT of one row; nullopt when the row is not one of this table or
// names a field it does not have, or a value does not fit its field. The store
// assigns the ID: a value set for it is ignored.
std::optional<InsertStatement> insertStatement(const TableSchema &schema, const TableRow &row,
                                               bool keepId)
{
    if (&row.schema() != &schema || !row.valid())
        return std::nullopt;
    const QVariantList &values = row.values();
    InsertStatement out;
    QStringList columns, marks;
    for (int i = schema.hasId() && !keepId ? 1 : 0; i < values.size(); ++i) {
        const auto v = toStoredValue(schema.fields[i], values[i]);
        if (!v)
            return std::nullopt;
        columns << sqlite::quoteIdentifier(schema.fieldName(i));
        marks << QStringLiteral("?");
        out.values.push_back(*v);
    }
    const QString table = sqlite::quoteIdentifier(schema.tableName());
    out.sql = columns.isEmpty() ? QStringLiteral("INSERT INTO %1 DEFAULT VALUES").arg(table)
                                : QStringLiteral("INSERT INTO %1 (%2) VALUES (%3)")
                                      .arg(table, columns.join(u','), marks.join(u','));
    // The ID the store gave the row, from the statement itself: another
    // installation's row written at the same moment is never taken for it.
    if (schema.hasId())
        out.sql += QStringLiteral(" RETURNING \"ID\"");
    return out;
}

// Rows with the IDs they carry, many to a statement: a server answers each
// statement over the network, and a lab moved to it has millions of rows.
// False when a row is not one of this table, names a field it does not have,
// has a value that does not fit its field, or a write fails.
bool insertKeepingIds(sql::Connection &conn, const TableSchema &schema,
                      const std::vector<TableRow> &rows)
{
    // Below the smallest limit of parameters of the embedded store's builds.
    constexpr int kMaxParameters = 900;
    const int fields = schema.fieldCount();
    const int perStatement = std::max(1, kMaxParameters / std::max(1, fields));
    QStringList columns;
    for (int i = 0; i < fields; ++i)
        columns << sqlite::quoteIdentifier(schema.fieldName(i));
    const QString marks = u'(' + QStringList(fields, QStringLiteral("?")).join(u',') + u')';
    const QString insert =
        QStringLiteral("INSERT INTO %1 (%2) VALUES ")
            .arg(sqlite::quoteIdentifier(schema.tableName()), columns.join(u','));
    for (std::size_t from = 0; from < rows.size(); from += std::size_t(perStatement)) {
        const std::size_t to = std::min(rows.size(), from + std::size_t(perStatement));
        std::vector<sqlite::Value> values;
        QStringList tuples;
        for (std::size_t r = from; r < to; ++r) {
            if (&rows[r].schema() != &schema || !rows[r].valid())
                return false;
            for (int i = 0; i < fields; ++i) {
                const auto v = toStoredValue(schema.fields[i], rows[r].values()[i]);
                if (!v)
                    return false;
                values.push_back(*v);
            }
            tuples << marks;
        }
        sqlite::Statement st(conn, insert + tuples.join(u','));
        st.bindAll(values);
        if (!st.run())
            return false;
    }
    return true;
}

} // namespace

bool Database::insertAll(const TableSchema &schema, const std::vector<TableRow> &rows,
                         InsertKind kind)
{
    const QString failureText = QString::fromUtf8(schema.insertFailureText);
    auto file = openTable(schema, TableStore::Mode::Write, failureText);
    if (!file)
        return false;
    if (!beginWrite(*file, failureText))
        return false;
    // A row that cannot be stored (a value that does not fit its field, a failed write or
    // commit) cancels the whole insert with the same message as a table that cannot be opened.
    const auto failed = [&] {
        file.reset(); // rolled back before the message is shown
        dialogs.error(failureText);
        return false;
    };
    if (kind == InsertKind::Replace &&
        !sqlite::Statement(file->connection(),
                           QStringLiteral("DELETE FROM %1").arg(file->tableRef(schema)))
             .run())
        return failed();
    if (kind == InsertKind::KeepIds) {
        if (!insertKeepingIds(file->connection(), schema, rows) ||
            (schema.hasId() && !file->moveIdCounterPastRows(schema)) || !file->commit())
            return failed();
        return true;
    }
    int id = 0;
    for (const TableRow &row : rows) {
        const auto insert = insertStatement(schema, row, kind == InsertKind::KeepIds);
        if (!insert)
            return failed();
        sqlite::Statement st(file->connection(), insert->sql);
        st.bindAll(insert->values);
        if (schema.hasId() && st.step())
            id = int(st.integer(0));
        if (!st.run())
            return failed();
    }
    if (!file->commit())
        return failed();
    lastInserted = id;
    return true;
}

bool Database::DBPoverkaInsert(const TableRow &row)
{
    return insertAll(tables::Poverki, {row});
}
bool Database::DBEtalSensInsert(const TableRow &row)
{
    return insertAll(tables::EtalSens, {row});
}
bool Database::DBSensorsInsert(const TableRow &row)
{
    return insertAll(tables::Sensors, {row});
}
bool Database::DBBunchesTPInsert(const TableRow &row)
{
    return insertAll(tables::BunchesTP, {row});
}
bool Database::DBResultsTPInsert(const TableRow &row)
{
    return insertAll(tables::ResultsTP, {row});
}
bool Database::DBDocInsert(const TableRow &row)
{
    return insertAll(tables::Documents, {row});
}

bool Database::insertRows(const TableSchema &table, const std::vector<TableRow> &rows)
{
    return insertAll(table, rows);
}

bool Database::replaceRows(const TableSchema &table, const std::vector<TableRow> &rows)
{
    return insertAll(table, rows, InsertKind::Replace);
}

bool Database::importRows(const TableSchema &table, const std::vector<TableRow> &rows)
{
    return insertAll(table, rows, InsertKind::KeepIds);
}

} // namespace kront
