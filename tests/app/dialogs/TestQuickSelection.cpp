#include "app/dialogs/fileselection.h"
#include "app/dialogs/quickselection.h"
#include "app/dialogs/workingmode.h"
#include "platform/doubles/recordinghelp.h"
#include "platform/doubles/scriptedfiledialogs.h"
#include "platform/doubles/scriptedmessages.h"
#include "testfiles.h"

#include <QComboBox>
#include <QDir>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>

#include <memory>

using namespace qm;

// The quick selection driven through its handlers, with scripted file
// dialogs and messages.
class TestQuickSelection : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void init();

    void controls();
    void browse_data();
    void browse();
    void cancelledBrowseKeepsText();
    void startFolderMatchesLetterCase();
    void useNeedsFormatAndDesign_data();
    void useNeedsFormatAndDesign();
    void modeChecksOnlyWhatItReads_data();
    void modeChecksOnlyWhatItReads();
    void namesFoundAsThePrintRunFindsThem_data();
    void namesFoundAsThePrintRunFindsThem();
    void modeNamedInTheWindow();
    void cancelCloses();
    void textsKeptBetweenUses();
    void help();
    void catalogueFormatsOfferedByDescription();

private:
    struct Fixture
    {
        bool confirmed = false;
        ScriptedMessages messages;
        ScriptedFileDialogs files;
        RecordingHelp help;
    };

    QLineEdit *edit(TSchnellauswahlExperte &dialog, const char *name)
    {
        return dialog.findChild<QLineEdit *>(QLatin1String(name));
    }

    std::unique_ptr<QTemporaryDir> m_dir;
    QString m_programDir;
    QString m_helpFile;
};

void TestQuickSelection::init()
{
    m_dir = std::make_unique<QTemporaryDir>();
    QVERIFY(m_dir->isValid());
    m_programDir = m_dir->path() + QLatin1Char('/');
    m_helpFile = m_programDir + QStringLiteral("QUILLMK.HLP");
    // The files the dialog is given must exist.
    for (const char *name : { "a.vrl", "b.eti", "c.dbf", "f/a.vrl", "e/b.eti", "d/c.dbf" })
        QVERIFY(test::writeBytes(m_programDir + QLatin1String(name), "x"));
}

void TestQuickSelection::controls()
{
    Fixture fx;
    TSchnellauswahlExperte dialog(fx.confirmed, fx.messages, fx.files, fx.help, m_programDir, m_helpFile);
    QCOMPARE(dialog.windowTitle(), QStringLiteral("Schnellauswahl-Experte"));
    for (const char *name : { "f", "e", "d" })
        QVERIFY2(edit(dialog, name), name);
    for (const char *name : { "Button_DFor", "Button_DEti", "Button_DDbf" }) {
        auto *button = dialog.findChild<QPushButton *>(QLatin1String(name));
        QVERIFY2(button, name);
        QCOMPARE(button->text(), QStringLiteral("Durchsuchen"));
    }
    auto *use = dialog.findChild<QPushButton *>(QStringLiteral("Button_Weiter"));
    QVERIFY(use);
    QCOMPARE(use->text(), QStringLiteral("&Benutzen"));
    QVERIFY(use->isDefault());
    QCOMPARE(dialog.findChild<QPushButton *>(QStringLiteral("Button_Abbrechen"))->text(),
        QStringLiteral("&Abbrechen"));
    QVERIFY(dialog.findChild<QPushButton *>(QStringLiteral("Button_Hilfe")));
}

void TestQuickSelection::browse_data()
{
    QTest::addColumn<int>("which");
    QTest::addColumn<QString>("title");
    QTest::addColumn<QString>("filter");
    QTest::addColumn<QString>("defaultExt");
    QTest::addColumn<QString>("subdir");
    QTest::addColumn<QString>("editName");

    QTest::newRow("OpenFormat") << 0 << QStringLiteral("Format-Datei auswählen")
                                << QStringLiteral("Format-Datei (*.vrl)|*.vrl|Alle Dateien (*.*)|*.*")
                                << QStringLiteral("*.vrl") << QStringLiteral("FORMATE")
                                << QStringLiteral("f");
    QTest::newRow("OpenEtikett") << 1 << QStringLiteral("Etiketten- bzw. Formulardatei auswählen")
                                 << QStringLiteral(
                                        "Etiketten- bzw. Formulardatei (*.eti)|*.eti|Alle Dateien (*.*)|*.*")
                                 << QStringLiteral("*.eti") << QStringLiteral("ETIKETT")
                                 << QStringLiteral("e");
    QTest::newRow("OpenDatenbank")
        << 2 << QStringLiteral("DBase-Datenbank auswählen")
        << QStringLiteral(
               "DBase-Datenbank (*.dbf)|*.dbf|CSV-Datei, nur lesen (*.csv)|*.csv|Alle Dateien (*.*)|*.*")
        << QStringLiteral("*.dbf") << QStringLiteral("DBANKEN") << QStringLiteral("d");
}

