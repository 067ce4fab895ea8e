#pragma once

#include "core/db/RecordRef.h"
#include "core/lookup/Search.h"

#include <QAbstractTableModel>
#include <QLocale>

#include <functional>
#include <vector>

namespace kx3 {

struct DocumentChange;

/// The rows of a name search for a result list: the shown name and, in a
/// second column the list hides, the record's byte offset in decimal.
///
/// Rows are kept sorted by shown name with the locale's collation; rows
/// with equal names keep the order of the search.
///
/// A search may list every person of a database of a million: the rows keep
/// the found names' bytes in one block, sort once on flat collation keys, and
/// make a row's text only when the view asks for it.
class SearchResultModel : public QAbstractTableModel
{
    Q_OBJECT

    struct Row
    {
        qint64 offset;
        qsizetype nameStart; ///< into mNames
        qsizetype nameLength;
        /// A step changed the record: its name is read again when shown.
        bool stale = false;
    };

public:
    enum Column { NameColumn, OffsetColumn, ColumnCount };
    /// The record offset as a qint64, for any column.
    static constexpr int OffsetRole = Qt::UserRole + 1;

    explicit SearchResultModel(QObject *parent = nullptr);

    /// Collation used for sorting; the default is the user's locale,
    /// case-sensitive.
    void setSortLocale(const QLocale &locale, Qt::CaseSensitivity caseSensitivity);

    /// Rows sorted, ready to be shown.
    class SortedRows
    {
        friend class SearchResultModel;
        QByteArray names;
        std::vector<Row> rows;
    };
    /// `rows` (names in Windows-1252) sorted: the slow part of listing them.
    /// It reads only the sort settings, so it may run on a worker thread
    /// while they stay as they are.
    SortedRows sorted(const SearchRows &rows) const;
    /// Replaces every row.
    void setSortedRows(SortedRows rows);
    void setRows(const SearchRows &rows) { setSortedRows(sorted(rows)); }
    void clear();
    /// The rows after `change`: each follows its record of `kind` (records
    /// of `recordSize` bytes); a row whose record was removed, or no longer
    /// `belongs` to the list, goes; a row whose record changed shows its
    /// `name` now, read when it is shown (a step that moved every record
    /// after one reads none of them). Rows keep their places until the next
    /// search.
    void follow(const DocumentChange &change, RecordKind kind, int recordSize,
                const std::function<QByteArray(int)> &name,
                const std::function<bool(int)> &belongs);

    /// Offset of the record of `row`; -1 for a row that does not exist.
    qint64 offsetAt(int row) const;
    QString nameAt(int row) const;

    int rowCount(const QModelIndex &parent = {}) const override;
    int columnCount(const QModelIndex &parent = {}) const override;
    QVariant data(const QModelIndex &index, int role = Qt::DisplayRole) const override;
    QVariant headerData(int section, Qt::Orientation orientation,
                        int role = Qt::DisplayRole) const override;

private:
    QLocale mLocale;
    Qt::CaseSensitivity mCaseSensitivity = Qt::CaseSensitive;
    /// Every row's name, Windows-1252, back to back; and the rows. A stale
    /// name is read again by the const accessors that show it.
    mutable QByteArray mNames;
    mutable std::vector<Row> mRows;
    std::function<QByteArray(int)> mNameOf;
    int mRecordSize = 1;
    /// Reads the name of `row` again when a step made it stale.
    const Row &fresh(int row) const;
};

} // namespace kx3
