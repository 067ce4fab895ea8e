#pragma once

// What a bulk edit and an import share: writing rows all or nothing, and
// finding the record a CSV row speaks of. Internal to the tables.

#include "core/table/TableEdit.h"

#include <QHash>

#include <functional>

namespace kx3 {

/// One record's cells to write, and what a refusal names it by.
struct RowWrite
{
    int record = -1;
    QString who;
    std::vector<std::pair<int, QString>> cells; ///< column, new text
    std::vector<int> columnsAt;                 ///< per cell: the file's column
};

/// Writes every row's cells through the record's form, all or nothing; a
/// refusal is named by `where` (the row, and the cell to blame). With
/// `keep` false everything is taken back even when nothing was refused.
TableEditOutcome writeRows(Database &db, Lookups &lookups, RecordTable &table,
                           const std::vector<RowWrite> &writes, bool keep,
                           const std::function<QString(const RowWrite &, int cell)> &where,
                           const Progress &progress = {});

/// Finds the row of a CSV line: by its Index field, or else by its names.
class RowMatcher
{
public:
    /// `indexAt`: the file's Index column, -1 for none; `columnOf`: the
    /// table's column of each of the file's columns.
    RowMatcher(const RecordTable &table, int indexAt, const std::vector<int> &columnOf);
    bool canMatch() const { return mIndexAt >= 0 || !mNames.empty(); }
    /// The row, or -1 with `why` and the file's column to blame.
    int match(const QStringList &fields, QString &why, int &blame) const;

private:
    QString key(const QStringList &fields) const;

    const RecordTable &mTable;
    int mIndexAt;
    std::vector<std::pair<int, int>> mNames; ///< file column, table column
    mutable std::optional<QHash<QString, std::vector<int>>> mRowsByName;
};

} // namespace kx3
