#include "gui/world/CityScreen.h"

#include "core/db/Cp1252.h"
#include "core/db/DataImage.h"
#include "core/layout/CityRecord.h"
#include "core/world/CityEdit.h"
#include "gui/world/StadiumScreen.h"

#include "../support/OffscreenTestMain.h"
#include "../support/RecordScreenFixture.h"
#include "RecordsTestSupport.h"

#include <QComboBox>
#include <QSignalSpy>
#include <QTabWidget>
#include <QToolButton>

using namespace kx3;

namespace {

const QLocale English(QLocale::English, QLocale::UnitedStates);

/// Cities whose stored values have no faithful text or item on the screen.
void storeOddCities(Database &db)
{
    CityRecord odd = *city(db, 1);
    odd.setLatitude(51.123456789); // shown as 51.12346
    odd.setLongitude(-1e-300);
    odd.setNation(9999); // no such nation
    odd.setClimate(31);  // one past the list
    odd.setAttraction(255);
    CityRecord other = *city(db, 2);
    other.setNation(-1);  // "<none>"
    other.setClimate(-5); // "<Unknown>"
    // Bytes behind the name's end.
    db.image(DataFile::City).write(other.offset() + 4, QByteArray("Ab\0junk", 7));
}

QStringList itemTexts(const QComboBox *box)
{
    QStringList items;
    for (int i = 0; i < box->count(); ++i)
        items.append(box->itemText(i));
    return items;
}

} // namespace

class tst_CityScreen : public QObject, public test::RecordScreenFixture<CityScreen>
{
    Q_OBJECT

private Q_SLOTS:
    void initTestCase() { setUpInstallation(); }
    void init() { setUpScreen(); }
    void cleanup() { tearDownScreen(); }

    void confirmEveryCityUnchanged();
    void everyControlIsBound();
    void refusalFocusesTheBox_data();
    void refusalFocusesTheBox();
    void createCity();
    void renamedCityIsListedAtOnce();
    void titleButtonsAndSeasons();
    void recordChangedUnderTheScreen_data();
    void recordChangedUnderTheScreen();

private:
    QComboBox *combo(const char *name) const { return w<QComboBox>(name); }
    /// The city choice of a stadium screen shown on the same database.
    QStringList stadiumCityItems()
    {
        StadiumScreen stadiums(*mContext);
        mState.offset(EditorScreen::Stadium) = 0;
        if (!stadiums.showRecord())
            return {};
        return itemTexts(stadiums.findChild<QComboBox *>(QStringLiteral("StCity")));
    }
};

// Through the screen, an unchanged confirm leaves every city as the core's
// unchanged edit does, also where a stored value has no faithful box text or
// list item.
void tst_CityScreen::confirmEveryCityUnchanged()
{
    Database expected;
    QVERIFY(mInstall->loadInto(expected));
    storeOddCities(expected);
    storeOddCities(*mDb);
    Lookups expectedLookups;
    expectedLookups.build(expected, English);
    mLookups.build(*mDb, English);
    for (int i = 0; i < cityCount(*mDb); ++i) {
        open(i);
        QVERIFY(mScreen->confirm());
        const CityEdit unchanged = *loadCityEdit(expected, expectedLookups, i);
        QVERIFY(applyCityEdit(expected, expectedLookups, i, unchanged).ok());
        QVERIFY2(mDb->image(DataFile::City).bytes() == expected.image(DataFile::City).bytes(),
                 qPrintable(QString::number(i)));
    }
    QCOMPARE(mLookups.cities().entries(), expectedLookups.cities().entries());
}

// Every control reaches its own field: what is typed and chosen is what the
// record shows afterwards.
void tst_CityScreen::everyControlIsBound()
{
    mDb->clearHistory();
    open(3);
    type("CtName", QStringLiteral("Port Ellery"));
    type("CtLat", QStringLiteral("51.5"));
    type("CtLong", QStringLiteral("-0.1275"));
    type("CtAttract", QStringLiteral("201"));
    combo("CtNat")->setCurrentIndex(2);
    combo("CtWeather")->setCurrentIndex(31);
    QCOMPARE(combo("CtWeather")->currentText(), QStringLiteral("BWhw - Karachi"));
    click("ConfirmCity");

    const CityEdit stored = *loadCityEdit(*mDb, mLookups, 3);
    QCOMPARE(stored.name, QByteArray("Port Ellery"));
    QCOMPARE(stored.boxes, (QList<QString>{"51.5", "-0.1275", "201"}));
    QCOMPARE(stored.nationItem, 2);
    QCOMPARE(stored.climateItem, 31);
    QVERIFY(mDb->isModified());
}

void tst_CityScreen::refusalFocusesTheBox_data()
{
    QTest::addColumn<bool>("creating");
    QTest::newRow("city shown") << false;
    QTest::newRow("new city") << true;
}

// A latitude that is not a number stops the confirm: the warning names it,
// its box gets the focus, and nothing is written or appended.
void tst_CityScreen::refusalFocusesTheBox()
{
    QFETCH(bool, creating);
    checkRefusal(creating, "CtName", "CtLat", QStringLiteral("51,5x"), "ConfirmCity",
                 QStringLiteral("'51,5x' is not a valid floating point value"), DataFile::City,
                 mLookups.cities());
}

