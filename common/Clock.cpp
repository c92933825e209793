#include "common/Clock.h"

namespace kront
{

namespace
{
SystemClock systemClock;
Clock *currentClock = &systemClock;
} // namespace

Clock &programClock()
{
    return *currentClock;
}

void setProgramClock(Clock *clock)
{
    currentClock = clock ? clock : &systemClock;
}

} // namespace kront
