// Pixel tests of QPainterCanvas: shapes, pens, the printer's mapping and
// bitmaps.
#include "canvastesthelpers.h"

#include "platform/canvas/qpaintercanvas.h"
#include "platform/errors.h"

#include <QBuffer>
#include <QPainter>
#include <QPdfWriter>
#include <QTemporaryDir>
#include <QtTest>

using namespace qm;
using namespace qm::test;

namespace {

const CanvasPen blackPen{Qt::black, PenStyle::Solid, 1};

// Lengths of the alternating ink and gap runs along row y from x0 on.
QList<int> runsAlongRow(const QImage &image, int y, int x0, int x1)
{
    QList<int> runs;
    bool ink = isInk(image, x0, y);
    int length = 0;
    for (int x = x0; x < x1; ++x) {
        if (isInk(image, x, y) == ink) {
            ++length;
        } else {
            runs.append(length);
            ink = !ink;
            length = 1;
        }
    }
    runs.append(length);
    return runs;
}

int inkRowsInColumn(const QImage &image, int x)
{
    int rows = 0;
    for (int y = 0; y < image.height(); ++y) {
        rows += isInk(image, x, y) ? 1 : 0;
    }
    return rows;
}

QString writeBitmap(const QTemporaryDir &dir, const QImage &image)
{
    const QString path = dir.filePath(QStringLiteral("bild.bmp"));
    if (!image.save(path, "BMP")) {
        return {};
    }
    return path;
}

// The printer's mapping of 25 logical units per centimetre on a 300 dpi
// page: 635 units are 10 inches.
void mapLikePrinter(QPainter &painter)
{
    painter.setWindow(0, 0, 635, 635);
    painter.setViewport(0, 0, 3000, 3000);
}

} // namespace

class TestCanvas : public QObject
{
    Q_OBJECT

private slots:
    void rectangleLeavesOutRightAndBottom_data();
    void rectangleLeavesOutRightAndBottom();
    void solidBrushFillsInsideHollowDoesNot();
    void fillRectCoversLeftToRightMinusOne();
    void manyRectanglesInTheirOwnUnits();
    void roundRectCornerIsHalfTheEllipse_data();
    void roundRectCornerIsHalfTheEllipse();
    void lineToLeavesOutEndPoint();
    void penPatterns_data();
    void penPatterns();
    void opaqueBackgroundFillsGapsOfDottedLines();
    void printerMappingPlacesOneCentimetre();
    void printerMappingPenWidths();
    void restoreBringsBackPenAndBrush();
    void stretchBitmap_data();
    void stretchBitmap();
    void andOnPdfLeavesWhiteOut();
    void loadBitmapErrors();
    void picturesAreReadByTheirContent_data();
    void picturesAreReadByTheirContent();
    void svgPictureIsDrawnInItsBox();
};

void TestCanvas::rectangleLeavesOutRightAndBottom_data()
{
    QTest::addColumn<QRect>("edges"); // x, y, width, height used as l, t, r, b
    QTest::newRow("plain") << QRect(10, 20, 50, 30);
    QTest::newRow("corners swapped") << QRect(50, 30, 10, 20);
}

void TestCanvas::rectangleLeavesOutRightAndBottom()
{
    QFETCH(QRect, edges);
    const int l = std::min(edges.x(), edges.width());
    const int r = std::max(edges.x(), edges.width());
    const int t = std::min(edges.y(), edges.height());
    const int b = std::max(edges.y(), edges.height());

    QImage page = whitePage(80, 60);
    {
        QPainter painter(&page);
        QPainterCanvas canvas(painter);
        canvas.setPen(blackPen);
        canvas.setHollowBrush();
        canvas.rectangle(edges.x(), edges.y(), edges.width(), edges.height());
    }
    QCOMPARE(inkBounds(page), QRect(QPoint(l, t), QPoint(r - 1, b - 1)));
    const int midY = (t + b) / 2;
    const int midX = (l + r) / 2;
    QVERIFY(isInk(page, l, midY));
    QVERIFY(isInk(page, r - 1, midY));
    QVERIFY(isInk(page, midX, t));
    QVERIFY(isInk(page, midX, b - 1));
    QVERIFY(!isInk(page, midX, midY));
}

