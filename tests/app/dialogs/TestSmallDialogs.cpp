#include "app/dialogs/adrivodialog.h"
#include "app/dialogs/areadialog.h"
#include "app/dialogs/infowindows.h"
#include "app/dialogs/pictures.h"
#include "app/dialogs/titlewindow.h"
#include "controls/kvdotpanel.h"
#include "platform/doubles/memorysettings.h"
#include "platform/doubles/scriptedmessages.h"
#include "platform/doubles/virtualtimerclock.h"

#include <QLineEdit>
#include <QPainter>
#include <QPushButton>
#include <QScreen>
#include <QTest>
#include <QTimer>

using namespace qm;

// The area dialog, the address-program link, the title window and the
// information windows, driven through their handlers.
class TestSmallDialogs : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void areaDialogControls();
    void areaDialogEmptyNameStaysOpen();
    void areaDialogConfirmAndCancel_data();
    void areaDialogConfirmAndCancel();
    void areaDialogEmptiesNameOnEachShowing();
    void areaNameIsCutAtForty();

    void adrivoShowsStoredValue_data();
    void adrivoShowsStoredValue();
    void adrivoOkWritesTypedText();
    void adrivoCancelWritesNothing();
    void adrivoRefusedWriteKeepsDialogOpen();

    void titleWindowIsBorderlessAndCentred();
    void titlePictureIsDrawn();
    void informationWindows_data();
    void informationWindows();
    void programInformationBanner_data();
    void programInformationBanner();
};

void TestSmallDialogs::areaDialogControls()
{
    bool confirmed = false;
    ScriptedMessages messages;
    TBereichBearbeiten dialog(confirmed, messages);
    auto *weiter = dialog.findChild<QPushButton *>(QStringLiteral("Button_Weiter"));
    auto *abbrechen = dialog.findChild<QPushButton *>(QStringLiteral("Button_Abbrechen"));
    QVERIFY(weiter && abbrechen);
    QCOMPARE(weiter->text(), QStringLiteral("&Übernehmen"));
    QVERIFY(weiter->isDefault());
    QCOMPARE(abbrechen->text(), QStringLiteral("&Abbrechen"));
    QVERIFY(dialog.findChild<QLineEdit *>(QStringLiteral("Bereich")));
}

void TestSmallDialogs::areaDialogEmptyNameStaysOpen()
{
    bool confirmed = false;
    ScriptedMessages messages;
    TBereichBearbeiten dialog(confirmed, messages);
    dialog.show();
    dialog.Button_WeiterClick();

    QCOMPARE(messages.shown().size(), 1);
    QCOMPARE(messages.shown().first().kind, MessageKind::Plain);
    QCOMPARE(messages.lastText(), QStringLiteral("Bitte geben Sie den Namen des neuen Bereichs ein."));
    QVERIFY(dialog.isVisible());
    QVERIFY(!confirmed);
    QCOMPARE(dialog.focusWidget(), dialog.findChild<QLineEdit *>(QStringLiteral("Bereich")));
}

void TestSmallDialogs::areaDialogConfirmAndCancel_data()
{
    QTest::addColumn<bool>("confirm");
    QTest::addColumn<bool>("flagBefore");
    QTest::addColumn<bool>("flagAfter");
    QTest::addColumn<int>("result");
    QTest::newRow("Übernehmen") << true << false << true << int(QDialog::Accepted);
    QTest::newRow("Abbrechen") << false << false << false << int(QDialog::Rejected);
    QTest::newRow("Abbrechen resets a stale flag") << false << true << false << int(QDialog::Rejected);
}

void TestSmallDialogs::areaDialogConfirmAndCancel()
{
    QFETCH(bool, confirm);
    QFETCH(bool, flagBefore);
    QFETCH(bool, flagAfter);
    QFETCH(int, result);

    bool confirmed = flagBefore;
    ScriptedMessages messages;
    TBereichBearbeiten dialog(confirmed, messages);
    dialog.setWindowTitle(QStringLiteral("Bereich anlegen"));
    dialog.show();
    QTest::keyClicks(dialog.findChild<QLineEdit *>(QStringLiteral("Bereich")), QStringLiteral("Buero"));
    if (confirm)
        dialog.Button_WeiterClick();
    else
        dialog.Button_AbbrechenClick();

    QCOMPARE(confirmed, flagAfter);
    QCOMPARE(dialog.result(), result);
    QVERIFY(!dialog.isVisible());
    QVERIFY(messages.shown().isEmpty());
    QCOMPARE(dialog.areaName(), QStringLiteral("Buero"));
}

void TestSmallDialogs::areaDialogEmptiesNameOnEachShowing()
{
    bool confirmed = false;
    ScriptedMessages messages;
    TBereichBearbeiten dialog(confirmed, messages);
    auto *edit = dialog.findChild<QLineEdit *>(QStringLiteral("Bereich"));
    dialog.show();
    QTest::keyClicks(edit, QStringLiteral("Alt"));
    dialog.Button_WeiterClick();
    QCOMPARE(dialog.areaName(), QStringLiteral("Alt"));

    dialog.show();
    QCOMPARE(dialog.areaName(), QString());
    QCOMPARE(dialog.focusWidget(), edit);
}

