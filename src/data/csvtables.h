#pragma once

#include "data/textimport.h"

#include <QByteArray>
#include <QByteArrayView>
#include <QString>

namespace qm {

class ITableEngine;

// dBASE tables to and from CSV files as spreadsheet programs write and read
// them, through the one CSV parser of the record files.
namespace csvtables {

// How the column titles of a CSV file meet a list of fields, compared
// without regard to case and surrounding blanks, as the CSV reader takes
// them: when no title names a field, the columns go by position and both
// lists are empty.
struct ColumnMatch
{
    QStringList unusedColumns; // "„Telefon“", "Spalte 4 (ohne Titel)"
    QStringList emptyFields; // "„Ort“"
};
ColumnMatch matchColumns(const QStringList &columnTitles, const QStringList &fieldNames);

// For a CSV file opened as the table of a design: the columns that are
// not printed and the design's fields that no column fills, or empty.
QString printedColumnsNote(const ColumnMatch &match);

// Appends the records of a CSV file to the open table. The columns go to the
// table's fields by their titles (without regard to case; a column titled
// "Anzahl" is a field like any other), else in order; columns that name no
// field are left out when others do (named in the result with the fields
// left empty). Values of numeric, date and logical fields are checked and
// stored as the text import does (checkFieldValue).
// The file is read twice, one record at a time: every line is read and
// checked first (the parser's errors name line and column, as does a value
// its field cannot take, a character Windows-1252 cannot hold names its
// line), so a bad line leaves the table as it was; then the records are
// appended. A write that fails leaves the table as it was too.
// Values longer than their field are cut to its width and counted.
ImportResult importCsv(ITableEngine &table, QByteArrayView bytes);
// The same for a file (a regular file of at most 1 GiB).
ImportResult importCsvFile(ITableEngine &table, const QString &path);

// The open table's records (those marked deleted left out) as a CSV file
// that spreadsheet programs open with umlauts intact: UTF-8 with a byte
// order mark, ";" between the values, a header of the field names, CR LF
// line ends, and a value in quotes (its quotes doubled) where it holds a
// separator (";", "," or tab), a quote or a line break, or begins or ends
// with a blank; a record of empty values begins with "". So the file reads
// back to the same values as a table, as records and by import. A value
// with another control character is refused (Error naming record and field).
QByteArray exportCsv(ITableEngine &table);
// Writes that to a file, replacing it in one step; IoError names the file.
void exportCsvFile(ITableEngine &table, const QString &path);

} // namespace csvtables
} // namespace qm
