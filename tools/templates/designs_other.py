"""Floppy, mailing, office and business-card designs."""

from dsl import Design

CUT = (2, 7)


def floppy35(file, description, height, banded):
    d = Design(file, description, 70, height)
    if banded:
        d.frame(0, 4)
        d.pen(1, 4)
        d.line(1.6, 8, 68.4, 8)
        d.font(11, bold=True, colour=4)
        d.text(4, 2, "DISKETTE")
        d.font(9, colour=4)
        d.field(36, 2.3, "Nummer", 30, size=8)
        top = 11
    else:
        d.frame(0, 7)
        top = 3
    d.font(12, bold=True)
    d.field(4, top, "Titel", 62)
    d.pen(0, 8)
    d.line(4, top + 6.5, 66, top + 6.5)
    lines = 5 if height >= 70 else 3
    if banded and height < 70:
        lines = 2
    d.font(9)
    d.numbered_fields(4, top + 8, 5.5, "Inhalt", lines, 62)
    y = height - 8
    d.caption(4, y, "Datum:")
    d.caption(38, y, "Version:")
    d.font(8)
    d.field(15, y, "Datum", 21, size=10)
    d.field(52, y, "Version", 15, size=6)
    if height >= 70:
        # The part folded round the back of the disk.
        d.pen(*CUT)
        d.line(0, 54, 70, 54)
        d.caption(4, 48, "Format:")
        d.font(8)
        d.field(17, 48, "Format", 49)
    return d


def floppy525():
    d = Design("disk5.eti", "Diskettenetikett 5.25\"", 89, 36)
    d.frame(0, 7)
    d.font(12, bold=True)
    d.field(4, 3, "Titel", 81)
    d.pen(0, 8)
    d.line(4, 9.5, 85, 9.5)
    d.font(9)
    d.numbered_fields(4, 11, 5.5, "Inhalt", 2, 81)
    d.caption(4, 29, "Datum:")
    d.caption(46, 29, "Format:")
    d.font(8)
    d.field(15, 29, "Datum", 28, size=10)
    d.field(59, 29, "Format", 26, size=9)
    return d


def address(file, description, width, height, sender_line):
    d = Design(file, description, width, height)
    left = 5
    room = width - 2 * left
    y = 3
    if sender_line:
        d.font(6, colour=7)
        d.field(left, y, "Absender", room)
        d.pen(0, 8)
        d.line(left, y + 3.2, width - left, y + 3.2)
        y += 5
    rows = [("Anrede", 10, False), ("Name", 11, True), ("Zusatz", 10, False), ("Strasse", 10, False),
            ("Ort", 11, True)]
    if height < 40 and sender_line:
        rows = [r for r in rows if r[0] != "Zusatz"]
    d.field_rows(left, y, (height - y - 3) / len(rows), rows, room)
    return d


def sender(file, description, height):
    d = Design(file, description, 89, height)
    if height > 30:
        d.frame(0, 4)
        d.caption(5, 3, "Absender:", size=7, colour=4)
        rows, y, step = [("Name", 11, True), ("Strasse", 10, False), ("Ort", 11, True), ("Telefon", 8, False)], 7.5, 6.5
    else:
        d.pen(0, 4)
        d.line(4, 2, 4, 21)
        d.caption(6, 2, "Abs.:", size=7, colour=4)
        rows, y, step = [("Name", 10, True), ("Strasse", 9, False), ("Ort", 9, False)], 6, 5
    d.field_rows(6 if height <= 30 else 5, y, step, rows, 80)
    return d


def envelope():
    # DIN C5 envelope, 229 x 162 mm, drawn across: sender at the top left,
    # postage at the top right, the address field where a window would be.
    # It is fed upright, so the design stands on the sheet turned.
    d = Design("brief1.eti", "DIN-A5 Umschlag", 229, 162, upright=True)
    d.font(8, colour=7)
    d.field(15, 12, "AbsName", 80)
    d.field(15, 16, "AbsStrasse", 80)
    d.field(15, 20, "AbsOrt", 80)
    d.pen(2, 8)
    d.rect(189, 10, 219, 45)
    d.caption(193, 25, "Briefmarke", size=7, colour=8)
    d.pen(0, 8)
    d.line(110, 68, 210, 68)
    d.field_rows(112, 72, 8, [("Anrede", 13, False), ("Name", 15, True), ("Zusatz", 13, False),
                              ("Strasse", 13, False), ("Ort", 15, True), ("Land", 12, False)], 100)
    return d


