#include "designs/design.h"
#include "platform/errors.h"

#include <QTest>

using namespace qm;

class TestDesignModel : public QObject
{
    Q_OBJECT

private slots:
    void printerColour_data();
    void printerColour();
    void millimetresAndUnits_data();
    void millimetresAndUnits();
    void workspaceConversion();
    void elementRow_data();
    void elementRow();
    void numericCells_data();
    void numericCells();
    void newDesign();
    void sizeWithTenths_data();
    void sizeWithTenths();
};

void TestDesignModel::printerColour_data()
{
    QTest::addColumn<int>("index");
    QTest::addColumn<QColor>("expected");
    QTest::newRow("0 black") << 0 << QColor(0, 0, 0);
    QTest::newRow("1 maroon") << 1 << QColor(128, 0, 0);
    // The colour grid shows square 7 light grey, but 7 is grey everywhere.
    QTest::newRow("7 grey") << 7 << QColor(128, 128, 128);
    QTest::newRow("8 silver") << 8 << QColor(192, 192, 192);
    QTest::newRow("9 red") << 9 << QColor(255, 0, 0);
    QTest::newRow("12 blue") << 12 << QColor(0, 0, 255);
    QTest::newRow("15 white") << 15 << QColor(255, 255, 255);
    QTest::newRow("-1 black") << -1 << QColor(0, 0, 0);
    QTest::newRow("16 black") << 16 << QColor(0, 0, 0);
    QTest::newRow("huge black") << 2147483647 << QColor(0, 0, 0);
}

void TestDesignModel::printerColour()
{
    QFETCH(int, index);
    QFETCH(QColor, expected);
    QCOMPARE(DruckFarbe(index), expected);
}

void TestDesignModel::millimetresAndUnits_data()
{
    QTest::addColumn<int>("mm");
    QTest::addColumn<qint64>("units");
    QTest::addColumn<int>("mmAgain");
    // Odd millimetres come back one smaller; even ones survive.
    QTest::newRow("33 mm") << 33 << qint64(82) << 32;
    QTest::newRow("70 mm") << 70 << qint64(175) << 70;
    QTest::newRow("1 mm") << 1 << qint64(2) << 0;
    QTest::newRow("0 mm") << 0 << qint64(0) << 0;
    // Trunc goes toward zero: -7.5 -> -7, -2.8 -> -2.
    QTest::newRow("-3 mm") << -3 << qint64(-7) << -2;
    QTest::newRow("largest") << 2147483647 << qint64(5368709117) << 2147483647 / 5 * 2;
}

void TestDesignModel::millimetresAndUnits()
{
    QFETCH(int, mm);
    QFETCH(qint64, units);
    QFETCH(int, mmAgain);
    QCOMPARE(mmToUnits(mm), units);
    if (units >= -2147483648LL && units <= 2147483647LL)
        QCOMPARE(unitsToMm(static_cast<int>(units)), mmAgain);
}

void TestDesignModel::workspaceConversion()
{
    QCOMPARE(workspaceToDesign(QPoint(10, 40), 1, 2), QPoint(35, 90));
    QCOMPARE(designToWorkspace(QPoint(35, 90), 1, 2), QPoint(10, 40));
}

void TestDesignModel::elementRow_data()
{
    QTest::addColumn<QString>("kind");
    QTest::addColumn<int>("cellCount");
    QTest::newRow("line") << "L" << 7;
    QTest::newRow("rectangle") << "R" << 7;
    QTest::newRow("round") << "O" << 7;
    QTest::newRow("bitmap") << "B" << 6;
    QTest::newRow("text") << "T" << 10;
    QTest::newRow("field") << "F" << 11;
    QTest::newRow("serial") << "S" << 12;
    QTest::newRow("deleted") << "#" << 1;
    QTest::newRow("unknown") << "Z" << 12;
}

void TestDesignModel::elementRow()
{
    QFETCH(QString, kind);
    QFETCH(int, cellCount);
    Element e;
    e.setCell(0, kind);
    for (int c = 1; c < ElementColumns; ++c)
        e.setCell(c, QString::number(c * 10));
    const QStringList row = e.row();
    QCOMPARE(row.size(), cellCount);
    QCOMPARE(row.first(), kind);
    for (int c = 1; c < cellCount; ++c)
        QCOMPARE(row[c], QString::number(c * 10));
}

void TestDesignModel::numericCells_data()
{
    QTest::addColumn<QString>("cell");
    QTest::addColumn<bool>("valid");
    QTest::addColumn<int>("value");
    QTest::newRow("plain") << "175" << true << 175;
    QTest::newRow("leading blanks and sign") << "  -14" << true << -14;
    QTest::newRow("hexadecimal") << "$1F" << true << 31;
    QTest::newRow("empty") << "" << false << 0;
    QTest::newRow("trailing blank") << "12 " << false << 0;
    QTest::newRow("letters") << "1x" << false << 0;
}

void TestDesignModel::numericCells()
{
    QFETCH(QString, cell);
    QFETCH(bool, valid);
    QFETCH(int, value);
    Element e;
    e.kind = ElementKind::Line;
    e.setCell(Col::X1, cell);
    if (valid) {
        QCOMPARE(e.number(Col::X1), value);
    } else {
        try {
            e.number(Col::X1);
            QFAIL("no ConvertError");
        } catch (const ConvertError &error) {
            QCOMPARE(error.message(), QStringLiteral("'%1' ist kein gültiger Integerwert").arg(cell));
        }
    }
}

void TestDesignModel::newDesign()
{
    Design d;
    QCOMPARE(d.description, QStringLiteral("keine Beschreibung"));
    QCOMPARE(d.count(), 0);
    d.widthMm.clear();
    QCOMPARE(d.widthMmValue(), 0);
    d.heightMm = QStringLiteral("4a");
    QVERIFY_THROWS_EXCEPTION(ConvertError, d.heightMmValue());
}

void TestDesignModel::sizeWithTenths_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<qint64>("units"); // -1: refused
    QTest::newRow("empty") << "" << qint64(0);
    QTest::newRow("whole, as before") << "38" << qint64(95);
    QTest::newRow("odd whole") << "33" << qint64(82);
    QTest::newRow("comma") << "38,1" << qint64(95);
    QTest::newRow("point") << "38.4" << qint64(96);
    QTest::newRow("A4 with tenths") << "297,0" << qint64(742);
    QTest::newRow("negative") << "-5,2" << qint64(-13);
    QTest::newRow("two decimals") << "38,15" << qint64(-1);
    QTest::newRow("no decimal") << "38," << qint64(-1);
    QTest::newRow("no whole") << ",5" << qint64(-1);
    QTest::newRow("letter") << "38,x" << qint64(-1);
    QTest::newRow("two marks") << "3,8,1" << qint64(-1);
    QTest::newRow("letters") << "4a" << qint64(-1);
}

void TestDesignModel::sizeWithTenths()
{
    QFETCH(QString, text);
    QFETCH(qint64, units);
    Design d;
    d.widthMm = text;
    if (units < 0 && !text.startsWith(u'-')) {
        QVERIFY_THROWS_EXCEPTION(ConvertError, d.widthUnits());
        return;
    }
    QCOMPARE(d.widthUnits(), units);
    if (!text.contains(u',') && !text.contains(u'.'))
        QCOMPARE(d.widthUnits(), mmToUnits(sizeMmValue(text)));
}

QTEST_GUILESS_MAIN(TestDesignModel)
#include "TestDesignModel.moc"
