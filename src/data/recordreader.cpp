#include "recordreader.h"

namespace qm {

EntryGridRecords::EntryGridRecords(const StringTable &entryGrid)
    : m_grid(entryGrid)
{ }

bool EntryGridRecords::next(QStringList &record)
{
    if (m_row >= m_grid.rowCount())
        return false;
    record.resize(m_grid.colCount());
    for (int c = 0; c < m_grid.colCount(); ++c)
        record[c] = m_grid.cell(c, m_row);
    ++m_row;
    return true;
}

ListRecords::ListRecords(const QList<QStringList> &records)
    : m_records(&records)
{ }

ListRecords::ListRecords(QList<QStringList> &&records)
    : m_kept(std::move(records))
    , m_records(&m_kept)
{ }

bool ListRecords::next(QStringList &record)
{
    if (m_next >= m_records->size())
        return false;
    record = (*m_records)[m_next++];
    return true;
}

QStringList columnTitles(const StringTable &entryGrid)
{
    QStringList titles(entryGrid.colCount());
    for (int c = 1; c < entryGrid.colCount(); ++c)
        titles[c] = entryGrid.cell(c, 0);
    return titles;
}

} // namespace qm
