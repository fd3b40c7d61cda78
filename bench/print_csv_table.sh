#!/usr/bin/env bash
# Peak memory of `quillmark print --table big.csv --where` over a CSV file of
# about 1 GB (default 1,000,000,000 bytes, some 16 million records; UTF-8 with
# umlauts, every 50th record with a quoted line break), once with a criterion
# that leaves every record out and once with one that selects a few records,
# printed into a PDF. A CSV table is read one record at a time like a dBASE
# table, so the peak must stay under 100 MB.
# Usage: bench/print_csv_table.sh [BUILD_DIR] [BYTES]
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build=${1:-$root/build}
bytes=${2:-1000000000}
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

python3 - "$work/gross.csv" "$bytes" <<'PY'
import sys
path, size = sys.argv[1], int(sys.argv[2])
with open(path, "wb") as f:
    f.write("Name;Straße;Ort;Kundennr\r\n".encode())
    written, i = 0, 0
    while written < size:
        chunk = []
        for _ in range(10000):
            street = '"Weg %d\r\nHinterhaus"' % (i % 500) if i % 50 == 0 else "Weg %d" % (i % 500)
            chunk.append("Empfänger %d;%s;Stadt %d;%d\r\n" % (i, street, i % 97, i))
            i += 1
        data = "".join(chunk).encode()
        f.write(data)
        written += len(data)
PY
echo "CSV-Datei: $(stat -c %s "$work/gross.csv") Bytes"

run() { # criterion, expected word on stderr or stdout; prints the peak resident set in MB
  local start end
  start=$(date +%s.%N)
  /usr/bin/time -o "$work/time" -f '%M' "$build/src/app/quillmark" print "$root/share/ETIKETT/adresse.eti" \
    "$root/share/FORMATE/adressen_3x7.vrl" --table "$work/gross.csv" --where "$1" --pdf "$work/out.pdf" \
    > "$work/out" 2> "$work/err" || true
  end=$(date +%s.%N)
  grep -q "$2" "$work/out" "$work/err" || { cat "$work/out" "$work/err" >&2; exit 1; }
  awk -v s="$start" -v e="$end" '{ k = $1 } END { printf "%.1f MB (%.1f s)", k / 1024, e - s }' "$work/time"
}

none=$(run "Ort=Nirgendwo" "Keine Datensätze ausgewählt")
some=$(run "Kundennr=1234567" "Seite")
echo "print --table gross.csv --where:"
echo "  kein Datensatz ausgewählt:  $none"
echo "  einige Datensätze gedruckt: $some"
awk -v a="${none%% MB*}" -v b="${some%% MB*}" 'BEGIN { ok = a < 100 && b < 100; printf "  %s (unter 100 MB)\n", ok ? "bestanden" : "NICHT bestanden"; exit !ok }'
