#include "controls/kvbibtn.h"
#include "data/doubles/memorytable.h"
#include "data/shapelibtable.h"
#include "data/tablemodel.h"
#include "data/widgets/datenbankdrucken.h"
#include "data/widgets/datenbankexperte.h"
#include "data/widgets/dbdialogs.h"
#include "modalwindows.h"
#include "platform/doubles/recordinghelp.h"
#include "platform/doubles/scriptedfiledialogs.h"
#include "platform/doubles/scriptedmessages.h"
#include "platform/doubles/virtualwaiter.h"
#include "data/csvtable.h"
#include "testfiles.h"

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QFileInfo>
#include <QFocusEvent>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPointer>
#include <QProgressBar>
#include <QPushButton>
#include <QSignalSpy>
#include <QTableView>
#include <QTemporaryDir>
#include <QTest>

using namespace qm;

namespace {

// The database expert with real tables in a temporary folder and the
// platform doubles.
struct Rig
{
    QTemporaryDir dir;
    ShapelibTable table;
    ScriptedMessages messages;
    ScriptedFileDialogs files;
    VirtualWaiter waiter;
    RecordingHelp help;
    TDatenbankExperte expert { table, messages, files, waiter, help, QStringLiteral("QUILLMK.HLP") };
    QString design;

    Rig()
    {
        design = dir.filePath(QStringLiteral("adresse.eti"));
        test::writeBytes(design,
            "NA,Adresse\r\nGR,157,95,25\r\nEF,10,15,20,Name\r\nEF,10,40,15,Ort\r\nEF,10,65,5,PLZ\r\n");
    }

    QString path(const char *name) const { return dir.filePath(QLatin1String(name)); }

    // A table with the address fields and three records, closed again.
    QString addressTable()
    {
        const QString file = path("kunden.dbf");
        table.create(file, { { "Name", 20 }, { "Ort", 15 }, { "PLZ", 5 } });
        table.appendRecord({ "Anna", "Bonn", "53111" });
        table.appendRecord({ "Bernd", "Ulm", "89073" });
        table.appendRecord({ "Carla", "Köln", "50667" });
        table.close();
        return file;
    }

    QString cell(int row, int column) const
    {
        return expert.tableModel()->index(row, column).data().toString();
    }
};

} // namespace

class TestDatenbankExperte : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void fromTheMainWindowNothingIsOpen();
    void showModalReturnsTheHandedRecords();
    void designFieldsCreateATable();
    void plainNamesGoIntoTheTableFolder_data();
    void plainNamesGoIntoTheTableFolder();
    void creationWarnings_data();
    void creationWarnings();
    void importAppendsAndTheGridShowsIt();
    void importFileChecks();
    void editingAndDeletingActOnTheTable();
    void takeOverNamesTheTable();
    void tableHeldElsewhereIsReported();
    void closingTheWindowLetsTheTableGo();
    void csvImportAndExport();
    void csvImportNamesColumnsWithoutField();
    void csvTableNamesColumnsNotPrinted_data();
    void csvTableNamesColumnsNotPrinted();
    void refusedValueStaysInTheCell_data();
    void refusedValueStaysInTheCell();
    void missingEngineLibraryIsReported();
    void selectionHandsRecordsOver();
    void selectionWarningSwitchesBack();
    void selectionNamesAFilledInactiveCriterion();
    void readOnlyTableIsShownForSelectingAndPrinting_data();
    void readOnlyTableIsShownForSelectingAndPrinting();
    void largeTableIsReadWithTheWaitWindow_data();
    void largeTableIsReadWithTheWaitWindow();
};

void TestDatenbankExperte::fromTheMainWindowNothingIsOpen()
{
    Rig rig;
    rig.expert.setModus(QStringLiteral("N"));
    rig.expert.FormShow();
    QVERIFY(rig.expert.buttonUeber()->isHidden());
    QVERIFY(!rig.expert.dbGitter()->isVisibleTo(&rig.expert));
    QVERIFY(!rig.expert.fieldListView()->isVisibleTo(&rig.expert));
    QCOMPARE(rig.expert.statusText(0), QString());
    QCOMPARE(rig.expert.buttonDrucken()->palette().color(QPalette::ButtonText), QColor(128, 128, 128));

    rig.expert.ButtonDruckenClick();
    QCOMPARE(rig.messages.lastText(), QStringLiteral("Drucken in diesem Programm-Modus nicht möglich !"));
    QCOMPARE(rig.messages.shown().last().buttons, MessageButtons(MessageButton::Cancel));
    rig.expert.DatenbankNeuClick();
    QCOMPARE(rig.messages.lastText(), QStringLiteral("Bitte zuerst eine Etikettendatei öffnen !"));
    QCOMPARE(rig.messages.shown().last().kind, MessageKind::Warning);
    rig.expert.ImportTextClick();
    QCOMPARE(rig.messages.lastText(), QStringLiteral("Bitte öffnen Sie zunächst eine Datenbank ..."));
    rig.expert.setModus(QStringLiteral("E"));
    rig.expert.FormShow();
    QVERIFY(!rig.expert.buttonUeber()->isHidden());
    rig.expert.ButtonUeberClick();
    QCOMPARE(
        rig.messages.lastText(), QStringLiteral("Es wurde noch keine Datenbank erstellt oder geladen !"));
    rig.expert.HilfeClick();
    QCOMPARE(rig.help.requests().last().contextNumber, 4);
}

