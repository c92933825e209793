#include "model/CodeTables.h"

#include "model/TThermometer.h"

#include <QStringView>
#include <array>

namespace kront
{
namespace
{

struct SensorKindRow {
    const char16_t *latin;
    const char16_t *cyrillic;
    const char16_t *column; // text of the 5-character SensKind column of verified sensors
};

// Indexed by the sensor kind code.
constexpr std::array<SensorKindRow, kSensorKindCount> kSensorKinds{{
    {u"Mercury", u"Ртутный", u"Mercu"},
    {u"TP_PPO", u"ППО", u"PPO"},
    {u"TP_PRO", u"ПРО", u"PRO"},
    {u"TP", u"ТП", u"TP"},
    {u"ETS", u"ЭТС", u"ETS"},
    {u"TS", u"ТС", u"TS"},
}};

struct NSHRow {
    const char16_t *latin;
    const char16_t *shortName;
    const char16_t *displayName;
    const char16_t *fullName;
    int characteristic; // polynomial set of the characteristic; -1 for none
};

// Indexed by the NSH type code.
constexpr std::array<NSHRow, kNSHTypeCount> kNSHTypes{{
    {u"TPP13", u"ТПП13", u"ТПП13(R)", u"платинородий-платиновый ТПП13(R)", 0},
    {u"TPP10", u"ТПП10", u"ТПП10(S)", u"платинородий-платиновый ТПП10(S)", 1},
    {u"TPR", u"ТПР", u"ТПР(B)", u"платинородий-платинородиевый ТПР(B)", 2},
    {u"TZhK", u"ТЖК", u"ТЖК(J)", u"железо-константановый ТЖК(J)", 3},
    {u"TNN", u"ТНН", u"ТНН(N)", u"нихросил-нисиловый ТНН(N)", 7},
    {u"THA", u"ТХА", u"ТХА(K)", u"хромель-алюмелевый ТХА(K)", 6},
    {u"THKn", u"ТХКн", u"ТХКн(E)", u"хромель-константановый ТХКн(E)", 5},
    {u"THK", u"ТХК", u"ТХК(L)", u"хромель-копелевый ТХК(L)", 11},
    {u"TSS", u"ТСС", u"ТСС(I)", u"сильх-силиновый ТСС(I)", -1},
    {u"PPO", u"ППО", u"ППО", u"платинородий-платиновый ППО(S)", 1},
    {u"PRO", u"ПРО", u"ПРО", u"платинородий-платинородиевый ПРО(B)", 2},
    {u"Pt385", u"Pt385", u"Pt385", u"Pt385", -1},
    {u"P391", u"P391", u"P391", u"P391", -1},
    {u"M428", u"M428", u"M428", u"M428", -1},
    {u"N617", u"N617", u"N617", u"N617", -1},
}};

// Single-letter abbreviations of the resistance-thermometer characteristics 11..14
// ("П", "М", "Н" are Cyrillic letters).
constexpr std::array<const char16_t *, 4> kResistanceAbbreviations{u"Pt", u"П", u"М", u"Н"};

// Indexed by the BI1 switch position code.
constexpr std::array<const char16_t *, 15> kInputLabels{{
    u"T, прямое",
    u"1, прямое",
    u"2, прямое",
    u"3, прямое",
    u"4, прямое",
    u"0",
    u"T, поэлектродное",
    u"+1, поэлектродное",
    u"-1, поэлектродное",
    u"+2, поэлектродное",
    u"-2, поэлектродное",
    u"+3, поэлектродное",
    u"-3, поэлектродное",
    u"+4, поэлектродное",
    u"-4, поэлектродное",
}};

QString text(const char16_t *s)
{
    return QStringView(s).toString();
}

template <typename Table, typename Field>
QString columnOf(const Table &table, int index, Field field)
{
    if (index < 0 || index >= int(table.size()))
        return QString();
    return text(table[size_t(index)].*field);
}

const NSHRow *nshRowByLatin(const QString &latinCode)
{
    for (const NSHRow &row : kNSHTypes) {
        if (latinCode == QStringView(row.latin))
            return &row;
    }
    return nullptr;
}

} // namespace

quint8 SensorKindFromText(const QString &text)
{
    for (size_t kind = 0; kind < kSensorKinds.size(); ++kind) {
        const SensorKindRow &row = kSensorKinds[kind];
        if (text == QStringView(row.latin) || text == QStringView(row.cyrillic))
            return quint8(kind);
    }
    return skMercury;
}

QString SensorKindLatinName(int kind)
{
    return columnOf(kSensorKinds, kind, &SensorKindRow::latin);
}

QString SensorKindCyrillicName(int kind)
{
    return columnOf(kSensorKinds, kind, &SensorKindRow::cyrillic);
}

QString SensorKindColumnText(int kind)
{
    return columnOf(kSensorKinds, kind, &SensorKindRow::column);
}

bool IsThermocoupleKind(int kind)
{
    return kind >= skTP_PPO && kind <= skTP;
}

bool IsResistanceThermometerKind(int kind)
{
    return kind == skETS || kind == skTS;
}

quint8 NSHTypeFromText(const QString &text)
{
    for (size_t code = 0; code < kNSHTypes.size(); ++code) {
        const NSHRow &row = kNSHTypes[code];
        if (text == QStringView(row.latin) || text == QStringView(row.shortName))
            return quint8(code);
    }
    for (size_t i = 0; i < kResistanceAbbreviations.size(); ++i) {
        if (text == QStringView(kResistanceAbbreviations[i]))
            return quint8(nshPt385 + i);
    }
    return nshTPP13;
}

bool NSHTypeFromDisplayName(const QString &text, quint8 &code)
{
    for (size_t i = 0; i < kNSHTypes.size(); ++i) {
        if (text == QStringView(kNSHTypes[i].displayName)) {
            code = quint8(i);
            return true;
        }
    }
    return false;
}

QString NSHLatinCode(int code)
{
    return columnOf(kNSHTypes, code, &NSHRow::latin);
}

QString NSHShortName(int code)
{
    return columnOf(kNSHTypes, code, &NSHRow::shortName);
}

QString NSHShortNameByCode(const QString &latinCode)
{
    const NSHRow *row = nshRowByLatin(latinCode);
    return row ? text(row->shortName) : QString();
}

QString NSHDisplayName(const QString &latinCode)
{
    const NSHRow *row = nshRowByLatin(latinCode);
    return row ? text(row->displayName) : QString();
}

QString NSHFullName(const QString &latinCode)
{
    const NSHRow *row = nshRowByLatin(latinCode);
    return row ? text(row->fullName) : QString();
}

QString NSHDisplayNameOf(int code)
{
    return columnOf(kNSHTypes, code, &NSHRow::displayName);
}

QString NSHFullNameOf(int code)
{
    return columnOf(kNSHTypes, code, &NSHRow::fullName);
}

int NSHCharacteristicIndex(int code)
{
    if (code < 0 || code >= kNSHTypeCount)
        return -1;
    return kNSHTypes[size_t(code)].characteristic;
}

int ClassNumber(int classIndex)
{
    if (classIndex < 0)
        return -1;
    return (classIndex + 1) % 4;
}

int ClassNumber(const TThermometer &sensor)
{
    return ClassNumber(int(sensor.ClassDop));
}

quint8 ClassIndexFromText(const QString &text, quint8 current)
{
    if (text == u"1")
        return 0;
    if (text == u"2")
        return 1;
    if (text == u"3")
        return 2;
    return current;
}

QString ClassIndexText(int classIndex)
{
    if (classIndex < 0 || classIndex > 2)
        return QString();
    return QString::number(classIndex + 1);
}

quint8 RankIndexFromText(const QString &text, quint8 current)
{
    return text == u"0" ? quint8(3) : ClassIndexFromText(text, current);
}

QString RankIndexText(int classIndex)
{
    return classIndex == 3 ? QStringLiteral("0") : ClassIndexText(classIndex);
}

QString InputLabel(int code)
{
    if (code < 0 || code >= int(kInputLabels.size()))
        return QStringLiteral("Не определён");
    return text(kInputLabels[size_t(code)]);
}

} // namespace kront
