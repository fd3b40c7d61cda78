#pragma once

#include <QString>

#include <cstddef>
#include <cstdint>

// Hands a fuzzer input to a reader that wants a path: the bytes go into an
// anonymous in-memory file that is reachable through /proc/self/fd.
class FuzzInputFile
{
public:
    FuzzInputFile(const std::uint8_t *data, std::size_t size);
    ~FuzzInputFile();
    FuzzInputFile(const FuzzInputFile &) = delete;
    FuzzInputFile &operator=(const FuzzInputFile &) = delete;

    QString path() const { return m_path; }

private:
    int m_fd = -1;
    QString m_path;
};
