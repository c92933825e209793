#pragma once

#include "metrology/DriftCheck.h"

#include <QString>

namespace kront
{

// The second status panel of a channel whose furnace temperature is not stable: while the
// half hour of history for the drift judgement is not there yet, the estimate of when the
// furnace will be stable (when the program settings ask for it); once the judgement is
// possible, "Температура не стабилизировалась".
QString UnstableTemperatureText(const DriftMonitor &drift, bool estimate);

} // namespace kront
