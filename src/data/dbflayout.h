#pragma once

#include <QByteArray>
#include <QList>
#include <QString>
#include <QStringList>

namespace qm {

// A field of a dBASE table as the program sees it: a name and a width in
// characters. Every field the program creates is a character field ("C");
// fields of other types in tables made elsewhere are read as their text.
struct TableField
{
    QString name;
    int width = 0;
    char type = 'C';
    int decimals = 0; // numeric fields: places after the point

    bool operator==(const TableField &) const = default;
};

// The layout of a dBASE table file, read from its header.
struct DbfLayout
{
    QList<TableField> fields;
    QList<int> offsets; // of each field inside a record (after the deletion flag)
    qint64 recordCount = 0;
    int headerLength = 0;
    int recordLength = 0;
    quint8 languageDriver = 0;
};

// dBASE III rules kept by the program's tables.
namespace dbf {
inline constexpr int FileHeaderSize = 32;
inline constexpr int FieldHeaderSize = 32;
inline constexpr int MaxNameLength = 10;
inline constexpr int MaxWidth = 254;
inline constexpr int MaxFields = 255;
// Windows-1252 ("ANSI") in the header's language driver byte.
inline constexpr quint8 LanguageDriverAnsi = 0x57;
inline constexpr char Deleted = '*';
inline constexpr char Live = ' ';
} // namespace dbf

// Reads the header of a table file. `head` holds the first bytes of the
// file (at least the whole header when the file has one), `fileSize` the
// size of the whole file. Throws qm::Error with a German message naming
// `path` when the bytes are no dBASE table, the header is cut short, a
// field is 0 or more than 254 characters wide, the widths do not add up to
// the record length, or the file holds fewer records than its header says.
DbfLayout parseDbfHeader(QByteArrayView head, qint64 fileSize, const QString &path);

// The header bytes of a new, empty table with the given character fields,
// language driver Windows-1252, followed by the end-of-file mark. Field names
// are written in Windows-1252 and cut to 10 characters. Throws qm::Error
// for an empty name, a name that is not unique after cutting, a character
// outside Windows-1252, a width outside 1 .. 254, no fields or too many.
QByteArray buildDbfHeader(const QList<TableField> &fields, int year, int month, int day);

// A value as a field of its type stores it, or why it cannot.
struct FieldValue
{
    QString stored;
    QString error; // German; empty when the value fits
};

// Checks a value for a field by the field's type, as dBASE stores it:
// - N and F: a number (point or comma) of at most `decimals` places that
//   fits the width, written with exactly `decimals` places, right-aligned;
// - D: TT.MM.JJJJ or JJJJMMTT, a real date, stored as JJJJMMTT;
// - L: J, Ja, T or Y and N, Nein or F in either case, stored as T or F;
// - M: refused (the field holds a block number of the memo file);
// - C and any other type: taken as it is.
// An empty value is taken for every type except that it stays empty.
FieldValue checkFieldValue(const TableField &field, const QString &value);

// The name as it will stand in the table: cut to 10 characters.
QString dbfFieldName(const QString &name);

// One record's bytes: the deletion flag, then every field in Windows-1252,
// cut to its width and padded with blanks. Missing values stay blank; values
// beyond the last field are ignored. `*cut` (when given) gets the number of
// values that were longer than their field. Throws EncodingError for a
// character that Windows-1252 cannot hold; then nothing is built.
QByteArray encodeDbfRecord(const DbfLayout &layout, const QStringList &values, bool deleted, int *cut);

// The values of one record (the bytes after the deletion flag included),
// decoded from Windows-1252 with the padding blanks at the end removed.
// Blanks in front are kept. Short input gives empty values.
QStringList decodeDbfRecord(const DbfLayout &layout, QByteArrayView record);

} // namespace qm
