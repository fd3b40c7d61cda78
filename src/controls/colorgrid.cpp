#include "colorgrid.h"

#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QStyleOptionFocusRect>

#include <algorithm>

namespace qm {
namespace {

// The 16 static colours of the system's default palette, in its order
// without the four reserved entries in the middle.
constexpr std::array<QRgb, TColorGrid::CellCount> PaletteColours = {
    qRgb(0, 0, 0),
    qRgb(128, 0, 0),
    qRgb(0, 128, 0),
    qRgb(128, 128, 0),
    qRgb(0, 0, 128),
    qRgb(128, 0, 128),
    qRgb(0, 128, 128),
    qRgb(192, 192, 192),
    qRgb(128, 128, 128),
    qRgb(255, 0, 0),
    qRgb(0, 255, 0),
    qRgb(255, 255, 0),
    qRgb(0, 0, 255),
    qRgb(255, 0, 255),
    qRgb(0, 255, 255),
    qRgb(255, 255, 255),
};

bool isCell(int index)
{
    return index >= 0 && index < TColorGrid::CellCount;
}

} // namespace

TColorGrid::TColorGrid(QWidget *parent)
    : QWidget(parent)
{
    setBackgroundRole(QPalette::Button);
    setAutoFillBackground(true);
    setFocusPolicy(Qt::NoFocus);
    setGeometry(0, 0, 100, 100);
    updateGeometryOfCells();
}

QColor TColorGrid::cellColour(int index)
{
    return isCell(index) ? QColor::fromRgb(PaletteColours[static_cast<size_t>(index)]) : QColor(Qt::black);
}

QColor TColorGrid::markerColour(int index)
{
    const QColor c = cellColour(index);
    const auto contrast = [](int component) { return component >= 128 ? 0 : 255; };
    return QColor(contrast(c.red()), contrast(c.green()), contrast(c.blue()));
}

void TColorGrid::setGridOrdering(GridOrdering ordering)
{
    if (ordering == m_ordering)
        return;
    m_ordering = ordering;
    updateGeometryOfCells();
    update();
    Q_EMIT gridOrderingChanged();
}

void TColorGrid::setForegroundIndex(int index)
{
    if (index == m_foreground || !isCell(index) || !m_foregroundEnabled)
        return;
    m_foreground = index;
    update();
    Q_EMIT changed();
}

void TColorGrid::setBackgroundIndex(int index)
{
    if (index == m_background || !isCell(index) || !m_backgroundEnabled)
        return;
    m_background = index;
    update();
    Q_EMIT changed();
}

void TColorGrid::setForegroundEnabled(bool enabled)
{
    if (enabled == m_foregroundEnabled)
        return;
    m_foregroundEnabled = enabled;
    update();
    Q_EMIT foregroundEnabledChanged();
}

void TColorGrid::setBackgroundEnabled(bool enabled)
{
    if (enabled == m_backgroundEnabled)
        return;
    m_backgroundEnabled = enabled;
    update();
    Q_EMIT backgroundEnabledChanged();
}

void TColorGrid::setClickEnablesColor(bool enables)
{
    if (enables == m_clickEnables)
        return;
    m_clickEnables = enables;
    Q_EMIT clickEnablesColorChanged();
}

void TColorGrid::setSelection(int index)
{
    if (index == m_selection || !isCell(index))
        return;
    m_selection = index;
    update();
    Q_EMIT selectionChanged();
}

void TColorGrid::setCtl3D(bool on)
{
    if (on == m_ctl3D)
        return;
    m_ctl3D = on;
    update();
    Q_EMIT ctl3DChanged();
}

void TColorGrid::setTabStop(bool on)
{
    if (on == m_tabStop)
        return;
    m_tabStop = on;
    setFocusPolicy(on ? Qt::StrongFocus : Qt::NoFocus);
    Q_EMIT tabStopChanged();
}

int TColorGrid::cellAt(QPoint point) const
{
    const int x = std::clamp(point.x(), 0, std::max(0, width() - 1));
    const int y = std::clamp(point.y(), 0, std::max(0, height() - 1));
    const int column = std::min(x / m_cellWidth, columns() - 1);
    const int row = std::min(y / m_cellHeight, rows() - 1);
    return row * columns() + column;
}

QRect TColorGrid::cellRect(int index) const
{
    if (!isCell(index))
        return {};
    return QRect(
        (index % columns()) * m_cellWidth, (index / columns()) * m_cellHeight, m_cellWidth, m_cellHeight);
}

QString TColorGrid::markerText(int index) const
{
    const bool both = m_foregroundEnabled && m_backgroundEnabled && m_foreground == m_background;
    if (m_foregroundEnabled && index == m_foreground)
        return both ? tr("VH") : tr("VG");
    if (m_backgroundEnabled && index == m_background)
        return both ? tr("VH") : tr("HG");
    return {};
}

QSize TColorGrid::sizeHint() const
{
    return QSize(columns() * 20, rows() * 16);
}

void TColorGrid::updateGeometryOfCells()
{
    const int w = width() - width() % columns();
    const int h = height() - height() % rows();
    m_cellWidth = std::max(1, w / columns());
    m_cellHeight = std::max(1, h / rows());
    if (w != width() || h != height())
        resize(w, h);
}

void TColorGrid::resizeEvent(QResizeEvent *event)
{
    QWidget::resizeEvent(event);
    updateGeometryOfCells();
}

void TColorGrid::paintEvent(QPaintEvent *)
{
    QPainter p(this);
    const QPalette &pal = palette();
    for (int i = 0; i < CellCount; ++i) {
        const QRect r = cellRect(i);
        const bool highlighted = hasFocus() && i == m_selection;
        if (m_ctl3D) {
            p.fillRect(r, pal.color(QPalette::Button));
            // A sunken two-pixel edge, one pixel inside the cell.
            const QRect edge = r.adjusted(1, 1, -1, -1);
            p.fillRect(QRect(edge.left(), edge.top(), edge.width(), 2), pal.color(QPalette::Dark));
            p.fillRect(QRect(edge.left(), edge.top(), 2, edge.height()), pal.color(QPalette::Dark));
            p.fillRect(QRect(edge.left(), edge.bottom() - 1, edge.width(), 2), pal.color(QPalette::Light));
            p.fillRect(QRect(edge.right() - 1, edge.top(), 2, edge.height()), pal.color(QPalette::Light));
            p.fillRect(r.adjusted(3, 3, -3, -3), cellColour(i));
            if (highlighted) {
                QStyleOptionFocusRect option;
                option.initFrom(this);
                option.rect = r.adjusted(1, 1, -1, -1);
                style()->drawPrimitive(QStyle::PE_FrameFocusRect, &option, &p, this);
            }
        } else {
            p.fillRect(r, cellColour(i));
            p.setPen(Qt::black);
            p.setBrush(Qt::NoBrush);
            if (highlighted) {
                p.setCompositionMode(QPainter::RasterOp_NotDestination);
                p.drawRect(r.adjusted(0, 0, -1, -1));
                p.setCompositionMode(QPainter::CompositionMode_SourceOver);
                p.drawRect(r.adjusted(2, 2, -3, -3));
            } else {
                p.drawRect(r.adjusted(0, 0, -1, -1));
            }
        }
    }
    p.setFont(font());
    for (int i = 0; i < CellCount; ++i) {
        const QString marker = markerText(i);
        if (marker.isEmpty())
            continue;
        p.setPen(markerColour(i));
        p.drawText(cellRect(i), Qt::AlignCenter | Qt::TextSingleLine, marker);
    }
}

void TColorGrid::pick(int index, bool foreground)
{
    bool &enabled = foreground ? m_foregroundEnabled : m_backgroundEnabled;
    int &current = foreground ? m_foreground : m_background;
    if (!enabled && m_clickEnables) {
        enabled = true;
        current = -1; // the picked cell counts as a change
        update();
        Q_EMIT(foreground ? foregroundEnabledChanged() : backgroundEnabledChanged());
    }
    if (foreground)
        setForegroundIndex(index);
    else
        setBackgroundIndex(index);
    setSelection(index);
}

void TColorGrid::mousePressEvent(QMouseEvent *event)
{
    m_dragging = true;
    m_dragForeground = event->button() == Qt::LeftButton;
    pick(cellAt(event->position().toPoint()), m_dragForeground);
    if (m_tabStop)
        setFocus(Qt::MouseFocusReason);
}

void TColorGrid::mouseMoveEvent(QMouseEvent *event)
{
    if (m_dragging && event->buttons() != Qt::NoButton)
        pick(cellAt(event->position().toPoint()), m_dragForeground);
}

void TColorGrid::mouseReleaseEvent(QMouseEvent *event)
{
    if (!m_dragging)
        return;
    m_dragging = event->buttons() != Qt::NoButton;
    if (!m_dragging && rect().contains(event->position().toPoint()))
        Q_EMIT clicked();
}

int TColorGrid::nextCell(int key) const
{
    const int cols = columns();
    const int rowCount = rows();
    const int s = m_selection;
    const int row = s / cols;
    const int column = s % cols;
    switch (key) {
    case Qt::Key_Space:
    case Qt::Key_Right:
        return (s + 1) % CellCount;
    case Qt::Key_Left:
        return std::max(0, s - 1);
    case Qt::Key_Home:
        return 0;
    case Qt::Key_End:
        return CellCount - 1;
    case Qt::Key_Up:
        if (s == 0)
            return s;
        // From the top row to the bottom of the previous column.
        return row > 0 ? s - cols : (rowCount - 1) * cols + column - 1;
    case Qt::Key_Down:
        if (s == CellCount - 1)
            return 0;
        // From the bottom row to the top of the next column.
        return row < rowCount - 1 ? s + cols : column + 1;
    default:
        return -1;
    }
}

void TColorGrid::keyPressEvent(QKeyEvent *event)
{
    const int key = event->key();
    const int next = nextCell(key);
    if (next >= 0) {
        setSelection(next);
        event->accept();
        return;
    }
    if (key == Qt::Key_B || key == Qt::Key_F) {
        pick(m_selection, key == Qt::Key_F);
        Q_EMIT clicked();
        event->accept();
        return;
    }
    QWidget::keyPressEvent(event);
}

void TColorGrid::focusInEvent(QFocusEvent *event)
{
    QWidget::focusInEvent(event);
    update();
}

void TColorGrid::focusOutEvent(QFocusEvent *event)
{
    QWidget::focusOutEvent(event);
    update();
}

} // namespace qm
