#include "editor/editorcommands.h"
#include "editor/editorcore.h"
#include "editordoubles.h"
#include "platform/doubles/memorysettings.h"
#include "platform/doubles/scriptedfiledialogs.h"
#include "platform/doubles/scriptedmessages.h"
#include "testfiles.h"
#include "testpaths.h"

#include <QDir>
#include <QImage>
#include <QTemporaryDir>
#include <QTest>

using namespace qm;
using qm::test::contentOf;
using qm::test::writeBytes;

namespace {

const QString AskText = QStringLiteral("Sollen die Änderungen gespeichert werden ?");

struct Editor
{
    explicit Editor(const QString &file = QString())
        : core(messages, files, settings, dialogs)
    {
        core.setModus("N");
        core.setDateiname(file);
        core.FormShow();
    }
    void drag(int tool, QPoint from, QPoint to)
    {
        core.setTool(tool);
        core.ArbeitMouseDown(from);
        core.ArbeitMouseUp(to, {});
    }
    QStringList rows() const
    {
        QStringList out;
        for (const Element &e : core.design().elements)
            out << e.row().join(u'|');
        return out;
    }

    ScriptedMessages messages;
    ScriptedFileDialogs files;
    MemorySettings settings;
    test::ScriptedPropertyDialogs dialogs;
    EditorCore core;
};

// Every kind of element, drawn with the tools.
void drawEveryKind(Editor &ed, const QString &bitmap)
{
    ed.dialogs.size.answers.enqueue(SizeProperties { "70", "36", "Karte, neu" });
    ed.core.sizeAndDescription();
    ed.core.setPenStyle(PenThick);
    ed.core.setColour(4);
    ed.drag(ToolLine, { 10, 20 }, { 110, 20 });
    ed.core.setPenStyle(PenDashed);
    ed.drag(ToolRectangle, { 5, 5 }, { 170, 85 });
    ed.core.setPenStyle(PenThin);
    ed.core.setColour(9);
    ed.drag(ToolRoundRectangle, { 120, 30 }, { 160, 60 });
    ed.core.setFont({ "Arial", 12, true, false });
    ed.dialogs.text.answers.enqueue(TextProperties { "Hallo, Welt", "0", true, false });
    ed.drag(ToolText, { 15, 30 }, { 15, 30 });
    ed.core.setFont({ "Times New Roman", 10, false, true });
    ed.dialogs.field.answers.enqueue(FieldProperties { "Name", "30", "90", true, false });
    ed.drag(ToolField, { 15, 50 }, { 15, 50 });
    ed.dialogs.serial.answers.enqueue(SerialProperties { true, "Nr. ", "/96", "0", true, false });
    ed.drag(ToolSerial, { 15, 70 }, { 15, 70 });
    ed.files.addAnswer(bitmap);
    ed.drag(ToolGraphic, { 120, 62 }, { 160, 84 });
}

QList<QByteArray> linesOf(const QByteArray &bytes)
{
    return bytes.split('\n');
}

} // namespace

class TestEditorFiles : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void init();
    void saveAsWritesEveryKindAndReopens();
    void dialogsStartInTheDesignFolder();
    void saveAsksBeforeReplacing_data();
    void saveAsksBeforeReplacing();
    void askBeforeLosingChanges_data();
    void askBeforeLosingChanges();
    void failedSaveKeepsOldFile_data();
    void failedSaveKeepsOldFile();
    void unreadableFileOpensNothing();
    void openingLoadsDateiname();
    void takeOver_data();
    void takeOver();
    void optionsKeptInSettings();
    void oldBitmapRecordReportedOnce();
    void barcodeDrawnChangedUndoneSavedAndReopened();
    void barcodeLinesFromElsewhereSurviveOpenAndSave();
    void ellipseSavedAndReadBack();
    void savingSaysWhatLiesOutside_data();
    void savingSaysWhatLiesOutside();
    void wizardDesignAsksForNameAndSize();
    void sizeSurvivesOpenAndSave_data();
    void sizeSurvivesOpenAndSave();
    void typedSizeKeptOnTheGrid_data();
    void typedSizeKeptOnTheGrid();
    void designWithoutSizeOffersTheSizeDialog_data();
    void designWithoutSizeOffersTheSizeDialog();

private:
    std::unique_ptr<QTemporaryDir> m_dir;
    QString m_bitmap;
};

void TestEditorFiles::init()
{
    m_dir = std::make_unique<QTemporaryDir>();
    m_bitmap = m_dir->filePath("logo.bmp");
    QImage image(8, 4, QImage::Format_RGB32);
    image.fill(Qt::red);
    QVERIFY(image.save(m_bitmap, "BMP"));
}

