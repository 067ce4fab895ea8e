#include "RecordsTestSupport.h"
#include "TestDatabase.h"

#include "clubs/ClubRecord.h"
#include "clubs/HistoryRecord.h"
#include "db/Database.h"
#include "db/Lookups.h"
#include "db/NameEntry.h"
#include "db/NameTables.h"
#include "nations/NationRecord.h"
#include "people/PersonRecord.h"
#include "records/CreateRecords.h"
#include "world/CityRecord.h"
#include "world/NationCompHistoryRecord.h"
#include "world/OfficialRecord.h"
#include "world/StadiumRecord.h"

#include <QFile>
#include <QFileInfo>
#include <QtTest>

#include <memory>

using namespace kx3;
using kx3::test::le16;
using kx3::test::le32;
using kx3::test::le64;

namespace {

ClubValues sampleClub()
{
    ClubValues v;
    v.longName = "Harbour Town Athletic";
    v.shortName = "Harbour Town";
    v.nation = 2;
    v.division = 1;
    v.lastDivision = -2;
    v.lastPosition = 7;
    v.otherDivision = 0;
    v.status = 2;
    v.cash = -125000;
    v.mainStadium = 3;
    v.ownStadium = true;
    v.reserveStadium = -2;
    v.homeMatchDay = 5;
    v.averageAttendance = 12000;
    v.minimumAttendance = 6000;
    v.maximumAttendance = 18000;
    v.trainingFacility = 14;
    v.reputation = 7 * 500;
    v.plc = true;
    v.kitColours = {4, -2, 1, 2, 24, 0};
    return v;
}

/// The 581 bytes a sample club must be stored as, put together field by field.
QByteArray expectedClubBytes(int index)
{
    QByteArray longName("Harbour Town Athletic");
    longName.append(QByteArray(51 - longName.size(), '\0')).append('\xFF');
    QByteArray shortName("Harbour Town");
    shortName.append(QByteArray(26 - shortName.size(), '\0')).append('\xFF');
    QByteArray b = le32(std::uint32_t(index)) + longName + shortName;
    b += le32(2) + le32(1) + le32(std::uint32_t(-2)) + QByteArray(1, 7) + le32(0) +
         QByteArray(1, 2) + le32(std::uint32_t(-125000)) + le32(3) + QByteArray(1, '\xFF') +
         le32(std::uint32_t(-2)) + QByteArray(1, 5) + le32(12000) + le32(6000) + le32(18000) +
         QByteArray(1, 14) + le16(3500) + QByteArray(1, '\xFF');
    for (std::int32_t colour : {4, -2, 1, 2, 24, 0})
        b += le32(std::uint32_t(colour));
    for (int i = 0; i < 9 + 71 + 26; ++i)
        b += le32(std::uint32_t(-1));
    return b + le16(255);
}

QByteArray tableOfContents(const test::TestInstallation &install)
{
    QFile file(install.filePath(DataFile::Index));
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

std::int32_t tocValue(const QByteArray &toc, int position)
{
    return DataImage(toc).i32(position);
}

} // namespace

class tst_CreateRecords : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void initTestCase();
    void insertClubWritesEveryByte();
    void insertClubShiftsEveryNationalTeamReference();
    void insertClubMovesCompetitionHistoryTeams_data();
    void insertClubMovesCompetitionHistoryTeams();
    void insertClubBehindPartialClubRecord();
    void appendCity();
    void appendStadiumHasNoNearbyStadium();
    void appendOfficialResolvesNames();
    void appendsGoBehindWholeRecords_data();
    void appendsGoBehindWholeRecords();
    void savedTableOfContents();

private:
    std::unique_ptr<test::TestInstallation> mInstall;
};

void tst_CreateRecords::initTestCase()
{
    mInstall = std::make_unique<test::TestInstallation>();
    QVERIFY(mInstall->isValid());
}

