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
    QString text = QString::number(value, 'g', QLocale::FloatingPointShortest);
    if (!text.contains(QLatin1Char('e')))
        return text;
    text = QString::number(value, 'f', 20);
    while (text.contains(QLatin1Char('.')) && text.endsWith(QLatin1Char('0')))
        text.chop(1);
    if (text.endsWith(QLatin1Char('.')))
        text.chop(1);
    return text;
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

QString SensorLookupTable(int row)
{
    return row == 1 ? QStringLiteral("EtalSens") : QStringLiteral("Sensors");
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
