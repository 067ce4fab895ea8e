#include "gui/people/PlayerScreen.h"

#include "core/clubs/CareerHistory.h"
#include "core/clubs/HistoryRecord.h"
#include "core/clubs/Transfers.h"
#include "core/db/Cp1252.h"
#include "core/db/Database.h"
#include "core/db/Lookups.h"
#include "core/db/NameTables.h"
#include "core/nations/NationRecord.h"
#include "core/people/CodeLists.h"
#include "core/people/PlayerAttributes.h"
#include "core/people/RoleRules.h"
#include "core/people/StaffAttributes.h"
#include "core/records/IntegrityCheck.h"
#include "gui/people/StaffScreen.h"

#include "gui/app/EditorFrame.h"
#include "gui/app/SearchMenu1.h"
#include "gui/app/TMainForm.h"

#include "../support/MainFormFixture.h"
#include "../support/OffscreenTestMain.h"
#include "../support/ScriptedPrompter.h"
#include "TestDatabase.h"

#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSignalSpy>
#include <QTabWidget>
#include <QToolButton>
#include <QTreeWidget>

#include <functional>
#include <memory>

using namespace kx3;
using kx3::test::ScriptedPrompter;

Q_DECLARE_METATYPE(kx3::BoundField)

namespace {

struct Images
{
    QByteArray staff, first, second, common, nation, history;
    QList<QByteArray> setup;
    StaffCounters counters;

    static Images of(const Database &db)
    {
        return {db.image(DataFile::Staff).bytes(),
                db.image(DataFile::FirstNames).bytes(),
                db.image(DataFile::SecondNames).bytes(),
                db.image(DataFile::CommonNames).bytes(),
                db.image(DataFile::Nation).bytes(),
                db.image(DataFile::StaffHistory).bytes(),
                db.setupLines(),
                db.counters()};
    }
    friend bool operator==(const Images &, const Images &) = default;
};

bool isPlayer(const PersonRecord &p)
{
    return p.classification() == Classification::Player;
}

} // namespace

class TestPlayerScreen : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void initTestCase();
    void init();
    void cleanup();

    void hints();
    void unchangedConfirmRewritesSameValues();
    void storedNations_data();
    void storedNations();
    void boundFieldLandsAtItsOffset_data();
    void boundFieldLandsAtItsOffset();
    void choicesDatesAndNationCounts();
    void nameChangesGoThroughNameTables();
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
    void failedConfirmChangesNothing_data();
    void failedConfirmChangesNothing();
    void createAppendsOnePlayer();
    void inTheMainWindow();

private:
    template <typename T = QLineEdit>
    T *w(const char *name) const
    {
        T *found = mScreen->findChild<T *>(QString::fromLatin1(name));
        if (!found)
            qFatal("no control %s", name);
        return found;
    }
    void setText(const char *name, const QString &text) const;
    /// Types a date into the boxes `<prefix>1` (day), `2` (month) and `3` (year).
    void setDate(const char *prefix, const char *day, const char *month, const char *year) const
    {
        const QByteArray name(prefix);
        setText((name + '1').constData(), QString::fromLatin1(day));
        setText((name + '2').constData(), QString::fromLatin1(month));
        setText((name + '3').constData(), QString::fromLatin1(year));
    }
    void click(const char *name) const
    {
        QTest::mouseClick(w<QAbstractButton>(name), Qt::LeftButton);
    }
    void open(int index)
    {
        mState.personOffset = personOffset(index);
        mScreen->ShowPlayer();
    }
    int find(const std::function<bool(const PersonRecord &)> &pred, int skip = 0);
    /// A person `pred` accepts, released from his club.
    int freePerson(const std::function<bool(const PersonRecord &)> &pred);
    PersonRecord rec(int index) { return *person(*mDb, index); }
    void verifyIntegrity();

    std::unique_ptr<test::TestInstallation> mInstall;
    std::unique_ptr<Database> mDb;
    Lookups mLookups;
    EditorState mState;
    ScriptedPrompter mPrompter;
    std::unique_ptr<PlayerScreen> mScreen;
};

