#include "app/commandline.h"
#include "platform/textfile.h"
#include "printing/pdfprinter.h"
#include "printing/printeraccess.h"

#include <QDir>
#include <QFileInfo>
#include <QTemporaryDir>
#include <QTest>

using namespace qm;

namespace {

struct Run
{
    int code = -1;
    QString out;
    QString err;
};

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

Run run(const QStringList &args, IPrinterAccess &printers)
{
    Run r;
    QTextStream out(&r.out);
    QTextStream err(&r.err);
    r.code = runCommandLine(args, out, err, printers).value_or(-1);
    out.flush();
    err.flush();
    return r;
}

// Without a default printer: no test may reach the machine's printers.
Run run(const QStringList &args)
{
    FakePrinters none;
    return run(args, none);
}

QString data(const QString &name)
{
    return QStringLiteral(QM_TEST_DATA "/") + name;
}

} // namespace

class TestCommandLine : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void noCommandMeansWindows();
    void fieldsListsDataColumns();
    void sheetListsPositions();
    void designPrintsAndUpgrades();
    void missingFiles_data();
    void missingFiles();
    void printsIntoPdf();
    void printRefusals_data();
    void printRefusals();
    void printsToDefaultPrinter_data();
    void printsToDefaultPrinter();
    void sheetGridWritesAFormat();
    void sheetGridRefused_data();
    void sheetGridRefused();
    void formatsListsAndImports();
};

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
    const Run r = run({ "print", QStringLiteral(QM_SHARE_DIR "/ETIKETT/adresse.eti"),
        QStringLiteral(QM_SHARE_DIR "/FORMATE/adressen_3x7.vrl"), "--records", csv, "--start", "20",
        "--frame", "--offset-x", "-10", "--pdf", pdf });
    QCOMPARE(r.err, QString());
    QCOMPARE(r.code, 0);
    // Positions 20 and 21 on the first sheet, three labels on the second.
    QCOMPARE(r.out, QStringLiteral("5 Etiketten auf 2 Seiten in %1\n").arg(pdf));
    QVERIFY(QFileInfo(pdf).size() > 0);
}

void TestCommandLine::printRefusals_data()
{
    QTest::addColumn<QStringList>("extra");
    QTest::addColumn<QString>("message");
    QTest::newRow("bad start") << QStringList { "--start", "x", "--pdf", "/tmp/x.pdf" }
                               << "'x' ist kein gültiger Integerwert";
    QTest::newRow("offset out of range")
        << QStringList { "--offset-y", "300", "--pdf", "/tmp/x.pdf" } << "zwischen -250 und 250";
    QTest::newRow("no output") << QStringList {} << "Aufruf: quillmark print";
    QTest::newRow("printer and PDF") << QStringList { "--printer", "--pdf", "/tmp/x.pdf" }
                                     << "(--pdf AUSGABE.pdf | --printer)";
}

void TestCommandLine::printRefusals()
{
    QFETCH(QStringList, extra);
    QFETCH(QString, message);
    const Run r = run(QStringList { "print", QStringLiteral(QM_SHARE_DIR "/ETIKETT/adresse.eti"),
                          QStringLiteral(QM_SHARE_DIR "/FORMATE/adressen_3x7.vrl") }
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
    QTest::newRow("printed") << true << true << 0 << "3 Etiketten auf 1 Seiten an Büro 2\n" << QString();
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
        = run({ "print", QStringLiteral(QM_SHARE_DIR "/ETIKETT/adresse.eti"),
                  QStringLiteral(QM_SHARE_DIR "/FORMATE/adressen_3x7.vrl"), "--records", csv, "--printer" },
            printers);
    QCOMPARE(r.err, err);
    QCOMPARE(r.out, out);
    QCOMPARE(r.code, code);
    QCOMPARE(printers.opened, hasPrinter ? 1 : 0);
    if (opens)
        QVERIFY(QFileInfo(printers.pdf).size() > 0);
}

void TestCommandLine::sheetGridWritesAFormat()
{
    QTemporaryDir dir;
    const QString out = dir.filePath("a4.vrl");
    const Run r = run({ "sheet", "--grid", "63.5", "38", "3", "7", "7.5", "15", "2.5", "0", "--description",
        "Adressen 63.5 x 38", "--save", out });
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
    QVERIFY(imported.out.endsWith(QStringLiteral("7 Formate aufgenommen, 5 ausgelassen\n")));
    QVERIFY(imported.err.contains(QStringLiteral("ausgelassen: Avery L6015: keine rechteckigen Etiketten\n")));
    QVERIFY(QFileInfo::exists(dir.filePath("FORMATE/avery_l7160.vrl")));

    const Run listed = run({ "formats", "--dir", dir.path() });
    QCOMPARE(listed.code, 0);
    const QStringList lines = listed.out.split(QLatin1Char('\n'), Qt::SkipEmptyParts);
    QCOMPARE(lines.size(), 7);
    QCOMPARE(lines.last(), QStringLiteral("Individuelle Formate\tHerma 4226 45 x 30 mm (2 x 4)\therma_4226.vrl"));

    const Run broken = run({ "formats", "--dir", dir.path(), "--import", data("formats/templates_broken.xml") });
    QCOMPARE(broken.code, 1);
    QVERIFY(broken.err.contains(QStringLiteral("Die Vorlagendatei ist fehlerhaft")));
    QCOMPARE(run({ "formats", "--dir", dir.path() }).out, listed.out);
}

QTEST_MAIN(TestCommandLine)
#include "TestCommandLine.moc"
