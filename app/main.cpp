#include "app/ui/ApplicationWindows.h"
#include "app/ui/TFormMain.h"
#include "common/AppHome.h"
#include "common/Dialogs.h"
#include "common/ui/QtDialogs.h"

#include <QApplication>

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    QStringList args = app.arguments();
    kront::AppHome::initFromArguments(args);
    // A new home gets its folders, the default templates and means list.
    QString homeError;
    if (!kront::AppHome::fillFromDefaults(&homeError))
        kront::programDialogs().warning(homeError);
    // The program's title (not the display name, which the platform would
    // append to every window caption).
    QApplication::setApplicationName(kront::kProgramTitle);

    kront::ApplicationWindows windows(kront::programDialogs());
    windows.create();
    windows.FormMain()->show();
    return app.exec();
}
