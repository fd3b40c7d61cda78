#include "designs/drawingnotices.h"
#include "designs/printdesign.h"
#include "designs/rendering.h"
#include "platform/canvas/recordingcanvas.h"
#include "platform/doubles/scriptedmessages.h"
#include "platform/stringtable.h"

#include <QTest>

using namespace qm;

namespace {

const QString Date = QStringLiteral("24.12.1999");

// The parts of a split text: literal text as it is, a field as [title:size].
QString partsText(const std::vector<FieldTextPart> &parts)
{
    QStringList out;
    for (const FieldTextPart &p : parts)
        out << (p.field ? QStringLiteral("[%1:%2]").arg(p.text).arg(p.size) : p.text);
    return out.join(u'|');
}

// Each data field as "column title size grid".
QStringList fieldsText(const PrintDesign &d)
{
    QStringList out;
    for (const DataField &f : d.fields)
        out << QStringLiteral("%1 %2 %3%4").arg(f.column).arg(f.title, f.size, f.inFieldGrid ? " G" : "");
    return out;
}

// The strings drawn by text(), without quotes.
QStringList textsOf(const RecordingCanvas &canvas)
{
    QStringList result;
    for (const RecordingCanvas::Call &call : canvas.calls()) {
        if (call.op == u"text")
            result.append(call.args.at(1).mid(1, call.args.at(1).size() - 2));
    }
    return result;
}

PrintDesign read(const QStringList &lines, const FieldGrids &grids = {})
{
    PrintDesign design;
    readPrintDesignLines(lines, QString(), design, grids);
    return design;
}

} // namespace

class TestFieldText : public QObject
{
    Q_OBJECT

private slots:
    void split_data();
    void split();
    void fieldsOfTheText_data();
    void fieldsOfTheText();
    void gridsGetTheTextFields();
    void textWithoutFieldsStaysAsItIs();
    void printsTheValues();
    void cutTextIsNotedUnderItsFirstField();
};

void TestFieldText::split_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("parts");
    QTest::newRow("one field") << "${A}" << "[A:0]";
    QTest::newRow("sized") << "${A:12}" << "[A:12]";
    QTest::newRow("two with text") << "${PLZ} ${Ort}" << "[PLZ:0]| |[Ort:0]";
    QTest::newRow("title trimmed") << "x${ PLZ }y" << "x|[PLZ:0]|y";
    QTest::newRow("dollars") << "$$ ${A} $$$$" << "$ |[A:0]| $$";
    QTest::newRow("escaped brace") << "$${A}" << "${A}";
    QTest::newRow("lone dollar") << "a$b ${A}$" << "a$b |[A:0]|$";
    QTest::newRow("unclosed") << "PLZ ${PLZ" << "PLZ ${PLZ";
    QTest::newRow("unclosed then dollars") << "${A $$" << "${A $";
    QTest::newRow("empty title") << "${} ${B}" << "${} |[B:0]";
    QTest::newRow("blank title") << "${ :5}" << "${ :5}";
    QTest::newRow("size not a number") << "${A:x}" << "${A:x}";
    QTest::newRow("size zero") << "${A:0}" << "${A:0}";
    QTest::newRow("size negative") << "${A:-3}" << "${A:-3}";
    QTest::newRow("brace inside") << "${A${B}" << "${A|[B:0]";
    QTest::newRow("colon in title") << "${Zeit:von:8}" << "[Zeit:von:8]";
    QTest::newRow("without ${") << "Preis 5 $$, 6 $" << "Preis 5 $$, 6 $";
    QTest::newRow("empty") << "" << "";
}

void TestFieldText::split()
{
    QFETCH(QString, text);
    QFETCH(QString, parts);
    QCOMPARE(partsText(splitFieldText(text)), parts);
}

void TestFieldText::fieldsOfTheText_data()
{
    QTest::addColumn<QStringList>("lines");
    QTest::addColumn<QStringList>("fields");
    QTest::addColumn<int>("fieldCount");

    QTest::newRow("after the others")
        << QStringList { "TE,10,40,${PLZ} ${Ort}", "EF,10,10,5,PLZ", "SE,0,0,1,Nr,", "BC,0,0,40,40,1,Code,8" }
        << QStringList { "1 PLZ 5 G", "2 Seriennr.[Nr] 6", "3 Code 8 G", "4 Ort 30 G" } << 4;
    QTest::newRow("sized, repeated, any case")
        << QStringList { "TE,1,1,${A:12} ${B}", "TE,1,2,${a:20} ${b:7} ${ B }" }
        << QStringList { "1 A 12 G", "2 B 7 G" } << 2;
    QTest::newRow("a field of the design keeps its size")
        << QStringList { "EF,1,1,5,Name", "TE,1,2,${name:40}" } << QStringList { "1 Name 5 G" } << 1;
    QTest::newRow("nothing named") << QStringList { "TE,1,1,${} ${A", "TE,1,2,$$" } << QStringList {} << 0;
    QTest::newRow("only in TE") << QStringList { "BM,1,1,${A}", "NA,${B}" } << QStringList {} << 0;
}

