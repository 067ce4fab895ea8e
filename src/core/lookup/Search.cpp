#include "core/lookup/Search.h"

#include "core/db/Database.h"
#include "core/layout/CityRecord.h"
#include "core/layout/ClubRecord.h"
#include "core/layout/CodeLists.h"
#include "core/layout/NameEntry.h"
#include "core/layout/NationRecord.h"
#include "core/layout/OfficialRecord.h"
#include "core/layout/PersonRecord.h"
#include "core/layout/StadiumRecord.h"
#include "core/lookup/SearchPattern.h"

#include <algorithm>
#include <cstring>

namespace kx3 {

namespace {

/// The text of the nation list's item 0, which stands for "no nation".
constexpr char NoneText[] = "<none>";
constexpr qsizetype NoneLength = sizeof(NoneText) - 1;

/// One text field of every whole record of an image, read without allocating.
///
/// The search loops copy names straight into a reused candidate buffer; going
/// through DataImage::text would cost one allocation per name per record.
class TextColumn
{
public:
    TextColumn(const DataImage &image, int recordSize, TextField field)
        : mData(image.bytes().constData()), mCount(image.recordCount(recordSize)),
          mRecordSize(recordSize), mOffset(field.offset), mCapacity(field.capacity)
    {
    }

    qsizetype count() const { return mCount; }

    /// Copies the text of record `index` (bytes before the first zero, at
    /// most the field's capacity and at most `limit`) to `out` and returns its
    /// length; a record outside the image has the empty text.
    qsizetype copy(qint64 index, char *out, qsizetype limit) const
    {
        if (index < 0 || index >= mCount || limit <= 0)
            return 0;
        // Names are a few bytes long: one loop saves two library calls per name.
        const char *text = mData + index * mRecordSize + mOffset;
        const qsizetype last = std::min<qsizetype>(mCapacity, limit);
        qsizetype length = 0;
        while (length < last && text[length] != '\0') {
            out[length] = text[length];
            ++length;
        }
        return length;
    }