void TestCanvas::solidBrushFillsInsideHollowDoesNot()
{
    QImage page = whitePage(40, 40);
    {
        QPainter painter(&page);
        QPainterCanvas canvas(painter);
        canvas.setPen(CanvasPen{Qt::black, PenStyle::Solid, 1});
        canvas.setSolidBrush(Qt::blue);
        canvas.rectangle(0, 0, 20, 20);
        canvas.setHollowBrush();
        canvas.rectangle(20, 20, 40, 40);
    }
    QCOMPARE(page.pixel(10, 10), qRgb(0, 0, 255));
    QCOMPARE(page.pixel(30, 30), qRgb(255, 255, 255));
    QCOMPARE(page.pixel(19, 10), qRgb(0, 0, 0));
}

void TestCanvas::fillRectCoversLeftToRightMinusOne()
{
    QImage page = whitePage(40, 40);
    {
        QPainter painter(&page);
        QPainterCanvas canvas(painter);
        canvas.fillRect(5, 6, 15, 26, Qt::black);
    }
    QCOMPARE(inkBounds(page), QRect(QPoint(5, 6), QPoint(14, 25)));
}

// The rectangles of fillRectsF land where fillRectF puts each of them once
// mapped into logical units, under the painter's scale too, and the
// current brush stays (a hollow rectangle drawn afterwards is not filled).
void TestCanvas::manyRectanglesInTheirOwnUnits()
{
    const std::vector<QRectF> modules { QRectF(0, 0, 2, 1), QRectF(3, 1, 1, 2), QRectF(1, 3, 1, 1) };
    const QPointF origin(5, 10);
    const double sx = 2.5, sy = 3;
    QImage once = whitePage(80, 80);
    QImage each = whitePage(80, 80);
    {
        QPainter painter(&once);
        painter.scale(2, 2);
        QPainterCanvas canvas(painter);
        canvas.setHollowBrush();
        canvas.fillRectsF(modules, origin, sx, sy, Qt::black);
        canvas.rectangle(25, 5, 35, 15);
    }
    {
        QPainter painter(&each);
        painter.scale(2, 2);
        QPainterCanvas canvas(painter);
        canvas.setHollowBrush();
        for (const QRectF &m : modules)
            canvas.fillRectF(
                QRectF(origin.x() + m.x() * sx, origin.y() + m.y() * sy, m.width() * sx, m.height() * sy),
                Qt::black);
        canvas.rectangle(25, 5, 35, 15);
    }
    QCOMPARE(once, each);
    QCOMPARE(inkBounds(once.copy(0, 0, 40, 80)), QRect(QPoint(10, 20), QPoint(29, 43)));
    QVERIFY(!isInk(once, 60, 20)); // inside the hollow rectangle
}

void TestCanvas::roundRectCornerIsHalfTheEllipse_data()
{
    QTest::addColumn<int>("ellipse");
    QTest::newRow("10 x 10") << 10;
    QTest::newRow("12 x 12") << 12;
    QTest::newRow("30 x 30") << 30;
}

