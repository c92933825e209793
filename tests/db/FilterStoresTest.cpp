// The same filters over the same rows on the table files and on the database
// server select the same rows; the server's functions behind the compiled
// filters give what the embedded store gives. The server half runs when
// KRONT_TEST_PG names a test server.

#include "db/Database.h"
#include "db/FieldValue.h"
#include "db/FilterText.h"
#include "db/ServerFunctions.h"
#include "db/ServerTables.h"
#include "db/Sqlite.h"
#include "tests/db/FilterCases.h"
#include "tests/support/FakeClock.h"
#include "tests/support/ScratchServerDatabase.h"
#include "tests/support/ScriptedDialogs.h"
#include "tests/support/TempHome.h"

#include <QCoreApplication>
#include <gtest/gtest.h>

#include <QTemporaryDir>

#include <bit>
#include <random>

namespace kront::test
{
namespace
{

// EtalSens IDs 2..7: texts with LIKE's special characters and numbers in
// texts, floating values the embedded store writes in either notation.
void insertEtalRows(Database &db)
{
    const QVariant null;
    const struct {
        const char *serial;
        const char *owner;
        QVariant etalon, prodYear, highLim, temp1, emf1, created;
    } rows[] = {
        {"a_b", "x", true, 2019, 2.0, 100.5, 1e-5, QDateTime(QDate(2026, 12, 1), QTime(10, 0))},
        {"axb", nullptr, false, 2020, 0.1, -2.5, 1234567.0, null},
        {"a\\b", nullptr, null, null, null, 1e20, null, null},
        {" 12 ", "12", true, 12, 12, 12.0, null, null},
        {"1e999", "ABC", null, null, 1e15, 0.0001, null, null},
        {"-0,5", "abc", null, null, 123456789012345.0, -0.5, null, null},
    };
    for (const auto &r : rows) {
        TableRow row(tables::EtalSens);
        row.setFields({{"SerialNum", QString::fromUtf8(r.serial)},
                       {"Owner", r.owner ? QVariant(QString::fromUtf8(r.owner)) : null},
                       {"Etalon", r.etalon},
                       {"ProdYear", r.prodYear},
                       {"WDTHighLim", r.highLim},
                       {"Temp1", r.temp1},
                       {"EMF1", r.emf1},
                       {"RecordCreationDateTime", r.created}});
        EXPECT_TRUE(db.DBEtalSensInsert(row)) << r.serial;
    }
}

// Where the two stores' SQL differs most: LIKE's special characters and LIKE
// on numbers, texts against numbers under NOT, truth constants inside
// conditions, booleans, text order.
const FilterCase kEtalCases[] = {
    {"EtalSens", "SerialNum LIKE 'a_b'", 1},
    {"EtalSens", "SerialNum LIKE 'a%b'", 3},
    {"EtalSens", "SerialNum LIKE 'a\\b'", 1},
    {"EtalSens", "SerialNum LIKE 'a\\%'", 1},
    {"EtalSens", "SerialNum LIKE '%\\'", 0},
    {"EtalSens", "SerialNum NOT LIKE '%b'", 3},
    {"EtalSens", "Owner LIKE 'a%'", 1},
    {"EtalSens", "ProdYear LIKE '20%'", 2},
    {"EtalSens", "Etalon LIKE '1'", 2},
    {"EtalSens", "WDTHighLim LIKE '%.0'", 3},
    {"EtalSens", "WDTHighLim LIKE '1.0e+15'", 1},
    {"EtalSens", "Temp1 LIKE '%e%'", 1},
    {"EtalSens", "Temp1 LIKE '-%'", 2},
    {"EtalSens", "EMF1 LIKE '1.0e-05'", 1},
    {"EtalSens", "RecordCreationDateTime LIKE '2026-12-%'", 1},
    {"EtalSens", "SerialNum = 12", 1},
    {"EtalSens", "SerialNum > -1", 2},
    {"EtalSens", "SerialNum <> 12", 5},
    {"EtalSens", "NOT (SerialNum = 12)", 5},
    {"EtalSens", "NOT (SerialNum <> 12)", 1},
    {"EtalSens", "SerialNum = ProdYear", 1},
    {"EtalSens", "ProdYear = SerialNum", 1},
    {"EtalSens", "Temp1 > SerialNum", 0},
    {"EtalSens", "ProdYear > '2019.5'", 1},
    {"EtalSens", "ProdYear = 'x'", 0},
    {"EtalSens", "ProdYear <> 'x'", 3},
    {"EtalSens", "NOT (ProdYear = 'x')", 3},
    {"EtalSens", "Etalon", 2},
    {"EtalSens", "NOT Etalon", 1},
    {"EtalSens", "Etalon = True", 2},
    {"EtalSens", "Etalon = 'true'", 2},
    {"EtalSens", "Etalon <> False", 2},
    {"EtalSens", "Temp1 = '100,5'", 1},
    {"EtalSens", "Temp1 > 10000000000000000000", 1},
    {"EtalSens", "Owner = 12", 1},
    {"EtalSens", "Owner >= 'a'", 2},
    {"EtalSens", "Owner < 'a'", 2},
    {"EtalSens", "WDTHighLim IS NULL", 1},
    {"EtalSens", "Date(RecordCreationDateTime) = '01.12.2026'", 1},
    {"EtalSens", "RecordCreationDateTime > GetDate()", 0},
    {"EtalSens", "True and SerialNum IS NOT NULL", 6},
    {"EtalSens", "False or Etalon", 2},
    {"EtalSens", "NOT (1 = 2)", 6},
    {"EtalSens", "NOT True", 0},
    {"EtalSens", "NOT (ID IS NULL)", 6},
    {"EtalSens", "'5' > 3 and Etalon", 2},
    {"EtalSens", "'x' = 3 or ID = 2", 1},
    {"EtalSens", "SerialNum IS NULL or NOT (SerialNum LIKE '%b')", 3},
};

class FilterStoresTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        ASSERT_TRUE(embedded.ensureTables());
        insertFilterRows(embedded);
        insertEtalRows(embedded);
        if (testServerKeywords().isEmpty())
            return;
        QString reason;
        ASSERT_TRUE(scratch.create(&reason)) << reason.toStdString();
        auto tables = std::make_unique<ServerTables>(scratch.settings());
        ASSERT_TRUE(tables->connect(&reason)) << reason.toStdString();
        server = std::make_unique<Database>(dialogs, std::move(tables));
        ASSERT_TRUE(server->ensureTables()) << dialogs.texts().join(u'\n').toStdString();
        insertFilterRows(*server);
        insertEtalRows(*server);
    }