void tst_CreateRecords::insertClubWritesEveryByte()
{
    Database db;
    QVERIFY(mInstall->loadInto(db));
    Lookups lookups;
    lookups.build(db);
    const int clubs = db.clubCount();
    const int teams = clubTotal(db) - clubs;
    const QByteArray nationalTeams = db.clubs().bytes().mid(qsizetype(clubs) * 581);
    const qsizetype natClubSize = db.image(DataFile::NatClub).size();

    QCOMPARE(insertClub(db, lookups.clubNames(), sampleClub()), clubs);

    QCOMPARE(db.clubCount(), clubs + 1);
    QCOMPARE(clubTotal(db), clubs + 1 + teams);
    QCOMPARE(db.image(DataFile::Club).size(), qsizetype(clubs + 1) * 581);
    QCOMPARE(db.image(DataFile::NatClub).size(), natClubSize);
    QCOMPARE(db.clubs().read(qsizetype(clubs) * 581, 581), expectedClubBytes(clubs));
    // The national teams moved up whole; only their ids changed.
    for (int k = 0; k < teams; ++k) {
        const qsizetype at = qsizetype(clubs + 1 + k) * 581;
        QCOMPARE(club(db, clubs + 1 + k)->id(), clubs + 1 + k);
        QCOMPARE(db.clubs().read(at + 4, 577), nationalTeams.mid(qsizetype(k) * 581 + 4, 577));
    }
    QCOMPARE(lookups.clubNames().size(), clubs + 1);
    QCOMPARE(lookups.clubNames().get(clubs), QByteArray("Harbour Town"));
    int ofNation = 0;
    for (int c = 0; c < db.clubCount(); ++c)
        ofNation += club(db, c)->nation() == 2 ? 1 : 0;
    QCOMPARE(nation(db, 2)->clubCount(), ofNation);
    QVERIFY(db.isModified());
    IntegrityOptions all;
    all.counts = true;
    KX3_VERIFY_SOUND(db, lookups, all);
}

void tst_CreateRecords::insertClubShiftsEveryNationalTeamReference()
{
    Database db;
    QVERIFY(mInstall->loadInto(db));
    Lookups lookups;
    lookups.build(db);
    const int c = db.clubCount();
    const int last = clubTotal(db) - 1;
    // References to national teams wherever a club index may stand move up;
    // references to clubs stay.
    PersonRecord a = *person(db, 5);
    PersonRecord b = *person(db, 6);
    a.setRelationship(PersonRelationship::FavouriteClubs, c);
    a.setRelationship(PersonRelationship::DislikedClubs + 2, last);
    b.setRelationship(PersonRelationship::FavouriteClubs, c - 1);
    club(db, 0)->setRelationship(ClubRelationship::RivalClubs, c);
    club(db, c + 2)->setRelationship(ClubRelationship::RivalClubs + 1, c - 1);
    historyRecord(db, 0)->setClub(c);
    historyRecord(db, 1)->setClub(c - 1);
    historyRecord(db, 2)->setClub(UnmatchedHistoryClub);
    // A manager employed by a national team, in its manager slot.
    const int manager = club(db, 0)->positionSlot(ClubSlots::Manager.first);
    QVERIFY(manager >= 0);
    club(db, 0)->setPositionSlot(ClubSlots::Manager.first, -1);
    club(db, c + 1)->setPositionSlot(ClubSlots::Manager.first, manager);
    person(db, manager)->setClub(c + 1);
    KX3_VERIFY_SOUND(db, lookups);
    std::vector<std::int32_t> teams;
    std::vector<std::int32_t> clubsOf;
    for (int i = 0; i < personCount(db); ++i) {
        teams.push_back(person(db, i)->nationalTeam());
        clubsOf.push_back(person(db, i)->club());
    }

    insertClub(db, lookups.clubNames(), ClubValues{});

    QCOMPARE(a.relationship(PersonRelationship::FavouriteClubs), c + 1);
    QCOMPARE(a.relationship(PersonRelationship::DislikedClubs + 2), last + 1);
    QCOMPARE(b.relationship(PersonRelationship::FavouriteClubs), c - 1);
    QCOMPARE(club(db, 0)->relationship(ClubRelationship::RivalClubs), c + 1);
    QCOMPARE(club(db, c + 3)->relationship(ClubRelationship::RivalClubs + 1), c - 1);
    QCOMPARE(historyRecord(db, 0)->club(), c + 1);
    QCOMPARE(historyRecord(db, 1)->club(), c - 1);
    QCOMPARE(historyRecord(db, 2)->club(), UnmatchedHistoryClub);
    int onDuty = 0;
    for (int i = 0; i < personCount(db); ++i) {
        const std::int32_t team = teams[std::size_t(i)];
        QCOMPARE(person(db, i)->nationalTeam(), team >= c ? team + 1 : team);
        const std::int32_t was = clubsOf[std::size_t(i)];
        QCOMPARE(person(db, i)->club(), was >= c ? was + 1 : was);
        onDuty += team >= c ? 1 : 0;
    }
    QVERIFY(onDuty > 0);
    QCOMPARE(person(db, manager)->club(), c + 2);
    QCOMPARE(club(db, c + 2)->positionSlot(ClubSlots::Manager.first), manager);
    // The new club's defaults.
    ClubRecord created = *club(db, c);
    QCOMPARE(created.nation(), -1);
    QCOMPARE(created.status(), 1);
    QCOMPARE(created.homeMatchDay(), 255);
    QCOMPARE(created.longName(), QByteArray("<long name>"));
    QCOMPARE(lookups.clubNames().get(c), QByteArray("<short name>"));
    KX3_VERIFY_SOUND(db, lookups);
}

