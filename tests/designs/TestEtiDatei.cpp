#include "testfiles.h"
#include "testpaths.h"
#include "designs/etifile.h"
#include "platform/cp1252.h"
#include "platform/errors.h"
#include "platform/textfile.h"

#include <QDate>
#include <QFile>
#include <QLocale>
#include <QTemporaryDir>
#include <QTest>

using namespace qm;
using namespace qm::test;

namespace {

const QString FixtureDir = test::fixturesDir() + QStringLiteral("/designs/");



// The elements as "K|cell|cell" rows joined by ";".
QString rowsOf(const Design &d)
{
    QStringList rows;
    for (const Element &e : d.elements)
        rows << e.row().join(u'|');
    return rows.join(u';');
}

Element element(const QString &row)
{
    Element e;
    const QStringList cells = row.split(u'|');
    for (int c = 0; c < cells.size(); ++c)
        e.setCell(c, cells[c]);
    return e;
}

// A design that has something in every column the file holds.
Design sampleDesign()
{
    Design d;
    d.description = QStringLiteral("Grüße, Post");
    d.widthMm = QStringLiteral("70");
    d.heightMm = QStringLiteral("33");
    d.elements = {
        element(QStringLiteral("L| 1|2|3|4|0|9")),
        element(QStringLiteral("R|5|6|7|8|1|1")),
        element(QStringLiteral("O|0|0|174|81|2|0")),
        element(QStringLiteral("#|9|9|9|9|0|0")),
        element(QStringLiteral("B|10|10|85|85|C:\\BILDER\\LOGO.BMP")),
        element(QStringLiteral("T|10|20|0|14|1|0|7|Arial|Hallo, Welt")),
        element(QStringLiteral("F|30|40|90|12|0|1|4|Times New Roman|Straße|25")),
        element(QStringLiteral("Z|1|2|3|4|5|6")),
        element(QStringLiteral("S|5|5|0|10|0|0|0|Arial|1|Nr. |/96")),
    };
    return d;
}

const QByteArray FileHead = QByteArray("** QUILLMARK f\xFC") + "r WINDOWS 95\r\n"
                            + "** ETI-Datei f\xFC" + "r ein Etikett bzw. Formular\r\n"
                            + "** Erstellt am 24.12.1999 mit Version 2.04s\r\n";

} // namespace

class TestEtiDatei : public QObject
{
    Q_OBJECT

private slots:
    void readsRecords_data();
    void readsRecords();
    void readsHeader_data();
    void readsHeader();
    void badNumberLeavesDesignAlone_data();
    void badNumberLeavesDesignAlone();
    void oldRecordsFixture();
    void missingFileLeavesDesignAlone();
    void writesExactBytes();
    void writesEmptyDesign();
    void writesSize_data();
    void writesSize();
    void badSizeWritesNothing_data();
    void badSizeWritesNothing();
    void cellWithLineBreakStaysOneRecord();
    void characterOutsideCodePageKeepsOldFile();
    void roundTripIsByteExact();
    void textBoxLinesKept();
    void barcodeLineKept_data();
    void barcodeLineKept();
    void changedBarcodeIsRebuilt_data();
    void changedBarcodeIsRebuilt();
    void writesTodaysDate();
    void sizeSurvivesOpenAndSave_data();
    void sizeSurvivesOpenAndSave();
};

