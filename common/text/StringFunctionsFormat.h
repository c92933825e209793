#pragma once

#include <QDate>
#include <QDateTime>
#include <QString>
#include <QTime>
#include <array>

namespace kront
{

// The program's fixed number and date format. Numbers are written and read with the decimal
// comma and dates as "dd.mm.yyyy", times as "hh:mm:ss", whatever the regional settings say.
struct TFormatSettings {
    QChar DecimalSeparator;  // ','
    QChar ThousandSeparator; // ' '
    QChar DateSeparator;     // '.'
    QChar TimeSeparator;     // ':'
    QString ShortDateFormat; // "dd.mm.yyyy" (day, month, year; "mm" is the month here)
    QString LongTimeFormat;  // "hh:mm:ss"

    // Taken from the system's regional settings; the program itself does not use them.
    quint8 CurrencyFormat = 0;   // 0 "$1", 1 "1$", 2 "$ 1", 3 "1 $"
    quint8 NegCurrFormat = 0;    // 0 "($1)", 1 "-$1", 5 "-1$", 8 "-1 $", 9 "-$ 1", ...
    quint8 CurrencyDecimals = 2; // digits after the separator in money amounts
    QString CurrencyString;
    QChar ListSeparator;
    QString LongDateFormat;  // the system's long date pattern
    QString ShortTimeFormat; // the system's short time pattern
    QString TimeAMString;
    QString TimePMString;
    // A two-digit year yy means the year of the hundred years starting this many years before
    // the current year that ends in yy.
    int TwoDigitYearCenturyWindow = 50;

    // Month and day names stay empty: the fixed format never writes names.
    std::array<QString, 13> ShortMonthNames; // months 1..12, [0] unused
    std::array<QString, 13> LongMonthNames;  // months 1..12, [0] unused
    std::array<QString, 8> ShortDayNames;    // days 1..7 (Sunday first), [0] unused
    std::array<QString, 8> LongDayNames;     // days 1..7 (Sunday first), [0] unused
};

// A new fixed format record.
TFormatSettings MakeFormatSettings();
// The fixed format record, made once for the whole program.
const TFormatSettings &FixedFormat();

// --- text to number -------------------------------------------------------------------------

// Reads a decimal number: optional blanks, an optional sign, digits with at most one decimal
// separator of the format (at least one digit), an optional exponent ("E" or "e", an optional
// sign, digits), optional blanks. False for anything else and for values beyond the range of a
// double; value is then unchanged.
bool TryStrToFloat(const QString &text, double &value, const TFormatSettings &fs = FixedFormat());
// The number of a text, or def when it is not a number.
double StrToFloatDef(const QString &text, double def, const TFormatSettings &fs = FixedFormat());
// Reads a 32-bit signed integer: an optional sign and decimal digits, nothing else.
bool TryStrToInt(const QString &text, int &value);

// --- number to text -------------------------------------------------------------------------

enum class TFloatFormat {
    ffGeneral,  // shortest of fixed and scientific, trailing zeros dropped
    ffExponent, // d,ddddE+dd
    ffFixed,    // ddd,dd
    ffNumber,   // d ddd,dd (with the thousands separator)
};

// Writes value with at most precision (1..17) significant digits, rounded on its decimal value
// with a half going away from zero. digits: ffGeneral and ffExponent the least number of
// exponent digits (0..4); ffFixed and ffNumber the number of digits after the separator
// (0..18). ffFixed and ffNumber fall back to ffGeneral when the integer part has more than
// precision digits. A value that rounds to zero is written without a minus sign.
QString FloatToStrF(double value, TFloatFormat format, int precision, int digits,
                    const TFormatSettings &fs = FixedFormat());
// ffGeneral with 15 significant digits: "12,5", "0,001", "1E-7", "-300".
QString FloatToStr(double value, const TFormatSettings &fs = FixedFormat());
// Fixed notation with the given digits after the separator, the value first rounded to
// 7 significant digits: FloatToStrFixed(4.1, 2) is "4,10".
QString FloatToStrFixed(double value, int digits, const TFormatSettings &fs = FixedFormat());

// --- dates and times ------------------------------------------------------------------------

QString DateToStr(const QDate &date, const TFormatSettings &fs = FixedFormat()); // "10.12.2026"
QString TimeToStr(const QTime &time, const TFormatSettings &fs = FixedFormat()); // "09:05:07"
// Date and time separated by a blank: "10.12.2026 09:05:07"; empty for an invalid value.
QString DateTimeToStr(const QDateTime &dateTime, const TFormatSettings &fs = FixedFormat());
// Reads "d.m.yyyy" (one or two digits for day and month; a two-digit year lies within the
// century window before the current year); false for anything else or an impossible date.
bool TryStrToDate(const QString &text, QDate &date, const TFormatSettings &fs = FixedFormat());

} // namespace kront
