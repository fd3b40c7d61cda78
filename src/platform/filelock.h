#pragma once

#include <QString>

#include <chrono>

namespace qm {

// How long a catalogue writer waits for another one before giving up.
inline constexpr std::chrono::milliseconds CatalogueLockWait { 5000 };

// An exclusive lock on a catalogue file (FORMATE.DAT, WERKE.DAT,
// BEREICH.DAT) for one read-modify-write: taken before the file is read,
// released after the new file has replaced it. Two programs that change the
// same catalogue at once would otherwise both read the old file and the
// second rename would drop the first one's change.
//
// The lock is a flock on the file itself. A writer replaces the file by
// renaming a new one over it, so after the lock is granted the path is
// checked to still name the locked file; when it names a newer one, that is
// locked instead. A missing file is not locked (there is nothing to read;
// the reader reports it). Locks of one process on one file through two
// CatalogueLocks exclude each other as well.
class CatalogueLock
{
public:
    // Waits up to `wait` for the lock, then throws qm::Error with a German
    // message naming the file. Throws IoError when the file cannot be opened
    // for another reason than its absence.
    explicit CatalogueLock(const QString &path, std::chrono::milliseconds wait = CatalogueLockWait);
    ~CatalogueLock();

    CatalogueLock(const CatalogueLock &) = delete;
    CatalogueLock &operator=(const CatalogueLock &) = delete;

    bool holds() const { return m_fd >= 0; }

private:
    int m_fd = -1;
};

} // namespace qm
