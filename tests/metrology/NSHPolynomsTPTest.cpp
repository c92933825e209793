#include "metrology/NSHPolynomsTP.h"

#include <QFile>
#include <QString>
#include <QStringList>
#include <cmath>
#include <gtest/gtest.h>
#include <set>

namespace kront
{
namespace
{

struct CheckValue {
    int index;
    QString type;
    double t;
    double emf;
    QString source;
};

std::vector<CheckValue> readCheckValues()
{
    std::vector<CheckValue> values;
    QFile file(QStringLiteral(KRONT_REFERENCE_DIR "/nsh-check-values.csv"));
    if (!file.open(QIODevice::ReadOnly | QIODevice::Text))
        return values;
    file.readLine(); // header
    while (!file.atEnd()) {
        const QStringList f = QString::fromUtf8(file.readLine()).trimmed().split(u',');
        if (f.size() < 5)
            continue;
        values.push_back({f[0].toInt(), f[1], f[2].toDouble(), f[3].toDouble(), f[4]});
    }
    return values;
}

TEST(NSHEmf, AgreesWithEveryPublishedCheckValue)
{
    const std::vector<CheckValue> values = readCheckValues();
    ASSERT_EQ(values.size(), 187u);
    for (const CheckValue &v : values) {
        // The tables print 3 decimals; A-1 at 0 °C prints 0.000 where the
        // polynomial has a non-zero constant term of +0.000716 mV.
        const double allowed = (v.type == "A-1" && v.t == 0.0) ? 0.0015 : 0.0005 + 1e-9;
        const double emf = static_cast<double>(NSHEmf(v.index, v.t));
        EXPECT_NEAR(emf, v.emf, allowed)
            << v.type.toStdString() << " at " << v.t << " °C (" << v.source.toStdString() << ")";
    }
}

TEST(NSHEmf, EveryTypeIsCoveredByTheCheckValues)
{
    std::set<int> indexes;
    for (const CheckValue &v : readCheckValues())
        indexes.insert(v.index);
    EXPECT_EQ(indexes.size(), 13u);
}

TEST(NSHEmf, RangeLimitsOfTypeR)
{
    EXPECT_EQ(NSHEmf(0, 0.0L), 0.0L);
    // 1768.1 is the inclusive top of the third range; the second range's
    // polynomial is far off there, so agreement with the table proves the choice.
    EXPECT_NEAR(static_cast<double>(NSHEmf(0, 1768.1)), 21.103, 0.001);
    EXPECT_EQ(NSHEmf(0, 1768.2), -300.0L);
    EXPECT_EQ(NSHEmf(0, -50.01), -300.0L);
    EXPECT_NE(NSHEmf(0, -50.0), -300.0L);
}

TEST(NSHEmf, SharedBoundaryBelongsToTheUpperRange)
{
    // L at 0 °C: the two polynomials differ by 4.0E-05 mV, the upper one has
    // c0 = -1.8656953E-05.
    EXPECT_NEAR(static_cast<double>(NSHEmf(11, 0.0L)), -1.8656953E-05, 1e-15);
    // S at 1064.18 °C takes the second range: c0 + c1 t + ... of that range.
    const long double t = 1064.18;
    const long double upper = 1.32900444085L + 3.34509311344E-03L * t + 6.54805192818E-06L * t * t -
                              1.64856259209E-09L * t * t * t + 1.29989605174E-14L * t * t * t * t;
    EXPECT_NEAR(static_cast<double>(NSHEmf(1, t)), static_cast<double>(upper), 1e-12);
}

TEST(NSHEmf, ExponentialTermOfTypeKOnlyAboveZero)
{
    const double atZero = static_cast<double>(NSHEmf(6, 0.0L));
    EXPECT_NEAR(atZero, 1.974084e-9, 1e-15); // about 2E-09 mV
    EXPECT_NE(atZero, 0.0);
    // Just below 0 °C the first range has no exponential term and gives
    // -0.0389 mV at -1 °C.
    EXPECT_NEAR(static_cast<double>(NSHEmf(6, -1.0L)), -0.039, 0.0005);
    EXPECT_NEAR(static_cast<double>(NSHEmf(6, 1372.0L)), 54.886, 0.0005);
    EXPECT_EQ(NSHEmf(6, 1372.01L), -300.0L);
}

TEST(NSHEmf, UnknownIndexesAndOutOfRangeGiveMinus300)
{
    for (int index : {-1, 13, 14, 255})
        EXPECT_EQ(NSHEmf(index, 100.0L), -300.0L) << index;
    EXPECT_EQ(NSHEmf(2, -0.5L), -300.0L); // B starts at 0 °C
    EXPECT_EQ(NSHEmf(12, 100.5L), -300.0L);
    EXPECT_EQ(NSHEmf(8, 2500.0L) > 0, true);
    EXPECT_EQ(NSHEmf(9, 1800.5L), -300.0L);
    EXPECT_EQ(NSHEmf(0, std::nanl("")), -300.0L);
}

struct ToleranceCase {
    int index;
    int classNumber;
    double t;
    double expected; // °C
};

class NSHToleranceTest : public ::testing::TestWithParam<ToleranceCase>
{
};

TEST_P(NSHToleranceTest, PermittedDeviationInDegrees)
{
    const ToleranceCase c = GetParam();
    EXPECT_NEAR(NSHTolerance(c.index, c.classNumber, c.t), c.expected, 1e-12)
        << "index " << c.index << " class " << c.classNumber << " at " << c.t;
}

// Each row of the table at its limits, the gaps between rows, and outside.
INSTANTIATE_TEST_SUITE_P(
    RandS, NSHToleranceTest,
    ::testing::Values(ToleranceCase{0, 1, 0, 1}, ToleranceCase{0, 1, 1100, 1},
                      ToleranceCase{0, 1, 1200, 1.3}, ToleranceCase{1, 1, 1600, 2.5},
                      ToleranceCase{0, 1, 1600.5, 0}, ToleranceCase{0, 1, -0.1, 0},
                      ToleranceCase{1, 2, 600, 1.5}, ToleranceCase{1, 2, 800, 2.0},
                      ToleranceCase{0, 2, 1600, 4.0}, ToleranceCase{0, 3, 800, 0}));
INSTANTIATE_TEST_SUITE_P(
    B, NSHToleranceTest,
    ::testing::Values(ToleranceCase{2, 1, 1000, 0}, ToleranceCase{2, 2, 599.9, 0},
                      ToleranceCase{2, 2, 600, 1.5}, ToleranceCase{2, 2, 1800, 4.5},
                      ToleranceCase{2, 3, 600, 4}, ToleranceCase{2, 3, 800, 4},
                      ToleranceCase{2, 3, 1000, 5}, ToleranceCase{2, 3, 1800.1, 0}));
INSTANTIATE_TEST_SUITE_P(
    J, NSHToleranceTest,
    ::testing::Values(ToleranceCase{3, 1, -40, 1.5}, ToleranceCase{3, 1, 375, 1.5},
                      ToleranceCase{3, 1, 500, 2.0}, ToleranceCase{3, 1, 750.1, 0},
                      ToleranceCase{3, 2, -20, 0}, ToleranceCase{3, 2, 0, 2.5},
                      ToleranceCase{3, 2, 333, 2.5}, ToleranceCase{3, 2, 400, 3.0},
                      ToleranceCase{3, 2, 900, 6.75}, ToleranceCase{3, 3, 0, 0}));
INSTANTIATE_TEST_SUITE_P(
    T, NSHToleranceTest,
    ::testing::Values(ToleranceCase{4, 1, -40, 0.5}, ToleranceCase{4, 1, 125, 0.5},
                      ToleranceCase{4, 1, 200, 0.8}, ToleranceCase{4, 1, 350.5, 0},
                      ToleranceCase{4, 2, 135, 1.0}, ToleranceCase{4, 2, 400, 3.0},
                      ToleranceCase{4, 3, -200, 3.0}, ToleranceCase{4, 3, -66.5, 0.9975},
                      ToleranceCase{4, 3, -66, 0}, ToleranceCase{4, 3, -65.5, 1.0},
                      ToleranceCase{4, 3, 40, 1.0}, ToleranceCase{4, 3, 41, 0}));
INSTANTIATE_TEST_SUITE_P(
    E, NSHToleranceTest,
    ::testing::Values(ToleranceCase{5, 1, 375, 1.5}, ToleranceCase{5, 1, 800, 3.2},
                      ToleranceCase{5, 1, 801, 0}, ToleranceCase{5, 2, -40, 2.5},
                      ToleranceCase{5, 2, 900, 6.75}, ToleranceCase{5, 3, -200, 3.0},
                      ToleranceCase{5, 3, -167, 0}, ToleranceCase{5, 3, -166, 2.5}));
INSTANTIATE_TEST_SUITE_P(
    KandN, NSHToleranceTest,
    ::testing::Values(ToleranceCase{6, 1, 1000, 4.0}, ToleranceCase{7, 1, 1300, 5.2},
                      ToleranceCase{6, 1, 1300.5, 0}, ToleranceCase{6, 2, 500, 3.75},
                      ToleranceCase{7, 2, 333, 2.5}, ToleranceCase{6, 2, -41, 0},
                      ToleranceCase{6, 3, -250, 3.75}, ToleranceCase{7, 3, -167, 0},
                      ToleranceCase{6, 3, -167.5, 2.5125}, ToleranceCase{6, 3, 40, 2.5},
                      ToleranceCase{6, 3, -251, 0}));
INSTANTIATE_TEST_SUITE_P(
    AandL, NSHToleranceTest,
    ::testing::Values(ToleranceCase{8, 1, 1500, 0}, ToleranceCase{8, 2, 1000, 5.0},
                      ToleranceCase{9, 2, 2500, 12.5}, ToleranceCase{10, 3, 2000, 14.0},
                      ToleranceCase{10, 3, 999, 0}, ToleranceCase{11, 1, 100, 0},
                      ToleranceCase{11, 2, 360, 2.5}, ToleranceCase{11, 2, 400, 2.7},
                      ToleranceCase{11, 2, 800, 4.7}, ToleranceCase{11, 3, -200, 3.5},
                      ToleranceCase{11, 3, -100, 0}, ToleranceCase{11, 3, -50, 2.5},
                      ToleranceCase{11, 3, 100, 2.5}));
INSTANTIATE_TEST_SUITE_P(
    MandUnknown, NSHToleranceTest,
    ::testing::Values(ToleranceCase{12, 1, -200, 1.5}, ToleranceCase{12, 2, -100, 1.4},
                      ToleranceCase{12, 3, 0, 0}, ToleranceCase{12, 1, 0.5, 1.0},
                      ToleranceCase{12, 3, 100, 1.0}, ToleranceCase{12, 1, 100.5, 0},
                      ToleranceCase{12, 4, 50, 0}, ToleranceCase{13, 1, 100, 0},
                      ToleranceCase{-1, 2, 100, 0}, ToleranceCase{6, 0, 100, 0},
                      ToleranceCase{6, 4, 100, 0}));

TEST(NSHToleranceEmf, IsTheToleranceTimesTheMeanSlopeOverOneDegree)
{
    const long double slope = (NSHEmf(6, 501.0L) - NSHEmf(6, 499.0L)) / 2.0L;
    EXPECT_NEAR(NSHToleranceEmf(6, 2, 500.0), static_cast<double>(3.75L * slope), 1e-15);
    EXPECT_NEAR(NSHToleranceEmf(6, 2, 500.0), 0.15986, 0.00001); // 42.63 µV/°C
}

TEST(NSHToleranceEmf, UsesTheInsideSlopeWithinOneDegreeOfALimit)
{
    // A-3 class 3 at 1800 °C, the top of the characteristic (tolerance up to
    // 2500 °C): E(1801) does not exist; taking it as -300 would give a
    // tolerance of some 1900 mV. The slope below the limit is used instead.
    const long double below = NSHEmf(10, 1800.0L) - NSHEmf(10, 1799.0L);
    EXPECT_DOUBLE_EQ(NSHToleranceEmf(10, 3, 1800.0), static_cast<double>(below * 12.6L));
    EXPECT_LT(NSHToleranceEmf(10, 3, 1800.0), 0.3);
    // M at -200 °C, the bottom: the slope above.
    const long double above = NSHEmf(12, -199.0L) - NSHEmf(12, -200.0L);
    EXPECT_DOUBLE_EQ(NSHToleranceEmf(12, 1, -200.0), static_cast<double>(above * 1.5L));
    // Beyond the characteristic there is nothing to permit.
    EXPECT_EQ(NSHToleranceEmf(10, 3, 2000.0), 0.0);
    EXPECT_EQ(NSHToleranceEmf(13, 1, 100.0), 0.0);
    EXPECT_EQ(NSHToleranceEmf(-1, 1, 100.0), 0.0);
    // J class 1 has no tolerance at 1200 °C, whatever the slope.
    EXPECT_EQ(NSHToleranceEmf(3, 1, 1200.0), 0.0);
    // Across the boundary between two ranges both sides are used.
    const long double mean = (NSHEmf(0, 1065.18L) - NSHEmf(0, 1063.18L)) / 2.0L;
    EXPECT_NEAR(NSHToleranceEmf(0, 1, 1064.18), static_cast<double>(mean), 1e-14);
}

TEST(NextClass, CoarserClassByType)
{
    struct Case {
        int index;
        int expected[3]; // from class 1, 2, 3
    };
    const Case cases[] = {{0, {2, 0, 0}},  {1, {2, 0, 0}},  {3, {2, 0, 0}},  {2, {0, 3, 0}},
                          {8, {0, 3, 0}},  {9, {0, 3, 0}},  {10, {0, 3, 0}}, {11, {0, 3, 0}},
                          {4, {2, 3, 0}},  {5, {2, 3, 0}},  {6, {2, 3, 0}},  {7, {2, 3, 0}},
                          {12, {0, 0, 0}}, {13, {0, 0, 0}}, {-1, {0, 0, 0}}};
    for (const Case &c : cases)
        for (int cls = 1; cls <= 3; ++cls)
            EXPECT_EQ(NextClass(c.index, cls), c.expected[cls - 1])
                << "index " << c.index << " from class " << cls;
    EXPECT_EQ(NextClass(6, 0), 0);
}

} // namespace
} // namespace kront
