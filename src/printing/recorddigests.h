#pragma once

#include <QStringList>
#include <QtGlobal>

#include <vector>

namespace qm {

// What the first reading of a run's records saw, so that the second reading
// (the print) can tell a record that reads differently: a digest of every
// record, kept as sums over blocks of records. A block is one record as
// long as the run has at most MaxBlocks records; beyond that neighbouring
// blocks are merged (the block doubles), so a run of any length keeps at
// most MaxBlocks sums. A difference is seen at the end of its block, before
// the labels after that block are drawn.
class RecordDigests
{
public:
    static constexpr size_t MaxBlocks = size_t(1) << 20;

    // The digest of one record: every value with its place and length.
    static quint64 of(const QStringList &record);

    // First reading: the next record's digest.
    void add(quint64 digest);
    // After the first reading.
    void finish() { }
    qint64 count() const { return m_count; }
    // Records per block.
    qint64 blockSize() const { return qint64(1) << m_shift; }

    // Second reading: starts it over.
    void restart() { m_running = 0; }
    // Whether record `index` (from 0, in order) may have the digest: false
    // for a record beyond those of the first reading, and at the end of a
    // block whose records differ from it.
    bool matches(qint64 index, quint64 digest);
    // Whether `read` records are all the first reading had.
    bool matchesEnd(qint64 read) const { return read == m_count; }

private:
    static quint64 placed(quint64 digest, qint64 index);

    std::vector<quint64> m_blocks;
    int m_shift = 0;
    qint64 m_count = 0;
    quint64 m_running = 0;
};

} // namespace qm
