#include "db/ServerTables.h"

namespace kront
{

QStringList serverFunctionStatements()
{
    // kront_num(text): the number a text holds (sign, digits with "." or ","
    // as separator, exponent, blanks around), else null.
    return {QStringLiteral("CREATE OR REPLACE FUNCTION kront_num(t text) RETURNS double precision "
                           "LANGUAGE sql IMMUTABLE AS $fn$ SELECT CASE WHEN t ~ "
                           "'^\\s*[+-]?([0-9]+([.,][0-9]*)?|[.,][0-9]+)([eE][+-]?[0-9]+)?\\s*$' "
                           "THEN replace(btrim(t), ',', '.')::double precision END $fn$")};
}

} // namespace kront
