#pragma once

#include "core/db/RecordDate.h"
#include "core/layout/CityRecord.h"
#include "core/layout/ClubRecord.h"
#include "core/layout/OfficialRecord.h"
#include "core/layout/StadiumRecord.h"

#include <QByteArray>

#include <array>
#include <cstdint>

namespace kx3 {

class ClubNameList;
class Database;
class PickList;

// The values below are what a screen's confirm writes, already converted from
// its texts and choices. A screen converts and checks every box first and
// creates the record only when all of them converted, so a typing error never
// leaves a half-written record behind. Their defaults are the values a new
// record's screen starts with.

/// The club screen's fields, as stored.
struct ClubValues
{
    QByteArray longName = "<long name>";
    QByteArray shortName = "<short name>";
    /// "<none>" stores -1.
    std::int32_t nation = -1;
    std::int32_t division = -2;
    std::int32_t lastDivision = -2;
    int lastPosition = 0;
    std::int32_t otherDivision = -2;
    /// 1 "Professional".
    int status = 1;
    std::int32_t cash = 0;
    std::int32_t mainStadium = -2;
    bool ownStadium = false;
    std::int32_t reserveStadium = -2;
    /// 0 Monday .. 6 Sunday, 255 none.
    int homeMatchDay = 255;
    std::int32_t averageAttendance = 0;
    std::int32_t minimumAttendance = 0;
    std::int32_t maximumAttendance = 0;
    int trainingFacility = 0;
    /// As stored: the shown reputation times 500, kept to 16 bits.
    int reputation = 0;
    bool plc = false;
    /// Home 1, home 2, away 1, away 2, third 1, third 2.
    std::array<std::int32_t, 6> kitColours = {-2, -2, -2, -2, -2, -2};
};

/// The city screen's fields, as stored.
struct CityValues
{
    QByteArray name = "<city name>";
    std::int32_t nation = -2;
    double latitude = 0.0;
    double longitude = 0.0;
    int attraction = 0;
    std::int32_t climate = -2;
};

/// The stadium screen's fields, as stored.
struct StadiumValues
{
    QByteArray name = "<stadium name>";
    std::int32_t city = -2;
    std::int32_t capacity = 0;
    std::int32_t seating = 0;
    std::int32_t expansion = 0;
    /// Not used by appendStadium: a new stadium has no nearby stadium yet.
    std::int32_t nearby = -2;
    bool retractableRoof = false;
    bool underSoilHeating = false;
};

/// The official screen's fields, as stored; the names are texts, resolved in
/// the name tables when the official is written.
struct OfficialValues
{
    QByteArray firstName = "<first name>";
    QByteArray secondName = "<second name>";
    /// 1 February 1900.
    RecordDate dateOfBirth = {31, 1900, 0};
    /// "<none>" stores -1; also the nation key of the names.
    std::int32_t nation = -1;
    std::int32_t city = -2;
    int currentAbility = 0;
    int potentialAbility = 0;
    int currentReputation = 0;
    /// Flow, discipline, important matches, pressure, refereeing, running line,
    /// timekeeping.
    std::array<int, 7> ratings = {};
};

/// Writes every field the club screen shows, in record order: names, then +83
/// to +154. Position and relationship slots and the uninterpreted words stay,
/// and so does a flag byte that already reads as the value's check mark.
void writeClubValues(ClubRecord &club, const ClubValues &values);
/// Writes every field of a city but its id.
void writeCityValues(CityRecord &city, const CityValues &values);
/// Writes every field of a stadium but its id, the nearby stadium included;
/// a flag byte that already reads as the value's check mark stays.
void writeStadiumValues(StadiumRecord &stadium, const StadiumValues &values);
/// Writes an official's date of birth, nation, city and ratings; his names
/// go through FindOrAddName, which also keeps the usage counts.
void writeOfficialValues(OfficialRecord &official, const OfficialValues &values);

/// Creates a club right behind the last club, ahead of the national teams,
/// and returns its index C (the old club count).
///
/// Every national team moves up by one, and so does every club index at or
/// past C held anywhere: record ids, persons' national team, club and club
/// relationship slots, rival clubs, history clubs and the team references of
/// nation_comp_history.dat. The club.Dat part of the club image grows by one
/// record (bytes behind its last whole record stay behind the new one), the
/// short name joins `clubNames` and the nation's club count is recounted.
int insertClub(Database &db, ClubNameList &clubNames, const ClubValues &values);

/// Appends a city behind the last whole record of city.dat, adds it to the
/// city pick list and returns its index.
int appendCity(Database &db, PickList &cities, const CityValues &values);

/// Appends a stadium behind the last whole record of stadium.dat with no
/// nearby stadium, adds it to the stadium pick list and returns its index.
int appendStadium(Database &db, PickList &stadiums, const StadiumValues &values);

/// Appends an official behind the last whole record of officials.dat, finds
/// or adds his names under his nation and returns his index.
int appendOfficial(Database &db, const OfficialValues &values);

} // namespace kx3
