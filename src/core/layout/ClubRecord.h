#pragma once

#include "core/db/DataFiles.h"
#include "core/db/Database.h"
#include "core/db/RecordView.h"
#include "core/layout/CodeLists.h"

#include <array>
#include <optional>

namespace kx3 {

/// Layout of a 581-byte club record, shared by clubs and national teams.
namespace ClubField {
inline constexpr Field<std::int32_t> Id{0};
inline constexpr TextField LongName{4, 52, 51};
inline constexpr TextField ShortName{56, 27, 26};
inline constexpr Field<std::int32_t> Nation{83};
inline constexpr Field<std::int32_t> Division{87};
inline constexpr Field<std::int32_t> LastDivision{91};
inline constexpr Field<std::uint8_t> LastPosition{95};
inline constexpr Field<std::int32_t> OtherDivision{96};
inline constexpr Field<std::uint8_t> Status{100};
inline constexpr Field<std::int32_t> Cash{101};
inline constexpr Field<std::int32_t> MainStadium{105};
inline constexpr Field<std::uint8_t> OwnStadium{109};
inline constexpr Field<std::int32_t> ReserveStadium{110};
inline constexpr Field<std::uint8_t> HomeMatchDay{114};
inline constexpr Field<std::int32_t> AverageAttendance{115};
inline constexpr Field<std::int32_t> MinimumAttendance{119};
inline constexpr Field<std::int32_t> MaximumAttendance{123};
inline constexpr Field<std::uint8_t> TrainingFacility{127};
/// Reputation times 500.
inline constexpr Field<std::int16_t> Reputation{128};
inline constexpr Field<std::uint8_t> Plc{130};
/// Home 1, home 2, away 1, away 2, third 1, third 2.
inline constexpr ArrayField<std::int32_t> KitColours{131, 6};
inline constexpr ArrayField<std::int32_t> Relationships{155, 9};
inline constexpr ArrayField<std::int32_t> PositionSlots{191, 71};
/// Carried as loaded; a created club gets -1 in each.
inline constexpr ArrayField<std::int32_t> Unused475{475, 26};
/// Carried as loaded; a created club gets 255.
inline constexpr Field<std::uint16_t> Unused579{579};
} // namespace ClubField

/// Byte flags store 255 for yes and 0 for no.
inline constexpr std::uint8_t FlagYes = 255;
inline constexpr std::uint8_t FlagNo = 0;
/// Home match day value for none (0 Monday .. 6 Sunday otherwise).
inline constexpr std::uint8_t NoMatchDay = 255;

/// First slot of each group of club relationship slots.
namespace ClubRelationship {
inline constexpr int FavouritePersons = 0; ///< person index, none -1
inline constexpr int DislikedPersons = 3;  ///< person index, none -1
inline constexpr int RivalClubs = 6;       ///< club index, none -2
inline constexpr int Count = 9;
constexpr bool isClubSlot(int slot)
{
    return slot >= RivalClubs && slot < Count;
}
} // namespace ClubRelationship

/// A contiguous range of position slots.
struct SlotRange
{
    int first = 0;
    int count = 0;
    constexpr int end() const { return first + count; }
    constexpr bool contains(int slot) const { return slot >= first && slot < end(); }
    constexpr bool isEmpty() const { return count == 0; }
};

/// The position slots of a club, grouped by the jobs that take them.
namespace ClubSlots {
inline constexpr int Count = 71;
inline constexpr SlotRange Chairman{0, 1};
inline constexpr SlotRange Directors{1, 3};
inline constexpr SlotRange Manager{4, 1};
inline constexpr SlotRange Assistant{5, 1};
inline constexpr SlotRange Squad{6, 50};
inline constexpr SlotRange Coaches{56, 5};
inline constexpr SlotRange Scouts{61, 7};
inline constexpr SlotRange Physios{68, 3};
/// Value of an empty slot.
inline constexpr std::int32_t Empty = -1;
} // namespace ClubSlots

/// Slots of a club's staff list, in list order: 0-5 then 56-70.
inline constexpr std::array<int, 21> StaffListSlots = {
    0, 1, 2, 3, 4, 5, 56, 57, 58, 59, 60, 61, 62, 63, 64, 65, 66, 67, 68, 69, 70,
};

/// The slots the non-playing side of a job may take (none for the unemployed, a
/// pure player, the retired and unknown codes).
constexpr SlotRange staffSlotRange(int job)
{
    switch (job) {
    case Job::Chairman: return ClubSlots::Chairman;
    case Job::ManagingDirector:
    case Job::GeneralManager:
    case Job::DirectorOfFootball: return ClubSlots::Directors;
    case Job::Manager:
    case Job::PlayerManager: return ClubSlots::Manager;
    case Job::AssistantManager:
    case Job::ReserveManager:
    case Job::PlayerAssistantManager:
    case Job::PlayerReserveManager: return ClubSlots::Assistant;
    case Job::Coach:
    case Job::PlayerCoach: return ClubSlots::Coaches;
    case Job::Scout: return ClubSlots::Scouts;
    case Job::Physio: return ClubSlots::Physios;
    default: return {};
    }
}

/// The slots the playing side of a job may take: the squad for a player and
/// the combined jobs.
constexpr SlotRange playerSlotRange(int job)
{
    return Job::isPlaying(job) ? ClubSlots::Squad : SlotRange{};
}

/// Items of the club status list: item = stored value.
inline constexpr std::array<const char *, 4> ClubStatusNames = {
    "<unknown>",
    "Professional",
    "Semi-Professional",
    "Amateur",
};

/// Items of the home match day list: item 0 stores 255, item k stores k - 1.
inline constexpr std::array<const char *, 8> MatchDayNames = {
    "<none>", "Monday", "Tuesday", "Wednesday", "Thursday", "Friday", "Saturday", "Sunday",
};

/// What a club index of the combined club image denotes.
enum class ClubKind { Club, NationalTeam, Under21Team };

/// A club or national team of the combined club image.
template <typename Image>
class BasicClubRecord : public BasicRecordView<Image>
{
    using Base = BasicRecordView<Image>;

public:
    using Base::Base;
    using Base::get;
    using Base::set;
    using Base::setFixed;

