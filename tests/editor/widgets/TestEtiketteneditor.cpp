#include "controls/colorgrid.h"
#include "editor/widgets/etiketteneditor.h"
#include "editor/widgets/workspaceview.h"
#include "editordoubles.h"
#include "platform/doubles/memorysettings.h"
#include "platform/doubles/recordinghelp.h"
#include "platform/doubles/scriptedfiledialogs.h"
#include "platform/doubles/scriptedmessages.h"

#include <QAction>
#include <QApplication>
#include <QDir>
#include <QLabel>
#include <QPushButton>
#include <QScrollBar>
#include <QTest>
#include <QToolButton>
#include <QWheelEvent>

using namespace qm;

namespace {

// The editor window with its doubles, shown in mode "N" on a new design.
struct Rig
{
    explicit Rig(const QString &modus = QStringLiteral("N"))
        : editor(
            confirmed, messages, files, settings, help, QStringLiteral("/p/QUILLMK.HLP"), nullptr, &dialogs)
    {
        editor.setModus(modus);
        editor.setLabelSize(QStringLiteral("60"), QStringLiteral("30"));
        editor.show();
        editor.resize(800, 600);
        editor.repaintNow();
    }
    ~Rig() { editor.hide(); }

    TArbeit *work() const { return editor.workspace(); }
    void press(QPoint p, Qt::KeyboardModifiers m = {}) { QTest::mousePress(work(), Qt::LeftButton, m, p); }
    void move(QPoint p)
    {
        QMouseEvent e(QEvent::MouseMove, p, work()->mapToGlobal(p), Qt::NoButton, Qt::LeftButton, {});
        QApplication::sendEvent(work(), &e);
    }
    void release(QPoint p, Qt::KeyboardModifiers m = {})
    {
        QTest::mouseRelease(work(), Qt::LeftButton, m, p);
    }
    void drag(QPoint from, QPoint to)
    {
        press(from);
        move(to);
        release(to);
        editor.repaintNow();
    }

    bool confirmed = false;
    ScriptedMessages messages;
    ScriptedFileDialogs files;
    MemorySettings settings;
    RecordingHelp help;
    test::ScriptedPropertyDialogs dialogs;
    TEtiketteneditor editor;
};

} // namespace

class TestEtiketteneditor : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void toolItems_data();
    void toolItems();
    void openingState();
    void minimumSize();
    void drawingWithTheMouse();
    void rubberBandIsDrawnOverThePicture();
    void colourAndFont();
    void undoRedoActions();
    void optionsSurviveClosing();
    void closingAsksAboutChanges();
    void takeOverConfirms();
    void scrollingMovesRulersAndWorkspace();
    void help();
    void keysEditTheSelection();
    void zoomFollowsMenuAndWheel();
    void sizeIsRemembered();
    void wizardModeAsksForSizeAndDescription();
};

void TestEtiketteneditor::toolItems_data()
{
    QTest::addColumn<QString>("item");
    QTest::addColumn<QString>("button");
    QTest::addColumn<QString>("caption");
    QTest::addColumn<QString>("shortcut");
    QTest::addColumn<int>("tool");
    QTest::newRow("move") << "B0"
                          << "SpeedPfeil"
                          << "Objekt &verschieben"
                          << "Ctrl+V" << 0;
    QTest::newRow("change") << "B9"
                            << "SpeedAendern"
                            << "Objekt &ändern"
                            << "Ctrl+A" << 9;
    QTest::newRow("line") << "B1"
                          << "SpeedLinie"
                          << "&Linie"
                          << "Ctrl+L" << 1;
    QTest::newRow("rectangle") << "B2"
                               << "SpeedRechteck"
                               << "&Rechteck"
                               << "Ctrl+R" << 2;
    QTest::newRow("rounded") << "B3"
                             << "SpeedRundeck"
                             << "Rechteck mit runden &Ecken"
                             << "Ctrl+E" << 3;
    QTest::newRow("text") << "B4"
                          << "SpeedText"
                          << "&Text"
                          << "Ctrl+T" << 4;
    QTest::newRow("field") << "B5"
                           << "SpeedFeld"
                           << "&Feld"
                           << "Ctrl+F" << 5;
    QTest::newRow("serial") << "B6"
                            << "SpeedSeriennummer"
                            << "&Seriennummer oder Datum/Zeit"
                            << "Ctrl+S" << 6;
    QTest::newRow("graphic") << "B7"
                             << "SpeedGrafik"
                             << "&Grafik"
                             << "Ctrl+G" << 7;
    QTest::newRow("ellipse") << "B8"
                             << "SpeedEllipse"
                             << "&Ellipse"
                             << "Ctrl+K" << 8;
}