void TestSmallDialogs::areaNameIsCutAtForty()
{
    bool confirmed = false;
    ScriptedMessages messages;
    TBereichBearbeiten dialog(confirmed, messages);
    dialog.show();
    auto *edit = dialog.findChild<QLineEdit *>(QStringLiteral("Bereich"));
    const QString typed = QStringLiteral("Abcdefghij").repeated(4) + QStringLiteral("Klmno");
    QTest::keyClicks(edit, typed);
    QCOMPARE(dialog.areaName(), typed.left(40));
    // Pasted text is cut the same way.
    edit->clear();
    edit->insert(QStringLiteral("Ä").repeated(41));
    QCOMPARE(dialog.areaName(), QStringLiteral("Ä").repeated(40));
}

void TestSmallDialogs::adrivoShowsStoredValue_data()
{
    QTest::addColumn<bool>("stored");
    QTest::addColumn<QString>("value");
    QTest::newRow("stored path") << true << QStringLiteral("/home/anna/adrivo/");
    QTest::newRow("no key") << false << QString();
}

void TestSmallDialogs::adrivoShowsStoredValue()
{
    QFETCH(bool, stored);
    QFETCH(QString, value);

    MemorySettings settings;
    if (stored)
        settings.setValue(QStringLiteral("Parameter"), QStringLiteral("ADRIVO"), value);
    ScriptedMessages messages;
    TInfoADRIVO dialog(settings, messages);
    QCOMPARE(dialog.windowTitle(), QStringLiteral("Verknüpfung mit ADRIVO"));
    auto *edit = dialog.findChild<QLineEdit *>(QStringLiteral("Pfad"));
    QVERIFY(edit);
    edit->setText(QStringLiteral("vom letzten Mal"));

    dialog.show();
    QCOMPARE(dialog.path(), value);
    QCOMPARE(dialog.focusWidget(), edit);
}

void TestSmallDialogs::adrivoOkWritesTypedText()
{
    MemorySettings settings;
    settings.setValue(QStringLiteral("Parameter"), QStringLiteral("ADRIVO"), QStringLiteral("/alt/"));
    ScriptedMessages messages;
    TInfoADRIVO dialog(settings, messages);
    dialog.show();
    auto *edit = dialog.findChild<QLineEdit *>(QStringLiteral("Pfad"));
    edit->selectAll();
    // Stored exactly as typed: no separator is added.
    QTest::keyClicks(edit, QStringLiteral("/opt/adrivo"));
    dialog.Button1Click();

    QCOMPARE(settings.value(QStringLiteral("Parameter"), QStringLiteral("ADRIVO")),
        std::optional<QString>(QStringLiteral("/opt/adrivo")));
    QCOMPARE(dialog.result(), int(QDialog::Accepted));
    QVERIFY(!dialog.isVisible());
}

void TestSmallDialogs::adrivoCancelWritesNothing()
{
    MemorySettings settings;
    ScriptedMessages messages;
    TInfoADRIVO dialog(settings, messages);
    dialog.show();
    QTest::keyClicks(dialog.findChild<QLineEdit *>(QStringLiteral("Pfad")), QStringLiteral("/opt/x/"));
    dialog.Button2Click();

    QCOMPARE(settings.writeCount(), 0);
    QVERIFY(!settings.value(QStringLiteral("Parameter"), QStringLiteral("ADRIVO")));
    QVERIFY(!dialog.isVisible());
}

void TestSmallDialogs::adrivoRefusedWriteKeepsDialogOpen()
{
    MemorySettings settings(QStringLiteral("/nur/lesbar/Quillmark.ini"));
    settings.setRefuseWrites(true);
    ScriptedMessages messages;
    TInfoADRIVO dialog(settings, messages);
    dialog.show();
    QTest::keyClicks(dialog.findChild<QLineEdit *>(QStringLiteral("Pfad")), QStringLiteral("/opt/x/"));
    dialog.Button1Click();

    QCOMPARE(messages.shown().size(), 1);
    QCOMPARE(messages.shown().first().kind, MessageKind::Error);
    QCOMPARE(messages.lastText(), QStringLiteral("Kann nicht nach /nur/lesbar/Quillmark.ini schreiben"));
    QVERIFY(dialog.isVisible());
    QCOMPARE(dialog.path(), QStringLiteral("/opt/x/"));
}

void TestSmallDialogs::titleWindowIsBorderlessAndCentred()
{
    TTitel title;
    title.showCentered();
    QVERIFY(title.isVisible());
    QVERIFY(title.windowFlags().testFlag(Qt::FramelessWindowHint));
    const QRect screen = title.screen()->availableGeometry();
    QVERIFY(screen.contains(title.frameGeometry()));
    QVERIFY(qAbs(title.frameGeometry().center().x() - screen.center().x()) <= 1);
    QVERIFY(qAbs(title.frameGeometry().center().y() - screen.center().y()) <= 1);
    QCOMPARE(title.size(), TitlePictureSize);
}

