#pragma once

#include "metrology/ClassDetermination.h"
#include "procedure/InstabilityResults.h"

#include <optional>

namespace kront
{

class Database;
class Dialogs;
class TBunch;
class TPoverka;

// The deviations of one temperature point of the bunch as its calculation stored them: the
// "Average", "Delta" and "Delta dop" rows of stage "Calculation". The reference temperature is
// t_pret of a mercury thermometer's point, else t_et. nullopt when a row is missing.
std::optional<PointDeviations> StoredPointDeviations(Database &db, int poverkaID,
                                                     const TBunch &bunch, int point);

// Determines the class of every thermocouple over all temperature points (up to the point
// where a channel was ended) at the end of the calculation stage, the worst point deciding,
// and stores it in BunchesTP. Missing rows show an error and abort the verification (false).
bool DetermineClasses(const TPoverka &poverka, Database &db, Dialogs &dialogs,
                      const AbortVerification &abort, bool reduceResultClass);

} // namespace kront
