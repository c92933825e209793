#include "metrology/FixedValueCheck.h"

#include "common/DecimalRounding.h"

namespace kront
{

void FixedValueState::FixedValueCheck(double v, bool waitForFixedValue)
{
    if (!waitForFixedValue) {
        ValueFixed = true;
        return;
    }
    A = B;
    B = C;
    C = rnd_n(v, 3);
    if (FixedCount < 2) {
        ++FixedCount;
        ValueFixed = false;
        return;
    }
    // Exact comparison: the values are already the doubles nearest to 3-decimal numbers.
    ValueFixed = (A == B && B == C);
}

void FixedValueState::reset()
{
    FixedCount = 0;
    ValueFixed = false;
}

} // namespace kront
