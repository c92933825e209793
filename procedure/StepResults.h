#pragma once

#include "metrology/ChannelStepValues.h"
#include "metrology/ReferenceTemperature.h"

#include <QDateTime>
#include <QString>
#include <optional>

namespace kront
{

class Database;
class Dialogs;
class TableRow;
class TBunch;
class TPoverka;
struct CalculationRow;
struct StepKey;

// The graduation look-up of the stored reference thermocouples (DBGetEtalSvidData).
GraduationLookup databaseGraduation(Database &db);

// The ResultsTP row of a calculation row of the step `key`; unset values are null.
TableRow CalculationTableRow(const CalculationRow &row, const StepKey &key,
                             const QDateTime &created);

// Calculates the results of the current step (TPoverka::StepIndex) of one
// channel (CalculateStep) and stores them as the six calculation rows of
// ResultsTP, replacing the step's earlier calculation rows; the measurement
// rows stay.
//
// Returns the thermocouples beyond their permitted deviation (DeviationText);
// empty when none. nullopt when the rows could not be stored (the store has
// shown why).
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
