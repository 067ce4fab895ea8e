#include "TestDatabase.h"

#include "clubs/ClubRecord.h"
#include "clubs/Transfers.h"
#include "db/Database.h"
#include "people/CodeLists.h"
#include "people/PersonRecord.h"
#include "records/IntegrityCheck.h"

#include <QTest>

#include <memory>

using namespace kx3;
using kx3::test::le32;

#define QVERIFY_SOUND(db)                                                                  \
    do {                                                                                   \
        const QStringList problems_ = checkIntegrity(db);                                  \
        QVERIFY2(problems_.isEmpty(), qPrintable(problems_.join(QLatin1Char('\n'))));      \
    } while (false)

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
        if (c >= 0 && c != keep && releasePerson(db, i).ok)
            chosen = i;
    }
    if (chosen >= 0)
        person(db, chosen)->setJob(job);
    return chosen;
}

/// Fills `club` with people of `job` until the next one is refused.
int fillUp(Database &db, int clubIndex, int job)
{
    int moved = 0;
    for (;;) {
        const int p = freeAgent(db, job, clubIndex);
        if (p < 0 || !transferPerson(db, p, clubIndex).ok)
            return moved;
        ++moved;
    }
}

/// Releases whoever blocks a side of `job` at `club` so that it has a free slot there.
void makeRoom(Database &db, int clubIndex, int job)
{
    const SlotNeed need = slotNeed(job);
    for (const SlotRange &range : {need.player, need.staff}) {
        if (range.isEmpty())
            continue;
        ClubRecord c = *club(db, clubIndex);
        bool free = false;
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

/// First (or last) empty slot of `range` at `club`, -1 when there is none.
int emptySlot(Database &db, int clubIndex, SlotRange range, bool last)
{
    int found = -1;
    for (int s = range.first; s < range.end(); ++s) {
        if (club(db, clubIndex)->positionSlot(s) < 0 && (last || found < 0))
            found = s;
    }
    return found;
}

qsizetype slotOffset(int clubIndex, int slot)
{
    return qsizetype(clubIndex) * RecordSize::Club + ClubField::PositionSlots.at(slot).offset;
}

/// A club record with every position slot empty except `taken`.
DataImage clubWith(const QList<int> &taken)
{
    DataImage image(QByteArray(RecordSize::Club, '\0'));
    ClubRecord c(&image, 0);
    for (int s = 0; s < ClubSlots::Count; ++s)
        c.setPositionSlot(s, taken.contains(s) ? 7 : -1);
    return image;
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
    void transfer_data();
    void transfer();
    void refusalsChangeNothing_data();
    void refusalsChangeNothing();
    void fullSquad();
    void physioInTheLastSlot();
    void release_data();
    void release();

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
    QTest::addColumn<bool>("found");
    QTest::addColumn<int>("playerSlot");
    QTest::addColumn<int>("staffSlot");
    const QList<int> none;
    QTest::newRow("player, empty club") << none << 11 << true << 6 << -1;
    QTest::newRow("player, 6 and 7 taken") << QList<int>{6, 7} << 11 << true << 8 << -1;
    QTest::newRow("player/man takes the first squad slot") << QList<int>{6} << 12 << true << 7
                                                             << 4;
    QTest::newRow("player/ast man") << none << 13 << true << 6 << 5;
    QTest::newRow("player/res man") << none << 14 << true << 6 << 5;
    // The coaches come after the squad: every empty squad slot met replaces the last.
    QTest::newRow("player/coach takes the last squad slot") << none << 15 << true << 55 << 56;
    QTest::newRow("player/coach, 55 taken") << QList<int>{55, 56} << 15 << true << 54 << 57;
    QTest::newRow("player/coach, no coach slot") << range(56, 60) << 15 << false << -1 << -1;
    QTest::newRow("player/man, manager taken") << QList<int>{4} << 12 << false << -1 << -1;
    QTest::newRow("player, squad full") << range(6, 55) << 11 << false << -1 << -1;
    QTest::newRow("manager, squad full") << range(6, 55) << 5 << true << -1 << 4;
    QTest::newRow("director, first two taken") << QList<int>{1, 2} << 4 << true << -1 << 3;
    QTest::newRow("physio, last slot left") << QList<int>{68, 69} << 10 << true << -1 << 70;
    QTest::newRow("scout, scouts full") << range(61, 67) << 9 << false << -1 << -1;
    QTest::newRow("unemployed") << none << 0 << false << -1 << -1;
    QTest::newRow("retired") << none << 16 << false << -1 << -1;
}

void tst_Transfers::freeSlotScan()
{
    QFETCH(QList<int>, taken);
    QFETCH(int, job);
    QFETCH(bool, found);
    QFETCH(int, playerSlot);
    QFETCH(int, staffSlot);
    DataImage image = clubWith(taken);
    const std::optional<SlotChoice> choice = findFreeSlots(ClubRecord(&image, 0), job);
    QCOMPARE(choice.has_value(), found);
    if (choice) {
        QCOMPARE(choice->playerSlot, playerSlot);
        QCOMPARE(choice->staffSlot, staffSlot);
    }
}

void tst_Transfers::transfer_data()
{
    QTest::addColumn<int>("job");
    QTest::addColumn<bool>("fromClub");
    for (int job : {11, 12, 13, 14, 15, 1, 5, 8, 10}) {
        QTest::addRow("job %d from a club", job) << job << true;
        QTest::addRow("job %d without a club", job) << job << false;
    }
}

void tst_Transfers::transfer()
{
    QFETCH(int, job);
    QFETCH(bool, fromClub);
    Database db;
    QVERIFY(mInstall->loadInto(db));
    const int from = 1;
    const int to = 4;
    // A hole at the front of the squad tells the first empty squad slot from the last.
    if (club(db, to)->positionSlot(6) >= 0)
        QVERIFY(releasePerson(db, club(db, to)->positionSlot(6)).ok);
    makeRoom(db, to, job);
    const int p = freeAgent(db, job, to);
    QVERIFY(p >= 0);
    if (fromClub) {
        makeRoom(db, from, job);
        QVERIFY(transferPerson(db, p, from).ok);
    }
    QVERIFY_SOUND(db);

    const QByteArray clubsBefore = db.clubs().bytes();
    const QByteArray staffBefore = db.image(DataFile::Staff).bytes();
    const std::optional<SlotChoice> slots = findFreeSlots(*club(db, to), job);
    QVERIFY(slots);
    if (Job::isPlaying(job)) {
        QCOMPARE(emptySlot(db, to, ClubSlots::Squad, false), 6);
        QCOMPARE(slots->playerSlot, emptySlot(db, to, ClubSlots::Squad, job == Job::PlayerCoach));
    }
    db.setModified(false);

    const TransferResult result = transferPerson(db, p, to);
    QVERIFY2(result.ok, qPrintable(result.message));
    QVERIFY(result.message.isEmpty());
    QVERIFY(db.isModified());

    QByteArray clubs = clubsBefore;
    for (int s : {slots->playerSlot, slots->staffSlot}) {
        if (s >= 0)
            clubs.replace(slotOffset(to, s), 4, le32(std::uint32_t(p)));
    }
    if (fromClub) {
        // Both sides of a combined job leave the old club.
        int cleared = 0;
        for (int s = 0; s < ClubSlots::Count; ++s) {
            if (DataImage(clubsBefore).i32(slotOffset(from, s)) == p) {
                clubs.replace(slotOffset(from, s), 4, le32(std::uint32_t(-1)));
                ++cleared;
            }
        }
        QCOMPARE(cleared, Job::isCombined(job) ? 2 : 1);
    }
    QCOMPARE(db.clubs().bytes(), clubs);
    QByteArray staff = staffBefore;
    staff.replace(qsizetype(p) * RecordSize::Person + 57, 4, le32(std::uint32_t(to)));
    QCOMPARE(db.image(DataFile::Staff).bytes(), staff);
    QVERIFY_SOUND(db);
}

void tst_Transfers::refusalsChangeNothing_data()
{
    QTest::addColumn<QString>("setup");
    QTest::addColumn<QString>("message");
    QTest::newRow("same club") << "same" << SameClub;
    QTest::newRow("first national team") << "national" << NationalTeam;
    QTest::newRow("first under-21 team") << "u21" << NationalTeam;
    QTest::newRow("last under-21 team") << "lastTeam" << NationalTeam;
    QTest::newRow("unemployed") << "job0" << Full;
    QTest::newRow("retired") << "job16" << Full;
    QTest::newRow("player/coach without a coach slot") << "coaches" << Full;
    QTest::newRow("player/man without the manager slot") << "manager" << Full;
}

void tst_Transfers::refusalsChangeNothing()
{
    QFETCH(QString, setup);
    QFETCH(QString, message);
    Database db;
    QVERIFY(mInstall->loadInto(db));
    const int clubs = db.clubCount();
    const int teams = int(db.image(DataFile::NatClub).recordCount(RecordSize::Club));
    int to = 2;
    int p = -1;
    if (setup == QLatin1String("same")) {
        p = freeAgent(db, Job::Player, to);
        makeRoom(db, to, Job::Player);
        QVERIFY(transferPerson(db, p, to).ok);
    } else if (setup == QLatin1String("coaches")) {
        makeRoom(db, to, Job::Player);
        fillUp(db, to, Job::Coach);
        QCOMPARE(countTaken(db, to, ClubSlots::Coaches), 5);
        p = freeAgent(db, Job::PlayerCoach, to);
    } else if (setup == QLatin1String("manager")) {
        makeRoom(db, to, Job::Player);
        fillUp(db, to, Job::Manager);
        p = freeAgent(db, Job::PlayerManager, to);
    } else {
        p = freeAgent(db, setup == QLatin1String("job0")    ? Job::Unemployed
                          : setup == QLatin1String("job16") ? Job::Retired
                                                            : Job::Player,
                      to);
        if (setup == QLatin1String("national"))
            to = clubs;
        else if (setup == QLatin1String("u21"))
            to = clubs + teams / 2;
        else if (setup == QLatin1String("lastTeam"))
            to = clubs + teams - 1;
    }
    QVERIFY(p >= 0);
    QVERIFY_SOUND(db);
    const QByteArray clubsBefore = db.clubs().bytes();
    const QByteArray staffBefore = db.image(DataFile::Staff).bytes();
    db.setModified(false);

    // Target refusals come before the question; a full club only shows on transferring.
    QCOMPARE(checkTransfer(db, p, to).ok, message == Full);
    const TransferResult result = transferPerson(db, p, to);
    QVERIFY(!result.ok);
    QCOMPARE(result.message, message);
    QCOMPARE(db.clubs().bytes(), clubsBefore);
    QCOMPARE(db.image(DataFile::Staff).bytes(), staffBefore);
    QVERIFY(!db.isModified());
}

void tst_Transfers::fullSquad()
{
    Database db;
    QVERIFY(mInstall->loadInto(db));
    const int to = 3;
    fillUp(db, to, Job::Player);
    QCOMPARE(countTaken(db, to, ClubSlots::Squad), 50);
    QVERIFY_SOUND(db);

    makeRoom(db, to, Job::Manager);
    QVERIFY(club(db, to)->positionSlot(4) < 0);
    const QByteArray clubsBefore = db.clubs().bytes();
    // Free staff slots do not help anyone who needs a squad slot.
    for (int job : {Job::Player, Job::PlayerManager}) {
        const int p = freeAgent(db, job, to);
        const TransferResult result = transferPerson(db, p, to);
        QVERIFY(!result.ok);
        QCOMPARE(result.message, Full);
        QCOMPARE(db.clubs().bytes(), clubsBefore);
    }
    const int manager = freeAgent(db, Job::Manager, to);
    QVERIFY(transferPerson(db, manager, to).ok);
    QCOMPARE(club(db, to)->positionSlot(4), manager);
    QVERIFY_SOUND(db);
}

void tst_Transfers::physioInTheLastSlot()
{
    Database db;
    QVERIFY(mInstall->loadInto(db));
    const int from = 0;
    const int to = 5;
    fillUp(db, from, Job::Physio);
    makeRoom(db, to, Job::Physio);
    const int p = club(db, from)->positionSlot(70);
    const std::int32_t p68 = club(db, from)->positionSlot(68);
    const std::int32_t p69 = club(db, from)->positionSlot(69);
    QVERIFY(p >= 0 && p68 >= 0 && p69 >= 0);
    QVERIFY(transferPerson(db, p, to).ok);
    QCOMPARE(club(db, from)->positionSlot(70), -1);
    QCOMPARE(club(db, from)->positionSlot(68), p68);
    QCOMPARE(club(db, from)->positionSlot(69), p69);
    QCOMPARE(person(db, p)->club(), to);
    QVERIFY_SOUND(db);
}

void tst_Transfers::release_data()
{
    QTest::addColumn<int>("job");
    for (int job : {11, 12, 15, 1, 10})
        QTest::addRow("job %d", job) << job;
}

void tst_Transfers::release()
{
    QFETCH(int, job);
    Database db;
    QVERIFY(mInstall->loadInto(db));
    const int from = 6;
    makeRoom(db, from, job);
    const int p = freeAgent(db, job, from);
    QVERIFY(transferPerson(db, p, from).ok);
    const QByteArray clubsBefore = db.clubs().bytes();
    const QByteArray staffBefore = db.image(DataFile::Staff).bytes();
    db.setModified(false);

    QVERIFY(releasePerson(db, p).ok);
    QVERIFY(db.isModified());
    QCOMPARE(person(db, p)->club(), -2);
    QByteArray clubs = clubsBefore;
    int cleared = 0;
    for (int s = 0; s < ClubSlots::Count; ++s) {
        if (DataImage(clubsBefore).i32(slotOffset(from, s)) == p) {
            clubs.replace(slotOffset(from, s), 4, le32(std::uint32_t(-1)));
            ++cleared;
        }
    }
    QCOMPARE(cleared, Job::isCombined(job) ? 2 : 1);
    QCOMPARE(db.clubs().bytes(), clubs);
    QByteArray staff = staffBefore;
    staff.replace(qsizetype(p) * RecordSize::Person + 57, 4, le32(std::uint32_t(-2)));
    QCOMPARE(db.image(DataFile::Staff).bytes(), staff);
    QVERIFY_SOUND(db);

    // Without a club there is nothing to release.
    db.setModified(false);
    QVERIFY(!releasePerson(db, p).ok);
    QCOMPARE(db.clubs().bytes(), clubs);
    QCOMPARE(db.image(DataFile::Staff).bytes(), staff);
    QVERIFY(!db.isModified());
}

QTEST_GUILESS_MAIN(tst_Transfers)
#include "tst_Transfers.moc"
