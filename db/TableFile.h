#pragma once

#include "db/Sqlite.h"
#include "db/TableSchema.h"

#include <optional>

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

// One table file opened for a single operation. The file must exist and hold
// the table with exactly the schema's columns; otherwise open() fails.
class TableFile
{
public:
    enum class Mode { Read, Write };

    static std::optional<TableFile> open(const TableSchema &schema, Mode mode);

    // Attaches the file of a further table to this connection (under the
    // table's name), so that one transaction covers several files.
    bool attach(const TableSchema &other, Mode mode);

    // Starts the one write transaction of an operation (after any attach);
    // false when another process holds the file locked.
    bool beginWrite();
    // Commits it; until then the destructor rolls everything back.
    bool commit();

    sqlite::Connection &connection() { return conn; }
    const TableSchema &schema() const { return *mainSchema; }

    ~TableFile();
    TableFile(TableFile &&other) noexcept;
    TableFile &operator=(TableFile &&) = delete;
    TableFile(const TableFile &) = delete;

private:
    TableFile() = default;
    sqlite::Connection conn;
    const TableSchema *mainSchema = nullptr;
    bool writing = false;
};

} // namespace kront
