#include "reports/ProtocolVariables.h"

#include "common/DecimalRounding.h"
#include "common/text/StringFunctions.h"
#include "db/VerificationConditions.h"
#include "model/CodeTables.h"
#include "model/TBunch.h"
#include "model/TPoverka.h"
#include "reports/ProtocolData.h"
#include "reports/ReportVariables.h"

#include <QHash>
#include <QRegularExpression>
#include <cmath>

namespace kront
{

namespace
{

// Where a method's table variable reads: row, column, decimals, and the
// input it belongs to (0 for the reference columns).
struct CellRef {
    int row = 0;
    int column = 0;
    int digits = 3;
    int input = 0;
};
using CellNames = QHash<QString, CellRef>;

QString perInput(int k, const char *ending)
{
    return QStringLiteral("POV_TP%1_").arg(k) + QLatin1String(ending);
}

CellNames directNames()
{
    CellNames n;
    for (int m = 1; m <= 4; ++m) {
        n.insert(QStringLiteral("E_ET_%1").arg(m), {m - 1, 0, 3, 0});
        n.insert(QStringLiteral("T_ET_%1").arg(m), {m - 1, 1, 3, 0});
    }
    n.insert(QStringLiteral("E_ET_AVG"), {4, 0, 3, 0});
    n.insert(QStringLiteral("T_ET_AVG"), {4, 1, 3, 0});
    n.insert(QStringLiteral("PR_ET"), {6, 0, 3, 0});
    n.insert(QStringLiteral("T_SK"), {5, 0, 2, 0});
    n.insert(QStringLiteral("E_TSK"), {5, 1, 3, 0});
    for (int k = 1; k <= 4; ++k) {
        for (int m = 1; m <= 4; ++m)
            n.insert(perInput(k, "VAL_") + QString::number(m), {m - 1, k + 1, 2, k});
        n.insert(perInput(k, "VAL_AVG"), {4, k + 1, 2, k});
        n.insert(perInput(k, "VAL_ETSK"), {5, k + 1, 2, k});
        n.insert(perInput(k, "VAL_EPRPOV"), {6, k + 1, 2, k});
        n.insert(perInput(k, "E_NSH"), {7, k + 1, 2, k});
        n.insert(perInput(k, "VAL_DELTA"), {8, k + 1, 2, k});
        n.insert(perInput(k, "DELTA_DOP"), {9, k + 1, 3, k});
    }
    return n;
}

CellNames electrodeNames()
{
    CellNames n;
    for (int m = 1; m <= 2; ++m) {
        n.insert(QStringLiteral("E_ET_%1").arg(m), {m - 1, 0, 3, 0});
        n.insert(QStringLiteral("T_ET_%1").arg(m), {m - 1, 1, 3, 0});
    }
    n.insert(QStringLiteral("E_ET_AVG"), {2, 0, 3, 0});
    n.insert(QStringLiteral("T_ET_AVG"), {2, 1, 3, 0});
    n.insert(QStringLiteral("PR_ET"), {4, 0, 3, 0});
    n.insert(QStringLiteral("T_SK"), {3, 0, 2, 0});
    n.insert(QStringLiteral("E_TSK"), {3, 1, 3, 0});
    for (int k = 1; k <= 4; ++k) {
        for (int m = 1; m <= 2; ++m) {
            n.insert(perInput(k, "VALE1_") + QString::number(m), {m - 1, 2 * k, 3, k});
            n.insert(perInput(k, "VALE2_") + QString::number(m), {m - 1, 2 * k + 1, 3, k});
        }
        n.insert(perInput(k, "VALE1_AVG"), {2, 2 * k, 3, k});
        n.insert(perInput(k, "VALE2_AVG"), {2, 2 * k + 1, 3, k});
        n.insert(perInput(k, "VAL_DE"), {3, k + 1, 3, k});
        n.insert(perInput(k, "VAL_E_POV"), {4, k + 1, 3, k});
        n.insert(perInput(k, "E_NSH"), {5, k + 1, 3, k});
        n.insert(perInput(k, "VAL_DELTA"), {6, k + 1, 3, k});
        n.insert(perInput(k, "DELTA_DOP"), {7, k + 1, 3, k});
    }
    return n;
}

const CellNames &namesOf(bool electrode)
{
    static const CellNames direct = directNames();
    static const CellNames byElectrode = electrodeNames();
    return electrode ? byElectrode : direct;
}

// The value of a cell of slot p; AbsentValue outside the array.
double cellOf(const ProtocolState &s, bool electrode, int p, int row, int column)
{
    if (electrode) {
        if (p < 0 || p >= int(s.ProtPointsElectrode.size()))
            return AbsentValue;
        return s.ProtPointsElectrode[p].cell[row][column];
    }
    if (p < 0 || p >= int(s.ProtPointsDirect.size()))
        return AbsentValue;
    return s.ProtPointsDirect[p].cell[row][column];
}

bool hasSensor(const TBunch *bunch, int input)
{
    return bunch && bunch->Sensor(input) != nullptr;
}

const BunchTPDetails &detailsOf(Database &db, const ProtocolState &s)
{
    if (!s.details)
        s.details = DBGetBunchTPDetails(db, s.ProtBunchID);
    return *s.details;
}

// Names read from the bunch row, and POV_NUM.
QVariant detailsValue(Database &db, const ProtocolState &s, int k, const QString &ending)
{
    static const QStringList endings = {QStringLiteral("NOTES"),      QStringLiteral("STRENGTH"),
                                        QStringLiteral("RESIST_POS"), QStringLiteral("RESIST_NEG"),
                                        QStringLiteral("RESIST_AVG"), QStringLiteral("ZAKL"),
                                        QStringLiteral("RES_CLS")};
    const int which = endings.indexOf(ending);
    if (which < 0)
        return {};
    const BunchTPDetails &d = detailsOf(db, s);
    const std::array<QString, 5> *texts[] = {
        &d.notes, &d.strength, &d.resistPos, &d.resistNeg, &d.resistMean, &d.conclusion, &d.result};
    return (*texts[which])[k];
}

QString povNum(Database &db, const ProtocolState &s)
{
    const TPoverka &p = *s.poverka;
    if (!p.Bunches[1] || !p.Bunches[2])
        return p.PovNum;
    int channel = detailsOf(db, s).ChannelNum;
    if (channel == 0 && s.bunch()) // the bunch row is gone: the object still knows
        channel = int(s.bunch()->ChannelNum);
    return p.PovNum + u'/' + QString::number(channel);
}

QString povDate(const QDateTime &finished)
{
    if (!finished.isValid())
        return QString();
    QString text = DateToStr(finished.date());
    if (finished.time().msecsSinceStartOfDay() != 0)
        text += u' ' + TimeToStr(finished.time());
    return text;
}

QString tpTypes(const TBunch *bunch)
{
    QStringList names;
    for (int k = 1; k <= 4; ++k) {
        if (!hasSensor(bunch, k))
            continue;
        const QString name = NSHShortName(bunch->Sensor(k)->NSHType);
        if (!names.contains(name))
            names << name;
    }
    return names.join(QStringLiteral(", "));
}

QString equipmentText(const TPoverka &p)
{
    QString text;
    for (const QString &line : p.EquipmentParams)
        text += line + QStringLiteral("\r\n");
    return text;
}

// POV_TP<k>_TYPE ... _MASS: texts of the sensor itself.
QVariant sensorValue(const TBunch *bunch, int k, const QString &ending)
{
    static const QStringList endings = {QStringLiteral("TYPE"),  QStringLiteral("NUM"),
                                        QStringLiteral("GOD"),   QStringLiteral("CLS"),
                                        QStringLiteral("OWNER"), QStringLiteral("WDT"),
                                        QStringLiteral("DIAM"),  QStringLiteral("MASS")};
    const int which = endings.indexOf(ending);
    if (which < 0)
        return {};
    if (!hasSensor(bunch, k))
        return QString();
    const TThermometer &t = *bunch->Sensor(k);
    switch (which) {
    case 0: {
        const QString nsh = bunch->SensorNSHText(k), type = bunch->SensorTypeNameText(k);
        if (!nsh.isEmpty() && !type.isEmpty())
            return nsh + QStringLiteral(", ") + type;
        return nsh.isEmpty() ? type : nsh;
    }
    case 1: return bunch->SensorSerialText(k);
    case 2: // a year not given is stored as 0
        return t.ProdYear > 0 ? QStringLiteral(", ") + bunch->SensorProdYearText(k) : QString();
    case 3: {
        const int cls = ClassNumber(t);
        return cls >= 0 ? QString::number(cls) : QString();
    }
    case 4: return t.Owner;
    case 5:
        return QStringLiteral("От ") + FloatToStr(t.WDTLowLim) + QStringLiteral(" до ") +
               FloatToStr(t.WDTHighLim);
    case 6: return SensorSizeText(t.Diameter);
    default: return SensorSizeText(t.Mass);
    }
}

QVariant tableValue(const ProtocolState &s, bool electrode, const CellRef &ref, int p)
{
    if (ref.input > 0 && !hasSensor(s.bunch(), ref.input))
        return QString();
    return CellText(cellOf(s, electrode, p, ref.row, ref.column), ref.digits);
}

// I_POV_TP<k>_DELTA_N: the change of the deviation through annealing.
QString deltaChange(const ProtocolState &s, bool electrode, int k)
{
    if (!hasSensor(s.bunch(), k))
        return QString();
    const int n = s.ProtPointsCount;
    const int row = electrode ? 6 : 8;
    const double before = cellOf(s, electrode, n, row, k + 1);
    const double after = cellOf(s, electrode, n + 1, row, k + 1);
    if (!IsPresent(before) || !IsPresent(after))
        return QString();
    const int digits = electrode ? 3 : 2;
    return FloatToStrFixed(rnd_n(std::fabs(before - after), digits), digits);
}

QVariant instabilityValue(const ProtocolState &s, bool electrode, const QString &upper, int r2)
{
    const bool isName =
        upper == QLatin1String("BURN_STAGE") || upper == QLatin1String("BURN_STAGE_NUM") ||
        (upper.startsWith(QLatin1String("I_")) &&
         (namesOf(electrode).contains(upper.mid(2)) ||
          QRegularExpression(QStringLiteral("^I_POV_TP[1-4]_DELTA_N$")).match(upper).hasMatch()));
    if (!isName)
        return {};
    if (!s.poverka->InstabilityCheckNeeded)
        return electrode ? QVariant(QString()) : QVariant();
    if (upper == QLatin1String("BURN_STAGE"))
        return r2 == 0 ? QStringLiteral("ДО") : QStringLiteral("ПОСЛЕ");
    if (upper == QLatin1String("BURN_STAGE_NUM"))
        return r2 == 0 ? QStringLiteral("1") : QStringLiteral("2");
    if (upper.endsWith(QLatin1String("_DELTA_N")))
        return deltaChange(s, electrode, upper.at(8).digitValue());
    return tableValue(s, electrode, namesOf(electrode).value(upper.mid(2)), s.ProtPointsCount + r2);
}

// The conditions of the verification; empty texts for a verification stored without them.
QVariant conditionsValue(Database &db, const TPoverka &poverka, const QString &upper)
{
    static const QStringList names = {
        QStringLiteral("POV_CONDITIONS"),    QStringLiteral("POV_COND_TEMPERATURE"),
        QStringLiteral("POV_COND_PRESSURE"), QStringLiteral("POV_COND_HUMIDITY"),
        QStringLiteral("POV_COND_OTHER"),    QStringLiteral("POV_VERIFIER")};
    const int which = names.indexOf(upper);
    if (which < 0)
        return {};
    const auto c = StoredConditions(db, poverka.ID);
    if (!c)
        return QString();
    switch (which) {
    case 0: {
        QString text = QStringLiteral("температура окружающего воздуха ") + TemperatureText(*c) +
                       QStringLiteral(", атмосферное давление ") + PressureText(*c) +
                       QStringLiteral(", относительная влажность ") + HumidityText(*c);
        if (!c->otherFactors.isEmpty())
            text += QStringLiteral("; ") + c->otherFactors;
        return text;
    }
    case 1: return TemperatureText(*c);
    case 2: return PressureText(*c);
    case 3: return HumidityText(*c);
    case 4: return c->otherFactors;
    default: return c->verifier;
    }
}

} // namespace

QVariant ProtocolVariableValue(Database &db, const ProtocolState &s, const QString &upper, int r1,
                               int r2)
{
    if (!s.poverka)
        return {};
    const TBunch *bunch = s.bunch();
    static const QRegularExpression perInputName(QStringLiteral("^POV_TP([1-4])_(.+)$"));
    const QRegularExpressionMatch m = perInputName.match(upper);
    const int k = m.hasMatch() ? m.captured(1).toInt() : 0;
    if (k > 0) {
        if (QVariant v = detailsValue(db, s, k, m.captured(2)); v.isValid())
            return v;
    }
    if (upper == QLatin1String("POV_NUM"))
        return povNum(db, s);
    if (upper == QLatin1String("POV_TYPE"))
        return s.poverka->Kind != 0 ? QStringLiteral("периодической") : QStringLiteral("первичной");
    if (upper == QLatin1String("POV_DATE"))
        return povDate(s.poverka->Finished);
    if (upper == QLatin1String("POV_TP_TYPES"))
        return tpTypes(bunch);
    if (upper == QLatin1String("EQUIPPARAMSTP"))
        return equipmentText(*s.poverka);
    if (QVariant v = conditionsValue(db, *s.poverka, upper); v.isValid())
        return v;
    if (k > 0) {
        if (QVariant v = sensorValue(bunch, k, m.captured(2)); v.isValid())
            return v;
    }
    const bool electrode = s.poverka->Methodic != 0;
    const CellNames &names = namesOf(electrode);
    if (const auto it = names.constFind(upper); it != names.constEnd())
        return tableValue(s, electrode, *it, r1);
    return instabilityValue(s, electrode, upper, r2);
}

} // namespace kront
