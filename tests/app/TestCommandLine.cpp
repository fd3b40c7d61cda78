#include "app/commandline.h"
#include "testpaths.h"
#include "commandlinerun.h"
#include "data/shapelibtable.h"
#include "pdfpages.h"
#include "platform/textfile.h"
#include "printing/pdfprinter.h"
#include "printing/printeraccess.h"
#include "testfiles.h"

#include <QDir>
#include <QFileInfo>
#include <QImage>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>

#include <algorithm>
#include <new>
#include <sys/stat.h>
#include <unistd.h>

using namespace qm;

namespace {

using Run = test::CommandRun;

// The system's printers as a test sets them up: a default printer or none;
// the printer writes its pages into a PDF file (none: it cannot be opened).
class FakePrinters : public IPrinterAccess
{
public:
    std::optional<PrinterName> defaultPrinter;
    QString pdf;
    int opened = 0;

    std::optional<PrinterName> DruckerbezeichnungHolen() override { return defaultPrinter; }
    std::unique_ptr<IPrinterDevice> openDefaultPrinter() override
    {
        if (!defaultPrinter)
            return nullptr;
        ++opened;
        return std::make_unique<PdfPrinter>(pdf);
    }
};

// The system's printers when memory has run out.
class PrintersOutOfMemory : public IPrinterAccess
{
public:
    std::optional<PrinterName> DruckerbezeichnungHolen() override { throw std::bad_alloc(); }
    std::unique_ptr<IPrinterDevice> openDefaultPrinter() override { throw std::bad_alloc(); }
};

QString share(const QString &name)
{
    return test::shareDir() + QStringLiteral("/") + name;
}

Run run(const QStringList &args, IPrinterAccess &printers)
{
    return test::runCommand(args, printers);
}

// Without a default printer: no test may reach the machine's printers.
Run run(const QStringList &args)
{
    return test::runCommand(args);
}

QString data(const QString &name)
{
    return test::fixturesDir() + QStringLiteral("/") + name;
}

// Whether a printed word begins at (x, y) millimetres on its page, as near
// as the PDF's text boxes tell.
bool beginsAt(const test::PdfWord &word, double x, double y)
{
    return qAbs(word.xMin - x) <= 0.5 && qAbs(word.yMin - y) <= 1.0;
}

// Prints `records` (the bytes of a CSV file) with the design onto the 3 x 7
// address sheet into `pdf`, with the options.
Run printRecords(
    const QString &design, const QByteArray &records, const QString &pdf, const QStringList &options)
{
    const QString csv = QFileInfo(pdf).dir().filePath(QStringLiteral("records.csv"));
    if (!test::writeBytes(csv, records))
        return {};
    return run(
        QStringList { "print", design, share("FORMATE/adressen_3x7.vrl"), "--records", csv, "--pdf", pdf }
        + options);
}

QString placeOf(const test::PdfWord &word)
{
    return QStringLiteral("%1 on page %2 at x %3 mm, y %4 mm")
        .arg(word.text)
        .arg(word.page)
        .arg(word.xMin)
        .arg(word.yMin);
}

} // namespace

class TestCommandLine : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void initTestCase();
    void noCommandMeansWindows();
    void fieldsListsDataColumns();
    void sheetListsPositions();
    void designPrintsAndUpgrades();
    void designSaveKeepsTheSize_data();
    void designSaveKeepsTheSize();
    void missingFiles_data();
    void missingFiles();
    void printsIntoPdf();
    void badBarcodeValuePrintsNothing_data();
    void badBarcodeValuePrintsNothing();
    void printOptionsPlaceTheLabels_data();
    void printOptionsPlaceTheLabels();
    void serialNumbersFollowTheOption_data();
    void serialNumbersFollowTheOption();
    void printRefusals_data();
    void printRefusals();
    void printsToDefaultPrinter_data();
    void printsToDefaultPrinter();
    void recordsAsSpreadsheetsWriteThem_data();
    void recordsAsSpreadsheetsWriteThem();
    void sheetGridWritesAFormat_data();
    void sheetGridWritesAFormat();
    void sheetGridRefused_data();
    void sheetGridRefused();
    void formatsListsAndImports();
    void formatsFindsStock_data();
    void formatsFindsStock();
    void formatsAddsStock();
    void unknownWordsAreRefused_data();
    void unknownWordsAreRefused();
    void dirProblemsAreNamed_data();
    void dirProblemsAreNamed();
    void dirWorksForEveryCommand_data();
    void dirWorksForEveryCommand();
    void badInputIsRefused_data();
    void badInputIsRefused();
    void crOnlyFilesAreRead();
    void fullDiskIsNoSuccess();
    void saveKeepsLinksAndRefusesPipes();
    void outOfMemoryIsReported();
    void outputThatCannotBeWrittenFails_data();
    void outputThatCannotBeWrittenFails();
    void standardInputThatCannotBeKeptIsExplained_data();
    void standardInputThatCannotBeKeptIsExplained();
    void longValuesAreQuotedShort_data();
    void longValuesAreQuotedShort();
    void noQtNoticesAndNoWindows_data();
    void noQtNoticesAndNoWindows();
    void recordsFromStandardInputAndCsvTables();
    void nothingReachesTheNeighbourLabel_data();
    void nothingReachesTheNeighbourLabel();
    void textsCutAtTheEdgeAreNamed();
    void plainNamesWithoutDir_data();
    void plainNamesWithoutDir();
    void streamedRunsFindErrorsBeforePrinting_data();
    void streamedRunsFindErrorsBeforePrinting();
    void streamedRunsGoBeyondTheWindowsLimit();
    void fieldsInsideText();
};

// The settings of a folder of the test's own: no printer choice or
// correction of the machine's user moves what the tests print.
void TestCommandLine::initTestCase()
{
    static QTemporaryDir config;
    QVERIFY(config.isValid());
    qputenv("XDG_CONFIG_HOME", QFile::encodeName(config.path()));
}

void TestCommandLine::noCommandMeansWindows()
{
    QVERIFY(!isCommandLineCall({}));
    QVERIFY(!isCommandLineCall({ "--dir", "/tmp/x" }));
    QTextStream out(stdout), err(stderr);
    QVERIFY(!runCommandLine({ "--dir", "/tmp/x" }, out, err).has_value());
    const Run help = run({ "--help" });
    QCOMPARE(help.code, 0);
    QVERIFY(help.out.contains(QStringLiteral("quillmark fields ETIKETT.eti")));
    QCOMPARE(run({ "--version" }).out, QStringLiteral("Quillmark 2.0 (Dateiversion 2.04s)\n"));
}

void TestCommandLine::fieldsListsDataColumns()
{
    const Run r = run({ "fields", data("designs/fields_name_serial_ort.eti") });
    QCOMPARE(r.code, 0);
    QCOMPARE(r.out, QStringLiteral("1\tName\t30\n2\tSeriennr.[Nr. ]\t6\n3\tOrt\t20\n"));
    QCOMPARE(r.err, QString());
}

void TestCommandLine::sheetListsPositions()
{
    const Run r = run({ "sheet", data("formats/a4_3x7_63.5x38_without_header.vrl") });
    QCOMPARE(r.code, 0);
    const QStringList lines = r.out.split(QLatin1Char('\n'), Qt::SkipEmptyParts);
    QCOMPARE(lines.size(), 22);
    QVERIFY(lines[0].endsWith(QStringLiteral("\t2030\t2810")));
    QCOMPARE(lines[1], QStringLiteral("1\t75\t150\t635\t380"));
    QCOMPARE(lines[3], QStringLiteral("3\t1395\t150\t635\t380"));
    QCOMPARE(lines[4], QStringLiteral("4\t75\t530\t635\t380"));
}

void TestCommandLine::designPrintsAndUpgrades()
{
    QTemporaryDir dir;
    const QString saved = dir.filePath("neu.eti");
    const Run r = run({ "design", data("designs/old_records_sp_sf_bm.eti"), "--save", saved });
    QCOMPARE(r.code, 0);
    QVERIFY(r.err.contains(QStringLiteral("Datei enthielt alten Befehl für eine Bitmapgrafik !")));
    QVERIFY(r.out.contains(QStringLiteral("\nB\t50\t60\t125\t135\tC:\\LOGO.BMP\n")));
    // The saved file carries no old records any more and reads back the same.
    const QStringList lines = readTextLines(saved);
    for (const QString &line : lines) {
        QVERIFY2(!line.startsWith(QLatin1String("SP,")) && !line.startsWith(QLatin1String("SF,"))
                && !line.startsWith(QLatin1String("BM,")),
            qPrintable(line));
    }
    const Run again = run({ "design", saved });
    QCOMPARE(again.code, 0);
    QCOMPARE(again.err, QString());
    QCOMPARE(again.out, r.out);
}

void TestCommandLine::designSaveKeepsTheSize_data()
{
    QTest::addColumn<QByteArray>("size");
    QTest::addColumn<QString>("shown"); // width and height as listed
    QTest::newRow("63.2 mm") << QByteArray("GR,158,95,25") << "63,2\t38";
    QTest::newRow("odd units") << QByteArray("GR,157,83,25") << "62,8\t33,2";
    QTest::newRow("no size") << QByteArray("GR,0,0,25") << "0\t0";
    QTest::newRow("largest") << QByteArray("GR,2147483647,1,25") << "858993458,8\t0,4";
    QTest::newRow("other scale") << QByteArray("GR,158,95,10") << "63,2\t38";
}

// `design --save` writes the design back byte for byte but for its date
// line, whatever size it holds, and lists the exact size.
void TestCommandLine::designSaveKeepsTheSize()
{
    QFETCH(QByteArray, size);
    QFETCH(QString, shown);
    QTemporaryDir dir;
    const QString path = dir.filePath("groesse.eti");
    const QByteArray file = "** QUILLMARK f\xfcr WINDOWS 95\r\n** ETI-Datei f\xfcr ein Etikett bzw. Formular\r\n"
                            "** Erstellt am 24.12.1999 mit Version 2.04s\r\nNA,Etikett\r\n"
        + size + "\r\nXP,0,0\r\nRE,1,1,50,30\r\nXF,12,0,1,0,Arial,0\r\nEF,5,5,30,Name\r\n";
    QVERIFY(test::writeBytes(path, file));
    const QString saved = dir.filePath("gespeichert.eti");
    const Run r = run({ "design", path, "--save", saved });
    QCOMPARE(r.err, QString());
    QCOMPARE(r.code, 0);
    QVERIFY(r.out.startsWith(QStringLiteral("Etikett\t") + shown + u'\n'));
    QFile out(saved);
    QVERIFY(out.open(QIODevice::ReadOnly));
    QList<QByteArray> lines = out.readAll().split('\n');
    QList<QByteArray> expected = file.split('\n');
    QVERIFY(lines.value(2).startsWith("** Erstellt am "));
    lines.removeAt(2);
    expected.removeAt(2);
    QCOMPARE(lines, expected);
}

