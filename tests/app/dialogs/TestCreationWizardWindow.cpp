#include "app/dialogs/creationwizard.h"
#include "catalogue/workscatalogue.h"
#include "platform/doubles/recordinghelp.h"
#include "platform/doubles/scriptedfiledialogs.h"
#include "platform/doubles/scriptedmessages.h"
#include "testfiles.h"

#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QStackedWidget>
#include <QTemporaryDir>
#include <QTest>

using namespace qm;

namespace {

// A program directory with one sheet format, and the wizard on top of it.
struct Rig
{
    QTemporaryDir temp;
    bool confirmed = false;
    ScriptedMessages messages;
    ScriptedFileDialogs files;
    RecordingHelp help;
    std::unique_ptr<WorksCatalogue> catalogue;
    std::unique_ptr<TErstellungsExperte> wizard;

    Rig()
    {
        const QString root = temp.path() + QStringLiteral("/");
        test::writeBytes(root + QStringLiteral("FORMATE/adressen.vrl"),
            "NA,Adressen\r\nGR,2030,2810\r\nPO,75,150,635,380\r\nPO,735,150,635,380\r\n");
        catalogue = std::make_unique<WorksCatalogue>(ProgramDirectory(root));
        wizard = std::make_unique<TErstellungsExperte>(
            confirmed, *catalogue, messages, files, help, ProgramDirectory(root));
    }

    QLineEdit *edit(const char *name) const { return wizard->findChild<QLineEdit *>(QLatin1String(name)); }
    QPushButton *button(const char *name) const
    {
        return wizard->findChild<QPushButton *>(QLatin1String(name));
    }
    int page() const { return wizard->findChild<QStackedWidget *>(QStringLiteral("Seiten"))->currentIndex(); }
};

} // namespace

class TestCreationWizardWindow : public QObject
{
    Q_OBJECT

private slots:
    void pagesFollowTheSteps();
    void browsingFillsTheEdits_data();
    void browsingFillsTheEdits();
    void expertsAreReachedWhenGiven();
    void cancelAndHelp();
};

void TestCreationWizardWindow::pagesFollowTheSteps()
{
    Rig rig;
    rig.wizard->prepare(QStringLiteral("B"), QStringLiteral("Post"),
        { QStringLiteral("Post"), QStringLiteral("Adressen"), QStringLiteral("f.vrl"),
            QStringLiteral("e.eti"), {} });
    rig.wizard->FormShow();
    QCOMPARE(
        rig.wizard->windowTitle(), QStringLiteral("Erstellungs-Experte [Bestehenden Eintrag bearbeiten]"));
    QCOMPARE(rig.wizard->findChild<QLabel *>(QStringLiteral("Bereich"))->text(), QStringLiteral("Post"));
    QCOMPARE(rig.edit("Bezeichnung")->text(), QStringLiteral("Adressen"));
    QCOMPARE(rig.page(), 0);
    QVERIFY(!rig.button("Button_Zurueck")->isEnabled());
    for (int step = 1; step <= 4; ++step) {
        rig.wizard->Button_WeiterClick();
        QCOMPARE(rig.page(), step);
    }
    QVERIFY(!rig.button("Button_Weiter")->isEnabled());
    rig.wizard->Button_ZurueckClick();
    rig.wizard->Button_ZurueckClick();
    QCOMPARE(rig.page(), 2);
    rig.edit("EtikettenDateiname")->clear();
    rig.wizard->Button_WeiterClick();
    QCOMPARE(rig.page(), 2);
    QCOMPARE(rig.messages.lastText(),
        QStringLiteral("Bitte wählen Sie ein Design für das neue Etikett bzw. Formular."));

    // A new entry starts empty, whatever was typed before.
    rig.wizard->prepare(QStringLiteral("N"), QStringLiteral("Büro"));
    rig.edit("FormatDateiname")->setText(QStringLiteral("alt.vrl"));
    rig.wizard->FormShow();
    QCOMPARE(rig.wizard->windowTitle(), QStringLiteral("Erstellungs-Experte [Neuen Eintrag hinzufügen]"));
    QCOMPARE(rig.edit("FormatDateiname")->text(), QString());
    QCOMPARE(rig.page(), 0);
}

void TestCreationWizardWindow::browsingFillsTheEdits_data()
{
    QTest::addColumn<QString>("button");
    QTest::addColumn<QString>("edit");
    QTest::addColumn<QString>("title");
    QTest::newRow("format") << "Button_FrDurchsuchen"
                            << "FormatDateiname"
                            << "Format-Datei auswählen";
    QTest::newRow("design") << "Button1"
                            << "EtikettenDateiname"
                            << "Etiketten- bzw. Formulardatei auswählen";
    QTest::newRow("table") << "Button3"
                           << "DatenbankDateiname"
                           << "DBase-Datenbank auswählen";
}

