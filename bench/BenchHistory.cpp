// The history of one thermocouple (twenty verifications spread over the home)
// and of one reference of the register, as the window "История датчика" reads
// them: the rows, the deviations and the trends.
#include "bench/BenchDb.h"
#include "history/ReferenceHistory.h"
#include "history/SensorHistory.h"

#include <benchmark/benchmark.h>

#include <set>

namespace kront::bench
{

namespace
{

const std::string kGroup = "history of a sensor";
constexpr Goal kHistoryGoal{50.0, 2.0};
// A reference's history grows with the verifications it served in: its ratio is shown, not
// judged.
constexpr Goal kReferenceGoal{50.0, 0.0};
constexpr int kVerificationsOfOne = 20;

const StoredSensorKey kThermocouple{QStringLiteral("H-20"), QStringLiteral("ТХА-0806"), 2005,
                                    QStringLiteral("K")};

// The home's verifications that take the thermocouple: twenty finished ones spread evenly.
std::vector<int> verificationsOfOne(const HomeUnderTest &h)
{
    std::vector<int> picked;
    const int step = h.size->verifications / kVerificationsOfOne;
    for (int i = 0; picked.size() < std::size_t(kVerificationsOfOne) && i < h.size->verifications;
         i += step) {
        int v = i;
        while (!h.rows->finished(v))
            ++v;
        picked.push_back(v);
    }
    return picked;
}

// Once per home: the sensor on input 2 of channel 1 of those verifications becomes one
// thermocouple (its rows given the same serial, type and year), and the history is read once
// so that a home made before the bunches were indexed by their sensors gets those indexes.
bool prepare(HomeUnderTest &h)
{
    static std::set<QString> prepared;
    if (prepared.count(h.path))
        return true;
    QStringList ids;
    for (int i : verificationsOfOne(h))
        ids << QStringLiteral("ID = %1").arg(LabIds::sensor(i, 1, 2));
    const QVariantMap values{{QStringLiteral("SerialNum"), kThermocouple.serial},
                             {QStringLiteral("TypeName"), kThermocouple.typeName},
                             {QStringLiteral("ProdYear"), kThermocouple.prodYear}};
    if (database().updateWhere(tables::Sensors, ids.join(QStringLiteral(" or ")), values) !=
            kVerificationsOfOne ||
        !LoadSensorHistory(database(), kThermocouple))
        return false;
    prepared.insert(h.path);
    return true;
}

StoredSensorKey referenceOf(const HomeUnderTest &h)
{
    const TableRow row = h.rows->reference(0);
    return {row.value(u"SerialNum").toString(), row.value(u"TypeName").toString(),
            row.value(u"ProdYear").toInt(), row.value(u"NSHType").toString()};
}

} // namespace

void registerHistoryBenchmarks()
{
    registerOperation(
        "history of a thermocouple (20 verifications)", kGroup, kHistoryGoal,
        [](HomeUnderTest &h) {
            if (!prepare(h))
                return -1.0;
            return timed([&] {
                const auto history = LoadSensorHistory(database(), kThermocouple);
                if (!history || history->entries.size() != std::size_t(kVerificationsOfOne))
                    return false;
                benchmark::DoNotOptimize(HistoryTrends(*history).data());
                return true;
            });
        },
        nullptr);
    registerOperation(
        "history of a reference", kGroup, kReferenceGoal,
        [](HomeUnderTest &h) {
            const StoredSensorKey key = referenceOf(h);
            // The first read of a home adds the indexes its files lack: not timed.
            static std::set<QString> opened;
            if (opened.insert(h.path).second && !LoadReferenceHistory(database(), key))
                return -1.0;
            return timed([&] {
                const auto history = LoadReferenceHistory(database(), key);
                if (!history || history->verifications == 0)
                    return false;
                benchmark::DoNotOptimize(history->spreads.data());
                return true;
            });
        },
        nullptr);
}

} // namespace kront::bench
