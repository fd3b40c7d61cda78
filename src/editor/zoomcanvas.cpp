#include "zoomcanvas.h"

#include <algorithm>

namespace qm {

int ZoomCanvas::scaled(int value, int percent)
{
    const qint64 product = static_cast<qint64>(value) * percent;
    // Floor division: -1 at 50 % is -1, not 0, so that nothing shifts at 0.
    qint64 result = product / 100;
    if (product % 100 != 0 && product < 0)
        --result;
    return static_cast<int>(std::clamp<qint64>(result, -(1 << 30), 1 << 30));
}

void ZoomCanvas::fillRect(int l, int t, int r, int b, const QColor &c)
{
    m_inner.fillRect(x(l), y(t), x(r), y(b), c);
}

void ZoomCanvas::fillRectF(const QRectF &area, const QColor &c)
{
    m_inner.fillRectF(QRectF(area.x() * m_zoomX / 100.0, area.y() * m_zoomY / 100.0,
                          area.width() * m_zoomX / 100.0, area.height() * m_zoomY / 100.0),
        c);
}

void ZoomCanvas::fillRectsF(
    const std::vector<QRectF> &rects, const QPointF &origin, double scaleX, double scaleY, const QColor &colour)
{
    // Passed on whole, so that the device fills the bars of a barcode at once.
    m_inner.fillRectsF(rects, point(origin), scaleX * m_zoomX / 100.0, scaleY * m_zoomY / 100.0, colour);
}

void ZoomCanvas::rectangle(int l, int t, int r, int b)
{
    m_inner.rectangle(x(l), y(t), x(r), y(b));
}

void ZoomCanvas::roundRect(int l, int t, int r, int b, int w, int h)
{
    m_inner.roundRect(x(l), y(t), x(r), y(b), x(w), y(h));
}

void ZoomCanvas::moveTo(int px, int py)
{
    m_inner.moveTo(x(px), y(py));
}

void ZoomCanvas::lineTo(int px, int py)
{
    m_inner.lineTo(x(px), y(py));
}

void ZoomCanvas::setPen(const CanvasPen &pen)
{
    CanvasPen zoomed = pen;
    if (pen.width > 1)
        zoomed.width = std::max(1, scaled(pen.width, std::min(m_zoomX, m_zoomY)));
    m_inner.setPen(zoomed);
}

CanvasFont ZoomCanvas::zoomed(const CanvasFont &font) const
{
    CanvasFont result = font;
    if (font.height != 0) {
        const int height = scaled(std::abs(font.height), m_fontZoom);
        result.height = std::max(1, height) * (font.height < 0 ? -1 : 1);
    }
    return result;
}

void ZoomCanvas::setFont(const CanvasFont &font)
{
    m_inner.setFont(zoomed(font));
}

void ZoomCanvas::text(int px, int py, const QString &t)
{
    m_inner.text(x(px), y(py), t);
}

void ZoomCanvas::textOnBaseline(const QPointF &at, Anchor anchor, const CanvasFont &font, const QString &text)
{
    // Passed on, so that the device places the digits of a barcode by its
    // own measures.
    m_inner.textOnBaseline(point(at), anchor, zoomed(font), text);
}

void ZoomCanvas::stretchBitmap(const CanvasBitmap &bitmap, int px, int py, int w, int h, BitmapMix mix)
{
    // The far edge is scaled, not the size, so neighbours meet.
    m_inner.stretchBitmap(bitmap, x(px), y(py), x(px + w) - x(px), y(py + h) - y(py), mix);
}

void ZoomCanvas::clipRect(int left, int top, int right, int bottom)
{
    m_inner.clipRect(x(left), y(top), x(right), y(bottom));
}

} // namespace qm
