#pragma once

#include "metrology/ChannelStepValues.h"

namespace kront
{

// The step of one channel: its bunch, reference thermometer, readings and cold-junction
// temperature (ChannelStepValues), and whether all readings are in and the cold-junction
// temperature of the verified thermocouples is awaited. Lives for one step.
struct ChannelStep : ChannelStepValues {
    bool AwaitingTsk = false;
};

} // namespace kront
