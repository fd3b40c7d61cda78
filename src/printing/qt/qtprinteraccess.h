#pragma once

#include "printing/printeraccess.h"
#include "printing/qt/qtprinterdevice.h"

#include <functional>
#include <map>
#include <optional>

class QWidget;

namespace qm {

class IMessages;

// The system's default printer through Qt's print support (CUPS on Linux).
//
// The printer setup dialog's choices are kept by this object and handed to
// every device it opens afterwards; the program keeps one for its whole run.
class QtPrinterAccess : public IPrinterAccess
{
public:
    // Gives the name of the system's default printer; empty when there is
    // none.
    using DefaultPrinterName = std::function<QString()>;

    // The default printer as Qt reports it (QPrinterInfo::defaultPrinterName).
    QtPrinterAccess();
    // The default printer named by `defaultName` (tests name none, or one of
    // their own).
    explicit QtPrinterAccess(DefaultPrinterName defaultName);
    ~QtPrinterAccess() override;

    // device: the printer's name; driver: its make and model; port: its
    // device address (for instance "cups-pdf:/"), or the queue's address
    // when the spooler does not tell it. Nothing when there is no default
    // printer, or the named one is not known to the system.
    std::optional<PrinterName> DruckerbezeichnungHolen() override;

    // A QtPrinterDevice on the default printer with the choices kept from the
    // setup dialog; nullptr when there is no default printer.
    std::unique_ptr<IPrinterDevice> openDefaultPrinter() override;

    // The CUPS queues with their location and state (from the CUPS library
    // when it is there, else as Qt reports them).
    QList<PrinterInfo> availablePrinters() override;
    // A QtPrinterDevice on the named printer, with the choices kept from the
    // setup dialog when they were made for it.
    std::unique_ptr<IPrinterDevice> openPrinter(const QString &name) override;

    // "&Einrichten ..." of "&Druckparameter ...": the printer dialog for
    // `printerName` (empty: the default printer). What the user confirms there
    // (not the page size, which every run sets) is kept for the print runs
    // on that printer that follow. Without such a printer a warning says
    // so instead; another printer chosen in the dialog itself is not taken
    // over, and a message says why.
    void showPrinterSetup(QWidget *parent, IMessages &messages, const QString &printerName = QString());

    // The choices kept for printer `name`: those confirmed for it in the
    // setup dialog, else those set for the default printer when it is that
    // one; nothing when none were.
    std::optional<PrinterChoices> choicesFor(const QString &name) const;
    // Keeps `choices` for printer `name`, as confirming the setup dialog does.
    void keepChoices(const QString &name, const PrinterChoices &choices) { m_choices[name] = choices; }
    // The choices kept for the default printer, and setting them.
    std::optional<PrinterChoices> choices() const { return choicesFor(QString()); }
    void setChoices(std::optional<PrinterChoices> choices);

    // The message shown when the system has no default printer.
    static QString noDefaultPrinterMessage();

private:
    // The default printer's name when the system knows that printer.
    QString knownDefaultPrinter() const;

    DefaultPrinterName m_defaultName;
    // By printer; under the empty name those for the default printer.
    std::map<QString, PrinterChoices> m_choices;
};

} // namespace qm
