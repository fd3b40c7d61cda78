#include "designs/printdesign.h"
#include "testpaths.h"
#include "designs/rendering.h"
#include "formats/sheetformat.h"
#include "platform/doubles/scriptedmessages.h"
#include "platform/doubles/virtualwaiter.h"
#include "printing/pdfprinter.h"
#include "platform/errors.h"
#include "printing/preview.h"
#include "printing/printjob.h"

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

// The shipped address design on the shipped 3 x 7 sheet.
struct AddressJob
{
    PrintDesign design;
    SheetFormat format;

    bool load()
    {
        StringTable labelList;
        FieldGrids grids;
        grids.labelList = &labelList;
        return EtikettdateiLesen(test::shareDir() + QStringLiteral("/ETIKETT/adresse.eti"), design, grids)
            && FormatdateiLesen(test::shareDir() + QStringLiteral("/FORMATE/adressen_3x7.vrl"), format);
    }

    PrintJob job(int start = 1) const
    {
        PrintJob job;
        job.design = &design;
        job.format = format;
        job.startPosition = start;
        job.dateText = QStringLiteral("10.12.2026");
        return job;
    }
};

// Records `first` .. `last`, one label each, every one different.
QList<QStringList> addresses(int first, int last)
{
    QList<QStringList> records;
    records.reserve(last - first + 1);
    for (int i = first; i <= last; ++i)
        records.append({ QStringLiteral("1"), QStringLiteral("Erika Mustermann %1").arg(i),
            QStringLiteral("Heidestraße %1").arg(i), QStringLiteral("51147 Köln") });
    return records;
}

// The pixels in the colour of the label outlines (or darker blends of it
// with white only: light, bluish).
int outlinePixels(const QImage &image)
{
    int count = 0;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x) {
            const QRgb p = image.pixel(x, y);
            count += qRed(p) == 200 && qGreen(p) == 210 && qBlue(p) == 230 ? 1 : 0;
        }
    return count;
}

} // namespace

class TestPreview : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void previewIsThePrintedPdf_data();
    void previewIsThePrintedPdf();
    void emptyRunAndLabelAtItsPlace();
    void pagesAreThoseOfTheWholeRun_data();
    void pagesAreThoseOfTheWholeRun();
    void longRunHoldsOnlyThePagesAskedFor();
    void badJobIsRefusedWithItsMessage_data();
    void badJobIsRefusedWithItsMessage();
    void recordsChangedSinceTheCheckAreNamedByThePage();
    void pageTooLargeToShowIsNamed();
    void imagePrinterKeepsOnlyTheLastPagesWhenAsked();
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

void TestPreview::pagesAreThoseOfTheWholeRun_data()
{
    QTest::addColumn<int>("start");
    QTest::addColumn<int>("labels");
    QTest::addColumn<bool>("frame");
    QTest::addColumn<int>("offsetX");
    QTest::addColumn<int>("offsetY");
    QTest::addColumn<int>("pages");
    QTest::newRow("three full sheets and a part") << 1 << 70 << false << 0 << 0 << 4;
    QTest::newRow("start 5, frames, offsets") << 5 << 40 << true << -30 << 15 << 3;
    QTest::newRow("start 20, three labels") << 20 << 3 << false << 0 << 0 << 2;
    QTest::newRow("one label") << 1 << 1 << true << 0 << 0 << 1;
}

