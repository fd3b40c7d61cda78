#pragma once

#include "designs/design.h"

#include <QString>

namespace qm {

// The editor's tools.
enum EditorTool {
    ToolMove = 0,
    ToolLine = 1,
    ToolRectangle = 2,
    ToolRoundRectangle = 3,
    ToolText = 4,
    ToolField = 5,
    ToolSerial = 6,
    ToolGraphic = 7,
    ToolEllipse = 8,
    ToolChange = 9,
    ToolBarcode = 11,
};

// What the editor knows when a drawn element is stored: the current tool,
// pen and colour, the workspace canvas font, the scroll positions, the last
// dragged rectangle in workspace pixels (x1, y1 where the mouse went down,
// x2, y2 where it came up, not reordered) and the edits of the property
// dialogs (TEditorText, TEditorFeld, TEditorSonder) and the bitmap dialog.
struct EditorState
{
    int tool = ToolMove;
    int penStyle = PenThin;
    int colour = 0;

    // The canvas font. height is the font's height as the platform gives it:
    // negative for a character height (-11 is stored as "11").
    QString fontFace = QStringLiteral("Arial");
    int fontHeight = -11;
    bool bold = false;
    bool italic = false;

    int scrollX = 0;
    int scrollY = 0;

    int x1 = 0, y1 = 0, x2 = 0, y2 = 0;

    QString textRotation;   // TA
    QString text;           // T
    QString fieldRotation;  // FA
    QString fieldName;      // F
    QString fieldSize;      // FG
    QString serialRotation; // SA
    bool serialNumber = false; // M1 "Seriennummer" checked (else date)
    QString textBefore;     // TV
    QString textAfter;      // TN
    QString bitmapFile;     // the file chosen in BitmapLaden
    int barcodeKind = 0; // the barcode's kind (Symbology), its field and size
    QString barcodeField;
    QString barcodeSize;
};

// Stores the element just drawn with the current tool in row `row` (1-based)
// of the design. Coordinates go from workspace pixels to design units; a
// graphic is stored one unit inside the dragged rectangle. Tools that draw
// nothing (move, change) leave the row alone. The caller makes room for the
// row; a row beyond the end grows the table with empty rows, a row below 1
// is ignored. The row is cleared before it is written, so no cell of an
// earlier element survives in it.
void EtikettenelementSchreiben(Design &design, int row, const EditorState &state);

// The element the tool makes from the state, or an element without a kind
// for a tool that makes none.
Element elementFromEditorState(const EditorState &state);

} // namespace qm
