#include "gui/people/PlayerScreen.h"

#include "core/db/Cp1252.h"
#include "core/layout/CodeLists.h"
#include "core/layout/HistoryRecord.h"
#include "core/layout/PlayerAttributes.h"
#include "core/lookup/NameTables.h"
#include "core/people/CareerHistory.h"
#include "core/people/PersonEdit.h"
#include "gui/app/EditorFrame.h"
#include "gui/app/SearchMenu1.h"
#include "gui/app/SearchMenuModes.h"
#include "gui/app/TMainForm.h"
#include "gui/people/StaffScreen.h"
#include "gui/widgets/BoxHelpers.h"

#include "../support/MainFormFixture.h"
#include "../support/OffscreenTestMain.h"
#include "../support/PersonScreenFixture.h"

#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QPushButton>
#include <QSignalSpy>
#include <QTabWidget>
#include <QToolButton>
#include <QTreeWidget>

using namespace kx3;
using kx3::test::ScriptedPrompter;
using Images = kx3::test::PersonImages;

namespace {

bool isPlayer(const PersonRecord &p)
{
    return p.classification() == Classification::Player;
}

} // namespace

class TestPlayerScreen : public QObject, public test::PersonScreenFixture<PlayerScreen>
{
    Q_OBJECT

private Q_SLOTS:
    void initTestCase() { setUpInstallation(); }
    void init() { setUpScreen(); }
    void cleanup() { tearDownScreen(); }

    void hints();
    void confirmEveryPersonUnchanged() { PersonScreenFixture::confirmEveryPersonUnchanged(); }
    void boxLandsAtItsField_data();
    void boxLandsAtItsField();
    void refusalFocusesTheBox_data();
    void refusalFocusesTheBox();
    void titleFollowsTyping();
    void miscLinesWrittenAndDeleted();
    void historyEditing();
    void seasonCheck_data();
    void seasonCheck();
    void jobRules_data();
    void jobRules();
    void classRules_data();
    void classRules();
    void makePerfect();
    void buttons();
    void createAppendsOnePlayer();
    void inTheMainWindow();

private:
    void setText(const char *name, const QString &text) const { type(name, text); }
    void setDate(const char *prefix, const char *day, const char *month, const char *year) const
    {
        const QByteArray name(prefix);
        setText((name + '1').constData(), QString::fromLatin1(day));
        setText((name + '2').constData(), QString::fromLatin1(month));
        setText((name + '3').constData(), QString::fromLatin1(year));
    }
};

void TestPlayerScreen::hints()
{
    const std::pair<const char *, const char *> hints[] = {
        {"Acc", "How quickly he can reach full speed from a stand still"},
        {"LFo", "How strong his left foot is (*one of these ratings should be 20)"},
        {"PPotAbi", "Good future (-1), Excellent future (-2)"},
        {"PClub", "Use Transfer button to change club"},
        {"TClub", "You can also enter the club's short name"},
        {"IntRet", "Retire from his national team"},
        {"bnHClu", "Browse Club"}};
    for (const auto &[name, hint] : hints) {
        QCOMPARE(w<QWidget>(name)->toolTip(), QString::fromLatin1(hint));
        QCOMPARE(w<QWidget>(name)->toolTipDuration(), HintDurationMs);
    }
}

