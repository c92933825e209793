#pragma once

#include "registry/RegistryRecord.h"

#include <QDateTime>
#include <QStringList>

#include <optional>
#include <vector>

namespace kront
{

class Database;
class Dialogs;

// What an export of the verifications would write and refuse (the preview): their thermocouples
// checked against the registry data of the settings and the tables. nullopt after a table's
// message.
std::optional<RegistryPlan> PrepareRegistryExport(Database &db, Dialogs &dialogs,
                                                  const std::vector<int> &poverkaIDs,
                                                  bool reduceResultClass);

// Writes the plan's records into `path` (split into parts of kMaxResultsPerFile) and logs each
// thermocouple with the file that holds it and `now`. The files written; nullopt after the
// message of a file or the log table.
std::optional<QStringList> WriteRegistryExport(Database &db, Dialogs &dialogs,
                                               const RegistryPlan &plan, const QString &path,
                                               const QDateTime &now);

} // namespace kront
