#!/usr/bin/env bash
# Installs what is missing, builds in Release, prepares a demo home and
# starts the program on it.
set -euo pipefail
cd "$(dirname "$0")"
./scripts/install-deps.sh
cmake -S . -B build -DCMAKE_BUILD_TYPE=Release
cmake --build build -j"${KRONT_JOBS:-2}"
home=${KRONT_DEMO_HOME:-$PWD/demo-home}
./scripts/prepare-demo-home.sh "$home" build
exec ./build/bin/kront --home "$home" "$@"
