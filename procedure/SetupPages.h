#pragma once

#include <QChar>
#include <QString>
#include <QStringList>
#include <array>

// The data of the first three wizard pages of the verification window, as plain values the
// window copies its controls into and out of.
namespace kront
{

// Positions 1..8 of the page 3 grids: 1..4 inputs 1..4 of channel 1, 5..8 of channel 2.
constexpr int kInspectionPositions = 8;
using PositionTexts = std::array<QString, kInspectionPositions + 1>; // [0] unused

constexpr int kRemarkMaxLength = 80;        // StringGridExternalSurvey cells
constexpr int kStrengthMaxLength = 20;      // StringGridInsulationStrength cells
constexpr int kPovNumMaxLength = 8;         // EditPoverkaNumber
constexpr int kOtherFactorsMaxLength = 128; // EditOtherFactors
constexpr int kVerifierMaxLength = 128;     // ComboBoxVerifier

// "Условия поверки" of page 3, as typed (decimal point or comma).
struct ConditionsTexts {
    QString temperature;  // EditAmbientTemperature, °C
    QString pressure;     // EditPressure, кПа
    QString humidity;     // EditHumidity, %
    QString otherFactors; // EditOtherFactors, optional
};

// What Prepare puts on the pages of a new verification.
struct SetupPrepared {
    int pointsCount = 1;        // JvSpinEditTemperaturePointsCount (1..8)
    PositionTexts serials;      // header of each position: serial number of the sensor there
    ConditionsTexts conditions; // the conditions stored last, empty when none
    // The names offered for the verifier, the default first: the lab's default verifier, then
    // the verifier stored last when another. Empty when neither is known.
    QStringList verifiers;
};

// Page 1 "Параметры поверки".
struct ParametersPage {
    QString number;      // EditPoverkaNumber
    int pointsCount = 1; // JvSpinEditTemperaturePointsCount
    int kindIndex = -1; // RadioGroupVidPoverki: -1 none, 0 "Первичная", 1 "Периодическая"
    bool instabilityCheck = false; // CheckBoxDoInstabilityCheck
    int methodIndex = -1; // RadioGroupMetodPoverki: -1 none, 0 direct, 1 electrode comparison
    QString verifier;     // ComboBoxVerifier: full name, may be empty
};

// Page 3 grids, by position 1..8.
struct InspectionPage {
    PositionTexts remarks;       // StringGridExternalSurvey column 1
    PositionTexts strengths;     // StringGridInsulationStrength row 1
    PositionTexts resistancePos; // StringGridInsulationResistance row 1 "Rиз +"
    PositionTexts resistanceNeg; // StringGridInsulationResistance row 2 "Rиз -"
    ConditionsTexts conditions;
};

// The grids of page 3 that filter typed characters.
enum class InspectionGrid { Remarks, Strength, Resistance };

// Whether a typed character goes into a page 3 cell that holds cellText. Codes 8, 9, 13 and 27
// always pass; a full remark or strength cell takes nothing more; resistance cells take only
// digits, ",", "." and "-".
bool InspectionAcceptsChar(InspectionGrid grid, const QString &cellText, QChar typed);

} // namespace kront
