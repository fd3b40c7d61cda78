#pragma once

#include "sheetformat.h"

#include <QByteArrayView>
#include <QList>
#include <QString>

#include <optional>

namespace qm {

// Label-stock templates in the XML layout of gLabels' template files
// ("Glabels-templates" with one "Template" per product). Only the numbers
// are taken: maker, part number, sheet size, label size and the grid of each
// layout. Lengths are read as gLabels writes them: "mm", "cm", "in", "pc"
// or "pt", a number without a unit being points.

// One grid of labels: nx across, ny down, the first at (x0, y0), the next
// ones dx and dy further (the pitch, not the gap). Millimetres.
struct TemplateLayout
{
    int nx = 0;
    int ny = 0;
    double x0 = 0;
    double y0 = 0;
    double dx = 0;
    double dy = 0;
};

struct LabelTemplate
{
    QString brand;
    QString part;
    QString equiv; // part number of the template this one repeats
    QString paperId; // "A4", "US-Letter", "Other", ...
    double paperWidth = 0; // mm; 0 when the paper is unknown
    double paperHeight = 0;
    QString labelKind; // "rectangle", "round", "ellipse", "cd", "path", ...
    double labelWidth = 0; // mm (rectangles)
    double labelHeight = 0;
    QList<TemplateLayout> layouts;
};

// A length attribute in millimetres; nothing for a text that is no length.
std::optional<double> templateLengthMm(QStringView text);

// The templates of an XML file's text, equivalents as written (see
// resolveEquivalents). Throws qm::Error, in German, when the text is not
// well-formed XML or not a template file.
QList<LabelTemplate> parseLabelTemplates(QByteArrayView xml);

// Reads and parses a template file: a regular file of at most 16 MB.
// Throws IoError or qm::Error.
QList<LabelTemplate> readLabelTemplates(const QString &path);

// Each template that only names an equivalent gets the sheet, label and
// layouts of that template of the same maker (`known` may hold templates of
// other files as well). An equivalent without a match keeps no layouts.
void resolveEquivalents(QList<LabelTemplate> &templates, const QList<LabelTemplate> &known = {});

// One layout of a template, as a sheet format.
struct ConvertedFormat
{
    QString brand;
    QString part;
    int layout = 1; // 1-based number of the layout in its template
    int layoutCount = 1;
    QString fileName; // e.g. "avery_l7160.vrl", "avery_l7160_2.vrl"
    QString description; // e.g. "L7160 63,5 x 38,1 mm (3 x 7)"
    bool round = false; // round labels or CDs, as their bounding squares
    qint32 sheetWidth = 0; // the sheet in tenths of a millimetre
    qint32 sheetHeight = 0;
    // The sheet with its description for the VRL file, whose NA line ends at
    // a comma: there the sizes take a decimal point, "L7160 63.5 x 38.1 mm
    // (3 x 7)".
    SheetFormat format;
};

// A template (or one of its layouts) that makes no format, and why, in
// German.
struct SkippedTemplate
{
    QString name; // maker and part number
    QString reason;
};

struct TemplateConversion
{
    QList<ConvertedFormat> formats;
    QList<SkippedTemplate> skipped;
};

// Converts resolved templates into sheet formats. Taken are rectangular
// labels on sheets no larger than DIN A4 (210 x 297 mm), or on US Letter
// when every label lies within A4's width, every label inside the sheet, at
// most 200 per sheet; anything else is listed as skipped with the reason.
// Round labels and CDs are taken as their bounding squares (or the card a
// CD is cut to), with " (rund)" after the description. Positions are
// rounded to tenths of a millimetre from the exact grid (so rounding never
// adds up along a row); a label is never wider or taller than the rounded
// pitch, so neighbours never overlap, and a last label reaching at most one
// millimetre beyond the sheet is narrowed to end at its edge. The extent
// ends at the last label, or one gap after a single column or row, as the
// format expert writes it. The description is the part number (maker and
// part number with `withBrand`), the label size in millimetres with a
// decimal comma and the grid: "L7160 63,5 x 38,1 mm (3 x 7)".
TemplateConversion convertTemplates(const QList<LabelTemplate> &templates, bool withBrand);

// The label size and grid part of a description: "63,5 x 38,1 mm (3 x 7)".
QString labelSizeText(qint32 widthTenths, qint32 heightTenths, int across, int down);

// A file name made of maker and part number: lower case, every character
// other than a-z and 0-9 becoming "_": "Avery", "L7160" give "avery_l7160".
QString templateFileStem(const QString &brand, const QString &part);

} // namespace qm
