#include "app/DemoSimulator.h"
#include "app/ui/ApplicationWindows.h"
#include "app/ui/DemoStartWindow.h"
#include "app/ui/TFormMain.h"
#include "app/ui/TrainingWindows.h"
#include "common/AppHome.h"
#include "common/DemoHome.h"
#include "common/Dialogs.h"
#include "common/TrainingMode.h"
#include "common/ui/QtDialogs.h"

#include <QApplication>
#include <memory>

namespace
{

// `--demo` and `--training[=N]` work on the demo home (never the lab's) with
// the simulated installation. False with the reason in error.
bool startDemo(kront::DemoSimulator &simulator, QString &error)
{
    const QString home = kront::DemoHome::dirFor(kront::AppHome::dir());
    if (!kront::DemoHome::prepare(home, &error))
        return false;
    kront::AppHome::set(home);
    return simulator.start(home, error);
}

// `--demo` without `--training` first asks whether to rehearse in the
// training mode. False when the operator leaves.
bool chooseDemoMode()
{
    kront::DemoStartWindow start(kront::DemoHome::dirFor(kront::AppHome::dir()));
    if (start.exec() != QDialog::Accepted)
        return false;
    start.startChosenMode();
    return true;
}

} // namespace

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    QStringList args = app.arguments();
    QString error;
    const bool trainingOptionOk = kront::TrainingMode::takeOption(args, &error);
    const bool demo = args.removeAll(QStringLiteral("--demo")) > 0;
    kront::AppHome::initFromArguments(args);
    // The program's title (not the display name, which the platform would
    // append to every window caption).
    QApplication::setApplicationName(kront::kProgramTitle);
    if (!trainingOptionOk) {
        kront::programDialogs().error(error);
        return 2;
    }
    if (demo && !kront::TrainingMode::active() && !chooseDemoMode())
        return 0;
    kront::DemoSimulator simulator;
    if ((demo || kront::TrainingMode::active()) && !startDemo(simulator, error)) {
        kront::programDialogs().error(error);
        return 2;
    }
    // A new home gets its folders, the default templates and means list.
    QString homeError;
    if (!kront::AppHome::fillFromDefaults(&homeError))
        kront::programDialogs().warning(homeError);

    std::unique_ptr<kront::TrainingStepDialogs> trainingDialogs;
    if (kront::TrainingMode::active()) {
        app.installEventFilter(new kront::TrainingTitles(&app));
        trainingDialogs = std::make_unique<kront::TrainingStepDialogs>(
            kront::programDialogs(),
            kront::DemoHome::simulatorLink(kront::AppHome::dir()) + QStringLiteral(".step"));
    }
    kront::ApplicationWindows windows(trainingDialogs ? *trainingDialogs : kront::programDialogs());
    // A lab server is connected before the main window opens.
    if (!windows.openStore())
        return 0;
    windows.create();
    windows.FormMain()->show();
    return app.exec();
}
