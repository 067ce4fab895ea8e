#include "gui/world/OfficialScreen.h"

#include "core/layout/OfficialRecord.h"
#include "core/lookup/NameTables.h"
#include "core/world/OfficialEdit.h"

#include "../support/OffscreenTestMain.h"
#include "../support/RecordScreenFixture.h"
#include "RecordsTestSupport.h"

#include <QComboBox>
#include <QToolButton>

using namespace kx3;

namespace {

const QString Question = QStringLiteral("Are you sure?");

// The boxes of officialBoxes(), in its order.
const std::array<const char *, OfficialBoxCount> Boxes = {
    "ODOB1", "ODOB2", "ODOB3", "OAbi",  "OPot", "ORep",  "OFlow",
    "ODisc", "OImp",  "OPres", "OReff", "ORun", "OTime",
};

} // namespace

class tst_OfficialScreen : public QObject, public test::RecordScreenFixture<OfficialScreen>
{
    Q_OBJECT

private Q_SLOTS:
    void initTestCase() { setUpInstallation(); }
    void init() { setUpScreen(); }
    void cleanup() { tearDownScreen(); }

    void confirmEveryOfficialUnchanged();
    void everyControlIsBound();
    void makePerfect_data();
    void makePerfect();
    void createOfficial();
    void refusalFocusesTheBox();
    void impossibleInputIsRefusedAndRangesAsked();
    void titleAndGoTo();

private:
    QByteArray officials() const { return mDb->image(DataFile::Officials).bytes(); }
};

// Through the screen, an unchanged confirm leaves every official as the
// core leaves him when handed what it loaded.
void tst_OfficialScreen::confirmEveryOfficialUnchanged()
{
    Database expected;
    QVERIFY(mInstall->loadInto(expected));
    for (int i = 0; i < officialCount(*mDb); ++i) {
        const OfficialEdit shown = *loadOfficialEdit(expected, mLookups, i);
        QVERIFY(applyOfficialEdit(expected, mLookups, i, shown).ok());
        open(i);
        QVERIFY(mScreen->confirm());
        QVERIFY2(officials() == expected.image(DataFile::Officials).bytes(),
                 qPrintable(QString::number(i)));
    }
    QCOMPARE(mDb->image(DataFile::FirstNames).bytes(),
             expected.image(DataFile::FirstNames).bytes());
    QVERIFY(mPrompter.texts().isEmpty());
}

void tst_OfficialScreen::everyControlIsBound()
{
    open(2);
    for (std::size_t b = 0; b < Boxes.size(); ++b)
        type(Boxes[b], QString::number(b + 3));
    type("OFName", QStringLiteral("Arvid"));
    type("OSName", QStringLiteral("Lindqvist"));
    w<QComboBox>("ONation")->setCurrentIndex(3);
    w<QComboBox>("OCity")->setCurrentIndex(4);
    click("ConfirmOff");
    const OfficialEdit stored = *loadOfficialEdit(*mDb, mLookups, 2);
    QCOMPARE(stored.firstName, QByteArray("Arvid"));
    QCOMPARE(stored.secondName, QByteArray("Lindqvist"));
    for (std::size_t b = 0; b < Boxes.size(); ++b)
        QCOMPARE(stored.boxes[qsizetype(b)], QString::number(b + 3));
    QCOMPARE(stored.nationItem, 3);
    QCOMPARE(stored.cityItem, 4);
    // The names were filed under the chosen nation.
    QCOMPARE(FindName(*mDb, NameTable::First, 2, "Arvid"), official(*mDb, 2)->firstName());
    QVERIFY(mDb->isModified());
    KX3_VERIFY_SOUND(*mDb, mLookups);
}

void tst_OfficialScreen::makePerfect_data()
{
    QTest::addColumn<bool>("yes");
    QTest::newRow("Yes") << true;
    QTest::newRow("No") << false;
}

void tst_OfficialScreen::makePerfect()
{
    QFETCH(bool, yes);
    open(1);
    QList<QString> before;
    for (const char *name : Boxes)
        before.append(w(name)->text());
    const QByteArray bytes = officials();
    mPrompter.queue(yes);
    click("bnOMax");
    QCOMPARE(mPrompter.texts(), QStringList{Question});
    for (std::size_t b = 0; b < Boxes.size(); ++b) {
        const QString want = !yes    ? before[qsizetype(b)]
                             : b < 3 ? before[qsizetype(b)] // the date stays
                             : b < 6 ? QStringLiteral("200")
                                     : QStringLiteral("20");
        QCOMPARE(w(Boxes[b])->text(), want);
    }
    QCOMPARE(officials(), bytes); // nothing until the confirm
}

