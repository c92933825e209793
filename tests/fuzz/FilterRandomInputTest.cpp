// Thousands of random filters against the parser and compiler of the filter
// dialect: each is refused with a position inside the text, or becomes SQL
// that runs on the real table file with every literal bound; with KRONT_TEST_PG
// set, the same filter compiled for the database server is refused alike or
// runs there as well.
#include "db/FilterCompiler.h"
#include "db/ServerTables.h"
#include "db/TableFile.h"
#include "tests/support/ScratchServerDatabase.h"
#include "tests/support/TempHome.h"

#include <gtest/gtest.h>

#include <QDateTime>

#include <random>

namespace kront
{

namespace
{

const char *const kTokens[] = {
    "ID",
    "PovNum",
    "Started",
    "Finished",
    "Kind",
    "Methodic",
    "CurrPovState",
    "PoverkaID",
    "BunchId",
    "Stage",
    "MeasPointNum",
    "Operation",
    "DocNum",
    "TypeName",
    "SerialNum",
    "ProdYear",
    "DocType",
    "nosuchfield",
    "Поле",
    "=",
    "<>",
    ">=",
    "<=",
    "<",
    ">",
    "==",
    "!=",
    "LIKE",
    "like",
    "NOT",
    "IS",
    "NULL",
    "IS NULL",
    "IS NOT NULL",
    "and",
    "AND",
    "or",
    "OR",
    "(",
    ")",
    "((",
    "))",
    "Date(",
    "Date",
    "GetDate()",
    "GetDate(",
    "Date(GetDate())",
    "Date(Started)",
    "'abc'",
    "'O''Brien'",
    "'%'",
    "'%x%'",
    "'10.12.2026'",
    "'31.02.2026'",
    "'1.1.1'",
    "''",
    "'",
    "'unterminated",
    "12",
    "-5",
    "+7",
    "3.5",
    "3,5",
    ".5",
    "5.",
    "1e308",
    "1e999",
    "-1e999",
    "99999999999999999999",
    "0x10",
    "True",
    "False",
    "true",
    "'; DROP TABLE "
    "Poverki; --",
    "\"",
    "[",
    "]",
    ";",
    "--",
    "/*",
    "*/",
    "?",
    "?1",
    ":a",
    "@a",
    "$a",
    "%",
    "_",
    "\\",
    "'Бр.'",
    "'Е'",
    "ё",
    "'\t'",
    ",",
    ".",
    "*",
    "+",
    "-",
    "||",
    "&",
};

const char *const kProgramFilters[] = {
    "ID = 12",
    "PoverkaID = 3 and ChannelNum = 2",
    "PoverkaID = 3 and BunchID = 4 and Stage = 'Calculation' and MeasPointNum = 2 and MeasNum "
    "= 5 and Operation = 'Delta'",
    "PoverkaID = 3 AND BunchId = 4 AND Stage = 'Instability' AND MeasPointNum = 1",
    "PovNum = '12' and Date(Started) = Date(GetDate())",
    "PovNum = '12' and Date(Started) = '10.12.2026'",
    "Finished IS NULL AND CurrPovState <> 'Calculation;0;1;1;' AND CurrPovState <> "
    "'Calculation;1;1;1;'",
    "Finished IS NOT NULL AND PovNum = 'a''b' AND Date(Finished) >= '01.01.2020' AND "
    "Date(Finished) <= '10.12.2026' AND Kind = 1 AND Methodic = 0",
    "SerialNum = '1' and ProdYear = 2001 and (TypeName LIKE '%ТХА%' or TypeName LIKE 'ТХА%') "
    "and NSHType = 'K'",
    "DocType = False and DocNum = 17 and DateDoc = '10.12.2026'",
};

// The start of a filter for a failure message.
std::string shown(const QString &filter)
{
    return filter.size() > 120 ? filter.left(120).toStdString() + "..." : filter.toStdString();
}

class FilterFuzz : public ::testing::Test
{
protected:
    FilterFuzz() : rng(424242) {}
    // (the home is a member, made before SetUp creates the tables in it)

    void SetUp() override
    {
        for (const TableSchema *s : allTables())
            ASSERT_TRUE(createTableFile(*s, tableFilePath(*s)));
        if (test::testServerKeywords().isEmpty())
            return;
        QString reason;
        ASSERT_TRUE(scratch.create(&reason)) << reason.toStdString();
        server = std::make_unique<ServerTables>(scratch.settings());
        ASSERT_TRUE(server->connect(&reason)) << reason.toStdString();
        const std::vector<const TableSchema *> all(allTables().begin(), allTables().end());
        ASSERT_EQ(server->createMissingTables(all), nullptr)
            << server->connection().errorText().toStdString();
        for (const TableSchema *s : allTables())
            insertServerRows(*s);
    }

