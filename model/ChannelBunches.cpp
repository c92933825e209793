#include "model/ChannelBunches.h"

namespace kront
{

namespace
{
bool isChannel(int channel)
{
    return channel == 1 || channel == 2;
}
} // namespace

TBunch *ChannelBunches::bunch(int channel) const
{
    return isChannel(channel) ? slots[channel].get() : nullptr;
}

bool ChannelBunches::set(int channel, std::unique_ptr<TBunch> bunch)
{
    if (!isChannel(channel))
        return false;
    slots[channel] = std::move(bunch);
    return true;
}

void ChannelBunches::release(int channel)
{
    if (isChannel(channel))
        slots[channel].reset();
}

void ChannelBunches::releaseAll()
{
    release(1);
    release(2);
}

bool ChannelBunches::AllBunchesIsEmpty() const
{
    for (int channel = 1; channel <= 2; ++channel) {
        if (slots[channel] && slots[channel]->SensorCount > 0)
            return false;
    }
    return true;
}

} // namespace kront
