#include "db/Database.h"
#include "db/HistoryQueries.h"
#include "db/Sqlite.h"
#include "tests/support/ScriptedDialogs.h"
#include "tests/support/TempHome.h"

#include <gtest/gtest.h>

namespace kront::test
{
namespace
{

// The indexes of the bunches' file that the history reads by.
int historyIndexes(const QString &file)
{
    sqlite::Connection conn;
    EXPECT_TRUE(conn.openExisting(file));
    sqlite::Statement st(conn, QStringLiteral("SELECT count(*) FROM sqlite_master WHERE type = "
                                              "'index' AND (name LIKE 'BunchPovSensorID%' OR "
                                              "name = 'BunchEtalSensorPoverkaIndex')"));
    return st.step() ? int(st.integer(0)) : -1;
}

// A home whose bunches file was made before the bunches were looked up by their sensors and
// their references gets those indexes on its first history read, and the reads still answer.
TEST(HistoryIndexes, AddedToAnOlderBunchesFile)
{
    KRONT_SKIP_ON_SERVER_STORE();
    TempHome home;
    ScriptedDialogs dialogs;
    Database db(dialogs);
    ASSERT_TRUE(db.ensureTables());
    const QString bunches = home.data(QStringLiteral("BunchesTP.cds"));
    ASSERT_EQ(historyIndexes(bunches), 5);
    {
        sqlite::Connection conn;
        ASSERT_TRUE(conn.openExisting(bunches));
        for (int input = 1; input <= 4; ++input)
            ASSERT_TRUE(conn.exec(QStringLiteral("DROP INDEX BunchPovSensorID%1Index").arg(input)));
        ASSERT_TRUE(conn.exec(QStringLiteral("DROP INDEX BunchEtalSensorPoverkaIndex")));
    }
    ASSERT_EQ(historyIndexes(bunches), 0);

    const StoredSensorKey key{QStringLiteral("1"), QString(), 0, QString()};
    const auto uses = DBGetSensorUses(db, key);
    ASSERT_TRUE(uses);
    EXPECT_TRUE(uses->uses.empty());
    const auto served = DBGetReferenceUses(db, key);
    ASSERT_TRUE(served);
    EXPECT_EQ(served->verifications, 0);
    EXPECT_EQ(historyIndexes(bunches), 5);
    EXPECT_TRUE(dialogs.shown.empty());
}

} // namespace
} // namespace kront::test
