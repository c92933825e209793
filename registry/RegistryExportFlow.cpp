#include "registry/RegistryExportFlow.h"

#include "common/Dialogs.h"

#include <QDir>
#include <QFileInfo>

namespace kront
{

RegistryExportFlow::RegistryExportFlow(Dialogs &dialogSet, Gather gatherer, Write writer,
                                       Present presenter)
    : dialogs(dialogSet), gather(std::move(gatherer)), write(std::move(writer)),
      present(std::move(presenter))
{
}

bool RegistryExportFlow::run(const std::vector<int> &poverkaIDs, const QString &offeredFile)
{
    const std::optional<RegistryPreview> preview = gather(poverkaIDs);
    if (!preview)
        return false;
    const std::optional<QString> file = present(*preview, offeredFile);
    if (!file || preview->results.empty())
        return false;
    if (const int before = preview->exportedBeforeCount();
        before > 0 && !dialogs.askYesNo(QStringLiteral("Результаты поверки %1 ТП уже выгружались "
                                                       "во ФГИС «Аршин». Выгрузить их снова?")
                                            .arg(before)))
        return false;
    if (QFileInfo::exists(*file) &&
        !dialogs.askYesNo(QStringLiteral("Файл %1 уже существует. Заменить его?")
                              .arg(QDir::toNativeSeparators(*file))))
        return false;
    const std::optional<QStringList> written = write(*file);
    if (!written)
        return false;
    QStringList names;
    for (const QString &f : *written)
        names << QDir::toNativeSeparators(f);
    dialogs.information(
        QStringLiteral("Выгружено результатов поверки: %1.\r\n").arg(preview->results.size()) +
        (names.size() > 1 ? QStringLiteral("Файлы: ") : QStringLiteral("Файл: ")) +
        names.join(QStringLiteral(", ")));
    return true;
}

} // namespace kront
