#include "recorddigests.h"

#include <QHash>

namespace qm {
namespace {

quint64 mixed(quint64 x)
{
    // splitmix64's finaliser.
    x += 0x9e3779b97f4a7c15ULL;
    x = (x ^ (x >> 30)) * 0xbf58476d1ce4e5b9ULL;
    x = (x ^ (x >> 27)) * 0x94d049bb133111ebULL;
    return x ^ (x >> 31);
}

} // namespace

quint64 RecordDigests::of(const QStringList &record)
{
    quint64 digest = mixed(quint64(record.size()));
    for (const QString &value : record)
        digest = mixed(digest ^ quint64(qHash(QStringView(value), size_t(value.size()))));
    return digest;
}

// Sums of digests are merged by adding them, so each digest is first tied
// to its place: the same records in another order give other sums.
quint64 RecordDigests::placed(quint64 digest, qint64 index)
{
    return mixed(digest ^ mixed(quint64(index)));
}

void RecordDigests::add(quint64 digest)
{
    const size_t block = size_t(m_count >> m_shift);
    if (block == m_blocks.size()) {
        if (m_blocks.size() == MaxBlocks) {
            // Twice as many records per block from now on.
            for (size_t i = 0; i < m_blocks.size() / 2; ++i)
                m_blocks[i] = m_blocks[2 * i] + m_blocks[2 * i + 1];
            m_blocks.resize(m_blocks.size() / 2);
            ++m_shift;
        }
        if (size_t(m_count >> m_shift) == m_blocks.size())
            m_blocks.push_back(0);
    }
    m_blocks[size_t(m_count >> m_shift)] += placed(digest, m_count);
    ++m_count;
}

bool RecordDigests::matches(qint64 index, quint64 digest)
{
    if (index < 0 || index >= m_count)
        return false;
    m_running += placed(digest, index);
    const bool blockEnds = ((index + 1) & (blockSize() - 1)) == 0 || index + 1 == m_count;
    if (!blockEnds)
        return true;
    const bool same = m_running == m_blocks[size_t(index >> m_shift)];
    m_running = 0;
    return same;
}

} // namespace qm
