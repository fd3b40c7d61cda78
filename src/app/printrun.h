#pragma once

#include "designs/printdesign.h"
#include "formats/sheetformat.h"
#include "platform/stringtable.h"
#include "printing/layout.h"
#include "programdir/programdirectory.h"

#include <QImage>
#include <QList>
#include <QString>

#include <functional>

namespace qm {

class IDatabaseExpert;
class IDesignEditor;
class IFileDialogs;
class IInputExpert;
class IMessages;
class IPrinterAccess;
class IProgressWindow;
class ISettings;
class IWaiter;

// How an entry, a prepared design or the quick selection is used.
enum WorkingMode : int {
    EnterAndPrint = 1,
    PrintFromDatabase = 2,
    EditDatabase = 3,
    EditDesign = 4,
};

// The print side's state for the whole program run, owned by the
// application: the design read last, the current sheet format, the entry
// grid of the input expert, the label list and the offsets remembered from
// the last print.
struct PrintSession
{
    PrintDesign design;
    SheetFormat format;
    StringTable entryGrid { 1, 3 };
    StringTable labelList { 10, 10 };
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
    // Quillmark.ini: the printer chosen in "&Druckparameter ..." and the
    // printers' corrections. Without it a run prints on the default printer
    // uncorrected.
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
// expert, expands them into labels and prints them on the default printer
// (or, when the system has none and the user agrees, into a PDF file).
// Mode 2 loads design and format and opens the database expert on the
// table; records handed over by its record selection go through the input
// expert in mode "D" (start label, frame, offsets) and are printed the same
// way. Mode 3 opens the database expert on the table alone.
class PrintRun
{
public:
    PrintRun(ProgramDirectory dir, PrintSession &session, bool &dialogConfirmed, PrintRunServices services);

    // The paths are the caller's: a file found at another place is written
    // back. Errors are shown to the user; nothing is thrown.
    RunOutcome Ausfuehren(QString &designPath, QString &formatPath, int mode, QString &databasePath);

    // The design editor of working mode 4; without one, mode 4 says that
    // the editor is not available.
    void setDesignEditor(IDesignEditor *editor) { m_designEditor = editor; }

    // What a date element prints; the system's short date by default.
    void setDateProvider(std::function<QString()> provider) { m_dateText = std::move(provider); }

    // The number of labels of the last print, and the last position handed
    // to the layout.
    // The sheets that the records of the entry grid would print, as images
    // at `dotsPerInch`, page by page, with the start label, frame and offset
    // positions (0 .. 500, 250 no shift) the input expert shows: the same
    // layout and drawing as the print, on the design and format of the
    // current run. Faint outlines show where the sheet's labels are. The
    // shared label list and entry grid are left as they are. Throws Error
    // for a start label or copies that are not whole numbers, a start label
    // below 1 and nothing to print.
    QList<QImage> preview(
        const QString &startLabelText, bool frame, int scrollX, int scrollY, int dotsPerInch);

    int lastLabelCount() const { return m_lastLabels; }
    int lastPosition() const { return m_lastPosition; }

private:
    // The file lookup of a run: the path itself, else the program directory
    // with the path's file name; the path found is written back.
    bool lookUp(QString &path, const QString &missingMessage);
    bool loadDesign(QString &path);
    bool loadFormat(QString &path);
    bool lookUpDatabase(QString &path);
    RunOutcome print(int labels);
    LayoutRequest layoutRequest(int start, int labels, bool frame, int scrollX, int scrollY) const;
    QString suggestedPdfName() const;

    ProgramDirectory m_dir;
    PrintSession &m_session;
    bool &m_confirmed;
    PrintRunServices m_services;
    std::function<QString()> m_dateText;
    IDesignEditor *m_designEditor = nullptr;
    int m_lastLabels = 0;
    int m_lastPosition = 0;
    QString m_designFile; // the design of the run, as found
};

} // namespace qm
