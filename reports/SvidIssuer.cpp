#include "reports/SvidIssuer.h"

#include "common/AppHome.h"
#include "common/Clock.h"
#include "common/Dialogs.h"
#include "common/text/StringFunctions.h"
#include "db/Database.h"
#include "reportengine/Expression.h"
#include "reports/DocumentFit.h"
#include "reports/DocumentNumbers.h"
#include "reports/DocumentRecords.h"
#include "reports/NoticeReasons.h"
#include "reports/NoticeReasonsRecords.h"
#include "settings/ProgramSettings.h"
#include "settings/ProtIniFile.h"

#include <QFileInfo>

namespace kront
{

namespace
{

const QString kDocumentsOpenFailure = QStringLiteral(
    "Не удалось открыть базу данных выданных документов! Устаните причину и перезапустите "
    "программу.");

DocumentKind kindOf(bool notice)
{
    return notice ? DocumentKind::Notice : DocumentKind::Certificate;
}

// A variable's expression read back as text: blanks trimmed, quotes removed.
QString readBack(const report::Report &r, const QString &name)
{
    const std::optional<QString> e = r.variableExpression(name);
    return e ? report::unquoted(*e) : QString();
}

// A variable's value for a message, with its enclosing quotes: the text the
// operator typed, its quotes not doubled.
QString rawValue(const report::Report &r, const QString &name)
{
    const QString e = r.variableExpression(name).value_or(QString()).trimmed();
    if (e.size() >= 2 && e.startsWith(u'\'') && e.endsWith(u'\''))
        return u'\'' + report::unquoted(e) + u'\'';
    return e;
}

// The dialog fields take no more characters than the Documents column that
// records them holds, so a printed document bears what is recorded.
void limitDialogTexts(report::Report &r)
{
    static const std::pair<const char *, const char *> fields[] = {
        {"NUM_SVID", "DocNum"},
        {"NUM_IZV", "DocNum"},
        {"DATE_ACTING", "DateActing"},
        {"GLUBINA", "Glubina"},
        {"DLINA", "Dlina"},
        {"NAME_POV", "NamePov"},
        {"NAME_RUK", "NameRuk"},
        {"SER_NUM_PRED", "SerNumPred"},
    };
    for (const auto &[variable, column] : fields)
        r.setTextLimit(QLatin1String(variable), DocumentsColumnWidth(QLatin1String(column)));
    // The reasons are stored whole in IzvReasons, not only in Prichina.
    r.setTextLimit(QStringLiteral("PRICHINA"), kNoticeReasonsLength);
}

} // namespace

QString CertificateTemplateName()
{
    return QStringLiteral("Свидетельство ТП.fr3");
}

QString NoticeTemplateName()
{
    return QStringLiteral("Извещение ТП.fr3");
}

SvidIssuer::SvidIssuer(ReportContext &context, Dialogs &dialogSet, ProgramSettings &settings,
                       Chooser choose, ReportPresenter presentReport)
    : ctx(context), dialogs(dialogSet), programSettings(settings), chooser(std::move(choose)),
      presenter(std::move(presentReport))
{
}

void SvidIssuer::issueDocuments(int poverkaID)
{
    if (poverkaID <= 0)
        return;
    DocumentState &doc = ctx.document;
    struct RunGuard {
        DocumentState &d;
        ~RunGuard()
        {
            d.ChosenSensors.clear();
            d.DocPrintMode = false;
            d.ChosenSensorPos = 0;
        }
    } guard{doc};
    if (!collect(poverkaID) || !chooser)
        return;
    const std::optional<QList<int>> ticked = chooser(doc.ChosenSensors);
    if (!ticked)
        return;
    for (TSensOpts &s : doc.ChosenSensors)
        s.Selected = ticked->contains(s.SensorID);
    for (int pos = 0; pos < int(doc.ChosenSensors.size()); ++pos) {
        if (!doc.ChosenSensors[pos].Selected)
            continue;
        doc.ChosenSensorPos = pos;
        if (!issueCurrent())
            return;
    }
}

bool SvidIssuer::issueCurrent()
{
    DocumentState &doc = ctx.document;
    TSensOpts &s = doc.ChosenSensors[doc.ChosenSensorPos];
    const bool notice = s.isReject();
    const QString path =
        AppHome::templateFile(notice ? NoticeTemplateName() : CertificateTemplateName());
    if (!QFileInfo::exists(path)) {
        dialogs.error(QStringLiteral("Файл шаблона документа '") + path +
                      QStringLiteral("' не найден! Операция отменена."));
        return false;
    }
    if (s.DocNum.isEmpty() != s.EmittedDocID.isEmpty()) {
        dialogs.error(notice ? QStringLiteral("Не найдены данные выданного извещения о "
                                              "непригодности! Операция отменена.")
                             : QStringLiteral("Не найдены данные выданного свидетельства! "
                                              "Операция отменена."));
        return false;
    }
    const bool newDocument = s.DocNum.isEmpty();
    if (newDocument) {
        doc.EmittedDoc = NewEmittedDoc(s, periodic, programClock().now().date(), programSettings);
        const DocumentNumbering n = programSettings.numbering(kindOf(notice));
        const std::optional<QString> number =
            n.autoNum ? newDocumentNumber(ctx.database(), programSettings, kindOf(notice))
                      : QString();
        if (!number)
            return false; // the store has shown why
        (notice ? doc.EmittedDoc.IzvNum : doc.EmittedDoc.SvidNum) = *number;
        if (notice)
            doc.EmittedDoc.Prichina =
                NoticeReasonsFor(ctx.database(), dialogs, doc.poverkaID, s.BunchID, s.InputNum,
                                 programSettings.reduceResultClass());
        const QStringList changes = FitNewDocument(doc.EmittedDoc, notice);
        if (!changes.isEmpty())
            dialogs.warning(FittedDocumentWarning(changes));
    } else if (!fillIssuedDoc(s)) {
        return false;
    }

    report::Report &r = ctx.report;
    r.reset();
    if (!r.loadFromFile(path)) {
        dialogs.error(QStringLiteral("Не удалось загрузить шаблон документа '") + path +
                      QStringLiteral("': ") + r.errorString());
        return true; // only this entry is skipped
    }
    if (report::DialogPage *dialog = r.findDialogPage(QStringLiteral("DialogPage1")))
        dialog->setVisible(newDocument);
    setVariables(notice);
    if (presenter) {
        const QString number = notice ? doc.EmittedDoc.IzvNum : doc.EmittedDoc.SvidNum;
        QString name = notice ? QStringLiteral("Извещение") : QStringLiteral("Свидетельство");
        if (!number.isEmpty())
            name += u' ' + QString(number).replace(u'/', u'-');
        presenter(r, name + QStringLiteral(".pdf"));
    }
    if (!newDocument || !report::truthValue(r.variableValue(QStringLiteral("PRINTED"))))
        return true;
    return recordPrinted(notice);
}

bool SvidIssuer::fillIssuedDoc(const TSensOpts &s)
{
    const auto rows = ctx.database().select(tables::Documents,
                                            QStringLiteral("ID = %1").arg(s.EmittedDocID.toInt()),
                                            QStringLiteral("ID"), 1, kDocumentsOpenFailure);
    if (!rows)
        return false;
    if (rows->empty()) {
        dialogs.error(QStringLiteral("Не удалось найти поверяемый ТП, подключенный ко входу № %1! "
                                     "Операция отменена.")
                          .arg(s.InputNum));
        return false;
    }
    TEmittedDoc &d = ctx.document.EmittedDoc;
    d = EmittedDocFromRow(rows->front());
    if (rows->front().value(QStringLiteral("DocType")).toBool())
        d.Prichina =
            StoredNoticeReasons(ctx.database(), s.EmittedDocID.toInt()).value_or(d.Prichina);
    return true;
}

void SvidIssuer::setVariables(bool notice)
{
    report::Report &r = ctx.report;
    const TEmittedDoc &d = ctx.document.EmittedDoc;
    using report::quoted;
    if (notice) {
        r.setVariable(QStringLiteral("NUM_IZV"), quoted(d.IzvNum));
        r.setVariable(QStringLiteral("PRICHINA"), quoted(d.Prichina));
    } else {
        r.setVariable(QStringLiteral("NUM_SVID"), quoted(d.SvidNum));
        r.setVariable(QStringLiteral("DATE_ACTING"), quoted(d.DateActing));
        r.setVariable(QStringLiteral("GLUBINA"), quoted(d.Glubina));
        r.setVariable(QStringLiteral("DLINA"), quoted(d.Dlina));
        const TSensOpts *s = ctx.document.current();
        r.setVariable(QStringLiteral("ADDITIONAL_PARAMS"), s && NeedsAdditionalParams(s->NSHType));
    }
    r.setVariable(QStringLiteral("NAME_POV"), quoted(d.NamePov));
    r.setVariable(QStringLiteral("SER_NUM_PRED"), quoted(d.SerNumPred));
    r.setVariable(QStringLiteral("NAME_RUK"), quoted(d.NameRuk));
    r.setVariable(QStringLiteral("PRINTED"), false);
    limitDialogTexts(r);
}

bool SvidIssuer::recordPrinted(bool notice)
{
    const report::Report &r = ctx.report;
    DocumentState &doc = ctx.document;
    TEmittedDoc &d = doc.EmittedDoc;
    const QString numberVar = notice ? QStringLiteral("NUM_IZV") : QStringLiteral("NUM_SVID");
    // The stores keep 8 characters of a number; what is recorded is what is linked.
    const QString number = readBack(r, numberVar).left(kDocNumLength);
    const DocumentKind kind = kindOf(notice);
    if (programSettings.numbering(kind).autoNum) {
        if (IsDigitsInteger(number)) {
            documentNumberPrinted(ctx.database(), programSettings, kind, number.toInt(), dialogs);
        } else {
            dialogs.warning(
                (notice ? QStringLiteral("Указан нечисловой номер извещения: ")
                        : QStringLiteral("Указан нечисловой номер свидетельства: ")) +
                rawValue(r, numberVar) +
                (notice ? QStringLiteral("! Автонумерация извещений будет отключена.")
                        : QStringLiteral("! Автонумерация свидетельств будет отключена.")));
            programSettings.switchAutoNumberingOff(kind, dialogs);
        }
    }
    if (notice) {
        d.IzvNum = number;
        d.Prichina = readBack(r, QStringLiteral("PRICHINA"));
    } else {
        d.SvidNum = number;
        d.DateActing = readBack(r, QStringLiteral("DATE_ACTING"));
        d.Glubina = readBack(r, QStringLiteral("GLUBINA"));
        d.Dlina = readBack(r, QStringLiteral("DLINA"));
    }
    readBackNames();
    const int docID = InsertDocumentRow(ctx.database(), d, notice, periodic, programClock().now());
    if (docID < 1) {
        dialogs.error(QStringLiteral(
            "Внутренняя ошибка: не удалось добавить запись выданного документа в базу данных!"));
        return false;
    }
    // Prichina keeps what its column holds; the whole text goes with the notice.
    if (notice && !d.Prichina.isEmpty())
        StoreNoticeReasons(ctx.database(), dialogs, docID, d.Prichina);
    TSensOpts &s = doc.ChosenSensors[doc.ChosenSensorPos];
    s.EmittedDocID = QString::number(docID);
    s.DocNum = number;
    DBUpdateBunchesTPDocument(ctx.database(), s.BunchID, ctx.document.poverkaID, docID, number,
                              s.SensorID, s.InputNum);
    return true;
}

void SvidIssuer::readBackNames()
{
    const report::Report &r = ctx.report;
    TEmittedDoc &d = ctx.document.EmittedDoc;
    d.SerNumPred = readBack(r, QStringLiteral("SER_NUM_PRED"));
    ProtIniFile prot;
    const QString ruk = readBack(r, QStringLiteral("NAME_RUK"));
    if (ruk != d.NameRuk) {
        d.NameRuk = ruk;
        if (!prot.setRukName(ruk))
            dialogs.error(prot.lastError());
    }
    const QString pov = readBack(r, QStringLiteral("NAME_POV"));
    if (pov != d.NamePov) {
        d.NamePov = pov;
        if (!prot.setPovName(pov))
            dialogs.error(prot.lastError());
    }
}

} // namespace kront
