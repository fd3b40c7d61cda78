#include "tablerecords.h"

#include "data/tableengine.h"

namespace qm {

TableRecordStream::TableRecordStream(ITableEngine &table, const SelectionCriteria &criteria)
    : m_table(table)
    , m_match(criteria, fieldNames(table))
{ }

bool TableRecordStream::next(QStringList &record)
{
    const int count = m_table.recordCount();
    while (m_next < count) {
        const int r = m_next++;
        if (m_table.isDeleted(r))
            continue;
        QStringList values = m_table.readRecord(r);
        if (m_match.any() && !m_match.matches([&](int column) { return values.value(column); }))
            continue;
        values.prepend(QStringLiteral("1"));
        record = std::move(values);
        ++m_yielded;
        return true;
    }
    return false;
}

void TableRecordStream::rewind()
{
    m_next = 0;
    m_yielded = 0;
}

} // namespace qm
