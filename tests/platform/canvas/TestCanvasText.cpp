// Pixel tests of QPainterCanvas text: faces, heights, the reference point,
// rotation and the printer's mapping.
#include "canvastesthelpers.h"

#include "platform/canvas/qpaintercanvas.h"

#include <QFontInfo>
#include <QFontMetricsF>
#include <QPainter>
#include <QtTest>

using namespace qm;
using namespace qm::test;

namespace {

// Draws the text on a white page and returns the page.
QImage drawText(QSize size, QPoint at, const QString &text, const CanvasFont &font)
{
    QImage page = whitePage(size.width(), size.height());
    QPainter painter(&page);
    QPainterCanvas canvas(painter);
    canvas.setTransparentBackground();
    canvas.setFont(font);
    canvas.text(at.x(), at.y(), text);
    return page;
}

QFont deviceFontFor(const CanvasFont &font, int dotsPerInch = 96, bool printerMapping = false)
{
    QImage page = whitePage(10, 10, dotsPerInch);
    QPainter painter(&page);
    if (printerMapping) {
        painter.setWindow(0, 0, 635, 635);
        painter.setViewport(0, 0, 3000, 3000);
    }
    QPainterCanvas canvas(painter);
    canvas.setFont(font);
    return canvas.deviceFont();
}

} // namespace

class TestCanvasText : public QObject
{
    Q_OBJECT

private slots:
    void facesResolve_data();
    void facesResolve();
    void cellHeightIsAscentPlusDescent_data();
    void cellHeightIsAscentPlusDescent();
    void textHangsBelowReferencePoint();
    void cellHeightGivesSmallerTextThanEmHeight();
    void rotationTurnsCounterClockwiseAboutReferencePoint_data();
    void rotationTurnsCounterClockwiseAboutReferencePoint();
    void printerMappingSizesFontInLogicalUnits();
    void textColourAndBackground();
    void fontsMadeOnceStillFollowEveryChange();
    void textSizeIsWhatTextDraws_data();
    void textSizeIsWhatTextDraws();
};

void TestCanvasText::facesResolve_data()
{
    QTest::addColumn<QString>("face");
    QTest::addColumn<QString>("family");
    QTest::newRow("Arial") << "Arial"
                           << "Liberation Sans";
    QTest::newRow("arial, other case") << "arial"
                                       << "Liberation Sans";
    QTest::newRow("Times New Roman") << "Times New Roman"
                                     << "Liberation Serif";
    QTest::newRow("Courier New") << "Courier New"
                                 << "Liberation Mono";
    QTest::newRow("Small Fonts") << "Small Fonts"
                                 << "DejaVu Sans";
}

void TestCanvasText::facesResolve()
{
    QFETCH(QString, face);
    QFETCH(QString, family);
    const QFont font = deviceFontFor(CanvasFont { face, -11, 0, 700, true });
    const QFontInfo info(font);
    QCOMPARE(info.family(), family);
    QCOMPARE(info.weight(), int(QFont::Bold));
    QVERIFY(info.italic());
    QCOMPARE(font.pixelSize(), 11);
}

void TestCanvasText::cellHeightIsAscentPlusDescent_data()
{
    QTest::addColumn<QString>("face");
    QTest::addColumn<int>("height");
    QTest::newRow("Arial 11") << "Arial" << 11;
    QTest::newRow("Arial 40") << "Arial" << 40;
    QTest::newRow("Times New Roman 30") << "Times New Roman" << 30;
    QTest::newRow("Courier New 25") << "Courier New" << 25;
}

void TestCanvasText::cellHeightIsAscentPlusDescent()
{
    QFETCH(QString, face);
    QFETCH(int, height);
    const QFont cell = deviceFontFor(CanvasFont { face, height });
    const QFontMetricsF metrics(cell);
    QVERIFY2(std::abs(metrics.ascent() + metrics.descent() - height) <= 1.0,
        qPrintable(QStringLiteral("cell %1").arg(metrics.ascent() + metrics.descent())));
    // The same number as a character height makes a larger font.
    QVERIFY(cell.pixelSize() < deviceFontFor(CanvasFont { face, -height }).pixelSize());
}

void TestCanvasText::textHangsBelowReferencePoint()
{
    const QImage page = drawText(
        { 200, 120 }, { 20, 30 }, QStringLiteral("Hallo"), CanvasFont { QStringLiteral("Arial"), -40 });
    const QRect ink = inkBounds(page);
    // Liberation Sans: ascent 0.905 em, capitals 0.688 em high, so the top of
    // the "H" is about 8.7 pixels below the top of the cell.
    QVERIFY2(ink.top() >= 35 && ink.top() <= 40, qPrintable(QString::number(ink.top())));
    // Baseline one ascent (36 pixels) below y.
    QVERIFY2(std::abs(ink.bottom() - 66) <= 1, qPrintable(QString::number(ink.bottom())));
    QVERIFY2(ink.left() >= 20 && ink.left() <= 25, qPrintable(QString::number(ink.left())));
}

