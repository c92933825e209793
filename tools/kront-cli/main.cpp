// kront-cli: the command line companion of the program for administrators
// and scripts. main() only picks the program home and hands the words over
// to the registered command (Commands.h).

#include "common/AppHome.h"
#include "tools/kront-cli/CommandStore.h"
#include "tools/kront-cli/Commands.h"

#include <QCoreApplication>
#include <QGuiApplication>
#include <QTextStream>

#include <cstdio>
#include <memory>
#include <sys/stat.h>
#include <unistd.h>

namespace
{

void printUsage(QTextStream &err)
{
    err << "kront-cli [--home DIR] [--embedded] COMMAND ..." << Qt::endl;
    for (const auto &c : kront::cli::commands()) {
        for (const QString &line : c.usage.split(u'\n'))
            err << "  kront-cli [--home DIR] " << line << Qt::endl;
    }
    err << "Команды работают с хранилищем из раздела [Store] файла Config/kront.INI папки "
           "данных:"
        << Qt::endl
        << "с файлами таблиц папки Data или с сервером PostgreSQL. Если сервер недоступен, команда,"
        << Qt::endl
        << "которой нужны таблицы, выводит строку \"Сервер базы данных УЗЕЛ:ПОРТ/БАЗА недоступен: "
           "ПРИЧИНА\""
        << Qt::endl
        << "и завершается с кодом 3." << Qt::endl
        << "  --embedded   файлы таблиц папки Data, какое бы хранилище ни было указано в настройках"
        << Qt::endl;
}

// The command word: the first argument that is not a global option.
QByteArray commandWord(int argc, char **argv)
{
    for (int i = 1; i < argc; ++i) {
        const QByteArray a(argv[i]);
        if (a == "--home") {
            ++i;
            continue;
        }
        if (!a.startsWith("--home=") && a != "--embedded")
            return a;
    }
    return QByteArray();
}

// Protocol and document PDFs are drawn with fonts, which takes a GUI
// application (the offscreen platform needs no display); every other
// command runs on the core alone and prints nothing but its own output.
bool needsGui(const QByteArray &command)
{
    return command == "protocol" || command == "document";
}

} // namespace

int main(int argc, char **argv)
{
    std::unique_ptr<QCoreApplication> app;
    if (needsGui(commandWord(argc, argv))) {
        if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
            qputenv("QT_QPA_PLATFORM", "offscreen");
        // Without a session runtime folder Qt warns on stderr, which scripts
        // read as the command's messages; give it a private one.
        if (qEnvironmentVariableIsEmpty("XDG_RUNTIME_DIR")) {
            const QByteArray dir = "/tmp/kront-cli-runtime-" + QByteArray::number(getuid());
            mkdir(dir.constData(), 0700);
            qputenv("XDG_RUNTIME_DIR", dir);
        }
        app = std::make_unique<QGuiApplication>(argc, argv);
    } else {
        app = std::make_unique<QCoreApplication>(argc, argv);
    }
    QStringList args = QCoreApplication::arguments();
    kront::AppHome::setExecutableBaseName(QStringLiteral("kront"));
    kront::AppHome::initFromArguments(args);
    kront::cli::setTableFilesOnly(args.removeAll(QStringLiteral("--embedded")) > 0);
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
