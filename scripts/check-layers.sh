#!/usr/bin/env bash
# Checks that every folder includes only folders below it in the layer order,
# and that no core (non-ui) file includes a ui/ header. Reads every
# `#include "..."` of the program's sources and prints each offending include
# as file:line; the exit status is 1 when there is any.
#
# Usage: scripts/check-layers.sh [source root]   (default: the checkout)
set -euo pipefail

# The layer order, bottom to top: folder and rank. A folder may include
# folders of a lower rank and itself; folders of the same rank sit side by
# side and may not include each other. A folder's ui/ subfolder may include
# its own core, lower layers and lower ui/ folders. A third column "ui" marks
# a folder whose own files are windows too (they may include ui/ headers).
LAYERS='
common          0
common/text     1
model           2
settings        3
db              4
metrology       5
link            5
sensors         6
procedure       7
reportengine    8
reports         9
registry        10
history         10
app             11  ui
'

# Pairs "includer included" forbidden although the rank would allow them:
# metrology computes over values handed to it, the documents do not need the
# procedure, and the report engine knows nothing of verifications.
FORBIDDEN='
metrology    db
metrology    settings
reports      procedure
reportengine procedure
'

# Includes still owed a move, as "file included": the step calculation and
# its rows still read and write ResultsTP themselves. Each is printed as a
# reminder and does not fail the check; take a line out when its include goes.
OWED='
metrology/CalculationRows.cpp      db/TableRow.h
metrology/ReferenceTemperature.cpp db/Database.h
metrology/StepCalculation.cpp      db/Database.h
metrology/StepCalculation.cpp      db/ResultsTPQueries.h
'

# Folders that may include anything (they are not checked).
UNRESTRICTED='tests tools bench fuzz'

root=${1:-"$(dirname "$0")/.."}
cd "$root"

folders=$(awk 'NF { split($1, p, "/"); print p[1] }' <<<"$LAYERS" | sort -u)
existing=()
for folder in $folders; do
  [ -d "$folder" ] && existing+=("$folder")
done
[ ${#existing[@]} -gt 0 ] || { echo "check-layers: no source folders under $(pwd)" >&2; exit 2; }

find "${existing[@]}" -type f \( -name '*.h' -o -name '*.hpp' -o -name '*.cpp' \) -print0 | sort -z |
  xargs -0 awk -v layers="$LAYERS" -v forbidden="$FORBIDDEN" -v unrestricted="$UNRESTRICTED" \
    -v owed="$OWED" '
    function exists(path) { return (getline line < path) >= 0 ? (close(path) || 1) : 0 }
    # Splits a path into its layer folder (longest match in the table) and
    # whether it lies in a ui/ subfolder; returns the folder or "".
    function layerOf(path,    parts, n, i, prefix, best) {
      n = split(path, parts, "/")
      best = ""; prefix = ""; isUi = 0
      for (i = 1; i < n; i++) {
        if (parts[i] == "ui") { isUi = 1; break }
        prefix = prefix == "" ? parts[i] : prefix "/" parts[i]
        if (prefix in rank) best = prefix
      }
      if (best == "" && (parts[1] in free)) best = parts[1]
      return best
    }
    function report(msg) {
      if ((FILENAME " " target) in due) { printf "%s:%d: still owed: %s\n", FILENAME, FNR, msg; return }
      printf "%s:%d: %s\n", FILENAME, FNR, msg; bad++
    }
    BEGIN {
      n = split(layers, rows, "\n")
      for (i = 1; i <= n; i++) {
        k = split(rows[i], f, " ")
        if (k >= 2) rank[f[1]] = f[2] + 0
        if (k == 3 && f[3] == "ui") windows[f[1]] = 1
      }
      n = split(forbidden, rows, "\n")
      for (i = 1; i <= n; i++) if (split(rows[i], f, " ") == 2) banned[f[1] " " f[2]] = 1
      n = split(owed, rows, "\n")
      for (i = 1; i <= n; i++) if (split(rows[i], f, " ") == 2) due[f[1] " " f[2]] = 1
      n = split(unrestricted, f, " ")
      for (i = 1; i <= n; i++) { free[f[i]] = 1; rank[f[i]] = 1000 }
    }
    FNR == 1 {
      from = layerOf(FILENAME); fromUi = isUi || (from in windows)
      dir = FILENAME; sub(/\/[^\/]*$/, "", dir)
    }
    /^[ \t]*#[ \t]*include[ \t]*"/ {
      target = $0; sub(/^[^"]*"/, "", target); sub(/".*$/, "", target)
      # An include resolves beside the including file first, then from the root.
      path = exists(dir "/" target) ? dir "/" target : target
      while (path ~ /(^|\/)[^\/]+\/\.\.\//) sub(/[^\/]+\/\.\.\//, "", path)
      to = layerOf(path); toUi = isUi
      if (to == "") {
        if (!exists(path)) report("includes \"" target "\", which is in no source folder")
        next
      }
      if (to == from) {
        if (toUi && !fromUi) report("core file of " from "/ includes the ui header \"" target "\"")
        next
      }
      if (rank[to] > rank[from])
        report(from (fromUi ? "/ui" : "") " includes \"" target "\" from the higher layer " to "/")
      else if (rank[to] == rank[from])
        report(from " includes \"" target "\" from " to "/, which sits beside it")
      else if ((from " " to) in banned)
        report(from " must not include \"" target "\" (" to "/)")
      else if (toUi && !fromUi)
        report("core file of " from "/ includes the ui header \"" target "\"")
    }
    END { exit bad > 0 }
  ' && status=0 || status=$?

if [ "$status" -ne 0 ]; then
  echo "check-layers: includes against the layer order (see scripts/check-layers.sh)" >&2
  exit 1
fi
echo "check-layers: every include follows the layer order"