void TestQuickSelection::browse()
{
    QFETCH(int, which);
    QFETCH(QString, title);
    QFETCH(QString, filter);
    QFETCH(QString, defaultExt);
    QFETCH(QString, subdir);
    QFETCH(QString, editName);

    Fixture fx;
    TSchnellauswahlExperte dialog(fx.confirmed, fx.messages, fx.files, fx.help, m_programDir, m_helpFile);
    const QString chosen = m_programDir + subdir + QStringLiteral("/gewählt.x");
    fx.files.addAnswer(chosen);
    switch (which) {
    case 0:
        dialog.Button_DForClick();
        break;
    case 1:
        dialog.Button_DEtiClick();
        break;
    default:
        dialog.Button_DDbfClick();
        break;
    }

    QCOMPARE(fx.files.calls().size(), 1);
    const ScriptedFileDialogs::Call &call = fx.files.calls().first();
    QVERIFY(!call.save);
    QCOMPARE(call.title, title);
    QCOMPARE(call.filter, filter);
    QCOMPARE(call.defaultExt, defaultExt);
    QCOMPARE(call.directory, m_programDir + subdir + QLatin1Char('/'));

    // Only the edit of the pressed button takes the file.
    for (const char *name : { "f", "e", "d" })
        QCOMPARE(edit(dialog, name)->text(), editName == QLatin1String(name) ? chosen : QString());
    QCOMPARE(dialog.formatFile(), edit(dialog, "f")->text());
    QCOMPARE(dialog.designFile(), edit(dialog, "e")->text());
    QCOMPARE(dialog.databaseFile(), edit(dialog, "d")->text());
}

void TestQuickSelection::cancelledBrowseKeepsText()
{
    Fixture fx;
    TSchnellauswahlExperte dialog(fx.confirmed, fx.messages, fx.files, fx.help, m_programDir, m_helpFile);
    edit(dialog, "e")->setText(QStringLiteral("/daten/adresse.eti"));
    fx.files.addAnswer(QString());
    dialog.Button_DEtiClick();
    QCOMPARE(fx.files.calls().size(), 1);
    QCOMPARE(dialog.designFile(), QStringLiteral("/daten/adresse.eti"));
}

void TestQuickSelection::startFolderMatchesLetterCase()
{
    // A program directory copied from an older installation may hold its
    // folders in other letter case.
    QVERIFY(QDir(m_programDir).mkdir(QStringLiteral("Formate")));
    QCOMPARE(startFolder(openFormatSpec(), m_programDir), m_programDir + QStringLiteral("Formate/"));
    QCOMPARE(startFolder(openEtikettSpec(), m_dir->path()), m_programDir + QStringLiteral("ETIKETT/"));
}

void TestQuickSelection::useNeedsFormatAndDesign_data()
{
    QTest::addColumn<QString>("format");
    QTest::addColumn<QString>("design");
    QTest::addColumn<QString>("database");
    QTest::addColumn<bool>("accepted");

    QTest::newRow("all three") << QStringLiteral("/a.vrl") << QStringLiteral("/b.eti")
                               << QStringLiteral("/c.dbf") << true;
    QTest::newRow("without table") << QStringLiteral("/a.vrl") << QStringLiteral("/b.eti") << QString()
                                   << true;
    QTest::newRow("without format") << QString() << QStringLiteral("/b.eti") << QStringLiteral("/c.dbf")
                                    << false;
    QTest::newRow("without design") << QStringLiteral("/a.vrl") << QString() << QStringLiteral("/c.dbf")
                                    << false;
    QTest::newRow("nothing") << QString() << QString() << QString() << false;
}