void tst_CreateRecords::insertClubMovesCompetitionHistoryTeams_data()
{
    QTest::addColumn<std::int32_t>("before");
    QTest::addColumn<std::int32_t>("after");
    // 240 clubs and 40 nations: national teams are 240..319.
    QTest::newRow("0, kept for no team") << 0 << 0;
    QTest::newRow("-1, none") << -1 << -1;
    QTest::newRow("250, a national team") << 250 << 251;
    QTest::newRow("300, an under-21 team") << 300 << 301;
    QTest::newRow("240, the first national team") << 240 << 241;
    QTest::newRow("239, a club, which does not move") << 239 << 239;
}

void tst_CreateRecords::insertClubMovesCompetitionHistoryTeams()
{
    QFETCH(std::int32_t, before);
    QFETCH(std::int32_t, after);
    BuilderOptions options;
    options.clubs = 240;
    options.nations = 40;
    const test::TestInstallation install(options);
    Database db;
    QVERIFY(install.loadInto(db));
    Lookups lookups;
    lookups.build(db);
    QCOMPARE(db.clubCount(), 240);
    QCOMPARE(clubTotal(db), 320);
    NationCompHistoryRecord record = *nationCompHistory(db, 1);
    const QByteArray leading = record.leadingBytes();
    const std::int32_t others[] = {record.team(0), record.team(2), record.team(3)};
    record.setTeam(1, before);

    insertClub(db, lookups.clubNames(), ClubValues{});

    QCOMPARE(record.team(1), after);
    QCOMPARE(record.leadingBytes(), leading);
    const std::int32_t moved[] = {record.team(0), record.team(2), record.team(3)};
    for (int t = 0; t < 3; ++t)
        QCOMPARE(moved[t], others[t] >= 240 ? others[t] + 1 : others[t]);
    if (before <= 0 || before >= 240)
        KX3_VERIFY_SOUND(db, lookups);
}

void tst_CreateRecords::insertClubBehindPartialClubRecord()
{
    // Stray bytes behind club.Dat's last whole record stay behind the new club,
    // so that the new club lies where its index says.
    Database db;
    QVERIFY(mInstall->loadInto(db));
    const QByteArray stray("\x11\x22\x33", 3);
    const int c = db.clubCount();
    const qsizetype split = db.image(DataFile::Club).size();
    db.image(DataFile::Club).append(stray);
    db.clubs().insert(split, stray);
    ClubNameList names = ClubNameList::fromDatabase(db);

    QCOMPARE(insertClub(db, names, sampleClub()), c);

    QCOMPARE(db.image(DataFile::Club).size(), qsizetype(c + 1) * 581 + 3);
    QCOMPARE(db.clubs().read(qsizetype(c) * 581, 581), expectedClubBytes(c));
    QCOMPARE(db.image(DataFile::Club).read(qsizetype(c) * 581, 581), expectedClubBytes(c));
    QVERIFY(db.image(DataFile::Club).bytes().endsWith(stray));
}

void tst_CreateRecords::appendCity()
{
    Database db;
    QVERIFY(mInstall->loadInto(db));
    Lookups lookups;
    lookups.build(db);
    const int count = cityCount(db);
    CityValues values;
    values.name = "Port Ellery";
    values.nation = 1;
    values.latitude = 51.5;
    values.longitude = -0.1275;
    values.attraction = 300; // a typed number keeps its low 8 bits
    values.climate = 6;

    QCOMPARE(kx3::appendCity(db, lookups.cities(), values), count);

    QByteArray name("Port Ellery");
    name.append(QByteArray(26 - name.size(), '\0')).append('\xFF');
    const QByteArray expected = le32(std::uint32_t(count)) + name + le32(1) + le64(51.5) +
                                le64(-0.1275) + QByteArray(1, char(300 & 0xFF)) + le32(6);
    QCOMPARE(db.image(DataFile::City).size(), qsizetype(count + 1) * 56);
    QCOMPARE(db.image(DataFile::City).read(qsizetype(count) * 56, 56), expected);
    const int position = PickListPosition(lookups.cities(), count);
    QVERIFY(position >= 0);
    QCOMPARE(lookups.cities().nameAt(position), QByteArray("Port Ellery"));
    QVERIFY(db.isModified());
    KX3_VERIFY_SOUND(db, lookups);
}

