#include "platform/errors.h"
#include "testpaths.h"
#include "platform/textfile.h"
#include "data/csvrecords.h"
#include "testfiles.h"

#include <QFile>
#include <QTemporaryDir>
#include <QTest>

using namespace qm;
using test::utf16;

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
    void columnsThatNameNoFieldAreLeftOut_data();
    void columnsThatNameNoFieldAreLeftOut();
    void errorsNameLineAndColumn_data();
    void errorsNameLineAndColumn();
    void fieldsFromTheEntryGrid();
    void streamsAcrossChunks();
    void encodingIsDecidedOnTheWholeFile_data();
    void encodingIsDecidedOnTheWholeFile();
    void errorFarDownNamesItsLine();
    void readsAFileAndRewinds();
    void refusesFilesItMustNotRead();
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
    QTest::newRow("lone CR inside quotes belongs to the value")
        << QByteArray("Anzahl,Name\r2,Erika\r1,\"Hans\rim Glueck\"\r") << "," << true
        << QList<QStringList> { record("2", "Erika", "", ""), record("1", "Hans\rim Glueck", "", "") };
    QTest::newRow("quoted empty values are a record") << QByteArray(
        "Name,Ort\r\n\"\",\"\"\r\n") << "," << true << QList<QStringList> { record("1", "", "", "") };
    QTest::newRow("byte order mark") << QByteArray("\xEF\xBB\xBFOrt;Name\r\nK\xC3\xB6ln;A\r\n") << ";" << true
                                     << QList<QStringList> { record("1", "A", "", QStringLiteral("Köln")) };
    QTest::newRow("no bytes at all") << QByteArray() << "," << false << QList<QStringList> {};
    QTest::newRow("header only") << QByteArray("Name;Ort\r\n") << ";" << true << QList<QStringList> {};
    QTest::newRow("cp1252 bytes") << QByteArray("Ort\r\nK\xF6ln\r\n") << "," << true
                                  << QList<QStringList> { record("1", "", "", QStringLiteral("Köln")) };
    // The bytes where Windows-1252 and Latin-1 differ.
    QTest::newRow("cp1252 bytes 0x80 to 0x9F")
        << QByteArray("Name;Ort\r\n\x8A\x9A\x8C\x9C\x99\x95;\x80\x84\x93\x82\x91\x92\x96\x97\x85\r\n") << ";"
        << true
        << QList<QStringList> { record("1", QStringLiteral("ŠšŒœ™•"), "", QStringLiteral("€„“‚‘’–—…")) };
    QTest::newRow("separator closing every line, as spreadsheets write it") << QByteArray(
        "Name;Straße;Ort;\r\nA;B;C;\r\n") << ";" << true << QList<QStringList> { record("1", "A", "B", "C") };
    QTest::newRow("columns the design does not use")
        << QByteArray("Telefon,Name,Ort,Kundennr.\r\n0221 123,A,K,17\r\n") << "," << true
        << QList<QStringList> { record("1", "A", "", "K") };

    // A quote inside an unquoted value is a character of it.
    QTest::newRow("inch marks inside values do not merge records")
        << QByteArray("Name;Straße;Ort\r\nRahmen 5\";B;C\r\nRahmen 7\";D;E\r\n") << ";" << true
        << QList<QStringList> { record("1", "Rahmen 5\"", "B", "C"), record("1", "Rahmen 7\"", "D", "E") };
    QTest::newRow("quotes in the middle, quoted value after them")
        << QByteArray("Name;Ort\r\nBilderrahmen 5\" x 7\";\"K\u00F6ln; Rhein\"\r\n") << ";" << true
        << QList<QStringList> { record(
               "1", "Bilderrahmen 5\" x 7\"", "", QStringLiteral("K\u00F6ln; Rhein")) };
    QTest::newRow("a quote in a header title") << QByteArray("Zoll\";Wer;Wo;Stadt\r\n4;A;B;C\r\n") << ";"
                                               << false << QList<QStringList> { record("4", "A", "B", "C") };

    // UTF-16 with its byte order mark, as Excel saves "Unicode-Text".
    const QString unicodeText
        = QStringLiteral("Name\tOrt\r\nJ\u00FCrgen \u0141\u00F3d\u017A\tK\u00F6ln \U0001F600\r\n");
    const QList<QStringList> unicodeRecords = { record(
        "1", QStringLiteral("J\u00FCrgen \u0141\u00F3d\u017A"), "", QStringLiteral("K\u00F6ln \U0001F600")) };
    QTest::newRow("UTF-16 little endian, tabs") << utf16(unicodeText, true) << "\t" << true << unicodeRecords;
    QTest::newRow("UTF-16 big endian, tabs") << utf16(unicodeText, false) << "\t" << true << unicodeRecords;

    // Rows of separators above the header, as some exports write them.
    QTest::newRow("a row of separators before the header")
        << QByteArray(";;\r\nName;Straße;Ort\r\nA;B;C\r\n") << ";" << true
        << QList<QStringList> { record("1", "A", "B", "C") };
    QTest::newRow("rows of other separators and blanks before the header")
        << QByteArray(",,\r\n\r\n ; \t\r\nOrt;Name\r\nK;A\r\n") << ";" << true
        << QList<QStringList> { record("1", "A", "", "K") };

    // The separator counts outside quotes only, however many others the
    // quoted titles hold.
    QTest::newRow("quoted titles full of commas, semicolons between")
        << QByteArray("\"Wer, wo, wann\";\"Was, wie\";Stadt\r\nA;B;C\r\n") << ";" << false
        << QList<QStringList> { record("1", "A", "B", "C") };
    QTest::newRow("quoted titles full of semicolons, tabs between")
        << QByteArray("\"a;b;c\"\t\"d;e\"\tf\r\nA\tB\tC\r\n") << "\t" << false
        << QList<QStringList> { record("1", "A", "B", "C") };
    QTest::newRow("doubled quotes inside a quoted title")
        << QByteArray("\"5\"\";\"\";\"\" x\",B,C\r\nA,B,C\r\n") << "," << false
        << QList<QStringList> { record("1", "A", "B", "C") };
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
                  readFileBytes(test::fixturesDir() + QStringLiteral("/printing/csv_semicolon_cp1252_reordered.csv")));
    QCOMPARE(read.separator, QChar(u';'));
    QVERIFY(read.byName);
    QVERIFY(read.copiesColumn);
    QCOMPARE(read.records,
        (QList<QStringList> { record("2", QStringLiteral("Erika Müller"), QStringLiteral("Heidestraße 17"),
                                  QStringLiteral("Köln")),
            record("1", "Meier, Hans", "Am Markt 3", QStringLiteral("München")) }));
}