// Each page, drawn alone and in any order, is the page of the whole run
// printed at once, with the sheet's outlines under it.
void TestPreview::pagesAreThoseOfTheWholeRun()
{
    QFETCH(int, start);
    QFETCH(int, labels);
    QFETCH(bool, frame);
    QFETCH(int, offsetX);
    QFETCH(int, offsetY);
    QFETCH(int, pages);
    AddressJob a;
    QVERIFY(a.load());
    const QList<QStringList> records = addresses(1, labels);
    ListRecords reader(records);
    PrintJob job = a.job(start);
    job.records = &reader;
    job.frame = frame;
    job.offsetX = offsetX;
    job.offsetY = offsetY;
    const int dpi = 40;

    ImagePrinter whole(dpi);
    NullPrintProgress progress;
    QVERIFY(printLabels(job, whole, progress).printed());
    QCOMPARE(whole.pages().size(), pages);

    PreviewPages preview(job, dpi);
    QCOMPARE(preview.pageCount(), pages);
    QCOMPARE(preview.dotsPerInch(), dpi);
    QCOMPARE(preview.pagesHeld(), 0);
    QList<int> order;
    for (int p = pages - 1; p >= 0; --p)
        order << p;
    order << 0 << pages - 1;
    for (const int p : std::as_const(order)) {
        QImage expected = whole.pages().at(p);
        QVERIFY(outlinePixels(expected) == 0);
        drawSheetOutlines(expected, a.format, dpi);
        const QImage shown = preview.page(p);
        QCOMPARE(shown.size(), expected.size());
        QVERIFY2(shown == expected, qPrintable(QStringLiteral("page %1").arg(p + 1)));
        QVERIFY(outlinePixels(shown) > 0);
        QVERIFY(preview.pagesHeld() <= PreviewPages::HeldPages);
    }
    QVERIFY(preview.page(pages).isNull());
    QVERIFY(preview.page(-1).isNull());
}

// 100,000 labels: each page asked for is drawn alone, and only the last
// three asked for are held. The page shows the labels of that page: the
// same as a run of those records alone.
void TestPreview::longRunHoldsOnlyThePagesAskedFor()
{
    AddressJob a;
    QVERIFY(a.load());
    const int labels = 100000;
    const int perSheet = a.format.positionCount();
    QCOMPARE(perSheet, 21);
    const int dpi = 30;
    for (const int start : { 1, 8 }) {
        PrintJob job = a.job(start);
        PreviewPages preview(job, dpi, std::make_unique<ListRecords>(addresses(1, labels)));
        const int lastPosition = start + labels - 1;
        const int pages = (lastPosition + perSheet - 1) / perSheet;
        QCOMPARE(preview.pageCount(), pages);
        QCOMPARE(preview.pagesHeld(), 0);

        // Page p (from 0) holds the records from p * 21 - start + 2 on.
        const auto alone = [&](int p) {
            const int first = std::max(1, p * perSheet - start + 2);
            const int last = std::min(labels, (p + 1) * perSheet - start + 1);
            PrintJob part = a.job(p == 0 ? start : 1);
            return PreviewPages(part, dpi, std::make_unique<ListRecords>(addresses(first, last))).page(0);
        };
        const QList<int> asked { 0, pages - 1, 2000, pages - 1, 1, 0 };
        const QList<int> held { 1, 2, 3, 3, 3, 3 };
        for (qsizetype i = 0; i < asked.size(); ++i) {
            const QImage shown = preview.page(asked[i]);
            QVERIFY2(shown == alone(asked[i]), qPrintable(QStringLiteral("page %1").arg(asked[i] + 1)));
            QCOMPARE(preview.pagesHeld(), held[i]);
        }
    }
}

void TestPreview::badJobIsRefusedWithItsMessage_data()
{
    QTest::addColumn<int>("start");
    QTest::addColumn<QString>("copies");
    QTest::addColumn<QString>("street");
    QTest::addColumn<QString>("message");
    const QString tooLong = QStringLiteral("Heidestraße 1234567890123456789");
    QTest::newRow("start 0") << 0 << "1"
                             << "Weg 1" << startPositionMessage(0);
    QTest::newRow("start beyond the sheet") << 22 << "1"
                                            << "Weg 1" << startBeyondSheetMessage(22, 21);
    QTest::newRow("no label") << 1 << "0"
                              << "Weg 1"
                              << "Es gibt kein Etikett zu drucken.";
    QTest::newRow("value longer than its field")
        << 1 << "1" << tooLong << valueTooLongMessage(2, QStringLiteral("Straße"), tooLong, 30);
}

