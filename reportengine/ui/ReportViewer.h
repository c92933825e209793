#pragma once

#include "common/Dialogs.h"
#include "reportengine/Report.h"

#include <QString>

class QWidget;

namespace kront::report
{

enum class ShowResult {
    Shown,     // the preview was shown and closed (printed or not: see the template's variables)
    Cancelled, // the operator cancelled a dialog page; nothing was prepared
    Failed,    // no template loaded; the reason was shown
};

// What showing a report means for the program: the visible dialog pages of
// the template one after the other (their fields edit variables), then the
// preparation with the value callback, then the modal preview from which the
// operator prints or saves a PDF. `suggestedPdfName` is offered when saving.
ShowResult showReport(Report &report, Dialogs &dialogs, QWidget *parent = nullptr,
                      const QString &suggestedPdfName = {});

// Shows only the visible dialog pages; false when the operator cancelled one.
bool runDialogPages(Report &report, QWidget *parent = nullptr);

} // namespace kront::report
