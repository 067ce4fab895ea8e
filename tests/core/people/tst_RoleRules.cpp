#include "TestDatabase.h"

#include "clubs/Transfers.h"
#include "db/Database.h"
#include "people/CodeLists.h"
#include "people/PersonRecord.h"
#include "people/PlayerAttributes.h"
#include "people/RoleRules.h"
#include "people/StaffAttributes.h"
#include "records/IntegrityCheck.h"

#include <QTest>

#include <cstring>
#include <memory>
#include <set>

using namespace kx3;
using kx3::test::le32;

Q_DECLARE_METATYPE(kx3::RoleScreen)
Q_DECLARE_METATYPE(kx3::RoleVerdict)

#define QVERIFY_SOUND(db)                                                                  \
    do {                                                                                   \
        const QStringList problems_ = checkIntegrity(db);                                  \
        QVERIFY2(problems_.isEmpty(), qPrintable(problems_.join(QLatin1Char('\n'))));      \
    } while (false)

namespace {

// The texts as the user sees them, spelt out independently of the code.
const char *const PlayerFreeTransfer =
    "To change job, Player must be released on Free Transfer first.\x0d"
    "Then, you may transfer him back to his club after change his job.";
const char *const StaffFreeTransfer =
    "To change job, staff must be released on Free Transfer first.\x0d"
    "Then, you may transfer him back to his club after change his job.";
const char *const JobRefused = "Job cannot be changed";
const char *const ClassRefused = "Class can not be changed";
const char *const Question = "Are you sure?";

enum Kind { Idle, NonPlaying, Playing, Combined };

Kind kindOf(int job)
{
    return job >= 1 && job <= 10 ? NonPlaying : job == 11 ? Playing : job >= 12 && job <= 15
                                                                  ? Combined
                                                                  : Idle;
}

/// The summary table of the job rules for a person without a club, by row.
RoleVerdict summary(RoleScreen screen, int from, int to)
{
    const bool player = screen == RoleScreen::Player;
    const Kind f = kindOf(from);
    const Kind t = kindOf(to);
    if (t == Idle)
        return RoleVerdict::Accept;
    if (f == Playing && t == Combined)
        return player ? RoleVerdict::AskAddNonPlayingRole : RoleVerdict::Accept;
    if (f == Combined && t == NonPlaying)
        return RoleVerdict::AskDropPlayingRole;
    if (f == Playing && t == NonPlaying)
        return player ? RoleVerdict::Refuse : RoleVerdict::Accept;
    if (f == Combined && t == Playing)
        return RoleVerdict::Refuse;
    if (f == NonPlaying && (t == Combined || t == Playing))
        return player ? RoleVerdict::Accept : RoleVerdict::Refuse;
    if (f == Idle)
        return !player && t == Playing ? RoleVerdict::Refuse : RoleVerdict::Accept;
    return RoleVerdict::Accept; // within 1-10 or within 12-15
}

QString text(const char *message)
{
    return message ? QString::fromLatin1(message) : QString();
}

template <typename Pred>
int findPerson(Database &db, Pred pred)
{
    for (int i = 0; i < db.counters().persons; ++i) {
        if (pred(*person(db, i)))
            return i;
    }
    return -1;
}

/// A person of classification `cls` with job `job` (or a combined one when
/// `job` is -1), released so that he has no club.
int unattached(Database &db, int cls, int job)
{
    const int p = findPerson(db, [&](const PersonRecord &r) {
        return r.classification() == cls && (job < 0 ? Job::isCombined(r.job()) : r.job() == job);
    });
    if (p >= 0 && person(db, p)->club() >= 0 && !releasePerson(db, p).ok)
        return -1;
    return p;
}

} // namespace

class tst_RoleRules : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void initTestCase();
    void jobRulesWithoutClub_data();
    void jobRulesWithoutClub();
    void jobRulesWithClub();
    void classRules_data();
    void classRules();
    void newRecordChangesNothing_data();
    void newRecordChangesNothing();
    void addNonPlayingRole();
    void dropPlayingRole_data();
    void dropPlayingRole();
    void combinedJobWithoutStaffRecord();
    void roleOperationsRefuseWithoutChange();
    void makePerfect();

private:
    std::unique_ptr<test::TestInstallation> mInstall;
};

void tst_RoleRules::initTestCase()
{
    mInstall = std::make_unique<test::TestInstallation>();
    QVERIFY2(mInstall->isValid(), qPrintable(mInstall->errorString()));
}

void tst_RoleRules::jobRulesWithoutClub_data()
{
    QTest::addColumn<RoleScreen>("screen");
    QTest::addColumn<int>("from");
    QTest::addColumn<int>("to");
    for (RoleScreen screen : {RoleScreen::Player, RoleScreen::Staff}) {
        const char *name = screen == RoleScreen::Player ? "player" : "staff";
        for (int from = 0; from <= 17; ++from) {
            for (int to = 0; to <= 16; ++to) {
                if (from != to)
                    QTest::addRow("%s %d to %d", name, from, to) << screen << from << to;
            }
        }
    }
}

