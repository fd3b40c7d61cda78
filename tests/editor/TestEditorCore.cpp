#include "editor/editorcommands.h"
#include "editor/editorcore.h"
#include "editor/zoomcanvas.h"
#include "editordoubles.h"
#include "platform/canvas/qpaintercanvas.h"
#include "platform/canvas/recordingcanvas.h"
#include "platform/doubles/memorysettings.h"
#include "platform/doubles/scriptedfiledialogs.h"
#include "platform/doubles/scriptedmessages.h"

#include <QDir>
#include <QImage>
#include <QPainter>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QTest>

#include <algorithm>
#include <limits>

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

QString rowText(const Element &e)
{
    return e.row().join(u'|');
}

// The editor core with its doubles, opened in mode "N" on an empty design.
struct Editor
{
    Editor()
        : core(messages, files, settings, dialogs)
    {
        core.setDateProvider([] { return QStringLiteral("10.12.26"); });
        core.FormShow();
    }

    // Appends rows through the create command, as drawn.
    void add(const QStringList &rows)
    {
        for (const QString &row : rows)
            core.undoStack().push(
                new CreateElementCommand(const_cast<Design &>(core.design()), element(row)));
        core.undoStack().setClean();
    }
    void drag(QPoint from, QPoint to, Qt::KeyboardModifiers modifiers = {})
    {
        core.ArbeitMouseDown(from);
        core.ArbeitMouseMove(to);
        core.ArbeitMouseUp(to, modifiers);
    }
    QStringList rows() const
    {
        QStringList out;
        for (const Element &e : core.design().elements)
            out << rowText(e);
        return out;
    }

    ScriptedMessages messages;
    ScriptedFileDialogs files;
    MemorySettings settings;
    test::ScriptedPropertyDialogs dialogs;
    EditorCore core;
};

} // namespace

class TestEditorCore : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void opening();
    void drawingTools_data();
    void drawingTools();
    void moveAndChangeTools_data();
    void moveAndChangeTools();
    void ctrlDeletes_data();
    void ctrlDeletes();
    void pressOnNothingChangesNothing_data();
    void pressOnNothingChangesNothing();
    void badCellEndsThePress();
    void textCreation();
    void cancelledDialogsCreateNothing();
    void changeDialogs_data();
    void changeDialogs();
    void graphic();
    void picturesInTheProgramDirectoryAreStoredRelatively();
    void undoRedoThroughTheCore();
    void positionDisplay();
    void rubberBand();
    void newAndSize();
    void caption_data();
    void caption();
    void colourAndFontOfNewText();
    void selection_data();
    void selection();
    void doubleClickOpensProperties();
    void zoomMapsPointer_data();
    void zoomMapsPointer();
    void zoomSteps();
    void zoomCanvasRoundsDown_data();
    void zoomCanvasRoundsDown();
    void zoomDrawsLarger();
    void missingPictureKeepsTheSelectionShown();
    void zoomHandsBarcodesToTheDevice_data();
    void zoomHandsBarcodesToTheDevice();
    void overhangHatchedRed();
};

void TestEditorCore::opening()
{
    Editor ed;
    QCOMPARE(ed.core.design().count(), 0);
    QCOMPARE(ed.core.design().description, QStringLiteral("keine Beschreibung"));
    // A new design has a label to draw on: 70 x 37 mm until a format's
    // label size is given, then that one; never size 0.
    QCOMPARE(ed.core.design().widthMm, QStringLiteral("70"));
    QCOMPARE(ed.core.design().heightMm, QStringLiteral("37"));
    ed.core.setNewDesignSize("64", "38");
    ed.core.FormShow();
    QCOMPARE(ed.core.design().widthMm, QStringLiteral("64"));
    QCOMPARE(ed.core.design().heightMm, QStringLiteral("38"));
    QVERIFY(!ed.core.takeOverShown());
    QCOMPARE(ed.core.tool(), int(ToolMove));
    QVERIFY(ed.core.options().grid);
    QVERIFY(!ed.core.options().clickAreas);
    QVERIFY(ed.core.serialProperties().serialNumber);
    QVERIFY(!ed.core.isModified());

    // Mode "E" keeps the size set by the wizard and shows "Übernehmen".
    ed.core.setModus("E");
    ed.core.setDateiname(QString());
    ed.core.setLabelSize("70", "36");
    ed.add({ "L|0|0|5|5|0|0" });
    ed.core.FormShow();
    QCOMPARE(ed.core.design().widthMm, QStringLiteral("70"));
    QCOMPARE(ed.core.design().heightMm, QStringLiteral("36"));
    QCOMPARE(ed.core.design().count(), 0);
    QVERIFY(ed.core.takeOverShown());
}

void TestEditorCore::drawingTools_data()
{
    QTest::addColumn<int>("tool");
    QTest::addColumn<QPoint>("scroll");
    QTest::addColumn<QPoint>("from");
    QTest::addColumn<QPoint>("to");
    QTest::addColumn<QString>("row");
    QTest::newRow("line") << int(ToolLine) << QPoint(0, 0) << QPoint(10, 20) << QPoint(110, 20)
                          << "L|10|20|110|20|1|4";
    QTest::newRow("rectangle scrolled")
        << int(ToolRectangle) << QPoint(2, 1) << QPoint(10, 10) << QPoint(5, 3) << "R|60|35|55|28|1|4";
    QTest::newRow("rounded") << int(ToolRoundRectangle) << QPoint(0, 3) << QPoint(0, 0) << QPoint(40, 40)
                             << "O|0|75|40|115|1|4";
    QTest::newRow("ellipse") << int(ToolEllipse) << QPoint(1, 0) << QPoint(10, 10) << QPoint(60, 40)
                             << "E|35|10|85|40|1|4";
}

void TestEditorCore::drawingTools()
{
    QFETCH(int, tool);
    QFETCH(QPoint, scroll);
    QFETCH(QPoint, from);
    QFETCH(QPoint, to);
    Editor ed;
    ed.core.setTool(tool);
    ed.core.setPenStyle(PenThick);
    ed.core.setColour(4);
    ed.core.setScroll(scroll.x(), scroll.y());
    ed.drag(from, to);
    QFETCH(QString, row);
    QCOMPARE(ed.rows(), QStringList { row });
    QVERIFY(ed.core.isModified());
    QCOMPARE(ed.core.undoStack().command(0)->id(), int(CreateElementId));
}

