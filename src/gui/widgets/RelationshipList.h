#pragma once

#include "core/lookup/RelationshipRows.h"

class QTreeWidget;

namespace kx3 {

/// Sets a relationship list (`CMiscList`, `PMiscList`, `SMiscList`) up with
/// its two columns and whole-row single selection.
void setUpRelationshipList(QTreeWidget *list);

/// Replaces the list's rows, keeping the selected row selected when it is still there.
void fillRelationshipList(QTreeWidget *list, const QList<RelationshipRow> &rows);

/// The selected row of a relationship list, or -1.
int selectedRelationshipRow(const QTreeWidget *list);

} // namespace kx3
