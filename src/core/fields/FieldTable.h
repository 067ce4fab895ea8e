#pragma once

// Every field of every kind of record, described once: its stable key, its
// caption, where and how it is stored, what it may hold, the box that shows
// it. The screens' box lists, the forms that tables, CSV files, patches and
// the change list read, the patch keys, the checks and the "Make Perfect"
// values are all read from these rows: adding a rating is one row here and
// one box in the screen's form.

#include "core/db/NumberField.h"
#include "core/db/RecordRef.h"
#include "core/layout/CityRecord.h"
#include "core/layout/ClubRecord.h"
#include "core/layout/NameEntry.h"
#include "core/layout/NationRecord.h"
#include "core/layout/OfficialRecord.h"
#include "core/layout/PersonRecord.h"
#include "core/layout/PlayerAttributes.h"
#include "core/layout/StadiumRecord.h"
#include "core/layout/StaffAttributes.h"

#include <QList>
#include <QString>
#include <QStringView>

#include <array>
#include <cstdint>
#include <span>
#include <vector>

namespace kx3 {

/// What a field holds and how its text reads.
enum class FieldType : std::uint8_t {
    Whole,   ///< a whole number, stored times the field's scale
    Real,    ///< an 8-byte double, shown with 7 significant digits
    Date,    ///< a record date, "d/m/yyyy"; a screen shows it in three boxes
    Text,    ///< Windows-1252 text of at most maxLength bytes
    Flag,    ///< "Yes" or "No"
    List,    ///< one item of a list: a fixed one, or the records of `refers`
    History, ///< a player's career, "season club apps goals" rows joined by " | "
};

/// The record a field is stored in; persons own up to three.
enum class FieldPart : std::uint8_t { Record, PlayerAttributes, StaffAttributes };

/// The person screens a field is on.
enum FieldScreens : std::uint8_t { OnPlayer = 1, OnStaff = 2, OnBoth = 3 };

struct FieldRow
{
    /// Never changes once published: patch files name fields by it.
    const char *key = "";
    /// How forms, table headers, CSV headers and version 1 patches name it.
    const char *caption = "";
    FieldType type = FieldType::Text;
    FieldPart part = FieldPart::Record;
    /// Whole, Real and Date: where it is stored, its advised range, and the
    /// label its box has (which refusals and questions name). A List or Flag
    /// stored as one code in its own record (`coded`): where that code is.
    NumberField number{};
    bool coded = false;
    /// Text: the most bytes it can hold.
    int maxLength = 0;
    /// The box that shows it (a date's three boxes add "1", "2", "3"); for
    /// persons the player screen's.
    const char *widget = nullptr;
    /// Persons: the staff screen's box and, where it differs, its label.
    const char *staffWidget = nullptr;
    const char *staffLabel = nullptr;
    std::uint8_t screens = OnBoth;
    /// What "Make Perfect" puts in it; 0 leaves it.
    int perfect = 0;
    /// What a new record's box starts with: null for 0, or for a date the
    /// game's "none set", 1 February 1900.
    const char *initial = nullptr;
    /// List: the kind of record its items name, when they name records.
    bool isReference = false;
    RecordKind refers = RecordKind::Nation;