void TestCanvasText::cellHeightGivesSmallerTextThanEmHeight()
{
    const QString text = QStringLiteral("HHH");
    const QRect em = inkBounds(drawText({ 200, 80 }, { 10, 10 }, text, CanvasFont { "Arial", -40 }));
    const QRect cell = inkBounds(drawText({ 200, 80 }, { 10, 10 }, text, CanvasFont { "Arial", 40 }));
    // Em over cell height of Liberation Sans is 2048 / 2288 = 0.895.
    const qreal ratio = qreal(cell.height()) / em.height();
    QVERIFY2(ratio > 0.85 && ratio < 0.94, qPrintable(QString::number(ratio)));
    QVERIFY(cell.width() < em.width());
}

void TestCanvasText::rotationTurnsCounterClockwiseAboutReferencePoint_data()
{
    // Where the ink lies from the reference point (100, 100): the side along
    // the baseline and the side the glyphs' cells hang to.
    QTest::addColumn<int>("escapement");
    QTest::addColumn<QRect>("region"); // ink must lie inside
    QTest::addColumn<bool>("upright"); // taller than wide

    // Unturned: to the right and below.
    QTest::newRow("0") << 0 << QRect(QPoint(100, 100), QPoint(199, 199)) << false;
    // 90 degrees: runs upwards, the cells hang to the right.
    QTest::newRow("90") << 900 << QRect(QPoint(100, 0), QPoint(199, 100)) << true;
    // 180 degrees: runs to the left upside down, cells above.
    QTest::newRow("180") << 1800 << QRect(QPoint(0, 0), QPoint(100, 100)) << false;
    // 270 degrees: runs downwards, cells to the left.
    QTest::newRow("270") << 2700 << QRect(QPoint(0, 100), QPoint(100, 199)) << true;
}

void TestCanvasText::rotationTurnsCounterClockwiseAboutReferencePoint()
{
    QFETCH(int, escapement);
    QFETCH(QRect, region);
    QFETCH(bool, upright);

    const QImage page = drawText({ 200, 200 }, { 100, 100 }, QStringLiteral("HHHH"),
        CanvasFont { QStringLiteral("Arial"), -30, escapement });
    const QRect ink = inkBounds(page);
    QVERIFY2(region.contains(ink),
        qPrintable(
            QStringLiteral("ink %1,%2 %3x%4").arg(ink.x()).arg(ink.y()).arg(ink.width()).arg(ink.height())));
    QCOMPARE(ink.height() > ink.width(), upright);
    // The first glyph starts next to the reference point, not a cell away.
    const int gap = std::min({ std::abs(ink.left() - 100), std::abs(ink.right() - 100),
        std::abs(ink.top() - 100), std::abs(ink.bottom() - 100) });
    QVERIFY2(gap <= 4, qPrintable(QString::number(gap)));
}

void TestCanvasText::printerMappingSizesFontInLogicalUnits()
{
    // 25 units (1 cm) of character height at 300 dpi are 118 pixels.
    QCOMPARE(deviceFontFor(CanvasFont { "Arial", -25 }, 300, true).pixelSize(), 118);

    QImage page = whitePage(600, 300, 300);
    {
        QPainter painter(&page);
        painter.setWindow(0, 0, 635, 635);
        painter.setViewport(0, 0, 3000, 3000);
        QPainterCanvas canvas(painter);
        canvas.setTransparentBackground();
        canvas.setFont(CanvasFont { "Arial", -25 });
        canvas.text(10, 10, QStringLiteral("H"));
    }
    const QRect ink = inkBounds(page);
    // Capitals are 0.688 em: 81 pixels; the cell starts at 47 pixels.
    QVERIFY2(std::abs(ink.height() - 81) <= 2, qPrintable(QString::number(ink.height())));
    QVERIFY2(ink.top() > 47 + 20 && ink.top() < 47 + 40, qPrintable(QString::number(ink.top())));
    QVERIFY2(ink.left() >= 47 && ink.left() < 47 + 20, qPrintable(QString::number(ink.left())));
}

void TestCanvasText::textColourAndBackground()
{
    for (bool transparent : { false, true }) {
        QImage page = whitePage(120, 60);
        {
            QPainter painter(&page);
            QPainterCanvas canvas(painter);
            canvas.fillRect(0, 0, 120, 60, Qt::black);
            if (transparent) {
                canvas.setTransparentBackground();
            }
            canvas.setTextColour(Qt::red);
            canvas.setFont(CanvasFont { "Arial", -30, 0, 700 });
            canvas.text(10, 10, QStringLiteral("I"));
        }
        // Inside the cell beside the glyph: the background or the page.
        QCOMPARE(page.pixel(11, 12), transparent ? qRgb(0, 0, 0) : qRgb(255, 255, 255));
        bool red = false;
        for (int x = 10; x < 30; ++x) {
            red = red || page.pixel(x, 30) == qRgb(255, 0, 0);
        }
        QVERIFY(red);
    }
}

