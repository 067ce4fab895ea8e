#pragma once

#include "core/layout/ClubRecord.h"
#include "core/lookup/EditResult.h"

#include <QString>

#include <optional>

namespace kx3 {

class Database;

/// Texts of the transfer panel and its refusals.
namespace TransferText {
inline constexpr const char *SameClub = "Target Club is equal to Current Club";
inline constexpr const char *FullyOccupied = "Position on Target Club has been fully occupied.";
inline constexpr const char *NationalTeam = "Cannot Transfer To National Team.";
/// The target club text when the panel opens, and after a national team was refused.
inline constexpr const char *ChooseTarget = "Select on the right list!! --->";
inline constexpr const char *ChooseTargetAgain = "Select on the right list !! --->";
/// Only reachable through a caller passing an index that is not in the tables.
inline constexpr const char *NoSuchPerson = "No such person.";
inline constexpr const char *NoSuchClub = "No such club.";
/// What the panel shows for a person without a club; a release of him is refused.
inline constexpr const char *NoClub = "No Club";
} // namespace TransferText

/// The slots a job takes at a club: a player side, a staff side or both.
struct SlotNeed
{
    SlotRange player;
    SlotRange staff;
    /// Jobs 0 (Unemployed) and 16 (Retired) take no slot, so they never transfer.
    bool takesSlots() const { return !player.isEmpty() || !staff.isEmpty(); }
};

SlotNeed slotNeed(int job);

/// Free slots a transfer would fill; -1 for a side the job does not need.
struct SlotChoice
{
    int playerSlot = -1;
    int staffSlot = -1;
};

/// The empty slots of `club` that a person of `job` takes, found the way the
/// game's transfer does it: one scan upwards from slot 0 that stops once every
/// needed side is found. A player-manager or player-assistant therefore gets the
/// first empty squad slot, a player-coach the last one (the coaches come after
/// the squad). Nothing when a side has no empty slot.
std::optional<SlotChoice> findFreeSlots(const ClubRecord &club, int job);

/// Refuses a national team (senior or under-21) as a transfer target. Here and
/// below, a refusal's message is the text the panel shows.
EditResult checkTransferTarget(const Database &db, int targetClub);

/// The refusals a transfer meets before its question is asked: the target is
/// his current club, or not a club at all.
EditResult checkTransfer(const Database &db, int person, int targetClub);

/// Moves `person` into free slots of `targetClub` and out of his current club,
/// keeping the club field in step; sets the data-modified flag. The record
/// written is the person's. A refused transfer changes nothing. Afterwards the
/// person screen must mark its misc entries as changed and run its confirm,
/// whatever the outcome.
EditResult transferPerson(Database &db, int person, int targetClub);

/// Releases `person` on a free transfer: club field -2, his slots emptied; sets
/// the data-modified flag. Refused, changing nothing, when he has no club.
EditResult releasePerson(Database &db, int person);

/// Empties the slots `person` holds at `club`: one for a single-sided job, two
/// for a combined one, each the first slot holding him. A club index outside
/// the combined club image is skipped.
void takeOutOfClub(Database &db, int person, int club, int job);

} // namespace kx3
