#include "formats/formatimport.h"
#include "testpaths.h"
#include "formats/labeltemplates.h"
#include "platform/errors.h"

#include <QTest>

#include <cmath>

using namespace qm;

namespace {

QString data(const QString &name)
{
    return test::fixturesDir() + QStringLiteral("/formats/") + name;
}

QList<LabelTemplate> sample()
{
    QList<LabelTemplate> templates = readLabelTemplates(data(QStringLiteral("templates_sample.xml")));
    resolveEquivalents(templates);
    return templates;
}

const ConvertedFormat *findFormat(const TemplateConversion &c, const QString &fileName)
{
    for (const ConvertedFormat &f : c.formats)
        if (f.fileName == fileName)
            return &f;
    return nullptr;
}

QString skipReason(const TemplateConversion &c, const QString &name)
{
    for (const SkippedTemplate &s : c.skipped)
        if (s.name == name)
            return s.reason;
    return QStringLiteral("<taken>");
}

} // namespace

class TestLabelTemplates : public QObject
{
    Q_OBJECT

private slots:
    void lengths_data();
    void lengths();
    void pointsBecomeTenthsWithoutAddingUp();
    void equivalentsRepeatTheirTemplate();
    void roundedPitchNeverOverlaps();
    void layoutsAreFormatsOfTheirOwn();
    void otherSheetSizeWithBrand();
    void sheetEdge_data();
    void sheetEdge();
    void skipped_data();
    void skipped();
    void roundAndUsSheets_data();
    void roundAndUsSheets();
    void notATemplateFile_data();
    void notATemplateFile();
    void folderIsRefusedByName();
    void numbersThatAreNoLengths_data();
    void numbersThatAreNoLengths();
    void stockAreas();
};

void TestLabelTemplates::lengths_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<double>("mm");
    QTest::newRow("mm") << "63.5mm" << 63.5;
    QTest::newRow("cm") << "2.54cm" << 25.4;
    QTest::newRow("inch") << "1in" << 25.4;
    QTest::newRow("points") << "72pt" << 25.4;
    QTest::newRow("no unit is points") << "180" << 63.5;
    QTest::newRow("pica") << "6pc" << 25.4;
    QTest::newRow("blanks") << " 10 mm " << 10.0;
    QTest::newRow("not a length") << "ten" << -1.0;
    QTest::newRow("empty") << "" << -1.0;
}

void TestLabelTemplates::lengths()
{
    QFETCH(QString, text);
    QFETCH(double, mm);
    const std::optional<double> value = templateLengthMm(text);
    if (mm < 0) {
        QVERIFY(!value);
        return;
    }
    QVERIFY(value);
    QVERIFY2(std::abs(*value - mm) < 1e-9, qPrintable(QString::number(*value)));
}

void TestLabelTemplates::pointsBecomeTenthsWithoutAddingUp()
{
    const TemplateConversion c = convertTemplates(sample(), false);
    const ConvertedFormat *f = findFormat(c, QStringLiteral("avery_l7160.vrl"));
    QVERIFY(f);
    QCOMPARE(f->description, QStringLiteral("L7160 63,5 x 38,1 mm (3 x 7)"));
    QCOMPARE(f->format.description, QStringLiteral("L7160 63.5 x 38.1 mm (3 x 7)"));
    QCOMPARE(f->format.positionCount(), 21);
    // x0 = 21.2 pt = 7.48 mm, pitch 187.2 pt = 66.04 mm: each position rounded
    // from the exact grid (a rounded pitch of 660 would give 1395 for the third).
    QCOMPARE(f->format.positions[0], (LabelPosition { 75, 155, 635, 381 }));
    QCOMPARE(f->format.positions[1], (LabelPosition { 735, 155, 635, 381 }));
    QCOMPARE(f->format.positions[2], (LabelPosition { 1396, 155, 635, 381 }));
    QCOMPARE(f->format.positions[3], (LabelPosition { 75, 536, 635, 381 }));
    QCOMPARE(f->format.positions[20], (LabelPosition { 1396, 2441, 635, 381 }));
    QCOMPARE(f->format.extentWidth, 1396 + 635);
    QCOMPARE(f->format.extentHeight, 2441 + 381);
    QCOMPARE(f->format.lastLabelWidth, 635);
    QCOMPARE(f->format.lastLabelHeight, 381);
}