void TestPlayerScreen::boxLandsAtItsField_data()
{
    QTest::addColumn<QString>("box");
    QTest::addColumn<bool>("inAttributes"); // else in the person record
    QTest::addColumn<int>("offset");
    QTest::addColumn<QByteArray>("bytes");
    auto row = [](const char *box, bool attributes, int offset, const QByteArray &bytes) {
        QTest::newRow(box) << QString::fromLatin1(box) << attributes << offset << bytes;
    };
    // The first and last box of every group, at the widest value its field holds.
    row("DOB3", false, 18, test::le16(65535));
    row("Cap", false, 34, test::u8(255));
    row("Goal", false, 35, test::u8(254));
    row("ConEnd3", false, 72, test::le16(2001));
    row("PWage", false, 78, test::le32(2147483647));
    row("PValue", false, 82, test::le32(std::uint32_t(-2147483647 - 1)));
    row("PAda", false, 86, test::u8(19));
    row("PTem", false, 93, test::u8(18));
    row("PNum", true, 4, test::u8(99));
    row("PCurAbi", true, 5, test::le16(std::uint16_t(-32768)));
    row("PWorRep", true, 13, test::le16(32767));
    row("Gk", true, 15, test::u8(17));
    row("FRol", true, 26, test::u8(16));
    row("Acc", true, 27, test::u8(15));
    row("Dir", true, 37, test::u8(14));
    row("Wor", true, 68, test::u8(13));
}

// A box's number lands in exactly its field; nothing else of the two records
// changes (the confirm before the edit settles the re-encoded dates).
void TestPlayerScreen::boxLandsAtItsField()
{
    QFETCH(QString, box);
    QFETCH(bool, inAttributes);
    QFETCH(int, offset);
    QFETCH(QByteArray, bytes);
    const int i = find(isPlayer, 3);
    open(i);
    QVERIFY(mScreen->confirm());
    QByteArray expected = mDb->image(DataFile::Staff).bytes();
    const qsizetype base =
        inAttributes ? playerAttributesOf(*mDb, rec(i))->offset() : personOffset(i);
    std::int64_t value = 0;
    for (int k = int(bytes.size()) - 1; k >= 0; --k)
        value = value * 256 + quint8(bytes[k]);
    if (bytes.size() > 1 && box != QLatin1String("DOB3") && box != QLatin1String("ConEnd3"))
        value = bytes.size() == 2 ? std::int16_t(value) : std::int32_t(value);
    setText(box.toLatin1().constData(), QString::number(value));
    mPrompter.queue(true); // stored anyway when outside the range the screen shows
    QVERIFY(mScreen->confirm());
    mPrompter.clear();
    expected.replace(base + offset, bytes.size(), bytes);
    if (box == QLatin1String("ConEnd3")) // the year moves the day count's leap flag
        expected.replace(base + 74, 4, mDb->image(DataFile::Staff).bytes().mid(base + 74, 4));
    QCOMPARE(mDb->image(DataFile::Staff).bytes(), expected);
}

void TestPlayerScreen::refusalFocusesTheBox_data()
{
    refusalColumns();
    refusalRow("Cap", "300", 0, "'300' cannot be stored as Caps: it must be between 0 and 255.");
    refusalRow("Wor", "256", 1,
               "'256' cannot be stored as Work Rate: it must be between 0 and 255.");
    refusalRow(
        "PWorRep", "40000", 2,
        "'40000' cannot be stored as World Reputation: it must be between -32768 and 32767.");
    refusalRow("PWage", "2147483648", 0, "'2147483648' is not a valid integer value");
    refusalRow("ConEnd3", "70000", 0,
               "'70000' cannot be stored as End: it must be between 0 and 65535.");
}

void TestPlayerScreen::refusalFocusesTheBox()
{
    checkRefusal(find(isPlayer), "PC2");
}

void TestPlayerScreen::titleFollowsTyping()
{
    for (const char *name : {"FName", "SName", "CName"})
        QCOMPARE(w(name)->maxLength(), 51);
    const int i = find(isPlayer);
    open(i);
    QSignalSpy titles(mScreen.get(), &PlayerScreen::titleChanged);
    setText("FName", "Zebedee");
    QCOMPARE(titles.count(), 8); // the clearing key and one per letter, before any confirm
    QCOMPARE(mScreen->title(),
             QStringLiteral("Zebedee ") + fromCp1252(SecondNameText(*mDb, rec(i).secondName())));
    QVERIFY(mScreen->changedFlags().firstName && !mScreen->changedFlags().secondName);
    QVERIFY(mScreen->confirm());
    QCOMPARE(FirstNameText(*mDb, rec(i).firstName()), QByteArray("Zebedee"));
    QVERIFY(!mScreen->changedFlags().firstName);
}

