#!/usr/bin/env bash
# Side by side: `quillmark print` of LABELS three-line address labels (100,000
# unless given) whose name is long enough to need two lines, once with the
# name in a text box that wraps and shrinks it (XT fit 2) and once the same
# design without the box; wall and processor time of each and their ratio.
# Usage: bench/fitted_text.sh [BUILD_DIR] [LABELS]
#
# Measured on the two-core build machine (RelWithDebInfo, other builds running
# beside it): 100,000 labels without the box 5.8-9.0 s wall, with it
# 8.9-9.8 s; ratio 1.03-1.24 (wall), 1.04-1.18 (processor). Clipping every
# box, also those whose text fits, made it 1.37-1.68.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build=${1:-$root/build}
labels=${2:-100000}
cmake --build "$build" --target quillmark >/dev/null
export QT_QPA_PLATFORM=offscreen
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
export XDG_RUNTIME_DIR=${XDG_RUNTIME_DIR:-$work}

awk -v n="$labels" 'BEGIN { print "Anzahl,Name,Straße,Ort";
  for (i = 1; i <= n; i++)
    printf "1,Empfängerin Nummer %d der Musterfirma GmbH & Co. KG,Musterweg %d,%d Musterstadt\n", i, i, 10000 + i }' \
  > "$work/records.csv"
# The name field holds 60 characters in both designs.
sed 's/^EF,10,15,30,Name/EF,10,15,60,Name/' "$root/share/ETIKETT/adresse.eti" > "$work/plain.eti"
# The name in a box of 137 x 24 units from its place: wrapped into at most
# two lines, shrunk down to 6 points where they do not fit.
sed 's/^EF,10,15,60,Name/XT,137,24,2,0,6,2\r\n&/' "$work/plain.eti" > "$work/fitted.eti"
grep -q '^XT,' "$work/fitted.eti"

measure() { # DESIGN: prints "wall-seconds cpu-seconds"
  /usr/bin/time -f '%e %U %S' -o "$work/time" "$build/src/app/quillmark" print "$1" \
    "$root/share/FORMATE/adressen_3x7.vrl" --records "$work/records.csv" --pdf "$work/out.pdf" \
    >/dev/null 2>"$work/stderr" || { cat "$work/stderr" >&2; exit 1; }
  awk '{ printf "%s %.2f\n", $1, $2 + $3 }' "$work/time"
}

read -r plainWall plainCpu < <(measure "$work/plain.eti")
read -r fittedWall fittedCpu < <(measure "$work/fitted.eti")
printf 'ohne Textrahmen: %s s Wand, %s s Prozessor\n' "$plainWall" "$plainCpu"
printf 'mit Textrahmen:  %s s Wand, %s s Prozessor\n' "$fittedWall" "$fittedCpu"
awk -v a="$plainWall" -v b="$fittedWall" -v c="$plainCpu" -v d="$fittedCpu" \
  'BEGIN { printf "Verhältnis: %.2f (Wand), %.2f (Prozessor)\n", b / a, d / c }'
