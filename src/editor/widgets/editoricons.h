#pragma once

#include <QIcon>

namespace qm {

// The pictures of the editor's tool and line-style buttons, drawn in code.
QIcon editorToolIcon(int tool);
QIcon lineStyleIcon(int style);
QIcon fontIcon();

} // namespace qm
