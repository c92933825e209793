#include "sensors/ui/CellRuleFilter.h"

namespace kront
{

CellKeyFilter *cellRuleFilter(CellRuleOf ruleOf, QObject *parent)
{
    return new CellKeyFilter(
        [ruleOf = std::move(ruleOf)](int row, int column, const QString &kept, QChar typed) {
            return AcceptsTypedChar(ruleOf(row, column), kept, typed);
        },
        parent);
}

} // namespace kront
