#pragma once

#include "db/HistoryQueries.h"
#include "history/DriftTrend.h"

#include <QStringList>

#include <optional>
#include <vector>

namespace kront
{

class Database;

// The deviation of a thermocouple at one temperature point of one
// verification, converted from mV to °C with the sensitivity of its
// characteristic at the reference temperature.
struct PointDeviation {
    int point = 0;
    double tRef = -300;           // reference temperature of the point, °C
    double nominal = 0;           // the temperature the point is listed under, °C
    std::optional<double> deltaC; // Δ, °C; absent without a computed deviation
};

// One finished verification of the thermocouple.
struct HistoryEntry {
    SensorUse use;
    int declaredClass = 0; // 1..3; 0 when the row holds no class
    std::vector<PointDeviation> points;
};

struct SensorHistory {
    StoredSensorKey sensor;
    int characteristicIndex = -1;      // -1: no characteristic (Δ then stays absent)
    int declaredClass = 0;             // of the latest verification
    std::vector<HistoryEntry> entries; // earliest first
    std::vector<double> nominals;      // temperatures of the columns, ascending
};

// The listing temperature of a point: its reference temperature rounded to
// 10 °C, so that the points of one set-point line up across the years.
double NominalTemperature(double tRef);

// The sensors among `found` of that type (type name or short name of the
// characteristic, letters in any case; empty: any) and year (0: any).
std::vector<StoredSensorKey> MatchingSensors(const std::vector<StoredSensorKey> &found,
                                             const QString &type, int year);

// The thermocouples of a verification's bunches, by channel and input;
// std::nullopt when a table cannot be opened (message shown).
std::optional<std::vector<StoredSensorKey>> SensorsOfVerification(Database &db, int poverkaID);

// Builds the history from what the tables gave (pure).
SensorHistory BuildSensorHistory(const StoredSensorKey &sensor, const SensorUses &uses);

// Reads and builds; std::nullopt when a table cannot be opened (message shown).
std::optional<SensorHistory> LoadSensorHistory(Database &db, const StoredSensorKey &sensor);

// The trend at one temperature and its forecast against the declared class.
struct TemperatureTrend {
    double nominal = 0;
    double tolerance = 0; // permitted deviation of the declared class there, °C
    std::vector<TrendSample> samples;
    std::optional<Trend> trend;
    Forecast forecast;
};

std::vector<TemperatureTrend> HistoryTrends(const SensorHistory &history);

// The lines shown beside the chart for one temperature.
QStringList TrendTexts(const TemperatureTrend &trend, int declaredClass);

} // namespace kront
