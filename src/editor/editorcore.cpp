#include "editorcore.h"
#include "editorparts.h"

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

#include <optional>

namespace qm {
namespace editorparts {

QString tr(const char *text)
{
    return QCoreApplication::translate("qm", text);
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

} // namespace editorparts

using editorparts::editorPen;
using editorparts::isTextKind;
using editorparts::tr;

namespace {

const QString Section = QStringLiteral("Parameter");
const QString GridKey = QStringLiteral("Gitter");
const QString ClickAreasKey = QStringLiteral("Klickflaechen");
const QString WidthKey = QStringLiteral("EditorBreite");
const QString HeightKey = QStringLiteral("EditorHoehe");
constexpr int MaxWindowSide = 10000;

constexpr int SelectionColour = 12; // blue
constexpr int GripHalf = 3; // a grip point is shown as a 7 x 7 square
constexpr int OverhangColour = 9; // red
constexpr int HatchStep = 6;

QString designFilter()
{
    return tr("Etikett bzw. Formular|*.eti|Alle Dateien|*.*");
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

namespace {

// A size given by a caller (a sheet format's label) as the editor keeps it:
// on the grid of design units; a text that is no size stays as it is and is
// reported when it is drawn.
QString keptSize(const QString &text)
{
    try {
        return sizeTextOnGrid(text);
    } catch (const Error &) {
        return text;
    }
}

} // namespace

void EditorCore::setLabelSize(const QString &widthMm, const QString &heightMm)
{
    m_design.widthMm = keptSize(widthMm);
    m_design.heightMm = keptSize(heightMm);
}

void EditorCore::setNewDesignSize(const QString &widthMm, const QString &heightMm)
{
    m_newWidthMm = keptSize(widthMm);
    m_newHeightMm = keptSize(heightMm);
}

bool EditorCore::takeTypedSize(SizeProperties &values)
{
    try {
        const bool onGrid = sizeIsOnGrid(values.width) && sizeIsOnGrid(values.height);
        const QString width = sizeTextOnGrid(values.width);
        const QString height = sizeTextOnGrid(values.height);
        if (!onGrid)
            m_messages.show(MessageKind::Information,
                tr("Etikettendateien halten die Größe in Schritten von 0,4 mm: aus %1 x %2 mm wird "
                   "%3 x %4 mm.")
                    .arg(values.width, values.height, width, height),
                MessageButton::Ok);
        values.width = width;
        values.height = height;
        return true;
    } catch (const Error &e) {
        report(e);
        return false;
    }
}

void EditorCore::offerSizeWhenNone()
{
    qint64 width = 0;
    qint64 height = 0;
    try {
        width = m_design.widthUnits();
        height = m_design.heightUnits();
    } catch (const Error &) {
        return; // reported when it is drawn
    }
    if (width > 0 && height > 0)
        return;
    const MessageButton answer = m_messages.show(MessageKind::Confirmation,
        tr("Das Design hat keine Größe (%1 x %2 mm). Gedruckt wird es auf die Etiketten des Bogens "
           "beschnitten. Möchten Sie die Größe jetzt festlegen?")
            .arg(m_design.widthMm.isEmpty() ? QStringLiteral("0") : m_design.widthMm,
                m_design.heightMm.isEmpty() ? QStringLiteral("0") : m_design.heightMm),
        MessageButton::Yes | MessageButton::No);
    if (answer == MessageButton::Yes)
        sizeAndDescription();
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
        offerSizeWhenNone();
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
// Drawing

void EditorCore::paintWorkspace(ICanvas &canvas, int width, int height)
{
    // A picture that cannot be read is drawn as a grey box and reported at
    // the end of the drawing; the overhang and the selection are drawn all
    // the same. A message is shown once.
    std::optional<QString> problem;
    try {
        ZoomCanvas zoomed(canvas, m_zoom);
        CachedBitmapCanvas cached(zoomed, m_bitmaps, m_pictureFolder);
        // The area in workspace units, rounded up to cover every pixel.
        const int unitsAcross = static_cast<int>((static_cast<qint64>(width) * 100 + m_zoom - 1) / m_zoom);
        const int unitsDown = static_cast<int>((static_cast<qint64>(height) * 100 + m_zoom - 1) / m_zoom);
        ArbeitsbereichAnzeigen(
            cached, m_design, m_options, m_scrollX, m_scrollY, unitsAcross, unitsDown, m_dateText());
    } catch (const Error &e) {
        problem = e.message();
    }
    try {
        drawOverhang(canvas);
        drawSelection(canvas);
    } catch (const Error &e) {
        if (!problem)
            problem = e.message();
    }
    if (problem && !m_reported.contains(*problem)) {
        m_reported.insert(*problem);
        report(Error(*problem));
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
    if (!m_dialogs.editSize(values) || !takeTypedSize(values))
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
    // A size that is not a number is refused before it becomes the
    // design's size.
    if (!m_dialogs.editSize(values) || !takeTypedSize(values))
        return;
    m_design.widthMm = values.width;
    m_design.heightMm = values.height;
    m_design.description = values.description;
}

void EditorCore::sizeAndDescription()
{
    SizeProperties values { m_design.widthMm, m_design.heightMm, m_design.description };
    if (!m_dialogs.editSize(values) || !takeTypedSize(values))
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
    offerSizeWhenNone();
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
