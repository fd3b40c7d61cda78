#include "designs/printdesign.h"
#include "testpaths.h"
#include "designs/rendering.h"
#include "formats/sheetformat.h"
#include "platform/doubles/scriptedmessages.h"
#include "platform/doubles/virtualwaiter.h"
#include "printing/pdfprinter.h"
#include "printing/preview.h"

#include <QDir>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>

using namespace qm;

namespace {

bool isInk(const QImage &image, int x, int y)
{
    return x >= 0 && y >= 0 && x < image.width() && y < image.height() && qGray(image.pixel(x, y)) < 128;
}

QRect inkBounds(const QImage &image, const QRect &area)
{
    QRect bounds;
    const QRect inside = area & image.rect();
    for (int y = inside.top(); y <= inside.bottom(); ++y)
        for (int x = inside.left(); x <= inside.right(); ++x)
            if (isInk(image, x, y))
                bounds |= QRect(x, y, 1, 1);
    return bounds;
}

// The share of ink pixels of `a` with no ink of `b` within one pixel.
double unmatchedShare(const QImage &a, const QImage &b)
{
    qint64 ink = 0;
    qint64 missing = 0;
    for (int y = 0; y < a.height(); ++y) {
        for (int x = 0; x < a.width(); ++x) {
            if (!isInk(a, x, y))
                continue;
            ++ink;
            bool found = false;
            for (int dy = -1; dy <= 1 && !found; ++dy)
                for (int dx = -1; dx <= 1 && !found; ++dx)
                    found = isInk(b, x + dx, y + dy);
            missing += found ? 0 : 1;
        }
    }
    return ink == 0 ? 1.0 : double(missing) / double(ink);
}

struct Run
{
    PrintDesign design;
    StringTable labelList;
    SheetFormat format;
    LayoutRequest request;
    ScriptedMessages messages;

    LabelDrawer drawer()
    {
        return [this](ICanvas &canvas, int x, int y, int row, bool frame) {
            EtikettZeichnen(
                canvas, design, labelList, x, y, row, frame, messages, QStringLiteral("10.12.2026"));
        };
    }
};

} // namespace

class TestPreview : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void previewIsThePrintedPdf_data();
    void previewIsThePrintedPdf();
    void emptyRunAndLabelAtItsPlace();
};

void TestPreview::previewIsThePrintedPdf_data()
{
    QTest::addColumn<int>("start");
    QTest::addColumn<int>("labels");
    QTest::addColumn<bool>("frame");
    QTest::addColumn<int>("offsetX");
    QTest::addColumn<int>("offsetY");
    QTest::addColumn<int>("pages");
    QTest::newRow("partly used sheet, frames, offsets") << 5 << 18 << true << -30 << 15 << 2;
    QTest::newRow("one full sheet") << 1 << 21 << false << 0 << 0 << 1;
    QTest::newRow("late start, shifted right and up") << 20 << 3 << true << 25 << -20 << 2;
}

