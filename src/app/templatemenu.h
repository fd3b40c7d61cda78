#pragma once

#include "catalogue/prepareddesigns.h"

#include <functional>

class QMenu;
class QMenuBar;

namespace qm {

using PreparedDesignHandler = std::function<void(const PreparedDesign &)>;

// Adds "Vorbereitete &Designs" with its five submenus to the menu bar. Every
// item is a QAction named after its component and calls `use` with its
// prepared design.
QMenu *addPreparedDesignsMenu(QMenuBar *bar, const PreparedDesignHandler &use);

// Adds the submenu "Adressen drucken aus &ADRIVO" with its three address
// labels to `parent`; each item calls `use` with its prepared design.
QMenu *addAdrivoMenu(QMenu *parent, const PreparedDesignHandler &use);

} // namespace qm
