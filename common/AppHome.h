#pragma once

#include <QString>
#include <QStringList>

namespace kront
{

// The base folder that holds Data/, Config/, Protocol/ and Help/. By default
// it is the folder of the executable; `--home DIR` or KRONT_HOME move it.
class AppHome
{
public:
    // Reads `--home DIR` from the arguments, then KRONT_HOME, else the
    // executable's folder. Removes the option from args.
    static void initFromArguments(QStringList &args);
    static void set(const QString &dir);
    static QString dir();

    static QString dataDir();     // <home>/Data
    static QString configDir();   // <home>/Config
    static QString protocolDir(); // <home>/Protocol
    static QString helpDir();     // <home>/Help
    static QString dataFile(const QString &name);
    static QString configFile(const QString &name);
    static QString protocolFile(const QString &name); // <home>/Protocol/<name>

    // The defaults installed with the program (templates, help, demo data):
    // ../share/kront beside the executable's folder; a build tree stages
    // the templates there too. setDefaultsDir moves them (tests).
    static QString defaultsDir();
    static void setDefaultsDir(const QString &dir);
    // The report template <name>: the home's own file when it has one, else
    // the installed default; the home's path when neither exists, so that
    // a message names where the lab keeps its templates.
    static QString templateFile(const QString &name);

    // Base name of the executable ("kront"); names the settings file.
    static QString executableBaseName();
    static void setExecutableBaseName(const QString &name);
};

} // namespace kront
