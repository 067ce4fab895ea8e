#include "core/records/IntegrityCheck.h"

#include "core/clubs/ClubRecord.h"
#include "core/clubs/HistoryRecord.h"
#include "core/clubs/KitColours.h"
#include "core/db/Database.h"
#include "core/db/Lookups.h"
#include "core/db/NameEntry.h"
#include "core/nations/NationRecord.h"
#include "core/people/CodeLists.h"
#include "core/people/PersonRecord.h"
#include "core/people/PlayerAttributes.h"
#include "core/people/StaffAttributes.h"
#include "core/world/CityRecord.h"
#include "core/world/CompetitionRecord.h"
#include "core/world/NationCompHistoryRecord.h"
#include "core/world/OfficialRecord.h"
#include "core/world/StadiumRecord.h"

#include <algorithm>
#include <array>
#include <utility>
#include <vector>

namespace kx3 {

namespace {

constexpr int KitColourCount = int(KitColourItems.size()) - 1;
constexpr int ClimateCount = int(ClimateItems.size()) - 1;
constexpr int HighestJob = Job::Retired;
constexpr int HighestClassification = Classification::YouthPlayer;

/// Valid indices [first, end).
struct Range
{
    qint64 first = 0;
    qint64 end = 0;

    bool contains(qint64 v) const { return v >= first && v < end; }
    QString text() const
    {
        return end > first ? QStringLiteral("%1..%2").arg(first).arg(end - 1)
                           : QStringLiteral("no valid value");
    }
};

/// Names the record a problem is about; formatted only when one is reported.
struct Where
{
    const char *format;
    qint64 first = 0;
    qint64 second = 0;
    bool twoNumbers = false;

    QString text() const
    {
        const QString once = QString::fromLatin1(format).arg(first);
        return twoNumbers ? once.arg(second) : once;
    }
};

QString fileName(DataFile file)
{
    return dataFileName(file);
}

class Checker
{
public:
    Checker(const Database &db, const IntegrityOptions &options);

    void run();
    void checkLookups(const Lookups &lookups);
    IntegrityReport result() const;

private:
    /// The problems of one severity: the first ones listed, all counted.
    struct Found
    {
        QStringList texts;
        int total = 0;
    };

    template <typename Make>
    void report(IntegritySeverity severity, Make &&make)
    {
        Found &found = severity == IntegritySeverity::Error ? mErrors : mNotes;
        ++found.total;
        if (found.texts.size() < std::max(mOptions.limit, 0))
            found.texts.append(make());
    }
    template <typename Make>
    void report(Make &&make)
    {
        report(IntegritySeverity::Error, std::forward<Make>(make));
    }
    /// A reference that may be none (any negative value) or must lie in range.
    void optional(const Where &where, const char *what, qint64 value, Range range,
                  IntegritySeverity severity = IntegritySeverity::Error);
    /// A reference that must lie in range.
    void required(const Where &where, const char *what, qint64 value, Range range,
                  IntegritySeverity severity = IntegritySeverity::Error);
    void ids(const DataImage &image, qint64 tableOffset, qint64 count, int recordSize,
             int idOffset, const QString &table);

    const DataImage &file(DataFile f) const { return mDb.image(f); }
    qint64 personAt(qint64 i) const { return i * RecordSize::Person; }

    void checkShapes();
    void checkIds();
    void checkPersons();
    void checkClubs();
    void checkSlots();
    void checkNations();
    void checkWorld();
    void checkHistory();
    void checkNameEntries();
    void checkCounts();
    void checkPickList(const PickList &list, DataFile file, int recordSize, TextField name,
                       int count, const char *what);

    const Database &mDb;
    IntegrityOptions mOptions;
    Found mErrors;
    Found mNotes;

