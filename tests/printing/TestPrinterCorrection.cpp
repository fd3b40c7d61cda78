#include "formats/sheetformat.h"
#include "pdfpages.h"
#include "platform/canvas/canvas.h"
#include "platform/doubles/memorysettings.h"
#include "platform/doubles/virtualwaiter.h"
#include "platform/errors.h"
#include "platform/settings.h"
#include "printerdoubles.h"
#include "printing/pdfprinter.h"
#include "printing/printercorrection.h"
#include "printing/printers/calibrationsheet.h"
#include "testpaths.h"

#include <QFile>
#include <QTemporaryDir>
#include <QTest>

#include <cmath>

using namespace qm;

Q_DECLARE_METATYPE(qm::PrinterCorrection)

class TestPrinterCorrection : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void correctionMovesAndScalesEveryDrawnElement_data();
    void correctionMovesAndScalesEveryDrawnElement();
    void correctionMovesTheWordsOfAPdf();
    void storedCorrections_data();
    void storedCorrections();
    void printWithoutWaitsIsKeptInTheSettingsFile_data();
    void printWithoutWaitsIsKeptInTheSettingsFile();
    void correctionsOutOfRangeAreRefused_data();
    void correctionsOutOfRangeAreRefused();
    void correctionThatMovesALabelOffThePageIsRefused_data();
    void correctionThatMovesALabelOffThePageIsRefused();
    void readingGivesTheCorrectionThatUndoesIt_data();
    void readingGivesTheCorrectionThatUndoesIt();
    void calibrationSheetHasItsMarksAndRulersInPlace();
    void calibrationMarksAreAtTheCornerLabels_data();
    void calibrationMarksAreAtTheCornerLabels();
    void calibrationSheetSaysWhyNothingWasPrinted_data();
    void calibrationSheetSaysWhyNothingWasPrinted();
};

namespace {

// Two labels of 60 x 30 mm side by side, the first 10 mm from the left and
// 15 mm from the top.
SheetFormat twoLabels()
{
    SheetFormat format;
    format.extentWidth = 2100;
    format.extentHeight = 2970;
    format.positions = { { 100, 150, 600, 300 }, { 800, 150, 600, 300 } };
    return format;
}

// A label with something of every kind of drawing at known places.
void drawSample(ICanvas &canvas, int x, int y, int row, bool)
{
    canvas.setFont({ QStringLiteral("Arial"), -10, 0, 400, false });
    canvas.text(x + 5, y + 5, QStringLiteral("Etikett%1").arg(row));
    canvas.rectangle(x + 2, y + 20, x + 40, y + 60);
    canvas.moveTo(x + 10, y + 70);
    canvas.lineTo(x + 100, y + 71);
}

// Every point a call names (text, rectangle corners, line ends), on paper,
// in tenths of a millimetre.
QList<QPointF> paperPoints(const test::RecordingPrinter &printer)
{
    QList<QPointF> points;
    for (const RecordingCanvas::Call &call : printer.canvas_.calls()) {
        if (call.op != QLatin1String("text") && call.op != QLatin1String("rect")
            && call.op != QLatin1String("moveto") && call.op != QLatin1String("lineto"))
            continue;
        const QStringList numbers = call.args.first().split(QLatin1Char(','));
        for (qsizetype i = 0; i + 1 < numbers.size(); i += 2)
            points.append(printer.paperOf(numbers[i].toInt(), numbers[i + 1].toInt()));
    }
    return points;
}

test::RecordingPrinter printSample(const LayoutRequest &request)
{
    test::RecordingPrinter printer;
    NullPrintProgress progress;
    VirtualWaiter waiter;
    const LayoutResult result = Ausdrucken(request, twoLabels(), printer, progress, waiter, drawSample);
    if (result != LayoutResult::Printed)
        qFatal("the sample did not print");
    return printer;
}

} // namespace

