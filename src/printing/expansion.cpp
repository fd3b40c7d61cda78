#include "expansion.h"

#include "platform/errors.h"
#include "platform/numbers.h"
#include "platform/settings.h"

#include <QCoreApplication>

namespace qm {

int expandEntryGrid(StringTable &entryGrid, StringTable &labelList, bool serialInCopies)
{
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
        } else if (ch == u'\r' && i + 1 < text.size() && text[i + 1] == u'\n') {
            continue;
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