void TestCommandLine::missingFiles_data()
{
    QTest::addColumn<QStringList>("args");
    QTest::addColumn<QString>("message");
    QTest::newRow("fields") << QStringList { "fields", "/nicht/da.eti" }
                            << "Etiketten- bzw. Formulardatei nicht gefunden. Bearbeitung abgebrochen !";
    QTest::newRow("sheet") << QStringList { "sheet", "/nicht/da.vrl" }
                           << "Formatdatei nicht gefunden. Bearbeitung abgebrochen !";
    QTest::newRow("design") << QStringList { "design", "/nicht/da.eti" } << "Datei nicht gefunden";
    QTest::newRow("usage") << QStringList { "fields" } << "Aufruf: quillmark fields";
}

void TestCommandLine::missingFiles()
{
    QFETCH(QStringList, args);
    QFETCH(QString, message);
    const Run r = run(args);
    QCOMPARE(r.code, 1);
    QVERIFY2(r.err.contains(message), qPrintable(r.err));
    QCOMPARE(r.out, QString());
}

void TestCommandLine::printsIntoPdf()
{
    QTemporaryDir dir;
    const QString csv = dir.filePath("r.csv");
    TextFileWriter w(csv);
    w.writeLine(u"Anzahl,Name,Straße,Ort");
    w.writeLine(u"2,Erika,Weg 1,Köln");
    w.writeLine(u"3,\"Meier, Hans\",Hauptstr. 1,Berlin");
    w.commit();
    const QString pdf = dir.filePath("out.pdf");
    const Run r = run({ "print", test::shareDir() + QStringLiteral("/ETIKETT/adresse.eti"),
        test::shareDir() + QStringLiteral("/FORMATE/adressen_3x7.vrl"), "--records", csv, "--start", "20",
        "--frame", "--offset-x", "-10", "--pdf", pdf });
    QCOMPARE(r.err, QString());
    QCOMPARE(r.code, 0);
    // Positions 20 and 21 on the first sheet, three labels on the second.
    QCOMPARE(r.out, QStringLiteral("5 Etiketten auf 2 Seiten in %1\n").arg(pdf));
    int pages = 0;
    const QList<test::PdfWord> words = test::pdfWords(pdf, &pages);
    QCOMPARE(pages, 2);
    // Erika at position 20 (middle column, seventh row), 1 mm to the left;
    // the first Meier at position 1 of the second sheet.
    const test::PdfWord erika = test::pdfWord(words, QStringLiteral("Erika"));
    QVERIFY2(erika.page == 1 && beginsAt(erika, 76.5, 249), qPrintable(placeOf(erika)));
    const test::PdfWord meier = test::pdfWord(words, QStringLiteral("Meier,"));
    QVERIFY2(meier.page == 2 && beginsAt(meier, 10.5, 21), qPrintable(placeOf(meier)));
    // The frame: a line on the left edge of position 20 (72.5 mm).
    const QImage page = test::pdfPageImage(pdf, 1, 100);
    QVERIFY(!page.isNull());
    const int darkest = test::darkestGrey(page, 100, 71.5, 73.5, 262);
    QVERIFY2(darkest < 128, qPrintable(QString::number(darkest)));
}

void TestCommandLine::printOptionsPlaceTheLabels_data()
{
    QTest::addColumn<QStringList>("options");
    QTest::addColumn<double>("x"); // where the first label's name begins, mm
    QTest::addColumn<double>("y");
    QTest::addColumn<bool>("frame");
    // Position 1 lies at (7.5 mm, 15 mm), position 5 at (73.5 mm, 53 mm); the
    // name is drawn 4 mm right of and 6 mm below the label's corner.
    QTest::newRow("as designed") << QStringList {} << 11.5 << 21.0 << false;
    QTest::newRow("to the right") << QStringList { "--offset-x", "30" } << 14.5 << 21.0 << false;
    QTest::newRow("up") << QStringList { "--offset-y", "-20" } << 11.5 << 19.0 << false;
    QTest::newRow("left and down")
        << QStringList { "--offset-x", "-40", "--offset-y", "25" } << 7.5 << 23.5 << false;
    QTest::newRow("start 5, framed") << QStringList { "--start", "5", "--frame" } << 77.5 << 59.0 << true;
    QTest::newRow("framed, moved")
        << QStringList { "--frame", "--offset-x", "20", "--offset-y", "-30" } << 13.5 << 18.0 << true;
}

void TestCommandLine::printOptionsPlaceTheLabels()
{
    QFETCH(QStringList, options);
    QFETCH(double, x);
    QFETCH(double, y);
    QFETCH(bool, frame);
    QTemporaryDir dir;
    const QString pdf = dir.filePath("out.pdf");
    const Run r = printRecords(share("ETIKETT/adresse.eti"), "Name,Ort\r\nErika,K\xF6ln\r\n", pdf, options);
    QCOMPARE(r.err, QString());
    QCOMPARE(r.code, 0);
    const test::PdfWord name = test::pdfWord(test::pdfWords(pdf), QStringLiteral("Erika"));
    QVERIFY2(name.page == 1 && beginsAt(name, x, y), qPrintable(placeOf(name)));

    // The frame runs along the label's left edge, 4 mm left of the name,
    // halfway down the 38 mm label; nothing else is drawn there.
    const QImage page = test::pdfPageImage(pdf, 1, 100);
    QVERIFY(!page.isNull());
    const int darkest = test::darkestGrey(page, 100, x - 5, x - 3, y - 6 + 19);
    QVERIFY2((darkest < 128) == frame, qPrintable(QStringLiteral("darkest grey %1").arg(darkest)));
}

void TestCommandLine::serialNumbersFollowTheOption_data()
{
    QTest::addColumn<QStringList>("options");
    QTest::addColumn<QStringList>("serials"); // position by position
    QTest::newRow("counted per label") << QStringList {} << QStringList { "7/96", "8/96", "9/96", "10/96" };
    QTest::newRow("counted per record")
        << QStringList { "--serial-per-record" } << QStringList { "7/96", "7/96", "8/96", "8/96" };
}

void TestCommandLine::serialNumbersFollowTheOption()
{
    QFETCH(QStringList, options);
    QFETCH(QStringList, serials);
    QTemporaryDir dir;
    const QString pdf = dir.filePath("out.pdf");
    // Two records of two copies each; the serial column starts at 7.
    const Run r = printRecords(data("designs/fields_name_serial_ort.eti"),
        "Anzahl,N,S,O\r\n2,Anna,7,Bonn\r\n2,Bert,,Ulm\r\n", pdf, options);
    QCOMPARE(r.err, QString());
    QCOMPARE(r.out, QStringLiteral("4 Etiketten auf 1 Seite in %1\n").arg(pdf));
    // The serial words in position order: by row of the sheet, then across.
    QList<test::PdfWord> numbers;
    for (const test::PdfWord &w : test::pdfWords(pdf)) {
        if (w.text.endsWith(QLatin1String("/96")))
            numbers.append(w);
    }
    std::sort(numbers.begin(), numbers.end(), [](const test::PdfWord &a, const test::PdfWord &b) {
        return qRound(a.yMin) != qRound(b.yMin) ? a.yMin < b.yMin : a.xMin < b.xMin;
    });
    QStringList printed;
    for (const test::PdfWord &w : numbers)
        printed.append(w.text);
    QCOMPARE(printed, serials);
}

void TestCommandLine::printRefusals_data()
{
    QTest::addColumn<QStringList>("extra");
    QTest::addColumn<QString>("message");
    QTest::newRow("bad start") << QStringList { "--start", "x", "--pdf", "/tmp/x.pdf" }
                               << "'x' ist kein gültiger Integerwert";
    QTest::newRow("offset out of range")
        << QStringList { "--offset-y", "300", "--pdf", "/tmp/x.pdf" } << "zwischen -250 und 250";
    QTest::newRow("start beyond the sheet")
        << QStringList { "--start", "22", "--pdf", "/tmp/x.pdf" }
        << "quillmark: Die Startposition 22 liegt hinter dem letzten Etikett des Bogens: das Format hat 21 "
           "Etiketten.";
    QTest::newRow("no output") << QStringList {} << "Aufruf: quillmark print";
    QTest::newRow("printer and PDF") << QStringList { "--printer", "--pdf", "/tmp/x.pdf" }
                                     << "(--pdf AUSGABE.pdf | --printer [NAME])";
}

void TestCommandLine::printRefusals()
{
    QFETCH(QStringList, extra);
    QFETCH(QString, message);
    const Run r = run(QStringList { "print", test::shareDir() + QStringLiteral("/ETIKETT/adresse.eti"),
                          test::shareDir() + QStringLiteral("/FORMATE/adressen_3x7.vrl") }
        + extra);
    QCOMPARE(r.code, 1);
    QVERIFY2(r.err.contains(message), qPrintable(r.err));
}

void TestCommandLine::printsToDefaultPrinter_data()
{
    QTest::addColumn<bool>("hasPrinter");
    QTest::addColumn<bool>("opens");
    QTest::addColumn<int>("code");
    QTest::addColumn<QString>("out");
    QTest::addColumn<QString>("err");
    QTest::newRow("no default printer") << false << false << 1 << QString()
                                        << "quillmark: Es ist kein Standarddrucker eingerichtet. Bitte einen "
                                           "Drucker als Standarddrucker festlegen "
                                           "oder mit --pdf in eine PDF-Datei drucken.\n";
    QTest::newRow("printer cannot be opened")
        << true << false << 1 << QString() << "quillmark: Der Drucker Büro 2 konnte nicht geöffnet werden.\n";
    QTest::newRow("printed") << true << true << 0 << "3 Etiketten auf 1 Seite an Büro 2\n" << QString();
}

