#include "data/shapelibtable.h"
#include "data/tablemodel.h"
#include "data/textimport.h"
#include "platform/cp1252.h"
#include "testfiles.h"

#include <QFile>
#include <QProcess>
#include <QSignalSpy>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>

using namespace qm;

namespace {

QList<TableField> addressFields()
{
    return { { QStringLiteral("Name"), 10 }, { QStringLiteral("Ort"), 6 } };
}

QByteArray cp1252(const QString &text)
{
    QByteArray out;
    encodeCp1252(text, out);
    return out;
}

// A table file written byte by byte: one field NAME of width 5 and the
// records given (each 5 bytes after its flag).
QByteArray handMadeTable(
    const QList<QByteArray> &records, quint32 claimedRecords, int width = 5, int recordLength = -1)
{
    QByteArray b(32, '\0');
    b[0] = 0x03;
    const int headerLength = 32 + 32 + 1;
    if (recordLength < 0)
        recordLength = 1 + width;
    b[4] = char(claimedRecords & 0xff);
    b[5] = char((claimedRecords >> 8) & 0xff);
    b[6] = char((claimedRecords >> 16) & 0xff);
    b[7] = char((claimedRecords >> 24) & 0xff);
    b[8] = char(headerLength);
    b[10] = char(recordLength & 0xff);
    b[11] = char(recordLength >> 8);
    QByteArray field(32, '\0');
    field.replace(0, 4, "NAME");
    field[11] = 'C';
    field[16] = char(width);
    b += field;
    b += '\r';
    for (const QByteArray &r : records)
        b += r;
    b += char(0x1a);
    return b;
}

} // namespace

class TestTableEngine : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void init() { QVERIFY(m_dir.isValid()); }

    void createdFileHasTheHeaderOfDbase3();
    void valuesRoundTrip_data();
    void valuesRoundTrip();
    void cutValuesAreCounted();
    void characterOutsideCp1252IsRefusedWhole();
    void badFieldDefinitionsWriteNothing_data();
    void badFieldDefinitionsWriteNothing();
    void badFilesAreRefusedUnchanged_data();
    void badFilesAreRefusedUnchanged();
    void secondOpenerIsTold();
    void readersShareAndNeverWrite();
    void deletedRecordsAreMarkedAndHidden();
    void missingLibraryGivesTheEngineMessage();
    void fullDiskLeavesTheTableAsItWas_data();
    void fullDiskLeavesTheTableAsItWas();
    void dbfdumpReadsTheSameValues();

private:
    QString path(const QString &name) const { return m_dir.filePath(name); }
    QTemporaryDir m_dir;
};

void TestTableEngine::createdFileHasTheHeaderOfDbase3()
{
    const QString file = path(QStringLiteral("neu.dbf"));
    {
        ShapelibTable table;
        table.create(file, addressFields());
        QCOMPARE(fieldNames(table), QStringList({ QStringLiteral("Name"), QStringLiteral("Ort") }));
        QCOMPARE(table.recordCount(), 0);
        table.appendRecord({ QStringLiteral("Meier"), QStringLiteral("Bonn") });
        table.appendRecord({ QStringLiteral("Huber"), QStringLiteral("Ulm") });
        table.close();
    }
    const QByteArray bytes = test::contentOf(file);
    QCOMPARE(quint8(bytes[0]), quint8(0x03));
    QCOMPARE(quint8(bytes[4]), quint8(2)); // records
    QCOMPARE(quint8(bytes[8]) | quint8(bytes[9]) << 8, 32 + 2 * 32 + 1);
    QCOMPARE(quint8(bytes[10]), quint8(1 + 10 + 6));
    QCOMPARE(quint8(bytes[29]), quint8(0x57));
    QCOMPARE(bytes.mid(32, 4), QByteArray("Name"));
    QCOMPARE(bytes[32 + 11], 'C');
    QCOMPARE(quint8(bytes[32 + 16]), quint8(10));
    QCOMPARE(bytes.mid(97, 17), QByteArray(" Meier     Bonn  "));
    QCOMPARE(bytes.size(), 97 + 2 * 17 + 1);
    QCOMPARE(bytes.back(), char(0x1a));
}

void TestTableEngine::valuesRoundTrip_data()
{
    QTest::addColumn<QString>("value");
    QTest::addColumn<QByteArray>("stored");
    QTest::addColumn<QString>("readBack");
    QTest::newRow("umlauts") << QStringLiteral("Müßig") << cp1252(QStringLiteral("Müßig     "))
                             << QStringLiteral("Müßig");
    QTest::newRow("euro is 0x80") << QStringLiteral("5 €") << QByteArray("5 \x80       ")
                                  << QStringLiteral("5 €");
    QTest::newRow("blanks in front stay")
        << QStringLiteral("  zwei") << QByteArray("  zwei    ") << QStringLiteral("  zwei");
    QTest::newRow("blanks behind go")
        << QStringLiteral("a  ") << QByteArray("a         ") << QStringLiteral("a");
    QTest::newRow("full width") << QStringLiteral("0123456789") << QByteArray("0123456789")
                                << QStringLiteral("0123456789");
}

