#pragma once

#include "metrology/CalculationRows.h"
#include "metrology/ChannelStepValues.h"
#include "metrology/ReferenceTemperature.h"

#include <QString>
#include <array>
#include <optional>
#include <vector>

namespace kront
{

class Dialogs;
class TBunch;
class TPoverka;

// The results of one step of one channel: the six calculation rows to store
// under `key`, and the deviation and permitted deviation of each input.
struct StepResults {
    StepKey key;
    std::vector<CalculationRow> rows;
    std::array<double, 5> delta{};    // Δ of inputs 1..4, [0] unused
    std::array<double, 5> deltaDop{}; // Δdop of inputs 1..4, [0] unused
};

// Calculates the results of the current step (TPoverka::StepIndex) of one
// channel: the rows of stage "Instability" in the instability stage, else
// "Calculation". With a mercury thermometer it asks the operator for the
// thermometer's correction. A thermocouple whose type has no characteristic
// (ТСС), or whose values could not be computed at the reference or
// cold-junction temperature, gets -300 ("none") in the dependent rows.
// nullopt when there is nothing to calculate (no bunch, an unknown method).
std::optional<StepResults> CalculateStep(const TPoverka &poverka, const ChannelStepValues &step,
                                         Dialogs &dialogs, const GraduationLookup &graduation);

// The thermocouples of the bunch beyond their permitted deviation (|Δ| > Δdop,
// or a deviation that could not be computed), one line each ("№ <serial>,
// подключенный ко входу <i> канала <n>", CR LF between lines); empty when none.
QString DeviationText(const TBunch &bunch, const std::array<double, 5> &delta,
                      const std::array<double, 5> &deltaDop);

} // namespace kront
