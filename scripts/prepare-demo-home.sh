#!/usr/bin/env bash
# Prepares a demo program home: Data/, Config/, Protocol/ and the help pages,
# with the settings file pointing at the simulated voltmeter (<home>/taver).
# Data, settings and templates already there are kept; help pages are
# refreshed from the sources.
set -euo pipefail
home=$1
build=${2:-build}
src=$(cd "$(dirname "$0")/.." && pwd)
mkdir -p "$home/Data" "$home/Config" "$home/Protocol" "$home/Help"
cp -r "$src/resources/help/." "$home/Help/"
if [ -d "$src/resources/protocol" ]; then
  cp -n "$src/resources/protocol/"* "$home/Protocol/" 2>/dev/null || true
fi
ini="$home/Config/kront.INI"
if [ ! -e "$ini" ]; then
  printf '[CommunicationParams]\r\nPort=%s\r\nTAVER-7Channel=1\r\nBI1_TInputInvertedPolarity=0\r\n' \
    "$home/taver" >"$ini"
fi
if [ -d "$src/resources/demo/Config" ]; then
  cp -n "$src/resources/demo/Config/"* "$home/Config/" 2>/dev/null || true
fi
