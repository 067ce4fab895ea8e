#pragma once

#include <QString>

namespace kx3 {

class Database;

/// Texts naming what was deleted, as the completion message words them.
inline constexpr char DeletedPersonKind[] = "Player/Staff";
inline constexpr char DeletedOfficialKind[] = "Official";

/// "The <kind> has been successfuly deleted."
QString deletedMessage(const char *kind);

/// Clubs and national teams are never deleted: clubs are referred to from too
/// many places to close the gap safely. Returns the refusal to show.
QString refuseClubDeletion();

/// Deletes person `index` with his attribute records and career history, and
/// renumbers every person and attribute reference behind him: a reference to
/// him becomes none (-1), a higher one drops by one, in persons' relationship
/// slots, in the relationship and position slots of every club and national
/// team, and in history records; ids are renumbered to positions throughout.
/// The usage counts of his three name entries and the person count of his
/// nation are counted again, and the misc lines naming him (his names and
/// club) go with him unless a namesake at the same club shares them.
///
/// Returns false, changing nothing, when there is no such person or the staff
/// table counters do not describe staff.dat.
bool deletePerson(Database &db, int index);

/// Deletes official `index` and renumbers the ids behind him; nothing refers
/// to an official. Returns false, changing nothing, when there is none.
bool deleteOfficial(Database &db, int index);

} // namespace kx3
