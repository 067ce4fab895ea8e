#pragma once

#include "core/db/DataFiles.h"
#include "core/db/Database.h"
#include "core/db/RecordView.h"

#include <array>
#include <optional>

namespace kx3 {

/// Layout of a 56-byte city record of city.dat.
namespace CityField {
inline constexpr Field<std::int32_t> Id{0};
inline constexpr TextField Name{4, 27, 26};
inline constexpr Field<std::int32_t> Nation{31};
inline constexpr Field<double> Latitude{35};
inline constexpr Field<double> Longitude{43};
inline constexpr Field<std::uint8_t> Attraction{51};
/// Climate code; negative = unknown.
inline constexpr Field<std::int32_t> Climate{52};
} // namespace CityField

/// Items of the climate list: item 0 "<Unknown>" (stores -2), item k = climate k - 1.
inline constexpr std::array<const char *, 32> ClimateItems = {
    "<Unknown>",         "Aw - Caracas",       "Am - Manilla",       "BShw - Tucuman",
    "Das - Kabul",       "Cbw - Johannesburg", "Daf - New York",     "English Coastal",
    "English Inland",    "English Northern",   "Cbf - Belgrade",     "Dcf - Arkhangelsk",
    "Dbf - Moscow",      "Dbf - Ottowa",       "Scottish Lowlands",  "Caf - Tokyo",
    "Csa - Rome",        "Csa - Marrakesh",    "Caf - Buenos Aires", "Af - Rio de Janiero",
    "BSkw - Denver",     "Bwhs - Sarmiento",   "Csb - Los Angeles",  "Csb - Cape Town",
    "Cbw - Mexico City", "BShs - Tehran",      "Daw - Beijing",      "BshW - Dehli",
    "BWn - Lima",        "Bwk - Kashi",        "BWh - Aswan",        "BWhw - Karachi",
};

/// A city of city.dat.
template <typename Image>
class BasicCityRecord : public BasicRecordView<Image>
{
    using Base = BasicRecordView<Image>;

public:
    using Base::Base;
    using Base::get;
    using Base::set;
    using Base::setFixed;

    std::int32_t id() const { return get(CityField::Id); }
    bool setId(std::int32_t v) { return set(CityField::Id, v); }
    QByteArray name() const { return get(CityField::Name); }
    bool setName(const QByteArray &t) { return setFixed(CityField::Name, t); }
    std::int32_t nation() const { return get(CityField::Nation); }
    bool setNation(std::int32_t v) { return set(CityField::Nation, v); }
    double latitude() const { return get(CityField::Latitude); }
    bool setLatitude(double v) { return set(CityField::Latitude, v); }
    double longitude() const { return get(CityField::Longitude); }
    bool setLongitude(double v) { return set(CityField::Longitude, v); }
    int attraction() const { return get(CityField::Attraction); }
    bool setAttraction(int v) { return set(CityField::Attraction, std::uint8_t(v)); }
    std::int32_t climate() const { return get(CityField::Climate); }
    bool setClimate(std::int32_t v) { return set(CityField::Climate, v); }
};

using CityRecord = BasicCityRecord<DataImage>;
using ConstCityRecord = BasicCityRecord<const DataImage>;

inline int cityCount(const Database &db)
{
    return int(db.image(DataFile::City).recordCount(RecordSize::City));
}

/// City `index`, or nothing when out of range.
template <typename Db>
requires std::same_as<std::remove_const_t<Db>, Database>
    std::optional<BasicCityRecord<ImageOf<Db>>> city(Db &db, qsizetype index)
{
    return recordAt<BasicCityRecord<ImageOf<Db>>>(db.image(DataFile::City), RecordSize::City,
                                                  index);
}

} // namespace kx3
