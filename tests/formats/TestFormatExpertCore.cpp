#include "formats/formatexpertcore.h"
#include "testpaths.h"
#include "formats/sheetformat.h"
#include "platform/doubles/scriptedmessages.h"
#include "testfiles.h"

#include <QTemporaryDir>
#include <QTest>

using namespace qm;
using namespace qm::test;

namespace {

QString data(const QString &name)
{
    return test::fixturesDir() + QStringLiteral("/formats/") + name;
}

GridTexts texts(const char *grx, const char *gry, const char *neben, const char *unter, const char *startx,
    const char *starty, const char *vorX, const char *vorY)
{
    return GridTexts { grx, gry, neben, unter, startx, starty, vorX, vorY };
}

struct Rig
{
    QTemporaryDir temp;
    ScriptedMessages messages;
    FormatExpertCore core { messages, temp.filePath(QStringLiteral("FORMATE")) };
    FormatExpertView view;

    QString formatDir() const { return temp.filePath(QStringLiteral("FORMATE")) + QLatin1Char('/'); }
};

} // namespace

Q_DECLARE_METATYPE(qm::GridTexts)

class TestFormatExpertCore : public QObject
{
    Q_OBJECT

private slots:
    void newFormatDefaults();
    void changeLoadsDerivedGrid();
    void changeFindsPlainNameInFormatFolder();
    void missingFileKeepsFields();
    void paging_data();
    void paging();
    void previewWorkedExample();
    void previewEmptiedFieldsBecomeZero();
    void previewLeavesOutWhatCannotBeSeen_data();
    void previewLeavesOutWhatCannotBeSeen();
    void previewBadCountReported();
    void saveWritesTheGrid_data();
    void saveWritesTheGrid();
    void saveRefused_data();
    void saveRefused();
    void descriptionToStatusLine();
};

void TestFormatExpertCore::newFormatDefaults()
{
    Rig rig;
    rig.view.grid = texts("5", "5", "5", "5", "5", "5", "5", "5");
    rig.view.beschreibung = QStringLiteral("alt");
    rig.view.status = QStringLiteral("alt");
    rig.view.page = 3;
    QCOMPARE(rig.core.FormShow(rig.view, QStringLiteral("N"), QStringLiteral("/x/neu.vrl")),
        QStringLiteral("/x/neu.vrl"));
    QCOMPARE(rig.view.grid, texts("0", "0", "1", "1", "0", "0", "0", "0"));
    QVERIFY(rig.view.beschreibung.isEmpty());
    QVERIFY(rig.view.status.isEmpty());
    QCOMPARE(rig.view.page, 1);
    QVERIFY(!rig.view.backEnabled);
    QVERIFY(rig.view.nextEnabled);
    QVERIFY(rig.messages.shown().isEmpty());
}

void TestFormatExpertCore::changeLoadsDerivedGrid()
{
    Rig rig;
    const QString path = data(QStringLiteral("a4_3x7_63.5x38_written.vrl"));
    QCOMPARE(rig.core.FormShow(rig.view, QStringLiteral("Ä"), path), path);
    QCOMPARE(rig.view.grid, texts("63.5", "38.0", "3", "7", " 7.5", "15.0", " 2.5", " 0.0"));
    QCOMPARE(rig.view.beschreibung, rig.view.status);
    QVERIFY(!rig.view.beschreibung.isEmpty());
}

void TestFormatExpertCore::changeFindsPlainNameInFormatFolder()
{
    Rig rig;
    QVERIFY(writeBytes(rig.formatDir() + QStringLiteral("Einzeln.VRL"),
        contentOf(data(QStringLiteral("single_label_89x36_gap_y_1.5.vrl")))));
    const QString found
        = rig.core.FormShow(rig.view, QStringLiteral("Ä"), QStringLiteral("C:\\Alt\\einzeln.vrl"));
    QCOMPARE(found, rig.formatDir() + QStringLiteral("Einzeln.VRL"));
    QCOMPARE(rig.view.grid, texts("89.0", "36.0", "1", "1", " 0.0", " 0.0", " 0.0", " 1.5"));
}

void TestFormatExpertCore::missingFileKeepsFields()
{
    Rig rig;
    rig.view.grid = texts("1", "2", "3", "4", "5", "6", "7", "8");
    rig.core.FormShow(rig.view, QStringLiteral("Ä"), QStringLiteral("fehlt.vrl"));
    QCOMPARE(rig.messages.lastText(), QStringLiteral("Formatdatei nicht gefunden !"));
    QCOMPARE(rig.view.grid, texts("1", "2", "3", "4", "5", "6", "7", "8"));
}