void TestQuickSelection::useNeedsFormatAndDesign()
{
    QFETCH(QString, format);
    QFETCH(QString, design);
    QFETCH(QString, database);
    QFETCH(bool, accepted);
    for (QString *path : { &format, &design, &database }) {
        if (!path->isEmpty())
            *path = m_dir->path() + *path;
    }

    Fixture fx;
    TSchnellauswahlExperte dialog(fx.confirmed, fx.messages, fx.files, fx.help, m_programDir, m_helpFile);
    dialog.show();
    edit(dialog, "f")->setText(format);
    edit(dialog, "e")->setText(design);
    edit(dialog, "d")->setText(database);
    dialog.Button_WeiterClick();

    QCOMPARE(fx.confirmed, accepted);
    QCOMPARE(dialog.isVisible(), !accepted);
    if (accepted) {
        QVERIFY(fx.messages.shown().isEmpty());
        QCOMPARE(dialog.result(), int(QDialog::Accepted));
    } else {
        QCOMPARE(fx.messages.shown().size(), 1);
        QCOMPARE(fx.messages.shown().first().kind, MessageKind::Plain);
        QCOMPARE(fx.messages.lastText(),
            QStringLiteral("Format- oder Etikettendatei ist noch nicht festgelegt !"));
    }
}

void TestQuickSelection::modeChecksOnlyWhatItReads_data()
{
    QTest::addColumn<int>("mode");
    QTest::addColumn<QString>("format"); // "/x": the file x of the test folder
    QTest::addColumn<QString>("design");
    QTest::addColumn<QString>("database");
    QTest::addColumn<QString>("refusal"); // empty: accepted; else the message
    QTest::addColumn<QString>("focus"); // the edit of a refused file

    const QString stale = QStringLiteral("weg.dbf"); // kept from an earlier use, gone since
    const QString both = QStringLiteral("Format- oder Etikettendatei ist noch nicht festgelegt !");
    const QString noTable = QStringLiteral("Datenbankdatei ist noch nicht festgelegt !");
    const QString noDesign = QStringLiteral("Etikettendatei ist noch nicht festgelegt !");
    const QString missing = QStringLiteral(
        "Die Datei \"%1\" gibt es nicht, auch nicht im Ordner <dir>/%2 oder im Programmverzeichnis <dir>.");

    QTest::newRow("Eingeben und Drucken, stale table") << int(EnterAndPrint) << "/a.vrl"
                                                       << "/b.eti" << stale << QString() << QString();
    QTest::newRow("Eingeben und Drucken, no table") << int(EnterAndPrint) << "/a.vrl"
                                                    << "/b.eti" << QString() << QString() << QString();
    QTest::newRow("Eingeben und Drucken, no format") << int(EnterAndPrint) << QString() << "/b.eti"
                                                     << "/c.dbf" << both << "f";
    QTest::newRow("Eingeben und Drucken, design gone")
        << int(EnterAndPrint) << "/a.vrl"
        << "weg.eti"
        << "/c.dbf" << missing.arg(QStringLiteral("weg.eti"), QStringLiteral("ETIKETT")) << "e";
    QTest::newRow("Aus der Datenbank drucken, all three") << int(PrintFromDatabase) << "/a.vrl"
                                                          << "/b.eti"
                                                          << "/c.dbf" << QString() << QString();
    QTest::newRow("Aus der Datenbank drucken, stale table")
        << int(PrintFromDatabase) << "/a.vrl"
        << "/b.eti" << stale << missing.arg(stale, QStringLiteral("DBANKEN")) << "d";
    QTest::newRow("Aus der Datenbank drucken, no table") << int(PrintFromDatabase) << "/a.vrl"
                                                         << "/b.eti" << QString() << noTable << "d";
    QTest::newRow("Aus der Datenbank drucken, no design")
        << int(PrintFromDatabase) << "/a.vrl" << QString() << "/c.dbf" << both << "e";
    QTest::newRow("Datenbank bearbeiten, only the table")
        << int(EditDatabase) << QString() << QString() << "/c.dbf" << QString() << QString();
    QTest::newRow("Datenbank bearbeiten, stale design and format") << int(EditDatabase) << "weg.vrl"
                                                                   << "weg.eti"
                                                                   << "/c.dbf" << QString() << QString();
    QTest::newRow("Datenbank bearbeiten, no table") << int(EditDatabase) << "/a.vrl"
                                                    << "/b.eti" << QString() << noTable << "d";
    QTest::newRow("Editieren, only the design")
        << int(EditDesign) << QString() << "/b.eti" << QString() << QString() << QString();
    QTest::newRow("Editieren, stale format and table") << int(EditDesign) << "weg.vrl"
                                                       << "/b.eti" << stale << QString() << QString();
    QTest::newRow("Editieren, no design")
        << int(EditDesign) << "/a.vrl" << QString() << "/c.dbf" << noDesign << "e";
}

