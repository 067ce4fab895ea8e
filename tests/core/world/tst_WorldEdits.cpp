#include "RecordsTestSupport.h"
#include "TestDatabase.h"

#include "core/db/Database.h"
#include "core/layout/CityRecord.h"
#include "core/layout/ClubRecord.h"
#include "core/layout/NameEntry.h"
#include "core/layout/OfficialRecord.h"
#include "core/layout/StadiumRecord.h"
#include "core/lookup/Lookups.h"
#include "core/lookup/NameTables.h"
#include "core/world/CityEdit.h"
#include "core/world/OfficialEdit.h"
#include "core/world/StadiumEdit.h"

#include <QTest>

#include <memory>

using namespace kx3;

namespace {

int boxOf(std::span<const EditBox> boxes, const char *caption, int nth = 0)
{
    for (std::size_t i = 0; i < boxes.size(); ++i) {
        if (qstrcmp(boxes[i].field.caption, caption) == 0 && nth-- == 0)
            return int(i);
    }
    qFatal("no box %s", caption);
    return -1;
}

const QLocale English(QLocale::English, QLocale::UnitedStates);

/// Everything a city, stadium or official confirm may touch.
struct WorldState
{
    QByteArray cities, stadiums, officials, firstNames, secondNames, nations;
    QList<QByteArray> cityEntries, stadiumEntries;
    bool modified;

    static WorldState of(const Database &db, const Lookups &lookups)
    {
        return {db.image(DataFile::City).bytes(),
                db.image(DataFile::Stadium).bytes(),
                db.image(DataFile::Officials).bytes(),
                db.image(DataFile::FirstNames).bytes(),
                db.image(DataFile::SecondNames).bytes(),
                db.image(DataFile::Nation).bytes(),
                lookups.cities().entries(),
                lookups.stadiums().entries(),
                db.isModified()};
    }
    friend bool operator==(const WorldState &, const WorldState &) = default;
};

std::int32_t noneIsMinus2(std::int32_t v)
{
    return v < 0 ? -2 : v;
}

/// A record as an unchanged confirm leaves it, given the view of its kind.
template <typename View>
QByteArray normalised(const QByteArray &record, const std::function<void(View &)> &normalise)
{
    DataImage image(record);
    View view(&image, 0);
    normalise(view);
    return image.bytes();
}

/// Runs every record of a table through its editor unchanged and compares
/// the table with what `normalise` makes of each record.
template <typename View, typename Load, typename Apply>
void sweepUnchanged(Database &db, DataFile file, int recordSize, Load load, Apply apply,
                    const std::function<void(View &)> &normalise)
{
    QByteArray expected = db.image(file).bytes();
    const int count = int(db.image(file).recordCount(recordSize));
    for (int i = 0; i < count; ++i) {
        const qsizetype at = qsizetype(i) * recordSize;
        expected.replace(at, recordSize, normalised(expected.mid(at, recordSize), normalise));
        const auto result = apply(i, load(i));
        QVERIFY2(result.ok(), qPrintable(result.message));
        QVERIFY2(db.image(file).bytes().mid(at, recordSize) == expected.mid(at, recordSize),
                 qPrintable(QStringLiteral("record %1").arg(i)));
    }
    QCOMPARE(db.image(file).bytes(), expected);
}

} // namespace

class tst_WorldEdits : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void initTestCase();
    void init();
    void unchangedConfirmKeepsEveryCity();
    void unchangedConfirmKeepsEveryStadium();
    void unchangedConfirmKeepsEveryOfficial();
    void cityFieldsAreStored();
    void stadiumFieldsAreStored();
    void officialFieldsAreStored();
    void officialNamesFollowTheirTables();
    void refusedEditChangesNothing_data();
    void refusedEditChangesNothing();
    void createAppendsOneRecord_data();
    void createAppendsOneRecord();
    void renameResortsThePickList_data();
    void renameResortsThePickList();
    void makePerfect();