void TestCsvRecords::columnsThatNameNoFieldAreLeftOut_data()
{
    QTest::addColumn<QByteArray>("csv");
    QTest::addColumn<QStringList>("ignored");
    QTest::newRow("every column a field") << QByteArray("Anzahl;Name;Ort\r\n") << QStringList();
    QTest::newRow("trailing separator")
        << QByteArray("Name;Ort;\r\n") << QStringList { "Spalte 3 (ohne Titel)" };
    QTest::newRow("two extra columns")
        << QByteArray("Telefon,Name, Fax \r\n") << QStringList { "„Telefon“", "„Fax“" };
    QTest::newRow("no title names a field: by position") << QByteArray("A;B;C\r\n") << QStringList();
}

void TestCsvRecords::columnsThatNameNoFieldAreLeftOut()
{
    QFETCH(QByteArray, csv);
    QFETCH(QStringList, ignored);
    const CsvRecordReader reader(addressFields());
    QCOMPARE(reader.read(csv).ignoredColumns, ignored);
    CsvRecordStream stream(reader, csv);
    QCOMPARE(stream.ignoredColumns(), ignored);
}

void TestCsvRecords::errorsNameLineAndColumn_data()
{
    QTest::addColumn<QByteArray>("csv");
    QTest::addColumn<QString>("message");
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
    QTest::newRow("value one character longer than its field")
        << QByteArray("Name;Ort\r\nA;Rheda-Wiedenbrck\r\n")
        << "Zeile 2, Spalte 2: Der Wert für „Ort“ hat 16 Zeichen, das Feld fasst höchstens 15.";
    QTest::newRow("cp1252 value one character longer than its field")
        << QByteArray("Name;Ort\r\nA;\x80\x80\x80\x80\x80\x80\x80\x80\x80\x80\x80\x80\x80\x80\x80\x80\r\n")
        << "Zeile 2, Spalte 2: Der Wert für „Ort“ hat 16 Zeichen, das Feld fasst höchstens 15.";
    QTest::newRow("value longer than its field")
        << QByteArray("Name;Ort\r\nA;Garmisch-Partenkirchen\r\n")
        << "Zeile 2, Spalte 2: Der Wert für „Ort“ hat 22 Zeichen, das Feld fasst höchstens 15.";
    QTest::newRow("value beyond the last field by position") << QByteArray(
        "A,B,C,D,E\r\n1,a,b,c,d\r\n") << "Zeile 2, Spalte 5: Das Etikett hat nur 3 Datenfelder.";
    QTest::newRow("open quote") << QByteArray("Name,Ort\r\nA,\"abc\r\n")
                                << "Zeile 2, Spalte 2: Der Wert endet nicht";
    QTest::newRow("a line of separators only")
        << QByteArray("Anzahl,Name,Ort\r\n1,A,B\r\n,\r\n2,C,D\r\n")
        << "Zeile 3: Die Zeile enthält nur Trennzeichen und keinen Wert.";
    QTest::newRow("semicolons only, after a blank line")
        << QByteArray("Name;Ort;Straße\r\n\r\n;;\r\n") << "Zeile 3: Die Zeile enthält nur Trennzeichen";
    QTest::newRow("separators only at the end without a line end")
        << QByteArray("Name;Ort\nA;B\n;") << "Zeile 3: Die Zeile enthält nur Trennzeichen";
    // Lines far beyond any field or header are counted, not held, and still
    // reported with their real length.
    QTest::newRow("a quoted value of 200,000 characters")
        << QByteArray("Name;Ort\r\nA;\"" + QByteArray(200000, 'x') + "\"\r\n")
        << "Zeile 2, Spalte 2: Der Wert für „Ort“ hat 200000 Zeichen, das Feld fasst höchstens 15.";
    QTest::newRow("a line of 5,000 values")
        << QByteArray("Name;Ort\r\nA" + QByteArray(4999, ';') + "\r\n")
        << "Zeile 2: 5000 Werte, die Kopfzeile hat aber nur 2 Spalten.";
    QTest::newRow("a header of 2,000 columns")
        << QByteArray("Name" + QByteArray(1999, ',') + "\r\n")
        << "Zeile 1: Die Kopfzeile hat 2000 Spalten, höchstens 1024 sind möglich.";
    QTest::newRow("the header after a row of separators is named by its line")
        << QByteArray(";;\r\nName;Ort;name\r\n") << "Zeile 2, Spalte 3: „name“ steht schon in Spalte 1.";

    // Files that are no text are refused, never read as blank records.
    QTest::newRow("a dBASE table")
        << QByteArray("\x03\x7C\x0C\x0B\x02\x00\x00\x00\x61\x00\x0B\x00", 12) + QByteArray(20, '\0')
            + QByteArray("NAME\0\0\0\0\0\0\0C", 12)
        << "Zeile 1: Die Datei enthält das Steuerzeichen 03 (hexadezimal); sie ist keine Textdatei und wird "
           "nicht als CSV-Datei gelesen.";
    QTest::newRow("NUL bytes in the header")
        << QByteArray("Name;Ort") + QByteArray(4, '\0') + QByteArray("\r\nA;B\r\n")
        << "Zeile 1: Die Datei enthält Null-Bytes; sie ist keine Textdatei und wird nicht als CSV-Datei "
           "gelesen.";
    QTest::newRow("a PDF document")
        << QByteArray("%PDF-1.4\n%\xE2\xE3\xCF\xD3\n1 0 obj\n<< /Length 4 /Filter /FlateDecode >>\nstream\r\n"
                      "x\x9C\x03\x01\nendstream\n")
        << "Zeile 6: Die Datei enthält das Steuerzeichen 03 (hexadezimal); sie ist keine Textdatei";
    QTest::newRow("a NUL byte far down, after quoted line ends")
        << QByteArray("Name;Ort\r\nA;\"B\r\nC\"\r\nD;\rE;F") + QByteArray(1, '\0') + QByteArray("\r\n")
        << "Zeile 5: Die Datei enthält Null-Bytes";
    QTest::newRow("UTF-16 without the second byte of its last character")
        << utf16(QStringLiteral("Name\r\nA\r\n"), true) + QByteArray("B")
        << "Zeile 3: Die Datei ist als UTF-16 gekennzeichnet, endet aber mitten in einem Zeichen.";
    QTest::newRow("UTF-16 with half of a pair of surrogates")
        << utf16(QStringLiteral("Name\r\nA\r\nB") + QChar(0xD83D) + QStringLiteral("C\r\n"), true)
        << "Zeile 3: Die Datei ist als UTF-16 gekennzeichnet, enthält aber ein Zeichen, das es in UTF-16 "
           "nicht gibt";
    QTest::newRow("UTF-16 with a NUL character") << utf16(QStringLiteral("Name\r\nA"), false)
            + QByteArray(2, '\0') << "Zeile 2: Die Datei enthält Null-Bytes";
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

namespace {

// Records of UTF-8 text, mostly of three- and four-byte characters, with
// quoted line ends and CR LF pairs; `shift` bytes more in the first record
// move every chunk border of the stream to another place in them.
QByteArray manyRecords(int count, int shift, QList<QStringList> &expected)
{
    QByteArray csv("Anzahl;Name;Stra\xC3\x9F"
                   "e;Ort\r\n");
    for (int i = 0; i < count; ++i) {
        const QString name = QString(i == 0 ? shift : 0, u'x') + QStringLiteral("\u20AC").repeated(i % 7)
            + QStringLiteral("M\u00FCller%1").arg(i);
        const QString street
            = i % 3 == 0 ? QStringLiteral("Zeile\r\n\"%1\"").arg(i) : QStringLiteral("Weg %1").arg(i);
        const QString town = QStringLiteral("\U0001F600").repeated(i % 8);
        QString line = QString::number(i % 4) + u';' + name + u';';
        line += i % 3 == 0 ? QStringLiteral("\"Zeile\r\n\"\"%1\"\"\"").arg(i) : street;
        line += u';' + town + QStringLiteral("\r\n");
        csv += line.toUtf8();
        expected.append(record(QString::number(i % 4), name, street, town));
    }
    return csv;
}

QString writeTemporary(QTemporaryDir &dir, const QByteArray &bytes)
{
    const QString path = dir.filePath(QStringLiteral("records.csv"));
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly) || file.write(bytes) != bytes.size())
        return {};
    return path;
}

} // namespace

