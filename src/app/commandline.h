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
// `formats` works on the program directory (--dir, else the per-user one),
// which is seeded from shareDir when it is new, as at a normal start.
std::optional<int> runCommandLine(
    const QStringList &arguments, QTextStream &out, QTextStream &err, const QString &shareDir = QString());

// As above, with `print --printer` printing through `printers`.
std::optional<int> runCommandLine(const QStringList &arguments, QTextStream &out, QTextStream &err,
    IPrinterAccess &printers, const QString &shareDir = QString());

// True when the arguments name a command of the command line (so no display
// is needed).
bool isCommandLineCall(const QStringList &arguments);

QString usageText();

} // namespace qm
