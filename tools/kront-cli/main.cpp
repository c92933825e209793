// kront-cli: the command line companion of the program for administrators
// and scripts. main() only picks the program home and hands the words over
// to the registered command (Commands.h).

#include "common/AppHome.h"
#include "tools/kront-cli/Commands.h"

#include <QCoreApplication>
#include <QGuiApplication>
#include <QTextStream>

#include <cstdio>

namespace
{

void printUsage(QTextStream &err)
{
    err << "kront-cli [--home DIR] COMMAND ..." << Qt::endl;
    for (const auto &c : kront::cli::commands()) {
        for (const QString &line : c.usage.split(u'\n'))
            err << "  kront-cli [--home DIR] " << line << Qt::endl;
    }
}

} // namespace

int main(int argc, char **argv)
{
    // Protocol and document PDFs are drawn with fonts, which takes a GUI
    // application; the offscreen platform needs no display.
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    QStringList args = QCoreApplication::arguments();
    kront::AppHome::setExecutableBaseName(QStringLiteral("kront"));
    kront::AppHome::initFromArguments(args);
    QTextStream out(stdout);
    QTextStream err(stderr);
    if (args.size() < 2) {
        printUsage(err);
        return 2;
    }
    const kront::cli::Command *command = kront::cli::findCommand(args[1]);
    if (!command) {
        err << "Неизвестная команда: " << args[1] << Qt::endl;
        printUsage(err);
        return 2;
    }
    const int status = command->run(args.mid(2), out, err);
    out.flush();
    err.flush();
    return status;
}