private:
    CityEdit city(int i) { return *loadCityEdit(*mDb, mLookups, i); }
    StadiumEdit stadium(int i) { return *loadStadiumEdit(*mDb, mLookups, i); }
    OfficialEdit official(int i) { return *loadOfficialEdit(*mDb, mLookups, i); }
    WorldState state() const { return WorldState::of(*mDb, mLookups); }
    /// The pick lists as a fresh load would build them.
    bool pickListsAsLoaded() const
    {
        return mLookups.cities().entries() == PickList::fromCities(*mDb, English).entries()
               && mLookups.stadiums().entries() == PickList::fromStadiums(*mDb, English).entries();
    }

    std::unique_ptr<test::TestInstallation> mInstall;
    std::unique_ptr<Database> mDb;
    Lookups mLookups;
};

void tst_WorldEdits::initTestCase()
{
    BuilderOptions options;
    options.persons = 600;
    mInstall = std::make_unique<test::TestInstallation>(options);
    QVERIFY2(mInstall->isValid(), qPrintable(mInstall->errorString()));
}

void tst_WorldEdits::init()
{
    mDb = std::make_unique<Database>();
    QVERIFY(mInstall->loadInto(*mDb));
    mLookups.build(*mDb, English);
}

void tst_WorldEdits::unchangedConfirmKeepsEveryCity()
{
    {
        CityRecord odd = *kx3::city(*mDb, 1);
        odd.setLatitude(51.123456789); // shown as 51.12346
        odd.setLongitude(-1e-300);
        odd.setNation(9999); // no such nation
        odd.setClimate(31);  // one past the list
        odd.setAttraction(255);
        CityRecord other = *kx3::city(*mDb, 2);
        other.setNation(-1);  // "<none>", normalised to -2
        other.setClimate(-5); // "<Unknown>", normalised to -2
        // Bytes behind the name's end: the name block is always rewritten whole.
        mDb->image(DataFile::City).write(other.offset() + 4, QByteArray("Ab\0junk", 7));
    }
    mLookups.build(*mDb, English);
    const QList<QByteArray> entries = mLookups.cities().entries();
    sweepUnchanged<CityRecord>(
        *mDb, DataFile::City, RecordSize::City, [this](int i) { return city(i); },
        [this](int i, const CityEdit &e) { return applyCityEdit(*mDb, mLookups, i, e); },
        [](CityRecord &c) {
            c.setName(c.name());
            c.setNation(noneIsMinus2(c.nation()));
            c.setClimate(noneIsMinus2(c.climate()));
        });
    QCOMPARE(kx3::city(*mDb, 1)->latitude(), 51.123456789);
    QCOMPARE(mLookups.cities().entries(), entries);
    QVERIFY(mDb->isModified());
}

void tst_WorldEdits::unchangedConfirmKeepsEveryStadium()
{
    {
        StadiumRecord odd = *kx3::stadium(*mDb, 1);
        odd.setCity(99999);        // not in the pick list
        odd.setNearby(-9);         // "<none>", normalised to -2
        odd.setRetractableRoof(1); // not a yes: shown unchecked, kept
        odd.setUnderSoilHeating(FlagYes);
        StadiumRecord other = *kx3::stadium(*mDb, 2);
        other.setCity(-1);
        other.setNearby(99999);
        other.setCapacity(std::numeric_limits<std::int32_t>::min());
        other.setUnderSoilHeating(254);
    }
    const QList<QByteArray> entries = mLookups.stadiums().entries();
    sweepUnchanged<StadiumRecord>(
        *mDb, DataFile::Stadium, RecordSize::Stadium, [this](int i) { return stadium(i); },
        [this](int i, const StadiumEdit &e) { return applyStadiumEdit(*mDb, mLookups, i, e); },
        [](StadiumRecord &s) {
            s.setName(s.name());
            s.setCity(noneIsMinus2(s.city()));
            s.setNearby(noneIsMinus2(s.nearby()));
        });
    QCOMPARE(mLookups.stadiums().entries(), entries);
}

