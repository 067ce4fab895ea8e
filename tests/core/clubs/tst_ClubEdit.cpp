#include "RecordsTestSupport.h"
#include "TestDatabase.h"

#include "core/clubs/ClubEdit.h"
#include "core/clubs/ClubLists.h"
#include "core/db/Database.h"
#include "core/layout/ClubRecord.h"
#include "core/layout/NationRecord.h"
#include "core/layout/PersonRecord.h"
#include "core/layout/PlayerAttributes.h"
#include "core/lookup/Lookups.h"
#include "core/lookup/RelationshipRows.h"

#include <QTest>

#include <memory>

using namespace kx3;

namespace {

int boxOf(const char *caption)
{
    const std::span<const EditBox> boxes = clubBoxes();
    for (std::size_t i = 0; i < boxes.size(); ++i) {
        if (qstrcmp(boxes[i].field.caption, caption) == 0)
            return int(i);
    }
    qFatal("no box %s", caption);
    return -1;
}

/// What the club images and the club name list hold.
struct ClubState
{
    QByteArray clubs, clubFile, nations, persons, compHistory;
    QList<QByteArray> names;

    static ClubState of(const Database &db, const Lookups &lookups)
    {
        return {db.clubs().bytes(),
                db.image(DataFile::Club).bytes(),
                db.image(DataFile::Nation).bytes(),
                db.image(DataFile::Staff).bytes(),
                db.image(DataFile::NationCompHistory).bytes(),
                lookups.clubNames().names()};
    }
    friend bool operator==(const ClubState &, const ClubState &) = default;
};

} // namespace

class tst_ClubEdit : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void initTestCase();
    void init();
    void unchangedConfirmKeepsEveryClub();
    void everyBoxAndListIsStored();
    void boxesMustFitTheirFields_data();
    void boxesMustFitTheirFields();
    void nationChangeRecountsBothNations();
    void createInsertsBeforeNationalTeams();
    void squadAndStaffLists();
    void relationshipRows();

private:
    ClubEdit load(int club) { return *loadClubEdit(*mDb, mLookups, club); }
    EditResult apply(std::optional<int> club, const ClubEdit &edit)
    {
        return applyClubEdit(*mDb, mLookups, club, edit);
    }
    ClubState state() const { return ClubState::of(*mDb, mLookups); }

    std::unique_ptr<test::TestInstallation> mInstall;
    std::unique_ptr<Database> mDb;
    Lookups mLookups;
};

void tst_ClubEdit::initTestCase()
{
    BuilderOptions options;
    options.persons = 300;
    mInstall = std::make_unique<test::TestInstallation>(options);
    QVERIFY2(mInstall->isValid(), qPrintable(mInstall->errorString()));
}

void tst_ClubEdit::init()
{
    mDb = std::make_unique<Database>();
    QVERIFY(mInstall->loadInto(*mDb));
    mLookups.build(*mDb, QLocale(QLocale::English, QLocale::UnitedStates));
}

// Every club and national team, some with values no list or box can show
// faithfully: a confirm without edits keeps each of them, and changes only
// what the editor always normalises.
void tst_ClubEdit::unchangedConfirmKeepsEveryClub()
{
    {
        ClubRecord odd = *club(*mDb, 1);
        odd.setReputation(10250);  // shown as 20
        odd.setNation(-2);         // no item
        odd.setStatus(9);          // no item
        odd.setHomeMatchDay(100);  // no item
        odd.setMainStadium(99999); // not in the pick list
        odd.setDivision(9999);     // no such competition
        odd.setLastDivision(-1);   // "<none>", normalised to -2
        odd.setKitColour(0, 30);   // beyond the colour table
        odd.setKitColour(1, -1);   // "None", normalised to -2
        odd.setOwnStadium(1);      // not a yes: shown unchecked, kept
        odd.setPlc(FlagYes);
        ClubRecord team = *club(*mDb, mDb->clubCount() + 1);
        team.setReputation(-1499); // shown as -2
    }
    const QByteArray nations = mDb->image(DataFile::Nation).bytes();
    for (int i = 0; i < clubTotal(*mDb); ++i) {
        const qsizetype at = qsizetype(i) * RecordSize::Club;
        QByteArray expected = mDb->clubs().bytes();
        expected.replace(at, RecordSize::Club,
                         test::clubAfterUnchangedConfirm(expected.mid(at, RecordSize::Club)));
        const EditResult result = apply(i, load(i));
        QVERIFY2(result.ok(), qPrintable(result.message));
        QVERIFY2(mDb->clubs().bytes() == expected, qPrintable(QString::number(i)));
    }
    QCOMPARE(mDb->image(DataFile::Nation).bytes(), nations);
    QCOMPARE(club(*mDb, 1)->reputation(), 10250);
    QCOMPARE(mLookups.clubNames().names(), ClubNameList::fromDatabase(*mDb).names());
    // A mark changed is written as the screen shows it: ticked 255, unticked 0.
    ClubEdit ticked = load(1);
    ticked.ownStadium = true;
    ticked.plc = false;
    QVERIFY(apply(1, ticked).ok());
    QCOMPARE(club(*mDb, 1)->ownStadium(), int(FlagYes));
    QCOMPARE(club(*mDb, 1)->plc(), int(FlagNo));
}

