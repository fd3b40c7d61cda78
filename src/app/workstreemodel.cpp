#include "workstreemodel.h"

namespace qm {
namespace {

// The internal id of a node: 0 for an area, the area's row + 1 for an
// entry of it.
constexpr quintptr AreaNode = 0;

} // namespace

WorksTreeModel::WorksTreeModel(QIcon areaIcon, QIcon entryIcon, QObject *parent)
    : QAbstractItemModel(parent)
    , m_areaIcon(std::move(areaIcon))
    , m_entryIcon(std::move(entryIcon))
{ }

void WorksTreeModel::setAreas(QList<WorksArea> areas)
{
    beginResetModel();
    m_areas = std::move(areas);
    endResetModel();
}

QModelIndex WorksTreeModel::areaIndex(int area) const
{
    return index(area, 0);
}

QModelIndex WorksTreeModel::entryIndex(int area, int entry) const
{
    return index(entry, 0, areaIndex(area));
}

std::optional<WorksSelection> WorksTreeModel::selectionAt(const QModelIndex &index) const
{
    if (!index.isValid() || index.model() != this)
        return std::nullopt;
    if (index.internalId() == AreaNode)
        return WorksSelection::forArea(m_areas.at(index.row()).name);
    const WorksArea &area = m_areas.at(int(index.internalId() - 1));
    return WorksSelection::forEntry(area.name, area.entries.at(index.row()));
}

QModelIndex WorksTreeModel::index(int row, int column, const QModelIndex &parent) const
{
    if (column != 0 || row < 0)
        return {};
    if (!parent.isValid())
        return row < m_areas.size() ? createIndex(row, 0, AreaNode) : QModelIndex();
    if (parent.internalId() != AreaNode || parent.row() >= m_areas.size()
        || row >= m_areas.at(parent.row()).entries.size())
        return {};
    return createIndex(row, 0, quintptr(parent.row()) + 1);
}

QModelIndex WorksTreeModel::parent(const QModelIndex &child) const
{
    if (!child.isValid() || child.internalId() == AreaNode)
        return {};
    return createIndex(int(child.internalId() - 1), 0, AreaNode);
}

int WorksTreeModel::rowCount(const QModelIndex &parent) const
{
    if (!parent.isValid())
        return int(m_areas.size());
    if (parent.column() != 0 || parent.internalId() != AreaNode)
        return 0;
    return int(m_areas.at(parent.row()).entries.size());
}

int WorksTreeModel::columnCount(const QModelIndex &) const
{
    return 1;
}

QVariant WorksTreeModel::data(const QModelIndex &index, int role) const
{
    const std::optional<WorksSelection> node = selectionAt(index);
    if (!node)
        return {};
    const bool area = node->kind == WorksNodeKind::Area;
    switch (role) {
    case Qt::DisplayRole:
        return node->text;
    case Qt::DecorationRole:
        return area ? m_areaIcon : m_entryIcon;
    case KindRole:
        return int(node->kind);
    default:
        return {};
    }
}

Qt::ItemFlags WorksTreeModel::flags(const QModelIndex &index) const
{
    return index.isValid() ? Qt::ItemIsEnabled | Qt::ItemIsSelectable : Qt::NoItemFlags;
}

} // namespace qm
