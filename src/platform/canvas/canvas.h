#pragma once

#include <QColor>
#include <QImage>
#include <QRect>
#include <QRectF>
#include <QSizeF>
#include <QString>

#include <vector>

namespace qm {

// Line style of a pen.
enum class PenStyle {
    Solid,
    Dashed, // long dashes, as on paper
    Dotted, // short dots, as in the editor's grid and outlines
};

// A pen as the drawing routines create it. The width is in logical units;
// width 0 is the thinnest line the device draws, one device pixel at any
// scale. As on Windows, a dashed or dotted pen that comes out wider than one
// device pixel draws solid lines.
struct CanvasPen
{
    QColor colour = Qt::black;
    PenStyle style = PenStyle::Solid;
    int width = 0;

    bool operator==(const CanvasPen &) const = default;
};

// A font as the drawing routines ask for it.
//   height: negative asks for that character (em) height, positive for that
//           cell height (ascent + descent), both in logical units; 0 takes a
//           cell height of 16.
//   escapement: angle of the baseline in tenths of a degree, counter-clockwise.
//   weight: 400 normal, 700 bold (0 counts as 400).
// The face is the name the design stores ("Arial", "Times New Roman", ...);
// the canvas maps it to a face the machine has (substituteFace()); an empty
// face takes the system's default sans face.
struct CanvasFont
{
    QString face;
    int height = 0;
    int escapement = 0;
    int weight = 400;
    bool italic = false;

    bool operator==(const CanvasFont &) const = default;
};

// A bitmap read from a Windows bitmap (BMP) file.
struct CanvasBitmap
{
    QString path;
    QImage image;

    int width() const { return image.width(); }
    int height() const { return image.height(); }
};

// How a stretched bitmap meets what is already on the page.
enum class BitmapMix {
    Copy, // the bitmap replaces the page
    And,  // bitwise AND with the page: white leaves the page as it was
};

// The drawing surface of the editor's workspace, the format preview, the
// custom controls and the printer. A small set of operations after the
// Windows drawing interface, in logical coordinates: the owner of the canvas
// decides how logical units map to device pixels.
//
// Rectangles are given by their edges (left, top, right, bottom) and, as on
// Windows, the right and bottom edge are left out: an outline drawn with a
// one-pixel pen covers the columns left .. right - 1 and the rows
// top .. bottom - 1 of the device.
//
// The canvas starts like a fresh device: a black one-pixel solid pen, a solid
// white brush, a plain font (CanvasFont()), black text on an opaque white
// background, the current position at (0, 0).
class ICanvas
{
public:
    virtual ~ICanvas() = default;

    // Fills the rectangle with a solid colour; pen and brush stay as they are.
    virtual void fillRect(int left, int top, int right, int bottom, const QColor &colour) = 0;

    // The same with fractional edges, for shapes finer than a logical unit
    // (the bars of a barcode). A canvas without finer units rounds them.
    virtual void fillRectF(const QRectF &area, const QColor &colour)
    {
        const QRect r = area.toRect();
        fillRect(r.left(), r.top(), r.left() + r.width(), r.top() + r.height(), colour);
    }

    // Fills many rectangles of one colour at once. They are given in units
    // of their own: the point (x, y) of `rects` is the logical point
    // (origin.x() + x * scaleX, origin.y() + y * scaleY), as the modules of
    // a barcode are placed into its box. A device that writes its shapes out
    // (PDF, printer) writes them as one shape in those units, the colour
    // set once. Pen and brush stay as they are.
    virtual void fillRectsF(const std::vector<QRectF> &rects, const QPointF &origin, double scaleX,
        double scaleY, const QColor &colour)
    {
        for (const QRectF &r : rects) {
            fillRectF(QRectF(origin.x() + r.x() * scaleX, origin.y() + r.y() * scaleY, r.width() * scaleX,
                          r.height() * scaleY),
                colour);
        }
    }

