#include "procedure/ui/AxisTicks.h"

#include <cmath>

namespace kront
{
namespace
{
constexpr double kMantissas[] = {1, 2, 5};
} // namespace

AxisTicks RoundTicks(double lo, double hi)
{
    const double span = hi - lo;
    if (!std::isfinite(lo) || !std::isfinite(span) || span <= 0)
        return {};
    AxisTicks ticks;
    for (int exponent = -1; ticks.step == 0; ++exponent) {
        for (const double mantissa : kMantissas) {
            const double step = mantissa * std::pow(10.0, exponent);
            if (span <= kMaxTickIntervals * step) {
                ticks.step = step;
                break;
            }
        }
    }
    // A low end on a tick, give or take the binary error of lo / step, keeps that tick; "+ 0.0"
    // turns a first tick of -0 into 0.
    ticks.first = std::ceil(lo / ticks.step - 1e-9) * ticks.step + 0.0;
    ticks.decimals = ticks.step < 1 ? 1 : 0;
    return ticks;
}

} // namespace kront
