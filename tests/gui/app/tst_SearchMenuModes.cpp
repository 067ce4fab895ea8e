#include "app/SearchMenu1.h"
#include "app/SearchMenuModes.h"
#include "app/TMainForm.h"

#include "../support/OffscreenTestMain.h"
#include "../support/SearchMenuFixture.h"

#include <QSignalSpy>

using namespace kx3::test;
using kx3::ClubPickField;
using kx3::MiscListSource;

Q_DECLARE_METATYPE(kx3::MiscListSource)
Q_DECLARE_METATYPE(kx3::ClubPickField)

class TestSearchMenuModes : public SearchMenuFixture
{
    Q_OBJECT

private Q_SLOTS:
    void initTestCase() { setUpWindow(); }
    void init() { setUpForm(); }
    void cleanup() { tearDownForm(); }

    void miscListDialogLayout_data();
    void miscListDialogLayout();
    void miscListNeedsRow();
    void miscListPick_data();
    void miscListPick();
    void miscListRefusesNationalTeam_data();
    void miscListRefusesNationalTeam();
    void setToNone_data();
    void setToNone();
    void cancelWritesNothing();
    void clubPicking_data();
    void clubPicking();
    void clubPickingRefusesNationalTeam_data();
    void clubPickingRefusesNationalTeam();
    void clubPickingSetToNone();
    void setToNoneAfterCancelledPickingWritesSlot();
    void transferMenuHandsOverClubs();
};

void TestSearchMenuModes::miscListDialogLayout_data()
{
    QTest::addColumn<MiscListSource>("source");
    QTest::addColumn<int>("row");
    QTest::addColumn<bool>("clubSlot");

    QTest::newRow("club, favourite person") << MiscListSource::Club << 0 << false;
    QTest::newRow("club, rival club") << MiscListSource::Club << 6 << true;
    QTest::newRow("player, favourite club") << MiscListSource::Player << 0 << true;
    QTest::newRow("player, disliked club 3") << MiscListSource::Player << 5 << true;
    QTest::newRow("staff, favourite person") << MiscListSource::Staff << 6 << false;
    QTest::newRow("staff, disliked person 3") << MiscListSource::Staff << 11 << false;
}

void TestSearchMenuModes::miscListDialogLayout()
{
    QFETCH(MiscListSource, source);
    QFETCH(int, row);
    QFETCH(bool, clubSlot);

    mForm->showEditor();
    QVERIFY(modes()->openMiscListDialog(source, row));
    QCOMPARE(panelName(), QStringLiteral("pnSearch1"));
    QCOMPARE(widget<QLabel>("pn1")->text(), QStringLiteral("Change Miscelaneous List Entry"));
    QCOMPARE(button("Exit2")->text(), QStringLiteral("Cancel"));
    QVERIFY(!button("bnSearchP2")->isEnabled());
    QVERIFY(widget<QWidget>("pnTransfer")->isHidden());
    const QWidget *pn6 = widget<QWidget>("pn6");
    QVERIFY(pn6->isVisible());
    QCOMPARE(pn6->x(), clubSlot ? 8 : 416);
    QCOMPARE(pn6->width(), clubSlot ? 394 : 185);
    QCOMPARE(button("MiscNone")->x(), clubSlot ? 138 : 36);
    QCOMPARE(button("MiscNone")->text(), QStringLiteral("Set To None"));
    QVERIFY(pn6->rect().contains(button("MiscNone")->geometry()));
    QCOMPARE(widget<QWidget>("gb0")->isVisible(), !clubSlot);
    QCOMPARE(widget<QWidget>("gb1")->isVisible(), !clubSlot);
    QCOMPARE(widget<QWidget>("gb2")->isVisible(), clubSlot);
    const QString add = QStringLiteral("Add To Misc List");
    if (clubSlot) {
        QCOMPARE(button("bnGotoClub")->text(), add);
        QCOMPARE(QApplication::focusWidget()->objectName(), QStringLiteral("CSearch"));
    } else {
        QCOMPARE(button("bnGotoPlayer")->text(), add);
        QCOMPARE(button("bnGotoStaff")->text(), add);
        QCOMPARE(QApplication::focusWidget()->objectName(), QStringLiteral("PSearch"));
    }
}

