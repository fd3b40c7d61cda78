#include "platform/canvas/recordingcanvas.h"
#include "platform/doubles/virtualwaiter.h"
#include "printing/layout.h"

#include <QTest>

#include <limits>

using namespace qm;

namespace {

// Logs what the layout asks of the printer, in order.
class LoggingPrinter : public IPrinterDevice
{
public:
    QStringList log;
    bool opens = true;
    bool ends = true;
    RecordingCanvas recording;

    bool DruckerOeffnen() override
    {
        log << QStringLiteral("open");
        m_open = opens;
        return opens;
    }
    void DruckerSchliessen() override { log << QStringLiteral("close"); }
    Paper PapierformatHolen() override { return { 9, 2970, 2100 }; }
    void PapierformatSetzen(const Paper &p) override
    {
        log << QStringLiteral("paper %1,%2,%3").arg(p.code).arg(p.length).arg(p.width);
    }
    bool DokumentBeginnen(const QString &name) override
    {
        log << QStringLiteral("begin ") + name;
        return true;
    }
    bool DokumentBeenden() override
    {
        log << QStringLiteral("end");
        return ends;
    }
    bool MassstabSetzen(int u, double, double) override { return u > 0; }
    void endPage() override { log << QStringLiteral("endpage"); }
    void beginPage() override { log << QStringLiteral("beginpage"); }
    ICanvas *canvas() override { return m_open ? &recording : nullptr; }

private:
    bool m_open = false;
};

class LoggingProgress : public IPrintProgress
{
public:
    QString label, page, action;
    int step = -1;
    int steps = 0;
    int cancelAfter = -1;
    bool watching = true;
    int texts = 0;
    void setLabelText(const QString &t) override { label = t; ++texts; }
    void setPageText(const QString &t) override { page = t; ++texts; }
    void setActionText(const QString &t) override { action = t; ++texts; }
    void setProgressStep(int s) override { step = s; }
    void stepProgress() override { ++steps; }
    bool cancelRequested() const override { return cancelAfter >= 0 && steps >= cancelAfter; }
    bool watched() const override { return watching; }
};

SheetFormat grid(int across, int down)
{
    SheetFormat f;
    f.extentWidth = 2030;
    f.extentHeight = 2810;
    for (int j = 0; j < down; ++j) {
        for (int i = 0; i < across; ++i)
            f.positions.push_back({ 75 + i * 660, 150 + j * 380, 635, 380 });
    }
    return f;
}

struct Outcome
{
    LayoutResult result;
    QStringList log;
    LoggingProgress progress;
    qint64 waited = 0;
};

Outcome runLayout(const SheetFormat &format, LayoutRequest request, int cancelAfter = -1, bool watched = true)
{
    LoggingPrinter printer;
    Outcome out;
    out.progress.cancelAfter = cancelAfter;
    out.progress.watching = watched;
    VirtualWaiter waiter;
    QStringList &log = printer.log;
    out.result = Ausdrucken(
        request, format, printer, out.progress, waiter, [&log](ICanvas &, int x, int y, int row, bool frame) {
            log << QStringLiteral("label %1,%2 row %3%4")
                       .arg(x)
                       .arg(y)
                       .arg(row)
                       .arg(frame ? QStringLiteral(" frame") : QString());
        });
    out.log = printer.log;
    out.waited = waiter.now();
    return out;
}

int count(const QStringList &log, const QString &prefix)
{
    int n = 0;
    for (const QString &line : log)
        n += line.startsWith(prefix) ? 1 : 0;
    return n;
}

} // namespace

class TestLayout : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void partlyUsedSheetContinuesOnTheNext();
    void pagesWithoutTrailingEmptyPage_data();
    void pagesWithoutTrailingEmptyPage();
    void progressStep_data();
    void progressStep();
    void offsetsAreCutTowardZero();
    void formatWithoutPositions();
    void nothingToPrintIsRefused_data();
    void nothingToPrintIsRefused();
    void cancelEndsTheDocument_data();
    void cancelEndsTheDocument();
    void unprintableRunsAreRefused_data();
    void unprintableRunsAreRefused();
    void everyRunHasOneLimit();
    void documentThatCannotBeEndedIsReported();
    void printerThatDoesNotOpenDrawsNothing();
    void unwatchedProgressGetsNoTexts_data();
    void unwatchedProgressGetsNoTexts();
};

