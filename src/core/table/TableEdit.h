#pragma once

#include "core/changes/DatabaseDiff.h"
#include "core/db/Progress.h"
#include "core/table/RecordTable.h"

#include <QByteArray>
#include <QString>
#include <QStringList>

#include <span>
#include <vector>

namespace kx3 {

class Database;
class Lookups;

/// What a bulk edit or an import found and did.
struct TableEditOutcome
{
    /// Every row refused, one line each ("Osven Venak: 'abc' is not a valid
    /// integer value"; an import's "line 4, column 3: ..."). When there is
    /// one, nothing has been written.
    QStringList refused;
    /// What changes (or changed), field by field, as the change list shows it.
    DatabaseDiff changes;
    /// Values changed to outside their advised ranges, as a screen's confirm
    /// would ask about them ("<record>: Finishing 25 is outside 0 - 20").
    QStringList advice;
    bool applied = false;

    bool ok() const { return refused.isEmpty(); }
};

enum class BulkOperation : std::uint8_t { Set, Add };

/// Sets `text` into `column` of every row of `rows`, or adds the number
/// `text` to it, through the same edit values and checks as the screen's
/// confirm (a job or classification by the role rules). All or nothing: a
/// refused row takes back every row written (changes made before and not yet
/// a step become a step first). No step is made: the caller names it.
/// `lookups` must describe `db` and is kept up to date; `table` is reloaded.
TableEditOutcome bulkEdit(Database &db, Lookups &lookups, RecordTable &table,
                          std::span<const int> rows, int column, BulkOperation operation,
                          const QString &text, const Progress &progress = {});

/// `rows` by `columns` of `table` as CSV (UTF-8, CRLF, quoted where needed),
/// with a first column "Index" holding each row's record index and a header
/// of column names.
QByteArray exportCsv(const RecordTable &table, std::span<const int> rows,
                     std::span<const int> columns, const Progress &progress = {});
/// Every row and every column.
QByteArray exportCsv(const RecordTable &table);

/// Reads CSV of `table`'s kind (columns in any order, any subset; rows
/// matched by "Index", or else by the name columns) and writes what differs
/// through the same edits as bulkEdit, all or nothing. A file that cannot be
/// read whole (broken quoting, unknown columns, rows matching no record or
/// one twice, texts Windows-1252 cannot hold, values refused) is refused
/// with the line and column at fault; nothing is written. With `dryRun` only
/// the checks run, and `changes` says what would change.
TableEditOutcome importCsv(Database &db, Lookups &lookups, RecordTable &table,
                           const QByteArray &csv, bool dryRun, const Progress &progress = {});

} // namespace kx3
