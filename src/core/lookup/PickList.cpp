#include "core/lookup/PickList.h"

#include "core/db/Cp1252.h"
#include "core/db/Database.h"
#include "core/layout/CityRecord.h"
#include "core/layout/StadiumRecord.h"

#include "core/lookup/CollationKeys.h"

#include <QCollator>

#include <algorithm>

namespace kx3 {

namespace {

// Every option is set on a collator built here: with Qt 6.4 a collator that
// was copied loses its other settings when one setter is called on it.
void configure(QCollator &collator)
{
    collator.setCaseSensitivity(Qt::CaseInsensitive);
    collator.setNumericMode(false);
    collator.setIgnorePunctuation(false);
}

QByteArray entryText(const QByteArray &name, int index)
{
    return name + '|' + QByteArray::number(index) + '|';
}

} // namespace

PickList::PickList(const QLocale &locale) : mLocale(collationLocale(locale)) {}

QString PickList::decode(const QByteArray &bytes)
{
    return fromCp1252(bytes);
}

PickList PickList::fromNames(const QList<QByteArray> &names, const QLocale &locale)
{
    QCollator collator(collationLocale(locale));
    configure(collator);
    PickList list(locale);
    list.mEntries.reserve(names.size());
    for (int i = 0; i < names.size(); ++i) {
        const QByteArray text = entryText(names[i], i);
        list.mEntries.push_back({names[i], i, text, collator.sortKey(decode(text))});
    }
    std::sort(list.mEntries.begin(), list.mEntries.end(), before);
    return list;
}

PickList PickList::fromStadiums(const Database &db, const QLocale &locale)
{
    QList<QByteArray> names;
    const int count = stadiumCount(db);
    names.reserve(count);
    for (int i = 0; i < count; ++i)
        names.append(stadium(db, i)->name());
    return fromNames(names, locale);
}

PickList PickList::fromCities(const Database &db, const QLocale &locale)
{
    QList<QByteArray> names;
    const int count = cityCount(db);
    names.reserve(count);
    for (int i = 0; i < count; ++i)
        names.append(city(db, i)->name());
    return fromNames(names, locale);
}

QByteArray PickList::nameAt(int position) const
{
    return position >= 0 && position < size() ? mEntries[position].name : QByteArray();
}

int PickList::indexAt(int position) const
{
    return position >= 0 && position < size() ? mEntries[position].index : -2;
}

QByteArray PickList::entryAt(int position) const
{
    return position >= 0 && position < size() ? mEntries[position].text : QByteArray();
}

QList<QByteArray> PickList::entries() const
{
    QList<QByteArray> texts;
    texts.reserve(size());
    for (const Entry &e : mEntries)
        texts.append(e.text);
    return texts;
}

QList<QByteArray> PickList::items() const
{
    QList<QByteArray> texts;
    texts.reserve(size() + 1);
    texts.append(QByteArrayLiteral("<none>"));
    for (const Entry &e : mEntries)
        texts.append(e.name);
    return texts;
}

int PickList::position(int recordIndex) const
{
    if (recordIndex < 0)
        return -1;
    if (mPositions.empty() && !mEntries.empty()) {
        int highest = 0;
        for (const Entry &e : mEntries)
            highest = std::max(highest, e.index);
        mPositions.assign(std::size_t(highest) + 1, -1);
        // The first entry of an index wins, as a search from the top found it.
        for (int i = size() - 1; i >= 0; --i) {
            if (mEntries[std::size_t(i)].index >= 0)
                mPositions[std::size_t(mEntries[std::size_t(i)].index)] = i;
        }
    }
    return std::size_t(recordIndex) < mPositions.size() ? mPositions[std::size_t(recordIndex)]
                                                        : -1;
}

int PickList::recordIndex(int item) const
{
    return item >= 1 && item <= size() ? mEntries[item - 1].index : -2;
}

int PickList::add(const QByteArray &name, int recordIndex)
{
    QCollator collator(mLocale);
    configure(collator);
    const QByteArray text = entryText(name, recordIndex);
    const Entry entry{name, recordIndex, text, collator.sortKey(decode(text))};
    const auto at = std::upper_bound(mEntries.begin(), mEntries.end(), entry, before);
    const int pos = int(at - mEntries.begin());
    mEntries.insert(at, entry);
    mPositions.clear();
    return pos;
}

bool PickList::rename(int recordIndex, const QByteArray &name)
{
    const int pos = position(recordIndex);
    if (pos < 0)
        return false;
    mEntries.erase(mEntries.begin() + pos);
    mPositions.clear();
    add(name, recordIndex);
    return true;
}

bool PickList::before(const Entry &a, const Entry &b)
{
    const int order = a.key.compare(b.key);
    if (order != 0)
        return order < 0;
    if (a.text != b.text)
        return a.text < b.text;
    return a.index < b.index;
}

} // namespace kx3
