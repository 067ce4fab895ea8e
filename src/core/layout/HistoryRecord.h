#pragma once

#include "core/db/DataFiles.h"
#include "core/db/Database.h"
#include "core/db/RecordView.h"

#include <optional>

namespace kx3 {

/// Layout of a 17-byte career history record of staff_history.dat.
namespace HistoryField {
/// Own position in the file; removal relies on it.
inline constexpr Field<std::int32_t> Id{0};
inline constexpr Field<std::int32_t> Person{4};
/// First calendar year of the season (1998 for 1998/99).
inline constexpr Field<std::int16_t> Year{8};
inline constexpr Field<std::int32_t> Club{10};
/// Written as 0, never read.
inline constexpr Field<std::uint8_t> Unused14{14};
inline constexpr Field<std::uint8_t> Appearances{15};
inline constexpr Field<std::uint8_t> Goals{16};
} // namespace HistoryField

/// Club value of a history record whose club text matched no club.
inline constexpr std::int32_t UnmatchedHistoryClub = -3;

/// One season of one person at one club.
template <typename Image>
class BasicHistoryRecord : public BasicRecordView<Image>
{
    using Base = BasicRecordView<Image>;

public:
    using Base::Base;
    using Base::get;
    using Base::set;

    std::int32_t id() const { return get(HistoryField::Id); }
    bool setId(std::int32_t v) { return set(HistoryField::Id, v); }
    std::int32_t person() const { return get(HistoryField::Person); }
    bool setPerson(std::int32_t v) { return set(HistoryField::Person, v); }
    int year() const { return get(HistoryField::Year); }
    bool setYear(int v) { return set(HistoryField::Year, std::int16_t(v)); }
    /// Club index; negative shows as "<unknown>".
    std::int32_t club() const { return get(HistoryField::Club); }
    bool setClub(std::int32_t v) { return set(HistoryField::Club, v); }
    int unused14() const { return get(HistoryField::Unused14); }
    bool setUnused14(int v) { return set(HistoryField::Unused14, std::uint8_t(v)); }
    int appearances() const { return get(HistoryField::Appearances); }
    bool setAppearances(int v) { return set(HistoryField::Appearances, std::uint8_t(v)); }
    int goals() const { return get(HistoryField::Goals); }
    bool setGoals(int v) { return set(HistoryField::Goals, std::uint8_t(v)); }
};

using HistoryRecord = BasicHistoryRecord<DataImage>;
using ConstHistoryRecord = BasicHistoryRecord<const DataImage>;

inline int historyCount(const Database &db)
{
    return int(db.image(DataFile::StaffHistory).recordCount(RecordSize::History));
}

/// History record `index`, or nothing when out of range.
template <typename Db>
requires std::same_as<std::remove_const_t<Db>, Database>
    std::optional<BasicHistoryRecord<ImageOf<Db>>> historyRecord(Db &db, qsizetype index)
{
    return recordAt<BasicHistoryRecord<ImageOf<Db>>>(db.image(DataFile::StaffHistory),
                                                     RecordSize::History, index);
}

} // namespace kx3
