#pragma once

#include "data/tableengine.h"
#include "platform/errors.h"

#include <QMutex>

#include <memory>

namespace qm {

// The engine library could not be bound. code() is one of the codes below;
// the message is the one the user sees, the loader's own reason goes to
// stderr.
class EngineError : public Error
{
public:
    // The library file cannot be loaded (missing, wrong architecture).
    static constexpr int LibraryNotLoaded = 0x2501;
    // The library lacks an entry point the program needs.
    static constexpr int EntryMissing = 0x2502;

    explicit EngineError(int code);
    int code() const { return m_code; }

private:
    int m_code;
};

// A table that may be read but not written (no write permission, a
// read-only file system) was opened for writing. The message names the
// table; TableAccess::ReadOnly opens it.
class TableWriteDenied : public Error
{
public:
    using Error::Error;
};

struct ShapelibEntries;

// Binds the shapelib library (soname libshp.so.2) at run time with dlopen
// and resolves the entry points the table needs. Loading happens once, on
// the first table operation, under the loader's lock; a failure is
// remembered and reported again on every later operation.
class ShapelibLoader
{
public:
    static constexpr const char *DefaultLibrary = "libshp.so.2";

    explicit ShapelibLoader(QByteArray libraryName = DefaultLibrary);
    ~ShapelibLoader();
    ShapelibLoader(const ShapelibLoader &) = delete;
    ShapelibLoader &operator=(const ShapelibLoader &) = delete;

    // The entry points; throws EngineError.
    const ShapelibEntries &entries();

private:
    QMutex m_lock;
    QByteArray m_name;
    void *m_handle = nullptr;
    std::unique_ptr<ShapelibEntries> m_entries;
    int m_failure = 0;
};

// The table engine on shapelib. The file is locked (flock) while it is
// open, so a second Quillmark cannot open it; the header is checked by the
// program before shapelib sees the file. Values are Windows-1252 in the
// file; new tables carry language driver 0x57.
//
// shapelib reads the records; the program writes them itself, because
// shapelib writes through stdio buffers, reports a failed write only in
// English on stderr and then writes a header that counts the records it
// could not write. Here appended records go to the end of the file first
// (gathered in a buffer of about a megabyte) and the header's record count
// last, in flush(); when a write fails, or discard() is called, the file is
// cut back to its size at the last flush and its header written back, so
// the table is exactly as it was, and the failure is a German message.
class ShapelibTable : public ITableEngine
{
public:
    explicit ShapelibTable(QByteArray libraryName = ShapelibLoader::DefaultLibrary);
    ~ShapelibTable() override;

    void open(const QString &path, TableAccess access = TableAccess::ReadWrite) override;
    void create(const QString &path, const QList<TableField> &fields) override;
    void close() override;

    bool isOpen() const override { return m_handle != nullptr; }
    bool isReadOnly() const override { return m_readOnly; }
    QString path() const override { return m_path; }
    QList<TableField> fields() const override { return m_layout.fields; }

    int recordCount() const override;
    bool isDeleted(int record) override;
    QStringList readRecord(int record) override;

    int appendRecord(const QStringList &values) override;
    int writeRecord(int record, const QStringList &values) override;
    void deleteRecord(int record) override;
    void flush() override;
    void discard() override;

private:
    QByteArrayView tuple(int record);
    void checkRecord(int record) const;
    void refuseReadOnly() const;
    // Where a record's bytes begin in the file.
    qint64 offsetOf(qint64 record) const;
    // shapelib reads the file as it was when it opened it: opened again
    // after the program wrote to it.
    void freshHandle();
    // Writes the buffered records at the end of the file.
    void writePending();
    // Writes bytes in place, or gives the appends up and throws.
    void writeAt(qint64 offset, QByteArrayView bytes);
    // Puts the file back as it was at the last flush.
    void rollBack();
    [[noreturn]] void writeFailed(int err);

    ShapelibLoader m_loader;
    const ShapelibEntries *m_api = nullptr;
    void *m_handle = nullptr; // DBFHandle

    int m_lockFd = -1;
    bool m_readOnly = false;
    bool m_stale = false; // written since shapelib opened the file
    QString m_path;
    DbfLayout m_layout; // recordCount: the records the header counts

    // Appends since the last flush: their count, those still in the buffer,
    // and what the file held at the last flush (its size, its first 32
    // bytes, what followed the records, usually the end-of-file mark).
    qint64 m_appended = 0;
    QByteArray m_pending;
    qint64 m_sizeBefore = 0;
    QByteArray m_headBefore;
    QByteArray m_tailBefore;
    QByteArray m_readBuffer;
};

} // namespace qm