void TestPrinterCorrection::correctionMovesAndScalesEveryDrawnElement_data()
{
    QTest::addColumn<int>("runOffsetX");
    QTest::addColumn<int>("runOffsetY");
    QTest::addColumn<PrinterCorrection>("correction");

    QTest::newRow("x only") << 0 << 0 << PrinterCorrection { 15, 0, 1000, 1000 };
    QTest::newRow("y only") << 0 << 0 << PrinterCorrection { 0, -12, 1000, 1000 };
    QTest::newRow("scale") << 0 << 0 << PrinterCorrection { 0, 0, 1010, 985 };
    QTest::newRow("both") << 0 << 0 << PrinterCorrection { -7, 23, 992, 1004 };
    QTest::newRow("per-run offsets on top") << 30 << -20 << PrinterCorrection { -7, 23, 992, 1004 };
}

// The correction is the printer's: the labels are laid out as without it,
// and the whole page is moved and scaled on paper.
void TestPrinterCorrection::correctionMovesAndScalesEveryDrawnElement()
{
    QFETCH(int, runOffsetX);
    QFETCH(int, runOffsetY);
    QFETCH(PrinterCorrection, correction);

    LayoutRequest request;
    request.lastPosition = 2;
    request.offsetX = runOffsetX;
    request.offsetY = runOffsetY;
    const QList<QPointF> plain = paperPoints(printSample(request));
    request.correction = correction;
    const QList<QPointF> corrected = paperPoints(printSample(request));

    QCOMPARE(corrected.size(), plain.size());
    QCOMPARE(plain.size(), 10); // five points on each of the two labels
    for (qsizetype i = 0; i < plain.size(); ++i) {
        const QPointF want(correction.offsetX + plain[i].x() * correction.scaleX / 1000.0,
            correction.offsetY + plain[i].y() * correction.scaleY / 1000.0);
        QVERIFY2(std::abs(corrected[i].x() - want.x()) < 1e-6 && std::abs(corrected[i].y() - want.y()) < 1e-6,
            qPrintable(QStringLiteral("point %1: %2,%3 instead of %4,%5")
                           .arg(i)
                           .arg(corrected[i].x())
                           .arg(corrected[i].y())
                           .arg(want.x())
                           .arg(want.y())));
    }
    // The per-run offsets are still those of the run: label 1's text lies
    // at its corner moved by them (0.4 mm units at 25 per centimetre).
    QCOMPARE(plain.first().x(), 4.0 * ((100 + runOffsetX) / 4 + 5));
}

// The same in a real PDF, read back with pdftotext.
void TestPrinterCorrection::correctionMovesTheWordsOfAPdf()
{
    QTemporaryDir dir;
    const auto print = [&](const QString &name, const PrinterCorrection &correction) {
        PdfPrinter printer(dir.filePath(name));
        NullPrintProgress progress;
        VirtualWaiter waiter;
        LayoutRequest request;
        request.lastPosition = 2;
        request.correction = correction;
        if (Ausdrucken(request, twoLabels(), printer, progress, waiter, drawSample) != LayoutResult::Printed)
            return QList<test::PdfWord>();
        return test::pdfWords(dir.filePath(name));
    };
    const PrinterCorrection correction { 25, -15, 1020, 980 };
    const QList<test::PdfWord> plain = print(QStringLiteral("ohne.pdf"), {});
    const QList<test::PdfWord> corrected = print(QStringLiteral("mit.pdf"), correction);
    QCOMPARE(plain.size(), 2);
    QCOMPARE(corrected.size(), 2);
    for (int i = 0; i < 2; ++i) {
        QCOMPARE(corrected[i].text, plain[i].text);
        QVERIFY2(std::abs(corrected[i].xMin - (2.5 + plain[i].xMin * 1.020)) < 0.2,
            qPrintable(QString::number(corrected[i].xMin)));
        // Glyph boxes grow with the font; the top of the box moves with
        // the scale of the text's reference point.
        QVERIFY2(std::abs(corrected[i].yMin - (-1.5 + plain[i].yMin * 0.980)) < 0.3,
            qPrintable(QString::number(corrected[i].yMin)));
    }
}

