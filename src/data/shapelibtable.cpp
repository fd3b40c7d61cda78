#include "shapelibtable.h"

#include "platform/textfile.h"

#include <QCoreApplication>
#include <QDate>
#include <QFile>
#include <QMutexLocker>
#include <QScopeGuard>

#include <cerrno>
#include <csignal>
#include <cstdio>
#include <dlfcn.h>
#include <fcntl.h>
#include <limits>
#include <pthread.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

namespace qm {

// The shapelib entry points the table uses (shapefil.h of shapelib 1.5).
// DBFHandle is a pointer to the library's own structure; the program never
// looks into it.
struct ShapelibEntries
{
    void *(*open)(const char *file, const char *access) = nullptr;
    void (*close)(void *dbf) = nullptr;
    int (*recordCount)(void *dbf) = nullptr;
    int (*fieldCount)(void *dbf) = nullptr;
    const char *(*readTuple)(void *dbf, int record) = nullptr;
};

namespace {

QString tr(const char *text)
{
    return QCoreApplication::translate("qm", text);
}

template <typename F> bool resolve(void *handle, const char *name, F &target)
{
    void *symbol = ::dlsym(handle, name);
    if (!symbol) {
        std::fprintf(stderr, "quillmark: %s: %s\n", name, ::dlerror());
        return false;
    }
    target = reinterpret_cast<F>(symbol);
    return true;
}

QString ioText(const QString &path, int err)
{
    return tr("Die Datenbank \"%1\" kann nicht geöffnet werden: %2").arg(path, IoError::textFor(err));
}

// Takes the lock of a table file, or says who holds it.
int lockTable(const QString &path, int flags, int lock = LOCK_EX)
{
    const QByteArray name = QFile::encodeName(path);
    const int fd = ::open(name.constData(), flags | O_CLOEXEC);
    if (fd < 0) {
        const int err = errno;
        // Refused for writing only: the table can still be read.
        if ((flags & O_ACCMODE) != O_RDONLY && (err == EACCES || err == EPERM || err == EROFS)
            && ::access(name.constData(), R_OK) == 0)
            throw TableWriteDenied(ioText(path, err));
        throw Error(ioText(path, err));
    }
    struct stat st
    {
    };
    if (::fstat(fd, &st) != 0 || !S_ISREG(st.st_mode)) {
        ::close(fd);
        throw Error(tr("\"%1\" ist keine Datei und kann nicht als Datenbank geöffnet werden.").arg(path));
    }
    if (::flock(fd, lock | LOCK_NB) != 0) {
        const int err = errno;
        ::close(fd);
        if (err == EWOULDBLOCK)
            throw Error(tr("Die Datenbank \"%1\" ist bereits in einem anderen Quillmark geöffnet. "
                           "Bitte schließen Sie sie dort zuerst.")
                            .arg(path));
        throw Error(ioText(path, err));
    }
    return fd;
}

// Reads or writes all of `size` bytes at `offset`; false with errno set
// otherwise.
bool preadAll(int fd, char *to, qint64 size, qint64 offset)
{
    while (size > 0) {
        const ssize_t n = ::pread(fd, to, size_t(size), off_t(offset));
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0) {
            if (n == 0)
                errno = EIO;
            return false;
        }
        to += n;
        size -= n;
        offset += n;
    }
    return true;
}

// A write past the file size limit of the process (ulimit -f) fails with
// EFBIG, like one on a full disk, instead of ending the program with
// SIGXFSZ: the signal is blocked for this thread while it writes, and one
// that came is taken away before it is let through again.
class FileSizeSignalHeld
{
public:
    FileSizeSignalHeld()
    {
        sigemptyset(&m_set);
        sigaddset(&m_set, SIGXFSZ);
        pthread_sigmask(SIG_BLOCK, &m_set, &m_old);
    }
    ~FileSizeSignalHeld()
    {
        const int err = errno; // the write's, for the caller
        if (m_tooLarge) {
            const timespec none {};
            while (sigtimedwait(&m_set, nullptr, &none) > 0) { }
        }
        pthread_sigmask(SIG_SETMASK, &m_old, nullptr);
        errno = err;
    }
    FileSizeSignalHeld(const FileSizeSignalHeld &) = delete;
    FileSizeSignalHeld &operator=(const FileSizeSignalHeld &) = delete;
    void failed(int err) { m_tooLarge = m_tooLarge || err == EFBIG; }

private:
    sigset_t m_set {};
    sigset_t m_old {};
    bool m_tooLarge = false;
};

bool pwriteAll(int fd, const char *from, qint64 size, qint64 offset)
{
    FileSizeSignalHeld held;
    while (size > 0) {
        const ssize_t n = ::pwrite(fd, from, size_t(size), off_t(offset));
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0) {
            if (n == 0)
                errno = ENOSPC;
            held.failed(errno);
            return false;
        }
        from += n;
        size -= n;
        offset += n;
    }
    return true;
}

