#pragma once

#include "metrology/InstabilityCheck.h"

#include <array>

namespace kront
{

class Database;
class Dialogs;
class TBunch;
class TPoverka;

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

// The class of each thermocouple of a channel at one temperature point of
// the main cycle: its own class when |Δ| <= Δdop, else (with reduceResultClass)
// the first coarser class whose permitted deviation covers |Δ|, else unfit.
// codes[input - 1]; -1 for an empty input. A thermocouple without a
// characteristic or without a computed deviation is unfit. False when a row
// is missing (codes then incomplete).
bool DBDetermineClass(Database &db, int poverkaID, const TBunch &bunch, int point,
                      std::array<int, 4> &codes, bool reduceResultClass);

// Determines the class of every thermocouple over all temperature points
// (up to the point where a channel was ended) at the end of the calculation
// stage, the worst point deciding, and stores it in BunchesTP. Missing rows
// show an error and abort the verification (false). reduceResultClass: the
// program's ReduceResultClass.
bool DetermineClasses(const TPoverka &poverka, Database &db, Dialogs &dialogs,
                      bool reduceResultClass, const AbortVerification &abort);

} // namespace kront