void tst_WorldEdits::unchangedConfirmKeepsEveryOfficial()
{
    {
        OfficialRecord odd = *kx3::official(*mDb, 1);
        odd.setNation(-5);                                   // no item: only -1 is "<none>" here
        odd.setCity(-1);                                     // "<none>", normalised to -2
        odd.setDateOfBirth({400, 1955, 0});                  // beyond the year's end: shows 0/0
        odd.setFirstName(nameCount(*mDb, NameTable::First)); // no such entry
        OfficialRecord other = *kx3::official(*mDb, 2);
        other.setNation(9999);
        other.setCity(99999);
        other.setDateOfBirth({100, 1960, 1}); // 10 April, numbered as in a leap year
        other.setPotentialAbility(-2);
    }
    const QByteArray first = mDb->image(DataFile::FirstNames).bytes();
    const QByteArray second = mDb->image(DataFile::SecondNames).bytes();
    sweepUnchanged<OfficialRecord>(
        *mDb, DataFile::Officials, RecordSize::Official, [this](int i) { return official(i); },
        [this](int i, const OfficialEdit &e) { return applyOfficialEdit(*mDb, mLookups, i, e); },
        [](OfficialRecord &o) { o.setCity(noneIsMinus2(o.city())); });
    QCOMPARE(mDb->image(DataFile::FirstNames).bytes(), first);
    QCOMPARE(mDb->image(DataFile::SecondNames).bytes(), second);
    const OfficialEdit shown = official(2);
    QCOMPARE(shown.boxes.mid(0, 3), (QList<QString>{"10", "4", "1960"}));
    QCOMPARE(shown.nationItem, -1);
}

void tst_WorldEdits::cityFieldsAreStored()
{
    const int i = 3;
    CityEdit edit = city(i);
    edit.name = "Port Ellery";
    edit.nationItem = 2;
    edit.boxes = {"51.5", "-0.1275", "255"};
    edit.climateItem = 31;
    QVERIFY(applyCityEdit(*mDb, mLookups, i, edit).ok());
    const ConstCityRecord c = *kx3::city(std::as_const(*mDb), i);
    QCOMPARE(c.name(), QByteArray("Port Ellery"));
    QCOMPARE(c.nation(), 1);
    QCOMPARE(c.latitude(), 51.5);
    QCOMPARE(c.longitude(), -0.1275);
    QCOMPARE(c.attraction(), 255);
    QCOMPARE(c.climate(), 30);
    QCOMPARE(city(i), edit);
}

void tst_WorldEdits::stadiumFieldsAreStored()
{
    const int i = 4;
    StadiumEdit edit = stadium(i);
    edit.name = "Ellery Road";
    edit.cityItem = 5;
    edit.boxes = {"30000", "-35000", "2147483647"};
    edit.nearbyItem = 2;
    edit.retractableRoof = true;
    edit.underSoilHeating = false;
    QVERIFY(applyStadiumEdit(*mDb, mLookups, i, edit).ok());
    const ConstStadiumRecord s = *kx3::stadium(std::as_const(*mDb), i);
    QCOMPARE(s.name(), QByteArray("Ellery Road"));
    QCOMPARE(s.city(), mLookups.cities().recordIndex(5));
    QCOMPARE(s.capacity(), 30000);
    QCOMPARE(s.seating(), -35000);
    QCOMPARE(s.expansion(), 2147483647);
    QCOMPARE(s.nearby(), mLookups.stadiums().recordIndex(2));
    QCOMPARE(s.retractableRoof(), int(FlagYes));
    QCOMPARE(s.underSoilHeating(), int(FlagNo));
    QCOMPARE(stadium(i), edit);
}

void tst_WorldEdits::officialFieldsAreStored()
{
    const int i = 0;
    const QByteArray unused = kx3::official(*mDb, i)->get(OfficialField::Unused20);
    OfficialEdit edit = official(i);
    edit.boxes = {"29", "2", "1960", "150", "-1", "32767", "1", "2", "3", "4", "5", "6", "255"};
    edit.nationItem = 0;
    edit.cityItem = 3;
    QVERIFY(applyOfficialEdit(*mDb, mLookups, i, edit).ok());
    const ConstOfficialRecord o = *kx3::official(std::as_const(*mDb), i);
    QCOMPARE(o.dateOfBirth(), (RecordDate{59, 1960, 1}));
    QCOMPARE(o.nation(), -1);
    QCOMPARE(o.city(), mLookups.cities().recordIndex(3));
    QCOMPARE(o.currentAbility(), 150);
    QCOMPARE(o.potentialAbility(), -1);
    QCOMPARE(o.currentReputation(), 32767);
    for (int r = 0; r < 6; ++r)
        QCOMPARE(o.commonRating(r), r + 1);
    QCOMPARE(o.commonRating(6), 255);
    QCOMPARE(o.get(OfficialField::Unused20), unused);
    QCOMPARE(official(i), edit);

    // A changed day re-encodes the date even though the month stays.
    edit.boxes[0] = "1";
    edit.boxes[1] = "3";
    edit.cityItem = 0;
    QVERIFY(applyOfficialEdit(*mDb, mLookups, i, edit).ok());
    QCOMPARE(o.dateOfBirth(), (RecordDate{59, 1960, 0}));
    QCOMPARE(o.city(), -2);
}

