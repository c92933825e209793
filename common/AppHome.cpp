#include "common/AppHome.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>

namespace kront
{

namespace
{
QString homeDir;
QString defaults;
QString exeBaseName;

// Takes `--home DIR` or `--home=DIR` out of args; empty when not given.
QString takeHomeOption(QStringList &args)
{
    for (int i = 1; i < args.size(); ++i) {
        if (args[i] == QLatin1String("--home") && i + 1 < args.size()) {
            const QString dir = args[i + 1];
            args.remove(i, 2);
            return dir;
        }
        if (args[i].startsWith(QLatin1String("--home="))) {
            const QString dir = args[i].mid(7);
            args.remove(i);
            return dir;
        }
    }
    return QString();
}

QString executableDir()
{
    return QCoreApplication::instance() ? QCoreApplication::applicationDirPath()
                                        : QDir::currentPath();
}

} // namespace

void AppHome::initFromArguments(QStringList &args)
{
    HomeSources sources;
    sources.option = takeHomeOption(args);
    sources.environment = qEnvironmentVariable("KRONT_HOME");
    sources.executableDir = executableDir();
    sources.executableDirWritable = executableDirHoldsHome(sources.executableDir);
    sources.xdgDataHome = qEnvironmentVariable("XDG_DATA_HOME");
    sources.userHome = QDir::homePath();
    set(chooseHome(sources));
}

QString AppHome::chooseHome(const HomeSources &sources)
{
    if (!sources.option.isEmpty())
        return QDir(sources.option).absolutePath();
    if (!sources.environment.isEmpty())
        return QDir(sources.environment).absolutePath();
    if (sources.executableDirWritable)
        return QDir(sources.executableDir).absolutePath();
    // A relative XDG_DATA_HOME is invalid and is ignored.
    if (QDir::isAbsolutePath(sources.xdgDataHome))
        return QDir::cleanPath(sources.xdgDataHome + QStringLiteral("/kront"));
    return QDir::cleanPath(sources.userHome + QStringLiteral("/.local/share/kront"));
}

bool AppHome::executableDirHoldsHome(const QString &dir)
{
#ifdef KRONT_INSTALL_BINDIR
    // Even where the administrator may write, the folder the program is
    // installed to holds no lab data.
    if (QDir::cleanPath(dir) == QDir::cleanPath(QStringLiteral(KRONT_INSTALL_BINDIR)))
        return false;
#endif
    return QFileInfo(dir).isWritable();
}

// Copies into the folder `to` each file of `from` that it lacks.
bool AppHome::copyMissingFiles(const QString &from, const QString &to, QString *error)
{
    const QDir source(from);
    for (const QString &name : source.entryList(QDir::Files)) {
        const QString target = to + QLatin1Char('/') + name;
        if (QFileInfo::exists(target))
            continue;
        if (!QFile::copy(source.filePath(name), target)) {
            if (error)
                *error = QStringLiteral("Не удалось скопировать файл %1 в папку %2")
                             .arg(QDir::toNativeSeparators(source.filePath(name)),
                                  QDir::toNativeSeparators(to));
            return false;
        }
        // The installed defaults are read-only; the lab's copy is its own.
        QFile::setPermissions(target, QFile::permissions(target) | QFileDevice::WriteOwner);
    }
    return true;
}

bool AppHome::fillFromDefaults(QString *error)
{
    for (const QString &sub : {dataDir(), configDir(), protocolDir()}) {
        if (!QDir().mkpath(sub)) {
            if (error)
                *error = QStringLiteral("Не удалось создать папку %1")
                             .arg(QDir::toNativeSeparators(sub));
            return false;
        }
    }
    const QString base = defaultsDir();
    if (base.isEmpty())
        return true;
    return copyMissingFiles(base + QStringLiteral("/Protocol"), protocolDir(), error) &&
           copyMissingFiles(base + QStringLiteral("/Config"), configDir(), error);
}

void AppHome::set(const QString &dir)
{
    homeDir = QDir(dir).absolutePath();
}

QString AppHome::dir()
{
    return homeDir.isEmpty() ? executableDir() : homeDir;
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

QString AppHome::helpFile(const QString &name)
{
    const QString own = helpDir() + QLatin1Char('/') + name;
    if (QFileInfo::exists(own) || defaultsDir().isEmpty())
        return own;
    const QString installed = defaultsDir() + QStringLiteral("/Help/") + name;
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
