#include "recordselection.h"

#include "data/tableengine.h"
#include "platform/cp1252.h"

#include <QCoreApplication>

#include <algorithm>

namespace qm {
namespace {

// The Windows-1252 code of a character; characters the code page lacks sort
// after every one it has.
uint codeOf(QChar c)
{
    const char16_t u = c.unicode();
    if (u < 0x80 || (u >= 0xa0 && u <= 0xff))
        return u;
    QByteArray out;
    if (encodeCp1252(QStringView(&c, 1), out) && out.size() == 1)
        return quint8(out[0]);
    return 0x100u + u;
}

} // namespace

int compareCodes(QStringView a, QStringView b)
{
    const qsizetype n = std::min(a.size(), b.size());
    for (qsizetype i = 0; i < n; ++i) {
        if (a[i] == b[i])
            continue;
        const uint ca = codeOf(a[i]);
        const uint cb = codeOf(b[i]);
        if (ca != cb)
            return ca < cb ? -1 : 1;
    }
    return a.size() == b.size() ? 0 : (a.size() < b.size() ? -1 : 1);
}

bool criterionMatches(const SelectionCriterion &criterion, QStringView value)
{
    const bool hasLower = !criterion.lower.isEmpty();
    const bool hasUpper = !criterion.upper.isEmpty();
    if (!hasLower && !hasUpper)
        return false;
    if (hasLower && compareCodes(value, criterion.lower) < 0)
        return false;
    if (hasUpper && compareCodes(value, criterion.upper) > 0)
        return false;
    return true;
}

CriteriaMatch::CriteriaMatch(const SelectionCriteria &criteria, const QStringList &names)
    : m_criteria(criteria)
{
    for (int k = 0; k < SelectionCriterionCount; ++k) {
        m_columns[k] = m_criteria[k].on ? int(names.indexOf(m_criteria[k].field)) : -1;
        m_any = m_any || m_criteria[k].on;
    }
}

RecordSelection::RecordSelection(ITableEngine &table)
    : m_table(table)
{ }

void RecordSelection::formShow()
{
    for (SelectionCriterion &criterion : m_criteria)
        criterion = SelectionCriterion { false, criterion.field, QString(), QString() };
    defaultPrints = QStringLiteral("1");
    feldnamenHolen();
    datensaetzeHolen();
}

void RecordSelection::feldnamenHolen()
{
    m_fieldNames = qm::fieldNames(m_table);
    m_records.setColCount(int(m_fieldNames.size()) + 1);
    for (int i = 0; i < m_fieldNames.size(); ++i)
        m_records.setCell(i + 1, 0, m_fieldNames[i]);
    m_records.setCell(0, 0, QCoreApplication::translate("qm", "Anzahl"));
}

void RecordSelection::datensaetzeHolen()
{
    m_records.clearRowsFrom(1);
    m_records.setRowCount(1);
    const int count = m_table.recordCount();
    int row = 0;
    for (int r = 0; r < count; ++r) {
        stepProgress(m_progress, r, count);
        if (m_table.isDeleted(r))
            continue;
        ++row;
        const QStringList values = m_table.readRecord(r);
        m_records.setCell(0, row, defaultPrints);
        for (int i = 0; i < values.size(); ++i)
            m_records.setCell(i + 1, row, values[i]);
    }
    m_records.setRowCount(row + 1);
    if (m_progress)
        m_progress(count, count);
}

void RecordSelection::datensaetzeSelektieren()
{
    QStringList titles;
    for (int c = 1; c < m_records.colCount(); ++c)
        titles << m_records.cell(c, 0);
    const CriteriaMatch match(m_criteria, titles);
    if (!match.any())
        return;

    // Matching rows move up over the removed ones, in their order.
    int kept = 0;
    for (int r = 1; r < m_records.rowCount(); ++r) {
        if (!match.matches([&](int column) { return m_records.cell(column + 1, r); }))
            continue;
        ++kept;
        if (kept != r) {
            for (int c = 0; c < m_records.colCount(); ++c)
                m_records.setCell(c, kept, m_records.cell(c, r));
        }
    }
    m_records.clearRowsFrom(kept + 1);
    m_records.setRowCount(kept + 1);
}

QString RecordSelection::criterionSwitched(int index)
{
    SelectionCriterion &criterion = m_criteria[index];
    if (!criterion.on) {
        datensaetzeHolen();
        datensaetzeSelektieren();
        return QString();
    }
    QString warning;
    if (criterion.field.isEmpty()) {
        warning = QCoreApplication::translate("qm", "Bitte wählen Sie einen Feldnamen aus für Kriterium %1.")
                      .arg(index + 1);
    } else if (criterion.lower.isEmpty() && criterion.upper.isEmpty()) {
        warning = QCoreApplication::translate("qm", "Bitte wählen Sie den Wertebereich für Kriterium %1.")
                      .arg(index + 1);
    }
    if (!warning.isEmpty()) {
        criterion.on = false;
        return warning;
    }
    datensaetzeSelektieren();
    return QString();
}

void RecordSelection::applyToAll()
{
    datensaetzeHolen();
    datensaetzeSelektieren();
}

QList<int> filledButOff(const SelectionCriteria &criteria)
{
    QList<int> off;
    for (int k = 0; k < SelectionCriterionCount; ++k) {
        const SelectionCriterion &criterion = criteria[k];
        if (!criterion.on && (!criterion.lower.isEmpty() || !criterion.upper.isEmpty()))
            off << k;
    }
    return off;
}

QString filledButOffHint(const SelectionCriteria &criteria)
{
    const QList<int> off = filledButOff(criteria);
    if (off.isEmpty())
        return QString();
    if (off.size() == 1) {
        return QCoreApplication::translate("qm",
            "Kriterium %1 ist ausgefüllt, aber \"inaktiv\" und schränkt die Liste nicht ein. Klicken "
            "Sie auf seinen Knopf \"inaktiv\", um es einzuschalten.")
            .arg(off.first() + 1);
    }
    QStringList numbers;
    for (int k : off)
        numbers << QString::number(k + 1);
    const QString last = numbers.takeLast();
    return QCoreApplication::translate("qm",
        "Die Kriterien %1 und %2 sind ausgefüllt, aber \"inaktiv\" und schränken die Liste nicht ein. "
        "Klicken Sie auf ihre Knöpfe \"inaktiv\", um sie einzuschalten.")
        .arg(numbers.join(QStringLiteral(", ")), last);
}

QList<QStringList> RecordSelection::handOver()
{
    QList<QStringList> handed;
    handed.reserve(std::max(0, m_records.rowCount() - 1));
    for (int r = 1; r < m_records.rowCount(); ++r)
        handed.append(m_records.row(r));
    m_records.reset(2, 2);
    return handed;
}

} // namespace qm
