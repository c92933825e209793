#pragma once

#include <QDate>
#include <QDateTime>

#include <optional>
#include <vector>

namespace kront
{

// The least-squares line of a deviation against time, and where it leaves a
// tolerance. Pure arithmetic.

// Years from `origin` to `at`: days of 365.25.
double YearsBetween(const QDateTime &origin, const QDateTime &at);

struct TrendSample {
    double years; // since the first verification
    double value; // deviation, °C
};

struct Trend {
    int points = 0;
    double slopePerYear = 0; // °C per year
    double intercept = 0;    // °C at years 0
    // Standard error of the slope; absent with three points lying on the line
    // and with fewer than three points (no degree of freedom left).
    std::optional<double> slopeError;
    double valueAt(double years) const { return intercept + slopePerYear * years; }
};

// Fewer than this many verifications give no trend at all.
inline constexpr int kMinTrendPoints = 3;
// Below this many the trend is shown as uncertain.
inline constexpr int kReliableTrendPoints = 5;
// A crossing further than this after the last verification counts as staying
// within the tolerance.
inline constexpr double kForecastHorizonYears = 20.0;

// The trend of the samples; nullopt for fewer than kMinTrendPoints samples or
// when they all lie at one moment.
std::optional<Trend> LeastSquaresTrend(const std::vector<TrendSample> &samples);

struct Forecast {
    enum class Kind {
        NoTolerance,    // the class has no tolerance at that temperature
        Within,         // stays inside ±tolerance within the horizon
        Leaves,         // crosses ±tolerance in `year`
        AlreadyOutside, // the line lies outside at the last verification
    };
    Kind kind = Kind::NoTolerance;
    int year = 0; // Leaves only
};

// Where the trend line leaves ±tolerance after the last verification
// (`lastYears` after `origin`).
Forecast ForecastExit(const Trend &trend, const QDateTime &origin, double lastYears,
                      double tolerance);

} // namespace kront
