#include "Printouts.h"

#include "db/Database.h"
#include "db/FilterText.h"
#include "reports/ProtocolPrinter.h"
#include "reports/ReportContext.h"
#include "reports/SvidIssuer.h"
#include "settings/ProgramSettings.h"

#include <QDir>
#include <QProcess>

namespace kront::e2e
{

namespace
{

// The ID of the scenario's verification: the last one stored with its number; 0 for none.
int poverkaID(const Scenario &sc, Database &db, QString &error)
{
    const auto found =
        db.select(tables::Poverki, QStringLiteral("PovNum = '") + quoteFilterText(sc.number) + "'");
    if (!found || found->empty()) {
        error = QStringLiteral("no verification with number ") + sc.number;
        return 0;
    }
    return found->back().value(QStringLiteral("ID")).toInt();
}

} // namespace

bool issueAllDocuments(const Scenario &sc, Database &db, ProgramSettings &settings,
                       Dialogs &dialogs, QString &error)
{
    const int id = poverkaID(sc, db, error);
    if (id == 0)
        return false;
    // The documents are numbered by the program (the lab's numbering would
    // be typed into the template's dialog instead).
    settings.setNumbering(DocumentKind::Certificate, {true, 1, 4});
    settings.setNumbering(DocumentKind::Notice, {true, 1, 4});
    ReportContext context(db);
    int offered = 0;
    int printed = 0;
    SvidIssuer issuer(
        context, dialogs, settings,
        [&offered](const std::vector<TSensOpts> &sensors) -> std::optional<QList<int>> {
            QList<int> all;
            for (const TSensOpts &s : sensors)
                all << s.SensorID;
            offered = int(all.size());
            return all;
        },
        [&printed](report::Report &r, const QString &) {
            r.notifyPrinted();
            ++printed;
        });
    issuer.issueDocuments(id);
    if (offered == 0 || printed != offered) {
        error = QStringLiteral("%1 of %2 documents printed").arg(printed).arg(offered);
        return false;
    }
    return true;
}

QString printProtocolText(const Scenario &sc, Database &db, Dialogs &dialogs, const QString &folder,
                          QString &error)
{
    const int id = poverkaID(sc, db, error);
    if (id == 0)
        return QString();
    ReportContext context(db);
    QString text;
    int sheets = 0;
    ProtocolPrinter printer(context, dialogs, [&](report::Report &r, const QString &) {
        const QString path = QDir(folder).filePath(QStringLiteral("protocol-%1.pdf").arg(++sheets));
        if (!r.prepare() || !r.writePdf(path)) {
            error = r.errorString();
            return;
        }
        QProcess pdftotext;
        pdftotext.start(QStringLiteral("pdftotext"), {path, QStringLiteral("-")});
        if (!pdftotext.waitForFinished(30000) || pdftotext.exitCode() != 0)
            error = QStringLiteral("pdftotext failed on ") + path;
        text += QString::fromUtf8(pdftotext.readAllStandardOutput());
    });
    if (printer.PrintStored(id, 0) <= 0 && error.isEmpty())
        error = QStringLiteral("no protocol was printed");
    return error.isEmpty() ? text : QString();
}

} // namespace kront::e2e
