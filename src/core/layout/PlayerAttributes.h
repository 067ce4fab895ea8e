#pragma once

#include "core/layout/PersonRecord.h"

#include <array>
#include <optional>

namespace kx3 {

/// Layout of a 70-byte player attribute record of staff.dat.
namespace PlayerAttributesField {
inline constexpr Field<std::int32_t> Id{0};
inline constexpr Field<std::uint8_t> SquadNumber{4};
inline constexpr Field<std::int16_t> CurrentAbility{5};
/// -1 and -2 are special values ("Good future", "Excellent future").
inline constexpr Field<std::int16_t> PotentialAbility{7};
inline constexpr Field<std::int16_t> HomeReputation{9};
inline constexpr Field<std::int16_t> CurrentReputation{11};
inline constexpr Field<std::int16_t> WorldReputation{13};
inline constexpr ArrayField<std::uint8_t> PositionRatings{15, 12};
inline constexpr ArrayField<std::uint8_t> PlayingRatings{27, 42};
inline constexpr Field<std::uint8_t> Unused69{69};
} // namespace PlayerAttributesField

/// Value a new player attribute record carries in its uninterpreted last byte.
inline constexpr std::uint8_t NewPlayerAttributesTrailer = 2;

/// Ratings of a player: one record of the player attribute table of staff.dat.
template <typename Image>
class BasicPlayerAttributes : public BasicRecordView<Image>
{
    using Base = BasicRecordView<Image>;

public:
    using Base::Base;
    using Base::get;
    using Base::set;

    std::int32_t id() const { return get(PlayerAttributesField::Id); }
    bool setId(std::int32_t v) { return set(PlayerAttributesField::Id, v); }
    int squadNumber() const { return get(PlayerAttributesField::SquadNumber); }
    bool setSquadNumber(int v) { return set(PlayerAttributesField::SquadNumber, std::uint8_t(v)); }
    int currentAbility() const { return get(PlayerAttributesField::CurrentAbility); }
    bool setCurrentAbility(int v)
    {
        return set(PlayerAttributesField::CurrentAbility, std::int16_t(v));
    }
    int potentialAbility() const { return get(PlayerAttributesField::PotentialAbility); }
    bool setPotentialAbility(int v)
    {
        return set(PlayerAttributesField::PotentialAbility, std::int16_t(v));
    }
    int homeReputation() const { return get(PlayerAttributesField::HomeReputation); }
    bool setHomeReputation(int v)
    {
        return set(PlayerAttributesField::HomeReputation, std::int16_t(v));
    }
    int currentReputation() const { return get(PlayerAttributesField::CurrentReputation); }
    bool setCurrentReputation(int v)
    {
        return set(PlayerAttributesField::CurrentReputation, std::int16_t(v));
    }
    int worldReputation() const { return get(PlayerAttributesField::WorldReputation); }
    bool setWorldReputation(int v)
    {
        return set(PlayerAttributesField::WorldReputation, std::int16_t(v));
    }
    /// Position rating 0..11 in the order of PositionRatingFields.
    int positionRating(int i) const
    {
        return i >= 0 && i < PlayerAttributesField::PositionRatings.count
                   ? get(PlayerAttributesField::PositionRatings.at(i))
                   : 0;
    }
    bool setPositionRating(int i, int v)
    {
        return i >= 0 && i < PlayerAttributesField::PositionRatings.count
               && set(PlayerAttributesField::PositionRatings.at(i), std::uint8_t(v));
    }
    /// Playing rating 0..41 in record order.
    int playingRating(int i) const
    {
        return i >= 0 && i < PlayerAttributesField::PlayingRatings.count
                   ? get(PlayerAttributesField::PlayingRatings.at(i))
                   : 0;
    }
    bool setPlayingRating(int i, int v)
    {
        return i >= 0 && i < PlayerAttributesField::PlayingRatings.count
               && set(PlayerAttributesField::PlayingRatings.at(i), std::uint8_t(v));
    }
};

using PlayerAttributes = BasicPlayerAttributes<DataImage>;
using ConstPlayerAttributes = BasicPlayerAttributes<const DataImage>;

/// Byte offset of player attribute record `index` in staff.dat.
inline qsizetype playerAttributesOffset(const Database &db, qsizetype index)
{
    return db.counters().playerOffset + index * RecordSize::PlayerAttributes;
}

/// Player attribute record `index`, or nothing when it is not below P or not
/// inside staff.dat.
template <typename Db>
requires std::same_as<std::remove_const_t<Db>, Database>
    std::optional<BasicPlayerAttributes<ImageOf<Db>>> playerAttributes(Db &db, qsizetype index)
{
    return recordAt<BasicPlayerAttributes<ImageOf<Db>>>(
        db.image(DataFile::Staff), db.counters().playerOffset, db.counters().playerAttributes,
        RecordSize::PlayerAttributes, index);
}

/// The player attribute record a person refers to, if that index is valid.
inline std::optional<PlayerAttributes> playerAttributesOf(Database &db, const PersonRecord &p)
{
    return playerAttributes(db, p.playerAttributes());
}
/// The same record, read-only, for either view of the person.
template <typename Image>
std::optional<ConstPlayerAttributes> playerAttributesOf(const Database &db,
                                                        const BasicPersonRecord<Image> &p)
{
    return playerAttributes(db, p.playerAttributes());
}

} // namespace kx3
