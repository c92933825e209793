#include "metrology/StepCalculation.h"

#include "common/Clock.h"
#include "common/DecimalRounding.h"
#include "db/Database.h"
#include "db/ResultsTPQueries.h"
#include "metrology/CalculationRows.h"
#include "metrology/MercuryCorrection.h"
#include "metrology/NSHPolynomsTP.h"
#include "model/CodeTables.h"
#include "model/TPoverka.h"

#include <cmath>
#include <vector>

namespace kront
{

namespace
{

constexpr double kNone = -300; // a value that could not be computed

bool none(double v)
{
    return v < -299;
}

// A characteristic value rounded to n decimals; -300 stays "none".
double characteristic(long double emf, int n)
{
    return emf < -299 ? kNone : rnd_n(static_cast<double>(emf), n);
}

struct InputInfo {
    bool present = false; // the input's slot of Sensors is filled
    int index = -1;       // characteristic index; -1 for a type without one
    int classNumber = 0;
};

std::array<InputInfo, 5> inputInfos(const TBunch &bunch)
{
    std::array<InputInfo, 5> infos;
    for (int input = 1; input <= 4; ++input) {
        if (const TThermometer *sensor = bunch.Sensor(input))
            infos[input] = {true, NSHCharacteristicIndex(sensor->NSHType), ClassNumber(*sensor)};
    }
    return infos;
}

// The reference temperature of the step and the reference EMFs, rounded.
struct Reference {
    double tRef = kNone;    // °C
    double eRefTot = kNone; // mV
    double eRefSk = kNone;  // mV
};

Reference thermocoupleReference(const ChannelStepValues &step, double eRefAvg,
                                const GraduationLookup &graduation)
{
    const TThermometer *etalon = step.Bunch->EtalSensor.get();
    if (!etalon)
        return {};
    const ReferenceTemperatureResult r =
        ReferenceTemperature(etalon->NSHType, etalon->ID, step.TskTP, eRefAvg, graduation);
    return {rnd_n(r.t, 3), rnd_n(r.emfTotal, 3), rnd_n(r.emfTsk, 3)};
}

// Per input: the EMF of the characteristic at the reference temperature, the
// deviation and the permitted deviation. eMeasured is the thermocouple's EMF
// corrected to 0 °C (E_pr or E_pov); n the decimals of the method.
struct Deviation {
    double eNsh = 0;
    double delta = 0;
    double deltaDop = 0;
};

Deviation deviation(const InputInfo &info, double eMeasured, double tRef, int n)
{
    Deviation d;
    d.eNsh = none(tRef) ? kNone : characteristic(NSHEmf(info.index, tRef), n);
    if (none(d.eNsh)) {
        d.delta = d.deltaDop = kNone;
        return d;
    }
    d.delta = none(eMeasured) ? kNone : rnd_n(eMeasured - d.eNsh, n);
    d.deltaDop = rnd_n(NSHToleranceEmf(info.index, info.classNumber, tRef), 3);
    return d;
}

struct StepOutcome {
    std::vector<CalculationRow> rows;
    std::array<double, 5> delta{};
    std::array<double, 5> deltaDop{};
};

CalculationRow row(int measNum, const QString &operation)
{
    CalculationRow r;
    r.MeasNum = measNum;
    r.Operation = operation;
    for (int input = 1; input <= 4; ++input)
        r.e1[input] = 0.0; // inputs that take no part are stored as 0
    return r;
}

double average(const ChannelStepValues &step, int k, int blocks)
{
    double sum = 0;
    for (int j = 1; j <= blocks; ++j)
        sum += step.Readings[j][k];
    return sum / blocks;
}

StepOutcome calculateDirect(const ChannelStepValues &step, Dialogs &dialogs,
                            const GraduationLookup &graduation)
{
    const bool mercury = step.EtalKind == 0;
    const std::array<InputInfo, 5> infos = inputInfos(*step.Bunch);
    const double refAvg = rnd_n(average(step, 0, 4), 3); // t_avg °C or E_refavg mV

    Reference ref;
    if (mercury)
        ref.tRef = rnd_n(refAvg + AskMercuryCorrection(dialogs, refAvg), 3);
    else
        ref = thermocoupleReference(step, refAvg, graduation);

    CalculationRow avg = row(1, op::Average), sk = row(2, op::ETsk), pr = row(3, op::EPrPov),
                   nsh = row(4, op::ENsh), dl = row(5, op::Delta), dd = row(6, op::DeltaDop);
    if (mercury) {
        avg.t_et = refAvg;
        avg.t_pret = ref.tRef;
    } else {
        avg.E_et = refAvg;
        avg.E_pret = ref.eRefTot;
        avg.t_et = ref.tRef;
        sk.E_Tsk = ref.eRefSk;
    }
    sk.Tsk = step.TskTP;

    StepOutcome out;
    for (int i = 1; i <= 4; ++i) {
        if (!infos[i].present)
            continue;
        const double eAvg = rnd_n(average(step, i, 4), 2);
        const double eSk = characteristic(NSHEmf(infos[i].index, step.TskTP), 2);
        const double ePr = none(eSk) ? kNone : eAvg + eSk;
        const Deviation d = deviation(infos[i], ePr, ref.tRef, 2);
        avg.e1[i] = eAvg;
        sk.e1[i] = eSk;
        pr.e1[i] = ePr;
        nsh.e1[i] = d.eNsh;
        dl.e1[i] = out.delta[i] = d.delta;
        dd.e1[i] = out.deltaDop[i] = d.deltaDop;
    }
    out.rows = {avg, sk, pr, nsh, dl, dd};
    return out;
}

StepOutcome calculateElectrode(const ChannelStepValues &step, const GraduationLookup &graduation)
{
    const std::array<InputInfo, 5> infos = inputInfos(*step.Bunch);
    const double eRefAvg = rnd_n(average(step, 0, 2), 3);
    const Reference ref = thermocoupleReference(step, eRefAvg, graduation);

    CalculationRow avg = row(1, op::Average), de = row(2, op::DeltaE), pov = row(3, op::EPovJ),
                   nsh = row(4, op::ENsh), dl = row(5, op::Delta), dd = row(6, op::DeltaDop);
    avg.E_Tsk = ref.eRefSk;
    avg.Tsk = step.TskTP;
    avg.E_et = eRefAvg;
    avg.E_pret = ref.eRefTot;
    avg.t_et = ref.tRef;
    for (int i = 1; i <= 4; ++i)
        avg.e2[i] = 0.0;

    StepOutcome out;
    for (int i = 1; i <= 4; ++i) {
        if (!infos[i].present)
            continue;
        const double e1 = rnd_n(average(step, i, 2), 3);
        const double e2 = rnd_n(average(step, i + 4, 2), 3);
        const double deltaE = rnd_n(e1 - e2, 3);
        const double ePov = none(ref.eRefTot) ? kNone : rnd_n(ref.eRefTot + deltaE, 3);
        const Deviation d = deviation(infos[i], ePov, ref.tRef, 3);
        avg.e1[i] = e1;
        avg.e2[i] = e2;
        de.e1[i] = deltaE;
        pov.e1[i] = ePov;
        nsh.e1[i] = d.eNsh;
        dl.e1[i] = out.delta[i] = d.delta;
        dd.e1[i] = out.deltaDop[i] = d.deltaDop;
    }
    out.rows = {avg, de, pov, nsh, dl, dd};
    return out;
}

// Thermocouples with |Δ| > Δdop, or whose deviation could not be computed.
QString failingList(const TBunch &bunch, const StepOutcome &outcome)
{
    QString text;
    for (int i = 1; i <= 4; ++i) {
        const TThermometer *sensor = bunch.Sensor(i);
        if (!sensor)
            continue;
        const double delta = outcome.delta[i];
        const double dop = outcome.deltaDop[i];
        if (!none(delta) && !none(dop) && std::fabs(delta) <= dop)
            continue;
        if (!text.isEmpty())
            text += QStringLiteral("\r\n");
        text += QStringLiteral("№ ") + sensor->SerialNum +
                QStringLiteral(", подключенный ко входу %1 канала %2").arg(i).arg(bunch.ChannelNum);
    }
    return text;
}

} // namespace

std::optional<QString> CalculateStepResults(const TPoverka &poverka, const ChannelStepValues &step,
                                            Database &db, Dialogs &dialogs,
                                            const GraduationLookup &graduation)
{
    if (!step.Bunch || poverka.Methodic > 1)
        return QString();
    // Everything is computed (and the operator asked) before the earlier rows
    // of the step are replaced, so a refused prompt never leaves the step without rows.
    const StepOutcome outcome = poverka.Methodic == 0 ? calculateDirect(step, dialogs, graduation)
                                                      : calculateElectrode(step, graduation);

    StepKey key;
    key.poverkaID = poverka.ID;
    key.bunchID = step.Bunch->ID;
    key.methodic = poverka.Methodic;
    key.stage = poverka.Stage == stInstability ? kStageInstability : kStageCalculation;
    key.point = int(poverka.StepIndex);
    key.etalSensorType = (poverka.Methodic == 0 && step.EtalKind == 0) ? 0 : 1;

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
    for (const CalculationRow &r : outcome.rows)
        rows.push_back(r.values(key, now));
    if (!db.insertRows(tables::ResultsTP, rows))
        return std::nullopt;
    return failingList(*step.Bunch, outcome);
}

std::optional<QString> CalculateStepResults(const TPoverka &poverka, const ChannelStepValues &step,
                                            Database &db, Dialogs &dialogs)
{
    return CalculateStepResults(poverka, step, db, dialogs, databaseGraduation(db));
}

QString StoredDeviationText(Database &db, int poverkaID, const TBunch &bunch, const QString &stage,
                            int point)
{
    StepOutcome outcome;
    const auto read = [&](int measNum, const QString &operation, std::array<double, 5> &values) {
        const auto row = ResultsTPRow(db, poverkaID, bunch.ID, stage, point, measNum, operation);
        if (!row)
            return false;
        for (int input = 1; input <= 4; ++input)
            values[input] = InputValue(*row, input);
        return true;
    };
    if (!read(kMeasNumDelta, op::Delta, outcome.delta) ||
        !read(kMeasNumDeltaDop, op::DeltaDop, outcome.deltaDop))
        return {};
    return failingList(bunch, outcome);
}

} // namespace kront