void TestLabelTemplates::equivalentsRepeatTheirTemplate()
{
    const TemplateConversion c = convertTemplates(sample(), false);
    const ConvertedFormat *original = findFormat(c, QStringLiteral("avery_l7160.vrl"));
    const ConvertedFormat *equivalent = findFormat(c, QStringLiteral("avery_j8160.vrl"));
    QVERIFY(original && equivalent);
    QCOMPARE(equivalent->description, QStringLiteral("J8160 63,5 x 38,1 mm (3 x 7)"));
    QCOMPARE(equivalent->format.positions, original->format.positions);
    QCOMPARE(skipReason(c, QStringLiteral("Avery J9999")),
        QStringLiteral("die gleichwertige Vorlage L0000 fehlt"));
}

void TestLabelTemplates::roundedPitchNeverOverlaps()
{
    // 10.2 mm labels 10.14 mm apart: rounded starts lie 101 or 102 apart.
    const TemplateConversion c = convertTemplates(sample(), false);
    const ConvertedFormat *f = findFormat(c, QStringLiteral("zweckform_3474.vrl"));
    QVERIFY(f);
    QCOMPARE(f->format.positionCount(), 7 * 27);
    QCOMPARE(f->format.positions[0], (LabelPosition { 50, 130, 254, 101 }));
    for (const LabelPosition &a : f->format.positions)
        for (const LabelPosition &b : f->format.positions)
            if (&a != &b)
                QVERIFY(a.x + a.width <= b.x || b.x + b.width <= a.x || a.y + a.height <= b.y
                    || b.y + b.height <= a.y);
    QCOMPARE(f->description, QStringLiteral("3474 25,4 x 10,1 mm (7 x 27)"));
}

void TestLabelTemplates::layoutsAreFormatsOfTheirOwn()
{
    const TemplateConversion c = convertTemplates(sample(), false);
    const ConvertedFormat *first = findFormat(c, QStringLiteral("zweckform_3490.vrl"));
    const ConvertedFormat *second = findFormat(c, QStringLiteral("zweckform_3490_2.vrl"));
    QVERIFY(first && second);
    QCOMPARE(first->description, QStringLiteral("3490 70 x 37 mm (3 x 2)"));
    QCOMPARE(first->format.positionCount(), 6);
    QCOMPARE(second->description, QStringLiteral("3490 70 x 37 mm (1 x 1)"));
    QCOMPARE(second->format.positions, (std::vector<LabelPosition> { { 700, 2000, 700, 370 } }));
    QCOMPARE(second->layout, 2);
    QCOMPARE(second->layoutCount, 2);
}

void TestLabelTemplates::otherSheetSizeWithBrand()
{
    const TemplateConversion c = convertTemplates(sample(), true);
    const ConvertedFormat *f = findFormat(c, QStringLiteral("herma_4226.vrl"));
    QVERIFY(f);
    QCOMPARE(f->description, QStringLiteral("Herma 4226 45 x 30 mm (2 x 4)"));
    QCOMPARE(f->format.positions.back(), (LabelPosition { 510, 1100, 450, 300 }));
}

