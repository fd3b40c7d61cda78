#!/usr/bin/env bash
# Peak memory of `quillmark print --table --where` over a dBASE table whose
# records the criterion all leave out, at 30,000 and at 3,000,000 records
# (5 character fields, 100 bytes a record). The records are read one at a
# time, so the peak must stay under 60 MB and within 10 % of the small
# table's.
# Usage: bench/print_table.sh [BUILD_DIR] [SMALL] [LARGE]
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build=${1:-$root/build}
small=${2:-30000}
large=${3:-3000000}
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

# A dBASE III table of N records: NAME, STRASSE, PLZ, ORT, KUNDENNR.
make_table() {
  python3 - "$1" "$2" <<'PY'
import struct, sys
path, count = sys.argv[1], int(sys.argv[2])
fields = [(b"NAME", 30), (b"STRASSE", 30), (b"PLZ", 5), (b"ORT", 24), (b"KUNDENNR", 10)]
length = 1 + sum(w for _, w in fields)
header = 32 + 32 * len(fields) + 1
with open(path, "wb") as f:
    f.write(struct.pack("<BBBBIHH20x", 3, 126, 12, 10, count, header, length))
    for name, width in fields:
        f.write(struct.pack("<11sc4xB15x", name, b"C", width))
    f.write(b"\r")
    chunk = []
    for i in range(count):
        values = ("Empfänger %d" % i, "Weg %d" % (i % 500), str(10000 + i % 90000),
                  "Stadt %d" % (i % 97), str(i))
        chunk.append(b" " + b"".join(v.encode("cp1252").ljust(w) for v, (_, w) in zip(values, fields)))
        if len(chunk) == 10000:
            f.write(b"".join(chunk))
            chunk = []
    f.write(b"".join(chunk) + b"\x1a")
PY
}

peak_mb() { # the peak resident set of `quillmark print` over the table, in MB
  /usr/bin/time -o "$work/time" -f '%M' "$build/src/app/quillmark" print "$root/share/ETIKETT/adresse.eti" \
    "$root/share/FORMATE/adressen_3x7.vrl" --table "$1" --where "ORT=Nirgendwo" --pdf "$work/out.pdf" \
    > /dev/null 2> "$work/err" || true
  grep -q "Keine Datensätze ausgewählt" "$work/err" || { cat "$work/err" >&2; exit 1; }
  awk '{ k = $1 } END { printf "%.1f", k / 1024 }' "$work/time"
}

make_table "$work/klein.dbf" "$small"
s=$(peak_mb "$work/klein.dbf")
make_table "$work/gross.dbf" "$large"
start=$(date +%s.%N)
l=$(peak_mb "$work/gross.dbf")
end=$(date +%s.%N)
echo "print --table --where, kein Datensatz ausgewählt:"
echo "  $small Datensätze: $s MB"
echo "  $large Datensätze: $l MB ($(awk -v s="$start" -v e="$end" 'BEGIN { printf "%.1f", e - s }') s)"
awk -v s="$s" -v l="$l" 'BEGIN { ok = l < 60 && l <= s * 1.1; printf "  %s (unter 60 MB und höchstens 10 %% über %.1f MB)\n", ok ? "bestanden" : "NICHT bestanden", s; exit !ok }'
