#pragma once

#include "formats/sheetformat.h"
#include "printing/printercorrection.h"

#include <QList>
#include <QString>

namespace qm {

class IPrinterAccess;
class ISettings;
class IWaiter;

// The rules of "&Druckparameter ...": the printers of the system with their
// location, state and stored correction, the PDF files' entry last; which
// one Quillmark prints to; "Ausrichtung prüfen ..." (the calibration sheet
// on a row's printer, and the correction from what the user reads off it).
class PrinterChoiceCore
{
public:
    struct Row
    {
        QString name; // "PDF" for the PDF files' entry
        QString location;
        QString state;
        QString correction; // as correctionText says it
        bool isDefault = false;
        bool chosen = false;
        bool isPdf = false;
    };

    PrinterChoiceCore(IPrinterAccess &printers, ISettings &settings);

    // Reads the printers and the settings again.
    void refresh();
    const QList<Row> &rows() const { return m_rows; }
    // The row to select first: the chosen printer's, else the default
    // printer's, else the first.
    int initialRow() const;

    // "&Übernehmen": the row's printer is the one every run prints to from
    // now on. The PDF entry is no printer to print to: it changes nothing.
    // Throws Error for a name the settings cannot keep.
    void choose(int row);

    // Prints the calibration sheet of `format` without correction on the
    // row's printer, or for the PDF entry into `pdfPath`. Empty when it was
    // printed, else why not.
    QString printCalibration(int row, const SheetFormat &format, const QString &pdfPath, IWaiter &waiter);

    // Stores for the row's printer the correction that undoes the reading
    // taken on the calibration sheet of `format`, and returns it. Throws
    // Error (German) for a reading out of range.
    PrinterCorrection storeReading(int row, const CalibrationReading &reading, const SheetFormat &format);

private:
    IPrinterAccess &m_printers;
    ISettings &m_settings;
    QList<Row> m_rows;
};

} // namespace qm
