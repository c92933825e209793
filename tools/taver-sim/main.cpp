// kront-taver-sim: the TAVER-7 voltmeter, the furnace and the BI1 switching
// unit on a pseudo-terminal, for trying the program without an installation.
#include "ControlSocket.h"
#include "HeadlessConsole.h"
#include "SimEngine.h"
#include "SimWindow.h"
#include "model/Scenario.h"

#include <QApplication>
#include <QCommandLineParser>
#include <QSocketNotifier>
#include <QTimer>

#include <csignal>
#include <cstdio>
#include <memory>
#include <unistd.h>

using namespace kront::sim;

namespace
{

int signalPipe[2] = {-1, -1};

void onSignal(int)
{
    const char c = 1;
    [[maybe_unused]] ssize_t n = ::write(signalPipe[1], &c, 1);
}

// SIGINT and SIGTERM end the event loop, so the symlink is removed on the way out.
void quitOnSignals(QObject *parent)
{
    if (::pipe(signalPipe) != 0)
        return;
    auto *notifier = new QSocketNotifier(signalPipe[0], QSocketNotifier::Read, parent);
    QObject::connect(notifier, &QSocketNotifier::activated, [] { QCoreApplication::quit(); });
    std::signal(SIGINT, onSignal);
    std::signal(SIGTERM, onSignal);
}

bool headlessRequested(int argc, char **argv)
{
    for (int i = 1; i < argc; ++i) {
        if (qstrcmp(argv[i], "--headless") == 0)
            return true;
    }
    return false;
}

int fail(const QString &text)
{
    std::fprintf(stderr, "kront-taver-sim: %s\n", text.toLocal8Bit().constData());
    return 2;
}

} // namespace

int main(int argc, char **argv)
{
    const bool headless = headlessRequested(argc, argv);
    std::unique_ptr<QCoreApplication> app(headless ? new QCoreApplication(argc, argv)
                                                   : new QApplication(argc, argv));
    QCoreApplication::setApplicationName(QStringLiteral("kront-taver-sim"));

    QCommandLineParser parser;
    parser.setApplicationDescription(
        QStringLiteral("Simulated TAVER-7 voltmeter with furnace and BI1 switches on a "
                       "pseudo-terminal. Prints the device path on the first line."));
    parser.addHelpOption();
    const QCommandLineOption headlessOpt(QStringLiteral("headless"),
                                         QStringLiteral("No window; line commands on stdin."));
    const QCommandLineOption linkOpt(QStringLiteral("link"),
                                     QStringLiteral("Make a symlink PATH to the device."),
                                     QStringLiteral("PATH"));
    const QCommandLineOption logOpt(QStringLiteral("log"),
                                    QStringLiteral("Append every frame (RX/TX, hex) to FILE."),
                                    QStringLiteral("FILE"));
    const QCommandLineOption scenarioOpt(QStringLiteral("scenario"),
                                         QStringLiteral("Load furnace and sensors from FILE."),
                                         QStringLiteral("FILE"));
    const QCommandLineOption periodOpt(QStringLiteral("period-ms"),
                                       QStringLiteral("Reading frame period (default 500)."),
                                       QStringLiteral("MS"), QStringLiteral("500"));
    const QCommandLineOption furnaceOpt(
        QStringLiteral("furnace"), QStringLiteral("Furnace set-point, °C."), QStringLiteral("T"));
    const QCommandLineOption tauOpt(QStringLiteral("tau-s"),
                                    QStringLiteral("First-order approach time constant, s."),
                                    QStringLiteral("S"));
    const QCommandLineOption noiseOpt(QStringLiteral("noise"),
                                      QStringLiteral("Reading noise (standard deviation), mV."),
                                      QStringLiteral("MV"));
    const QCommandLineOption seedOpt(QStringLiteral("seed"),
                                     QStringLiteral("Seed of the noise and faults."),
                                     QStringLiteral("N"), QStringLiteral("1"));
    const QCommandLineOption controlOpt(
        QStringLiteral("control"),
        QStringLiteral("Also take line commands on a Unix-domain socket at PATH."),
        QStringLiteral("PATH"));
    const QCommandLineOption noPacingOpt(QStringLiteral("no-pacing"),
                                         QStringLiteral("Send bytes at once, not at 9600 baud."));
    const QCommandLineOption screenshotOpt(
        QStringLiteral("screenshot"),
        QStringLiteral("Save a picture of the control window to FILE after SECONDS "
                       "(--screenshot-after, default 2) and quit."),
        QStringLiteral("FILE"));
    const QCommandLineOption screenshotAfterOpt(QStringLiteral("screenshot-after"),
                                                QStringLiteral("See --screenshot."),
                                                QStringLiteral("SECONDS"), QStringLiteral("2"));
    parser.addOptions({headlessOpt, linkOpt, logOpt, scenarioOpt, periodOpt, furnaceOpt, tauOpt,
                       noiseOpt, seedOpt, noPacingOpt, controlOpt, screenshotOpt,
                       screenshotAfterOpt});
    parser.process(*app);

    SimEngine engine(parser.value(seedOpt).toUInt());
    if (parser.isSet(scenarioOpt)) {
        Scenario scenario;
        QStringList errors;
        if (!loadScenario(parser.value(scenarioOpt), scenario, errors))
            return fail(errors.join(QStringLiteral("\n")));
        engine.installation = scenario.installation;
        engine.meter.wiredChannel = scenario.meterChannel;
    }
    const QStringList commands = {
        parser.isSet(furnaceOpt) ? QStringLiteral("furnace ") + parser.value(furnaceOpt)
                                 : QString(),
        parser.isSet(tauOpt) ? QStringLiteral("tau ") + parser.value(tauOpt) : QString(),
        parser.isSet(noiseOpt) ? QStringLiteral("noise ") + parser.value(noiseOpt) : QString(),
        QStringLiteral("period ") + parser.value(periodOpt)};
    for (const QString &c : commands) {
        const QString reply = engine.command(c);
        if (reply.startsWith(QLatin1String("error")))
            return fail(c + QStringLiteral(": ") + reply);
    }
    engine.setPacing(!parser.isSet(noPacingOpt));
    QString error;
    if (parser.isSet(logOpt) && !engine.setLogFile(parser.value(logOpt), error))
        return fail(error);
    if (!engine.start(parser.value(linkOpt), error))
        return fail(error);
    ControlSocket control(engine);
    if (parser.isSet(controlOpt) && !control.listen(parser.value(controlOpt), error))
        return fail(error);
    std::printf("%s\n", engine.devicePath().toLocal8Bit().constData());
    std::fflush(stdout);

    quitOnSignals(app.get());
    std::unique_ptr<HeadlessConsole> console;
    std::unique_ptr<SimWindow> window;
    if (headless) {
        console = std::make_unique<HeadlessConsole>(engine);
    } else {
        // kront in its training mode writes the step it expects beside the link.
        const QString link = parser.value(linkOpt);
        window = std::make_unique<SimWindow>(engine, link.isEmpty() ? QString() : link + ".step");
        window->resize(900, 600);
        window->show();
        if (parser.isSet(screenshotOpt)) {
            const QString file = parser.value(screenshotOpt);
            QTimer::singleShot(int(parser.value(screenshotAfterOpt).toDouble() * 1000),
                               window.get(), [&window, file] {
                                   if (!window->grab().save(file))
                                       std::fprintf(stderr, "kront-taver-sim: cannot save %s\n",
                                                    file.toLocal8Bit().constData());
                                   QCoreApplication::quit();
                               });
        }
    }
    return app->exec();
}
