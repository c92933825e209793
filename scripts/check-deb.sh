#!/usr/bin/env bash
# Checks the Debian package end to end, as a lab would meet it:
#   1. builds kront_<version>_amd64.deb (scripts/build-deb.sh), unless a
#      package is given as the first argument;
#   2. unpacks it with dpkg -x into a scratch root and checks that it holds
#      the programs, the default templates and help pages, the demo data
#      under /usr/share/kront/demo and the manual (HTML and PDF);
#   3. makes a new program home from the packaged demo data and prints the
#      protocol of a demo verification as PDF with the unpacked kront-cli,
#      which finds its templates beside itself (../share/kront);
#   4. runs lintian: an error fails the check, the warnings are listed.
#
# With a warm compiler cache the whole check took 12 minutes on two busy
# cores (the package's own build, the demo verifications and the manual's
# pictures); on a built package, steps 2 to 4 take about 15 seconds. It is
# not part of .ci/run for that reason.
#
#   scripts/check-deb.sh [PACKAGE.deb]
set -euo pipefail
src=$(cd "$(dirname "$0")/.." && pwd)
cd "$src"
deb=${1:-}
if [ -z "$deb" ]; then
  ./scripts/build-deb.sh
  deb=$(ls -t "${KRONT_DEB_BUILD_DIR:-build-deb}"/kront_*_amd64.deb | head -n 1)
fi
need=()
for tool in lintian:lintian pdftotext:poppler-utils; do
  command -v "${tool%%:*}" >/dev/null || need+=("${tool##*:}")
done
if [ ${#need[@]} -gt 0 ]; then
  sudo_cmd=()
  [ "$(id -u)" -ne 0 ] && sudo_cmd=(sudo)
  DEBIAN_FRONTEND=noninteractive "${sudo_cmd[@]}" apt-get install -y --no-install-recommends "${need[@]}"
fi

scratch=$(mktemp -d)
trap 'rm -rf "$scratch"' EXIT
root=$scratch/root
dpkg -x "$deb" "$root"
fail() { echo "check-deb: $*" >&2; exit 1; }

for f in usr/bin/kront usr/bin/kront-cli usr/bin/kront-taver-sim \
         usr/share/kront/Help/index.html usr/share/kront/Config/EquipParamsTP.INI \
         usr/share/kront/scenarios/demo.scenario \
         usr/share/kront/demo/Data/Poverki.cds usr/share/kront/demo/Data/EtalSens.cds \
         usr/share/doc/kront/manual/kront-manual.html usr/share/doc/kront/manual/kront-manual.pdf \
         usr/share/applications/kront.desktop; do
  [ -e "$root/$f" ] || fail "the package lacks /$f"
done
ls "$root"/usr/share/kront/Protocol/*.fr3 >/dev/null || fail "the package lacks the templates"

# A new home holding only the demo data; templates come from the package.
home=$scratch/home
mkdir -p "$home"
cp -r "$root/usr/share/kront/demo/Data" "$home/"
cli=$root/usr/bin/kront-cli
count=$("$cli" --home "$home" db count Poverki)
[ "$count" -eq 3 ] || fail "the demo data holds $count verifications, not three"
id=$("$cli" --home "$home" db maxid Poverki)
# One PDF per bunch (protocol-1.pdf, protocol-2.pdf) or protocol.pdf for one.
QT_QPA_PLATFORM=offscreen "$cli" --home "$home" protocol "$id" --pdf "$scratch/protocol.pdf"
pdfs=("$scratch"/protocol*.pdf)
[ -e "${pdfs[0]}" ] || fail "no protocol PDF printed"
number=$("$cli" --home "$home" db select Poverki "ID = $id" | sed -n '2s/^[0-9]*;\([^;]*\);.*/\1/p')
for pdf in "${pdfs[@]}"; do
  head -c 4 "$pdf" | grep -q '%PDF' || fail "$pdf is not a PDF"
  pdftotext "$pdf" - | grep -q "ПРОТОКОЛ ПОВЕРКИ № $number" || fail "$pdf is not the protocol of $number"
done
[ -e "$home/Protocol" ] && [ -n "$(ls -A "$home/Protocol")" ] &&
  fail "kront-cli copied templates into the home instead of reading the packaged ones"
echo "protocol of demo verification $number:" "$(stat -c '%n %s bytes' "${pdfs[@]}")"

lintian --fail-on error --tag-display-limit 0 "$deb" | tee "$scratch/lintian.txt"
echo "lintian: $(grep -c '^E:' "$scratch/lintian.txt" || true) errors," \
  "$(grep -c '^W:' "$scratch/lintian.txt" || true) warnings"
echo "check-deb: $deb passed"
