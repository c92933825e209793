#pragma once

#include <QtGlobal>
#include <array>

namespace kront
{

class TBunch;

// What the calculation of one channel's step works on: the channel's bunch,
// the cold-junction temperature, the reference thermometer of the step and
// the readings. The measurement procedure fills it while it takes readings.
struct ChannelStepValues {
    TBunch *Bunch = nullptr; // the channel's bunch; not owned
    double TskTP = -300;     // cold-junction temperature of the verified thermocouples, °C
    quint8 EtalKind = 0;     // 0 mercury-in-glass thermometer, else the reference's SensKind

    // Readings[j][k] of reading block j = 1..4 ([0] unused): k = 0 the
    // reference value (mV of a reference thermocouple, °C of a mercury
    // thermometer), 1..4 the EMF e1 of inputs 1..4, 5..8 the EMF e2 of inputs
    // 1..4 (electrode comparison only), mV. The direct method uses blocks 1..4,
    // the electrode comparison blocks 1 and 2.
    std::array<std::array<double, 9>, 5> Readings{};
};

} // namespace kront