def parcel(file, description, width, height):
    s = width / 148  # layouts scale with the label
    d = Design(file, description, width, height)
    d.pen(1, 0)
    d.rect(2, 2, width - 2, height - 2)
    d.pen(0, 0)
    d.line(2, 30 * s, width - 2, 30 * s)
    d.caption(5, 4 * s, "Absender", size=int(7 * s))
    d.font(int(8 * s))
    for i, name in enumerate(["AbsName", "AbsStrasse", "AbsOrt"]):
        d.field(5, (9 + i * 6) * s, name, 70 * s)
    d.pen(0, 8)
    d.rect(width * 0.62, 5 * s, width - 6, 26 * s)
    d.caption(width * 0.62 + 3, 7 * s, "Paketmarke", size=int(7 * s), colour=8)
    d.font(int(9 * s), bold=True, colour=4)
    d.text(5, 34 * s, "Empfänger")
    y = 41 * s
    for name, size, bold in [("Name", 15, True), ("Zusatz", 12, False), ("Strasse", 13, False),
                             ("Ort", 16, True)]:
        d.font(int(size * s), bold=bold)
        d.field(10 * s, y, name, width - 20 * s)
        y += size * 0.5 * s + 4 * s
    d.pen(0, 8)
    d.line(2, height - 11 * s, width - 2, height - 11 * s)
    d.caption(5, height - 8.5 * s, "Inhalt:", size=int(7 * s))
    d.font(int(8 * s))
    d.field(18 * s, height - 8.7 * s, "Inhalt", width - 26 * s)
    return d


def postcard():
    d = Design("postkart.eti", "Postkarte", 148, 105)
    d.pen(0, 7)
    d.line(82, 8, 82, 97)
    d.font(9)
    for i in range(8):
        d.field(6, 10 + i * 10, f"Zeile{i + 1}", 72)
        d.pen(0, 8)
        d.line(6, 15 + i * 10, 78, 15 + i * 10)
    d.pen(2, 8)
    d.rect(118, 6, 142, 34)
    d.caption(121, 18, "Briefmarke", size=6, colour=8)
    d.font(9, bold=True, colour=7)
    d.text(87, 40, "Postkarte")
    y = 50
    for name, bold in [("Name", True), ("Zusatz", False), ("Strasse", False), ("Ort", True)]:
        d.font(11, bold=bold)
        d.field(87, y, name, 56)
        d.pen(0, 8)
        d.line(87, y + 6, 143, y + 6)
        y += 11
    return d


def folder_spine(file, description, width, height):
    d = Design(file, description, width, height)
    d.frame(0, 7)
    box = min(height - 6, 44)
    d.pen(1, 4)
    d.rect(3, 3, 3 + box, height - 3)
    big = int(min(height * 0.45, 44) * 2.5)
    d.font(big, bold=True, colour=4)
    d.field(6, (height - big / 2.5) / 2, "Nummer", box - 6, size=3)
    x = 3 + box + 5
    room = width - x - 4
    title = int(min(height * 0.26, 14) * 2.5)
    d.font(title, bold=True)
    d.field(x, height * 0.12, "Titel", room)
    d.pen(0, 8)
    d.line(x, height * 0.12 + title / 2.5 + 1, width - 4, height * 0.12 + title / 2.5 + 1)
    small = int(min(height * 0.14, 7) * 2.5)
    d.font(small)
    d.field(x, height * 0.52, "Inhalt", room)
    d.font(small, italic=True, colour=7)
    d.field(x, height * 0.52 + small / 2.5 + 2, "Zeitraum", room)
    return d