void TestPrinterCorrection::storedCorrections_data()
{
    QTest::addColumn<QString>("stored");
    QTest::addColumn<PrinterCorrection>("read");
    QTest::addColumn<bool>("bad");

    QTest::newRow("four numbers") << "15,-10,1002,998" << PrinterCorrection { 15, -10, 1002, 998 } << false;
    QTest::newRow("blanks") << " 15 , -10 ,1002, 998" << PrinterCorrection { 15, -10, 1002, 998 } << false;
    QTest::newRow("nothing") << "" << PrinterCorrection() << false;
    QTest::newRow("three numbers") << "15,-10,1002" << PrinterCorrection() << true;
    QTest::newRow("five numbers") << "1,2,1000,1000,5" << PrinterCorrection() << true;
    QTest::newRow("no number") << "15,zehn,1000,1000" << PrinterCorrection() << true;
    QTest::newRow("offset too far") << "251,0,1000,1000" << PrinterCorrection() << true;
    QTest::newRow("scale too small") << "0,0,899,1000" << PrinterCorrection() << true;
    QTest::newRow("scale beyond 32 bits") << "0,0,1000,99999999999" << PrinterCorrection() << true;
    // Exactly at the limits is still a correction.
    QTest::newRow("offsets and scales at their limits")
        << "250,-250,900,1100" << PrinterCorrection { 250, -250, 900, 1100 } << false;
    QTest::newRow("the other limits") << "-250,250,1100,900" << PrinterCorrection { -250, 250, 1100, 900 }
                                      << false;
    QTest::newRow("offset just below") << "0,-251,1000,1000" << PrinterCorrection() << true;
    QTest::newRow("scale just above") << "0,0,1000,1101" << PrinterCorrection() << true;
}

// A value edited by hand into something that is no correction moves
// nothing; the listing can say it is bad.
void TestPrinterCorrection::storedCorrections()
{
    QFETCH(QString, stored);
    QFETCH(PrinterCorrection, read);
    QFETCH(bool, bad);

    MemorySettings settings;
    if (!stored.isEmpty())
        settings.setValue(QStringLiteral("Kalibrierung"), QStringLiteral("Etikettendrucker"), stored);
    PrinterSettings printers(settings);
    QCOMPARE(printers.correction(QStringLiteral("Etikettendrucker")), read);
    QCOMPARE(printers.hasBadCorrection(QStringLiteral("Etikettendrucker")), bad);
    // Another printer has none.
    QCOMPARE(printers.correction(QStringLiteral("Anderer")), PrinterCorrection());

    if (!bad) {
        const PrinterCorrection next { -3, 4, 1001, 999 };
        printers.setCorrection(QStringLiteral("PDF"), next);
        QCOMPARE(settings.value(QStringLiteral("Kalibrierung"), QStringLiteral("PDF")),
            std::optional<QString>(QStringLiteral("-3,4,1001,999")));
        QCOMPARE(printers.correction(QStringLiteral("PDF")), next);
    }
}

void TestPrinterCorrection::printWithoutWaitsIsKeptInTheSettingsFile_data()
{
    QTest::addColumn<QByteArray>("before");
    QTest::addColumn<bool>("read");
    QTest::newRow("no file") << QByteArray() << false;
    QTest::newRow("other keys only") << QByteArray("[Parameter]\nDrucker=Laser\n") << false;
    QTest::newRow("on") << QByteArray("[Parameter]\nOhneWartezeiten=1\n") << true;
    QTest::newRow("off") << QByteArray("[Parameter]\nOhneWartezeiten=0\n") << false;
    QTest::newRow("edited by hand: not a number") << QByteArray("[Parameter]\nOhneWartezeiten=ja\n") << false;
    QTest::newRow("in another section") << QByteArray("[Kalibrierung]\nOhneWartezeiten=1\n") << false;
}

