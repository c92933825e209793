// kront-e2e: plays a scenario through the program's real windows, offscreen,
// against kront-taver-sim on a pseudo-terminal, and checks what was stored.
//
//   kront-e2e [--home DIR] [--keep-home] [--shots DIR] [--sim PROGRAM] [--show]
//             [--server-database KEYWORDS|URL] [--installation NAME]
//             [--references-registered] SCENARIO
//   kront-e2e [--home DIR] [--sim PROGRAM] --together SCENARIO SCENARIO
//
// Exit code 0 when the scenario went as expected. The home (tables, settings,
// the simulator's scenario and frame log) stays for inspection. With
// --keep-home a home an earlier run made keeps its tables, so that several
// scenarios fill one home (the demo data is made so). With
// KRONT_TEST_STORE=postgresql the home keeps its tables in a fresh database of
// the tests' server (KRONT_TEST_PG), dropped when the scenario ends; without
// KRONT_TEST_PG the scenario is skipped (exit code 77). A kept home stays on
// its table files. With --server-database the tables are in that database
// instead (connection keywords with dbname, or postgresql://USER@HOST:PORT/DB),
// which is left as it is at the end; the run then prints the rows of its
// verification ("verification rows: ..."). --installation names the
// installation in the home's settings. With --references-registered the
// reference thermocouples are not entered into the register but looked for
// there (a register shared with other installations). --together plays the
// scenarios at once on one shared database (Together.h). With --shots the
// wizard's pages and, at the end, the main window with the results search
// of the home are saved as pictures in DIR (scripts/screenshots.sh).
#include "AcceleratedClock.h"
#include "E2eDialogs.h"
#include "E2eHome.h"
#include "E2eScenario.h"
#include "Expectations.h"
#include "Printouts.h"
#include "SimProcess.h"
#include "StoreOption.h"
#include "TestCluster.h"
#include "Together.h"
#include "VerificationRows.h"
#include "WizardDriver.h"
#include "app/ui/ApplicationWindows.h"
#include "app/ui/TFormMain.h"
#include "app/ui/TrainingWindows.h"
#include "common/AppHome.h"
#include "common/TrainingMode.h"
#include "reports/ui/PanelSearch.h"
#include "settings/ProgramSettings.h"
#include "tests/support/TestServer.h"

#include <QApplication>
#include <QDir>
#include <QFileInfo>
#include <QLocale>
#include <QTextStream>
#include <optional>

using namespace kront;
using namespace kront::e2e;

