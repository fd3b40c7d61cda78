#pragma once

#include "printing/layout.h"

#include <QString>

#include <memory>
#include <optional>

namespace qm {

// The default printer as the print run names it: device, driver and port.
struct PrinterName
{
    QString device;
    QString driver;
    QString port;
    bool operator==(const PrinterName &) const = default;
};

// The system's printers as a print run reaches them.
class IPrinterAccess
{
public:
    virtual ~IPrinterAccess() = default;
    // DruckerbezeichnungHolen: the default printer, or nothing when the
    // system has none.
    virtual std::optional<PrinterName> DruckerbezeichnungHolen() = 0;
    // A device printing to the default printer with its default settings;
    // nullptr when there is no default printer.
    virtual std::unique_ptr<IPrinterDevice> openDefaultPrinter() = 0;
};

// Splits a default printer entry "device,driver,port": the device before the
// first comma, the driver between the first and the second, the port the
// rest (commas included). Nothing when the entry has fewer than two commas,
// so such an entry names no printer instead of being cut at random.
std::optional<PrinterName> splitPrinterEntry(const QString &entry);

} // namespace qm