void TestFieldText::fieldsOfTheText()
{
    QFETCH(QStringList, lines);
    QFETCH(QStringList, fields);
    QFETCH(int, fieldCount);
    const PrintDesign d = read(lines);
    QCOMPARE(fieldsText(d), fields);
    QCOMPARE(d.fieldCount, fieldCount);
    QCOMPARE(d.hasFields, fieldCount > 0);
}

void TestFieldText::gridsGetTheTextFields()
{
    StringTable labelList;
    StringTable entryGrid;
    StringTable fieldGrid;
    const PrintDesign d = read({ "EF,1,1,5,PLZ", "TE,1,2,${PLZ} ${Ort:25}" },
        FieldGrids { &labelList, &entryGrid, &fieldGrid, nullptr, nullptr });
    QCOMPARE(entryGrid.cell(0, 0), QStringLiteral("2"));
    QCOMPARE(labelList.cell(2, 0), QStringLiteral("Ort"));
    QCOMPARE(entryGrid.cell(2, 0), QStringLiteral("Ort"));
    QCOMPARE(entryGrid.cell(2, 1), QStringLiteral("25"));
    QCOMPARE(fieldGrid.cell(2, 1), QStringLiteral("Ort"));
    QCOMPARE(fieldGrid.cell(2, 2), QStringLiteral("25 Zeichen"));
    // The TE knows its columns, whatever the fields are called later (a
    // table's own names take their place when a table prints).
    const PrintRecord &te = d.records.at(1);
    QCOMPARE(te.pieces,
        (std::vector<TextPiece> { { QString(), 1 }, { QStringLiteral(" "), 0 }, { QString(), 2 } }));
}

void TestFieldText::textWithoutFieldsStaysAsItIs()
{
    const PrintDesign d = read({ "SF,10,0,400,0,Arial", "TE,1,1,Preis: 5 $$, {Ort}, $Ort" });
    QVERIFY(d.fields.empty());
    QVERIFY(d.records.at(1).pieces.empty());
    RecordingCanvas canvas;
    ScriptedMessages messages;
    LabelDrawing(d).draw(canvas, QStringList {}, 0, 0, false, messages, Date);
    QCOMPARE(textsOf(canvas), QStringList { "Preis: 5 $$, {Ort}, $Ort" });
}

void TestFieldText::printsTheValues()
{
    const PrintDesign d = read({ "TE,0,0,${Ort}", "SF,10,0,400,0,Arial", "EF,1,1,5,PLZ",
        "TE,1,10,${PLZ} ${Ort} (${PLZ}) $$${PLZ", "TE,1,20,${Land:2}:" });
    ScriptedMessages messages;
    const QStringList expected { "50667", "50667 Köln (50667) $${PLZ", "DE:" };

    // Before any font a TE prints nothing, with fields or without.
    RecordingCanvas fromValues;
    LabelDrawing drawing(d);
    drawing.draw(fromValues, QStringList { "1", "50667", "Köln", "DE" }, 0, 0, false, messages, Date);
    QCOMPARE(textsOf(fromValues), expected);

    StringTable labelList(4, 3);
    const QStringList row { "1", "50667", "Köln", "DE" };
    for (int c = 0; c < row.size(); ++c)
        labelList.setCell(c, 2, row[c]);
    RecordingCanvas fromTable;
    drawing.draw(fromTable, labelList, 0, 0, 2, false, messages, Date);
    QCOMPARE(fromTable.calls(), fromValues.calls());

    // A line break in a value is a space; a missing value is empty.
    RecordingCanvas broken;
    drawing.draw(broken, QStringList { "1", "50667", "Köln\r\nLindenthal" }, 0, 0, false, messages, Date);
    QCOMPARE(textsOf(broken), (QStringList { "50667", "50667 Köln Lindenthal (50667) $${PLZ", ":" }));
}

void TestFieldText::cutTextIsNotedUnderItsFirstField()
{
    const PrintDesign d = read({ "GR,100,50,25", "SF,12,0,400,0,Arial", "TE,2,2,Name: ${Firma} in ${Ort}" });
    LabelDrawing drawing(d);
    DrawingNotices notices;
    drawing.setNotices(&notices);
    notices.setRecord(2);
    RecordingCanvas canvas;
    ScriptedMessages messages;
    drawing.draw(canvas, QStringList { "1", "A", "B" }, 0, 0, false, messages, Date);
    QVERIFY(notices.isEmpty());
    const QString longName = QString(40, u'W');
    drawing.draw(canvas, QStringList { "1", longName, "B" }, 0, 0, false, messages, Date);
    QCOMPARE(notices.count(), 1);
    QCOMPARE(notices.kept().front().field, QStringLiteral("Firma"));
    QCOMPARE(notices.kept().front().value, "Name: " + longName + " in B");
}

QTEST_GUILESS_MAIN(TestFieldText)
#include "TestFieldText.moc"
