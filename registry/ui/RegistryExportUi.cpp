#include "registry/ui/RegistryExportUi.h"

#include "common/AppHome.h"
#include "common/Clock.h"
#include "registry/ExportCandidates.h"
#include "registry/RegistryData.h"
#include "registry/RegistryExport.h"
#include "registry/RegistryExportFlow.h"
#include "registry/ui/TFormRegistryExport.h"
#include "reports/ui/PanelSearch.h"
#include "settings/ProgramSettings.h"

#include <QDir>
#include <memory>

namespace kront
{

namespace
{

// The file offered: one per export in the home folder, named by the moment.
QString offeredFile()
{
    return QDir(AppHome::dir())
        .filePath(QStringLiteral("arshin-") +
                  programClock().now().toString(QStringLiteral("yyyyMMdd-HHmm")) +
                  QStringLiteral(".xml"));
}

} // namespace

void connectRegistryExport(PanelSearch &panel, Database &db, Dialogs &dialogs,
                           const ProgramSettings &settings, QWidget *parent)
{
    PanelSearch::RegistryExport actions;
    actions.exportedPoverkaIDs = [&db] {
        QSet<int> ids;
        if (const auto exported = ExportedPoverkaIDs(db))
            for (int id : *exported)
                ids.insert(id);
        return ids;
    };
    actions.run = [&db, &dialogs, &settings, parent](const std::vector<int> &poverkaIDs) {
        auto plan = std::make_shared<RegistryPlan>();
        RegistryExportFlow flow(
            dialogs,
            [&](const std::vector<int> &ids) -> std::optional<RegistryPreview> {
                const auto candidates =
                    GatherCandidates(db, dialogs, ids, settings.reduceResultClass());
                const auto data = LoadRegistryData(db);
                const auto log = LoadRegistryExports(db);
                if (!candidates || !data || !log)
                    return std::nullopt;
                *plan = PlanRegistryExport(*candidates, *data);
                return PreviewOf(*candidates, *plan, *log);
            },
            [&](const QString &file) {
                return WriteRegistryExport(db, dialogs, *plan, file, programClock().now());
            },
            [&](const RegistryPreview &preview, const QString &file) -> std::optional<QString> {
                TFormRegistryExport window(dialogs, parent);
                window.showPreview(preview, file);
                if (window.exec() != QDialog::Accepted)
                    return std::nullopt;
                return window.fileName();
            });
        flow.run(poverkaIDs, offeredFile());
    };
    panel.setRegistryExport(std::move(actions));
}

} // namespace kront
