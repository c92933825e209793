#include "history/DriftTrend.h"

#include <cmath>

namespace kront
{

namespace
{
constexpr double kDaysPerYear = 365.25;
constexpr double kMsPerDay = 86400000.0;
} // namespace

double YearsBetween(const QDateTime &origin, const QDateTime &at)
{
    return double(origin.msecsTo(at)) / kMsPerDay / kDaysPerYear;
}

std::optional<Trend> LeastSquaresTrend(const std::vector<TrendSample> &samples)
{
    const int n = int(samples.size());
    if (n < kMinTrendPoints)
        return std::nullopt;
    double mx = 0, my = 0;
    for (const TrendSample &s : samples) {
        mx += s.years;
        my += s.value;
    }
    mx /= n;
    my /= n;
    double sxx = 0, sxy = 0;
    for (const TrendSample &s : samples) {
        sxx += (s.years - mx) * (s.years - mx);
        sxy += (s.years - mx) * (s.value - my);
    }
    if (sxx <= 0)
        return std::nullopt;
    Trend t;
    t.points = n;
    t.slopePerYear = sxy / sxx;
    t.intercept = my - t.slopePerYear * mx;
    double ss = 0;
    for (const TrendSample &s : samples) {
        const double r = s.value - t.valueAt(s.years);
        ss += r * r;
    }
    if (n > 2)
        t.slopeError = std::sqrt(ss / (n - 2) / sxx);
    return t;
}

Forecast ForecastExit(const Trend &trend, const QDateTime &origin, double lastYears,
                      double tolerance)
{
    if (!(tolerance > 0))
        return {};
    if (std::fabs(trend.valueAt(lastYears)) > tolerance)
        return {Forecast::Kind::AlreadyOutside};
    if (trend.slopePerYear == 0)
        return {Forecast::Kind::Within};
    const double bound = trend.slopePerYear > 0 ? tolerance : -tolerance;
    const double years = (bound - trend.intercept) / trend.slopePerYear;
    if (years - lastYears > kForecastHorizonYears)
        return {Forecast::Kind::Within};
    const qint64 ms = qint64(std::llround(years * kDaysPerYear * kMsPerDay));
    return {Forecast::Kind::Leaves, origin.addMSecs(ms).date().year()};
}

} // namespace kront
