#include "formats/sheetformat.h"
#include "formats/sheetgrid.h"
#include "platform/errors.h"

#include <QTest>

using namespace qm;

namespace {

// "x,y,width,height" per label, separated by ";".
QString positionsText(const SheetFormat &f)
{
    QStringList parts;
    for (const LabelPosition &p : f.positions)
        parts << QStringLiteral("%1,%2,%3,%4").arg(p.x).arg(p.y).arg(p.width).arg(p.height);
    return parts.join(u';');
}

// W, H, N, M, SX, SY, GX, GY
SheetGrid grid(qint32 w, qint32 h, int n, int m, qint32 sx, qint32 sy, qint32 gx, qint32 gy)
{
    return {w, h, n, m, sx, sy, gx, gy};
}

SheetFormat sheetWith(qint32 extentWidth, qint32 extentHeight, std::vector<LabelPosition> positions)
{
    SheetFormat f;
    f.extentWidth = extentWidth;
    f.extentHeight = extentHeight;
    f.positions = std::move(positions);
    return f;
}

} // namespace

Q_DECLARE_METATYPE(qm::SheetGrid)
Q_DECLARE_METATYPE(qm::SheetFormat)

class TestSheetGrid : public QObject
{
    Q_OBJECT

private slots:
    void mmTextToTenths_data();
    void mmTextToTenths();
    void tenthsToMmText_data();
    void tenthsToMmText();
    void shownTenthsReadBackTheSame_data();
    void shownTenthsReadBackTheSame();
    void realTenthsToMmText_data();
    void realTenthsToMmText();
    void formatFromGrid_data();
    void formatFromGrid();
    void workedExampleLines();
    void gridRefused_data();
    void gridRefused();
    void countsConvertedStrictly_data();
    void countsConvertedStrictly();
    void derive_data();
    void derive();
    void descriptionLineBreaksWrittenAsBlanks();
};

void TestSheetGrid::mmTextToTenths_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<int>("tenths");

    QTest::newRow("one decimal") << "10.5" << 105;
    QTest::newRow("second decimal dropped") << "10.55" << 105;
    QTest::newRow("0.99") << "0.99" << 9;
    QTest::newRow("63.5") << "63.5" << 635;
    QTest::newRow("whole") << "10" << 100;
    QTest::newRow("trailing point") << "5." << 50;
    QTest::newRow("leading point") << ".5" << 5;
    QTest::newRow("leading blanks") << "  7.5" << 75;
    QTest::newRow("plus") << "+3.2" << 32;
    QTest::newRow("minus") << "-10.5" << -105;
    QTest::newRow("minus, dropped toward zero") << "-0.55" << -5;
    QTest::newRow("below a tenth") << "-0.05" << 0;
    QTest::newRow("empty") << "" << 0;
    QTest::newRow("not a number") << "abc" << 0;
    QTest::newRow("sign alone") << " -" << 0;
    QTest::newRow("comma as the separator") << "10,5" << 105;
    QTest::newRow("leading comma") << ",5" << 5;
    QTest::newRow("minus with comma") << "-0,55" << -5;
    QTest::newRow("stops at a second comma") << "1,2,3" << 12;
    QTest::newRow("stops at a letter") << "12abc" << 120;
    QTest::newRow("stops after the decimals") << "1.9x" << 19;
    QTest::newRow("no exponent") << "1e3" << 10;
    QTest::newRow("largest") << "214748364.7" << 2147483647;
    QTest::newRow("decimal beyond the range dropped") << "214748364.8" << 2147483640;
    QTest::newRow("smallest") << "-214748364.8" << -2147483647 - 1;
    QTest::newRow("digits beyond the range end the number") << "99999999999" << 999999990;
}

void TestSheetGrid::mmTextToTenths()
{
    QFETCH(QString, text);
    QTEST(int(qm::mmTextToTenths(text)), "tenths");
}

void TestSheetGrid::tenthsToMmText_data()
{
    QTest::addColumn<qint64>("tenths");
    QTest::addColumn<QString>("text");

    QTest::newRow("105") << qint64(105) << "10.5";
    QTest::newRow("50, one leading blank") << qint64(50) << " 5.0";
    QTest::newRow("0") << qint64(0) << " 0.0";
    QTest::newRow("5") << qint64(5) << " 0.5";
    QTest::newRow("2030, wider than four") << qint64(2030) << "203.0";
    QTest::newRow("-5") << qint64(-5) << "-0.5";
    QTest::newRow("-50") << qint64(-50) << "-5.0";
    QTest::newRow("-105") << qint64(-105) << "-10.5";
    QTest::newRow("smallest 32-bit") << qint64(-2147483647 - 1) << "-214748364.8";
}

