#include "labelsource.h"

#include "designs/printdesign.h"
#include "platform/errors.h"
#include "platform/numbers.h"

#include <algorithm>

namespace qm {

QStringList columnTitles(const PrintDesign &design)
{
    QStringList titles(design.fieldCount + 1);
    for (const DataField &field : design.fields) {
        if (field.column >= 1 && field.column <= design.fieldCount)
            titles[field.column] = field.title;
    }
    return titles;
}

LabelSource::LabelSource(IRecordReader &records, const QStringList &titles, bool serialInCopies)
    : m_records(records)
    , m_serial(titles.size())
    , m_start(titles.size(), 1)
    , m_serialInCopies(serialInCopies)
{
    for (qsizetype c = 1; c < titles.size(); ++c)
        m_serial[c] = titles[c].startsWith(QLatin1String("Seriennr."));
}

bool LabelSource::next(QStringList &values)
{
    while (m_copiesLeft <= 0) {
        if (!m_records.next(m_record))
            return false;
        ++m_recordIndex;
        if (m_recordIndex == 0)
            m_first = m_record; // holds the serial starts
        m_copiesLeft = strToInt(m_record.value(0));
    }
    if (m_label == 0) {
        // Converted at the first label, also when the first record has no
        // copies of its own.
        for (qsizetype c = 1; c < m_serial.size(); ++c) {
            if (m_serial[c] && !m_first.value(c).isEmpty())
                m_start[c] = strToInt(m_first.value(c));
        }
        m_first.clear();
    }
    --m_copiesLeft;
    ++m_label;
    values.resize(m_serial.size());
    for (qsizetype c = 1; c < m_serial.size(); ++c) {
        if (m_serial[c])
            values[c] = QString::number(m_start[c] + (m_serialInCopies ? m_label - 1 : m_recordIndex));
        else
            values[c] = m_record.value(c);
    }
    return true;
}

CountedLabels::CountedLabels(IRecordReader &records, const QStringList &titles, bool serialInCopies,
    qint64 count, QString changedMessage)
    : m_source(records, titles, serialInCopies)
    , m_count(count)
    , m_changed(std::move(changedMessage))
{
    if (m_count < 1)
        throw Error(m_changed);
    makeNext();
}

void CountedLabels::makeNext()
{
    QStringList values;
    if (m_made >= m_count || !m_source.next(values))
        throw Error(m_changed);
    ++m_made;
    m_ahead.push_back(std::move(values));
    m_aheadRecords.push_back(m_source.record());
}

const QStringList &CountedLabels::label(qint64 row)
{
    if (row != m_row) {
        if (row != m_row + 1 || row > m_count)
            throw Error(m_changed);
        if (m_ahead.empty())
            makeNext();
        m_values = std::move(m_ahead.front());
        m_ahead.pop_front();
        m_record = m_aheadRecords.front();
        m_aheadRecords.pop_front();
        m_row = row;
        if (m_row == m_count) {
            QStringList more;
            if (m_source.next(more))
                throw Error(m_changed);
        }
    }
    return m_values;
}

void CountedLabels::makeAhead(qint64 row, const std::function<void(const QStringList &)> &made)
{
    row = std::min(row, m_count);
    while (m_made < row)
        makeNext();
    // Labels made before (the first one, by the constructor) are handed
    // over too, from the one after the current row.
    m_handedOver = std::max(m_handedOver, m_row);
    for (; m_handedOver < m_made; ++m_handedOver)
        made(m_ahead[static_cast<size_t>(m_handedOver - m_row)]);
}

qint64 LabelSource::countLabels(IRecordReader &records)
{
    qint64 labels = 0;
    QStringList record;
    while (records.next(record))
        labels += qMax(0, strToInt(record.value(0)));
    return labels;
}

} // namespace qm