void TestDatenbankExperte::designFieldsCreateATable()
{
    Rig rig;
    rig.expert.FormShow();
    rig.files.addAnswer(rig.design);
    rig.expert.EtikettendateiOeffnenClick();
    const StringTable &list = rig.expert.fieldList();
    QCOMPARE(list.colCount(), 4);
    QCOMPARE(list.row(0), QStringList({ "", "Feld 1", "Feld 2", "Feld 3" }));
    QCOMPARE(list.row(1), QStringList({ "Feldname", "Name", "Ort", "PLZ" }));
    QCOMPARE(list.row(2), QStringList({ "Feldgröße", "20 Zeichen", "15 Zeichen", "5 Zeichen" }));
    QCOMPARE(
        rig.expert.fieldListCaption(), QStringLiteral("Felder der aktuellen Etikettendatei [\"Adresse\"]"));
    QCOMPARE(rig.expert.statusText(1), QStringLiteral("Etikett bzw Formular : ") + rig.design);
    QVERIFY(rig.expert.fieldListView()->isVisibleTo(&rig.expert));

    TDBerstellen *create = rig.expert.createDialog();
    create->FormShow();
    rig.files.addAnswer(rig.path("neu.dbf"));
    create->Button_DurchsuchenClick();
    QCOMPARE(rig.files.calls().last().title, QStringLiteral("Name der neuen Datenbank festlegen."));
    create->Button_WeiterClick();
    QCOMPARE(rig.messages.lastText(),
        QStringLiteral("Neue Datenbank \"%1\" wurde angelegt.").arg(rig.path("neu.dbf")));
    QVERIFY(rig.table.isOpen());
    QCOMPARE(rig.table.fields(), QList<TableField>({ { "Name", 20 }, { "Ort", 15 }, { "PLZ", 5 } }));
    QCOMPARE(rig.expert.datenbankname(), rig.path("neu.dbf"));
    QCOMPARE(rig.expert.statusText(0), QStringLiteral("Datenbank : ") + rig.path("neu.dbf"));
    QVERIFY(rig.expert.dbGitter()->isVisibleTo(&rig.expert));
    QCOMPARE(rig.expert.tableModel()->columnCount(), 3);

    // Creating over an existing table asks first; "Nein" keeps it.
    rig.table.appendRecord({ "Anna" });
    rig.table.flush();
    create->dbname()->setText(rig.path("neu.dbf"));
    rig.messages.addAnswer(MessageButton::No);
    create->Button_WeiterClick();
    QCOMPARE(rig.table.recordCount(), 1);
}

void TestDatenbankExperte::plainNamesGoIntoTheTableFolder_data()
{
    QTest::addColumn<QString>("typed");
    QTest::addColumn<QString>("created"); // below the rig's folder
    QTest::newRow("plain name gets .dbf") << "meineadressen"
                                          << "DBANKEN/meineadressen.dbf";
    QTest::newRow("plain name with extension") << "kunden.DBF"
                                               << "DBANKEN/kunden.DBF";
    QTest::newRow("folder given, no extension") << "<dir>/eigene/liste"
                                                << "eigene/liste.dbf";
}

// A name typed without a folder goes into the program's table folder, not
// into whatever the working folder is, and the new table opens.
void TestDatenbankExperte::plainNamesGoIntoTheTableFolder()
{
    QFETCH(QString, typed);
    QFETCH(QString, created);
    Rig rig;
    QVERIFY(QDir(rig.dir.path()).mkpath(QStringLiteral("DBANKEN")));
    QVERIFY(QDir(rig.dir.path()).mkpath(QStringLiteral("eigene")));
    rig.expert.setFolders(rig.path("ETIKETT/"), rig.path("DBANKEN/"));
    rig.expert.FormShow();
    rig.files.addAnswer(rig.design);
    rig.expert.EtikettendateiOeffnenClick();
    QCOMPARE(rig.files.calls().last().directory, rig.path("ETIKETT/"));

    TDBerstellen *create = rig.expert.createDialog();
    create->FormShow();
    rig.files.addAnswer(QString()); // "&Durchsuchen" cancelled
    create->Button_DurchsuchenClick();
    QCOMPARE(rig.files.calls().last().directory, rig.path("DBANKEN/"));
    create->dbname()->setText(typed.replace(QLatin1String("<dir>"), rig.dir.path()));
    create->Button_WeiterClick();

    const QString expected = QDir::cleanPath(rig.dir.filePath(created));
    QCOMPARE(rig.messages.shown().size(), 1);
    QCOMPARE(rig.messages.lastText(), QStringLiteral("Neue Datenbank \"%1\" wurde angelegt.").arg(expected));
    QVERIFY(QFileInfo(expected).isFile());
    QVERIFY(rig.table.isOpen());
    QCOMPARE(QDir::cleanPath(rig.expert.datenbankname()), expected);

    rig.files.addAnswer(QString());
    rig.expert.DatenbankOeffnenClick();
    QCOMPARE(rig.files.calls().last().directory, rig.path("DBANKEN/"));
}

void TestDatenbankExperte::creationWarnings_data()
{
    QTest::addColumn<QByteArray>("eti");
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("warning");
    QTest::newRow("no name") << QByteArray("EF,1,1,5,A\r\n") << ""
                             << "Bitte bestimmen Sie zunächst den Namen der Datenbank !";
    QTest::newRow("no fields") << QByteArray("NA,Leer\r\nTE,1,1,Text\r\n") << "x.dbf"
                               << "Etikett besitzt keine Felder, Datenbank kann nicht erstellt werden.";
}

