#include "platform/errors.h"
#include "printing/expansion.h"

#include <QTest>

using namespace qm;

class TestExpansion : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void serialNumbers_data();
    void serialNumbers();
    void badCopiesStopTheRun();
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

QTEST_GUILESS_MAIN(TestExpansion)
#include "TestExpansion.moc"
