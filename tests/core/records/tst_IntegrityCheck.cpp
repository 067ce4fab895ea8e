#include "RecordsTestSupport.h"
#include "TestDatabase.h"

#include "clubs/ClubRecord.h"
#include "clubs/HistoryRecord.h"
#include "db/Database.h"
#include "db/Lookups.h"
#include "db/NameEntry.h"
#include "db/NameTables.h"
#include "nations/NationRecord.h"
#include "people/CodeLists.h"
#include "people/PersonRecord.h"
#include "people/PlayerAttributes.h"
#include "people/StaffAttributes.h"
#include "records/IntegrityCheck.h"
#include "world/CityRecord.h"
#include "world/CompetitionRecord.h"
#include "world/NationCompHistoryRecord.h"
#include "world/OfficialRecord.h"
#include "world/StadiumRecord.h"

#include <QRegularExpression>
#include <QtTest>

#include <memory>

using namespace kx3;
using kx3::test::findPerson;
using kx3::test::findSlot;

namespace {

int total(const Database &db)
{
    return clubTotal(db);
}

/// A person employed at a club with exactly job `job`.
int employed(Database &db, int job)
{
    return findPerson(db,
                      [job](const PersonRecord &p) { return p.club() >= 0 && p.job() == job; });
}

/// A person on national duty as manager of his national team.
int nationalManager(Database &db)
{
    return findPerson(db, [](const PersonRecord &p) {
        return p.nationalTeam() >= 0 && p.nationalJob() == Job::Manager;
    });
}

struct Fault
{
    const char *name;
    const char *expected; ///< pattern one of the problems must match
    void (*seed)(Database &, Lookups &);
    bool counts = false;
};

// Each fault is one thing an operation could get wrong, put into a sound database.
const Fault Faults[] = {
    {"person id", "staff.dat persons: record 3 has id 99",
     [](Database &db, Lookups &) { person(db, 3)->setId(99); }},
    {"staff attribute id", "staff attributes: record 0 has id 5",
     [](Database &db, Lookups &) { staffAttributes(db, 0)->setId(5); }},
    {"player attribute id", "player attributes: record 1 has id 0",
     [](Database &db, Lookups &) { playerAttributes(db, 1)->setId(0); }},
    {"national team id", "club image: record \\d+ has id 0",
     [](Database &db, Lookups &) { club(db, db.clubCount())->setId(0); }},
    {"city id", "city.dat: record 2 has id 3",
     [](Database &db, Lookups &) { city(db, 2)->setId(3); }},
    {"stadium id", "stadium.dat: record 1 has id 0",
     [](Database &db, Lookups &) { stadium(db, 1)->setId(0); }},
    {"official id", "officials.dat: record 0 has id -1",
     [](Database &db, Lookups &) { official(db, 0)->setId(-1); }},
    {"history id", "staff_history.dat: record 4 has id 5",
     [](Database &db, Lookups &) { historyRecord(db, 4)->setId(5); }},
    {"competition id", "club_comp.dat: record 1 has id 7",
     [](Database &db, Lookups &) { competition(db, 1)->setId(7); }},
    {"name entry id", "second_names.dat: record 2 has id 9",
     [](Database &db, Lookups &) { nameEntry(db.image(DataFile::SecondNames), 2)->setId(9); }},
    {"staff attribute offset", "OS is",
     [](Database &db, Lookups &) { db.counters().staffOffset += RecordSize::Person; }},
    {"player attribute offset", "OP is",
     [](Database &db, Lookups &) { db.counters().playerOffset -= 1; }},
    {"tables past the file", "the tables end at",
     [](Database &db, Lookups &) { db.counters().playerAttributes += 1; }},
    {"partial club record", "club.Dat: \\d+ bytes is not a whole number",
     [](Database &db, Lookups &) {
         const qsizetype at = db.image(DataFile::Club).size();
         db.image(DataFile::Club).append(QByteArray(10, '\0'));
         db.clubs().insert(at, QByteArray(10, '\0'));
     }},
    {"combined image size", "club image: \\d+ bytes, club.Dat and nat_club.Dat hold",
     [](Database &db, Lookups &) { db.image(DataFile::NatClub).append(QByteArray(581, 0)); }},
    {"name index", "person 5: second name \\d+ is not in",
     [](Database &db, Lookups &) {
         person(db, 5)->setSecondName(nameCount(db, NameTable::Second));
     }},
    {"nationality", "person 6: nationality \\d+ is neither none",
     [](Database &db, Lookups &) { person(db, 6)->setNationality(nationCount(db)); }},
    {"national team is a club", "person 7: national team 0 is neither none",
     [](Database &db, Lookups &) { person(db, 7)->setNationalTeam(0); }},
    {"club beyond the image", "person 0: club \\d+ is neither none",
     [](Database &db, Lookups &) { person(db, 0)->setClub(total(db)); }},
    {"relationship person", "person 8: relationship person \\d+ is neither none",
     [](Database &db, Lookups &) { person(db, 8)->setRelationship(7, personCount(db)); }},
    {"relationship club", "person 8: relationship club \\d+ is neither none",
     [](Database &db, Lookups &) { person(db, 8)->setRelationship(2, total(db)); }},
    {"attribute index beyond the table", "person 3: player attribute record \\d+ is neither",
     [](Database &db, Lookups &) {
         person(db, 3)->setPlayerAttributes(db.counters().playerAttributes);
     }},
    {"attribute record shared", "player attribute record \\d+ also belongs to person 0",
     [](Database &db, Lookups &) {
         person(db, 3)->setPlayerAttributes(person(db, 0)->playerAttributes());
     }},
    {"classification without its record", "person 3: classification 4 needs a player",
     [](Database &db, Lookups &) { person(db, 3)->setPlayerAttributes(-1); }},
    {"attribute record without owner", "staff attribute record \\d+ belongs to no person",
     [](Database &db, Lookups &) {
         person(db, 2)->setClassification(Classification::Player);
         person(db, 2)->setStaffAttributes(-1);
     }},
    {"classification code", "person 4: classification 9 is not in",
     [](Database &db, Lookups &) { person(db, 4)->setClassification(9); }},
    {"job code", "person 0: job 17 is not in",
     [](Database &db, Lookups &) { person(db, 0)->setJob(17); }},
    {"slot person beyond the table", "club 0 slot \\d+: person \\d+ is not in",
     [](Database &db, Lookups &) {
         club(db, 0)->setPositionSlot(findSlot(db, 0, -1), personCount(db));
     }},
    {"slot of another club", "club 2 slot \\d+: holds person \\d+, whose club is 0",
     [](Database &db, Lookups &) {
         const int p = club(db, 0)->positionSlot(ClubSlots::Manager.first);
         club(db, 2)->setPositionSlot(findSlot(db, 2, -1, 56, 15), p);
     }},
    {"slot the job cannot take", "person \\d+ with job 11 cannot take it",
     [](Database &db, Lookups &) {
         const int p = employed(db, Job::Player);
         const int c = person(db, p)->club();
         club(db, c)->setPositionSlot(findSlot(db, c, p), -1);
         club(db, c)->setPositionSlot(findSlot(db, c, -1, 61, 10), p);
     }},
    {"two squad slots", "job 11 at club \\d+ fills 0 staff and 2 squad slots",
     [](Database &db, Lookups &) {
         const int p = employed(db, Job::Player);
         const int c = person(db, p)->club();
         club(db, c)->setPositionSlot(findSlot(db, c, -1, 6, 50), p);
     }},
    {"missing from his club", "job 12 at club \\d+ fills 1 staff and 0 squad slots",
     [](Database &db, Lookups &) {
         const int p = employed(db, Job::PlayerManager);
         const int c = person(db, p)->club();
         club(db, c)->setPositionSlot(findSlot(db, c, p, 6, 50), -1);
     }},
    {"club without a slot job", "has club \\d+, but job 16 takes no slot",
     [](Database &db, Lookups &) {
         const int p = findPerson(db, [](const PersonRecord &r) { return r.job() == 16; });
         person(db, p)->setClub(0);
     }},
    {"national team slot without duty", "slot 4: holds person \\d+, whose club is",
     [](Database &db, Lookups &) {
         const int p = employed(db, Job::Manager);
         club(db, db.clubCount())->setPositionSlot(4, p);
     }},
    {"national slot the national job cannot take", "slot 0: person \\d+ with national job 5",
     [](Database &db, Lookups &) {
         const int p = nationalManager(db);
         club(db, person(db, p)->nationalTeam())->setPositionSlot(0, p);
     }},
    {"club nation", "club 1: nation \\d+ is neither",
     [](Database &db, Lookups &) { club(db, 1)->setNation(nationCount(db)); }},
    {"club division", "club 1: other division \\d+ is neither",
     [](Database &db, Lookups &) { club(db, 1)->setOtherDivision(competitionCount(db)); }},
    {"club stadium", "club 2: reserve stadium \\d+ is neither",
     [](Database &db, Lookups &) { club(db, 2)->setReserveStadium(stadiumCount(db)); }},
    {"club kit colour", "club 3: kit colour 25 is neither",
     [](Database &db, Lookups &) { club(db, 3)->setKitColour(5, 25); }},
    {"rival club", "club 0: rival club \\d+ is neither",
     [](Database &db, Lookups &) { club(db, 0)->setRelationship(8, total(db)); }},
    {"club relationship person", "club 0: relationship person \\d+ is neither",
     [](Database &db, Lookups &) { club(db, 0)->setRelationship(1, personCount(db)); }},
    {"nation capital", "nation 1: capital city \\d+ is neither",
     [](Database &db, Lookups &) { nation(db, 1)->setCapitalCity(cityCount(db)); }},
    {"nation stadium", "nation 1: national stadium \\d+ is neither",
     [](Database &db, Lookups &) { nation(db, 1)->setNationalStadium(stadiumCount(db)); }},
    {"nation rival", "nation 2: rival \\d+ is neither",
     [](Database &db, Lookups &) { nation(db, 2)->setRival(0, nationCount(db)); }},
    {"city nation", "city 3: nation \\d+ is neither",
     [](Database &db, Lookups &) { city(db, 3)->setNation(nationCount(db)); }},
    {"city climate", "city 3: climate 31 is neither",
     [](Database &db, Lookups &) { city(db, 3)->setClimate(31); }},
    {"stadium city", "stadium 0: city \\d+ is neither",
     [](Database &db, Lookups &) { stadium(db, 0)->setCity(cityCount(db)); }},
    {"nearby stadium", "stadium 0: nearby stadium \\d+ is neither",
     [](Database &db, Lookups &) { stadium(db, 0)->setNearby(stadiumCount(db)); }},
    {"official name", "official 1: first name -1 is not in",
     [](Database &db, Lookups &) { official(db, 1)->setFirstName(-1); }},
    {"official city", "official 1: city \\d+ is neither",
     [](Database &db, Lookups &) { official(db, 1)->setCity(cityCount(db)); }},
    {"competition history names a club", "nation_comp_history.dat: record 0: national team 1",
     [](Database &db, Lookups &) { nationCompHistory(db, 0)->setTeam(2, 1); }},
    {"history person", "staff_history.dat: record 0: person \\d+ is not in",
     [](Database &db, Lookups &) { historyRecord(db, 0)->setPerson(personCount(db)); }},
    {"history of nobody", "staff_history.dat: record 1: person -1 is not in",
     [](Database &db, Lookups &) { historyRecord(db, 1)->setPerson(-1); }},
    {"history club", "staff_history.dat: record 2: club \\d+ is neither",
     [](Database &db, Lookups &) { historyRecord(db, 2)->setClub(total(db)); }},
    {"name nation key", "common_names.dat: entry 1: nation key -1",
     [](Database &db, Lookups &) {
         nameEntry(db.image(DataFile::CommonNames), 1)->setNationKey(-1);
     }},
    {"usage count too low", "first_names.dat: entry \\d+ counts 0 users",
     [](Database &db, Lookups &) {
         nameEntry(db.image(DataFile::FirstNames), person(db, 5)->firstName())->setUsageCount(0);
     },
     true},
    {"nation person count too low", "nation 0 counts 0 persons",
     [](Database &db, Lookups &) {
         person(db, 9)->setNationality(0);
         nation(db, 0)->setPersonCount(0);
     },
     true},
    {"club name list too short", "club name list: \\d+ names for \\d+ clubs",
     [](Database &, Lookups &lookups) {
         QList<QByteArray> names = lookups.clubNames().names();
         names.removeLast();
         lookups.clubNames() = ClubNameList(names);
     }},
    {"club name list stale", "club name list: entry 0 is \"Elsewhere\"",
     [](Database &, Lookups &lookups) { lookups.clubNames().set(0, "Elsewhere"); }},
    {"stadium without pick list entry", "stadium pick list: record \\d+ has no entry",
     [](Database &db, Lookups &) {
         const int index = stadiumCount(db);
         db.image(DataFile::Stadium).append(QByteArray(RecordSize::Stadium, '\0'));
         stadium(db, index)->setId(index);
     }},
    {"city listed twice", "city pick list: entry \\d+ names record 0",
     [](Database &, Lookups &lookups) { lookups.cities().add("Again", 0); }},
};

} // namespace