void TestCommandLine::printsToDefaultPrinter()
{
    QFETCH(bool, hasPrinter);
    QFETCH(bool, opens);
    QFETCH(int, code);
    QFETCH(QString, out);
    QFETCH(QString, err);
    QTemporaryDir dir;
    const QString csv = dir.filePath("r.csv");
    TextFileWriter w(csv);
    w.writeLine(u"Anzahl,Name,Straße,Ort");
    w.writeLine(u"3,Erika,Weg 1,Köln");
    w.commit();
    FakePrinters printers;
    if (hasPrinter)
        printers.defaultPrinter = PrinterName { "Büro 2", "HP LaserJet 4", "usb://HP/LaserJet" };
    if (opens)
        printers.pdf = dir.filePath("out.pdf");
    const Run r
        = run({ "print", test::shareDir() + QStringLiteral("/ETIKETT/adresse.eti"),
                  test::shareDir() + QStringLiteral("/FORMATE/adressen_3x7.vrl"), "--records", csv, "--printer" },
            printers);
    QCOMPARE(r.err, err);
    QCOMPARE(r.out, out);
    QCOMPARE(r.code, code);
    QCOMPARE(printers.opened, hasPrinter ? 1 : 0);
    if (opens)
        QVERIFY(QFileInfo(printers.pdf).size() > 0);
}

void TestCommandLine::recordsAsSpreadsheetsWriteThem_data()
{
    QTest::addColumn<QByteArray>("csv");
    QTest::addColumn<int>("code");
    QTest::addColumn<QString>("out"); // %1: the PDF file
    QTest::addColumn<QString>("err");
    QTest::addColumn<QString>("text"); // the first label's lines, top to bottom
    QTest::newRow("semicolons, columns by title, no copies")
        << QByteArray("Ort;NAME;Stra\xDF"
                      "e\r\nK\xF6ln;Erika;Heideweg 1\r\n")
        << 0 << "1 Etikett auf 1 Seite in %1\n"
        << QString() << QStringLiteral("Erika\nHeideweg 1\nKöln");
    QTest::newRow("tabs, copies last")
        << QByteArray("Name\tOrt\tAnzahl\r\nMax\tBonn\t2\r\n") << 0 << "2 Etiketten auf 1 Seite in %1\n"
        << QString() << QStringLiteral("Max\nBonn");
    QTest::newRow("closing separators and a column the design does not use")
        << QByteArray("Name;Telefon;Ort;\r\nErika;0221 17;K\xF6ln;\r\n") << 0
        << "1 Etikett auf 1 Seite in %1\n"
        << "Spalten ohne Datenfeld des Etiketts werden nicht gedruckt: „Telefon“, Spalte 4 (ohne Titel)\n"
        << QStringLiteral("Erika\nKöln");
    QTest::newRow("Windows-1252 bytes 0x80 to 0x9F")
        << QByteArray("Name;Ort\r\n\x84Zwei\x93 \x80;\x8Amarje\x85\r\n") << 0
        << "1 Etikett auf 1 Seite in %1\n"
        << QString() << QStringLiteral("„Zwei“ €\nŠmarje…");
    QTest::newRow("value too long for its field")
        << QByteArray("Name;Ort\r\nA;Garmisch-Partenkirchen im Werdenfelser Land\r\n") << 1 << QString()
        << "quillmark: Zeile 2, Spalte 2: Der Wert für „Ort“ hat 43 Zeichen, das Feld fasst höchstens 30.\n"
        << QString();
}

void TestCommandLine::recordsAsSpreadsheetsWriteThem()
{
    QFETCH(QByteArray, csv);
    QFETCH(int, code);
    QFETCH(QString, out);
    QFETCH(QString, err);
    QFETCH(QString, text);
    QTemporaryDir dir;
    const QString records = dir.filePath("r.csv");
    QFile file(records);
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write(csv);
    file.close();
    const QString pdf = dir.filePath("out.pdf");
    const Run r = run({ "print", test::shareDir() + QStringLiteral("/ETIKETT/adresse.eti"),
        test::shareDir() + QStringLiteral("/FORMATE/adressen_3x7.vrl"), "--records", records, "--pdf", pdf });
    QCOMPARE(r.err, err);
    QCOMPARE(r.out, out.isEmpty() ? QString() : out.arg(pdf));
    QCOMPARE(r.code, code);
    if (text.isEmpty())
        return;
    QProcess p;
    p.start(QStringLiteral("pdftotext"), { pdf, QStringLiteral("-") });
    QVERIFY(p.waitForFinished(30000));
    const QString printed = QString::fromUtf8(p.readAllStandardOutput());
    // The lines of the first label, in order, from the top.
    qsizetype at = 0;
    for (const QString &line : text.split(QLatin1Char('\n'))) {
        at = printed.indexOf(line, at);
        QVERIFY2(at >= 0, qPrintable(line + QStringLiteral(" not in order in:\n") + printed));
    }
}

void TestCommandLine::sheetGridWritesAFormat_data()
{
    QTest::addColumn<QStringList>("grid");
    QTest::newRow("decimal points") << QStringList { "63.5", "38", "3", "7", "7.5", "15", "2.5", "0" };
    // German users type the comma; the file is the same.
    QTest::newRow("decimal commas") << QStringList { "63,5", "38,0", "3", "7", "7,5", "15", "2,5", "0" };
}

void TestCommandLine::sheetGridWritesAFormat()
{
    QFETCH(QStringList, grid);
    QTemporaryDir dir;
    const QString out = dir.filePath("a4.vrl");
    const Run r = run(QStringList { "sheet", "--grid" } + grid
        + QStringList { "--description", "Adressen 63.5 x 38", "--save", out });
    QCOMPARE(r.code, 0);
    QCOMPARE(r.err, QString());
    const QStringList lines = r.out.split(QLatin1Char('\n'), Qt::SkipEmptyParts);
    QCOMPARE(lines.size(), 22);
    QCOMPARE(lines[0], QStringLiteral("Adressen 63.5 x 38\t2030\t2810"));
    QCOMPARE(lines[3], QStringLiteral("3\t1395\t150\t635\t380"));
    QCOMPARE(readTextLines(out).mid(0, 4),
        (QStringList { "** Formatdatei erstellt mit QUILLMARK 95 - Version2.04s", "NA,Adressen 63.5 x 38",
            "GR,2030,2810", "PO,75,150,635,380" }));
}

void TestCommandLine::sheetGridRefused_data()
{
    QTest::addColumn<QStringList>("grid");
    QTest::addColumn<QString>("description");
    QTest::addColumn<QString>("message");
    const QStringList fine { "70", "37", "3", "8", "0", "0", "0", "0" };
    QTest::newRow("length not a number") << QStringList { "70", "37", "3", "8", "0", "x", "0", "0" } << "A"
                                         << "'x' ist kein gültiger Gleitkommawert";
    QTest::newRow("count not a number") << QStringList { "70", "37", "3.5", "8", "0", "0", "0", "0" } << "A"
                                        << "'3.5' ist kein gültiger Integerwert";
    QTest::newRow("negative count") << QStringList { "70", "37", "3", "-8", "0", "0", "0", "0" } << "A"
                                    << "Die Anzahl untereinander darf nicht kleiner als 0 sein (-8).";
    QTest::newRow("over 200") << QStringList { "10", "10", "20", "11", "0", "0", "0", "0" } << "A"
                              << "Das Format ergibt 220 Etiketten";
    QTest::newRow("negative label width") << QStringList { "-70", "37", "3", "8", "0", "0", "0", "0" } << "A"
                                          << "Die Etikettengröße -700 x 370 ist keine gültige Größe.";
    QTest::newRow("0 x 0 label") << QStringList { "0", "0", "1", "1", "0", "0", "0", "0" } << "A"
                                 << "Die Etikettengröße 0 x 0 ist keine gültige Größe.";
    QTest::newRow("negative margins")
        << QStringList { "70", "37", "1", "1", "-500", "-950", "0", "0" } << "A"
        << "Die Bogengröße -4300 x -9130 der Formatdatei liegt nicht zwischen 0 und";
    QTest::newRow("beyond any sheet") << QStringList { "70", "37", "3", "8", "5000", "0", "0", "0" } << "A"
                                      << "Die Bogengröße";
    QTest::newRow("outside cp1252") << fine << "Etikett \u2713" << "";
    QTest::newRow("empty description") << fine << ""
                                       << "Bitte geben Sie eine Beschreibung das Format ein !";
    QTest::newRow("too few values") << fine.mid(0, 7) << "A" << "Aufruf: quillmark sheet --grid";
}

void TestCommandLine::sheetGridRefused()
{
    QFETCH(QStringList, grid);
    QFETCH(QString, description);
    QFETCH(QString, message);
    QTemporaryDir dir;
    const QString out = dir.filePath("a.vrl");
    const Run r = run(QStringList { "sheet", "--grid" } + grid + QStringList { "--description", description, "--save", out });
    QCOMPARE(r.code, 1);
    QVERIFY2(r.err.contains(message), qPrintable(r.err));
    QVERIFY(!QFileInfo::exists(out));
    QVERIFY(QDir(dir.path()).isEmpty());
}

void TestCommandLine::formatsListsAndImports()
{
    QTemporaryDir dir;
    const Run imported = run({ "formats", "--dir", dir.path(), "--import", data("formats/templates_sample.xml") });
    QCOMPARE(imported.code, 0);
    QVERIFY2(imported.out.startsWith(
                 QStringLiteral("Individuelle Formate\tAvery L7160 63,5 x 38,1 mm (3 x 7)\tavery_l7160.vrl\n")),
        qPrintable(imported.out));
    QVERIFY(imported.out.endsWith(QStringLiteral("9 Formate aufgenommen, 3 ausgelassen\n")));
    QVERIFY(imported.out.contains(
        QStringLiteral("\tAvery L6015 117 x 117 mm (1 x 2) (rund)\tavery_l6015.vrl\n")));
    QVERIFY(imported.err.contains(
        QStringLiteral("ausgelassen: Herma 9999: Etiketten liegen außerhalb des Bogens\n")));
    QVERIFY(QFileInfo::exists(dir.filePath("FORMATE/avery_l7160.vrl")));

    const Run listed = run({ "formats", "--dir", dir.path() });
    QCOMPARE(listed.code, 0);
    const QStringList lines = listed.out.split(QLatin1Char('\n'), Qt::SkipEmptyParts);
    QCOMPARE(lines.size(), 9);
    QCOMPARE(lines.last(), QStringLiteral("Individuelle Formate\tHerma 4226 45 x 30 mm (2 x 4)\therma_4226.vrl"));

    const Run broken = run({ "formats", "--dir", dir.path(), "--import", data("formats/templates_broken.xml") });
    QCOMPARE(broken.code, 1);
    QVERIFY(broken.err.contains(QStringLiteral("Die Vorlagendatei ist fehlerhaft")));
    QCOMPARE(run({ "formats", "--dir", dir.path() }).out, listed.out);
}

