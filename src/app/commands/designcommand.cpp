#include "designcommand.h"

#include "app/commands/commandsupport.h"
#include "designs/design.h"
#include "designs/etifile.h"

namespace qm {

int designCommand(const Call &call, QTextStream &out, QTextStream &err)
{
    const QString input = lookUp(call, call.files[0], EntryFileKind::Design);
    Design design;
    const EtiLoadResult result = loadEtiLines(readLinesOf(input), design);
    if (result.oldBitmapRecord)
        err << oldBitmapMessage() << Qt::endl;
    out << design.description << '\t' << design.widthMm << '\t' << design.heightMm << '\n';
    for (const Element &element : design.elements)
        out << element.row().join(QLatin1Char('\t')) << '\n';
    if (call.isSet("save")) {
        const QString output = call.value("save");
        try {
            Espeichern(output, design);
        } catch (const IoError &e) {
            if (e.message().contains(output))
                throw;
            throw IoError(e.errorNumber(), output + QStringLiteral(": ") + e.message());
        }
    }
    return 0;
}

} // namespace qm
