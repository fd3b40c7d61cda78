#include "data/shapelibtable.h"
#include "data/tableengine.h"
#include "platform/errors.h"
#include "printing/csvtables.h"
#include "tablerecords.h"
#include "testfiles.h"

#include <QFile>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>

#include <malloc.h>

using namespace qm;
using test::allRecords;

namespace {

QList<TableField> addressFields()
{
    return { { QStringLiteral("Name"), 20 }, { QStringLiteral("Anzahl"), 3 }, { QStringLiteral("Ort"), 15 } };
}

// A table of numeric, date and logical fields as other dBASE programs
// make them: Name C 10, Preis N 8.2, Datum D, Bezahlt L.
void writeTypedTable(const QString &path)
{
    const QList<TableField> fields { { "Name", 10, 'C' }, { "Preis", 8, 'N', 2 }, { "Datum", 8, 'D' },
        { "Bezahlt", 1, 'L' } };
    QByteArray header = buildDbfHeader(fields, 2026, 12, 10);
    for (int i = 0; i < fields.size(); ++i) {
        header[32 + 32 * i + 11] = fields[i].type;
        header[32 + 32 * i + 17] = char(fields[i].decimals);
    }
    QVERIFY(test::writeBytes(path, header));
}

// The bytes of the heap in use.
qint64 heapInUse()
{
    const struct mallinfo2 info = ::mallinfo2();
    return qint64(info.uordblks) + qint64(info.hblkhd);
}

// A table that notes how much of the heap is in use when the first record
// is appended.
class HeapAtFirstAppend : public ShapelibTable
{
public:
    qint64 heap = -1;
    int appendRecord(const QStringList &values) override
    {
        if (heap < 0)
            heap = heapInUse();
        return ShapelibTable::appendRecord(values);
    }
};

} // namespace

// Tables to and from CSV files, as spreadsheets write and read them.
class TestCsvTables : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void init();
    void importsAsSpreadsheetsWriteIt_data();
    void importsAsSpreadsheetsWriteIt();
    void badLineLeavesTheTableAsItWas_data();
    void badLineLeavesTheTableAsItWas();
    void typedFieldsAsTheTextImport_data();
    void typedFieldsAsTheTextImport();
    void columnsThatNameNoFieldAreNamed_data();
    void columnsThatNameNoFieldAreNamed();
    void readsOneRecordAtATime();
    void fullDiskLeavesTheTableAsItWas_data();
    void fullDiskLeavesTheTableAsItWas();
    void tenThousandLinesThereAndBack();
    void exportQuotesWhereNeeded();
    void spreadsheetProgramReadsTheExport();

private:
    std::unique_ptr<QTemporaryDir> m_dir;
    std::unique_ptr<ShapelibTable> m_table;
};

void TestCsvTables::init()
{
    m_dir = std::make_unique<QTemporaryDir>();
    m_table = std::make_unique<ShapelibTable>();
    m_table->create(m_dir->filePath(QStringLiteral("t.dbf")), addressFields());
}

void TestCsvTables::importsAsSpreadsheetsWriteIt_data()
{
    QTest::addColumn<QByteArray>("csv");
    QTest::addColumn<QList<QStringList>>("records");
    QTest::addColumn<int>("cut");
    QTest::newRow("LibreOffice: semicolons, quoted line break, UTF-8")
        << QByteArray(
               "Name;Anzahl;Ort\n\"Meier; Hans\";2;K\xC3\xB6ln\n\"Zeile1\nZeile2\";;\"Sag \"\"Hallo\"\"\"\n")
        << QList<QStringList> { { "Meier; Hans", "2", "Köln" }, { "Zeile1\nZeile2", "", "Sag \"Hallo\"" } }
        << 0;
    QTest::newRow("commas, other order and case, Windows-1252")
        << QByteArray("ORT,name\r\nM\xFCnchen,Erika\r\n") << QList<QStringList> { { "Erika", "", "München" } }
        << 0;
    QTest::newRow("no title names a field: columns by position")
        << QByteArray("A;B;C\r\nx;1;y\r\n") << QList<QStringList> { { "x", "1", "y" } } << 0;
    QTest::newRow("a telephone column and closing separators left out")
        << QByteArray("Name;Telefon;Ort;\r\nA;0221;B;\r\n") << QList<QStringList> { { "A", "", "B" } } << 0;
    QTest::newRow("values longer than their field are cut and counted")
        << QByteArray("Name;Ort\r\nA;Garmisch-Partenkirchen\r\nB;Rheda-Wiedenbr\xC3\xBC"
                      "ck\r\n")
        << QList<QStringList> { { "A", "", "Garmisch-Parten" }, { "B", "", "Rheda-Wiedenbrü" } } << 2;
}

