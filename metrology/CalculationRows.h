#pragma once

#include <QDateTime>
#include <QString>
#include <QVariantList>
#include <QVariantMap>
#include <array>
#include <optional>

namespace kront
{

class TableRow;

// Operation texts of the ResultsTP rows.
namespace op
{
inline const QString Measure = QStringLiteral("Measure");
inline const QString Average = QStringLiteral("Average");
inline const QString ETsk = QStringLiteral("E_t_sk");
inline const QString EPrPov = QStringLiteral("E_pr_pov");
inline const QString ENsh = QStringLiteral("E nsh");
inline const QString Delta = QStringLiteral("Delta");
inline const QString DeltaDop = QStringLiteral("Delta dop");
inline const QString DeltaE = QStringLiteral("DeltaE");
inline const QString EPovJ = QStringLiteral("E pov j");
} // namespace op

// MeasNum of the deviation rows, the same in both methods.
inline constexpr int kMeasNumAverage = 1;
inline constexpr int kMeasNumDelta = 5;
inline constexpr int kMeasNumDeltaDop = 6;

// Stage texts of the calculation rows.
inline const QString kStageInstability = QStringLiteral("Instability");
inline const QString kStageCalculation = QStringLiteral("Calculation");
inline const QString kStageMainCycle = QStringLiteral("MainCycle");

// The key of one row of a step: verification, bunch, stage and point.
struct StepKey {
    int poverkaID = 0;
    int bunchID = 0;
    int methodic = 0; // 0 direct measurement, 1 electrode comparison
    QString stage;
    int point = 0;          // MeasPointNum
    int etalSensorType = 0; // 0 mercury thermometer, 1 reference thermocouple
};

// One calculation row of ResultsTP; unset columns are stored as null.
struct CalculationRow {
    int MeasNum = 0;
    QString Operation;
    std::optional<double> E_Tsk, Tsk, E_et, E_pret, t_et, t_pret;
    std::array<std::optional<double>, 5> e1; // TEDSe1Inp1..4, [0] unused
    std::array<std::optional<double>, 5> e2; // TEDSe2Inp1..4, [0] unused

    // The row to store.
    TableRow values(const StepKey &key, const QDateTime &created) const;
};

// The per-input value TEDSe1Inp<input> of a row read from ResultsTP; 0 for null.
double InputValue(const QVariantMap &row, int input);

} // namespace kront
