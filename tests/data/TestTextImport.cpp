#include "data/shapelibtable.h"
#include "testpaths.h"
#include "data/textimport.h"
#include "platform/errors.h"
#include "tablerecords.h"

#include <QFile>
#include <QTemporaryDir>
#include <QTest>

using namespace qm;
using test::allRecords;

namespace {

QString fixture(const char *name)
{
    return test::fixturesDir() + QStringLiteral("/data/") + QLatin1String(name);
}

QList<TableField> threeFields()
{
    return { { QStringLiteral("Name"), 8 }, { QStringLiteral("Ort"), 8 }, { QStringLiteral("PLZ"), 5 } };
}

} // namespace

class TestTextImport : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void init();
    void blocksBecomeRecords_data();
    void blocksBecomeRecords();
    void encodingsAndLineEnds_data();
    void encodingsAndLineEnds();
    void characterOutsideCp1252ImportsNothing();
    void windows1252HighBytesReachTheFileAtOnce();
    void nulCharacterImportsNothing();
    void typedFieldsTakeOnlyTheirValues_data();
    void typedFieldsTakeOnlyTheirValues();
    void valuesLongerThanTheirFieldAreCutAndCounted();
    void linesPerRecordRule_data();
    void linesPerRecordRule();
    void linesPerRecordOutsideTheTableIsRefused();
    void previewShowsTheFirstRecord();
    void missingOrFolderIsAnError();

private:
    QTemporaryDir m_dir;
    std::unique_ptr<ShapelibTable> m_table;
};

void TestTextImport::init()
{
    m_table = std::make_unique<ShapelibTable>();
    m_table->create(m_dir.filePath(QStringLiteral("import.dbf")), threeFields());
}

void TestTextImport::blocksBecomeRecords_data()
{
    QTest::addColumn<QString>("file");
    QTest::addColumn<int>("linesPerRecord");
    QTest::addColumn<bool>("skipLeadLine");
    QTest::addColumn<QList<QStringList>>("records");
    QTest::newRow("7 lines, 3 per record: last record cut short")
        << fixture("seven_lines_three_fields.txt") << 3 << false
        << QList<QStringList>(
               { { "Anna", "Bonn", "53111" }, { "Bernd", "Ulm", "89073" }, { "Carla", "", "" } });
    QTest::newRow("16-bit file: the lead line of each block is dropped")
        << fixture("sixteen_bit_eight_lines.dbk") << 3 << true
        << QList<QStringList>({ { "A1", "A2", "A3" }, { "B1", "B2", "B3" } });
    QTest::newRow("fewer lines per record than fields leave the rest empty")
        << fixture("seven_lines_three_fields.txt") << 2 << false
        << QList<QStringList>({ { "Anna", "Bonn", "" }, { "53111", "Bernd", "" }, { "Ulm", "89073", "" },
               { "Carla", "", "" } });
    QTest::newRow("empty file appends nothing") << fixture("empty.txt") << 3 << false << QList<QStringList>();
}

void TestTextImport::blocksBecomeRecords()
{
    QFETCH(QString, file);
    QFETCH(int, linesPerRecord);
    QFETCH(bool, skipLeadLine);
    QFETCH(QList<QStringList>, records);
    const ImportResult result
        = textimport::importLines(*m_table, textimport::readImportLines(file), linesPerRecord, skipLeadLine);
    QCOMPARE(result.records, records.size());
    QCOMPARE(allRecords(*m_table), records);
    QCOMPARE(textimport::completionMessage(result),
        QStringLiteral("Importieren der Daten wurde korrekt abgeschlossen."));
}

void TestTextImport::encodingsAndLineEnds_data()
{
    QTest::addColumn<QString>("file");
    QTest::newRow("Windows-1252 with CR LF") << fixture("cp1252_crlf.txt");
    QTest::newRow("UTF-8 with byte order mark and LF") << fixture("utf8_bom_lf.txt");
    QTest::newRow("Windows-1252 with lone CR") << fixture("cp1252_lone_cr.txt");
}

void TestTextImport::encodingsAndLineEnds()
{
    QFETCH(QString, file);
    textimport::importLines(*m_table, textimport::readImportLines(file), 2, false);
    QCOMPARE(allRecords(*m_table), QList<QStringList>({ { "Jürgen", "Köln", "" } }));
}

