#include "procedure/ChannelPanels.h"

#include "link/MeterLink.h"
#include "model/TPoverka.h"
#include "procedure/ProcedureContext.h"

namespace kront
{

void ChannelPanels::update(int channel, const ChannelState &state)
{
    const std::optional<ChannelControls> next = ChannelControlsFor((*this)[channel], state);
    if (!next)
        return;
    (*this)[channel] = *next;
    if (next->focus == ChannelEdit::Thermostat)
        emptyThermometerEditForNewReading(channel);
    const int current = ctx.step.currentChannel;
    if (ctx.meter && (channel == current || current == 0))
        ctx.meter->setSavedStatusText(next->statusText);
    show(channel);
}

void ChannelPanels::show(int channel)
{
    ChannelControls &c = (*this)[channel];
    ctx.view.showChannelControls(channel, c);
    c.beep = false;
    c.focus.reset();
}

void ChannelPanels::showStatus(int channel, const QString &text)
{
    (*this)[channel].statusText = text;
    show(channel);
}

void ChannelPanels::emptyThermometerEditForNewReading(int channel)
{
    const ReadingCursor cursor = ctx.cursor(channel);
    const ThermometerReading reading{ctx.pov.Stage, ctx.pov.StepIndex, cursor.col, cursor.row};
    auto &last = thermometerEditReading[std::size_t(channel)];
    if (last == reading)
        return; // a refresh (a voltmeter frame) while the operator types this reading
    last = reading;
    ctx.view.setEditText(channel, ChannelEdit::Thermostat, QString());
}

} // namespace kront