void TestEtiDatei::readsRecords_data()
{
    QTest::addColumn<QStringList>("lines");
    QTest::addColumn<QString>("rows");
    QTest::addColumn<bool>("oldBitmap");

    // Text, field and serial elements before any font record: rotation "0",
    // height "-14", not bold, not italic, colour "0", no font name.
    QTest::newRow("text keeps its commas")
        << QStringList{"TE,10,20,Hallo, Welt"} << "T|10|20|0|-14|0|0|0||Hallo, Welt" << false;
    QTest::newRow("empty text") << QStringList{"TE,1,2,"} << "T|1|2|0|-14|0|0|0||" << false;
    QTest::newRow("serial number keeps blank")
        << QStringList{"SE,10,20,1,Nr. ,/96"} << "S|10|20|0|-14|0|0|0||1|Nr. |/96" << false;
    QTest::newRow("date with empty texts")
        << QStringList{"SE,5,5,0,,"} << "S|5|5|0|-14|0|0|0||0||" << false;
    QTest::newRow("field name keeps its commas")
        << QStringList{"EF,1,2,30,Name, Vorname"} << "F|1|2|0|-14|0|0|0||Name, Vorname|30" << false;
    QTest::newRow("line before any pen record")
        << QStringList{"LI,1,2,3,4"} << "L|1|2|3|4||0" << false;
    QTest::newRow("too few commas: rest goes last")
        << QStringList{"LI,5"} << "L||||5||0" << false;
    QTest::newRow("nothing after the key: all empty")
        << QStringList{"LI,"} << "L||||||0" << false;
    QTest::newRow("pen record: colour is the rest")
        << QStringList{"XP,2,12", "RE,1,2,3,4", "RA,5,6,7,8"} << "R|1|2|3|4|2|12;O|5|6|7|8|2|12"
        << false;
    QTest::newRow("SP 3,0 is a thick black pen")
        << QStringList{"XP,2,5", "SP,3,0", "LI,0,0,100,0"} << "L|0|0|100|0|1|0" << false;
    QTest::newRow("SP 1,0 is a thin black pen")
        << QStringList{"XP,2,5", "SP,1,0", "LI,0,0,100,0"} << "L|0|0|100|0|0|0" << false;
    QTest::newRow("SP dashed")
        << QStringList{"XP,0,5", "SP,5,1", "LI,0,0,100,0"} << "L|0|0|100|0|2|0" << false;
    QTest::newRow("SP 2,0 keeps the pen, colour black")
        << QStringList{"XP,2,5", "SP,2,0", "LI,0,0,100,0"} << "L|0|0|100|0|2|0" << false;
    QTest::newRow("XF bold 700 is bold in the editor")
        << QStringList{"XF,11,0,700,0,Arial,0", "TE,1,2,a"} << "T|1|2|0|11|1|0|0|Arial|a" << false;
    QTest::newRow("XF all attributes")
        << QStringList{"XF,12,1,0,90,Times New Roman,4", "EF,1,2,8,Ort"}
        << "F|1|2|90|12|0|1|4|Times New Roman|Ort|8" << false;
    QTest::newRow("SF is black, font name is the rest")
        << QStringList{"XF,11,0,0,0,Arial,5", "SF,11,0,700,0,Courier, New", "TE,1,2,b"}
        << "T|1|2|0|11|1|0|0|Courier, New|b" << false;
    QTest::newRow("pen and font share the colour")
        << QStringList{"XF,11,0,0,0,Arial,5", "LI,1,1,2,2", "XP,0,3", "TE,1,2,c"}
        << "L|1|1|2|2||5;T|1|2|0|11|0|0|3|Arial|c" << false;
    QTest::newRow("XB path keeps commas")
        << QStringList{"XB,1,2,3,4,C:\\A,B.BMP"} << "B|1|2|3|4|C:\\A,B.BMP" << false;
    QTest::newRow("BM becomes a 3 cm square")
        << QStringList{"BM,50,60,C:\\LOGO.BMP"} << "B|50|60|125|135|C:\\LOGO.BMP" << true;
    QTest::newRow("BC without size")
        << QStringList{"BC,1,2,3,4,5,Artikel"} << "C|1|2|3|4|5|Artikel|" << false;
    QTest::newRow("BC with size")
        << QStringList{"BC,10,20,200,120,2,Inventar,80"} << "C|10|20|200|120|2|Inventar|80" << false;
    QTest::newRow("BC size keeps its commas")
        << QStringList{"BC,1,2,3,4,0,Nr,12,x"} << "C|1|2|3|4|0|Nr|12,x" << false;
    QTest::newRow("BC with too few fields") << QStringList{"BC,1,2"} << "C|1|||||2|" << false;
    QTest::newRow("keys are case-sensitive")
        << QStringList{"li,1,2,3,4", "Te,1,2,x", "NAME,x", "TE 1,2,3"} << "" << false;
    QTest::newRow("comments and blank lines")
        << QStringList{"** QUILLMARK", "", "**,TE,1,2,x", "  "} << "" << false;
    QTest::newRow("deleted marker is no record") << QStringList{"#,1,2"} << "" << false;
}

void TestEtiDatei::readsRecords()
{
    QFETCH(QStringList, lines);
    QFETCH(QString, rows);
    QFETCH(bool, oldBitmap);

    Design d;
    d.elements = {element(QStringLiteral("T|1|1|0|10|0|0|0|Arial|vorher"))};
    const EtiLoadResult result = loadEtiLines(lines, d);
    QCOMPARE(rowsOf(d), rows);
    QCOMPARE(result.oldBitmapRecord, oldBitmap);
}

