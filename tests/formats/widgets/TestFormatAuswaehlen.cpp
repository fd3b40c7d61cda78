#include "catalogue/programdirectory.h"
#include "formats/widgets/formatauswaehlen.h"
#include "formats/widgets/formatexperte.h"
#include "platform/doubles/recordinghelp.h"
#include "platform/doubles/scriptedfiledialogs.h"
#include "platform/doubles/scriptedmessages.h"
#include "testfiles.h"

#include <QApplication>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

using namespace qm;
using namespace qm::test;

namespace {

// The selection with the real format expert, on a program directory with
// one laser sheet.
struct Rig
{
    QTemporaryDir temp;
    ProgramDirectory dir { temp.path() };
    bool confirmed = true;
    ScriptedMessages messages;
    ScriptedFileDialogs fileDialogs;
    RecordingHelp help;
    TFormatExperte expert { confirmed, messages, help, QStringLiteral("/h.HLP"),
        dir.subdirPath(QStringLiteral("FORMATE")) };
    TFormatAuswaehlen selection { dir, confirmed, messages, fileDialogs, help, QStringLiteral("/h.HLP"),
        expert };

    Rig()
    {
        writeBytes(dir.formatsFile(),
            "FORMATE.DAT - Quillmark 32-Bit-Fassung\r\n"
            "=========================================\r\n"
            "AVERY Laseretiketten\r\nL7160 63,5 x 38,1 mm (3 x 7)\r\navery_l7160.vrl\r\n");
        writeBytes(dir.subdirPath(QStringLiteral("FORMATE")) + QStringLiteral("avery_l7160.vrl"),
            "NA,L7160\r\nGR,2030,2810\r\nPO,75,150,635,380\r\n");
    }
    void pick(int area, int format = -1)
    {
        selection.areaList()->setCurrentRow(area);
        if (format >= 0)
            selection.formatList()->setCurrentRow(format);
    }
};

} // namespace

class TestFormatAuswaehlen : public QObject
{
    Q_OBJECT

private slots:
    void modeSetsConfirmCaption_data();
    void modeSetsConfirmCaption();
    void chooseHandsOverClickedFormat();
    void newFormatThroughExpertWindow();
    void helpContextOne();
};

void TestFormatAuswaehlen::modeSetsConfirmCaption_data()
{
    QTest::addColumn<QString>("mode");
    QTest::addColumn<QString>("caption");
    QTest::newRow("N") << "N"
                       << "OK";
    QTest::newRow("E") << "E"
                       << "Übernehmen";
}

void TestFormatAuswaehlen::modeSetsConfirmCaption()
{
    QFETCH(QString, mode);
    QFETCH(QString, caption);
    Rig rig;
    rig.selection.setModus(mode);
    QCOMPARE(rig.selection.okButton()->text(), caption);
    QCOMPARE(rig.selection.windowTitle(), QStringLiteral("Format auswählen"));
}

void TestFormatAuswaehlen::chooseHandsOverClickedFormat()
{
    Rig rig;
    QTimer::singleShot(0, [&] {
        QCOMPARE(rig.selection.areaList()->count(), 9);
        rig.pick(2, 0);
        QCOMPARE(rig.selection.formatList()->currentItem()->text(),
            QStringLiteral("L7160 63,5 x 38,1 mm (3 x 7)"));
        rig.selection.okButton()->click();
    });
    QCOMPARE(
        rig.selection.chooseFormat().value_or(QStringLiteral("<none>")), QStringLiteral("avery_l7160.vrl"));
    QVERIFY(!rig.confirmed);

    QTimer::singleShot(0, [&] { rig.selection.okButton()->click(); });
    QVERIFY(!rig.selection.chooseFormat());
}

void TestFormatAuswaehlen::newFormatThroughExpertWindow()
{
    Rig rig;
    rig.selection.setModus(QStringLiteral("N"));
    rig.selection.show();
    rig.pick(8);
    const QString path = rig.dir.subdirPath(QStringLiteral("FORMATE")) + QStringLiteral("eigen.vrl");
    rig.fileDialogs.addAnswer(path);
    QTimer::singleShot(0, [&] {
        QWidget *modal = QApplication::activeModalWidget();
        QCOMPARE(modal, &rig.expert);
        rig.expert.field("Grx")->setText(QStringLiteral("50"));
        rig.expert.field("GRY")->setText(QStringLiteral("20"));
        rig.expert.field("Beschreibung")->setText(QStringLiteral("Eigenes 50 x 20"));
        rig.expert.BitBtn2Click();
    });
    rig.selection.Button_NeuClick();
    QCOMPARE(rig.selection.formatList()->count(), 1);
    QCOMPARE(rig.selection.formatList()->item(0)->text(), QStringLiteral("Eigenes 50 x 20"));
    QVERIFY(contentOf(rig.dir.formatsFile())
                .endsWith("Individuelle Formate\r\nEigenes 50 x 20\r\n" + path.toLocal8Bit() + "\r\n"));
    QVERIFY(contentOf(path).contains("NA,Eigenes 50 x 20\r\n"));
}

void TestFormatAuswaehlen::helpContextOne()
{
    Rig rig;
    rig.selection.findChild<QPushButton *>(QStringLiteral("Button_Hilfe"))->click();
    QCOMPARE(rig.help.requests(), (QList<RecordingHelp::Request> { { QStringLiteral("/h.HLP"), 1 } }));
}

QTEST_MAIN(TestFormatAuswaehlen)
#include "TestFormatAuswaehlen.moc"