void TestEditorFiles::saveAsWritesEveryKindAndReopens()
{
    Editor ed;
    drawEveryKind(ed, m_bitmap);
    QCOMPARE(ed.core.design().count(), 7);
    const QString path = m_dir->filePath("karte.eti");
    ed.files.addAnswer(m_dir->filePath("karte"));
    QVERIFY(ed.core.saveAs());
    QCOMPARE(ed.files.calls().last().title, QStringLiteral("Speichern unter"));
    QCOMPARE(ed.files.calls().last().filter, QStringLiteral("Etikett bzw. Formular|*.eti|Alle Dateien|*.*"));
    QCOMPARE(ed.core.dateiname(), path);
    QVERIFY(!ed.core.isModified());

    // Byte for byte, but for the date of the third line.
    QByteArray expected = contentOf(test::fixturesDir() + QStringLiteral("/editor/every_kind_drawn.eti"));
    expected.replace("@BITMAP@", m_bitmap.toLocal8Bit());
    const QList<QByteArray> written = linesOf(contentOf(path));
    const QList<QByteArray> wanted = linesOf(expected);
    QCOMPARE(written.size(), wanted.size());
    for (qsizetype i = 0; i < written.size(); ++i) {
        if (i == 2)
            QVERIFY(written[i].startsWith("** Erstellt am ") && written[i].endsWith(" mit Version 2.04s\r"));
        else
            QCOMPARE(written[i], wanted[i]);
    }

    Editor again(path);
    QCOMPARE(again.rows(), ed.rows());
    QCOMPARE(again.core.design().description, QStringLiteral("Karte, neu"));
    QCOMPARE(again.core.design().widthMm, QStringLiteral("70"));
    QCOMPARE(again.core.caption(), QStringLiteral("Design-Experte [Karte, neu]"));
    QVERIFY(again.messages.shown().isEmpty());
}

void TestEditorFiles::dialogsStartInTheDesignFolder()
{
    // A new design: the program's design folder.
    Editor ed;
    const QString designs = m_dir->filePath("ETIKETT");
    QVERIFY(QDir().mkpath(designs));
    ed.core.setDesignDirectory(designs);
    ed.files.addAnswer(QString());
    QVERIFY(!ed.core.saveAs());
    ed.files.addAnswer(QString());
    QVERIFY(!ed.core.open());
    // Saved elsewhere: that file's folder from then on.
    const QString elsewhere = m_dir->filePath("Projekte");
    QVERIFY(QDir().mkpath(elsewhere));
    ed.files.addAnswer(elsewhere + "/karte.eti");
    QVERIFY(ed.core.saveAs());
    ed.files.addAnswer(QString());
    QVERIFY(!ed.core.open());
    QStringList started;
    for (const ScriptedFileDialogs::Call &call : ed.files.calls())
        started << call.directory;
    QCOMPARE(started, (QStringList { designs, designs, designs, elsewhere }));
}

void TestEditorFiles::saveAsksBeforeReplacing_data()
{
    QTest::addColumn<int>("answer");
    QTest::addColumn<bool>("written");
    QTest::newRow("Ja") << int(MessageButton::Yes) << true;
    QTest::newRow("Nein") << int(MessageButton::No) << false;
}

void TestEditorFiles::saveAsksBeforeReplacing()
{
    QFETCH(int, answer);
    QFETCH(bool, written);
    const QString path = m_dir->filePath("alt.eti");
    QVERIFY(writeBytes(path, "NA,alt\r\nGR,50,50,25\r\n"));
    Editor ed(path);
    ed.drag(ToolLine, { 0, 0 }, { 9, 9 });
    ed.messages.addAnswer(MessageButton(answer));
    QCOMPARE(ed.core.save(), written);
    QCOMPARE(ed.messages.shown().size(), 1);
    QCOMPARE(ed.messages.shown()[0].kind, MessageKind::Warning);
    QCOMPARE(ed.messages.lastText(), "Sollen alle Änderungen wirklich in " + path + " gespeichert werden ?");
    QCOMPARE(contentOf(path).contains("LI,0,0,9,9"), written);
    QCOMPARE(ed.core.isModified(), !written);
    QVERIFY(ed.files.calls().isEmpty());
}

