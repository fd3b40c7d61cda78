#pragma once

#include <QString>
#include <QStringList>

#include <vector>

namespace qm {

// A grid of text cells addressed (column, row), like the hidden string grids
// that windows share: the entry grid, the label list, the field grid.
// Writing a cell outside the current size grows the grid to hold it; reading
// outside gives the empty text. Lowering a count hides cells but keeps them.
class StringTable
{
public:
    StringTable(int colCount = 0, int rowCount = 0);

    int colCount() const { return m_colCount; }
    int rowCount() const { return m_rowCount; }
    void setColCount(int count);
    void setRowCount(int count);

    QString cell(int col, int row) const;
    void setCell(int col, int row, const QString &value);

    // Cells of one row from column `first` to the last column.
    QStringList row(int row, int first = 0) const;

    // Empties every cell of the rows from firstRow on, the hidden ones
    // beyond rowCount() included; the counts stay.
    void clearRowsFrom(int firstRow);

    // Empties every cell and sets both counts.
    void reset(int colCount, int rowCount);

private:
    std::vector<QStringList> m_rows;
    int m_colCount = 0;
    int m_rowCount = 0;
};

} // namespace qm
