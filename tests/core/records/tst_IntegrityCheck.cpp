#include "RecordsTestSupport.h"
#include "TestDatabase.h"

#include "core/layout/CityRecord.h"
#include "core/layout/CodeLists.h"
#include "core/layout/HistoryRecord.h"
#include "core/layout/NameEntry.h"
#include "core/layout/NationCompHistoryRecord.h"
#include "core/layout/NationRecord.h"
#include "core/layout/PlayerAttributes.h"
#include "core/layout/StadiumRecord.h"
#include "core/lookup/Lookups.h"
#include "core/lookup/NameTables.h"
#include "core/records/DeleteRecords.h"
#include "core/records/SaveGuard.h"

#include <QRegularExpression>
#include <QtTest>

#include <memory>
#include <utility>

using namespace kx3;
using kx3::test::findPerson;
using kx3::test::findSlot;

namespace {

/// A person employed at a club with exactly job `job`, and that club.
std::pair<int, int> employed(Database &db, int job)
{
    const int p =
        findPerson(db, [job](const PersonRecord &r) { return r.club() >= 0 && r.job() == job; });
    return {p, person(db, p)->club()};
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
    IntegritySeverity severity = IntegritySeverity::Error;
};

constexpr auto Note = IntegritySeverity::Note;

// One fault of each kind the check tells apart, put into a sound database.
const Fault Faults[] = {
    // Ids: persons, a table behind OP, a table whose id is not the first field.
    {"person id", "staff.dat persons: record 3 has id 99",
     [](auto &db, auto &) { person(db, 3)->setId(99); }},
    {"player attribute id", "player attributes: record 1 has id 0",
     [](auto &db, auto &) { playerAttributes(db, 1)->setId(0); }},
    {"name entry id", "second_names.dat: record 2 has id 9",
     [](auto &db, auto &) { nameEntry(db.image(DataFile::SecondNames), 2)->setId(9); }},
    // Table shapes.
    {"staff attribute offset", "OS is",
     [](auto &db, auto &) { db.counters().staffOffset += RecordSize::Person; }},
    {"player attribute offset", "OP is",
     [](auto &db, auto &) { db.counters().playerOffset -= 1; }},
    {"tables past the file", "the tables end at",
     [](auto &db, auto &) { db.counters().playerAttributes += 1; }},
    {"partial club record", "club.Dat: \\d+ bytes is not a whole number",
     [](auto &db, auto &) {
         db.clubs().insert(db.image(DataFile::Club).size(), QByteArray(10, '\0'));
         db.image(DataFile::Club).append(QByteArray(10, '\0'));
     }},
    {"combined image size", "club image: \\d+ bytes, club.Dat and nat_club.Dat hold",
     [](auto &db, auto &) { db.image(DataFile::NatClub).append(QByteArray(581, 0)); }},
    // References that must exist, and references that may be none.
    {"name index", "person 5: second name \\d+ is not in",
     [](auto &db, auto &) { person(db, 5)->setSecondName(nameCount(db, NameTable::Second)); }},
    {"history of nobody", "staff_history.dat: record 1: person -1 is not in",
     [](auto &db, auto &) { historyRecord(db, 1)->setPerson(-1); }},
    {"national team is a club", "person 7: national team 0 is neither none",
     [](auto &db, auto &) { person(db, 7)->setNationalTeam(0); }},
    {"relationship person", "person 8: relationship person \\d+ is neither none",
     [](auto &db, auto &) { person(db, 8)->setRelationship(7, personCount(db)); }},
    {"relationship club", "person 8: relationship club \\d+ is neither none",
     [](auto &db, auto &) { person(db, 8)->setRelationship(2, clubTotal(db)); }},
    {"rival club", "club 0: rival club \\d+ is neither",
     [](auto &db, auto &) { club(db, 0)->setRelationship(8, clubTotal(db)); }},
    {"club relationship person", "club 0: relationship person \\d+ is neither",
     [](auto &db, auto &) { club(db, 0)->setRelationship(1, personCount(db)); }},
    {"history club", "staff_history.dat: record 2: club \\d+ is neither",
     [](auto &db, auto &) { historyRecord(db, 2)->setClub(clubTotal(db)); }},
    {"competition history names a club", "nation_comp_history.dat: record 0: national team 1",
     [](auto &db, auto &) { nationCompHistory(db, 0)->setTeam(2, 1); }},
    {"name nation key", "common_names.dat: entry 1: nation key -1",
     [](auto &db, auto &) { nameEntry(db.image(DataFile::CommonNames), 1)->setNationKey(-1); }},
    // Values outside the editor's lists: kept by the editor, so notes only.
    {"job code", "person 0: job 17 is not in", [](auto &db, auto &) { person(db, 0)->setJob(17); },
     Note},
    {"classification code", "person 4: classification 9 is not in",
     [](auto &db, auto &) { person(db, 4)->setClassification(9); }, Note},
    {"club kit colour beyond the table", "club 2: kit colour 25 is neither none",
     [](auto &db, auto &) { club(db, 2)->setKitColour(3, 25); }, Note},
    {"nation kit colour beyond the table", "nation 1: kit colour 90 is neither none",
     [](auto &db, auto &) { nation(db, 1)->setKitColour(0, 90); }, Note},
    {"climate beyond the list", "city 2: climate 31 is neither none",
     [](auto &db, auto &) { city(db, 2)->setClimate(31); }, Note},
    // Attribute records.
    {"attribute index beyond the table", "person 3: player attribute record \\d+ is neither",
     [](auto &db, auto &) { person(db, 3)->setPlayerAttributes(db.counters().playerAttributes); }},
    {"attribute record shared", "player attribute record \\d+ also belongs to person 0",
     [](auto &db, auto &) {
         person(db, 3)->setPlayerAttributes(person(db, 0)->playerAttributes());
     }},
    {"classification without its record", "person 3: classification 4 needs a player",
     [](auto &db, auto &) { person(db, 3)->setPlayerAttributes(-1); }},
    {"attribute record without owner", "staff attribute record \\d+ belongs to no person",
     [](auto &db, auto &) {
         person(db, 2)->setClassification(Classification::Player);
         person(db, 2)->setStaffAttributes(-1);
     }},
    // Position slots.
    {"slot person beyond the table", "club 0 slot \\d+: person \\d+ is not in",
     [](auto &db, auto &) { club(db, 0)->setPositionSlot(findSlot(db, 0, -1), personCount(db)); }},
    {"slot of another club", "club 2 slot \\d+: holds person \\d+, whose club is 0",
     [](auto &db, auto &) {
         const int p = club(db, 0)->positionSlot(ClubSlots::Manager.first);
         club(db, 2)->setPositionSlot(findSlot(db, 2, -1, 56, 15), p);
     }},
    {"slot the job cannot take", "person \\d+ with job 11 cannot take it",
     [](auto &db, auto &) {
         const auto [p, c] = employed(db, Job::Player);
         club(db, c)->setPositionSlot(findSlot(db, c, p), -1);
         club(db, c)->setPositionSlot(findSlot(db, c, -1, 61, 10), p);
     }},
    {"two squad slots", "job 11 at club \\d+ fills 0 staff and 2 squad slots",
     [](auto &db, auto &) {
         const auto [p, c] = employed(db, Job::Player);
         club(db, c)->setPositionSlot(findSlot(db, c, -1, 6, 50), p);
     }},
    {"missing from his club", "job 12 at club \\d+ fills 1 staff and 0 squad slots",
     [](auto &db, auto &) {
         const auto [p, c] = employed(db, Job::PlayerManager);
         club(db, c)->setPositionSlot(findSlot(db, c, p, 6, 50), -1);
     }},
    {"club without a slot job", "has club \\d+, but job 16 takes no slot",
     [](auto &db, auto &) {
         person(db, findPerson(db, [](const PersonRecord &r) { return r.job() == 16; }))
             ->setClub(0);
     }},
    {"national slot the national job cannot take", "slot 0: person \\d+ with national job 5",
     [](auto &db, auto &) {
         const int p = nationalManager(db);
         club(db, person(db, p)->nationalTeam())->setPositionSlot(0, p);
     },
     Note},
    // Counts, and the lists kept beside the database.
    {"usage count too low", "first_names.dat: entry \\d+ counts 0 users",
     [](auto &db, auto &) {
         nameEntry(db.image(DataFile::FirstNames), person(db, 5)->firstName())->setUsageCount(0);
     }},
    {"nation person count too low", "nation 0 counts 0 persons",
     [](auto &db, auto &) {
         person(db, 9)->setNationality(0);
         nation(db, 0)->setPersonCount(0);
     }},
    {"club name list too short", "club name list: \\d+ names for \\d+ clubs",
     [](auto &, auto &lists) {
         QList<QByteArray> names = lists.clubNames().names();
         names.removeLast();
         lists.clubNames() = ClubNameList(names);
     }},
    {"club name list stale", "club name list: entry 0 is \"Elsewhere\"",
     [](auto &, auto &lists) { lists.clubNames().set(0, "Elsewhere"); }},
    {"stadium without pick list entry", "stadium pick list: record \\d+ has no entry",
     [](auto &db, auto &) {
         const int index = stadiumCount(db);
         db.image(DataFile::Stadium).append(QByteArray(RecordSize::Stadium, '\0'));
         stadium(db, index)->setId(index);
     }},
    {"city listed twice", "city pick list: entry \\d+ names record 0",
     [](auto &, auto &lists) { lists.cities().add("Again", 0); }},
    {"stadium renamed behind the pick list",
     "stadium pick list: entry \\d+ is \"[^\"]*\", record 1 is \"Elsewhere\"",
     [](auto &db, auto &) { stadium(db, 1)->setName("Elsewhere"); }},
};

/// Points the next `count` empty position slots, from club 0 on, at a person
/// beyond the table; returns "club C slot S:" of the last.
QString breakSlots(Database &db, int count)
{
    QString last;
    for (int c = 0; count > 0 && c < db.clubCount(); ++c) {
        for (int s = findSlot(db, c, -1); count > 0 && s >= 0; s = findSlot(db, c, -1)) {
            club(db, c)->setPositionSlot(s, personCount(db));
            last = QStringLiteral("club %1 slot %2:").arg(c).arg(s);
            --count;
        }
    }
    return last;
}

enum class GuardEdit { OneMore, Unrelated, DeleteFirstPerson };

} // namespace