void TestEditorFiles::askBeforeLosingChanges_data()
{
    QTest::addColumn<QString>("action");
    QTest::addColumn<int>("answer");
    QTest::addColumn<bool>("goesOn");
    QTest::addColumn<bool>("saved");
    for (const char *action : { "neu", "oeffnen", "schliessen" }) {
        QTest::addRow("%s Abbrechen", action) << action << int(MessageButton::Cancel) << false << false;
        QTest::addRow("%s Nein", action) << action << int(MessageButton::No) << true << false;
        QTest::addRow("%s Ja", action) << action << int(MessageButton::Yes) << true << true;
    }
}

void TestEditorFiles::askBeforeLosingChanges()
{
    QFETCH(QString, action);
    QFETCH(int, answer);
    QFETCH(bool, goesOn);
    QFETCH(bool, saved);
    const QString path = m_dir->filePath("arbeit.eti");
    const QString other = m_dir->filePath("andere.eti");
    QVERIFY(writeBytes(path, "NA,Arbeit\r\nGR,50,50,25\r\n"));
    QVERIFY(writeBytes(other, "NA,Andere\r\nGR,50,50,25\r\nXP,0,0\r\nRE,1,1,9,9\r\n"));
    Editor ed(path);
    ed.drag(ToolLine, { 0, 0 }, { 9, 9 });
    QVERIFY(ed.core.isModified());

    ed.messages.addAnswer(MessageButton(answer));
    ed.dialogs.size.answers.enqueue(SizeProperties { "10", "10", "Neu" });
    ed.files.addAnswer(other);
    bool wentOn = false;
    if (action == "neu") {
        ed.core.newDesign();
        wentOn = ed.core.design().description == "Neu";
    } else if (action == "oeffnen") {
        wentOn = ed.core.open();
    } else {
        wentOn = ed.core.FormCloseQuery();
    }
    QCOMPARE(ed.messages.shown().first().text, AskText);
    QCOMPARE(ed.messages.shown().first().kind, MessageKind::Confirmation);
    QCOMPARE(
        ed.messages.shown().first().buttons, MessageButton::Yes | MessageButton::No | MessageButton::Cancel);
    QCOMPARE(wentOn, goesOn);
    QCOMPARE(contentOf(path).contains("LI,0,0,9,9"), saved);
    if (!goesOn)
        QCOMPARE(ed.rows(), QStringList { "L|0|0|9|9|0|0" });
    if (action == "oeffnen" && goesOn) {
        QCOMPARE(ed.rows(), QStringList { "R|1|1|9|9|0|0" });
        QCOMPARE(ed.core.dateiname(), other);
        QVERIFY(!ed.core.isModified());
    }
}

void TestEditorFiles::failedSaveKeepsOldFile_data()
{
    QTest::addColumn<QString>("description");
    QTest::addColumn<QString>("folder");
    QTest::addColumn<QString>("message");
    QTest::newRow("character outside cp1252") << QString::fromUtf8("Karte 漢") << ""
                                              << "";
    QTest::newRow("missing folder") << "Karte"
                                    << "fehlt/"
                                    << "Datei nicht gefunden";
}

void TestEditorFiles::failedSaveKeepsOldFile()
{
    QFETCH(QString, description);
    QFETCH(QString, folder);
    QFETCH(QString, message);
    const QString path = m_dir->filePath(folder + "karte.eti");
    const QByteArray old = "NA,alt\r\nGR,50,50,25\r\n";
    if (folder.isEmpty())
        QVERIFY(writeBytes(path, old));
    Editor ed;
    ed.dialogs.size.answers.enqueue(SizeProperties { "70", "36", description });
    ed.core.sizeAndDescription();
    ed.files.addAnswer(path);
    QVERIFY(!ed.core.saveAs());
    QCOMPARE(ed.messages.shown().size(), 1);
    QCOMPARE(ed.messages.shown()[0].kind, MessageKind::Error);
    if (!message.isEmpty())
        QCOMPARE(ed.messages.lastText(), message);
    QCOMPARE(contentOf(path), folder.isEmpty() ? old : QByteArray("<missing>"));
    QVERIFY(ed.core.isModified());
    QVERIFY(ed.core.dateiname().isEmpty());
}

