#include "app/templatemenu.h"

#include <QAction>
#include <QCoreApplication>
#include <QMenu>
#include <QMenuBar>

namespace qm {
namespace {

QString tr(const char *text)
{
    return QCoreApplication::translate("qm", text);
}

void addItems(QMenu *menu, std::span<const PreparedDesign> items, const PreparedDesignHandler &use)
{
    for (const PreparedDesign &item : items) {
        QAction *action = menu->addAction(tr(item.caption));
        action->setObjectName(QString::fromLatin1(item.component));
        // The table is static, so the item outlives the action.
        const PreparedDesign *design = &item;
        QObject::connect(action, &QAction::triggered, menu, [use, design] { use(*design); });
        if (item.separatorAfter)
            menu->addSeparator();
    }
}

} // namespace

QMenu *addPreparedDesignsMenu(QMenuBar *bar, const PreparedDesignHandler &use)
{
    QMenu *designs = bar->addMenu(tr("Vorbereitete &Designs"));
    designs->setObjectName(QStringLiteral("VorbereiteteDesigns"));
    bool first = true;
    for (const PreparedGroup &group : preparedDesignGroups()) {
        if (!first)
            designs->addSeparator();
        first = false;
        QMenu *submenu = designs->addMenu(tr(group.caption));
        submenu->setObjectName(QString::fromLatin1(group.component));
        addItems(submenu, group.items, use);
    }
    return designs;
}

QMenu *addAdrivoMenu(QMenu *parent, const PreparedDesignHandler &use)
{
    QMenu *adrivo = parent->addMenu(tr("Adressen drucken aus &ADRIVO"));
    adrivo->setObjectName(QStringLiteral("AdressendruckenausADRIVO1"));
    addItems(adrivo, adrivoDesigns(), use);
    return adrivo;
}

} // namespace qm