    std::int32_t id() const { return get(ClubField::Id); }
    bool setId(std::int32_t v) { return set(ClubField::Id, v); }
    QByteArray longName() const { return get(ClubField::LongName); }
    bool setLongName(const QByteArray &t) { return setFixed(ClubField::LongName, t); }
    QByteArray shortName() const { return get(ClubField::ShortName); }
    bool setShortName(const QByteArray &t) { return setFixed(ClubField::ShortName, t); }
    std::int32_t nation() const { return get(ClubField::Nation); }
    bool setNation(std::int32_t v) { return set(ClubField::Nation, v); }
    std::int32_t division() const { return get(ClubField::Division); }
    bool setDivision(std::int32_t v) { return set(ClubField::Division, v); }
    std::int32_t lastDivision() const { return get(ClubField::LastDivision); }
    bool setLastDivision(std::int32_t v) { return set(ClubField::LastDivision, v); }
    int lastPosition() const { return get(ClubField::LastPosition); }
    bool setLastPosition(int v) { return set(ClubField::LastPosition, std::uint8_t(v)); }
    std::int32_t otherDivision() const { return get(ClubField::OtherDivision); }
    bool setOtherDivision(std::int32_t v) { return set(ClubField::OtherDivision, v); }
    int status() const { return get(ClubField::Status); }
    bool setStatus(int v) { return set(ClubField::Status, std::uint8_t(v)); }
    std::int32_t cash() const { return get(ClubField::Cash); }
    bool setCash(std::int32_t v) { return set(ClubField::Cash, v); }
    std::int32_t mainStadium() const { return get(ClubField::MainStadium); }
    bool setMainStadium(std::int32_t v) { return set(ClubField::MainStadium, v); }
    /// Raw flag byte; only 255 means yes.
    int ownStadium() const { return get(ClubField::OwnStadium); }
    bool setOwnStadium(int v) { return set(ClubField::OwnStadium, std::uint8_t(v)); }
    std::int32_t reserveStadium() const { return get(ClubField::ReserveStadium); }
    bool setReserveStadium(std::int32_t v) { return set(ClubField::ReserveStadium, v); }
    /// 0 Monday .. 6 Sunday, 255 none.
    int homeMatchDay() const { return get(ClubField::HomeMatchDay); }
    bool setHomeMatchDay(int v) { return set(ClubField::HomeMatchDay, std::uint8_t(v)); }
    std::int32_t averageAttendance() const { return get(ClubField::AverageAttendance); }
    bool setAverageAttendance(std::int32_t v) { return set(ClubField::AverageAttendance, v); }
    std::int32_t minimumAttendance() const { return get(ClubField::MinimumAttendance); }
    bool setMinimumAttendance(std::int32_t v) { return set(ClubField::MinimumAttendance, v); }
    std::int32_t maximumAttendance() const { return get(ClubField::MaximumAttendance); }
    bool setMaximumAttendance(std::int32_t v) { return set(ClubField::MaximumAttendance, v); }
    int trainingFacility() const { return get(ClubField::TrainingFacility); }
    bool setTrainingFacility(int v) { return set(ClubField::TrainingFacility, std::uint8_t(v)); }
    /// Stored reputation (shown divided by 500).
    int reputation() const { return get(ClubField::Reputation); }
    bool setReputation(int v) { return set(ClubField::Reputation, std::int16_t(v)); }
    /// Raw flag byte; only 255 means yes.
    int plc() const { return get(ClubField::Plc); }
    bool setPlc(int v) { return set(ClubField::Plc, std::uint8_t(v)); }
    /// Kit colour 0..5 (home 1, home 2, away 1, away 2, third 1, third 2).
    std::int32_t kitColour(int i) const
    {
        return i >= 0 && i < ClubField::KitColours.count ? get(ClubField::KitColours.at(i)) : -2;
    }
    bool setKitColour(int i, std::int32_t v)
    {
        return i >= 0 && i < ClubField::KitColours.count && set(ClubField::KitColours.at(i), v);
    }
    /// Relationship slot 0..8 (see ClubRelationship); -1 for a slot out of range.
    std::int32_t relationship(int slot) const
    {
        return slot >= 0 && slot < ClubField::Relationships.count
                   ? get(ClubField::Relationships.at(slot))
                   : -1;
    }
    bool setRelationship(int slot, std::int32_t v)
    {
        return slot >= 0 && slot < ClubField::Relationships.count
               && set(ClubField::Relationships.at(slot), v);
    }
    /// Person index in position slot 0..70; -1 (empty) for a slot out of range.
    std::int32_t positionSlot(int slot) const
    {
        return slot >= 0 && slot < ClubSlots::Count ? get(ClubField::PositionSlots.at(slot))
                                                    : ClubSlots::Empty;
    }
    bool setPositionSlot(int slot, std::int32_t person)
    {
        return slot >= 0 && slot < ClubSlots::Count
               && set(ClubField::PositionSlots.at(slot), person);
    }
};

using ClubRecord = BasicClubRecord<DataImage>;
using ConstClubRecord = BasicClubRecord<const DataImage>;

/// Number of clubs and national teams of the combined club image.
inline int clubTotal(const Database &db)
{
    return int(db.clubs().recordCount(RecordSize::Club));
}

/// Club or national team `index` of the combined club image, or nothing.
template <typename Db>
requires std::same_as<std::remove_const_t<Db>, Database>
    std::optional<BasicClubRecord<ImageOf<Db>>> club(Db &db, qsizetype index)
{
    return recordAt<BasicClubRecord<ImageOf<Db>>>(db.clubs(), RecordSize::Club, index);
}

/// Club index of the national team of nation `nation` (C + nation), or -1 when
/// nat_club.Dat holds no such team.
inline int nationalTeamIndex(const Database &db, int nation)
{
    const int teams = int(db.image(DataFile::NatClub).recordCount(RecordSize::Club));
    return nation >= 0 && nation < teams ? db.clubCount() + nation : -1;
}

/// Kind of the record at club index `index`: clubs come first, then the
/// national teams, whose second half (by byte offset) are the under-21 teams.
inline ClubKind clubKind(const Database &db, qsizetype index)
{
    const qsizetype clubBytes = db.image(DataFile::Club).size();
    const qsizetype offset = index * RecordSize::Club;
    if (offset < clubBytes)
        return ClubKind::Club;
    if (offset >= clubBytes + db.image(DataFile::NatClub).size() / 2)
        return ClubKind::Under21Team;
    return ClubKind::NationalTeam;
}

/// Text appended to the long name of an under-21 team wherever it is a title.
inline constexpr const char *Under21Suffix = " (U21)";

} // namespace kx3