void TestFormatExpertCore::paging_data()
{
    QTest::addColumn<QString>("clicks"); // W forward, Z back
    QTest::addColumn<int>("page");
    QTest::addColumn<bool>("back");
    QTest::addColumn<bool>("next");
    QTest::newRow("back on page 1") << "Z" << 1 << false << true;
    QTest::newRow("to page 2") << "W" << 2 << true << true;
    QTest::newRow("to page 3") << "WW" << 3 << true << false;
    QTest::newRow("forward on page 3") << "WWW" << 3 << true << false;
    QTest::newRow("back to 2") << "WWZ" << 2 << true << true;
    QTest::newRow("back to 1") << "WWZZ" << 1 << false << true;
}

void TestFormatExpertCore::paging()
{
    QFETCH(QString, clicks);
    QFETCH(int, page);
    QFETCH(bool, back);
    QFETCH(bool, next);
    Rig rig;
    rig.core.FormShow(rig.view, QStringLiteral("N"), QString());
    for (const QChar c : clicks) {
        if (c == QLatin1Char('W'))
            rig.core.Button_WeiterClick(rig.view);
        else
            rig.core.Button_ZurueckClick(rig.view);
    }
    QCOMPARE(rig.view.page, page);
    QCOMPARE(rig.view.backEnabled, back);
    QCOMPARE(rig.view.nextEnabled, next);
}

void TestFormatExpertCore::previewWorkedExample()
{
    FormatExpertView view;
    view.grid = texts("70", "37", "3", "8", "0", "0", "0", "0");
    const FormatPreview preview = FormatExpertCore::preview(view);
    QCOMPARE(preview.labels.size(), 24);
    for (const QRect &r : preview.labels)
        QCOMPARE(r.size(), QSize(35, 18));
    QCOMPARE(preview.labels.first(), QRect(0, 0, 35, 18));
    QCOMPARE(preview.labels[7], QRect(0, 126, 35, 18)); // first column, last row
    QCOMPARE(preview.labels.last(), QRect(70, 126, 35, 18));
}

void TestFormatExpertCore::previewEmptiedFieldsBecomeZero()
{
    Rig rig;
    rig.core.FormShow(rig.view, QStringLiteral("N"), QString());
    rig.view.grid = texts("", "10", "", "2", "", "3", "", "");
    const FormatPreview preview = rig.core.Button_WeiterClick(rig.view);
    QCOMPARE(rig.view.grid, texts("0", "10", "0", "2", "0", "3", "0", "0"));
    QVERIFY(preview.labels.isEmpty()); // 0 across draws nothing
    QVERIFY(rig.messages.shown().isEmpty());
}

void TestFormatExpertCore::previewLeavesOutWhatCannotBeSeen_data()
{
    QTest::addColumn<GridTexts>("grid");
    QTest::addColumn<int>("labels");
    QTest::addColumn<QRect>("last");
    // 999 across, 10 mm apart: 21 columns start inside the 105 pixels.
    QTest::newRow("wide") << texts("10", "10", "999", "1", "0", "0", "0", "0") << 21 << QRect(100, 0, 5, 5);
    QTest::newRow("all on one spot") << texts("10", "10", "999", "999", "0", "0", "-10", "-10") << 1
                                     << QRect(0, 0, 5, 5);
    QTest::newRow("margins odd mm") << texts("10.9", "5.5", "2", "1", "3.9", "1.1", "2.9", "0") << 2
                                    << QRect(1 + 5 + 1, 0, 5, 2);
    QTest::newRow("one count below 1") << texts("10", "10", "3", "-1", "0", "0", "0", "0") << 0 << QRect();
}

void TestFormatExpertCore::previewLeavesOutWhatCannotBeSeen()
{
    QFETCH(GridTexts, grid);
    QFETCH(int, labels);
    QFETCH(QRect, last);
    FormatExpertView view;
    view.grid = grid;
    const FormatPreview preview = FormatExpertCore::preview(view);
    QCOMPARE(preview.labels.size(), labels);
    if (labels > 0)
        QCOMPARE(preview.labels.last(), last);
}

void TestFormatExpertCore::previewBadCountReported()
{
    Rig rig;
    rig.core.FormShow(rig.view, QStringLiteral("N"), QString());
    rig.view.grid.unter = QStringLiteral("2x");
    QVERIFY(rig.core.Button_WeiterClick(rig.view).labels.isEmpty());
    QCOMPARE(rig.messages.lastText(), QStringLiteral("'2x' ist kein gültiger Integerwert"));
    QCOMPARE(rig.view.page, 2);
}

