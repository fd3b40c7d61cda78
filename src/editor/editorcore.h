#pragma once

#include "designs/design.h"
#include "designs/elementwriter.h"
#include "designs/rendering.h"
#include "editor/bitmapcache.h"
#include "editor/elementedits.h"
#include "editor/propertydialogs.h"
#include "editor/workspacedrawing.h"

#include <QList>
#include <QPoint>
#include <QRect>
#include <QSet>
#include <QSize>
#include <QUndoStack>

#include <array>
#include <functional>
#include <optional>

namespace qm {

class IFileDialogs;
class IMessages;
class ISettings;
class Error;

// The font of the font sample: the font new texts, fields and serial
// numbers take. Sizes in points, 6 to 100.
struct EditorFont
{
    QString face = QStringLiteral("Arial");
    int pointSize = 8;
    bool bold = false;
    bool italic = false;

    static constexpr int MinPointSize = 6;
    static constexpr int MaxPointSize = 100;

    // The character height in workspace pixels (96 per inch), negative as
    // the platform gives a font's height: 8 points give -11.
    int pixelHeight() const;
    bool operator==(const EditorFont &) const = default;
};

// The design editor without its window: the design, the tools, the pointer
// interaction on the workspace, the file commands and the undo stack. The
// window TEtiketteneditor translates its events into these calls and shows
// what the core holds; everything here is driven by the tests directly.
//
// Every change of the element table or of the header is a command on the
// undo stack; the stack's clean state is the design's saved state, so
// isModified() tells whether closing would lose work.
//
// Errors (a file that cannot be read or written, a cell that is not a
// number) are shown as error messages and end the current action; the
// design stays as it was.
class EditorCore
{
public:
    EditorCore(
        IMessages &messages, IFileDialogs &fileDialogs, ISettings &settings, IPropertyDialogs &dialogs);

    // ---- How the editor is opened (set before showing it modally)
    // "N" (main window, print run: a new design, or the file DATEINAME) or
    // "E" (creation wizard: a new design of the size set with
    // setLabelSize(), nothing loaded, "&Übernehmen" shown).
    void setModus(const QString &modus) { m_design.mode = modus; }
    QString modus() const { return m_design.mode; }
    // The design file to open in mode "N"; after "&Übernehmen" the file the
    // design was saved to.
    void setDateiname(const QString &path) { m_design.fileName = path; }
    QString dateiname() const { return m_design.fileName; }
    // The label size in millimetres (GrX, GrY), for mode "E". Sizes are
    // kept as the design file holds them, in steps of 0.4 mm (63,5 is
    // kept as 63,2: sizeTextOnGrid()), here and wherever a size is typed.
    void setLabelSize(const QString &widthMm, const QString &heightMm);
    // The size of a new design in mode "N" (no file given): the label size
    // of the sheet format used last; 70 x 37 mm until one is set. A design
    // of size 0 has no label to draw on.
    void setNewDesignSize(const QString &widthMm, const QString &heightMm);
    // Mode "E": the description the new design starts with and the size
    // dialog offers, the name of the works entry being made ("keine
    // Beschreibung" when empty).
    void setNewDescription(const QString &description) { m_newDescription = description; }
    // Mode "E", once after opening: "&Größe und Beschreibung ..." with the
    // label size and that description; confirmed values become the new
    // design's own (no undo step, nothing to save yet).
    void askSizeAndDescription();
    // The folder the open and save dialogs start in while the design has no
    // file of its own (the program's design folder); with a file, its folder.
    void setDesignDirectory(const QString &directory) { m_designDirectory = directory; }
    // The program directory: a picture chosen inside it is stored by a path
    // relative to it, and relative picture paths are read from it.
    void setPictureFolder(const QString &folder) { m_pictureFolder = folder; }
    QString dialogDirectory() const;
    // Whether "&Übernehmen" is offered (every mode but "N").
    bool takeOverShown() const { return m_design.mode != QStringLiteral("N"); }

    // Opening: settings read, tools reset, an empty element table, and in
    // a mode other than "E" the header reset and the file DATEINAME loaded.
    void FormShow();
    // Asks about unsaved changes (Ja saves, Nein drops them); false when
    // the user cancels or the save fails, so the editor stays open.
    bool FormCloseQuery();
    // Closing: writes the grid and click-area options to the settings.
    void FormClose();

    // ---- Tools and options
    int tool() const { return m_tool; }
    void setTool(int tool);
    // Pen style, colour and font are the current choice for new elements;
    // with an element selected, setting one also changes that element where
    // it has the property (one command each).
    int penStyle() const { return m_penStyle; }
    void setPenStyle(int style);
    int colour() const { return m_colour; }
    void setColour(int index);
    const EditorFont &font() const { return m_font; }
    void setFont(const EditorFont &font);
    WorkspaceSettings options() const { return m_options; }
    void setGridShown(bool shown) { m_options.grid = shown; }
    void setClickAreasShown(bool shown) { m_options.clickAreas = shown; }
    int scrollX() const { return m_scrollX; }
    int scrollY() const { return m_scrollY; }
    // Scroll offsets in whole centimetres: 0..20 across, 0..28 down.
    void setScroll(int x, int y);
    static constexpr int MaxScrollX = 20;
    static constexpr int MaxScrollY = 28;

