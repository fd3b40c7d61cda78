#include "controls/colorgrid.h"

#include <QSignalSpy>
#include <QTest>

using namespace qm;

namespace {

// The editor's grid: 8 x 2 cells of 20 x 16 pixels.
struct EditorGrid
{
    EditorGrid()
    {
        grid.setGridOrdering(TColorGrid::go8x2);
        grid.resize(160, 32);
        grid.show();
    }
    TColorGrid grid;
};

QImage grab(TColorGrid &grid)
{
    return grid.grab().toImage().convertToFormat(QImage::Format_RGB32);
}

} // namespace

class TestColorGrid : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void defaults();
    void orderingAndSnapping_data();
    void orderingAndSnapping();
    void leftClickSetsForegroundOtherButtonBackground();
    void dragKeepsSettingTheSameColour();
    void setterIgnoresSameDisabledAndOutOfRange();
    void clickEnablesDisabledColour();
    void markers_data();
    void markers();
    void markerColourContrasts_data();
    void markerColourContrasts();
    void keys_data();
    void keys();
    void letterKeysPickSelection();
    void cellsArePaintedInPaletteColours();
};

void TestColorGrid::defaults()
{
    TColorGrid grid;
    QCOMPARE(grid.gridOrdering(), TColorGrid::go4x4);
    QCOMPARE(grid.size(), QSize(100, 100));
    QCOMPARE(grid.cellWidth(), 25);
    QCOMPARE(grid.foregroundIndex(), 0);
    QCOMPARE(grid.backgroundIndex(), 0);
    QVERIFY(grid.foregroundEnabled());
    QVERIFY(grid.backgroundEnabled());
    QVERIFY(!grid.clickEnablesColor());
    QCOMPARE(grid.selection(), 0);
    QVERIFY(!grid.tabStop());
    QCOMPARE(grid.focusPolicy(), Qt::NoFocus);
}

void TestColorGrid::orderingAndSnapping_data()
{
    QTest::addColumn<int>("ordering");
    QTest::addColumn<QSize>("requested");
    QTest::addColumn<QSize>("size");
    QTest::addColumn<QSize>("cell");
    QTest::addColumn<QPoint>("point");
    QTest::addColumn<int>("index");
    QTest::newRow("8x2 exact") << 1 << QSize(160, 32) << QSize(160, 32) << QSize(20, 16) << QPoint(45, 20)
                               << 10;
    QTest::newRow("8x2 snaps") << 1 << QSize(161, 33) << QSize(160, 32) << QSize(20, 16) << QPoint(159, 31)
                               << 15;
    QTest::newRow("16x1") << 0 << QSize(170, 10) << QSize(160, 10) << QSize(10, 10) << QPoint(35, 5) << 3;
    QTest::newRow("1x16") << 4 << QSize(10, 170) << QSize(10, 160) << QSize(10, 10) << QPoint(5, 35) << 3;
    QTest::newRow("clamped outside") << 2 << QSize(80, 80) << QSize(80, 80) << QSize(20, 20)
                                     << QPoint(500, -9) << 3;
}

void TestColorGrid::orderingAndSnapping()
{
    QFETCH(int, ordering);
    QFETCH(QSize, requested);
    TColorGrid grid;
    grid.setGridOrdering(static_cast<TColorGrid::GridOrdering>(ordering));
    grid.show();
    grid.resize(requested);
    QTEST(grid.size(), "size");
    QTEST(QSize(grid.cellWidth(), grid.cellHeight()), "cell");
    QFETCH(QPoint, point);
    QTEST(grid.cellAt(point), "index");
}

void TestColorGrid::leftClickSetsForegroundOtherButtonBackground()
{
    EditorGrid g;
    QSignalSpy changed(&g.grid, &TColorGrid::changed);
    QSignalSpy clicked(&g.grid, &TColorGrid::clicked);
    QTest::mouseClick(&g.grid, Qt::LeftButton, {}, QPoint(45, 20));
    QCOMPARE(g.grid.foregroundIndex(), 10);
    QCOMPARE(g.grid.backgroundIndex(), 0);
    QCOMPARE(g.grid.selection(), 10);
    QCOMPARE(TColorGrid::cellColour(10), QColor(0, 255, 0));
    QCOMPARE(changed.count(), 1);
    QCOMPARE(clicked.count(), 1);

    QTest::mouseClick(&g.grid, Qt::RightButton, {}, QPoint(5, 5));
    QCOMPARE(g.grid.backgroundIndex(), 0); // unchanged: no change signal
    QCOMPARE(changed.count(), 1);
    QTest::mouseClick(&g.grid, Qt::RightButton, {}, QPoint(25, 5));
    QCOMPARE(g.grid.backgroundIndex(), 1);
    QCOMPARE(g.grid.foregroundIndex(), 10);
    QCOMPARE(g.grid.selection(), 1);
    QCOMPARE(changed.count(), 2);
}

