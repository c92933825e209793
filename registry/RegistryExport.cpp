#include "registry/RegistryExport.h"

#include "common/Dialogs.h"
#include "registry/ExportCandidates.h"
#include "registry/RegistryData.h"
#include "registry/RegistryLimits.h"
#include "registry/RegistryXml.h"

#include <QFileInfo>

namespace kront
{

std::optional<RegistryPlan> PrepareRegistryExport(Database &db, Dialogs &dialogs,
                                                  const std::vector<int> &poverkaIDs,
                                                  bool reduceResultClass)
{
    const auto data = LoadRegistryData(db);
    if (!data)
        return std::nullopt;
    const auto candidates = GatherCandidates(db, dialogs, poverkaIDs, reduceResultClass);
    if (!candidates)
        return std::nullopt;
    return PlanRegistryExport(*candidates, *data);
}

std::optional<QStringList> WriteRegistryExport(Database &db, Dialogs &dialogs,
                                               const RegistryPlan &plan, const QString &path,
                                               const QDateTime &now)
{
    QString error;
    const auto files = WriteRegistryFiles(path, plan.records, error);
    if (!files) {
        dialogs.error(error);
        return std::nullopt;
    }
    std::vector<RegistryExportEntry> log;
    for (std::size_t i = 0; i < plan.records.size(); ++i) {
        const RegistryRecord &r = plan.records[i];
        log.push_back({r.sensorID, r.poverkaID, now,
                       QFileInfo((*files)[qsizetype(i / kMaxResultsPerFile)]).fileName()});
    }
    if (!log.empty() && !AddRegistryExports(db, dialogs, log))
        return std::nullopt;
    return files;
}

} // namespace kront