void TestEditorFiles::unreadableFileOpensNothing()
{
    const QString path = m_dir->filePath("karte.eti");
    QVERIFY(writeBytes(path, "NA,Karte\r\nGR,50,50,25\r\nXP,0,0\r\nLI,1,2,3,4\r\n"));
    Editor ed(path);
    const Design before = ed.core.design();
    for (const QString &bad : { m_dir->filePath("fehlt.eti"), m_dir->path() }) {
        ed.files.addAnswer(bad);
        QVERIFY(!ed.core.open());
        QCOMPARE(ed.messages.shown().last().kind, MessageKind::Error);
        QCOMPARE(ed.core.design(), before);
    }
    // A size that is no number refuses the whole file.
    const QString badSize = m_dir->filePath("falsch.eti");
    QVERIFY(writeBytes(badSize, "NA,Falsch\r\nGR,5x,50,25\r\nXP,0,0\r\nLI,9,9,9,9\r\n"));
    ed.files.addAnswer(badSize);
    QVERIFY(!ed.core.open());
    QCOMPARE(ed.messages.lastText(), QStringLiteral("'5x' ist kein gültiger Integerwert"));
    QCOMPARE(ed.core.design(), before);
}

void TestEditorFiles::openingLoadsDateiname()
{
    const QString path = m_dir->filePath("karte.eti");
    QVERIFY(writeBytes(path, "NA,Karte\r\nGR,82,100,25\r\nXP,1,3\r\nLI,1,2,3,4\r\n"));
    Editor ed(path);
    QCOMPARE(ed.rows(), QStringList { "L|1|2|3|4|1|3" });
    QCOMPARE(ed.core.design().widthMm, QStringLiteral("32,8"));
    QCOMPARE(ed.core.dateiname(), path);
    QVERIFY(!ed.core.isModified());

    // A file that is gone: an empty design, and no file name under which
    // an empty design could replace anything.
    Editor missing(m_dir->filePath("fehlt.eti"));
    QCOMPARE(missing.messages.lastText(), QStringLiteral("Datei nicht gefunden"));
    QCOMPARE(missing.core.design().count(), 0);
    QVERIFY(missing.core.dateiname().isEmpty());
}

void TestEditorFiles::takeOver_data()
{
    QTest::addColumn<bool>("withFile");
    QTest::addColumn<int>("answer");
    QTest::addColumn<bool>("closes");
    QTest::addColumn<bool>("written");
    QTest::newRow("no file") << false << 0 << false << false;
    QTest::newRow("Ja") << true << int(MessageButton::Yes) << true << true;
    QTest::newRow("Nein") << true << int(MessageButton::No) << true << false;
}

void TestEditorFiles::takeOver()
{
    QFETCH(bool, withFile);
    QFETCH(int, answer);
    const QString path = m_dir->filePath("neu.eti");
    Editor ed;
    ed.core.setModus("E");
    ed.core.setLabelSize("70", "36");
    ed.core.FormShow();
    ed.drag(ToolLine, { 0, 0 }, { 9, 9 });
    if (withFile) {
        ed.files.addAnswer(path);
        QVERIFY(ed.core.saveAs());
        ed.drag(ToolLine, { 1, 1 }, { 5, 5 });
        ed.messages.addAnswer(MessageButton(answer));
    }
    QTEST(ed.core.takeOver(), "closes");
    if (!withFile)
        QCOMPARE(ed.messages.lastText(),
            QStringLiteral("Keine Etiketten- bzw. Formulardatei geladen oder gespeichert !"));
    else
        QCOMPARE(ed.core.dateiname(), path);
    QTEST(contentOf(path).contains("LI,1,1,5,5"), "written");
}

void TestEditorFiles::optionsKeptInSettings()
{
    Editor ed;
    ed.core.setGridShown(false);
    ed.core.setClickAreasShown(true);
    ed.core.FormClose();
    QCOMPARE(ed.settings.value("Parameter", "Gitter"), std::optional<QString>("0"));
    QCOMPARE(ed.settings.value("Parameter", "Klickflaechen"), std::optional<QString>("1"));
    ed.core.FormShow();
    QVERIFY(!ed.core.options().grid);
    QVERIFY(ed.core.options().clickAreas);

    // A settings file that refuses the write is reported.
    ed.settings.setRefuseWrites(true);
    ed.core.FormClose();
    QCOMPARE(ed.messages.lastText(), QStringLiteral("Kann nicht nach Quillmark.ini schreiben"));
}

void TestEditorFiles::oldBitmapRecordReportedOnce()
{
    const QString path = m_dir->filePath("alt.eti");
    QVERIFY(writeBytes(path, "NA,Alt\r\nBM,50,60,C:\\LOGO.BMP\r\nBM,1,1,C:\\B.BMP\r\n"));
    Editor ed;
    ed.files.addAnswer(path);
    QVERIFY(ed.core.open());
    QCOMPARE(ed.messages.shown().size(), 1);
    QCOMPARE(ed.messages.shown()[0].kind, MessageKind::Information);
    QVERIFY(ed.messages.lastText().startsWith("Datei enthielt alten Befehl"));
    QCOMPARE(ed.rows().first(), QStringLiteral("B|50|60|125|135|C:\\LOGO.BMP"));
}

