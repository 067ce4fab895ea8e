#include "RecordsTestSupport.h"
#include "TestDatabase.h"

#include "core/db/Database.h"
#include "core/layout/CodeLists.h"
#include "core/layout/NationRecord.h"
#include "core/layout/PersonRecord.h"
#include "core/layout/PlayerAttributes.h"
#include "core/layout/StaffAttributes.h"
#include "core/lookup/Lookups.h"
#include "core/lookup/NameTables.h"
#include "core/people/CareerHistory.h"
#include "core/people/PersonEdit.h"

#include <QTest>

#include <memory>

using namespace kx3;
using kx3::test::findPerson;

Q_DECLARE_METATYPE(kx3::RoleScreen)

namespace {

using Images = test::PersonImages;

/// Index of the box captioned `caption` of `kind` on `screen`'s list.
int boxOf(RoleScreen screen, const char *caption, PersonBox::Kind kind = PersonBox::Number)
{
    const std::span<const PersonBox> boxes = personBoxes(screen);
    for (std::size_t i = 0; i < boxes.size(); ++i) {
        if (boxes[i].kind == kind && qstrcmp(boxes[i].field.caption, caption) == 0)
            return int(i);
    }
    qFatal("no box %s", caption);
    return -1;
}

bool hasRole(RoleScreen screen, const PersonRecord &p)
{
    return screen == RoleScreen::Player ? Classification::hasPlayerAttributes(p.classification())
                                        : Classification::hasStaffAttributes(p.classification());
}

} // namespace

class tst_PersonEdit : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void initTestCase();
    void init();
    void numbersMustFitTheirFields_data();
    void numbersMustFitTheirFields();
    void scaledNumbers();
    void refusedEditChangesNothing_data();
    void refusedEditChangesNothing();
    void itemsAndNames();
    void createAppendsWithDefaults_data();
    void createAppendsWithDefaults();
    void makePerfect();
    void damagedPersonKeepsHisBytes_data();
    void damagedPersonKeepsHisBytes();

private:
    PersonEdit load(int person, RoleScreen screen)
    {
        return *loadPersonEdit(*mDb, person, screen, mLookups.clubNames().names());
    }
    EditResult apply(std::optional<int> person, const PersonEdit &edit)
    {
        return applyPersonEdit(*mDb, mLookups.clubNames().names(), person, edit);
    }
    int find(RoleScreen screen)
    {
        return findPerson(*mDb, [=](auto &p) { return hasRole(screen, p); });
    }

    std::unique_ptr<test::TestInstallation> mInstall;
    std::unique_ptr<Database> mDb;
    Lookups mLookups;
};

void tst_PersonEdit::initTestCase()
{
    BuilderOptions options;
    options.persons = 240;
    mInstall = std::make_unique<test::TestInstallation>(options);
    QVERIFY2(mInstall->isValid(), qPrintable(mInstall->errorString()));
}

void tst_PersonEdit::init()
{
    mDb = std::make_unique<Database>();
    QVERIFY(mInstall->loadInto(*mDb));
    mLookups.build(*mDb, QLocale(QLocale::English, QLocale::UnitedStates));
}

void tst_PersonEdit::numbersMustFitTheirFields_data()
{
    QTest::addColumn<RoleScreen>("screen");
    QTest::addColumn<int>("box");
    QTest::addColumn<QString>("typed");
    QTest::addColumn<QString>("message"); // empty: stored
    const auto player = RoleScreen::Player;
    const auto staff = RoleScreen::Staff;
    auto row = [](const char *name, RoleScreen s, int box, const char *typed, const char *msg) {
        QTest::newRow(name) << s << box << QString::fromUtf8(typed) << QString::fromUtf8(msg);
    };
    row("u8 top", player, boxOf(player, "Squad#"), "255", "");
    row("u8 past", player, boxOf(player, "Squad#"), "256",
        "'256' cannot be stored as Squad#: it must be between 0 and 255.");
    row("u8 negative", staff, boxOf(staff, "Caps"), "-1",
        "'-1' cannot be stored as Caps: it must be between 0 and 255.");
    row("i16 bottom", staff, boxOf(staff, "Potential Ability"), "-32768", "");
    row("i16 past", player, boxOf(player, "World Reputation"), "32768",
        "'32768' cannot be stored as World Reputation: it must be between -32768 and 32767.");
    row("i32 bottom", player, boxOf(player, "Wage (£)"), "-2147483648", "");
    row("i32 past", player, boxOf(player, "Value (£)"), "2147483648",
        "'2147483648' is not a valid integer value");
    row("u16 year", staff, boxOf(staff, "Nat End", PersonBox::Year), "65536",
        "'65536' cannot be stored as Nat End: it must be between 0 and 65535.");
    row("day", player, boxOf(player, "Join", PersonBox::Day), "x",
        "'x' is not a valid integer value");
    row("rating", staff, boxOf(staff, "Work With Youngster"), "2 0",
        "'2 0' is not a valid integer value");
}