void tst_ClubEdit::everyBoxAndListIsStored()
{
    const int i = 2;
    ClubEdit edit = load(i);
    edit.longName = "Harbour Athletic Football Club";
    edit.shortName = "Harbour Ath";
    const std::array<const char *, ClubBoxCount> typed = {"3",     "-1200000", "21000", "9000",
                                                          "40000", "17",       "20"};
    for (std::size_t b = 0; b < typed.size(); ++b)
        edit.boxes[qsizetype(b)] = QString::fromLatin1(typed[b]);
    edit.statusItem = 3;
    edit.nationItem = 0;
    edit.divisionItem = 2;
    edit.lastDivisionItem = 0;
    edit.otherDivisionItem = 1;
    const int stadiumItem = 3;
    edit.mainStadiumItem = stadiumItem;
    edit.reserveStadiumItem = 0;
    edit.homeMatchDayItem = 0;
    edit.kitColourItems = {25, 0, 1, 2, 5, 24};
    edit.ownStadium = true;
    edit.plc = false;
    QVERIFY(apply(i, edit).ok());
    QVERIFY(mDb->isModified());

    const ConstClubRecord c = *club(std::as_const(*mDb), i);
    QCOMPARE(c.longName(), edit.longName);
    QCOMPARE(c.shortName(), edit.shortName);
    QCOMPARE(mLookups.clubNames().get(i), edit.shortName);
    QCOMPARE(c.lastPosition(), 3);
    QCOMPARE(c.cash(), -1200000);
    QCOMPARE(c.averageAttendance(), 21000);
    QCOMPARE(c.minimumAttendance(), 9000);
    QCOMPARE(c.maximumAttendance(), 40000);
    QCOMPARE(c.trainingFacility(), 17);
    QCOMPARE(c.reputation(), 10000);
    QCOMPARE(c.status(), 3);
    QCOMPARE(c.nation(), -1);
    QCOMPARE(c.division(), 1);
    QCOMPARE(c.lastDivision(), -2);
    QCOMPARE(c.otherDivision(), 0);
    QCOMPARE(c.mainStadium(), mLookups.stadiums().recordIndex(stadiumItem));
    QCOMPARE(c.reserveStadium(), -2);
    QCOMPARE(c.homeMatchDay(), int(NoMatchDay));
    const std::array<int, 6> colours = {24, -2, 0, 1, 4, 23};
    for (int k = 0; k < 6; ++k)
        QCOMPARE(c.kitColour(k), colours[std::size_t(k)]);
    QCOMPARE(c.ownStadium(), int(FlagYes));
    QCOMPARE(c.plc(), int(FlagNo));

    // And back: the screen shows what was stored.
    const ClubEdit shown = load(i);
    QCOMPARE(shown.boxes.last(), QStringLiteral("20"));
    QCOMPARE(shown.kitColourItems, edit.kitColourItems);
    QCOMPARE(shown.mainStadiumItem, stadiumItem);
    edit.homeMatchDayItem = 7;
    QVERIFY(apply(i, edit).ok());
    QCOMPARE(club(*mDb, i)->homeMatchDay(), 6); // Sunday
}