void TestTableEngine::valuesRoundTrip()
{
    QFETCH(QString, value);
    QFETCH(QByteArray, stored);
    QFETCH(QString, readBack);
    const QString file = path(QStringLiteral("rund.dbf"));
    {
        ShapelibTable table;
        table.create(file, addressFields());
        table.appendRecord({ value, QStringLiteral("x") });
    }
    QCOMPARE(test::contentOf(file).mid(98, 10), stored);
    ShapelibTable table;
    table.open(file);
    QCOMPARE(table.readRecord(0), QStringList({ readBack, QStringLiteral("x") }));
}

void TestTableEngine::cutValuesAreCounted()
{
    ShapelibTable table;
    table.create(path(QStringLiteral("kurz.dbf")), addressFields());
    QCOMPARE(table.appendRecord({ QStringLiteral("Maximiliane Mustermann"), QStringLiteral("Bonn") }), 1);
    QCOMPARE(
        table.appendRecord({ QStringLiteral("Maximiliane Mustermann"), QStringLiteral("Oberammergau") }), 2);
    QCOMPARE(table.appendRecord({ QStringLiteral("Eva") }), 0);
    QCOMPARE(table.readRecord(1), QStringList({ QStringLiteral("Maximilian"), QStringLiteral("Oberam") }));
    QCOMPARE(table.readRecord(2), QStringList({ QStringLiteral("Eva"), QString() }));
    QCOMPARE(table.writeRecord(2, { QStringLiteral("Eva"), QStringLiteral("Regensburg") }), 1);
    QCOMPARE(table.readRecord(2), QStringList({ QStringLiteral("Eva"), QStringLiteral("Regens") }));
}

void TestTableEngine::characterOutsideCp1252IsRefusedWhole()
{
    ShapelibTable table;
    table.create(path(QStringLiteral("zeichen.dbf")), addressFields());
    table.appendRecord({ QStringLiteral("Alt"), QStringLiteral("Alt") });
    QVERIFY_THROWS_EXCEPTION(EncodingError,
        table.writeRecord(0, { QStringLiteral("Neu"), QStringLiteral("\u0141\u00f3d\u017a") }));
    QVERIFY_THROWS_EXCEPTION(EncodingError, table.appendRecord({ QStringLiteral("\u4e2d") }));
    QCOMPARE(table.recordCount(), 1);
    QCOMPARE(table.readRecord(0), QStringList({ QStringLiteral("Alt"), QStringLiteral("Alt") }));
}

void TestTableEngine::badFieldDefinitionsWriteNothing_data()
{
    QTest::addColumn<QList<TableField>>("fields");
    QTest::newRow("no fields") << QList<TableField>();
    QTest::newRow("empty name (gap of a serial number)")
        << QList<TableField>({ { QStringLiteral("A"), 5 }, { QString(), 0 } });
    QTest::newRow("width 0") << QList<TableField>({ { QStringLiteral("A"), 0 } });
    QTest::newRow("width 255") << QList<TableField>({ { QStringLiteral("A"), 255 } });
    QTest::newRow("same name after cutting to 10") << QList<TableField>(
        { { QStringLiteral("Strasse_und_Nr"), 5 }, { QStringLiteral("Strasse_und_Ort"), 5 } });
    QTest::newRow("name outside cp1252") << QList<TableField>({ { QStringLiteral("\u4e2d"), 5 } });
}

void TestTableEngine::badFieldDefinitionsWriteNothing()
{
    QFETCH(QList<TableField>, fields);
    const QString file = path(QStringLiteral("falsch.dbf"));
    QVERIFY(test::writeBytes(file, "alt"));
    ShapelibTable table;
    QVERIFY_THROWS_EXCEPTION(Error, table.create(file, fields));
    QCOMPARE(test::contentOf(file), QByteArray("alt"));
    QVERIFY(!table.isOpen());
}

