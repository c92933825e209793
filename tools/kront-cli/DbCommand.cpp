// kront-cli db count|maxid|id|select: table queries through the very record
// operations of the program, with the filter dialect.

#include "common/Clock.h"
#include "db/CsvExport.h"
#include "db/Database.h"
#include "db/FilterCompiler.h"
#include "tools/kront-cli/CommandStore.h"
#include "tools/kront-cli/Commands.h"
#include "tools/kront-cli/StderrDialogs.h"

#include <QIODevice>

namespace kront::cli
{

namespace
{

constexpr int kOk = 0;
constexpr int kTableNotOpened = 1;
constexpr int kUsageError = 2;

int usage(QTextStream &err)
{
    err << "Использование: kront-cli [--home DIR] db count|maxid|select TABLE [FILTER]" << Qt::endl
        << "               kront-cli [--home DIR] db id TABLE FILTER" << Qt::endl;
    return kUsageError;
}

int runDbCommand(const QStringList &args, QTextStream &out, QTextStream &err)
{
    if (args.size() < 2 || args.size() > 3)
        return usage(err);
    const QString action = args[0];
    if (action != QLatin1String("count") && action != QLatin1String("maxid") &&
        action != QLatin1String("id") && action != QLatin1String("select"))
        return usage(err);
    if (action == QLatin1String("id") && args.size() != 3)
        return usage(err);
    const QString table = args[1];
    const QString filter = args.size() > 2 ? args[2] : QString();
    const TableSchema *schema = findTable(table);
    if (!schema) {
        err << "Неизвестная таблица: " << table
            << " (Poverki, EtalSens, Sensors, BunchesTP, ResultsTP, Documents)" << Qt::endl;
        return kUsageError;
    }
    // A filter that does not parse stops here, before any table is opened.
    const auto compiled = compileFilter(filter, *schema, programClock().now());
    if (const auto *e = std::get_if<FilterError>(&compiled)) {
        err << e->text() << Qt::endl;
        return kUsageError;
    }

    std::unique_ptr<TableStore> store = commandStore(err);
    if (!store)
        return kServerUnreachable;
    StderrDialogs dialogs(err);
    Database db(dialogs, std::move(store));
    if (action == QLatin1String("select")) {
        const auto rows = db.select(*schema, filter);
        if (!rows)
            return kTableNotOpened;
        // Raw bytes: a text stream would drop the byte order mark.
        const QByteArray csv = tableCsv(*schema, *rows);
        out.flush();
        if (out.device())
            out.device()->write(csv);
        else
            out << QString::fromUtf8(csv);
        return kOk;
    }
    int result = -1;
    if (action == QLatin1String("count"))
        result = db.DBGetRecordsCount(*schema, filter);
    else if (action == QLatin1String("maxid"))
        result = db.DBGetMaxID(*schema, filter);
    else
        result = db.DBGetID(*schema, filter);
    if (dialogs.errorShown)
        return kTableNotOpened;
    out << result << Qt::endl;
    return kOk;
}

} // namespace

KRONT_CLI_COMMAND("db",
                  "db count  TABLE [FILTER]   number of rows passing the filter\n"
                  "db maxid  TABLE [FILTER]   largest ID, -1 when its row fails the filter\n"
                  "db id     TABLE FILTER     ID of the only row passing the filter, else -1\n"
                  "db select TABLE [FILTER]   CSV of the rows passing the filter",
                  runDbCommand);

} // namespace kront::cli