    // Draws the outline with the current pen and fills the inside with the
    // current brush (nothing with a hollow brush).
    virtual void rectangle(int left, int top, int right, int bottom) = 0;

    // As rectangle(), with corners rounded by an ellipse of the given width
    // and height (not radii).
    virtual void roundRect(int left, int top, int right, int bottom, int ellipseWidth,
                           int ellipseHeight) = 0;

    // Sets the current position without drawing.
    virtual void moveTo(int x, int y) = 0;

    // Draws a line with the current pen from the current position to (x, y),
    // which becomes the current position. A one-pixel line leaves out its
    // end point.
    virtual void lineTo(int x, int y) = 0;

    // Makes the pen current.
    virtual void setPen(const CanvasPen &pen) = 0;

    // Hollow brush: outlines are not filled.
    virtual void setHollowBrush() = 0;

    // Solid brush of the colour: outlines are filled with it.
    virtual void setSolidBrush(const QColor &colour) = 0;

    // Creates the font and makes it current for text().
    virtual void setFont(const CanvasFont &font) = 0;

    // Colour of the text drawn by text().
    virtual void setTextColour(const QColor &colour) = 0;

    // From now on text and the gaps of dashed or dotted lines leave the page
    // as it is instead of painting the background white.
    virtual void setTransparentBackground() = 0;

    // Draws one line of text with the current font and text colour. (x, y) is
    // the top-left corner of the first character's cell; a font with an
    // escapement turns the text counter-clockwise about that point. Nothing
    // is clipped.
    virtual void text(int x, int y, const QString &text) = 0;

    // Makes `font` current and draws one line of text with it in the
    // current text colour, its baseline through `at`, with its left end,
    // middle or right end (by its advance width) there; in fractions of a
    // unit where the device has finer ones. The escapement is not applied.
    // A canvas that cannot measure text places it with text(), its width
    // and ascent estimated from the font's height (as in Arial).
    enum class Anchor { Left, Centre, Right };
    virtual void textOnBaseline(
        const QPointF &at, Anchor anchor, const CanvasFont &font, const QString &text);

    // The advance width and the cell height (ascent + descent) of one line
    // of `text` in `font`, in logical units, as text() draws it; the
    // escapement is not applied. The current font stays as it is. A canvas
    // that cannot measure text estimates both from the font's height (as in
    // Arial, as textOnBaseline() does).
    virtual QSizeF textSize(const CanvasFont &font, const QString &text);

    // Reads a Windows bitmap file. Throws qm::Error "Kann Datei %1 nicht
    // öffnen" with the path when the file cannot be opened, and "Bitmap ist
    // ungültig" when it is not a bitmap.
    virtual CanvasBitmap loadBitmap(const QString &path) = 0;

    // Stretches the whole bitmap into the area of the given width and height
    // whose top-left corner is (x, y). A negative width or height mirrors the
    // bitmap, as on Windows.
    virtual void stretchBitmap(const CanvasBitmap &bitmap, int x, int y, int width, int height,
                               BitmapMix mix) = 0;

    // From now on only what falls inside the rectangle (left, top) ..
    // (right, bottom), right and bottom excluded, is drawn; an earlier
    // rectangle of the same save() narrows it. restore() puts back the
    // clipping of the state it restores (none outside every save()).
    virtual void clipRect(int left, int top, int right, int bottom) = 0;

    // Remembers pen, brush, font, text colour, background mode, clipping and
    // the current position; restore() makes the last remembered state current
    // again, so a routine can leave the device as it found it. Pairs nest.
    virtual void save() = 0;
    virtual void restore() = 0;
};

// Reads a Windows bitmap file for loadBitmap(); throws as described there.
CanvasBitmap readBitmapFile(const QString &path);

// The face this machine uses for a face name of the designs: "Arial" gives
// Liberation Sans, "Times New Roman" Liberation Serif, "Courier New"
// Liberation Mono, "Small Fonts" DejaVu Sans; other names are passed on.
QString substituteFace(const QString &face);

} // namespace qm
