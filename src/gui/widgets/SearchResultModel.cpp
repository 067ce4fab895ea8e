#include "SearchResultModel.h"

#include "core/db/Cp1252.h"
#include "core/document/Document.h"
#include "core/lookup/CollationKeys.h"

#include <algorithm>
#include <string>

namespace kx3 {

SearchResultModel::SearchResultModel(QObject *parent) : QAbstractTableModel(parent)
{
    setSortLocale(QLocale(), Qt::CaseSensitive);
}

void SearchResultModel::setSortLocale(const QLocale &locale, Qt::CaseSensitivity caseSensitivity)
{
    mLocale = locale;
    mCaseSensitivity = caseSensitivity;
}

SearchResultModel::SortedRows SearchResultModel::sorted(const SearchRows &rows) const
{
    std::vector<Row> found;
    found.reserve(rows.size());
    QByteArray names;
    qsizetype total = 0;
    for (const SearchRow &r : rows)
        total += r.name.size();
    names.reserve(total);
    for (const SearchRow &r : rows) {
        found.push_back(Row{r.offset, names.size(), r.name.size()});
        names.append(r.name);
    }

    // Every key is made once, into one block; equal names keep the search's
    // order because the row number decides last.
    const CollationKeys collation(mLocale, mCaseSensitivity);
    std::string keys;
    keys.reserve(std::size_t(total) * 3);
    std::vector<std::size_t> keyStart;
    keyStart.reserve(found.size() + 1);
    std::u16string text;
    for (const Row &r : found) {
        text.resize(std::size_t(r.nameLength));
        decodeCp1252(names.constData() + r.nameStart, r.nameLength, text.data());
        keyStart.push_back(keys.size());
        collation.append(text, keys);
    }
    keyStart.push_back(keys.size());
    const std::vector<quint32> order = keyOrder(keys, keyStart);

    SortedRows out;
    out.rows.reserve(found.size());
    for (const quint32 row : order)
        out.rows.push_back(found[row]);
    out.names = std::move(names);
    return out;
}

void SearchResultModel::setSortedRows(SortedRows rows)
{
    beginResetModel();
    mNames = std::move(rows.names);
    mRows = std::move(rows.rows);
    endResetModel();
}

void SearchResultModel::clear()
{
    beginResetModel();
    mRows.clear();
    mNames.clear();
    endResetModel();
}

void SearchResultModel::follow(const DocumentChange &change, RecordKind kind, int recordSize,
                               const std::function<QByteArray(int)> &name,
                               const std::function<bool(int)> &belongs)
{
    if (mRows.empty())
        return;
    if (change.isLoad()) {
        clear();
        return;
    }
    std::vector<int> gone;
    for (std::size_t row = 0; row < mRows.size(); ++row) {
        Row &r = mRows[row];
        const RecordRef now = change.follow({kind, int(r.offset / recordSize)});
        if (!now.valid()) {
            gone.push_back(int(row));
            continue;
        }
        r.offset = qint64(now.index) * recordSize;
        if (!change.touchesRecord(now))
            continue;
        if (belongs && !belongs(now.index))
            gone.push_back(int(row));
        else
            r.stale = true;
    }
    mNameOf = name;
    mRecordSize = recordSize;
    // Whatever is on view is painted again, and reads its names afresh.
    if (!mRows.empty())
        Q_EMIT dataChanged(index(0, 0), index(rowCount() - 1, ColumnCount - 1));
    for (auto it = gone.rbegin(); it != gone.rend(); ++it) {
        beginRemoveRows({}, *it, *it);
        mRows.erase(mRows.begin() + *it);
        endRemoveRows();
    }
}

qint64 SearchResultModel::offsetAt(int row) const
{
    return row >= 0 && std::size_t(row) < mRows.size() ? mRows[std::size_t(row)].offset : -1;
}

const SearchResultModel::Row &SearchResultModel::fresh(int row) const
{
    Row &r = mRows[std::size_t(row)];
    if (r.stale && mNameOf) {
        const QByteArray name = mNameOf(int(r.offset / mRecordSize));
        if (QByteArrayView(mNames).sliced(r.nameStart, r.nameLength) != name) {
            r.nameStart = mNames.size();
            r.nameLength = name.size();
            mNames.append(name);
        }
    }
    r.stale = false;
    return r;
}

QString SearchResultModel::nameAt(int row) const
{
    if (row < 0 || std::size_t(row) >= mRows.size())
        return {};
    const Row &r = fresh(row);
    return fromCp1252(mNames.constData() + r.nameStart, r.nameLength);
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
    const qint64 offset = mRows[std::size_t(index.row())].offset;
    switch (role) {
    case Qt::DisplayRole:
    case Qt::ToolTipRole:
        if (index.column() == NameColumn)
            return nameAt(index.row());
        return QString::number(offset);
    case OffsetRole: return offset;
    default: return {};
    }
}

QVariant SearchResultModel::headerData(int section, Qt::Orientation orientation, int role) const
{
    // The name column's header is shown over a search's results: it says how
    // many there are, grouped as the game writes its figures.
    if (orientation != Qt::Horizontal || role != Qt::DisplayRole)
        return {};
    if (section != NameColumn)
        return QStringLiteral("Offset");
    return QStringLiteral("%1 found")
        .arg(QLocale(QLocale::English, QLocale::UnitedStates).toString(rowCount()));
}

} // namespace kx3
