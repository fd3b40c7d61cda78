#pragma once

#include <QIODevice>
#include <QStringList>
#include <QTextStream>

#include <optional>

namespace qm {

class IPrinterAccess;

// The scripting side of the program: answers a command without opening a
// window. Returns the exit code, or nothing when the arguments ask for the
// windows (no command given). `print --printer [NAME]` prints to NAME, else
// to the printer chosen in "&Druckparameter ...", else to the system's
// default printer. An unknown command or option, or a missing value, prints
// the usage with the word named and gives 1; a file that cannot be used, a
// run that cannot be printed and a failed allocation print a German message
// and give 1, and so does output that could not be written (out failing,
// with the reason when out writes to a DescriptorOutput). Designs, formats and tables not found under the name given
// are looked for in the program directory (--dir, before or after the
// command, else the per-user one when it exists), designs and formats then
// among the shipped files in shareDir. `formats` lists the catalogue of the
// program directory, else the shipped one, and creates nothing; `formats
// --import` seeds a new program directory from shareDir, as a normal start.
std::optional<int> runCommandLine(
    const QStringList &arguments, QTextStream &out, QTextStream &err, const QString &shareDir = QString());

// As above, with `print --printer` printing through `printers`.
std::optional<int> runCommandLine(const QStringList &arguments, QTextStream &out, QTextStream &err,
    IPrinterAccess &printers, const QString &shareDir = QString());

// True unless the arguments ask for the windows: only a call without
// anything, or with just --dir VERZEICHNIS, opens them. Every other call
// (an unknown command or option included, which is refused with exit code
// 1) is answered by the command line, so no display is needed.
bool isCommandLineCall(const QStringList &arguments);

// An open file descriptor (standard output) as the device of the command
// line's output stream: every byte goes out through write(2) as the stream
// hands it over, and the first failure is kept with its error number. A
// listing or export cut short by a full disk or a closed file thus ends its
// command with a message and exit code 1 instead of success.
class DescriptorOutput : public QIODevice
{
public:
    explicit DescriptorOutput(int fd);
    // The error number of the first failed write; 0 while none failed.
    int errorNumber() const { return m_error; }
    bool isSequential() const override { return true; }

protected:
    qint64 readData(char *, qint64) override { return -1; }
    qint64 writeData(const char *data, qint64 size) override;

private:
    int m_fd;
    int m_error = 0;
};

// The usage of the whole command line, and of one command.
QString usageText();
QString usageOf(const QString &command);

} // namespace qm