void TestTextImport::characterOutsideCp1252ImportsNothing()
{
    const QStringList lines = textimport::readImportLines(fixture("utf8_outside_cp1252.txt"));
    QCOMPARE(lines, QStringList({ "Jürgen", "Z\u0142oty" }));
    try {
        textimport::importLines(*m_table, lines, 1, false);
        QFAIL("imported");
    } catch (const EncodingError &e) {
        QVERIFY2(e.message().contains(QStringLiteral("Zeile 2")), qPrintable(e.message()));
    }
    QCOMPARE(m_table->recordCount(), 0);
}

// The bytes 0x80 to 0x9F, where Windows-1252 and Latin-1 differ, are read
// as their characters and written back as the same bytes; and the file on
// disk holds the imported records (its header's count included) while the
// table is still open, so a copy or a kill loses nothing.
void TestTextImport::windows1252HighBytesReachTheFileAtOnce()
{
    const QString text = m_dir.filePath(QStringLiteral("hoch.txt"));
    QFile file(text);
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write("\x80\x84\x93\x85\r\n\x8A\x9A\x8C\x9C\r\n\x99\x95\x96\r\n");
    file.close();
    const ImportResult result
        = textimport::importLines(*m_table, textimport::readImportLines(text), 3, false);
    QCOMPARE(result.records, 1);
    const QStringList expected { QStringLiteral("€„“…"), QStringLiteral("ŠšŒœ"), QStringLiteral("™•–") };
    QCOMPARE(allRecords(*m_table), QList<QStringList> { expected });

    QVERIFY(m_table->isOpen());
    const QString copy = m_dir.filePath(QStringLiteral("kopie.dbf"));
    QVERIFY(QFile::copy(m_dir.filePath(QStringLiteral("import.dbf")), copy));
    QFile raw(copy);
    QVERIFY(raw.open(QIODevice::ReadOnly));
    const QByteArray bytes = raw.readAll();
    QCOMPARE(quint8(bytes.at(4)) | quint8(bytes.at(5)) << 8, 1); // the header's record count
    QVERIFY(bytes.contains("\x80\x84\x93\x85"));
    QVERIFY(bytes.contains("\x99\x95\x96"));
    ShapelibTable other;
    other.open(copy);
    QCOMPARE(other.recordCount(), 1);
    QCOMPARE(other.readRecord(0), expected);
}

void TestTextImport::nulCharacterImportsNothing()
{
    const QStringList lines = textimport::readImportLines(fixture("nul_in_value.txt"));
    try {
        textimport::importLines(*m_table, lines, 1, false);
        QFAIL("imported");
    } catch (const Error &e) {
        QVERIFY2(e.message().contains(QStringLiteral("Zeile 2")), qPrintable(e.message()));
    }
    QCOMPARE(m_table->recordCount(), 0);
}

void TestTextImport::typedFieldsTakeOnlyTheirValues_data()
{
    QTest::addColumn<int>("field");
    QTest::addColumn<QString>("value");
    QTest::addColumn<QString>("stored"); // empty: refused
    QTest::newRow("number") << 0 << "12,5"
                            << "   12.50";
    QTest::newRow("negative number") << 0 << "-3"
                                     << "   -3.00";
    QTest::newRow("text in a number") << 0 << "keine Za"
                                      << "";
    QTest::newRow("number too wide") << 0 << "1234567"
                                     << "";
    QTest::newRow("too many places") << 0 << "1.234"
                                     << "";
    QTest::newRow("German date") << 1 << "24.12.2026"
                                 << "20261224";
    QTest::newRow("dBASE date") << 1 << "20261224"
                                << "20261224";
    QTest::newRow("no such day") << 1 << "31.02.2026"
                                 << "";
    QTest::newRow("text in a date") << 1 << "morgen"
                                    << "";
    QTest::newRow("logical J") << 2 << "j"
                               << "T";
    QTest::newRow("logical N") << 2 << "N"
                               << "F";
    QTest::newRow("logical ja") << 2 << "ja"
                                << "T";
    QTest::newRow("logical Nein") << 2 << "Nein"
                                  << "F";
    QTest::newRow("logical vielleicht") << 2 << "vielleicht"
                                        << "";
    QTest::newRow("text in a logical") << 2 << "v"
                                       << "";
    QTest::newRow("memo") << 3 << "Notiz"
                          << "";
    QTest::newRow("character") << 4 << "frei 1,5"
                               << "frei 1,5";
}

