#!/usr/bin/env bash
# Renders the program's icon (resources/icons/kront.svg) into the PNG sizes
# the desktop menus use, resources/icons/<N>x<N>/kront.png; the PNGs are
# committed, so only a changed icon needs this script (ImageMagick or
# rsvg-convert).
set -euo pipefail
cd "$(dirname "$0")/../resources/icons"
for n in 16 24 32 48 64 128 256; do
  mkdir -p "${n}x${n}"
  if command -v rsvg-convert >/dev/null; then
    rsvg-convert -w "$n" -h "$n" kront.svg -o "${n}x${n}/kront.png"
  else
    convert -background none -density 384 kront.svg -resize "${n}x${n}" -depth 8 -strip \
      "${n}x${n}/kront.png"
  fi
done
