#pragma once

#include <QList>
#include <QString>

class QTreeWidget;

namespace kx3 {

class ClubNameList;
class Database;

/// One row of a person's relationship list: what the slot is and who is in it.
struct RelationshipRow
{
    QString desc;
    QString name;

    friend bool operator==(const RelationshipRow &, const RelationshipRow &) = default;
};

/// The twelve rows of person `person`'s relationship slots, in slot order:
/// favourite and disliked clubs (named from `clubNames`), then favourite and
/// disliked persons (first and second name). A negative slot reads "<none>",
/// a slot naming nothing that exists reads empty. No rows for a missing person.
QList<RelationshipRow> personRelationshipRows(const Database &db, const ClubNameList &clubNames,
                                              int person);

/// Sets a person screen's relationship list (`PMiscList`, `SMiscList`) up with
/// its two columns and whole-row single selection.
void setUpRelationshipList(QTreeWidget *list);

/// Replaces the list's rows, keeping the selected row selected when it is still there.
void fillRelationshipList(QTreeWidget *list, const QList<RelationshipRow> &rows);

/// The selected row of a relationship list, or -1.
int selectedRelationshipRow(const QTreeWidget *list);

} // namespace kx3
