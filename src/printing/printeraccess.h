#pragma once

#include "printing/layout.h"

#include <QList>
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

// One printer of the system as the printer choice lists it.
struct PrinterInfo
{
    QString name;
    QString location;
    QString state; // "bereit", "druckt", "angehalten", ...
    bool isDefault = false;
    bool operator==(const PrinterInfo &) const = default;
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
    // The printers of the system, to choose from; none when the system
    // tells none.
    virtual QList<PrinterInfo> availablePrinters() { return {}; }
    // A device on the named printer; nullptr when the system has no printer
    // of that name.
    virtual std::unique_ptr<IPrinterDevice> openPrinter(const QString &name)
    {
        (void)name;
        return nullptr;
    }
};

// The printer a run prints to.
struct PrinterTarget
{
    std::unique_ptr<IPrinterDevice> device; // nullptr: no printer at all
    QString name; // the printer's name, for the progress window and its correction
    QString notice; // the chosen printer is gone: what to tell the user
};

// Opens the printer `wanted` (empty: the system's default printer). A wanted
// printer that the system no longer lists, or that does not open, falls
// back to the default printer, and the notice says so.
PrinterTarget openPrinterFor(IPrinterAccess &printers, const QString &wanted);

// Whether the system lists a printer of that name.
bool isAvailablePrinter(IPrinterAccess &printers, const QString &name);

// "Der gewählte Drucker X ist nicht mehr vorhanden; gedruckt wird auf den
// Standarddrucker Y."
QString gonePrinterMessage(const QString &gone, const QString &fallback);

// Splits a default printer entry "device,driver,port": the device before the
// first comma, the driver between the first and the second, the port the
// rest (commas included). Nothing when the entry has fewer than two commas,
// so such an entry names no printer instead of being cut at random.
std::optional<PrinterName> splitPrinterEntry(const QString &entry);

} // namespace qm
