#pragma once

#include "Installation.h"

#include <QString>
#include <QStringList>

// Scenario files of the simulated installation: the furnace, the cold
// junction and the sensors of both channels. Plain text, UTF-8:
//
//   # comment
//   furnace = 500            set-point, °C
//   tau_s = 0                first-order approach, s (0: at once)
//   drift = 0                °C per minute
//   noise_mv = 0             standard deviation of the reading noise
//   cold_junction = 20       °C
//   meter_channel = 1        voltmeter channel wired to BI1
//   reference_inverted = 0   "ОБР" wired with reversed polarity
//   [channel 1]
//   reference = PPO          PPO, PRO, mercury or none
//   graduation = 300:2.323 400:3.260 500:4.234   °C:mV pairs
//   reference_deviation_mv = 0
//   input1 = THA 1.5         type (code, Latin code or short name), deviation °C
//   input2 = TPP10 0 0.012   ... and optionally an extra EMF in mV
//   switch = 0               BI1 switch position code
namespace kront::sim
{

struct Scenario {
    Installation installation;
    int meterChannel = 1;
};

// Reads a scenario into `scenario`; false with the problems in `errors`
// (file and line) when something could not be understood. Lines that
// could be read are applied.
bool loadScenario(const QString &path, Scenario &scenario, QStringList &errors);
bool parseScenarioText(const QString &text, Scenario &scenario, QStringList &errors);

} // namespace kront::sim
