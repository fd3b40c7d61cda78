// Pictures printed through the printer's canvas into a PDF and rendered
// with pdftoppm: a PNG with a transparent half and an SVG with a
// transparent background stay inside their boxes, and what is transparent
// leaves the paper white.
#include "designs/printdesign.h"
#include "designs/rendering.h"
#include "platform/canvas/qpaintercanvas.h"
#include "platform/doubles/scriptedmessages.h"

#include <QFile>
#include <QImage>
#include <QPainter>
#include <QPdfWriter>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>

#include <functional>

using namespace qm;

namespace {

constexpr int Dpi = 150;
constexpr double PixelsPerUnit = Dpi * 0.4 / 25.4;

// An A6 PDF page at one design unit per unit, drawn by `draw`.
void drawPdfPage(const QString &pdf, const std::function<void(ICanvas &, IMessages &)> &draw)
{
    QPdfWriter writer(pdf);
    writer.setResolution(Dpi);
    writer.setPageLayout(QPageLayout(QPageSize(QPageSize::A6), QPageLayout::Portrait, QMarginsF()));
    QPainter painter(&writer);
    painter.scale(PixelsPerUnit, PixelsPerUnit);
    QPainterCanvas canvas(painter);
    ScriptedMessages messages;
    draw(canvas, messages);
}

// The page rendered by pdftoppm at Dpi; null when it could not be.
QImage renderedPage(const QString &pdf, const QString &folder)
{
    QProcess render;
    render.start(QStringLiteral("pdftoppm"),
        { QStringLiteral("-r"), QString::number(Dpi), QStringLiteral("-singlefile"), QStringLiteral("-png"),
            pdf, folder + QStringLiteral("/seite") });
    if (!render.waitForFinished(60000) || render.exitCode() != 0)
        return {};
    return QImage(folder + QStringLiteral("/seite.png"));
}

} // namespace

class TestPicturePdf : public QObject
{
    Q_OBJECT

private slots:
    void transparentPicturesInsideTheirBoxes_data();
    void transparentPicturesInsideTheirBoxes();
    void onePictureOnManyLabelsIsStoredOnce();
};

void TestPicturePdf::transparentPicturesInsideTheirBoxes_data()
{
    QTest::addColumn<QPoint>("at"); // design units
    QTest::addColumn<QColor>("colour");
    // PNG in 20,20 .. 120,70: left half transparent, right half red.
    QTest::newRow("PNG, transparent half") << QPoint(40, 45) << QColor(Qt::white);
    QTest::newRow("PNG, red half") << QPoint(100, 45) << QColor(Qt::red);
    QTest::newRow("PNG, right of its box") << QPoint(125, 45) << QColor(Qt::white);
    QTest::newRow("PNG, below its box") << QPoint(100, 75) << QColor(Qt::white);
    // SVG in 20,100 .. 120,150: a blue rectangle in the middle half of a
    // transparent 40 x 20 picture, so units 45 .. 95 across, 112 .. 137 down.
    QTest::newRow("SVG, its rectangle") << QPoint(70, 125) << QColor(Qt::blue);
    QTest::newRow("SVG, transparent ground") << QPoint(30, 105) << QColor(Qt::white);
    QTest::newRow("SVG, left of its rectangle") << QPoint(41, 125) << QColor(Qt::white);
    QTest::newRow("SVG, right of its rectangle") << QPoint(99, 125) << QColor(Qt::white);
}

void TestPicturePdf::transparentPicturesInsideTheirBoxes()
{
    QFETCH(QPoint, at);
    QFETCH(QColor, colour);
    if (QStandardPaths::findExecutable(QStringLiteral("pdftoppm")).isEmpty())
        QSKIP("pdftoppm (poppler-utils) is needed");

    QTemporaryDir dir;
    QImage png(20, 10, QImage::Format_ARGB32);
    png.fill(Qt::transparent);
    for (int y = 0; y < 10; ++y)
        for (int x = 10; x < 20; ++x)
            png.setPixel(x, y, qRgb(255, 0, 0));
    const QString pngPath = dir.filePath(QStringLiteral("halb.png"));
    QVERIFY(png.save(pngPath));
    const QString svgPath = dir.filePath(QStringLiteral("mitte.svg"));
    QFile svg(svgPath);
    QVERIFY(svg.open(QIODevice::WriteOnly));
    svg.write("<svg xmlns=\"http://www.w3.org/2000/svg\" width=\"40\" height=\"20\" viewBox=\"0 0 40 20\">"
              "<rect x=\"10\" y=\"5\" width=\"20\" height=\"10\" fill=\"#0000ff\"/></svg>\n");
    svg.close();

    PrintDesign design;
    readPrintDesignLines({ QStringLiteral("XB,20,20,120,70,%1").arg(pngPath),
                             QStringLiteral("XB,20,100,120,150,%1").arg(svgPath) },
        QString(), design, {});
    const QString pdf = dir.filePath(QStringLiteral("bilder.pdf"));
    drawPdfPage(pdf, [&](ICanvas &canvas, IMessages &messages) {
        LabelDrawing(design).draw(canvas, QStringList(), 0, 0, false, messages, QString());
    });
    const QImage page = renderedPage(pdf, dir.path());
    QVERIFY(!page.isNull());
    const QColor seen = page.pixelColor(qRound(at.x() * PixelsPerUnit), qRound(at.y() * PixelsPerUnit));
    QVERIFY2(std::abs(seen.red() - colour.red()) < 40 && std::abs(seen.green() - colour.green()) < 40
            && std::abs(seen.blue() - colour.blue()) < 40,
        qPrintable(seen.name()));
}

// The same picture on every label of a run is read once and stored once in
// the PDF file, and still printed on every label.
void TestPicturePdf::onePictureOnManyLabelsIsStoredOnce()
{
    if (QStandardPaths::findExecutable(QStringLiteral("pdftoppm")).isEmpty())
        QSKIP("pdftoppm (poppler-utils) is needed");
    QTemporaryDir dir;
    QImage png(16, 8, QImage::Format_RGB32);
    png.fill(Qt::red);
    const QString pngPath = dir.filePath(QStringLiteral("logo.png"));
    QVERIFY(png.save(pngPath));
    PrintDesign design;
    readPrintDesignLines({ QStringLiteral("XB,5,5,45,25,%1").arg(pngPath) }, QString(), design, {});
    const LabelDrawing drawing(design);

    constexpr int Labels = 12; // 3 across, 4 down, 50 x 30 units each
    const QString pdf = dir.filePath(QStringLiteral("etiketten.pdf"));
    drawPdfPage(pdf, [&](ICanvas &canvas, IMessages &messages) {
        for (int i = 0; i < Labels; ++i)
            drawing.draw(canvas, QStringList(), i % 3 * 50, i / 3 * 30, false, messages, QString());
    });
    QFile file(pdf);
    QVERIFY(file.open(QIODevice::ReadOnly));
    QCOMPARE(file.readAll().count("/Subtype /Image"), 1);

    const QImage page = renderedPage(pdf, dir.path());
    QVERIFY(!page.isNull());
    for (int i = 0; i < Labels; ++i) {
        const QColor seen = page.pixelColor(
            qRound((i % 3 * 50 + 25) * PixelsPerUnit), qRound((i / 3 * 30 + 15) * PixelsPerUnit));
        QVERIFY2(seen.red() > 200 && seen.green() < 60 && seen.blue() < 60,
            qPrintable(QStringLiteral("Etikett %1: %2").arg(i + 1).arg(seen.name())));
    }
}

QTEST_MAIN(TestPicturePdf)
#include "TestPicturePdf.moc"
