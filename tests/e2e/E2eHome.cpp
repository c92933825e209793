#include "E2eHome.h"

#include "common/AppHome.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

namespace kront::e2e
{

namespace
{
const char *const kHomeMarker = ".kront-e2e-home";
}

bool makeHome(const QString &path, bool keep, QString &error)
{
    QDir dir(path);
    if (dir.exists() && !dir.isEmpty()) {
        if (!QFileInfo::exists(dir.filePath(QLatin1String(kHomeMarker)))) {
            error = path + QStringLiteral(" exists and was not made by kront-e2e");
            return false;
        }
        if (!keep)
            dir.removeRecursively();
    }
    for (const char *sub : {"Data", "Config", "Protocol", "Help"})
        dir.mkpath(QLatin1String(sub));
    QFile marker(dir.filePath(QLatin1String(kHomeMarker)));
    marker.open(QIODevice::WriteOnly);
    AppHome::set(dir.absolutePath());
    return true;
}

} // namespace kront::e2e
