#pragma once

#include "data/tableengine.h"

#include <QAbstractTableModel>
#include <QList>
#include <QStringList>

namespace qm {

// The open table as a Qt model for the database expert's grid and
// navigator: one row per record not marked deleted, one column per field,
// read from the table when the view asks for it (nothing is copied into
// widgets). An edited cell is written to the table at once. "Insert" adds
// a row at the end that becomes a record when its first value is entered,
// and is dropped again by cancelRow() or a reload.
//
// A table opened for reading only gives cells that cannot be edited.
//
// Table errors never leave the model: they are reported through
// tableError() and the view keeps what the table holds.
class TableModel : public QAbstractTableModel
{
    Q_OBJECT

public:
    explicit TableModel(ITableEngine &table, QObject *parent = nullptr);

    // Reads the field list and the record numbers again (after the table
    // was opened, created or appended to).
    void reload();
    // Told how far reload() has read.
    void setProgress(ReadProgress progress) { m_progress = std::move(progress); }

    int rowCount(const QModelIndex &parent = QModelIndex()) const override;
    int columnCount(const QModelIndex &parent = QModelIndex()) const override;
    QVariant data(const QModelIndex &index, int role = Qt::DisplayRole) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role = Qt::DisplayRole) const override;
    Qt::ItemFlags flags(const QModelIndex &index) const override;
    bool setData(const QModelIndex &index, const QVariant &value, int role = Qt::EditRole) override;

    // Navigator "insert": an empty row at the end; returns its row.
    int insertRow();
    bool hasNewRow() const { return m_newRow; }
    // Navigator "cancel": drops the new row when it holds nothing yet.
    void cancelRow();
    // Navigator "delete" after the confirmation: marks the record deleted and
    // removes its row. Returns false when the table refused.
    bool deleteRow(int row);

    // The record number of a row, -1 for the new row.
    int recordOf(int row) const;
    // Field widths, for the editors' maximum length.
    int widthOf(int column) const;
    // Whether the last setData() refused its value (a value the field's type
    // cannot take, a character the table cannot store, a write that failed),
    // so that the grid keeps it in the cell for correcting.
    bool lastValueRefused() const { return m_refused; }

Q_SIGNALS:
    void tableError(const QString &message) const;

private:
    QStringList valuesOf(int row) const;

    ITableEngine &m_table;
    ReadProgress m_progress;
    QStringList m_names;
    QList<int> m_widths;
    QList<int> m_records;
    bool m_newRow = false;
    bool m_refused = false;
    mutable int m_cachedRow = -1;
    mutable QStringList m_cached;
};

} // namespace qm
