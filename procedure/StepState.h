#pragma once

#include "model/TBunch.h"
#include "procedure/ChannelStep.h"
#include "procedure/PoverkaView.h"

#include <QString>
#include <array>
#include <vector>

namespace kront
{

// The open step of the measurement page as the engine's jobs share it: the step of each used
// channel, the channel measured now, the reading grids and the deviation texts of the step's
// calculation. Lives as long as the engine; the steps are dropped when a step ends.
struct StepState {
    std::vector<ChannelStep> steps; // one per used channel, channel order
    int currentChannel = 0;
    int currentStep = -1;                 // index into steps of currentChannel
    std::array<ReadingGridText, 3> grids; // channels 1..2
    std::array<QString, 3> deviationText; // channels 1..2
    double etalTsk = 0; // °C, the cold junction of the run's reference thermocouple as entered

    // The step of channel 1 or 2 (the last one recorded for it); nullptr when it has none.
    ChannelStep *stepOfChannel(int channel);
    const ChannelStep *stepOfChannel(int channel) const;
    // The step of the channel measured now; nullptr when none.
    ChannelStep *current();
    void dropSteps();
};

// Channel 1 or 2 of a bunch (a channel number other than 2 counts as 1).
inline int ChannelOf(const TBunch &bunch)
{
    return bunch.ChannelNum == 2 ? 2 : 1;
}

} // namespace kront
