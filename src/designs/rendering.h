#pragma once

#include "designs/barcode.h"
#include "designs/printdesign.h"
#include "platform/canvas/canvas.h"

#include <QColor>
#include <QDate>
#include <QSize>
#include <QString>
#include <QStringList>

#include <map>
#include <optional>
#include <vector>

namespace qm {

class BarcodeLookAhead;
class DrawingNotices;
class StringTable;
class IMessages;

// Drawing a design: on the editor's workspace from the element table, at one
// design unit per pixel, and on the printer from the print element list, once
// per label. Both use the same colour table but differ on purpose in a few
// fixed ways:
//
//                      workspace                       paper
//   rounded corners    10 x 10 ellipse                 30 % of the shorter side, at least 10
//   dashed pen         dotted, width 1                 dashed, one device pixel
//   text height        character height (negative)     cell height (positive)
//   bitmaps            copied over the page            ANDed with the page
//   colour 16 etc.     previous colour kept            black

// ---------------------------------------------------------------------------
// Printer

// Field values, serial-number strings and dates are printed through a text
// buffer of this many characters. A longer value (from a database column,
// say) is cut to its first 161 characters; nothing is ever written past the
// buffer.
inline constexpr int MaxPrintedTextLength = 161;

// The text as it is printed: on one line, each line break (CR LF, CR or LF)
// a space, and at most MaxPrintedTextLength characters. A cut that would
// split a surrogate pair leaves out the whole pair.
QString printedText(const QString &text);

// The text as a text box with `fit` 2 prints it: at most
// MaxPrintedTextLength characters as printedText() cuts them, each line break
// (CR LF, CR or LF) kept as one LF.
QString printedLines(const QString &text);

// The message of a BM record, an image record of an older design format.
QString oldBitmapFormatMessage(const QString &path);

// The current date in the system's short date format, as printed by date
// elements and shown in the editor.
QString shortDateText(const QDate &date = QDate::currentDate());

// EtikettZeichnen: draws the print element list of `design` for one label
// whose top-left corner is (x, y) in design units. `row` is the row of the
// label list that holds this label's values: data fields and serial numbers
// print the cell (field number, row). `dateText` is what a date element
// prints (shortDateText() in the program).
//
// Every label starts afresh: a black pen of width 1, a hollow brush,
// transparent text, no font and field number 1. Before any font record, TE
// texts are not printed; data fields and dates use the device's font.
// The canvas is left as it was found (save()/restore(), also when an error
// ends the drawing).
//
// Choices of this implementation:
// - XP pen codes other than 0, 1, 2 give a thin solid pen (width 1), the
//   same as code 0; SP styles 1 dashed, 2 dotted, any other solid; a
//   negative width counts as 0.
// - A GR record clips what follows to the label (x, y) .. (x + width,
//   y + height), so that nothing reaches the neighbours; a design without a
//   size (width or height 0 or less) is clipped to the sheet's label
//   instead (LabelDrawing::setSheetLabel()), or not at all when that is not
//   known. With `drawFrame` it then outlines that label with a black solid
//   pen of width 1 and makes `devicePen`, the pen the device had before the
//   label, current again until the next pen record. On a fresh printer page
//   that is the device's pen, CanvasPen().
// - A BC record takes its data column like a field, so the fields after it
//   print their own columns. It draws its value as a barcode of its kind
//   (the fifth number) filling its box, in the current pen colour: a linear
//   code is stretched to the box, a QR or DataMatrix code keeps square
//   modules and is centred. A box smaller than 10 x 10 units, an unknown
//   kind or a value the kind cannot encode draws nothing (values are
//   checked before printing starts: checkBarcodeValues()).
// - A BF record takes its data column like a field; its value names a
//   picture file (fieldPicturePath()) drawn into the box keeping its aspect
//   ratio, centred (drawPictureInBox()). An empty value draws nothing; a
//   file that cannot be read ends the drawing with qm::Error (files are
//   checked before printing starts).
// - A TE record with fields in it (PrintRecord::pieces, splitFieldText())
//   prints its literal pieces with each field's value (printedText()) put
//   in; such a text that runs past the label's edge is noted under its
//   first field.
// - A BM record shows oldBitmapFormatMessage() once and draws nothing.
// - An XT record gives the next TE, EF or SE record a text box of its width
//   and height from its position (its top-left), never drawn outside it:
//   fit 0 one line at the font's size; 1 the largest size down to the box's
//   smallest (in points) at which the line fits; 2 the text wrapped at
//   blanks and at its line breaks (printedLines()), at the largest size at
//   which all lines, at most the box's line limit (0: no limit), fit. Lines
//   are stacked from the top of the box, aligned left, centred or right. A
//   turned font (90, 180 or 270 degrees) lays its lines along the box's
//   height or width as it runs. Text that does not fit even at the smallest
//   size is drawn at that size, clipped to the box, and noted
//   (DrawingNotices::Kind::DoesNotFit).
//
// A bitmap file that cannot be read ends the drawing with the canvas's
// qm::Error; the records after it are not drawn.
void EtikettZeichnen(ICanvas &canvas, const PrintDesign &design, const StringTable &labelList, int x, int y,
    int row, bool drawFrame, IMessages &messages, const QString &dateText,
    const CanvasPen &devicePen = CanvasPen());

// Draws `value` as a barcode of `kind` filling `box` (logical units, any
// two corners), as a BC record prints it: the bars in `colour`, a linear
// code stretched to the box with its digits under the bars, a QR or
// DataMatrix code with square modules, centred. A value the kind cannot
// encode, an empty one included, draws nothing. The editor's workspace
// shows a barcode without a value with sampleBarcodeValue(kind)
// (sampleBarcodeSymbol()).
void drawBarcode(ICanvas &canvas, Symbology kind, const QString &value, QRectF box, const QColor &colour);
// The same with the value already laid out (encodeBarcode()); none draws
// nothing.
void drawBarcode(
    ICanvas &canvas, Symbology kind, const std::optional<BarcodeSymbol> &symbol, QRectF box, const QColor &colour);

// Whether a BC record draws its barcode: its kind is known and its box is at
// least 10 x 10 units (4 mm). Otherwise it only takes its data column.
bool drawsBarcode(const PrintRecord &record);
// The same for a barcode of kind `kind` in the box (x1, y1) .. (x2, y2).
bool drawsBarcode(int kind, qint32 x1, qint32 y1, qint32 x2, qint32 y2);

// The print element list made ready for a run that draws it on many labels:
// every record's key is looked at once, here, and its pen, font and corner
// worked out, so that drawing a label only walks the prepared steps. It
// draws exactly what EtikettZeichnen draws (which is made of it) and keeps
// its own copy of the records: the design may change or go afterwards.
class LabelDrawing
{
public:
    explicit LabelDrawing(const PrintDesign &design);

