#include "designs/etifile.h"
#include "testpaths.h"
#include "designs/printdesign.h"
#include "designs/rendering.h"
#include "platform/errors.h"

#include <QTemporaryDir>
#include <QTest>

using namespace qm;

namespace {

const QString FixtureDir = test::fixturesDir() + QStringLiteral("/designs/");

// The three grids and two texts the loader fills, owned by the test.
struct Grids
{
    StringTable labelList;
    StringTable entryGrid;
    StringTable fieldGrid;
    QString caption;
    QString status;

    FieldGrids refs() { return {&labelList, &entryGrid, &fieldGrid, &caption, &status}; }
};

QString recordText(const PrintRecord &r)
{
    return QStringLiteral("%1|%2|%3|%4|%5|%6|%7|%8")
        .arg(r.key)
        .arg(r.a)
        .arg(r.b)
        .arg(r.c)
        .arg(r.d)
        .arg(r.e)
        .arg(r.text, r.text2);
}

// A saved design with n text elements.
QString savedDesignWithTexts(const QTemporaryDir &dir, int n, int bitmaps = 0)
{
    Design d;
    d.widthMm = QStringLiteral("100");
    d.heightMm = QStringLiteral("50");
    // A bitmap takes one record of its own.
    for (int i = 0; i < bitmaps; ++i) {
        Element e;
        e.kind = ElementKind::Bitmap;
        e.cells = {QString(), "10", "10", "60", "40", "bild.bmp"};
        d.elements.push_back(e);
    }
    for (int i = 0; i < n; ++i) {
        Element e;
        e.kind = ElementKind::Text;
        e.cells = {QString(), "1", QString::number(i), "0", "10", "0", "0", "0", "Arial",
                   "Zeile " + QString::number(i)};
        d.elements.push_back(e);
    }
    const QString path = dir.filePath(QStringLiteral("texte%1_%2.eti").arg(n).arg(bitmaps));
    Espeichern(path, d, QStringLiteral("24.12.1999"));
    return path;
}

// Everything the loader may change, for "nothing changed" checks.
QString snapshot(const PrintDesign &d, Grids &g)
{
    QStringList parts;
    for (const PrintRecord &r : d.records)
        parts << recordText(r);
    parts << QString::number(d.fieldCount) << QString::number(d.hasFields) << d.name
          << QString::number(d.labelWidth) << QString::number(d.labelHeight)
          << QString::number(d.printScale) << g.caption << g.status;
    for (StringTable *t : {&g.labelList, &g.entryGrid, &g.fieldGrid}) {
        parts << QStringLiteral("%1x%2").arg(t->colCount()).arg(t->rowCount());
        for (int row = 0; row < t->rowCount(); ++row)
            parts << t->row(row).join(u'|');
    }
    return parts.join(u'\n');
}

} // namespace

class TestPrintDesign : public QObject
{
    Q_OBJECT

private slots:
    void nextField_data();
    void nextField();
    void record_data();
    void record();
    void notRecords_data();
    void notRecords();
    void designValues();
    void fieldsNameSerialOrt();
    void columnCountsNeverLowered();
    void barcodeField();
    void barcodeFieldSize_data();
    void barcodeFieldSize();
    void barcodeNotPrinted_data();
    void barcodeNotPrinted();
    void dateOnlyHasNoFields();
    void textBoxLine_data();
    void textBoxLine();
    void editorFileOnPaper();
    void emptyFiles_data();
    void emptyFiles();
    void unopenable_data();
    void unopenable();
    void recordLimit_data();
    void recordLimit();
    void longTextsKeptWhole();
};

void TestPrintDesign::nextField_data()
{
    QTest::addColumn<QString>("line");
    QTest::addColumn<QString>("fieldBefore");
    QTest::addColumn<QString>("field");
    QTest::addColumn<QString>("lineAfter");
    QTest::newRow("up to the first comma") << "a,b,c" << "x" << "a" << "b,c";
    QTest::newRow("empty field") << ",b" << "x" << "" << "b";
    QTest::newRow("last comma") << "a," << "x" << "a" << "";
    QTest::newRow("no comma: empty, line kept") << "abc" << "x" << "" << "abc";
    QTest::newRow("empty line: field untouched") << "" << "x" << "x" << "";
}

