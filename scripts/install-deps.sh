#!/usr/bin/env bash
# Installs the Debian packages the program and its tests need; does nothing
# when every one of them is already installed.
set -euo pipefail
packages=(
  build-essential cmake pkg-config
  qt6-base-dev libqt6opengl6-dev qt6-serialport-dev qt6-charts-dev libgl1-mesa-dev
  libsqlite3-dev sqlite3
  libpq-dev postgresql
  libxml2-dev libxml2-utils
  googletest libgtest-dev libgmock-dev libbenchmark-dev
  poppler-utils fonts-dejavu-core
  clang-format
)
missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed' || missing+=("$p")
done
[ ${#missing[@]} -eq 0 ] && exit 0
echo "Installing: ${missing[*]}"
sudo_cmd=()
[ "$(id -u)" -ne 0 ] && sudo_cmd=(sudo)
export DEBIAN_FRONTEND=noninteractive
"${sudo_cmd[@]}" apt-get update
"${sudo_cmd[@]}" apt-get install -y --no-install-recommends "${missing[@]}"