void TestCsvTables::importsAsSpreadsheetsWriteIt()
{
    QFETCH(QByteArray, csv);
    QFETCH(QList<QStringList>, records);
    QFETCH(int, cut);
    const ImportResult result = csvtables::importCsv(*m_table, csv);
    QCOMPARE(result.records, records.size());
    QCOMPARE(result.cutValues, cut);
    QCOMPARE(allRecords(*m_table), records);
}

void TestCsvTables::badLineLeavesTheTableAsItWas_data()
{
    QTest::addColumn<QByteArray>("csv");
    QTest::addColumn<QString>("message");
    QByteArray good("Name;Ort\r\n");
    for (int i = 0; i < 500; ++i)
        good += "Anna;Bonn\r\n";
    QTest::newRow("too many values in line 503")
        << good + "B;C\r\nX;Y;Z\r\n"
        << "Zeile 503: 3 Werte, die Kopfzeile hat aber nur 2 Spalten.";
    QTest::newRow("quote left open in line 502") << good + "\"B;C\r\n"
                                                 << "Zeile 502, Spalte 1: Der Wert endet nicht";
    QTest::newRow("character outside Windows-1252") << good + "Z\xC5\x82oty;Y\r\n"
                                                    << "Das Zeichen \"\u0142\" im Datensatz 501";
}

void TestCsvTables::badLineLeavesTheTableAsItWas()
{
    QFETCH(QByteArray, csv);
    QFETCH(QString, message);
    m_table->appendRecord({ "Vorher", "1", "Ulm" });
    m_table->flush();
    const QString file = m_dir->filePath(QStringLiteral("t.dbf"));
    const QByteArray before = test::contentOf(file);
    try {
        csvtables::importCsv(*m_table, csv);
        QFAIL("imported");
    } catch (const Error &e) {
        QVERIFY2(e.message().startsWith(message), qPrintable(e.message()));
    }
    QCOMPARE(m_table->recordCount(), 1);
    m_table->flush();
    QCOMPARE(test::contentOf(file), before);
}

