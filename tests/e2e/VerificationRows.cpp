#include "VerificationRows.h"

#include "db/Database.h"
#include "db/FilterText.h"

#include <QMap>
#include <QRegularExpression>

#include <algorithm>

namespace kront::e2e
{

namespace
{

const QString kPrefix = QStringLiteral("verification rows:");

QString joined(const QList<int> &ids)
{
    QStringList texts;
    for (int id : ids)
        texts << QString::number(id);
    return texts.join(u',');
}

std::optional<QList<int>> idList(const QString &text)
{
    QList<int> ids;
    for (const QString &part : text.split(u',', Qt::SkipEmptyParts)) {
        bool ok = false;
        ids << part.toInt(&ok);
        if (!ok)
            return std::nullopt;
    }
    return ids;
}

// The non-zero values of the four per-input fields of a bunch (PovSensorID1..4, ...).
void addInputIDs(const QVariantMap &bunch, const QString &field, QList<int> &ids)
{
    for (int input = 1; input <= 4; ++input) {
        const int id = bunch.value(field + QString::number(input)).toInt();
        if (id != 0)
            ids << id;
    }
}

} // namespace

QString VerificationRows::line() const
{
    return QStringLiteral("%1 poverka=%2 bunches=%3 results=%4 references=%5 sensors=%6 "
                          "documents=%7 numbers=%8")
        .arg(kPrefix)
        .arg(poverkaID)
        .arg(bunches)
        .arg(results)
        .arg(joined(references), joined(sensors), joined(documents), numbers.join(u','));
}

std::optional<VerificationRows> VerificationRows::fromOutput(const QString &output)
{
    const qsizetype at = output.lastIndexOf(kPrefix);
    if (at < 0)
        return std::nullopt;
    const QString text = output.mid(at + kPrefix.size()).section(u'\n', 0, 0).trimmed();
    QMap<QString, QString> values;
    for (const QString &pair : text.split(u' ', Qt::SkipEmptyParts))
        values[pair.section(u'=', 0, 0)] = pair.section(u'=', 1);
    VerificationRows r;
    bool idOk = false, bunchesOk = false, resultsOk = false;
    r.poverkaID = values.value(QStringLiteral("poverka")).toInt(&idOk);
    r.bunches = values.value(QStringLiteral("bunches")).toInt(&bunchesOk);
    r.results = values.value(QStringLiteral("results")).toInt(&resultsOk);
    const auto references = idList(values.value(QStringLiteral("references")));
    const auto sensors = idList(values.value(QStringLiteral("sensors")));
    const auto documents = idList(values.value(QStringLiteral("documents")));
    if (!idOk || !bunchesOk || !resultsOk || !references || !sensors || !documents)
        return std::nullopt;
    r.references = *references;
    r.sensors = *sensors;
    r.documents = *documents;
    r.numbers = values.value(QStringLiteral("numbers")).split(u',', Qt::SkipEmptyParts);
    return r;
}

std::optional<VerificationRows> rowsOf(Database &db, int poverkaID)
{
    const QString ofIt = QStringLiteral("PoverkaID = %1").arg(poverkaID);
    const auto bunches = db.select(tables::BunchesTP, ofIt);
    const auto results = db.select(tables::ResultsTP, ofIt);
    if (!bunches || !results)
        return std::nullopt;
    VerificationRows r;
    r.poverkaID = poverkaID;
    r.bunches = int(bunches->size());
    r.results = int(results->size());
    for (const QVariantMap &b : *bunches) {
        if (const int id = b.value(QStringLiteral("EtalSensorID")).toInt(); id != 0)
            r.references << id;
        addInputIDs(b, QStringLiteral("PovSensorID"), r.sensors);
        addInputIDs(b, QStringLiteral("EmittedDocIDInp"), r.documents);
    }
    std::sort(r.references.begin(), r.references.end());
    std::sort(r.sensors.begin(), r.sensors.end());
    std::sort(r.documents.begin(), r.documents.end());
    for (int id : r.documents) {
        const auto doc = db.select(tables::Documents, QStringLiteral("ID = %1").arg(id));
        if (!doc)
            return std::nullopt;
        r.numbers << (doc->empty() ? QStringLiteral("<none>")
                                   : doc->front().value(QStringLiteral("DocNum")).toString());
    }
    return r;
}

int verificationNumbered(Database &db, const QString &number)
{
    const auto found =
        db.select(tables::Poverki, QStringLiteral("PovNum = '") + quoteFilterText(number) + "'");
    return found && !found->empty() ? found->back().value(QStringLiteral("ID")).toInt() : 0;
}

} // namespace kront::e2e
