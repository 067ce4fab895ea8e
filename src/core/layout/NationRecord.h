#pragma once

#include "core/db/DataFiles.h"
#include "core/db/Database.h"
#include "core/db/RecordView.h"

#include <array>
#include <optional>

namespace kx3 {

/// Layout of a 290-byte nation record of nation.dat.
namespace NationField {
inline constexpr BytesField Unused0{0, 4};
inline constexpr TextField LongName{4, 52, 51};
inline constexpr TextField ShortName{56, 27, 26};
/// Exactly three characters with no terminator.
inline constexpr BytesField Abbreviation{83, 3};
inline constexpr Field<std::uint8_t> Unused86{86};
inline constexpr TextField NationalityName{87, 26, 25};
inline constexpr Field<std::int32_t> Continent{113};
inline constexpr Field<std::uint8_t> Region{117};
inline constexpr Field<std::uint8_t> ActualRegion{118};
inline constexpr ArrayField<std::uint8_t> Languages{119, 3};
inline constexpr Field<std::int32_t> CapitalCity{122};
inline constexpr Field<std::uint8_t> DevelopmentState{126};
inline constexpr Field<std::uint8_t> GroupMembership{127};
inline constexpr Field<std::int32_t> NationalStadium{128};
inline constexpr Field<std::uint8_t> GameImportance{132};
inline constexpr Field<std::uint8_t> LeagueStandard{133};
/// Number of clubs of this nation, kept by the club editor.
inline constexpr Field<std::int16_t> ClubCount{134};
/// Number of persons of this nationality, kept by the person editors.
inline constexpr Field<std::int32_t> PersonCount{136};
inline constexpr Field<std::int16_t> SeasonUpdateDay{140};
inline constexpr Field<std::int16_t> Reputation{142};
/// Home 1, home 2, away 1, away 2, third 1, third 2.
inline constexpr ArrayField<std::int32_t> KitColours{144, 6};
inline constexpr Field<double> FifaCoefficient{168};
/// Years 91 to 96.
inline constexpr ArrayField<double> FifaCoefficients{176, 6};
inline constexpr ArrayField<double> UefaCoefficients{224, 6};
inline constexpr ArrayField<std::int32_t> Rivals{272, 3};
inline constexpr BytesField Unused284{284, 6};
} // namespace NationField

/// Items of the continent list: item 0 "<unknown>" (stores -2), item k = continent k - 1.
inline constexpr std::array<const char *, 7> ContinentItems = {
    "<unknown>", "Africa", "Asia", "Europe", "North America", "Oceania", "South America",
};

/// Items of the region list: item = stored value.
inline constexpr std::array<const char *, 25> RegionNames = {
    "<unknown>",      "Africa",          "Asia",          "Balkan",
    "Brazil",         "Brittain",        "Caribbean",     "Central America",
    "Eastern Europe", "France",          "Germany",       "Holland",
    "Italy",          "Japan",           "Middle East",   "North Africa",
    "North America",  "Northern Europe", "Oceania",       "Russia",
    "Scandinavia",    "South Africa",    "South America", "Southern Europe",
    "Spain",
};

/// Items of the actual region list: item = stored value. "Oceania" carries a trailing tab,
/// as the game's own list does.
inline constexpr std::array<const char *, 15> ActualRegionNames = {
    "<unknown>",      "Africa",         "Asia",          "Caribbean",       "Central America",
    "Central Europe", "Eastern Europe", "Middle East",   "North Africa",    "North America",
    "Oceania\t",      "Scandinavia",    "South America", "Southern Europe", "UK and Ireland",
};

/// Items of the three language lists: item = stored value (not alphabetical
/// after "Turkish"; both "Albanian" and "Albanian*" are kept).
inline constexpr std::array<const char *, 61> LanguageNames = {
    "<none>",     "Albanian",  "Arabic",   "Bulgarian", "Chinese",    "Croatian",     "Czech",
    "Dutch",      "English",   "Finnish",  "French",    "German",     "Greek",        "Hebrew",
    "Hungarian",  "Italian",   "Japanese", "Korean",    "Polish",     "Portuguese",   "Romanian",
    "Russian",    "Norwegian", "Serbian",  "Spanish",   "Turkish",    "Burmese",      "Malay",
    "Persian",    "Slovak",    "Danish",   "Icelandic", "Swedish",    "Afrikaans",    "Albanian*",
    "Amharic",    "Armenian",  "Azeri",    "Bangla",    "Estonian",   "Georgian",     "Hindi",
    "Javanese",   "Khmer",     "Kyrgyz",   "Lao",       "Latvian",    "Letzburgesch", "Lithuanian",
    "Macedonian", "Malagasy",  "Maltese",  "Sinhalese", "Slovenian",  "Somali",       "Swahili",
    "Tajik",      "Tamil",     "Thai",     "Uzbek",     "Vietnamese",
};

/// Items of the development state list: item = stored value.
inline constexpr std::array<const char *, 4> DevelopmentStateNames = {
    "<unknown>",
    "Developed State",
    "Developing State",
    "Third World State",
};

/// Items of the group membership list: item = stored value.
inline constexpr std::array<const char *, 3> GroupMembershipNames = {
    "<unknown>",
    "Non EEC Country",
    "EEC Country",
};

/// A nation of nation.dat.
template <typename Image>
class BasicNationRecord : public BasicRecordView<Image>
{
    using Base = BasicRecordView<Image>;

public:
    using Base::Base;
    using Base::get;
    using Base::set;
    using Base::setPadded;

