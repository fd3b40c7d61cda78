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
    const SheetFormat &format = call.format;
    if (const QString problem = calibrationProblem(format); !problem.isEmpty())
        throw Error(problem);
    PrinterTarget target;
    PdfPrinter *pdf = nullptr;
    if (call.printer) {
        target = commandLinePrinter(printers, settings, call.printerName, err);
    } else {
        auto device = std::make_unique<PdfPrinter>(call.pdf);
        pdf = device.get();
        target.device = std::move(device);
        target.name = call.pdf;
    }
    NullPrintProgress progress;
    const LayoutResult result = printCalibrationSheet(format, *target.device, progress, waiter);
    if (result != LayoutResult::Printed) {
        if (pdf)
            throw Error(pdf->errorMessage().isEmpty()
                    ? tr("Die PDF-Datei %1 konnte nicht geschrieben werden.").arg(call.pdf)
                    : tr("Die PDF-Datei %1 konnte nicht geschrieben werden: %2").arg(call.pdf, pdf->errorMessage()));
        throw Error(tr("Der Drucker %1 konnte nicht geöffnet werden.").arg(target.name));
    }
    out << (pdf ? tr("Kalibrierbogen in %1").arg(call.pdf) : tr("Kalibrierbogen an %1").arg(target.name)) << '\n';
    return 0;
}

} // namespace qm
