#include "gui/world/StadiumScreen.h"

#include "core/db/Cp1252.h"
#include "core/layout/StadiumRecord.h"
#include "core/world/StadiumEdit.h"

#include "../support/OffscreenTestMain.h"
#include "../support/RecordScreenFixture.h"
#include "RecordsTestSupport.h"

#include <QCheckBox>
#include <QComboBox>
#include <QSignalSpy>
#include <QToolButton>

#include <limits>

using namespace kx3;

namespace {

const QLocale English(QLocale::English, QLocale::UnitedStates);

/// Stadiums whose stored values have no item or no faithful check mark.
void storeOddStadiums(Database &db)
{
    StadiumRecord odd = *stadium(db, 1);
    odd.setCity(99999);        // not in the pick list
    odd.setNearby(-9);         // "<none>"
    odd.setRetractableRoof(1); // not a yes
    odd.setUnderSoilHeating(FlagYes);
    StadiumRecord other = *stadium(db, 2);
    other.setCity(-1);
    other.setNearby(99999);
    other.setCapacity(std::numeric_limits<std::int32_t>::min());
    other.setUnderSoilHeating(254);
}

} // namespace

class tst_StadiumScreen : public QObject, public test::RecordScreenFixture<StadiumScreen>
{
    Q_OBJECT

private Q_SLOTS:
    void initTestCase() { setUpInstallation(); }
    void init() { setUpScreen(); }
    void cleanup() { tearDownScreen(); }

    void confirmEveryStadiumUnchanged();
    void everyControlIsBound();
    void refusalFocusesTheBox_data();
    void refusalFocusesTheBox();
    void createStadium();
    void renamedStadiumIsListedAtOnce();
    void titleAndButtons();

private:
    QComboBox *combo(const char *name) const { return w<QComboBox>(name); }
    QCheckBox *check(const char *name) const { return w<QCheckBox>(name); }
};

// Through the screen, an unchanged confirm leaves every stadium as the core's
// unchanged edit does, also where a stored value has no list item or check
// mark of its own.
void tst_StadiumScreen::confirmEveryStadiumUnchanged()
{
    Database expected;
    QVERIFY(mInstall->loadInto(expected));
    storeOddStadiums(expected);
    storeOddStadiums(*mDb);
    Lookups expectedLookups;
    expectedLookups.build(expected, English);
    for (int i = 0; i < stadiumCount(*mDb); ++i) {
        open(i);
        QVERIFY(mScreen->confirm());
        const StadiumEdit unchanged = *loadStadiumEdit(expected, expectedLookups, i);
        QVERIFY(applyStadiumEdit(expected, expectedLookups, i, unchanged).ok());
        QVERIFY2(mDb->image(DataFile::Stadium).bytes()
                     == expected.image(DataFile::Stadium).bytes(),
                 qPrintable(QString::number(i)));
    }
    QCOMPARE(mLookups.stadiums().entries(), expectedLookups.stadiums().entries());
}

// Every control reaches its own field: what is typed and chosen is what the
// record shows afterwards.
void tst_StadiumScreen::everyControlIsBound()
{
    mDb->clearHistory();
    open(3);
    type("StadName", QStringLiteral("Harbour Lane Memorial Ground"));
    type("StCapa", QStringLiteral("41000"));
    type("StSeat", QStringLiteral("-12"));
    type("StExp", QStringLiteral("5000"));
    combo("StCity")->setCurrentIndex(2);
    combo("StNearby")->setCurrentIndex(4);
    const int nearby = mLookups.stadiums().recordIndex(4);
    check("StRoof")->setChecked(true);
    check("StHeat")->setChecked(false);
    click("ConfirmStadium");

    const StadiumEdit stored = *loadStadiumEdit(*mDb, mLookups, 3);
    QCOMPARE(stored.name, QByteArray("Harbour Lane Memorial Ground"));
    QCOMPARE(stored.boxes, (QList<QString>{"41000", "-12", "5000"}));
    QCOMPARE(stored.cityItem, 2);
    QCOMPARE(stadium(*mDb, 3)->nearby(), nearby);
    QVERIFY(stored.retractableRoof);
    QVERIFY(!stored.underSoilHeating);
    QVERIFY(mDb->isModified());
}

void tst_StadiumScreen::refusalFocusesTheBox_data()
{
    QTest::addColumn<bool>("creating");
    QTest::newRow("stadium shown") << false;
    QTest::newRow("new stadium") << true;
}

// A capacity past 32 bits stops the confirm: the warning names it, its box
// gets the focus, and nothing is written or appended.
void tst_StadiumScreen::refusalFocusesTheBox()
{
    QFETCH(bool, creating);
    checkRefusal(creating, "StadName", "StCapa", QStringLiteral("70000000000"), "ConfirmStadium",
                 QStringLiteral("'70000000000' is not a valid integer value"), DataFile::Stadium,
                 mLookups.stadiums());
}

