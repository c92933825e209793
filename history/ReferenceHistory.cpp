#include "history/ReferenceHistory.h"

#include "common/text/StringFunctionsFormat.h"
#include "history/SensorHistory.h"

#include <cmath>
#include <map>
#include <set>

namespace kront
{

ReferenceHistory BuildReferenceHistory(const StoredSensorKey &reference, const ReferenceUses &uses)
{
    ReferenceHistory h;
    h.reference = reference;
    h.verifications = uses.verifications;
    h.first = uses.first;
    h.last = uses.last;
    std::set<int> read;
    std::map<double, std::vector<TrendSample>> offsets;
    std::map<double, std::vector<std::pair<QDateTime, double>>> dated;
    for (const ReferenceUse &u : uses.readings) {
        read.insert(u.poverkaID);
        if (u.tEt <= -299)
            continue;
        const double nominal = NominalTemperature(u.tEt);
        offsets[nominal].push_back({YearsBetween(h.first, u.finished), u.tEt - nominal});
        dated[nominal].emplace_back(u.finished, u.tEt - nominal);
    }
    h.readVerifications = int(read.size());
    for (const auto &[nominal, samples] : offsets) {
        TemperatureSpread s;
        s.nominal = nominal;
        s.count = int(samples.size());
        s.min = s.max = samples.front().value;
        double sum = 0;
        for (const TrendSample &x : samples) {
            sum += x.value;
            s.min = std::min(s.min, x.value);
            s.max = std::max(s.max, x.value);
        }
        s.mean = sum / s.count;
        if (s.count > 1) {
            double ss = 0;
            for (const TrendSample &x : samples)
                ss += (x.value - s.mean) * (x.value - s.mean);
            s.stdDev = std::sqrt(ss / (s.count - 1));
        }
        s.trend = LeastSquaresTrend(samples);
        s.offsets = std::move(dated[nominal]);
        h.spreads.push_back(s);
    }
    return h;
}

std::optional<ReferenceHistory> LoadReferenceHistory(Database &db, const StoredSensorKey &reference)
{
    const auto uses = DBGetReferenceUses(db, reference);
    if (!uses)
        return std::nullopt;
    return BuildReferenceHistory(reference, *uses);
}

QStringList ReferenceSummary(const ReferenceHistory &h)
{
    if (h.verifications == 0)
        return {QStringLiteral("Эталон не использовался в завершённых поверках")};
    QStringList temps;
    for (const TemperatureSpread &s : h.spreads)
        temps << FloatToStrFixed(s.nominal, 0);
    return {QStringLiteral("Поверок с эталоном: %1").arg(h.verifications),
            QStringLiteral("Первая: %1, последняя: %2")
                .arg(DateToStr(h.first.date()), DateToStr(h.last.date())),
            QStringLiteral("Отклонения — по последним %1 поверкам").arg(h.readVerifications),
            QStringLiteral("Температуры, °C: %1").arg(temps.join(QStringLiteral("; ")))};
}

QStringList ReferenceSpreadHeaders()
{
    return {QStringLiteral("Температура, °C"),
            QStringLiteral("Точек"),
            QStringLiteral("Среднее отклонение, °C"),
            QStringLiteral("СКО, °C"),
            QStringLiteral("Мин., °C"),
            QStringLiteral("Макс., °C"),
            QStringLiteral("Тренд, °C/год")};
}

std::vector<QStringList> ReferenceSpreadRows(const ReferenceHistory &h)
{
    std::vector<QStringList> rows;
    for (const TemperatureSpread &s : h.spreads) {
        rows.push_back({FloatToStrFixed(s.nominal, 0), QString::number(s.count),
                        FloatToStrFixed(s.mean, 2), FloatToStrFixed(s.stdDev, 2),
                        FloatToStrFixed(s.min, 2), FloatToStrFixed(s.max, 2),
                        s.trend ? FloatToStrFixed(s.trend->slopePerYear, 3) : QString()});
    }
    return rows;
}

} // namespace kront
