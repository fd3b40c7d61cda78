#include "controls/kvdotpanel.h"
#include "platform/doubles/virtualtimerclock.h"

#include <QSignalSpy>
#include <QTest>
#include <QTimer>

using namespace qm;

namespace {

QTimer *scrollTimer(TKVDOTPanel &panel)
{
    return panel.findChild<QTimer *>(QStringLiteral("ScrollTimer"));
}

// 'L' lit, 'U' unlit, 'B' background: the colours the pixel tests use.
const QColor kBackground(10, 20, 30);
const QColor kLit(250, 0, 0);
const QColor kUnlit(0, 0, 200);

QColor colourOf(QChar kind)
{
    switch (kind.unicode()) {
    case u'L':
        return kLit;
    case u'U':
        return kUnlit;
    default:
        return kBackground;
    }
}

void useTestColours(TKVDOTPanel &panel)
{
    panel.setColor(kBackground);
    panel.setDOTHiColor(kLit);
    panel.setDOTLoColor(kUnlit);
}

} // namespace

// The dot-matrix panel: its properties, the scrolling on a virtual clock,
// the painted dots and the mouse events.
class TestKVDOTPanel : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void initialProperties();
    void sizeFollowsColumnsRowsAndDotSize_data();
    void sizeFollowsColumnsRowsAndDotSize();

    void scrollIntervalLimits_data();
    void scrollIntervalLimits();
    void characterScrollingMovesOneCharacterPerStep();
    void dotScrollingTakesSixStepsPerCharacter();
    void zeroPausesAndNegativeStopsAndResets();
    void captionRestartsTheText();

    void paintedDots_data();
    void paintedDots();
    void coloursChangeAtRunTime();
    void scrollingRowMovesOneDotPerStep();

    void mouseEvents();
};

void TestKVDOTPanel::initialProperties()
{
    TKVDOTPanel panel;
    QCOMPARE(panel.Caption(), QString());
    QCOMPARE(panel.Items(), QStringList { QStringLiteral("KVDOTPanel") });
    QCOMPARE(panel.Columns(), 10);
    QCOMPARE(panel.Rows(), 1);
    QCOMPARE(panel.DotSize(), 3);
    QCOMPARE(panel.Color(), QColor(0, 0, 0));
    QCOMPARE(panel.DOTHiColor(), QColor(0, 255, 0));
    QCOMPARE(panel.DOTLoColor(), QColor(0, 64, 0));
    QCOMPARE(panel.ScrollInterval(), 0);
    QCOMPARE(panel.ScrollChar(), false);
    QVERIFY(!panel.isScrolling());
    QCOMPARE(panel.size(), QSize(180, 27));
    QCOMPARE(panel.focusPolicy(), Qt::NoFocus);
    // The properties are reachable by name as well.
    QCOMPARE(panel.property("DOTHiColor").value<QColor>(), QColor(0, 255, 0));
    QVERIFY(panel.setProperty("Columns", 20));
    QCOMPARE(panel.width(), 360);
}

void TestKVDOTPanel::sizeFollowsColumnsRowsAndDotSize_data()
{
    QTest::addColumn<int>("columns");
    QTest::addColumn<int>("rows");
    QTest::addColumn<int>("dotSize");
    QTest::addColumn<int>("storedColumns");
    QTest::addColumn<int>("storedRows");
    QTest::addColumn<int>("storedDotSize");
    QTest::addColumn<QSize>("size");
    QTest::newRow("20 x 1, dot 3") << 20 << 1 << 3 << 20 << 1 << 3 << QSize(360, 27);
    QTest::newRow("3 x 2, dot 1") << 3 << 2 << 1 << 3 << 2 << 1 << QSize(18, 18);
    QTest::newRow("50 columns") << 50 << 1 << 2 << 50 << 1 << 2 << QSize(600, 18);
    QTest::newRow("51 columns cut to 50") << 51 << 1 << 1 << 50 << 1 << 1 << QSize(300, 9);
    QTest::newRow("dot size 0 becomes 1") << 4 << 1 << 0 << 4 << 1 << 1 << QSize(24, 9);
    QTest::newRow("dot size 21 becomes 20") << 2 << 1 << 21 << 2 << 1 << 20 << QSize(240, 180);
    QTest::newRow("no columns or rows: one each") << 0 << 0 << 3 << 1 << 1 << 3 << QSize(18, 27);
    QTest::newRow("negative values") << -4 << -2 << -1 << 1 << 1 << 1 << QSize(6, 9);
}

