#include "core/records/DeleteRecords.h"

#include "core/db/Database.h"
#include "core/db/LittleEndian.h"
#include "core/db/SetupLines.h"
#include "core/layout/ClubRecord.h"
#include "core/layout/HistoryRecord.h"
#include "core/layout/OfficialRecord.h"
#include "core/layout/PersonRecord.h"
#include "core/lookup/Lookups.h"
#include "core/lookup/MiscEntries.h"
#include "core/lookup/NameTables.h"

#include <algorithm>
#include <cstring>
#include <vector>

namespace kx3 {

namespace {

namespace LE = LittleEndian;

/// A byte range of an image to cut out.
struct Cut
{
    qint64 offset;
    qint64 length;
};

/// Removes `cuts` (ascending, not overlapping) from `bytes` in place, moving
/// each stretch between them down once.
void removeRanges(QByteArray &bytes, const std::vector<Cut> &cuts)
{
    if (cuts.empty())
        return;
    char *data = bytes.data();
    qint64 write = cuts.front().offset;
    for (std::size_t i = 0; i < cuts.size(); ++i) {
        const qint64 from = cuts[i].offset + cuts[i].length;
        const qint64 to = i + 1 < cuts.size() ? cuts[i + 1].offset : bytes.size();
        if (to > from)
            std::memmove(data + write, data + from, std::size_t(to - from));
        write += to - from;
    }
    bytes.truncate(write);
}

/// The rule for every reference into a table that lost record `removed`.
std::int32_t renumbered(std::int32_t v, std::int32_t removed)
{
    if (v == removed)
        return -1;
    return v > removed ? v - 1 : v;
}

void renumberField(QByteArray &bytes, qint64 at, std::int32_t removed)
{
    const std::int32_t v = LE::i32(bytes, at);
    if (v >= removed)
        LE::setI32(bytes, at, renumbered(v, removed));
}

void renumberIds(QByteArray &bytes, qint64 tableOffset, int recordSize, qint64 first, qint64 end)
{
    for (qint64 x = first; x < end; ++x)
        LE::setI32(bytes, tableOffset + x * recordSize, std::int32_t(x));
}

bool countersDescribe(const StaffCounters &c, qint64 staffSize)
{
    return c.persons >= 0 && c.staffAttributes >= 0 && c.playerAttributes >= 0
           && qint64(c.staffOffset) == qint64(c.persons) * RecordSize::Person
           && qint64(c.playerOffset)
                  == qint64(c.staffOffset)
                         + qint64(c.staffAttributes) * RecordSize::StaffAttributes
           && qint64(c.playerOffset) + qint64(c.playerAttributes) * RecordSize::PlayerAttributes
                  <= staffSize;
}

/// Removes the person and his attribute records from staff.dat and renumbers
/// what staff.dat holds: ids, attribute indices and person relationship slots.
void removeFromStaff(Database &db, std::int32_t d)
{
    StaffCounters &c = db.counters();
    DataImage &image = db.image(DataFile::Staff);
    QByteArray bytes = image.takeBytes();
    const qint64 at = qint64(d) * RecordSize::Person;
    const std::int32_t k = LE::i32(bytes, at + PersonField::PlayerAttributes.offset);
    const std::int32_t j = LE::i32(bytes, at + PersonField::StaffAttributes.offset);
    const bool hasPlayer = k >= 0 && k < c.playerAttributes;
    const bool hasStaff = j >= 0 && j < c.staffAttributes;

    std::vector<Cut> cuts{{at, RecordSize::Person}};
    if (hasStaff)
        cuts.push_back({c.staffOffset + qint64(j) * RecordSize::StaffAttributes,
                        RecordSize::StaffAttributes});
    if (hasPlayer)
        cuts.push_back({c.playerOffset + qint64(k) * RecordSize::PlayerAttributes,
                        RecordSize::PlayerAttributes});
    removeRanges(bytes, cuts);

    c.persons -= 1;
    c.staffAttributes -= hasStaff ? 1 : 0;
    c.playerAttributes -= hasPlayer ? 1 : 0;
    c.staffOffset = c.persons * RecordSize::Person;
    c.playerOffset = c.staffOffset + c.staffAttributes * RecordSize::StaffAttributes;

    const int personSlots[] = {
        PersonField::Relationships.at(PersonRelationship::FavouritePersons).offset,
        PersonField::Relationships.at(PersonRelationship::FavouritePersons + 1).offset,
        PersonField::Relationships.at(PersonRelationship::FavouritePersons + 2).offset,
        PersonField::Relationships.at(PersonRelationship::DislikedPersons).offset,
        PersonField::Relationships.at(PersonRelationship::DislikedPersons + 1).offset,
        PersonField::Relationships.at(PersonRelationship::DislikedPersons + 2).offset,
    };
    for (qint64 i = 0; i < c.persons; ++i) {
        const qint64 p = i * RecordSize::Person;
        if (i >= d)
            LE::setI32(bytes, p + PersonField::Id.offset, std::int32_t(i));
        if (hasPlayer)
            renumberField(bytes, p + PersonField::PlayerAttributes.offset, k);
        if (hasStaff)
            renumberField(bytes, p + PersonField::StaffAttributes.offset, j);
        for (int slot : personSlots)
            renumberField(bytes, p + slot, d);
    }
    if (hasStaff)
        renumberIds(bytes, c.staffOffset, RecordSize::StaffAttributes, j, c.staffAttributes);
    if (hasPlayer)
        renumberIds(bytes, c.playerOffset, RecordSize::PlayerAttributes, k, c.playerAttributes);
    image.setBytes(std::move(bytes));
}

/// Renumbers the person references of every record of the club image, the
/// national teams included: their slots hold persons just like a club's.
void renumberClubs(Database &db, std::int32_t d)
{
    DataImage &image = db.clubs();
    QByteArray bytes = image.takeBytes();
    const qint64 total = bytes.size() / RecordSize::Club;
    for (qint64 r = 0; r < total; ++r) {
        const qint64 at = r * RecordSize::Club;
        for (int s = 0; s < ClubRelationship::RivalClubs; ++s)
            renumberField(bytes, at + ClubField::Relationships.at(s).offset, d);
        for (int s = 0; s < ClubSlots::Count; ++s)
            renumberField(bytes, at + ClubField::PositionSlots.at(s).offset, d);
    }
    image.setBytes(std::move(bytes));
}

/// Drops the person's history records and renumbers the rest in one pass:
/// each kept record moves down once, takes its new position as id and its
/// person index after the rule. Bytes behind the last whole record stay last.
void removeHistory(Database &db, std::int32_t d)
{
    DataImage &image = db.image(DataFile::StaffHistory);
    QByteArray bytes = image.takeBytes();
    const qint64 count = bytes.size() / RecordSize::History;
    char *data = bytes.data();
    qint64 kept = 0;
    for (qint64 r = 0; r < count; ++r) {
        const qint64 from = r * RecordSize::History;
        const std::int32_t p = LE::i32(bytes, from + HistoryField::Person.offset);
        if (p == d)
            continue;
        const qint64 to = kept * RecordSize::History;
        if (to != from)
            std::memmove(data + to, data + from, RecordSize::History);
        LE::setI32(bytes, to + HistoryField::Id.offset, std::int32_t(kept));
        if (p > d)
            LE::setI32(bytes, to + HistoryField::Person.offset, p - 1);
        ++kept;
    }
    bytes.remove(kept * RecordSize::History, (count - kept) * RecordSize::History);
    image.setBytes(std::move(bytes));
}

} // namespace

QString deletedMessage(const char *kind)
{
    return QStringLiteral("The %1 has been successfuly deleted.").arg(QLatin1String(kind));
}

QString refuseClubDeletion()
{
    return QStringLiteral("For integrity reason, club deletion is not allowed");
}

namespace {

/// What a person leaves behind outside the tables a deletion renumbers: the
/// name entries and the nation that count him, and the misc lines naming him.
struct PersonTraces
{
    std::array<std::int32_t, 3> names{};
    std::int32_t nationality = -1;
    std::int32_t club = -1;
    MiscIdentity identity;

