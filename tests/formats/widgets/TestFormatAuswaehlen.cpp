#include "formats/sheetformat.h"
#include "formats/widgets/formatauswaehlen.h"
#include "formats/widgets/formatexperte.h"
#include "formats/widgets/stocksearchdialog.h"
#include "modalwindows.h"
#include "platform/doubles/recordinghelp.h"
#include "platform/doubles/scriptedfiledialogs.h"
#include "platform/doubles/scriptedmessages.h"
#include "programdir/programdirectory.h"
#include "testfiles.h"
#include "testpaths.h"

#include <QApplication>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <QTreeWidget>

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
    void stockSearchEntersSheet_data();
    void stockSearchEntersSheet();
    void stockSearchSelectsTheEntryThatHoldsTheSheet_data();
    void stockSearchSelectsTheEntryThatHoldsTheSheet();
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

void TestFormatAuswaehlen::stockSearchEntersSheet_data()
{
    QTest::addColumn<QString>("mode");
    QTest::addColumn<QString>("typed");
    QTest::addColumn<QStringList>("firstMatch");
    QTest::addColumn<QString>("file"); // "" when cancelled
    QTest::addColumn<QString>("lastPosition"); // "x,y,width,height" of the VRL file
    QTest::newRow("N, maker and part")
        << "N"
        << "herma 4464" << QStringList { "Herma", "4464", "69,6 x 37 mm (3 x 8)", "24" } << "herma_4464.vrl"
        << "1404,2593,696,370";
    QTest::newRow("E, part, handed to the wizard")
        << "E"
        << "L7651" << QStringList { "Avery", "L7651", "38,1 x 21,2 mm (5 x 13)", "65" } << "avery_l7651.vrl"
        << "1671,2653,381,212";
    QTest::newRow("N, cancelled") << "N"
                                  << "herma 4464"
                                  << QStringList { "Herma", "4464", "69,6 x 37 mm (3 x 8)", "24" } << ""
                                  << "";
}

void TestFormatAuswaehlen::stockSearchEntersSheet()
{
    QFETCH(QString, mode);
    QFETCH(QString, typed);
    QFETCH(QStringList, firstMatch);
    QFETCH(QString, file);
    QFETCH(QString, lastPosition);
    Rig rig;
    const QByteArray before = contentOf(rig.dir.formatsFile());
    StockSearchDialog *search = rig.selection.stockSearch();
    whenShownModal(search, [&] {
        QTest::keyClicks(search->searchField(), typed);
        QTreeWidget *list = search->matchList();
        QVERIFY(list->topLevelItemCount() >= 1);
        QStringList columns;
        for (int c = 0; c < 4; ++c)
            columns.append(list->topLevelItem(0)->text(c));
        QCOMPARE(columns, firstMatch);
        QVERIFY(!search->takeOverButton()->isEnabled());
        list->setCurrentItem(list->topLevelItem(0));
        // The sheet in the preview: one rectangle per label.
        QCOMPARE(search->previewView()->preview().labels.size(), firstMatch[3].toInt());
        QVERIFY(search->takeOverButton()->isEnabled());
        if (file.isEmpty())
            search->findChild<QPushButton *>(QStringLiteral("Button_Abbrechen"))->click();
        else
            search->takeOverButton()->click();
    });
    std::optional<QString> handedOver;
    if (mode == QLatin1String("E")) {
        whenShownModal(&rig.selection, [&] { rig.selection.Button_SuchenClick(); });
        handedOver = rig.selection.chooseFormat();
    } else {
        rig.selection.setModus(mode);
        rig.selection.show();
        rig.selection.Button_SuchenClick();
    }
    if (file.isEmpty()) {
        QCOMPARE(contentOf(rig.dir.formatsFile()), before);
        QVERIFY(!handedOver);
        return;
    }
    const QString description
        = firstMatch[0] + QLatin1Char(' ') + firstMatch[1] + QLatin1Char(' ') + firstMatch[2];
    QVERIFY(contentOf(rig.dir.formatsFile())
                .endsWith(
                    "Individuelle Formate\r\n" + description.toLatin1() + "\r\n" + file.toLatin1() + "\r\n"));
    if (mode == QLatin1String("E")) {
        QCOMPARE(handedOver.value_or(QStringLiteral("<none>")), file);
        QVERIFY(!rig.selection.isVisible());
    } else {
        QCOMPARE(rig.selection.areaList()->currentItem()->text(), QStringLiteral("Individuelle Formate"));
        QCOMPARE(rig.selection.formatList()->currentItem()->text(), description);
        QVERIFY(rig.selection.view().formatClicked);
    }
    SheetFormat format;
    QVERIFY(FormatdateiLesen(rig.dir.subdirPath(QStringLiteral("FORMATE")) + file, format));
    QCOMPARE(format.positionCount(), firstMatch[3].toInt());
    const LabelPosition last = format.positions.back();
    QCOMPARE(
        QStringLiteral("%1,%2,%3,%4").arg(last.x).arg(last.y).arg(last.width).arg(last.height), lastPosition);
    QCOMPARE(format.description, QString(description).replace(QLatin1Char(','), QLatin1Char('.')));
}

