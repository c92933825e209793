#pragma once

#include "metrology/ChannelStepValues.h"

namespace kront
{

// The step of one channel: its bunch, reference thermometer, readings and cold-junction
// temperature (ChannelStepValues), whether all readings are in and the cold-junction
// temperature of the verified thermocouples is awaited, and whether it was entered. Lives for
// one step.
struct ChannelStep : ChannelStepValues {
    bool AwaitingTsk = false;
    // TskTP holds an entered value. Kept apart from TskTP because no range is imposed on the
    // typed temperature: -300 or below is a value the operator may enter, not "none".
    bool TskEntered = false;
};

} // namespace kront
