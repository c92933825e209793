#include "metrology/StabilityForecast.h"

#include <cmath>
#include <limits>

namespace kront
{
namespace
{

struct Fit {
    double a = 0, b = 0, tau = 0;
    double sse = std::numeric_limits<double>::infinity();
};

struct Point {
    double x; // s from the first fitted sample
    double y; // °C
};

// Least squares of y = a + b·g(x) with g = exp(−x/τ) for one τ.
Fit fitFor(const std::vector<Point> &points, double tau)
{
    double n = 0, sg = 0, sgg = 0, sy = 0, sgy = 0;
    for (const Point &p : points) {
        const double g = std::exp(-p.x / tau);
        n += 1;
        sg += g;
        sgg += g * g;
        sy += p.y;
        sgy += g * p.y;
    }
    Fit f;
    f.tau = tau;
    const double det = n * sgg - sg * sg;
    if (std::fabs(det) < 1e-12 * n * n)
        return f;
    f.b = (n * sgy - sg * sy) / det;
    f.a = (sy - f.b * sg) / n;
    f.sse = 0;
    for (const Point &p : points) {
        const double r = p.y - (f.a + f.b * std::exp(-p.x / tau));
        f.sse += r * r;
    }
    return f;
}

constexpr double kTauMin = 10;       // s
constexpr double kTauMax = 4 * 3600; // s: slower is a steady drift to the fit
constexpr double kTauStep = 1.05;    // geometric grid
constexpr double kNoiseSpan = 4;     // noise widens the spread by about 4 σ
constexpr double kMaxMinutes = 24 * 60;
constexpr double kMaxRms = 0.3; // °C: a worse fit is no first-order approach

} // namespace

StabilityForecast ForecastStabilization(const std::vector<DriftSample> &history)
{
    StabilityForecast out;
    if (history.size() < std::size_t(kForecastMinSamples))
        return out;
    const QDateTime &newest = history.back().time;
    const QDateTime fitFrom = newest.addSecs(-kForecastFitSeconds);
    std::vector<Point> points;
    QDateTime first;
    for (const DriftSample &s : history) {
        if (s.time < fitFrom)
            continue;
        if (points.empty())
            first = s.time;
        points.push_back({first.msecsTo(s.time) / 1000.0, s.t});
    }
    if (points.size() < std::size_t(kForecastMinSamples) ||
        points.back().x < kForecastMinSpanSeconds)
        return out;

    Fit best;
    for (double tau = kTauMin; tau <= kTauMax; tau *= kTauStep) {
        const Fit f = fitFor(points, tau);
        if (f.sse < best.sse)
            best = f;
    }
    out.kind = StabilityForecast::Kind::Unfit;
    if (!std::isfinite(best.sse) || best.tau * kTauStep > kTauMax)
        return out;
    const double rms = std::sqrt(best.sse / double(points.size()));
    const double allowed = DriftMonitor::kAllowedSpread - kNoiseSpan * rms;
    if (rms > kMaxRms || allowed <= 0)
        return out;

    // The spread over the kept history ending at x is |b|·e^(−x/τ)·(e^(W/τ) − 1); it falls to
    // the allowed spread at xs. The judgement also needs a history of the judged span.
    const double w = double(DriftMonitor::kHistorySeconds);
    const double now = points.back().x;
    double xs = -std::numeric_limits<double>::infinity();
    if (std::fabs(best.b) > 0)
        xs = best.tau *
             (std::log(std::fabs(best.b)) + std::log(std::expm1(w / best.tau)) - std::log(allowed));
    const double historyStart = first.msecsTo(history.front().time) / 1000.0;
    const double judged = historyStart + double(DriftMonitor::kSpanSeconds);
    const double at = std::max(xs, judged);
    const double minutes = std::max(0.0, (at - now) / 60);
    if (minutes > kMaxMinutes)
        return out;
    out.kind = StabilityForecast::Kind::Minutes;
    out.minutes = minutes;
    return out;
}

QString StabilityForecastText(const StabilityForecast &forecast)
{
    switch (forecast.kind) {
    case StabilityForecast::Kind::TooShort: return QString();
    case StabilityForecast::Kind::Unfit: return QStringLiteral("Стабилизация: оценка невозможна");
    case StabilityForecast::Kind::Minutes: break;
    }
    return QStringLiteral("Стабилизация ≈ через %1 мин")
        .arg(std::max(1, int(std::ceil(forecast.minutes))));
}

} // namespace kront
