#!/usr/bin/env bash
# A table of 100,000 records with 5 character fields; the record selection's
# core (field list, all records, one criterion, apply) and `quillmark table`
# each timed against shapelib's dbfdump reading the same file. Both must stay
# within twice dbfdump's time.
# Usage: bench/table_selection.sh [BUILD_DIR] [RECORDS]
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build=${1:-$root/build}
records=${2:-100000}
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
table=$work/gross.dbf
"$build/bench/bench_table_selection" "$table" --create "$records" > /dev/null

seconds() { # runs the command three times and prints the best time
  local best=
  for _ in 1 2 3; do
    local s e
    s=$(date +%s.%N); "$@" > /dev/null; e=$(date +%s.%N)
    best=$(awk -v s="$s" -v e="$e" -v b="$best" 'BEGIN { t = e - s; if (b == "" || t < b) b = t; print b }')
  done
  echo "$best"
}

dump=$(seconds dbfdump "$table")
selection=$(seconds "$build/bench/bench_table_selection" "$table")
listing=$(seconds "$build/src/app/quillmark" table "$table")
status=0
report() {
  awk -v n="$1" -v t="$2" -v d="$dump" 'BEGIN { printf "%-28s %6.3f s  (%.2f x dbfdump)\n", n, t, t / d; exit !(t <= 2 * d) }' || status=1
}
echo "$records Datensätze, 5 Zeichenfelder"
awk -v d="$dump" 'BEGIN { printf "%-28s %6.3f s\n", "dbfdump", d }'
report "Datensatzauswahl (Kern)" "$selection"
report "quillmark table" "$listing"
exit $status
