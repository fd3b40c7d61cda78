#pragma once

#include "data/shapelibtable.h"
#include "data/tableengine.h"

#include <memory>

namespace qm {

// A CSV file as a table that may only be read: its columns are the fields
// (named by the header, as wide as their longest value), its lines the
// records, read through the one CSV parser when the table is opened. Every
// change (create, append, write, delete) is refused with a message that
// says how to get a table that can be edited.
class CsvTable : public ITableEngine
{
public:
    // A CSV file is only read, whatever the access asked for.
    void open(const QString &path, TableAccess access = TableAccess::ReadWrite) override;
    void create(const QString &path, const QList<TableField> &fields) override;
    void close() override;

    bool isOpen() const override { return m_open; }
    QString path() const override { return m_path; }
    QList<TableField> fields() const override { return m_fields; }

    int recordCount() const override { return int(m_records.size()); }
    bool isDeleted(int) override { return false; }
    QStringList readRecord(int record) override;

    int appendRecord(const QStringList &values) override;
    int writeRecord(int record, const QStringList &values) override;
    void deleteRecord(int record) override;
    void flush() override { }
    void preferFieldOrder(const QStringList &titles) override { m_preferred = titles; }

    // "Eine CSV-Datei kann hier nur gelesen werden ..."
    static QString readOnlyMessage();

private:
    bool m_open = false;
    QString m_path;
    QList<TableField> m_fields;
    QList<QStringList> m_records;
    QStringList m_preferred;
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
