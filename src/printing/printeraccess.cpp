#include "printeraccess.h"

#include <QCoreApplication>

#include <algorithm>

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

bool isAvailablePrinter(IPrinterAccess &printers, const QString &name)
{
    const QList<PrinterInfo> all = printers.availablePrinters();
    return !name.isEmpty()
        && std::any_of(all.cbegin(), all.cend(), [&](const PrinterInfo &p) { return p.name == name; });
}

QString gonePrinterMessage(const QString &gone, const QString &fallback)
{
    return QCoreApplication::translate(
        "qm", "Der gewählte Drucker %1 ist nicht mehr vorhanden; gedruckt wird auf den Standarddrucker %2.")
        .arg(gone, fallback);
}

PrinterTarget openPrinterFor(IPrinterAccess &printers, const QString &wanted)
{
    PrinterTarget target;
    if (isAvailablePrinter(printers, wanted)) {
        target.device = printers.openPrinter(wanted);
        target.name = wanted;
        if (target.device)
            return target;
    }
    target.name.clear();
    if (const std::optional<PrinterName> name = printers.DruckerbezeichnungHolen()) {
        target.device = printers.openDefaultPrinter();
        if (target.device)
            target.name = name->device;
    }
    if (!wanted.isEmpty() && target.device)
        target.notice = gonePrinterMessage(wanted, target.name);
    return target;
}

} // namespace qm
