#include "app/appcontext.h"
#include "testpaths.h"
#include "app/dialogs/creationwizard.h"
#include "app/mainwindow.h"
#include "catalogue/prepareddesigns.h"
#include "controls/kvbibtn.h"
#include "data/tablemodel.h"
#include "data/widgets/datenbankdrucken.h"
#include "data/widgets/datenbankexperte.h"
#include "data/widgets/eingabeexperte.h"
#include "dbfrecords.h"
#include "modalwindows.h"
#include "platform/canvas/canvas.h"
#include "platform/cp1252.h"
#include "platform/doubles/memorysettings.h"
#include "platform/doubles/recordinghelp.h"
#include "platform/doubles/scriptedfiledialogs.h"
#include "platform/doubles/scriptedmessages.h"
#include "platform/doubles/virtualwaiter.h"
#include "printerdoubles.h"
#include "testfiles.h"

#include <QAction>
#include <QApplication>
#include <QComboBox>
#include <QFontMetricsF>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QRadioButton>
#include <QRegularExpression>
#include <QScrollBar>
#include <QTableView>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <QTransform>

#include <functional>

using namespace qm;

namespace {

const QString ShareDir = test::shareDir() + QStringLiteral("/");

// The menu as text: captions, "-" for a separator.
QStringList entries(const QMenu *menu)
{
    QStringList out;
    for (const QAction *action : menu->actions())
        out << (action->isSeparator() ? QStringLiteral("-") : action->text());
    return out;
}

QMenu *submenu(const QWidget *parent, const QString &caption)
{
    for (QAction *action : parent->actions())
        if (action->menu() && action->text() == caption)
            return action->menu();
    return nullptr;
}

// The area a text covers, from the logged font: the same em size the
// drawing canvas takes for a cell height, turned by the escapement about
// the text's top-left corner.
QRectF textArea(int x, int y, const QString &text, const QString &font)
{
    static const QRegularExpression pattern(
        QStringLiteral("^face=(.*) h=(-?\\d+) esc=(-?\\d+) w=(\\d+) i=(\\d)$"));
    const QRegularExpressionMatch m = pattern.match(font);
    if (!m.hasMatch())
        return {};
    QFont probe;
    probe.setFamilies({ substituteFace(m.captured(1)) });
    probe.setWeight(static_cast<QFont::Weight>(m.captured(4).toInt()));
    probe.setItalic(m.captured(5) == QLatin1String("1"));
    probe.setKerning(false);
    probe.setPixelSize(1000);
    const QFontMetricsF metrics(probe);
    const int height = m.captured(2).toInt();
    const qreal em = height < 0 ? -height : height * 1000 / (metrics.ascent() + metrics.descent());
    const qreal scale = em / 1000;
    const QRectF box(
        0, 0, metrics.horizontalAdvance(text) * scale, (metrics.ascent() + metrics.descent()) * scale);
    QTransform turn;
    turn.translate(x, y);
    turn.rotate(-m.captured(3).toInt() / 10.0);
    return turn.mapRect(box);
}

// One label as the printer drew it: its frame and its texts.
struct Label
{
    struct Text
    {
        QString text;
        QRectF area;
    };
    QRect frame;
    QList<Text> texts;
};

// The labels among the drawing calls: each is drawn between save and
// restore, its frame (a rectangle with the edges left, top, right, bottom)
// first. Empty texts draw nothing and are left out.
QList<Label> drawnLabels(const QList<RecordingCanvas::Call> &calls)
{
    QList<Label> labels;
    int depth = 0;
    for (const RecordingCanvas::Call &call : calls) {
        if (call.op == QLatin1String("save")) {
            if (depth++ == 0)
                labels.append(Label {});
        } else if (call.op == QLatin1String("restore")) {
            --depth;
        } else if (call.op == QLatin1String("rect") && depth > 0 && labels.last().frame.isNull()) {
            const QStringList e = call.args[0].split(QLatin1Char(','));
            labels.last().frame
                = QRect(QPoint(e[0].toInt(), e[1].toInt()), QPoint(e[2].toInt(), e[3].toInt()));
        } else if (call.op == QLatin1String("text")) {
            const QStringList at = call.args[0].split(QLatin1Char(','));
            const QString text = call.args[1].mid(1, call.args[1].size() - 2);
            if (depth == 0 || labels.last().frame.isNull())
                labels.append(Label {}); // outside a label: fails the size test
            if (!text.isEmpty())
                labels.last().texts.append(
                    { text, textArea(at[0].toInt(), at[1].toInt(), text, call.args[2]) });
        }
    }
    return labels;
}

// In the open database expert: "Daten selektieren und drucken" with the
// records whose `field` is `value` (one criterion), handed on and printed
// with frames, so that each label's texts can be told apart. Returns how
// many records the selection offered.
qsizetype selectAndPrint(
    TDatenbankExperte *expert, TEingabeExperte *input, const QString &field, const QString &value)
{
    qsizetype offered = -1;
    TDatenbankDrucken *selection = expert->selectionDialog();
    test::whenShownModal(selection, [&, selection] {
        selection->comb(0)->setCurrentText(field);
        selection->an(0)->setText(value);
        selection->en(0)->setText(value);
        selection->knopf(0)->setValue(true);
        selection->KnopfClick(0);
        offered = selection->datengitter()->model()->rowCount();
        // The input expert opens once the selection has handed the records on.
        test::whenShownModal(input, [input] {
            input->findChild<QRadioButton *>(QStringLiteral("Etikettenrahmen1"))->setChecked(true);
            input->Button_DruckenClick();
        });
        selection->Button_WeiterClick();
    });
    expert->ButtonDruckenClick();
    return offered;
}

// A program directory seeded with the shipped files, and the main window on
// top of it with the doubles.
struct Rig
{
    QTemporaryDir temp;
    MemorySettings settings;
    ScriptedMessages messages;
    ScriptedFileDialogs files;
    VirtualWaiter waiter;
    RecordingHelp help;
    test::FakePrinters printers;
    std::unique_ptr<AppContext> context;
    std::unique_ptr<THauptmenue> window;

