#include "calibratecommand.h"

#include "app/commands/printerscommand.h"
#include "platform/errors.h"
#include "platform/services.h"
#include "printing/calibrationsheet.h"
#include "printing/pdfprinter.h"
#include "printing/printeraccess.h"

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

} // namespace qm
