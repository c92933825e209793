#include "metrology/StepCalculation.h"

#include "model/CodeTables.h"
#include "model/TBunch.h"
#include "model/TPoverka.h"
#include "tests/support/ScriptedDialogs.h"

#include <gtest/gtest.h>

#include <cmath>
#include <vector>

// The step calculation over values alone: readings, sensors and a graduation
// in, the rows to store and the deviations out. No table file is involved.

namespace kront
{
namespace
{

using std::nullopt;
using Opt = std::optional<double>;

constexpr double N = -300; // "none"

struct ExpectedRow {
    int measNum;
    const char *operation;
    Opt E_Tsk, Tsk, E_et, E_pret, t_et, t_pret;
    std::array<double, 4> e1;
    std::optional<std::array<double, 4>> e2;
};

void expectValue(const Opt &value, const Opt &expected, const char *field)
{
    ASSERT_EQ(value.has_value(), expected.has_value()) << field;
    if (expected) {
        EXPECT_NEAR(*value, *expected, 1e-9) << field;
    }
}

void expectRows(const std::vector<CalculationRow> &rows, const std::vector<ExpectedRow> &expected)
{
    ASSERT_EQ(rows.size(), expected.size());
    for (std::size_t r = 0; r < rows.size(); ++r) {
        const CalculationRow &row = rows[r];
        const ExpectedRow &e = expected[r];
        SCOPED_TRACE(e.operation);
        EXPECT_EQ(row.Operation, QString::fromUtf8(e.operation));
        EXPECT_EQ(row.MeasNum, e.measNum);
        expectValue(row.E_Tsk, e.E_Tsk, "E_Tsk");
        expectValue(row.Tsk, e.Tsk, "Tsk");
        expectValue(row.E_et, e.E_et, "E_et");
        expectValue(row.E_pret, e.E_pret, "E_pret");
        expectValue(row.t_et, e.t_et, "t_et");
        expectValue(row.t_pret, e.t_pret, "t_pret");
        for (int i = 1; i <= 4; ++i) {
            expectValue(row.e1[i], e.e1[i - 1], "TEDSe1");
            expectValue(row.e2[i], e.e2 ? Opt((*e.e2)[i - 1]) : nullopt, "TEDSe2");
        }
    }
}

// A reference ППО graduated at 400, 500 and 600 °C (3.259, 4.233, 5.239 mV):
// the point nearest in EMF, none outside the graduated span.
std::optional<GraduationPoint> graduation(qint32, double emf)
{
    const GraduationPoint points[] = {{3.259, 400}, {4.233, 500}, {5.239, 600}};
    if (emf < points[0].emf || emf > points[2].emf)
        return GraduationPoint{N, N};
    GraduationPoint nearest = points[0];
    for (const GraduationPoint &p : points)
        if (std::fabs(p.emf - emf) < std::fabs(nearest.emf - emf))
            nearest = p;
    return nearest;
}

class PureStepCalculation : public ::testing::Test
{
protected:
    PureStepCalculation()
    {
        poverka.ID = 1;
        poverka.Stage = stMainCycle;
        poverka.StepIndex = 2;
        bunch.ID = 7;
        bunch.ChannelNum = 1;
        step.Bunch = &bunch;
        step.TskTP = 20;
    }

    void addSensor(int input, quint8 nshType, quint8 classIndex, const QString &serial)
    {
        TThermometer *s = bunch.CreateSensor(skTP, input);
        s->NSHType = nshType;
        s->ClassDop = classIndex;
        s->SerialNum = serial;
    }

    void useReference()
    {
        TThermometer *etalon = bunch.CreateEtalSensor(skTP_PPO);
        etalon->ID = 3;
        etalon->NSHType = nshPPO;
        step.EtalKind = skTP_PPO;
    }

    void setReadings(int k, std::initializer_list<double> values)
    {
        int j = 1;
        for (double v : values)
            step.Readings[j++][k] = v;
    }

    StepResults calculate() { return CalculateStep(poverka, step, dialogs, graduation).value(); }