class tst_IntegrityCheck : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void initTestCase();
    void builderDatabasesAreSound_data();
    void builderDatabasesAreSound();
    void nationalDutyMayFillNationalTeamSlots();
    void detectsSeededFault_data();
    void detectsSeededFault();
    void listsAtMostTheLimit();

private:
    std::unique_ptr<test::TestInstallation> mInstall;
};

void tst_IntegrityCheck::initTestCase()
{
    mInstall = std::make_unique<test::TestInstallation>();
    QVERIFY(mInstall->isValid());
}

void tst_IntegrityCheck::builderDatabasesAreSound_data()
{
    QTest::addColumn<int>("persons");
    QTest::addColumn<int>("seed");
    QTest::newRow("no persons") << 0 << 1;
    QTest::newRow("one person") << 1 << 2;
    QTest::newRow("every classification once") << 5 << 3;
    QTest::newRow("200 persons") << 200 << 4;
    QTest::newRow("3000 persons") << 3000 << 5;
}

void tst_IntegrityCheck::builderDatabasesAreSound()
{
    QFETCH(int, persons);
    QFETCH(int, seed);
    BuilderOptions options;
    options.persons = persons;
    options.seed = quint32(seed);
    const test::TestInstallation install(options);
    Database db;
    QVERIFY(install.loadInto(db));
    Lookups lookups;
    lookups.build(db);
    IntegrityOptions all;
    all.counts = true;
    KX3_VERIFY_SOUND(db, lookups, all);
}

