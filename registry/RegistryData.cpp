#include "registry/RegistryData.h"

#include "common/Dialogs.h"
#include "db/Database.h"

#include <QSet>

#include <set>

namespace kront
{

namespace
{

constexpr int kMaxIntervalMonths = 240;

// The rows of an added table in table order; empty when a home made before it has no file yet.
std::optional<std::vector<QVariantMap>> rowsOf(Database &db, const TableSchema &table)
{
    if (!db.hasTable(table))
        return std::vector<QVariantMap>{};
    return db.select(table, QString());
}

QString text(const QVariantMap &row, const char *field)
{
    return row.value(QLatin1String(field)).toString();
}

QString tooLong(const QString &what, int row, int limit)
{
    return QStringLiteral("Строка %1: %2 длиннее %3 символов.").arg(row).arg(what).arg(limit);
}

} // namespace

QString InstallationMeans::regNumberOf(int etalSensID) const
{
    for (const ReferenceRegNumber &r : references) {
        if (r.etalSensID == etalSensID)
            return r.regNumber;
    }
    return {};
}

const SensorTypeEntry *RegistryData::sensorType(const QString &typeName) const
{
    const QString wanted = typeName.trimmed();
    for (const SensorTypeEntry &t : sensorTypes) {
        if (t.typeName.trimmed().compare(wanted, Qt::CaseInsensitive) == 0)
            return &t;
    }
    return nullptr;
}

std::optional<std::vector<SensorTypeEntry>> LoadSensorTypes(Database &db)
{
    const auto rows = rowsOf(db, tables::SensorTypes);
    if (!rows)
        return std::nullopt;
    std::vector<SensorTypeEntry> types;
    for (const QVariantMap &r : *rows) {
        types.push_back({text(r, "TypeName"), text(r, "TypeNumber"), text(r, "Modification"),
                         r.value(QStringLiteral("IntervalMonths")).toInt()});
    }
    return types;
}

std::optional<InstallationMeans> LoadInstallationMeans(Database &db)
{
    const auto rows = rowsOf(db, tables::Means);
    if (!rows)
        return std::nullopt;
    InstallationMeans means;
    for (const QVariantMap &r : *rows) {
        const int etalSensID = r.value(QStringLiteral("EtalSensID")).toInt();
        if (etalSensID > 0)
            means.references.push_back({etalSensID, text(r, "RegNumber")});
        else
            means.instruments.push_back(
                {text(r, "Kind"), text(r, "TypeNumber"), text(r, "SerialNum")});
    }
    return means;
}

std::optional<std::vector<RegistryExportEntry>> LoadRegistryExports(Database &db)
{
    const auto rows = rowsOf(db, tables::RegistryExports);
    if (!rows)
        return std::nullopt;
    std::vector<RegistryExportEntry> entries;
    for (const QVariantMap &r : *rows) {
        entries.push_back({r.value(QStringLiteral("SensorID")).toInt(),
                           r.value(QStringLiteral("PoverkaID")).toInt(),
                           r.value(QStringLiteral("Exported")).toDateTime(), text(r, "FileName")});
    }
    return entries;
}

std::optional<RegistryData> LoadRegistryData(Database &db)
{
    RegistryData data;
    data.settings = loadRegistrySettings();
    auto types = LoadSensorTypes(db);
    auto means = LoadInstallationMeans(db);
    if (!types || !means)
        return std::nullopt;
    data.sensorTypes = std::move(*types);
    data.means = std::move(*means);
    return data;
}

bool SaveSensorTypes(Database &db, Dialogs &dialogs, const std::vector<SensorTypeEntry> &types)
{
    std::vector<SensorTypeEntry> kept;
    for (const SensorTypeEntry &t : types) {
        if (!t.typeName.trimmed().isEmpty())
            kept.push_back({t.typeName.trimmed(), t.typeNumber.trimmed(), t.modification.trimmed(),
                            t.intervalMonths});
    }
    // Nothing is cut to the columns' sizes: a bad row is refused with its message.
    if (const QString error = sensorTypesError(kept); !error.isEmpty()) {
        dialogs.error(error);
        return false;
    }
    const TableSchema &table = tables::SensorTypes;
    if (!db.ensureTable(table))
        return false;
    std::vector<TableRow> rows;
    for (const SensorTypeEntry &t : kept) {
        rows.push_back(TableRow(table, {{"TypeName", t.typeName},
                                        {"TypeNumber", t.typeNumber},
                                        {"Modification", t.modification},
                                        {"IntervalMonths", t.intervalMonths}}));
    }
    return db.replaceRows(table, rows);
}

bool SaveInstallationMeans(Database &db, Dialogs &dialogs, const InstallationMeans &means)
{
    if (const QString error = installationMeansError(means); !error.isEmpty()) {
        dialogs.error(error);
        return false;
    }
    const TableSchema &table = tables::Means;
    if (!db.ensureTable(table))
        return false;
    std::vector<TableRow> rows;
    for (const AuxiliaryInstrument &i : means.instruments) {
        if (!i.kind.trimmed().isEmpty() || !i.typeNumber.trimmed().isEmpty())
            rows.push_back(TableRow(table, {{"EtalSensID", 0},
                                            {"Kind", i.kind},
                                            {"TypeNumber", i.typeNumber},
                                            {"SerialNum", i.serialNum}}));
    }
    for (const ReferenceRegNumber &r : means.references) {
        if (r.etalSensID > 0 && !r.regNumber.trimmed().isEmpty())
            rows.push_back(TableRow(
                table, {{"EtalSensID", r.etalSensID}, {"RegNumber", r.regNumber.trimmed()}}));
    }
    return db.replaceRows(table, rows);
}

bool AddRegistryExports(Database &db, Dialogs &, const std::vector<RegistryExportEntry> &entries)
{
    const TableSchema &table = tables::RegistryExports;
    if (!db.ensureTable(table))
        return false;
    std::vector<TableRow> rows;
    for (const RegistryExportEntry &e : entries) {
        rows.push_back(TableRow(table, {{"SensorID", e.sensorID},
                                        {"PoverkaID", e.poverkaID},
                                        {"Exported", e.exported},
                                        {"FileName", e.fileName}}));
    }
    return db.insertRows(table, rows);
}

std::optional<std::vector<int>> ExportedPoverkaIDs(Database &db)
{
    const auto entries = LoadRegistryExports(db);
    if (!entries)
        return std::nullopt;
    std::set<int> ids;
    for (const RegistryExportEntry &e : *entries)
        ids.insert(e.poverkaID);
    return std::vector<int>(ids.begin(), ids.end());
}

QString sensorTypesError(const std::vector<SensorTypeEntry> &types)
{
    QSet<QString> names;
    for (std::size_t i = 0; i < types.size(); ++i) {
        const SensorTypeEntry &t = types[i];
        const int row = int(i) + 1;
        const QString name = t.typeName.trimmed().toUpper();
        if (name.isEmpty())
            return QStringLiteral("Строка %1: не задан тип датчика.").arg(row);
        if (name.size() > 20)
            return tooLong(QStringLiteral("тип датчика"), row, 20);
        if (names.contains(name))
            return QStringLiteral("Строка %1: тип %2 уже есть в таблице.").arg(row).arg(t.typeName);
        names.insert(name);
        if (t.typeNumber.size() > 32)
            return tooLong(QStringLiteral("номер в ГРСИ"), row, 32);
        if (t.modification.size() > 128)
            return tooLong(QStringLiteral("модификация"), row, 128);
        if (t.intervalMonths < 1 || t.intervalMonths > kMaxIntervalMonths)
            return QStringLiteral("Строка %1: межповерочный интервал должен быть от 1 до %2 мес.")
                .arg(row)
                .arg(kMaxIntervalMonths);
    }
    return {};
}

QString installationMeansError(const InstallationMeans &means)
{
    for (std::size_t i = 0; i < means.instruments.size(); ++i) {
        const AuxiliaryInstrument &m = means.instruments[i];
        const int row = int(i) + 1;
        if (m.kind.size() > 60)
            return tooLong(QStringLiteral("вид средства"), row, 60);
        if (m.typeNumber.size() > 32)
            return tooLong(QStringLiteral("номер в ГРСИ"), row, 32);
        if (m.serialNum.size() > 128)
            return tooLong(QStringLiteral("заводской номер"), row, 128);
    }
    for (const ReferenceRegNumber &r : means.references) {
        if (r.regNumber.size() > 32)
            return QStringLiteral("Регистрационный номер эталона длиннее 32 символов.");
    }
    return {};
}

} // namespace kront
