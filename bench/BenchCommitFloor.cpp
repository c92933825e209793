// The least a durable change costs on this disk: one row inserted into a
// one-table file opened for the change, in one transaction with the
// store's journal and flush settings and nothing of the store around it.
// Beside the record operations it shows how much of their time is the
// disk's and how much the store's own.
#include "bench/Harness.h"
#include "db/Sqlite.h"

#include <QFile>

namespace kront::bench
{

namespace
{

QString floorFile(const HomeUnderTest &h, int n)
{
    return h.path + QStringLiteral("/Data/CommitFloor%1.db").arg(n);
}

bool createFloorFile(const QString &path)
{
    QFile::remove(path);
    sqlite::Connection conn;
    return conn.openOrCreate(path) &&
           conn.exec(QStringLiteral("CREATE TABLE t (ID INTEGER PRIMARY KEY AUTOINCREMENT, "
                                    "Name VARCHAR(20), Value DOUBLE)"));
}

// One row into each of `files` files, in one transaction (several files:
// attached, as the store does for a change that spans tables).
bool insertOneRowEach(const HomeUnderTest &h, int files)
{
    sqlite::Connection conn;
    if (!conn.openExisting(floorFile(h, 0)) ||
        !conn.exec(QStringLiteral("PRAGMA synchronous = FULL")))
        return false;
    QString insert = QStringLiteral("INSERT INTO t (Name, Value) VALUES ('floor', 1.5);");
    for (int n = 1; n < files; ++n) {
        const QString alias = QStringLiteral("f%1").arg(n);
        if (!conn.exec(QStringLiteral("ATTACH DATABASE '%1' AS %2; PRAGMA %2.synchronous = FULL")
                           .arg(floorFile(h, n), alias)))
            return false;
        insert +=
            QStringLiteral("INSERT INTO %1.t (Name, Value) VALUES ('floor', 1.5);").arg(alias);
    }
    return conn.exec(QStringLiteral("BEGIN IMMEDIATE")) && conn.exec(insert) &&
           conn.exec(QStringLiteral("COMMIT"));
}

Operation commitFloor(int files)
{
    return [files](HomeUnderTest &h) { return floorCommitMs(h, files); };
}

} // namespace

double floorCommitMs(HomeUnderTest &h, int files)
{
    for (int n = 0; n < files; ++n) {
        if (!QFile::exists(floorFile(h, n)) && !createFloorFile(floorFile(h, n)))
            return -1.0;
    }
    return timed([&] { return insertOneRowEach(h, files); });
}

void registerCommitFloorBenchmark()
{
    const std::string oneFile = "disk floor: durable commit of one row";
    const std::string threeFiles = "disk floor: durable commit of a row in each of three files";
    registerOperation(oneFile, "record operations: inserts", kRecordGoal, commitFloor(1), nullptr);
    registerOperation(threeFiles, "record operations: deletions", kRecordGoal, commitFloor(3),
                      nullptr);
    // Each write beside the floor of as many files as it changes: the inserts
    // and updates change one file, the deletion of a verification three. The
    // floor a write is judged by is the one measured right after each of its
    // samples, so that a disk busy with other work weighs on both alike.
    constexpr double kMaxFloorRatio = 1.1;
    Summary::instance().compareWithFloor("record operations: inserts", oneFile, kMaxFloorRatio);
    Summary::instance().compareWithFloor("record operations: updates", oneFile, kMaxFloorRatio);
    Summary::instance().compareWithFloor("record operations: deletions", threeFiles,
                                         kMaxFloorRatio);
}

} // namespace kront::bench