void TestCommandLine::formatsFindsStock_data()
{
    QTest::addColumn<QStringList>("args");
    QTest::addColumn<int>("code");
    QTest::addColumn<QString>("firstLine"); // of the output, or the start of the error
    QTest::addColumn<int>("atLeast"); // lines of output
    QTest::newRow("maker and part") << QStringList { "formats", "--find", "Herma 4464" } << 0
                                    << "Herma\t4464\t69,6 x 37 mm (3 x 8)\t24" << 1;
    QTest::newRow("label size") << QStringList { "formats", "--find", "zweckform 70 x 36" } << 0
                                << "Zweckform\t" << 2;
    QTest::newRow("round") << QStringList { "formats", "--find", "L7676" } << 0
                           << "Avery\tL7676\t117 x 117 mm (1 x 2) (rund)\t2" << 1;
    QTest::newRow("maker") << QStringList { "formats", "--find", "herma" } << 0 << "Herma\t" << 51;
    QTest::newRow("nothing") << QStringList { "formats", "--find", "herma 99999" } << 1
                             << "quillmark: Kein Etikettenbogen passt zu „herma 99999“." << 0;
    QTest::newRow("with --import") << QStringList { "formats", "--find", "x", "--import", "y.xml" } << 1
                                   << "quillmark: --import, --find und --add schließen einander aus." << 0;
    QTest::newRow("--add without part")
        << QStringList { "formats", "--add", "Herma" } << 1
        << "quillmark: Die Option „--add“ braucht Hersteller und Teilenummer." << 0;
    QTest::newRow("--add of no such part") << QStringList { "formats", "--add", "Herma", "3475" } << 1
                                           << "quillmark: Den Etikettenbogen „Herma 3475“ gibt es" << 0;
}

void TestCommandLine::formatsFindsStock()
{
    QFETCH(QStringList, args);
    QFETCH(int, code);
    QFETCH(QString, firstLine);
    QFETCH(int, atLeast);
    QTemporaryDir dir;
    const Run result = run(args + QStringList { "--dir", dir.path() });
    QCOMPARE(result.code, code);
    const QStringList lines = result.out.split(QLatin1Char('\n'), Qt::SkipEmptyParts);
    QVERIFY2(lines.size() >= atLeast, qPrintable(result.out));
    if (code == 0) {
        QVERIFY2(lines.first().startsWith(firstLine), qPrintable(lines.first()));
        for (const QString &line : lines)
            QCOMPARE(line.count(QLatin1Char('\t')), 3);
    } else {
        QVERIFY2(result.err.startsWith(firstLine), qPrintable(result.err));
    }
}

void TestCommandLine::formatsAddsStock()
{
    QTemporaryDir dir;
    // The maker and part in any letter case; the VRL file named after them.
    const Run added = run({ "formats", "--dir", dir.path(), "--add", "herma", "4464" });
    QCOMPARE(added.code, 0);
    QCOMPARE(added.out, QStringLiteral("herma_4464.vrl\n"));
    const QString vrl = dir.filePath("FORMATE/herma_4464.vrl");
    const Run listed = run({ "formats", "--dir", dir.path() });
    QVERIFY(listed.out.endsWith(
        QStringLiteral("Individuelle Formate\tHerma 4464 69,6 x 37 mm (3 x 8)\therma_4464.vrl\n")));
    const Run sheet = run({ "sheet", vrl });
    QCOMPARE(sheet.code, 0);
    QVERIFY2(sheet.out.startsWith(
                 QStringLiteral("Herma 4464 69.6 x 37 mm (3 x 8)\t2100\t2963\n1\t0\t0\t696\t370\n")),
        qPrintable(sheet.out));
    QVERIFY2(sheet.out.endsWith(QStringLiteral("\n24\t1404\t2593\t696\t370\n")), qPrintable(sheet.out));

    // Entered once: a second --add names the same file and adds no entry.
    const QByteArray before = test::contentOf(dir.filePath("FORMATE.DAT"));
    const Run again = run({ "formats", "--dir", dir.path(), "--add", "Herma", "4464" });
    QCOMPARE(again.out, added.out);
    QCOMPARE(test::contentOf(dir.filePath("FORMATE.DAT")), before);

    // A file of that name that is not the catalogue's stays.
    QVERIFY(test::writeBytes(dir.filePath("FORMATE/herma_4103.vrl"), "mine"));
    const Run other = run({ "formats", "--dir", dir.path(), "--add", "HERMA", "4103" });
    QCOMPARE(other.out, QStringLiteral("herma_4103_2.vrl\n"));
    QCOMPARE(test::contentOf(dir.filePath("FORMATE/herma_4103.vrl")), QByteArray("mine"));
}

void TestCommandLine::unknownWordsAreRefused_data()
{
    QTest::addColumn<QStringList>("args");
    QTest::addColumn<QString>("message");
    QTest::newRow("unknown command") << QStringList { "frobnicate" } << "Unbekannter Befehl „frobnicate“.";
    QTest::newRow("command in other case")
        << QStringList { "Print", "a.eti", "b.vrl" } << "Unbekannter Befehl „Print“.";
    QTest::newRow("unknown option") << QStringList { "--frobnicate" } << "Unbekannte Option „--frobnicate“.";
    QTest::newRow("unknown option of a command")
        << QStringList { "sheet", "--pdf", "x.pdf", "a.vrl" } << "Unbekannte Option „--pdf“.";
    QTest::newRow("unknown short option")
        << QStringList { "fields", "-x", "a.eti" } << "Unbekannte Option „-x“.";
    QTest::newRow("option without its value")
        << QStringList { "print", "a.eti", "b.vrl", "--pdf" } << "Der Option „--pdf“ fehlt ihr Wert.";
    QTest::newRow("value for a switch") << QStringList { "print", "a.eti", "b.vrl", "--frame=ja",
        "--printer" } << "Die Option „--frame“ nimmt keinen Wert.";
    QTest::newRow("one file too many")
        << QStringList { "sheet", "a.vrl", "b.vrl" } << "Überzähliges Argument „b.vrl“.";
    QTest::newRow("dir without its value") << QStringList { "--dir" } << "Der Option „--dir“ fehlt ihr Wert.";
    QTest::newRow("version with a word") << QStringList { "--version", "extra" } << "Überzähliges Argument „extra“.";
    QTest::newRow("help with a word") << QStringList { "--help", "extra" } << "Überzähliges Argument „extra“.";
}

void TestCommandLine::unknownWordsAreRefused()
{
    QFETCH(QStringList, args);
    QFETCH(QString, message);
    QVERIFY(isCommandLineCall(args)); // never the windows
    const Run r = run(args);
    QCOMPARE(r.code, 1);
    QCOMPARE(r.out, QString());
    const QStringList lines = r.err.split(QLatin1Char('\n'));
    QCOMPARE(lines.first(), QStringLiteral("quillmark: ") + message);
    QVERIFY2(lines.value(1).startsWith(QStringLiteral("Aufruf: quillmark")), qPrintable(r.err));
}

void TestCommandLine::dirWorksForEveryCommand_data()
{
    QTest::addColumn<QStringList>("args");
    QTest::addColumn<QString>("firstLine");
    QTest::newRow("fields, dir first")
        << QStringList { "--dir", test::shareDir(), "fields", "adresse.eti" } << "1\tName\t30";
    QTest::newRow("sheet, dir after") << QStringList { "sheet", "adressen_3x7.vrl", (QStringLiteral("--dir=") + test::shareDir()) }
                                      << "Adressetiketten 63.5 x 38.0 mm - 3 x 7 auf A4\t2030\t2810";
    QTest::newRow("design, other case")
        << QStringList { "design", "ADRESSE.ETI", "--dir", test::shareDir() } << "Adressetikett dreizeilig\t";
    QTest::newRow("stored windows path")
        << QStringList { "--dir", test::shareDir(), "fields", "C:\\ETIKETT\\adresse.eti" } << "1\tName\t30";
}

void TestCommandLine::dirWorksForEveryCommand()
{
    QFETCH(QStringList, args);
    QFETCH(QString, firstLine);
    const Run r = run(args);
    QCOMPARE(r.err, QString());
    QCOMPARE(r.code, 0);
    QVERIFY2(r.out.section(QLatin1Char('\n'), 0, 0).startsWith(firstLine), qPrintable(r.out));

    QTemporaryDir dir;
    const QString pdf = dir.filePath("out.pdf");
    const Run printed
        = run({ "print", "adresse.eti", "adressen_3x7.vrl", "--dir", test::shareDir(), "--pdf", pdf });
    QCOMPARE(printed.err, QString());
    QCOMPARE(printed.code, 0);
    QVERIFY(QFileInfo(pdf).size() > 0);
    const Run missing = run({ "--dir", dir.filePath("nicht-da"), "fields", "adresse.eti" });
    QCOMPARE(missing.code, 1);
    QVERIFY2(missing.err.contains(QStringLiteral("Das Programmverzeichnis")), qPrintable(missing.err));
    QVERIFY(!QFileInfo::exists(dir.filePath("nicht-da"))); // nothing created
}

void TestCommandLine::dirProblemsAreNamed_data()
{
    const QString xml = data("formats/templates_sample.xml");
    const QString notAFolder
        = QStringLiteral("Das Programmverzeichnis FILE ist kein Verzeichnis, sondern eine Datei.");
    const QString noNewFile = QStringLiteral("Die Datei FORMATE.DAT kann nicht geschrieben werden, das "
                                             "Verzeichnis /proc/1 nimmt keine neuen Dateien auf: ");
    QTest::addColumn<QStringList>("args");
    QTest::addColumn<QString>("message");
    QTest::newRow("reading from a file")
        << QStringList { "fields", "adresse.eti", "--dir", "FILE" } << notAFolder;
    QTest::newRow("listing from a file") << QStringList { "formats", "--dir", "FILE" } << notAFolder;
    QTest::newRow("importing into a file")
        << QStringList { "formats", "--import", xml, "--dir", "FILE" } << notAFolder;
    QTest::newRow("adding into a file")
        << QStringList { "formats", "--add", "Avery", "L7160", "--dir", "FILE" } << notAFolder;
    QTest::newRow("reading from a missing folder") << QStringList { "fields", "adresse.eti", "--dir",
        "MISSING" } << "Das Programmverzeichnis MISSING gibt es nicht.";
    QTest::newRow("importing into a folder without new files")
        << QStringList { "formats", "--import", xml, "--dir", "/proc/1" } << noNewFile;
    QTest::newRow("adding into a folder without new files")
        << QStringList { "formats", "--add", "Avery", "L7160", "--dir", "/proc/1" } << noNewFile;
}

