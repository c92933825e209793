#include "procedure/StabilityPanel.h"

#include "metrology/StabilityForecast.h"

namespace kront
{

QString UnstableTemperatureText(const DriftMonitor &drift, bool estimate)
{
    const QString judged = QStringLiteral("Температура не стабилизировалась");
    const auto &h = drift.DriftHistory;
    if (!estimate || h.empty() || h.front().time.secsTo(h.back().time) > DriftMonitor::kSpanSeconds)
        return judged;
    const QString forecast = StabilityForecastText(ForecastStabilization(h));
    return forecast.isEmpty() ? judged : forecast;
}

} // namespace kront