// "Ohne Wartezeiten drucken" in Quillmark.ini beside the chosen printer;
// switched on and off again, the other keys stay.
void TestPrinterCorrection::printWithoutWaitsIsKeptInTheSettingsFile()
{
    QFETCH(QByteArray, before);
    QFETCH(bool, read);
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("Quillmark.ini"));
    if (!before.isEmpty()) {
        QFile file(path);
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write(before);
    }
    IniFileSettings settings(path);
    QCOMPARE(PrinterSettings(settings).printWithoutWaits(), read);

    PrinterSettings(settings).setPrintWithoutWaits(true);
    QVERIFY(PrinterSettings(settings).printWithoutWaits());
    QCOMPARE(settings.readString(QStringLiteral("Parameter"), QStringLiteral("OhneWartezeiten"), {}),
        QStringLiteral("1"));
    if (before.contains("Drucker=Laser"))
        QCOMPARE(PrinterSettings(settings).chosenPrinter(), QStringLiteral("Laser"));
    PrinterSettings(settings).setPrintWithoutWaits(false);
    QVERIFY(!IniFileSettings(path).readBool(QStringLiteral("Parameter"), QStringLiteral("OhneWartezeiten"), true));
    QVERIFY(!PrinterSettings(settings).printWithoutWaits());
}

void TestPrinterCorrection::correctionsOutOfRangeAreRefused_data()
{
    QTest::addColumn<QString>("printer");
    QTest::addColumn<PrinterCorrection>("correction");
    QTest::addColumn<QString>("message");

    QTest::newRow("offset x") << "PDF" << PrinterCorrection { -251, 0, 1000, 1000 }
                              << "Der Versatz -251 liegt nicht zwischen -250 und 250 Zehntelmillimetern.";
    QTest::newRow("offset y") << "PDF" << PrinterCorrection { 0, 300, 1000, 1000 }
                              << "Der Versatz 300 liegt nicht zwischen -250 und 250 Zehntelmillimetern.";
    QTest::newRow("scale x") << "PDF" << PrinterCorrection { 0, 0, 1101, 1000 }
                             << "Der Maßstab 1101 liegt nicht zwischen 900 und 1100 Promille.";
    QTest::newRow("scale y") << "PDF" << PrinterCorrection { 0, 0, 1000, 0 }
                             << "Der Maßstab 0 liegt nicht zwischen 900 und 1100 Promille.";
    QTest::newRow("no name") << "" << PrinterCorrection() << "Der Name des Druckers fehlt.";
    QTest::newRow("name with =") << "a=b" << PrinterCorrection()
                                 << "Der Druckername \"a=b\" kann nicht gespeichert werden.";
    QTest::newRow("name like a section") << "[Programm]" << PrinterCorrection()
                                         << "Der Druckername \"[Programm]\" kann nicht gespeichert werden.";
}

void TestPrinterCorrection::correctionsOutOfRangeAreRefused()
{
    QFETCH(QString, printer);
    QFETCH(PrinterCorrection, correction);
    QFETCH(QString, message);

    MemorySettings settings;
    PrinterSettings printers(settings);
    try {
        printers.setCorrection(printer, correction);
        QFAIL("stored");
    } catch (const Error &e) {
        QCOMPARE(e.message(), message);
    }
    QVERIFY(!settings.value(QStringLiteral("Kalibrierung"), printer).has_value());
    // A run is refused the same way, before any printer is touched.
    if (!correctionProblem(correction).isEmpty()) {
        LayoutRequest request;
        request.lastPosition = 1;
        request.correction = correction;
        QCOMPARE(unprintableReason(request, twoLabels()), message);
    }
}

namespace {

// The 3 x 7 sheet on A4: labels of 63.5 x 38 mm from (7.5, 15) mm, the
// last row ending at 281 mm, the right column at 203 mm.
SheetFormat a4Sheet()
{
    SheetFormat format;
    FormatdateiLesen(test::fixturesDir() + QStringLiteral("/formats/a4_3x7_63.5x38_written.vrl"), format);
    return format;
}

} // namespace

