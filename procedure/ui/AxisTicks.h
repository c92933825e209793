#pragma once

namespace kront
{

// Round ticks of a chart's value axis: multiples of a step of 0,1 0,2 0,5 1 2 5 10 … that
// splits the axis range into at most kMaxTickIntervals parts.
struct AxisTicks {
    double step = 0;  // 0: no ticks (a range that is empty or not finite)
    double first = 0; // the lowest multiple of step at or above the low end of the range
    int decimals = 0; // decimals of the labels: 1 for steps under 1, else 0
};

constexpr int kMaxTickIntervals = 6;

AxisTicks RoundTicks(double lo, double hi);

} // namespace kront