void TestEtiDatei::readsHeader_data()
{
    QTest::addColumn<QStringList>("lines");
    QTest::addColumn<QString>("description");
    QTest::addColumn<QString>("width");
    QTest::addColumn<QString>("height");

    QTest::newRow("no NA, no GR: kept") << QStringList{"TE,1,2,x"} << "alt" << "33" << "44";
    QTest::newRow("description keeps commas")
        << QStringList{"NA,Hallo, Welt"} << "Hallo, Welt" << "33" << "44";
    QTest::newRow("empty description") << QStringList{"NA,"} << "" << "33" << "44";
    // Units are shown as the exact millimetres they stand for.
    QTest::newRow("units to exact mm")
        << QStringList{"GR,82,100,25"} << "alt" << "32,8" << "40";
    QTest::newRow("third field ignored") << QStringList{"GR,175,$10,x"} << "alt" << "70" << "6,4";
    QTest::newRow("negative") << QStringList{"GR,-7,0,25"} << "alt" << "-2,8" << "0";
    QTest::newRow("last record wins")
        << QStringList{"NA,eins", "GR,25,25,25", "NA,zwei", "GR,50,50,25"} << "zwei" << "20" << "20";
}

void TestEtiDatei::readsHeader()
{
    QFETCH(QStringList, lines);
    QFETCH(QString, description);
    QFETCH(QString, width);
    QFETCH(QString, height);

    Design d;
    d.description = QStringLiteral("alt");
    d.widthMm = QStringLiteral("33");
    d.heightMm = QStringLiteral("44");
    d.fileName = QStringLiteral("/x/alt.eti");
    d.mode = QStringLiteral("E");
    loadEtiLines(lines, d);
    QCOMPARE(d.description, description);
    QCOMPARE(d.widthMm, width);
    QCOMPARE(d.heightMm, height);
    QCOMPARE(d.fileName, QStringLiteral("/x/alt.eti"));
    QCOMPARE(d.mode, QStringLiteral("E"));
}

void TestEtiDatei::badNumberLeavesDesignAlone_data()
{
    QTest::addColumn<QStringList>("lines");
    QTest::addColumn<QString>("badText");

    QTest::newRow("GR width") << QStringList{"NA,neu", "LI,1,2,3,4", "GR,8x,100,25"} << "8x";
    QTest::newRow("GR height missing") << QStringList{"GR,82,,25"} << "";
    // Without a third field the height is not followed by a comma: empty.
    QTest::newRow("GR two fields") << QStringList{"GR,82,100"} << "";
    QTest::newRow("BM position") << QStringList{"TE,1,1,a", "BM,a5,1,C:\\X.BMP"} << "a5";
}

void TestEtiDatei::badNumberLeavesDesignAlone()
{
    QFETCH(QStringList, lines);
    QFETCH(QString, badText);

    Design d = sampleDesign();
    const Design before = d;
    try {
        loadEtiLines(lines, d);
        QFAIL("no ConvertError");
    } catch (const ConvertError &e) {
        QCOMPARE(e.message(), QStringLiteral("'%1' ist kein gültiger Integerwert").arg(badText));
    }
    QCOMPARE(d, before);
}

void TestEtiDatei::oldRecordsFixture()
{
    Design d;
    d.elements = {element(QStringLiteral("L|1|1|2|2|0|0"))};
    const EtiLoadResult result = Eladen(FixtureDir + "old_records_sp_sf_bm.eti", d);

    QCOMPARE(d.description, QStringLiteral("Alte Befehle, mit Komma"));
    QCOMPARE(d.widthMm, QStringLiteral("32,8"));
    QCOMPARE(d.heightMm, QStringLiteral("40"));
    const QStringList expected{
        "L|1|2|3|4|2|5",
        "L|0|0|100|0|1|0",
        "R|10|10|20|20|0|0",
        "O|30|30|40|40|2|0",
        "T|10|20|0|11|1|0|0|Arial|Grüße",
        "B|50|60|125|135|C:\\LOGO.BMP",
        "T|5|6|0|11|1|0|3|Arial|fett",
        "B|1|1|76|76|C:\\ZWEI.BMP",
    };
    QCOMPARE(rowsOf(d), expected.join(u';'));
    // Two BM records, one message.
    QVERIFY(result.oldBitmapRecord);
    QCOMPARE(oldBitmapMessage(), QStringLiteral("Datei enthielt alten Befehl für eine Bitmapgrafik ! "
                                                "Größe wird auf 3.0 x 3.0 cm angepasst ..."));
}

