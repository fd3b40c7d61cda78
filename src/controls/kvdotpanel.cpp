#include "kvdotpanel.h"

#include <QMouseEvent>
#include <QPainter>
#include <QTimer>

#include <algorithm>

namespace qm {

TKVDOTPanel::TKVDOTPanel(QWidget *parent)
    : QWidget(parent)
    , m_items { QStringLiteral("KVDOTPanel") }
    , m_colours { QColor(0, 0, 0), QColor(0, 255, 0), QColor(0, 64, 0) }
    , m_timer(new QTimer(this))
{
    setObjectName(QStringLiteral("KVDOTPanel"));
    setFocusPolicy(Qt::NoFocus);
    setMouseTracking(true);
    setAttribute(Qt::WA_OpaquePaintEvent);
    m_timer->setObjectName(QStringLiteral("ScrollTimer"));
    connect(m_timer, &QTimer::timeout, this, &TKVDOTPanel::scrollStep);
    m_scroller.restart(m_items, m_columns);
    updateSize();
}

TKVDOTPanel::~TKVDOTPanel() = default;

void TKVDOTPanel::setCaption(const QString &caption)
{
    const bool changed = caption != m_caption;
    m_caption = caption;
    if (!caption.isEmpty()) {
        const bool itemsChanged = m_items != QStringList { caption };
        m_items = QStringList { caption };
        m_scroller.restart(m_items, m_columns);
        if (itemsChanged)
            emit ItemsChanged();
    }
    update();
    if (changed)
        emit CaptionChanged();
}

void TKVDOTPanel::setItems(const QStringList &items)
{
    if (items == m_items)
        return update();
    m_items = items;
    update();
    emit ItemsChanged();
}

void TKVDOTPanel::setColumns(int columns)
{
    columns = std::clamp(columns, 1, MaxColumns);
    if (columns == m_columns)
        return update();
    m_columns = columns;
    updateSize();
    emit ColumnsChanged();
}

void TKVDOTPanel::setRows(int rows)
{
    rows = std::clamp(rows, 1, MaxRows);
    if (rows == m_rows)
        return update();
    m_rows = rows;
    updateSize();
    emit RowsChanged();
}

void TKVDOTPanel::setDotSize(int dotSize)
{
    dotSize = std::clamp(dotSize, MinDotSize, MaxDotSize);
    if (dotSize == m_dotSize)
        return update();
    m_dotSize = dotSize;
    updateSize();
    emit DotSizeChanged();
}

void TKVDOTPanel::setColor(const QColor &colour)
{
    const bool changed = colour != m_colours.background;
    m_colours.background = colour;
    update();
    if (changed)
        emit ColorChanged();
}

void TKVDOTPanel::setDOTHiColor(const QColor &colour)
{
    const bool changed = colour != m_colours.lit;
    m_colours.lit = colour;
    update();
    if (changed)
        emit DOTHiColorChanged();
}

void TKVDOTPanel::setDOTLoColor(const QColor &colour)
{
    const bool changed = colour != m_colours.unlit;
    m_colours.unlit = colour;
    update();
    if (changed)
        emit DOTLoColorChanged();
}

void TKVDOTPanel::setScrollInterval(int ms)
{
    if (ms < 0) {
        m_scroller.restart(m_items, m_columns);
        ms = 0;
    } else if (ms > 0 && ms < MinScrollInterval) {
        ms = MinScrollInterval;
    }
    const bool changed = ms != m_scrollInterval;
    m_scrollInterval = ms;
    if (ms > 0)
        m_timer->start(ms);
    else
        m_timer->stop();
    update();
    if (changed)
        emit ScrollIntervalChanged();
}

void TKVDOTPanel::setScrollChar(bool byCharacter)
{
    const bool changed = byCharacter != m_scrollChar;
    m_scrollChar = byCharacter;
    update();
    if (changed)
        emit ScrollCharChanged();
}

bool TKVDOTPanel::isScrolling() const
{
    return m_timer->isActive();
}

QSize TKVDOTPanel::sizeHint() const
{
    return QSize(m_dotSize * m_columns * dotfont::CellDotsX, m_dotSize * m_rows * dotfont::CellDotsY);
}

void TKVDOTPanel::updateSize()
{
    setFixedSize(sizeHint());
    update();
}

void TKVDOTPanel::scrollStep()
{
    if (m_scroller.step(m_items, m_columns, m_dotSize, m_scrollChar))
        emit OnStartText();
    emit OnScroll();
    update();
}

void TKVDOTPanel::paintEvent(QPaintEvent *)
{
    m_sheet.prepare(m_dotSize, m_colours);
    const int cellW = m_sheet.cellWidth();
    const int cellH = m_sheet.cellHeight();
    const QImage &glyphs = m_sheet.image();

    QPainter painter(this);
    painter.fillRect(rect(), m_colours.background);
    if (isScrolling()) {
        // One row of one cell more than is visible, moved left by the offset.
        const QString &display = m_scroller.display();
        for (int c = 0; c <= m_columns; ++c) {
            const QChar ch = c < display.size() ? display.at(c) : QLatin1Char(' ');
            painter.drawImage(QPoint(m_scroller.offset() + c * cellW, 0), glyphs, m_sheet.cell(ch));
        }
        return;
    }
    // The static display is drawn in place even when a paused scrolling
    // left an offset behind.
    for (int r = 0; r < m_rows; ++r) {
        const QString line = r < m_items.size() ? m_items.at(r) : QString();
        for (int c = 0; c < m_columns; ++c) {
            const QChar ch = c < line.size() ? line.at(c) : QLatin1Char(' ');
            painter.drawImage(QPoint(c * cellW, r * cellH), glyphs, m_sheet.cell(ch));
        }
    }
}

void TKVDOTPanel::mousePressEvent(QMouseEvent *event)
{
    if (event->button() == Qt::LeftButton)
        m_leftPressed = true;
    emit OnMouseDown(event->button(), event->modifiers(), event->position().toPoint());
}

void TKVDOTPanel::mouseMoveEvent(QMouseEvent *event)
{
    emit OnMouseMove(event->modifiers(), event->position().toPoint());
}

void TKVDOTPanel::mouseReleaseEvent(QMouseEvent *event)
{
    const QPoint pos = event->position().toPoint();
    // A click is a press and release of the left button over the control.
    if (event->button() == Qt::LeftButton && m_leftPressed) {
        m_leftPressed = false;
        if (rect().contains(pos))
            emit OnClick();
    }
    emit OnMouseUp(event->button(), event->modifiers(), pos);
}

void TKVDOTPanel::mouseDoubleClickEvent(QMouseEvent *event)
{
    // The second press of a double click gives no click when it is released.
    m_leftPressed = false;
    if (event->button() == Qt::LeftButton)
        emit OnDblClick();
    emit OnMouseDown(event->button(), event->modifiers(), event->position().toPoint());
}

} // namespace qm
