"""A few German example records for each prepared table."""

PEOPLE = [
    {"Anrede": "Frau", "Name": "Anna Bergmann", "Zusatz": "Bergmann & Söhne GmbH", "Strasse": "Lindenallee 12",
     "Ort": "50667 Köln", "Land": "Deutschland", "Telefon": "0221 / 93 47 12", "Beruf": "Dipl.-Ingenieurin",
     "Firma": "Bergmann & Söhne GmbH", "EMail": "a.bergmann@example.de"},
    {"Anrede": "Herrn", "Name": "Jürgen Köhler", "Zusatz": "Abteilung Einkauf", "Strasse": "Hauptstraße 5a",
     "Ort": "80331 München", "Land": "Deutschland", "Telefon": "089 / 55 21 08", "Beruf": "Steuerberater",
     "Firma": "Köhler Steuerberatung", "EMail": "koehler@example.de"},
    {"Anrede": "Familie", "Name": "Grete und Paul Schröder", "Zusatz": "", "Strasse": "Am Mühlbach 3",
     "Ort": "01067 Dresden", "Land": "Deutschland", "Telefon": "0351 / 80 44 61", "Beruf": "Gärtnermeister",
     "Firma": "Gärtnerei Schröder", "EMail": "info@example.de"},
]

SENDER = {"Absender": "Eva Weiß · Rosenweg 7 · 34117 Kassel", "AbsName": "Eva Weiß",
          "AbsStrasse": "Rosenweg 7", "AbsOrt": "34117 Kassel"}

CASSETTES = [
    {"Titel": "Klassik am Sonntag", "Interpret": "Berliner Philharmoniker", "Ruecken": "Klassik am Sonntag",
     "Aufnahme": "12.03.1996", "Quelle": "Radio (WDR 3)",
     "A": ["Eine kleine Nachtmusik", "Die Moldau", "Bolero", "Air", "Kanon in D", "Ungarischer Tanz Nr. 5"],
     "B": ["Frühling (Vivaldi)", "Wassermusik", "Für Elise", "Mondscheinsonate", "Pomp and Circumstance",
           "Radetzky-Marsch"]},
    {"Titel": "Urlaub 1995", "Interpret": "Verschiedene", "Ruecken": "Urlaub 1995 – Italien",
     "Aufnahme": "02.08.1995", "Quelle": "Schallplatte",
     "A": ["Strandkonzert in Rimini", "Gondellied", "Abend am Gardasee", "Tarantella", "Piazza", ""],
     "B": ["Santa Lucia", "O sole mio", "Funiculì funiculà", "Sonnenuntergang", "", ""]},
    {"Titel": "Hörspiel: Die Insel", "Interpret": "Kinderchor Bremen", "Ruecken": "Hörspiel – Die Insel",
     "Aufnahme": "24.12.1996", "Quelle": "Eigene Aufnahme",
     "A": ["Teil 1: Die Abreise", "Teil 2: Sturm", "", "", "", ""],
     "B": ["Teil 3: Die Insel", "Teil 4: Heimkehr", "", "", "", ""]},
]


def cassette(r, sides):
    out = {k: v for k, v in r.items() if k not in ("A", "B")}
    for i in range(sides):
        out[f"A{i + 1}"] = r["A"][i]
        out[f"B{i + 1}"] = r["B"][i]
    return out


CDS = [
    {"Interpret": "Die Nachtfalter", "Album": "Sommer in der Stadt", "Titel": "Sommer in der Stadt",
     "Untertitel": "Live im Stadtpark", "Jahr": "1996", "Hinweis": "Alle Titel digital überarbeitet",
     "Label": "Eigenverlag", "Stuecke": ["Am Hafen", "Nachtbus", "Regen auf Asphalt", "Zwei Stühle",
                                         "Die letzte Fähre", "Laternenlicht", "Dachgarten", "Kopfsteinpflaster",
                                         "Stadtrand", "Morgengrauen", "Heimweg", "Zugabe"]},
    {"Interpret": "Johann Sebastian Bach", "Album": "Goldberg-Variationen", "Titel": "Goldberg-Variationen",
     "Untertitel": "BWV 988 – Klavier: Maria Lang", "Jahr": "1995", "Hinweis": "Aufnahme: Sendesaal Bremen",
     "Label": "Eigenproduktion", "Stuecke": ["Aria", "Variatio 1", "Variatio 2", "Variatio 3",
                                             "Variatio 4", "Variatio 5", "Variatio 6", "Variatio 7",
                                             "Variatio 8", "Variatio 9", "Variatio 10", "Aria da capo"]},
]