    test::ScriptedDialogs dialogs;
    TPoverka poverka;
    TBunch bunch;
    ChannelStepValues step;
};

// The digits are those of the stored direct step with a mercury thermometer
// (K(400.35) = 16.41193, S(400.35) = 3.26271 mV).
TEST_F(PureStepCalculation, DirectStepWithMercuryThermometerGivesItsRowsAndDeviations)
{
    addSensor(1, nshTHA, 1, "101");   // K, class 2
    addSensor(2, nshTPP10, 0, "102"); // S, class 1
    addSensor(4, nshTSS, 0, "104");   // no characteristic
    setReadings(0, {400.1, 400.2, 400.2, 400.3});
    setReadings(1, {15.64, 15.66, 15.65, 15.65});
    setReadings(2, {4.10, 4.11, 4.1, 4.1096});
    setReadings(4, {5.0, 5.0, 5.0, 5.0});
    dialogs.queueInput(QStringLiteral("0,15"));

    const StepResults r = calculate();

    EXPECT_EQ(dialogs.shown.size(), 1u); // the thermometer's correction
    EXPECT_EQ(r.key.poverkaID, 1);
    EXPECT_EQ(r.key.bunchID, 7);
    EXPECT_EQ(r.key.methodic, 0);
    EXPECT_EQ(r.key.stage, kStageCalculation);
    EXPECT_EQ(r.key.point, 2);
    EXPECT_EQ(r.key.etalSensorType, 0);
    // clang-format off
    expectRows(r.rows, {
        {1, "Average",   nullopt, nullopt, nullopt, nullopt, 400.2, 400.35, {15.65, 4.10, 0, 5.00}, nullopt},
        {2, "E_t_sk",    nullopt, 20.0,    nullopt, nullopt, nullopt, nullopt, {0.80, 0.11, 0, N}, nullopt},
        {3, "E_pr_pov",  nullopt, nullopt, nullopt, nullopt, nullopt, nullopt, {16.45, 4.21, 0, N}, nullopt},
        {4, "E nsh",     nullopt, nullopt, nullopt, nullopt, nullopt, nullopt, {16.41, 3.26, 0, N}, nullopt},
        {5, "Delta",     nullopt, nullopt, nullopt, nullopt, nullopt, nullopt, {0.04, 0.95, 0, N}, nullopt},
        {6, "Delta dop", nullopt, nullopt, nullopt, nullopt, nullopt, nullopt, {0.127, 0.010, 0, N}, nullopt},
    });
    // clang-format on
    EXPECT_EQ(DeviationText(bunch, r.delta, r.deltaDop),
              "№ 102, подключенный ко входу 2 канала 1\r\n"
              "№ 104, подключенный ко входу 4 канала 1");
}

// Electrode comparison against the graduated reference: 3.2715 -> 3.272 mV,
// E' = 3.384919 mV, nearest point 400 °C, t = 413.117 °C.
TEST_F(PureStepCalculation, ElectrodeStepUsesTheGraduationItIsGiven)
{
    poverka.Methodic = 1;
    poverka.Stage = stInstability;
    poverka.StepIndex = 0;
    bunch.ChannelNum = 2;
    useReference();
    addSensor(1, nshTPP10, 0, "201");
    addSensor(2, nshTHA, 1, "202"); // |Δ| equal to Δdop
    addSensor(3, nshTHA, 1, "203"); // |Δ| 0.001 above
    step.Readings[1] = {3.271, 4.1048, 13.799, 13.801, 0, 4.100, 0.101, 0.102, 0};
    step.Readings[2] = {3.272, 4.1050, 13.801, 13.801, 0, 4.102, 0.103, 0.102, 0};

    const StepResults r = calculate();

    EXPECT_TRUE(dialogs.shown.empty());
    EXPECT_EQ(r.key.stage, kStageInstability);
    EXPECT_EQ(r.key.point, 0);
    EXPECT_EQ(r.key.etalSensorType, 1);
    // clang-format off
    expectRows(r.rows, {
        {1, "Average",   0.113,   20.0,    3.272,   3.385,   413.117, nullopt, {4.105, 13.8, 13.801, 0}, {{4.101, 0.102, 0.102, 0}}},
        {2, "DeltaE",    nullopt, nullopt, nullopt, nullopt, nullopt, nullopt, {0.004, 13.698, 13.699, 0}, nullopt},
        {3, "E pov j",   nullopt, nullopt, nullopt, nullopt, nullopt, nullopt, {3.389, 17.083, 17.084, 0}, nullopt},
        {4, "E nsh",     nullopt, nullopt, nullopt, nullopt, nullopt, nullopt, {3.385, 16.952, 16.952, 0}, nullopt},
        {5, "Delta",     nullopt, nullopt, nullopt, nullopt, nullopt, nullopt, {0.004, 0.131, 0.132, 0}, nullopt},
        {6, "Delta dop", nullopt, nullopt, nullopt, nullopt, nullopt, nullopt, {0.010, 0.131, 0.131, 0}, nullopt},
    });
    // clang-format on
    EXPECT_EQ(DeviationText(bunch, r.delta, r.deltaDop), "№ 203, подключенный ко входу 3 канала 2");
}

TEST_F(PureStepCalculation, ReferenceOutsideItsGraduationOrUnreadableGivesNoDeviation)
{
    useReference();
    addSensor(1, nshTHA, 1, "401");
    setReadings(1, {16.15, 16.15, 16.15, 16.15});
    const struct {
        double reference; // mV
        GraduationLookup lookup;
    } cases[] = {
        {6.0, graduation}, // above the graduated 5.239 mV
        {3.272, [](qint32, double) { return std::optional<GraduationPoint>(); }},
        {3.272, GraduationLookup()},
    };
    for (const auto &c : cases) {
        setReadings(0, {c.reference, c.reference, c.reference, c.reference});
        const StepResults r = CalculateStep(poverka, step, dialogs, c.lookup).value();
        ASSERT_EQ(r.rows.size(), 6u);
        EXPECT_EQ(r.rows[0].t_et, N);
        for (int row : {3, 4, 5})
            EXPECT_EQ(r.rows[std::size_t(row)].e1[1], N) << row;
        EXPECT_EQ(DeviationText(bunch, r.delta, r.deltaDop),
                  "№ 401, подключенный ко входу 1 канала 1");
    }
}

TEST_F(PureStepCalculation, NothingToCalculateWithoutABunchOrWithAnUnknownMethod)
{
    poverka.Methodic = 2;
    EXPECT_FALSE(CalculateStep(poverka, step, dialogs, graduation).has_value());
    poverka.Methodic = 0;
    step.Bunch = nullptr;
    EXPECT_FALSE(CalculateStep(poverka, step, dialogs, graduation).has_value());
    EXPECT_TRUE(dialogs.shown.empty());
}

} // namespace
} // namespace kront