    // The IDs of the rows passing, in order; {-1} when the filter failed.
    static std::vector<int> ids(Database &db, const FilterCase &c)
    {
        const auto rows = db.selectFields(*findTable(QString::fromLatin1(c.table)), {"ID"},
                                          QString::fromUtf8(c.filter));
        if (!rows)
            return {-1};
        std::vector<int> out;
        for (const QVariantList &row : *rows)
            out.push_back(row.value(0).toInt());
        return out;
    }

    TempHome home;
    FakeClock clock;
    ScriptedDialogs dialogs;
    Database embedded{dialogs};
    ScratchServerDatabase scratch;
    std::unique_ptr<Database> server;
};

TEST_F(FilterStoresTest, EveryFilterSelectsTheSameRowsOnBothStores)
{
    std::vector<FilterCase> cases(std::begin(kFilterCases), std::end(kFilterCases));
    cases.insert(cases.end(), std::begin(kEtalCases), std::end(kEtalCases));
    for (const FilterCase &c : cases) {
        const std::vector<int> fromFiles = ids(embedded, c);
        EXPECT_EQ(int(fromFiles.size()), c.expected) << c.filter;
        const TableSchema &table = *findTable(QString::fromLatin1(c.table));
        const QString filter = QString::fromUtf8(c.filter);
        EXPECT_EQ(embedded.countRows(table, filter, 2), std::min(c.expected, 2)) << c.filter;
        if (server) {
            EXPECT_EQ(ids(*server, c), fromFiles) << c.filter;
            EXPECT_EQ(server->countRows(table, filter, 2), std::min(c.expected, 2)) << c.filter;
            EXPECT_EQ(server->DBGetRecordsCount(table, filter),
                      embedded.DBGetRecordsCount(table, filter))
                << c.filter;
            EXPECT_EQ(server->DBGetMaxID(table, filter), embedded.DBGetMaxID(table, filter))
                << c.filter;
            EXPECT_EQ(server->DBGetID(table, filter), embedded.DBGetID(table, filter)) << c.filter;
        }
    }
    EXPECT_TRUE(dialogs.shown.empty()) << dialogs.texts().join(u'\n').toStdString();
    if (!server)
        GTEST_SKIP() << "KRONT_TEST_PG is not set: the filters ran on the table files only";
}