void tst_RoleRules::jobRulesWithoutClub()
{
    QFETCH(RoleScreen, screen);
    QFETCH(int, from);
    QFETCH(int, to);
    const RoleDecision d = decideJobChange(screen, from, to, false);
    const RoleVerdict want = summary(screen, from, to);
    QCOMPARE(d.verdict, want);
    switch (want) {
    case RoleVerdict::Accept: QCOMPARE(text(d.message), QString()); break;
    case RoleVerdict::Refuse: QCOMPARE(text(d.message), QString::fromLatin1(JobRefused)); break;
    default: QCOMPARE(text(d.message), QString::fromLatin1(Question)); break;
    }
}

void tst_RoleRules::jobRulesWithClub()
{
    for (int from = 0; from <= 16; ++from) {
        for (int to = 0; to <= 16; ++to) {
            const RoleDecision p = decideJobChange(RoleScreen::Player, from, to, true);
            const RoleDecision s = decideJobChange(RoleScreen::Staff, from, to, true);
            if (from == to) {
                QCOMPARE(p.verdict, RoleVerdict::Accept);
                QCOMPARE(s.verdict, RoleVerdict::Accept);
                continue;
            }
            QCOMPARE(p.verdict, RoleVerdict::Refuse);
            QCOMPARE(text(p.message), QString::fromLatin1(PlayerFreeTransfer));
            QCOMPARE(s.verdict, RoleVerdict::Refuse);
            QCOMPARE(text(s.message), QString::fromLatin1(StaffFreeTransfer));
        }
    }
}

void tst_RoleRules::classRules_data()
{
    QTest::addColumn<RoleScreen>("screen");
    QTest::addColumn<int>("from");
    QTest::addColumn<int>("to");
    QTest::addColumn<bool>("accepted");
    const RoleScreen P = RoleScreen::Player;
    const RoleScreen S = RoleScreen::Staff;
    // The player screen never creates a non-playing side.
    for (int from : {0, 2, 4}) {
        QTest::addRow("player %d to Non-Player", from) << P << from << 1 << false;
        QTest::addRow("player %d to Player/Non-Player", from) << P << from << 3 << false;
    }
    QTest::newRow("player Player/Non-Player to Youth") << P << 3 << 4 << true;
    QTest::newRow("player Player/Non-Player to unknown") << P << 3 << 0 << true;
    QTest::newRow("player Player/Non-Player to Player") << P << 3 << 2 << false;
    QTest::newRow("player Non-Player to Player") << P << 1 << 2 << false;
    QTest::newRow("player Player to Youth") << P << 2 << 4 << true;
    QTest::newRow("player Youth to Player") << P << 4 << 2 << true;
    QTest::newRow("player unknown to Player") << P << 0 << 2 << true;
    // The staff screen sets a class only from "<unknown>", or back to it.
    for (int to = 2; to <= 4; ++to)
        QTest::addRow("staff Non-Player to %d", to) << S << 1 << to << false;
    QTest::newRow("staff Non-Player to unknown") << S << 1 << 0 << true;
    QTest::newRow("staff Player/Non-Player to unknown") << S << 3 << 0 << true;
    QTest::newRow("staff Player/Non-Player to Non-Player") << S << 3 << 1 << false;
    for (int to = 1; to <= 4; ++to)
        QTest::addRow("staff unknown to %d", to) << S << 0 << to << true;
}

void tst_RoleRules::classRules()
{
    QFETCH(RoleScreen, screen);
    QFETCH(int, from);
    QFETCH(int, to);
    QFETCH(bool, accepted);
    const RoleDecision d = decideClassChange(screen, from, to);
    QCOMPARE(d.verdict, accepted ? RoleVerdict::Accept : RoleVerdict::Refuse);
    QCOMPARE(text(d.message), accepted ? QString() : QString::fromLatin1(ClassRefused));
}

