#!/usr/bin/env bash
# Peak memory and time of `quillmark table T.dbf --import-csv FILE` for a CSV
# file of about SMALL and about LARGE megabytes (4 columns, some 60 bytes a
# line). The file is read one record at a time, twice (checked, then
# appended), so the peak must stay under 100 MB and within 10 % of the small
# file's.
# The command lists the table afterwards (to /dev/null here), which takes
# most of the time for large files.
# Measured (2 shared cores): 5 MB 23.1 MB, 105 MB 23.4 MB (28 s); 1000 MB
# (20.9 million records) 23.5 MB at the end of the import (about 7 min).
# Usage: bench/import_csv.sh [BUILD_DIR] [SMALL_MB] [LARGE_MB]
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build=${1:-$root/build}
small=${2:-5}
large=${3:-105}
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

# A CSV file of about N megabytes, as a spreadsheet writes it.
make_csv() {
  python3 - "$1" "$2" <<'PY'
import sys
path, megabytes = sys.argv[1], int(sys.argv[2])
with open(path, "wb") as f:
    f.write("Name;Straße;PLZ;Ort\r\n".encode("utf-8"))
    written, i = 0, 0
    while written < megabytes * 1024 * 1024:
        chunk = "".join("Empfänger %d;\"Weg %d; Hof\";%d;Stadt %d\r\n" % (k, k % 500, 10000 + k % 90000, k % 97)
                        for k in range(i, i + 10000)).encode("utf-8")
        f.write(chunk)
        written += len(chunk)
        i += 10000
PY
}

# Peak resident set of the import into a new table (then listed to
# /dev/null), in MB; the seconds in $work/seconds.
peak_mb() {
  rm -f "$work/t.dbf"
  "$build/src/app/quillmark" table "$work/t.dbf" --create "$root/share/ETIKETT/adresse.eti" > /dev/null
  local start end
  start=$(date +%s.%N)
  /usr/bin/time -o "$work/time" -f '%M' "$build/src/app/quillmark" table "$work/t.dbf" --import-csv "$1" \
    > /dev/null 2> "$work/err" || { cat "$work/err" >&2; exit 1; }
  end=$(date +%s.%N)
  awk -v s="$start" -v e="$end" 'BEGIN { printf "%.1f", e - s }' > "$work/seconds"
  awk '{ k = $1 } END { printf "%.1f", k / 1024 }' "$work/time"
}

make_csv "$work/klein.csv" "$small"
s=$(peak_mb "$work/klein.csv")
make_csv "$work/gross.csv" "$large"
l=$(peak_mb "$work/gross.csv")
echo "table --import-csv:"
echo "  $small MB: $s MB"
echo "  $large MB: $l MB ($(cat "$work/seconds") s)"
awk -v s="$s" -v l="$l" 'BEGIN { ok = l < 100 && l <= s * 1.1; printf "  %s (unter 100 MB und höchstens 10 %% über %.1f MB)\n", ok ? "bestanden" : "NICHT bestanden", s; exit !ok }'
