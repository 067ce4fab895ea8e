#include "core/lookup/NameTables.h"

#include "core/db/Database.h"
#include "core/layout/NameEntry.h"
#include "core/layout/OfficialRecord.h"
#include "core/layout/PersonRecord.h"

#include <algorithm>
#include <optional>

namespace kx3 {

namespace {

std::int32_t personNameField(const ConstPersonRecord &p, NameTable table)
{
    switch (table) {
    case NameTable::First: return p.firstName();
    case NameTable::Second: return p.secondName();
    case NameTable::Common: return p.commonName();
    }
    return -1;
}

bool setPersonNameField(PersonRecord &p, NameTable table, std::int32_t index)
{
    switch (table) {
    case NameTable::First: return p.setFirstName(index);
    case NameTable::Second: return p.setSecondName(index);
    case NameTable::Common: return p.setCommonName(index);
    }
    return false;
}

// Officials carry no common name: nothing to read or write for that table.
std::optional<std::int32_t> officialNameField(const ConstOfficialRecord &o, NameTable table)
{
    switch (table) {
    case NameTable::First: return o.firstName();
    case NameTable::Second: return o.secondName();
    case NameTable::Common: break;
    }
    return std::nullopt;
}

bool setOfficialNameField(OfficialRecord &o, NameTable table, std::int32_t index)
{
    switch (table) {
    case NameTable::First: return o.setFirstName(index);
    case NameTable::Second: return o.setSecondName(index);
    case NameTable::Common: break;
    }
    return false;
}

/// The target's current name field, or nothing when the target cannot hold one.
std::optional<std::int32_t> targetNameField(const Database &db, NameTable table, NameTarget target)
{
    if (target.kind == NameTarget::Kind::Person) {
        if (const auto p = person(db, target.index))
            return personNameField(*p, table);
        return std::nullopt;
    }
    if (const auto o = official(db, target.index))
        return officialNameField(*o, table);
    return std::nullopt;
}

bool setTargetNameField(Database &db, NameTable table, NameTarget target, std::int32_t index)
{
    if (target.kind == NameTarget::Kind::Person) {
        auto p = person(db, target.index);
        return p && setPersonNameField(*p, table, index);
    }
    auto o = official(db, target.index);
    return o && setOfficialNameField(*o, table, index);
}

struct UsageCounts
{
    int ofNew = 0;
    int ofOld = 0;

    void add(std::int32_t value, std::int32_t newIndex, std::int32_t oldIndex)
    {
        if (value == newIndex)
            ofNew = std::min(ofNew + 1, MaxUsageCount);
        if (value == oldIndex)
            ofOld = std::min(ofOld + 1, MaxUsageCount);
    }
};

UsageCounts countUsers(const Database &db, NameTable table, std::int32_t newIndex,
                       std::int32_t oldIndex)
{
    UsageCounts counts;
    const int persons = personCount(db);
    for (int i = 0; i < persons; ++i) {
        if (const auto p = person(db, i))
            counts.add(personNameField(*p, table), newIndex, oldIndex);
    }
    if (table == NameTable::Common)
        return counts;
    const int officials = officialCount(db);
    for (int i = 0; i < officials; ++i) {
        if (const auto o = official(db, i))
            counts.add(officialNameField(*o, table).value_or(-1), newIndex, oldIndex);
    }
    return counts;
}

/// Appends an entry and returns its index. A table whose size is not a whole
/// number of entries gets the entry behind its last whole one, so that the new
/// entry lies where its index says; the stray bytes stay behind it.
int appendName(DataImage &image, std::int32_t nationKey, const QByteArray &text)
{
    const int index = int(image.recordCount(RecordSize::NameEntry));
    image.insert(qsizetype(index) * RecordSize::NameEntry,
                 QByteArray(RecordSize::NameEntry, '\0'));
    auto entry = nameEntry(image, index);
    Q_ASSERT(entry);
    entry->setText(text);
    entry->setId(index);
    entry->setNationKey(nationKey);
    entry->setUsageCount(1);
    return index;
}

} // namespace

DataFile nameTableFile(NameTable table)
{
    switch (table) {
    case NameTable::First: return DataFile::FirstNames;
    case NameTable::Second: return DataFile::SecondNames;
    case NameTable::Common: return DataFile::CommonNames;
    }
    return DataFile::FirstNames;
}

int nameCount(const Database &db, NameTable table)
{
    return int(db.image(nameTableFile(table)).recordCount(RecordSize::NameEntry));
}

QByteArray nameText(const Database &db, NameTable table, int index)
{
    const auto entry = nameEntry(db.image(nameTableFile(table)), index);
    return entry ? entry->text() : QByteArray();
}

QByteArray FirstNameText(const Database &db, int index)
{
    return nameText(db, NameTable::First, index);
}

QByteArray SecondNameText(const Database &db, int index)
{
    return nameText(db, NameTable::Second, index);
}

QByteArray CommonNameText(const Database &db, int index)
{
    return nameText(db, NameTable::Common, index);
}

int FindName(const Database &db, NameTable table, std::int32_t nationKey, const QByteArray &text)
{
    const DataImage &image = db.image(nameTableFile(table));
    const int count = int(image.recordCount(RecordSize::NameEntry));
    for (int i = count - 1; i >= 0; --i) {
        const auto entry = nameEntry(image, i);
        if (entry && entry->nationKey() == nationKey && entry->text() == text)
            return i;
    }
    return -1;
}

int FindOrAddName(Database &db, NameTable table, std::int32_t nationKey, const QByteArray &text,
                  NameTarget target)
{
    const std::optional<std::int32_t> old = targetNameField(db, table, target);
    if (!old)
        return -1;
    if (nationKey == -1)
        nationKey = NoNationKey;
    const QByteArray name = text.left(NameEntryField::Text.capacity);

    DataImage &image = db.image(nameTableFile(table));
    int found = FindName(db, table, nationKey, name);
    if (found < 0)
        found = appendName(image, nationKey, name);
    setTargetNameField(db, table, target, found);

    const UsageCounts counts = countUsers(db, table, found, *old);
    nameEntry(image, found)->setUsageCount(counts.ofNew);
    if (*old != found) {
        if (auto previous = nameEntry(image, *old))
            previous->setUsageCount(counts.ofOld);
    }
    return found;
}

void recountNameUsage(Database &db, NameTable table, int index)
{
    auto entry = nameEntry(db.image(nameTableFile(table)), index);
    if (entry)
        entry->setUsageCount(countUsers(db, table, index, -1).ofNew);
}

} // namespace kx3