    // Without a folder, a fresh one is seeded; a given one is used as it is.
    explicit Rig(const QString &folder = QString())
    {
        if (folder.isEmpty())
            seedProgramDirectory(temp.path(), ShareDir);
        root = folder.isEmpty() ? temp.path() : folder;
        context = std::make_unique<AppContext>(
            ProgramDirectory(root), settings, messages, files, waiter, help, printers);
        window = std::make_unique<THauptmenue>(*context);
        window->printRun().setDateProvider([] { return QStringLiteral("10.12.26"); });
    }

    QString root;
    QString path(const QString &name) const { return root + QLatin1Char('/') + name; }
    QAction *action(const QString &name) const { return window->findChild<QAction *>(name); }
};

} // namespace

class TestTemplateMenu : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void menusHoldTheItemsInGroups_data();
    void menusHoldTheItemsInGroups();
    void everyItemPrintsInsideItsLabel_data();
    void everyItemPrintsInsideItsLabel();
    void plannerWithoutTableCannotPrintFromATable();
    void adrivoTableIsLookedForInTheLinkedFolder();
    void csvFileAsTheTableOfARun();
    void wizardEntryWithASpreadsheetPrintsTheSelectedRecords_data();
    void wizardEntryWithASpreadsheetPrintsTheSelectedRecords();

private:
    // The shipped files, seeded once for the tests that only read them.
    QTemporaryDir m_shared;
};

void TestTemplateMenu::initTestCase()
{
    QVERIFY(seedProgramDirectory(m_shared.path(), ShareDir) > 0);
    // The address program's export table holds addresses like our own.
    QVERIFY(test::writeBytes(m_shared.filePath(QStringLiteral("adrivo/qmadrivo.dbf")),
        test::contentOf(ShareDir + QStringLiteral("DBANKEN/adress2.dbf"))));
}

