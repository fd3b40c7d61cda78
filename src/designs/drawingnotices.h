#pragma once

#include <QString>
#include <QStringList>

#include <utility>
#include <vector>

namespace qm {

// What drawing the labels of a run met that the user is to be told after
// the run: a field's text cut at the edge of its label (and, as the program
// grows, a text that did not fit its box). LabelDrawing notes them as it
// draws (setNotices()); the run says which record the labels drawn next come
// from (setRecord()) and shows the notices when it ends.
//
// Each record, field and kind is noted once, however many copies of the
// record are printed. The labels of a record are drawn one after the other,
// so only the fields noted for the current record are remembered besides
// the notices themselves. Of a long run's notices the first MaxKept are
// kept and the rest counted, so a run of a million cut values does not fill
// the memory.
class DrawingNotices
{
public:
    enum class Kind {
        CutAtEdge, // the text runs past the label's edge and is cut there
        DoesNotFit, // the text does not fit its text box even at its smallest size
    };

    struct Notice
    {
        Kind kind = Kind::CutAtEdge;
        qint64 record = 0; // from 1
        QString field; // the field's title
        QString value; // the text as printed

        bool operator==(const Notice &) const = default;
    };

    static constexpr int MaxKept = 1000;

    // The record (from 1) the labels drawn next come from; 0: none known,
    // nothing is noted.
    void setRecord(qint64 record);
    qint64 record() const { return m_record; }

    // Notes that the text of data column `column` (titled `field`) met
    // `kind` on a label of the current record, unless that was noted for
    // this record before.
    void note(Kind kind, int column, const QString &field, const QString &value);

    bool isEmpty() const { return m_count == 0; }
    // All notices, those not kept included.
    qint64 count() const { return m_count; }
    const std::vector<Notice> &kept() const { return m_kept; }

    // One German sentence per notice kept, in the order met, and a last line
    // with the number of those not kept ("... und 12 weitere.").
    QStringList lines() const;
    // The notices as one message for a window: at most `maxLines` of the
    // sentences, then how many more there are.
    QString message(int maxLines = 20) const;

    // The sentence of one notice: "Datensatz 2, Feld Name: "..." reicht über
    // den Rand des Etiketts und ist dort abgeschnitten.", for a text box
    // "Datensatz 2, Feld Name: "..." passt auch in der kleinsten Schrift nicht
    // in seinen Textrahmen und ist an dessen Rand abgeschnitten." The value is quoted
    // with at most 60 characters, a longer one cut with "…".
    static QString sentence(const Notice &notice);

private:
    qint64 m_record = 0;
    std::vector<std::pair<int, Kind>> m_noted; // of the current record
    std::vector<Notice> m_kept;
    qint64 m_count = 0;
};

} // namespace qm
