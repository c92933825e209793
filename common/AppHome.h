#pragma once

#include <QString>
#include <QStringList>

namespace kront {

// The base folder that holds Data/, Config/, Protocol/ and Help/. By default
// it is the folder of the executable; `--home DIR` or KRONT_HOME move it.
class AppHome {
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
    static QString protocolFile(const QString &name);

    // Base name of the executable ("kront"); names the settings file.
    static QString executableBaseName();
    static void setExecutableBaseName(const QString &name);
};

} // namespace kront
