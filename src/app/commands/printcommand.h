#pragma once

#include <QTextStream>

namespace qm {

class IPrinterAccess;
struct Call;

// `quillmark print DESIGN.eti FORMAT.vrl`: the labels of the records (a CSV
// file, a table, else one label without values) on sheets of the format,
// into a PDF file or on a printer of `printers`. Everything that would stop
// the run is checked before anything is printed. Throws qm::Error.
int printCommand(const Call &call, QTextStream &out, QTextStream &err, IPrinterAccess &printers);

} // namespace qm
