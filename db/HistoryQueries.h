#pragma once

#include <QDateTime>
#include <QString>

#include <array>
#include <optional>
#include <vector>

namespace kront
{

class Database;

// The reads behind the history of a sensor across its verifications. A
// thermocouple gets a new Sensors row at every verification, so one
// thermocouple is all the rows with its serial number, type name and year of
// manufacture. Each read joins the tables it needs in one read of the store;
// std::nullopt when a table cannot be opened or read (its message is shown).

// One stored sensor as the rows name it.
struct StoredSensorKey {
    QString serial;
    QString typeName;
    int prodYear = 0;
    QString nshType; // Latin code of its characteristic as stored
    bool operator==(const StoredSensorKey &) const = default;
};

// The distinct sensors with that serial number in Sensors (reference false)
// or EtalSens (reference true), ordered by type name and year.
std::optional<std::vector<StoredSensorKey>>
DBFindSensorsBySerial(Database &db, const QString &serial, bool reference);

// One verification a thermocouple took part in (finished verifications only).
struct SensorUse {
    int sensorID = 0;
    QString classDop; // declared class "1".."3" as stored
    int poverkaID = 0;
    int bunchID = 0;
    int channel = 0;
    int input = 0; // 1..4
    QString povNum;
    QDateTime finished;
    int kind = 0;     // 0 primary, 1 periodic
    int methodic = 0; // 0 direct measurement, 1 electrode comparison
    QString result;   // ResultInp: "1".."3", "Бр." or empty
    QString docNum;   // DocNumInp
};

// A calculation row of a bunch ("Average" or "Delta" of the stage
// "Calculation"); absent values are -300.
struct CalculationValues {
    int bunchID = 0;
    int point = 0; // MeasPointNum
    QString operation;
    int etalSensorType = 1; // 0 mercury thermometer, 1 reference thermocouple
    double tEt = -300;
    double tPret = -300;
    std::array<double, 5> input{-300, -300, -300, -300, -300}; // TEDSe1Inp1..4, [0] unused
};

struct SensorUses {
    std::vector<SensorUse> uses; // by finish, earliest first
    std::vector<CalculationValues> rows;
};

// Every finished verification of the thermocouple `key` with the
// calculation rows of its bunches.
std::optional<SensorUses> DBGetSensorUses(Database &db, const StoredSensorKey &key);

// One temperature point of a finished verification a reference served in.
struct ReferenceUse {
    int poverkaID = 0;
    int bunchID = 0;
    QDateTime finished;
    int point = 0;
    double tEt = -300; // furnace temperature read through the reference, °C
};

// The finished verifications a reference served in, and the furnace readings
// of the latest of them.
struct ReferenceUses {
    int verifications = 0;
    QDateTime first, last;
    std::vector<ReferenceUse> readings; // by finish
};

// The readings are taken from the latest this many verifications: a reference
// of twenty years serves in thousands, and its recent readings tell whether
// it is going bad.
inline constexpr int kReferenceReadingVerifications = 100;

// The use of the EtalSens row(s) of `key` as a channel's reference, with the
// "Average" rows of the latest kReferenceReadingVerifications verifications.
std::optional<ReferenceUses> DBGetReferenceUses(Database &db, const StoredSensorKey &key);

} // namespace kront