void tst_IntegrityCheck::nationalDutyMayFillNationalTeamSlots()
{
    Database db;
    QVERIFY(mInstall->loadInto(db));
    const int p = nationalManager(db);
    QVERIFY(p >= 0);
    club(db, person(db, p)->nationalTeam())->setPositionSlot(ClubSlots::Manager.first, p);
    KX3_VERIFY_SOUND(db);
}

void tst_IntegrityCheck::detectsSeededFault_data()
{
    QTest::addColumn<int>("fault");
    for (int i = 0; i < int(std::size(Faults)); ++i)
        QTest::newRow(Faults[i].name) << i;
}

void tst_IntegrityCheck::detectsSeededFault()
{
    QFETCH(int, fault);
    const Fault &f = Faults[fault];
    Database db;
    QVERIFY(mInstall->loadInto(db));
    Lookups lookups;
    lookups.build(db);
    IntegrityOptions options;
    options.counts = f.counts;
    f.seed(db, lookups);
    const QStringList problems = checkIntegrity(db, lookups, options);
    const QRegularExpression expected(QString::fromLatin1(f.expected));
    QVERIFY2(!problems.filter(expected).isEmpty(),
             qPrintable(QStringLiteral("wanted /%1/, got:\n%2")
                            .arg(expected.pattern(), problems.join(QLatin1Char('\n')))));
}

void tst_IntegrityCheck::listsAtMostTheLimit()
{
    Database db;
    QVERIFY(mInstall->loadInto(db));
    for (int i = 0; i < 20; ++i)
        person(db, i)->setId(-1);
    IntegrityOptions options;
    options.limit = 5;
    const QStringList problems = checkIntegrity(db, options);
    QCOMPARE(problems.size(), 6);
    QCOMPARE(problems.last(), QStringLiteral("... and 15 more problems"));
}

QTEST_GUILESS_MAIN(tst_IntegrityCheck)
#include "tst_IntegrityCheck.moc"
