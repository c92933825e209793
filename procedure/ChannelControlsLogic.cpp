// PrepareControls: the controls of a channel group follow the state of its step, the switch
// position, the voltmeter and the reading acceptance (ChannelControlsFor).
#include "link/MeterLink.h"
#include "model/TBi1.h"
#include "model/TPoverka.h"
#include "procedure/ChannelControlsRule.h"
#include "procedure/PoverkaEngine.h"
#include "settings/ProgramSettings.h"

namespace kront
{
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

ChannelState PoverkaEngine::channelState(int channel) const
{
    const ChannelStep *step = stepOfChannel(channel);
    ChannelState s;
    s.measuring = pov.Stage != stInitiation && CurrentChannel != 0 && step;
    s.awaitingTsk = step && step->AwaitingTsk;
    s.tskEntered = step && step->TskEntered;
    s.switched = bi1.Switched;
    s.position = bi1.GetPosition(channel);
    s.etalKind = step ? step->EtalKind : 0;
    s.meterReady = meter && meter->meterReady();
    s.meterOutOfRange = meter && meter->meterOutOfRange();
    s.meterText = meter ? meter->meterStateText() : QString();
    s.valueFixed = Fixed.ValueFixed;
    s.temperatureStable = TemperatureStable;
    s.stabilityControl = programSettings.temperatureStabilityControl();
    s.stabilityForecast = programSettings.stabilityForecast();
    s.drift = &Drift;
    return s;
}

void PoverkaEngine::PrepareControls(int channel)
{
    if ((channel != 1 && channel != 2) || closed)
        return;
    const std::optional<ChannelControls> next =
        ChannelControlsFor(Controls[channel], channelState(channel));
    if (!next)
        return;
    Controls[channel] = *next;
    if (next->focus == ChannelEdit::Thermostat)
        emptyThermometerEditForNewReading(channel);
    if (meter && (channel == CurrentChannel || CurrentChannel == 0))
        meter->setSavedStatusText(next->statusText);
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