// Appended records are written in pieces of about this size.
constexpr qsizetype PendingBytes = 1 << 20;

} // namespace

EngineError::EngineError(int code)
    : Error(QCoreApplication::translate(
        "qm", "Bei der Initialisierung der Borland Database Engine ist ein Fehler aufgetreten (Fehler $%1)")
                .arg(code, 4, 16, QLatin1Char('0')))
    , m_code(code)
{ }

ShapelibLoader::ShapelibLoader(QByteArray libraryName)
    : m_name(std::move(libraryName))
{ }

ShapelibLoader::~ShapelibLoader()
{
    if (m_handle)
        ::dlclose(m_handle);
}

const ShapelibEntries &ShapelibLoader::entries()
{
    QMutexLocker locker(&m_lock);
    if (m_entries)
        return *m_entries;
    if (m_failure)
        throw EngineError(m_failure);

    m_handle = ::dlopen(m_name.constData(), RTLD_NOW | RTLD_LOCAL);
    if (!m_handle) {
        std::fprintf(stderr, "quillmark: %s\n", ::dlerror());
        m_failure = EngineError::LibraryNotLoaded;
        throw EngineError(m_failure);
    }
    auto entries = std::make_unique<ShapelibEntries>();
    const bool all = resolve(m_handle, "DBFOpen", entries->open)
        && resolve(m_handle, "DBFClose", entries->close)
        && resolve(m_handle, "DBFGetRecordCount", entries->recordCount)
        && resolve(m_handle, "DBFGetFieldCount", entries->fieldCount)
        && resolve(m_handle, "DBFReadTuple", entries->readTuple);
    if (!all) {
        ::dlclose(m_handle);
        m_handle = nullptr;
        m_failure = EngineError::EntryMissing;
        throw EngineError(m_failure);
    }
    m_entries = std::move(entries);
    return *m_entries;
}

ShapelibTable::ShapelibTable(QByteArray libraryName)
    : m_loader(std::move(libraryName))
{ }

ShapelibTable::~ShapelibTable()
{
    try {
        close();
    } catch (const Error &) {
        // The file is closed all the same; nobody is left to tell.
    }
}

