#include "registry/ExportCandidates.h"

#include "db/Database.h"
#include "reports/NoticeReasonsRecords.h"

namespace kront
{

namespace
{

QString text(const QVariantMap &row, const QString &field)
{
    return row.value(field).toString().trimmed();
}

std::optional<QVariantMap> rowByID(Database &db, const TableSchema &table, int id)
{
    const auto rows = db.select(table, QStringLiteral("ID = %1").arg(id), QStringLiteral("ID"), 1);
    if (!rows)
        return std::nullopt;
    return rows->empty() ? QVariantMap() : rows->front();
}

// The candidate of input k of a bunch; false after a table's message.
bool addInput(Database &db, Dialogs &dialogs, const ExportCandidate &verification,
              const QVariantMap &bunch, int k, bool reduceResultClass,
              std::vector<ExportCandidate> &out)
{
    const int sensorID = bunch.value(QStringLiteral("PovSensorID%1").arg(k)).toInt();
    if (sensorID <= 0)
        return true;
    const auto sensor = rowByID(db, tables::Sensors, sensorID);
    if (!sensor)
        return false;
    ExportCandidate c = verification;
    c.bunchID = bunch.value(QStringLiteral("ID")).toInt();
    c.channel = bunch.value(QStringLiteral("ChannelNum")).toInt();
    c.input = k;
    c.etalSensID = bunch.value(QStringLiteral("EtalSensorID")).toInt();
    c.sensorID = sensorID;
    c.serialNum = text(*sensor, QStringLiteral("SerialNum"));
    c.prodYear = sensor->value(QStringLiteral("ProdYear")).toInt();
    c.typeName = text(*sensor, QStringLiteral("TypeName"));
    c.owner = text(*sensor, QStringLiteral("Owner"));
    const QString result = text(bunch, QStringLiteral("ResultInp%1").arg(k));
    c.result = result == QStringLiteral("Бр.") ? QStringLiteral("Брак") : result;
    if (c.unfit())
        c.reasons =
            NoticeReasonsFor(db, dialogs, c.poverkaID, c.bunchID, k, reduceResultClass).trimmed();
    out.push_back(std::move(c));
    return true;
}

} // namespace

bool ExportCandidate::unfit() const
{
    return result == QStringLiteral("Брак");
}

std::optional<std::vector<int>> FinishedPoverkaIDs(Database &db, const QDate &from, const QDate &to)
{
    const auto rows = db.selectFields(
        tables::Poverki, {QStringLiteral("ID"), QStringLiteral("Finished")}, QString());
    if (!rows)
        return std::nullopt;
    std::vector<int> ids;
    for (const QVariantList &r : *rows) {
        const QDate finished = r.value(1).toDateTime().date();
        if (!finished.isValid() || (from.isValid() && finished < from) ||
            (to.isValid() && finished > to))
            continue;
        ids.push_back(r.value(0).toInt());
    }
    return ids;
}

std::optional<std::vector<ExportCandidate>> GatherCandidates(Database &db, Dialogs &dialogs,
                                                             const std::vector<int> &poverkaIDs,
                                                             bool reduceResultClass)
{
    std::vector<ExportCandidate> out;
    for (const int id : poverkaIDs) {
        const auto poverka = rowByID(db, tables::Poverki, id);
        if (!poverka)
            return std::nullopt;
        ExportCandidate v;
        v.poverkaID = id;
        v.finished = poverka->value(QStringLiteral("Finished")).toDateTime();
        if (poverka->isEmpty() || !v.finished.isValid())
            continue;
        v.povNum = text(*poverka, QStringLiteral("PovNum"));
        v.kind = poverka->value(QStringLiteral("Kind")).toInt();
        v.gostNum = text(*poverka, QStringLiteral("GOSTnum"));
        v.conditions = StoredConditions(db, id);
        const auto bunches = db.select(tables::BunchesTP, QStringLiteral("PoverkaID = %1").arg(id),
                                       QStringLiteral("ChannelNum"));
        if (!bunches)
            return std::nullopt;
        for (const QVariantMap &b : *bunches) {
            for (int k = 1; k <= 4; ++k) {
                if (!addInput(db, dialogs, v, b, k, reduceResultClass, out))
                    return std::nullopt;
            }
        }
    }
    return out;
}

} // namespace kront