void tst_OfficialScreen::createOfficial()
{
    const int count = officialCount(*mDb);
    beginCreate(0);
    QCOMPARE(mScreen->title(), QStringLiteral("<first name> <second name>"));
    QCOMPARE(w("ODOB1")->text() + w("ODOB2")->text() + w("ODOB3")->text(),
             QStringLiteral("121900"));
    QCOMPARE(w<QComboBox>("ONation")->currentIndex(), 0);
    QCOMPARE(w("OTime")->text(), QStringLiteral("0"));
    QCOMPARE(QApplication::focusWidget(), w("OFName"));
    QVERIFY(!mScreen->deleteButton().enabled);

    click("ConfirmOff");
    QVERIFY(!mState.newRecordMode);
    QCOMPARE(officialCount(*mDb), count + 1);
    QCOMPARE(officials().size(), qsizetype(count + 1) * RecordSize::Official);
    QCOMPARE(mState.offset(EditorScreen::Official), qint64(count) * RecordSize::Official);
    QCOMPARE(FirstNameText(*mDb, official(*mDb, count)->firstName()), QByteArray("<first name>"));
    QVERIFY(mScreen->deleteButton().enabled);
    KX3_VERIFY_SOUND(*mDb, mLookups);
}

// A rating the record cannot hold stops the confirm on the box, in new-record
// mode too, where nothing is appended.
void tst_OfficialScreen::refusalFocusesTheBox()
{
    mScreen->activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(mScreen.get()));
    open(0);
    mPrompter.queue(true);
    mScreen->beginNewRecord();
    type("OFlow", QStringLiteral("300"));
    const QByteArray before = officials();
    QVERIFY(!mScreen->confirm());
    QCOMPARE(
        mPrompter.errors(),
        QStringList{"'300' cannot be stored as Allowing Flow: it must be between 0 and 255."});
    QCOMPARE(QApplication::focusWidget(), w("OFlow"));
    QCOMPARE(officials(), before);
    QVERIFY(!mDb->isModified());
}

// An impossible date or a letter the files cannot hold is refused on its box
// with nothing written; a value outside the range the screen shows is asked
// about once: No writes nothing, Yes stores it, and left as it is it is not
// asked about again.
void tst_OfficialScreen::impossibleInputIsRefusedAndRangesAsked()
{
    mScreen->activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(mScreen.get()));
    open(0);
    const QByteArray before = officials();
    type("ODOB1", QStringLiteral("31"));
    type("ODOB2", QStringLiteral("2"));
    type("ODOB3", QStringLiteral("1999"));
    QVERIFY(!mScreen->confirm());
    QCOMPARE(mPrompter.errors(), QStringList{"'31/2/1999' is not a date (Date Of Birth)"});
    QCOMPARE(QApplication::focusWidget(), w("ODOB1"));
    type("ODOB1", QStringLiteral("28"));
    type("OSName", QStringLiteral(u"\u0141ukasz"));
    QVERIFY(!mScreen->confirm());
    QVERIFY(mPrompter.errors().last().startsWith(
        QStringLiteral(u"'\u0141' cannot be stored in Second Name")));
    QCOMPARE(QApplication::focusWidget(), w("OSName"));
    QCOMPARE(officials(), before);

    type("OSName", QStringLiteral("Lukas"));
    type("OAbi", QStringLiteral("250"));
    mPrompter.queue(false);
    QVERIFY(!mScreen->confirm());
    QCOMPARE(mPrompter.lastText(),
             QStringLiteral("Current Ability 250 is outside 0 - 200. Store anyway?"));
    QCOMPARE(officials(), before);
    QVERIFY(!mDb->isModified());
    mPrompter.queue(true);
    QVERIFY(mScreen->confirm());
    QCOMPARE(official(*mDb, 0)->currentAbility(), 250);
    const int asked = int(mPrompter.texts().size());
    QVERIFY(mScreen->confirm());
    QCOMPARE(mPrompter.texts().size(), asked);
}

void tst_OfficialScreen::titleAndGoTo()
{
    open(1);
    type("OSName", QStringLiteral("Berg"));
    QCOMPARE(mScreen->title(), w("OFName")->text() + QStringLiteral(" Berg"));
    QCOMPARE(mScreen->createButton().caption, QStringLiteral("Create New Official"));
    QCOMPARE(mScreen->deleteButton().caption, QStringLiteral("Delete Official"));

    QVERIFY(!w<QToolButton>("bnOCity")->isEnabled());
    mScreen->screenAdded(EditorScreen::Nation);
    mScreen->screenAdded(EditorScreen::City);
    w<QComboBox>("ONation")->setCurrentIndex(0);
    click("bnONat"); // "<none>": nothing
    w<QComboBox>("ONation")->setCurrentIndex(2);
    click("bnONat");
    w<QComboBox>("OCity")->setCurrentIndex(1);
    click("bnOCity");
    const int city = mLookups.cities().recordIndex(1);
    QCOMPARE(mRequests, (QList<std::pair<EditorScreen, qint64>>{
                            {EditorScreen::Nation, 1 * RecordSize::Nation},
                            {EditorScreen::City, city * RecordSize::City}}));
}

KX3_GUI_TEST_MAIN(tst_OfficialScreen)
#include "tst_OfficialScreen.moc"
