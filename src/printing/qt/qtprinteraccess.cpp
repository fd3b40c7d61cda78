#include "qtprinteraccess.h"

#include "platform/numbers.h"
#include "platform/services.h"

#include <QCoreApplication>
#include <QDialogButtonBox>
#include <QLibrary>
#include <QPrintDialog>
#include <QPrinter>
#include <QPrinterInfo>
#include <QPushButton>
#include <QUrl>

#include <cups/cups.h>

namespace qm {
namespace {

QString tr(const char *text)
{
    return QCoreApplication::translate("qm", text);
}

// The CUPS library, bound when it is there, so that the program starts
// without it. The records and functions are those of its own header.
class CupsLibrary
{
public:
    CupsLibrary()
        : m_library(QStringLiteral("cups"), 2)
    {
        getDests = reinterpret_cast<decltype(&cupsGetDests)>(m_library.resolve("cupsGetDests"));
        getDest = reinterpret_cast<decltype(&cupsGetDest)>(m_library.resolve("cupsGetDest"));
        getOption = reinterpret_cast<decltype(&cupsGetOption)>(m_library.resolve("cupsGetOption"));
        freeDests = reinterpret_cast<decltype(&cupsFreeDests)>(m_library.resolve("cupsFreeDests"));
    }
    bool loaded() const { return getDests && getDest && getOption && freeDests; }

    decltype(&cupsGetDests) getDests = nullptr;
    decltype(&cupsGetDest) getDest = nullptr;
    decltype(&cupsGetOption) getOption = nullptr;
    decltype(&cupsFreeDests) freeDests = nullptr;

private:
    QLibrary m_library;
};

// The destinations CUPS knows, freed again however the caller leaves.
class CupsDests
{
public:
    explicit CupsDests(const CupsLibrary &cups)
        : m_cups(cups)
    {
        if (m_cups.loaded())
            m_count = m_cups.getDests(&m_dests);
    }
    ~CupsDests()
    {
        if (m_dests)
            m_cups.freeDests(m_count, m_dests);
    }
    CupsDests(const CupsDests &) = delete;
    CupsDests &operator=(const CupsDests &) = delete;