    bool isNumber() const
    {
        return type == FieldType::Whole || type == FieldType::Real || type == FieldType::Date;
    }
    /// Whether `number` says where the field's bytes are.
    bool isStored() const { return isNumber() || coded; }
    /// The number of screen boxes it fills: three for a date.
    constexpr int boxCount() const
    {
        return type == FieldType::Date                               ? 3
               : type == FieldType::Whole || type == FieldType::Real ? 1
                                                                     : 0;
    }
};

namespace field_rows {

template <typename T>
constexpr FieldRow whole(const char *key, const char *caption, Field<T> f, const char *widget,
                          int advisedMax = -1, int scale = 1)
{
    FieldRow s{key, caption, FieldType::Whole};
    s.number = numberField(f, caption, scale);
    s.number.advisedMax = advisedMax;
    s.widget = widget;
    return s;
}

constexpr FieldRow real(const char *key, const char *caption, Field<double> f, const char *widget)
{
    FieldRow s{key, caption, FieldType::Real};
    s.number = {f.offset, NumberType::U8, caption};
    s.widget = widget;
    return s;
}

constexpr FieldRow date(const char *key, const char *caption, DateField f, const char *widget)
{
    FieldRow s{key, caption, FieldType::Date};
    s.number = {f.offset, NumberType::U16, caption};
    s.widget = widget;
    return s;
}

constexpr FieldRow text(const char *key, const char *caption, int maxLength, const char *widget)
{
    FieldRow s{key, caption, FieldType::Text};
    s.maxLength = maxLength;
    s.widget = widget;
    return s;
}

constexpr FieldRow list(const char *key, const char *caption, const char *widget)
{
    FieldRow s{key, caption, FieldType::List};
    s.widget = widget;
    return s;
}

constexpr FieldRow ref(const char *key, const char *caption, RecordKind refers,
                        const char *widget)
{
    FieldRow s = list(key, caption, widget);
    s.isReference = true;
    s.refers = refers;
    return s;
}

constexpr FieldRow flag(const char *key, const char *caption, const char *widget)
{
    FieldRow s{key, caption, FieldType::Flag};
    s.widget = widget;
    return s;
}

/// A list or flag whose item is one code stored at `f`.
template <typename T>
constexpr FieldRow at(FieldRow s, Field<T> f)
{
    s.number = numberField(f, s.caption);
    s.coded = true;
    return s;
}

/// A person field: on which screens, in which of his records, with which boxes.
constexpr FieldRow person(FieldRow s, std::uint8_t screens, FieldPart part,
                           const char *staffWidget, int perfect = 0)
{
    s.screens = screens;
    s.part = part;
    if (screens == OnStaff) {
        s.staffWidget = s.widget;
        s.widget = nullptr;
    } else {
        s.staffWidget = staffWidget;
    }
    s.perfect = perfect;
    return s;
}

/// The game's special values of a potential: -1 and -2 ("good", "excellent future").
constexpr FieldRow special(FieldRow s)
{
    s.number.advisedLowest = -2;
    return s;
}

constexpr FieldRow starting(FieldRow s, const char *initial)
{
    s.initial = initial;
    return s;
}

constexpr FieldRow staffLabelled(FieldRow s, const char *label)
{
    s.staffLabel = label;
    return s;
}

constexpr FieldRow P(FieldRow s, int perfect = 0)
{
    return person(s, OnPlayer, FieldPart::Record, nullptr, perfect);
}
constexpr FieldRow PA(FieldRow s, int perfect = 0)
{
    return person(s, OnPlayer, FieldPart::PlayerAttributes, nullptr, perfect);
}
constexpr FieldRow S(FieldRow s, int perfect = 0)
{
    return person(s, OnStaff, FieldPart::Record, nullptr, perfect);
}
constexpr FieldRow SA(FieldRow s, int perfect = 0)
{
    return person(s, OnStaff, FieldPart::StaffAttributes, nullptr, perfect);
}
constexpr FieldRow B(FieldRow s, const char *staffWidget, int perfect = 0)
{
    return person(s, OnBoth, FieldPart::Record, staffWidget, perfect);
}

namespace PF = PersonField;
namespace PAF = PlayerAttributesField;
namespace SAF = StaffAttributesField;
constexpr int NameLength = NameEntryField::Text.capacity;

template <typename T>
constexpr FieldRow rating(const char *key, const char *caption, Field<T> f, const char *widget)
{
    return whole(key, caption, f, widget, 20);
}
template <typename T>
constexpr FieldRow ability(const char *key, const char *caption, Field<T> f, const char *widget)
{
    return whole(key, caption, f, widget, 200);
}
constexpr FieldRow playing(const char *key, const char *caption, int i, const char *widget,
                            int perfect = 20)
{
    return PA(rating(key, caption, PAF::PlayingRatings.at(i), widget), perfect);
}
constexpr FieldRow position(const char *key, const char *caption, int i, const char *widget)
{
    return PA(rating(key, caption, PAF::PositionRatings.at(i), widget));
}
constexpr FieldRow mental(const char *key, const char *caption, int i, const char *widget,
                           const char *staffWidget)
{
    return B(rating(key, caption, PF::MentalRatings.at(i), widget), staffWidget, 20);
}
constexpr FieldRow coaching(const char *key, const char *caption, int i, const char *widget)
{
    return SA(rating(key, caption, SAF::Ratings.at(i), widget), 20);
}

} // namespace field_rows

/// A person's fields: his own record's, then his player and staff attribute
/// records'. The boxes of each screen are its fields in this order.
inline constexpr auto PersonFieldRows = [] {
    using namespace field_rows;
    return std::array{
        B(text("first_name", "First Name", NameLength, "FName"), "SFName"),
        B(text("second_name", "Second Name", NameLength, "SName"), "SSName"),
        B(text("common_name", "Common Name", NameLength, "CName"), "SCName"),
        B(at(ref("nation", "Nation", RecordKind::Nation, "PNation"), PF::Nationality), "SNation"),
        B(at(ref("second_nation", "Second Nation", RecordKind::Nation, "PSecNation"),
             PF::SecondNationality),
          "SSecNation"),
        B(at(ref("club", "Club", RecordKind::Club, "PClub"), PF::Club), "SClub"),
        B(at(list("job", "Job", "PJob"), PF::Job), "SJob1"),
        B(at(list("classification", "Classification", "PClass"), PF::Classification), "SClass"),
        P(at(list("plays_in", "Plays In", "PlayIn"), PF::PlaysIn)),
        S(at(ref("national_team", "National Team", RecordKind::Nation, "SNatTeam"),
             PF::NationalTeam)),
        S(at(list("national_job", "National Job", "SJob2"), PF::NationalJob)),
        SA(at(list("formation", "Formation", "SFor"), SAF::Formation)),
        B(staffLabelled(date("date_of_birth", "Date Of Birth", PF::DateOfBirth, "DOB"), "DOB"),
          "SDOB"),
        B(whole("caps", "Caps", PF::Caps, "Cap"), "SCap"),
        B(whole("goals", "Goals", PF::Goals, "Goal"), "SGoal"),
        S(date("national_joined", "Nat Join", PF::NationalJoined, "NatJ")),
        S(date("national_contract_end", "Nat End", PF::NationalContractEnd, "NatE")),
        B(starting(date("joined", "Join", PF::Joined, "Join"), "2/1/1996"), "SJoin"),
        B(date("contract_end", "End", PF::ContractEnd, "ConEnd"), "SConEnd"),
        P(whole("wage", "Wage (£)", PF::Wage, "PWage")),
        P(whole("value", "Value (£)", PF::Value, "PValue")),
        mental("adaptability", "Adaptability", 0, "PAda", "SAda"),
        mental("ambition", "Ambition", 1, "PAmb", "SAmb"),
        mental("determination", "Determination", 2, "PDet", "SDet"),
        mental("loyalty", "Loyalty", 3, "PLoy", "SLoy"),
        mental("pressure", "Pressure", 4, "PPre", "SPre"),
        mental("professionalism", "Professionalism", 5, "PPro", "SPro"),
        mental("sportsmanship", "Sportsmanship", 6, "PSpo", "SSpo"),
        mental("temperament", "Temperament", 7, "PTem", "STem"),
        PA(whole("squad_number", "Squad#", PAF::SquadNumber, "PNum")),
        PA(ability("current_ability", "Current Ability", PAF::CurrentAbility, "PCurAbi"), 200),
        PA(special(ability("potential_ability", "Potential Ability", PAF::PotentialAbility,
                           "PPotAbi")),
           200),
        PA(ability("home_reputation", "Home Reputation", PAF::HomeReputation, "PHomRep"), 200),
        PA(ability("current_reputation", "Current Reputation", PAF::CurrentReputation, "PCurRep"),
           200),
        PA(ability("world_reputation", "World Reputation", PAF::WorldReputation, "PWorRep"), 200),
        position("goalkeeper", "Goalkeeper", 0, "Gk"),
        position("sweeper", "Sweeper", 1, "Sw"),
        position("defender", "Defender", 2, "Def"),
        position("anchor", "Anchor", 3, "Anc"),
        position("midfielder", "Midfielder", 4, "Mid"),
        position("support", "Support", 5, "Sup"),
        position("attacker", "Attacker", 6, "Att"),
        position("wing_back", "Wing Back", 7, "Wb"),
        position("right", "Right", 8, "Rig"),
        position("left", "Left", 9, "Lef"),
        position("centre", "Centre", 10, "Cen"),
        position("free_role", "Free Role", 11, "FRol"),
        playing("acceleration", "Acceleration", 0, "Acc"),
        playing("aggression", "Aggression", 1, "Agg"),
        playing("agility", "Agility", 2, "Agi"),
        playing("anticipation", "Anticipation", 3, "Ant"),
        playing("balance", "Balance", 4, "Bal"),
        playing("bravery", "Bravery", 5, "Bra"),
        playing("consistency", "Consistency", 6, "Con"),
        playing("corners", "Corners", 7, "Cor"),
        playing("crossing", "Crossing", 8, "Cro"),
        playing("decisions", "Decisions", 9, "Dec"),
        // Less is better: a perfect player is never dirty nor injury prone.
        playing("dirtiness", "Dirtiness", 10, "Dir", 1),
        playing("dribbling", "Dribbling", 11, "Dri"),
        playing("finishing", "Finishing", 12, "Fin"),
        playing("flair", "Flair", 13, "Fla"),
        playing("free_kicks", "Free Kicks", 14, "Fre"),
        playing("handling", "Handling", 15, "Han"),
        playing("heading", "Heading", 16, "Hea"),
        playing("important_matches", "Imprtnt Match", 17, "Imp"),
        playing("injury_proneness", "Injury Prone", 18, "Inj", 1),
        playing("jumping", "Jumping", 19, "jum"),
        playing("leadership", "Leadership", 20, "Lea"),
        playing("left_foot", "Left Foot*", 21, "LFo"),
        playing("long_shots", "Long Shots", 22, "Lon"),
        playing("marking", "Marking", 23, "Mar"),
        playing("movement", "Movement", 24, "Mov"),
        playing("natural_fitness", "Natural Fitness", 25, "Nat"),
        playing("one_on_ones", "One-on-One", 26, "One"),
        playing("pace", "Pace", 27, "Pac"),
        playing("passing", "Passing", 28, "Pas"),
        playing("penalties", "Penalties", 29, "Pen"),
        playing("positioning", "Positioning", 30, "Pos"),
        playing("reflexes", "Reflexes", 31, "Ref"),
        playing("right_foot", "Right Foot*", 32, "RFo"),
        playing("stamina", "Stamina", 33, "Sta"),
        playing("strength", "Strength", 34, "Str"),
        playing("tackling", "Tackling", 35, "Tac"),
        playing("teamwork", "Team Work", 36, "Tea"),
        playing("technique", "Technique", 37, "Tec"),
        playing("throw_ins", "Throw Ins", 38, "Thr"),
        playing("versatility", "Versatility", 39, "Ver"),
        playing("vision", "Vision", 40, "Vis"),
        playing("work_rate", "Work Rate", 41, "Wor"),
        SA(staffLabelled(ability("staff_current_ability", "Current Ability (Staff)",
                                 SAF::CurrentAbility, "SCurAbi"),
                         "Current Ability"),
           200),
        SA(staffLabelled(special(ability("staff_potential_ability", "Potential Ability (Staff)",
                                         SAF::PotentialAbility, "SPotAbi")),
                         "Potential Ability"),
           200),
        SA(staffLabelled(ability("staff_home_reputation", "Home Reputation (Staff)",
                                 SAF::HomeReputation, "SHomRep"),
                         "Home Reputation"),
           200),
        SA(staffLabelled(ability("staff_current_reputation", "Current Reputation (Staff)",
                                 SAF::CurrentReputation, "SCurRep"),
                         "Current Reputation"),
           200),
        SA(staffLabelled(ability("staff_world_reputation", "World Reputation (Staff)",
                                 SAF::WorldReputation, "SWorRep"),
                         "World Reputation"),
           200),
        coaching("attacking_play", "Attacking Play", 0, "SAtt"),
        coaching("business_ability", "Business Ability", 1, "SBus"),
        coaching("coaching_outfield", "Coaching Outfield", 2, "SOut"),
        coaching("coaching_goalkeeper", "Coaching Goalkeeper", 3, "SGk"),
        coaching("coaching_style", "Coaching Style", 4, "SCoa"),
        coaching("direct_play", "Direct Play", 5, "SDir"),
        coaching("discipline_level", "Discipline Level", 6, "SDis"),
        coaching("free_roles", "Free Roles", 7, "SFre"),
        coaching("interference", "Interference", 8, "SInt"),
        coaching("judging_ability", "Judging Player Ability", 9, "SJAbi"),
        coaching("judging_potential", "Judging Player Potential", 10, "SJPot"),
        coaching("man_management", "Man Management", 11, "SMan"),
        staffLabelled(coaching("staff_marking", "Marking (Staff)", 12, "SMar"), "Marking"),
        coaching("motivating", "Motivating", 13, "SMot"),
        coaching("offside_trap", "Offside Trap", 14, "SOff"),
        coaching("patience_play", "Patience Play", 15, "SPat"),
        coaching("physiotherapy", "Physiotherapy", 16, "SPhy"),
        coaching("pressing", "Pressing", 17, "SPres"),
        coaching("resources", "Resources", 18, "SRes"),
        coaching("tactical_knowledge", "Tactical Knowledge", 19, "STac"),
        coaching("working_with_youngsters", "Work With Youngster", 20, "SYou"),
        P({"history", "History", FieldType::History}),
        // Whether he owns each attribute record: what his roles left him.
        B(flag("player_attributes", "Player Attributes", nullptr), nullptr),
        B(flag("staff_attributes", "Staff Attributes", nullptr), nullptr),
    };
}();

inline constexpr auto ClubFieldRows = [] {
    using namespace field_rows;
    using C = RecordKind;
    namespace F = ClubField;
    return std::array{
        text("long_name", "Long Name", F::LongName.capacity, "CLongName"),
        text("short_name", "Short Name", F::ShortName.capacity, "CShortName"),
        at(ref("nation", "Nation", C::Nation, "CNation"), F::Nation),
        at(list("status", "Status", "ClubStatus"), F::Status),
        at(list("division", "Division", "CDiv"), F::Division),
        at(list("last_division", "Last Division", "CLastDiv"), F::LastDivision),
        at(list("other_division", "Other Division", "COtherDiv"), F::OtherDivision),
        whole("last_position", "Last Position", F::LastPosition, "LastPos"),
        whole("cash", "Cash (£)", F::Cash, "Cash"),
        whole("average_attendance", "Avg Attendance", F::AverageAttendance, "AvgAtt"),
        whole("minimum_attendance", "Min Attendance", F::MinimumAttendance, "MinAtt"),
        whole("maximum_attendance", "Max Attendance", F::MaximumAttendance, "MaxAtt"),
        whole("training_facility", "Training Facility", F::TrainingFacility, "CTrain"),
        whole("reputation", "Reputation", F::Reputation, "CRep", -1, 500),
        at(ref("main_stadium", "Main Stadium", C::Stadium, "CMainStad"), F::MainStadium),
        at(ref("reserve_stadium", "Reserve Stadium", C::Stadium, "CRsvStad"), F::ReserveStadium),
        at(list("home_match_day", "Home Match Day", "HomeMatchDay"), F::HomeMatchDay),
        at(list("home_colour_1", "Home Colour 1", "HomeCol1"), F::KitColours.at(0)),
        at(list("home_colour_2", "Home Colour 2", "HomeCol2"), F::KitColours.at(1)),
        at(list("away_colour_1", "Away Colour 1", "AwayCol1"), F::KitColours.at(2)),
        at(list("away_colour_2", "Away Colour 2", "AwayCol2"), F::KitColours.at(3)),
        at(list("third_colour_1", "Third Colour 1", "ThirdCol1"), F::KitColours.at(4)),
        at(list("third_colour_2", "Third Colour 2", "ThirdCol2"), F::KitColours.at(5)),
        at(flag("own_stadium", "Own Stadium", "OwnStad"), F::OwnStadium),
        at(flag("plc", "PLC", "ClubPLC"), F::Plc),
    };
}();

inline constexpr auto NationFieldRows = [] {
    using namespace field_rows;
    using C = RecordKind;
    namespace F = NationField;
    return std::array{
        at(list("continent", "Continent", "NContinent"), F::Continent),
        at(list("region", "Region", "NReg"), F::Region),
        at(list("actual_region", "Actual Region", "NActReg"), F::ActualRegion),
        at(list("language_1", "Language 1", "N1Lang"), F::Languages.at(0)),
        at(list("language_2", "Language 2", "N2Lang"), F::Languages.at(1)),
        at(list("language_3", "Language 3", "N3Lang"), F::Languages.at(2)),
        at(ref("capital_city", "Capital City", C::City, "NCity"), F::CapitalCity),
        at(list("development_state", "Development State", "DevSt"), F::DevelopmentState),
        at(list("group_membership", "Group Membership", "GroupM"), F::GroupMembership),
        at(ref("national_stadium", "National Stadium", C::Stadium, "NStad"), F::NationalStadium),
        at(list("home_colour_1", "Home Colour 1", "NatHCol1"), F::KitColours.at(0)),
        at(list("home_colour_2", "Home Colour 2", "NatHCol2"), F::KitColours.at(1)),
        at(list("away_colour_1", "Away Colour 1", "NatACol1"), F::KitColours.at(2)),
        at(list("away_colour_2", "Away Colour 2", "NatACol2"), F::KitColours.at(3)),
        at(list("third_colour_1", "Third Colour 1", "NatTCol1"), F::KitColours.at(4)),
        at(list("third_colour_2", "Third Colour 2", "NatTCol2"), F::KitColours.at(5)),
        at(ref("rival_1", "Rival 1", C::Nation, "NRiv1"), F::Rivals.at(0)),
        at(ref("rival_2", "Rival 2", C::Nation, "NRiv2"), F::Rivals.at(1)),
        at(ref("rival_3", "Rival 3", C::Nation, "NRiv3"), F::Rivals.at(2)),
        whole("game_importance", "Game Importance", F::GameImportance, "NGame"),
        whole("league_standard", "League Standard", F::LeagueStandard, "NLeagueS"),
        whole("season_update_day", "Season Update Day", F::SeasonUpdateDay, "NSUpd"),
        whole("reputation", "Reputation", F::Reputation, "NRep"),
        real("fifa_coefficient", "FIFA Coefficient", F::FifaCoefficient, "FCoef"),
        real("fifa_coefficient_91", "FIFA Coefficient 91", F::FifaCoefficients.at(0), "FCoef91"),
        real("fifa_coefficient_92", "FIFA Coefficient 92", F::FifaCoefficients.at(1), "FCoef92"),
        real("fifa_coefficient_93", "FIFA Coefficient 93", F::FifaCoefficients.at(2), "FCoef93"),
        real("fifa_coefficient_94", "FIFA Coefficient 94", F::FifaCoefficients.at(3), "FCoef94"),
        real("fifa_coefficient_95", "FIFA Coefficient 95", F::FifaCoefficients.at(4), "FCoef95"),
        real("fifa_coefficient_96", "FIFA Coefficient 96", F::FifaCoefficients.at(5), "FCoef96"),
        real("uefa_coefficient_91", "UEFA Coefficient 91", F::UefaCoefficients.at(0), "UCoef91"),
        real("uefa_coefficient_92", "UEFA Coefficient 92", F::UefaCoefficients.at(1), "UCoef92"),
        real("uefa_coefficient_93", "UEFA Coefficient 93", F::UefaCoefficients.at(2), "UCoef93"),
        real("uefa_coefficient_94", "UEFA Coefficient 94", F::UefaCoefficients.at(3), "UCoef94"),
        real("uefa_coefficient_95", "UEFA Coefficient 95", F::UefaCoefficients.at(4), "UCoef95"),
        real("uefa_coefficient_96", "UEFA Coefficient 96", F::UefaCoefficients.at(5), "UCoef96"),
    };
}();

inline constexpr auto CityFieldRows = [] {
    using namespace field_rows;
    namespace F = CityField;
    return std::array{
        text("name", "Name", F::Name.capacity, "CtName"),
        at(ref("nation", "Nation", RecordKind::Nation, "CtNat"), F::Nation),
        real("latitude", "City Latitude", F::Latitude, "CtLat"),
        real("longitude", "City Longitude", F::Longitude, "CtLong"),
        whole("attraction", "City Attraction", F::Attraction, "CtAttract"),
        at(list("climate", "Climate", "CtWeather"), F::Climate),
    };
}();

inline constexpr auto StadiumFieldRows = [] {
    using namespace field_rows;
    namespace F = StadiumField;
    return std::array{
        text("name", "Name", F::Name.capacity, "StadName"),
        at(ref("city", "City", RecordKind::City, "StCity"), F::City),
        whole("capacity", "Capacity", F::Capacity, "StCapa"),
        whole("seating", "Seating", F::Seating, "StSeat"),
        whole("expansion", "Expansion", F::Expansion, "StExp"),
        at(ref("nearby_stadium", "Nearby Stadium", RecordKind::Stadium, "StNearby"), F::Nearby),
        at(flag("retractable_roof", "Retractable Roof", "StRoof"), F::RetractableRoof),
        at(flag("under_soil_heating", "Under Soil Heating", "StHeat"), F::UnderSoilHeating),
    };
}();

inline constexpr auto OfficialFieldRows = [] {
    using namespace field_rows;
    namespace F = OfficialField;
    return std::array{
        text("first_name", "First Name", NameLength, "OFName"),
        text("second_name", "Second Name", NameLength, "OSName"),
        at(ref("nation", "Nation", RecordKind::Nation, "ONation"), F::Nation),
        at(ref("city", "City", RecordKind::City, "OCity"), F::City),
        date("date_of_birth", "Date Of Birth", F::DateOfBirth, "ODOB"),
        ability("current_ability", "Current Ability", F::CurrentAbility, "OAbi"),
        special(ability("potential_ability", "Potential Ability", F::PotentialAbility, "OPot")),
        ability("current_reputation", "Current Reputation", F::CurrentReputation, "ORep"),
        rating("allowing_flow", "Allowing Flow", F::CommonRatings.at(0), "OFlow"),
        rating("discipline", "Discipline", F::CommonRatings.at(1), "ODisc"),
        rating("important_matches", "Important Matches", F::CommonRatings.at(2), "OImp"),
        rating("pressure", "Pressure", F::CommonRatings.at(3), "OPres"),
        rating("refereeing", "Refereeing", F::CommonRatings.at(4), "OReff"),
        rating("running_line", "Running Line", F::CommonRatings.at(5), "ORun"),
        rating("timekeeping", "Timekeeping", F::CommonRatings.at(6), "OTime"),
    };
}();

/// The rows of `kind` (clubs and national teams share theirs); none for misc lines.
std::span<const FieldRow> fieldTable(RecordKind kind);
/// The row of `kind` with that key, or null.
const FieldRow *fieldByKey(RecordKind kind, QStringView key);
/// The row of `kind` with that caption, or null.
const FieldRow *fieldByCaption(RecordKind kind, QStringView caption);
/// A field's caption and its box label as texts.
QString fieldCaption(const FieldRow &field);
QString fieldLabel(const FieldRow &field, bool staffScreen = false);

/// Number of screen boxes the fields of `rows` on `screens` fill.
template <std::size_t N>
constexpr std::size_t boxCount(const std::array<FieldRow, N> &rows, std::uint8_t screens = OnBoth)
{
    std::size_t n = 0;
    for (const FieldRow &f : rows) {
        if (f.screens & screens)
            n += std::size_t(f.boxCount());
    }
    return n;
}

/// The object names of the boxes of `kind`'s screen, in box order: a date's
/// three boxes in turn. For persons the player or the staff screen's.
std::span<const char *const> boxWidgetNames(RecordKind kind, bool staffScreen = false);

/// The texts of a new record's boxes on `screens`, in box order (a date's
/// day, month and year in turn), as the rows start them.
QList<QString> newBoxTexts(RecordKind kind, std::uint8_t screens = OnBoth);

/// The stored numbers of `kind` kept in `part` that have an advised range,
/// in row order: what the integrity check notes values outside of.
std::span<const NumberField> advisedNumbers(RecordKind kind, FieldPart part);

} // namespace kx3
