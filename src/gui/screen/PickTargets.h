#pragma once

namespace kx3 {

/// The relationship list a misc-list dialog changes a slot of.
enum class MiscListSource {
    Club,   ///< the current club's list (9 slots)
    Player, ///< the current person's list on the player screen (12 slots)
    Staff   ///< the same on the staff screen
};

/// The club name box of a person screen that club picking fills.
enum class ClubPickField {
    TClub = 1, ///< future transfer
    LClub = 2, ///< loan
    HClu = 3   ///< history entry
};

} // namespace kx3
