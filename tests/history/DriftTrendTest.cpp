#include "history/DriftTrend.h"

#include <gtest/gtest.h>

namespace kront::test
{
namespace
{

const QDateTime kOrigin(QDate(2020, 1, 1), QTime(0, 0));

TEST(DriftTrend, LeastSquaresLineAndItsError)
{
    // y = 1 + 0.5 x with residuals +0.1, -0.1, -0.1, +0.1
    const auto t = LeastSquaresTrend({{0, 1.1}, {1, 1.4}, {2, 1.9}, {3, 2.6}});
    ASSERT_TRUE(t);
    EXPECT_NEAR(t->slopePerYear, 0.5, 1e-12);
    EXPECT_NEAR(t->intercept, 1.0, 1e-12);
    ASSERT_TRUE(t->slopeError);
    EXPECT_NEAR(*t->slopeError, std::sqrt(0.04 / 2 / 5), 1e-12);

    EXPECT_FALSE(LeastSquaresTrend({{0, 1}, {1, 2}}));         // too few
    EXPECT_FALSE(LeastSquaresTrend({{2, 1}, {2, 2}, {2, 3}})); // all at one moment
}

TEST(DriftTrend, ForecastAgainstTheTolerance)
{
    struct Case {
        const char *name;
        double intercept, slope, lastYears, tolerance;
        Forecast::Kind kind;
        int year;
    };
    const Case cases[] = {
        // 0.5 + 0.25 y reaches 2.5 at 8 years: 2028
        {"rising", 0.5, 0.25, 4, 2.5, Forecast::Kind::Leaves, 2028},
        // -0.5 - 0.25 y reaches -2.5 at 8 years: the lower bound counts as well
        {"falling", -0.5, -0.25, 4, 2.5, Forecast::Kind::Leaves, 2028},
        {"flat", 1.0, 0.0, 4, 2.5, Forecast::Kind::Within, 0},
        // crossing 30 years after the last verification lies beyond the horizon
        {"slow", 0.0, 2.5 / 34, 4, 2.5, Forecast::Kind::Within, 0},
        {"outside at the last verification", 2.0, 0.25, 4, 2.5, Forecast::Kind::AlreadyOutside, 0},
        {"no tolerance", 0.0, 0.25, 4, 0.0, Forecast::Kind::NoTolerance, 0},
    };
    for (const Case &c : cases) {
        Trend t;
        t.points = 5;
        t.intercept = c.intercept;
        t.slopePerYear = c.slope;
        const Forecast f = ForecastExit(t, kOrigin, c.lastYears, c.tolerance);
        EXPECT_EQ(f.kind, c.kind) << c.name;
        EXPECT_EQ(f.year, c.year) << c.name;
    }
}

} // namespace
} // namespace kront::test
