#include "RecordTableModel.h"

#include "core/table/RecordTable.h"

#include <QHash>

namespace kx3 {

RecordTableModel::RecordTableModel(QObject *parent) : QAbstractTableModel(parent) {}

std::vector<int> RecordTableModel::recordsOf(const std::vector<int> &rows) const
{
    std::vector<int> records;
    records.reserve(rows.size());
    for (int row : rows)
        records.push_back(mTable->record(row));
    return records;
}

void RecordTableModel::setTable(const RecordTable *table, std::vector<int> rows)
{
    beginResetModel();
    mTable = table;
    mRows = table ? std::move(rows) : std::vector<int>();
    mRecords = recordsOf(mRows);
    endResetModel();
}

// A layout change rather than a reset: the header keeps its moved and hidden
// columns, and the selection is carried over record by record.
void RecordTableModel::setRows(std::vector<int> rows)
{
    if (!mTable)
        return;
    Q_EMIT layoutAboutToBeChanged({}, QAbstractItemModel::VerticalSortHint);
    const QModelIndexList from = persistentIndexList();
    std::vector<int> records = recordsOf(rows);
    QHash<int, int> placeOf; // record -> new row, for the records held
    for (const QModelIndex &index : from) {
        if (std::size_t(index.row()) < mRecords.size())
            placeOf.insert(mRecords[std::size_t(index.row())], -1);
    }
    if (!placeOf.isEmpty()) {
        for (int row = 0; row < int(records.size()); ++row) {
            const auto held = placeOf.find(records[std::size_t(row)]);
            if (held != placeOf.end() && held.value() < 0)
                held.value() = row;
        }
    }
    QModelIndexList to;
    to.reserve(from.size());
    for (const QModelIndex &index : from) {
        const int row = std::size_t(index.row()) < mRecords.size()
                            ? placeOf.value(mRecords[std::size_t(index.row())], -1)
                            : -1;
        to.append(row < 0 ? QModelIndex() : createIndex(row, index.column()));
    }
    mRows = std::move(rows);
    mRecords = std::move(records);
    changePersistentIndexList(from, to);
    Q_EMIT layoutChanged({}, QAbstractItemModel::VerticalSortHint);
}

int RecordTableModel::rowCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : int(mRows.size());
}

int RecordTableModel::columnCount(const QModelIndex &parent) const
{
    return parent.isValid() || !mTable ? 0 : int(mTable->columns().size());
}

QVariant RecordTableModel::data(const QModelIndex &index, int role) const
{
    // Between a table read again and its new rows, a row may be gone.
    if (!mTable || !index.isValid() || index.row() >= int(mRows.size())
        || mRows[std::size_t(index.row())] >= mTable->rowCount())
        return {};
    switch (role) {
    case Qt::DisplayRole:
    case Qt::EditRole: return mTable->text(mRows[std::size_t(index.row())], index.column());
    case Qt::TextAlignmentRole:
        if (mTable->columns()[std::size_t(index.column())].type == TableColumn::Number)
            return int(Qt::AlignRight | Qt::AlignVCenter);
        return int(Qt::AlignLeft | Qt::AlignVCenter);
    default: return {};
    }
}

QVariant RecordTableModel::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (orientation != Qt::Horizontal || role != Qt::DisplayRole || !mTable
        || section >= int(mTable->columns().size()))
        return {};
    return mTable->columns()[std::size_t(section)].name;
}

Qt::ItemFlags RecordTableModel::flags(const QModelIndex &index) const
{
    Qt::ItemFlags flags = QAbstractTableModel::flags(index);
    if (mTable && index.isValid() && mTable->columns()[std::size_t(index.column())].editable)
        flags |= Qt::ItemIsEditable;
    return flags;
}

// A box left as it was is no edit: it would make a step that changes nothing.
bool RecordTableModel::setData(const QModelIndex &index, const QVariant &value, int role)
{
    if (role != Qt::EditRole || !mEditor || !(flags(index) & Qt::ItemIsEditable)
        || index.row() >= int(mRows.size()))
        return false;
    const QString text = value.toString();
    if (text == data(index, Qt::EditRole).toString())
        return false;
    return mEditor(mRows[std::size_t(index.row())], index.column(), text);
}

} // namespace kx3
