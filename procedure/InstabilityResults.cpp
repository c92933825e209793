#include "procedure/InstabilityResults.h"

#include "common/Dialogs.h"
#include "db/Database.h"
#include "db/ResultsTPQueries.h"
#include "metrology/CalculationRows.h"
#include "metrology/InstabilityCheck.h"
#include "model/TBunch.h"
#include "model/TPoverka.h"

#include <optional>

namespace kront
{

namespace
{

bool hasSensor(const ChannelStepValues &step, int input)
{
    return step.Bunch && step.Bunch->Sensor(input);
}

int countInstabilityRows(Database &db, int poverkaID, int bunchID, int measNum,
                         const QString &operation)
{
    return db.DBGetRecordsCount(
        tables::ResultsTP,
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
        stable[input - 1] = IsStableOverAnnealing(
            InputValue(*before, input), InputValue(*after, input), InputValue(*permitted, input));
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
    return InstabilityVerdictOf(list);
}

} // namespace kront
