#pragma once

#include "model/ChannelBunches.h"
#include "model/CurrentVerification.h"
#include "settings/ProgramSettings.h"

#include <QObject>
#include <QStringList>
#include <functional>
#include <memory>

namespace kront
{

class Database;
class Dialogs;
class HelpKeyFilter;
class HelpViewer;
class TFormAbout;
class TFormMain;
class TFormMKRONTSettings;
class TFormProgress;
class TFormPoverkaTP;
class TFormSelectEtalSensorType;
class UnfinishedPanel;
class TFormSensorSet;
class TFormDBSensors;
class TFormEtalTP;
class EtalTPRegisterPage;
class ResultsWindows;
class TFormSensorHistory;

// The windows of the program, each created once, in this order, before the
// message loop starts:
//   TFormMain, TFormSensorSet, TFormPoverkaTP, TFormDBSensors,
//   TFormSelectEtalSensorType, TFormMKRONTSettings, TFormEtalTP,
//   TFormProgress, TFormAbout, TFormSelectSensorsForSvid, TFormSensorHistory.
// Their slots below are kept in the same order. The windows also own what
// lives for the whole run and hand it down to the windows that need it: the
// store, the program settings, the current verification and the channel
// bunches.
class ApplicationWindows : public QObject
{
    Q_OBJECT
public:
    // dialogs: the program's message boxes (a scripted set in tests).
    // portLister: the serial ports found; by default the system's.
    explicit ApplicationWindows(Dialogs &dialogs, QObject *parent = nullptr);
    ~ApplicationWindows() override;

    // Replaces how the settings window finds serial ports (tests).
    void setPortLister(std::function<QStringList()> lister);

    // Before the windows: the store the settings name. A server is connected
    // now; when it does not answer the operator is asked whether to work on
    // the table files of this computer instead. False when the operator
    // chose to end the program. Without this call the windows use the store
    // of the settings unconnected (it connects on its first operation).
    bool openStore();

    void create();

    TFormMain *FormMain() const { return formMain.get(); }
    TFormMKRONTSettings *FormMKRONTSettings() const { return formSettings; }
    TFormProgress *FormProgress() const { return formProgress; }
    TFormAbout *FormAbout() const { return formAbout; }
    TFormSensorSet *FormSensorSet() const { return formSensorSet; }
    TFormDBSensors *FormDBSensors() const { return formDBSensors; }
    TFormEtalTP *FormEtalTP() const { return formEtalTP; }
    TFormPoverkaTP *FormPoverkaTP() const { return formPoverkaTP; }
    TFormSelectEtalSensorType *FormSelectEtalSensorType() const { return formSelectEtalSensorType; }
    TFormSensorHistory *FormSensorHistory() const { return formSensorHistory; }
    UnfinishedPanel *PanelUnfinished() const { return panelUnfinished; }
    HelpViewer *Help() const { return helpViewer; }
    Database &database() const { return *db; }
    ProgramSettings &settings() { return programSettings; }
    CurrentVerification &verification() { return currentVerification; }
    ChannelBunches &bunches() { return channelBunches; }

    // The names of the windows created, in their order.
    QStringList creationOrder() const { return created; }

private:
    void showStore();
    void connectMainWindow();
    void createSensorSet();      // the connected-sensors editor
    void createEtalTP();         // the reference thermocouple editor and the register buttons
    void createPoverkaWindows(); // the verification wizard and the unfinished list
    void createSensorHistory(ResultsWindows &results); // "История датчика"
    void record(QObject *window);

    Dialogs &dialogs;
    std::function<QStringList()> portLister;
    std::unique_ptr<Database> db;
    QString serverStatus;           // "Сервер: ..." for the main window's status bar
    bool tableFilesInstead = false; // the server was away: the run works on the table files
    // Declared before the windows, which refer to them until they are gone.
    ProgramSettings programSettings;
    CurrentVerification currentVerification;
    ChannelBunches channelBunches;
    std::unique_ptr<TFormMain> formMain;
    TFormSensorSet *formSensorSet = nullptr; // TFormSensorSet: connected sensors
    TFormPoverkaTP *formPoverkaTP = nullptr; // TFormPoverkaTP: verification wizard
    TFormDBSensors *formDBSensors = nullptr; // TFormDBSensors: found sensors
    TFormSelectEtalSensorType *formSelectEtalSensorType = nullptr; // TFormSelectEtalSensorType
    UnfinishedPanel *panelUnfinished = nullptr;      // PanelUnfinished of the main window
    TFormMKRONTSettings *formSettings = nullptr;     // TFormMKRONTSettings
    TFormEtalTP *formEtalTP = nullptr;               // TFormEtalTP: reference thermocouple
    EtalTPRegisterPage *etalTPPage = nullptr;        // the register buttons of settings page 1
    TFormProgress *formProgress = nullptr;           // TFormProgress
    TFormAbout *formAbout = nullptr;                 // TFormAbout
    QObject *formSelectSensorsForSvid = nullptr;     // TFormSelectSensorsForSvid
    TFormSensorHistory *formSensorHistory = nullptr; // "История датчика"
    HelpViewer *helpViewer = nullptr;
    HelpKeyFilter *helpKeys = nullptr;
    QStringList created;
};

} // namespace kront