// A --dir that cannot serve is named with what is wrong with it, never a
// bare "Datei nicht gefunden" or "Dateizugriff verweigert"; nothing is
// written.
void TestCommandLine::dirProblemsAreNamed()
{
    QFETCH(QStringList, args);
    QFETCH(QString, message);
    if (args.contains(QStringLiteral("/proc/1")) && !QFileInfo(QStringLiteral("/proc/1")).isDir())
        QSKIP("no /proc/1 here");
    QTemporaryDir dir;
    const QString file = dir.filePath("notiz.txt");
    QVERIFY(test::writeBytes(file, "kein Verzeichnis\r\n"));
    args.replaceInStrings(QStringLiteral("FILE"), file);
    args.replaceInStrings(QStringLiteral("MISSING"), dir.filePath("fehlt"));
    message.replace(QStringLiteral("FILE"), file).replace(QStringLiteral("MISSING"), dir.filePath("fehlt"));
    const Run r = run(args);
    QCOMPARE(r.code, 1);
    QVERIFY2(r.err.startsWith(QStringLiteral("quillmark: ") + message), qPrintable(r.err));
    QCOMPARE(r.out, QString());
    QCOMPARE(test::contentOf(file), QByteArray("kein Verzeichnis\r\n"));
    QCOMPARE(QDir(dir.path()).entryList(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden),
        QStringList { "notiz.txt" });
}

void TestCommandLine::badInputIsRefused_data()
{
    QTest::addColumn<QStringList>("args");
    QTest::addColumn<QString>("message");
    const QString eti = share("ETIKETT/adresse.eti");
    const QString vrl = share("FORMATE/adressen_3x7.vrl");
    QTest::newRow("start far beyond the sheet") << QStringList { "print", eti, vrl, "--start", "2000000000",
        "--pdf", "x.pdf" } << "Die Startposition 2000000000 liegt nicht zwischen 1 und 200.";
    QTest::newRow("print scale beyond products")
        << QStringList { "print", data("designs/print_scale_overflow.eti"), vrl, "--pdf", "x.pdf" }
        << "Der Druckmaßstab 2147483647 der Etikettendatei liegt nicht zwischen 1 und 1000.";
    QTest::newRow("print scale 0") << QStringList { "print", data("designs/print_scale_zero.eti"), vrl,
        "--pdf", "x.pdf" } << "Der Druckmaßstab 0 der Etikettendatei";
    QTest::newRow("sheet extent beyond products")
        << QStringList { "print", eti, data("formats/extent_overflow.vrl"), "--pdf", "x.pdf" }
        << "Die Bogengröße 2147483647 x 2810 der Formatdatei";
    QTest::newRow("records from a pipe") << QStringList { "print", eti, vrl, "--records", "FIFO", "--pdf",
        "x.pdf" } << "keine gewöhnliche Datei";
    QTest::newRow("records without end") << QStringList { "print", eti, vrl, "--records", "/dev/zero",
        "--pdf", "x.pdf" } << "/dev/zero ist keine gewöhnliche Datei";
    QTest::newRow("a billion copies") << QStringList { "print", eti, vrl, "--records", "BILLION", "--pdf",
        "x.pdf" } << "„1000000000“ ist keine Anzahl von 0 bis 999";
    QTest::newRow("design from a pipe") << QStringList { "design", "FIFO" } << "keine gewöhnliche Datei";
    QTest::newRow("design without end")
        << QStringList { "fields", "/dev/zero" } << "/dev/zero ist keine gewöhnliche Datei";
    QTest::newRow("design is a folder")
        << QStringList { "design", "DIR" } << "ist ein Verzeichnis und keine Datei.";
    QTest::newRow("format is a folder")
        << QStringList { "sheet", "DIR" } << "ist ein Verzeichnis und keine Datei.";
    QTest::newRow("pdf onto a device")
        << QStringList { "print", eti, vrl, "--pdf", "/dev/full" }
        << "Die PDF-Datei /dev/full konnte nicht geschrieben werden: /dev/full ist keine gewöhnliche Datei";
    QTest::newRow("unreadable design") << QStringList { "fields", "UNREADABLE" } << "Dateizugriff verweigert";
}

void TestCommandLine::badInputIsRefused()
{
    QFETCH(QStringList, args);
    QFETCH(QString, message);
    QTemporaryDir dir;
    const QString fifo = dir.filePath("pipe");
    QCOMPARE(::mkfifo(QFile::encodeName(fifo).constData(), 0600), 0);
    const QString billion = dir.filePath("billion.csv");
    QVERIFY(test::writeBytes(billion, "Anzahl,Name\r\n1000000000,Erika\r\n"));
    const QString unreadable = dir.filePath("unreadable.eti");
    QVERIFY(test::writeBytes(unreadable, "NA,x\r\n"));
    QVERIFY(QFile::setPermissions(unreadable, QFile::WriteOwner));
    if (args.contains(QStringLiteral("UNREADABLE"))
        && ::access(QFile::encodeName(unreadable).constData(), R_OK) == 0)
        QSKIP("this user reads files without read permission (root)");
    args.replaceInStrings(QStringLiteral("FIFO"), fifo);
    args.replaceInStrings(QStringLiteral("BILLION"), billion);
    args.replaceInStrings(QStringLiteral("UNREADABLE"), unreadable);
    args.replaceInStrings(QStringLiteral("DIR"), dir.path());
    args.replaceInStrings(QStringLiteral("x.pdf"), dir.filePath("x.pdf"));
    const Run r = run(args);
    QCOMPARE(r.code, 1);
    QVERIFY2(r.err.contains(message), qPrintable(r.err));
    QVERIFY2(!r.err.contains(QStringLiteral("nicht gefunden")), qPrintable(r.err));
    QCOMPARE(r.out, QString());
    QVERIFY(!QFileInfo::exists(dir.filePath("x.pdf")));
}

void TestCommandLine::crOnlyFilesAreRead()
{
    const Run fields = run({ "fields", data("designs/cr_only_lines.eti") });
    QCOMPARE(fields.code, 0);
    QCOMPARE(fields.out, run({ "fields", data("designs/fields_name_serial_ort.eti") }).out);
    const Run sheet = run({ "sheet", data("formats/cr_only_lines.vrl") });
    QCOMPARE(sheet.code, 0);
    QCOMPARE(sheet.out, QStringLiteral("Adressetikett 89 x 36\t890\t375\n1\t0\t0\t890\t360\n"));
}

void TestCommandLine::fullDiskIsNoSuccess()
{
    QTemporaryDir dir;
    const QString pdf = dir.filePath("out.pdf");
    QVERIFY(test::writeBytes(pdf, "%PDF-alt"));
    Run r;
    {
        const test::FileSizeLimit limit(500);
        r = run({ "print", share("ETIKETT/adresse.eti"), share("FORMATE/adressen_3x7.vrl"), "--pdf", pdf });
    }
    QCOMPARE(r.code, 1);
    QCOMPARE(r.out, QString());
    QVERIFY2(r.err.contains(QStringLiteral("Die PDF-Datei %1 konnte nicht geschrieben werden: "
                                           "Kapazität der Diskette/Festplatte erschöpft")
                                .arg(pdf)),
        qPrintable(r.err));
    QCOMPARE(test::contentOf(pdf), QByteArray("%PDF-alt"));
    QCOMPARE(QDir(dir.path()).entryList(QDir::Files | QDir::Hidden), QStringList { "out.pdf" });
}

void TestCommandLine::saveKeepsLinksAndRefusesPipes()
{
    QTemporaryDir dir;
    const QString target = dir.filePath("ziel.eti");
    const QString link = dir.filePath("verweis.eti");
    QVERIFY(test::writeBytes(target, "alt"));
    QVERIFY(QFile::setPermissions(
        target, QFile::ReadOwner | QFile::WriteOwner | QFile::ReadGroup | QFile::WriteGroup));
    QVERIFY(QFile::link(target, link));
    const QString eti = data("designs/fields_name_serial_ort.eti");
    QCOMPARE(run({ "design", eti, "--save", link }).code, 0);
    QVERIFY(QFileInfo(link).isSymLink());
    QVERIFY(test::contentOf(target).contains("EF,10,10,30,Name\r\n"));
    struct stat st
    {
    };
    QCOMPARE(::stat(QFile::encodeName(target).constData(), &st), 0);
    QCOMPARE(st.st_mode & 07777, mode_t(0660));

    const QString fifo = dir.filePath("pipe.eti");
    QCOMPARE(::mkfifo(QFile::encodeName(fifo).constData(), 0600), 0);
    const Run refused = run({ "design", eti, "--save", fifo });
    QCOMPARE(refused.code, 1);
    QVERIFY2(refused.err.contains(QStringLiteral("%1 ist keine gewöhnliche Datei").arg(fifo)),
        qPrintable(refused.err));
    QVERIFY(QFileInfo(fifo).exists() && !QFileInfo(fifo).isFile());

    const QString longName = dir.filePath(QString(250, QLatin1Char('e')) + QStringLiteral(".eti"));
    QCOMPARE(run({ "design", eti, "--save", longName }).code, 0);
    const Run again = run({ "design", eti, "--save", longName });
    QCOMPARE(again.err, QString());
    QCOMPARE(again.code, 0);
}

void TestCommandLine::outOfMemoryIsReported()
{
    PrintersOutOfMemory printers;
    QTemporaryDir dir;
    const Run r = run(
        { "print", share("ETIKETT/adresse.eti"), share("FORMATE/adressen_3x7.vrl"), "--printer" }, printers);
    QCOMPARE(r.code, 1);
    QCOMPARE(r.err, QStringLiteral("quillmark: Nicht genügend Arbeitsspeicher. Bearbeitung abgebrochen !\n"));
}

void TestCommandLine::outputThatCannotBeWrittenFails_data()
{
    QTest::addColumn<QStringList>("args");
    QTest::newRow("table listing") << QStringList { "table", "TABLE" };
    QTest::newRow("table as CSV") << QStringList { "table", "TABLE", "--export-csv", "-" };
    QTest::newRow("format catalogue, many lines") << QStringList { "formats" };
    QTest::newRow("stock found") << QStringList { "formats", "--find", "herma" };
    QTest::newRow("fields") << QStringList { "fields", share("ETIKETT/adresse.eti") };
    QTest::newRow("print says what it printed")
        << QStringList { "print", share("ETIKETT/adresse.eti"), share("FORMATE/adressen_3x7.vrl"), "--pdf",
               "PDF" };
    QTest::newRow("usage") << QStringList { "--help" };
}