void TestEtiDatei::missingFileLeavesDesignAlone()
{
    Design d = sampleDesign();
    const Design before = d;
    QVERIFY_THROWS_EXCEPTION(IoError, Eladen(FixtureDir + "does_not_exist.eti", d));
    QCOMPARE(d, before);
    QVERIFY_THROWS_EXCEPTION(IoError, Eladen(QString(), d));
    QCOMPARE(d, before);
}

void TestEtiDatei::writesExactBytes()
{
    QTemporaryDir dir;
    const QString path = dir.filePath("probe.eti");
    Espeichern(path, sampleDesign(), QStringLiteral("24.12.1999"));

    const QByteArray expected = FileHead + "NA,Gr\xFC" + "\xDF" + "e, Post\r\n"
                                + "GR,175,82,25\r\n"
                                + "XP,0,9\r\n"
                                + "LI, 1,2,3,4\r\n"
                                + "XP,1,1\r\n"
                                + "RE,5,6,7,8\r\n"
                                + "XP,2,0\r\n"
                                + "RA,0,0,174,81\r\n"
                                + "XB,10,10,85,85,C:\\BILDER\\LOGO.BMP\r\n"
                                + "XF,14,0,1,0,Arial,7\r\n"
                                + "TE,10,20,Hallo, Welt\r\n"
                                + "XF,12,1,0,90,Times New Roman,4\r\n"
                                + "EF,30,40,25,Stra\xDF" + "e\r\n"
                                + "XF,10,0,0,0,Arial,0\r\n"
                                + "SE,5,5,1,Nr. ,/96\r\n";
    QCOMPARE(contentOf(path), expected);
}

void TestEtiDatei::writesEmptyDesign()
{
    QTemporaryDir dir;
    const QString path = dir.filePath("leer.eti");
    Design d;
    d.widthMm = QStringLiteral("100");
    d.heightMm = QStringLiteral("50");
    Espeichern(path, d, QStringLiteral("24.12.1999"));
    QCOMPARE(contentOf(path), FileHead + "NA,keine Beschreibung\r\nGR,250,125,25\r\n");
}

void TestEtiDatei::writesSize_data()
{
    QTest::addColumn<QString>("mm");
    QTest::addColumn<QString>("units");
    QTest::addColumn<QString>("mmAgain");
    // Typed millimetres are truncated to units; units read back exactly.
    QTest::newRow("33 mm") << "33" << "82" << "32,8";
    QTest::newRow("70 mm") << "70" << "175" << "70";
    QTest::newRow("63,5 mm") << "63,5" << "158" << "63,2";
    QTest::newRow("empty is 0") << "" << "0" << "0";
    QTest::newRow("blanks and sign") << " -3" << "-7" << "-2,8";
}

void TestEtiDatei::writesSize()
{
    QFETCH(QString, mm);
    QFETCH(QString, units);
    QFETCH(QString, mmAgain);

    // The width is the row's; the height, 41 mm, differs from every width,
    // so that width and height cannot be mixed up unseen.
    QTemporaryDir dir;
    const QString path = dir.filePath("groesse.eti");
    Design d;
    d.widthMm = mm;
    d.heightMm = QStringLiteral("41");
    Espeichern(path, d, QStringLiteral("1.1.2000"));
    QVERIFY(contentOf(path).contains("\r\nGR," + units.toLatin1() + ",102,25\r\n"));

    Design again;
    Eladen(path, again);
    QCOMPARE(again.widthMm, mmAgain);
    QCOMPARE(again.heightMm, QStringLiteral("40,8"));
}

void TestEtiDatei::badSizeWritesNothing_data()
{
    QTest::addColumn<QString>("width");
    QTest::addColumn<QString>("height");
    QTest::addColumn<QString>("badText");
    QTest::newRow("width") << "7x" << "10" << "7x";
    // One decimal is a tenth of a millimetre; two are refused.
    QTest::newRow("height") << "10"
                            << "1.55"
                            << "1.55";
    QTest::newRow("trailing blank") << "10 " << "10" << "10 ";
}

