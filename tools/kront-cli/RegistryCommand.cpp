// kront-cli registry-export: the finished verifications into the import file of the state
// registry, with the thermocouples that cannot be exported listed with their reasons.

#include "common/Clock.h"
#include "db/Database.h"
#include "registry/ExportCandidates.h"
#include "registry/RegistryExport.h"
#include "settings/SettingsFile.h"
#include "tools/kront-cli/CommandStore.h"
#include "tools/kront-cli/Commands.h"
#include "tools/kront-cli/StderrDialogs.h"

#include <QDate>

#include <algorithm>

namespace kront::cli
{

namespace
{

constexpr int kAllWritten = 0;
constexpr int kSkipped = 1;
constexpr int kUsageError = 2;

struct ExportOptions {
    QDate from, to;
    std::vector<int> ids;
    QString out;
};

int usage(QTextStream &err)
{
    err << "Использование: kront-cli [--home DIR] registry-export [--from DATE] [--to DATE] "
           "[--id ID]... --out FILE.xml"
        << Qt::endl;
    return kUsageError;
}

// "2025-03-14" or "14.03.2025".
QDate parseDate(const QString &text)
{
    const QDate iso = QDate::fromString(text, Qt::ISODate);
    return iso.isValid() ? iso : QDate::fromString(text, QStringLiteral("dd.MM.yyyy"));
}

bool parse(const QStringList &args, ExportOptions &o)
{
    for (int i = 0; i < args.size(); ++i) {
        const QString &a = args[i];
        if (i + 1 >= args.size())
            return false;
        const QString &value = args[++i];
        if (a == QLatin1String("--from")) {
            o.from = parseDate(value);
            if (!o.from.isValid())
                return false;
        } else if (a == QLatin1String("--to")) {
            o.to = parseDate(value);
            if (!o.to.isValid())
                return false;
        } else if (a == QLatin1String("--id")) {
            bool ok = false;
            const int id = value.toInt(&ok);
            if (!ok || id <= 0)
                return false;
            o.ids.push_back(id);
        } else if (a == QLatin1String("--out") && o.out.isEmpty() && !value.isEmpty()) {
            o.out = value;
        } else {
            return false;
        }
    }
    return !o.out.isEmpty() && (!o.from.isValid() || !o.to.isValid() || o.from <= o.to);
}

// The verifications asked for: the IDs given, else every finished one in the dates; both when
// both are given (the IDs finished in the dates).
std::optional<std::vector<int>> chosenVerifications(Database &db, const ExportOptions &o)
{
    if (!o.ids.empty() && !o.from.isValid() && !o.to.isValid())
        return o.ids;
    auto finished = FinishedPoverkaIDs(db, o.from, o.to);
    if (!finished || o.ids.empty())
        return finished;
    std::vector<int> both;
    for (const int id : o.ids) {
        if (std::find(finished->begin(), finished->end(), id) != finished->end())
            both.push_back(id);
    }
    return both;
}

int runRegistryExport(const QStringList &args, QTextStream &out, QTextStream &err)
{
    ExportOptions o;
    if (!parse(args, o))
        return usage(err);
    std::unique_ptr<TableStore> store = commandStore(err);
    if (!store)
        return kServerUnreachable;
    StderrDialogs dialogs(err);
    Database db(dialogs, std::move(store));
    const auto ids = chosenVerifications(db, o);
    if (!ids)
        return kSkipped;
    const auto plan = PrepareRegistryExport(db, dialogs, *ids, SettingsFile().reduceResultClass());
    if (!plan)
        return kSkipped;
    for (const RegistryRefusal &r : plan->refusals) {
        err << QStringLiteral("Пропущен ТП %1 (поверка № %2, ID %3): %4")
                   .arg(r.serialNum, r.povNum)
                   .arg(r.poverkaID)
                   .arg(r.reason)
            << Qt::endl;
    }
    const auto files = WriteRegistryExport(db, dialogs, *plan, o.out, programClock().now());
    if (!files)
        return kSkipped;
    for (const QString &f : *files)
        out << f << Qt::endl;
    out << QStringLiteral("Выгружено результатов: %1, пропущено: %2")
               .arg(plan->records.size())
               .arg(plan->refusals.size())
        << Qt::endl;
    return plan->refusals.empty() && !dialogs.errorShown ? kAllWritten : kSkipped;
}

} // namespace

KRONT_CLI_COMMAND("registry-export",
                  "registry-export [--from DATE] [--to DATE] [--id ID]... --out FILE.xml\n"
                  "                  writes the finished verifications into the registry import "
                  "file",
                  runRegistryExport);

} // namespace kront::cli
