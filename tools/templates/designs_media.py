"""Cassette, CD, slide, DAT, photo and video designs."""

from dsl import Design

CUT = (2, 7)  # dashed grey: where to cut or fold


def cassette_inlay(file, description, with_fields):
    # Unfolded inlay of a compact cassette case: front 64 mm, spine 13 mm,
    # back flap 15 mm, 101 mm wide.
    d = Design(file, description, 101, 92)
    d.frame(*CUT, inset=0)
    d.line(0, 64, 101, 64)
    d.line(0, 77, 101, 77)
    if with_fields:
        d.font(16, bold=True)
        d.field(4, 3, "Titel", 93)
        d.font(11, italic=True)
        d.field(4, 11, "Interpret", 93)
    else:
        d.font(9)
        d.text(4, 3, "Titel:")
        d.text(4, 11, "Interpret:")
        d.pen(0, 7)
        d.line(20, 8, 97, 8)
        d.line(20, 16, 97, 16)
    d.pen(0, 0)
    d.line(4, 18, 97, 18)
    d.font(10, bold=True, colour=4)
    d.text(4, 20, "Seite A")
    d.text(52, 20, "Seite B")
    for i in range(6):
        y = 26 + i * 6
        if with_fields:
            d.font(9)
            d.field(4, y, f"A{i + 1}", 44)
            d.field(52, y, f"B{i + 1}", 45)
        else:
            d.pen(0, 8)
            d.line(4, y + 4.5, 48, y + 4.5)
            d.line(52, y + 4.5, 97, y + 4.5)
    d.pen(0, 0)
    d.line(50, 20, 50, 62)
    # spine
    if with_fields:
        d.font(14, bold=True)
        d.field(4, 67, "Ruecken", 93)
    # flap
    d.caption(4, 79, "Aufgenommen:")
    d.caption(52, 79, "Quelle:")
    if with_fields:
        d.font(9)
        d.field(4, 84, "Aufnahme", 44)
        d.field(52, 84, "Quelle", 45)
    else:
        d.pen(0, 8)
        d.line(4, 88, 48, 88)
        d.line(52, 88, 97, 88)
    return d


def cassette_front():
    d = Design("Audio3.eti", "Audio-Kassettenhülle Frontteil", 101, 64)
    d.frame(*CUT, inset=0)
    d.pen(1, 4)
    d.line(4, 17, 97, 17)
    d.font(16, bold=True, colour=4)
    d.field(4, 3, "Titel", 93)
    d.font(11, italic=True)
    d.field(4, 10, "Interpret", 93)
    d.font(10, bold=True)
    d.text(4, 20, "Seite A")
    d.text(52, 20, "Seite B")
    d.font(9)
    for i in range(5):
        y = 26 + i * 7
        d.field(4, y, f"A{i + 1}", 44)
        d.field(52, y, f"B{i + 1}", 45)
    d.pen(0, 8)
    d.line(50, 20, 50, 61)
    return d


def cd_front():
    # Front insert of a CD case, 120 x 120 mm, on the left of the insert sheet.
    d = Design("CD1.eti", "CD-Hülle Vorderseite", 151, 120)
    d.pen(*CUT)
    d.rect(0, 0, 120, 120)
    d.pen(1, 4)
    d.rect(8, 8, 112, 112)
    d.pen(0, 4)
    d.line(14, 60, 106, 60)
    d.font(14, italic=True, colour=4)
    d.field(14, 20, "Interpret", 92)
    d.font(18, bold=True)
    d.field(14, 40, "Titel", 92)
    d.font(11)
    d.field(14, 66, "Untertitel", 92)
    d.font(10, colour=7)
    d.field(14, 100, "Jahr", 30, size=12)
    d.text(70, 100, "Compact Disc")
    return d


def cd_back():
    # Back insert 151 x 118 mm with two spines of 6.5 mm.
    d = Design("CD2.eti", "CD-Hülle Rückseite", 151, 118)
    d.frame(*CUT, inset=0)
    d.line(6.5, 0, 6.5, 118)
    d.line(144.5, 0, 144.5, 118)
    d.font(11, bold=True, rotation=90)
    d.field(1.3, 114, "Interpret", 55)
    d.font(11, bold=True, rotation=270)
    d.field(149.7, 4, "Album", 55)
    d.font(14, bold=True, colour=4)
    d.field(12, 5, "Titel", 127)
    d.pen(0, 4)
    d.line(12, 13, 139, 13)
    d.font(9)
    for i in range(12):
        column, row = divmod(i, 6)
        x = 12 + column * 66
        y = 18 + row * 11
        d.font(9, bold=True, colour=7)
        d.text(x, y, f"{i + 1:2d}.")
        d.font(9)
        d.field(x + 7, y, f"Stueck{i + 1}", 55)
    d.line(12, 88, 139, 88)
    d.font(8, colour=7)
    d.field(12, 92, "Hinweis", 127)
    d.field(12, 100, "Label", 60)
    return d


def slide():
    # Label on a slide frame, 45.7 x 21.2 mm.
    d = Design("dia1.eti", "Dia-Beschriftung", 45, 21)
    d.pen(0, 8)
    d.rect(1, 1, 44, 20)
    d.font(10, bold=True)
    d.field(3, 2.5, "Motiv", 39)
    d.font(8)
    d.field(3, 8.5, "Ort", 39)
    d.font(8, colour=7)
    d.field(3, 14, "Datum", 20, size=10)
    d.field(27, 14, "Nummer", 15, size=6)
    return d


