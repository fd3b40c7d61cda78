#pragma once

#include "data/tableengine.h"

#include <QHash>
#include <QSet>

namespace qm {

// The table engine in memory, for tests: "files" are kept in a map by path;
// a path in `heldElsewhere` behaves like a table open in another Quillmark,
// `engineMissing` like a missing engine library. Values are cut to their
// field's width like the real engine does.
class MemoryTable : public ITableEngine
{
public:
    struct Record
    {
        QStringList values;
        bool deleted = false;
    };
    struct File
    {
        QList<TableField> fields;
        QList<Record> records;
    };

    QHash<QString, File> files;
    QSet<QString> heldElsewhere;
    bool engineMissing = false;
    // Every write and delete throws qm::Error("Schreibfehler").
    bool failWrites = false;
    // Paths of files that may be read but not written: opening one for
    // writing throws TableWriteDenied.
    QSet<QString> readOnlyFiles;

    void open(const QString &path, TableAccess access = TableAccess::ReadWrite) override;
    void create(const QString &path, const QList<TableField> &fields) override;
    void close() override;

    bool isOpen() const override { return !m_path.isEmpty(); }
    bool isReadOnly() const override { return m_readOnly; }
    QString path() const override { return m_path; }
    QList<TableField> fields() const override;

    int recordCount() const override;
    bool isDeleted(int record) override;
    QStringList readRecord(int record) override;
    int appendRecord(const QStringList &values) override;
    int writeRecord(int record, const QStringList &values) override;
    void deleteRecord(int record) override;
    void flush() override;
    // Drops the records appended since the last flush (or open).
    void discard() override;

    // The file of the open table.
    File &current();

private:
    Record &at(int record);
    int store(Record &record, const QStringList &values);
    // Throws when writes fail or the table is open for reading only.
    void refuseWrite() const;

    QString m_path;
    bool m_readOnly = false;
    qsizetype m_flushed = 0; // records at the last flush
};

} // namespace qm
