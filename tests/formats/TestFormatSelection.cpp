#include "formats/formatselection.h"
#include "formats/sheetgrid.h"
#include "platform/doubles/scriptedfiledialogs.h"
#include "platform/doubles/scriptedmessages.h"
#include "programdir/programdirectory.h"
#include "testfiles.h"
#include "testpaths.h"

#include <QTemporaryDir>
#include <QTest>

using namespace qm;
using namespace qm::test;

namespace {

QString data(const QString &name)
{
    return test::fixturesDir() + QStringLiteral("/formats/") + name;
}

const QByteArray Title
    = "FORMATE.DAT - Quillmark 32-Bit-Fassung\r\n=========================================\r\n";

// The format expert as a user would leave it: saving a 2 x 2 grid under a
// description (writing the file), or cancelling.
class ScriptedExpert : public IFormatExpert
{
public:
    bool save = true;
    QString typedDescription = QStringLiteral("Neu 50 x 20");
    QStringList calls; // mode + " " + path

    bool editFormat(const QString &mode, const QString &path) override
    {
        calls.append(mode + QLatin1Char(' ') + path);
        if (save)
            VorlageSichern(path, typedDescription, GridTexts { "50", "20", "2", "2", "0", "0", "0", "0" });
        return save;
    }
    QString description() const override { return typedDescription; }
};

struct Rig
{
    QTemporaryDir temp;
    ProgramDirectory dir { temp.path() };
    ScriptedMessages messages;
    ScriptedFileDialogs fileDialogs;
    ScriptedExpert expert;
    FormatSelectionCore core { dir, messages, fileDialogs, expert };
    FormatSelectionView view;

    QString formats() const { return dir.subdirPath(QStringLiteral("FORMATE")); }

    // The catalogue of the fixture, with the files of its entries in FORMATE.
    void withCatalogue()
    {
        QVERIFY(writeBytes(
            dir.formatsFile(), contentOf(data(QStringLiteral("catalogue_unsorted_duplicates.dat")))));
        for (const char *name : { "z.vrl", "z2.vrl", "adressen.vrl", "birnen.vrl", "aepfel.vrl" })
            QVERIFY(writeBytes(formats() + QLatin1String(name), "NA,x\r\n"));
        core.FormShow(view);
    }
    void pick(const QString &area, const QString &format = QString())
    {
        core.ListBereichClick(view, int(view.areas.indexOf(area)));
        if (!format.isEmpty())
            core.ListFormatClick(view, int(view.formats.indexOf(format)));
    }
};

} // namespace

class TestFormatSelection : public QObject
{
    Q_OBJECT

private slots:
    void showCreatesMissingCatalogue();
    void areaShowsItsFormatsSorted();
    void areaClickClearsFormat();
    void confirmHandsOverLastMatchInModeE_data();
    void confirmHandsOverLastMatchInModeE();
    void newFormatAppended();
    void newFormatNotAdded_data();
    void newFormatNotAdded();
    void changeRunsExpertForEveryMatch();
    void commandsNeedSelection_data();
    void commandsNeedSelection();
    void deleteRemovesEveryMatchAndFirstFile();
    void deleteAnsweredNoChangesNothing();
    void deleteWithMissingFileChangesNothing();
    void importTellsWhatWasTakenAndWhy();
    void catalogueOffersItsFormatsByDescription();
};

void TestFormatSelection::showCreatesMissingCatalogue()
{
    Rig rig;
    rig.core.FormShow(rig.view);
    QCOMPARE(contentOf(rig.dir.formatsFile()), Title);
    QCOMPARE(rig.view.areas.size(), 9);
    QCOMPARE(rig.view.areas.first(), QStringLiteral("AVERY Endlosetiketten"));
    QCOMPARE(rig.view.areas.last(), QStringLiteral("Individuelle Formate"));
    QCOMPARE(rig.view.areaIndex, -1);
    QVERIFY(rig.view.formats.isEmpty());
    QVERIFY(!rig.view.formatClicked);
    QVERIFY(rig.messages.shown().isEmpty());
}

void TestFormatSelection::areaShowsItsFormatsSorted()
{
    Rig rig;
    rig.withCatalogue();
    rig.pick(QStringLiteral("AVERY Laseretiketten"));
    QCOMPARE(rig.view.formats, (QStringList { "adressen 63,5 x 38,1", "Zweite 70 x 37", "Zweite 70 x 37" }));
    rig.pick(QStringLiteral("AVERY Endlosetiketten"));
    QVERIFY(rig.view.formats.isEmpty());
}

