#include "registry/RegistryPreview.h"

#include "common/text/StringFunctionsFormat.h"
#include "registry/ExportCandidates.h"
#include "registry/RegistryData.h"
#include "registry/RegistryRecord.h"
#include "registry/RegistryXml.h"

#include <QSet>
#include <algorithm>
#include <map>

namespace kront
{

namespace
{

using Key = std::pair<int, int>; // verification, thermocouple

} // namespace

int RegistryPreview::exportedBeforeCount() const
{
    return int(std::count_if(results.begin(), results.end(),
                             [](const Result &r) { return r.exportedBefore; }));
}

RegistryPreview PreviewOf(const std::vector<ExportCandidate> &candidates, const RegistryPlan &plan,
                          const std::vector<RegistryExportEntry> &log)
{
    std::map<Key, const ExportCandidate *> byKey;
    for (const ExportCandidate &c : candidates)
        byKey[{c.poverkaID, c.sensorID}] = &c;
    auto candidate = [&](int poverkaID, int sensorID) {
        static const ExportCandidate none;
        const auto it = byKey.find({poverkaID, sensorID});
        return it == byKey.end() ? &none : it->second;
    };
    QSet<QString> exported;
    for (const RegistryExportEntry &e : log)
        exported.insert(QStringLiteral("%1/%2").arg(e.poverkaID).arg(e.sensorID));

    RegistryPreview preview;
    for (const RegistryRecord &r : plan.records) {
        const ExportCandidate *c = candidate(r.poverkaID, r.sensorID);
        preview.results.push_back(
            {c->povNum, DateToStr(r.vrfDate), r.serialNum, c->typeName, r.typeNumber, r.fit,
             exported.contains(QStringLiteral("%1/%2").arg(r.poverkaID).arg(r.sensorID))});
    }
    for (const RegistryRefusal &r : plan.refusals)
        preview.refusals.push_back(
            {r.povNum, r.serialNum, candidate(r.poverkaID, r.sensorID)->typeName, r.reason});
    preview.fileCount = int(RegistryFileNames(QStringLiteral("x.xml"), plan.records.size()).size());
    return preview;
}

} // namespace kront