void TestSmallDialogs::titlePictureIsDrawn()
{
    // The picture fills its rectangle, and only that: a 1-pixel border of the
    // image stays as it was.
    QImage image(TitlePictureSize + QSize(2, 2), QImage::Format_ARGB32);
    image.fill(Qt::transparent);
    {
        QPainter painter(&image);
        drawTitlePicture(painter, QRectF(QPointF(1, 1), QSizeF(TitlePictureSize)));
    }
    QCOMPARE(image.pixelColor(0, 0).alpha(), 0);
    QCOMPARE(image.pixelColor(image.width() - 1, image.height() - 1).alpha(), 0);
    QCOMPARE(image.pixelColor(3, 3).alpha(), 255);
    QCOMPARE(image.pixelColor(image.width() - 4, image.height() - 4).alpha(), 255);
    // The white label sheet stands out of the dark background.
    QCOMPARE(image.pixelColor(40, 46), QColor(Qt::white));
    QVERIFY(image.pixelColor(10, 280).lightness() < 128);
}

void TestSmallDialogs::informationWindows_data()
{
    QTest::addColumn<QString>("caption");
    QTest::addColumn<QStringList>("contained");
    QTest::newRow("Programminformation") << QStringLiteral("Programminformation")
                                         << QStringList { QStringLiteral("Quillmark"),
                                                QStringLiteral("Version 2.0"), QStringLiteral("Etiketten") };
    QTest::newRow("Serviceangebote") << QStringLiteral("Unsere Serviceangebote")
                                     << QStringList { QStringLiteral("Version 2.0"),
                                            QStringLiteral("/home/anna/Quillmark/"),
                                            QStringLiteral("/home/anna/.config/Quillmark.ini"),
                                            QStringLiteral("Erste Hilfe") };
}

void TestSmallDialogs::informationWindows()
{
    QFETCH(QString, caption);
    QFETCH(QStringList, contained);

    std::unique_ptr<TInfoFenster> window;
    if (caption == QLatin1String("Programminformation"))
        window = std::make_unique<TPinformation>();
    else
        window = std::make_unique<TServiceangebote>(
            QStringLiteral("/home/anna/Quillmark/"), QStringLiteral("/home/anna/.config/Quillmark.ini"));
    QCOMPARE(window->windowTitle(), caption);
    for (const QString &part : contained)
        QVERIFY2(window->text().contains(part), qPrintable(part));

    auto *ok = window->findChild<QPushButton *>(QStringLiteral("Button_OK"));
    QVERIFY(ok);
    QCOMPARE(ok->text(), QStringLiteral("&OK"));
    window->show();
    ok->click();
    QVERIFY(!window->isVisible());
}

void TestSmallDialogs::programInformationBanner_data()
{
    QTest::addColumn<QString>("closedBy");
    QTest::newRow("OK") << QStringLiteral("ok");
    QTest::newRow("Escape") << QStringLiteral("escape");
    QTest::newRow("close button") << QStringLiteral("close");
}

void TestSmallDialogs::programInformationBanner()
{
    QFETCH(QString, closedBy);

    TPinformation window;
    TKVDOTPanel *banner = window.findChild<TKVDOTPanel *>();
    QVERIFY(banner);
    QCOMPARE(banner, window.banner());
    QCOMPARE(banner->Color(), QColor(Qt::black));
    QCOMPARE(banner->DOTHiColor(), QColor(0, 255, 0));
    QVERIFY(banner->Caption().contains(QStringLiteral("Version 2.04s")));
    // Every character of the text has a glyph: none turns into a gap.
    for (const QChar c : banner->Caption())
        QVERIFY2(c == QLatin1Char(' ') || dotfont::glyphCode(c) != 32, qPrintable(QString(c)));
    QVERIFY(!banner->isScrolling());

    VirtualTimerClock clock;
    clock.watch(banner->findChild<QTimer *>());
    for (int showing = 1; showing <= 2; ++showing) {
        window.show();
        QVERIFY(banner->isScrolling());
        QCOMPARE(banner->ScrollInterval(), TPinformation::BannerInterval);
        QCOMPARE(banner->textPosition(), 1);
        const QImage first = banner->grab().toImage();
        clock.advance(20 * TPinformation::BannerInterval);
        QVERIFY(banner->textPosition() > 1);
        QVERIFY(banner->grab().toImage() != first);

        if (closedBy == QLatin1String("ok"))
            window.findChild<QPushButton *>(QStringLiteral("Button_OK"))->click();
        else if (closedBy == QLatin1String("escape"))
            QTest::keyClick(&window, Qt::Key_Escape);
        else
            window.close();
        QVERIFY(!window.isVisible());
        QVERIFY(!banner->isScrolling());
        const int position = banner->textPosition();
        clock.advance(1000);
        QCOMPARE(banner->textPosition(), position);
    }
}

QTEST_MAIN(TestSmallDialogs)
#include "TestSmallDialogs.moc"
