#include "core/records/CreateRecords.h"

#include "core/db/Database.h"
#include "core/db/LittleEndian.h"
#include "core/layout/CityRecord.h"
#include "core/layout/ClubRecord.h"
#include "core/layout/HistoryRecord.h"
#include "core/layout/NationCompHistoryRecord.h"
#include "core/layout/OfficialRecord.h"
#include "core/layout/PersonRecord.h"
#include "core/layout/StadiumRecord.h"
#include "core/lookup/Lookups.h"
#include "core/lookup/NameTables.h"
#include "core/lookup/PickList.h"

#include <limits>

namespace kx3 {

namespace {

std::uint8_t flag(bool yes)
{
    return yes ? FlagYes : FlagNo;
}

/// Stores a check mark. Only 255 shows as checked, so a byte that already
/// reads as the mark (a 1 reads as unchecked) stays: a mark the user did not
/// change must not rewrite what the game stored.
template <typename Record>
void setFlag(Record &record, Field<std::uint8_t> field, bool yes)
{
    if ((record.get(field) == FlagYes) != yes)
        record.set(field, flag(yes));
}

/// Inserts a zeroed record behind the last whole record of `image` and returns
/// its index; bytes of a trailing partial record stay behind the new one, so
/// every record keeps lying where its index says.
int appendWholeRecord(DataImage &image, int recordSize)
{
    const qsizetype index = image.recordCount(recordSize);
    image.insert(index * recordSize, QByteArray(recordSize, '\0'));
    return int(index);
}

/// The record a new club starts as: its id, no nation, -1 in every
/// relationship and position slot and in the uninterpreted words, 255 at +579.
QByteArray newClubRecord(int index)
{
    DataImage record(QByteArray(RecordSize::Club, '\0'));
    ClubRecord c(&record, 0);
    c.setId(index);
    c.setNation(-2);
    for (int at = ClubField::Relationships.offset; at < ClubField::Unused579.offset; at += 4)
        record.setI32(at, -1);
    c.set(ClubField::Unused579, std::uint16_t(255));
    return record.bytes();
}

/// A club index after a club was inserted at `first`: one more from there on.
/// The largest value names no record and cannot move without overflowing; a
/// damaged file may hold it, and it stays.
std::int32_t shiftedClubIndex(std::int32_t v, std::int32_t first)
{
    return v >= first && v < std::numeric_limits<std::int32_t>::max() ? v + 1 : v;
}

/// Moves up by one every club index held outside the club image that points
/// at `first` or beyond: the records there each moved up by one.
void shiftClubReferences(Database &db, std::int32_t first)
{
    auto shifted = [first](std::int32_t v) { return shiftedClubIndex(v, first); };
    namespace LE = LittleEndian;

    DataImage &staffImage = db.image(DataFile::Staff);
    QByteArray staff = staffImage.takeBytes();
    const qint64 persons =
        std::min<qint64>(db.counters().persons, staff.size() / RecordSize::Person);
    static constexpr int ClubFields[] = {
        PersonField::NationalTeam.offset,
        PersonField::Club.offset,
        PersonField::Relationships.at(PersonRelationship::FavouriteClubs).offset,
        PersonField::Relationships.at(PersonRelationship::FavouriteClubs + 1).offset,
        PersonField::Relationships.at(PersonRelationship::FavouriteClubs + 2).offset,
        PersonField::Relationships.at(PersonRelationship::DislikedClubs).offset,
        PersonField::Relationships.at(PersonRelationship::DislikedClubs + 1).offset,
        PersonField::Relationships.at(PersonRelationship::DislikedClubs + 2).offset,
    };
    for (qint64 i = 0; i < persons; ++i) {
        for (int field : ClubFields) {
            const qint64 at = i * RecordSize::Person + field;
            const std::int32_t v = LE::i32(staff, at);
            if (shifted(v) != v)
                LE::setI32(staff, at, shifted(v));
        }
    }
    staffImage.setBytes(std::move(staff));

    DataImage &history = db.image(DataFile::StaffHistory);
    for (qsizetype h = 0; h < history.recordCount(RecordSize::History); ++h) {
        const qsizetype at = h * RecordSize::History + HistoryField::Club.offset;
        history.setI32(at, shifted(history.i32(at)));
    }

    // The competition history keeps 0 and below for no team.
    DataImage &comp = db.image(DataFile::NationCompHistory);
    for (qsizetype r = 0; r < comp.recordCount(RecordSize::NationCompHistory); ++r) {
        for (int t = 0; t < NationCompHistoryRecord::TeamCount; ++t) {
            const qsizetype at =
                r * RecordSize::NationCompHistory + NationCompHistoryField::Teams.at(t).offset;
            const std::int32_t v = comp.i32(at);
            if (v > 0)
                comp.setI32(at, shifted(v));
        }
    }
}

} // namespace

void writeClubValues(ClubRecord &club, const ClubValues &values)
{
    club.setLongName(values.longName);
    club.setShortName(values.shortName);
    club.setNation(values.nation);
    club.setDivision(values.division);
    club.setLastDivision(values.lastDivision);
    club.setLastPosition(values.lastPosition);
    club.setOtherDivision(values.otherDivision);
    club.setStatus(values.status);
    club.setCash(values.cash);
    club.setMainStadium(values.mainStadium);
    setFlag(club, ClubField::OwnStadium, values.ownStadium);
    club.setReserveStadium(values.reserveStadium);
    club.setHomeMatchDay(values.homeMatchDay);
    club.setAverageAttendance(values.averageAttendance);
    club.setMinimumAttendance(values.minimumAttendance);
    club.setMaximumAttendance(values.maximumAttendance);
    club.setTrainingFacility(values.trainingFacility);
    club.setReputation(values.reputation);
    setFlag(club, ClubField::Plc, values.plc);
    for (int k = 0; k < int(values.kitColours.size()); ++k)
        club.setKitColour(k, values.kitColours[std::size_t(k)]);
}

void writeCityValues(CityRecord &city, const CityValues &values)
{
    city.setName(values.name);
    city.setNation(values.nation);
    city.setLatitude(values.latitude);
    city.setLongitude(values.longitude);
    city.setAttraction(values.attraction);
    city.setClimate(values.climate);
}

void writeStadiumValues(StadiumRecord &stadium, const StadiumValues &values)
{
    stadium.setName(values.name);
    stadium.setCity(values.city);
    stadium.setCapacity(values.capacity);
    stadium.setSeating(values.seating);
    stadium.setExpansion(values.expansion);
    stadium.setNearby(values.nearby);
    setFlag(stadium, StadiumField::RetractableRoof, values.retractableRoof);
    setFlag(stadium, StadiumField::UnderSoilHeating, values.underSoilHeating);
}

void writeOfficialValues(OfficialRecord &official, const OfficialValues &values)
{
    official.setDateOfBirth(values.dateOfBirth);
    official.setNation(values.nation);
    official.setCity(values.city);
    official.setCurrentAbility(values.currentAbility);
    official.setPotentialAbility(values.potentialAbility);
    official.setCurrentReputation(values.currentReputation);
    for (int r = 0; r < int(values.ratings.size()); ++r)
        official.setCommonRating(r, values.ratings[std::size_t(r)]);
}

int insertClub(Database &db, ClubNameList &clubNames, const ClubValues &values)
{
    const int index = db.clubCount();
    const qsizetype offset = qsizetype(index) * RecordSize::Club;

    shiftClubReferences(db, index);

    DataImage &clubs = db.clubs();
    clubs.insert(offset, newClubRecord(index));
    db.noteMoved(RecordKind::Club, index, 1);
    namespace LE = LittleEndian;
    QByteArray bytes = clubs.takeBytes();
    const qint64 total = bytes.size() / RecordSize::Club;
    for (qint64 r = 0; r < total; ++r) {
        const qint64 at = r * RecordSize::Club;
        if (r > index)
            LE::setI32(bytes, at + ClubField::Id.offset, std::int32_t(r));
        for (int s = ClubRelationship::RivalClubs; s < ClubRelationship::Count; ++s) {
            const qint64 slot = at + ClubField::Relationships.at(s).offset;
            const std::int32_t v = LE::i32(bytes, slot);
            if (shiftedClubIndex(v, index) != v)
                LE::setI32(bytes, slot, shiftedClubIndex(v, index));
        }
    }
    clubs.setBytes(std::move(bytes));

    ClubRecord created(&clubs, offset);
    writeClubValues(created, values);
    db.image(DataFile::Club).insert(offset, clubs.read(offset, RecordSize::Club));
    clubNames.append(created.shortName());
    RecountNationClubs(db, values.nation);
    return index;
}

int appendCity(Database &db, PickList &cities, const CityValues &values)
{
    const int index = appendWholeRecord(db.image(DataFile::City), RecordSize::City);
    db.noteMoved(RecordKind::City, index, 1);
    CityRecord created = *city(db, index);
    created.setId(index);
    writeCityValues(created, values);
    cities.add(created.name(), index);
    return index;
}

int appendStadium(Database &db, PickList &stadiums, const StadiumValues &values)
{
    const int index = appendWholeRecord(db.image(DataFile::Stadium), RecordSize::Stadium);
    db.noteMoved(RecordKind::Stadium, index, 1);
    StadiumRecord created = *stadium(db, index);
    created.setId(index);
    StadiumValues stored = values;
    stored.nearby = -2;
    writeStadiumValues(created, stored);
    stadiums.add(created.name(), index);
    return index;
}

int appendOfficial(Database &db, const OfficialValues &values)
{
    const int index = appendWholeRecord(db.image(DataFile::Officials), RecordSize::Official);
    db.noteMoved(RecordKind::Official, index, 1);
    OfficialRecord created = *official(db, index);
    created.setId(index);
    // No previous entry to uncount: the names are written for the first time.
    created.setFirstName(-1);
    created.setSecondName(-1);
    FindOrAddName(db, NameTable::First, values.nation, values.firstName,
                  NameTarget::official(index));
    FindOrAddName(db, NameTable::Second, values.nation, values.secondName,
                  NameTarget::official(index));
    writeOfficialValues(created, values);
    return index;
}

} // namespace kx3