// A number is stored only when it fits its field: no truncation to the low
// bytes, and a refusal names the text and the field and writes nothing.
void tst_PersonEdit::numbersMustFitTheirFields()
{
    QFETCH(RoleScreen, screen);
    QFETCH(int, box);
    QFETCH(QString, typed);
    QFETCH(QString, message);
    const int i = find(screen);
    PersonEdit edit = load(i, screen);
    edit.boxes[box] = typed;
    const Images before = Images::of(*mDb);
    const EditResult result = apply(i, edit);
    QCOMPARE(result.message, message);
    QCOMPARE(result.ok(), message.isEmpty());
    if (!result.ok()) {
        QCOMPARE(result.box, box);
        QCOMPARE(Images::of(*mDb), before);
        QVERIFY(!mDb->isModified());
    } else {
        QCOMPARE(load(i, screen).boxes[box], typed);
    }
}

void tst_PersonEdit::scaledNumbers()
{
    // A club reputation is typed in units of 500 and stored in 16 bits.
    const NumberField reputation{0, NumberType::I16, "Reputation", 500};
    QCOMPARE(checkNumber(QStringLiteral("65"), reputation).stored, std::optional<qint64>(32500));
    QCOMPARE(checkNumber(QStringLiteral("-65"), reputation).stored, std::optional<qint64>(-32500));
    const NumberCheck tooBig = checkNumber(QStringLiteral("66"), reputation);
    QVERIFY(!tooBig.stored);
    QCOMPARE(
        tooBig.message,
        QStringLiteral("'66' cannot be stored as Reputation: it must be between -65 and 65."));
    QVERIFY(!checkNumber(QStringLiteral("-66"), reputation).stored);
}

void tst_PersonEdit::refusedEditChangesNothing_data()
{
    QTest::addColumn<RoleScreen>("screen");
    QTest::addColumn<bool>("creating");
    QTest::addColumn<bool>("badHistory"); // else a bad box
    QTest::newRow("player box") << RoleScreen::Player << false << false;
    QTest::newRow("player history row") << RoleScreen::Player << false << true;
    QTest::newRow("new player") << RoleScreen::Player << true << false;
    QTest::newRow("new staff") << RoleScreen::Staff << true << false;
}

// The check comes first: a bad text leaves names, misc lines, nations, history
// and the records as they were, and adds no record in new-record mode. Only
// the first bad box is reported.
void tst_PersonEdit::refusedEditChangesNothing()
{
    QFETCH(RoleScreen, screen);
    QFETCH(bool, creating);
    QFETCH(bool, badHistory);
    const int i = find(screen);
    PersonEdit edit = creating ? newPersonEdit(screen) : load(i, screen);
    edit.firstName = "Changed";
    edit.nationItem = edit.nationItem == 1 ? 2 : 1;
    edit.changed = {true, true, true, true, true, badHistory};
    edit.playerMisc.tClub = mLookups.clubNames().get(0);
    const int bad = boxOf(screen, "Caps");
    if (badHistory) {
        edit.history.append({"19x9/00", UnknownHistoryClubText, "1", "1"});
    } else {
        edit.boxes[bad] = QStringLiteral("many");
        edit.boxes[bad + 1] = QStringLiteral("also bad");
    }
    const Images before = Images::of(*mDb);

    const EditResult result = apply(creating ? std::nullopt : std::optional<int>(i), edit);
    QVERIFY(!result.ok());
    QCOMPARE(result.box, badHistory ? HistoryBox : bad);
    QCOMPARE(Images::of(*mDb), before);
    QVERIFY(!mDb->isModified());

    if (!badHistory)
        edit.boxes[bad] = edit.boxes[bad + 1] = QStringLiteral("7");
    if (badHistory)
        edit.history.last().season = "1999/00";
    const EditResult again = apply(creating ? std::nullopt : std::optional<int>(i), edit);
    QVERIFY(again.ok());
    QCOMPARE(*again.record, creating ? before.counters.persons : i);
    QCOMPARE(FirstNameText(*mDb, person(*mDb, *again.record)->firstName()), QByteArray("Changed"));
    KX3_VERIFY_SOUND(*mDb, mLookups, IntegrityOptions{true});
}

