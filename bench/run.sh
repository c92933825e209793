#!/usr/bin/env bash
# Builds the benchmarks in their own build directory (Release, -DKRONT_BENCH=ON),
# runs them over the one-month and the twenty-year home and prints one summary
# table. The homes are built on the first run (about ten minutes for twenty
# years) and kept in $KRONT_BENCH_HOMES (default build-bench/homes); each run
# works on a copy that is removed afterwards. Progress goes to build-bench/bench.log.
# Extra arguments go to the benchmark program (for example
# --benchmark_filter=search or --month-only).
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build=${KRONT_BENCH_BUILD_DIR:-$root/build-bench}
homes=${KRONT_BENCH_HOMES:-$build/homes}
work=${KRONT_BENCH_WORK:-$homes/run}
log=$build/bench.log
mkdir -p "$build"
echo "building the benchmarks in $build (log: $log)" >&2
cmake -S "$root" -B "$build" -DCMAKE_BUILD_TYPE=Release -DKRONT_BENCH=ON -DBUILD_TESTING=OFF \
    >"$log" 2>&1
cmake --build "$build" -j"${KRONT_JOBS:-2}" --target kront-bench >>"$log" 2>&1
echo "running (load average now: $(cut -d' ' -f1-3 /proc/loadavg))" >&2
status=0
QT_QPA_PLATFORM=offscreen "$build/bin/kront-bench" --homes "$homes" --work "$work" "$@" \
    2>>"$log" || status=$?
rm -rf "$work"
exit $status
