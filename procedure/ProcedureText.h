#pragma once

#include <QString>

namespace kront
{

// A value rounded to digits decimals (ties to even) and written with exactly that many
// decimals and the decimal comma: the displays of the measurement page.
QString FixedText(double value, int digits);

} // namespace kront