    static PersonTraces of(const Database &db, const ConstPersonRecord &p)
    {
        PersonTraces t;
        t.names = {p.firstName(), p.secondName(), p.commonName()};
        t.nationality = p.nationality();
        t.club = p.club();
        t.identity = {{FirstNameText(db, p.firstName()), CommonNameText(db, p.commonName()),
                       SecondNameText(db, p.secondName())},
                      p.club() >= 0 ? ClubLongName(db, p.club()) : QByteArray()};
        return t;
    }

    /// Another person the misc lines would name as well: same names, same club.
    bool sharedBy(const Database &db, const ConstPersonRecord &p) const
    {
        if (p.club() != club)
            return false;
        return FirstNameText(db, p.firstName()) == identity.names.firstName
               && SecondNameText(db, p.secondName()) == identity.names.secondName
               && CommonNameText(db, p.commonName()) == identity.names.commonName;
    }
};

void removeTraces(Database &db, const PersonTraces &traces)
{
    recountNameUsage(db, NameTable::First, traces.names[0]);
    recountNameUsage(db, NameTable::Second, traces.names[1]);
    recountNameUsage(db, NameTable::Common, traces.names[2]);
    RecountNationPersons(db, traces.nationality);
    // A namesake at the same club owns the same lines: they stay his.
    for (int i = 0; i < personCount(db); ++i) {
        if (traces.sharedBy(db, *person(std::as_const(db), i)))
            return;
    }
    removeMiscEntries(db.setupLines(), traces.identity);
    // A line the game skips may have become the last; a load would drop it.
    dropUnreadSetupLines(db.setupLines());
}

} // namespace

bool deletePerson(Database &db, int index)
{
    const StaffCounters &c = db.counters();
    if (index < 0 || index >= c.persons
        || !countersDescribe(c, db.image(DataFile::Staff).size())) {
        return false;
    }
    const PersonTraces traces = PersonTraces::of(db, *person(std::as_const(db), index));
    removeFromStaff(db, index);
    db.noteMoved(RecordKind::Person, index, -1);
    renumberClubs(db, index);
    removeHistory(db, index);
    removeTraces(db, traces);
    return true;
}

bool deleteOfficial(Database &db, int index)
{
    DataImage &image = db.image(DataFile::Officials);
    const qsizetype count = image.recordCount(RecordSize::Official);
    if (index < 0 || index >= count)
        return false;
    image.remove(qsizetype(index) * RecordSize::Official, RecordSize::Official);
    db.noteMoved(RecordKind::Official, index, -1);
    for (qsizetype x = index; x < count - 1; ++x)
        image.setI32(x * RecordSize::Official + OfficialField::Id.offset, std::int32_t(x));
    return true;
}

} // namespace kx3
