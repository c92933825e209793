#include "common/AppHome.h"

#include <QApplication>

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    QStringList args = app.arguments();
    kront::AppHome::initFromArguments(args);
    return 0;
}