void TestLabelTemplates::sheetEdge_data()
{
    QTest::addColumn<double>("x0");
    QTest::addColumn<double>("width");
    QTest::addColumn<double>("pitch");
    QTest::addColumn<QString>("lastLabel"); // "x,width" or the reason it was left out
    QTest::newRow("ends at the edge") << 0.0 << 70.0 << 70.0 << "1400,700";
    // Three labels of 70.05 mm on 210 mm: the last one is narrowed to fit.
    QTest::newRow("half a tenth over, narrowed") << 0.0 << 70.05 << 70.05 << "1401,699";
    QTest::newRow("half a millimetre over, narrowed") << 0.5 << 70.0 << 70.0 << "1405,695";
    // Herma 4464: 199 pt = 70.2 mm, three of them 0.6 mm too wide.
    QTest::newRow("three labels of 199 pt, narrowed") << 0.0 << 70.2 << 70.2 << "1404,696";
    QTest::newRow("one millimetre over, narrowed") << 1.0 << 70.0 << 70.0 << "1410,690";
    QTest::newRow("more over, left out") << 1.1 << 70.0 << 70.0 << "Etiketten liegen außerhalb des Bogens";
    QTest::newRow("before the edge, left out")
        << -0.1 << 70.0 << 70.0 << "Etiketten liegen außerhalb des Bogens";
    // 2^32 + 700 tenths apart: cut to 32 bits, the labels would seem to sit
    // side by side on the sheet.
    QTest::newRow("pitch beyond any sheet, left out")
        << 0.0 << 70.0 << 429496799.6 << "Etiketten liegen außerhalb des Bogens";
}

void TestLabelTemplates::sheetEdge()
{
    QFETCH(double, x0);
    QFETCH(double, width);
    QFETCH(double, pitch);
    QFETCH(QString, lastLabel);
    LabelTemplate t;
    t.brand = QStringLiteral("Test");
    t.part = QStringLiteral("1");
    t.paperId = QStringLiteral("A4");
    t.paperWidth = 210;
    t.paperHeight = 297;
    t.labelKind = QStringLiteral("rectangle");
    t.labelWidth = width;
    t.labelHeight = 30;
    t.layouts.append(TemplateLayout { 3, 1, x0, 10, pitch, 30 });
    const TemplateConversion c = convertTemplates({ t }, false);
    if (c.formats.isEmpty()) {
        QCOMPARE(c.skipped.value(0).reason, lastLabel);
        return;
    }
    const LabelPosition last = c.formats.first().format.positions.back();
    QCOMPARE(QStringLiteral("%1,%2").arg(last.x).arg(last.width), lastLabel);
    QVERIFY(c.formats.first().format.extentWidth <= 2100);
}

void TestLabelTemplates::skipped_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("reason");
    QTest::newRow("270 labels") << "Avery L4730"
                                << "mehr als 200 Etiketten auf einem Bogen (270)";
    QTest::newRow("outside") << "Herma 9999"
                             << "Etiketten liegen außerhalb des Bogens";
    QTest::newRow("taken") << "Avery L7160"
                           << "<taken>";
}

void TestLabelTemplates::skipped()
{
    QFETCH(QString, name);
    QFETCH(QString, reason);
    QCOMPARE(skipReason(convertTemplates(sample(), false), name), reason);
}

void TestLabelTemplates::roundAndUsSheets_data()
{
    QTest::addColumn<QString>("name");
    // The description and the first label "x,y,width,height", or the reason
    // the sheet was left out.
    QTest::addColumn<QString>("expected");
    QTest::newRow("round") << "Test R40"
                           << "Test R40 40 x 40 mm (4 x 6) (rund)|100,120,400,400";
    QTest::newRow("cd on a card") << "Test CD120"
                                  << "Test CD120 120 x 80 mm (1 x 2) (rund)|450,300,1200,800";
    QTest::newRow("ellipse") << "Test E1"
                             << "keine rechteckigen oder runden Etiketten";
    QTest::newRow("letter, labels within A4") << "Test LF"
                                              << "Test LF 100 x 50 mm (2 x 5)|40,100,1000,500";
    QTest::newRow("letter, labels wider than A4") << "Test LW"
                                                  << "Etiketten passen nicht auf DIN A4";
    QTest::newRow("legal") << "Test LG"
                           << "Bogen größer als DIN A4";
    // From the other sample: a CD sheet and a letter sheet whose last label
    // reaches 0.34 mm beyond A4.
    QTest::newRow("cd") << "Avery L6015"
                        << "Avery L6015 117 x 117 mm (1 x 2) (rund)|460,218,1170,1170";
    QTest::newRow("letter, narrowed") << "Avery 5160"
                                      << "Avery 5160 66,3 x 25,4 mm (3 x 10)|40,127,663,254";
}