// A typed name moves the official to the entry of that text under his nation
// and recounts both entries; a new nation moves both names.
void tst_WorldEdits::officialNamesFollowTheirTables()
{
    const int i = 3;
    OfficialRecord o = *kx3::official(*mDb, i);
    const int oldFirst = o.firstName();
    const int oldSecond = o.secondName();
    auto uses = [this](NameTable table, int entry) {
        return nameEntry(mDb->image(nameTableFile(table)), entry)->usageCount();
    };
    const int oldFirstUses = uses(NameTable::First, oldFirst);
    const int oldSecondUses = uses(NameTable::Second, oldSecond);
    const int firstCount = nameCount(*mDb, NameTable::First);

    OfficialEdit edit = official(i);
    edit.firstName = "Quillon";
    edit.firstNameChanged = true;
    QVERIFY(applyOfficialEdit(*mDb, mLookups, i, edit).ok());
    QCOMPARE(o.firstName(), firstCount);
    QCOMPARE(FirstNameText(*mDb, firstCount), QByteArray("Quillon"));
    QCOMPARE(uses(NameTable::First, firstCount), 1);
    QCOMPARE(uses(NameTable::First, oldFirst), oldFirstUses - 1);
    QCOMPARE(o.secondName(), oldSecond); // not typed: not resolved
    KX3_VERIFY_SOUND(*mDb, mLookups, IntegrityOptions{true});

    // The screen marks nothing, yet the nation moved: both names follow it.
    const int nation = o.nation() == 1 ? 2 : 1;
    edit = official(i);
    edit.nationItem = nation + 1;
    QVERIFY(applyOfficialEdit(*mDb, mLookups, i, edit).ok());
    const auto entryOf = [this](NameTable table, int entry) {
        return *nameEntry(std::as_const(*mDb).image(nameTableFile(table)), entry);
    };
    QCOMPARE(entryOf(NameTable::First, o.firstName()).nationKey(), nation);
    QCOMPARE(entryOf(NameTable::First, o.firstName()).text(), QByteArray("Quillon"));
    QCOMPARE(entryOf(NameTable::Second, o.secondName()).nationKey(), nation);
    QCOMPARE(SecondNameText(*mDb, o.secondName()), edit.secondName);
    QCOMPARE(uses(NameTable::Second, oldSecond), oldSecondUses - 1);
    QCOMPARE(uses(NameTable::First, firstCount), 0);
    KX3_VERIFY_SOUND(*mDb, mLookups, IntegrityOptions{true});
}