void TestKVDOTPanel::sizeFollowsColumnsRowsAndDotSize()
{
    QFETCH(int, columns);
    QFETCH(int, rows);
    QFETCH(int, dotSize);
    QFETCH(int, storedColumns);
    QFETCH(int, storedRows);
    QFETCH(int, storedDotSize);
    QFETCH(QSize, size);

    TKVDOTPanel panel;
    panel.setColumns(columns);
    panel.setRows(rows);
    panel.setDotSize(dotSize);
    QCOMPARE(panel.Columns(), storedColumns);
    QCOMPARE(panel.Rows(), storedRows);
    QCOMPARE(panel.DotSize(), storedDotSize);
    QCOMPARE(panel.size(), size);
    QCOMPARE(panel.grab().size(), size);
}

void TestKVDOTPanel::scrollIntervalLimits_data()
{
    QTest::addColumn<int>("set");
    QTest::addColumn<int>("stored");
    QTest::newRow("5 runs at 20") << 5 << 20;
    QTest::newRow("1 runs at 20") << 1 << 20;
    QTest::newRow("19 runs at 20") << 19 << 20;
    QTest::newRow("20") << 20 << 20;
    QTest::newRow("21") << 21 << 21;
    QTest::newRow("200") << 200 << 200;
    QTest::newRow("0 is static") << 0 << 0;
    QTest::newRow("negative counts as 0") << -5 << 0;
}

void TestKVDOTPanel::scrollIntervalLimits()
{
    QFETCH(int, set);
    QFETCH(int, stored);

    TKVDOTPanel panel;
    VirtualTimerClock clock;
    clock.watch(scrollTimer(panel));
    QSignalSpy steps(&panel, &TKVDOTPanel::OnScroll);
    panel.setScrollInterval(set);
    QCOMPARE(panel.ScrollInterval(), stored);
    QCOMPARE(panel.isScrolling(), stored > 0);

    if (stored == 0) {
        clock.advance(1000);
        QCOMPARE(steps.count(), 0);
        return;
    }
    clock.advance(stored - 1);
    QCOMPARE(steps.count(), 0);
    clock.advance(1);
    QCOMPARE(steps.count(), 1);
    clock.advance(10 * stored);
    QCOMPARE(steps.count(), 11);
}

void TestKVDOTPanel::characterScrollingMovesOneCharacterPerStep()
{
    TKVDOTPanel panel;
    VirtualTimerClock clock;
    clock.watch(scrollTimer(panel));
    QSignalSpy steps(&panel, &TKVDOTPanel::OnScroll);
    QSignalSpy characters(&panel, &TKVDOTPanel::OnStartText);
    panel.setColumns(4);
    panel.setCaption(QStringLiteral("Hallo"));
    panel.setScrollChar(true);
    panel.setScrollInterval(200);

    clock.advance(199);
    QCOMPARE(panel.textPosition(), 1);
    for (int n = 1; n <= 5; ++n) {
        clock.advance(n == 1 ? 1 : 200);
        QCOMPARE(panel.textPosition(), 1 + n);
        QCOMPARE(panel.pixelOffset(), 0);
        QCOMPARE(steps.count(), n);
        QCOMPARE(characters.count(), n);
    }
    // Lower-case text stays as typed; the glyphs show it in capitals.
    QCOMPARE(panel.displayString(), QStringLiteral("allo     "));
}

