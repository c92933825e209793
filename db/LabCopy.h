#pragma once

#include "common/Dialogs.h"
#include "db/Database.h"
#include "db/TableSchema.h"

#include <functional>

namespace kront
{

// Moves a laboratory's records from one store to another (the table files of
// a home to a database server or back): every row of the six tables and the
// added ones, with the IDs they carry, so that every link between rows stays.
//
// The target must hold no row in any table; a table the source lacks (a
// table file the home does not have) is an empty table. Rows go over in
// batches, each one transaction of the target, so that a large table never
// sits in memory whole; the rows of ResultsTP keep their order.
class LabCopy
{
public:
    // Rows of a batch: one transaction of the target.
    static constexpr int kBatchRows = 5000;

    LabCopy(Database &from, Database &to, Dialogs &dialogs);

    // Called after each table with the number of its rows copied.
    std::function<void(const TableSchema &, qint64 rows)> tableCopied;
    int batchRows = kBatchRows;

    // Refuses a target that holds any row (before writing anything), creates
    // the target's missing tables and copies table after table. False after
    // the message; a copy that failed part-way tells what was left in the
    // target and how to start again.
    bool run();
    // The rows written to the target (all of them after a successful run).
    qint64 totalRows() const { return written; }

private:
    // Every table the program keeps, in the order of the start-up check.
    static std::vector<const TableSchema *> tablesInOrder();
    // Whether the store has this table at all (a home may lack a file, a
    // fresh server database has no table yet).
    static bool tableExists(Database &db, const TableSchema &table);
    // "host:port/database" of a server, the home folder of table files.
    static QString storeName(Database &db);
    bool targetIsEmpty();
    // Copies one table; -1 when it failed (after the source's or the
    // target's message).
    qint64 copyTable(const TableSchema &table);
    void reportPartialCopy(const TableSchema &failed);

    Database &source;
    Database &target;
    Dialogs &dialogs;
    qint64 written = 0;
};

} // namespace kront
