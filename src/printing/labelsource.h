#pragma once

#include "data/recordreader.h"

#include <QList>
#include <QStringList>

#include <deque>
#include <functional>

namespace qm {

struct PrintDesign;

// The titles of the data columns of a design, by column (index 0 empty).
QStringList columnTitles(const PrintDesign &design);

// The labels of a run one after the other, each as soon as it is needed, so
// that a run keeps one record and one label in memory however many it
// prints. Label k has exactly the values that row k of the label list has
// after expandEntryGrid over the same records: every record as often as its
// copies say (strictly converted; ConvertError otherwise, a negative number
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

// The labels of a run whose records are read twice: counted first
// (LabelSource::countLabels), then made one by one as the layout asks for
// them, row 1, 2, ... up to the number counted. Records that give other
// labels the second time (a file changed in between) throw an Error with
// `changedMessage` instead of printing other labels than were counted: too
// few when a label is missing, too many at the last one. The first label is
// made when the object is made, so that its serial starts are converted
// (ConvertError) before a printer is asked for.
class CountedLabels
{
public:
    CountedLabels(IRecordReader &records, const QStringList &titles, bool serialInCopies, qint64 count,
        QString changedMessage);

    // The values of label `row` (each row once, in order).
    const QStringList &label(qint64 row);
    // The record (from 1) the label of the last label() call comes from.
    qint64 record() const { return m_record; }
    // Makes the labels up to row `row` (at most the number counted) now, so
    // that work on them can begin early, and hands each label made, and not
    // handed over before, to `made` in order. label() then gives them.
    void makeAhead(qint64 row, const std::function<void(const QStringList &)> &made);

private:
    void makeNext();

    LabelSource m_source;
    qint64 m_count;
    qint64 m_made = 0; // labels made so far
    qint64 m_handedOver = 0; // labels handed to makeAhead()'s `made`
    qint64 m_row = 0; // the row whose values m_values holds
    QString m_changed;
    QStringList m_values;
    qint64 m_record = 0; // of m_values
    std::deque<QStringList> m_ahead; // made, rows m_row + 1 ...
    std::deque<qint64> m_aheadRecords; // their records
};

} // namespace qm
