#include "common/text/StringFunctionsFormat.h"

#include "common/Clock.h"

#include <QLocale>
#include <QStringList>
#include <algorithm>
#include <charconv>
#include <climits>
#include <cmath>
#include <string>

namespace kront
{
namespace
{

bool isAsciiDigit(QChar c)
{
    return c >= u'0' && c <= u'9';
}

// --- the system's money format, for the record items taken from it -----------------------

// Position of the currency symbol in a positive amount: 0 "$1", 1 "1$", 2 "$ 1", 3 "1 $".
quint8 currencyFormatOf(const QString &amount, const QString &symbol)
{
    if (symbol.isEmpty())
        return 0;
    if (amount.startsWith(symbol))
        return amount.mid(symbol.size()).startsWith(u' ') ? 2 : 0;
    return amount.chopped(symbol.size()).endsWith(u' ') ? 3 : 1;
}

// The negative amount pattern of the system in the numbering of the format record.
quint8 negCurrFormatOf(QString amount, const QString &symbol)
{
    amount.replace(QChar(0x00A0), u' ');
    const bool parens = amount.startsWith(u'(');
    const qsizetype symbolAt = symbol.isEmpty() ? -1 : amount.indexOf(symbol);
    const bool symbolFirst = symbolAt >= 0 && symbolAt <= 1;
    const bool spaced = amount.contains(u' ');
    if (parens)
        return symbolFirst ? (spaced ? 14 : 0) : (spaced ? 15 : 4);
    if (amount.startsWith(u'-'))
        return symbolFirst ? (spaced ? 9 : 1) : (spaced ? 8 : 5);
    if (symbolFirst)
        return amount.endsWith(u'-') ? (spaced ? 11 : 3) : (spaced ? 12 : 2);
    return amount.endsWith(u'-') ? (spaced ? 13 : 7) : (spaced ? 10 : 6);
}

quint8 currencyDecimalsOf(const QString &amount, const QString &decimalPoint)
{
    const qsizetype p = amount.lastIndexOf(decimalPoint);
    if (p < 0)
        return 0;
    quint8 count = 0;
    for (qsizetype i = p + decimalPoint.size(); i < amount.size() && isAsciiDigit(amount[i]); ++i)
        ++count;
    return count;
}

// --- decimal digits of a double -----------------------------------------------------------

// value = 0.d1d2d3... * 10^exponent; digits without leading or trailing zeros, empty for 0.
struct Decimal {
    bool negative = false;
    std::string digits;
    int exponent = 0;
};

void stripTrailingZeros(Decimal &d)
{
    while (!d.digits.empty() && d.digits.back() == '0')
        d.digits.pop_back();
    if (d.digits.empty())
        d.exponent = 0;
}

// The shortest decimal that reads back as the same double: the value as it was written.
Decimal toDecimal(double value)
{
    Decimal d;
    d.negative = std::signbit(value);
    char buf[64];
    const auto r =
        std::to_chars(buf, buf + sizeof buf, std::fabs(value), std::chars_format::scientific);
    const std::string text(buf, r.ptr);
    const size_t e = text.find('e');
    for (size_t i = 0; i < e; ++i) {
        if (text[i] != '.')
            d.digits += text[i];
    }
    d.exponent = std::stoi(text.substr(e + 1)) + 1;
    stripTrailingZeros(d);
    return d;
}

// Keeps count significant digits, a half rounding away from zero.
void roundToDigits(Decimal &d, int count)
{
    if (int(d.digits.size()) <= count)
        return;
    if (count < 0) {
        d.digits.clear();
        stripTrailingZeros(d);
        return;
    }
    const bool up = d.digits[size_t(count)] >= '5';
    d.digits.resize(size_t(count));
    if (up) {
        while (!d.digits.empty() && d.digits.back() == '9')
            d.digits.pop_back();
        if (d.digits.empty()) {
            d.digits.push_back('1');
            ++d.exponent;
        } else {
            ++d.digits.back();
        }
    }
    stripTrailingZeros(d);
}

char digitAt(const Decimal &d, int index)
{
    return index >= 0 && index < int(d.digits.size()) ? d.digits[size_t(index)] : '0';
}

QString signOf(const Decimal &d)
{
    return d.negative && !d.digits.empty() ? QStringLiteral("-") : QString();
}

QString exponentText(int exponent, int minDigits, bool plusSign)
{
    QString text = QString::number(std::abs(exponent)).rightJustified(minDigits, u'0');
    if (exponent < 0)
        return u'-' + text;
    return plusSign ? u'+' + text : text;
}

QString integerPart(const Decimal &d, QChar thousands)
{
    QString text;
    for (int i = 0; i < d.exponent; ++i) {
        if (!thousands.isNull() && i > 0 && (d.exponent - i) % 3 == 0)
            text += thousands;
        text += QLatin1Char(digitAt(d, i));
    }
    return text.isEmpty() ? QStringLiteral("0") : text;
}

QString formatGeneral(Decimal d, int precision, int expDigits, const TFormatSettings &fs)
{
    roundToDigits(d, precision);
    if (d.digits.empty())
        return QStringLiteral("0");
    const int count = int(d.digits.size());
    if (d.exponent > precision || d.exponent < -4) {
        QString text = signOf(d) + QLatin1Char(d.digits[0]);
        if (count > 1)
            text += fs.DecimalSeparator + QString::fromLatin1(d.digits.substr(1));
        return text + u'E' + exponentText(d.exponent - 1, expDigits, false);
    }
    QString text = signOf(d) + integerPart(d, QChar());
    if (count > d.exponent) {
        text += fs.DecimalSeparator;
        for (int i = d.exponent; i < count; ++i) // negative indexes are leading zeros
            text += QLatin1Char(digitAt(d, i));
    }
    return text;
}

QString formatExponent(Decimal d, int precision, int expDigits, const TFormatSettings &fs)
{
    roundToDigits(d, precision);
    const int exponent = d.digits.empty() ? 0 : d.exponent - 1;
    QString text = signOf(d) + QLatin1Char(digitAt(d, 0));
    if (precision > 1) {
        text += fs.DecimalSeparator;
        for (int i = 1; i < precision; ++i)
            text += QLatin1Char(digitAt(d, i));
    }
    return text + u'E' + exponentText(exponent, expDigits, true);
}

QString formatFixed(Decimal d, int precision, int decimals, QChar thousands,
                    const TFormatSettings &fs)
{
    roundToDigits(d, precision);
    if (d.exponent > precision)
        return formatGeneral(d, precision, 0, fs);
    roundToDigits(d, d.exponent + decimals);
    QString text = signOf(d) + integerPart(d, thousands);
    if (decimals > 0) {
        text += fs.DecimalSeparator;
        for (int i = 0; i < decimals; ++i)
            text += QLatin1Char(digitAt(d, d.exponent + i));
    }
    return text;
}

int twoDigitYear(int yy, const TFormatSettings &fs)
{
    const int current = programClock().now().date().year();
    const int start = current - fs.TwoDigitYearCenturyWindow;
    int year = start / 100 * 100 + yy;
    if (fs.TwoDigitYearCenturyWindow > 0 && year < start)
        year += 100;
    return year;
}

} // namespace

TFormatSettings MakeFormatSettings()
{
    TFormatSettings fs;
    fs.DecimalSeparator = u',';
    fs.ThousandSeparator = u' ';
    fs.DateSeparator = u'.';
    fs.TimeSeparator = u':';
    fs.ShortDateFormat = QStringLiteral("dd.mm.yyyy");
    fs.LongTimeFormat = QStringLiteral("hh:mm:ss");

    const QLocale system = QLocale::system();
    fs.CurrencyString = system.currencySymbol(QLocale::CurrencySymbol);
    const QString positive = system.toCurrencyString(1.0);
    fs.CurrencyFormat = currencyFormatOf(positive, fs.CurrencyString);
    fs.NegCurrFormat = negCurrFormatOf(system.toCurrencyString(-1.0), fs.CurrencyString);
    fs.CurrencyDecimals = currencyDecimalsOf(positive, system.decimalPoint());
    fs.ListSeparator = system.decimalPoint() == u"," ? u';' : u',';
    fs.LongDateFormat = system.dateFormat(QLocale::LongFormat);
    fs.ShortTimeFormat = system.timeFormat(QLocale::ShortFormat);
    fs.TimeAMString = system.amText();
    fs.TimePMString = system.pmText();
    return fs;
}

const TFormatSettings &FixedFormat()
{
    static const TFormatSettings fixed = MakeFormatSettings();
    return fixed;
}

bool TryStrToFloat(const QString &text, double &value, const TFormatSettings &fs)
{
    const QString s = text.trimmed();
    std::string ascii;
    qsizetype i = 0;
    if (i < s.size() && (s[i] == u'+' || s[i] == u'-')) {
        if (s[i] == u'-')
            ascii += '-';
        ++i;
    }
    int mantissaDigits = 0;
    bool separatorSeen = false;
    for (; i < s.size(); ++i) {
        if (isAsciiDigit(s[i])) {
            ascii += char(s[i].unicode());
            ++mantissaDigits;
        } else if (s[i] == fs.DecimalSeparator && !separatorSeen) {
            ascii += '.';
            separatorSeen = true;
        } else {
            break;
        }
    }
    if (mantissaDigits == 0)
        return false;
    if (i < s.size() && (s[i] == u'E' || s[i] == u'e')) {
        ascii += 'e';
        ++i;
        if (i < s.size() && (s[i] == u'+' || s[i] == u'-'))
            ascii += char(s[i++].unicode());
        int exponentDigits = 0;
        for (; i < s.size() && isAsciiDigit(s[i]); ++i, ++exponentDigits)
            ascii += char(s[i].unicode());
        if (exponentDigits == 0)
            return false;
    }
    if (i != s.size())
        return false;

    double result = 0;
    const auto r = std::from_chars(ascii.data(), ascii.data() + ascii.size(), result);
    if (r.ec != std::errc() || r.ptr != ascii.data() + ascii.size() || !std::isfinite(result))
        return false;
    value = result;
    return true;
}

double StrToFloatDef(const QString &text, double def, const TFormatSettings &fs)
{
    double value = def;
    return TryStrToFloat(text, value, fs) ? value : def;
}

bool TryStrToInt(const QString &text, int &value)
{
    qsizetype i = 0;
    bool negative = false;
    if (i < text.size() && (text[i] == u'+' || text[i] == u'-'))
        negative = text[i++] == u'-';
    if (i == text.size())
        return false;
    qint64 magnitude = 0;
    for (; i < text.size(); ++i) {
        if (!isAsciiDigit(text[i]))
            return false;
        magnitude = magnitude * 10 + (text[i].unicode() - u'0');
        if (magnitude > qint64(INT_MAX) + 1)
            return false;
    }
    const qint64 result = negative ? -magnitude : magnitude;
    if (result > INT_MAX || result < INT_MIN)
        return false;
    value = int(result);
    return true;
}

QString FloatToStrF(double value, TFloatFormat format, int precision, int digits,
                    const TFormatSettings &fs)
{
    if (std::isnan(value))
        return QStringLiteral("NAN");
    if (std::isinf(value))
        return value < 0 ? QStringLiteral("-INF") : QStringLiteral("INF");
    precision = std::clamp(precision, 1, 17);
    const Decimal d = toDecimal(value);
    switch (format) {
    case TFloatFormat::ffGeneral: return formatGeneral(d, precision, std::clamp(digits, 0, 4), fs);
    case TFloatFormat::ffExponent:
        return formatExponent(d, precision, std::clamp(digits, 0, 4), fs);
    case TFloatFormat::ffFixed:
        return formatFixed(d, precision, std::clamp(digits, 0, 18), QChar(), fs);
    case TFloatFormat::ffNumber:
        return formatFixed(d, precision, std::clamp(digits, 0, 18), fs.ThousandSeparator, fs);
    }
    return QString();
}

QString FloatToStr(double value, const TFormatSettings &fs)
{
    return FloatToStrF(value, TFloatFormat::ffGeneral, 15, 0, fs);
}

QString FloatToStrFixed(double value, int digits, const TFormatSettings &fs)
{
    return FloatToStrF(value, TFloatFormat::ffFixed, 7, digits, fs);
}

namespace
{

// Appends value with leading zeros up to width digits. Dates and times are
// written for every row of a search, so this avoids QString::arg's passes.
void appendPadded(QString &out, int value, int width)
{
    if (value < 0) {
        out += QStringLiteral("%1").arg(value, width, 10, QChar(u'0'));
        return;
    }
    char digits[12];
    int n = 0;
    do {
        digits[n++] = char('0' + value % 10);
        value /= 10;
    } while (value > 0);
    for (int i = n; i < width; ++i)
        out += u'0';
    while (n > 0)
        out += QLatin1Char(digits[--n]);
}

void appendDate(QString &out, const QDate &date, const TFormatSettings &fs)
{
    appendPadded(out, date.day(), 2);
    out += fs.DateSeparator;
    appendPadded(out, date.month(), 2);
    out += fs.DateSeparator;
    appendPadded(out, date.year(), 4);
}

void appendTime(QString &out, const QTime &time, const TFormatSettings &fs)
{
    appendPadded(out, time.hour(), 2);
    out += fs.TimeSeparator;
    appendPadded(out, time.minute(), 2);
    out += fs.TimeSeparator;
    appendPadded(out, time.second(), 2);
}

} // namespace

QString DateToStr(const QDate &date, const TFormatSettings &fs)
{
    QString out;
    if (date.isValid()) {
        out.reserve(10);
        appendDate(out, date, fs);
    }
    return out;
}

QString TimeToStr(const QTime &time, const TFormatSettings &fs)
{
    QString out;
    if (time.isValid()) {
        out.reserve(8);
        appendTime(out, time, fs);
    }
    return out;
}

QString DateTimeToStr(const QDateTime &dateTime, const TFormatSettings &fs)
{
    QString out;
    if (dateTime.isValid()) {
        out.reserve(19);
        appendDate(out, dateTime.date(), fs);
        out += u' ';
        appendTime(out, dateTime.time(), fs);
    }
    return out;
}

bool TryStrToDate(const QString &text, QDate &date, const TFormatSettings &fs)
{
    const QStringList parts = text.trimmed().split(fs.DateSeparator);
    if (parts.size() != 3)
        return false;
    int values[3] = {0, 0, 0};
    for (int i = 0; i < 3; ++i) {
        const QString &part = parts[i];
        const int maxLength = i < 2 ? 2 : 4;
        if (part.isEmpty() || part.size() > maxLength)
            return false;
        for (QChar c : part) {
            if (!isAsciiDigit(c))
                return false;
        }
        values[i] = part.toInt();
    }
    int year = values[2];
    if (parts[2].size() <= 2)
        year = twoDigitYear(year, fs);
    else if (parts[2].size() != 4)
        return false;
    const QDate result(year, values[1], values[0]);
    if (!result.isValid())
        return false;
    date = result;
    return true;
}

} // namespace kront
