#include "expansion.h"

#include "platform/errors.h"
#include "platform/numbers.h"
#include "platform/settings.h"
#include "printing/layout.h"

#include <QCoreApplication>

#include <algorithm>

namespace qm {

int expandEntryGrid(StringTable &entryGrid, StringTable &labelList, bool serialInCopies)
{
    // The copies are checked before the label list grows: one cell must not
    // be able to build a list without end.
    qint64 total = 0;
    for (int r = 2; r < entryGrid.rowCount(); ++r) {
        const int copies = strToInt(entryGrid.cell(0, r));
        if (copies > MaxCopiesPerRecord)
            throw Error(QCoreApplication::translate(
                "qm", "Datensatz %1 verlangt %2 Kopien; es sind höchstens %3 Kopien je Datensatz möglich.")
                            .arg(r - 1)
                            .arg(copies)
                            .arg(MaxCopiesPerRecord));
        total += std::max(copies, 0);
    }
    if (total > MaxLabelsPerRun)
        throw Error(tooManyLabelsInRunMessage(total));
    int f = 0;
    const int lastColumn = entryGrid.colCount() - 1;
    for (int r = 2; r < entryGrid.rowCount(); ++r) {
        const int copies = strToInt(entryGrid.cell(0, r));
        for (int copy = 0; copy < copies; ++copy) {
            ++f;
            labelList.setRowCount(f + 1);
            for (int c = 1; c <= lastColumn; ++c) {
                if (entryGrid.cell(c, 0).left(9) == QLatin1String("Seriennr.")) {
                    if (entryGrid.cell(c, 2).isEmpty())
                        entryGrid.setCell(c, 2, QStringLiteral("1"));
                    const qint64 start = strToInt(entryGrid.cell(c, 2));
                    const qint64 number = serialInCopies ? start + f - 1 : start + r - 2;
                    labelList.setCell(c, f, QString::number(number));
                } else {
                    labelList.setCell(c, f, entryGrid.cell(c, r));
                }
            }
        }
    }
    return f;
}

QString tooManyLabelsInRunMessage(qint64 labels)
{
    return QCoreApplication::translate(
        "qm", "Ein Druckauftrag kann höchstens %1 Etiketten enthalten, dieser hätte %2.")
        .arg(MaxLabelsPerRun)
        .arg(labels);
}

QList<QStringList> readCsvRecords(QByteArrayView bytes, int fieldCount)
{
    const QString text = decodeUtf8OrCp1252(bytes);
    QList<QStringList> rows;
    QStringList row;
    QString value;
    bool quoted = false;
    bool rowHasContent = false;
    auto endValue = [&] {
        row.append(value);
        value.clear();
    };
    auto endRow = [&] {
        endValue();
        if (rowHasContent || row.size() > 1)
            rows.append(row);
        row.clear();
        rowHasContent = false;
    };
    for (qsizetype i = 0; i < text.size(); ++i) {
        const QChar ch = text[i];
        if (quoted) {
            if (ch == u'"') {
                if (i + 1 < text.size() && text[i + 1] == u'"') {
                    value.append(u'"');
                    ++i;
                } else {
                    quoted = false;
                }
            } else {
                value.append(ch);
            }
            continue;
        }
        if (ch == u'"') {
            quoted = true;
            rowHasContent = true;
        } else if (ch == u',') {
            endValue();
        } else if (ch == u'\n') {
            endRow();
        } else if (ch == u'\r') {
            // CR LF ends the row at the LF; a lone CR (old Macintosh files)
            // ends it here.
            if (i + 1 >= text.size() || text[i + 1] != u'\n')
                endRow();
        } else {
            value.append(ch);
            rowHasContent = true;
        }
    }
    if (quoted)
        throw Error(QCoreApplication::translate("qm", "Die Datensatzdatei endet in einem Wert mit offenem Anführungszeichen."));
    if (!value.isEmpty() || !row.isEmpty() || rowHasContent)
        endRow();
    if (!rows.isEmpty())
        rows.removeFirst(); // the header
    for (qsizetype k = 0; k < rows.size(); ++k) {
        if (rows[k].size() > fieldCount + 1)
            throw Error(QCoreApplication::translate(
                            "qm", "Datensatz %1 hat %2 Werte, das Etikett hat aber nur %3 Datenfelder (und die Anzahl).")
                            .arg(k + 1)
                            .arg(rows[k].size())
                            .arg(fieldCount));
    }
    return rows;
}

} // namespace qm
