#include "core/changes/RoleWays.h"

#include "core/db/Database.h"
#include "core/layout/CodeLists.h"
#include "core/layout/PersonRecord.h"
#include "core/layout/PlayerAttributes.h"
#include "core/layout/StaffAttributes.h"
#include "core/people/PersonEdit.h"
#include "core/people/RoleRules.h"

#include <QString>

#include <algorithm>
#include <vector>

namespace kx3 {

namespace {

const QString JobField = QStringLiteral("Job");
const QString ClassField = QStringLiteral("Classification");

/// Stores job or classification `code` as a confirm of `screen` does.
bool storeRole(Database &db, int p, RoleScreen screen, bool job, int code)
{
    const QList<QByteArray> noClubs;
    std::optional<PersonEdit> e = loadPersonEdit(db, p, screen, noClubs);
    if (!e)
        return false;
    (job ? e->jobItem : e->classItem) = code;
    return applyPersonEdit(db, noClubs, p, *e).ok();
}

/// A person's role as the role rules see it, without a club.
struct Role
{
    int job = 0;
    int cls = 0;
    bool player = false; ///< owns a player attribute record
    bool staff = false;
    friend bool operator==(const Role &, const Role &) = default;
};

/// One change a user makes on a job or classification list.
struct RoleMove
{
    RoleScreen screen = RoleScreen::Player;
    bool job = true;
    int code = 0;
    RoleVerdict verdict = RoleVerdict::Accept;
    Role to;
};

/// Every role one choice on either screen leads to, by the rules the lists
/// follow (a class must find the attribute records it names).
std::vector<RoleMove> roleMoves(const Role &r)
{
    std::vector<RoleMove> moves;
    for (RoleScreen screen : {RoleScreen::Player, RoleScreen::Staff}) {
        for (int j = 0; j < int(JobNames.size()); ++j) {
            if (j == r.job)
                continue;
            const RoleVerdict v = decideJobChange(screen, r.job, j, false).verdict;
            if (v == RoleVerdict::Accept)
                moves.push_back({screen, true, j, v, {j, r.cls, r.player, r.staff}});
            else if (v == RoleVerdict::AskAddNonPlayingRole && r.player)
                moves.push_back(
                    {screen, true, j, v, {j, Classification::PlayerNonPlayer, true, true}});
            else if (v == RoleVerdict::AskDropPlayingRole && r.staff)
                moves.push_back({screen, true, j, v, {j, Classification::NonPlayer, false, true}});
        }
        for (int c = 0; c < int(ClassificationNames.size()); ++c) {
            if (c == r.cls || decideClassChange(screen, r.cls, c).verdict != RoleVerdict::Accept
                || (Classification::hasPlayerAttributes(c) && !r.player)
                || (Classification::hasStaffAttributes(c) && !r.staff))
                continue;
            moves.push_back(
                {screen, false, c, RoleVerdict::Accept, {r.job, c, r.player, r.staff}});
        }
    }
    return moves;
}

/// The shortest way from `start` to a role `reached` accepts, if any.
template <typename Reached>
std::optional<std::vector<RoleMove>> roleWay(const Role &start, Reached reached)
{
    if (reached(start))
        return std::vector<RoleMove>();
    std::vector<std::pair<Role, std::vector<RoleMove>>> queue{{start, {}}};
    std::vector<Role> seen{start};
    for (std::size_t at = 0; at < queue.size(); ++at) {
        const auto [role, path] = queue[at];
        for (const RoleMove &move : roleMoves(role)) {
            if (std::find(seen.begin(), seen.end(), move.to) != seen.end())
                continue;
            seen.push_back(move.to);
            std::vector<RoleMove> longer = path;
            longer.push_back(move);
            if (reached(move.to))
                return longer;
            queue.emplace_back(move.to, std::move(longer));
        }
    }
    return std::nullopt;
}

EditResult followRoleWay(Database &db, int p, const std::vector<RoleMove> &way)
{
    for (const RoleMove &m : way) {
        const bool done = m.verdict == RoleVerdict::AskAddNonPlayingRole
                              ? addNonPlayingRole(db, p, m.code)
                          : m.verdict == RoleVerdict::AskDropPlayingRole
                              ? dropPlayingRole(db, p, m.code)
                              : storeRole(db, p, m.screen, m.job, m.code);
        if (!done)
            return EditResult::refused(QStringLiteral("%1: %2").arg(
                m.job ? JobField : ClassField,
                QLatin1String(m.job ? RoleMessage::JobCannotBeChanged
                                    : RoleMessage::ClassCannotBeChanged)));
    }
    return EditResult::passed();
}

} // namespace

EditResult changeRoles(Database &db, int p, int job, int cls, std::optional<bool> wantPlayer,
                       std::optional<bool> wantStaff)
{
    const auto rec = person(db, p);
    const Role start{rec->job(), rec->classification(), playerAttributesOf(db, *rec).has_value(),
                     staffAttributesOf(db, *rec).has_value()};
    // Without a word on them, he keeps the records he owns, but for a
    // playing side that a non-playing class cannot have.
    if (!wantPlayer)
        wantPlayer = start.player && cls != Classification::NonPlayer;
    if (!wantStaff)
        wantStaff = start.staff;
    if (job < 0)
        job = start.job;
    if (cls < 0)
        cls = start.cls;
    // The records he should own where the rules lead there, else any.
    for (const bool strict : {true, false}) {
        auto reached = [&](const Role &r) {
            return r.job == job && r.cls == cls
                   && (!strict || (r.player == *wantPlayer && r.staff == *wantStaff));
        };
        if (std::optional<std::vector<RoleMove>> path = roleWay(start, reached))
            return followRoleWay(db, p, *path);
    }
    return EditResult::refused(QStringLiteral("%1: %2").arg(
        job >= 0 && job != start.job ? JobField : ClassField,
        QLatin1String(job >= 0 && job != start.job ? RoleMessage::JobCannotBeChanged
                                                   : RoleMessage::ClassCannotBeChanged)));
}

} // namespace kx3