void TestTemplateMenu::menusHoldTheItemsInGroups_data()
{
    QTest::addColumn<QString>("menu");
    QTest::addColumn<QStringList>("expected");
    QTest::newRow("designs") << "Vorbereitete &Designs"
                             << QStringList { "&Medien", "-", "&Computer", "-", "Ver&sand", "-", "&Büro", "-",
                                    "&Visitenkarten" };
    QTest::newRow("media") << "&Medien"
                           << QStringList { "Audio-Kassettenhülle", "Audio-Kassettenhülle (ohne Felder)",
                                  "Audio-Kassettenhülle Frontteil", "-", "CD-Hülle Vorderseite",
                                  "CD-Hülle Rückseite", "-", "Dia", "-", "DAT-Hülle", "-", "Fotoaufkleber",
                                  "-", "VHS-C Hülle", "-", "VHS-Video Frontseite 1", "VHS-Video Frontseite 2",
                                  "VHS-Video Oberseite 1", "VHS-Video Oberseite 2" };
    QTest::newRow("computer") << "&Computer"
                              << QStringList { "Diskettenetikett 3.5\" Ausführung 1 (70x70mm)",
                                     "Diskettenetikett 3.5\" Ausführung 2 (70x70mm)",
                                     "Diskettenetikett 3.5\" Ausführung 1 (70x50mm)",
                                     "Diskettenetikett 3.5\" Ausführung 2 (70x50mm)", "-",
                                     "Diskettenetikett 5.25\" (89x36mm)" };
    QTest::newRow("mail") << "Ver&sand"
                          << QStringList { "Adressaufkleber Ausführung 1 (89x36 mm)",
                                 "Adressaufkleber Ausführung 2 (70x36 mm)",
                                 "Adressaufkleber Ausführung 3 (70x42 mm)", "-", "DIN-A5 Umschlag", "-",
                                 "Paketaufkleber -poststandard-", "Paketaufkleber -groß- (210x148mm)",
                                 "Paketaufkleber -klein- (140x100mm)", "-", "Postkarte -poststandard-", "-",
                                 "Absenderaufkleber Ausführung 1 (89x36mm)",
                                 "Absenderaufkleber Ausführung 2 (89x23mm)" };
    QTest::newRow("office") << "&Büro"
                            << QStringList { "Aktenordner -breit- (190x61mm)",
                                   "Aktenordner -mittel- (154x48mm)", "Aktenordner -schmal- (190x38mm)", "-",
                                   "Tischkarte", "-", "Kofferschild", "-", "Wochenplaner -Leerblatt-",
                                   "Wochenplaner -Tagesübersicht-", "Wochenplaner -Wochenübersicht-" };
    QTest::newRow("cards") << "&Visitenkarten"
                           << QStringList { "Visitenkarten Ausführung 1", "Visitenkarten Ausführung 2" };
    QTest::newRow("adrivo") << "Adressen drucken aus &ADRIVO"
                            << QStringList { "Adressaufkleber 89x36 mm", "Adressaufkleber 70x36 mm",
                                   "Adressaufkleber 70x42 mm" };
}

void TestTemplateMenu::menusHoldTheItemsInGroups()
{
    QFETCH(QString, menu);
    QFETCH(QStringList, expected);
    Rig rig;
    QMenu *designs = submenu(rig.window->menuBar(), QStringLiteral("Vorbereitete &Designs"));
    QMenu *special = submenu(rig.window->menuBar(), QStringLiteral("&Spezial"));
    QVERIFY(designs && special);
    QMenu *found = menu == designs->title() ? designs : submenu(designs, menu);
    if (!found)
        found = submenu(special, menu);
    QVERIFY(found);
    QVERIFY(found->menuAction()->isEnabled());
    QCOMPARE(entries(found), expected);
    for (QAction *action : found->actions())
        QVERIFY(action->isEnabled());
}

