#pragma once

#include <QDateTime>
#include <vector>

namespace kront
{

// One judged furnace temperature.
struct DriftSample {
    double t;       // °C
    QDateTime time; // local time of the sample (program clock)
};

struct DriftJudgement {
    bool stable = false;
    double spread = 3000; // °C over the history; 3000 when not judged
};

// Judges whether the furnace temperature is stable: its spread over the last
// half hour is at most 1.0 °C. Time comes from the program clock.
class DriftMonitor
{
public:
    static constexpr double kNotJudged = 3000;         // spread of a drift that was not judged
    static constexpr double kAllowedSpread = 1.0;      // °C
    static constexpr qint64 kHistorySeconds = 31 * 60; // samples kept before the newest
    static constexpr qint64 kSpanSeconds = 30 * 60;    // span needed for a judgement

    // Takes temperature t (°C). A temperature below -299 (none) clears the
    // history. skipSpan judges the history however short it is (the typed
    // readings of a mercury thermometer).
    DriftJudgement DriftCheck(bool skipSpan, double t);

    void clear() { DriftHistory.clear(); }

    std::vector<DriftSample> DriftHistory; // oldest first
};

} // namespace kront
