#include "designs/rendering.h"

#include "designs/barcode.h"
#include "designs/barcodelookahead.h"
#include "designs/design.h"
#include "designs/drawingnotices.h"
#include "designs/printdesign.h"
#include "platform/errors.h"
#include "platform/services.h"
#include "platform/stringtable.h"

#include <QDir>
#include <QLocale>
#include <QRegularExpression>

#include <algorithm>
#include <cmath>
#include <cstdlib>
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

// ---------------------------------------------------------------------------
// Printer

// The printed pen of an XP pen code.
CanvasPen printerPen(int code, const QColor &colour)
{
    switch (code) {
    case PenThick:
        return { colour, PenStyle::Solid, 3 };
    case PenDashed:
        return { colour, PenStyle::Dashed, 0 };
    default: // PenThin, and a code no editor writes
        return { colour, PenStyle::Solid, 1 };
    }
}

// The pen of an SP record: black, style 1 dashed, 2 dotted, else solid.
CanvasPen simplePen(int width, int style)
{
    PenStyle s = PenStyle::Solid;
    if (style == 1)
        s = PenStyle::Dashed;
    else if (style == 2)
        s = PenStyle::Dotted;
    return { Qt::black, s, std::max(width, 0) };
}

// |c - a| + 1 without overflow for any two record values.
qint64 extent(qint32 from, qint32 to)
{
    const qint64 d = static_cast<qint64>(to) - from;
    return (d < 0 ? -d : d) + 1;
}

// The corner ellipse of a printed rounded rectangle: 30 % of the shorter
// side, at least 10.
int printedCorner(const PrintRecord &r)
{
    const qint64 shorter = std::min(extent(r.a, r.c), extent(r.b, r.d));
    const qint64 corner = std::max<qint64>(3 * shorter / 10, 10);
    return static_cast<int>(std::min<qint64>(corner, std::numeric_limits<int>::max()));
}

// Record values are shifted by the label origin; the device works in int.
int at(qint32 value, int origin)
{
    const qint64 v = static_cast<qint64>(value) + origin;
    return static_cast<int>(
        std::clamp<qint64>(v, std::numeric_limits<int>::min(), std::numeric_limits<int>::max()));
}

int toInt(qint64 value)
{
    return static_cast<int>(
        std::clamp<qint64>(value, std::numeric_limits<int>::min(), std::numeric_limits<int>::max()));
}

CanvasFont printerFont(const PrintRecord &r, int weight, bool italic)
{
    return { r.text, r.a, toInt(static_cast<qint64>(r.d) * 10), weight, italic };
}

// Whether the cell of a text, `width` along its baseline and `height` down,
// turned by `escapement` (tenths of a degree, counter-clockwise) about its
// top-left corner (x, y), reaches beyond `box`.
bool leavesBox(double x, double y, double width, double height, int escapement, const QRectF &box)
{
    // A hundredth of a unit for the rounding of the measures.
    constexpr double slack = 0.01;
    const double angle = escapement / 10.0 * 3.14159265358979323846 / 180.0;
    const double c = std::cos(angle);
    const double s = std::sin(angle);
    const double along[2] = { 0, width };
    const double down[2] = { 0, height };
    for (const double u : along) {
        for (const double v : down) {
            // Along the text (cos, -sin), down its cell (sin, cos); y grows
            // downwards.
            const double px = x + u * c + v * s;
            const double py = y - u * s + v * c;
            if (px < box.left() - slack || px > box.right() + slack || py < box.top() - slack
                || py > box.bottom() + slack)
                return true;
        }
    }
    return false;
}

// No character of Latin-1 is wider than this many ems, nor is a cell taller.
constexpr double WidestCharacter = 2.0;

bool isLatin1(const QString &text)
{
    return std::all_of(text.begin(), text.end(), [](QChar c) { return c.unicode() <= 0xFF; });
}

} // namespace

