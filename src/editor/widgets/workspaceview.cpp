#include "workspaceview.h"

#include "editor/editorcore.h"
#include "platform/canvas/qpaintercanvas.h"

#include <QMouseEvent>
#include <QPainter>
#include <QWheelEvent>

namespace qm {

TArbeit::TArbeit(EditorCore &core, QWidget *parent)
    : QWidget(parent)
    , m_core(core)
{
    setObjectName(QStringLiteral("Arbeit"));
    setCursor(Qt::UpArrowCursor);
    setMouseTracking(true);
    setAttribute(Qt::WA_OpaquePaintEvent);
}

void TArbeit::setPicture(QImage picture)
{
    m_picture = std::move(picture);
    update();
}

void TArbeit::paintOn(QPainter &painter) const
{
    painter.fillRect(QRect(QPoint(0, 0), size()), Qt::white);
    painter.drawImage(0, 0, m_picture);
    QPainterCanvas canvas(painter);
    m_core.drawRubberBand(canvas);
}

QImage TArbeit::shownImage() const
{
    QImage image(size(), QImage::Format_RGB32);
    QPainter painter(&image);
    paintOn(painter);
    return image;
}

void TArbeit::paintEvent(QPaintEvent *)
{
    QPainter painter(this);
    paintOn(painter);
}

void TArbeit::mousePressEvent(QMouseEvent *event)
{
    if (m_pressed)
        return; // a second button during a press belongs to the first
    m_pressed = true;
    if (onPress)
        onPress(event->position().toPoint());
}

void TArbeit::mouseMoveEvent(QMouseEvent *event)
{
    if (onMove)
        onMove(event->position().toPoint());
}

void TArbeit::mouseReleaseEvent(QMouseEvent *event)
{
    if (!m_pressed || event->buttons() != Qt::NoButton)
        return;
    m_pressed = false;
    if (onRelease)
        onRelease(event->position().toPoint(), event->modifiers());
}

void TArbeit::mouseDoubleClickEvent(QMouseEvent *event)
{
    if (m_pressed || event->button() != Qt::LeftButton)
        return;
    if (onDoubleClick)
        onDoubleClick(event->position().toPoint());
}

void TArbeit::wheelEvent(QWheelEvent *event)
{
    const int delta = event->angleDelta().y();
    if (!(event->modifiers() & Qt::ControlModifier) || delta == 0 || !onZoomWheel) {
        event->ignore();
        return;
    }
    onZoomWheel(event->position().toPoint(), delta > 0);
    event->accept();
}

void TLineal::setPicture(QImage picture)
{
    m_picture = std::move(picture);
    update();
}

void TLineal::paintEvent(QPaintEvent *)
{
    QPainter painter(this);
    painter.fillRect(rect(), Qt::white);
    painter.drawImage(0, 0, m_picture);
}

} // namespace qm
