#include "ChangeListModel.h"

namespace kx3 {

ChangeListModel::ChangeListModel(DatabaseDiff diff, QObject *parent)
    : QAbstractTableModel(parent), mDiff(std::move(diff))
{
    mRows.reserve(std::size_t(mDiff.rowCount()));
    for (int r = 0; r < int(mDiff.records.size()); ++r) {
        const RecordChange &change = mDiff.records[std::size_t(r)];
        if (change.type != RecordChange::Type::Changed) {
            mRows.emplace_back(r, -1);
            continue;
        }
        for (int f = 0; f < int(change.fields.size()); ++f)
            mRows.emplace_back(r, f);
    }
}

const RecordChange *ChangeListModel::recordAt(int row) const
{
    if (row < 0 || row >= int(mRows.size()))
        return nullptr;
    return &mDiff.records[std::size_t(mRows[std::size_t(row)].first)];
}

int ChangeListModel::rowCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : int(mRows.size());
}

int ChangeListModel::columnCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : ColumnCount;
}

QString ChangeListModel::text(int row, int column) const
{
    const auto [r, f] = mRows[std::size_t(row)];
    const RecordChange &change = mDiff.records[std::size_t(r)];
    if (column == RecordColumn)
        return change.title;
    if (f < 0) {
        if (column != FieldColumn)
            return QString();
        return change.type == RecordChange::Type::Added ? QStringLiteral("added")
                                                        : QStringLiteral("removed");
    }
    const FieldChange &field = change.fields[std::size_t(f)];
    switch (column) {
    case FieldColumn: return field.field;
    case OldColumn: return field.oldText;
    default: return field.newText;
    }
}

QVariant ChangeListModel::data(const QModelIndex &index, int role) const
{
    if (!index.isValid() || index.row() >= int(mRows.size()) || index.column() >= ColumnCount)
        return {};
    switch (role) {
    case Qt::DisplayRole: return text(index.row(), index.column());
    // A long text is cut off in its column; the tip shows it whole, and
    // names the kind of a record whose name alone could be a club's or a
    // person's.
    case Qt::ToolTipRole:
        if (index.column() == RecordColumn)
            return QString::fromLatin1(formKindName(recordAt(index.row())->kind));
        return text(index.row(), index.column());
    default: return {};
    }
}

QVariant ChangeListModel::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (orientation != Qt::Horizontal || role != Qt::DisplayRole)
        return {};
    switch (section) {
    case RecordColumn: return QStringLiteral("Record");
    case FieldColumn: return QStringLiteral("Field");
    case OldColumn: return QStringLiteral("Old");
    case NewColumn: return QStringLiteral("New");
    default: return {};
    }
}

} // namespace kx3
