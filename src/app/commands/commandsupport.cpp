#include "commandsupport.h"

#include "designs/printdesign.h"
#include "formats/sheetformat.h"
#include "platform/textfile.h"

#include <QCoreApplication>
#include <QFileInfo>

namespace qm {
namespace {

QString tr(const char *text)
{
    return QCoreApplication::translate("qm", text);
}

} // namespace

int fail(QTextStream &err, const QString &message)
{
    err << "quillmark: " << message << Qt::endl;
    return 1;
}

QString quoted(const QString &word)
{
    return quotedValue(word);
}

QString lookUp(const Call &call, const QString &path, EntryFileKind kind, Use use)
{
    if (path.isEmpty() || QFileInfo::exists(path))
        return path;
    // A table that may be written to is never one of the shipped files.
    const bool withShipped = kind != EntryFileKind::Database || use == Use::Read;
    for (const ProgramDirectory &dir : call.lookupDirs(withShipped)) {
        if (const std::optional<QString> found = findNamedFile(dir, path, kind))
            return *found;
    }
    return path;
}

QStringList readLinesOf(const QString &path)
{
    try {
        return readTextLines(path);
    } catch (const IoError &e) {
        if (e.message().contains(path))
            throw;
        throw IoError(e.errorNumber(), path + QStringLiteral(": ") + e.message());
    }
}

CommandDesign readDesign(const QString &path)
{
    if (!QFileInfo::exists(path))
        throw Error(path + QStringLiteral(": ")
            + tr("Etiketten- bzw. Formulardatei nicht gefunden. Bearbeitung abgebrochen !"));
    CommandDesign read;
    FieldGrids grids;
    grids.labelList = &read.labelList;
    grids.entryGrid = &read.entryGrid;
    readPrintDesignLines(readLinesOf(path), path, read.design, grids);
    return read;
}

void readFormat(const QString &path, SheetFormat &format)
{
    if (!QFileInfo::exists(path))
        throw Error(
            path + QStringLiteral(": ") + tr("Formatdatei nicht gefunden. Bearbeitung abgebrochen !"));
    readSheetFormatLines(readLinesOf(path), path, format);
}

} // namespace qm
