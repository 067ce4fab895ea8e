#include "TestDatabase.h"

#include "core/clubs/ClubRecord.h"
#include "core/clubs/Transfers.h"
#include "core/db/Cp1252.h"
#include "core/db/Database.h"
#include "core/db/Lookups.h"
#include "core/db/MiscEntries.h"
#include "core/db/NameEntry.h"
#include "core/db/NameTables.h"
#include "core/nations/NationRecord.h"
#include "core/people/CodeLists.h"
#include "core/people/PersonRecord.h"
#include "core/people/PlayerAttributes.h"
#include "core/people/StaffAttributes.h"
#include "core/records/IntegrityCheck.h"
#include "gui/app/EditorState.h"
#include "gui/app/SearchMenuModes.h"
#include "gui/app/TMainForm.h"
#include "gui/people/StaffScreen.h"

#include "../support/MainFormFixture.h"
#include "../support/OffscreenTestMain.h"
#include "../support/ScriptedPrompter.h"

#include <QAbstractButton>
#include <QCheckBox>
#include <QComboBox>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRegularExpression>
#include <QSignalSpy>
#include <QStackedWidget>
#include <QToolButton>
#include <QTreeWidget>

#include <functional>
#include <memory>

using namespace kx3;
using kx3::test::ScriptedPrompter;

#define VERIFY_SOUND(db)                                                                          \
    do {                                                                                          \
        const QStringList problems_ = checkIntegrity(db);                                         \
        QVERIFY2(problems_.isEmpty(), qPrintable(problems_.join(QLatin1Char('\n'))));             \
    } while (false)

namespace {

// Texts as the user sees them, spelt out here rather than taken from the code.
const QString Question = QStringLiteral("Are you sure?");
const QString JobRefused = QStringLiteral("Job cannot be changed");
const QString ClassRefused = QStringLiteral("Class can not be changed");
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

int nationPersons(Database &db, int n)
{
    int count = 0;
    for (int i = 0; i < personCount(db); ++i)
        count += person(db, i)->nationality() == n ? 1 : 0;
    return count;
}

} // namespace

class tst_StaffScreen : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void initTestCase();
    void init();
    void cleanup();

    void showAndButtons();
    void unchangedConfirmRewritesSameValues();
    void fieldsAtOffsets_data();
    void fieldsAtOffsets();
    void namesGoThroughNameTables();
    void nationalityRecount_data();
    void nationalityRecount();
    void natTeamMapping_data();
    void natTeamMapping();
    void miscEntriesWrittenAndDeleted();
    void miscListRows();
    void jobRules_data();
    void jobRules();
    void classRules_data();
    void classRules();
    void makePerfect();
    void failedConfirmChangesNothing_data();
    void failedConfirmChangesNothing();
    void createNewStaff();
    void inTheMainWindow();