def table_card():
    # Tent card of A4 halves, 210 x 148 mm, folded in the middle: the lower
    # half faces the guest's neighbours, the upper one the guest.
    d = Design("Tisch1.eti", "Tischkarte", 210, 148)
    d.pen(*CUT)
    d.line(0, 74, 210, 74)
    d.pen(0, 8)
    d.rect(6, 80, 204, 142)
    d.font(40, bold=True, colour=4)
    d.field(15, 92, "Name", 180)
    d.font(16, italic=True)
    d.field(15, 118, "Zusatz", 180)
    d.font(16, italic=True, rotation=180, colour=7)
    d.text(150, 40, "Herzlich willkommen")
    d.pen(0, 8)
    d.rect(6, 6, 204, 68)
    return d


def luggage_tag():
    d = Design("Koffer1.eti", "Kofferschild", 70, 70)
    d.frame(1, 9)
    d.font(12, bold=True, colour=9)
    d.text(5, 4, "Kofferschild")
    d.pen(0, 9)
    d.line(5, 10, 65, 10)
    d.field_rows(5, 13, 7, [("Name", 10, True), ("Strasse", 10, False), ("Ort", 10, False),
                            ("Telefon", 10, False)], 60)
    d.caption(5, 46, "Reiseziel:")
    d.font(10, bold=True)
    d.field(5, 51, "Reiseziel", 60)
    d.caption(5, 62, "Finderlohn zugesichert", size=7)
    return d


WEEKDAYS = ["Montag", "Dienstag", "Mittwoch", "Donnerstag", "Freitag", "Samstag", "Sonntag"]


def planner_blank():
    d = Design("Wochen1.eti", "Wochenplaner -Leerblatt-", 190, 277)
    d.font(22, bold=True, colour=4)
    d.text(0, 0, "Wochenplaner")
    d.caption(100, 4, "Woche:", size=10)
    d.caption(135, 4, "vom", size=10)
    d.pen(0, 7)
    d.line(114, 9, 132, 9)
    d.line(143, 9, 190, 9)
    top, rowh = 14, 37
    for i, day in enumerate(WEEKDAYS):
        y = top + i * rowh
        d.pen(0, 4)
        d.rect(0, y, 190, y + rowh - 2)
        d.font(11, bold=True, colour=4)
        d.text(3, y + 2, day)
        d.pen(0, 8)
        d.rules(30, 187, y, 7, 4)
    return d


def planner_day():
    d = Design("Wochen2.eti", "Wochenplaner -Tagesübersicht-", 190, 277)
    d.font(22, bold=True, colour=4)
    d.text(0, 0, "Tagesübersicht")
    d.caption(120, 4, "Datum:", size=10)
    d.pen(0, 7)
    d.line(135, 9, 190, 9)
    top = 16
    for i, hour in enumerate(range(7, 21)):
        y = top + i * 13
        d.pen(0, 8)
        d.line(0, y, 125, y)
        d.font(10, bold=True, colour=7)
        d.text(1, y + 1.5, f"{hour:02d}:00")
        d.pen(2, 8)
        d.line(16, y + 6.5, 125, y + 6.5)
    d.pen(0, 8)
    d.line(0, top + 14 * 13, 125, top + 14 * 13)
    d.line(15, top, 15, top + 14 * 13)
    d.pen(0, 4)
    d.rect(132, top, 190, top + 14 * 13)
    d.font(11, bold=True, colour=4)
    d.text(135, top + 2, "Notizen")
    d.pen(0, 8)
    d.rules(135, 187, top + 4, 7.5, 23)
    d.pen(0, 4)
    d.rect(0, 220, 190, 277)
    d.font(11, bold=True, colour=4)
    d.text(3, 222, "Erledigen")
    d.pen(0, 8)
    for k in range(1, 7):
        d.rect(4, 222 + k * 7.5 - 1, 8, 222 + k * 7.5 + 3)
        d.line(11, 222 + k * 7.5 + 3, 186, 222 + k * 7.5 + 3)
    return d


