#pragma once

#include "core/changes/DatabaseDiff.h"
#include "core/db/Progress.h"

#include <QByteArray>
#include <QString>
#include <QStringList>

#include <vector>

namespace kx3 {

class Database;
class Lookups;

/// The patch format's name and the newest version this program reads and
/// writes. Version 2 names fields by their stable keys ("current_ability");
/// version 1 named them by their captions, which it still reads.
inline constexpr char PatchFormat[] = "kx3-patch";
inline constexpr int PatchVersion = 2;

/// One record a patch speaks of.
struct PatchRecord
{
    struct Field
    {
        QString name;    ///< the field's caption, whatever the file named it by
        QString oldText; ///< empty for an added record
        QString newText;
    };
    RecordKind kind = RecordKind::Person;
    RecordChange::Type change = RecordChange::Type::Changed;
    /// The identity fields' texts, in the order of identityFields(kind).
    QStringList identity;
    /// Which of several records of that identity (1 the first); 0 unique.
    int occurrence = 0;
    std::vector<Field> fields;
    int line = 0; ///< where it starts in the patch file
};

struct Patch
{
    std::vector<PatchRecord> records;
};

/// The patch of `diff` as JSON text: what identifies each record, the
/// fields changed with their old and new texts, added records with all
/// their fields, removed records.
QByteArray writePatch(const DatabaseDiff &diff);

/// Reads a patch; nothing when it is not one this program can apply, with
/// `error` naming the line and the reason. A patch is data: nothing in it is
/// ever run.
std::optional<Patch> readPatch(const QByteArray &text, QString *error);

/// What applying a patch found, and did.
struct PatchOutcome
{
    /// Records the database does not have (or has twice), and fields whose
    /// text is neither the patch's old nor its new one: nothing is written
    /// when there is one.
    QStringList conflicts;
    /// What changes, one line per field as --diff prints it.
    QStringList changes;
    /// Fields already at their new text, and records already added.
    QStringList skipped;
    /// Values the patch changes to outside their advised ranges, as a
    /// screen's confirm would ask about them ("<record>: Finishing 25 is
    /// outside 0 - 20"). Advice, not a conflict: the patch applies anyway.
    QStringList advice;
    /// A change the editor's own checks refused, which undid the whole patch.
    QString error;
    bool applied = false;

    bool ok() const { return conflicts.isEmpty() && error.isEmpty(); }
};

/// Applies `patch` to `db` through the editor's own edits, all or nothing:
/// every record is found and every field checked first, and a refusal on the
/// way takes back what was written (Database::rollBackChanges(); changes made
/// before it and not yet a step are made one first). With
/// `dryRun` only the checks run. `lookups` must describe `db`; it is kept up
/// to date, and rebuilt after a refusal. No step is made: the caller names it.
/// A dry run only reads `db`. `progress` hears of the records looked through.
/// Once applied, `changes` says what each field now holds.
PatchOutcome applyPatch(Database &db, Lookups &lookups, const Patch &patch, bool dryRun,
                        const Progress &progress = {});

} // namespace kx3
