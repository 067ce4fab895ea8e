#pragma once

#include "core/db/NumberField.h"
#include "core/fields/FieldTable.h"
#include "core/lookup/EditBoxes.h"
#include "core/lookup/EditResult.h"
#include "core/lookup/MiscEntries.h"
#include "core/people/CareerHistory.h"
#include "core/people/RoleRules.h"

#include <QByteArray>
#include <QList>
#include <QString>

#include <cstdint>
#include <optional>
#include <span>

namespace kx3 {

class Database;

/// The record of a person a box of his screen is stored in.
enum class PersonPart : std::uint8_t { Person, PlayerAttributes, StaffAttributes };

/// One typed box of a person screen: a number, or the day, month or year of a
/// record date (whose field then is the date's offset and the year's type).
struct PersonBox
{
    enum Kind : std::uint8_t { Number, Day, Month, Year };
    Kind kind = Number;
    PersonPart part = PersonPart::Person;
    NumberField field;
};

/// The typed boxes of the player and the staff screen, in the order a confirm
/// checks them: the order of the person's field rows.
inline constexpr std::size_t PlayerBoxCount = boxCount(PersonFieldRows, OnPlayer);
inline constexpr std::size_t StaffBoxCount = boxCount(PersonFieldRows, OnStaff);
std::span<const PersonBox> personBoxes(RoleScreen screen);
/// The boxes of a person screen as the other screens' box lists describe
/// them, for what a refusal adds below its message and what a confirm asks.
std::vector<EditBox> personEditBoxes(RoleScreen screen);

/// What a confirm resolves or rewrites besides the records.
struct PersonEditFlags
{
    bool firstName = false;
    bool secondName = false;
    bool commonName = false;
    bool nationality = false;
    bool misc = false;
    bool history = false;

    friend bool operator==(const PersonEditFlags &, const PersonEditFlags &) = default;
};

/// A person as his screen holds him: texts and list items, nothing decoded
/// that the core has to re-derive. Items are those of the screen's lists; -1
/// (no item) keeps the stored code, which the list has no item for.
struct PersonEdit
{
    RoleScreen screen = RoleScreen::Player;
    QByteArray firstName;
    QByteArray secondName;
    QByteArray commonName;
    /// One text per entry of personBoxes(screen).
    QList<QString> boxes;
    int nationItem = -1;       ///< item 0 "<none>" stores -1
    int secondNationItem = -1; ///< items below 1 store -2
    int nationalTeamItem = -1; ///< staff: 0 "<none>", k + 1 the team of nation k
    int jobItem = -1;
    int nationalJobItem = -1; ///< staff
    int playsInItem = -1;     ///< player
    int classItem = -1;
    int formationItem = -1; ///< staff: formation code - 1
    /// The club the person had when shown: his misc lines are filed under it.
    std::int32_t shownClub = -2;
    PlayerMiscEntries playerMisc;
    StaffMiscEntries staffMisc;
    QList<HistoryRow> history; ///< player
    PersonEditFlags changed;

    friend bool operator==(const PersonEdit &, const PersonEdit &) = default;
};

/// Number of items of the nation lists: "<none>" and one per nation.
int nationItemCount(const Database &db);

/// What a reader of many persons found for one of them in a single pass over
/// the setup lines and the history: the lines that may be his (any subset
/// holding all of them, in file order) and his history rows.
struct PersonLines
{
    const QList<QByteArray> *miscLines = nullptr;
    const QList<HistoryRow> *history = nullptr;
};

/// Person `person` as `screen` shows him, with his misc entries and (player)
/// his history; nothing when there is no such person. Without `lines` his
/// misc lines and history are looked up in the whole database.
std::optional<PersonEdit> loadPersonEdit(const Database &db, int person, RoleScreen screen,
                                         const QList<QByteArray> &clubNames,
                                         const PersonLines &lines = {});

/// What a new person's screen starts with: placeholder names, the default
/// dates, job and class, zero ratings, and every name and the misc entries
/// marked for the confirm to write.
PersonEdit newPersonEdit(RoleScreen screen);

/// The box a refusal names when a history row cannot be stored: the history
/// list, which is no entry of personBoxes().
inline constexpr int HistoryBox = -2;

/// Why applyPersonEdit would refuse `edit`, without writing anything; a
/// result that is ok when every text can be stored.
EditResult personEditRefusal(const Database &db, std::optional<int> person,
                             const PersonEdit &edit);

/// Checks every text of `edit` and only then writes it into person `person`,
/// or into a new person when `person` is empty: names through the name tables,
/// misc entries, record fields, nation recounts, history. A refused edit
/// changes nothing at all. Sets the data-modified flag on success.
EditResult applyPersonEdit(Database &db, const QList<QByteArray> &clubNames,
                           std::optional<int> person, const PersonEdit &edit);

/// The boxes of personBoxes(screen) "Make Perfect" fills: mental ratings 20,
/// abilities and reputations 200, playing ratings 20 except Dirtiness and
/// Injury Prone (1) and the staff ratings 20. Position ratings, squad number
/// and formation stay.
QList<PerfectValue> perfectValues(RoleScreen screen);

} // namespace kx3
