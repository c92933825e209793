#pragma once

#include "metrology/DriftCheck.h"

#include <QString>
#include <vector>

namespace kront
{

// How long until the drift judgement can find the furnace stable, from the history of the
// furnace temperature: a first-order approach toward a set-point, T = a + b·exp(−t/τ), fitted
// by least squares over the last minutes of the history.
struct StabilityForecast {
    enum class Kind {
        TooShort, // not enough history to try
        Unfit,    // the history is no first-order approach (a steady drift, oscillation)
        Minutes,  // an estimate
    } kind = Kind::TooShort;
    double minutes = 0; // from the newest sample
};

inline constexpr qint64 kForecastFitSeconds = 10 * 60; // history fitted
inline constexpr qint64 kForecastMinSpanSeconds = 2 * 60;
inline constexpr int kForecastMinSamples = 10;

StabilityForecast ForecastStabilization(const std::vector<DriftSample> &history);

// "Стабилизация ≈ через N мин", "Стабилизация: оценка невозможна"; empty when too short.
QString StabilityForecastText(const StabilityForecast &forecast);

} // namespace kront
