#!/usr/bin/env python3
"""Writes the prepared designs (share/ETIKETT), their sheet formats
(share/FORMATE) and example tables (share/DBANKEN).

Run by hand from the repository root after changing a design:
    python3 tools/templates/make_templates.py
The generated files are committed; the build does not run this script.
Each table has one character field per data field of its design, in the
design's order, named and sized like the field.
"""

import os
import sys

sys.path.insert(0, os.path.dirname(__file__))

import designs_media  # noqa: E402
import designs_other  # noqa: E402
from dsl import Format, write_dbf, write_lines  # noqa: E402
from records import records_for  # noqa: E402

ROOT = os.path.abspath(os.path.join(os.path.dirname(__file__), "..", ".."))
SHARE = os.path.join(ROOT, "share")

def mm(value):
    return f"{value:g}".replace(".", ",")


def sheet(file, area, name, w, h, across, down, left, top, gap_x=0.0, gap_y=0.0):
    counts = f" ({across} x {down})" if across * down > 1 else ""
    f = Format(file, f"{name} {mm(w)} x {mm(h)} mm{counts}", w, h, across, down, left, top, gap_x, gap_y)
    f.area = area
    return f


OWN = "Individuelle Formate"
CONTINUOUS = "AVERY Endlosetiketten"
DIN = "DIN-Größen"

FORMATS = [
    # file, catalogue area, name, width, height, across, down, left, top, gap x, gap y (mm)
    sheet("Audio1.vrl", OWN, "Audio-Kassetteneinleger", 101, 92, 2, 3, 4, 10.5),
    sheet("Audio2.vrl", OWN, "Audio-Kassetten-Frontteil", 101, 64, 2, 4, 4, 20.5),
    sheet("CD1.vrl", OWN, "CD-Einleger", 151, 120, 1, 2, 29.5, 23.5, 0, 10),
    sheet("dia1.vrl", OWN, "Dia-Etiketten", 45.7, 21.2, 4, 12, 10, 22, 3, 0),
    sheet("dat1.vrl", OWN, "DAT-Einleger", 80, 60, 2, 4, 20, 28.5, 10, 0),
    sheet("AV42-122.vrl", CONTINUOUS, "Endlosetiketten einbahnig", 89, 36, 1, 1, 0, 0, 0, 2.1),
    sheet("AV42-121.vrl", CONTINUOUS, "Endlosetiketten einbahnig", 89, 23.4, 1, 1, 0, 0, 0, 2),
    sheet("VHSC1.vrl", OWN, "Video-Etiketten", 78.7, 46.5, 2, 6, 13.6, 8.8, 25.4, 0),
    sheet("VHS1.vrl", OWN, "Video-Rückenetiketten", 147, 20, 1, 13, 31.3, 18.4),
    sheet("disk1.vrl", OWN, "Disketten-Etiketten", 70, 70, 3, 4, 0, 8.5),
    sheet("disk2.vrl", OWN, "Disketten-Etiketten", 70, 50.8, 3, 5, 0, 21.5),
    sheet("AVL7655.vrl", OWN, "Adressetiketten", 89, 36, 2, 8, 11, 4.5, 10, 0),
    sheet("70x36.vrl", OWN, "Etiketten", 70, 36, 3, 8, 0, 4.5),
    sheet("70x42.vrl", OWN, "Etiketten", 70, 42.3, 3, 7, 0, 0.5),
    # Envelopes are fed short side first: the C5 envelope stands upright.
    sheet("brief1.vrl", "Briefumschläge", "Briefumschlag DIN C5", 162, 229, 1, 1, 0, 0),
    sheet("post.vrl", DIN, "Postkarte DIN A6", 148, 105, 1, 1, 0, 0),
    sheet("dina5q.vrl", DIN, "DIN A5 quer", 210, 148, 1, 2, 0, 0.5),
    sheet("Akten1.vrl", OWN, "Ordnerrücken breit", 192, 61, 1, 4, 9, 26.5),
    sheet("Akten2.vrl", OWN, "Ordnerrücken mittel", 154, 48, 1, 5, 28, 28.5),
    sheet("Akten3.vrl", OWN, "Ordnerrücken schmal", 190, 38, 1, 7, 10, 15.5),
    sheet("Tisch1.vrl", OWN, "Tischkarten", 210, 148, 1, 2, 0, 0.5),
    sheet("Wochen1.vrl", DIN, "DIN A4 hoch mit 10 mm Rand", 190, 277, 1, 1, 10, 10),
    sheet("Visiten1.vrl", OWN, "Visitenkarten", 85, 54, 2, 5, 15, 13.5, 10, 0),
]


def update_catalogue(path):
    """Puts our formats into FORMATE.DAT, keeping every other entry."""
    entries = []
    if os.path.exists(path):
        with open(path, "rb") as f:
            lines = f.read().decode("cp1252").split("\r\n")[2:]
        lines = [line for line in lines]
        while lines and lines[-1] == "":
            lines.pop()
        entries = [tuple(lines[i:i + 3]) for i in range(0, len(lines) - 2, 3)]
    ours = {f.file for f in FORMATS}
    entries = [e for e in entries if e[2] not in ours]
    # The catalogue offers the same C5 sheet as umschlag_c5.vrl already: the
    # envelope's own file serves the prepared envelope only.
    entries += [(f.area, f.description, f.file) for f in FORMATS if f.file != "brief1.vrl"]
    out = ["FORMATE.DAT - Quillmark 32-Bit-Fassung", "=" * 41]
    for e in entries:
        out += list(e)
    write_lines(path, out)

# Designs without an example table.
NO_TABLE = {"Audio2.eti", "Wochen1.eti", "Wochen2.eti", "Wochen3.eti"}
# Designs fed by the address program's export table instead of one of ours.
FOREIGN_TABLE = {"adrivo1.eti", "adrivo2.eti", "adrivo3.eti"}
# Tables not named after their design.
TABLE_NAMES = {"Audio3.eti": "Audio2.dbf"}


def main():
    designs = designs_media.designs() + designs_other.designs()
    for f in FORMATS:
        assert len(f.description) <= 60, f.description
        f.write(os.path.join(SHARE, "FORMATE"))
    update_catalogue(os.path.join(SHARE, "FORMATE.DAT"))
    for d in designs:
        d.write(os.path.join(SHARE, "ETIKETT"))
        if d.file in NO_TABLE or d.file in FOREIGN_TABLE:
            continue
        table = TABLE_NAMES.get(d.file, os.path.splitext(d.file)[0] + ".dbf")
        write_dbf(os.path.join(SHARE, "DBANKEN", table), d.fields, records_for(d))
    print(f"{len(designs)} designs, {len(FORMATS)} formats")


if __name__ == "__main__":
    main()
