#pragma once

#include "db/SqlConnection.h"
#include "db/TableSchema.h"

#include <QString>

#include <memory>
#include <vector>

namespace kront
{

// What one record operation works through: a connection of the store inside
// the operation's transaction, over the operation's main table and the
// tables attached to it.
class StoreOperation
{
public:
    virtual ~StoreOperation() = default;
    virtual sql::Connection &connection() = 0;
    // The operation's main table.
    virtual const TableSchema &schema() const = 0;
    // How the statements of this connection name a table of the operation.
    virtual QString tableRef(const TableSchema &table) const = 0;
    // Starts the operation's one write transaction; false when another
    // program holds the table locked or the store cannot be reached.
    virtual bool beginWrite() = 0;
    // The same for an operation that changes its main table only and reads
    // the tables attached to it.
    virtual bool beginWriteOfMainTable() { return beginWrite(); }
    // Commits it; until then letting the operation go rolls everything back.
    virtual bool commit() = 0;
    // After rows were written with the IDs they carry: the next row of the
    // table gets an ID above all of them. (A table file's counter follows the
    // rows by itself.)
    virtual bool moveIdCounterPastRows(const TableSchema &) { return true; }
};

// Where the tables live: the table files of the home (EmbeddedTables) or a
// database server (ServerTables). Hands out one connection per operation.
class TableStore
{
public:
    enum class Mode { Read, Write };

    // Ends the operation when it is let go: a transaction not committed is
    // rolled back.
    struct EndOperation {
        TableStore *store;
        void operator()(StoreOperation *op) const { store->release(*op); }
    };
    using Operation = std::unique_ptr<StoreOperation, EndOperation>;

    virtual ~TableStore() = default;

    virtual bool isServer() const = 0;
    // Whether the table is there (a home made by an older program lacks the
    // files of the tables added since; a server has every table).
    virtual bool hasTable(const TableSchema &table) const = 0;
    // Creates each missing table (in the order of `tables`); present ones are
    // not touched. The first table that could not be created; nullptr when
    // all are there.
    virtual const TableSchema *
    createMissingTables(const std::vector<const TableSchema *> &tables) = 0;
    // The connection for one operation on `main` with `attached` in the same
    // transaction; for Read, inside a read transaction. Null when a table
    // cannot be opened (missing, locked, read-only for Write, the server
    // away), with `failed` naming it. Operations do not nest.
    virtual Operation acquire(const TableSchema &main,
                              const std::vector<const TableSchema *> &attached, Mode mode,
                              const TableSchema *&failed) = 0;

protected:
    virtual void release(StoreOperation &op) = 0;
};

// The store the settings of the home name ([Store] of the program's
// settings file): the table files of <home>/Data by default.
std::unique_ptr<TableStore> storeFromSettings();

} // namespace kront
