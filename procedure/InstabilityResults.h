#pragma once

#include "metrology/ChannelStepValues.h"
#include "metrology/InstabilityCheck.h"

#include <array>
#include <functional>
#include <vector>

namespace kront
{

class Database;
class Dialogs;
class TPoverka;

// Ends the verification where the stored data do not allow it to go on: the
// procedure closes the link, drops its steps and closes the verification window.
using AbortVerification = std::function<void()>;

// Judges per input whether the deviation from the NSH changed by less than
// half the permitted deviation between the instability measurements before
// (point 0) and after annealing (point 1). stable[input - 1]; inputs without
// a sensor stay true. False when a row cannot be found; the flags not yet
// judged then stay as they are.
bool DBGetInstabilityResults(Database &db, int poverkaID, int bunchID, std::array<bool, 4> &stable,
                             const ChannelStepValues &step);

// The instability verdict of all channels at the end of the instability stage.
InstabilityVerdict EvaluateInstability(const TPoverka &poverka,
                                       const std::vector<ChannelStepValues> &steps, Database &db,
                                       Dialogs &dialogs, const AbortVerification &abort);

} // namespace kront
