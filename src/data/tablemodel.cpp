#include "tablemodel.h"

#include "data/tableengine.h"
#include "platform/errors.h"

namespace qm {

TableModel::TableModel(ITableEngine &table, QObject *parent)
    : QAbstractTableModel(parent)
    , m_table(table)
{ }

void TableModel::reload()
{
    beginResetModel();
    m_names.clear();
    m_widths.clear();
    m_records.clear();
    m_newRow = false;
    m_cachedRow = -1;
    if (m_table.isOpen()) {
        try {
            for (const TableField &field : m_table.fields()) {
                m_names << field.name;
                m_widths << field.width;
            }
            m_records = liveRecords(m_table, m_progress);
        } catch (const Error &e) {
            m_records.clear();
            endResetModel();
            Q_EMIT tableError(e.message());
            return;
        }
    }
    endResetModel();
}

int TableModel::rowCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : int(m_records.size()) + (m_newRow ? 1 : 0);
}

int TableModel::columnCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : int(m_names.size());
}

int TableModel::recordOf(int row) const
{
    return row >= 0 && row < m_records.size() ? m_records[row] : -1;
}

int TableModel::widthOf(int column) const
{
    return m_widths.value(column);
}

QStringList TableModel::valuesOf(int row) const
{
    if (row == m_cachedRow)
        return m_cached;
    const int record = recordOf(row);
    if (record < 0)
        return QStringList();
    try {
        m_cached = m_table.readRecord(record);
        m_cachedRow = row;
    } catch (const Error &e) {
        m_cachedRow = -1;
        Q_EMIT tableError(e.message());
        return QStringList();
    }
    return m_cached;
}

QVariant TableModel::data(const QModelIndex &index, int role) const
{
    if (!index.isValid() || (role != Qt::DisplayRole && role != Qt::EditRole))
        return QVariant();
    return valuesOf(index.row()).value(index.column());
}

QVariant TableModel::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (role != Qt::DisplayRole)
        return QVariant();
    if (orientation == Qt::Horizontal)
        return m_names.value(section);
    return section < m_records.size() ? QVariant(section + 1) : QVariant(QStringLiteral("*"));
}

Qt::ItemFlags TableModel::flags(const QModelIndex &index) const
{
    if (!index.isValid())
        return Qt::NoItemFlags;
    // A table opened for reading only is shown, not edited.
    if (m_table.isReadOnly())
        return Qt::ItemIsSelectable | Qt::ItemIsEnabled;
    return Qt::ItemIsSelectable | Qt::ItemIsEnabled | Qt::ItemIsEditable;
}

bool TableModel::setData(const QModelIndex &index, const QVariant &value, int role)
{
    m_refused = false;
    if (!index.isValid() || role != Qt::EditRole)
        return false;
    const int row = index.row();
    QStringList values = row < m_records.size() ? valuesOf(row) : QStringList();
    values.resize(m_names.size());
    if (values[index.column()] == value.toString())
        return false;
    // The same rules as the text import: a number, date or logical value
    // as the field's type stores it.
    const FieldValue checked = checkFieldValue(m_table.fields().value(index.column()), value.toString());
    if (!checked.error.isEmpty()) {
        m_refused = true;
        Q_EMIT tableError(checked.error + QLatin1Char('.'));
        return false;
    }
    values[index.column()] = checked.stored;
    try {
        if (row < m_records.size()) {
            m_table.writeRecord(m_records[row], values);
            m_table.flush();
        } else {
            // The new row becomes a record with its first value, once the
            // table holds it.
            m_table.appendRecord(values);
            m_table.flush();
            m_records << m_table.recordCount() - 1;
            m_newRow = false;
            Q_EMIT headerDataChanged(Qt::Vertical, row, row);
        }
    } catch (const Error &e) {
        m_table.discard(); // an append that was not written is given up
        m_refused = true;
        Q_EMIT tableError(e.message());
        return false;
    }
    m_cachedRow = -1;
    Q_EMIT dataChanged(this->index(row, 0), this->index(row, columnCount() - 1));
    return true;
}

int TableModel::insertRow()
{
    const int row = int(m_records.size());
    if (!m_newRow && m_table.isOpen() && !m_names.isEmpty()) {
        beginInsertRows(QModelIndex(), row, row);
        m_newRow = true;
        endInsertRows();
    }
    return row;
}

void TableModel::cancelRow()
{
    if (!m_newRow)
        return;
    const int row = int(m_records.size());
    beginRemoveRows(QModelIndex(), row, row);
    m_newRow = false;
    endRemoveRows();
}

bool TableModel::deleteRow(int row)
{
    if (row == m_records.size() && m_newRow) {
        cancelRow();
        return true;
    }
    const int record = recordOf(row);
    if (record < 0)
        return false;
    try {
        m_table.deleteRecord(record);
        m_table.flush();
    } catch (const Error &e) {
        Q_EMIT tableError(e.message());
        return false;
    }
    beginRemoveRows(QModelIndex(), row, row);
    m_records.removeAt(row);
    m_cachedRow = -1;
    endRemoveRows();
    return true;
}

} // namespace qm