void TestCsvRecords::streamsAcrossChunks()
{
    for (int shift = 0; shift < 8; ++shift) {
        QList<QStringList> expected;
        const QByteArray csv = manyRecords(4000, shift, expected);
        QVERIFY(csv.size() > 3 * 65536);
        CsvRecordStream stream(CsvRecordReader(addressFields()), csv);
        QStringList got;
        int k = 0;
        while (stream.next(got)) {
            QVERIFY2(k < expected.size(), "more records than written");
            if (got != expected[k])
                QFAIL(qPrintable(
                    QStringLiteral("shift %1, record %2: %3").arg(shift).arg(k + 1).arg(got.join(u'|'))));
            ++k;
        }
        QCOMPARE(k, expected.size());
    }
}

void TestCsvRecords::encodingIsDecidedOnTheWholeFile_data()
{
    QTest::addColumn<QByteArray>("tail");
    QTest::addColumn<QString>("town");
    // "K\xC3\xB6ln" is UTF-8 for "Köln", and cp1252 for "KÃ¶ln".
    QTest::newRow("UTF-8 throughout") << QByteArray("2,B\r\n") << QStringLiteral("Köln");
    QTest::newRow("a cp1252 byte far down") << QByteArray("2,\xE4\r\n") << QStringLiteral("K\u00C3\u00B6ln");
    QTest::newRow("a character cut off at the end")
        << QByteArray("2,\xC3") << QStringLiteral("K\u00C3\u00B6ln");
}

