#pragma once

#include "core/lookup/EditBoxes.h"
#include "core/lookup/EditResult.h"

#include <QByteArray>
#include <QList>
#include <QString>

#include <array>
#include <optional>
#include <span>

namespace kx3 {

class Database;
class Lookups;

/// The typed boxes of the club screen, in the order they are stored: last
/// position, cash, the three attendances, training facility and reputation
/// (shown divided by 500).
inline constexpr std::size_t ClubBoxCount = boxCount(ClubFieldRows);
std::span<const EditBox> clubBoxes();

/// A club as its screen holds it: texts, list items and check marks. Items
/// are those of the screen's lists; -1 (no item) keeps the stored value, for
/// which the list has no item.
struct ClubEdit
{
    QByteArray longName;
    QByteArray shortName;
    /// One text per entry of clubBoxes().
    QList<QString> boxes;
    int statusItem = -1;
    int nationItem = -1;   ///< item 0 "<none>" stores -1
    int divisionItem = -1; ///< item 0 "<none>" stores -2
    int lastDivisionItem = -1;
    int otherDivisionItem = -1;
    int mainStadiumItem = -1; ///< items of the stadium pick list
    int reserveStadiumItem = -1;
    int homeMatchDayItem = -1; ///< item 0 "<none>" stores 255
    /// Home 1, home 2, away 1, away 2, third 1, third 2; item 0 "None" stores -2.
    std::array<int, 6> kitColourItems = {-1, -1, -1, -1, -1, -1};
    bool ownStadium = false;
    bool plc = false;
    /// The nation list was changed since the club was shown: the clubs of the
    /// old and the new nation are recounted.
    bool nationChanged = false;

    friend bool operator==(const ClubEdit &, const ClubEdit &) = default;
};

/// Club `club` (a club or national team) as its screen shows it; nothing when
/// there is no such record.
std::optional<ClubEdit> loadClubEdit(const Database &db, const Lookups &lookups, int club);

/// What a new club's screen starts with: placeholder names, "Professional",
/// "<none>" in every other list, zeros and no flags.
ClubEdit newClubEdit();

/// Checks every box of `edit` and only then writes it into club `club`, or
/// inserts a new club when `club` is empty. A box whose text still reads what
/// the stored value shows keeps that value exactly (a reputation of 10,250 is
/// shown as 20 and stays 10,250), and so does a check mark left as shown (an
/// own-stadium byte of 1 shows unchecked and stays 1). Updates the club name list and recounts the
/// clubs of the old and new nation when the nation changed. A refused edit
/// changes nothing at all. Sets the data-modified flag on success.
EditResult applyClubEdit(Database &db, Lookups &lookups, std::optional<int> club,
                         const ClubEdit &edit);

} // namespace kx3
