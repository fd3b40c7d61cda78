#include "printing/barcodecheck.h"

#include "designs/printdesign.h"
#include "designs/rendering.h"
#include "printing/labelsource.h"

namespace qm {

std::vector<BarcodeColumn> barcodeColumns(const PrintDesign &design)
{
    std::vector<BarcodeColumn> columns;
    int column = 0;
    for (const PrintRecord &r : design.records) {
        const bool takesColumn = r.key == u"EF" || r.key == u"BC" || (r.key == u"SE" && r.c != 0);
        if (!takesColumn)
            continue;
        ++column;
        if (drawsBarcode(r))
            columns.push_back({ column, static_cast<Symbology>(r.e), r.text });
    }
    return columns;
}

QString firstUnprintableBarcode(const PrintDesign &design, IRecordReader &records)
{
    const std::vector<BarcodeColumn> columns = barcodeColumns(design);
    if (columns.empty())
        return {};
    QStringList record;
    int number = 0;
    while (records.next(record)) {
        ++number;
        for (const BarcodeColumn &c : columns) {
            const QString value = c.column < record.size() ? record[c.column] : QString();
            if (!value.isEmpty() && !canEncode(c.kind, value))
                return unprintableBarcodeMessage(number, c.name, value, c.kind);
        }
    }
    return {};
}

} // namespace qm