// Updates and deletions by filter change the same rows on both stores.
TEST_F(FilterStoresTest, ChangesByFilterTouchTheSameRows)
{
    if (!server)
        GTEST_SKIP() << "KRONT_TEST_PG is not set";
    const char *const filters[] = {"SerialNum LIKE 'a_b'", "NOT (SerialNum = 12)",
                                   "Etalon and Temp1 > 100", "Owner < 'a' or ProdYear IS NULL"};
    for (Database *db : {&embedded, server.get()}) {
        int updated = 0;
        for (const char *f : filters)
            updated += db->updateWhere(tables::EtalSens, QString::fromUtf8(f),
                                       {{"Producer", QString::fromUtf8(f).left(40)}});
        EXPECT_EQ(updated, 1 + 5 + 1 + 4);
    }
    const FilterCase producers = {"EtalSens", "Producer IS NOT NULL", 6};
    EXPECT_EQ(ids(embedded, producers).size(), 6u);
    EXPECT_EQ(ids(*server, producers), ids(embedded, producers));
    for (const char *f : filters) {
        const QByteArray same = ("Producer = " + filterTextLiteral(QString::fromUtf8(f))).toUtf8();
        const FilterCase c = {"EtalSens", same.constData(), 0};
        EXPECT_EQ(ids(*server, c), ids(embedded, c)) << f;
    }
    EXPECT_TRUE(embedded.DBDeleteEtalSensFilter("SerialNum > -1 or SerialNum LIKE 'a\\%'"));
    EXPECT_TRUE(server->DBDeleteEtalSensFilter("SerialNum > -1 or SerialNum LIKE 'a\\%'"));
    const FilterCase all = {"EtalSens", "", 3};
    EXPECT_EQ(ids(embedded, all), (std::vector<int>{2, 3, 6}));
    EXPECT_EQ(ids(*server, all), ids(embedded, all));
    EXPECT_TRUE(dialogs.shown.empty()) << dialogs.texts().join(u'\n').toStdString();
}

// A connection to a scratch database holding the server's functions.
class ServerFunctionsTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        if (testServerKeywords().isEmpty())
            GTEST_SKIP() << "KRONT_TEST_PG is not set";
        QString reason;
        ASSERT_TRUE(scratch.create(&reason)) << reason.toStdString();
        ASSERT_TRUE(conn.open(scratch.settings().connectionString()))
            << conn.errorText().toStdString();
        for (const QString &statement : serverFunctionStatements())
            ASSERT_TRUE(conn.exec(statement)) << conn.errorText().toStdString();
    }

    ScratchServerDatabase scratch;
    pg::Connection conn;
};

