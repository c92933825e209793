#include "metrology/InstabilityCheck.h"

#include "common/DecimalRounding.h"

#include <cmath>

namespace kront
{

bool IsStableOverAnnealing(double before, double after, double permitted)
{
    const bool computed = before > -299 && after > -299 && permitted > -299;
    return computed && rnd_n(std::fabs(before - after), 9) < rnd_n(0.5 * permitted, 9);
}

InstabilityVerdict InstabilityVerdictOf(const QString &unstableLines)
{
    InstabilityVerdict verdict;
    if (!unstableLines.isEmpty())
        verdict.text = QStringLiteral("Значение нестабильности превысило допустимое значение для "
                                      "следующих ТП:\r\n") +
                       unstableLines;
    return verdict;
}

} // namespace kront
