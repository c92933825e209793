#!/usr/bin/env bash
# Builds the libFuzzer targets with clang in their own build directory and runs
# each, one after the other, for SECONDS (default 60) on a working corpus that
# starts as a copy of its seed corpus fuzz/corpus/<target>/:
#   fuzz/run.sh 600
#   KRONT_FUZZ_TARGETS="ini template" fuzz/run.sh 600
# Not part of CI; CI runs the deterministic random-input tests of test_fuzz.
# A fault leaves its input in <build>/crashes/<target>/ and the log beside it;
# the exit status is then 1.
set -euo pipefail
seconds=${1:-60}
root=$(cd "$(dirname "$0")/.." && pwd)
build=${KRONT_FUZZ_BUILD_DIR:-$root/build-fuzz}
targets=${KRONT_FUZZ_TARGETS:-"receiver filter state ini sensorset template"}
log=$build/fuzz-build.log
mkdir -p "$build"
instrument="-fsanitize=fuzzer-no-link,address,undefined -fno-sanitize-recover=undefined -fno-omit-frame-pointer -g"
CC=clang CXX=clang++ cmake -S "$root" -B "$build" -DCMAKE_BUILD_TYPE=RelWithDebInfo -DKRONT_FUZZ=ON \
    -DCMAKE_CXX_FLAGS="$instrument" -DCMAKE_EXE_LINKER_FLAGS="-fsanitize=address,undefined" >"$log" 2>&1
for t in $targets; do
    if ! cmake --build "$build" -j"${KRONT_JOBS:-2}" --target "fuzz_$t" >>"$log" 2>&1; then
        echo "build of fuzz_$t failed: see $log" >&2
        exit 2
    fi
done
# The template target loads pictures and measures fonts through Qt's GUI
# module, which needs a platform.
export QT_QPA_PLATFORM=offscreen
export LSAN_OPTIONS="suppressions=$root/fuzz/lsan.supp${LSAN_OPTIONS:+:$LSAN_OPTIONS}"
status=0
for t in $targets; do
    corpus=$build/corpus/$t
    mkdir -p "$corpus" "$build/crashes/$t"
    cp -n "$root/fuzz/corpus/$t/"* "$corpus/" 2>/dev/null || true
    # A target with a dictionary of its format's tokens gets it.
    dict=()
    [ -f "$root/fuzz/$t.dict" ] && dict=(-dict="$root/fuzz/$t.dict")
    echo "== fuzz_$t for $seconds s"
    if ! "$build/fuzz/fuzz_$t" -max_total_time="$seconds" -timeout=10 -rss_limit_mb=2048 \
        "${dict[@]}" -print_final_stats=1 -artifact_prefix="$build/crashes/$t/" "$corpus" \
        >"$build/fuzz_$t.log" 2>&1; then
        status=1
        echo "   FOUND A FAULT: see $build/fuzz_$t.log and $build/crashes/$t/"
    fi
    grep -E "^stat::number_of_executed_units|^stat::peak_rss_mb|^#[0-9]+ +DONE" "$build/fuzz_$t.log" || true
    echo "   corpus: $(find "$corpus" -type f | wc -l) inputs"
done
exit $status
