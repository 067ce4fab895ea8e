#include "gui/app/SearchMenu1.h"
#include "gui/app/SearchMenuModes.h"
#include "gui/app/TMainForm.h"

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

    void dialogLayout_data();
    void dialogLayout();
    void miscListNeedsRow();
    void miscListPick_data();
    void miscListPick();
    void nationalTeamsRefused_data();
    void nationalTeamsRefused();
    void cancelWritesNothing();
    void clubPicking_data();
    void clubPicking();
    void setToNoneAfterCancelledPickingWritesSlot();
    void transferMenuHandsOverClubs();
    void escapeIsCancel_data();
    void escapeIsCancel();

private:
    /// Makes person `person` and club `club` the records whose lists are edited.
    void editLists(int person, int club)
    {
        mPerson = person;
        mClub = club;
        mForm->editorState().offset(kx3::EditorScreen::Player) = personAt(person);
        mForm->editorState().offset(kx3::EditorScreen::Club) = clubAt(club);
    }
    qint32 slot(MiscListSource source, int row) const
    {
        return source == MiscListSource::Club ? clubSlot(mClub, row) : personSlot(mPerson, row);
    }
    void setSlot(MiscListSource source, int row, qint32 value)
    {
        kx3::Database &db = mForm->database();
        if (source == MiscListSource::Club)
            db.clubs().setI32(clubAt(mClub) + 155 + 4 * row, value);
        else
            db.image(kx3::DataFile::Staff).setI32(personAt(mPerson) + 97 + 4 * row, value);
    }
    /// Every byte a misc-list dialog may write to.
    QByteArray lists() const
    {
        return mForm->database().image(kx3::DataFile::Staff).bytes()
               + mForm->database().clubs().bytes();
    }
    /// Searches the players' ("P"), staff ("S") or clubs' ("C") group of the
    /// main menu for `name` and takes that row, by double-click or by button.
    void take(const QString &group, const QString &name, bool byButton = false)
    {
        const QString kind = group == "P" ? "Player" : group == "S" ? "Staff" : "Club";
        runSearch(group + "Search", "bnSearch" + kind, name);
        if (byButton) {
            select(group + "SearchList", name);
            click("bnGoto" + kind);
        } else {
            doubleClick(group + "SearchList", name);
        }
    }

    int mPerson = 0;
    int mClub = 0;
};

void TestSearchMenuModes::dialogLayout_data()
{
    QTest::addColumn<MiscListSource>("source");
    QTest::addColumn<int>("row"); // -1: club picking
    QTest::addColumn<bool>("clubSlot");
    // The rows on either side of the boundaries between person and club slots.
    QTest::newRow("club, disliked person 3") << MiscListSource::Club << 5 << false;
    QTest::newRow("club, rival club 1") << MiscListSource::Club << 6 << true;
    QTest::newRow("player, disliked club 3") << MiscListSource::Player << 5 << true;
    QTest::newRow("staff, favourite person 1") << MiscListSource::Staff << 6 << false;
    QTest::newRow("club picking") << MiscListSource::Player << -1 << true;
}

void TestSearchMenuModes::dialogLayout()
{
    QFETCH(MiscListSource, source);
    QFETCH(int, row);
    QFETCH(bool, clubSlot);

    mForm->showEditor();
    if (row < 0)
        modes()->startClubPicking(ClubPickField::TClub);
    else
        QVERIFY(modes()->openMiscListDialog(source, row));
    QCOMPARE(panelName(), QStringLiteral("pnSearch1"));
    QCOMPARE(widget<QLabel>("pn1")->text(),
             row < 0 ? "Select Club" : "Change Miscelaneous List Entry");
    QCOMPARE(button("Exit2")->text(), QStringLiteral("Cancel"));
    QVERIFY(!button("bnSearchP2")->isEnabled());
    QVERIFY(widget<QWidget>("pnTransfer")->isHidden());
    const QWidget *pn6 = widget<QWidget>("pn6");
    QVERIFY(pn6->isVisible());
    QCOMPARE(pn6->x(), clubSlot ? 8 : 416);
    QCOMPARE(button("MiscNone")->text(), QStringLiteral("Set To None"));
    QVERIFY(pn6->rect().contains(button("MiscNone")->geometry()));
    QCOMPARE(widget<QWidget>("gb0")->isVisible(), !clubSlot);
    QCOMPARE(widget<QWidget>("gb1")->isVisible(), !clubSlot);
    QCOMPARE(widget<QWidget>("gb2")->isVisible(), clubSlot);
    const QString take = row < 0 ? "Select Club" : "Add To Misc List";
    for (const char *name : {"bnGotoPlayer", "bnGotoStaff"})
        QCOMPARE(button(name)->text() == take, !clubSlot);
    QCOMPARE(button("bnGotoClub")->text() == take, clubSlot);
    QCOMPARE(QApplication::focusWidget()->objectName(),
             QLatin1String(clubSlot ? "CSearch" : "PSearch"));
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
    QTest::addColumn<QString>("group");
    QTest::addColumn<QString>("name");
    QTest::addColumn<bool>("byButton");
    QTest::addColumn<qint32>("value");

    auto add = [](const char *tag, MiscListSource source, int row, const char *group,
                  const char *name, bool byButton, int value) {
        QTest::newRow(tag) << source << row << group << name << byButton << qint32(value);
    };
    add("player's favourite person, from the staff list", MiscListSource::Player, 6, "S",
        "Ronald ALDRIDGE", false, Ronald);
    add("player's disliked club", MiscListSource::Player, 4, "C", "Aldershot Town", true,
        Aldershot);
    add("staff member's disliked person, from the player list", MiscListSource::Staff, 11, "P",
        "Peter Jones", true, Peter);
    add("club's favourite person", MiscListSource::Club, 2, "P", "Gerald Baldwin", false, Gerald);
    add("club's rival", MiscListSource::Club, 8, "C", "Glasgow Rangers", false, Rangers);
    // "Set To None" writes the "none" of the slot's kind.
    add("player's favourite club 2, none", MiscListSource::Player, 1, "", "", false, -2);
    add("player's disliked person 2, none", MiscListSource::Player, 7, "", "", false, -1);
    add("staff member's disliked club 3, none", MiscListSource::Staff, 5, "", "", false, -2);
    add("club's favourite person 1, none", MiscListSource::Club, 0, "", "", false, -1);
    add("club's rival 1, none", MiscListSource::Club, 6, "", "", false, -2);
}

