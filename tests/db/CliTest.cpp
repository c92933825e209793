// kront-cli db: the built program run on a fixture home, and the CSV form.

#include "db/CsvExport.h"
#include "tests/db/DbFixture.h"
#include "tests/support/TestServer.h"

#include <QCoreApplication>
#include <QFileInfo>
#include <QProcess>

namespace kront::test
{
namespace
{

TEST(CsvField, FormsOfEachFieldType)
{
    const FieldDef text{"T", FieldType::Text, 20}, memo{"M", FieldType::Memo},
        real{"F", FieldType::Float}, integer{"I", FieldType::Integer},
        boolean{"B", FieldType::Boolean}, dateTime{"D", FieldType::DateTime};
    const struct {
        const FieldDef *field;
        QVariant value;
        const char *expected;
    } cases[] = {
        {&text, "plain", "plain"},
        {&text, "a;b", "\"a;b\""},
        {&text, "say \"hi\"", "\"say \"\"hi\"\"\""},
        {&memo, "line1\r\nline2", "\"line1\r\nline2\""},
        {&text, "", ""},
        {&text, QVariant(), ""},
        {&real, 4.1, "4,1"},
        {&real, -300.0, "-300"},
        {&real, 0.1 + 0.2, "0,30000000000000004"},
        {&real, 1e-7, "0,0000001"},
        {&real, 2.323, "2,323"},
        {&integer, 2147483647, "2147483647"},
        {&integer, QVariant(), ""},
        {&boolean, true, "1"},
        {&boolean, false, "0"},
        {&dateTime, QDateTime(QDate(2026, 12, 1), QTime(7, 5, 9, 500)), "01.12.2026 07:05:09"},
    };
    for (const auto &c : cases)
        EXPECT_EQ(csvField(*c.field, c.value), QString::fromUtf8(c.expected)) << c.expected;
}

class CliTest : public DbFixture
{
protected:
    struct Run {
        int status = -1;
        QByteArray out, err;
    };

    Run cli(const QStringList &args)
    {
        const QString exe = QCoreApplication::applicationDirPath() + "/../bin/kront-cli";
        Run r;
        if (!QFileInfo(exe).isExecutable()) {
            ADD_FAILURE() << "kront-cli is not built: " << exe.toStdString();
            return r;
        }
        QProcess p;
        p.start(exe, QStringList{"--home", home.path()} + args);
        EXPECT_TRUE(p.waitForFinished(30000));
        r.status = p.exitCode();
        r.out = p.readAllStandardOutput();
        r.err = p.readAllStandardError();
        return r;
    }

