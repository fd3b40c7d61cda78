#include "stringtable.h"

#include <algorithm>

namespace qm {

StringTable::StringTable(int colCount, int rowCount)
{
    reset(colCount, rowCount);
}

void StringTable::setColCount(int count)
{
    m_colCount = std::max(0, count);
}

void StringTable::setRowCount(int count)
{
    m_rowCount = std::max(0, count);
}

QString StringTable::cell(int col, int row) const
{
    if (col < 0 || row < 0 || col >= m_colCount || row >= m_rowCount)
        return {};
    if (static_cast<size_t>(row) >= m_rows.size())
        return {};
    const QStringList &r = m_rows[static_cast<size_t>(row)];
    return col < r.size() ? r[col] : QString();
}

void StringTable::setCell(int col, int row, const QString &value)
{
    if (col < 0 || row < 0)
        return;
    if (static_cast<size_t>(row) >= m_rows.size())
        m_rows.resize(static_cast<size_t>(row) + 1);
    QStringList &r = m_rows[static_cast<size_t>(row)];
    while (r.size() <= col)
        r.append(QString());
    r[col] = value;
    m_colCount = std::max(m_colCount, col + 1);
    m_rowCount = std::max(m_rowCount, row + 1);
}

QStringList StringTable::row(int row, int first) const
{
    QStringList out;
    for (int c = std::max(0, first); c < m_colCount; ++c)
        out.append(cell(c, row));
    return out;
}

void StringTable::clearRowsFrom(int firstRow)
{
    const size_t first = static_cast<size_t>(std::max(0, firstRow));
    if (first < m_rows.size())
        m_rows.resize(first);
}

void StringTable::reset(int colCount, int rowCount)
{
    m_rows.clear();
    m_colCount = std::max(0, colCount);
    m_rowCount = std::max(0, rowCount);
}

} // namespace qm