void TestCanvas::roundRectCornerIsHalfTheEllipse()
{
    QFETCH(int, ellipse);
    QImage page = whitePage(120, 80);
    {
        QPainter painter(&page);
        QPainterCanvas canvas(painter);
        canvas.setPen(blackPen);
        canvas.setHollowBrush();
        canvas.roundRect(10, 10, 111, 71, ellipse, ellipse);
    }
    // The corner is a quarter circle of radius r = ellipse / 2: it meets the
    // top row about sqrt(2r - 1) pixels before the straight edge would end
    // at l + r, and crosses the diagonal r (1 - 1/sqrt 2) pixels in.
    const qreal radius = ellipse / 2.0;
    const QList<int> top = runsAlongRow(page, 10, 0, 120);
    QVERIFY2(top.size() >= 2, "top edge missing");
    const qreal topStart = 10 + radius - std::sqrt(2 * radius - 1);
    QVERIFY2(std::abs(top[0] - topStart) <= 1,
             qPrintable(QStringLiteral("top edge starts at %1").arg(top[0])));
    int diagonal = 0;
    // An aliased arc may step past the diagonal pixel itself.
    const auto inkNear = [&page](int x, int y) {
        return isInk(page, x, y) || isInk(page, x + 1, y) || isInk(page, x, y + 1);
    };
    while (diagonal < 40 && !inkNear(10 + diagonal, 10 + diagonal)) {
        ++diagonal;
    }
    const qreal diagonalStart = radius * (1 - 1 / std::sqrt(2.0));
    QVERIFY2(std::abs(diagonal - diagonalStart) <= 1,
             qPrintable(QStringLiteral("diagonal meets the corner at %1").arg(diagonal)));
    // Right and bottom edges are left out as for rectangles.
    QCOMPARE(inkBounds(page).bottomRight(), QPoint(110, 70));
}

void TestCanvas::lineToLeavesOutEndPoint()
{
    QImage page = whitePage(40, 40);
    {
        QPainter painter(&page);
        QPainterCanvas canvas(painter);
        canvas.setPen(CanvasPen{Qt::black, PenStyle::Solid, 0});
        canvas.moveTo(10, 10);
        canvas.lineTo(20, 10);
        canvas.lineTo(20, 30);
    }
    QCOMPARE(inkBounds(page), QRect(QPoint(10, 10), QPoint(20, 29)));
    QVERIFY(isInk(page, 19, 10));
    QVERIFY(isInk(page, 20, 10)); // start of the second line
    QVERIFY(!isInk(page, 20, 30));
}

void TestCanvas::penPatterns_data()
{
    QTest::addColumn<int>("style");
    QTest::addColumn<int>("width");
    QTest::addColumn<QList<int>>("firstRuns"); // ink, gap, ink, ...

    QTest::newRow("solid") << int(PenStyle::Solid) << 1 << QList<int>{200};
    QTest::newRow("dotted") << int(PenStyle::Dotted) << 1 << QList<int>{3, 3, 3, 3};
    QTest::newRow("dashed") << int(PenStyle::Dashed) << 1 << QList<int>{18, 6, 18, 6};
    QTest::newRow("dashed width 0") << int(PenStyle::Dashed) << 0 << QList<int>{18, 6, 18, 6};
    // Wider pens draw solid whatever their style.
    QTest::newRow("dotted width 3") << int(PenStyle::Dotted) << 3 << QList<int>{};
}

void TestCanvas::penPatterns()
{
    QFETCH(int, style);
    QFETCH(int, width);
    QFETCH(QList<int>, firstRuns);

    QImage page = whitePage(220, 20);
    {
        QPainter painter(&page);
        QPainterCanvas canvas(painter);
        canvas.setPen(CanvasPen{Qt::black, PenStyle(style), width});
        canvas.moveTo(0, 10);
        canvas.lineTo(200, 10);
    }
    const QList<int> runs = runsAlongRow(page, 10, 0, 220);
    if (firstRuns.isEmpty()) {
        QVERIFY(isInk(page, 100, 9) && isInk(page, 100, 11)); // three rows thick
        QCOMPARE(runs.size(), 2);
        QVERIFY(runs[0] >= 200);
        return;
    }
    QCOMPARE(runs.mid(0, firstRuns.size()), firstRuns);
    QCOMPARE(inkRowsInColumn(page, 0), 1);
}

void TestCanvas::opaqueBackgroundFillsGapsOfDottedLines()
{
    for (bool transparent : {false, true}) {
        QImage page = whitePage(40, 20);
        {
            QPainter painter(&page);
            QPainterCanvas canvas(painter);
            canvas.fillRect(0, 0, 40, 20, Qt::black);
            if (transparent) {
                canvas.setTransparentBackground();
            }
            canvas.setPen(CanvasPen{Qt::red, PenStyle::Dotted, 1});
            canvas.moveTo(0, 10);
            canvas.lineTo(30, 10);
        }
        QCOMPARE(page.pixel(0, 10), qRgb(255, 0, 0));
        QCOMPARE(page.pixel(4, 10), transparent ? qRgb(0, 0, 0) : qRgb(255, 255, 255));
    }
}