    qsizetype copy(qint64 index, char *out) const { return copy(index, out, mCapacity); }

private:
    const char *mData;
    qsizetype mCount;
    int mRecordSize;
    int mOffset;
    int mCapacity;
};

constexpr qsizetype NameCapacity = NameEntryField::Text.capacity;
constexpr qsizetype NationNameCapacity = NationField::LongName.capacity;

/// How a negative nation index turns into an item of the nation list.
enum class NegativeNation {
    IsNone,           ///< any negative index shows "<none>"
    OnlyMinusOneNone, ///< item index + 1: -1 is "<none>", lower indices have no item
};

/// Nation list item of `nation` copied to `out` (at most `limit` bytes); the
/// nation's long name, "<none>" for none, empty for an index past the list.
qsizetype copyNationItem(const TextColumn &nations, std::int32_t nation, NegativeNation rule,
                         char *out, qsizetype limit)
{
    if (nation < 0) {
        if (nation != -1 && rule == NegativeNation::OnlyMinusOneNone)
            return 0;
        const qsizetype length = std::clamp<qsizetype>(limit, 0, NoneLength);
        std::memcpy(out, NoneText, std::size_t(length));
        return length;
    }
    return nations.copy(nation, out, limit);
}

TextColumn nationNames(const Database &db)
{
    return TextColumn(db.image(DataFile::Nation), RecordSize::Nation, NationField::LongName);
}

TextColumn nameTable(const Database &db, DataFile file)
{
    return TextColumn(db.image(file), RecordSize::NameEntry, NameEntryField::Text);
}

/// Matches `candidate[0, length)` against the pattern, folding it into
/// `scratch` first when the search ignores case.
bool matches(const SearchPattern &pattern, const char *candidate, qsizetype length, char *scratch,
             qsizetype lastStart)
{
    if (pattern.folds()) {
        foldSearchBytes(candidate, scratch, length);
        candidate = scratch;
    }
    return pattern.occursIn(candidate, length, lastStart);
}

/// The classifications a rule takes as a bit mask: bit c set = c is taken.
constexpr unsigned classMask(bool (*takes)(int))
{
    unsigned mask = 0;
    for (int c = 0; c < 32; ++c)
        mask |= takes(c) ? 1u << c : 0u;
    return mask;
}

/// A search lists the persons who own the attribute record its screen shows.
constexpr unsigned PlayerClasses = classMask(Classification::hasPlayerAttributes);
constexpr unsigned StaffClasses = classMask(Classification::hasStaffAttributes);

SearchRows searchPersons(const Database &db, const QByteArray &text, bool caseSensitive,
                         unsigned classes)
{
    SearchRows rows;
    const SearchPattern pattern(text, caseSensitive);
    if (pattern.isEmpty())
        return rows;

    const DataImage &staff = db.image(DataFile::Staff);
    // The person table leads staff.dat; the attribute tables follow it.
    const qsizetype count =
        std::clamp<qsizetype>(db.counters().persons, 0, staff.recordCount(RecordSize::Person));
    const TextColumn first = nameTable(db, DataFile::FirstNames);
    const TextColumn second = nameTable(db, DataFile::SecondNames);
    const TextColumn common = nameTable(db, DataFile::CommonNames);

    constexpr qsizetype CandidateSize = 3 * NameCapacity + 2;
    char candidate[CandidateSize];
    char folded[CandidateSize];
    for (qsizetype i = 0; i < count; ++i) {
        const ConstPersonRecord person(&staff, personOffset(i));
        const unsigned cls = unsigned(person.classification());
        if (cls >= 32 || !((classes >> cls) & 1u))
            continue;
        qsizetype n = first.copy(person.firstName(), candidate);
        candidate[n++] = ' ';
        n += second.copy(person.secondName(), candidate + n);
        const qsizetype shownLength = n;
        candidate[n++] = ' ';
        n += common.copy(person.commonName(), candidate + n);
        if (matches(pattern, candidate, n, folded, n))
            rows.push_back({QByteArray(candidate, shownLength), personOffset(i)});
    }
    return rows;
}

} // namespace

SearchRows searchPlayers(const Database &db, const QByteArray &text, bool caseSensitive)
{
    return searchPersons(db, text, caseSensitive, PlayerClasses);
}

SearchRows searchStaff(const Database &db, const QByteArray &text, bool caseSensitive)
{
    return searchPersons(db, text, caseSensitive, StaffClasses);
}

SearchRows searchClubs(const Database &db, const QByteArray &text, bool caseSensitive)
{
    SearchRows rows;
    const SearchPattern pattern(text, caseSensitive);
    if (pattern.isEmpty())
        return rows;

    // The block holds both name fields as stored, bytes after each terminator
    // included, then the nation's name right after the short name: the game
    // matches typed text against exactly this.
    constexpr qsizetype BlockSize = 111;
    constexpr int NamesStart = ClubField::LongName.offset;
    constexpr qsizetype NamesWidth = ClubField::Nation.offset - NamesStart;
    constexpr qsizetype ShortStart = ClubField::ShortName.offset - NamesStart;
    constexpr qsizetype ShortSearched = NamesWidth - 1 - ShortStart;
    static_assert(NamesWidth == 79 && ShortStart == 52 && ShortSearched == 26);

    const DataImage &clubs = db.clubs();
    const qsizetype count = clubs.recordCount(RecordSize::Club);
    const TextColumn nations = nationNames(db);
    char block[BlockSize];
    const char *record = clubs.bytes().constData();
    for (qsizetype i = 0; i < count; ++i, record += RecordSize::Club) {
        std::memcpy(block, record + NamesStart, NamesWidth);
        std::memset(block + NamesWidth, 0, BlockSize - NamesWidth);
        const void *zero = std::memchr(block + ShortStart, 0, ShortSearched);
        const qsizetype at = zero ? static_cast<const char *>(zero) - block + 1 : NamesWidth;
        const ConstClubRecord club(&clubs, i * RecordSize::Club);
        copyNationItem(nations, club.nation(), NegativeNation::OnlyMinusOneNone, block + at,
                       BlockSize - at);
        if (pattern.folds())
            foldSearchBytes(block, block, BlockSize);
        if (!pattern.occursIn(block, BlockSize))
            continue;
        const char *longName = record + NamesStart;
        const void *end = std::memchr(longName, 0, ClubField::LongName.capacity);
        QByteArray name(longName, end ? static_cast<const char *>(end) - longName
                                      : ClubField::LongName.capacity);
        if (clubKind(db, i) == ClubKind::Under21Team)
            name += Under21Suffix;
        rows.push_back({std::move(name), qint64(i) * RecordSize::Club});
    }
    return rows;
}

SearchRows searchOfficials(const Database &db, const QByteArray &text, bool caseSensitive)
{
    SearchRows rows;
    const SearchPattern pattern(text, caseSensitive);
    if (pattern.isEmpty())
        return rows;

    const DataImage &officials = db.image(DataFile::Officials);
    const qsizetype count = officials.recordCount(RecordSize::Official);
    const TextColumn first = nameTable(db, DataFile::FirstNames);
    const TextColumn second = nameTable(db, DataFile::SecondNames);
    const TextColumn nations = nationNames(db);

    constexpr qsizetype CandidateSize = 2 * NameCapacity + 1 + NationNameCapacity;
    char candidate[CandidateSize];
    char folded[CandidateSize];
    for (qsizetype i = 0; i < count; ++i) {
        const ConstOfficialRecord official(&officials, i * RecordSize::Official);
        qsizetype n = first.copy(official.firstName(), candidate);
        candidate[n++] = ' ';
        n += second.copy(official.secondName(), candidate + n);
        const qsizetype shownLength = n;
        // No separator: a text may run from the surname into the nation.
        n += copyNationItem(nations, official.nation(), NegativeNation::IsNone, candidate + n,
                            NationNameCapacity);
        if (matches(pattern, candidate, n, folded, n))
            rows.push_back({QByteArray(candidate, shownLength), qint64(i) * RecordSize::Official});
    }
    return rows;
}

SearchRows searchNations(const Database &db, const QByteArray &text, bool caseSensitive)
{
    SearchRows rows;
    const SearchPattern pattern(text, caseSensitive);
    if (pattern.isEmpty())
        return rows;

    constexpr int NamesStart = NationField::LongName.offset;
    constexpr qsizetype NamesWidth = NationField::Abbreviation.offset - NamesStart;
    static_assert(NamesWidth == 79);

    const DataImage &nations = db.image(DataFile::Nation);
    const qsizetype count = nations.recordCount(RecordSize::Nation);
    char folded[NamesWidth];
    const char *record = nations.bytes().constData();
    for (qsizetype i = 0; i < count; ++i, record += RecordSize::Nation) {
        if (!matches(pattern, record + NamesStart, NamesWidth, folded, NamesWidth))
            continue;
        const char *longName = record + NamesStart;
        const void *end = std::memchr(longName, 0, NationNameCapacity);
        rows.push_back({QByteArray(longName, end ? static_cast<const char *>(end) - longName
                                                 : NationNameCapacity),
                        qint64(i) * RecordSize::Nation});
    }
    return rows;
}

namespace {

/// Cities and stadiums are matched only from the first 26 candidate bytes on,
/// which keeps most of a long nation (or stadium) name out of reach.
constexpr qsizetype WorldLastStart = 25;

} // namespace

SearchRows searchCities(const Database &db, const QByteArray &text, bool caseSensitive)
{
    SearchRows rows;
    const SearchPattern pattern(text, caseSensitive);
    if (pattern.isEmpty())
        return rows;

    const DataImage &cities = db.image(DataFile::City);
    const TextColumn names(cities, RecordSize::City, CityField::Name);
    const TextColumn nations = nationNames(db);

    constexpr qsizetype CandidateSize = CityField::Name.capacity + 1 + NationNameCapacity;
    char candidate[CandidateSize];
    char folded[CandidateSize];
    for (qsizetype i = 0; i < names.count(); ++i) {
        qsizetype n = names.copy(i, candidate);
        const qsizetype shownLength = n;
        // The zero keeps a match inside the name or inside the nation name.
        candidate[n++] = '\0';
        n += copyNationItem(nations, ConstCityRecord(&cities, i * RecordSize::City).nation(),
                            NegativeNation::IsNone, candidate + n, NationNameCapacity);
        if (matches(pattern, candidate, n, folded, WorldLastStart))
            rows.push_back({QByteArray(candidate, shownLength), qint64(i) * RecordSize::City});
    }
    return rows;
}

SearchRows searchStadiums(const Database &db, const QByteArray &text, bool caseSensitive)
{
    SearchRows rows;
    const SearchPattern pattern(text, caseSensitive);
    if (pattern.isEmpty())
        return rows;

    const DataImage &stadiums = db.image(DataFile::Stadium);
    const DataImage &cities = db.image(DataFile::City);
    const TextColumn names(stadiums, RecordSize::Stadium, StadiumField::Name);
    const TextColumn cityNames(cities, RecordSize::City, CityField::Name);
    const TextColumn nations = nationNames(db);

    constexpr qsizetype CandidateSize =
        StadiumField::Name.capacity + 1 + CityField::Name.capacity + 1 + NationNameCapacity;
    char candidate[CandidateSize];
    char folded[CandidateSize];
    for (qsizetype i = 0; i < names.count(); ++i) {
        qsizetype n = names.copy(i, candidate);
        const qsizetype shownLength = n;
        candidate[n++] = '\0';
        const std::int32_t city = ConstStadiumRecord(&stadiums, i * RecordSize::Stadium).city();
        // City 0's own name is left out, as the game's search does; its nation
        // is still searched.
        if (city > 0) {
            n += cityNames.copy(city, candidate + n);
            candidate[n++] = '\0';
        }
        if (city >= 0 && city < cityNames.count()) {
            const ConstCityRecord cityRecord(&cities, qint64(city) * RecordSize::City);
            n += copyNationItem(nations, cityRecord.nation(), NegativeNation::IsNone,
                                candidate + n, NationNameCapacity);
        }
        if (matches(pattern, candidate, n, folded, WorldLastStart))
            rows.push_back({QByteArray(candidate, shownLength), qint64(i) * RecordSize::Stadium});
    }
    return rows;
}

} // namespace kx3
