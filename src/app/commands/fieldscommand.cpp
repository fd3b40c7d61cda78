#include "fieldscommand.h"

#include "app/commands/commandsupport.h"

namespace qm {
// One line per data column as the print run sees it: column, title, size.
int fieldsCommand(const Call &call, QTextStream &out, QTextStream &)
{
    const CommandDesign read = readDesign(lookUp(call, call.files[0], EntryFileKind::Design));
    for (int column = 1; column <= read.design.fieldCount; ++column)
        out << column << '\t' << read.labelList.cell(column, 0) << '\t' << read.entryGrid.cell(column, 1) << '\n';
    return 0;
}

} // namespace qm