// List items store their codes, names go through the name tables only when
// marked, and a new nationality recounts the old and the new nation.
void tst_PersonEdit::itemsAndNames()
{
    const int i = findPerson(*mDb, [](const PersonRecord &p) {
        return p.classification() == Classification::PlayerNonPlayer && p.nationality() >= 3;
    });
    PersonRecord p = *person(*mDb, i);
    const int oldNation = p.nationality();
    const int oldJob = p.job();
    const int clubs = mDb->clubCount();
    const std::int32_t oldSecondName = p.secondName();

    // Stored values the lists have no item for show none and are kept.
    p.setSecondNationality(-7);
    p.setJob(40);
    p.setNationalTeam(3); // a club, not a national team
    PersonEdit staff = load(i, RoleScreen::Staff);
    QCOMPARE(staff.secondNationItem, 0);
    QCOMPARE(staff.jobItem, -1);
    QCOMPARE(staff.nationalTeamItem, -1);
    staff.firstName = "Zebedee";
    staff.changed.firstName = true;
    staff.secondName = "Ignored"; // not marked: not resolved
    staff.formationItem = 2;
    QVERIFY(apply(i, staff).ok());
    QCOMPARE(p.secondNationality(), -2);
    QCOMPARE(p.job(), 40);
    QCOMPARE(p.nationalTeam(), 3);
    QCOMPARE(FirstNameText(*mDb, p.firstName()), QByteArray("Zebedee"));
    QCOMPARE(p.secondName(), oldSecondName);
    QCOMPARE(staffAttributesOf(*mDb, p)->formation(), 3); // "4-4-2"
    p.setJob(oldJob);

    staff = load(i, RoleScreen::Staff);
    staff.nationalTeamItem = 3; // the third nation's team
    staff.nationItem = 0;       // "<none>"
    staff.changed.nationality = true;
    QVERIFY(apply(i, staff).ok());
    QCOMPARE(p.nationalTeam(), clubs + 2);
    QCOMPARE(p.nationality(), -1);
    QCOMPARE(load(i, RoleScreen::Staff).nationalTeamItem, 3);

    PersonEdit player = load(i, RoleScreen::Player);
    player.nationItem = 3;
    player.changed.nationality = player.changed.firstName = true;
    QVERIFY(apply(i, player).ok());
    QCOMPARE(p.nationality(), 2);
    for (int n : {oldNation, 2}) {
        int people = 0;
        for (int k = 0; k < personCount(*mDb); ++k)
            people += person(*mDb, k)->nationality() == n ? 1 : 0;
        QCOMPARE(nation(*mDb, n)->personCount(), people);
    }

    // "Nat Job" is stored as chosen; his national team, whose squad is not
    // membership, keeps listing him where it did.
    const int manager = findPerson(*mDb, [](const PersonRecord &r) {
        return r.nationalTeam() >= 0 && r.nationalJob() == Job::Manager;
    });
    const int teamIndex = person(*mDb, manager)->nationalTeam();
    const qsizetype teamAt = qsizetype(teamIndex) * RecordSize::Club;
    const QByteArray team = mDb->clubs().bytes().mid(teamAt, RecordSize::Club);
    QVERIFY(club(*mDb, teamIndex)->positionSlot(ClubSlots::Manager.first) == manager);
    PersonEdit duty = load(manager, RoleScreen::Staff);
    duty.nationalJobItem = Job::Coach;
    QVERIFY(apply(manager, duty).ok());
    QCOMPARE(person(*mDb, manager)->nationalJob(), Job::Coach);
    QCOMPARE(mDb->clubs().bytes().mid(teamAt, RecordSize::Club), team);
    KX3_VERIFY_SOUND(*mDb, mLookups, IntegrityOptions{true});
}

void tst_PersonEdit::createAppendsWithDefaults_data()
{
    QTest::addColumn<RoleScreen>("screen");
    QTest::newRow("player") << RoleScreen::Player;
    QTest::newRow("staff") << RoleScreen::Staff;
}

