#include "gui/people/StaffScreen.h"

#include "core/db/Cp1252.h"
#include "core/layout/CodeLists.h"
#include "core/layout/StaffAttributes.h"
#include "core/lookup/MiscEntries.h"
#include "core/lookup/NameTables.h"
#include "gui/app/SearchMenuModes.h"
#include "gui/app/TMainForm.h"

#include "../support/MainFormFixture.h"
#include "../support/OffscreenTestMain.h"
#include "../support/PersonScreenFixture.h"

#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QPushButton>
#include <QSignalSpy>
#include <QStackedWidget>
#include <QTabWidget>
#include <QToolButton>
#include <QTreeWidget>

using namespace kx3;
using kx3::test::ScriptedPrompter;

namespace {

// Texts as the user sees them, spelt out here rather than taken from the code.
const QString Question = QStringLiteral("Are you sure?");
const QString StaffFreeTransfer =
    QStringLiteral("To change job, staff must be released on Free Transfer first.\r"
                   "Then, you may transfer him back to his club after change his job.");

constexpr int Nations = 6;
constexpr int Clubs = 12;

/// Everything a confirm could touch.
struct Snapshot
{
    QList<QByteArray> images;
    QByteArray clubs;
    StaffCounters counters;
    QList<QByteArray> lines;
    bool modified = false;
    bool operator==(const Snapshot &) const = default;
};

Snapshot snapshot(const Database &db)
{
    Snapshot s;
    for (DataFile f : AllDataFiles)
        s.images.append(db.image(f).bytes());
    s.clubs = db.clubs().bytes();
    s.counters = db.counters();
    s.lines = db.setupLines();
    s.modified = db.isModified();
    return s;
}

} // namespace

class tst_StaffScreen : public QObject, public test::PersonScreenFixture<StaffScreen>
{
    Q_OBJECT

private Q_SLOTS:
    void initTestCase()
    {
        BuilderOptions options;
        options.nations = Nations;
        options.clubs = Clubs;
        setUpInstallation(options);
    }
    void init() { setUpScreen(); }
    void cleanup() { tearDownScreen(); }

    void showAndButtons();
    void confirmEveryPersonUnchanged() { PersonScreenFixture::confirmEveryPersonUnchanged(); }
    void fieldsAtOffsets_data();
    void fieldsAtOffsets();
    void refusalFocusesTheBox_data();
    void refusalFocusesTheBox();
    void miscEntriesWrittenAndDeleted();
    void miscListRows();
    void jobRules_data();
    void jobRules();
    void makePerfect();
    void createNewStaff();
    void inTheMainWindow();

private:
    QLineEdit *edit(const char *name) const { return w<QLineEdit>(name); }
    QComboBox *list(const char *name) const { return w<QComboBox>(name); }
    PersonRecord personRecord(int i) { return rec(i); }
    StaffAttributes staffRecord(int i) { return *staffAttributesOf(*mDb, rec(i)); }
    /// A non-player (or a Player/Non-Player when asked) without a club.
    int unattached(int cls = Classification::NonPlayer)
    {
        return freePerson([cls](const PersonRecord &p) { return p.classification() == cls; });
    }
};