// A job the print would refuse is refused by the preview, with the same
// message, before any page is drawn.
void TestPreview::badJobIsRefusedWithItsMessage()
{
    QFETCH(int, start);
    QFETCH(QString, copies);
    QFETCH(QString, street);
    QFETCH(QString, message);
    AddressJob a;
    QVERIFY(a.load());
    QList<QStringList> records { { copies, QStringLiteral("Anna"), QStringLiteral("Weg 1"), QString() },
        { copies, QStringLiteral("Bert"), street, QString() } };
    PrintJob job = a.job(start);
    QString refused;
    try {
        PreviewPages preview(job, 30, std::make_unique<ListRecords>(std::move(records)));
        QFAIL("not refused");
    } catch (const Error &e) {
        refused = e.message();
    }
    QCOMPARE(refused, message);
}

// Records that read differently when a page is drawn than when the job was
// checked: the page is not drawn, and its message says why.
void TestPreview::recordsChangedSinceTheCheckAreNamedByThePage()
{
    AddressJob a;
    QVERIFY(a.load());
    QList<QStringList> records = addresses(1, 50);
    ListRecords reader(records);
    PrintJob job = a.job();
    job.records = &reader;
    PreviewPages preview(job, 30);
    const QImage first = preview.page(0);
    QVERIFY(!first.isNull());
    records[30][1] = QStringLiteral("Erika Musterfrau 31");
    QString error;
    try {
        preview.page(2);
    } catch (const Error &e) {
        error = e.message();
    }
    QCOMPARE(error,
        QStringLiteral("Die Datensätze haben sich während des Drucks geändert; der Druck wurde abgebrochen."));
    QCOMPARE(preview.pagesHeld(), 1);
    // The page drawn before the change is still shown as it was.
    QVERIFY(preview.page(0) == first);
}

// At a resolution whose page would not fit ImagePrinter::kMaxPixels the
// page is not drawn, and the preview says so instead of naming a printer.
void TestPreview::pageTooLargeToShowIsNamed()
{
    AddressJob a;
    QVERIFY(a.load());
    PreviewPages preview(a.job(), 1200, std::make_unique<ListRecords>(addresses(1, 3)));
    QString error;
    try {
        preview.page(0);
    } catch (const Error &e) {
        error = e.message();
    }
    QCOMPARE(error, QStringLiteral("Die Vorschau kann für diesen Bogen nicht gezeigt werden."));
    QCOMPARE(preview.pagesHeld(), 0);
}

void TestPreview::imagePrinterKeepsOnlyTheLastPagesWhenAsked()
{
    SheetFormat format;
    format.extentWidth = 2100;
    format.extentHeight = 2970;
    format.positions.push_back({ 100, 200, 500, 300 });
    LayoutRequest request;
    request.lastPosition = 5;
    NullPrintProgress progress;
    const PlacedLabelDrawer drawer = [](ICanvas &canvas, const LabelPlace &place, int row, bool) {
        canvas.rectangle(place.x, place.y, place.x + 25 * row, place.y + 50);
    };
    ImagePrinter all(20);
    QCOMPARE(Ausdrucken(request, format, all, progress, drawer), LayoutResult::Printed);
    QCOMPARE(all.pages().size(), 5);
    QCOMPARE(all.pagesFinished(), 5);
    ImagePrinter lastTwo(20);
    lastTwo.keepLastPages(2);
    QCOMPARE(Ausdrucken(request, format, lastTwo, progress, drawer), LayoutResult::Printed);
    QCOMPARE(lastTwo.pagesFinished(), 5);
    QCOMPARE(lastTwo.pages().size(), 2);
    QVERIFY(lastTwo.pages().at(0) == all.pages().at(3));
    QVERIFY(lastTwo.pages().at(1) == all.pages().at(4));
    QVERIFY(all.pages().at(3) != all.pages().at(4));
}

QTEST_MAIN(TestPreview)
#include "TestPreview.moc"
