#include "shapelibtable.h"

#include "platform/textfile.h"

#include <QCoreApplication>
#include <QDate>
#include <QFile>
#include <QMutexLocker>

#include <cerrno>
#include <cstdio>
#include <dlfcn.h>
#include <fcntl.h>
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
    int (*writeTuple)(void *dbf, int record, void *raw) = nullptr;
    int (*markDeleted)(void *dbf, int record, int deleted) = nullptr;
    void (*updateHeader)(void *dbf) = nullptr;
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
        && resolve(m_handle, "DBFReadTuple", entries->readTuple)
        && resolve(m_handle, "DBFWriteTuple", entries->writeTuple)
        && resolve(m_handle, "DBFMarkRecordDeleted", entries->markDeleted)
        && resolve(m_handle, "DBFUpdateHeader", entries->updateHeader);
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

        void *handle = m_api->open(QFile::encodeName(path).constData(), readOnly ? "rb" : "rb+");
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
    if (m_handle) {
        m_api->close(m_handle); // writes the record count
        m_handle = nullptr;
    }
    if (m_lockFd >= 0) {
        ::close(m_lockFd);
        m_lockFd = -1;
    }
    m_path.clear();
    m_layout = DbfLayout();
}

int ShapelibTable::recordCount() const
{
    return m_handle ? m_api->recordCount(m_handle) : 0;
}

void ShapelibTable::checkRecord(int record) const
{
    if (!m_handle)
        throw Error(tr("Es ist keine Datenbank geöffnet."));
    if (record < 0 || record >= recordCount())
        throw Error(tr("Datensatz %1 gibt es in der Datenbank \"%2\" nicht.").arg(record + 1).arg(m_path));
}

QByteArrayView ShapelibTable::tuple(int record)
{
    checkRecord(record);
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

int ShapelibTable::write(int record, const QStringList &values, bool deleted)
{
    refuseReadOnly();
    int cut = 0;
    QByteArray bytes = encodeDbfRecord(m_layout, values, deleted, &cut);
    if (!m_api->writeTuple(m_handle, record, bytes.data()))
        throw Error(tr("Datensatz %1 der Datenbank \"%2\" kann nicht geschrieben werden.")
                        .arg(record + 1)
                        .arg(m_path));
    return cut;
}

int ShapelibTable::appendRecord(const QStringList &values)
{
    if (!m_handle)
        throw Error(tr("Es ist keine Datenbank geöffnet."));
    return write(recordCount(), values, false);
}

int ShapelibTable::writeRecord(int record, const QStringList &values)
{
    const bool deleted = isDeleted(record);
    return write(record, values, deleted);
}

void ShapelibTable::deleteRecord(int record)
{
    checkRecord(record);
    refuseReadOnly();
    if (!m_api->markDeleted(m_handle, record, 1))
        throw Error(
            tr("Datensatz %1 der Datenbank \"%2\" kann nicht gelöscht werden.").arg(record + 1).arg(m_path));
}

void ShapelibTable::refuseReadOnly() const
{
    if (m_readOnly)
        throw Error(tr("Die Datenbank \"%1\" ist nur zum Lesen geöffnet.").arg(m_path));
}

void ShapelibTable::flush()
{
    if (m_handle && !m_readOnly)
        m_api->updateHeader(m_handle);
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
