// PrepareControls: the controls of a channel group follow the state of its step, the switch
// position, the voltmeter and the reading acceptance.
#include "link/MeterLink.h"
#include "model/CodeTables.h"
#include "model/TBi1.h"
#include "model/TPoverka.h"
#include "procedure/PoverkaEngine.h"
#include "procedure/StabilityPanel.h"
#include "settings/ProgramSettings.h"

namespace kront
{
namespace
{

const QString kPressRecord = QStringLiteral("Для продолжения нажмите кнопку «Записать показание»");
const QString kUnsettled = QStringLiteral("Значение измеренного напряжения на ТАВЕР-7 нестабильно");
const QString kFurnaceCaption = QStringLiteral("Температура печи, °С:");
const QString kThermostatCaption = QStringLiteral("Температура термостата, °С:");

} // namespace

void PoverkaEngine::setStatus(int channel, const QString &first, const QString &second)
{
    Controls[channel].statusText = first;
    Controls[channel].stabilityText = second;
    if (meter && (channel == CurrentChannel || CurrentChannel == 0))
        meter->setSavedStatusText(first);
}

void PoverkaEngine::hideAllValues(ChannelControls &c)
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

void PoverkaEngine::showControls(int channel)
{
    view.showChannelControls(channel, Controls[channel]);
    Controls[channel].beep = false;
    Controls[channel].focus.reset();
}

void PoverkaEngine::emptyThermometerEditForNewReading(int channel)
{
    const ReadingCursor cursor = GetMeasNumAndNextInput(channel);
    const ThermometerReading reading{pov.Stage, pov.StepIndex, cursor.col, cursor.row};
    if (thermometerEditReading[channel] == reading)
        return; // a refresh (a voltmeter frame) while the operator types this reading
    thermometerEditReading[channel] = reading;
    view.setEditText(channel, ChannelEdit::Thermostat, QString());
}

void PoverkaEngine::PrepareControls(int channel)
{
    if ((channel != 1 && channel != 2) || closed)
        return;
    ChannelControls &c = Controls[channel];
    const ChannelStep *step = stepOfChannel(channel);
    if (pov.Stage == stInitiation || CurrentChannel == 0 || !step) {
        c.recordVisible = false;
        c.thermostatCaptionVisible = false;
        c.thermostatValueVisible = false;
        c.driftVisible = false;
        setStatus(channel, QString(), QString());
        showControls(channel);
        return;
    }
    if (step->AwaitingTsk && step->TskEntered) {
        c.recordVisible = false;
        hideAllValues(c);
        c.wrongConnectionVisible = false;
        c.connectionDiagnosis.clear();
        setStatus(channel, QString(), QString());
        showControls(channel);
        return;
    }
    if (step->AwaitingTsk) {
        c.recordVisible = true;
        c.skVisible = true;
        c.focus = ChannelEdit::SKTemperature;
        c.wrongConnectionVisible = false;
        c.connectionDiagnosis.clear();
        setStatus(channel,
                  QStringLiteral("Введите значение температуры свободных концов ТП и нажмите "
                                 "кнопку «Записать показание»"),
                  QString());
        showControls(channel);
        return;
    }
    if (!bi1.Switched)
        return;

    const int position = bi1.GetPosition(channel);
    if (!IsInputPosition(position) && !IsReferencePosition(position))
        return; // the channel's switch rests at "0": nothing to show for it
    const bool ready = meter && meter->meterReady();
    const bool outOfRange = meter && meter->meterOutOfRange();
    const QString meterText = meter ? meter->meterStateText() : QString();
    c.connectedInputVisible = true;
    c.connectedInput = InputLabel(position);
    c.wrongConnectionVisible = false;
    c.connectionDiagnosis.clear();

    if (IsInputPosition(position)) {
        c.measValueVisible = true;
        c.skVisible = false;
        c.thermostatEditVisible = false;
        if (!ready || outOfRange) {
            c.recordVisible = false;
            setStatus(channel, meterText, QString());
        } else if (Fixed.ValueFixed) {
            c.recordVisible = true;
            setStatus(channel, kPressRecord, QString());
        } else {
            c.recordVisible = false;
            setStatus(channel, kUnsettled, QString());
        }
        showControls(channel);
        return;
    }

    if (step->EtalKind == 0) {
        c.recordVisible = true;
        c.measValueVisible = false;
        c.thermostatCaption = kThermostatCaption;
        c.thermostatCaptionVisible = true;
        c.thermostatValueVisible = false;
        c.thermostatEditVisible = true;
        c.skVisible = false;
        c.driftVisible = false;
        c.focus = ChannelEdit::Thermostat;
        emptyThermometerEditForNewReading(channel);
        setStatus(channel,
                  QStringLiteral("Введите показание эталонного ртутного термометра и нажмите "
                                 "кнопку «Записать показание»"),
                  QString());
        showControls(channel);
        return;
    }

    c.measValueVisible = true;
    c.thermostatEditVisible = false;
    c.skVisible = false;
    c.thermostatCaption = kFurnaceCaption;
    if (!ready) {
        c.recordVisible = false;
        c.thermostatCaptionVisible = false;
        c.thermostatValueVisible = false;
        setStatus(channel, meterText, QString());
    } else if (outOfRange) {
        c.recordVisible = false;
        c.thermostatCaptionVisible = false;
        setStatus(channel, meterText, QString());
    } else if (Fixed.ValueFixed && TemperatureStable) {
        c.beep = !c.recordVisible;
        c.recordVisible = true;
        c.thermostatCaptionVisible = true;
        c.thermostatValueVisible = true;
        c.driftVisible = true;
        setStatus(channel, kPressRecord,
                  programSettings.temperatureStabilityControl()
                      ? QStringLiteral("Температура стабильна")
                      : QString());
    } else if (Fixed.ValueFixed) {
        c.recordVisible = false;
        c.thermostatCaptionVisible = true;
        c.thermostatValueVisible = true;
        c.driftVisible = false;
        setStatus(channel, QStringLiteral("Подождите стабилизации температуры..."),
                  UnstableTemperatureText(Drift, programSettings.stabilityForecast()));
    } else {
        c.recordVisible = false;
        c.thermostatCaptionVisible = true;
        c.thermostatValueVisible = true;
        c.driftVisible = true;
        setStatus(channel, kUnsettled, QString());
    }
    showControls(channel);
}

void PoverkaEngine::showChannelStatus(int channel, const QString &text)
{
    if ((channel != 1 && channel != 2) || closed)
        return;
    Controls[channel].statusText = text;
    showControls(channel);
}

} // namespace kront
