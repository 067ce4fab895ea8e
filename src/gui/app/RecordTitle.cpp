#include "RecordTitle.h"

#include "core/layout/ClubRecord.h"
#include "core/db/Cp1252.h"
#include "core/db/Database.h"
#include "core/lookup/NameTables.h"
#include "core/layout/NationRecord.h"
#include "core/layout/PersonRecord.h"
#include "core/layout/CityRecord.h"
#include "core/layout/OfficialRecord.h"
#include "core/layout/StadiumRecord.h"

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

QString personName(const Database &db, const DataImage &image, qint64 offset, int recordSize,
                   int firstField, int secondField)
{
    if (!holdsRecord(image, offset, recordSize))
        return {};
    return fromCp1252(FirstNameText(db, image.i32(offset + firstField)) + ' '
                      + SecondNameText(db, image.i32(offset + secondField)));
}

QString personTitle(const Database &db, qint64 offset)
{
    if (offset / RecordSize::Person >= db.counters().persons)
        return {};
    return personName(db, db.image(DataFile::Staff), offset, RecordSize::Person,
                      PersonField::FirstName.offset, PersonField::SecondName.offset);
}

QString clubTitle(const Database &db, qint64 offset)
{
    if (!holdsRecord(db.clubs(), offset, RecordSize::Club))
        return {};
    QByteArray name = fieldText(db.clubs(), offset, RecordSize::Club, ClubField::LongName);
    if (clubKind(db, offset / RecordSize::Club) == ClubKind::Under21Team)
        name += Under21Suffix;
    return fromCp1252(name);
}

QString nationTitle(const Database &db, qint64 offset)
{
    return fromCp1252(
        fieldText(db.image(DataFile::Nation), offset, RecordSize::Nation, NationField::LongName));
}

QString cityTitle(const Database &db, qint64 offset)
{
    return fromCp1252(
        fieldText(db.image(DataFile::City), offset, RecordSize::City, CityField::Name));
}

QString stadiumTitle(const Database &db, qint64 offset)
{
    return fromCp1252(
        fieldText(db.image(DataFile::Stadium), offset, RecordSize::Stadium, StadiumField::Name));
}

QString officialTitle(const Database &db, qint64 offset)
{
    return personName(db, db.image(DataFile::Officials), offset, RecordSize::Official,
                      OfficialField::FirstName.offset, OfficialField::SecondName.offset);
}

// In the order of EditorScreen.
constexpr QString (*Titles[EditorScreenCount])(const Database &, qint64) = {
    personTitle, personTitle, clubTitle, nationTitle, cityTitle, stadiumTitle, officialTitle};

} // namespace

QString recordTitle(const Database &db, EditorScreen screen, qint64 offset)
{
    return Titles[std::size_t(screen)](db, offset);
}

} // namespace kx3
