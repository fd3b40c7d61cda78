#pragma once

#include "platform/stringtable.h"
#include "data/recordreader.h"

#include <QByteArrayView>
#include <QList>
#include <QStringList>

#include <memory>

namespace qm {

// A data field of the design as a record file fills it: its title and the
// most characters it takes (0: no limit).
struct CsvField
{
    QString title;
    int size = 0;
};

// The data fields of the entry grid: titles in row 0, sizes in row 1.
QList<CsvField> csvFieldsOf(const StringTable &entryGrid, int fieldCount);

// Records read from a CSV file, one per data line, each in the form of an
// entry-grid row: the copies first, then one value per data field.
struct CsvRecords
{
    QChar separator;
    bool byName = false; // columns taken by their titles, not by position
    bool copiesColumn = false;
    QStringList ignoredColumns; // see CsvRecordStream::ignoredColumns
    QList<QStringList> records;
};

// Reads CSV files as spreadsheets and people write them: RFC 4180 quoting
// (a quote begins a quoted value only as its first character; elsewhere it
// is kept as a character, as in 5" x 7"), UTF-16 when the file begins with
// its byte order mark (Excel's "Unicode-Text"), else UTF-8 or else
// Windows-1252 (decided on the whole file), lines ending in CR LF, LF or CR,
// blank lines skipped. A file holding a control character other than tab
// and the line ends (a NUL byte of a dBASE table or a PDF document) is no
// text and is refused.
//
// The header is the first line that holds more than separators and blanks
// (rows of separators above it, as some programs write, are skipped). The
// separator is the one of ";", "," and tab that the header line holds
// most often outside quotes (a header without any is read with ","). When
// at least one column title of the header is the title of a data field
// (compared without regard to case), the columns are taken by their titles:
// "Anzahl" gives the copies, columns that name no field are left out (see
// ignoredColumns()), fields without a column stay empty.
// Otherwise the columns are taken by position: the copies first, then the
// fields in order; a header of exactly as many columns as there are fields,
// the first not titled "Anzahl", has no copies column. Without a copies
// column every record is printed once.
//
// Every error is an Error with a German message that names the line (lines
// of the file counted from 1) and the column: a file that is no text, a
// column title that names a field
// twice, a line with more values than the header has columns, copies
// that are not a whole number from 0 to 999, a value longer than its field
// takes, a data line made of separators only, and a quote left open.
class CsvRecordReader
{
public:
    // Copies::None reads a column titled "Anzahl" as any other (a table's
    // field of that name) and, by position, every column as a field; the
    // records still begin with the copies, always "1".
    enum class Copies { Column, None };
    explicit CsvRecordReader(QList<CsvField> fields, Copies copies = Copies::Column);

    // All records of the bytes at once.
    CsvRecords read(QByteArrayView bytes) const;

    const QList<CsvField> &fields() const { return m_fields; }
    bool hasCopiesColumn() const { return m_copies == Copies::Column; }

    static constexpr int kMaxCopies = 999;

private:
    QList<CsvField> m_fields;
    Copies m_copies = Copies::Column;
};

// A record file may be this large: a run reads it record by record, so the
// bound only keeps a mistaken file (a disk image) from being walked through.
inline constexpr qint64 MaxRecordFileBytes = qint64(1) << 30;

// The records of a CSV file one after the other, by the rules of
// CsvRecordReader, holding one record and a buffer of some kilobytes however
// large the file is. The bytes are read once when the stream is made, to
// decide between UTF-8 and Windows-1252 for the whole file and to find the
// separator (and to refuse a file that is no text); next() then decodes and
// parses them a chunk at a time, and rewind() starts over at the first
// record. Errors are those of CsvRecordReader (Error): the file's and the
// header's when the stream is made (or rewound), a line's when next()
// reaches it.
class CsvRecordStream : public IRecordReader
{
public:
    // Opens a regular file of at most maxBytes; IoError otherwise (naming the
    // file for a directory, a pipe, a device or a file too large).
    static std::unique_ptr<CsvRecordStream> fromFile(
        const CsvRecordReader &reader, const QString &path, qint64 maxBytes = MaxRecordFileBytes);
    // Reads bytes that stay alive as long as the stream.
    CsvRecordStream(const CsvRecordReader &reader, QByteArrayView bytes);
    ~CsvRecordStream() override;

    bool next(QStringList &record) override;
    void rewind() override;
    // Starts over at the first record with the fields of another reader,
    // without reading the file again to decide its encoding and separator.
    void restartWith(const CsvRecordReader &reader);
    // Where the record last read by next() begins: its byte in the file and
    // its line. seek() to these goes on with that record, so that a reader
    // may keep a few offsets and read any record on demand.
    qint64 recordOffset() const;
    qint64 recordLine() const;
    void seek(qint64 offset, qint64 line);

    QChar separator() const;
    bool byName() const;
    bool copiesColumn() const;
    // When the columns are taken by their titles: the columns whose titles
    // name no field ("„Telefon“", or "Spalte 4 (ohne Titel)" for an empty
    // title such as a separator at the end of every line); their values are
    // not printed.
    QStringList ignoredColumns() const;
    // The titles of the header line, as written.
    QStringList columnTitles() const;

private:
    struct Parser;
    explicit CsvRecordStream(std::unique_ptr<Parser> parser);
    std::unique_ptr<Parser> m_parser;
};

} // namespace qm
