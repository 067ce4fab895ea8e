#include "RecordsTestSupport.h"
#include "TestDatabase.h"

#include "core/db/Database.h"
#include "core/layout/CodeLists.h"
#include "core/layout/PersonRecord.h"
#include "core/people/RoleRules.h"
#include "core/people/Transfers.h"

#include <QTest>

#include <memory>
#include <set>

using namespace kx3;
using kx3::test::findPerson;

Q_DECLARE_METATYPE(kx3::RoleScreen)
Q_DECLARE_METATYPE(kx3::RoleVerdict)

namespace {

/// A person of classification `cls` with job `job`, released so that he has no club.
int unattached(Database &db, int cls, int job)
{
    const int p = findPerson(
        db, [&](const PersonRecord &r) { return r.classification() == cls && r.job() == job; });
    if (p >= 0 && person(db, p)->club() >= 0 && !releasePerson(db, p).ok())
        return -1;
    return p;
}

} // namespace

class tst_RoleRules : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void initTestCase();
    void rules_data();
    void rules();
    void newRecordChangesNothing_data();
    void newRecordChangesNothing();
    void addThenDropRole();
    void refusalsChangeNothing();
    void classNeedsItsRecord();

private:
    std::unique_ptr<test::TestInstallation> mInstall;
};

void tst_RoleRules::initTestCase()
{
    mInstall = std::make_unique<test::TestInstallation>();
    QVERIFY2(mInstall->isValid(), qPrintable(mInstall->errorString()));
}

void tst_RoleRules::rules_data()
{
    QTest::addColumn<RoleScreen>("screen");
    QTest::addColumn<bool>("job"); // false: the classification rule
    QTest::addColumn<int>("from");
    QTest::addColumn<int>("to");
    QTest::addColumn<bool>("hasClub");
    QTest::addColumn<RoleVerdict>("verdict");
    const RoleScreen P = RoleScreen::Player;
    const RoleScreen S = RoleScreen::Staff;
    const RoleVerdict A = RoleVerdict::Accept;
    const RoleVerdict R = RoleVerdict::Refuse;
    const RoleVerdict Add = RoleVerdict::AskAddNonPlayingRole;
    const RoleVerdict Drop = RoleVerdict::AskDropPlayingRole;
    // Job rules; the rows meet both ends of 1-10 (non-playing) and 12-15 (combined).
    QTest::newRow("P job Player to Player/Man") << P << true << 11 << 12 << false << Add;
    QTest::newRow("P job Player/Coach to Physio") << P << true << 15 << 10 << false << Drop;
    QTest::newRow("P job Player to Chairman") << P << true << 11 << 1 << false << R;
    QTest::newRow("P job Player/Ast to Player") << P << true << 13 << 11 << false << R;
    QTest::newRow("P job Physio to Player/Coach") << P << true << 10 << 15 << false << A;
    QTest::newRow("P job Player/Man to Unemployed") << P << true << 12 << 0 << false << A;
    QTest::newRow("P job Retired to Player") << P << true << 16 << 11 << false << A;
    QTest::newRow("S job Player/Man to Chairman") << S << true << 12 << 1 << false << Drop;
    QTest::newRow("S job Unemployed to Player") << S << true << 0 << 11 << false << R;
    QTest::newRow("S job Physio to Player/Man") << S << true << 10 << 12 << false << R;
    QTest::newRow("S job Player to Player/Coach") << S << true << 11 << 15 << false << A;
    QTest::newRow("S job Player to Physio") << S << true << 11 << 10 << false << A;
    // At a club every change is refused; the stored job chosen again is not a change.
    QTest::newRow("P job at a club") << P << true << 11 << 12 << true << R;
    QTest::newRow("S job at a club") << S << true << 15 << 8 << true << R;
    QTest::newRow("S job at a club, chosen again") << S << true << 8 << 8 << true << A;
    // The player screen never creates a non-playing side; the staff screen sets a
    // class only from "<unknown>", or back to it.
    QTest::newRow("P class unknown to Non-Player") << P << false << 0 << 1 << false << R;
    QTest::newRow("P class Player to Player/Non") << P << false << 2 << 3 << false << R;
    QTest::newRow("P class Player/Non to Player") << P << false << 3 << 2 << false << R;
    QTest::newRow("P class Non-Player to Player") << P << false << 1 << 2 << false << R;
    QTest::newRow("P class Player/Non to Youth") << P << false << 3 << 4 << false << A;
    QTest::newRow("P class Non-Player chosen again") << P << false << 1 << 1 << false << A;
    QTest::newRow("S class Non-Player to Player") << S << false << 1 << 2 << false << R;
    QTest::newRow("S class Player/Non to Non-Player") << S << false << 3 << 1 << false << R;
    QTest::newRow("S class Player/Non to unknown") << S << false << 3 << 0 << false << A;
    QTest::newRow("S class unknown to Youth") << S << false << 0 << 4 << false << A;
}