void TestDatenbankExperte::creationWarnings()
{
    QFETCH(QByteArray, eti);
    QFETCH(QString, name);
    QFETCH(QString, warning);
    Rig rig;
    test::writeBytes(rig.design, eti);
    rig.expert.setEtikettendateiname(rig.design);
    rig.expert.FormShow();
    rig.expert.createDialog()->dbname()->setText(name.isEmpty() ? name : rig.path("x.dbf"));
    rig.expert.createDialog()->Button_WeiterClick();
    QCOMPARE(rig.messages.lastText(), warning);
    QCOMPARE(rig.messages.shown().last().buttons, MessageButtons(MessageButton::Cancel));
    QVERIFY(!rig.table.isOpen());
    QVERIFY(!QFile::exists(rig.path("x.dbf")));
}

void TestDatenbankExperte::importAppendsAndTheGridShowsIt()
{
    Rig rig;
    rig.expert.setDatenbankname(rig.addressTable());
    rig.expert.FormShow();
    QCOMPARE(rig.expert.tableModel()->rowCount(), 3);
    const QString text = rig.path("neu.txt");
    test::writeBytes(text, "Dora\r\nDresden\r\n01067\r\nEmil\r\nEssen\r\n");
    TImportText *import = rig.expert.importDialog();
    import->FormShow();
    QCOMPARE(import->anzahl()->text(), QStringLiteral("1"));
    rig.files.addAnswer(text);
    import->Button_DurchsuchenClick();
    QCOMPARE(import->dateiinhalt()->toPlainText(), QStringLiteral("Dora\nDresden\n01067\nEmil\nEssen"));
    QCOMPARE(import->datensatz()->toPlainText(), QStringLiteral("Dora"));
    import->anzahl()->setText(QStringLiteral("4"));
    import->AnzahlChange();
    QCOMPARE(rig.messages.lastText(), QStringLiteral("Datenbank hat maximal 3 Felder."));
    QCOMPARE(import->anzahl()->text(), QStringLiteral("3"));
    import->AnzahlExit();
    QCOMPARE(import->datensatz()->toPlainText(), QStringLiteral("Dora\nDresden\n01067"));
    import->Button_WeiterClick();
    QCOMPARE(rig.messages.lastText(), QStringLiteral("Importieren der Daten wurde korrekt abgeschlossen."));
    QCOMPARE(rig.expert.tableModel()->rowCount(), 5);
    QCOMPARE(rig.cell(3, 2), QStringLiteral("01067"));
    QCOMPARE(rig.cell(4, 1), QStringLiteral("Essen"));
    QCOMPARE(rig.cell(4, 2), QString());
}

void TestDatenbankExperte::importFileChecks()
{
    Rig rig;
    rig.expert.setDatenbankname(rig.addressTable());
    rig.expert.FormShow();
    TImportText *import = rig.expert.importDialog();
    import->FormShow();
    QCOMPARE(import->focusWidget()->objectName(), QStringLiteral("Button_Durchsuchen"));
    // Leaving the name empty says so, as leaving a name of no file does.
    QFocusEvent leave(QEvent::FocusOut, Qt::TabFocusReason);
    QApplication::sendEvent(import->dateiname(), &leave);
    QCOMPARE(rig.messages.shown().size(), 1);
    QCOMPARE(rig.messages.lastText(), QStringLiteral("ACHTUNG ! Datei existiert nicht ..."));
    import->dateiname()->setText(rig.path("fehlt.txt"));
    import->DateinameExit();
    QCOMPARE(rig.messages.shown().size(), 2);
    QCOMPARE(rig.messages.lastText(), QStringLiteral("ACHTUNG ! Datei existiert nicht ..."));
    const int shown = int(rig.messages.shown().size());
    import->Button_WeiterClick(); // stops without a message
    QCOMPARE(rig.messages.shown().size(), shown);
    QCOMPARE(rig.table.recordCount(), 3);
    import->anzahl()->setText(QStringLiteral("x"));
    test::writeBytes(rig.path("a.txt"), "A\r\n");
    import->dateiname()->setText(rig.path("a.txt"));
    import->Button_WeiterClick();
    QCOMPARE(rig.messages.lastText(), QStringLiteral("'x' ist kein gültiger Integerwert"));
    QCOMPARE(rig.table.recordCount(), 3);
    import->Button_HilfeClick();
    QCOMPARE(rig.help.requests().last().contextNumber, 8);
}

