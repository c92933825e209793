#pragma once

// Number and date text functions: whether a typed text is an acceptable number or year, the
// canonical written form of typed numbers, and the program's fixed number and date format.
#include "common/text/StringFunctionsFormat.h"

#include <QString>

namespace kront
{

// s with every "." replaced by ",".
QString DotToComma(const QString &s);

// The canonical written form of a typed number: "." becomes ",", the Cyrillic letters "Е" and
// "е" become the Latin "E" and "e"; everything else is kept.
QString NormalizeNumberText(const QString &s);

// A whole number y with 1900 <= y <= the current calendar year (of the program clock).
bool IsValidYear(const QString &s);

// The number tests. "," and "." both count as the decimal separator, "E" and "e" as the
// exponent letter; nothing else (no blanks, no thousands separator) is allowed.
bool IsSignedDecimal(const QString &s);     // 5, -5, +0,5, 12.75
bool IsUnsignedDecimal(const QString &s);   // 5, 0,5, 12.75 (no sign)
bool IsSignedExpNumber(const QString &s);   // 1,5E3, -2e-4, 3E+2 (an exponent is required)
bool IsUnsignedExpNumber(const QString &s); // 1,5E3, 1,5E-3 (no sign before the exponent)
bool IsSignedNumber(const QString &s);      // IsSignedExpNumber or IsSignedDecimal
bool IsUnsignedNumber(const QString &s);    // IsUnsignedExpNumber or IsUnsignedDecimal

// Digits "0"-"9" only, at least one, with a value that fits a 32-bit signed integer.
bool IsDigitsInteger(const QString &s);

} // namespace kront
