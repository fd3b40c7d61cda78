#include "formats/labeltemplates.h"
#include "testpaths.h"
#include "formats/stockindex.h"
#include "formats/stocksearch.h"
#include "platform/errors.h"

#include <QTest>

#include <cstdlib>

using namespace qm;

namespace {

QString data(const QString &name)
{
    return test::fixturesDir() + QStringLiteral("/formats/") + name;
}

const QList<StockSheet> &shipped()
{
    static const QList<StockSheet> sheets = shippedStockIndex();
    return sheets;
}

QString partOf(const StockSheet &s)
{
    return s.brand + QLatin1Char(' ') + s.part;
}

// One index line with the fields given replaced ("field=value").
QByteArray lineWith(int field, const QString &value)
{
    QStringList fields = QStringList { "Test", "1", "test_1.vrl", "Test 1 70 x 36 mm (3 x 1)", "0", "2100",
        "2970", "3", "1", "700", "360", "2100", "400", "0,700,1400", "40" };
    if (field >= 0)
        fields[field] = value;
    return fields.join(QLatin1Char('\t')).toUtf8();
}

} // namespace

class TestStockIndex : public QObject
{
    Q_OBJECT

private slots:
    void knownParts_data();
    void knownParts();
    void everySheetLiesInsideItsSheet();
    void textRoundTrip();
    void damagedLinesAreRefused_data();
    void damagedLinesAreRefused();
    void search_data();
    void search();
    void partOfMaker();
    void layoutsOfOnePartAreToldApart();
    void sizeToleranceEndsAtHalfAMillimetre_data();
    void sizeToleranceEndsAtHalfAMillimetre();
    void partNumberInAnyCaseComesFirst_data();
    void partNumberInAnyCaseComesFirst();
    void newSearchTextDropsTheChosenSheet();
    void searchSaysWhatItFound_data();
    void searchSaysWhatItFound();
};

void TestStockIndex::knownParts_data()
{
    // The makers' published sizes in millimetres: label width and height,
    // across, down, the top-left corner of the first label.
    QTest::addColumn<QString>("maker");
    QTest::addColumn<QString>("part");
    QTest::addColumn<double>("width");
    QTest::addColumn<double>("height");
    QTest::addColumn<int>("across");
    QTest::addColumn<int>("down");
    QTest::addColumn<double>("left");
    QTest::addColumn<double>("top");
    QTest::addColumn<bool>("round");
    QTest::newRow("Zweckform 3475") << "Zweckform"
                                    << "3475" << 70.0 << 36.0 << 3 << 8 << 0.0 << 4.5 << false;
    QTest::newRow("Avery L7160") << "Avery"
                                 << "L7160" << 64.0 << 38.1 << 3 << 7 << 7.5 << 15.5 << false;
    // J8160 repeats the sheet of L7160 (equivalent parts).
    QTest::newRow("Avery J8160") << "Avery"
                                 << "J8160" << 64.0 << 38.1 << 3 << 7 << 7.5 << 15.5 << false;
    QTest::newRow("Herma 4464") << "Herma"
                                << "4464" << 70.0 << 37.0 << 3 << 8 << 0.0 << 0.5 << false;
    QTest::newRow("Avery L7165") << "Avery"
                                 << "L7165" << 99.1 << 67.7 << 2 << 4 << 4.65 << 13.1 << false;
    QTest::newRow("Avery L7651") << "Avery"
                                 << "L7651" << 38.1 << 21.2 << 5 << 13 << 4.75 << 10.7 << false;
    // A CD label of 117 mm, centred across the sheet, two on a sheet.
    QTest::newRow("Avery L7676 CD") << "Avery"
                                    << "L7676" << 117.0 << 117.0 << 1 << 2 << 46.5 << 22.0 << true;
}

