#include "elementwriter.h"

#include <algorithm>

namespace qm {
namespace {

QString num(int value)
{
    return QString::number(value);
}

// Columns 4..8 of a text, field or serial element.
void writeFontColumns(Element &e, const EditorState &s)
{
    e.cells[Col::Height] = num(-s.fontHeight);
    e.cells[Col::Bold] = s.bold ? QStringLiteral("1") : QStringLiteral("0");
    e.cells[Col::Italic] = s.italic ? QStringLiteral("1") : QStringLiteral("0");
    e.cells[Col::Colour] = num(s.colour);
    e.cells[Col::Font] = s.fontFace;
}

} // namespace

Element elementFromEditorState(const EditorState &s)
{
    const QPoint p1 = workspaceToDesign(QPoint(s.x1, s.y1), s.scrollX, s.scrollY);
    const QPoint p2 = workspaceToDesign(QPoint(s.x2, s.y2), s.scrollX, s.scrollY);
    Element e;
    switch (s.tool) {
    case ToolLine:
    case ToolRectangle:
    case ToolRoundRectangle:
    case ToolEllipse:
        e.kind = s.tool == ToolLine        ? ElementKind::Line
            : s.tool == ToolRectangle      ? ElementKind::Rectangle
            : s.tool == ToolRoundRectangle ? ElementKind::RoundRectangle
                                           : ElementKind::Ellipse;
        e.cells[Col::X1] = num(p1.x());
        e.cells[Col::Y1] = num(p1.y());
        e.cells[Col::X2] = num(p2.x());
        e.cells[Col::Y2] = num(p2.y());
        e.cells[Col::Pen] = num(s.penStyle);
        e.cells[Col::PenColour] = num(s.colour);
        break;
    case ToolText:
    case ToolField:
    case ToolSerial:
        e.cells[Col::X] = num(p1.x());
        e.cells[Col::Y] = num(p1.y());
        writeFontColumns(e, s);
        if (s.tool == ToolText) {
            e.kind = ElementKind::Text;
            e.cells[Col::Rotation] = s.textRotation;
            e.cells[Col::Text] = s.text;
        } else if (s.tool == ToolField) {
            e.kind = ElementKind::Field;
            e.cells[Col::Rotation] = s.fieldRotation;
            e.cells[Col::FieldName] = s.fieldName;
            e.cells[Col::FieldSize] = s.fieldSize;
        } else {
            e.kind = ElementKind::Serial;
            e.cells[Col::Rotation] = s.serialRotation;
            e.cells[Col::Mode] = s.serialNumber ? QStringLiteral("1") : QStringLiteral("0");
            e.cells[Col::TextBefore] = s.textBefore;
            e.cells[Col::TextAfter] = s.textAfter;
        }
        break;
    case ToolBarcode: {
        // The box as drawn, corners in order: a symbol fills it from its
        // top-left corner.
        e.kind = ElementKind::Barcode;
        e.cells[Col::X1] = num(std::min(p1.x(), p2.x()));
        e.cells[Col::Y1] = num(std::min(p1.y(), p2.y()));
        e.cells[Col::X2] = num(std::max(p1.x(), p2.x()));
        e.cells[Col::Y2] = num(std::max(p1.y(), p2.y()));
        e.cells[Col::Symbology] = num(s.barcodeKind);
        e.cells[Col::BarcodeField] = s.barcodeField;
        e.cells[Col::BarcodeSize] = s.barcodeSize;
        break;
    }
    case ToolGraphic:
        e.kind = ElementKind::Bitmap;
        e.cells[Col::X1] = num(p1.x() + 1);
        e.cells[Col::Y1] = num(p1.y() + 1);
        e.cells[Col::X2] = num(p2.x() - 1);
        e.cells[Col::Y2] = num(p2.y() - 1);
        e.cells[Col::Path] = s.bitmapFile;
        break;
    default:
        break;
    }
    return e;
}

void EtikettenelementSchreiben(Design &design, int row, const EditorState &state)
{
    if (row < 1)
        return;
    Element e = elementFromEditorState(state);
    if (e.kind.isNull())
        return;
    if (design.count() < row)
        design.elements.resize(static_cast<size_t>(row));
    design.element(row) = std::move(e);
}

} // namespace qm
