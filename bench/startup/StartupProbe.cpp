// kront-startup-probe: starts the program as kront does (the same windows
// over the home given by --home) and writes "shown" on stdout the moment the
// main window is on screen, then leaves. The benchmark times a process of it
// from its launch to that line.
#include "app/ui/ApplicationWindows.h"
#include "app/ui/TFormMain.h"
#include "bench/ConsoleDialogs.h"
#include "common/AppHome.h"

#include <QApplication>
#include <QDeadlineTimer>
#include <QWindow>

#include <cstdio>

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    QStringList args = app.arguments();
    kront::AppHome::initFromArguments(args);
    QApplication::setApplicationName(kront::kProgramTitle);

    kront::bench::ConsoleDialogs dialogs;
    kront::ApplicationWindows windows(dialogs);
    windows.create();
    kront::TFormMain *main = windows.FormMain();
    main->show();
    const QDeadlineTimer deadline(10000);
    while (!(main->windowHandle() && main->windowHandle()->isExposed()) && !deadline.hasExpired())
        QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
    if (deadline.hasExpired())
        return 1;
    std::printf("shown\n");
    std::fflush(stdout);
    return dialogs.shown == 0 ? 0 : 1;
}