void TestPlayerScreen::initTestCase()
{
    BuilderOptions options;
    options.persons = 240;
    mInstall = std::make_unique<test::TestInstallation>(options);
    QVERIFY2(mInstall->isValid(), qPrintable(mInstall->errorString()));
}

void TestPlayerScreen::init()
{
    mDb = std::make_unique<Database>();
    QVERIFY(mInstall->loadInto(*mDb));
    mLookups.build(*mDb, QLocale(QLocale::English, QLocale::UnitedStates));
    mState = {};
    mPrompter.clear();
    mScreen = std::make_unique<PlayerScreen>(*mDb, mLookups, mState, &mPrompter);
    mScreen->show();
}

void TestPlayerScreen::cleanup()
{
    QCOMPARE(mPrompter.pendingAnswers(), 0);
    mScreen.reset();
}

void TestPlayerScreen::setText(const char *name, const QString &text) const
{
    QLineEdit *box = w(name);
    box->selectAll();
    bool ascii = true;
    for (QChar c : text)
        ascii = ascii && c.unicode() < 0x80;
    if (text.isEmpty())
        QTest::keyClick(box, Qt::Key_Delete);
    else if (ascii)
        QTest::keyClicks(box, text);
    else // Qt Test types ASCII only
        box->insert(text);
    QCOMPARE(box->text(), text);
}

int TestPlayerScreen::find(const std::function<bool(const PersonRecord &)> &pred, int skip)
{
    for (int i = 0; i < personCount(*mDb); ++i) {
        if (pred(rec(i)) && skip-- == 0)
            return i;
    }
    qFatal("the fixture has no such person");
    return -1;
}

int TestPlayerScreen::freePerson(const std::function<bool(const PersonRecord &)> &pred)
{
    const int i = find(pred);
    if (rec(i).club() >= 0)
        releasePerson(*mDb, i);
    mDb->setModified(false);
    return i;
}

void TestPlayerScreen::verifyIntegrity()
{
    IntegrityOptions options;
    options.counts = true;
    const QStringList problems = checkIntegrity(*mDb, mLookups, options);
    QVERIFY2(problems.isEmpty(), qPrintable(problems.join(QLatin1Char('\n'))));
}

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

// Every player, confirmed as shown, keeps every byte except the two
// re-encodings the screen makes: dates (leap flag only for 29 February) and
// a negative second nationality (always -2).
void TestPlayerScreen::unchangedConfirmRewritesSameValues()
{
    verifyIntegrity();
    int checked = 0;
    for (int i = 0; i < personCount(*mDb); ++i) {
        if (!Classification::hasPlayerAttributes(rec(i).classification()))
            continue;
        DataImage expected = mDb->image(DataFile::Staff);
        PersonRecord want(&expected, personOffset(i));
        for (DateField f :
             {PersonField::DateOfBirth, PersonField::Joined, PersonField::ContractEnd}) {
            const RecordDate d = want.get(f);
            int day = 0;
            int month = 0;
            decodeRecordDate(d, day, month);
            want.set(f, encodeRecordDate(day, month, d.year));
        }
        if (want.secondNationality() < 0)
            want.setSecondNationality(-2);
        Images before = Images::of(*mDb);
        open(i);
        QVERIFY(mScreen->ConfirmPlayerClick());
        before.staff = expected.bytes();
        QCOMPARE(Images::of(*mDb), before);
        ++checked;
    }
    QVERIFY(checked > 100);
    QVERIFY(mDb->isModified());
    QVERIFY(mPrompter.texts().isEmpty());
}

void TestPlayerScreen::storedNations_data()
{
    QTest::addColumn<int>("nation");
    QTest::addColumn<int>("secondNation");
    QTest::addColumn<int>("nationItem");
    QTest::addColumn<int>("secondItem");
    QTest::addColumn<int>("storedNation");
    QTest::addColumn<int>("storedSecond");
    QTest::newRow("none as -1") << -1 << -1 << 0 << 0 << -1 << -2;
    QTest::newRow("none as -2") << -2 << -7 << -1 << 0 << -2 << -2;
    QTest::newRow("nations") << 3 << 0 << 4 << 1 << 3 << 0;
    QTest::newRow("beyond the list") << 100000 << 100000 << -1 << -1 << -2 << -2;
}