void tst_RoleRules::rules()
{
    QFETCH(RoleScreen, screen);
    QFETCH(bool, job);
    QFETCH(int, from);
    QFETCH(int, to);
    QFETCH(bool, hasClub);
    QFETCH(RoleVerdict, verdict);
    const RoleDecision d =
        job ? decideJobChange(screen, from, to, hasClub) : decideClassChange(screen, from, to);
    QCOMPARE(d.verdict, verdict);
    // The texts as the user sees them, spelt out independently of the code.
    const QString transfer = QStringLiteral("To change job, %1 must be released on Free "
                                            "Transfer first.\rThen, you may transfer him back "
                                            "to his club after change his job.")
                                 .arg(screen == RoleScreen::Player ? QStringLiteral("Player")
                                                                   : QStringLiteral("staff"));
    const QString refusal = !job      ? QStringLiteral("Class can not be changed")
                            : hasClub ? transfer
                                      : QStringLiteral("Job cannot be changed");
    const QString want = verdict == RoleVerdict::Accept   ? QString()
                         : verdict == RoleVerdict::Refuse ? refusal
                                                          : QStringLiteral("Are you sure?");
    QCOMPARE(QString::fromLatin1(d.message), want);
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
    QTest::newRow("new player to Retired") << P << true << 16 << RoleVerdict::Accept;
    // A new staff member compares with "Manager" and "Non-Player".
    QTest::newRow("new staff to Player/Man") << S << true << 12 << RoleVerdict::Refuse;
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

void tst_RoleRules::addThenDropRole()
{
    Database db;
    QVERIFY(mInstall->loadInto(db));
    const int p = unattached(db, Classification::Player, Job::Player);
    QVERIFY(p >= 0);
    QCOMPARE(decideJobChange(db, p, RoleScreen::Player, 15, false).verdict,
             RoleVerdict::AskAddNonPlayingRole);
    db.clearHistory();
    const StaffCounters c = db.counters();
    const QByteArray before = db.image(DataFile::Staff).bytes();
    QVERIFY(kx3::addNonPlayingRole(db, p, Job::PlayerCoach));

    QCOMPARE(db.counters(), (StaffCounters{c.persons, c.staffAttributes + 1, c.staffOffset,
                                           c.playerAttributes, c.playerOffset + 68}));
    const QByteArray after = db.image(DataFile::Staff).bytes();
    // The player attribute table moves up whole; every index into it still holds.
    QCOMPARE(after.mid(c.playerOffset + 68), before.mid(c.playerOffset));
    for (int i = 0; i < c.persons; ++i) {
        if (i != p)
            QCOMPARE(after.mid(i * 157, 157), before.mid(i * 157, 157));
    }
    QCOMPARE(person(db, p)->staffAttributes(), c.staffAttributes);
    QCOMPARE(person(db, p)->job(), Job::PlayerCoach);
    QCOMPARE(person(db, p)->classification(), Classification::PlayerNonPlayer);
    QVERIFY(db.isModified());
    KX3_VERIFY_SOUND(db);

    // And back: the staff record stays, the player record goes (its renumbering
    // is removePlayerAttributes' own test).
    for (RoleScreen screen : {RoleScreen::Player, RoleScreen::Staff}) {
        QCOMPARE(decideJobChange(db, p, screen, Job::Manager, false).verdict,
                 RoleVerdict::AskDropPlayingRole);
    }
    QVERIFY(kx3::dropPlayingRole(db, p, Job::Manager));
    QCOMPARE(db.counters(), (StaffCounters{c.persons, c.staffAttributes + 1, c.staffOffset,
                                           c.playerAttributes - 1, c.playerOffset + 68}));
    QCOMPARE(person(db, p)->playerAttributes(), -1);
    QCOMPARE(person(db, p)->staffAttributes(), c.staffAttributes);
    QCOMPARE(person(db, p)->job(), Job::Manager);
    QCOMPARE(person(db, p)->classification(), Classification::NonPlayer);
    KX3_VERIFY_SOUND(db);
}

void tst_RoleRules::refusalsChangeNothing()
{
    Database db;
    QVERIFY(mInstall->loadInto(db));
    // A pure player given a combined job the way the staff screen accepts it:
    // he owns no staff attribute record, so there is nothing to drop him to.
    const int player = unattached(db, Classification::Player, Job::Player);
    const int combined = findPerson(db, [](const PersonRecord &r) {
        return r.classification() == Classification::PlayerNonPlayer && Job::isCombined(r.job())
               && r.club() >= 0;
    });
    QVERIFY(player >= 0 && combined >= 0);
    person(db, player)->setJob(Job::PlayerManager);
    for (RoleScreen screen : {RoleScreen::Player, RoleScreen::Staff}) {
        const RoleDecision d = decideJobChange(db, player, screen, Job::Manager, false);
        QCOMPARE(d.verdict, RoleVerdict::Refuse);
        QCOMPARE(QString::fromLatin1(d.message), QStringLiteral("Job cannot be changed"));
    }
    const int n = db.counters().persons;
    const StaffCounters c = db.counters();
    const QByteArray before = db.image(DataFile::Staff).bytes();
    const QByteArray clubs = db.clubs().bytes();
    db.clearHistory();

    QVERIFY(!kx3::addNonPlayingRole(db, player, Job::Manager)); // not a combined job
    QVERIFY(!kx3::addNonPlayingRole(db, n, Job::PlayerCoach));  // no such person
    QVERIFY(!kx3::dropPlayingRole(db, combined, Job::Manager)); // still at his club
    QVERIFY(!kx3::dropPlayingRole(db, combined, Job::Player));  // not a non-playing job
    QVERIFY(!kx3::dropPlayingRole(db, player, Job::Manager));   // no staff record
    QCOMPARE(db.image(DataFile::Staff).bytes(), before);
    QCOMPARE(db.counters(), c);
    QCOMPARE(db.clubs().bytes(), clubs);
    QVERIFY(!db.isModified());
    KX3_VERIFY_SOUND(db);
}

void tst_RoleRules::classNeedsItsRecord()
{
    // A person of unknown class owns no attribute record: the lists may not
    // make him a player or staff member, which would promise one.
    Database db;
    QVERIFY(mInstall->loadInto(db));
    const int bare = findPerson(db, [](const PersonRecord &r) {
        return r.classification() == Classification::Unknown && r.playerAttributes() < 0
               && r.staffAttributes() < 0;
    });
    const int staff = findPerson(db, [](const PersonRecord &r) {
        return r.classification() == Classification::NonPlayer && r.playerAttributes() < 0;
    });
    QVERIFY(bare >= 0 && staff >= 0);
    const struct
    {
        int person;
        RoleScreen screen;
        int chosen;
        RoleVerdict verdict;
    } cases[] = {
        {bare, RoleScreen::Player, Classification::Player, RoleVerdict::Refuse},
        {bare, RoleScreen::Player, Classification::YouthPlayer, RoleVerdict::Refuse},
        {bare, RoleScreen::Staff, Classification::NonPlayer, RoleVerdict::Refuse},
        {bare, RoleScreen::Player, Classification::Unknown, RoleVerdict::Accept},
        {staff, RoleScreen::Staff, Classification::Unknown, RoleVerdict::Accept},
    };
    for (const auto &c : cases) {
        const RoleDecision d = decideClassChange(db, c.person, c.screen, c.chosen);
        QCOMPARE(d.verdict, c.verdict);
        if (c.verdict == RoleVerdict::Refuse)
            QCOMPARE(QString::fromLatin1(d.message), QStringLiteral("Class can not be changed"));
    }
    // Back from unknown to the class whose record he still owns.
    person(db, staff)->setClassification(Classification::Unknown);
    QCOMPARE(decideClassChange(db, staff, RoleScreen::Staff, Classification::NonPlayer).verdict,
             RoleVerdict::Accept);
}

QTEST_GUILESS_MAIN(tst_RoleRules)
#include "tst_RoleRules.moc"
