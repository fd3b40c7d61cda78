#include "formatscommand.h"

#include "app/commands/commandsupport.h"
#include "formats/formatcatalogue.h"
#include "formats/formatimport.h"
#include "formats/stockindex.h"
#include "programdir/filelookup.h"
#include "programdir/programdirectory.h"

#include <QCoreApplication>

namespace qm {
namespace {

QString tr(const char *text)
{
    return QCoreApplication::translate("qm", text);
}

// formats --find TEXT: the sheets of the label-stock index that match, one
// a line: maker, part number, label size and grid, number of labels.
int findStockCommand(const Call &call, QTextStream &out)
{
    const QString text = call.value("find");
    const QList<StockSheet> sheets = shippedStockIndex();
    const QList<qsizetype> found = findStockSheets(sheets, text);
    if (found.isEmpty())
        throw Error(tr("Kein Etikettenbogen passt zu %1.").arg(quoted(text)));
    for (const qsizetype i : found) {
        const StockSheet &s = sheets[i];
        out << s.brand << '\t' << s.part << '\t' << s.sizeText() << '\t' << s.labelCount() << '\n';
    }
    return 0;
}

// formats --add MAKER PART: enters the sheet under "Individuelle Formate",
// each of its layouts with a description and a VRL file of its own, and
// prints the name of each file, one a line; a layout the catalogue holds
// already is not entered again, its file is named.
int addStockCommand(const Call &call, QTextStream &out)
{
    if (call.listValues.size() != 2)
        throw UsageError(
            tr("Die Option %1 braucht Hersteller und Teilenummer.").arg(quoted(QStringLiteral("--add"))),
            usageOf(QStringLiteral("formats")));
    const QString &maker = call.listValues[0];
    const QString &part = call.listValues[1];
    const QList<StockSheet> sheets = shippedStockIndex();
    const QList<qsizetype> found = stockSheetsOfPart(sheets, maker, part);
    if (found.isEmpty())
        throw Error(tr("Den Etikettenbogen %1 gibt es im Verzeichnis der Etikettenbögen nicht.")
                        .arg(quoted(maker + QLatin1Char(' ') + part)));
    const ProgramDirectory dir = openProgramDirectory(call.dirPath, call.shareDir);
    for (const qsizetype i : found) {
        const StockSheet &s = sheets[i];
        out << addIndividualFormat(dir, s.description, s.fileName, s.format).file << '\n';
    }
    return 0;
}

} // namespace

// formats [--import FILE.xml]: lists the format catalogue of the program
// directory, or adds the formats of a template file to "Individuelle Formate".
int formatsCommand(const Call &call, QTextStream &out, QTextStream &err)
{
    if (int(call.isSet("import")) + int(call.isSet("find")) + int(call.isSet("add")) > 1)
        throw UsageError(
            tr("--import, --find und --add schließen einander aus."), usageOf(QStringLiteral("formats")));
    if (call.isSet("find"))
        return findStockCommand(call, out);
    if (call.isSet("add"))
        return addStockCommand(call, out);
    if (call.isSet("import")) {
        const ProgramDirectory dir = openProgramDirectory(call.dirPath, call.shareDir);
        const ImportResult result = importTemplateFile(dir, call.value("import"));
        for (const FormatEntry &entry : result.added)
            out << entry.area << '\t' << entry.description << '\t' << entry.file << '\n';
        for (const SkippedTemplate &skipped : result.skipped)
            err << tr("ausgelassen: %1: %2").arg(skipped.name, skipped.reason) << '\n';
        out << tr("%1 Formate aufgenommen, %2 ausgelassen")
                   .arg(result.added.size())
                   .arg(result.skipped.size())
            << '\n';
        return 0;
    }
    // Listing only reads: the catalogue of the program directory in use,
    // else the shipped one that a new program directory starts with.
    for (const ProgramDirectory &where : call.lookupDirs()) {
        const QString catalogue = findFileCaseInsensitive(where.path(), ProgramDirectory::FormatsFile);
        if (catalogue.isEmpty())
            continue;
        for (const FormatEntry &entry : readFormatsFile(catalogue))
            out << entry.area << '\t' << entry.description << '\t' << entry.file << '\n';
        return 0;
    }
    return 0;
}

} // namespace qm
