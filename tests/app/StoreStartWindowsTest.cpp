// The start of the program on the store its settings name: a lab server that
// does not answer is asked about once, before any window opens.

#include "app/ui/TFormMain.h"
#include "db/Database.h"
#include "db/PgConnection.h"
#include "tests/app/AppTestFixture.h"
#include "tests/support/FileBytes.h"

#include <QCoreApplication>
#include <QFileInfo>
#include <QLabel>
#include <QRegularExpression>

namespace kront
{
namespace
{

class StoreStartWindowsTest : public test::AppFixture
{
protected:
    QString ini() const { return home.config("kront.INI"); }
    void writeIni(const QByteArray &bytes)
    {
        QFile f(ini());
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write(bytes);
    }
    // The store of the settings file, the windows not yet made.
    bool openStore()
    {
        windows = std::make_unique<ApplicationWindows>(dialogs);
        windows->setPortLister([this] { return ports; });
        return windows->openStore();
    }
    QLabel *storeLabel() const
    {
        return windows->FormMain()->findChild<QLabel *>(QStringLiteral("LabelStore"));
    }

    // A port nobody listens on: the connection is refused at once.
    const QByteArray serverAway = "[Store]\r\nKind=postgresql\r\nHost=127.0.0.1\r\nPort=1\r\n"
                                  "Database=kront\r\nUser=kront\r\n";
};

TEST_F(StoreStartWindowsTest, TableFilesStartWithoutAQuestionUnderThePlainTitle)
{
    ASSERT_TRUE(openStore());
    windows->create();
    EXPECT_TRUE(dialogs.shown.empty()) << dialogs.texts().join('\n').toStdString();
    EXPECT_EQ(windows->FormMain()->windowTitle(), kProgramTitle);
    EXPECT_EQ(storeLabel(), nullptr);
    EXPECT_FALSE(windows->database().store().isServer());
}

TEST_F(StoreStartWindowsTest, ServerAwayYesWorksOnTheTableFilesAndSaysSo)
{
    writeIni(serverAway);
    dialogs.queueAnswer(Dialogs::Answer::Yes);
    ASSERT_TRUE(openStore());
    ASSERT_EQ(dialogs.shown.size(), 1u);
    EXPECT_EQ(dialogs.last().buttons, Dialogs::Buttons::YesNo);
    EXPECT_TRUE(
        dialogs.last().text.startsWith("Сервер базы данных 127.0.0.1:1/kront недоступен:\n"))
        << dialogs.last().text.toStdString();
    EXPECT_TRUE(dialogs.last().text.endsWith(
        "Работать с файлами таблиц этого компьютера (папка Data)? Поверки, сделанные так, не "
        "попадут на сервер, пока их не перенесут командой kront-cli store copy."));

    windows->create();
    // The start-up check made the table files of the home, quietly.
    EXPECT_EQ(dialogs.shown.size(), 1u) << dialogs.texts().join('\n').toStdString();
    EXPECT_TRUE(QFileInfo::exists(home.data("Poverki.cds")));
    EXPECT_FALSE(windows->database().store().isServer());
    EXPECT_EQ(windows->FormMain()->windowTitle(),
              kProgramTitle + QStringLiteral(" — файлы таблиц этого компьютера"));
    EXPECT_EQ(storeLabel(), nullptr);
    // The settings still name the server for the next start.
    EXPECT_EQ(test::readBytes(ini()), serverAway);
}

TEST_F(StoreStartWindowsTest, ServerAwayNoEndsBeforeAnyWindowOrTable)
{
    writeIni(serverAway);
    dialogs.queueAnswer(Dialogs::Answer::No);
    EXPECT_FALSE(openStore());
    EXPECT_EQ(dialogs.shown.size(), 1u);
    EXPECT_EQ(windows->FormMain(), nullptr);
    EXPECT_FALSE(QFileInfo::exists(home.data("Poverki.cds")));
    EXPECT_EQ(test::readBytes(ini()), serverAway);
}

TEST_F(StoreStartWindowsTest, UnknownKindOfStoreIsToldAndTheTableFilesAreUsed)
{
    writeIni("[Store]\r\nKind=oracle\r\n");
    ASSERT_TRUE(openStore());
    ASSERT_EQ(dialogs.shown.size(), 1u);
    EXPECT_EQ(dialogs.last().icon, Dialogs::Icon::Warning);
    EXPECT_TRUE(dialogs.last().text.startsWith("Неизвестный вид хранилища «oracle»"))
        << dialogs.last().text.toStdString();
    windows->create();
    EXPECT_FALSE(windows->database().store().isServer());
    EXPECT_EQ(windows->FormMain()->windowTitle(), kProgramTitle);
}

// The test server's admin connection (KRONT_TEST_PG, keywords), where a
// fresh database is made for the home's settings and dropped afterwards.
class ReachableServerStartTest : public StoreStartWindowsTest
{
protected:
    void SetUp() override
    {
        StoreStartWindowsTest::SetUp();
        admin = qEnvironmentVariable("KRONT_TEST_PG");
        if (admin.isEmpty())
            GTEST_SKIP() << "KRONT_TEST_PG names no test server";
        ASSERT_TRUE(adminConnection.open(admin)) << adminConnection.errorText().toStdString();
        database = QStringLiteral("kront_start_%1").arg(QCoreApplication::applicationPid());
        adminConnection.exec("DROP DATABASE IF EXISTS " + database);
        ASSERT_TRUE(adminConnection.exec("CREATE DATABASE " + database))
            << adminConnection.errorText().toStdString();
    }
    void TearDown() override
    {
        windows.reset(); // its connection goes before the database
        if (adminConnection.isOpen())
            adminConnection.exec("DROP DATABASE IF EXISTS " + database);
        StoreStartWindowsTest::TearDown();
    }
    QString keyword(const QString &key) const
    {
        const QRegularExpression re("(?:^|\\s)" + key + "\\s*=\\s*'?([^'\\s]*)");
        return re.match(admin).captured(1);
    }

    QString admin;
    QString database;
    pg::Connection adminConnection;
};

TEST_F(ReachableServerStartTest, ServerIsNamedInTheStatusBarAndGetsItsTables)
{
    const QString host = keyword("host").isEmpty() ? "localhost" : keyword("host");
    const QString port = keyword("port").isEmpty() ? "5432" : keyword("port");
    writeIni(QStringLiteral("[Store]\r\nKind=postgresql\r\nHost=%1\r\nPort=%2\r\nDatabase=%3\r\n"
                            "User=%4\r\n")
                 .arg(host, port, database, keyword("user"))
                 .toUtf8());
    ASSERT_TRUE(openStore());
    windows->create();
    EXPECT_TRUE(dialogs.shown.empty()) << dialogs.texts().join('\n').toStdString();
    EXPECT_TRUE(windows->database().store().isServer());
    ASSERT_NE(storeLabel(), nullptr);
    EXPECT_EQ(storeLabel()->text(), QStringLiteral("Сервер: %1:%2/%3").arg(host, port, database));
    EXPECT_EQ(windows->FormMain()->windowTitle(), kProgramTitle);
    // The start-up check made the tables on the server, none in Data.
    EXPECT_EQ(windows->database().countRows(tables::Poverki, QString(), -1), 0);
    EXPECT_FALSE(QFileInfo::exists(home.data("Poverki.cds")));
}

} // namespace
} // namespace kront
