#include "metrology/DriftCheck.h"
#include "metrology/FixedValueCheck.h"
#include "metrology/NSHPolynomsTP.h"
#include "metrology/ReferenceTemperature.h"
#include "metrology/SensitivityTable.h"
#include "model/CodeTables.h"
#include "tests/support/FakeClock.h"

#include <gtest/gtest.h>

namespace kront
{
namespace
{

// --- settled readings ---------------------------------------------------------------------

struct Reading {
    double value;
    bool fixedAfter;
};

void expectSequence(FixedValueState &state, std::initializer_list<Reading> readings)
{
    int n = 0;
    for (const Reading &r : readings) {
        state.FixedValueCheck(r.value, true);
        EXPECT_EQ(state.ValueFixed, r.fixedAfter) << "reading " << ++n << " = " << r.value;
    }
}

TEST(FixedValueCheck, ThreeReadingsEqualToAThousandthSettle)
{
    FixedValueState state;
    expectSequence(state, {{1.2344, false},
                           {1.2341, false},
                           {1.2339, true},
                           {1.2346, false},
                           {1.2351, false},
                           {1.2349, true},
                           {1.2349, true}});
}

TEST(FixedValueCheck, TiesGoToTheEvenDigit)
{
    FixedValueState state;
    // 1.2335 -> 1.234 and 1.2345 -> 1.234; 1.2355 -> 1.236.
    expectSequence(state, {{1.2335, false}, {1.2345, false}, {1.234, true}, {1.2355, false}});
    EXPECT_EQ(state.C, 1.236);
}

TEST(FixedValueCheck, ResetRestartsTheWait)
{
    FixedValueState state;
    expectSequence(state, {{5.0, false}, {5.0, false}, {5.0, true}});
    state.reset();
    expectSequence(state, {{5.0, false}, {5.0, false}, {5.0, true}});
}

TEST(FixedValueCheck, WithoutWaitingEveryReadingIsSettled)
{
    FixedValueState state;
    state.FixedValueCheck(1.2344, false);
    EXPECT_TRUE(state.ValueFixed);
    state.FixedValueCheck(-7.5, false);
    EXPECT_TRUE(state.ValueFixed);
}

// --- sensitivity and reference temperature ------------------------------------------------

TEST(ReferenceSensitivity, InterpolatesWithinTheTableOfTheType)
{
    struct Case {
        int type;
        double t0;
        double expected;
    };
    const Case cases[] = {
        {nshPPO, 450, 9.75},     {nshTPP10, 450, 9.75}, {nshPPO, 300, 9.1},
        {nshPPO, 1200, 12.1},    {nshPPO, 1150, 11.95}, {nshPPO, 299.99, -300},
        {nshPPO, 1200.01, -300}, {nshPRO, 600, 6.0},    {nshTPR, 1050, 9.45},
        {nshPRO, 1700, 11.7},    {nshPRO, 1650, 11.7},  {nshPRO, 1700.5, -300},
        {nshPRO, 550, -300},     {nshTPP13, 450, -300}, {nshTHA, 450, -300},
        {nshTSS, 450, -300},
    };
    for (const Case &c : cases)
        EXPECT_NEAR(ReferenceSensitivity(c.type, c.t0), c.expected, 1e-12)
            << "type " << c.type << " at " << c.t0;
}

// A graduation that answers with one fixed point and records the question.
struct FakeGraduation {
    std::optional<GraduationPoint> answer;
    int calls = 0;
    qint32 askedID = 0;
    double askedEmf = 0;