void tst_StaffScreen::showAndButtons()
{
    const int withClub = find([](const PersonRecord &p) {
        return p.classification() == Classification::PlayerNonPlayer && p.club() >= 0;
    });
    const Snapshot before = snapshot(*mDb);
    mState.newRecordMode = true;
    open(withClub);
    QVERIFY(snapshot(*mDb) == before);
    const PersonRecord p = personRecord(withClub);
    QCOMPARE(mScreen->title(), fromCp1252(FirstNameText(*mDb, p.firstName()) + ' '
                                          + SecondNameText(*mDb, p.secondName())));
    QCOMPARE(w<QLabel>("SClub")->text(), fromCp1252(ClubShortName(*mDb, p.club())));
    QCOMPARE(mScreen->createButton().caption, QStringLiteral("Create New Staff"));
    QCOMPARE(mScreen->deleteButton().caption, QStringLiteral("Delete Staff"));
    QVERIFY(mScreen->createButton().enabled && mScreen->deleteButton().enabled);
    QVERIFY(!mState.newRecordMode);

    click("bnPlaying");
    click("bnSToClub");
    QTest::mouseDClick(w<QLabel>("SClub"), Qt::LeftButton);
    list("SNatTeam")->setCurrentIndex(3);
    click("bnSNatTeam");
    list("SSecNation")->setCurrentIndex(0);
    click("bnSSecNat"); // "<none>" goes nowhere
    const std::pair club(EditorScreen::Club, qint64(p.club()) * 581);
    QCOMPARE(mRequests, (QList<std::pair<EditorScreen, qint64>>{
                            {EditorScreen::Player, personOffset(withClub)},
                            club,
                            club,
                            {EditorScreen::Nation, 2 * 290}}));

    open(unattached());
    QCOMPARE(w<QLabel>("SClub")->text(), QStringLiteral("No Club"));
    QVERIFY(!w<QToolButton>("bnSToClub")->isEnabled());
    QVERIFY(!w<QPushButton>("bnPlaying")->isEnabled());
}

void tst_StaffScreen::fieldsAtOffsets_data()
{
    QTest::addColumn<QStringList>("input");
    QTest::addColumn<bool>("attributes");
    QTest::addColumn<int>("offset");
    QTest::addColumn<QByteArray>("bytes");
    using B = QByteArray;
    auto row = [](const char *name, QStringList input, bool attributes, int offset, B bytes) {
        QTest::newRow(name) << input << attributes << offset << bytes;
    };
    row("caps", {"SCap=255"}, false, 34, B("\xFF", 1));
    row("goals", {"SGoal=44"}, false, 35, B("\x2C", 1));
    row("date of birth 29 Feb", {"SDOB1=29", "SDOB2=2", "SDOB3=1980"}, false, 16,
        B("\x3B\x00\xBC\x07\x01\x00\x00\x00", 8));
    row("national join 1 Mar", {"NatJ1=1", "NatJ2=3", "NatJ3=1996"}, false, 41,
        B("\x3B\x00\xCC\x07\x00\x00\x00\x00", 8));
    row("national end 31 Dec", {"NatE1=31", "NatE2=12", "NatE3=2001"}, false, 49,
        B("\x6C\x01\xD1\x07\x00\x00\x00\x00", 8));
    row("joined", {"SJoin1=2", "SJoin2=1", "SJoin3=1996"}, false, 62,
        B("\x01\x00\xCC\x07\x00\x00\x00\x00", 8));
    row("contract end", {"SConEnd1=1", "SConEnd2=2", "SConEnd3=4464"}, false, 70,
        B("\x1F\x00\x70\x11\x00\x00\x00\x00", 8));
    row("mental ratings",
        {"SAda=1", "SAmb=2", "SDet=3", "SLoy=4", "SPre=5", "SPro=255", "SSpo=7", "STem=0"}, false,
        86, B("\x01\x02\x03\x04\x05\xFF\x07\x00", 8));
    row("national job", {"SJob2#9"}, false, 40, B("\x09", 1));
    row("job retired", {"SJob1#16"}, false, 61, B("\x10", 1));
    row("class unknown", {"SClass#0"}, false, 95, B("\x00", 1));
    row("second nationality none", {"SSecNation#0"}, false, 30, B("\xFE\xFF\xFF\xFF", 4));
    row("second nationality 2", {"SSecNation#3"}, false, 30, B("\x02\x00\x00\x00", 4));
    row("national duty none", {"SNatTeam#0"}, false, 36, B("\xFE\xFF\xFF\xFF", 4));
    row("abilities", {"SCurAbi=-2", "SPotAbi=4464", "SHomRep=200", "SCurRep=3", "SWorRep=-32768"},
        true, 4, B("\xFE\xFF\x70\x11\xC8\x00\x03\x00\x00\x80", 10));
    QStringList ratings;
    B ratingBytes;
    const char *order[] = {"SAtt", "SBus", "SOut",  "SGk",   "SCoa", "SDir", "SDis",
                           "SFre", "SInt", "SJAbi", "SJPot", "SMan", "SMar", "SMot",
                           "SOff", "SPat", "SPhy",  "SPres", "SRes", "STac", "SYou"};
    for (int k = 0; k < 21; ++k) {
        ratings << QStringLiteral("%1=%2").arg(QLatin1String(order[k])).arg(k + 1);
        ratingBytes.append(char(k + 1));
    }
    row("21 ratings in record order", ratings, true, 14, ratingBytes);
    row("formation 3-4-3", {"SFor#8"}, true, 67, B("\x09", 1));
}

