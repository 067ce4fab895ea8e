#include "gui/clubs/ClubScreen.h"

#include "core/clubs/ClubEdit.h"
#include "core/clubs/ClubLists.h"
#include "core/layout/ClubRecord.h"
#include "core/layout/PersonRecord.h"
#include "gui/widgets/KitColourDelegate.h"

#include "../support/OffscreenTestMain.h"
#include "../support/RecordScreenFixture.h"
#include "RecordsTestSupport.h"

#include <QCheckBox>
#include <QComboBox>
#include <QImage>
#include <QLabel>
#include <QPainter>
#include <QSignalSpy>
#include <QToolButton>
#include <QTreeWidget>

#include <map>
#include <string>

using namespace kx3;

namespace {

const QString Question = QStringLiteral("Are you sure?");

} // namespace

class tst_ClubScreen : public QObject, public test::RecordScreenFixture<ClubScreen>
{
    Q_OBJECT

private Q_SLOTS:
    void initTestCase()
    {
        BuilderOptions options;
        options.persons = 300;
        setUpInstallation(options);
    }
    void init() { setUpScreen(); }
    void cleanup() { tearDownScreen(); }

    void confirmEveryClubUnchanged();
    void everyControlIsBound();
    void refusalFocusesTheBox_data();
    void refusalFocusesTheBox();
    void titlesAndButtons();
    void listsGoToTheirPeople();
    void kitColoursAndPreviews();
    void createClub();
    void deleteIsRefused_data();
    void deleteIsRefused();

private:
    QComboBox *combo(const char *name) const { return w<QComboBox>(name); }
};

// Through the screen: each control shown is read back as it was, so an
// unchanged confirm leaves every club and national team as the core would.
void tst_ClubScreen::confirmEveryClubUnchanged()
{
    club(*mDb, 1)->setReputation(10250);
    club(*mDb, 2)->setKitColour(3, 77);
    for (int i = 0; i < clubTotal(*mDb); ++i) {
        const qsizetype at = qsizetype(i) * RecordSize::Club;
        QByteArray want = mDb->clubs().bytes();
        want.replace(at, RecordSize::Club,
                     test::clubAfterUnchangedConfirm(want.mid(at, RecordSize::Club)));
        open(i);
        QVERIFY(mScreen->confirm());
        QVERIFY2(mDb->clubs().bytes() == want, qPrintable(QString::number(i)));
    }
    QVERIFY(mPrompter.texts().isEmpty());
    QCOMPARE(club(*mDb, 1)->reputation(), 10250);
}

