#include "sensors/SensorGridLayout.h"

#include "model/CodeTables.h"

namespace kront
{

namespace
{

using C = SensorColumn;

SensorColumnInfo col(C id, const char16_t *header, int width, int maxLength = 0)
{
    return {id, QString::fromUtf16(header), width, maxLength};
}

SensorColumnInfo serial()
{
    return col(C::Serial, u"Сер. №", 45, 8);
}
SensorColumnInfo type()
{
    return col(C::Type, u"Тип", 55);
}
SensorColumnInfo name()
{
    return col(C::Name, u"Наименование", 80, 20);
}
SensorColumnInfo year()
{
    return col(C::Year, u"Год вып.", 48, 4);
}
SensorColumnInfo producer()
{
    return col(C::Producer, u"Изготовитель", 80, 40);
}
SensorColumnInfo owner()
{
    return col(C::Owner, u"Владелец", 80, 40);
}
SensorColumnInfo tmin()
{
    return col(C::TMin, u"T min", 40);
}
SensorColumnInfo tmax()
{
    return col(C::TMax, u"T max", 40);
}

QStringList thermocoupleRows()
{
    return {QStringLiteral("ОБР"), QStringLiteral("1"), QStringLiteral("2"), QStringLiteral("3"),
            QStringLiteral("4")};
}

QStringList resistanceRows()
{
    QStringList rows{QStringLiteral("E")};
    for (int i = 1; i <= 10; ++i)
        rows << QString::number(i);
    return rows;
}

SensorGridLayout makeTP()
{
    return {skTP,
            QStringLiteral("Параметры подключенных ТП"),
            QStringLiteral("TP"),
            2,
            thermocoupleRows(),
            {serial(), type(), name(), year(), col(C::Class, u"Класс", 38, 1), producer(), owner(),
             tmin(), tmax(), col(C::Diameter, u"Диам. эл-в", 60), col(C::Mass, u"Масса", 45)}};
}

SensorGridLayout makePPO()
{
    return {skTP_PPO,
            QStringLiteral("Параметры подключенных ТП ППО"),
            QStringLiteral("TP_PPO"),
            2,
            thermocoupleRows(),
            {serial(), type(), name(), year(), col(C::Rank, u"Разряд", 42, 1), producer(), owner(),
             col(C::LengthPlus, u"Длина ТЭ +", 65), col(C::LengthMinus, u"Длина ТЭ -", 65)}};
}

SensorGridLayout makePRO()
{
    return {skTP_PRO,
            QStringLiteral("Параметры подключенных ТП ПРО"),
            QStringLiteral("TP_PRO"),
            2,
            thermocoupleRows(),
            {serial(), type(), name(), year(), producer(), owner(),
             col(C::DiameterTE, u"Диам. ТЭ", 65), col(C::LengthTE, u"Длина ТЭ", 65)}};
}

SensorGridLayout makeTS()
{
    return {skTS,
            QStringLiteral("Параметры подключенных ТС"),
            QStringLiteral("TS"),
            1,
            resistanceRows(),
            {serial(), col(C::Type, u"НСХ", 55), name(), year(), producer(), owner(), tmin(),
             tmax(), col(C::RLeads, u"R выв", 45)}};
}

QStringList resistanceChoices()
{
    QStringList list{QString()};
    for (const char16_t *letter : {u"Pt", u"П", u"М", u"Н"}) {
        for (int r : {10, 50, 100, 500, 1000})
            list << QString::fromUtf16(letter) + QString::number(r);
    }
    return list;
}

} // namespace

int SensorGridLayout::columnOf(SensorColumn id) const
{
    for (size_t i = 0; i < columns.size(); ++i) {
        if (columns[i].id == id)
            return int(i) + 1;
    }
    return -1;
}

const SensorColumnInfo *SensorGridLayout::column(int gridColumn) const
{
    if (gridColumn < 1 || gridColumn > int(columns.size()))
        return nullptr;
    return &columns[size_t(gridColumn - 1)];
}

QString SensorGridLayout::cornerHeader(int grid) const
{
    if (gridCount == 1)
        return QStringLiteral("Канал");
    return QStringLiteral("Канал ") + QString::number(grid);
}

QString SensorGridLayout::rowLabel(int gridRow) const
{
    if (gridRow < 1 || gridRow > int(rows.size()))
        return QString();
    return rows[gridRow - 1];
}

const SensorGridLayout *SensorLayoutForKind(int kind)
{
    static const SensorGridLayout tp = makeTP();
    static const SensorGridLayout ppo = makePPO();
    static const SensorGridLayout pro = makePRO();
    static const SensorGridLayout ts = makeTS();
    switch (kind) {
    case skTP_PPO: return &ppo;
    case skTP_PRO: return &pro;
    case skTP: return &tp;
    case skTS: return &ts;
    default: return nullptr;
    }
}

QStringList SensorTypeChoices(int kind, int gridRow)
{
    if (kind == skTS)
        return resistanceChoices();
    if (gridRow == 1)
        return {QString(), QStringLiteral("ППО"), QStringLiteral("ПРО")};
    switch (kind) {
    case skTP_PPO: return {QString(), QStringLiteral("ППО")};
    case skTP_PRO: return {QString(), QStringLiteral("ПРО")};
    case skTP: {
        QStringList list{QString()};
        for (int code = nshTPP13; code <= nshTHK; ++code)
            list << NSHDisplayNameOf(code);
        return list;
    }
    default: return {QString()};
    }
}

bool IsSensorFloatColumn(SensorColumn id)
{
    switch (id) {
    case C::TMin:
    case C::TMax:
    case C::Diameter:
    case C::Mass:
    case C::LengthPlus:
    case C::LengthMinus:
    case C::DiameterTE:
    case C::LengthTE:
    case C::RLeads: return true;
    default: return false;
    }
}

} // namespace kront