void TestEditorCore::moveAndChangeTools_data()
{
    QTest::addColumn<int>("tool");
    QTest::addColumn<QPoint>("scroll");
    QTest::addColumn<QPoint>("press");
    QTest::addColumn<QPoint>("release");
    QTest::addColumn<QString>("row");
    QTest::addColumn<int>("command");
    const int mv = ToolMove, ch = ToolChange;
    QTest::newRow("move by second corner") << mv << QPoint(0, 0) << QPoint(60, 40) << QPoint(110, 40)
                                           << "R|60|10|110|40|0|0" << int(MoveElementId);
    QTest::newRow("change second corner") << ch << QPoint(0, 0) << QPoint(61, 41) << QPoint(111, 41)
                                          << "R|10|10|111|41|0|0" << int(RepointElementId);
    QTest::newRow("change first corner in place") << ch << QPoint(0, 0) << QPoint(5, 15) << QPoint(5, 15)
                                                  << "R|5|15|60|40|0|0" << int(RepointElementId);
    QTest::newRow("move scrolled") << mv << QPoint(1, 1) << QPoint(35, 15) << QPoint(-40, -30)
                                   << "R|-65|-35|-15|-5|0|0" << int(MoveElementId);
    QTest::newRow("change scrolled") << ch << QPoint(2, 0) << QPoint(10, 40) << QPoint(0, 0)
                                     << "R|10|10|50|0|0|0" << int(RepointElementId);
}

void TestEditorCore::moveAndChangeTools()
{
    QFETCH(int, tool);
    QFETCH(QPoint, scroll);
    QFETCH(QPoint, press);
    QFETCH(QPoint, release);
    Editor ed;
    ed.add({ "R|10|10|60|40|0|0" });
    ed.core.setTool(tool);
    ed.core.setScroll(scroll.x(), scroll.y());
    ed.core.ArbeitMouseDown(press);
    QCOMPARE(ed.core.selectedRow(), 1);
    ed.core.ArbeitMouseUp(release, {});
    QFETCH(QString, row);
    QCOMPARE(ed.rows(), QStringList { row });
    QCOMPARE(ed.core.undoStack().count(), 2);
    QTEST(ed.core.undoStack().command(1)->id(), "command");
}

void TestEditorCore::ctrlDeletes_data()
{
    QTest::addColumn<int>("modifiers");
    QTest::addColumn<QString>("row");
    const QString kept = "L|30|30|100|30|0|0";
    QTest::newRow("ctrl deletes") << int(Qt::ControlModifier) << "#";
    QTest::newRow("ctrl+shift keeps") << int(Qt::ControlModifier | Qt::ShiftModifier) << kept;
    QTest::newRow("ctrl+alt keeps") << int(Qt::ControlModifier | Qt::AltModifier) << kept;
    QTest::newRow("no key repoints") << 0 << "L|30|30|100|30|0|0";
}

void TestEditorCore::ctrlDeletes()
{
    QFETCH(int, modifiers);
    Editor ed;
    ed.add({ "L|10|10|100|30|0|0" });
    ed.core.setTool(ToolChange);
    // The pointer moved away from the grip before the release.
    ed.drag(QPoint(12, 9), QPoint(30, 30), Qt::KeyboardModifiers(modifiers));
    QFETCH(QString, row);
    QCOMPARE(ed.rows(), QStringList { row });
    if (modifiers == int(Qt::ControlModifier)) {
        // A deleted element has no grip any more.
        ed.core.ArbeitMouseDown(QPoint(10, 10));
        QCOMPARE(ed.core.selectedRow(), -1);
        ed.core.ArbeitMouseUp(QPoint(10, 10), {});
    }
}

void TestEditorCore::pressOnNothingChangesNothing_data()
{
    QTest::addColumn<int>("tool");
    QTest::newRow("move") << int(ToolMove);
    QTest::newRow("change") << int(ToolChange);
}

void TestEditorCore::pressOnNothingChangesNothing()
{
    QFETCH(int, tool);
    Editor ed;
    ed.add({ "R|10|10|60|40|0|0" });
    ed.core.setTool(tool);
    ed.drag(QPoint(200, 200), QPoint(250, 250), Qt::ControlModifier);
    QCOMPARE(ed.rows(), QStringList { "R|10|10|60|40|0|0" });
    QVERIFY(!ed.core.isModified());
    // A release at the grabbed point itself is no change either.
    ed.drag(QPoint(10, 10), QPoint(10, 10));
    QVERIFY(!ed.core.isModified());
    QCOMPARE(ed.core.undoStack().count(), 1);
}

void TestEditorCore::badCellEndsThePress()
{
    Editor ed;
    ed.add({ "L|x|10|60|40|0|0", "R|10|10|60|40|0|0" });
    ed.core.ArbeitMouseDown(QPoint(10, 10));
    QCOMPARE(ed.messages.lastText(), QStringLiteral("'x' ist kein gültiger Integerwert"));
    QVERIFY(!ed.core.isPressed());
    ed.core.ArbeitMouseUp(QPoint(50, 50), {});
    QCOMPARE(ed.rows(), (QStringList { "L|x|10|60|40|0|0", "R|10|10|60|40|0|0" }));
}

void TestEditorCore::textCreation()
{
    Editor ed;
    ed.core.setTool(ToolText);
    ed.core.setScroll(1, 0);
    ed.core.setFont({ "Times New Roman", 12, true, false });
    ed.core.setColour(9);
    ed.dialogs.text.answers.enqueue(TextProperties { "Hallo, Welt", "90", true, false });
    ed.drag(QPoint(10, 20), QPoint(80, 90));
    QCOMPARE(ed.dialogs.text.shown.size(), 1);
    QVERIFY(ed.dialogs.text.shown[0].takeCurrent);
    QVERIFY(!ed.dialogs.text.shown[0].takeCurrentEnabled);
    // Stored at the press point, with the current font and colour.
    QCOMPARE(ed.rows(), QStringList { "T|35|20|90|16|1|0|9|Times New Roman|Hallo, Welt" });
    QVERIFY(!ed.core.textProperties().takeCurrent);
    QVERIFY(ed.core.textProperties().takeCurrentEnabled);

    ed.core.setTool(ToolField);
    ed.dialogs.field.answers.enqueue(FieldProperties { "Name", "30", "0", true, false });
    ed.drag(QPoint(0, 0), QPoint(1, 1));
    ed.core.setTool(ToolSerial);
    ed.dialogs.serial.answers.enqueue(SerialProperties { false, "am ", "", "180", true, false });
    ed.drag(QPoint(5, 6), QPoint(5, 6));
    QCOMPARE(ed.rows().mid(1),
        (QStringList {
            "F|25|0|0|16|1|0|9|Times New Roman|Name|30", "S|30|6|180|16|1|0|9|Times New Roman|0|am |" }));
    QVERIFY(ed.dialogs.serial.shown[0].serialNumber); // "Seriennummer" selected on opening
}