    int count() const { return m_dests ? m_count : 0; }
    const cups_dest_t &at(int i) const { return m_dests[i]; }
    const cups_dest_t *find(const QString &name) const
    {
        if (!m_dests)
            return nullptr;
        const QByteArray utf8 = name.toUtf8();
        return m_cups.getDest(utf8.constData(), nullptr, m_count, m_dests);
    }
    QString option(const cups_dest_t &dest, const char *name) const
    {
        const char *value = m_cups.getOption(name, dest.num_options, dest.options);
        return value ? QString::fromUtf8(value) : QString();
    }

private:
    const CupsLibrary &m_cups;
    cups_dest_t *m_dests = nullptr;
    int m_count = 0;
};

// The device address of a CUPS queue ("cups-pdf:/", "usb://...", ...),
// asked of the CUPS library when it is there; empty otherwise.
QString cupsDeviceUri(const QString &printer)
{
    const CupsLibrary cups;
    const CupsDests dests(cups);
    const cups_dest_t *dest = dests.find(printer);
    return dest ? dests.option(*dest, "device-uri") : QString();
}

// The German word for a queue's state (IPP printer-state 3, 4, 5).
QString stateText(int ippState)
{
    switch (ippState) {
    case 3:
        return tr("bereit");
    case 4:
        return tr("druckt");
    case 5:
        return tr("angehalten");
    default:
        return tr("unbekannt");
    }
}

int ippStateOf(QPrinter::PrinterState state)
{
    switch (state) {
    case QPrinter::Idle:
        return 3;
    case QPrinter::Active:
        return 4;
    default:
        return 5;
    }
}

} // namespace

QtPrinterAccess::QtPrinterAccess()
    : QtPrinterAccess([] { return QPrinterInfo::defaultPrinterName(); })
{ }

QtPrinterAccess::QtPrinterAccess(DefaultPrinterName defaultName)
    : m_defaultName(std::move(defaultName))
{ }

QtPrinterAccess::~QtPrinterAccess() = default;

QString QtPrinterAccess::noDefaultPrinterMessage()
{
    return tr("Es ist kein Standarddrucker eingerichtet. Bitte richten Sie in der Druckerverwaltung des "
              "Systems einen Drucker ein und legen Sie ihn als Standarddrucker fest.");
}

QString QtPrinterAccess::knownDefaultPrinter() const
{
    const QString name = m_defaultName ? m_defaultName() : QString();
    if (name.isEmpty() || QPrinterInfo::printerInfo(name).isNull())
        return {};
    return name;
}

std::optional<PrinterName> QtPrinterAccess::DruckerbezeichnungHolen()
{
    const QString name = knownDefaultPrinter();
    if (name.isEmpty())
        return std::nullopt;
    const QPrinterInfo info = QPrinterInfo::printerInfo(name);
    PrinterName result;
    result.device = name;
    result.driver = info.makeAndModel();
    result.port = cupsDeviceUri(name);
    if (result.port.isEmpty())
        result.port = QStringLiteral("ipp://localhost/printers/")
            + QString::fromLatin1(QUrl::toPercentEncoding(name));
    return result;
}

std::unique_ptr<IPrinterDevice> QtPrinterAccess::openDefaultPrinter()
{
    return openPrinter(knownDefaultPrinter());
}

QList<PrinterInfo> QtPrinterAccess::availablePrinters()
{
    const QString defaultName = knownDefaultPrinter();
    QList<PrinterInfo> printers;
    const CupsLibrary cups;
    const CupsDests dests(cups);
    for (const QString &name : QPrinterInfo::availablePrinterNames()) {
        PrinterInfo printer;
        printer.name = name;
        printer.isDefault = name == defaultName;
        if (const cups_dest_t *dest = dests.find(name)) {
            printer.location = dests.option(*dest, "printer-location");
            const std::optional<int> state = parseStrictInt(dests.option(*dest, "printer-state"));
            printer.state = stateText(state.value_or(0));
        } else {
            const QPrinterInfo info = QPrinterInfo::printerInfo(name);
            printer.location = info.location();
            printer.state = stateText(ippStateOf(info.state()));
        }
        printers.append(printer);
    }
    return printers;
}

std::unique_ptr<IPrinterDevice> QtPrinterAccess::openPrinter(const QString &name)
{
    if (name.isEmpty() || QPrinterInfo::printerInfo(name).isNull())
        return nullptr;
    return std::make_unique<QtPrinterDevice>(name, choicesFor(name));
}

std::optional<PrinterChoices> QtPrinterAccess::choicesFor(const QString &name) const
{
    auto kept = m_choices.find(name);
    if (kept == m_choices.end() && !name.isEmpty() && name == knownDefaultPrinter())
        kept = m_choices.find(QString());
    if (kept == m_choices.end())
        return std::nullopt;
    return kept->second;
}

void QtPrinterAccess::setChoices(std::optional<PrinterChoices> choices)
{
    if (choices)
        m_choices[QString()] = *choices;
    else
        m_choices.erase(QString());
}

void QtPrinterAccess::showPrinterSetup(QWidget *parent, IMessages &messages, const QString &printerName)
{
    const QString name = printerName.isEmpty() || QPrinterInfo::printerInfo(printerName).isNull()
        ? knownDefaultPrinter()
        : printerName;
    if (name.isEmpty()) {
        messages.show(MessageKind::Warning, noDefaultPrinterMessage(), MessageButton::Ok);
        return;
    }
    QPrinter printer(QPrinterInfo::printerInfo(name), QPrinter::HighResolution);
    if (printer.outputFormat() != QPrinter::NativeFormat) {
        messages.show(MessageKind::Warning, noDefaultPrinterMessage(), MessageButton::Ok);
        return;
    }
    if (const std::optional<PrinterChoices> kept = choicesFor(name))
        kept->applyTo(printer);
    QPrintDialog dialog(&printer, parent);
    dialog.setWindowTitle(tr("Druckparameter"));
    dialog.setOption(QAbstractPrintDialog::PrintToFile, false);
    dialog.setOption(QAbstractPrintDialog::PrintSelection, false);
    dialog.setOption(QAbstractPrintDialog::PrintPageRange, false);
    dialog.setOption(QAbstractPrintDialog::PrintCurrentPage, false);
    // The dialog only sets the printer up; its "Drucken" would promise a
    // print that does not happen.
    for (QDialogButtonBox *box : dialog.findChildren<QDialogButtonBox *>())
        if (QPushButton *ok = box->button(QDialogButtonBox::Ok))
            ok->setText(tr("&Übernehmen"));
    if (dialog.exec() != QDialog::Accepted)
        return;
    if (printer.printerName() != name) {
        messages.show(MessageKind::Information,
            tr("Diese Einstellungen gelten für den Drucker %1. Die Einstellungen für %2 werden "
               "nicht übernommen; wählen Sie ihn dazu in der Liste der Drucker.")
                .arg(name, printer.printerName()),
            MessageButton::Ok);
        return;
    }
    keepChoices(name, PrinterChoices::readFrom(printer));
}

} // namespace qm
