// The filters the program builds are answered through an index, never by
// walking a whole table (the tables grow to millions of rows).

#include "common/Clock.h"
#include "db/FilterCompiler.h"
#include "db/TableFile.h"
#include "tests/db/DbFixture.h"

namespace kront::test
{
namespace
{

class IndexUseTest : public DbFixture
{
protected:
    QString plan(const TableSchema &schema, const QString &select, const QString &filter,
                 const QString &orderBy = QString())
    {
        const auto compiled = compileFilter(filter, schema, programClock().now());
        EXPECT_TRUE(std::holds_alternative<SqlFilter>(compiled)) << filter.toStdString();
        if (!std::holds_alternative<SqlFilter>(compiled))
            return {};
        const SqlFilter &f = std::get<SqlFilter>(compiled);
        auto file = TableFile::open(schema, TableFile::Mode::Read);
        EXPECT_TRUE(file.has_value());
        sqlite::Statement st(file->connection(),
                             QStringLiteral("EXPLAIN QUERY PLAN %1 FROM \"%2\" WHERE %3 %4")
                                 .arg(select, schema.tableName(), f.where, orderBy));
        st.bindAll(f.params);
        QStringList lines;
        while (st.step())
            lines << st.text(3);
        return lines.join(u'\n');
    }
};

struct PlanCase {
    const TableSchema *schema;
    const char *filter;
};

TEST_F(IndexUseTest, ProgramFiltersSearchAnIndex)
{
    KRONT_SKIP_ON_SERVER_STORE();
    const PlanCase cases[] = {
        {&tables::Poverki, "ID = 5"},
        {&tables::Poverki, "PovNum = '12' and Date(Started) = Date(GetDate())"},
        {&tables::Poverki, "PovNum = '12' and Date(Started) = '10.12.2026'"},
        {&tables::Poverki, "Finished IS NULL AND CurrPovState <> 'Calculation;0;1;1;'"},
        {&tables::Poverki,
         "Finished IS NOT NULL AND Date(Finished) >= '01.12.2026' AND Date(Finished) <= "
         "'10.12.2026' AND Kind = 1"},
        {&tables::Poverki, "Finished IS NOT NULL AND Kind = 1"},
        {&tables::Poverki, "Finished IS NOT NULL AND Methodic = 0"},
        {&tables::Poverki, "Finished IS NOT NULL AND Kind = 0 AND Methodic = 1"},
        {&tables::BunchesTP, "PoverkaID = 7"},
        {&tables::BunchesTP, "PoverkaID = 7 and ChannelNum = 2"},
        {&tables::BunchesTP, "EtalSensorID = 3"},
        {&tables::ResultsTP, "PoverkaID = 7"},
        {&tables::ResultsTP,
         "PoverkaID = 7 and BunchID = 9 and Stage = 'Calculation' and MeasPointNum = 2 and "
         "MeasNum = 5 and Operation = 'Delta'"},
        {&tables::ResultsTP,
         "PoverkaID = 7 AND BunchId = 9 AND Stage = 'Instability' AND MeasPointNum = 1"},
        {&tables::Sensors, "SerialNum = '123' and ProdYear = 2020 and TypeName = 'ТХА'"},
        {&tables::Sensors,
         "SerialNum = '1' and ProdYear = 2020 and (TypeName LIKE '%ТХА%' or TypeName LIKE "
         "'ТХА%')"},
        {&tables::EtalSens,
         "SerialNum = '1' and ProdYear = 2020 and TypeName = 'ППО' and NSHType = 'PP'"},
        {&tables::Documents, "DocType = True and DocNum = 17 and DateDoc = '10.12.2026'"},
    };
    for (const PlanCase &c : cases) {
        const QString p = plan(*c.schema, "SELECT COUNT(*)", QString::fromUtf8(c.filter));
        EXPECT_TRUE(p.startsWith("SEARCH")) << c.filter << "\n" << p.toStdString();
        EXPECT_FALSE(p.contains("SCAN")) << c.filter << "\n" << p.toStdString();
    }
}

// The results search reads its grid's page in the grid's order straight from
// an index: no sorting of every row that passes.
TEST_F(IndexUseTest, ResultsSearchPagesComeInFinishOrderFromAnIndex)
{
    KRONT_SKIP_ON_SERVER_STORE();
    for (const char *filter :
         {"Finished IS NOT NULL", "Finished IS NOT NULL AND Kind = 1",
          "Finished IS NOT NULL AND Methodic = 1",
          "Finished IS NOT NULL AND Date(Finished) >= '01.12.2026' AND Methodic = 0"}) {
        const QString p = plan(tables::Poverki, "SELECT \"PovNum\"", QString::fromUtf8(filter),
                               "ORDER BY \"Finished\", \"ID\" LIMIT 200");
        EXPECT_TRUE(p.contains("INDEX")) << filter << "\n" << p.toStdString();
        EXPECT_FALSE(p.contains("TEMP B-TREE")) << filter << "\n" << p.toStdString();
    }
}

// A reference of twenty years served in thousands of bunches all over the file: its bunches
// and their verifications come from an index without reading the bunches' rows.
TEST_F(IndexUseTest, BunchesOfAReferenceComeWithTheirVerificationsFromAnIndexAlone)
{
    KRONT_SKIP_ON_SERVER_STORE();
    const QString p = plan(tables::BunchesTP, "SELECT \"ID\", \"PoverkaID\"", "EtalSensorID = 3");
    EXPECT_TRUE(p.contains("COVERING INDEX")) << p.toStdString();
}

// With a number among the conditions the number's index answers: an index on
// the other conditions must not win over it and walk half the table.
TEST_F(IndexUseTest, ResultsSearchWithANumberGoesByTheNumber)
{
    KRONT_SKIP_ON_SERVER_STORE();
    const QString filter =
        "Finished IS NOT NULL AND PovNum = '12' AND Date(Finished) >= '01.01.2007' AND "
        "Date(Finished) <= '10.12.2026' AND Kind = 0 AND Methodic = 0";
    for (const char *select : {"SELECT COUNT(*)", "SELECT \"PovNum\""}) {
        const QString p = plan(tables::Poverki, select, filter);
        EXPECT_TRUE(p.contains("PoverkaPovNumIndex")) << select << "\n" << p.toStdString();
    }
}

} // namespace
} // namespace kront::test