void TestEditorCore::cancelledDialogsCreateNothing()
{
    Editor ed;
    for (int tool : { int(ToolText), int(ToolField), int(ToolSerial), int(ToolGraphic), int(ToolBarcode) }) {
        ed.core.setTool(tool);
        ed.drag(QPoint(10, 10), QPoint(60, 60));
    }
    QCOMPARE(ed.core.design().count(), 0);
    QVERIFY(!ed.core.isModified());
    QCOMPARE(ed.files.calls().size(), 1);
    QCOMPARE(ed.files.calls()[0].title, QStringLiteral("Bitmap-Grafik hinzufügen"));
    QCOMPARE(
        ed.files.calls()[0].filter, QStringLiteral("Bilder (*.png *.jpg *.jpeg *.gif *.svg *.bmp)|*.png;*.jpg;*.jpeg;*.gif;*.svg;*.bmp|"
                                    "Bitmap-Grafik (*.bmp)|*.bmp|Alle Dateien (*.*)|*.*"));
}

void TestEditorCore::changeDialogs_data()
{
    QTest::addColumn<QString>("before");
    QTest::addColumn<bool>("takeCurrent");
    QTest::addColumn<QString>("after");
    const QString text = "T|100|50|0|11|0|1|2|Arial|Alt";
    QTest::newRow("text, own values") << text << false << "T|100|50|45|11|0|1|2|Arial|Neu";
    QTest::newRow("text, current font") << text << true << "T|100|50|45|13|0|0|12|Courier New|Neu";
    const QString field = "F|100|50|0|11|0|0|0|Arial|Alt|5";
    QTest::newRow("field, own values") << field << false << "F|100|50|45|11|0|0|0|Arial|Neu|20";
    QTest::newRow("field, current font") << field << true << "F|100|50|45|13|0|0|12|Courier New|Neu|20";
    const QString serial = "S|100|50|0|11|0|0|0|Arial|1|Nr.|";
    QTest::newRow("serial to date") << serial << false << "S|100|50|45|11|0|0|0|Arial|0|vom |!";
    QTest::newRow("serial, current font") << serial << true << "S|100|50|45|13|0|0|12|Courier New|0|vom |!";
}

void TestEditorCore::changeDialogs()
{
    QFETCH(QString, before);
    QFETCH(bool, takeCurrent);
    Editor ed;
    ed.add({ before });
    ed.core.setTool(ToolChange);
    ed.core.setScroll(3, 1); // the element keeps its own place
    ed.core.setFont({ "Courier New", 10, false, false });
    ed.core.setColour(12);
    const QChar kind = before.front();
    if (kind == u'T')
        ed.dialogs.text.answers.enqueue(TextProperties { "Neu", "45", takeCurrent, true });
    else if (kind == u'F')
        ed.dialogs.field.answers.enqueue(FieldProperties { "Neu", "20", "45", takeCurrent, true });
    else
        ed.dialogs.serial.answers.enqueue(SerialProperties { false, "vom ", "!", "45", takeCurrent, true });
    ed.drag(QPoint(100 - 75, 50 - 25), QPoint(10, 10));
    QFETCH(QString, after);
    QCOMPARE(ed.rows(), QStringList { after });

    // The dialog showed the element's values, its check box free.
    if (kind == u'T') {
        QCOMPARE(ed.dialogs.text.shown[0].text, QStringLiteral("Alt"));
        QCOMPARE(ed.dialogs.text.shown[0].rotation, QStringLiteral("0"));
        QVERIFY(!ed.dialogs.text.shown[0].takeCurrent && ed.dialogs.text.shown[0].takeCurrentEnabled);
    } else if (kind == u'F') {
        QCOMPARE(ed.dialogs.field.shown[0].size, QStringLiteral("5"));
    } else {
        QVERIFY(ed.dialogs.serial.shown[0].serialNumber);
        QCOMPARE(ed.dialogs.serial.shown[0].before, QStringLiteral("Nr."));
    }
    ed.core.undo();
    QCOMPARE(ed.rows(), QStringList { before });
}

void TestEditorCore::graphic()
{
    QTemporaryDir dir;
    const QString bmp = dir.filePath("logo.bmp");
    QImage image(4, 4, QImage::Format_RGB32);
    image.fill(Qt::blue);
    QVERIFY(image.save(bmp, "BMP"));

    Editor ed;
    ed.core.setTool(ToolGraphic);
    ed.core.setScroll(1, 0);
    ed.files.addAnswer(bmp);
    ed.drag(QPoint(10, 10), QPoint(60, 40));
    QCOMPARE(ed.rows(), QStringList { "B|36|11|84|39|" + bmp });

    // A file that is no picture is reported; nothing is appended.
    const QString broken = dir.filePath("kaputt.bmp");
    QFile f(broken);
    QVERIFY(f.open(QIODevice::WriteOnly) && f.write("BMkaputt") > 0);
    f.close();
    ed.files.addAnswer(broken);
    ed.drag(QPoint(0, 0), QPoint(20, 20));
    QCOMPARE(ed.core.design().count(), 1);
    QCOMPARE(ed.messages.shown().size(), 1);
    QCOMPARE(ed.messages.shown()[0].kind, MessageKind::Error);

    // A bitmap whose file is gone is reported once, not on every repaint.
    ed.files.addAnswer(bmp);
    ed.drag(QPoint(100, 100), QPoint(120, 120));
    QVERIFY(QFile::remove(bmp));
    ed.messages.clear();
    RecordingCanvas canvas;
    ed.core.paintWorkspace(canvas, 300, 200);
    ed.core.paintWorkspace(canvas, 300, 200);
    ed.core.paintWorkspace(canvas, 300, 200);
    QCOMPARE(ed.messages.shown().size(), 1);
    QVERIFY(ed.messages.lastText().contains(bmp));
}

// A picture inside the program directory is stored by its path from there,
// so the folder can be copied with its pictures; one outside keeps its full
// path. The workspace reads both.
void TestEditorCore::picturesInTheProgramDirectoryAreStoredRelatively()
{
    QTemporaryDir program;
    QTemporaryDir elsewhere;
    QImage image(4, 4, QImage::Format_RGB32);
    image.fill(Qt::blue);
    QVERIFY(QDir(program.path()).mkpath(QStringLiteral("BILDER")));
    const QString inside = program.filePath("BILDER/logo.png");
    const QString outside = elsewhere.filePath("foto.png");
    QVERIFY(image.save(inside, "PNG") && image.save(outside, "PNG"));

    Editor ed;
    ed.core.setPictureFolder(program.path());
    ed.core.setTool(ToolGraphic);
    ed.files.addAnswer(inside);
    ed.drag(QPoint(10, 10), QPoint(60, 40));
    ed.files.addAnswer(outside);
    ed.drag(QPoint(70, 10), QPoint(120, 40));
    QCOMPARE(ed.rows(), (QStringList { "B|11|11|59|39|BILDER/logo.png", "B|71|11|119|39|" + outside }));

    RecordingCanvas canvas;
    ed.core.paintWorkspace(canvas, 300, 200);
    QVERIFY2(ed.messages.shown().isEmpty(), qPrintable(ed.messages.lastText()));
    QCOMPARE(canvas.log().filter(QStringLiteral("stretch")).size(), 2);
}

