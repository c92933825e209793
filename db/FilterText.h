#pragma once

#include <QString>

namespace kront
{

// Makes typed text safe inside a quoted filter literal: every single quote
// is doubled, so "O'Neil" becomes "O''Neil" and the filter
// "Owner = '" + quoteFilterText(owner) + "'" always means what was typed.
inline QString quoteFilterText(const QString &text)
{
    QString out = text;
    out.replace(QLatin1Char('\''), QLatin1String("''"));
    return out;
}

// The typed text as a whole quoted literal: "O'Neil" gives "'O''Neil'".
inline QString filterTextLiteral(const QString &text)
{
    return QLatin1Char('\'') + quoteFilterText(text) + QLatin1Char('\'');
}

} // namespace kront
