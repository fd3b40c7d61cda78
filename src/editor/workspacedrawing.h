#pragma once

#include "platform/canvas/canvas.h"

#include <QColor>
#include <QString>

namespace qm {

struct Design;

// The design editor's drawing: the workspace from the element table, at one
// design unit per pixel, and the rulers beside it. Where it differs on
// purpose from the drawing on paper (corners, dashed pens, text heights,
// bitmaps, colours) is listed in designs/rendering.h.

// The editor's drawing settings (keys "Gitter" and "Klickflaechen").
struct WorkspaceSettings
{
    bool grid = true;
    bool clickAreas = false;
};

// The font of the workspace canvas. Drawing a text element makes that
// element's font current and it stays so afterwards, like every canvas
// property of the editor: new elements take their font from here.
//   height: as the text element's height cell (character height).
//   colour: the font colour; an index outside 0..15 leaves it as it is.
struct WorkspaceFont
{
    QString face = QStringLiteral("Arial");
    int height = 11;
    bool bold = false;
    bool italic = false;
    QColor colour = Qt::black;
};

// ArbeitsbereichAnzeigen: draws the whole workspace, a paint area of
// width x height pixels: white background, the grid (not scrolled), the red
// dashed label outline, the elements in row order and the click areas.
// Element coordinates are design units minus 25 x scroll position.
// `dateText` is what a date element shows. `font` is the workspace canvas's
// font; without one, drawing starts from WorkspaceFont() and the changes are
// dropped.
//
// A numeric cell that is not a whole number, the label width or height
// included, throws ConvertError; what was drawn before stays. A picture
// that cannot be read is drawn as a grey box with its file name
// (drawMissingPicture()); the canvas's qm::Error of the first such picture
// is thrown when everything else is drawn, for the caller to report.
void ArbeitsbereichAnzeigen(ICanvas &canvas, const Design &design, const WorkspaceSettings &settings,
    int scrollX, int scrollY, int width, int height, const QString &dateText, WorkspaceFont *font = nullptr);

// DC_TEXTOUT: one line of text on the workspace at (x, y) in the face, style
// and colour of `font`, with the given font height (negative: character
// height) and rotation in whole degrees counter-clockwise. An empty text
// draws nothing. The canvas's font and text colour are left as they were.
void DC_TEXTOUT(
    ICanvas &canvas, const WorkspaceFont &font, int x, int y, const QString &text, int height, int rotation);

// The rulers beside the workspace: 17 pixels high (top) and wide (left).
inline constexpr int RulerSize = 17;

// LinealLoeschen: fills both rulers white and leaves a black pen. The top
// ruler is `width` pixels wide, the left one `height` pixels high.
void LinealLoeschen(ICanvas &top, ICanvas &left, int width, int height);

// LinealAnzeigen: centimetre ticks with their numbers (0..21 across, 0..29
// down, the extent of an A4 sheet) and half-centimetre marks, moved by the
// scroll position.
void LinealAnzeigen(ICanvas &top, ICanvas &left, int width, int height, int scrollX, int scrollY);

} // namespace qm
