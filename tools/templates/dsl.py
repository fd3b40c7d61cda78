"""Small building blocks for the prepared designs, sheet formats and tables.

Lengths are given in millimetres and written in the units of the files:
designs in units of 0.4 mm (2.5 per millimetre), sheet formats in tenths of
a millimetre. Everything is written as Windows-1252 with CR LF.
"""

import datetime
import os
import struct

VERSION = "2.04s"
# The date the shipped files carry, so that running the script again changes
# only what a changed design changes.
STAMP = datetime.date(2026, 12, 10)


def u(mm):
    """Millimetres to design units (0.4 mm), rounded to the nearest unit."""
    return int(round(mm * 2.5))


def write_lines(path, lines):
    data = "".join(line + "\r\n" for line in lines).encode("cp1252")
    os.makedirs(os.path.dirname(path), exist_ok=True)
    with open(path, "wb") as f:
        f.write(data)


# Average advance of a character relative to the cell height, generous
# enough for capitals and digits in Arial: sizes fields so that a value of
# the full length still fits the room given to it.
CHAR_ADVANCE = 0.5


class Design:
    """A label drawn in millimetres from its top-left corner. An upright
    design is drawn across, `width_mm` wide and `height_mm` high, and stands
    on its sheet turned a quarter to the left: the label in the file is
    `height_mm` wide and `width_mm` high, and its texts run upwards."""

    def __init__(self, file, description, width_mm, height_mm, upright=False):
        self.file = file
        self.description = description
        self.width_mm = width_mm
        self.height_mm = height_mm
        self.upright = upright
        self.records = []
        self.fields = []  # (name, size) in design order
        self._font = None
        self._pen = None

    # Pens: style 0 thin, 1 thick, 2 dashed; colour index 0..15.
    def pen(self, style=0, colour=0):
        self._pen = (style, colour)

    def _pen_record(self):
        style, colour = self._pen or (0, 0)
        self.records.append(f"XP,{style},{colour}")

    def _at(self, x, y):
        """A point of the drawing in design units on the label."""
        if self.upright:
            x, y = y, self.width_mm - x
        return u(x), u(y)

    def _box(self, x1, y1, x2, y2):
        (a, b), (c, d) = self._at(x1, y1), self._at(x2, y2)
        return f"{min(a, c)},{min(b, d)},{max(a, c)},{max(b, d)}"

    def line(self, x1, y1, x2, y2):
        self._pen_record()
        (a, b), (c, d) = self._at(x1, y1), self._at(x2, y2)
        self.records.append(f"LI,{a},{b},{c},{d}")

    def rect(self, x1, y1, x2, y2):
        self._pen_record()
        self.records.append(f"RE,{self._box(x1, y1, x2, y2)}")

    def rrect(self, x1, y1, x2, y2):
        self._pen_record()
        self.records.append(f"RA,{self._box(x1, y1, x2, y2)}")

    # Fonts: cell height in design units, bold, italic, rotation in degrees.
    def font(self, height, bold=False, italic=False, rotation=0, face="Arial", colour=0):
        self._font = (height, bold, italic, rotation, face, colour)

    def _font_record(self):
        height, bold, italic, rotation, face, colour = self._font
        if self.upright:
            rotation = (rotation + 90) % 360
        self.records.append(f"XF,{height},{int(italic)},{int(bold)},{rotation},{face},{colour}")

    def text(self, x, y, text):
        self._font_record()
        a, b = self._at(x, y)
        self.records.append(f"TE,{a},{b},{text}")

    def field(self, x, y, name, room_mm, size=None):
        """A data field at (x, y) with room_mm millimetres of room along its
        line; the field size follows from the room unless given."""
        assert len(name) <= 10 and name.isascii() and name.isalnum(), name
        assert name not in (n for n, _ in self.fields), (self.file, name)
        height = self._font[0]
        fitting = int(u(room_mm) / (CHAR_ADVANCE * height))
        if size is None:
            size = fitting
        size = max(1, min(80, size))
        self._font_record()
        a, b = self._at(x, y)
        self.records.append(f"EF,{a},{b},{size},{name}")
        self.fields.append((name, size))

    # Blocks that many designs share.

    def frame(self, style, colour, inset=1):
        """Outlines the label `inset` millimetres inside its edges; 0 marks
        where to cut."""
        self.pen(style, colour)
        self.rect(inset, inset, self.width_mm - inset, self.height_mm - inset)

    def caption(self, x, y, text, size=8, colour=7):
        """A small grey text naming the value beside or below it."""
        self.font(size, colour=colour)
        self.text(x, y, text)

    def field_rows(self, x, y, step, rows, room):
        """Fields one below the other, `step` millimetres apart; rows are
        (name, cell height, bold)."""
        for name, height, bold in rows:
            self.font(height, bold=bold)
            self.field(x, y, name, room)
            y += step
        return y

    def numbered_fields(self, x, y, step, prefix, count, room):
        """Fields prefix1 .. prefixN one below the other in the current font."""
        for i in range(count):
            self.field(x, y + i * step, f"{prefix}{i + 1}", room)

    def rules(self, x1, x2, y, step, count):
        """Lines to write on, `step` millimetres apart below y, in the
        current pen."""
        for k in range(1, count + 1):
            self.line(x1, y + k * step, x2, y + k * step)

    def date(self, x, y):
        self._font_record()
        a, b = self._at(x, y)
        self.records.append(f"SE,{a},{b},0,,")

    def write(self, folder):
        width, height = (self.height_mm, self.width_mm) if self.upright else (self.width_mm, self.height_mm)
        today = STAMP.strftime("%d.%m.%Y")
        lines = [
            "** QUILLMARK für WINDOWS 95",
            "** ETI-Datei für ein Etikett bzw. Formular",
            f"** Erstellt am {today} mit Version {VERSION}",
            f"NA,{self.description}",
            f"GR,{int(width * 2.5)},{int(height * 2.5)},25",
        ] + self.records
        # The print side holds at most 200 records of a design.
        assert len(lines) - 3 <= 200, self.file
        write_lines(os.path.join(folder, self.file), lines)


