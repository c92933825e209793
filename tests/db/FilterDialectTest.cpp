// The filter dialect: what passes, evaluated by the store on a small fixture,
// and where a filter that cannot be read is reported.

#include "db/FilterCompiler.h"
#include "db/FilterText.h"
#include "tests/db/DbFixture.h"
#include "tests/db/FilterCases.h"

namespace kront::test
{
namespace
{

class FilterDialectTest : public DbFixture
{
protected:
    void SetUp() override
    {
        DbFixture::SetUp();
        insertFilterRows(db);
    }
};

TEST_F(FilterDialectTest, RowsPassingEachFilter)
{
    for (const FilterCase &c : kFilterCases) {
        EXPECT_EQ(count(c.table, QString::fromUtf8(c.filter)), c.expected) << c.filter;
    }
    EXPECT_TRUE(dialogs.shown.empty());
}

TEST_F(FilterDialectTest, GetDateFollowsTheProgramClock)
{
    EXPECT_EQ(count("Poverki", "Date(Started) = Date(GetDate())"), 1);
    clock.set(at(11, 12, 2026, 12));
    EXPECT_EQ(count("Poverki", "Date(Started) = Date(GetDate())"), 1);
    EXPECT_EQ(count("Poverki", "PovNum = 'Прм 5' and Date(Started) = Date(GetDate())"), 1);
    clock.set(at(12, 12, 2026, 12));
    EXPECT_EQ(count("Poverki", "Date(Started) = Date(GetDate())"), 0);
}

TEST_F(FilterDialectTest, TypedQuotesNeverBreakAFilter)
{
    const QStringList typed = {"A'1", "a'1", "'", "''", "' or '1' = '1", "x') or (1 = 1"};
    for (const QString &t : typed) {
        const QString filter = "PovNum = '" + quoteFilterText(t) + "'";
        const int expected = (t == "A'1" || t == "a'1") ? 1 : 0;
        EXPECT_EQ(count("Poverki", filter), expected) << t.toStdString();
    }
    EXPECT_TRUE(dialogs.shown.empty());
    EXPECT_EQ(quoteFilterText("O'Neil's"), "O''Neil''s");
    EXPECT_EQ(count("Poverki", "PovNum = " + filterTextLiteral("A'1")), 1);
}

struct SyntaxCase {
    const char *filter;
    int position;
};

TEST(FilterSyntax, ErrorsNameThePosition)
{
    const SyntaxCase cases[] = {
        {"PovNum = 'abc", 10},
        {"PovNum = ", 10},
        {"PovNum 'x'", 8},
        {"(PovNum = 'x'", 14},
        {"PovNum = 'x')", 13},
        {"PovNum = 'x' and", 17},
        {"PovNum = 'x' and or Kind = 1", 18},
        {"PovNum == 'x'", 9},
        {"PovNum = 'x' # 1", 14},
        {"Kind = 1 Kind = 2", 10},
        {"Nope = 1", 1},
        {"Kind = 1 and Nope IS NULL", 14},
        {"Date(Started) = '2026-12-10'", 17},
        {"Date(Kind) = '10.12.2026'", 6},
        {"Foo(Started) = 1", 1},
        {"Kind IS 1", 9},
        {"PovNum LIKE 5", 13},
        {"Kind = 1x", 9},
        {"PovNum", 1},
        {"Kind = True and PovNum = True", 26},
    };
    for (const SyntaxCase &c : cases) {
        const auto r = compileFilter(QString::fromUtf8(c.filter), tables::Poverki, QDateTime());
        ASSERT_TRUE(std::holds_alternative<FilterError>(r)) << c.filter;
        const FilterError &e = std::get<FilterError>(r);
        EXPECT_EQ(e.position, c.position) << c.filter << ": " << e.message.toStdString();
        EXPECT_TRUE(e.text().contains(QString::number(c.position)));
    }
}

TEST(FilterSyntax, TypedTextIsBoundNeverSpliced)
{
    const auto r =
        compileFilter("PovNum = 'x'' OR 1=1 --' and Kind = 1", tables::Poverki, QDateTime());
    ASSERT_TRUE(std::holds_alternative<SqlFilter>(r));
    const SqlFilter &f = std::get<SqlFilter>(r);
    EXPECT_FALSE(f.where.contains("OR 1=1"));
    ASSERT_EQ(f.params.size(), 2u);
    EXPECT_TRUE(std::find(f.params.begin(), f.params.end(),
                          sqlite::Value(QStringLiteral("x' OR 1=1 --"))) != f.params.end());
}

TEST_F(FilterDialectTest, FilterThatDoesNotParseChangesNothingAndIsReported)
{
    const QString broken = "PovNum = 'A''1";
    EXPECT_FALSE(db.DBDeletePoverka(broken));
    ASSERT_TRUE(db.lastFilterError().has_value());
    EXPECT_EQ(db.lastFilterError()->position, 10);
    EXPECT_EQ(dialogs.shown.size(), 1u);
    EXPECT_EQ(dialogs.last().icon, Dialogs::Icon::Error);
    EXPECT_EQ(count("Poverki"), 4);
    EXPECT_FALSE(db.lastFilterError().has_value()); // cleared by the next filter
    EXPECT_FALSE(db.DBDeleteEtalSensFilter("SerialNum = "));
    EXPECT_FALSE(db.DBDeleteBunchesTPwithSensors("PoverkaID = 2 or"));
    EXPECT_FALSE(db.DBDeleteResultsTPFilter("Stage = 'x"));
    EXPECT_EQ(db.updateWhere(tables::Poverki, "Kind = ", {{"Kind", 5}}), -1);
    EXPECT_EQ(count("Poverki", "Kind = 5"), 0);
    EXPECT_EQ(count("Poverki", "PovNum = "), -1);
    EXPECT_EQ(db.DBGetMaxID(tables::Poverki, "PovNum = "), -1);
    EXPECT_EQ(db.DBGetID(tables::Poverki, "PovNum = "), -1);
    EXPECT_FALSE(db.select(tables::Poverki, "(").has_value());
    EXPECT_EQ(count("Poverki"), 4);
}

} // namespace
} // namespace kront::test