void TestCsvRecords::encodingIsDecidedOnTheWholeFile()
{
    QFETCH(QByteArray, tail);
    QFETCH(QString, town);
    QByteArray csv("Anzahl,Ort\r\n1,K\xC3\xB6ln\r\n");
    for (int i = 0; i < 20000; ++i)
        csv += "1,X\r\n";
    csv += tail;
    CsvRecordStream stream(CsvRecordReader(addressFields()), csv);
    QStringList first;
    QVERIFY(stream.next(first));
    QCOMPARE(first.value(3), town);
}

void TestCsvRecords::errorFarDownNamesItsLine()
{
    QByteArray csv("Name;Ort\r\n");
    for (int i = 0; i < 30000; ++i)
        csv += i % 2 ? "A;\"B\nC\"\r\n" : "A;B\r\n"; // two lines every other record
    csv += "A;B;C\r\n";
    CsvRecordStream stream(CsvRecordReader(addressFields()), csv);
    QStringList got;
    int records = 0;
    try {
        while (stream.next(got))
            ++records;
        QFAIL("no error");
    } catch (const Error &e) {
        QCOMPARE(e.message(), QStringLiteral("Zeile 45002: 3 Werte, die Kopfzeile hat aber nur 2 Spalten."));
    }
    QCOMPARE(records, 30000);
}

