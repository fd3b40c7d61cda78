#pragma once

#include <QChar>
#include <QColor>
#include <QPoint>
#include <QString>
#include <QStringList>

#include <array>
#include <optional>
#include <vector>

namespace qm {

// ---------------------------------------------------------------------------
// Units
//
// Designs are measured in design units of 0.4 mm, 25 to the centimetre; in
// the editor one design unit is one pixel. The editor keeps the label size as
// millimetres with at most one decimal, the ETI file in design units. Typed
// millimetres become units by truncating (Trunc(tenths x 0.25)); units become
// the exact millimetres they stand for (sizeTextOfUnits(): 158 units are
// "63,2"), so that opening and saving a design never changes its size.

inline constexpr int UnitsPerCm = 25;

// Trunc(mm x 2.5). 64 bits: a width typed as a large number must not wrap.
constexpr qint64 mmToUnits(qint64 mm)
{
    return mm * 5 / 2;
}

// Trunc(units x 0.4).
constexpr int unitsToMm(int units)
{
    return static_cast<int>(static_cast<qint64>(units) * 2 / 5);
}

// The millimetres that `units` stand for exactly, as the size labels hold
// them: whole ("70") or with the one decimal every unit needs ("63,2",
// "-0,4"). sizeUnitsValue() of the text gives `units` back.
QString sizeTextOfUnits(qint64 units);

// The workspace scrolls in whole centimetres: workspace pixel (px, py) is the
// design point (px + 25 x scrollX, py + 25 x scrollY).
constexpr QPoint workspaceToDesign(QPoint pixel, int scrollX, int scrollY)
{
    return {pixel.x() + UnitsPerCm * scrollX, pixel.y() + UnitsPerCm * scrollY};
}

constexpr QPoint designToWorkspace(QPoint unit, int scrollX, int scrollY)
{
    return {unit.x() - UnitsPerCm * scrollX, unit.y() - UnitsPerCm * scrollY};
}

// ---------------------------------------------------------------------------
// Colours
//
// Sixteen colour indices, the same in the editor, the file and on paper.
// Index 7 is grey (128, 128, 128) and 8 silver (192, 192, 192), although the
// editor's colour grid shows them the other way round.

inline constexpr int ColourCount = 16;

inline constexpr std::array<QRgb, ColourCount> ColourTable = {
    qRgb(0, 0, 0),       qRgb(128, 0, 0),   qRgb(0, 128, 0),   qRgb(128, 128, 0),
    qRgb(0, 0, 128),     qRgb(128, 0, 128), qRgb(0, 128, 128), qRgb(128, 128, 128),
    qRgb(192, 192, 192), qRgb(255, 0, 0),   qRgb(0, 255, 0),   qRgb(255, 255, 0),
    qRgb(0, 0, 255),     qRgb(255, 0, 255), qRgb(0, 255, 255), qRgb(255, 255, 255),
};

constexpr bool isColourIndex(int index)
{
    return index >= 0 && index < ColourCount;
}

// The printer colour of a colour index: black for an index outside 0..15.
// (The editor instead keeps its previous colour for such an index; it asks
// isColourIndex() first.)
QColor DruckFarbe(int index);

// Pen styles of lines and rectangles.
enum PenCode { PenThin = 0, PenThick = 1, PenDashed = 2 };

// ---------------------------------------------------------------------------
// Element table
//
// One element of a design, a row of the editor's element table. Column 0 is
// the kind letter, columns 1..11 hold the attributes as text, exactly as they
// were typed or read from the file:
//
//   kind                      1   2   3        4       5     6       7       8     9      10     11
//   L line                    x1  y1  x2       y2      pen   colour
//   R rectangle               x1  y1  x2       y2      pen   colour
//   O rounded rectangle       x1  y1  x2       y2      pen   colour
//   E ellipse in the box      x1  y1  x2       y2      pen   colour
//   B bitmap                  x1  y1  x2       y2      path  field   size
//   T text                    x   y   rotation height  bold  italic  colour  font  text
//   F data field              x   y   rotation height  bold  italic  colour  font  name   size
//   S serial number or date   x   y   rotation height  bold  italic  colour  font  mode   before after
//   C barcode                 x1  y1  x2       y2      kind  name    size
//   # deleted element (kept in place, not drawn, not saved)
//
// A barcode's column 11 is not shown: it holds the BC record as it was read
// (after "BC,"), so that a line the editor did not change is written back
// exactly as it stood, even where it had too few fields.
//
// A bitmap whose field (column 6) is not empty draws the picture file that
// field's value names (a BF record), and keeps its path empty; column 11
// holds the BF record as it was read, like a barcode's.
//
// Texts may contain commas. Numeric cells are converted only when they are
// used, strictly (number()): an invalid or empty cell is a ConvertError.

inline constexpr int ElementColumns = 12;

namespace ElementKind {
inline constexpr QChar Line = u'L';
inline constexpr QChar Rectangle = u'R';
inline constexpr QChar RoundRectangle = u'O';
inline constexpr QChar Ellipse = u'E';
inline constexpr QChar Bitmap = u'B';
inline constexpr QChar Text = u'T';
inline constexpr QChar Field = u'F';
inline constexpr QChar Serial = u'S';
inline constexpr QChar Barcode = u'C';
inline constexpr QChar Deleted = u'#';
} // namespace ElementKind

// Named columns, where they are shared by several kinds.
namespace Col {
inline constexpr int X1 = 1, Y1 = 2, X2 = 3, Y2 = 4;
inline constexpr int Pen = 5, PenColour = 6; // L, R, O, E
inline constexpr int Path = 5;               // B
inline constexpr int PictureField = 6;       // B: the field naming the file, or empty
inline constexpr int PictureSize = 7;        // B: empty when the record had none
inline constexpr int PictureRecord = 11;     // B: the BF record as read, hidden
inline constexpr int X = 1, Y = 2, Rotation = 3, Height = 4, Bold = 5, Italic = 6, Colour = 7,
                     Font = 8;          // T, F, S
inline constexpr int Text = 9;          // T
inline constexpr int FieldName = 9;     // F
inline constexpr int FieldSize = 10;    // F
inline constexpr int Mode = 9;          // S
inline constexpr int TextBefore = 10;   // S
inline constexpr int TextAfter = 11;    // S
inline constexpr int Symbology = 5; // C: the kind of barcode
inline constexpr int BarcodeField = 6; // C
inline constexpr int BarcodeSize = 7; // C: empty when the record had none
inline constexpr int BarcodeRecord = 11; // C: the record as read, hidden
} // namespace Col

struct Element;
// Whether a bitmap element draws the picture its field's value names (it was
// read from a BF record or has a field): see Col::PictureField.
bool picturesByField(const Element &e);

// The last column a kind uses (0 for a deleted element, 11 for an unknown
// letter, of which nothing is known).
int lastColumnOf(QChar kind);

struct Element
{
    QChar kind;
    std::array<QString, ElementColumns> cells; // cells[0] is not used: see kind
    // T, F, S: the XT record (its text box) read before the element, after
    // "XT,", written back as it stood; none without one.
    std::optional<QString> textBox;

