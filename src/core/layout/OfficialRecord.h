#pragma once

#include "core/db/DataFiles.h"
#include "core/db/Database.h"
#include "core/db/NumberField.h"
#include "core/db/RecordView.h"

#include <array>
#include <optional>

namespace kx3 {

/// Layout of a 43-byte official record of officials.dat.
namespace OfficialField {
inline constexpr Field<std::int32_t> Id{0};
inline constexpr Field<std::int32_t> FirstName{4};
inline constexpr Field<std::int32_t> SecondName{8};
inline constexpr DateField DateOfBirth{12};
/// Never written by the editor.
inline constexpr BytesField Unused20{20, 2};
/// Nation index; "<none>" is stored as -1.
inline constexpr Field<std::int32_t> Nation{22};
inline constexpr Field<std::int32_t> City{26};
inline constexpr Field<std::int16_t> CurrentAbility{30};
inline constexpr Field<std::int16_t> PotentialAbility{32};
inline constexpr Field<std::int16_t> CurrentReputation{34};
inline constexpr ArrayField<std::uint8_t> CommonRatings{36, 7};
} // namespace OfficialField

/// A match official of officials.dat.
template <typename Image>
class BasicOfficialRecord : public BasicRecordView<Image>
{
    using Base = BasicRecordView<Image>;

public:
    using Base::Base;
    using Base::get;
    using Base::set;

    std::int32_t id() const { return get(OfficialField::Id); }
    bool setId(std::int32_t v) { return set(OfficialField::Id, v); }
    std::int32_t firstName() const { return get(OfficialField::FirstName); }
    bool setFirstName(std::int32_t v) { return set(OfficialField::FirstName, v); }
    std::int32_t secondName() const { return get(OfficialField::SecondName); }
    bool setSecondName(std::int32_t v) { return set(OfficialField::SecondName, v); }
    RecordDate dateOfBirth() const { return get(OfficialField::DateOfBirth); }
    bool setDateOfBirth(const RecordDate &d) { return set(OfficialField::DateOfBirth, d); }
    std::int32_t nation() const { return get(OfficialField::Nation); }
    bool setNation(std::int32_t v) { return set(OfficialField::Nation, v); }
    std::int32_t city() const { return get(OfficialField::City); }
    bool setCity(std::int32_t v) { return set(OfficialField::City, v); }
    int currentAbility() const { return get(OfficialField::CurrentAbility); }
    bool setCurrentAbility(int v) { return set(OfficialField::CurrentAbility, std::int16_t(v)); }
    int potentialAbility() const { return get(OfficialField::PotentialAbility); }
    bool setPotentialAbility(int v)
    {
        return set(OfficialField::PotentialAbility, std::int16_t(v));
    }
    int currentReputation() const { return get(OfficialField::CurrentReputation); }
    bool setCurrentReputation(int v)
    {
        return set(OfficialField::CurrentReputation, std::int16_t(v));
    }
    /// Common rating 0..6 in the order of OfficialCommonFields.
    int commonRating(int i) const
    {
        return i >= 0 && i < 7 ? get(OfficialField::CommonRatings.at(i)) : 0;
    }
    bool setCommonRating(int i, int v)
    {
        return i >= 0 && i < 7 && set(OfficialField::CommonRatings.at(i), std::uint8_t(v));
    }
};

using OfficialRecord = BasicOfficialRecord<DataImage>;
using ConstOfficialRecord = BasicOfficialRecord<const DataImage>;

inline int officialCount(const Database &db)
{
    return int(db.image(DataFile::Officials).recordCount(RecordSize::Official));
}

/// Official `index`, or nothing when out of range.
template <typename Db>
requires std::same_as<std::remove_const_t<Db>, Database>
    std::optional<BasicOfficialRecord<ImageOf<Db>>> official(Db &db, qsizetype index)
{
    return recordAt<BasicOfficialRecord<ImageOf<Db>>>(db.image(DataFile::Officials),
                                                      RecordSize::Official, index);
}

} // namespace kx3