void TestEditorCore::undoRedoThroughTheCore()
{
    Editor ed;
    ed.core.setTool(ToolRectangle);
    ed.drag(QPoint(10, 10), QPoint(60, 40));
    ed.core.setTool(ToolMove);
    ed.drag(QPoint(10, 10), QPoint(20, 20));
    ed.core.setTool(ToolChange);
    ed.drag(QPoint(70, 50), QPoint(100, 100));
    ed.drag(QPoint(20, 20), QPoint(20, 20), Qt::ControlModifier);
    const QStringList states[] = {
        {},
        { "R|10|10|60|40|0|0" },
        { "R|20|20|70|50|0|0" },
        { "R|20|20|100|100|0|0" },
        { "#" },
    };
    QCOMPARE(ed.core.undoStack().count(), 4);
    for (int i = 4; i > 0; --i) {
        QCOMPARE(ed.rows(), states[i]);
        ed.core.undo();
    }
    QCOMPARE(ed.rows(), states[0]);
    QVERIFY(!ed.core.isModified()); // back at the opened state
    for (int i = 1; i <= 4; ++i) {
        ed.core.redo();
        QCOMPARE(ed.rows(), states[i]);
    }
}

void TestEditorCore::positionDisplay()
{
    Editor ed;
    ed.core.ArbeitMouseMove(QPoint(118, 0));
    QCOMPARE(ed.core.positionX(), QStringLiteral("4,7"));
    QCOMPARE(ed.core.positionY(), QStringLiteral("0,0"));
    ed.core.setScroll(2, 1);
    ed.core.ArbeitMouseMove(QPoint(118, 24));
    QCOMPARE(ed.core.positionX(), QStringLiteral("6,7"));
    QCOMPARE(ed.core.positionY(), QStringLiteral("1,9"));
}

void TestEditorCore::rubberBand()
{
    Editor ed;
    ed.add({ "R|10|10|60|40|0|0", "T|100|50|90|11|1|0|2|Arial|Hallo" });

    // Drawing: nothing until the pointer moves, then the current pen.
    ed.core.setTool(ToolLine);
    ed.core.setPenStyle(PenThick);
    ed.core.setColour(3);
    ed.core.ArbeitMouseDown(QPoint(5, 5));
    RecordingCanvas before;
    ed.core.drawRubberBand(before);
    QVERIFY(before.log().isEmpty());
    ed.core.ArbeitMouseMove(QPoint(50, 60));
    RecordingCanvas line;
    ed.core.drawRubberBand(line);
    QCOMPARE(
        line.log(), (QStringList { "brush hollow", "pen 128,128,0 solid 3", "moveto 5,5", "lineto 50,60" }));
    ed.core.ArbeitMouseUp(QPoint(50, 60), {});
    RecordingCanvas after;
    ed.core.drawRubberBand(after);
    QVERIFY(after.log().isEmpty());

    // Changing: the grabbed corner follows, the other stays, dotted aqua.
    ed.core.setTool(ToolChange);
    ed.core.setScroll(0, 0);
    ed.core.ArbeitMouseDown(QPoint(58, 42));
    ed.core.ArbeitMouseMove(QPoint(90, 90));
    RecordingCanvas change;
    ed.core.drawRubberBand(change);
    QCOMPARE(change.log(), (QStringList { "brush hollow", "pen 0,255,255 dotted 1", "rect 10,10,90,90" }));
    ed.core.ArbeitMouseUp(QPoint(60, 40), {});

    // Moving a text: its text in its own font, the grabbed reference point
    // under the pointer.
    ed.core.setTool(ToolMove);
    ed.core.ArbeitMouseDown(QPoint(101, 51));
    ed.core.ArbeitMouseMove(QPoint(111, 71));
    RecordingCanvas move;
    ed.core.drawRubberBand(move);
    QVERIFY2(move.log().join('\n').contains("text 111,71 \"Hallo\" face=Arial h=-11 esc=900 w=700 i=0 "
                                            "colour=0,255,255"),
        qPrintable(move.log().join('\n')));
    ed.core.ArbeitMouseUp(QPoint(111, 71), {});
    QCOMPARE(ed.rows().at(1), QStringLiteral("T|111|71|90|11|1|0|2|Arial|Hallo"));

    // The graphic tool shows a red dotted frame.
    ed.core.setTool(ToolGraphic);
    ed.core.ArbeitMouseDown(QPoint(0, 0));
    ed.core.ArbeitMouseMove(QPoint(30, 20));
    RecordingCanvas frame;
    ed.core.drawRubberBand(frame);
    QCOMPARE(frame.log(), (QStringList { "brush hollow", "pen 255,0,0 dotted 1", "rect 0,0,30,20" }));
    ed.core.ArbeitMouseUp(QPoint(30, 20), {});
}

void TestEditorCore::newAndSize()
{
    Editor ed;
    ed.add({ "R|10|10|60|40|0|0" });
    ed.core.setDateiname("/tmp/x.eti");
    ed.core.setTool(ToolLine);
    ed.core.setScroll(3, 3);

    // Cancelled: nothing changes.
    ed.core.newDesign();
    QCOMPARE(ed.dialogs.size.shown.size(), 1);
    QCOMPARE(ed.dialogs.size.shown[0].description, QStringLiteral("keine Beschreibung"));
    QVERIFY(ed.dialogs.size.shown[0].width.isEmpty());
    QCOMPARE(ed.core.design().count(), 1);
    QCOMPARE(ed.core.tool(), int(ToolLine));

    ed.dialogs.size.answers.enqueue(SizeProperties { "70", "36", "Adresse" });
    ed.core.newDesign();
    QCOMPARE(ed.core.design().count(), 0);
    QCOMPARE(ed.core.design().widthMm, QStringLiteral("70"));
    QCOMPARE(ed.core.design().description, QStringLiteral("Adresse"));
    QVERIFY(ed.core.dateiname().isEmpty());
    QCOMPARE(ed.core.tool(), int(ToolMove));
    QCOMPARE(ed.core.scrollX(), 0);
    QVERIFY(ed.core.isModified());

    ed.dialogs.size.answers.enqueue(SizeProperties { "34", "36", "" });
    ed.core.sizeAndDescription();
    QCOMPARE(ed.dialogs.size.shown.last().description, QStringLiteral("Adresse"));
    QCOMPARE(ed.core.design().widthMm, QStringLiteral("34"));
    QCOMPARE(ed.core.caption(), QStringLiteral("Design-Experte"));

    ed.core.undo();
    ed.core.undo();
    QCOMPARE(ed.rows(), QStringList { "R|10|10|60|40|0|0" });
    QCOMPARE(ed.core.dateiname(), QStringLiteral("/tmp/x.eti"));
}

