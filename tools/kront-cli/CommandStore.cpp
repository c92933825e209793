#include "tools/kront-cli/CommandStore.h"

#include "db/OpenTables.h"
#include "db/StoreStart.h"
#include "settings/SettingsFile.h"

namespace kront::cli
{

namespace
{

bool onlyTableFiles = false;

} // namespace

void setTableFilesOnly(bool only)
{
    onlyTableFiles = only;
}

bool tableFilesOnly()
{
    return onlyTableFiles;
}

std::unique_ptr<TableStore> commandStore(QTextStream &err)
{
    if (onlyTableFiles)
        return std::make_unique<OpenTables>();
    QString kindError;
    const StoreSettings settings = loadStoreSettings(SettingsFile::defaultPath(), &kindError);
    if (!kindError.isEmpty())
        err << kindError << Qt::endl;
    if (!settings.isServer())
        return std::make_unique<OpenTables>();
    std::unique_ptr<TableStore> server;
    const ServerReach reach = reachServer(settings, &server);
    if (!reach.reached)
        err << serverUnreachableLine(settings, reach.reason) << Qt::endl;
    return server;
}

} // namespace kront::cli
