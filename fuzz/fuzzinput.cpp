#include "fuzzinput.h"

#include <cstdlib>
#include <sys/mman.h>
#include <unistd.h>

FuzzInputFile::FuzzInputFile(const std::uint8_t *data, std::size_t size)
{
    m_fd = ::memfd_create("fuzz-input", MFD_CLOEXEC);
    if (m_fd < 0)
        std::abort();
    std::size_t done = 0;
    while (done < size) {
        const ssize_t put = ::write(m_fd, data + done, size - done);
        if (put <= 0)
            std::abort();
        done += static_cast<std::size_t>(put);
    }
    m_path = QStringLiteral("/proc/self/fd/%1").arg(m_fd);
}

FuzzInputFile::~FuzzInputFile()
{
    ::close(m_fd);
}
