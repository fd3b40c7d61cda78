// The print-side design loader on arbitrary bytes: it must neither crash nor
// overrun, whatever the file holds; refusals come as qm::Error.
#include "designs/printdesign.h"
#include "fuzzinput.h"
#include "platform/errors.h"
#include "platform/stringtable.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    const FuzzInputFile file(data, size);
    qm::PrintDesign design;
    qm::StringTable labelList, entryGrid, fieldGrid;
    QString caption, status;
    qm::FieldGrids grids;
    grids.labelList = &labelList;
    grids.entryGrid = &entryGrid;
    grids.fieldGrid = &fieldGrid;
    grids.fieldGridCaption = &caption;
    grids.statusText = &status;
    try {
        qm::EtikettdateiLesen(file.path(), design, grids);
    } catch (const qm::Error &) {
    }
    return 0;
}
