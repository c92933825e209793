#!/usr/bin/env bash
# Installs what is missing, builds, and runs every test.
set -euo pipefail
cd "$(dirname "$0")"
./scripts/install-deps.sh
build=${KRONT_BUILD_DIR:-build}
cmake -S . -B "$build" -DCMAKE_BUILD_TYPE=${KRONT_BUILD_TYPE:-Release} ${KRONT_CMAKE_ARGS:-}
cmake --build "$build" -j"${KRONT_JOBS:-2}"
cd "$build"
QT_QPA_PLATFORM=offscreen ctest --output-on-failure -j"${KRONT_JOBS:-2}" ${KRONT_CTEST_ARGS:-}