void TestEditorCore::caption_data()
{
    QTest::addColumn<QString>("description");
    QTest::addColumn<QString>("caption");
    QTest::newRow("default") << "keine Beschreibung"
                             << "Design-Experte [keine Beschreibung]";
    QTest::newRow("empty") << ""
                           << "Design-Experte";
    QTest::newRow("text") << "Adressen 3x7"
                          << "Design-Experte [Adressen 3x7]";
}

void TestEditorCore::caption()
{
    QFETCH(QString, description);
    Editor ed;
    ed.dialogs.size.answers.enqueue(SizeProperties { "1", "1", description });
    ed.core.sizeAndDescription();
    QTEST(ed.core.caption(), "caption");
}

void TestEditorCore::colourAndFontOfNewText()
{
    Editor ed;
    QCOMPARE(EditorFont().pixelHeight(), -11);
    QCOMPARE((EditorFont { "Arial", 10, false, false }.pixelHeight()), -13);
    ed.core.setFont({ "Arial", 200, false, true });
    QCOMPARE(ed.core.font().pointSize, 100);
    ed.core.setColour(16); // outside the table: kept
    ed.core.setColour(7);
    ed.core.setColour(16);
    QCOMPARE(ed.core.colour(), 7);
    ed.core.setTool(ToolText);
    ed.dialogs.text.answers.enqueue(TextProperties { "grau", "0", true, false });
    ed.drag(QPoint(1, 2), QPoint(1, 2));
    QCOMPARE(ed.rows(), QStringList { "T|1|2|0|133|0|1|7|Arial|grau" });
}

// A small script of user actions, one word each:
//   click:x,y (press and release in place), drag:x1,y1,x2,y2, tool:move|change,
//   tab, backtab, del, nudge:dx,dy, mm:dx,dy (with Shift), dup,
//   colour:n, pen:n, font (Courier New 10 points, bold).
static void play(Editor &ed, const QString &script)
{
    for (const QString &word : script.split(u' ', Qt::SkipEmptyParts)) {
        const QString verb = word.section(u':', 0, 0);
        QList<int> n;
        for (const QString &v : word.section(u':', 1).split(u',', Qt::SkipEmptyParts))
            n << v.toInt();
        if (verb == u"click")
            ed.drag(QPoint(n[0], n[1]), QPoint(n[0], n[1]));
        else if (verb == u"drag")
            ed.drag(QPoint(n[0], n[1]), QPoint(n[2], n[3]));
        else if (verb == u"tool")
            ed.core.setTool(word.endsWith(u"change") ? ToolChange : ToolMove);
        else if (verb == u"tab")
            ed.core.selectNext();
        else if (verb == u"backtab")
            ed.core.selectNext(true);
        else if (verb == u"del")
            ed.core.deleteSelected();
        else if (verb == u"nudge")
            ed.core.nudgeSelected(n[0], n[1]);
        else if (verb == u"mm")
            ed.core.nudgeSelected(n[0], n[1], true);
        else if (verb == u"dup")
            ed.core.duplicateSelected();
        else if (verb == u"colour")
            ed.core.setColour(n[0]);
        else if (verb == u"pen")
            ed.core.setPenStyle(n[0]);
        else if (verb == u"font")
            ed.core.setFont({ "Courier New", 10, true, false });
        else
            QFAIL(qPrintable(QStringLiteral("unknown step ") + word));
    }
}

void TestEditorCore::selection_data()
{
    QTest::addColumn<QStringList>("rows");
    QTest::addColumn<QString>("script");
    QTest::addColumn<QStringList>("after");
    QTest::addColumn<int>("selection");
    QTest::addColumn<int>("commands");

    const QStringList rect { "R|10|10|60|40|0|0" };
    const QStringList three { "L|10|10|100|10|0|0", "#", "T|100|50|0|11|0|1|2|Arial|Alt" };
    const QStringList text { "T|100|50|0|11|0|1|2|Arial|Alt" };

    // Selecting changes nothing in the design.
    QTest::newRow("click on a grip selects") << rect << "click:10,10" << rect << 1 << 0;
    QTest::newRow("click inside the box selects") << rect << "click:30,30" << rect << 1 << 0;
    QTest::newRow("change tool selects inside the box")
        << rect << "tool:change click:30,30" << rect << 1 << 0;
    QTest::newRow("click beside it deselects") << rect << "click:30,30 click:200,200" << rect << -1 << 0;
    QTest::newRow("click on a text's words") << text << "click:113,58" << text << 1 << 0;
    QTest::newRow("click beside a line") << three << "click:50,12" << three << 1 << 0;
    QTest::newRow("tab skips deleted rows") << three << "tab tab" << three << 3 << 0;
    QTest::newRow("tab goes round") << three << "tab tab tab" << three << 1 << 0;
    QTest::newRow("backtab starts at the end") << three << "backtab" << three << 3 << 0;
    QTest::newRow("the top element wins")
        << (QStringList { "R|10|10|60|40|0|0", "R|20|20|50|35|1|0" }) << "click:35,25"
        << (QStringList { "R|10|10|60|40|0|0", "R|20|20|50|35|1|0" }) << 2 << 0;

    // Each change one command; undo brings the rows back.
    QTest::newRow("del deletes") << three << "tab del" << (QStringList { "#", "#", three[2] }) << -1 << 1;
    QTest::newRow("del without selection") << rect << "del nudge:1,0 dup colour:9" << rect << -1 << 0;
    QTest::newRow("nudge by units") << rect << "click:30,30 nudge:1,0 nudge:0,-1"
                                    << QStringList { "R|11|9|61|39|0|0" } << 1 << 2;
    QTest::newRow("nudge a text") << text << "tab nudge:-1,1"
                                  << QStringList { "T|99|51|0|11|0|1|2|Arial|Alt" } << 1 << 1;
    QTest::newRow("shift nudges to the next millimetre")
        << rect << "tab mm:1,0 mm:1,0 mm:0,-1" << QStringList { "R|15|7|65|37|0|0" } << 1 << 3;
    QTest::newRow("move tool drags from inside the box")
        << rect << "drag:30,30,40,45" << QStringList { "R|20|25|70|55|0|0" } << 1 << 1;
    QTest::newRow("change tool does not drag the box")
        << rect << "tool:change drag:30,30,40,45" << rect << 1 << 0;
    QTest::newRow("duplicate") << text << "tab dup"
                               << QStringList { text[0], "T|112|62|0|11|0|1|2|Arial|Alt" } << 2 << 1;
    QTest::newRow("duplicate, then delete the copy")
        << rect << "tab dup del" << QStringList { rect[0], "#" } << -1 << 2;

    // Pen, colour and font of the selected element.
    QTest::newRow("colour of a line")
        << three << "tab colour:9" << QStringList { "L|10|10|100|10|0|9", "#", three[2] } << 1 << 1;
    const QStringList ellipse { "E|10|10|60|40|0|0" };
    QTest::newRow("ellipse moved by its box")
        << ellipse << "drag:30,30,35,20" << QStringList { "E|15|0|65|30|0|0" } << 1 << 1;
    QTest::newRow("ellipse's second grip")
        << ellipse << "tool:change drag:61,41,80,90" << QStringList { "E|10|10|80|90|0|0" } << 1 << 1;
    QTest::newRow("pen and colour of an ellipse")
        << ellipse << "tab pen:1 colour:9" << QStringList { "E|10|10|60|40|1|9" } << 1 << 2;
    QTest::newRow("pen of a rectangle")
        << rect << "tab pen:2" << QStringList { "R|10|10|60|40|2|0" } << 1 << 1;
    QTest::newRow("colour of a text")
        << text << "tab colour:12" << QStringList { "T|100|50|0|11|0|1|12|Arial|Alt" } << 1 << 1;
    QTest::newRow("font of a text") << text << "tab font"
                                    << QStringList { "T|100|50|0|13|1|0|2|Courier New|Alt" } << 1 << 1;
    QTest::newRow("pen leaves a text") << text << "tab pen:1" << text << 1 << 0;
    QTest::newRow("font leaves a line") << three << "tab font" << three << 1 << 0;
    QTest::newRow("same colour is no command") << rect << "tab colour:0" << rect << 1 << 0;
}

