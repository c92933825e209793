#pragma once

#include "settings/RegistrySettings.h"

#include <QDateTime>
#include <QString>

#include <optional>
#include <vector>

namespace kront
{

class Database;
class Dialogs;

// The registry data of one thermocouple type of the register of verified sensors (TypeName).
struct SensorTypeEntry {
    QString typeName;     // as the register writes it, e.g. "ТХА"
    QString typeNumber;   // number of the type in the state register, "NNNNN-YY"
    QString modification; // modification of the type; "-" when it has none
    int intervalMonths = 0;
};

// An auxiliary instrument of the installation (voltmeter, furnace controller...).
struct AuxiliaryInstrument {
    QString kind;       // what it is, for the operator
    QString typeNumber; // number of the type in the state register
    QString serialNum;
};

// The registration number as a standard of a reference thermocouple (its EtalSens row).
struct ReferenceRegNumber {
    int etalSensID = 0;
    QString regNumber;
};

struct InstallationMeans {
    std::vector<AuxiliaryInstrument> instruments;
    std::vector<ReferenceRegNumber> references;
    // The number of the reference etalSensID; empty when it has none.
    QString regNumberOf(int etalSensID) const;
};

// One thermocouple written to an import file.
struct RegistryExportEntry {
    int sensorID = 0;
    int poverkaID = 0;
    QDateTime exported;
    QString fileName;
};

// Every piece of registry data: the settings and the three tables.
struct RegistryData {
    RegistrySettings settings;
    std::vector<SensorTypeEntry> sensorTypes;
    InstallationMeans means;
    // The entry of the type; nullptr when the type has none.
    const SensorTypeEntry *sensorType(const QString &typeName) const;
};

// The tables' rows; nullopt after the table's message when it cannot be read. A home made before
// the tables existed reads as empty.
std::optional<std::vector<SensorTypeEntry>> LoadSensorTypes(Database &db);
std::optional<InstallationMeans> LoadInstallationMeans(Database &db);
std::optional<std::vector<RegistryExportEntry>> LoadRegistryExports(Database &db);
// The settings from the program's settings file and the tables; nullopt as above.
std::optional<RegistryData> LoadRegistryData(Database &db);

// Each replaces the whole table with the given rows in one transaction; false after the message
// of the check below or the table's. Rows with an empty type name (instrument kind and type
// number, reference number) are left out.
bool SaveSensorTypes(Database &db, Dialogs &dialogs, const std::vector<SensorTypeEntry> &types);
bool SaveInstallationMeans(Database &db, Dialogs &dialogs, const InstallationMeans &means);
// Appends the rows (one per exported thermocouple); false after the table's message.
bool AddRegistryExports(Database &db, Dialogs &dialogs,
                        const std::vector<RegistryExportEntry> &entries);
// The IDs of the verifications with at least one thermocouple exported (the search's marks).
std::optional<std::vector<int>> ExportedPoverkaIDs(Database &db);

// The message naming the first bad row, empty when all are good (the settings page calls it
// before saving): a duplicate or empty type name, a type number or modification too long, an
// interval outside 1..240 months.
QString sensorTypesError(const std::vector<SensorTypeEntry> &types);
QString installationMeansError(const InstallationMeans &means);

} // namespace kront