void tst_PersonEdit::createAppendsWithDefaults()
{
    QFETCH(RoleScreen, screen);
    const bool player = screen == RoleScreen::Player;
    const StaffCounters before = mDb->counters();
    PersonEdit edit = newPersonEdit(screen);
    const int rating = boxOf(screen, player ? "Acceleration" : "Attacking Play");
    edit.boxes[rating] = QStringLiteral("15");
    const EditResult result = apply(std::nullopt, edit);
    QVERIFY(result.ok());
    QCOMPARE(*result.record, before.persons);
    QCOMPARE(mDb->counters().persons, before.persons + 1);
    QCOMPARE(mDb->counters().playerAttributes, before.playerAttributes + (player ? 1 : 0));
    QCOMPARE(mDb->counters().staffAttributes, before.staffAttributes + (player ? 0 : 1));

    const PersonRecord p = *person(*mDb, before.persons);
    QCOMPARE(p.id(), before.persons);
    QCOMPARE(FirstNameText(*mDb, p.firstName()) + ' ' + CommonNameText(*mDb, p.commonName()) + ' '
                 + SecondNameText(*mDb, p.secondName()),
             QByteArray("<first name> <common name> <second name>"));
    // Birth, national joined, national contract end, joined, contract end.
    const RecordDate nationalJoined = player ? RecordDate{} : RecordDate{31, 1900, 0};
    const RecordDate nationalEnd = player ? RecordDate{31, 1900, 1} : RecordDate{31, 1900, 0};
    QCOMPARE((QList<RecordDate>{p.dateOfBirth(), p.nationalJoined(), p.nationalContractEnd(),
                                p.joined(), p.contractEnd()}),
             (QList<RecordDate>{
                 {31, 1900, 0}, nationalJoined, nationalEnd, {1, 1996, 0}, {31, 1900, 0}}));
    // Nationality, second nationality, national team, national job, club, job,
    // plays in, classification, unused 24, 96 and 149.
    QCOMPARE(
        (QList<qint64>{p.nationality(), p.secondNationality(), p.nationalTeam(), p.nationalJob(),
                       p.club(), p.job(), p.playsIn(), p.classification(),
                       p.get(PersonField::Unused24), p.get(PersonField::Unused96),
                       p.get(PersonField::Unused149)}),
        (QList<qint64>{-1, -2, -2, 0, -2, player ? Job::Player : Job::Manager, 1,
                       player ? Classification::Player : Classification::NonPlayer, 0, 0, -1}));
    for (int s = 0; s < PersonRelationship::Count; ++s)
        QCOMPARE(p.relationship(s), PersonRelationship::isClubSlot(s) ? -2 : -1);
    if (player) {
        const PlayerAttributes a = *playerAttributesOf(*mDb, p);
        QCOMPARE(p.staffAttributes(), -1);
        QCOMPARE(a.id(), before.playerAttributes);
        QCOMPARE(a.playingRating(0), 15);
        QCOMPARE(a.image()->read(a.offset() + 4, 23), QByteArray(23, '\0'));
        QCOMPARE(int(a.get(PlayerAttributesField::Unused69)), 2);
    } else {
        const StaffAttributes a = *staffAttributesOf(*mDb, p);
        QCOMPARE(p.playerAttributes(), -1);
        QCOMPARE(a.id(), before.staffAttributes);
        QCOMPARE(a.rating(0), 15);
        QCOMPARE(a.formation(), 3);
    }
    KX3_VERIFY_SOUND(*mDb, mLookups, IntegrityOptions{true});
}

void tst_PersonEdit::makePerfect()
{
    // Abilities and reputations 200, Dirtiness and Injury Prone 1, the rest 20;
    // position ratings, squad number, dates and formation are not touched.
    for (RoleScreen screen : {RoleScreen::Player, RoleScreen::Staff}) {
        const bool player = screen == RoleScreen::Player;
        const std::span<const PersonBox> boxes = personBoxes(screen);
        QList<int> seen;
        for (const PerfectValue &v : perfectValues(screen)) {
            const QByteArray caption(boxes[std::size_t(v.box)].field.caption);
            const bool top = caption == "Current Ability" || caption == "Potential Ability"
                             || caption.endsWith("Reputation");
            const bool low = caption == "Dirtiness" || caption == "Injury Prone";
            QVERIFY2(v.value == (top ? 200 : low ? 1 : 20), caption.constData());
            QVERIFY(!seen.contains(v.box));
            seen.append(v.box);
        }
        QCOMPARE(seen.size(), player ? 8 + 5 + 42 : 8 + 5 + 21);
        for (const char *kept : {"Caps", "Squad#", "Goalkeeper", "Free Role"}) {
            if (player || qstrcmp(kept, "Caps") == 0)
                QVERIFY2(!seen.contains(boxOf(screen, kept)), kept);
        }
    }
}

void tst_PersonEdit::damagedPersonKeepsHisBytes_data()
{
    QTest::addColumn<RoleScreen>("screen");
    QTest::newRow("player") << RoleScreen::Player;
    QTest::newRow("staff") << RoleScreen::Staff;
}

// Values no list or box shows faithfully (a nationality past the nations, a
// date of all 0xFF bytes) come back from a confirm without edits unchanged.
void tst_PersonEdit::damagedPersonKeepsHisBytes()
{
    QFETCH(RoleScreen, screen);
    const int i = find(screen);
    PersonRecord p = *person(*mDb, i);
    p.setNationality(30000);
    p.setSecondNationality(30001);
    DataImage &staff = mDb->image(DataFile::Staff);
    staff.write(p.offset() + PersonField::DateOfBirth.offset, QByteArray(8, char(0xFF)));
    const QByteArray before = staff.bytes();
    const PersonEdit edit = load(i, screen);
    QCOMPARE(edit.nationItem, -1);
    QVERIFY(apply(i, edit).ok());
    QCOMPARE(staff.bytes(), before);
}

QTEST_GUILESS_MAIN(tst_PersonEdit)
#include "tst_PersonEdit.moc"
