#pragma once

#include <QTextStream>

namespace qm {

struct Call;

// `quillmark fields DESIGN.eti`: one line per data column as the print run
// sees it: column, title, size. Throws qm::Error.
int fieldsCommand(const Call &call, QTextStream &out, QTextStream &err);

} // namespace qm
