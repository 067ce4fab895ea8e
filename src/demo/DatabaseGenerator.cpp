#include "DatabaseGenerator.h"

#include "core/layout/CityRecord.h"
#include "core/layout/CompetitionRecord.h"
#include "core/layout/KitColours.h"
#include "core/layout/NameEntry.h"
#include "core/layout/NationCompHistoryRecord.h"
#include "core/layout/NationRecord.h"
#include "core/layout/OfficialRecord.h"
#include "core/layout/StadiumRecord.h"

#include <algorithm>
#include <iterator>

namespace kx3 {

namespace {

// Latin-1 syllables; é and ö make sure texts are bytes, not ASCII.
const char *const Onsets[] = {"b", "br",  "c",  "ch", "d",  "dr", "f", "g", "gr",
                              "h", "j",   "k",  "kr", "l",  "m",  "n", "p", "r",
                              "s", "sch", "st", "t",  "tr", "v",  "w", "z"};
const char *const Vowels[] = {"a", "e",  "i",  "o",  "u",    "a",   "e",
                              "o", "ei", "ou", "ia", "\xE9", "\xF6"};
const char *const Codas[] = {"", "", "", "n", "r", "s", "l", "m", "nd", "rt", "ck", "th"};
const char *const SurnameEndings[] = {"", "", "", "son", "er", "ez", "ski", "ov", "man"};
const char *const NationEndings[] = {"ia", "land", "onia", "stan", "ovia", "ria"};
const char *const TownEndings[] = {"", "ton", "ford", "burg", "ville", "port", "ham", "field"};
const char *const ClubEndings[] = {"Rovers",    "United", "Athletic", "City",
                                   "Wanderers", "Town",   "Albion",   "Football Club"};
const char *const StadiumEndings[] = {"Park", "Ground", "Arena", "Stadium", "Road", "Lane"};
const char *const CompetitionNames[] = {"Premier Division", "First Division", "Second Division",
                                        "Cup"};

template <typename T, std::size_t N>
const T &pick(BuilderRandom &random, const T (&items)[N])
{
    return items[random.next() % N];
}

// A given count is kept (with at least `floor` records, so that references
// always have a target); a missing one follows from the number of persons.
int derived(int given, int value, int minimum, int floor = 1)
{
    return given >= 0 ? std::max(given, floor) : std::max(value, minimum);
}

} // namespace

DatabaseGenerator::DatabaseGenerator(const BuilderOptions &options, Database &db)
    : mOptions(options), mDb(db), mRandom(quint64(options.seed) * 0x2545F4914F6CDD1Dull + 1)
{
}

BuilderOptions resolveBuilderOptions(BuilderOptions o)
{
    o.persons = std::max(o.persons, 0);
    o.nations = derived(o.nations, std::min(o.persons / 100, 200), 4);
    o.clubs = derived(o.clubs, o.persons / 22, 4);
    o.cities = derived(o.cities, o.nations + o.clubs / 2, 14);
    o.stadiums = derived(o.stadiums, o.clubs * 3 / 4 + o.nations / 2, 4);
    o.officials = derived(o.officials, o.persons / 60, 3, 0);
    o.competitions = derived(o.competitions, std::min(o.clubs / 16, 400), 2);
    o.nationCompHistory = derived(o.nationCompHistory, o.nations, 2, 0);
    return o;
}

void DatabaseGenerator::run()
{
    mNations = mOptions.nations;
    mClubs = mOptions.clubs;
    makeNamePools();
    buildNations();
    buildCities();
    buildStadiums();
    buildCompetitions();
    buildClubs();
    buildNationalTeams();
    buildPersons();
    buildNationalSquads();
    buildClubRelationships();
    buildOfficials();
    buildNationCompHistory();
    buildHistory();
    buildNameTables();
    countNations();
    buildSetupLines();
    buildTableOfContents();
}

QByteArray DatabaseGenerator::makeWord(int syllables)
{
    QByteArray word;
    for (int i = 0; i < syllables; ++i) {
        word += pick(mRandom, Onsets);
        word += pick(mRandom, Vowels);
        if (i == syllables - 1 || mRandom.chance(30))
            word += pick(mRandom, Codas);
    }
    if (word.at(0) >= 'a' && word.at(0) <= 'z')
        word[0] = char(word.at(0) - 'a' + 'A');
    return word;
}

void DatabaseGenerator::makeNamePools()
{
    const int people = mOptions.persons + mOptions.officials;
    std::vector<QByteArray> &first = mPools[FirstNameTable];
    std::vector<QByteArray> &second = mPools[SecondNameTable];
    std::vector<QByteArray> &common = mPools[CommonNameTable];
    // A few fixed texts: a repeated surname, accented letters, and a byte that
    // has no Windows-1252 character (0x81), which must survive every round trip.
    first = {"John", "Ren\xE9"};
    second = {"Smith", "Kr\x81ger", "M\xF6ller"};
    common = {"", "Zico"};
    const int firstCount = std::clamp(people / 20, 40, 3000);
    const int secondCount = std::clamp(people / 8, 60, 8000);
    const int commonCount = std::clamp(people / 100, 10, 500);
    while (int(first.size()) < firstCount)
        first.push_back(makeWord(mRandom.range(1, 2) + 1));
    while (int(second.size()) < secondCount)
        second.push_back(makeWord(mRandom.range(2, 3)) + pick(mRandom, SurnameEndings));
    while (int(common.size()) < commonCount)
        common.push_back(makeWord(mRandom.range(1, 2)));
    for (int i = 0; i < mClubs + mOptions.cities; ++i)
        mTownNames.push_back(makeWord(mRandom.range(2, 3)) + pick(mRandom, TownEndings));
    // The texts the search boxes offer at first find something: they replace
    // generated words, so every other draw stays as it was.
    second[std::size_t(SurnameJohnson)] = "Johnson";
    second[std::size_t(SurnameTaylor)] = "Taylor";
    mTownNames[std::size_t(mClubs)] = "London";
}

int DatabaseGenerator::nameEntry(NameTable table, int pool, std::int32_t nationality)
{
    const std::int32_t key = nationality < 0 ? NoNationKey : nationality;
    const quint64 hashKey = (quint64(quint32(pool)) << 32) | quint32(key);
    auto it = mEntryIndex[table].constFind(hashKey);
    int index;
    if (it == mEntryIndex[table].constEnd()) {
        index = int(mEntries[table].size());
        mEntries[table].push_back({pool, key, 0});
        mEntryIndex[table].insert(hashKey, index);
    } else {
        index = it.value();
    }
    ++mEntries[table][std::size_t(index)].uses;
    return index;
}

QByteArray DatabaseGenerator::nameText(NameTable table, std::int32_t entry) const
{
    if (entry < 0 || std::size_t(entry) >= mEntries[table].size())
        return {};
    return mPools[table][std::size_t(mEntries[table][std::size_t(entry)].pool)];
}

RecordDate DatabaseGenerator::randomDate(int firstYear, int lastYear)
{
    return encodeRecordDate(mRandom.range(1, 28), mRandom.range(1, 12),
                            mRandom.range(firstYear, lastYear));
}

std::vector<std::int32_t> DatabaseGenerator::shuffledIndices(int count)
{
    std::vector<std::int32_t> indices(std::size_t(std::max(count, 0)));
    for (std::size_t i = 0; i < indices.size(); ++i)
        indices[i] = std::int32_t(i);
    for (std::size_t i = indices.size(); i > 1; --i)
        std::swap(indices[i - 1], indices[mRandom.next() % i]);
    return indices;
}

void DatabaseGenerator::buildNations()
{
    DataImage &image = mDb.image(DataFile::Nation);
    image.setBytes(QByteArray(qsizetype(mNations) * RecordSize::Nation, '\0'));
    for (int k = 0; k < mNations; ++k) {
        NationRecord n(&image, qsizetype(k) * RecordSize::Nation);
        QByteArray name = makeWord(2) + pick(mRandom, NationEndings);
        QByteArray longName = mRandom.chance(20) ? "Republic of " + name : name;
        QByteArray nationality = name + 'n';
        if (k == 0) {
            name = longName = "England";
            nationality = "English";
        }
        QByteArray bytes(4, '\0');
        for (char &c : bytes)
            c = mRandom.nonZeroByte();
        n.set(NationField::Unused0, bytes);
        n.setLongName(longName.left(51));
        n.setShortName(name.left(26));
        QByteArray abbreviation = name.left(3).toUpper();
        for (char &c : abbreviation) {
            if (c < 'A' || c > 'Z')
                c = 'X';
        }
        n.setAbbreviation(abbreviation);
        n.set(NationField::Unused86, std::uint8_t(mRandom.nonZeroByte()));
        n.setNationalityName(nationality.left(25));
        n.setContinent(mRandom.chance(5) ? -2 : mRandom.range(0, 5));
        n.setRegion(mRandom.range(0, 24));
        n.setActualRegion(mRandom.range(0, 14));
        n.setLanguage(0, mRandom.range(1, 60));
        n.setLanguage(1, mRandom.chance(40) ? mRandom.range(1, 60) : 0);
        n.setLanguage(2, 0);
        // City k and stadium k lie in nation k (see buildCities/buildStadiums).
        n.setCapitalCity(k < mOptions.cities ? k : -2);
        n.setDevelopmentState(mRandom.range(0, 3));
        n.setGroupMembership(mRandom.range(0, 2));
        n.setNationalStadium(k < mOptions.stadiums ? k : -2);
        n.setGameImportance(mRandom.range(1, 20));
        n.setLeagueStandard(mRandom.range(1, 20));
        n.setSeasonUpdateDay(mRandom.range(150, 250));
        n.setReputation(mRandom.range(1, 20));
        for (int i = 0; i < 6; ++i)
            n.setKitColour(i, mRandom.chance(10) ? NoKitColour : mRandom.range(0, 24));
        n.setFifaCoefficient(mRandom.range(0, 4000) / 100.0);
        for (int i = 0; i < 6; ++i) {
            n.setFifaCoefficientOfYear(i, mRandom.range(0, 4000) / 100.0);
            n.setUefaCoefficientOfYear(i, mRandom.range(0, 800) / 8.0);
        }
        for (int i = 0; i < 3; ++i)
            n.setRival(i, mRandom.chance(50) ? mRandom.range(0, mNations - 1) : -2);
        QByteArray tail(6, '\0');
        for (char &c : tail)
            c = mRandom.nonZeroByte();
        n.set(NationField::Unused284, tail);
    }
}

void DatabaseGenerator::buildCities()
{
    const int count = mOptions.cities;
    DataImage &image = mDb.image(DataFile::City);
    image.setBytes(QByteArray(qsizetype(count) * RecordSize::City, '\0'));
    for (int i = 0; i < count; ++i) {
        CityRecord c(&image, qsizetype(i) * RecordSize::City);
        c.setId(i);
        // Two cities share a name, as real data does, so pick lists must tell
        // them apart by index.
        c.setName(i == 12 ? mTownNames[std::size_t(mClubs + 7)].left(26)
                          : mTownNames[std::size_t(mClubs + i)].left(26));
        if (i < mNations)
            c.setNation(i);
        else
            c.setNation(mRandom.chance(3) ? -2 : mRandom.range(0, mNations - 1));
        c.setLatitude(mRandom.range(-600000, 700000) / 10000.0);
        c.setLongitude(mRandom.range(-1800000, 1800000) / 10000.0);
        c.setAttraction(mRandom.range(1, 20));
        c.setClimate(mRandom.chance(5) ? -2 : mRandom.range(0, 30));
    }
}

void DatabaseGenerator::buildStadiums()
{
    const int count = mOptions.stadiums;
    DataImage &image = mDb.image(DataFile::Stadium);
    image.setBytes(QByteArray(qsizetype(count) * RecordSize::Stadium, '\0'));
    for (int i = 0; i < count; ++i) {
        StadiumRecord s(&image, qsizetype(i) * RecordSize::Stadium);
        const int city = i % mOptions.cities;
        s.setId(i);
        const QByteArray name =
            mTownNames[std::size_t(mClubs + city)] + ' ' + pick(mRandom, StadiumEndings);
        s.setName(i == 0 ? QByteArray("Old Trafford") : name);
        s.setCity(i > 0 && mRandom.chance(3) ? -2 : city);
        const int capacity = mRandom.range(2, 90) * 1000;
        s.setCapacity(capacity);
        s.setSeating(capacity * mRandom.range(30, 100) / 100);
        s.setExpansion(mRandom.chance(70) ? 0 : mRandom.range(1, 20) * 1000);
        s.setNearby(mRandom.chance(80) ? -2 : mRandom.range(0, count - 1));
        s.setRetractableRoof(mRandom.chance(10) ? FlagYes : FlagNo);
        s.setUnderSoilHeating(mRandom.chance(50) ? FlagYes : FlagNo);
    }
}

void DatabaseGenerator::buildCompetitions()
{
    const int count = mOptions.competitions;
    DataImage &image = mDb.image(DataFile::ClubComp);
    image.setBytes(QByteArray(qsizetype(count) * RecordSize::Competition, '\0'));
    for (int i = 0; i < count; ++i) {
        CompetitionRecord c(&image, qsizetype(i) * RecordSize::Competition);
        std::optional<NationRecord> n = nation(mDb, i % mNations);
        c.setId(i);
        c.setName(n->shortName() + ' ' + CompetitionNames[(i / mNations) % 4]);
        // Bytes the editor never reads, well behind the name.
        for (int b = 70; b < RecordSize::Competition; ++b)
            image.setU8(c.offset() + b, std::uint8_t(mRandom.nonZeroByte()));
    }
}

void DatabaseGenerator::buildClubs()
{
    const int total = mClubs + 2 * mNations;
    DataImage &image = mDb.clubs();
    image.setBytes(QByteArray(qsizetype(total) * RecordSize::Club, '\0'));
    mSlotFill.assign(std::size_t(mClubs) * 8, 0);
    for (int i = 0; i < total; ++i) {
        ClubRecord c(&image, qsizetype(i) * RecordSize::Club);
        c.setId(i);
        for (int s = 0; s < ClubSlots::Count; ++s)
            c.setPositionSlot(s, ClubSlots::Empty);
        for (int s = 0; s < ClubField::Unused475.count; ++s)
            c.set(ClubField::Unused475.at(s), std::int32_t(mRandom.next() | 1));
        c.set(ClubField::Unused579, std::uint16_t(255));
        for (int s = 0; s < ClubRelationship::Count; ++s)
            c.setRelationship(s, ClubRelationship::isClubSlot(s) ? -2 : -1);
        for (int k = 0; k < 6; ++k)
            c.setKitColour(k, mRandom.chance(5) ? NoKitColour : mRandom.range(0, 24));
        if (i >= mClubs)
            continue;
        const QByteArray &town = mTownNames[std::size_t(i)];
        // Club 1 carries a long name that fills its field to the last character.
        QByteArray longName =
            i == 1 ? QByteArray("Northern Harbour Amateur Athletic Football Club Ltd")
                   : town + ' ' + pick(mRandom, ClubEndings);
        if (i == 0)
            longName = town + " United";
        c.setLongName(longName);
        c.setShortName(town.left(26));
        c.setNation(mRandom.range(0, mNations - 1));
        c.setDivision(mRandom.chance(10) ? -2 : mRandom.range(0, mOptions.competitions - 1));
        c.setLastDivision(mRandom.chance(10) ? -2 : mRandom.range(0, mOptions.competitions - 1));
        c.setLastPosition(mRandom.range(1, 24));
        c.setOtherDivision(mRandom.chance(80) ? -2 : mRandom.range(0, mOptions.competitions - 1));
        c.setStatus(mRandom.range(0, 3));
        c.setCash(mRandom.range(-500, 20000) * 1000);
        c.setMainStadium(i % mOptions.stadiums);
        c.setOwnStadium(i < mOptions.stadiums ? FlagYes : FlagNo);
        c.setReserveStadium(mRandom.chance(80) ? -2 : mRandom.range(0, mOptions.stadiums - 1));
        c.setHomeMatchDay(mRandom.chance(10) ? NoMatchDay : mRandom.range(5, 6));
        const int average = mRandom.range(1, 60) * 1000;
        c.setAverageAttendance(average);
        c.setMinimumAttendance(average / 2);
        c.setMaximumAttendance(average * 3 / 2);
        c.setTrainingFacility(mRandom.range(1, 20));
        c.setReputation(mRandom.range(1, 20) * 500);
        c.setPlc(mRandom.chance(20) ? FlagYes : FlagNo);
    }
}

void DatabaseGenerator::buildNationalTeams()
{
    // National team C + k and under-21 team C + nations + k belong to nation k.
    for (int half = 0; half < 2; ++half) {
        for (int k = 0; k < mNations; ++k) {
            ClubRecord c = *club(mDb, mClubs + half * mNations + k);
            NationRecord n = *nation(mDb, k);
            c.setLongName(n.longName());
            c.setShortName(n.shortName());
            c.setNation(k);
            c.setDivision(-2);
            c.setLastDivision(-2);
            c.setOtherDivision(-2);
            c.setMainStadium(n.nationalStadium());
            c.setReserveStadium(-2);
            c.setHomeMatchDay(NoMatchDay);
            c.setReputation(n.reputation() * 500);
        }
    }
}

void DatabaseGenerator::buildOfficials()
{
    const int count = mOptions.officials;
    DataImage &image = mDb.image(DataFile::Officials);
    image.setBytes(QByteArray(qsizetype(count) * RecordSize::Official, '\0'));
    for (int i = 0; i < count; ++i) {
        OfficialRecord o(&image, qsizetype(i) * RecordSize::Official);
        const std::int32_t nationIndex = mRandom.chance(10) ? -1 : mRandom.range(0, mNations - 1);
        o.setId(i);
        o.setFirstName(nameEntry(FirstNameTable,
                                 mRandom.range(0, int(mPools[FirstNameTable].size()) - 1),
                                 nationIndex));
        const int secondPool = mRandom.range(0, int(mPools[SecondNameTable].size()) - 1);
        o.setSecondName(
            nameEntry(SecondNameTable, i == 0 ? SurnameTaylor : secondPool, nationIndex));
        o.setDateOfBirth(randomDate(1940, 1970));
        QByteArray unused(2, '\0');
        unused[0] = mRandom.nonZeroByte();
        unused[1] = mRandom.nonZeroByte();
        o.set(OfficialField::Unused20, unused);
        o.setNation(nationIndex);
        o.setCity(mRandom.chance(10) ? -2 : mRandom.range(0, mOptions.cities - 1));
        o.setCurrentAbility(mRandom.range(20, 200));
        o.setPotentialAbility(mRandom.chance(10) ? -mRandom.range(1, 2) : mRandom.range(20, 200));
        o.setCurrentReputation(mRandom.range(20, 200));
        for (int r = 0; r < 7; ++r)
            o.setCommonRating(r, mRandom.range(1, 20));
    }
}

void DatabaseGenerator::buildNationCompHistory()
{
    const int count = mOptions.nationCompHistory;
    DataImage &image = mDb.image(DataFile::NationCompHistory);
    image.setBytes(QByteArray(qsizetype(count) * RecordSize::NationCompHistory, '\0'));
    for (int i = 0; i < count; ++i) {
        NationCompHistoryRecord h(&image, qsizetype(i) * RecordSize::NationCompHistory);
        QByteArray head(10, '\0');
        for (char &c : head)
            c = mRandom.nonZeroByte();
        h.setLeadingBytes(head);
        for (int t = 0; t < NationCompHistoryRecord::TeamCount; ++t) {
            const int roll = mRandom.range(0, 9);
            const int team = mRandom.range(0, mNations - 1);
            h.setTeam(t, roll == 0 ? -1 : roll == 1 ? mClubs + mNations + team : mClubs + team);
        }
    }
}

void DatabaseGenerator::buildNameTables()
{
    for (int t = 0; t < 3; ++t) {
        const auto table = NameTable(t);
        static constexpr DataFile Files[] = {DataFile::FirstNames, DataFile::SecondNames,
                                             DataFile::CommonNames};
        DataImage &image = mDb.image(Files[t]);
        const std::vector<NameUse> &entries = mEntries[table];
        image.setBytes(QByteArray(qsizetype(entries.size()) * RecordSize::NameEntry, '\0'));
        for (std::size_t i = 0; i < entries.size(); ++i) {
            NameEntry e(&image, qsizetype(i) * RecordSize::NameEntry);
            e.setText(mPools[table][std::size_t(entries[i].pool)]);
            e.setId(std::int32_t(i));
            e.setNationKey(entries[i].nationKey);
            e.setUsageCount(std::min(entries[i].uses, MaxUsageCount));
        }
    }
}

void DatabaseGenerator::countNations()
{
    std::vector<int> clubsOf(std::size_t(mNations), 0);
    std::vector<int> personsOf(std::size_t(mNations), 0);
    for (int i = 0; i < mClubs; ++i) {
        const std::int32_t n = club(mDb, i)->nation();
        if (n >= 0 && n < mNations)
            ++clubsOf[std::size_t(n)];
    }
    for (int i = 0; i < mOptions.persons; ++i) {
        const std::int32_t n = person(mDb, i)->nationality();
        if (n >= 0 && n < mNations)
            ++personsOf[std::size_t(n)];
    }
    for (int k = 0; k < mNations; ++k) {
        NationRecord n = *nation(mDb, k);
        n.setClubCount(clubsOf[std::size_t(k)]);
        n.setPersonCount(personsOf[std::size_t(k)]);
    }
}

void DatabaseGenerator::buildTableOfContents()
{
    // The club files are the two parts of the combined image, now complete.
    const QByteArray &all = mDb.clubs().bytes();
    const qsizetype clubBytes = qsizetype(mClubs) * RecordSize::Club;
    mDb.image(DataFile::Club).setBytes(all.left(clubBytes));
    mDb.image(DataFile::NatClub).setBytes(all.mid(clubBytes));

    // Every byte the editor must carry unchanged is non-zero, so a reader that
    // zeroes or drops them is caught.
    QByteArray toc(Toc::MinimumSize + 127, '\0');
    for (char &c : toc)
        c = mRandom.nonZeroByte();
    mDb.image(DataFile::Index).setBytes(toc);
    mDb.updateTableOfContents();
}

} // namespace kx3
