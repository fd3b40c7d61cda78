#pragma once

#include <QList>
#include <QString>
#include <QStringList>

namespace qm {

// The format catalogue FORMATE.DAT in the program directory, cp1252 with
// CR LF:
//
//   FORMATE.DAT - Quillmark 32-Bit-Fassung
//   =========================================
//   area name           (one entry: three lines,
//   description          entries one after another
//   VRL file             without separators)
//
// The file of an entry is a full path or a plain file name (looked for in
// the subfolder FORMATE). Lines are taken whole: a comma is ordinary text.

// The lines of an entry, in file order.
inline constexpr int FormatRecordLines = 3;

// The nine areas the selection dialog offers, in their fixed order. Entries
// under another area name are kept in the file but never shown.
const QStringList &formatAreas();

// The area the import of template files adds to.
QString individualFormatsArea();

// "FORMATE.DAT - Quillmark 32-Bit-Fassung" and its separator line of 41 "=".
QString formatsFileTitle();
QString formatsFileSeparator();

struct FormatEntry
{
    QString area;
    QString description;
    QString file;

    bool operator==(const FormatEntry &) const = default;
};

// Reads the entries of FORMATE.DAT: the first two lines are skipped, then
// three lines make an entry; a last entry cut short is completed with empty
// lines, blank lines after the last complete entry are dropped. Throws
// IoError when the file cannot be read (a missing file included).
QList<FormatEntry> readFormatsFile(const QString &path);

// Writes FORMATE.DAT with the program's two title lines and the entries.
// The file is replaced in one step (temporary file in the same folder, then
// rename), so a failure leaves the previous catalogue whole. A line break
// inside a value becomes a blank. Throws IoError or EncodingError (a
// character outside cp1252) without touching the file.
void writeFormatsFile(const QString &path, const QList<FormatEntry> &entries);

// Creates FORMATE.DAT with its two title lines when there is none yet;
// true when it was created. An existing file is left alone. Throws IoError.
bool createFormatsFileIfMissing(const QString &path);

// Appends one entry (three lines) to the catalogue, keeping every line that
// is there; a missing file is created with its title lines first. The file
// is replaced in one step. Throws IoError or EncodingError.
void appendFormatEntry(const QString &path, const FormatEntry &entry);

// Rewrites the catalogue without the entries of that area and description
// (all of them, when several match). The title lines are the program's
// afterwards, whatever they were; the file is replaced in one step. Returns
// the number of entries removed. Throws IoError or EncodingError.
int removeFormatEntries(const QString &path, const QString &area, const QString &description);

// The descriptions of the entries of an area, in alphabetical order
// (German collation, letter case second), duplicates kept.
QStringList sortedDescriptions(const QList<FormatEntry> &entries, const QString &area);

// The entries of that area and description, in file order.
QList<FormatEntry> matchingEntries(
    const QList<FormatEntry> &entries, const QString &area, const QString &description);

} // namespace qm