void ShapelibTable::open(const QString &path, TableAccess access)
{
    m_api = &m_loader.entries();
    close();

    const bool readOnly = access == TableAccess::ReadOnly;
    // Readers share the file; a writer has it alone.
    const int fd = lockTable(path, readOnly ? O_RDONLY : O_RDWR, readOnly ? LOCK_SH : LOCK_EX);
    try {
        struct stat st
        {
        };
        ::fstat(fd, &st);
        // The header fits in 64 KiB: its length is a 16-bit number.
        QByteArray head(std::min<qint64>(st.st_size, 0x10000), '\0');
        qsizetype got = 0;
        while (got < head.size()) {
            const ssize_t n = ::pread(fd, head.data() + got, size_t(head.size() - got), got);
            if (n < 0 && errno == EINTR)
                continue;
            if (n <= 0)
                break;
            got += n;
        }
        head.truncate(got);
        DbfLayout layout = parseDbfHeader(head, st.st_size, path);

        // shapelib only reads; the program writes (see the class).
        void *handle = m_api->open(QFile::encodeName(path).constData(), "rb");
        if (!handle)
            throw Error(ioText(path, errno ? errno : EIO));
        if (m_api->fieldCount(handle) != layout.fields.size()
            || m_api->recordCount(handle) != int(layout.recordCount)) {
            m_api->close(handle);
            throw Error(
                tr("Die Datei \"%1\" ist keine gültige dBASE-Datenbank (Kopf beschädigt).").arg(path));
        }
        m_handle = handle;
        m_lockFd = fd;
        m_readOnly = readOnly;
        m_path = path;
        m_layout = std::move(layout);
    } catch (...) {
        ::close(fd);
        throw;
    }
}

void ShapelibTable::create(const QString &path, const QList<TableField> &fields)
{
    m_api = &m_loader.entries();
    const QDate today = QDate::currentDate();
    const QByteArray header = buildDbfHeader(fields, today.year(), today.month(), today.day());
    close();

    // A table of that name held by another Quillmark is not replaced.
    int fd = -1;
    if (QFile::exists(path))
        fd = lockTable(path, O_RDONLY);
    try {
        writeFileAtomically(path, header);
    } catch (const IoError &e) {
        if (fd >= 0)
            ::close(fd);
        throw Error(tr("Die Datenbank \"%1\" kann nicht angelegt werden: %2").arg(path, e.message()));
    }
    if (fd >= 0)
        ::close(fd);
    open(path);
}

void ShapelibTable::close()
{
    // Appends not yet counted in the header are written now; when that
    // fails the file is as it was and the table closed all the same.
    auto release = qScopeGuard([this] {
        if (m_handle) {
            m_api->close(m_handle);
            m_handle = nullptr;
        }
        if (m_lockFd >= 0) {
            ::close(m_lockFd);
            m_lockFd = -1;
        }
        m_path.clear();
        m_layout = DbfLayout();
        m_stale = false;
        m_appended = 0;
        m_pending.clear();
    });
    if (m_handle)
        flush();
}

int ShapelibTable::recordCount() const
{
    return m_handle ? int(m_layout.recordCount + m_appended) : 0;
}

qint64 ShapelibTable::offsetOf(qint64 record) const
{
    return m_layout.headerLength + record * qint64(m_layout.recordLength);
}

void ShapelibTable::checkRecord(int record) const
{
    if (!m_handle)
        throw Error(tr("Es ist keine Datenbank geöffnet."));
    if (record < 0 || record >= recordCount())
        throw Error(tr("Datensatz %1 gibt es in der Datenbank \"%2\" nicht.").arg(record + 1).arg(m_path));
}

void ShapelibTable::freshHandle()
{
    if (!m_stale)
        return;
    m_api->close(m_handle);
    m_handle = m_api->open(QFile::encodeName(m_path).constData(), "rb");
    if (!m_handle) {
        const int err = errno ? errno : EIO;
        // Without shapelib's handle the table is closed: the lock goes too.
        const QString path = m_path;
        m_stale = false;
        close();
        throw Error(ioText(path, err));
    }
    m_stale = false;
}

