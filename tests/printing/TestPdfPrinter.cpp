#include "designs/printdesign.h"
#include "testpaths.h"
#include "designs/rendering.h"
#include "formats/sheetformat.h"
#include "platform/doubles/scriptedmessages.h"
#include "platform/doubles/virtualwaiter.h"
#include "printing/pdfprinter.h"
#include "pdfpages.h"
#include "testfiles.h"

#include <QDir>
#include <QProcess>
#include <QRegularExpression>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>

#include <cstdlib>
#include <new>

#include <sys/resource.h>

using namespace qm;

class TestPdfPrinter : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void labelsLandOnTheirPositions();
    void unfinishedDocumentKeepsThePreviousFile();
    void runningOutOfMemoryLeavesNothing_data();
    void runningOutOfMemoryLeavesNothing();
    void fullDiskIsReportedAndKeepsThePreviousFile();
    void targetThatIsNoFileIsRefused();
    void pageIsA4WhenTheSheetFits_data();
    void pageIsA4WhenTheSheetFits();
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

// Begins a document on the printer and draws a page full of text.
bool drawPage(PdfPrinter &printer)
{
    if (!printer.DruckerOeffnen() || !printer.DokumentBeginnen(QStringLiteral("Quillmark 32")))
        return false;
    printer.MassstabSetzen(25, 1.0, 1.0);
    ICanvas *canvas = printer.canvas();
    if (!canvas)
        return false;
    canvas->setFont({ QStringLiteral("Arial"), -20, 0, 400, false });
    for (int line = 0; line < 60; ++line)
        canvas->text(
            10, 10 + line * 10, QStringLiteral("Zeile %1 mit etwas Text, der Platz braucht").arg(line));
    return true;
}

// While it lives, the process can allocate (almost) nothing more: its
// address space is capped a little above what it uses, and what is left
// below the cap is taken, down to the smallest pieces.
class MemoryExhausted
{
public:
    MemoryExhausted()
    {
        QFile statm(QStringLiteral("/proc/self/statm"));
        const bool read = statm.open(QIODevice::ReadOnly);
        const rlim_t pages = read ? statm.readAll().split(' ').value(0).toULongLong() : 0;
        ::getrlimit(RLIMIT_AS, &m_old);
        if (pages == 0)
            return;
        rlimit cap = m_old;
        cap.rlim_cur = pages * rlim_t(::sysconf(_SC_PAGESIZE)) + (rlim_t(8) << 20);
        ::setrlimit(RLIMIT_AS, &cap);
        // The pieces are chained through their first bytes: a list of them
        // would need memory of its own.
        for (size_t size = size_t(1) << 20; size >= sizeof(void *); size /= 2) {
            while (void *piece = std::malloc(size)) {
                *static_cast<void **>(piece) = m_taken;
                m_taken = piece;
            }
        }
    }
    ~MemoryExhausted() { release(); }
    MemoryExhausted(const MemoryExhausted &) = delete;
    MemoryExhausted &operator=(const MemoryExhausted &) = delete;

    // Gives everything back and lifts the cap.
    void release()
    {
        while (m_taken) {
            void *next = *static_cast<void **>(m_taken);
            std::free(m_taken);
            m_taken = next;
        }
        ::setrlimit(RLIMIT_AS, &m_old);
    }

private:
    rlimit m_old {};
    void *m_taken = nullptr;
};

} // namespace

void TestPdfPrinter::runningOutOfMemoryLeavesNothing_data()
{
    QTest::addColumn<bool>("ending");
    // Qt's engine throws std::bad_alloc when it cannot get the buffer a page
    // is compressed through: while the document is ended, or while the
    // printer drops a document the run gave up (the destructor must not
    // throw again, which would abort the program).
    QTest::newRow("while ending the document") << true;
    QTest::newRow("while dropping the document") << false;
}

void TestPdfPrinter::runningOutOfMemoryLeavesNothing()
{
    QFETCH(bool, ending);
    QTemporaryDir dir;
    const QString path = dir.filePath("etiketten.pdf");
    QVERIFY(test::writeBytes(path, "%PDF-alt"));
    auto printer = std::make_unique<PdfPrinter>(path);
    QVERIFY(drawPage(*printer));
    bool threw = false;
    bool ended = false;
    {
        MemoryExhausted exhausted;
        try {
            if (ending)
                ended = printer->DokumentBeenden();
            else
                throw std::bad_alloc(); // the run fails while drawing
        } catch (const std::bad_alloc &) {
            threw = true;
        }
        // Unwinding destroys the printer while memory is still short.
        printer.reset();
    }
    QVERIFY(threw);
    QVERIFY(!ended);
    QCOMPARE(test::contentOf(path), QByteArray("%PDF-alt"));
    QCOMPARE(QDir(dir.path()).entryList(QDir::Files | QDir::Hidden), QStringList { "etiketten.pdf" });
}

