#include "textfile.h"

#include "cp1252.h"
#include "errors.h"

#include <QCoreApplication>
#include <QFile>

#include <cerrno>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace qm {
namespace {

// Closes a descriptor when the scope ends.
class Fd
{
public:
    explicit Fd(int fd) : m_fd(fd) {}
    ~Fd()
    {
        if (m_fd >= 0)
            ::close(m_fd);
    }
    Fd(const Fd &) = delete;
    Fd &operator=(const Fd &) = delete;
    int get() const { return m_fd; }
    int release()
    {
        const int fd = m_fd;
        m_fd = -1;
        return fd;
    }

private:
    int m_fd;
};

QByteArray nativePath(const QString &path)
{
    return QFile::encodeName(path);
}

// Reads everything from an open descriptor. Throws IoError.
QByteArray readAll(int fd)
{
    QByteArray data;
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
        data.append(buffer, got);
    }
    return data;
}

} // namespace

QByteArray readFileBytes(const QString &path)
{
    if (path.isEmpty())
        throw IoError(ENOENT);
    Fd fd(::open(nativePath(path).constData(), O_RDONLY | O_CLOEXEC));
    if (fd.get() < 0)
        throw IoError(errno);
    return readAll(fd.get());
}

std::optional<QStringList> readTextLinesIfOpenable(const QString &path)
{
    if (path.isEmpty())
        return std::nullopt;
    Fd fd(::open(nativePath(path).constData(), O_RDONLY | O_CLOEXEC));
    if (fd.get() < 0)
        return std::nullopt;
    struct stat st {};
    if (::fstat(fd.get(), &st) != 0 || S_ISDIR(st.st_mode))
        return std::nullopt;
    return splitCp1252Lines(readAll(fd.get()));
}

QStringList splitCp1252Lines(QByteArrayView bytes)
{
    QStringList lines;
    qsizetype start = 0;
    const qsizetype n = bytes.size();
    while (start < n) {
        qsizetype end = bytes.indexOf('\n', start);
        const qsizetype next = end < 0 ? n : end + 1;
        if (end < 0)
            end = n;
        qsizetype stop = end;
        if (end < n && stop > start && bytes[stop - 1] == '\r')
            --stop;
        lines.append(decodeCp1252(bytes.sliced(start, stop - start)));
        start = next;
    }
    return lines;
}

QStringList readTextLines(const QString &path)
{
    return splitCp1252Lines(readFileBytes(path));
}

bool fileExists(const QString &path)
{
    if (path.isEmpty())
        return false;
    struct stat st {};
    return ::stat(nativePath(path).constData(), &st) == 0 && S_ISREG(st.st_mode);
}

TextFileWriter::TextFileWriter(QString path)
    : m_path(std::move(path))
{
}

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
    if (path.isEmpty())
        throw IoError(ENOENT);
    const QByteArray target = nativePath(path);
    QByteArray tmpl = target + ".tmp-XXXXXX";
    Fd fd(::mkstemp(tmpl.data()));
    if (fd.get() < 0)
        throw IoError(errno);
    auto fail = [&](int err) {
        ::unlink(tmpl.constData());
        throw IoError(err);
    };
    // mkstemp creates 0600; give the file the usual permissions, or keep the
    // ones of the file it replaces.
    struct stat st {};
    mode_t mode = 0666;
    if (::stat(target.constData(), &st) == 0 && S_ISREG(st.st_mode)) {
        mode = st.st_mode & 07777;
    } else {
        const mode_t mask = ::umask(0);
        ::umask(mask);
        mode &= ~mask;
    }
    ::fchmod(fd.get(), mode);
    const char *p = data.data();
    qsizetype left = data.size();
    while (left > 0) {
        const ssize_t put = ::write(fd.get(), p, static_cast<size_t>(left));
        if (put < 0) {
            if (errno == EINTR)
                continue;
            fail(errno);
        }
        p += put;
        left -= put;
    }
    if (::fsync(fd.get()) != 0 && errno != EINVAL)
        fail(errno);
    if (::close(fd.release()) != 0)
        fail(errno);
    if (::rename(tmpl.constData(), target.constData()) != 0)
        fail(errno);
}

} // namespace qm