QByteArrayView ShapelibTable::tuple(int record)
{
    checkRecord(record);
    if (record >= m_layout.recordCount) {
        // Appended since the last flush: in the buffer or already written.
        const qint64 appended = record - m_layout.recordCount;
        const qint64 buffered = m_appended - m_pending.size() / m_layout.recordLength;
        if (appended >= buffered)
            return QByteArrayView(m_pending).sliced(
                (appended - buffered) * m_layout.recordLength, m_layout.recordLength);
        m_readBuffer.resize(m_layout.recordLength);
        if (!preadAll(m_lockFd, m_readBuffer.data(), m_layout.recordLength, offsetOf(record)))
            throw Error(tr("Datensatz %1 der Datenbank \"%2\" kann nicht gelesen werden.")
                            .arg(record + 1)
                            .arg(m_path));
        return m_readBuffer;
    }
    freshHandle();
    const char *raw = m_api->readTuple(m_handle, record);
    if (!raw)
        throw Error(
            tr("Datensatz %1 der Datenbank \"%2\" kann nicht gelesen werden.").arg(record + 1).arg(m_path));
    return QByteArrayView(raw, m_layout.recordLength);
}

bool ShapelibTable::isDeleted(int record)
{
    return tuple(record)[0] == dbf::Deleted;
}

QStringList ShapelibTable::readRecord(int record)
{
    return decodeDbfRecord(m_layout, tuple(record));
}

void ShapelibTable::writeFailed(int err)
{
    rollBack();
    throw Error(tr("Die Datenbank \"%1\" kann nicht geschrieben werden: %2. Sie bleibt, wie sie vorher war.")
                    .arg(m_path, IoError::textFor(err)));
}

void ShapelibTable::rollBack()
{
    if (m_appended > 0 || !m_headBefore.isEmpty()) {
        // Best effort: cutting a file back and writing over bytes it has
        // needs no new room on the disk.
        if (::ftruncate(m_lockFd, off_t(m_sizeBefore)) == 0) {
            pwriteAll(
                m_lockFd, m_tailBefore.constData(), m_tailBefore.size(), offsetOf(m_layout.recordCount));
            pwriteAll(m_lockFd, m_headBefore.constData(), m_headBefore.size(), 0);
        }
    }
    m_appended = 0;
    m_pending.clear();
    m_headBefore.clear();
    m_tailBefore.clear();
    m_stale = true;
}

void ShapelibTable::writeAt(qint64 offset, QByteArrayView bytes)
{
    m_stale = true;
    if (!pwriteAll(m_lockFd, bytes.data(), bytes.size(), offset))
        writeFailed(errno);
}

void ShapelibTable::writePending()
{
    if (m_pending.isEmpty())
        return;
    const qint64 first = m_layout.recordCount + m_appended - m_pending.size() / m_layout.recordLength;
    writeAt(offsetOf(first), m_pending);
    m_pending.clear();
}

int ShapelibTable::appendRecord(const QStringList &values)
{
    if (!m_handle)
        throw Error(tr("Es ist keine Datenbank geöffnet."));
    refuseReadOnly();
    int cut = 0;
    const QByteArray bytes = encodeDbfRecord(m_layout, values, false, &cut);
    if (recordCount() == std::numeric_limits<int>::max())
        throw Error(tr("Die Datenbank \"%1\" kann keine weiteren Datensätze aufnehmen.").arg(m_path));
    if (m_appended == 0) {
        // What the file holds now, to put back when the appends fail.
        struct stat st
        {
        };
        if (::fstat(m_lockFd, &st) != 0)
            throw Error(ioText(m_path, errno));
        m_sizeBefore = st.st_size;
        const qint64 end = offsetOf(m_layout.recordCount);
        m_headBefore.resize(dbf::FileHeaderSize);
        m_tailBefore.resize(std::max<qint64>(0, m_sizeBefore - end));
        if (!preadAll(m_lockFd, m_headBefore.data(), m_headBefore.size(), 0)
            || !preadAll(m_lockFd, m_tailBefore.data(), m_tailBefore.size(), end)) {
            const int err = errno;
            m_headBefore.clear();
            m_tailBefore.clear();
            throw Error(ioText(m_path, err));
        }
    }
    m_pending += bytes;
    ++m_appended;
    if (m_pending.size() >= PendingBytes)
        writePending();
    return cut;
}

