#include "people/PlayerScreen.h"

#include "clubs/CareerHistory.h"
#include "clubs/HistoryRecord.h"
#include "clubs/Transfers.h"
#include "db/Database.h"
#include "db/Lookups.h"
#include "db/NameTables.h"
#include "nations/NationRecord.h"
#include "people/CodeLists.h"
#include "people/PlayerAttributes.h"
#include "people/RoleRules.h"
#include "people/StaffAttributes.h"
#include "records/IntegrityCheck.h"
#include "widgets/Cp1252.h"

#include "app/EditorFrame.h"
#include "app/SearchMenu1.h"
#include "app/TMainForm.h"

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
#include <QTreeView>
#include <QTreeWidget>

#include <functional>
#include <memory>

using namespace kx3;
using kx3::test::ScriptedPrompter;

Q_DECLARE_METATYPE(kx3::BoundField)
Q_DECLARE_METATYPE(kx3::ClubPickField)

namespace {

/// Where a bound field lives: the person record or his player attribute record.
enum class Record
{
    Person,
    Attributes
};

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

} // namespace

class TestPlayerScreen : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void initTestCase();
    void init();
    void cleanup();

    void hints_data();
    void hints();
    void everyBoxHasAHintAndLimits();
    void unchangedConfirmRewritesSameValues();
    void storedNations_data();
    void storedNations();
    void boundFieldLandsAtItsOffset_data();
    void boundFieldLandsAtItsOffset();
    void choicesAndDates();
    void nameChangesGoThroughNameTables();
    void undefinedBytesSurvive();
    void nationalityChangeRecountsBothNations();
    void miscLinesWrittenAndDeleted();
    void historyEditing();
    void seasonCheck_data();
    void seasonCheck();
    void jobRules_data();
    void jobRules();
    void classRules_data();
    void classRules();
    void makePerfect();
    void roleAndGoToButtons();
    void miscListAndClubPicking();
    void failedConfirmChangesNothing_data();
    void failedConfirmChangesNothing();
    void createAppendsOnePlayer();
    void failedCreateConfirmAppendsNothing();
    void mainWindowHooks();
    void screenshots();

private:
    template <typename T = QLineEdit> T *w(const char *name) const
    {
        T *found = mScreen->findChild<T *>(QString::fromLatin1(name));
        if (!found)
            qFatal("no control %s", name);
        return found;
    }
    void setText(const char *name, const QString &text) const;
    void click(const char *name) const;
    void open(int index);
    int find(const std::function<bool(const PersonRecord &)> &pred, int skip = 0);
    /// A person of class `cls` with job `job`, released from his club.
    int freePerson(int cls, std::function<bool(int)> jobOk);
    PersonRecord rec(int index) { return *person(*mDb, index); }
    void verifyIntegrity(bool counts = true);

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

void TestPlayerScreen::click(const char *name) const
{
    auto *button = w<QAbstractButton>(name);
    auto *tabs = w<QTabWidget>("PC2");
    for (int i = 0; i < tabs->count(); ++i) {
        if (tabs->widget(i)->isAncestorOf(button))
            tabs->setCurrentIndex(i);
    }
    QTest::mouseClick(button, Qt::LeftButton);
}