void TestEditorFiles::barcodeDrawnChangedUndoneSavedAndReopened()
{
    Editor ed;
    ed.dialogs.size.answers.enqueue(SizeProperties { "70", "36", "Artikel" });
    ed.core.sizeAndDescription();
    // Drawn from the bottom right: the box is stored with its corners in order.
    ed.dialogs.barcode.answers.enqueue(BarcodeProperties { 0, "Artikel", "12" });
    ed.drag(ToolBarcode, { 150, 70 }, { 20, 10 });
    QCOMPARE(ed.rows(), QStringList { "C|20|10|150|70|0|Artikel|12" });

    // A click on it with the change tool shows its properties; QR code chosen.
    ed.dialogs.barcode.answers.enqueue(BarcodeProperties { 2, "Inventar", "80" });
    ed.drag(ToolChange, { 21, 11 }, { 21, 11 });
    QCOMPARE(ed.dialogs.barcode.shown.last(), (BarcodeProperties { 0, "Artikel", "12" }));
    QCOMPARE(ed.rows(), QStringList { "C|20|10|150|70|2|Inventar|80" });
    // Dragged by its corner, it is re-pointed without a dialog.
    ed.drag(ToolChange, { 150, 70 }, { 120, 60 });
    QCOMPARE(ed.dialogs.barcode.shown.size(), 2);
    QCOMPARE(ed.rows(), QStringList { "C|20|10|120|60|2|Inventar|80" });
    // A cancelled dialog changes nothing.
    ed.drag(ToolChange, { 20, 10 }, { 21, 10 });
    QCOMPARE(ed.dialogs.barcode.shown.size(), 3);
    QCOMPARE(ed.rows(), QStringList { "C|20|10|120|60|2|Inventar|80" });

    ed.core.undo();
    QCOMPARE(ed.rows(), QStringList { "C|20|10|150|70|2|Inventar|80" });
    ed.core.undo();
    QCOMPARE(ed.rows(), QStringList { "C|20|10|150|70|0|Artikel|12" });
    ed.core.redo();

    const QString path = m_dir->filePath("inventar.eti");
    ed.files.addAnswer(path);
    QVERIFY(ed.core.saveAs());
    QVERIFY(contentOf(path).contains("\r\nBC,20,10,150,70,2,Inventar,80\r\n"));
    Editor again(path);
    QCOMPARE(again.rows(), ed.rows());
    QVERIFY(again.messages.shown().isEmpty());
}

void TestEditorFiles::barcodeLinesFromElsewhereSurviveOpenAndSave()
{
    // Boxes too small to draw, one of a kind no one knows, are kept as they
    // stand; properties confirmed as shown change nothing.
    const QString path = m_dir->filePath("fremd.eti");
    QVERIFY(writeBytes(path,
        contentOf(test::fixturesDir() + QStringLiteral("/designs/barcode_field.eti"))
            + "BC,30,2,32,4,9, Lager ,007\r\n"));
    Editor ed(path);
    const QStringList before = ed.rows();
    ed.dialogs.barcode.answers.enqueue(BarcodeProperties { 5, "Artikel", "12" });
    ed.dialogs.barcode.answers.enqueue(BarcodeProperties { 0, " Lager ", "007" });
    ed.drag(ToolChange, { 1, 2 }, { 1, 2 });
    ed.drag(ToolChange, { 30, 2 }, { 30, 2 });
    QCOMPARE(ed.dialogs.barcode.shown,
        (QList<BarcodeProperties> { { 5, "Artikel", "12" }, { 0, " Lager ", "007" } }));
    QCOMPARE(ed.rows(), before);
    ed.core.setFont({ "Arial", 8, false, false });
    ed.dialogs.text.answers.enqueue(TextProperties { "neu", "0", true, false });
    ed.drag(ToolText, { 10, 40 }, { 10, 40 });
    ed.messages.addAnswer(MessageButton::Yes); // replace the file
    QVERIFY(ed.core.save());
    const QByteArray saved = contentOf(path);
    QVERIFY2(saved.contains("\r\nBC,1,2,3,4,5,Artikel\r\nXF,12,0,0,0,Arial,0\r\nEF,10,10,8,Preis\r\nBC,30,2,"
                            "32,4,9, Lager ,007\r\n"),
        saved);
}

