#pragma once

#include "core/layout/PersonRecord.h"

#include <array>
#include <optional>

namespace kx3 {

/// Layout of a 68-byte staff attribute record of staff.dat.
namespace StaffAttributesField {
inline constexpr Field<std::int32_t> Id{0};
inline constexpr Field<std::int16_t> CurrentAbility{4};
inline constexpr Field<std::int16_t> PotentialAbility{6};
inline constexpr Field<std::int16_t> HomeReputation{8};
inline constexpr Field<std::int16_t> CurrentReputation{10};
inline constexpr Field<std::int16_t> WorldReputation{12};
inline constexpr ArrayField<std::uint8_t> Ratings{14, 21};
/// Eight words the editor carries; new records get -1 in each.
inline constexpr ArrayField<std::int32_t> Unused35{35, 8};
/// Preferred formation 1-9.
inline constexpr Field<std::uint8_t> Formation{67};
} // namespace StaffAttributesField

/// Formation of a new staff attribute record: 3, "4-4-2".
inline constexpr std::uint8_t NewStaffFormation = 3;

/// Ratings of a non-playing person: one record of the staff attribute table.
template <typename Image>
class BasicStaffAttributes : public BasicRecordView<Image>
{
    using Base = BasicRecordView<Image>;

public:
    using Base::Base;
    using Base::get;
    using Base::set;

    std::int32_t id() const { return get(StaffAttributesField::Id); }
    bool setId(std::int32_t v) { return set(StaffAttributesField::Id, v); }
    int currentAbility() const { return get(StaffAttributesField::CurrentAbility); }
    bool setCurrentAbility(int v)
    {
        return set(StaffAttributesField::CurrentAbility, std::int16_t(v));
    }
    int potentialAbility() const { return get(StaffAttributesField::PotentialAbility); }
    bool setPotentialAbility(int v)
    {
        return set(StaffAttributesField::PotentialAbility, std::int16_t(v));
    }
    int homeReputation() const { return get(StaffAttributesField::HomeReputation); }
    bool setHomeReputation(int v)
    {
        return set(StaffAttributesField::HomeReputation, std::int16_t(v));
    }
    int currentReputation() const { return get(StaffAttributesField::CurrentReputation); }
    bool setCurrentReputation(int v)
    {
        return set(StaffAttributesField::CurrentReputation, std::int16_t(v));
    }
    int worldReputation() const { return get(StaffAttributesField::WorldReputation); }
    bool setWorldReputation(int v)
    {
        return set(StaffAttributesField::WorldReputation, std::int16_t(v));
    }
    /// Staff rating 0..20 in record order.
    int rating(int i) const
    {
        return i >= 0 && i < StaffAttributesField::Ratings.count
                   ? get(StaffAttributesField::Ratings.at(i))
                   : 0;
    }
    bool setRating(int i, int v)
    {
        return i >= 0 && i < StaffAttributesField::Ratings.count
               && set(StaffAttributesField::Ratings.at(i), std::uint8_t(v));
    }
    /// Preferred formation 1-9 (choice item = value - 1).
    int formation() const { return get(StaffAttributesField::Formation); }
    bool setFormation(int v) { return set(StaffAttributesField::Formation, std::uint8_t(v)); }
};

using StaffAttributes = BasicStaffAttributes<DataImage>;
using ConstStaffAttributes = BasicStaffAttributes<const DataImage>;

/// Byte offset of staff attribute record `index` in staff.dat.
inline qsizetype staffAttributesOffset(const Database &db, qsizetype index)
{
    return db.counters().staffOffset + index * RecordSize::StaffAttributes;
}

/// Staff attribute record `index`, or nothing when it is not below S or not
/// inside staff.dat.
template <typename Db>
requires std::same_as<std::remove_const_t<Db>, Database>
    std::optional<BasicStaffAttributes<ImageOf<Db>>> staffAttributes(Db &db, qsizetype index)
{
    return recordAt<BasicStaffAttributes<ImageOf<Db>>>(
        db.image(DataFile::Staff), db.counters().staffOffset, db.counters().staffAttributes,
        RecordSize::StaffAttributes, index);
}

/// The staff attribute record a person refers to, if that index is valid.
inline std::optional<StaffAttributes> staffAttributesOf(Database &db, const PersonRecord &p)
{
    return staffAttributes(db, p.staffAttributes());
}
/// The same record, read-only, for either view of the person.
template <typename Image>
std::optional<ConstStaffAttributes> staffAttributesOf(const Database &db,
                                                      const BasicPersonRecord<Image> &p)
{
    return staffAttributes(db, p.staffAttributes());
}

} // namespace kx3