void TestCanvas::printerMappingPlacesOneCentimetre()
{
    QImage page = whitePage(400, 400, 300);
    {
        QPainter painter(&page);
        mapLikePrinter(painter);
        QPainterCanvas canvas(painter);
        QVERIFY(std::abs(canvas.deviceScale() - 3000.0 / 635.0) < 1e-9);
        canvas.setPen(CanvasPen{Qt::black, PenStyle::Solid, 0});
        canvas.setHollowBrush();
        canvas.rectangle(10, 10, 35, 35);
        canvas.fillRect(10, 50, 35, 60, Qt::black);
    }
    // 25 units are 1 cm, 118.1 pixels at 300 dpi; Windows leaves out one
    // device pixel, not one logical unit, at the right and bottom.
    const QList<int> outline = runsAlongRow(page, 100, 0, 400);
    QCOMPARE(outline.mid(0, 4), (QList<int>{47, 1, 116, 1}));
    const QList<int> filled = runsAlongRow(page, 260, 0, 400);
    QCOMPARE(filled.mid(0, 2), (QList<int>{47, 118}));
}

void TestCanvas::printerMappingPenWidths()
{
    QImage page = whitePage(800, 300, 300);
    {
        QPainter painter(&page);
        mapLikePrinter(painter);
        QPainterCanvas canvas(painter);
        canvas.setPen(CanvasPen{Qt::black, PenStyle::Solid, 1});
        canvas.moveTo(5, 10);
        canvas.lineTo(150, 10);
        canvas.setPen(CanvasPen{Qt::black, PenStyle::Dashed, 0});
        canvas.moveTo(5, 30);
        canvas.lineTo(150, 30);
        canvas.setPen(CanvasPen{Qt::black, PenStyle::Dashed, 1});
        canvas.moveTo(5, 50);
        canvas.lineTo(150, 50);
    }
    const int y10 = qRound(10 * 3000.0 / 635);
    const int y50 = qRound(50 * 3000.0 / 635);
    // The row of the dashed line (141.7 pixels down, rounded either way).
    int y30 = qRound(30 * 3000.0 / 635) - 2;
    while (y30 < 150 && runsAlongRow(page, y30, 24, 700).size() < 2) {
        ++y30;
    }
    // Width 1 is one unit (4.7 pixels, truncated to 4); width 0 one pixel.
    int rows = 0;
    for (int y = y10 - 5; y <= y10 + 5; ++y) {
        rows += isInk(page, 300, y) ? 1 : 0;
    }
    QCOMPARE(rows, 4);
    // A one-pixel dashed pen keeps its dashes, stretched to the page's 300
    // dpi (three times the screen's 18 on, 6 off).
    const QList<int> dashes = runsAlongRow(page, y30, 24, 700);
    QCOMPARE(dashes.mid(1, 4), (QList<int>{18, 54, 18, 54}));
    // A dashed pen one unit wide is wider than a pixel and draws solid.
    int dashedWideInk = 0;
    for (int x = 100; x < 600; ++x) {
        bool any = false;
        for (int y = y50 - 3; y <= y50 + 3; ++y) {
            any = any || isInk(page, x, y);
        }
        dashedWideInk += any ? 1 : 0;
    }
    QCOMPARE(dashedWideInk, 500);
}

