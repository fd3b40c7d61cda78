#include "platform/errors.h"
#include "platform/textfile.h"
#include "printing/csvrecords.h"

#include <QTest>

using namespace qm;

namespace {

// The fields of the address design: Name, Straße, Ort.
QList<CsvField> addressFields()
{
    return { { QStringLiteral("Name"), 20 }, { QStringLiteral("Straße"), 25 },
        { QStringLiteral("Ort"), 15 } };
}

QStringList record(const QString &copies, const QString &name, const QString &street, const QString &town)
{
    return { copies, name, street, town };
}

} // namespace

class TestCsvRecords : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void reads_data();
    void reads();
    void germanSpreadsheetFile();
    void errorsNameLineAndColumn_data();
    void errorsNameLineAndColumn();
    void fieldsFromTheEntryGrid();
};

void TestCsvRecords::reads_data()
{
    QTest::addColumn<QByteArray>("csv");
    QTest::addColumn<QString>("separator");
    QTest::addColumn<bool>("byName");
    QTest::addColumn<QList<QStringList>>("records");

    QTest::newRow("copies first, quoting, blank lines, UTF-8")
        << QByteArray("Anzahl,Name,Straße,Ort\r\n2,\"Meier, Hans\",Weg 1,K\xC3\xB6ln\r\n\r\n"
                      "1,\"Sag \"\"Hallo\"\"\",\"Zeile1\nZeile2\"\n3")
        << "," << true
        << QList<QStringList> { record("2", "Meier, Hans", "Weg 1", QStringLiteral("Köln")),
               record("1", "Sag \"Hallo\"", "Zeile1\nZeile2", ""), record("3", "", "", "") };
    QTest::newRow("semicolons, other order, other case")
        << QByteArray("ORT;name;anzahl\r\nBerlin;Max;3\r\n") << ";" << true
        << QList<QStringList> { record("3", "Max", "", "Berlin") };
    QTest::newRow("tab, no copies column") << QByteArray("Ort\tName\r\nBonn\tA, B; C\r\n") << "\t" << true
                                           << QList<QStringList> { record("1", "A, B; C", "", "Bonn") };
    QTest::newRow("separator inside quotes does not count")
        << QByteArray("\"Wer;Was\",Wo,Stadt\r\nX,Y,Z\r\n") << "," << false
        << QList<QStringList> { record("1", "X", "Y", "Z") };
    QTest::newRow("unnamed columns by position, copies first")
        << QByteArray("Menge;Wer;Wo;Stadt\r\n4;A;B;C\r\n") << ";" << false
        << QList<QStringList> { record("4", "A", "B", "C") };
    QTest::newRow("unnamed columns, one per field: no copies") << QByteArray(
        "Wer;Wo;Stadt\r\nA;B;C\r\n") << ";" << false << QList<QStringList> { record("1", "A", "B", "C") };
    QTest::newRow("empty copies is 1, 0 is kept, value at full size")
        << QByteArray("Anzahl,Ort\r\n,Rheda-Wiedenbr.\r\n0,X\r\n") << "," << true
        << QList<QStringList> { record("1", "", "", "Rheda-Wiedenbr."), record("0", "", "", "X") };
    QTest::newRow("a short line leaves the rest empty") << QByteArray("Name,Straße,Ort\nA\n") << "," << true
                                                        << QList<QStringList> { record("1", "A", "", "") };
    QTest::newRow("lone CR line ends")
        << QByteArray("Name;Ort\rA;B\r\rC;D") << ";" << true
        << QList<QStringList> { record("1", "A", "", "B"), record("1", "C", "", "D") };
    QTest::newRow("header only") << QByteArray("Name;Ort\r\n") << ";" << true << QList<QStringList> {};
    QTest::newRow("cp1252 bytes") << QByteArray("Ort\r\nK\xF6ln\r\n") << "," << true
                                  << QList<QStringList> { record("1", "", "", QStringLiteral("Köln")) };
}

void TestCsvRecords::reads()
{
    QFETCH(QByteArray, csv);
    QFETCH(QString, separator);
    QFETCH(bool, byName);
    QFETCH(QList<QStringList>, records);
    CsvRecords read;
    try {
        read = CsvRecordReader(addressFields()).read(csv);
    } catch (const Error &e) {
        QFAIL(qPrintable(e.message()));
    }
    QCOMPARE(QString(read.separator), separator);
    QCOMPARE(read.byName, byName);
    QCOMPARE(read.records, records);
}