void TestTemplateMenu::everyItemPrintsInsideItsLabel_data()
{
    QTest::addColumn<QString>("component");
    QTest::addColumn<QString>("table");
    const ProgramDirectory dir(m_shared.path());
    for (const PreparedDesign *item : allPreparedDesigns()) {
        const QString table = QLatin1String(item->databaseFile) == AdrivoTableFile
            ? adrivoPaths(*item, dir, m_shared.filePath(QStringLiteral("adrivo"))).database
            : preparedPaths(*item, dir).database;
        QTest::newRow(item->component) << QString::fromLatin1(item->component) << table;
    }
}

void TestTemplateMenu::everyItemPrintsInsideItsLabel()
{
    QFETCH(QString, component);
    QFETCH(QString, table);
    Rig rig(m_shared.path());
    rig.settings.writeString(
        QStringLiteral("Parameter"), QStringLiteral("ADRIVO"), m_shared.filePath(QStringLiteral("adrivo")));
    TDatenbankExperte *expert = rig.window->databaseExpert();
    TEingabeExperte *input = rig.window->inputExpert();
    const QList<QStringList> records = table.isEmpty() ? QList<QStringList>() : test::tableRecords(table);
    if (!table.isEmpty())
        QVERIFY(records.size() >= 2);

    // Typed values: one label with a value in every field.
    int fieldCount = -1;
    bool inputShown = false;
    const auto typeAndPrint = [&] {
        inputShown = true;
        fieldCount = input->core().entryGrid().cell(0, 0).toInt();
        auto *scroll = input->findChild<QScrollBar *>(QStringLiteral("Scroll_Feld"));
        for (int first = 1; first <= fieldCount; first += 6) {
            scroll->setValue(first);
            const int shown = fieldCount <= 6 ? 1 : scroll->value();
            for (int line = 1; line <= 6 && shown + line - 1 <= fieldCount; ++line) {
                auto *edit = input->findChild<QLineEdit *>(QStringLiteral("F%1").arg(line));
                edit->setText(QStringLiteral("Wert %1").arg(shown + line - 1));
            }
        }
        input->findChild<QRadioButton *>(QStringLiteral("Etikettenrahmen1"))->setChecked(true);
        input->Button_DruckenClick();
    };
    // From the table: the database expert shows the design's fields beside
    // the table, the record selection hands every record over, and the input
    // expert prints them.
    QStringList designFields, tableFields;
    qsizetype offered = -1;
    const auto printFromTable = [&] {
        designFields = expert->fieldList().row(1, 1);
        for (const TableField &field : rig.context->table->fields())
            tableFields << field.name;
        TDatenbankDrucken *selection = expert->selectionDialog();
        test::whenShownModal(selection, [&, selection] {
            offered = selection->datengitter()->model()->rowCount();
            test::whenShownModal(input, [&] {
                inputShown = true;
                fieldCount = input->core().entryGrid().cell(0, 0).toInt();
                input->findChild<QRadioButton *>(QStringLiteral("Etikettenrahmen1"))->setChecked(true);
                input->Button_DruckenClick();
            });
            selection->Button_WeiterClick();
        });
        expert->ButtonDruckenClick();
    };
    if (table.isEmpty()) {
        rig.window->MenueModus1Click();
        test::whenShownModal(input, typeAndPrint);
    } else {
        rig.window->MenueModus2Click();
        test::whenShownModal(expert, printFromTable);
    }
    QAction *action = rig.action(component);
    QVERIFY(action);
    action->trigger();

    QVERIFY2(rig.messages.shown().isEmpty(), qPrintable(rig.messages.lastText()));
    QVERIFY(inputShown);
    QVERIFY(rig.printers.last);
    const PrintDesign &design = rig.context->session.design;
    QCOMPARE(fieldCount, design.fieldCount);
    if (!table.isEmpty()) {
        QCOMPARE(designFields.size(), qsizetype(design.fieldCount));
        QCOMPARE(tableFields, designFields);
        QCOMPARE(offered, records.size());
    }

    // Each label is drawn between save and restore, its frame first: the
    // design size less one unit.
    const QList<Label> labels = drawnLabels(rig.printers.last->canvas_.calls());
    QCOMPARE(labels.size(), table.isEmpty() ? 1 : records.size());
    for (qsizetype k = 0; k < labels.size(); ++k) {
        const Label &label = labels[k];
        QCOMPARE(label.frame.width(), design.labelWidth);
        QCOMPARE(label.frame.height(), design.labelHeight);
        QStringList drawn;
        for (const Label::Text &text : label.texts) {
            QVERIFY2(QRectF(label.frame).adjusted(-0.5, -0.5, 1.5, 1.5).contains(text.area),
                qPrintable(QStringLiteral("\"%1\" covers %2,%3 .. %4,%5 of the label %6,%7 .. %8,%9")
                               .arg(text.text)
                               .arg(text.area.left())
                               .arg(text.area.top())
                               .arg(text.area.right())
                               .arg(text.area.bottom())
                               .arg(label.frame.left())
                               .arg(label.frame.top())
                               .arg(label.frame.right() + 1)
                               .arg(label.frame.bottom() + 1)));
            drawn << text.text;
        }
        QVERIFY(!drawn.isEmpty());
        const QStringList values = table.isEmpty() ? QStringList() : records[k];
        for (const QString &value : values)
            if (!value.isEmpty())
                QVERIFY2(drawn.contains(value), qPrintable(value));
        for (int field = 1; table.isEmpty() && field <= fieldCount; ++field)
            QVERIFY(drawn.contains(QStringLiteral("Wert %1").arg(field)));
    }
}

