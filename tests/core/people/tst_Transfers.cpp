#include "RecordsTestSupport.h"
#include "TestDatabase.h"

#include "core/db/Database.h"
#include "core/layout/ClubRecord.h"
#include "core/layout/CodeLists.h"
#include "core/layout/PersonRecord.h"
#include "core/people/Transfers.h"

#include <QTest>

#include <memory>

using namespace kx3;
using kx3::test::le32;

namespace {

const QString SameClub = QStringLiteral("Target Club is equal to Current Club");
const QString Full = QStringLiteral("Position on Target Club has been fully occupied.");
const QString NationalTeam = QStringLiteral("Cannot Transfer To National Team.");

/// A person without a club, now holding `job`; when nobody is free, someone
/// at a club other than `keep` is released.
int freeAgent(Database &db, int job, int keep)
{
    int chosen = -1;
    for (int i = 0; i < db.counters().persons && chosen < 0; ++i) {
        if (person(db, i)->club() < 0)
            chosen = i;
    }
    for (int i = 0; i < db.counters().persons && chosen < 0; ++i) {
        const int c = person(db, i)->club();
        if (c >= 0 && c != keep && releasePerson(db, i).ok())
            chosen = i;
    }
    if (chosen >= 0)
        person(db, chosen)->setJob(job);
    return chosen;
}

/// Fills `club` with people of `job` until the next one is refused.
void fillUp(Database &db, int clubIndex, int job)
{
    for (;;) {
        const int p = freeAgent(db, job, clubIndex);
        if (p < 0 || !transferPerson(db, p, clubIndex).ok())
            return;
    }
}

/// Releases whoever blocks a side of `job` at `club` so that it has a free slot there.
void makeRoom(Database &db, int clubIndex, int job)
{
    const SlotNeed need = slotNeed(job);
    for (const SlotRange &range : {need.player, need.staff}) {
        ClubRecord c = *club(db, clubIndex);
        bool free = range.isEmpty();
        for (int s = range.first; s < range.end(); ++s)
            free = free || c.positionSlot(s) < 0;
        if (!free)
            releasePerson(db, c.positionSlot(range.first));
    }
}

int countTaken(Database &db, int clubIndex, SlotRange range)
{
    int n = 0;
    for (int s = range.first; s < range.end(); ++s)
        n += club(db, clubIndex)->positionSlot(s) >= 0 ? 1 : 0;
    return n;
}

qsizetype slotOffset(int clubIndex, int slot)
{
    return qsizetype(clubIndex) * RecordSize::Club + ClubField::PositionSlots.at(slot).offset;
}

/// Empties every slot of record `clubIndex` in `clubs` that holds `p`; returns how many.
int emptySlotsOf(QByteArray &clubs, int clubIndex, int p)
{
    int cleared = 0;
    for (int s = 0; s < ClubSlots::Count; ++s) {
        if (DataImage(clubs).i32(slotOffset(clubIndex, s)) == p) {
            clubs.replace(slotOffset(clubIndex, s), 4, le32(std::uint32_t(-1)));
            ++cleared;
        }
    }
    return cleared;
}

QList<int> range(int first, int last)
{
    QList<int> slots;
    for (int s = first; s <= last; ++s)
        slots.append(s);
    return slots;
}

} // namespace

class tst_Transfers : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void initTestCase();
    void freeSlotScan_data();
    void freeSlotScan();
    void transferAndRelease_data();
    void transferAndRelease();
    void refusalsChangeNothing_data();
    void refusalsChangeNothing();

private:
    std::unique_ptr<test::TestInstallation> mInstall;
};

void tst_Transfers::initTestCase()
{
    mInstall = std::make_unique<test::TestInstallation>();
    QVERIFY2(mInstall->isValid(), qPrintable(mInstall->errorString()));
}