void TestSearchMenuModes::miscListNeedsRow()
{
    mForm->showEditor();
    QVERIFY(!modes()->openMiscListDialog(MiscListSource::Player, -1));
    QVERIFY(!modes()->openMiscListDialog(MiscListSource::Club, 9));
    QCOMPARE(panelName(), QStringLiteral("pnEdit"));
    QCOMPARE(widget<QLabel>("pn1")->text(), QStringLiteral("Main Search Menu"));
}

void TestSearchMenuModes::miscListPick_data()
{
    QTest::addColumn<MiscListSource>("source");
    QTest::addColumn<int>("row");
    QTest::addColumn<QString>("box");
    QTest::addColumn<QString>("searchButton");
    QTest::addColumn<QString>("list");
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("gotoButton");
    QTest::addColumn<qint32>("value");

    QTest::newRow("player's favourite person, from the staff list")
        << MiscListSource::Player << 6 << "SSearch"
        << "bnSearchStaff"
        << "SSearchList"
        << "Ronald ALDRIDGE"
        << "" << qint32(Ronald);
    QTest::newRow("player's disliked club") << MiscListSource::Player << 4 << "CSearch"
                                            << "bnSearchClub"
                                            << "CSearchList"
                                            << "Aldershot Town"
                                            << "bnGotoClub" << qint32(Aldershot);
    QTest::newRow("staff member's disliked person, from the player list")
        << MiscListSource::Staff << 11 << "PSearch"
        << "bnSearchPlayer"
        << "PSearchList"
        << "Peter Jones"
        << "bnGotoPlayer" << qint32(Peter);
    QTest::newRow("club's favourite person") << MiscListSource::Club << 2 << "PSearch"
                                             << "bnSearchPlayer"
                                             << "PSearchList"
                                             << "Gerald Baldwin"
                                             << "" << qint32(Gerald);
    QTest::newRow("club's rival") << MiscListSource::Club << 8 << "CSearch"
                                  << "bnSearchClub"
                                  << "CSearchList"
                                  << "Glasgow Rangers"
                                  << "" << qint32(Rangers);
}

void TestSearchMenuModes::miscListPick()
{
    QFETCH(MiscListSource, source);
    QFETCH(int, row);
    QFETCH(QString, box);
    QFETCH(QString, searchButton);
    QFETCH(QString, list);
    QFETCH(QString, name);
    QFETCH(QString, gotoButton);
    QFETCH(qint32, value);

    // The person and the club whose lists are changed.
    mForm->editorState().personOffset = personAt(Emile);
    mForm->editorState().clubOffset = clubAt(ManUtd);
    const QByteArray before =
        mForm->database().image(kx3::DataFile::Staff).bytes() + mForm->database().clubs().bytes();
    QSignalSpy changed(modes(), &kx3::SearchMenuModes::relationshipListChanged);

    QVERIFY(modes()->openMiscListDialog(source, row));
    runSearch(box, searchButton, name);
    if (gotoButton.isEmpty()) {
        doubleClick(list, name);
    } else {
        select(list, name);
        click(gotoButton);
    }
    QCOMPARE(panelName(), QStringLiteral("pnEdit"));
    QVERIFY(mPrompter->texts().isEmpty());
    QVERIFY(mForm->database().isModified());
    QCOMPARE(changed.size(), 1);
    QCOMPARE(changed.first().first().value<MiscListSource>(), source);

    const bool club = source == MiscListSource::Club;
    QCOMPARE(club ? clubSlot(ManUtd, row) : personSlot(Emile, row), value);
    // Nothing else changed: restoring the slot gives the old bytes back.
    if (club)
        mForm->database().clubs().setI32(clubAt(ManUtd) + 155 + 4 * row, -1 - (row >= 6));
    else
        mForm->database()
            .image(kx3::DataFile::Staff)
            .setI32(personAt(Emile) + 97 + 4 * row, row < 6 ? -2 : -1);
    QCOMPARE(mForm->database().image(kx3::DataFile::Staff).bytes() +
                 mForm->database().clubs().bytes(),
             before);
}