void TestPrintDesign::nextField()
{
    QFETCH(QString, line);
    QFETCH(QString, fieldBefore);
    QFETCH(QString, field);
    QFETCH(QString, lineAfter);
    QString f = fieldBefore;
    NaechstesFeld(line, f);
    QCOMPARE(f, field);
    QCOMPARE(line, lineAfter);
}

void TestPrintDesign::record_data()
{
    QTest::addColumn<QString>("line");
    QTest::addColumn<QString>("record"); // key|a|b|c|d|e|text|text2

    QTest::newRow("TE keeps commas") << "TE,10,20,Hallo, Welt" << "TE|10|20|0|0|0|Hallo, Welt|";
    QTest::newRow("TE empty fields inside") << "TE,1,2,a,,b," << "TE|1|2|0|0|0|a,,b,|";
    QTest::newRow("TE empty text") << "TE,1,2," << "TE|1|2|0|0|0||";
    QTest::newRow("TE without y") << "TE,10" << "TE|10|0|0|0|0||";
    QTest::newRow("BM keeps commas") << "BM,50,60,C:\\A,B.BMP" << "BM|50|60|0|0|0|C:\\A,B.BMP|";
    QTest::newRow("XB path up to comma") << "XB,1,2,3,4,C:\\A,B.BMP" << "XB|1|2|3|4|0|C:\\A|";
    QTest::newRow("NA up to comma") << "NA,Mein, Etikett" << "NA|0|0|0|0|0|Mein|";
    QTest::newRow("NAME counts as NA") << "NAME,Hallo" << "NA|0|0|0|0|0|Hallo|";
    QTest::newRow("GR lenient") << "GR, 82,100mm,$19" << "GR|82|100|25|0|0||";
    QTest::newRow("XP") << "XP,1,12" << "XP|1|12|0|0|0||";
    QTest::newRow("SP") << "SP,3,0" << "SP|3|0|0|0|0||";
    QTest::newRow("LI lenient") << "LI,-5,x,7abc,+4" << "LI|-5|0|7|4|0||";
    QTest::newRow("RA") << "RA,1,2,3,4" << "RA|1|2|3|4|0||";
    QTest::newRow("EL") << "EL,1,2,3,4"
                        << "EL|1|2|3|4|0||";
    QTest::newRow("SF weight") << "SF,11,0,700,0,Arial" << "SF|11|0|700|0|0|Arial|";
    QTest::newRow("XF") << "XF,11,0,700,90,Arial,3" << "XF|11|0|700|90|3|Arial|";
    QTest::newRow("EF") << "EF,10,10,30,Name" << "EF|10|10|30|0|0|Name|";
    QTest::newRow("EF name cut at comma") << "EF,1,2,25,Straße, Nr" << "EF|1|2|25|0|0|Straße|";
    QTest::newRow("SE serial") << "SE,10,30,1,Nr. ,/96" << "SE|10|30|1|0|0|Nr. |/96";
    QTest::newRow("SE any mode but 0") << "SE,1,1,-1,v,n" << "SE|1|1|-1|0|0|v|n";
    QTest::newRow("SE date keeps no texts") << "SE,5,5,0,vor,nach" << "SE|5|5|0|0|0||";
    QTest::newRow("SE mode not a number") << "SE,5,5,x,vor,nach" << "SE|5|5|0|0|0||";
    QTest::newRow("BC") << "BC,1,2,3,4,5,Artikel" << "BC|1|2|3|4|5|Artikel|";
    QTest::newRow("unknown key") << "ZZ,1,2,3" << "ZZ|0|0|0|0|0||";
    QTest::newRow("one-letter key") << "A" << "A|0|0|0|0|0||";
    QTest::newRow("lower case is another key") << "te,1,2,x" << "te|0|0|0|0|0||";
}

void TestPrintDesign::record()
{
    QFETCH(QString, line);
    QFETCH(QString, record);
    PrintDesign d;
    readPrintDesignLines({line}, QString(), d, {});
    QCOMPARE(d.recordCount(), 1);
    QCOMPARE(recordText(d.records.front()), record);
}

