#pragma once

class QWidget;

namespace qm {

// Moves a top-level window so that its frame sits in the middle of the
// available area of its screen (the primary screen when it has none yet).
void centerOnScreen(QWidget &window);

} // namespace qm
