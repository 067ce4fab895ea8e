#include "core/records/IntegrityCheck.h"
#include "core/records/IntegrityChecker.h"

#include "core/db/Database.h"
#include "core/layout/CityRecord.h"
#include "core/layout/ClubRecord.h"
#include "core/layout/CodeLists.h"
#include "core/layout/CompetitionRecord.h"
#include "core/layout/HistoryRecord.h"
#include "core/layout/KitColours.h"
#include "core/layout/NameEntry.h"
#include "core/layout/NationCompHistoryRecord.h"
#include "core/layout/NationRecord.h"
#include "core/layout/OfficialRecord.h"
#include "core/layout/PersonRecord.h"
#include "core/layout/PlayerAttributes.h"
#include "core/layout/StadiumRecord.h"
#include "core/layout/StaffAttributes.h"
#include "core/lookup/Lookups.h"

#include <vector>

namespace kx3 {

namespace integrity {

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

void Checker::run(bool notes)
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
    if (notes)
        checkAdvice();
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
            // none. National duty that does not suit the slot is only a note:
            // the staff screen stores "Nat Job" as chosen and leaves the team's
            // slots as they were, so every edit of it can make one.
            if (r >= mClubs) {
                const std::int32_t team = staff.i32(at + PersonField::NationalTeam.offset);
                const int nationalJob = staff.u8(at + PersonField::NationalJob.offset);
                if (team == r && !takes(nationalJob, s)) {
                    report(IntegritySeverity::Note, [&] {
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

} // namespace integrity

using integrity::Checker;

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
    Checker checker(db, options);
    checker.run(false);
    return checker.result().errors();
}

QStringList checkIntegrity(const Database &db, const Lookups &lookups,
                           const IntegrityOptions &options)
{
    Checker checker(db, options);
    checker.run(false);
    checker.checkLookups(lookups);
    return checker.result().errors();
}

} // namespace kx3
