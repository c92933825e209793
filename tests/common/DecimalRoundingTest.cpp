#include "common/DecimalRounding.h"

#include <cmath>
#include <gtest/gtest.h>

namespace kront
{
namespace
{

struct RoundCase {
    double value;
    int decimals;
    double expected;
};

class DecimalRoundingTest : public ::testing::TestWithParam<RoundCase>
{
};

TEST_P(DecimalRoundingTest, RoundsTheDecimalValueWithTiesToEven)
{
    const RoundCase c = GetParam();
    EXPECT_EQ(rnd_n(c.value, c.decimals), c.expected)
        << c.value << " at " << c.decimals << " decimals";
}

INSTANTIATE_TEST_SUITE_P(
    Ties, DecimalRoundingTest,
    ::testing::Values(RoundCase{0.0435, 3, 0.044}, RoundCase{4.105, 2, 4.10},
                      RoundCase{(4.10 + 4.11) / 2, 2, 4.10}, RoundCase{4.1049, 2, 4.10},
                      RoundCase{4.1049, 3, 4.105}, RoundCase{4.115, 2, 4.12},
                      RoundCase{-4.105, 2, -4.10}, RoundCase{-0.0435, 3, -0.044},
                      RoundCase{0.5, 0, 0.0}, RoundCase{1.5, 0, 2.0}, RoundCase{2.5, 0, 2.0},
                      RoundCase{0.005, 2, 0.0}, RoundCase{0.015, 2, 0.02},
                      RoundCase{0.0049, 2, 0.0}, RoundCase{0.00049, 2, 0.0},
                      RoundCase{9.995, 2, 10.0}, RoundCase{999.9995, 3, 1000.0},
                      RoundCase{(1.1 + 2.2 + 3.3) / 3, 3, 2.2}, RoundCase{12.3456, 6, 12.3456},
                      RoundCase{-300.0, 2, -300.0}, RoundCase{0.0, 3, 0.0},
                      RoundCase{1064.185, 2, 1064.18}, RoundCase{0.1 + 0.2, 1, 0.3}));

TEST(DecimalRounding, NegativeZeroBecomesZero)
{
    EXPECT_FALSE(std::signbit(rnd_n(-0.0004, 2)));
}

} // namespace
} // namespace kront
