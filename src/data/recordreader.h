#pragma once

#include "platform/stringtable.h"

#include <QList>
#include <QStringList>

namespace qm {

// Records one after the other, each in the form of an entry-grid row: the
// number of copies first (column 0), then the value of every data column.
class IRecordReader
{
public:
    virtual ~IRecordReader() = default;
    // The next record into `record`; false when there is none left.
    virtual bool next(QStringList &record) = 0;
    // Starts over at the first record: a print reads its records once to
    // check them and once to print.
    virtual void rewind() = 0;
};

// The records of rows 2 and below of an entry grid.
class EntryGridRecords : public IRecordReader
{
public:
    explicit EntryGridRecords(const StringTable &entryGrid);
    bool next(QStringList &record) override;
    void rewind() override { m_row = 2; }

private:
    const StringTable &m_grid;
    int m_row = 2;
};

// Records held in a list.
class ListRecords : public IRecordReader
{
public:
    // The list must outlive the reader.
    explicit ListRecords(const QList<QStringList> &records);
    // Keeps the records itself.
    explicit ListRecords(QList<QStringList> &&records);
    ListRecords(const ListRecords &) = delete;
    ListRecords &operator=(const ListRecords &) = delete;
    bool next(QStringList &record) override;
    void rewind() override { m_next = 0; }

private:
    QList<QStringList> m_kept;
    const QList<QStringList> *m_records;
    qsizetype m_next = 0;
};

// The titles of the data columns of an entry grid (row 0), by column.
QStringList columnTitles(const StringTable &entryGrid);

} // namespace qm
