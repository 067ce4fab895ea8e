#pragma once

#include "core/db/RecordView.h"

#include <optional>
#include <vector>

namespace kx3 {

class Database;

/// The person screen whose job or classification list changed.
enum class RoleScreen { Player, Staff };

/// What a job or classification list does with a new selection.
enum class RoleVerdict {
    Accept,               ///< keep the selection; the next confirm stores it
    Refuse,               ///< show the message, put the stored value back
    AskAddNonPlayingRole, ///< ask the question; Yes runs addNonPlayingRole
    AskDropPlayingRole,   ///< ask the question; Yes runs dropPlayingRole
};

struct RoleDecision
{
    RoleVerdict verdict = RoleVerdict::Accept;
    /// The refusal text, or the question for the two Ask verdicts; null when accepted.
    const char *message = nullptr;
};

/// Texts of the job and classification rules.
namespace RoleMessage {
inline constexpr const char *PlayerFreeTransferFirst =
    "To change job, Player must be released on Free Transfer first.\r"
    "Then, you may transfer him back to his club after change his job.";
inline constexpr const char *StaffFreeTransferFirst =
    "To change job, staff must be released on Free Transfer first.\r"
    "Then, you may transfer him back to his club after change his job.";
inline constexpr const char *JobCannotBeChanged = "Job cannot be changed";
inline constexpr const char *ClassCannotBeChanged = "Class can not be changed";
inline constexpr const char *AreYouSure = "Are you sure?";
} // namespace RoleMessage

/// The rule of a club job list: `storedJob` is the job
/// in the person record, `chosenJob` the new selection, `hasClub` whether the
/// screen's club panel shows a club. Choosing the stored job again is accepted.
RoleDecision decideJobChange(RoleScreen screen, int storedJob, int chosenJob, bool hasClub);

/// The rule of a classification list.
RoleDecision decideClassChange(RoleScreen screen, int storedClass, int chosenClass);

/// Job and classification a screen's create button starts a new record with.
int newRecordJob(RoleScreen screen);
int newRecordClass(RoleScreen screen);

/// The job rule for the record a screen shows, read from the image. `person` is
/// nothing in new-record mode: the rule then compares with the create defaults
/// and refuses what would add or drop an attribute record, as there is no record
/// yet. A drop for a person without a staff attribute record, or an add for one
/// without a player attribute record, is refused with "Job cannot be changed".
RoleDecision decideJobChange(const Database &db, std::optional<int> person, RoleScreen screen,
                             int chosenJob, bool hasClub);

/// The classification rule for the record a screen shows (nothing: new record).
/// A class whose attribute record the person does not own is refused too.
RoleDecision decideClassChange(const Database &db, std::optional<int> person, RoleScreen screen,
                               int chosenClass);

/// Gives a pure player without a club a non-playing side: a staff attribute
/// record (kept when he already owns a valid one), combined job `job` (12-15)
/// and classification 3. Sets the data-modified flag. False, with nothing
/// changed, when the person is missing, has a club, owns no player attribute
/// record or `job` is not a combined job.
bool addNonPlayingRole(Database &db, int person, int job);

/// Takes the playing side from a person without a club: his player attribute
/// record goes (when he has one), he gets non-playing job `job` (1-10) and
/// classification 1. Sets the data-modified flag. False, with nothing changed,
/// when the person is missing, has a club, owns no staff attribute record or
/// `job` is not a non-playing job.
bool dropPlayingRole(Database &db, int person, int job);

} // namespace kx3
