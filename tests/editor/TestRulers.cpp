// The rulers beside the editor's workspace: cleared white, then centimetre
// ticks with their numbers and half-centimetre marks, moved with the scroll
// position; 0..21 cm across and 0..29 cm down.
#include "editor/workspacedrawing.h"
#include "platform/canvas/qpaintercanvas.h"
#include "platform/canvas/recordingcanvas.h"

#include <QImage>
#include <QPainter>
#include <QTest>

using namespace qm;

namespace {

// What a ruler drew: its lines as "x1,y1-x2,y2" (moveto then lineto) and its
// texts as "x,y text".
struct Ruler
{
    QStringList lines;
    QStringList texts;
    QStringList fonts; // of the texts
};

Ruler readRuler(const RecordingCanvas &canvas)
{
    Ruler ruler;
    QString from;
    for (const RecordingCanvas::Call &call : canvas.calls()) {
        if (call.op == QLatin1String("moveto")) {
            from = call.args.value(0);
        } else if (call.op == QLatin1String("lineto")) {
            ruler.lines.append(from + QLatin1Char('-') + call.args.value(0));
            from = call.args.value(0);
        } else if (call.op == QLatin1String("text")) {
            QString text = call.args.value(1);
            ruler.texts.append(call.args.value(0) + QLatin1Char(' ') + text.mid(1, text.size() - 2));
            ruler.fonts.append(call.args.value(2));
        }
    }
    ruler.fonts.removeDuplicates();
    return ruler;
}

} // namespace

class TestRulers : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void clearingFillsBothRulersWhite_data();
    void clearingFillsBothRulersWhite();
    void ticksNumbersAndMarks_data();
    void ticksNumbersAndMarks();
    void topRulerOnPixels();
};

void TestRulers::clearingFillsBothRulersWhite_data()
{
    QTest::addColumn<int>("width");
    QTest::addColumn<int>("height");
    QTest::addColumn<QStringList>("top");
    QTest::addColumn<QStringList>("left");
    QTest::newRow("workspace 540 x 400")
        << 540 << 400 << QStringList { "fill 0,0,540,17 255,255,255", "pen 0,0,0 solid 1" }
        << QStringList { "fill 0,0,16,400 255,255,255", "pen 0,0,0 solid 1" };
    QTest::newRow("nothing visible") << 0 << 0
                                     << QStringList { "fill 0,0,0,17 255,255,255", "pen 0,0,0 solid 1" }
                                     << QStringList { "fill 0,0,16,0 255,255,255", "pen 0,0,0 solid 1" };
}

void TestRulers::clearingFillsBothRulersWhite()
{
    QFETCH(int, width);
    QFETCH(int, height);
    QFETCH(QStringList, top);
    QFETCH(QStringList, left);
    RecordingCanvas topCanvas, leftCanvas;
    LinealLoeschen(topCanvas, leftCanvas, width, height);
    QCOMPARE(topCanvas.log(), top);
    QCOMPARE(leftCanvas.log(), left);
}

void TestRulers::ticksNumbersAndMarks_data()
{
    QTest::addColumn<int>("scrollX");
    QTest::addColumn<int>("scrollY");
    // Items that must be among what the rulers drew.
    QTest::addColumn<QStringList>("topLines");
    QTest::addColumn<QStringList>("topTexts");
    QTest::addColumn<QStringList>("leftLines");
    QTest::addColumn<QStringList>("leftTexts");

    QTest::newRow("not scrolled") << 0 << 0
                                  << QStringList { "0,16-540,16", "0,0-0,25", "25,0-25,25", "525,0-525,25",
                                         "12,10-12,25", "13,10-13,25", "512,10-512,25", "513,10-513,25" }
                                  << QStringList { "1,1 0", "26,1 1", "526,1 21" }
                                  << QStringList { "16,0-16,400", "0,0-16,0", "0,25-16,25", "0,725-16,725",
                                         "10,12-25,12", "10,13-25,13", "10,712-25,712", "10,713-25,713" }
                                  << QStringList { "2,1 0", "2,26 1", "2,726 29" };
    // Two centimetres to the right and three down: the numbers 0 and 1 lie
    // left of the ruler, 2 is at its start.
    QTest::newRow("scrolled by 2 and 3 cm")
        << 2 << 3
        << QStringList { "0,16-540,16", "-50,0--50,25", "0,0-0,25", "475,0-475,25", "-38,10--38,25",
               "-37,10--37,25", "462,10-462,25", "463,10-463,25" }
        << QStringList { "-49,1 0", "1,1 2", "476,1 21" }
        << QStringList { "16,0-16,400", "0,-75-16,-75", "0,0-16,0", "0,650-16,650", "10,-63-25,-63",
               "10,-62-25,-62", "10,637-25,637", "10,638-25,638" }
        << QStringList { "2,-74 0", "2,1 3", "2,651 29" };
}

