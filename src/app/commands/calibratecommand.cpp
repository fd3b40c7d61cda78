#include "calibratecommand.h"

#include "app/commands/commandsupport.h"
#include "app/commands/printerscommand.h"
#include "platform/errors.h"
#include "platform/services.h"
#include "platform/settings.h"
#include "printing/pdfprinter.h"
#include "printing/printeraccess.h"
#include "printing/printers/calibrationsheet.h"

#include <QCoreApplication>

namespace qm {
namespace {

QString tr(const char *text)
{
    return QCoreApplication::translate("qm", text);
}

} // namespace

int calibrateCommand(const CalibrateCall &call, QTextStream &out, QTextStream &err, IPrinterAccess &printers,
    ISettings &settings, IWaiter &waiter)
{
    PrinterTarget target;
    if (call.printer) {
        target = commandLinePrinter(printers, settings, call.printerName, err);
    } else {
        target.device = std::make_unique<PdfPrinter>(call.pdf);
        target.name = call.pdf;
    }
    if (const QString failure = printCalibrationSheetOn(call.format, *target.device, target.name, waiter);
        !failure.isEmpty())
        throw Error(failure);
    out << (call.printer ? tr("Kalibrierbogen an %1") : tr("Kalibrierbogen in %1")).arg(target.name) << '\n';
    return 0;
}

int calibrateCommandOf(const Call &call, QTextStream &out, QTextStream &err, IPrinterAccess &printers)
{
    CalibrateCall calibrateCall;
    calibrateCall.pdf = call.value("pdf");
    calibrateCall.printer = call.isSet("printer");
    calibrateCall.printerName = call.listValues.value(0);
    if (call.isSet("pdf") == calibrateCall.printer)
        throw UsageError(
            tr("Entweder --pdf AUSGABE.pdf oder --printer angeben."), usageOf(QStringLiteral("calibrate")));
    if (call.isSet("pdf") && calibrateCall.pdf.isEmpty())
        throw Error(tr("Der Name der PDF-Datei fehlt."));
    readFormat(lookUp(call, call.files[0], EntryFileKind::Format), calibrateCall.format);
    IniFileSettings settings(defaultSettingsPath());
    NoWait waiter;
    return calibrateCommand(calibrateCall, out, err, printers, settings, waiter);
}

} // namespace qm
