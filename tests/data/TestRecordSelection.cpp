#include "data/recordselection.h"
#include "data/shapelibtable.h"

#include <QTemporaryDir>
#include <QTest>

using namespace qm;

namespace {

// The list's records as "A|B" texts, number of prints first.
QStringList shownRows(const RecordSelection &selection)
{
    QStringList rows;
    for (int r = 1; r < selection.records().rowCount(); ++r)
        rows << selection.records().row(r).join(QLatin1Char('|'));
    return rows;
}

} // namespace

class TestRecordSelection : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void init();
    void compareByCodes_data();
    void compareByCodes();
    void rangeRule_data();
    void rangeRule();
    void showingLoadsLiveRecords();
    void criteriaNarrowThenApplyToAllJoinsByOr();
    void switchingOffReloadsAndResetsPrints();
    void warningsSwitchBack_data();
    void warningsSwitchBack();
    void unknownFieldMatchesNothing();
    void filledButOffIsNamed_data();
    void filledButOffIsNamed();
    void handOverReturnsTheListedRecords();
    void emptyTableHandsOverNoRecord();

private:
    QTemporaryDir m_dir;
    std::unique_ptr<ShapelibTable> m_table;
};

void TestRecordSelection::init()
{
    m_table = std::make_unique<ShapelibTable>();
    m_table->create(m_dir.filePath(QStringLiteral("sel.dbf")),
        { { QStringLiteral("A"), 10 }, { QStringLiteral("B"), 10 } });
    const QList<QStringList> records { { "Bach", "Xanten" }, { "Meier", "Bonn" }, { "weg", "weg" },
        { "mueller", "Ulm" }, { "Albers", "Zell" }, { "Dahl", "Aachen" } };
    for (const QStringList &record : records)
        m_table->appendRecord(record);
    m_table->deleteRecord(2);
}

void TestRecordSelection::compareByCodes_data()
{
    QTest::addColumn<QString>("a");
    QTest::addColumn<QString>("b");
    QTest::addColumn<int>("sign");
    QTest::newRow("10 before 9") << "10"
                                 << "9" << -1;
    QTest::newRow("upper before lower") << "Z"
                                        << "a" << -1;
    QTest::newRow("prefix is smaller") << "Ab"
                                       << "Abc" << -1;
    QTest::newRow("equal") << "Köln"
                           << "Köln" << 0;
    QTest::newRow("euro 0x80 before a-umlaut 0xe4") << "€"
                                                    << "ä" << -1;
    QTest::newRow("euro 0x80 after z 0x7a") << "€"
                                            << "z" << 1;
    QTest::newRow("blank counts") << " b"
                                  << "a" << -1;
}

void TestRecordSelection::compareByCodes()
{
    QFETCH(QString, a);
    QFETCH(QString, b);
    QFETCH(int, sign);
    QCOMPARE(compareCodes(a, b), sign);
    QCOMPARE(compareCodes(b, a), -sign);
}

void TestRecordSelection::rangeRule_data()
{
    QTest::addColumn<QString>("lower");
    QTest::addColumn<QString>("upper");
    QTest::addColumn<QString>("value");
    QTest::addColumn<bool>("match");
    QTest::newRow("lower only, later letter") << "M"
                                              << ""
                                              << "Nagel" << true;
    QTest::newRow("lower only, lower case") << "M"
                                            << ""
                                            << "meier" << true;
    QTest::newRow("lower only, earlier") << "M"
                                         << ""
                                         << "Lang" << false;
    QTest::newRow("upper only, prefix of bound") << ""
                                                 << "Mei"
                                                 << "Me" << true;
    QTest::newRow("upper only, longer than bound") << ""
                                                   << "Mei"
                                                   << "Meier" << false;
    QTest::newRow("both, inside") << "A"
                                  << "C"
                                  << "Bach" << true;
    QTest::newRow("both, C itself") << "A"
                                    << "C"
                                    << "C" << true;
    QTest::newRow("both, beyond") << "A"
                                  << "C"
                                  << "Cz" << false;
    QTest::newRow("none matches nothing") << ""
                                          << ""
                                          << "Bach" << false;
}