void TestCanvas::restoreBringsBackPenAndBrush()
{
    QImage page = whitePage(60, 30);
    {
        QPainter painter(&page);
        QPainterCanvas canvas(painter);
        canvas.setPen(CanvasPen{Qt::red, PenStyle::Solid, 1});
        canvas.setSolidBrush(Qt::green);
        canvas.save();
        canvas.setPen(CanvasPen{Qt::blue, PenStyle::Solid, 3});
        canvas.setHollowBrush();
        canvas.rectangle(2, 2, 20, 20);
        canvas.restore();
        canvas.rectangle(30, 2, 50, 20);
    }
    QCOMPARE(page.pixel(10, 10), qRgb(255, 255, 255));
    QCOMPARE(page.pixel(2, 10), qRgb(0, 0, 255));
    QCOMPARE(page.pixel(30, 10), qRgb(255, 0, 0));
    QCOMPARE(page.pixel(31, 10), qRgb(0, 255, 0));
}

void TestCanvas::stretchBitmap_data()
{
    QTest::addColumn<int>("mix");
    QTest::addColumn<int>("width");
    QTest::addColumn<QList<QRgb>>("expected"); // left, middle, right third

    // The bitmap is black, 0x666666 and white; the page is 0x999999, whose
    // bits are the complement of 0x66: AND gives black there, where a blend
    // or a "darken" would not.
    const QRgb page = qRgb(0x99, 0x99, 0x99);
    QTest::newRow("and") << int(BitmapMix::And) << 60
                         << QList<QRgb>{qRgb(0, 0, 0), qRgb(0, 0, 0), page};
    QTest::newRow("copy") << int(BitmapMix::Copy) << 60
                          << QList<QRgb>{qRgb(0, 0, 0), qRgb(0x66, 0x66, 0x66),
                                         qRgb(255, 255, 255)};
    QTest::newRow("mirrored") << int(BitmapMix::Copy) << -60
                              << QList<QRgb>{qRgb(255, 255, 255), qRgb(0x66, 0x66, 0x66),
                                             qRgb(0, 0, 0)};
}

void TestCanvas::stretchBitmap()
{
    QFETCH(int, mix);
    QFETCH(int, width);
    QFETCH(QList<QRgb>, expected);

    QImage source(3, 1, QImage::Format_RGB32);
    source.setPixel(0, 0, qRgb(0, 0, 0));
    source.setPixel(1, 0, qRgb(0x66, 0x66, 0x66));
    source.setPixel(2, 0, qRgb(255, 255, 255));
    QTemporaryDir dir;
    const QString path = writeBitmap(dir, source);
    QVERIFY(!path.isEmpty());

    QImage page = whitePage(100, 40);
    {
        QPainter painter(&page);
        QPainterCanvas canvas(painter);
        QCOMPARE(canvas.andMethod(), QPainterCanvas::AndMethod::RasterOp);
        canvas.fillRect(0, 0, 100, 40, qRgb(0x99, 0x99, 0x99));
        const CanvasBitmap bitmap = canvas.loadBitmap(path);
        QCOMPARE(bitmap.width(), 3);
        const int x = width < 0 ? 80 : 20;
        canvas.stretchBitmap(bitmap, x, 10, width, 20, BitmapMix(mix));
    }
    // The area is x 20 .. 79, y 10 .. 29: thirds of 20 pixels each.
    QCOMPARE(page.pixel(30, 20), expected[0]);
    QCOMPARE(page.pixel(50, 20), expected[1]);
    QCOMPARE(page.pixel(70, 20), expected[2]);
    QCOMPARE(page.pixel(20, 10), expected[0]);
    QCOMPARE(page.pixel(79, 29), expected[2]);
    QCOMPARE(page.pixel(19, 20), qRgb(0x99, 0x99, 0x99));
    QCOMPARE(page.pixel(80, 20), qRgb(0x99, 0x99, 0x99));
    QCOMPARE(page.pixel(50, 30), qRgb(0x99, 0x99, 0x99));
}