def planner_week():
    d = Design("Wochen3.eti", "Wochenplaner -Wochenübersicht-", 190, 277)
    d.font(22, bold=True, colour=4)
    d.text(0, 0, "Wochenübersicht")
    d.caption(120, 4, "Woche:", size=10)
    d.pen(0, 7)
    d.line(135, 9, 190, 9)
    left, top, colw, rowh = 14, 16, 25, 14
    hours = list(range(8, 26 - 7))  # 8 .. 18
    bottom = top + 8 + len(hours) * rowh
    d.pen(0, 4)
    d.rect(0, top, 190, bottom)
    for i, day in enumerate(WEEKDAYS):
        x = left + i * colw + 1
        d.font(9, bold=True, colour=4)
        d.text(x + 1, top + 2, day[:3] + ".")
        d.pen(0, 8)
        d.line(left + i * colw, top, left + i * colw, bottom)
    d.pen(0, 4)
    d.line(0, top + 8, 190, top + 8)
    for k, hour in enumerate(hours):
        y = top + 8 + k * rowh
        d.pen(0, 8)
        if k:
            d.line(0, y, 190, y)
        d.caption(1, y + 1.5, f"{hour:02d}")
    d.pen(0, 4)
    d.rect(0, bottom + 6, 190, 277)
    d.font(11, bold=True, colour=4)
    d.text(3, bottom + 8, "Notizen")
    return d


def business_card(file, description, modern):
    d = Design(file, description, 85, 54)
    if modern:
        d.pen(1, 4)
        for x in (3, 4.5, 6):
            d.line(x, 4, x, 50)
        left = 11
        d.font(9, bold=True, colour=4)
        d.field(left, 5, "Firma", 70)
        d.font(14, bold=True)
        d.field(left, 14, "Name", 70)
        d.font(8, italic=True, colour=7)
        d.field(left, 21, "Beruf", 70)
        rows = [("Strasse", 31), ("Ort", 35.5), ("Telefon", 40), ("EMail", 44.5)]
    else:
        left = 6
        d.font(14, bold=True, colour=4)
        d.field(left, 6, "Name", 73)
        d.font(9, italic=True)
        d.field(left, 13, "Beruf", 73)
        d.pen(0, 4)
        d.line(left, 19, 79, 19)
        d.font(9, bold=True)
        d.field(left, 22, "Firma", 73)
        rows = [("Strasse", 30), ("Ort", 34.5), ("Telefon", 41), ("EMail", 45.5)]
    d.font(8)
    for name, y in rows:
        d.field(left, y, name, 85 - left - 5)
    return d


def designs():
    return [
        floppy35("disk1.eti", "Diskettenetikett 3.5\" Ausführung 1 (70x70mm)", 70, False),
        floppy35("disk2.eti", "Diskettenetikett 3.5\" Ausführung 2 (70x70mm)", 70, True),
        floppy35("disk3.eti", "Diskettenetikett 3.5\" Ausführung 1 (70x50mm)", 50, False),
        floppy35("disk4.eti", "Diskettenetikett 3.5\" Ausführung 2 (70x50mm)", 50, True),
        floppy525(),
        address("adress1.eti", "Adressaufkleber 89x36 mm", 89, 36, True),
        address("adress2.eti", "Adressaufkleber 70x36 mm", 70, 36, False),
        address("adress3.eti", "Adressaufkleber 70x42 mm", 70, 42, True),
        envelope(),
        parcel("paket1.eti", "Paketaufkleber -poststandard-", 148, 105),
        parcel("paket2.eti", "Paketaufkleber -groß- (210x148mm)", 210, 148),
        parcel("paket3.eti", "Paketaufkleber -klein- (140x100mm)", 140, 100),
        postcard(),
        sender("absend1.eti", "Absenderaufkleber 89x36mm", 36),
        sender("absend2.eti", "Absenderaufkleber 89x23mm", 23),
        folder_spine("Akten1.eti", "Aktenordner -breit- (190x61mm)", 190, 61),
        folder_spine("Akten2.eti", "Aktenordner -mittel- (154x48mm)", 154, 48),
        folder_spine("Akten3.eti", "Aktenordner -schmal- (190x38mm)", 190, 38),
        table_card(),
        luggage_tag(),
        planner_blank(),
        planner_day(),
        planner_week(),
        business_card("Visiten1.eti", "Visitenkarte klassisch", False),
        business_card("Visiten2.eti", "Visitenkarte modern", True),
        address("adrivo1.eti", "ADRIVO-Adressaufkleber 89x36 mm", 89, 36, False),
        address("adrivo2.eti", "ADRIVO-Adressaufkleber 70x36 mm", 70, 36, False),
        address("adrivo3.eti", "ADRIVO-Adressaufkleber 70x42 mm", 70, 42, False),
    ]
