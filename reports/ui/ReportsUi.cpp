#include "reports/ui/ReportsUi.h"

#include "common/Dialogs.h"
#include "model/TPoverka.h"
#include "reportengine/ui/ReportViewer.h"
#include "reports/PoverkaLoader.h"
#include "reports/ProtocolPrinter.h"
#include "reports/ReportContext.h"
#include "reports/SvidIssuer.h"
#include "reports/ui/PanelSearch.h"
#include "reports/ui/TFormSelectSensorsForSvid.h"

namespace kront
{

namespace
{

ReportPresenter previewIn(Dialogs &dialogs, QWidget *parent)
{
    return [&dialogs, parent](report::Report &r, const QString &name) {
        report::showReport(r, dialogs, parent, name);
    };
}

} // namespace

bool printChannelProtocol(TPoverka &poverka, int channel, Database &db, Dialogs &dialogs,
                          QWidget *parent)
{
    ReportContext ctx(db);
    ProtocolPrinter printer(ctx, dialogs, previewIn(dialogs, parent));
    return printer.PrintChannel(poverka, channel);
}

bool printChannelProtocol(int poverkaID, int channel, Database &db, Dialogs &dialogs,
                          QWidget *parent)
{
    ReportContext ctx(db);
    ProtocolPrinter printer(ctx, dialogs, previewIn(dialogs, parent));
    return printer.PrintStored(poverkaID, channel) > 0;
}

bool printBunchProtocol(int bunchID, int poverkaID, TPoverka *open, Database &db, Dialogs &dialogs,
                        QWidget *parent)
{
    ReportContext ctx(db);
    ProtocolPrinter printer(ctx, dialogs, previewIn(dialogs, parent));
    if (open && open->ID == poverkaID)
        return printer.PrintProtocolBunch(*open, bunchID, poverkaID);
    const std::unique_ptr<TPoverka> stored = LoadPoverkaForProtocol(db, dialogs, poverkaID);
    return stored && printer.PrintProtocolBunch(*stored, bunchID, poverkaID);
}

ResultsWindows::ResultsWindows(Database &database, Dialogs &dialogSet, ProgramSettings &settings,
                               QObject *parent)
    : QObject(parent), db(database), dialogs(dialogSet), programSettings(settings),
      ctx(std::make_unique<ReportContext>(database))
{
}

ResultsWindows::~ResultsWindows() = default;

PanelSearch *ResultsWindows::createSearchPanel(QWidget *mainWindow, std::function<void()> close)
{
    window = mainWindow;
    PanelSearch::Actions actions;
    actions.printProtocol = [this](int id) { ButtonPrintProtocolClick(id); };
    actions.issueDocuments = [this](int id) { ButtonSvidClick(id); };
    actions.close = std::move(close);
    searchPanel = new PanelSearch(db, std::move(actions));
    return searchPanel;
}

TFormSelectSensorsForSvid *ResultsWindows::createSensorChooser(QWidget *parent)
{
    if (!sensorChooser)
        sensorChooser = new TFormSelectSensorsForSvid(parent);
    return sensorChooser;
}

void ResultsWindows::ButtonPrintProtocolClick(int poverkaID)
{
    ProtocolPrinter printer(*ctx, dialogs, previewIn(dialogs, window));
    printer.printProtocols(poverkaID);
}

void ResultsWindows::ButtonSvidClick(int poverkaID)
{
    TFormSelectSensorsForSvid *chooser = createSensorChooser(window);
    SvidIssuer issuer(
        *ctx, dialogs, programSettings,
        [chooser](const std::vector<TSensOpts> &sensors) { return chooser->choose(sensors); },
        previewIn(dialogs, window));
    issuer.issueDocuments(poverkaID);
}

} // namespace kront
