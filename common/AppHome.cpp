#include "common/AppHome.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>

namespace kront
{

namespace
{
QString homeDir;
QString defaults;
QString exeBaseName;
} // namespace

void AppHome::initFromArguments(QStringList &args)
{
    for (int i = 1; i < args.size(); ++i) {
        if (args[i] == QLatin1String("--home") && i + 1 < args.size()) {
            set(args[i + 1]);
            args.remove(i, 2);
            return;
        }
        if (args[i].startsWith(QLatin1String("--home="))) {
            set(args[i].mid(7));
            args.remove(i);
            return;
        }
    }
    const QString env = qEnvironmentVariable("KRONT_HOME");
    if (!env.isEmpty())
        set(env);
}

void AppHome::set(const QString &dir)
{
    homeDir = QDir(dir).absolutePath();
}

QString AppHome::dir()
{
    if (homeDir.isEmpty())
        return QCoreApplication::instance() ? QCoreApplication::applicationDirPath()
                                            : QDir::currentPath();
    return homeDir;
}

QString AppHome::dataDir()
{
    return dir() + QStringLiteral("/Data");
}
QString AppHome::configDir()
{
    return dir() + QStringLiteral("/Config");
}
QString AppHome::protocolDir()
{
    return dir() + QStringLiteral("/Protocol");
}
QString AppHome::helpDir()
{
    return dir() + QStringLiteral("/Help");
}
QString AppHome::dataFile(const QString &name)
{
    return dataDir() + QLatin1Char('/') + name;
}
QString AppHome::configFile(const QString &name)
{
    return configDir() + QLatin1Char('/') + name;
}
QString AppHome::protocolFile(const QString &name)
{
    return protocolDir() + QLatin1Char('/') + name;
}

QString AppHome::defaultsDir()
{
    if (!defaults.isEmpty() || !QCoreApplication::instance())
        return defaults;
    return QDir::cleanPath(QCoreApplication::applicationDirPath() +
                           QStringLiteral("/../share/kront"));
}

void AppHome::setDefaultsDir(const QString &dir)
{
    defaults = QDir(dir).absolutePath();
}

QString AppHome::templateFile(const QString &name)
{
    const QString own = protocolFile(name);
    if (QFileInfo::exists(own))
        return own;
    const QString base = defaultsDir();
    if (base.isEmpty())
        return own;
    const QString installed = base + QStringLiteral("/Protocol/") + name;
    return QFileInfo::exists(installed) ? installed : own;
}

QString AppHome::executableBaseName()
{
    if (!exeBaseName.isEmpty())
        return exeBaseName;
    if (QCoreApplication::instance())
        return QFileInfo(QCoreApplication::applicationFilePath()).completeBaseName();
    return QStringLiteral("kront");
}

void AppHome::setExecutableBaseName(const QString &name)
{
    exeBaseName = name;
}

} // namespace kront
