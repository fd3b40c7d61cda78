#include "editor/editorcommands.h"
#include "editor/elementedits.h"
#include "platform/errors.h"

#include <QTest>
#include <QUndoStack>

using namespace qm;

namespace {

Element element(const QString &row)
{
    const QStringList cells = row.split(u'|');
    Element e;
    e.setCell(0, cells.value(0));
    for (int c = 1; c < cells.size(); ++c)
        e.setCell(c, cells.at(c));
    return e;
}

Design designOf(const QStringList &rows)
{
    Design d;
    for (const QString &row : rows)
        d.elements.push_back(element(row));
    return d;
}

} // namespace

class TestElementEdits : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void gripSearch_data();
    void gripSearch();
    void gripSearchStopsAtBadCell();
    void moved_data();
    void moved();
    void repointed();
    void positionText_data();
    void positionText();
    void commandsUndoAndRedo_data();
    void commandsUndoAndRedo();
    void millimetreStep_data();
    void millimetreStep();
    void elementBox_data();
    void elementBox();
};

void TestElementEdits::gripSearch_data()
{
    QTest::addColumn<QStringList>("rows");
    QTest::addColumn<QPoint>("press");
    QTest::addColumn<int>("row");
    QTest::addColumn<bool>("second");

    const QStringList text { "T|100|50|0|11|0|0|0|Arial|Hallo" };
    QTest::newRow("11 right grabs") << text << QPoint(111, 50) << 1 << false;
    QTest::newRow("12 right misses") << text << QPoint(112, 50) << -1 << false;
    QTest::newRow("11 left grabs") << text << QPoint(89, 50) << 1 << false;
    QTest::newRow("12 left misses") << text << QPoint(88, 50) << -1 << false;
    QTest::newRow("11 below grabs") << text << QPoint(100, 61) << 1 << false;
    QTest::newRow("12 above misses") << text << QPoint(100, 38) << -1 << false;
    QTest::newRow("corner 11,11 grabs") << text << QPoint(111, 61) << 1 << false;

    const QStringList two { "R|10|10|60|40|0|0", "L|15|15|200|200|0|0" };
    QTest::newRow("smaller row wins") << two << QPoint(13, 13) << 1 << false;
    QTest::newRow("second grip") << two << QPoint(62, 38) << 1 << true;
    QTest::newRow("later row") << two << QPoint(195, 205) << 2 << true;
    QTest::newRow("first before second of a tiny line")
        << QStringList { "L|10|10|12|12|0|0" } << QPoint(12, 12) << 1 << false;
    QTest::newRow("deleted skipped") << QStringList { "#|10|10|60|40|0|0", "O|11|11|70|70|1|3" }
                                     << QPoint(10, 10) << 2 << false;
    QTest::newRow("text has no second grip")
        << QStringList { "F|200|200|30|40|0|0|0|Arial|Name|10" } << QPoint(30, 40) << -1 << false;
    QTest::newRow("bitmap second grip")
        << QStringList { "B|20|20|80|60|logo.bmp" } << QPoint(80, 60) << 1 << true;
}

void TestElementEdits::gripSearch()
{
    QFETCH(QStringList, rows);
    QFETCH(QPoint, press);
    const GripHit hit = findGrip(designOf(rows), press);
    QTEST(hit.row, "row");
    if (hit.row > 0)
        QTEST(hit.second, "second");
}

void TestElementEdits::gripSearchStopsAtBadCell()
{
    const Design d = designOf({ "L|1x|0|5|5|0|0", "L|0|0|5|5|0|0" });
    QVERIFY_THROWS_EXCEPTION(ConvertError, findGrip(d, QPoint(0, 0)));
}

