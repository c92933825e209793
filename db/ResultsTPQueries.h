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

} // namespace kront