    // Column 0 gives the kind letter, 1..11 the cells, anything else "".
    QString cell(int column) const;
    // Column 0 sets the kind (first letter, or none for ""); 1..11 a cell.
    void setCell(int column, const QString &value);
    // The cell as a whole number; throws ConvertError.
    int number(int column) const;

    // The row as shown: kind letter first, then columns 1 .. lastColumnOf(kind).
    QStringList row() const;

    bool operator==(const Element &) const = default;
};

// ---------------------------------------------------------------------------
// Design
//
// The design as the editor holds it: the header (the editor's hidden labels
// Besch, GrX, GrY, DATEINAME and Modus, all text) and the element table,
// whose rows are numbered from 1 as in the editor (row 0 of the editor's
// grid holds the count, which is elements.size() here).

struct Design
{
    QString description = defaultDescription();
    QString widthMm = QStringLiteral("0"); // GrX: millimetres, whole or "38,1"
    QString heightMm = QStringLiteral("0"); // GrY
    QString fileName;                       // DATEINAME: empty until saved or opened
    QString mode;                           // Modus: how the editor was opened
    std::vector<Element> elements;
    // The GR record as it was read (after "GR,"), null without one: while
    // the size still says what that record says, it is written back as it
    // stood (a scale other than 25, "$" numbers, blanks included).
    QString sizeRecord;

    // "keine Beschreibung", the description of a new design.
    static QString defaultDescription();

    int count() const { return static_cast<int>(elements.size()); }
    // Row 1..count().
    Element &element(int row) { return elements.at(static_cast<size_t>(row - 1)); }
    const Element &element(int row) const { return elements.at(static_cast<size_t>(row - 1)); }

    // The label size in millimetres, converted strictly; an empty text counts
    // as 0. Throw ConvertError.
    int widthMmValue() const;
    int heightMmValue() const;
    // The label size in design units, from whole millimetres or tenths
    // (sizeUnitsValue()). Throw ConvertError.
    qint64 widthUnits() const;
    qint64 heightUnits() const;

    bool operator==(const Design &) const = default;
};

// A size label's text as a number: "" is 0, otherwise strict (ConvertError).
int sizeMmValue(const QString &text);

// A size label's text in design units: whole millimetres ("38") or with one
// decimal after a comma or point ("38,1"), Trunc(tenths x 0.25), which is
// mmToUnits() for whole millimetres. "" is 0; anything else throws
// ConvertError.
qint64 sizeUnitsValue(const QString &text);
// The same text in tenths of a millimetre ("38,1" is 381).
qint64 sizeTenthsValue(const QString &text);
// Whether the text names a size of whole design units (a multiple of
// 0.4 mm), which a design file holds exactly. Throws ConvertError.
bool sizeIsOnGrid(const QString &text);

// A typed size as the size it is kept as: the exact millimetres of its
// units (sizeTextOfUnits(sizeUnitsValue(text))), so "63,5" is "63,2" and
// "38,0" is "38". Throws ConvertError like sizeUnitsValue().
QString sizeTextOnGrid(const QString &text);

} // namespace qm