void tst_CreateRecords::appendStadiumHasNoNearbyStadium()
{
    Database db;
    QVERIFY(mInstall->loadInto(db));
    Lookups lookups;
    lookups.build(db);
    const int count = stadiumCount(db);
    StadiumValues values;
    values.name = "Ellery Road";
    values.city = 2;
    values.capacity = 30000;
    values.seating = 35000;
    values.expansion = 0;
    values.nearby = 1;
    values.retractableRoof = true;

    QCOMPARE(appendStadium(db, lookups.stadiums(), values), count);

    QByteArray name("Ellery Road");
    name.append(QByteArray(51 - name.size(), '\0')).append('\xFF');
    const QByteArray expected = le32(std::uint32_t(count)) + name + le32(2) + le32(30000) +
                                le32(35000) + le32(0) + le32(std::uint32_t(-2)) +
                                QByteArray(1, '\xFF') + QByteArray(1, '\0');
    QCOMPARE(db.image(DataFile::Stadium).read(qsizetype(count) * 78, 78), expected);
    QCOMPARE(db.image(DataFile::Stadium).size(), qsizetype(count + 1) * 78);
    QCOMPARE(lookups.stadiums().size(), count + 1);
    QVERIFY(PickListPosition(lookups.stadiums(), count) >= 0);
    KX3_VERIFY_SOUND(db, lookups);
}

void tst_CreateRecords::appendOfficialResolvesNames()
{
    Database db;
    QVERIFY(mInstall->loadInto(db));
    // A first name already kept for the nation, and a surname nobody has yet.
    const std::int32_t n = person(db, 5)->nationality();
    QVERIFY(n >= 0);
    FindOrAddName(db, NameTable::First, n, "Ren\xE9", NameTarget::person(5));
    const int existing = FindName(db, NameTable::First, n, "Ren\xE9");
    const int uses = nameEntry(db.image(DataFile::FirstNames), existing)->usageCount();
    const int secondNames = nameCount(db, NameTable::Second);
    const int count = officialCount(db);
    OfficialValues values;
    values.firstName = "Ren\xE9";
    values.secondName = "Quillfeather";
    values.dateOfBirth = encodeRecordDate(29, 2, 1960);
    values.nation = n;
    values.city = 4;
    values.currentAbility = 150;
    values.potentialAbility = -2;
    values.currentReputation = 90;
    values.ratings = {1, 2, 3, 4, 5, 6, 7};

    QCOMPARE(appendOfficial(db, values), count);

    QCOMPARE(db.image(DataFile::Officials).size(), qsizetype(count + 1) * 43);
    OfficialRecord o = *official(db, count);
    QCOMPARE(o.firstName(), existing);
    QCOMPARE(nameEntry(db.image(DataFile::FirstNames), existing)->usageCount(), uses + 1);
    QCOMPARE(o.secondName(), secondNames);
    QCOMPARE(SecondNameText(db, o.secondName()), QByteArray("Quillfeather"));
    QCOMPARE(nameEntry(db.image(DataFile::SecondNames), secondNames)->nationKey(), n);
    QCOMPARE(nameEntry(db.image(DataFile::SecondNames), secondNames)->usageCount(), 1);
    const QByteArray expected = le32(std::uint32_t(count)) + le32(std::uint32_t(existing)) +
                                le32(std::uint32_t(secondNames)) + le16(59) + le16(1960) +
                                le32(1) + le16(0) + le32(std::uint32_t(n)) + le32(4) + le16(150) +
                                le16(std::uint16_t(-2)) + le16(90) +
                                QByteArray("\x01\x02\x03\x04\x05\x06\x07");
    QCOMPARE(db.image(DataFile::Officials).read(qsizetype(count) * 43, 43), expected);
    IntegrityOptions all;
    all.counts = true;
    KX3_VERIFY_SOUND(db, all);
}

