#include "sensors/SensorFilters.h"

#include "db/FilterText.h"
#include "sensors/SensorSetChecks.h"

#include <QLocale>
#include <cmath>

namespace kront
{

namespace
{

QString quoted(const QString &text)
{
    return QLatin1Char('\'') + quoteFilterText(text) + QLatin1Char('\'');
}

QString numberOrNothing(const QString &typed)
{
    double value = 0;
    if (ParseSensorNumber(typed, value))
        return FilterNumber(value);
    return quoted(typed); // never equal to a number field
}

void addPart(QString &filter, const QString &part)
{
    if (!filter.isEmpty())
        filter += QStringLiteral(" and ");
    filter += part;
}

} // namespace

QString ProdYearCondition(const QString &year)
{
    const QString text = year.trimmed();
    if (text.isEmpty())
        return QStringLiteral("ProdYear IS NULL");
    int value = 0;
    if (ParseSensorInteger(text, value))
        return QStringLiteral("ProdYear = ") + QString::number(value);
    return QStringLiteral("ProdYear = ") + quoted(text);
}

QString FilterNumber(double value)
{
    if (!std::isfinite(value))
        return QStringLiteral("0");
    // The dialect has no exponent form: the shortest digits that read back as the same
    // double are written out around the decimal point, so 1e-25 is not taken for 0.
    const QString e = QString::number(value, 'e', QLocale::FloatingPointShortest);
    const qsizetype at = e.indexOf(QLatin1Char('e'));
    const bool negative = e.startsWith(QLatin1Char('-'));
    QString digits = e.left(at).remove(QLatin1Char('-')).remove(QLatin1Char('.'));
    const int point = e.mid(at + 1).toInt() + 1; // digits before the decimal point
    QString text;
    if (point <= 0)
        text = QStringLiteral("0.") + QString(-point, QLatin1Char('0')) + digits;
    else if (point >= digits.size())
        text = digits + QString(point - digits.size(), QLatin1Char('0'));
    else
        text = digits.left(point) + QLatin1Char('.') + digits.mid(point);
    return negative && value != 0 ? QLatin1Char('-') + text : text;
}

QString EtalSensIdentityFilter(const QString &serial, const QString &year, const QString &name,
                               const QString &nshType)
{
    return QStringLiteral("SerialNum = ") + quoted(serial) + QStringLiteral(" and ") +
           ProdYearCondition(year) + QStringLiteral(" and TypeName = ") + quoted(name) +
           QStringLiteral(" and NSHType = ") + quoted(nshType);
}

QString SensorLookupFilter(const SensorSet &set, int grid, int row)
{
    QString filter;
    const QString serial = set.trimmed(grid, row, SensorColumn::Serial);
    if (!serial.isEmpty())
        addPart(filter, QStringLiteral("SerialNum = ") + quoted(serial));
    const QString year = set.trimmed(grid, row, SensorColumn::Year);
    int value = 0;
    if (!year.isEmpty() && ParseSensorInteger(year, value))
        addPart(filter, QStringLiteral("ProdYear = ") + QString::number(value));
    const QString name = quoteFilterText(set.trimmed(grid, row, SensorColumn::Name));
    if (!name.isEmpty()) {
        addPart(filter, QStringLiteral("(TypeName LIKE '%") + name +
                            QStringLiteral("%' or TypeName LIKE '") + name + QStringLiteral("%')"));
    }
    return filter;
}

const TableSchema &SensorLookupTable(int row)
{
    return row == 1 ? tables::EtalSens : tables::Sensors;
}

QString ReferenceCheckFilter(const SensorSet &set, int grid)
{
    auto cell = [&](SensorColumn c) { return set.trimmed(grid, 1, c); };
    QString filter =
        QStringLiteral("SerialNum = ") + quoted(cell(SensorColumn::Serial)) +
        QStringLiteral(" and NSHType = ") + quoted(cell(SensorColumn::Type)) +
        QStringLiteral(" and TypeName = ") + quoted(cell(SensorColumn::Name)) +
        QStringLiteral(" and ClassDop = ") + quoted(cell(SensorColumn::Class)) +
        QStringLiteral(" and WDTLowLim = ") + numberOrNothing(cell(SensorColumn::TMin)) +
        QStringLiteral(" and WDTHighLim = ") + numberOrNothing(cell(SensorColumn::TMax));
    if (!cell(SensorColumn::Year).isEmpty())
        filter += QStringLiteral(" and ") + ProdYearCondition(cell(SensorColumn::Year));
    if (!cell(SensorColumn::Producer).isEmpty())
        filter += QStringLiteral(" and Producer = ") + quoted(cell(SensorColumn::Producer));
    if (!cell(SensorColumn::Owner).isEmpty())
        filter += QStringLiteral(" and Owner = ") + quoted(cell(SensorColumn::Owner));
    return filter;
}

} // namespace kront