// Standard output on a full disk: the command fails with a German message
// instead of leaving a cut listing or file behind a success.
void TestCommandLine::outputThatCannotBeWrittenFails()
{
    QFETCH(QStringList, args);
    QTemporaryDir dir;
    const QString table = dir.filePath("adressen.dbf");
    QCOMPARE(run({ "table", table, "--create", share("ETIKETT/adresse.eti"), "--import",
                     data("data/three_addresses.txt") })
                 .code,
        0);
    args.replaceInStrings(QStringLiteral("TABLE"), table);
    args.replaceInStrings(QStringLiteral("PDF"), dir.filePath("out.pdf"));
    QProcess p;
    p.setStandardOutputFile(QStringLiteral("/dev/full"));
    p.start(test::programPath(), args + QStringList { "--dir", dir.path() });
    QVERIFY(p.waitForFinished(60000));
    QCOMPARE(p.exitStatus(), QProcess::NormalExit);
    QCOMPARE(QString::fromUtf8(p.readAllStandardError()),
        QStringLiteral("quillmark: Die Ausgabe konnte nicht vollständig geschrieben werden: Kapazität der "
                       "Diskette/Festplatte erschöpft\n"));
    QCOMPARE(p.exitCode(), 1);
}

void TestCommandLine::standardInputThatCannotBeKeptIsExplained_data()
{
    QTest::addColumn<QString>("folder"); // TMPDIR; "DIR": a folder of the test's own
    QTest::addColumn<QString>("cause");
    QTest::addColumn<QStringList>("args");
    const QStringList print { "print", share("ETIKETT/adresse.eti"), share("FORMATE/adressen_3x7.vrl"),
        "--records", "-", "--pdf", "PDF" };
    const QStringList import { "table", "TABLE", "--import-csv", "-" };
    // A folder nobody may write to (as a read-only one, even for root).
    QTest::newRow("print, no writing") << "/sys" << "Dateizugriff verweigert" << print;
    QTest::newRow("import, no writing") << "/sys" << "Dateizugriff verweigert" << import;
    QTest::newRow("print, no folder") << "DIR/weg" << "Datei nicht gefunden" << print;
    // The file may not grow beyond 4 KiB: a full disk.
    QTest::newRow("print, full") << "DIR" << "Kapazität der Diskette/Festplatte erschöpft" << print;
    QTest::newRow("import, full") << "DIR" << "Kapazität der Diskette/Festplatte erschöpft" << import;
}

// Records from a pipe are kept in the temporary folder, as a run reads
// them twice: a folder that cannot take them is named with the cause in
// German, and nothing of the copy stays.
void TestCommandLine::standardInputThatCannotBeKeptIsExplained()
{
    QFETCH(QString, folder);
    QFETCH(QString, cause);
    QFETCH(QStringList, args);
    QTemporaryDir dir;
    QTemporaryDir temp;
    const QString table = dir.filePath("adressen.dbf");
    QCOMPARE(run({ "table", table, "--create", share("ETIKETT/adresse.eti") }).code, 0);
    args.replaceInStrings(QStringLiteral("TABLE"), table);
    args.replaceInStrings(QStringLiteral("PDF"), dir.filePath("out.pdf"));
    folder.replace(QStringLiteral("DIR"), temp.path());
    QByteArray csv("Name;Ort\r\n");
    for (int i = 0; i < 400; ++i)
        csv += "Erika Mustermann;Bonn\r\n";
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("TMPDIR"), folder);
    QProcess p;
    p.setProcessEnvironment(env);
    {
        // Inherited by the program: files beyond 4 KiB cannot be written.
        const test::FileSizeLimit limit(4096);
        p.start(test::programPath(), args);
        QVERIFY(p.waitForStarted(60000));
    }
    p.write(csv);
    p.closeWriteChannel();
    QVERIFY(p.waitForFinished(60000));
    QCOMPARE(QString::fromUtf8(p.readAllStandardError()),
        QStringLiteral("quillmark: Die Standardeingabe kann nicht im Ordner %1 zwischengespeichert werden: "
                       "%2. Mit TMPDIR lässt sich ein anderer Ordner wählen.\n")
            .arg(folder, cause));
    QCOMPARE(p.exitCode(), 1);
    QCOMPARE(QDir(temp.path()).entryList(QDir::Files | QDir::Hidden), QStringList());
    QVERIFY(!QFileInfo::exists(dir.filePath("out.pdf")));
    QCOMPARE(run({ "table", table }).out, QStringLiteral("Name\tStraße\tOrt\n"));
}

void TestCommandLine::longValuesAreQuotedShort_data()
{
    QTest::addColumn<QStringList>("args");
    QTest::addColumn<QString>("err");
    const QString searched(131 * 1024, u's');
    QTest::newRow("search text") << QStringList { "formats", "--find", searched }
                                 << "quillmark: Kein Etikettenbogen passt zu „" + searched.left(60) + "…“.\n";
    const QString criterion(100000, u'k');
    QTest::newRow("criterion") << QStringList { "print", share("ETIKETT/adresse.eti"),
        share("FORMATE/adressen_3x7.vrl"), "--table", "TABLE", "--where", criterion, "--pdf", "PDF" }
                               << "quillmark: Ein Auswahlkriterium hat die Form FELD=WERT: „"
            + criterion.left(60) + "…“\n";
    QTest::newRow("field of a criterion")
        << QStringList { "print", share("ETIKETT/adresse.eti"), share("FORMATE/adressen_3x7.vrl"), "--table",
               "TABLE", "--where", criterion + "=1", "--pdf", "PDF" }
        << "quillmark: Die Datenbank \"TABLE\" hat kein Feld „" + criterion.left(60) + "…“.\n";
    const QString number = QString(70000, u'1') + QLatin1Char('x');
    QTest::newRow("number") << QStringList { "print", share("ETIKETT/adresse.eti"),
        share("FORMATE/adressen_3x7.vrl"), "--start", number, "--pdf", "PDF" }
                            << "quillmark: '" + number.left(60) + "…' ist kein gültiger Integerwert\n";
}

// A value or search text of many kilobytes is quoted with its first 60
// characters, not printed whole.
void TestCommandLine::longValuesAreQuotedShort()
{
    QFETCH(QStringList, args);
    QFETCH(QString, err);
    QTemporaryDir dir;
    const QString table = dir.filePath("adressen.dbf");
    QCOMPARE(run({ "table", table, "--create", share("ETIKETT/adresse.eti") }).code, 0);
    args.replaceInStrings(QStringLiteral("TABLE"), table);
    args.replaceInStrings(QStringLiteral("PDF"), dir.filePath("out.pdf"));
    err.replace(QStringLiteral("TABLE"), table);
    const Run r = run(args + QStringList { "--dir", dir.path() });
    QCOMPARE(r.err, err);
    QCOMPARE(r.code, 1);
}

void TestCommandLine::noQtNoticesAndNoWindows_data()
{
    QTest::addColumn<QStringList>("args");
    QTest::addColumn<int>("code");
    QTest::addColumn<QString>("err");
    QTest::newRow("sheet") << QStringList { "sheet", share("FORMATE/adressen_3x7.vrl") } << 0 << QString();
    QTest::newRow("print") << QStringList { "print", share("ETIKETT/adresse.eti"),
        share("FORMATE/adressen_3x7.vrl"), "--pdf", "PDF" }
                           << 0 << QString();
    QTest::newRow("unknown command") << QStringList { "frobnicate" } << 1
                                     << "quillmark: Unbekannter Befehl „frobnicate“.";
    QTest::newRow("dir before a command")
        << QStringList { "--dir", "HOME", "fields", share("ETIKETT/adresse.eti") } << 0 << QString();
}

void TestCommandLine::noQtNoticesAndNoWindows()
{
    QFETCH(QStringList, args);
    QFETCH(int, code);
    QFETCH(QString, err);
    QTemporaryDir home;
    args.replaceInStrings(QStringLiteral("PDF"), home.filePath("out.pdf"));
    args.replaceInStrings(QStringLiteral("HOME"), home.path());
    // As under cron or ssh: no display, no runtime folder, no platform asked for.
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    for (const char *name :
        { "XDG_RUNTIME_DIR", "DISPLAY", "WAYLAND_DISPLAY", "QT_QPA_PLATFORM", "XDG_DATA_HOME" })
        env.remove(QString::fromLatin1(name));
    env.insert(QStringLiteral("HOME"), home.path());
    QProcess p;
    p.setProcessEnvironment(env);
    p.start(test::programPath(), args);
    QVERIFY(p.waitForFinished(60000));
    const QString stderrText = QString::fromUtf8(p.readAllStandardError());
    QCOMPARE(p.exitCode(), code);
    if (err.isEmpty())
        QCOMPARE(stderrText, QString());
    else
        QCOMPARE(stderrText.section(QLatin1Char('\n'), 0, 0), err);
    // No window was asked for: the default program directory was not made.
    QVERIFY(!QFileInfo::exists(home.filePath(".local/share/Quillmark")));
}

