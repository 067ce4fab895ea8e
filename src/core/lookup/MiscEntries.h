#pragma once

#include <QByteArray>
#include <QList>

#include <optional>

namespace kx3 {

class Database;

/// Lines of player_Setup.cfg in front of the entries; the editor never deletes them.
inline constexpr int ProtectedSetupLines = 14;

/// Keywords that open the entry lines.
namespace MiscKeyword {
inline constexpr char FutureTransfer[] = "FUTURE_TRANSFER";
inline constexpr char Loan[] = "LOAN";
inline constexpr char Injury[] = "INJURY";
inline constexpr char IntRetirement[] = "INT_RETIREMENT";
inline constexpr char ManagerConf[] = "MANAGER_CONF";
} // namespace MiscKeyword

/// Text of the first item of the club and injury boxes.
inline constexpr char MiscNoneText[] = "<none>";

/// The three name texts an entry line carries after its keyword.
struct MiscNames
{
    QByteArray firstName;
    QByteArray commonName;
    QByteArray secondName;
};

/// Who a line belongs to: the names and the long name of his club (empty: no club).
struct MiscIdentity
{
    MiscNames names;
    QByteArray clubLongName;
};

/// A player's entries as the screen holds them; each member is named after its
/// control and keeps the text exactly as typed.
struct PlayerMiscEntries
{
    QByteArray tClub = MiscNoneText;
    QByteArray tDate1 = "1";
    QByteArray tDate2 = "2";
    QByteArray tDate3 = "1900";
    QByteArray tFee = "0";
    QByteArray tWage = "0";
    QByteArray tCLen = "0";
    QByteArray lClub = MiscNoneText;
    QByteArray lSt1 = "1";
    QByteArray lSt2 = "2";
    QByteArray lSt3 = "1900";
    QByteArray lEn1 = "1";
    QByteArray lEn2 = "2";
    QByteArray lEn3 = "1900";
    /// Item of the pre-injury list: 0 "<none>", k the injury InjuryNames[k - 1], -1 no item
    /// selected.
    int preInj = 0;
    QByteArray piAdjust = "0";
    bool intRet = false;

    friend bool operator==(const PlayerMiscEntries &, const PlayerMiscEntries &) = default;
};

/// A non-playing person's entries as the staff screen holds them.
struct StaffMiscEntries
{
    QByteArray mConf = "0";
    bool sIntRet = false;

    friend bool operator==(const StaffMiscEntries &, const StaffMiscEntries &) = default;
};

/// Quoted field `field` (1 = keyword, 2 first name, 3 common name, 4 second name,
/// 5 club, 6 target/loan club or injury), found by counting double quotes; nothing
/// when the line holds too few of them.
std::optional<QByteArray> miscQuotedField(const QByteArray &line, int field);

/// The blank-separated values after the sixth quoted field (two characters past its
/// closing quote); empty when that field is missing or the line ends with it.
QList<QByteArray> miscTailValues(const QByteArray &line);

/// The value of a MANAGER_CONF line (two characters past the tenth double quote, up
/// to the next blank); nothing when the line has too few quotes or ends there.
std::optional<QByteArray> miscManagerConfValue(const QByteArray &line);

/// Index in InjuryNames of `name` ignoring case, or -1.
int injuryIndex(const QByteArray &name);

/// Item of the pre-injury list whose text equals `text` ignoring case ("<none>" is item 0), or -1.
int preInjuryItem(const QByteArray &text);

/// True when the line belongs to the person: its first-name field equals his first
/// name and, for each of his second name, common name and club long name that is not
/// empty, the line's field equals it. Whole fields are compared, so "Jan" never claims
/// the lines of "Janssen". A person without any name matches no line.
bool MiscEntryMatches(const QByteArray &line, const MiscIdentity &who);

/// The player's entries read from every line of `lines` that belongs to him;
/// defaults where he has none, later lines overriding earlier ones.
PlayerMiscEntries LoadPlayerMiscEntries(const QList<QByteArray> &lines, const MiscIdentity &who);

/// The staff member's manager confidence and retirement flag read from his lines.
StaffMiscEntries LoadStaffMiscEntries(const QList<QByteArray> &lines, const MiscIdentity &who);

/// Deletes the lines from ProtectedSetupLines on that belong to `who`, of any
/// keyword; returns how many went.
int removeMiscEntries(QList<QByteArray> &lines, const MiscIdentity &who);

/// One entry line: the keyword and the four identity fields quoted and separated by
/// single blanks, followed by `tail` as given.
QByteArray miscEntryLine(const char *keyword, const MiscIdentity &identity,
                         const QByteArray &tail = {});

/// The lines a player's entries are written as, in file order.
QList<QByteArray> playerMiscLines(const Database &db, const MiscIdentity &identity,
                                  const PlayerMiscEntries &entries,
                                  const QList<QByteArray> &clubNames);

/// The lines a staff member's entries are written as, in file order.
QList<QByteArray> staffMiscLines(const MiscIdentity &identity, const StaffMiscEntries &entries);

/// Long name of the club whose short name in `clubNames` (index-aligned with the
/// clubs) equals `shortName` ignoring case, the first such; nothing when none does.
std::optional<QByteArray> clubLongNameByShortName(const Database &db,
                                                  const QList<QByteArray> &clubNames,
                                                  const QByteArray &shortName);

/// Long name of the club in person `person`'s club field; empty when he has none
/// or the index is out of range.
QByteArray personClubLongName(const Database &db, qsizetype person);

/// Replaces a player's lines: deletes those matching `stored` (the names now in his
/// record and his club), then appends the lines of `entries` under the names typed
/// on the screen and the long name of the club in his record.
void SavePlayerMiscEntries(Database &db, qsizetype person, const MiscIdentity &stored,
                           const MiscNames &typed, const PlayerMiscEntries &entries,
                           const QList<QByteArray> &clubNames);

/// The same for a staff member. Deletion does not look at the keyword, so the
/// transfer, loan and injury lines of a Player/Non-Player go as well.
void SaveStaffMiscEntries(Database &db, qsizetype person, const MiscIdentity &stored,
                          const MiscNames &typed, const StaffMiscEntries &entries);

} // namespace kx3
