#include "app/commandline.h"
#include "app/commands/tablecommand.h"
#include "commandlinerun.h"
#include "data/doubles/memorytable.h"
#include "platform/stringtable.h"
#include "printing/pdfprinter.h"
#include "printing/printeraccess.h"
#include "data/tablerecords.h"
#include "testfiles.h"
#include "testpaths.h"

#include <QFileInfo>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>

#include <csignal>
#include <sys/resource.h>

using namespace qm;

namespace {

using Run = test::CommandRun;

Run run(const QStringList &args)
{
    return test::runCommand(args);
}

const QString addressDesign = test::shareDir() + QStringLiteral("/ETIKETT/adresse.eti");
const QString addressFormat = test::shareDir() + QStringLiteral("/FORMATE/adressen_3x7.vrl");
const QString addressText = test::fixturesDir() + QStringLiteral("/data/three_addresses.txt");

// A table in memory that counts how far it has been read: the highest
// record looked at, and how many records were read.
class CountingTable : public MemoryTable
{
public:
    bool isDeleted(int record) override
    {
        furthest = std::max(furthest, record);
        return MemoryTable::isDeleted(record);
    }
    QStringList readRecord(int record) override
    {
        furthest = std::max(furthest, record);
        ++reads;
        return MemoryTable::readRecord(record);
    }

    int furthest = -1;
    int reads = 0;
};

} // namespace

class TestTableCommand : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void createImportAndList();
    void importWithFewerLinesPerRecord();
    void selectedRecordsAreReadOneAtATime_data();
    void selectedRecordsAreReadOneAtATime();
    void printsSelectedRecords_data();
    void printsSelectedRecords();
    void refusals_data();
    void refusals();
    void createOverRecordsNeedsReplace();
    void csvInAndOutThroughPipes();
    void csvImportNamesColumnsWithoutField();
    void fileSizeLimitDuringCsvImport();
};

void TestTableCommand::createImportAndList()
{
    QTemporaryDir dir;
    const QString table = dir.filePath("adressen.dbf");
    const Run r = run({ "table", table, "--create", addressDesign, "--import", addressText });
    QCOMPARE(r.code, 0);
    QCOMPARE(r.err, QStringLiteral("Importieren der Daten wurde korrekt abgeschlossen.\n"));
    QCOMPARE(r.out,
        QStringLiteral("Name\tStraße\tOrt\n"
                       "Erika Mustermann\tWeg 1\tKöln\n"
                       "Hans Meier\tHauptstr. 1\tBerlin\n"
                       "Zoë Albers\tGasse 7\tKöln\n"));
    // Listing again reads the same from the file.
    const Run again = run({ "table", table });
    QCOMPARE(again.code, 0);
    QCOMPARE(again.out, r.out);
}

void TestTableCommand::importWithFewerLinesPerRecord()
{
    QTemporaryDir dir;
    const QString table = dir.filePath("t.dbf");
    QCOMPARE(run({ "table", table, "--create", addressDesign }).code, 0);
    const Run r = run({ "table", table, "--import", addressText, "--lines", "4" });
    QCOMPARE(r.code, 1);
    QVERIFY2(r.err.contains(QStringLiteral("Datenbank hat maximal 3 Felder.")), qPrintable(r.err));
    QCOMPARE(run({ "table", table }).out, QStringLiteral("Name\tStraße\tOrt\n"));
    const Run two = run({ "table", table, "--import", addressText, "--lines", "2" });
    QCOMPARE(two.code, 0);
    QVERIFY(two.out.startsWith(
        QStringLiteral("Name\tStraße\tOrt\nErika Mustermann\tWeg 1\t\nKöln\tHans Meier\t\n")));
}

void TestTableCommand::selectedRecordsAreReadOneAtATime_data()
{
    QTest::addColumn<QStringList>("where");
    QTest::addColumn<QList<int>>("selected"); // record numbers, in order
    QTest::newRow("all but the deleted") << QStringList() << QList<int> { 0, 3, 4, 5, 6, 7, 8, 9 };
    QTest::newRow("one criterion") << QStringList { "Ort=Köln" } << QList<int> { 0, 6, 9 };
    QTest::newRow("criteria joined by or") << QStringList { "Ort=Ulm", "Name=N4" } << QList<int> { 4, 8 };
    QTest::newRow("a deleted record is never selected") << QStringList { "Name=N2" } << QList<int> {};
    QTest::newRow("nothing") << QStringList { "Ort=Bonn" } << QList<int> {};
}

