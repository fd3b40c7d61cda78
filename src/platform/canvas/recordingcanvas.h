#pragma once

#include "platform/canvas/canvas.h"

#include <QList>
#include <QStringList>

namespace qm {

// Canvas for tests: draws nothing and records every call, so that tests of
// the drawing routines compare what was asked for, line by line.
//
// log() gives one line per call:
//   fill 0,0,100,50 255,255,255
//   rect 10,20,110,60
//   roundrect 10,20,110,60 12,12
//   moveto 5,5            lineto 50,5
//   pen 0,0,0 solid 1     (solid, dashed or dotted; width)
//   brush hollow          brush solid 255,255,255
//   font face=Arial h=-11 esc=900 w=700 i=0
//   textcolour 255,0,0
//   transparent
//   text 5,7 "Hallo" face=Arial h=-11 esc=900 w=700 i=0 colour=0,0,0
//   bitmap C:/bilder/logo.bmp 32x16
//   stretch C:/bilder/logo.bmp 10,10,64,32 and   (copy or and)
//   save                  restore
// A text line names the font and colour in force when it was drawn.
//
// loadBitmap() reads the file like the real canvas, so a missing file throws
// the same error.
class RecordingCanvas : public ICanvas
{
public:
    struct Call
    {
        QString op;
        QStringList args;

        QString toString() const;
        bool operator==(const Call &) const = default;
    };

    void fillRect(int left, int top, int right, int bottom, const QColor &colour) override;
    void fillRectF(const QRectF &area, const QColor &colour) override;
    void rectangle(int left, int top, int right, int bottom) override;
    void roundRect(int left, int top, int right, int bottom, int ellipseWidth,
                   int ellipseHeight) override;
    void moveTo(int x, int y) override;
    void lineTo(int x, int y) override;
    void setPen(const CanvasPen &pen) override;
    void setHollowBrush() override;
    void setSolidBrush(const QColor &colour) override;
    void setFont(const CanvasFont &font) override;
    void setTextColour(const QColor &colour) override;
    void setTransparentBackground() override;
    void text(int x, int y, const QString &text) override;
    CanvasBitmap loadBitmap(const QString &path) override;
    void stretchBitmap(const CanvasBitmap &bitmap, int x, int y, int width, int height,
                       BitmapMix mix) override;
    void clipRect(int left, int top, int right, int bottom) override;
    void save() override;
    void restore() override;

    const QList<Call> &calls() const { return m_calls; }
    QStringList log() const;
    void clear() { m_calls.clear(); }

    // The font and text colour in force now (after save/restore).
    const CanvasFont &font() const { return m_state.font; }
    const QColor &textColour() const { return m_state.textColour; }

    static QString colourText(const QColor &colour);
    static QString fontText(const CanvasFont &font);

private:
    struct State
    {
        CanvasFont font;
        QColor textColour = Qt::black;
    };

    void record(QString op, QStringList args = {});

    QList<Call> m_calls;
    State m_state;
    QList<State> m_saved;
};

} // namespace qm
