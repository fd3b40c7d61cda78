#pragma once

#include "platform/canvas/canvas.h"

#include <QFont>
#include <QImage>
#include <QList>
#include <QPoint>
#include <QRectF>

#include <optional>
#include <vector>

class QPainter;

namespace qm {

// The canvas on a QPainter that is already active on its device (QImage,
// QWidget, QPdfWriter, QPrinter). The painter's window/viewport and world
// transformation map logical units to device pixels; the canvas only reads
// them, to size one-pixel pens, fonts and the edges that rectangles leave out
// in device pixels as Windows does.
//
// The canvas keeps the painter's state as it found it: everything it changes
// is put back when the canvas is destroyed.
class QPainterCanvas : public ICanvas
{
public:
    // How stretchBitmap() combines a bitmap with the page by AND.
    enum class AndMethod {
        RasterOp, // bitwise AND of the pixels
        WhiteTransparent, // white pixels are left out, the others are painted
    };

    explicit QPainterCanvas(QPainter &painter);
    ~QPainterCanvas() override;

    QPainterCanvas(const QPainterCanvas &) = delete;
    QPainterCanvas &operator=(const QPainterCanvas &) = delete;

    void fillRect(int left, int top, int right, int bottom, const QColor &colour) override;
    void fillRectF(const QRectF &area, const QColor &colour) override;
    void fillRectsF(const std::vector<QRectF> &rects, const QPointF &origin, double scaleX, double scaleY,
        const QColor &colour) override;
    void rectangle(int left, int top, int right, int bottom) override;
    void roundRect(int left, int top, int right, int bottom, int ellipseWidth, int ellipseHeight) override;
    void moveTo(int x, int y) override;
    void lineTo(int x, int y) override;
    void setPen(const CanvasPen &pen) override;
    void setHollowBrush() override;
    void setSolidBrush(const QColor &colour) override;
    void setFont(const CanvasFont &font) override;
    void setTextColour(const QColor &colour) override;
    void setTransparentBackground() override;
    void text(int x, int y, const QString &text) override;
    void textOnBaseline(
        const QPointF &at, Anchor anchor, const CanvasFont &font, const QString &text) override;
    // Measured with the font made for this device, as text() draws it;
    // text of Latin-1 characters from the advances of its characters, kept
    // per font (text is drawn without kerning).
    QSizeF textSize(const CanvasFont &font, const QString &text) override;
    CanvasBitmap loadBitmap(const QString &path) override;
    void stretchBitmap(
        const CanvasBitmap &bitmap, int x, int y, int width, int height, BitmapMix mix) override;
    void clipRect(int left, int top, int right, int bottom) override;
    void save() override;
    void restore() override;

    // The method this canvas uses for BitmapMix::And.
    AndMethod andMethod() const;
    static AndMethod andMethodFor(const QPainter &painter);

    // The Qt font text() draws the current font with at the current
    // transformation: face substituted, pixel size in device pixels.
    QFont deviceFont() const;

    // Device pixels per logical unit under the painter's transformation.
    qreal deviceScale() const;

private:
    struct State
    {
        CanvasPen pen;
        std::optional<QColor> brush; // empty: hollow
        CanvasFont font;
        QColor textColour = Qt::black;
        bool transparent = false;
        QPoint position;
        std::optional<QRectF> clip; // logical units; empty: not clipped
    };

    void applyPen();
    void applyBrush();
    void applyBackground();
    void applyClip();
    // The rectangle (left, top, right, bottom) less one device pixel at the
    // right and bottom, normalised; empty when it has no area.
    std::optional<QRectF> outlineRect(int left, int top, int right, int bottom) const;

    // A font made for this device: the Qt font and the ascent of its cell
    // in device pixels.
    struct DeviceFont
    {
        CanvasFont font; // escapement ignored: it does not change the face
        qreal scale = 0;
        QFont qfont;
        qreal ascent = 0;
        qreal cell = 0; // ascent + descent
        // The advances of the Latin-1 characters, each measured when first
        // needed (negative until then).
        std::vector<qreal> advances;
    };
    // The device font of the current font at the current scale. A run draws
    // the same few fonts again and again, so they are made once per canvas
    // (looking a face up and measuring it costs far more than the drawing).
    const DeviceFont &cachedDeviceFont();
    DeviceFont &cachedDeviceFont(const CanvasFont &font);
    QFont makeDeviceFont(const CanvasFont &font, qreal scale) const;

    // A bitmap made ready for this device's way of drawing it (mirrored,
    // converted, white made transparent for an AND without raster
    // operations). A run draws the same picture on every label, so the last
    // few are kept, by the source image and how it is drawn: the device gets
    // the same image again, which a PDF file holds once.
    struct PreparedBitmap
    {
        qint64 source = 0; // QImage::cacheKey()
        int way = 0; // mirroring and mix
        QImage image;
    };
    const QImage &preparedBitmap(const QImage &source, bool mirrorX, bool mirrorY, BitmapMix mix);

    QPainter &m_painter;
    State m_state;
    QList<State> m_saved;
    QList<DeviceFont> m_fonts; // most recently used first
    QList<PreparedBitmap> m_bitmaps; // most recently used first
};

} // namespace qm
