#!/usr/bin/env bash
# Timed command-line runs: LABELS (10,000 unless given) inventory labels whose
# value is printed once as a QR code and once as plain text, with the same
# records, onto the 3 x 7 A4 format into a PDF file. Prints both wall times
# and their ratio (the QR run should take at most three times as long).
# Usage: bench/barcode_labels.sh [BUILD_DIR] [LABELS]
#
# Measured on the two-core build machine (RelWithDebInfo, load average 7
# from other builds beside it, so wall times are about twice the CPU time):
#   before: text 0.34-0.47 s, QR 8.7-12.1 s, ratio 19-36. libzint 2.11
#     spent nine tenths of a QR code's time counting the penalty points of
#     its eight masks, and every module run was a QPainter::fillRect, which
#     the PDF engine wrote out with a saved and restored graphics state and
#     the label's clipping path.
#   then: text 0.28-0.76 s, QR 1.5-3.6 s, ratio 3.8-8.2 by the load (CPU
#     time 0.27-0.29 s against 1.35-1.76 s, 5-6 times). The program chose
#     the QR mask itself on the module matrix, covered the modules with few
#     rectangles and filled them in one call in module units. Of what was
#     left, zlib compressing the page contents (some 2 KB of rectangles a
#     label) took 45 %, laying out the symbols 28 %, checking the values
#     before printing 7 %.
#   now (idle machine): text 0.21-0.25 s, QR 0.51-0.53 s, ratio 2.0-2.5.
#     The barcodes are laid out ahead on the other core while the labels
#     before them are drawn, the check before printing runs on both cores,
#     and PDF pages are compressed at zlib level 4 instead of Qt's 6 (QR
#     file 4.9 MB instead of 3.9 MB, text 1.04 MB instead of 0.88 MB).
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