void TestKVDOTPanel::dotScrollingTakesSixStepsPerCharacter()
{
    TKVDOTPanel panel;
    VirtualTimerClock clock;
    clock.watch(scrollTimer(panel));
    QSignalSpy steps(&panel, &TKVDOTPanel::OnScroll);
    QSignalSpy characters(&panel, &TKVDOTPanel::OnStartText);
    panel.setScrollInterval(200);

    clock.advance(200);
    QCOMPARE(panel.pixelOffset(), -3);
    clock.advance(800);
    QCOMPARE(panel.pixelOffset(), -15);
    QCOMPARE(panel.textPosition(), 1);
    QCOMPARE(characters.count(), 0);
    clock.advance(200);
    QCOMPARE(panel.pixelOffset(), 0);
    QCOMPARE(panel.textPosition(), 2);
    QCOMPARE(steps.count(), 6);
    QCOMPARE(characters.count(), 1);
    clock.advance(1200);
    QCOMPARE(panel.textPosition(), 3);
    QCOMPARE(characters.count(), 2);
}

void TestKVDOTPanel::zeroPausesAndNegativeStopsAndResets()
{
    TKVDOTPanel panel;
    VirtualTimerClock clock;
    clock.watch(scrollTimer(panel));
    panel.setScrollInterval(100);
    clock.advance(700); // seven dot steps: one character and one dot
    QCOMPARE(panel.textPosition(), 2);
    QCOMPARE(panel.pixelOffset(), -3);

    panel.setScrollInterval(0);
    QVERIFY(!panel.isScrolling());
    clock.advance(1000);
    QCOMPARE(panel.textPosition(), 2);
    QCOMPARE(panel.pixelOffset(), -3);

    panel.setScrollInterval(100);
    clock.advance(100);
    QCOMPARE(panel.pixelOffset(), -6);

    panel.setScrollInterval(-1);
    QVERIFY(!panel.isScrolling());
    QCOMPARE(panel.ScrollInterval(), 0);
    QCOMPARE(panel.textPosition(), 1);
    QCOMPARE(panel.pixelOffset(), 0);
    clock.advance(1000);
    QCOMPARE(panel.textPosition(), 1);
}

void TestKVDOTPanel::captionRestartsTheText()
{
    TKVDOTPanel panel;
    VirtualTimerClock clock;
    clock.watch(scrollTimer(panel));
    panel.setScrollChar(true);
    panel.setScrollInterval(50);
    clock.advance(150);
    QCOMPARE(panel.textPosition(), 4);

    // Items alone do not restart the text.
    panel.setItems({ QStringLiteral("Eins"), QStringLiteral("Zwei") });
    QCOMPARE(panel.textPosition(), 4);

    panel.setCaption(QStringLiteral("Neu"));
    QCOMPARE(panel.Items(), QStringList { QStringLiteral("Neu") });
    QCOMPARE(panel.textPosition(), 1);
    QCOMPARE(panel.pixelOffset(), 0);
    QCOMPARE(panel.displayString(),
        QString(10, QLatin1Char(' ')) + QStringLiteral("N") + QString(10, QLatin1Char(' ')));
    QVERIFY(panel.isScrolling());

    clock.advance(100);
    QCOMPARE(panel.textPosition(), 3);
    panel.setCaption(QString());
    QCOMPARE(panel.Caption(), QString());
    QCOMPARE(panel.Items(), QStringList { QStringLiteral("Neu") });
    QCOMPARE(panel.textPosition(), 3);
}

