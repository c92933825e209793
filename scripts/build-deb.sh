#!/usr/bin/env bash
# Builds the Debian package kront_<version>_amd64.deb in build-deb/ (its own
# Release build, installed under /usr): kront, kront-cli, kront-taver-sim,
# the default templates, help pages, demo scenario and demo data (made by
# playing the demo verifications through the program), the operator's
# manual (HTML and PDF), the desktop entry,
# icons and manual pages. Installs what the package build needs besides
# the program's own build dependencies (dpkg-shlibdeps computes the
# package's dependencies from the shared libraries).
set -euo pipefail
cd "$(dirname "$0")/.."
./scripts/install-deps.sh
need=()
for tool in dpkg-shlibdeps:dpkg-dev file:file gzip:gzip; do
  command -v "${tool%%:*}" >/dev/null || need+=("${tool##*:}")
done
if [ ${#need[@]} -gt 0 ]; then
  sudo_cmd=()
  [ "$(id -u)" -ne 0 ] && sudo_cmd=(sudo)
  export DEBIAN_FRONTEND=noninteractive
  "${sudo_cmd[@]}" apt-get update
  "${sudo_cmd[@]}" apt-get install -y --no-install-recommends "${need[@]}"
fi
build=${KRONT_DEB_BUILD_DIR:-build-deb}
# Symbols are bound at start (as Debian's hardening asks).
cmake -S . -B "$build" -DCMAKE_BUILD_TYPE=Release -DCMAKE_INSTALL_PREFIX=/usr -DBUILD_TESTING=OFF \
  -DCMAKE_EXE_LINKER_FLAGS="-Wl,-z,relro,-z,now"
cmake --build "$build" -j"${KRONT_JOBS:-2}"
QT_QPA_PLATFORM=offscreen cmake --build "$build" -j"${KRONT_JOBS:-2}" --target kront_demo_data
./scripts/build-manual.sh "$build"
(cd "$build" && cpack -G DEB)
ls "$build"/kront_*.deb