void tst_StaffScreen::fieldsAtOffsets()
{
    QFETCH(QStringList, input);
    QFETCH(bool, attributes);
    QFETCH(int, offset);
    QFETCH(QByteArray, bytes);
    const int i = unattached();
    open(i);
    click("ConfirmStaff"); // every date now in the form a confirm writes
    QByteArray want = mDb->image(DataFile::Staff).bytes();
    const qsizetype base = attributes ? staffRecord(i).offset() : personOffset(i);
    want.replace(base + offset, bytes.size(), bytes);

    for (const QString &assignment : input) {
        const QStringList parts = assignment.split(QRegularExpression(QStringLiteral("[=#]")));
        const QByteArray name = parts.at(0).toLatin1();
        if (assignment.contains(QLatin1Char('=')))
            type(name.constData(), parts.at(1));
        else
            list(name.constData())->setCurrentIndex(parts.at(1).toInt());
    }
    QVERIFY(mPrompter.texts().isEmpty());
    mPrompter.queue(true); // stored anyway when outside the range the screen shows
    click("ConfirmStaff");
    mPrompter.clear();
    QCOMPARE(mDb->image(DataFile::Staff).bytes().toHex(' '), want.toHex(' '));
}

void tst_StaffScreen::refusalFocusesTheBox_data()
{
    refusalColumns();
    refusalRow("SCap", "300", 0, "'300' cannot be stored as Caps: it must be between 0 and 255.");
    refusalRow("SYou", "-1", 1,
               "'-1' cannot be stored as Work With Youngster: it must be between 0 and 255.");
    refusalRow(
        "SCurAbi", "40000", 1,
        "'40000' cannot be stored as Current Ability: it must be between -32768 and 32767.");
    refusalRow("NatE3", "70000", 0,
               "'70000' cannot be stored as Nat End: it must be between 0 and 65535.");
    refusalRow("SDOB1", "4294967296", 0, "'4294967296' is not a valid integer value");
}

void tst_StaffScreen::refusalFocusesTheBox()
{
    checkRefusal(unattached(), "PC3");
}

void tst_StaffScreen::miscEntriesWrittenAndDeleted()
{
    // Person 1 is a non-player named by a protected header line.
    QCOMPARE(personRecord(1).classification(), Classification::NonPlayer);
    const QList<QByteArray> header = mDb->setupLines().mid(0, ProtectedSetupLines);
    open(1);
    const PersonRecord p = personRecord(1);
    const MiscIdentity who{{FirstNameText(*mDb, p.firstName()),
                            CommonNameText(*mDb, p.commonName()),
                            SecondNameText(*mDb, p.secondName())},
                           p.club() >= 0 ? ClubLongName(*mDb, p.club()) : QByteArray()};
    const QByteArray names = '"' + who.names.firstName + "\" \"" + who.names.commonName + "\" \""
                             + who.names.secondName + "\" \"" + who.clubLongName + '"';
    QList<QByteArray> others = mDb->setupLines();
    removeMiscEntries(others, who);

    type("MConf", QStringLiteral("250"));
    if (!w<QCheckBox>("SIntRet")->isChecked())
        w<QCheckBox>("SIntRet")->click();
    QVERIFY(mScreen->changedFlags().misc);
    click("ConfirmStaff");
    QCOMPARE(mDb->setupLines(), others
                                    + (QList<QByteArray>{"\"MANAGER_CONF\" " + names + " 250",
                                                         "\"INT_RETIREMENT\" " + names}));
    QCOMPARE(mDb->setupLines().mid(0, ProtectedSetupLines), header);

    open(1);
    QCOMPARE(edit("MConf")->text(), QStringLiteral("250"));
    QVERIFY(w<QCheckBox>("SIntRet")->isChecked());
    QVERIFY(!mScreen->changedFlags().misc);

    // His lines follow him when renamed instead of staying behind.
    type("SFName", QStringLiteral("Renamed"));
    click("ConfirmStaff");
    QCOMPARE(mDb->setupLines().size(), others.size() + 2);
    for (const QByteArray &line : mDb->setupLines().mid(ProtectedSetupLines))
        QVERIFY2(!MiscEntryMatches(line, who), line.constData());
    QVERIFY(mDb->setupLines().last().startsWith("\"INT_RETIREMENT\" \"Renamed\" "));

    type("MConf", QStringLiteral("0"));
    w<QCheckBox>("SIntRet")->click();
    click("ConfirmStaff");
    QCOMPARE(mDb->setupLines(), others);
}