void TestPdfPrinter::unfinishedDocumentKeepsThePreviousFile()
{
    QTemporaryDir dir;
    const QString path = dir.filePath("etiketten.pdf");
    QVERIFY(test::writeBytes(path, "%PDF-alt"));
    {
        PdfPrinter printer(path);
        QVERIFY(drawPage(printer));
        // The run fails here (a bitmap that cannot be read, say): the printer
        // goes away without the document being ended.
    }
    QCOMPARE(test::contentOf(path), QByteArray("%PDF-alt"));
    QCOMPARE(QDir(dir.path()).entryList(QDir::Files | QDir::Hidden), QStringList { "etiketten.pdf" });

    PdfPrinter printer(path);
    QVERIFY(drawPage(printer));
    QVERIFY(printer.DokumentBeenden());
    QVERIFY(printer.errorMessage().isEmpty());
    const QByteArray written = test::contentOf(path);
    QVERIFY(written.startsWith("%PDF-1."));
    QVERIFY(written.trimmed().endsWith("%%EOF"));
}

void TestPdfPrinter::fullDiskIsReportedAndKeepsThePreviousFile()
{
    QTemporaryDir dir;
    const QString path = dir.filePath("etiketten.pdf");
    QVERIFY(test::writeBytes(path, "%PDF-alt"));
    PdfPrinter printer(path);
    {
        const test::FileSizeLimit limit(4096);
        QVERIFY(drawPage(printer));
        QVERIFY(!printer.DokumentBeenden());
    }
    QCOMPARE(printer.errorMessage(), QStringLiteral("Kapazität der Diskette/Festplatte erschöpft"));
    QCOMPARE(test::contentOf(path), QByteArray("%PDF-alt"));
    QCOMPARE(QDir(dir.path()).entryList(QDir::Files | QDir::Hidden), QStringList { "etiketten.pdf" });
}

void TestPdfPrinter::targetThatIsNoFileIsRefused()
{
    PdfPrinter printer(QStringLiteral("/dev/full"));
    QVERIFY(printer.DruckerOeffnen());
    QVERIFY(!printer.DokumentBeginnen(QStringLiteral("Quillmark 32")));
    QVERIFY(!printer.canvas());
    QCOMPARE(printer.errorMessage(),
        QStringLiteral("/dev/full ist keine gewöhnliche Datei (sondern etwa eine Pipe oder ein Gerät)."));
}

void TestPdfPrinter::labelsLandOnTheirPositions()
{
    if (QStandardPaths::findExecutable(QStringLiteral("pdftotext")).isEmpty())
        QFAIL("pdftotext (poppler-utils) is needed: scripts/test installs it");

    PrintDesign design;
    StringTable labelList;
    FieldGrids grids;
    grids.labelList = &labelList;
    QVERIFY(EtikettdateiLesen(test::shareDir() + QStringLiteral("/ETIKETT/adresse.eti"), design, grids));
    SheetFormat format;
    QVERIFY(FormatdateiLesen(test::shareDir() + QStringLiteral("/FORMATE/adressen_3x7.vrl"), format));

    // Labels 1..18 from position 5 on: 17 on sheet 1, one on sheet 2.
    const int labels = 18;
    for (int row = 1; row <= labels; ++row) {
        labelList.setCell(1, row, QStringLiteral("Name%1").arg(row));
        labelList.setCell(2, row, QStringLiteral("Weg%1").arg(row));
        labelList.setCell(3, row, QStringLiteral("Ort%1").arg(row));
    }
    QTemporaryDir dir;
    const QString pdf = dir.filePath(QStringLiteral("out.pdf"));
    PdfPrinter printer(pdf);
    NullPrintProgress progress;
    VirtualWaiter waiter;
    ScriptedMessages messages;
    LayoutRequest request;
    request.startPosition = 5;
    request.lastPosition = 5 + labels - 1;
    request.offsetX = -30; // 3 mm to the left
    request.offsetY = 15; // 1.5 mm down
    request.unitsPerCm = design.printScale;
    const LayoutResult result = Ausdrucken(
        request, format, printer, progress, waiter, [&](ICanvas &canvas, int x, int y, int row, bool frame) {
            EtikettZeichnen(
                canvas, design, labelList, x, y, row, frame, messages, QStringLiteral("10.12.2026"));
        });
    QCOMPARE(result, LayoutResult::Printed);

    int pages = 0;
    const QList<test::PdfWord> words = test::pdfWords(pdf, &pages);
    QCOMPARE(pages, 2);
    QCOMPARE(words.size(), labels * 3);
    for (const test::PdfWord &w : words) {
        const int row = w.text.mid(w.text.indexOf(QRegularExpression(QStringLiteral("\\d")))).toInt();
        const int position = (row + 4 - 1) % 21 + 1;
        const int page = (row + 4 - 1) / 21 + 1;
        const int column = (position - 1) % 3;
        const int line = (position - 1) / 3;
        // Label origin in millimetres, with the offsets; the field's design
        // point is (10, 15 + 25 k) units of 0.4 mm.
        const double x = (75 + column * 660 - 30) / 10.0 + 10 * 0.4;
        const int k = w.text.startsWith(QLatin1String("Name")) ? 0
            : w.text.startsWith(QLatin1String("Weg"))          ? 1
                                                               : 2;
        const double y = (150 + line * 380 + 15) / 10.0 + (15 + 25 * k) * 0.4;
        QCOMPARE(w.page, page);
        QVERIFY2(qAbs(w.xMin - x) <= 0.5,
            qPrintable(QStringLiteral("%1: x %2 mm, expected %3").arg(w.text).arg(w.xMin).arg(x)));
        QVERIFY2(qAbs(w.yMin - y) <= 1.0,
            qPrintable(QStringLiteral("%1: y %2 mm, expected %3").arg(w.text).arg(w.yMin).arg(y)));
    }
}