void TestEditorCore::selection()
{
    QFETCH(QStringList, rows);
    QFETCH(QString, script);
    Editor ed;
    ed.add(rows);
    const int before = ed.core.undoStack().count();
    play(ed, script);
    QTEST(ed.rows(), "after");
    QTEST(ed.core.selection(), "selection");
    QFETCH(int, commands);
    QCOMPARE(ed.core.undoStack().count() - before, commands);
    QCOMPARE(ed.core.isModified(), commands > 0);
    QVERIFY(ed.messages.shown().isEmpty());

    // The choice stays current for new elements.
    if (script.contains(u"colour:"))
        QCOMPARE(ed.core.colour(), script.section(QStringLiteral("colour:"), 1).section(u' ', 0, 0).toInt());
    if (script.contains(u"pen:"))
        QCOMPARE(ed.core.penStyle(), script.section(QStringLiteral("pen:"), 1).section(u' ', 0, 0).toInt());
    if (script.contains(u"font"))
        QCOMPARE(ed.core.font().face, QStringLiteral("Courier New"));

    for (int i = 0; i < commands; ++i)
        ed.core.undo();
    QCOMPARE(ed.rows(), rows);
    QVERIFY(!ed.core.isModified());
    // A row that undo took away is no selection any more.
    QVERIFY(ed.core.selection() <= ed.core.design().count());
    for (int i = 0; i < commands; ++i)
        ed.core.redo();
    QTEST(ed.rows(), "after");
}

void TestEditorCore::doubleClickOpensProperties()
{
    Editor ed;
    ed.add({ "R|10|10|60|40|0|0", "T|100|50|0|11|0|1|2|Arial|Alt" });
    ed.dialogs.text.answers.enqueue(TextProperties { "Neu", "90", false, true });
    // A double click on a rectangle selects it; it has no dialog.
    ed.core.ArbeitDoubleClick(QPoint(30, 30));
    QCOMPARE(ed.core.selection(), 1);
    QVERIFY(ed.dialogs.text.shown.isEmpty());
    // On the text's words: its dialog, one change.
    ed.core.ArbeitDoubleClick(QPoint(115, 55));
    QCOMPARE(ed.core.selection(), 2);
    QCOMPARE(ed.dialogs.text.shown.size(), 1);
    QCOMPARE(ed.dialogs.text.shown[0].text, QStringLiteral("Alt"));
    QCOMPARE(ed.rows()[1], QStringLiteral("T|100|50|90|11|0|1|2|Arial|Neu"));
    QCOMPARE(ed.core.undoStack().count(), 3);
    // Only the move tool: the drawing tools draw on a double click.
    ed.core.setTool(ToolText);
    ed.core.ArbeitDoubleClick(QPoint(115, 55));
    QCOMPARE(ed.dialogs.text.shown.size(), 1);
    ed.core.undo();
    QCOMPARE(ed.rows()[1], QStringLiteral("T|100|50|0|11|0|1|2|Arial|Alt"));
}

void TestEditorCore::zoomMapsPointer_data()
{
    QTest::addColumn<int>("zoom");
    QTest::addColumn<QPoint>("scroll");
    QTest::addColumn<QPoint>("pixel");
    QTest::addColumn<QPoint>("unit");
    QTest::addColumn<QString>("x"); // the position display
    QTest::newRow("50 %") << 50 << QPoint(0, 0) << QPoint(59, 7) << QPoint(118, 14) << "4,7";
    QTest::newRow("50 % scrolled") << 50 << QPoint(1, 2) << QPoint(10, 10) << QPoint(45, 70) << "1,8";
    QTest::newRow("100 %") << 100 << QPoint(0, 0) << QPoint(118, 3) << QPoint(118, 3) << "4,7";
    QTest::newRow("100 % scrolled") << 100 << QPoint(2, 1) << QPoint(5, 5) << QPoint(55, 30) << "2,2";
    QTest::newRow("400 %") << 400 << QPoint(0, 0) << QPoint(472, 403) << QPoint(118, 100) << "4,7";
    QTest::newRow("400 %, last pixel of a unit")
        << 400 << QPoint(0, 0) << QPoint(475, 3) << QPoint(118, 0) << "4,7";
    QTest::newRow("400 % left of the area")
        << 400 << QPoint(0, 0) << QPoint(-1, -5) << QPoint(-1, -2) << "0,0";
    QTest::newRow("400 % scrolled") << 400 << QPoint(3, 0) << QPoint(8, 0) << QPoint(77, 0) << "3,0";
}

