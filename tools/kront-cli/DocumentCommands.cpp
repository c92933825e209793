// kront-cli protocol|document: archive PDFs of stored verifications and of
// issued certificates and notices, drawn from the templates in Protocol/
// exactly as the program prints them, without a preview.

#include "db/Database.h"
#include "model/TPoverka.h"
#include "reports/ProtocolPrinter.h"
#include "reports/ReportContext.h"
#include "reports/SvidIssuer.h"
#include "settings/ProgramSettings.h"
#include "tools/kront-cli/CommandStore.h"
#include "tools/kront-cli/Commands.h"
#include "tools/kront-cli/StderrDialogs.h"

#include <QFileInfo>

namespace kront::cli
{

namespace
{

constexpr int kOk = 0;
constexpr int kFailed = 1;
constexpr int kUsageError = 2;

struct PdfOptions {
    int id = 0;
    int channel = 0;
    QString pdf;
};

// ID [--channel N] --pdf FILE; false for anything else.
bool parseOptions(const QStringList &args, bool channelAllowed, PdfOptions &o)
{
    bool ok = false;
    if (args.isEmpty())
        return false;
    o.id = args[0].toInt(&ok);
    if (!ok || o.id <= 0)
        return false;
    for (int i = 1; i < args.size(); i += 2) {
        if (i + 1 >= args.size())
            return false;
        if (args[i] == QLatin1String("--pdf")) {
            o.pdf = args[i + 1];
        } else if (channelAllowed && args[i] == QLatin1String("--channel")) {
            o.channel = args[i + 1].toInt(&ok);
            if (!ok || (o.channel != 1 && o.channel != 2))
                return false;
        } else {
            return false;
        }
    }
    return !o.pdf.isEmpty();
}

// FILE with "-<channel>" before its extension: archive.pdf -> archive-2.pdf.
QString channelFileName(const QString &file, int channel)
{
    const QFileInfo info(file);
    const QString suffix = info.suffix();
    const QString base = suffix.isEmpty() ? file : file.left(file.size() - suffix.size() - 1);
    return base + u'-' + QString::number(channel) + (suffix.isEmpty() ? QString() : u'.' + suffix);
}

// Prepares a report and writes it; failures are counted and reported.
struct PdfWriter {
    QTextStream &out;
    QTextStream &err;
    int written = 0;
    int failed = 0;

    void write(report::Report &r, const QString &path)
    {
        if (!r.prepare() || !r.writePdf(path)) {
            err << "Не удалось записать PDF " << path << ": " << r.errorString() << Qt::endl;
            ++failed;
            return;
        }
        out << path << Qt::endl;
        ++written;
    }
};

int runProtocolCommand(const QStringList &args, QTextStream &out, QTextStream &err)
{
    PdfOptions o;
    if (!parseOptions(args, true, o)) {
        err << "Использование: kront-cli [--home DIR] protocol POVERKA_ID [--channel N] --pdf FILE"
            << Qt::endl;
        return kUsageError;
    }
    std::unique_ptr<TableStore> store = commandStore(err);
    if (!store)
        return kServerUnreachable;
    StderrDialogs dialogs(err);
    Database db(dialogs, std::move(store));
    ReportContext ctx(db);
    PdfWriter writer{out, err};
    ProtocolPrinter printer(ctx, dialogs, [&](report::Report &r, const QString &) {
        const TPoverka *p = ctx.protocol.poverka;
        const bool two = p && p->Bunches[1] && p->Bunches[2];
        const TBunch *bunch = ctx.protocol.bunch();
        const QString path = (two && o.channel == 0 && bunch)
                                 ? channelFileName(o.pdf, int(bunch->ChannelNum))
                                 : o.pdf;
        writer.write(r, path);
    });
    const int shown = printer.PrintStored(o.id, o.channel);
    return shown > 0 && writer.failed == 0 && !dialogs.errorShown ? kOk : kFailed;
}

int runDocumentCommand(const QStringList &args, QTextStream &out, QTextStream &err)
{
    PdfOptions o;
    if (!parseOptions(args, false, o)) {
        err << "Использование: kront-cli [--home DIR] document DOC_ID --pdf FILE" << Qt::endl;
        return kUsageError;
    }
    std::unique_ptr<TableStore> store = commandStore(err);
    if (!store)
        return kServerUnreachable;
    StderrDialogs dialogs(err);
    Database db(dialogs, std::move(store));
    ReportContext ctx(db);
    PdfWriter writer{out, err};
    ProgramSettings settings; // a reprint numbers nothing: the settings are not read
    SvidIssuer issuer(
        ctx, dialogs, settings,
        [](const std::vector<TSensOpts> &) { return std::optional<QList<int>>(); },
        [&](report::Report &r, const QString &) { writer.write(r, o.pdf); });
    const bool ok = issuer.ReprintDocument(o.id);
    return ok && writer.written == 1 && !dialogs.errorShown ? kOk : kFailed;
}

} // namespace

KRONT_CLI_COMMAND("protocol",
                  "protocol POVERKA_ID [--channel N] --pdf FILE   protocol of each bunch as PDF\n"
                  "         (FILE-1.pdf and FILE-2.pdf for two bunches, unless --channel)",
                  runProtocolCommand);
KRONT_CLI_COMMAND("document", "document DOC_ID --pdf FILE   an issued certificate or notice as PDF",
                  runDocumentCommand);

} // namespace kront::cli
