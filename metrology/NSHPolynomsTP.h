#pragma once

namespace kront
{

// The value of a characteristic outside its ranges (and of an unknown index).
inline constexpr double kNoCharacteristicValue = -300.0;

// Thermo-EMF of the nominal static characteristic with characteristic index
// `index` (0..12) at t °C, in mV, accumulated in extended precision; -300 when
// t lies outside every range of the index or the index is unknown.
long double NSHEmf(int index, long double t);

// Permitted deviation of tolerance class `classNumber` (1..3) at t °C, in °C;
// 0 outside the tabled ranges, for classes not tabled and unknown indexes.
double NSHTolerance(int index, int classNumber, double t);

// Mean sensitivity of the characteristic over t ± 1 °C in mV/°C (within
// 1 °C of a limit of the characteristic, the side inside it); 0 where the
// characteristic has no value. A deviation in mV divided by it is in °C.
double NSHSensitivity(int index, double t);

// The permitted deviation converted to mV with the mean sensitivity of the
// characteristic over t ± 1 °C (within 1 °C of a limit of the characteristic,
// the sensitivity of the side inside it); 0 where the characteristic has no value.
double NSHToleranceEmf(int index, int classNumber, double t);

// The coarser class a thermocouple failing `classNumber` may be moved to; 0 for none.
int NextClass(int index, int classNumber);

} // namespace kront