void tst_ClubEdit::boxesMustFitTheirFields_data()
{
    QTest::addColumn<bool>("creating");
    QTest::addColumn<int>("box");
    QTest::addColumn<QString>("typed");
    QTest::addColumn<QString>("message");
    QTest::newRow("reputation too big")
        << false << boxOf("Reputation") << "66"
        << "'66' cannot be stored as Reputation: it must be between -65 and 65.";
    QTest::newRow("byte")
        << false << boxOf("Training Facility") << "256"
        << "'256' cannot be stored as Training Facility: it must be between 0 and 255.";
    QTest::newRow("no number") << false << boxOf("Cash (£)") << "lots"
                               << "'lots' is not a valid integer value";
    QTest::newRow("new club") << true << boxOf("Last Position") << "-1"
                              << "'-1' cannot be stored as Last Position: it must be between 0 "
                                 "and 255.";
}

// A refused edit names the first bad box and leaves every image, the club
// name list and the modified flag as they were; a new club is not inserted.
void tst_ClubEdit::boxesMustFitTheirFields()
{
    QFETCH(bool, creating);
    QFETCH(int, box);
    QFETCH(QString, typed);
    QFETCH(QString, message);
    ClubEdit edit = creating ? newClubEdit() : load(0);
    edit.shortName = "Renamed";
    edit.nationItem = edit.nationItem == 1 ? 2 : 1;
    edit.nationChanged = true;
    edit.boxes[box] = typed;
    if (box + 1 < int(ClubBoxCount))
        edit.boxes[box + 1] = QStringLiteral("bad too");
    const ClubState before = state();
    const EditResult result = apply(creating ? std::nullopt : std::optional<int>(0), edit);
    QVERIFY(!result.ok());
    QCOMPARE(result.message, message);
    QCOMPARE(result.box, box);
    QVERIFY(state() == before);
    QVERIFY(!mDb->isModified());
}

void tst_ClubEdit::nationChangeRecountsBothNations()
{
    const int i = 0;
    const int oldNation = club(*mDb, i)->nation();
    QVERIFY(oldNation >= 0);
    const int newNation = oldNation == 0 ? 1 : 0;
    const int oldCount = nation(*mDb, oldNation)->clubCount();
    const int newCount = nation(*mDb, newNation)->clubCount();
    ClubEdit edit = load(i);
    edit.nationItem = newNation + 1;
    QVERIFY(apply(i, edit).ok());
    QCOMPARE(nation(*mDb, oldNation)->clubCount(), oldCount - 1);
    QCOMPARE(nation(*mDb, newNation)->clubCount(), newCount + 1);

    // From "<none>", only the new nation is recounted: a stale count elsewhere stays.
    edit.nationItem = 0;
    QVERIFY(apply(i, edit).ok());
    nation(*mDb, newNation)->setClubCount(999);
    edit.nationItem = oldNation + 1;
    QVERIFY(apply(i, edit).ok());
    QCOMPARE(nation(*mDb, oldNation)->clubCount(), oldCount);
    QCOMPARE(nation(*mDb, newNation)->clubCount(), 999);
    KX3_VERIFY_SOUND(*mDb, mLookups);
}

void tst_ClubEdit::createInsertsBeforeNationalTeams()
{
    const int c = mDb->clubCount();
    const int total = clubTotal(*mDb);
    ClubEdit edit = newClubEdit();
    edit.shortName = "Newtown";
    edit.nationItem = 2;
    edit.boxes[boxOf("Reputation")] = QStringLiteral("3");
    const EditResult result = apply(std::nullopt, edit);
    QVERIFY2(result.ok(), qPrintable(result.message));
    QCOMPARE(*result.record, c);
    QCOMPARE(mDb->clubCount(), c + 1);
    QCOMPARE(clubTotal(*mDb), total + 1);
    QCOMPARE(mLookups.clubNames().size(), c + 1);
    QCOMPARE(mLookups.clubNames().indexOf("Newtown"), c);
    const ConstClubRecord created = *club(std::as_const(*mDb), c);
    QCOMPARE(created.longName(), QByteArray("<long name>"));
    QCOMPARE(created.nation(), 1);
    QCOMPARE(created.reputation(), 1500);
    QCOMPARE(created.status(), 1);
    QCOMPARE(created.homeMatchDay(), int(NoMatchDay));
    QCOMPARE(created.positionSlot(6), ClubSlots::Empty);
    QVERIFY(mDb->isModified());
    KX3_VERIFY_SOUND(*mDb, mLookups);
}

