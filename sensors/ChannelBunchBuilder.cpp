#include "sensors/ChannelBunchBuilder.h"

#include "common/text/StringFunctions.h"
#include "model/ChannelBunches.h"
#include "model/CodeTables.h"
#include "sensors/SensorSetChecks.h"

namespace kront
{

namespace
{

using C = SensorColumn;

class RowReader
{
public:
    RowReader(const SensorSet &sensors, int gridNum, int rowNum)
        : set(sensors), grid(gridNum), row(rowNum)
    {
    }

    QString text(C column) const { return set.trimmed(grid, row, column); }

    // Fills the fields every sensor of a row shares; false with error set.
    bool fill(TThermometer &sensor, QString &error) const
    {
        sensor.SerialNum = text(C::Serial);
        sensor.TypeName = text(C::Name);
        int year = 0;
        if (!text(C::Year).isEmpty() && (!ParseSensorInteger(text(C::Year), year) || year < 0))
            return fail(C::Year, error);
        sensor.ProdYear = quint32(year);
        // The reference row's "Класс" is its rank: 0 to 3 (the register's "Разряд").
        const QString classText = text(C::Class);
        constexpr quint8 kUnset = 0xFF;
        const quint8 index =
            row == 1 ? RankIndexFromText(classText, kUnset) : ClassIndexFromText(classText, kUnset);
        if (index == kUnset)
            return fail(C::Class, error);
        sensor.ClassDop = index;
        if (!text(C::Producer).isEmpty())
            sensor.Producer = text(C::Producer);
        if (!text(C::Owner).isEmpty())
            sensor.Owner = text(C::Owner);
        if (!number(C::TMin, sensor.WDTLowLim, true))
            return fail(C::TMin, error);
        if (!number(C::TMax, sensor.WDTHighLim, true))
            return fail(C::TMax, error);
        if (!number(C::Diameter, sensor.Diameter, false))
            return fail(C::Diameter, error);
        if (!number(C::Mass, sensor.Mass, false))
            return fail(C::Mass, error);
        return true;
    }

    bool fail(C column, QString &error) const
    {
        const SensorGridLayout &layout = set.layout();
        const SensorColumnInfo *info = layout.column(layout.columnOf(column));
        error = QStringLiteral("Не удалось преобразовать значение \"%1\" параметра \"%2\" для "
                               "входа %3 канала %4! Подключенные датчики не приняты.")
                    .arg(text(column), info ? info->header : QString(), layout.rowLabel(row))
                    .arg(grid);
        return false;
    }

private:
    // A number cell; an empty optional cell leaves the value untouched.
    bool number(C column, double &value, bool required) const
    {
        if (text(column).isEmpty())
            return !required;
        return ParseSensorNumber(text(column), value);
    }

    const SensorSet &set;
    int grid;
    int row;
};

bool buildReference(TBunch &bunch, const RowReader &row, int referenceID, QString &error)
{
    const QString type = row.text(C::Type);
    quint8 kind = 0, nsh = 0;
    if (type == QStringLiteral("ППО")) {
        kind = skTP_PPO;
        nsh = nshPPO;
    } else if (type == QStringLiteral("ПРО")) {
        kind = skTP_PRO;
        nsh = nshPRO;
    } else {
        return row.fail(C::Type, error);
    }
    TThermometer *sensor = bunch.CreateEtalSensor(skTP);
    sensor->SensKind = kind;
    sensor->NSHType = nsh;
    sensor->Etalon = true;
    sensor->ID = referenceID;
    return row.fill(*sensor, error);
}

bool buildInput(TBunch &bunch, const RowReader &row, int input, QString &error)
{
    quint8 nsh = 0;
    if (!NSHTypeFromDisplayName(row.text(C::Type), nsh) || nsh > nshTHK)
        return row.fail(C::Type, error);
    TThermometer *sensor = bunch.CreateSensor(skTP, input);
    sensor->SensKind = skTP;
    sensor->NSHType = nsh;
    sensor->Etalon = false;
    return row.fill(*sensor, error);
}

void fillRow(SensorSet &set, int grid, int row, const TThermometer &s, const QString &type)
{
    auto put = [&](C column, const QString &text) { set.setText(grid, row, column, text); };
    put(C::Type, type);
    put(C::Serial, s.SerialNum);
    put(C::Name, s.TypeName);
    put(C::Producer, s.Producer);
    put(C::Owner, s.Owner);
    if (s.ProdYear != 0)
        put(C::Year, QString::number(s.ProdYear));
    put(C::Class, row == 1 ? RankIndexText(s.ClassDop) : ClassIndexText(s.ClassDop));
    put(C::TMin, FloatToStr(s.WDTLowLim));
    put(C::TMax, FloatToStr(s.WDTHighLim));
    if (s.Diameter > 0)
        put(C::Diameter, FloatToStr(s.Diameter));
    if (s.Mass > 0)
        put(C::Mass, FloatToStr(s.Mass));
}

} // namespace

ChannelBunchBuild BuildChannelBunches(const SensorSet &set, const std::array<int, 3> &referenceIDs)
{
    ChannelBunchBuild build;
    if (set.kind() != skTP)
        return build;
    for (int g = 1; g <= 2; ++g) {
        auto bunch = std::make_unique<TBunch>();
        bunch->PovTerminated = false;
        bool typed = false;
        for (int r = 1; r <= 5; ++r) {
            if (!set.rowHasType(g, r))
                continue;
            typed = true;
            bunch->ChannelNum = quint32(g);
            bunch->SensKind = skTP;
            const RowReader row(set, g, r);
            const bool ok = r == 1
                                ? buildReference(*bunch, row, referenceIDs[size_t(g)], build.error)
                                : buildInput(*bunch, row, r - 1, build.error);
            if (!ok) {
                build.bunches = {};
                return build;
            }
        }
        if (typed)
            build.bunches[size_t(g)] = std::move(bunch);
    }
    return build;
}

void FillFromBunches(SensorSet &set, const ChannelBunches &bunches)
{
    set.grid(1).clear();
    set.grid(2).clear();
    for (int channel = 1; channel <= 2; ++channel) {
        const TBunch *bunch = bunches.bunch(channel);
        if (!bunch || bunch->SensKind != set.kind())
            continue;
        const int grid = int(bunch->ChannelNum);
        if (grid < 1 || grid > set.layout().gridCount)
            continue;
        if (const TThermometer *etal = bunch->EtalSensor.get()) {
            QString type;
            if (etal->NSHType == nshPPO)
                type = QStringLiteral("ППО");
            else if (etal->NSHType == nshPRO)
                type = QStringLiteral("ПРО");
            fillRow(set, grid, 1, *etal, type);
        }
        for (int input = 1; input <= 4 && input + 1 < set.layout().rowCount(); ++input) {
            if (const TThermometer *s = bunch->Sensor(input))
                fillRow(set, grid, input + 1, *s, NSHDisplayNameOf(s->NSHType));
        }
    }
}

} // namespace kront
