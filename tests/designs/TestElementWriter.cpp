#include "designs/elementwriter.h"

#include <QTest>

using namespace qm;

namespace {

QString joined(const Element &e)
{
    return e.row().join(u'|');
}

// A drag from (10, 10) to (60, 40) at scroll (1, 0), with dialog texts set.
EditorState baseState()
{
    EditorState s;
    s.penStyle = PenThick;
    s.colour = 7;
    s.fontFace = QStringLiteral("Times New Roman");
    s.fontHeight = -11;
    s.scrollX = 1;
    s.scrollY = 0;
    s.x1 = 10;
    s.y1 = 10;
    s.x2 = 60;
    s.y2 = 40;
    s.textRotation = QStringLiteral("45");
    s.text = QStringLiteral("Hallo, Welt");
    s.fieldRotation = QStringLiteral("90");
    s.fieldName = QStringLiteral("Name");
    s.fieldSize = QStringLiteral("30");
    s.serialRotation = QStringLiteral("180");
    s.textBefore = QStringLiteral("Nr. ");
    s.textAfter = QStringLiteral("/96");
    s.bitmapFile = QStringLiteral("C:\\LOGO.BMP");
    return s;
}

} // namespace

class TestElementWriter : public QObject
{
    Q_OBJECT

private slots:
    void writesRow_data();
    void writesRow();
    void toolsThatDrawNothing_data();
    void toolsThatDrawNothing();
    void rowIsClearedAndOthersKept();
    void rowBeyondEndGrowsTable();
};

void TestElementWriter::writesRow_data()
{
    QTest::addColumn<int>("tool");
    QTest::addColumn<bool>("bold");
    QTest::addColumn<bool>("italic");
    QTest::addColumn<bool>("serialNumber");
    QTest::addColumn<int>("scrollY");
    QTest::addColumn<QString>("row");

    QTest::newRow("line") << 1 << false << false << false << 0 << "L|35|10|85|40|1|7";
    QTest::newRow("rectangle") << 2 << false << false << false << 0 << "R|35|10|85|40|1|7";
    QTest::newRow("round rectangle") << 3 << false << false << false << 0 << "O|35|10|85|40|1|7";
    QTest::newRow("ellipse") << 8 << false << false << false << 0 << "E|35|10|85|40|1|7";
    QTest::newRow("line scrolled down") << 1 << false << false << false << 2 << "L|35|60|85|90|1|7";
    QTest::newRow("text plain") << 4 << false << false << false << 0
                                << "T|35|10|45|11|0|0|7|Times New Roman|Hallo, Welt";
    QTest::newRow("text bold") << 4 << true << false << false << 0
                               << "T|35|10|45|11|1|0|7|Times New Roman|Hallo, Welt";
    QTest::newRow("text italic") << 4 << false << true << false << 0
                                 << "T|35|10|45|11|0|1|7|Times New Roman|Hallo, Welt";
    QTest::newRow("text bold italic") << 4 << true << true << false << 0
                                      << "T|35|10|45|11|1|1|7|Times New Roman|Hallo, Welt";
    QTest::newRow("field") << 5 << false << false << false << 0
                           << "F|35|10|90|11|0|0|7|Times New Roman|Name|30";
    QTest::newRow("serial number") << 6 << false << false << true << 0
                                   << "S|35|10|180|11|0|0|7|Times New Roman|1|Nr. |/96";
    QTest::newRow("date") << 6 << false << false << false << 0
                          << "S|35|10|180|11|0|0|7|Times New Roman|0|Nr. |/96";
    // One unit inside the dragged rectangle.
    QTest::newRow("graphic") << 7 << false << false << false << 0 << "B|36|11|84|39|C:\\LOGO.BMP";
    QTest::newRow("graphic scrolled down") << 7 << false << false << false << 2
                                           << "B|36|61|84|89|C:\\LOGO.BMP";
}

void TestElementWriter::writesRow()
{
    QFETCH(int, tool);
    QFETCH(bool, bold);
    QFETCH(bool, italic);
    QFETCH(bool, serialNumber);
    QFETCH(int, scrollY);
    QFETCH(QString, row);

    EditorState s = baseState();
    s.tool = tool;
    s.bold = bold;
    s.italic = italic;
    s.serialNumber = serialNumber;
    s.scrollY = scrollY;

    Design d;
    d.elements.resize(1);
    EtikettenelementSchreiben(d, 1, s);
    QCOMPARE(d.count(), 1);
    QCOMPARE(joined(d.element(1)), row);
}

void TestElementWriter::toolsThatDrawNothing_data()
{
    QTest::addColumn<int>("tool");
    QTest::newRow("move") << 0;
    QTest::newRow("10, beyond the tools") << 10; // 8 is the ellipse
    QTest::newRow("change or delete") << 9;
}

void TestElementWriter::toolsThatDrawNothing()
{
    QFETCH(int, tool);
    Design d;
    Element old;
    old.kind = ElementKind::Text;
    old.cells[Col::Text] = QStringLiteral("bleibt");
    d.elements.push_back(old);
    EditorState s = baseState();
    s.tool = tool;
    EtikettenelementSchreiben(d, 1, s);
    EtikettenelementSchreiben(d, 2, s);
    QCOMPARE(d.count(), 1);
    QCOMPARE(d.element(1), old);
}

void TestElementWriter::rowIsClearedAndOthersKept()
{
    Design d;
    Element serial;
    serial.kind = ElementKind::Serial;
    for (int c = 1; c < ElementColumns; ++c)
        serial.cells[static_cast<size_t>(c)] = QStringLiteral("alt");
    d.elements = {serial, serial, serial};

    EditorState s = baseState();
    s.tool = ToolText;
    EtikettenelementSchreiben(d, 2, s);

    QCOMPARE(d.element(1), serial);
    QCOMPARE(d.element(3), serial);
    QCOMPARE(d.element(2).kind, ElementKind::Text);
    QCOMPARE(d.element(2).cell(Col::FieldSize), QString());
    QCOMPARE(d.element(2).cell(Col::TextAfter), QString());
}

void TestElementWriter::rowBeyondEndGrowsTable()
{
    Design d;
    EditorState s = baseState();
    s.tool = ToolLine;
    EtikettenelementSchreiben(d, 0, s);
    QCOMPARE(d.count(), 0);
    EtikettenelementSchreiben(d, 1, s);
    QCOMPARE(d.count(), 1);
    QCOMPARE(joined(d.element(1)), QStringLiteral("L|35|10|85|40|1|7"));
}

QTEST_GUILESS_MAIN(TestElementWriter)
#include "TestElementWriter.moc"