void TestLayout::partlyUsedSheetContinuesOnTheNext()
{
    LayoutRequest r;
    r.startPosition = 5;
    r.lastPosition = 34; // 30 labels
    r.frame = true;
    const Outcome o = runLayout(grid(3, 7), r);
    QCOMPARE(o.result, LayoutResult::Printed);
    const QStringList labels = o.log.filter(QStringLiteral("label "));
    QCOMPARE(labels.size(), 30);
    // Position 5 is column 2, row 2: x = 735, y = 530 tenths -> 183, 132 units.
    QCOMPARE(labels.first(), QStringLiteral("label 183,132 row 1 frame"));
    // Label 18 is the first of sheet 2, at position 1.
    const qsizetype pageBreak = o.log.indexOf(QStringLiteral("endpage"));
    QCOMPARE(o.log[pageBreak - 1], QStringLiteral("label 348,607 row 17 frame"));
    QCOMPARE(o.log[pageBreak + 2], QStringLiteral("label 18,37 row 18 frame"));
    QCOMPARE(count(o.log, QStringLiteral("endpage")), 1);
    QCOMPARE(o.progress.page, QStringLiteral("Seite 2"));
    QCOMPARE(o.progress.label, QStringLiteral("Etikett 34"));
    QCOMPARE(o.progress.action, QStringLiteral("Schließe Drucker ..."));
    // 200 + 200 + 100 per position + 200 per page break + 200 before closing.
    QCOMPARE(o.waited, qint64(200 + 200 + 34 * 100 + 200 + 200));
    QCOMPARE(o.log.first(), QStringLiteral("open"));
    QCOMPARE(o.log[1], QStringLiteral("paper 256,2810,2280"));
    QCOMPARE(o.log[2], QStringLiteral("begin Quillmark 32"));
    QCOMPARE(o.log.mid(o.log.size() - 3), (QStringList { "end", "close", "paper 9,2970,2100" }));
}

void TestLayout::pagesWithoutTrailingEmptyPage_data()
{
    QTest::addColumn<int>("across");
    QTest::addColumn<int>("down");
    QTest::addColumn<int>("start");
    QTest::addColumn<int>("labels");
    QTest::addColumn<int>("pageBreaks");
    QTest::addColumn<int>("firstRowAfterBreak"); // 0: no label after the last break

    QTest::newRow("one full sheet, no empty page after it") << 3 << 7 << 1 << 21 << 0 << 0;
    QTest::newRow("two full sheets") << 3 << 7 << 1 << 42 << 1 << 22;
    QTest::newRow("full sheet from a later start") << 3 << 7 << 5 << 17 << 0 << 0;
    QTest::newRow("one label per sheet") << 1 << 1 << 1 << 3 << 2 << 3;
    QTest::newRow("short run") << 3 << 7 << 1 << 4 << 0 << 0;
}

void TestLayout::pagesWithoutTrailingEmptyPage()
{
    QFETCH(int, across);
    QFETCH(int, down);
    QFETCH(int, start);
    QFETCH(int, labels);
    QFETCH(int, pageBreaks);
    QFETCH(int, firstRowAfterBreak);
    LayoutRequest r;
    r.startPosition = start;
    r.lastPosition = start + labels - 1;
    const Outcome o = runLayout(grid(across, down), r);
    QCOMPARE(count(o.log, QStringLiteral("label ")), labels);
    QCOMPARE(count(o.log, QStringLiteral("endpage")), pageBreaks);
    // Every page begun gets a label: the document never ends on an empty one.
    QVERIFY(!o.log.value(o.log.indexOf(QStringLiteral("end")) - 1).startsWith(QLatin1String("beginpage")));
    if (pageBreaks > 0) {
        const qsizetype i = o.log.lastIndexOf(QStringLiteral("beginpage"));
        const QString next = o.log.value(i + 1);
        if (firstRowAfterBreak == 0)
            QVERIFY2(!next.startsWith(QLatin1String("label")), qPrintable(next));
        else
            QVERIFY2(next.endsWith(QStringLiteral(" row %1").arg(firstRowAfterBreak)), qPrintable(next));
    }
}

void TestLayout::progressStep_data()
{
    QTest::addColumn<int>("last");
    QTest::addColumn<int>("step");
    QTest::newRow("T=1") << 1 << 100;
    QTest::newRow("T=3") << 3 << 33;
    QTest::newRow("T=100") << 100 << 1;
    QTest::newRow("T=150") << 150 << 0;
}

void TestLayout::progressStep()
{
    QFETCH(int, last);
    QFETCH(int, step);
    LayoutRequest r;
    r.lastPosition = last;
    const Outcome o = runLayout(grid(3, 7), r);
    QCOMPARE(o.progress.step, step);
    QCOMPARE(o.progress.steps, last);
}