void TestPdfPrinter::pageIsA4WhenTheSheetFits_data()
{
    QTest::addColumn<int>("extentWidth"); // tenths of a millimetre
    QTest::addColumn<int>("extentHeight");
    QTest::addColumn<double>("pageWidth"); // points
    QTest::addColumn<double>("pageHeight");
    const double a4w = 210 * 72 / 25.4;
    const double a4h = 297 * 72 / 25.4;
    QTest::newRow("address sheet") << 2030 << 2810 << a4w << a4h;
    QTest::newRow("exactly A4") << 2100 << 2970 << a4w << a4h;
    QTest::newRow("post card stock") << 1480 << 1050 << a4w << a4h;
    QTest::newRow("wider than A4") << 2200 << 2800 << 220 * 72 / 25.4 << 280 * 72 / 25.4;
    QTest::newRow("longer than A4") << 2000 << 2990 << 200 * 72 / 25.4 << 299 * 72 / 25.4;
}

void TestPdfPrinter::pageIsA4WhenTheSheetFits()
{
    QFETCH(int, extentWidth);
    QFETCH(int, extentHeight);
    QFETCH(double, pageWidth);
    QFETCH(double, pageHeight);
    if (QStandardPaths::findExecutable(QStringLiteral("pdfinfo")).isEmpty())
        QFAIL("pdfinfo (poppler-utils) is needed: scripts/test installs it");
    SheetFormat format;
    format.extentWidth = extentWidth;
    format.extentHeight = extentHeight;
    format.positions.push_back({ 0, 0, 500, 300 });
    QTemporaryDir dir;
    const QString pdf = dir.filePath(QStringLiteral("page.pdf"));
    QCOMPARE(printOneLabel(pdf, format,
                 [](ICanvas &canvas, int x, int y, int, bool) { canvas.rectangle(x, y, x + 100, y + 50); }),
        LayoutResult::Printed);
    QProcess info;
    info.start(QStringLiteral("pdfinfo"), { pdf });
    QVERIFY(info.waitForFinished(30000));
    const QString text = QString::fromUtf8(info.readAllStandardOutput());
    static const QRegularExpression size(QStringLiteral(R"(Page size:\s+([\d.]+) x ([\d.]+) pts)"));
    const QRegularExpressionMatch m = size.match(text);
    QVERIFY2(m.hasMatch(), qPrintable(text));
    // Qt rounds custom page sizes to whole points.
    QVERIFY2(qAbs(m.captured(1).toDouble() - pageWidth) < 1.0, qPrintable(text));
    QVERIFY2(qAbs(m.captured(2).toDouble() - pageHeight) < 1.0, qPrintable(text));
    QVERIFY(text.contains(QStringLiteral("Pages:           1")));
}

QTEST_MAIN(TestPdfPrinter)
#include "TestPdfPrinter.moc"
