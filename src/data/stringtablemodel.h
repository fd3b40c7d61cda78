#pragma once

#include "platform/stringtable.h"

#include <QAbstractTableModel>

namespace qm {

// A StringTable shown in a table view: row 0 of the table is the header,
// rows 1 and below are the view's rows; every cell is editable and an edit
// changes only the table. Call reset() after the table was changed from
// outside.
class StringTableModel : public QAbstractTableModel
{
    Q_OBJECT

public:
    explicit StringTableModel(StringTable &table, QObject *parent = nullptr);

    void reset();

    int rowCount(const QModelIndex &parent = QModelIndex()) const override;
    int columnCount(const QModelIndex &parent = QModelIndex()) const override;
    QVariant data(const QModelIndex &index, int role = Qt::DisplayRole) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role = Qt::DisplayRole) const override;
    Qt::ItemFlags flags(const QModelIndex &index) const override;
    bool setData(const QModelIndex &index, const QVariant &value, int role = Qt::EditRole) override;

private:
    StringTable &m_table;
};

} // namespace qm
