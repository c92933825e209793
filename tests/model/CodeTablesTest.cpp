#include "model/CodeTables.h"
#include "model/TThermometer.h"

#include <gtest/gtest.h>

namespace kront
{
namespace
{

struct KindCase {
    QString text;
    int kind;
};

TEST(SensorKindFromText, ReadsLatinCodesAndCyrillicNamesExactly)
{
    const KindCase cases[] = {
        {"Mercury", 0},
        {"TP_PPO", 1},
        {"TP_PRO", 2},
        {"TP", 3},
        {"ETS", 4},
        {"TS", 5},
        {"Ртутный", 0},
        {"ППО", 1},
        {"ПРО", 2},
        {"ТП", 3},
        {"ЭТС", 4},
        {"ТС", 5},
        // Anything else is the mercury thermometer: wrong case, blanks, truncated column texts.
        {"", 0},
        {"tp", 0},
        {" TP", 0},
        {"TP ", 0},
        {"ets", 0},
        {"тп", 0},
        {"Mercu", 0},
        {"PPO", 0},
        {"PRO", 0},
        {"TS_", 0}};
    for (const KindCase &c : cases)
        EXPECT_EQ(SensorKindFromText(c.text), c.kind) << c.text.toStdString();
}

TEST(SensorKindNames, ColumnTextsFitTheFiveCharacterColumn)
{
    const char *latin[] = {"Mercury", "TP_PPO", "TP_PRO", "TP", "ETS", "TS"};
    const char *cyrillic[] = {"Ртутный", "ППО", "ПРО", "ТП", "ЭТС", "ТС"};
    const char *column[] = {"Mercu", "PPO", "PRO", "TP", "ETS", "TS"};
    for (int kind = 0; kind < kSensorKindCount; ++kind) {
        EXPECT_EQ(SensorKindLatinName(kind), QString::fromUtf8(latin[kind]));
        EXPECT_EQ(SensorKindCyrillicName(kind), QString::fromUtf8(cyrillic[kind]));
        EXPECT_EQ(SensorKindColumnText(kind), QString::fromUtf8(column[kind]));
        EXPECT_LE(SensorKindColumnText(kind).size(), 5);
        EXPECT_EQ(SensorKindFromText(SensorKindLatinName(kind)), kind);
    }
    // The working thermocouple is the one column text that reads back as its own kind.
    EXPECT_EQ(SensorKindFromText(SensorKindColumnText(skTP)), skTP);
    for (int kind : {-1, 6, 255}) {
        EXPECT_TRUE(SensorKindLatinName(kind).isEmpty());
        EXPECT_TRUE(SensorKindCyrillicName(kind).isEmpty());
        EXPECT_TRUE(SensorKindColumnText(kind).isEmpty());
    }
}

TEST(SensorKinds, FamiliesOfTheKinds)
{
    const bool thermocouple[] = {false, true, true, true, false, false};
    const bool resistance[] = {false, false, false, false, true, true};
    for (int kind = 0; kind < kSensorKindCount; ++kind) {
        EXPECT_EQ(IsThermocoupleKind(kind), thermocouple[kind]) << kind;
        EXPECT_EQ(IsResistanceThermometerKind(kind), resistance[kind]) << kind;
    }
    EXPECT_FALSE(IsThermocoupleKind(6));
    EXPECT_FALSE(IsResistanceThermometerKind(6));
}

// The whole NSH table, row by row.
struct NSHRowCase {
    int code;
    const char *latin;
    const char *shortName;
    const char *displayName;
    const char *fullName;
    int characteristic;
};

const NSHRowCase kNSHRows[] = {
    {0, "TPP13", "ТПП13", "ТПП13(R)", "платинородий-платиновый ТПП13(R)", 0},
    {1, "TPP10", "ТПП10", "ТПП10(S)", "платинородий-платиновый ТПП10(S)", 1},
    {2, "TPR", "ТПР", "ТПР(B)", "платинородий-платинородиевый ТПР(B)", 2},
    {3, "TZhK", "ТЖК", "ТЖК(J)", "железо-константановый ТЖК(J)", 3},
    {4, "TNN", "ТНН", "ТНН(N)", "нихросил-нисиловый ТНН(N)", 7},
    {5, "THA", "ТХА", "ТХА(K)", "хромель-алюмелевый ТХА(K)", 6},
    {6, "THKn", "ТХКн", "ТХКн(E)", "хромель-константановый ТХКн(E)", 5},
    {7, "THK", "ТХК", "ТХК(L)", "хромель-копелевый ТХК(L)", 11},
    {8, "TSS", "ТСС", "ТСС(I)", "сильх-силиновый ТСС(I)", -1},
    {9, "PPO", "ППО", "ППО", "платинородий-платиновый ППО(S)", 1},
    {10, "PRO", "ПРО", "ПРО", "платинородий-платинородиевый ПРО(B)", 2},
    {11, "Pt385", "Pt385", "Pt385", "Pt385", -1},
    {12, "P391", "P391", "P391", "P391", -1},
    {13, "M428", "M428", "M428", "M428", -1},
    {14, "N617", "N617", "N617", "N617", -1},
};

TEST(NSHTable, EveryRowByCodeAndByLatinCode)
{
    for (const NSHRowCase &row : kNSHRows) {
        SCOPED_TRACE(row.code);
        const QString latin = QString::fromUtf8(row.latin);
        EXPECT_EQ(NSHLatinCode(row.code), latin);
        EXPECT_EQ(NSHShortName(row.code), QString::fromUtf8(row.shortName));
        EXPECT_EQ(NSHShortNameByCode(latin), QString::fromUtf8(row.shortName));
        EXPECT_EQ(NSHDisplayName(latin), QString::fromUtf8(row.displayName));
        EXPECT_EQ(NSHFullName(latin), QString::fromUtf8(row.fullName));
        EXPECT_EQ(NSHDisplayNameOf(row.code), QString::fromUtf8(row.displayName));
        EXPECT_EQ(NSHFullNameOf(row.code), QString::fromUtf8(row.fullName));
        EXPECT_EQ(NSHCharacteristicIndex(row.code), row.characteristic);
        EXPECT_EQ(NSHTypeFromText(latin), row.code);
        EXPECT_EQ(NSHTypeFromText(QString::fromUtf8(row.shortName)), row.code);
    }
}

TEST(NSHTable, LookUpsOfUnknownInputsAreEmpty)
{
    for (int code : {-1, 15, 255}) {
        EXPECT_TRUE(NSHShortName(code).isEmpty());
        EXPECT_TRUE(NSHLatinCode(code).isEmpty());
        EXPECT_TRUE(NSHDisplayNameOf(code).isEmpty());
        EXPECT_EQ(NSHCharacteristicIndex(code), -1);
    }
    // The look-ups by Latin code take the Latin code only: short names, other case and
    // blanks are unknown.
    for (const char *text : {"", "tha", "ТХА", "THA ", "ТПП13(R)", "XYZ"}) {
        const QString s = QString::fromUtf8(text);
        EXPECT_TRUE(NSHShortNameByCode(s).isEmpty()) << text;
        EXPECT_TRUE(NSHDisplayName(s).isEmpty()) << text;
        EXPECT_TRUE(NSHFullName(s).isEmpty()) << text;
    }
}

TEST(NSHTypeFromText, AbbreviationsAndUnknownTexts)
{
    const KindCase cases[] = {
        {"THA", 5}, {"ТХА", 5}, {"ТХА(K)", 0}, {"Pt", 11}, {"П", 12},    {"М", 13},
        {"Н", 14},                        // Cyrillic single letters
        {"P", 0},   {"M", 0},   {"N", 0}, // Latin single letters are not abbreviations
        {"", 0},    {"tha", 0}, {"THA ", 0},   {"pt", 0},  {"P391", 12}, {"Pt385", 11}};
    for (const KindCase &c : cases)
        EXPECT_EQ(NSHTypeFromText(c.text), c.kind) << c.text.toStdString();
}

TEST(NSHTypeFromDisplayName, KnownNamesSetTheCodeOthersKeepIt)
{
    for (const NSHRowCase &row : kNSHRows) {
        quint8 code = 99;
        EXPECT_TRUE(NSHTypeFromDisplayName(QString::fromUtf8(row.displayName), code));
        EXPECT_EQ(code, row.code);
    }
    quint8 code = 7;
    EXPECT_FALSE(NSHTypeFromDisplayName("THA", code));
    EXPECT_FALSE(NSHTypeFromDisplayName("", code));
    EXPECT_EQ(code, 7);
}

TEST(NSHCharacteristicIndex, ReferenceTypesShareTheirWorkingCharacteristic)
{
    EXPECT_EQ(NSHCharacteristicIndex(nshPPO), NSHCharacteristicIndex(nshTPP10));
    EXPECT_EQ(NSHCharacteristicIndex(nshPRO), NSHCharacteristicIndex(nshTPR));
    EXPECT_EQ(NSHCharacteristicIndex(nshTSS), -1);
}

TEST(ClassNumber, IndexToToleranceClass)
{
    const std::pair<int, int> cases[] = {{0, 1}, {1, 2}, {2, 3}, {3, 0},
                                         {4, 1}, {5, 2}, {6, 3}, {-1, -1}};
    for (auto [index, number] : cases)
        EXPECT_EQ(ClassNumber(index), number) << index;
    TTP sensor;
    EXPECT_EQ(ClassNumber(sensor), 1); // a new sensor is class 1
    sensor.ClassDop = 2;
    EXPECT_EQ(ClassNumber(sensor), 3);
}

TEST(ClassIndex, TableTextsOneToThreeOthersKeepTheIndex)
{
    EXPECT_EQ(ClassIndexFromText("1", 2), 0);
    EXPECT_EQ(ClassIndexFromText("2", 0), 1);
    EXPECT_EQ(ClassIndexFromText("3", 0), 2);
    for (const char *text : {"", "0", "4", " 1", "1 ", "01", "I", "1,0"})
        EXPECT_EQ(ClassIndexFromText(text, 1), 1) << text;
    EXPECT_EQ(ClassIndexText(0), "1");
    EXPECT_EQ(ClassIndexText(2), "3");
    EXPECT_TRUE(ClassIndexText(3).isEmpty());
    EXPECT_TRUE(ClassIndexText(-1).isEmpty());
}

TEST(RankIndex, ReferenceRanksZeroToThreeOthersKeepTheIndex)
{
    const struct {
        const char *text;
        int index, rank;
    } ranks[] = {{"0", 3, 0}, {"1", 0, 1}, {"2", 1, 2}, {"3", 2, 3}};
    for (const auto &r : ranks) {
        EXPECT_EQ(RankIndexFromText(r.text, 1), r.index) << r.text;
        EXPECT_EQ(ClassNumber(r.index), r.rank) << r.text;
        EXPECT_EQ(RankIndexText(r.index), r.text);
    }
    for (const char *text : {"", "4", " 0", "00", "О"}) // the last a Cyrillic O
        EXPECT_EQ(RankIndexFromText(text, 1), 1) << text;
    EXPECT_TRUE(RankIndexText(4).isEmpty());
    EXPECT_TRUE(RankIndexText(-1).isEmpty());
}

TEST(InputLabel, EverySwitchPosition)
{
    const char *labels[] = {"T, прямое",         "1, прямое",         "2, прямое",
                            "3, прямое",         "4, прямое",         "0",
                            "T, поэлектродное",  "+1, поэлектродное", "-1, поэлектродное",
                            "+2, поэлектродное", "-2, поэлектродное", "+3, поэлектродное",
                            "-3, поэлектродное", "+4, поэлектродное", "-4, поэлектродное"};
    for (int code = 0; code < 15; ++code)
        EXPECT_EQ(InputLabel(code), QString::fromUtf8(labels[code])) << code;
    // "T" is the Latin letter.
    EXPECT_EQ(InputLabel(0).front(), QChar('T'));
    for (int code : {15, 255, -1})
        EXPECT_EQ(InputLabel(code), QString::fromUtf8("Не определён")) << code;
}

TEST(SwitchPositionCodes, ElectrodePositionsOfTheInputs)
{
    EXPECT_EQ(bpPositiveElectrode(1), 7);
    EXPECT_EQ(bpNegativeElectrode(1), 8);
    EXPECT_EQ(bpPositiveElectrode(4), 13);
    EXPECT_EQ(bpNegativeElectrode(4), 14);
    EXPECT_EQ(InputLabel(bpNegativeElectrode(2)), QString::fromUtf8("-2, поэлектродное"));
    EXPECT_EQ(InputLabel(bpDirectInput(3)), QString::fromUtf8("3, прямое"));
}

} // namespace
} // namespace kront
