#include "sheetcommand.h"

#include "app/commands/commandsupport.h"
#include "formats/formatexpertcore.h"
#include "formats/sheetformat.h"
#include "formats/sheetgrid.h"
#include "platform/numbers.h"
#include "printing/layout.h"

#include <QCoreApplication>

namespace qm {
namespace {

QString tr(const char *text)
{
    return QCoreApplication::translate("qm", text);
}

void listSheet(const SheetFormat &format, QTextStream &out)
{
    out << format.description << '\t' << format.extentWidth << '\t' << format.extentHeight << '\n';
    for (int i = 1; i <= format.positionCount(); ++i) {
        int x = 0, y = 0, w = 0, h = 0;
        HolePosition(format, i, 0.0, 0.0, x, y, w, h);
        out << i << '\t' << x << '\t' << y << '\t' << w << '\t' << h << '\n';
    }
}

// sheet --grid W H N M LEFT TOP GAPX GAPY --description TEXT --save OUT.vrl:
// writes the grid as the format expert does and lists the written file.
int sheetGridCommand(const Call &call, QTextStream &out)
{
    const QString usage = usageOf(QStringLiteral("sheet"));
    const QStringList &grid = call.listValues;
    if (!call.files.isEmpty())
        throw UsageError(tr("Überzähliges Argument %1.").arg(quoted(call.files[0])), usage);
    if (grid.size() != 8)
        throw UsageError(tr("--grid braucht acht Zahlen: B H N M LINKS OBEN ABSTANDX ABSTANDY."), usage);
    if (!call.isSet("description") || !call.isSet("save") || call.value("save").isEmpty())
        throw UsageError(tr("--grid braucht --description TEXT und --save AUSGABE.vrl."), usage);
    const QString description = call.value("description");
    const QString output = call.value("save");
    if (description.isEmpty())
        throw Error(tr("Bitte geben Sie eine Beschreibung das Format ein !"));
    if (description.size() > MaxDescriptionLength)
        throw Error(tr("Die Beschreibung ist länger als %1 Zeichen.").arg(MaxDescriptionLength));
    const GridTexts texts { grid[0], grid[1], grid[2], grid[3], grid[4], grid[5], grid[6], grid[7] };
    // Nothing is saved that print would refuse: the counts and lengths as
    // the format expert checks them, then the sheet with print's bounds.
    strToInt(texts.neben);
    strToInt(texts.unter);
    for (const QString *text :
        { &texts.grx, &texts.gry, &texts.startx, &texts.starty, &texts.vorX, &texts.vorY })
        checkLengthText(*text);
    const SheetFormat planned = sheetFormatFromGrid(description, sheetGridFromTexts(texts));
    for (const LabelPosition &p : planned.positions)
        if (p.width <= 0 || p.height <= 0)
            throw Error(tr("Die Etikettengröße %1 x %2 ist keine gültige Größe.").arg(p.width).arg(p.height));
    if (planned.positions.empty())
        throw Error(tr("Das Format enthält kein Etikett."));
    LayoutRequest sheetOnly;
    sheetOnly.lastPosition = 1;
    if (const QString reason = unprintableReason(sheetOnly, planned); !reason.isEmpty())
        throw Error(reason);
    saveCheckedTemplate(output, description, texts);
    SheetFormat format;
    readFormat(output, format);
    listSheet(format, out);
    return 0;
}

} // namespace

int sheetCommand(const Call &call, QTextStream &out, QTextStream &)
{
    if (call.isSet("grid"))
        return sheetGridCommand(call, out);
    if (call.files.size() != 1)
        throw UsageError(call.files.isEmpty() ? tr("Es fehlt ein Dateiname.")
                                              : tr("Überzähliges Argument %1.").arg(quoted(call.files[1])),
            usageOf(QStringLiteral("sheet")));
    SheetFormat format;
    readFormat(lookUp(call, call.files[0], EntryFileKind::Format), format);
    listSheet(format, out);
    return 0;
}

} // namespace qm