void TestCsvTables::typedFieldsAsTheTextImport_data()
{
    QTest::addColumn<QByteArray>("csv");
    QTest::addColumn<QList<QStringList>>("records"); // after the one already there
    QTest::addColumn<QString>("message"); // empty: imported
    // The columns in another order than the fields: the messages name the
    // column of the file.
    const QByteArray header("Datum;Name;Bezahlt;Preis\r\n");
    const QByteArray good("31.12.2024;Anna;ja;12,5\r\n20250101;Bernd;n;-3\r\n");
    QTest::newRow("converted as the fields store them")
        << header + good
        << QList<QStringList> { { "Anna", "   12.50", "20241231", "T" },
               { "Bernd", "   -3.00", "20250101", "F" } }
        << QString();
    QTest::newRow("empty values stay empty") << header + ";Carl;;\r\n"
                                             << QList<QStringList> { { "Carl", "", "", "" } } << QString();
    QTest::newRow("text in a number")
        << header + good + "01.01.2025;Carl;J;abc\r\n"
        << QList<QStringList>()
        << "Zeile 4, Spalte 4 (Preis): \u201Eabc\u201C ist keine Zahl. Es wurde nichts importiert.";
    QTest::newRow("text in a date")
        << header + good + "gestern;Carl;J;1\r\n"
        << QList<QStringList>()
        << "Zeile 4, Spalte 1 (Datum): \u201Egestern\u201C ist kein Datum (TT.MM.JJJJ oder JJJJMMTT). Es "
           "wurde nichts importiert.";
    QTest::newRow("text in a logical")
        << header + "01.01.2025;Carl;vielleicht;1\r\n"
        << QList<QStringList>()
        << "Zeile 2, Spalte 3 (Bezahlt): \u201Evielleicht\u201C ist kein Wahrheitswert (J, Ja, N, Nein, T, F "
           "oder Y). Es wurde nichts importiert.";
    QTest::newRow("too many places") << header + "01.01.2025;Carl;J;1,125\r\n"
                                     << QList<QStringList>()
                                     << "Zeile 2, Spalte 4 (Preis): \u201E1,125\u201C hat mehr als 2 "
                                        "Nachkommastellen. Es wurde nichts importiert.";
    QTest::newRow("by position") << QByteArray("A;B;C;D\r\nDora;0,5;01.02.2025;Y\r\n")
                                 << QList<QStringList> { { "Dora", "    0.50", "20250201", "T" } }
                                 << QString();
    QTest::newRow("by position, a bad date in line 3")
        << QByteArray("A;B;C;D\r\nDora;0,5;01.02.2025;Y\r\nEmil;1;31.02.2025;Y\r\n") << QList<QStringList>()
        << "Zeile 3, Spalte 3 (Datum): \u201E31.02.2025\u201C ist kein Datum (TT.MM.JJJJ oder JJJJMMTT). Es "
           "wurde nichts importiert.";
}

// Numbers, dates and logical values of a CSV file are checked and stored
// as the text import stores them; a value its field cannot take is named
// with line and column, and nothing is imported.
void TestCsvTables::typedFieldsAsTheTextImport()
{
    QFETCH(QByteArray, csv);
    QFETCH(QList<QStringList>, records);
    QFETCH(QString, message);
    m_table->close();
    const QString path = m_dir->filePath(QStringLiteral("typed.dbf"));
    writeTypedTable(path);
    m_table->open(path);
    m_table->appendRecord({ "Vorher", "1.00", "20240101", "F" });
    m_table->flush();
    const QByteArray before = test::contentOf(path);
    if (!message.isEmpty()) {
        try {
            csvtables::importCsv(*m_table, csv);
            QFAIL("imported");
        } catch (const Error &e) {
            QCOMPARE(e.message(), message);
        }
        QCOMPARE(m_table->recordCount(), 1);
        QCOMPARE(test::contentOf(path), before);
        return;
    }
    QCOMPARE(csvtables::importCsv(*m_table, csv).records, records.size());
    QCOMPARE(allRecords(*m_table).mid(1), records);
}

void TestCsvTables::columnsThatNameNoFieldAreNamed_data()
{
    QTest::addColumn<QByteArray>("csv");
    QTest::addColumn<QStringList>("unused");
    QTest::addColumn<QStringList>("empty");
    QTest::addColumn<QString>("note");
    QTest::newRow("a postcode and a telephone column")
        << QByteArray("name;PLZ;Telefon\r\nAnna;53111;0228\r\n")
        << QStringList { "\u201EPLZ\u201C", "\u201ETelefon\u201C" }
        << QStringList { "\u201EAnzahl\u201C", "\u201EOrt\u201C" }
        << "Spalten ohne Feld der Datenbank wurden nicht übernommen: \u201EPLZ\u201C, \u201ETelefon\u201C.\n"
           "Felder ohne Spalte in der Datei blieben leer: \u201EAnzahl\u201C, \u201EOrt\u201C.";
    QTest::newRow("every field named, a separator closing every line")
        << QByteArray("ORT;Name;anzahl;\r\nBonn;Anna;1;\r\n") << QStringList { "Spalte 4 (ohne Titel)" }
        << QStringList() << "Spalten ohne Feld der Datenbank wurden nicht übernommen: Spalte 4 (ohne Titel).";
    QTest::newRow("by position: nothing to name")
        << QByteArray("A;B;C\r\nAnna;1;Bonn\r\n") << QStringList() << QStringList() << QString();
}