void tst_StaffScreen::miscListRows()
{
    const int i = unattached();
    PersonRecord p = personRecord(i);
    p.setRelationship(0, 4);
    p.setRelationship(5, 0);
    p.setRelationship(11, 2);
    p.setRelationship(7, -5);
    open(i);
    auto *misc = w<QTreeWidget>("SMiscList");
    QCOMPARE(misc->topLevelItemCount(), 12);
    QCOMPARE(misc->topLevelItem(11)->text(0), QStringLiteral("Dislike Plyr/Staff 3"));
    const PersonRecord two = personRecord(2);
    QCOMPARE(misc->topLevelItem(0)->text(1), fromCp1252(mLookups.clubNames().get(4)));
    QCOMPARE(misc->topLevelItem(5)->text(1), fromCp1252(mLookups.clubNames().get(0)));
    QCOMPARE(misc->topLevelItem(11)->text(1),
             fromCp1252(FirstNameText(*mDb, two.firstName()) + ' '
                        + SecondNameText(*mDb, two.secondName())));
    QCOMPARE(misc->topLevelItem(7)->text(1), QStringLiteral("<none>"));

    QSignalSpy dialog(mScreen.get(), &PersonScreen::miscListDialogRequested);
    click("bnSMisc"); // no row selected: nothing
    QCOMPARE(dialog.size(), 0);
    misc->setCurrentItem(misc->topLevelItem(7));
    click("bnSMisc");
    QCOMPARE(dialog.size(), 1);
    QCOMPARE(dialog.last().at(1).toInt(), 7);
    // A rebuilt list keeps the row the dialog works on.
    mScreen->rebuildMiscList();
    QCOMPARE(misc->currentIndex().row(), 7);
}

void tst_StaffScreen::jobRules_data()
{
    QTest::addColumn<int>("cls");
    QTest::addColumn<bool>("hasClub");
    QTest::addColumn<int>("from");
    QTest::addColumn<int>("to");
    QTest::addColumn<int>("answer"); // -1 no question, 0 No, 1 Yes
    QTest::addColumn<QString>("message");
    QTest::addColumn<int>("shownAfter");
    QTest::addColumn<int>("storedAfter");
    const int NP = Classification::NonPlayer;
    const int PNP = Classification::PlayerNonPlayer;
    QTest::newRow("with club") << NP << true << 5 << 8 << -1 << StaffFreeTransfer << 5 << 5;
    QTest::newRow("manager to coach") << NP << false << 5 << 8 << -1 << QString() << 8 << 5;
    QTest::newRow("drop answered No") << PNP << false << 12 << 5 << 0 << Question << 12 << 12;
    QTest::newRow("drop answered Yes") << PNP << false << 12 << 5 << 1 << Question << 5 << 5;
}