void TestEditorFiles::ellipseSavedAndReadBack()
{
    Editor ed;
    ed.core.setPenStyle(PenThick);
    ed.core.setColour(9);
    ed.drag(ToolEllipse, { 60, 40 }, { 10, 10 }); // drawn backwards: kept as drawn
    ed.core.setPenStyle(PenThin);
    ed.core.setColour(0);
    ed.drag(ToolLine, { 0, 50 }, { 20, 50 });
    const QString path = m_dir->filePath("rund.eti");
    ed.files.addAnswer(path);
    QVERIFY(ed.core.saveAs());
    const QList<QByteArray> lines = linesOf(contentOf(path));
    QVERIFY(lines.contains("XP,1,9\r"));
    QCOMPARE(lines.at(lines.indexOf("XP,1,9\r") + 1), QByteArray("EL,60,40,10,10\r"));

    Editor again(path);
    QCOMPARE(again.rows(), ed.rows());
    QCOMPARE(again.rows().first(), QStringLiteral("E|60|40|10|10|1|9"));
}

void TestEditorFiles::savingSaysWhatLiesOutside_data()
{
    QTest::addColumn<QStringList>("rows");
    QTest::addColumn<QString>("message");
    // The new design's label: 70 x 37 mm, 175 x 92 units.
    QTest::newRow("inside") << QStringList { "R|10|10|60|40|0|0" } << "";
    QTest::newRow("partly beyond the edge") << QStringList { "R|150|10|250|40|0|0" } << "";
    QTest::newRow("touching the right edge") << QStringList { "L|175|10|200|10|0|0" } << "";
    QTest::newRow("one beyond the right edge") << QStringList { "R|10|10|60|40|0|0",
        "L|176|10|200|10|0|0" } << "Ein Objekt liegt ganz außerhalb des Etiketts und wird nicht gedruckt.";
    QTest::newRow("two, above and below") << QStringList { "T|10|-30|0|11|0|0|0|Arial|oben", "#",
        "R|0|100|20|120|0|0" } << "2 Objekte liegen ganz außerhalb des Etiketts und werden nicht gedruckt.";
}

void TestEditorFiles::savingSaysWhatLiesOutside()
{
    QFETCH(QStringList, rows);
    QFETCH(QString, message);
    Editor ed;
    Design &design = const_cast<Design &>(ed.core.design());
    for (const QString &row : rows) {
        Element e;
        const QStringList cells = row.split(u'|');
        for (int c = 0; c < cells.size(); ++c)
            e.setCell(c, cells[c]);
        ed.core.undoStack().push(new CreateElementCommand(design, e));
    }
    const QString path = m_dir->filePath("aussen.eti");
    ed.files.addAnswer(path);
    QVERIFY(ed.core.saveAs()); // saved all the same
    QVERIFY(QFile::exists(path));
    QVERIFY(!ed.core.isModified());
    if (message.isEmpty()) {
        QVERIFY(ed.messages.shown().isEmpty());
    } else {
        QCOMPARE(ed.messages.shown().size(), 1);
        QCOMPARE(ed.messages.shown()[0].kind, MessageKind::Information);
        QCOMPARE(ed.messages.lastText(), message);
    }
}

void TestEditorFiles::wizardDesignAsksForNameAndSize()
{
    Editor ed;
    ed.core.setModus("E");
    ed.core.setLabelSize("64", "38");
    ed.core.setNewDescription("Adressetikett");
    ed.core.FormShow();
    QCOMPARE(ed.core.design().description, QStringLiteral("Adressetikett"));

    // A size that is not a number is refused; the design keeps its own.
    ed.dialogs.size.answers.enqueue(SizeProperties { "63,55", "38", "x" });
    ed.core.askSizeAndDescription();
    QCOMPARE(ed.messages.lastText(), QStringLiteral("'63,55' ist kein gültiger Integerwert"));
    QCOMPARE(ed.core.design().widthMm, QStringLiteral("64"));

    // Prefilled with the label size and the entry's name; tenths taken.
    ed.dialogs.size.answers.enqueue(SizeProperties { "63,5", "38,1", "Adresse Müller" });
    ed.core.askSizeAndDescription();
    const SizeProperties shown = ed.dialogs.size.shown.last();
    QCOMPARE(
        shown.width + u'|' + shown.height + u'|' + shown.description, QStringLiteral("64|38|Adressetikett"));
    QCOMPARE(ed.core.caption(), QStringLiteral("Design-Experte [Adresse Müller]"));
    QVERIFY(!ed.core.isModified());
    const QString path = m_dir->filePath("adresse.eti");
    ed.files.addAnswer(path);
    QVERIFY(ed.core.saveAs());
    const QList<QByteArray> lines = linesOf(contentOf(path));
    QVERIFY(lines.contains("NA,Adresse M\xfcller\r"));
    QVERIFY(lines.contains("GR,158,95,25\r")); // 63.5 mm x 2.5, 38.1 mm x 2.5

    // "&Neu" offers the entry's name again; in mode "N" the usual text.
    ed.dialogs.size.answers.enqueue(std::nullopt);
    ed.core.newDesign();
    QCOMPARE(ed.dialogs.size.shown.last().description, QStringLiteral("Adressetikett"));
    ed.core.setModus("N");
    ed.dialogs.size.answers.enqueue(std::nullopt);
    ed.core.newDesign();
    QCOMPARE(ed.dialogs.size.shown.last().description, QStringLiteral("keine Beschreibung"));
}

