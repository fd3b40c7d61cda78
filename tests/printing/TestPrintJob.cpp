#include "designs/printdesign.h"
#include "formats/sheetformat.h"
#include "platform/canvas/recordingcanvas.h"
#include "platform/doubles/virtualwaiter.h"
#include "printing/pdfprinter.h"
#include "printing/printjob.h"
#include "printing/recorddigests.h"

#include "printerdoubles.h"
#include "testpaths.h"

#include <QFile>
#include <QTemporaryDir>
#include <QTest>

using namespace qm;
using test::RecordingPrinter;

namespace {

// A design of one text field (Name, 10 characters), an EAN-13 barcode (EAN)
// and a serial number, 70 x 37 mm.
PrintDesign testDesign()
{
    PrintDesign design;
    readPrintDesignLines({ QStringLiteral("NA,Test"), QStringLiteral("GR,175,90,25"),
                             QStringLiteral("XF,14,0,1,0,Arial,0"), QStringLiteral("EF,8,6,10,Name"),
                             QStringLiteral("BC,8,24,104,86,0,EAN"), QStringLiteral("SE,8,80,1,Nr. ") },
        QString(), design, {});
    return design;
}

SheetFormat testFormat()
{
    SheetFormat format;
    [&] {
        QVERIFY(FormatdateiLesen(test::shareDir() + QStringLiteral("/FORMATE/adressen_3x7.vrl"), format));
    }();
    return format;
}

// Records that read as `first` the first time and as `second` every time
// after (a file changed between the check and the print).
class ChangingRecords : public IRecordReader
{
public:
    ChangingRecords(QList<QStringList> first, QList<QStringList> second)
        : m_first(std::move(first))
        , m_second(std::move(second))
    { }
    bool next(QStringList &record) override
    {
        const QList<QStringList> &list = m_readings <= 1 ? m_first : m_second;
        if (m_next >= list.size())
            return false;
        record = list[m_next++];
        return true;
    }
    void rewind() override
    {
        ++m_readings;
        m_next = 0;
    }

private:
    QList<QStringList> m_first;
    QList<QStringList> m_second;
    int m_readings = 0;
    qsizetype m_next = 0;
};

// The texts drawn, in order, without the digits under the bars.
QStringList textsOf(const RecordingCanvas &canvas)
{
    QStringList texts;
    for (const auto &call : canvas.calls()) {
        if (call.op == QLatin1String("text") && !call.args.value(1).mid(1, 1).front().isDigit())
            texts << call.args.value(1).mid(1).chopped(1);
    }
    return texts;
}

int barcodeBarsIn(const QList<RecordingCanvas::Call> &calls)
{
    int bars = 0;
    for (const auto &call : calls)
        bars += call.op == QLatin1String("fillf");
    return bars;
}

int barcodeBars(const RecordingCanvas &canvas)
{
    return barcodeBarsIn(canvas.calls());
}

} // namespace

class TestPrintJob : public QObject
{
    Q_OBJECT

private slots:
    void printsEveryLabelOnce();
    void checksBeforeTheDevice_data();
    void checksBeforeTheDevice();
    void changedRecordsAreRefused_data();
    void changedRecordsAreRefused();
    void changedRecordLeavesThePdfAsItWas();
    void digestsOfLongRuns();
    void printsAPageRange();
    void barcodesBeyondTheKeptOnesDrawTheSame();
    void pacedProgressWaitsAsTheWindowsDid();
};

