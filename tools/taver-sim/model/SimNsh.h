#pragma once

#include <QString>

// Thermocouple characteristics for the simulated installation: the EMF of a
// thermocouple type at a temperature, and the type codes of the sensors.
namespace kront::sim
{

// EMF in mV at t °C (cold junction at 0 °C) for characteristic index 0..12;
// NaN outside the characteristic.
double characteristicEmf(int index, double t);

// Characteristic index of a sensor's NSH type code (0..10); -1 where none.
int characteristicIndexOfType(int nshType);
// EMF of a sensor type code at t °C; NaN when the type has no characteristic
// or t lies outside it.
double typeEmf(int nshType, double t);
// NSH type code from its number ("5"), Latin code ("THA") or short name
// ("ТХА"); -1 when unknown.
int nshTypeFromText(const QString &text);
QString nshTypeLatin(int nshType);

} // namespace kront::sim
