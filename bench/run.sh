#!/usr/bin/env bash
# Builds the benchmarks in their own build directory (Release, -DKRONT_BENCH=ON),
# runs them over the one-month and the twenty-year home (--large one-year
# takes a one-year home instead) and prints one summary table. The homes are
# built on the first run (about ten minutes for twenty years) and kept in
# $KRONT_BENCH_HOMES (default build-bench/homes); each run works on a copy that
# is removed afterwards. Progress goes to build-bench/bench.log.
#
# The record operations and the results search are measured on a PostgreSQL
# server too: KRONT_BENCH_PG holds the connection keywords of a role that may
# create databases; without it a throw-away cluster is started with
# scripts/pg-cluster.sh (when the script and the server are there) and
# stopped afterwards. KRONT_BENCH_PG=none leaves the server out. Each home is
# copied into a fresh database of the server with the store copy.
#
# Extra arguments go to the benchmark program (for example
# --benchmark_filter=search, --month-only or --large one-year).
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
server=()
cluster=
if [ "${KRONT_BENCH_PG:-}" = none ]; then
  :
elif [ -n "${KRONT_BENCH_PG:-}" ]; then
  server=(--server "$KRONT_BENCH_PG")
elif [ -x "$root/scripts/pg-cluster.sh" ] && ls /usr/lib/postgresql/*/bin/postgres >/dev/null 2>&1; then
  cluster=$build/pg
  echo "starting a PostgreSQL cluster in $cluster" >&2
  "$root/scripts/pg-cluster.sh" start "$cluster" >>"$log" 2>&1
  keywords=$(eval "$("$root/scripts/pg-cluster.sh" env "$cluster")" && printf '%s' "$KRONT_TEST_PG")
  server=(--server "$keywords")
fi
echo "running (load average now: $(cut -d' ' -f1-3 /proc/loadavg))" >&2
status=0
QT_QPA_PLATFORM=offscreen "$build/bin/kront-bench" --homes "$homes" --work "$work" \
    "${server[@]}" "$@" 2>>"$log" || status=$?
rm -rf "$work"
if [ -n "$cluster" ]; then
  "$root/scripts/pg-cluster.sh" stop "$cluster" >>"$log" 2>&1 || true
fi
exit $status
