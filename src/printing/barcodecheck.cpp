#include "printing/barcodecheck.h"

#include "designs/printdesign.h"
#include "printing/labelsource.h"

#include <cstdlib>

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
        if (r.key != u"BC")
            continue;
        const qint64 width = std::abs(static_cast<qint64>(r.c) - r.a);
        const qint64 height = std::abs(static_cast<qint64>(r.d) - r.b);
        const auto kind = symbologyOf(r.e);
        if (kind && width >= 10 && height >= 10)
            columns.push_back({ column, *kind, r.text });
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