void TestLabelTemplates::roundAndUsSheets()
{
    QFETCH(QString, name);
    QFETCH(QString, expected);
    QList<LabelTemplate> templates = readLabelTemplates(data(QStringLiteral("templates_round_letter.xml")));
    templates += sample();
    resolveEquivalents(templates);
    const TemplateConversion c = convertTemplates(templates, true);
    for (const ConvertedFormat &f : c.formats) {
        if (f.brand + QLatin1Char(' ') + f.part != name)
            continue;
        const LabelPosition first = f.format.positions.front();
        QCOMPARE(QStringLiteral("%1|%2,%3,%4,%5")
                     .arg(f.description)
                     .arg(first.x)
                     .arg(first.y)
                     .arg(first.width)
                     .arg(first.height),
            expected);
        QCOMPARE(f.round, f.description.endsWith(QStringLiteral(" (rund)")));
        QVERIFY(f.format.extentWidth <= 2100);
        QVERIFY(f.format.positions.back().x + f.format.positions.back().width <= 2100);
        return;
    }
    QCOMPARE(skipReason(c, name), expected);
}

void TestLabelTemplates::notATemplateFile_data()
{
    QTest::addColumn<QByteArray>("xml");
    QTest::addColumn<QString>("message");
    QTest::newRow("cut short") << QByteArray("<Glabels-templates><Template brand=\"A\" part=\"1\">")
                               << "Die Vorlagendatei ist fehlerhaft (Zeile 1): die Datei endet mitten im XML";
    QTest::newRow("not well-formed") << QByteArray("<Glabels-templates>\n<a></b></Glabels-templates>")
                                     << "Die Vorlagendatei ist fehlerhaft (Zeile 2): kein wohlgeformtes XML";
    QTest::newRow("other root") << QByteArray("<html><body/></html>")
                                << "Die Datei ist keine Vorlagendatei für Etikettenbögen.";
    QTest::newRow("empty") << QByteArray() << "Die Vorlagendatei ist fehlerhaft";
}

void TestLabelTemplates::notATemplateFile()
{
    QFETCH(QByteArray, xml);
    QFETCH(QString, message);
    try {
        parseLabelTemplates(xml);
        QFAIL("no error");
    } catch (const Error &e) {
        QVERIFY2(e.message().startsWith(message), qPrintable(e.message()));
    }
}

void TestLabelTemplates::folderIsRefusedByName()
{
    const QString folder = test::fixturesDir() + QStringLiteral("/formats");
    try {
        readLabelTemplates(folder);
        QFAIL("read");
    } catch (const Error &e) {
        QVERIFY2(e.message().contains(folder), qPrintable(e.message()));
    }
}

void TestLabelTemplates::numbersThatAreNoLengths_data()
{
    QTest::addColumn<QString>("sheet");
    QTest::addColumn<QString>("label");
    QTest::addColumn<QString>("layout");
    QTest::addColumn<QString>("reason"); // empty: converted
    const QString sheet = QStringLiteral("size=\"A4\"");
    const QString label = QStringLiteral("width=\"50mm\" height=\"30mm\"");
    const QString layout
        = QStringLiteral("nx=\"2\" ny=\"3\" x0=\"10mm\" y0=\"10mm\" dx=\"60mm\" dy=\"40mm\"");
    const QString bad = QStringLiteral("Maß ist keine gültige Zahl");
    QTest::newRow("sound") << sheet << label << layout << QString();
    QTest::newRow("x0 missing is 0") << sheet << label
                                     << QString(layout).remove(QStringLiteral("x0=\"10mm\"")) << QString();
    QTest::newRow("x0 nan") << sheet << label
                            << QString(layout).replace(
                                   QStringLiteral("x0=\"10mm\""), QStringLiteral("x0=\"nan\""))
                            << bad;
    QTest::newRow("dy inf") << sheet << label
                            << QString(layout).replace(
                                   QStringLiteral("dy=\"40mm\""), QStringLiteral("dy=\"-inf\""))
                            << bad;
    QTest::newRow("y0 words") << sheet << label
                              << QString(layout).replace(
                                     QStringLiteral("y0=\"10mm\""), QStringLiteral("y0=\"zehn\""))
                              << bad;
    QTest::newRow("label width nan") << sheet << QStringLiteral("width=\"NaN\" height=\"30mm\"") << layout
                                     << bad;
    QTest::newRow("sheet height nan")
        << QStringLiteral("size=\"Other\" width=\"200mm\" height=\"nan\"") << label << layout << bad;
}