void TestEtiDatei::badSizeWritesNothing()
{
    QFETCH(QString, width);
    QFETCH(QString, height);
    QFETCH(QString, badText);

    QTemporaryDir dir;
    const QString path = dir.filePath("alt.eti");
    QVERIFY(writeBytes(path, "alter Inhalt\r\n"));
    Design d = sampleDesign();
    d.widthMm = width;
    d.heightMm = height;
    try {
        Espeichern(path, d, QStringLiteral("24.12.1999"));
        QFAIL("no ConvertError");
    } catch (const ConvertError &e) {
        QCOMPARE(e.message(), QStringLiteral("'%1' ist kein gültiger Integerwert").arg(badText));
    }
    QCOMPARE(contentOf(path), QByteArray("alter Inhalt\r\n"));
}

void TestEtiDatei::cellWithLineBreakStaysOneRecord()
{
    Design d;
    d.description = QStringLiteral("zwei\r\nZeilen");
    d.elements = {element(QStringLiteral("T|1|2|0|10|0|0|0|Arial|a\nLI,0,0,9,9"))};
    const QStringList lines = etiFileLines(d, QStringLiteral("x"));
    QCOMPARE(lines.size(), 7);
    QCOMPARE(lines[3], QStringLiteral("NA,zwei  Zeilen"));
    QCOMPARE(lines[6], QStringLiteral("TE,1,2,a LI,0,0,9,9"));
}

void TestEtiDatei::characterOutsideCodePageKeepsOldFile()
{
    QTemporaryDir dir;
    const QString path = dir.filePath("alt.eti");
    QVERIFY(writeBytes(path, "alter Inhalt\r\n"));
    Design d = sampleDesign();
    d.elements.push_back(element(QStringLiteral("T|1|2|0|10|0|0|0|Arial|\u2713")));
    QVERIFY_THROWS_EXCEPTION(EncodingError, Espeichern(path, d, QStringLiteral("24.12.1999")));
    QCOMPARE(contentOf(path), QByteArray("alter Inhalt\r\n"));
}

void TestEtiDatei::roundTripIsByteExact()
{
    // The fixture is laid out exactly as the program writes it.
    const QString fixture = FixtureDir + "text_with_commas.eti";
    Design d;
    QVERIFY(!Eladen(fixture, d).oldBitmapRecord);
    QCOMPARE(d.description, QStringLiteral("Adresse, privat"));
    QCOMPARE(d.element(1).cell(Col::Text), QStringLiteral("Hallo, Welt"));
    QCOMPARE(d.element(4).cell(Col::FieldName), QStringLiteral("Straße, Hausnummer"));

    QTemporaryDir dir;
    const QString path = dir.filePath("kopie.eti");
    Espeichern(path, d, QStringLiteral("24.12.1999"));
    QCOMPARE(contentOf(path), contentOf(fixture));

    Design again;
    Eladen(path, again);
    QCOMPARE(again.elements, d.elements);
    QCOMPARE(again.description, d.description);
}

// A design with text boxes opens and saves byte for byte: each XT line stays
// with its text, field or serial number, as it stood (one the print side
// would not read included).
void TestEtiDatei::textBoxLinesKept()
{
    const QByteArray body = QByteArray("NA,Adresse\r\nGR,100,50,25\r\n")
        + "XF,-14,0,0,0,Arial,0\r\nXT,400,120,2,1,6,3\r\nTE,1,1,Hallo, Welt\r\n"
        + "XP,0,0\r\nLI,1,2,3,4\r\n"
        + "XF,12,0,1,90,Arial,4\r\nXT, 50 ,60,1,0,8,0\r\nEF,30,40,30,Firma\r\n"
        + "XF,-14,0,0,0,Arial,0\r\nEF,30,90,30,Ort\r\n"
        + "XF,-14,0,0,0,Arial,0\r\nXT,x\r\nSE,5,5,1,Nr. ,/96\r\n";
    QTemporaryDir dir;
    const QString source = dir.filePath("quelle.eti");
    QVERIFY(writeBytes(source, FileHead + body));
    Design d;
    Eladen(source, d);
    QCOMPARE(d.count(), 5);
    QCOMPARE(d.element(1).textBox, std::optional<QString>("400,120,2,1,6,3"));
    QCOMPARE(d.element(2).textBox, std::nullopt);
    QCOMPARE(d.element(3).textBox, std::optional<QString>(" 50 ,60,1,0,8,0"));
    QCOMPARE(d.element(4).textBox, std::nullopt);
    QCOMPARE(d.element(5).textBox, std::optional<QString>("x"));
    const QString copy = dir.filePath("kopie.eti");
    Espeichern(copy, d, QStringLiteral("24.12.1999"));
    QCOMPARE(contentOf(copy), FileHead + body);
}

