#include "procedure/InstabilityResults.h"
#include "db/ResultsTPQueries.h"

#include "tests/procedure/MetrologyFixture.h"

namespace kront
{
namespace
{

using test::insertCalculationRow;

class InstabilityTest : public test::MetrologyFixture
{
protected:
    // Δ before and after annealing and Δdop after, per input 1..4.
    void storeInstability(int poverkaID, TBunch &b, std::array<double, 4> before,
                          std::array<double, 4> after, std::array<double, 4> permitted)
    {
        insertCalculationRow(db, poverkaID, b.ID, "Instability", 0, 5, "Delta", before);
        insertCalculationRow(db, poverkaID, b.ID, "Instability", 0, 6, "Delta dop", permitted);
        insertCalculationRow(db, poverkaID, b.ID, "Instability", 1, 5, "Delta", after);
        insertCalculationRow(db, poverkaID, b.ID, "Instability", 1, 6, "Delta dop", permitted);
    }
};

TEST_F(InstabilityTest, ChangeMustStayBelowHalfThePermittedDeviation)
{
    struct Case {
        double before, after, permitted;
        bool stable;
    };
    const Case cases[] = {
        {0.25, 0.75, 1.0, false},   // exactly half: unstable
        {0.25, 0.74, 1.0, true},    // just below half
        {0.12, 0.62, 1.0, false},   // exactly half, with binary noise in the difference
        {-0.1, 0.2, 0.7, true},     // 0.3 < 0.35 across zero
        {0.5, 0.3, 0.35, false},    // 0.2 > 0.175
        {0.0, 0.0, 0.0, false},     // nothing permitted: 0 < 0 fails
        {-300, -300, -300, false},  // deviation that could not be computed
        {0.004, 0.013, 0.019, true} // 0.009 < 0.0095 (electrode comparison digits)
    };
    addSensor(bunch, 1, nshTHA, 1, "1");
    int id = 100;
    for (const Case &c : cases) {
        storeInstability(++id, bunch, {c.before, 0, 0, 0}, {c.after, 0, 0, 0},
                         {c.permitted, 0, 0, 0});
        std::array<bool, 4> stable{};
        ASSERT_TRUE(DBGetInstabilityResults(db, id, bunch.ID, stable, step));
        EXPECT_EQ(stable[0], c.stable) << c.before << " -> " << c.after << " of " << c.permitted;
        EXPECT_TRUE(stable[1] && stable[2] && stable[3]) << "inputs without a sensor stay true";
    }
}

TEST_F(InstabilityTest, MissingRowEndsWithFalseAndLeavesTheFlags)
{
    addSensor(bunch, 1, nshTHA, 1, "1");
    insertCalculationRow(db, 1, bunch.ID, "Instability", 0, 5, "Delta", {0.1, 0, 0, 0});
    std::array<bool, 4> stable{false, true, false, true};
    EXPECT_FALSE(DBGetInstabilityResults(db, 1, bunch.ID, stable, step));
    EXPECT_EQ(stable, (std::array<bool, 4>{false, true, false, true}));
    // Both Δ rows but no Δdop after annealing: the flags are already set to true.
    insertCalculationRow(db, 1, bunch.ID, "Instability", 1, 5, "Delta", {0.9, 0, 0, 0});
    EXPECT_FALSE(DBGetInstabilityResults(db, 1, bunch.ID, stable, step));
    EXPECT_EQ(stable, (std::array<bool, 4>{true, true, true, true}));
}

TEST_F(InstabilityTest, VerdictListsUnstableThermocouplesOfBothChannels)
{
    TBunch second;
    second.ID = 8;
    second.ChannelNum = 2;
    addSensor(bunch, 1, nshTHA, 1, "11");
    addSensor(bunch, 2, nshTHA, 1, "12");
    addSensor(second, 3, nshTPP10, 0, "23");
    addSensor(second, 4, nshTPP10, 0, "24");
    storeInstability(1, bunch, {0.1, 0.1, 0.9, 0}, {0.1, 0.7, -0.9, 0}, {0.5, 0.5, 0.5, 0.5});
    storeInstability(1, second, {0, 0, 0.01, 0.01}, {0, 0, 0.03, 0.014}, {0.01, 0.01, 0.01, 0.01});
    ChannelStepValues step2;
    step2.Bunch = &second;
    int aborts = 0;

    const InstabilityVerdict v =
        EvaluateInstability(poverka, {step, step2}, db, dialogs, [&] { ++aborts; });

    EXPECT_FALSE(v.aborted);
    EXPECT_EQ(aborts, 0);
    EXPECT_TRUE(dialogs.shown.empty());
    // Input 3 of channel 1 has no sensor: its 0.9 -> -0.9 does not count.
    EXPECT_EQ(v.text, "Значение нестабильности превысило допустимое значение для следующих ТП:\r\n"
                      "вход №2 канала 1\r\n"
                      "вход №3 канала 2\r\n");
}

TEST_F(InstabilityTest, AllStableGivesAnEmptyVerdict)
{
    addSensor(bunch, 1, nshTHA, 1, "11");
    storeInstability(1, bunch, {0.1, 0, 0, 0}, {0.2, 0, 0, 0}, {0.5, 0, 0, 0});
    const InstabilityVerdict v = EvaluateInstability(poverka, {step}, db, dialogs, {});
    EXPECT_FALSE(v.aborted);
    EXPECT_TRUE(v.text.isEmpty());
}

TEST_F(InstabilityTest, MissingDataAbortsTheVerification)
{
    addSensor(bunch, 1, nshTHA, 1, "11");
    const QString message = "В базе данных не обнаружены данные для определения нестабильности! "
                            "Поверка будет прекращена.";
    struct Case {
        const char *what;
        std::function<void(int id)> store;
    };
    const Case cases[] = {
        {"no rows at all", [](int) {}},
        {"one Δ row only",
         [&](int id) {
             insertCalculationRow(db, id, 7, "Instability", 0, 5, "Delta", {0.1, 0, 0, 0});
             insertCalculationRow(db, id, 7, "Instability", 0, 6, "Delta dop", {0.5, 0, 0, 0});
             insertCalculationRow(db, id, 7, "Instability", 1, 6, "Delta dop", {0.5, 0, 0, 0});
         }},
        // Two rows of each, but of points 1 and 2: point 0 is missing.
        {"rows of the wrong points",
         [&](int id) {
             for (int point : {1, 2}) {
                 insertCalculationRow(db, id, 7, "Instability", point, 5, "Delta", {0.1, 0, 0, 0});
                 insertCalculationRow(db, id, 7, "Instability", point, 6, "Delta dop",
                                      {0.5, 0, 0, 0});
             }
         }},
    };
    for (const Case &c : cases) {
        ++poverka.ID;
        c.store(poverka.ID);
        dialogs.clear();
        int aborts = 0;
        const InstabilityVerdict v =
            EvaluateInstability(poverka, {step}, db, dialogs, [&] { ++aborts; });
        EXPECT_TRUE(v.aborted) << c.what;
        EXPECT_EQ(aborts, 1) << c.what;
        ASSERT_EQ(dialogs.shown.size(), 1u) << c.what;
        EXPECT_EQ(dialogs.last().text, message);
        EXPECT_EQ(dialogs.last().icon, Dialogs::Icon::Error);
    }
}

TEST_F(InstabilityTest, AfterAnnealingRowsBecomeTheFirstPointOfTheMainCycle)
{
    // Measurement rows and calculation rows after annealing, rows before
    // annealing and rows of another bunch.
    for (int series = 1; series <= 2; ++series)
        insertCalculationRow(db, 1, 7, "Instability", 1, series, "Measure", {4.1 + series, 0, 0, 0},
                             0, -300, std::nullopt);
    const char *ops[] = {"Average", "E_t_sk", "E_pr_pov", "E nsh", "Delta", "Delta dop"};
    for (int m = 1; m <= 6; ++m) {
        insertCalculationRow(db, 1, 7, "Instability", 1, m, ops[m - 1], {0.01 * m, 0, 0, 0}, 0,
                             m == 1 ? std::optional<double>(400.2) : std::nullopt);
        insertCalculationRow(db, 1, 7, "Instability", 0, m, ops[m - 1], {9, 9, 9, 9});
        insertCalculationRow(db, 1, 8, "Instability", 1, m, ops[m - 1], {8, 8, 8, 8});
    }
    clock.set(QDateTime(QDate(2026, 12, 10), QTime(11, 45)));

    ASSERT_TRUE(DBCopyAfterBurnResultsAsMainCycle1(db, 1, 7));

    const auto copies = rows("PoverkaID = 1 and BunchID = 7 and MeasPointNum = 0 and Stage <> "
                             "'Instability'");
    const auto originals = rows("PoverkaID = 1 and BunchID = 7 and MeasPointNum = 1");
    ASSERT_EQ(copies.size(), 8u);
    ASSERT_EQ(originals.size(), 8u); // the instability rows stay
    for (std::size_t r = 0; r < copies.size(); ++r) {
        const bool measure = originals[r].value("Operation") == "Measure";
        EXPECT_EQ(copies[r].value("Stage").toString(), measure ? "MainCycle" : "Calculation");
        EXPECT_EQ(copies[r].value("RecordCreationDateTime").toDateTime(), clock.now());
        for (const QString &field : originals[r].keys()) {
            if (field != "Stage" && field != "MeasPointNum" && field != "RecordCreationDateTime") {
                EXPECT_EQ(copies[r].value(field), originals[r].value(field)) << field.toStdString();
            }
        }
    }
    EXPECT_EQ(rows("BunchID = 8 and Stage <> 'Instability'").size(), 0u);
    EXPECT_EQ(rows("BunchID = 7 and MeasPointNum = 0 and Stage = 'Instability'").size(), 6u);
}

TEST_F(InstabilityTest, CopyWithNothingToCopyIsDone)
{
    EXPECT_TRUE(DBCopyAfterBurnResultsAsMainCycle1(db, 1, 7));
    EXPECT_TRUE(rows("").empty());
}

} // namespace
} // namespace kront