void TestEditorFiles::sizeSurvivesOpenAndSave_data()
{
    QTest::addColumn<QByteArray>("size");
    QTest::addColumn<QString>("width");
    QTest::addColumn<QString>("height");
    QTest::newRow("63.2 mm") << QByteArray("GR,158,95,25") << "63,2" << "38";
    QTest::newRow("odd units") << QByteArray("GR,157,83,25") << "62,8" << "33,2";
    QTest::newRow("whole millimetres") << QByteArray("GR,175,100,25") << "70" << "40";
    QTest::newRow("one unit") << QByteArray("GR,1,3,25") << "0,4" << "1,2";
    QTest::newRow("other scale, hexadecimal") << QByteArray("GR,$9E,95,10") << "63,2" << "38";
}

// Opened in the editor and saved under another name, a design's file is
// the same byte for byte but for the date line; the size dialog shows the
// exact size, and confirming it unchanged changes nothing.
void TestEditorFiles::sizeSurvivesOpenAndSave()
{
    QFETCH(QByteArray, size);
    QFETCH(QString, width);
    QFETCH(QString, height);
    const QString path = m_dir->filePath("groesse.eti");
    const QByteArray file = "** QUILLMARK f\xfcr WINDOWS 95\r\n** ETI-Datei f\xfcr ein Etikett bzw. Formular\r\n"
                            "** Erstellt am 24.12.1999 mit Version 2.04s\r\nNA,Etikett\r\n"
        + size + "\r\nXP,0,0\r\nRE,1,1,50,30\r\nXF,12,0,1,0,Arial,0\r\nTE,5,5,Hallo\r\n";
    QVERIFY(writeBytes(path, file));
    Editor ed(path);
    QCOMPARE(ed.core.design().widthMm, width);
    QCOMPARE(ed.core.design().heightMm, height);

    ed.dialogs.size.answers.enqueue(SizeProperties { width, height, "Etikett" });
    ed.core.sizeAndDescription();
    QCOMPARE(ed.dialogs.size.shown.last().width, width);
    QCOMPARE(ed.dialogs.size.shown.last().height, height);
    QVERIFY(!ed.core.isModified());
    QVERIFY(ed.messages.shown().isEmpty());

    const QString copy = m_dir->filePath("kopie.eti");
    ed.files.addAnswer(copy);
    QVERIFY(ed.core.saveAs());
    QList<QByteArray> saved = linesOf(contentOf(copy));
    QList<QByteArray> read = linesOf(file);
    QVERIFY(saved[2].startsWith("** Erstellt am "));
    saved.removeAt(2);
    read.removeAt(2);
    QCOMPARE(saved, read);
}

void TestEditorFiles::typedSizeKeptOnTheGrid_data()
{
    QTest::addColumn<QString>("typedWidth");
    QTest::addColumn<QString>("typedHeight");
    QTest::addColumn<QString>("width");
    QTest::addColumn<QString>("height");
    QTest::addColumn<QByteArray>("size");
    QTest::addColumn<QString>("message"); // empty: none
    QTest::newRow("on the grid") << "63,2"
                                 << "38"
                                 << "63,2"
                                 << "38" << QByteArray("GR,158,95,25") << "";
    QTest::newRow("tenth zero, point") << "70.0"
                                       << "40,0"
                                       << "70"
                                       << "40" << QByteArray("GR,175,100,25") << "";
    QTest::newRow("sheet label 63.5 x 38.1")
        << "63,5"
        << "38,1"
        << "63,2"
        << "38" << QByteArray("GR,158,95,25")
        << "Etikettendateien halten die Größe in Schritten von 0,4 mm: aus 63,5 x 38,1 mm wird 63,2 x 38 mm.";
    QTest::newRow("odd millimetres") << "33"
                                     << "20"
                                     << "32,8"
                                     << "20" << QByteArray("GR,82,50,25")
                                     << "Etikettendateien halten die Größe in Schritten von 0,4 mm: aus 33 x 20 "
                                        "mm wird 32,8 x 20 mm.";
}