void TestPrintDesign::notRecords_data()
{
    QTest::addColumn<QString>("line");
    QTest::newRow("empty line") << "";
    QTest::newRow("comment") << "** QUILLMARK";
    QTest::newRow("comment with commas") << "**TE,1,2,x";
    QTest::newRow("empty first field") << ",TE,1,2";
}

void TestPrintDesign::notRecords()
{
    QFETCH(QString, line);
    PrintDesign d;
    readPrintDesignLines({line}, QString(), d, {});
    QCOMPARE(d.recordCount(), 0);
}

void TestPrintDesign::designValues()
{
    PrintDesign d;
    Grids g;
    readPrintDesignLines({"NA,Karte, gross", "GR,175,82,20", "XX"}, QString(), d, g.refs());
    QCOMPARE(d.name, QStringLiteral("Karte"));
    QCOMPARE(d.labelWidth, 175);
    QCOMPARE(d.labelHeight, 82);
    QCOMPARE(d.printScale, 20);
    QCOMPARE(d.recordCount(), 3);
    QCOMPARE(g.caption, QStringLiteral("Felder der aktuellen Etikettendatei [\"Karte\"]"));
    QCOMPARE(g.status, QStringLiteral("Karte"));

    // The next design describes only itself.
    readPrintDesignLines({"TE,1,1,x"}, QString(), d, g.refs());
    QCOMPARE(d.name, QString());
    QCOMPARE(d.labelWidth, 0);
    QCOMPARE(d.printScale, 25);
    QCOMPARE(g.status, QString());
}

void TestPrintDesign::fieldsNameSerialOrt()
{
    PrintDesign d;
    Grids g;
    QVERIFY(EtikettdateiLesen(FixtureDir + "fields_name_serial_ort.eti", d, g.refs()));

    QCOMPARE(d.recordCount(), 10);
    QCOMPARE(d.fieldCount, 3);
    QVERIFY(d.hasFields);
    QCOMPARE(d.name, QStringLiteral("Versand"));
    QCOMPARE(d.labelWidth, 175);
    QCOMPARE(d.labelHeight, 100);
    QCOMPARE(d.printScale, 25);

    QCOMPARE(g.labelList.row(0, 1), (QStringList{"Name", "Seriennr.[Nr. ]", "Ort"}));
    QCOMPARE(g.labelList.colCount(), 4);
    QCOMPARE(g.entryGrid.cell(0, 0), QStringLiteral("3"));
    QCOMPARE(g.entryGrid.row(0, 1), (QStringList{"Name", "Seriennr.[Nr. ]", "Ort"}));
    QCOMPARE(g.entryGrid.row(1, 1), (QStringList{"30", "6", "20"}));
    QCOMPARE(g.entryGrid.colCount(), 4);

    QCOMPARE(g.fieldGrid.colCount(), 4);
    QCOMPARE(g.fieldGrid.row(0), (QStringList{"", "Feld 1", "", "Feld 3"}));
    QCOMPARE(g.fieldGrid.row(1), (QStringList{"Feldname", "Name", "", "Ort"}));
    QCOMPARE(g.fieldGrid.row(2), (QStringList{"Feldgröße", "30 Zeichen", "", "20 Zeichen"}));

    QCOMPARE(g.caption, QStringLiteral("Felder der aktuellen Etikettendatei [\"Versand\"]"));
    QCOMPARE(g.status, QStringLiteral("Versand"));

    const std::vector<DataField> fields{{1, "Name", "30", true},
                                        {2, "Seriennr.[Nr. ]", "6", false},
                                        {3, "Ort", "20", true}};
    QCOMPARE(d.fields, fields);
}

void TestPrintDesign::columnCountsNeverLowered()
{
    PrintDesign d;
    Grids g;
    g.labelList.setColCount(9);
    g.entryGrid.setColCount(9);
    g.fieldGrid.setColCount(9);
    g.fieldGrid.setCell(5, 1, QStringLiteral("bleibt"));
    QVERIFY(EtikettdateiLesen(FixtureDir + "fields_name_serial_ort.eti", d, g.refs()));
    QCOMPARE(g.labelList.colCount(), 9);
    QCOMPARE(g.entryGrid.colCount(), 9);
    QCOMPARE(g.fieldGrid.colCount(), 9);
    QCOMPARE(g.fieldGrid.cell(5, 1), QStringLiteral("bleibt"));
}

