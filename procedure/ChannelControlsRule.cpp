#include "procedure/ChannelControlsRule.h"

#include "model/CodeTables.h"
#include "procedure/StabilityPanel.h"

namespace kront
{
namespace
{

const QString kPressRecord = QStringLiteral("Для продолжения нажмите кнопку «Записать показание»");
const QString kUnsettled = QStringLiteral("Значение измеренного напряжения на ТАВЕР-7 нестабильно");
const QString kFurnaceCaption = QStringLiteral("Температура печи, °С:");
const QString kThermostatCaption = QStringLiteral("Температура термостата, °С:");

void setStatus(ChannelControls &c, const QString &first, const QString &second = QString())
{
    c.statusText = first;
    c.stabilityText = second;
}

void hideAllValues(ChannelControls &c)
{
    c.connectedInputVisible = false;
    c.connectedInput.clear();
    c.measValueVisible = false;
    c.measValue.clear();
    c.driftVisible = false;
    c.drift.clear();
    c.thermostatCaptionVisible = false;
    c.thermostatValueVisible = false;
    c.thermostatValue.clear();
    c.thermostatEditVisible = false;
    c.skVisible = false;
}

void clearConnectionWarnings(ChannelControls &c)
{
    c.wrongConnectionVisible = false;
    c.connectionDiagnosis.clear();
}

// The channel's switch at one of its inputs: the EMF of a verified thermocouple.
void showInput(ChannelControls &c, const ChannelState &s)
{
    c.measValueVisible = true;
    c.skVisible = false;
    c.thermostatEditVisible = false;
    if (!s.meterReady || s.meterOutOfRange) {
        c.recordVisible = false;
        setStatus(c, s.meterText);
    } else if (s.valueFixed) {
        c.recordVisible = true;
        setStatus(c, kPressRecord);
    } else {
        c.recordVisible = false;
        setStatus(c, kUnsettled);
    }
}

// The reference input with a mercury thermometer: the operator types its reading.
void showMercuryReference(ChannelControls &c)
{
    c.recordVisible = true;
    c.measValueVisible = false;
    c.thermostatCaption = kThermostatCaption;
    c.thermostatCaptionVisible = true;
    c.thermostatValueVisible = false;
    c.thermostatEditVisible = true;
    c.skVisible = false;
    c.driftVisible = false;
    c.focus = ChannelEdit::Thermostat;
    setStatus(c, QStringLiteral("Введите показание эталонного ртутного термометра и нажмите "
                                "кнопку «Записать показание»"));
}

// The reference input with a reference thermocouple: the furnace temperature and its drift.
void showThermocoupleReference(ChannelControls &c, const ChannelState &s)
{
    c.measValueVisible = true;
    c.thermostatEditVisible = false;
    c.skVisible = false;
    c.thermostatCaption = kFurnaceCaption;
    if (!s.meterReady) {
        c.recordVisible = false;
        c.thermostatCaptionVisible = false;
        c.thermostatValueVisible = false;
        setStatus(c, s.meterText);
    } else if (s.meterOutOfRange) {
        c.recordVisible = false;
        c.thermostatCaptionVisible = false;
        setStatus(c, s.meterText);
    } else if (s.valueFixed && s.temperatureStable) {
        c.beep = !c.recordVisible;
        c.recordVisible = true;
        c.thermostatCaptionVisible = true;
        c.thermostatValueVisible = true;
        c.driftVisible = true;
        setStatus(c, kPressRecord,
                  s.stabilityControl ? QStringLiteral("Температура стабильна") : QString());
    } else if (s.valueFixed) {
        c.recordVisible = false;
        c.thermostatCaptionVisible = true;
        c.thermostatValueVisible = true;
        c.driftVisible = false;
        setStatus(c, QStringLiteral("Подождите стабилизации температуры..."),
                  s.drift ? UnstableTemperatureText(*s.drift, s.stabilityForecast) : QString());
    } else {
        c.recordVisible = false;
        c.thermostatCaptionVisible = true;
        c.thermostatValueVisible = true;
        c.driftVisible = true;
        setStatus(c, kUnsettled);
    }
}

} // namespace

std::optional<ChannelControls> ChannelControlsFor(const ChannelControls &shown,
                                                  const ChannelState &s)
{
    ChannelControls c = shown;
    c.beep = false;
    c.focus.reset();
    if (!s.measuring) {
        c.recordVisible = false;
        c.thermostatCaptionVisible = false;
        c.thermostatValueVisible = false;
        c.driftVisible = false;
        setStatus(c, QString());
        return c;
    }
    if (s.awaitingTsk && s.tskEntered) {
        c.recordVisible = false;
        hideAllValues(c);
        clearConnectionWarnings(c);
        setStatus(c, QString());
        return c;
    }
    if (s.awaitingTsk) {
        c.recordVisible = true;
        c.skVisible = true;
        c.focus = ChannelEdit::SKTemperature;
        clearConnectionWarnings(c);
        setStatus(c, QStringLiteral("Введите значение температуры свободных концов ТП и нажмите "
                                    "кнопку «Записать показание»"));
        return c;
    }
    const bool input = IsInputPosition(s.position);
    if (!s.switched || (!input && !IsReferencePosition(s.position)))
        return std::nullopt;

    c.connectedInputVisible = true;
    c.connectedInput = InputLabel(s.position);
    clearConnectionWarnings(c);
    if (input)
        showInput(c, s);
    else if (s.etalKind == 0)
        showMercuryReference(c);
    else
        showThermocoupleReference(c, s);
    return c;
}

} // namespace kront
