#pragma once

#include "bench/LabHome.h"
#include "bench/Summary.h"

#include <QString>

#include <chrono>
#include <functional>
#include <random>
#include <string>

namespace kront
{
class Database;
}

// Registration of the benchmarks: one operation measured at both home sizes,
// ours and (where given) the load-whole-table baseline, each sample timed
// alone so the summary shows true medians.
namespace kront::bench
{

// One prepared home of a size: the working copy (SQLite table files in
// Data/, flat baseline files in flat/), the rows its generator wrote and,
// when a server is given, the same tables on the server.
struct HomeUnderTest {
    const LabSize *size = nullptr;
    Size label = Size::Month;
    QString path;
    LabRows *rows = nullptr;
    std::mt19937 *rng = nullptr;
    int counter = 0;            // varies the values written, so every update changes its row
    Database *server = nullptr; // the home's tables copied to the server

    QString flat(const char *table) const
    {
        return path + QStringLiteral("/flat/") + QString::fromLatin1(table) + ".flat";
    }
    int randomVerification() const
    {
        return std::uniform_int_distribution<int>(0, size->verifications - 1)(*rng);
    }
    int randomReference() const
    {
        return std::uniform_int_distribution<int>(0, size->references - 1)(*rng);
    }
};

// Processor time of this thread, ms.
double threadCpuMs();
// The processor time of the last timed() call, ms.
inline double lastCpuMs = 0;
// What the running benchmark measures: the table files (ours, baseline) or
// the server's tables.
inline Variant runningVariant = Variant::Ours;

// Times one call (wall clock, and processor time into lastCpuMs); negative
// when the call reports failure.
template <class F> double timed(F &&f)
{
    const double c0 = threadCpuMs();
    const auto t0 = std::chrono::steady_clock::now();
    const bool ok = f();
    const auto t1 = std::chrono::steady_clock::now();
    lastCpuMs = threadCpuMs() - c0;
    const double ms = std::chrono::duration<double, std::milli>(t1 - t0).count();
    return ok ? ms : -1.0;
}

// One iteration: returns the measured milliseconds (negative: failed). Work
// done outside `timed` (setting up a row to delete) is not counted.
using Operation = std::function<double(HomeUnderTest &home)>;

void setHomes(HomeUnderTest *month, HomeUnderTest *twentyYears);

// Registers `op` as ours at both sizes and `baseline` (when given) likewise;
// the record operations and the results search also on the server's tables
// of each home that has them.
void registerOperation(const std::string &name, const std::string &group, Goal goal, Operation ours,
                       Operation baseline);

// The benchmark sets, registered in this order (queries before changes).
void registerQueryBenchmarks();
void registerSearchBenchmarks();
void registerFrameBenchmarks();
void registerChangeBenchmarks();
void registerReportBenchmarks();
void registerStartupBenchmarks();
void registerCommitFloorBenchmark();
void registerHistoryBenchmarks();

// One durable commit of a row in each of `files` bare table files of the
// home (the disk's floor), ms; negative on failure.
double floorCommitMs(HomeUnderTest &home, int files);

// Copies the program's report templates into the home's Protocol folder.
bool installTemplates(const QString &home);

} // namespace kront::bench