private:
    template <typename T>
    T *w(const char *name) const
    {
        T *found = mScreen->findChild<T *>(QLatin1String(name));
        if (!found)
            qFatal("no control %s", name);
        return found;
    }
    QLineEdit *edit(const char *name) const { return w<QLineEdit>(name); }
    QComboBox *list(const char *name) const { return w<QComboBox>(name); }
    /// Replaces a box's text by typing, as a user does.
    void type(const char *name, const QString &text)
    {
        QLineEdit *box = edit(name);
        box->selectAll();
        QTest::keyClick(box, Qt::Key_Delete);
        for (const QChar ch : text) {
            if (ch.unicode() < 0x80) {
                QTest::keyClick(box, char(ch.unicode()));
            } else { // Qt Test types ASCII only
                QKeyEvent press(QEvent::KeyPress, Qt::Key_unknown, Qt::NoModifier, QString(ch));
                QApplication::sendEvent(box, &press);
            }
        }
    }
    void click(const char *name)
    {
        auto *b = w<QAbstractButton>(name);
        QVERIFY2(b->isEnabled(), name);
        QTest::mouseClick(b, Qt::LeftButton);
    }
    void open(int index)
    {
        mState.personOffset = personOffset(index);
        mScreen->ShowStaff();
    }
    int find(const std::function<bool(const PersonRecord &)> &pred)
    {
        for (int i = 0; i < personCount(*mDb); ++i) {
            if (pred(*person(*mDb, i)))
                return i;
        }
        return -1;
    }
    /// A non-player (or a Player/Non-Player when asked) without a club.
    int unattached(int cls = Classification::NonPlayer)
    {
        const int i = find([cls](const PersonRecord &p) { return p.classification() == cls; });
        if (i >= 0 && person(*mDb, i)->club() >= 0)
            releasePerson(*mDb, i);
        return i;
    }
    PersonRecord personRecord(int i) { return *person(*mDb, i); }
    StaffAttributes staffRecord(int i) { return *staffAttributesOf(*mDb, personRecord(i)); }

    std::unique_ptr<test::TestInstallation> mInstall;
    std::unique_ptr<Database> mDb;
    Lookups mLookups;
    EditorState mState;
    ScriptedPrompter mPrompter;
    std::unique_ptr<StaffScreen> mScreen;
};

void tst_StaffScreen::initTestCase()
{
    BuilderOptions options;
    options.persons = 240;
    options.nations = Nations;
    options.clubs = Clubs;
    mInstall = std::make_unique<test::TestInstallation>(options);
    QVERIFY2(mInstall->isValid(), qPrintable(mInstall->errorString()));
}

void tst_StaffScreen::init()
{
    mDb = std::make_unique<Database>();
    QVERIFY(mInstall->loadInto(*mDb));
    mLookups = Lookups();
    mLookups.build(*mDb);
    mState = EditorState();
    mPrompter.clear();
    mScreen = std::make_unique<StaffScreen>(*mDb, mLookups, mState, &mPrompter);
    mScreen->show();
}

void tst_StaffScreen::cleanup()
{
    QCOMPARE(mPrompter.pendingAnswers(), 0);
    mScreen.reset();
}

// Showing fills the screen and sets the editor's buttons but writes nothing;
// the role and go-to buttons ask for their screens.
void tst_StaffScreen::showAndButtons()
{
    const int withClub = find([](const PersonRecord &p) {
        return p.classification() == Classification::PlayerNonPlayer && p.club() >= 0;
    });
    QSignalSpy create(mScreen.get(), &StaffScreen::createButtonChanged);
    QSignalSpy remove(mScreen.get(), &StaffScreen::deleteButtonChanged);
    QSignalSpy toPlayer(mScreen.get(), &StaffScreen::playerScreenRequested);
    QSignalSpy clubs(mScreen.get(), &StaffScreen::clubRequested);
    QSignalSpy nations(mScreen.get(), &StaffScreen::nationRequested);
    const Snapshot before = snapshot(*mDb);
    mState.newRecordMode = true;
    open(withClub);
    QVERIFY(snapshot(*mDb) == before);
    const PersonRecord p = personRecord(withClub);
    QCOMPARE(mScreen->title(), fromCp1252(FirstNameText(*mDb, p.firstName()) + ' '
                                          + SecondNameText(*mDb, p.secondName())));
    QCOMPARE(w<QLabel>("SClub")->text(), fromCp1252(ClubShortName(*mDb, p.club())));
    QCOMPARE(create.last(), (QVariantList{QStringLiteral("Create New Staff"), true}));
    QCOMPARE(remove.last(), (QVariantList{QStringLiteral("Delete Staff"), true}));
    QVERIFY(!mState.newRecordMode);
    QCOMPARE(mState.recordKind, RecordKind::Staff);

    click("bnPlaying");
    QCOMPARE(toPlayer.size(), 1);
    click("bnSToClub");
    QTest::mouseDClick(w<QLabel>("SClub"), Qt::LeftButton);
    QCOMPARE(clubs.size(), 2);
    QCOMPARE(clubs.last().at(0).toLongLong(), qint64(p.club()) * 581);
    list("SNatTeam")->setCurrentIndex(3);
    click("bnSNatTeam");
    list("SSecNation")->setCurrentIndex(0);
    click("bnSSecNat"); // "<none>" goes nowhere
    QCOMPARE(nations.size(), 1);
    QCOMPARE(nations.last().at(0).toLongLong(), 2 * 290);

    open(unattached());
    QCOMPARE(w<QLabel>("SClub")->text(), QStringLiteral("No Club"));
    QVERIFY(!w<QToolButton>("bnSToClub")->isEnabled());
    QVERIFY(!w<QPushButton>("bnPlaying")->isEnabled());
}