void tst_ClubEdit::squadAndStaffLists()
{
    auto withPlayerRecord = [this](int skip) {
        return test::findPerson(*mDb, [this, &skip](const PersonRecord &p) {
            return p.offset() > 0 && playerAttributesOf(*mDb, p) && skip-- == 0;
        });
    };
    const int seven = withPlayerRecord(0);
    const int twentyThree = withPlayerRecord(1);
    const int unnumbered = withPlayerRecord(2);
    const int noRecord = test::findPerson(
        *mDb, [](const PersonRecord &p) { return p.offset() > 0 && p.playerAttributes() < 0; });
    QVERIFY(seven > 0 && twentyThree > 0 && unnumbered > 0 && noRecord > 0);
    playerAttributesOf(*mDb, *person(*mDb, seven))->setSquadNumber(7);
    playerAttributesOf(*mDb, *person(*mDb, twentyThree))->setSquadNumber(23);
    playerAttributesOf(*mDb, *person(*mDb, unnumbered))->setSquadNumber(0);
    ClubRecord c = *club(*mDb, 3);
    for (int s = 0; s < ClubSlots::Count; ++s)
        c.setPositionSlot(s, ClubSlots::Empty);
    c.setPositionSlot(6, 0); // person 0 is never listed
    c.setPositionSlot(8, noRecord);
    c.setPositionSlot(9, unnumbered);
    c.setPositionSlot(10, twentyThree);
    c.setPositionSlot(55, seven);

    const QList<SquadRow> squad = squadRows(*mDb, 3);
    QCOMPARE(squad.size(), 4);
    QCOMPARE(squad[0], (SquadRow{"07", 7, personListName(*mDb, seven), seven}));
    QCOMPARE(squad[1].sortKey, QByteArray("23"));
    QCOMPARE(squad[2], (SquadRow{"50", 0, personListName(*mDb, noRecord), noRecord}));
    QCOMPARE(squad[3].person, unnumbered); // equal keys keep slot order
    QCOMPARE(squadSortKey(100), QByteArray("100"));

    c.setPositionSlot(70, seven);
    c.setPositionSlot(0, twentyThree);
    c.setPositionSlot(56, noRecord);
    person(*mDb, seven)->setJob(10);
    person(*mDb, twentyThree)->setJob(1);
    person(*mDb, noRecord)->setJob(99);
    const QList<StaffRow> staff = staffRows(*mDb, 3);
    QCOMPARE(staff.size(), 3);
    QCOMPARE(staff[0], (StaffRow{"Chairman", personListName(*mDb, twentyThree), twentyThree}));
    QCOMPARE(staff[1].job, QByteArray("<unknown>"));
    QCOMPARE(staff[2].job, QByteArray("Physio"));
    QCOMPARE(clubJobName(6), QByteArray("Assistant Man"));
}

void tst_ClubEdit::relationshipRows()
{
    ClubRecord c = *club(*mDb, 4);
    const int someone = 12;
    c.setRelationship(0, someone);
    c.setRelationship(3, -1);
    c.setRelationship(6, 2);
    c.setRelationship(8, -2);
    const QList<RelationshipRow> rows = clubRelationshipRows(*mDb, mLookups.clubNames(), 4);
    QCOMPARE(rows.size(), 9);
    QCOMPARE(rows[0], (RelationshipRow{"Fav Plyr/Staff 1", personListName(*mDb, someone)}));
    QCOMPARE(rows[3], (RelationshipRow{"Dislike Plyr/Staff 1", "<none>"}));
    QCOMPARE(rows[6], (RelationshipRow{"Rival Club 1", mLookups.clubNames().get(2)}));
    QCOMPARE(rows[8], (RelationshipRow{"Rival Club 3", "<none>"}));
    QVERIFY(personListName(*mDb, someone).contains(' '));
    QVERIFY(clubRelationshipRows(*mDb, mLookups.clubNames(), clubTotal(*mDb)).isEmpty());
}

QTEST_GUILESS_MAIN(tst_ClubEdit)
#include "tst_ClubEdit.moc"
