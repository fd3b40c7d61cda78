#include "labeltemplates.h"

#include "platform/cp1252.h"
#include "platform/errors.h"
#include "platform/textfile.h"

#include <QCoreApplication>
#include <QFileInfo>
#include <QHash>
#include <QXmlStreamReader>

#include <algorithm>
#include <cerrno>
#include <cmath>
#include <limits>

namespace qm {
namespace {

QString tr(const char *text)
{
    return QCoreApplication::translate("qm", text);
}

constexpr qint64 MaxTemplateFileBytes = 16 * 1024 * 1024;
// DIN A4 in millimetres, with a little room for lengths given in points.
constexpr double SheetLimitWidth = 210.05;
constexpr double SheetLimitHeight = 297.05;
// US Letter (215.9 mm) is the widest sheet taken, when its labels fit A4.
constexpr double LetterLimitWidth = 216.0;
// Template data rounded to points may let the last label reach a little
// beyond the sheet (three labels of 70.05 mm on 210 mm, or of 199 pt =
// 70.2 mm); up to this many tenths of a millimetre the labels are narrowed
// to fit, further out the template is refused.
constexpr qint32 EdgeTolerance = 10;

struct PaperSize
{
    const char *id;
    double width;
    double height;
};

// The named sheet sizes of the template files, in millimetres.
constexpr PaperSize PaperSizes[] = {
    { "A3", 297, 420 },
    { "A4", 210, 297 },
    { "A5", 148, 210 },
    { "A6", 105, 148 },
    { "A7", 74, 105 },
    { "A8", 52, 74 },
    { "B4", 250, 353 },
    { "B5", 176, 250 },
    { "B6", 125, 176 },
    { "SRA3", 320, 450 },
    { "US-Letter", 215.9, 279.4 },
    { "US-Legal", 215.9, 355.6 },
    { "US-Executive", 184.15, 266.7 },
};

// A missing length is 0; one that is there but no finite length is NaN, so
// that the conversion skips its template instead of taking it as 0.
double attributeMm(const QXmlStreamAttributes &attributes, QLatin1StringView name)
{
    if (!attributes.hasAttribute(name))
        return 0.0;
    return templateLengthMm(attributes.value(name)).value_or(std::numeric_limits<double>::quiet_NaN());
}

bool allFinite(std::initializer_list<double> values)
{
    return std::all_of(values.begin(), values.end(), [](double v) { return std::isfinite(v); });
}

int attributeInt(const QXmlStreamAttributes &attributes, QLatin1StringView name)
{
    bool ok = false;
    const int value = attributes.value(name).trimmed().toInt(&ok);
    return ok ? value : 0;
}

QString templateName(const QString &brand, const QString &part)
{
    return (brand + QLatin1Char(' ') + part).trimmed();
}

qint32 tenths(double mm)
{
    return qint32(std::lround(mm * 10.0));
}

// Tenths as millimetres with a decimal comma, without a ",0".
QString mmText(qint32 value)
{
    const QString text = QString::number(value / 10) + QLatin1Char(',') + QString::number(value % 10);
    return value % 10 == 0 ? QString::number(value / 10) : text;
}

// A position of every cell, rounded from the exact grid; the label size
// held to the smallest rounded pitch so that neighbours never overlap.
struct Axis
{
    QList<qint32> starts;
    qint32 size = 0;
    qint32 extent = 0;
};

Axis axisOf(int count, double origin, double pitch, double size, double sheet)
{
    Axis axis;
    axis.size = tenths(size);
    for (int i = 0; i < count; ++i)
        axis.starts.append(tenths(origin + i * pitch));
    for (int i = 1; i < count; ++i)
        axis.size = std::min(axis.size, axis.starts[i] - axis.starts[i - 1]);
    const qint32 overhang = axis.starts.last() + axis.size - tenths(sheet);
    if (overhang > 0 && overhang <= EdgeTolerance)
        axis.size -= overhang;
    if (count > 1) {
        axis.extent = axis.starts.last() + axis.size;
    } else {
        // One gap after a single label, as far as the sheet allows.
        const qint32 room = tenths(sheet) - axis.starts.first() - axis.size;
        const qint32 gap = std::clamp(tenths(pitch) - axis.size, 0, std::max(room, 0));
        axis.extent = axis.starts.first() + axis.size + gap;
    }
    return axis;
}

bool isRoundKind(const QString &kind)
{
    return kind == QLatin1String("round") || kind == QLatin1String("cd");
}

} // namespace

std::optional<double> templateLengthMm(QStringView text)
{
    QStringView t = text.trimmed();
    double factor = 25.4 / 72.0; // points
    static const struct
    {
        const char *unit;
        double factor;
    } units[] = { { "mm", 1.0 }, { "cm", 10.0 }, { "in", 25.4 }, { "pc", 12 * 25.4 / 72.0 },
        { "pt", 25.4 / 72.0 } };
    for (const auto &unit : units) {
        if (t.endsWith(QLatin1StringView(unit.unit))) {
            t.chop(2);
            factor = unit.factor;
            break;
        }
    }
    bool ok = false;
    const double value = t.trimmed().toDouble(&ok);
    if (!ok || !std::isfinite(value) || std::abs(value) > 1e6)
        return std::nullopt;
    return value * factor;
}

QList<LabelTemplate> parseLabelTemplates(QByteArrayView xml)
{
    QXmlStreamReader reader(QByteArray(xml.data(), xml.size()));
    QList<LabelTemplate> templates;
    bool rootSeen = false;
    LabelTemplate *current = nullptr;
    bool inLabel = false;
    while (!reader.atEnd()) {
        const QXmlStreamReader::TokenType token = reader.readNext();
        if (token == QXmlStreamReader::EndElement) {
            if (reader.name() == QLatin1String("Template"))
                current = nullptr;
            else if (reader.name().startsWith(QLatin1String("Label-")))
                inLabel = false;
            continue;
        }
        if (token != QXmlStreamReader::StartElement)
            continue;
        const QStringView name = reader.name();
        const QXmlStreamAttributes a = reader.attributes();
        if (!rootSeen) {
            if (name != QLatin1String("Glabels-templates"))
                throw Error(tr("Die Datei ist keine Vorlagendatei für Etikettenbögen."));
            rootSeen = true;
            continue;
        }
        if (name == QLatin1String("Template")) {
            LabelTemplate t;
            t.brand = a.value(QLatin1String("brand")).toString().trimmed();
            t.part = a.value(QLatin1String("part")).toString().trimmed();
            t.equiv = a.value(QLatin1String("equiv")).toString().trimmed();
            t.paperId = a.value(QLatin1String("size")).toString().trimmed();
            for (const PaperSize &paper : PaperSizes) {
                if (t.paperId == QLatin1String(paper.id)) {
                    t.paperWidth = paper.width;
                    t.paperHeight = paper.height;
                }
            }
            if (t.paperId == QLatin1String("Other")) {
                t.paperWidth = attributeMm(a, QLatin1String("width"));
                t.paperHeight = attributeMm(a, QLatin1String("height"));
            }
            templates.append(t);
            current = &templates.last();
            inLabel = false;
        } else if (current && name.startsWith(QLatin1String("Label-"))) {
            if (!current->labelKind.isEmpty()) {
                // A second kind of label on one sheet: no regular grid.
                current->labelKind = QStringLiteral("mixed");
                continue;
            }
            current->labelKind = name.mid(6).toString();
            current->labelWidth = attributeMm(a, QLatin1String("width"));
            current->labelHeight = attributeMm(a, QLatin1String("height"));
            // Round labels and CDs give their radius; a CD cut to a card
            // gives its width and height as well. Either way the grid counts
            // from the top-left corner of the bounding box.
            if (isRoundKind(current->labelKind)) {
                const double diameter = 2 * attributeMm(a, QLatin1String("radius"));
                if (current->labelWidth <= 0)
                    current->labelWidth = diameter;
                if (current->labelHeight <= 0)
                    current->labelHeight = diameter;
            }
            inLabel = true;
        } else if (current && inLabel && name == QLatin1String("Layout")) {
            current->layouts.append(
                TemplateLayout { attributeInt(a, QLatin1String("nx")), attributeInt(a, QLatin1String("ny")),
                    attributeMm(a, QLatin1String("x0")), attributeMm(a, QLatin1String("y0")),
                    attributeMm(a, QLatin1String("dx")), attributeMm(a, QLatin1String("dy")) });
        }
    }
    if (reader.hasError()) {
        // Qt's own text is English: the command line loads no translation.
        const QString why = reader.error() == QXmlStreamReader::PrematureEndOfDocumentError
            ? tr("die Datei endet mitten im XML")
            : tr("kein wohlgeformtes XML");
        throw Error(tr("Die Vorlagendatei ist fehlerhaft (Zeile %1): %2").arg(reader.lineNumber()).arg(why));
    }
    if (!rootSeen)
        throw Error(tr("Die Datei ist keine Vorlagendatei für Etikettenbögen."));
    return templates;
}

QList<LabelTemplate> readLabelTemplates(const QString &path)
{
    const QFileInfo info(path);
    if (!info.exists())
        throw IoError(ENOENT);
    // A folder, a pipe or a device: readFileBytes refuses it naming the file.
    if (fileExists(path) && info.size() > MaxTemplateFileBytes)
        throw Error(tr("Die Vorlagendatei %1 ist zu groß.").arg(path));
    return parseLabelTemplates(readFileBytes(path));
}

void resolveEquivalents(QList<LabelTemplate> &templates, const QList<LabelTemplate> &known)
{
    QHash<QString, LabelTemplate> originals;
    for (const QList<LabelTemplate> *list : { &known, static_cast<const QList<LabelTemplate> *>(&templates) })
        for (const LabelTemplate &t : *list)
            if (t.equiv.isEmpty())
                originals.insert(t.brand.toLower() + QLatin1Char('\n') + t.part, t);
    for (LabelTemplate &t : templates) {
        if (t.equiv.isEmpty())
            continue;
        const auto it = originals.constFind(t.brand.toLower() + QLatin1Char('\n') + t.equiv);
        if (it == originals.cend())
            continue;
        LabelTemplate copy = *it;
        copy.brand = t.brand;
        copy.part = t.part;
        copy.equiv = t.equiv;
        t = copy;
    }
}

QString labelSizeText(qint32 widthTenths, qint32 heightTenths, int across, int down)
{
    return QStringLiteral("%1 x %2 mm (%3 x %4)")
        .arg(mmText(widthTenths), mmText(heightTenths))
        .arg(across)
        .arg(down);
}

QString templateFileStem(const QString &brand, const QString &part)
{
    QString stem;
    for (const QChar c : (brand + QLatin1Char('_') + part).toLower()) {
        const bool plain = (c >= QLatin1Char('a') && c <= QLatin1Char('z'))
            || (c >= QLatin1Char('0') && c <= QLatin1Char('9'));
        stem += plain ? c : QLatin1Char('_');
    }
    return stem;
}

TemplateConversion convertTemplates(const QList<LabelTemplate> &templates, bool withBrand)
{
    TemplateConversion result;
    for (const LabelTemplate &t : templates) {
        const QString name = templateName(t.brand, t.part);
        auto skip = [&](const QString &reason) { result.skipped.append(SkippedTemplate { name, reason }); };
        if (t.layouts.isEmpty() && !t.equiv.isEmpty()) {
            skip(tr("die gleichwertige Vorlage %1 fehlt").arg(t.equiv));
            continue;
        }
        const bool round = isRoundKind(t.labelKind);
        if (t.labelKind != QLatin1String("rectangle") && !round) {
            skip(tr("keine rechteckigen oder runden Etiketten"));
            continue;
        }
        if (!allFinite({ t.paperWidth, t.paperHeight, t.labelWidth, t.labelHeight })) {
            skip(tr("Maß ist keine gültige Zahl"));
            continue;
        }
        if (t.paperWidth <= 0 || t.paperHeight <= 0) {
            skip(tr("unbekannte Bogengröße %1").arg(t.paperId));
            continue;
        }
        if (t.paperWidth > LetterLimitWidth || t.paperHeight > SheetLimitHeight) {
            skip(tr("Bogen größer als DIN A4"));
            continue;
        }
        // A sheet a little wider than A4 (US Letter) is taken when its
        // labels fit on A4: the format ends at the edge of an A4 sheet.
        const bool wide = t.paperWidth > SheetLimitWidth;
        const double sheetWidth = std::min(t.paperWidth, 210.0);
        const QString outside
            = wide ? tr("Etiketten passen nicht auf DIN A4") : tr("Etiketten liegen außerhalb des Bogens");
        if (t.layouts.isEmpty() || t.labelWidth <= 0 || t.labelHeight <= 0) {
            skip(tr("keine Etiketten in einem regelmäßigen Raster"));
            continue;
        }
        for (qsizetype n = 0; n < t.layouts.size(); ++n) {
            const TemplateLayout &l = t.layouts[n];
            const QString layoutName
                = t.layouts.size() > 1 ? tr("%1 (Anordnung %2)").arg(name).arg(n + 1) : name;
            auto skipLayout = [&](const QString &reason) {
                result.skipped.append(SkippedTemplate { layoutName, reason });
            };
            if (!allFinite({ l.x0, l.y0, l.dx, l.dy })) {
                skipLayout(tr("Maß ist keine gültige Zahl"));
                continue;
            }
            if (l.nx < 1 || l.ny < 1 || (l.nx > 1 && l.dx <= 0) || (l.ny > 1 && l.dy <= 0)) {
                skipLayout(tr("keine Etiketten in einem regelmäßigen Raster"));
                continue;
            }
            const qint64 count = qint64(l.nx) * l.ny;
            if (count > MaxLabelPositions) {
                skipLayout(
                    tr("mehr als %1 Etiketten auf einem Bogen (%2)").arg(MaxLabelPositions).arg(count));
                continue;
            }
            // Judged in millimetres first: a grid far beyond the sheet would
            // not fit the tenths of a millimetre of the positions.
            const auto farOutside = [](int labels, double origin, double pitch, double size, double sheet) {
                return origin < -1 || origin + (labels - 1) * pitch + size > sheet + 1;
            };
            if (farOutside(l.nx, l.x0, l.dx, t.labelWidth, sheetWidth)
                || farOutside(l.ny, l.y0, l.dy, t.labelHeight, t.paperHeight)) {
                skipLayout(outside);
                continue;
            }
            const Axis xs = axisOf(l.nx, l.x0, l.dx, t.labelWidth, sheetWidth);
            const Axis ys = axisOf(l.ny, l.y0, l.dy, t.labelHeight, t.paperHeight);
            if (xs.size <= 0 || ys.size <= 0) {
                skipLayout(tr("keine Etiketten in einem regelmäßigen Raster"));
                continue;
            }
            if (xs.starts.first() < 0 || ys.starts.first() < 0
                || xs.starts.last() + xs.size > tenths(sheetWidth)
                || ys.starts.last() + ys.size > tenths(t.paperHeight)) {
                skipLayout(outside);
                continue;
            }
            ConvertedFormat converted;
            converted.brand = t.brand;
            converted.part = t.part;
            converted.layout = int(n) + 1;
            converted.layoutCount = int(t.layouts.size());
            converted.round = round;
            converted.sheetWidth = tenths(sheetWidth);
            converted.sheetHeight = tenths(t.paperHeight);
            converted.fileName = templateFileStem(t.brand, t.part)
                + (n > 0 ? QStringLiteral("_%1").arg(n + 1) : QString()) + QStringLiteral(".vrl");
            converted.description = (withBrand ? name : t.part) + QLatin1Char(' ')
                + labelSizeText(xs.size, ys.size, l.nx, l.ny) + (round ? tr(" (rund)") : QString());
            converted.description.truncate(MaxDescriptionLength);
            // The VRL file's NA line ends at a comma: there the sizes take
            // the decimal point, as the format expert writes them.
            const QString fileDescription
                = QString(converted.description).replace(QLatin1Char(','), QLatin1Char('.'));
            QByteArray encoded;
            if (!encodeCp1252(converted.description, encoded)) {
                skipLayout(tr("Zeichen außerhalb von Windows-1252 in der Bezeichnung"));
                continue;
            }
            SheetFormat &f = converted.format;
            f.description = fileDescription;
            f.extentWidth = xs.extent;
            f.extentHeight = ys.extent;
            for (const qint32 y : ys.starts)
                for (const qint32 x : xs.starts)
                    f.positions.push_back(LabelPosition { x, y, xs.size, ys.size });
            f.lastLabelWidth = xs.size;
            f.lastLabelHeight = ys.size;
            result.formats.append(converted);
        }
    }
    return result;
}

} // namespace qm
