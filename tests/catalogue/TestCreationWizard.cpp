#include "catalogue/creationwizardcore.h"
#include "catalogue/workscatalogue.h"
#include "platform/doubles/scriptedmessages.h"
#include "testfiles.h"

#include <QTemporaryDir>
#include <QTest>

using namespace qm;

namespace {

using Focus = CreationWizardView::Focus;

const QByteArray WorksHeader = "WERKE.DAT - Quillmark 32-Bit-Version\r\n" + QByteArray(41, '=') + "\r\n";

struct Rig
{
    QTemporaryDir temp;
    ScriptedMessages messages;
    CreationWizardView view;
    CreationWizardCore core { view, messages };

    QString root() const { return temp.path() + QStringLiteral("/"); }

    bool writeCatalogue(const QByteArray &works)
    {
        return test::writeBytes(root() + QStringLiteral("BEREICH.DAT"),
                   "BEREICH.DAT - Quillmark 32-Bit-Version\r\n" + QByteArray(41, '=') + "\r\nPost\r\n")
            && test::writeBytes(root() + QStringLiteral("WERKE.DAT"), works);
    }

    void fill()
    {
        view.bezeichnung = QStringLiteral("Gästeliste");
        view.formatDateiname = QStringLiteral("FORMATE/70x36.vrl");
        view.etikettenDateiname = QStringLiteral("ETIKETT/adress2.eti");
        view.datenbankDateiname = QString();
    }
};

} // namespace

class TestCreationWizard : public QObject
{
    Q_OBJECT

private slots:
    void showingStartsAtTheNameAndEmptiesANewEntry_data();
    void showingStartsAtTheNameAndEmptiesANewEntry();
    void stepsNeedNameFormatAndDesign_data();
    void stepsNeedNameFormatAndDesign();
    void fourStepsReachTheSavePageAndBackKeepsEntries();
    void savingANewEntryAppendsIt();
    void savingAChangedEntryWritesNothing();
    void designSizeComesFromTheFormat_data();
    void designSizeComesFromTheFormat();
};

void TestCreationWizard::showingStartsAtTheNameAndEmptiesANewEntry_data()
{
    QTest::addColumn<QString>("modus");
    QTest::addColumn<bool>("kept");
    QTest::newRow("new") << "N" << false;
    QTest::newRow("change") << "B" << true;
}

void TestCreationWizard::showingStartsAtTheNameAndEmptiesANewEntry()
{
    QFETCH(QString, modus);
    QFETCH(bool, kept);
    Rig rig;
    rig.fill();
    rig.view.datenbankDateiname = QStringLiteral("x.dbf");
    rig.view.step = 3;
    rig.view.nextEnabled = false;
    rig.view.modus = modus;
    rig.core.show();
    QCOMPARE(rig.view.step, 0);
    QVERIFY(!rig.view.backEnabled);
    QVERIFY(rig.view.nextEnabled);
    QCOMPARE(rig.view.focus, Focus::Name);
    QCOMPARE(rig.view.bezeichnung.isEmpty(), !kept);
    QCOMPARE(rig.view.formatDateiname.isEmpty(), !kept);
    QCOMPARE(rig.view.etikettenDateiname.isEmpty(), !kept);
    QCOMPARE(rig.view.datenbankDateiname.isEmpty(), !kept);
}

void TestCreationWizard::stepsNeedNameFormatAndDesign_data()
{
    QTest::addColumn<int>("step");
    QTest::addColumn<QString>("message");
    QTest::addColumn<int>("focus");
    QTest::newRow("name") << 0 << "Bitte wählen Sie eine Bezeichnung für das neue Etikett bzw. Formular."
                          << int(Focus::Name);
    QTest::newRow("format") << 1 << "Bitte wählen Sie ein Format für das neue Etikett bzw. Formular."
                            << int(Focus::Format);
    QTest::newRow("design") << 2 << "Bitte wählen Sie ein Design für das neue Etikett bzw. Formular."
                            << int(Focus::Design);
}

void TestCreationWizard::stepsNeedNameFormatAndDesign()
{
    QFETCH(int, step);
    QFETCH(QString, message);
    QFETCH(int, focus);
    Rig rig;
    rig.view.modus = QStringLiteral("B");
    rig.fill();
    rig.core.show();
    while (rig.view.step < step)
        rig.core.next();
    QCOMPARE(rig.view.step, step);
    // The field of this step is emptied: the step stays.
    QString *fields[] = { &rig.view.bezeichnung, &rig.view.formatDateiname, &rig.view.etikettenDateiname };
    fields[step]->clear();
    rig.core.next();
    QCOMPARE(rig.view.step, step);
    QCOMPARE(rig.messages.shown().size(), 1);
    QCOMPARE(rig.messages.lastText(), message);
    QCOMPARE(rig.messages.shown().last().kind, MessageKind::Information);
    QCOMPARE(rig.messages.shown().last().buttons, MessageButtons(MessageButton::Cancel));
    QCOMPARE(int(rig.view.focus), focus);
}