void tst_StaffScreen::unchangedConfirmRewritesSameValues()
{
    for (int cls : {Classification::NonPlayer, Classification::PlayerNonPlayer}) {
        const int i = find([cls](const PersonRecord &p) { return p.classification() == cls; });
        QVERIFY(i >= 0);
        // What an unchanged confirm may alter: dates are encoded again, and a
        // negative second nationality becomes -2.
        PersonRecord p = personRecord(i);
        p.setSecondNationality(-7);
        for (const DateField f :
             {PersonField::DateOfBirth, PersonField::NationalJoined,
              PersonField::NationalContractEnd, PersonField::Joined, PersonField::ContractEnd}) {
            int day = 0;
            int month = 0;
            decodeRecordDate(p.get(f), day, month);
            p.set(f, encodeRecordDate(day, month, p.get(f).year));
        }
        const Snapshot before = snapshot(*mDb);
        open(i);
        click("ConfirmStaff");
        QCOMPARE(personRecord(i).secondNationality(), -2);
        personRecord(i).setSecondNationality(-7);
        Snapshot after = snapshot(*mDb);
        QVERIFY(after.modified);
        after.modified = before.modified;
        QVERIFY(after == before);
        QVERIFY(mPrompter.texts().isEmpty());
    }
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
    row("caps cut to a byte", {"SCap=300"}, false, 34, B("\x2C", 1));
    row("goals -1", {"SGoal=-1"}, false, 35, B("\xFF", 1));
    row("date of birth 29 Feb", {"SDOB1=29", "SDOB2=2", "SDOB3=1980"}, false, 16,
        B("\x3B\x00\xBC\x07\x01\x00\x00\x00", 8));
    row("national join 1 Mar", {"NatJ1=1", "NatJ2=3", "NatJ3=1996"}, false, 41,
        B("\x3B\x00\xCC\x07\x00\x00\x00\x00", 8));
    row("national end 31 Dec", {"NatE1=31", "NatE2=12", "NatE3=2001"}, false, 49,
        B("\x6C\x01\xD1\x07\x00\x00\x00\x00", 8));
    row("joined", {"SJoin1=2", "SJoin2=1", "SJoin3=1996"}, false, 62,
        B("\x01\x00\xCC\x07\x00\x00\x00\x00", 8));
    row("contract end year cut", {"SConEnd1=1", "SConEnd2=2", "SConEnd3=70000"}, false, 70,
        B("\x1F\x00\x70\x11\x00\x00\x00\x00", 8));
    row("mental ratings",
        {"SAda=1", "SAmb=2", "SDet=3", "SLoy=4", "SPre=5", "SPro=-1", "SSpo=7", "STem=256"}, false,
        86, B("\x01\x02\x03\x04\x05\xFF\x07\x00", 8));
    row("national job", {"SJob2#9"}, false, 40, B("\x09", 1));
    row("job retired", {"SJob1#16"}, false, 61, B("\x10", 1));
    row("class unknown", {"SClass#0"}, false, 95, B("\x00", 1));
    row("second nationality none", {"SSecNation#0"}, false, 30, B("\xFE\xFF\xFF\xFF", 4));
    row("second nationality 2", {"SSecNation#3"}, false, 30, B("\x02\x00\x00\x00", 4));
    row("national duty none", {"SNatTeam#0"}, false, 36, B("\xFE\xFF\xFF\xFF", 4));
    row("abilities", {"SCurAbi=-2", "SPotAbi=70000", "SHomRep=200", "SCurRep=3", "SWorRep=-32768"},
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
    click("ConfirmStaff");
    QCOMPARE(mDb->image(DataFile::Staff).bytes().toHex(' '), want.toHex(' '));
}

void tst_StaffScreen::namesGoThroughNameTables()
{
    const int i = unattached();
    open(i);
    const int nationKey = list("SNation")->currentIndex() - 1;
    const int firstEntries = nameCount(*mDb, NameTable::First);
    const int oldCommon = personRecord(i).commonName();
    const QByteArray zebedee("Zebed\xE9"
                             "e");
    type("SFName", QStringLiteral("Zebed\u00E9e"));
    type("SSName", fromCp1252(SecondNameText(*mDb, personRecord(0).secondName())));
    click("ConfirmStaff");
    const PersonRecord p = personRecord(i);
    QCOMPARE(nameCount(*mDb, NameTable::First), firstEntries + 1);
    QCOMPARE(FirstNameText(*mDb, p.firstName()), zebedee);
    QCOMPARE(FindName(*mDb, NameTable::First, nationKey, zebedee), p.firstName());
    QCOMPARE(SecondNameText(*mDb, p.secondName()),
             SecondNameText(*mDb, personRecord(0).secondName()));
    QCOMPARE(p.commonName(), oldCommon); // its box was not touched

    // The same name again finds the entry it was stored as.
    const int other = find([i](const PersonRecord &r) {
        return r.classification() == Classification::NonPlayer && r.id() != i;
    });
    open(other);
    list("SNation")->setCurrentIndex(nationKey + 1);
    type("SFName", QStringLiteral("Zebed\u00E9e"));
    click("ConfirmStaff");
    QCOMPARE(nameCount(*mDb, NameTable::First), firstEntries + 1);
    VERIFY_SOUND(*mDb);

    // Bytes with no Windows-1252 character are shown and stored back
    // unchanged, when a new nationality resolves all three names again.
    const QByteArray odd("A\x81\x8D\xE9\x9D", 5);
    std::optional<NameEntry> entry =
        nameEntry(mDb->image(DataFile::FirstNames), personRecord(other).firstName());
    QVERIFY(entry);
    entry->setText(odd);
    open(other);
    list("SNation")->setCurrentIndex((list("SNation")->currentIndex() % Nations) + 1);
    click("ConfirmStaff");
    QCOMPARE(FirstNameText(*mDb, personRecord(other).firstName()), odd);
}

void tst_StaffScreen::nationalityRecount_data()
{
    QTest::addColumn<bool>("toNone");
    QTest::newRow("to another nation") << false;
    QTest::newRow("to <none>") << true;
}

void tst_StaffScreen::nationalityRecount()
{
    QFETCH(bool, toNone);
    const int i = find([](const PersonRecord &p) {
        return p.classification() == Classification::NonPlayer && p.nationality() >= 0;
    });
    const int from = personRecord(i).nationality();
    const int to = toNone ? -1 : (from + 1) % Nations;
    const int bystander = (from + 2) % Nations;
    for (int n = 0; n < Nations; ++n)
        nation(*mDb, n)->setPersonCount(999);
    open(i);
    list("SNation")->setCurrentIndex(to + 1);
    click("ConfirmStaff");
    QCOMPARE(personRecord(i).nationality(), to);
    QCOMPARE(nation(*mDb, from)->personCount(), nationPersons(*mDb, from));
    if (!toNone)
        QCOMPARE(nation(*mDb, to)->personCount(), nationPersons(*mDb, to));
    QCOMPARE(nation(*mDb, bystander)->personCount(), 999);
}

void tst_StaffScreen::natTeamMapping_data()
{
    QTest::addColumn<int>("stored");
    QTest::addColumn<int>("shown");
    QTest::addColumn<int>("choice"); // -1: none made
    QTest::addColumn<int>("written");
    const int c = Clubs;
    QTest::newRow("third nation kept") << c + 2 << 3 << -1 << c + 2;
    QTest::newRow("last nation") << c + Nations - 1 << Nations << -1 << c + Nations - 1;
    QTest::newRow("first nation to none") << c << 1 << 0 << -2;
    QTest::newRow("none to second nation") << -2 << 0 << 2 << c + 1;
    QTest::newRow("-1 stored back as -2") << -1 << 0 << -1 << -2;
    QTest::newRow("a club is kept") << 3 << -1 << -1 << 3;
    QTest::newRow("an under-21 team is kept") << c + Nations << -1 << -1 << c + Nations;
    QTest::newRow("unlisted, then a nation") << c + Nations + 1 << -1 << 4 << c + 3;
}

void tst_StaffScreen::natTeamMapping()
{
    QFETCH(int, stored);
    QFETCH(int, shown);
    QFETCH(int, choice);
    QFETCH(int, written);
    QCOMPARE(mDb->clubCount(), Clubs);
    const int i = unattached();
    personRecord(i).setNationalTeam(stored);
    open(i);
    QCOMPARE(list("SNatTeam")->currentIndex(), shown);
    if (choice >= 0)
        list("SNatTeam")->setCurrentIndex(choice);
    click("ConfirmStaff");
    QCOMPARE(personRecord(i).nationalTeam(), written);
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

    QSignalSpy dialog(mScreen.get(), &StaffScreen::miscListDialogRequested);
    click("bnSMisc"); // no row selected: nothing
    QCOMPARE(dialog.size(), 0);
    misc->setCurrentItem(misc->topLevelItem(7));
    click("bnSMisc");
    QCOMPARE(dialog.size(), 1);
    QCOMPARE(dialog.last().at(0).toInt(), 7);
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
    QTest::newRow("to Player") << NP << false << 5 << 11 << -1 << JobRefused << 5 << 5;
    QTest::newRow("to combined") << NP << false << 5 << 12 << -1 << JobRefused << 5 << 5;
    QTest::newRow("retired to Player") << NP << false << 16 << 11 << -1 << JobRefused << 16 << 16;
    QTest::newRow("manager to coach") << NP << false << 5 << 8 << -1 << QString() << 8 << 5;
    QTest::newRow("retired to scout") << NP << false << 16 << 9 << -1 << QString() << 9 << 16;
    QTest::newRow("combined to Player")
        << PNP << false << 12 << 11 << -1 << JobRefused << 12 << 12;
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
    QSignalSpy dropped(mScreen.get(), &StaffScreen::playerResultsStale);
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
        VERIFY_SOUND(*mDb);
    } else {
        QCOMPARE(dropped.size(), 0);
        QVERIFY(snapshot(*mDb) == before);
    }
}

