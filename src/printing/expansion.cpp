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
    return tooManyLabelsMessage(labels, MaxLabelsPerRun);
}

} // namespace qm
