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

QString printedLines(const QString &text)
{
    QString lines = text;
    if (lines.contains(u'\r')) {
        lines.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
        lines.replace(u'\r', u'\n');
    }
    if (lines.size() <= MaxPrintedTextLength)
        return lines;
    qsizetype length = MaxPrintedTextLength;
    if (lines.at(length - 1).isHighSurrogate())
        --length;
    return lines.left(length);
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
    if (design.printScale > 0)
        m_unitsPerPoint = design.printScale * 2.54 / 72;
    m_steps.reserve(design.records.size());
    std::optional<TextBox> box; // of the last XT record, until a text takes it
    for (const PrintRecord &r : design.records) {
        Step step;
        step.record = r;
        const QString &key = r.key;
        if (key == u"XT") {
            box = textBoxOf(r);
            continue;
        }
        if (key == u"EF" || key == u"SE" || key == u"TE") {
            step.box = box;
            box.reset();
        }
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

namespace {

// The words of one line of a text box, measured once at the font's own size:
// a smaller size scales every width by the same factor.
struct MeasuredWord
{
    QString text;
    double width = 0;
    bool startsParagraph = false; // after a line break (or the first)
};

struct BoxLayout
{
    std::vector<QString> lines;
    std::vector<double> widths; // at the size laid out for
    bool fits = false;
};

// Lays `words` out in lines no longer than `along` (widths scaled by
// `scale`, a blank `space` wide at full size), wrapped or (wrap false) all on
// one line per paragraph; fits when every line is short enough, no more
// than `maxLines` (0: any) and `lineHeight` × lines no more than `across`.
BoxLayout layOut(const std::vector<MeasuredWord> &words, double space, double scale, double along,
    double across, double lineHeight, bool wrap, int maxLines)
{
    BoxLayout layout;
    bool tooWide = false;
    QString line;
    double width = 0;
    bool open = false;
    auto close = [&] {
        layout.lines.push_back(line);
        layout.widths.push_back(width);
        tooWide = tooWide || width > along + 0.01;
        line.clear();
        width = 0;
        open = false;
    };
    for (const MeasuredWord &w : words) {
        const double ww = w.width * scale;
        if (open && w.startsParagraph)
            close();
        if (!open) {
            line = w.text;
            width = ww;
            open = true;
            continue;
        }
        const double next = width + space * scale + ww;
        if (wrap && next > along + 0.01) {
            close();
            line = w.text;
            width = ww;
            open = true;
        } else {
            line += u' ' + w.text;
            width = next;
        }
    }
    if (open)
        close();
    const auto count = static_cast<int>(layout.lines.size());
    layout.fits = !tooWide && (maxLines == 0 || count <= maxLines) && count * lineHeight <= across + 0.01;
    return layout;
}

} // namespace

void LabelDrawing::drawInBox(ICanvas &canvas, const CanvasFont &font, const TextBox &box, int x, int y,
    const QString &value, int column, const QString &title) const
{
    StateGuard guard(canvas);
    const int right = toInt(static_cast<qint64>(x) + box.width);
    const int bottom = toInt(static_cast<qint64>(y) + box.height);

    // The box as the text runs: along its lines and down across them, from
    // the corner where the first line starts.
    int degrees = (font.escapement / 10) % 360;
    if (degrees < 0)
        degrees += 360;
    double along = box.width;
    double across = box.height;
    int c = 1; // cos, sin of the turn
    int s = 0;
    int ox = x;
    int oy = y;
    if (degrees == 90) {
        c = 0, s = 1, ox = x, oy = bottom;
        std::swap(along, across);
    } else if (degrees == 180) {
        c = -1, s = 0, ox = right, oy = bottom;
    } else if (degrees == 270) {
        c = 0, s = -1, ox = right, oy = y;
        std::swap(along, across);
    }

    const bool wrap = box.fit == TextBox::Fit::WrapAndShrink;
    const QString text = wrap ? printedLines(value) : printedText(value);
    if (text.isEmpty())
        return;

    // The words at the font's own size.
    const int fullHeight = font.height == 0 ? 16 : std::abs(font.height);
    const int sign = font.height < 0 ? -1 : 1;
    const QSizeF spaceSize = canvas.textSize(font, QStringLiteral(" "));
    const double fullLineHeight = spaceSize.height();
    std::vector<MeasuredWord> words;
    if (wrap) {
        bool startsParagraph = true;
        for (const QStringView paragraph : QStringView(text).split(u'\n')) {
            for (const QStringView word : paragraph.split(u' ', Qt::SkipEmptyParts)) {
                words.push_back({ word.toString(), canvas.textSize(font, word.toString()).width(), startsParagraph });
                startsParagraph = false;
            }
            startsParagraph = true;
        }
    } else {
        words.push_back({ text, canvas.textSize(font, text).width(), true });
    }
    if (words.empty())
        return;

    const int maxLines = wrap ? box.maxLines : 1;
    auto layoutAt = [&](int height) {
        const double scale = static_cast<double>(height) / fullHeight;
        return layOut(words, spaceSize.width(), scale, along, across, fullLineHeight * scale, wrap, maxLines);
    };

    int height = fullHeight;
    BoxLayout layout = layoutAt(height);
    const int smallest = std::clamp(static_cast<int>(std::lround(box.minSize * m_unitsPerPoint)), 1, fullHeight);
    if (!layout.fits && box.fit != TextBox::Fit::OneLine) {
        // The largest size that fits, by halving the range of sizes between
        // the smallest (which may not fit either) and the full one (which
        // does not).
        int low = smallest;
        int high = fullHeight - 1;
        int best = 0;
        while (low <= high) {
            const int mid = low + (high - low) / 2;
            if (layoutAt(mid).fits) {
                best = mid;
                low = mid + 1;
            } else {
                high = mid - 1;
            }
        }
        height = best > 0 ? best : smallest;
        layout = layoutAt(height);
    }

    // The widths were scaled from the full size; measured at the size
    // chosen the lines may come out a little wider: then the next smaller
    // size is tried, a few times at most.
    CanvasFont sized = font;
    double lineHeight = fullLineHeight;
    for (int tries = 0;; ++tries) {
        sized.height = sign * height;
        if (height == fullHeight)
            break;
        lineHeight = canvas.textSize(sized, QStringLiteral(" ")).height();
        for (size_t i = 0; i < layout.lines.size(); ++i)
            layout.widths[i] = canvas.textSize(sized, layout.lines[i]).width();
        const auto count = static_cast<int>(layout.lines.size());
        const bool measuredFit = layout.fits && count * lineHeight <= across + 0.01
            && std::all_of(layout.widths.begin(), layout.widths.end(), [&](double w) { return w <= along + 0.01; });
        if (measuredFit || !layout.fits || height <= smallest) {
            layout.fits = measuredFit;
            break;
        }
        height = tries < 4 ? height - 1 : smallest;
        layout = layoutAt(height);
    }
    // Lines that fit lie inside the box as measured; only those that do not
    // are clipped to it (a clip costs the device a clip path and its undoing
    // per label).
    if (!layout.fits) {
        if (m_notices)
            m_notices->note(DrawingNotices::Kind::DoesNotFit, column, title, wrap ? printedText(value) : text);
        canvas.clipRect(x, y, right, bottom);
    }

    if (height != fullHeight)
        canvas.setFont(sized);
    size_t shown = layout.lines.size();
    if (maxLines > 0)
        shown = std::min(shown, static_cast<size_t>(maxLines));
    for (size_t i = 0; i < shown; ++i) {
        double u = 0;
        if (box.align == TextBox::Align::Centre)
            u = (along - layout.widths[i]) / 2;
        else if (box.align == TextBox::Align::Right)
            u = along - layout.widths[i];
        // Whole units towards the start of the box, so that rounding never
        // pushes a line past its end.
        const auto forth = static_cast<int>(std::floor(std::max(u, 0.0)));
        const auto down = static_cast<int>(std::floor(static_cast<double>(i) * lineHeight));
        canvas.text(toInt(static_cast<qint64>(ox) + forth * c + down * s),
            toInt(static_cast<qint64>(oy) - forth * s + down * c), layout.lines[i]);
    }
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
            if (step.box) {
                drawInBox(canvas, font, *step.box, at(r.a, x), at(r.b, y), values(field), field,
                    m_fieldTitles.value(field));
            } else {
                const QString text = printedText(values(field));
                canvas.text(at(r.a, x), at(r.b, y), text);
                if (m_notices && clip)
                    noteIfCut(canvas, font, at(r.a, x), at(r.b, y), text, *clip, field);
            }
        }
            ++field;
            break;
        case Op::Date:
            if (step.box)
                drawInBox(canvas, font, *step.box, at(r.a, x), at(r.b, y), dateText,
                    -1 - static_cast<int>(&step - m_steps.data()), QStringLiteral("Datum"));
            else
                canvas.text(at(r.a, x), at(r.b, y), printedText(dateText));
            break;
        case Op::Serial: {
            if (step.box) {
                drawInBox(canvas, font, *step.box, at(r.a, x), at(r.b, y), r.text + values(field) + r.text2,
                    field, m_fieldTitles.value(field));
            } else {
                const QString text = printedText(r.text + values(field) + r.text2);
                canvas.text(at(r.a, x), at(r.b, y), text);
                if (m_notices && clip)
                    noteIfCut(canvas, font, at(r.a, x), at(r.b, y), text, *clip, field);
            }
        }
            ++field;
            break;
        case Op::Text:
            if (hasFont) {
                if (step.box)
                    drawInBox(canvas, font, *step.box, at(r.a, x), at(r.b, y), r.text,
                        -1 - static_cast<int>(&step - m_steps.data()), QStringLiteral("Text"));
                else
                    canvas.text(at(r.a, x), at(r.b, y), r.text);
            }
            break;
        case Op::FieldText:
            if (hasFont && step.box) {
                // In a box the values keep their line breaks until the box
                // has seen them (a box that wraps starts a line at each).
                QString text;
                int first = 0;
                for (const TextPiece &piece : r.pieces) {
                    text += piece.column == 0 ? piece.text : values(piece.column);
                    if (first == 0 && piece.column != 0)
                        first = piece.column;
                }
                if (first != 0)
                    drawInBox(canvas, font, *step.box, at(r.a, x), at(r.b, y), text, first, m_fieldTitles.value(first));
                else
                    drawInBox(canvas, font, *step.box, at(r.a, x), at(r.b, y), text,
                        -1 - static_cast<int>(&step - m_steps.data()), QStringLiteral("Text"));
            } else if (hasFont) {
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
