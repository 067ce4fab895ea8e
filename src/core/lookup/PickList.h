#pragma once

#include <QByteArray>
#include <QCollatorSortKey>
#include <QList>
#include <QLocale>
#include <QString>

#include <vector>

namespace kx3 {

class Database;

/// Record names sorted for a choice box, each remembering its record index.
///
/// Every entry reads as name "|" index "|" (Northgate|12|) and the list is kept
/// ascending by that whole text, ignoring case, in the collation of a locale.
/// Names stay bytes: only the sorting decodes them, as Windows-1252, with the
/// five bytes that code leaves undefined taken as the control characters
/// U+0081, U+008D, U+008F, U+0090 and U+009D, so no byte is ever lost.
/// Entries that collate equal are ordered by their bytes and then by index,
/// so the order never depends on the order the entries came in.
///
/// The entry of a record is found by its index, not by searching the texts, so
/// a name that itself contains "|" cannot be mistaken for another record.
class PickList
{
public:
    explicit PickList(const QLocale &locale = QLocale());

    /// One entry per name, record index = position in `names`.
    static PickList fromNames(const QList<QByteArray> &names, const QLocale &locale = QLocale());
    /// One entry per stadium of stadium.dat.
    static PickList fromStadiums(const Database &db, const QLocale &locale = QLocale());
    /// One entry per city of city.dat.
    static PickList fromCities(const Database &db, const QLocale &locale = QLocale());

    int size() const { return int(mEntries.size()); }
    bool isEmpty() const { return mEntries.empty(); }
    QLocale locale() const { return mLocale; }

    /// Name part of the entry at `position`; empty outside the list.
    QByteArray nameAt(int position) const;
    /// Record index of the entry at `position`; -2 outside the list.
    int indexAt(int position) const;
    /// The whole entry text name|index| at `position`; empty outside the list.
    QByteArray entryAt(int position) const;
    /// Every entry text, in list order.
    QList<QByteArray> entries() const;

    /// Items of a choice box: "<none>", then the names in list order.
    QList<QByteArray> items() const;

    /// Position of the entry of record `recordIndex`, or -1 (every negative
    /// index and every index without an entry).
    int position(int recordIndex) const;
    /// Record index behind a choice box item: -2 for item 0 "<none>" and for an
    /// item outside the box (no selection), else the index of entry item - 1.
    int recordIndex(int item) const;

    /// Adds an entry at its sorted position and returns that position.
    int add(const QByteArray &name, int recordIndex);
    /// Gives the entry of `recordIndex` a new name and moves it to its sorted
    /// position; false when the record has no entry.
    bool rename(int recordIndex, const QByteArray &name);

    /// Case-folding sort text of a name: the bytes decoded as Windows-1252.
    static QString decode(const QByteArray &bytes);

private:
    struct Entry
    {
        QByteArray name;
        int index;
        QByteArray text;
        QCollatorSortKey key;
    };

    static bool before(const Entry &a, const Entry &b);

    QLocale mLocale;
    std::vector<Entry> mEntries;
    /// Position of each record index, made when first asked for after a
    /// change: a reader of every club asks once per stadium box.
    mutable std::vector<int> mPositions;
};

/// Position of the pick list entry of a record, or -1; a screen selects item
/// position + 1, so a missing record shows "<none>".
inline int PickListPosition(const PickList &list, int recordIndex)
{
    return list.position(recordIndex);
}

/// Record index behind a choice box item filled from a pick list; -2 for "<none>".
inline int PickListRecordIndex(const PickList &list, int item)
{
    return list.recordIndex(item);
}

} // namespace kx3
