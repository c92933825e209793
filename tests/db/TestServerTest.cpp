// The tests' database server: the fresh databases the tests make come and go
// with their owner, and a home on the server store keeps every table there,
// so that a run on the server never quietly falls back to the table files.

#include "tests/support/TestServer.h"
#include "db/Database.h"
#include "db/PgConnection.h"
#include "settings/SettingsFile.h"
#include "tests/support/ScriptedDialogs.h"
#include "tests/support/TempHome.h"

#include <QDir>
#include <gtest/gtest.h>

namespace kront::test
{
namespace
{

bool reachable(const StoreSettings &settings)
{
    pg::Connection conn;
    return conn.open(settings.connectionString());
}

TEST(TestServer, FreshDatabasesAreApartAndDroppedWithTheirOwner)
{
    if (!serverTestsEnabled())
        GTEST_SKIP() << "no test server (KRONT_TEST_PG)";
    std::optional<StoreSettings> a, b;
    {
        TestServer server;
        a = server.freshServerDatabase();
        b = server.freshServerDatabase();
        ASSERT_TRUE(a && b);
        EXPECT_TRUE(a->isServer());
        EXPECT_NE(a->database, b->database);
        EXPECT_EQ(server.databases(), QStringList({a->database, b->database}));
        EXPECT_TRUE(reachable(*a));
        EXPECT_TRUE(reachable(*b));
        // Still connected when it goes away: dropped all the same.
        pg::Connection open;
        ASSERT_TRUE(open.open(a->connectionString()));
    }
    EXPECT_FALSE(reachable(*a));
    EXPECT_FALSE(reachable(*b));
}

TEST(TestServer, HomeOnTheServerNamesItsDatabaseToTheProgramAndToTheCommandLine)
{
    if (!serverTestsEnabled())
        GTEST_SKIP() << "no test server (KRONT_TEST_PG)";
    TempHome home(TempHome::Store::Server);
    ASSERT_TRUE(home.serverStore());
    for (const QString &ini : {SettingsFile::defaultPath(), home.config("kront.INI")}) {
        const StoreSettings stored = loadStoreSettings(ini);
        EXPECT_TRUE(stored.isServer()) << ini.toStdString();
        EXPECT_EQ(stored.connectionString(), home.serverStore()->connectionString());
    }
    ScriptedDialogs dialogs;
    Database db(dialogs);
    EXPECT_TRUE(db.store().isServer());
    ASSERT_TRUE(db.ensureTables()) << dialogs.texts().join(u' ').toStdString();
    EXPECT_TRUE(QDir(home.path() + "/Data").isEmpty());
}

// In a run on the server store every home of the tests is on the server; in
// any other run on its table files.
TEST(TestServer, EveryHomeOfTheRunKeepsItsTablesWhereTheRunAsks)
{
    TempHome home;
    EXPECT_EQ(home.serverStore().has_value(), onServerStore());
    ScriptedDialogs dialogs;
    Database db(dialogs);
    EXPECT_EQ(db.store().isServer(), onServerStore());
}

} // namespace
} // namespace kront::test
