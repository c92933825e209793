#pragma once

#include "reports/ProtocolData.h"

#include <QString>
#include <vector>

namespace kront
{

// The reasons of unfitness hold at most this many characters: the notice's
// stored text and the registry's "reasons" of an unfit result.
inline constexpr int kNoticeReasonsLength = 1024;

// One temperature point of the main cycle as the protocol holds it.
struct NoticePoint {
    double t = AbsentValue;        // reference temperature, °C
    double delta = AbsentValue;    // Δ, mV
    double deltaDop = AbsentValue; // Δdop of the thermocouple's own class, mV
};

// What the reasons of one unfit thermocouple are made of.
struct NoticeReasonsData {
    int characteristicIndex = -1; // NSHCharacteristicIndex of its type
    int classNumber = 0;          // ClassNumber: the class it was verified for
    bool reduceResultClass = false;
    std::vector<NoticePoint> points; // the points of the main cycle, in order
    bool terminated = false;         // the channel was ended at the last point
    QString inspectionRemarks;       // external inspection (page 3)
    QString insulationStrength;      // insulation strength test (page 3)
};

// The points of input `input` (1..4) of the protocol's tables: slots
// 0..ProtPointsCount-1 of the method's array (direct: "Average" t_et, rows
// "Delta" and "Delta dop"; electrode comparison: the same rows of its table).
std::vector<NoticePoint> NoticePointsOf(const ProtocolState &state, bool electrode, int input);

// The reasons of unfitness, one sentence a line, at most kNoticeReasonsLength
// characters:
// - for each point where the thermocouple failed the class it was verified
//   for (after class lowering when that is on): "Отклонение ТЭДС от НСХ при
//   t °C составляет Δ °C (допускается ±Δдоп °C для класса N)", Δ converted
//   from mV with the sensitivity of the characteristic at t, Δдоп the
//   tolerance of class N at t; points that do not fit are counted in one
//   closing line;
// - for an ended channel, the point at which it was ended;
// - when neither a point nor an ended channel explains the unfitness, what
//   page 3 recorded: the remarks of the external inspection and the result
//   of the insulation strength test (the program keeps no verdict of them).
// Empty when nothing is known.
QString NoticeReasonsText(const NoticeReasonsData &data);

} // namespace kront