void TestEtiDatei::barcodeLineKept_data()
{
    QTest::addColumn<QString>("line");
    QTest::newRow("unknown kind, small box") << "BC,1,2,3,4,5,Artikel";
    QTest::newRow("with size") << "BC,10,20,200,120,2,Inventar,80";
    QTest::newRow("too few fields") << "BC,1,2";
    QTest::newRow("only the key") << "BC,";
    QTest::newRow("blanks and empty name") << "BC, 1,2,3,4,0,";
    QTest::newRow("size with commas") << "BC,1,2,3,4,0,Nr,12,x";
    QTest::newRow("kind not a number") << "BC,10,10,110,70,x,Artikel";
    QTest::newRow("size 0") << "BC,10,10,110,70,0,Artikel,0";
    QTest::newRow("size 501") << "BC,10,10,110,70,2,Artikel,501";
    QTest::newRow("size -5") << "BC,10,10,110,70,2,Artikel,-5";
    QTest::newRow("size abc") << "BC,10,10,110,70,2,Artikel,abc";
}

void TestEtiDatei::barcodeLineKept()
{
    // A design opened and saved again keeps each BC line as it stood.
    QFETCH(QString, line);
    const QByteArray body = QByteArray("NA,Artikel\r\nGR,100,50,25\r\nXF,-14,0,0,0,Arial,0\r\nTE,1,1,vor\r\n")
        + line.toLatin1() + "\r\nXF,-14,0,0,0,Arial,0\r\nTE,1,1,nach\r\n";
    QTemporaryDir dir;
    const QString source = dir.filePath("quelle.eti");
    QVERIFY(writeBytes(source, FileHead + body));
    Design d;
    Eladen(source, d);
    QCOMPARE(d.count(), 3);
    QCOMPARE(d.element(2).kind, ElementKind::Barcode);
    const QString copy = dir.filePath("kopie.eti");
    Espeichern(copy, d, QStringLiteral("24.12.1999"));
    QCOMPARE(contentOf(copy), FileHead + body);
}

void TestEtiDatei::changedBarcodeIsRebuilt_data()
{
    QTest::addColumn<QString>("line");
    QTest::addColumn<int>("column");
    QTest::addColumn<QString>("value");
    QTest::addColumn<QString>("written");
    QTest::newRow("moved") << "BC,1,2,3,4,5,Artikel" << int(Col::X1) << "11"
                           << "BC,11,2,3,4,5,Artikel";
    QTest::newRow("kind changed, no size") << "BC,1,2,3,4,5,Artikel" << int(Col::Symbology) << "2"
                                           << "BC,1,2,3,4,2,Artikel";
    QTest::newRow("size given") << "BC,1,2,3,4,0,Artikel" << int(Col::BarcodeSize) << "13"
                                << "BC,1,2,3,4,0,Artikel,13";
    QTest::newRow("size removed") << "BC,1,2,3,4,0,Artikel,13" << int(Col::BarcodeSize) << ""
                                  << "BC,1,2,3,4,0,Artikel";
    QTest::newRow("short record filled in") << "BC,1,2" << int(Col::Y2) << "9"
                                            << "BC,1,,,9,,2";
}

void TestEtiDatei::changedBarcodeIsRebuilt()
{
    QFETCH(QString, line);
    QFETCH(int, column);
    QFETCH(QString, value);
    QFETCH(QString, written);
    Design d;
    loadEtiLines({ line }, d);
    QCOMPARE(d.count(), 1);
    d.element(1).setCell(column, value);
    const QStringList lines = etiFileLines(d, QStringLiteral("24.12.1999"));
    QCOMPARE(lines.last(), written);
}

