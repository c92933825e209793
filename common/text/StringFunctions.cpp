#include "common/text/StringFunctions.h"

#include "common/Clock.h"

#include <algorithm>

namespace kront
{
namespace
{

bool isAsciiDigit(QChar c)
{
    return c >= u'0' && c <= u'9';
}

bool isSign(QChar c)
{
    return c == u'+' || c == u'-';
}

bool isSeparator(QChar c)
{
    return c == u',' || c == u'.';
}

bool isExponentLetter(QChar c)
{
    return c == u'E' || c == u'e';
}

bool onlyCharacters(QStringView s, bool signs, bool exponent)
{
    for (QChar c : s) {
        const bool allowed = isAsciiDigit(c) || isSeparator(c) || (signs && isSign(c)) ||
                             (exponent && isExponentLetter(c));
        if (!allowed)
            return false;
    }
    return true;
}

template <typename Pred> qsizetype countOf(QStringView s, Pred pred)
{
    return std::count_if(s.begin(), s.end(), pred);
}

template <typename Pred> qsizetype lastIndexOf(QStringView s, Pred pred)
{
    for (qsizetype i = s.size() - 1; i >= 0; --i) {
        if (pred(s[i]))
            return i;
    }
    return -1;
}

template <typename Pred> qsizetype firstIndexOf(QStringView s, Pred pred)
{
    for (qsizetype i = 0; i < s.size(); ++i) {
        if (pred(s[i]))
            return i;
    }
    return -1;
}

bool hasDigit(QStringView s)
{
    return countOf(s, isAsciiDigit) > 0;
}

// A sign may only stand first.
bool signOnlyFirst(QStringView s)
{
    return lastIndexOf(s, isSign) <= 0;
}

bool converts(const QString &s)
{
    double value = 0;
    return TryStrToFloat(DotToComma(s), value, FixedFormat());
}

bool isDecimal(const QString &s, bool signAllowed)
{
    if (!onlyCharacters(s, signAllowed, false))
        return false;
    if (!signOnlyFirst(s))
        return false;
    if (countOf(s, isSeparator) > 1)
        return false;
    const qsizetype p = firstIndexOf(s, isSeparator);
    if (p >= 0 && (!hasDigit(QStringView(s).left(p)) || !hasDigit(QStringView(s).mid(p + 1))))
        return false;
    return converts(s);
}

bool isExpNumber(const QString &s, bool mantissaSignAllowed)
{
    if (!onlyCharacters(s, true, true))
        return false;
    const qsizetype e = firstIndexOf(s, isExponentLetter);
    if (e < 0)
        return false;
    if (countOf(s, isSeparator) > 1 || countOf(s, isExponentLetter) > 1)
        return false;
    const qsizetype p = firstIndexOf(s, isSeparator);
    if (p >= 0 && (!hasDigit(QStringView(s).left(p)) || p > e))
        return false;
    const QStringView mantissa = QStringView(s).left(e);
    const QStringView exponent = QStringView(s).mid(e + 1);
    if (mantissaSignAllowed ? !signOnlyFirst(mantissa) : countOf(mantissa, isSign) > 0)
        return false;
    if (!signOnlyFirst(exponent) || !hasDigit(exponent))
        return false;
    return converts(s);
}

} // namespace

QString DotToComma(const QString &s)
{
    QString result = s;
    result.replace(u'.', u',');
    return result;
}

QString NormalizeNumberText(const QString &s)
{
    QString result = DotToComma(s);
    result.replace(QChar(0x0415), u'E'); // Cyrillic capital Е
    result.replace(QChar(0x0435), u'e'); // Cyrillic small е
    return result;
}

bool IsValidYear(const QString &s)
{
    int year = 0;
    if (!TryStrToInt(s, year))
        return false;
    return year >= 1900 && year <= programClock().now().date().year();
}

bool IsSignedDecimal(const QString &s)
{
    return isDecimal(s, true);
}

bool IsUnsignedDecimal(const QString &s)
{
    return isDecimal(s, false);
}

bool IsSignedExpNumber(const QString &s)
{
    return isExpNumber(s, true);
}

bool IsUnsignedExpNumber(const QString &s)
{
    return isExpNumber(s, false);
}

bool IsSignedNumber(const QString &s)
{
    return IsSignedExpNumber(s) || IsSignedDecimal(s);
}

bool IsUnsignedNumber(const QString &s)
{
    return IsUnsignedExpNumber(s) || IsUnsignedDecimal(s);
}

bool IsDigitsInteger(const QString &s)
{
    if (s.isEmpty() || !std::all_of(s.begin(), s.end(), isAsciiDigit))
        return false;
    int value = 0;
    return TryStrToInt(s, value);
}

} // namespace kront