void TestDatenbankExperte::editingAndDeletingActOnTheTable()
{
    Rig rig;
    const QString file = rig.addressTable();
    rig.expert.setDatenbankname(file);
    rig.expert.FormShow();
    TableModel *model = rig.expert.tableModel();
    QVERIFY(model->setData(model->index(1, 1), QStringLiteral("Neu-Ulm an der Donau")));
    QCOMPARE(rig.cell(1, 1), QStringLiteral("Neu-Ulm an der")); // cut to 15, the blank is padding

    rig.expert.NavigatorInsert();
    QCOMPARE(model->rowCount(), 4);
    rig.expert.NavigatorCancel();
    QCOMPARE(model->rowCount(), 3);
    QCOMPARE(rig.table.recordCount(), 3);
    rig.expert.NavigatorInsert();
    QVERIFY(model->setData(model->index(3, 0), QStringLiteral("Dora")));
    QCOMPARE(rig.table.recordCount(), 4);

    rig.expert.NavigatorFirst();
    rig.expert.NavigatorNext();
    QCOMPARE(rig.expert.dbGitter()->currentIndex().row(), 1);
    rig.messages.addAnswer(MessageButton::Cancel);
    rig.expert.NavigatorDelete();
    QCOMPARE(rig.messages.lastText(), QStringLiteral("Datensatz löschen?"));
    QCOMPARE(model->rowCount(), 4);
    rig.messages.addAnswer(MessageButton::Ok);
    rig.expert.NavigatorDelete();
    QCOMPARE(model->rowCount(), 3);
    QCOMPARE(rig.cell(1, 0), QStringLiteral("Carla"));

    rig.table.close();
    ShapelibTable reopened;
    reopened.open(file);
    QCOMPARE(reopened.recordCount(), 4);
    QVERIFY(reopened.isDeleted(1));
    QCOMPARE(reopened.readRecord(3), QStringList({ "Dora", "", "" }));
}

void TestDatenbankExperte::takeOverNamesTheTable()
{
    Rig rig;
    const QString file = rig.addressTable();
    rig.expert.setModus(QStringLiteral("E"));
    rig.expert.setEtikettendateiname(rig.design);
    rig.expert.setDatenbankname(QString());
    rig.expert.FormShow();
    rig.files.addAnswer(file);
    rig.expert.DatenbankOeffnenClick();
    QCOMPARE(rig.files.calls().last().title, QStringLiteral("dBase-Datenbank öffnen"));
    rig.expert.ButtonUeberClick();
    QCOMPARE(rig.expert.takenOverDatabase(), file);
    QCOMPARE(rig.expert.result(), int(QDialog::Accepted));
}

void TestDatenbankExperte::tableHeldElsewhereIsReported()
{
    Rig rig;
    const QString file = rig.addressTable();
    ShapelibTable other;
    other.open(file);
    rig.expert.setDatenbankname(file);
    rig.expert.FormShow();
    QVERIFY2(rig.messages.lastText().contains(QStringLiteral("bereits in einem anderen Quillmark geöffnet")),
        qPrintable(rig.messages.lastText()));
    QVERIFY(!rig.expert.dbGitter()->isVisibleTo(&rig.expert));
    QVERIFY(!rig.table.isOpen());
}

// Once the window is closed, the table is free for another program, with
// the value still being typed in the grid kept.
void TestDatenbankExperte::closingTheWindowLetsTheTableGo()
{
    Rig rig;
    const QString file = rig.addressTable();
    rig.expert.setDatenbankname(file);
    bool openWhileShown = false;
    test::whenShownModal(&rig.expert, [&rig, &openWhileShown] {
        openWhileShown = rig.table.isOpen();
        QTableView *grid = rig.expert.dbGitter();
        grid->setCurrentIndex(rig.expert.tableModel()->index(2, 1));
        grid->edit(grid->currentIndex());
        auto *editor = grid->viewport()->findChild<QLineEdit *>();
        QVERIFY(editor);
        editor->setText(QStringLiteral("Kassel"));
        rig.expert.reject();
    });
    rig.expert.showModal();
    QVERIFY(openWhileShown);
    QVERIFY(!rig.table.isOpen());
    ShapelibTable other;
    other.open(file); // throws while the window's table holds the file
    QCOMPARE(other.readRecord(2), (QStringList { "Carla", "Kassel", "50667" }));
}

// The print run gets the records the record selection handed over, with
// the table's field names, from showModal(); nothing when the window was
// left otherwise.
void TestDatenbankExperte::showModalReturnsTheHandedRecords()
{
    Rig rig;
    rig.expert.setEtikettendateiname(rig.design);
    rig.expert.setVorlagendateiname(rig.path("a4.vrl"));
    rig.expert.setDatenbankname(rig.addressTable());
    test::whenShownModal(&rig.expert, [&rig] { rig.expert.reject(); });
    QVERIFY(!rig.expert.showModal());

    TDatenbankDrucken *selection = rig.expert.selectionDialog();
    test::whenShownModal(&rig.expert, [&rig, selection] {
        test::whenShownModal(selection, [selection] {
            selection->datengitter()->model()->setData(
                selection->datengitter()->model()->index(2, 0), QStringLiteral("4"));
            selection->Button_WeiterClick();
        });
        rig.expert.ButtonDruckenClick();
    });
    const std::optional<SelectedRecords> handed = rig.expert.showModal();
    QVERIFY(handed);
    QCOMPARE(handed->fieldNames, QStringList({ "Name", "Ort", "PLZ" }));
    QCOMPARE(handed->records,
        (QList<QStringList> {
            { "1", "Anna", "Bonn", "53111" }, { "1", "Bernd", "Ulm", "89073" }, { "4", "Carla", "Köln", "50667" } }));
    QCOMPARE(rig.expert.etikettendateiname(), rig.design);
}