void TestFormatSelection::areaClickClearsFormat()
{
    Rig rig;
    rig.withCatalogue();
    rig.pick(QStringLiteral("Individuelle Formate"), QStringLiteral("Birnen"));
    QVERIFY(rig.view.formatClicked);
    rig.pick(QStringLiteral("AVERY Laseretiketten"));
    QVERIFY(!rig.view.formatClicked);
    rig.core.Button_AendernClick(rig.view);
    QCOMPARE(rig.messages.lastText(), QStringLiteral("Bitte wählen Sie ein Format aus !"));
    QVERIFY(rig.expert.calls.isEmpty());
}

void TestFormatSelection::confirmHandsOverLastMatchInModeE_data()
{
    QTest::addColumn<QString>("mode");
    QTest::addColumn<QString>("format");
    QTest::addColumn<QString>("file");
    QTest::newRow("E, duplicates") << "E"
                                   << "Zweite 70 x 37"
                                   << "z2.vrl";
    QTest::newRow("E, single") << "E"
                               << "adressen 63,5 x 38,1"
                               << "adressen.vrl";
    QTest::newRow("E, nothing clicked") << "E"
                                        << ""
                                        << "";
    QTest::newRow("N") << "N"
                       << "Zweite 70 x 37"
                       << "";
}

void TestFormatSelection::confirmHandsOverLastMatchInModeE()
{
    QFETCH(QString, mode);
    QFETCH(QString, format);
    QFETCH(QString, file);
    Rig rig;
    rig.withCatalogue();
    rig.pick(QStringLiteral("AVERY Laseretiketten"), format);
    QCOMPARE(rig.core.Button_OkClick(rig.view, mode).value_or(QString()), file);
}

void TestFormatSelection::newFormatAppended()
{
    Rig rig;
    rig.withCatalogue();
    const QByteArray before = contentOf(rig.dir.formatsFile());
    rig.pick(QStringLiteral("DIN-Größen"));
    rig.fileDialogs.addAnswer(rig.formats() + QStringLiteral("neu"));
    rig.core.Button_NeuClick(rig.view);

    const auto &call = rig.fileDialogs.calls().last();
    QVERIFY(call.save);
    QCOMPARE(call.title, QStringLiteral("Neue Formatdatei anlegen"));
    QCOMPARE(call.filter, QStringLiteral("Formatdatei (*.vrl)|*.vrl|Alle Dateien (*.*)|*.*"));
    QCOMPARE(call.directory, rig.formats());
    const QString path = rig.formats() + QStringLiteral("neu.vrl");
    QCOMPARE(rig.expert.calls, QStringList { "N " + path });
    QCOMPARE(contentOf(rig.dir.formatsFile()),
        before
            + "DIN-Gr\xf6\xdf"
              "en\r\nNeu 50 x 20\r\n"
            + path.toLocal8Bit() + "\r\n");
    QCOMPARE(rig.view.formats, QStringList { "Neu 50 x 20" });
    QVERIFY(!rig.view.formatClicked);
    QVERIFY(contentOf(path).contains("PO,500,200,500,200\r\n"));
}

void TestFormatSelection::newFormatNotAdded_data()
{
    QTest::addColumn<bool>("areaChosen");
    QTest::addColumn<QString>("fileChosen");
    QTest::addColumn<bool>("saved");
    QTest::addColumn<QString>("message");
    QTest::newRow("no area") << false << "x.vrl" << true << "Bitte wählen Sie einen Bereich aus !";
    QTest::newRow("file dialog cancelled") << true << "" << true << "";
    QTest::newRow("expert cancelled") << true << "x.vrl" << false << "";
}

void TestFormatSelection::newFormatNotAdded()
{
    QFETCH(bool, areaChosen);
    QFETCH(QString, fileChosen);
    QFETCH(bool, saved);
    QFETCH(QString, message);
    Rig rig;
    rig.withCatalogue();
    const QByteArray before = contentOf(rig.dir.formatsFile());
    if (areaChosen)
        rig.pick(QStringLiteral("DIN-Größen"));
    rig.fileDialogs.addAnswer(fileChosen.isEmpty() ? QString() : rig.formats() + fileChosen);
    rig.expert.save = saved;
    rig.core.Button_NeuClick(rig.view);
    QCOMPARE(rig.messages.lastText(), message);
    QCOMPARE(contentOf(rig.dir.formatsFile()), before);
    QVERIFY(!QFileInfo::exists(rig.formats() + QStringLiteral("x.vrl")));
}

