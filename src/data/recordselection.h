#pragma once

#include "data/tableengine.h"
#include "platform/stringtable.h"

#include <QString>
#include <QStringList>

#include <array>

namespace qm {

// One range criterion of the record selection: an on/off switch, a field
// name and the bounds "von (>=)" and "bis (<=)".
struct SelectionCriterion
{
    bool on = false;
    QString field;
    QString lower;
    QString upper;
};

// Texts compared character by character by their Windows-1252 codes: case
// counts, digits are not read as numbers, a prefix is the smaller ("10" <
// "9", "M" < "m"). Negative, 0 or positive like QString::compare.
int compareCodes(QStringView a, QStringView b);

// Whether the value lies in the criterion's range; a criterion without any
// bound matches nothing.
bool criterionMatches(const SelectionCriterion &criterion, QStringView value);

inline constexpr int SelectionCriterionCount = 3;
using SelectionCriteria = std::array<SelectionCriterion, SelectionCriterionCount>;

// The criteria whose bounds are filled in while they are switched off
// ("inaktiv"): they narrow nothing. 0-based, in order.
QList<int> filledButOff(const SelectionCriteria &criteria);
// The hint for them: which criteria are filled in but off, and how to
// switch them on; empty when there are none.
QString filledButOffHint(const SelectionCriteria &criteria);

// The criteria joined by OR over one record. The column of a criterion is
// the first of `names` equal to its field (-1: none, and it matches
// nothing).
class CriteriaMatch
{
public:
    CriteriaMatch(const SelectionCriteria &criteria, const QStringList &names);
    // Whether any criterion is switched on; with none every record is kept.
    bool any() const { return m_any; }
    // Whether a criterion that is on matches the record, `value(column)`
    // giving its value in a column.
    template <typename Value> bool matches(Value &&value) const
    {
        for (int k = 0; k < SelectionCriterionCount; ++k) {
            if (m_criteria[k].on && m_columns[k] >= 0 && criterionMatches(m_criteria[k], value(m_columns[k])))
                return true;
        }
        return false;
    }

private:
    SelectionCriteria m_criteria;
    std::array<int, SelectionCriterionCount> m_columns {};
    bool m_any = false;
};

// The record selection ("Daten selektieren und drucken") without its window:
// the record list (Datengitter) with "Anzahl" and the field names in row 0,
// one record per row below with its number of prints in column 0, and the
// three criteria joined by OR.
class RecordSelection
{
public:
    static constexpr int CriterionCount = SelectionCriterionCount;

    explicit RecordSelection(ITableEngine &table);

    StringTable &records() { return m_records; }
    const StringTable &records() const { return m_records; }
    SelectionCriteria &criteria() { return m_criteria; }
    const QStringList &fieldNames() const { return m_fieldNames; }
    QString defaultPrints = QStringLiteral("1");
    // Told how far datensaetzeHolen has read.
    void setProgress(ReadProgress progress) { m_progress = std::move(progress); }

    // FormShow without the wait window: all criteria off with empty bounds,
    // default prints 1, field names and all records loaded.
    void formShow();
    // FeldnamenHolen: row 0 of the list and the names for the combo boxes.
    void feldnamenHolen();
    // DatensaetzeHolen: every record not marked deleted, each with the
    // default number of prints.
    void datensaetzeHolen();
    // DatensaetzeSelektieren: removes the rows that no criterion switched on
    // matches; with no criterion on nothing changes.
    void datensaetzeSelektieren();

    // Knopf1Click .. Knopf3Click, after the switch of criterion `index`
    // (0-based) has flipped. Returns the warning to show, if any; the
    // criterion is then switched back off and the list left as it was.
    QString criterionSwitched(int index);
    // "Kriterien auf gesamten Datenbestand &anwenden".
    void applyToAll();

    // "&Weiter >>>": the listed records, each with its number of prints
    // first, then the values of the table's fields; the list is cut to
    // 2 x 2.
    QList<QStringList> handOver();

private:
    ITableEngine &m_table;
    ReadProgress m_progress;
    StringTable m_records;
    SelectionCriteria m_criteria;
    QStringList m_fieldNames;
};

} // namespace qm