void TestPreview::previewIsThePrintedPdf()
{
    QFETCH(int, start);
    QFETCH(int, labels);
    QFETCH(bool, frame);
    QFETCH(int, offsetX);
    QFETCH(int, offsetY);
    QFETCH(int, pages);
    if (QStandardPaths::findExecutable(QStringLiteral("pdftoppm")).isEmpty())
        QFAIL("pdftoppm (poppler-utils) is needed: scripts/test installs it");

    Run run;
    FieldGrids grids;
    grids.labelList = &run.labelList;
    QVERIFY(EtikettdateiLesen(test::shareDir() + QStringLiteral("/ETIKETT/adresse.eti"), run.design, grids));
    QVERIFY(FormatdateiLesen(test::shareDir() + QStringLiteral("/FORMATE/adressen_3x7.vrl"), run.format));
    for (int row = 1; row <= labels; ++row) {
        run.labelList.setCell(1, row, QStringLiteral("Erika Mustermann %1").arg(row));
        run.labelList.setCell(2, row, QStringLiteral("Heidestraße %1").arg(row));
        run.labelList.setCell(3, row, QStringLiteral("51147 Köln"));
    }
    run.request.startPosition = start;
    run.request.lastPosition = start + labels - 1;
    run.request.frame = frame;
    run.request.offsetX = offsetX;
    run.request.offsetY = offsetY;
    run.request.unitsPerCm = run.design.printScale;

    QTemporaryDir dir;
    const QString pdf = dir.filePath(QStringLiteral("bogen.pdf"));
    PdfPrinter printer(pdf);
    NullPrintProgress progress;
    VirtualWaiter waiter;
    QCOMPARE(
        Ausdrucken(run.request, run.format, printer, progress, waiter, run.drawer()), LayoutResult::Printed);

    const int dpi = 100;
    QProcess ppm;
    ppm.start(QStringLiteral("pdftoppm"),
        { QStringLiteral("-r"), QString::number(dpi), QStringLiteral("-gray"), pdf,
            dir.filePath(QStringLiteral("seite")) });
    QVERIFY(ppm.waitForFinished(60000));
    QCOMPARE(ppm.exitCode(), 0);
    const QStringList rendered
        = QDir(dir.path()).entryList({ QStringLiteral("seite*.pgm") }, QDir::Files, QDir::Name);

    const QList<QImage> preview = renderSheets(run.request, run.format, run.drawer(), dpi);
    QCOMPARE(preview.size(), pages);
    QCOMPARE(rendered.size(), pages);

    const auto dots = [dpi](int tenths) { return qRound(tenths * dpi / 254.0); };
    for (int p = 0; p < pages; ++p) {
        const QImage printed(dir.filePath(rendered[p]));
        const QImage &shown = preview[p];
        QVERIFY(!printed.isNull());
        QVERIFY2(qAbs(printed.width() - shown.width()) <= 1 && qAbs(printed.height() - shown.height()) <= 1,
            qPrintable(QStringLiteral("page %1: %2x%3 printed, %4x%5 shown")
                           .arg(p + 1)
                           .arg(printed.width())
                           .arg(printed.height())
                           .arg(shown.width())
                           .arg(shown.height())));
        // Every label of the sheet: ink in the same place on both, or on
        // neither; 2 mm inside its edges, clear of the frames (drawn at the
        // design's size, a little inside the position).
        int labelsWithInk = 0;
        const int inset = dots(20);
        for (const LabelPosition &position : run.format.positions) {
            const QRect cell(QPoint(dots(position.x + offsetX) + inset, dots(position.y + offsetY) + inset),
                QPoint(dots(position.x + offsetX + position.width) - inset,
                    dots(position.y + offsetY + position.height) - inset));
            const QRect a = inkBounds(printed, cell);
            const QRect b = inkBounds(shown, cell);
            QVERIFY2(a.isNull() == b.isNull(),
                qPrintable(QStringLiteral("page %1, label at %2,%3: ink on one page only, at %4,%5 %6x%7")
                               .arg(p + 1)
                               .arg(position.x)
                               .arg(position.y)
                               .arg((a | b).x())
                               .arg((a | b).y())
                               .arg((a | b).width())
                               .arg((a | b).height())));
            if (a.isNull())
                continue;
            ++labelsWithInk;
            const int edge = std::max({ qAbs(a.left() - b.left()), qAbs(a.top() - b.top()),
                qAbs(a.right() - b.right()), qAbs(a.bottom() - b.bottom()) });
            // Text is laid out on the finer grid of the preview and in the PDF
            // viewer's own way: less than a millimetre apart at a line's end.
            QVERIFY2(edge <= 3,
                qPrintable(QStringLiteral("page %1, label at %2,%3: edges %4 px apart")
                               .arg(p + 1)
                               .arg(position.x)
                               .arg(position.y)
                               .arg(edge)));
        }
        QVERIFY(labelsWithInk > 0);
        QVERIFY2(unmatchedShare(printed, shown) < 0.03,
            qPrintable(QString::number(unmatchedShare(printed, shown))));
        QVERIFY2(unmatchedShare(shown, printed) < 0.03,
            qPrintable(QString::number(unmatchedShare(shown, printed))));
    }
}

void TestPreview::emptyRunAndLabelAtItsPlace()
{
    SheetFormat format;
    format.extentWidth = 2100;
    format.extentHeight = 2970;
    LayoutRequest request;
    request.lastPosition = 0;
    int drawn = 0;
    QVERIFY(renderSheets(
        request, format, [&drawn](ICanvas &, int, int, int, bool) { ++drawn; }, 50)
                .isEmpty());
    QCOMPARE(drawn, 0);
    // One label at the sheet's corner: one white A4 page at 50 dpi with ink
    // where the label's frame is.
    format.positions.push_back({ 100, 200, 500, 300 });
    request.lastPosition = 1;
    const QList<QImage> pages = renderSheets(
        request, format,
        [](ICanvas &canvas, int x, int y, int, bool) { canvas.rectangle(x, y, x + 125, y + 75); }, 50);
    QCOMPARE(pages.size(), 1);
    QCOMPARE(pages[0].size(), QSize(413, 585));
    // The frame's corner lies at (19.7, 39.4) pixels: ink at most one away,
    // and a hair line stays dark; nothing elsewhere.
    const QRect corner = inkBounds(pages[0], QRect(10, 30, 20, 20));
    QVERIFY2(!corner.isNull() && qAbs(corner.left() - 20) <= 1 && qAbs(corner.top() - 39) <= 1,
        qPrintable(QStringLiteral("%1,%2").arg(corner.left()).arg(corner.top())));
    // The whole ink is the frame: 5 x 3 cm from there.
    const QRect all = inkBounds(pages[0], pages[0].rect());
    QVERIFY2(all.left() == corner.left() && all.top() == corner.top() && qAbs(all.right() - 118) <= 1
            && qAbs(all.bottom() - 98) <= 1,
        qPrintable(
            QStringLiteral("%1,%2 %3x%4").arg(all.x()).arg(all.y()).arg(all.width()).arg(all.height())));
    QVERIFY(!isInk(pages[0], 5, 5));
}

QTEST_MAIN(TestPreview)
#include "TestPreview.moc"
