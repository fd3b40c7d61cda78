#include "editorcore.h"

#include "designs/barcode.h"
#include "designs/etifile.h"
#include "editor/editorcommands.h"
#include "editor/elementedits.h"
#include "editor/zoomcanvas.h"
#include "platform/errors.h"
#include "platform/services.h"
#include "platform/settings.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QRegion>

namespace qm {
namespace {

QString tr(const char *text)
{
    return QCoreApplication::translate("qm", text);
}

const QString Section = QStringLiteral("Parameter");
const QString GridKey = QStringLiteral("Gitter");
const QString ClickAreasKey = QStringLiteral("Klickflaechen");
const QString WidthKey = QStringLiteral("EditorBreite");
const QString HeightKey = QStringLiteral("EditorHoehe");
constexpr int MaxWindowSide = 10000;

constexpr int BandColour = 14; // aqua
constexpr int BitmapBandColour = 9; // red
constexpr int RoundCorner = 10;
constexpr int SelectionColour = 12; // blue
constexpr int GripHalf = 3; // a grip point is shown as a 7 x 7 square
constexpr int OverhangColour = 9; // red
constexpr int HatchStep = 6;

QString designFilter()
{
    return tr("Etikett bzw. Formular|*.eti|Alle Dateien|*.*");
}

// The editor's pen codes: 0 thin, 1 thick, 2 dotted; the colour from the
// table.
CanvasPen editorPen(int code, int colour)
{
    const QColor c = isColourIndex(colour) ? QColor::fromRgb(ColourTable[static_cast<size_t>(colour)])
                                           : QColor(Qt::black);
    switch (code) {
    case PenThick:
        return { c, PenStyle::Solid, 3 };
    case PenDashed:
        return { c, PenStyle::Dotted, 1 };
    default:
        return { c, PenStyle::Solid, 1 };
    }
}

bool isTextKind(QChar kind)
{
    return kind == ElementKind::Text || kind == ElementKind::Field || kind == ElementKind::Serial;
}

// The kinds with a pen code and a pen colour.
bool hasPen(QChar kind)
{
    return kind == ElementKind::Line || kind == ElementKind::Rectangle || kind == ElementKind::RoundRectangle
        || kind == ElementKind::Ellipse;
}

} // namespace

int EditorFont::pixelHeight() const
{
    // Points at 96 pixels per inch, rounded like the platform's MulDiv.
    return -((pointSize * 96 + 36) / 72);
}

EditorCore::EditorCore(
    IMessages &messages, IFileDialogs &fileDialogs, ISettings &settings, IPropertyDialogs &dialogs)
    : m_messages(messages)
    , m_fileDialogs(fileDialogs)
    , m_settings(settings)
    , m_dialogs(dialogs)
    , m_dateText([] { return shortDateText(); })
{
    m_design.mode = QStringLiteral("N");
    m_design.widthMm.clear();
    m_design.heightMm.clear();
}

void EditorCore::setLabelSize(const QString &widthMm, const QString &heightMm)
{
    m_design.widthMm = widthMm;
    m_design.heightMm = heightMm;
}

void EditorCore::setNewDesignSize(const QString &widthMm, const QString &heightMm)
{
    m_newWidthMm = widthMm;
    m_newHeightMm = heightMm;
}

void EditorCore::report(const Error &error)
{
    m_messages.show(MessageKind::Error, error.message(), MessageButton::Ok);
}

void EditorCore::resetTools()
{
    m_scrollX = 0;
    m_scrollY = 0;
    m_drawing = m_moving = m_changing = false;
    m_pointer.reset();
    m_selected = -1;
    m_selection = -1;
    m_tool = ToolMove;
    m_penStyle = PenThin;
    m_colour = 0;
    m_font.face = QStringLiteral("Arial");
    m_serial.serialNumber = true;
}

void EditorCore::FormShow()
{
    m_options.grid = m_settings.readBool(Section, GridKey, true);
    m_options.clickAreas = m_settings.readBool(Section, ClickAreasKey, false);
    resetTools();
    m_zoom = 100;
    m_undo.clear();
    m_reported.clear();
    m_bitmaps.clear();
    m_design.elements.clear();
    if (m_design.mode == QStringLiteral("E")) {
        m_design.description = newDescription();
        return;
    }
    m_design.widthMm = m_newWidthMm;
    m_design.heightMm = m_newHeightMm;
    m_design.description = Design::defaultDescription();
    if (m_design.fileName.isEmpty())
        return;
    Design loaded = m_design;
    try {
        const EtiLoadResult result = Eladen(m_design.fileName, loaded);
        m_design = std::move(loaded);
        if (result.oldBitmapRecord)
            m_messages.show(MessageKind::Information, oldBitmapMessage(), MessageButton::Ok);
    } catch (const Error &e) {
        report(e);
        // The file could not be read: an empty design under its name would
        // replace it at the next "Speichern".
        m_design.fileName.clear();
    }
}

bool EditorCore::FormCloseQuery()
{
    return askToSaveChanges();
}

void EditorCore::FormClose()
{
    try {
        m_settings.writeBool(Section, GridKey, m_options.grid);
        m_settings.writeBool(Section, ClickAreasKey, m_options.clickAreas);
        if (m_windowSize.isValid()) {
            m_settings.writeInteger(Section, WidthKey, m_windowSize.width());
            m_settings.writeInteger(Section, HeightKey, m_windowSize.height());
        }
    } catch (const Error &e) {
        report(e);
    }
}

void EditorCore::setTool(int tool)
{
    if ((tool >= ToolMove && tool <= ToolEllipse) || tool == ToolChange || tool == ToolBarcode)
        m_tool = tool;
}

void EditorCore::setPenStyle(int style)
{
    if (style < PenThin || style > PenDashed)
        return;
    m_penStyle = style;
    changeSelected([style](Element &e) {
        if (hasPen(e.kind))
            e.cells[Col::Pen] = QString::number(style);
    });
}

void EditorCore::setColour(int index)
{
    if (!isColourIndex(index))
        return;
    m_colour = index;
    changeSelected([index](Element &e) {
        if (hasPen(e.kind))
            e.cells[Col::PenColour] = QString::number(index);
        else if (isTextKind(e.kind))
            e.cells[Col::Colour] = QString::number(index);
    });
}

void EditorCore::setFont(const EditorFont &font)
{
    m_font = font;
    m_font.pointSize = std::clamp(font.pointSize, EditorFont::MinPointSize, EditorFont::MaxPointSize);
    const EditorFont chosen = m_font;
    changeSelected([&chosen](Element &e) {
        if (!isTextKind(e.kind))
            return;
        e.cells[Col::Font] = chosen.face;
        e.cells[Col::Height] = QString::number(-chosen.pixelHeight()); // as a new text stores it
        e.cells[Col::Bold] = chosen.bold ? QStringLiteral("1") : QStringLiteral("0");
        e.cells[Col::Italic] = chosen.italic ? QStringLiteral("1") : QStringLiteral("0");
    });
}

void EditorCore::changeSelected(const std::function<void(Element &)> &change)
{
    const int row = selection();
    if (row < 0)
        return;
    Element changed = m_design.element(row);
    change(changed);
    pushReplace(ChangeElementId, row, changed);
}

// ---------------------------------------------------------------------------
// Selection

int EditorCore::selection() const
{
    if (m_selection < 1 || m_selection > m_design.count()
        || m_design.element(m_selection).kind == ElementKind::Deleted)
        return -1;
    return m_selection;
}

void EditorCore::setSelection(int row)
{
    m_selection = row;
    m_selection = selection();
}

void EditorCore::selectNext(bool backwards)
{
    const int count = m_design.count();
    if (count == 0)
        return;
    int row = selection();
    if (row < 0)
        row = backwards ? count + 1 : 0;
    for (int step = 0; step < count; ++step) {
        row = backwards ? (row <= 1 ? count : row - 1) : (row >= count ? 1 : row + 1);
        if (m_design.element(row).kind != ElementKind::Deleted) {
            m_selection = row;
            return;
        }
    }
}

void EditorCore::deleteSelected()
{
    const int row = selection();
    if (row < 0)
        return;
    m_undo.push(new DeleteElementCommand(m_design, row));
    m_selection = -1;
}

void EditorCore::nudgeSelected(int dx, int dy, bool millimetres)
{
    const int row = selection();
    if (row < 0 || (dx == 0 && dy == 0))
        return;
    try {
        const Element &e = m_design.element(row);
        if (millimetres) {
            const QPoint at = firstGrip(e);
            dx = dx == 0 ? 0 : millimetreStep(at.x(), dx);
            dy = dy == 0 ? 0 : millimetreStep(at.y(), dy);
        }
        pushReplace(MoveElementId, row, movedElement(e, dx, dy));
    } catch (const Error &error) {
        report(error);
    }
}

void EditorCore::duplicateSelected()
{
    const int row = selection();
    if (row < 0)
        return;
    try {
        const Element copy = movedElement(m_design.element(row), DuplicateOffset, DuplicateOffset);
        m_undo.push(new CreateElementCommand(m_design, copy));
        m_selection = m_design.count();
    } catch (const Error &error) {
        report(error);
    }
}

GripHit EditorCore::hitAt(QPoint unit) const
{
    const GripHit grip = findGrip(m_design, unit);
    if (grip.row >= 0)
        return grip;
    return { findElementAt(m_design, unit), false };
}

void EditorCore::ArbeitDoubleClick(QPoint pixel)
{
    if (m_tool != ToolMove || isPressed())
        return;
    try {
        const GripHit hit = hitAt(toDesign(pixel));
        if (hit.row < 0)
            return;
        m_selection = hit.row;
        editProperties(hit.row);
    } catch (const Error &e) {
        report(e);
    }
}

void EditorCore::setScroll(int x, int y)
{
    m_scrollX = std::clamp(x, 0, MaxScrollX);
    m_scrollY = std::clamp(y, 0, MaxScrollY);
}

QPoint EditorCore::toWorkspace(QPoint pixel) const
{
    // Floor division, so that the pixels left of 0 do not count as 0.
    const auto unzoomed = [this](int value) {
        const qint64 product = static_cast<qint64>(value) * 100;
        qint64 q = product / m_zoom;
        if (product % m_zoom != 0 && product < 0)
            --q;
        return static_cast<int>(q);
    };
    return { unzoomed(pixel.x()), unzoomed(pixel.y()) };
}

QPoint EditorCore::toDesign(QPoint pixel) const
{
    return workspaceToDesign(toWorkspace(pixel), m_scrollX, m_scrollY);
}

void EditorCore::setZoom(int percent)
{
    m_zoom = std::clamp(percent, MinZoom, MaxZoom);
}

void EditorCore::zoomIn()
{
    const auto next = std::upper_bound(ZoomSteps.begin(), ZoomSteps.end(), m_zoom);
    setZoom(next == ZoomSteps.end() ? MaxZoom : *next);
}

void EditorCore::zoomOut()
{
    const auto next = std::lower_bound(ZoomSteps.begin(), ZoomSteps.end(), m_zoom);
    setZoom(next == ZoomSteps.begin() ? MinZoom : *(next - 1));
}

void EditorCore::zoomAt(bool in, QPoint pixel)
{
    const QPoint unit = toDesign(pixel);
    if (in)
        zoomIn();
    else
        zoomOut();
    // The scroll offset (whole centimetres) that brings the design point
    // nearest to the pointer again.
    const auto offset = [&](int designUnit, int pixelAt) {
        const int left = designUnit - static_cast<int>(static_cast<qint64>(pixelAt) * 100 / m_zoom);
        return left <= 0 ? 0 : (left + UnitsPerCm / 2) / UnitsPerCm;
    };
    setScroll(offset(unit.x(), pixel.x()), offset(unit.y(), pixel.y()));
}

void EditorCore::zoomToLabel(int width, int height)
{
    int labelWidth = 0;
    int labelHeight = 0;
    try {
        labelWidth = static_cast<int>(std::min<qint64>(m_design.widthUnits(), 1 << 20));
        labelHeight = static_cast<int>(std::min<qint64>(m_design.heightUnits(), 1 << 20));
    } catch (const Error &e) {
        report(e);
        return;
    }
    setScroll(0, 0);
    if (labelWidth <= 0 || labelHeight <= 0 || width <= 0 || height <= 0) {
        setZoom(100);
        return;
    }
    // The outline's right and bottom edge (one pixel more) stay inside.
    const qint64 across = static_cast<qint64>(width - 1) * 100 / labelWidth;
    const qint64 down = static_cast<qint64>(height - 1) * 100 / labelHeight;
    setZoom(static_cast<int>(std::clamp<qint64>(std::min(across, down), MinZoom, MaxZoom)));
}

QSize EditorCore::windowSize(QSize smallest) const
{
    const int width = m_settings.readInteger(Section, WidthKey, smallest.width());
    const int height = m_settings.readInteger(Section, HeightKey, smallest.height());
    return { std::clamp(width, smallest.width(), MaxWindowSide),
        std::clamp(height, smallest.height(), MaxWindowSide) };
}

QPoint EditorCore::toPixel(QPoint unit) const
{
    return designToWorkspace(unit, m_scrollX, m_scrollY);
}

// ---------------------------------------------------------------------------
// Pointer

void EditorCore::ArbeitMouseDown(QPoint pixel)
{
    m_start = toWorkspace(pixel);
    m_pressPixel = pixel;
    m_pointer.reset();
    m_selected = -1;
    m_drawing = true;
    m_moving = m_changing = false;
    if (m_tool != ToolMove && m_tool != ToolChange)
        return;
    m_selection = -1;
    try {
        const QPoint unit = toDesign(pixel);
        const GripHit grip = findGrip(m_design, unit);
        if (grip.row < 0) {
            // Inside an element's box: selected, and the move tool moves it
            // from the point grabbed.
            const int row = findElementAt(m_design, unit);
            if (row < 0)
                return;
            m_selection = row;
            m_drawing = false;
            if (m_tool == ToolMove) {
                m_selected = row;
                m_start = unit;
                m_moving = true;
            }
            return;
        }
        const Element &e = m_design.element(grip.row);
        m_selected = grip.row;
        m_selection = grip.row;
        m_second = grip.second;
        m_start = grip.second ? secondGrip(e) : firstGrip(e);
        m_drawing = false;
        m_moving = m_tool == ToolMove;
        m_changing = m_tool == ToolChange;
    } catch (const Error &e) {
        m_drawing = false;
        m_selected = -1;
        report(e);
    }
}

void EditorCore::ArbeitMouseMove(QPoint pixel)
{
    const QPoint unit = toDesign(pixel);
    m_positionX = positionText(unit.x());
    m_positionY = positionText(unit.y());
    if (isPressed())
        m_pointer = toWorkspace(pixel);
}

void EditorCore::ArbeitMouseUp(QPoint pixel, Qt::KeyboardModifiers modifiers)
{
    const QPoint unit = toDesign(pixel);
    try {
        if (m_changing)
            releaseChanging(unit, modifiers, (pixel - m_pressPixel).manhattanLength() <= ClickSlack);
        else if (m_moving)
            releaseMoving(unit);
        else if (m_drawing)
            releaseDrawing(toWorkspace(pixel));
    } catch (const Error &e) {
        report(e);
    }
    m_drawing = m_moving = m_changing = false;
    m_pointer.reset();
    m_selected = -1;
}

void EditorCore::pushReplace(int kind, int row, const Element &after)
{
    if (after == m_design.element(row))
        return;
    switch (kind) {
    case MoveElementId:
        m_undo.push(new MoveElementCommand(m_design, row, after));
        break;
    case RepointElementId:
        m_undo.push(new RepointElementCommand(m_design, row, after));
        break;
    default:
        m_undo.push(new ChangeElementCommand(m_design, row, after));
        break;
    }
}

void EditorCore::releaseChanging(QPoint unit, Qt::KeyboardModifiers modifiers, bool click)
{
    if ((modifiers & (Qt::ControlModifier | Qt::ShiftModifier | Qt::AltModifier)) == Qt::ControlModifier) {
        m_undo.push(new DeleteElementCommand(m_design, m_selected));
        return;
    }
    const Element &e = m_design.element(m_selected);
    // A barcode clicked without moving shows its properties; dragged, a
    // grip moves like a rectangle's.
    if (e.kind == ElementKind::Barcode && click) {
        editProperties(m_selected);
        return;
    }
    if (hasSecondGrip(e.kind)) {
        pushReplace(RepointElementId, m_selected, repointedElement(e, m_second, unit));
        return;
    }
    editProperties(m_selected);
}

bool EditorCore::editProperties(int row)
{
    const Element e = m_design.element(row);
    // A rewritten element keeps its own reference point, whatever the
    // scroll offsets.
    const auto rewritten = [&](int tool) {
        Element fresh = elementFromEditorState(creationState(tool, {}, {}));
        fresh.cells[Col::X] = e.cells[Col::X];
        fresh.cells[Col::Y] = e.cells[Col::Y];
        return fresh;
    };
    Element changed = e;
    if (e.kind == ElementKind::Text) {
        m_text = { e.cell(Col::Text), e.cell(Col::Rotation), false, true };
        if (!m_dialogs.editText(m_text))
            return true;
        if (m_text.takeCurrent) {
            changed = rewritten(ToolText);
        } else {
            changed.cells[Col::Rotation] = m_text.rotation;
            changed.cells[Col::Text] = m_text.text;
        }
    } else if (e.kind == ElementKind::Field) {
        m_field = { e.cell(Col::FieldName), e.cell(Col::FieldSize), e.cell(Col::Rotation), false, true };
        if (!m_dialogs.editField(m_field))
            return true;
        if (m_field.takeCurrent) {
            changed = rewritten(ToolField);
        } else {
            changed.cells[Col::Rotation] = m_field.rotation;
            changed.cells[Col::FieldName] = m_field.name;
            changed.cells[Col::FieldSize] = m_field.size;
        }
    } else if (e.kind == ElementKind::Serial) {
        m_serial = { e.cell(Col::Mode) == u"1", e.cell(Col::TextBefore), e.cell(Col::TextAfter),
            e.cell(Col::Rotation), false, true };
        if (!m_dialogs.editSerial(m_serial))
            return true;
        if (m_serial.takeCurrent) {
            changed = rewritten(ToolSerial);
        } else {
            changed.cells[Col::Rotation] = m_serial.rotation;
            changed.cells[Col::Mode] = m_serial.serialNumber ? QStringLiteral("1") : QStringLiteral("0");
            changed.cells[Col::TextBefore] = m_serial.before;
            changed.cells[Col::TextAfter] = m_serial.after;
        }
    } else if (e.kind == ElementKind::Barcode) {
        changeBarcode(row);
        return true;
    } else {
        return false;
    }
    pushReplace(ChangeElementId, row, changed);
    return true;
}

void EditorCore::changeBarcode(int row)
{
    const Element e = m_design.element(row);
    bool number = false;
    const int kind = e.cell(Col::Symbology).trimmed().toInt(&number);
    const bool known = number && symbologyOf(kind);
    m_barcode.kind = known ? kind : 0;
    m_barcode.name = e.cell(Col::BarcodeField);
    m_barcode.size = e.cell(Col::BarcodeSize).isEmpty() ? QStringLiteral("12") : e.cell(Col::BarcodeSize);
    if (!m_dialogs.editBarcode(m_barcode))
        return;
    Element changed = e;
    // A kind the dialog does not know stays as the file had it unless
    // another one was chosen.
    if (known || m_barcode.kind != 0)
        changed.cells[Col::Symbology] = QString::number(m_barcode.kind);
    changed.cells[Col::BarcodeField] = m_barcode.name;
    if (!(e.cell(Col::BarcodeSize).isEmpty() && m_barcode.size == u"12"))
        changed.cells[Col::BarcodeSize] = m_barcode.size;
    pushReplace(ChangeElementId, row, changed);
}

void EditorCore::releaseMoving(QPoint unit)
{
    const Element &e = m_design.element(m_selected);
    pushReplace(MoveElementId, m_selected, movedElement(e, unit.x() - m_start.x(), unit.y() - m_start.y()));
}

EditorState EditorCore::creationState(int tool, QPoint start, QPoint end) const
{
    EditorState s;
    s.tool = tool;
    s.penStyle = m_penStyle;
    s.colour = m_colour;
    s.fontFace = m_font.face;
    s.fontHeight = m_font.pixelHeight();
    s.bold = m_font.bold;
    s.italic = m_font.italic;
    s.scrollX = m_scrollX;
    s.scrollY = m_scrollY;
    s.x1 = start.x();
    s.y1 = start.y();
    s.x2 = end.x();
    s.y2 = end.y();
    s.text = m_text.text;
    s.textRotation = m_text.rotation;
    s.fieldName = m_field.name;
    s.fieldSize = m_field.size;
    s.fieldRotation = m_field.rotation;
    s.serialNumber = m_serial.serialNumber;
    s.textBefore = m_serial.before;
    s.textAfter = m_serial.after;
    s.serialRotation = m_serial.rotation;
    s.barcodeKind = m_barcode.kind;
    s.barcodeField = m_barcode.name;
    s.barcodeSize = m_barcode.size;
    return s;
}

void EditorCore::releaseDrawing(QPoint pixel)
{
    QString bitmapPath;
    bool confirmed = false;
    switch (m_tool) {
    case ToolLine:
    case ToolRectangle:
    case ToolRoundRectangle:
    case ToolEllipse:
        confirmed = true;
        break;
    case ToolText:
        m_text.takeCurrent = true;
        m_text.takeCurrentEnabled = false;
        confirmed = m_dialogs.editText(m_text);
        m_text.takeCurrent = false;
        m_text.takeCurrentEnabled = true;
        break;
    case ToolField:
        m_field.takeCurrent = true;
        m_field.takeCurrentEnabled = false;
        confirmed = m_dialogs.editField(m_field);
        m_field.takeCurrent = false;
        m_field.takeCurrentEnabled = true;
        break;
    case ToolSerial:
        m_serial.takeCurrent = true;
        m_serial.takeCurrentEnabled = false;
        confirmed = m_dialogs.editSerial(m_serial);
        m_serial.takeCurrent = false;
        m_serial.takeCurrentEnabled = true;
        break;
    case ToolBarcode:
        confirmed = m_dialogs.editBarcode(m_barcode);
        break;
    case ToolGraphic:
        bitmapPath = m_fileDialogs.open(tr("Bitmap-Grafik hinzufügen"),
            tr("Bilder (*.png *.jpg *.jpeg *.gif *.svg *.bmp)|*.png;*.jpg;*.jpeg;*.gif;*.svg;*.bmp|"
               "Bitmap-Grafik (*.bmp)|*.bmp|Alle Dateien (*.*)|*.*"),
            QStringLiteral("bmp"));
        if (bitmapPath.isEmpty())
            return;
        readBitmapFile(bitmapPath); // an unreadable file is reported, nothing appended
        confirmed = true;
        break;
    default:
        return;
    }
    if (!confirmed)
        return;
    // With the dialog's values as confirmed.
    EditorState state = creationState(m_tool, m_start, pixel);
    state.bitmapFile = storedPicturePath(bitmapPath, m_pictureFolder);
    m_undo.push(new CreateElementCommand(m_design, elementFromEditorState(state)));
}

void EditorCore::drawMovedOutline(ICanvas &canvas, const Element &e, QPoint offset) const
{
    const QPoint a = toPixel(firstGrip(e)) + offset;
    if (isTextKind(e.kind)) {
        WorkspaceFont font;
        font.face = e.cell(Col::Font);
        font.bold = e.cell(Col::Bold) == u"1";
        font.italic = e.cell(Col::Italic) == u"1";
        font.colour = QColor::fromRgb(ColourTable[BandColour]);
        const int height = e.number(Col::Height);
        font.height = height;
        QString text;
        if (e.kind == ElementKind::Text)
            text = e.cell(Col::Text);
        else if (e.kind == ElementKind::Field)
            text = e.cell(Col::FieldName) + u'[' + e.cell(Col::FieldSize) + u']';
        else if (e.cell(Col::Mode) == u"1")
            text = e.cell(Col::TextBefore) + QStringLiteral("######") + e.cell(Col::TextAfter);
        else
            text = m_dateText();
        DC_TEXTOUT(canvas, font, a.x(), a.y(), text, -height, e.number(Col::Rotation));
        return;
    }
    const QPoint b = toPixel(secondGrip(e)) + offset;
    if (e.kind == ElementKind::Line) {
        canvas.moveTo(a.x(), a.y());
        canvas.lineTo(b.x(), b.y());
    } else if (e.kind == ElementKind::RoundRectangle) {
        canvas.roundRect(a.x(), a.y(), b.x(), b.y(), RoundCorner, RoundCorner);
    } else if (e.kind == ElementKind::Ellipse) {
        drawEllipse(canvas, a.x(), a.y(), b.x(), b.y());
    } else if (hasSecondGrip(e.kind)) {
        canvas.rectangle(a.x(), a.y(), b.x(), b.y());
    }
}

void EditorCore::drawRubberBand(ICanvas &device) const
{
    if (!m_pointer)
        return;
    ZoomCanvas canvas(device, m_zoom);
    const QPoint p = *m_pointer;
    canvas.setHollowBrush();
    try {
        if (m_changing || m_moving) {
            const Element &e = m_design.element(m_selected);
            canvas.setPen(editorPen(PenDashed, BandColour));
            if (m_moving) {
                drawMovedOutline(canvas, e, p - toPixel(m_start));
            } else if (hasSecondGrip(e.kind)) {
                // The grabbed point follows the pointer, the other one stays.
                Element changed = repointedElement(e, m_second, workspaceToDesign(p, m_scrollX, m_scrollY));
                drawMovedOutline(canvas, changed, {});
            }
            return;
        }
        if (!m_drawing)
            return;
        const QPoint s = m_start;
        switch (m_tool) {
        case ToolLine:
            canvas.setPen(editorPen(m_penStyle, m_colour));
            canvas.moveTo(s.x(), s.y());
            canvas.lineTo(p.x(), p.y());
            break;
        case ToolRectangle:
            canvas.setPen(editorPen(m_penStyle, m_colour));
            canvas.rectangle(s.x(), s.y(), p.x(), p.y());
            break;
        case ToolRoundRectangle:
            canvas.setPen(editorPen(m_penStyle, m_colour));
            canvas.roundRect(s.x(), s.y(), p.x(), p.y(), RoundCorner, RoundCorner);
            break;
        case ToolEllipse:
            canvas.setPen(editorPen(m_penStyle, m_colour));
            drawEllipse(canvas, s.x(), s.y(), p.x(), p.y());
            break;
        case ToolGraphic:
            canvas.setPen(editorPen(PenDashed, BitmapBandColour));
            canvas.rectangle(s.x(), s.y(), p.x(), p.y());
            break;
        default:
            break;
        }
    } catch (const Error &) {
        // A cell that is not a number has been reported at the press; the
        // band shows nothing for it.
    }
}

// ---------------------------------------------------------------------------
// Drawing

void EditorCore::paintWorkspace(ICanvas &canvas, int width, int height)
{
    try {
        ZoomCanvas zoomed(canvas, m_zoom);
        CachedBitmapCanvas cached(zoomed, m_bitmaps, m_pictureFolder);
        // The area in workspace units, rounded up to cover every pixel.
        const int unitsAcross = static_cast<int>((static_cast<qint64>(width) * 100 + m_zoom - 1) / m_zoom);
        const int unitsDown = static_cast<int>((static_cast<qint64>(height) * 100 + m_zoom - 1) / m_zoom);
        ArbeitsbereichAnzeigen(
            cached, m_design, m_options, m_scrollX, m_scrollY, unitsAcross, unitsDown, m_dateText());
        drawOverhang(canvas);
        drawSelection(canvas);
    } catch (const Error &e) {
        if (!m_reported.contains(e.message())) {
            m_reported.insert(e.message());
            report(e);
        }
    }
}

QRect EditorCore::labelBox() const
{
    try {
        const qint64 width = m_design.widthUnits();
        const qint64 height = m_design.heightUnits();
        if (width <= 0 || height <= 0)
            return {};
        // The outline's right and bottom edge belong to the label.
        return { 0, 0, static_cast<int>(std::min<qint64>(width, 1 << 24)) + 1,
            static_cast<int>(std::min<qint64>(height, 1 << 24)) + 1 };
    } catch (const Error &) {
        return {};
    }
}

QList<int> EditorCore::rowsOutsideLabel() const
{
    QList<int> rows;
    const QRect label = labelBox();
    if (label.isEmpty())
        return rows;
    for (int row = 1; row <= m_design.count(); ++row) {
        try {
            const QRect box = elementBox(m_design.element(row));
            if (!box.isEmpty() && !box.intersects(label))
                rows << row;
        } catch (const Error &) {
            // A cell that is not a number: reported when drawn.
        }
    }
    return rows;
}

void EditorCore::drawOverhang(ICanvas &canvas) const
{
    const QRect label = labelBox();
    if (label.isEmpty())
        return;
    const auto device = [this](QPoint unit) {
        const QPoint p = toPixel(unit);
        return QPoint(ZoomCanvas::scaled(p.x(), m_zoom), ZoomCanvas::scaled(p.y(), m_zoom));
    };
    const QRegion inside(
        QRect(device(label.topLeft()), device(label.bottomRight() + QPoint(1, 1)) - QPoint(1, 1)));
    canvas.setPen(CanvasPen { QColor::fromRgb(ColourTable[OverhangColour]), PenStyle::Solid, 0 });
    for (const Element &e : m_design.elements) {
        const QRect box = elementBox(e);
        if (box.isEmpty() || label.contains(box))
            continue;
        const QRect shown(device(box.topLeft()), device(box.bottomRight() + QPoint(1, 1)) - QPoint(1, 1));
        for (const QRect &part : QRegion(shown).subtracted(inside)) {
            canvas.save();
            canvas.clipRect(part.left(), part.top(), part.right() + 1, part.bottom() + 1);
            // Lines rising to the right, HatchStep pixels apart.
            const int h = part.height();
            const int from = part.left() - h;
            for (int x = from - ((from % HatchStep) + HatchStep) % HatchStep; x <= part.right();
                 x += HatchStep) {
                canvas.moveTo(x, part.bottom() + 1);
                canvas.lineTo(x + h + 1, part.top());
            }
            canvas.restore();
        }
    }
}

void EditorCore::warnAboutOutside()
{
    const qsizetype outside = rowsOutsideLabel().size();
    if (outside == 0)
        return;
    m_messages.show(MessageKind::Information,
        outside == 1
            ? tr("Ein Objekt liegt ganz außerhalb des Etiketts und wird nicht gedruckt.")
            : tr("%1 Objekte liegen ganz außerhalb des Etiketts und werden nicht gedruckt.").arg(outside),
        MessageButton::Ok);
}

void EditorCore::drawSelection(ICanvas &canvas) const
{
    const int row = selection();
    if (row < 0)
        return;
    const Element &e = m_design.element(row);
    std::vector<QPoint> grips { firstGrip(e) };
    if (hasSecondGrip(e.kind))
        grips.push_back(secondGrip(e));
    const QColor colour = QColor::fromRgb(ColourTable[SelectionColour]);
    for (const QPoint &grip : grips) {
        // Grips keep their size at every zoom.
        const QPoint unit = toPixel(grip);
        const QPoint at(ZoomCanvas::scaled(unit.x(), m_zoom), ZoomCanvas::scaled(unit.y(), m_zoom));
        canvas.fillRect(
            at.x() - GripHalf, at.y() - GripHalf, at.x() + GripHalf + 1, at.y() + GripHalf + 1, colour);
    }
    const QRect box = elementBox(e);
    if (!box.isEmpty() && !hasSecondGrip(e.kind)) {
        const QPoint a = toPixel(box.topLeft());
        const QPoint b = toPixel(box.bottomRight());
        ZoomCanvas zoomed(canvas, m_zoom);
        zoomed.setHollowBrush();
        zoomed.setPen(editorPen(PenDashed, SelectionColour));
        zoomed.rectangle(a.x() - 1, a.y() - 1, b.x() + 2, b.y() + 2);
    }
}

void EditorCore::paintRulers(ICanvas &top, ICanvas &left, int width, int height) const
{
    LinealLoeschen(top, left, width, height);
    // Stretched along the ruler only; the lettering keeps its size.
    ZoomCanvas across(top, m_zoom, 100, 100);
    ZoomCanvas down(left, 100, m_zoom, 100);
    const int unitsAcross = static_cast<int>((static_cast<qint64>(width) * 100 + m_zoom - 1) / m_zoom);
    const int unitsDown = static_cast<int>((static_cast<qint64>(height) * 100 + m_zoom - 1) / m_zoom);
    LinealAnzeigen(across, down, unitsAcross, unitsDown, m_scrollX, m_scrollY);
}

QString EditorCore::caption() const
{
    const QString base = tr("Design-Experte");
    return m_design.description.isEmpty() ? base : base + QStringLiteral(" [") + m_design.description + u']';
}

// ---------------------------------------------------------------------------
// Commands

bool EditorCore::askToSaveChanges()
{
    if (!isModified())
        return true;
    const MessageButton answer
        = m_messages.show(MessageKind::Confirmation, tr("Sollen die Änderungen gespeichert werden ?"),
            MessageButton::Yes | MessageButton::No | MessageButton::Cancel);
    if (answer == MessageButton::No)
        return true;
    if (answer != MessageButton::Yes)
        return false;
    return m_design.fileName.isEmpty() ? saveAs() : writeTo(m_design.fileName);
}

void EditorCore::newDesign()
{
    if (!askToSaveChanges())
        return;
    SizeProperties values { QString(), QString(), newDescription() };
    if (!m_dialogs.editSize(values))
        return;
    Design fresh;
    fresh.description = values.description;
    fresh.widthMm = values.width;
    fresh.heightMm = values.height;
    fresh.mode = m_design.mode;
    m_undo.push(new NewDesignCommand(m_design, std::move(fresh)));
    resetTools();
    m_reported.clear();
}

QString EditorCore::newDescription() const
{
    if (m_design.mode == QStringLiteral("E") && !m_newDescription.trimmed().isEmpty())
        return m_newDescription;
    return Design::defaultDescription();
}

void EditorCore::askSizeAndDescription()
{
    SizeProperties values { m_design.widthMm, m_design.heightMm, m_design.description };
    if (!m_dialogs.editSize(values))
        return;
    try {
        // Refused before it becomes the design's size.
        sizeUnitsValue(values.width);
        sizeUnitsValue(values.height);
    } catch (const Error &e) {
        report(e);
        return;
    }
    m_design.widthMm = values.width;
    m_design.heightMm = values.height;
    m_design.description = values.description;
}

void EditorCore::sizeAndDescription()
{
    SizeProperties values { m_design.widthMm, m_design.heightMm, m_design.description };
    if (!m_dialogs.editSize(values))
        return;
    if (values.width == m_design.widthMm && values.height == m_design.heightMm
        && values.description == m_design.description)
        return;
    m_undo.push(new SizeDescriptionCommand(m_design, values.width, values.height, values.description));
}

void EditorCore::replaceDesign(Design design)
{
    m_design = std::move(design);
    m_selection = -1;
    m_undo.clear();
    m_reported.clear();
}

QString EditorCore::dialogDirectory() const
{
    if (!m_design.fileName.isEmpty()) {
        const QFileInfo file(m_design.fileName);
        if (file.dir().exists())
            return file.absolutePath();
    }
    return m_designDirectory;
}

bool EditorCore::open()
{
    if (!askToSaveChanges())
        return false;
    const QString path
        = m_fileDialogs.open(tr("Öffnen"), designFilter(), QStringLiteral("*.eti"), dialogDirectory());
    if (path.isEmpty())
        return false;
    Design loaded = m_design;
    EtiLoadResult result;
    try {
        result = Eladen(path, loaded);
    } catch (const Error &e) {
        report(e);
        return false;
    }
    loaded.fileName = path;
    replaceDesign(std::move(loaded));
    if (result.oldBitmapRecord)
        m_messages.show(MessageKind::Information, oldBitmapMessage(), MessageButton::Ok);
    return true;
}

bool EditorCore::writeTo(const QString &path)
{
    try {
        Espeichern(path, m_design);
    } catch (const Error &e) {
        report(e);
        return false;
    }
    m_design.fileName = path;
    m_undo.setClean();
    warnAboutOutside();
    return true;
}

bool EditorCore::saveAs()
{
    const QString path = m_fileDialogs.save(
        tr("Speichern unter"), designFilter(), QStringLiteral("*.eti"), dialogDirectory());
    if (path.isEmpty())
        return false;
    return writeTo(path);
}

bool EditorCore::save()
{
    if (m_design.fileName.isEmpty())
        return saveAs();
    const MessageButton answer = m_messages.show(MessageKind::Warning,
        tr("Sollen alle Änderungen wirklich in ") + m_design.fileName + tr(" gespeichert werden ?"),
        MessageButton::Yes | MessageButton::No);
    if (answer != MessageButton::Yes)
        return false;
    return writeTo(m_design.fileName);
}

bool EditorCore::takeOver()
{
    if (m_design.fileName.isEmpty()) {
        m_messages.show(MessageKind::Information,
            tr("Keine Etiketten- bzw. Formulardatei geladen oder gespeichert !"), MessageButton::Ok);
        return false;
    }
    const MessageButton answer = m_messages.show(MessageKind::Warning,
        tr("Sollen alle Änderungen wirklich in ") + m_design.fileName + tr(" gespeichert werden ?"),
        MessageButton::Yes | MessageButton::No);
    if (answer == MessageButton::Yes)
        return writeTo(m_design.fileName);
    return true;
}

} // namespace qm
