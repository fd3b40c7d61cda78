#include "textfile.h"

#include "cp1252.h"
#include "errors.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QRegularExpression>

#include <cerrno>
#include <climits>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

namespace qm {
namespace {

QString tr(const char *text)
{
    return QCoreApplication::translate("qm", text);
}

// Closes a descriptor when the scope ends.
class Fd
{
public:
    explicit Fd(int fd)
        : m_fd(fd)
    { }
    ~Fd()
    {
        if (m_fd >= 0)
            ::close(m_fd);
    }
    Fd(const Fd &) = delete;
    Fd &operator=(const Fd &) = delete;
    int get() const { return m_fd; }

private:
    int m_fd;
};

QByteArray nativePath(const QString &path)
{
    return QFile::encodeName(path);
}

// Opens path for reading without blocking on a pipe. Nothing (errno set)
// when it cannot be opened.
int openForReading(const QByteArray &path)
{
    return ::open(path.constData(), O_RDONLY | O_CLOEXEC | O_NONBLOCK | O_NOCTTY);
}

// Refuses text of more than MaxTextLines lines before it is split.
void checkLineCount(QByteArrayView bytes, const QString &path)
{
    qsizetype lines = 0;
    const qsizetype n = bytes.size();
    for (qsizetype i = 0; i < n; ++i) {
        if (bytes[i] == '\n' || (bytes[i] == '\r' && (i + 1 == n || bytes[i + 1] != '\n')))
            ++lines;
    }
    if (n > 0 && bytes[n - 1] != '\n' && bytes[n - 1] != '\r')
        ++lines; // a last line without its end
    if (lines > MaxTextLines)
        throw IoError(EFBIG,
            tr("Die Datei %1 hat mehr als %2 Zeilen und wird nicht gelesen.").arg(path).arg(MaxTextLines));
}

// Reads at most maxBytes from an open regular file. Throws IoError.
QByteArray readAll(int fd, const QString &path, const struct stat &st, qint64 maxBytes)
{
    if (!S_ISREG(st.st_mode))
        throw IoError(S_ISDIR(st.st_mode) ? EISDIR : EINVAL, notRegularFileMessage(path, st.st_mode));
    auto tooLarge = [&] {
        return IoError(EFBIG,
            tr("Die Datei %1 ist größer als %2 MB und wird nicht gelesen.")
                .arg(path)
                .arg(maxBytes / (1024 * 1024)));
    };
    if (st.st_size > maxBytes)
        throw tooLarge();
    QByteArray data;
    data.reserve(static_cast<qsizetype>(st.st_size));
    char buffer[65536];
    for (;;) {
        const ssize_t got = ::read(fd, buffer, sizeof buffer);
        if (got < 0) {
            if (errno == EINTR)
                continue;
            throw IoError(errno);
        }
        if (got == 0)
            break;
        if (data.size() + got > maxBytes) // the file grew while it was read
            throw tooLarge();
        data.append(buffer, got);
    }
    return data;
}

// The file a path finally names: symbolic links followed (also a link whose
// target does not exist yet). Throws IoError for a link loop.
QByteArray resolveLinks(QByteArray path)
{
    for (int hop = 0; hop < 40; ++hop) {
        struct stat st
        {
        };
        if (::lstat(path.constData(), &st) != 0 || !S_ISLNK(st.st_mode))
            return path;
        QByteArray target(PATH_MAX, '\0');
        const ssize_t n = ::readlink(path.constData(), target.data(), target.size());
        if (n < 0)
            throw IoError(errno);
        target.truncate(n);
        if (!target.startsWith('/')) {
            const qsizetype slash = path.lastIndexOf('/');
            target.prepend(slash < 0 ? QByteArray() : path.left(slash + 1));
        }
        path = target;
    }
    throw IoError(ELOOP);
}

const QRegularExpression &ownTemporaryName()
{
    static const QRegularExpression pattern(QStringLiteral("^\\.qm-[A-Za-z0-9]{6}\\.tmp$"));
    return pattern;
}

const QRegularExpression &earlierTemporaryName()
{
    static const QRegularExpression pattern(QStringLiteral("^.+\\.tmp-[A-Za-z0-9]{6}$"));
    return pattern;
}

} // namespace

QString notRegularFileMessage(const QString &path, unsigned mode)
{
    if (S_ISDIR(mode))
        return tr("%1 ist ein Verzeichnis und keine Datei.").arg(path);
    return tr("%1 ist keine gewöhnliche Datei (sondern etwa eine Pipe oder ein Gerät).").arg(path);
}

QByteArray readFileBytes(const QString &path, qint64 maxBytes)
{
    if (path.isEmpty())
        throw IoError(ENOENT);
    Fd fd(openForReading(nativePath(path)));
    if (fd.get() < 0)
        throw IoError(errno);
    struct stat st
    {
    };
    if (::fstat(fd.get(), &st) != 0)
        throw IoError(errno);
    return readAll(fd.get(), path, st, maxBytes);
}

std::optional<QStringList> readTextLinesIfOpenable(const QString &path)
{
    if (path.isEmpty())
        return std::nullopt;
    Fd fd(openForReading(nativePath(path)));
    if (fd.get() < 0)
        return std::nullopt;
    struct stat st
    {
    };
    if (::fstat(fd.get(), &st) != 0 || !S_ISREG(st.st_mode))
        return std::nullopt;
    const QByteArray bytes = readAll(fd.get(), path, st, MaxReadBytes);
    checkLineCount(bytes, path);
    return splitCp1252Lines(bytes);
}

QStringList splitCp1252Lines(QByteArrayView bytes)
{
    QStringList lines;
    qsizetype start = 0;
    const qsizetype n = bytes.size();
    while (start < n) {
        qsizetype end = start;
        while (end < n && bytes[end] != '\n' && bytes[end] != '\r')
            ++end;
        lines.append(decodeCp1252(bytes.sliced(start, end - start)));
        if (end < n && bytes[end] == '\r' && end + 1 < n && bytes[end + 1] == '\n')
            ++end;
        start = end + 1;
    }
    return lines;
}

QByteArray readTextFileBytes(const QString &path)
{
    QByteArray bytes = readFileBytes(path);
    checkLineCount(bytes, path);
    return bytes;
}

QStringList readTextLines(const QString &path)
{
    return splitCp1252Lines(readTextFileBytes(path));
}

bool fileExists(const QString &path)
{
    if (path.isEmpty())
        return false;
    struct stat st
    {
    };
    return ::stat(nativePath(path).constData(), &st) == 0 && S_ISREG(st.st_mode);
}

ReplacingFile::ReplacingFile(QString path)
    : m_path(std::move(path))
{ }

ReplacingFile::~ReplacingFile()
{
    discard();
}

void ReplacingFile::begin()
{
    if (m_path.isEmpty())
        throw IoError(ENOENT);
    discard();
    m_error = 0;
    m_target = resolveLinks(nativePath(m_path));
    struct stat st
    {
    };
    const bool exists = ::stat(m_target.constData(), &st) == 0;
    if (exists && !S_ISREG(st.st_mode))
        throw IoError(S_ISDIR(st.st_mode) ? EISDIR : EINVAL, notRegularFileMessage(m_path, st.st_mode));
    const qsizetype slash = m_target.lastIndexOf('/');
    const QByteArray folder = slash < 0 ? QByteArray() : m_target.left(slash + 1);
    for (int attempt = 0; attempt < 5; ++attempt) {
        QByteArray name = folder + ".qm-XXXXXX.tmp";
        const int fd = ::mkstemps(name.data(), 4);
        if (fd < 0)
            throw IoError(errno);
        // The lock tells removeStaleTemporaryFiles that the file is in use.
        // Should it have removed the file in the instant before the lock,
        // the file has no name any more and another one is made.
        struct stat own
        {
        };
        if (::flock(fd, LOCK_EX) == 0 && ::fstat(fd, &own) == 0 && own.st_nlink > 0) {
            m_fd = fd;
            m_temp = name;
            break;
        }
        ::close(fd);
    }
    if (m_fd < 0)
        throw IoError(EAGAIN);
    // mkstemps creates 0600: give the file the mode (and, where allowed, the
    // group and owner) of the file it replaces, or the usual permissions.
    mode_t mode = 0666;
    if (exists) {
        mode = st.st_mode & 07777;
        if (::fchown(m_fd, st.st_uid, st.st_gid) != 0
            && ::fchown(m_fd, static_cast<uid_t>(-1), st.st_gid) != 0) {
            // Another owner or group cannot be given: the file becomes ours.
        }
    } else {
        const mode_t mask = ::umask(0);
        ::umask(mask);
        mode &= ~mask;
    }
    if (::fchmod(m_fd, mode) != 0) {
        const int err = errno;
        discard();
        throw IoError(err);
    }
    QIODevice::open(QIODevice::WriteOnly);
}

void ReplacingFile::fail(int errorNumber)
{
    if (m_error == 0)
        m_error = errorNumber;
}

bool ReplacingFile::flushBuffer()
{
    const char *p = m_buffer.constData();
    qsizetype left = m_buffer.size();
    while (left > 0 && m_error == 0) {
        const ssize_t put = ::write(m_fd, p, static_cast<size_t>(left));
        if (put < 0) {
            if (errno != EINTR)
                fail(errno);
            continue;
        }
        if (put == 0) {
            fail(ENOSPC);
            continue;
        }
        p += put;
        left -= put;
    }
    m_buffer.clear();
    return m_error == 0;
}

qint64 ReplacingFile::writeData(const char *data, qint64 size)
{
    if (m_fd < 0 || m_error != 0)
        return -1;
    m_buffer.append(data, static_cast<qsizetype>(size));
    if (m_buffer.size() >= 65536 && !flushBuffer())
        return -1;
    return size;
}

void ReplacingFile::commit()
{
    if (m_fd < 0)
        throw IoError(EBADF);
    flushBuffer();
    if (m_error == 0 && ::fsync(m_fd) != 0 && errno != EINVAL)
        fail(errno);
    const int fd = m_fd;
    m_fd = -1;
    if (::close(fd) != 0)
        fail(errno);
    if (m_error == 0 && ::rename(m_temp.constData(), m_target.constData()) != 0)
        fail(errno);
    const int err = m_error;
    if (err != 0) {
        ::unlink(m_temp.constData());
        m_temp.clear();
        QIODevice::close();
        throw IoError(err);
    }
    m_temp.clear();
    QIODevice::close();
}

void ReplacingFile::discard()
{
    if (m_fd >= 0) {
        ::close(m_fd);
        m_fd = -1;
    }
    if (!m_temp.isEmpty()) {
        ::unlink(m_temp.constData());
        m_temp.clear();
    }
    m_buffer.clear();
    if (isOpen())
        QIODevice::close();
}

TextFileWriter::TextFileWriter(QString path)
    : m_path(std::move(path))
{ }

void TextFileWriter::writeLine(QStringView line)
{
    ++m_lineNumber;
    qsizetype bad = -1;
    if (!encodeCp1252(line, m_data, &bad)) {
        const QChar c = line[bad];
        throw EncodingError(
            QCoreApplication::translate("qm",
                "Das Zeichen \u201E%1\u201C (U+%2) in Zeile %3 lässt sich im "
                "Windows-Zeichensatz nicht speichern. %4 wurde nicht geschrieben.")
                .arg(c)
                .arg(QString::number(c.unicode(), 16).toUpper().rightJustified(4, QLatin1Char('0')))
                .arg(m_lineNumber)
                .arg(m_path));
    }
    m_data.append("\r\n", 2);
}

void TextFileWriter::commit()
{
    writeFileAtomically(m_path, m_data);
}

void writeFileAtomically(const QString &path, QByteArrayView data)
{
    ReplacingFile file(path);
    file.begin();
    file.write(data.data(), data.size());
    file.commit();
}

int removeStaleTemporaryFiles(const QString &dir)
{
    int removed = 0;
    const QStringList names = QDir(dir).entryList(QDir::Files | QDir::Hidden | QDir::System);
    for (const QString &name : names) {
        if (!ownTemporaryName().match(name).hasMatch() && !earlierTemporaryName().match(name).hasMatch())
            continue;
        const QByteArray path = nativePath(QDir(dir).filePath(name));
        Fd fd(::open(path.constData(), O_RDONLY | O_CLOEXEC | O_NONBLOCK | O_NOFOLLOW | O_NOCTTY));
        struct stat st
        {
        };
        if (fd.get() < 0 || ::fstat(fd.get(), &st) != 0 || !S_ISREG(st.st_mode))
            continue;
        if (::flock(fd.get(), LOCK_EX | LOCK_NB) != 0)
            continue; // still being written
        if (::unlink(path.constData()) == 0)
            ++removed;
    }
    return removed;
}

} // namespace qm
