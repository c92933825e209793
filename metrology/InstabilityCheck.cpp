#include "metrology/InstabilityCheck.h"

#include "common/Clock.h"
#include "common/DecimalRounding.h"
#include "common/Dialogs.h"
#include "db/Database.h"
#include "db/ResultsTPQueries.h"
#include "db/TableSchema.h"
#include "metrology/CalculationRows.h"
#include "model/TBunch.h"
#include "model/TPoverka.h"

#include <cmath>
#include <optional>

namespace kront
{

namespace
{

const QString kResultsTP = QStringLiteral("ResultsTP");

bool hasSensor(const ChannelStepValues &step, int input)
{
    return step.Bunch && step.Bunch->Sensor(input);
}

int countInstabilityRows(Database &db, int poverkaID, int bunchID, int measNum,
                         const QString &operation)
{
    return db.DBGetRecordsCount(
        kResultsTP,
        QStringLiteral("PoverkaID = %1 and BunchID = %2 and Stage = 'Instability' and MeasNum = "
                       "%3 and Operation = '%4'")
            .arg(poverkaID)
            .arg(bunchID)
            .arg(measNum)
            .arg(operation));
}

InstabilityVerdict abortFor(Dialogs &dialogs, const AbortVerification &abort)
{
    dialogs.error(QStringLiteral("В базе данных не обнаружены данные для определения "
                                 "нестабильности! Поверка будет прекращена."));
    if (abort)
        abort();
    return {true, QString()};
}

} // namespace

bool DBGetInstabilityResults(Database &db, int poverkaID, int bunchID, std::array<bool, 4> &stable,
                             const ChannelStepValues &step)
{
    const auto before =
        ResultsTPRow(db, poverkaID, bunchID, kStageInstability, 0, kMeasNumDelta, op::Delta);
    if (!before)
        return false;
    const auto after =
        ResultsTPRow(db, poverkaID, bunchID, kStageInstability, 1, kMeasNumDelta, op::Delta);
    if (!after)
        return false;
    stable.fill(true);
    const auto permitted =
        ResultsTPRow(db, poverkaID, bunchID, kStageInstability, 1, kMeasNumDeltaDop, op::DeltaDop);
    if (!permitted)
        return false;
    for (int input = 1; input <= 4; ++input) {
        if (!hasSensor(step, input))
            continue;
        const double d0 = InputValue(*before, input);
        const double d1 = InputValue(*after, input);
        const double p = InputValue(*permitted, input);
        // Compared on decimal values: a change of exactly half is unstable.
        // A deviation that could not be computed (-300) is unstable too.
        const bool computed = d0 > -299 && d1 > -299 && p > -299;
        stable[input - 1] = computed && rnd_n(std::fabs(d0 - d1), 9) < rnd_n(0.5 * p, 9);
    }
    return true;
}

InstabilityVerdict EvaluateInstability(const TPoverka &poverka,
                                       const std::vector<ChannelStepValues> &steps, Database &db,
                                       Dialogs &dialogs, const AbortVerification &abort)
{
    for (const ChannelStepValues &step : steps) {
        if (!step.Bunch)
            continue;
        const int bunchID = step.Bunch->ID;
        if (countInstabilityRows(db, poverka.ID, bunchID, kMeasNumDelta, op::Delta) < 2 ||
            countInstabilityRows(db, poverka.ID, bunchID, kMeasNumDeltaDop, op::DeltaDop) < 2)
            return abortFor(dialogs, abort);
    }

    QString list;
    for (const ChannelStepValues &step : steps) {
        if (!step.Bunch)
            continue;
        std::array<bool, 4> stable{};
        // Counted rows of other points do not stand in for the two needed ones.
        if (!DBGetInstabilityResults(db, poverka.ID, step.Bunch->ID, stable, step))
            return abortFor(dialogs, abort);
        for (int input = 1; input <= 4; ++input) {
            if (hasSensor(step, input) && !stable[input - 1])
                list +=
                    QStringLiteral("вход №%1 канала %2\r\n").arg(input).arg(step.Bunch->ChannelNum);
        }
    }
    InstabilityVerdict verdict;
    if (!list.isEmpty())
        verdict.text = QStringLiteral("Значение нестабильности превысило допустимое значение для "
                                      "следующих ТП:\r\n") +
                       list;
    return verdict;
}

bool DBCopyAfterBurnResultsAsMainCycle1(Database &db, int poverkaID, int bunchID)
{
    const auto rows =
        db.select(kResultsTP, QStringLiteral("PoverkaID = %1 AND BunchId = %2 AND Stage = "
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
    std::vector<QVariantList> copies;
    for (const QVariantMap &row : *rows) {
        QVariantList values;
        for (int i = 0; i < tables::ResultsTP.fieldCount(); ++i)
            values << row.value(tables::ResultsTP.fieldName(i));
        const bool measure = row.value(QStringLiteral("Operation")).toString() == op::Measure;
        values[tables::ResultsTP.fieldIndex(u"Stage")] =
            measure ? kStageMainCycle : kStageCalculation;
        values[tables::ResultsTP.fieldIndex(u"MeasPointNum")] = 0;
        values[tables::ResultsTP.fieldIndex(u"RecordCreationDateTime")] = now;
        copies.push_back(values);
    }
    return copies.empty() || db.insertRows(kResultsTP, copies);
}

} // namespace kront