void TestStockIndex::knownParts()
{
    QFETCH(QString, maker);
    QFETCH(QString, part);
    QFETCH(double, width);
    QFETCH(double, height);
    QFETCH(int, across);
    QFETCH(int, down);
    QFETCH(double, left);
    QFETCH(double, top);
    QFETCH(bool, round);
    const QList<qsizetype> found = stockSheetsOfPart(shipped(), maker, part);
    QCOMPARE(found.size(), 1);
    const StockSheet &s = shipped()[found.first()];
    const auto near = [](qint32 tenths, double mm) { return std::abs(tenths - mm * 10) <= 5.0; };
    QVERIFY2(near(s.labelWidth(), width) && near(s.labelHeight(), height), qPrintable(s.description));
    QCOMPARE(s.across, across);
    QCOMPARE(s.down, down);
    QCOMPARE(int(s.format.positions.size()), across * down);
    const LabelPosition first = s.format.positions.front();
    QVERIFY2(near(first.x, left) && near(first.y, top),
        qPrintable(QStringLiteral("%1,%2").arg(first.x).arg(first.y)));
    QCOMPARE(s.round, round);
    QCOMPARE(s.description.endsWith(QStringLiteral(" (rund)")), round);
    for (const LabelPosition &p : s.format.positions) {
        QVERIFY(p.x >= 0 && p.y >= 0);
        QVERIFY(p.x + p.width <= s.sheetWidth && p.y + p.height <= s.sheetHeight);
    }
}

void TestStockIndex::everySheetLiesInsideItsSheet()
{
    const QList<StockSheet> &sheets = shipped();
    QVERIFY2(sheets.size() >= 600, qPrintable(QString::number(sheets.size())));
    int a4 = 0;
    for (const StockSheet &s : sheets) {
        if (s.sheetWidth == 2100 && s.sheetHeight == 2970)
            ++a4;
        QVERIFY2(s.sheetWidth <= 2100 && s.sheetHeight <= 2970, qPrintable(partOf(s)));
        QVERIFY(s.format.extentWidth <= s.sheetWidth && s.format.extentHeight <= s.sheetHeight);
        const auto &p = s.format.positions;
        for (int i = 0; i < s.across; ++i) {
            // Along a row and down a column the labels never overlap.
            if (i > 0)
                QVERIFY2(p[size_t(i)].x >= p[size_t(i - 1)].x + s.labelWidth(), qPrintable(partOf(s)));
        }
        for (int j = 1; j < s.down; ++j)
            QVERIFY2(p[size_t(j * s.across)].y >= p[size_t((j - 1) * s.across)].y + s.labelHeight(),
                qPrintable(partOf(s)));
        QVERIFY2(p.back().x + p.back().width <= s.sheetWidth && p.back().y + p.back().height <= s.sheetHeight,
            qPrintable(partOf(s)));
    }
    QVERIFY(a4 >= 600);
}

void TestStockIndex::textRoundTrip()
{
    QList<LabelTemplate> templates = readLabelTemplates(data(QStringLiteral("templates_sample.xml")));
    templates += readLabelTemplates(data(QStringLiteral("templates_round_letter.xml")));
    resolveEquivalents(templates);
    QList<SkippedTemplate> skipped;
    const QList<StockSheet> sheets = stockSheetsOf(templates, &skipped);
    QCOMPARE(sheets.size(), 12);
    QVERIFY(!skipped.isEmpty());
    const QList<StockSheet> again = parseStockIndex(stockIndexText(sheets));
    QCOMPARE(again.size(), sheets.size());
    for (qsizetype i = 0; i < sheets.size(); ++i) {
        QCOMPARE(again[i].brand, sheets[i].brand);
        QCOMPARE(again[i].part, sheets[i].part);
        QCOMPARE(again[i].fileName, sheets[i].fileName);
        QCOMPARE(again[i].description, sheets[i].description);
        QCOMPARE(again[i].round, sheets[i].round);
        QCOMPARE(again[i].sheetWidth, sheets[i].sheetWidth);
        QCOMPARE(again[i].format, sheets[i].format);
    }
}

