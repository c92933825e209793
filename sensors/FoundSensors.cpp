#include "sensors/FoundSensors.h"

#include "db/Database.h"
#include "db/StringFunctionsFormat.h"
#include "metrology/model/CodeTables.h"

namespace kront
{

namespace
{

std::vector<FoundSensorsColumn> makeColumns(bool reference)
{
    std::vector<FoundSensorsColumn> cols = {
        {QStringLiteral("Сер. №"), QStringLiteral("SerialNum"), 45},
        {QStringLiteral("Тип"), QStringLiteral("NSHType"), 55},
        {QStringLiteral("Наименование"), QStringLiteral("TypeName"), 80},
        {QStringLiteral("Год вып."), QStringLiteral("ProdYear"), 48},
        {QStringLiteral("Класс"), QStringLiteral("ClassDop"), 38},
        {QStringLiteral("Изготовитель"), QStringLiteral("Producer"), 80},
        {QStringLiteral("Владелец"), QStringLiteral("Owner"), 80},
        {QStringLiteral("T min"), QStringLiteral("WDTLowLim"), 40},
        {QStringLiteral("T max"), QStringLiteral("WDTHighLim"), 40},
    };
    if (!reference) {
        cols.push_back({QStringLiteral("Диам. эл-в"), QStringLiteral("Diameter"), 60});
        cols.push_back({QStringLiteral("Масса"), QStringLiteral("Mass"), 45});
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

std::optional<std::vector<QStringList>> FindSensors(Database &db, const QString &filter,
                                                    bool reference)
{
    const auto rows =
        db.select(reference ? QStringLiteral("EtalSens") : QStringLiteral("Sensors"), filter);
    if (!rows)
        return std::nullopt;
    return FoundSensorsRows(*rows, reference);
}

} // namespace kront
