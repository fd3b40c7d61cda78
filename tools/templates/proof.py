#!/usr/bin/env python3
"""Prints every prepared design with the records of its table into PDF
files and page images, to look at after changing a design:
    python3 tools/templates/proof.py BUILD/src/app/quillmark OUTDIR
A design without table is printed once with empty values. Any message of
the program is shown and counted.
"""

import csv
import os
import struct
import subprocess
import sys

sys.path.insert(0, os.path.dirname(__file__))
from make_templates import NO_TABLE, TABLE_NAMES  # noqa: E402

ROOT = os.path.abspath(os.path.join(os.path.dirname(__file__), "..", ".."))
SHARE = os.path.join(ROOT, "share")

# design -> format, as the menu uses them
USES = {
    "Audio1": "Audio1", "Audio2": "Audio1", "Audio3": "Audio2", "CD1": "CD1", "CD2": "CD1", "dia1": "dia1",
    "dat1": "dat1", "foto1": "AV42-122", "VHSC1": "VHSC1", "VHS1": "VHS1", "VHS2": "VHS1", "VHS3": "AV42-122",
    "VHS4": "AV42-122", "disk1": "disk1", "disk2": "disk1", "disk3": "disk2", "disk4": "disk2",
    "disk5": "AV42-122", "adress1": "AVL7655", "adress2": "70x36", "adress3": "70x42", "brief1": "brief1",
    "paket1": "post", "paket2": "dina5q", "paket3": "post", "postkart": "post", "absend1": "AVL7655",
    "absend2": "AV42-121", "Akten1": "Akten1", "Akten2": "Akten2", "Akten3": "Akten3", "Tisch1": "Tisch1",
    "Koffer1": "disk1", "Wochen1": "Wochen1", "Wochen2": "Wochen1", "Wochen3": "Wochen1",
    "Visiten1": "Visiten1", "Visiten2": "Visiten1", "adrivo1": "AVL7655", "adrivo2": "70x36",
    "adrivo3": "70x42",
}


def read_dbf(path):
    with open(path, "rb") as f:
        data = f.read()
    count, header, length = struct.unpack("<IHH", data[4:12])
    fields = []
    pos = 32
    while data[pos] != 0x0D:
        fields.append((data[pos:pos + 11].split(b"\0")[0].decode("ascii"), data[pos + 16]))
        pos += 32
    rows = []
    for k in range(count):
        rec = data[header + k * length + 1: header + (k + 1) * length]
        row, at = [], 0
        for _, width in fields:
            row.append(rec[at:at + width].decode("cp1252").rstrip())
            at += width
        rows.append(row)
    return fields, rows


def main():
    program, out = sys.argv[1], sys.argv[2]
    os.makedirs(out, exist_ok=True)
    problems = 0
    for design, fmt in USES.items():
        eti = os.path.join(SHARE, "ETIKETT", design + ".eti")
        table = TABLE_NAMES.get(design + ".eti", design + ".dbf")
        if design + ".eti" in NO_TABLE:
            rows = [[]]
        elif design.startswith("adrivo"):
            _, rows = read_dbf(os.path.join(SHARE, "DBANKEN", "adress" + design[-1] + ".dbf"))
            rows = [r[-5:] if design[-1] != "2" else r for r in rows]
        else:
            _, rows = read_dbf(os.path.join(SHARE, "DBANKEN", table))
        records = os.path.join(out, design + ".csv")
        with open(records, "w", newline="", encoding="utf-8") as f:
            w = csv.writer(f)
            w.writerow(["Anzahl"])
            for r in rows:
                w.writerow(["1"] + r)
        pdf = os.path.join(out, design + ".pdf")
        run = subprocess.run([program, "print", eti, os.path.join(SHARE, "FORMATE", fmt + ".vrl"), "--records",
                              records, "--frame", "--pdf", pdf], capture_output=True, text=True,
                             env=dict(os.environ, QT_QPA_PLATFORM="offscreen"))
        stderr = "\n".join(line for line in run.stderr.splitlines() if not line.startswith("QStandardPaths"))
        if run.returncode or stderr:
            problems += 1
            print(design, run.returncode, stderr.strip())
        subprocess.run(["pdftoppm", "-png", "-r", "60", "-f", "1", "-l", "1", pdf, os.path.join(out, design)])
    print(f"{len(USES)} designs printed, {problems} with messages")
    return 1 if problems else 0


if __name__ == "__main__":
    sys.exit(main())