    // On screen (the print preview) a picture that cannot be read is drawn
    // as a grey box with its file name (drawMissingPicture()); on paper it
    // ends the drawing with the canvas's error. Off unless set.
    void setShowMissingPictures(bool show) { m_showMissingPictures = show; }
    // The folder a picture's relative path is taken from (the program
    // directory); empty: as the path stands (resolvedPicturePath()).
    void setPictureFolder(const QString &folder) { m_pictureFolder = folder; }

    // The sheet's label at the position drawn next, its width and height in
    // logical units: a design without a size of its own is clipped to it
    // (see EtikettZeichnen()). Empty (the default): not known.
    void setSheetLabel(QSize size) { m_sheetLabel = size; }

    // Where the drawing notes what the run is to tell the user afterwards:
    // a field's or serial number's text that runs past the edge the label
    // is clipped to (measured with ICanvas::textSize(), only where the text
    // can reach that edge). The notices must outlive the drawing; none (the
    // default): nothing is measured.
    void setNotices(DrawingNotices *notices) { m_notices = notices; }

    // Barcodes laid out ahead: the drawing takes its symbols from
    // `lookAhead` (which must outlive it), and prepareBarcodes() hands the
    // barcodes of a label to come over to it. None (the default): each
    // barcode is laid out as it is drawn.
    void setLookAhead(BarcodeLookAhead *lookAhead) { m_lookAhead = lookAhead; }
    // Hands the barcodes of a label to come over to the look-ahead, in the
    // order they will be drawn (values[field] as draw() takes them). Every
    // label is to be drawn, in the order prepared; without a look-ahead
    // nothing happens.
    void prepareBarcodes(const QStringList &values) const;
    // The same for the label list: before drawing row `row`, prepares the
    // rows after those prepared so far up to BarcodeLookAheadLabels beyond
    // `row`, at most up to `lastRow`.
    void prepareRowsAhead(const StringTable &labelList, int row, int lastRow);

    // The symbols of the barcodes of the label drawn next, in the order the
    // design draws them, as they were laid out when the run's records were
    // checked; none (the default), or a barcode without one: laid out now
    // (through the look-ahead when there is one). The symbols must outlive
    // the drawing of the label.
    void setLabelSymbols(const std::vector<std::optional<BarcodeSymbol>> *symbols) { m_labelSymbols = symbols; }
    // The record (from 1) the label drawn next comes from, for the message
    // of a barcode value that cannot be laid out: a value is never printed
    // without its barcode, such a label ends the drawing with an Error.
    void setRecord(qint64 record) { m_record = record; }

