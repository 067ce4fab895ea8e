#include "ResultList.h"

#include "SearchResultModel.h"

#include <QHeaderView>
#include <QItemSelectionModel>
#include <QPalette>
#include <QTreeView>

namespace kx3 {

void setUpRowList(QTreeView *view)
{
    view->setRootIsDecorated(false);
    view->setItemsExpandable(false);
    view->setUniformRowHeights(true);
    view->setAllColumnsShowFocus(true);
    view->setSelectionBehavior(QAbstractItemView::SelectRows);
    view->setSelectionMode(QAbstractItemView::SingleSelection);
    view->setEditTriggers(QAbstractItemView::NoEditTriggers);
    view->setWordWrap(false);
}

void setUpResultList(QTreeView *view, SearchResultModel *model)
{
    view->setModel(model);
    view->setHeaderHidden(true);
    setUpRowList(view);
    view->setTextElideMode(Qt::ElideRight);
    view->setSortingEnabled(false);
    view->setColumnHidden(SearchResultModel::OffsetColumn, true);
    view->header()->setStretchLastSection(false);
    view->header()->setSectionResizeMode(SearchResultModel::NameColumn, QHeaderView::Stretch);

    // The selected row must stay visible while the user presses the go-to
    // button, which takes the focus from the list.
    QPalette palette = view->palette();
    for (QPalette::ColorRole role : {QPalette::Highlight, QPalette::HighlightedText}) {
        palette.setColor(QPalette::Inactive, role, palette.color(QPalette::Active, role));
    }
    view->setPalette(palette);
}

std::optional<qint64> selectedOffset(const QTreeView *view)
{
    const QItemSelectionModel *selection = view->selectionModel();
    if (!selection)
        return std::nullopt;
    const QModelIndexList rows = selection->selectedRows(SearchResultModel::NameColumn);
    if (rows.isEmpty())
        return std::nullopt;
    const QVariant offset = rows.first().data(SearchResultModel::OffsetRole);
    if (!offset.isValid())
        return std::nullopt;
    return offset.toLongLong();
}

} // namespace kx3