    QByteArray longName() const { return get(NationField::LongName); }
    bool setLongName(const QByteArray &t) { return setPadded(NationField::LongName, t); }
    QByteArray shortName() const { return get(NationField::ShortName); }
    bool setShortName(const QByteArray &t) { return setPadded(NationField::ShortName, t); }
    /// The three stored bytes, whatever they are.
    QByteArray abbreviation() const { return get(NationField::Abbreviation); }
    bool setAbbreviation(const QByteArray &t)
    {
        return set(NationField::Abbreviation, t.leftJustified(3, ' ', true));
    }
    QByteArray nationalityName() const { return get(NationField::NationalityName); }
    bool setNationalityName(const QByteArray &t)
    {
        return setPadded(NationField::NationalityName, t);
    }
    std::int32_t continent() const { return get(NationField::Continent); }
    bool setContinent(std::int32_t v) { return set(NationField::Continent, v); }
    int region() const { return get(NationField::Region); }
    bool setRegion(int v) { return set(NationField::Region, std::uint8_t(v)); }
    int actualRegion() const { return get(NationField::ActualRegion); }
    bool setActualRegion(int v) { return set(NationField::ActualRegion, std::uint8_t(v)); }
    /// Language 0..2 (first, second, third).
    int language(int i) const { return i >= 0 && i < 3 ? get(NationField::Languages.at(i)) : 0; }
    bool setLanguage(int i, int v)
    {
        return i >= 0 && i < 3 && set(NationField::Languages.at(i), std::uint8_t(v));
    }
    std::int32_t capitalCity() const { return get(NationField::CapitalCity); }
    bool setCapitalCity(std::int32_t v) { return set(NationField::CapitalCity, v); }
    int developmentState() const { return get(NationField::DevelopmentState); }
    bool setDevelopmentState(int v) { return set(NationField::DevelopmentState, std::uint8_t(v)); }
    int groupMembership() const { return get(NationField::GroupMembership); }
    bool setGroupMembership(int v) { return set(NationField::GroupMembership, std::uint8_t(v)); }
    std::int32_t nationalStadium() const { return get(NationField::NationalStadium); }
    bool setNationalStadium(std::int32_t v) { return set(NationField::NationalStadium, v); }
    int gameImportance() const { return get(NationField::GameImportance); }
    bool setGameImportance(int v) { return set(NationField::GameImportance, std::uint8_t(v)); }
    int leagueStandard() const { return get(NationField::LeagueStandard); }
    bool setLeagueStandard(int v) { return set(NationField::LeagueStandard, std::uint8_t(v)); }
    int clubCount() const { return get(NationField::ClubCount); }
    bool setClubCount(int v) { return set(NationField::ClubCount, std::int16_t(v)); }
    std::int32_t personCount() const { return get(NationField::PersonCount); }
    bool setPersonCount(std::int32_t v) { return set(NationField::PersonCount, v); }
    int seasonUpdateDay() const { return get(NationField::SeasonUpdateDay); }
    bool setSeasonUpdateDay(int v) { return set(NationField::SeasonUpdateDay, std::int16_t(v)); }
    int reputation() const { return get(NationField::Reputation); }
    bool setReputation(int v) { return set(NationField::Reputation, std::int16_t(v)); }
    /// Kit colour 0..5 (home 1, home 2, away 1, away 2, third 1, third 2).
    std::int32_t kitColour(int i) const
    {
        return i >= 0 && i < 6 ? get(NationField::KitColours.at(i)) : -2;
    }
    bool setKitColour(int i, std::int32_t v)
    {
        return i >= 0 && i < 6 && set(NationField::KitColours.at(i), v);
    }
    double fifaCoefficient() const { return get(NationField::FifaCoefficient); }
    bool setFifaCoefficient(double v) { return set(NationField::FifaCoefficient, v); }
    /// FIFA coefficient of year 91 + i (i = 0..5).
    double fifaCoefficientOfYear(int i) const
    {
        return i >= 0 && i < 6 ? get(NationField::FifaCoefficients.at(i)) : 0.0;
    }
    bool setFifaCoefficientOfYear(int i, double v)
    {
        return i >= 0 && i < 6 && set(NationField::FifaCoefficients.at(i), v);
    }
    /// UEFA coefficient of year 91 + i (i = 0..5).
    double uefaCoefficientOfYear(int i) const
    {
        return i >= 0 && i < 6 ? get(NationField::UefaCoefficients.at(i)) : 0.0;
    }
    bool setUefaCoefficientOfYear(int i, double v)
    {
        return i >= 0 && i < 6 && set(NationField::UefaCoefficients.at(i), v);
    }
    /// Rival nation 0..2.
    std::int32_t rival(int i) const
    {
        return i >= 0 && i < 3 ? get(NationField::Rivals.at(i)) : -2;
    }
    bool setRival(int i, std::int32_t v)
    {
        return i >= 0 && i < 3 && set(NationField::Rivals.at(i), v);
    }
};

using NationRecord = BasicNationRecord<DataImage>;
using ConstNationRecord = BasicNationRecord<const DataImage>;

inline int nationCount(const Database &db)
{
    return int(db.image(DataFile::Nation).recordCount(RecordSize::Nation));
}

/// Nation `index`, or nothing when out of range.
template <typename Db>
requires std::same_as<std::remove_const_t<Db>, Database>
    std::optional<BasicNationRecord<ImageOf<Db>>> nation(Db &db, qsizetype index)
{
    return recordAt<BasicNationRecord<ImageOf<Db>>>(db.image(DataFile::Nation), RecordSize::Nation,
                                                    index);
}

} // namespace kx3
