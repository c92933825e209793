#pragma once

#include "common/ui/CellKeyFilter.h"
#include "sensors/CellInputRule.h"

#include <functional>

namespace kront
{

// The cell key filter of a sensor grid: each cell's input rule decides
// which typed characters it keeps.
using CellRuleOf = std::function<CellInputRule(int row, int column)>;
CellKeyFilter *cellRuleFilter(CellRuleOf ruleOf, QObject *parent);

} // namespace kront
