#include "data/shapelibtable.h"
#include "data/tableengine.h"
#include "platform/cp1252.h"
#include "platform/errors.h"
#include "data/csvrecords.h"
#include "data/csvtable.h"
#include "data/csvtables.h"
#include "tablerecords.h"
#include "testfiles.h"

#include <QFile>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>

#include <new>
#include <sys/resource.h>
#include <malloc.h>

using namespace qm;
using test::allRecords;

namespace {

QList<TableField> addressFields()
{
    return { { QStringLiteral("Name"), 20 }, { QStringLiteral("Anzahl"), 3 }, { QStringLiteral("Ort"), 15 } };
}

// The file, encoded as its name says: "UTF-8", "UTF-8 BOM", "Windows-1252",
// "UTF-16LE" or "UTF-16BE" (these two with their byte order mark).
QByteArray encoded(const QString &text, const QString &encoding)
{
    if (encoding == QLatin1String("Windows-1252")) {
        QByteArray bytes;
        return encodeCp1252(text, bytes) ? bytes : QByteArray("<not cp1252>");
    }
    if (encoding.startsWith(QLatin1String("UTF-16")))
        return test::utf16(text, encoding.endsWith(QLatin1String("LE")));
    return (encoding.endsWith(QLatin1String("BOM")) ? QByteArray("\xEF\xBB\xBF") : QByteArray())
        + text.toUtf8();
}

// While it lives, the process may take no more than `headroom` bytes of
// data memory beyond what it holds now (the allocation that would pass the
// limit fails).
class DataLimit
{
public:
    explicit DataLimit(rlim_t headroom)
    {
        ::getrlimit(RLIMIT_DATA, &m_old);
        rlimit limit = m_old;
        limit.rlim_cur = dataNow() + headroom;
        ::setrlimit(RLIMIT_DATA, &limit);
    }
    ~DataLimit() { ::setrlimit(RLIMIT_DATA, &m_old); }
    DataLimit(const DataLimit &) = delete;
    DataLimit &operator=(const DataLimit &) = delete;

private:
    static rlim_t dataNow()
    {
        QFile status(QStringLiteral("/proc/self/status"));
        if (!status.open(QIODevice::ReadOnly))
            return RLIM_INFINITY / 2;
        for (const QByteArray &line : status.readAll().split('\n'))
            if (line.startsWith("VmData:"))
                return rlim_t(line.mid(7).trimmed().split(' ').value(0).toULongLong()) * 1024;
        return RLIM_INFINITY / 2;
    }
    rlimit m_old {};
};

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
    void exportReadsBackEveryWay_data();
    void exportReadsBackEveryWay();
    void exportRefusesControlCharacters();
    void filesThatAreNoTextAreRefused();
    void csvTableMatchesTitlesWithoutRegardToCase();
    void csvTableKeepsAFieldWithoutColumnInPlace_data();
    void csvTableKeepsAFieldWithoutColumnInPlace();
    void csvTableReadsRecordsOnDemand_data();
    void csvTableReadsRecordsOnDemand();
    void csvTableHoldsNoWholeFile();

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

// Every table the program exports reads back to the same values: as a
// table (print --table), as the records of a design with the table's fields
// (print --records) and by import into a table (table --import-csv).
void TestCsvTables::exportReadsBackEveryWay_data()
{
    QTest::addColumn<QStringList>("names");
    QTest::addColumn<QList<QStringList>>("records");
    QTest::newRow("records of empty values")
        << QStringList { "Name", "Ort" } << QList<QStringList> { { "", "" }, { "A", "B" }, { "", "" } };
    QTest::newRow("one field, values with commas and tabs")
        << QStringList { "Name" }
        << QList<QStringList> { { "Müller, Hans" }, { "Tab\tda" }, { "a;b" }, { "" } };
    QTest::newRow("inch marks and quotes") << QStringList { "Name",
        "Ort" } << QList<QStringList> { { "Rahmen 5\"", "5\" x 7\"" }, { "\"zitiert\"", "" } };
    QTest::newRow("blanks in front and line breaks") << QStringList { "Name",
        "Ort" } << QList<QStringList> { { " vorn", "Zeile\r\nzwei" }, { ";", "\r" } };
}

void TestCsvTables::exportReadsBackEveryWay()
{
    QFETCH(QStringList, names);
    QFETCH(QList<QStringList>, records);
    QList<TableField> tableFields;
    QList<CsvField> designFields;
    for (const QString &name : std::as_const(names)) {
        tableFields.append({ name, 30 });
        designFields.append({ name, 30 });
    }
    ShapelibTable table;
    table.create(m_dir->filePath(QStringLiteral("eins.dbf")), tableFields);
    for (const QStringList &values : std::as_const(records))
        table.appendRecord(values);
    const QList<QStringList> expected = allRecords(table);
    QCOMPARE(expected.size(), records.size());
    const QString exported = m_dir->filePath(QStringLiteral("aus.csv"));
    csvtables::exportCsvFile(table, exported);
    try {
        CsvTable csv;
        csv.open(exported);
        QCOMPARE(fieldNames(csv), names);
        QCOMPARE(allRecords(csv), expected);

        QList<QStringList> printed;
        for (QStringList values : CsvRecordReader(designFields).read(test::contentOf(exported)).records) {
            QCOMPARE(values.takeFirst(), QStringLiteral("1")); // the copies
            printed << values;
        }
        QCOMPARE(printed, expected);

        ShapelibTable second;
        second.create(m_dir->filePath(QStringLiteral("zwei.dbf")), tableFields);
        csvtables::importCsvFile(second, exported);
        QCOMPARE(allRecords(second), expected);
    } catch (const Error &e) {
        QFAIL(qPrintable(e.message() + QStringLiteral("\n") + QString::fromUtf8(test::contentOf(exported))));
    }
}

// Such a value would make a file that no reader takes back.
void TestCsvTables::exportRefusesControlCharacters()
{
    m_table->appendRecord({ "A", "1", "Ulm" });
    m_table->appendRecord({ "B", "2", QStringLiteral("Ul\u0001m") });
    const QString exported = m_dir->filePath(QStringLiteral("aus.csv"));
    try {
        csvtables::exportCsvFile(*m_table, exported);
        QFAIL("exported");
    } catch (const Error &e) {
        QCOMPARE(e.message(),
            QStringLiteral(
                "Datensatz 2, Feld „Ort“: Der Wert enthält das Steuerzeichen 01 (hexadezimal), das "
                "eine CSV-Datei nicht enthalten kann. Es wurde nichts exportiert."));
    }
    QVERIFY(!QFile::exists(exported));
}

// A dBASE table given as a CSV file is refused as a table and by the
// import, never read as blank records.
void TestCsvTables::filesThatAreNoTextAreRefused()
{
    m_table->appendRecord({ "Erika", "2", "Köln" });
    m_table->close();
    const QString given = m_dir->filePath(QStringLiteral("adressen.csv"));
    QVERIFY(QFile::copy(m_dir->filePath(QStringLiteral("t.dbf")), given));
    try {
        CsvTable csv;
        csv.open(given);
        QFAIL(qPrintable(QStringLiteral("opened with %1 records").arg(csv.recordCount())));
    } catch (const Error &e) {
        QVERIFY2(e.message().contains(QStringLiteral("Zeile 1: Die Datei enthält das Steuerzeichen 03")),
            qPrintable(e.message()));
    }
    ShapelibTable target;
    target.create(m_dir->filePath(QStringLiteral("ziel.dbf")), addressFields());
    try {
        csvtables::importCsvFile(target, given);
        QFAIL("imported");
    } catch (const Error &e) {
        QVERIFY2(e.message().contains(QStringLiteral("keine Textdatei")), qPrintable(e.message()));
    }
    QCOMPARE(target.recordCount(), 0);
}

// The design's fields come first, matched to the columns' titles in any
// letter case; the titles stay as the file writes them.
void TestCsvTables::csvTableMatchesTitlesWithoutRegardToCase()
{
    const QString path = m_dir->filePath(QStringLiteral("adressen.csv"));
    QVERIFY(test::writeBytes(path, "Telefon;ORT; name \r\n0221;K\xC3\xB6ln;Erika\r\n"));
    CsvTable csv;
    csv.preferFieldOrder({ QStringLiteral("Name"), QStringLiteral("Ort"), QStringLiteral("Straße") });
    csv.open(path);
    QCOMPARE(fieldNames(csv), (QStringList { "name", "ORT", "Telefon" }));
    QCOMPARE(csv.readRecord(0), (QStringList { "Erika", "Köln", "0221" }));
}

void TestCsvTables::csvTableKeepsAFieldWithoutColumnInPlace_data()
{
    QTest::addColumn<QStringList>("design"); // the design's field titles
    QTest::addColumn<QByteArray>("csv");
    QTest::addColumn<QStringList>("fields");
    QTest::addColumn<QStringList>("record");
    QTest::newRow("no column for the street")
        << QStringList { "Name", "Straße", "Ort" } << QByteArray("Name;Ort;Telefon\r\nMüller;Bonn;0228\r\n")
        << QStringList { "Name", "Straße", "Ort", "Telefon" } << QStringList { "Müller", "", "Bonn", "0228" };
    QTest::newRow("no column for the first field")
        << QStringList { "Firma", "Name", "Ort" } << QByteArray("ort;name\r\nKöln;Erika\r\n")
        << QStringList { "Firma", "name", "ort" } << QStringList { "", "Erika", "Köln" };
    QTest::newRow("no title names a field: columns by position")
        << QStringList { "Name", "Straße", "Ort" } << QByteArray("A;B;C\r\nx;y;z\r\n")
        << QStringList { "A", "B", "C" } << QStringList { "x", "y", "z" };
}

// A design field that no column names keeps its place as an empty field, so
// that the columns after it reach their own fields: the town stays the town.
void TestCsvTables::csvTableKeepsAFieldWithoutColumnInPlace()
{
    QFETCH(QStringList, design);
    QFETCH(QByteArray, csv);
    QFETCH(QStringList, fields);
    QFETCH(QStringList, record);
    const QString path = m_dir->filePath(QStringLiteral("adressen.csv"));
    QVERIFY(test::writeBytes(path, csv));
    CsvTable table;
    table.preferFieldOrder(design);
    table.open(path);
    QCOMPARE(fieldNames(table), fields);
    QCOMPARE(table.recordCount(), 1);
    QCOMPARE(table.readRecord(0), record);
}

void TestCsvTables::csvTableReadsRecordsOnDemand_data()
{
    QTest::addColumn<QString>("encoding");
    for (const char *encoding : { "UTF-8", "UTF-8 BOM", "Windows-1252", "UTF-16LE", "UTF-16BE" })
        QTest::newRow(encoding) << QString::fromLatin1(encoding);
}

// Records of many blocks (by count and by bytes), with quoted line breaks,
// blank lines and characters of several bytes, read in another order than
// the file's: each is the record of its line.
void TestCsvTables::csvTableReadsRecordsOnDemand()
{
    QFETCH(QString, encoding);
    const bool cp1252 = encoding == QLatin1String("Windows-1252");
    const int count = 3000;
    QString text = QStringLiteral(";;\r\nNr;Name;Ort\r\n");
    QList<QStringList> expected;
    for (int i = 0; i < count; ++i) {
        QString name = QStringLiteral("M\u00FCller \u20AC%1").arg(i);
        if (!cp1252 && i % 3 == 0)
            name += QStringLiteral(" \U0001F600\u0142");
        if (i % 500 == 7)
            name += QString(3000, u'\u00E4'); // a block ends after some long values
        const QString town
            = i % 5 == 0 ? QStringLiteral("Zeile\r\n\"%1\"").arg(i) : QStringLiteral("K\u00F6ln");
        QString quotedTown = town;
        quotedTown.replace(QLatin1Char('"'), QLatin1String("\"\""));
        text += QStringLiteral("%1;%2;\"%3\"\r\n").arg(i).arg(name, quotedTown);
        if (i % 7 == 0)
            text += QStringLiteral("\r\n");
        expected << QStringList { QString::number(i), name, town };
    }
    const QString path = m_dir->filePath(QStringLiteral("gross.csv"));
    QVERIFY(test::writeBytes(path, encoded(text, encoding)));
    CsvTable csv;
    csv.open(path);
    QCOMPARE(csv.recordCount(), count);
    QCOMPARE(fieldNames(csv), (QStringList { "Nr", "Name", "Ort" }));
    for (int k = 0; k < 300; ++k) {
        const int r = int((qint64(k) * 7919) % count);
        const QStringList got = csv.readRecord(r);
        if (got != expected[r])
            QFAIL(qPrintable(QStringLiteral("record %1: %2").arg(r).arg(got.join(u'|').left(80))));
    }
    QCOMPARE(allRecords(csv), expected);
    QCOMPARE(csv.readRecord(count), QStringList());
    QCOMPARE(csv.readRecord(-1), QStringList());
}

// A CSV table of 24 MB opens and reads within 16 MB of memory, and so does a
// print run's record stream of it.
void TestCsvTables::csvTableHoldsNoWholeFile()
{
    const QString path = m_dir->filePath(QStringLiteral("riesig.csv"));
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write("Nr;Name;Ort\r\n");
    int count = 0;
    while (file.size() < 24 * 1024 * 1024) {
        QByteArray piece;
        for (int i = 0; i < 10000; ++i, ++count)
            piece += QStringLiteral("%1;Kunde \u201E%1\u201C;K\u00F6ln\r\n").arg(count).toUtf8();
        QVERIFY(file.write(piece) == piece.size());
    }
    file.close();
    const QStringList last { QString::number(count - 1),
        QStringLiteral("Kunde \u201E%1\u201C").arg(count - 1), QStringLiteral("Köln") };
    int streamed = 0;
    QStringList lastTable;
    QStringList firstTable;
    int tableCount = 0;
    try {
        const DataLimit limit(16 * 1024 * 1024);
        CsvTable csv;
        csv.open(path);
        tableCount = csv.recordCount();
        lastTable = csv.readRecord(count - 1);
        firstTable = csv.readRecord(0);
        csv.close();
        const auto stream
            = CsvRecordStream::fromFile(CsvRecordReader({ { QStringLiteral("Name"), 40 } }), path);
        QStringList record;
        while (stream->next(record))
            ++streamed;
    } catch (const std::bad_alloc &) {
        QFAIL("out of memory");
    } catch (const Error &e) {
        QFAIL(qPrintable(e.message()));
    }
    QCOMPARE(tableCount, count);
    QCOMPARE(lastTable, last);
    QCOMPARE(firstTable, (QStringList { "0", QStringLiteral("Kunde „0“"), QStringLiteral("Köln") }));
    QCOMPARE(streamed, count);
}

QTEST_MAIN(TestCsvTables)
#include "TestCsvTables.moc"