void TestPrintJob::printsEveryLabelOnce()
{
    const PrintDesign design = testDesign();
    const QList<QStringList> rows { { "2", "Anna", "4006381333931", "7" }, { "1", "Bert", "", "" } };
    ListRecords records(rows);
    PrintJob job;
    job.design = &design;
    job.format = testFormat();
    job.records = &records;
    job.serialInCopies = false;
    job.startPosition = 20;
    LabelRun run(job);
    QCOMPARE(run.labels(), 3);
    QCOMPARE(run.lastPosition(), 22);
    QCOMPARE(run.pageCount(), 2);
    RecordingPrinter printer;
    NullPrintProgress progress;
    const PrintOutcome outcome = run.print(printer, progress);
    QVERIFY2(outcome.printed(), qPrintable(outcome.message));
    QCOMPARE(outcome.labels, 3);
    QCOMPARE(outcome.pages, 2);
    QCOMPARE(printer.pages, 2);
    // Serial numbers per record, from the first record's start.
    QCOMPARE(textsOf(printer.canvas_), QStringList({ "Anna", "Nr. 7", "Anna", "Nr. 7", "Bert", "Nr. 8" }));
    QVERIFY(barcodeBars(printer.canvas_) > 0);
}

void TestPrintJob::checksBeforeTheDevice_data()
{
    QTest::addColumn<QList<QStringList>>("rows");
    QTest::addColumn<int>("start");
    QTest::addColumn<QString>("message");
    QTest::newRow("too long") << QList<QStringList> { { "1", "Anna", "", "" },
        { "1", "Bartholomäus", "", "" } }
                              << 1
                              << QStringLiteral(
                                     "Datensatz 2, Feld Name: „Bartholomäus“ hat 12 Zeichen, das Feld "
                                     "fasst höchstens 10.");
    QTest::newRow("check digit") << QList<QStringList> { { "1", "Anna", "4006381333932", "" } } << 1
                                 << QStringLiteral(
                                        "Datensatz 1, Feld EAN: „4006381333932“ kann nicht als EAN-13 "
                                        "gedruckt werden, die Prüfziffer müsste 1 sein.");
    QTest::newRow("copies") << QList<QStringList> { { "x", "Anna", "", "" } } << 1
                            << QStringLiteral("'x' ist kein gültiger Integerwert");
    QTest::newRow("serial start") << QList<QStringList> { { "1", "Anna", "", "A1" } } << 1
                                  << QStringLiteral("'A1' ist kein gültiger Integerwert");
    QTest::newRow("nothing") << QList<QStringList> { { "0", "Anna", "", "" } } << 1
                             << QStringLiteral("Es gibt kein Etikett zu drucken.");
    QTest::newRow("start") << QList<QStringList> { { "1", "Anna", "", "" } } << 22
                           << QStringLiteral(
                                  "Die Startposition 22 liegt hinter dem letzten Etikett des Bogens: "
                                  "das Format hat 21 Etiketten.");
}

void TestPrintJob::checksBeforeTheDevice()
{
    QFETCH(QList<QStringList>, rows);
    QFETCH(int, start);
    QFETCH(QString, message);
    const PrintDesign design = testDesign();
    ListRecords records(rows);
    PrintJob job;
    job.design = &design;
    job.format = testFormat();
    job.records = &records;
    job.startPosition = start;
    RecordingPrinter printer;
    NullPrintProgress progress;
    const PrintOutcome outcome = printLabels(job, printer, progress);
    QCOMPARE(outcome.result, PrintOutcome::Result::Refused);
    QCOMPARE(outcome.message, message);
    QCOMPARE(printer.pages, 0);
    QVERIFY(printer.canvas_.calls().isEmpty());
}

void TestPrintJob::changedRecordsAreRefused_data()
{
    QTest::addColumn<QList<QStringList>>("second");
    const QStringList anna { "1", "Anna", "4006381333931", "" };
    const QStringList bert { "2", "Bert", "", "" };
    // Same length and count, only a value differs: the barcode value now
    // has a wrong check digit and would print without its barcode.
    QTest::newRow("barcode value") << QList<QStringList> { { "1", "Anna", "4006381333932", "" }, bert };
    QTest::newRow("text value") << QList<QStringList> { anna, { "2", "Berta", "", "" } };
    QTest::newRow("copies") << QList<QStringList> { anna, { "3", "Bert", "", "" } };
    QTest::newRow("record added") << QList<QStringList> { anna, bert, bert };
    QTest::newRow("record removed") << QList<QStringList> { anna };
    QTest::newRow("records swapped") << QList<QStringList> { bert, anna };
}

