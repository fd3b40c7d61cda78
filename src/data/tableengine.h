#pragma once

#include "data/dbflayout.h"

#include <QList>
#include <QString>
#include <QStringList>

#include <functional>

namespace qm {

enum class TableAccess { ReadWrite, ReadOnly };

// The one table object of the program ("Tabelle" of the data module): the
// dBASE table that the database windows open, create, read, append to and
// edit. Only one table is open at a time; opening or creating another closes
// the current one first. Records are numbered from 0 in file order and keep
// their number when they are marked deleted; callers hide deleted records.
//
// Every failure throws qm::Error with a German message and leaves the table
// and its file as they were: a missing engine library (EngineError), a file
// that is no dBASE table, a table held open by another Quillmark, a
// character that Windows-1252 cannot hold.
class ITableEngine
{
public:
    virtual ~ITableEngine() = default;

    // Opens the table file exclusively. Read-only, for listing, selecting
    // and printing, the file needs no write permission and may be open in
    // other readers at the same time; writing then throws qm::Error.
    virtual void open(const QString &path, TableAccess access = TableAccess::ReadWrite) = 0;
    // Writes a new, empty table with these character fields (replacing a
    // file of that name in one step) and opens it.
    virtual void create(const QString &path, const QList<TableField> &fields) = 0;
    // Writes what is pending and closes the table; nothing happens when none
    // is open.
    virtual void close() = 0;

    virtual bool isOpen() const = 0;
    // Whether the open table was opened with TableAccess::ReadOnly.
    virtual bool isReadOnly() const { return false; }
    virtual QString path() const = 0;
    virtual QList<TableField> fields() const = 0;

    // All records of the file, deleted ones included.
    virtual int recordCount() const = 0;
    virtual bool isDeleted(int record) = 0;
    // The field values, without the blanks that pad them to their width.
    virtual QStringList readRecord(int record) = 0;

    // Values longer than their field are cut to its width; both return how
    // many were cut. A record is written whole or not at all.
    virtual int appendRecord(const QStringList &values) = 0;
    virtual int writeRecord(int record, const QStringList &values) = 0;
    // Marks the record deleted.
    virtual void deleteRecord(int record) = 0;
    // Writes pending records and the record count to the file. A write that
    // fails (a full disk) throws qm::Error and leaves the file as it was at
    // the last flush: the records appended since are given up.
    virtual void flush() = 0;
    // Gives up the records appended since the last flush (an import that
    // cannot finish): the file is as it was then.
    virtual void discard() { }
    // For the next open(): the titles of the design's data fields. A source
    // whose columns carry titles (a CSV file) orders its fields after them,
    // those matched by title (without regard to case) first in the design's
    // order; a dBASE table keeps its own order.
    virtual void preferFieldOrder(const QStringList &titles) { (void)titles; }
};

// The field names of the open table, in table order.
QStringList fieldNames(const ITableEngine &table);

// Told how far a read through a table has come: `done` of `total` records,
// every ProgressStep records and once more at the end. The windows show it
// in the wait window.
using ReadProgress = std::function<void(qint64 done, qint64 total)>;
inline constexpr int ProgressStep = 4096;
// Tells `progress`, if any, of record `done` when it is a step's first.
inline void stepProgress(const ReadProgress &progress, qint64 done, qint64 total)
{
    if (progress && done > 0 && done % ProgressStep == 0)
        progress(done, total);
}

// The numbers of the records not marked deleted, in file order.
QList<int> liveRecords(ITableEngine &table, const ReadProgress &progress = {});

} // namespace qm
