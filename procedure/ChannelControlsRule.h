#pragma once

#include "metrology/DriftCheck.h"
#include "procedure/PoverkaView.h"
#include "procedure/ReadingOrder.h"

#include <QString>
#include <optional>

namespace kront
{

// Everything the controls of one channel group depend on, read from the step, the switching
// unit, the voltmeter and the reading acceptance at one moment.
struct ChannelState {
    // Past the initiation, a channel chosen for the run and a step open on this channel.
    bool measuring = false;
    bool awaitingTsk = false; // all readings are in; the cold junctions' temperature is awaited
    bool tskEntered = false;  // and it was entered: the channel's step is closed
    bool switched = false;    // the operator has set the switches of BI1 for the run
    int position = kPosZero;  // the channel's switch position
    int etalKind = 0;         // the step's reference thermometer: 0 mercury, 1..3 thermocouple
    bool meterReady = false;
    bool meterOutOfRange = false;
    QString meterText;                   // the voltmeter's state for the first status panel
    bool valueFixed = false;             // the shown reading has settled
    bool temperatureStable = false;      // the furnace temperature is stable
    bool stabilityControl = false;       // the program settings judge the furnace's stability
    bool stabilityForecast = false;      // and estimate when it will be stable
    const DriftMonitor *drift = nullptr; // the furnace history (needed while it settles)
};

// The controls of a channel group for its state, starting from the controls shown now: a value
// the state does not decide stays as shown (the values of the last reading, for instance). The
// beep is set when the recording button appears; the focus names the edit the operator types
// into next, the thermometer edit only when a new mercury thermometer reading is asked for.
// nullopt: the switches are not yet set for the run, or the channel rests at "0"; the controls
// stay as they are.
std::optional<ChannelControls> ChannelControlsFor(const ChannelControls &shown,
                                                  const ChannelState &state);

} // namespace kront
