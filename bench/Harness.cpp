#include "bench/Harness.h"

#include "bench/BenchDb.h"

#include "common/AppHome.h"

#include <benchmark/benchmark.h>

#include <ctime>

namespace kront::bench
{

namespace
{

HomeUnderTest *homes[2] = {nullptr, nullptr};

void run(benchmark::State &state, const Operation &op, Variant variant, Size size,
         const std::string &name)
{
    HomeUnderTest &home = *homes[int(size)];
    AppHome::set(home.path);
    runningVariant = variant;
    useDatabase(variant == Variant::Server ? home.server : nullptr);
    for (auto _ : state) {
        const double ms = op(home);
        if (ms < 0) {
            // A failing operation is counted and stops its benchmark.
            Summary::instance().failed(name, variant, size);
            state.SkipWithError("the operation failed");
            break;
        } else {
            Summary::instance().add(name, variant, size, ms, lastCpuMs);
            state.SetIterationTime(ms / 1000.0);
        }
    }
    useDatabase(nullptr);
    runningVariant = Variant::Ours;
}

// The operations measured on the server too: the record operations (not the
// disk's floor of the table files) and the results search.
bool alsoOnServer(const std::string &name, const std::string &group)
{
    const auto startsWith = [](const std::string &s, const char *prefix) {
        return s.rfind(prefix, 0) == 0;
    };
    return (startsWith(group, "record operations") && !startsWith(name, "disk floor")) ||
           startsWith(name, "results search");
}

} // namespace

double threadCpuMs()
{
    timespec ts{};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &ts);
    return ts.tv_sec * 1e3 + ts.tv_nsec / 1e6;
}

void setHomes(HomeUnderTest *month, HomeUnderTest *twentyYears)
{
    homes[0] = month;
    homes[1] = twentyYears;
}

void registerOperation(const std::string &name, const std::string &group, Goal goal, Operation ours,
                       Operation baseline)
{
    Summary::instance().declare(name, group, goal);
    for (Variant variant : {Variant::Ours, Variant::Baseline, Variant::Server}) {
        const Operation &op = variant == Variant::Baseline ? baseline : ours;
        if (!op || (variant == Variant::Server && !alsoOnServer(name, group)))
            continue;
        for (Size size : {Size::Month, Size::TwentyYears}) {
            if (!homes[int(size)] || (variant == Variant::Server && !homes[int(size)]->server))
                continue;
            const std::string label = name +
                                      (variant == Variant::Baseline ? " [baseline]"
                                       : variant == Variant::Server ? " [server]"
                                                                    : "") +
                                      "/" + homes[int(size)]->size->name;
            auto *b = benchmark::RegisterBenchmark(
                label.c_str(), [op, variant, size, name](benchmark::State &state) {
                    run(state, op, variant, size, name);
                });
            b->UseManualTime()->Unit(benchmark::kMillisecond);
            if (variant == Variant::Baseline)
                b->Iterations(size == Size::TwentyYears ? 3 : 10);
            else
                b->MinTime(0.5);
        }
    }
}

} // namespace kront::bench
