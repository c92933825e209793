#!/usr/bin/env bash
# Installs what is missing, builds in Release, prepares a demo home with the
# simulated installation (voltmeter, furnace and BI1 on a pseudo-terminal)
# and starts the program on it. The simulator's control window lets you set
# the furnace and the switches; it stops when the program ends.
set -euo pipefail
cd "$(dirname "$0")"
./scripts/install-deps.sh
cmake -S . -B build -DCMAKE_BUILD_TYPE=Release
cmake --build build -j"${KRONT_JOBS:-2}"
home=${KRONT_DEMO_HOME:-$PWD/demo-home}
./scripts/prepare-demo-home.sh "$home" build

sim_args=(--link "$home/taver" --log "$home/taver.log"
          --scenario tools/taver-sim/scenarios/demo.scenario)
[ -z "${DISPLAY:-}${WAYLAND_DISPLAY:-}" ] && sim_args+=(--headless)
./build/bin/kront-taver-sim "${sim_args[@]}" </dev/null >"$home/taver.out" 2>&1 &
sim_pid=$!
trap 'kill "$sim_pid" 2>/dev/null || true' EXIT
for _ in $(seq 50); do [ -e "$home/taver" ] && break; sleep 0.1; done

./build/bin/kront --home "$home" "$@"