void TestCreationWizard::fourStepsReachTheSavePageAndBackKeepsEntries()
{
    Rig rig;
    rig.core.show();
    rig.fill();
    for (int i = 1; i <= 4; ++i) {
        rig.core.next();
        QCOMPARE(rig.view.step, i);
        QVERIFY(rig.view.backEnabled);
        QCOMPARE(rig.view.nextEnabled, i != 4);
    }
    // The table may stay empty, and a further "Weiter" stays on the last page.
    rig.core.next();
    QCOMPARE(rig.view.step, 4);
    QVERIFY(rig.messages.shown().isEmpty());

    for (int i = 3; i >= 0; --i) {
        rig.core.back();
        QCOMPARE(rig.view.step, i);
        QVERIFY(rig.view.nextEnabled);
        QCOMPARE(rig.view.backEnabled, i != 0);
    }
    rig.core.back();
    QCOMPARE(rig.view.step, 0);
    QCOMPARE(rig.view.bezeichnung, QStringLiteral("Gästeliste"));
    QCOMPARE(rig.view.etikettenDateiname, QStringLiteral("ETIKETT/adress2.eti"));
    for (int i = 0; i < 4; ++i)
        rig.core.next();
    QCOMPARE(rig.view.step, 4);
}

void TestCreationWizard::savingANewEntryAppendsIt()
{
    Rig rig;
    QVERIFY(rig.writeCatalogue(WorksHeader + "Post\r\nAlt\r\na\r\nb\r\n\r\n"));
    WorksCatalogue catalogue { ProgramDirectory(rig.root()) };
    rig.core.show();
    rig.view.bereich = QStringLiteral("Post");
    rig.fill();
    // Two entries of the same name in one area are both kept.
    for (int i = 0; i < 2; ++i)
        QVERIFY(rig.core.save(catalogue));
    QCOMPARE(test::contentOf(rig.root() + QStringLiteral("WERKE.DAT")),
        WorksHeader + "Post\r\nAlt\r\na\r\nb\r\n\r\n"
            + QByteArray("Post\r\nG\xe4steliste\r\nFORMATE/70x36.vrl\r\nETIKETT/adress2.eti\r\n\r\n")
                  .repeated(2));
    QCOMPARE(rig.messages.lastText(),
        QStringLiteral("Etikett bzw. Formular \"Gästeliste\" wurde erfolgreich angelegt."));
    QCOMPARE(rig.messages.shown().last().kind, MessageKind::Information);
}

void TestCreationWizard::savingAChangedEntryWritesNothing()
{
    Rig rig;
    const QByteArray before = WorksHeader + "Post\r\nAlt\r\na\r\nb\r\n\r\n";
    QVERIFY(rig.writeCatalogue(before));
    WorksCatalogue catalogue { ProgramDirectory(rig.root()) };
    rig.view.modus = QStringLiteral("B");
    rig.fill();
    rig.core.show();
    QVERIFY(rig.core.save(catalogue));
    QCOMPARE(test::contentOf(rig.root() + QStringLiteral("WERKE.DAT")), before);
    QVERIFY(rig.messages.shown().isEmpty());
}

void TestCreationWizard::designSizeComesFromTheFormat_data()
{
    QTest::addColumn<QString>("typed");
    QTest::addColumn<QString>("file"); // where the format lies, "" for nowhere
    QTest::addColumn<int>("width");
    QTest::addColumn<int>("height");
    QTest::addColumn<QString>("taken"); // the path afterwards, below the folder
    QTest::newRow("path") << "own/a.vrl"
                          << "own/a.vrl" << 89 << 36 << "own/a.vrl";
    QTest::newRow("from FORMATE") << "C:\\QUILL\\FORMATE\\a.vrl"
                                  << "FORMATE/a.vrl" << 89 << 36 << "FORMATE/a.vrl";
    QTest::newRow("letter case") << "A.VRL"
                                 << "FORMATE/a.vrl" << 89 << 36 << "FORMATE/a.vrl";
    QTest::newRow("missing") << "b.vrl" << QString() << 0 << 0 << "FORMATE/b.vrl";
}

void TestCreationWizard::designSizeComesFromTheFormat()
{
    QFETCH(QString, typed);
    QFETCH(QString, file);
    QFETCH(int, width);
    QFETCH(int, height);
    QFETCH(QString, taken);
    Rig rig;
    QVERIFY(QDir().mkpath(rig.root() + QStringLiteral("FORMATE")));
    // The last label counts: 89.0 x 36.0 mm; a width of 63.5 mm would give 63.
    if (!file.isEmpty())
        QVERIFY(test::writeBytes(
            rig.root() + file, "NA,x\r\nGR,2000,2000\r\nPO,0,0,635,380\r\nPO,0,400,890,369\r\n"));
    rig.view.formatDateiname = typed.startsWith(QLatin1String("own")) ? rig.root() + typed : typed;
    const auto size = rig.core.labelSizeForDesign(ProgramDirectory(rig.root()));
    if (file.isEmpty()) {
        QVERIFY(!size);
        QCOMPARE(rig.messages.lastText(), QStringLiteral("Formatdatei nicht gefunden !"));
        QCOMPARE(rig.messages.shown().last().kind, MessageKind::Plain);
    } else {
        QVERIFY(size);
        QCOMPARE(size->first, width);
        QCOMPARE(size->second, height);
        QVERIFY(rig.messages.shown().isEmpty());
    }
    QCOMPARE(rig.view.formatDateiname, rig.root() + taken);
}

QTEST_APPLESS_MAIN(TestCreationWizard)
#include "TestCreationWizard.moc"
