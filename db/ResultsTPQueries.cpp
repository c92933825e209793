#include "db/ResultsTPQueries.h"

#include "common/Clock.h"
#include "db/Database.h"
#include "db/TableSchema.h"

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
        db.select(tables::ResultsTP,
                  CalculationRowFilter(poverkaID, bunchID, stage, point, measNum, operation),
                  QStringLiteral("ID"), 1);
    if (!rows || rows->empty())
        return std::nullopt;
    return rows->front();
}

int ResultsTPRowCount(Database &db, int poverkaID, int bunchID, const QString &stage, int point,
                      int measNum, const QString &operation)
{
    return db.DBGetRecordsCount(tables::ResultsTP, CalculationRowFilter(poverkaID, bunchID, stage,
                                                                        point, measNum, operation));
}

bool DBCopyAfterBurnResultsAsMainCycle1(Database &db, int poverkaID, int bunchID)
{
    const auto rows =
        db.select(tables::ResultsTP, QStringLiteral("PoverkaID = %1 AND BunchId = %2 AND Stage = "
                                                    "'Instability' AND MeasPointNum = 1")
                                         .arg(poverkaID)
                                         .arg(bunchID));
    if (!rows)
        return false;
    // Copies that a take-over interrupted by a stop of the program stored already are replaced
    // (the main cycle has no rows of its own yet when the after-annealing rows are taken over).
    if (!db.DBDeleteResultsTPFilter(
            QStringLiteral("PoverkaID = %1 and BunchID = %2 and MeasPointNum = 0 and (Stage = "
                           "'MainCycle' or Stage = 'Calculation')")
                .arg(poverkaID)
                .arg(bunchID)))
        return false;
    const QDateTime now = programClock().now();
    std::vector<TableRow> copies;
    for (const QVariantMap &row : *rows) {
        TableRow copy(tables::ResultsTP);
        copy.setFields(row);
        const bool measure =
            row.value(QStringLiteral("Operation")).toString() == QStringLiteral("Measure");
        copy.set("Stage", measure ? QStringLiteral("MainCycle") : QStringLiteral("Calculation"));
        copy.set("MeasPointNum", 0);
        copy.set("RecordCreationDateTime", now);
        copies.push_back(std::move(copy));
    }
    return copies.empty() || db.insertRows(tables::ResultsTP, copies);
}

} // namespace kront
