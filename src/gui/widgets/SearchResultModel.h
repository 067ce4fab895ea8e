#pragma once

#include "core/db/Search.h"

#include <QAbstractTableModel>
#include <QCollator>
#include <QLocale>

#include <vector>

namespace kx3 {

/// The rows of a name search for a result list: the shown name and, in a
/// second column the list hides, the record's byte offset in decimal.
///
/// Rows are kept sorted by shown name with the locale's collation; rows
/// with equal names keep the order of the search.
class SearchResultModel : public QAbstractTableModel
{
    Q_OBJECT

public:
    enum Column { NameColumn, OffsetColumn, ColumnCount };
    /// The record offset as a qint64, for any column.
    static constexpr int OffsetRole = Qt::UserRole + 1;

    explicit SearchResultModel(QObject *parent = nullptr);

    /// Collation used for sorting; the default is the user's locale,
    /// case-sensitive.
    void setSortLocale(const QLocale &locale, Qt::CaseSensitivity caseSensitivity);

    /// Replaces every row with `rows` (names in Windows-1252), sorted.
    void setRows(const SearchRows &rows);
    void clear();

    /// Offset of the record of `row`; -1 for a row that does not exist.
    qint64 offsetAt(int row) const;
    QString nameAt(int row) const;

    int rowCount(const QModelIndex &parent = {}) const override;
    int columnCount(const QModelIndex &parent = {}) const override;
    QVariant data(const QModelIndex &index, int role = Qt::DisplayRole) const override;
    QVariant headerData(int section, Qt::Orientation orientation,
                        int role = Qt::DisplayRole) const override;

private:
    struct Row
    {
        QString name;
        qint64 offset;
    };

    QCollator mCollator;
    std::vector<Row> mRows;
};

} // namespace kx3
