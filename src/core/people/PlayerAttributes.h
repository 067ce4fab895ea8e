#pragma once

#include "core/people/PersonRecord.h"

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

/// Abilities and reputations of the player screen, in record order.
inline constexpr std::array<BoundField, 5> PlayerAbilityFields = {{
    {"PCurAbi", 5, FieldType::I16},
    {"PPotAbi", 7, FieldType::I16},
    {"PHomRep", 9, FieldType::I16},
    {"PCurRep", 11, FieldType::I16},
    {"PWorRep", 13, FieldType::I16},
}};

/// The twelve position ratings, in record order.
inline constexpr std::array<BoundField, 12> PositionRatingFields = {{
    {"Gk", 15, FieldType::U8},
    {"Sw", 16, FieldType::U8},
    {"Def", 17, FieldType::U8},
    {"Anc", 18, FieldType::U8},
    {"Mid", 19, FieldType::U8},
    {"Sup", 20, FieldType::U8},
    {"Att", 21, FieldType::U8},
    {"Wb", 22, FieldType::U8},
    {"Rig", 23, FieldType::U8},
    {"Lef", 24, FieldType::U8},
    {"Cen", 25, FieldType::U8},
    {"FRol", 26, FieldType::U8},
}};

/// The 42 playing ratings, in record order (the last at +68).
inline constexpr std::array<BoundField, 42> PlayingRatingFields = {{
    {"Acc", 27, FieldType::U8}, {"Agg", 28, FieldType::U8}, {"Agi", 29, FieldType::U8},
    {"Ant", 30, FieldType::U8}, {"Bal", 31, FieldType::U8}, {"Bra", 32, FieldType::U8},
    {"Con", 33, FieldType::U8}, {"Cor", 34, FieldType::U8}, {"Cro", 35, FieldType::U8},
    {"Dec", 36, FieldType::U8}, {"Dir", 37, FieldType::U8}, {"Dri", 38, FieldType::U8},
    {"Fin", 39, FieldType::U8}, {"Fla", 40, FieldType::U8}, {"Fre", 41, FieldType::U8},
    {"Han", 42, FieldType::U8}, {"Hea", 43, FieldType::U8}, {"Imp", 44, FieldType::U8},
    {"Inj", 45, FieldType::U8}, {"jum", 46, FieldType::U8}, {"Lea", 47, FieldType::U8},
    {"LFo", 48, FieldType::U8}, {"Lon", 49, FieldType::U8}, {"Mar", 50, FieldType::U8},
    {"Mov", 51, FieldType::U8}, {"Nat", 52, FieldType::U8}, {"One", 53, FieldType::U8},
    {"Pac", 54, FieldType::U8}, {"Pas", 55, FieldType::U8}, {"Pen", 56, FieldType::U8},
    {"Pos", 57, FieldType::U8}, {"Ref", 58, FieldType::U8}, {"RFo", 59, FieldType::U8},
    {"Sta", 60, FieldType::U8}, {"Str", 61, FieldType::U8}, {"Tac", 62, FieldType::U8},
    {"Tea", 63, FieldType::U8}, {"Tec", 64, FieldType::U8}, {"Thr", 65, FieldType::U8},
    {"Ver", 66, FieldType::U8}, {"Vis", 67, FieldType::U8}, {"Wor", 68, FieldType::U8},
}};

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
    using Base::read;
    using Base::write;

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
        return i >= 0 && i < 12 ? read(PositionRatingFields[std::size_t(i)]) : 0;
    }
    bool setPositionRating(int i, int v)
    {
        return i >= 0 && i < 12 && write(PositionRatingFields[std::size_t(i)], v);
    }
    /// Playing rating 0..41 in the order of PlayingRatingFields.
    int playingRating(int i) const
    {
        return i >= 0 && i < 42 ? read(PlayingRatingFields[std::size_t(i)]) : 0;
    }
    bool setPlayingRating(int i, int v)
    {
        return i >= 0 && i < 42 && write(PlayingRatingFields[std::size_t(i)], v);
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
inline std::optional<PlayerAttributes> playerAttributes(Database &db, qsizetype index)
{
    return recordAt<PlayerAttributes>(db.image(DataFile::Staff), db.counters().playerOffset,
                                      db.counters().playerAttributes, RecordSize::PlayerAttributes,
                                      index);
}
/// The same record, read-only.
inline std::optional<ConstPlayerAttributes> playerAttributes(const Database &db, qsizetype index)
{
    return recordAt<ConstPlayerAttributes>(db.image(DataFile::Staff), db.counters().playerOffset,
                                           db.counters().playerAttributes,
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