// A number that is there but no length skips its template with the reason,
// instead of being taken as 0.
void TestLabelTemplates::numbersThatAreNoLengths()
{
    QFETCH(QString, sheet);
    QFETCH(QString, label);
    QFETCH(QString, layout);
    QFETCH(QString, reason);
    const QString xml = QStringLiteral("<Glabels-templates><Template brand=\"B\" part=\"1\" %1>"
                                       "<Label-rectangle %2><Layout %3/></Label-rectangle></Template>"
                                       "</Glabels-templates>")
                            .arg(sheet, label, layout);
    const TemplateConversion c = convertTemplates(parseLabelTemplates(xml.toUtf8()), false);
    if (reason.isEmpty()) {
        QCOMPARE(c.formats.size(), 1);
        QVERIFY(c.skipped.isEmpty());
    } else {
        QVERIFY(c.formats.isEmpty());
        QCOMPARE(c.skipped.value(0).reason, reason);
    }
}

void TestLabelTemplates::stockAreas()
{
    const StockCatalogue stock = buildStockCatalogue(sample());
    QStringList lines;
    for (const StockFormat &f : stock.formats)
        lines.append(f.area + QLatin1Char('|') + f.description + QLatin1Char('|') + f.fileName);
    // In the order of the areas; Herma stays out; the family of L7160 has a
    // laser part, so its inkjet equivalent J8160 stays with the laser sheets.
    const QStringList expected = {
        "AVERY Tintenstrahl|J8414 87 x 50,8 mm (2 x 5)|avery_j8414.vrl",
        "AVERY Laseretiketten|L7160 63,5 x 38,1 mm (3 x 7)|avery_l7160.vrl",
        "AVERY Laseretiketten|J8160 63,5 x 38,1 mm (3 x 7)|avery_j8160.vrl",
        "Briefumschläge|DIN lang (DL) 110 x 220 mm (1 x 1)|umschlag_dl.vrl",
        "Briefumschläge|C6 114 x 162 mm (1 x 1)|umschlag_c6.vrl",
        "Briefumschläge|C5 162 x 229 mm (1 x 1)|umschlag_c5.vrl",
        "Briefumschläge|C6/5 114 x 229 mm (1 x 1)|umschlag_c6_5.vrl",
        "DIN-Größen|DIN A4 210 x 297 mm (1 x 1)|din_a4.vrl",
        "DIN-Größen|DIN A5 148 x 210 mm (1 x 1)|din_a5.vrl",
        "DIN-Größen|DIN A6 105 x 148 mm (1 x 1)|din_a6.vrl",
        "ZWECKFORM Laser|3474 25,4 x 10,1 mm (7 x 27)|zweckform_3474.vrl",
        "ZWECKFORM Laser|3490 70 x 37 mm (3 x 2)|zweckform_3490.vrl",
        "ZWECKFORM Laser|3490 70 x 37 mm (1 x 1)|zweckform_3490_2.vrl",
    };
    QCOMPARE(lines, expected);
}

QTEST_GUILESS_MAIN(TestLabelTemplates)
#include "TestLabelTemplates.moc"