void TestPlayerScreen::miscLinesWrittenAndDeleted()
{
    const int i = find(
        [](const PersonRecord &p) { return isPlayer(p) && p.club() >= 0 && p.commonName() >= 0; });
    open(i);
    const QList<QByteArray> header = mDb->setupLines().mid(0, ProtectedSetupLines);
    const QByteArray target = mLookups.clubNames().get(1);
    const int targetClub = mLookups.clubNames().indexOfIgnoringCase(target);
    setText("TClub", fromCp1252(target).toLower()); // a short name, any case
    setDate("TDate", "3", "2", "1900");
    setText("TFee", "150000");
    setText("TWage", "0");
    setText("TCLen", "0");
    setText("LClub", "<none>");
    setText("PIAdjust", "5");
    w<QComboBox>("PreInj")->setCurrentIndex(3);
    w<QCheckBox>("IntRet")->setChecked(true);
    QVERIFY(mScreen->confirm());

    MiscIdentity who{{FirstNameText(*mDb, rec(i).firstName()),
                      CommonNameText(*mDb, rec(i).commonName()),
                      SecondNameText(*mDb, rec(i).secondName())},
                     ClubLongName(*mDb, rec(i).club())};
    auto linesOf = [this](const MiscIdentity &identity) {
        QList<QByteArray> found;
        for (const QByteArray &line : mDb->setupLines().mid(ProtectedSetupLines)) {
            if (MiscEntryMatches(line, identity))
                found.append(line);
        }
        return found;
    };
    const QByteArray names = "\"" + who.names.firstName + "\" \"" + who.names.commonName + "\" \""
                             + who.names.secondName + "\" \"" + who.clubLongName + "\"";
    QCOMPARE(linesOf(who),
             (QList<QByteArray>{"\"FUTURE_TRANSFER\" " + names + " \""
                                    + ClubLongName(*mDb, targetClub) + "\" 3 2 1900 150000 0 0",
                                "\"INT_RETIREMENT\" " + names,
                                "\"INJURY\" " + names + " \"" + InjuryNames[2] + "\" 5"}));

    open(i);
    QCOMPARE(w("TClub")->text(), fromCp1252(ClubLongName(*mDb, targetClub)));
    QCOMPARE(w<QComboBox>("PreInj")->currentIndex(), 3);
    QVERIFY(w<QCheckBox>("IntRet")->isChecked());

    // A renamed player takes his lines along instead of leaving them behind.
    setText("FName", "Renamed");
    QVERIFY(mScreen->confirm());
    QVERIFY(linesOf(who).isEmpty());
    who.names.firstName = "Renamed";
    QCOMPARE(linesOf(who).size(), 3);

    setText("TClub", "<none>");
    w<QComboBox>("PreInj")->setCurrentIndex(0);
    w<QCheckBox>("IntRet")->setChecked(false);
    QVERIFY(mScreen->confirm());
    QVERIFY(linesOf(who).isEmpty());
    QCOMPARE(mDb->setupLines().mid(0, ProtectedSetupLines), header);
}