void TestPlayerScreen::storedNations()
{
    QFETCH(int, nation);
    QFETCH(int, secondNation);
    const int i = find(isPlayer);
    rec(i).setNationality(nation);
    rec(i).setSecondNationality(secondNation);
    open(i);
    QTEST(w<QComboBox>("PNation")->currentIndex(), "nationItem");
    QTEST(w<QComboBox>("PSecNation")->currentIndex(), "secondItem");
    QVERIFY(mScreen->ConfirmPlayerClick());
    QTEST(int(rec(i).nationality()), "storedNation");
    QTEST(int(rec(i).secondNationality()), "storedSecond");
}

void TestPlayerScreen::boundFieldLandsAtItsOffset_data()
{
    QTest::addColumn<BoundField>("field");
    QTest::addColumn<bool>("inAttributes"); // else in the person record
    auto add = [](std::span<const BoundField> fields, bool inAttributes) {
        for (const BoundField &f : fields)
            QTest::newRow(f.objectName) << f << inAttributes;
    };
    add(PlayerMentalFields, false);
    const BoundField person[] = {{"Cap", 34, FieldType::U8},
                                 {"Goal", 35, FieldType::U8},
                                 {"PWage", 78, FieldType::I32},
                                 {"PValue", 82, FieldType::I32}};
    add(person, false);
    const BoundField squad[] = {{"PNum", 4, FieldType::U8}};
    add(squad, true);
    add(PlayerAbilityFields, true);
    add(PositionRatingFields, true);
    add(PlayingRatingFields, true);
}

// A typed number lands in exactly its field, cut to the field's width.
void TestPlayerScreen::boundFieldLandsAtItsOffset()
{
    QFETCH(BoundField, field);
    QFETCH(bool, inAttributes);
    const int i = find(isPlayer, 3);
    open(i);
    QVERIFY(mScreen->ConfirmPlayerClick());
    QByteArray expected = mDb->image(DataFile::Staff).bytes();
    const qsizetype base =
        inAttributes ? playerAttributesOf(*mDb, rec(i))->offset() : personOffset(i);
    const int width = fieldWidth(field.type);
    const std::int64_t typed = width == 1 ? 300 : width == 2 ? 70001 : -123456;
    setText(field.objectName, QString::number(typed));
    QVERIFY(mScreen->ConfirmPlayerClick());

    expected.replace(base + field.offset, width, test::le32(std::uint32_t(typed)).left(width));
    QCOMPARE(mDb->image(DataFile::Staff).bytes(), expected);
    open(i);
    const std::int64_t stored = width == 1 ? 300 & 0xFF : width == 2 ? 70001 - 65536 : typed;
    QCOMPARE(w(field.objectName)->text(), QString::number(stored));
}

void TestPlayerScreen::choicesDatesAndNationCounts()
{
    const int i = freePerson([](const PersonRecord &p) {
        return isPlayer(p) && p.job() == Job::Player && p.nationality() >= 0
               && p.nationality() != 2;
    });
    const int oldNation = rec(i).nationality();
    open(i);
    w<QComboBox>("PNation")->setCurrentIndex(3);
    w<QComboBox>("PSecNation")->setCurrentIndex(0);
    w<QComboBox>("PJob")->setCurrentIndex(Job::Retired);
    w<QComboBox>("PlayIn")->setCurrentIndex(2);
    w<QComboBox>("PClass")->setCurrentIndex(Classification::YouthPlayer);
    setDate("DOB", "29", "2", "1980");
    setDate("Join", "1", "3", "1996");
    setDate("ConEnd", "31", "12", "70000");
    QVERIFY(mScreen->ConfirmPlayerClick());
    QVERIFY(mPrompter.texts().isEmpty());
    PersonRecord p = rec(i);
    QCOMPARE(p.nationality(), 2);
    QCOMPARE(p.secondNationality(), -2);
    QCOMPARE(p.job(), Job::Retired);
    QCOMPARE(p.playsIn(), 2);
    QCOMPARE(p.classification(), Classification::YouthPlayer);
    QCOMPARE(p.dateOfBirth(), (RecordDate{59, 1980, 1}));
    QCOMPARE(p.joined(), (RecordDate{59, 1996, 0}));
    QCOMPARE(p.contractEnd(), (RecordDate{364, std::uint16_t(70000), 0}));
    QCOMPARE(p.club(), -2);
    for (int n : {oldNation, 2}) {
        int people = 0;
        for (int k = 0; k < personCount(*mDb); ++k)
            people += rec(k).nationality() == n ? 1 : 0;
        QCOMPARE(nation(*mDb, n)->personCount(), people);
    }
    verifyIntegrity();
}