void TestEtiDatei::writesTodaysDate()
{
    QTemporaryDir dir;
    const QString path = dir.filePath("heute.eti");
    const QDate before = QDate::currentDate();
    Espeichern(path, Design());
    const QDate after = QDate::currentDate();
    const QStringList lines = splitCp1252Lines(contentOf(path));
    QCOMPARE(lines.size(), 5);
    QVERIFY(lines[2].startsWith(QStringLiteral("** Erstellt am ")));
    QVERIFY(lines[2].endsWith(QStringLiteral(" mit Version 2.04s")));
    QVERIFY(lines[2].size() > QStringLiteral("** Erstellt am  mit Version 2.04s").size());

    // Today's date in the system's short date format (the day the test
    // began, should it run over midnight).
    const QString date = lines[2].mid(15, lines[2].size() - 15 - 18);
    const QDate day = QLocale::system().toString(after, QLocale::ShortFormat) == date ? after : before;
    QCOMPARE(date, QLocale::system().toString(day, QLocale::ShortFormat));
    QVERIFY2(date.contains(QString::number(day.day())), qPrintable(date));
    QVERIFY2(date.contains(QString::number(day.year() % 100)), qPrintable(date));
}

void TestEtiDatei::sizeSurvivesOpenAndSave_data()
{
    QTest::addColumn<QByteArray>("size"); // the GR line
    QTest::addColumn<QString>("width"); // as the editor shows it
    QTest::addColumn<QString>("height");
    QTest::addColumn<QByteArray>("resized"); // the GR line after the height is set to 20 mm

    QTest::newRow("63.2 mm") << QByteArray("GR,158,95,25") << "63,2" << "38" << QByteArray("GR,158,50,25");
    QTest::newRow("odd units") << QByteArray("GR,157,83,25") << "62,8" << "33,2" << QByteArray("GR,157,50,25");
    QTest::newRow("whole millimetres") << QByteArray("GR,175,100,25") << "70" << "40"
                                       << QByteArray("GR,175,50,25");
    QTest::newRow("one unit") << QByteArray("GR,1,1,25") << "0,4" << "0,4" << QByteArray("GR,1,50,25");
    QTest::newRow("no size") << QByteArray("GR,0,0,25") << "0" << "0" << QByteArray("GR,0,50,25");
    QTest::newRow("negative") << QByteArray("GR,-7,-1,25") << "-2,8" << "-0,4" << QByteArray("GR,-7,50,25");
    QTest::newRow("largest") << QByteArray("GR,2147483647,2147483647,25") << "858993458,8" << "858993458,8"
                             << QByteArray("GR,2147483647,50,25");
    QTest::newRow("smallest") << QByteArray("GR,-2147483648,-2147483648,25") << "-858993459,2"
                              << "-858993459,2" << QByteArray("GR,-2147483648,50,25");
    // Written by other programs: kept as they stand while the size is.
    QTest::newRow("hexadecimal, blanks, sign") << QByteArray("GR, $9E,+95,25") << "63,2" << "38"
                                               << QByteArray("GR,158,50,25");
    QTest::newRow("other scale") << QByteArray("GR,158,95,10") << "63,2" << "38" << QByteArray("GR,158,50,25");
    QTest::newRow("more fields") << QByteArray("GR,158,95,25,x") << "63,2" << "38"
                                 << QByteArray("GR,158,50,25");
}

// A design opens and saves byte for byte whatever size its GR line holds,
// and a change of its height leaves its width exactly as it was.
void TestEtiDatei::sizeSurvivesOpenAndSave()
{
    QFETCH(QByteArray, size);
    QFETCH(QString, width);
    QFETCH(QString, height);
    QFETCH(QByteArray, resized);

    const QByteArray elements = "XP,0,0\r\nRE,1,1,50,30\r\nXF,12,0,1,0,Arial,0\r\nEF,5,5,30,Name\r\n";
    const QByteArray file = FileHead + "NA,Etikett\r\n" + size + "\r\n" + elements;
    QTemporaryDir dir;
    const QString path = dir.filePath("groesse.eti");
    QVERIFY(writeBytes(path, file));
    Design d;
    Eladen(path, d);
    QCOMPARE(d.widthMm, width);
    QCOMPARE(d.heightMm, height);
    const QString copy = dir.filePath("kopie.eti");
    Espeichern(copy, d, QStringLiteral("24.12.1999"));
    QCOMPARE(contentOf(copy), file);

    d.heightMm = QStringLiteral("20");
    Espeichern(copy, d, QStringLiteral("24.12.1999"));
    QCOMPARE(contentOf(copy), FileHead + "NA,Etikett\r\n" + resized + "\r\n" + elements);
    // Back to the size read: the line as it stood.
    d.heightMm = height;
    Espeichern(copy, d, QStringLiteral("24.12.1999"));
    QCOMPARE(contentOf(copy), file);
}

QTEST_GUILESS_MAIN(TestEtiDatei)
#include "TestEtiDatei.moc"