void TestEtiketteneditor::toolItems()
{
    QFETCH(QString, item);
    QFETCH(QString, button);
    QFETCH(int, tool);
    Rig rig;
    QAction *a = rig.editor.action(qPrintable(item));
    QVERIFY(a);
    QTEST(a->text(), "caption");
    QTEST(a->shortcut().toString(), "shortcut");
    auto *b = rig.editor.findChild<QToolButton *>(button);
    QVERIFY(b);
    // Menu item and button do the same.
    b->click();
    QCOMPARE(rig.editor.core().tool(), tool);
    QVERIFY(a->isChecked());
    rig.editor.action("B0")->trigger();
    QCOMPARE(rig.editor.core().tool(), 0);
    QCOMPARE(b->isChecked(), tool == 0);
    a->trigger();
    QVERIFY(b->isChecked());
}

void TestEtiketteneditor::openingState()
{
    Rig rig;
    QCOMPARE(rig.editor.windowTitle(), QStringLiteral("Design-Experte [keine Beschreibung]"));
    QVERIFY(rig.editor.findChild<QPushButton *>("ButtonUeber")->isHidden());
    QVERIFY(rig.editor.action("G")->isChecked());
    QVERIFY(!rig.editor.action("K")->isChecked());
    QVERIFY(rig.editor.action("Linien0")->isChecked());
    QVERIFY(rig.editor.findChild<QToolButton *>("SpeedLinien0")->isChecked());
    QCOMPARE(rig.editor.fontSample()->text(), QStringLiteral("Schriftprobe"));
    QCOMPARE(rig.editor.colourGrid()->gridOrdering(), TColorGrid::go8x2);
    QCOMPARE(rig.editor.colourGrid()->size(), QSize(160, 32));
    QVERIFY(!rig.editor.colourGrid()->foregroundEnabled());
    QCOMPARE(rig.editor.findChild<QScrollBar *>("ScrollUnten")->maximum(), 20);
    QCOMPARE(rig.editor.findChild<QScrollBar *>("ScrollRechts")->maximum(), 28);
    QVERIFY(!rig.editor.action("Rueckgaengig1")->isEnabled());
    QCOMPARE(rig.editor.action("Rueckgaengig1")->shortcut(), QKeySequence(Qt::CTRL | Qt::Key_Z));
    QCOMPARE(rig.editor.action("Wiederherstellen1")->shortcut(), QKeySequence(Qt::CTRL | Qt::Key_Y));

    Rig wizard(QStringLiteral("E"));
    QVERIFY(!wizard.editor.findChild<QPushButton *>("ButtonUeber")->isHidden());
    QCOMPARE(wizard.editor.core().design().widthMm, QStringLiteral("60"));
}

void TestEtiketteneditor::minimumSize()
{
    Rig rig;
    rig.editor.resize(700, 250);
    QVERIFY(rig.editor.width() >= TEtiketteneditor::MinimumWidth);
    QCOMPARE(rig.editor.height(), TEtiketteneditor::MinimumHeight);
    rig.editor.resize(400, 600);
    QCOMPARE(rig.editor.width(), TEtiketteneditor::MinimumWidth);
}