void TestPrinterCorrection::correctionThatMovesALabelOffThePageIsRefused_data()
{
    QTest::addColumn<PrinterCorrection>("correction");
    QTest::addColumn<int>("start");
    QTest::addColumn<int>("labels");
    QTest::addColumn<int>("runOffsetY");
    QTest::addColumn<QString>("refused"); // "label side", empty when the run may print

    QTest::newRow("small correction") << PrinterCorrection { 15, -10, 1005, 995 } << 1 << 21 << 0 << "";
    // Within range, but the last row lands 3 cm below the page.
    QTest::newRow("largest offset and scale")
        << PrinterCorrection { 250, 250, 1100, 1100 } << 1 << 21 << 0 << "3 links oder rechts";
    QTest::newRow("down: the last row") << PrinterCorrection { 0, 250, 1000, 1000 } << 1 << 21 << 0
                                        << "19 oben oder unten";
    QTest::newRow("up: the first row") << PrinterCorrection { 0, -200, 1000, 1000 } << 1 << 21 << 0
                                       << "1 oben oder unten";
    QTest::newRow("left: the first column") << PrinterCorrection { -100, 0, 1000, 1000 } << 1 << 21 << 0
                                            << "1 links oder rechts";
    QTest::newRow("right by scale") << PrinterCorrection { 0, 0, 1050, 1000 } << 1 << 21 << 0
                                    << "3 links oder rechts";
    QTest::newRow("last row edge exactly on the page bottom")
        << PrinterCorrection { 0, 160, 1000, 1000 } << 1 << 21 << 0 << "";
    QTest::newRow("one tenth beyond") << PrinterCorrection { 0, 161, 1000, 1000 } << 1 << 21 << 0
                                      << "19 oben oder unten";
    // Only the labels the run prints count.
    QTest::newRow("the run leaves the last row empty")
        << PrinterCorrection { 0, 250, 1000, 1000 } << 1 << 18 << 0 << "";
    QTest::newRow("a run from the last row") << PrinterCorrection { 0, 250, 1000, 1000 } << 20 << 1 << 0
                                             << "20 oben oder unten";
    QTest::newRow("a run over the sheet's end comes back to the top")
        << PrinterCorrection { 0, -200, 1000, 1000 } << 19 << 5 << 0 << "1 oben oder unten";
    // A label the run's own offsets put beside the page is not the
    // correction's doing.
    QTest::newRow("already off by the run's offset")
        << PrinterCorrection { 0, 5, 1000, 1000 } << 19 << 3 << 250 << "";
}

// A correction may be within its range and still move labels of the run
// off the page: such a run is refused before anything is printed, naming
// the correction and the label.
void TestPrinterCorrection::correctionThatMovesALabelOffThePageIsRefused()
{
    QFETCH(PrinterCorrection, correction);
    QFETCH(int, start);
    QFETCH(int, labels);
    QFETCH(int, runOffsetY);
    QFETCH(QString, refused);

    const SheetFormat format = a4Sheet();
    QCOMPARE(sheetPage(format), QSize(2100, 2970));
    LayoutRequest request;
    request.startPosition = start;
    request.lastPosition = start + labels - 1;
    request.offsetY = runOffsetY;
    request.correction = correction;
    request.correctionName = QStringLiteral("Büro 2");
    const QString reason = unprintableReason(request, format);
    test::RecordingPrinter printer;
    NullPrintProgress progress;
    VirtualWaiter waiter;
    const LayoutResult result = Ausdrucken(request, format, printer, progress, waiter, drawSample);
    if (refused.isEmpty()) {
        QCOMPARE(reason, QString());
        QCOMPARE(result, LayoutResult::Printed);
        return;
    }
    QCOMPARE(reason,
        QStringLiteral("Mit der Korrektur für Büro 2 (%1) fiele Etikett %2 des Bogens %3 über den Rand der "
                       "Seite (210 x 297 mm). Es wurde nichts gedruckt. Prüfen Sie die Ausrichtung des "
                       "Druckers und speichern Sie eine passende Korrektur.")
            .arg(correctionText(correction), refused.section(QLatin1Char(' '), 0, 0),
                refused.section(QLatin1Char(' '), 1)));
    QCOMPARE(result, LayoutResult::Refused);
    QVERIFY(printer.canvas_.calls().isEmpty());
    QCOMPARE(printer.pages, 0);
}

