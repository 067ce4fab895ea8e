// The exact check of the stored counts: not a property of one database (any
// count may be loaded), but of what one step did to them.
#include "core/records/IntegrityCheckCounts.h"

#include "core/db/Database.h"
#include "core/layout/ClubRecord.h"
#include "core/layout/NameEntry.h"
#include "core/layout/NationRecord.h"
#include "core/layout/OfficialRecord.h"
#include "core/layout/PersonRecord.h"

#include <algorithm>
#include <span>

namespace kx3 {

namespace {

/// The counts one kind of record feeds, and where in its record each use lies.
struct UseTable
{
    std::span<const CountKind> kinds;
    std::span<const int> offsets;
};

constexpr CountKind PersonKinds[] = {CountKind::FirstName, CountKind::SecondName,
                                     CountKind::CommonName, CountKind::NationPersons};
constexpr int PersonOffsets[] = {PersonField::FirstName.offset, PersonField::SecondName.offset,
                                 PersonField::CommonName.offset, PersonField::Nationality.offset};
constexpr CountKind OfficialKinds[] = {CountKind::FirstName, CountKind::SecondName};
constexpr int OfficialOffsets[] = {OfficialField::FirstName.offset,
                                   OfficialField::SecondName.offset};
constexpr CountKind ClubKinds[] = {CountKind::NationClubs};
constexpr int ClubOffsets[] = {ClubField::Nation.offset};

constexpr UseTable PersonUses{PersonKinds, PersonOffsets};
constexpr UseTable OfficialUses{OfficialKinds, OfficialOffsets};
constexpr UseTable ClubUses{ClubKinds, ClubOffsets};

constexpr const char *Places[CountKindCount] = {
    "first_names.dat: entry %1", "second_names.dat: entry %1", "common_names.dat: entry %1",
    "nation.dat: nation %1, persons", "nation.dat: nation %1, clubs"};

std::vector<std::int32_t> readUses(const DataImage &image, qint64 count, int recordSize,
                                   const UseTable &table)
{
    std::vector<std::int32_t> uses;
    uses.reserve(std::size_t(count) * table.offsets.size());
    for (qint64 r = 0; r < count; ++r) {
        for (const int offset : table.offsets)
            uses.push_back(image.i32(r * recordSize + offset));
    }
    return uses;
}

} // namespace

CountState::CountState(const Database &db)
{
    static constexpr DataFile NameFiles[] = {DataFile::FirstNames, DataFile::SecondNames,
                                             DataFile::CommonNames};
    for (std::size_t t = 0; t < 3; ++t) {
        const DataImage &image = db.image(NameFiles[t]);
        std::vector<Counter> &entries = mCounters[t];
        entries.resize(std::size_t(image.recordCount(RecordSize::NameEntry)));
        for (std::size_t e = 0; e < entries.size(); ++e)
            entries[e].stored =
                image.u8(qint64(e) * RecordSize::NameEntry + NameEntryField::UsageCount.offset);
    }
    const DataImage &nations = db.image(DataFile::Nation);
    std::vector<Counter> &persons = mCounters[std::size_t(CountKind::NationPersons)];
    std::vector<Counter> &clubs = mCounters[std::size_t(CountKind::NationClubs)];
    persons.resize(std::size_t(nations.recordCount(RecordSize::Nation)));
    clubs.resize(persons.size());
    for (std::size_t n = 0; n < persons.size(); ++n) {
        const qint64 at = qint64(n) * RecordSize::Nation;
        persons[n].stored = nations.i32(at + NationField::PersonCount.offset);
        clubs[n].stored = nations.i16(at + NationField::ClubCount.offset);
    }

    // The records the recounts walk: persons below N that lie inside
    // staff.dat, every official, the clubs without the national teams.
    const DataImage &staff = db.image(DataFile::Staff);
    const qint64 personRecords =
        std::clamp<qint64>(db.counters().persons, 0, staff.size() / RecordSize::Person);
    mPersons = readUses(staff, personRecords, RecordSize::Person, PersonUses);
    const DataImage &officials = db.image(DataFile::Officials);
    mOfficials = readUses(officials, officials.recordCount(RecordSize::Official),
                          RecordSize::Official, OfficialUses);
    mClubs = readUses(db.clubs(), db.clubCount(), RecordSize::Club, ClubUses);

    const auto count = [this](const std::vector<std::int32_t> &uses, const UseTable &table) {
        const std::size_t width = table.kinds.size();
        for (std::size_t u = 0; u < uses.size(); ++u) {
            std::vector<Counter> &counters = mCounters[std::size_t(table.kinds[u % width])];
            if (uses[u] >= 0 && std::size_t(uses[u]) < counters.size())
                ++counters[std::size_t(uses[u])].users;
        }
    };
    count(mPersons, PersonUses);
    count(mOfficials, OfficialUses);
    count(mClubs, ClubUses);
    for (std::size_t t = 0; t < 3; ++t) {
        for (Counter &c : mCounters[t])
            c.users = std::min<qint64>(c.users, MaxUsageCount);
    }
}

qint64 CountState::slack(CountKind kind, int index) const
{
    const Counter &c = counters(kind).at(std::size_t(index));
    return c.stored - c.users;
}

/// Which counts a step may have counted again or left high, and the check of
/// every count against that.
struct CountComparison
{
    enum Mark : std::uint8_t { Confirmed = 1, Released = 2 };

