#include "designs/drawingnotices.h"

#include "platform/errors.h"

#include <QCoreApplication>

#include <algorithm>

namespace qm {
namespace {

QString tr(const char *text)
{
    return QCoreApplication::translate("qm", text);
}

} // namespace

void DrawingNotices::setRecord(qint64 record)
{
    if (record != m_record)
        m_noted.clear();
    m_record = record;
}

void DrawingNotices::note(Kind kind, int column, const QString &field, const QString &value)
{
    if (m_record < 1)
        return;
    const std::pair<int, Kind> key { column, kind };
    if (std::find(m_noted.begin(), m_noted.end(), key) != m_noted.end())
        return;
    m_noted.push_back(key);
    ++m_count;
    if (m_kept.size() < static_cast<size_t>(MaxKept))
        m_kept.push_back({ kind, m_record, field, value });
}

QString DrawingNotices::sentence(const Notice &notice)
{
    QString text;
    switch (notice.kind) {
    case Kind::CutAtEdge:
        text = tr("Datensatz %1, Feld %2: %3 reicht über den Rand des Etiketts und ist dort "
                  "abgeschnitten.");
        break;
    case Kind::DoesNotFit:
        text = tr("Datensatz %1, Feld %2: %3 passt auch in der kleinsten Schrift nicht in seinen "
                  "Textrahmen und ist an dessen Rand abgeschnitten.");
        break;
    }
    return text.arg(QString::number(notice.record), notice.field, quotedValue(notice.value));
}

QStringList DrawingNotices::lines() const
{
    QStringList out;
    for (const Notice &n : m_kept)
        out << sentence(n);
    const qint64 more = m_count - static_cast<qint64>(m_kept.size());
    if (more > 0)
        out << tr("… und %1 weitere.").arg(more);
    return out;
}

QString DrawingNotices::message(int maxLines) const
{
    QStringList out;
    const qsizetype shown = std::min<qsizetype>(std::max(maxLines, 1), static_cast<qsizetype>(m_kept.size()));
    for (qsizetype i = 0; i < shown; ++i)
        out << sentence(m_kept[static_cast<size_t>(i)]);
    const qint64 more = m_count - shown;
    if (more > 0)
        out << tr("… und %1 weitere.").arg(more);
    return out.join(u'\n');
}

} // namespace qm
