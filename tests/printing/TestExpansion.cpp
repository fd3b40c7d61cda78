#include "platform/errors.h"
#include "printing/expansion.h"
#include "printing/layout.h"

#include <QTest>

using namespace qm;

class TestExpansion : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void serialNumbers_data();
    void serialNumbers();
    void badCopiesStopTheRun();
    void copiesAreBoundedBeforeAnythingIsBuilt_data();
    void copiesAreBoundedBeforeAnythingIsBuilt();
};

void TestExpansion::serialNumbers_data()
{
    QTest::addColumn<QString>("start");
    QTest::addColumn<bool>("inCopies");
    QTest::addColumn<QStringList>("numbers");
    QTest::newRow("in copies") << "10" << true << QStringList { "10", "11", "12", "13", "14" };
    QTest::newRow("per record") << "10" << false << QStringList { "10", "10", "11", "11", "11" };
    QTest::newRow("empty start counts from 1") << "" << true << QStringList { "1", "2", "3", "4", "5" };
}

void TestExpansion::serialNumbers()
{
    QFETCH(QString, start);
    QFETCH(bool, inCopies);
    QFETCH(QStringList, numbers);
    StringTable entry;
    entry.setCell(1, 0, "Name");
    entry.setCell(2, 0, "Seriennr.[Nr. ]");
    entry.setCell(0, 2, "2");
    entry.setCell(1, 2, "Anna");
    entry.setCell(2, 2, start);
    entry.setCell(0, 3, "3");
    entry.setCell(1, 3, "Bert");
    entry.setCell(2, 3, "99"); // only the first record's cell counts
    StringTable labels;
    QCOMPARE(expandEntryGrid(entry, labels, inCopies), 5);
    QStringList got;
    QStringList names;
    for (int f = 1; f <= 5; ++f) {
        got << labels.cell(2, f);
        names << labels.cell(1, f);
    }
    QCOMPARE(got, numbers);
    QCOMPARE(names, (QStringList { "Anna", "Anna", "Bert", "Bert", "Bert" }));
    QCOMPARE(labels.rowCount(), 6);
    if (start.isEmpty())
        QCOMPARE(entry.cell(2, 2), QStringLiteral("1"));
}

void TestExpansion::badCopiesStopTheRun()
{
    StringTable entry;
    entry.setCell(1, 0, "Name");
    entry.setCell(0, 2, "zwei");
    StringTable labels;
    try {
        expandEntryGrid(entry, labels, true);
        QFAIL("no exception");
    } catch (const ConvertError &e) {
        QCOMPARE(e.message(), QStringLiteral("'zwei' ist kein gültiger Integerwert"));
    }
    entry.setCell(0, 2, "0"); // no copies: no label
    QCOMPARE(expandEntryGrid(entry, labels, true), 0);
}

void TestExpansion::copiesAreBoundedBeforeAnythingIsBuilt_data()
{
    QTest::addColumn<QStringList>("copies");
    QTest::addColumn<QString>("message");
    QTest::newRow("one cell of a billion")
        << QStringList { "2", "1000000000" }
        << "Datensatz 2 verlangt 1000000000 Kopien; es sind höchstens 10000 Kopien je Datensatz möglich.";
    QTest::newRow("many records") << QStringList(11,
        QStringLiteral(
            "10000")) << "Ein Druckauftrag kann höchstens 100000 Etiketten enthalten, dieser hätte 110000.";
    QTest::newRow("sum beyond 32 bits")
        << QStringList(3, QStringLiteral("2147483647")) << "Datensatz 1 verlangt 2147483647 Kopien";
}

void TestExpansion::copiesAreBoundedBeforeAnythingIsBuilt()
{
    QFETCH(QStringList, copies);
    QFETCH(QString, message);
    StringTable entry;
    entry.setColCount(2);
    entry.setCell(1, 0, "Name");
    for (int r = 0; r < copies.size(); ++r) {
        entry.setCell(0, r + 2, copies[r]);
        entry.setCell(1, r + 2, QStringLiteral("N%1").arg(r));
    }
    StringTable labels;
    try {
        expandEntryGrid(entry, labels, true);
        QFAIL("no exception");
    } catch (const Error &e) {
        QVERIFY2(e.message().startsWith(message), qPrintable(e.message()));
    }
    QVERIFY(labels.rowCount() <= 1); // nothing was built
    // At the bounds a run goes through.
    entry.setRowCount(3);
    entry.setCell(0, 2, QString::number(MaxCopiesPerRecord));
    QCOMPARE(expandEntryGrid(entry, labels, true), MaxCopiesPerRecord);
}

QTEST_GUILESS_MAIN(TestExpansion)
#include "TestExpansion.moc"
