#!/usr/bin/env bash
# Timed command-line runs: LABELS (10,000 unless given) inventory labels whose
# value is printed once as a QR code and once as plain text, with the same
# records, onto the 3 x 7 A4 format into a PDF file. Prints both wall times
# and their ratio (the QR run should take at most three times as long).
# Usage: bench/barcode_labels.sh [BUILD_DIR] [LABELS]
#
# Measured on the two-core build machine (RelWithDebInfo, other builds beside
# it): text 0.34-0.45 s, QR 8.7-12.1 s, ratio 19-36, far above the aim of 3.
# libzint lays a QR code out in about 0.23 ms (2.3 s of the run); the rest is
# the PDF engine writing some 300-400 module rectangles a label (filling them
# as one path instead was no faster; libzint already joins neighbouring
# modules of a row).
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build=${1:-$root/build}
labels=${2:-10000}
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
printf 'NA,QR\r\nGR,175,105,25\r\nXP,0,0\r\nBC,10,10,90,90,2,Inventar,80\r\n' > "$work/qr.eti"
printf 'NA,Text\r\nGR,175,105,25\r\nXF,12,0,0,0,Arial,0\r\nEF,10,10,80,Inventar\r\n' > "$work/text.eti"
{
  echo "Anzahl,Inventar"
  for ((i = 1; i <= labels; i++)); do
    echo "1,INV-2026-$i Raum $((i % 97)).$((i % 13)) Gerät Nummer $i"
  done
} > "$work/records.csv"
run() {
  local start end
  start=$(date +%s.%N)
  "$build/src/app/quillmark" print "$work/$1.eti" "$root/share/FORMATE/adressen_3x7.vrl" \
    --records "$work/records.csv" --pdf "$work/$1.pdf" > /dev/null
  end=$(date +%s.%N)
  awk -v s="$start" -v e="$end" 'BEGIN { printf "%.2f", e - s }'
}
text=$(run text)
qr=$(run qr)
awk -v n="$labels" -v t="$text" -v q="$qr" \
  'BEGIN { printf "%d Etiketten: Text %.2f s, QR-Code %.2f s, Verhältnis %.2f\n", n, t, q, q / t }'
