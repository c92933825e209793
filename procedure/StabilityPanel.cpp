#include "procedure/StabilityPanel.h"

#include "metrology/StabilityForecast.h"
#include "settings/ProgramSettings.h"

namespace kront
{

QString UnstableTemperatureText(const DriftMonitor &drift)
{
    const QString judged = QStringLiteral("Температура не стабилизировалась");
    const auto &h = drift.DriftHistory;
    if (!programSettings().stabilityForecast() || h.empty() ||
        h.front().time.secsTo(h.back().time) > DriftMonitor::kSpanSeconds)
        return judged;
    const QString forecast = StabilityForecastText(ForecastStabilization(h));
    return forecast.isEmpty() ? judged : forecast;
}

} // namespace kront
