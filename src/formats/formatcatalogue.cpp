#include "formatcatalogue.h"

#include "platform/errors.h"
#include "platform/filelock.h"
#include "platform/textfile.h"

#include <QCollator>
#include <QCoreApplication>
#include <QFileInfo>
#include <QLocale>

#include <algorithm>
#include <cerrno>

namespace qm {
namespace {

constexpr int HeaderLines = 2;
// A catalogue of this size holds tens of thousands of formats; a larger file
// is not one.
constexpr qint64 MaxCatalogueBytes = 16 * 1024 * 1024;

QString asOneLine(const QString &value)
{
    QString line = value;
    line.replace(QLatin1String("\r\n"), QLatin1String(" "));
    line.replace(QLatin1Char('\r'), QLatin1Char(' '));
    line.replace(QLatin1Char('\n'), QLatin1Char(' '));
    return line;
}

QStringList readCatalogueLines(const QString &path)
{
    const QFileInfo info(path);
    if (!info.exists())
        throw IoError(ENOENT);
    if (!fileExists(path))
        throw IoError(EISDIR);
    if (info.size() > MaxCatalogueBytes)
        throw Error(
            QCoreApplication::translate("qm", "Die Datei %1 ist zu groß für einen Formatkatalog.").arg(path));
    return readTextLines(path);
}

} // namespace

const QStringList &formatAreas()
{
    static const QStringList areas = {
        QCoreApplication::translate("qm", "AVERY Endlosetiketten"),
        QCoreApplication::translate("qm", "AVERY Tintenstrahl"),
        QCoreApplication::translate("qm", "AVERY Laseretiketten"),
        QCoreApplication::translate("qm", "Briefumschläge"),
        QCoreApplication::translate("qm", "DIN-Größen"),
        QCoreApplication::translate("qm", "LEITZ Endlosetiketten"),
        QCoreApplication::translate("qm", "LEITZ Laseretiketten"),
        QCoreApplication::translate("qm", "ZWECKFORM Laser"),
        QCoreApplication::translate("qm", "Individuelle Formate"),
    };
    return areas;
}

QString individualFormatsArea()
{
    return formatAreas().at(8);
}

QString formatsFileTitle()
{
    return QStringLiteral("FORMATE.DAT - Quillmark 32-Bit-Fassung");
}

QString formatsFileSeparator()
{
    return QString(41, QLatin1Char('='));
}

QList<FormatEntry> readFormatsFile(const QString &path)
{
    const QStringList lines = readCatalogueLines(path);
    QList<FormatEntry> entries;
    for (qsizetype at = HeaderLines; at < lines.size(); at += FormatRecordLines) {
        const QStringList record = lines.mid(at, FormatRecordLines);
        if (record.size() < FormatRecordLines
            && std::all_of(
                record.cbegin(), record.cend(), [](const QString &line) { return line.isEmpty(); }))
            break; // blank lines at the end of the file
        entries.append(FormatEntry { record.value(0), record.value(1), record.value(2) });
    }
    return entries;
}

void writeFormatsFile(const QString &path, const QList<FormatEntry> &entries)
{
    TextFileWriter writer(path);
    writer.writeLine(formatsFileTitle());
    writer.writeLine(formatsFileSeparator());
    for (const FormatEntry &entry : entries) {
        writer.writeLine(asOneLine(entry.area));
        writer.writeLine(asOneLine(entry.description));
        writer.writeLine(asOneLine(entry.file));
    }
    writer.commit();
}

bool createFormatsFileIfMissing(const QString &path)
{
    if (QFileInfo::exists(path) || QFileInfo(path).isSymLink())
        return false;
    writeFormatsFile(path, {});
    return true;
}

void appendFormatEntry(const QString &path, const FormatEntry &entry)
{
    createFormatsFileIfMissing(path);
    const CatalogueLock lock(path);
    // The lines as they are, the title lines included, and three more.
    QStringList lines = readCatalogueLines(path);
    while (lines.size() < HeaderLines)
        lines.append(lines.isEmpty() ? formatsFileTitle() : formatsFileSeparator());
    TextFileWriter writer(path);
    for (const QString &line : std::as_const(lines))
        writer.writeLine(line);
    writer.writeLine(asOneLine(entry.area));
    writer.writeLine(asOneLine(entry.description));
    writer.writeLine(asOneLine(entry.file));
    writer.commit();
}

int removeFormatEntries(const QString &path, const QString &area, const QString &description)
{
    const CatalogueLock lock(path);
    QList<FormatEntry> entries = readFormatsFile(path);
    const qsizetype removed = entries.removeIf(
        [&](const FormatEntry &entry) { return entry.area == area && entry.description == description; });
    writeFormatsFile(path, entries);
    return int(removed);
}

QStringList sortedDescriptions(const QList<FormatEntry> &entries, const QString &area)
{
    QStringList descriptions;
    for (const FormatEntry &entry : entries)
        if (entry.area == area)
            descriptions.append(entry.description);
    QCollator collator { QLocale(QLocale::German, QLocale::Germany) };
    collator.setCaseSensitivity(Qt::CaseInsensitive);
    collator.setNumericMode(false);
    std::stable_sort(descriptions.begin(), descriptions.end(), [&](const QString &a, const QString &b) {
        const int order = collator.compare(a, b);
        return order != 0 ? order < 0 : a < b;
    });
    return descriptions;
}

QList<FormatEntry> matchingEntries(
    const QList<FormatEntry> &entries, const QString &area, const QString &description)
{
    QList<FormatEntry> found;
    for (const FormatEntry &entry : entries)
        if (entry.area == area && entry.description == description)
            found.append(entry);
    return found;
}

} // namespace qm
