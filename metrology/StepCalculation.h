#pragma once

#include "metrology/ChannelStepValues.h"
#include "metrology/ReferenceTemperature.h"

#include <QString>
#include <optional>

namespace kront
{

class Database;
class Dialogs;
class TBunch;
class TPoverka;

// Calculates the results of the current step (TPoverka::StepIndex) of one
// channel and stores them as the six calculation rows of ResultsTP (stage
// "Instability" in the instability stage, else "Calculation"), replacing the
// step's earlier calculation rows; the measurement rows stay. With a mercury
// thermometer it asks the operator for the thermometer's correction.
//
// Returns the thermocouples beyond their permitted deviation, one line each
// ("№ <serial>, подключенный ко входу <i> канала <n>", CR LF between lines);
// empty when none. A thermocouple whose type has no characteristic (ТСС), or
// whose values could not be computed at the reference or cold-junction
// temperature, gets -300 ("none") in the dependent rows and is listed.
// nullopt when the rows could not be stored (the store has shown why).
std::optional<QString> CalculateStepResults(const TPoverka &poverka, const ChannelStepValues &step,
                                            Database &db, Dialogs &dialogs,
                                            const GraduationLookup &graduation);

// The same with the graduation of the stored reference thermocouples.
std::optional<QString> CalculateStepResults(const TPoverka &poverka, const ChannelStepValues &step,
                                            Database &db, Dialogs &dialogs);

// The list CalculateStepResults gave for a stored step of the bunch, read back from the step's
// "Delta" and "Delta dop" rows (stage as stored: "Instability" or "Calculation"); empty when
// the rows cannot be read.
QString StoredDeviationText(Database &db, int poverkaID, const TBunch &bunch, const QString &stage,
                            int point);

} // namespace kront
