#pragma once

#include "E2eScenario.h"

#include <QDateTime>
#include <QElapsedTimer>
#include <QObject>
#include <QStringList>
#include <array>

class QTimer;

namespace kront
{
struct ChannelControls;
class ApplicationWindows;
class TFormPoverkaTP;
class TFormSelectEtalSensorType;
} // namespace kront

namespace kront::e2e
{

class E2eDialogs;
class SimProcess;
class TestCluster;

// Plays a scenario through the program's real windows: registers the
// reference thermocouples, commits the connected sensors in their editor,
// starts a verification from the main window and drives the wizard page by
// page as an operator would, closing and resuming it where the scenario
// says. A timer looks at what is shown and acts; modal windows run their own
// event loops, inside which the timer keeps firing.
class WizardDriver : public QObject
{
    Q_OBJECT
public:
    WizardDriver(Scenario &scenario, ApplicationWindows &windows, E2eDialogs &dialogs,
                 SimProcess &sim);

    // Reference register and connected sensors; false with the reason.
    bool setUp(QString &error);
    // Plays the scenario; returns when it is over (or failed).
    void run();

    bool failed() const { return !failure.isEmpty(); }
    QString failureText() const { return failure; }
    // Page 5 as it was shown: cells [channel][input][col].
    std::array<std::array<QStringList, 5>, 3> conclusion;
    int presses = 0;
    int completedSteps = 0;
    int resumptions = 0;

    // A text of a channel's message panel, with the program time it appeared.
    struct ShownStatus {
        int channel = 0;
        QString text;
        QDateTime at;
    };
    std::vector<ShownStatus> statuses; // each change of a panel's text, in order
    QStringList measuredValues; // each change of a shown "Измеренное значение"
    QStringList resumedStates;  // CurrPovState at each continuation from the list
    QStringList windowTitles;   // each title the wizard was seen with
    // Filled after the run: the printed protocol's text, the last step
    // written for the simulator's control window.
    QString protocolText, expectedStep;

    // Where pictures of the wizard's pages are saved (wizard-measuring.png
    // after a few recordings, wizard-conclusion.png); empty for none.
    QString shotsDir;

    // The references are in the register already (a register shared with
    // other installations, filled before they started): they are not entered
    // again, only looked for.
    bool referencesRegistered = false;

    // The tests' database server the scenario's server events stop and start.
    TestCluster *cluster = nullptr;
    // Starts the server again when the run ended with it stopped; false with the reason.
    bool restoreServer(QString &error);

    // The furnace set-point of the run the wizard is starting now.
    double furnaceForRun() const;

private:
    enum class Phase { Start, Running, ResumePending, Done };

    bool registerReferences(QString &error);
    bool commitSensors(QString &error);
    void tick();
    void handleChooser(TFormSelectEtalSensorType *chooser);
    void handleWizard(TFormPoverkaTP *w);
    void fillPage1(TFormPoverkaTP *w);
    void fillPage3(TFormPoverkaTP *w);
    void measure(TFormPoverkaTP *w);
    bool interruptNow(TFormPoverkaTP *w, Interruption::When when, int count);
    void wizardReturned();
    void watchMessage(const QString &text);
    void restartAfterStop();
    void runSimCommands();
    void playServerEvents(ServerEvent::When when, const QString &message = QString());
    void channelControlsShown(int channel, const ChannelControls &controls);
    void fail(const QString &why);
    void takeShot(QWidget *w, int page);
    QString lastDialogText() const;

    Scenario &sc;
    ApplicationWindows &windows;
    E2eDialogs &dialogs;
    SimProcess &sim;
    QTimer *timer;
    QElapsedTimer elapsed;
    Phase phase = Phase::Start;
    bool acting = false;
    bool interrupted = false;
    bool finishPressed = false;
    size_t nextInterruption = 0;
    size_t nextSimCommand = 0;
    size_t nextReopen = 0;
    size_t nextServerEvent = 0;
    bool serverStopped = false;
    qsizetype nextStop = 0;
    bool stopPending = false; // the program stopped; its wizard is still to be closed
    qint64 waitUntilMs = -1;  // an interruption waits until then
    std::array<QString, 3> lastStatus;
    int stuckTicks = 0;
    QString failure;
    TFormPoverkaTP *wizard = nullptr;
    void shootOnce(bool now, const QString &name);
    bool claimShot(const QString &name);
    void saveShot(QWidget *w, const QString &name);
    QStringList shotsTaken;
};

} // namespace kront::e2e