void tst_StadiumScreen::createStadium()
{
    const int count = stadiumCount(*mDb);
    w("StExp")->setFocus();
    beginCreate(2);
    QCOMPARE(mScreen->title(), QStringLiteral("<stadium name>"));
    QCOMPARE(combo("StCity")->currentIndex(), 0);
    QCOMPARE(combo("StNearby")->currentIndex(), 0);
    for (const char *box : {"StCapa", "StSeat", "StExp"})
        QCOMPARE(w(box)->text(), QStringLiteral("0"));
    QVERIFY(!check("StRoof")->isChecked());
    QVERIFY(!check("StHeat")->isChecked());
    QCOMPARE(QApplication::focusWidget(), w("StadName"));
    QVERIFY(!mScreen->deleteButton().enabled);

    type("StadName", QStringLiteral("Kingsholm Road"));
    combo("StCity")->setCurrentIndex(2);
    combo("StNearby")->setCurrentIndex(3); // a new stadium has no nearby stadium yet
    click("ConfirmStadium");
    QVERIFY(!mState.newRecordMode);
    QCOMPARE(mDb->image(DataFile::Stadium).size(), qsizetype(count + 1) * RecordSize::Stadium);
    QCOMPARE(mState.offset(EditorScreen::Stadium), qint64(count) * RecordSize::Stadium);
    QCOMPARE(mScreen->title(), QStringLiteral("Kingsholm Road"));
    QCOMPARE(combo("StCity")->currentIndex(), 2);
    QCOMPARE(combo("StNearby")->currentIndex(), 0);
    QCOMPARE(stadium(*mDb, count)->nearby(), -2);

    // The nearby list names it at once, where a fresh load would.
    const int position = PickList::fromStadiums(*mDb, English).position(count);
    QCOMPARE(combo("StNearby")->itemText(position + 1), QStringLiteral("Kingsholm Road"));
    QCOMPARE(combo("StNearby")->count(), count + 2);
    // The next confirm writes the new stadium again; it does not add another.
    click("ConfirmStadium");
    QCOMPARE(stadiumCount(*mDb), count + 1);
    KX3_VERIFY_SOUND(*mDb, mLookups);
}

// The stadium's own nearby list follows a rename at once, and keeps the
// nearby stadium chosen.
void tst_StadiumScreen::renamedStadiumIsListedAtOnce()
{
    open(5);
    combo("StNearby")->setCurrentIndex(6);
    const QString nearby = combo("StNearby")->currentText();
    type("StadName", QStringLiteral("Aardvark Park"));
    click("ConfirmStadium");
    QCOMPARE(combo("StNearby")->itemText(1), QStringLiteral("Aardvark Park"));
    QCOMPARE(combo("StNearby")->count(), stadiumCount(*mDb) + 1);
    QCOMPARE(combo("StNearby")->currentText(), nearby);
    QCOMPARE(stadium(*mDb, 5)->nearby(),
             mLookups.stadiums().recordIndex(combo("StNearby")->currentIndex()));
}

void tst_StadiumScreen::titleAndButtons()
{
    checkLiveTitle(4, fromCp1252(stadium(*mDb, 4)->name()), "StadName");

    const RecordButton create = mScreen->createButton();
    QCOMPARE(create.caption, QStringLiteral("Create New Stadium"));
    QVERIFY(create.enabled);
    QCOMPARE(mScreen->deleteButton().caption, QStringLiteral("Delete Stadium"));
    QVERIFY(!mScreen->deleteButton().enabled);

    // The city button waits for the city screen; the nearby stadium opens on
    // this one. "<none>" opens nothing.
    QVERIFY(!w<QToolButton>("bnStCity")->isEnabled());
    mScreen->screenAdded(EditorScreen::City);
    combo("StCity")->setCurrentIndex(0);
    click("bnStCity");
    combo("StNearby")->setCurrentIndex(0);
    click("bnStNearby");
    QVERIFY(mRequests.isEmpty());
    combo("StCity")->setCurrentIndex(2);
    click("bnStCity");
    combo("StNearby")->setCurrentIndex(3);
    click("bnStNearby");
    const int city = mLookups.cities().recordIndex(2);
    const int nearby = mLookups.stadiums().recordIndex(3);
    QCOMPARE(mRequests, (QList<std::pair<EditorScreen, qint64>>{
                            {EditorScreen::City, city * RecordSize::City},
                            {EditorScreen::Stadium, nearby * RecordSize::Stadium}}));
}

KX3_GUI_TEST_MAIN(tst_StadiumScreen)
#include "tst_StadiumScreen.moc"
