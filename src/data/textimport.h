#pragma once

#include <functional>

#include <QString>
#include <QStringList>

#include <optional>

namespace qm {

class ITableEngine;

// What an import appended.
struct ImportResult
{
    int records = 0;
    int cutValues = 0; // values longer than their field, cut to its width
    // A CSV file taken by its column titles: the columns that name no field
    // ("„Telefon“", "Spalte 4 (ohne Titel)") and the fields no column names.
    QStringList unusedColumns;
    QStringList emptyFields;
};

// The text import ("Import von Daten im Text-Format") without its window.
// A record is a block of n lines, line k holding table field k; with the
// 16-bit option each block is preceded by one line that is skipped.
namespace textimport {

// Import files are read whole; a larger one is refused.
inline constexpr qint64 MaxFileSize = 64 * 1024 * 1024;

// The lines of an import file: UTF-8 when the bytes are valid UTF-8 (a byte
// order mark is dropped), Windows-1252 otherwise; CR LF, LF and a lone CR
// each end a line, a last line without an end counts. Throws qm::Error for a missing,
// unreadable, non-regular or too large file.
QStringList readImportLines(const QString &path);

// The lines of the first record for the preview: n lines from line 1 with
// the 16-bit option, from line 0 without.
QStringList previewLines(const QStringList &lines, int linesPerRecord, bool skipLeadLine);

// Checks the lines-per-record text against the table's field count N:
// empty becomes "1"; a number above N gives the message "Datenbank hat
// maximal N Felder." and N. Throws ConvertError for a text that is not a
// number. `text` is rewritten as the plain number.
std::optional<QString> checkLinesPerRecord(QString &text, int fieldCount);

// Appends the records of `lines`. A block cut short by the end of the file
// is stored with the fields read so far. Every value is checked before the
// first record is appended: a character that Windows-1252 cannot hold
// throws EncodingError naming the line, a NUL character qm::Error naming
// the line, a value that the field's type cannot hold (checkFieldValue)
// qm::Error naming line and field, and nothing is appended. Throws
// qm::Error for a lines-per-record value outside 1 .. field count.
ImportResult importLines(
    ITableEngine &table, const QStringList &lines, int linesPerRecord, bool skipLeadLine);

// Appends the records `next` gives (it returns false after the last), then
// writes the table's header; when anything fails the table gives every
// appended record up (ITableEngine::discard) and stays as it was, and the
// error goes on. Counts the records and the cut values in `result`.
void appendAllOrNothing(
    ITableEngine &table, ImportResult &result, const std::function<bool(QStringList &values)> &next);

// "Importieren der Daten wurde korrekt abgeschlossen." and, when values
// were cut, how many; the columns left out and the fields left empty.
QString completionMessage(const ImportResult &result);

} // namespace textimport
} // namespace qm
