#pragma once

#include <QStringList>

#include <array>
#include <cstdint>
#include <vector>

namespace kx3 {

class Database;

/// The counts a database stores about its records: the usage count of each
/// entry of the three name tables, and each nation's person and club counts.
enum class CountKind { FirstName, SecondName, CommonName, NationPersons, NationClubs };
inline constexpr int CountKindCount = 5;

/// Every count of a database beside what it would be if counted now, and the
/// entries and nation each person, official and club uses. Loaded files may
/// hold any counts, and a deletion leaves them high, so a state alone proves
/// little; two states taken around a step tell whether the step kept every
/// count as the rules allow (see countChanges). Taking one is a linear pass
/// over the records, with no text touched.
class CountState
{
public:
    explicit CountState(const Database &db);

    /// Number of entries or nations that `kind` counts for.
    int size(CountKind kind) const { return int(counters(kind).size()); }
    /// How far the stored count of `index` runs above the records that use it
    /// (a usage count against at most 255 users); negative when below it.
    qint64 slack(CountKind kind, int index) const;

private:
    struct Counter
    {
        qint64 stored = 0;
        /// Records that use it, capped as the stored count is.
        qint64 users = 0;
    };
    friend struct CountComparison;

    const std::vector<Counter> &counters(CountKind kind) const
    {
        return mCounters[std::size_t(kind)];
    }

    std::array<std::vector<Counter>, CountKindCount> mCounters;
    /// What each record uses, in the order of the kinds its table lists
    /// (persons: three names and nationality; officials: two names; clubs:
    /// nation), one record after the other.
    std::vector<std::int32_t> mPersons;
    std::vector<std::int32_t> mOfficials;
    std::vector<std::int32_t> mClubs;
};

/// What a step did that its counts follow. A record is named by its index in
/// both states; a new one has an index in the state after the step only.
struct CountStep
{
    /// Records confirmed: each count of an entry or nation they used before
    /// or use now may be counted again (or stay as it was).
    std::vector<int> persons;
    std::vector<int> officials;
    std::vector<int> clubs;
    /// The person or official deleted, by his index before the step: the
    /// counts of what he used keep their values, running high by him, or are
    /// counted again.
    int deletedPerson = -1;
    int deletedOfficial = -1;
    /// The step's records are not known (a click anywhere in the window):
    /// any count may be counted again, and when persons or officials went,
    /// any may keep its value while its users drop.
    bool anyRecord = false;
};

/// Every count in `after` that `step` could not have left so, starting from
/// `before`: a count nothing confirmed used must stay as it was and keep its
/// users, a count of a confirmed record must be counted again unless nothing
/// about it changed, a new entry counts its users. Each text names the file,
/// the entry or nation, both counts and both numbers of users. At most
/// `limit` are listed, and one last line sums up the rest.
QStringList countChanges(const CountState &before, const CountState &after, const CountStep &step,
                         int limit = 20);

} // namespace kx3
