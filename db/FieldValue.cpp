#include "db/FieldValue.h"

#include <QLocale>

#include <cmath>
#include <limits>

namespace kront
{

QString storedDateTimeText(const QDateTime &dt)
{
    return dt.toLocalTime().toString(QString::fromLatin1(kStoredDateTimeFormat));
}

namespace
{

// The stored form "yyyy-MM-dd HH:mm:ss.zzz" read digit by digit: a search
// reads tens of thousands of date-times, and the general parser costs
// several times more per value.
std::pair<QDate, QTime> canonicalDateAndTime(const QString &text)
{
    if (text.size() != 23)
        return {};
    int fields[7] = {0, 0, 0, 0, 0, 0, 0};
    static const int starts[7] = {0, 5, 8, 11, 14, 17, 20};
    static const int lengths[7] = {4, 2, 2, 2, 2, 2, 3};
    static const char separators[7] = {0, '-', '-', ' ', ':', ':', '.'}; // before each field
    for (int f = 0; f < 7; ++f) {
        if (f > 0 && text[starts[f] - 1] != QLatin1Char(separators[f]))
            return {};
        for (int k = 0; k < lengths[f]; ++k) {
            const QChar c = text[starts[f] + k];
            if (c < u'0' || c > u'9')
                return {};
            fields[f] = fields[f] * 10 + (c.unicode() - u'0');
        }
    }
    const QDate date(fields[0], fields[1], fields[2]);
    const QTime time(fields[3], fields[4], fields[5], fields[6]);
    if (!date.isValid() || !time.isValid())
        return {};
    return {date, time};
}

QDateTime canonicalDateTime(const QString &text)
{
    const auto [date, time] = canonicalDateAndTime(text);
    return date.isValid() ? QDateTime(date, time) : QDateTime();
}

} // namespace

QDateTime dateTimeFromStored(const QString &text)
{
    if (const QDateTime canonical = canonicalDateTime(text); canonical.isValid())
        return canonical;
    static const char *const formats[] = {kStoredDateTimeFormat, "yyyy-MM-dd HH:mm:ss",
                                          "yyyy-MM-dd HH:mm", "yyyy-MM-dd"};
    for (const char *f : formats) {
        QDateTime dt = QDateTime::fromString(text.trimmed(), QString::fromLatin1(f));
        if (dt.isValid())
            return dt;
    }
    return {};
}

std::pair<QDate, QTime> storedDateAndTime(const QString &text)
{
    if (auto parts = canonicalDateAndTime(text); parts.first.isValid())
        return parts;
    const QDateTime dt = dateTimeFromStored(text);
    return dt.isValid() ? std::pair{dt.date(), dt.time()} : std::pair<QDate, QTime>{};
}

QVariant storedAsIs(const sqlite::Value &v)
{
    if (const auto *i = std::get_if<qint64>(&v))
        return *i;
    if (const auto *d = std::get_if<double>(&v))
        return *d;
    if (const auto *s = std::get_if<QString>(&v))
        return *s;
    return {};
}

std::optional<double> numberInText(QStringView text)
{
    const QStringView s = text.trimmed();
    qsizetype i = 0;
    const qsizetype n = s.size();
    auto isDigit = [&](qsizetype k) { return k < n && s[k] >= u'0' && s[k] <= u'9'; };
    if (i < n && (s[i] == u'+' || s[i] == u'-'))
        ++i;
    qsizetype digits = 0;
    while (isDigit(i)) {
        ++i;
        ++digits;
    }
    if (i < n && (s[i] == u'.' || s[i] == u',')) {
        ++i;
        while (isDigit(i)) {
            ++i;
            ++digits;
        }
    }
    if (digits == 0)
        return std::nullopt;
    if (i < n && (s[i] == u'e' || s[i] == u'E')) {
        ++i;
        if (i < n && (s[i] == u'+' || s[i] == u'-'))
            ++i;
        if (!isDigit(i))
            return std::nullopt;
        while (isDigit(i))
            ++i;
    }
    if (i != n)
        return std::nullopt;
    QString plain = s.toString();
    plain.replace(QLatin1Char(','), QLatin1Char('.'));
    bool ok = false;
    const double v = QLocale::c().toDouble(plain, &ok);
    if (!ok || !std::isfinite(v))
        return std::nullopt;
    return v;
}

namespace
{

std::optional<qint64> integerOf(const QVariant &value)
{
    switch (value.typeId()) {
    case QMetaType::Bool: return value.toBool() ? 1 : 0;
    case QMetaType::Int:
    case QMetaType::UInt:
    case QMetaType::LongLong:
    case QMetaType::ULongLong:
    case QMetaType::Short:
    case QMetaType::UShort:
    case QMetaType::Char:
    case QMetaType::UChar:
    case QMetaType::SChar: {
        bool ok = false;
        const qint64 v = value.toLongLong(&ok);
        return ok ? std::optional<qint64>(v) : std::nullopt;
    }
    case QMetaType::Double:
    case QMetaType::Float: {
        const double d = value.toDouble();
        if (!std::isfinite(d) || d != std::trunc(d) || std::fabs(d) > 9.0e15)
            return std::nullopt;
        return qint64(d);
    }
    default: {
        const auto d = numberInText(value.toString());
        if (!d || *d != std::trunc(*d) || std::fabs(*d) > 9.0e15)
            return std::nullopt;
        return qint64(*d);
    }
    }
}

std::optional<double> realOf(const QVariant &value)
{
    switch (value.typeId()) {
    case QMetaType::QString:
    case QMetaType::QByteArray: return numberInText(value.toString());
    default: {
        bool ok = false;
        const double d = value.toDouble(&ok);
        return ok && std::isfinite(d) ? std::optional<double>(d) : std::nullopt;
    }
    }
}

std::optional<qint64> boolOf(const QVariant &value)
{
    if (value.typeId() == QMetaType::QString) {
        const QString s = value.toString().trimmed();
        if (s.compare(QLatin1String("true"), Qt::CaseInsensitive) == 0 || s == QLatin1String("1"))
            return 1;
        if (s.compare(QLatin1String("false"), Qt::CaseInsensitive) == 0 || s == QLatin1String("0"))
            return 0;
        return std::nullopt;
    }
    const auto i = integerOf(value);
    if (!i)
        return std::nullopt;
    return *i != 0 ? 1 : 0;
}

// A date-time as stored text; an empty text means null.
std::optional<QString> dateTimeOf(const QVariant &value)
{
    if (value.typeId() == QMetaType::QDateTime)
        return storedDateTimeText(value.toDateTime());
    if (value.typeId() == QMetaType::QDate)
        return storedDateTimeText(value.toDate().startOfDay());
    const QString s = value.toString().trimmed();
    if (s.isEmpty())
        return QString();
    // Already the stored form: kept as it stands. Read as a local date-time and
    // written back, an hour a clock change skips would move by that hour.
    if (canonicalDateAndTime(s).first.isValid())
        return s;
    for (const char *f : {"dd.MM.yyyy HH:mm:ss", "dd.MM.yyyy HH:mm", "dd.MM.yyyy"}) {
        const QDateTime dt = QDateTime::fromString(s, QString::fromLatin1(f));
        if (dt.isValid())
            return storedDateTimeText(dt);
    }
    const QDateTime dt = dateTimeFromStored(s);
    return dt.isValid() ? std::optional<QString>(storedDateTimeText(dt)) : std::nullopt;
}

bool inRange(qint64 v, FieldType type)
{
    if (type == FieldType::SmallInt)
        return v >= std::numeric_limits<qint16>::min() && v <= std::numeric_limits<qint16>::max();
    return v >= std::numeric_limits<qint32>::min() && v <= std::numeric_limits<qint32>::max();
}

} // namespace

std::optional<sqlite::Value> toStoredValue(const FieldDef &field, const QVariant &value)
{
    // A null QDateTime (an unfinished verification's end) is null as well.
    if (!value.isValid() || value.isNull() ||
        (value.typeId() == QMetaType::QDateTime && !value.toDateTime().isValid()) ||
        (value.typeId() == QMetaType::QDate && !value.toDate().isValid()))
        return sqlite::Value{};
    switch (field.type) {
    case FieldType::AutoInc:
    case FieldType::Integer:
    case FieldType::SmallInt: {
        const auto v = integerOf(value);
        if (!v || !inRange(*v, field.type))
            return std::nullopt;
        return sqlite::Value{*v};
    }
    case FieldType::Float: {
        const auto v = realOf(value);
        return v ? std::optional<sqlite::Value>(*v) : std::nullopt;
    }
    case FieldType::Boolean: {
        const auto v = boolOf(value);
        return v ? std::optional<sqlite::Value>(*v) : std::nullopt;
    }
    case FieldType::DateTime: {
        const auto v = dateTimeOf(value);
        if (!v)
            return std::nullopt;
        return v->isEmpty() ? sqlite::Value{} : sqlite::Value{*v};
    }
    case FieldType::Text: return sqlite::Value{value.toString().left(field.size)};
    case FieldType::Memo: return sqlite::Value{value.toString()};
    }
    return std::nullopt;
}

QVariant fromStoredValue(const FieldDef &field, const sqlite::Value &stored)
{
    if (std::holds_alternative<std::monostate>(stored))
        return {};
    const auto asReal = [&]() -> double {
        if (const auto *i = std::get_if<qint64>(&stored))
            return double(*i);
        if (const auto *d = std::get_if<double>(&stored))
            return *d;
        return numberInText(std::get<QString>(stored)).value_or(0.0);
    };
    const auto asText = [&]() -> QString {
        if (const auto *s = std::get_if<QString>(&stored))
            return *s;
        if (const auto *i = std::get_if<qint64>(&stored))
            return QString::number(*i);
        return QString::number(std::get<double>(stored), 'g', 17);
    };
    switch (field.type) {
    case FieldType::AutoInc:
    case FieldType::Integer:
    case FieldType::SmallInt: return int(std::llround(asReal()));
    case FieldType::Float: return asReal();
    case FieldType::Boolean: return asReal() != 0.0;
    case FieldType::DateTime: {
        const QDateTime dt = dateTimeFromStored(asText());
        return dt.isValid() ? QVariant(dt) : QVariant();
    }
    case FieldType::Text:
    case FieldType::Memo: return asText();
    }
    return {};
}

} // namespace kront