    // Rows for the server's filters to be evaluated on, not only planned: one
    // whose texts hold a number, one whose texts do not, one all null.
    void insertServerRows(const TableSchema &s)
    {
        sql::Connection &conn = server->connection();
        const QString table = sql::quoteIdentifier(s.tableName());
        for (const char *text : {" 7,5 ", "abc"}) {
            QStringList columns, places;
            std::vector<sql::Value> values;
            for (const FieldDef &f : s.fields) {
                if (f.type == FieldType::AutoInc)
                    continue;
                columns << sql::quoteIdentifier(QString::fromLatin1(f.name));
                places << QStringLiteral("?%1").arg(values.size() + 1);
                switch (f.type) {
                case FieldType::Float: values.emplace_back(2.5); break;
                case FieldType::DateTime:
                    values.emplace_back(QStringLiteral("2026-12-10 08:30:00.000"));
                    break;
                case FieldType::Text:
                case FieldType::Memo:
                    values.emplace_back(QString::fromLatin1(text).left(f.size > 0 ? f.size : 100));
                    break;
                default: values.emplace_back(qint64(1));
                }
            }
            sql::Statement insert(conn, QStringLiteral("INSERT INTO %1 (%2) VALUES (%3)")
                                            .arg(table, columns.join(u','), places.join(u',')));
            insert.bindAll(values);
            ASSERT_TRUE(insert.run()) << conn.errorText().toStdString();
        }
        ASSERT_TRUE(conn.exec(QStringLiteral("INSERT INTO %1 DEFAULT VALUES").arg(table)))
            << conn.errorText().toStdString();
    }

    int below(int n) { return std::uniform_int_distribution<int>(0, n - 1)(rng); }

    QString tokens()
    {
        static const char *const spaces[] = {" ", "", "  ", "\t", "\n"};
        QString out;
        const int n = 1 + below(12);
        for (int i = 0; i < n; ++i) {
            out += QString::fromUtf8(kTokens[below(int(std::size(kTokens)))]);
            out += QString::fromLatin1(spaces[below(int(std::size(spaces)))]);
        }
        return out;
    }

    QChar randomChar()
    {
        static const QString pool = QStringLiteral("abzAZ09 '\"()=<>!%_-+.,;eE\t\n\\ЁёЕеБрТХА") +
                                    QChar(0) + QChar(0xD800) + QChar(0xFFFF);
        return pool[below(int(pool.size()))];
    }

    QString mutated()
    {
        QString s = QString::fromUtf8(kProgramFilters[below(int(std::size(kProgramFilters)))]);
        const int edits = 1 + below(5);
        for (int e = 0; e < edits; ++e) {
            const int at = s.isEmpty() ? 0 : below(int(s.size()));
            switch (below(3)) {
            case 0: s.remove(at, 1 + below(3)); break;
            case 1: s.insert(at, randomChar()); break;
            default:
                if (!s.isEmpty())
                    s[at] = randomChar();
            }
        }
        return s;
    }

    QString noise()
    {
        QString s;
        const int n = below(80);
        for (int i = 0; i < n; ++i)
            s += randomChar();
        return s;
    }

    QString nested()
    {
        // Deep nesting must be refused or handled, never overflow the stack.
        const int depth = below(4) == 0 ? 30000 : below(300);
        const QString open = below(2) ? QStringLiteral("(") : QStringLiteral("NOT ");
        return open.repeated(depth) + QStringLiteral("ID = 1") +
               (open == QLatin1String("(") ? QStringLiteral(")").repeated(depth - below(2))
                                           : QString());
    }

    QString chain()
    {
        const int terms = 1 + below(400);
        QStringList parts;
        for (int i = 0; i < terms; ++i)
            parts << QStringLiteral("ID = %1").arg(i);
        return parts.join(below(2) ? QStringLiteral(" and ") : QStringLiteral(" or "));
    }

