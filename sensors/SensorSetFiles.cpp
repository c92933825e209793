#include "sensors/SensorSetFiles.h"

#include "common/AppHome.h"
#include "common/Dialogs.h"
#include "sensors/SensorSetFile.h"

#include <QFileInfo>

namespace kront
{

SensorSetFiles::SensorSetFiles(Dialogs &dialogSet) : dialogs(dialogSet) {}

QString SensorSetFiles::fileFilter()
{
    return QStringLiteral("Параметры датчиков (*.sst *.SST)");
}

bool SensorSetFiles::saveToFile(const SensorSet &set)
{
    QString path = dialogs.saveFileName(QStringLiteral("Сохранить в файл"), AppHome::configDir(),
                                        fileFilter(), QStringLiteral("sst"));
    if (path.isEmpty())
        return false;
    if (QFileInfo(path).suffix().isEmpty())
        path += QStringLiteral(".sst");
    if (QFileInfo::exists(path) &&
        !dialogs.askYesNo(QStringLiteral("Такой файл уже существует. Перезаписать?")))
        return false;
    QString error;
    if (!SensorSetFile::write(path, set, &error)) {
        dialogs.error(QStringLiteral("Не удалось записать файл \"%1\": %2").arg(path, error));
        return false;
    }
    return true;
}

bool SensorSetFiles::loadFromFile(SensorSet &set)
{
    const QString path = dialogs.openFileName(QStringLiteral("Загрузить из файла"),
                                              AppHome::configDir(), fileFilter());
    if (path.isEmpty())
        return false;
    QStringList lines;
    QString error;
    if (!SensorSetFile::read(path, lines, &error)) {
        dialogs.error(QStringLiteral("Не удалось прочитать файл \"%1\": %2").arg(path, error));
        return false;
    }
    SensorSet loaded(set.kind());
    switch (SensorSetFile::parse(lines, loaded)) {
    case SensorSetFile::ParseResult::WrongKind:
        dialogs.warning(
            QStringLiteral("Указанный файл не соответствует текущему типу поверяемых датчиков!"));
        return false;
    case SensorSetFile::ParseResult::UnknownKind:
        dialogs.warning(
            QStringLiteral("Указанный файл не соответствует известным типам поверяемых датчиков!"));
        return false;
    case SensorSetFile::ParseResult::Loaded: break;
    }
    set = loaded;
    return true;
}

} // namespace kront