void TestPrintDesign::barcodeField()
{
    PrintDesign d;
    Grids g;
    QVERIFY(EtikettdateiLesen(FixtureDir + "barcode_field.eti", d, g.refs()));
    QCOMPARE(d.fieldCount, 2);
    QCOMPARE(g.entryGrid.row(0, 1), (QStringList{"Artikel", "Preis"}));
    QCOMPARE(g.entryGrid.row(1, 1), (QStringList{"12", "8"}));
    QCOMPARE(g.labelList.row(0, 1), (QStringList{"Artikel", "Preis"}));
    QCOMPARE(g.fieldGrid.row(1, 1), (QStringList{"Artikel", "Preis"}));
    QCOMPARE(g.fieldGrid.row(2, 1), (QStringList{"12 Zeichen", "8 Zeichen"}));
    QCOMPARE(recordText(d.records[2]), QStringLiteral("BC|1|2|3|4|5|Artikel|"));
}

void TestPrintDesign::barcodeFieldSize_data()
{
    QTest::addColumn<QString>("line");
    QTest::addColumn<QString>("size");
    QTest::newRow("no size, EAN-13: 13 with the check digit") << "BC,1,2,3,4,0,Artikel" << "13";
    QTest::newRow("no size: 12") << "BC,1,2,100,60,1,Artikel" << "12";
    // A kind with a check digit takes its digits with it whatever the size.
    QTest::newRow("EAN-13 of 12: 13") << "BC,1,2,100,60,0,EAN,12" << "13";
    QTest::newRow("EAN-13 of 5: 13") << "BC,1,2,100,60,0,EAN,5" << "13";
    QTest::newRow("EAN-13 of 20: 20") << "BC,1,2,100,60,0,EAN,20" << "20";
    QTest::newRow("EAN-8 of 7: 8") << "BC,1,2,100,60,5,EAN,7" << "8";
    QTest::newRow("UPC-A of 11: 12") << "BC,1,2,100,60,6,UPC,11" << "12";
    QTest::newRow("ITF-14 of 13: 14") << "BC,1,2,100,60,7,ITF,13" << "14";
    QTest::newRow("Code 128 of 5: 5") << "BC,1,2,100,60,1,Code,5" << "5";
    QTest::newRow("size given") << "BC,1,2,100,60,2,Inventar,80" << "80";
    QTest::newRow("largest size") << "BC,1,2,100,60,2,Inventar,500" << "500";
    QTest::newRow("too large: 12") << "BC,1,2,100,60,2,Inventar,501" << "12";
    QTest::newRow("zero: 12") << "BC,1,2,100,60,2,Inventar,0" << "12";
    QTest::newRow("not a number: 12") << "BC,1,2,100,60,2,Inventar,viel" << "12";
}

void TestPrintDesign::barcodeFieldSize()
{
    QFETCH(QString, line);
    QFETCH(QString, size);
    PrintDesign d;
    readPrintDesignLines({line}, QString(), d, {});
    QCOMPARE(d.fields.size(), size_t(1));
    QCOMPARE(d.fields.front().size, size);
}