// Every control reaches its own field: what is typed and chosen is what the
// record shows afterwards.
void tst_ClubScreen::everyControlIsBound()
{
    open(3);
    const std::array<const char *, ClubBoxCount> boxes = {"LastPos", "Cash",   "AvgAtt", "MinAtt",
                                                          "MaxAtt",  "CTrain", "CRep"};
    const std::array<const char *, ClubBoxCount> typed = {"4",    "1000", "2000", "3000",
                                                          "5000", "6",    "7"};
    for (std::size_t b = 0; b < boxes.size(); ++b)
        type(boxes[b], QString::fromLatin1(typed[b]));
    type("CLongName", QStringLiteral("Eastbridge Wanderers"));
    type("CShortName", QStringLiteral("Eastbridge"));
    const std::array<const char *, 15> lists = {
        "ClubStatus", "CNation",  "CDiv",         "CLastDiv",  "COtherDiv",
        "CMainStad",  "CRsvStad", "HomeMatchDay", "HomeCol1",  "HomeCol2",
        "AwayCol1",   "AwayCol2", "ThirdCol1",    "ThirdCol2", "ClubStatus"};
    std::map<std::string, int> chosen;
    int item = 1;
    for (const char *name : lists) {
        QComboBox *list = combo(name);
        chosen[name] = item % list->count();
        list->setCurrentIndex(chosen[name]);
        ++item;
    }
    w<QCheckBox>("OwnStad")->setChecked(true);
    w<QCheckBox>("ClubPLC")->setChecked(false);
    click("ConfirmClub");

    const ClubEdit stored = *loadClubEdit(*mDb, mLookups, 3);
    QCOMPARE(stored.longName, QByteArray("Eastbridge Wanderers"));
    QCOMPARE(stored.shortName, QByteArray("Eastbridge"));
    QCOMPARE(mLookups.clubNames().get(3), QByteArray("Eastbridge"));
    for (std::size_t b = 0; b < boxes.size(); ++b)
        QCOMPARE(stored.boxes[qsizetype(b)], QString::fromLatin1(typed[b]));
    QCOMPARE(stored.statusItem, chosen["ClubStatus"]);
    QCOMPARE(stored.nationItem, chosen["CNation"]);
    QCOMPARE(stored.divisionItem, chosen["CDiv"]);
    QCOMPARE(stored.lastDivisionItem, chosen["CLastDiv"]);
    QCOMPARE(stored.otherDivisionItem, chosen["COtherDiv"]);
    QCOMPARE(stored.mainStadiumItem, chosen["CMainStad"]);
    QCOMPARE(stored.reserveStadiumItem, chosen["CRsvStad"]);
    QCOMPARE(stored.homeMatchDayItem, chosen["HomeMatchDay"]);
    const std::array<const char *, 6> colours = {"HomeCol1", "HomeCol2",  "AwayCol1",
                                                 "AwayCol2", "ThirdCol1", "ThirdCol2"};
    for (std::size_t k = 0; k < colours.size(); ++k)
        QCOMPARE(stored.kitColourItems[k], chosen[colours[k]]);
    QVERIFY(stored.ownStadium);
    QVERIFY(!stored.plc);
    QVERIFY(mDb->isModified());
    KX3_VERIFY_SOUND(*mDb, mLookups);
}

void tst_ClubScreen::refusalFocusesTheBox_data()
{
    QTest::addColumn<bool>("creating");
    QTest::newRow("club shown") << false;
    QTest::newRow("new club") << true;
}

// A reputation the record cannot hold stops the confirm: the warning names it,
// its box gets the focus on its tab, and nothing is written or inserted.
void tst_ClubScreen::refusalFocusesTheBox()
{
    QFETCH(bool, creating);
    mScreen->activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(mScreen.get()));
    open(0);
    if (creating) {
        mPrompter.queue(true);
        mScreen->beginNewRecord();
    }
    type("CRep", QStringLiteral("70"));
    w<QTabWidget>("PC1")->setCurrentIndex(1);
    const QByteArray clubs = mDb->clubs().bytes();
    const int names = mLookups.clubNames().size();
    QVERIFY(!mScreen->confirm());
    QCOMPARE(mPrompter.errors(),
             QStringList{"'70' cannot be stored as Reputation: it must be between -65 and 65."});
    QCOMPARE(w<QTabWidget>("PC1")->currentIndex(), 0);
    QCOMPARE(QApplication::focusWidget(), w("CRep"));
    QCOMPARE(mDb->clubs().bytes(), clubs);
    QCOMPARE(mLookups.clubNames().size(), names);
    QVERIFY(!mDb->isModified());
    QCOMPARE(mState.newRecordMode, creating);
}

