#include "reports/DocumentRecords.h"

#include "common/text/StringFunctions.h"
#include "db/Database.h"
#include "db/FilterText.h"
#include "reports/ReportVariables.h"
#include "settings/ProgramSettings.h"
#include "settings/ProtIniFile.h"

namespace kront
{

namespace
{

QString text(const QVariantMap &row, const char *field)
{
    return row.value(QLatin1String(field)).toString();
}

} // namespace

QString PovKindWord(bool periodic)
{
    return periodic ? QStringLiteral("периодической") : QStringLiteral("первичной");
}

bool NeedsAdditionalParams(const QString &code)
{
    return code == QLatin1String("TPP10") || code == QLatin1String("TPP13") ||
           code == QLatin1String("TPR");
}

TEmittedDoc NewEmittedDoc(const TSensOpts &s, bool periodic, const QDate &today,
                          const ProgramSettings &settings)
{
    const ProtIniFile prot;
    TEmittedDoc d;
    d.MetrologyOrganName = u'\'' + settings.metrologyOrganName() + u'\'';
    d.NameSI = InstrumentName(s.NSHType);
    d.ZavNum = s.SerialNum;
    d.ProdYear = s.ProdYear;
    d.Owner = s.Owner;
    d.PovKind = PovKindWord(periodic);
    d.Class = s.Result;
    d.DolgRuk = settings.rukDolgnost();
    d.NameRuk = prot.rukName();
    d.NamePov = prot.povName();
    // The table and its filters read dates as dd.mm.yyyy, whatever the locale.
    d.DateDoc = DateToStr(today);
    d.Diameter = SensorSizeText(s.Diameter);
    d.Massa = SensorSizeText(s.Mass);
    return d;
}

TEmittedDoc EmittedDocFromRow(const QVariantMap &row)
{
    TEmittedDoc d;
    const bool notice = row.value(QStringLiteral("DocType")).toBool();
    if (notice) {
        d.IzvNum = text(row, "DocNum");
        d.Prichina = text(row, "Prichina");
    } else {
        d.SvidNum = text(row, "DocNum");
        d.DateActing = text(row, "DateActing");
        d.Class = text(row, "Class");
        d.Glubina = text(row, "Glubina");
        d.Diameter = text(row, "Diameter");
        d.Dlina = text(row, "Dlina");
        d.Massa = text(row, "Massa");
    }
    // The kind is stored for notices too; a reprint shows what was printed.
    d.PovKind = PovKindWord(row.value(QStringLiteral("PovKind")).toBool());
    d.MetrologyOrganName = text(row, "MetrologyOrganName");
    d.NameSI = text(row, "NameSI");
    d.SerNumPred = text(row, "SerNumPred");
    d.ZavNum = text(row, "ZavNum");
    d.Owner = text(row, "Owner");
    d.DolgRuk = text(row, "DolgRuk");
    d.NameRuk = text(row, "NameRuk");
    d.NamePov = text(row, "NamePov");
    d.DateDoc = text(row, "DateDoc");
    return d;
}

TableRow DocumentRowValues(const TEmittedDoc &d, bool notice, bool periodic,
                           const QDateTime &created)
{
    // Class holds three characters: a rejected sensor is written the way
    // BunchesTP writes it, not cut to "Бра".
    const QString cls = d.Class == QStringLiteral("Брак") ? QStringLiteral("Бр.") : d.Class;
    return TableRow(tables::Documents, {{"DocType", notice},
                                        {"DocNum", notice ? d.IzvNum : d.SvidNum},
                                        {"MetrologyOrganName", d.MetrologyOrganName},
                                        {"NameSI", d.NameSI},
                                        {"SerNumPred", d.SerNumPred},
                                        {"ZavNum", d.ZavNum},
                                        {"Owner", d.Owner},
                                        {"PovKind", periodic},
                                        {"Class", cls},
                                        {"Prichina", d.Prichina},
                                        {"DolgRuk", d.DolgRuk},
                                        {"NameRuk", d.NameRuk},
                                        {"NamePov", d.NamePov},
                                        {"DateDoc", d.DateDoc},
                                        {"DateActing", d.DateActing},
                                        {"Glubina", d.Glubina},
                                        {"Diameter", d.Diameter},
                                        {"Dlina", d.Dlina},
                                        {"Massa", d.Massa},
                                        {"RecordCreationDateTime", created}});
}

int InsertDocumentRow(Database &db, const TEmittedDoc &doc, bool notice, bool periodic,
                      const QDateTime &created)
{
    if (!db.DBDocInsert(DocumentRowValues(doc, notice, periodic, created)))
        return -1;
    return db.lastInsertedID();
}

bool DBUpdateBunchesTPDocument(Database &db, int bunchID, int poverkaID, int docID,
                               const QString &docNum, int sensorID, int inputNum)
{
    if (inputNum < 1 || inputNum > 4)
        return false;
    const QString filter = QStringLiteral("ID = %1 and PoverkaID = %2 and PovSensorID%3 = %4")
                               .arg(bunchID)
                               .arg(poverkaID)
                               .arg(inputNum)
                               .arg(sensorID);
    QVariantMap values;
    values.insert(QStringLiteral("DocNumInp%1").arg(inputNum), docNum);
    values.insert(QStringLiteral("EmittedDocIDInp%1").arg(inputNum), docID);
    return db.updateWhere(tables::BunchesTP, filter, values) > 0;
}

} // namespace kront