void TestPrintDesign::barcodeNotPrinted_data()
{
    QTest::addColumn<QString>("line");
    QTest::addColumn<int>("kind");
    QTest::addColumn<QString>("why");
    QTest::newRow("printed") << "BC,10,10,110,70,0,Artikel,13" << 0 << "";
    QTest::newRow("printed, blanks around") << "BC,10,10,110,70, 2 ,Artikel, 80" << 2 << "";
    QTest::newRow("kind x") << "BC,10,10,110,70,x,Artikel" << -1 << "die Barcodeart „x“ ist keine Zahl";
    QTest::newRow("kind 2x") << "BC,10,10,110,70,2x,Artikel" << -1 << "die Barcodeart „2x“ ist keine Zahl";
    QTest::newRow("no kind") << "BC,10,10,110,70,,Artikel" << -1 << "die Barcodeart fehlt";
    QTest::newRow("unknown kind") << "BC,10,10,110,70,9,Artikel" << 9 << "die Barcodeart 9 gibt es nicht (0 bis 7)";
    QTest::newRow("size 0") << "BC,10,10,110,70,2,Artikel,0" << -1
                            << "die Feldgröße „0“ ist keine Zahl von 1 bis 500";
    QTest::newRow("size 501") << "BC,10,10,110,70,2,Artikel,501" << -1
                              << "die Feldgröße „501“ ist keine Zahl von 1 bis 500";
    QTest::newRow("size -5") << "BC,10,10,110,70,2,Artikel,-5" << -1
                             << "die Feldgröße „-5“ ist keine Zahl von 1 bis 500";
    QTest::newRow("size abc") << "BC,10,10,110,70,2,Artikel,abc" << -1
                              << "die Feldgröße „abc“ ist keine Zahl von 1 bis 500";
    QTest::newRow("box too narrow") << "BC,10,10,19,70,0,Artikel" << 0 << "sein Rahmen ist kleiner als 4 x 4 mm";
    QTest::newRow("box too low, corners swapped") << "BC,110,70,10,61,0,Artikel" << 0
                                                  << "sein Rahmen ist kleiner als 4 x 4 mm";
}

// A BC line whose kind or size the program cannot read is kept as a line
// written elsewhere: it takes its column and draws nothing. Every barcode
// that is not printed is named once, with its line and field.
void TestPrintDesign::barcodeNotPrinted()
{
    QFETCH(QString, line);
    QFETCH(int, kind);
    QFETCH(QString, why);
    PrintDesign d;
    Grids g;
    const QStringList lines{"** Artikel", "NA,Artikel", "GR,175,100,25", line, "XF,12,0,0,0,Arial,0",
                            "EF,120,10,8,Preis"};
    readPrintDesignLines(lines, QStringLiteral("/etiketten/artikel.eti"), d, g.refs());
    QCOMPARE(d.records[2].key, QStringLiteral("BC"));
    QCOMPARE(d.records[2].e, kind);
    QCOMPARE(drawsBarcode(d.records[2]), why.isEmpty());
    // The columns stay as they are: the price is the second field.
    QCOMPARE(g.entryGrid.row(0, 1), (QStringList{"Artikel", "Preis"}));
    QCOMPARE(d.notices,
             why.isEmpty() ? QStringList()
                           : QStringList{"Etikettendatei /etiketten/artikel.eti, Zeile 4, Feld Artikel: "
                                         "Der Barcode wird nicht gedruckt, " + why + "."});
    // A file read afterwards starts without them.
    readPrintDesignLines({"NA,leer"}, QString(), d, {});
    QVERIFY(d.notices.isEmpty());
}

void TestPrintDesign::textBoxLine_data()
{
    QTest::addColumn<QString>("line");
    QTest::addColumn<QList<int>>("values"); // width, height, fit, align, smallest, lines; empty: not read
    QTest::addColumn<QString>("why");
    QTest::newRow("read") << "XT,400,120,2,1,6,3" << QList<int> { 400, 120, 2, 1, 6, 3 } << "";
    QTest::newRow("blanks around") << "XT, 1 ,5000,0,2,200,0" << QList<int> { 1, 5000, 0, 2, 200, 0 } << "";
    QTest::newRow("width 0") << "XT,0,120,2,1,6,3" << QList<int>()
                             << "die Breite muss eine ganze Zahl von 1 bis 5000 sein";
    QTest::newRow("height 5001") << "XT,400,5001,2,1,6,3" << QList<int>()
                                 << "die Höhe muss eine ganze Zahl von 1 bis 5000 sein";
    QTest::newRow("fit 3") << "XT,400,120,3,1,6,3" << QList<int>()
                           << "die Einpassung muss eine ganze Zahl von 0 bis 2 sein";
    QTest::newRow("align x") << "XT,400,120,2,x,6,3" << QList<int>()
                             << "die Ausrichtung muss eine ganze Zahl von 0 bis 2 sein";
    QTest::newRow("smallest 0") << "XT,400,120,2,1,0,3" << QList<int>()
                                << "die kleinste Schriftgröße muss eine ganze Zahl von 1 bis 200 sein";
    QTest::newRow("lines 101") << "XT,400,120,2,1,6,101" << QList<int>()
                               << "die Zeilenzahl muss eine ganze Zahl von 0 bis 100 sein";
    QTest::newRow("lines missing") << "XT,400,120,2,1,6" << QList<int>()
                                   << "die Zeilenzahl muss eine ganze Zahl von 0 bis 100 sein";
    QTest::newRow("width 12abc") << "XT,12abc,120,2,1,6,3" << QList<int>()
                                 << "die Breite muss eine ganze Zahl von 1 bis 5000 sein";
}

