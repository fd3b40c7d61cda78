#pragma once

// Running the program's command line inside a test: what it printed and the
// exit code, without reaching the machine's printers.

#include "app/commandline.h"
#include "printing/printeraccess.h"

#include <QString>
#include <QStringList>
#include <QTextStream>

namespace qm::test {

struct CommandRun
{
    int code = -1;
    QString out;
    QString err;
};

// A system without a default printer.
class NoPrinters : public IPrinterAccess
{
public:
    std::optional<PrinterName> DruckerbezeichnungHolen() override { return std::nullopt; }
    std::unique_ptr<IPrinterDevice> openDefaultPrinter() override { return nullptr; }
};

inline CommandRun runCommand(const QStringList &args, IPrinterAccess &printers)
{
    CommandRun r;
    QTextStream out(&r.out);
    QTextStream err(&r.err);
    r.code = runCommandLine(args, out, err, printers).value_or(-1);
    out.flush();
    err.flush();
    return r;
}

inline CommandRun runCommand(const QStringList &args)
{
    NoPrinters none;
    return runCommand(args, none);
}

} // namespace qm::test