void TestColorGrid::dragKeepsSettingTheSameColour()
{
    EditorGrid g;
    QTest::mousePress(&g.grid, Qt::RightButton, {}, QPoint(5, 5));
    QMouseEvent move(QEvent::MouseMove, QPointF(65, 20), QPointF(65, 20), Qt::NoButton, Qt::RightButton, {});
    QApplication::sendEvent(&g.grid, &move);
    QCOMPARE(g.grid.backgroundIndex(), 11);
    QCOMPARE(g.grid.foregroundIndex(), 0);
    QCOMPARE(g.grid.selection(), 11);
    QTest::mouseRelease(&g.grid, Qt::RightButton, {}, QPoint(65, 20));
    // Without a button held, moving picks nothing.
    QMouseEvent hover(QEvent::MouseMove, QPointF(5, 5), QPointF(5, 5), Qt::NoButton, Qt::NoButton, {});
    QApplication::sendEvent(&g.grid, &hover);
    QCOMPARE(g.grid.backgroundIndex(), 11);
}

void TestColorGrid::setterIgnoresSameDisabledAndOutOfRange()
{
    TColorGrid grid;
    QSignalSpy changed(&grid, &TColorGrid::changed);
    grid.setForegroundIndex(0);
    grid.setForegroundIndex(16);
    grid.setBackgroundIndex(-1);
    QCOMPARE(changed.count(), 0);
    grid.setForegroundEnabled(false);
    grid.setForegroundIndex(5);
    QCOMPARE(grid.foregroundIndex(), 0);
    QCOMPARE(changed.count(), 0);
    grid.setBackgroundIndex(5);
    QCOMPARE(grid.backgroundIndex(), 5);
    QCOMPARE(changed.count(), 1);
}

void TestColorGrid::clickEnablesDisabledColour()
{
    EditorGrid g;
    g.grid.setForegroundEnabled(false);
    g.grid.setBackgroundEnabled(false);
    // A click on the cell of the old index still counts as a change once
    // the colour is switched on.
    QTest::mouseClick(&g.grid, Qt::LeftButton, {}, QPoint(5, 5));
    QVERIFY(!g.grid.foregroundEnabled());
    QCOMPARE(g.grid.selection(), 0);

    g.grid.setClickEnablesColor(true);
    QSignalSpy changed(&g.grid, &TColorGrid::changed);
    QTest::mouseClick(&g.grid, Qt::LeftButton, {}, QPoint(5, 5));
    QVERIFY(g.grid.foregroundEnabled());
    QVERIFY(!g.grid.backgroundEnabled());
    QCOMPARE(g.grid.foregroundIndex(), 0);
    QCOMPARE(changed.count(), 1);
    QCOMPARE(g.grid.markerText(0), QStringLiteral("VG"));
}

void TestColorGrid::markers_data()
{
    QTest::addColumn<bool>("fgOn");
    QTest::addColumn<bool>("bgOn");
    QTest::addColumn<int>("fg");
    QTest::addColumn<int>("bg");
    QTest::addColumn<QStringList>("expected"); // markers of cells 0..3
    QTest::newRow("same cell") << true << true << 2 << 2 << QStringList { "", "", "VH", "" };
    QTest::newRow("apart") << true << true << 1 << 3 << QStringList { "", "VG", "", "HG" };
    QTest::newRow("only foreground") << true << false << 2 << 2 << QStringList { "", "", "VG", "" };
    QTest::newRow("only background") << false << true << 2 << 2 << QStringList { "", "", "HG", "" };
    QTest::newRow("both off") << false << false << 2 << 2 << QStringList { "", "", "", "" };
}

void TestColorGrid::markers()
{
    QFETCH(bool, fgOn);
    QFETCH(bool, bgOn);
    QFETCH(int, fg);
    QFETCH(int, bg);
    QFETCH(QStringList, expected);
    TColorGrid grid;
    grid.setForegroundIndex(fg);
    grid.setBackgroundIndex(bg);
    grid.setForegroundEnabled(fgOn);
    grid.setBackgroundEnabled(bgOn);
    QStringList markers;
    for (int i = 0; i < 4; ++i)
        markers << grid.markerText(i);
    QCOMPARE(markers, expected);
}

void TestColorGrid::markerColourContrasts_data()
{
    QTest::addColumn<int>("cell");
    QTest::addColumn<QColor>("marker");
    QTest::newRow("black") << 0 << QColor(255, 255, 255);
    QTest::newRow("dark red") << 1 << QColor(0, 255, 255);
    QTest::newRow("light grey") << 7 << QColor(0, 0, 0);
    QTest::newRow("dark grey") << 8 << QColor(0, 0, 0);
    QTest::newRow("blue") << 12 << QColor(255, 255, 0);
    QTest::newRow("white") << 15 << QColor(0, 0, 0);
}