// An XT line is read with its numbers checked; one that cannot be read gives
// no box and is named once with its line. It takes no data column.
void TestPrintDesign::textBoxLine()
{
    QFETCH(QString, line);
    QFETCH(QList<int>, values);
    QFETCH(QString, why);
    PrintDesign d;
    Grids g;
    const QStringList lines { "NA,Adresse", "GR,175,100,25", "XF,12,0,0,0,Arial,0", line, "EF,10,10,30,Name",
        "EF,10,40,30,Ort" };
    readPrintDesignLines(lines, QStringLiteral("/etiketten/adresse.eti"), d, g.refs());
    QCOMPARE(d.records[3].key, QStringLiteral("XT"));
    const std::optional<TextBox> box = textBoxOf(d.records[3]);
    QCOMPARE(box.has_value(), !values.isEmpty());
    if (box) {
        QCOMPARE((QList<int> { box->width, box->height, static_cast<int>(box->fit), static_cast<int>(box->align),
                     box->minSize, box->maxLines }),
            values);
    }
    QCOMPARE(g.entryGrid.row(0, 1), (QStringList { "Name", "Ort" }));
    QCOMPARE(d.notices,
        why.isEmpty() ? QStringList()
                      : QStringList { "Etikettendatei /etiketten/adresse.eti, Zeile 4: Der Textrahmen wird nicht "
                                      "beachtet, "
                          + why + "." });
}

void TestPrintDesign::dateOnlyHasNoFields()
{
    PrintDesign d;
    Grids g;
    // A design with fields first: the next one must clear the values.
    QVERIFY(EtikettdateiLesen(FixtureDir + "fields_name_serial_ort.eti", d, g.refs()));
    const int columns = g.entryGrid.colCount();
    QVERIFY(EtikettdateiLesen(FixtureDir + "date_only.eti", d, g.refs()));
    QVERIFY(!d.hasFields);
    QCOMPARE(d.fieldCount, 0);
    QVERIFY(d.fields.empty());
    QCOMPARE(d.recordCount(), 4);
    QCOMPARE(g.entryGrid.cell(0, 0), QStringLiteral("0"));
    QCOMPARE(g.entryGrid.colCount(), columns);
    QCOMPARE(g.status, QStringLiteral("Nur Datum"));
}

void TestPrintDesign::editorFileOnPaper()
{
    // The file the editor writes, read by the print side.
    PrintDesign d;
    Grids g;
    QVERIFY(EtikettdateiLesen(FixtureDir + "text_with_commas.eti", d, g.refs()));
    QCOMPARE(d.name, QStringLiteral("Adresse"));
    QCOMPARE(d.recordCount(), 13);
    QCOMPARE(recordText(d.records[3]), QStringLiteral("TE|10|20|0|0|0|Hallo, Welt|"));
    QCOMPARE(recordText(d.records[5]), QStringLiteral("SE|10|20|1|0|0|Nr. |/96"));
    QCOMPARE(recordText(d.records[7]), QStringLiteral("SE|5|5|0|0|0||"));
    QCOMPARE(recordText(d.records[9]), QStringLiteral("EF|30|40|25|0|0|Straße|"));
    QCOMPARE(g.entryGrid.row(0, 1), (QStringList{"Seriennr.[Nr. ]", "Straße"}));
    QCOMPARE(g.caption, QStringLiteral("Felder der aktuellen Etikettendatei [\"Adresse\"]"));
}

