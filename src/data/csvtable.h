#pragma once

#include "data/shapelibtable.h"
#include "data/tableengine.h"

#include <memory>

namespace qm {

class CsvRecordStream;

// A CSV file as a table that may only be read: its columns are the fields
// (named by the header, as wide as their longest value), its lines the
// records, read through the one CSV parser. Like a dBASE table it is read
// one record at a time: opening reads the file through once to check every
// line and to note where every block of records begins; a record is then
// parsed from there on demand, with the last block of records kept for the
// next read. However large the file, the table holds 16 bytes per block.
// Every change (create, append, write, delete) is refused with a message
// that says how to get a table that can be edited.
class CsvTable : public ITableEngine
{
public:
    CsvTable();
    ~CsvTable() override;
    CsvTable(const CsvTable &) = delete;
    CsvTable &operator=(const CsvTable &) = delete;

    // A CSV file is only read, whatever the access asked for.
    void open(const QString &path, TableAccess access = TableAccess::ReadWrite) override;
    void create(const QString &path, const QList<TableField> &fields) override;
    void close() override;

    bool isOpen() const override { return m_open; }
    QString path() const override { return m_path; }
    QList<TableField> fields() const override { return m_fields; }

    int recordCount() const override { return m_count; }
    bool isDeleted(int) override { return false; }
    QStringList readRecord(int record) override;

    int appendRecord(const QStringList &values) override;
    int writeRecord(int record, const QStringList &values) override;
    void deleteRecord(int record) override;
    void flush() override { }
    void preferFieldOrder(const QStringList &titles) override { m_preferred = titles; }

    // "Eine CSV-Datei kann hier nur gelesen werden ..."
    static QString readOnlyMessage();

    // Records of a block: a table of a 1 GB file of the shortest lines (a
    // character and a line end) holds some 20 MB of blocks.
    static constexpr int BlockRecords = 256;

private:
    // Where a block of records begins.
    struct Block
    {
        qint64 offset = 0;
        qint64 line = 0;
    };
    // Reads the block of the record into the cache.
    void load(int record);

    bool m_open = false;
    QString m_path;
    QList<TableField> m_fields;
    QStringList m_preferred;
    std::unique_ptr<CsvRecordStream> m_stream;
    static constexpr qsizetype NoColumn = -1; // a field of the design the file has no column for
    QList<qsizetype> m_order; // by field, its column
    QList<Block> m_blocks;
    int m_count = 0;
    int m_cachedBlock = -1;
    QList<QStringList> m_cache; // the records of that block, by field
};

// The table files of the program: a file ending in ".csv" opens as a
// CsvTable, every other as a dBASE table (ShapelibTable). The one table
// object of the windows.
class TableFiles : public ITableEngine
{
public:
    TableFiles();

    void open(const QString &path, TableAccess access = TableAccess::ReadWrite) override;
    void create(const QString &path, const QList<TableField> &fields) override;
    void close() override;

    bool isOpen() const override { return m_current->isOpen(); }
    bool isReadOnly() const override { return m_current->isReadOnly(); }
    QString path() const override { return m_current->path(); }
    QList<TableField> fields() const override { return m_current->fields(); }
    int recordCount() const override { return m_current->recordCount(); }
    bool isDeleted(int record) override { return m_current->isDeleted(record); }
    QStringList readRecord(int record) override { return m_current->readRecord(record); }
    int appendRecord(const QStringList &values) override { return m_current->appendRecord(values); }
    int writeRecord(int record, const QStringList &values) override
    {
        return m_current->writeRecord(record, values);
    }
    void deleteRecord(int record) override { m_current->deleteRecord(record); }
    void flush() override { m_current->flush(); }
    void discard() override { m_current->discard(); }
    void preferFieldOrder(const QStringList &titles) override { m_csv.preferFieldOrder(titles); }

    static bool isCsvFile(const QString &path);

private:
    // Closes what is open and makes the engine of the file's kind current.
    ITableEngine &engineFor(const QString &path);

    ShapelibTable m_dbase;
    CsvTable m_csv;
    ITableEngine *m_current = &m_dbase;
};

} // namespace qm
