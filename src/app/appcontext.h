#pragma once

#include "app/printrun.h"
#include "data/csvtable.h"
#include "data/shapelibtable.h"
#include "programdir/programdirectory.h"

#include <functional>

class QWidget;

namespace qm {

class IFileDialogs;
class IHelp;
class IMessages;
class IPrinterAccess;
class ISettings;
class IWaiter;

// What the windows share for the whole program run: the program directory,
// the print side's state, the dialog confirmation flag, and the services
// they reach the system through (real ones in the program, doubles in the
// tests).
struct AppContext
{
    AppContext(ProgramDirectory directory, ISettings &settings_, IMessages &messages_,
        IFileDialogs &fileDialogs_, IWaiter &waiter_, IHelp &help_, IPrinterAccess &printers_)
        : dir(std::move(directory))
        , settings(settings_)
        , messages(messages_)
        , fileDialogs(fileDialogs_)
        , waiter(waiter_)
        , help(help_)
        , printers(printers_)
    { }

    ProgramDirectory dir;
    PrintSession session;
    // The dialog confirmation flag of the small dialogs: a caller sets it
    // false, shows a dialog modally and reads it afterwards. Records never
    // travel through it: the input expert, the record selection and the
    // design editor return what they produced.
    bool dialogConfirmed = false;

    ISettings &settings;
    IMessages &messages;
    IFileDialogs &fileDialogs;
    IWaiter &waiter;
    IHelp &help;
    IPrinterAccess &printers;
    // Where the settings are kept, for the windows that tell the user.
    QString settingsFile;
    // The one table object of the database windows: dBASE tables through
    // shapelib, bound when a table is first used, and CSV files read-only. Tests may put MemoryTable in its
    // place before the main window is made.
    std::unique_ptr<ITableEngine> table = std::make_unique<TableFiles>();
    // "&Druckparameter ...": the printer set-up dialog of the system.
    std::function<void(QWidget *parent)> printerSetup;
};

} // namespace qm
