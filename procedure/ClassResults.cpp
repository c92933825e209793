#include "procedure/ClassResults.h"

#include "common/Dialogs.h"
#include "db/Database.h"
#include "db/ResultsTPQueries.h"
#include "metrology/CalculationRows.h"
#include "model/TBunch.h"
#include "model/TPoverka.h"

namespace kront
{

namespace
{

std::optional<QVariantMap> calculationRow(Database &db, int poverkaID, int bunchID, int point,
                                          int measNum, const QString &operation)
{
    return ResultsTPRow(db, poverkaID, bunchID, kStageCalculation, point, measNum, operation);
}

// The reference temperature of a point from its "Average" row, °C.
double referenceTemperature(const QVariantMap &average)
{
    const bool mercury = average.value(QStringLiteral("EtalSensorType")).toInt() == 0;
    const QVariant t = average.value(mercury ? QStringLiteral("t_pret") : QStringLiteral("t_et"));
    return t.isNull() ? -300 : t.toDouble();
}

bool deviationRowsStored(Database &db, int poverkaID, int bunchID, int point)
{
    return ResultsTPRowCount(db, poverkaID, bunchID, kStageCalculation, point, kMeasNumDelta,
                             op::Delta) >= 1 &&
           ResultsTPRowCount(db, poverkaID, bunchID, kStageCalculation, point, kMeasNumDeltaDop,
                             op::DeltaDop) >= 1;
}

bool fail(Dialogs &dialogs, const AbortVerification &abort, const QString &text)
{
    dialogs.error(text);
    if (abort)
        abort();
    return false;
}

} // namespace

std::optional<PointDeviations> StoredPointDeviations(Database &db, int poverkaID,
                                                     const TBunch &bunch, int point)
{
    const auto average =
        calculationRow(db, poverkaID, bunch.ID, point, kMeasNumAverage, op::Average);
    const auto delta = calculationRow(db, poverkaID, bunch.ID, point, kMeasNumDelta, op::Delta);
    const auto deltaDop =
        calculationRow(db, poverkaID, bunch.ID, point, kMeasNumDeltaDop, op::DeltaDop);
    if (!average || !delta || !deltaDop)
        return std::nullopt;
    PointDeviations values;
    values.tRef = referenceTemperature(*average);
    for (int input = 1; input <= 4; ++input) {
        values.delta[std::size_t(input - 1)] = InputValue(*delta, input);
        values.deltaDop[std::size_t(input - 1)] = InputValue(*deltaDop, input);
    }
    return values;
}

bool DetermineClasses(const TPoverka &poverka, Database &db, Dialogs &dialogs,
                      const AbortVerification &abort, bool reduceResultClass)
{
    const QString noData = QStringLiteral("В базе данных не обнаружены данные для расчёта "
                                          "результатов поверки! Поверка будет прекращена.");
    for (int channel = 1; channel <= 2; ++channel) {
        const TBunch *bunch = poverka.Bunches[channel];
        if (!bunch)
            continue;
        const int last = bunch->PovTerminated ? int(bunch->PovTermMeasPointNum)
                                              : int(poverka.TempPointsCount) - 1;
        if (last < 0) // a verification without points has nothing to class
            return fail(dialogs, abort, noData);
        std::vector<PointDeviations> points;
        for (int point = 0; point <= last; ++point) {
            if (!deviationRowsStored(db, poverka.ID, bunch->ID, point))
                return fail(dialogs, abort, noData);
            const auto values = StoredPointDeviations(db, poverka.ID, *bunch, point);
            if (!values)
                return fail(dialogs, abort,
                            QStringLiteral("Не удалось определить класс для поверяемых ТП! В "
                                           "базе данных обнаружены не все данные для расчёта "
                                           "результатов поверки. Поверка будет прекращена."));
            points.push_back(*values);
        }
        db.DBUpdateBunchesTPResults(bunch->ID, poverka.ID,
                                    BunchResults(*bunch, points, reduceResultClass));
    }
    return true;
}

} // namespace kront
