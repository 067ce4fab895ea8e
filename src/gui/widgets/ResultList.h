#pragma once

#include <QtGlobal>

#include <optional>

class QTreeView;

namespace kx3 {

class SearchResultModel;

/// Sets a view up as a flat list of rows: whole-row single selection, no
/// editing, no wrapping, rows of one height (thousands scroll smoothly only
/// when the view need not measure each).
void setUpRowList(QTreeView *view);

/// Sets a view up as a search result list over `model`: one visible column
/// of names without a header, whole-row single selection that stays visible
/// when the list loses the focus, no editing. The offset column is hidden.
void setUpResultList(QTreeView *view, SearchResultModel *model);

/// Offset of the record of the selected row, or nothing when no row is selected.
std::optional<qint64> selectedOffset(const QTreeView *view);

} // namespace kx3