void tst_Transfers::freeSlotScan_data()
{
    QTest::addColumn<QList<int>>("taken");
    QTest::addColumn<int>("job");
    QTest::addColumn<int>("playerSlot"); // -2: refused
    QTest::addColumn<int>("staffSlot");
    const QList<int> none;
    QTest::newRow("player, 6 and 7 taken") << QList<int>{6, 7} << 11 << 8 << -1;
    QTest::newRow("player/man takes the first squad slot") << QList<int>{6} << 12 << 7 << 4;
    QTest::newRow("player/ast man") << none << 13 << 6 << 5;
    // The coaches come after the squad: every empty squad slot met replaces the last.
    QTest::newRow("player/coach takes the last squad slot") << none << 15 << 55 << 56;
    QTest::newRow("player/coach, 55 and 56 taken") << QList<int>{55, 56} << 15 << 54 << 57;
    QTest::newRow("player/coach, no coach slot") << range(56, 60) << 15 << -2 << -2;
    QTest::newRow("player/man, manager taken") << QList<int>{4} << 12 << -2 << -2;
    QTest::newRow("player, squad full") << range(6, 55) << 11 << -2 << -2;
    QTest::newRow("manager, squad full") << range(6, 55) << 5 << -1 << 4;
    QTest::newRow("physio, last slot left") << QList<int>{68, 69} << 10 << -1 << 70;
    QTest::newRow("scout, scouts full") << range(61, 67) << 9 << -2 << -2;
    QTest::newRow("retired") << none << 16 << -2 << -2;
}

void tst_Transfers::freeSlotScan()
{
    QFETCH(QList<int>, taken);
    QFETCH(int, job);
    QFETCH(int, playerSlot);
    QFETCH(int, staffSlot);
    DataImage image(QByteArray(RecordSize::Club, '\0'));
    ClubRecord club(&image, 0);
    for (int s = 0; s < ClubSlots::Count; ++s)
        club.setPositionSlot(s, taken.contains(s) ? 7 : -1);
    const std::optional<SlotChoice> choice = findFreeSlots(club, job);
    QCOMPARE(choice.has_value(), playerSlot != -2);
    if (choice) {
        QCOMPARE(choice->playerSlot, playerSlot);
        QCOMPARE(choice->staffSlot, staffSlot);
    }
}

void tst_Transfers::transferAndRelease_data()
{
    QTest::addColumn<int>("job");
    QTest::addColumn<bool>("fromClub");
    QTest::newRow("player from a club") << 11 << true;
    QTest::newRow("player without a club") << 11 << false;
    QTest::newRow("player/man from a club") << 12 << true;
    QTest::newRow("player/ast without a club") << 13 << false;
    QTest::newRow("player/coach from a club") << 15 << true;
    QTest::newRow("manager from a club") << 5 << true;
    QTest::newRow("chairman without a club") << 1 << false;
    QTest::newRow("physio from the last of the 71 slots") << 10 << true;
}

void tst_Transfers::transferAndRelease()
{
    QFETCH(int, job);
    QFETCH(bool, fromClub);
    Database db;
    QVERIFY(mInstall->loadInto(db));
    const int from = 1;
    const int to = 4;
    makeRoom(db, to, job);
    int p = freeAgent(db, job, to);
    QVERIFY(p >= 0);
    if (fromClub) {
        makeRoom(db, from, job);
        QVERIFY(transferPerson(db, p, from).ok());
    }
    if (job == Job::Physio) {
        fillUp(db, from, job);
        p = club(db, from)->positionSlot(70);
        QVERIFY(p >= 0);
    }
    KX3_VERIFY_SOUND(db);

    QByteArray clubs = db.clubs().bytes();
    QByteArray staff = db.image(DataFile::Staff).bytes();
    // Which free slots he takes is freeSlotScan's test.
    const std::optional<SlotChoice> slots = findFreeSlots(*club(db, to), job);
    QVERIFY(slots);
    db.clearHistory();

    const EditResult result = transferPerson(db, p, to);
    QVERIFY2(result.ok(), qPrintable(result.message));
    QVERIFY(result.message.isEmpty());
    QVERIFY(db.isModified());
    for (int s : {slots->playerSlot, slots->staffSlot}) {
        if (s >= 0)
            clubs.replace(slotOffset(to, s), 4, le32(std::uint32_t(p)));
    }
    // Both sides of a combined job leave the old club.
    if (fromClub)
        QCOMPARE(emptySlotsOf(clubs, from, p), Job::isCombined(job) ? 2 : 1);
    QCOMPARE(db.clubs().bytes(), clubs);
    staff.replace(qsizetype(p) * RecordSize::Person + 57, 4, le32(std::uint32_t(to)));
    QCOMPARE(db.image(DataFile::Staff).bytes(), staff);
    KX3_VERIFY_SOUND(db);

    // Released, he leaves every slot he took and has no club (-2).
    db.clearHistory();
    QVERIFY(releasePerson(db, p).ok());
    QVERIFY(db.isModified());
    QCOMPARE(emptySlotsOf(clubs, to, p), Job::isCombined(job) ? 2 : 1);
    QCOMPARE(db.clubs().bytes(), clubs);
    staff.replace(qsizetype(p) * RecordSize::Person + 57, 4, le32(std::uint32_t(-2)));
    QCOMPARE(db.image(DataFile::Staff).bytes(), staff);
    KX3_VERIFY_SOUND(db);
    // Without a club there is nothing to release.
    db.clearHistory();
    QVERIFY(!releasePerson(db, p).ok());
    QCOMPARE(db.clubs().bytes(), clubs);
    QCOMPARE(db.image(DataFile::Staff).bytes(), staff);
    QVERIFY(!db.isModified());
}