void drawMissingPicture(ICanvas &canvas, int left, int top, int right, int bottom, const QString &path)
{
    canvas.fillRect(left, top, right, bottom, QColor(0xC0, 0xC0, 0xC0));
    const QString name = path.section(QRegularExpression(QStringLiteral("[/\\\\]")), -1);
    if (name.isEmpty())
        return;
    StateGuard guard(canvas);
    canvas.clipRect(left, top, right, bottom);
    const int height = std::clamp(std::abs(bottom - top) / 3, 6, 12);
    canvas.setFont(CanvasFont { QStringLiteral("Arial"), -height, 0, 400, false });
    canvas.setTextColour(Qt::black);
    canvas.setTransparentBackground();
    canvas.text(std::min(left, right) + 2, std::min(top, bottom) + 2, name);
}

void drawPictureInBox(ICanvas &canvas, const CanvasBitmap &bitmap, int left, int top, int right, int bottom)
{
    const double boxLeft = std::min(left, right);
    const double boxTop = std::min(top, bottom);
    const double boxWidth = std::abs(static_cast<double>(right) - left);
    const double boxHeight = std::abs(static_cast<double>(bottom) - top);
    if (bitmap.width() <= 0 || bitmap.height() <= 0 || boxWidth <= 0 || boxHeight <= 0)
        return;
    const double scale = std::min(boxWidth / bitmap.width(), boxHeight / bitmap.height());
    const double width = bitmap.width() * scale;
    const double height = bitmap.height() * scale;
    const int x = static_cast<int>(std::lround(boxLeft + (boxWidth - width) / 2));
    const int y = static_cast<int>(std::lround(boxTop + (boxHeight - height) / 2));
    const int w = std::max(1, static_cast<int>(std::lround(width)));
    const int h = std::max(1, static_cast<int>(std::lround(height)));
    canvas.stretchBitmap(bitmap, x, y, w, h, BitmapMix::And);
}

QString fieldPicturePath(const QString &value, const QString &folder)
{
    const QString name = value.trimmed();
    if (name.isEmpty())
        return {};
    return resolvedPicturePath(name, folder);
}

QString resolvedPicturePath(const QString &stored, const QString &folder)
{
    if (folder.isEmpty() || stored.isEmpty() || QDir::isAbsolutePath(stored) || stored.startsWith(u'\\')
        || (stored.size() > 1 && stored.at(1) == u':'))
        return stored;
    return QDir(folder).filePath(QString(stored).replace(u'\\', u'/'));
}

QString storedPicturePath(const QString &path, const QString &folder)
{
    if (folder.isEmpty() || path.isEmpty())
        return path;
    const QString relative = QDir(folder).relativeFilePath(path);
    if (relative.isEmpty() || relative.startsWith(QLatin1String("..")) || QDir::isAbsolutePath(relative))
        return path;
    return relative;
}

QString printedText(const QString &text)
{
    // A value with line breaks (a quoted one from a CSV file) prints on its
    // one line with a space for each break, not with its lines run together.
    QString line = text;
    if (line.contains(u'\n') || line.contains(u'\r')) {
        line.replace(QStringLiteral("\r\n"), QStringLiteral(" "));
        line.replace(u'\r', u' ');
        line.replace(u'\n', u' ');
    }
    if (line.size() <= MaxPrintedTextLength)
        return line;
    qsizetype length = MaxPrintedTextLength;
    if (line.at(length - 1).isHighSurrogate())
        --length;
    return line.left(length);
}

QString oldBitmapFormatMessage(const QString &path)
{
    return path
        + QStringLiteral(" kann nicht geladen werden ! ETI-Datei befindet sich nicht im "
                         "QUILLMARK 2.0-Format ...");
}

QString shortDateText(const QDate &date)
{
    return QLocale::system().toString(date, QLocale::ShortFormat);
}

void drawEllipse(ICanvas &canvas, int left, int top, int right, int bottom)
{
    const qint64 width = std::llabs(static_cast<qint64>(right) - left);
    const qint64 height = std::llabs(static_cast<qint64>(bottom) - top);
    canvas.roundRect(left, top, right, bottom, static_cast<int>(std::min<qint64>(width, 1 << 30)),
        static_cast<int>(std::min<qint64>(height, 1 << 30)));
}

