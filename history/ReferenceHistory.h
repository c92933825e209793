#pragma once

#include "db/HistoryQueries.h"
#include "history/DriftTrend.h"

#include <QStringList>

#include <optional>
#include <vector>

namespace kront
{

class Database;

// The furnace temperatures read through a reference at one set-point: their
// offsets from the set-point (the reading rounded to 10 °C), spread and drift.
struct TemperatureSpread {
    double nominal = 0;
    int count = 0;
    double mean = 0;   // mean offset, °C
    double stdDev = 0; // of the offsets, °C; 0 for a single reading
    double min = 0, max = 0;
    std::optional<Trend> trend;                        // offset against years since the first use
    std::vector<std::pair<QDateTime, double>> offsets; // each reading's, by finish
};

// The use of a reference thermocouple of the register in finished verifications.
struct ReferenceHistory {
    StoredSensorKey reference;
    int verifications = 0; // distinct verifications served in
    QDateTime first, last;
    int readVerifications = 0;              // the latest ones whose readings make the spreads
    std::vector<TemperatureSpread> spreads; // by set-point, ascending
};

ReferenceHistory BuildReferenceHistory(const StoredSensorKey &reference, const ReferenceUses &uses);
std::optional<ReferenceHistory> LoadReferenceHistory(Database &db,
                                                     const StoredSensorKey &reference);

// The summary lines and the table of set-points.
QStringList ReferenceSummary(const ReferenceHistory &history);
QStringList ReferenceSpreadHeaders();
std::vector<QStringList> ReferenceSpreadRows(const ReferenceHistory &history);

} // namespace kront