void TestPlayerScreen::nameChangesGoThroughNameTables()
{
    for (const char *name : {"FName", "SName", "CName"})
        QCOMPARE(w(name)->maxLength(), 51);
    const int i = find(isPlayer);
    open(i);
    QSignalSpy titles(mScreen.get(), &PlayerScreen::titleChanged);
    const int firstCount = nameCount(*mDb, NameTable::First);
    const QByteArray second = SecondNameText(*mDb, rec(i).secondName());
    const int oldSecond = rec(i).secondName();
    setText("FName", "Zebedee");
    QCOMPARE(titles.count(), 7); // one per keystroke, before any confirm
    QCOMPARE(mScreen->title(), QStringLiteral("Zebedee ") + fromCp1252(second));
    setText("CName", "Zeb");
    QVERIFY(mScreen->ConfirmPlayerClick());
    QCOMPARE(FirstNameText(*mDb, rec(i).firstName()), QByteArray("Zebedee"));
    QCOMPARE(CommonNameText(*mDb, rec(i).commonName()), QByteArray("Zeb"));
    QCOMPARE(nameCount(*mDb, NameTable::First), firstCount + 1);
    QCOMPARE(rec(i).secondName(), oldSecond); // untouched: its flag was not set
    QVERIFY(!mScreen->changedFlags().firstName);
    verifyIntegrity();

    // Bytes without a Windows-1252 character go through the box unchanged,
    // when a new nationality resolves every name again.
    const QByteArray odd("Ab\x81\x8D\x9D\xE9z");
    FindOrAddName(*mDb, NameTable::First, rec(i).nationality(), odd, NameTarget::person(i));
    open(i);
    w<QComboBox>("PNation")->setCurrentIndex(w<QComboBox>("PNation")->currentIndex() == 1 ? 2 : 1);
    QVERIFY(mScreen->ConfirmPlayerClick());
    QCOMPARE(FirstNameText(*mDb, rec(i).firstName()), odd);
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
    QVERIFY(mScreen->ConfirmPlayerClick());

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
    QVERIFY(mScreen->ConfirmPlayerClick());
    QVERIFY(linesOf(who).isEmpty());
    who.names.firstName = "Renamed";
    QCOMPARE(linesOf(who).size(), 3);

    setText("TClub", "<none>");
    w<QComboBox>("PreInj")->setCurrentIndex(0);
    w<QCheckBox>("IntRet")->setChecked(false);
    QVERIFY(mScreen->ConfirmPlayerClick());
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
    click("HAdd");
    rows.append({"1900/01", UnknownHistoryClubText, "0", "0"});
    QVERIFY(mScreen->ConfirmPlayerClick());

    QCOMPARE(loadHistory(*mDb, i, clubs), rows);
    QCOMPARE(mDb->image(DataFile::StaffHistory).size() / RecordSize::History, records);
    // His records now close the file.
    QCOMPARE(historyRecord(*mDb, records - 1)->person(), i);
    QCOMPARE(historyRecord(*mDb, records - 1)->club(), -3);
    verifyIntegrity();
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
    const QString refused = QStringLiteral("Job cannot be changed");
    const QString sure = QStringLiteral("Are you sure?");
    QTest::newRow("with a club") << 2 << true << 0 << -1 << club << -1 << 2;
    QTest::newRow("player to coach, yes") << 2 << false << 15 << 1 << sure << 15 << 3;
    QTest::newRow("player to coach, no") << 2 << false << 15 << 0 << sure << -1 << 2;
    QTest::newRow("player to manager") << 2 << false << 5 << -1 << refused << -1 << 2;
    QTest::newRow("player to retired") << 2 << false << 16 << -1 << "" << 16 << 2;
    QTest::newRow("combined to player") << 3 << false << 11 << -1 << refused << -1 << 3;
    QTest::newRow("combined to scout, no") << 3 << false << 9 << 0 << sure << -1 << 3;
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
    QSignalSpy toStaff(mScreen.get(), &PlayerScreen::staffScreenRequested);
    if (answer >= 0)
        mPrompter.queue(answer == 1);
    w<QComboBox>("PJob")->setCurrentIndex(chosen);

    QTEST(mPrompter.lastText(), "message");
    QTEST(int(rec(i).classification()), "storedClass");
    if (answer != 1)
        QCOMPARE(Images::of(*mDb), before);
    QCOMPARE(toStaff.count(), shownJob == -2 ? 1 : 0);
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
    verifyIntegrity();
}

