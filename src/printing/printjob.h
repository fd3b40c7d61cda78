#pragma once

#include "data/recordreader.h"
#include "designs/printdesign.h"
#include "formats/sheetformat.h"
#include "printing/layout.h"
#include "printing/printercorrection.h"

#include <QImage>
#include <QString>
#include <QStringList>

#include <functional>
#include <memory>

namespace qm {

class ICanvas;
class IMessages;

// One print, whichever way it was asked for (the windows' working modes, the
// preview, the calibration sheet, the command line): what is printed, from
// which records, where on the sheet and with which corrections. The device it
// goes to (a PDF file, a printer, a preview page, a recording canvas) is
// given to printLabels().
struct PrintJob
{
    // The design whose labels are printed; it must outlive the run.
    const PrintDesign *design = nullptr;
    SheetFormat format;

    // The records, each in the form of an entry-grid row (copies, then the
    // value of every data column); read once to check and count them, and
    // again (after rewind()) to print. None: one label without values.
    IRecordReader *records = nullptr;
    // What the records are read from, for the message of records that
    // changed during the run (a file name); empty: "Die Datensätze".
    QString recordsName;
    // "Seriennummern auch in Kopie": every label counts its serial number on;
    // otherwise the copies of a record share it.
    bool serialInCopies = true;

    int startPosition = 1; // 1 .. MaxStartPosition
    int offsetX = 0; // tenths of a millimetre, -MaxOffset .. MaxOffset
    int offsetY = 0;
    bool frame = false;
    // The calibration of the printer the run goes to, and whose it is
    // ("PDF" for PDF files) for the messages.
    PrinterCorrection correction;
    QString correctionName;
    // The printer's name or the PDF file, as messages name the device, and
    // whether it is a file (a PdfPrinter, whose reason is then given).
    QString deviceName;
    bool toFile = false;

    // Where relative picture paths are taken from (the program directory).
    QString pictureFolder;
    // What a date element prints.
    QString dateText;
    // Where what the drawing meets is said at once (an image record of an
    // older design format); none: it is not said.
    IMessages *messages = nullptr;

    // How much memory the symbols of the barcodes laid out by the check may
    // keep for the drawing; the barcodes of the records beyond are laid out
    // again, a few labels ahead of their drawing.
    qint64 keptSymbolBytes = 32 * 1024 * 1024;

    // Instead of labels of a design: one page drawn by `sheetDrawing` on a
    // canvas mapped at `sheetUnitsPerCm` (the calibration sheet), as label 1
    // at the sheet's corner, without records.
    std::function<void(ICanvas &)> sheetDrawing;
    int sheetUnitsPerCm = 100;
};

// How a print ended.
struct PrintOutcome
{
    // Printed; Cancelled by the user (the labels up to then were printed);
    // Refused (the check found a problem: nothing was asked of the device);
    // DeviceFailed or EndFailed (the printer or the file could not be
    // written); Changed (the records gave other labels or values the second
    // time they were read: the document was given up, nothing printed).
    enum class Result { Printed, Cancelled, Refused, DeviceFailed, EndFailed, Changed };
    Result result = Result::Refused;
    qint64 labels = 0; // labels of the run
    int pages = 0; // pages the device was given
    // Why the run did not print (German, ready to show); empty when it did.
    QString message;
    // What the drawing met that the user is to be told after the run (texts
    // cut at a label's edge), one line each, and all of them as one message.
    QStringList notices;
    QString noticeMessage;

    bool printed() const { return result == Result::Printed; }
};

// A print job checked and ready to print. Making it reads the records once
// and checks everything before any device is asked: the numbers (scale,
// start, offsets, sheet), every picture, every record's copies and serial
// starts, every value against its field's length, and every barcode value
// (laid out once: the symbol checked is the symbol drawn). A problem throws
// Error with a German message naming the record and field. It then prints
// the labels one at a time as the layout reaches them, reading the records
// a second time; a record that now reads differently ends the run (Changed)
// before the document is finished, so that nothing different is printed.
class LabelRun
{
public:
    explicit LabelRun(const PrintJob &job);
    ~LabelRun();
    LabelRun(const LabelRun &) = delete;
    LabelRun &operator=(const LabelRun &) = delete;

    const PrintJob &job() const;
    // The labels of the run and the last sheet position they fill.
    qint64 labels() const;
    int lastPosition() const;
    // The pages (sheets) the run fills, the empty positions before the start
    // included.
    int pageCount() const;
    // Barcodes of the design that are not printed, to be named once before
    // the run (the design's notices).
    QStringList designNotices() const;

    // The device chosen after the check (the windows ask for a printer only
    // once the records are known to print): its name for the messages,
    // whether it is a file, and its correction. Returns why the run cannot be
    // printed with that correction (a label moved off its page), else "";
    // the records are not read again.
    QString setDevice(
        const QString &name, bool toFile, const PrinterCorrection &correction, const QString &correctionName);

    // Prints every label on `device`. Errors are returned, not thrown
    // (bad_alloc aside).
    PrintOutcome print(IPrinterDevice &device, IPrintProgress &progress);
    // Prints only pages `firstPage` .. `lastPage` (from 1) of the run, the
    // labels before them read but not drawn: the preview's page.
    PrintOutcome printPages(IPrinterDevice &device, IPrintProgress &progress, int firstPage, int lastPage);

private:
    struct Impl;
    std::unique_ptr<Impl> d;
};

// The one road to the printer: checks the job (a problem gives Refused with
// its message, the device untouched) and prints it on `device`.
PrintOutcome printLabels(const PrintJob &job, IPrinterDevice &device, IPrintProgress &progress);

// The message for a value longer than its field holds.
QString valueTooLongMessage(qint64 record, const QString &field, const QString &value, int size);

} // namespace qm