QTEST_MAIN(TestCanvasText)
// One canvas draws several fonts in turn, each twice, and again under a
// changed mapping; every text must look as it does on a canvas of its own.
void TestCanvasText::fontsMadeOnceStillFollowEveryChange()
{
    const QList<CanvasFont> fonts {
        { "Arial", -20, 0, 400, false },
        { "Arial", -20, 0, 700, false },
        { "Arial", -20, 0, 400, true },
        { "Arial", 20, 0, 400, false },
        { "Times New Roman", -20, 0, 400, false },
        { "Arial", -20, 900, 400, false },
    };
    const QSize size(120, 120);
    const QPoint at(40, 50);
    for (const bool doubled : { false, true }) {
        QImage shared = whitePage(size.width(), size.height());
        QPainter painter(&shared);
        QPainterCanvas canvas(painter);
        canvas.setTransparentBackground();
        if (doubled) {
            painter.scale(2, 2);
        }
        for (int round = 0; round < 2; ++round) {
            for (const CanvasFont &font : fonts) {
                painter.save();
                painter.resetTransform();
                painter.fillRect(shared.rect(), Qt::white);
                painter.restore();
                canvas.setFont(font);
                canvas.text(at.x(), at.y(), "Hg");

                QImage alone = whitePage(size.width(), size.height());
                QPainter own(&alone);
                if (doubled) {
                    own.scale(2, 2);
                }
                QPainterCanvas fresh(own);
                fresh.setTransparentBackground();
                fresh.setFont(font);
                fresh.text(at.x(), at.y(), "Hg");
                own.end();
                QVERIFY2(shared == alone,
                    qPrintable(QString("%1 %2 %3 scaled %4")
                                   .arg(font.face)
                                   .arg(font.height)
                                   .arg(font.weight)
                                   .arg(doubled)));
            }
        }
    }
}


void TestCanvasText::textSizeIsWhatTextDraws_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<int>("height");
    QTest::addColumn<bool>("printerMapping"); // 635 units to 3000 pixels
    QTest::newRow("umlauts, cell height") << QStringLiteral("Müller-Lüdenscheidt") << 40 << false;
    QTest::newRow("wide letters") << QStringLiteral("WWWWMMMM") << -30 << false;
    QTest::newRow("ligatures if any") << QStringLiteral("office fifty ffl") << -30 << false;
    QTest::newRow("beyond Latin-1") << QStringLiteral("Łukasz Żółć") << -30 << false;
    QTest::newRow("printer mapping") << QStringLiteral("Musterstraße 12") << 11 << true;
}

// textSize() gives the advance and the cell that text() draws with: the
// device's own measure of the whole line, and the ink of the drawn line ends
// where the advance says.
void TestCanvasText::textSizeIsWhatTextDraws()
{
    QFETCH(QString, text);
    QFETCH(int, height);
    QFETCH(bool, printerMapping);
    const CanvasFont font { QStringLiteral("Arial"), height };
    QImage page = whitePage(printerMapping ? 1200 : 700, 200);
    QSizeF size;
    QFont device;
    qreal scale = 1;
    {
        QPainter painter(&page);
        if (printerMapping) {
            painter.setWindow(0, 0, 635, 635);
            painter.setViewport(0, 0, 3000, 3000);
            scale = 3000.0 / 635.0;
        }
        QPainterCanvas canvas(painter);
        canvas.setTransparentBackground();
        canvas.setFont(CanvasFont { QStringLiteral("Times New Roman"), -12 });
        size = canvas.textSize(font, text);
        // The current font stays.
        QCOMPARE(canvas.deviceFont().family(), QStringLiteral("Liberation Serif"));
        canvas.setFont(font);
        device = canvas.deviceFont();
        canvas.text(10, 5, text);
    }
    const QFontMetricsF metrics(device, &page);
    QVERIFY2(std::abs(size.width() * scale - metrics.horizontalAdvance(text)) < 0.5,
        qPrintable(QStringLiteral("%1 / %2").arg(size.width() * scale).arg(metrics.horizontalAdvance(text))));
    QVERIFY2(std::abs(size.height() * scale - (metrics.ascent() + metrics.descent())) < 0.01,
        qPrintable(QString::number(size.height() * scale)));
    if (height > 0 && !printerMapping)
        QVERIFY(std::abs(size.height() - height) <= 1.0);
    const QRect ink = inkBounds(page);
    const qreal right = 10 * scale + size.width() * scale;
    const qreal em = device.pixelSize();
    QVERIFY2(ink.right() <= right + 1 && ink.right() >= right - 0.25 * em,
        qPrintable(QStringLiteral("ink to %1, advance to %2").arg(ink.right()).arg(right)));
    QVERIFY(ink.bottom() <= 5 * scale + size.height() * scale + 1);
}

#include "TestCanvasText.moc"