void tst_CityScreen::createCity()
{
    const int count = cityCount(*mDb);
    w("CtAttract")->setFocus();
    beginCreate(2);
    QCOMPARE(mScreen->title(), QStringLiteral("<city name>"));
    QCOMPARE(combo("CtNat")->currentText(), QStringLiteral("<none>"));
    for (const char *box : {"CtLat", "CtLong", "CtAttract"})
        QCOMPARE(w(box)->text(), QStringLiteral("0"));
    QCOMPARE(combo("CtWeather")->currentText(), QStringLiteral("<Unknown>"));
    QCOMPARE(QApplication::focusWidget(), w("CtName"));
    QVERIFY(!mScreen->deleteButton().enabled);

    type("CtName", QStringLiteral("Lowmere"));
    combo("CtNat")->setCurrentIndex(1);
    click("ConfirmCity");
    QVERIFY(!mState.newRecordMode);
    QCOMPARE(mDb->image(DataFile::City).size(), qsizetype(count + 1) * RecordSize::City);
    QCOMPARE(mState.offset(EditorScreen::City), qint64(count) * RecordSize::City);
    QCOMPARE(mScreen->title(), QStringLiteral("Lowmere"));
    QCOMPARE(city(*mDb, count)->nation(), 0);
    // The next confirm writes the new city again; it does not add another.
    click("ConfirmCity");
    QCOMPARE(cityCount(*mDb), count + 1);

    // The city boxes list it where a fresh load would.
    const QStringList items = stadiumCityItems();
    const int position = PickList::fromCities(*mDb, English).position(count);
    QCOMPARE(items.value(position + 1), QStringLiteral("Lowmere"));
    QCOMPARE(items.size(), count + 2);
    KX3_VERIFY_SOUND(*mDb, mLookups);
}

void tst_CityScreen::renamedCityIsListedAtOnce()
{
    open(5);
    type("CtName", QStringLiteral("Aardvark Vale"));
    click("ConfirmCity");
    const QStringList items = stadiumCityItems();
    QCOMPARE(items.value(1), QStringLiteral("Aardvark Vale"));
    QCOMPARE(items.size(), cityCount(*mDb) + 1);
    QCOMPARE(mLookups.cities().recordIndex(1), 5);
}

void tst_CityScreen::titleButtonsAndSeasons()
{
    checkLiveTitle(4, fromCp1252(city(*mDb, 4)->name()), "CtName");

    const RecordButton create = mScreen->createButton();
    QCOMPARE(create.caption, QStringLiteral("Create New City"));
    QVERIFY(create.enabled);
    QCOMPARE(mScreen->deleteButton().caption, QStringLiteral("Delete City"));
    QVERIFY(!mScreen->deleteButton().enabled);

    // The go-to button waits for the nation screen; "<none>" opens nothing.
    QVERIFY(!w<QToolButton>("bnCtNat")->isEnabled());
    mScreen->screenAdded(EditorScreen::Nation);
    combo("CtNat")->setCurrentIndex(0);
    click("bnCtNat");
    combo("CtNat")->setCurrentIndex(3);
    click("bnCtNat");
    QCOMPARE(mRequests, (QList<std::pair<EditorScreen, qint64>>{
                            {EditorScreen::Nation, 2 * RecordSize::Nation}}));

    // The seasons are shown but bound to nothing.
    auto *seasons = w<QTabWidget>("PC5");
    QVERIFY(!seasons->isEnabled());
    QStringList captions;
    for (int i = 0; i < seasons->count(); ++i)
        captions.append(seasons->tabText(i));
    QCOMPARE(captions, (QStringList{"Spring", "Summer", "Autumn", "Wiinter"}));
}

// Another step writes the city shown (an undo, a table, a patch): a screen
// with nothing typed shows the new values at once; one with edits keeps
// them, and its confirm is refused instead of writing them over that step.
void tst_CityScreen::recordChangedUnderTheScreen_data()
{
    QTest::addColumn<bool>("typed");
    QTest::newRow("nothing typed") << false;
    QTest::newRow("edits typed") << true;
}

void tst_CityScreen::recordChangedUnderTheScreen()
{
    QFETCH(bool, typed);
    open(1);
    const int under = (city(*mDb, 1)->attraction() + 3) % 20;
    if (typed)
        type("CtName", QStringLiteral("Typed Over"));
    QVERIFY(city(*mDb, 1)->setAttraction(under));
    QVERIFY(mDoc->commitStep(QStringLiteral("Elsewhere")));
    QCOMPARE(w("CtAttract")->text() == QString::number(under), !typed);
    const QByteArray after = mDb->image(DataFile::City).bytes();
    QCOMPARE(mScreen->confirm(), !typed);
    QCOMPARE(mDb->image(DataFile::City).bytes(), after);
    QCOMPARE(w("CtAttract")->text(), QString::number(under));
    if (typed)
        QVERIFY(mPrompter.texts().last().contains(QStringLiteral("changed since it was shown")));
}

KX3_GUI_TEST_MAIN(tst_CityScreen)
#include "tst_CityScreen.moc"
