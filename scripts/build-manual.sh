#!/usr/bin/env bash
# Builds the operator's manual (docs/manual/*.md) into one HTML page with its
# pictures inside, and one PDF: BUILD_DIR/manual/kront-manual.{html,pdf}.
# Takes the pictures first (scripts/screenshots.sh) when docs/manual/images
# has none. Installs pandoc and weasyprint when they are missing.
#
#   scripts/build-manual.sh [BUILD_DIR]
set -euo pipefail
src=$(cd "$(dirname "$0")/.." && pwd)
build=$(cd "${1:-$src/build}" && pwd)
need=()
for tool in pandoc:pandoc weasyprint:weasyprint; do
  command -v "${tool%%:*}" >/dev/null || need+=("${tool##*:}")
done
if [ ${#need[@]} -gt 0 ]; then
  sudo_cmd=()
  [ "$(id -u)" -ne 0 ] && sudo_cmd=(sudo)
  export DEBIAN_FRONTEND=noninteractive
  "${sudo_cmd[@]}" apt-get update
  "${sudo_cmd[@]}" apt-get install -y --no-install-recommends "${need[@]}"
fi
manual=$src/docs/manual
if ! ls "$manual"/images/*.png >/dev/null 2>&1; then
  "$src/scripts/screenshots.sh" "$build"
fi
out=$build/manual
mkdir -p "$out"
chapters=("$manual"/index.md "$manual"/0*.md)
cd "$manual"
pandoc "${chapters[@]}" --from markdown --to html5 --standalone --self-contained \
  --toc --css "$manual/manual.css" --metadata lang=ru -o "$out/kront-manual.html"
pandoc "${chapters[@]}" --from markdown --to html5 --standalone --css "$manual/manual.css" \
  --metadata lang=ru --pdf-engine=weasyprint -o "$out/kront-manual.pdf"
echo "$out/kront-manual.html"
echo "$out/kront-manual.pdf"
