#pragma once

namespace kront
{

// Sensitivity of a reference thermocouple at graduation temperature t0 (°C),
// in µV/°C, interpolated linearly in the built-in table of its type: type S
// for NSH types ТПП10 and ППО (300..1200 °C), type B for ТПР and ПРО
// (600..1700 °C). -300 when t0 lies outside the table or the type has none.
double ReferenceSensitivity(int nshType, double t0);

} // namespace kront
