// What the program changes for the whole process (app/processtweaks.h): the
// zlib level Qt's PDF engine compresses pages with, and the allocator's
// thresholds that keep the engine's page buffers in the heap. This test is
// linked with the tweaks, as the executable is; the other tests are not.
#include "app/processtweaks.h"
#include "formats/sheetformat.h"
#include "platform/canvas/canvas.h"
#include "platform/doubles/virtualwaiter.h"
#include "printing/pdfprinter.h"
#include "testfiles.h"

#include <QTemporaryDir>
#include <QTest>

#include <zlib.h>

#include <cstdlib>
#include <functional>
#include <vector>

#ifdef __GLIBC__
#include <malloc.h>
#endif

using namespace qm;

class TestProcessTweaks : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    // First: nothing before it has freed a large block, which would let
    // glibc raise its threshold on its own.
    void largeBlocksStayInTheHeap();
    void pagesAreCompressedAtTheProgramsLevel();
};

namespace {

// One label at the format's first position, laid out into the PDF file.
LayoutResult printOneLabel(const QString &pdf, const SheetFormat &format, const LabelDrawer &drawLabel)
{
    PdfPrinter printer(pdf);
    NullPrintProgress progress;
    VirtualWaiter waiter;
    LayoutRequest request;
    request.lastPosition = 1;
    return Ausdrucken(request, format, printer, progress, waiter, drawLabel);
}

// Keeps a block the compiler must not leave out.
void *volatile keptBlock = nullptr;

} // namespace

// After applyProcessTweaks(), a block of 16 MiB (a page buffer of Qt's PDF
// engine) comes from the heap, not from a mapping of its own, and freeing it
// does not give the heap back to the system.
void TestProcessTweaks::largeBlocksStayInTheHeap()
{
#ifdef __GLIBC__
    applyProcessTweaks();
    constexpr size_t PageBuffer = 16 * 1024 * 1024;
    const size_t mappedBefore = mallinfo2().hblkhd;
    keptBlock = std::malloc(PageBuffer);
    QVERIFY(keptBlock);
    const struct mallinfo2 during = mallinfo2();
    QCOMPARE(during.hblkhd, mappedBefore);
    QVERIFY(during.arena >= PageBuffer);
    std::free(keptBlock);
    keptBlock = nullptr;
    QCOMPARE(mallinfo2().arena, during.arena);
#else
    QSKIP("The allocator's thresholds are glibc's.");
#endif
}

namespace {

// `data` deflated by a zlib stream that `init` opens.
QByteArray deflated(const QByteArray &data, const std::function<int(z_stream &)> &init)
{
    z_stream stream {};
    if (init(stream) != Z_OK)
        return {};
    QByteArray out(int(deflateBound(&stream, uLong(data.size()))), '\0');
    stream.next_in = reinterpret_cast<Bytef *>(const_cast<char *>(data.constData()));
    stream.avail_in = uInt(data.size());
    stream.next_out = reinterpret_cast<Bytef *>(out.data());
    stream.avail_out = uInt(out.size());
    const int result = deflate(&stream, Z_FINISH);
    out.resize(qsizetype(stream.total_out));
    deflateEnd(&stream);
    return result == Z_STREAM_END ? out : QByteArray();
}

QByteArray atLevel(const QByteArray &data, int level)
{
    return deflated(data, [level](z_stream &s) {
        return deflateInit2(&s, level, Z_DEFLATED, MAX_WBITS, 8, Z_DEFAULT_STRATEGY);
    });
}

// The zlib data `data` inflated; empty when it is none.
QByteArray inflated(const QByteArray &data)
{
    z_stream stream {};
    if (inflateInit(&stream) != Z_OK)
        return {};
    stream.next_in = reinterpret_cast<Bytef *>(const_cast<char *>(data.constData()));
    stream.avail_in = uInt(data.size());
    QByteArray out;
    int result = Z_OK;
    while (result == Z_OK) {
        char buffer[65536];
        stream.next_out = reinterpret_cast<Bytef *>(buffer);
        stream.avail_out = sizeof buffer;
        result = inflate(&stream, Z_NO_FLUSH);
        out.append(buffer, qsizetype(sizeof buffer - stream.avail_out));
    }
    inflateEnd(&stream);
    return result == Z_STREAM_END ? out : QByteArray();
}

// Many small rectangles in no order, as the modules of barcodes give them.
std::vector<QRectF> scatteredRects(int count)
{
    std::vector<QRectF> rects;
    quint32 seed = 12345;
    const auto next = [&seed](int below) {
        seed = seed * 1103515245U + 12345U;
        return int((seed >> 16) % quint32(below));
    };
    for (int i = 0; i < count; ++i)
        rects.emplace_back(next(40), next(40), 1 + next(4), 1 + next(3));
    return rects;
}

} // namespace

// Qt's PDF engine asks zlib for its default level; the program makes that
// its own, faster level, and a caller that names a level still gets it.
void TestProcessTweaks::pagesAreCompressedAtTheProgramsLevel()
{
    QByteArray sample;
    for (const QRectF &r : scatteredRects(20000))
        sample += QByteArray::number(r.x()) + ' ' + QByteArray::number(r.y()) + ' '
            + QByteArray::number(r.width()) + ' ' + QByteArray::number(r.height()) + " re\n";
    const QByteArray byDefault
        = deflated(sample, [](z_stream &s) { return deflateInit(&s, Z_DEFAULT_COMPRESSION); });
    QVERIFY(!byDefault.isEmpty());
    QCOMPARE(byDefault, atLevel(sample, PdfCompressionLevel));
    QVERIFY(atLevel(sample, 6) != byDefault);
    QCOMPARE(deflated(sample, [](z_stream &s) { return deflateInit(&s, 9); }), atLevel(sample, 9));
    QCOMPARE(inflated(byDefault), sample);

    // A page of such rectangles from the PDF printer: its contents are
    // compressed as the program's level compresses them.
    SheetFormat format;
    format.extentWidth = 2100;
    format.extentHeight = 2970;
    format.positions.push_back({ 0, 0, 2000, 2000 });
    QTemporaryDir dir;
    const QString pdf = dir.filePath(QStringLiteral("rechtecke.pdf"));
    const std::vector<QRectF> rects = scatteredRects(6000);
    QCOMPARE(printOneLabel(pdf, format,
                 [&](ICanvas &canvas, int x, int y, int, bool) {
                     canvas.fillRectsF(rects, QPointF(x + 10, y + 10), 25, 25, Qt::black);
                 }),
        LayoutResult::Printed);
    const QByteArray file = test::contentOf(pdf);
    QByteArray page;
    QByteArray stored;
    for (qsizetype at = file.indexOf("stream\n"); at >= 0; at = file.indexOf("stream\n", at + 1)) {
        const qsizetype begin = at + 7;
        const qsizetype end = file.indexOf("\nendstream", begin);
        if (end < 0)
            break;
        const QByteArray data = file.mid(begin, end - begin);
        const QByteArray content = inflated(data);
        if (content.size() > page.size()) {
            page = content;
            stored = data;
        }
    }
    QVERIFY2(page.count(" re\n") >= 6000, page.left(400).constData());
    QCOMPARE(stored.size(), atLevel(page, PdfCompressionLevel).size());
}

QTEST_MAIN(TestProcessTweaks)
#include "TestProcessTweaks.moc"