// Records piped into `print --records -` print as the same file does; a CSV
// file is a table for `--table` with `--where`.
void TestCommandLine::recordsFromStandardInputAndCsvTables()
{
    QTemporaryDir dir;
    QByteArray csv("Ort;Name\r\n");
    for (int i = 0; i < 50; ++i)
        csv += QStringLiteral("K\u00F6ln %1;Erika \u201E%1\u201C\r\n").arg(i).toUtf8();
    csv += "Bonn;Hans\r\n";
    const QString file = dir.filePath("r.csv");
    QVERIFY(test::writeBytes(file, csv));
    const QString design = share("ETIKETT/adresse.eti");
    const QString format = share("FORMATE/adressen_3x7.vrl");
    auto pdfText = [](const QString &pdf) {
        QProcess p;
        p.start(QStringLiteral("pdftotext"), { pdf, QStringLiteral("-") });
        p.waitForFinished(30000);
        return QString::fromUtf8(p.readAllStandardOutput());
    };

    const Run fromFile
        = run({ "print", design, format, "--records", file, "--pdf", dir.filePath("datei.pdf") });
    QCOMPARE(fromFile.code, 0);
    QProcess piped;
    piped.start(test::programPath(),
        { "print", design, format, "--records", "-", "--pdf", dir.filePath("pipe.pdf") });
    piped.write(csv);
    piped.closeWriteChannel();
    QVERIFY(piped.waitForFinished(60000));
    QCOMPARE(QString::fromUtf8(piped.readAllStandardError()), QString());
    QCOMPARE(piped.exitCode(), 0);
    QCOMPARE(QString::fromUtf8(piped.readAllStandardOutput()),
        QStringLiteral("51 Etiketten auf 3 Seiten in %1\n").arg(dir.filePath("pipe.pdf")));
    const QString printed = pdfText(dir.filePath("datei.pdf"));
    QVERIFY(printed.contains(QStringLiteral("Erika „49“")));
    QCOMPARE(pdfText(dir.filePath("pipe.pdf")), printed);

    const Run table = run({ "print", design, format, "--table", file, "--where", "Ort=Bonn", "--pdf",
        dir.filePath("tabelle.pdf") });
    QCOMPARE(table.err, QString());
    QCOMPARE(table.out, QStringLiteral("1 Etikett auf 1 Seite in %1\n").arg(dir.filePath("tabelle.pdf")));
    QCOMPARE(pdfText(dir.filePath("tabelle.pdf")).simplified(), QStringLiteral("Hans Bonn"));
}

void TestCommandLine::nothingReachesTheNeighbourLabel_data()
{
    QTest::addColumn<QByteArray>("size");
    QTest::newRow("the design's size") << QByteArray("GR,100,50,25");
    // A design without a size (as older files may hold) is cut at the
    // sheet's label, not left blank.
    QTest::newRow("no size: the sheet's label") << QByteArray("GR,0,0,25");
}

// A text and a rectangle running beyond the label's right edge are cut at
// the edge: on the PDF, rendered by pdftoppm, the neighbour label stays
// white while the label itself is printed on up to its edge.
void TestCommandLine::nothingReachesTheNeighbourLabel()
{
    QFETCH(QByteArray, size);
    QTemporaryDir dir;
    // 40 x 20 mm; the text starts at 24 mm and runs far beyond 40 mm.
    QVERIFY(test::writeBytes(dir.filePath("breit.eti"),
        "NA,Breit\r\n" + size + "\r\nXF,40,0,1,0,Arial,0\r\nTE,60,5,WWWWWWWWWWWW\r\n"
        "XP,0,0\r\nRE,90,30,140,45\r\n"));
    // Two labels side by side without a gap, from 10 mm left and top.
    QCOMPARE(run({ "sheet", "--grid", "40", "20", "2", "1", "10", "10", "0", "0", "--description", "Zwei",
                 "--save", dir.filePath("zwei.vrl") })
                 .code,
        0);
    const QString pdf = dir.filePath("out.pdf");
    const Run r = run({ "print", dir.filePath("breit.eti"), dir.filePath("zwei.vrl"), "--pdf", pdf });
    QCOMPARE(r.err, QString());
    QCOMPARE(r.code, 0);
    QProcess p;
    p.start(QStringLiteral("pdftoppm"),
        { QStringLiteral("-r"), QStringLiteral("254"), QStringLiteral("-gray"), QStringLiteral("-png"),
            QStringLiteral("-singlefile"), pdf, dir.filePath("seite") });
    QVERIFY(p.waitForFinished(60000));
    const QImage page(dir.filePath("seite.png"));
    QVERIFY(!page.isNull());
    // 254 dpi: 10 pixels per millimetre.
    auto darkIn = [&page](int left, int top, int right, int bottom) {
        int dark = 0;
        for (int y = top; y < bottom; ++y)
            for (int x = left; x < right; ++x)
                dark += qGray(page.pixel(x, y)) < 128;
        return dark;
    };
    QVERIFY(darkIn(340, 100, 500, 300) > 1000); // label 1 from 24 mm to its edge at 50 mm
    QCOMPARE(darkIn(502, 90, 950, 320), 0); // label 2, and what lies beyond
}

// A value that runs past its label's edge is printed cut there, and the run
// names it on stderr once per record and field, copies or not.
void TestCommandLine::textsCutAtTheEdgeAreNamed()
{
    QTemporaryDir dir;
    // 40 x 20 mm; the name from 2 mm on at 4 mm, the town below it.
    QVERIFY(test::writeBytes(dir.filePath("schmal.eti"),
        "NA,Schmal\r\nGR,100,50,25\r\nXF,10,0,0,0,Arial,0\r\nEF,5,5,60,Name\r\nEF,5,25,60,Ort\r\n"));
    QVERIFY(test::writeBytes(dir.filePath("daten.csv"),
        "Anzahl;Name;Ort\r\n1;Hans;Bonn\r\n2;Maximiliane Mustermann-Lüdenscheidt;Köln\r\n"
        "1;Eva;Hohenschönhausen an der Wuhle\r\n"));
    const QString pdf = dir.filePath("out.pdf");
    const Run r = run({ "print", dir.filePath("schmal.eti"), data("formats/a4_3x7_63.5x38_written.vrl"),
        "--records", dir.filePath("daten.csv"), "--pdf", pdf });
    QCOMPARE(r.code, 0);
    QCOMPARE(r.err,
        QStringLiteral("quillmark: Datensatz 2, Feld Name: „Maximiliane Mustermann-Lüdenscheidt“ reicht über "
                       "den Rand des Etiketts und ist dort abgeschnitten.\n"
                       "quillmark: Datensatz 3, Feld Ort: „Hohenschönhausen an der Wuhle“ reicht über den "
                       "Rand des Etiketts und ist dort abgeschnitten.\n"));
    QCOMPARE(r.out, QStringLiteral("4 Etiketten auf 1 Seite in %1\n").arg(pdf));
    // The names that fit say nothing.
    QVERIFY(test::writeBytes(dir.filePath("kurz.csv"), "Name;Ort\r\nHans;Bonn\r\n"));
    const Run fits = run({ "print", dir.filePath("schmal.eti"), data("formats/a4_3x7_63.5x38_written.vrl"),
        "--records", dir.filePath("kurz.csv"), "--pdf", pdf });
    QCOMPARE(fits.err, QString());
    QCOMPARE(fits.code, 0);
}

void TestCommandLine::plainNamesWithoutDir_data()
{
    QTest::addColumn<QStringList>("args");
    QTest::addColumn<int>("code");
    QTest::addColumn<QString>("firstLine"); // of stdout, or of stderr when refused
    QTest::newRow("own format") << QStringList { "sheet", "meine70x37.vrl" } << 0
                                << "Adressetiketten 63.5 x 38.0 mm - 3 x 7 auf A4\t2030\t2810";
    QTest::newRow("own format, other case") << QStringList { "sheet", "MEINE70x37.VRL" } << 0
                                            << "Adressetiketten 63.5 x 38.0 mm - 3 x 7 auf A4\t2030\t2810";
    QTest::newRow("shipped design") << QStringList { "fields", "adresse.eti" } << 0 << "1\tName\t30";
    QTest::newRow("own table") << QStringList { "table", "kunden.dbf" } << 0 << "Name\tOrt";
    QTest::newRow("shipped table for printing")
        << QStringList { "print", "ArtikelEAN.eti", "adressen_3x7.vrl", "--table", "ArtikelEAN.dbf", "--pdf", "out.pdf" }
        << 0 << "3 Etiketten auf 1 Seite in out.pdf";
    QTest::newRow("missing format named") << QStringList { "sheet",
        "fehlt.vrl" } << 1 << "quillmark: fehlt.vrl: Formatdatei nicht gefunden. Bearbeitung abgebrochen !";
    QTest::newRow("listing an empty --dir")
        << QStringList { "formats", "--dir", "EMPTY" } << 0 << "AVERY Tintenstrahl\t";
    QTest::newRow("listing without a program directory")
        << QStringList { "formats" } << 0 << "AVERY Tintenstrahl\t";
}

// Plain file names are looked up in the per-user program directory and
// among the shipped files, as the windows find them; reading commands create
// nothing, neither in an empty --dir nor a new per-user directory.
void TestCommandLine::plainNamesWithoutDir()
{
    QFETCH(QStringList, args);
    QFETCH(int, code);
    QFETCH(QString, firstLine);
    QTemporaryDir home;
    const QString own = home.filePath(".local/share/Quillmark/");
    const bool hasOwnDir = !args.contains(QStringLiteral("formats"));
    if (hasOwnDir) {
        QVERIFY(test::writeBytes(
            own + "FORMATE/meine70x37.vrl", test::contentOf(share("FORMATE/adressen_3x7.vrl"))));
        QVERIFY(QDir().mkpath(own + "DBANKEN"));
        ShapelibTable table;
        table.create(own + "DBANKEN/kunden.dbf", { { "Name", 20 }, { "Ort", 15 } });
        table.close();
    }
    QVERIFY(QDir().mkpath(home.filePath("EMPTY")));
    args.replaceInStrings(QStringLiteral("EMPTY"), home.filePath("EMPTY"));
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.remove(QStringLiteral("XDG_DATA_HOME"));
    env.insert(QStringLiteral("HOME"), home.path());
    QProcess p;
    p.setProcessEnvironment(env);
    p.setWorkingDirectory(home.path());
    p.start(test::programPath(), args);
    QVERIFY(p.waitForFinished(60000));
    const QString out = QString::fromUtf8(p.readAllStandardOutput());
    const QString err = QString::fromUtf8(p.readAllStandardError());
    QCOMPARE(p.exitCode(), code);
    QVERIFY2((code == 0 ? out : err).startsWith(firstLine), qPrintable(out + err));
    if (args.contains(QStringLiteral("formats")))
        QVERIFY2(out.count(QLatin1Char('\n')) > 100, qPrintable(out));
    QVERIFY(QDir(home.filePath("EMPTY")).isEmpty());
    QCOMPARE(QFileInfo::exists(own), hasOwnDir);
}

