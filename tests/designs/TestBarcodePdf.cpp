// Barcodes drawn through the printer's canvas into a PDF, rendered with
// pdftoppm at 300 dpi and read back with zbarimg, label by label.
#include "designs/barcode.h"
#include "designs/barcodelookahead.h"
#include "designs/printdesign.h"
#include "designs/rendering.h"
#include "platform/canvas/qpaintercanvas.h"
#include "platform/doubles/scriptedmessages.h"

#include <QPainter>
#include <QPdfWriter>
#include <QProcess>
#include <QRegularExpression>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>

#include <cmath>
#include <optional>

using namespace qm;

namespace {

constexpr int Dpi = 300;
constexpr int LabelWidth = 200; // design units of 0.4 mm
constexpr int LabelHeight = 100;

// An A4 page of a PDF file at Dpi, drawn on in design units of 0.4 mm; the
// file is written when the page goes.
struct PdfPage
{
    explicit PdfPage(const QString &path)
        : writer(path)
    {
        writer.setResolution(Dpi);
        writer.setPageLayout(QPageLayout(QPageSize(QPageSize::A4), QPageLayout::Portrait, QMarginsF()));
        painter.begin(&writer);
        painter.scale(Dpi * 0.4 / 25.4, Dpi * 0.4 / 25.4);
        canvas.emplace(painter);
    }

    QPdfWriter writer;
    QPainter painter;
    std::optional<QPainterCanvas> canvas; // on the painter once it paints
    ScriptedMessages messages;
};

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
    void digitsCentredUnderTheBars_data();
    void digitsCentredUnderTheBars();
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
    LabelDrawing drawing(design);

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

    // Each barcode laid out as its label is drawn, and all of them laid
    // out ahead on other threads, as a print run does.
    for (const bool ahead : { false, true }) {
        BarcodeLookAhead lookAhead(2);
        drawing.setLookAhead(ahead ? &lookAhead : nullptr);
        if (ahead) {
            for (const QStringList &values : labels)
                drawing.prepareBarcodes(values);
        }
        QTemporaryDir dir;
        const QString pdf = dir.filePath(QStringLiteral("etiketten.pdf"));
        {
            PdfPage page(pdf);
            for (int i = 0; i < labels.size(); ++i) {
                const QPoint at = labelOrigin(i);
                drawing.draw(*page.canvas, labels[i], at.x(), at.y(), true, page.messages, QString());
            }
        }
        QCOMPARE(lookAhead.waiting(), 0);

        const double pixelsPerUnit = Dpi * 0.4 / 25.4;
        for (int i = 0; i < labels.size(); ++i) {
            const QPoint at = labelOrigin(i);
            const QRect area(qRound(at.x() * pixelsPerUnit), qRound(at.y() * pixelsPerUnit),
                qRound(LabelWidth * pixelsPerUnit), qRound(LabelHeight * pixelsPerUnit));
            QCOMPARE(decoded(pdf, area, dir.path()), expected[i]);
        }
    }
}

void TestBarcodePdf::digitsCentredUnderTheBars_data()
{
    QTest::addColumn<int>("kind");
    QTest::addColumn<QString>("value");
    QTest::addColumn<QString>("word"); // a word of the digits
    QTest::addColumn<double>("centre"); // its centre across, in symbol units
    QTest::addColumn<double>("symbolWidth");
    // The texts libzint places: Code 128 under the middle of the symbol,
    // the halves of an EAN-13 under the middle of their bars.
    for (const auto &kind : { Symbology::Code128, Symbology::Ean13 }) {
        const QString value
            = kind == Symbology::Code128 ? QStringLiteral("A-4711") : QStringLiteral("400638133393");
        const auto symbol = encodeBarcode(kind, value);
        QVERIFY(symbol);
        for (const BarcodeText &t : symbol->texts) {
            if (t.text.size() < 4)
                continue; // the single digits beside an EAN-13 sit by their edge
            QTest::addRow("%s %s", qPrintable(symbologyName(kind)), qPrintable(t.text))
                << int(kind) << value << t.text << double(t.x) << symbol->width;
        }
    }
}

// The digits' box as pdftotext -bbox measures it lies centred where the
// library places them, to a tenth of a millimetre.
void TestBarcodePdf::digitsCentredUnderTheBars()
{
    QFETCH(int, kind);
    QFETCH(QString, value);
    QFETCH(QString, word);
    QFETCH(double, centre);
    QFETCH(double, symbolWidth);
    if (QStandardPaths::findExecutable(QStringLiteral("pdftotext")).isEmpty())
        QSKIP("pdftotext (poppler-utils) is needed");

    // A linear code stretched over a box 163 units (65.2 mm) wide from x = 17.
    PrintDesign design;
    readPrintDesignLines({ QStringLiteral("BC,17,20,180,90,%1,Artikel").arg(kind) }, QString(), design, {});
    QTemporaryDir dir;
    const QString pdf = dir.filePath(QStringLiteral("ziffern.pdf"));
    {
        PdfPage page(pdf);
        LabelDrawing(design).draw(
            *page.canvas, QStringList { QString(), value }, 0, 0, false, page.messages, QString());
    }
    QProcess bbox;
    bbox.start(QStringLiteral("pdftotext"), { QStringLiteral("-bbox"), pdf, QStringLiteral("-") });
    QVERIFY(bbox.waitForFinished(60000));
    const QString html = QString::fromUtf8(bbox.readAllStandardOutput());
    const QRegularExpression line(
        QStringLiteral("<word xMin=\"([0-9.]+)\" yMin=\"[0-9.]+\" xMax=\"([0-9.]+)\" "
                       "yMax=\"[0-9.]+\">%1</word>")
            .arg(QRegularExpression::escape(word)));
    const QRegularExpressionMatch m = line.match(html);
    QVERIFY2(m.hasMatch(), qPrintable(html));
    const double pointsPerUnit = 72 * 0.4 / 25.4;
    const double measured = (m.captured(1).toDouble() + m.captured(2).toDouble()) / 2 / pointsPerUnit;
    const double expected = 17 + centre * 163 / symbolWidth;
    QVERIFY2(std::abs(measured - expected) < 0.25, // a quarter unit, 0.1 mm
        qPrintable(QStringLiteral("centre at %1 units, expected %2").arg(measured).arg(expected)));
}

QTEST_MAIN(TestBarcodePdf)
#include "TestBarcodePdf.moc"
