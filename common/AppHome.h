#pragma once

#include <QString>
#include <QStringList>

namespace kront
{

// Where the program home can come from, in the order they win.
struct HomeSources {
    QString option;        // `--home DIR`
    QString environment;   // KRONT_HOME
    QString executableDir; // the folder of the executable
    bool executableDirWritable = false;
    QString xdgDataHome; // XDG_DATA_HOME
    QString userHome;    // the user's home folder
};

// The base folder that holds Data/, Config/, Protocol/ and Help/: the
// folder of the executable where the program may write there (a build
// tree, a copied folder); for an installed program $XDG_DATA_HOME/kront
// (~/.local/share/kront). `--home DIR` or KRONT_HOME win over both.
class AppHome
{
public:
    // Picks the home as above. Removes the option from args.
    static void initFromArguments(QStringList &args);
    static QString chooseHome(const HomeSources &sources);
    // Whether the program keeps its files beside an executable in dir: a
    // writable folder that is not the one the program is installed to.
    static bool executableDirHoldsHome(const QString &dir);
    // Makes Data/, Config/ and Protocol/ and copies the installed default
    // templates and means list into the home where it has none of its own.
    // False with the reason in error when a folder or file cannot be made.
    static bool fillFromDefaults(QString *error = nullptr);
    // Copies into the folder `to` each file of `from` that it lacks; false
    // with the reason in error when a file cannot be copied.
    static bool copyMissingFiles(const QString &from, const QString &to, QString *error);
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
    // The help page <name>: the home's own, else the installed one; the
    // home's path when neither exists.
    static QString helpFile(const QString &name);

    // Base name of the executable ("kront"); names the settings file.
    static QString executableBaseName();
    static void setExecutableBaseName(const QString &name);
};

} // namespace kront