void tst_StaffScreen::classRules_data()
{
    QTest::addColumn<int>("from");
    QTest::addColumn<int>("to");
    QTest::addColumn<bool>("accepted");
    QTest::newRow("Non-Player to Player/Non-Player") << 1 << 3 << false;
    QTest::newRow("Non-Player to Youth Player") << 1 << 4 << false;
    QTest::newRow("Non-Player to unknown") << 1 << 0 << true;
    QTest::newRow("unknown to Non-Player") << 0 << 1 << true;
}

void tst_StaffScreen::classRules()
{
    QFETCH(int, from);
    QFETCH(int, to);
    QFETCH(bool, accepted);
    const int i = unattached();
    personRecord(i).setClassification(from);
    open(i);
    list("SClass")->setCurrentIndex(to);
    QCOMPARE(mPrompter.texts(), accepted ? QStringList() : QStringList{ClassRefused});
    QCOMPARE(list("SClass")->currentIndex(), accepted ? to : from);
    QCOMPARE(personRecord(i).classification(), from);
    click("ConfirmStaff");
    QCOMPARE(personRecord(i).classification(), accepted ? to : from);
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

void tst_StaffScreen::failedConfirmChangesNothing_data()
{
    QTest::addColumn<QByteArray>("box");
    QTest::addColumn<QString>("text");
    QTest::addColumn<bool>("newRecord");
    QTest::newRow("first box") << QByteArray("SDOB1") << QStringLiteral("x") << false;
    QTest::newRow("last box") << QByteArray("SYou") << QStringLiteral("1a") << false;
    QTest::newRow("empty ability") << QByteArray("SCurAbi") << QString() << false;
    QTest::newRow("blank mental") << QByteArray("STem") << QStringLiteral(" ") << false;
    QTest::newRow("decimal point") << QByteArray("NatE3") << QStringLiteral("12.5") << false;
    QTest::newRow("new record") << QByteArray("SConEnd2") << QStringLiteral("abc") << true;
    QTest::newRow("beyond 32 bits")
        << QByteArray("SWorRep") << QStringLiteral("9999999999") << true;
}

void tst_StaffScreen::failedConfirmChangesNothing()
{
    QFETCH(QByteArray, box);
    QFETCH(QString, text);
    QFETCH(bool, newRecord);
    const int i = 1;
    open(i);
    if (newRecord) {
        mPrompter.queue(true);
        mScreen->bnCreateNewClick();
        mPrompter.clear();
    }
    const Snapshot before = snapshot(*mDb);
    // Pending edits of every follow-up kind: names, nationality, misc entries.
    type("SFName", QStringLiteral("Pending"));
    list("SNation")->setCurrentIndex(list("SNation")->currentIndex() % Nations + 1);
    type("MConf", QStringLiteral("5"));
    type("SCap", QStringLiteral("9"));
    type(box.constData(), text);

    QSignalSpy confirmed(mScreen.get(), &StaffScreen::deleteButtonChanged);
    click("ConfirmStaff");
    QCOMPARE(mPrompter.texts(),
             QStringList{QStringLiteral("'%1' is not a valid integer value").arg(text)});
    QVERIFY(snapshot(*mDb) == before);
    QCOMPARE(confirmed.size(), 0);
    QCOMPARE(mState.newRecordMode, newRecord);
    QCOMPARE(mState.personOffset, personOffset(i));
    QVERIFY(mScreen->changedFlags().firstName && mScreen->changedFlags().nationality
            && mScreen->changedFlags().misc);

    // Corrected, the same confirm writes everything.
    type(box.constData(), QStringLiteral("1"));
    click("ConfirmStaff");
    QCOMPARE(confirmed.size(), 1);
    const int written = newRecord ? before.counters.persons : i;
    QCOMPARE(mDb->counters().persons, before.counters.persons + (newRecord ? 1 : 0));
    QCOMPARE(FirstNameText(*mDb, personRecord(written).firstName()), QByteArray("Pending"));
    QCOMPARE(personRecord(written).caps(), 9);
    QVERIFY(mDb->isModified());
    VERIFY_SOUND(*mDb);
}

void tst_StaffScreen::createNewStaff()
{
    open(unattached());
    const Snapshot before = snapshot(*mDb);
    const StaffCounters c = before.counters;
    QSignalSpy remove(mScreen.get(), &StaffScreen::deleteButtonChanged);
    mPrompter.queue(false);
    mScreen->bnCreateNewClick();
    QVERIFY(!mState.newRecordMode);
    mPrompter.queue(true);
    mScreen->bnCreateNewClick();
    mPrompter.queue(true);
    mScreen->bnCreateNewClick(); // twice still adds one record
    QCOMPARE(mPrompter.texts(), QStringList(3, Question));
    QCOMPARE(remove.last(), (QVariantList{QStringLiteral("Delete Staff"), false}));
    QVERIFY(mState.newRecordMode);
    QVERIFY(snapshot(*mDb) == before);
    QCOMPARE(mScreen->title(), QStringLiteral("<first name> <second name>"));
    QCOMPARE(QStringList({edit("NatE1")->text(), edit("NatE2")->text(), edit("NatE3")->text()}),
             QStringList({"1", "2", "1900"}));
    QCOMPARE(w<QTreeWidget>("SMiscList")->topLevelItemCount(), 0);
    for (const char *off : {"bnSToClub", "STransfer", "bnPlaying"})
        QVERIFY2(!w<QAbstractButton>(off)->isEnabled(), off);

    type("SCurAbi", QStringLiteral("120"));
    click("ConfirmStaff");
    QVERIFY(!mState.newRecordMode);
    QCOMPARE(mState.personOffset, personOffset(c.persons));
    const StaffCounters now = mDb->counters();
    QCOMPARE(now.persons, c.persons + 1);
    QCOMPARE(now.staffAttributes, c.staffAttributes + 1);
    QCOMPARE(now.playerAttributes, c.playerAttributes);
    QCOMPARE(now.staffOffset, c.staffOffset + 157);
    QCOMPARE(now.playerOffset, c.playerOffset + 157 + 68);
    // The player attribute table moved up whole.
    QCOMPARE(mDb->image(DataFile::Staff).bytes().mid(now.playerOffset),
             before.images.at(int(DataFile::Staff)).mid(c.playerOffset));

    const PersonRecord p = personRecord(c.persons);
    QCOMPARE(p.id(), c.persons);
    QCOMPARE(FirstNameText(*mDb, p.firstName()) + ' ' + CommonNameText(*mDb, p.commonName()),
             QByteArray("<first name> <common name>"));
    // Wage, value, plays in, club, job, classification, nationality, national
    // team, the two attribute records and the byte after the player's.
    QCOMPARE(
        (QList<qint64>{p.wage(), p.value(), p.playsIn(), p.club(), p.job(), p.classification(),
                       p.nationality(), p.nationalTeam(), p.playerAttributes(),
                       p.staffAttributes(), qint64(p.get(PersonField::Unused149))}),
        (QList<qint64>{0, 0, 1, -2, Job::Manager, Classification::NonPlayer, -1, -2, -1,
                       c.staffAttributes, -1}));
    QVERIFY(p.dateOfBirth() == (RecordDate{31, 1900, 0}));
    QVERIFY(p.joined() == (RecordDate{1, 1996, 0}));
    for (int slot = 0; slot < 12; ++slot)
        QCOMPARE(p.relationship(slot), slot < 6 ? -2 : -1);
    const StaffAttributes a = staffRecord(c.persons);
    QCOMPARE(a.id(), c.staffAttributes);
    QCOMPARE(a.offset(), now.staffOffset + qsizetype(c.staffAttributes) * 68);
    QCOMPARE(a.currentAbility(), 120);
    QCOMPARE(a.formation(), 3);
    for (int k = 0; k < 8; ++k)
        QCOMPARE(a.get(StaffAttributesField::Unused35.at(k)), -1);
    QCOMPARE(remove.last(), (QVariantList{QStringLiteral("Delete Staff"), true}));
    VERIFY_SOUND(*mDb);

    // From now on the confirm overwrites the new record.
    type("SCurAbi", QStringLiteral("121"));
    click("ConfirmStaff");
    QCOMPARE(mDb->counters().persons, c.persons + 1);
    QCOMPARE(staffRecord(c.persons).currentAbility(), 121);
}

// The main window's wiring of this screen: opened as the editor's panel,
// titling it, setting its buttons, its relationship list changed through the
// misc-list dialog, and creating through the editor's button.
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
    VERIFY_SOUND(db);
    db.setModified(false); // no question when the window closes
}

KX3_GUI_TEST_MAIN(tst_StaffScreen)
#include "tst_StaffScreen.moc"