void TestFormatSelection::changeRunsExpertForEveryMatch()
{
    Rig rig;
    rig.withCatalogue();
    const QByteArray before = contentOf(rig.dir.formatsFile());
    rig.pick(QStringLiteral("AVERY Laseretiketten"), QStringLiteral("Zweite 70 x 37"));
    rig.core.Button_AendernClick(rig.view);
    QCOMPARE(
        rig.expert.calls, (QStringList { "Ä " + rig.formats() + "z.vrl", "Ä " + rig.formats() + "z2.vrl" }));
    QCOMPARE(contentOf(rig.dir.formatsFile()), before);
}

void TestFormatSelection::commandsNeedSelection_data()
{
    QTest::addColumn<int>("command");
    QTest::newRow("change") << 0;
    QTest::newRow("delete") << 1;
}

void TestFormatSelection::commandsNeedSelection()
{
    QFETCH(int, command);
    Rig rig;
    rig.withCatalogue();
    const QByteArray before = contentOf(rig.dir.formatsFile());
    rig.pick(QStringLiteral("AVERY Laseretiketten"));
    if (command == 0)
        rig.core.Button_AendernClick(rig.view);
    else
        rig.core.Button_LoeschenClick(rig.view);
    QCOMPARE(rig.messages.shown().size(), 1);
    QCOMPARE(rig.messages.lastText(), QStringLiteral("Bitte wählen Sie ein Format aus !"));
    QCOMPARE(contentOf(rig.dir.formatsFile()), before);
}

void TestFormatSelection::deleteRemovesEveryMatchAndFirstFile()
{
    Rig rig;
    rig.withCatalogue();
    rig.pick(QStringLiteral("AVERY Laseretiketten"), QStringLiteral("Zweite 70 x 37"));
    rig.messages.addAnswer(MessageButton::Yes);
    rig.core.Button_LoeschenClick(rig.view);
    const auto &question = rig.messages.shown().first();
    QCOMPARE(question.text, QStringLiteral("Wollen Sie wirklich das Format \"Zweite 70 x 37\" löschen ?"));
    QCOMPARE(question.kind, MessageKind::Warning);
    QCOMPARE(question.buttons, MessageButton::Yes | MessageButton::No);
    QCOMPARE(rig.messages.shown().size(), 1);
    QCOMPARE(contentOf(rig.dir.formatsFile()),
        Title
            + QByteArray("AVERY Laseretiketten\r\nadressen 63,5 x 38,1\r\nadressen.vrl\r\n"
                         "Individuelle Formate\r\nBirnen\r\nbirnen.vrl\r\n"
                         "Individuelle Formate\r\n\xc4pfel-Etiketten\r\naepfel.vrl\r\n"
                         "Fremder Bereich\r\nUnsichtbar\r\nx.vrl\r\n"));
    QVERIFY(!QFileInfo::exists(rig.formats() + QStringLiteral("z.vrl")));
    QVERIFY(QFileInfo::exists(rig.formats() + QStringLiteral("z2.vrl")));
    QCOMPARE(rig.view.formats, QStringList { "adressen 63,5 x 38,1" });
    QVERIFY(!rig.view.formatClicked);
    QVERIFY(!QFileInfo::exists(rig.dir.scratchFile()));
}

void TestFormatSelection::deleteAnsweredNoChangesNothing()
{
    Rig rig;
    rig.withCatalogue();
    const QByteArray before = contentOf(rig.dir.formatsFile());
    rig.pick(QStringLiteral("Individuelle Formate"), QStringLiteral("Birnen"));
    rig.messages.addAnswer(MessageButton::No);
    rig.core.Button_LoeschenClick(rig.view);
    QCOMPARE(contentOf(rig.dir.formatsFile()), before);
    QVERIFY(QFileInfo::exists(rig.formats() + QStringLiteral("birnen.vrl")));
}

