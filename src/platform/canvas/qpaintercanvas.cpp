#include "qpaintercanvas.h"

#include <QFontMetricsF>
#include <QPaintDevice>
#include <QPaintEngine>
#include <QPainter>

#include <algorithm>
#include <cmath>
#include <optional>
#include <utility>

namespace qm {

namespace {

// Dash patterns of one-pixel pens in device pixels, as Windows draws them
// on the screen: dashes of 18 on and 6 off, dots of 3 on and 3 off.
const QList<qreal> dashPattern { 18, 6 };
const QList<qreal> dotPattern { 3, 3 };

// Height of a font whose size is not given, in logical units (cell height).
constexpr int defaultCellHeight = 16;

// Pixel size of the probe font whose metrics give a face's ratio of em
// height to cell height; large, so that rounded metrics do not matter.
constexpr int probePixelSize = 1000;

QFont baseFont(const CanvasFont &font)
{
    QFont result;
    const QString face = substituteFace(font.face);
    if (!face.isEmpty()) {
        result.setFamilies({ face });
    }
    const int weight = font.weight <= 0 ? 400 : std::clamp(font.weight, 1, 1000);
    result.setWeight(static_cast<QFont::Weight>(weight));
    result.setItalic(font.italic);
    // Windows writes each character at its own advance, without kerning.
    result.setKerning(false);
    return result;
}

// Em height in device pixels for a requested height in logical units.
qreal emPixels(const CanvasFont &font, const QFont &base, qreal scale)
{
    if (font.height < 0) {
        return -font.height * scale;
    }
    const int cellHeight = font.height == 0 ? defaultCellHeight : font.height;
    QFont probe(base);
    probe.setPixelSize(probePixelSize);
    const QFontMetricsF metrics(probe);
    const qreal cell = metrics.ascent() + metrics.descent();
    if (cell <= 0) {
        return cellHeight * scale;
    }
    return cellHeight * scale * probePixelSize / cell;
}

} // namespace

QPainterCanvas::QPainterCanvas(QPainter &painter)
    : m_painter(painter)
{
    m_painter.save();
    // Windows draws lines and shapes without smoothing.
    m_painter.setRenderHint(QPainter::Antialiasing, false);
    m_painter.setRenderHint(QPainter::SmoothPixmapTransform, false);
    m_painter.setBackground(Qt::white);
    m_state.brush = QColor(Qt::white);
    applyBackground();
}

QPainterCanvas::~QPainterCanvas()
{
    // A PDF engine writes the restored state and may find no memory for it
    // (std::bad_alloc); thrown out of a destructor, that would abort the
    // program. The painter's owner hears of it when it ends the painter.
    try {
        m_painter.restore();
    } catch (...) {
    }
}

qreal QPainterCanvas::deviceScale() const
{
    const QTransform t = m_painter.combinedTransform();
    const qreal scale = std::sqrt(std::abs(t.determinant()));
    return scale > 0 ? scale : 1.0;
}

void QPainterCanvas::applyPen()
{
    const CanvasPen &spec = m_state.pen;
    const qreal scale = deviceScale();
    // Width in device pixels as Windows computes it: truncated, at least one.
    const int deviceWidth
        = spec.width <= 0 ? 1 : std::max(1, static_cast<int>(std::floor(spec.width * scale + 1e-9)));

    QPen pen(spec.colour);
    if (deviceWidth == 1) {
        // A one-pixel line: cosmetic, and without the end point (flat cap),
        // like a Windows cosmetic pen.
        pen.setWidth(0);
        pen.setCosmetic(true);
        pen.setCapStyle(Qt::FlatCap);
        pen.setJoinStyle(Qt::MiterJoin);
        if (spec.style != PenStyle::Solid) {
            // The patterns are screen pixels; on finer devices (printer, PDF)
            // they are stretched to the same length on paper.
            const QPaintDevice *device = m_painter.device();
            const qreal stretch = device ? std::max(1, qRound(device->logicalDpiX() / 96.0)) : 1;
            QList<qreal> pattern = spec.style == PenStyle::Dashed ? dashPattern : dotPattern;
            for (qreal &length : pattern) {
                length *= stretch;
            }
            pen.setDashPattern(pattern);
        }
    } else {
        // A wide pen draws solid lines with round ends and joins, whatever
        // its style, as on Windows.
        pen.setWidthF(deviceWidth / scale);
        pen.setCapStyle(Qt::RoundCap);
        pen.setJoinStyle(Qt::RoundJoin);
    }
    m_painter.setPen(pen);
}

void QPainterCanvas::applyBrush()
{
    if (m_state.brush) {
        m_painter.setBrush(*m_state.brush);
    } else {
        m_painter.setBrush(Qt::NoBrush);
    }
}

void QPainterCanvas::applyBackground()
{
    m_painter.setBackgroundMode(m_state.transparent ? Qt::TransparentMode : Qt::OpaqueMode);
}

std::optional<QRectF> QPainterCanvas::outlineRect(int left, int top, int right, int bottom) const
{
    if (left > right) {
        std::swap(left, right);
    }
    if (top > bottom) {
        std::swap(top, bottom);
    }
    if (left == right || top == bottom) {
        return std::nullopt;
    }
    // The outline runs through the centres of the first and the last device
    // pixel covered; the right and bottom edge themselves stay out.
    const qreal pixel = 1.0 / deviceScale();
    return QRectF(left, top, right - left - pixel, bottom - top - pixel);
}

void QPainterCanvas::fillRect(int left, int top, int right, int bottom, const QColor &colour)
{
    const QRectF area = QRectF(QPointF(left, top), QPointF(right, bottom)).normalized();
    if (!area.isEmpty()) {
        m_painter.fillRect(area, colour);
    }
}

void QPainterCanvas::fillRectF(const QRectF &area, const QColor &colour)
{
    const QRectF normal = area.normalized();
    if (!normal.isEmpty())
        m_painter.fillRect(normal, colour);
}

void QPainterCanvas::fillRectsF(const std::vector<QRectF> &rects, const QPointF &origin, double scaleX,
    double scaleY, const QColor &colour)
{
    if (rects.empty() || scaleX == 0 || scaleY == 0)
        return;
    // One call with the brush set once: QPainter::fillRect would save and
    // restore the painter's state for every rectangle, and the PDF engine
    // writes each restore out with the clipping path again. In the
    // rectangles' own units the PDF keeps short whole numbers.
    const QTransform transform = m_painter.worldTransform();
    m_painter.translate(origin);
    m_painter.scale(scaleX, scaleY);
    m_painter.setPen(Qt::NoPen);
    m_painter.setBrush(colour);
    m_painter.drawRects(rects.data(), static_cast<int>(rects.size()));
    m_painter.setWorldTransform(transform);
}

void QPainterCanvas::rectangle(int left, int top, int right, int bottom)
{
    if (const auto rect = outlineRect(left, top, right, bottom)) {
        applyPen();
        applyBrush();
        m_painter.drawRect(*rect);
    }
}

void QPainterCanvas::roundRect(int left, int top, int right, int bottom, int ellipseWidth, int ellipseHeight)
{
    if (const auto rect = outlineRect(left, top, right, bottom)) {
        applyPen();
        applyBrush();
        m_painter.drawRoundedRect(
            *rect, std::abs(ellipseWidth) / 2.0, std::abs(ellipseHeight) / 2.0, Qt::AbsoluteSize);
    }
}

void QPainterCanvas::moveTo(int x, int y)
{
    m_state.position = QPoint(x, y);
}

void QPainterCanvas::lineTo(int x, int y)
{
    const QPoint end(x, y);
    if (end != m_state.position) {
        applyPen();
        m_painter.drawLine(QPointF(m_state.position), QPointF(end));
    }
    m_state.position = end;
}

void QPainterCanvas::setPen(const CanvasPen &pen)
{
    m_state.pen = pen;
}

void QPainterCanvas::setHollowBrush()
{
    m_state.brush.reset();
}

void QPainterCanvas::setSolidBrush(const QColor &colour)
{
    m_state.brush = colour;
}

void QPainterCanvas::setFont(const CanvasFont &font)
{
    m_state.font = font;
}

void QPainterCanvas::setTextColour(const QColor &colour)
{
    m_state.textColour = colour;
}

void QPainterCanvas::setTransparentBackground()
{
    m_state.transparent = true;
    applyBackground();
}

QFont QPainterCanvas::makeDeviceFont(const CanvasFont &font, qreal scale) const
{
    QFont result = baseFont(font);
    const qreal em = emPixels(font, result, scale);
    result.setPixelSize(std::max(1, qRound(em)));
    return result;
}

QFont QPainterCanvas::deviceFont() const
{
    return makeDeviceFont(m_state.font, deviceScale());
}

const QPainterCanvas::DeviceFont &QPainterCanvas::cachedDeviceFont()
{
    return cachedDeviceFont(m_state.font);
}

QPainterCanvas::DeviceFont &QPainterCanvas::cachedDeviceFont(const CanvasFont &font)
{
    // Designs use a handful of fonts; beyond that many the least recently
    // used one is dropped, so a pathological design cannot grow the list.
    constexpr qsizetype maxFonts = 16;
    CanvasFont key = font;
    key.escapement = 0;
    const qreal scale = deviceScale();
    for (qsizetype i = 0; i < m_fonts.size(); ++i) {
        if (m_fonts[i].font == key && m_fonts[i].scale == scale) {
            if (i != 0) {
                m_fonts.move(i, 0);
            }
            return m_fonts.front();
        }
    }
    DeviceFont made;
    made.font = key;
    made.scale = scale;
    made.qfont = makeDeviceFont(key, scale);
    const QFontMetricsF metrics(made.qfont, m_painter.device());
    made.ascent = metrics.ascent();
    made.cell = metrics.ascent() + metrics.descent();
    if (m_fonts.size() >= maxFonts) {
        m_fonts.removeLast();
    }
    m_fonts.prepend(std::move(made));
    return m_fonts.front();
}

void QPainterCanvas::text(int x, int y, const QString &text)
{
    if (text.isEmpty()) {
        return;
    }
    const qreal scale = deviceScale();
    const DeviceFont &font = cachedDeviceFont();

    // Only the transformation is put back afterwards: every shape sets its
    // own pen and brush before it draws, so the text's font and pen may
    // stay, and a whole saved painter state per line would make the printer
    // write that state out again for each one.
    const QTransform transform = m_painter.worldTransform();
    // Turn about the top-left corner of the first cell, then draw in device
    // pixels so that the font is made at its size on this device, as Windows
    // does, rather than scaled from a size in logical units.
    QTransform place = transform;
    place.translate(x, y);
    if (m_state.font.escapement != 0)
        place.rotate(-m_state.font.escapement / 10.0);
    place.scale(1.0 / scale, 1.0 / scale);
    m_painter.setFont(font.qfont);
    m_painter.setPen(m_state.textColour);
    // Qt places the baseline at the given point; the cell's top is one
    // ascent above it.
    // Unturned and unscaled on the device (nearly always): drawn at its
    // place in device pixels, so that a PDF gets the place with the text
    // instead of a matrix of its own for every line.
    m_painter.setWorldTransform(place);
    const QTransform onDevice = m_painter.combinedTransform();
    if (m_painter.viewTransformEnabled() && onDevice.type() <= QTransform::TxScale
        && qFuzzyCompare(onDevice.m11(), 1.0) && qFuzzyCompare(onDevice.m22(), 1.0)) {
        m_painter.setViewTransformEnabled(false);
        m_painter.setWorldTransform(QTransform());
        m_painter.drawText(QPointF(onDevice.dx(), onDevice.dy() + font.ascent), text);
        m_painter.setViewTransformEnabled(true);
    } else {
        m_painter.drawText(QPointF(0, font.ascent), text);
    }
    m_painter.setWorldTransform(transform);
}

void QPainterCanvas::textOnBaseline(
    const QPointF &at, Anchor anchor, const CanvasFont &font, const QString &text)
{
    m_state.font = font;
    if (text.isEmpty())
        return;
    const qreal scale = deviceScale();
    const DeviceFont &device = cachedDeviceFont();
    // Measured with the font made for this device, as it is drawn.
    const qreal width = QFontMetricsF(device.qfont, m_painter.device()).horizontalAdvance(text);
    qreal x = 0;
    if (anchor == Anchor::Centre)
        x = -width / 2;
    else if (anchor == Anchor::Right)
        x = -width;
    const QTransform transform = m_painter.worldTransform();
    m_painter.translate(at);
    m_painter.scale(1.0 / scale, 1.0 / scale);
    m_painter.setFont(device.qfont);
    m_painter.setPen(m_state.textColour);
    m_painter.drawText(QPointF(x, 0), text);
    m_painter.setWorldTransform(transform);
}

QSizeF QPainterCanvas::textSize(const CanvasFont &font, const QString &text)
{
    const qreal scale = deviceScale();
    DeviceFont &device = cachedDeviceFont(font);
    qreal width = 0;
    bool latin1 = true;
    for (const QChar c : text) {
        if (c.unicode() > 0xFF) {
            latin1 = false;
            break;
        }
    }
    if (latin1) {
        // Each character is measured when it first comes up: a run meets
        // few of them, and measuring one costs as much as drawing a line.
        if (device.advances.empty())
            device.advances.assign(0x100, -1);
        std::optional<QFontMetricsF> metrics;
        for (const QChar c : text) {
            qreal &advance = device.advances[c.unicode()];
            if (advance < 0) {
                if (!metrics)
                    metrics.emplace(device.qfont, m_painter.device());
                advance = metrics->horizontalAdvance(c);
            }
            width += advance;
        }
    } else {
        width = QFontMetricsF(device.qfont, m_painter.device()).horizontalAdvance(text);
    }
    return { width / scale, device.cell / scale };
}

CanvasBitmap QPainterCanvas::loadBitmap(const QString &path)
{
    return readBitmapFile(path);
}

QPainterCanvas::AndMethod QPainterCanvas::andMethodFor(const QPainter &painter)
{
    // Only the raster engine (images, widgets) really combines pixels. The
    // PDF engine behind QPdfWriter and QPrinter announces raster operations
    // among its features but paints the source unchanged, so the engine's
    // type decides, not its feature list alone.
    const QPaintEngine *engine = painter.paintEngine();
    if (engine && engine->type() == QPaintEngine::Raster && engine->hasFeature(QPaintEngine::RasterOpModes)) {
        return AndMethod::RasterOp;
    }
    return AndMethod::WhiteTransparent;
}

QPainterCanvas::AndMethod QPainterCanvas::andMethod() const
{
    return andMethodFor(m_painter);
}

const QImage &QPainterCanvas::preparedBitmap(const QImage &source, bool mirrorX, bool mirrorY, BitmapMix mix)
{
    const bool rasterAnd = mix == BitmapMix::And && andMethod() == AndMethod::RasterOp;
    const int way = (mirrorX ? 1 : 0) | (mirrorY ? 2 : 0) | (mix == BitmapMix::And ? 4 : 0) | (rasterAnd ? 8 : 0);
    for (qsizetype i = 0; i < m_bitmaps.size(); ++i) {
        if (m_bitmaps[i].source == source.cacheKey() && m_bitmaps[i].way == way) {
            if (i > 0)
                m_bitmaps.move(i, 0);
            return m_bitmaps.first().image;
        }
    }
    // A negative extent mirrors the bitmap into the area on the other side.
    QImage image = source.mirrored(mirrorX, mirrorY);
    if (mix == BitmapMix::Copy) {
        // Transparent parts of a picture (PNG, GIF, SVG) leave the page.
        image = image.hasAlphaChannel() ? image.convertToFormat(QImage::Format_ARGB32_Premultiplied)
                                        : image.convertToFormat(QImage::Format_RGB32);
    } else if (rasterAnd) {
        // What is transparent is white, which AND leaves as the page was.
        if (image.hasAlphaChannel()) {
            QImage onWhite(image.size(), QImage::Format_RGB32);
            onWhite.fill(Qt::white);
            QPainter(&onWhite).drawImage(0, 0, image);
            image = onWhite;
        }
        image = image.convertToFormat(QImage::Format_RGB32);
    } else {
        // PDF and printer engines have no raster operations. AND with white
        // paper leaves the bitmap's own colours and keeps the page where the
        // bitmap is white, so white pixels are made transparent and the rest
        // is painted over the page: the same sheet, as long as nothing under
        // the bitmap has been printed before.
        // A pixel already transparent stays so; partly transparent ones
        // keep their alpha.
        image = image.convertToFormat(QImage::Format_ARGB32);
        const QRgb white = qRgb(255, 255, 255);
        for (int row = 0; row < image.height(); ++row) {
            for (int column = 0; column < image.width(); ++column) {
                if (image.pixel(column, row) == white) {
                    image.setPixel(column, row, qRgba(0, 0, 0, 0));
                }
            }
        }
    }
    constexpr qsizetype Kept = 8;
    if (m_bitmaps.size() >= Kept)
        m_bitmaps.removeLast();
    m_bitmaps.prepend({ source.cacheKey(), way, std::move(image) });
    return m_bitmaps.first().image;
}

void QPainterCanvas::stretchBitmap(
    const CanvasBitmap &bitmap, int x, int y, int width, int height, BitmapMix mix)
{
    if (bitmap.image.isNull() || width == 0 || height == 0) {
        return;
    }
    const QImage &image = preparedBitmap(bitmap.image, width < 0, height < 0, mix);
    const QRectF target = QRectF(x, y, width, height).normalized();

    m_painter.save();
    m_painter.setRenderHint(QPainter::SmoothPixmapTransform, false);
    if (mix == BitmapMix::And && andMethod() == AndMethod::RasterOp)
        m_painter.setCompositionMode(QPainter::RasterOp_SourceAndDestination);
    m_painter.drawImage(target, image);
    m_painter.restore();
}

void QPainterCanvas::clipRect(int left, int top, int right, int bottom)
{
    QRectF rect = QRectF(QPointF(left, top), QPointF(right, bottom)).normalized();
    if (m_state.clip)
        rect = rect.intersected(*m_state.clip);
    m_state.clip = rect;
    applyClip();
}

void QPainterCanvas::applyClip()
{
    if (m_state.clip)
        m_painter.setClipRect(*m_state.clip);
    else if (m_painter.hasClipping())
        m_painter.setClipping(false);
}

void QPainterCanvas::save()
{
    m_saved.append(m_state);
}

void QPainterCanvas::restore()
{
    if (m_saved.isEmpty()) {
        return;
    }
    const bool clipChanges = m_state.clip != m_saved.last().clip;
    m_state = m_saved.takeLast();
    applyBackground();
    if (clipChanges)
        applyClip();
}

} // namespace qm
