#include "kvbibtn.h"

#include <QBitmap>
#include <QMouseEvent>
#include <QPainter>

namespace qm {
namespace {

// A one-pixel 3-D edge: `topLeft` on the top and left, `bottomRight` on the
// bottom and right of the rectangle (right and bottom edges included).
void edge(QPainter &p, const QRect &r, const QColor &topLeft, const QColor &bottomRight)
{
    p.setPen(topLeft);
    p.drawLine(r.left(), r.top(), r.right(), r.top());
    p.drawLine(r.left(), r.top(), r.left(), r.bottom());
    p.setPen(bottomRight);
    p.drawLine(r.left(), r.bottom(), r.right(), r.bottom());
    p.drawLine(r.right(), r.top(), r.right(), r.bottom());
}

} // namespace

TKVBiBtn::TKVBiBtn(QWidget *parent)
    : QWidget(parent)
    , m_color(palette().color(QPalette::Window))
{
    resize(100, 50);
    m_timer.setInterval(m_interval);
    connect(&m_timer, &QTimer::timeout, this, &TKVBiBtn::blink);
}

void TKVBiBtn::update_()
{
    Q_EMIT changed();
    update();
}

void TKVBiBtn::setCaption(const QString &text)
{
    m_caption = text;
    update_();
}

void TKVBiBtn::setCaptionOn(const QString &text)
{
    m_captionOn = text;
    update_();
}

void TKVBiBtn::setCaptionOff(const QString &text)
{
    m_captionOff = text;
    update_();
}

void TKVBiBtn::setColor(const QColor &color)
{
    m_color = color;
    update_();
}

void TKVBiBtn::setLed(bool on)
{
    m_led = on;
    runTimer();
    update_();
}

void TKVBiBtn::setLedColor(const QColor &color)
{
    m_ledColor = color;
    update_();
}

void TKVBiBtn::setLedInterval(int ms)
{
    m_interval = std::max(0, ms);
    m_timer.setInterval(m_interval);
    runTimer();
    update_();
}

void TKVBiBtn::setBorder(bool on)
{
    m_border = on;
    update_();
}

void TKVBiBtn::setPictureOn(const QPixmap &picture)
{
    m_pictureOn = picture.copy();
    update_();
}

void TKVBiBtn::setPictureOff(const QPixmap &picture)
{
    m_pictureOff = picture.copy();
    update_();
}

void TKVBiBtn::setValue(bool on)
{
    const bool was = m_value;
    m_value = on;
    m_phase = on;
    runTimer();
    update_();
    if (was != on)
        Q_EMIT valueChanged(on);
}

void TKVBiBtn::runTimer()
{
    // Blinking needs a period; with 0 the lamp stays lit.
    if (m_led && m_value && m_interval > 0)
        m_timer.start();
    else
        m_timer.stop();
}

void TKVBiBtn::blink()
{
    m_phase = !m_phase;
    if (m_led)
        update(lampRect());
}

QString TKVBiBtn::shownText() const
{
    if (!m_caption.isEmpty())
        return m_caption;
    return m_value ? m_captionOn : m_captionOff;
}

QColor TKVBiBtn::lampColor() const
{
    if (m_value && m_phase)
        return m_ledColor;
    return QColor(m_ledColor.red() / 2, m_ledColor.green() / 2, m_ledColor.blue() / 2);
}

QRect TKVBiBtn::lampRect() const
{
    return QRect(QPoint(5, 5), QPoint(15, height() - 5));
}

void TKVBiBtn::paintEvent(QPaintEvent *)
{
    // Painted into a picture of the control's size first, then copied in one
    // piece.
    QPixmap buffer(size());
    buffer.fill(m_color);
    {
        QPainter p(&buffer);
        p.setFont(font());
        const QColor textColor = isEnabled() ? palette().color(QPalette::Active, QPalette::WindowText)
                                             : palette().color(QPalette::Disabled, QPalette::WindowText);

        const QPixmap &picture = m_value ? m_pictureOn : m_pictureOff;
        const QString text = shownText();
        int x = m_led ? 20 : 5;
        if (picture.width() > 0) {
            QPixmap glyph = picture;
            if (picture.width() == 32 && picture.height() == 16)
                glyph = picture.copy(isEnabled() ? 0 : 16, 0, 16, 16);
            const int w = glyph.width();
            const int h = glyph.height();
            const int y = (height() - h) / 2;
            if (text.isEmpty())
                x = m_led ? (width() - 15 - w) / 2 + 15 : (width() - w) / 2;
            const QImage image = glyph.toImage();
            const QColor transparent = image.pixelColor(0, image.height() - 1);
            glyph.setMask(QBitmap::fromImage(image.createMaskFromColor(transparent.rgb(), Qt::MaskInColor)));
            p.drawPixmap(x, y, glyph);
            x += w + 5;
        }
        if (!text.isEmpty()) {
            p.setPen(textColor);
            p.drawText(QRect(x, 0, width() - 5 - x, height()), Qt::AlignCenter | Qt::TextSingleLine, text);
        }
        if (m_border) {
            p.setPen(Qt::black);
            p.drawRect(0, 0, width() - 1, height() - 1);
            const QRect inner(1, 1, width() - 2, height() - 2);
            if (m_pressed)
                edge(p, inner, Qt::gray, Qt::white);
            else
                edge(p, inner, Qt::white, Qt::gray);
        }
        if (m_led) {
            const QRect lamp = lampRect();
            p.fillRect(lamp, lampColor());
            edge(p, lamp, Qt::gray, Qt::white);
        }
    }
    QPainter(this).drawPixmap(0, 0, buffer);
}

void TKVBiBtn::mousePressEvent(QMouseEvent *event)
{
    if (isEnabled()) {
        m_pressed = true;
        setValue(!m_value);
    }
    QWidget::mousePressEvent(event);
}

void TKVBiBtn::mouseReleaseEvent(QMouseEvent *event)
{
    if (isEnabled()) {
        m_pressed = false;
        update();
        QWidget::mouseReleaseEvent(event);
        Q_EMIT clicked();
        return;
    }
    QWidget::mouseReleaseEvent(event);
}

void TKVBiBtn::changeEvent(QEvent *event)
{
    if (event->type() == QEvent::EnabledChange)
        update();
    QWidget::changeEvent(event);
}

} // namespace qm
