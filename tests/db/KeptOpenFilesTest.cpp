// The table files stay open between operations: what is done to a file
// meanwhile by anything else is seen by the next operation, no lock is held,
// and a home made by an older program gets the indexes its files lack.

#include "db/Sqlite.h"
#include "tests/db/DbFixture.h"
#include "tests/support/FileBytes.h"

#include <QDir>
#include <QFileInfo>

#include <functional>

namespace kront::test
{
namespace
{

class KeptOpenFilesTest : public DbFixture
{
};

// How many descriptors of this process lead to the file.
int descriptorsOf(const QString &path)
{
    const QString target = QFileInfo(path).canonicalFilePath();
    int n = 0;
    const QDir fds(QStringLiteral("/proc/self/fd"));
    for (const QString &fd : fds.entryList(QDir::Files | QDir::System))
        n += QFileInfo(fds.filePath(fd)).symLinkTarget() == target;
    return n;
}

// The rows of a query on the file, each row's values joined by '|'.
QStringList strings(const QString &path, const QString &sql)
{
    sqlite::Connection conn;
    EXPECT_TRUE(conn.openExisting(path));
    sqlite::Statement st(conn, sql);
    QStringList out;
    while (st.step()) {
        QStringList row;
        for (int i = 0; i < st.columnCount(); ++i)
            row << st.text(i);
        out << row.join(u'|');
    }
    return out;
}

TEST_F(KeptOpenFilesTest, TableFileStaysOpenUntilTheDatabaseGoesAway)
{
    KRONT_SKIP_ON_SERVER_STORE();
    const QString path = home.data("Poverki.cds");
    {
        Database own(dialogs);
        ASSERT_TRUE(own.DBPoverkaInsert(row(tables::Poverki, {{"PovNum", "1"}})));
        EXPECT_EQ(descriptorsOf(path), 1);
        EXPECT_EQ(own.DBGetRecordsCount(tables::Poverki, ""), 1);
        EXPECT_TRUE(own.DBPoverkaUpdateState(2, "Calculation;0;1;1;"));
        EXPECT_EQ(descriptorsOf(path), 1); // the same connection, not one per operation
        // Between operations nothing is pending: a copy of the file is whole.
        EXPECT_FALSE(QFileInfo::exists(path + "-journal"));
        const QString copy = home.path() + "/copy.cds";
        ASSERT_TRUE(QFile::copy(path, copy));
        EXPECT_EQ(strings(copy, "PRAGMA integrity_check"), QStringList{"ok"});
        EXPECT_EQ(strings(copy, "SELECT PovNum, CurrPovState FROM Poverki"),
                  QStringList{"1|Calculation;0;1;1;"});
    }
    EXPECT_EQ(descriptorsOf(path), 0);
    EXPECT_TRUE(dialogs.shown.empty());
}

// What another program (or the operator) does to an open table file between
// two operations; the next operation sees the file as it now is.
struct ChangeCase {
    const char *name;
    std::function<void(const TempHome &, const QByteArray &emptyFile)> change;
    int rowsAfter; // -1: the table cannot be opened
};

class ChangedUnderOpenFileTest : public KeptOpenFilesTest,
                                 public ::testing::WithParamInterface<ChangeCase>
{
};

TEST_P(ChangedUnderOpenFileTest, NextOperationSeesTheFileAsItIs)
{
    KRONT_SKIP_ON_SERVER_STORE();
    const QString path = home.data("Poverki.cds");
    const QByteArray emptyFile = fileBytes(path);
    insertPoverka("1", clock.now());
    ASSERT_EQ(count("Poverki"), 1); // the connection is open now
    GetParam().change(home, emptyFile);
    dialogs.clear();
    EXPECT_EQ(count("Poverki"), GetParam().rowsAfter);
    const QStringList expected =
        GetParam().rowsAfter < 0 ? QStringList{QString::fromUtf8(tables::Poverki.openFailureText)}
                                 : QStringList();
    EXPECT_EQ(dialogs.texts(), expected);
}

const ChangeCase changeCases[] = {
    {"RowAddedByAnotherProgram",
     [](const TempHome &h, const QByteArray &) {
         sqlite::Connection other;
         ASSERT_TRUE(other.openExisting(h.data("Poverki.cds")));
         ASSERT_TRUE(other.exec("INSERT INTO Poverki (PovNum) VALUES ('2')"));
     },
     2},
    {"OlderCopyWrittenOverIt",
     [](const TempHome &h, const QByteArray &emptyFile) {
         writeBytes(h.data("Poverki.cds"), emptyFile);
     },
     0},
    {"OlderCopyPutInItsPlace",
     [](const TempHome &h, const QByteArray &emptyFile) {
         const QString path = h.data("Poverki.cds");
         writeBytes(path + ".new", emptyFile);
         ASSERT_TRUE(QFile::remove(path));
         ASSERT_TRUE(QFile::rename(path + ".new", path));
     },
     0},
    {"Removed", [](const TempHome &h, const QByteArray &) { QFile::remove(h.data("Poverki.cds")); },
     -1},
    {"RubbishWrittenOverIt",
     [](const TempHome &h, const QByteArray &) {
         writeBytes(h.data("Poverki.cds"), "not a table file at all");
     },
     -1},
    {"AnotherTablesFileWrittenOverIt",
     [](const TempHome &h, const QByteArray &) {
         writeBytes(h.data("Poverki.cds"), readBytes(h.data("Sensors.cds")));
     },
     -1},
};

INSTANTIATE_TEST_SUITE_P(Changes, ChangedUnderOpenFileTest, ::testing::ValuesIn(changeCases),
                         [](const auto &c) { return std::string(c.param.name); });

// A home made before the search by kind and by method had its index, with
// the finished verifications' own index it then had: the first operation on
// the table adds the one and drops the other, and leaves every row as it was.
TEST_F(KeptOpenFilesTest, OlderHomeGetsItsIndexesUpdatedWithItsRowsUntouched)
{
    KRONT_SKIP_ON_SERVER_STORE();
    const QString path = home.data("Poverki.cds");
    for (int i = 1; i <= 3; ++i)
        insertPoverka(QString::number(i), clock.now(), clock.now(), i % 2);
    {
        sqlite::Connection older;
        ASSERT_TRUE(older.openExisting(path));
        ASSERT_TRUE(older.exec("DROP INDEX PoverkaFinishedSearchIndex"));
        ASSERT_TRUE(older.exec("CREATE INDEX PoverkaFinishedIndex ON Poverki (Finished)"));
    }
    const QString indexes =
        "SELECT name FROM sqlite_master WHERE type = 'index' AND name LIKE 'PoverkaFinished%' "
        "ORDER BY name";
    ASSERT_EQ(strings(path, indexes), QStringList{"PoverkaFinishedIndex"});
    const QString allRows = "SELECT * FROM Poverki ORDER BY ID";
    const QStringList rowsBefore = strings(path, allRows);

    Database later(dialogs);
    EXPECT_EQ(later.DBGetRecordsCount(tables::Poverki, "Finished IS NOT NULL AND Kind = 1"), 2);
    EXPECT_EQ(strings(path, indexes), QStringList{"PoverkaFinishedSearchIndex"});
    EXPECT_EQ(strings(path, allRows), rowsBefore);
    EXPECT_TRUE(dialogs.shown.empty());
}

} // namespace
} // namespace kront::test
