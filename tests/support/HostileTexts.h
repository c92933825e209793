#pragma once

#include <QString>
#include <QStringList>

namespace kront::test
{

// Texts an operator (or a pasted clipboard) may give any field, for the sweeps
// of bad input: each must end in a message or a sound value.
inline const QString kDrop = QStringLiteral("'; DROP TABLE Poverki; --"); // ends a quoted literal
inline const QString kLong = QString(300, u'Ж');                          // beyond every column
inline const QString kNot1251 = QStringLiteral("ООО «Ω-中»"); // Ω and 中 have no Windows-1251 byte

// The whole table, for fields that take any text: quotes, percent signs and
// underscores of LIKE patterns, a statement tail, look-alike letters, exponent
// forms (with a Cyrillic "Е" too), numbers beyond a double, characters outside
// the files' code page, the files' own separators, blanks and nothing.
inline QStringList hostileTexts()
{
    return {QStringLiteral("O'Neil"),
            QStringLiteral("\"7\""),
            QStringLiteral("%"),
            QStringLiteral("100%_"),
            kDrop,
            kLong,
            QStringLiteral("A1"), // Latin
            QStringLiteral("А1"), // Cyrillic
            QStringLiteral("1e3"),
            QStringLiteral("1E-2"),
            QStringLiteral("1Е3"),
            QStringLiteral("5e400"),
            QStringLiteral("-1,5"),
            kNot1251,
            QStringLiteral("a|b=c;[d]"),
            QStringLiteral("  x  "),
            QStringLiteral("   "),
            QString()};
}

} // namespace kront::test