void TestTableEngine::badFilesAreRefusedUnchanged_data()
{
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<QString>("message");
    const QByteArray good = handMadeTable({ " Anna ", " Bernd" }, 2);
    QTest::newRow("text file") << QByteArray("NAME,ORT\r\nMeier,Bonn\r\n")
                               << QStringLiteral("keine gültige dBASE-Datenbank");
    QTest::newRow("empty") << QByteArray() << QStringLiteral("zu kurz");
    QTest::newRow("cut in the header") << good.left(50) << QStringLiteral("Kopf unvollständig");
    QTest::newRow("cut in the records") << good.left(good.size() - 4) << QStringLiteral("unvollständig");
    QTest::newRow("more records claimed") << handMadeTable({ " Anna " }, 3) << QStringLiteral("3 Datensätze");
    QTest::newRow("four billion records claimed")
        << handMadeTable({ " Anna " }, 0xffffffffu) << QStringLiteral("unvollständig");
    QTest::newRow("width 255") << handMadeTable({}, 0, 255) << QStringLiteral("Breite 255");
    QTest::newRow("width 0") << handMadeTable({}, 0, 0) << QStringLiteral("Breite 0");
    QTest::newRow("record length beyond fields") << handMadeTable({}, 0, 5, 9) << QStringLiteral("Satzlänge");
}

void TestTableEngine::badFilesAreRefusedUnchanged()
{
    QFETCH(QByteArray, bytes);
    QFETCH(QString, message);
    const QString file = path(QStringLiteral("kaputt.dbf"));
    QVERIFY(test::writeBytes(file, bytes));
    ShapelibTable table;
    try {
        table.open(file);
        QFAIL("opened");
    } catch (const Error &e) {
        QVERIFY2(e.message().contains(message), qPrintable(e.message()));
        QVERIFY(e.message().contains(file));
    }
    QVERIFY(!table.isOpen());
    QCOMPARE(test::contentOf(file), bytes);
}

void TestTableEngine::secondOpenerIsTold()
{
    const QString file = path(QStringLiteral("geteilt.dbf"));
    ShapelibTable first;
    first.create(file, addressFields());
    ShapelibTable second;
    try {
        second.open(file);
        QFAIL("opened twice");
    } catch (const Error &e) {
        QVERIFY2(e.message().contains(QStringLiteral("bereits in einem anderen Quillmark geöffnet")),
            qPrintable(e.message()));
    }
    QVERIFY_THROWS_EXCEPTION(Error, second.create(file, addressFields()));
    first.close();
    second.open(file);
    QVERIFY(second.isOpen());
    QVERIFY_THROWS_EXCEPTION(Error, second.open(m_dir.path())); // a folder
    QVERIFY(!second.isOpen());
}

void TestTableEngine::readersShareAndNeverWrite()
{
    const QString file = path(QStringLiteral("lesen.dbf"));
    {
        ShapelibTable table;
        table.create(file, addressFields());
        table.appendRecord({ "Anna" });
    }
    const QByteArray before = [&] {
        QFile f(file);
        return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
    }();
    ShapelibTable first;
    ShapelibTable second;
    first.open(file, TableAccess::ReadOnly);
    second.open(file, TableAccess::ReadOnly);
    QCOMPARE(second.readRecord(0).value(0), QStringLiteral("Anna"));
    QVERIFY_THROWS_EXCEPTION(Error, first.appendRecord({ "Bernd" }));
    QVERIFY_THROWS_EXCEPTION(Error, first.writeRecord(0, { "Bernd" }));
    QVERIFY_THROWS_EXCEPTION(Error, first.deleteRecord(0));
    // A writer waits until the readers are done.
    ShapelibTable writer;
    QVERIFY_THROWS_EXCEPTION(Error, writer.open(file));
    first.close();
    second.close();
    QFile f(file);
    QVERIFY(f.open(QIODevice::ReadOnly));
    QCOMPARE(f.readAll(), before);
    writer.open(file);
    QVERIFY(writer.isOpen());
}

void TestTableEngine::deletedRecordsAreMarkedAndHidden()
{
    const QString file = path(QStringLiteral("loeschen.dbf"));
    {
        ShapelibTable table;
        table.create(file, addressFields());
        for (const char *name : { "A", "B", "C" })
            table.appendRecord({ QString::fromLatin1(name) });
        table.deleteRecord(1);
        QCOMPARE(liveRecords(table), QList<int>({ 0, 2 }));
    }
    QCOMPARE(test::contentOf(file).at(97 + 17), '*');
    ShapelibTable table;
    table.open(file);
    QVERIFY(table.isDeleted(1));
    QCOMPARE(liveRecords(table), QList<int>({ 0, 2 }));
    table.writeRecord(1, { QStringLiteral("neu") });
    QVERIFY(table.isDeleted(1)); // editing keeps the mark
}

