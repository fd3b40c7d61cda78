#include "formats/widgets/formatexperte.h"
#include "platform/doubles/recordinghelp.h"
#include "platform/doubles/scriptedmessages.h"
#include "testfiles.h"

#include <QImage>
#include <QLineEdit>
#include <QPainter>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>

using namespace qm;
using namespace qm::test;

namespace {

struct Rig
{
    QTemporaryDir temp;
    bool confirmed = true;
    ScriptedMessages messages;
    RecordingHelp help;
    TFormatExperte expert { confirmed, messages, help, QStringLiteral("/hilfe/QUILLMK.HLP"),
        temp.filePath(QStringLiteral("FORMATE")) };

    void open(const QString &mode, const QString &path)
    {
        expert.setModus(mode);
        expert.setVorlagenPfad(path);
        expert.show();
    }
    void type(const char *field, const QString &text) { expert.field(field)->setText(text); }
    QPushButton *button(const char *name) { return expert.findChild<QPushButton *>(QLatin1String(name)); }
};

QImage previewImage(const FormatPreview &preview)
{
    QImage image(PreviewWidth, PreviewHeight, QImage::Format_RGB32);
    image.fill(Qt::gray);
    QPainter painter(&image);
    FormatPreviewView::paintPreview(painter, preview);
    return image;
}

bool black(const QImage &image, int x, int y)
{
    return image.pixel(x, y) == qRgb(0, 0, 0);
}

} // namespace

class TestFormatExperte : public QObject
{
    Q_OBJECT

private slots:
    void fieldsAndLimits_data();
    void fieldsAndLimits();
    void previewPixelsOfWorkedExample();
    void newFormatSavedThroughWindow();
    void savingWithoutDescriptionStaysOpen();
    void cancelWritesNothing();
    void helpContextTwo();
};

void TestFormatExperte::fieldsAndLimits_data()
{
    QTest::addColumn<QString>("field");
    QTest::addColumn<int>("limit");
    QTest::addColumn<QString>("initial");
    QTest::newRow("Grx") << "Grx" << 7 << "0";
    QTest::newRow("GRY") << "GRY" << 7 << "0";
    QTest::newRow("Neben") << "Neben" << 3 << "1";
    QTest::newRow("Unter") << "Unter" << 3 << "1";
    QTest::newRow("Beschreibung") << "Beschreibung" << 60 << "";
    QTest::newRow("Startx") << "Startx" << 5 << "0";
    QTest::newRow("Starty") << "Starty" << 5 << "0";
    QTest::newRow("VorX") << "VorX" << 5 << "0";
    QTest::newRow("VorY") << "VorY" << 5 << "0";
}

void TestFormatExperte::fieldsAndLimits()
{
    QFETCH(QString, field);
    QFETCH(int, limit);
    QFETCH(QString, initial);
    Rig rig;
    rig.type(qPrintable(field), QStringLiteral("alt"));
    rig.open(QStringLiteral("N"), rig.temp.filePath(QStringLiteral("neu.vrl")));
    QLineEdit *edit = rig.expert.field(qPrintable(field));
    QCOMPARE(edit->maxLength(), limit);
    QCOMPARE(edit->text(), initial);
    QVERIFY(!rig.button("Button_Zurueck")->isEnabled());
    QVERIFY(rig.button("Button_Weiter")->isEnabled());
    QCOMPARE(rig.expert.windowTitle(), QStringLiteral("Format-Experte"));
}