void EtikettZeichnen(ICanvas &canvas, const PrintDesign &design, const StringTable &labelList, int x, int y,
    int row, bool drawFrame, IMessages &messages, const QString &dateText, const CanvasPen &devicePen)
{
    LabelDrawing(design).draw(canvas, labelList, x, y, row, drawFrame, messages, dateText, devicePen);
}

LabelDrawing::LabelDrawing(const PrintDesign &design)
{
    for (const DataField &f : design.fields) {
        if (f.column >= 1 && f.column <= MaxPrintRecords) {
            if (m_fieldTitles.size() <= f.column)
                m_fieldTitles.resize(f.column + 1);
            m_fieldTitles[f.column] = f.title;
        }
    }
    m_steps.reserve(design.records.size());
    for (const PrintRecord &r : design.records) {
        Step step;
        step.record = r;
        const QString &key = r.key;
        if (key == u"RE") {
            step.op = Op::Rectangle;
        } else if (key == u"RA") {
            step.op = Op::RoundRectangle;
            step.corner = printedCorner(r);
        } else if (key == u"EL") {
            step.op = Op::Ellipse;
        } else if (key == u"LI") {
            step.op = Op::Line;
        } else if (key == u"SP") {
            step.op = Op::Pen;
            step.pen = simplePen(r.a, r.b);
        } else if (key == u"XP") {
            step.op = Op::Pen;
            step.pen = printerPen(r.a, DruckFarbe(r.b));
        } else if (key == u"SF") {
            step.op = Op::Font;
            step.font = printerFont(r, r.c, false);
            step.colour = Qt::black;
        } else if (key == u"XF") {
            step.op = Op::Font;
            step.font = printerFont(r, r.c == 1 ? 700 : 400, r.b != 0);
            step.colour = DruckFarbe(r.e);
        } else if (key == u"EF") {
            step.op = Op::Field;
        } else if (key == u"BF") {
            step.op = Op::FieldPicture;
        } else if (key == u"SE") {
            step.op = r.c == 0 ? Op::Date : Op::Serial;
        } else if (key == u"TE") {
            step.op = r.pieces.empty() ? Op::Text : Op::FieldText;
        } else if (key == u"GR") {
            step.op = Op::Frame;
        } else if (key == u"BM") {
            step.op = Op::OldBitmap;
        } else if (key == u"XB") {
            step.op = Op::Bitmap;
        } else if (key == u"BC") {
            step.op = drawsBarcode(r) ? Op::Barcode : Op::SkipField;
            step.symbology = r.e;
        } else {
            continue; // NA and any other key draw nothing.
        }
        m_steps.push_back(std::move(step));
    }
    int field = 1;
    for (const Step &step : m_steps) {
        if (step.op == Op::Barcode)
            m_barcodes.push_back({ static_cast<Symbology>(step.symbology), field });
        if (step.op == Op::Field || step.op == Op::Serial || step.op == Op::SkipField || step.op == Op::Barcode
            || step.op == Op::FieldPicture)
            ++field;
    }
}

void LabelDrawing::prepareBarcodes(const QStringList &values) const
{
    if (!m_lookAhead)
        return;
    for (const BarcodeStep &b : m_barcodes)
        m_lookAhead->prepare(b.kind, values.value(b.field));
}

void LabelDrawing::prepareRowsAhead(const StringTable &labelList, int row, int lastRow)
{
    if (!m_lookAhead || m_barcodes.empty())
        return;
    const int until = static_cast<int>(std::min<qint64>(static_cast<qint64>(row) + BarcodeLookAheadLabels, lastRow));
    for (m_preparedRow = std::max(m_preparedRow, row - 1); m_preparedRow < until;) {
        ++m_preparedRow;
        for (const BarcodeStep &b : m_barcodes)
            m_lookAhead->prepare(b.kind, labelList.cell(b.field, m_preparedRow));
    }
}

namespace {

// The values of one label as the steps read them.
struct TableValues
{
    const StringTable &table;
    int row;
    QString operator()(int field) const { return table.cell(field, row); }
};

struct ListValues
{
    const QStringList &list;
    QString operator()(int field) const { return field < list.size() ? list[field] : QString(); }
};

} // namespace

