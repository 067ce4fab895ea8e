#pragma once

#include "core/changes/RecordForms.h"

#include <QString>
#include <QStringList>

#include <vector>

namespace kx3 {

/// One field that reads differently.
struct FieldChange
{
    QString field;
    QString oldText;
    QString newText;
};

/// A record added, removed or changed between two databases.
struct RecordChange
{
    enum class Type : std::uint8_t { Added, Removed, Changed };
    RecordKind kind = RecordKind::Person;
    Type type = Type::Changed;
    int oldIndex = -1; ///< in the old database; -1 when added
    int newIndex = -1; ///< in the new database; -1 when removed
    /// How the search lists name it: as it is now, or as it was when removed.
    QString title;
    /// What identifies it: in the old database, or in the new one when added.
    QStringList identity;
    /// Among several records of the same identity, which one it is (1 the
    /// first by index); 0 when its identity is unique.
    int occurrence = 0;
    /// Changed: every field that reads differently. Added: every field, the
    /// old texts empty. Removed: none.
    std::vector<FieldChange> fields;
};

/// Every record added, removed or changed, kind by kind in the order of
/// AllFormKinds, and by index within a kind.
struct DatabaseDiff
{
    std::vector<RecordChange> records;

    bool isEmpty() const { return records.empty(); }
    /// Rows of a change list: one per changed field, one per added or removed record.
    qsizetype rowCount() const;
};

/// What differs from `before` to `after`, field by field as a user reads them.
/// Records are matched by what identifies them (identityFields()), the first
/// of equals with the first; records left over between the same two matched
/// neighbours are taken for one record changed in place (a renamed club).
/// References are compared by the record they name, so a renumbered or
/// renamed club does not change the records naming it. Name tables, counters
/// and ids are never compared.
DatabaseDiff diffDatabases(const FormReader &before, const FormReader &after);

/// The line of --diff for one change row: "<kind> <record name>: <field>:
/// <old> -> <new>", or "<kind> <record name>: added" / "removed".
QStringList diffLines(const DatabaseDiff &diff);

/// "3 records change: Osven Venak, Fenzor, …": how many records a save
/// changes, naming the first few; empty when none does.
QString changeSummary(const DatabaseDiff &diff, int named = 3);

/// Loads the data files of a Data folder, or of the Data folder inside an
/// installation folder, read-only (an interrupted save is not touched).
/// False with `error` saying why.
bool loadDataFolder(Database &db, const QString &folder, QString *error);

} // namespace kx3
