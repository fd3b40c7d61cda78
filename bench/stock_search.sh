#!/usr/bin/env bash
# `quillmark formats --find` over the label-stock index: each search text
# timed (best of five runs, the whole program start included) with the
# number of sheets found. A search must list its sheets within 0.3 s.
# Usage: bench/stock_search.sh [BUILD_DIR] [TEXT ...]
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build=${1:-$root/build}
shift || true
texts=("$@")
if [ ${#texts[@]} -eq 0 ]; then
  texts=(herma "herma 4464" L7160 "70 x 36" a)
fi
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
export QT_QPA_PLATFORM=${QT_QPA_PLATFORM:-offscreen}

status=0
for text in "${texts[@]}"; do
  best=
  for _ in 1 2 3 4 5; do
    s=$(date +%s.%N)
    "$build/src/app/quillmark" formats --find "$text" > "$work/out" || true
    e=$(date +%s.%N)
    best=$(awk -v s="$s" -v e="$e" -v b="$best" 'BEGIN { t = e - s; if (b == "" || t < b) b = t; print b }')
  done
  found=$(wc -l < "$work/out")
  awk -v n="$text" -v t="$best" -v f="$found" \
    'BEGIN { printf "%-14s %5d Bögen  %6.3f s\n", "\"" n "\"", f, t; exit !(t <= 0.3) }' || status=1
done
exit $status