void TestPrintJob::changedRecordsAreRefused()
{
    QFETCH(QList<QStringList>, second);
    const PrintDesign design = testDesign();
    ChangingRecords records({ { "1", "Anna", "4006381333931", "" }, { "2", "Bert", "", "" } }, second);
    PrintJob job;
    job.design = &design;
    job.format = testFormat();
    job.records = &records;
    job.recordsName = QStringLiteral("adressen.csv");
    RecordingPrinter printer;
    NullPrintProgress progress;
    const PrintOutcome outcome = printLabels(job, printer, progress);
    QCOMPARE(outcome.result, PrintOutcome::Result::Changed);
    QCOMPARE(outcome.message,
        QStringLiteral(
            "Die Datei adressen.csv hat sich während des Drucks geändert; der Druck wurde abgebrochen."));
    // The document was given up, never ended.
    QVERIFY(!printer.ended);
    // What was drawn is what was checked: no label of the changed records.
    for (const QString &text : textsOf(printer.canvas_))
        QVERIFY2(text == QLatin1String("Anna") || text == QLatin1String("Bert") || text.startsWith(u"Nr. "),
            qPrintable(text));
}

void TestPrintJob::changedRecordLeavesThePdfAsItWas()
{
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("etiketten.pdf"));
    {
        QFile old(path);
        QVERIFY(old.open(QIODevice::WriteOnly));
        old.write("the labels of yesterday");
    }
    const PrintDesign design = testDesign();
    QList<QStringList> first;
    for (int i = 0; i < 50; ++i)
        first.append({ "1", QStringLiteral("Name%1").arg(i, 2, 10, QLatin1Char('0')), "", "" });
    QList<QStringList> second = first;
    second[40][1] = QStringLiteral("Name99");
    ChangingRecords records(first, second);
    PrintJob job;
    job.design = &design;
    job.format = testFormat();
    job.records = &records;
    job.deviceName = path;
    job.toFile = true;
    PdfPrinter pdf(path);
    NullPrintProgress progress;
    const PrintOutcome outcome = printLabels(job, pdf, progress);
    QCOMPARE(outcome.result, PrintOutcome::Result::Changed);
    QCOMPARE(outcome.message,
        QStringLiteral(
            "Die Datensätze haben sich während des Drucks geändert; der Druck wurde abgebrochen."));
    QFile file(path);
    QVERIFY(file.open(QIODevice::ReadOnly));
    QCOMPARE(file.readAll(), QByteArray("the labels of yesterday"));
    QCOMPARE(QDir(dir.path()).entryList(QDir::Files), QStringList { "etiketten.pdf" });
}

void TestPrintJob::digestsOfLongRuns()
{
    // More records than blocks: blocks are merged, a change is still seen
    // at the end of its block, and a run without change matches to the end.
    const qint64 count = qint64(RecordDigests::MaxBlocks) * 2 + 5;
    const auto digestOf = [](qint64 i) { return RecordDigests::of({ "1", QString::number(i) }); };
    RecordDigests digests;
    for (qint64 i = 0; i < count; ++i)
        digests.add(digestOf(i));
    QCOMPARE(digests.count(), count);
    QCOMPARE(digests.blockSize(), 4);

    digests.restart();
    for (qint64 i = 0; i < count; ++i)
        QVERIFY(digests.matches(i, digestOf(i)));
    QVERIFY(digests.matchesEnd(count));

    digests.restart();
    const qint64 changed = 1234567;
    qint64 seenAt = -1;
    for (qint64 i = 0; i < count && seenAt < 0; ++i) {
        if (!digests.matches(i, i == changed ? digestOf(count + 1) : digestOf(i)))
            seenAt = i;
    }
    QCOMPARE(seenAt, changed | 3); // the last record of its block of four
    QVERIFY(!digests.matches(count, digestOf(count)));
}

