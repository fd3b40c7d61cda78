#pragma once

#include "labeltemplates.h"
#include "sheetformat.h"

#include <QByteArray>
#include <QByteArrayView>
#include <QList>
#include <QString>

namespace qm {

// The label-stock index: every sheet of the label-stock templates that makes
// a format (see convertTemplates), by maker and part number, so that a user
// finds stock by the number on its box. The program ships it (made by
// tools/formatgen from gLabels' template files) and reads it read-only.
//
// Its text is UTF-8, one sheet a line, the fields separated by tabs:
//   maker, part, VRL file name, description (decimal commas), round (0/1),
//   sheet width, sheet height, across, down, label width, label height,
//   extent width, extent height, the x positions of a row (comma
//   separated), the y positions of a column
// All lengths in tenths of a millimetre. Lines starting with "#" are
// comments.
struct StockSheet
{
    QString brand;
    QString part;
    QString fileName; // e.g. "herma_4464.vrl", "zweckform_3490_2.vrl"
    QString description; // e.g. "Herma 4464 48,5 x 25,4 mm (4 x 10)"
    bool round = false;
    qint32 sheetWidth = 0;
    qint32 sheetHeight = 0;
    int across = 0;
    int down = 0;
    // The format, its description as a VRL file stores it (decimal points).
    SheetFormat format;

    qint32 labelWidth() const { return format.lastLabelWidth; }
    qint32 labelHeight() const { return format.lastLabelHeight; }
    int labelCount() const { return across * down; }
    // The label size and grid: "48,5 x 25,4 mm (4 x 10)", " (rund)" after
    // it for round labels.
    QString sizeText() const;
};

// The sheets of resolved templates, in their order. What makes no format is
// added to `skipped` when given. Every sheet has a description of its own:
// the second and later layouts of one part get " - 2", " - 3", ....
QList<StockSheet> stockSheetsOf(
    const QList<LabelTemplate> &templates, QList<SkippedTemplate> *skipped = nullptr);

// The text of the index (see above), with a comment line first.
QByteArray stockIndexText(const QList<StockSheet> &sheets);

// Reads the text of an index; descriptions that repeat are told apart as
// stockSheetsOf does. Throws qm::Error, in German and naming the
// line, for a line that is no sheet: wrong field count, numbers out of range,
// positions outside the sheet, more than 200 labels, a description too long.
QList<StockSheet> parseStockIndex(QByteArrayView text);

// The index the program ships with. Throws qm::Error when it is damaged.
QList<StockSheet> shippedStockIndex();

// The sheets that match a search text, best first: every word of the text
// (letter case aside) must appear in maker, part number or description. A
// decimal comma and point are the same; a label size ("70 x 36", "70x36",
// "63,5 x 38,1") matches labels up to half a millimetre off each way. A
// sheet whose part number is one of the words comes first; otherwise the
// index order stays. An empty text finds nothing.
QList<qsizetype> findStockSheets(const QList<StockSheet> &sheets, const QString &text);

// The sheets (one per layout) of one maker's part, letter case aside.
QList<qsizetype> stockSheetsOfPart(
    const QList<StockSheet> &sheets, const QString &brand, const QString &part);

} // namespace qm
