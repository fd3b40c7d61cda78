#pragma once

#include <QImage>
#include <QWidget>

#include <functional>

namespace qm {

class EditorCore;

// The paint box `Arbeit`: shows the picture of the design that the editor
// drew last and, during a press, the core's rubber band over it, so a mouse
// move repaints only the band. Presses, moves and releases go to the
// editor's handlers in workspace pixels.
class TArbeit : public QWidget
{
    Q_OBJECT

public:
    TArbeit(EditorCore &core, QWidget *parent = nullptr);

    void setPicture(QImage picture);
    const QImage &picture() const { return m_picture; }
    // What the widget shows now: the picture with the band over it.
    QImage shownImage() const;

    std::function<void(QPoint)> onPress;
    std::function<void(QPoint)> onMove;
    std::function<void(QPoint, Qt::KeyboardModifiers)> onRelease;
    std::function<void(QPoint)> onDoubleClick;
    // The wheel turned with Ctrl held: towards the user zooms out.
    std::function<void(QPoint, bool)> onZoomWheel;

protected:
    void paintEvent(QPaintEvent *event) override;
    void mousePressEvent(QMouseEvent *event) override;
    void mouseMoveEvent(QMouseEvent *event) override;
    void mouseReleaseEvent(QMouseEvent *event) override;
    // The second press of a double click: no press of its own, so its
    // release is ignored too.
    void mouseDoubleClickEvent(QMouseEvent *event) override;
    void wheelEvent(QWheelEvent *event) override;

private:
    void paintOn(QPainter &painter) const;
    EditorCore &m_core;
    QImage m_picture;
    bool m_pressed = false;
};

// A ruler beside the workspace; shows the picture the editor drew.
class TLineal : public QWidget
{
    Q_OBJECT

public:
    using QWidget::QWidget;
    void setPicture(QImage picture);
    const QImage &picture() const { return m_picture; }

protected:
    void paintEvent(QPaintEvent *event) override;

private:
    QImage m_picture;
};

} // namespace qm