void TestPlayerScreen::historyEditing()
{
    QCOMPARE(w("HClu")->maxLength(), 26);
    const QList<QByteArray> &clubs = mLookups.clubNames().names();
    const int i = find([&](const PersonRecord &p) {
        return isPlayer(p) && loadHistory(*mDb, p.offset() / 157, clubs).size() >= 3;
    });
    QList<HistoryRow> rows = loadHistory(*mDb, i, clubs);
    const qsizetype records = mDb->image(DataFile::StaffHistory).size() / RecordSize::History;
    open(i);
    auto *list = w<QTreeWidget>("HistList");
    QCOMPARE(list->topLevelItemCount(), rows.size());

    list->setCurrentItem(list->topLevelItem(1));
    QCOMPARE(w("HSea")->text(), fromCp1252(rows[1].season.left(4)));
    QCOMPARE(w("HClu")->text(), fromCp1252(rows[1].club));
    setText("HApp", "12");
    setText("HClu", fromCp1252(clubs[2]));
    QCOMPARE(list->topLevelItem(1)->text(2), QStringLiteral("12"));
    rows[1].apps = "12";
    rows[1].club = clubs[2];

    list->setCurrentItem(list->topLevelItem(0));
    click("HDel");
    rows.removeFirst();
    QVERIFY(list->selectedItems().isEmpty());
    // "Add Record" moves the selection and the boxes to the new row, so what
    // is typed next goes there and not into the row selected before.
    list->setCurrentItem(list->topLevelItem(0));
    click("HAdd");
    QCOMPARE(list->selectedItems(), QList<QTreeWidgetItem *>{list->topLevelItem(rows.size())});
    QCOMPARE(w("HSea")->text(), QStringLiteral("1900"));
    QCOMPARE(w("HClu")->text(), QStringLiteral("<club short-name>"));
    QCOMPARE(w("HApp")->text(), QStringLiteral("0"));
    setText("HGoa", "3");
    rows.append({"1900/01", UnknownHistoryClubText, "0", "3"});
    QVERIFY(mScreen->confirm());

    QCOMPARE(loadHistory(*mDb, i, clubs), rows);
    QCOMPARE(mDb->image(DataFile::StaffHistory).size() / RecordSize::History, records);
    // His records now close the file.
    QCOMPARE(historyRecord(*mDb, records - 1)->person(), i);
    QCOMPARE(historyRecord(*mDb, records - 1)->club(), -3);
    KX3_VERIFY_SOUND(*mDb, mLookups, IntegrityOptions{true});
}

void TestPlayerScreen::seasonCheck_data()
{
    QTest::addColumn<QString>("typed");
    QTest::addColumn<QString>("label");
    QTest::addColumn<QString>("message");
    auto row = [](const char *typed, const char *label, const char *message) {
        QTest::newRow(typed) << QString(typed) << QString(label) << QString(message);
    };
    row("2000", "2000/01", "");
    row("1999", "1999/00", "");
    row("2004 season", "2004/05", "");
    row("99", "", "Season Year is not valid.");
    row("19x9", "", "'19x9' is not a valid integer value");
}

void TestPlayerScreen::seasonCheck()
{
    QFETCH(QString, typed);
    QFETCH(QString, label);
    QFETCH(QString, message);
    open(find([&](const PersonRecord &p) {
        return isPlayer(p)
               && !loadHistory(*mDb, p.offset() / 157, mLookups.clubNames().names()).isEmpty();
    }));
    mScreen->activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(mScreen.get()));
    w<QTabWidget>("PC2")->setCurrentIndex(2);
    auto *list = w<QTreeWidget>("HistList");
    const QString before = list->topLevelItem(0)->text(0);
    list->setCurrentItem(list->topLevelItem(0));
    w("HSea")->setFocus();
    setText("HSea", typed);
    w("HApp")->setFocus();
    QCoreApplication::processEvents();
    QCOMPARE(list->topLevelItem(0)->text(0), label.isEmpty() ? before : label);
    QCOMPARE(mPrompter.lastText(), message);
    QCOMPARE(QApplication::focusWidget(), message.isEmpty() ? w("HApp") : w("HSea"));
}