namespace
{

struct Options {
    QString home;
    QString sim;
    QString scenario;
    QString shots;
    QString serverDatabase;
    QString installation;
    QStringList together;
    bool show = false;
    bool keepHome = false;
    bool referencesRegistered = false;
};

const QString kUsage = QStringLiteral(
    "usage: kront-e2e [--home DIR] [--keep-home] [--shots DIR] [--sim PROGRAM] [--show] "
    "[--server-database KEYWORDS|URL] [--installation NAME] [--references-registered] SCENARIO\n"
    "       kront-e2e [--home DIR] [--sim PROGRAM] --together SCENARIO SCENARIO");

QString *valueOption(Options &o, const QString &name)
{
    if (name == u"--home")
        return &o.home;
    if (name == u"--sim")
        return &o.sim;
    if (name == u"--shots")
        return &o.shots;
    if (name == u"--server-database")
        return &o.serverDatabase;
    if (name == u"--installation")
        return &o.installation;
    return nullptr;
}

bool parseOptions(const QStringList &args, Options &o, QString &error)
{
    for (int i = 1; i < args.size(); ++i) {
        const QString &a = args[i];
        if (QString *value = valueOption(o, a); value && i + 1 < args.size())
            *value = args[++i];
        else if (a == u"--together" && i + 2 < args.size()) {
            o.together = args.mid(i + 1, 2);
            i += 2;
        } else if (a == u"--show")
            o.show = true;
        else if (a == u"--keep-home")
            o.keepHome = true;
        else if (a == u"--references-registered")
            o.referencesRegistered = true;
        else if (!a.startsWith(u"--") && o.scenario.isEmpty())
            o.scenario = a;
        else {
            error = a == u"--together" ? QStringLiteral("--together takes two scenarios")
                                       : QStringLiteral("unknown argument ") + a;
            return false;
        }
    }
    if (o.scenario.isEmpty() == o.together.isEmpty()) {
        error = kUsage;
        return false;
    }
    if (o.home.isEmpty())
        o.home = QDir::current().filePath(QStringLiteral("e2e-home-") +
                                          (o.together.isEmpty()
                                               ? QFileInfo(o.scenario).completeBaseName()
                                               : QStringLiteral("together")));
    if (o.sim.isEmpty())
        o.sim = qEnvironmentVariable("KRONT_TAVER_SIM", QStringLiteral(KRONT_TAVER_SIM));
    return true;
}

// Where the run keeps its tables: the database it was given, or with
// KRONT_TEST_STORE=postgresql a fresh one of the tests' server (not for a kept
// home), or the table files; the installation's name as given. False with the
// reason when the settings could not be made.
bool chooseStore(const Options &o, test::TestServer &server, bool &onServer, QTextStream &out)
{
    QString error;
    const bool given = !o.serverDatabase.isEmpty();
    if (!given && !(test::serverStoreRequested() && !o.keepHome)) {
        if (o.installation.isEmpty() || writeInstallationName(o.installation, error))
            return true;
        out << error << Qt::endl;
        return false;
    }
    std::optional<StoreSettings> store =
        given ? storeFromOption(o.serverDatabase, error) : server.freshServerDatabase(&error);
    if (!store) {
        out << "no database on the server: " << error << Qt::endl;
        return false;
    }
    if (!o.installation.isEmpty())
        store->installation = o.installation;
    if (!writeStoreSettings(*store, error)) {
        out << error << Qt::endl;
        return false;
    }
    onServer = true;
    out << "tables on the server: " << store->serverName() << Qt::endl;
    return true;
}

// A scenario that stops and starts the tests' database server runs only with
// its tables on that server and the server's folder known; otherwise it is
// skipped.
bool serverEventsPlayable(const Scenario &sc, std::optional<TestCluster> &cluster, QTextStream &out)
{
    if (sc.serverEvents.empty())
        return true;
    QString why = QStringLiteral("its tables are not on the tests' database server "
                                 "(KRONT_TEST_STORE=postgresql, KRONT_TEST_PG)");
    if (test::onServerStore())
        cluster = TestCluster::fromEnvironment(why);
    if (cluster)
        return true;
    out << "the scenario stops and starts the database server, but " << why << "; skipped"
        << Qt::endl;
    return false;
}

// On the server store no table file may appear in Data/: each would be a
// part of the program that quietly kept its rows apart from the server's.
QStringList tableFilesBesideTheServer(const QString &home)
{
    const QStringList files =
        QDir(home + QStringLiteral("/Data")).entryList({QStringLiteral("*.cds")}, QDir::Files);
    if (files.isEmpty())
        return {};
    return {QStringLiteral("table files in Data/ although the tables are on the server: ") +
            files.join(QStringLiteral(", "))};
}

void applySettings(ProgramSettings &s, const Scenario &sc, const QString &port)
{
    s.setPortName(port);
    s.setTaver7Channel(1);
    s.setTemperatureStabilityControl(sc.stabilityControl);
    s.setWaitForFixedValue(sc.waitFixed);
    s.setOfferPoverkaTermination(sc.offerTermination);
    s.setReduceResultClass(sc.reduceClass);
}

// The main window with the results search of the whole home, as the
// operator sees it after pressing "Найти" with no conditions.
bool saveMainWindowShot(ApplicationWindows &windows, const QString &dir)
{
    TFormMain *main = windows.FormMain();
    main->ShowSearchPanel();
    if (auto *search = qobject_cast<PanelSearch *>(main->searchPanel()))
        search->ButtonSearchStartClick();
    QApplication::processEvents();
    return main->grab().save(QDir(dir).filePath(QStringLiteral("main-window.png")));
}

// On a database others share: the rows of this run's verification as it
// sees them, for the run that checks the database when all have ended.
void reportRows(const Scenario &sc, Database &db, QStringList &failures, QTextStream &out)
{
    const int id = verificationNumbered(db, sc.number);
    const auto rows = id != 0 ? rowsOf(db, id) : std::nullopt;
    if (rows)
        out << rows->line() << Qt::endl;
    else
        failures << QStringLiteral("the rows of verification ") + sc.number +
                        QStringLiteral(" could not be read");
}

int play(const Options &o, QTextStream &out)
{
    Scenario sc;
    QStringList errors;
    if (!loadScenario(o.scenario, sc, errors)) {
        out << errors.join(u'\n') << Qt::endl;
        return 2;
    }
    std::optional<TestCluster> cluster;
    if (!serverEventsPlayable(sc, cluster, out))
        return test::kServerMissingExitCode;
    QString error;
    if (!makeHome(o.home, o.keepHome, error)) {
        out << error << Qt::endl;
        return 2;
    }
    const QString home = QDir(o.home).absolutePath();
    test::TestServer server;
    if (o.serverDatabase.isEmpty() && test::serverStoreRequested() && !o.keepHome &&
        !test::serverTestsEnabled()) {
        out << "KRONT_TEST_STORE=postgresql without KRONT_TEST_PG: no server to run on "
               "(scripts/pg-cluster.sh); skipped"
            << Qt::endl;
        return test::kServerMissingExitCode;
    }
    bool onServer = false;
    if (!chooseStore(o, server, onServer, out))
        return 2;
    const QString simScenario = home + QStringLiteral("/sim-scenario.txt");
    QFile f(simScenario);
    f.open(QIODevice::WriteOnly);
    f.write(sc.simulatorLines.join(u'\n').toUtf8() + '\n');
    f.close();

    SimProcess sim;
    const QString link = home + QStringLiteral("/taver");
    QStringList simArguments{"--headless",        "--link",      link,
                             "--scenario",        simScenario,   "--log",
                             home + "/taver.log", "--period-ms", QString::number(sc.periodMs)};
    if (!sc.linePacing)
        simArguments << QStringLiteral("--no-pacing");
    if (!sim.start(o.sim, simArguments, error)) {
        out << error << Qt::endl;
        return 2;
    }
    // The training mode runs its own clock, marks the windows and printouts
    // and tells the simulator the expected step.
    std::optional<AcceleratedClock> clock;
    if (sc.training > 0)
        TrainingMode::start(sc.training);
    else
        clock.emplace(sc.clockFactor);
    TrainingTitles titles;
    if (TrainingMode::active())
        QApplication::instance()->installEventFilter(&titles);
    E2eDialogs dialogs(sc, sim);
    const QString stepFile = link + QStringLiteral(".step");
    TrainingStepDialogs trainingDialogs(dialogs, stepFile);
    ApplicationWindows windows(TrainingMode::active() ? static_cast<Dialogs &>(trainingDialogs)
                                                      : dialogs);
    windows.create();
    applySettings(windows.settings(), sc, link);
    windows.FormMain()->show();

    WizardDriver driver(sc, windows, dialogs, sim);
    driver.shotsDir = o.shots;
    driver.cluster = cluster ? &*cluster : nullptr;
    driver.referencesRegistered = o.referencesRegistered;
    dialogs.setFurnaceSource([&driver] { return driver.furnaceForRun(); });
    if (!driver.setUp(error)) {
        out << "FAILED: " << error << Qt::endl;
        return 1;
    }
    driver.run();
    sim.stop();
    QString serverError;
    if (!driver.restoreServer(serverError))
        out << "FAILED: " << serverError << Qt::endl;

    QString documentsError;
    if (sc.issueDocuments && !driver.failed())
        issueAllDocuments(sc, windows.database(), windows.settings(), dialogs, documentsError);
    if (TrainingMode::active() && !driver.failed()) {
        driver.protocolText =
            printProtocolText(sc, windows.database(), dialogs, home, documentsError);
        QFile step(stepFile);
        if (step.open(QIODevice::ReadOnly))
            driver.expectedStep = QString::fromUtf8(step.readAll());
    }
    if (!o.shots.isEmpty() && !saveMainWindowShot(windows, o.shots))
        documentsError = QStringLiteral("the main window's picture was not saved in ") + o.shots;
    QStringList failures = checkExpectations(sc, windows.database(), dialogs, driver);
    if (!documentsError.isEmpty())
        failures.prepend(documentsError);
    if (onServer)
        failures << tableFilesBesideTheServer(home);
    if (driver.failed())
        failures.prepend(driver.failureText());
    QFile simLog(home + QStringLiteral("/sim-commands.txt"));
    if (simLog.open(QIODevice::WriteOnly))
        simLog.write(sim.log().join(u'\n').toUtf8() + '\n');
    out << QStringLiteral("%1: %2 recordings, %3 steps, %4 resumptions, home %5")
               .arg(QFileInfo(o.scenario).fileName())
               .arg(driver.presses)
               .arg(driver.completedSteps)
               .arg(driver.resumptions)
               .arg(home)
        << Qt::endl;
    if (!o.serverDatabase.isEmpty())
        reportRows(sc, windows.database(), failures, out);
    for (const QString &failure : failures)
        out << "FAILED: " << failure << Qt::endl;
    out << (failures.isEmpty() ? "PASSED" : "FAILED") << Qt::endl;
    return failures.isEmpty() ? 0 : 1;
}

} // namespace

// Platform chatter of the offscreen windows says nothing about the scenario.
void quietMessages(QtMsgType type, const QMessageLogContext &context, const QString &text)
{
    if (text.contains(QStringLiteral("propagateSizeHints")) ||
        text.contains(QStringLiteral("XDG_RUNTIME_DIR")))
        return;
    QTextStream(stderr) << qFormatLogMessage(type, context, text) << Qt::endl;
}

int main(int argc, char **argv)
{
    qInstallMessageHandler(quietMessages);
    bool show = false;
    for (int i = 1; i < argc; ++i)
        show = show || QByteArray(argv[i]) == "--show";
    if (!show)
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    QLocale::setDefault(QLocale(QLocale::English, QLocale::UnitedStates));
    QTextStream out(stdout);
    Options o;
    QString error;
    if (!parseOptions(app.arguments(), o, error)) {
        out << error << Qt::endl;
        return 2;
    }
    if (!o.together.isEmpty())
        return playTogether(o.home, o.sim, o.together, out);
    return play(o, out);
}
