#pragma once

#include "core/db/DataFiles.h"
#include "core/db/Database.h"
#include "core/db/NumberField.h"
#include "core/db/RecordView.h"

#include <array>
#include <optional>

namespace kx3 {

/// Layout of a 157-byte person record of staff.dat.
namespace PersonField {
inline constexpr Field<std::int32_t> Id{0};
inline constexpr Field<std::int32_t> FirstName{4};
inline constexpr Field<std::int32_t> SecondName{8};
inline constexpr Field<std::int32_t> CommonName{12};
inline constexpr DateField DateOfBirth{16};
inline constexpr Field<std::uint16_t> Unused24{24};
inline constexpr Field<std::int32_t> Nationality{26};
inline constexpr Field<std::int32_t> SecondNationality{30};
inline constexpr Field<std::uint8_t> Caps{34};
inline constexpr Field<std::uint8_t> Goals{35};
inline constexpr Field<std::int32_t> NationalTeam{36};
inline constexpr Field<std::uint8_t> NationalJob{40};
inline constexpr DateField NationalJoined{41};
inline constexpr DateField NationalContractEnd{49};
inline constexpr Field<std::int32_t> Club{57};
inline constexpr Field<std::uint8_t> Job{61};
inline constexpr DateField Joined{62};
inline constexpr DateField ContractEnd{70};
inline constexpr Field<std::int32_t> Wage{78};
inline constexpr Field<std::int32_t> Value{82};
inline constexpr ArrayField<std::uint8_t> MentalRatings{86, 8};
inline constexpr Field<std::uint8_t> PlaysIn{94};
inline constexpr Field<std::uint8_t> Classification{95};
inline constexpr Field<std::uint8_t> Unused96{96};
/// Favourite clubs 1-3, disliked clubs 1-3, favourite persons 1-3, disliked persons 1-3.
inline constexpr ArrayField<std::int32_t> Relationships{97, 12};
inline constexpr Field<std::int32_t> PlayerAttributes{145};
inline constexpr Field<std::int32_t> Unused149{149};
inline constexpr Field<std::int32_t> StaffAttributes{153};
} // namespace PersonField

/// First slot of each group of three relationship slots of a person.
namespace PersonRelationship {
inline constexpr int FavouriteClubs = 0;
inline constexpr int DislikedClubs = 3;
inline constexpr int FavouritePersons = 6;
inline constexpr int DislikedPersons = 9;
inline constexpr int Count = 12;
/// Club slots hold club indices (none: -2), the others person indices (none: -1).
constexpr bool isClubSlot(int slot)
{
    return slot >= 0 && slot < FavouritePersons;
}
} // namespace PersonRelationship

/// Values the editor writes for "none" in person fields.
namespace PersonNone {
inline constexpr std::int32_t Club = -2;
inline constexpr std::int32_t Nation = -2;
inline constexpr std::int32_t Person = -1;
inline constexpr std::int32_t AttributeRecord = -1;
} // namespace PersonNone

/// A person (player or non-playing staff) of the person table of staff.dat.
template <typename Image>
class BasicPersonRecord : public BasicRecordView<Image>
{
    using Base = BasicRecordView<Image>;

public:
    using Base::Base;
    using Base::get;
    using Base::set;

