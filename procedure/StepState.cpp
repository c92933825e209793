#include "procedure/StepState.h"

#include "model/TBi1.h"
#include "model/TPoverka.h"
#include "procedure/ProcedureContext.h"

namespace kront
{

ChannelStep *StepState::stepOfChannel(int channel)
{
    ChannelStep *found = nullptr;
    for (ChannelStep &step : steps)
        if (int(step.Bunch->ChannelNum) == channel)
            found = &step; // the last record of the channel
    return found;
}

const ChannelStep *StepState::stepOfChannel(int channel) const
{
    return const_cast<StepState *>(this)->stepOfChannel(channel);
}

ChannelStep *StepState::current()
{
    if (currentStep < 0 || currentStep >= int(steps.size()))
        return nullptr;
    return &steps[std::size_t(currentStep)];
}

void StepState::dropSteps()
{
    steps.clear();
    currentStep = -1;
}

ReadingCursor ProcedureContext::cursor(int channel) const
{
    if (channel != 1 && channel != 2)
        return {};
    return GetMeasNumAndNextInput(step.grids[std::size_t(channel)], pov.Methodic,
                                  bi1.GetPosition(channel));
}

} // namespace kront
