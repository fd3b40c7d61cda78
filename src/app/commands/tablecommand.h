#pragma once

#include <QByteArray>
#include <QStringList>

#include <QTextStream>
#include <memory>

namespace qm {

struct Call;
class ITableEngine;
class StringTable;
class TableRecordStream;

// Standard input as a file that can be read more than once: a redirected
// regular file as it is, anything else (a pipe) copied into a temporary file
// that lives as long as this object, up to the bound of record files, in
// the temporary folder (TMPDIR, else /tmp). Throws qm::Error when it cannot
// be read or copied, naming the folder and the cause in German (a full or
// read-only folder). `input` and `folder` are for the tests.
class StandardInputFile
{
public:
    StandardInputFile();
    StandardInputFile(int input, const QString &folder);
    ~StandardInputFile();
    StandardInputFile(const StandardInputFile &) = delete;
    StandardInputFile &operator=(const StandardInputFile &) = delete;
    const QString &path() const { return m_path; }

private:
    QByteArray m_copy; // the temporary file's name; empty when none was made
    QString m_path;
};

// What `quillmark table` is asked to do with one table.
struct TableCall
{
    QString path;
    QString design; // create the table from this design's fields first
    bool replace = false; // ... even over a table that holds records
    QString import; // then append the records of this text file
    QString lines; // lines per record of the import (empty: one per field)
    bool skipLeadLine = false;
    QString importCsv; // then append the records of this CSV file ("-": standard input)
    QString exportCsv; // then write the table as CSV here ("-": standard output) instead of listing it
};

// `quillmark table FILE.dbf`: the field names, then every record not marked
// deleted, tab separated. `--create DESIGN.eti` creates the table from the
// design's fields first (over a table with records only with `--replace`),
// `--import TEXT [--lines N] [--skip-lead-line]`
// appends records from a text file, `--import-csv FILE|-` from a CSV file,
// `--export-csv FILE|-` writes the table as CSV instead of listing it.
// Throws qm::Error.
int tableCommand(const TableCall &call, QTextStream &out, QTextStream &err, ITableEngine &table);

// The records of the table selected by up to three criteria "FIELD=VALUE"
// (joined by OR; none selects all), one print each, read one at a time as a
// run asks for them. Opens the table read-only; the entry grid gets the
// table's field names as its column titles (row 0), as the record selection
// hands them over, and no records. Throws qm::Error.
std::unique_ptr<TableRecordStream> selectedTableRecords(
    ITableEngine &table, const QString &path, const QStringList &criteria, StringTable &entryGrid);

// `quillmark table FILE.dbf` as the command line calls it: the table named
// (looked up unless it is to be created) and the options checked, then
// tableCommand() on the tables on disk. Throws qm::Error.
int tableCommandOf(const Call &call, QTextStream &out, QTextStream &err);

} // namespace qm
