#include "gui/widgets/RelationshipList.h"

#include "core/db/Cp1252.h"

#include <QHeaderView>
#include <QTreeWidget>

namespace kx3 {

void setUpRelationshipList(QTreeWidget *list)
{
    list->setSelectionMode(QAbstractItemView::SingleSelection);
    list->setSelectionBehavior(QAbstractItemView::SelectRows);
    list->setColumnWidth(0, 112);
    list->header()->setStretchLastSection(true);
}

void fillRelationshipList(QTreeWidget *list, const QList<RelationshipRow> &rows)
{
    const int selected = selectedRelationshipRow(list);
    list->clear();
    QList<QTreeWidgetItem *> items;
    for (const RelationshipRow &row : rows) {
        auto *item = new QTreeWidgetItem(QStringList{fromCp1252(row.desc), fromCp1252(row.name)});
        item->setToolTip(1, item->text(1)); // a long name reads whole in its hint
        items.append(item);
    }
    list->addTopLevelItems(items);
    if (selected >= 0 && selected < items.size()) {
        list->setCurrentItem(items.at(selected));
        items.at(selected)->setSelected(true);
    }
}

int selectedRelationshipRow(const QTreeWidget *list)
{
    const QList<QTreeWidgetItem *> selected = list->selectedItems();
    return selected.isEmpty() ? -1 : list->indexOfTopLevelItem(selected.first());
}

} // namespace kx3