// Numbers, dates and logical values as dBASE stores them; a value the type
// cannot hold stops the import with line and field, before anything is
// written.
void TestTextImport::typedFieldsTakeOnlyTheirValues()
{
    QFETCH(int, field);
    QFETCH(QString, value);
    QFETCH(QString, stored);
    const QList<TableField> fields { { "Betrag", 8, 'N', 2 }, { "Datum", 8, 'D' }, { "Bezahlt", 1, 'L' },
        { "Notiz", 10, 'M' }, { "Name", 10, 'C' } };
    QByteArray header = buildDbfHeader(fields, 2026, 12, 10);
    for (int i = 0; i < fields.size(); ++i) {
        header[32 + 32 * i + 11] = fields[i].type;
        header[32 + 32 * i + 17] = char(fields[i].decimals);
    }
    const QString path = m_dir.filePath(QStringLiteral("typed.dbf"));
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly) && file.write(header) == header.size());
    file.close();
    m_table->open(path);
    QCOMPARE(m_table->fields(), fields);

    QStringList lines(fields.size());
    lines[field] = value;
    if (stored.isEmpty()) {
        try {
            textimport::importLines(*m_table, lines + lines, int(fields.size()), false);
            QFAIL("imported");
        } catch (const Error &e) {
            const QString where = QStringLiteral("Zeile %1, Feld %2").arg(field + 1).arg(fields[field].name);
            QVERIFY2(e.message().startsWith(where), qPrintable(e.message()));
        }
        QCOMPARE(m_table->recordCount(), 0);
        return;
    }
    textimport::importLines(*m_table, lines, int(fields.size()), false);
    QCOMPARE(m_table->readRecord(0).value(field), stored);
}

void TestTextImport::valuesLongerThanTheirFieldAreCutAndCounted()
{
    const QStringList lines { "Maximiliane", "Oberammergau", "12345", "Eva", "Ulm", "123456" };
    const ImportResult result = textimport::importLines(*m_table, lines, 3, false);
    QCOMPARE(result.records, 2);
    QCOMPARE(result.cutValues, 3);
    QCOMPARE(allRecords(*m_table)[0], QStringList({ "Maximili", "Oberamme", "12345" }));
    QCOMPARE(textimport::completionMessage(result),
        QStringLiteral("Importieren der Daten wurde korrekt abgeschlossen.\n"
                       "3 Werte waren länger als ihr Feld und wurden gekürzt."));
}

void TestTextImport::linesPerRecordRule_data()
{
    QTest::addColumn<QString>("typed");
    QTest::addColumn<QString>("after");
    QTest::addColumn<QString>("message");
    QTest::newRow("empty becomes 1") << ""
                                     << "1"
                                     << "";
    QTest::newRow("plain form") << " 002"
                                << "2"
                                << "";
    QTest::newRow("above the field count") << "4"
                                           << "3"
                                           << "Datenbank hat maximal 3 Felder.";
}

void TestTextImport::linesPerRecordRule()
{
    QFETCH(QString, typed);
    QFETCH(QString, after);
    QFETCH(QString, message);
    const std::optional<QString> shown = textimport::checkLinesPerRecord(typed, 3);
    QCOMPARE(typed, after);
    QCOMPARE(shown.value_or(QString()), message);
}

void TestTextImport::linesPerRecordOutsideTheTableIsRefused()
{
    QString text = QStringLiteral("x");
    QVERIFY_THROWS_EXCEPTION(ConvertError, textimport::checkLinesPerRecord(text, 3));
    QVERIFY_THROWS_EXCEPTION(Error, textimport::importLines(*m_table, { "a" }, 0, false));
    QVERIFY_THROWS_EXCEPTION(Error, textimport::importLines(*m_table, { "a" }, 4, false));
    QCOMPARE(m_table->recordCount(), 0);
}

void TestTextImport::previewShowsTheFirstRecord()
{
    const QStringList lines = textimport::readImportLines(fixture("sixteen_bit_eight_lines.dbk"));
    QCOMPARE(textimport::previewLines(lines, 3, true), QStringList({ "A1", "A2", "A3" }));
    QCOMPARE(textimport::previewLines(lines, 2, false), QStringList({ "kopf1", "A1" }));
}

void TestTextImport::missingOrFolderIsAnError()
{
    QVERIFY_THROWS_EXCEPTION(
        IoError, textimport::readImportLines(m_dir.filePath(QStringLiteral("fehlt.txt"))));
    QVERIFY_THROWS_EXCEPTION(IoError, textimport::readImportLines(m_dir.path()));
}

QTEST_GUILESS_MAIN(TestTextImport)
#include "TestTextImport.moc"