Q_DECLARE_METATYPE(GuardEdit)

class tst_IntegrityCheck : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void initTestCase();
    void builderDatabasesAreSound_data();
    void builderDatabasesAreSound();
    void nationalTeamSlotsAreNotMembership_data();
    void nationalTeamSlotsAreNotMembership();
    void detectsSeededFault_data();
    void detectsSeededFault();
    void listsAtMostTheLimit();
    void saveGuardTellsNewErrors_data();
    void saveGuardTellsNewErrors();

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
    QTest::newRow("no persons") << 0;
    QTest::newRow("every classification once") << 5;
    QTest::newRow("3000 persons") << 3000;
}

void tst_IntegrityCheck::builderDatabasesAreSound()
{
    QFETCH(int, persons);
    BuilderOptions options;
    options.persons = persons;
    options.seed = quint32(persons + 1);
    const test::TestInstallation install(options);
    Database db;
    QVERIFY(install.loadInto(db));
    Lookups lookups;
    lookups.build(db);
    IntegrityOptions all;
    all.counts = true;
    KX3_VERIFY_SOUND(db, lookups, all);
    // Every value a builder writes is one the editor's lists offer.
    QCOMPARE(integrityReport(db, lookups, all).noteCount, 0);
}

void tst_IntegrityCheck::nationalTeamSlotsAreNotMembership_data()
{
    QTest::addColumn<int>("kind");
    QTest::newRow("national manager on duty") << 0;
    // As the game's files list squads: the player's club field names his club.
    QTest::newRow("club player in the squad") << 1;
    QTest::newRow("player without a club in the squad") << 2;
    QTest::newRow("club manager in a staff slot, not on duty") << 3;
}