    std::int32_t id() const { return get(PersonField::Id); }
    bool setId(std::int32_t v) { return set(PersonField::Id, v); }
    std::int32_t firstName() const { return get(PersonField::FirstName); }
    bool setFirstName(std::int32_t v) { return set(PersonField::FirstName, v); }
    std::int32_t secondName() const { return get(PersonField::SecondName); }
    bool setSecondName(std::int32_t v) { return set(PersonField::SecondName, v); }
    std::int32_t commonName() const { return get(PersonField::CommonName); }
    bool setCommonName(std::int32_t v) { return set(PersonField::CommonName, v); }
    RecordDate dateOfBirth() const { return get(PersonField::DateOfBirth); }
    bool setDateOfBirth(const RecordDate &d) { return set(PersonField::DateOfBirth, d); }
    std::int32_t nationality() const { return get(PersonField::Nationality); }
    bool setNationality(std::int32_t v) { return set(PersonField::Nationality, v); }
    std::int32_t secondNationality() const { return get(PersonField::SecondNationality); }
    bool setSecondNationality(std::int32_t v) { return set(PersonField::SecondNationality, v); }
    int caps() const { return get(PersonField::Caps); }
    bool setCaps(int v) { return set(PersonField::Caps, std::uint8_t(v)); }
    int goals() const { return get(PersonField::Goals); }
    bool setGoals(int v) { return set(PersonField::Goals, std::uint8_t(v)); }
    /// Club index of a national team in the combined club image; negative = none.
    std::int32_t nationalTeam() const { return get(PersonField::NationalTeam); }
    bool setNationalTeam(std::int32_t v) { return set(PersonField::NationalTeam, v); }
    int nationalJob() const { return get(PersonField::NationalJob); }
    bool setNationalJob(int v) { return set(PersonField::NationalJob, std::uint8_t(v)); }
    RecordDate nationalJoined() const { return get(PersonField::NationalJoined); }
    bool setNationalJoined(const RecordDate &d) { return set(PersonField::NationalJoined, d); }
    RecordDate nationalContractEnd() const { return get(PersonField::NationalContractEnd); }
    bool setNationalContractEnd(const RecordDate &d)
    {
        return set(PersonField::NationalContractEnd, d);
    }
    /// Club index in the combined club image; negative = no club.
    std::int32_t club() const { return get(PersonField::Club); }
    bool setClub(std::int32_t v) { return set(PersonField::Club, v); }
    int job() const { return get(PersonField::Job); }
    bool setJob(int v) { return set(PersonField::Job, std::uint8_t(v)); }
    RecordDate joined() const { return get(PersonField::Joined); }
    bool setJoined(const RecordDate &d) { return set(PersonField::Joined, d); }
    RecordDate contractEnd() const { return get(PersonField::ContractEnd); }
    bool setContractEnd(const RecordDate &d) { return set(PersonField::ContractEnd, d); }
    std::int32_t wage() const { return get(PersonField::Wage); }
    bool setWage(std::int32_t v) { return set(PersonField::Wage, v); }
    std::int32_t value() const { return get(PersonField::Value); }
    bool setValue(std::int32_t v) { return set(PersonField::Value, v); }
    /// Mental rating 0..7 (adaptability .. temperament).
    int mentalRating(int i) const { return get(PersonField::MentalRatings.at(i)); }
    bool setMentalRating(int i, int v)
    {
        return i >= 0 && i < PersonField::MentalRatings.count
               && set(PersonField::MentalRatings.at(i), std::uint8_t(v));
    }
    int playsIn() const { return get(PersonField::PlaysIn); }
    bool setPlaysIn(int v) { return set(PersonField::PlaysIn, std::uint8_t(v)); }
    int classification() const { return get(PersonField::Classification); }
    bool setClassification(int v) { return set(PersonField::Classification, std::uint8_t(v)); }
    /// Relationship slot 0..11 (see PersonRelationship); 0 for a slot out of range.
    std::int32_t relationship(int slot) const
    {
        return slot >= 0 && slot < PersonField::Relationships.count
                   ? get(PersonField::Relationships.at(slot))
                   : 0;
    }
    bool setRelationship(int slot, std::int32_t v)
    {
        return slot >= 0 && slot < PersonField::Relationships.count
               && set(PersonField::Relationships.at(slot), v);
    }
    /// Player attribute record index; negative = none.
    std::int32_t playerAttributes() const { return get(PersonField::PlayerAttributes); }
    bool setPlayerAttributes(std::int32_t v) { return set(PersonField::PlayerAttributes, v); }
    /// Staff attribute record index; negative = none.
    std::int32_t staffAttributes() const { return get(PersonField::StaffAttributes); }
    bool setStaffAttributes(std::int32_t v) { return set(PersonField::StaffAttributes, v); }
};

using PersonRecord = BasicPersonRecord<DataImage>;
using ConstPersonRecord = BasicPersonRecord<const DataImage>;

/// Number of persons: the person count N of the table of contents.
inline int personCount(const Database &db)
{
    return db.counters().persons;
}

/// Person `index`, or nothing when it is not below N or not inside staff.dat.
template <typename Db>
requires std::same_as<std::remove_const_t<Db>, Database>
    std::optional<BasicPersonRecord<ImageOf<Db>>> person(Db &db, qsizetype index)
{
    return recordAt<BasicPersonRecord<ImageOf<Db>>>(
        db.image(DataFile::Staff), 0, db.counters().persons, RecordSize::Person, index);
}

/// Byte offset of person `index` in staff.dat.
constexpr qsizetype personOffset(qsizetype index)
{
    return index * RecordSize::Person;
}

} // namespace kx3