void TestCommandLine::streamedRunsFindErrorsBeforePrinting_data()
{
    QTest::addColumn<QByteArray>("csv");
    QTest::addColumn<QString>("message");
    QByteArray good("Anzahl,Name,Stra\xDF"
                    "e,Ort\r\n"); // cp1252, as the rest
    for (int i = 0; i < 3000; ++i)
        good += "1,Erika,Weg 1,K\xF6ln\r\n";
    QTest::newRow("bad copies far down") << good + "x,Hans,Weg 2,Bonn\r\n"
            + good << "Zeile 3002, Spalte 1 (Anzahl): „x“ ist keine Anzahl von 0 bis 999.";
    QTest::newRow("a line of separators only far down")
        << good + ",,,\r\n"
        << "Zeile 3002: Die Zeile enthält nur Trennzeichen und keinen Wert.";
    QTest::newRow("more labels than positions can count")
        << QByteArray("Anzahl\r\n") + QByteArray("999\r\n").repeated(1001002)
        << "Ein Druckauftrag kann höchstens 1000000000 Etiketten enthalten, dieser hätte 1000000998.";
}

// A run of a record file reads it through before anything is printed: an
// error far down leaves the PDF file as it was.
void TestCommandLine::streamedRunsFindErrorsBeforePrinting()
{
    QFETCH(QByteArray, csv);
    QFETCH(QString, message);
    QTemporaryDir dir;
    const QString records = dir.filePath("r.csv");
    QVERIFY(test::writeBytes(records, csv));
    const QString pdf = dir.filePath("out.pdf");
    QVERIFY(test::writeBytes(pdf, "the old file"));
    const Run r = run({ "print", share("ETIKETT/adresse.eti"), share("FORMATE/adressen_3x7.vrl"), "--records",
        records, "--pdf", pdf });
    QCOMPARE(r.code, 1);
    QCOMPARE(r.err, QStringLiteral("quillmark: ") + message + u'\n');
    QCOMPARE(readFileBytes(pdf), QByteArray("the old file"));
    QCOMPARE(QDir(dir.path()).entryList(QDir::Files | QDir::Hidden).size(), 2);
}

// The command line makes every label only when it draws it, so its runs may
// be longer than the label list of the windows holds.
void TestCommandLine::badBarcodeValuePrintsNothing_data()
{
    QTest::addColumn<QString>("barcode"); // the BC line's kind, name and size
    QTest::addColumn<QByteArray>("csv");
    QTest::addColumn<int>("code");
    QTest::addColumn<QString>("err"); // %1: the design file
    QTest::newRow("good values") << "0,Artikel,13"
                                 << QByteArray("Anzahl,Artikel,Preis\r\n1,400638133393,1.99\r\n2,4006381333931,3\r\n")
                                 << 0 << "";
    QTest::newRow("letters in EAN-13")
        << "0,Artikel,13"
        << QByteArray("Anzahl,Artikel,Preis\r\n1,400638133393,1.99\r\n1,400638133393,2\r\n1,12AB,3\r\n") << 1
        << "quillmark: Datensatz 3, Feld Artikel: „12AB“ kann nicht als EAN-13 gedruckt werden.\n";
    QTest::newRow("wrong check digit")
        << "0,Artikel,13" << QByteArray("Anzahl,Artikel,Preis\r\n1,4006381333932,1\r\n") << 1
        << "quillmark: Datensatz 1, Feld Artikel: „4006381333932“ kann nicht "
           "als EAN-13 gedruckt werden, die Prüfziffer müsste 1 sein.\n";
    // The check digit is taken whatever size the field was given.
    QTest::newRow("check digit in a field of 12")
        << "0,Artikel,12" << QByteArray("Anzahl,Artikel,Preis\r\n1,4006381333931,1\r\n") << 0 << "";
    QTest::newRow("check digit in a field without size")
        << "0,Artikel" << QByteArray("Anzahl,Artikel,Preis\r\n1,4006381333931,1\r\n") << 0 << "";
    QTest::newRow("wrong check digit in a field of 12")
        << "0,Artikel,12" << QByteArray("Anzahl,Artikel,Preis\r\n1,4006381333932,1\r\n") << 1
        << "quillmark: Datensatz 1, Feld Artikel: „4006381333932“ kann nicht "
           "als EAN-13 gedruckt werden, die Prüfziffer müsste 1 sein.\n";
    QTest::newRow("EAN-8 check digit in a field of 7")
        << "5,Artikel,7" << QByteArray("Anzahl,Artikel,Preis\r\n1,96385074,1\r\n") << 0 << "";
    QTest::newRow("ITF-14 check digit in a field of 13")
        << "7,Artikel,13" << QByteArray("Anzahl,Artikel,Preis\r\n1,15400141288763,1\r\n") << 0 << "";
    // A barcode that is not printed is named once; the run goes on.
    QTest::newRow("kind not a number")
        << "x,Artikel" << QByteArray("Anzahl,Artikel,Preis\r\n2,12AB,1\r\n3,400638133399,2\r\n") << 0
        << "quillmark: Etikettendatei %1, Zeile 3, Feld Artikel: Der Barcode wird nicht gedruckt, die "
           "Barcodeart „x“ ist keine Zahl.\n";
    QTest::newRow("size 0")
        << "0,Artikel,0" << QByteArray("Anzahl,Artikel,Preis\r\n1,12AB,1\r\n") << 0
        << "quillmark: Etikettendatei %1, Zeile 3, Feld Artikel: Der Barcode wird nicht gedruckt, die "
           "Feldgröße „0“ ist keine Zahl von 1 bis 500.\n";
}

// A value the barcode cannot print stops the run before the PDF is touched.
void TestCommandLine::badBarcodeValuePrintsNothing()
{
    QFETCH(QString, barcode);
    QFETCH(QByteArray, csv);
    QFETCH(int, code);
    QFETCH(QString, err);
    QTemporaryDir dir;
    const QString design = dir.filePath("artikel.eti");
    QVERIFY(test::writeBytes(design,
        "NA,Artikel\r\nGR,157,95,25\r\nBC,10,10,110,70," + barcode.toUtf8()
            + "\r\nXF,-14,0,0,0,Arial,0\r\nEF,115,10,8,Preis\r\n"));
    const QString pdf = dir.filePath("out.pdf");
    QVERIFY(test::writeBytes(pdf, "the old file"));
    const Run r = printRecords(design, csv, pdf, {});
    QCOMPARE(r.err, err.contains(u"%1") ? err.arg(design) : err);
    QCOMPARE(r.code, code);
    if (code != 0)
        QCOMPARE(readFileBytes(pdf), QByteArray("the old file"));
    else
        QVERIFY(readFileBytes(pdf).startsWith("%PDF"));
}

void TestCommandLine::streamedRunsGoBeyondTheWindowsLimit()
{
    QTemporaryDir dir;
    const QString design = dir.filePath("leer.eti");
    QVERIFY(test::writeBytes(design, "NA,leer\r\nGR,157,95,25\r\n"));
    const QString records = dir.filePath("r.csv");
    QVERIFY(test::writeBytes(records, "Anzahl\r\n" + QByteArray("999\r\n").repeated(101)));
    const QString pdf = dir.filePath("out.pdf");
    const Run r = run({ "print", design, share("FORMATE/adressen_3x7.vrl"), "--records", records, "--start",
        "21", "--pdf", pdf });
    QCOMPARE(r.err, QString());
    QCOMPARE(r.code, 0);
    // 100899 labels from position 21: the first sheet holds one.
    QCOMPARE(r.out, QStringLiteral("100899 Etiketten auf 4806 Seiten in %1\n").arg(pdf));
}

// "${PLZ} ${Ort}" in a text: the titles become fields of the design after
// its own, listed by `fields`, matched by title in a CSV file, given columns
// by table creation, and printed on one line from either.
void TestCommandLine::fieldsInsideText()
{
    QTemporaryDir dir;
    const QString design = dir.filePath("ort.eti");
    QVERIFY(test::writeBytes(design,
        "NA,Ort\r\nGR,160,100,25\r\nXF,25,0,0,0,Arial,0\r\nEF,5,5,30,Name\r\n"
        "TE,5,35,${PLZ:5} ${Ort}\r\nTE,5,65,$$ ${name} ${}\r\n"));
    const Run fields = run({ "fields", design });
    QCOMPARE(fields.err, QString());
    QCOMPARE(fields.out, QStringLiteral("1\tName\t30\n2\tPLZ\t5\n3\tOrt\t30\n"));

    auto pdfText = [](const QString &pdf) {
        QProcess p;
        p.start(QStringLiteral("pdftotext"), { QStringLiteral("-layout"), pdf, QStringLiteral("-") });
        p.waitForFinished(30000);
        return QString::fromUtf8(p.readAllStandardOutput());
    };
    const QString format = share("FORMATE/adressen_3x7.vrl");
    // The columns in another order than the fields.
    const QString csv = dir.filePath("orte.csv");
    QVERIFY(test::writeBytes(csv, QStringLiteral("Ort;Name;PLZ\r\nKöln;Erika;50667\r\n").toUtf8()));
    const QString fromCsv = dir.filePath("csv.pdf");
    const Run printed = run({ "print", design, format, "--records", csv, "--pdf", fromCsv });
    QCOMPARE(printed.err, QString());
    QCOMPARE(printed.code, 0);
    QStringList lines = pdfText(fromCsv).split(u'\n', Qt::SkipEmptyParts);
    for (QString &line : lines)
        line = line.simplified();
    lines.removeAll(QString());
    QCOMPARE(lines, (QStringList { "Erika", "50667 Köln", "$ Erika ${}" }));

    // Table creation gives the text's fields their columns.
    const QString table = dir.filePath("orte.dbf");
    const Run created = run({ "table", table, "--create", design, "--import-csv", csv });
    QCOMPARE(created.code, 0);
    QCOMPARE(created.out, QStringLiteral("Name\tPLZ\tOrt\nErika\t50667\tKöln\n"));
    const QString fromTable = dir.filePath("tabelle.pdf");
    const Run tablePrinted = run({ "print", design, format, "--table", table, "--pdf", fromTable });
    QCOMPARE(tablePrinted.err, QString());
    QCOMPARE(tablePrinted.code, 0);
    QCOMPARE(pdfText(fromTable), pdfText(fromCsv));

    // A value longer than the size given in the text is refused.
    QVERIFY(test::writeBytes(csv, QByteArray("Ort;Name;PLZ\r\nBonn;Hans;531111\r\n")));
    const Run tooLong = run({ "print", design, format, "--records", csv, "--pdf", dir.filePath("lang.pdf") });
    QCOMPARE(tooLong.code, 1);
    QVERIFY2(tooLong.err.contains(QStringLiteral("„PLZ“ hat 6 Zeichen, das Feld fasst höchstens 5")),
        qPrintable(tooLong.err));
    QVERIFY(!QFileInfo::exists(dir.filePath("lang.pdf")));
}

QTEST_MAIN(TestCommandLine)
#include "TestCommandLine.moc"
