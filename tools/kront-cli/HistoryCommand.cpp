// kront-cli history: the verifications of one thermocouple with its deviation
// at each temperature, the trend and the forecast, or the use of a reference.

#include "db/Database.h"
#include "history/HistoryTable.h"
#include "history/ReferenceHistory.h"
#include "history/SensorHistory.h"
#include "tools/kront-cli/CommandStore.h"
#include "tools/kront-cli/Commands.h"
#include "tools/kront-cli/StderrDialogs.h"

#include <QIODevice>

namespace kront::cli
{

namespace
{

constexpr int kOk = 0;
constexpr int kFailed = 1;
constexpr int kUsageError = 2;

struct HistoryOptions {
    QString serial, type;
    int year = 0;
    bool csv = false;
    bool reference = false;
};

int usage(QTextStream &err)
{
    err << "Использование: kront-cli [--home DIR] history SERIAL [--type TYPE] [--year YEAR] "
           "[--csv] [--reference]"
        << Qt::endl;
    return kUsageError;
}

bool parse(const QStringList &args, HistoryOptions &o)
{
    for (int i = 0; i < args.size(); ++i) {
        const QString &a = args[i];
        const bool hasValue = i + 1 < args.size();
        if (a == QLatin1String("--csv")) {
            o.csv = true;
        } else if (a == QLatin1String("--reference")) {
            o.reference = true;
        } else if (a == QLatin1String("--type") && hasValue) {
            o.type = args[++i];
        } else if (a == QLatin1String("--year") && hasValue) {
            bool ok = false;
            o.year = args[++i].toInt(&ok);
            if (!ok || o.year <= 0)
                return false;
        } else if (!a.startsWith(QLatin1String("--")) && o.serial.isEmpty()) {
            o.serial = a;
        } else {
            return false;
        }
    }
    return !o.serial.isEmpty();
}

void writeRaw(QTextStream &out, const QByteArray &bytes)
{
    // Raw bytes: a text stream would drop the byte order mark.
    out.flush();
    if (out.device())
        out.device()->write(bytes);
    else
        out << QString::fromUtf8(bytes);
}

void printTable(QTextStream &out, const QStringList &headers, const std::vector<QStringList> &rows)
{
    out << headers.join(u'\t') << Qt::endl;
    for (const QStringList &r : rows)
        out << r.join(u'\t') << Qt::endl;
}

int printSensor(const StoredSensorKey &key, const HistoryOptions &o, Database &db, QTextStream &out)
{
    const auto history = LoadSensorHistory(db, key);
    if (!history)
        return kFailed;
    if (o.csv) {
        writeRaw(out, HistoryCsv(*history));
        return kOk;
    }
    out << QStringLiteral("ТП ") << SensorKeyText(key) << Qt::endl;
    printTable(out, HistoryHeaders(*history), HistoryRows(*history));
    for (const TemperatureTrend &t : HistoryTrends(*history))
        out << TrendTexts(t, history->declaredClass).join(QStringLiteral("; ")) << Qt::endl;
    return kOk;
}

int printReference(const StoredSensorKey &key, const HistoryOptions &o, Database &db,
                   QTextStream &out)
{
    const auto history = LoadReferenceHistory(db, key);
    if (!history)
        return kFailed;
    if (!o.csv) {
        out << QStringLiteral("Эталон ") << SensorKeyText(key) << Qt::endl;
        for (const QString &line : ReferenceSummary(*history))
            out << line << Qt::endl;
        printTable(out, ReferenceSpreadHeaders(), ReferenceSpreadRows(*history));
        return kOk;
    }
    writeRaw(out, TextTableCsv(ReferenceSpreadHeaders(), ReferenceSpreadRows(*history)));
    return kOk;
}

int runHistoryCommand(const QStringList &args, QTextStream &out, QTextStream &err)
{
    HistoryOptions o;
    if (!parse(args, o))
        return usage(err);
    std::unique_ptr<TableStore> store = commandStore(err);
    if (!store)
        return kServerUnreachable;
    StderrDialogs dialogs(err);
    Database db(dialogs, std::move(store));
    const auto found = DBFindSensorsBySerial(db, o.serial, o.reference);
    if (!found)
        return kFailed;
    const std::vector<StoredSensorKey> keys = MatchingSensors(*found, o.type, o.year);
    if (keys.empty()) {
        err << (o.reference ? QStringLiteral("Эталон с заводским номером ")
                            : QStringLiteral("ТП с заводским номером "))
            << o.serial << QStringLiteral(" не найден") << Qt::endl;
        return kFailed;
    }
    if (keys.size() > 1) {
        err << QStringLiteral("Найдено несколько датчиков; уточните --type и --year:") << Qt::endl;
        for (const StoredSensorKey &k : keys)
            err << "  " << SensorKeyText(k) << Qt::endl;
        return kUsageError;
    }
    return o.reference ? printReference(keys.front(), o, db, out)
                       : printSensor(keys.front(), o, db, out);
}

} // namespace

KRONT_CLI_COMMAND(
    "history",
    "history SERIAL [--type TYPE] [--year YEAR] [--csv]\n"
    "                            verifications of a thermocouple: Δ, trend, forecast\n"
    "history SERIAL --reference [--type TYPE] [--year YEAR] [--csv]\n"
    "                            use of a reference and spread of its readings",
    runHistoryCommand);

} // namespace kront::cli