void tst_RoleRules::newRecordChangesNothing_data()
{
    QTest::addColumn<RoleScreen>("screen");
    QTest::addColumn<bool>("job");
    QTest::addColumn<int>("chosen");
    QTest::addColumn<RoleVerdict>("verdict");
    const RoleScreen P = RoleScreen::Player;
    const RoleScreen S = RoleScreen::Staff;
    // A new player compares with "Player"; one that would need a staff record
    // before he exists is refused instead of asked.
    QTest::newRow("new player to Player/Coach") << P << true << 15 << RoleVerdict::Refuse;
    QTest::newRow("new player to Manager") << P << true << 5 << RoleVerdict::Refuse;
    QTest::newRow("new player to Retired") << P << true << 16 << RoleVerdict::Accept;
    QTest::newRow("new player to Youth") << P << false << 4 << RoleVerdict::Accept;
    QTest::newRow("new player to Non-Player") << P << false << 1 << RoleVerdict::Refuse;
    // A new staff member compares with "Manager" and "Non-Player".
    QTest::newRow("new staff to Coach") << S << true << 8 << RoleVerdict::Accept;
    QTest::newRow("new staff to Player/Man") << S << true << 12 << RoleVerdict::Refuse;
    QTest::newRow("new staff to Player") << S << true << 11 << RoleVerdict::Refuse;
    QTest::newRow("new staff to unknown") << S << false << 0 << RoleVerdict::Accept;
    QTest::newRow("new staff to Player class") << S << false << 2 << RoleVerdict::Refuse;
}

void tst_RoleRules::newRecordChangesNothing()
{
    QFETCH(RoleScreen, screen);
    QFETCH(bool, job);
    QFETCH(int, chosen);
    QFETCH(RoleVerdict, verdict);
    Database db;
    QVERIFY(mInstall->loadInto(db));
    const QByteArray before = db.image(DataFile::Staff).bytes();
    const RoleDecision d = job ? decideJobChange(db, std::nullopt, screen, chosen, false)
                               : decideClassChange(db, std::nullopt, screen, chosen);
    QCOMPARE(d.verdict, verdict);
    QCOMPARE(db.image(DataFile::Staff).bytes(), before);
}

void tst_RoleRules::addNonPlayingRole()
{
    Database db;
    QVERIFY(mInstall->loadInto(db));
    const int p = findPerson(db, [](const PersonRecord &r) {
        return r.classification() == Classification::Player && r.job() == Job::Player
               && r.club() >= 0;
    });
    QVERIFY(p >= 0);
    // At his club the job cannot change; released, the question is asked.
    QCOMPARE(decideJobChange(db, p, RoleScreen::Player, 15, true).verdict, RoleVerdict::Refuse);
    QVERIFY(releasePerson(db, p).ok);
    QCOMPARE(decideJobChange(db, p, RoleScreen::Player, 15, false).verdict,
             RoleVerdict::AskAddNonPlayingRole);

    db.setModified(false);
    const StaffCounters c = db.counters();
    const QByteArray before = db.image(DataFile::Staff).bytes();
    QVERIFY(kx3::addNonPlayingRole(db, p, Job::PlayerCoach));

    QCOMPARE(db.counters(), (StaffCounters{c.persons, c.staffAttributes + 1, c.staffOffset,
                                           c.playerAttributes, c.playerOffset + 68}));
    const QByteArray after = db.image(DataFile::Staff).bytes();
    QByteArray fresh = le32(std::uint32_t(c.staffAttributes)) + QByteArray(31, '\0');
    for (int i = 0; i < 8; ++i)
        fresh += le32(std::uint32_t(-1));
    fresh += char(3);
    QCOMPARE(after.mid(c.playerOffset, 68), fresh);
    // The player attribute table moves up whole; every index into it still holds.
    QCOMPARE(after.mid(c.playerOffset + 68), before.mid(c.playerOffset));
    for (int i = 0; i < c.persons; ++i) {
        if (i != p)
            QCOMPARE(after.mid(i * 157, 157), before.mid(i * 157, 157));
    }
    const PersonRecord r = *person(db, p);
    QCOMPARE(r.staffAttributes(), c.staffAttributes);
    QCOMPARE(r.job(), Job::PlayerCoach);
    QCOMPARE(r.classification(), Classification::PlayerNonPlayer);
    QVERIFY(db.isModified());
    QVERIFY_SOUND(db);
}

void tst_RoleRules::dropPlayingRole_data()
{
    QTest::addColumn<RoleScreen>("screen");
    QTest::newRow("player screen") << RoleScreen::Player;
    QTest::newRow("staff screen") << RoleScreen::Staff;
}

void tst_RoleRules::dropPlayingRole()
{
    QFETCH(RoleScreen, screen);
    Database db;
    QVERIFY(mInstall->loadInto(db));
    const int p = unattached(db, Classification::PlayerNonPlayer, -1);
    QVERIFY(p >= 0);
    QCOMPARE(decideJobChange(db, p, screen, Job::Manager, false).verdict,
             RoleVerdict::AskDropPlayingRole);

    const StaffCounters c = db.counters();
    const int k = person(db, p)->playerAttributes();
    const std::int32_t staffRecord = person(db, p)->staffAttributes();
    std::vector<std::int32_t> indices;
    for (int i = 0; i < c.persons; ++i)
        indices.push_back(person(db, i)->playerAttributes());
    QVERIFY(kx3::dropPlayingRole(db, p, Job::Manager));

    QCOMPARE(db.counters(), (StaffCounters{c.persons, c.staffAttributes, c.staffOffset,
                                           c.playerAttributes - 1, c.playerOffset}));
    for (int i = 0; i < c.persons; ++i) {
        const std::int32_t old = indices[std::size_t(i)];
        QCOMPARE(person(db, i)->playerAttributes(), i == p ? -1 : old > k ? old - 1 : old);
    }
    const PersonRecord r = *person(db, p);
    QCOMPARE(r.staffAttributes(), staffRecord);
    QCOMPARE(r.job(), Job::Manager);
    QCOMPARE(r.classification(), Classification::NonPlayer);
    QVERIFY_SOUND(db);
}

