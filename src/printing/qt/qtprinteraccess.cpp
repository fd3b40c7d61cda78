#include "qtprinteraccess.h"

#include "platform/services.h"

#include <QCoreApplication>
#include <QDialogButtonBox>
#include <QLibrary>
#include <QPrintDialog>
#include <QPrinter>
#include <QPrinterInfo>
#include <QPushButton>
#include <QUrl>

namespace qm {
namespace {

QString tr(const char *text)
{
    return QCoreApplication::translate("qm", text);
}

// The few records of the CUPS library this file reads; their layout is part
// of the library's stable interface.
struct CupsOption
{
    char *name;
    char *value;
};

struct CupsDest
{
    char *name;
    char *instance;
    int isDefault;
    int optionCount;
    CupsOption *options;
};

// The device address of a CUPS queue ("cups-pdf:/", "usb://...", ...),
// asked of the CUPS library when it is there; empty otherwise.
QString cupsDeviceUri(const QString &printer)
{
    using GetDests = int (*)(CupsDest **);
    using GetDest = CupsDest *(*)(const char *, const char *, int, CupsDest *);
    using GetOption = const char *(*)(const char *, int, CupsOption *);
    using FreeDests = void (*)(int, CupsDest *);

    QLibrary cups(QStringLiteral("cups"), 2);
    const auto getDests = reinterpret_cast<GetDests>(cups.resolve("cupsGetDests"));
    const auto getDest = reinterpret_cast<GetDest>(cups.resolve("cupsGetDest"));
    const auto getOption = reinterpret_cast<GetOption>(cups.resolve("cupsGetOption"));
    const auto freeDests = reinterpret_cast<FreeDests>(cups.resolve("cupsFreeDests"));
    if (!getDests || !getDest || !getOption || !freeDests)
        return {};
    CupsDest *dests = nullptr;
    const int count = getDests(&dests);
    QString uri;
    const QByteArray name = printer.toUtf8();
    if (const CupsDest *dest = getDest(name.constData(), nullptr, count, dests)) {
        if (const char *value = getOption("device-uri", dest->optionCount, dest->options))
            uri = QString::fromUtf8(value);
    }
    freeDests(count, dests);
    return uri;
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
    const QString name = knownDefaultPrinter();
    if (name.isEmpty())
        return nullptr;
    return std::make_unique<QtPrinterDevice>(name, m_choices);
}

void QtPrinterAccess::showPrinterSetup(QWidget *parent, IMessages &messages)
{
    const QString name = knownDefaultPrinter();
    if (name.isEmpty()) {
        messages.show(MessageKind::Warning, noDefaultPrinterMessage(), MessageButton::Ok);
        return;
    }
    QPrinter printer(QPrinterInfo::printerInfo(name), QPrinter::HighResolution);
    if (printer.outputFormat() != QPrinter::NativeFormat) {
        messages.show(MessageKind::Warning, noDefaultPrinterMessage(), MessageButton::Ok);
        return;
    }
    if (m_choices)
        m_choices->applyTo(printer);
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
            tr("Quillmark druckt immer auf den Standarddrucker %1. Die Einstellungen für %2 werden "
               "nicht übernommen.")
                .arg(name, printer.printerName()),
            MessageButton::Ok);
        return;
    }
    m_choices = PrinterChoices::readFrom(printer);
}

} // namespace qm