void tst_WorldEdits::refusedEditChangesNothing_data()
{
    QTest::addColumn<QString>("kind");
    QTest::addColumn<bool>("creating");
    QTest::addColumn<int>("box");
    QTest::addColumn<QString>("typed");
    QTest::addColumn<QString>("message");
    const std::span<const EditBox> c = cityBoxes();
    const std::span<const EditBox> s = stadiumBoxes();
    const std::span<const EditBox> o = officialBoxes();
    const QString notReal = QStringLiteral("'%1' is not a valid floating point value");
    const QString notInt = QStringLiteral("'%1' is not a valid integer value");
    QTest::newRow("city latitude")
        << "city" << false << boxOf(c, "City Latitude") << "north" << notReal.arg("north");
    QTest::newRow("city comma") << "city" << false << boxOf(c, "City Longitude") << "1,5"
                                << notReal.arg("1,5");
    QTest::newRow("city attraction")
        << "city" << false << boxOf(c, "City Attraction") << "256"
        << "'256' cannot be stored as City Attraction: it must be between 0 and 255.";
    QTest::newRow("new city") << "city" << true << boxOf(c, "City Latitude") << ""
                              << notReal.arg("");
    QTest::newRow("stadium capacity")
        << "stadium" << false << boxOf(s, "Capacity") << "big" << notInt.arg("big");
    QTest::newRow("stadium beyond 32 bits")
        << "stadium" << false << boxOf(s, "Seating") << "3000000000" << notInt.arg("3000000000");
    QTest::newRow("new stadium") << "stadium" << true << boxOf(s, "Expansion") << "1.5"
                                 << notInt.arg("1.5");
    QTest::newRow("official day") << "official" << false << boxOf(o, "Date Of Birth") << "x"
                                  << notInt.arg("x");
    QTest::newRow("official year")
        << "official" << false << boxOf(o, "Date Of Birth", 2) << "70000"
        << "'70000' cannot be stored as Date Of Birth: it must be between 0 and 65535.";
    QTest::newRow("official i16")
        << "official" << false << boxOf(o, "Potential Ability") << "40000"
        << "'40000' cannot be stored as Potential Ability: it must be between -32768 and 32767.";
    QTest::newRow("new official")
        << "official" << true << boxOf(o, "Refereeing") << "300"
        << "'300' cannot be stored as Refereeing: it must be between 0 and 255.";
}

// A refused edit names the first bad box and changes no image, pick list or
// flag, though its names and lists were changed too; a new record is not
// appended.
void tst_WorldEdits::refusedEditChangesNothing()
{
    QFETCH(QString, kind);
    QFETCH(bool, creating);
    QFETCH(int, box);
    QFETCH(QString, typed);
    QFETCH(QString, message);
    const std::optional<int> at = creating ? std::nullopt : std::optional<int>(1);
    const WorldState before = state();
    auto breakBoxes = [&](QList<QString> &boxes) {
        boxes[box] = typed;
        if (box + 1 < boxes.size())
            boxes[box + 1] = QStringLiteral("bad too");
    };
    EditResult result;
    if (kind == "city") {
        CityEdit e = creating ? newCityEdit() : city(1);
        e.name = "Renamed";
        e.nationItem = 0;
        breakBoxes(e.boxes);
        result = applyCityEdit(*mDb, mLookups, at, e);
    } else if (kind == "stadium") {
        StadiumEdit e = creating ? newStadiumEdit() : stadium(1);
        e.name = "Renamed";
        e.cityItem = 2;
        breakBoxes(e.boxes);
        result = applyStadiumEdit(*mDb, mLookups, at, e);
    } else {
        OfficialEdit e = creating ? newOfficialEdit() : official(1);
        e.firstName = "Renamed";
        e.firstNameChanged = true;
        e.nationItem = 2;
        breakBoxes(e.boxes);
        result = applyOfficialEdit(*mDb, mLookups, at, e);
    }
    QVERIFY(!result.ok());
    QCOMPARE(result.message, message);
    QCOMPARE(result.box, box);
    QVERIFY(state() == before);
}

void tst_WorldEdits::createAppendsOneRecord_data()
{
    QTest::addColumn<QString>("kind");
    QTest::newRow("city") << "city";
    QTest::newRow("stadium") << "stadium";
    QTest::newRow("official") << "official";
}

