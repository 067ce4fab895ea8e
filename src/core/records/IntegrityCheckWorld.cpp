// The parts of the integrity check about nations, the world records, career
// history, name entries, stored counts and the lists kept beside the database.
#include "core/records/IntegrityChecker.h"

#include "core/db/Database.h"
#include "core/fields/FieldTable.h"
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

#include <tuple>
#include <vector>

namespace kx3::integrity {

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

void Checker::advised(const Where &where, const DataImage &image, qint64 at,
                      std::span<const NumberField> fields)
{
    for (const NumberField &f : fields) {
        const std::int64_t stored = readNumber(image, at, f);
        if (isOutsideAdvice(f, stored))
            report(IntegritySeverity::Note,
                   [&] { return where.text() + QStringLiteral(": ") + outsideAdvice(f, stored); });
    }
}

void Checker::dateOrder(const Where &where, const DataImage &image, qint64 earlyAt, qint64 lateAt,
                        const char *early, const char *late)
{
    // A date the game leaves unset (1900 and before, or no day of its year)
    // has no order.
    auto set = [&](qint64 offset, int &day, int &month) {
        const RecordDate date = readRecordDate(image, offset);
        day = month = 0;
        decodeRecordDate(date, day, month);
        return date.year > 1900 && isRealDate(day, month, date.year);
    };
    int d1 = 0, m1 = 0, d2 = 0, m2 = 0;
    if (!set(earlyAt, d1, m1) || !set(lateAt, d2, m2))
        return;
    const int y1 = readRecordDate(image, earlyAt).year;
    const int y2 = readRecordDate(image, lateAt).year;
    if (std::tuple(y2, m2, d2) >= std::tuple(y1, m1, d1))
        return;
    report(IntegritySeverity::Note, [&] {
        return QStringLiteral("%1: %2 %3/%4/%5 is before %6 %7/%8/%9")
            .arg(where.text(), QLatin1String(late))
            .arg(d2)
            .arg(m2)
            .arg(y2)
            .arg(QLatin1String(early))
            .arg(d1)
            .arg(m1)
            .arg(y1);
    });
}

void Checker::checkAdvice()
{
    if (mStaffSound) {
        const DataImage &staff = file(DataFile::Staff);
        const StaffCounters &c = mDb.counters();
        for (qint64 i = 0; i < mPersons; ++i) {
            const Where where{"staff.dat: person %1", i};
            const qint64 at = personAt(i);
            advised(where, staff, at, advisedNumbers(RecordKind::Person, FieldPart::Record));
            dateOrder(where, staff, at + PersonField::Joined.offset,
                      at + PersonField::ContractEnd.offset, "Join", "End");
            dateOrder(where, staff, at + PersonField::NationalJoined.offset,
                      at + PersonField::NationalContractEnd.offset, "Nat Join", "Nat End");
        }
        for (qint64 k = 0; k < mStaffRecords; ++k) {
            const Where where{"staff.dat: staff attributes %1", k};
            const qint64 at = c.staffOffset + k * RecordSize::StaffAttributes;
            advised(where, staff, at,
                    advisedNumbers(RecordKind::Person, FieldPart::StaffAttributes));
        }
        for (qint64 k = 0; k < mPlayerRecords; ++k) {
            const Where where{"staff.dat: player attributes %1", k};
            const qint64 at = c.playerOffset + k * RecordSize::PlayerAttributes;
            advised(where, staff, at,
                    advisedNumbers(RecordKind::Person, FieldPart::PlayerAttributes));
        }
    }
    const DataImage &officials = file(DataFile::Officials);
    for (qint64 o = 0; o < officials.recordCount(RecordSize::Official); ++o) {
        const Where where{"officials.dat: official %1", o};
        advised(where, officials, o * RecordSize::Official,
                advisedNumbers(RecordKind::Official, FieldPart::Record));
    }
    const DataImage &stadiums = file(DataFile::Stadium);
    for (qint64 s = 0; s < mStadiums; ++s) {
        const qint64 at = s * RecordSize::Stadium;
        const std::int64_t capacity = stadiums.i32(at + StadiumField::Capacity.offset);
        const std::int64_t seating = stadiums.i32(at + StadiumField::Seating.offset);
        if (capacity > 0 && seating > capacity) {
            report(IntegritySeverity::Note, [&] {
                return QStringLiteral(
                           "stadium.dat: stadium %1: Seating %2 is more than Capacity %3")
                    .arg(s)
                    .arg(seating)
                    .arg(capacity);
            });
        }
    }
}

} // namespace kx3::integrity