void TestColorGrid::markerColourContrasts()
{
    QFETCH(int, cell);
    QTEST(TColorGrid::markerColour(cell), "marker");
}

void TestColorGrid::keys_data()
{
    QTest::addColumn<int>("ordering");
    QTest::addColumn<int>("start");
    QTest::addColumn<int>("key");
    QTest::addColumn<int>("expected");
    QTest::newRow("down from last wraps") << 2 << 15 << int(Qt::Key_Down) << 0;
    QTest::newRow("down bottom to next column") << 2 << 12 << int(Qt::Key_Down) << 1;
    QTest::newRow("down") << 2 << 5 << int(Qt::Key_Down) << 9;
    QTest::newRow("up") << 2 << 4 << int(Qt::Key_Up) << 0;
    QTest::newRow("up top to previous column") << 2 << 1 << int(Qt::Key_Up) << 12;
    QTest::newRow("up from first stays") << 2 << 0 << int(Qt::Key_Up) << 0;
    QTest::newRow("right wraps") << 2 << 15 << int(Qt::Key_Right) << 0;
    QTest::newRow("space") << 2 << 3 << int(Qt::Key_Space) << 4;
    QTest::newRow("left stops") << 2 << 0 << int(Qt::Key_Left) << 0;
    QTest::newRow("left") << 2 << 7 << int(Qt::Key_Left) << 6;
    QTest::newRow("home") << 2 << 7 << int(Qt::Key_Home) << 0;
    QTest::newRow("end") << 2 << 7 << int(Qt::Key_End) << 15;
    QTest::newRow("8x2 up to previous column") << 1 << 3 << int(Qt::Key_Up) << 10;
    QTest::newRow("8x2 down to next column") << 1 << 10 << int(Qt::Key_Down) << 3;
}

void TestColorGrid::keys()
{
    QFETCH(int, ordering);
    QFETCH(int, start);
    QFETCH(int, key);
    TColorGrid grid;
    grid.setGridOrdering(static_cast<TColorGrid::GridOrdering>(ordering));
    grid.setSelection(start);
    QSignalSpy changed(&grid, &TColorGrid::changed);
    QTest::keyClick(&grid, static_cast<Qt::Key>(key));
    QTEST(grid.selection(), "expected");
    QCOMPARE(changed.count(), 0); // moving the cursor picks no colour
}

void TestColorGrid::letterKeysPickSelection()
{
    TColorGrid grid;
    grid.setBackgroundEnabled(false);
    grid.setClickEnablesColor(true);
    grid.setSelection(6);
    QSignalSpy clicked(&grid, &TColorGrid::clicked);
    QTest::keyClick(&grid, Qt::Key_B);
    QVERIFY(grid.backgroundEnabled());
    QCOMPARE(grid.backgroundIndex(), 6);
    QTest::keyClick(&grid, Qt::Key_Right);
    QTest::keyClick(&grid, 'f');
    QCOMPARE(grid.foregroundIndex(), 7);
    QCOMPARE(clicked.count(), 2);
}

void TestColorGrid::cellsArePaintedInPaletteColours()
{
    EditorGrid g;
    g.grid.setCtl3D(false);
    g.grid.setForegroundEnabled(false);
    g.grid.setBackgroundEnabled(false);
    const QImage image = grab(g.grid);
    // Centre of each cell, away from outlines and markers.
    for (int i = 0; i < TColorGrid::CellCount; ++i) {
        const QPoint centre = g.grid.cellRect(i).topLeft() + QPoint(4, 4);
        QCOMPARE(QColor(image.pixel(centre)), TColorGrid::cellColour(i));
    }
    QCOMPARE(QColor(image.pixel(g.grid.cellRect(7).center())), QColor(192, 192, 192));
    QCOMPARE(QColor(image.pixel(g.grid.cellRect(8).center())), QColor(128, 128, 128));
    // Flat cells have a black outline.
    QCOMPARE(QColor(image.pixel(g.grid.cellRect(15).topLeft())), QColor(Qt::black));

    // A marker is drawn in its contrast colour inside the cell.
    g.grid.setForegroundEnabled(true);
    g.grid.setForegroundIndex(15);
    const QImage marked = grab(g.grid);
    bool found = false;
    const QRect cell = g.grid.cellRect(15).adjusted(2, 2, -2, -2);
    for (int y = cell.top(); y <= cell.bottom() && !found; ++y)
        for (int x = cell.left(); x <= cell.right() && !found; ++x)
            found = QColor(marked.pixel(x, y)).lightness() < 100;
    QVERIFY(found);
}

QTEST_MAIN(TestColorGrid)
#include "TestColorGrid.moc"