void TestPlayerScreen::jobRules_data()
{
    QTest::addColumn<int>("cls"); // his classification: 2 with job Player, 3 with a combined job
    QTest::addColumn<bool>("hasClub");
    QTest::addColumn<int>("chosen");
    QTest::addColumn<int>("answer"); // -1 no question, 0 No, 1 Yes
    QTest::addColumn<QString>("message");
    QTest::addColumn<int>("shownJob"); // -1: the stored one, -2: now on the staff screen
    QTest::addColumn<int>("storedClass");

    const QString club = QString::fromLatin1(RoleMessage::PlayerFreeTransferFirst);
    const QString sure = QStringLiteral("Are you sure?");
    QTest::newRow("with a club") << 2 << true << 0 << -1 << club << -1 << 2;
    QTest::newRow("player to coach, yes") << 2 << false << 15 << 1 << sure << 15 << 3;
    QTest::newRow("player to coach, no") << 2 << false << 15 << 0 << sure << -1 << 2;
    QTest::newRow("player to retired") << 2 << false << 16 << -1 << "" << 16 << 2;
    QTest::newRow("combined to scout, yes") << 3 << false << 9 << 1 << sure << -2 << 1;
}

void TestPlayerScreen::jobRules()
{
    QFETCH(int, cls);
    QFETCH(bool, hasClub);
    QFETCH(int, chosen);
    QFETCH(int, answer);
    QFETCH(int, shownJob);
    auto pick = [cls](const PersonRecord &p) {
        return p.classification() == cls
               && (cls == 3 ? Job::isCombined(p.job()) : p.job() == Job::Player);
    };
    const int i = hasClub ? find([&](const PersonRecord &p) { return pick(p) && p.club() >= 0; })
                          : freePerson(pick);
    const int storedJob = rec(i).job();
    open(i);
    const Images before = Images::of(*mDb);
    if (answer >= 0)
        mPrompter.queue(answer == 1);
    w<QComboBox>("PJob")->setCurrentIndex(chosen);

    QTEST(mPrompter.lastText(), "message");
    QTEST(int(rec(i).classification()), "storedClass");
    if (answer != 1)
        QCOMPARE(Images::of(*mDb), before);
    QCOMPARE(mRequests.count(), shownJob == -2 ? 1 : 0);
    if (shownJob == -2) { // dropped his playing side: now a staff member
        QCOMPARE(rec(i).job(), chosen);
        QCOMPARE(rec(i).playerAttributes(), -1);
        QCOMPARE(mDb->counters().playerAttributes, before.counters.playerAttributes - 1);
    } else {
        QCOMPARE(w<QComboBox>("PJob")->currentIndex(), shownJob < 0 ? storedJob : shownJob);
    }
    if (answer == 1 && rec(i).classification() == 3) {
        QCOMPARE(mDb->counters().staffAttributes, before.counters.staffAttributes + 1);
        QCOMPARE(rec(i).staffAttributes(), before.counters.staffAttributes);
        QVERIFY(w<QPushButton>("bnNonPlaying")->isEnabled());
    }
    KX3_VERIFY_SOUND(*mDb, mLookups, IntegrityOptions{true});
}

void TestPlayerScreen::classRules_data()
{
    QTest::addColumn<int>("cls");
    QTest::addColumn<int>("chosen");
    QTest::addColumn<bool>("refused");
    QTest::newRow("player to non-player") << 2 << 1 << true;
    QTest::newRow("player to youth") << 2 << 4 << false;
}

void TestPlayerScreen::classRules()
{
    QFETCH(int, cls);
    QFETCH(int, chosen);
    QFETCH(bool, refused);
    const int i = find([cls](const PersonRecord &p) { return p.classification() == cls; });
    open(i);
    w<QComboBox>("PClass")->setCurrentIndex(chosen);
    QCOMPARE(mPrompter.lastText(), refused ? QStringLiteral("Class can not be changed") : "");
    QCOMPARE(w<QComboBox>("PClass")->currentIndex(), refused ? cls : chosen);
    QCOMPARE(rec(i).classification(), cls);
}