void TestEtiketteneditor::drawingWithTheMouse()
{
    Rig rig;
    rig.editor.action("B2")->trigger();
    rig.editor.colourGrid()->setSelection(12);
    rig.editor.GridFarbenClick();
    rig.drag(QPoint(20, 30), QPoint(120, 80));
    QCOMPARE(rig.editor.core().design().count(), 1);
    QCOMPARE(rig.editor.core().design().element(1).row().join(u'|'), QStringLiteral("R|20|30|120|80|0|12"));
    // The picture shows the blue outline where it was drawn.
    const QImage picture = rig.work()->picture();
    QCOMPARE(QColor(picture.pixel(60, 30)), QColor(0, 0, 255));
    QCOMPARE(QColor(picture.pixel(20, 50)), QColor(0, 0, 255));
    QCOMPARE(QColor(picture.pixel(60, 45)), QColor(Qt::white));

    // Move it by its first corner, then delete it with Ctrl.
    rig.editor.action("B0")->trigger();
    rig.drag(QPoint(21, 31), QPoint(50, 30)); // the grabbed corner lands at the release
    QCOMPARE(rig.editor.core().design().element(1).row().join(u'|'), QStringLiteral("R|50|30|150|80|0|12"));
    QCOMPARE(QColor(rig.work()->picture().pixel(50, 45)), QColor(0, 0, 255));
    QCOMPARE(QColor(rig.work()->picture().pixel(20, 45)), QColor(Qt::white));
    rig.editor.action("B9")->trigger();
    rig.press(QPoint(150, 80));
    rig.move(QPoint(150, 80));
    rig.release(QPoint(150, 80), Qt::ControlModifier);
    QCOMPARE(rig.editor.core().design().element(1).kind, QChar(u'#'));
    QCOMPARE(rig.editor.findChild<QLabel *>("MX")->text(), QStringLiteral("6,0"));
    QCOMPARE(rig.editor.findChild<QLabel *>("MY")->text(), QStringLiteral("3,2"));
}

void TestEtiketteneditor::rubberBandIsDrawnOverThePicture()
{
    Rig rig;
    rig.editor.action("B1")->trigger();
    rig.editor.action("Linien1")->trigger();
    rig.press(QPoint(10, 100));
    rig.move(QPoint(200, 100));
    const QImage shown = rig.work()->shownImage();
    QCOMPARE(QColor(shown.pixel(100, 100)), QColor(Qt::black));
    QCOMPARE(QColor(shown.pixel(100, 101)), QColor(Qt::black)); // thick pen
    // The cached picture of the design has no band in it.
    QCOMPARE(QColor(rig.work()->picture().pixel(100, 100)), QColor(Qt::white));
    rig.release(QPoint(200, 100));
    QCOMPARE(rig.editor.core().design().element(1).row().join(u'|'), QStringLiteral("L|10|100|200|100|1|0"));
}

void TestEtiketteneditor::colourAndFont()
{
    Rig rig;
    // Square 7 is shown light grey in the grid, but the design's grey.
    QTest::mouseClick(rig.editor.colourGrid(), Qt::LeftButton, {}, QPoint(150, 5));
    QCOMPARE(rig.editor.core().colour(), 7);
    QCOMPARE(rig.editor.fontSample()->palette().color(QPalette::WindowText), QColor(128, 128, 128));

    rig.editor.setFontChooser([](const EditorFont &current) -> std::optional<EditorFont> {
        EditorFont f = current;
        f.face = QStringLiteral("Courier New");
        f.pointSize = 12;
        f.bold = true;
        return f;
    });
    rig.editor.findChild<QToolButton *>("SpeedSchrift")->click();
    QCOMPARE(rig.editor.fontSample()->font().pointSize(), 12);
    QVERIFY(rig.editor.fontSample()->font().bold());

    rig.editor.action("B4")->trigger();
    rig.dialogs.text.answers.enqueue(
        TextProperties { QStringLiteral("grau"), QStringLiteral("0"), true, false });
    rig.drag(QPoint(30, 40), QPoint(30, 40));
    QCOMPARE(rig.editor.core().design().element(1).row().join(u'|'),
        QStringLiteral("T|30|40|0|16|1|0|7|Courier New|grau"));
}

