#pragma once

#include <QString>
#include <QVariantMap>
#include <optional>

namespace kront
{

class Database;

// "PoverkaID = n and BunchID = b and Stage = 's' and MeasPointNum = p and
// MeasNum = m and Operation = 'o'": the row of a step by its composite key.
QString CalculationRowFilter(int poverkaID, int bunchID, const QString &stage, int point,
                             int measNum, const QString &operation);

// The first ResultsTP row with this composite key, in table order; nullopt when there is
// none or the table cannot be read (the store has shown why).
std::optional<QVariantMap> ResultsTPRow(Database &db, int poverkaID, int bunchID,
                                        const QString &stage, int point, int measNum,
                                        const QString &operation);

// The number of ResultsTP rows with this composite key.
int ResultsTPRowCount(Database &db, int poverkaID, int bunchID, const QString &stage, int point,
                      int measNum, const QString &operation);

// The per-input value TEDSe1Inp<input> of a ResultsTP row; 0 for null.
double InputValue(const QVariantMap &row, int input);

// Takes the rows measured and calculated after annealing (instability point
// 1) over as the first point of the main cycle: copies with stage
// "MainCycle" (measurements) or "Calculation" and point 0, in place of any
// such rows of point 0 an earlier take-over left. The instability rows stay.
// False when the table could not be read or the copies not stored.
bool DBCopyAfterBurnResultsAsMainCycle1(Database &db, int poverkaID, int bunchID);

} // namespace kront