void TestLayout::offsetsAreCutTowardZero()
{
    LayoutRequest r;
    r.lastPosition = 1;
    r.offsetX = -30;
    r.offsetY = -12.7; // counts as -12
    const Outcome o = runLayout(grid(3, 7), r);
    // x: trunc((75 - 30) * 0.25) = 11; y: trunc((150 - 12) * 0.25) = 34.
    QCOMPARE(o.log.filter(QStringLiteral("label ")), QStringList { "label 11,34 row 1" });
}

void TestLayout::formatWithoutPositions()
{
    LayoutRequest r;
    r.lastPosition = 3;
    const Outcome o = runLayout(SheetFormat {}, r);
    QCOMPARE(o.log.filter(QStringLiteral("label ")),
        (QStringList { "label 0,0 row 1", "label 0,0 row 2", "label 0,0 row 3" }));
    QCOMPARE(count(o.log, QStringLiteral("endpage")), 0);
}

void TestLayout::nothingToPrintIsRefused_data()
{
    QTest::addColumn<int>("start");
    QTest::addColumn<int>("last");
    QTest::addColumn<int>("units");
    QTest::newRow("no labels") << 1 << 0 << 25;
    QTest::newRow("start below 1") << -3 << -1 << 25;
    QTest::newRow("scale 0") << 1 << 2 << 0;
}

void TestLayout::nothingToPrintIsRefused()
{
    QFETCH(int, start);
    QFETCH(int, last);
    QFETCH(int, units);
    LayoutRequest r;
    r.startPosition = start;
    r.lastPosition = last;
    r.unitsPerCm = units;
    const Outcome o = runLayout(grid(3, 7), r);
    QCOMPARE(o.result, LayoutResult::Refused);
    QVERIFY(o.log.isEmpty()); // the printer was never touched
    QCOMPARE(o.waited, qint64(0));
}

void TestLayout::cancelEndsTheDocument_data()
{
    QTest::addColumn<int>("cancelAfter");
    QTest::addColumn<int>("labels");
    QTest::addColumn<LayoutResult>("result");
    QTest::newRow("after the second label") << 2 << 2 << LayoutResult::Cancelled;
    QTest::newRow("after the last but one") << 9 << 9 << LayoutResult::Cancelled;
    // Every label was drawn: the run is printed, not cancelled.
    QTest::newRow("at the last label") << 10 << 10 << LayoutResult::Printed;
}

void TestLayout::cancelEndsTheDocument()
{
    QFETCH(int, cancelAfter);
    QFETCH(int, labels);
    QFETCH(LayoutResult, result);
    LayoutRequest r;
    r.lastPosition = 10;
    const Outcome o = runLayout(grid(3, 7), r, cancelAfter);
    QCOMPARE(o.result, result);
    QCOMPARE(count(o.log, QStringLiteral("label ")), labels);
    QCOMPARE(o.log.mid(o.log.size() - 3), (QStringList{"end", "close", "paper 9,2970,2100"}));
}

void TestLayout::printerThatDoesNotOpenDrawsNothing()
{
    LoggingPrinter printer;
    printer.opens = false;
    LoggingProgress progress;
    VirtualWaiter waiter;
    LayoutRequest r;
    r.lastPosition = 4;
    int drawn = 0;
    const LayoutResult result = Ausdrucken(
        r, grid(3, 7), printer, progress, waiter, [&drawn](ICanvas &, int, int, int, bool) { ++drawn; });
    QCOMPARE(result, LayoutResult::DeviceFailed);
    QCOMPARE(drawn, 0);
    QCOMPARE(progress.label, QStringLiteral("Etikett 4"));
    QCOMPARE(progress.steps, 4);
}

void TestLayout::unprintableRunsAreRefused_data()
{
    QTest::addColumn<int>("start");
    QTest::addColumn<int>("last");
    QTest::addColumn<int>("units");
    QTest::addColumn<double>("offset");
    QTest::addColumn<int>("extentWidth");
    QTest::addColumn<int>("labelX");
    QTest::addColumn<QString>("message");
    QTest::newRow("print scale beyond int products")
        << 1 << 1 << 2147483647 << 0.0 << 2030 << 75
        << "Der Druckmaßstab 2147483647 der Etikettendatei liegt nicht zwischen 1 und 1000.";
    QTest::newRow("extent that overflows the paper width")
        << 1 << 1 << 25 << 0.0 << 2147483647 << 75 << "Die Bogengröße 2147483647 x 2810";
    QTest::newRow("negative extent") << 1 << 1 << 25 << 0.0 << -1 << 75 << "Die Bogengröße -1 x 2810";
    QTest::newRow("label beyond the sheet")
        << 1 << 1 << 25 << 0.0 << 2030 << 2000000000 << "Etikett 1 der Formatdatei";
    QTest::newRow("start far beyond the first sheets")
        << 2000000000 << 2000000000 << 25 << 0.0 << 2030 << 75
        << "Die Startposition 2000000000 liegt nicht zwischen 1 und 200.";
    QTest::newRow("start beyond the sheet's last label")
        << 22 << 22 << 25 << 0.0 << 2030 << 75
        << "Die Startposition 22 liegt hinter dem letzten Etikett des Bogens: das Format hat 21 Etiketten.";
    QTest::newRow("start two sheets on")
        << 43 << 43 << 25 << 0.0 << 2030 << 75 << "Die Startposition 43 liegt hinter dem letzten Etikett";
    QTest::newRow("last position that wrapped") << 5 << -2147483644 << 25 << 0.0 << 2030 << 75 << QString();
    QTest::newRow("too many labels") << 1 << MaxLabelsPerRun + 1 << 25 << 0.0 << 2030 << 75
                                     << "höchstens 1000000000 Etiketten";
    QTest::newRow("offset") << 1 << 1 << 25 << -251.0 << 2030 << 75
                            << "Der Versatz -251 liegt nicht zwischen -250 und 250";
}