void TestPlayerScreen::classRules_data()
{
    QTest::addColumn<int>("cls");
    QTest::addColumn<int>("chosen");
    QTest::addColumn<bool>("refused");
    QTest::newRow("player to non-player") << 2 << 1 << true;
    QTest::newRow("player to player/non-player") << 2 << 3 << true;
    QTest::newRow("player to youth") << 2 << 4 << false;
    QTest::newRow("player to unknown") << 2 << 0 << false;
    QTest::newRow("player/non-player to youth") << 3 << 4 << false;
    QTest::newRow("player/non-player to player") << 3 << 2 << true;
    QTest::newRow("youth to player") << 4 << 2 << false;
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
    for (const RatingValue &r : perfectPlayerRatings())
        QCOMPARE(w(r.field.objectName)->text(), QString::number(r.value));
    QCOMPARE(w("Dir")->text(), QStringLiteral("1"));
    QCOMPARE(w("Inj")->text(), QStringLiteral("1"));
    QCOMPARE(w("PPotAbi")->text(), QStringLiteral("200"));
    for (const char *kept : {"Gk", "FRol", "PNum", "Cap", "PWage"})
        QVERIFY(shown.contains(QString::fromLatin1(kept) + '=' + w(kept)->text()));
    QCOMPARE(Images::of(*mDb), before);
}

// Role, go-to and misc-list buttons ask for their screens.
void TestPlayerScreen::buttons()
{
    const int combined = find([](const PersonRecord &p) { return p.classification() == 3; });
    const int withClub = find([](const PersonRecord &p) {
        return isPlayer(p) && p.club() >= 0 && p.nationality() >= 0;
    });
    const int noClub = freePerson([](const PersonRecord &p) { return p.classification() == 4; });
    QSignalSpy toStaff(mScreen.get(), &PlayerScreen::staffScreenRequested);
    QSignalSpy toClub(mScreen.get(), &PlayerScreen::clubRequested);
    QSignalSpy toNation(mScreen.get(), &PlayerScreen::nationRequested);
    QSignalSpy dialog(mScreen.get(), &PlayerScreen::miscListDialogRequested);

    open(combined);
    QCOMPARE(mState.recordKind, RecordKind::Player);
    click("bnNonPlaying");
    QCOMPARE(toStaff.count(), 1);

    open(withClub);
    QVERIFY(!w<QPushButton>("bnNonPlaying")->isEnabled());
    click("bnPToClub");
    QTest::mouseDClick(w<QLabel>("PClub"), Qt::LeftButton);
    QCOMPARE(toClub.count(), 2);
    QCOMPARE(toClub.last().at(0).toLongLong(), qint64(rec(withClub).club()) * RecordSize::Club);
    click("bnPNat");
    QCOMPARE(toNation.last().at(0).toLongLong(),
             qint64(rec(withClub).nationality()) * RecordSize::Nation);

    auto *list = w<QTreeWidget>("PMiscList");
    click("bgPMisc"); // nothing selected
    QCOMPARE(dialog.count(), 0);
    list->setCurrentItem(list->topLevelItem(7));
    click("bgPMisc");
    QCOMPARE(dialog.last().at(0).toInt(), 7);

    open(noClub);
    QCOMPARE(w<QLabel>("PClub")->text(), QStringLiteral("No Club"));
    QVERIFY(!w<QToolButton>("bnPToClub")->isEnabled());
}

