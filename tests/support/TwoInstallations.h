#pragma once

#include "db/Database.h"
#include "db/OpenTables.h"
#include "db/ServerTables.h"
#include "tests/support/FakeClock.h"
#include "tests/support/ScratchServerDatabase.h"
#include "tests/support/ScriptedDialogs.h"
#include "tests/support/TempHome.h"

#include <gtest/gtest.h>

#include <memory>
#include <optional>

namespace kront::test
{

// Where the shared tables of a test live.
enum class SharedStore { Embedded, Server };

inline std::string sharedStoreName(const ::testing::TestParamInfo<SharedStore> &info)
{
    return info.param == SharedStore::Embedded ? "TableFiles" : "Server";
}

// Two installations, "Стенд-1" (first) and "Стенд-2" (second), working on
// the same tables: the table files of one home, or one database on the tests'
// server (skipped when none is given). Each has its own dialogs.
class TwoInstallations : public ::testing::TestWithParam<SharedStore>
{
protected:
    void SetUp() override
    {
        if (GetParam() == SharedStore::Server) {
            if (adminConnectionString().isEmpty())
                GTEST_SKIP() << "KRONT_TEST_PG is not set";
            server.emplace();
            ASSERT_TRUE(server->made()) << server->errorText().toStdString();
        }
        first = open(firstDialogs, QStringLiteral("Стенд-1"));
        second = open(secondDialogs, QStringLiteral("Стенд-2"));
        ASSERT_TRUE(first->ensureTables());
        ASSERT_TRUE(second->ensureTables());
    }

    std::unique_ptr<Database> open(ScriptedDialogs &dialogs, const QString &installation)
    {
        std::unique_ptr<TableStore> store;
        if (server)
            store = std::make_unique<ServerTables>(server->settings());
        else
            store = std::make_unique<OpenTables>();
        auto db = std::make_unique<Database>(dialogs, std::move(store));
        db->setInstallation(installation);
        return db;
    }

    // A verification started by `db` (its Poverki row and its mark), with
    // that state; its ID.
    static int start(Database &db, const QString &number,
                     const QString &state = QStringLiteral("MainCycle;0;1;3;"))
    {
        return db.startVerification(TableRow(tables::Poverki, {{"PovNum", number},
                                                               {"Started", programClock().now()},
                                                               {"Methodic", 1},
                                                               {"Kind", 1},
                                                               {"TempPointsCount", 3},
                                                               {"CurrPovState", state}}));
    }

    // A verification stored as an older program stores it: no mark.
    static int startUnmarked(Database &db, const QString &number,
                             const QString &state = QStringLiteral("MainCycle;0;1;3;"))
    {
        EXPECT_TRUE(db.DBPoverkaInsert(TableRow(tables::Poverki, {{"PovNum", number},
                                                                  {"Started", programClock().now()},
                                                                  {"Methodic", 1},
                                                                  {"Kind", 1},
                                                                  {"TempPointsCount", 3},
                                                                  {"CurrPovState", state}})));
        return db.lastInsertedID();
    }

    TempHome home;
    FakeClock clock;
    std::optional<ScratchServerDatabase> server;
    ScriptedDialogs firstDialogs, secondDialogs;
    std::unique_ptr<Database> first, second;
};

} // namespace kront::test
