#include "filelock.h"

#include "platform/errors.h"

#include <QCoreApplication>
#include <QFile>

#include <thread>

#include <cerrno>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

namespace qm {

CatalogueLock::CatalogueLock(const QString &path, std::chrono::milliseconds wait)
{
    using Clock = std::chrono::steady_clock;
    const QByteArray native = QFile::encodeName(path);
    const auto deadline = Clock::now() + wait;
    for (;;) {
        const int fd = ::open(native.constData(), O_RDONLY | O_CLOEXEC | O_NONBLOCK | O_NOCTTY);
        if (fd < 0) {
            if (errno == ENOENT)
                return;
            const int error = errno;
            throw IoError(error, IoError::textFor(error) + QStringLiteral(": ") + path);
        }
        int locked;
        while (
            (locked = ::flock(fd, LOCK_EX | LOCK_NB)) != 0 && errno == EWOULDBLOCK && Clock::now() < deadline)
            std::this_thread::sleep_for(std::chrono::milliseconds(20));
        if (locked != 0) {
            ::close(fd);
            throw Error(QCoreApplication::translate("qm",
                "Der Katalog \"%1\" wird gerade von einem anderen Quillmark geändert. "
                "Bitte versuchen Sie es später noch einmal.")
                            .arg(path));
        }
        // A writer that held the lock may have renamed a new file over the
        // path: then the lock is on the old one.
        struct stat held
        {
        };
        struct stat named
        {
        };
        if (::fstat(fd, &held) == 0 && ::stat(native.constData(), &named) == 0 && held.st_dev == named.st_dev
            && held.st_ino == named.st_ino) {
            m_fd = fd;
            return;
        }
        ::close(fd);
    }
}

CatalogueLock::~CatalogueLock()
{
    if (m_fd >= 0)
        ::close(m_fd); // releases the flock
}

} // namespace qm
