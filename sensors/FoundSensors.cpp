#include "sensors/FoundSensors.h"

#include "common/text/StringFunctionsFormat.h"
#include "db/Database.h"
#include "model/CodeTables.h"

namespace kront
{

namespace
{

using C = SensorColumn;

std::vector<FoundSensorsColumn> makeColumns(bool reference)
{
    std::vector<FoundSensorsColumn> cols = {
        {C::Serial, QStringLiteral("Сер. №"), QStringLiteral("SerialNum"), 45},
        {C::Type, QStringLiteral("Тип"), QStringLiteral("NSHType"), 55},
        {C::Name, QStringLiteral("Наименование"), QStringLiteral("TypeName"), 80},
        {C::Year, QStringLiteral("Год вып."), QStringLiteral("ProdYear"), 48},
        {C::Class, QStringLiteral("Класс"), QStringLiteral("ClassDop"), 38},
        {C::Producer, QStringLiteral("Изготовитель"), QStringLiteral("Producer"), 80},
        {C::Owner, QStringLiteral("Владелец"), QStringLiteral("Owner"), 80},
        {C::TMin, QStringLiteral("T min"), QStringLiteral("WDTLowLim"), 40},
        {C::TMax, QStringLiteral("T max"), QStringLiteral("WDTHighLim"), 40},
    };
    if (!reference) {
        cols.push_back({C::Diameter, QStringLiteral("Диам. эл-в"), QStringLiteral("Diameter"), 60});
        cols.push_back({C::Mass, QStringLiteral("Масса"), QStringLiteral("Mass"), 45});
    }
    return cols;
}

} // namespace

const std::vector<FoundSensorsColumn> &FoundSensorsColumns(bool reference)
{
    static const std::vector<FoundSensorsColumn> etal = makeColumns(true);
    static const std::vector<FoundSensorsColumn> sensors = makeColumns(false);
    return reference ? etal : sensors;
}

QString FoundSensorsCellText(const QVariant &value)
{
    if (!value.isValid() || value.isNull())
        return QString();
    if (value.typeId() == QMetaType::Double || value.typeId() == QMetaType::Float)
        return FloatToStr(value.toDouble());
    return value.toString();
}

std::vector<QStringList> FoundSensorsRows(const std::vector<QVariantMap> &rows, bool reference)
{
    std::vector<QStringList> out;
    for (const QVariantMap &row : rows) {
        QStringList cells;
        for (const FoundSensorsColumn &c : FoundSensorsColumns(reference)) {
            QString text = FoundSensorsCellText(row.value(c.field));
            if (!reference && c.field == QLatin1String("NSHType"))
                text = NSHDisplayName(text);
            cells << text;
        }
        out.push_back(cells);
    }
    return out;
}

void ApplyFoundSensor(SensorSet &set, int grid, int row, const QStringList &cells)
{
    const std::vector<FoundSensorsColumn> &columns = FoundSensorsColumns(cells.size() <= 9);
    for (int i = 0; i < cells.size() && i < int(columns.size()); ++i) {
        SensorColumn id = columns[size_t(i)].id;
        if (id == C::Class && set.layout().columnOf(C::Class) < 0)
            id = C::Rank; // the register keeps a reference's "Разряд" as its class
        set.setText(grid, row, id, cells[i]);
    }
}

std::optional<std::vector<QStringList>> FindSensors(Database &db, const QString &filter,
                                                    bool reference)
{
    const auto rows = db.select(reference ? tables::EtalSens : tables::Sensors, filter);
    if (!rows)
        return std::nullopt;
    return FoundSensorsRows(*rows, reference);
}

} // namespace kront