// Every installation runs the definitions at start: again on the same
// database, and as another user who does not own the functions. An outdated
// function is replaced.
TEST_F(ServerFunctionsTest, DefinitionsRunAgainAndAsAnotherUser)
{
    const auto value = [this](const QString &select) {
        sql::Statement st(conn, select);
        return (st.step() ? st.text(0) : QStringLiteral("failed: ") + conn.errorText())
            .toStdString();
    };
    const auto defineAll = [this] {
        for (const QString &statement : serverFunctionStatements()) {
            if (!conn.exec(statement))
                return conn.errorText().toStdString();
        }
        return std::string();
    };
    EXPECT_EQ(defineAll(), "");
    const QString role =
        QStringLiteral("kront_test_other_%1").arg(QCoreApplication::applicationPid());
    ASSERT_TRUE(conn.exec(QStringLiteral("CREATE ROLE %1 NOLOGIN").arg(role)))
        << conn.errorText().toStdString();
    // The tests' role may create roles but is no superuser: it becomes a member to act as it.
    ASSERT_TRUE(conn.exec(QStringLiteral("GRANT %1 TO CURRENT_USER").arg(role)))
        << conn.errorText().toStdString();
    ASSERT_TRUE(conn.exec(QStringLiteral("SET ROLE %1").arg(role)));
    EXPECT_EQ(defineAll(), "");
    EXPECT_EQ(value(QStringLiteral("SELECT kront_num(' 7,5 ')")), "7.5");
    ASSERT_TRUE(conn.exec(QStringLiteral("RESET ROLE")));
    ASSERT_TRUE(conn.exec(QStringLiteral("DROP ROLE %1").arg(role)));

    ASSERT_TRUE(conn.exec(QStringLiteral("CREATE OR REPLACE FUNCTION kront_num(t text) RETURNS "
                                         "double precision LANGUAGE sql IMMUTABLE AS "
                                         "$f$ SELECT 0::double precision $f$")));
    EXPECT_EQ(defineAll(), "");
    EXPECT_EQ(value(QStringLiteral("SELECT kront_num(' 7,5 ')")), "7.5");
}

// Texts shaped like numbers: signs, digits with either separator, exponents
// near the ends of the range, long runs of digits, blanks around, stray letters.
QString numberLikeText(std::mt19937 &rng)
{
    const auto below = [&rng](int n) { return std::uniform_int_distribution<int>(0, n - 1)(rng); };
    static const char16_t *const blanks[] = {u"",       u"",       u" ",     u"\t",
                                             u"\u00a0", u"\u3000", u"\u200b"};
    static const char *const signs[] = {"", "", "-", "+"};
    QString s = QString::fromUtf16(blanks[below(7)]) + QLatin1String(signs[below(4)]);
    const int digits = below(6) == 0 ? 300 + below(500) : below(20);
    const int kind = below(3); // zeros, nines or any digits
    for (int i = 0; i < digits; ++i)
        s += QChar(u'0' + (kind == 0   ? (below(4) == 0 ? below(10) : 0)
                           : kind == 1 ? 9
                                       : below(10)));
    if (below(2)) {
        s += below(2) ? u'.' : u',';
        for (int i = below(4) == 0 ? below(400) : below(6); i > 0; --i)
            s += QChar(u'0' + (kind == 1 ? 9 : below(10)));
    }
    if (below(2)) {
        s += QLatin1String(below(2) ? "e" : "E") + QLatin1String(signs[below(4)]);
        if (below(5) == 0)
            s += QLatin1String("000");
        s += QString::number(below(3) == 0 ? 290 + below(50) : below(400));
    }
    if (below(40) == 0)
        s += QLatin1String(below(2) ? "x" : ".");
    return s + QString::fromUtf16(blanks[below(7)]);
}

