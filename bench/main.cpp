// kront-bench: the record operations, the searches and the receive path over
// a one-month and a larger (by default twenty-year) laboratory home, with the
// load-whole-table baseline beside them and, when a database server is given,
// the record operations and the results search on the homes copied there.
// Prints one summary table on stdout.
//
//   kront-bench --homes DIR [--work DIR] [--large one-year|twenty-years]
//               [--month-only] [--server ADMIN_KEYWORDS] [benchmark options]
//   kront-bench --probe N   (times the generator on N verifications)
#include "bench/FlatTable.h"
#include "bench/Harness.h"
#include "bench/LabHome.h"
#include "bench/ServerHome.h"
#include "common/AppHome.h"
#include "db/TableSchema.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QGuiApplication>
#include <QTemporaryDir>

#include <benchmark/benchmark.h>

#include <cstdio>

using namespace kront;
using namespace kront::bench;

namespace
{

// Progress on stderr, one line per benchmark; the figures go to the summary.
class QuietReporter : public benchmark::BenchmarkReporter
{
public:
    bool ReportContext(const Context &) override { return true; }
    void ReportRuns(const std::vector<Run> &runs) override
    {
        for (const Run &r : runs)
            std::fprintf(stderr, "  %s: %lld iterations\n", r.benchmark_name().c_str(),
                         static_cast<long long>(r.iterations));
    }
};

QString option(const QStringList &args, const char *name)
{
    const int i = args.indexOf(QString::fromLatin1(name));
    return i > 0 && i + 1 < args.size() ? args[i + 1] : QString();
}

int probe(int verifications)
{
    QTemporaryDir dir;
    const LabSize size{"probe", verifications, kTwentyYears.resultsPerBunch,
                       kTwentyYears.references};
    QElapsedTimer t;
    t.start();
    const bool ok = !ensureLabHome(size, dir.path()).isEmpty();
    std::printf("%s: %d verifications in %.1f s\n", ok ? "built" : "FAILED", size.verifications,
                t.elapsed() / 1000.0);
    return ok ? 0 : 1;
}

// The baseline's flat files beside the table files of a cached home.
bool ensureFlatFiles(const QString &home)
{
    const QString dir = home + QStringLiteral("/flat");
    if (QFile::exists(dir + QStringLiteral("/complete")))
        return true;
    std::fprintf(stderr, "writing the baseline's flat table files of %s\n", qPrintable(home));
    QDir().mkpath(dir);
    AppHome::set(home);
    for (const TableSchema *s : allTables()) {
        if (!FlatTable::exportFrom(*s, dir + u'/' + s->tableName() + QStringLiteral(".flat")))
            return false;
    }
    QFile mark(dir + QStringLiteral("/complete"));
    return mark.open(QIODevice::WriteOnly);
}

bool prepare(const LabSize &size, Size label, const QString &cache, const QString &work,
             HomeUnderTest &home)
{
    const QString cached = ensureLabHome(size, cache);
    if (cached.isEmpty() || !ensureFlatFiles(cached))
        return false;
    const QDateTime generated = labHomeTime(cached);
    if (!generated.isValid())
        return false;
    std::fprintf(stderr, "copying the %s home to %s\n", size.name, qPrintable(work));
    home.size = &size;
    home.label = label;
    home.path = copyHome(cached, work + u'/' + QString::fromLatin1(size.name));
    home.rows = new LabRows(size, generated);
    home.rng = new std::mt19937(label == Size::Month ? 1 : 2);
    return !home.path.isEmpty() && installTemplates(home.path);
}

} // namespace

int main(int argc, char **argv)
{
    // Reports are drawn for their PDFs: a GUI application, offscreen.
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    const QStringList args = app.arguments();
    if (const QString n = option(args, "--probe"); !n.isEmpty())
        return probe(n.toInt());
    const QString cache = option(args, "--homes");
    if (cache.isEmpty()) {
        std::fprintf(stderr, "usage: kront-bench --homes DIR [--work DIR] [benchmark options]\n");
        return 2;
    }
    const QString work =
        option(args, "--work").isEmpty() ? cache + QStringLiteral("/run") : option(args, "--work");
    // "--month-only" leaves the larger home out (a quick check of the benchmarks).
    const bool monthOnly = args.contains(QStringLiteral("--month-only"));
    const QString largeName = option(args, "--large");
    if (!largeName.isEmpty() && largeName != QLatin1String(kOneYear.name) &&
        largeName != QLatin1String(kTwentyYears.name)) {
        std::fprintf(stderr, "--large takes %s or %s\n", kOneYear.name, kTwentyYears.name);
        return 2;
    }
    const LabSize &largeSize = largeName == QLatin1String(kOneYear.name) ? kOneYear : kTwentyYears;
    Summary::instance().setLargeLabel(&largeSize == &kOneYear ? "1 year" : "20 years");
    static HomeUnderTest month, large;
    if (!prepare(kMonth, Size::Month, cache, work, month) ||
        (!monthOnly && !prepare(largeSize, Size::TwentyYears, cache, work, large))) {
        std::fprintf(stderr, "the benchmark homes could not be prepared\n");
        return 1;
    }
    const QString server = option(args, "--server");
    if (!server.isEmpty()) {
        for (HomeUnderTest *home : {&month, &large}) {
            if (!home->size)
                continue;
            std::fprintf(stderr, "copying the %s home to the server\n", home->size->name);
            QString error;
            if (!copyHomeToServer(*home, server, error)) {
                std::fprintf(stderr, "the %s home could not be copied to the server: %s\n",
                             home->size->name, qPrintable(error));
                dropServerDatabases(server);
                return 1;
            }
        }
    }
    setHomes(&month, monthOnly ? nullptr : &large);
    registerQueryBenchmarks();
    registerSearchBenchmarks();
    registerHistoryBenchmarks();
    registerReportBenchmarks();
    registerStartupBenchmarks();
    registerFrameBenchmarks();
    registerChangeBenchmarks();

    // Our own options are not the benchmark library's.
    std::vector<char *> rest;
    for (int i = 0; i < argc; ++i) {
        const QString a = QString::fromLocal8Bit(argv[i]);
        if (a == QLatin1String("--month-only"))
            continue;
        if (a == QLatin1String("--homes") || a == QLatin1String("--work") ||
            a == QLatin1String("--large") || a == QLatin1String("--server")) {
            ++i;
            continue;
        }
        rest.push_back(argv[i]);
    }
    int restCount = int(rest.size());
    benchmark::Initialize(&restCount, rest.data());
    QuietReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    std::string homes =
        "Home of one month: " + std::to_string(kMonth.verifications) + " verifications";
    if (!monthOnly) {
        const int n = largeSize.verifications;
        homes += std::string("; of ") +
                 (&largeSize == &kOneYear ? "one year: " : "twenty years: ") + std::to_string(n) +
                 " verifications, " + std::to_string(2 * n) + " bunches, " + std::to_string(8 * n) +
                 " sensors, " + std::to_string(2 * n * largeSize.resultsPerBunch) +
                 " result rows, " + std::to_string(n) + " documents, " +
                 std::to_string(largeSize.references) + " references";
    }
    Summary::instance().note(homes + ".");
    if (!server.isEmpty())
        Summary::instance().note("Server: PostgreSQL given by the admin connection; each home "
                                 "copied into a fresh database with the store copy.");
    Summary::instance().note("Baseline: the whole table file read into memory, walked, and "
                             "written back whole when changed (no flush), per operation.");
    Summary::instance().print(stdout);
    if (!server.isEmpty())
        dropServerDatabases(server);
    return 0;
}