void TestKVDOTPanel::paintedDots_data()
{
    // Probes "x,y,K": the pixel (x, y) shows K, 'L' a lit dot, 'U' an
    // unlit dot, 'B' the background between the dots.
    QTest::addColumn<int>("dotSize");
    QTest::addColumn<int>("columns");
    QTest::addColumn<int>("rows");
    QTest::addColumn<QStringList>("items");
    QTest::addColumn<QStringList>("probes");

    // "A": dot row 1 is .###., dot row 4 is #####. A dot of 3 pixels is lit
    // in its top-left 2 x 2 pixels.
    QTest::newRow("A at dot size 3") << 3 << 1 << 1 << QStringList { "A" }
                                     << QStringList { "0,0,U", "1,1,U", "2,2,B", "3,3,L", "4,4,L", "5,3,B",
                                            "3,5,B", "5,5,B", "0,3,U", "12,12,L", "15,12,U", "3,24,U",
                                            "9,3,L", "12,3,U" };
    QTest::newRow("A at dot size 1") << 1 << 1 << 1 << QStringList { "A" }
                                     << QStringList { "0,0,U", "1,0,U", "0,1,U", "1,1,L", "3,1,L", "4,1,U",
                                            "0,2,L", "4,4,L", "5,4,U", "0,8,U" };
    QTest::newRow("A at dot size 2") << 2 << 1 << 1 << QStringList { "A" }
                                     << QStringList { "2,2,L", "3,2,B", "2,3,B", "0,2,U", "1,2,B", "8,8,L",
                                            "10,8,U" };
    QTest::newRow("A at dot size 5") << 5 << 1 << 1 << QStringList { "A" }
                                     << QStringList { "5,5,L", "7,7,L", "8,5,B", "5,8,B", "9,9,B", "0,5,U",
                                            "2,7,U", "3,5,B" };
    // Cells side by side and below each other; a short line and a missing
    // line show blanks; small letters show as capitals.
    QTest::newRow("two rows of two cells")
        << 1 << 2 << 2 << QStringList { "xA", "I" }
        << QStringList { "0,1,L", "1,1,U", "7,1,L", "6,1,U", "6,2,L", "1,10,L", "3,10,L", "0,10,U", "4,10,U",
               "2,11,L", "0,11,U", "2,16,L", "7,10,U", "8,16,U", "6,12,U", "11,17,U" };
    QTest::newRow("line without glyphs shows blanks")
        << 1 << 2 << 1 << QStringList { QString::fromUtf8("ä~") }
        << QStringList { "0,0,U", "1,1,U", "2,2,U", "4,4,U", "7,3,U", "9,5,U", "11,8,U" };
    QTest::newRow("missing line shows blanks")
        << 3 << 1 << 2 << QStringList { "-" } << QStringList { "3,12,L", "3,39,U", "6,39,U", "9,39,U" };
}

void TestKVDOTPanel::paintedDots()
{
    QFETCH(int, dotSize);
    QFETCH(int, columns);
    QFETCH(int, rows);
    QFETCH(QStringList, items);
    QFETCH(QStringList, probes);

    TKVDOTPanel panel;
    useTestColours(panel);
    panel.setDotSize(dotSize);
    panel.setColumns(columns);
    panel.setRows(rows);
    panel.setItems(items);
    const QImage image = panel.grab().toImage();
    QCOMPARE(image.size(), QSize(columns * 6 * dotSize, rows * 9 * dotSize));
    for (const QString &probe : probes) {
        const QStringList parts = probe.split(QLatin1Char(','));
        const int x = parts.at(0).toInt();
        const int y = parts.at(1).toInt();
        QVERIFY2(QColor(image.pixel(x, y)) == colourOf(parts.at(2).at(0)), qPrintable(probe));
    }
}

void TestKVDOTPanel::coloursChangeAtRunTime()
{
    TKVDOTPanel panel;
    panel.setDotSize(3);
    panel.setItems({ QStringLiteral("A") });
    QImage image = panel.grab().toImage();
    QCOMPARE(QColor(image.pixel(3, 3)), QColor(0, 255, 0));
    QCOMPARE(QColor(image.pixel(0, 3)), QColor(0, 64, 0));
    QCOMPARE(QColor(image.pixel(2, 2)), QColor(0, 0, 0));

    useTestColours(panel);
    image = panel.grab().toImage();
    QCOMPARE(QColor(image.pixel(3, 3)), kLit);
    QCOMPARE(QColor(image.pixel(0, 3)), kUnlit);
    QCOMPARE(QColor(image.pixel(2, 2)), kBackground);
}

