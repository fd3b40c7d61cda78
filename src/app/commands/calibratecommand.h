#pragma once

#include "formats/sheetformat.h"

#include <QString>
#include <QTextStream>

namespace qm {

struct Call;
class IPrinterAccess;
class ISettings;
class IWaiter;

// What `quillmark calibrate` is asked to do.
struct CalibrateCall
{
    SheetFormat format;
    QString pdf; // print into this PDF file ...
    bool printer = false; // ... or on a printer:
    QString printerName; // this one; empty: the chosen, else the default one
};

// `quillmark calibrate FORMAT.vrl (--pdf OUT.pdf | --printer [NAME])`: the
// calibration sheet of the format, without correction. Throws qm::Error.
int calibrateCommand(const CalibrateCall &call, QTextStream &out, QTextStream &err, IPrinterAccess &printers,
    ISettings &settings, IWaiter &waiter);

// `quillmark calibrate FORMAT.vrl` as the command line calls it: the options
// checked and the format read, then calibrateCommand() with the stored
// settings. Throws qm::Error.
int calibrateCommandOf(const Call &call, QTextStream &out, QTextStream &err, IPrinterAccess &printers);

} // namespace qm