// Columns that go nowhere and fields that stay empty are named once.
void TestCsvTables::columnsThatNameNoFieldAreNamed()
{
    QFETCH(QByteArray, csv);
    QFETCH(QStringList, unused);
    QFETCH(QStringList, empty);
    QFETCH(QString, note);
    const ImportResult result = csvtables::importCsv(*m_table, csv);
    QCOMPARE(result.records, 1);
    QCOMPARE(result.unusedColumns, unused);
    QCOMPARE(result.emptyFields, empty);
    const QString done = QStringLiteral("Importieren der Daten wurde korrekt abgeschlossen.");
    QCOMPARE(textimport::completionMessage(result), note.isEmpty() ? done : done + QLatin1Char('\n') + note);
}

// The file is read one record at a time, so a large file takes no more
// memory than a small one: the first record is written before the others
// are held anywhere.
void TestCsvTables::readsOneRecordAtATime()
{
    QByteArray csv("Name;Anzahl;Ort\r\n");
    for (int i = 0; i < 200000; ++i)
        csv += "Kunde " + QByteArray::number(i) + ";" + QByteArray::number(i % 1000) + ";Ort "
            + QByteArray::number(i) + "\r\n";
    HeapAtFirstAppend table;
    table.create(m_dir->filePath(QStringLiteral("gross.dbf")), addressFields());
    const qint64 before = heapInUse();
    QCOMPARE(csvtables::importCsv(table, csv).records, 200000);
    // Held whole, the records take some 60 MB here.
    QVERIFY2(table.heap - before < 8 * 1024 * 1024, qPrintable(QString::number(table.heap - before)));
    QCOMPARE(table.readRecord(199999), (QStringList { "Kunde 199999", "999", "Ort 199999" }));
}

void TestCsvTables::fullDiskLeavesTheTableAsItWas_data()
{
    QTest::addColumn<int>("lines");
    // The records are written in pieces of a megabyte: a failure in the
    // last piece, and one on the way.
    QTest::newRow("the last piece") << 1000;
    QTest::newRow("a piece on the way") << 40000;
}

// A disk that fills up during the import: the header counts no record that
// is not written, and the table is exactly as it was, with a German message.
void TestCsvTables::fullDiskLeavesTheTableAsItWas()
{
    QFETCH(int, lines);
    const QString path = m_dir->filePath(QStringLiteral("t.dbf"));
    m_table->appendRecord({ "Vorher", "1", "Ulm" });
    m_table->flush();
    const QByteArray before = test::contentOf(path);
    QByteArray csv("Name;Anzahl;Ort\r\n");
    for (int i = 0; i < lines; ++i)
        csv += "Kunde " + QByteArray::number(i) + ";1;Bonn\r\n";
    QString message;
    {
        const test::FileSizeLimit full(rlim_t(before.size()) + 2000);
        try {
            csvtables::importCsv(*m_table, csv);
        } catch (const Error &e) {
            message = e.message();
        }
    }
    QCOMPARE(message,
        QStringLiteral(
            "Die Datenbank \"%1\" kann nicht geschrieben werden: Kapazität der Diskette/Festplatte "
            "erschöpft. Sie bleibt, wie sie vorher war.")
            .arg(path));
    QCOMPARE(m_table->recordCount(), 1);
    QCOMPARE(m_table->readRecord(0), (QStringList { "Vorher", "1", "Ulm" }));
    m_table->close();
    QCOMPARE(test::contentOf(path), before);
    // It opens, and takes the records once there is room.
    m_table->open(path);
    QCOMPARE(csvtables::importCsv(*m_table, csv).records, lines);
    QCOMPARE(m_table->recordCount(), lines + 1);
}

