#include "settings/EquipParamsFile.h"

#include "common/AnsiTextFile.h"
#include "common/AppHome.h"

#include <QFileInfo>

namespace kront
{

QString EquipParamsFile::defaultPath()
{
    return AppHome::configFile(QStringLiteral("EquipParamsTP.INI"));
}

QStringList EquipParamsFile::builtInList()
{
    return {QStringLiteral("Термопреобразователь _ разряда, тип _ № _"),
            QStringLiteral("Потенциометр _, класс _, тип _, № _"),
            QStringLiteral("Установка типа КРОНТ-2М, № _"),
            QStringLiteral("Ртутный стеклянный термометр разряд _, тип _, № _")};
}

EquipParamsFile::EquipParamsFile(const QString &path) : filePath(path) {}

bool EquipParamsFile::exists() const
{
    return QFileInfo(filePath).isFile();
}

std::optional<QStringList> EquipParamsFile::readLines() const
{
    return AnsiTextFile::readLines(filePath);
}

bool EquipParamsFile::writeLines(const QStringList &lines)
{
    error.clear();
    return AnsiTextFile::writeLines(filePath, lines, &error);
}

bool EquipParamsFile::writeText(const QString &text)
{
    return writeLines(AnsiTextFile::splitLines(text));
}

} // namespace kront