void TestTemplateMenu::plannerWithoutTableCannotPrintFromATable()
{
    Rig rig;
    rig.window->MenueModus2Click();
    rig.action(QStringLiteral("WochenplanerLeerblatt1"))->trigger();
    QCOMPARE(rig.messages.lastText(), QStringLiteral("Keine Datenbank zu diesem Etikett bestimmt !"));
    QVERIFY(!rig.printers.last);
}

void TestTemplateMenu::adrivoTableIsLookedForInTheLinkedFolder()
{
    // Linked, but the address program has not exported its table yet: the
    // run names the table it looked for last.
    Rig rig;
    rig.window->MenueModus3Click();
    rig.settings.writeString(
        QStringLiteral("Parameter"), QStringLiteral("ADRIVO"), rig.path(QStringLiteral("adr")));
    rig.action(QStringLiteral("Adressaufkleber89x36mm3"))->trigger();
    QCOMPARE(rig.messages.lastText(),
        QStringLiteral("Datenbank \"%1\" nicht gefunden. Bearbeitung abgebrochen !")
            .arg(rig.path("qmadrivo.dbf")));
    QVERIFY(!rig.printers.last);
}

// A spreadsheet saved as CSV (as LibreOffice writes it: commas, a quoted
// value with a line break, UTF-8) is the table of a run in working mode 2:
// its columns follow the design's fields by title, the record selection
// narrows it by a criterion, and the chosen records are printed.
void TestTemplateMenu::csvFileAsTheTableOfARun()
{
    Rig rig;
    const QString csv = rig.path(QStringLiteral("DBANKEN/adressen.csv"));
    QVERIFY(test::writeBytes(csv,
        "Ort,Telefon,Name,Stra\xC3\x9F"
        "e\n"
        "K\xC3\xB6ln,0221 1,Erika M\xC3\xBCller,Heideweg 1\n"
        "Bonn,,\"Meier, Hans\",Am Markt 3\n"
        "K\xC3\xB6ln,,Zo\xC3\xAB,\"Gasse 7\nHinterhaus\"\n"));
    TDatenbankExperte *expert = rig.window->databaseExpert();
    TEingabeExperte *input = rig.window->inputExpert();
    QStringList tableFields;
    QString editRefused;
    qsizetype offered = -1;
    test::whenShownModal(expert, [&] {
        for (const TableField &field : rig.context->table->fields())
            tableFields << field.name;
        // Editing is refused with the way to an editable copy.
        expert->tableModel()->setData(expert->tableModel()->index(0, 0), QStringLiteral("Neu"));
        editRefused = rig.messages.lastText();
        rig.messages.clear();
        offered = selectAndPrint(expert, input, QStringLiteral("Ort"), QStringLiteral("Köln"));
    });
    rig.window->MenueModus2Click();
    QString design = rig.path(QStringLiteral("ETIKETT/adresse.eti"));
    QString format = rig.path(QStringLiteral("FORMATE/adressen_3x7.vrl"));
    QString table = csv;
    QCOMPARE(
        rig.window->printRun().Ausfuehren(design, format, PrintFromDatabase, table), RunOutcome::Printed);

    QCOMPARE(tableFields, (QStringList { "Name", "Straße", "Ort", "Telefon" }));
    QVERIFY2(editRefused.startsWith(QStringLiteral("Eine CSV-Datei kann hier nur gelesen")),
        qPrintable(editRefused));
    QCOMPARE(test::contentOf(csv).count('\n'), 5); // the file is as it was
    QCOMPARE(offered, 2);
    QVERIFY2(rig.messages.shown().isEmpty(), qPrintable(rig.messages.lastText()));
    const QList<Label> labels = drawnLabels(rig.printers.last->canvas_.calls());
    QCOMPARE(labels.size(), 2);
    QStringList first, second;
    for (const Label::Text &text : labels[0].texts)
        first << text.text;
    for (const Label::Text &text : labels[1].texts)
        second << text.text;
    QVERIFY2(first.contains(QStringLiteral("Erika Müller")) && first.contains(QStringLiteral("Heideweg 1"))
            && first.contains(QStringLiteral("Köln")),
        qPrintable(first.join(QLatin1Char('|'))));
    QVERIFY2(second.contains(QStringLiteral("Zoë")) && second.contains(QStringLiteral("Köln")),
        qPrintable(second.join(QLatin1Char('|'))));
    QVERIFY(!first.contains(QStringLiteral("0221 1"))); // the telephone is no field of the design
}