void TestSheetGrid::tenthsToMmText()
{
    QFETCH(qint64, tenths);
    QTEST(qm::tenthsToMmText(tenths), "text");
}

void TestSheetGrid::shownTenthsReadBackTheSame_data()
{
    QTest::addColumn<int>("tenths");
    for (int v : {0, 1, 9, 10, 15, 105, 635, 2810, -1, -5, -105, 2147483647, -2147483647 - 1})
        QTest::addRow("%d", v) << v;
}

void TestSheetGrid::shownTenthsReadBackTheSame()
{
    QFETCH(int, tenths);
    QCOMPARE(int(qm::mmTextToTenths(qm::tenthsToMmText(tenths))), tenths);
}

void TestSheetGrid::realTenthsToMmText_data()
{
    QTest::addColumn<double>("tenths");
    QTest::addColumn<QString>("text");

    QTest::newRow("whole") << 15.0 << " 1.5";
    QTest::newRow("half up") << 12.5 << " 1.3";
    QTest::newRow("half away from zero") << -12.5 << "-1.3";
    QTest::newRow("below half") << 12.49 << " 1.2";
    QTest::newRow("a third") << 100.0 / 3 << " 3.3";
    QTest::newRow("small negative shows no sign") << -0.4 << " 0.0";
}

void TestSheetGrid::realTenthsToMmText()
{
    QFETCH(double, tenths);
    QTEST(qm::realTenthsToMmText(tenths), "text");
}

void TestSheetGrid::formatFromGrid_data()
{
    QTest::addColumn<SheetGrid>("grid");
    QTest::addColumn<int>("extentWidth");
    QTest::addColumn<int>("extentHeight");
    QTest::addColumn<QString>("positions");

    // A single column or row ends one gap after its label.
    QTest::newRow("1 x 1 with both gaps")
        << grid(500, 200, 1, 1, 50, 70, 30, 15) << 580 << 285 << "50,70,500,200";
    QTest::newRow("3 x 1: same y, height with the gap")
        << grid(700, 370, 3, 1, 50, 100, 20, 15) << 2190 << 485
        << "50,100,700,370;770,100,700,370;1490,100,700,370";
    QTest::newRow("1 x 4: same x, width with the gap")
        << grid(900, 500, 1, 4, 30, 40, 25, 10) << 955 << 2070
        << "30,40,900,500;30,550,900,500;30,1060,900,500;30,1570,900,500";
    QTest::newRow("2 x 2 row by row, left to right")
        << grid(100, 50, 2, 2, 0, 0, 10, 5) << 210 << 105
        << "0,0,100,50;110,0,100,50;0,55,100,50;110,55,100,50";
    QTest::newRow("0 across in one row counts as 1")
        << grid(100, 50, 0, 1, 5, 6, 10, 5) << 115 << 61 << "5,6,100,50";
    QTest::newRow("0 by 0 is one label")
        << grid(100, 50, 0, 0, 0, 0, 10, 5) << 110 << 55 << "0,0,100,50";
    QTest::newRow("2 across, 0 down is one row")
        << grid(100, 50, 2, 0, 0, 0, 10, 5) << 210 << 55 << "0,0,100,50;110,0,100,50";
    QTest::newRow("0 across with several rows: no label")
        << grid(100, 50, 0, 3, 0, 0, 10, 5) << 110 << 160 << "";
    QTest::newRow("negative gap overlaps")
        << grid(100, 50, 2, 1, 0, 0, -10, 0) << 190 << 50 << "0,0,100,50;90,0,100,50";
}

void TestSheetGrid::formatFromGrid()
{
    QFETCH(SheetGrid, grid);
    QFETCH(int, extentWidth);
    QFETCH(int, extentHeight);
    QFETCH(QString, positions);

    const SheetFormat f = sheetFormatFromGrid(QStringLiteral("Test"), grid);
    QCOMPARE(f.description, QStringLiteral("Test"));
    QCOMPARE(f.extentWidth, extentWidth);
    QCOMPARE(f.extentHeight, extentHeight);
    QCOMPARE(positionsText(f), positions);
    QCOMPARE(qint64(f.positionCount()), labelCount(grid));
    if (f.positionCount() > 0) {
        QCOMPARE(f.lastLabelWidth, grid.width);
        QCOMPARE(f.lastLabelHeight, grid.height);
    }
}