// print --table reads the records as a run asks for them, one at a time and
// twice over, instead of loading the table into the entry grid first.
void TestTableCommand::selectedRecordsAreReadOneAtATime()
{
    QFETCH(QStringList, where);
    QFETCH(QList<int>, selected);
    CountingTable table;
    MemoryTable::File file;
    file.fields = { { QStringLiteral("Name"), 10 }, { QStringLiteral("Ort"), 10 } };
    const char *towns[]
        = { "Köln", "Bonn", "Köln", "Essen", "Aachen", "Essen", "Köln", "Essen", "Ulm", "Köln" };
    for (int r = 0; r < 10; ++r)
        file.records << MemoryTable::Record { { QStringLiteral("N%1").arg(r), QString::fromUtf8(towns[r]) },
            r == 1 || r == 2 };
    // Records 1 (Bonn) and 2 (Köln) are marked deleted.
    table.files.insert(QStringLiteral("t.dbf"), file);

    StringTable entryGrid(4, 3);
    entryGrid.setCell(1, 2, QStringLiteral("alt"));
    const std::unique_ptr<TableRecordStream> records
        = selectedTableRecords(table, QStringLiteral("t.dbf"), where, entryGrid);
    // The grid carries the field names and no record.
    QCOMPARE(entryGrid.colCount(), 3);
    QCOMPARE(entryGrid.cell(1, 0), QStringLiteral("Name"));
    QCOMPARE(entryGrid.cell(2, 0), QStringLiteral("Ort"));
    QCOMPARE(entryGrid.rowCount(), 2);
    QVERIFY(table.isOpen());
    QCOMPARE(table.reads, 0);

    for (int pass = 0; pass < 2; ++pass) {
        records->rewind();
        table.furthest = -1;
        table.reads = 0;
        QStringList record;
        for (const int r : selected) {
            QVERIFY(records->next(record));
            QCOMPARE(record, QStringList({ "1", QStringLiteral("N%1").arg(r), QString::fromUtf8(towns[r]) }));
            // Nothing beyond the record yielded has been looked at.
            QCOMPARE(table.furthest, r);
        }
        QVERIFY(!records->next(record));
        QVERIFY(!records->next(record));
        QCOMPARE(records->yielded(), selected.size());
        QCOMPARE(table.reads, 8); // every live record once
    }
}

void TestTableCommand::printsSelectedRecords_data()
{
    QTest::addColumn<QStringList>("where");
    QTest::addColumn<QString>("printed");
    QTest::newRow("all records") << QStringList() << "3 Etiketten auf 1 Seite";
    QTest::newRow("one criterion") << QStringList({ "--where", "Ort=Köln" }) << "2 Etiketten auf 1 Seite";
    QTest::newRow("two criteria joined by or")
        << QStringList({ "--where", "Ort=Berlin", "--where", "Name=Zoë Albers" })
        << "2 Etiketten auf 1 Seite";
}

void TestTableCommand::printsSelectedRecords()
{
    QFETCH(QStringList, where);
    QFETCH(QString, printed);
    QTemporaryDir dir;
    const QString table = dir.filePath("adressen.dbf");
    QCOMPARE(run({ "table", table, "--create", addressDesign, "--import", addressText }).code, 0);
    const QString pdf = dir.filePath("out.pdf");
    const Run r = run(QStringList({ "print", addressDesign, addressFormat, "--table", table }) + where
        + QStringList({ "--pdf", pdf }));
    QCOMPARE(r.err, QString());
    QCOMPARE(r.code, 0);
    QCOMPARE(r.out, printed + QStringLiteral(" in %1\n").arg(pdf));
    QVERIFY(QFileInfo(pdf).size() > 0);
}