void TestFormatAuswaehlen::stockSearchSelectsTheEntryThatHoldsTheSheet_data()
{
    QTest::addColumn<QString>("mode");
    QTest::newRow("N") << "N";
    QTest::newRow("E") << "E";
}

// L7163 is in the catalogue under "AVERY Laseretiketten": taken from the
// search, that entry is selected (and in mode "E" handed over), nothing is
// added. A text that finds nothing says so.
void TestFormatAuswaehlen::stockSearchSelectsTheEntryThatHoldsTheSheet()
{
    QFETCH(QString, mode);
    Rig rig;
    const QString folder = rig.dir.subdirPath(QStringLiteral("FORMATE"));
    QVERIFY(writeBytes(folder + QStringLiteral("avery_l7163.vrl"),
        contentOf(test::shareDir() + QStringLiteral("/FORMATE/avery_l7163.vrl"))));
    QVERIFY(writeBytes(rig.dir.formatsFile(),
        contentOf(rig.dir.formatsFile())
            + "AVERY Laseretiketten\r\nL7163 99,1 x 38,1 mm (2 x 7)\r\navery_l7163.vrl\r\n"));
    const QByteArray before = contentOf(rig.dir.formatsFile());
    StockSearchDialog *search = rig.selection.stockSearch();
    whenShownModal(search, [&] {
        QTest::keyClicks(search->searchField(), QStringLiteral("L71630"));
        QCOMPARE(search->matchList()->topLevelItemCount(), 0);
        QCOMPARE(search->statusLabel()->text(), QStringLiteral("Kein Etikettenbogen passt zu \"L71630\"."));
        QTest::keyClick(search->searchField(), Qt::Key_Backspace);
        QTreeWidget *list = search->matchList();
        QVERIFY(list->topLevelItemCount() >= 1);
        QCOMPARE(list->topLevelItem(0)->text(1), QStringLiteral("L7163"));
        QVERIFY(search->statusLabel()->text().endsWith(QStringLiteral(" gefunden.")));
        list->setCurrentItem(list->topLevelItem(0));
        search->takeOverButton()->click();
    });
    std::optional<QString> handedOver;
    if (mode == QLatin1String("E")) {
        whenShownModal(&rig.selection, [&] { rig.selection.Button_SuchenClick(); });
        handedOver = rig.selection.chooseFormat();
        QCOMPARE(handedOver.value_or(QStringLiteral("<none>")), QStringLiteral("avery_l7163.vrl"));
    } else {
        rig.selection.setModus(mode);
        rig.selection.show();
        rig.selection.Button_SuchenClick();
        QCOMPARE(rig.selection.areaList()->currentItem()->text(), QStringLiteral("AVERY Laseretiketten"));
        QCOMPARE(rig.selection.formatList()->currentItem()->text(), QStringLiteral("L7163 99,1 x 38,1 mm (2 x 7)"));
        QVERIFY(rig.selection.view().formatClicked);
    }
    QCOMPARE(contentOf(rig.dir.formatsFile()), before);
    QCOMPARE(QDir(folder).entryList(QDir::Files | QDir::Hidden).size(), 2);
}

void TestFormatAuswaehlen::helpContextOne()
{
    Rig rig;
    rig.selection.findChild<QPushButton *>(QStringLiteral("Button_Hilfe"))->click();
    QCOMPARE(rig.help.requests(), (QList<RecordingHelp::Request> { { QStringLiteral("/h.HLP"), 1 } }));
}

QTEST_MAIN(TestFormatAuswaehlen)
#include "TestFormatAuswaehlen.moc"
