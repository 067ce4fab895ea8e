#include "RoleRules.h"

#include "core/layout/CodeLists.h"
#include "core/layout/PersonRecord.h"
#include "core/layout/PlayerAttributes.h"
#include "core/layout/StaffAttributes.h"
#include "core/people/PersonTables.h"

#include <cstring>

namespace kx3 {

namespace {

constexpr RoleDecision accept()
{
    return {RoleVerdict::Accept, nullptr};
}

constexpr RoleDecision refuse(const char *message)
{
    return {RoleVerdict::Refuse, message};
}

RoleDecision playerJobChange(int stored, int chosen)
{
    if (Job::isCombined(chosen) && stored == Job::Player)
        return {RoleVerdict::AskAddNonPlayingRole, RoleMessage::AreYouSure};
    if (Job::isNonPlaying(chosen) && Job::isCombined(stored))
        return {RoleVerdict::AskDropPlayingRole, RoleMessage::AreYouSure};
    if (Job::isNonPlaying(chosen) && stored == Job::Player)
        return refuse(RoleMessage::JobCannotBeChanged);
    if (chosen == Job::Player && Job::isCombined(stored))
        return refuse(RoleMessage::JobCannotBeChanged);
    return accept();
}

RoleDecision staffJobChange(int stored, int chosen)
{
    if (Job::isNonPlaying(chosen) && Job::isCombined(stored))
        return {RoleVerdict::AskDropPlayingRole, RoleMessage::AreYouSure};
    if (chosen == Job::Player)
        return refuse(RoleMessage::JobCannotBeChanged);
    if (Job::isCombined(chosen) && Job::isNonPlaying(stored))
        return refuse(RoleMessage::JobCannotBeChanged);
    return accept();
}

} // namespace

RoleDecision decideJobChange(RoleScreen screen, int storedJob, int chosenJob, bool hasClub)
{
    // The lists raise their change event only on a new selection; the stored
    // value chosen again leaves everything as it is.
    if (chosenJob == storedJob)
        return accept();
    // A person's job decides the club slots he holds, so it only changes while
    // he holds none.
    if (hasClub) {
        return refuse(screen == RoleScreen::Player ? RoleMessage::PlayerFreeTransferFirst
                                                   : RoleMessage::StaffFreeTransferFirst);
    }
    return screen == RoleScreen::Player ? playerJobChange(storedJob, chosenJob)
                                        : staffJobChange(storedJob, chosenJob);
}

RoleDecision decideClassChange(RoleScreen screen, int storedClass, int chosenClass)
{
    using namespace Classification;
    if (chosenClass == storedClass)
        return accept();
    if (screen == RoleScreen::Player) {
        // A non-playing side only comes with a staff attribute record, which
        // only the job rules create.
        if (chosenClass == NonPlayer || chosenClass == PlayerNonPlayer)
            return refuse(RoleMessage::ClassCannotBeChanged);
        if (chosenClass == Player && (storedClass == NonPlayer || storedClass == PlayerNonPlayer))
            return refuse(RoleMessage::ClassCannotBeChanged);
        return accept();
    }
    if (chosenClass >= 1 && storedClass >= 1)
        return refuse(RoleMessage::ClassCannotBeChanged);
    return accept();
}

int newRecordJob(RoleScreen screen)
{
    return screen == RoleScreen::Player ? Job::Player : Job::Manager;
}

int newRecordClass(RoleScreen screen)
{
    return screen == RoleScreen::Player ? Classification::Player : Classification::NonPlayer;
}

RoleDecision decideJobChange(const Database &db, std::optional<int> personIndex, RoleScreen screen,
                             int chosenJob, bool hasClub)
{
    std::optional<ConstPersonRecord> p;
    if (personIndex) {
        p = person(db, *personIndex);
        if (!p)
            return refuse(RoleMessage::JobCannotBeChanged);
    }
    const int stored = p ? p->job() : newRecordJob(screen);
    RoleDecision decision = decideJobChange(screen, stored, chosenJob, hasClub);
    switch (decision.verdict) {
    case RoleVerdict::AskAddNonPlayingRole:
        if (!p || !playerAttributesOf(db, *p))
            decision = refuse(RoleMessage::JobCannotBeChanged);
        break;
    case RoleVerdict::AskDropPlayingRole:
        // Dropping the playing side must leave him a staff attribute record;
        // a combined job without one is left as it is.
        if (!p || !staffAttributesOf(db, *p))
            decision = refuse(RoleMessage::JobCannotBeChanged);
        break;
    default: break;
    }
    return decision;
}

RoleDecision decideClassChange(const Database &db, std::optional<int> personIndex,
                               RoleScreen screen, int chosenClass)
{
    std::optional<ConstPersonRecord> p;
    if (personIndex) {
        p = person(db, *personIndex);
        if (!p)
            return refuse(RoleMessage::ClassCannotBeChanged);
    }
    const int stored = p ? p->classification() : newRecordClass(screen);
    RoleDecision decision = decideClassChange(screen, stored, chosenClass);
    // A class promises the attribute records it names, and only the job rules
    // add or take those: a class whose record the person does not own would
    // leave him unsound (an unknown-class person made a player, say).
    if (p && decision.verdict == RoleVerdict::Accept && chosenClass != stored
        && ((Classification::hasPlayerAttributes(chosenClass) && !playerAttributesOf(db, *p))
            || (Classification::hasStaffAttributes(chosenClass) && !staffAttributesOf(db, *p)))) {
        decision = refuse(RoleMessage::ClassCannotBeChanged);
    }
    return decision;
}

bool addNonPlayingRole(Database &db, int personIndex, int job)
{
    std::optional<PersonRecord> p = person(db, personIndex);
    if (!Job::isCombined(job) || !p || p->club() >= 0 || !playerAttributesOf(db, *p))
        return false;
    if (!staffAttributesOf(db, *p) && !insertStaffAttributes(db, personIndex))
        return false;
    p->setJob(job);
    p->setClassification(Classification::PlayerNonPlayer);
    return true;
}

bool dropPlayingRole(Database &db, int personIndex, int job)
{
    std::optional<PersonRecord> p = person(db, personIndex);
    if (!Job::isNonPlaying(job) || !p || p->club() >= 0 || !staffAttributesOf(db, *p))
        return false;
    if (playerAttributesOf(db, *p) && !removePlayerAttributes(db, personIndex))
        return false;
    p->setJob(job);
    p->setClassification(Classification::NonPlayer);
    return true;
}

} // namespace kx3