void TestCreationWizardWindow::browsingFillsTheEdits()
{
    QFETCH(QString, button);
    QFETCH(QString, edit);
    QFETCH(QString, title);
    Rig rig;
    rig.edit(qPrintable(edit))->setText(QStringLiteral("vorher"));
    rig.files.addAnswer(QStringLiteral("/daten/gewaehlt"));
    rig.button(qPrintable(button))->click();
    QCOMPARE(rig.edit(qPrintable(edit))->text(), QStringLiteral("/daten/gewaehlt"));
    QCOMPARE(rig.files.calls().last().title, title);
    // Cancelling keeps the text.
    rig.files.addAnswer(QString());
    rig.button(qPrintable(button))->click();
    QCOMPARE(rig.edit(qPrintable(edit))->text(), QStringLiteral("/daten/gewaehlt"));
}

void TestCreationWizardWindow::expertsAreReachedWhenGiven()
{
    Rig rig;
    for (const char *name : { "Button_FormatExperte", "Button2", "Button4" })
        QVERIFY(!rig.button(name)->isEnabled());

    QSize asked;
    QString askedName;
    QString designForTable;
    rig.wizard->setExperts({ [] { return QStringLiteral("FORMATE/adressen.vrl"); },
        [&](int w, int h, const QString &name) {
            asked = QSize(w, h);
            askedName = name;
            return QStringLiteral("ETIKETT/neu.eti");
        },
        [&](const QString &design) {
            designForTable = design;
            return QStringLiteral("DBANKEN/neu.dbf");
        } });
    rig.button("Button_FormatExperte")->click();
    QCOMPARE(rig.edit("FormatDateiname")->text(), QStringLiteral("FORMATE/adressen.vrl"));
    // The design editor gets the size of the format's labels: 63.5 x 38.0 mm
    // gives 63 x 38. The new design is described by the entry's name.
    rig.edit("Bezeichnung")->setText(QStringLiteral("Kundenadressen"));
    rig.button("Button2")->click();
    QCOMPARE(asked, QSize(63, 38));
    QCOMPARE(askedName, QStringLiteral("Kundenadressen"));
    QCOMPARE(rig.edit("EtikettenDateiname")->text(), QStringLiteral("ETIKETT/neu.eti"));
    QCOMPARE(rig.edit("FormatDateiname")->text(), rig.temp.path() + QStringLiteral("/FORMATE/adressen.vrl"));
    rig.button("Button4")->click();
    QCOMPARE(designForTable, QStringLiteral("ETIKETT/neu.eti"));
    QCOMPARE(rig.edit("DatenbankDateiname")->text(), QStringLiteral("DBANKEN/neu.dbf"));

    // Without a format file the editor is not opened.
    asked = QSize();
    rig.edit("FormatDateiname")->setText(QStringLiteral("fehlt.vrl"));
    rig.button("Button2")->click();
    QVERIFY(!asked.isValid());
    QCOMPARE(rig.messages.lastText(), QStringLiteral("Formatdatei nicht gefunden !"));

    // A window left without taking anything over keeps what stands there.
    rig.edit("FormatDateiname")->setText(QStringLiteral("FORMATE/adressen.vrl"));
    rig.wizard->setExperts({ [] { return QString(); }, [](int, int, const QString &) { return QString(); },
        [](const QString &) { return QString(); } });
    for (const char *name : { "Button_FormatExperte", "Button2", "Button4" })
        rig.button(name)->click();
    QCOMPARE(rig.wizard->values().formatFile, rig.temp.path() + QStringLiteral("/FORMATE/adressen.vrl"));
    QCOMPARE(rig.wizard->values().designFile, QStringLiteral("ETIKETT/neu.eti"));
    QCOMPARE(rig.wizard->values().databaseFile, QStringLiteral("DBANKEN/neu.dbf"));
}

void TestCreationWizardWindow::cancelAndHelp()
{
    Rig rig;
    rig.confirmed = true;
    rig.wizard->Button_AbbrechenClick();
    QVERIFY(!rig.confirmed);
    rig.confirmed = true;
    rig.wizard->reject(); // Escape
    QVERIFY(!rig.confirmed);
    rig.wizard->Button_HilfeClick();
    QCOMPARE(rig.help.requests().size(), 1);
    QCOMPARE(rig.help.requests().last().contextNumber, 5);
}

QTEST_MAIN(TestCreationWizardWindow)
#include "TestCreationWizardWindow.moc"
