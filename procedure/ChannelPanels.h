#pragma once

#include "procedure/ChannelControlsRule.h"
#include "procedure/PoverkaView.h"

#include <array>
#include <optional>

namespace kront
{

struct ProcedureContext;

// The controls of the two channel groups as the window shows them: each change is shown at
// once; the voltmeter link keeps the first status text of the channel measured.
class ChannelPanels
{
public:
    explicit ChannelPanels(ProcedureContext &context) : ctx(context) {}

    ChannelControls &operator[](int channel) { return controls[std::size_t(channel)]; }
    const ChannelControls &operator[](int channel) const { return controls[std::size_t(channel)]; }

    // The controls of channel 1 or 2 for its state (ChannelControlsFor), shown.
    void update(int channel, const ChannelState &state);
    // Shows the controls of the channel as they are; the beep and the focus go once.
    void show(int channel);
    // A text of the link in the first status panel of the channel.
    void showStatus(int channel, const QString &text);

private:
    void emptyThermometerEditForNewReading(int channel);

    ProcedureContext &ctx;
    std::array<ChannelControls, 3> controls; // channels 1..2
    // The mercury thermometer reading each channel's edit was last emptied for (stage, step,
    // grid cell): what the operator types stays until the reading is recorded or the step
    // changes, however often the controls are refreshed meanwhile.
    struct ThermometerReading {
        quint8 stage;
        quint32 step;
        int col, row;
        bool operator==(const ThermometerReading &) const = default;
    };
    std::array<std::optional<ThermometerReading>, 3> thermometerEditReading; // channels 1..2
};

} // namespace kront
