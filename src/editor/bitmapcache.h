#pragma once

#include "designs/rendering.h"
#include "platform/canvas/canvas.h"

#include <QDateTime>
#include <QHash>

namespace qm {

// Keeps the bitmaps the workspace shows, so that a repaint does not read
// every bitmap file again. A cached picture is used while its file keeps
// its size and time of change; a changed file is read again. A file that
// cannot be read is not cached, so it throws on every drawing, as the
// drawing expects.
class BitmapCache
{
public:
    CanvasBitmap load(ICanvas &canvas, const QString &path);
    void clear() { m_entries.clear(); }
    qsizetype size() const { return m_entries.size(); }

private:
    struct Entry
    {
        QDateTime modified;
        qint64 bytes = 0;
        CanvasBitmap bitmap;
    };
    QHash<QString, Entry> m_entries;
};

// A canvas that passes every call on to another one and takes bitmaps from
// a cache; a relative picture path is read from `pictureFolder`.
class CachedBitmapCanvas : public ICanvas
{
public:
    CachedBitmapCanvas(ICanvas &inner, BitmapCache &cache, const QString &pictureFolder = QString())
        : m_inner(inner)
        , m_cache(cache)
        , m_pictureFolder(pictureFolder)
    { }

    void fillRect(int l, int t, int r, int b, const QColor &c) override { m_inner.fillRect(l, t, r, b, c); }
    void fillRectF(const QRectF &area, const QColor &c) override { m_inner.fillRectF(area, c); }
    void fillRectsF(const std::vector<QRectF> &rects, const QPointF &origin, double scaleX, double scaleY,
        const QColor &colour) override
    {
        m_inner.fillRectsF(rects, origin, scaleX, scaleY, colour);
    }
    void textOnBaseline(const QPointF &at, Anchor anchor, const CanvasFont &font, const QString &t) override
    {
        m_inner.textOnBaseline(at, anchor, font, t);
    }
    void rectangle(int l, int t, int r, int b) override { m_inner.rectangle(l, t, r, b); }
    void roundRect(int l, int t, int r, int b, int w, int h) override { m_inner.roundRect(l, t, r, b, w, h); }
    void moveTo(int x, int y) override { m_inner.moveTo(x, y); }
    void lineTo(int x, int y) override { m_inner.lineTo(x, y); }
    void setPen(const CanvasPen &pen) override { m_inner.setPen(pen); }
    void setHollowBrush() override { m_inner.setHollowBrush(); }
    void setSolidBrush(const QColor &colour) override { m_inner.setSolidBrush(colour); }
    void setFont(const CanvasFont &font) override { m_inner.setFont(font); }
    void setTextColour(const QColor &colour) override { m_inner.setTextColour(colour); }
    void setTransparentBackground() override { m_inner.setTransparentBackground(); }
    void text(int x, int y, const QString &t) override { m_inner.text(x, y, t); }
    CanvasBitmap loadBitmap(const QString &path) override
    {
        return m_cache.load(m_inner, resolvedPicturePath(path, m_pictureFolder));
    }
    void stretchBitmap(const CanvasBitmap &bitmap, int x, int y, int w, int h, BitmapMix mix) override
    {
        m_inner.stretchBitmap(bitmap, x, y, w, h, mix);
    }
    void clipRect(int left, int top, int right, int bottom) override
    {
        m_inner.clipRect(left, top, right, bottom);
    }
    void save() override { m_inner.save(); }
    void restore() override { m_inner.restore(); }

private:
    ICanvas &m_inner;
    BitmapCache &m_cache;
    QString m_pictureFolder;
};

} // namespace qm