// A new record goes behind the last one, with its id; a city or stadium joins
// its pick list where a fresh load would put it.
void tst_WorldEdits::createAppendsOneRecord()
{
    QFETCH(QString, kind);
    // Each shows again as it was entered; ids and shapes are the integrity check's.
    auto appendedOne = [this](std::optional<int> created, DataFile file, int size, int count) {
        return created == count && mDb->image(file).size() == qsizetype(count + 1) * size;
    };
    if (kind == "city") {
        const int count = cityCount(*mDb);
        CityEdit edit = newCityEdit();
        edit.name = "Mossbank";
        edit.boxes[0] = "-33.8688";
        const EditResult result = applyCityEdit(*mDb, mLookups, std::nullopt, edit);
        QVERIFY(appendedOne(result.record, DataFile::City, RecordSize::City, count));
        QCOMPARE(city(count), edit);
    } else if (kind == "stadium") {
        const int count = stadiumCount(*mDb);
        StadiumEdit edit = newStadiumEdit();
        edit.cityItem = 1;
        edit.nearbyItem = 3; // a new stadium has no nearby stadium yet
        edit.underSoilHeating = true;
        const EditResult result = applyStadiumEdit(*mDb, mLookups, std::nullopt, edit);
        QVERIFY(appendedOne(result.record, DataFile::Stadium, RecordSize::Stadium, count));
        QCOMPARE(kx3::stadium(*mDb, count)->nearby(), -2);
        edit.nearbyItem = 0;
        QCOMPARE(stadium(count), edit);
    } else {
        const int count = officialCount(*mDb);
        OfficialEdit edit = newOfficialEdit();
        edit.boxes[boxOf(officialBoxes(), "Refereeing")] = "17";
        const EditResult result = applyOfficialEdit(*mDb, mLookups, std::nullopt, edit);
        QVERIFY(appendedOne(result.record, DataFile::Officials, RecordSize::Official, count));
        // The placeholders are names like any other, found or added under no nation.
        const ConstOfficialRecord o = *kx3::official(std::as_const(*mDb), count);
        QCOMPARE(FirstNameText(*mDb, o.firstName()), QByteArray("<first name>"));
        QCOMPARE(o.dateOfBirth(), (RecordDate{31, 1900, 0}));
        edit.firstNameChanged = edit.secondNameChanged = false;
        QCOMPARE(official(count), edit);
    }
    QVERIFY(mDb->isModified());
    QVERIFY(pickListsAsLoaded());
    KX3_VERIFY_SOUND(*mDb, mLookups, IntegrityOptions{true});
}

void tst_WorldEdits::renameResortsThePickList_data()
{
    QTest::addColumn<QString>("kind");
    QTest::newRow("city") << "city";
    QTest::newRow("stadium") << "stadium";
}

// A renamed city or stadium moves to its new place in the pick list at once,
// under the same record index; a name longer than its field is listed as stored.
void tst_WorldEdits::renameResortsThePickList()
{
    QFETCH(QString, kind);
    const bool cities = kind == "city";
    PickList &list = cities ? mLookups.cities() : mLookups.stadiums();
    const int size = list.size();
    const int i = 5;
    auto rename = [&](const QByteArray &name) {
        if (cities) {
            CityEdit edit = city(i);
            edit.name = name;
            return applyCityEdit(*mDb, mLookups, i, edit).ok();
        }
        StadiumEdit edit = stadium(i);
        edit.name = name;
        return applyStadiumEdit(*mDb, mLookups, i, edit).ok();
    };
    QVERIFY(rename("Aardvark Vale"));
    QCOMPARE(list.size(), size);
    QCOMPARE(list.entryAt(0), "Aardvark Vale|" + QByteArray::number(i) + '|');
    QVERIFY(pickListsAsLoaded());
    const QByteArray longest(70, 'z');
    QVERIFY(rename(longest));
    QCOMPARE(list.entryAt(size - 1),
             longest.left(cities ? 26 : 51) + '|' + QByteArray::number(i) + '|');
    KX3_VERIFY_SOUND(*mDb, mLookups);
}

void tst_WorldEdits::makePerfect()
{
    const QList<PerfectValue> perfect = officialPerfectValues();
    QCOMPARE(perfect.size(), 10);
    OfficialEdit edit = official(2);
    const QList<QString> dates = edit.boxes.mid(0, 3);
    for (const PerfectValue &v : perfect)
        edit.boxes[v.box] = QString::number(v.value);
    QCOMPARE(edit.boxes.mid(0, 3), dates);
    QVERIFY(applyOfficialEdit(*mDb, mLookups, 2, edit).ok());
    const ConstOfficialRecord o = *kx3::official(std::as_const(*mDb), 2);
    QCOMPARE(o.currentAbility(), 200);
    QCOMPARE(o.potentialAbility(), 200);
    QCOMPARE(o.currentReputation(), 200);
    for (int r = 0; r < 7; ++r)
        QCOMPARE(o.commonRating(r), 20);
}

QTEST_GUILESS_MAIN(tst_WorldEdits)
#include "tst_WorldEdits.moc"