void TestSheetGrid::workedExampleLines()
{
    const SheetGrid a4 = grid(635, 380, 3, 7, 75, 150, 25, 0);
    const QStringList lines = vrlFileLines(sheetFormatFromGrid(QStringLiteral("A4"), a4));
    QCOMPARE(lines.size(), 3 + 21);
    QCOMPARE(lines.mid(0, 7),
             (QStringList{"** Formatdatei erstellt mit QUILLMARK 95 - Version2.04s", "NA,A4",
                          "GR,2030,2810", "PO,75,150,635,380", "PO,735,150,635,380",
                          "PO,1395,150,635,380", "PO,75,530,635,380"}));
    QCOMPARE(lines.last(), QStringLiteral("PO,1395,2430,635,380"));

    const SheetGrid singleGrid = grid(890, 360, 1, 1, 0, 0, 0, 15);
    const QStringList single = vrlFileLines(sheetFormatFromGrid(QStringLiteral("89"), singleGrid));
    QCOMPARE(single.mid(2), (QStringList{"GR,890,375", "PO,0,0,890,360"}));
}

void TestSheetGrid::gridRefused_data()
{
    QTest::addColumn<SheetGrid>("grid");
    QTest::addColumn<QString>("message");

    QTest::newRow("201 across")
        << grid(10, 10, 201, 1, 0, 0, 0, 0)
        << "Das Format ergibt 201 Etiketten auf einem Bogen. Es sind höchstens 200 möglich.";
    QTest::newRow("999 x 999")
        << grid(10, 10, 999, 999, 0, 0, 0, 0)
        << "Das Format ergibt 998001 Etiketten auf einem Bogen. Es sind höchstens 200 möglich.";
    QTest::newRow("largest counts")
        << grid(10, 10, 2147483647, 2147483647, 0, 0, 0, 0)
        << "Das Format ergibt 4611686014132420609 Etiketten auf einem Bogen. Es sind höchstens "
           "200 möglich.";
    QTest::newRow("negative across")
        << grid(10, 10, -1, 2, 0, 0, 0, 0)
        << "Die Anzahl nebeneinander darf nicht kleiner als 0 sein (-1).";
    QTest::newRow("negative down")
        << grid(10, 10, 1, -3, 0, 0, 0, 0)
        << "Die Anzahl untereinander darf nicht kleiner als 0 sein (-3).";
    QTest::newRow("extent beyond 32 bits")
        << grid(2000000000, 10, 2, 1, 0, 0, 0, 0)
        << "Die Maße des Formats sind zu groß. Bitte prüfen Sie Größe, Ränder und Abstände.";
    QTest::newRow("position beyond 32 bits")
        << grid(10, -1000000000, 1, 3, 0, 1000000000, 0, 2000000000)
        << "Die Maße des Formats sind zu groß. Bitte prüfen Sie Größe, Ränder und Abstände.";
}

void TestSheetGrid::gridRefused()
{
    QFETCH(SheetGrid, grid);
    QFETCH(QString, message);
    try {
        sheetFormatFromGrid(QStringLiteral("Test"), grid);
        QFAIL("the grid was taken");
    } catch (const Error &e) {
        QCOMPARE(e.message(), message);
    }
}

void TestSheetGrid::countsConvertedStrictly_data()
{
    QTest::addColumn<QString>("neben");
    QTest::addColumn<QString>("unter");
    QTest::addColumn<int>("across");
    QTest::addColumn<int>("down");
    QTest::addColumn<QString>("error");

    QTest::newRow("plain") << "3" << "7" << 3 << 7 << "";
    QTest::newRow("leading blank and sign") << " 3" << "+7" << 3 << 7 << "";
    QTest::newRow("hexadecimal") << "$A" << "2" << 10 << 2 << "";
    QTest::newRow("exactly 200") << "10" << "20" << 10 << 20 << "";
    QTest::newRow("decimal") << "3.0" << "7" << 0 << 0 << "'3.0' ist kein gültiger Integerwert";
    QTest::newRow("empty Unter") << "3" << "" << 0 << 0 << "'' ist kein gültiger Integerwert";
    QTest::newRow("Neben first") << "a" << "b" << 0 << 0 << "'a' ist kein gültiger Integerwert";
}