void TestElementEdits::moved_data()
{
    QTest::addColumn<QString>("before");
    QTest::addColumn<QPoint>("by");
    QTest::addColumn<QString>("after");
    QTest::newRow("rectangle") << "R|10|10|60|40|1|4" << QPoint(50, 0) << "R|60|10|110|40|1|4";
    QTest::newRow("line to negative") << "L|5|5|30|8|0|0" << QPoint(-20, -10) << "L|-15|-5|10|-2|0|0";
    QTest::newRow("bitmap") << "B|1|2|3|4|a,b.bmp" << QPoint(1, 1) << "B|2|3|4|5|a,b.bmp";
    QTest::newRow("text keeps the rest")
        << "T|10|20|90|11|1|0|3|Arial|Hallo, Welt" << QPoint(-3, 4) << "T|7|24|90|11|1|0|3|Arial|Hallo, Welt";
    QTest::newRow("serial") << "S|0|0|0|11|0|0|0|Arial|1|Nr. |/96" << QPoint(1000, 1)
                            << "S|1000|1|0|11|0|0|0|Arial|1|Nr. |/96";
}

void TestElementEdits::moved()
{
    QFETCH(QString, before);
    QFETCH(QPoint, by);
    QFETCH(QString, after);
    QCOMPARE(movedElement(element(before), by.x(), by.y()), element(after));
}

void TestElementEdits::repointed()
{
    const Element r = element("R|10|10|60|40|0|0");
    QCOMPARE(repointedElement(r, true, QPoint(110, 40)), element("R|10|10|110|40|0|0"));
    QCOMPARE(repointedElement(r, false, QPoint(-3, 7)), element("R|-3|7|60|40|0|0"));
}

void TestElementEdits::positionText_data()
{
    QTest::addColumn<int>("units");
    QTest::addColumn<QString>("text");
    QTest::newRow("118") << 118 << "4,7";
    QTest::newRow("0") << 0 << "0,0";
    QTest::newRow("24 truncated") << 24 << "0,9";
    QTest::newRow("25") << 25 << "1,0";
    QTest::newRow("524") << 524 << "20,9";
    QTest::newRow("negative") << -8 << "-0,3";
}

void TestElementEdits::positionText()
{
    QFETCH(int, units);
    QTEST(qm::positionText(units), "text");
}

void TestElementEdits::commandsUndoAndRedo_data()
{
    QTest::addColumn<int>("kind");
    QTest::addColumn<QStringList>("after"); // rows after redo; header as "size:w,h,desc"
    const QString r1 = "R|10|10|60|40|0|0";
    const QString t2 = "T|5|5|0|11|0|0|0|Arial|Hallo";
    QTest::newRow("create") << int(CreateElementId) << QStringList { r1, t2, "L|0|0|9|9|2|9" };
    QTest::newRow("move") << int(MoveElementId) << QStringList { r1, "T|6|7|0|11|0|0|0|Arial|Hallo" };
    QTest::newRow("repoint") << int(RepointElementId) << QStringList { "R|10|10|99|40|0|0", t2 };
    QTest::newRow("change") << int(ChangeElementId) << QStringList { r1, "T|5|5|90|11|0|0|0|Arial|Neu" };
    QTest::newRow("delete") << int(DeleteElementId) << QStringList { "#|10|10|60|40|0|0", t2 };
    QTest::newRow("new design") << int(NewDesignId) << QStringList { "size:30,20,Neu" };
    QTest::newRow("size") << int(SizeDescriptionId) << QStringList { "size:70,33,Karte", r1, t2 };
}

