#include "SearchResultModel.h"

#include "core/db/Cp1252.h"

#include <QCollatorSortKey>

#include <algorithm>
#include <numeric>

namespace kx3 {

SearchResultModel::SearchResultModel(QObject *parent) : QAbstractTableModel(parent)
{
    setSortLocale(QLocale(), Qt::CaseSensitive);
}

void SearchResultModel::setSortLocale(const QLocale &locale, Qt::CaseSensitivity caseSensitivity)
{
    // A fresh collator with every option set: changing a copied collator
    // would lose the copy's other settings.
    QCollator collator(locale);
    collator.setCaseSensitivity(caseSensitivity);
    collator.setNumericMode(false);
    collator.setIgnorePunctuation(false);
    mCollator = collator;
}

void SearchResultModel::setRows(const SearchRows &rows)
{
    std::vector<Row> converted;
    converted.reserve(rows.size());
    for (const SearchRow &r : rows)
        converted.push_back(Row{fromCp1252(r.name), r.offset});

    // One sort key per row instead of a collation per comparison: a search
    // may list every person of the database.
    std::vector<QCollatorSortKey> keys;
    keys.reserve(converted.size());
    for (const Row &r : converted)
        keys.push_back(mCollator.sortKey(r.name));
    std::vector<std::size_t> order(converted.size());
    std::iota(order.begin(), order.end(), std::size_t(0));
    std::stable_sort(order.begin(), order.end(), [&keys](std::size_t a, std::size_t b) {
        return keys[a].compare(keys[b]) < 0;
    });

    std::vector<Row> sorted;
    sorted.reserve(converted.size());
    for (std::size_t i : order)
        sorted.push_back(std::move(converted[i]));

    beginResetModel();
    mRows = std::move(sorted);
    endResetModel();
}

void SearchResultModel::clear()
{
    beginResetModel();
    mRows.clear();
    endResetModel();
}

qint64 SearchResultModel::offsetAt(int row) const
{
    return row >= 0 && std::size_t(row) < mRows.size() ? mRows[std::size_t(row)].offset : -1;
}

QString SearchResultModel::nameAt(int row) const
{
    return row >= 0 && std::size_t(row) < mRows.size() ? mRows[std::size_t(row)].name : QString();
}

int SearchResultModel::rowCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : int(mRows.size());
}

int SearchResultModel::columnCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : ColumnCount;
}

QVariant SearchResultModel::data(const QModelIndex &index, int role) const
{
    if (!index.isValid() || index.row() >= rowCount())
        return {};
    const Row &row = mRows[std::size_t(index.row())];
    switch (role) {
    case Qt::DisplayRole:
    case Qt::ToolTipRole:
        if (index.column() == NameColumn)
            return row.name;
        return QString::number(row.offset);
    case OffsetRole: return row.offset;
    default: return {};
    }
}

QVariant SearchResultModel::headerData(int section, Qt::Orientation orientation, int role) const
{
    // Never shown; they name the columns for accessibility tools.
    if (orientation != Qt::Horizontal || role != Qt::DisplayRole)
        return {};
    return section == NameColumn ? QStringLiteral("Name") : QStringLiteral("Offset");
}

} // namespace kx3