void tst_ClubScreen::titlesAndButtons()
{
    QSignalSpy titles(mScreen.get(), &RecordScreen::titleChanged);
    const int lastTeam = clubTotal(*mDb) - 1;
    QCOMPARE(clubKind(*mDb, lastTeam), ClubKind::Under21Team);
    open(lastTeam);
    const QString longName = w("CLongName")->text();
    QCOMPARE(mScreen->title(), longName + QStringLiteral(" (U21)"));
    open(mDb->clubCount());
    QCOMPARE(mScreen->title(), w("CLongName")->text());

    // The title follows the long name when the box is left.
    w("CLongName")->setFocus();
    type("CLongName", QStringLiteral("Renamed"));
    titles.clear();
    Q_EMIT w("CLongName")->editingFinished();
    QCOMPARE(titles.size(), 1);
    QCOMPARE(titles.first().first().toString(), QStringLiteral("Renamed"));

    QCOMPARE(mScreen->createButton().caption, QStringLiteral("Create New Club"));
    QCOMPARE(mScreen->deleteButton().caption, QStringLiteral("Delete Club"));
    QVERIFY(mScreen->deleteButton().enabled);

    // Go-to buttons wait for the screens they open; "<none>" opens nothing.
    QVERIFY(!w<QToolButton>("bnCNat")->isEnabled());
    mScreen->screenAdded(EditorScreen::Nation);
    mScreen->screenAdded(EditorScreen::Stadium);
    combo("CNation")->setCurrentIndex(3);
    click("bnCNat");
    combo("CMainStad")->setCurrentIndex(0);
    click("bnCMStad");
    combo("CRsvStad")->setCurrentIndex(2);
    click("bnCRStad");
    const int stadium = mLookups.stadiums().recordIndex(2);
    QCOMPARE(mRequests, (QList<std::pair<EditorScreen, qint64>>{
                            {EditorScreen::Nation, 2 * RecordSize::Nation},
                            {EditorScreen::Stadium, stadium * RecordSize::Stadium}}));
}

void tst_ClubScreen::listsGoToTheirPeople()
{
    // A club of the generated world with a squad and a staff.
    int index = 0;
    while (squadRows(*mDb, index).size() < 2 || staffRows(*mDb, index).isEmpty())
        ++index;
    open(index);
    w<QTabWidget>("PC1")->setCurrentIndex(1);
    auto *squad = w<QTreeWidget>("PlayerList");
    auto *staff = w<QTreeWidget>("StaffList");
    const QList<SquadRow> rows = squadRows(*mDb, index);
    QCOMPARE(squad->topLevelItemCount(), rows.size());
    QVERIFY(squad->isColumnHidden(0) && squad->isColumnHidden(3));
    QCOMPARE(squad->topLevelItem(1)->text(1), QString::number(rows[1].number));
    QCOMPARE(staff->topLevelItem(0)->text(0), QString::fromLatin1(staffRows(*mDb, index)[0].job));

    click("ListToPlayer"); // nothing selected: nothing happens
    QVERIFY(mRequests.isEmpty());
    squad->setCurrentItem(squad->topLevelItem(1));
    click("ListToPlayer");
    const QRect cell = staff->visualItemRect(staff->topLevelItem(0));
    QTest::mouseClick(staff->viewport(), Qt::LeftButton, {}, cell.center());
    QTest::mouseDClick(staff->viewport(), Qt::LeftButton, {}, cell.center());
    QCOMPARE(mRequests,
             (QList<std::pair<EditorScreen, qint64>>{
                 {EditorScreen::Player, personOffset(rows[1].person)},
                 {EditorScreen::Staff, personOffset(staffRows(*mDb, index)[0].person)}}));

    // The misc list opens the dialog for the selected row only.
    QSignalSpy dialog(mScreen.get(), &ClubScreen::miscListDialogRequested);
    auto *misc = w<QTreeWidget>("CMiscList");
    QCOMPARE(misc->topLevelItemCount(), ClubRelationship::Count);
    click("bnCMisc");
    QCOMPARE(dialog.size(), 0);
    misc->setCurrentItem(misc->topLevelItem(7));
    click("bnCMisc");
    QCOMPARE(dialog.size(), 1);
    QCOMPARE(dialog.first().at(1).toInt(), 7);
    club(*mDb, index)->setRelationship(7, 0);
    mScreen->relationshipsChanged(MiscListSource::Club);
    QCOMPARE(misc->topLevelItem(7)->text(1), QString::fromLatin1(mLookups.clubNames().get(0)));
}

