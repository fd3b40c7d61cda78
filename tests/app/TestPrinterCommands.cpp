#include "commandlinerun.h"
#include "pdfpages.h"
#include "printerdoubles.h"
#include "testpaths.h"

#include <QFile>
#include <QTemporaryDir>
#include <QTest>

using namespace qm;

// `quillmark printers`, `quillmark calibrate` and `print --printer NAME`,
// with the settings in a folder of the test's own.
class TestPrinterCommands : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void initTestCase();
    void init();
    void printersAreListedWithTheirCorrections();
    void correctionsAreCheckedWhereTheyAreTyped_data();
    void correctionsAreCheckedWhereTheyAreTyped();
    void printGoesToTheNamedPrinterWithItsCorrection_data();
    void printGoesToTheNamedPrinterWithItsCorrection();
    void pdfFilesKeepTheirOwnCorrection();
    void correctionsThatMisplaceLabelsOrCannotBeReadAreSaid_data();
    void correctionsThatMisplaceLabelsOrCannotBeReadAreSaid();
    void calibrationSheetIsPrintedWithoutCorrection();

private:
    QTemporaryDir m_config;
    QString ini() const { return m_config.filePath(QStringLiteral("Quillmark.ini")); }
    void writeIni(const QByteArray &text)
    {
        QFile file(ini());
        QVERIFY(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
        file.write(text);
    }
};

namespace {

QString share(const QString &name)
{
    return test::shareDir() + QStringLiteral("/") + name;
}

QStringList printArgs()
{
    return { "print", share("ETIKETT/adresse.eti"), share("FORMATE/adressen_3x7.vrl") };
}

} // namespace

void TestPrinterCommands::initTestCase()
{
    QVERIFY(m_config.isValid());
    qputenv("XDG_CONFIG_HOME", QFile::encodeName(m_config.path()));
}

void TestPrinterCommands::init()
{
    QFile::remove(ini());
}

void TestPrinterCommands::printersAreListedWithTheirCorrections()
{
    test::FakePrinters printers;
    printers.others = QStringList { QStringLiteral("Zweiter") };
    test::CommandRun r = test::runCommand({ "printers" }, printers);
    QCOMPARE(r.err, QString());
    QCOMPARE(r.code, 0);
    QCOMPARE(r.out,
        QStringLiteral("Etikettendrucker\tBüro\tbereit\tStandard\tkeine Korrektur\n"
                       "Zweiter\t\tbereit\t\tkeine Korrektur\n"
                       "PDF\t\t\tPDF-Dateien\tkeine Korrektur\n"));

    r = test::runCommand(
        { "printers", "--calibrate", "Zweiter", "--offset-x", "-15", "--scale-y", "1012" }, printers);
    QCOMPARE(r.err, QString());
    QCOMPARE(r.out, QStringLiteral("Zweiter\tVersatz x -1,5 mm, y +0,0 mm; Maßstab x 100,0 %, y 101,2 %\n"));
    QCOMPARE(test::runCommand({ "printers", "--calibrate", "PDF", "--offset-y", "7" }, printers).code, 0);
    // A value edited into something that is no correction is named as such.
    writeIni(QFile::exists(ini()) ? [&] {
        QFile f(ini());
        f.open(QIODevice::ReadOnly);
        return f.readAll() + "Etikettendrucker=1,2,3\n[Parameter]\nDrucker=Zweiter\n";
    }()
                                  : QByteArray());
    r = test::runCommand({ "printers" }, printers);
    QCOMPARE(r.out,
        QStringLiteral(
            "Etikettendrucker\tBüro\tbereit\tStandard\tungültige Korrektur (nicht angewandt)\n"
            "Zweiter\t\tbereit\tgewählt\tVersatz x -1,5 mm, y +0,0 mm; Maßstab x 100,0 %, y 101,2 %\n"
            "PDF\t\t\tPDF-Dateien\tVersatz x +0,0 mm, y +0,7 mm; Maßstab x 100,0 %, y 100,0 %\n"));
}

