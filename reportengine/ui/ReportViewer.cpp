#include "reportengine/ui/ReportViewer.h"

#include "reportengine/DialogBinding.h"
#include "reportengine/ui/ReportPreviewDialog.h"
#include "reportengine/ui/TemplateDialogWindow.h"

namespace kront::report
{

bool runDialogPages(Report &report, QWidget *parent)
{
    for (DialogPage *page : visibleDialogPages(report)) {
        TemplateDialogWindow window(report, *page, parent);
        if (window.exec() != QDialog::Accepted)
            return false;
    }
    return true;
}

ShowResult showReport(Report &report, Dialogs &dialogs, QWidget *parent,
                      const QString &suggestedPdfName)
{
    if (!report.isLoaded()) {
        dialogs.error(QStringLiteral("Шаблон отчёта не загружен. Операция не выполнена."));
        return ShowResult::Failed;
    }
    if (!runDialogPages(report, parent))
        return ShowResult::Cancelled;
    if (!report.prepare()) {
        dialogs.error(report.errorString());
        return ShowResult::Failed;
    }
    ReportPreviewDialog preview(report, dialogs, parent);
    preview.setSuggestedFileName(suggestedPdfName);
    preview.setWindowState(preview.windowState() | Qt::WindowMaximized);
    preview.exec();
    return ShowResult::Shown;
}

} // namespace kront::report