void TestTemplateMenu::wizardEntryWithASpreadsheetPrintsTheSelectedRecords_data()
{
    // As a spreadsheet program saves a sheet: UTF-8, the separator it was
    // asked for, quotes around values with separators, quotes or line breaks.
    QTest::addColumn<QByteArray>("csv");
    QTest::newRow("semicolon, LF")
        << QByteArray("Name;Stra\xC3\x9F"
                      "e;Ort;Umsatz\n"
                      "\"J\xC3\xBCrgen \"\"Jo\"\" Wei\xC3\x9F\";\"Hauptstra\xC3\x9F"
                      "e 5\nHinterhaus\";K\xC3\xB6ln;1.200,50\n"
                      "Bernd Berg;Am Markt 3;Bonn;12\n"
                      "\"\xC3\x96zlem \xC3\x87" "elik; Dr.\";Ringstra\xC3\x9F"
                      "e 9;K\xC3\xB6ln;\n");
    QTest::newRow("comma, CRLF, quoted header")
        << QByteArray("\"Name\",\"Stra\xC3\x9F"
                      "e\",\"Ort\",\"Umsatz\"\r\n"
                      "\"J\xC3\xBCrgen \"\"Jo\"\" Wei\xC3\x9F\",\"Hauptstra\xC3\x9F"
                      "e 5\r\nHinterhaus\",K\xC3\xB6ln,\"1.200,50\"\r\n"
                      "Bernd Berg,Am Markt 3,Bonn,12\r\n"
                      "\"\xC3\x96zlem \xC3\x87" "elik; Dr.\",Ringstra\xC3\x9F"
                      "e 9,K\xC3\xB6ln,\r\n");
}