void TestElementEdits::commandsUndoAndRedo()
{
    QFETCH(int, kind);
    QFETCH(QStringList, after);
    Design design = designOf({ "R|10|10|60|40|0|0", "T|5|5|0|11|0|0|0|Arial|Hallo" });
    design.description = "Alt";
    design.widthMm = "50";
    design.heightMm = "40";
    design.fileName = "/tmp/alt.eti";
    design.mode = "N";
    const Design before = design;

    QUndoStack stack;
    switch (kind) {
    case CreateElementId:
        stack.push(new CreateElementCommand(design, element("L|0|0|9|9|2|9")));
        break;
    case MoveElementId:
        stack.push(new MoveElementCommand(design, 2, movedElement(design.element(2), 1, 2)));
        break;
    case RepointElementId:
        stack.push(
            new RepointElementCommand(design, 1, repointedElement(design.element(1), true, { 99, 40 })));
        break;
    case ChangeElementId:
        stack.push(new ChangeElementCommand(design, 2, element("T|5|5|90|11|0|0|0|Arial|Neu")));
        break;
    case DeleteElementId:
        stack.push(new DeleteElementCommand(design, 1));
        break;
    case NewDesignId: {
        Design fresh;
        fresh.widthMm = "30";
        fresh.heightMm = "20";
        fresh.description = "Neu";
        fresh.mode = "E"; // the mode is the editor's, not the design's
        stack.push(new NewDesignCommand(design, fresh));
        QVERIFY(design.fileName.isEmpty());
        QCOMPARE(design.mode, QStringLiteral("N"));
        break;
    }
    case SizeDescriptionId:
        stack.push(new SizeDescriptionCommand(design, "70", "33", "Karte"));
        break;
    }
    QCOMPARE(stack.command(0)->id(), kind);

    Design expected = before;
    expected.elements.clear();
    for (const QString &row : after) {
        if (row.startsWith("size:")) {
            const QStringList v = row.mid(5).split(u',');
            expected.widthMm = v[0];
            expected.heightMm = v[1];
            expected.description = v[2];
        } else {
            expected.elements.push_back(element(row));
        }
    }
    if (kind == NewDesignId)
        expected.fileName.clear();
    QCOMPARE(design, expected);
    stack.undo();
    QCOMPARE(design, before);
    stack.redo();
    QCOMPARE(design, expected);
}

void TestElementEdits::millimetreStep_data()
{
    QTest::addColumn<int>("position");
    QTest::addColumn<int>("direction");
    QTest::addColumn<int>("step");
    // Marks at Trunc(mm x 2.5): ... -5 -2 0 2 5 7 10 12 ...
    QTest::newRow("0 up") << 0 << 1 << 2;
    QTest::newRow("2 up") << 2 << 1 << 3;
    QTest::newRow("between marks up") << 3 << 1 << 2;
    QTest::newRow("10 down") << 10 << -1 << -3;
    QTest::newRow("between marks down") << 9 << -1 << -2;
    QTest::newRow("0 down") << 0 << -1 << -2;
    QTest::newRow("-2 down") << -2 << -1 << -3;
    QTest::newRow("-3 up") << -3 << 1 << 1;
    QTest::newRow("large") << 2000000000 << 1 << 2;
}

void TestElementEdits::millimetreStep()
{
    QFETCH(int, position);
    QFETCH(int, direction);
    QTEST(qm::millimetreStep(position, direction), "step");
}

void TestElementEdits::elementBox_data()
{
    QTest::addColumn<QString>("row");
    QTest::addColumn<QRect>("box");
    QTest::newRow("rectangle drawn backwards")
        << "R|60|40|10|10|0|0" << QRect(QPoint(10, 10), QPoint(60, 40));
    QTest::newRow("line") << "L|10|30|100|30|0|0" << QRect(QPoint(10, 30), QPoint(100, 30));
    QTest::newRow("text") << "T|100|50|0|-10|0|0|0|Arial|Abcd" << QRect(100, 50, 20, 10);
    QTest::newRow("text turned 90") << "T|100|50|90|10|0|0|0|Arial|Abcd" << QRect(100, 30, 10, 20);
    QTest::newRow("text turned 180") << "T|100|50|180|10|0|0|0|Arial|Abcd" << QRect(80, 40, 20, 10);
    QTest::newRow("text turned 270") << "T|100|50|270|10|0|0|0|Arial|Abcd" << QRect(90, 50, 10, 20);
    QTest::newRow("field with its size") << "F|0|0|0|10|0|0|0|Arial|Nr|5" << QRect(0, 0, 25, 10);
    QTest::newRow("text at 45 degrees") << "T|100|50|45|10|0|0|0|Arial|Abcd" << QRect();
    QTest::newRow("deleted") << "#" << QRect();
}

void TestElementEdits::elementBox()
{
    QFETCH(QString, row);
    QTEST(qm::elementBox(element(row)), "box");
}

QTEST_GUILESS_MAIN(TestElementEdits)
#include "TestElementEdits.moc"