void TestRecordSelection::rangeRule()
{
    QFETCH(QString, lower);
    QFETCH(QString, upper);
    QFETCH(QString, value);
    QFETCH(bool, match);
    QCOMPARE(criterionMatches({ true, QStringLiteral("A"), lower, upper }, value), match);
}

void TestRecordSelection::showingLoadsLiveRecords()
{
    RecordSelection selection(*m_table);
    selection.criteria()[0] = { true, QStringLiteral("A"), QStringLiteral("x"), QString() };
    selection.formShow();
    QCOMPARE(selection.records().row(0), QStringList({ "Anzahl", "A", "B" }));
    QCOMPARE(selection.fieldNames(), QStringList({ "A", "B" }));
    QCOMPARE(shownRows(selection),
        QStringList({ "1|Bach|Xanten", "1|Meier|Bonn", "1|mueller|Ulm", "1|Albers|Zell", "1|Dahl|Aachen" }));
    QVERIFY(!selection.criteria()[0].on);
    QVERIFY(selection.criteria()[0].lower.isEmpty());
}

void TestRecordSelection::criteriaNarrowThenApplyToAllJoinsByOr()
{
    RecordSelection selection(*m_table);
    selection.formShow();
    selection.criteria()[0] = { true, QStringLiteral("A"), QStringLiteral("A"), QStringLiteral("C") };
    QVERIFY(selection.criterionSwitched(0).isEmpty());
    QCOMPARE(shownRows(selection), QStringList({ "1|Bach|Xanten", "1|Albers|Zell" }));
    selection.criteria()[1] = { true, QStringLiteral("B"), QStringLiteral("X"), QString() };
    QVERIFY(selection.criterionSwitched(1).isEmpty());
    // The second switch narrows what is shown ...
    QCOMPARE(shownRows(selection), QStringList({ "1|Bach|Xanten", "1|Albers|Zell" }));
    // ... applying to the whole table shows every record matching either.
    selection.applyToAll();
    QCOMPARE(shownRows(selection), QStringList({ "1|Bach|Xanten", "1|Albers|Zell" }));
    selection.criteria()[1].lower = QStringLiteral("B");
    selection.applyToAll();
    QCOMPARE(shownRows(selection),
        QStringList({ "1|Bach|Xanten", "1|Meier|Bonn", "1|mueller|Ulm", "1|Albers|Zell" }));
}

void TestRecordSelection::switchingOffReloadsAndResetsPrints()
{
    RecordSelection selection(*m_table);
    selection.formShow();
    selection.criteria()[0] = { true, QStringLiteral("A"), QStringLiteral("M"), QString() };
    selection.criterionSwitched(0);
    QCOMPARE(shownRows(selection), QStringList({ "1|Meier|Bonn", "1|mueller|Ulm" }));
    selection.records().setCell(0, 1, QStringLiteral("5"));
    selection.criteria()[0].on = false;
    selection.criterionSwitched(0);
    QCOMPARE(selection.records().rowCount(), 6);
    for (int r = 1; r < 6; ++r)
        QCOMPARE(selection.records().cell(0, r), QStringLiteral("1"));
}

void TestRecordSelection::warningsSwitchBack_data()
{
    QTest::addColumn<int>("index");
    QTest::addColumn<QString>("field");
    QTest::addColumn<QString>("warning");
    QTest::newRow("no field, criterion 2") << 1 << ""
                                           << "Bitte wählen Sie einen Feldnamen aus für Kriterium 2.";
    QTest::newRow("no bounds, criterion 3") << 2 << "A"
                                            << "Bitte wählen Sie den Wertebereich für Kriterium 3.";
}

void TestRecordSelection::warningsSwitchBack()
{
    QFETCH(int, index);
    QFETCH(QString, field);
    QFETCH(QString, warning);
    RecordSelection selection(*m_table);
    selection.formShow();
    selection.criteria()[index] = { true, field, QString(), QString() };
    QCOMPARE(selection.criterionSwitched(index), warning);
    QVERIFY(!selection.criteria()[index].on);
    QCOMPARE(selection.records().rowCount(), 6);
}

void TestRecordSelection::unknownFieldMatchesNothing()
{
    RecordSelection selection(*m_table);
    selection.formShow();
    selection.criteria()[0] = { true, QStringLiteral("a"), QStringLiteral("A"), QString() };
    QVERIFY(selection.criterionSwitched(0).isEmpty());
    QCOMPARE(selection.records().rowCount(), 1);
}

