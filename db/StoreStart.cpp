#include "db/StoreStart.h"

#include "common/Dialogs.h"
#include "db/OpenTables.h"
#include "db/ServerTables.h"

#include <QStringList>

namespace kront
{

StoreStartPlan planStoreStart(const StoreSettings &settings, const ServerReach &reach)
{
    if (!settings.isServer())
        return {};
    if (reach.reached)
        return {StoreStartPlan::Action::Server,
                QStringLiteral("Сервер: %1").arg(settings.serverName())};
    return {StoreStartPlan::Action::AskTableFilesInstead,
            QStringLiteral("Сервер базы данных %1 недоступен:\n%2\n\nРаботать с файлами таблиц "
                           "этого компьютера (папка Data)? Поверки, сделанные так, не попадут на "
                           "сервер, пока их не перенесут командой kront-cli store copy.")
                .arg(settings.serverName(), oneLineReason(reach.reason))};
}

QString oneLineReason(const QString &reason)
{
    QStringList parts;
    for (const QString &line : reason.split(u'\n')) {
        const QString part = line.simplified();
        if (!part.isEmpty())
            parts << part;
    }
    if (parts.isEmpty())
        return QStringLiteral("сервер не ответил");
    return parts.join(u' ');
}

QString serverUnreachableLine(const StoreSettings &settings, const QString &reason)
{
    return QStringLiteral("Сервер базы данных %1 недоступен: %2")
        .arg(settings.serverName(), oneLineReason(reason));
}

ServerReach reachServer(const StoreSettings &settings, std::unique_ptr<TableStore> *connected)
{
    auto server = std::make_unique<ServerTables>(settings);
    ServerReach reach;
    reach.reached = server->connect(&reach.reason);
    if (reach.reached && connected)
        *connected = std::move(server);
    return reach;
}

StartedStore startStore(const StoreSettings &settings, Dialogs &dialogs)
{
    StartedStore started;
    ServerReach reach;
    if (settings.isServer())
        reach = reachServer(settings, &started.store);
    const StoreStartPlan plan = planStoreStart(settings, reach);
    switch (plan.action) {
    case StoreStartPlan::Action::TableFiles: started.store = std::make_unique<OpenTables>(); break;
    case StoreStartPlan::Action::Server: started.serverStatus = plan.text; break;
    case StoreStartPlan::Action::AskTableFilesInstead:
        if (dialogs.askYesNo(plan.text)) {
            started.store = std::make_unique<OpenTables>();
            started.tableFilesInstead = true;
        }
        break;
    }
    return started;
}

} // namespace kront
