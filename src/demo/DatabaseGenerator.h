#pragma once

#include "DatabaseBuilder.h"

#include "core/db/Database.h"
#include "core/db/RecordDate.h"
#include "core/layout/ClubRecord.h"
#include "core/layout/PersonRecord.h"

#include <QByteArray>
#include <QHash>

#include <array>
#include <vector>

namespace kx3 {

/// Pseudo-random numbers that are the same on every platform and library
/// (splitmix64), unlike the distributions of <random>.
class BuilderRandom
{
public:
    explicit BuilderRandom(quint64 seed) : mState(seed) {}

    quint32 next()
    {
        quint64 z = (mState += 0x9E3779B97F4A7C15ull);
        z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ull;
        z = (z ^ (z >> 27)) * 0x94D049BB133111EBull;
        return quint32((z ^ (z >> 31)) >> 32);
    }
    /// A number in [lo, hi].
    int range(int lo, int hi) { return lo + int(next() % quint32(hi - lo + 1)); }
    bool chance(int percent) { return int(next() % 100) < percent; }
    /// A byte value that is never zero.
    char nonZeroByte() { return char(1 + next() % 255); }

private:
    quint64 mState;
};

/// The options with every count the caller left negative derived from the
/// number of persons.
BuilderOptions resolveBuilderOptions(BuilderOptions options);

/// Fills a Database's images for DatabaseBuilder, one table after the other,
/// each step relying on the tables built before it.
class DatabaseGenerator
{
public:
    DatabaseGenerator(const BuilderOptions &options, Database &db);
    void run();

private:
    enum NameTable { FirstNameTable, SecondNameTable, CommonNameTable };
    /// Surnames of the second name pool that the search boxes' first texts find.
    enum SampleSurname { SurnameSmith = 0, SurnameJohnson = 3, SurnameTaylor = 4 };
    struct NameUse
    {
        int pool;
        std::int32_t nationKey;
        int uses;
    };

    void makeNamePools();
    QByteArray makeWord(int syllables);
    int nameEntry(NameTable table, int pool, std::int32_t nationality);
    QByteArray nameText(NameTable table, std::int32_t entry) const;

    void buildNations();
    void buildCities();
    void buildStadiums();
    void buildCompetitions();
    void buildClubs();
    void buildNationalTeams();
    void buildPersons();
    /// National team squads as the game lists them: players of the nation
    /// wherever they play (and a few without a club), the manager on duty.
    void buildNationalSquads();
    /// Gives the person a club with room for both sides of his job, filling
    /// the slots; without one he is left unemployed. Returns whether he got one.
    bool assignClub(PersonRecord &p, int index, int job, int preferredClub);
    void fillPlayerAttributes(std::int32_t index);
    void fillStaffAttributes(std::int32_t index);
    void buildClubRelationships();
    void buildOfficials();
    void buildNationCompHistory();
    void buildHistory();
    void buildNameTables();
    void countNations();
    void buildSetupLines();
    void buildTableOfContents();

    RecordDate randomDate(int firstYear, int lastYear);
    std::vector<std::int32_t> shuffledIndices(int count);
    QByteArray clubLongName(std::int32_t club) const;
    /// A misc entry line up to and including the club field.
    QByteArray entryLine(const char *keyword, std::int32_t personIndex) const;

    const BuilderOptions &mOptions;
    Database &mDb;
    BuilderRandom mRandom;
    int mClubs = 0;
    int mNations = 0;
    std::array<std::vector<QByteArray>, 3> mPools;
    std::array<std::vector<NameUse>, 3> mEntries;
    std::array<QHash<quint64, int>, 3> mEntryIndex;
    std::vector<QByteArray> mTownNames;
    /// Filled slots per club and slot group, in step with the club images.
    std::vector<std::uint8_t> mSlotFill;
};

} // namespace kx3