void TestPlayerScreen::makePerfect()
{
    open(find(isPlayer));
    auto texts = [this] {
        QStringList all;
        for (QLineEdit *box : mScreen->findChildren<QLineEdit *>())
            all.append(box->objectName() + '=' + box->text());
        return all;
    };
    const QStringList shown = texts();
    const Images before = Images::of(*mDb);
    mPrompter.queue(false);
    click("bnPMax");
    QCOMPARE(texts(), shown);

    mPrompter.queue(true);
    click("bnPMax");
    QCOMPARE(mPrompter.lastText(), QStringLiteral("Are you sure?"));
    for (const char *top : {"PAda", "PTem", "Acc", "Wor"})
        QCOMPARE(w(top)->text(), QStringLiteral("20"));
    QCOMPARE(w("Dir")->text(), QStringLiteral("1"));
    QCOMPARE(w("Inj")->text(), QStringLiteral("1"));
    QCOMPARE(w("PPotAbi")->text(), QStringLiteral("200"));
    for (const char *kept : {"Gk", "FRol", "PNum", "Cap", "PWage"})
        QVERIFY(shown.contains(QString::fromLatin1(kept) + '=' + w(kept)->text()));
    QCOMPARE(Images::of(*mDb), before);
}

void TestPlayerScreen::buttons()
{
    const int combined = find([](const PersonRecord &p) { return p.classification() == 3; });
    const int withClub = find([](const PersonRecord &p) {
        return isPlayer(p) && p.club() >= 0 && p.nationality() >= 0;
    });
    const int noClub = freePerson([](const PersonRecord &p) { return p.classification() == 4; });
    QList<int> dialog;
    connect(mScreen.get(), &PersonScreen::miscListDialogRequested,
            [&dialog](MiscListSource source, int row) {
                QCOMPARE(source, MiscListSource::Player);
                dialog.append(row);
            });

    open(combined);
    click("bnNonPlaying");
    QCOMPARE(mRequests.last(), std::pair(EditorScreen::Staff, personOffset(combined)));

    open(withClub);
    QVERIFY(!w<QPushButton>("bnNonPlaying")->isEnabled());
    mRequests.clear();
    click("bnPToClub");
    QTest::mouseDClick(w<QLabel>("PClub"), Qt::LeftButton);
    const std::pair toClub(EditorScreen::Club, qint64(rec(withClub).club()) * RecordSize::Club);
    click("bnPNat");
    QCOMPARE(mRequests, (QList<std::pair<EditorScreen, qint64>>{
                            toClub,
                            toClub,
                            {EditorScreen::Nation,
                             qint64(rec(withClub).nationality()) * RecordSize::Nation}}));

    auto *list = w<QTreeWidget>("PMiscList");
    click("bgPMisc"); // nothing selected
    QVERIFY(dialog.isEmpty());
    list->setCurrentItem(list->topLevelItem(7));
    click("bgPMisc");
    QCOMPARE(dialog, QList<int>{7});

    open(noClub);
    QCOMPARE(w<QLabel>("PClub")->text(), QStringLiteral("No Club"));
    QVERIFY(!w<QToolButton>("bnPToClub")->isEnabled());
}

void TestPlayerScreen::createAppendsOnePlayer()
{
    open(find(isPlayer));
    const StaffCounters before = mDb->counters();
    const Images untouched = images();

    mPrompter.queue(false);
    mScreen->beginNewRecord();
    QVERIFY(!mState.newRecordMode);
    mPrompter.queue(true);
    mScreen->beginNewRecord();
    mPrompter.queue(true);
    mScreen->beginNewRecord(); // twice: still one new record
    QVERIFY(mState.newRecordMode);
    QCOMPARE(images(), untouched);
    QCOMPARE(mScreen->title(), QStringLiteral("<first name> <second name>"));
    QCOMPARE(w("DOB3")->text(), QStringLiteral("1900"));
    QCOMPARE(w<QComboBox>("PJob")->currentText(), QStringLiteral("Player"));
    QCOMPARE(mScreen->focusWidget(), w("FName"));
    QCOMPARE(w<QTreeWidget>("HistList")->topLevelItemCount(), 0);
    QCOMPARE(w<QTreeWidget>("PMiscList")->topLevelItemCount(), 0);
    QVERIFY(!w<QPushButton>("PTransfer")->isEnabled());
    QVERIFY(!w<QPushButton>("bnNonPlaying")->isEnabled());
    QVERIFY(!mScreen->deleteButton().enabled);

    setText("Acc", "15");
    QVERIFY(mScreen->confirm());
    QVERIFY(mScreen->confirm()); // the second one overwrites it
    QVERIFY(!mState.newRecordMode);
    QCOMPARE(mDb->counters().persons, before.persons + 1);
    QCOMPARE(mState.offset(EditorScreen::Player), qint64(personOffset(before.persons)));
    QCOMPARE(playerAttributesOf(*mDb, rec(before.persons))->playingRating(0), 15);
    QCOMPARE(mScreen->deleteButton().caption, QStringLiteral("Delete Player"));
    QVERIFY(mScreen->deleteButton().enabled);
    KX3_VERIFY_SOUND(*mDb, mLookups, IntegrityOptions{true});
}

