#include "printerchoice.h"

#include "platform/errors.h"
#include "printing/pdfprinter.h"
#include "printing/printeraccess.h"
#include "printing/printers/calibrationsheet.h"

#include <QCoreApplication>

namespace qm {

PrinterChoiceCore::PrinterChoiceCore(IPrinterAccess &printers, ISettings &settings)
    : m_printers(printers)
    , m_settings(settings)
{
    refresh();
}

void PrinterChoiceCore::refresh()
{
    const PrinterSettings stored(m_settings);
    const QString chosen = stored.chosenPrinter();
    m_rows.clear();
    const auto correction = [&](const QString &name) {
        return stored.hasBadCorrection(name)
            ? QCoreApplication::translate("qm", "ungültige Korrektur (nicht angewandt)")
            : correctionText(stored.correction(name));
    };
    for (const PrinterInfo &printer : m_printers.availablePrinters())
        m_rows.append({ printer.name, printer.location, printer.state, correction(printer.name),
            printer.isDefault, printer.name == chosen, false });
    Row pdf;
    pdf.name = pdfCorrectionName();
    pdf.location = QCoreApplication::translate("qm", "PDF-Dateien");
    pdf.correction = correction(pdf.name);
    pdf.isPdf = true;
    m_rows.append(pdf);
}

int PrinterChoiceCore::initialRow() const
{
    for (const bool chosen : { true, false })
        for (qsizetype i = 0; i < m_rows.size(); ++i)
            if (chosen ? m_rows[i].chosen : m_rows[i].isDefault)
                return int(i);
    return 0;
}

void PrinterChoiceCore::choose(int row)
{
    if (row < 0 || row >= m_rows.size() || m_rows[row].isPdf)
        return;
    PrinterSettings(m_settings).setChosenPrinter(m_rows[row].name);
    refresh();
}

QString PrinterChoiceCore::printCalibration(
    int row, const SheetFormat &format, const QString &pdfPath, IWaiter &waiter)
{
    if (row < 0 || row >= m_rows.size())
        return {};
    const Row &r = m_rows[row];
    std::unique_ptr<IPrinterDevice> device
        = r.isPdf ? std::make_unique<PdfPrinter>(pdfPath) : m_printers.openPrinter(r.name);
    if (!device)
        return deviceFailureMessage(LayoutResult::DeviceFailed, r.name, nullptr);
    return printCalibrationSheetOn(format, *device, r.isPdf ? pdfPath : r.name, waiter);
}

PrinterCorrection PrinterChoiceCore::storeReading(
    int row, const CalibrationReading &reading, const SheetFormat &format)
{
    if (row < 0 || row >= m_rows.size())
        return {};
    const QList<CalibrationMark> marks = calibrationMarks(format);
    if (marks.isEmpty())
        throw Error(calibrationProblem(format));
    const PrinterCorrection correction
        = correctionFromReading(reading, marks.first().corner.x(), marks.first().corner.y());
    PrinterSettings(m_settings).setCorrection(m_rows[row].name, correction);
    refresh();
    return correction;
}

} // namespace qm
