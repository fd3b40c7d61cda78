#include "recordingcanvas.h"

#include <utility>

namespace qm {

namespace {

QString point(int x, int y)
{
    return QStringLiteral("%1,%2").arg(x).arg(y);
}

QString edges(int left, int top, int right, int bottom)
{
    return QStringLiteral("%1,%2,%3,%4").arg(left).arg(top).arg(right).arg(bottom);
}

QString styleName(PenStyle style)
{
    switch (style) {
    case PenStyle::Solid:
        return QStringLiteral("solid");
    case PenStyle::Dashed:
        return QStringLiteral("dashed");
    case PenStyle::Dotted:
        return QStringLiteral("dotted");
    }
    return QStringLiteral("?");
}

} // namespace

QString RecordingCanvas::Call::toString() const
{
    if (args.isEmpty()) {
        return op;
    }
    return op + QLatin1Char(' ') + args.join(QLatin1Char(' '));
}

QString RecordingCanvas::colourText(const QColor &colour)
{
    return QStringLiteral("%1,%2,%3").arg(colour.red()).arg(colour.green()).arg(colour.blue());
}

QString RecordingCanvas::fontText(const CanvasFont &font)
{
    return QStringLiteral("face=%1 h=%2 esc=%3 w=%4 i=%5")
        .arg(font.face)
        .arg(font.height)
        .arg(font.escapement)
        .arg(font.weight)
        .arg(font.italic ? 1 : 0);
}

QStringList RecordingCanvas::log() const
{
    QStringList lines;
    lines.reserve(m_calls.size());
    for (const Call &call : m_calls) {
        lines.append(call.toString());
    }
    return lines;
}

void RecordingCanvas::record(QString op, QStringList args)
{
    m_calls.append(Call{std::move(op), std::move(args)});
}

void RecordingCanvas::fillRect(int left, int top, int right, int bottom, const QColor &colour)
{
    record(QStringLiteral("fill"), {edges(left, top, right, bottom), colourText(colour)});
}

void RecordingCanvas::fillRectF(const QRectF &area, const QColor &colour)
{
    record(QStringLiteral("fillf"),
        { QStringLiteral("%1,%2,%3,%4")
                .arg(area.left(), 0, 'g', 6)
                .arg(area.top(), 0, 'g', 6)
                .arg(area.right(), 0, 'g', 6)
                .arg(area.bottom(), 0, 'g', 6),
            colourText(colour) });
}

void RecordingCanvas::rectangle(int left, int top, int right, int bottom)
{
    record(QStringLiteral("rect"), {edges(left, top, right, bottom)});
}

void RecordingCanvas::roundRect(int left, int top, int right, int bottom, int ellipseWidth,
                                int ellipseHeight)
{
    record(QStringLiteral("roundrect"),
           {edges(left, top, right, bottom), point(ellipseWidth, ellipseHeight)});
}

void RecordingCanvas::moveTo(int x, int y)
{
    record(QStringLiteral("moveto"), {point(x, y)});
}

void RecordingCanvas::lineTo(int x, int y)
{
    record(QStringLiteral("lineto"), {point(x, y)});
}

void RecordingCanvas::setPen(const CanvasPen &pen)
{
    record(QStringLiteral("pen"),
           {colourText(pen.colour), styleName(pen.style), QString::number(pen.width)});
}

void RecordingCanvas::setHollowBrush()
{
    record(QStringLiteral("brush"), {QStringLiteral("hollow")});
}

void RecordingCanvas::setSolidBrush(const QColor &colour)
{
    record(QStringLiteral("brush"), {QStringLiteral("solid"), colourText(colour)});
}

void RecordingCanvas::setFont(const CanvasFont &font)
{
    m_state.font = font;
    record(QStringLiteral("font"), {fontText(font)});
}

void RecordingCanvas::setTextColour(const QColor &colour)
{
    m_state.textColour = colour;
    record(QStringLiteral("textcolour"), {colourText(colour)});
}

void RecordingCanvas::setTransparentBackground()
{
    record(QStringLiteral("transparent"));
}

void RecordingCanvas::text(int x, int y, const QString &text)
{
    record(QStringLiteral("text"),
           {point(x, y), QLatin1Char('"') + text + QLatin1Char('"'), fontText(m_state.font),
            QStringLiteral("colour=") + colourText(m_state.textColour)});
}

CanvasBitmap RecordingCanvas::loadBitmap(const QString &path)
{
    CanvasBitmap bitmap = readBitmapFile(path);
    record(QStringLiteral("bitmap"),
           {path, QStringLiteral("%1x%2").arg(bitmap.width()).arg(bitmap.height())});
    return bitmap;
}

void RecordingCanvas::stretchBitmap(const CanvasBitmap &bitmap, int x, int y, int width,
                                    int height, BitmapMix mix)
{
    record(QStringLiteral("stretch"),
           {bitmap.path, edges(x, y, width, height),
            mix == BitmapMix::And ? QStringLiteral("and") : QStringLiteral("copy")});
}

void RecordingCanvas::clipRect(int left, int top, int right, int bottom)
{
    record(QStringLiteral("clip"), {edges(left, top, right, bottom)});
}

void RecordingCanvas::save()
{
    m_saved.append(m_state);
    record(QStringLiteral("save"));
}

void RecordingCanvas::restore()
{
    if (!m_saved.isEmpty()) {
        m_state = m_saved.takeLast();
    }
    record(QStringLiteral("restore"));
}

} // namespace qm