// A typed size is kept as the size the file will hold, and the user is told
// when that is not what was typed; saving and reopening shows it again.
void TestEditorFiles::typedSizeKeptOnTheGrid()
{
    QFETCH(QString, typedWidth);
    QFETCH(QString, typedHeight);
    QFETCH(QString, width);
    QFETCH(QString, height);
    QFETCH(QByteArray, size);
    QFETCH(QString, message);
    Editor ed;
    ed.dialogs.size.answers.enqueue(SizeProperties { typedWidth, typedHeight, "Karte" });
    ed.core.sizeAndDescription();
    QCOMPARE(ed.core.design().widthMm, width);
    QCOMPARE(ed.core.design().heightMm, height);
    QCOMPARE(ed.messages.lastText(), message);
    const QString path = m_dir->filePath("karte.eti");
    ed.files.addAnswer(path);
    QVERIFY(ed.core.saveAs());
    QVERIFY(linesOf(contentOf(path)).contains(size + '\r'));
    Editor again(path);
    QCOMPARE(again.core.design().widthMm, width);
    QCOMPARE(again.core.design().heightMm, height);
}

void TestEditorFiles::designWithoutSizeOffersTheSizeDialog_data()
{
    QTest::addColumn<QByteArray>("size");
    QTest::addColumn<QString>("shown"); // the size the message names
    QTest::newRow("0 x 0") << QByteArray("GR,0,0,25") << "0 x 0";
    QTest::newRow("no height") << QByteArray("GR,158,0,25") << "63,2 x 0";
    QTest::newRow("negative") << QByteArray("GR,-5,40,25") << "-2 x 16";
}

// A design without a size says so when it is opened and offers the size
// dialog; Nein leaves it as it is, Ja sets the size as one undo step.
void TestEditorFiles::designWithoutSizeOffersTheSizeDialog()
{
    QFETCH(QByteArray, size);
    QFETCH(QString, shown);
    const QString path = m_dir->filePath("ohne.eti");
    QVERIFY(writeBytes(path, "NA,Alt\r\n" + size + "\r\nXP,0,0\r\nRE,10,10,100,50\r\n"));
    const QString question = QStringLiteral(
        "Das Design hat keine Größe (%1 mm). Gedruckt wird es auf die Etiketten des Bogens beschnitten. "
        "Möchten Sie die Größe jetzt festlegen?")
                                 .arg(shown);

    Editor declined;
    declined.messages.addAnswer(MessageButton::No);
    declined.files.addAnswer(path);
    QVERIFY(declined.core.open());
    QCOMPARE(declined.messages.lastText(), question);
    QCOMPARE(declined.messages.shown().last().kind, MessageKind::Confirmation);
    QVERIFY(declined.dialogs.size.shown.isEmpty());
    QVERIFY(!declined.core.isModified());

    // Opened through DATEINAME as the print run and the main window do.
    Editor ed(path);
    QCOMPARE(ed.messages.lastText(), question);
    QCOMPARE(ed.dialogs.size.shown.size(), 1); // answered Ja: the queue was empty
    ed.dialogs.size.answers.enqueue(SizeProperties { "40", "20", "Alt" });
    ed.messages.addAnswer(MessageButton::Yes);
    ed.files.addAnswer(path);
    QVERIFY(ed.core.open());
    QCOMPARE(ed.dialogs.size.shown.size(), 2);
    QCOMPARE(ed.core.design().widthMm, QStringLiteral("40"));
    QVERIFY(ed.core.isModified());
    QCOMPARE(ed.core.labelBox(), QRect(0, 0, 101, 51));
    ed.core.undo();
    QVERIFY(ed.core.labelBox().isEmpty());

    // A design with a size asks nothing.
    const QString sized = m_dir->filePath("mit.eti");
    QVERIFY(writeBytes(sized, "NA,Neu\r\nGR,100,50,25\r\n"));
    Editor plain(sized);
    QVERIFY(plain.messages.shown().isEmpty());
}

QTEST_GUILESS_MAIN(TestEditorFiles)
#include "TestEditorFiles.moc"
