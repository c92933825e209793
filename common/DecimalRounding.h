#pragma once

namespace kront
{

// Rounds x to n decimals on its decimal value: x is first snapped to 12
// significant digits (removing the binary noise of sums and averages of
// recorded readings), then rounded with an exact decimal half going to the
// even digit. Returns the double nearest to the rounded decimal.
// 0.0435 -> 0.044 (n = 3); 4.105 -> 4.10 (n = 2); 4.1049 -> 4.10 (n = 2).
double rnd_n(double x, int n);

} // namespace kront
