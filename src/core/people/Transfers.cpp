#include "Transfers.h"

#include "core/layout/CodeLists.h"
#include "core/layout/PersonRecord.h"

namespace kx3 {

namespace {

EditResult failure(const char *message)
{
    return EditResult::refused(QString::fromLatin1(message));
}

} // namespace

SlotNeed slotNeed(int job)
{
    return {playerSlotRange(job), staffSlotRange(job)};
}

std::optional<SlotChoice> findFreeSlots(const ClubRecord &club, int job)
{
    const SlotNeed need = slotNeed(job);
    if (!need.takesSlots())
        return std::nullopt;
    SlotChoice choice;
    bool playerFound = need.player.isEmpty();
    bool staffFound = need.staff.isEmpty();
    for (int s = 0; s < ClubSlots::Count && !(playerFound && staffFound); ++s) {
        if (club.positionSlot(s) >= 0)
            continue;
        if (need.player.contains(s)) {
            playerFound = true;
            choice.playerSlot = s;
        }
        if (need.staff.contains(s)) {
            staffFound = true;
            choice.staffSlot = s;
        }
    }
    if (!playerFound || !staffFound)
        return std::nullopt;
    return choice;
}

EditResult checkTransferTarget(const Database &db, int targetClub)
{
    if (targetClub < 0 || targetClub >= clubTotal(db))
        return failure(TransferText::NoSuchClub);
    if (targetClub >= db.clubCount())
        return failure(TransferText::NationalTeam);
    return EditResult::passed();
}

void takeOutOfClub(Database &db, int personIndex, int clubIndex, int job)
{
    std::optional<ClubRecord> c = club(db, clubIndex);
    if (!c)
        return;
    const int passes = Job::isCombined(job) ? 2 : 1;
    for (int pass = 0; pass < passes; ++pass) {
        for (int s = 0; s < ClubSlots::Count; ++s) {
            if (c->positionSlot(s) == personIndex) {
                c->setPositionSlot(s, ClubSlots::Empty);
                break;
            }
        }
    }
}

EditResult checkTransfer(const Database &db, int personIndex, int targetClub)
{
    const std::optional<ConstPersonRecord> p = person(db, personIndex);
    if (!p)
        return failure(TransferText::NoSuchPerson);
    if (targetClub == p->club())
        return failure(TransferText::SameClub);
    return checkTransferTarget(db, targetClub);
}

EditResult transferPerson(Database &db, int personIndex, int targetClub)
{
    const EditResult checked = checkTransfer(db, personIndex, targetClub);
    if (!checked.ok())
        return checked;
    std::optional<PersonRecord> p = person(db, personIndex);
    const std::int32_t source = p->club();
    const int job = p->job();
    ClubRecord to = *club(db, targetClub);
    // Every slot is found before anything is written, so a refusal leaves
    // both clubs and the person as they were.
    const std::optional<SlotChoice> slots = findFreeSlots(to, job);
    if (!slots)
        return failure(TransferText::FullyOccupied);
    if (slots->playerSlot >= 0)
        to.setPositionSlot(slots->playerSlot, personIndex);
    if (slots->staffSlot >= 0)
        to.setPositionSlot(slots->staffSlot, personIndex);
    p->setClub(targetClub);
    if (source >= 0)
        takeOutOfClub(db, personIndex, source, job);
    return EditResult::accepted(personIndex);
}

EditResult releasePerson(Database &db, int personIndex)
{
    std::optional<PersonRecord> p = person(db, personIndex);
    if (!p)
        return failure(TransferText::NoSuchPerson);
    const std::int32_t source = p->club();
    if (source < 0)
        return failure(TransferText::NoClub);
    p->setClub(PersonNone::Club);
    takeOutOfClub(db, personIndex, source, p->job());
    return EditResult::accepted(personIndex);
}

} // namespace kx3
