#pragma once

#include "common/Dialogs.h"
#include "reportengine/Report.h"

#include <QDialog>
#include <functional>

class QComboBox;
class QLabel;
class QPrinter;
class QScrollArea;
class QSpinBox;

namespace kront::report
{

class PreviewPagesWidget;

// The modal preview of a prepared report: its sheets with zoom and page
// navigation, printing through the system's printers and saving as PDF.
// Printing or saving a PDF runs the template's print actions
// (Report::notifyPrinted), closing the window without either does not.
// Buttons carry object names ButtonPrint, ButtonSavePdf and ButtonClose.
class ReportPreviewDialog : public QDialog
{
    Q_OBJECT
public:
    ReportPreviewDialog(Report &report, Dialogs &dialogs, QWidget *parent = nullptr);

    // The file name offered when saving as PDF (without or with a folder).
    void setSuggestedFileName(const QString &name) { suggestedName = name; }

    // Sets up the printer instead of the system's print dialog (false:
    // cancelled). For harnesses that print without a person; empty restores
    // the dialog.
    using PrintSetup = std::function<bool(QPrinter &printer)>;
    static void setPrintSetupOverride(PrintSetup setup);

    // Shows the system's print dialog and prints the chosen pages.
    bool printReport();
    // Prints to a printer already set up (page range taken from it).
    bool printTo(QPrinter &printer);
    // Asks for a file name and writes the whole report as PDF.
    bool saveAsPdf();

    bool wasPrinted() const { return printed; }
    int currentPage() const; // from 0
    void goToPage(int index);
    PreviewPagesWidget *pagesWidget() const { return pages; }

protected:
    void showEvent(QShowEvent *event) override;
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void buildToolBar();
    void applyZoomChoice(int index);
    void zoomBy(double factor);
    void updatePageNumber();

    Report &report;
    Dialogs &dialogs;
    QString suggestedName;
    bool printed = false;
    bool firstShow = true;

    PreviewPagesWidget *pages = nullptr;
    QScrollArea *scroll = nullptr;
    QComboBox *zoomBox = nullptr;
    QSpinBox *pageBox = nullptr;
    QLabel *pageCountLabel = nullptr;
};

} // namespace kront::report
