#include "PersonTables.h"

#include "core/layout/CodeLists.h"
#include "core/layout/PersonRecord.h"
#include "core/layout/PlayerAttributes.h"
#include "core/layout/StaffAttributes.h"

#include <limits>

namespace kx3 {

namespace {

constexpr qint64 MaxCounter = std::numeric_limits<std::int32_t>::max();

/// End of the player attribute table: where the records stop, whatever follows.
qint64 recordsEnd(const StaffCounters &c)
{
    return qint64(c.playerOffset) + qint64(c.playerAttributes) * RecordSize::PlayerAttributes;
}

/// True when the tables can grow by `bytes` without a counter leaving 32 bits.
bool canGrow(const Database &db, qint64 bytes)
{
    return recordsEnd(db.counters()) + bytes <= MaxCounter;
}

QByteArray newPersonRecord(int index, NewPersonKind kind)
{
    DataImage bytes(QByteArray(RecordSize::Person, '\0'));
    PersonRecord p(&bytes, 0);
    const bool player = kind == NewPersonKind::NewPlayer;
    p.setId(index);
    p.setDateOfBirth(NewPersonDefaults::Unset);
    p.setNationality(-1);
    p.setSecondNationality(PersonNone::Nation);
    p.setNationalTeam(PersonNone::Club);
    p.setNationalJob(Job::Unemployed);
    p.setNationalContractEnd(NewPersonDefaults::NationalContractEnd);
    p.setClub(PersonNone::Club);
    // The job starts where the create screen starts. The class stays
    // "<unknown>" until the person owns the attribute record his class needs,
    // so that the tables are sound after every single step.
    p.setJob(player ? Job::Player : Job::Manager);
    p.setJoined(NewPersonDefaults::Joined);
    p.setContractEnd(NewPersonDefaults::Unset);
    p.setPlaysIn(1);
    p.setClassification(Classification::Unknown);
    for (int s = 0; s < PersonRelationship::Count; ++s) {
        p.setRelationship(s, PersonRelationship::isClubSlot(s) ? PersonNone::Club
                                                               : PersonNone::Person);
    }
    p.setPlayerAttributes(PersonNone::AttributeRecord);
    p.set(PersonField::Unused149, std::int32_t(-1));
    p.setStaffAttributes(PersonNone::AttributeRecord);
    return bytes.bytes();
}

QByteArray newPlayerAttributesRecord(int index)
{
    DataImage bytes(QByteArray(RecordSize::PlayerAttributes, '\0'));
    PlayerAttributes a(&bytes, 0);
    a.setId(index);
    a.set(PlayerAttributesField::Unused69, NewPlayerAttributesTrailer);
    return bytes.bytes();
}

QByteArray newStaffAttributesRecord(int index)
{
    DataImage bytes(QByteArray(RecordSize::StaffAttributes, '\0'));
    StaffAttributes a(&bytes, 0);
    a.setId(index);
    for (int i = 0; i < StaffAttributesField::Unused35.count; ++i)
        a.set(StaffAttributesField::Unused35.at(i), std::int32_t(-1));
    a.set(StaffAttributesField::Formation, NewStaffFormation);
    return bytes.bytes();
}

} // namespace

bool staffTablesConsistent(const Database &db)
{
    const StaffCounters &c = db.counters();
    if (c.persons < 0 || c.staffAttributes < 0 || c.playerAttributes < 0)
        return false;
    const qint64 os = qint64(c.persons) * RecordSize::Person;
    const qint64 op = os + qint64(c.staffAttributes) * RecordSize::StaffAttributes;
    return c.staffOffset == os && c.playerOffset == op && recordsEnd(c) <= MaxCounter
           && recordsEnd(c) <= db.image(DataFile::Staff).size();
}

std::optional<int> appendPerson(Database &db, NewPersonKind kind)
{
    if (!staffTablesConsistent(db) || !canGrow(db, RecordSize::Person))
        return std::nullopt;
    StaffCounters &c = db.counters();
    const int index = c.persons;
    // The new record goes where the staff attribute table starts; both
    // attribute tables and anything behind them move up.
    if (!db.image(DataFile::Staff).insert(c.staffOffset, newPersonRecord(index, kind)))
        return std::nullopt;
    c.persons += 1;
    db.noteMoved(RecordKind::Person, index, 1);
    c.staffOffset += RecordSize::Person;
    c.playerOffset += RecordSize::Person;
    return index;
}

std::optional<int> appendPlayerAttributes(Database &db, int personIndex)
{
    if (!staffTablesConsistent(db) || !canGrow(db, RecordSize::PlayerAttributes))
        return std::nullopt;
    std::optional<PersonRecord> p = person(db, personIndex);
    if (!p || playerAttributesOf(db, *p))
        return std::nullopt;
    StaffCounters &c = db.counters();
    const int index = c.playerAttributes;
    // At the end of the records, not of the file: bytes a file may carry
    // behind its last record must not shift the table out of step.
    if (!db.image(DataFile::Staff).insert(recordsEnd(c), newPlayerAttributesRecord(index)))
        return std::nullopt;
    p->setPlayerAttributes(index);
    c.playerAttributes += 1;
    return index;
}

std::optional<int> insertStaffAttributes(Database &db, int personIndex)
{
    if (!staffTablesConsistent(db) || !canGrow(db, RecordSize::StaffAttributes))
        return std::nullopt;
    std::optional<PersonRecord> p = person(db, personIndex);
    if (!p || staffAttributesOf(db, *p))
        return std::nullopt;
    StaffCounters &c = db.counters();
    const int index = c.staffAttributes;
    if (!db.image(DataFile::Staff).insert(c.playerOffset, newStaffAttributesRecord(index)))
        return std::nullopt;
    p->setStaffAttributes(index);
    c.staffAttributes += 1;
    c.playerOffset += RecordSize::StaffAttributes;
    return index;
}

bool removePlayerAttributes(Database &db, int personIndex)
{
    if (!staffTablesConsistent(db))
        return false;
    std::optional<PersonRecord> p = person(db, personIndex);
    if (!p || !playerAttributesOf(db, *p))
        return false;
    const std::int32_t removed = p->playerAttributes();
    StaffCounters &c = db.counters();
    DataImage &image = db.image(DataFile::Staff);
    if (!image.remove(playerAttributesOffset(db, removed), RecordSize::PlayerAttributes))
        return false;
    c.playerAttributes -= 1;
    for (int j = removed; j < c.playerAttributes; ++j) {
        if (std::optional<PlayerAttributes> a = playerAttributes(db, j))
            a->setId(j);
    }
    p->setPlayerAttributes(PersonNone::AttributeRecord);
    for (int i = 0; i < c.persons; ++i) {
        std::optional<PersonRecord> other = person(db, i);
        if (other && other->playerAttributes() > removed)
            other->setPlayerAttributes(other->playerAttributes() - 1);
    }
    return true;
}

std::optional<int> createPerson(Database &db, NewPersonKind kind)
{
    const bool player = kind == NewPersonKind::NewPlayer;
    const qint64 bytes =
        RecordSize::Person + (player ? RecordSize::PlayerAttributes : RecordSize::StaffAttributes);
    if (!staffTablesConsistent(db) || !canGrow(db, bytes))
        return std::nullopt;
    const std::optional<int> index = appendPerson(db, kind);
    if (!index)
        return std::nullopt;
    // Neither step below can fail once the person append succeeded on
    // consistent counters with room to grow.
    if (player)
        appendPlayerAttributes(db, *index);
    else
        insertStaffAttributes(db, *index);
    if (std::optional<PersonRecord> p = person(db, *index))
        p->setClassification(player ? Classification::Player : Classification::NonPlayer);
    return index;
}

} // namespace kx3
