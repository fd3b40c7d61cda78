#pragma once

#include "app/dialogs/workingmode.h"
#include "designs/printdesign.h"
#include "formats/sheetformat.h"
#include "platform/stringtable.h"
#include "programdir/programdirectory.h"

#include <QList>
#include <QString>
#include <QStringList>

#include <functional>
#include <memory>

namespace qm {

class IDatabaseExpert;
class IDesignEditor;
class IFileDialogs;
class IInputExpert;
class IMessages;
class IPrinterAccess;
class IProgressWindow;
class IRecordReader;
class ISettings;
class IWaiter;
class PreviewPages;
struct PrintJob;

// The print side's state for the whole program run, owned by the
// application: the design read last, the current sheet format, their names
// for the status lines and the offsets remembered from the last print.
struct PrintSession
{
    PrintDesign design;
    SheetFormat format;
    QString designName; // the first panel of the input expert's status line
    QString formatName; // its second panel: the sheet format's description
    int offsetPositionX = 250;
    int offsetPositionY = 250;
    bool serialInCopies = true; // "Seriennummern auch in Kopie"
    QString lastPdfFolder; // where the last PDF file was saved; empty: none yet
};

// The windows and services a print run talks to.
struct PrintRunServices
{
    IMessages &messages;
    IFileDialogs &fileDialogs;
    IWaiter &waiter;
    IPrinterAccess &printers;
    IInputExpert &inputExpert;
    IProgressWindow &progress;
    // The database expert of working modes 2 and 3; without one those modes
    // say that it is not part of this build.
    IDatabaseExpert *databaseExpert = nullptr;
    // Quillmark.ini: the printer chosen in "&Druckparameter ...", the
    // printers' corrections and whether the windows print without waits.
    // Without it a run prints on the default printer uncorrected.
    ISettings *settings = nullptr;
};

// What happened to the last call of Ausfuehren, for the windows' tests and
// the status of the main window.
enum class RunOutcome {
    Nothing, // mode outside 1 .. 4
    FileMissing, // design, format or table not found (message shown)
    Cancelled, // the input expert was cancelled, or the PDF choice
    Failed, // a conversion or file error ended the run (message shown)
    NotAvailable, // the mode's window is not part of this version (message shown)
    Edited, // the design editor was shown on the design, or the database expert on the table
    Printed, // labels went to the printer or the PDF file
    PrintCancelled, // the user stopped the run in the progress window
    DeviceFailed, // the printer or the PDF file could not be written (message shown)
};

// Ausfuehren: uses a design, a sheet format and a table in a working mode.
// Mode 1 loads design and format, lets the user type records in the input
// expert and prints the records it returns on the chosen (else the default)
// printer, or, when the system has none and the user agrees, into a PDF
// file. Mode 2 loads design and format and opens the database expert on the
// table; the records its record selection returns go through the input
// expert in mode "D" (start label, frame, offsets) and are printed the same
// way. Mode 3 opens the database expert on the table alone, mode 4 the
// design editor on the design. Every print is one PrintJob of the printing
// library (src/printing/printjob.h).
class PrintRun
{
public:
    PrintRun(ProgramDirectory dir, PrintSession &session, PrintRunServices services);

    // The paths are the caller's: a file found at another place is written
    // back. Errors are shown to the user; nothing is thrown.
    RunOutcome Ausfuehren(QString &designPath, QString &formatPath, int mode, QString &databasePath);

    // The design editor of working mode 4; without one, mode 4 says that
    // the editor is not available.
    void setDesignEditor(IDesignEditor *editor) { m_designEditor = editor; }

    // What a date element prints; the system's short date by default.
    void setDateProvider(std::function<QString()> provider) { m_dateText = std::move(provider); }

    // The pages that the records of the current run would print, at
    // `dotsPerInch`, with the start label, frame and offset positions
    // (0 .. 500, 250 no shift) the input expert shows: the same job as the
    // print, on the design and format of the current run and the records
    // the input expert holds now (in mode "D" those of the record
    // selection), without the printer's correction. Each page is drawn when
    // it is asked for. Throws Error for a start label that is not a whole
    // number or below 1, and for whatever would stop the print.
    std::unique_ptr<PreviewPages> preview(
        const QString &startLabelText, bool frame, int scrollX, int scrollY, int dotsPerInch);

    // The number of labels of the last print, and the last position handed
    // to the layout.
    qint64 lastLabelCount() const { return m_lastLabels; }
    int lastPosition() const { return m_lastPosition; }

private:
    // The file lookup of a run: the path itself, else the program directory
    // with the path's file name; the path found is written back.
    bool lookUp(QString &path, const QString &missingMessage);
    bool loadDesign(QString &path);
    bool loadFormat(QString &path);
    bool lookUpDatabase(QString &path);
    // The records of the run: those the input expert returns, in mode "D"
    // those the record selection returned.
    QList<QStringList> runRecords() const;
    // The job of the run without device and correction: the run's design
    // (the session's, in mode "D" m_tableDesign), the session's format,
    // `records`, the start label and frame, the offsets.
    PrintJob job(IRecordReader *records, int start, bool frame, int scrollX, int scrollY) const;
    RunOutcome print();
    QString suggestedPdfName() const;

    ProgramDirectory m_dir;
    PrintSession &m_session;
    PrintRunServices m_services;
    std::function<QString()> m_dateText;
    IDesignEditor *m_designEditor = nullptr;
    qint64 m_lastLabels = 0;
    int m_lastPosition = 0;
    QString m_designFile; // the design of the run, as found
    // The design's data fields as the design loader registers them (titles,
    // sizes, count), handed to the input expert.
    StringTable m_fields { 1, 3 };
    // Mode "D": the records the record selection returned, and the design
    // they are printed with: the session's, its data columns named after the
    // table's fields that take them (so that a table's field in the place of
    // a serial number is printed as it stands, without a length of its own).
    bool m_fromDatabase = false;
    QList<QStringList> m_selectedRecords;
    PrintDesign m_tableDesign;
};

} // namespace qm
