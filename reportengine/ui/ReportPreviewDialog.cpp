#include "reportengine/ui/ReportPreviewDialog.h"

#include <QFileInfo>

#include "common/ui/HelpContext.h"
#include "reportengine/PagePainter.h"
#include "reportengine/ui/PreviewPagesWidget.h"

#include <QComboBox>
#include <QHBoxLayout>
#include <QKeySequence>
#include <QLabel>
#include <QPrintDialog>
#include <QPrinter>
#include <QPushButton>
#include <QScreen>
#include <QScrollArea>
#include <QScrollBar>
#include <QShortcut>
#include <QSpinBox>
#include <QToolButton>
#include <QVBoxLayout>
#include <QWheelEvent>
#include <algorithm>

namespace kront::report
{

namespace
{

struct ZoomChoice {
    const char *text;
    double zoom; // 0: fit the width, -1: fit the whole page
};
const ZoomChoice kZoomChoices[] = {
    {"50 %", 0.5},
    {"75 %", 0.75},
    {"100 %", 1.0},
    {"125 %", 1.25},
    {"150 %", 1.5},
    {"200 %", 2.0},
    {"По ширине страницы", 0},
    {"Страница целиком", -1},
};
constexpr int kFitWidthChoice = 6;

ReportPreviewDialog::PrintSetup &printSetupOverride()
{
    static ReportPreviewDialog::PrintSetup setup;
    return setup;
}

QPushButton *makeButton(const QString &text, const QString &name, QWidget *parent)
{
    auto *b = new QPushButton(text, parent);
    b->setObjectName(name);
    b->setAutoDefault(false);
    return b;
}

} // namespace

ReportPreviewDialog::ReportPreviewDialog(Report &r, Dialogs &d, QWidget *parent)
    : QDialog(parent), report(r), dialogs(d)
{
    const QString title = report.title();
    setWindowTitle(title.isEmpty() ? QStringLiteral("Предварительный просмотр")
                                   : QStringLiteral("Предварительный просмотр: ") + title);
    setWindowFlag(Qt::WindowMaximizeButtonHint, true);
    setHelpTopic(this, 16);
    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(4, 4, 4, 4);
    buildToolBar();

    pages = new PreviewPagesWidget(report.prepared());
    scroll = new QScrollArea(this);
    scroll->setWidget(pages);
    scroll->setAlignment(Qt::AlignHCenter);
    scroll->setBackgroundRole(QPalette::Dark);
    layout->addWidget(scroll, 1);
    connect(scroll->verticalScrollBar(), &QScrollBar::valueChanged, this,
            &ReportPreviewDialog::updatePageNumber);
    scroll->viewport()->installEventFilter(this);
    // A sheet wants all the height there is; a window frame's title bar is about 40 pixels.
    const QRect screen = this->screen()->availableGeometry();
    resize(std::min(900, screen.width()), std::min(1000, screen.height() - 40));
}

void ReportPreviewDialog::buildToolBar()
{
    auto *bar = new QHBoxLayout;
    auto *print = makeButton(QStringLiteral("Печать..."), QStringLiteral("ButtonPrint"), this);
    auto *save =
        makeButton(QStringLiteral("Сохранить в PDF..."), QStringLiteral("ButtonSavePdf"), this);
    auto *zoomOut = makeButton(QStringLiteral("−"), QStringLiteral("ButtonZoomOut"), this);
    auto *zoomIn = makeButton(QStringLiteral("+"), QStringLiteral("ButtonZoomIn"), this);
    zoomOut->setFixedWidth(32);
    zoomIn->setFixedWidth(32);
    zoomOut->setToolTip(QStringLiteral("Уменьшить"));
    zoomIn->setToolTip(QStringLiteral("Увеличить"));
    zoomBox = new QComboBox(this);
    zoomBox->setObjectName(QStringLiteral("ComboZoom"));
    for (const ZoomChoice &z : kZoomChoices)
        zoomBox->addItem(QString::fromUtf8(z.text));
    pageBox = new QSpinBox(this);
    pageBox->setObjectName(QStringLiteral("SpinPage"));
    const int count = int(report.prepared().pages.size());
    pageBox->setRange(1, std::max(1, count));
    pageCountLabel = new QLabel(QStringLiteral("из %1").arg(count), this);
    auto *close = makeButton(QStringLiteral("Закрыть"), QStringLiteral("ButtonClose"), this);

    bar->addWidget(print);
    bar->addWidget(save);
    bar->addSpacing(16);
    bar->addWidget(zoomOut);
    bar->addWidget(zoomBox);
    bar->addWidget(zoomIn);
    bar->addSpacing(16);
    bar->addWidget(new QLabel(QStringLiteral("Страница"), this));
    bar->addWidget(pageBox);
    bar->addWidget(pageCountLabel);
    bar->addStretch(1);
    bar->addWidget(close);
    static_cast<QVBoxLayout *>(layout())->addLayout(bar);

    connect(print, &QPushButton::clicked, this, [this] { printReport(); });
    connect(save, &QPushButton::clicked, this, [this] { saveAsPdf(); });
    connect(close, &QPushButton::clicked, this, &QDialog::reject);
    connect(zoomOut, &QPushButton::clicked, this, [this] { zoomBy(1 / 1.25); });
    connect(zoomIn, &QPushButton::clicked, this, [this] { zoomBy(1.25); });
    connect(zoomBox, &QComboBox::activated, this, &ReportPreviewDialog::applyZoomChoice);
    connect(pageBox, &QSpinBox::valueChanged, this, [this](int n) {
        if (n - 1 != currentPage())
            goToPage(n - 1);
    });
    new QShortcut(QKeySequence::Print, this, [this] { printReport(); });
    new QShortcut(QKeySequence::Save, this, [this] { saveAsPdf(); });
    new QShortcut(QKeySequence::ZoomIn, this, [this] { zoomBy(1.25); });
    new QShortcut(QKeySequence::ZoomOut, this, [this] { zoomBy(1 / 1.25); });
}

void ReportPreviewDialog::showEvent(QShowEvent *event)
{
    QDialog::showEvent(event);
    if (firstShow) {
        firstShow = false;
        zoomBox->setCurrentIndex(kFitWidthChoice);
        applyZoomChoice(kFitWidthChoice);
    }
}

bool ReportPreviewDialog::eventFilter(QObject *watched, QEvent *event)
{
    // Ctrl + wheel zooms, as in every document viewer.
    if (watched == scroll->viewport() && event->type() == QEvent::Wheel) {
        auto *wheel = static_cast<QWheelEvent *>(event);
        if (wheel->modifiers() & Qt::ControlModifier) {
            if (wheel->angleDelta().y() != 0)
                zoomBy(wheel->angleDelta().y() > 0 ? 1.25 : 1 / 1.25);
            return true;
        }
    }
    return QDialog::eventFilter(watched, event);
}

void ReportPreviewDialog::setPrintSetupOverride(PrintSetup setup)
{
    printSetupOverride() = std::move(setup);
}

void ReportPreviewDialog::applyZoomChoice(int index)
{
    if (index < 0 || index >= int(std::size(kZoomChoices)))
        return;
    const int page = currentPage();
    const double z = kZoomChoices[index].zoom;
    const QSize viewport = scroll->viewport()->size();
    if (z > 0)
        pages->setZoom(z);
    else if (z == 0)
        pages->setZoom(pages->zoomForWidth(page, viewport.width()));
    else
        pages->setZoom(pages->zoomForPage(page, viewport));
    goToPage(page);
}

void ReportPreviewDialog::zoomBy(double factor)
{
    const int page = currentPage();
    pages->setZoom(pages->zoom() * factor);
    zoomBox->setCurrentIndex(-1);
    zoomBox->setEditText(QString());
    goToPage(page);
}

int ReportPreviewDialog::currentPage() const
{
    return pages->pageAt(scroll->verticalScrollBar()->value() + scroll->viewport()->height() / 3);
}

void ReportPreviewDialog::goToPage(int index)
{
    scroll->verticalScrollBar()->setValue(pages->pageTop(index) - 8);
    updatePageNumber();
}

void ReportPreviewDialog::updatePageNumber()
{
    const QSignalBlocker block(pageBox);
    pageBox->setValue(currentPage() + 1);
}

bool ReportPreviewDialog::printReport()
{
    QPrinter printer(QPrinter::HighResolution);
    printer.setFullPage(true);
    printer.setPageSize(QPageSize(QPageSize::A4));
    printer.setDocName(report.title());
    if (printSetupOverride())
        return printSetupOverride()(printer) && printTo(printer);
    QPrintDialog dialog(&printer, this);
    dialog.setWindowTitle(QStringLiteral("Печать"));
    dialog.setMinMax(1, std::max(1, int(report.prepared().pages.size())));
    dialog.setOption(QAbstractPrintDialog::PrintPageRange, true);
    dialog.setOption(QAbstractPrintDialog::PrintCurrentPage, true);
    if (dialog.exec() != QDialog::Accepted)
        return false;
    return printTo(printer);
}

bool ReportPreviewDialog::printTo(QPrinter &printer)
{
    const int count = int(report.prepared().pages.size());
    std::vector<int> indexes;
    if (printer.printRange() == QPrinter::PageRange && printer.fromPage() > 0) {
        for (int n = printer.fromPage(); n <= std::min(printer.toPage(), count); ++n)
            indexes.push_back(n - 1);
    } else if (printer.printRange() == QPrinter::CurrentPage) {
        indexes.push_back(currentPage());
    }
    printer.setFullPage(true);
    QString error;
    if (!paintPages(printer, report.prepared(), indexes, &error)) {
        dialogs.error(QStringLiteral("Не удалось напечатать документ: ") + error);
        return false;
    }
    report.notifyPrinted();
    printed = true;
    return true;
}

bool ReportPreviewDialog::saveAsPdf()
{
    QString path =
        dialogs.saveFileName(QStringLiteral("Сохранить в PDF"), suggestedName,
                             QStringLiteral("Документ PDF (*.pdf)"), QStringLiteral("pdf"));
    if (path.isEmpty())
        return false;
    if (!path.endsWith(QLatin1String(".pdf"), Qt::CaseInsensitive))
        path += QLatin1String(".pdf");
    // The save dialog leaves the overwrite question to its callers.
    if (QFileInfo::exists(path) &&
        !dialogs.askYesNo(QStringLiteral("Файл '%1' уже существует. Заменить его?").arg(path)))
        return false;
    QString error;
    if (!writePdfFile(report.prepared(), path, &error)) {
        dialogs.error(QStringLiteral("Не удалось сохранить файл '%1': %2").arg(path, error));
        return false;
    }
    report.notifyPrinted();
    printed = true;
    return true;
}

} // namespace kront::report
