#pragma once

#include <QStringList>
#include <QTextStream>

#include <optional>

namespace qm {

class IPrinterAccess;

// The scripting side of the program: answers a command without opening a
// window. Returns the exit code, or nothing when the arguments ask for the
// windows (no command given). `print --printer` prints to the system's
// default printer.
std::optional<int> runCommandLine(const QStringList &arguments, QTextStream &out, QTextStream &err);

// As above, with `print --printer` printing through `printers`.
std::optional<int> runCommandLine(
    const QStringList &arguments, QTextStream &out, QTextStream &err, IPrinterAccess &printers);

// True when the arguments name a command of the command line (so no display
// is needed).
bool isCommandLineCall(const QStringList &arguments);

QString usageText();

} // namespace qm
