#pragma once

#include "db/FilterSyntax.h"
#include "db/Sqlite.h"
#include "db/TableSchema.h"

#include <QDateTime>

#include <variant>
#include <vector>

namespace kront
{

// A filter compiled for one table: an SQL condition with `?` placeholders
// and the values to bind to them, in order. Typed text never becomes SQL.
struct SqlFilter {
    QString where = QStringLiteral("(1=1)");
    std::vector<sqlite::Value> params;
};

// Parses and compiles a filter against a table's fields. `now` is the value
// of GetDate(). Field names match in any letter case; text comparisons and
// LIKE are case-sensitive; a text field compared with an unquoted number
// compares numerically when the text is a number and is unequal otherwise;
// Date(x) compared with a "dd.mm.yyyy" text compares calendar dates.
std::variant<SqlFilter, FilterError> compileFilter(const QString &filter, const TableSchema &schema,
                                                   const QDateTime &now);

} // namespace kront
