#pragma once

#include <QColor>
#include <QPixmap>
#include <QTimer>
#include <QWidget>

namespace qm {

// A two-state button with a lamp (LED) at its left edge: every mouse press
// flips its value; caption and picture follow the value, and the lamp
// lights (blinking every LEDInterval milliseconds, steady for 0) while it is
// on. Keys do not switch it.
//
// A picture of exactly 32 x 16 pixels holds two glyphs side by side: the
// left one is drawn while enabled, the right one while disabled. The
// picture's bottom-left pixel colour is transparent.
class TKVBiBtn : public QWidget
{
    Q_OBJECT
    Q_PROPERTY(QString Caption READ caption WRITE setCaption NOTIFY changed)
    Q_PROPERTY(QString CaptionOn READ captionOn WRITE setCaptionOn NOTIFY changed)
    Q_PROPERTY(QString CaptionOff READ captionOff WRITE setCaptionOff NOTIFY changed)
    Q_PROPERTY(QColor Color READ color WRITE setColor NOTIFY changed)
    Q_PROPERTY(bool LED READ led WRITE setLed NOTIFY changed)
    Q_PROPERTY(QColor LEDColor READ ledColor WRITE setLedColor NOTIFY changed)
    Q_PROPERTY(int LEDInterval READ ledInterval WRITE setLedInterval NOTIFY changed)
    Q_PROPERTY(bool Border READ border WRITE setBorder NOTIFY changed)
    Q_PROPERTY(QPixmap PictureON READ pictureOn WRITE setPictureOn NOTIFY changed)
    Q_PROPERTY(QPixmap PictureOFF READ pictureOff WRITE setPictureOff NOTIFY changed)
    Q_PROPERTY(bool Value READ value WRITE setValue NOTIFY valueChanged)

public:
    explicit TKVBiBtn(QWidget *parent = nullptr);

    QString caption() const { return m_caption; }
    void setCaption(const QString &text);
    QString captionOn() const { return m_captionOn; }
    void setCaptionOn(const QString &text);
    QString captionOff() const { return m_captionOff; }
    void setCaptionOff(const QString &text);
    QColor color() const { return m_color; }
    void setColor(const QColor &color);
    bool led() const { return m_led; }
    void setLed(bool on);
    QColor ledColor() const { return m_ledColor; }
    void setLedColor(const QColor &color);
    int ledInterval() const { return m_interval; }
    void setLedInterval(int ms);
    bool border() const { return m_border; }
    void setBorder(bool on);
    QPixmap pictureOn() const { return m_pictureOn; }
    void setPictureOn(const QPixmap &picture);
    QPixmap pictureOff() const { return m_pictureOff; }
    void setPictureOff(const QPixmap &picture);
    bool value() const { return m_value; }
    void setValue(bool on);

    // The text shown now: Caption, else CaptionOn or CaptionOff.
    QString shownText() const;
    // The lamp's colour now: LEDColor when on and in the lit blink phase,
    // else each component halved.
    QColor lampColor() const;
    bool blinkPhase() const { return m_phase; }
    bool isPressed() const { return m_pressed; }
    // One tick of the blink timer (the timer calls it; tests may too).
    void blink();
    const QTimer &timer() const { return m_timer; }

    QSize sizeHint() const override { return { 100, 50 }; }

Q_SIGNALS:
    void changed();
    void valueChanged(bool value);
    // After the mouse is released; the value has already changed.
    void clicked();

protected:
    void paintEvent(QPaintEvent *event) override;
    void mousePressEvent(QMouseEvent *event) override;
    void mouseReleaseEvent(QMouseEvent *event) override;
    void changeEvent(QEvent *event) override;

private:
    void update_();
    void runTimer();
    QRect lampRect() const;

    QString m_caption;
    QString m_captionOn = QStringLiteral("On");
    QString m_captionOff = QStringLiteral("Off");
    QColor m_color;
    bool m_led = true;
    QColor m_ledColor = QColor(255, 0, 0);
    int m_interval = 500;
    bool m_border = true;
    QPixmap m_pictureOn;
    QPixmap m_pictureOff;
    bool m_value = false;
    bool m_pressed = false;
    bool m_phase = false;
    QTimer m_timer;
};

} // namespace qm
