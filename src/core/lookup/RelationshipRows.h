#pragma once

#include <QByteArray>
#include <QList>

#include <cstdint>

namespace kx3 {

class ClubNameList;
class Database;

/// A person as the editor's lists name him: first name, a space, second
/// name. Empty for an index that names no person.
QByteArray personListName(const Database &db, int person);

/// One row of a relationship list: what the slot is and who is in it.
struct RelationshipRow
{
    QByteArray desc;
    QByteArray name;

    friend bool operator==(const RelationshipRow &, const RelationshipRow &) = default;
};

/// The twelve rows of person `person`'s relationship slots, in slot order:
/// favourite and disliked clubs (named from `clubNames`), then favourite and
/// disliked persons. A negative slot reads "<none>", a slot naming nothing
/// that exists reads empty. No rows for a missing person.
QList<RelationshipRow> personRelationshipRows(const Database &db, const ClubNameList &clubNames,
                                              int person);

/// The nine rows of club `club`'s relationship slots: favourite and disliked
/// persons, then rival clubs; read as the person rows are.
QList<RelationshipRow> clubRelationshipRows(const Database &db, const ClubNameList &clubNames,
                                            int club);

/// Puts `value` (a club or person index, negative for none) into relationship
/// slot `slot` of person `person`, in the order of personRelationshipRows(),
/// and sets the data-modified flag. False, writing nothing, when there is no
/// such person or slot.
bool setPersonRelationship(Database &db, qsizetype person, int slot, std::int32_t value);

/// The same for club `club`, in the order of clubRelationshipRows().
bool setClubRelationship(Database &db, qsizetype club, int slot, std::int32_t value);

} // namespace kx3