    // ---- Zoom: a design unit is zoom() / 100 workspace pixels. Pointer
    // positions, the rubber band, the rulers, the grid, grips and click
    // areas all follow it; 100 % after opening.
    int zoom() const { return m_zoom; }
    void setZoom(int percent);
    // "Vergrößern" and "Verkleinern": the next of ZoomSteps.
    void zoomIn();
    void zoomOut();
    // Ctrl+wheel: the next step in or out; the scroll offsets move so that
    // the design point under the pointer stays as near to it as whole
    // centimetres allow.
    void zoomAt(bool in, QPoint pixel);
    // "Ganzes Etikett": the largest zoom at which the label with its
    // outline fits into width x height pixels, scrolled to its corner.
    void zoomToLabel(int width, int height);
    // The design point under a workspace pixel (the position display's).
    QPoint designPoint(QPoint pixel) const { return toDesign(pixel); }
    static constexpr int MinZoom = 25;
    static constexpr int MaxZoom = 800;
    static constexpr std::array<int, 10> ZoomSteps { 25, 50, 75, 100, 150, 200, 300, 400, 600, 800 };

    // ---- Size of the editor window, kept in the settings: the size
    // closed last (keys "EditorBreite", "EditorHoehe"), at least `smallest`.
    QSize windowSize(QSize smallest) const;
    // Written with the options when the editor closes.
    void setWindowSize(QSize size) { m_windowSize = size; }

    // ---- Pointer on the workspace, in workspace pixels
    void ArbeitMouseDown(QPoint pixel);
    // Updates the position texts; during a press the rubber band follows.
    void ArbeitMouseMove(QPoint pixel);
    // Ends the press: creates, moves, re-points, changes or deletes.
    void ArbeitMouseUp(QPoint pixel, Qt::KeyboardModifiers modifiers);
    bool isPressed() const { return m_drawing || m_moving || m_changing; }
    // MX and MY: the pointer's position in centimetres ("4,7").
    QString positionX() const { return m_positionX; }
    QString positionY() const { return m_positionY; }
    // Draws the rubber band of the press in progress over the picture of
    // the design; nothing before the pointer has moved.
    void drawRubberBand(ICanvas &canvas) const;
    // The grabbed row (1-based) of the press in progress, or -1.
    int selectedRow() const { return m_selected; }
    // A double click: with the move tool, selects the element under the
    // pointer and opens its property dialog (texts, fields, serial numbers).
    void ArbeitDoubleClick(QPoint pixel);

    // ---- Selection
    // The selected row (1-based), or -1: the element that a press with the
    // move or change tool hit last, on a grip point or inside its box. Its
    // grip points are drawn over the workspace. A row that undo took away
    // or that was deleted is no selection any more.
    int selection() const;
    void setSelection(int row);
    // Tab: the next element that is not deleted (the previous one going
    // backwards), round the end; the first one without a selection.
    void selectNext(bool backwards = false);
    // Entf: deletes the selected element (one command).
    void deleteSelected();
    // The arrow keys: moves the selected element by (dx, dy) design units,
    // or with `millimetres` by dx, dy steps to the next millimetre mark
    // (a millimetre is 2.5 units: the marks lie at Trunc(mm x 2.5)).
    void nudgeSelected(int dx, int dy, bool millimetres = false);
    // Ctrl+D: a copy of the selected element as the last row, shifted right
    // and down by DuplicateOffset units, and selected.
    void duplicateSelected();
    static constexpr int DuplicateOffset = 12;

    // ---- Drawing
    // The whole workspace of width x height pixels. A file or number error
    // is shown once for each design loaded or made; drawing stops there.
    void paintWorkspace(ICanvas &canvas, int width, int height);
    void paintRulers(ICanvas &top, ICanvas &left, int width, int height) const;
    // The label in design units, (0, 0) to its width and height, both
    // included (the outline's edges); empty when a size is not a number.
    QRect labelBox() const;
    // The rows (1-based) whose element lies wholly outside the label.
    QList<int> rowsOutsideLabel() const;
    // "Design-Experte [description]", or "Design-Experte" without one.
    QString caption() const;
    // What a date element shows; the system's short date by default.
    void setDateProvider(std::function<QString()> provider) { m_dateText = std::move(provider); }