void TestPrinterCorrection::readingGivesTheCorrectionThatUndoesIt_data()
{
    QTest::addColumn<int>("deviationX");
    QTest::addColumn<int>("deviationY");
    QTest::addColumn<int>("rulerX");
    QTest::addColumn<int>("rulerY");

    QTest::newRow("nothing off") << 0 << 0 << 1000 << 1000;
    QTest::newRow("low and right") << 8 << 15 << 1000 << 1000;
    QTest::newRow("one per cent long") << 0 << 0 << 1010 << 1010;
    QTest::newRow("both") << -12 << 6 << 995 << 1012;
}

// The printer's error as the reading gives it (shift e, scale s0) applied
// to the corrected print puts every point where it belongs.
void TestPrinterCorrection::readingGivesTheCorrectionThatUndoesIt()
{
    QFETCH(int, deviationX);
    QFETCH(int, deviationY);
    QFETCH(int, rulerX);
    QFETCH(int, rulerY);

    const QPoint corner(100, 150);
    const PrinterCorrection correction
        = correctionFromReading({ deviationX, deviationY, rulerX, rulerY }, corner.x(), corner.y());
    const auto printed = [](double p, int cornerAt, int deviation, int ruler) {
        const double s0 = ruler / 1000.0;
        const double e = cornerAt + deviation - s0 * cornerAt;
        return e + s0 * p;
    };
    for (const int p : { 0, 100, 1050, 2000 }) {
        const double x
            = printed(correction.offsetX + p * correction.scaleX / 1000.0, corner.x(), deviationX, rulerX);
        const double y
            = printed(correction.offsetY + p * correction.scaleY / 1000.0, corner.y(), deviationY, rulerY);
        // Within the rounding of a tenth and a per mille over 200 mm.
        QVERIFY2(std::abs(x - p) <= 1.5 && std::abs(y - p) <= 1.5,
            qPrintable(QStringLiteral("%1 lands at %2, %3").arg(p).arg(x).arg(y)));
    }

    // What the user cannot have read is refused.
    QVERIFY_THROWS_EXCEPTION(Error, correctionFromReading({ 0, 0, 899, 1000 }, 0, 0));
    QVERIFY_THROWS_EXCEPTION(Error, correctionFromReading({ 0, 251, 1000, 1000 }, 0, 0));
}

