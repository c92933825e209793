#!/usr/bin/env bash
# Fails, naming each file and line, when a C++ file of the project does not
# follow .clang-format. Run from anywhere; checks the files git tracks.
set -euo pipefail
cd "$(dirname "$0")/.."
if ! command -v clang-format >/dev/null; then
  echo "clang-format is not installed (scripts/install-deps.sh installs it)" >&2
  exit 2
fi
git ls-files -z '*.cpp' '*.h' | xargs -0 clang-format --dry-run --Werror
echo "format: every C++ file follows .clang-format"
