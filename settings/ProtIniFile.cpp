#include "settings/ProtIniFile.h"

#include "common/AppHome.h"

namespace kront
{

namespace
{
const QString kSection = QStringLiteral("Dialog");
const QString kRukName = QStringLiteral("RukName");
const QString kPovName = QStringLiteral("PovName");
} // namespace

QString ProtIniFile::defaultPath()
{
    return AppHome::configFile(QStringLiteral("Prot.INI"));
}

ProtIniFile::ProtIniFile(const QString &path) : ini(path) {}

QString ProtIniFile::rukName() const
{
    return ini.readString(kSection, kRukName, QString());
}
bool ProtIniFile::setRukName(const QString &value)
{
    return ini.writeString(kSection, kRukName, value);
}
QString ProtIniFile::povName() const
{
    return ini.readString(kSection, kPovName, QString());
}
bool ProtIniFile::setPovName(const QString &value)
{
    return ini.writeString(kSection, kPovName, value);
}

} // namespace kront