void tst_StaffScreen::jobRules()
{
    QFETCH(int, cls);
    QFETCH(bool, hasClub);
    QFETCH(int, from);
    QFETCH(int, to);
    QFETCH(int, answer);
    QFETCH(QString, message);
    QFETCH(int, shownAfter);
    QFETCH(int, storedAfter);
    const int i = hasClub ? find([cls](const PersonRecord &p) {
        return p.classification() == cls && p.club() >= 0;
    })
                          : unattached(cls);
    QVERIFY(i >= 0);
    personRecord(i).setJob(from);
    const int players = mDb->counters().playerAttributes;
    open(i);
    const Snapshot before = snapshot(*mDb);
    if (answer >= 0)
        mPrompter.queue(answer == 1);
    QSignalSpy dropped(mDoc.get(), &Document::historyChanged);
    list("SJob1")->setCurrentIndex(to);
    QCOMPARE(mPrompter.texts(), message.isEmpty() ? QStringList() : QStringList{message});
    QCOMPARE(list("SJob1")->currentIndex(), shownAfter);
    QCOMPARE(personRecord(i).job(), storedAfter);
    if (answer == 1) {
        QCOMPARE(dropped.size(), 1);
        QCOMPARE(personRecord(i).classification(), Classification::NonPlayer);
        QCOMPARE(personRecord(i).playerAttributes(), -1);
        QCOMPARE(mDb->counters().playerAttributes, players - 1);
        QCOMPARE(list("SClass")->currentIndex(), Classification::NonPlayer);
        QVERIFY(!w<QPushButton>("bnPlaying")->isEnabled());
        KX3_VERIFY_SOUND(*mDb);
    } else {
        QCOMPARE(dropped.size(), 0);
        QVERIFY(snapshot(*mDb) == before);
    }
}

void tst_StaffScreen::makePerfect()
{
    const int i = unattached();
    open(i);
    type("SCoa", QStringLiteral("3"));
    const QList<QLineEdit *> boxes = mScreen->findChildren<QLineEdit *>();
    auto texts = [&boxes] {
        QStringList t;
        for (const QLineEdit *b : boxes)
            t << b->objectName() + QLatin1Char('=') + b->text();
        return t;
    };
    const QStringList before = texts();
    const Snapshot image = snapshot(*mDb);
    const int formation = list("SFor")->currentIndex();

    mPrompter.queue(false);
    click("bnSMax");
    QCOMPARE(mPrompter.lastText(), Question);
    QCOMPARE(texts(), before);

    mPrompter.queue(true);
    click("bnSMax");
    QVERIFY(snapshot(*mDb) == image);
    for (const char *name :
         {"SAda", "SAmb", "SDet", "SLoy", "SPre", "SPro",  "SSpo", "STem",  "SAtt",  "SBus",
          "SOut", "SGk",  "SCoa", "SDir", "SDis", "SFre",  "SInt", "SJAbi", "SJPot", "SMan",
          "SMar", "SMot", "SOff", "SPat", "SPhy", "SPres", "SRes", "STac",  "SYou"})
        QCOMPARE(edit(name)->text(), QStringLiteral("20"));
    for (const char *name : {"SCurAbi", "SPotAbi", "SHomRep", "SWorRep", "SCurRep"})
        QCOMPARE(edit(name)->text(), QStringLiteral("200"));
    QCOMPARE(list("SFor")->currentIndex(), formation);
    QCOMPARE(edit("SCap")->text(), before.filter(QStringLiteral("SCap=")).first().mid(5));

    click("ConfirmStaff");
    QCOMPARE(staffRecord(i).currentAbility(), 200);
    QCOMPARE(staffRecord(i).rating(4), 20); // Coaching Style
    QCOMPARE(personRecord(i).mentalRating(7), 20);
}