int ShapelibTable::writeRecord(int record, const QStringList &values)
{
    checkRecord(record);
    refuseReadOnly();
    const QByteArray before = tuple(record).toByteArray();
    int cut = 0;
    const QByteArray bytes = encodeDbfRecord(m_layout, values, before[0] == dbf::Deleted, &cut);
    const qint64 appended = record - m_layout.recordCount;
    const qint64 buffered = m_appended - m_pending.size() / m_layout.recordLength;
    if (appended >= buffered) {
        m_pending.replace((appended - buffered) * m_layout.recordLength, bytes.size(), bytes);
        return cut;
    }
    m_stale = true;
    if (!pwriteAll(m_lockFd, bytes.constData(), bytes.size(), offsetOf(record))) {
        const int err = errno;
        // The record as it was; a write over bytes the file has needs no
        // new room.
        pwriteAll(m_lockFd, before.constData(), before.size(), offsetOf(record));
        throw Error(tr("Datensatz %1 der Datenbank \"%2\" kann nicht geschrieben werden: %3")
                        .arg(record + 1)
                        .arg(m_path, IoError::textFor(err)));
    }
    return cut;
}

void ShapelibTable::deleteRecord(int record)
{
    checkRecord(record);
    refuseReadOnly();
    const qint64 appended = record - m_layout.recordCount;
    const qint64 buffered = m_appended - m_pending.size() / m_layout.recordLength;
    if (appended >= buffered) {
        m_pending[(appended - buffered) * m_layout.recordLength] = dbf::Deleted;
        return;
    }
    m_stale = true;
    const char mark = dbf::Deleted;
    if (!pwriteAll(m_lockFd, &mark, 1, offsetOf(record)))
        throw Error(tr("Datensatz %1 der Datenbank \"%2\" kann nicht gelöscht werden: %3")
                        .arg(record + 1)
                        .arg(m_path, IoError::textFor(errno)));
}

void ShapelibTable::refuseReadOnly() const
{
    if (m_readOnly)
        throw Error(tr("Die Datenbank \"%1\" ist nur zum Lesen geöffnet.").arg(m_path));
}

void ShapelibTable::flush()
{
    if (!m_handle || m_readOnly || m_appended == 0)
        return;
    // The records and the end-of-file mark first, on the disk before the
    // header counts them; the header last.
    writePending();
    const qint64 count = m_layout.recordCount + m_appended;
    const char endOfFile = 0x1a;
    writeAt(offsetOf(count), QByteArrayView(&endOfFile, 1));
    if (::fdatasync(m_lockFd) != 0 && errno != EINVAL)
        writeFailed(errno);
    const QDate today = QDate::currentDate();
    const quint32 n = quint32(count);
    const char head[7]
        = { char(std::clamp(today.year() - 1900, 0, 255)), char(today.month()), char(today.day()),
              char(n & 0xff), char((n >> 8) & 0xff), char((n >> 16) & 0xff), char((n >> 24) & 0xff) };
    writeAt(1, QByteArrayView(head, sizeof head));
    m_layout.recordCount = count;
    m_appended = 0;
    m_headBefore.clear();
    m_tailBefore.clear();
}

void ShapelibTable::discard()
{
    if (m_handle && m_appended > 0)
        rollBack();
}

QStringList fieldNames(const ITableEngine &table)
{
    QStringList names;
    for (const TableField &field : table.fields())
        names << field.name;
    return names;
}

QList<int> liveRecords(ITableEngine &table, const ReadProgress &progress)
{
    QList<int> live;
    const int count = table.recordCount();
    live.reserve(count);
    for (int r = 0; r < count; ++r) {
        stepProgress(progress, r, count);
        if (!table.isDeleted(r))
            live << r;
    }
    if (progress)
        progress(count, count);
    return live;
}

} // namespace qm
