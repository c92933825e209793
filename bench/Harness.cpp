#include "bench/Harness.h"

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
    for (Variant variant : {Variant::Ours, Variant::Baseline}) {
        const Operation &op = variant == Variant::Ours ? ours : baseline;
        if (!op)
            continue;
        for (Size size : {Size::Month, Size::TwentyYears}) {
            if (!homes[int(size)])
                continue;
            const std::string label = name + (variant == Variant::Baseline ? " [baseline]" : "") +
                                      (size == Size::Month ? "/month" : "/twenty-years");
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