void TestPrinterCommands::correctionsAreCheckedWhereTheyAreTyped_data()
{
    QTest::addColumn<QStringList>("args");
    QTest::addColumn<QString>("err");

    QTest::newRow("offset too far") << QStringList { "--calibrate", "PDF", "--offset-x", "251" }
                                    << "quillmark: Der Versatz 251 liegt nicht zwischen -250 und 250 "
                                       "Zehntelmillimetern.\n";
    QTest::newRow("scale too small") << QStringList { "--calibrate", "PDF", "--scale-x", "899" }
                                     << "quillmark: Der Maßstab 899 liegt nicht zwischen 900 und 1100 "
                                        "Promille.\n";
    QTest::newRow("no number") << QStringList { "--calibrate", "PDF", "--scale-y", "1,01" }
                               << "quillmark: '1,01' ist kein gültiger Integerwert\n";
    QTest::newRow("beyond 32 bits") << QStringList { "--calibrate", "PDF", "--offset-y", "99999999999" }
                                    << "quillmark: '99999999999' ist kein gültiger Integerwert\n";
    QTest::newRow("unknown printer") << QStringList {
        "--calibrate", "Gibtsnicht"
    } << "quillmark: Den Drucker Gibtsnicht gibt es nicht; \"quillmark printers\" zeigt die Drucker.\n";
    QTest::newRow("values without printer") << QStringList { "--offset-x", "5" }
                                            << "quillmark: --offset-x, --offset-y, --scale-x und --scale-y "
                                               "gelten nur mit --calibrate.\n"
                                               "Aufruf: quillmark printers [--calibrate NAME [--offset-x T] "
                                               "[--offset-y T] [--scale-x P] [--scale-y P]]\n";
}

// Nothing is stored from a call that is refused.
void TestPrinterCommands::correctionsAreCheckedWhereTheyAreTyped()
{
    QFETCH(QStringList, args);
    QFETCH(QString, err);
    test::FakePrinters printers;
    const test::CommandRun r = test::runCommand(QStringList { "printers" } + args, printers);
    QCOMPARE(r.err, err);
    QCOMPARE(r.code, 1);
    QVERIFY(!QFile::exists(ini()));
}

void TestPrinterCommands::printGoesToTheNamedPrinterWithItsCorrection_data()
{
    QTest::addColumn<QStringList>("printerArgs");
    QTest::addColumn<QByteArray>("chosen");
    QTest::addColumn<QString>("printedOn");
    QTest::addColumn<int>("originX");
    QTest::addColumn<QString>("err");

    QTest::newRow("default") << QStringList { "--printer" } << QByteArray() << "Etikettendrucker" << 4
                             << QString();
    QTest::newRow("named") << QStringList { "--printer", "Zweiter" } << QByteArray() << "Zweiter" << -9
                           << QString();
    QTest::newRow("chosen") << QStringList { "--printer" } << QByteArray("Zweiter") << "Zweiter" << -9
                            << QString();
    QTest::newRow("named over chosen") << QStringList { "--printer", "Etikettendrucker" }
                                       << QByteArray("Zweiter") << "Etikettendrucker" << 4 << QString();
    QTest::newRow("chosen and gone")
        << QStringList { "--printer" } << QByteArray("Entfernt") << "Etikettendrucker" << 4
        << "Der gewählte Drucker Entfernt ist nicht mehr vorhanden; gedruckt wird auf den Standarddrucker "
           "Etikettendrucker.\n";
}

