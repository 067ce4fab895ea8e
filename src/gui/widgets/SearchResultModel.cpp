#include "SearchResultModel.h"

#include "CollationKeys.h"
#include "core/db/Cp1252.h"

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

namespace {

/// A row's place in the sort, by eight bytes of its key at a time: one number
/// settles most comparisons without touching the keys, and rows whose keys
/// agree so far are sorted again on their next eight bytes.
struct SortEntry
{
    quint64 chunk;     ///< the key's bytes at the current depth, zero padded
    quint32 chunkSize; ///< how many of them the key has (8: it may go on)
    quint32 row;

    bool operator<(const SortEntry &other) const
    {
        // A key that ends within the chunk is a prefix of a longer one with
        // the same padded bytes, and comes first; equal keys keep row order.
        if (chunk != other.chunk)
            return chunk < other.chunk;
        if (chunkSize != other.chunkSize)
            return chunkSize < other.chunkSize;
        return row < other.row;
    }
};

class KeySorter
{
public:
    KeySorter(const std::string &keys, const std::vector<std::size_t> &starts)
        : mKeys(keys), mStarts(starts)
    {
    }

    void sort(SortEntry *begin, SortEntry *end, std::size_t depth) const
    {
        for (SortEntry *e = begin; e != end; ++e)
            load(*e, depth);
        std::sort(begin, end);
        for (SortEntry *run = begin; run != end;) {
            SortEntry *next = run + 1;
            while (next != end && next->chunk == run->chunk && next->chunkSize == run->chunkSize)
                ++next;
            if (run->chunkSize == 8 && next - run > 1)
                sort(run, next, depth + 8);
            run = next;
        }
    }

private:
    void load(SortEntry &e, std::size_t depth) const
    {
        const std::size_t start = mStarts[e.row] + depth;
        const std::size_t end = mStarts[e.row + 1];
        const std::size_t size = start < end ? std::min<std::size_t>(8, end - start) : 0;
        quint64 chunk = 0;
        for (std::size_t i = 0; i < 8; ++i)
            chunk = (chunk << 8) | (i < size ? quint8(mKeys[start + i]) : 0u);
        e.chunk = chunk;
        e.chunkSize = quint32(size);
    }

    const std::string &mKeys;
    const std::vector<std::size_t> &mStarts;
};

} // namespace

void SearchResultModel::setRows(const SearchRows &rows)
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
    std::vector<SortEntry> order(found.size());
    for (std::size_t i = 0; i < found.size(); ++i)
        order[i].row = quint32(i);
    KeySorter(keys, keyStart).sort(order.data(), order.data() + order.size(), 0);

    std::vector<Row> sorted;
    sorted.reserve(found.size());
    for (const SortEntry &e : order)
        sorted.push_back(found[e.row]);

    beginResetModel();
    mNames = std::move(names);
    mRows = std::move(sorted);
    endResetModel();
}

void SearchResultModel::clear()
{
    beginResetModel();
    mRows.clear();
    mNames.clear();
    endResetModel();
}

qint64 SearchResultModel::offsetAt(int row) const
{
    return row >= 0 && std::size_t(row) < mRows.size() ? mRows[std::size_t(row)].offset : -1;
}

QString SearchResultModel::nameAt(int row) const
{
    if (row < 0 || std::size_t(row) >= mRows.size())
        return {};
    const Row &r = mRows[std::size_t(row)];
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
    // Never shown; they name the columns for accessibility tools.
    if (orientation != Qt::Horizontal || role != Qt::DisplayRole)
        return {};
    return section == NameColumn ? QStringLiteral("Name") : QStringLiteral("Offset");
}

} // namespace kx3