// What the screen does about a new record; the record's bytes are the core's.
void tst_StaffScreen::createNewStaff()
{
    open(unattached());
    const Snapshot before = snapshot(*mDb);
    const StaffCounters c = before.counters;
    mPrompter.queue(false);
    mScreen->beginNewRecord();
    QVERIFY(!mState.newRecordMode);
    mPrompter.queue(true);
    mScreen->beginNewRecord();
    mPrompter.queue(true);
    mScreen->beginNewRecord(); // twice still adds one record
    QCOMPARE(mPrompter.texts(), QStringList(3, Question));
    QVERIFY(!mScreen->deleteButton().enabled);
    QVERIFY(mState.newRecordMode);
    QVERIFY(snapshot(*mDb) == before);
    QCOMPARE(mScreen->title(), QStringLiteral("<first name> <second name>"));
    QCOMPARE(QStringList({edit("NatE1")->text(), edit("NatE2")->text(), edit("NatE3")->text()}),
             QStringList({"1", "2", "1900"}));
    QCOMPARE(list("SJob1")->currentText(), QStringLiteral("Manager"));
    QCOMPARE(list("SFor")->currentText(), QStringLiteral("4-4-2"));
    QCOMPARE(w<QTreeWidget>("SMiscList")->topLevelItemCount(), 0);
    for (const char *off : {"bnSToClub", "STransfer", "bnPlaying"})
        QVERIFY2(!w<QAbstractButton>(off)->isEnabled(), off);

    type("SCurAbi", QStringLiteral("120"));
    click("ConfirmStaff");
    QVERIFY(!mState.newRecordMode);
    QCOMPARE(mState.offset(EditorScreen::Player), personOffset(c.persons));
    QCOMPARE(mDb->counters().persons, c.persons + 1);
    QCOMPARE(staffRecord(c.persons).currentAbility(), 120);
    QVERIFY(mScreen->deleteButton().enabled);
    KX3_VERIFY_SOUND(*mDb);

    // From now on the confirm overwrites the new record.
    type("SCurAbi", QStringLiteral("121"));
    click("ConfirmStaff");
    QCOMPARE(mDb->counters().persons, c.persons + 1);
    QCOMPARE(staffRecord(c.persons).currentAbility(), 121);
}

void tst_StaffScreen::inTheMainWindow()
{
    QApplication::setQuitOnLastWindowClosed(false);
    auto owned = std::make_unique<ScriptedPrompter>();
    ScriptedPrompter &prompter = *owned;
    TMainForm form(std::make_unique<test::FakeSource>(), mInstall->path(), std::move(owned));
    form.show();
    QVERIFY(QTest::qWaitForWindowActive(&form));
    auto get = [&form](const char *name) {
        QWidget *found = form.findChild<QWidget *>(QLatin1String(name));
        if (!found)
            qFatal("no control %s", name);
        return found;
    };
    auto press = [&get](const char *name) { QTest::mouseClick(get(name), Qt::LeftButton); };
    press("bnBegin");
    Database &db = form.database();
    const int i = 1;
    form.openRecord(EditorScreen::Staff, personOffset(i));
    QCOMPARE(qobject_cast<QStackedWidget *>(get("pnEditPanels"))->currentWidget(), get("pnStaff"));
    QCOMPARE(qobject_cast<QLabel *>(get("pn2"))->text(), form.staffScreen()->title());
    auto *create = qobject_cast<QPushButton *>(get("bnCreateNew"));
    auto *remove = qobject_cast<QPushButton *>(get("bnDelete"));
    QCOMPARE(create->text(), QStringLiteral("Create New Staff"));
    QCOMPARE(remove->text(), QStringLiteral("Delete Staff"));
    QVERIFY(create->isEnabled() && remove->isEnabled());

    // The misc-list dialog writes a club into the first relationship slot.
    auto *misc = qobject_cast<QTreeWidget *>(get("SMiscList"));
    misc->setCurrentItem(misc->topLevelItem(0));
    press("bnSMisc");
    QCOMPARE(form.currentPanel()->objectName(), QStringLiteral("pnSearch1"));
    QVERIFY(form.searchModes()->pickClub(3 * RecordSize::Club));
    QCOMPARE(form.currentPanel()->objectName(), QStringLiteral("pnEdit"));
    QCOMPARE(person(db, i)->relationship(0), 3);
    QCOMPARE(misc->topLevelItem(0)->text(1), fromCp1252(ClubShortName(db, 3)));

    const int persons = personCount(db);
    prompter.queue(true);
    press("bnCreateNew");
    QCOMPARE(prompter.lastText(), Question);
    QCOMPARE(qobject_cast<QLabel *>(get("pn2"))->text(),
             QStringLiteral("<first name> <second name>"));
    QVERIFY(!remove->isEnabled());
    press("ConfirmStaff");
    QCOMPARE(personCount(db), persons + 1);
    QVERIFY(remove->isEnabled());
    KX3_VERIFY_SOUND(db);
    db.clearHistory(); // no question when the window closes
}

KX3_GUI_TEST_MAIN(tst_StaffScreen)
#include "tst_StaffScreen.moc"
