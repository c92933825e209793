#pragma once

#include <QStringList>

namespace kront
{

// The statements that define, on the database server, the functions the
// compiled filters call there. Each replaces a function of that name whose
// body differs and leaves one with the same body alone, so that running them
// again, or as a user who does not own the functions, changes nothing:
// - kront_num(text): the number in a text exactly as numberInText reads it
//   (the same bits), null when the text is no number or out of range;
// - kront_real_text(double precision): a floating value as the embedded
//   store writes it as text ("2.0", "0.1", "1.0e+20"), which LIKE matches on.
//   Values that need more than 15 significant digits may differ there in the
//   last digit.
QStringList serverFunctionStatements();

} // namespace kront
