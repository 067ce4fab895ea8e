#pragma once

#include "core/db/RecordDate.h"

#include <cstdint>
#include <optional>

namespace kx3 {

class Database;

/// Which create confirm a new person record is for.
enum class NewPersonKind { NewPlayer, NewStaff };

/// Values a new person record keeps until its screen's confirm overwrites them.
namespace NewPersonDefaults {
/// The national contract end of a new person: 1 February 1900, leap flag 1.
inline constexpr RecordDate NationalContractEnd{31, 1900, 1};
/// Date of birth and club contract end as the create screens show them (1 February 1900).
inline constexpr RecordDate Unset{31, 1900, 0};
/// Date joined as the create screens show it (2 January 1996).
inline constexpr RecordDate Joined{1, 1996, 0};
} // namespace NewPersonDefaults

/// True when the staff table counters describe staff.dat as it lies in memory:
/// OS = N x 157, OP = OS + S x 68, the player attribute table ends inside the
/// image and every count and offset still fits the table of contents.
///
/// Bytes behind the player attribute table are allowed; they are carried along.
bool staffTablesConsistent(const Database &db);

/// Appends a person record at the end of the person table (the attribute tables
/// move up by 157 bytes) and fills it with the defaults of `kind`. The attribute
/// record indices stay -1 and the classification 0 ("<unknown>") until the
/// matching append or insert below and the confirm (or createPerson) set them.
/// Returns the new person index (the old N), or nothing when the counters are
/// inconsistent, in which case nothing changes.
std::optional<int> appendPerson(Database &db, NewPersonKind kind);

/// Adds a player attribute record behind the last one and points `person`'s
/// player attribute index at it. Refused (nothing changes) when the person does
/// not exist or already owns a valid player attribute record.
std::optional<int> appendPlayerAttributes(Database &db, int person);

/// Adds a staff attribute record behind the last one (the player attribute
/// table moves up by 68 bytes) and points `person`'s staff attribute index at
/// it. Refused like appendPlayerAttributes.
std::optional<int> insertStaffAttributes(Database &db, int person);

/// Removes `person`'s player attribute record, renumbers the records behind it
/// and every person's index into them. False (nothing changes) when the person
/// does not exist or owns no valid player attribute record.
bool removePlayerAttributes(Database &db, int person);

/// What the create confirm of a player or staff member appends: the person and
/// the attribute record of his kind, with classification 2 ("Player") or 1
/// ("Non-Player"). Returns the person index; on a refusal nothing changes.
std::optional<int> createPerson(Database &db, NewPersonKind kind);

} // namespace kx3