def cd(r):
    out = dict(r)
    for i, s in enumerate(out.pop("Stuecke")):
        out[f"Stueck{i + 1}"] = s
    return out


SLIDES = [
    {"Motiv": "Hafen von Rovinj", "Ort": "Istrien, Kroatien", "Datum": "14.07.1995", "Nummer": "001"},
    {"Motiv": "Sonnenaufgang", "Ort": "Zugspitze", "Datum": "02.09.1995", "Nummer": "002"},
    {"Motiv": "Weihnachtsmarkt", "Ort": "Nürnberg", "Datum": "10.12.1995", "Nummer": "003"},
]

DATS = [
    {"Titel": "Konzert Stadthalle", "Inhalt1": "Ouvertüre", "Inhalt2": "Klavierkonzert Nr. 2",
     "Inhalt3": "Pause", "Inhalt4": "Sinfonie Nr. 9", "Datum": "18.05.1996", "Band": "D-07",
     "Ruecken": "Konzert Stadthalle 18.05.1996"},
    {"Titel": "Sicherung Tonstudio", "Inhalt1": "Projekt Sommerfest", "Inhalt2": "Jingles 1–12",
     "Inhalt3": "Sprachaufnahmen", "Inhalt4": "", "Datum": "01.06.1996", "Band": "D-08",
     "Ruecken": "Sicherung Juni 1996"},
]

PHOTOS = [
    {"Motiv": "Omas 80. Geburtstag", "Ort": "Gasthaus Krone, Fulda", "Datum": "17.03.1996",
     "Fotograf": "Thomas Weber", "Bild": "12/24"},
    {"Motiv": "Einschulung Lena", "Ort": "Grundschule am Park", "Datum": "05.08.1996",
     "Fotograf": "Sabine Weber", "Bild": "3/36"},
]

VIDEOS = [
    {"Titel": "Hochzeit Petra & Klaus", "Untertitel": "Standesamt, Kirche und Feier", "Nummer": "17",
     "Laufzeit": "180 min", "Datum": "22.06.1996", "Laenge": "90 min",
     "Inhalt1": "Standesamt Rathaus", "Inhalt2": "Trauung St. Marien", "Inhalt3": "Feier im Landhaus",
     "Film1": "Spielfilm am Sonntag", "Film2": "Naturfilm: Das Wattenmeer", "Film3": "Nachrichten 1.1.1996",
     "Film4": ""},
    {"Titel": "Urlaub Ostsee 1996", "Untertitel": "Rügen und Usedom", "Nummer": "18",
     "Laufzeit": "120 min", "Datum": "15.08.1996", "Laenge": "60 min",
     "Inhalt1": "Kreidefelsen", "Inhalt2": "Strand von Binz", "Inhalt3": "Seebrücke Ahlbeck",
     "Film1": "Reisebericht Masuren", "Film2": "Kochsendung: Apfelstrudel", "Film3": "", "Film4": ""},
]

DISKS = [
    {"Titel": "Datensicherung", "Nummer": "1 von 3", "Inhalt1": "Briefe 1996", "Inhalt2": "Adressen",
     "Inhalt3": "Buchhaltung", "Inhalt4": "Steuer 1995", "Inhalt5": "Fotos (komprimiert)",
     "Datum": "30.09.1996", "Version": "1.0", "Format": "1,44 MB"},
    {"Titel": "Installation Textprogramm", "Nummer": "2 von 3", "Inhalt1": "Programmdateien",
     "Inhalt2": "Wörterbücher", "Inhalt3": "Vorlagen", "Inhalt4": "", "Inhalt5": "",
     "Datum": "12.01.1996", "Version": "3.1", "Format": "1,44 MB"},
]