void TestSearchMenuModes::miscListRefusesNationalTeam_data()
{
    QTest::addColumn<MiscListSource>("source");
    QTest::addColumn<int>("row");
    QTest::addColumn<QString>("team");

    QTest::newRow("national team for a club") << MiscListSource::Club << 7 << "Scotland";
    QTest::newRow("under-21 team for a player") << MiscListSource::Player << 0 << "Scotland (U21)";
}

void TestSearchMenuModes::miscListRefusesNationalTeam()
{
    QFETCH(MiscListSource, source);
    QFETCH(int, row);
    QFETCH(QString, team);

    mForm->editorState().personOffset = personAt(Donald);
    mForm->editorState().clubOffset = clubAt(Aldershot);
    const QByteArray staff = mForm->database().image(kx3::DataFile::Staff).bytes();
    const QByteArray clubs = mForm->database().clubs().bytes();
    QSignalSpy changed(modes(), &kx3::SearchMenuModes::relationshipListChanged);

    QVERIFY(modes()->openMiscListDialog(source, row));
    runSearch("CSearch", "bnSearchClub", "scot");
    doubleClick("CSearchList", team);
    QCOMPARE(mPrompter->texts(), QStringList{"Cannot Add a National Team."});
    QCOMPARE(panelName(), QStringLiteral("pnSearch1"));
    QCOMPARE(mForm->database().image(kx3::DataFile::Staff).bytes(), staff);
    QCOMPARE(mForm->database().clubs().bytes(), clubs);
    QVERIFY(!mForm->database().isModified());
    QCOMPARE(changed.size(), 0);

    // The dialog is still open: a club is taken.
    doubleClick("CSearchList", "Glasgow Rangers");
    QCOMPARE(panelName(), QStringLiteral("pnEdit"));
    QCOMPARE(source == MiscListSource::Club ? clubSlot(Aldershot, row) : personSlot(Donald, row),
             qint32(Rangers));
}

void TestSearchMenuModes::setToNone_data()
{
    QTest::addColumn<MiscListSource>("source");
    QTest::addColumn<int>("row");
    QTest::addColumn<qint32>("none");

    QTest::newRow("player's favourite club 2") << MiscListSource::Player << 1 << qint32(-2);
    QTest::newRow("player's disliked person 2") << MiscListSource::Player << 7 << qint32(-1);
    QTest::newRow("staff member's disliked club 3") << MiscListSource::Staff << 5 << qint32(-2);
    QTest::newRow("club's favourite person 1") << MiscListSource::Club << 0 << qint32(-1);
    QTest::newRow("club's rival 1") << MiscListSource::Club << 6 << qint32(-2);
}

void TestSearchMenuModes::setToNone()
{
    QFETCH(MiscListSource, source);
    QFETCH(int, row);
    QFETCH(qint32, none);

    const bool club = source == MiscListSource::Club;
    kx3::Database &db = mForm->database();
    mForm->editorState().personOffset = personAt(Gerald);
    mForm->editorState().clubOffset = clubAt(Rangers);
    if (club)
        db.clubs().setI32(clubAt(Rangers) + 155 + 4 * row, 1);
    else
        db.image(kx3::DataFile::Staff).setI32(personAt(Gerald) + 97 + 4 * row, 1);
    QSignalSpy changed(modes(), &kx3::SearchMenuModes::relationshipListChanged);

    QVERIFY(modes()->openMiscListDialog(source, row));
    click("MiscNone");
    QCOMPARE(panelName(), QStringLiteral("pnEdit"));
    QCOMPARE(club ? clubSlot(Rangers, row) : personSlot(Gerald, row), none);
    QVERIFY(db.isModified());
    QCOMPARE(changed.size(), 1);
    QVERIFY(mPrompter->texts().isEmpty());
}

