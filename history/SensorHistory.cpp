#include "history/SensorHistory.h"

#include "common/text/StringFunctionsFormat.h"
#include "db/Database.h"
#include "metrology/NSHPolynomsTP.h"
#include "model/CodeTables.h"

#include <algorithm>
#include <cmath>
#include <map>

namespace kront
{

namespace
{

const QString kAverage = QStringLiteral("Average");
const QString kDelta = QStringLiteral("Delta");

int classFromText(const QString &text)
{
    bool ok = false;
    const int c = text.trimmed().toInt(&ok);
    return ok && c >= 1 && c <= 3 ? c : 0;
}

// The reference temperature of a point from its "Average" row.
double referenceTemperature(const CalculationValues &average)
{
    return average.etalSensorType == 0 ? average.tPret : average.tEt;
}

std::vector<PointDeviation> deviationsOf(const SensorUse &use, int index,
                                         const std::vector<CalculationValues> &rows)
{
    std::map<int, double> tRef, delta;
    for (const CalculationValues &r : rows) {
        if (r.bunchID != use.bunchID)
            continue;
        if (r.operation == kAverage)
            tRef[r.point] = referenceTemperature(r);
        else if (r.operation == kDelta)
            delta[r.point] = r.input[std::size_t(use.input)];
    }
    std::vector<PointDeviation> out;
    for (const auto &[point, t] : tRef) {
        if (t <= -299)
            continue;
        PointDeviation d{point, t, NominalTemperature(t), std::nullopt};
        const auto found = delta.find(point);
        const double sensitivity = index >= 0 ? NSHSensitivity(index, t) : 0.0;
        if (found != delta.end() && found->second > -299 && sensitivity > 0)
            d.deltaC = found->second / sensitivity;
        out.push_back(d);
    }
    return out;
}

QString fixed(double v, int digits)
{
    return FloatToStrFixed(v, digits);
}

} // namespace

double NominalTemperature(double tRef)
{
    return std::round(tRef / 10.0) * 10.0;
}

std::vector<StoredSensorKey> MatchingSensors(const std::vector<StoredSensorKey> &found,
                                             const QString &type, int year)
{
    const QString wanted = type.trimmed();
    std::vector<StoredSensorKey> out;
    for (const StoredSensorKey &k : found) {
        const bool typeFits =
            wanted.isEmpty() || k.typeName.trimmed().compare(wanted, Qt::CaseInsensitive) == 0 ||
            NSHShortNameByCode(k.nshType).compare(wanted, Qt::CaseInsensitive) == 0;
        if (typeFits && (year == 0 || k.prodYear == year))
            out.push_back(k);
    }
    return out;
}

std::optional<std::vector<StoredSensorKey>> SensorsOfVerification(Database &db, int poverkaID)
{
    const auto bunches =
        db.select(tables::BunchesTP, QStringLiteral("PoverkaID = %1").arg(poverkaID),
                  QStringLiteral("ChannelNum"));
    if (!bunches)
        return std::nullopt;
    std::vector<StoredSensorKey> keys;
    for (const QVariantMap &b : *bunches) {
        for (int input = 1; input <= 4; ++input) {
            const int id = b.value(QStringLiteral("PovSensorID%1").arg(input)).toInt();
            if (id <= 0)
                continue;
            const auto rows = db.select(tables::Sensors, QStringLiteral("ID = %1").arg(id));
            if (!rows)
                return std::nullopt;
            for (const QVariantMap &s : *rows) {
                StoredSensorKey k{s.value(QStringLiteral("SerialNum")).toString(),
                                  s.value(QStringLiteral("TypeName")).toString(),
                                  s.value(QStringLiteral("ProdYear")).toInt(),
                                  s.value(QStringLiteral("NSHType")).toString()};
                if (std::find(keys.begin(), keys.end(), k) == keys.end())
                    keys.push_back(std::move(k));
            }
        }
    }
    return keys;
}

SensorHistory BuildSensorHistory(const StoredSensorKey &sensor, const SensorUses &uses)
{
    SensorHistory h;
    h.sensor = sensor;
    // A type text that names no characteristic leaves Δ absent rather than read through
    // the first one.
    const QString type = sensor.nshType.trimmed();
    const int code = NSHTypeFromText(type);
    h.characteristicIndex = NSHLatinCode(code) == type || NSHShortName(code) == type
                                ? NSHCharacteristicIndex(code)
                                : -1;
    std::vector<double> nominals;
    for (const SensorUse &u : uses.uses) {
        HistoryEntry e{u, classFromText(u.classDop),
                       deviationsOf(u, h.characteristicIndex, uses.rows)};
        for (const PointDeviation &d : e.points)
            nominals.push_back(d.nominal);
        h.entries.push_back(std::move(e));
    }
    std::sort(nominals.begin(), nominals.end());
    nominals.erase(std::unique(nominals.begin(), nominals.end()), nominals.end());
    h.nominals = std::move(nominals);
    if (!h.entries.empty())
        h.declaredClass = h.entries.back().declaredClass;
    return h;
}

std::optional<SensorHistory> LoadSensorHistory(Database &db, const StoredSensorKey &sensor)
{
    const auto uses = DBGetSensorUses(db, sensor);
    if (!uses)
        return std::nullopt;
    return BuildSensorHistory(sensor, *uses);
}

std::vector<TemperatureTrend> HistoryTrends(const SensorHistory &history)
{
    std::vector<TemperatureTrend> out;
    if (history.entries.empty())
        return out;
    const QDateTime origin = history.entries.front().use.finished;
    const double lastYears = YearsBetween(origin, history.entries.back().use.finished);
    for (double nominal : history.nominals) {
        TemperatureTrend t;
        t.nominal = nominal;
        if (history.characteristicIndex >= 0 && history.declaredClass > 0)
            t.tolerance = NSHTolerance(history.characteristicIndex, history.declaredClass, nominal);
        for (const HistoryEntry &e : history.entries) {
            for (const PointDeviation &d : e.points) {
                if (d.nominal == nominal && d.deltaC)
                    t.samples.push_back({YearsBetween(origin, e.use.finished), *d.deltaC});
            }
        }
        t.trend = LeastSquaresTrend(t.samples);
        if (t.trend)
            t.forecast = ForecastExit(*t.trend, origin, lastYears, t.tolerance);
        out.push_back(std::move(t));
    }
    return out;
}

QStringList TrendTexts(const TemperatureTrend &t, int declaredClass)
{
    QStringList lines;
    const QString at = QStringLiteral("При %1 °C").arg(fixed(t.nominal, 0));
    const int n = int(t.samples.size());
    if (!t.trend) {
        lines << at + QStringLiteral(": %1 поверк(и) с Δ; тренд строится не менее чем по %2")
                          .arg(n)
                          .arg(kMinTrendPoints);
        return lines;
    }
    QString slope = at + QStringLiteral(": тренд Δ %1%2 °C/год")
                             .arg(t.trend->slopePerYear > 0 ? QStringLiteral("+") : QString(),
                                  fixed(t.trend->slopePerYear, 3));
    if (t.trend->slopeError)
        slope += QStringLiteral(" ± %1").arg(fixed(*t.trend->slopeError, 3));
    lines << slope;
    const QString klass = QString::number(declaredClass);
    switch (t.forecast.kind) {
    case Forecast::Kind::NoTolerance: lines << QStringLiteral("допуск класса не определён"); break;
    case Forecast::Kind::Within: lines << QStringLiteral("в пределах допуска"); break;
    case Forecast::Kind::Leaves:
        lines << QStringLiteral("при сохранении тренда выйдет за допуск класса %1 ≈ в %2")
                     .arg(klass)
                     .arg(t.forecast.year);
        break;
    case Forecast::Kind::AlreadyOutside:
        lines << QStringLiteral("по тренду уже за допуском класса %1").arg(klass);
        break;
    }
    if (n < kReliableTrendPoints)
        lines << QStringLiteral("тренд по %1 поверкам ненадёжен (нужно не менее %2)")
                     .arg(n)
                     .arg(kReliableTrendPoints);
    return lines;
}

} // namespace kront
