#pragma once

#include "core/lookup/EditResult.h"

#include <optional>

namespace kx3 {

class Database;

/// Takes person `p`, who has no club, to job `job` and classification `cls`
/// (-1: as they are), owning a player and a staff attribute record as
/// `wantPlayer` and `wantStaff` say (nothing: as far as the role rules allow
/// him to keep what he owns), by the shortest way the job and classification
/// lists allow, as a user answering Yes to their questions would go. A way
/// the rules do not offer is refused with the list's message; a refusal on
/// the way may leave him part of the way there.
EditResult changeRoles(Database &db, int p, int job, int cls, std::optional<bool> wantPlayer,
                       std::optional<bool> wantStaff);

} // namespace kx3
