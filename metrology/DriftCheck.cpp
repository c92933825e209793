#include "metrology/DriftCheck.h"

#include "common/Clock.h"
#include "common/DecimalRounding.h"

#include <algorithm>

namespace kront
{

DriftJudgement DriftMonitor::DriftCheck(bool skipSpan, double t)
{
    if (t < -299) {
        DriftHistory.clear();
        return {false, kNotJudged};
    }
    const QDateTime now = programClock().now();
    DriftHistory.push_back({t, now});
    const QDateTime oldestKept = now.addSecs(-kHistorySeconds);
    const auto firstKept = std::find_if(DriftHistory.begin(), DriftHistory.end(),
                                        [&](const DriftSample &s) { return s.time >= oldestKept; });
    DriftHistory.erase(DriftHistory.begin(), firstKept);

    if (!skipSpan && DriftHistory.front().time.msecsTo(now) <= kSpanSeconds * 1000)
        return {false, kNotJudged};

    const auto [low, high] =
        std::minmax_element(DriftHistory.begin(), DriftHistory.end(),
                            [](const DriftSample &a, const DriftSample &b) { return a.t < b.t; });
    const double spread = high->t - low->t;
    // Judged on the decimal value, so that typed readings 400.1 and 401.1 are
    // exactly 1.0 °C apart and not 1.0000000000000227.
    return {rnd_n(spread, 9) <= kAllowedSpread, spread};
}

} // namespace kront
