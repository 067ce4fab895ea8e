#pragma once

#include "core/db/DataFiles.h"
#include "core/db/Database.h"
#include "core/db/RecordView.h"

#include <optional>

namespace kx3 {

/// Layout of a 78-byte stadium record of stadium.dat.
namespace StadiumField {
inline constexpr Field<std::int32_t> Id{0};
inline constexpr TextField Name{4, 52, 51};
inline constexpr Field<std::int32_t> City{56};
inline constexpr Field<std::int32_t> Capacity{60};
inline constexpr Field<std::int32_t> Seating{64};
inline constexpr Field<std::int32_t> Expansion{68};
inline constexpr Field<std::int32_t> Nearby{72};
/// Flags: 255 yes, 0 no.
inline constexpr Field<std::uint8_t> RetractableRoof{76};
inline constexpr Field<std::uint8_t> UnderSoilHeating{77};
} // namespace StadiumField

/// A stadium of stadium.dat.
template <typename Image>
class BasicStadiumRecord : public BasicRecordView<Image>
{
    using Base = BasicRecordView<Image>;

public:
    using Base::Base;
    using Base::get;
    using Base::set;
    using Base::setFixed;

    std::int32_t id() const { return get(StadiumField::Id); }
    bool setId(std::int32_t v) { return set(StadiumField::Id, v); }
    QByteArray name() const { return get(StadiumField::Name); }
    bool setName(const QByteArray &t) { return setFixed(StadiumField::Name, t); }
    std::int32_t city() const { return get(StadiumField::City); }
    bool setCity(std::int32_t v) { return set(StadiumField::City, v); }
    std::int32_t capacity() const { return get(StadiumField::Capacity); }
    bool setCapacity(std::int32_t v) { return set(StadiumField::Capacity, v); }
    std::int32_t seating() const { return get(StadiumField::Seating); }
    bool setSeating(std::int32_t v) { return set(StadiumField::Seating, v); }
    std::int32_t expansion() const { return get(StadiumField::Expansion); }
    bool setExpansion(std::int32_t v) { return set(StadiumField::Expansion, v); }
    std::int32_t nearby() const { return get(StadiumField::Nearby); }
    bool setNearby(std::int32_t v) { return set(StadiumField::Nearby, v); }
    /// Raw flag byte; only 255 means yes.
    int retractableRoof() const { return get(StadiumField::RetractableRoof); }
    bool setRetractableRoof(int v) { return set(StadiumField::RetractableRoof, std::uint8_t(v)); }
    /// Raw flag byte; only 255 means yes.
    int underSoilHeating() const { return get(StadiumField::UnderSoilHeating); }
    bool setUnderSoilHeating(int v)
    {
        return set(StadiumField::UnderSoilHeating, std::uint8_t(v));
    }
};

using StadiumRecord = BasicStadiumRecord<DataImage>;
using ConstStadiumRecord = BasicStadiumRecord<const DataImage>;

inline int stadiumCount(const Database &db)
{
    return int(db.image(DataFile::Stadium).recordCount(RecordSize::Stadium));
}

/// Stadium `index`, or nothing when out of range.
template <typename Db>
requires std::same_as<std::remove_const_t<Db>, Database>
    std::optional<BasicStadiumRecord<ImageOf<Db>>> stadium(Db &db, qsizetype index)
{
    return recordAt<BasicStadiumRecord<ImageOf<Db>>>(db.image(DataFile::Stadium),
                                                     RecordSize::Stadium, index);
}

} // namespace kx3