    // ---- Commands of the menus
    // "&Neu": asks about unsaved changes, then for size and description.
    void newDesign();
    // "&Größe und Beschreibung ...". A typed size that is not a number is
    // refused with the conversion error; one off the 0.4 mm grid is kept
    // as the size it rounds down to, and the user is told so.
    void sizeAndDescription();
    // "&Öffnen ...": asks about unsaved changes, then for a file. A design
    // without a size (0 x 0, as older files may hold) is printed clipped
    // to the sheet's labels; opening one (here and in FormShow()) says so
    // and offers the size dialog.
    bool open();
    // "&Speichern": asks before replacing DATEINAME; without a file name
    // like saveAs(). True when the design was written.
    bool save();
    // "Speichern &unter ...".
    bool saveAs();
    // "&Übernehmen": true when the editor may close and hand DATEINAME to
    // the wizard.
    bool takeOver();
    void undo() { m_undo.undo(); }
    void redo() { m_undo.redo(); }

    bool isModified() const { return !m_undo.isClean(); }
    QUndoStack &undoStack() { return m_undo; }
    const Design &design() const { return m_design; }

    // The values the property dialogs showed last.
    const TextProperties &textProperties() const { return m_text; }
    const FieldProperties &fieldProperties() const { return m_field; }
    const SerialProperties &serialProperties() const { return m_serial; }
    const BarcodeProperties &barcodeProperties() const { return m_barcode; }

    // "keine Beschreibung" for a new design.
    static QString defaultDescription() { return Design::defaultDescription(); }

private:
    void report(const Error &error);
    // The description a new design is offered: see setNewDescription().
    QString newDescription() const;
    // Settings of the tools after opening and "&Neu".
    void resetTools();
    // The design replaced by another one (opened): no history, saved state.
    void replaceDesign(Design design);
    bool writeTo(const QString &path);
    // The size typed into the size dialog as it is kept (see
    // sizeAndDescription()); false when it is refused.
    bool takeTypedSize(SizeProperties &values);
    // After opening: a design without a size says so and offers the size
    // dialog.
    void offerSizeWhenNone();
    // Ja / Nein / Abbrechen over unsaved changes; true to go on.
    bool askToSaveChanges();
    // A workspace pixel at the zoom as a pixel at 100 % (a design unit
    // before the scroll offsets).
    QPoint toWorkspace(QPoint pixel) const;
    QPoint toDesign(QPoint pixel) const;
    QPoint toPixel(QPoint unit) const;
    EditorState creationState(int tool, QPoint start, QPoint end) const;

    // The row under the design point: a grip point first, then the box of
    // an element (the last drawn on top); -1 for none.
    GripHit hitAt(QPoint unit) const;
    // The property dialog of a text, field, serial or barcode row; true
    // when the row's kind has one.
    bool editProperties(int row);
    // Pushes a change of the selected row built by `change` (nothing when
    // nothing changes or there is no selection).
    void changeSelected(const std::function<void(Element &)> &change);
    void drawSelection(ICanvas &canvas) const;
    // The parts of elements beyond the label, hatched red.
    void drawOverhang(ICanvas &canvas) const;
    // After a save: says how many elements lie wholly outside the label.
    void warnAboutOutside();

    // `click`: released where it was pressed (give or take ClickSlack).
    void releaseChanging(QPoint unit, Qt::KeyboardModifiers modifiers, bool click);
    void releaseMoving(QPoint unit);
    void releaseDrawing(QPoint pixel);
    // Shows a barcode's properties and changes it when they are confirmed.
    void changeBarcode(int row);
    // Pushes the command unless it would change nothing.
    void pushReplace(int kind, int row, const Element &after);

    void drawMovedOutline(ICanvas &canvas, const Element &e, QPoint offset) const;

    IMessages &m_messages;
    IFileDialogs &m_fileDialogs;
    QString m_designDirectory;
    QString m_pictureFolder;
    QString m_newWidthMm = QStringLiteral("70");
    QString m_newHeightMm = QStringLiteral("37");
    QString m_newDescription;
    ISettings &m_settings;
    IPropertyDialogs &m_dialogs;
    std::function<QString()> m_dateText;

    Design m_design;
    QUndoStack m_undo;
    BitmapCache m_bitmaps;
    QSet<QString> m_reported;

    int m_tool = ToolMove;
    int m_penStyle = PenThin;
    int m_colour = 0;
    EditorFont m_font;
    WorkspaceSettings m_options;
    int m_scrollX = 0;
    int m_scrollY = 0;
    int m_zoom = 100;
    QSize m_windowSize;

    TextProperties m_text;
    FieldProperties m_field;
    SerialProperties m_serial;
    BarcodeProperties m_barcode;

    // The press in progress. m_start is in workspace pixels (at 100 %) while drawing
    // and the grabbed grip point (design units) while moving or changing.
    QPoint m_start;
    std::optional<QPoint> m_pointer; // last position of a move during the press
    QPoint m_pressPixel; // where the press began, in workspace pixels
    // How far a press may wander and still count as a click.
    static constexpr int ClickSlack = 2;
    int m_selected = -1;
    int m_selection = -1; // see selection()
    bool m_second = false;
    bool m_drawing = false;
    bool m_moving = false;
    bool m_changing = false;
    QString m_positionX = QStringLiteral("0,0");
    QString m_positionY = QStringLiteral("0,0");
};

} // namespace qm
