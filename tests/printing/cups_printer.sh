#!/usr/bin/env bash
# Prints one sheet through CUPS onto the cups-pdf printer as the system's
# default printer, and compares the PDF that cups-pdf writes, pixel by pixel,
# with the same sheet printed by `quillmark print ... --pdf`.
#
#   cups_printer.sh QUILLMARK COMPARESHEETS TESTQTPRINTERLIVE SHARE_DIR WORK_DIR
#
# When no CUPS scheduler runs, the script starts one (as root) and stops it
# again, by its process id, however the test ends. A default printer other
# than PDF is put back afterwards. Missing packages make the test fail.
set -uo pipefail

quillmark=$1
compare=$2
live=$3
share=$4
work=$5

queue=PDF
ppd=lsb/usr/cups-pdf/CUPS-PDF_opt.ppd
started_pid=
previous_default=
out=
anon=

fail() {
  echo "FAIL: $*" >&2
  exit 1
}

cleanup() {
  # The files this run had cups-pdf write, once its jobs are through.
  if [ -f "$work/marker" ] && [ -n "$out$anon" ]; then
    poll 20 queue_empty
    find "$out" "$anon" -maxdepth 1 -name 'Quillmark_32*.pdf' -newer "$work/marker" -delete 2>/dev/null
  fi
  if [ -n "$previous_default" ]; then
    lpadmin -d "$previous_default" || echo "could not make $previous_default the default printer again" >&2
  fi
  if [ -n "$started_pid" ]; then
    kill "$started_pid" 2>/dev/null
    wait "$started_pid" 2>/dev/null
  fi
}
trap cleanup EXIT

# Runs the command every half second until it succeeds, at most the given
# number of times.
poll() {
  local tries=$1
  shift
  local i
  for ((i = 0; i < tries; i++)); do
    if "$@"; then
      return 0
    fi
    sleep 0.5
  done
  return 1
}

for tool in cupsd lpadmin lpstat cupsenable cupsaccept pdftoppm pdfinfo; do
  command -v "$tool" >/dev/null ||
    fail "$tool is missing: the packages cups, printer-driver-cups-pdf and poppler-utils are needed (scripts/test installs them)"
done
[ -x /usr/lib/cups/backend/cups-pdf ] ||
  fail "the cups-pdf backend is missing: the package printer-driver-cups-pdf is needed (scripts/test installs it)"

rm -rf "$work"
mkdir -p "$work" || fail "cannot make $work"
# Quillmark's settings of this run only: no printer choice or correction of
# the user's moves the sheets compared here.
export XDG_CONFIG_HOME=$work/config
mkdir -p "$XDG_CONFIG_HOME" || fail "cannot make $XDG_CONFIG_HOME"

scheduler_runs() { lpstat -r 2>/dev/null | grep -q "scheduler is running"; }
queue_empty() { [ -z "$(lpstat -o "$queue" 2>/dev/null)" ]; }

if ! scheduler_runs; then
  [ "$(id -u)" -eq 0 ] || fail "no CUPS scheduler runs, and only root may start one"
  cupsd -f >"$work/cupsd.log" 2>&1 &
  started_pid=$!
  poll 40 scheduler_runs || fail "cupsd did not start (see $work/cupsd.log)"
fi

if ! lpstat -p "$queue" >/dev/null 2>&1; then
  lpadmin -p "$queue" -v cups-pdf:/ -E -m "$ppd" 2>"$work/lpadmin.log" ||
    fail "cannot set up the printer $queue: $(cat "$work/lpadmin.log")"
fi
cupsenable "$queue" && cupsaccept "$queue" || fail "cannot enable the printer $queue"
current_default=$(lpstat -d 2>/dev/null | sed -n 's/^system default destination: //p')
if [ "$current_default" != "$queue" ]; then
  lpadmin -d "$queue" || fail "cannot make $queue the default printer"
  previous_default=$current_default
fi