void tst_Transfers::refusalsChangeNothing_data()
{
    QTest::addColumn<int>("job");
    QTest::addColumn<int>("fill"); // job the target club is filled with first, or -1
    QTest::addColumn<QString>("target");
    QTest::addColumn<QString>("message");
    QTest::newRow("same club") << 11 << -1 << "same" << SameClub;
    QTest::newRow("first national team") << 11 << -1 << "national" << NationalTeam;
    QTest::newRow("first under-21 team") << 11 << -1 << "u21" << NationalTeam;
    QTest::newRow("last under-21 team") << 11 << -1 << "last" << NationalTeam;
    QTest::newRow("retired") << 16 << -1 << "club" << Full;
    QTest::newRow("player/coach without a coach slot") << 15 << 8 << "club" << Full;
    QTest::newRow("player/man without the manager slot") << 12 << 5 << "club" << Full;
    // Free staff slots do not help anyone who needs a squad slot.
    QTest::newRow("player, full squad") << 11 << 11 << "club" << Full;
    QTest::newRow("player/man, full squad") << 12 << 11 << "club" << Full;
}

void tst_Transfers::refusalsChangeNothing()
{
    QFETCH(int, job);
    QFETCH(int, fill);
    QFETCH(QString, target);
    QFETCH(QString, message);
    Database db;
    QVERIFY(mInstall->loadInto(db));
    const int clubs = db.clubCount();
    const int teams = int(db.image(DataFile::NatClub).recordCount(RecordSize::Club));
    const int to = target == QLatin1String("national") ? clubs
                   : target == QLatin1String("u21")    ? clubs + teams / 2
                   : target == QLatin1String("last")   ? clubs + teams - 1
                                                       : 2;
    if (to == 2) {
        makeRoom(db, to, job);
        if (fill >= 0)
            fillUp(db, to, fill);
    }
    const int p = freeAgent(db, job, to);
    QVERIFY(p >= 0);
    if (target == QLatin1String("same"))
        QVERIFY(transferPerson(db, p, to).ok());
    if (fill == Job::Player)
        QCOMPARE(countTaken(db, to, ClubSlots::Squad), 50);
    if (fill == Job::Coach)
        QCOMPARE(countTaken(db, to, ClubSlots::Coaches), 5);
    KX3_VERIFY_SOUND(db);
    const QByteArray clubsBefore = db.clubs().bytes();
    const QByteArray staffBefore = db.image(DataFile::Staff).bytes();
    db.clearHistory();

    // Target refusals come before the question; a full club only shows on transferring.
    QCOMPARE(checkTransfer(db, p, to).ok(), message == Full);
    const EditResult result = transferPerson(db, p, to);
    QVERIFY(!result.ok());
    QCOMPARE(result.message, message);
    QCOMPARE(db.clubs().bytes(), clubsBefore);
    QCOMPARE(db.image(DataFile::Staff).bytes(), staffBefore);
    QVERIFY(!db.isModified());
}

QTEST_GUILESS_MAIN(tst_Transfers)
#include "tst_Transfers.moc"
