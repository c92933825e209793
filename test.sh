#!/usr/bin/env bash
# Installs what is missing, builds, and runs every test.
#   ./test.sh             Release build in build/
#   ./test.sh --sanitize  Debug build with AddressSanitizer and UBSan in build-asan/
# KRONT_BUILD_DIR, KRONT_BUILD_TYPE, KRONT_CMAKE_ARGS, KRONT_JOBS and
# KRONT_CTEST_ARGS override the defaults.
set -euo pipefail
cd "$(dirname "$0")"
sanitize=0
for arg in "$@"; do
    case $arg in
    --sanitize) sanitize=1 ;;
    *) echo "usage: $0 [--sanitize]" >&2 && exit 2 ;;
    esac
done
./scripts/install-deps.sh
if [ $sanitize = 1 ]; then
    build=${KRONT_BUILD_DIR:-build-asan}
    type=${KRONT_BUILD_TYPE:-Debug}
    cmake_args="-DKRONT_SANITIZE=ON ${KRONT_CMAKE_ARGS:-}"
    # Qt Charts keeps a few allocations until exit; nothing of ours is suppressed.
    export LSAN_OPTIONS="suppressions=$PWD/tests/support/lsan.supp${LSAN_OPTIONS:+:$LSAN_OPTIONS}"
    export UBSAN_OPTIONS="print_stacktrace=1:halt_on_error=1${UBSAN_OPTIONS:+:$UBSAN_OPTIONS}"
else
    build=${KRONT_BUILD_DIR:-build}
    type=${KRONT_BUILD_TYPE:-Release}
    cmake_args=${KRONT_CMAKE_ARGS:-}
fi
cmake -S . -B "$build" -DCMAKE_BUILD_TYPE="$type" $cmake_args
cmake --build "$build" -j"${KRONT_JOBS:-2}"
cd "$build"
QT_QPA_PLATFORM=offscreen ctest --output-on-failure -j"${KRONT_JOBS:-2}" ${KRONT_CTEST_ARGS:-}