void TestSearchMenuModes::miscListPick()
{
    QFETCH(MiscListSource, source);
    QFETCH(int, row);
    QFETCH(QString, group);
    QFETCH(QString, name);
    QFETCH(bool, byButton);
    QFETCH(qint32, value);

    editLists(Emile, ManUtd);
    if (name.isEmpty()) {
        setSlot(source, row, 1); // something to clear
        mForm->database().clearHistory();
    }
    const qint32 old = slot(source, row);
    const QByteArray before = lists();
    QSignalSpy changed(modes(), &kx3::SearchMenuModes::relationshipListChanged);

    QVERIFY(modes()->openMiscListDialog(source, row));
    if (name.isEmpty())
        click("MiscNone");
    else
        take(group, name, byButton);
    QCOMPARE(panelName(), QStringLiteral("pnEdit"));
    QVERIFY(mPrompter->texts().isEmpty());
    QVERIFY(mForm->database().isModified());
    QCOMPARE(changed.size(), 1);
    QCOMPARE(changed.first().first().value<MiscListSource>(), source);
    QCOMPARE(slot(source, row), value);
    // Nothing else changed: restoring the slot gives the old bytes back.
    setSlot(source, row, old);
    QCOMPARE(lists(), before);
}

void TestSearchMenuModes::nationalTeamsRefused_data()
{
    QTest::addColumn<MiscListSource>("source");
    QTest::addColumn<int>("row"); // -1: club picking
    QTest::addColumn<QString>("team");
    QTest::newRow("club's rival") << MiscListSource::Club << 7 << "Scotland";
    QTest::newRow("player's favourite club") << MiscListSource::Player << 0 << "Scotland (U21)";
    QTest::newRow("club picking, national team") << MiscListSource::Player << -1 << "England";
    QTest::newRow("club picking, under-21 team")
        << MiscListSource::Player << -1 << "England (U21)";
}

void TestSearchMenuModes::nationalTeamsRefused()
{
    QFETCH(MiscListSource, source);
    QFETCH(int, row);
    QFETCH(QString, team);

    editLists(Donald, Aldershot);
    const QByteArray before = lists();
    QSignalSpy changed(modes(), &kx3::SearchMenuModes::relationshipListChanged);
    QSignalSpy picked(modes(), &kx3::SearchMenuModes::clubPicked);
    if (row < 0)
        modes()->startClubPicking(ClubPickField::TClub);
    else
        QVERIFY(modes()->openMiscListDialog(source, row));
    runSearch("CSearch", "bnSearchClub", "land");
    doubleClick("CSearchList", team);
    QCOMPARE(mPrompter->texts(), QStringList{row < 0 ? "Cannot Select a National Team."
                                                     : "Cannot Add a National Team."});
    QCOMPARE(panelName(), QStringLiteral("pnSearch1"));
    QCOMPARE(lists(), before);
    QVERIFY(!mForm->database().isModified());
    QVERIFY(changed.isEmpty() && picked.isEmpty());

    // The dialog is still open: a club is taken.
    doubleClick("CSearchList", "Glasgow Rangers");
    QCOMPARE(panelName(), QStringLiteral("pnEdit"));
    if (row < 0)
        QCOMPARE(picked.first().at(1).toString(), QStringLiteral("Glasgow Rangers"));
    else
        QCOMPARE(slot(source, row), qint32(Rangers));
}

