#include "stringtablemodel.h"

namespace qm {

StringTableModel::StringTableModel(StringTable &table, QObject *parent)
    : QAbstractTableModel(parent)
    , m_table(table)
{ }

void StringTableModel::reset()
{
    beginResetModel();
    endResetModel();
}

int StringTableModel::rowCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : std::max(0, m_table.rowCount() - 1);
}

int StringTableModel::columnCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : m_table.colCount();
}

QVariant StringTableModel::data(const QModelIndex &index, int role) const
{
    if (!index.isValid() || (role != Qt::DisplayRole && role != Qt::EditRole))
        return QVariant();
    return m_table.cell(index.column(), index.row() + 1);
}

QVariant StringTableModel::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (role != Qt::DisplayRole)
        return QVariant();
    if (orientation == Qt::Horizontal)
        return m_table.cell(section, 0);
    return section + 1;
}

Qt::ItemFlags StringTableModel::flags(const QModelIndex &index) const
{
    return index.isValid() ? Qt::ItemIsSelectable | Qt::ItemIsEnabled | Qt::ItemIsEditable : Qt::NoItemFlags;
}

bool StringTableModel::setData(const QModelIndex &index, const QVariant &value, int role)
{
    if (!index.isValid() || role != Qt::EditRole)
        return false;
    m_table.setCell(index.column(), index.row() + 1, value.toString());
    Q_EMIT dataChanged(index, index);
    return true;
}

} // namespace qm