void TestPrintJob::printsAPageRange()
{
    const PrintDesign design = testDesign();
    QList<QStringList> rows;
    for (int i = 1; i <= 50; ++i)
        rows.append({ "1", QStringLiteral("N%1").arg(i), "", "" });
    ListRecords records(rows);
    PrintJob job;
    job.design = &design;
    job.format = testFormat();
    job.records = &records;
    job.startPosition = 3;
    LabelRun run(job);
    QCOMPARE(run.pageCount(), 3); // positions 3 .. 52 of 21 per sheet
    NullPrintProgress progress;
    const QList<QPair<int, QStringList>> pages { { 1, { "N1", "N19" } }, { 2, { "N20", "N40" } },
        { 3, { "N41", "N50" } } };
    for (const auto &[page, firstAndLast] : pages) {
        RecordingPrinter printer;
        const PrintOutcome outcome = run.printPages(printer, progress, page, page);
        QVERIFY2(outcome.printed(), qPrintable(outcome.message));
        QCOMPARE(printer.pages, 1);
        QStringList names;
        for (const QString &text : textsOf(printer.canvas_)) {
            if (text.startsWith(u'N') && !text.startsWith(u"Nr."))
                names << text;
        }
        QCOMPARE(names.first(), firstAndLast.first());
        QCOMPARE(names.last(), firstAndLast.last());
    }
}

void TestPrintJob::barcodesBeyondTheKeptOnesDrawTheSame()
{
    // Symbols kept from the check for all records, for some, for none (laid
    // out ahead while drawing): every label is drawn the same.
    const PrintDesign design = testDesign();
    QList<QStringList> rows;
    for (int i = 0; i < 300; ++i) {
        QString ean = QStringLiteral("400638133%1").arg(i % 1000, 3, 10, QLatin1Char('0'));
        const auto digits = [&](int k) { return ean.at(k).digitValue(); };
        int sum = 0;
        for (int k = 0; k < 12; ++k)
            sum += digits(k) * (k % 2 ? 3 : 1);
        ean += QString::number((10 - sum % 10) % 10);
        rows.append(
            { QString::number(1 + i % 3), QStringLiteral("N%1").arg(i), i % 7 ? ean : QString(), "" });
    }
    ListRecords records(rows);
    QList<RecordingCanvas::Call> expected;
    for (const qint64 kept : { qint64(1) << 30, qint64(20000), qint64(0) }) {
        PrintJob job;
        job.design = &design;
        job.format = testFormat();
        job.records = &records;
        job.keptSymbolBytes = kept;
        RecordingPrinter printer;
        NullPrintProgress progress;
        const PrintOutcome outcome = printLabels(job, printer, progress);
        QVERIFY2(outcome.printed(), qPrintable(outcome.message));
        QCOMPARE(outcome.labels, 600);
        if (expected.isEmpty())
            expected = printer.canvas_.calls();
        else
            QVERIFY2(printer.canvas_.calls() == expected, qPrintable(QString::number(kept)));
    }
    QVERIFY(barcodeBarsIn(expected) > 0);
}

void TestPrintJob::pacedProgressWaitsAsTheWindowsDid()
{
    // 30 labels on sheets of 21: 200 + 200 ms to begin, 100 per position,
    // 200 per sheet ended, 200 to close.
    const PrintDesign design = testDesign();
    const QList<QStringList> rows { { "30", "Anna", "", "" } };
    ListRecords records(rows);
    PrintJob job;
    job.design = &design;
    job.format = testFormat();
    job.records = &records;
    RecordingPrinter printer;
    NullPrintProgress progress;
    VirtualWaiter waiter;
    PacedPrintProgress paced(progress, waiter);
    QVERIFY(printLabels(job, printer, paced).printed());
    QCOMPARE(waiter.now(), 200 + 200 + 30 * 100 + 200 + 200);
}

QTEST_MAIN(TestPrintJob)
#include "TestPrintJob.moc"