    GraduationLookup lookup()
    {
        return [this](qint32 id, double emf) {
            ++calls;
            askedID = id;
            askedEmf = emf;
            return answer;
        };
    }
};

TEST(ReferenceTemperature, CorrectsForTheColdJunctionAndInterpolatesFromTheNearestPoint)
{
    const double eTsk = static_cast<double>(NSHEmf(1, 20.0)); // S at 20 °C, 0.113 mV
    FakeGraduation graduation{GraduationPoint{3.7, 450}};
    const ReferenceTemperatureResult r =
        ReferenceTemperature(nshPPO, 17, 20.0, 3.7195 - eTsk, graduation.lookup());
    EXPECT_EQ(graduation.askedID, 17);
    EXPECT_NEAR(graduation.askedEmf, 3.7195, 1e-12);
    EXPECT_NEAR(r.emfTsk, 0.113, 0.0005);
    EXPECT_NEAR(r.emfTotal, 3.7195, 1e-12);
    EXPECT_NEAR(r.t, 452.0, 1e-9); // 450 + 0.0195 mV / 9.75 µV/°C
}

TEST(ReferenceTemperature, TypeBReferenceHasNoColdJunctionEmf)
{
    FakeGraduation graduation{GraduationPoint{7.0, 1050}};
    const ReferenceTemperatureResult r =
        ReferenceTemperature(nshPRO, 3, 25.0, 6.9811, graduation.lookup());
    EXPECT_EQ(r.emfTsk, 0.0);
    EXPECT_EQ(r.emfTotal, 6.9811);
    EXPECT_NEAR(r.t, 1048.0, 1e-9); // 1050 - 0.0189 mV / 9.45 µV/°C
}

TEST(ReferenceTemperature, NoTemperatureWhereAnyStepHasNoValue)
{
    struct Case {
        const char *what;
        int type;
        double tsk;
        std::optional<GraduationPoint> point;
        bool asksGraduation;
    };
    const Case cases[] = {
        {"type without characteristic", nshTSS, 20, GraduationPoint{3.7, 450}, false},
        {"cold junction outside the characteristic", nshPPO, -60, GraduationPoint{3.7, 450}, false},
        {"EMF outside the graduation", nshPPO, 20, GraduationPoint{-300, -300}, true},
        {"reference table unreadable", nshPPO, 20, std::nullopt, true},
        {"graduation point below the table", nshPPO, 20, GraduationPoint{1.0, 150}, true},
        {"graduation point above the table", nshPRO, 20, GraduationPoint{13.0, 1750}, true},
        {"type without sensitivity table", nshTPP13, 20, GraduationPoint{3.7, 450}, true},
    };
    for (const Case &c : cases) {
        FakeGraduation graduation{c.point};
        const ReferenceTemperatureResult r =
            ReferenceTemperature(c.type, 1, c.tsk, 3.6, graduation.lookup());
        EXPECT_LT(r.t, -299) << c.what;
        EXPECT_EQ(graduation.calls > 0, c.asksGraduation) << c.what;
    }
}

// --- drift ----------------------------------------------------------------------------------

class DriftCheckTest : public ::testing::Test
{
protected:
    // Feeds one sample a minute for `minutes` + 1 samples, temperature by minute.
    DriftJudgement feed(int minutes, const std::function<double(int)> &temperature,
                        bool skipSpan = false)
    {
        DriftJudgement j;
        for (int m = 0; m <= minutes; ++m) {
            if (m > 0)
                clock.advanceSeconds(60);
            j = monitor.DriftCheck(skipSpan, temperature(m));
        }
        return j;
    }

    test::FakeClock clock;
    DriftMonitor monitor;
};

TEST_F(DriftCheckTest, HistoryShorterThanHalfAnHourIsNotJudged)
{
    const DriftJudgement j = feed(20, [](int) { return 500.0; });
    EXPECT_FALSE(j.stable);
    EXPECT_EQ(j.spread, 3000);
    // Exactly 30 minutes is still too short; one second more is enough.
    const DriftJudgement at30 = feed(10, [](int) { return 500.0; });
    EXPECT_FALSE(at30.stable);
    EXPECT_EQ(at30.spread, 3000);
    clock.advanceSeconds(1);
    const DriftJudgement after30 = monitor.DriftCheck(false, 500.0);
    EXPECT_TRUE(after30.stable);
    EXPECT_EQ(after30.spread, 0.0);
}

TEST_F(DriftCheckTest, SpreadOfExactlyOneDegreeIsStable)
{
    // Typed-looking decimals: 401.1 - 400.1 is 1.0000000000000227 in binary.
    const DriftJudgement j = feed(35, [](int m) { return m == 7 ? 401.1 : 400.1; });
    EXPECT_TRUE(j.stable);
    EXPECT_NEAR(j.spread, 1.0, 1e-9);
}

TEST_F(DriftCheckTest, SpreadAboveOneDegreeIsNotStable)
{
    const DriftJudgement j = feed(35, [](int m) { return m == 7 ? 401.11 : 400.1; });
    EXPECT_FALSE(j.stable);
    EXPECT_NEAR(j.spread, 1.01, 1e-9);
}

TEST_F(DriftCheckTest, SamplesOlderThan31MinutesAreDropped)
{
    // 410 °C at minute 0, then 400 °C: at minute 31 the first sample is still
    // in the history (not older than 31 minutes), at minute 32 it is gone.
    DriftJudgement j = feed(31, [](int m) { return m == 0 ? 410.0 : 400.0; });
    EXPECT_FALSE(j.stable);
    EXPECT_DOUBLE_EQ(j.spread, 10.0);
    EXPECT_EQ(monitor.DriftHistory.size(), 32u);
    clock.advanceSeconds(60);
    j = monitor.DriftCheck(false, 400.0);
    EXPECT_TRUE(j.stable);
    EXPECT_EQ(j.spread, 0.0);
    EXPECT_EQ(monitor.DriftHistory.size(), 32u);
}

TEST_F(DriftCheckTest, MissingTemperatureClearsTheHistory)
{
    feed(35, [](int) { return 500.0; });
    const DriftJudgement none = monitor.DriftCheck(false, -300);
    EXPECT_FALSE(none.stable);
    EXPECT_EQ(none.spread, 3000);
    EXPECT_TRUE(monitor.DriftHistory.empty());
    clock.advanceSeconds(60);
    EXPECT_EQ(monitor.DriftCheck(false, 500.0).spread, 3000);
}

TEST_F(DriftCheckTest, SkipSpanJudgesFromTheFirstSample)
{
    DriftJudgement j = monitor.DriftCheck(true, 400.2);
    EXPECT_TRUE(j.stable);
    EXPECT_EQ(j.spread, 0.0);
    clock.advanceSeconds(120);
    j = monitor.DriftCheck(true, 401.5);
    EXPECT_FALSE(j.stable);
    EXPECT_NEAR(j.spread, 1.3, 1e-9);
}

} // namespace
} // namespace kront