void TestKVDOTPanel::scrollingRowMovesOneDotPerStep()
{
    // Two columns, dot size 1, the text "I": cells are 6 pixels wide.
    TKVDOTPanel panel;
    useTestColours(panel);
    panel.setDotSize(1);
    panel.setColumns(2);
    panel.setCaption(QStringLiteral("I"));
    VirtualTimerClock clock;
    clock.watch(scrollTimer(panel));
    panel.setScrollInterval(20);

    // Only the first row is used while scrolling; a second row is empty.
    panel.setRows(2);
    clock.advance(6 * 20);
    QCOMPARE(panel.textPosition(), 2);
    QCOMPARE(panel.displayString().left(3), QStringLiteral(" I "));
    const QImage before = panel.grab().toImage();
    // "I" in cell 1: dot row 1 is .###. from pixel 6 on.
    QCOMPARE(QColor(before.pixel(6, 1)), kUnlit);
    QCOMPARE(QColor(before.pixel(7, 1)), kLit);
    QCOMPARE(QColor(before.pixel(9, 1)), kLit);
    QCOMPARE(QColor(before.pixel(10, 1)), kUnlit);
    QCOMPARE(QColor(before.pixel(7, 12)), kBackground);

    clock.advance(20);
    QCOMPARE(panel.pixelOffset(), -1);
    const QImage after = panel.grab().toImage();
    QCOMPARE(QColor(after.pixel(6, 1)), kLit);
    QCOMPARE(QColor(after.pixel(9, 1)), kUnlit);
    for (int y = 0; y < 9; ++y)
        for (int x = 0; x + 1 < before.width(); ++x)
            QVERIFY2(after.pixel(x, y) == before.pixel(x + 1, y),
                qPrintable(QStringLiteral("%1,%2").arg(x).arg(y)));
}

void TestKVDOTPanel::mouseEvents()
{
    TKVDOTPanel panel;
    QStringList events;
    connect(&panel, &TKVDOTPanel::OnMouseDown, &panel,
        [&](Qt::MouseButton button, Qt::KeyboardModifiers, QPoint pos) {
            events << QStringLiteral("down %1 %2,%3").arg(int(button)).arg(pos.x()).arg(pos.y());
        });
    connect(
        &panel, &TKVDOTPanel::OnMouseUp, &panel, [&](Qt::MouseButton button, Qt::KeyboardModifiers, QPoint) {
            events << QStringLiteral("up %1").arg(int(button));
        });
    connect(&panel, &TKVDOTPanel::OnClick, &panel, [&] { events << QStringLiteral("click"); });
    connect(&panel, &TKVDOTPanel::OnDblClick, &panel, [&] { events << QStringLiteral("double"); });
    connect(&panel, &TKVDOTPanel::OnMouseMove, &panel, [&](Qt::KeyboardModifiers, QPoint pos) {
        events << QStringLiteral("move %1,%2").arg(pos.x()).arg(pos.y());
    });
    panel.show();
    QVERIFY(QTest::qWaitForWindowExposed(&panel));

    QTest::mouseClick(&panel, Qt::LeftButton, {}, QPoint(10, 5));
    QCOMPARE(events, QStringList({ "down 1 10,5", "click", "up 1" }));
    events.clear();
    QTest::mouseClick(&panel, Qt::RightButton, {}, QPoint(10, 5));
    QCOMPARE(events, QStringList({ "down 2 10,5", "up 2" }));
    events.clear();
    QTest::mouseDClick(&panel, Qt::LeftButton, {}, QPoint(4, 4));
    QVERIFY(events.contains(QStringLiteral("double")));
    QCOMPARE(events.count(QStringLiteral("click")), 0);
    events.clear();
    QTest::mouseMove(&panel, QPoint(20, 6));
    QCOMPARE(events, QStringList { QStringLiteral("move 20,6") });
}

QTEST_MAIN(TestKVDOTPanel)
#include "TestKVDOTPanel.moc"
