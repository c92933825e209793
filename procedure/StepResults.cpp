#include "procedure/StepResults.h"

#include "common/Clock.h"
#include "db/Database.h"
#include "db/ResultsTPQueries.h"
#include "metrology/CalculationRows.h"
#include "metrology/StepCalculation.h"
#include "model/TBunch.h"

#include <vector>

namespace kront
{

namespace
{

QVariant orNull(const std::optional<double> &v)
{
    return v ? QVariant(*v) : QVariant();
}

} // namespace

GraduationLookup databaseGraduation(Database &db)
{
    return [&db](qint32 etalID, double emf) -> std::optional<GraduationPoint> {
        GraduationPoint point{-300, -300};
        if (!db.DBGetEtalSvidData(etalID, point.emf, point.temp, emf))
            return std::nullopt;
        return point;
    };
}

TableRow CalculationTableRow(const CalculationRow &r, const StepKey &key, const QDateTime &created)
{
    TableRow row(tables::ResultsTP, {{"PoverkaID", key.poverkaID},
                                     {"BunchID", key.bunchID},
                                     {"Methodic", key.methodic},
                                     {"Stage", key.stage},
                                     {"MeasPointNum", key.point},
                                     {"MeasNum", r.MeasNum},
                                     {"E_Tsk", orNull(r.E_Tsk)},
                                     {"Tsk", orNull(r.Tsk)},
                                     {"E_et", orNull(r.E_et)},
                                     {"E_pret", orNull(r.E_pret)},
                                     {"t_et", orNull(r.t_et)},
                                     {"t_pret", orNull(r.t_pret)},
                                     {"Operation", r.Operation},
                                     {"EtalSensorType", key.etalSensorType},
                                     {"RecordCreationDateTime", created}});
    for (int input = 1; input <= 4; ++input) {
        row.set(QStringLiteral("TEDSe1Inp%1").arg(input), orNull(r.e1[input]));
        row.set(QStringLiteral("TEDSe2Inp%1").arg(input), orNull(r.e2[input]));
    }
    return row;
}

std::optional<QString> CalculateStepResults(const TPoverka &poverka, const ChannelStepValues &step,
                                            Database &db, Dialogs &dialogs,
                                            const GraduationLookup &graduation)
{
    // Everything is computed (and the operator asked) before the earlier rows
    // of the step are replaced, so a refused prompt never leaves the step without rows.
    const std::optional<StepResults> results = CalculateStep(poverka, step, dialogs, graduation);
    if (!results)
        return QString();
    const StepKey &key = results->key;
    // The instability stage keeps its measurement rows under the same stage
    // name, so the replacement spares the "Measure" rows explicitly.
    const bool replaced = db.DBDeleteResultsTPFilter(
        QStringLiteral("PoverkaID = %1 and BunchID = %2 and Stage = '%3' and MeasPointNum = %4 "
                       "and Operation <> 'Measure'")
            .arg(key.poverkaID)
            .arg(key.bunchID)
            .arg(key.stage)
            .arg(key.point));
    // A step whose earlier rows could not be removed (reported by the store)
    // gets no second set beside them.
    if (!replaced)
        return std::nullopt;
    const QDateTime now = programClock().now();
    std::vector<TableRow> rows;
    for (const CalculationRow &r : results->rows)
        rows.push_back(CalculationTableRow(r, key, now));
    if (!db.insertRows(tables::ResultsTP, rows))
        return std::nullopt;
    return DeviationText(*step.Bunch, results->delta, results->deltaDop);
}

std::optional<QString> CalculateStepResults(const TPoverka &poverka, const ChannelStepValues &step,
                                            Database &db, Dialogs &dialogs)
{
    return CalculateStepResults(poverka, step, db, dialogs, databaseGraduation(db));
}

QString StoredDeviationText(Database &db, int poverkaID, const TBunch &bunch, const QString &stage,
                            int point)
{
    std::array<double, 5> delta{}, deltaDop{};
    const auto read = [&](int measNum, const QString &operation, std::array<double, 5> &values) {
        const auto row = ResultsTPRow(db, poverkaID, bunch.ID, stage, point, measNum, operation);
        if (!row)
            return false;
        for (int input = 1; input <= 4; ++input)
            values[input] = InputValue(*row, input);
        return true;
    };
    if (!read(kMeasNumDelta, op::Delta, delta) || !read(kMeasNumDeltaDop, op::DeltaDop, deltaDop))
        return {};
    return DeviationText(bunch, delta, deltaDop);
}

} // namespace kront
