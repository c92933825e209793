#pragma once

#include "db/Sqlite.h"
#include "db/TableSchema.h"
#include "db/TableStore.h"

#include <optional>
#include <vector>

namespace kront
{

// Path of a table's file: <home>/Data/<Table>.cds.
QString tableFilePath(const TableSchema &schema);

// SQL that creates the table and its indexes (declared and query indexes).
QStringList createTableStatements(const TableSchema &schema, bool ifNotExists = false);

// Creates a new, empty table file at `path` the way the start-up check does:
// the table with its indexes, one blank row inserted and deleted again so
// that the ID counter stands at 1 and the first real row gets ID 2. The file
// is built under a temporary name and renamed into place, so a crash never
// leaves a half-made table file behind. False when it cannot be created.
bool createTableFile(const TableSchema &schema, const QString &path);

// Brings the file's indexes to the schema's (a home made by an older program)
// under `alias` of the connection: adds those declared and needed by the
// queries that it lacks and drops the retired ones; the rows are not touched.
// False when one could not be made or dropped (a read-only or locked file):
// the queries still work, only slower.
bool updateIndexes(sqlite::Connection &conn, const TableSchema &schema, const QString &alias);

// One table file opened for reading and writing rows, with the files of
// further tables attached when one transaction must cover them all. The file
// must exist and hold the table with exactly the schema's columns; otherwise
// open() fails.
class TableFile : public StoreOperation
{
public:
    using Mode = TableStore::Mode;

    static std::optional<TableFile> open(const TableSchema &schema, Mode mode);

    // Attaches the file of a further table to this connection (under the
    // table's name), so that one transaction covers several files.
    bool attach(const TableSchema &other, Mode mode);

    // Starts a read transaction over every file of the connection and reads
    // each file's header. The table whose file cannot be read (locked by
    // another process past the wait, no table file any more); nullptr when
    // the transaction began.
    const TableSchema *beginRead();
    // Starts the one write transaction of an operation (after any attach);
    // false when another process holds the file locked.
    bool beginWrite() override;
    // Locks for writing the main table's file only: a commit that changed one
    // file then flushes that file alone, with no journal over the files read.
    bool beginWriteOfMainTable() override;
    // Commits it; until then the destructor (or endOperation) rolls everything back.
    bool commit() override;
    // Ends what an operation left open: a read transaction, or a write
    // transaction not committed (rolled back). True when the operation began
    // a write transaction: its files may have changed.
    bool endOperation();

    // The tables of the connection: the main one first, then those attached.
    const std::vector<const TableSchema *> &tables() const { return schemas; }
    // The first table whose file the connection may not change; nullptr when
    // it may change them all.
    const TableSchema *firstReadOnly() const;

    sqlite::Connection &connection() override { return conn; }
    const TableSchema &schema() const override { return *schemas.front(); }
    // main."Table" for the main table, "Table"."Table" for one attached.
    QString tableRef(const TableSchema &table) const override;

    ~TableFile() override;
    TableFile(TableFile &&other) noexcept;
    TableFile &operator=(TableFile &&) = delete;
    TableFile(const TableFile &) = delete;

private:
    TableFile() = default;
    QString alias(const TableSchema &table) const;

    sqlite::Connection conn;
    std::vector<const TableSchema *> schemas;
    bool reading = false;
    bool writing = false;
    bool wrote = false;
};

} // namespace kront