void TestRecordSelection::filledButOffIsNamed_data()
{
    // Each criterion as "on|field|lower|upper", on as 1 or 0.
    QTest::addColumn<QStringList>("criteria");
    QTest::addColumn<QString>("hint");
    QTest::addColumn<int>("listed"); // records after applying to the whole table
    const QString one
        = QStringLiteral("Kriterium %1 ist ausgefüllt, aber \"inaktiv\" und schränkt die Liste "
                         "nicht ein. Klicken Sie auf seinen Knopf \"inaktiv\", um es einzuschalten.");
    const QString several = QStringLiteral(
        "Die Kriterien %1 sind ausgefüllt, aber \"inaktiv\" und schränken die Liste nicht ein. Klicken Sie "
        "auf ihre Knöpfe \"inaktiv\", um sie einzuschalten.");
    QTest::newRow("all empty") << QStringList { "0|||", "0|||", "0|||" } << QString() << 5;
    QTest::newRow("a field chosen only") << QStringList { "0|A||", "0|B||", "0|||" } << QString() << 5;
    QTest::newRow("filled and on") << QStringList { "1|A|B|C", "0|||", "0|||" } << QString() << 1;
    QTest::newRow("lower bound, off") << QStringList { "0|||", "0|A|M|", "0|||" } << one.arg(2) << 5;
    QTest::newRow("upper bound, off") << QStringList { "0|||", "0|||", "0|B||X" } << one.arg(3) << 5;
    QTest::newRow("bound without field, off") << QStringList { "0||M|", "0|||", "0|||" } << one.arg(1) << 5;
    QTest::newRow("two off, one on") << QStringList { "0|A|M|", "1|A|B|", "0|B||X" }
                                     << several.arg(QStringLiteral("1 und 3")) << 4;
    QTest::newRow("three off") << QStringList { "0|A|M|", "0|A|B|", "0|B||X" }
                               << several.arg(QStringLiteral("1, 2 und 3")) << 5;
}

// A criterion filled in while its switch is "inaktiv" narrows nothing: the
// selection names it instead of leaving the whole list without a word.
void TestRecordSelection::filledButOffIsNamed()
{
    QFETCH(QStringList, criteria);
    QFETCH(QString, hint);
    QFETCH(int, listed);
    RecordSelection selection(*m_table);
    selection.formShow();
    for (int k = 0; k < RecordSelection::CriterionCount; ++k) {
        const QStringList parts = criteria[k].split(QLatin1Char('|'));
        selection.criteria()[k] = { parts[0] == QLatin1String("1"), parts[1], parts[2], parts[3] };
    }
    QCOMPARE(filledButOffHint(selection.criteria()), hint);
    // Applying leaves the off criteria out.
    selection.applyToAll();
    QCOMPARE(selection.records().rowCount(), listed + 1);
}

void TestRecordSelection::handOverReturnsTheListedRecords()
{
    RecordSelection selection(*m_table);
    selection.formShow();
    selection.criteria()[0] = { true, QStringLiteral("A"), QStringLiteral("M"), QString() };
    selection.criterionSwitched(0);
    selection.records().setCell(0, 2, QStringLiteral("0"));
    QCOMPARE(selection.fieldNames(), QStringList({ "A", "B" }));
    const QList<QStringList> handed = selection.handOver();
    QCOMPARE(handed, (QList<QStringList> { { "1", "Meier", "Bonn" }, { "0", "mueller", "Ulm" } }));
    QCOMPARE(selection.records().colCount(), 2);
    QCOMPARE(selection.records().rowCount(), 2);
}

void TestRecordSelection::emptyTableHandsOverNoRecord()
{
    ShapelibTable empty;
    empty.create(m_dir.filePath(QStringLiteral("leer.dbf")), { { QStringLiteral("A"), 3 } });
    RecordSelection selection(empty);
    selection.formShow();
    QCOMPARE(selection.records().rowCount(), 1);
    QVERIFY(selection.handOver().isEmpty());
}

QTEST_GUILESS_MAIN(TestRecordSelection)
#include "TestRecordSelection.moc"
