#pragma once

#include <array>
#include <vector>

namespace kront
{

class TBunch;

// Result codes of an input.
inline constexpr int kResultNoSensor = -1;
inline constexpr int kResultUnfit = 10; // 1..3 are the class

// The result code of one thermocouple at one temperature point: its own
// class (ClassNumber) when |Δ| <= Δdop (both mV, Δdop of its own class),
// else (with reduceResultClass) the first coarser class whose permitted
// deviation at tRef (°C) covers |Δ|, else unfit. Unfit as well without a
// characteristic (index < 0) or without a computed deviation (below -299).
int ClassCodeAtPoint(int index, int ownClass, double delta, double deltaDop, double tRef,
                     bool reduceResultClass);

// What the calculation of one temperature point of a bunch gave: the reference temperature
// and, per input 1..4 ([input - 1]), the deviation from the NSH and the permitted deviation.
struct PointDeviations {
    double tRef = -300; // °C; below -299 when none
    std::array<double, 4> delta{};
    std::array<double, 4> deltaDop{};
};

// The class of each thermocouple of a bunch at one temperature point (ClassCodeAtPoint).
// codes[input - 1]; kResultNoSensor for an empty input. A thermocouple without a
// characteristic is unfit.
std::array<int, 4> ClassCodesAtPoint(const TBunch &bunch, const PointDeviations &point,
                                     bool reduceResultClass);

// The class of each thermocouple of a bunch over its points, the worst point deciding:
// results[input] ([0] unused); kResultNoSensor for an empty input.
std::array<int, 5> BunchResults(const TBunch &bunch, const std::vector<PointDeviations> &points,
                                bool reduceResultClass);

} // namespace kront
