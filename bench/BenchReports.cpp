// The unfinished list as the main window shows it, and the PDFs of a
// protocol and of a certificate of a stored verification.
#include "bench/BenchDb.h"
#include "procedure/UnfinishedVerifications.h"
#include "reportengine/Report.h"
#include "reports/ProtocolPrinter.h"
#include "reports/ReportContext.h"
#include "reports/SvidIssuer.h"
#include "settings/ProgramSettings.h"

#include <QDir>

namespace kront::bench
{

namespace
{

const std::string kGroup = "unfinished list and results search";
const std::string kDocuments = "protocol and documents";
constexpr Goal kProtocolGoal{300.0, 0.0};

QString pdfPath(const HomeUnderTest &h)
{
    return h.path + QStringLiteral("/bench.pdf");
}

// A finished verification of the home at random, of those whose rows the
// generator writes completely: direct measurement without the instability
// check.
int finishedVerification(HomeUnderTest &h)
{
    int i = h.randomVerification();
    while (!h.rows->finished(i) || i % 3 == 0 || i % 4 == 0)
        i = h.randomVerification();
    return i;
}

// The home numbers the temperature points of its result rows from 1; the
// protocol reads them from 0. Rewrites the rows of channel 1 of verification
// i that way (not timed) and returns the verification's ID, -1 on failure.
int protocolReady(HomeUnderTest &h, int i)
{
    const int id = LabIds::poverka(i), bunch = LabIds::bunch(i, 1);
    std::vector<TableRow> rows = h.rows->results(i, 1);
    for (TableRow &r : rows)
        r.set("MeasPointNum", r.value(u"MeasPointNum").toInt() - 1);
    Database &db = database();
    return db.DBDeleteResultsTPFilter(
               QStringLiteral("PoverkaID = %1 and BunchID = %2").arg(id).arg(bunch)) &&
                   db.insertRows(tables::ResultsTP, rows)
               ? id
               : -1;
}

} // namespace

void registerReportBenchmarks()
{
    registerOperation("unfinished list (UnfinishedVerifications::List)", kGroup, kSearchGoal,
                      [](HomeUnderTest &) {
                          static ConsoleDialogs dialogs;
                          UnfinishedVerifications list(database(), dialogs);
                          return timed([&] { return list.List().has_value(); });
                      },
                      {});
    registerOperation("protocol of one channel, data and PDF", kDocuments, kProtocolGoal,
                      [](HomeUnderTest &h) {
                          const int id = protocolReady(h, finishedVerification(h));
                          static ConsoleDialogs dialogs;
                          ReportContext ctx(database());
                          bool written = false;
                          ProtocolPrinter printer(
                              ctx, dialogs, [&](report::Report &r, const QString &) {
                                  written = r.prepare() && r.writePdf(pdfPath(h));
                              });
                          return timed([&] { return printer.PrintStored(id, 1) == 1 && written; });
                      },
                      {});
    registerOperation(
        "certificate of one thermocouple, data and PDF", kDocuments, kProtocolGoal,
        [](HomeUnderTest &h) {
            const int doc = LabIds::document(finishedVerification(h));
            static ConsoleDialogs dialogs;
            ReportContext ctx(database());
            bool written = false;
            ProgramSettings settings;
            SvidIssuer issuer(
                ctx, dialogs, settings,
                [](const std::vector<TSensOpts> &) { return std::optional<QList<int>>(); },
                [&](report::Report &r, const QString &) {
                    written = r.prepare() && r.writePdf(pdfPath(h));
                });
            return timed([&] { return issuer.ReprintDocument(doc) && written; });
        },
        {});
}

// The report templates the program ships, into a home's Protocol folder.
bool installTemplates(const QString &home)
{
    const QDir from(QStringLiteral(KRONT_SOURCE_DIR "/resources/protocol"));
    for (const QString &name : from.entryList({QStringLiteral("*.fr3")}, QDir::Files)) {
        const QString to = home + QStringLiteral("/Protocol/") + name;
        QFile::remove(to);
        if (!QFile::copy(from.filePath(name), to))
            return false;
    }
    return true;
}

} // namespace kront::bench
