// The editor core's pointer interaction: pressing, dragging and releasing
// on the workspace (moving, resizing and drawing elements) and the outlines
// drawn while the pointer is down.
#include "editorcore.h"
#include "editorparts.h"

#include "designs/barcode.h"
#include "editor/editorcommands.h"
#include "editor/elementedits.h"
#include "editor/zoomcanvas.h"
#include "platform/errors.h"
#include "platform/services.h"

namespace qm {

using editorparts::editorPen;
using editorparts::isTextKind;
using editorparts::tr;

namespace {

constexpr int BandColour = 14; // aqua
constexpr int BitmapBandColour = 9; // red
constexpr int RoundCorner = 10;

} // namespace

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

} // namespace qm
