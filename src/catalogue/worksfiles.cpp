#include "worksfiles.h"

#include "platform/settings.h"
#include "platform/textfile.h"

#include <algorithm>

namespace qm {
namespace {

constexpr int HeaderLines = 2;

QStringList headerOf(const QStringList &lines)
{
    return lines.mid(0, HeaderLines);
}

// A value is one line of the file: line breaks in it would split it and
// shift everything after it.
QString asOneLine(const QString &value)
{
    if (!value.contains(QLatin1Char('\r')) && !value.contains(QLatin1Char('\n')))
        return value;
    QString line = value;
    line.replace(QLatin1String("\r\n"), QLatin1String(" "));
    line.replace(QLatin1Char('\r'), QLatin1Char(' '));
    line.replace(QLatin1Char('\n'), QLatin1Char(' '));
    return line;
}

void writeHeader(TextFileWriter &writer, const QStringList &header, const QString &title)
{
    writer.writeLine(asOneLine(header.value(0, title)));
    writer.writeLine(asOneLine(header.value(1, catalogueSeparatorLine())));
}

// The lines of a catalogue file. The program writes Windows-1252; a file
// saved by an editor in UTF-8 (valid UTF-8 that is not plain ASCII) is read
// as UTF-8, so that its umlauts are not shown as two characters each.
QStringList readCatalogueLines(const QString &path)
{
    QStringList lines = decodeUtf8OrCp1252(readTextFileBytes(path)).split(QLatin1Char('\n'));
    const bool lastLineEnded = lines.last().isEmpty();
    if (lastLineEnded)
        lines.removeLast();
    for (qsizetype i = 0; i < lines.size(); ++i) {
        if ((i + 1 < lines.size() || lastLineEnded) && lines[i].endsWith(QLatin1Char('\r')))
            lines[i].chop(1);
    }
    return lines;
}

} // namespace

QString areasFileTitle()
{
    return QStringLiteral("BEREICH.DAT - Quillmark 32-Bit-Version");
}

QString worksFileTitle()
{
    return QStringLiteral("WERKE.DAT - Quillmark 32-Bit-Version");
}

QString catalogueSeparatorLine()
{
    return QString(41, QLatin1Char('='));
}

AreasFile readAreasFile(const QString &path)
{
    const QStringList lines = readCatalogueLines(path);
    return AreasFile { headerOf(lines), lines.mid(HeaderLines) };
}

WorksFile readWorksFile(const QString &path)
{
    const QStringList lines = readCatalogueLines(path);
    WorksFile file { headerOf(lines), {} };
    const QStringList body = lines.mid(HeaderLines);
    for (qsizetype at = 0; at < body.size(); at += WorksRecordLines) {
        const QStringList record = body.mid(at, WorksRecordLines);
        if (record.size() < WorksRecordLines
            && std::all_of(
                record.cbegin(), record.cend(), [](const QString &line) { return line.isEmpty(); })) {
            break; // blank lines at the end of the file
        }
        file.entries.append(WorksEntry {
            record.value(0), record.value(1), record.value(2), record.value(3), record.value(4) });
    }
    return file;
}

void writeAreasFile(const QString &path, const AreasFile &file)
{
    TextFileWriter writer(path);
    writeHeader(writer, file.header, areasFileTitle());
    for (const QString &area : file.areas)
        writer.writeLine(asOneLine(area));
    writer.commit();
}

void writeWorksFile(const QString &path, const WorksFile &file)
{
    TextFileWriter writer(path);
    writeHeader(writer, file.header, worksFileTitle());
    for (const WorksEntry &entry : file.entries) {
        writer.writeLine(asOneLine(entry.area));
        writer.writeLine(asOneLine(entry.name));
        writer.writeLine(asOneLine(entry.formatFile));
        writer.writeLine(asOneLine(entry.designFile));
        writer.writeLine(asOneLine(entry.databaseFile));
    }
    writer.commit();
}

AreasFile emptyAreasFile()
{
    return AreasFile { { areasFileTitle(), catalogueSeparatorLine() }, {} };
}

WorksFile emptyWorksFile()
{
    return WorksFile { { worksFileTitle(), catalogueSeparatorLine() }, {} };
}

} // namespace qm