void TestTemplateMenu::wizardEntryWithASpreadsheetPrintsTheSelectedRecords()
{
    QFETCH(QByteArray, csv);
    Rig rig;
    QVERIFY(test::writeBytes(rig.path(QStringLiteral("BEREICH.DAT")),
        "BEREICH.DAT - Quillmark 32-Bit-Version\r\n=========================================\r\nKunden\r\n"));
    const QString sheet = rig.path(QStringLiteral("kunden.csv"));
    QVERIFY(test::writeBytes(sheet, csv));
    rig.window->FormShow();
    rig.window->MenueModus2Click();
    QVERIFY(rig.window->selectNode(QStringLiteral("Kunden")));

    // The wizard: name, sheet format, design, and the spreadsheet chosen
    // through "Durchsuchen".
    QString offered;
    QTimer::singleShot(0, [&] {
        auto *wizard = qobject_cast<TErstellungsExperte *>(QApplication::activeModalWidget());
        QVERIFY(wizard);
        wizard->findChild<QLineEdit *>(QStringLiteral("Bezeichnung"))->setText(QStringLiteral("Kölner Kunden"));
        wizard->Button_WeiterClick();
        wizard->findChild<QLineEdit *>(QStringLiteral("FormatDateiname"))
            ->setText(QStringLiteral("FORMATE/adressen_3x7.vrl"));
        wizard->Button_WeiterClick();
        wizard->findChild<QLineEdit *>(QStringLiteral("EtikettenDateiname"))
            ->setText(QStringLiteral("ETIKETT/adresse.eti"));
        wizard->Button_WeiterClick();
        rig.files.addAnswer(sheet);
        wizard->Button3Click();
        offered = rig.files.calls().isEmpty() ? QString() : rig.files.calls().last().filter;
        wizard->Button_WeiterClick();
        wizard->Button_EintragSichernClick();
    });
    rig.window->Button_EWHinzuClick();
    QVERIFY2(offered.contains(QLatin1String("*.csv")), qPrintable(offered));
    QCOMPARE(rig.messages.lastText(),
        QStringLiteral("Etikett bzw. Formular \"Kölner Kunden\" wurde erfolgreich angelegt."));
    rig.messages.clear();
    QVERIFY(rig.window->selectNode(QStringLiteral("Kunden"), QStringLiteral("Kölner Kunden")));

    // Working mode 2: the records of Köln, chosen by one criterion, are
    // handed to the input expert and printed.
    TDatenbankExperte *expert = rig.window->databaseExpert();
    TEingabeExperte *input = rig.window->inputExpert();
    qsizetype offeredRecords = -1;
    test::whenShownModal(expert, [&] {
        offeredRecords = selectAndPrint(expert, input, QStringLiteral("Ort"), QStringLiteral("Köln"));
    });
    rig.window->Button_BenutzenClick();

    QCOMPARE(offeredRecords, 2);
    // The one word of the run: the spreadsheet's column the design does not print.
    QCOMPARE(rig.messages.shown().size(), 1);
    QCOMPARE(rig.messages.lastText(),
        QStringLiteral("Spalten ohne Datenfeld des Etiketts werden nicht gedruckt: \u201EUmsatz\u201C."));
    QCOMPARE(test::contentOf(sheet), csv); // the spreadsheet's file is only read
    const QList<Label> labels = drawnLabels(rig.printers.last->canvas_.calls());
    QCOMPARE(labels.size(), 2);
    QList<QStringList> printed;
    for (const Label &label : labels) {
        QStringList texts;
        for (const Label::Text &text : label.texts)
            texts << text.text;
        printed << texts;
    }
    const auto has = [&](int label, const QString &text) { return printed[label].contains(text); };
    QVERIFY2(has(0, QStringLiteral("Jürgen \"Jo\" Weiß")) && has(0, QStringLiteral("Köln")),
        qPrintable(printed[0].join(QLatin1Char('|'))));
    QVERIFY2(printed[0].join(QLatin1Char('|')).contains(QStringLiteral("Hauptstraße 5")),
        qPrintable(printed[0].join(QLatin1Char('|'))));
    QVERIFY2(has(1, QStringLiteral("Özlem Çelik; Dr.")) && has(1, QStringLiteral("Ringstraße 9")),
        qPrintable(printed[1].join(QLatin1Char('|'))));
    for (const QStringList &texts : printed)
        QVERIFY(!texts.join(QLatin1Char('|')).contains(QLatin1String("Bonn")));
}

QTEST_MAIN(TestTemplateMenu)
#include "TestTemplateMenu.moc"