// The sheet read back from its PDF: each cross-hair crosses at its label's
// corner within 0.2 mm, and each ruler's end marks lie 100 mm apart.
void TestPrinterCorrection::calibrationSheetHasItsMarksAndRulersInPlace()
{
    SheetFormat format;
    FormatdateiLesen(test::fixturesDir() + QStringLiteral("/formats/a4_3x7_63.5x38_written.vrl"), format);
    QCOMPARE(format.positionCount(), 21);

    QTemporaryDir dir;
    const QString pdf = dir.filePath(QStringLiteral("kalibrierung.pdf"));
    {
        PdfPrinter printer(pdf);
        NullPrintProgress progress;
        VirtualWaiter waiter;
        QCOMPARE(printCalibrationSheet(format, printer, progress, waiter), LayoutResult::Printed);
    }
    int pages = 0;
    const QList<test::PdfWord> words = test::pdfWords(pdf, &pages);
    QCOMPARE(pages, 1);
    QCOMPARE(test::pdfWord(words, QStringLiteral("Ausrichtung")).page, 1);

    constexpr int Dpi = 400;
    const QImage page = test::pdfPageImage(pdf, 1, Dpi);
    QVERIFY(!page.isNull());
    const auto dots = [](double mm) { return mm * Dpi / 25.4; };
    const auto mmOf = [](double dot) { return (dot + 0.5) * 25.4 / Dpi; };
    // The centre of the dark pixels on a row (across) or column (down)
    // within `from` .. `to` mm, weighted by their darkness.
    const auto darkCentre = [&](bool across, double fixedMm, double fromMm, double toMm) {
        double sum = 0, weight = 0;
        for (int d = int(dots(fromMm)); d <= int(dots(toMm)); ++d) {
            const int fixed = int(dots(fixedMm));
            const int grey = qGray(across ? page.pixel(d, fixed) : page.pixel(fixed, d));
            if (grey < 128) {
                sum += d * double(255 - grey);
                weight += 255 - grey;
            }
        }
        return weight > 0 ? mmOf(sum / weight) : -1.0;
    };

    const QList<CalibrationMark> marks = calibrationMarks(format);
    QCOMPARE(marks.size(), 4);
    QCOMPARE(marks[0].label, 1);
    QCOMPARE(marks[3].label, 21);
    for (const CalibrationMark &mark : marks) {
        const double x = mark.corner.x() / 10.0;
        const double y = mark.corner.y() / 10.0;
        // The upright line on a row between two ticks, the level one on a
        // column between two ticks.
        const double lineX = darkCentre(true, y - 2.5, x - 1.5, x + 1.5);
        const double lineY = darkCentre(false, x - 2.5, y - 1.5, y + 1.5);
        QVERIFY2(std::abs(lineX - x) <= 0.2 && std::abs(lineY - y) <= 0.2,
            qPrintable(QStringLiteral("label %1: cross at %2, %3 mm instead of %4, %5")
                           .arg(mark.label)
                           .arg(lineX)
                           .arg(lineY)
                           .arg(x)
                           .arg(y)));
    }

    const QPoint centre = calibrationCentre(format);
    const double cx = centre.x() / 10.0;
    const double cy = centre.y() / 10.0;
    // Only the end marks reach 4 mm to the side that has no ticks.
    const double left = darkCentre(true, cy - 4, cx - 52, cx - 45);
    const double right = darkCentre(true, cy - 4, cx + 45, cx + 52);
    const double top = darkCentre(false, cx - 4, cy - 52, cy - 45);
    const double bottom = darkCentre(false, cx - 4, cy + 45, cy + 52);
    QVERIFY2(std::abs(right - left - 100.0) <= 0.2, qPrintable(QString::number(right - left)));
    QVERIFY2(std::abs(bottom - top - 100.0) <= 0.2, qPrintable(QString::number(bottom - top)));
    QVERIFY2(std::abs(left - (cx - 50)) <= 0.2 && std::abs(top - (cy - 50)) <= 0.2,
        qPrintable(QStringLiteral("%1, %2").arg(left).arg(top)));
}

Q_DECLARE_METATYPE(QList<qm::CalibrationMark>)

void TestPrinterCorrection::calibrationMarksAreAtTheCornerLabels_data()
{
    QTest::addColumn<QList<LabelPosition>>("positions");
    QTest::addColumn<QList<CalibrationMark>>("marks");

    SheetFormat a4 = a4Sheet();
    QTest::newRow("3 x 7 on A4") << QList<LabelPosition>(a4.positions.begin(), a4.positions.end())
                                 << QList<CalibrationMark> { { 1, { 75, 150 } }, { 3, { 2030, 150 } },
                                        { 19, { 75, 2810 } }, { 21, { 2030, 2810 } } };
    // Numbered from the bottom right: the marks follow the places, not the
    // numbers.
    QList<LabelPosition> reversed(a4.positions.rbegin(), a4.positions.rend());
    QTest::newRow("numbered backwards") << reversed
                                        << QList<CalibrationMark> { { 21, { 75, 150 } }, { 19, { 2030, 150 } },
                                               { 3, { 75, 2810 } }, { 1, { 2030, 2810 } } };
    QTest::newRow("one column") << QList<LabelPosition> { { 100, 100, 900, 300 }, { 100, 500, 900, 300 },
        { 100, 900, 900, 300 } } << QList<CalibrationMark> { { 1, { 100, 100 } }, { 1, { 1000, 100 } },
                                        { 3, { 100, 1200 } }, { 3, { 1000, 1200 } } };
    QTest::newRow("one label") << QList<LabelPosition> { { 200, 300, 1000, 500 } }
                               << QList<CalibrationMark> { { 1, { 200, 300 } }, { 1, { 1200, 300 } },
                                      { 1, { 200, 800 } }, { 1, { 1200, 800 } } };
    // Staggered rows of other widths: the wide label of the second row
    // reaches furthest right, though the first row's last one begins
    // further right and higher up; a corner is judged by the outer edges.
    QTest::newRow("staggered rows of other widths")
        << QList<LabelPosition> { { 100, 100, 400, 400 }, { 600, 100, 400, 400 }, { 350, 600, 400, 400 },
               { 850, 600, 900, 400 } }
        << QList<CalibrationMark> { { 1, { 100, 100 } }, { 4, { 1750, 600 } }, { 3, { 350, 1000 } },
               { 4, { 1750, 1000 } } };
    // Two labels as near to a corner: the first of them is taken.
    QTest::newRow("a tie goes to the first") << QList<LabelPosition> { { 300, 100, 500, 500 },
        { 100, 300, 500, 500 } } << QList<CalibrationMark> { { 1, { 300, 100 } }, { 1, { 800, 100 } },
                                        { 2, { 100, 800 } }, { 1, { 800, 600 } } };
}

