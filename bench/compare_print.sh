#!/usr/bin/env bash
# Side by side: `quillmark print` of three-line address labels and the least
# Qt program that writes the same PDF (bench/leastwork.cpp), on LABELS labels
# (100,000 unless given): wall time of each, the ratio, and both peak RSS
# figures. Then the peak RSS of quillmark alone at 1,000 and at MEMORY_LABELS
# labels (1,000,000 unless given).
# Usage: bench/compare_print.sh [BUILD_DIR] [LABELS] [MEMORY_LABELS]
# Builds quillmark and leastwork in BUILD_DIR first. Set PAGE="W L" (mm) to
# give leastwork another page than A4.
#
# Measured on the two-core build machine (Release build, other builds running
# beside it, so wall times vary by some tenths of a second):
#   before streaming (records decoded whole, entry grid and label list built):
#     100,000 labels 3.26-3.39 s wall, 3.2-3.4 s processor, 100 MiB peak;
#     leastwork 4.0-4.1 s: ratio 0.81-0.84; 1,000 labels 25.4 MiB;
#     1,000,000 labels refused (at most 100,000 per run; 174 MiB before that
#     limit existed).
#   streaming, the PDF engine's page buffers kept in the heap:
#     100,000 labels 2.42-2.57 s wall, 2.4-2.55 s processor, 26.0 MiB;
#     ratio to leastwork 0.59-0.63 (wall and processor); to leastwork with
#     the same malloc thresholds (leastwork*) 1.20 wall, 1.19 processor;
#     peak RSS 1,000 labels 25.0 MiB, 100,000 26.0 MiB (1.04 x),
#     1,000,000 labels 28.7 MiB (Qt's PDF engine keeps about 64 bytes per
#     page: object numbers and file offsets for the cross-reference table).
#   streaming alone, without the malloc thresholds: 100,000 labels
#     3.55-4.0 s, 25.1-25.9 MiB, ratio 0.77-0.79.
#   one print job for every road (records read twice, each compared with
#   its digest), text placed without a matrix per line, the label clip kept,
#   on a quiet machine: 100,000 labels 2.65-2.75 s, ratio to leastwork
#     1.01-1.03 (leastwork 2.63-2.67 s); peak RSS 1,000 labels 26.0 MiB,
#     100,000 27.1-27.3 MiB (1.04-1.05 x). Counted by callgrind at 10,000
#     labels: 3.20 G instructions (the two roads before: 3.34 G; without the
#     label clip 2.96 G), leastwork 2.70 G. One label: 108.6 M (121.5 M
#     before the widths of a text were measured a character at a time),
#     leastwork 101.2 M (1.07 x; 6.7 M of the difference is the dynamic
#     linker binding the widget and print-support libraries the windows
#     need, which also makes the wall time of a one-label run about 1.28 x).
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build=${1:-$root/build}
labels=${2:-100000}
memoryLabels=${3:-1000000}
cmake --build "$build" --target quillmark leastwork >/dev/null
export QT_QPA_PLATFORM=offscreen
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
export XDG_RUNTIME_DIR=${XDG_RUNTIME_DIR:-$work}

records() { # N FILE
  awk -v n="$1" 'BEGIN { print "Anzahl,Name,Straße,Ort";
    for (i = 1; i <= n; i++) printf "1,Empfänger Nummer %d,Musterweg %d,%d Musterstadt\n", i, i, 10000 + i }' > "$2"
}

# Runs a command under /usr/bin/time; prints "wall-seconds cpu-seconds kib".
measure() {
  /usr/bin/time -f '%e %U %S %M' -o "$work/time" "$@" >/dev/null
  awk '{ printf "%s %.2f %s\n", $1, $2 + $3, $4 }' "$work/time"
}

quillmark() { # RECORDS OUT
  measure "$build/src/app/quillmark" print "$root/share/ETIKETT/adresse.eti" \
    "$root/share/FORMATE/adressen_3x7.vrl" --records "$1" --pdf "$2"
}

records "$labels" "$work/records.csv"
# shellcheck disable=SC2086
read -r leastTime leastCpu leastRss < <(measure "$build/bench/leastwork" "$work/records.csv" "$work/least.pdf" ${PAGE:-})
# leastwork once more with the allocator settings that quillmark makes at
# its start (see src/app/processtweaks.h), for a fair second figure.
# shellcheck disable=SC2086
read -r tunedTime tunedCpu tunedRss < <(measure env MALLOC_MMAP_THRESHOLD_=33554432 \
  MALLOC_TRIM_THRESHOLD_=67108864 "$build/bench/leastwork" "$work/records.csv" "$work/least.pdf" ${PAGE:-})
read -r qmTime qmCpu qmRss < <(quillmark "$work/records.csv" "$work/qm.pdf")
awk -v n="$labels" -v lt="$leastTime" -v lc="$leastCpu" -v lr="$leastRss" -v qt="$qmTime" -v qc="$qmCpu" \
  -v qr="$qmRss" -v tt="$tunedTime" -v tc="$tunedCpu" -v tr="$tunedRss" 'BEGIN {
  printf "%d Etiketten (Wanduhr, Prozessorzeit, Spitzenspeicher)\n", n
  printf "  leastwork  %7.2f s  %7.2f s  %7.1f MiB\n", lt, lc, lr / 1024
  printf "  leastwork* %7.2f s  %7.2f s  %7.1f MiB  (* mit den malloc-Schwellen von quillmark)\n", tt, tc, tr / 1024
  printf "  quillmark  %7.2f s  %7.2f s  %7.1f MiB\n", qt, qc, qr / 1024
  printf "  quillmark / leastwork: Wanduhr %.2f, Prozessorzeit %.2f\n", qt / lt, qc / lc
  printf "  quillmark / leastwork*: Wanduhr %.2f, Prozessorzeit %.2f\n", qt / tt, qc / tc }'

records 1000 "$work/small.csv"
read -r _ _ smallRss < <(quillmark "$work/small.csv" "$work/small.pdf")
records "$memoryLabels" "$work/large.csv"
read -r _ _ largeRss < <(quillmark "$work/large.csv" "$work/large.pdf")
awk -v s="$smallRss" -v m="$qmRss" -v l="$largeRss" -v n="$labels" -v ln="$memoryLabels" 'BEGIN {
  printf "quillmark Spitzenspeicher: 1000 Etiketten %.1f MiB, %d: %.1f MiB (%.2f x), %d: %.1f MiB\n",
    s / 1024, n, m / 1024, m / s, ln, l / 1024 }'