void TestRulers::ticksNumbersAndMarks()
{
    QFETCH(int, scrollX);
    QFETCH(int, scrollY);
    QFETCH(QStringList, topLines);
    QFETCH(QStringList, topTexts);
    QFETCH(QStringList, leftLines);
    QFETCH(QStringList, leftTexts);

    RecordingCanvas topCanvas, leftCanvas;
    LinealAnzeigen(topCanvas, leftCanvas, 540, 400, scrollX, scrollY);
    const Ruler top = readRuler(topCanvas);
    const Ruler left = readRuler(leftCanvas);

    // Across: base line, 22 ticks (0..21 cm) and 21 half-centimetre marks of
    // two lines each. Down: base line, 30 ticks (0..29) and 29 marks.
    QCOMPARE(top.lines.size(), 1 + 22 + 2 * 21);
    QCOMPARE(top.texts.size(), 22);
    QCOMPARE(left.lines.size(), 1 + 30 + 2 * 29);
    QCOMPARE(left.texts.size(), 30);
    for (const QString &line : topLines)
        QVERIFY2(top.lines.contains(line), qPrintable(line));
    for (const QString &text : topTexts)
        QVERIFY2(top.texts.contains(text), qPrintable(text));
    for (const QString &line : leftLines)
        QVERIFY2(left.lines.contains(line), qPrintable(line));
    for (const QString &text : leftTexts)
        QVERIFY2(left.texts.contains(text), qPrintable(text));
    // The numbers stop at 21 and 29: an A4 sheet.
    QVERIFY(!top.texts.last().endsWith(QLatin1String(" 22")));
    QVERIFY(!left.texts.last().endsWith(QLatin1String(" 30")));

    // "Small Fonts", 7 points at 96 pixels per inch: 9 pixels of character
    // height, in the black the rulers were cleared with.
    const QStringList font { QStringLiteral("face=Small Fonts h=-9 esc=0 w=400 i=0") };
    QCOMPARE(top.fonts, font);
    QCOMPARE(left.fonts, font);
}

void TestRulers::topRulerOnPixels()
{
    // The top ruler as the editor shows it: 17 pixels high.
    QImage topImage(120, RulerSize, QImage::Format_RGB32);
    QImage leftImage(RulerSize, 80, QImage::Format_RGB32);
    topImage.fill(Qt::red);
    leftImage.fill(Qt::red);
    {
        QPainter topPainter(&topImage);
        QPainter leftPainter(&leftImage);
        QPainterCanvas top(topPainter);
        QPainterCanvas left(leftPainter);
        LinealLoeschen(top, left, topImage.width(), leftImage.height());
        LinealAnzeigen(top, left, topImage.width(), leftImage.height(), 0, 0);
    }
    const auto black = [](const QImage &image, int x, int y) { return qGray(image.pixel(x, y)) < 100; };
    const auto white
        = [](const QImage &image, int x, int y) { return image.pixel(x, y) == qRgb(255, 255, 255); };
    // Cleared: nothing of the red underneath is left. The left ruler is
    // filled to column 15, its base line takes column 16.
    const auto noRed = [](const QImage &image) {
        for (int y = 0; y < image.height(); ++y) {
            for (int x = 0; x < image.width(); ++x) {
                if (image.pixel(x, y) == qRgb(255, 0, 0))
                    return false;
            }
        }
        return true;
    };
    QVERIFY(noRed(topImage));
    QVERIFY(noRed(leftImage));
    for (int y = 0; y < RulerSize - 1; ++y) {
        // Tick at 1 cm: from the top down to the ruler's lower edge.
        QVERIFY2(black(topImage, 25, y), qPrintable(QString::number(y)));
        QVERIFY(black(leftImage, y, 25));
    }
    // Half-centimetre marks: two columns from row 10 down; above them paper.
    for (int x : { 37, 38 }) {
        QVERIFY(white(topImage, x, 8));
        QVERIFY(black(topImage, x, 10));
        QVERIFY(black(topImage, x, 15));
    }
    QVERIFY(white(topImage, 36, 12));
    QVERIFY(white(topImage, 39, 12));
    // Base lines along the workspace edge.
    QVERIFY(black(topImage, 60, 16));
    QVERIFY(black(leftImage, 16, 60));
    // The number 1 stands right of its tick, inside the ruler.
    bool ink = false;
    for (int y = 1; y < 12; ++y) {
        for (int x = 26; x < 36; ++x)
            ink = ink || black(topImage, x, y);
    }
    QVERIFY(ink);
}

QTEST_MAIN(TestRulers)
#include "TestRulers.moc"
