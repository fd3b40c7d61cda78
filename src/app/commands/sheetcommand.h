#pragma once

#include <QTextStream>

namespace qm {

struct Call;

// `quillmark sheet FORMAT.vrl`: description and size of the sheet, then every
// label position. With --grid it saves a format made from a grid first and
// lists the written file. Throws qm::Error.
int sheetCommand(const Call &call, QTextStream &out, QTextStream &err);

} // namespace qm
