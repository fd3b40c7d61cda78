#include "data/tablecreation.h"
#include "designs/printdesign.h"
#include "platform/errors.h"

#include <QTest>

using namespace qm;

namespace {

// The field list as the design loader fills it from an ETI file.
StringTable fieldListOf(const QStringList &etiLines)
{
    PrintDesign design;
    StringTable fieldList(1, 3);
    FieldGrids grids;
    grids.fieldGrid = &fieldList;
    readPrintDesignLines(etiLines, QStringLiteral("test.eti"), design, grids);
    return fieldList;
}

} // namespace

class TestTableCreation : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void fieldsFromTheDesign_data();
    void fieldsFromTheDesign();
    void warnings_data();
    void warnings();
    void serialNumberGapIsRefused();
};

void TestTableCreation::fieldsFromTheDesign_data()
{
    QTest::addColumn<QStringList>("eti");
    QTest::addColumn<QList<TableField>>("fields");
    QTest::newRow("Name 20 and Ort 15 in order")
        << QStringList({ "NA,Adresse", "EF,10,10,20,Name", "EF,10,40,15,Ort" })
        << QList<TableField>({ { "Name", 20 }, { "Ort", 15 } });
    QTest::newRow("size 6 is read up to the blank")
        << QStringList({ "EF,10,10,6,PLZ" }) << QList<TableField>({ { "PLZ", 6 } });
    QTest::newRow("three digits: only the first two count")
        << QStringList({ "EF,10,10,120,Lang" }) << QList<TableField>({ { "Lang", 12 } });
}

void TestTableCreation::fieldsFromTheDesign()
{
    QFETCH(QStringList, eti);
    QFETCH(QList<TableField>, fields);
    QCOMPARE(tablecreation::fieldsFromList(fieldListOf(eti)), fields);
}

void TestTableCreation::warnings_data()
{
    QTest::addColumn<QStringList>("eti");
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("warning");
    QTest::newRow("no name") << QStringList({ "EF,1,1,5,A" }) << ""
                             << "Bitte bestimmen Sie zunächst den Namen der Datenbank !";
    QTest::newRow("only a serial number")
        << QStringList({ "SE,1,1,1,Nr.," }) << "x.dbf"
        << "Etikett besitzt keine Felder, Datenbank kann nicht erstellt werden.";
    QTest::newRow("fine") << QStringList({ "EF,1,1,5,A" }) << "x.dbf"
                          << "";
}

void TestTableCreation::warnings()
{
    QFETCH(QStringList, eti);
    QFETCH(QString, name);
    QFETCH(QString, warning);
    QCOMPARE(tablecreation::warning(name, fieldListOf(eti)).value_or(QString()), warning);
}

void TestTableCreation::serialNumberGapIsRefused()
{
    const StringTable list = fieldListOf({ "EF,1,1,5,A", "SE,1,1,1,Nr.,", "EF,1,1,5,B" });
    QCOMPARE(list.colCount(), 4);
    QVERIFY_THROWS_EXCEPTION(Error, tablecreation::fieldsFromList(list));
}

QTEST_GUILESS_MAIN(TestTableCreation)
#include "TestTableCreation.moc"