void TestCsvRecords::readsAFileAndRewinds()
{
    const CsvRecordReader reader(addressFields());
    const auto file = CsvRecordStream::fromFile(
        reader, test::fixturesDir() + QStringLiteral("/printing/csv_semicolon_cp1252_reordered.csv"));
    CsvRecordStream &stream = *file;
    QCOMPARE(stream.separator(), QChar(u';'));
    QVERIFY(stream.byName());
    QVERIFY(stream.copiesColumn());
    for (int pass = 0; pass < 2; ++pass) {
        QList<QStringList> read;
        QStringList got;
        while (stream.next(got))
            read.append(got);
        QCOMPARE(read.size(), 2);
        QCOMPARE(read[0],
            record("2", QStringLiteral("Erika Müller"), QStringLiteral("Heidestraße 17"),
                QStringLiteral("Köln")));
        stream.rewind();
    }
}

void TestCsvRecords::refusesFilesItMustNotRead()
{
    const CsvRecordReader reader(addressFields());
    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    const QString path = writeTemporary(dir, QByteArray("Name\r\n").repeated(100));
    QVERIFY(!path.isEmpty());
    const QList<std::pair<QString, qint64>> cases
        = { { dir.path(), MaxRecordFileBytes }, { QStringLiteral("/dev/zero"), MaxRecordFileBytes },
              { path, 599 }, { dir.filePath(QStringLiteral("missing.csv")), MaxRecordFileBytes } };
    const QStringList messages
        = { QStringLiteral("ist ein Verzeichnis"), QStringLiteral("keine gewöhnliche Datei"),
              QStringLiteral("größer als 0 MB"), QStringLiteral("missing.csv: ") };
    for (qsizetype k = 0; k < cases.size(); ++k) {
        try {
            CsvRecordStream::fromFile(reader, cases[k].first, cases[k].second);
            QFAIL(qPrintable(cases[k].first));
        } catch (const IoError &e) {
            QVERIFY2(e.message().contains(messages[k]), qPrintable(e.message()));
        }
    }
    const auto whole = CsvRecordStream::fromFile(reader, path, 600);
    QStringList got;
    int records = 0;
    while (whole->next(got))
        ++records;
    QCOMPARE(records, 99);
}

QTEST_GUILESS_MAIN(TestCsvRecords)
#include "TestCsvRecords.moc"
