#include "app/ui/ApplicationWindows.h"

#include "app/ui/HelpViewer.h"
#include "app/ui/SerialPorts.h"
#include "app/ui/TFormAbout.h"
#include "app/ui/TFormMKRONTSettings.h"
#include "app/ui/TFormMain.h"
#include "app/ui/TFormProgress.h"
#include "db/Database.h"
#include "db/StoreStart.h"
#include "history/ui/TFormSensorHistory.h"
#include "procedure/ui/TFormPoverkaTP.h"
#include "procedure/ui/TFormSelectEtalSensorType.h"
#include "procedure/ui/UnfinishedPanel.h"
#include "registry/ui/RegistryExportUi.h"
#include "registry/ui/RegistrySettingsPage.h"
#include "reports/ui/PanelSearch.h"
#include "reports/ui/ReportsUi.h"
#include "reports/ui/TFormSelectSensorsForSvid.h"
#include "sensors/ui/EtalTPRegisterPage.h"
#include "sensors/ui/TFormDBSensors.h"
#include "sensors/ui/TFormEtalTP.h"
#include "sensors/ui/TFormSensorSet.h"
#include "settings/ProgramSettings.h"
#include "settings/SettingsFile.h"

#include <QApplication>
#include <QLabel>
#include <QStatusBar>

