// Barcodes drawn through the printer's canvas into a PDF, rendered with
// pdftoppm at 300 dpi and read back with zbarimg, label by label.
#include "designs/printdesign.h"
#include "designs/rendering.h"
#include "platform/canvas/qpaintercanvas.h"
#include "platform/doubles/scriptedmessages.h"

#include <QPainter>
#include <QPdfWriter>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>

using namespace qm;

namespace {

constexpr int Dpi = 300;
constexpr int LabelWidth = 200; // design units of 0.4 mm
constexpr int LabelHeight = 100;

QPoint labelOrigin(int label)
{
    return { 10 + (label % 2) * (LabelWidth + 10), 10 + (label / 2) * (LabelHeight + 10) };
}

// zbarimg's lines "EAN-13:4006381333931" of one part of the page, sorted.
QStringList decoded(const QString &pdf, const QRect &pixels, const QString &dir)
{
    const QString stem = dir + QStringLiteral("/part");
    QProcess render;
    render.start(QStringLiteral("pdftoppm"),
        { QStringLiteral("-r"), QString::number(Dpi), QStringLiteral("-gray"), QStringLiteral("-singlefile"),
            QStringLiteral("-x"), QString::number(pixels.x()), QStringLiteral("-y"),
            QString::number(pixels.y()), QStringLiteral("-W"), QString::number(pixels.width()),
            QStringLiteral("-H"), QString::number(pixels.height()), QStringLiteral("-png"), pdf, stem });
    if (!render.waitForFinished(60000) || render.exitCode() != 0)
        return { QStringLiteral("pdftoppm failed") };
    QProcess read;
    read.start(QStringLiteral("zbarimg"), { QStringLiteral("--quiet"), stem + QStringLiteral(".png") });
    read.waitForFinished(60000);
    QStringList lines = QString::fromUtf8(read.readAllStandardOutput()).split(u'\n', Qt::SkipEmptyParts);
    lines.sort();
    return lines;
}

} // namespace

class TestBarcodePdf : public QObject
{
    Q_OBJECT

private slots:
    void everyValueComesBackOnItsLabel();
};

void TestBarcodePdf::everyValueComesBackOnItsLabel()
{
    if (QStandardPaths::findExecutable(QStringLiteral("zbarimg")).isEmpty()
        || QStandardPaths::findExecutable(QStringLiteral("pdftoppm")).isEmpty())
        QSKIP("zbarimg (zbar-tools) and pdftoppm (poppler-utils) are needed");

    // EAN-13 in the left half, Code 128 top right, QR code bottom right;
    // a coloured pen for the last two.
    PrintDesign design;
    readPrintDesignLines(
        { QStringLiteral("GR,200,100,25"), QStringLiteral("BC,5,5,95,70,0,Artikel"), QStringLiteral("XP,0,4"),
            QStringLiteral("BC,100,5,195,45,1,Lager,20"), QStringLiteral("BC,110,50,155,95,2,Inventar,80") },
        QString(), design, {});
    const LabelDrawing drawing(design);

    const QList<QStringList> labels = {
        { QString(), QStringLiteral("400638133393"), QStringLiteral("Regal 12/B"),
            QStringLiteral("INV-2026-0001 Raum 3.14") },
        { QString(), QStringLiteral("4012345678901"), QStringLiteral("A-4711"),
            QStringLiteral("https://example.org/inv/2") },
        { QString(), QStringLiteral("978316148410"), QStringLiteral("Fach 42/C"),
            QStringLiteral("Stück 3, ÄÖÜ") },
        { QString(), QStringLiteral("000000000000"), QStringLiteral("x"), QStringLiteral("4") },
    };
    const QStringList expected[] = {
        { "CODE-128:Regal 12/B", "EAN-13:4006381333931", "QR-Code:INV-2026-0001 Raum 3.14" },
        { "CODE-128:A-4711", "EAN-13:4012345678901", "QR-Code:https://example.org/inv/2" },
        { "CODE-128:Fach 42/C", "EAN-13:9783161484100", "QR-Code:Stück 3, ÄÖÜ" },
        { "CODE-128:x", "EAN-13:0000000000000", "QR-Code:4" },
    };

    QTemporaryDir dir;
    const QString pdf = dir.filePath(QStringLiteral("etiketten.pdf"));
    {
        QPdfWriter writer(pdf);
        writer.setResolution(Dpi);
        writer.setPageLayout(QPageLayout(QPageSize(QPageSize::A4), QPageLayout::Portrait, QMarginsF()));
        QPainter painter(&writer);
        const double pixelsPerUnit = Dpi * 0.4 / 25.4;
        painter.scale(pixelsPerUnit, pixelsPerUnit);
        QPainterCanvas canvas(painter);
        ScriptedMessages messages;
        for (int i = 0; i < labels.size(); ++i) {
            const QPoint at = labelOrigin(i);
            drawing.draw(canvas, labels[i], at.x(), at.y(), true, messages, QString());
        }
    }

    const double pixelsPerUnit = Dpi * 0.4 / 25.4;
    for (int i = 0; i < labels.size(); ++i) {
        const QPoint at = labelOrigin(i);
        const QRect area(qRound(at.x() * pixelsPerUnit), qRound(at.y() * pixelsPerUnit),
            qRound(LabelWidth * pixelsPerUnit), qRound(LabelHeight * pixelsPerUnit));
        QCOMPARE(decoded(pdf, area, dir.path()), expected[i]);
    }
}

QTEST_MAIN(TestBarcodePdf)
#include "TestBarcodePdf.moc"
