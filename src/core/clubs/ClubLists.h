#pragma once

#include <QByteArray>
#include <QList>

#include <array>

namespace kx3 {

class Database;

/// Job names of a club's staff list, by job code. (The person screens name
/// some jobs differently.)
inline constexpr std::array<const char *, 16> ClubJobNames = {
    "Unemployed",      "Chairman",       "Managing Dir",   "General Man",
    "Dir Of Football", "Manager",        "Assistant Man",  "Reserve Man",
    "Coach",           "Scout",          "Physio",         "Player",
    "Player/Man",      "Player/Ast Man", "Player/Res Man", "Player/Coach",
};

/// The staff list's name of job code `job`: "<unknown>" for a code it lacks.
QByteArray clubJobName(int job);

/// One player of a club's squad list.
struct SquadRow
{
    /// Orders the list: the squad number as two digits, "50" for none.
    QByteArray sortKey;
    int number = 0; ///< 0 for a person without a player attribute record
    QByteArray name;
    int person = -1;

    friend bool operator==(const SquadRow &, const SquadRow &) = default;
};

/// The sort key of squad number `number`: "07" for 7, "50" for 0, "23" for 23.
QByteArray squadSortKey(int number);

/// The persons in club `club`'s squad slots, ordered by sort key (slot order
/// among equal keys). Empty slots and person 0 are not listed.
QList<SquadRow> squadRows(const Database &db, int club);

/// One member of a club's staff list.
struct StaffRow
{
    QByteArray job;
    QByteArray name;
    int person = -1;

    friend bool operator==(const StaffRow &, const StaffRow &) = default;
};

/// The persons in club `club`'s staff slots, in slot order (0-5, then 56-70).
/// Empty slots and person 0 are not listed.
QList<StaffRow> staffRows(const Database &db, int club);

} // namespace kx3
