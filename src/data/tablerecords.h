#pragma once

#include "data/recordselection.h"
#include "data/recordreader.h"

namespace qm {

class ITableEngine;

// The records of an open table that the criteria select (joined by OR, as
// the record selection joins them; with none on, every record), one at a
// time in file order, each in the form of an entry-grid row with one print:
// "1", then the record's values. Records marked deleted are left out. Only
// the record being looked at is held, so a run over a table of millions of
// records needs no more memory than over a few; rewind() starts over, so a
// run reads the table once to count and once to print.
class TableRecordStream : public IRecordReader
{
public:
    TableRecordStream(ITableEngine &table, const SelectionCriteria &criteria);

    bool next(QStringList &record) override;
    void rewind() override;
    // Records yielded since the last rewind.
    qint64 yielded() const { return m_yielded; }

private:
    ITableEngine &m_table;
    CriteriaMatch m_match;
    int m_next = 0;
    qint64 m_yielded = 0;
};

} // namespace qm