void TestCsvRecords::germanSpreadsheetFile()
{
    const CsvRecords read
        = CsvRecordReader(addressFields())
              .read(
                  readFileBytes(QStringLiteral(QM_TEST_DATA "/printing/csv_semicolon_cp1252_reordered.csv")));
    QCOMPARE(read.separator, QChar(u';'));
    QVERIFY(read.byName);
    QVERIFY(read.copiesColumn);
    QCOMPARE(read.records,
        (QList<QStringList> { record("2", QStringLiteral("Erika Müller"), QStringLiteral("Heidestraße 17"),
                                  QStringLiteral("Köln")),
            record("1", "Meier, Hans", "Am Markt 3", QStringLiteral("München")) }));
}

void TestCsvRecords::errorsNameLineAndColumn_data()
{
    QTest::addColumn<QByteArray>("csv");
    QTest::addColumn<QString>("message");
    QTest::newRow("column that is no field")
        << QByteArray("Name;Telefon\r\n") << "Zeile 1, Spalte 2: „Telefon“ ist kein Datenfeld des Etiketts.";
    QTest::newRow("field twice") << QByteArray("Name,Ort,name\r\n")
                                 << "Zeile 1, Spalte 3: „name“ steht schon in Spalte 1.";
    QTest::newRow("more values than columns")
        << QByteArray("Name,Ort\r\nA,B,C\r\n") << "Zeile 2: 3 Werte, die Kopfzeile hat aber nur 2 Spalten.";
    QTest::newRow("line counted across blank and quoted line ends")
        << QByteArray("Name,Ort\r\n\r\n\"A\r\nB\",K\r\nX,Y,Z\r\n") << "Zeile 5: 3 Werte";
    QTest::newRow("copies not a number")
        << QByteArray("Anzahl;Name\r\n1;A\r\nzwei;B\r\n")
        << "Zeile 3, Spalte 1 (Anzahl): „zwei“ ist keine Anzahl von 0 bis 999.";
    QTest::newRow("copies too many") << QByteArray("Name;Anzahl\r\nA;1000\r\n")
                                     << "Zeile 2, Spalte 2 (Anzahl): „1000“";
    QTest::newRow("copies below 0") << QByteArray("Anzahl\r\n-1\r\n") << "Zeile 2, Spalte 1 (Anzahl): „-1“";
    QTest::newRow("value longer than its field")
        << QByteArray("Name;Ort\r\nA;Garmisch-Partenkirchen\r\n")
        << "Zeile 2, Spalte 2: Der Wert für „Ort“ hat 22 Zeichen, das Feld fasst höchstens 15.";
    QTest::newRow("value beyond the last field by position") << QByteArray(
        "A,B,C,D,E\r\n1,a,b,c,d\r\n") << "Zeile 2, Spalte 5: Das Etikett hat nur 3 Datenfelder.";
    QTest::newRow("open quote") << QByteArray("Name,Ort\r\nA,\"abc\r\n")
                                << "Zeile 2, Spalte 2: Der Wert endet nicht";
}

void TestCsvRecords::errorsNameLineAndColumn()
{
    QFETCH(QByteArray, csv);
    QFETCH(QString, message);
    try {
        CsvRecordReader(addressFields()).read(csv);
        QFAIL("no error");
    } catch (const Error &e) {
        QVERIFY2(e.message().startsWith(message), qPrintable(e.message()));
    }
}

void TestCsvRecords::fieldsFromTheEntryGrid()
{
    StringTable grid;
    grid.setCell(1, 0, QStringLiteral("Name"));
    grid.setCell(1, 1, QStringLiteral("30"));
    grid.setCell(2, 0, QStringLiteral("Seriennr.[Nr. ]"));
    grid.setCell(2, 1, QStringLiteral("x"));
    const QList<CsvField> fields = csvFieldsOf(grid, 2);
    QCOMPARE(fields.size(), 2);
    QCOMPARE(fields[0].title, QStringLiteral("Name"));
    QCOMPARE(fields[0].size, 30);
    QCOMPARE(fields[1].size, 0); // no usable size: no limit
}

QTEST_GUILESS_MAIN(TestCsvRecords)
#include "TestCsvRecords.moc"
