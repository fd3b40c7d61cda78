#pragma once

// The records of the open table as the program's table engine reads them.

#include "data/tableengine.h"

#include <QList>
#include <QStringList>

namespace qm::test {

// The values of the records not marked deleted, in file order.
inline QList<QStringList> allRecords(ITableEngine &table)
{
    QList<QStringList> records;
    for (const int r : liveRecords(table))
        records << table.readRecord(r);
    return records;
}

} // namespace qm::test
