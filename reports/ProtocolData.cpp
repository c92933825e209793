#include "reports/ProtocolData.h"

#include "common/text/StringFunctions.h"
#include "db/Database.h"
#include "metrology/CalculationRows.h"
#include "model/TBunch.h"
#include "model/TPoverka.h"

#include <map>
#include <tuple>

namespace kront
{

namespace
{

const QString kResultsOpenFailure = QStringLiteral("Не удалось открыть базу данных результатов "
                                                   "поверок ТП! Устаните причину и перезапустите "
                                                   "программу.");
const QString kBunchesOpenFailure = QStringLiteral(
    "Не удалось открыть базу данных пучков! Устаните причину и перезапустите программу.");

// Key of a row within one bunch: stage, point, measurement number, operation.
using RowKey = std::tuple<QString, int, int, QString>;
using RowIndex = std::map<RowKey, const QVariantMap *>;

RowIndex indexRows(const std::vector<QVariantMap> &rows)
{
    RowIndex index;
    for (const QVariantMap &r : rows) {
        const RowKey key{r.value(QStringLiteral("Stage")).toString(),
                         r.value(QStringLiteral("MeasPointNum")).toInt(),
                         r.value(QStringLiteral("MeasNum")).toInt(),
                         r.value(QStringLiteral("Operation")).toString()};
        index.emplace(key, &r); // the first row in table order wins, as a locate would
    }
    return index;
}

// Copies a field into a cell when it is stored (not null).
void take(const QVariantMap &row, const char *field, double &cell)
{
    const QVariant v = row.value(QLatin1String(field));
    if (v.isValid() && !v.isNull())
        cell = v.toDouble();
}

QByteArray e1Field(int input)
{
    return "TEDSe1Inp" + QByteArray::number(input);
}
QByteArray e2Field(int input)
{
    return "TEDSe2Inp" + QByteArray::number(input);
}

// Looks up the rows of one point; nullptr result means a row is missing.
class PointRows
{
public:
    PointRows(const RowIndex &rows, const QString &measured, const QString &calculated,
              int pointNum)
        : index(rows), measureStage(measured), calcStage(calculated), point(pointNum)
    {
    }
    const QVariantMap *measure(int measNum) const
    {
        return find(measureStage, measNum, op::Measure);
    }
    const QVariantMap *calc(int measNum, const QString &operation) const
    {
        return find(calcStage, measNum, operation);
    }

private:
    const QVariantMap *find(const QString &stage, int measNum, const QString &operation) const
    {
        const auto it = index.find(RowKey{stage, point, measNum, operation});
        return it == index.end() ? nullptr : it->second;
    }
    const RowIndex &index;
    QString measureStage, calcStage;
    int point;
};

bool fillDirect(const PointRows &rows, TProtPointDirect &p)
{
    auto &c = p.cell;
    for (int m = 1; m <= 4; ++m) {
        const QVariantMap *r = rows.measure(m);
        if (!r)
            return false;
        take(*r, "E_et", c[m - 1][0]);
        take(*r, "t_et", c[m - 1][1]);
        for (int k = 1; k <= 4; ++k)
            take(*r, e1Field(k).constData(), c[m - 1][k + 1]);
    }
    const QVariantMap *avg = rows.calc(1, op::Average);
    if (!avg)
        return false;
    take(*avg, "E_et", c[4][0]);
    take(*avg, "t_et", c[4][1]);
    const QVariantMap *etsk = rows.calc(2, op::ETsk);
    if (!etsk)
        return false;
    take(*etsk, "Tsk", c[5][0]);
    take(*etsk, "E_Tsk", c[5][1]);
    // The reference value of row 6: E_pret when stored, else t_pret.
    take(*avg, "t_pret", c[6][0]);
    take(*avg, "E_pret", c[6][0]);
    const QString ops[] = {op::ETsk, op::EPrPov, op::ENsh, op::Delta, op::DeltaDop};
    for (int i = 0; i < 5; ++i) {
        const QVariantMap *r = i == 0 ? etsk : rows.calc(i + 2, ops[i]);
        if (!r)
            return false;
        for (int k = 1; k <= 4; ++k)
            take(*r, e1Field(k).constData(), c[5 + i][k + 1]);
    }
    for (int k = 1; k <= 4; ++k)
        take(*avg, e1Field(k).constData(), c[4][k + 1]);
    return true;
}

bool fillElectrode(const PointRows &rows, TProtPointElectrode &p)
{
    auto &c = p.cell;
    for (int m = 1; m <= 2; ++m) {
        const QVariantMap *r = rows.measure(m);
        if (!r)
            return false;
        take(*r, "E_et", c[m - 1][0]);
        for (int k = 1; k <= 4; ++k) {
            take(*r, e1Field(k).constData(), c[m - 1][2 * k]);
            take(*r, e2Field(k).constData(), c[m - 1][2 * k + 1]);
        }
    }
    const QVariantMap *avg = rows.calc(1, op::Average);
    if (!avg)
        return false;
    take(*avg, "E_et", c[2][0]);
    take(*avg, "t_et", c[2][1]);
    for (int k = 1; k <= 4; ++k) {
        take(*avg, e1Field(k).constData(), c[2][2 * k]);
        take(*avg, e2Field(k).constData(), c[2][2 * k + 1]);
    }
    take(*avg, "Tsk", c[3][0]);
    take(*avg, "E_Tsk", c[3][1]);
    take(*avg, "E_pret", c[4][0]);
    const QString ops[] = {op::DeltaE, op::EPovJ, op::ENsh, op::Delta, op::DeltaDop};
    for (int i = 0; i < 5; ++i) {
        const QVariantMap *r = rows.calc(i + 2, ops[i]);
        if (!r)
            return false;
        for (int k = 1; k <= 4; ++k)
            take(*r, e1Field(k).constData(), c[3 + i][k + 1]);
    }
    return true;
}

// Text of an insulation resistance: general notation, empty when not measured.
QString resistanceText(const QVariant &v)
{
    if (v.isNull() || !v.isValid() || v.toDouble() <= -290.0)
        return QString();
    return FloatToStr(v.toDouble());
}

} // namespace

void TProtPointDirect::clear()
{
    for (auto &row : cell)
        row.fill(AbsentValue);
}

void TProtPointElectrode::clear()
{
    for (auto &row : cell)
        row.fill(AbsentValue);
}

TBunch *ProtocolState::bunch() const
{
    if (!poverka || ProtChannelSlot < 1 || ProtChannelSlot > 2)
        return nullptr;
    return poverka->Bunches[ProtChannelSlot];
}

void ProtocolState::clear()
{
    ProtPointsDirect.clear();
    ProtPointsElectrode.clear();
    details.reset();
}

int ProtocolPointsCount(const TPoverka &poverka, const TBunch &bunch)
{
    return bunch.PovTerminated ? int(bunch.PovTermMeasPointNum) + 1 : int(poverka.TempPointsCount);
}

bool DBGetProtData(Database &db, ProtocolState &state, int poverkaID, int bunchID)
{
    const auto rows =
        db.select(tables::ResultsTP,
                  QStringLiteral("PoverkaID = %1 and BunchID = %2").arg(poverkaID).arg(bunchID),
                  QStringLiteral("ID"), -1, kResultsOpenFailure);
    if (!rows)
        return false;
    for (auto &p : state.ProtPointsDirect)
        p.clear();
    for (auto &p : state.ProtPointsElectrode)
        p.clear();
    const RowIndex index = indexRows(*rows);
    const bool electrode = state.poverka && state.poverka->Methodic != 0;
    const int slots =
        electrode ? int(state.ProtPointsElectrode.size()) : int(state.ProtPointsDirect.size());
    auto fillSlot = [&](int slot, const PointRows &pointRows) {
        return electrode ? fillElectrode(pointRows, state.ProtPointsElectrode[slot])
                         : fillDirect(pointRows, state.ProtPointsDirect[slot]);
    };
    const int n = state.ProtPointsCount;
    for (int p = 0; p < n && p < slots; ++p) {
        if (!fillSlot(p, PointRows(index, kStageMainCycle, kStageCalculation, p)))
            return false;
    }
    const bool instability = state.poverka && state.poverka->InstabilityCheckNeeded;
    if (instability && slots == n + 2) {
        for (int s = 0; s < 2; ++s) {
            if (!fillSlot(n + s, PointRows(index, kStageInstability, kStageInstability, s)))
                return false;
        }
    }
    return true;
}

QString ConclusionText(const QString &result, const QString &docNum, bool terminated)
{
    QString text;
    if (result == QStringLiteral("Бр."))
        text = docNum.isEmpty()
                   ? QStringLiteral("Не годен.")
                   : QStringLiteral("Не годен. Выдано извещение о непригодности к применению № ") +
                         docNum;
    else if (!result.isEmpty())
        text = docNum.isEmpty()
                   ? QStringLiteral("Годен.")
                   : QStringLiteral("Годен. Выдано свидетельство о поверке № ") + docNum;
    if (terminated && !text.isEmpty())
        text.prepend(QStringLiteral("Поверка прервана. "));
    return text;
}

BunchTPDetails DBGetBunchTPDetails(Database &db, int bunchID)
{
    BunchTPDetails d;
    const auto rows = db.select(tables::BunchesTP, QStringLiteral("ID = %1").arg(bunchID),
                                QStringLiteral("ID"), 1, kBunchesOpenFailure);
    if (!rows || rows->empty())
        return d;
    const QVariantMap &r = rows->front();
    auto field = [&r](const char *name, int k) {
        return r.value(QLatin1String(name) + QString::number(k));
    };
    d.ChannelNum = r.value(QStringLiteral("ChannelNum")).toInt();
    const bool terminated = r.value(QStringLiteral("PovTerminated")).toBool();
    for (int k = 1; k <= 4; ++k) {
        d.notes[k] = field("ExtSurveyNotesInp", k).toString();
        d.strength[k] = field("InsulationStrengthInp", k).toString();
        const QVariant pos = field("InsulationResistancePosInp", k);
        const QVariant neg = field("InsulationResistanceNegInp", k);
        d.resistPos[k] = resistanceText(pos);
        d.resistNeg[k] = resistanceText(neg);
        if (!d.resistPos[k].isEmpty() && !d.resistNeg[k].isEmpty())
            d.resistMean[k] = FloatToStr((pos.toDouble() + neg.toDouble()) / 2);
        const QString result = field("ResultInp", k).toString();
        d.result[k] = result == QStringLiteral("Бр.") ? QStringLiteral("Брак") : result;
        d.conclusion[k] = ConclusionText(result, field("DocNumInp", k).toString(), terminated);
    }
    return d;
}

} // namespace kront
