#include "designs/printdesign.h"
#include "formats/sheetformat.h"
#include "platform/canvas/recordingcanvas.h"
#include "printing/barcodecheck.h"
#include "printing/pdfprinter.h"
#include "printing/printjob.h"

#include "printerdoubles.h"
#include "testpaths.h"

#include <QDir>
#include <QFile>
#include <QImage>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>

using namespace qm;
using test::RecordingPrinter;

namespace {

// A name field and a picture named by the record (field "Bild") below it.
PrintDesign pictureDesign()
{
    PrintDesign design;
    readPrintDesignLines({ QStringLiteral("NA,Bilder"), QStringLiteral("GR,175,90,25"),
                             QStringLiteral("XF,14,0,1,0,Arial,0"), QStringLiteral("EF,8,6,20,Name"),
                             QStringLiteral("BF,20,20,150,85,Bild"), QStringLiteral("EF,8,80,5,Nr") },
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

void writePicture(const QString &path, const QColor &colour)
{
    QDir().mkpath(QFileInfo(path).path());
    QImage image(QSize(30, 20), QImage::Format_RGB32);
    image.fill(colour);
    QVERIFY(image.save(path, "PNG"));
}

QStringList stretchedFiles(const RecordingCanvas &canvas)
{
    QStringList files;
    for (const auto &call : canvas.calls()) {
        if (call.op == QLatin1String("stretch"))
            files << call.args.value(0);
    }
    return files;
}

PrintJob jobOf(const PrintDesign &design, IRecordReader &records, const QString &folder)
{
    PrintJob job;
    job.design = &design;
    job.format = testFormat();
    job.records = &records;
    job.pictureFolder = folder;
    return job;
}

// The mean x of the pixels of `image` close to `colour`, and how many.
std::pair<double, int> pixelsOf(const QImage &image, QRgb colour)
{
    double sum = 0;
    int count = 0;
    for (int y = 0; y < image.height(); ++y) {
        for (int x = 0; x < image.width(); ++x) {
            const QRgb p = image.pixel(x, y);
            if (std::abs(qRed(p) - qRed(colour)) < 40 && std::abs(qGreen(p) - qGreen(colour)) < 40
                && std::abs(qBlue(p) - qBlue(colour)) < 40) {
                sum += x;
                ++count;
            }
        }
    }
    return { count ? sum / count : -1, count };
}

} // namespace

class TestFieldPicturePrint : public QObject
{
    Q_OBJECT

private slots:
    void eachRecordPrintsItsOwnPicture();
    void picturesInThePdf();
    void missingPictureRefusesTheRun_data();
    void missingPictureRefusesTheRun();
    void missingPicturesListedUpToTwenty();
    void columnsAroundThePictures();
};

// Three records, three pictures (one relative to the program directory, one
// absolute), one record without: every label draws its own record's picture,
// and the field after the picture prints its own column.
void TestFieldPicturePrint::eachRecordPrintsItsOwnPicture()
{
    QTemporaryDir dir;
    writePicture(dir.filePath("BILDER/rot.png"), Qt::red);
    writePicture(dir.filePath("BILDER/gruen.png"), Qt::green);
    writePicture(dir.filePath("blau.png"), Qt::blue);
    const PrintDesign design = pictureDesign();
    ListRecords records({ { "1", "A", "BILDER/rot.png", "1" }, { "2", "B", dir.filePath("blau.png"), "2" },
        { "1", "C", "", "3" }, { "1", "D", "BILDER\\gruen.png", "4" } });
    RecordingPrinter printer;
    NullPrintProgress progress;
    const PrintOutcome outcome = printLabels(jobOf(design, records, dir.path()), printer, progress);
    QVERIFY2(outcome.printed(), qPrintable(outcome.message));
    QCOMPARE(stretchedFiles(printer.canvas_),
        (QStringList { dir.filePath("BILDER/rot.png"), dir.filePath("blau.png"), dir.filePath("blau.png"),
            dir.filePath("BILDER/gruen.png") }));
    QStringList texts;
    for (const auto &call : printer.canvas_.calls()) {
        if (call.op == QLatin1String("text"))
            texts << call.args.value(1);
    }
    QCOMPARE(texts.size(), 10);
    QCOMPARE(texts.at(9), "\"4\"");
}

// Rendered: the first row of the sheet shows red, green and blue from left
// to right, one picture per label.
void TestFieldPicturePrint::picturesInThePdf()
{
    if (QStandardPaths::findExecutable(QStringLiteral("pdftoppm")).isEmpty())
        QSKIP("pdftoppm (poppler-utils) is needed");
    QTemporaryDir dir;
    writePicture(dir.filePath("BILDER/1.png"), Qt::red);
    writePicture(dir.filePath("BILDER/2.png"), Qt::green);
    writePicture(dir.filePath("BILDER/3.png"), Qt::blue);
    const PrintDesign design = pictureDesign();
    ListRecords records(
        { { "1", "A", "BILDER/1.png", "1" }, { "1", "B", "BILDER/2.png", "2" }, { "1", "C", "BILDER/3.png", "3" } });
    const QString pdfPath = dir.filePath("etiketten.pdf");
    PdfPrinter pdf(pdfPath);
    NullPrintProgress progress;
    PrintJob job = jobOf(design, records, dir.path());
    job.deviceName = pdfPath;
    job.toFile = true;
    const PrintOutcome outcome = printLabels(job, pdf, progress);
    QVERIFY2(outcome.printed(), qPrintable(outcome.message));

    QProcess render;
    render.start(QStringLiteral("pdftoppm"),
        { "-r", "40", "-singlefile", "-png", pdfPath, dir.filePath("seite") });
    QVERIFY(render.waitForFinished(60000));
    QCOMPARE(render.exitCode(), 0);
    const QImage page(dir.filePath("seite.png"));
    QVERIFY(!page.isNull());
    const auto red = pixelsOf(page, qRgb(255, 0, 0));
    const auto green = pixelsOf(page, qRgb(0, 255, 0));
    const auto blue = pixelsOf(page, qRgb(0, 0, 255));
    QVERIFY(red.second > 20);
    // The same picture size on each label, give or take the edges' pixels.
    QVERIFY(std::abs(green.second - red.second) < red.second / 4);
    QVERIFY(std::abs(blue.second - red.second) < red.second / 4);
    QVERIFY(red.first < green.first);
    QVERIFY(green.first < blue.first);
}

void TestFieldPicturePrint::missingPictureRefusesTheRun_data()
{
    QTest::addColumn<QString>("value"); // the third record's picture
    QTest::addColumn<bool>("garbage"); // the file is there, not a picture
    QTest::newRow("missing") << "BILDER/x.png" << false;
    QTest::newRow("not a picture") << "BILDER/kaputt.png" << true;
    QTest::newRow("absolute, missing") << "/nicht/da/x.png" << false;
}

// A record naming a picture that cannot be read refuses the run before the
// device is asked: an existing PDF file stays as it was.
void TestFieldPicturePrint::missingPictureRefusesTheRun()
{
    QFETCH(QString, value);
    QFETCH(bool, garbage);
    QTemporaryDir dir;
    writePicture(dir.filePath("BILDER/da.png"), Qt::red);
    if (garbage) {
        QFile file(dir.filePath(value));
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write("kein Bild");
    }
    const QString pdfPath = dir.filePath("etiketten.pdf");
    {
        QFile old(pdfPath);
        QVERIFY(old.open(QIODevice::WriteOnly));
        old.write("the labels of yesterday");
    }
    const PrintDesign design = pictureDesign();
    // Record 4 names the same file again, record 2 has no copies: the file
    // is named once, with record 3.
    ListRecords records({ { "1", "A", "BILDER/da.png", "" }, { "0", "B", "BILDER/y.png", "" },
        { "1", "C", value, "" }, { "1", "D", value, "" } });
    PrintJob job = jobOf(design, records, dir.path());
    job.deviceName = pdfPath;
    job.toFile = true;
    PdfPrinter pdf(pdfPath);
    NullPrintProgress progress;
    const PrintOutcome outcome = printLabels(job, pdf, progress);
    QCOMPARE(outcome.result, PrintOutcome::Result::Refused);
    QCOMPARE(outcome.message,
        QStringLiteral("Diese Bilder fehlen oder können nicht gelesen werden:\nDatensatz 3, Feld Bild: „%1“")
            .arg(value));
    QFile file(pdfPath);
    QVERIFY(file.open(QIODevice::ReadOnly));
    QCOMPARE(file.readAll(), QByteArray("the labels of yesterday"));
}

// Twenty-five files missing: the first twenty are named, the rest counted.
void TestFieldPicturePrint::missingPicturesListedUpToTwenty()
{
    QTemporaryDir dir;
    const PrintDesign design = pictureDesign();
    QList<QStringList> rows;
    QStringList lines;
    for (int i = 1; i <= 25; ++i) {
        const QString file = QStringLiteral("BILDER/%1.png").arg(i);
        rows.append({ "1", "N", file, "" });
        if (i <= 20)
            lines << QStringLiteral("Datensatz %1, Feld Bild: „%2“").arg(i).arg(file);
    }
    ListRecords records(rows);
    RecordingPrinter printer;
    NullPrintProgress progress;
    const PrintOutcome outcome = printLabels(jobOf(design, records, dir.path()), printer, progress);
    QCOMPARE(outcome.result, PrintOutcome::Result::Refused);
    QCOMPARE(outcome.message,
        QStringLiteral("Diese Bilder fehlen oder können nicht gelesen werden:\n") + lines.join(u'\n')
            + QStringLiteral("\n… und 5 weitere"));
    QCOMPARE(printer.pages, 0);
    QVERIFY(printer.canvas_.calls().isEmpty());
}

// A picture takes its data column, so a barcode after it checks its own.
void TestFieldPicturePrint::columnsAroundThePictures()
{
    PrintDesign design;
    readPrintDesignLines({ "BF,0,0,50,50,Bild", "BC,8,24,104,86,0,EAN", "SE,0,0,1,Nr", "EF,0,0,5,Name",
                             "BF,0,0,50,50,Logo,80" },
        QString(), design, {});
    const std::vector<BarcodeColumn> barcodes = barcodeColumns(design);
    QCOMPARE(barcodes.size(), size_t(1));
    QCOMPARE(barcodes[0].column, 2);
    const std::vector<PictureColumn> pictures = pictureColumns(design);
    QCOMPARE(pictures.size(), size_t(2));
    QCOMPARE(pictures[0].column, 1);
    QCOMPARE(pictures[0].name, "Bild");
    QCOMPARE(pictures[1].column, 5);
    QCOMPARE(pictures[1].name, "Logo");
}

QTEST_MAIN(TestFieldPicturePrint)
#include "TestFieldPicturePrint.moc"
