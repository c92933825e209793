#pragma once

#include <QString>
#include <QtGlobal>

namespace kront
{

class TThermometer;

// Sensor kind (one byte). Kinds 1 to 3 are thermocouples, 4 and 5 resistance thermometers.
enum : quint8 {
    skMercury = 0, // mercury-in-glass reference thermometer, read by eye
    skTP_PPO = 1,  // reference thermocouple of type ППО
    skTP_PRO = 2,  // reference thermocouple of type ПРО
    skTP = 3,      // working thermocouple
    skETS = 4,     // reference resistance thermometer
    skTS = 5,      // working resistance thermometer
};
constexpr int kSensorKindCount = 6;

// NSH type code (one byte): the nominal static characteristic of a sensor.
// Codes 0 to 10 are thermocouple characteristics, 11 to 14 resistance-thermometer ones.
enum : quint8 {
    nshTPP13 = 0,
    nshTPP10 = 1,
    nshTPR = 2,
    nshTZhK = 3,
    nshTNN = 4,
    nshTHA = 5,
    nshTHKn = 6,
    nshTHK = 7,
    nshTSS = 8,
    nshPPO = 9,
    nshPRO = 10,
    nshPt385 = 11,
    nshP391 = 12,
    nshM428 = 13,
    nshN617 = 14,
};
constexpr int kNSHTypeCount = 15;

// BI1 switch position codes: 0..4 direct measurement of the reference and inputs 1..4,
// 5 neutral, 6 reference and 7..14 the electrodes (+1, -1, ... +4, -4) of the
// electrode-by-electrode comparison.
enum : quint8 {
    bpDirectReference = 0,
    bpNeutral = 5,
    bpElectrodeReference = 6,
};
constexpr quint8 bpDirectInput(int input)
{
    return quint8(input);
} // input 1..4
constexpr quint8 bpPositiveElectrode(int input)
{
    return quint8(7 + 2 * (input - 1));
}
constexpr quint8 bpNegativeElectrode(int input)
{
    return quint8(8 + 2 * (input - 1));
}

// --- sensor kinds ---------------------------------------------------------------------------

// Latin code or Cyrillic name of the kind table -> kind; any other text gives skMercury.
quint8 SensorKindFromText(const QString &text);
QString SensorKindLatinName(int kind);    // "Mercury", "TP_PPO", ...; empty outside 0..5
QString SensorKindCyrillicName(int kind); // "Ртутный", "ППО", ...; empty outside 0..5
// Text written to the 5-character SensKind column of verified-sensor rows:
// "Mercu", "PPO", "PRO", "TP", "ETS", "TS"; empty outside 0..5.
QString SensorKindColumnText(int kind);
bool IsThermocoupleKind(int kind);          // kinds 1..3
bool IsResistanceThermometerKind(int kind); // kinds 4..5

// --- NSH types ------------------------------------------------------------------------------

// Latin code or short name -> code; also "Pt", "П", "М", "Н" for 11..14; anything else gives 0.
quint8 NSHTypeFromText(const QString &text);
// Display name ("ТПП13(R)" ... ) -> code; false (code untouched) for an unknown text.
bool NSHTypeFromDisplayName(const QString &text, quint8 &code);
QString NSHLatinCode(int code); // "TPP13" ...; empty outside 0..14
QString NSHShortName(int code); // "ТПП13" ...; empty outside 0..14
// Look-ups by the Latin code (as stored in the NSHType columns); empty for an unknown code.
QString NSHShortNameByCode(const QString &latinCode);
QString NSHDisplayName(const QString &latinCode);
QString NSHFullName(const QString &latinCode);
// Code-based variants of the two names above, for callers holding a type code.
QString NSHDisplayNameOf(int code);
QString NSHFullNameOf(int code);
// Index of the polynomial set of the characteristic (0 R, 1 S, 2 B, 3 J, 5 E, 6 K, 7 N,
// 11 L); -1 for ТСС, the resistance-thermometer codes and anything outside the table.
int NSHCharacteristicIndex(int code);

// --- tolerance class ------------------------------------------------------------------------

// Tolerance class number of a sensor's class index: 0 -> 1, 1 -> 2, 2 -> 3. Indexes that are
// never stored continue the cycle of the four-entry class selector: 3 -> 0, 4 -> 1, ...
int ClassNumber(int classIndex);
int ClassNumber(const TThermometer &sensor);
// Table text "1", "2", "3" -> index 0, 1, 2; any other text keeps the current index.
quint8 ClassIndexFromText(const QString &text, quint8 current);
QString ClassIndexText(int classIndex); // 0..2 -> "1".."3"; empty otherwise
// A reference thermocouple keeps its rank ("Разряд") in the same byte. Rank 0, the working
// standards of the highest rank, takes index 3, which ClassNumber turns into 0: table text
// "0" -> 3, "1", "2", "3" -> 0, 1, 2; any other text keeps the current index.
quint8 RankIndexFromText(const QString &text, quint8 current);
QString RankIndexText(int classIndex); // 0..3 -> "1", "2", "3", "0"; empty otherwise

// --- BI1 switch positions -------------------------------------------------------------------

// Label of a switch position code; "Не определён" for codes outside 0..14.
QString InputLabel(int code);

} // namespace kront
