#pragma once

#include "platform/canvas/canvas.h"

namespace qm {

// A canvas that passes every call on to another one with its coordinates
// scaled: x by zoomX / 100, y by zoomY / 100 (whole percent), rounded
// toward minus infinity, so the workspace can be drawn at any zoom from the
// same routines. Font heights scale by fontZoom / 100 (the rulers keep
// their lettering). A pen of width 0 or 1 stays the thinnest line the
// device draws, so dotted grid lines and outlines stay dotted; wider pens
// grow with the zoom.
class ZoomCanvas : public ICanvas
{
public:
    ZoomCanvas(ICanvas &inner, int zoomX, int zoomY, int fontZoom)
        : m_inner(inner)
        , m_zoomX(zoomX)
        , m_zoomY(zoomY)
        , m_fontZoom(fontZoom)
    { }
    // The same zoom across, down and for fonts.
    ZoomCanvas(ICanvas &inner, int zoom)
        : ZoomCanvas(inner, zoom, zoom, zoom)
    { }

    // A coordinate scaled by `percent`; exact for the multiples of 100.
    static int scaled(int value, int percent);

    void fillRect(int l, int t, int r, int b, const QColor &c) override;
    void fillRectF(const QRectF &area, const QColor &c) override;
    void fillRectsF(const std::vector<QRectF> &rects, const QPointF &origin, double scaleX, double scaleY,
        const QColor &colour) override;
    void rectangle(int l, int t, int r, int b) override;
    void roundRect(int l, int t, int r, int b, int w, int h) override;
    void moveTo(int x, int y) override;
    void lineTo(int x, int y) override;
    void setPen(const CanvasPen &pen) override;
    void setHollowBrush() override { m_inner.setHollowBrush(); }
    void setSolidBrush(const QColor &colour) override { m_inner.setSolidBrush(colour); }
    void setFont(const CanvasFont &font) override;
    void setTextColour(const QColor &colour) override { m_inner.setTextColour(colour); }
    void setTransparentBackground() override { m_inner.setTransparentBackground(); }
    void text(int x, int y, const QString &t) override;
    void textOnBaseline(const QPointF &at, Anchor anchor, const CanvasFont &font, const QString &text) override;
    CanvasBitmap loadBitmap(const QString &path) override { return m_inner.loadBitmap(path); }
    void stretchBitmap(const CanvasBitmap &bitmap, int x, int y, int w, int h, BitmapMix mix) override;
    void clipRect(int left, int top, int right, int bottom) override;
    void save() override { m_inner.save(); }
    void restore() override { m_inner.restore(); }

private:
    int x(int value) const { return scaled(value, m_zoomX); }
    int y(int value) const { return scaled(value, m_zoomY); }
    QPointF point(const QPointF &p) const { return { p.x() * m_zoomX / 100.0, p.y() * m_zoomY / 100.0 }; }
    CanvasFont zoomed(const CanvasFont &font) const;

    ICanvas &m_inner;
    int m_zoomX;
    int m_zoomY;
    int m_fontZoom;
};

} // namespace qm