    void SetUp() override
    {
        DbFixture::SetUp();
        insertPoverka("A;1", at(1, 12, 2026, 7, 5, 9), at(2, 12, 2026, 10));
        insertPoverka("O'N", at(10, 12, 2026, 8), {}, 1);
    }
};

TEST_F(CliTest, CountMaxIdAndId)
{
    const struct {
        QStringList args;
        const char *out;
    } cases[] = {
        {{"db", "count", "Poverki"}, "2\n"},
        {{"db", "count", "Poverki", "Kind = 1"}, "1\n"},
        {{"db", "count", "Documents"}, "-1\n"},
        {{"db", "maxid", "Poverki"}, "3\n"},
        {{"db", "maxid", "Poverki", "PovNum = 'O''N'"}, "3\n"},
        {{"db", "maxid", "Poverki", "PovNum = 'A;1'"}, "-1\n"},
        {{"db", "id", "Poverki", "povnum = 'A;1'"}, "2\n"},
        {{"db", "id", "Poverki", "ID > 0"}, "-1\n"},
    };
    for (const auto &c : cases) {
        const Run r = cli(c.args);
        EXPECT_EQ(r.status, 0) << c.args.join(' ').toStdString() << r.err.toStdString();
        EXPECT_EQ(r.out, QByteArray(c.out)) << c.args.join(' ').toStdString();
        EXPECT_TRUE(r.err.isEmpty()) << r.err.toStdString();
    }
}

TEST_F(CliTest, SelectWritesCsvInTableOrder)
{
    const Run r = cli({"db", "select", "Poverki", "Date(Started) <= '10.12.2026'"});
    EXPECT_EQ(r.status, 0) << r.err.toStdString();
    const QByteArray expected =
        "\xEF\xBB\xBF"
        "ID;PovNum;Started;Finished;GOSTnum;Methodic;Kind;InstabilityCheckNeeded;InstabLimit;"
        "TempPointsCount;EquipmentParams;CurrPovState\r\n"
        "2;\"A;1\";01.12.2026 07:05:09;02.12.2026 10:00:00;;;0;;;;;\"Initiation;0;0;1;\"\r\n"
        "3;O'N;10.12.2026 08:00:00;;;;1;;;;;\"Initiation;0;0;1;\"\r\n";
    EXPECT_EQ(r.out, expected);
}

TEST_F(CliTest, FilterThatDoesNotParseNamesThePositionAndDoesNothing)
{
    const QByteArray before = fileBytes(home.data("Poverki.cds"));
    const Run r = cli({"db", "count", "Poverki", "PovNum = 'x"});
    EXPECT_EQ(r.status, 2);
    EXPECT_TRUE(r.out.isEmpty());
    EXPECT_TRUE(QString::fromUtf8(r.err).contains("позиция 10")) << r.err.toStdString();
    EXPECT_EQ(cli({"db", "select", "Poverki", "Nope = 1"}).status, 2);
    EXPECT_EQ(fileBytes(home.data("Poverki.cds")), before);
}

TEST_F(CliTest, TableThatCannotBeOpenedGivesItsMessage)
{
    KRONT_SKIP_ON_SERVER_STORE();
    QFile::remove(home.data("Sensors.cds"));
    for (const char *action : {"count", "maxid", "select"}) {
        const Run r = cli({"db", action, "Sensors"});
        EXPECT_EQ(r.status, 1) << action;
        EXPECT_TRUE(r.out.isEmpty());
        EXPECT_EQ(QString::fromUtf8(r.err).trimmed(),
                  QString::fromUtf8(tables::Sensors.openFailureText));
    }
}

TEST_F(CliTest, WrongUsageExitsWithTwo)
{
    for (const QStringList &args :
         {QStringList{}, QStringList{"nope"}, QStringList{"db"}, QStringList{"db", "count"},
          QStringList{"db", "id", "Poverki"}, QStringList{"db", "count", "Nope"},
          QStringList{"db", "drop", "Poverki"}}) {
        const Run r = cli(args);
        EXPECT_EQ(r.status, 2) << args.join(' ').toStdString();
        EXPECT_FALSE(r.err.isEmpty());
    }
}

// The home's settings name a server on a port nobody listens on.
class CliServerAwayTest : public CliTest
{
protected:
    void SetUp() override
    {
        CliTest::SetUp();
        QFile ini(home.config("kront.INI"));
        ASSERT_TRUE(ini.open(QIODevice::WriteOnly));
        ini.write("[Store]\r\nKind=postgresql\r\nHost=127.0.0.1\r\nPort=1\r\n"
                  "Database=kront\r\nUser=kront\r\n");
    }
};

TEST_F(CliServerAwayTest, EveryCommandOnTheTablesSaysSoOnOneLineAndExitsWithThree)
{
    const QString pdf = home.path() + "/out.pdf";
    const QString xml = home.path() + "/out.xml";
    for (const QStringList &args :
         {QStringList{"db", "count", "Poverki"}, QStringList{"db", "select", "Poverki"},
          QStringList{"history", "12345"}, QStringList{"registry-export", "--out", xml},
          QStringList{"protocol", "1", "--pdf", pdf}, QStringList{"document", "1", "--pdf", pdf}}) {
        SCOPED_TRACE(args.join(' ').toStdString());
        const Run r = cli(args);
        EXPECT_EQ(r.status, 3);
        EXPECT_TRUE(r.out.isEmpty());
        const QString err = QString::fromUtf8(r.err);
        EXPECT_TRUE(err.startsWith("Сервер базы данных 127.0.0.1:1/kront недоступен: "))
            << r.err.toStdString();
        EXPECT_EQ(err.count(u'\n'), 1) << r.err.toStdString();
        EXPECT_GT(err.trimmed().size(),
                  QStringLiteral("Сервер базы данных 127.0.0.1:1/kront недоступен:").size());
    }
    EXPECT_FALSE(QFileInfo::exists(pdf));
    EXPECT_FALSE(QFileInfo::exists(xml));
}

TEST_F(CliServerAwayTest, WrongUsageAndCommandsWithoutTablesNeedNoServer)
{
    EXPECT_EQ(cli({"db", "count", "Nope"}).status, 2);
    EXPECT_EQ(cli({"db", "count", "Poverki", "Nope = 1"}).status, 2);
    const Run nsh = cli({"nsh", "K", "100"});
    EXPECT_EQ(nsh.status, 0) << nsh.err.toStdString();
}

TEST_F(CliServerAwayTest, EmbeddedOptionUsesTheTableFilesOfTheHome)
{
    if (onServerStore())
        GTEST_SKIP() << "the home's rows are on the tests' server, not in its table files";
    for (const QStringList &args : {QStringList{"--embedded", "db", "count", "Poverki"},
                                    QStringList{"db", "--embedded", "count", "Poverki"}}) {
        SCOPED_TRACE(args.join(' ').toStdString());
        const Run r = cli(args);
        EXPECT_EQ(r.status, 0) << r.err.toStdString();
        EXPECT_EQ(r.out.trimmed(), "2");
        EXPECT_TRUE(r.err.isEmpty()) << r.err.toStdString();
    }
}

} // namespace
} // namespace kront::test