void TestEtiketteneditor::undoRedoActions()
{
    Rig rig;
    rig.editor.action("B1")->trigger();
    rig.drag(QPoint(10, 10), QPoint(90, 10));
    QVERIFY(rig.editor.action("Rueckgaengig1")->isEnabled());
    rig.editor.action("Rueckgaengig1")->trigger();
    QCOMPARE(rig.editor.core().design().count(), 0);
    QVERIFY(rig.editor.action("Wiederherstellen1")->isEnabled());
    rig.editor.action("Wiederherstellen1")->trigger();
    QCOMPARE(rig.editor.core().design().count(), 1);
    rig.editor.repaintNow();
    QCOMPARE(QColor(rig.work()->picture().pixel(50, 10)), QColor(Qt::black));
}

void TestEtiketteneditor::optionsSurviveClosing()
{
    Rig rig;
    rig.editor.action("G")->trigger();
    rig.editor.action("K")->trigger();
    rig.editor.Zurck1Click();
    QVERIFY(!rig.editor.isVisible());
    QCOMPARE(rig.settings.value("Parameter", "Gitter"), std::optional<QString>("0"));
    rig.editor.show();
    QVERIFY(!rig.editor.action("G")->isChecked());
    QVERIFY(rig.editor.action("K")->isChecked());
}

void TestEtiketteneditor::closingAsksAboutChanges()
{
    Rig rig;
    rig.editor.action("B1")->trigger();
    rig.drag(QPoint(10, 10), QPoint(90, 10));
    rig.messages.addAnswer(MessageButton::Cancel);
    rig.editor.Zurck1Click();
    QVERIFY(rig.editor.isVisible());
    QCOMPARE(rig.messages.lastText(), QStringLiteral("Sollen die Änderungen gespeichert werden ?"));
    rig.messages.addAnswer(MessageButton::Cancel);
    QTest::keyClick(&rig.editor, Qt::Key_Escape);
    QVERIFY(rig.editor.isVisible());
    rig.messages.addAnswer(MessageButton::No);
    rig.editor.close();
    QVERIFY(!rig.editor.isVisible());
    QVERIFY(!rig.confirmed);
}

void TestEtiketteneditor::takeOverConfirms()
{
    Rig rig(QStringLiteral("E"));
    rig.editor.findChild<QPushButton *>("ButtonUeber")->click();
    QVERIFY(rig.editor.isVisible()); // no file yet
    QCOMPARE(rig.messages.lastText(),
        QStringLiteral("Keine Etiketten- bzw. Formulardatei geladen oder gespeichert !"));
    rig.editor.setDateiname(QDir::temp().filePath(QStringLiteral("qm-uebernehmen-test.eti")));
    rig.messages.addAnswer(MessageButton::No);
    rig.editor.ButtonUeberClick();
    QVERIFY(!rig.editor.isVisible());
    QVERIFY(rig.confirmed);
    QCOMPARE(rig.editor.dateiname(), QDir::temp().filePath(QStringLiteral("qm-uebernehmen-test.eti")));
}

void TestEtiketteneditor::scrollingMovesRulersAndWorkspace()
{
    Rig rig;
    rig.editor.action("B1")->trigger();
    rig.drag(QPoint(60, 60), QPoint(100, 60));
    auto *bar = rig.editor.findChild<QScrollBar *>("ScrollUnten");
    bar->setValue(2);
    QCOMPARE(rig.editor.core().scrollX(), 2);
    // The line now starts 50 pixels further left.
    QCOMPARE(QColor(rig.work()->picture().pixel(20, 60)), QColor(Qt::black));
    QCOMPARE(QColor(rig.work()->picture().pixel(70, 60)), QColor(Qt::white));
    rig.drag(QPoint(10, 10), QPoint(40, 10));
    QCOMPARE(rig.editor.core().design().element(2).row().join(u'|'), QStringLiteral("L|60|10|90|10|0|0"));
}

