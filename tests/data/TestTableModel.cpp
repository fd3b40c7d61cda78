#include "data/doubles/memorytable.h"
#include "data/tablemodel.h"

#include <QSignalSpy>
#include <QTest>

using namespace qm;

namespace {

// A table "kunden.dbf" with two fields and four records, the second one
// marked deleted.
void fill(MemoryTable &table)
{
    MemoryTable::File file;
    file.fields = { { "NAME", 6 }, { "ORT", 4 } };
    file.records = { { { "Anna", "Bonn" }, false }, { { "alt", "weg" }, true }, { { "Bernd", "Ulm" }, false },
        { { "Carla", "Köln" }, false } };
    table.files.insert(QStringLiteral("kunden.dbf"), file);
    table.open(QStringLiteral("kunden.dbf"));
}

} // namespace

class TestTableModel : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void showsLiveRecordsOnly();
    void editWritesTheRecordCutToItsWidth();
    void newRowBecomesARecordWithItsFirstValue();
    void deleteMarksTheRecord();
    void tableErrorsAreSignalledNotThrown();
    void typedFieldsTakeOnlyTheirValues_data();
    void typedFieldsTakeOnlyTheirValues();
};

void TestTableModel::typedFieldsTakeOnlyTheirValues_data()
{
    QTest::addColumn<int>("column");
    QTest::addColumn<QString>("value");
    QTest::addColumn<QString>("stored"); // empty: refused with a message
    QTest::newRow("number") << 0 << "7,5"
                            << "  7.5";
    QTest::newRow("text in a number") << 0 << "sieben"
                                      << "";
    QTest::newRow("date") << 1 << "01.03.2027"
                          << "20270301";
    QTest::newRow("no date") << 1 << "1.3."
                             << "";
    QTest::newRow("logical") << 2 << "y"
                             << "T";
    QTest::newRow("text in a logical") << 2 << "vielleicht"
                                       << "";
    QTest::newRow("memo") << 3 << "Text"
                          << "";
}

// The grid keeps the rules of the text import.
void TestTableModel::typedFieldsTakeOnlyTheirValues()
{
    QFETCH(int, column);
    QFETCH(QString, value);
    QFETCH(QString, stored);
    MemoryTable table;
    MemoryTable::File file;
    file.fields = { { "BETRAG", 5, 'N', 1 }, { "DATUM", 8, 'D' }, { "OK", 1, 'L' }, { "NOTIZ", 10, 'M' } };
    file.records = { { { "", "", "", "" }, false } };
    table.files.insert(QStringLiteral("typen.dbf"), file);
    table.open(QStringLiteral("typen.dbf"));
    TableModel model(table);
    model.reload();
    QSignalSpy errors(&model, &TableModel::tableError);
    QCOMPARE(model.setData(model.index(0, column), value), !stored.isEmpty());
    QCOMPARE(errors.count(), stored.isEmpty() ? 1 : 0);
    QCOMPARE(table.current().records[0].values.value(column), stored);
}

void TestTableModel::showsLiveRecordsOnly()
{
    MemoryTable table;
    fill(table);
    TableModel model(table);
    model.reload();
    QCOMPARE(model.rowCount(), 3);
    QCOMPARE(model.columnCount(), 2);
    QCOMPARE(model.headerData(1, Qt::Horizontal).toString(), QStringLiteral("ORT"));
    QCOMPARE(model.index(1, 0).data().toString(), QStringLiteral("Bernd"));
    QCOMPARE(model.recordOf(1), 2);
    QCOMPARE(model.widthOf(0), 6);
    table.close();
    model.reload();
    QCOMPARE(model.rowCount(), 0);
    QCOMPARE(model.columnCount(), 0);
}

void TestTableModel::editWritesTheRecordCutToItsWidth()
{
    MemoryTable table;
    fill(table);
    TableModel model(table);
    model.reload();
    QSignalSpy changed(&model, &TableModel::dataChanged);
    QVERIFY(model.setData(model.index(2, 1), QStringLiteral("Köln-Deutz")));
    QCOMPARE(changed.count(), 1);
    QCOMPARE(table.current().records[3].values, QStringList({ "Carla", "Köln" }));
    QCOMPARE(model.index(2, 1).data().toString(), QStringLiteral("Köln"));
    QVERIFY(!model.setData(model.index(2, 0), QStringLiteral("Carla"))); // unchanged
}

void TestTableModel::newRowBecomesARecordWithItsFirstValue()
{
    MemoryTable table;
    fill(table);
    TableModel model(table);
    model.reload();
    QCOMPARE(model.insertRow(), 3);
    QCOMPARE(model.insertRow(), 3); // one new row at a time
    QCOMPARE(model.rowCount(), 4);
    QCOMPARE(table.recordCount(), 4);
    model.cancelRow();
    QCOMPARE(model.rowCount(), 3);
    model.insertRow();
    QVERIFY(model.setData(model.index(3, 1), QStringLiteral("Gera")));
    QVERIFY(!model.hasNewRow());
    QCOMPARE(table.recordCount(), 5);
    QCOMPARE(table.readRecord(4), QStringList({ "", "Gera" }));
    QCOMPARE(model.recordOf(3), 4);
}

void TestTableModel::deleteMarksTheRecord()
{
    MemoryTable table;
    fill(table);
    TableModel model(table);
    model.reload();
    QVERIFY(model.deleteRow(0));
    QCOMPARE(model.rowCount(), 2);
    QVERIFY(table.isDeleted(0));
    QCOMPARE(table.recordCount(), 4);
    QCOMPARE(model.index(0, 0).data().toString(), QStringLiteral("Bernd"));
    QVERIFY(!model.deleteRow(7));
}

void TestTableModel::tableErrorsAreSignalledNotThrown()
{
    MemoryTable table;
    fill(table);
    TableModel model(table);
    model.reload();
    QSignalSpy errors(&model, &TableModel::tableError);
    table.failWrites = true;
    QVERIFY(!model.setData(model.index(0, 0), QStringLiteral("Berta")));
    QVERIFY(!model.deleteRow(0));
    QCOMPARE(errors.count(), 2);
    QCOMPARE(errors.first().first().toString(), QStringLiteral("Schreibfehler"));
    QCOMPARE(model.rowCount(), 3);
    QCOMPARE(model.index(0, 0).data().toString(), QStringLiteral("Anna"));
    QVERIFY(!table.isDeleted(0));
}

QTEST_GUILESS_MAIN(TestTableModel)
#include "TestTableModel.moc"
