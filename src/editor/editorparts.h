#pragma once

// Helpers shared by the files that implement the editor core
// (editorcore.cpp, editorpointer.cpp).

#include "platform/canvas/canvas.h"

#include <QChar>
#include <QString>

namespace qm::editorparts {

// The editor's texts through the program's translation.
QString tr(const char *text);
// The editor's pen codes: 0 thin, 1 thick, 2 dotted; the colour from the
// table.
CanvasPen editorPen(int code, int colour);
// Text, field and serial number.
bool isTextKind(QChar kind);

} // namespace qm::editorparts