    // One label whose values are the cells (field, row) of the label list.
    void draw(ICanvas &canvas, const StringTable &labelList, int x, int y, int row, bool drawFrame,
        IMessages &messages, const QString &dateText, const CanvasPen &devicePen = CanvasPen()) const;
    // One label whose values are given directly: values[field] is the value
    // of data column `field` (index 0 is not used); a missing one is empty.
    void draw(ICanvas &canvas, const QStringList &values, int x, int y, bool drawFrame, IMessages &messages,
        const QString &dateText, const CanvasPen &devicePen = CanvasPen()) const;

private:
    enum class Op : quint8 {
        Rectangle,
        RoundRectangle,
        Line,
        Pen,
        Font,
        Field,
        Date,
        Serial,
        Text,
        FieldText, // a TE with fields in it (PrintRecord::pieces)
        Frame,
        OldBitmap,
        Bitmap,
        SkipField,
        Barcode,
        Ellipse,
        FieldPicture,
    };
    struct Step
    {
        Op op = Op::Text;
        PrintRecord record;
        CanvasPen pen; // Pen
        CanvasFont font; // Font
        QColor colour; // Font: the text colour
        int corner = 0; // RoundRectangle
        int symbology = 0; // Barcode
        // Field, Serial, Date, Text: the box of the XT record before it.
        std::optional<TextBox> box;
    };

    // Draws `value` into `box` at (x, y), fitted as the box asks, and
    // clips to the box and notes a text that does not fit even at
    // the box's smallest size (`column` and `title` name it).
    void drawInBox(ICanvas &canvas, const CanvasFont &font, const TextBox &box, int x, int y,
        const QString &value, int column, const QString &title) const;

    // Notes the text of data column `field` drawn at (x, y) in `font` when
    // it leaves `box`, the label it is clipped to.
    void noteIfCut(ICanvas &canvas, const CanvasFont &font, int x, int y, const QString &text, const QRectF &box,
        int field) const;

    template <typename Values>
    void drawSteps(ICanvas &canvas, const Values &values, int x, int y, bool drawFrame, IMessages &messages,
        const QString &dateText, const CanvasPen &devicePen) const;

    struct BarcodeStep
    {
        Symbology kind;
        int field; // the data column it prints
    };

    std::vector<Step> m_steps;
    std::vector<BarcodeStep> m_barcodes; // the Barcode steps, in order
    BarcodeLookAhead *m_lookAhead = nullptr;
    const std::vector<std::optional<BarcodeSymbol>> *m_labelSymbols = nullptr;
    qint64 m_record = 0;
    // The pictures read so far, by file; one that cannot be read is tried
    // again on the next label.
    mutable std::map<QString, CanvasBitmap> m_pictures;
    // The pictures named by the records (BF), the ones used last first: a
    // run of many different pictures keeps only a few.
    mutable std::vector<CanvasBitmap> m_fieldPictures;
    const CanvasBitmap &fieldPicture(ICanvas &canvas, const QString &path) const;
    int m_preparedRow = 0; // prepareRowsAhead(): the last row prepared
    QSize m_sheetLabel;
    DrawingNotices *m_notices = nullptr;
    QStringList m_fieldTitles; // by data column
    bool m_showMissingPictures = false;
    QString m_pictureFolder;
    double m_unitsPerPoint = 25 * 2.54 / 72; // design units of one point
};

// The ellipse (or circle) in the box (left, top) .. (right, bottom), as
// drawn by an EL record and an ellipse element: a rounded rectangle whose
// corners are the whole box, with the current pen and a hollow brush.
void drawEllipse(ICanvas &canvas, int left, int top, int right, int bottom);

// A picture that cannot be read, on screen: the box (left, top, right,
// bottom) filled grey with the picture's file name in its top-left corner,
// cut at the box. The canvas's state is left as it was.
void drawMissingPicture(ICanvas &canvas, int left, int top, int right, int bottom, const QString &path);

// Draws `bitmap` as large as fits into the box (left, top) .. (right,
// bottom) (any two corners) without changing its aspect ratio, centred, and
// ANDed with the page as a picture prints. An empty bitmap or box draws
// nothing.
void drawPictureInBox(ICanvas &canvas, const CanvasBitmap &bitmap, int left, int top, int right, int bottom);

// The file a BF record draws for the value `value` of its field: the value
// without the blanks around it, taken from `folder` as resolvedPicturePath()
// does; "" for a blank value, which draws nothing.
QString fieldPicturePath(const QString &value, const QString &folder);

// The file of a picture path as a design stores it: a relative path (also
// with "\") is taken from `folder`; an absolute one, a drive path ("C:...")
// or an empty folder leave it as it is.
QString resolvedPicturePath(const QString &stored, const QString &folder);

// The path a design stores for the picture file `path`: relative to
// `folder` (with "/") when the file lies inside it, so that the folder can be
// copied with its pictures; otherwise as it is.
QString storedPicturePath(const QString &path, const QString &folder);

} // namespace qm