namespace kront
{

ApplicationWindows::ApplicationWindows(Dialogs &dialogSet, QObject *parent)
    : QObject(parent), dialogs(dialogSet), portLister(&foundSerialPorts),
      db(std::make_unique<Database>(dialogSet))
{
}

ApplicationWindows::~ApplicationWindows() = default;

void ApplicationWindows::setPortLister(std::function<QStringList()> lister)
{
    portLister = std::move(lister);
}

bool ApplicationWindows::openStore()
{
    if (formMain)
        return true; // the windows hold the store they were made with
    QString kindError;
    const StoreSettings settings = loadStoreSettings(SettingsFile::defaultPath(), &kindError);
    if (!kindError.isEmpty())
        dialogs.warning(kindError);
    StartedStore started = startStore(settings, dialogs);
    if (!started.store)
        return false;
    db = std::make_unique<Database>(dialogs, std::move(started.store));
    serverStatus = started.serverStatus;
    tableFilesInstead = started.tableFilesInstead;
    return true;
}

// The main window names the server the run works on, or tells that the run
// works on the table files of this computer because the server was away.
void ApplicationWindows::showStore()
{
    if (!serverStatus.isEmpty()) {
        auto *label = new QLabel(serverStatus);
        label->setObjectName(QStringLiteral("LabelStore"));
        formMain->statusBar()->addPermanentWidget(label);
    }
    if (tableFilesInstead)
        formMain->setWindowTitle(kProgramTitle +
                                 QStringLiteral(" — файлы таблиц этого компьютера"));
}

void ApplicationWindows::record(QObject *window)
{
    created << window->objectName();
}

void ApplicationWindows::create()
{
    if (formMain)
        return; // each window exists once
    formMain = std::make_unique<TFormMain>(dialogs, channelBunches, currentVerification);
    TFormMain *main = formMain.get();
    showStore();
    helpViewer = new HelpViewer(main);
    helpKeys = new HelpKeyFilter(*helpViewer, this);
    qApp->installEventFilter(helpKeys);
    // The search panel lives in the main window from its creation on, so
    // that the creation handler resets its conditions.
    auto *results = new ResultsWindows(*db, dialogs, programSettings, this);
    main->setSearchPanel(results->createSearchPanel(main, [main] { main->ShowIdle(); }));
    main->handlers().resetSearchPanel = [results] { results->panel()->ButtonSearchResetClick(); };
    main->handlers().prepareSearchPanel = [results] { results->panel()->prepareForShow(); };
    connectMainWindow();
    main->FormCreate();
    record(main);

    createSensorSet();

    formPoverkaTP = new TFormPoverkaTP(*db, dialogs, programSettings, main);
    record(formPoverkaTP);

    formDBSensors = new TFormDBSensors(*db, main);
    formSensorSet->setChooser(formDBSensors);
    record(formDBSensors);

    formSelectEtalSensorType = new TFormSelectEtalSensorType(main);
    record(formSelectEtalSensorType);

    formSettings = new TFormMKRONTSettings(
        dialogs, programSettings,
        [this](const QString &failureText) {
            return db->select(tables::EtalSens, QString(), QStringLiteral("ID"), -1, failureText);
        },
        portLister, main);
    formSettings->setRegistryPage(new RegistrySettingsPage(*db, dialogs));
    record(formSettings);

    createEtalTP();

    formProgress = new TFormProgress(main);
    record(formProgress);
    formAbout = new TFormAbout(main);
    record(formAbout);
    createPoverkaWindows();

    // The conclusion page's protocol buttons print as the results search does.
    formPoverkaTP->setProtocolPrinter([this](int bunchID, int poverkaID) {
        printBunchProtocol(bunchID, poverkaID, currentVerification.Poverka(), *db, dialogs,
                           formPoverkaTP);
    });
    formSelectSensorsForSvid = results->createSensorChooser(main);
    record(formSelectSensorsForSvid);
    createSensorHistory(*results);
    connectRegistryExport(*results->panel(), *db, dialogs, programSettings, main);
}

void ApplicationWindows::createSensorHistory(ResultsWindows &results)
{
    TFormMain *main = formMain.get();
    formSensorHistory = new TFormSensorHistory(*db, dialogs, main);
    formSensorHistory->setProtocolOpener([this](int poverkaID, int channel) {
        printChannelProtocol(poverkaID, channel, *db, dialogs, formSensorHistory);
    });
    main->handlers().showSensorHistory = [this] { formSensorHistory->showEmpty(); };
    results.panel()->setSensorHistoryAction(
        [this](int poverkaID) { formSensorHistory->showSensorsOf(poverkaID); });
    record(formSensorHistory);
}

void ApplicationWindows::createSensorSet()
{
    TFormMain *main = formMain.get();
    formSensorSet = new TFormSensorSet(dialogs, *db, channelBunches, main);
    formSensorSet->setRowActions(main->action(QStringLiteral("ActionCopySensorString")),
                                 main->action(QStringLiteral("ActionPasteSensorString")),
                                 main->action(QStringLiteral("ActionClearSensorString")));
    formMain->handlers().showSensorSet = [this](int kind) { formSensorSet->showForKind(kind); };
    record(formSensorSet);
}

void ApplicationWindows::createEtalTP()
{
    formEtalTP = new TFormEtalTP(dialogs, *db, formMain.get());
    etalTPPage = new EtalTPRegisterPage(
        {formSettings->StringGridEtalTP, formSettings->ButtonAddEtalTP,
         formSettings->ButtonEditEtalTP, formSettings->ButtonDeleteEtalTP},
        formEtalTP, *db, dialogs, [this] { formSettings->RefreshGrid(); }, this);
    record(formEtalTP);
}

void ApplicationWindows::createPoverkaWindows()
{
    TFormMain *main = formMain.get();
    formPoverkaTP->setEtalChooser(formSelectEtalSensorType);
    formPoverkaTP->setLinkProgress(formProgress);
    formPoverkaTP->setHelpHandler([this](int topic) { helpViewer->showTopic(topic); });
    main->handlers().runPoverkaWizard = [this](TPoverka &poverka, TBi1 &bi1) {
        formPoverkaTP->ExecuteNew(poverka, bi1);
    };
    panelUnfinished = new UnfinishedPanel(*db, dialogs, currentVerification);
    panelUnfinished->setWizard(formPoverkaTP);
    panelUnfinished->setLeaveHandler([main] { main->ShowIdle(); });
    main->setUnfinishedPanel(panelUnfinished);
    main->handlers().prepareUnfinishedList = [this] { return panelUnfinished->ShowList(); };
}

void ApplicationWindows::connectMainWindow()
{
    TFormMain::Handlers &h = formMain->handlers();
    h.checkTables = [this] { return db->ensureTables(); };
    h.showSettings = [this](int page) {
        if (formSettings)
            formSettings->showPage(page);
    };
    h.showAbout = [this] {
        if (formAbout)
            formAbout->exec();
    };
    h.showHelpContents = [this] { helpViewer->showContents(); };
    h.closeHelp = [this] { helpViewer->close(); };
    // h.showSensorSet, h.runPoverkaWizard and h.resetSearchPanel are
    // connected when their windows are created above.
}

} // namespace kront