bool drawsBarcode(int kind, qint32 x1, qint32 y1, qint32 x2, qint32 y2)
{
    const qint64 width = std::abs(static_cast<qint64>(x2) - x1);
    const qint64 height = std::abs(static_cast<qint64>(y2) - y1);
    return symbologyOf(kind).has_value() && width >= MinBarcodeBox && height >= MinBarcodeBox;
}

bool drawsBarcode(const PrintRecord &r)
{
    return r.key == u"BC" && drawsBarcode(r.e, r.a, r.b, r.c, r.d);
}

void drawBarcode(ICanvas &canvas, Symbology kind, const QString &value, QRectF box, const QColor &colour)
{
    drawBarcode(canvas, kind, encodeBarcode(kind, value), box, colour);
}

void drawBarcode(
    ICanvas &canvas, Symbology kind, const std::optional<BarcodeSymbol> &symbol, QRectF box, const QColor &colour)
{
    box = box.normalized();
    if (!symbol || symbol->width <= 0 || symbol->height <= 0)
        return;
    double sx = box.width() / symbol->width;
    double sy = box.height() / symbol->height;
    double left = box.left();
    double top = box.top();
    if (kind == Symbology::QrCode || kind == Symbology::DataMatrix) {
        const double s = std::min(sx, sy);
        left += (box.width() - symbol->width * s) / 2;
        top += (box.height() - symbol->height * s) / 2;
        sx = sy = s;
    }
    canvas.fillRectsF(symbol->bars, QPointF(left, top), sx, sy, colour);
    if (symbol->texts.empty())
        return;
    canvas.save();
    canvas.setTextColour(colour);
    for (const BarcodeText &t : symbol->texts) {
        // A stretched linear code keeps its digits in proportion: they are
        // sized by the smaller scale, and placed where the library puts
        // them, measured on the device.
        CanvasFont font;
        font.face = QStringLiteral("Liberation Sans");
        font.height = std::max(1, static_cast<int>(t.size * std::min(sx, sy)));
        const auto anchor = t.align == BarcodeText::Align::Left ? ICanvas::Anchor::Left
            : t.align == BarcodeText::Align::Right              ? ICanvas::Anchor::Right
                                                                : ICanvas::Anchor::Centre;
        canvas.textOnBaseline(QPointF(left + t.x * sx, top + t.y * sy), anchor, font, t.text);
    }
    canvas.restore();
}

void LabelDrawing::draw(ICanvas &canvas, const StringTable &labelList, int x, int y, int row, bool drawFrame,
    IMessages &messages, const QString &dateText, const CanvasPen &devicePen) const
{
    drawSteps(canvas, TableValues { labelList, row }, x, y, drawFrame, messages, dateText, devicePen);
}

void LabelDrawing::draw(ICanvas &canvas, const QStringList &values, int x, int y, bool drawFrame,
    IMessages &messages, const QString &dateText, const CanvasPen &devicePen) const
{
    drawSteps(canvas, ListValues { values }, x, y, drawFrame, messages, dateText, devicePen);
}

const CanvasBitmap &LabelDrawing::fieldPicture(ICanvas &canvas, const QString &path) const
{
    // Labels of one picture follow each other, and a few pictures come back
    // often (a logo per maker): those few stay read, each the same image
    // every time, so that a PDF file holds it once.
    constexpr size_t KeptFieldPictures = 8;
    auto found = std::find_if(m_fieldPictures.begin(), m_fieldPictures.end(),
        [&path](const CanvasBitmap &b) { return b.path == path; });
    if (found == m_fieldPictures.end()) {
        CanvasBitmap read = canvas.loadBitmap(path);
        if (m_fieldPictures.size() >= KeptFieldPictures)
            m_fieldPictures.pop_back();
        m_fieldPictures.insert(m_fieldPictures.begin(), std::move(read));
    } else if (found != m_fieldPictures.begin()) {
        std::rotate(m_fieldPictures.begin(), found, found + 1);
    }
    return m_fieldPictures.front();
}