void TestPrinterCommands::printGoesToTheNamedPrinterWithItsCorrection()
{
    QFETCH(QStringList, printerArgs);
    QFETCH(QByteArray, chosen);
    QFETCH(QString, printedOn);
    QFETCH(int, originX);
    QFETCH(QString, err);

    writeIni("[Kalibrierung]\nEtikettendrucker=4,0,1000,1000\nZweiter=-9,3,1005,995\n"
             "Entfernt=100,100,1000,1000\n[Parameter]\nDrucker="
        + chosen + "\n");
    test::FakePrinters printers;
    printers.others = QStringList { QStringLiteral("Zweiter") };
    const test::CommandRun r = test::runCommand(printArgs() + printerArgs, printers);
    QCOMPARE(r.err, err);
    QCOMPARE(r.code, 0);
    QCOMPARE(r.out, QStringLiteral("1 Etikett auf 1 Seite an ") + printedOn + QStringLiteral("\n"));
    QCOMPARE(printers.lastOpened, printedOn);
    QCOMPARE(printers.last->originX, originX);

    // A name the system does not know is refused, not replaced.
    const test::CommandRun unknown
        = test::runCommand(printArgs() + QStringList { "--printer", "Entfernt" }, printers);
    QCOMPARE(unknown.code, 1);
    QCOMPARE(unknown.err,
        QStringLiteral(
            "quillmark: Den Drucker Entfernt gibt es nicht; \"quillmark printers\" zeigt die Drucker.\n"));
}

// print --pdf applies the entry "PDF": the words move by its offset.
void TestPrinterCommands::pdfFilesKeepTheirOwnCorrection()
{
    QTemporaryDir dir;
    const QString plain = dir.filePath(QStringLiteral("ohne.pdf"));
    const QString corrected = dir.filePath(QStringLiteral("mit.pdf"));
    const QString records = dir.filePath(QStringLiteral("adressen.csv"));
    QFile csv(records);
    QVERIFY(csv.open(QIODevice::WriteOnly));
    csv.write("Anzahl,Name,Ort\r\n2,Erika,Bonn\r\n");
    csv.close();
    const QStringList args = printArgs() + QStringList { "--records", records, "--pdf" };
    QCOMPARE(test::runCommand(args + QStringList { plain }).code, 0);
    writeIni("[Kalibrierung]\nPDF=30,-20,1000,1000\nEtikettendrucker=250,250,1100,1100\n");
    QCOMPARE(test::runCommand(args + QStringList { corrected }).code, 0);
    const QList<test::PdfWord> before = test::pdfWords(plain);
    const QList<test::PdfWord> after = test::pdfWords(corrected);
    QCOMPARE(before.size(), 4);
    QCOMPARE(after.size(), before.size());
    for (qsizetype i = 0; i < before.size(); ++i) {
        QVERIFY(qAbs(after[i].xMin - before[i].xMin - 3.0) < 0.1);
        QVERIFY(qAbs(after[i].yMin - before[i].yMin + 2.0) < 0.1);
    }
}

void TestPrinterCommands::correctionsThatMisplaceLabelsOrCannotBeReadAreSaid_data()
{
    QTest::addColumn<QByteArray>("stored");
    QTest::addColumn<QStringList>("options");
    QTest::addColumn<int>("code");
    QTest::addColumn<QString>("err");

    const QString refused = QStringLiteral(
        "quillmark: Mit der Korrektur für %1 (%2) fiele Etikett %3 des Bogens %4 über den Rand der Seite "
        "(210 x 297 mm). Es wurde nichts gedruckt. Prüfen Sie die Ausrichtung des Druckers und speichern "
        "Sie eine passende Korrektur.\n");
    // Within the allowed range, yet the last row of an A4 sheet lands 3 cm
    // below the page.
    QTest::newRow("PDF: last row below the page")
        << QByteArray("PDF=250,250,1100,1100") << QStringList { "--start", "19", "--pdf", "OUT" } << 1
        << refused.arg("PDF", "Versatz x +25,0 mm, y +25,0 mm; Maßstab x 110,0 %, y 110,0 %", "19",
               "oben oder unten");
    QTest::newRow("printer: first label left of the page")
        << QByteArray("Etikettendrucker=-250,0,1000,1000") << QStringList { "--printer" } << 1
        << refused.arg("Etikettendrucker", "Versatz x -25,0 mm, y +0,0 mm; Maßstab x 100,0 %, y 100,0 %",
               "1", "links oder rechts");
    // Only the labels the run prints count: the first row stays on the page.
    QTest::newRow("PDF: the rows printed stay on the page")
        << QByteArray("PDF=250,250,1100,1100") << QStringList { "--pdf", "OUT" } << 0 << QString();
    const QString unreadable = QStringLiteral(
        "quillmark: Die gespeicherte Korrektur für %1 („%2“ im Abschnitt [Kalibrierung] von Quillmark.ini) "
        "ist ungültig und wird nicht angewandt: gedruckt wird ohne Korrektur. Erwartet werden vier ganze "
        "Zahlen: Versatz x und y (-250 bis 250 Zehntelmillimeter), Maßstab x und y (900 bis 1100 "
        "Promille).\n");
    QTest::newRow("PDF: unreadable") << QByteArray("PDF=25,abc") << QStringList { "--pdf", "OUT" } << 0
                                     << unreadable.arg("PDF", "25,abc");
    QTest::newRow("printer: out of range")
        << QByteArray("Etikettendrucker=0,0,1000,1101") << QStringList { "--printer" } << 0
        << unreadable.arg("Etikettendrucker", "0,0,1000,1101");
}