void tst_ClubScreen::kitColoursAndPreviews()
{
    ClubRecord c = *club(*mDb, 5);
    c.setKitColour(0, 24); // home text: gold
    c.setKitColour(1, -1); // home background: none
    open(5);
    auto *home = w<QLabel>("pn3");
    QCOMPARE(home->palette().color(QPalette::WindowText), QColor(249, 209, 72));
    QCOMPARE(home->palette().color(QPalette::Window),
             QApplication::palette().color(QPalette::Button));
    QCOMPARE(combo("HomeCol1")->currentText(), QStringLiteral("Gold"));
    QCOMPARE(combo("HomeCol2")->currentText(), QStringLiteral("None"));

    // A choice colours the preview at once, before any confirm.
    combo("AwayCol2")->setCurrentIndex(5);
    QCOMPARE(combo("AwayCol2")->currentText(), QStringLiteral("Red"));
    QCOMPARE(w<QLabel>("pn4")->palette().color(QPalette::Window), QColor(255, 0, 0));

    // Items are painted from the table: a filled swatch, or a cross for "None".
    QImage image(120, KitColourItemHeight, QImage::Format_RGB32);
    QPainter painter(&image);
    QPalette palette;
    palette.setColor(QPalette::Base, Qt::white);
    palette.setColor(QPalette::Text, Qt::blue);
    paintKitColourItem(&painter, image.rect(), 25, false, palette);
    QCOMPARE(image.pixelColor(8, 5), QColor(249, 209, 72));
    QCOMPARE(image.pixelColor(1, 8), QColor(Qt::black)); // the frame
    paintKitColourItem(&painter, image.rect(), 0, false, palette);
    QCOMPARE(image.pixelColor(7, 7), QColor(Qt::blue)); // on the cross
    QCOMPARE(image.pixelColor(7, 3), QColor(Qt::white));
    painter.end();
}

void tst_ClubScreen::createClub()
{
    const int c = mDb->clubCount();
    const int total = clubTotal(*mDb);
    beginCreate(2);
    QCOMPARE(mScreen->title(), QStringLiteral("<long name>"));
    QCOMPARE(w("CShortName")->text(), QStringLiteral("<short name>"));
    QCOMPARE(combo("ClubStatus")->currentText(), QStringLiteral("Professional"));
    QCOMPARE(combo("HomeCol1")->currentIndex(), 0);
    QCOMPARE(w("CRep")->text(), QStringLiteral("0"));
    QCOMPARE(w<QTreeWidget>("PlayerList")->topLevelItemCount(), 0);
    QCOMPARE(w<QTreeWidget>("CMiscList")->topLevelItemCount(), 0);
    QVERIFY(!mScreen->deleteButton().enabled);
    QCOMPARE(QApplication::focusWidget(), w("CLongName"));

    type("CShortName", QStringLiteral("Newtown"));
    click("ConfirmClub");
    QVERIFY(!mState.newRecordMode);
    QCOMPARE(mState.offset(EditorScreen::Club), qint64(c) * RecordSize::Club);
    QCOMPARE(clubTotal(*mDb), total + 1);
    QCOMPARE(mLookups.clubNames().indexOf("Newtown"), c);
    QVERIFY(mScreen->deleteButton().enabled);
    QCOMPARE(w<QTreeWidget>("CMiscList")->topLevelItemCount(), ClubRelationship::Count);
    KX3_VERIFY_SOUND(*mDb, mLookups);
}

void tst_ClubScreen::deleteIsRefused_data()
{
    QTest::addColumn<bool>("yes");
    QTest::newRow("Yes") << true;
    QTest::newRow("No") << false;
}

void tst_ClubScreen::deleteIsRefused()
{
    QFETCH(bool, yes);
    open(1);
    const QByteArray clubs = mDb->clubs().bytes();
    mPrompter.queue(yes);
    mScreen->deleteRecord();
    QStringList expected{Question};
    if (yes)
        expected << QStringLiteral("For integrity reason, club deletion is not allowed");
    QCOMPARE(mPrompter.texts(), expected);
    QCOMPARE(mDb->clubs().bytes(), clubs);
    QVERIFY(!mDb->isModified());
}

KX3_GUI_TEST_MAIN(tst_ClubScreen)
#include "tst_ClubScreen.moc"