void TestPrintDesign::emptyFiles_data()
{
    QTest::addColumn<QString>("file");
    QTest::newRow("only comments") << "all_comments.eti";
    QTest::newRow("empty file") << "empty_file.eti";
}

void TestPrintDesign::emptyFiles()
{
    QFETCH(QString, file);
    PrintDesign d;
    Grids g;
    QVERIFY(EtikettdateiLesen(FixtureDir + "barcode_field.eti", d, g.refs()));
    QVERIFY(EtikettdateiLesen(FixtureDir + file, d, g.refs()));
    QCOMPARE(d.recordCount(), 0);
    QCOMPARE(d.fieldCount, 0);
    QVERIFY(!d.hasFields);
    QCOMPARE(g.entryGrid.cell(0, 0), QStringLiteral("0"));
}

void TestPrintDesign::unopenable_data()
{
    QTest::addColumn<QString>("path");
    QTest::newRow("empty path") << QString();
    QTest::newRow("missing file") << FixtureDir + "does_not_exist.eti";
    QTest::newRow("directory") << FixtureDir;
}

void TestPrintDesign::unopenable()
{
    QFETCH(QString, path);
    PrintDesign d;
    Grids g;
    QVERIFY(EtikettdateiLesen(FixtureDir + "fields_name_serial_ort.eti", d, g.refs()));
    const QString before = snapshot(d, g);
    QVERIFY(!EtikettdateiLesen(path, d, g.refs()));
    QCOMPARE(snapshot(d, g), before);
}

void TestPrintDesign::recordLimit_data()
{
    QTest::addColumn<int>("texts");
    QTest::addColumn<int>("bitmaps");
    QTest::addColumn<int>("records"); // -1: refused
    // Description, size, then a font and a text record per text, one
    // record per bitmap.
    QTest::newRow("99 texts fill the list") << 99 << 0 << 200;
    QTest::newRow("98 texts and a bitmap") << 98 << 1 << 199;
    QTest::newRow("99 texts and a bitmap (201) are refused") << 99 << 1 << -1;
    QTest::newRow("100 texts are refused") << 100 << 0 << -1;
}

void TestPrintDesign::recordLimit()
{
    QFETCH(int, texts);
    QFETCH(int, bitmaps);
    QFETCH(int, records);

    QTemporaryDir dir;
    const QString path = savedDesignWithTexts(dir, texts, bitmaps);
    PrintDesign d;
    Grids g;
    QVERIFY(EtikettdateiLesen(FixtureDir + "fields_name_serial_ort.eti", d, g.refs()));
    const QString before = snapshot(d, g);

    if (records >= 0) {
        QVERIFY(EtikettdateiLesen(path, d, g.refs()));
        QCOMPARE(d.recordCount(), records);
        QCOMPARE(recordText(d.records.back()),
                 QStringLiteral("TE|1|%1|0|0|0|Zeile %1|").arg(texts - 1));
        return;
    }
    try {
        EtikettdateiLesen(path, d, g.refs());
        QFAIL("design accepted");
    } catch (const Error &e) {
        QCOMPARE(e.message(),
                 QStringLiteral("Die Etikettendatei %1 enthält mehr als 200 Einträge und kann "
                                "nicht gedruckt werden. Bitte verringern Sie die Zahl der "
                                "Elemente.")
                     .arg(path));
    }
    QCOMPARE(snapshot(d, g), before);
}

void TestPrintDesign::longTextsKeptWhole()
{
    const QString longText = QString(70, u'x') + QStringLiteral(", und mehr");
    const QString longName = QString(80, u'N');
    PrintDesign d;
    Grids g;
    readPrintDesignLines({"NA," + longName, "TE,1,2," + longText, "EF,1,2,5," + longName},
                         QString(), d, g.refs());
    QCOMPARE(d.name, longName);
    QCOMPARE(d.records[1].text, longText);
    QCOMPARE(g.entryGrid.cell(1, 0), longName);
    QCOMPARE(g.status, longName);
}

QTEST_GUILESS_MAIN(TestPrintDesign)
#include "TestPrintDesign.moc"