void TestTableCommand::refusals_data()
{
    QTest::addColumn<QStringList>("args");
    QTest::addColumn<QString>("message");
    QTest::newRow("missing table") << QStringList({ "table", "@DIR@/fehlt.dbf" }) << "Datei nicht gefunden";
    QTest::newRow("missing CSV table named") << QStringList({ "print", addressDesign, addressFormat, "--table",
        "@DIR@/fehlt.csv", "--pdf", "@DIR@/o.pdf" })
                                             << "fehlt.csv: Datei nicht gefunden";
    QTest::newRow("not a table") << QStringList({ "table", addressText }) << "keine gültige dBASE-Datenbank";
    QTest::newRow("unknown field") << QStringList({ "print", addressDesign, addressFormat, "--table",
        "@DIR@/a.dbf", "--where", "PLZ=1", "--pdf", "@DIR@/o.pdf" })
                                   << "hat kein Feld „PLZ“";
    QTest::newRow("nothing selected") << QStringList({ "print", addressDesign, addressFormat, "--table",
        "@DIR@/a.dbf", "--where", "Ort=Ulm", "--pdf", "@DIR@/o.pdf" })
                                      << "Keine Datensätze ausgewählt";
    QTest::newRow("lines without import")
        << QStringList({ "table", "@DIR@/a.dbf", "--lines", "2" }) << "gelten nur mit --import";
    QTest::newRow("skip without import")
        << QStringList({ "table", "@DIR@/a.dbf", "--skip-lead-line" }) << "Aufruf: quillmark table";
    QTest::newRow("create over records")
        << QStringList({ "table", "@DIR@/a.dbf", "--create", addressDesign })
        << "existiert bereits und enthält 3 Datensätze; mit --replace wird sie ersetzt.";
    QTest::newRow("create over another file")
        << QStringList({ "table", "@DIR@/notiz.dbf", "--create", addressDesign })
        << "keine lesbare Datenbank";
    QTest::newRow("replace without create")
        << QStringList({ "table", "@DIR@/a.dbf", "--replace" }) << "--replace gilt nur mit --create.";
    QTest::newRow("export into a missing folder")
        << QStringList({ "table", "@DIR@/a.dbf", "--export-csv", "@DIR@/weg/a.csv" })
        << "quillmark: Die CSV-Datei @DIR@/weg/a.csv kann nicht geschrieben werden: Datei nicht gefunden\n";
    QTest::newRow("where without table") << QStringList(
        { "print", addressDesign, addressFormat, "--where", "Ort=Ulm", "--pdf", "@DIR@/o.pdf" })
                                         << "Aufruf:";
}

void TestTableCommand::refusals()
{
    QFETCH(QStringList, args);
    QFETCH(QString, message);
    QTemporaryDir dir;
    QCOMPARE(
        run({ "table", dir.filePath("a.dbf"), "--create", addressDesign, "--import", addressText }).code, 0);
    test::writeBytes(dir.filePath("notiz.dbf"), "kein dBASE\r\n");
    for (QString &a : args)
        a.replace(QStringLiteral("@DIR@"), dir.path());
    message.replace(QStringLiteral("@DIR@"), dir.path());
    const Run r = run(args);
    QCOMPARE(r.code, 1);
    QVERIFY2(r.err.contains(message), qPrintable(r.err));
    QVERIFY(!QFileInfo::exists(dir.filePath("o.pdf")));
    // Refused calls change no table.
    QCOMPARE(run({ "table", dir.filePath("a.dbf") }).out.count(QLatin1Char('\n')), 4);
    QCOMPARE(test::contentOf(dir.filePath("notiz.dbf")), QByteArray("kein dBASE\r\n"));
}

// Creating over a table that holds records empties it only when asked to;
// an empty table of that name is replaced without a word, as before.
void TestTableCommand::createOverRecordsNeedsReplace()
{
    QTemporaryDir dir;
    const QString table = dir.filePath("adressen.dbf");
    QCOMPARE(run({ "table", table, "--create", addressDesign }).code, 0);
    QCOMPARE(run({ "table", table, "--create", addressDesign, "--import", addressText }).code, 0);
    const Run refused = run({ "table", table, "--create", addressDesign });
    QCOMPARE(refused.code, 1);
    QCOMPARE(refused.err,
        QStringLiteral(
            "quillmark: Die Datenbank %1 existiert bereits und enthält 3 Datensätze; mit --replace "
            "wird sie ersetzt.\n")
            .arg(table));
    const Run replaced = run({ "table", table, "--create", addressDesign, "--replace" });
    QCOMPARE(replaced.code, 0);
    QCOMPARE(replaced.out, QStringLiteral("Name\tStraße\tOrt\n"));
}

