// The filter dialect: what passes, evaluated by the store on a small fixture,
// and where a filter that cannot be read is reported.

#include "db/FilterCompiler.h"
#include "db/FilterText.h"
#include "tests/db/DbFixture.h"

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
        // Poverki: IDs 2, 3, 4, 5.
        insertPoverka("A'1", at(10, 12, 2026, 8, 30), {}, 0);
        db.DBPoverkaUpdateState(2, "MainCycle;1;3;5;");
        insertPoverka("a'1", at(9, 12, 2026, 23, 59, 59), at(9, 12, 2026, 23, 59, 59), 1);
        db.DBPoverkaUpdateState(3, "Calculation;0;1;1;");
        insertPoverka("B-2", at(1, 12, 2026, 10), at(2, 12, 2026, 0, 0, 0), 1);
        insertPoverka("Прм 5", at(11, 12, 2026, 0, 0, 1), {}, 0);
        // Sensors: serial numbers that are and are not numbers.
        for (const char *serial : {"0007", "7,0", "7a", "12", "", "ТХА%_1"})
            insertSensor(QString::fromUtf8(serial));
        db.DBSensorsInsert(row(tables::Sensors, {{"TypeName", "null serial"}}));
    }
};

struct Case {
    const char *table;
    const char *filter;
    int expected;
};

TEST_F(FilterDialectTest, RowsPassingEachFilter)
{
    const Case cases[] = {
        // empty filter, quotes and case-sensitive text
        {"Poverki", "", 4},
        {"Poverki", "   ", 4},
        {"Poverki", "PovNum = 'A''1'", 1},
        {"Poverki", "PovNum = 'a''1'", 1},
        {"Poverki", "PovNum <> 'A''1'", 3},
        {"Poverki", "PovNum = 'Прм 5'", 1},
        {"Poverki", "povnum = 'B-2' AND KIND = 1", 1},
        {"Poverki", "PovNum = 'B-2' and Kind = 0", 0},
        // LIKE with %, case-sensitive
        {"Poverki", "PovNum LIKE 'A%'", 1},
        {"Poverki", "PovNum LIKE '%''1'", 2},
        {"Poverki", "PovNum LIKE 'a%'", 1},
        {"Poverki", "PovNum like '%'", 4},
        {"Poverki", "PovNum NOT LIKE '%1'", 2},
        {"Sensors", "SerialNum LIKE 'ТХА%_1'", 1},
        {"Sensors", "SerialNum LIKE 'ТХА*'", 0},
        // nulls
        {"Poverki", "Finished IS NULL", 2},
        {"Poverki", "Finished is not null", 2},
        {"Poverki", "Finished = Started", 1},
        {"Sensors", "SerialNum IS NULL", 1},
        {"Sensors", "SerialNum = ''", 1},
        // dates: Date(), GetDate() (10.12.2026 09:00) and dd.mm.yyyy texts
        {"Poverki", "Date(Started) = Date(GetDate())", 1},
        {"Poverki", "Date(Started) = '09.12.2026'", 1},
        {"Poverki", "Date(Started) <> '09.12.2026'", 3},
        {"Poverki", "Date(Started) >= '09.12.2026'", 3},
        {"Poverki", "Date(Started) <= '09.12.2026'", 2},
        {"Poverki", "Date(Started) > '10.12.2026'", 1},
        {"Poverki", "Date(Started) < '10.12.2026'", 2},
        {"Poverki", "Date(Finished) <= '02.12.2026'", 1},
        {"Poverki", "Date(Finished) >= '01.12.2026' AND Date(Finished) <= '09.12.2026'", 2},
        {"Poverki", "Date(Finished) = Date(Started)", 1},
        {"Poverki", "Started <= GetDate()", 3},
        {"Poverki", "Started >= '10.12.2026'", 2},
        {"Poverki", "Date(GetDate()) = '10.12.2026'", 4},
        {"Poverki", "PovNum = 'A''1' and Date(Started) = Date(GetDate())", 1},
        {"Poverki", "PovNum = 'a''1' and Date(Started) = Date(GetDate())", 0},
        // precedence: and binds tighter than or; parentheses
        {"Poverki", "PovNum = 'B-2' or PovNum = 'A''1' and Kind = 1", 1},
        {"Poverki", "(PovNum = 'B-2' or PovNum = 'A''1') and Kind = 1", 1},
        {"Poverki", "(PovNum = 'B-2' or PovNum = 'A''1') and Kind = 0", 1},
        {"Poverki", "Kind = 0 or Kind = 1 and Finished IS NULL", 2},
        {"Poverki", "(Kind = 0 or Kind = 1) and Finished IS NULL", 2},
        {"Poverki", "((Kind = 1)) AND (Finished IS NOT NULL OR ID = 2)", 2},
        {"Poverki", "NOT (Kind = 1)", 2},
        // the unfinished list
        {"Poverki",
         "Finished IS NULL AND CurrPovState <> 'Calculation;0;1;1;' AND CurrPovState <> "
         "'Calculation;1;1;1;'",
         2},
        // numbers: integer and decimal, negative; booleans
        {"Poverki", "ID >= 3 AND ID <= 4", 2},
        {"Poverki", "ID > 4.5", 1},
        {"Poverki", "ID <> -1", 4},
        {"Poverki", "Kind = True", 2},
        {"Poverki", "InstabilityCheckNeeded = False", 0},
        {"Poverki", "True", 4},
        {"Poverki", "False", 0},
        // a text field against an unquoted number: numeric when the text is a number
        {"Sensors", "SerialNum = 7", 2},
        {"Sensors", "SerialNum = 7.0", 2},
        {"Sensors", "SerialNum <> 7", 4},
        {"Sensors", "SerialNum >= 10", 1},
        {"Sensors", "SerialNum < 10", 2},
        {"Sensors", "SerialNum = 12 and ProdYear = 2020", 1},
        // a number field against a quoted text
        {"Sensors", "ProdYear = '2020'", 6},
        {"Sensors", "ProdYear = 'abc'", 0},
        {"Sensors", "ProdYear <> 'abc'", 6},
        // constants on both sides
        {"Poverki", "1 = 1", 4},
        {"Poverki", "'a' = 'A'", 0},
        {"Poverki", "'7' = 7", 4},
    };
    for (const Case &c : cases) {
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