void TestStockIndex::damagedLinesAreRefused_data()
{
    QTest::addColumn<QByteArray>("text");
    QTest::addColumn<QString>("message"); // empty: read without complaint
    QTest::newRow("sound") << lineWith(-1, {}) << "";
    QTest::newRow("comment and blank lines") << QByteArray("# x\n\n") + lineWith(-1, {}) + "\r\n"
                                             << "";
    QTest::newRow("a field short") << lineWith(-1, {}).chopped(3) << "(Zeile 1): 14 Felder statt 15";
    QTest::newRow("label beyond the sheet") << lineWith(13, "0,700,1401") << "(Zeile 1): Zahl 1401";
    QTest::newRow("positions missing") << lineWith(13, "0,700") << "(Zeile 1): 2 Positionen statt 3";
    QTest::newRow("too many labels") << lineWith(8, "67") << "mehr als 200 Etiketten";
    QTest::newRow("not a number") << lineWith(9, "7OO") << "Zahl 7OO";
    QTest::newRow("path as file name") << lineWith(2, "../x.vrl") << "Dateiname fehlt";
    QTest::newRow("description too long") << lineWith(3, QString(61, u'x')) << "länger als 60 Zeichen";
    QTest::newRow("second line") << QByteArray("# x\n") + lineWith(-1, {}) + "\n" + lineWith(4, "2")
                                 << "(Zeile 3): Zahl 2";
}

void TestStockIndex::damagedLinesAreRefused()
{
    QFETCH(QByteArray, text);
    QFETCH(QString, message);
    try {
        const QList<StockSheet> sheets = parseStockIndex(text);
        QVERIFY2(message.isEmpty(), qPrintable(message));
        QCOMPARE(sheets.size(), 1);
        QCOMPARE(sheets[0].format.positions.back(), (LabelPosition { 1400, 40, 700, 360 }));
        QCOMPARE(sheets[0].format.description, QStringLiteral("Test 1 70 x 36 mm (3 x 1)"));
    } catch (const Error &e) {
        QVERIFY2(!message.isEmpty() && e.message().contains(message), qPrintable(e.message()));
    }
}

void TestStockIndex::search_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("first"); // maker and part of the first match, "" for none
    QTest::addColumn<QString>("among"); // another sheet among the matches
    QTest::addColumn<int>("atLeast");
    QTest::newRow("maker and part") << "herma 4464"
                                    << "Herma 4464"
                                    << "" << 1;
    QTest::newRow("part alone") << "L7160"
                                << "Avery L7160"
                                << "" << 1;
    QTest::newRow("part in other case") << "l7160"
                                        << "Avery L7160"
                                        << "" << 1;
    // 3475 is 69.9 mm wide in the index, still found by its nominal size.
    QTest::newRow("label size") << "70 x 36"
                                << ""
                                << "Zweckform 3475" << 10;
    QTest::newRow("label size without blanks") << "70x36 zweckform"
                                               << ""
                                               << "Zweckform 3475" << 1;
    QTest::newRow("decimal comma") << "63,5 x 38,1"
                                   << ""
                                   << "Herma 4103" << 2;
    QTest::newRow("decimal point") << "avery 99.1x67.7"
                                   << ""
                                   << "Avery L7165" << 1;
    QTest::newRow("maker") << "herma"
                           << ""
                           << "Herma 4464" << 51;
    QTest::newRow("round") << "rund avery"
                           << ""
                           << "Avery L7676" << 2;
    QTest::newRow("no such part") << "herma 99999"
                                  << ""
                                  << "" << 0;
    QTest::newRow("size that is no label") << "70 x 360"
                                           << ""
                                           << "" << 0;
    QTest::newRow("blank") << "  "
                           << ""
                           << "" << 0;
}