void TestEditorCore::zoomMapsPointer()
{
    QFETCH(int, zoom);
    QFETCH(QPoint, scroll);
    QFETCH(QPoint, pixel);
    QFETCH(QPoint, unit);
    Editor ed;
    ed.core.setZoom(zoom);
    ed.core.setScroll(scroll.x(), scroll.y());
    QCOMPARE(ed.core.designPoint(pixel), unit);
    ed.core.ArbeitMouseMove(pixel);
    QTEST(ed.core.positionX(), "x");

    // A rectangle drawn from that pixel starts at that unit; a move by
    // the zoomed pixels of 10 units moves it by 10 units.
    ed.core.setTool(ToolRectangle);
    const int ten = 10 * zoom / 100;
    ed.drag(pixel, pixel + QPoint(4 * ten, 2 * ten));
    QCOMPARE(ed.core.design().element(1).row().join(u'|'),
        QStringLiteral("R|%1|%2|%3|%4|0|0")
            .arg(unit.x())
            .arg(unit.y())
            .arg(unit.x() + 40)
            .arg(unit.y() + 20));
    ed.core.setTool(ToolMove);
    ed.drag(pixel + QPoint(4 * ten, 2 * ten), pixel + QPoint(5 * ten, 3 * ten));
    QCOMPARE(ed.core.design().element(1).row().join(u'|'),
        QStringLiteral("R|%1|%2|%3|%4|0|0")
            .arg(unit.x() + 10)
            .arg(unit.y() + 10)
            .arg(unit.x() + 50)
            .arg(unit.y() + 30));
}

void TestEditorCore::zoomSteps()
{
    Editor ed;
    QCOMPARE(ed.core.zoom(), 100);
    ed.core.zoomIn();
    QCOMPARE(ed.core.zoom(), 150);
    for (int i = 0; i < 10; ++i)
        ed.core.zoomIn();
    QCOMPARE(ed.core.zoom(), EditorCore::MaxZoom);
    ed.core.setZoom(120); // between steps
    ed.core.zoomOut();
    QCOMPARE(ed.core.zoom(), 100);
    ed.core.setZoom(5);
    QCOMPARE(ed.core.zoom(), EditorCore::MinZoom);

    // The whole 70 x 37 mm label (175 x 92 units and the outline's pixel)
    // into 700 x 400 pixels: 699 / 175 across.
    ed.core.setScroll(3, 2);
    ed.core.zoomToLabel(700, 400);
    QCOMPARE(ed.core.zoom(), 399);
    QCOMPARE(ed.core.scrollX(), 0);
    QCOMPARE(ed.core.scrollY(), 0);

    // Ctrl+wheel keeps the point under the pointer within the scroll steps.
    ed.core.setZoom(100);
    ed.core.zoomAt(true, QPoint(300, 100)); // unit 300 at 150 %: pixel 200 left of it
    QCOMPARE(ed.core.zoom(), 150);
    QCOMPARE(ed.core.scrollX(), 4); // 300 - 200 = 100 units = 4 cm
    QCOMPARE(ed.core.designPoint(QPoint(300, 100)).x(), 300);
    ed.core.zoomAt(false, QPoint(300, 100));
    QCOMPARE(ed.core.zoom(), 100);
    QCOMPARE(ed.core.scrollX(), 0);
}

void TestEditorCore::zoomCanvasRoundsDown_data()
{
    QTest::addColumn<int>("value");
    QTest::addColumn<int>("percent");
    QTest::addColumn<int>("scaled");
    QTest::newRow("0 at 50 %") << 0 << 50 << 0;
    QTest::newRow("1 at 50 %") << 1 << 50 << 0;
    QTest::newRow("-1 at 50 %") << -1 << 50 << -1;
    QTest::newRow("-2 at 50 %: exact") << -2 << 50 << -1;
    QTest::newRow("-3 at 50 %") << -3 << 50 << -2;
    QTest::newRow("-100 at 50 %: exact") << -100 << 50 << -50;
    QTest::newRow("-7 at 25 %") << -7 << 25 << -2;
    QTest::newRow("7 at 25 %") << 7 << 25 << 1;
    QTest::newRow("-2 at 75 %") << -2 << 75 << -2;
    QTest::newRow("-4 at 75 %: exact") << -4 << 75 << -3;
    QTest::newRow("-1 at 150 %") << -1 << 150 << -2;
    QTest::newRow("-1 at 800 %") << -1 << 800 << -8;
    QTest::newRow("-25 at 100 %") << -25 << 100 << -25;
    QTest::newRow("far below") << std::numeric_limits<int>::min() << 800 << -(1 << 30);
    QTest::newRow("far beyond") << std::numeric_limits<int>::max() << 800 << (1 << 30);
}

// Coordinates scale toward minus infinity, so that a point left of or above
// the workspace (a scrolled design, the hatching of an overhang) lands on
// the pixel that holds it and neighbours meet at every zoom: one pixel to
// the left of 0 is never drawn on column 0.
void TestEditorCore::zoomCanvasRoundsDown()
{
    QFETCH(int, value);
    QFETCH(int, percent);
    QFETCH(int, scaled);
    QCOMPARE(ZoomCanvas::scaled(value, percent), scaled);

    // Every coordinate a call takes goes through it, across and down.
    RecordingCanvas inner;
    ZoomCanvas zoomed(inner, percent);
    const int v = std::clamp(value, -(1 << 20), 1 << 20);
    const int s = ZoomCanvas::scaled(v, percent);
    zoomed.rectangle(v, v, 0, 0);
    zoomed.moveTo(v, 0);
    zoomed.lineTo(0, v);
    zoomed.clipRect(v, v, 1, 1);
    const int one = ZoomCanvas::scaled(1, percent);
    QCOMPARE(inner.log(),
        (QStringList { QStringLiteral("rect %1,%1,0,0").arg(s), QStringLiteral("moveto %1,0").arg(s),
            QStringLiteral("lineto 0,%1").arg(s), QStringLiteral("clip %1,%1,%2,%2").arg(s).arg(one) }));
}

void TestEditorCore::zoomDrawsLarger()
{
    Editor ed;
    ed.add({ "R|10|10|60|40|0|12" });
    ed.core.setGridShown(false);
    ed.core.setZoom(400);
    QImage image(400, 300, QImage::Format_RGB32);
    image.fill(Qt::white);
    {
        QPainter painter(&image);
        QPainterCanvas canvas(painter);
        ed.core.paintWorkspace(canvas, image.width(), image.height());
    }
    // The rectangle's top edge at unit 10 is pixel row 40, its left edge
    // column 40; inside it stays white.
    QCOMPARE(QColor(image.pixel(120, 40)), QColor(0, 0, 255));
    QCOMPARE(QColor(image.pixel(40, 100)), QColor(0, 0, 255));
    QCOMPARE(QColor(image.pixel(120, 100)), QColor(Qt::white));
    QCOMPARE(QColor(image.pixel(120, 20)), QColor(Qt::white));
    // The label outline (70 mm: 175 units) lies beyond 400 pixels.
    QCOMPARE(QColor(image.pixel(399, 200)), QColor(Qt::white));
}

