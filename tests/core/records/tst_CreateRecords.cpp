#include "RecordsTestSupport.h"
#include "TestDatabase.h"

#include "core/db/Database.h"
#include "core/layout/CityRecord.h"
#include "core/layout/ClubRecord.h"
#include "core/layout/HistoryRecord.h"
#include "core/layout/NameEntry.h"
#include "core/layout/NationCompHistoryRecord.h"
#include "core/layout/NationRecord.h"
#include "core/layout/OfficialRecord.h"
#include "core/layout/PersonRecord.h"
#include "core/layout/StadiumRecord.h"
#include "core/lookup/Lookups.h"
#include "core/lookup/NameTables.h"
#include "core/records/CreateRecords.h"

#include <QFile>
#include <QFileInfo>
#include <QtTest>

#include <limits>

#include <memory>

using namespace kx3;
using kx3::test::le16;
using kx3::test::le32;
using kx3::test::le64;

namespace {

/// Not a whole record: a record placed by the file size would be misaligned.
const QByteArray Stray("\xAA\xBB\xCC\xDD\xEE", 5);

ClubValues sampleClub()
{
    return {.longName = "Harbour Town Athletic",
            .shortName = "Harbour Town",
            .nation = 2,
            .division = 1,
            .lastDivision = -2,
            .lastPosition = 7,
            .otherDivision = 0,
            .status = 2,
            .cash = -125000,
            .mainStadium = 3,
            .ownStadium = true,
            .reserveStadium = -2,
            .homeMatchDay = 5,
            .averageAttendance = 12000,
            .minimumAttendance = 6000,
            .maximumAttendance = 18000,
            .trainingFacility = 14,
            .reputation = 7 * 500,
            .plc = true,
            .kitColours = {4, -2, 1, 2, 24, 0}};
}

/// A text field as stored: zero-padded to `capacity`, then an 0xFF byte.
QByteArray text(const QByteArray &value, int capacity)
{
    return value + QByteArray(capacity - value.size(), '\0') + '\xFF';
}

/// The 581 bytes a sample club must be stored as, put together field by field.
QByteArray expectedClubBytes(int index)
{
    QByteArray b =
        le32(std::uint32_t(index)) + text("Harbour Town Athletic", 51) + text("Harbour Town", 26);
    b += le32(2) + le32(1) + le32(std::uint32_t(-2)) + QByteArray(1, 7) + le32(0)
         + QByteArray(1, 2) + le32(std::uint32_t(-125000)) + le32(3) + QByteArray(1, '\xFF')
         + le32(std::uint32_t(-2)) + QByteArray(1, 5) + le32(12000) + le32(6000) + le32(18000)
         + QByteArray(1, 14) + le16(3500) + QByteArray(1, '\xFF');
    for (std::int32_t colour : {4, -2, 1, 2, 24, 0})
        b += le32(std::uint32_t(colour));
    return b + le32(std::uint32_t(-1)).repeated(9 + 71 + 26) + le16(255);
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
    void insertClubWritesAndRenumbers();
    void insertClubMovesCompetitionHistoryTeams_data();
    void insertClubMovesCompetitionHistoryTeams();
    void insertClubBehindPartialClubRecord();
    void insertClubKeepsTheLargestIndex();
    void appendsThenSave();

private:
    std::unique_ptr<test::TestInstallation> mInstall;
};

void tst_CreateRecords::initTestCase()
{
    mInstall = std::make_unique<test::TestInstallation>();
    QVERIFY(mInstall->isValid());
}

void tst_CreateRecords::insertClubWritesAndRenumbers()
{
    Database db;
    QVERIFY(mInstall->loadInto(db));
    Lookups lookups;
    lookups.build(db);
    const int c = db.clubCount();
    const int teams = clubTotal(db) - c;
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
    std::vector<std::int32_t> teamOf;
    std::vector<std::int32_t> clubOf;
    for (int i = 0; i < personCount(db); ++i) {
        teamOf.push_back(person(db, i)->nationalTeam());
        clubOf.push_back(person(db, i)->club());
    }
    const QByteArray nationalTeams = db.clubs().bytes().mid(qsizetype(c) * 581);
    const qsizetype natClubSize = db.image(DataFile::NatClub).size();

    QCOMPARE(kx3::insertClub(db, lookups.clubNames(), sampleClub()), c);

    QCOMPARE(db.clubCount(), c + 1);
    QCOMPARE(clubTotal(db), c + 1 + teams);
    QCOMPARE(db.image(DataFile::Club).size(), qsizetype(c + 1) * 581);
    QCOMPARE(db.image(DataFile::NatClub).size(), natClubSize);
    QCOMPARE(db.clubs().read(qsizetype(c) * 581, 581), expectedClubBytes(c));
    // The national teams moved up whole; only their ids changed.
    for (int k = 0; k < teams; ++k) {
        QCOMPARE(club(db, c + 1 + k)->id(), c + 1 + k);
        QCOMPARE(db.clubs().read(qsizetype(c + 1 + k) * 581 + 4, 577),
                 nationalTeams.mid(qsizetype(k) * 581 + 4, 577));
    }
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
        const std::int32_t team = teamOf[std::size_t(i)];
        const std::int32_t was = clubOf[std::size_t(i)];
        QCOMPARE(person(db, i)->nationalTeam(), team >= c ? team + 1 : team);
        QCOMPARE(person(db, i)->club(), was >= c ? was + 1 : was);
        onDuty += team >= c ? 1 : 0;
    }
    QVERIFY(onDuty > 0);
    QCOMPARE(person(db, manager)->club(), c + 2);
    QCOMPARE(lookups.clubNames().size(), c + 1);
    QCOMPARE(lookups.clubNames().get(c), QByteArray("Harbour Town"));
    int ofNation = 0;
    for (int k = 0; k < db.clubCount(); ++k)
        ofNation += club(db, k)->nation() == 2 ? 1 : 0;
    QCOMPARE(nation(db, 2)->clubCount(), ofNation);
    QVERIFY(db.isModified());
    IntegrityOptions all;
    all.counts = true;
    KX3_VERIFY_SOUND(db, lookups, all);
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

// A damaged file may hold the largest index, which names no record: it stays
// (moving it up would overflow).
void tst_CreateRecords::insertClubKeepsTheLargestIndex()
{
    Database db;
    QVERIFY(mInstall->loadInto(db));
    Lookups lookups;
    lookups.build(db);
    constexpr std::int32_t Largest = std::numeric_limits<std::int32_t>::max();
    person(db, 1)->setClub(Largest);
    club(db, 0)->setRelationship(ClubRelationship::RivalClubs, Largest);
    historyRecord(db, 0)->setClub(Largest);
    insertClub(db, lookups.clubNames(), ClubValues{});
    QCOMPARE(person(db, 1)->club(), Largest);
    QCOMPARE(club(db, 0)->relationship(ClubRelationship::RivalClubs), Largest);
    QCOMPARE(historyRecord(db, 0)->club(), Largest);
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

void tst_CreateRecords::appendsThenSave()
{
    // Each record goes behind the last whole record of its file (stray bytes stay
    // last) and reaches index.dat at the next save; a reload finds them.
    const test::TestInstallation install;
    Database db;
    QVERIFY(install.loadInto(db));
    Lookups lookups;
    lookups.build(db);
    const QByteArray before = tableOfContents(install);
    for (DataFile f : {DataFile::City, DataFile::Stadium, DataFile::Officials})
        db.image(f).append(Stray);
    const int clubs = db.clubCount();
    const int cities = cityCount(db);
    const int stadiums = stadiumCount(db);
    const int officials = officialCount(db);
    const qsizetype natClub = db.image(DataFile::NatClub).size();

    // A typed attraction keeps its low 8 bits.
    const CityValues city{.name = "Port Ellery",
                          .nation = 1,
                          .latitude = 51.5,
                          .longitude = -0.1275,
                          .attraction = 300,
                          .climate = 6};
    QCOMPARE(kx3::appendCity(db, lookups.cities(), city), cities);
    QCOMPARE(db.image(DataFile::City).bytes().mid(qsizetype(cities) * 56),
             le32(std::uint32_t(cities)) + text("Port Ellery", 26) + le32(1) + le64(51.5)
                 + le64(-0.1275) + QByteArray(1, char(300 & 0xFF)) + le32(6) + Stray);
    const int position = PickListPosition(lookups.cities(), cities);
    QVERIFY(position >= 0);
    QCOMPARE(lookups.cities().nameAt(position), QByteArray("Port Ellery"));

    // A new stadium has no nearby stadium yet.
    const StadiumValues stadium{.name = "Ellery Road",
                                .city = 2,
                                .capacity = 30000,
                                .seating = 35000,
                                .expansion = 0,
                                .nearby = 1,
                                .retractableRoof = true};
    QCOMPARE(appendStadium(db, lookups.stadiums(), stadium), stadiums);
    QCOMPARE(db.image(DataFile::Stadium).bytes().mid(qsizetype(stadiums) * 78),
             le32(std::uint32_t(stadiums)) + text("Ellery Road", 51) + le32(2) + le32(30000)
                 + le32(35000) + le32(0) + le32(std::uint32_t(-2)) + QByteArray(1, '\xFF')
                 + QByteArray(1, '\0') + Stray);
    QCOMPARE(lookups.stadiums().size(), stadiums + 1);
    QVERIFY(PickListPosition(lookups.stadiums(), stadiums) >= 0);

    // An official's first name already kept for his nation, and a surname nobody has yet.
    const std::int32_t n = person(db, 5)->nationality();
    QVERIFY(n >= 0);
    FindOrAddName(db, NameTable::First, n, "Ren\xE9", NameTarget::person(5));
    const int existing = FindName(db, NameTable::First, n, "Ren\xE9");
    const int uses = nameEntry(db.image(DataFile::FirstNames), existing)->usageCount();
    const int surname = nameCount(db, NameTable::Second);
    const OfficialValues official{.firstName = "Ren\xE9",
                                  .secondName = "Quillfeather",
                                  .dateOfBirth = encodeRecordDate(29, 2, 1960),
                                  .nation = n,
                                  .city = 4,
                                  .currentAbility = 150,
                                  .potentialAbility = -2,
                                  .currentReputation = 90,
                                  .ratings = {1, 2, 3, 4, 5, 6, 7}};
    QCOMPARE(appendOfficial(db, official), officials);
    QCOMPARE(nameEntry(db.image(DataFile::FirstNames), existing)->usageCount(), uses + 1);
    QCOMPARE(SecondNameText(db, surname), QByteArray("Quillfeather"));
    QCOMPARE(nameEntry(db.image(DataFile::SecondNames), surname)->nationKey(), n);
    QCOMPARE(nameEntry(db.image(DataFile::SecondNames), surname)->usageCount(), 1);
    QCOMPARE(db.image(DataFile::Officials).bytes().mid(qsizetype(officials) * 43),
             le32(std::uint32_t(officials)) + le32(std::uint32_t(existing))
                 + le32(std::uint32_t(surname)) + le16(59) + le16(1960) + le32(1) + le16(0)
                 + le32(std::uint32_t(n)) + le32(4) + le16(150) + le16(std::uint16_t(-2))
                 + le16(90) + QByteArray("\x01\x02\x03\x04\x05\x06\x07") + Stray);

    kx3::insertClub(db, lookups.clubNames(), sampleClub());
    QVERIFY(db.isModified());
    IntegrityOptions all;
    all.counts = true;
    KX3_VERIFY_SOUND(db, lookups, all);
    QVERIFY(db.save());

    const QByteArray toc = tableOfContents(install);
    QCOMPARE(toc.size(), before.size());
    QCOMPARE(tocValue(toc, Toc::ClubCount), clubs + 1);
    QCOMPARE(tocValue(toc, Toc::CityCount), cities + 1);
    QCOMPARE(tocValue(toc, Toc::StadiumCount), stadiums + 1);
    QCOMPARE(tocValue(toc, Toc::OfficialCount), officials + 1);
    QCOMPARE(tocValue(toc, Toc::PersonCount), tocValue(before, Toc::PersonCount));
    QCOMPARE(QFileInfo(install.filePath(DataFile::Club)).size(), qint64(clubs + 1) * 581);
    QCOMPARE(QFileInfo(install.filePath(DataFile::NatClub)).size(), qint64(natClub));

    Database reloaded;
    QVERIFY(install.loadInto(reloaded));
    Lookups again;
    again.build(reloaded);
    KX3_VERIFY_SOUND(reloaded, again, all);
    QCOMPARE(again.clubNames().get(clubs), QByteArray("Harbour Town"));
    QCOMPARE(reloaded.clubs().read(qsizetype(clubs) * 581, 581), expectedClubBytes(clubs));
}

QTEST_GUILESS_MAIN(tst_CreateRecords)
#include "tst_CreateRecords.moc"