void TestStockIndex::search()
{
    QFETCH(QString, text);
    QFETCH(QString, first);
    QFETCH(QString, among);
    QFETCH(int, atLeast);
    const QList<qsizetype> found = findStockSheets(shipped(), text);
    QVERIFY2(found.size() >= atLeast, qPrintable(QString::number(found.size())));
    if (atLeast == 0)
        QVERIFY(found.isEmpty());
    if (!first.isEmpty())
        QCOMPARE(partOf(shipped()[found.first()]), first);
    if (!among.isEmpty())
        QVERIFY(std::any_of(
            found.begin(), found.end(), [&](qsizetype i) { return partOf(shipped()[i]) == among; }));
    const QString brand = text.section(QLatin1Char(' '), 0, 0);
    if (brand == QLatin1String("herma"))
        for (const qsizetype i : found)
            QCOMPARE(shipped()[i].brand, QStringLiteral("Herma"));
}

void TestStockIndex::partOfMaker()
{
    QCOMPARE(stockSheetsOfPart(shipped(), QStringLiteral(" ZWECKFORM"), QStringLiteral("3475 ")).size(), 1);
    QVERIFY(stockSheetsOfPart(shipped(), QStringLiteral("Herma"), QStringLiteral("3475")).isEmpty());
    QVERIFY(stockSheetsOfPart(shipped(), QStringLiteral("Zweckform"), QStringLiteral("347")).isEmpty());
}

// Rayfilm CD06 (box) has four layouts of one description in the templates:
// each gets a description of its own, as an import of the template would
// give it, in the shipped index and in one read from text.
void TestStockIndex::layoutsOfOnePartAreToldApart()
{
    const QList<qsizetype> found
        = stockSheetsOfPart(shipped(), QStringLiteral("Rayfilm"), QStringLiteral("CD06 (box)"));
    QCOMPARE(found.size(), 4);
    QStringList descriptions;
    QStringList files;
    for (const qsizetype i : found) {
        descriptions.append(shipped()[i].description);
        files.append(shipped()[i].fileName);
        QCOMPARE(shipped()[i].format.description, QString(shipped()[i].description).replace(u',', u'.'));
    }
    const QString base = QStringLiteral("Rayfilm CD06 (box) 7 x 119 mm (3 x 1)");
    QCOMPARE(descriptions, (QStringList { base, base + " - 2", base + " - 3", base + " - 4" }));
    QCOMPARE(files,
        (QStringList { "rayfilm_cd06__box_.vrl", "rayfilm_cd06__box__2.vrl", "rayfilm_cd06__box__3.vrl",
            "rayfilm_cd06__box__4.vrl" }));

    // A description that is taken already is stepped over; a long one is
    // cut so that the number fits.
    const QString longText = QString(60, u'x');
    const QList<StockSheet> read = parseStockIndex(lineWith(3, "Test 1 - 2") + "\n" + lineWith(-1, {}) + "\n"
        + lineWith(-1, {}) + "\n" + lineWith(-1, {}) + "\n" + lineWith(3, longText) + "\n"
        + lineWith(3, longText));
    QStringList readDescriptions;
    for (const StockSheet &sheet : read)
        readDescriptions.append(sheet.description);
    const QString plain = QStringLiteral("Test 1 70 x 36 mm (3 x 1)");
    QCOMPARE(readDescriptions,
        (QStringList { "Test 1 - 2", plain, plain + " - 2", plain + " - 3", longText,
            QString(56, u'x') + " - 2" }));
}

void TestStockIndex::sizeToleranceEndsAtHalfAMillimetre_data()
{
    // One sheet of labels 70,0 x 36,0 mm.
    QTest::addColumn<QString>("text");
    QTest::addColumn<bool>("found");
    QTest::newRow("exact") << "70 x 36" << true;
    QTest::newRow("half a millimetre wider") << "70,5 x 36" << true;
    QTest::newRow("half a millimetre narrower") << "69,5 x 36" << true;
    QTest::newRow("half a millimetre higher") << "70 x 36,5" << true;
    QTest::newRow("half a millimetre lower") << "70 x 35.5" << true;
    QTest::newRow("both at the edge") << "69,5x36,5" << true;
    QTest::newRow("0,6 wider") << "70,6 x 36" << false;
    QTest::newRow("0,6 narrower") << "69,4 x 36" << false;
    QTest::newRow("0,6 higher") << "70 x 36,6" << false;
    QTest::newRow("0,6 lower") << "70 x 35,4" << false;
    QTest::newRow("width and height swapped") << "36 x 70" << false;
}