void TestSearchMenuModes::cancelWritesNothing()
{
    editLists(Donald, ManUtd);
    const QByteArray before = lists();
    mForm->showEditor();
    QVERIFY(modes()->openMiscListDialog(MiscListSource::Player, 8));
    click("Exit2");
    QCOMPARE(panelName(), QStringLiteral("pnEdit"));
    QCOMPARE(lists(), before);
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
    QTest::newRow("loan, Set To None") << ClubPickField::LClub << "<none>";
}

void TestSearchMenuModes::clubPicking()
{
    QFETCH(ClubPickField, field);
    QFETCH(QString, text);

    mForm->showEditor();
    QSignalSpy picked(modes(), &kx3::SearchMenuModes::clubPicked);
    modes()->startClubPicking(field);
    if (text == QLatin1String("<none>"))
        click("MiscNone");
    else
        take("C", "Manchester Utd", true);
    QCOMPARE(panelName(), QStringLiteral("pnEdit"));
    QCOMPARE(picked.size(), 1);
    QCOMPARE(picked.first().at(0).value<ClubPickField>(), field);
    QCOMPARE(picked.first().at(1).toString(), text);
    QVERIFY(mPrompter->texts().isEmpty());
    QVERIFY(!mForm->database().isModified());
}

// The club button keeps its "Select Club" caption after a cancelled club
// picking; "Set To None" of a later misc-list dialog must still clear the slot.
void TestSearchMenuModes::setToNoneAfterCancelledPickingWritesSlot()
{
    QSignalSpy picked(modes(), &kx3::SearchMenuModes::clubPicked);
    editLists(Peter, ManUtd);
    setSlot(MiscListSource::Player, 9, 0);
    modes()->startClubPicking(ClubPickField::HClu);
    click("Exit2");
    QCOMPARE(panelName(), QStringLiteral("pnEdit"));

    QVERIFY(modes()->openMiscListDialog(MiscListSource::Player, 9));
    click("MiscNone");
    QCOMPARE(picked.size(), 0);
    QCOMPARE(slot(MiscListSource::Player, 9), -1);
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
    QVERIFY(widget<QWidget>("pn6")->isHidden() && widget<QWidget>("gb0")->isHidden());
    take("C", "Manchester Utd");
    QCOMPARE(target.size(), 1);
    QCOMPARE(target.first().first().toLongLong(), clubAt(ManUtd));
    QCOMPARE(picked.size(), 0);
    QCOMPARE(panelName(), QStringLiteral("pnSearch1"));
    QVERIFY(mPrompter->texts().isEmpty());

    click("Exit2");
    click("bnSearch");
    QVERIFY(!menu->isTransferShown());
}

void TestSearchMenuModes::escapeIsCancel_data()
{
    QTest::addColumn<QString>("state");
    QTest::addColumn<QString>("after"); // the panel in front after Escape
    QTest::newRow("misc-list dialog") << "misc"
                                      << "pnEdit";
    QTest::newRow("club picking") << "club"
                                  << "pnEdit";
    QTest::newRow("transfer menu") << "transfer"
                                   << "pnEdit";
    QTest::newRow("main search menu from the editor") << "search"
                                                      << "pnEdit";
    QTest::newRow("miscellaneous search menu from the editor") << "search2"
                                                               << "pnEdit";
    // Straight after loading the leave buttons read "Exit": Escape never ends the program.
    QTest::newRow("main search menu reading Exit") << ""
                                                   << "pnSearch1";
    QTest::newRow("miscellaneous search menu reading Exit") << "menu2"
                                                            << "pnSearch2";
}

void TestSearchMenuModes::escapeIsCancel()
{
    QFETCH(QString, state);
    QFETCH(QString, after);

    editLists(Donald, ManUtd);
    const QByteArray before = lists();
    QSignalSpy picked(modes(), &kx3::SearchMenuModes::clubPicked);
    QSignalSpy target(mForm->searchMenu1(), &kx3::SearchMenu1::transferTargetChosen);
    if (!state.isEmpty() && state != "menu2")
        mForm->showEditor();
    if (state == "misc") {
        QVERIFY(modes()->openMiscListDialog(MiscListSource::Player, 8));
    } else if (state == "club") {
        modes()->startClubPicking(ClubPickField::LClub);
    } else if (state == "transfer") {
        mForm->searchMenu1()->showTransferMenu();
        mForm->showMainSearchMenu();
    } else if (state.startsWith("search")) {
        click("bnSearch");
        if (state == "search2")
            showMenu2();
    } else if (state == "menu2") {
        showMenu2();
    }
    QVERIFY(panelName().startsWith("pnSearch"));
    QVERIFY(QApplication::focusWidget());

    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Escape);
    QCOMPARE(panelName(), after);
    QVERIFY(mForm->isVisible());
    QCOMPARE(lists(), before);
    QVERIFY(!mForm->database().isModified());
    QVERIFY(picked.isEmpty() && target.isEmpty());
    QVERIFY(mPrompter->texts().isEmpty());
}

KX3_GUI_TEST_MAIN(TestSearchMenuModes)
#include "tst_SearchMenuModes.moc"