void TestDatenbankExperte::csvImportAndExport()
{
    Rig rig;
    rig.expert.setFolders(rig.path("ETIKETT/"), rig.path("DBANKEN/"));
    rig.expert.ImportCsvClick(); // no table yet
    QCOMPARE(rig.messages.lastText(), QStringLiteral("Bitte öffnen Sie zunächst eine Datenbank ..."));
    rig.expert.setDatenbankname(rig.addressTable());
    rig.expert.FormShow();

    test::writeBytes(rig.path("liste.csv"), "PLZ;Name;Ort\r\n04109;Doris;Leipzig\r\n20095;Emil;Hamburg\r\n");
    rig.files.addAnswer(rig.path("liste.csv"));
    rig.expert.ImportCsvClick();
    QCOMPARE(rig.files.calls().last().directory, rig.path("DBANKEN/"));
    QVERIFY2(rig.messages.lastText().startsWith(QStringLiteral("2 Datensätze aus")),
        qPrintable(rig.messages.lastText()));
    QCOMPARE(rig.expert.tableModel()->rowCount(), 5);
    QCOMPARE(rig.cell(4, 0), QStringLiteral("Emil"));
    QCOMPARE(rig.cell(4, 2), QStringLiteral("20095"));

    test::writeBytes(rig.path("kaputt.csv"), "Name;Ort\r\n\"offen;X\r\n");
    rig.files.addAnswer(rig.path("kaputt.csv"));
    rig.expert.ImportCsvClick();
    QVERIFY2(
        rig.messages.lastText().startsWith(QStringLiteral("Zeile 2")), qPrintable(rig.messages.lastText()));
    QCOMPARE(rig.expert.tableModel()->rowCount(), 5);

    rig.files.addAnswer(rig.path("aus.csv"));
    rig.expert.ExportCsvClick();
    QCOMPARE(rig.files.calls().last().directory, rig.path("kunden.csv"));
    const QByteArray exported = test::contentOf(rig.path("aus.csv"));
    QVERIFY(exported.startsWith("\xEF\xBB\xBFName;Ort;PLZ\r\nAnna;Bonn;53111\r\n"));
    QVERIFY(exported.contains("Carla;K\xC3\xB6ln;50667\r\n"));
    QCOMPARE(exported.count("\r\n"), 6);
}

// A column the table has no field for, and a field no column fills, are
// named with the import's result.
void TestDatenbankExperte::csvImportNamesColumnsWithoutField()
{
    Rig rig;
    rig.expert.setDatenbankname(rig.addressTable());
    rig.expert.FormShow();
    test::writeBytes(rig.path("liste.csv"), "Name;Telefon;Ort\r\nDoris;0341;Leipzig\r\n");
    rig.files.addAnswer(rig.path("liste.csv"));
    rig.expert.ImportCsvClick();
    QCOMPARE(rig.messages.lastText(),
        QStringLiteral("1 Datensätze aus %1 übernommen.\n"
                       "Importieren der Daten wurde korrekt abgeschlossen.\n"
                       "Spalten ohne Feld der Datenbank wurden nicht übernommen: \u201ETelefon\u201C.\n"
                       "Felder ohne Spalte in der Datei blieben leer: \u201EPLZ\u201C.")
            .arg(rig.path("liste.csv")));
    QCOMPARE(rig.cell(3, 1), QStringLiteral("Leipzig"));
}

void TestDatenbankExperte::csvTableNamesColumnsNotPrinted_data()
{
    QTest::addColumn<QByteArray>("design");
    QTest::addColumn<QByteArray>("csv");
    QTest::addColumn<QString>("note"); // empty: none
    const QByteArray town("NA,Ort\r\nGR,157,95,25\r\nEF,10,15,20,Ort\r\n");
    const QByteArray address(
        "NA,Adresse\r\nGR,157,95,25\r\nEF,10,15,20,Name\r\nEF,10,40,15,Ort\r\nEF,10,65,5,PLZ\r\n");
    QTest::newRow("a postcode column and a design of the town only")
        << town << QByteArray("Name;PLZ;Ort\r\nAnna;53111;Bonn\r\n")
        << "Spalten ohne Datenfeld des Etiketts werden nicht gedruckt: \u201EName\u201C, \u201EPLZ\u201C.";
    QTest::newRow("a field without column")
        << address << QByteArray("name;ORT\r\nAnna;Bonn\r\n")
        << "Datenfelder des Etiketts ohne Spalte in der Datei bleiben leer: \u201EPLZ\u201C.";
    QTest::newRow("every column a field")
        << address << QByteArray("PLZ;Ort;Name\r\n53111;Bonn;Anna\r\n") << QString();
    QTest::newRow("no title names a field: by position")
        << address << QByteArray("A;B;C;D\r\nAnna;Bonn;53111;x\r\n") << QString();
}

// A CSV file opened as the table of a design says once which columns are
// not printed and which fields stay empty, before anything is printed.
void TestDatenbankExperte::csvTableNamesColumnsNotPrinted()
{
    QFETCH(QByteArray, design);
    QFETCH(QByteArray, csv);
    QFETCH(QString, note);
    Rig rig;
    test::writeBytes(rig.design, design);
    test::writeBytes(rig.path("liste.csv"), csv);
    TableFiles tables;
    TDatenbankExperte expert(tables, rig.messages, rig.files, rig.waiter, rig.help, QString());
    expert.setEtikettendateiname(rig.design);
    expert.setDatenbankname(rig.path("liste.csv"));
    expert.FormShow();
    QVERIFY(tables.isOpen());
    QStringList texts;
    for (const auto &shown : rig.messages.shown())
        texts << shown.text;
    QCOMPARE(texts, note.isEmpty() ? QStringList() : QStringList { note });
    if (!note.isEmpty())
        QCOMPARE(rig.messages.shown().last().kind, MessageKind::Information);
}

