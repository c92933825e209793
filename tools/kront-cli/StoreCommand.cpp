// kront-cli store copy: moves a laboratory's records between the table files
// of a home and a database server (LabCopy does the work).

#include "common/AppHome.h"
#include "db/LabCopy.h"
#include "db/OpenTables.h"
#include "db/ServerTables.h"
#include "settings/StoreSettings.h"
#include "tools/kront-cli/Commands.h"
#include "tools/kront-cli/StderrDialogs.h"

#include <QDir>

namespace kront::cli
{

namespace
{

constexpr int kOk = 0;
constexpr int kFailed = 1;
constexpr int kUsageError = 2;

int usage(QTextStream &err)
{
    err << "Использование: kront-cli store copy --from ОТКУДА --to КУДА" << Qt::endl
        << "  ОТКУДА и КУДА: папка программы (таблицы в её папке Data) или адрес сервера"
        << Qt::endl
        << "  postgresql://ПОЛЬЗОВАТЕЛЬ@СЕРВЕР:ПОРТ/БАЗА (пароль из ~/.pgpass или PGPASSWORD)"
        << Qt::endl;
    return kUsageError;
}

bool isServerAddress(const QString &where)
{
    return where.startsWith(QLatin1String("postgresql://"), Qt::CaseInsensitive);
}

// The store named by a --from or --to word; null after the message. A folder
// becomes the program's home for the command (at most one side is a folder).
std::unique_ptr<TableStore> openStore(const QString &where, bool isSource, QTextStream &err)
{
    if (isServerAddress(where)) {
        QString error;
        const StoreSettings settings = storeSettingsFromUrl(where, &error);
        if (!settings.isServer()) {
            err << error << Qt::endl;
            return nullptr;
        }
        auto server = std::make_unique<ServerTables>(settings);
        QString reason;
        if (!server->connect(&reason)) {
            err << "Не удалось подключиться к серверу " << settings.serverName() << ": " << reason
                << Qt::endl;
            return nullptr;
        }
        return server;
    }
    const QString home = QDir(where).absolutePath();
    // A mistyped folder must not pass for an empty laboratory.
    if (isSource && !QDir(home + QStringLiteral("/Data")).exists()) {
        err << "В папке " << QDir::toNativeSeparators(home)
            << " нет папки Data с таблицами программы." << Qt::endl;
        return nullptr;
    }
    AppHome::set(home);
    return std::make_unique<OpenTables>();
}

int copyStores(const QString &from, const QString &to, QTextStream &out, QTextStream &err)
{
    if (!isServerAddress(from) && !isServerAddress(to)) {
        err << "Обе стороны переноса — папки: таблицы одной папки переносятся в другую "
               "копированием папки Data."
            << Qt::endl;
        return kUsageError;
    }
    auto fromStore = openStore(from, true, err);
    if (!fromStore)
        return kFailed;
    auto toStore = openStore(to, false, err);
    if (!toStore)
        return kFailed;
    StderrDialogs dialogs(err);
    Database source(dialogs, std::move(fromStore));
    Database target(dialogs, std::move(toStore));
    LabCopy copy(source, target, dialogs);
    copy.tableCopied = [&](const TableSchema &table, qint64 rows) {
        out << table.tableName() << ": " << rows << Qt::endl;
    };
    if (!copy.run())
        return kFailed;
    out << "Всего: " << copy.totalRows() << Qt::endl;
    return kOk;
}

int runStoreCommand(const QStringList &args, QTextStream &out, QTextStream &err)
{
    if (args.size() != 5 || args[0] != QLatin1String("copy"))
        return usage(err);
    QString from, to;
    for (int i = 1; i + 1 < args.size(); i += 2) {
        if (args[i] == QLatin1String("--from"))
            from = args[i + 1];
        else if (args[i] == QLatin1String("--to"))
            to = args[i + 1];
    }
    if (from.isEmpty() || to.isEmpty())
        return usage(err);
    return copyStores(from, to, out, err);
}

} // namespace

KRONT_CLI_COMMAND(
    "store",
    "store copy --from ОТКУДА --to КУДА   перенос всех записей между папкой "
    "программы и пустой базой PostgreSQL (postgresql://ПОЛЬЗОВАТЕЛЬ@СЕРВЕР:ПОРТ/БАЗА)",
    runStoreCommand);

} // namespace kront::cli
