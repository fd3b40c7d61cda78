#pragma once

#include <QTextStream>

namespace qm {

struct Call;

// `quillmark design INPUT.eti`: description, width and height, then every
// element of the design; with --save it is saved in the current file
// version. Throws qm::Error.
int designCommand(const Call &call, QTextStream &out, QTextStream &err);

} // namespace qm