    const CountState &before;
    const CountState &after;
    std::array<std::vector<std::uint8_t>, CountKindCount> marks;

    CountComparison(const CountState &was, const CountState &now) : before(was), after(now)
    {
        for (std::size_t k = 0; k < marks.size(); ++k)
            marks[k].assign(std::max(was.mCounters[k].size(), now.mCounters[k].size()), 0);
    }

    void mark(const std::vector<std::int32_t> &uses, const UseTable &table, int record,
              std::uint8_t how)
    {
        const std::size_t width = table.kinds.size();
        if (record < 0 || std::size_t(record) >= uses.size() / width)
            return;
        for (std::size_t k = 0; k < width; ++k) {
            const std::int32_t v = uses[std::size_t(record) * width + k];
            std::vector<std::uint8_t> &m = marks[std::size_t(table.kinds[k])];
            if (v >= 0 && std::size_t(v) < m.size())
                m[std::size_t(v)] |= how;
        }
    }

    void confirmed(std::vector<std::int32_t> CountState::*uses, const UseTable &table,
                   const std::vector<int> &records)
    {
        for (const int r : records) {
            mark(before.*uses, table, r, Confirmed);
            mark(after.*uses, table, r, Confirmed);
        }
    }

    void markStep(const CountStep &step)
    {
        if (step.anyRecord) {
            const bool went = after.mPersons.size() < before.mPersons.size()
                              || after.mOfficials.size() < before.mOfficials.size();
            for (std::vector<std::uint8_t> &m : marks)
                std::fill(m.begin(), m.end(), std::uint8_t(Confirmed | (went ? Released : 0)));
            return;
        }
        confirmed(&CountState::mPersons, PersonUses, step.persons);
        confirmed(&CountState::mOfficials, OfficialUses, step.officials);
        confirmed(&CountState::mClubs, ClubUses, step.clubs);
        mark(before.mPersons, PersonUses, step.deletedPerson, Released);
        mark(before.mOfficials, OfficialUses, step.deletedOfficial, Released);
    }

    QStringList run(int limit) const
    {
        QStringList texts;
        int total = 0;
        const auto report = [&](int kind, std::size_t index, const QString &text) {
            ++total;
            if (texts.size() < limit)
                texts.append(QString::fromLatin1(Places[kind]).arg(index) + text);
        };
        for (std::size_t k = 0; k < marks.size(); ++k) {
            const std::vector<CountState::Counter> &was = before.mCounters[k];
            const std::vector<CountState::Counter> &now = after.mCounters[k];
            for (std::size_t i = 0; i < marks[k].size(); ++i) {
                if (i >= now.size()) {
                    report(int(k), i, QStringLiteral(" is gone; none is ever removed"));
                    continue;
                }
                const CountState::Counter &a = now[i];
                const bool recounted = a.stored == a.users;
                if (i >= was.size()) {
                    if (!recounted)
                        report(int(k), i,
                               QStringLiteral(" is new, stores %1 and has %2 users")
                                   .arg(a.stored)
                                   .arg(a.users));
                    continue;
                }
                const CountState::Counter &b = was[i];
                const bool kept = a.stored == b.stored;
                const std::uint8_t m = marks[k][i];
                if ((kept && a.users == b.users) || ((m & Confirmed) && recounted)
                    || ((m & Released) && (recounted || (kept && a.users <= b.users))))
                    continue;
                const char *rule =
                    (m & Released) ? "what went used it: it keeps its count or is counted again"
                    : (m & Confirmed)
                        ? "a record confirmed uses it or used it: it is counted again"
                        : "no record confirmed uses it: it stays as it was";
                report(int(k), i,
                       QStringLiteral(" stores %1 (%2 before) and has %3 users (%4 before); %5")
                           .arg(a.stored)
                           .arg(b.stored)
                           .arg(a.users)
                           .arg(b.users)
                           .arg(QLatin1String(rule)));
            }
        }
        if (total > texts.size())
            texts.append(QStringLiteral("... and %1 more counts").arg(total - texts.size()));
        return texts;
    }
};

QStringList countChanges(const CountState &before, const CountState &after, const CountStep &step,
                         int limit)
{
    CountComparison comparison(before, after);
    comparison.markStep(step);
    return comparison.run(std::max(limit, 0));
}

} // namespace kx3
