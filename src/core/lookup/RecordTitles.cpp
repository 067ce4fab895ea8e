#include "core/lookup/RecordTitles.h"

#include "core/db/Database.h"
#include "core/layout/CityRecord.h"
#include "core/layout/ClubRecord.h"
#include "core/layout/NationRecord.h"
#include "core/layout/OfficialRecord.h"
#include "core/layout/PersonRecord.h"
#include "core/layout/StadiumRecord.h"
#include "core/lookup/NameTables.h"

namespace kx3 {

namespace {

bool holdsRecord(const DataImage &image, qint64 offset, int recordSize)
{
    return offset >= 0 && offset % recordSize == 0 && image.contains(offset, recordSize);
}

/// Text of a field of the record at `offset`, when the whole record is there.
QByteArray fieldText(const DataImage &image, qint64 offset, int recordSize, TextField field)
{
    if (!holdsRecord(image, offset, recordSize))
        return {};
    return image.text(offset + field.offset, field.capacity);
}

QByteArray personName(const Database &db, const DataImage &image, qint64 offset, int recordSize,
                      int firstField, int secondField)
{
    if (!holdsRecord(image, offset, recordSize))
        return {};
    return FirstNameText(db, image.i32(offset + firstField)) + ' '
           + SecondNameText(db, image.i32(offset + secondField));
}

} // namespace

QByteArray personTitle(const Database &db, int person)
{
    if (person < 0 || person >= db.counters().persons)
        return {};
    const qint64 offset = qint64(person) * RecordSize::Person;
    return personName(db, db.image(DataFile::Staff), offset, RecordSize::Person,
                      PersonField::FirstName.offset, PersonField::SecondName.offset);
}

QByteArray clubTitle(const Database &db, int club)
{
    const qint64 offset = qint64(club) * RecordSize::Club;
    if (!holdsRecord(db.clubs(), offset, RecordSize::Club))
        return {};
    QByteArray name = fieldText(db.clubs(), offset, RecordSize::Club, ClubField::LongName);
    if (clubKind(db, club) == ClubKind::Under21Team)
        name += Under21Suffix;
    return name;
}

QByteArray nationTitle(const Database &db, int nation)
{
    return fieldText(db.image(DataFile::Nation), qint64(nation) * RecordSize::Nation,
                     RecordSize::Nation, NationField::LongName);
}

QByteArray cityTitle(const Database &db, int city)
{
    return fieldText(db.image(DataFile::City), qint64(city) * RecordSize::City, RecordSize::City,
                     CityField::Name);
}

QByteArray stadiumTitle(const Database &db, int stadium)
{
    return fieldText(db.image(DataFile::Stadium), qint64(stadium) * RecordSize::Stadium,
                     RecordSize::Stadium, StadiumField::Name);
}

QByteArray officialTitle(const Database &db, int official)
{
    return personName(db, db.image(DataFile::Officials), qint64(official) * RecordSize::Official,
                      RecordSize::Official, OfficialField::FirstName.offset,
                      OfficialField::SecondName.offset);
}

QByteArray recordTitle(const Database &db, RecordKind kind, int index)
{
    switch (kind) {
    case RecordKind::Nation: return nationTitle(db, index);
    case RecordKind::City: return cityTitle(db, index);
    case RecordKind::Stadium: return stadiumTitle(db, index);
    case RecordKind::Club: return clubTitle(db, index);
    case RecordKind::Official: return officialTitle(db, index);
    case RecordKind::Person: return personTitle(db, index);
    case RecordKind::Misc: break;
    }
    return {};
}

} // namespace kx3
