#include "fieldscommand.h"

#include "app/commands/commandsupport.h"
#include "designs/printdesign.h"
#include "platform/stringtable.h"

namespace qm {
// One line per data column as the print run sees it: column, title, size.
int fieldsCommand(const Call &call, QTextStream &out, QTextStream &)
{
    PrintDesign design;
    StringTable labelList;
    StringTable entryGrid;
    FieldGrids grids;
    grids.labelList = &labelList;
    grids.entryGrid = &entryGrid;
    readDesign(lookUp(call, call.files[0], EntryFileKind::Design), design, grids);
    for (int column = 1; column <= design.fieldCount; ++column)
        out << column << '\t' << labelList.cell(column, 0) << '\t' << entryGrid.cell(column, 1) << '\n';
    return 0;
}

} // namespace qm
