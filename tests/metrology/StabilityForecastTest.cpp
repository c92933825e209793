#include "metrology/StabilityForecast.h"

#include "tests/support/FakeClock.h"

#include <cmath>
#include <functional>
#include <gtest/gtest.h>
#include <random>

namespace kront
{
namespace
{

using Furnace = std::function<double(double seconds)>;

constexpr int kPeriod = 10; // s between reference temperatures

// Feeds the drift judgement with the furnace's temperature every kPeriod seconds from the start
// of the run; at `askAt` (s) takes the forecast, then goes on until the furnace is judged
// stable. Returns the forecast and the true minutes from `askAt` until that judgement (-1
// when it never came within the hours tried).
struct Outcome {
    StabilityForecast forecast;
    double trueMinutes = -1;
};

Outcome run(const Furnace &furnace, int askAt, double noise = 0, unsigned seed = 1)
{
    test::FakeClock clock;
    DriftMonitor drift;
    std::mt19937 random(seed);
    std::normal_distribution<double> gauss(0, noise > 0 ? noise : 1);
    Outcome out;
    for (int s = 0; s <= 8 * 3600; s += kPeriod) {
        const double t = furnace(s) + (noise > 0 ? gauss(random) : 0);
        const DriftJudgement j = drift.DriftCheck(false, t);
        if (s == askAt)
            out.forecast = ForecastStabilization(drift.DriftHistory);
        if (s >= askAt && j.stable) {
            out.trueMinutes = (s - askAt) / 60.0;
            break;
        }
        clock.advanceSeconds(kPeriod);
    }
    return out;
}

Furnace firstOrder(double from, double to, double tau)
{
    return [=](double s) { return to + (from - to) * std::exp(-s / tau); };
}

TEST(StabilityForecast, FirstOrderApproachWithin20PercentOfTheTrueTime)
{
    struct Case {
        const char *what;
        Furnace furnace;
        int askAt;
        double noise;
    };
    const Case cases[] = {
        {"20 °C below, tau 10 min, after 5 min", firstOrder(480, 500, 600), 300, 0},
        {"20 °C below, tau 10 min, after 15 min", firstOrder(480, 500, 600), 900, 0},
        {"60 °C above, tau 20 min, after 10 min", firstOrder(560, 500, 1200), 600, 0},
        {"150 °C below, tau 15 min, after 20 min", firstOrder(350, 500, 900), 1200, 0},
        {"short tau: the half hour of history decides", firstOrder(495, 500, 120), 300, 0},
        {"noise 0,03 °C", firstOrder(480, 500, 600), 600, 0.03},
        {"noise 0,05 °C", firstOrder(400, 500, 900), 900, 0.05},
    };
    for (const Case &c : cases) {
        const Outcome o = run(c.furnace, c.askAt, c.noise);
        ASSERT_GT(o.trueMinutes, 0) << c.what;
        ASSERT_EQ(o.forecast.kind, StabilityForecast::Kind::Minutes) << c.what;
        EXPECT_NEAR(o.forecast.minutes, o.trueMinutes, 0.2 * o.trueMinutes)
            << c.what << ": true " << o.trueMinutes;
    }
}

TEST(StabilityForecast, HistoriesThatAreNoFirstOrderApproachGiveNoEstimate)
{
    struct Case {
        const char *what;
        Furnace furnace;
        int askAt;
    };
    const Case cases[] = {
        {"a steady drift of 0,5 °C/min", [](double s) { return 500 + 0.5 * s / 60; }, 900},
        {"an overshoot swinging around the set-point",
         [](double s) { return 500 - 30 * std::exp(-s / 3000) * std::cos(2 * M_PI * s / 900); },
         1200},
    };
    for (const Case &c : cases) {
        const Outcome o = run(c.furnace, c.askAt);
        EXPECT_EQ(o.forecast.kind, StabilityForecast::Kind::Unfit) << c.what;
        EXPECT_EQ(StabilityForecastText(o.forecast),
                  QStringLiteral("Стабилизация: оценка невозможна"));
    }
}

TEST(StabilityForecast, ATooShortHistoryIsNotTried)
{
    const Outcome o = run(firstOrder(480, 500, 600), 60);
    EXPECT_EQ(o.forecast.kind, StabilityForecast::Kind::TooShort);
    EXPECT_TRUE(StabilityForecastText(o.forecast).isEmpty());
}

TEST(StabilityForecast, TextRoundsUpToWholeMinutes)
{
    EXPECT_EQ(StabilityForecastText({StabilityForecast::Kind::Minutes, 12.2}),
              QStringLiteral("Стабилизация ≈ через 13 мин"));
    EXPECT_EQ(StabilityForecastText({StabilityForecast::Kind::Minutes, 0.0}),
              QStringLiteral("Стабилизация ≈ через 1 мин"));
}

} // namespace
} // namespace kront