// A correction that would put a label of the run beside the page refuses
// the run, naming the correction; one that cannot be read is said in every
// run that would have used it, which then prints without it.
void TestPrinterCommands::correctionsThatMisplaceLabelsOrCannotBeReadAreSaid()
{
    QFETCH(QByteArray, stored);
    QFETCH(QStringList, options);
    QFETCH(int, code);
    QFETCH(QString, err);

    writeIni("[Kalibrierung]\n" + stored + "\n");
    QTemporaryDir dir;
    const QString pdf = dir.filePath(QStringLiteral("etiketten.pdf"));
    options.replaceInStrings(QStringLiteral("OUT"), pdf);
    test::FakePrinters printers;
    const test::CommandRun r = test::runCommand(printArgs() + options, printers);
    QCOMPARE(r.err, err);
    QCOMPARE(r.code, code);
    const bool toPdf = options.contains(QStringLiteral("--pdf"));
    if (code == 0) {
        QVERIFY(r.out.startsWith(QStringLiteral("1 Etikett auf 1 Seite")));
        if (!toPdf) // the unreadable correction is not applied
            QCOMPARE(printers.last->originX, 0);
    } else {
        QCOMPARE(r.out, QString());
        QVERIFY(!QFile::exists(pdf));
        if (!toPdf)
            QVERIFY(printers.last->canvas_.calls().isEmpty());
    }
}

// The sheet shows the printer as it is: no stored correction touches it.
void TestPrinterCommands::calibrationSheetIsPrintedWithoutCorrection()
{
    writeIni("[Kalibrierung]\nZweiter=-9,3,1005,995\nPDF=30,-20,1000,1000\n");
    test::FakePrinters printers;
    printers.others = QStringList { QStringLiteral("Zweiter") };
    test::CommandRun r = test::runCommand(
        { "calibrate", share("FORMATE/adressen_3x7.vrl"), "--printer", "Zweiter" }, printers);
    QCOMPARE(r.err, QString());
    QCOMPARE(r.out, QStringLiteral("Kalibrierbogen an Zweiter\n"));
    QCOMPARE(printers.lastOpened, QStringLiteral("Zweiter"));
    QCOMPARE(printers.last->unitsPerCm, 100);
    QCOMPARE(printers.last->originX, 0);
    QCOMPARE(printers.last->scaleX, 1.0);
    QCOMPARE(printers.last->pages, 1);

    QTemporaryDir dir;
    const QString pdf = dir.filePath(QStringLiteral("bogen.pdf"));
    r = test::runCommand({ "calibrate", share("FORMATE/adressen_3x7.vrl"), "--pdf", pdf }, printers);
    QCOMPARE(r.out, QStringLiteral("Kalibrierbogen in ") + pdf + QStringLiteral("\n"));
    QCOMPARE(test::pdfWord(test::pdfWords(pdf), QStringLiteral("Ausrichtung")).page, 1);

    r = test::runCommand({ "calibrate", share("FORMATE/adressen_3x7.vrl") }, printers);
    QCOMPARE(r.code, 1);
    QVERIFY(
        r.err.startsWith(QStringLiteral("quillmark: Entweder --pdf AUSGABE.pdf oder --printer angeben.\n")));
}

QTEST_MAIN(TestPrinterCommands)
#include "TestPrinterCommands.moc"
