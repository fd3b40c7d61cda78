#!/usr/bin/env bash
# Timed command-line run: 1,000 three-line address labels from a CSV file onto
# the 3 x 7 A4 format, into a PDF file. Prints labels per second.
# Usage: bench/print_labels.sh [BUILD_DIR] [LABELS]
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build=${1:-$root/build}
labels=${2:-1000}
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
{
  echo "Anzahl,Name,Straße,Ort"
  for ((i = 1; i <= labels; i++)); do
    echo "1,Empfänger Nummer $i,Musterweg $i,$((10000 + i)) Musterstadt"
  done
} > "$work/records.csv"
start=$(date +%s.%N)
"$build/src/app/quillmark" print "$root/share/ETIKETT/adresse.eti" "$root/share/FORMATE/adressen_3x7.vrl" \
  --records "$work/records.csv" --pdf "$work/out.pdf"
end=$(date +%s.%N)
awk -v n="$labels" -v s="$start" -v e="$end" \
  'BEGIN { t = e - s; printf "%d Etiketten in %.2f s: %.0f Etiketten/s\n", n, t, n / t }'
