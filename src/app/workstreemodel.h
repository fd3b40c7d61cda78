#pragma once

#include "catalogue/workscatalogue.h"

#include <QAbstractItemModel>
#include <QIcon>

#include <optional>

namespace qm {

// The overview "Eigene Werke" as a model of two levels: the areas, and under
// each the entries that belong to it, in the order the catalogue gives them
// (WorksCatalogue::treeAreas). The view asks for what it shows; no item is
// made per node, and every area and every entry shows the same one picture,
// so a catalogue of 100,000 entries costs little more than its texts.
// Read-only.
class WorksTreeModel : public QAbstractItemModel
{
    Q_OBJECT

public:
    // What a node carries besides its text and picture (the rest:
    // selectionAt()).
    enum Role {
        KindRole = Qt::UserRole, // int(WorksNodeKind)
    };

    WorksTreeModel(QIcon areaIcon, QIcon entryIcon, QObject *parent = nullptr);

    // Shows these areas instead of the ones before.
    void setAreas(QList<WorksArea> areas);
    const QList<WorksArea> &areas() const { return m_areas; }

    // The node of the area at `area` (a row of the top level), or of its
    // entry at `entry`.
    QModelIndex areaIndex(int area) const;
    QModelIndex entryIndex(int area, int entry) const;
    // What a command is told of the node at `index`; nothing for an invalid
    // index.
    std::optional<WorksSelection> selectionAt(const QModelIndex &index) const;

    QModelIndex index(int row, int column, const QModelIndex &parent = QModelIndex()) const override;
    QModelIndex parent(const QModelIndex &child) const override;
    int rowCount(const QModelIndex &parent = QModelIndex()) const override;
    int columnCount(const QModelIndex &parent = QModelIndex()) const override;
    QVariant data(const QModelIndex &index, int role = Qt::DisplayRole) const override;
    Qt::ItemFlags flags(const QModelIndex &index) const override;

private:
    QList<WorksArea> m_areas;
    QIcon m_areaIcon;
    QIcon m_entryIcon;
};

} // namespace qm
