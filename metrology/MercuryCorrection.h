#pragma once

namespace kront
{

class Dialogs;

// Asks the operator for the correction of the reference mercury-in-glass
// thermometer at tAvg °C (from its certificate), in °C. Cancel means no
// correction (0); a text that is not a number is refused and asked again.
double AskMercuryCorrection(Dialogs &dialogs, double tAvg);

} // namespace kront