// A script fills a table from a spreadsheet's CSV on standard input and
// reads it back as CSV on standard output.
void TestTableCommand::csvInAndOutThroughPipes()
{
    QTemporaryDir dir;
    const QString table = dir.filePath("adressen.dbf");
    QCOMPARE(run({ "table", table, "--create", addressDesign }).code, 0);
    const QByteArray csv("Ort;Name;Telefon\r\nK\xC3\xB6ln;\"Meier; Hans\";0221\r\nBonn;Erika;\r\n");
    QProcess in;
    in.start(test::programPath(), { "table", table, "--import-csv", "-" });
    in.write(csv);
    in.closeWriteChannel();
    QVERIFY(in.waitForFinished(60000));
    QCOMPARE(in.exitCode(), 0);
    QCOMPARE(QString::fromUtf8(in.readAllStandardOutput()),
        QStringLiteral("Name\tStraße\tOrt\nMeier; Hans\t\tKöln\nErika\t\tBonn\n"));
    QVERIFY(
        QString::fromUtf8(in.readAllStandardError()).startsWith(QStringLiteral("2 Datensätze übernommen.")));

    const Run out = run({ "table", table, "--export-csv", "-" });
    QCOMPARE(out.code, 0);
    QCOMPARE(out.out, QStringLiteral("Name;Straße;Ort\r\n\"Meier; Hans\";;Köln\r\nErika;;Bonn\r\n"));
    const QString file = dir.filePath("adressen.csv");
    QCOMPARE(run({ "table", table, "--export-csv", file }).code, 0);
    // The file begins with the byte order mark spreadsheet programs look for.
    QVERIFY(test::contentOf(file).startsWith("\xEF\xBB\xBFName;"));
    QCOMPARE(QString::fromUtf8(test::contentOf(file)), out.out);

    // A bad line: named, and nothing added.
    test::writeBytes(dir.filePath("schlecht.csv"), "Name;Ort\r\nA;B\r\nC;D;E\r\n");
    const Run bad = run({ "table", table, "--import-csv", dir.filePath("schlecht.csv") });
    QCOMPARE(bad.code, 1);
    QVERIFY2(bad.err.contains(QStringLiteral("Zeile 3: 3 Werte")), qPrintable(bad.err));
    QCOMPARE(run({ "table", table }).out.count(QLatin1Char('\n')), 3);
}

void TestTableCommand::csvImportNamesColumnsWithoutField()
{
    QTemporaryDir dir;
    const QString table = dir.filePath("adressen.dbf");
    QCOMPARE(run({ "table", table, "--create", addressDesign }).code, 0);
    test::writeBytes(dir.filePath("liste.csv"), "name;Telefon\r\nAnna;0228\r\n");
    const Run r = run({ "table", table, "--import-csv", dir.filePath("liste.csv") });
    QCOMPARE(r.code, 0);
    QCOMPARE(r.err,
        QStringLiteral(
            "1 Datensätze übernommen. Importieren der Daten wurde korrekt abgeschlossen.\n"
            "Spalten ohne Feld der Datenbank wurden nicht übernommen: \u201ETelefon\u201C.\n"
            "Felder ohne Spalte in der Datei blieben leer: \u201EStraße\u201C, \u201EOrt\u201C.\n"));
}

// As `ulimit -f 64` before `table T.dbf --import-csv big.csv`: the file may
// not grow beyond 64 KiB. The program is not ended by the signal, says why
// in German and leaves the table as it was.
void TestTableCommand::fileSizeLimitDuringCsvImport()
{
    QTemporaryDir dir;
    const QString table = dir.filePath("adressen.dbf");
    QCOMPARE(run({ "table", table, "--create", addressDesign, "--import", addressText }).code, 0);
    const QByteArray before = test::contentOf(table);
    QByteArray csv("Name;Ort\r\n");
    for (int i = 0; i < 3000; ++i)
        csv += "Kunde " + QByteArray::number(i) + ";Bonn\r\n";
    test::writeBytes(dir.filePath("gross.csv"), csv);
    QProcess p;
    p.setChildProcessModifier([] {
        rlimit limit {};
        ::getrlimit(RLIMIT_FSIZE, &limit);
        limit.rlim_cur = 64 * 1024;
        ::setrlimit(RLIMIT_FSIZE, &limit);
        std::signal(SIGXFSZ, SIG_DFL);
    });
    p.start(test::programPath(), { "table", table, "--import-csv", dir.filePath("gross.csv") });
    QVERIFY(p.waitForFinished(60000));
    QCOMPARE(p.exitStatus(), QProcess::NormalExit);
    QCOMPARE(p.exitCode(), 1);
    const QString err = QString::fromUtf8(p.readAllStandardError());
    QVERIFY2(err.contains(QStringLiteral("Die Datenbank \"%1\" kann nicht geschrieben werden: Kapazität der "
                                         "Diskette/Festplatte erschöpft. Sie bleibt, wie sie vorher war.")
                              .arg(table)),
        qPrintable(err));
    QVERIFY2(!err.contains(QStringLiteral("Failure")), qPrintable(err));
    QCOMPARE(test::contentOf(table), before);
    QCOMPARE(run({ "table", table }).out.count(QLatin1Char('\n')), 4);
}

QTEST_MAIN(TestTableCommand)
#include "TestTableCommand.moc"
