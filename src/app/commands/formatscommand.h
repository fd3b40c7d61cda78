#pragma once

#include <QTextStream>

namespace qm {

struct Call;

// `quillmark formats`: the format catalogue; with --import the formats of a
// template file, with --add a sheet of the label-stock index are added to
// "Individuelle Formate"; --find searches that index. Throws qm::Error.
int formatsCommand(const Call &call, QTextStream &out, QTextStream &err);

} // namespace qm