void TestEtiketteneditor::help()
{
    Rig rig;
    rig.editor.action("Inhaltsverzeichnis1")->trigger();
    QCOMPARE(rig.help.requests().size(), 1);
    QCOMPARE(rig.help.requests()[0].contextNumber, 6);
    QCOMPARE(rig.help.requests()[0].helpFilePath, QStringLiteral("/p/QUILLMK.HLP"));
}

void TestEtiketteneditor::keysEditTheSelection()
{
    Rig rig;
    rig.editor.activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(&rig.editor));
    rig.editor.action("B2")->trigger();
    rig.drag(QPoint(20, 30), QPoint(120, 80));
    rig.editor.action("B0")->trigger();
    const auto row = [&](int r) { return rig.editor.core().design().element(r).row().join(u'|'); };

    // A click inside the rectangle selects it; its grips are drawn.
    QCOMPARE(QColor(rig.work()->picture().pixel(18, 28)), QColor(Qt::white));
    rig.drag(QPoint(60, 50), QPoint(60, 50));
    QCOMPARE(rig.editor.core().selection(), 1);
    QCOMPARE(QColor(rig.work()->picture().pixel(18, 28)), QColor(0, 0, 255));

    QTest::keyClick(&rig.editor, Qt::Key_Right);
    QTest::keyClick(&rig.editor, Qt::Key_Down, Qt::ShiftModifier);
    QCOMPARE(row(1), QStringLiteral("R|21|32|121|82|0|0"));
    QTest::keyClick(&rig.editor, Qt::Key_D, Qt::ControlModifier);
    QCOMPARE(rig.editor.core().design().count(), 2);
    QCOMPARE(rig.editor.core().selection(), 2);
    QTest::keyClick(&rig.editor, Qt::Key_Delete);
    QCOMPARE(row(2).left(1), QStringLiteral("#"));
    QTest::keyClick(&rig.editor, Qt::Key_Tab);
    QCOMPARE(rig.editor.core().selection(), 1);

    // The colour grid recolours the selected rectangle.
    rig.editor.colourGrid()->setSelection(9);
    rig.editor.GridFarbenClick();
    QCOMPARE(row(1), QStringLiteral("R|21|32|121|82|0|9"));

    // Undo takes it all back, one step each.
    for (int i = 0; i < 5; ++i)
        rig.editor.action("Rueckgaengig1")->trigger();
    QCOMPARE(row(1), QStringLiteral("R|20|30|120|80|0|0"));
    QCOMPARE(rig.editor.core().design().count(), 1);

    // A double click on a text opens its dialog.
    rig.editor.core().setSelection(-1);
    rig.editor.action("B4")->trigger();
    rig.dialogs.text.answers.enqueue(
        TextProperties { QStringLiteral("Alt"), QStringLiteral("0"), true, false });
    rig.drag(QPoint(200, 100), QPoint(200, 100));
    rig.editor.action("B0")->trigger();
    rig.dialogs.text.answers.enqueue(
        TextProperties { QStringLiteral("Neu"), QStringLiteral("0"), false, true });
    QTest::mouseDClick(rig.work(), Qt::LeftButton, {}, QPoint(205, 105));
    QCOMPARE(rig.dialogs.text.shown.size(), 2);
    QVERIFY(row(2).endsWith(QStringLiteral("|Neu")));
}

