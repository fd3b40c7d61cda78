#include "editor/workspacedrawing.h"

#include "designs/barcode.h"
#include "designs/design.h"
#include "designs/rendering.h"
#include "platform/errors.h"

#include <algorithm>
#include <limits>
#include <optional>

namespace qm {

namespace {

// Calls restore() when the drawing ends, also by an exception.
class StateGuard
{
public:
    explicit StateGuard(ICanvas &canvas)
        : m_canvas(canvas)
    {
        m_canvas.save();
    }
    ~StateGuard() { m_canvas.restore(); }
    StateGuard(const StateGuard &) = delete;
    StateGuard &operator=(const StateGuard &) = delete;

private:
    ICanvas &m_canvas;
};

QColor tableColour(int index)
{
    return QColor::fromRgb(ColourTable[static_cast<size_t>(index)]);
}

int toInt(qint64 value)
{
    return static_cast<int>(
        std::clamp<qint64>(value, std::numeric_limits<int>::min(), std::numeric_limits<int>::max()));
}

// The pen and font of the workspace canvas while the elements are drawn.
class WorkspacePainter
{
public:
    WorkspacePainter(ICanvas &canvas, WorkspaceFont &font, int scrollX, int scrollY)
        : m_canvas(canvas)
        , m_font(font)
        , m_dx(UnitsPerCm * scrollX)
        , m_dy(UnitsPerCm * scrollY)
    { }

    // SetzeZeichenfarbe
    void setPenColour(int index)
    {
        if (isColourIndex(index))
            m_pen.colour = tableColour(index);
    }

    // SetzeZeichenstift: codes other than 0, 1, 2 leave the pen as it is.
    void setPenCode(int code)
    {
        switch (code) {
        case PenThin:
            m_pen.style = PenStyle::Solid;
            m_pen.width = 1;
            break;
        case PenThick:
            m_pen.style = PenStyle::Solid;
            m_pen.width = 3;
            break;
        case PenDashed:
            m_pen.style = PenStyle::Dotted;
            m_pen.width = 1;
            break;
        default:
            break;
        }
    }

    // SetzeSchriftfarbe
    void setFontColour(int index)
    {
        if (isColourIndex(index))
            m_font.colour = tableColour(index);
    }

    void applyPen() { m_canvas.setPen(m_pen); }
    CanvasPen &pen() { return m_pen; }

    int x(const Element &e, int column) const { return e.number(column) - m_dx; }
    int y(const Element &e, int column) const { return e.number(column) - m_dy; }

    void drawElement(const Element &e, const QString &dateText);
    void drawClickAreas(const Element &e);
    // The error of the first picture that could not be read.
    const std::optional<Error> &pictureError() const { return m_pictureError; }

private:
    void drawText(const Element &e, const QString &text);

