#pragma once

#include <QIcon>

namespace qm {

// The pictures of the four working-mode buttons (1 enter and print, 2 print
// from a table, 3 edit a table, 4 edit a design), drawn in code.
QIcon workingModeIcon(int mode);

} // namespace qm
