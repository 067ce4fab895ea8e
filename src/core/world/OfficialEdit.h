#pragma once

#include "core/lookup/EditBoxes.h"
#include "core/lookup/EditResult.h"

#include <QByteArray>
#include <QList>
#include <QString>

#include <optional>
#include <span>

namespace kx3 {

class Database;
class Lookups;

/// The typed boxes of the official screen, in the order they are stored: day,
/// month and year of birth, the three special ratings (current ability,
/// potential ability, current reputation) and the seven common ratings.
inline constexpr std::size_t OfficialBoxCount = boxCount(OfficialFieldRows);
std::span<const EditBox> officialBoxes();

/// An official as his screen holds him. Items are those of the screen's
/// lists; -1 (no item) keeps the stored value, for which the list has no item.
struct OfficialEdit
{
    QByteArray firstName;
    QByteArray secondName;
    /// One text per entry of officialBoxes().
    QList<QString> boxes;
    int nationItem = -1; ///< nation list; item 0 "<none>" stores -1; below -1 shows no item
    int cityItem = -1;   ///< items of the city pick list; item 0 "<none>" stores -2
    /// The name was typed, or the nation or city chosen, since the official was
    /// shown: the confirm resolves it again in its name table under the chosen
    /// nation. A name whose text differs from the stored one, and both names
    /// when the nation differs from the stored one, are resolved regardless.
    bool firstNameChanged = false;
    bool secondNameChanged = false;

    friend bool operator==(const OfficialEdit &, const OfficialEdit &) = default;
};

/// Official `official` as his screen shows him; nothing when there is no such
/// official.
std::optional<OfficialEdit> loadOfficialEdit(const Database &db, const Lookups &lookups,
                                             int official);

/// What a new official's screen starts with: placeholder names marked for the
/// confirm to resolve, born 1 February 1900, "<none>" in both lists and zero
/// ratings.
OfficialEdit newOfficialEdit();

/// Checks every box of `edit` and only then writes it into official
/// `official`, or appends a new official when `official` is empty: names
/// through the name tables (usage counts kept), then the date, nation, city
/// and ratings. Bytes +20 and +21 are never written. A box whose text still
/// reads what is stored keeps the stored value; a date whose day and month
/// still read the same keeps its stored numbering. A refused edit changes
/// nothing at all. Sets the data-modified flag on success.
EditResult applyOfficialEdit(Database &db, const Lookups &lookups, std::optional<int> official,
                             const OfficialEdit &edit);

/// The boxes "Make Perfect" fills: 200 in the three special ratings, 20 in the
/// seven common ones. Nothing changes until the edit is applied.
QList<PerfectValue> officialPerfectValues();

} // namespace kx3
