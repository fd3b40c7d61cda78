// The sheet format reader on arbitrary bytes, followed by every position
// lookup and the grid derivation of the format expert.
#include "formats/sheetformat.h"
#include "formats/sheetgrid.h"
#include "fuzzinput.h"
#include "platform/errors.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    const FuzzInputFile file(data, size);
    qm::SheetFormat format;
    try {
        if (!qm::FormatdateiLesen(file.path(), format))
            return 0;
    } catch (const qm::Error &) {
        return 0;
    }
    for (int i = 0; i <= format.positionCount() + 1; ++i) {
        int x = 0, y = 0, w = 0, h = 0;
        qm::HolePosition(format, i, -12.7, 250.0, x, y, w, h);
    }
    if (format.positionCount() > 0)
        (void)qm::gridTexts(qm::deriveSheetGrid(format));
    return 0;
}