void TestSearchMenuModes::cancelWritesNothing()
{
    mForm->editorState().personOffset = personAt(Donald);
    const QByteArray staff = mForm->database().image(kx3::DataFile::Staff).bytes();
    mForm->showEditor();
    QVERIFY(modes()->openMiscListDialog(MiscListSource::Player, 8));
    click("Exit2");
    QCOMPARE(panelName(), QStringLiteral("pnEdit"));
    QCOMPARE(mForm->database().image(kx3::DataFile::Staff).bytes(), staff);
    QVERIFY(!mForm->database().isModified());
    QVERIFY(mForm->isVisible());
}

void TestSearchMenuModes::clubPicking_data()
{
    QTest::addColumn<ClubPickField>("field");
    QTest::addColumn<QString>("text");

    // The transfer and loan boxes take the caption, the history box the short name.
    QTest::newRow("future transfer") << ClubPickField::TClub << "Manchester Utd";
    QTest::newRow("loan") << ClubPickField::LClub << "Manchester Utd";
    QTest::newRow("history") << ClubPickField::HClu << "Man Utd";
}

void TestSearchMenuModes::clubPicking()
{
    QFETCH(ClubPickField, field);
    QFETCH(QString, text);

    mForm->showEditor();
    QSignalSpy picked(modes(), &kx3::SearchMenuModes::clubPicked);
    modes()->startClubPicking(field);
    QCOMPARE(panelName(), QStringLiteral("pnSearch1"));
    QCOMPARE(widget<QLabel>("pn1")->text(), QStringLiteral("Select Club"));
    QCOMPARE(button("Exit2")->text(), QStringLiteral("Cancel"));
    QCOMPARE(button("bnGotoClub")->text(), QStringLiteral("Select Club"));
    QVERIFY(!button("bnSearchP2")->isEnabled());
    QVERIFY(widget<QWidget>("gb0")->isHidden());
    QVERIFY(widget<QWidget>("gb1")->isHidden());
    QVERIFY(widget<QWidget>("gb2")->isVisible());
    QVERIFY(widget<QWidget>("pn6")->isVisible());
    QCOMPARE(widget<QWidget>("pn6")->x(), 8);

    runSearch("CSearch", "bnSearchClub", "Utd");
    select("CSearchList", "Manchester Utd");
    click("bnGotoClub");
    QCOMPARE(panelName(), QStringLiteral("pnEdit"));
    QCOMPARE(picked.size(), 1);
    QCOMPARE(picked.first().at(0).value<ClubPickField>(), field);
    QCOMPARE(picked.first().at(1).toString(), text);
    QVERIFY(mPrompter->texts().isEmpty());
    QVERIFY(!mForm->database().isModified());
}

void TestSearchMenuModes::clubPickingRefusesNationalTeam_data()
{
    QTest::addColumn<QString>("team");
    QTest::newRow("national team") << "England";
    QTest::newRow("under-21 team") << "England (U21)";
}

void TestSearchMenuModes::clubPickingRefusesNationalTeam()
{
    QFETCH(QString, team);
    QSignalSpy picked(modes(), &kx3::SearchMenuModes::clubPicked);
    modes()->startClubPicking(ClubPickField::TClub);
    runSearch("CSearch", "bnSearchClub", "england");
    doubleClick("CSearchList", team);
    QCOMPARE(mPrompter->texts(), QStringList{"Cannot Select a National Team."});
    QCOMPARE(panelName(), QStringLiteral("pnSearch1"));
    QCOMPARE(picked.size(), 0);

    doubleClick("CSearchList", "Aldershot Town");
    QCOMPARE(picked.size(), 1);
    QCOMPARE(picked.first().at(1).toString(), QStringLiteral("Aldershot Town"));
    QCOMPARE(panelName(), QStringLiteral("pnEdit"));
}

