#include "db/ResultsTPQueries.h"

#include "db/Database.h"

namespace kront
{

QString CalculationRowFilter(int poverkaID, int bunchID, const QString &stage, int point,
                             int measNum, const QString &operation)
{
    return QStringLiteral("PoverkaID = %1 and BunchID = %2 and Stage = '%3' and MeasPointNum = "
                          "%4 and MeasNum = %5 and Operation = '%6'")
        .arg(poverkaID)
        .arg(bunchID)
        .arg(stage)
        .arg(point)
        .arg(measNum)
        .arg(operation);
}

std::optional<QVariantMap> ResultsTPRow(Database &db, int poverkaID, int bunchID,
                                        const QString &stage, int point, int measNum,
                                        const QString &operation)
{
    const auto rows =
        db.select(QStringLiteral("ResultsTP"),
                  CalculationRowFilter(poverkaID, bunchID, stage, point, measNum, operation),
                  QStringLiteral("ID"), 1);
    if (!rows || rows->empty())
        return std::nullopt;
    return rows->front();
}

int ResultsTPRowCount(Database &db, int poverkaID, int bunchID, const QString &stage, int point,
                      int measNum, const QString &operation)
{
    return db.DBGetRecordsCount(
        QStringLiteral("ResultsTP"),
        CalculationRowFilter(poverkaID, bunchID, stage, point, measNum, operation));
}

} // namespace kront