void TestPlayerScreen::inTheMainWindow()
{
    QApplication::setQuitOnLastWindowClosed(false);
    auto prompter = std::make_unique<ScriptedPrompter>();
    ScriptedPrompter *answers = prompter.get();
    TMainForm form(std::make_unique<test::FakeSource>(), mInstall->path(), std::move(prompter));
    form.show();
    QVERIFY(QTest::qWaitForWindowActive(&form));
    auto find = [&form](const char *name) {
        auto *found = form.findChild<QWidget *>(QString::fromLatin1(name));
        if (!found)
            qFatal("no control %s", name);
        return found;
    };
    auto press = [&](const char *name) { QTest::mouseClick(find(name), Qt::LeftButton); };
    press("bnBegin");
    Database &db = form.database();
    int i = 0;
    while (person(db, i)->classification() != 2 || person(db, i)->relationship(0) < 0)
        ++i;
    form.openRecord(EditorScreen::Player, personOffset(i));
    QCOMPARE(form.editorFrame()->currentEditorPanel(), form.playerScreen());
    QCOMPARE(form.editorFrame()->title(), form.playerScreen()->title());
    QCOMPARE(static_cast<QPushButton *>(find("bnCreateNew"))->text(),
             QStringLiteral("Create New Player"));
    QVERIFY(find("bnDelete")->isEnabled());

    auto *misc = static_cast<QTreeWidget *>(find("PMiscList"));
    misc->setCurrentItem(misc->topLevelItem(0));
    press("bgPMisc");
    QCOMPARE(form.currentPanel(), form.searchMenu1());
    form.searchModes()->MiscNoneClick();
    QCOMPARE(person(db, i)->relationship(0), -2);
    QCOMPARE(misc->topLevelItem(0)->text(1), QStringLiteral("<none>"));
    QCOMPARE(form.currentPanel(), form.editorFrame());

    press("bnTClub");
    QCOMPARE(form.searchModes()->mode(), SearchMenuModes::Mode::ClubPicking);
    QVERIFY(form.searchModes()->pickClub(0));
    QCOMPARE(static_cast<QLineEdit *>(find("TClub"))->text(), fromCp1252(ClubLongName(db, 0)));
    QVERIFY(form.playerScreen()->changedFlags().misc);

    answers->queue(false); // the club picked is not applied
    answers->queue(true);
    press("bnCreateNew");
    QCOMPARE(form.editorFrame()->title(), QStringLiteral("<first name> <second name>"));
    QVERIFY(!find("bnDelete")->isEnabled());

    while (person(db, i)->classification() != 3)
        ++i;
    form.openRecord(EditorScreen::Player, personOffset(i));
    press("bnNonPlaying");
    QCOMPARE(form.editorFrame()->currentEditorPanel(), form.staffScreen());
    QCOMPARE(answers->pendingAnswers(), 0);
}

KX3_GUI_TEST_MAIN(TestPlayerScreen)
#include "tst_PlayerScreen.moc"
