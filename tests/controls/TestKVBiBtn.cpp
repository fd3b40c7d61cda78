#include "controls/kvbibtn.h"

#include <QSignalSpy>
#include <QTest>

using namespace qm;

namespace {

QImage grab(TKVBiBtn &button)
{
    return button.grab().toImage();
}

} // namespace

class TestKVBiBtn : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void startsAsSpecified();
    void captionFollowsTheState_data();
    void captionFollowsTheState();
    void pressFlipsBeforeClick();
    void disabledIgnoresClicks();
    void lampPixels_data();
    void lampPixels();
    void blinkingRunsOnlyWhileOn();
    void glyphHalfFollowsEnabled();
};

void TestKVBiBtn::startsAsSpecified()
{
    TKVBiBtn button;
    QCOMPARE(button.size(), QSize(100, 50));
    QCOMPARE(button.captionOn(), QStringLiteral("On"));
    QCOMPARE(button.captionOff(), QStringLiteral("Off"));
    QVERIFY(button.led());
    QCOMPARE(button.ledColor(), QColor(255, 0, 0));
    QCOMPARE(button.ledInterval(), 500);
    QVERIFY(button.border());
    QVERIFY(!button.value());
}

void TestKVBiBtn::captionFollowsTheState_data()
{
    QTest::addColumn<QString>("caption");
    QTest::addColumn<QString>("off");
    QTest::addColumn<QString>("on");
    QTest::newRow("state captions") << ""
                                    << "inaktiv"
                                    << "aktiv";
    QTest::newRow("fixed caption") << "Kriterium"
                                   << "Kriterium"
                                   << "Kriterium";
}

void TestKVBiBtn::captionFollowsTheState()
{
    QFETCH(QString, caption);
    QFETCH(QString, off);
    QFETCH(QString, on);
    TKVBiBtn button;
    button.setCaptionOn(QStringLiteral("aktiv"));
    button.setCaptionOff(QStringLiteral("inaktiv"));
    button.setCaption(caption);
    QCOMPARE(button.shownText(), off);
    button.setValue(true);
    QCOMPARE(button.shownText(), on);
}

void TestKVBiBtn::pressFlipsBeforeClick()
{
    TKVBiBtn button;
    bool valueAtClick = false;
    connect(&button, &TKVBiBtn::clicked, this, [&] { valueAtClick = button.value(); });
    QSignalSpy clicks(&button, &TKVBiBtn::clicked);
    QTest::mousePress(&button, Qt::LeftButton, {}, QPoint(50, 25));
    QVERIFY(button.value());
    QVERIFY(button.isPressed());
    QCOMPARE(clicks.count(), 0);
    QTest::mouseRelease(&button, Qt::LeftButton, {}, QPoint(50, 25));
    QVERIFY(!button.isPressed());
    QCOMPARE(clicks.count(), 1);
    QVERIFY(valueAtClick);
    QTest::mouseClick(&button, Qt::RightButton, {}, QPoint(50, 25));
    QVERIFY(!button.value());
}

void TestKVBiBtn::disabledIgnoresClicks()
{
    TKVBiBtn button;
    QSignalSpy clicks(&button, &TKVBiBtn::clicked);
    button.setEnabled(false);
    QTest::mouseClick(&button, Qt::LeftButton, {}, QPoint(50, 25));
    QVERIFY(!button.value());
    QCOMPARE(clicks.count(), 0);
}

void TestKVBiBtn::lampPixels_data()
{
    QTest::addColumn<bool>("value");
    QTest::addColumn<bool>("led");
    QTest::addColumn<QColor>("centre");
    QTest::newRow("on: pure red") << true << true << QColor(255, 0, 0);
    QTest::newRow("off: dimmed") << false << true << QColor(127, 0, 0);
    QTest::newRow("no lamp: background") << true << false << QColor(10, 200, 30);
}

void TestKVBiBtn::lampPixels()
{
    QFETCH(bool, value);
    QFETCH(bool, led);
    QFETCH(QColor, centre);
    TKVBiBtn button;
    button.setColor(QColor(10, 200, 30));
    button.setLedInterval(0);
    button.setLed(led);
    button.setValue(value);
    const QImage image = grab(button);
    QCOMPARE(image.pixelColor(10, 25), centre);
    QCOMPARE(image.pixelColor(0, 0), QColor(Qt::black)); // the outline
    QCOMPARE(image.pixelColor(50, 3), QColor(10, 200, 30));
    if (led) {
        QCOMPARE(image.pixelColor(5, 25), QColor(Qt::gray)); // sunken edge of the lamp
        QCOMPARE(image.pixelColor(15, 25), QColor(Qt::white));
    }
}

void TestKVBiBtn::blinkingRunsOnlyWhileOn()
{
    TKVBiBtn button;
    QVERIFY(!button.timer().isActive());
    button.setValue(true);
    QVERIFY(button.timer().isActive());
    QCOMPARE(button.timer().interval(), 500);
    QCOMPARE(button.lampColor(), QColor(255, 0, 0));
    button.blink();
    QCOMPARE(button.lampColor(), QColor(127, 0, 0));
    QCOMPARE(grab(button).pixelColor(10, 25), QColor(127, 0, 0));
    button.blink();
    QCOMPARE(button.lampColor(), QColor(255, 0, 0));
    button.setValue(false);
    QVERIFY(!button.timer().isActive());
    button.setValue(true);
    button.setLedInterval(0);
    QVERIFY(!button.timer().isActive());
    QCOMPARE(button.lampColor(), QColor(255, 0, 0));
}

void TestKVBiBtn::glyphHalfFollowsEnabled()
{
    QImage picture(32, 16, QImage::Format_RGB32);
    picture.fill(QColor(0, 0, 255)); // left glyph blue
    for (int y = 0; y < 16; ++y)
        for (int x = 16; x < 32; ++x)
            picture.setPixelColor(x, y, QColor(0, 255, 0)); // right glyph green
    picture.setPixelColor(0, 15, QColor(1, 2, 3)); // the transparent colour of either glyph
    picture.setPixelColor(16, 15, QColor(1, 2, 3));
    TKVBiBtn button;
    button.setLed(false);
    button.setColor(Qt::white);
    button.setPictureOff(QPixmap::fromImage(picture));
    button.setCaptionOff(QString());
    // Without text the glyph is centred: x = (100 - 16) / 2 = 42, y = 17.
    QCOMPARE(grab(button).pixelColor(50, 25), QColor(0, 0, 255));
    QCOMPARE(grab(button).pixelColor(42, 32), QColor(Qt::white)); // transparent corner
    button.setEnabled(false);
    QCOMPARE(grab(button).pixelColor(50, 25), QColor(0, 255, 0));
}

QTEST_MAIN(TestKVBiBtn)
#include "TestKVBiBtn.moc"