    // A filter that reads: comparisons of the table's fields of every type
    // with literals of every kind and with each other, LIKE on any field, IS
    // NULL, a boolean alone, under NOT and and/or.
    QString wellFormed(const TableSchema &s, int depth = 0)
    {
        if (depth < 3 && below(3) == 0) {
            if (below(4) == 0)
                return QStringLiteral("NOT (%1)").arg(wellFormed(s, depth + 1));
            return QStringLiteral("(%1 %2 %3)")
                .arg(wellFormed(s, depth + 1),
                     below(2) ? QStringLiteral("and") : QStringLiteral("or"),
                     wellFormed(s, depth + 1));
        }
        static const char *const ops[] = {"=", "<>", "<", "<=", ">", ">="};
        static const char *const patterns[] = {"'%'",    "'1%'",     "'%.5'",  "'a_b%'",
                                               "'%\\%'", "'2026-%'", "'%e+%'", "''"};
        const QString field = s.fieldName(below(s.fieldCount()));
        switch (below(6)) {
        case 0:
            return QStringLiteral("%1 %2LIKE %3")
                .arg(field, below(3) == 0 ? QStringLiteral("NOT ") : QString(),
                     QString::fromLatin1(patterns[below(int(std::size(patterns)))]));
        case 1:
            return field + (below(2) ? QStringLiteral(" IS NULL") : QStringLiteral(" IS NOT NULL"));
        case 2: return field; // a boolean alone; other types are refused
        default:
            return QStringLiteral("%1 %2 %3")
                .arg(operand(s), QString::fromLatin1(ops[below(6)]), operand(s));
        }
    }

    QString operand(const TableSchema &s)
    {
        static const char *const literals[] = {"7",
                                               "-5",
                                               "0",
                                               "2020",
                                               "99999999999999999999",
                                               "3.5",
                                               "-0.5",
                                               "'abc'",
                                               "'7'",
                                               "' 7,5 '",
                                               "'1e999'",
                                               "''",
                                               "True",
                                               "False",
                                               "'true'",
                                               "'10.12.2026'",
                                               "'10.12.2026 08:30'",
                                               "GetDate()",
                                               "Date(GetDate())",
                                               "Date('10.12.2026')",
                                               "'31.02.2026'"};
        const QString field = s.fieldName(below(s.fieldCount()));
        switch (below(4)) {
        case 0: return QString::fromLatin1(literals[below(int(std::size(literals)))]);
        case 1: return QStringLiteral("Date(%1)").arg(field);
        default: return field;
        }
    }

    // Compiles against every table; a compiled filter must run.
    void check(const QString &filter)
    {
        ++cases;
        const QDateTime now(QDate(2026, 12, 10), QTime(12, 0));
        for (const TableSchema *s : allTables()) {
            auto compiled = compileFilter(filter, *s, now);
            if (server)
                checkOnServer(filter, *s, now, compiled.index());
            if (auto *err = std::get_if<FilterError>(&compiled)) {
                ++refused;
                EXPECT_GE(err->position, 0) << shown(filter);
                EXPECT_LE(err->position, filter.size() + 1) << shown(filter);
                EXPECT_FALSE(err->text().isEmpty());
                continue;
            }
            const SqlFilter &sql = std::get<SqlFilter>(compiled);
            // Literals are bound, never written into the SQL text.
            EXPECT_FALSE(sql.where.contains(u'\'')) << shown(filter);
            auto file = TableFile::open(*s, TableFile::Mode::Read);
            ASSERT_TRUE(file);
            sqlite::Statement st(file->connection(),
                                 QStringLiteral("SELECT COUNT(*) FROM %1 WHERE %2")
                                     .arg(sqlite::quoteIdentifier(s->tableName()), sql.where));
            ASSERT_TRUE(st.isValid()) << shown(filter) << " -> " << sql.where.toStdString();
            st.bindAll(sql.params);
            EXPECT_TRUE(st.step()) << shown(filter) << " -> " << sql.where.toStdString();
            ++ran;
        }
    }

    // The filter compiled for the server: refused where the embedded store's
    // is refused, otherwise SQL the server runs without an error.
    void checkOnServer(const QString &filter, const TableSchema &s, const QDateTime &now,
                       std::size_t embeddedOutcome)
    {
        const auto compiled = compileFilter(filter, s, now, SqlDialect::Server);
        EXPECT_EQ(compiled.index(), embeddedOutcome) << shown(filter);
        const auto *sql = std::get_if<SqlFilter>(&compiled);
        if (!sql)
            return;
        EXPECT_FALSE(sql->where.contains(u'\'')) << shown(filter);
        sql::Connection &conn = server->connection();
        sql::Statement st(conn, QStringLiteral("SELECT COUNT(*) FROM %1 WHERE %2")
                                    .arg(sql::quoteIdentifier(s.tableName()), sql->where));
        st.bindAll(sql->params);
        EXPECT_TRUE(st.step()) << shown(filter) << " -> " << sql->where.toStdString() << ": "
                               << conn.errorText().toStdString();
        ++ranOnServer;
    }