void TestDatenbankExperte::refusedValueStaysInTheCell_data()
{
    QTest::addColumn<bool>("newRow");
    QTest::addColumn<bool>("returnKey"); // else the navigator's "save"
    QTest::addColumn<QString>("value");
    QTest::addColumn<QString>("message");
    const QString cannotStore
        = QStringLiteral("Das Zeichen \"\u0141\" im Feld \"Name\" kann die Datenbank nicht speichern.");
    QTest::newRow("a record, Return") << false << true << QStringLiteral("\u0141ukasz") << cannotStore;
    QTest::newRow("a record, saved") << false << false << QStringLiteral("\u0141ukasz") << cannotStore;
    QTest::newRow("a new row, Return") << true << true << QStringLiteral("\u0141ukasz") << cannotStore;
}

// A value the table refuses is named and stays in its cell, typed as it
// was, to be corrected; nothing is stored until it is.
void TestDatenbankExperte::refusedValueStaysInTheCell()
{
    QFETCH(bool, newRow);
    QFETCH(bool, returnKey);
    QFETCH(QString, value);
    QFETCH(QString, message);
    Rig rig;
    const QString file = rig.addressTable();
    const QByteArray before = test::contentOf(file);
    rig.expert.setDatenbankname(file);
    rig.expert.FormShow();
    QTableView *grid = rig.expert.dbGitter();
    int row = 1;
    if (newRow) {
        rig.expert.NavigatorInsert();
        row = 3;
    } else {
        grid->setCurrentIndex(rig.expert.tableModel()->index(row, 0));
        grid->edit(grid->currentIndex());
    }
    QPointer<QLineEdit> editor = grid->viewport()->findChild<QLineEdit *>();
    QVERIFY(editor);
    editor->setText(value);
    auto commit = [&] {
        if (returnKey)
            QTest::keyClick(editor, Qt::Key_Return);
        else
            rig.expert.NavigatorPost();
        QCoreApplication::processEvents();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    };
    commit();
    QCOMPARE(rig.messages.lastText(), message);
    QCOMPARE(rig.messages.shown().size(), 1);
    QVERIFY2(editor && !editor->isHidden(), "the editor was closed");
    QCOMPARE(editor->text(), value);
    QCOMPARE(test::contentOf(file), before);

    // Corrected, it is stored and the editor closes.
    editor->setText(QStringLiteral("Lukasz"));
    commit();
    QCOMPARE(rig.messages.shown().size(), 1);
    QVERIFY(!editor || editor->isHidden());
    QCOMPARE(rig.cell(row, 0), QStringLiteral("Lukasz"));
    QCOMPARE(rig.expert.tableModel()->rowCount(), newRow ? 4 : 3);
}

void TestDatenbankExperte::missingEngineLibraryIsReported()
{
    Rig rig;
    const QString file = rig.addressTable();
    ShapelibTable missing("libquillmark-gibt-es-nicht.so.9");
    TDatenbankExperte expert(missing, rig.messages, rig.files, rig.waiter, rig.help, QString());
    expert.setDatenbankname(file);
    expert.FormShow();
    QCOMPARE(rig.messages.lastText(),
        QStringLiteral("Bei der Initialisierung der Borland Database Engine ist ein Fehler aufgetreten "
                       "(Fehler $2501)"));
    QVERIFY(!expert.dbGitter()->isVisibleTo(&expert));
}

void TestDatenbankExperte::selectionHandsRecordsOver()
{
    Rig rig;
    rig.expert.setEtikettendateiname(rig.design);
    rig.expert.setVorlagendateiname(rig.path("a4.vrl"));
    rig.expert.setDatenbankname(rig.addressTable());
    rig.expert.FormShow();
    QCOMPARE(rig.expert.buttonDrucken()->palette().color(QPalette::ButtonText), QColor(Qt::black));
    TDatenbankDrucken *selection = rig.expert.selectionDialog();
    QVERIFY(selection->FormShow());
    QCOMPARE(rig.waiter.waits(), QList<int>({ 500 }));
    QVERIFY(selection->waitWindow()->isHidden());
    QCOMPARE(selection->comb(0)->count(), 3);
    QCOMPARE(selection->datengitter()->model()->rowCount(), 3);
    selection->comb(0)->setEditText(QStringLiteral("Ort"));
    selection->an(0)->setText(QStringLiteral("C"));
    QTest::mouseClick(selection->knopf(0), Qt::LeftButton, {}, QPoint(20, 10));
    QVERIFY(selection->knopf(0)->value());
    QCOMPARE(selection->datengitter()->model()->rowCount(), 2); // Ulm, Köln
    selection->datengitter()->model()->setData(
        selection->datengitter()->model()->index(1, 0), QStringLiteral("3"));
    selection->Button_WeiterClick();
    QVERIFY(selection->handedOver());
    QCOMPARE(selection->handedFieldNames().mid(0, 3), QStringList({ "Name", "Ort", "PLZ" }));
    const QList<QStringList> &handed = selection->handedRecords();
    QCOMPARE(handed.size(), 2);
    QCOMPARE(handed[0].mid(0, 4), QStringList({ "1", "Bernd", "Ulm", "89073" }));
    QCOMPARE(handed[1].mid(0, 4), QStringList({ "3", "Carla", "Köln", "50667" }));
    selection->Button_HilfeClick();
    QCOMPARE(rig.help.requests().last().contextNumber, 7);
}