// Only the files the working mode reads are demanded and looked for; the
// others may be empty or name files that are gone.
void TestQuickSelection::modeChecksOnlyWhatItReads()
{
    QFETCH(int, mode);
    QFETCH(QString, format);
    QFETCH(QString, design);
    QFETCH(QString, database);
    QFETCH(QString, refusal);
    QFETCH(QString, focus);
    for (QString *path : { &format, &design, &database }) {
        if (path->startsWith(QLatin1Char('/')))
            *path = m_dir->path() + *path;
    }
    refusal.replace(QStringLiteral("<dir>"), m_dir->path());

    Fixture fx;
    TSchnellauswahlExperte dialog(fx.confirmed, fx.messages, fx.files, fx.help, m_programDir, m_helpFile);
    dialog.setWorkingMode(mode);
    QCOMPARE(dialog.workingMode(), mode);
    dialog.show();
    edit(dialog, "f")->setText(format);
    edit(dialog, "e")->setText(design);
    edit(dialog, "d")->setText(database);
    dialog.Button_WeiterClick();

    QCOMPARE(fx.confirmed, refusal.isEmpty());
    QCOMPARE(dialog.isVisible(), !refusal.isEmpty());
    if (refusal.isEmpty()) {
        QVERIFY(fx.messages.shown().isEmpty());
        // What the mode does not read is handed on as it was typed.
        QCOMPARE(dialog.formatFile(), format);
        QCOMPARE(dialog.designFile(), design);
        QCOMPARE(dialog.databaseFile(), database);
    } else {
        QCOMPARE(fx.messages.shown().size(), 1);
        QCOMPARE(fx.messages.lastText(), refusal);
        QCOMPARE(dialog.focusWidget(), edit(dialog, qPrintable(focus)));
    }
}

void TestQuickSelection::namesFoundAsThePrintRunFindsThem_data()
{
    QTest::addColumn<QString>("typed");
    QTest::addColumn<QString>("found"); // in the program directory; empty: refused

    QTest::newRow("the path itself") << "<dir>/ETIKETT/adresse.eti"
                                     << "ETIKETT/adresse.eti";
    QTest::newRow("a name in ETIKETT") << "adresse.eti"
                                       << "ETIKETT/adresse.eti";
    QTest::newRow("a name in ETIKETT, other letter case") << "ADRESSE.ETI"
                                                          << "ETIKETT/adresse.eti";
    QTest::newRow("a relative path in the program directory") << "alt/gast.eti"
                                                              << "alt/gast.eti";
    QTest::newRow("a moved file beside the program") << "/nicht/mehr/da/oben.eti"
                                                     << "oben.eti";
    QTest::newRow("a Windows path, file beside the program") << "C:\\QUILLMK\\OBEN.ETI"
                                                             << "oben.eti";
    QTest::newRow("nowhere") << "/nicht/mehr/da/fehlt.eti" << QString();
}

// A name is found wherever the print run would find it: the path, the
// program directory's ETIKETT folder, the path within the program directory
// and the file of that name beside the program.
void TestQuickSelection::namesFoundAsThePrintRunFindsThem()
{
    QFETCH(QString, typed);
    QFETCH(QString, found);
    for (const char *name : { "ETIKETT/adresse.eti", "alt/gast.eti", "oben.eti" })
        QVERIFY(test::writeBytes(m_programDir + QLatin1String(name), "x"));
    typed.replace(QStringLiteral("<dir>"), m_dir->path());

    Fixture fx;
    TSchnellauswahlExperte dialog(fx.confirmed, fx.messages, fx.files, fx.help, m_programDir, m_helpFile);
    dialog.setWorkingMode(EditDesign);
    dialog.show();
    edit(dialog, "e")->setText(typed);
    dialog.Button_WeiterClick();

    QCOMPARE(fx.confirmed, !found.isEmpty());
    if (found.isEmpty()) {
        QCOMPARE(fx.messages.shown().size(), 1);
        QVERIFY(
            fx.messages.lastText().startsWith(QStringLiteral("Die Datei \"%1\" gibt es nicht").arg(typed)));
        QCOMPARE(dialog.designFile(), typed);
    } else {
        QVERIFY(fx.messages.shown().isEmpty());
        QCOMPARE(dialog.designFile(), m_programDir + found);
    }
}

void TestQuickSelection::modeNamedInTheWindow()
{
    Fixture fx;
    TSchnellauswahlExperte dialog(fx.confirmed, fx.messages, fx.files, fx.help, m_programDir, m_helpFile);
    auto *line = dialog.findChild<QLabel *>(QStringLiteral("Modus"));
    QVERIFY(line);
    QCOMPARE(dialog.workingMode(), int(EnterAndPrint));
    QVERIFY(line->text().contains(QStringLiteral("\"Eingeben und Drucken\"")));
    dialog.setWorkingMode(EditDatabase);
    QCOMPARE(line->text(),
        QStringLiteral("Im Programm-Modus \"Datenbank bearbeiten\" wird nur die Datenbankdatei gelesen."));
}

