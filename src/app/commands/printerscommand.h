#pragma once

#include <QString>
#include <QStringList>
#include <QTextStream>

#include <optional>

namespace qm {

struct Call;
class IPrinterAccess;
class ISettings;

// What `quillmark printers` is asked to do.
struct PrintersCall
{
    // --calibrate NAME: store this correction for the printer NAME ("PDF":
    // for PDF files); nothing: list the printers.
    std::optional<QString> calibrate;
    QString offsetX; // tenths of a millimetre, as typed; empty: 0
    QString offsetY;
    QString scaleX; // per mille, as typed; empty: 1000
    QString scaleY;
};

// `quillmark printers`: every printer of the system, tab separated: name,
// location, state, "Standard" and/or "gewählt", and its stored correction;
// then the PDF files' entry. With --calibrate stores a correction instead
// (numbers checked as they are read). Throws qm::Error.
int printersCommand(
    const PrintersCall &call, QTextStream &out, IPrinterAccess &printers, ISettings &settings);

// The printer a command-line print goes to: `wanted` when it is given (an
// unknown name is an Error), else the chosen printer, else the default
// one. A chosen printer that is gone is said on `err`. No printer at all
// is an Error.
struct PrinterTarget;
PrinterTarget commandLinePrinter(
    IPrinterAccess &printers, ISettings &settings, const QString &wanted, QTextStream &err);

// `quillmark printers` as the command line calls it: the options checked
// (the numbers of a correction only with --calibrate), then printersCommand()
// with the stored settings. Throws qm::Error.
int printersCommandOf(const Call &call, QTextStream &out, IPrinterAccess &printers);

} // namespace qm