// The cross-hairs go to the outer corners of the labels nearest the four
// corners of the sheet, in the order the reading needs (top-left first).
void TestPrinterCorrection::calibrationMarksAreAtTheCornerLabels()
{
    QFETCH(QList<LabelPosition>, positions);
    QFETCH(QList<CalibrationMark>, marks);
    SheetFormat format;
    format.extentWidth = 2100;
    format.extentHeight = 2970;
    format.positions.assign(positions.begin(), positions.end());
    const QList<CalibrationMark> found = calibrationMarks(format);
    QCOMPARE(found.size(), marks.size());
    for (qsizetype i = 0; i < marks.size(); ++i)
        QVERIFY2(found[i] == marks[i],
            qPrintable(QStringLiteral("mark %1: label %2 at %3,%4 instead of label %5 at %6,%7")
                           .arg(i)
                           .arg(found[i].label)
                           .arg(found[i].corner.x())
                           .arg(found[i].corner.y())
                           .arg(marks[i].label)
                           .arg(marks[i].corner.x())
                           .arg(marks[i].corner.y())));
    QVERIFY(calibrationMarks(SheetFormat()).isEmpty());
}

namespace {

// A printer that cannot begin the document, or cannot finish it.
class FailingPrinter : public test::RecordingPrinter
{
public:
    bool failsToBegin = false;
    bool DokumentBeginnen(const QString &name) override
    {
        return !failsToBegin && RecordingPrinter::DokumentBeginnen(name);
    }
    bool DokumentBeenden() override { return false; }
};

} // namespace

void TestPrinterCorrection::calibrationSheetSaysWhyNothingWasPrinted_data()
{
    QTest::addColumn<bool>("failsToBegin");
    QTest::addColumn<QString>("message");
    QTest::newRow("not opened") << true << "Der Drucker Büro 2 konnte nicht geöffnet werden.";
    QTest::newRow("not finished") << false << "Der Druckauftrag für Büro 2 konnte nicht abgeschlossen werden.";
}

// A calibration sheet that did not come out names what went wrong, as a
// print run does.
void TestPrinterCorrection::calibrationSheetSaysWhyNothingWasPrinted()
{
    QFETCH(bool, failsToBegin);
    QFETCH(QString, message);
    SheetFormat format;
    FormatdateiLesen(test::fixturesDir() + QStringLiteral("/formats/a4_3x7_63.5x38_written.vrl"), format);
    FailingPrinter printer;
    printer.failsToBegin = failsToBegin;
    VirtualWaiter waiter;
    QCOMPARE(printCalibrationSheetOn(format, printer, QStringLiteral("Büro 2"), waiter), message);
}

QTEST_MAIN(TestPrinterCorrection)
#include "TestPrinterCorrection.moc"