void TestFormatExperte::previewPixelsOfWorkedExample()
{
    Rig rig;
    rig.open(QStringLiteral("N"), rig.temp.filePath(QStringLiteral("neu.vrl")));
    rig.type("Grx", QStringLiteral("70"));
    rig.type("GRY", QStringLiteral("37"));
    rig.type("Neben", QStringLiteral("3"));
    rig.type("Unter", QStringLiteral("8"));
    rig.expert.Button_WeiterClick();
    rig.expert.Button_WeiterClick();
    QVERIFY(!rig.button("Button_Weiter")->isEnabled());
    QCOMPARE(rig.expert.previewView()->preview().labels.size(), 24);

    const QImage image = previewImage(rig.expert.previewView()->preview());
    // Labels of 35 x 18 pixels; GDI leaves the right and bottom edge out.
    QVERIFY(black(image, 0, 0));
    QVERIFY(black(image, 34, 5));
    QVERIFY(!black(image, 33, 5));
    QVERIFY(black(image, 35, 5));
    QVERIFY(!black(image, 36, 5));
    QVERIFY(black(image, 5, 126)); // the last row starts at y 126
    QVERIFY(black(image, 5, 143));
    QVERIFY(!black(image, 5, 142));
    QVERIFY(black(image, 104, 144)); // the frame of the area
    QVERIFY(!black(image, 100, 140));

    const QImage shown = rig.expert.previewView()->grab().toImage();
    QCOMPARE(shown.size(), QSize(105, 145));
}

void TestFormatExperte::newFormatSavedThroughWindow()
{
    Rig rig;
    const QString path = rig.temp.filePath(QStringLiteral("neu.vrl"));
    rig.open(QStringLiteral("N"), path);
    rig.type("Grx", QStringLiteral("89"));
    rig.type("GRY", QStringLiteral("36"));
    rig.type("VorY", QStringLiteral("1.5"));
    rig.type("Beschreibung", QStringLiteral("Einzeln"));
    rig.expert.BeschreibungExit();
    QCOMPARE(rig.expert.view().status, QStringLiteral("Einzeln"));
    rig.confirmed = false;
    rig.expert.BitBtn2Click();
    QVERIFY(rig.confirmed);
    QVERIFY(!rig.expert.isVisible());
    QCOMPARE(rig.expert.description(), QStringLiteral("Einzeln"));
    QCOMPARE(contentOf(path),
        QByteArray("** Formatdatei erstellt mit QUILLMARK 95 - Version2.04s\r\n"
                   "NA,Einzeln\r\nGR,890,375\r\nPO,0,0,890,360\r\n"));

    // Opened again to change it: the grid comes back from the file.
    rig.open(QStringLiteral("Ä"), path);
    QCOMPARE(rig.expert.field("VorY")->text(), QStringLiteral(" 1.5"));
    QCOMPARE(rig.expert.field("Beschreibung")->text(), QStringLiteral("Einzeln"));
}

void TestFormatExperte::savingWithoutDescriptionStaysOpen()
{
    Rig rig;
    const QString path = rig.temp.filePath(QStringLiteral("neu.vrl"));
    rig.open(QStringLiteral("N"), path);
    rig.confirmed = false;
    rig.expert.BitBtn2Click();
    QCOMPARE(rig.messages.lastText(), QStringLiteral("Bitte geben Sie eine Beschreibung das Format ein !"));
    QVERIFY(!rig.confirmed);
    QVERIFY(rig.expert.isVisible());
    QVERIFY(!QFileInfo::exists(path));
}

void TestFormatExperte::cancelWritesNothing()
{
    Rig rig;
    const QString path = rig.temp.filePath(QStringLiteral("neu.vrl"));
    rig.open(QStringLiteral("N"), path);
    rig.type("Beschreibung", QStringLiteral("Nicht gespeichert"));
    rig.button("Button_Abbrechen")->click();
    QVERIFY(!rig.confirmed);
    QVERIFY(!rig.expert.isVisible());
    QVERIFY(!QFileInfo::exists(path));
}

void TestFormatExperte::helpContextTwo()
{
    Rig rig;
    rig.button("Button_Hilfe")->click();
    QCOMPARE(
        rig.help.requests(), (QList<RecordingHelp::Request> { { QStringLiteral("/hilfe/QUILLMK.HLP"), 2 } }));
}

QTEST_MAIN(TestFormatExperte)
#include "TestFormatExperte.moc"
