#pragma once

#include <QList>
#include <QString>
#include <QStringList>

namespace qm {

// The two files of the works catalogue ("Eigene Werke") in the program
// directory, both cp1252 with CR LF:
//
//   BEREICH.DAT   a title line, a line of 41 "=", then one area name a line
//   WERKE.DAT     a title line, a line of 41 "=", then one record of five
//                 lines per entry: area name, entry name, format file,
//                 design file, database file (empty when there is none)
//
// Lines are taken whole: no trimming, a comma is ordinary text.

// One entry of the catalogue: a record of WERKE.DAT.
struct WorksEntry
{
    QString area;         // the area it belongs to (exact name)
    QString name;         // the name shown in the overview
    QString formatFile;   // .vrl path as stored
    QString designFile;   // .eti path as stored
    QString databaseFile; // .dbf path as stored, or empty

    bool operator==(const WorksEntry &) const = default;
};

// The lines of a record, in file order.
inline constexpr int WorksRecordLines = 5;

// "BEREICH.DAT - Quillmark 32-Bit-Version", "WERKE.DAT - Quillmark
// 32-Bit-Version" and the separator line under either of them.
QString areasFileTitle();
QString worksFileTitle();
QString catalogueSeparatorLine();

// BEREICH.DAT as read: the header lines (the first two lines, fewer when
// the file is shorter) and every further line as one area, empty ones
// included.
struct AreasFile
{
    QStringList header;
    QStringList areas;
};

// WERKE.DAT as read: the header lines and the records. A last record cut
// short is completed with empty lines; blank lines after the last complete
// record hold nothing and are dropped.
struct WorksFile
{
    QStringList header;
    QList<WorksEntry> entries;
};

// Both readers throw IoError when the file cannot be read.
AreasFile readAreasFile(const QString &path);
WorksFile readWorksFile(const QString &path);

// Both writers replace the file in one step (temporary file + rename), so a
// failure leaves the old file whole. The header is copied as read; a header
// line the file lacked is written as the usual title or separator line. A
// line break inside a value becomes a blank, so that a value can never
// shift the records after it. Throw IoError or EncodingError (a character
// outside cp1252), in either case without touching the file.
void writeAreasFile(const QString &path, const AreasFile &file);
void writeWorksFile(const QString &path, const WorksFile &file);

// The files as "Alle Bereiche und Einträge löschen" leaves them: the two
// title lines only.
AreasFile emptyAreasFile();
WorksFile emptyWorksFile();

} // namespace qm