void TestEtiketteneditor::zoomFollowsMenuAndWheel()
{
    Rig rig;
    rig.editor.action("B1")->trigger();
    rig.drag(QPoint(10, 20), QPoint(50, 20));
    rig.editor.action("Vergroessern")->trigger();
    QCOMPARE(rig.editor.core().zoom(), 150);
    QCOMPARE(rig.editor.findChild<QLabel *>("Zoom")->text(), QStringLiteral("150 %"));
    // The line, and the ruler's 1 cm tick, drawn one and a half times as far.
    QCOMPARE(QColor(rig.work()->picture().pixel(70, 30)), QColor(Qt::black));
    QCOMPARE(QColor(rig.work()->picture().pixel(70, 20)), QColor(Qt::white));
    const QImage ruler = rig.editor.findChild<TLineal *>("LinealOben")->picture();
    QCOMPARE(QColor(ruler.pixel(37, 3)), QColor(Qt::black));
    QCOMPARE(QColor(ruler.pixel(25, 3)), QColor(Qt::white));

    rig.editor.action("GanzesEtikett")->trigger();
    const int whole = rig.editor.core().zoom();
    QVERIFY(whole > 150);
    rig.editor.action("Zoom100")->trigger();
    QCOMPARE(rig.editor.core().zoom(), 100);

    // Ctrl+wheel zooms in; the plain wheel does not.
    QWheelEvent plain(QPointF(100, 50), rig.work()->mapToGlobal(QPointF(100, 50)), {}, QPoint(0, 120),
        Qt::NoButton, Qt::NoModifier, Qt::NoScrollPhase, false);
    QApplication::sendEvent(rig.work(), &plain);
    QCOMPARE(rig.editor.core().zoom(), 100);
    QWheelEvent ctrl(QPointF(100, 50), rig.work()->mapToGlobal(QPointF(100, 50)), {}, QPoint(0, 120),
        Qt::NoButton, Qt::ControlModifier, Qt::NoScrollPhase, false);
    QApplication::sendEvent(rig.work(), &ctrl);
    QCOMPARE(rig.editor.core().zoom(), 150);
    // Unit 100 under the pointer wants 34 units left of the pane: 1 cm.
    QCOMPARE(rig.editor.core().scrollX(), 1);
    QCOMPARE(rig.editor.findChild<QScrollBar *>("ScrollUnten")->value(), 1);
    // A line drawn now is stored in design units.
    rig.drag(QPoint(150, 150), QPoint(300, 150));
    QCOMPARE(rig.editor.core().design().element(2).row().join(u'|'), QStringLiteral("L|125|125|225|125|0|0"));
}

void TestEtiketteneditor::sizeIsRemembered()
{
    Rig rig;
    rig.editor.resize(900, 700);
    rig.editor.Zurck1Click();
    QCOMPARE(rig.settings.value("Parameter", "EditorBreite"), std::optional<QString>("900"));
    QCOMPARE(rig.settings.value("Parameter", "EditorHoehe"), std::optional<QString>("700"));
    rig.editor.show();
    QCOMPARE(rig.editor.size(), QSize(900, 700));
    // Nothing usable stored: the specified size.
    rig.editor.Zurck1Click();
    rig.settings.setValue("Parameter", "EditorBreite", "abc");
    rig.settings.setValue("Parameter", "EditorHoehe", "1");
    rig.editor.show();
    QCOMPARE(rig.editor.size(), QSize(TEtiketteneditor::MinimumWidth, TEtiketteneditor::MinimumHeight));
}

void TestEtiketteneditor::wizardModeAsksForSizeAndDescription()
{
    Rig rig(QStringLiteral("E"));
    rig.editor.hide();
    rig.editor.core().setNewDescription(QStringLiteral("Versand"));
    rig.dialogs.size.answers.enqueue(
        SizeProperties { QStringLiteral("60"), QStringLiteral("30,5"), QStringLiteral("Versand groß") });
    rig.editor.show();
    QCoreApplication::processEvents();
    QCOMPARE(rig.dialogs.size.shown.size(), 1);
    QCOMPARE(rig.dialogs.size.shown[0].description, QStringLiteral("Versand"));
    QCOMPARE(rig.editor.windowTitle(), QStringLiteral("Design-Experte [Versand groß]"));
    // Kept as the design file holds it, in steps of 0.4 mm.
    QCOMPARE(rig.editor.core().design().heightMm, QStringLiteral("30,4"));
}

QTEST_MAIN(TestEtiketteneditor)
#include "TestEtiketteneditor.moc"