TEST_F(ServerFunctionsTest, NumberInTextGivesTheSameValueAsTheProgram)
{
    QStringList texts = {"7",
                         "0007",
                         "7,0",
                         " 7.0 ",
                         "7a",
                         "",
                         " ",
                         "-0",
                         "+5",
                         ".5",
                         "5.",
                         "1.e5",
                         ",5e1",
                         "-.5",
                         "1e0005",
                         "1E+5",
                         "1e-0",
                         "e5",
                         "5e",
                         "+",
                         ".",
                         "1,5,5",
                         "--1",
                         "1 e5",
                         "1e1.5",
                         "\u00a012\u3000",
                         "\u200b12",
                         "0e99999",
                         "0.000e5",
                         "1e99999999999999999999",
                         "1e308",
                         "1.7976931348623157e308",
                         "1.7976931348623158e308",
                         "1.7976931348623159e308",
                         "1e309",
                         "-1e309",
                         "4.9e-324",
                         "2.4703282292062328e-324",
                         "2.4703282292062327e-324",
                         "1e-400",
                         "2.2250738585072011e-308",
                         "9007199254740993",
                         "0.1",
                         "0.30000000000000004",
                         QStringLiteral("1") + QString(400, u'0'),
                         QString(5000, u'0') + QStringLiteral("1"),
                         QStringLiteral("0.") + QString(400, u'0') + QStringLiteral("1e100"),
                         QStringLiteral("1.") + QString(900, u'0') + QStringLiteral("1")};
    std::mt19937 rng(20261210);
    for (int i = 0; i < 3000; ++i)
        texts << numberLikeText(rng);

    sql::Statement st(conn, QStringLiteral("SELECT kront_num(?1)"));
    ASSERT_TRUE(st.isValid()) << conn.errorText().toStdString();
    for (const QString &text : texts) {
        st.reset();
        st.bind(1, text);
        ASSERT_TRUE(st.step()) << text.left(80).toStdString() << ": "
                               << conn.errorText().toStdString();
        const std::optional<double> expected = numberInText(text);
        ASSERT_EQ(!st.isNull(0), expected.has_value()) << text.left(80).toStdString();
        if (expected) {
            const double got = st.real(0);
            EXPECT_EQ(std::bit_cast<quint64>(got), std::bit_cast<quint64>(*expected))
                << text.left(80).toStdString() << ": " << got << " for " << *expected;
        }
    }
}

TEST_F(ServerFunctionsTest, RealTextIsTheEmbeddedStoresText)
{
    std::vector<double> values = {2.0,
                                  0.1,
                                  1.0 / 3,
                                  1e20,
                                  1e15,
                                  1e14,
                                  123456789012345.0,
                                  1234567890123456.0,
                                  1e-5,
                                  1e-4,
                                  0.0001234,
                                  -2.5,
                                  1e300,
                                  5e-324,
                                  100.5,
                                  -0.0,
                                  0.0,
                                  1.5e-7,
                                  123.456e10,
                                  1.7976931348623157e308,
                                  -1e-300,
                                  99.99,
                                  4.096,
                                  -273.15,
                                  1e16};
    std::mt19937 rng(1210);
    for (int i = 0; i < 2000; ++i) {
        // Lab values: up to 15 significant digits at any magnitude.
        const qint64 digits =
            std::uniform_int_distribution<qint64>(-999999999999999, 999999999999999)(rng);
        const int exponent = std::uniform_int_distribution<int>(-45, 30)(rng);
        values.push_back(QStringLiteral("%1e%2").arg(digits).arg(exponent).toDouble());
    }
    QTemporaryDir dir;
    sqlite::Connection files;
    ASSERT_TRUE(files.openOrCreate(dir.filePath(QStringLiteral("t.db"))));
    sql::Statement embeddedText(files, QStringLiteral("SELECT CAST(?1 AS TEXT)"));
    sql::Statement serverText(conn, QStringLiteral("SELECT kront_real_text(?1)"));
    ASSERT_TRUE(serverText.isValid()) << conn.errorText().toStdString();
    for (const double v : values) {
        embeddedText.reset();
        embeddedText.bind(1, v);
        serverText.reset();
        serverText.bind(1, v);
        ASSERT_TRUE(embeddedText.step());
        ASSERT_TRUE(serverText.step()) << conn.errorText().toStdString();
        EXPECT_EQ(serverText.text(0), embeddedText.text(0)) << v;
    }
}

} // namespace
} // namespace kront::test
