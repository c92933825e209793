#include "metrology/ClassDetermination.h"

#include "common/Dialogs.h"
#include "db/Database.h"
#include "metrology/CalculationRows.h"
#include "metrology/NSHPolynomsTP.h"
#include "model/CodeTables.h"
#include "model/TPoverka.h"

#include <algorithm>
#include <cmath>
#include <optional>

namespace kront
{

namespace
{

const QString kResultsTP = QStringLiteral("ResultsTP");

std::optional<QVariantMap> locateCalculationRow(Database &db, int poverkaID, int bunchID, int point,
                                                int measNum, const QString &operation)
{
    const auto rows = db.select(
        kResultsTP,
        CalculationRowFilter(poverkaID, bunchID, kStageCalculation, point, measNum, operation),
        QStringLiteral("ID"), 1);
    if (!rows || rows->empty())
        return std::nullopt;
    return rows->front();
}

// The reference temperature of a point from its "Average" row, °C.
double referenceTemperature(const QVariantMap &average)
{
    const bool mercury = average.value(QStringLiteral("EtalSensorType")).toInt() == 0;
    const QVariant t = average.value(mercury ? QStringLiteral("t_pret") : QStringLiteral("t_et"));
    return t.isNull() ? -300 : t.toDouble();
}

} // namespace

int ClassCodeAtPoint(int index, int ownClass, double delta, double deltaDop, double tRef,
                     bool reduceResultClass)
{
    // No characteristic, or no deviation computed at this point: the
    // thermocouple cannot be shown to meet any class.
    if (index < 0 || delta < -299 || deltaDop < -299)
        return kResultUnfit;
    int c = ownClass;
    if (deltaDop >= std::fabs(delta))
        return c;
    for (;;) {
        if (c == 0)
            return 0;
        c = NextClass(index, c);
        if (c < 1 || !reduceResultClass)
            return kResultUnfit;
        if (NSHToleranceEmf(index, c, tRef) >= std::fabs(delta))
            return c;
    }
}

namespace
{

int countRows(Database &db, int poverkaID, int bunchID, int point, int measNum,
              const QString &operation)
{
    return db.DBGetRecordsCount(
        kResultsTP,
        CalculationRowFilter(poverkaID, bunchID, kStageCalculation, point, measNum, operation));
}

bool fail(Dialogs &dialogs, const AbortVerification &abort, const QString &text)
{
    dialogs.error(text);
    if (abort)
        abort();
    return false;
}

} // namespace

bool DBDetermineClass(Database &db, int poverkaID, const TBunch &bunch, int point,
                      std::array<int, 4> &codes, bool reduceResultClass)
{
    const auto average =
        locateCalculationRow(db, poverkaID, bunch.ID, point, kMeasNumAverage, op::Average);
    const auto delta =
        locateCalculationRow(db, poverkaID, bunch.ID, point, kMeasNumDelta, op::Delta);
    const auto deltaDop =
        locateCalculationRow(db, poverkaID, bunch.ID, point, kMeasNumDeltaDop, op::DeltaDop);
    if (!average || !delta || !deltaDop)
        return false;
    const double tRef = referenceTemperature(*average);
    for (int input = 1; input <= 4; ++input) {
        const TThermometer *sensor = bunch.Sensor(input);
        codes[input - 1] =
            sensor ? ClassCodeAtPoint(NSHCharacteristicIndex(sensor->NSHType), ClassNumber(*sensor),
                                      InputValue(*delta, input), InputValue(*deltaDop, input), tRef,
                                      reduceResultClass)
                   : kResultNoSensor;
    }
    return true;
}

bool DetermineClasses(const TPoverka &poverka, Database &db, Dialogs &dialogs,
                      bool reduceResultClass, const AbortVerification &abort)
{
    for (int channel = 1; channel <= 2; ++channel) {
        const TBunch *bunch = poverka.Bunches[channel];
        if (!bunch)
            continue;
        std::array<int, 5> results{}; // inputs 1..4, [0] unused
        for (int input = 1; input <= 4; ++input)
            results[input] = bunch->Sensor(input) ? 0 : kResultNoSensor;

        const int last = bunch->PovTerminated ? int(bunch->PovTermMeasPointNum)
                                              : int(poverka.TempPointsCount) - 1;
        if (last < 0) // a verification without points has nothing to class
            return fail(dialogs, abort,
                        QStringLiteral("В базе данных не обнаружены данные для расчёта "
                                       "результатов поверки! Поверка будет прекращена."));
        for (int point = 0; point <= last; ++point) {
            if (countRows(db, poverka.ID, bunch->ID, point, kMeasNumDelta, op::Delta) < 1 ||
                countRows(db, poverka.ID, bunch->ID, point, kMeasNumDeltaDop, op::DeltaDop) < 1)
                return fail(dialogs, abort,
                            QStringLiteral("В базе данных не обнаружены данные для расчёта "
                                           "результатов поверки! Поверка будет прекращена."));
            std::array<int, 4> codes{};
            if (!DBDetermineClass(db, poverka.ID, *bunch, point, codes, reduceResultClass))
                return fail(dialogs, abort,
                            QStringLiteral("Не удалось определить класс для поверяемых ТП! В "
                                           "базе данных обнаружены не все данные для расчёта "
                                           "результатов поверки. Поверка будет прекращена."));
            for (int input = 1; input <= 4; ++input)
                if (results[input] >= 0)
                    results[input] = std::max(results[input], codes[input - 1]);
        }
        db.DBUpdateBunchesTPResults(bunch->ID, poverka.ID, results);
    }
    return true;
}

} // namespace kront
