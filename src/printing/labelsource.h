#pragma once

#include "data/recordreader.h"

#include <QList>
#include <QStringList>


namespace qm {

struct PrintDesign;

// The titles of the data columns of a design, by column (index 0 empty).
QStringList columnTitles(const PrintDesign &design);

// The labels of a run one after the other, each as soon as it is needed, so
// that a run keeps one record and one label in memory however many it
// prints: every record as often as its copies say (strictly converted; ConvertError otherwise, a negative number
// prints nothing), and in a column whose title begins with "Seriennr." the
// serial number: the first record's value is the start (empty means 1),
// counted on for every label with serialInCopies, otherwise once per record.
class LabelSource
{
public:
    // `titles[c]` is the title of data column c (1 .. titles.size() - 1).
    LabelSource(IRecordReader &records, const QStringList &titles, bool serialInCopies);

    // The values of the next label into `values`: values[c] for data column
    // c, values[0] empty. False after the last label.
    bool next(QStringList &values);
    // Labels yielded so far.
    qint64 count() const { return m_label; }
    // The record (from 1) the label yielded last comes from.
    qint64 record() const { return m_recordIndex + 1; }

    // The number of labels the records give, read once through: a run knows
    // its last position before the first label. Throws as next() would.
    static qint64 countLabels(IRecordReader &records);

private:
    IRecordReader &m_records;
    QList<bool> m_serial; // by column
    QList<qint64> m_start; // serial starts from the first record
    bool m_serialInCopies;
    QStringList m_record;
    QStringList m_first;
    qint64 m_copiesLeft = 0;
    qint64 m_recordIndex = -1; // of the current record, from 0
    qint64 m_label = 0;
};

} // namespace qm
