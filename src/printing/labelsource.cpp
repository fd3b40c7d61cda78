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

qint64 LabelSource::countLabels(IRecordReader &records)
{
    qint64 labels = 0;
    QStringList record;
    while (records.next(record))
        labels += qMax(0, strToInt(record.value(0)));
    return labels;
}

} // namespace qm