void TestQuickSelection::cancelCloses()
{
    Fixture fx;
    TSchnellauswahlExperte dialog(fx.confirmed, fx.messages, fx.files, fx.help, m_programDir, m_helpFile);
    dialog.show();
    edit(dialog, "f")->setText(QStringLiteral("/a.vrl"));
    edit(dialog, "e")->setText(QStringLiteral("/b.eti"));
    dialog.Button_AbbrechenClick();
    QVERIFY(!fx.confirmed);
    QVERIFY(!dialog.isVisible());
    QCOMPARE(dialog.result(), int(QDialog::Rejected));
    QVERIFY(fx.messages.shown().isEmpty());
}

void TestQuickSelection::textsKeptBetweenUses()
{
    Fixture fx;
    TSchnellauswahlExperte dialog(fx.confirmed, fx.messages, fx.files, fx.help, m_programDir, m_helpFile);
    fx.files.addAnswer(m_dir->filePath("f/a.vrl"));
    fx.files.addAnswer(m_dir->filePath("e/b.eti"));
    fx.files.addAnswer(m_dir->filePath("d/c.dbf"));
    dialog.show();
    dialog.Button_DForClick();
    dialog.Button_DEtiClick();
    dialog.Button_DDbfClick();
    dialog.Button_WeiterClick();
    QVERIFY(fx.confirmed);

    fx.confirmed = false;
    dialog.show();
    QCOMPARE(dialog.formatFile(), m_dir->filePath("f/a.vrl"));
    QCOMPARE(dialog.designFile(), m_dir->filePath("e/b.eti"));
    QCOMPARE(dialog.databaseFile(), m_dir->filePath("d/c.dbf"));
    dialog.Button_AbbrechenClick();

    dialog.show();
    QCOMPARE(dialog.formatFile(), m_dir->filePath("f/a.vrl"));
    dialog.Button_WeiterClick();
    QVERIFY(fx.confirmed);
}

void TestQuickSelection::help()
{
    Fixture fx;
    TSchnellauswahlExperte dialog(fx.confirmed, fx.messages, fx.files, fx.help, m_programDir, m_helpFile);
    dialog.show();
    dialog.Button_HilfeClick();
    QCOMPARE(fx.help.requests(), (QList<RecordingHelp::Request> { { m_helpFile, 9 } }));
    QVERIFY(dialog.isVisible());
    QVERIFY(!fx.confirmed);
}


// Beside the format's file dialog, the catalogue's formats by description:
// the one `f` names is shown, choosing another puts its file into `f`.
void TestQuickSelection::catalogueFormatsOfferedByDescription()
{
    QVERIFY(test::writeBytes(m_programDir + QStringLiteral("FORMATE/avery_l7160.vrl"), "x"));
    QVERIFY(test::writeBytes(m_programDir + QStringLiteral("FORMATE.DAT"),
        "FORMATE.DAT - Quillmark 32-Bit-Fassung\r\n=========================================\r\n"
        "AVERY Laseretiketten\r\nL7160 63,5 x 38,1 mm (3 x 7)\r\navery_l7160.vrl\r\n"
        "Individuelle Formate\r\nEigenes\r\n"
            + (m_programDir + QStringLiteral("a.vrl")).toLocal8Bit() + "\r\n"));
    Fixture fx;
    TSchnellauswahlExperte dialog(fx.confirmed, fx.messages, fx.files, fx.help, m_programDir, m_helpFile);
    dialog.setFormatFile(m_programDir + QStringLiteral("a.vrl"));
    dialog.show();
    QComboBox *box = dialog.findChild<QComboBox *>(QStringLiteral("Formatkatalog"));
    QVERIFY(box);
    QCOMPARE(box->count(), 2);
    QCOMPARE(box->itemText(0), QStringLiteral("L7160 63,5 x 38,1 mm (3 x 7) (AVERY Laseretiketten)"));
    QCOMPARE(box->itemText(1), QStringLiteral("Eigenes (Individuelle Formate)"));
    QCOMPARE(box->currentIndex(), 1);
    dialog.FormatkatalogChange(0);
    QCOMPARE(edit(dialog, "f")->text(), m_programDir + QStringLiteral("FORMATE/avery_l7160.vrl"));
    QCOMPARE(fx.files.calls().size(), 0);
}

QTEST_MAIN(TestQuickSelection)
#include "TestQuickSelection.moc"