class Format:
    """A regular sheet: label width and height, counts across and down,
    margins and gaps, all in millimetres (one decimal)."""

    def __init__(self, file, description, w, h, across, down, left, top, gap_x=0.0, gap_y=0.0):
        self.file = file
        self.description = description
        t = lambda mm: int(round(mm * 10))
        self.w, self.h, self.sx, self.sy, self.gx, self.gy = t(w), t(h), t(left), t(top), t(gap_x), t(gap_y)
        self.n, self.m = across, down

    def extent(self):
        width = self.sx + self.n * self.w + (self.n - 1) * self.gx if self.n > 1 else self.sx + self.w + self.gx
        height = self.sy + self.m * self.h + (self.m - 1) * self.gy if self.m > 1 else self.sy + self.h + self.gy
        return width, height

    def positions(self):
        for j in range(self.m):
            for i in range(self.n):
                yield (self.sx + i * (self.w + self.gx), self.sy + j * (self.h + self.gy), self.w, self.h)

    def write(self, folder):
        width, height = self.extent()
        # An NA line ends at its first comma: decimals get a point there.
        description = self.description.replace(",", ".")
        lines = [f"** Formatdatei erstellt mit QUILLMARK 95 - Version{VERSION}", f"NA,{description}",
                 f"GR,{width},{height}"]
        lines += [f"PO,{x},{y},{w},{h}" for x, y, w, h in self.positions()]
        write_lines(os.path.join(folder, self.file), lines)


def write_dbf(path, fields, records):
    """A dBASE III table of character fields (name, width) holding the
    records (dicts by field name), text in Windows-1252."""
    today = STAMP
    record_length = 1 + sum(width for _, width in fields)
    header_length = 32 + 32 * len(fields) + 1
    out = bytearray()
    out += struct.pack("<BBBBIHH", 0x03, today.year - 1900, today.month, today.day, len(records),
                       header_length, record_length)
    out += bytes(17) + bytes([0x57]) + bytes(2)  # language driver: Windows ANSI
    for name, width in fields:
        out += name.encode("ascii").ljust(11, b"\0") + b"C" + bytes(4)
        out += bytes([width, 0]) + bytes(14)
    out += b"\r"
    for record in records:
        out += b" "
        for name, width in fields:
            value = record.get(name, "").encode("cp1252")
            assert len(value) <= width, (path, name, value)
            out += value.ljust(width, b" ")
    out += b"\x1a"
    with open(path, "wb") as f:
        f.write(out)
