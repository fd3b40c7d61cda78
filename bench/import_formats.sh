#!/usr/bin/env bash
# Timed command-line run: `formats --import` of one template file with
# TEMPLATES templates of LAYOUTS layouts each (2 x 3 labels on A4) into an
# empty program directory. Prints the time and the formats added; a second
# run into the same directory adds nothing and shows the cost of the checks.
# Usage: bench/import_formats.sh [BUILD_DIR] [TEMPLATES] [LAYOUTS]
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build=${1:-$root/build}
templates=${2:-10}
layouts=${3:-1000}
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
layout='<Layout nx="2" ny="3" x0="10mm" y0="10mm" dx="60mm" dy="40mm"/>'
{
  echo '<Glabels-templates>'
  for ((t = 1; t <= templates; t++)); do
    echo "<Template brand=\"Bench\" part=\"$t\" size=\"A4\"><Label-rectangle width=\"50mm\" height=\"30mm\">"
    for ((l = 1; l <= layouts; l++)); do echo "$layout"; done
    echo '</Label-rectangle></Template>'
  done
  echo '</Glabels-templates>'
} > "$work/templates.xml"
mkdir -p "$work/dir"
for run in first second; do
  start=$(date +%s.%N)
  summary=$("$build/src/app/quillmark" formats --dir "$work/dir" --import "$work/templates.xml" 2>/dev/null | tail -n 1)
  end=$(date +%s.%N)
  awk -v r="$run" -v s="$start" -v e="$end" -v m="$summary" \
    'BEGIN { printf "%s run: %.2f s (%s)\n", r, e - s, m }'
done