void tst_IntegrityCheck::nationalTeamSlotsAreNotMembership()
{
    QFETCH(int, kind);
    Database db;
    QVERIFY(mInstall->loadInto(db));
    int p = -1;
    int team = db.clubCount();
    int slot = ClubSlots::Manager.first;
    switch (kind) {
    case 0:
        p = nationalManager(db);
        team = p >= 0 ? person(db, p)->nationalTeam() : team;
        break;
    case 1:
    case 2:
        p = findPerson(db, [kind](const PersonRecord &r) {
            return r.playerAttributes() >= 0 && r.nationalTeam() < 0
                   && (kind == 1 ? r.club() >= 0 : r.club() < 0);
        });
        slot = findSlot(db, team, -1, ClubSlots::Squad.first, ClubSlots::Squad.count);
        break;
    default: p = employed(db, Job::Manager).first; break;
    }
    QVERIFY(p >= 0 && slot >= 0);
    QCOMPARE(person(db, p)->club() >= 0, kind != 2);
    club(db, team)->setPositionSlot(slot, p);
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
    options.counts = true;
    f.seed(db, lookups);
    const IntegrityReport report = integrityReport(db, lookups, options);
    const QRegularExpression expected(QString::fromLatin1(f.expected));
    QStringList all;
    QStringList matching;
    for (const IntegrityProblem &p : report.problems) {
        all.append(p.text);
        if (p.severity == f.severity && expected.match(p.text).hasMatch())
            matching.append(p.text);
    }
    QVERIFY2(!matching.isEmpty(),
             qPrintable(QStringLiteral("wanted /%1/ as %2, got:\n%3")
                            .arg(expected.pattern(),
                                 QLatin1String(f.severity == Note ? "a note" : "an error"),
                                 all.join(QLatin1Char('\n')))));
    // A note is no error: the sound-database check of every other test ignores it.
    if (f.severity == Note)
        QVERIFY(checkIntegrity(db, lookups, options).filter(expected).isEmpty());
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

void tst_IntegrityCheck::saveGuardTellsNewErrors_data()
{
    QTest::addColumn<int>("atLoad"); // slots broken before the baseline
    QTest::addColumn<GuardEdit>("edit");
    QTest::addColumn<int>("added");
    QTest::newRow("a bad reference after the load") << 0 << GuardEdit::OneMore << 1;
    QTest::newRow("the files' own errors and an unrelated edit") << 3 << GuardEdit::Unrelated << 0;
    QTest::newRow("the files' own errors renumbered by a deletion")
        << 3 << GuardEdit::DeleteFirstPerson << 0;
    QTest::newRow("one more of the files' own errors") << 3 << GuardEdit::OneMore << 1;
    QTest::newRow("more of the files' own errors than a report lists")
        << 250 << GuardEdit::OneMore << 1;
}

void tst_IntegrityCheck::saveGuardTellsNewErrors()
{
    QFETCH(int, atLoad);
    QFETCH(GuardEdit, edit);
    QFETCH(int, added);
    Database db;
    QVERIFY(mInstall->loadInto(db));
    breakSlots(db, atLoad);
    const QStringList before = checkIntegrity(db);
    SaveGuard guard;
    guard.takeBaseline(db);
    QCOMPARE(guard.baselineErrors(), before.mid(0, 50));

    QString wanted;
    switch (edit) {
    case GuardEdit::OneMore: wanted = breakSlots(db, 1); break;
    case GuardEdit::Unrelated: QVERIFY(club(db, 1)->setLongName("Elsewhere Town")); break;
    case GuardEdit::DeleteFirstPerson: QVERIFY(deletePerson(db, 0)); break;
    }
    const QStringList found = guard.newErrors(db);
    QVERIFY2(found.size() == added, qPrintable(found.join(QLatin1Char('\n'))));
    if (edit == GuardEdit::OneMore)
        QVERIFY2(found.first().contains(wanted), qPrintable(found.first()));
    // The files' own errors are all still there, numbered anew by a deletion.
    if (added == 0)
        QCOMPARE(checkIntegrity(db).size(), atLoad);
    if (edit == GuardEdit::DeleteFirstPerson)
        QVERIFY(checkIntegrity(db) != before);
}

QTEST_GUILESS_MAIN(tst_IntegrityCheck)
#include "tst_IntegrityCheck.moc"