void TestPlayerScreen::open(int index)
{
    mState.personOffset = personOffset(index);
    mScreen->ShowPlayer();
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

int TestPlayerScreen::freePerson(int cls, std::function<bool(int)> jobOk)
{
    const int i =
        find([&](const PersonRecord &p) { return p.classification() == cls && jobOk(p.job()); });
    if (rec(i).club() >= 0)
        releasePerson(*mDb, i);
    mDb->setModified(false);
    return i;
}

void TestPlayerScreen::verifyIntegrity(bool counts)
{
    IntegrityOptions options;
    options.counts = counts;
    const QStringList problems = checkIntegrity(*mDb, mLookups, options);
    QVERIFY2(problems.isEmpty(), qPrintable(problems.join(QLatin1Char('\n'))));
}

void TestPlayerScreen::hints_data()
{
    QTest::addColumn<QString>("control");
    QTest::addColumn<QString>("hint");
    const QString club = QStringLiteral("You can also enter the club's short name");
    QTest::newRow("Acc") << "Acc"
                         << "How quickly he can reach full speed from a stand still";
    QTest::newRow("LFo") << "LFo"
                         << "How strong his left foot is (*one of these ratings should be 20)";
    QTest::newRow("RFo") << "RFo"
                         << "How strong his right foot is (*one of these ratings should be 20)";
    QTest::newRow("Han") << "Han"
                         << "How good he is at handling the ball (for Goalkeeper)";
    QTest::newRow("Ref") << "Ref"
                         << "How good he is at making reflex saves (for Goalkeeper)";
    QTest::newRow("Pos") << "Pos"
                         << "How good he is at keeping a good defensive position "
                            "(also for Goalkeeper)";
    QTest::newRow("PPotAbi") << "PPotAbi"
                             << "Good future (-1), Excellent future (-2)";
    QTest::newRow("PClub") << "PClub"
                           << "Use Transfer button to change club";
    QTest::newRow("bnPToClub") << "bnPToClub"
                               << "Go to Club";
    QTest::newRow("bnPNat") << "bnPNat"
                            << "Go to Nation";
    QTest::newRow("bnPSecNat") << "bnPSecNat"
                               << "Go to Nation";
    QTest::newRow("TClub") << "TClub" << club;
    QTest::newRow("LClub") << "LClub" << club;
    QTest::newRow("TCLen") << "TCLen"
                           << "How many years he would be contracted";
    QTest::newRow("IntRet") << "IntRet"
                            << "Retire from his national team";
    QTest::newRow("bnTClub") << "bnTClub"
                             << "Browse Club";
    QTest::newRow("bnLClub") << "bnLClub"
                             << "Browse Club";
    QTest::newRow("bnHClu") << "bnHClu"
                            << "Browse Club";
}

void TestPlayerScreen::hints()
{
    QFETCH(QString, control);
    auto *widget = w<QWidget>(control.toLatin1().constData());
    QTEST(widget->toolTip(), "hint");
    QCOMPARE(widget->toolTipDuration(), HintDurationMs);
}

void TestPlayerScreen::everyBoxHasAHintAndLimits()
{
    for (auto fields : {std::span<const BoundField>(PlayerMentalFields),
                        std::span<const BoundField>(PlayerAbilityFields),
                        std::span<const BoundField>(PositionRatingFields),
                        std::span<const BoundField>(PlayingRatingFields)}) {
        for (const BoundField &f : fields)
            QVERIFY2(!w(f.objectName)->toolTip().isEmpty(), f.objectName);
    }
    for (const char *name : {"FName", "SName", "CName"})
        QCOMPARE(w(name)->maxLength(), 51);
    QCOMPARE(w("HClu")->maxLength(), 26);
    QCOMPARE(w<QComboBox>("PreInj")->count(), int(InjuryNames.size()) + 1);
    QCOMPARE(w<QComboBox>("PJob")->itemText(15), QStringLiteral("Player/Coach"));
    QCOMPARE(w<QComboBox>("PClass")->itemText(3), QStringLiteral("Player/Non-Player"));
    QCOMPARE(mScreen->size(), QSize(593, 393));
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
        QCOMPARE(mDb->image(DataFile::Staff).bytes(), expected.bytes());
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
    const int i = find([](const PersonRecord &p) { return p.classification() == 2; });
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
    QTest::addColumn<int>("record");
    auto add = [](std::span<const BoundField> fields, Record record) {
        for (const BoundField &f : fields)
            QTest::newRow(f.objectName) << f << int(record);
    };
    add(PlayerMentalFields, Record::Person);
    const BoundField person[] = {{"Cap", 34, FieldType::U8},
                                 {"Goal", 35, FieldType::U8},
                                 {"PWage", 78, FieldType::I32},
                                 {"PValue", 82, FieldType::I32}};
    add(person, Record::Person);
    const BoundField squad[] = {{"PNum", 4, FieldType::U8}};
    add(squad, Record::Attributes);
    add(PlayerAbilityFields, Record::Attributes);
    add(PositionRatingFields, Record::Attributes);
    add(PlayingRatingFields, Record::Attributes);
}

// A typed number lands in exactly its field, cut to the field's width.
void TestPlayerScreen::boundFieldLandsAtItsOffset()
{
    QFETCH(BoundField, field);
    QFETCH(int, record);
    const int i = find([](const PersonRecord &p) { return p.classification() == 2; }, 3);
    open(i);
    QVERIFY(mScreen->ConfirmPlayerClick());
    const QByteArray baseline = mDb->image(DataFile::Staff).bytes();

    const qsizetype base = Record(record) == Record::Person
                               ? personOffset(i)
                               : playerAttributesOf(*mDb, rec(i))->offset();
    const std::int64_t typed = field.type == FieldType::U8    ? 300
                               : field.type == FieldType::I16 ? 70001
                                                              : -123456;
    setText(field.objectName, QString::number(typed));
    QVERIFY(mScreen->ConfirmPlayerClick());

    QByteArray expected = baseline;
    const QByteArray le = test::le32(std::uint32_t(typed));
    expected.replace(base + field.offset, fieldWidth(field.type), le.left(fieldWidth(field.type)));
    QCOMPARE(mDb->image(DataFile::Staff).bytes(), expected);
    // The box keeps what was typed until the player is shown again.
    QCOMPARE(w(field.objectName)->text(), QString::number(typed));
    open(i);
    const std::int64_t stored = field.type == FieldType::U8    ? 300 & 0xFF
                                : field.type == FieldType::I16 ? 70001 - 65536
                                                               : -123456;
    QCOMPARE(w(field.objectName)->text(), QString::number(stored));
}

void TestPlayerScreen::choicesAndDates()
{
    const int i = freePerson(2, [](int job) { return job == Job::Player; });
    open(i);
    w<QComboBox>("PNation")->setCurrentIndex(3);
    w<QComboBox>("PSecNation")->setCurrentIndex(0);
    w<QComboBox>("PJob")->setCurrentIndex(Job::Retired);
    w<QComboBox>("PlayIn")->setCurrentIndex(2);
    w<QComboBox>("PClass")->setCurrentIndex(Classification::YouthPlayer);
    setText("DOB1", "29");
    setText("DOB2", "2");
    setText("DOB3", "1980");
    setText("Join1", "1");
    setText("Join2", "3");
    setText("Join3", "1996");
    setText("ConEnd1", "31");
    setText("ConEnd2", "12");
    setText("ConEnd3", "70000");
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
    verifyIntegrity();
}

void TestPlayerScreen::nameChangesGoThroughNameTables()
{
    const int i = find([](const PersonRecord &p) { return p.classification() == 2; });
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
}

// A byte that Windows-1252 leaves without a character goes through the box
// and back into the name tables unchanged.
void TestPlayerScreen::undefinedBytesSurvive()
{
    const int i = find([](const PersonRecord &p) { return p.classification() == 2; });
    const QByteArray odd("Ab\x81\x8D\x9D\xE9z");
    FindOrAddName(*mDb, NameTable::First, rec(i).nationality(), odd, NameTarget::person(i));
    open(i);
    // A new nationality resolves every name again.
    w<QComboBox>("PNation")->setCurrentIndex(w<QComboBox>("PNation")->currentIndex() == 1 ? 2 : 1);
    QVERIFY(mScreen->ConfirmPlayerClick());
    QCOMPARE(FirstNameText(*mDb, rec(i).firstName()), odd);
}

void TestPlayerScreen::nationalityChangeRecountsBothNations()
{
    const int i = find(
        [](const PersonRecord &p) { return p.classification() == 2 && p.nationality() >= 0; });
    const int oldNation = rec(i).nationality();
    const int newNation = oldNation == 0 ? 1 : 0;
    auto people = [this](int n) {
        int count = 0;
        for (int k = 0; k < personCount(*mDb); ++k)
            count += rec(k).nationality() == n ? 1 : 0;
        return count;
    };
    open(i);
    w<QComboBox>("PNation")->setCurrentIndex(newNation + 1);
    QVERIFY(mScreen->changedFlags().nationality);
    QVERIFY(mScreen->ConfirmPlayerClick());
    QCOMPARE(nation(*mDb, oldNation)->personCount(), people(oldNation));
    QCOMPARE(nation(*mDb, newNation)->personCount(), people(newNation));
    verifyIntegrity();
}

void TestPlayerScreen::miscLinesWrittenAndDeleted()
{
    const int i = find([](const PersonRecord &p) {
        return p.classification() == 2 && p.club() >= 0 && p.commonName() >= 0;
    });
    open(i);
    const QList<QByteArray> header = mDb->setupLines().mid(0, ProtectedSetupLines);
    const QByteArray target = mLookups.clubNames().get(1);
    const int targetClub = mLookups.clubNames().indexOfIgnoringCase(target);
    setText("TClub", fromCp1252(target).toLower()); // a short name, any case
    setText("TDate1", "3");
    setText("TDate2", "2");
    setText("TDate3", "1900");
    setText("TFee", "150000");
    setText("TWage", "0");
    setText("TCLen", "0");
    setText("LClub", "<none>");
    w<QComboBox>("PreInj")->setCurrentIndex(3);
    setText("PIAdjust", "5");
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
    const QList<QByteArray> mine = linesOf(who);
    const QByteArray names = "\"" + who.names.firstName + "\" \"" + who.names.commonName +
                             "\" \"" + who.names.secondName + "\" \"" + who.clubLongName + "\"";
    QCOMPARE(mine,
             (QList<QByteArray>{"\"FUTURE_TRANSFER\" " + names + " \"" +
                                    ClubLongName(*mDb, targetClub) + "\" 3 2 1900 150000 0 0",
                                "\"INT_RETIREMENT\" " + names,
                                "\"INJURY\" " + names + " \"" + InjuryNames[2] + "\" 5"}));

    open(i);
    QCOMPARE(w("TClub")->text(), fromCp1252(ClubLongName(*mDb, targetClub)));
    QCOMPARE(w("TFee")->text(), QStringLiteral("150000"));
    QCOMPARE(w<QComboBox>("PreInj")->currentIndex(), 3);
    QCOMPARE(w("PIAdjust")->text(), QStringLiteral("5"));
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
    const QList<QByteArray> &clubs = mLookups.clubNames().names();
    const int i = find([&](const PersonRecord &p) {
        return p.classification() == 2 && loadHistory(*mDb, p.offset() / 157, clubs).size() >= 3;
    });
    QList<HistoryRow> rows = loadHistory(*mDb, i, clubs);
    const qsizetype records = mDb->image(DataFile::StaffHistory).size() / RecordSize::History;
    open(i);
    auto *list = w<QTreeWidget>("HistList");
    QCOMPARE(list->topLevelItemCount(), rows.size());
    QCOMPARE(list->topLevelItem(0)->text(0), fromCp1252(rows[0].season));

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
    QVERIFY(mScreen->changedFlags().history);
    QVERIFY(mScreen->ConfirmPlayerClick());

    QCOMPARE(loadHistory(*mDb, i, clubs), rows);
    QCOMPARE(mDb->image(DataFile::StaffHistory).size() / RecordSize::History, records);
    // His records now close the file.
    const qsizetype last = records - 1;
    QCOMPARE(historyRecord(*mDb, last)->person(), i);
    QCOMPARE(historyRecord(*mDb, last)->club(), -3);
    verifyIntegrity();
}

void TestPlayerScreen::seasonCheck_data()
{
    QTest::addColumn<QString>("typed");
    QTest::addColumn<QString>("label");
    QTest::addColumn<QString>("message");
    QTest::newRow("2000") << "2000"
                          << "2000/01"
                          << "";
    QTest::newRow("1999") << "1999"
                          << "1999/00"
                          << "";
    QTest::newRow("long text") << "2004 season"
                               << "2004/05"
                               << "";
    QTest::newRow("too short") << "99"
                               << ""
                               << "Season Year is not valid.";
    QTest::newRow("no number") << "19x9"
                               << ""
                               << "'19x9' is not a valid integer value";
}

void TestPlayerScreen::seasonCheck()
{
    QFETCH(QString, typed);
    QFETCH(QString, label);
    QFETCH(QString, message);
    const int i = find([&](const PersonRecord &p) {
        return p.classification() == 2 &&
               !loadHistory(*mDb, p.offset() / 157, mLookups.clubNames().names()).isEmpty();
    });
    open(i);
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
    QTest::addColumn<int>("cls");       // classification of the person picked
    QTest::addColumn<bool>("combined"); // his stored job: combined, else Player
    QTest::addColumn<bool>("keepClub");
    QTest::addColumn<int>("chosen");
    QTest::addColumn<int>("answer"); // -1 no question, 0 No, 1 Yes
    QTest::addColumn<QString>("message");
    QTest::addColumn<int>("shownJob"); // -1: the stored one
    QTest::addColumn<int>("storedClass");

    const QString club = QString::fromLatin1(RoleMessage::PlayerFreeTransferFirst);
    const QString refused = QStringLiteral("Job cannot be changed");
    const QString sure = QStringLiteral("Are you sure?");
    QTest::newRow("with a club") << 2 << false << true << 0 << -1 << club << -1 << 2;
    QTest::newRow("player to coach, yes") << 2 << false << false << 15 << 1 << sure << 15 << 3;
    QTest::newRow("player to coach, no") << 2 << false << false << 15 << 0 << sure << -1 << 2;
    QTest::newRow("player to manager") << 2 << false << false << 5 << -1 << refused << -1 << 2;
    QTest::newRow("player to retired") << 2 << false << false << 16 << -1 << "" << 16 << 2;
    QTest::newRow("combined to player") << 3 << true << false << 11 << -1 << refused << -1 << 3;
    QTest::newRow("combined to scout, no") << 3 << true << false << 9 << 0 << sure << -1 << 3;
    QTest::newRow("combined to scout, yes") << 3 << true << false << 9 << 1 << sure << -2 << 1;
}

void TestPlayerScreen::jobRules()
{
    QFETCH(int, cls);
    QFETCH(bool, combined);
    QFETCH(bool, keepClub);
    QFETCH(int, chosen);
    QFETCH(int, answer);
    QFETCH(QString, message);
    QFETCH(int, shownJob);
    QFETCH(int, storedClass);

    auto jobOk = [combined](int job) {
        return combined ? Job::isCombined(job) : job == Job::Player;
    };
    const int i = keepClub ? find([&](const PersonRecord &p) {
        return p.classification() == cls && jobOk(p.job()) && p.club() >= 0;
    })
                           : freePerson(cls, jobOk);
    const int storedJob = rec(i).job();
    open(i);
    const Images before = Images::of(*mDb);
    QSignalSpy toStaff(mScreen.get(), &PlayerScreen::staffScreenRequested);
    if (answer >= 0)
        mPrompter.queue(answer == 1);
    w<QComboBox>("PJob")->setCurrentIndex(chosen);

    QCOMPARE(mPrompter.lastText(), message);
    const bool changesImage = answer == 1;
    if (!changesImage)
        QCOMPARE(Images::of(*mDb), before);
    QCOMPARE(rec(i).classification(), storedClass);
    if (shownJob == -2) { // dropped his playing side: now a staff member
        QCOMPARE(toStaff.count(), 1);
        QCOMPARE(rec(i).job(), chosen);
        QCOMPARE(rec(i).playerAttributes(), -1);
        QCOMPARE(mDb->counters().playerAttributes, before.counters.playerAttributes - 1);
    } else {
        QCOMPARE(toStaff.count(), 0);
        QCOMPARE(w<QComboBox>("PJob")->currentIndex(), shownJob < 0 ? storedJob : shownJob);
    }
    if (changesImage && storedClass == 3) {
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
    const int i = find([](const PersonRecord &p) { return p.classification() == 2; });
    open(i);
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

void TestPlayerScreen::roleAndGoToButtons()
{
    const int combined = find([](const PersonRecord &p) { return p.classification() == 3; });
    const int withClub = find([](const PersonRecord &p) {
        return p.classification() == 2 && p.club() >= 0 && p.nationality() >= 0;
    });
    const int noClub = freePerson(4, [](int) { return true; });
    QSignalSpy toStaff(mScreen.get(), &PlayerScreen::staffScreenRequested);
    QSignalSpy toClub(mScreen.get(), &PlayerScreen::clubRequested);
    QSignalSpy toNation(mScreen.get(), &PlayerScreen::nationRequested);
    QSignalSpy create(mScreen.get(), &PlayerScreen::createButtonChanged);

    open(combined);
    QVERIFY(w<QPushButton>("bnNonPlaying")->isEnabled());
    click("bnNonPlaying");
    QCOMPARE(toStaff.count(), 1);
    QCOMPARE(create.last(), (QVariantList{QStringLiteral("Create New Player"), true}));
    QCOMPARE(mState.recordKind, RecordKind::Player);

    open(withClub);
    QVERIFY(!w<QPushButton>("bnNonPlaying")->isEnabled());
    QCOMPARE(w<QLabel>("PClub")->text(), fromCp1252(ClubShortName(*mDb, rec(withClub).club())));
    click("bnPToClub");
    QCOMPARE(toClub.count(), 1);
    QCOMPARE(toClub.last().at(0).toLongLong(), qint64(rec(withClub).club()) * RecordSize::Club);
    QTest::mouseDClick(w<QLabel>("PClub"), Qt::LeftButton);
    QCOMPARE(toClub.count(), 2);
    click("bnPNat");
    QCOMPARE(toNation.last().at(0).toLongLong(),
             qint64(rec(withClub).nationality()) * RecordSize::Nation);

    open(noClub);
    QCOMPARE(w<QLabel>("PClub")->text(), QStringLiteral("No Club"));
    QVERIFY(!w<QToolButton>("bnPToClub")->isEnabled());
}

void TestPlayerScreen::miscListAndClubPicking()
{
    const int i = find([](const PersonRecord &p) {
        return p.classification() == 2 && p.relationship(1) >= 0 && p.relationship(9) < 0;
    });
    open(i);
    auto *list = w<QTreeWidget>("PMiscList");
    QCOMPARE(list->topLevelItemCount(), 12);
    QCOMPARE(list->topLevelItem(1)->text(0), QStringLiteral("Fav Club 2"));
    QCOMPARE(list->topLevelItem(1)->text(1),
             fromCp1252(mLookups.clubNames().get(rec(i).relationship(1))));
    QCOMPARE(list->topLevelItem(9)->text(0), QStringLiteral("Dislike Plyr/Staff 1"));
    QCOMPARE(list->topLevelItem(9)->text(1), QStringLiteral("<none>"));

    QSignalSpy dialog(mScreen.get(), &PlayerScreen::miscListDialogRequested);
    click("bgPMisc"); // nothing selected
    QCOMPARE(dialog.count(), 0);
    list->setCurrentItem(list->topLevelItem(7));
    click("bgPMisc");
    QCOMPARE(dialog.count(), 1);
    QCOMPARE(dialog.last().at(0).toInt(), 7);
    // What the dialog writes shows after the rebuild.
    rec(i).setRelationship(7, i);
    mScreen->rebuildMiscList();
    QCOMPARE(list->topLevelItem(7)->text(1),
             fromCp1252(FirstNameText(*mDb, rec(i).firstName()) + ' ' +
                        SecondNameText(*mDb, rec(i).secondName())));

    QSignalSpy picking(mScreen.get(), &PlayerScreen::clubPickingRequested);
    click("bnLClub");
    QCOMPARE(picking.last().at(0).value<ClubPickField>(), ClubPickField::LClub);
    mScreen->setPickedClub(ClubPickField::LClub, QStringLiteral("Somewhere FC"));
    QCOMPARE(w("LClub")->text(), QStringLiteral("Somewhere FC"));
    QVERIFY(mScreen->changedFlags().misc);
}

void TestPlayerScreen::failedConfirmChangesNothing_data()
{
    QTest::addColumn<QString>("box");
    QTest::addColumn<QString>("typed");
    QTest::addColumn<QString>("later"); // a later bad box, which is not the one reported
    QTest::newRow("first box") << "DOB1"
                               << "x"
                               << "Vis";
    QTest::newRow("wage") << "PWage"
                          << "12a"
                          << "PAda";
    QTest::newRow("empty") << "Goal"
                           << ""
                           << "HGoa";
    QTest::newRow("too big") << "PValue"
                             << "4294967296"
                             << "Gk";
    QTest::newRow("last rating") << "Wor"
                                 << "2 0"
                                 << "HGoa";
    QTest::newRow("history apps") << "HApp"
                                  << "lots"
                                  << "";
}

// The confirm converts every box, and the history's numbers, before it
// writes: a bad text leaves names, misc lines, nations, history and both
// records exactly as they were.
void TestPlayerScreen::failedConfirmChangesNothing()
{
    QFETCH(QString, box);
    QFETCH(QString, typed);
    QFETCH(QString, later);
    const int i = find([&](const PersonRecord &p) {
        return p.classification() == 2 &&
               !loadHistory(*mDb, p.offset() / 157, mLookups.clubNames().names()).isEmpty();
    });
    open(i);
    setText("FName", "Changed");
    w<QComboBox>("PNation")->setCurrentIndex(w<QComboBox>("PNation")->currentIndex() == 1 ? 2 : 1);
    setText("TClub", fromCp1252(mLookups.clubNames().get(0)));
    setText("PAda", "17");
    w<QTreeWidget>("HistList")->setCurrentItem(w<QTreeWidget>("HistList")->topLevelItem(0));
    click("HAdd");
    setText(box.toLatin1().constData(), typed);
    if (!later.isEmpty())
        setText(later.toLatin1().constData(), "also bad");
    const Images before = Images::of(*mDb);

    QVERIFY(!mScreen->ConfirmPlayerClick());
    QCOMPARE(mPrompter.texts(),
             QStringList{QStringLiteral("'%1' is not a valid integer value").arg(typed)});
    QCOMPARE(Images::of(*mDb), before);
    QVERIFY(!mDb->isModified());

    setText(box.toLatin1().constData(), "7");
    if (!later.isEmpty())
        setText(later.toLatin1().constData(), "7");
    QVERIFY(mScreen->ConfirmPlayerClick());
    QCOMPARE(FirstNameText(*mDb, rec(i).firstName()), QByteArray("Changed"));
    QCOMPARE(rec(i).mentalRating(0), later == "PAda" ? 7 : 17);
    QVERIFY(mDb->isModified());
    verifyIntegrity();
}

void TestPlayerScreen::createAppendsOnePlayer()
{
    const int i = find([](const PersonRecord &p) { return p.classification() == 2; });
    open(i);
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
    QCOMPARE(w("FName")->text(), QStringLiteral("<first name>"));
    QCOMPARE(mScreen->title(), QStringLiteral("<first name> <second name>"));
    QCOMPARE(w("Join1")->text() + w("Join2")->text() + w("Join3")->text(),
             QStringLiteral("211996"));
    QCOMPARE(w<QComboBox>("PJob")->currentIndex(), Job::Player);
    QCOMPARE(w<QComboBox>("PClass")->currentIndex(), Classification::Player);
    QCOMPARE(w<QComboBox>("PlayIn")->currentIndex(), 1);
    QCOMPARE(w<QComboBox>("PNation")->currentIndex(), 0);
    QCOMPARE(w("Acc")->text(), QStringLiteral("0"));
    QCOMPARE(w("TClub")->text(), QStringLiteral("<none>"));
    QCOMPARE(w<QTreeWidget>("HistList")->topLevelItemCount(), 0);
    QCOMPARE(w<QTreeWidget>("PMiscList")->topLevelItemCount(), 0);
    QCOMPARE(w<QLabel>("PClub")->text(), QStringLiteral("No Club"));
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

    PersonRecord p = rec(before.persons);
    QCOMPARE(p.id(), before.persons);
    QCOMPARE(FirstNameText(*mDb, p.firstName()), QByteArray("<first name>"));
    QCOMPARE(SecondNameText(*mDb, p.secondName()), QByteArray("<second name>"));
    QCOMPARE(CommonNameText(*mDb, p.commonName()), QByteArray("<common name>"));
    QCOMPARE(p.dateOfBirth(), (RecordDate{31, 1900, 0}));
    QCOMPARE(int(p.get(PersonField::Unused24)), 0);
    QCOMPARE(p.nationality(), -1);
    QCOMPARE(p.secondNationality(), -2);
    QCOMPARE(p.nationalTeam(), -2);
    QCOMPARE(p.nationalJob(), 0);
    QCOMPARE(p.nationalJoined(), RecordDate{});
    QCOMPARE(p.nationalContractEnd(), (RecordDate{31, 1900, 1}));
    QCOMPARE(p.club(), -2);
    QCOMPARE(p.job(), Job::Player);
    QCOMPARE(p.joined(), (RecordDate{1, 1996, 0}));
    QCOMPARE(p.contractEnd(), (RecordDate{31, 1900, 0}));
    QCOMPARE(p.wage(), 0);
    QCOMPARE(p.value(), 0);
    QCOMPARE(p.playsIn(), 1);
    QCOMPARE(p.classification(), Classification::Player);
    QCOMPARE(int(p.get(PersonField::Unused96)), 0);
    for (int s = 0; s < PersonRelationship::Count; ++s)
        QCOMPARE(p.relationship(s), PersonRelationship::isClubSlot(s) ? -2 : -1);
    QCOMPARE(p.playerAttributes(), before.playerAttributes);
    QCOMPARE(p.get(PersonField::Unused149), -1);
    QCOMPARE(p.staffAttributes(), -1);
    const PlayerAttributes a = *playerAttributesOf(*mDb, p);
    QCOMPARE(a.id(), before.playerAttributes);
    QCOMPARE(a.playingRating(0), 15);
    QCOMPARE(a.image()->read(a.offset() + 4, 23), QByteArray(23, '\0'));
    QCOMPARE(a.image()->read(a.offset() + 28, 41), QByteArray(41, '\0'));
    QCOMPARE(int(a.get(PlayerAttributesField::Unused69)), 2);
    QCOMPARE(mDb->image(DataFile::Staff).size(), a.offset() + RecordSize::PlayerAttributes);
    verifyIntegrity();
}

void TestPlayerScreen::failedCreateConfirmAppendsNothing()
{
    open(find([](const PersonRecord &p) { return p.classification() == 2; }));
    mPrompter.queue(true);
    mScreen->bnCreateNewClick();
    const Images before = Images::of(*mDb);
    setText("Cap", "many");
    QVERIFY(!mScreen->ConfirmPlayerClick());
    QCOMPARE(Images::of(*mDb), before);
    QVERIFY(mState.newRecordMode);
    setText("Cap", "3");
    QVERIFY(mScreen->ConfirmPlayerClick());
    QCOMPARE(mDb->counters().persons, before.counters.persons + 1);
    verifyIntegrity();
}

// The screen inside the main window: opened from the player search, titling
// the editor, setting its buttons, and borrowing the search menu for the
// misc-list dialog and club picking.
void TestPlayerScreen::mainWindowHooks()
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
    FindOrAddName(db, NameTable::Second, -1, "Qwertyson", NameTarget::person(i));

    static_cast<QLineEdit *>(find("PSearch"))->clear();
    QTest::keyClicks(find("PSearch"), "Qwertyson");
    press("bnSearchPlayer");
    auto *results = static_cast<QTreeView *>(find("PSearchList"));
    QCOMPARE(results->model()->rowCount(), 1);
    results->setCurrentIndex(results->model()->index(0, 0));
    press("bnGotoPlayer");
    QCOMPARE(form.currentPanel(), form.editorFrame());
    QCOMPARE(form.editorFrame()->currentEditorPanel(), form.playerScreen());
    const QString first = fromCp1252(FirstNameText(db, person(db, i)->firstName()));
    QCOMPARE(form.editorFrame()->title(), first + QStringLiteral(" Qwertyson"));
    QCOMPARE(static_cast<QPushButton *>(find("bnCreateNew"))->text(),
             QStringLiteral("Create New Player"));
    QVERIFY(find("bnDelete")->isEnabled());

    auto *misc = static_cast<QTreeWidget *>(find("PMiscList"));
    misc->setCurrentItem(misc->topLevelItem(0));
    QTest::mouseClick(find("bgPMisc"), Qt::LeftButton);
    QCOMPARE(form.currentPanel(), form.searchMenu1());
    form.searchModes()->MiscNoneClick();
    QCOMPARE(person(db, i)->relationship(0), -2);
    QCOMPARE(misc->topLevelItem(0)->text(1), QStringLiteral("<none>"));
    QCOMPARE(form.currentPanel(), form.editorFrame());

    QTest::mouseClick(find("bnTClub"), Qt::LeftButton);
    QCOMPARE(form.searchModes()->mode(), SearchMenuModes::Mode::ClubPicking);
    QVERIFY(form.searchModes()->pickClub(0));
    QCOMPARE(static_cast<QLineEdit *>(find("TClub"))->text(), fromCp1252(ClubLongName(db, 0)));

    const int persons = db.counters().persons;
    answers->queue(true);
    press("bnCreateNew");
    QCOMPARE(form.editorFrame()->title(), QStringLiteral("<first name> <second name>"));
    QVERIFY(!find("bnDelete")->isEnabled());
    QTest::mouseClick(find("ConfirmPlayer"), Qt::LeftButton);
    QCOMPARE(db.counters().persons, persons + 1);
    QVERIFY(find("bnDelete")->isEnabled());
    QCOMPARE(answers->pendingAnswers(), 0);
}

// Pictures of every tab in the main window, for checking the layout by eye:
// KX3_SCREENSHOTS=<folder>.
void TestPlayerScreen::screenshots()
{
    const QString dir = qEnvironmentVariable("KX3_SCREENSHOTS");
    if (dir.isEmpty())
        QSKIP("KX3_SCREENSHOTS not set");
    QApplication::setQuitOnLastWindowClosed(false);
    TMainForm form(std::make_unique<test::FakeSource>(), mInstall->path(),
                   std::make_unique<ScriptedPrompter>());
    form.show();
    QVERIFY(QTest::qWaitForWindowActive(&form));
    QTest::mouseClick(form.findChild<QPushButton *>(QStringLiteral("bnBegin")), Qt::LeftButton);
    Database &db = form.database();
    const QList<QByteArray> &clubs = form.lookups().clubNames().names();
    int i = 0;
    while (person(db, i)->classification() != 2 || person(db, i)->club() < 0 ||
           person(db, i)->relationship(0) < 0 || loadHistory(db, i, clubs).size() < 3)
        ++i;
    form.openRecord(EditorScreen::Player, personOffset(i));
    auto *history = form.findChild<QTreeWidget *>(QStringLiteral("HistList"));
    history->setCurrentItem(history->topLevelItem(1));
    auto *tabs = form.findChild<QTabWidget *>(QStringLiteral("PC2"));
    const char *names[] = {"general", "attributes1", "attributes2", "misc"};
    for (int t = 0; t < tabs->count(); ++t) {
        tabs->setCurrentIndex(t);
        QVERIFY(form.grab().save(dir + QStringLiteral("/player-%1.png").arg(names[t])));
    }
}

KX3_GUI_TEST_MAIN(TestPlayerScreen)
#include "tst_PlayerScreen.moc"
