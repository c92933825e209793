#include "common/DemoHome.h"

#include "common/AppHome.h"
#include "common/IniFile.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

namespace kront::DemoHome
{

namespace
{

const QString kMarker = QStringLiteral(".kront-demo-home");

bool fail(QString *error, const QString &text)
{
    if (error)
        *error = text;
    return false;
}

bool writeSettings(const QString &dir, QString *error)
{
    const QString path =
        dir + QStringLiteral("/Config/") + AppHome::executableBaseName() + QStringLiteral(".INI");
    if (QFileInfo::exists(path))
        return true;
    IniFile ini(path);
    const QString section = QStringLiteral("CommunicationParams");
    if (!ini.writeString(section, QStringLiteral("Port"), simulatorLink(dir)) ||
        !ini.writeInteger(section, QStringLiteral("TAVER-7Channel"), 1))
        return fail(error, ini.lastError());
    return true;
}

} // namespace

QString dirFor(const QString &home)
{
    const QString clean = QDir::cleanPath(QDir(home).absolutePath());
    return isDemoHome(clean) ? clean : clean + QStringLiteral("-demo");
}

bool isDemoHome(const QString &dir)
{
    return QFileInfo::exists(QDir(dir).filePath(kMarker));
}

QString simulatorLink(const QString &dir)
{
    return QDir(dir).filePath(QStringLiteral("taver"));
}

bool prepare(const QString &dir, QString *error)
{
    const QDir home(dir);
    if (home.exists() && !home.isEmpty() && !isDemoHome(dir))
        return fail(error, QStringLiteral("Папка %1 не является демонстрационной: в ней могут "
                                          "быть данные лаборатории.")
                               .arg(QDir::toNativeSeparators(dir)));
    for (const char *sub : {"Data", "Config", "Protocol"}) {
        if (!home.mkpath(QLatin1String(sub)))
            return fail(error, QStringLiteral("Не удалось создать папку %1")
                                   .arg(QDir::toNativeSeparators(home.filePath(sub))));
    }
    QFile marker(home.filePath(kMarker));
    if (!marker.exists() && !marker.open(QIODevice::WriteOnly))
        return fail(error, QStringLiteral("Не удалось создать файл %1")
                               .arg(QDir::toNativeSeparators(marker.fileName())));
    marker.close();
    const QString demo = AppHome::defaultsDir() + QStringLiteral("/demo");
    const QString data = home.filePath(QStringLiteral("Data"));
    if (QDir(data).isEmpty() &&
        !AppHome::copyMissingFiles(demo + QStringLiteral("/Data"), data, error))
        return false;
    return AppHome::copyMissingFiles(demo + QStringLiteral("/Config"),
                                     home.filePath(QStringLiteral("Config")), error) &&
           writeSettings(dir, error);
}

} // namespace kront::DemoHome