void TestCanvas::andOnPdfLeavesWhiteOut()
{
    QImage source(2, 2, QImage::Format_RGB32);
    source.fill(Qt::white);
    source.setPixel(0, 0, qRgb(0, 0, 0));
    QTemporaryDir dir;
    const QString path = writeBitmap(dir, source);
    QVERIFY(!path.isEmpty());

    QBuffer buffer;
    QVERIFY(buffer.open(QIODevice::WriteOnly));
    QPdfWriter writer(&buffer);
    writer.setResolution(300);
    QPainter painter;
    QVERIFY(painter.begin(&writer));
    {
        QPainterCanvas canvas(painter);
        QCOMPARE(canvas.andMethod(), QPainterCanvas::AndMethod::WhiteTransparent);
        mapLikePrinter(painter);
        canvas.stretchBitmap(canvas.loadBitmap(path), 10, 10, 50, 50, BitmapMix::And);
    }
    QVERIFY(painter.end());
    QVERIFY(buffer.data().startsWith("%PDF"));
}

void TestCanvas::loadBitmapErrors()
{
    QImage page = whitePage(10, 10);
    QPainter painter(&page);
    QPainterCanvas canvas(painter);
    QTemporaryDir dir;
    const QString missing = dir.filePath(QStringLiteral("fehlt.bmp"));
    try {
        canvas.loadBitmap(missing);
        QFAIL("no error for a missing file");
    } catch (const Error &error) {
        QCOMPARE(error.message(), QStringLiteral("Kann Datei %1 nicht öffnen").arg(missing));
    }

    const QString notBitmap = dir.filePath(QStringLiteral("text.bmp"));
    QFile file(notBitmap);
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write("kein Bild\r\n");
    file.close();
    try {
        canvas.loadBitmap(notBitmap);
        QFAIL("no error for a file that is not a bitmap");
    } catch (const Error &error) {
        QCOMPARE(error.message(), QStringLiteral("Bitmap ist ungültig"));
    }
}

void TestCanvas::picturesAreReadByTheirContent_data()
{
    QTest::addColumn<QByteArray>("format");
    QTest::addColumn<QString>("name");
    QTest::newRow("PNG") << QByteArray("png") << "bild.png";
    QTest::newRow("JPEG") << QByteArray("jpg") << "bild.jpg";
    QTest::newRow("PNG named as a bitmap") << QByteArray("png") << "bild.bmp";
    QTest::newRow("BMP without suffix") << QByteArray("bmp") << "bild";
}

// Whatever a picture is called, its bytes say what it is; each is drawn.
void TestCanvas::picturesAreReadByTheirContent()
{
    QFETCH(QByteArray, format);
    QFETCH(QString, name);
    QImage source(8, 8, QImage::Format_RGB32);
    source.fill(qRgb(0, 0, 0));
    QTemporaryDir dir;
    const QString path = dir.filePath(name);
    QVERIFY(source.save(path, format.constData()));

    QImage page = whitePage(40, 40);
    QPainter painter(&page);
    {
        QPainterCanvas canvas(painter);
        canvas.stretchBitmap(canvas.loadBitmap(path), 10, 10, 20, 20, BitmapMix::Copy);
    }
    painter.end();
    QCOMPARE(QColor(page.pixel(20, 20)).lightness() < 30, true);
    QCOMPARE(page.pixel(2, 2), qRgb(255, 255, 255));
}

// An SVG picture (read through Qt's SVG plugin) fills its box.
void TestCanvas::svgPictureIsDrawnInItsBox()
{
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("logo.svg"));
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write("<?xml version=\"1.0\"?>\n<svg xmlns=\"http://www.w3.org/2000/svg\" width=\"10\" height=\"10\">"
               "<rect x=\"0\" y=\"0\" width=\"10\" height=\"10\" fill=\"black\"/></svg>\n");
    file.close();
    QImage page = whitePage(40, 40);
    QPainter painter(&page);
    {
        QPainterCanvas canvas(painter);
        canvas.stretchBitmap(canvas.loadBitmap(path), 10, 10, 20, 20, BitmapMix::Copy);
    }
    painter.end();
    QVERIFY(QColor(page.pixel(20, 20)).lightness() < 30);
    QCOMPARE(page.pixel(5, 5), qRgb(255, 255, 255));
    QCOMPARE(page.pixel(35, 35), qRgb(255, 255, 255));
}

QTEST_MAIN(TestCanvas)
#include "TestCanvas.moc"