void TestPlayerScreen::failedConfirmChangesNothing_data()
{
    QTest::addColumn<QString>("box");
    QTest::addColumn<QString>("typed");
    QTest::addColumn<QString>("later"); // a later bad box, which is not the one reported
    QTest::addColumn<bool>("newRecord");
    auto row = [](const char *name, const char *box, const char *typed, const char *later,
                  bool newRecord) {
        QTest::newRow(name) << QString(box) << QString(typed) << QString(later) << newRecord;
    };
    row("first box", "DOB1", "x", "Vis", false);
    row("empty", "Goal", "", "HGoa", false);
    row("too big", "PValue", "4294967296", "Gk", false);
    row("last rating", "Wor", "2 0", "HGoa", false);
    row("history apps", "HApp", "lots", "", false);
    row("new record", "Cap", "many", "PAda", true);
}

// The confirm converts every box, and the history's numbers, before it
// writes: a bad text leaves names, misc lines, nations, history and both
// records exactly as they were, and appends nothing in new-record mode.
void TestPlayerScreen::failedConfirmChangesNothing()
{
    QFETCH(QString, box);
    QFETCH(QString, typed);
    QFETCH(QString, later);
    QFETCH(bool, newRecord);
    const QByteArray bad = box.toLatin1();
    const QByteArray alsoBad = later.toLatin1();
    const int i = find([&](const PersonRecord &p) {
        return isPlayer(p)
               && !loadHistory(*mDb, p.offset() / 157, mLookups.clubNames().names()).isEmpty();
    });
    open(i);
    if (newRecord) {
        mPrompter.queue(true);
        mScreen->bnCreateNewClick();
        mPrompter.clear();
    }
    setText("FName", "Changed");
    w<QComboBox>("PNation")->setCurrentIndex(w<QComboBox>("PNation")->currentIndex() == 1 ? 2 : 1);
    setText("TClub", fromCp1252(mLookups.clubNames().get(0)));
    setText("PAda", "17");
    if (!newRecord) {
        w<QTreeWidget>("HistList")->setCurrentItem(w<QTreeWidget>("HistList")->topLevelItem(0));
        click("HAdd");
    }
    setText(bad.constData(), typed);
    if (!later.isEmpty())
        setText(alsoBad.constData(), "also bad");
    const Images before = Images::of(*mDb);

    QVERIFY(!mScreen->ConfirmPlayerClick());
    QCOMPARE(mPrompter.texts(),
             QStringList{QStringLiteral("'%1' is not a valid integer value").arg(typed)});
    QCOMPARE(Images::of(*mDb), before);
    QVERIFY(!mDb->isModified());
    QCOMPARE(mState.newRecordMode, newRecord);

    setText(bad.constData(), "7");
    if (!later.isEmpty())
        setText(alsoBad.constData(), "7");
    QVERIFY(mScreen->ConfirmPlayerClick());
    const int written = newRecord ? before.counters.persons : i;
    QCOMPARE(mDb->counters().persons, before.counters.persons + (newRecord ? 1 : 0));
    QCOMPARE(FirstNameText(*mDb, rec(written).firstName()), QByteArray("Changed"));
    QCOMPARE(rec(written).mentalRating(0), later == "PAda" ? 7 : 17);
    QVERIFY(mDb->isModified());
    verifyIntegrity();
}