namespace {

// Records the barcode calls a device may draw better than one rectangle and
// one text at a time.
class BarcodeCallCanvas : public RecordingCanvas
{
public:
    void fillRectsF(const std::vector<QRectF> &rects, const QPointF &origin, double scaleX, double scaleY,
        const QColor &) override
    {
        barcodeCalls << QStringLiteral("bars %1 at %2,%3 scale %4,%5")
                            .arg(rects.size())
                            .arg(origin.x())
                            .arg(origin.y())
                            .arg(scaleX)
                            .arg(scaleY);
        bars = rects.size();
    }
    void textOnBaseline(const QPointF &at, Anchor, const CanvasFont &font, const QString &text) override
    {
        barcodeCalls << QStringLiteral("digits %1 at %2,%3 h=%4").arg(text).arg(at.x()).arg(at.y()).arg(font.height);
    }
    QStringList barcodeCalls;
    size_t bars = 0;
};

} // namespace

// A picture that cannot be read is reported once; the selected element
// still shows its grips and the overhang is still hatched.
void TestEditorCore::missingPictureKeepsTheSelectionShown()
{
    const auto paintedWith = [](const QStringList &rows, int expectedMessages) {
        Editor ed;
        ed.add(rows);
        ed.core.setGridShown(false);
        ed.core.setTool(ToolMove);
        ed.core.selectNext(); // the rectangle
        [&] { QCOMPARE(ed.core.selection(), 1); }();
        RecordingCanvas canvas;
        ed.core.paintWorkspace(canvas, 800, 400);
        ed.core.paintWorkspace(canvas, 800, 400);
        [&] { QCOMPARE(ed.messages.shown().size(), expectedMessages); }();
        QStringList fills = canvas.log().filter(QStringLiteral("fill "));
        return fills.mid(fills.size() / 2); // the second painting
    };
    // The rectangle reaches beyond the 70 mm label: its overhang is hatched.
    const QStringList without = paintedWith({ "R|150|10|250|40|0|12" }, 0);
    const QStringList with
        = paintedWith({ "R|150|10|250|40|0|12", "B|20|10|60|40|" + QDir::tempPath() + "/fehlt/kein.png" }, 1);
    QVERIFY(!without.isEmpty());
    for (const QString &fill : without)
        QVERIFY2(with.contains(fill), qPrintable(fill));
}

void TestEditorCore::zoomHandsBarcodesToTheDevice_data()
{
    QTest::addColumn<int>("zoom");
    QTest::newRow("100 %") << 100;
    QTest::newRow("200 %") << 200;
    QTest::newRow("50 %") << 50;
}

// The workspace hands a barcode's bars and digits to the device whole, at
// any zoom: the bars in one call, scaled with the zoom, and the digits to be
// placed by the device's own measures.
void TestEditorCore::zoomHandsBarcodesToTheDevice()
{
    QFETCH(int, zoom);
    const auto callsAt = [](int z) {
        Editor ed;
        ed.add({ "C|20|10|150|70|0|Artikel|12" });
        ed.core.setGridShown(false);
        ed.core.setZoom(z);
        BarcodeCallCanvas canvas;
        ed.core.paintWorkspace(canvas, 800, 600);
        return std::pair { canvas.barcodeCalls, canvas.bars };
    };
    const auto [atHundred, bars] = callsAt(100);
    const auto [zoomed, zoomedBars] = callsAt(zoom);
    QVERIFY(bars > 20);
    QCOMPARE(zoomedBars, bars);
    QCOMPARE(zoomed.size(), atHundred.size());
    QVERIFY(zoomed.size() >= 2); // the bars and at least one group of digits
    // Every number scales with the zoom (font heights in whole units).
    static const QRegularExpression number(QStringLiteral(R"([-\d.]+)"));
    for (qsizetype i = 0; i < zoomed.size(); ++i) {
        QVERIFY2(zoomed[i].section(u' ', 0, 1) == atHundred[i].section(u' ', 0, 1), qPrintable(zoomed[i]));
        const QString at100 = atHundred[i].section(u' ', 2);
        const QString atZoom = zoomed[i].section(u' ', 2);
        auto a = number.globalMatch(at100);
        auto b = number.globalMatch(atZoom);
        while (a.hasNext() && b.hasNext()) {
            const double expected = a.next().captured().toDouble() * zoom / 100.0;
            const double actual = b.next().captured().toDouble();
            QVERIFY2(qAbs(actual - expected) <= 1.0, qPrintable(at100 + " / " + atZoom));
        }
        QVERIFY(!a.hasNext() && !b.hasNext());
    }
}

void TestEditorCore::overhangHatchedRed()
{
    // The 70 x 37 mm label ends at unit 175; the rectangle reaches to 250.
    Editor ed;
    ed.add({ "R|150|50|250|80|0|12" });
    ed.core.setGridShown(false);
    for (const int zoom : { 100, 200 }) {
        ed.core.setZoom(zoom);
        QImage image(600, 300, QImage::Format_RGB32);
        image.fill(Qt::white);
        {
            QPainter painter(&image);
            QPainterCanvas canvas(painter);
            ed.core.paintWorkspace(canvas, image.width(), image.height());
        }
        const auto redIn = [&](int left, int right) {
            int red = 0;
            for (int x = left * zoom / 100; x < right * zoom / 100; ++x)
                for (int y = 52 * zoom / 100; y < 79 * zoom / 100; ++y)
                    red += QColor(image.pixel(x, y)) == QColor(255, 0, 0);
            return red;
        };
        QVERIFY2(redIn(180, 248) > 100, qPrintable(QString::number(zoom)));
        QCOMPARE(redIn(152, 174), 0); // the part on the label
    }
    // Wholly inside: nothing hatched.
    Editor inside;
    inside.add({ "R|10|10|60|40|0|12" });
    inside.core.setGridShown(false);
    RecordingCanvas canvas;
    inside.core.paintWorkspace(canvas, 300, 200);
    QVERIFY(!canvas.log().join(u' ').contains(QStringLiteral("clip")));
}

QTEST_GUILESS_MAIN(TestEditorCore)
#include "TestEditorCore.moc"