void TestFormatSelection::deleteWithMissingFileChangesNothing()
{
    Rig rig;
    rig.withCatalogue();
    QVERIFY(QFile::remove(rig.formats() + QStringLiteral("birnen.vrl")));
    const QByteArray before = contentOf(rig.dir.formatsFile());
    rig.pick(QStringLiteral("Individuelle Formate"), QStringLiteral("Birnen"));
    rig.messages.addAnswer(MessageButton::Yes);
    rig.core.Button_LoeschenClick(rig.view);
    QCOMPARE(rig.messages.shown().size(), 2);
    QCOMPARE(rig.messages.shown().last().kind, MessageKind::Error);
    QCOMPARE(rig.messages.lastText(), QStringLiteral("Datei nicht gefunden"));
    QCOMPARE(contentOf(rig.dir.formatsFile()), before);
}

void TestFormatSelection::importTellsWhatWasTakenAndWhy()
{
    Rig rig;
    rig.withCatalogue();
    rig.pick(QStringLiteral("Individuelle Formate"));
    rig.fileDialogs.addAnswer(data(QStringLiteral("templates_sample.xml")));
    rig.core.Button_ImportierenClick(rig.view);
    QVERIFY(!rig.fileDialogs.calls().last().save);
    QCOMPARE(rig.messages.shown().size(), 1);
    const QString text = rig.messages.lastText();
    QVERIFY2(text.startsWith(QStringLiteral("9 Formate wurden unter \"Individuelle Formate\" aufgenommen.\n\n"
                                            "Avery L7160 63,5 x 38,1 mm (3 x 7)\n")),
        qPrintable(text));
    QVERIFY(text.contains(
        QStringLiteral("\n\nNicht aufgenommen:\nAvery J9999: die gleichwertige Vorlage L0000 fehlt\n"
                       "Avery L4730: mehr als 200 Etiketten auf einem Bogen (270)\n")));
    QVERIFY(text.endsWith(QStringLiteral("Herma 9999: Etiketten liegen außerhalb des Bogens")));
    QCOMPARE(rig.view.formats.size(), 2 + 9);
    QVERIFY(rig.view.formats.contains(QStringLiteral("Avery L6015 117 x 117 mm (1 x 2) (rund)")));
    QVERIFY(rig.view.formats.contains(QStringLiteral("Herma 4226 45 x 30 mm (2 x 4)")));

    rig.fileDialogs.addAnswer(data(QStringLiteral("templates_broken.xml")));
    const QByteArray before = contentOf(rig.dir.formatsFile());
    rig.core.Button_ImportierenClick(rig.view);
    QCOMPARE(rig.messages.shown().last().kind, MessageKind::Error);
    QCOMPARE(contentOf(rig.dir.formatsFile()), before);
}

// What the windows that ask for a VRL file offer beside their file dialog:
// the formats as the selection shows them, each with its file.
void TestFormatSelection::catalogueOffersItsFormatsByDescription()
{
    Rig rig;
    QVERIFY(catalogueFormatChoices(rig.dir).isEmpty()); // no catalogue yet
    rig.withCatalogue();
    const QList<FormatChoice> choices = catalogueFormatChoices(rig.dir);
    QStringList shown;
    for (const FormatChoice &choice : choices)
        shown.append(choice.caption() + QStringLiteral(" -> ") + QFileInfo(choice.path).fileName());
    QCOMPARE(shown,
        (QStringList { "adressen 63,5 x 38,1 (AVERY Laseretiketten) -> adressen.vrl",
            "Zweite 70 x 37 (AVERY Laseretiketten) -> z2.vrl",
            QStringLiteral("Äpfel-Etiketten (Individuelle Formate) -> aepfel.vrl"),
            "Birnen (Individuelle Formate) -> birnen.vrl" }));
    QCOMPARE(choices[1].path, rig.formats() + QStringLiteral("z2.vrl"));

    QCOMPARE(formatChoiceIndex(choices, rig.formats() + QStringLiteral("z2.vrl")), 1);
    QCOMPARE(formatChoiceIndex(choices, rig.formats() + QStringLiteral("../FORMATE/birnen.vrl")), 3);
    QCOMPARE(formatChoiceIndex(choices, rig.formats() + QStringLiteral("z.vrl")), -1);
    QCOMPARE(formatChoiceIndex(choices, QString()), -1);
}

QTEST_GUILESS_MAIN(TestFormatSelection)
#include "TestFormatSelection.moc"
