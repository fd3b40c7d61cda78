// Text under the printer's mapping: U * 254 logical units onto 100 inches of
// device dots, as the printer devices set it, on an image of 300 dots per
// inch. A text printed with a cell height of 25 units (1 cm) must hang from
// its reference point at the right size, unturned or turned by 90 degrees
// counter-clockwise.
#include "platform/canvas/qpaintercanvas.h"
#include "printing/printermapping.h"

#include <QImage>
#include <QPainter>
#include <QTest>

using namespace qm;

namespace {

constexpr int Dpi = 300;
constexpr int UnitsPerCm = 25;
// Device dots per logical unit: 300 / 2.54 / 25.
constexpr double DotsPerUnit = Dpi / 2.54 / UnitsPerCm;

QImage printText(QPoint at, int escapement, int originX, int originY)
{
    QImage page(1400, 1400, QImage::Format_RGB32);
    page.fill(Qt::white);
    page.setDotsPerMeterX(qRound(Dpi / 0.0254));
    page.setDotsPerMeterY(qRound(Dpi / 0.0254));
    QPainter painter(&page);
    // The printable area may begin away from the page's corner: the
    // viewport's origin is the device origin.
    mapUnitsPerCentimetre(painter, UnitsPerCm, Dpi, Dpi, 1.0, 1.0, QPoint(originX, originY));
    QPainterCanvas canvas(painter);
    canvas.setTransparentBackground();
    // As a font record of a design: cell height 25 units, weight 400.
    canvas.setFont(CanvasFont { QStringLiteral("Arial"), UnitsPerCm, escapement, 400, false });
    canvas.text(at.x(), at.y(), QStringLiteral("HHHH"));
    return page;
}

// The ink's rectangle in logical units relative to `reference` (device
// pixels): left, top, right, bottom.
QRectF inkInUnits(const QImage &page, QPointF reference)
{
    int left = page.width(), top = page.height(), right = -1, bottom = -1;
    for (int y = 0; y < page.height(); ++y) {
        const auto *line = reinterpret_cast<const QRgb *>(page.constScanLine(y));
        for (int x = 0; x < page.width(); ++x) {
            if (qGray(line[x]) < 128) {
                left = std::min(left, x);
                right = std::max(right, x + 1);
                top = std::min(top, y);
                bottom = std::max(bottom, y + 1);
            }
        }
    }
    if (right < 0)
        return {};
    return QRectF(QPointF((left - reference.x()) / DotsPerUnit, (top - reference.y()) / DotsPerUnit),
        QPointF((right - reference.x()) / DotsPerUnit, (bottom - reference.y()) / DotsPerUnit));
}

QString describe(const QRectF &r)
{
    return QStringLiteral("ink from (%1, %2) to (%3, %4) units")
        .arg(r.left(), 0, 'f', 2)
        .arg(r.top(), 0, 'f', 2)
        .arg(r.right(), 0, 'f', 2)
        .arg(r.bottom(), 0, 'f', 2);
}

} // namespace

class TestPrinterMapping : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void rotatedTextHangsFromItsReferencePoint_data();
    void rotatedTextHangsFromItsReferencePoint();
};

void TestPrinterMapping::rotatedTextHangsFromItsReferencePoint_data()
{
    QTest::addColumn<int>("escapement");
    QTest::addColumn<QPoint>("origin"); // of the printable area, device pixels
    QTest::addColumn<QPoint>("at"); // reference point, logical units

    QTest::newRow("0 degrees") << 0 << QPoint(0, 0) << QPoint(50, 50);
    QTest::newRow("90 degrees") << 900 << QPoint(0, 0) << QPoint(50, 200);
    QTest::newRow("0 degrees, printable area moved") << 0 << QPoint(37, 59) << QPoint(50, 50);
    QTest::newRow("90 degrees, printable area moved") << 900 << QPoint(37, 59) << QPoint(50, 200);
}

void TestPrinterMapping::rotatedTextHangsFromItsReferencePoint()
{
    QFETCH(int, escapement);
    QFETCH(QPoint, origin);
    QFETCH(QPoint, at);

    const QImage page = printText(at, escapement, origin.x(), origin.y());
    const QPointF reference(origin.x() + at.x() * DotsPerUnit, origin.y() + at.y() * DotsPerUnit);
    const QRectF ink = inkInUnits(page, reference);
    QVERIFY2(!ink.isNull(), "nothing printed");

    // Liberation Sans (for Arial): ascent 0.905 em, descent 0.212 em, so a
    // cell of 25 units is an em of 22.38 units. The capitals (0.688 em) are
    // 15.40 units tall and begin (0.905 - 0.688) em = 4.86 units below the
    // top of the cell. Along the line the ink of "HHHH" begins after the
    // side bearing of the first H (0.080 em = 1.79 units) and ends after
    // three advances (0.722 em each) and one H (0.562 em): 2.81 em = 62.9
    // units from the reference point.
    const double capsFrom = 4.86, capsTo = 20.26;
    const double runFrom = 1.79, runTo = 62.9;
    const double tolerance = 0.6; // units, three device dots

    // Unturned the text runs to the right and hangs below the point; turned
    // counter-clockwise by 90 degrees it runs upwards and hangs to the right.
    const QRectF expected = escapement == 0 ? QRectF(QPointF(runFrom, capsFrom), QPointF(runTo, capsTo))
                                            : QRectF(QPointF(capsFrom, -runTo), QPointF(capsTo, -runFrom));
    const auto near = [&](double a, double b) { return std::abs(a - b) <= tolerance; };
    QVERIFY2(near(ink.left(), expected.left()) && near(ink.right(), expected.right())
            && near(ink.top(), expected.top()) && near(ink.bottom(), expected.bottom()),
        qPrintable(describe(ink) + QStringLiteral(", expected ") + describe(expected)));
}

QTEST_MAIN(TestPrinterMapping)
#include "TestPrinterMapping.moc"