    ICanvas &m_canvas;
    WorkspaceFont &m_font;
    CanvasPen m_pen { Qt::black, PenStyle::Solid, 1 };
    std::optional<Error> m_pictureError;
    int m_dx;
    int m_dy;
};

void WorkspacePainter::drawElement(const Element &e, const QString &dateText)
{
    const QChar kind = e.kind;
    if (kind == ElementKind::Line || kind == ElementKind::Rectangle || kind == ElementKind::RoundRectangle
        || kind == ElementKind::Ellipse) {
        setPenColour(e.number(Col::PenColour));
        setPenCode(e.number(Col::Pen));
        applyPen();
        const int x1 = x(e, Col::X1), y1 = y(e, Col::Y1);
        const int x2 = x(e, Col::X2), y2 = y(e, Col::Y2);
        if (kind == ElementKind::Line) {
            m_canvas.moveTo(x1, y1);
            m_canvas.lineTo(x2, y2);
        } else if (kind == ElementKind::Rectangle) {
            m_canvas.rectangle(x1, y1, x2, y2);
        } else if (kind == ElementKind::Ellipse) {
            drawEllipse(m_canvas, x1, y1, x2, y2);
        } else {
            m_canvas.roundRect(x1, y1, x2, y2, 10, 10);
        }
    } else if (kind == ElementKind::Bitmap) {
        setPenColour(9);
        setPenCode(PenDashed);
        applyPen();
        const int x1 = x(e, Col::X1), y1 = y(e, Col::Y1);
        const int x2 = x(e, Col::X2), y2 = y(e, Col::Y2);
        m_canvas.rectangle(x1 - 1, y1 - 1, x2 + 1, y2 + 1);
        if (picturesByField(e)) {
            // A picture the record names: a placeholder with the field's name.
            drawMissingPicture(m_canvas, x1, y1, x2, y2, u'[' + e.cell(Col::PictureField) + u']');
            return;
        }
        CanvasBitmap bitmap;
        try {
            bitmap = m_canvas.loadBitmap(e.cell(Col::Path));
        } catch (const Error &error) {
            // Shown as a grey box with its name; the first such error is
            // passed on when everything is drawn.
            drawMissingPicture(m_canvas, x1, y1, x2, y2, e.cell(Col::Path));
            if (!m_pictureError)
                m_pictureError = error;
            return;
        }
        m_canvas.stretchBitmap(bitmap, x1, y1, x2 - x1, y2 - y1, BitmapMix::Copy);
    } else if (kind == ElementKind::Barcode) {
        // The box, and in it a sample of the kind as printing draws it (a
        // line the printing leaves out shows only its box).
        setPenColour(0);
        setPenCode(PenDashed);
        applyPen();
        const int x1 = x(e, Col::X1), y1 = y(e, Col::Y1);
        const int x2 = x(e, Col::X2), y2 = y(e, Col::Y2);
        m_canvas.rectangle(x1, y1, x2, y2);
        bool kindIsNumber = false;
        const int number = e.cell(Col::Symbology).trimmed().toInt(&kindIsNumber);
        if (kindIsNumber && drawsBarcode(number, x1, y1, x2, y2) && barcodeFieldSize(e.cell(Col::BarcodeSize))) {
            const Symbology symbology = *symbologyOf(number);
            drawBarcode(m_canvas, symbology, sampleBarcodeSymbol(symbology), QRectF(QPointF(x1, y1), QPointF(x2, y2)),
                Qt::black);
        }
    } else if (kind == ElementKind::Text) {
        drawText(e, e.cell(Col::Text));
    } else if (kind == ElementKind::Field) {
        drawText(e, e.cell(Col::FieldName) + u'[' + e.cell(Col::FieldSize) + u']');
    } else if (kind == ElementKind::Serial) {
        if (e.cell(Col::Mode) == u"1")
            drawText(e, e.cell(Col::TextBefore) + QStringLiteral("######") + e.cell(Col::TextAfter));
        else
            drawText(e, dateText);
    }
    // '#' and unknown letters draw nothing.
}

void WorkspacePainter::drawText(const Element &e, const QString &text)
{
    setFontColour(e.number(Col::Colour));
    const int height = e.number(Col::Height);
    m_font.face = e.cell(Col::Font);
    m_font.height = height;
    m_font.bold = e.cell(Col::Bold) == u"1";
    m_font.italic = e.cell(Col::Italic) == u"1";
    DC_TEXTOUT(m_canvas, m_font, x(e, Col::X), y(e, Col::Y), text, -height, e.number(Col::Rotation));
}

void WorkspacePainter::drawClickAreas(const Element &e)
{
    const QChar kind = e.kind;
    if (kind == ElementKind::Deleted)
        return;
    const auto square = [this](int cx, int cy) { m_canvas.rectangle(cx - 12, cy - 12, cx + 12, cy + 12); };
    square(x(e, Col::X1), y(e, Col::Y1));
    if (kind == ElementKind::Line || kind == ElementKind::Rectangle || kind == ElementKind::RoundRectangle
        || kind == ElementKind::Bitmap || kind == ElementKind::Barcode || kind == ElementKind::Ellipse)
        square(x(e, Col::X2), y(e, Col::Y2));
}

} // namespace

void ArbeitsbereichAnzeigen(ICanvas &canvas, const Design &design, const WorkspaceSettings &settings,
    int scrollX, int scrollY, int width, int height, const QString &dateText, WorkspaceFont *font)
{
    WorkspaceFont localFont;
    WorkspaceFont &canvasFont = font ? *font : localFont;

    canvas.fillRect(0, 0, width, height, Qt::white);
    canvas.setSolidBrush(Qt::white);
    canvas.setPen(CanvasPen { Qt::black, PenStyle::Solid, 1 });

    if (settings.grid) {
        canvas.setPen(CanvasPen { tableColour(8), PenStyle::Dotted, 1 });
        // Trunc(height x 0.04) + 1 lines past the first: one per centimetre.
        for (int k = 0; k <= height / UnitsPerCm + 1; ++k) {
            canvas.moveTo(0, k * UnitsPerCm);
            canvas.lineTo(width, k * UnitsPerCm);
        }
        for (int k = 0; k <= width / UnitsPerCm + 1; ++k) {
            canvas.moveTo(k * UnitsPerCm, 0);
            canvas.lineTo(k * UnitsPerCm, height);
        }
    }

    // The label outline; its right and bottom edge belong to the label.
    const int dx = UnitsPerCm * scrollX;
    const int dy = UnitsPerCm * scrollY;
    const int labelWidth = toInt(design.widthUnits());
    const int labelHeight = toInt(design.heightUnits());
    canvas.setPen(CanvasPen { tableColour(9), PenStyle::Dashed, 1 });
    canvas.setHollowBrush();
    canvas.rectangle(-dx, -dy, labelWidth - dx + 1, labelHeight - dy + 1);

    // The brush stays hollow: no element is filled.
    WorkspacePainter painter(canvas, canvasFont, scrollX, scrollY);
    painter.applyPen();
    for (const Element &e : design.elements)
        painter.drawElement(e, dateText);

    if (settings.clickAreas) {
        painter.setPenColour(6);
        painter.setPenCode(PenDashed);
        painter.applyPen();
        for (const Element &e : design.elements)
            painter.drawClickAreas(e);
    }
    if (painter.pictureError())
        throw *painter.pictureError();
}

void DC_TEXTOUT(
    ICanvas &canvas, const WorkspaceFont &font, int x, int y, const QString &text, int height, int rotation)
{
    if (text.isEmpty())
        return;
    StateGuard guard(canvas);
    canvas.setFont(CanvasFont {
        font.face, height, toInt(static_cast<qint64>(rotation) * 10), font.bold ? 700 : 400, font.italic });
    canvas.setTextColour(font.colour);
    canvas.setTransparentBackground();
    canvas.text(x, y, text);
}

void LinealLoeschen(ICanvas &top, ICanvas &left, int width, int height)
{
    top.fillRect(0, 0, width, RulerSize, Qt::white);
    left.fillRect(0, 0, RulerSize - 1, height, Qt::white);
    top.setPen(CanvasPen { Qt::black, PenStyle::Solid, 1 });
    left.setPen(CanvasPen { Qt::black, PenStyle::Solid, 1 });
}

void LinealAnzeigen(ICanvas &top, ICanvas &left, int width, int height, int scrollX, int scrollY)
{
    // "Small Fonts", 7 points at 96 pixels per inch.
    const CanvasFont rulerFont { QStringLiteral("Small Fonts"), -9, 0, 400, false };
    const int base = RulerSize - 1;

    top.setFont(rulerFont);
    top.moveTo(0, base);
    top.lineTo(width, base);
    for (int n = 0; n <= 21; ++n) {
        const int px = (n - scrollX) * UnitsPerCm;
        top.moveTo(px, 0);
        top.lineTo(px, UnitsPerCm);
        top.text(px + 1, 1, QString::number(n));
    }
    for (int i = 0; i <= 20; ++i) {
        const int px = (i - scrollX) * UnitsPerCm + 12;
        for (int m = px; m <= px + 1; ++m) {
            top.moveTo(m, 10);
            top.lineTo(m, UnitsPerCm);
        }
    }

    left.setFont(rulerFont);
    left.moveTo(base, 0);
    left.lineTo(base, height);
    for (int n = 0; n <= 29; ++n) {
        const int py = (n - scrollY) * UnitsPerCm;
        left.moveTo(0, py);
        left.lineTo(base, py);
        left.text(2, py + 1, QString::number(n));
    }
    for (int i = 0; i <= 28; ++i) {
        const int py = (i - scrollY) * UnitsPerCm + 12;
        for (int m = py; m <= py + 1; ++m) {
            left.moveTo(10, m);
            left.lineTo(UnitsPerCm, m);
        }
    }
}

} // namespace qm