FOLDERS = [
    {"Nummer": "1", "Titel": "Versicherungen", "Inhalt": "Haus, Auto, Haftpflicht", "Zeitraum": "1990 – 1996"},
    {"Nummer": "2", "Titel": "Steuern", "Inhalt": "Erklärungen und Bescheide", "Zeitraum": "1993 – 1996"},
    {"Nummer": "12", "Titel": "Rechnungen", "Inhalt": "Strom, Wasser, Telefon", "Zeitraum": "1996"},
]

GUESTS = [
    {"Name": "Dr. Helga Neumann", "Zusatz": "Vorsitzende"},
    {"Name": "Klaus Hoffmann", "Zusatz": "Schatzmeister"},
    {"Name": "Familie Schulz", "Zusatz": "Tisch 3"},
]

TRAVEL = [
    {"Name": "Anna Bergmann", "Strasse": "Lindenallee 12", "Ort": "50667 Köln", "Telefon": "0221 / 93 47 12",
     "Reiseziel": "Hotel Alpenblick, Garmisch"},
    {"Name": "Jürgen Köhler", "Strasse": "Hauptstraße 5a", "Ort": "80331 München", "Telefon": "089 / 55 21 08",
     "Reiseziel": "Mallorca, Cala Ratjada"},
]

CARDS = [
    dict(PEOPLE[0]),
    dict(PEOPLE[1]),
]

POSTCARDS = [
    dict(PEOPLE[0], Zeile1="Liebe Anna,", Zeile2="viele Grüße von der Nordsee!", Zeile3="Das Wetter ist herrlich,",
         Zeile4="wir waren jeden Tag am Strand", Zeile5="und haben Muscheln gesammelt.", Zeile6="",
         Zeile7="Bis bald,", Zeile8="deine Eva"),
    dict(PEOPLE[1], Zeile1="Lieber Jürgen,", Zeile2="herzlichen Glückwunsch zum", Zeile3="Geburtstag!",
         Zeile4="", Zeile5="Wir sehen uns am Samstag.", Zeile6="", Zeile7="Herzlich,", Zeile8="Eva und Tom"),
]

PARCELS = [dict(PEOPLE[0], Inhalt="Bücher"), dict(PEOPLE[1], Inhalt="Geschenk – bitte nicht knicken")]


def addressed(rows):
    return [dict(SENDER, **r) for r in rows]


TABLES = {
    "Audio1.eti": [cassette(r, 6) for r in CASSETTES],
    "Audio3.eti": [cassette(r, 5) for r in CASSETTES],
    "CD1.eti": [cd(r) for r in CDS],
    "CD2.eti": [cd(r) for r in CDS],
    "dia1.eti": SLIDES,
    "dat1.eti": DATS,
    "foto1.eti": PHOTOS,
    "VHSC1.eti": VIDEOS,
    "VHS1.eti": VIDEOS,
    "VHS2.eti": VIDEOS,
    "VHS3.eti": VIDEOS,
    "VHS4.eti": VIDEOS,
    "disk1.eti": DISKS, "disk2.eti": DISKS, "disk3.eti": DISKS, "disk4.eti": DISKS, "disk5.eti": DISKS,
    "adress1.eti": addressed(PEOPLE), "adress2.eti": PEOPLE, "adress3.eti": addressed(PEOPLE),
    "brief1.eti": addressed(PEOPLE),
    "paket1.eti": addressed(PARCELS), "paket2.eti": addressed(PARCELS), "paket3.eti": addressed(PARCELS),
    "postkart.eti": POSTCARDS,
    "absend1.eti": [dict(PEOPLE[0], Name="Eva Weiß", Strasse="Rosenweg 7", Ort="34117 Kassel")] + PEOPLE[1:],
    "absend2.eti": [dict(PEOPLE[0], Name="Eva Weiß", Strasse="Rosenweg 7", Ort="34117 Kassel")] + PEOPLE[1:],
    "Akten1.eti": FOLDERS, "Akten2.eti": FOLDERS, "Akten3.eti": FOLDERS,
    "Tisch1.eti": GUESTS,
    "Koffer1.eti": TRAVEL,
    "Visiten1.eti": CARDS, "Visiten2.eti": CARDS,
}


def records_for(design):
    rows = TABLES[design.file]
    names = [n for n, _ in design.fields]
    out = []
    for row in rows:
        missing = [n for n in names if n not in row]
        assert not missing, (design.file, missing)
        out.append({n: row[n] for n in names})
    return out