void TestStockIndex::sizeToleranceEndsAtHalfAMillimetre()
{
    QFETCH(QString, text);
    QFETCH(bool, found);
    const QList<StockSheet> sheets = parseStockIndex(lineWith(-1, {}));
    QCOMPARE(findStockSheets(sheets, text).size(), found ? 1 : 0);
}

void TestStockIndex::partNumberInAnyCaseComesFirst_data()
{
    QTest::addColumn<QString>("text");
    QTest::newRow("as printed") << "AB12";
    QTest::newRow("small letters") << "ab12";
    QTest::newRow("mixed") << "aB12";
    QTest::newRow("with the maker") << "test ab12";
}

// Two sheets mention the part number: the one whose part number it is
// comes first, however the number is typed.
void TestStockIndex::partNumberInAnyCaseComesFirst()
{
    QFETCH(QString, text);
    const QList<StockSheet> sheets = parseStockIndex(lineWith(3, "Test 1 wie AB12 70 x 36 mm (3 x 1)") + "\n"
        + lineWith(1, "AB12").replace("test_1.vrl", "test_ab12.vrl").replace("Test 1 70", "Test AB12 70"));
    QCOMPARE(sheets.at(1).part, QStringLiteral("AB12"));
    QCOMPARE(findStockSheets(sheets, text), (QList<qsizetype> { 1, 0 }));
}

void TestStockIndex::newSearchTextDropsTheChosenSheet()
{
    StockSearchCore core;
    core.setSheets(shipped());
    StockSearchView view;
    view.text = QStringLiteral("herma");
    core.SuchtextChange(view);
    QVERIFY(view.matches.size() > 3);
    core.ListTrefferClick(view, 2);
    QVERIFY(core.chosen(view));
    QVERIFY(!view.preview.labels.isEmpty());
    // Another text: the list is a new one, no sheet of it is chosen.
    view.text = QStringLiteral("herma 4464");
    core.SuchtextChange(view);
    QVERIFY(!view.matches.isEmpty());
    QCOMPARE(view.matchIndex, -1);
    QCOMPARE(core.chosen(view), nullptr);
    QVERIFY(view.preview.labels.isEmpty());
    core.ListTrefferClick(view, 0);
    QCOMPARE(core.chosen(view)->part, QStringLiteral("4464"));
    // A text that finds nothing leaves nothing chosen either.
    view.text = QStringLiteral("herma 99999");
    core.SuchtextChange(view);
    QCOMPARE(core.chosen(view), nullptr);
    core.ListTrefferClick(view, 0);
    QCOMPARE(core.chosen(view), nullptr);
}

void TestStockIndex::searchSaysWhatItFound_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("status");
    QTest::newRow("nothing typed") << "  " << "";
    QTest::newRow("one") << "herma 4464" << "1 Etikettenbogen gefunden.";
    QTest::newRow("none") << "herma 99999" << "Kein Etikettenbogen passt zu \"herma 99999\".";
    const QString longText = QStringLiteral("herma ") + QString(200, u'z');
    QTest::newRow("none, long text") << longText
                                     << "Kein Etikettenbogen passt zu \"" + longText.left(59) + QChar(0x2026)
            + "\".";
}

void TestStockIndex::searchSaysWhatItFound()
{
    QFETCH(QString, text);
    QFETCH(QString, status);
    StockSearchCore core;
    core.setSheets(shipped());
    StockSearchView view;
    view.text = text;
    core.SuchtextChange(view);
    QCOMPARE(view.status, status);

    view.text = QStringLiteral("herma");
    core.SuchtextChange(view);
    QCOMPARE(view.status, QStringLiteral("%1 Etikettenbögen gefunden.").arg(view.matches.size()));
}

QTEST_GUILESS_MAIN(TestStockIndex)
#include "TestStockIndex.moc"
