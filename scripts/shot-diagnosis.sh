#!/bin/sh
# Screenshots of the measuring page with a connection diagnosis in the red label
# (diagnosis.png) and the estimate of the furnace stabilisation in the stability
# panel (forecast.png), taken offscreen during an end-to-end run against the
# simulator.
#   scripts/shot-diagnosis.sh [BUILD_DIR] [OUT_DIR]
set -e
here=$(cd "$(dirname "$0")/.." && pwd)
build=${1:-$here/build}
out=${2:-$here/screenshots}
mkdir -p "$out"
home=$(mktemp -d)
KRONT_E2E_SHOT_DIR=$out QT_QPA_PLATFORM=${QT_QPA_PLATFORM:-offscreen} \
    "$build/bin/kront-e2e" --home "$home/run" "$here/tests/e2e/scenarios/diagnosis_switch_left.scn"
rm -rf "$home"
ls "$out/diagnosis.png" "$out/forecast.png"
