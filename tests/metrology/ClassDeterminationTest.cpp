#include "metrology/ClassDetermination.h"

#include "common/DecimalRounding.h"
#include "metrology/NSHPolynomsTP.h"
#include "model/CodeTables.h"
#include "model/TBunch.h"

#include <gtest/gtest.h>

namespace kront
{
namespace
{

class ClassTest : public ::testing::Test
{
protected:
    ClassTest() { bunch.ChannelNum = 1; }

    // A verified thermocouple on an input: NSH type code, class index 0..2.
    void addSensor(int input, quint8 nshType, quint8 classIndex)
    {
        TThermometer *s = bunch.CreateSensor(skTP, input);
        s->NSHType = nshType;
        s->ClassDop = classIndex;
    }

    TBunch bunch;
};

double permitted(int index, int classNumber, double t)
{
    return rnd_n(NSHToleranceEmf(index, classNumber, t), 3);
}

TEST_F(ClassTest, ClassKeptOrLoweredByTheSetting)
{
    struct Case {
        const char *what;
        quint8 nshType;
        quint8 classIndex;
        double tRef;
        double delta;
        bool reduce;
        int expected;
    };
    // ТХА (K) at 400 °C: class 1 0.068 mV, class 2 0.127 mV, class 3 none.
    // At -200 °C only class 3 has a tolerance (3 °C, 0.046 mV).
    // ТПП10 (S) at 1000 °C: class 1 0.012 mV, class 2 0.029 mV.
    const Case cases[] = {
        {"K within class 1", nshTHA, 0, 400, 0.05, false, 1},
        {"K negative Δ within class 1", nshTHA, 0, 400, -0.05, true, 1},
        {"K |Δ| equal to Δdop", nshTHA, 0, 400, 0.068, false, 1},
        {"K fails 1, lowered to 2", nshTHA, 0, 400, 0.10, true, 2},
        {"K fails 1, setting off", nshTHA, 0, 400, 0.10, false, 10},
        {"K fails 1 and 2, no class 3 at 400", nshTHA, 0, 400, 0.20, true, 10},
        {"K class 1 at -200: 1 -> 2 -> 3", nshTHA, 0, -200, 0.03, true, 3},
        {"K class 1 at -200 fails class 3", nshTHA, 0, -200, 0.05, true, 10},
        {"K class 2 fails, lowered to 3 fails", nshTHA, 1, 400, 0.13, true, 10},
        {"S class 1 lowered to 2", nshTPP10, 0, 1000, 0.02, true, 2},
        {"S class 2 has no coarser class", nshTPP10, 1, 1000, 0.03, true, 10},
        {"ТСС has no characteristic", nshTSS, 1, 400, 0.0, true, 10},
    };
    for (const Case &c : cases) {
        bunch.Sensors[1].reset();
        bunch.SensorCount = 0;
        addSensor(1, c.nshType, c.classIndex);
        const int index = NSHCharacteristicIndex(c.nshType);
        const double dop = index < 0 ? -300 : permitted(index, c.classIndex + 1, c.tRef);
        const PointDeviations point{c.tRef, {c.delta, 0, 0, 0}, {dop, 0, 0, 0}};
        EXPECT_EQ(ClassCodesAtPoint(bunch, point, c.reduce),
                  (std::array<int, 4>{c.expected, -1, -1, -1}))
            << c.what;
    }
}

TEST_F(ClassTest, UncomputedDeviationIsUnfit)
{
    addSensor(1, nshTHA, 0);
    addSensor(2, nshTHA, 0);
    const PointDeviations point{400, {-300, 0.01, 0, 0}, {-300, -300, 0, 0}};
    EXPECT_EQ(ClassCodesAtPoint(bunch, point, true), (std::array<int, 4>{10, 10, -1, -1}));
}

TEST_F(ClassTest, WorstPointDecides)
{
    addSensor(1, nshTHA, 0);
    addSensor(2, nshTHA, 0);
    addSensor(4, nshTHA, 0);
    // Points at 400 °C: class 1 0.068, class 2 0.127 mV.
    const std::vector<PointDeviations> points{
        {400, {0.01, 0.01, 0, 0.01}, {0.068, 0.068, 0, 0.068}},
        {400, {0.10, 0.50, 0, 0.01}, {0.068, 0.068, 0, 0.068}},
        {400, {0.01, 0.01, 0, 0.01}, {0.068, 0.068, 0, 0.068}},
    };
    EXPECT_EQ(BunchResults(bunch, points, true), (std::array<int, 5>{0, 2, 10, -1, 1}));
    EXPECT_EQ(BunchResults(bunch, points, false), (std::array<int, 5>{0, 10, 10, -1, 1}));
    EXPECT_EQ(BunchResults(bunch, {}, true), (std::array<int, 5>{0, 0, 0, -1, 0}));
}

} // namespace
} // namespace kront