// 10,000 lines into a table, out again as CSV and into a second table: the
// same values, with quotes, separators, line breaks and umlauts.
void TestCsvTables::tenThousandLinesThereAndBack()
{
    QByteArray csv("Name;Anzahl;Ort\r\n");
    QList<QStringList> expected;
    for (int i = 0; i < 10000; ++i) {
        const QString name = QStringLiteral("Kunde \"%1\"; ä").arg(i);
        const QString town = i % 7 == 0 ? QStringLiteral("Zeile\nzwei") : QStringLiteral("Köln %1").arg(i);
        expected << QStringList { name, QString::number(i % 1000), town };
        QString quotedName = name;
        quotedName.replace(QLatin1Char('"'), QLatin1String("\"\""));
        csv += (QLatin1Char('"') + quotedName + QStringLiteral("\";%1;\"%2\"\r\n").arg(i % 1000).arg(town))
                   .toUtf8();
    }
    QCOMPARE(csvtables::importCsv(*m_table, csv).records, 10000);
    QCOMPARE(allRecords(*m_table), expected);

    const QString exported = m_dir->filePath(QStringLiteral("aus.csv"));
    csvtables::exportCsvFile(*m_table, exported);
    ShapelibTable second;
    second.create(m_dir->filePath(QStringLiteral("zwei.dbf")), addressFields());
    QCOMPARE(csvtables::importCsvFile(second, exported).records, 10000);
    QCOMPARE(allRecords(second), expected);
}

void TestCsvTables::exportQuotesWhereNeeded()
{
    m_table->appendRecord({ "Meier; Hans", "2", "Köln" });
    m_table->appendRecord({ "Sag \"Hallo\"", "", "Zeile\r\nzwei" });
    m_table->appendRecord({ "weg", "", "" });
    m_table->deleteRecord(2);
    m_table->appendRecord({ " vorn", "1", "Ulm" });
    QCOMPARE(csvtables::exportCsv(*m_table),
        QByteArray("\xEF\xBB\xBFName;Anzahl;Ort\r\n"
                   "\"Meier; Hans\";2;K\xC3\xB6ln\r\n"
                   "\"Sag \"\"Hallo\"\"\";;\"Zeile\r\nzwei\"\r\n"
                   "\" vorn\";1;Ulm\r\n"));
}

// A spreadsheet program opens the exported file with the same values.
void TestCsvTables::spreadsheetProgramReadsTheExport()
{
    const QString soffice = QStandardPaths::findExecutable(QStringLiteral("soffice"));
    if (soffice.isEmpty())
        QSKIP("LibreOffice (soffice) is not installed on this machine");
    m_table->appendRecord({ "Jürgen Groß", "3", "Köln" });
    m_table->appendRecord({ "Meier; Hans", "1", "€ Stadt" });
    const QString exported = m_dir->filePath(QStringLiteral("aus.csv"));
    csvtables::exportCsvFile(*m_table, exported);
    // Read by LibreOffice (";" separated, UTF-8) and written again as CSV
    // with "," between the values.
    QProcess p;
    p.setWorkingDirectory(m_dir->path());
    p.start(soffice,
        { QStringLiteral("--headless"), QStringLiteral("--infilter=CSV:59,34,76,1"),
            QStringLiteral("--convert-to"), QStringLiteral("csv:Text - txt - csv (StarCalc):44,34,76,1"),
            QStringLiteral("--outdir"), m_dir->filePath(QStringLiteral("calc")), exported });
    QVERIFY(p.waitForFinished(120000));
    const QByteArray again = test::contentOf(m_dir->filePath(QStringLiteral("calc/aus.csv")));
    ShapelibTable second;
    second.create(m_dir->filePath(QStringLiteral("zwei.dbf")), addressFields());
    csvtables::importCsv(second, again);
    QCOMPARE(allRecords(second), allRecords(*m_table));
}

QTEST_MAIN(TestCsvTables)
#include "TestCsvTables.moc"