void TestFormatExpertCore::saveWritesTheGrid_data()
{
    QTest::addColumn<GridTexts>("grid");
    QTest::newRow("decimal points") << texts("63.5", "38", "3", "7", "7.5", "15", "2.5", "0");
    // German users type the comma; the file is the same.
    QTest::newRow("decimal commas") << texts("63,5", "38", "3", "7", "7,5", "15,0", " 2,5", "0");
}

void TestFormatExpertCore::saveWritesTheGrid()
{
    QFETCH(GridTexts, grid);
    Rig rig;
    const QString path = rig.temp.filePath(QStringLiteral("a4.vrl"));
    rig.view.grid = grid;
    rig.view.beschreibung = QStringLiteral("Adressen 63,5 x 38");
    QVERIFY(rig.core.BitBtn2Click(rig.view, path));
    QVERIFY(rig.messages.shown().isEmpty());
    const QByteArray written = contentOf(path);
    QVERIFY(written.startsWith("** Formatdatei erstellt mit QUILLMARK 95 - Version2.04s\r\n"
                               "NA,Adressen 63,5 x 38\r\nGR,2030,2810\r\nPO,75,150,635,380\r\n"
                               "PO,735,150,635,380\r\n"));
    QCOMPARE(written.count("PO,"), 21);
}

void TestFormatExpertCore::saveRefused_data()
{
    QTest::addColumn<QString>("description");
    QTest::addColumn<GridTexts>("grid");
    QTest::addColumn<QString>("message");
    const GridTexts fine = texts("70", "37", "3", "8", "0", "0", "0", "0");
    QTest::newRow("no description") << "" << fine << "Bitte geben Sie eine Beschreibung das Format ein !";
    QTest::newRow("count not a number") << "A" << texts("70", "37", "3", "acht", "0", "0", "0", "0")
                                        << "'acht' ist kein gültiger Integerwert";
    QTest::newRow("length with two commas") << "A" << texts("70,5,1", "37", "3", "8", "0", "0", "0", "0")
                                            << "'70,5,1' ist kein gültiger Gleitkommawert";
    QTest::newRow("length with point and comma") << "A" << texts("70", "37", "3", "8", "0,5.1", "0", "0", "0")
                                                 << "'0,5.1' ist kein gültiger Gleitkommawert";
    QTest::newRow("length not a number") << "A" << texts("70", "37", "3", "8", "0", "1cm", "0", "0")
                                         << "'1cm' ist kein gültiger Gleitkommawert";
    QTest::newRow("too many labels")
        << "A" << texts("10", "10", "15", "14", "0", "0", "0", "0")
        << "Das Format ergibt 210 Etiketten auf einem Bogen. Es sind höchstens 200 "
           "möglich.";
    QTest::newRow("negative count") << "A" << texts("10", "10", "-2", "3", "0", "0", "0", "0")
                                    << "Die Anzahl nebeneinander darf nicht kleiner als 0 sein (-2).";
    QTest::newRow("outside cp1252") << "Etiketten ✓" << fine << "";
}

void TestFormatExpertCore::saveRefused()
{
    QFETCH(QString, description);
    QFETCH(GridTexts, grid);
    QFETCH(QString, message);
    Rig rig;
    const QString path = rig.temp.filePath(QStringLiteral("alt.vrl"));
    QVERIFY(writeBytes(path, "NA,alt\r\n"));
    rig.view.grid = grid;
    rig.view.beschreibung = description;
    QVERIFY(!rig.core.BitBtn2Click(rig.view, path));
    QCOMPARE(rig.messages.shown().size(), 1);
    if (!message.isEmpty())
        QCOMPARE(rig.messages.lastText(), message);
    QCOMPARE(contentOf(path), QByteArray("NA,alt\r\n"));
    QCOMPARE(QDir(rig.temp.path()).entryList(QDir::Files), QStringList { "alt.vrl" });
}

void TestFormatExpertCore::descriptionToStatusLine()
{
    Rig rig;
    rig.view.beschreibung = QStringLiteral("Ordnerrücken");
    rig.core.BeschreibungExit(rig.view);
    QCOMPARE(rig.view.status, QStringLiteral("Ordnerrücken"));
}

QTEST_GUILESS_MAIN(TestFormatExpertCore)
#include "TestFormatExpertCore.moc"