# Where cups-pdf writes: its Out folder for the user's jobs, AnonDirOut for
# anonymous ones.
conf=/etc/cups/cups-pdf.conf
user=$(id -un)
home=$(getent passwd "$user" | cut -d: -f6)
out=$(sed -n 's/^Out[[:space:]]\+//p' "$conf" 2>/dev/null | tail -n 1)
home_word='${HOME}'
user_word='${USER}'
out=${out:-/var/spool/cups-pdf/$user_word}
out=${out//"$home_word"/$home}
out=${out//"$user_word"/$user}
anon=$(sed -n 's/^AnonDirOut[[:space:]]\+//p' "$conf" 2>/dev/null | tail -n 1)
anon=${anon:-/var/spool/cups-pdf/ANONYMOUS}

# Where the printable area begins: cups-pdf has no hardware margins, other
# PPDs give them as "left bottom right top" in points.
read -r margin_left _ _ margin_top < <(sed -n 's/^\*HWMargins:[[:space:]]*//p' "/etc/cups/ppd/$queue.ppd" 2>/dev/null)

design=$share/ETIKETT/adresse.eti
format=$share/FORMATE/adressen_3x7.vrl
records=$work/records.csv
printf 'Anzahl,Name,Straße,Ort\r\n2,Erika Mustermann,Heidestraße 17,51147 Köln\r\n3,Max Muster,Hauptweg 1,12345 Berlin\r\n1,Lieschen Müller,Am Markt 3,04109 Leipzig\r\n' >"$records"
options=(--records "$records" --start 4 --frame --offset-x 15 --offset-y -10)

"$quillmark" print "$design" "$format" "${options[@]}" --pdf "$work/reference.pdf" ||
  fail "printing into a PDF file failed"

touch "$work/marker"
"$quillmark" print "$design" "$format" "${options[@]}" --printer >"$work/print.log" 2>&1 ||
  fail "quillmark print --printer failed: $(cat "$work/print.log")"
cat "$work/print.log"

# cups-pdf names the file after the document, "Quillmark 32".
printed_file() {
  local dir
  for dir in "$out" "$anon"; do
    [ -d "$dir" ] || continue
    find "$dir" -maxdepth 1 -name 'Quillmark_32*.pdf' -newer "$work/marker" -size +0 | head -n 1
  done | head -n 1
}
job_done() { [ -n "$(printed_file)" ] && queue_empty; }
poll 120 job_done || fail "cups-pdf wrote no file Quillmark_32*.pdf into $out or $anon within 60 seconds"
printed=$(printed_file)
cp "$printed" "$work/printed.pdf" || fail "cannot copy $printed"
echo "cups-pdf wrote $printed"

pages=$(pdfinfo "$work/printed.pdf" 2>/dev/null | sed -n 's/^Pages:[[:space:]]*//p')
[ "$pages" = "1" ] || fail "the printed PDF has ${pages:-no} pages instead of 1"

dpi=150
pdftoppm -r $dpi -gray -singlefile "$work/reference.pdf" "$work/reference" 2>/dev/null ||
  fail "pdftoppm cannot render the reference"
pdftoppm -r $dpi -gray -singlefile "$work/printed.pdf" "$work/printed" 2>/dev/null ||
  fail "pdftoppm cannot render the printed sheet"
"$compare" "$work/reference.pgm" "$work/printed.pgm" "$format" $dpi "${margin_left:-0}" "${margin_top:-0}" ||
  fail "the printed sheet differs from the PDF"

QM_LIVE_PRINTER=$queue QM_LIVE_PORT=cups-pdf:/ "$live" || fail "TestQtPrinterLive failed"

# The printers as Quillmark lists them: the queue, its state (ready, or
# still printing the sheet above), the default.
"$quillmark" printers >"$work/printers.txt" 2>&1 || fail "quillmark printers failed: $(cat "$work/printers.txt")"
cat "$work/printers.txt"
grep -Eq "^$queue	[^	]*	(bereit|druckt)	Standard	keine Korrektur\$" "$work/printers.txt" ||
  fail "quillmark printers does not list $queue as the default printer"

# Chosen by name.
"$quillmark" print "$design" "$format" --records "$records" --printer "$queue" >"$work/named.log" 2>&1 ||
  fail "quillmark print --printer $queue failed: $(cat "$work/named.log")"
grep -qx "6 Etiketten auf 1 Seite an $queue" "$work/named.log" ||
  fail "print --printer $queue said: $(cat "$work/named.log")"
"$quillmark" print "$design" "$format" --records "$records" --printer Entfernt >"$work/unknown.log" 2>&1 &&
  fail "print --printer with an unknown printer printed"

# A chosen printer that is gone: the default printer prints, and says so.
printf '[Parameter]\nDrucker=Entfernt\n' >"$XDG_CONFIG_HOME/Quillmark.ini"
"$quillmark" print "$design" "$format" --records "$records" --printer >"$work/gone.log" 2>"$work/gone.err" ||
  fail "quillmark print with a gone printer failed: $(cat "$work/gone.err")"
grep -qx "Der gewählte Drucker Entfernt ist nicht mehr vorhanden; gedruckt wird auf den Standarddrucker $queue." \
  "$work/gone.err" || fail "no word of the gone printer: $(cat "$work/gone.err")"
grep -qx "6 Etiketten auf 1 Seite an $queue" "$work/gone.log" || fail "the gone printer's run said: $(cat "$work/gone.log")"
poll 120 queue_empty || fail "the jobs of the named and the gone printer did not go through"
echo "PASS"