    /// False when the staff table counters do not describe staff.dat; nothing
    /// that indexes persons or attribute records is looked at then.
    bool mStaffSound = false;
    qint64 mPersons = 0;
    qint64 mStaffRecords = 0;
    qint64 mPlayerRecords = 0;
    qint64 mClubs = 0;
    qint64 mClubTotal = 0;
    qint64 mNations = 0;
    qint64 mCities = 0;
    qint64 mStadiums = 0;
    qint64 mCompetitions = 0;
    std::array<qint64, 3> mNames{};
};

Checker::Checker(const Database &db, const IntegrityOptions &options) : mDb(db), mOptions(options)
{
    mClubs = db.clubCount();
    mClubTotal = db.clubs().recordCount(RecordSize::Club);
    mNations = file(DataFile::Nation).recordCount(RecordSize::Nation);
    mCities = file(DataFile::City).recordCount(RecordSize::City);
    mStadiums = file(DataFile::Stadium).recordCount(RecordSize::Stadium);
    mCompetitions = file(DataFile::ClubComp).recordCount(RecordSize::Competition);
    mNames = {file(DataFile::FirstNames).recordCount(RecordSize::NameEntry),
              file(DataFile::SecondNames).recordCount(RecordSize::NameEntry),
              file(DataFile::CommonNames).recordCount(RecordSize::NameEntry)};
}

void Checker::optional(const Where &where, const char *what, qint64 value, Range range,
                       IntegritySeverity severity)
{
    if (value >= 0 && !range.contains(value)) {
        report(severity, [&] {
            return QStringLiteral("%1: %2 %3 is neither none nor in %4")
                .arg(where.text(), QLatin1String(what))
                .arg(value)
                .arg(range.text());
        });
    }
}

void Checker::required(const Where &where, const char *what, qint64 value, Range range,
                       IntegritySeverity severity)
{
    if (!range.contains(value)) {
        report(severity, [&] {
            return QStringLiteral("%1: %2 %3 is not in %4")
                .arg(where.text(), QLatin1String(what))
                .arg(value)
                .arg(range.text());
        });
    }
}

void Checker::ids(const DataImage &image, qint64 tableOffset, qint64 count, int recordSize,
                  int idOffset, const QString &table)
{
    for (qint64 i = 0; i < count; ++i) {
        const std::int32_t id = image.i32(tableOffset + i * recordSize + idOffset);
        if (id != i) {
            report([&] {
                return QStringLiteral("%1: record %2 has id %3").arg(table).arg(i).arg(id);
            });
        }
    }
}

void Checker::run()
{
    checkShapes();
    checkIds();
    if (mStaffSound) {
        checkPersons();
        checkSlots();
        checkHistory();
    }
    checkClubs();
    checkNations();
    checkWorld();
    checkNameEntries();
    if (mOptions.counts)
        checkCounts();
}

void Checker::checkShapes()
{
    // Staff tables lie back to back: OS = N x 157, OP = OS + S x 68, and the
    // player attribute table ends inside staff.dat (trailing bytes load fine).
    const StaffCounters &c = mDb.counters();
    const qint64 staffSize = file(DataFile::Staff).size();
    const qint64 os = qint64(c.persons) * RecordSize::Person;
    const qint64 op = os + qint64(c.staffAttributes) * RecordSize::StaffAttributes;
    const qint64 end =
        qint64(c.playerOffset) + qint64(c.playerAttributes) * RecordSize::PlayerAttributes;
    mStaffSound = true;
    auto counterProblem = [&](const QString &text) {
        mStaffSound = false;
        report([&] { return QStringLiteral("staff.dat: ") + text; });
    };
    if (c.persons < 0 || c.staffAttributes < 0 || c.playerAttributes < 0)
        counterProblem(QStringLiteral("a negative record count (N %1, S %2, P %3)")
                           .arg(c.persons)
                           .arg(c.staffAttributes)
                           .arg(c.playerAttributes));
    else if (c.staffOffset != os)
        counterProblem(QStringLiteral("OS is %1, N x 157 is %2").arg(c.staffOffset).arg(os));
    else if (c.playerOffset != op)
        counterProblem(QStringLiteral("OP is %1, OS + S x 68 is %2").arg(c.playerOffset).arg(op));
    else if (end > staffSize)
        counterProblem(
            QStringLiteral("the tables end at %1, the file at %2").arg(end).arg(staffSize));
    if (mStaffSound) {
        mPersons = c.persons;
        mStaffRecords = c.staffAttributes;
        mPlayerRecords = c.playerAttributes;
    }

    // The combined club image is club.Dat followed by nat_club.Dat, and club.Dat
    // holds whole records only: otherwise every national team is misaligned.
    const qint64 clubBytes = file(DataFile::Club).size();
    const qint64 natBytes = file(DataFile::NatClub).size();
    if (mDb.clubs().size() != clubBytes + natBytes) {
        report([&] {
            return QStringLiteral("club image: %1 bytes, club.Dat and nat_club.Dat hold %2")
                .arg(mDb.clubs().size())
                .arg(clubBytes + natBytes);
        });
    }
    if (clubBytes % RecordSize::Club != 0) {
        report([&] {
            return QStringLiteral("club.Dat: %1 bytes is not a whole number of clubs")
                .arg(clubBytes);
        });
    }
}

void Checker::checkIds()
{
    // Every fixed-size record whose first word is an id carries its own position.
    const StaffCounters &c = mDb.counters();
    const DataImage &staff = file(DataFile::Staff);
    if (mStaffSound) {
        ids(staff, 0, mPersons, RecordSize::Person, 0, QStringLiteral("staff.dat persons"));
        ids(staff, c.staffOffset, mStaffRecords, RecordSize::StaffAttributes, 0,
            QStringLiteral("staff.dat staff attributes"));
        ids(staff, c.playerOffset, mPlayerRecords, RecordSize::PlayerAttributes, 0,
            QStringLiteral("staff.dat player attributes"));
    }
    ids(mDb.clubs(), 0, mClubTotal, RecordSize::Club, 0, QStringLiteral("club image"));
    struct Table
    {
        DataFile file;
        int recordSize;
        int idOffset;
    };
    static constexpr Table Tables[] = {
        {DataFile::City, RecordSize::City, 0},
        {DataFile::Stadium, RecordSize::Stadium, 0},
        {DataFile::Officials, RecordSize::Official, 0},
        {DataFile::StaffHistory, RecordSize::History, 0},
        {DataFile::ClubComp, RecordSize::Competition, 0},
        {DataFile::FirstNames, RecordSize::NameEntry, NameEntryField::Id.offset},
        {DataFile::SecondNames, RecordSize::NameEntry, NameEntryField::Id.offset},
        {DataFile::CommonNames, RecordSize::NameEntry, NameEntryField::Id.offset},
    };
    for (const Table &t : Tables) {
        const DataImage &image = file(t.file);
        ids(image, 0, image.recordCount(t.recordSize), t.recordSize, t.idOffset, fileName(t.file));
    }
}

void Checker::checkPersons()
{
    const DataImage &staff = file(DataFile::Staff);
    const Range persons{0, mPersons};
    const Range clubs{0, mClubTotal};
    const Range nationalTeams{mClubs, mClubTotal};
    const Range nations{0, mNations};
    std::vector<qint64> playerOwner(std::size_t(mPlayerRecords), -1);
    std::vector<qint64> staffOwner(std::size_t(mStaffRecords), -1);

    for (qint64 i = 0; i < mPersons; ++i) {
        const qint64 at = personAt(i);
        const Where where{"staff.dat: person %1", i};
        // Every person names an entry of each of the three name tables.
        required(where, "first name", staff.i32(at + PersonField::FirstName.offset),
                 Range{0, mNames[0]});
        required(where, "second name", staff.i32(at + PersonField::SecondName.offset),
                 Range{0, mNames[1]});
        required(where, "common name", staff.i32(at + PersonField::CommonName.offset),
                 Range{0, mNames[2]});
        optional(where, "nationality", staff.i32(at + PersonField::Nationality.offset), nations);
        optional(where, "second nationality",
                 staff.i32(at + PersonField::SecondNationality.offset), nations);
        // National duty names a national team, never a club.
        optional(where, "national team", staff.i32(at + PersonField::NationalTeam.offset),
                 nationalTeams);
        optional(where, "club", staff.i32(at + PersonField::Club.offset), clubs);
        for (int s = 0; s < PersonRelationship::Count; ++s) {
            const std::int32_t v = staff.i32(at + PersonField::Relationships.at(s).offset);
            if (PersonRelationship::isClubSlot(s))
                optional(where, "relationship club", v, clubs);
            else
                optional(where, "relationship person", v, persons);
        }
        // A job or class the lists do not offer is shown as no selection and
        // kept; what it means for slots and attribute records is checked below.
        const int job = staff.u8(at + PersonField::Job.offset);
        if (job > HighestJob)
            required(where, "job", job, Range{0, HighestJob + 1}, IntegritySeverity::Note);
        const int cls = staff.u8(at + PersonField::Classification.offset);
        if (cls > HighestClassification)
            required(where, "classification", cls, Range{0, HighestClassification + 1},
                     IntegritySeverity::Note);

        // Attribute records: in range, owned by one person each, and present
        // whenever the classification promises them.
        auto own = [&](std::int32_t k, std::vector<qint64> &owners, const char *what,
                       bool needed) {
            const Range records{0, qint64(owners.size())};
            if (k >= 0 && !records.contains(k)) {
                optional(where, what, k, records);
                return;
            }
            if (k < 0) {
                if (needed) {
                    report([&] {
                        return QStringLiteral("%1: classification %2 needs a %3, it has none")
                            .arg(where.text())
                            .arg(cls)
                            .arg(QLatin1String(what));
                    });
                }
                return;
            }
            qint64 &owner = owners[std::size_t(k)];
            if (owner >= 0) {
                report([&] {
                    return QStringLiteral("%1: %2 %3 also belongs to person %4")
                        .arg(where.text(), QLatin1String(what))
                        .arg(k)
                        .arg(owner);
                });
            } else {
                owner = i;
            }
        };
        own(staff.i32(at + PersonField::PlayerAttributes.offset), playerOwner,
            "player attribute record", Classification::hasPlayerAttributes(cls));
        own(staff.i32(at + PersonField::StaffAttributes.offset), staffOwner,
            "staff attribute record", Classification::hasStaffAttributes(cls));
    }
    // No attribute record is left behind by a person that no longer exists.
    auto orphans = [&](const std::vector<qint64> &owners, const char *table) {
        for (std::size_t k = 0; k < owners.size(); ++k) {
            if (owners[k] < 0) {
                report([&] {
                    return QStringLiteral("staff.dat: %1 record %2 belongs to no person")
                        .arg(QLatin1String(table))
                        .arg(k);
                });
            }
        }
    };
    orphans(playerOwner, "player attribute");
    orphans(staffOwner, "staff attribute");
}

void Checker::checkClubs()
{
    // Clubs and national teams name nations, competitions, stadiums, colours,
    // persons and rival clubs in range, or none.
    const DataImage &clubs = mDb.clubs();
    const Range nations{0, mNations};
    const Range competitions{0, mCompetitions};
    const Range stadiums{0, mStadiums};
    const Range colours{0, KitColourCount};
    const Range clubIndices{0, mClubTotal};
    for (qint64 r = 0; r < mClubTotal; ++r) {
        const qint64 at = r * RecordSize::Club;
        const Where where{"club image: club %1", r};
        optional(where, "nation", clubs.i32(at + ClubField::Nation.offset), nations);
        optional(where, "division", clubs.i32(at + ClubField::Division.offset), competitions);
        optional(where, "last division", clubs.i32(at + ClubField::LastDivision.offset),
                 competitions);
        optional(where, "other division", clubs.i32(at + ClubField::OtherDivision.offset),
                 competitions);
        optional(where, "main stadium", clubs.i32(at + ClubField::MainStadium.offset), stadiums);
        optional(where, "reserve stadium", clubs.i32(at + ClubField::ReserveStadium.offset),
                 stadiums);
        for (int k = 0; k < ClubField::KitColours.count; ++k)
            optional(where, "kit colour", clubs.i32(at + ClubField::KitColours.at(k).offset),
                     colours, IntegritySeverity::Note);
        for (int s = 0; s < ClubRelationship::Count; ++s) {
            const std::int32_t v = clubs.i32(at + ClubField::Relationships.at(s).offset);
            if (ClubRelationship::isClubSlot(s))
                optional(where, "rival club", v, clubIndices);
            else if (mStaffSound)
                optional(where, "relationship person", v, Range{0, mPersons});
        }
    }
}

void Checker::checkSlots()
{
    // A filled position slot of a club holds a person whose club is this record
    // and whose job takes the slot; a national team's slots may hold anyone.
    // Each person with a club fills exactly one slot of that club per side of
    // his job.
    const DataImage &clubs = mDb.clubs();
    const DataImage &staff = file(DataFile::Staff);
    std::vector<std::uint8_t> staffHits(std::size_t(mPersons), 0);
    std::vector<std::uint8_t> squadHits(std::size_t(mPersons), 0);
    auto takes = [](int job, int slot) {
        return staffSlotRange(job).contains(slot) || playerSlotRange(job).contains(slot);
    };
    for (qint64 r = 0; r < mClubTotal; ++r) {
        for (int s = 0; s < ClubSlots::Count; ++s) {
            const std::int32_t p =
                clubs.i32(r * RecordSize::Club + ClubField::PositionSlots.at(s).offset);
            if (p < 0)
                continue;
            const Where where{"club image: club %1 slot %2", r, s, true};
            if (p >= mPersons) {
                required(where, "person", p, Range{0, mPersons});
                continue;
            }
            const qint64 at = personAt(p);
            const std::int32_t club = staff.i32(at + PersonField::Club.offset);
            const int job = staff.u8(at + PersonField::Job.offset);
            if (club == r) {
                if (staffSlotRange(job).contains(s))
                    staffHits[std::size_t(p)] = std::uint8_t(staffHits[std::size_t(p)] + 1);
                else if (playerSlotRange(job).contains(s))
                    squadHits[std::size_t(p)] = std::uint8_t(squadHits[std::size_t(p)] + 1);
                else
                    report([&] {
                        return QStringLiteral("%1: person %2 with job %3 cannot take it")
                            .arg(where.text())
                            .arg(p)
                            .arg(job);
                    });
                continue;
            }
            // A national team's squad is not membership: it lists players of the
            // nation wherever they play, whose club field names their club or
            // none. Only national duty there must suit the slot.
            if (r >= mClubs) {
                const std::int32_t team = staff.i32(at + PersonField::NationalTeam.offset);
                const int nationalJob = staff.u8(at + PersonField::NationalJob.offset);
                if (team == r && !takes(nationalJob, s)) {
                    report([&] {
                        return QStringLiteral("%1: person %2 with national job %3 cannot take it")
                            .arg(where.text())
                            .arg(p)
                            .arg(nationalJob);
                    });
                }
                continue;
            }
            report([&] {
                return QStringLiteral("%1: holds person %2, whose club is %3")
                    .arg(where.text())
                    .arg(p)
                    .arg(club);
            });
        }
    }
    for (qint64 p = 0; p < mPersons; ++p) {
        const qint64 at = personAt(p);
        const std::int32_t club = staff.i32(at + PersonField::Club.offset);
        if (club < 0 || club >= mClubTotal)
            continue;
        const int job = staff.u8(at + PersonField::Job.offset);
        const int needStaff = staffSlotRange(job).isEmpty() ? 0 : 1;
        const int needSquad = playerSlotRange(job).isEmpty() ? 0 : 1;
        const Where where{"staff.dat: person %1", p};
        if (needStaff + needSquad == 0) {
            report([&] {
                return QStringLiteral("%1: has club %2, but job %3 takes no slot")
                    .arg(where.text())
                    .arg(club)
                    .arg(job);
            });
            continue;
        }
        const int hasStaff = staffHits[std::size_t(p)];
        const int hasSquad = squadHits[std::size_t(p)];
        if (hasStaff != needStaff || hasSquad != needSquad) {
            report([&] {
                return QStringLiteral("%1: job %2 at club %3 fills %4 staff and %5 squad "
                                      "slots there, it needs %6 and %7")
                    .arg(where.text())
                    .arg(job)
                    .arg(club)
                    .arg(hasStaff)
                    .arg(hasSquad)
                    .arg(needStaff)
                    .arg(needSquad);
            });
        }
    }
}

void Checker::checkNations()
{
    // A nation's capital, national stadium, colours and rivals exist, or are none.
    const DataImage &image = file(DataFile::Nation);
    for (qint64 n = 0; n < mNations; ++n) {
        const qint64 at = n * RecordSize::Nation;
        const Where where{"nation.dat: nation %1", n};
        optional(where, "capital city", image.i32(at + NationField::CapitalCity.offset),
                 Range{0, mCities});
        optional(where, "national stadium", image.i32(at + NationField::NationalStadium.offset),
                 Range{0, mStadiums});
        for (int k = 0; k < NationField::KitColours.count; ++k)
            optional(where, "kit colour", image.i32(at + NationField::KitColours.at(k).offset),
                     Range{0, KitColourCount}, IntegritySeverity::Note);
        for (int k = 0; k < NationField::Rivals.count; ++k)
            optional(where, "rival", image.i32(at + NationField::Rivals.at(k).offset),
                     Range{0, mNations});
    }
}

void Checker::checkWorld()
{
    // A city's nation and climate exist, or are none.
    const DataImage &cities = file(DataFile::City);
    for (qint64 c = 0; c < mCities; ++c) {
        const Where where{"city.dat: city %1", c};
        const qint64 at = c * RecordSize::City;
        optional(where, "nation", cities.i32(at + CityField::Nation.offset), Range{0, mNations});
        optional(where, "climate", cities.i32(at + CityField::Climate.offset),
                 Range{0, ClimateCount}, IntegritySeverity::Note);
    }
    // A stadium's city and nearby stadium exist, or are none.
    const DataImage &stadiums = file(DataFile::Stadium);
    for (qint64 s = 0; s < mStadiums; ++s) {
        const Where where{"stadium.dat: stadium %1", s};
        const qint64 at = s * RecordSize::Stadium;
        optional(where, "city", stadiums.i32(at + StadiumField::City.offset), Range{0, mCities});
        optional(where, "nearby stadium", stadiums.i32(at + StadiumField::Nearby.offset),
                 Range{0, mStadiums});
    }
    // An official names entries of both name tables and a nation and city, or none.
    const DataImage &officials = file(DataFile::Officials);
    const qint64 officialCount = officials.recordCount(RecordSize::Official);
    for (qint64 o = 0; o < officialCount; ++o) {
        const Where where{"officials.dat: official %1", o};
        const qint64 at = o * RecordSize::Official;
        required(where, "first name", officials.i32(at + OfficialField::FirstName.offset),
                 Range{0, mNames[0]});
        required(where, "second name", officials.i32(at + OfficialField::SecondName.offset),
                 Range{0, mNames[1]});
        optional(where, "nation", officials.i32(at + OfficialField::Nation.offset),
                 Range{0, mNations});
        optional(where, "city", officials.i32(at + OfficialField::City.offset), Range{0, mCities});
    }
    // National competition history names national teams; 0 and below are none.
    const DataImage &compHistory = file(DataFile::NationCompHistory);
    const qint64 compCount = compHistory.recordCount(RecordSize::NationCompHistory);
    for (qint64 h = 0; h < compCount; ++h) {
        for (int t = 0; t < NationCompHistoryRecord::TeamCount; ++t) {
            const std::int32_t v = compHistory.i32(h * RecordSize::NationCompHistory
                                                   + NationCompHistoryField::Teams.at(t).offset);
            if (v > 0 && !Range{mClubs, mClubTotal}.contains(v)) {
                required(Where{"nation_comp_history.dat: record %1", h}, "national team", v,
                         Range{mClubs, mClubTotal});
            }
        }
    }
}

void Checker::checkHistory()
{
    // A history record belongs to an existing person; its club may be none.
    const DataImage &image = file(DataFile::StaffHistory);
    const qint64 count = image.recordCount(RecordSize::History);
    for (qint64 h = 0; h < count; ++h) {
        const Where where{"staff_history.dat: record %1", h};
        const qint64 at = h * RecordSize::History;
        required(where, "person", image.i32(at + HistoryField::Person.offset), Range{0, mPersons});
        optional(where, "club", image.i32(at + HistoryField::Club.offset), Range{0, mClubTotal});
    }
}

void Checker::checkNameEntries()
{
    // A name entry serves one nation, or none (-2).
    static constexpr DataFile Files[] = {DataFile::FirstNames, DataFile::SecondNames,
                                         DataFile::CommonNames};
    static constexpr const char *EntryFormats[] = {
        "first_names.dat: entry %1", "second_names.dat: entry %1", "common_names.dat: entry %1"};
    for (int t = 0; t < 3; ++t) {
        const DataImage &image = file(Files[t]);
        for (qint64 e = 0; e < mNames[std::size_t(t)]; ++e) {
            const std::int32_t key =
                image.i32(e * RecordSize::NameEntry + NameEntryField::NationKey.offset);
            if (key != NoNationKey && !Range{0, mNations}.contains(key)) {
                required(Where{EntryFormats[t], e}, "nation key", key, Range{0, mNations});
            }
        }
    }
}

void Checker::checkCounts()
{
    // Stored counts may run high (a deletion leaves them) but never below the
    // number of records that use the entry or the nation.
    static constexpr DataFile Files[] = {DataFile::FirstNames, DataFile::SecondNames,
                                         DataFile::CommonNames};
    static constexpr int PersonFields[] = {PersonField::FirstName.offset,
                                           PersonField::SecondName.offset,
                                           PersonField::CommonName.offset};
    static constexpr int OfficialFields[] = {OfficialField::FirstName.offset,
                                             OfficialField::SecondName.offset, -1};
    const DataImage &staff = file(DataFile::Staff);
    const DataImage &officials = file(DataFile::Officials);
    const qint64 officialCount = officials.recordCount(RecordSize::Official);
    for (int t = 0; t < 3; ++t) {
        std::vector<int> uses(std::size_t(mNames[std::size_t(t)]), 0);
        auto use = [&](std::int32_t entry) {
            if (entry >= 0 && entry < qint64(uses.size()))
                ++uses[std::size_t(entry)];
        };
        for (qint64 i = 0; mStaffSound && i < mPersons; ++i)
            use(staff.i32(personAt(i) + PersonFields[t]));
        for (qint64 o = 0; OfficialFields[t] >= 0 && o < officialCount; ++o)
            use(officials.i32(o * RecordSize::Official + OfficialFields[t]));
        const DataImage &image = file(Files[t]);
        for (std::size_t e = 0; e < uses.size(); ++e) {
            const int stored =
                image.u8(qint64(e) * RecordSize::NameEntry + NameEntryField::UsageCount.offset);
            if (stored < std::min(uses[e], MaxUsageCount)) {
                report([&] {
                    return QStringLiteral("%1: entry %2 counts %3 users, %4 use it")
                        .arg(fileName(Files[t]))
                        .arg(e)
                        .arg(stored)
                        .arg(uses[e]);
                });
            }
        }
    }

    std::vector<qint64> persons(std::size_t(mNations), 0);
    std::vector<qint64> clubs(std::size_t(mNations), 0);
    for (qint64 i = 0; mStaffSound && i < mPersons; ++i) {
        const std::int32_t n = staff.i32(personAt(i) + PersonField::Nationality.offset);
        if (n >= 0 && n < mNations)
            ++persons[std::size_t(n)];
    }
    for (qint64 c = 0; c < mClubs; ++c) {
        const std::int32_t n = mDb.clubs().i32(c * RecordSize::Club + ClubField::Nation.offset);
        if (n >= 0 && n < mNations)
            ++clubs[std::size_t(n)];
    }
    const DataImage &nations = file(DataFile::Nation);
    for (qint64 n = 0; n < mNations; ++n) {
        const qint64 at = n * RecordSize::Nation;
        const qint64 storedPersons = nations.i32(at + NationField::PersonCount.offset);
        const qint64 storedClubs = nations.i16(at + NationField::ClubCount.offset);
        if (storedPersons < persons[std::size_t(n)] || storedClubs < clubs[std::size_t(n)]) {
            report([&] {
                return QStringLiteral("nation.dat: nation %1 counts %2 persons and %3 clubs, "
                                      "it has %4 and %5")
                    .arg(n)
                    .arg(storedPersons)
                    .arg(storedClubs)
                    .arg(persons[std::size_t(n)])
                    .arg(clubs[std::size_t(n)]);
            });
        }
    }
}

void Checker::checkPickList(const PickList &list, DataFile records, int recordSize, TextField name,
                            int count, const char *what)
{
    std::vector<bool> seen(std::size_t(std::max(count, 0)), false);
    for (int pos = 0; pos < list.size(); ++pos) {
        const int index = list.indexAt(pos);
        if (index < 0 || index >= count || seen[std::size_t(index)]) {
            report([&] {
                return QStringLiteral("%1 pick list: entry %2 names record %3, which is out "
                                      "of range or listed twice")
                    .arg(QLatin1String(what))
                    .arg(pos)
                    .arg(index);
            });
            continue;
        }
        seen[std::size_t(index)] = true;
        // A choice box shows the entry's name: it must be the record's, or a
        // rename went unseen by the boxes.
        const QByteArray stored =
            file(records).text(qsizetype(index) * recordSize + name.offset, name.capacity);
        if (list.nameAt(pos) != stored) {
            report([&] {
                return QStringLiteral("%1 pick list: entry %2 is \"%3\", record %4 is \"%5\"")
                    .arg(QLatin1String(what))
                    .arg(pos)
                    .arg(QString::fromLatin1(list.nameAt(pos)))
                    .arg(index)
                    .arg(QString::fromLatin1(stored));
            });
        }
    }
    for (int i = 0; i < count; ++i) {
        if (!seen[std::size_t(i)]) {
            report([&] {
                return QStringLiteral("%1 pick list: record %2 has no entry")
                    .arg(QLatin1String(what))
                    .arg(i);
            });
        }
    }
}

void Checker::checkLookups(const Lookups &lookups)
{
    // The club name list holds the short name of each club, in club order.
    const ClubNameList &names = lookups.clubNames();
    if (names.size() != mClubs) {
        report([&] {
            return QStringLiteral("club name list: %1 names for %2 clubs")
                .arg(names.size())
                .arg(mClubs);
        });
    }
    const qint64 common = std::min<qint64>(names.size(), mClubs);
    for (qint64 c = 0; c < common; ++c) {
        const QByteArray stored = mDb.clubs().text(
            c * RecordSize::Club + ClubField::ShortName.offset, ClubField::ShortName.capacity);
        if (names.get(int(c)) != stored) {
            report([&] {
                return QStringLiteral("club name list: entry %1 is \"%2\", the club's short "
                                      "name is \"%3\"")
                    .arg(c)
                    .arg(QString::fromLatin1(names.get(int(c))), QString::fromLatin1(stored));
            });
        }
    }
    checkPickList(lookups.stadiums(), DataFile::Stadium, RecordSize::Stadium, StadiumField::Name,
                  int(mStadiums), "stadium");
    checkPickList(lookups.cities(), DataFile::City, RecordSize::City, CityField::Name,
                  int(mCities), "city");
}

IntegrityReport Checker::result() const
{
    IntegrityReport report;
    report.errorCount = mErrors.total;
    report.noteCount = mNotes.total;
    auto list = [&](const Found &found, IntegritySeverity severity, const char *more) {
        for (const QString &text : found.texts)
            report.problems.append({severity, text});
        if (found.total > found.texts.size()) {
            report.problems.append(
                {severity, QString::fromLatin1(more).arg(found.total - found.texts.size())});
        }
    };
    list(mErrors, IntegritySeverity::Error, "... and %1 more problems");
    list(mNotes, IntegritySeverity::Note, "... and %1 more notes");
    return report;
}

} // namespace

QStringList IntegrityReport::errors() const
{
    QStringList texts;
    for (const IntegrityProblem &p : problems) {
        if (p.severity == IntegritySeverity::Error)
            texts.append(p.text);
    }
    return texts;
}

IntegrityReport integrityReport(const Database &db, const IntegrityOptions &options)
{
    Checker checker(db, options);
    checker.run();
    return checker.result();
}

IntegrityReport integrityReport(const Database &db, const Lookups &lookups,
                                const IntegrityOptions &options)
{
    Checker checker(db, options);
    checker.run();
    checker.checkLookups(lookups);
    return checker.result();
}

QStringList checkIntegrity(const Database &db, const IntegrityOptions &options)
{
    return integrityReport(db, options).errors();
}

QStringList checkIntegrity(const Database &db, const Lookups &lookups,
                           const IntegrityOptions &options)
{
    return integrityReport(db, lookups, options).errors();
}

} // namespace kx3