void TestDatenbankExperte::selectionWarningSwitchesBack()
{
    Rig rig;
    rig.expert.setVorlagendateiname(rig.path("a4.vrl"));
    rig.expert.setDatenbankname(rig.addressTable());
    rig.expert.FormShow();
    TDatenbankDrucken *selection = rig.expert.selectionDialog();
    selection->FormShow();
    selection->comb(1)->setEditText(QString());
    QTest::mouseClick(selection->knopf(1), Qt::LeftButton, {}, QPoint(20, 10));
    QCOMPARE(
        rig.messages.lastText(), QStringLiteral("Bitte wählen Sie einen Feldnamen aus für Kriterium 2."));
    QVERIFY(!selection->knopf(1)->value());
    QCOMPARE(selection->datengitter()->model()->rowCount(), 3);
}

// A criterion filled in while its button says "inaktiv" narrows nothing:
// the window says so as it is typed, after "anwenden", and asks before the
// whole list is printed.
void TestDatenbankExperte::selectionNamesAFilledInactiveCriterion()
{
    Rig rig;
    rig.expert.setEtikettendateiname(rig.design);
    rig.expert.setVorlagendateiname(rig.path("a4.vrl"));
    rig.expert.setDatenbankname(rig.addressTable());
    rig.expert.FormShow();
    TDatenbankDrucken *selection = rig.expert.selectionDialog();
    QVERIFY(selection->FormShow());
    QLabel *hint = selection->hinweis();
    QVERIFY(hint);
    QVERIFY(hint->isHidden());

    const QString named
        = QStringLiteral("Kriterium 2 ist ausgefüllt, aber \"inaktiv\" und schränkt die Liste "
                         "nicht ein. Klicken Sie auf seinen Knopf \"inaktiv\", um es einzuschalten.");
    selection->comb(1)->setEditText(QStringLiteral("Ort"));
    QVERIFY(hint->isHidden()); // a field alone narrows nothing either way
    selection->an(1)->setText(QStringLiteral("C"));
    QVERIFY(!selection->knopf(1)->value());
    QVERIFY(!hint->isHidden());
    QCOMPARE(hint->text(), named);

    selection->Button_gesamtClick();
    QCOMPARE(selection->datengitter()->model()->rowCount(), 3);
    QCOMPARE(rig.messages.shown().size(), 1);
    QCOMPARE(rig.messages.lastText(), named);

    // "&Weiter >>>" asks; "Nein" keeps the window and hands nothing over.
    rig.messages.addAnswer(MessageButton::No);
    selection->Button_WeiterClick();
    QCOMPARE(rig.messages.shown().size(), 2);
    QCOMPARE(rig.messages.shown().last().kind, MessageKind::Confirmation);
    QCOMPARE(rig.messages.lastText(),
        named + QStringLiteral("\n\nSollen alle 3 Datensätze der Liste trotzdem gedruckt werden?"));
    QVERIFY(!selection->handedOver());
    QVERIFY(selection->handedRecords().isEmpty());

    // Switched on, the criterion narrows the list and the hint goes.
    QTest::mouseClick(selection->knopf(1), Qt::LeftButton, {}, QPoint(20, 10));
    QVERIFY(selection->knopf(1)->value());
    QVERIFY(hint->isHidden());
    QCOMPARE(selection->datengitter()->model()->rowCount(), 2); // Ulm, Köln
    selection->Button_WeiterClick();
    QCOMPARE(rig.messages.shown().size(), 2);
    QVERIFY(selection->handedOver());
    QCOMPARE(selection->handedRecords().size(), 2);
}

void TestDatenbankExperte::largeTableIsReadWithTheWaitWindow_data()
{
    QTest::addColumn<bool>("inSelection");
    QTest::newRow("opening in the database expert") << false;
    QTest::newRow("all records in the record selection") << true;
}

// A table of many records is read with the wait window and its bar, the
// windows are repainted at every step, and a key pressed meanwhile (Escape)
// is dropped instead of closing the window once the table is read.
void TestDatenbankExperte::largeTableIsReadWithTheWaitWindow()
{
    QFETCH(bool, inSelection);
    const int records = TableReadWait::LargeTableRecords + 3 * ProgressStep;
    MemoryTable table;
    MemoryTable::File file;
    file.fields = { { QStringLiteral("Name"), 10 }, { QStringLiteral("Ort"), 10 } };
    for (int r = 0; r < records; ++r)
        file.records << MemoryTable::Record { { QStringLiteral("N%1").arg(r), QStringLiteral("Bonn") },
            r == 7 };
    table.files.insert(QStringLiteral("gross.dbf"), file);
    ScriptedMessages messages;
    ScriptedFileDialogs files;
    VirtualWaiter waiter;
    RecordingHelp help;
    TDatenbankExperte expert { table, messages, files, waiter, help, QStringLiteral("QUILLMK.HLP") };
    expert.setVorlagendateiname(QStringLiteral("a4.vrl"));
    expert.setDatenbankname(QStringLiteral("gross.dbf"));
    TDatenbankDrucken *selection = expert.selectionDialog();
    TDatenbankWarten *wait = selection->waitWindow();
    if (inSelection)
        expert.FormShow();
    QDialog *window = inSelection ? static_cast<QDialog *>(selection) : &expert;
    window->show();
    QSignalSpy closed(window, &QDialog::finished);

    QList<int> bar;
    waiter.setOnWait([&](int ms, qint64) {
        if (ms != 0)
            return;
        if (wait->isVisible() && wait->progressBar()->isVisible())
            bar << wait->progressBar()->value();
        QCoreApplication::postEvent(window, new QKeyEvent(QEvent::KeyPress, Qt::Key_Escape, Qt::NoModifier));
    });
    if (inSelection)
        QVERIFY(selection->FormShow());
    else
        expert.FormShow();
    waiter.setOnWait({});
    QCoreApplication::processEvents();

    QCOMPARE(closed.count(), 0);
    QVERIFY(wait->isHidden());
    // A step every ProgressStep records and one at the end, the bar rising
    // to its end.
    QCOMPARE(bar.size(), records / ProgressStep + 1);
    QVERIFY(std::is_sorted(bar.begin(), bar.end()));
    QVERIFY(bar.first() > 0);
    QCOMPARE(bar.last(), 1000);
    const QAbstractItemModel *grid = inSelection ? selection->datengitter()->model() : expert.tableModel();
    QCOMPARE(grid->rowCount(), records - 1);

    // Without a read in progress the same key closes the window.
    QCoreApplication::postEvent(window, new QKeyEvent(QEvent::KeyPress, Qt::Key_Escape, Qt::NoModifier));
    QCoreApplication::processEvents();
    QCOMPARE(closed.count(), 1);
}