void tst_RoleRules::combinedJobWithoutStaffRecord()
{
    Database db;
    QVERIFY(mInstall->loadInto(db));
    // A pure player given a combined job the way the staff screen accepts it:
    // he owns no staff attribute record, so there is nothing to drop him to.
    const int p = unattached(db, Classification::Player, Job::Player);
    QVERIFY(p >= 0);
    person(db, p)->setJob(Job::PlayerManager);
    const QByteArray before = db.image(DataFile::Staff).bytes();
    const StaffCounters c = db.counters();

    for (RoleScreen screen : {RoleScreen::Player, RoleScreen::Staff}) {
        const RoleDecision d = decideJobChange(db, p, screen, Job::Manager, false);
        QCOMPARE(d.verdict, RoleVerdict::Refuse);
        QCOMPARE(text(d.message), QString::fromLatin1(JobRefused));
    }
    QVERIFY(!kx3::dropPlayingRole(db, p, Job::Manager));
    QCOMPARE(db.image(DataFile::Staff).bytes(), before);
    QCOMPARE(db.counters(), c);
    QVERIFY_SOUND(db);
}

void tst_RoleRules::roleOperationsRefuseWithoutChange()
{
    Database db;
    QVERIFY(mInstall->loadInto(db));
    const int player = unattached(db, Classification::Player, Job::Player);
    const int combined = findPerson(db, [](const PersonRecord &r) {
        return r.classification() == Classification::PlayerNonPlayer && Job::isCombined(r.job())
               && r.club() >= 0;
    });
    QVERIFY(player >= 0 && combined >= 0);
    const int n = db.counters().persons;
    const QByteArray before = db.image(DataFile::Staff).bytes();
    const QByteArray clubs = db.clubs().bytes();
    db.setModified(false);

    QVERIFY(!kx3::addNonPlayingRole(db, player, Job::Manager));      // not a combined job
    QVERIFY(!kx3::addNonPlayingRole(db, n, Job::PlayerCoach));       // no such person
    QVERIFY(!kx3::dropPlayingRole(db, combined, Job::Manager));      // still at his club
    QVERIFY(!kx3::dropPlayingRole(db, combined, Job::Player));       // not a non-playing job
    QVERIFY(!kx3::dropPlayingRole(db, player, Job::Manager));        // no staff record
    QCOMPARE(db.image(DataFile::Staff).bytes(), before);
    QCOMPARE(db.clubs().bytes(), clubs);
    QVERIFY(!db.isModified());
}

void tst_RoleRules::makePerfect()
{
    const std::vector<RatingValue> player = perfectPlayerRatings();
    std::set<QByteArray> names;
    for (const RatingValue &v : player) {
        const QByteArray name(v.field.objectName);
        names.insert(name);
        const std::set<QByteArray> top = {"PCurAbi", "PPotAbi", "PHomRep", "PWorRep",
                                          "PCurRep"};
        const int want = name == "Dir" || name == "Inj" ? 1 : top.count(name) ? 200 : 20;
        QVERIFY2(v.value == want, v.field.objectName);
    }
    QCOMPARE(player.size(), std::size_t(8 + 5 + 42));
    QCOMPARE(names.size(), player.size());
    for (const char *kept : {"PNum", "Gk", "FRol", "Cap"})
        QVERIFY2(!names.count(kept), kept);

    const std::vector<RatingValue> staff = perfectStaffRatings();
    names.clear();
    for (const RatingValue &v : staff) {
        const QByteArray name(v.field.objectName);
        names.insert(name);
        const std::set<QByteArray> top = {"SCurAbi", "SPotAbi", "SHomRep", "SWorRep",
                                          "SCurRep"};
        const int want = top.count(name) ? 200 : 20;
        QVERIFY2(v.value == want, v.field.objectName);
    }
    QCOMPARE(staff.size(), std::size_t(8 + 5 + 21));
    QCOMPARE(names.size(), staff.size());
    QVERIFY(names.count("SInt") && names.count("SCoa") && !names.count("SFor"));
}

QTEST_GUILESS_MAIN(tst_RoleRules)
#include "tst_RoleRules.moc"