void TestTableEngine::missingLibraryGivesTheEngineMessage()
{
    const QString file = path(QStringLiteral("ohne.dbf"));
    ShapelibTable table("libquillmark-gibt-es-nicht.so.9");
    for (int attempt = 0; attempt < 2; ++attempt) {
        try {
            table.create(file, addressFields());
            QFAIL("created without the library");
        } catch (const EngineError &e) {
            QCOMPARE(e.code(), EngineError::LibraryNotLoaded);
            QCOMPARE(e.message(),
                QStringLiteral("Bei der Initialisierung der Borland Database Engine ist ein Fehler "
                               "aufgetreten (Fehler $2501)"));
        }
    }
    QVERIFY(!QFile::exists(file));
    QVERIFY_THROWS_EXCEPTION(EngineError, table.open(file));
}

void TestTableEngine::dbfdumpReadsTheSameValues()
{
    const QString dbfdump = QStandardPaths::findExecutable(QStringLiteral("dbfdump"));
    if (dbfdump.isEmpty())
        QSKIP("dbfdump (Debian package shapelib) is not installed");
    const QString file = path(QStringLiteral("dump.dbf"));
    {
        ShapelibTable table;
        table.create(file, addressFields());
        table.appendRecord({ QStringLiteral("Jürgen"), QStringLiteral("Köln") });
        table.appendRecord({ QStringLiteral("Zoë"), QStringLiteral("Gießen") });
        table.appendRecord({ QStringLiteral("weg"), QStringLiteral("weg") });
        table.deleteRecord(2);
    }
    QProcess process;
    process.start(dbfdump, { file });
    QVERIFY(process.waitForFinished(-1));
    QCOMPARE(process.exitCode(), 0);
    const QStringList lines = decodeCp1252(process.readAllStandardOutput()).split(QLatin1Char('\n'));
    QVERIFY(lines.size() >= 4);
    QCOMPARE(lines[0].simplified(), QStringLiteral("Name Ort"));
    QCOMPARE(lines[1].simplified(), QStringLiteral("Jürgen Köln"));
    QCOMPARE(lines[2].simplified(), QStringLiteral("Zoë Gießen"));
}

void TestTableEngine::fullDiskLeavesTheTableAsItWas_data()
{
    QTest::addColumn<QString>("writer");
    QTest::newRow("records appended, then flushed") << "append";
    QTest::newRow("text import") << "text import";
    QTest::newRow("a new row saved from the grid") << "grid";
}

// A write that finds the disk full (here: the file may not grow) leaves the
// table exactly as it was, header, records and size, says so in German, and
// the table opens as before.
void TestTableEngine::fullDiskLeavesTheTableAsItWas()
{
    QFETCH(QString, writer);
    const QString path = m_dir.filePath(QStringLiteral("voll.dbf"));
    ShapelibTable table;
    table.create(path, { { QStringLiteral("Name"), 200 }, { QStringLiteral("Ort"), 50 } });
    table.appendRecord({ "Anna", "Bonn" });
    table.flush();
    const QByteArray before = test::contentOf(path);
    const QString expected
        = QStringLiteral("Die Datenbank \"%1\" kann nicht geschrieben werden: Kapazität der "
                         "Diskette/Festplatte erschöpft. Sie bleibt, wie sie vorher war.")
              .arg(path);
    QString message;
    {
        const test::FileSizeLimit full(rlim_t(before.size()) + 100);
        try {
            if (writer == QLatin1String("append")) {
                for (int i = 0; i < 10; ++i)
                    table.appendRecord({ QStringLiteral("Kunde %1").arg(i), "Ulm" });
                table.flush();
            } else if (writer == QLatin1String("text import")) {
                textimport::importLines(table, { "Bernd", "Ulm", "Carla", "Köln" }, 2, false);
            } else {
                TableModel model(table);
                model.reload();
                QSignalSpy errors(&model, &TableModel::tableError);
                const int row = model.insertRow();
                QVERIFY(!model.setData(model.index(row, 0), QStringLiteral("Bernd")));
                QVERIFY(model.lastValueRefused());
                QCOMPARE(model.rowCount(), 2); // still the new row, not a record
                QCOMPARE(errors.size(), 1);
                message = errors[0][0].toString();
            }
        } catch (const Error &e) {
            message = e.message();
        }
    }
    QCOMPARE(message, expected);
    QCOMPARE(table.recordCount(), 1);
    QCOMPARE(table.readRecord(0), (QStringList { "Anna", "Bonn" }));
    table.close();
    QCOMPARE(test::contentOf(path), before);
    table.open(path);
    QCOMPARE(table.recordCount(), 1);
    // With room again the same writes go through.
    textimport::importLines(table, { "Bernd", "Ulm" }, 2, false);
    QCOMPARE(table.readRecord(1), (QStringList { "Bernd", "Ulm" }));
}

QTEST_GUILESS_MAIN(TestTableEngine)
#include "TestTableEngine.moc"