    test::TempHome home;
    std::mt19937 rng;
    int cases = 0, refused = 0, ran = 0, ranOnServer = 0;
    test::ScratchServerDatabase scratch;
    std::unique_ptr<ServerTables> server;
};

} // namespace

TEST_F(FilterFuzz, RandomFiltersAreRefusedWithAPositionOrRunAsBoundSql)
{
    for (const char *f : kProgramFilters)
        check(QString::fromUtf8(f));
    for (int i = 0; i < 1500; ++i)
        check(tokens());
    for (int i = 0; i < 1500; ++i)
        check(mutated());
    for (int i = 0; i < 800; ++i)
        check(noise());
    for (int i = 0; i < 40; ++i)
        check(nested());
    for (int i = 0; i < 40; ++i)
        check(chain());
    EXPECT_GT(refused, 0);
    EXPECT_GT(ran, 150);
    if (server) {
        EXPECT_EQ(ranOnServer, ran);
    }
    std::printf("%d filters: %d compilations refused, %d ran as SQL, %d on the server\n", cases,
                refused, ran, ranOnServer);
}

// Filters that read, over every kind of field and literal: each compiles for
// both stores alike and what compiles runs on both.
TEST_F(FilterFuzz, WellFormedFiltersOfEveryFieldTypeRunOnEitherStore)
{
    for (const TableSchema *s : allTables()) {
        for (int i = 0; i < 250; ++i)
            check(wellFormed(*s));
    }
    EXPECT_GT(ran, 1000);
    std::printf("%d filters: %d compilations refused, %d ran as SQL, %d on the server\n", cases,
                refused, ran, ranOnServer);
}

} // namespace kront

namespace kront
{

// Nesting is bounded: a filter with more than 32 parentheses, NOTs, Dates and
// and/or links is refused with a position instead of overflowing the
// parser's stack or becoming SQL the store cannot run; up to the bound it runs.
TEST_F(FilterFuzz, NestingIsBoundedAndRunsUpToTheBound)
{
    const auto nestedIn = [](const char *open, const char *close, int depth) {
        return QString::fromLatin1(open).repeated(depth) + QStringLiteral("ID = 1") +
               QString::fromLatin1(close).repeated(depth);
    };
    QStringList chain32;
    for (int i = 0; i <= 32; ++i)
        chain32 << QStringLiteral("ID = %1").arg(i);
    QString mixed = QStringLiteral("Date(Started) = '10.12.2026' and PovNum = 1");
    for (int i = 0; i < 9; ++i) // 2 + 9 x 3 = 29 of the 32
        mixed = QStringLiteral("NOT (%1 or Kind = %2)").arg(mixed).arg(i);
    struct Row {
        QString filter;
        bool accepted;
    } rows[] = {
        {nestedIn("(", ")", 32), true},
        {nestedIn("(", ")", 33), false},
        {nestedIn("(", ")", 30000), false},
        {nestedIn("NOT ", "", 32), true},
        {nestedIn("NOT ", "", 30000), false},
        {QStringLiteral("Date(").repeated(40) + QStringLiteral("Started") +
             QStringLiteral(")").repeated(40) + QStringLiteral(" = '10.12.2026'"),
         false},
        {chain32.join(QStringLiteral(" and ")), true},
        {chain32.join(QStringLiteral(" or ")) + QStringLiteral(" or ID = 99"), false},
        {mixed, true},
    };
    const QDateTime now(QDate(2026, 12, 10), QTime(12, 0));
    for (const Row &row : rows) {
        const auto compiled = compileFilter(row.filter, tables::Poverki, now);
        EXPECT_EQ(std::holds_alternative<SqlFilter>(compiled), row.accepted) << shown(row.filter);
        if (const auto *err = std::get_if<FilterError>(&compiled)) {
            EXPECT_GT(err->position, 0);
            EXPECT_LE(err->position, row.filter.size());
        }
        check(row.filter); // and what is accepted runs
    }
}

} // namespace kront