void TestPlayerScreen::createAppendsOnePlayer()
{
    open(find(isPlayer));
    const StaffCounters before = mDb->counters();
    const Images images = Images::of(*mDb);
    QSignalSpy deleteButton(mScreen.get(), &PlayerScreen::deleteButtonChanged);

    mPrompter.queue(false);
    mScreen->bnCreateNewClick();
    QVERIFY(!mState.newRecordMode);
    mPrompter.queue(true);
    mScreen->bnCreateNewClick();
    mPrompter.queue(true);
    mScreen->bnCreateNewClick(); // twice: still one new record
    QVERIFY(mState.newRecordMode);
    QCOMPARE(Images::of(*mDb), images);
    QCOMPARE(mScreen->title(), QStringLiteral("<first name> <second name>"));
    QCOMPARE(w<QTreeWidget>("HistList")->topLevelItemCount(), 0);
    QCOMPARE(w<QTreeWidget>("PMiscList")->topLevelItemCount(), 0);
    QVERIFY(!w<QPushButton>("PTransfer")->isEnabled());
    QVERIFY(!w<QPushButton>("bnNonPlaying")->isEnabled());
    QCOMPARE(deleteButton.last(), (QVariantList{QStringLiteral("Delete Player"), false}));

    setText("Acc", "15");
    QVERIFY(mScreen->ConfirmPlayerClick());
    QVERIFY(mScreen->ConfirmPlayerClick()); // the second one overwrites it
    QVERIFY(!mState.newRecordMode);
    QCOMPARE(mDb->counters().persons, before.persons + 1);
    QCOMPARE(mDb->counters().playerAttributes, before.playerAttributes + 1);
    QCOMPARE(mDb->counters().staffAttributes, before.staffAttributes);
    QCOMPARE(mState.personOffset, qint64(personOffset(before.persons)));
    QCOMPARE(deleteButton.last(), (QVariantList{QStringLiteral("Delete Player"), true}));

    const PersonRecord p = rec(before.persons);
    QCOMPARE(p.id(), before.persons);
    QCOMPARE(FirstNameText(*mDb, p.firstName()) + ' ' + CommonNameText(*mDb, p.commonName()) + ' '
                 + SecondNameText(*mDb, p.secondName()),
             QByteArray("<first name> <common name> <second name>"));
    // Birth, national joined, national contract end, joined, contract end.
    QCOMPARE((QList<RecordDate>{p.dateOfBirth(), p.nationalJoined(), p.nationalContractEnd(),
                                p.joined(), p.contractEnd()}),
             (QList<RecordDate>{{31, 1900, 0}, {}, {31, 1900, 1}, {1, 1996, 0}, {31, 1900, 0}}));
    // Nationality, second nationality, national team, national job, club, job,
    // wage, value, plays in, classification.
    QCOMPARE(
        (QList<qint64>{p.nationality(), p.secondNationality(), p.nationalTeam(), p.nationalJob(),
                       p.club(), p.job(), p.wage(), p.value(), p.playsIn(), p.classification()}),
        (QList<qint64>{-1, -2, -2, 0, -2, Job::Player, 0, 0, 1, Classification::Player}));
    // Unused bytes 24, 96 and 149, then the two attribute records.
    QCOMPARE(
        (QList<qint64>{qint64(p.get(PersonField::Unused24)), qint64(p.get(PersonField::Unused96)),
                       qint64(p.get(PersonField::Unused149)), p.playerAttributes(),
                       p.staffAttributes()}),
        (QList<qint64>{0, 0, -1, before.playerAttributes, -1}));
    for (int s = 0; s < PersonRelationship::Count; ++s)
        QCOMPARE(p.relationship(s), PersonRelationship::isClubSlot(s) ? -2 : -1);
    const PlayerAttributes a = *playerAttributesOf(*mDb, p);
    QCOMPARE(a.id(), before.playerAttributes);
    QCOMPARE(a.playingRating(0), 15);
    QCOMPARE(a.image()->read(a.offset() + 4, 23), QByteArray(23, '\0'));
    QCOMPARE(a.image()->read(a.offset() + 28, 41), QByteArray(41, '\0'));
    QCOMPARE(int(a.get(PlayerAttributesField::Unused69)), 2);
    QCOMPARE(mDb->image(DataFile::Staff).size(), a.offset() + RecordSize::PlayerAttributes);
    verifyIntegrity();
}

// The main window's wiring of this screen: title, buttons, the misc-list
// dialog, club picking, create and the role button.
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