void TestSheetGrid::countsConvertedStrictly()
{
    QFETCH(QString, neben);
    QFETCH(QString, unter);
    QFETCH(QString, error);

    GridTexts t{"63.5", "38.0", neben, unter, "7.5", "15.0", "2.5", "0.0"};
    try {
        const SheetGrid g = sheetGridFromTexts(t);
        QVERIFY2(error.isEmpty(), "no conversion error");
        QTEST(g.across, "across");
        QTEST(g.down, "down");
        QCOMPARE(g, grid(635, 380, g.across, g.down, 75, 150, 25, 0));
        QCOMPARE(sheetFormatFromGrid(QString(), g).positionCount(), g.across * g.down);
    } catch (const ConvertError &e) {
        QCOMPARE(e.message(), error);
    }
}

void TestSheetGrid::derive_data()
{
    QTest::addColumn<SheetFormat>("format");
    QTest::addColumn<int>("across");
    QTest::addColumn<int>("down");
    QTest::addColumn<int>("startX");
    QTest::addColumn<int>("startY");
    QTest::addColumn<int>("width");
    QTest::addColumn<int>("height");
    QTest::addColumn<double>("gapX");
    QTest::addColumn<double>("gapY");

    QTest::newRow("no labels")
        << sheetWith(100, 200, {}) << 1 << 1 << 0 << 0 << 0 << 0 << 100.0 << 200.0;
    QTest::newRow("one label: no horizontal gap")
        << sheetWith(580, 285, {{50, 70, 500, 200}}) << 1 << 1 << 50 << 70 << 500 << 200 << 0.0
        << 15.0;
    QTest::newRow("2 x 2")
        << sheetWith(210, 105,
                     {{0, 0, 100, 50}, {110, 0, 100, 50}, {0, 55, 100, 50}, {110, 55, 100, 50}})
        << 2 << 2 << 0 << 0 << 100 << 50 << 10.0 << 5.0;
    QTest::newRow("uneven gaps as reals")
        << sheetWith(341, 60, {{0, 0, 90, 50}, {100, 0, 90, 50}, {250, 0, 90, 50}}) << 3 << 1 << 0
        << 0 << 90 << 50 << 35.5 << 10.0;
    QTest::newRow("negative x does not count")
        << sheetWith(400, 60, {{-10, 0, 90, 50}, {100, 0, 90, 50}, {200, 0, 90, 50}}) << 2 << 1
        << -10 << 0 << 90 << 50 << 230.0 << 10.0;
    QTest::newRow("x of -1 does not count, 0 does")
        << sheetWith(300, 60, {{-1, 0, 90, 50}, {0, 0, 90, 50}}) << 1 << 1 << -1 << 0 << 90 << 50
        << 211.0 << 10.0;
    QTest::newRow("right to left: only the first counts")
        << sheetWith(300, 60, {{200, 0, 90, 50}, {100, 0, 90, 50}, {0, 0, 90, 50}}) << 1 << 1
        << 200 << 0 << 90 << 50 << 10.0 << 10.0;
    QTest::newRow("columns first: x counts once, y per label")
        << sheetWith(210, 105,
                     {{0, 0, 100, 50}, {0, 55, 100, 50}, {110, 0, 100, 50}, {110, 55, 100, 50}})
        << 2 << 2 << 0 << 0 << 100 << 50 << 10.0 << 5.0;
}

void TestSheetGrid::derive()
{
    QFETCH(SheetFormat, format);
    const DerivedSheetGrid g = deriveSheetGrid(format);
    QTEST(g.across, "across");
    QTEST(g.down, "down");
    QTEST(int(g.startX), "startX");
    QTEST(int(g.startY), "startY");
    QTEST(int(g.width), "width");
    QTEST(int(g.height), "height");
    QTEST(g.gapX, "gapX");
    QTEST(g.gapY, "gapY");
}

void TestSheetGrid::descriptionLineBreaksWrittenAsBlanks()
{
    const SheetFormat f =
        sheetFormatFromGrid(QStringLiteral("Zeile\r\nPO,1,1,1,1"), grid(10, 10, 1, 1, 0, 0, 0, 0));
    const QStringList lines = vrlFileLines(f);
    QCOMPARE(lines.size(), 4);
    QCOMPARE(lines[1], QStringLiteral("NA,Zeile  PO,1,1,1,1"));
}

QTEST_GUILESS_MAIN(TestSheetGrid)
#include "TestSheetGrid.moc"