def dat():
    # Insert of a DAT cassette case, 80 x 60 mm: front 48 mm, spine 12 mm.
    d = Design("dat1.eti", "DAT-Hülle", 80, 60)
    d.frame(*CUT, inset=0)
    d.line(0, 48, 80, 48)
    d.font(14, bold=True, colour=4)
    d.field(3, 2, "Titel", 74)
    d.pen(0, 4)
    d.line(3, 9, 77, 9)
    d.font(9)
    d.numbered_fields(3, 12, 7, "Inhalt", 4, 74)
    d.caption(3, 41, "Aufgenommen:")
    d.font(8)
    d.field(25, 41, "Datum", 22, size=10)
    d.caption(50, 41, "Band:")
    d.font(8)
    d.field(60, 41, "Band", 17, size=6)
    d.font(12, bold=True)
    d.field(3, 50.5, "Ruecken", 74)
    return d


def photo():
    # Sticker for the back of a photograph, 89 x 36 mm.
    d = Design("foto1.eti", "Fotoaufkleber", 89, 36)
    d.frame(0, 7)
    d.font(12, bold=True)
    d.field(4, 3, "Motiv", 81)
    d.pen(0, 8)
    d.line(4, 9.5, 85, 9.5)
    labels = [("Ort:", "Ort", 13), ("Datum:", "Datum", 19), ("Foto:", "Fotograf", 25)]
    for caption, name, y in labels:
        d.caption(4, y, caption)
        d.font(9)
        d.field(17, y - 0.5, name, 44)
    d.caption(64, 25, "Film/Bild:")
    d.font(9)
    d.field(64, 29, "Bild", 21, size=7)
    return d


def vhs_c():
    d = Design("VHSC1.eti", "VHS-C Hülle", 78, 46)
    d.frame(0, 7)
    d.pen(1, 12)
    d.line(1.6, 4.5, 76.4, 4.5)
    d.font(13, bold=True, colour=12)
    d.field(4, 8, "Titel", 70)
    d.font(9)
    d.numbered_fields(4, 16, 6, "Inhalt", 3, 70)
    d.pen(0, 8)
    d.line(4, 35, 74, 35)
    d.caption(4, 37.5, "Datum:")
    d.caption(42, 37.5, "Länge:")
    d.font(8)
    d.field(15, 37.5, "Datum", 25, size=10)
    d.field(53, 37.5, "Laenge", 20, size=8)
    return d


def vhs_spine(file, description, boxed):
    # Label on the narrow side of a VHS cassette, 147 x 20 mm.
    d = Design(file, description, 147, 20)
    if boxed:
        d.frame(1, 4)
        d.line(24, 1, 24, 19)
        d.caption(4, 3, "Nr.")
        d.font(20, bold=True, colour=4)
        d.field(4, 8, "Nummer", 18, size=3)
        d.font(16, bold=True)
        d.field(28, 2.5, "Titel", 114)
        d.font(9, italic=True)
        d.field(28, 11.5, "Untertitel", 114)
    else:
        d.frame(0, 7)
        d.line(118, 1, 118, 19)
        d.font(18, bold=True)
        d.field(4, 5, "Titel", 110)
        d.caption(121, 3, "Laufzeit")
        d.font(10)
        d.field(121, 10, "Laufzeit", 23, size=7)
    return d


def vhs_top(file, description, boxed):
    # Label on the top of a VHS cassette, 89 x 36 mm stock.
    d = Design(file, description, 89, 36)
    if boxed:
        d.frame(0, 4)
        d.line(1, 10, 88, 10)
        d.caption(4, 3.5, "Kassette Nr.")
        d.font(10, bold=True, colour=4)
        d.field(24, 3, "Nummer", 12, size=4)
        d.caption(50, 3.5, "Laufzeit")
        d.font(9)
        d.field(65, 3.5, "Laufzeit", 20, size=7)
        d.numbered_fields(4, 12, 5.5, "Film", 4, 81)
    else:
        d.frame(0, 7)
        d.font(13, bold=True)
        d.field(4, 3, "Titel", 81)
        d.font(9)
        d.numbered_fields(4, 11, 5.5, "Inhalt", 3, 81)
        d.pen(0, 8)
        d.line(4, 28.5, 85, 28.5)
        d.caption(4, 30, "Aufgenommen")
        d.font(8)
        d.field(26, 30, "Datum", 22, size=10)
        d.caption(52, 30, "Laufzeit")
        d.font(8)
        d.field(67, 30, "Laufzeit", 18, size=7)
    return d


def designs():
    return [
        cassette_inlay("Audio1.eti", "Audio-Kassettenhülle", True),
        cassette_inlay("Audio2.eti", "Audio-Kassettenhülle (ohne Felder)", False),
        cassette_front(),
        cd_front(),
        cd_back(),
        slide(),
        dat(),
        photo(),
        vhs_c(),
        vhs_spine("VHS1.eti", "VHS-Video Frontseite 1", False),
        vhs_spine("VHS2.eti", "VHS-Video Frontseite 2", True),
        vhs_top("VHS3.eti", "VHS-Video Oberseite 1", False),
        vhs_top("VHS4.eti", "VHS-Video Oberseite 2", True),
    ]
