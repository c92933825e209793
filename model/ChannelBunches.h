#pragma once

#include "model/TBunch.h"

#include <array>
#include <memory>

namespace kront
{

// The two channel bunches as the operator last accepted them in the
// connected-sensors editor: one slot per measuring channel 1 and 2, each
// holding a bunch or none. The slots own their bunches (and so the sensors
// in them); they live for the whole run and are released at shut-down.
class ChannelBunches
{
public:
    // The bunch of channel 1 or 2; nullptr when the slot is empty or the
    // channel is not 1 or 2.
    TBunch *bunch(int channel) const;

    // Puts a bunch into slot 1 or 2, freeing the one it replaces. A null
    // bunch empties the slot. False (bunch freed) for another channel.
    bool set(int channel, std::unique_ptr<TBunch> bunch);

    // Frees the bunch of a slot (its reference sensor, its sensors and the
    // bunch itself) and empties the slot. Harmless on an empty slot.
    void release(int channel);
    void releaseAll();

    // True unless a slot holds a bunch with at least one verified sensor.
    bool AllBunchesIsEmpty() const;

private:
    std::array<std::unique_ptr<TBunch>, 3> slots; // channels 1..2, [0] unused
};

} // namespace kront