void tst_CreateRecords::appendsGoBehindWholeRecords_data()
{
    QTest::addColumn<int>("kind");
    QTest::newRow("city") << int(DataFile::City);
    QTest::newRow("stadium") << int(DataFile::Stadium);
    QTest::newRow("official") << int(DataFile::Officials);
}

void tst_CreateRecords::appendsGoBehindWholeRecords()
{
    // A file with stray bytes behind its last whole record gets the new record
    // where its index says; the stray bytes stay last.
    QFETCH(int, kind);
    const auto file = DataFile(kind);
    Database db;
    QVERIFY(mInstall->loadInto(db));
    Lookups lookups;
    lookups.build(db);
    const QByteArray stray("\xAA\xBB\xCC\xDD\xEE", 5);
    DataImage &image = db.image(file);
    const qsizetype whole = image.size();
    image.append(stray);

    int index = -1;
    int size = 0;
    if (file == DataFile::City) {
        index = kx3::appendCity(db, lookups.cities(), CityValues{});
        size = RecordSize::City;
        QCOMPARE(city(db, index)->name(), QByteArray("<city name>"));
    } else if (file == DataFile::Stadium) {
        index = appendStadium(db, lookups.stadiums(), StadiumValues{});
        size = RecordSize::Stadium;
        QCOMPARE(stadium(db, index)->name(), QByteArray("<stadium name>"));
    } else {
        index = appendOfficial(db, OfficialValues{});
        size = RecordSize::Official;
        QCOMPARE(FirstNameText(db, official(db, index)->firstName()), QByteArray("<first name>"));
    }
    QCOMPARE(qsizetype(index) * size, whole);
    QCOMPARE(image.size(), whole + size + stray.size());
    QCOMPARE(image.read(whole + size, stray.size()), stray);
    QCOMPARE(image.i32(whole), index);
    KX3_VERIFY_SOUND(db, lookups);
}

void tst_CreateRecords::savedTableOfContents()
{
    // Each creation reaches index.dat at the next save; a reload finds them.
    const test::TestInstallation install;
    Database db;
    QVERIFY(install.loadInto(db));
    Lookups lookups;
    lookups.build(db);
    const QByteArray before = tableOfContents(install);
    const int clubs = db.clubCount();
    const qsizetype natClub = db.image(DataFile::NatClub).size();
    insertClub(db, lookups.clubNames(), sampleClub());
    kx3::appendCity(db, lookups.cities(), CityValues{});
    kx3::appendCity(db, lookups.cities(), CityValues{});
    appendStadium(db, lookups.stadiums(), StadiumValues{});
    appendOfficial(db, OfficialValues{});
    const QStringList sound = checkIntegrity(db, lookups);
    QVERIFY2(sound.isEmpty(), qPrintable(sound.join(QLatin1Char('\n'))));
    QVERIFY(db.save());

    const QByteArray toc = tableOfContents(install);
    QCOMPARE(toc.size(), before.size());
    QCOMPARE(tocValue(toc, Toc::ClubCount), clubs + 1);
    QCOMPARE(tocValue(toc, Toc::CityCount), tocValue(before, Toc::CityCount) + 2);
    QCOMPARE(tocValue(toc, Toc::StadiumCount), tocValue(before, Toc::StadiumCount) + 1);
    QCOMPARE(tocValue(toc, Toc::OfficialCount), tocValue(before, Toc::OfficialCount) + 1);
    QCOMPARE(tocValue(toc, Toc::PersonCount), tocValue(before, Toc::PersonCount));
    QCOMPARE(QFileInfo(install.filePath(DataFile::Club)).size(), qint64(clubs + 1) * 581);
    QCOMPARE(QFileInfo(install.filePath(DataFile::NatClub)).size(), qint64(natClub));

    Database reloaded;
    QVERIFY(install.loadInto(reloaded));
    Lookups again;
    again.build(reloaded);
    IntegrityOptions all;
    all.counts = true;
    KX3_VERIFY_SOUND(reloaded, again, all);
    QCOMPARE(again.clubNames().get(clubs), QByteArray("Harbour Town"));
    QCOMPARE(reloaded.clubs().read(qsizetype(clubs) * 581, 581), expectedClubBytes(clubs));
}

QTEST_GUILESS_MAIN(tst_CreateRecords)
#include "tst_CreateRecords.moc"
