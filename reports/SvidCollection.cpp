// Collecting the sensors of a verification that may get a document, and
// finding the sensor of an issued document for a reprint.

#include "common/Dialogs.h"
#include "db/Database.h"
#include "reports/PoverkaLoader.h"
#include "reports/SvidIssuer.h"

namespace kront
{

namespace
{

const QString kPoverkiOpenFailure = QStringLiteral(
    "Не удалось открыть базу данных поверок ТП! Устаните причину и перезапустите программу.");
const QString kBunchesOpenFailure = QStringLiteral(
    "Не удалось открыть базу данных пучков ТП! Устаните причину и перезапустите программу.");
const QString kSensorsOpenFailure = QStringLiteral(
    "Не удалось открыть базу данных поверяемых ТП! Устаните причину и перезапустите программу.");
const QString kDocumentsOpenFailure = QStringLiteral(
    "Не удалось открыть базу данных выданных документов! Устаните причину и перезапустите "
    "программу.");

QString idText(const QVariant &v)
{
    return v.isNull() || v.toInt() <= 0 ? QString() : QString::number(v.toInt());
}

TSensOpts entryOf(const QVariantMap &bunch, int k)
{
    TSensOpts s;
    s.SensorID = bunch.value(QStringLiteral("PovSensorID%1").arg(k)).toInt();
    s.BunchID = bunch.value(QStringLiteral("ID")).toInt();
    s.ChannelNum = bunch.value(QStringLiteral("ChannelNum")).toInt();
    s.InputNum = k;
    const QString result = bunch.value(QStringLiteral("ResultInp%1").arg(k)).toString();
    s.Result = result == QStringLiteral("Бр.") ? QStringLiteral("Брак") : result;
    s.DocNum = bunch.value(QStringLiteral("DocNumInp%1").arg(k)).toString();
    s.EmittedDocID = idText(bunch.value(QStringLiteral("EmittedDocIDInp%1").arg(k)));
    return s;
}

void copySensorRow(const QVariantMap &row, TSensOpts &s)
{
    s.SerialNum = row.value(QStringLiteral("SerialNum")).toString();
    const QVariant year = row.value(QStringLiteral("ProdYear"));
    // A year not given is stored as 0 (or null): the documents print none.
    s.ProdYear = year.toInt() > 0 ? QString::number(year.toInt()) : QString();
    s.TypeName = row.value(QStringLiteral("TypeName")).toString();
    s.NSHType = row.value(QStringLiteral("NSHType")).toString();
    s.Owner = row.value(QStringLiteral("Owner")).toString();
    s.Diameter = row.value(QStringLiteral("Diameter")).toDouble();
    s.Mass = row.value(QStringLiteral("Mass")).toDouble();
    s.Selected = false;
}

} // namespace

bool SvidIssuer::collect(int poverkaID)
{
    Database &db = ctx.database();
    const auto poverki = db.select(tables::Poverki, QStringLiteral("ID = %1").arg(poverkaID),
                                   QStringLiteral("ID"), 1, kPoverkiOpenFailure);
    if (!poverki)
        return false;
    if (poverki->empty()) {
        dialogs.error(QStringLiteral("Не найдены данные в базе данных поверок!"));
        return false;
    }
    periodic = poverki->front().value(QStringLiteral("Kind")).toInt() != 0;
    ctx.document.poverkaID = poverkaID;

    DocumentState &doc = ctx.document;
    doc.ChosenSensors.clear();
    doc.DocPrintMode = true;
    const auto bunches =
        db.select(tables::BunchesTP, QStringLiteral("PoverkaID = %1").arg(poverkaID),
                  QStringLiteral("ID"), -1, kBunchesOpenFailure);
    if (!bunches)
        return false;
    if (bunches->empty()) {
        dialogs.error(
            QStringLiteral("Не найдены данные в базе данных пучков ТП для указанной поверки!"));
        return false;
    }
    for (const QVariantMap &b : *bunches) {
        for (int k = 1; k <= 4; ++k) {
            const int sensorID = b.value(QStringLiteral("PovSensorID%1").arg(k)).toInt();
            if (sensorID <= 0)
                continue;
            if (db.DBGetRecordsCount(tables::Sensors, QStringLiteral("ID = %1").arg(sensorID)) !=
                1) {
                dialogs.error(PovSensorReadFailureText(k));
                return false;
            }
            TSensOpts entry = entryOf(b, k);
            // Of an interrupted verification only the rejected sensors get a document.
            if (b.value(QStringLiteral("PovTerminated")).toBool() && !entry.isReject())
                continue;
            doc.ChosenSensors.push_back(entry);
        }
    }
    return loadSensorRows();
}

bool SvidIssuer::loadSensorRows()
{
    for (TSensOpts &s : ctx.document.ChosenSensors) {
        const auto rows =
            ctx.database().select(tables::Sensors, QStringLiteral("ID = %1").arg(s.SensorID),
                                  QStringLiteral("ID"), 1, kSensorsOpenFailure);
        if (!rows)
            return false;
        if (rows->empty()) {
            dialogs.error(QStringLiteral("Не удалось найти данные поверяемого ТП, подключенного "
                                         "ко входу № %1! Операция отменена.")
                              .arg(s.InputNum));
            return false;
        }
        copySensorRow(rows->front(), s);
    }
    return true;
}

bool SvidIssuer::ReprintDocument(int docID)
{
    Database &db = ctx.database();
    const auto docs = db.select(tables::Documents, QStringLiteral("ID = %1").arg(docID),
                                QStringLiteral("ID"), 1, kDocumentsOpenFailure);
    if (!docs)
        return false;
    if (docs->empty()) {
        dialogs.error(QStringLiteral("Документ с ID %1 не найден в базе данных выданных "
                                     "документов!")
                          .arg(docID));
        return false;
    }
    QStringList links;
    for (int k = 1; k <= 4; ++k)
        links << QStringLiteral("EmittedDocIDInp%1 = %2").arg(k).arg(docID);
    const auto bunches = db.select(tables::BunchesTP, links.join(QStringLiteral(" or ")),
                                   QStringLiteral("ID"), 1, kBunchesOpenFailure);
    if (!bunches)
        return false;
    if (bunches->empty()) {
        dialogs.error(
            QStringLiteral("Документ с ID %1 не связан ни с одним поверяемым ТП!").arg(docID));
        return false;
    }
    const QVariantMap &b = bunches->front();
    int input = 1;
    while (input < 4 && b.value(QStringLiteral("EmittedDocIDInp%1").arg(input)).toInt() != docID)
        ++input;
    struct ModeGuard {
        DocumentState &d;
        ~ModeGuard()
        {
            d.ChosenSensors.clear();
            d.DocPrintMode = false;
        }
    } guard{ctx.document};
    DocumentState &doc = ctx.document;
    doc.ChosenSensors = {entryOf(b, input)};
    doc.ChosenSensorPos = 0;
    doc.DocPrintMode = true;
    if (!loadSensorRows())
        return false;
    return issueCurrent();
}

} // namespace kront