void LabelDrawing::noteIfCut(ICanvas &canvas, const CanvasFont &font, int x, int y, const QString &text,
    const QRectF &box, int field) const
{
    if (text.isEmpty())
        return;
    // Most texts lie far inside their label: the widest a text of this
    // length could be decides without measuring.
    const int escapement = font.escapement;
    if (isLatin1(text)) {
        const double em
            = font.height < 0 ? -static_cast<double>(font.height) : (font.height == 0 ? 16 : font.height);
        const double bound = WidestCharacter * em;
        if (!leavesBox(x, y, bound * static_cast<double>(text.size()), bound, escapement, box))
            return;
    }
    const QSizeF size = canvas.textSize(font, text);
    if (leavesBox(x, y, size.width(), size.height(), escapement, box))
        m_notices->note(DrawingNotices::Kind::CutAtEdge, field, m_fieldTitles.value(field), text);
}

template <typename Values>
void LabelDrawing::drawSteps(ICanvas &canvas, const Values &values, int x, int y, bool drawFrame,
    IMessages &messages, const QString &dateText, const CanvasPen &devicePen) const
{
    StateGuard guard(canvas);
    canvas.setPen(CanvasPen { Qt::black, PenStyle::Solid, 1 });
    canvas.setHollowBrush();
    canvas.setTransparentBackground();

    int field = 1;
    size_t barcode = 0; // the barcode steps drawn so far
    bool hasFont = false;
    QColor penColour = Qt::black;
    // Until a font record, texts take the device's font.
    CanvasFont font;
    // The label the drawing is clipped to, once a GR record set it.
    std::optional<QRectF> clip;

    for (const Step &step : m_steps) {
        const PrintRecord &r = step.record;
        switch (step.op) {
        case Op::Rectangle:
            canvas.rectangle(at(r.a, x), at(r.b, y), at(r.c, x), at(r.d, y));
            break;
        case Op::RoundRectangle:
            canvas.roundRect(at(r.a, x), at(r.b, y), at(r.c, x), at(r.d, y), step.corner, step.corner);
            break;
        case Op::Ellipse:
            drawEllipse(canvas, at(r.a, x), at(r.b, y), at(r.c, x), at(r.d, y));
            break;
        case Op::Line:
            canvas.moveTo(at(r.a, x), at(r.b, y));
            canvas.lineTo(at(r.c, x), at(r.d, y));
            break;
        case Op::Pen:
            canvas.setPen(step.pen);
            penColour = step.pen.colour;
            break;
        case Op::Font:
            font = step.font;
            canvas.setFont(step.font);
            canvas.setTextColour(step.colour);
            hasFont = true;
            break;
        case Op::Field: {
            const QString text = printedText(values(field));
            canvas.text(at(r.a, x), at(r.b, y), text);
            if (m_notices && clip)
                noteIfCut(canvas, font, at(r.a, x), at(r.b, y), text, *clip, field);
        }
            ++field;
            break;
        case Op::Date:
            canvas.text(at(r.a, x), at(r.b, y), printedText(dateText));
            break;
        case Op::Serial: {
            const QString text = printedText(r.text + values(field) + r.text2);
            canvas.text(at(r.a, x), at(r.b, y), text);
            if (m_notices && clip)
                noteIfCut(canvas, font, at(r.a, x), at(r.b, y), text, *clip, field);
        }
            ++field;
            break;
        case Op::Text:
            if (hasFont)
                canvas.text(at(r.a, x), at(r.b, y), r.text);
            break;
        case Op::FieldText:
            if (hasFont) {
                // The pieces were split when the design was read: each
                // label only joins the values in.
                QString text;
                int first = 0; // the first data column, named when cut
                for (const TextPiece &piece : r.pieces) {
                    if (piece.column == 0) {
                        text += piece.text;
                        continue;
                    }
                    text += printedText(values(piece.column));
                    if (first == 0)
                        first = piece.column;
                }
                canvas.text(at(r.a, x), at(r.b, y), text);
                if (m_notices && clip && first != 0)
                    noteIfCut(canvas, font, at(r.a, x), at(r.b, y), text, *clip, first);
            }
            break;
        case Op::Frame: {
            // Nothing of the label reaches its neighbour: the stock is cut
            // at the label's edge. A design without a size of its own is
            // cut at the edge of the sheet's label.
            qint64 width = r.a;
            qint64 height = r.b;
            const bool sized = width > 0 && height > 0;
            if (!sized && !m_sheetLabel.isEmpty()) {
                width = m_sheetLabel.width();
                height = m_sheetLabel.height();
            }
            if (sized || !m_sheetLabel.isEmpty()) {
                const int right = toInt(width + x);
                const int bottom = toInt(height + y);
                canvas.clipRect(x, y, right, bottom);
                // A second GR record narrows the clip, as the canvas does.
                const QRectF label(QPointF(x, y), QPointF(right, bottom));
                clip = clip ? clip->intersected(label) : label;
            }
            if (drawFrame) {
                canvas.setPen(CanvasPen { Qt::black, PenStyle::Solid, 1 });
                canvas.rectangle(x, y, toInt(width + x - 1), toInt(height + y - 1));
                canvas.setPen(devicePen);
                penColour = devicePen.colour;
            }
        }
            break;
        case Op::OldBitmap:
            messages.show(MessageKind::Plain, oldBitmapFormatMessage(r.text), MessageButton::Ok);
            break;
        case Op::Bitmap: {
            // Each picture is read once for all labels: the same image every
            // time, which a PDF file then holds once.
            const QString path = resolvedPicturePath(r.text, m_pictureFolder);
            auto picture = m_pictures.find(path);
            if (picture == m_pictures.end()) {
                try {
                    picture = m_pictures.emplace(path, canvas.loadBitmap(path)).first;
                } catch (const Error &) {
                    if (!m_showMissingPictures)
                        throw;
                    drawMissingPicture(canvas, at(r.a, x), at(r.b, y), at(r.c, x), at(r.d, y), r.text);
                    break;
                }
            }
            canvas.stretchBitmap(picture->second, at(r.a, x), at(r.b, y), toInt(static_cast<qint64>(r.c) - r.a),
                toInt(static_cast<qint64>(r.d) - r.b), BitmapMix::And);
            break;
        }
        case Op::FieldPicture: {
            const QString path = fieldPicturePath(values(field), m_pictureFolder);
            if (!path.isEmpty()) {
                const CanvasBitmap *picture = nullptr;
                try {
                    picture = &fieldPicture(canvas, path);
                } catch (const Error &) {
                    if (!m_showMissingPictures)
                        throw;
                    drawMissingPicture(canvas, at(r.a, x), at(r.b, y), at(r.c, x), at(r.d, y), path);
                }
                if (picture)
                    drawPictureInBox(canvas, *picture, at(r.a, x), at(r.b, y), at(r.c, x), at(r.d, y));
            }
        }
            ++field;
            break;
        case Op::SkipField:
            // Takes a data column of the label list, drawn by nobody.
            ++field;
            break;
        case Op::Barcode:
        {
            const auto kind = static_cast<Symbology>(step.symbology);
            const QString value = values(field);
            const QRectF box(QPointF(at(r.a, x), at(r.b, y)), QPointF(at(r.c, x), at(r.d, y)));
            if (m_labelSymbols && barcode < m_labelSymbols->size() && (*m_labelSymbols)[barcode]) {
                drawBarcode(canvas, kind, (*m_labelSymbols)[barcode], box, penColour);
            } else {
                const std::optional<BarcodeSymbol> symbol
                    = m_lookAhead ? m_lookAhead->take(kind, value) : encodeBarcode(kind, value);
                if (!symbol && !value.isEmpty() && m_record > 0)
                    throw Error(unprintableBarcodeMessage(
                        int(std::min<qint64>(m_record, std::numeric_limits<int>::max())), r.text, value, kind));
                drawBarcode(canvas, kind, symbol, box, penColour);
            }
            ++barcode;
        }
            ++field;
            break;
        }
    }
}

} // namespace qm
