#!/usr/bin/env bash
# Prepares a demo program home: Data/, Config/, Protocol/ and the help pages,
# with the settings file pointing at the simulated voltmeter (<home>/taver).
# A new home gets the demo data of the build (BUILD_DIR/share/kront/demo,
# made by the target kront_demo_data, which plays the demo verifications):
# the reference thermocouples with their graduations, three finished
# verifications with a certificate and a notice, and the sensor set file of
# the demo installation. Data, settings and templates already there are
# kept; help pages are refreshed from the sources.
set -euo pipefail
home=$1
build=${2:-build}
src=$(cd "$(dirname "$0")/.." && pwd)
mkdir -p "$home/Data" "$home/Config" "$home/Protocol" "$home/Help"
# The marker lets `kront --training --home HOME` take this home as the demo's.
touch "$home/.kront-demo-home"
cp -r "$src/resources/help/." "$home/Help/"
if [ -d "$src/resources/protocol" ]; then
  cp -n "$src/resources/protocol/"* "$home/Protocol/" 2>/dev/null || true
fi
ini="$home/Config/kront.INI"
if [ ! -e "$ini" ]; then
  printf '[CommunicationParams]\r\nPort=%s\r\nTAVER-7Channel=1\r\nBI1_TInputInvertedPolarity=0\r\n' \
    "$home/taver" >"$ini"
fi
demo="$build/share/kront/demo"
if [ -z "$(ls -A "$home/Data")" ]; then
  cmake --build "$build" -j"${KRONT_JOBS:-2}" --target kront_demo_data
  cp -r "$demo/Data/." "$home/Data/"
fi
if [ -d "$demo/Config" ]; then
  cp -n "$demo/Config/"* "$home/Config/" 2>/dev/null || true
fi
