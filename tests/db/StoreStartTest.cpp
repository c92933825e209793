// The store a run starts on: the plan made of the settings and of how the
// server answered, and the question asked when it did not.

#include "db/StoreStart.h"
#include "tests/support/ScriptedDialogs.h"
#include "tests/support/TempHome.h"

#include <gtest/gtest.h>

namespace kront::test
{
namespace
{

StoreSettings server(const QString &host, int port, const QString &database)
{
    StoreSettings s;
    s.kind = StoreSettings::Kind::PostgreSql;
    s.host = host;
    s.port = port;
    s.database = database;
    s.user = QStringLiteral("kront");
    return s;
}

// A port nobody listens on: the connection is refused at once.
StoreSettings unreachableServer()
{
    return server(QStringLiteral("127.0.0.1"), 1, QStringLiteral("kront"));
}

const QString kQuestionTail = QStringLiteral(
    "\n\nРаботать с файлами таблиц этого компьютера (папка Data)? Поверки, сделанные так, не "
    "попадут на сервер, пока их не перенесут командой kront-cli store copy.");

TEST(StoreStartPlan, SettingsAndTheServersAnswerDecideTheStore)
{
    using Action = StoreStartPlan::Action;
    const StoreSettings files;
    const StoreSettings lab = server(QStringLiteral("lab-db"), 5433, QStringLiteral("kront"));
    const StoreSettings local = server(QString(), 5432, QStringLiteral("kront"));
    const struct {
        const char *name;
        StoreSettings settings;
        ServerReach reach;
        Action action;
        QString text;
    } cases[] = {
        {"table files, nothing tried", files, {}, Action::TableFiles, QString()},
        // A server's answer is not looked at when the settings name the files.
        {"table files, answer ignored", files, {false, "refused"}, Action::TableFiles, QString()},
        {"server answered", lab, {true, QString()}, Action::Server, "Сервер: lab-db:5433/kront"},
        {"server on this computer answered",
         local,
         {true, QString()},
         Action::Server,
         "Сервер: localhost:5432/kront"},
        {"server away",
         lab,
         {false, "Connection refused"},
         Action::AskTableFilesInstead,
         "Сервер базы данных lab-db:5433/kront недоступен:\nConnection refused" + kQuestionTail},
        // The client library's reason runs over lines with indented hints:
        // the question keeps it on one line.
        {"reason over several lines",
         lab,
         {false, "connection to server at \"lab-db\", port 5433 failed: Connection refused\n"
                 "\tIs the server running on that host and accepting TCP/IP connections?\n"},
         Action::AskTableFilesInstead,
         "Сервер базы данных lab-db:5433/kront недоступен:\nconnection to server at \"lab-db\", "
         "port 5433 failed: Connection refused Is the server running on that host and "
         "accepting TCP/IP connections?" +
             kQuestionTail},
        {"no reason given",
         lab,
         {false, " \n"},
         Action::AskTableFilesInstead,
         "Сервер базы данных lab-db:5433/kront недоступен:\nсервер не ответил" + kQuestionTail},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.name);
        const StoreStartPlan plan = planStoreStart(c.settings, c.reach);
        EXPECT_EQ(plan.action, c.action);
        EXPECT_EQ(plan.text, c.text);
    }
}

class StoreStartTest : public ::testing::Test
{
protected:
    TempHome home;
    ScriptedDialogs dialogs;
};

TEST_F(StoreStartTest, TableFilesStartWithoutAQuestion)
{
    const StartedStore started = startStore(StoreSettings(), dialogs);
    ASSERT_TRUE(started.store);
    EXPECT_FALSE(started.store->isServer());
    EXPECT_FALSE(started.tableFilesInstead);
    EXPECT_TRUE(started.serverStatus.isEmpty());
    EXPECT_TRUE(dialogs.shown.empty());
}

TEST_F(StoreStartTest, ServerAwayAsksOnceAndTheAnswerDecides)
{
    for (const Dialogs::Answer answer : {Dialogs::Answer::Yes, Dialogs::Answer::No}) {
        const bool yes = answer == Dialogs::Answer::Yes;
        SCOPED_TRACE(yes ? "yes" : "no");
        dialogs.shown.clear();
        dialogs.queueAnswer(answer);
        const StartedStore started = startStore(unreachableServer(), dialogs);
        ASSERT_EQ(dialogs.shown.size(), 1u);
        EXPECT_EQ(dialogs.last().icon, Dialogs::Icon::Question);
        EXPECT_EQ(dialogs.last().buttons, Dialogs::Buttons::YesNo);
        // The server named, the client library's reason on one line, the offer.
        const QString text = dialogs.last().text;
        const QString head = QStringLiteral("Сервер базы данных 127.0.0.1:1/kront недоступен:\n");
        ASSERT_TRUE(text.startsWith(head)) << text.toStdString();
        ASSERT_TRUE(text.endsWith(kQuestionTail)) << text.toStdString();
        const QString reason =
            text.mid(head.size(), text.size() - head.size() - kQuestionTail.size());
        EXPECT_FALSE(reason.trimmed().isEmpty());
        EXPECT_FALSE(reason.contains(u'\n')) << reason.toStdString();
        EXPECT_EQ(bool(started.store), yes);
        if (yes) {
            EXPECT_FALSE(started.store->isServer());
            EXPECT_TRUE(started.tableFilesInstead);
            EXPECT_TRUE(started.serverStatus.isEmpty());
        }
    }
}

TEST(ServerReach, UnreachableServerGivesTheReasonAndNoStore)
{
    std::unique_ptr<TableStore> connected;
    const ServerReach reach = reachServer(unreachableServer(), &connected);
    EXPECT_FALSE(reach.reached);
    EXPECT_FALSE(reach.reason.trimmed().isEmpty());
    EXPECT_FALSE(connected);
    EXPECT_EQ(serverUnreachableLine(unreachableServer(), "a\n\tb").toStdString(),
              "Сервер базы данных 127.0.0.1:1/kront недоступен: a b");
}

} // namespace
} // namespace kront::test