void TestDatenbankExperte::readOnlyTableIsShownForSelectingAndPrinting_data()
{
    QTest::addColumn<bool>("readOnly");
    QTest::newRow("a table that may only be read") << true;
    QTest::newRow("a table that may be written") << false;
}

// A table without write permission opens read-only with a message instead
// of "Dateizugriff verweigert": its records can be listed, selected and
// printed; editing, inserting, deleting and importing say that it is only
// open for reading.
void TestDatenbankExperte::readOnlyTableIsShownForSelectingAndPrinting()
{
    QFETCH(bool, readOnly);
    const QString path = QStringLiteral("/daten/kunden.dbf");
    MemoryTable table;
    MemoryTable::File file;
    file.fields = { { QStringLiteral("Name"), 10 }, { QStringLiteral("Ort"), 10 } };
    file.records << MemoryTable::Record { { "Anna", "Bonn" } } << MemoryTable::Record { { "Bernd", "Ulm" } };
    table.files.insert(path, file);
    if (readOnly)
        table.readOnlyFiles.insert(path);
    ScriptedMessages messages;
    ScriptedFileDialogs files;
    VirtualWaiter waiter;
    RecordingHelp help;
    TDatenbankExperte expert { table, messages, files, waiter, help, QStringLiteral("QUILLMK.HLP") };
    expert.setVorlagendateiname(QStringLiteral("a4.vrl"));
    expert.setDatenbankname(path);
    expert.FormShow();

    QVERIFY(table.isOpen());
    QCOMPARE(table.isReadOnly(), readOnly);
    QVERIFY(expert.dbGitter()->isVisibleTo(&expert));
    QCOMPARE(expert.statusText(0), QStringLiteral("Datenbank : ") + path);
    QCOMPARE(expert.tableModel()->rowCount(), 2);
    const QString readOnlyNote = QStringLiteral(
        "Die Datenbank \"%1\" darf nur gelesen werden und ist schreibgeschützt geöffnet: Ihre Datensätze "
        "können angesehen, ausgewählt und gedruckt, aber nicht geändert werden.")
                                     .arg(path);
    const QString onlyForReading
        = QStringLiteral("Die Datenbank \"%1\" ist nur zum Lesen geöffnet.").arg(path);
    if (readOnly) {
        QCOMPARE(messages.shown().size(), 1);
        QCOMPARE(messages.lastText(), readOnlyNote);
        QCOMPARE(messages.shown().last().kind, MessageKind::Information);
    } else {
        QVERIFY(messages.shown().isEmpty());
    }
    const QModelIndex cell = expert.tableModel()->index(0, 1);
    QCOMPARE(bool(expert.tableModel()->flags(cell) & Qt::ItemIsEditable), !readOnly);

    // The records are selected and handed over for printing.
    TDatenbankDrucken *selection = expert.selectionDialog();
    QVERIFY(selection->FormShow());
    QCOMPARE(selection->datengitter()->model()->rowCount(), 2);
    selection->Button_WeiterClick();
    QCOMPARE(selection->handedRecords().value(1).value(2), QStringLiteral("Ulm"));

    if (!readOnly)
        return;
    // Every change is refused with a word, and the table stays as it was.
    expert.dbGitter()->setCurrentIndex(cell);
    for (auto change : { &TDatenbankExperte::NavigatorInsert, &TDatenbankExperte::NavigatorDelete,
             &TDatenbankExperte::ImportTextClick, &TDatenbankExperte::ImportCsvClick }) {
        const qsizetype before = messages.shown().size();
        (expert.*change)();
        QCOMPARE(messages.shown().size(), before + 1);
        QCOMPARE(messages.lastText(), onlyForReading);
    }
    QVERIFY(!expert.tableModel()->setData(cell, QStringLiteral("Köln")));
    QCOMPARE(expert.tableModel()->rowCount(), 2);
    QCOMPARE(table.files.value(path).records.size(), 2);
    QCOMPARE(table.files.value(path).records[1].values, QStringList({ "Bernd", "Ulm" }));
    QVERIFY(!table.files.value(path).records[0].deleted);
}

QTEST_MAIN(TestDatenbankExperte)
#include "TestDatenbankExperte.moc"
