#include "printeraccess.h"

namespace qm {

std::optional<PrinterName> splitPrinterEntry(const QString &entry)
{
    const qsizetype first = entry.indexOf(QLatin1Char(','));
    if (first < 0)
        return std::nullopt;
    const qsizetype second = entry.indexOf(QLatin1Char(','), first + 1);
    if (second < 0)
        return std::nullopt;
    return PrinterName { entry.left(first), entry.mid(first + 1, second - first - 1), entry.mid(second + 1) };
}

} // namespace qm
