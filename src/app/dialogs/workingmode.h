#pragma once

namespace qm {

// How an entry, a prepared design or the quick selection is used: the main
// window's working modes, run by PrintRun (src/app/printrun.h).
enum WorkingMode : int {
    EnterAndPrint = 1,
    PrintFromDatabase = 2,
    EditDatabase = 3,
    EditDesign = 4,
};

} // namespace qm