void TestSearchMenuModes::clubPickingSetToNone()
{
    QSignalSpy picked(modes(), &kx3::SearchMenuModes::clubPicked);
    modes()->startClubPicking(ClubPickField::LClub);
    click("MiscNone");
    QCOMPARE(picked.size(), 1);
    QCOMPARE(picked.first().at(0).value<ClubPickField>(), ClubPickField::LClub);
    QCOMPARE(picked.first().at(1).toString(), QStringLiteral("<none>"));
    QCOMPARE(panelName(), QStringLiteral("pnEdit"));
    QVERIFY(!mForm->database().isModified());
}

// The club button keeps its "Select Club" caption after a cancelled club
// picking; "Set To None" of a later misc-list dialog must still clear the slot.
void TestSearchMenuModes::setToNoneAfterCancelledPickingWritesSlot()
{
    QSignalSpy picked(modes(), &kx3::SearchMenuModes::clubPicked);
    mForm->editorState().personOffset = personAt(Peter);
    mForm->database().image(kx3::DataFile::Staff).setI32(personAt(Peter) + 97 + 4 * 9, 0);
    modes()->startClubPicking(ClubPickField::HClu);
    click("Exit2");
    QCOMPARE(panelName(), QStringLiteral("pnEdit"));

    QVERIFY(modes()->openMiscListDialog(MiscListSource::Player, 9));
    click("MiscNone");
    QCOMPARE(picked.size(), 0);
    QCOMPARE(personSlot(Peter, 9), -1);
    QCOMPARE(panelName(), QStringLiteral("pnEdit"));
}

void TestSearchMenuModes::transferMenuHandsOverClubs()
{
    kx3::SearchMenu1 *menu = mForm->searchMenu1();
    QSignalSpy target(menu, &kx3::SearchMenu1::transferTargetChosen);
    QSignalSpy picked(modes(), &kx3::SearchMenuModes::clubPicked);
    mForm->showEditor();
    menu->showTransferMenu();
    modes()->startClubPicking(ClubPickField::TClub);
    QVERIFY(!menu->isTransferShown());
    click("Exit2");

    // The club picking started before is still set, but the transfer panel
    // in view takes the club.
    menu->showTransferMenu();
    mForm->showMainSearchMenu();
    QCOMPARE(QApplication::focusWidget()->objectName(), QStringLiteral("CSearch"));
    QVERIFY(menu->transferPanel()->isVisible());
    QCOMPARE(widget<QLabel>("pn1")->text(), QStringLiteral("Transfer Menu"));
    QCOMPARE(button("bnGotoClub")->text(), QStringLiteral("Select Target Club"));
    QCOMPARE(button("Exit2")->text(), QStringLiteral("Cancel"));
    QVERIFY(widget<QWidget>("gb2")->isVisible());
    QVERIFY(widget<QWidget>("pn6")->isHidden());
    QVERIFY(widget<QWidget>("gb0")->isHidden());
    runSearch("CSearch", "bnSearchClub", "Utd");
    doubleClick("CSearchList", "Manchester Utd");
    QCOMPARE(target.size(), 1);
    QCOMPARE(target.first().first().toLongLong(), clubAt(ManUtd));
    QCOMPARE(picked.size(), 0);
    QCOMPARE(panelName(), QStringLiteral("pnSearch1"));
    QVERIFY(mPrompter->texts().isEmpty());

    click("Exit2");
    click("bnSearch");
    QVERIFY(!menu->isTransferShown());
}

KX3_GUI_TEST_MAIN(TestSearchMenuModes)
#include "tst_SearchMenuModes.moc"