void TestLayout::unprintableRunsAreRefused()
{
    QFETCH(int, start);
    QFETCH(int, last);
    QFETCH(int, units);
    QFETCH(double, offset);
    QFETCH(int, extentWidth);
    QFETCH(int, labelX);
    QFETCH(QString, message);
    SheetFormat format = grid(3, 7);
    format.extentWidth = extentWidth;
    format.positions[0].x = labelX;
    LayoutRequest r;
    r.startPosition = start;
    r.lastPosition = last;
    r.unitsPerCm = units;
    r.offsetY = offset;
    if (!message.isEmpty())
        QVERIFY2(unprintableReason(r, format).contains(message), qPrintable(unprintableReason(r, format)));
    const Outcome o = runLayout(format, r);
    QCOMPARE(o.result, LayoutResult::Refused);
    QVERIFY(o.log.isEmpty()); // the printer was never touched
}

void TestLayout::everyRunHasOneLimit()
{
    const SheetFormat format = grid(3, 7);
    LayoutRequest r;
    r.startPosition = 21;
    r.lastPosition = 21 + MaxLabelsPerRun - 1;
    QCOMPARE(unprintableReason(r, format), QString());
    r.lastPosition += 1;
    QCOMPARE(unprintableReason(r, format),
        QStringLiteral(
            "Ein Druckauftrag kann höchstens 1000000000 Etiketten enthalten, dieser hätte 1000000001."));
}

void TestLayout::documentThatCannotBeEndedIsReported()
{
    LoggingPrinter printer;
    printer.ends = false;
    LoggingProgress progress;
    VirtualWaiter waiter;
    LayoutRequest r;
    r.lastPosition = 2;
    const LayoutResult result
        = Ausdrucken(r, grid(3, 7), printer, progress, waiter, [](ICanvas &, int, int, int, bool) {});
    QCOMPARE(result, LayoutResult::EndFailed);
    QCOMPARE(printer.log.mid(printer.log.size() - 3), (QStringList { "end", "close", "paper 9,2970,2100" }));
}

void TestLayout::unwatchedProgressGetsNoTexts_data()
{
    QTest::addColumn<int>("cancelAfter");
    QTest::addColumn<int>("labels");
    QTest::newRow("whole run over two sheets") << -1 << 30;
    QTest::newRow("cancelled at position 25") << 25 << 23;
}

// Nobody watching changes nothing but the texts: the same printer calls,
// labels, waits, steps and cancel.
void TestLayout::unwatchedProgressGetsNoTexts()
{
    QFETCH(int, cancelAfter);
    QFETCH(int, labels);
    LayoutRequest r;
    r.startPosition = 3;
    r.lastPosition = 32;
    const Outcome watched = runLayout(grid(3, 7), r, cancelAfter, true);
    const Outcome unwatched = runLayout(grid(3, 7), r, cancelAfter, false);
    QCOMPARE(unwatched.result, watched.result);
    QCOMPARE(unwatched.log, watched.log);
    QCOMPARE(count(unwatched.log, QStringLiteral("label ")), labels);
    QCOMPARE(unwatched.waited, watched.waited);
    QCOMPARE(unwatched.progress.steps, watched.progress.steps);
    QCOMPARE(unwatched.progress.step, 3);
    QCOMPARE(unwatched.progress.texts, 0);
    QVERIFY(watched.progress.texts > 2 * labels);
    QCOMPARE(watched.progress.action, QStringLiteral("Schließe Drucker ..."));
    QVERIFY(!NullPrintProgress().watched());
}

QTEST_GUILESS_MAIN(TestLayout)
#include "TestLayout.moc"
