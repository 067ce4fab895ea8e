#include "core/db/Cp1252.h"
#include "core/layout/PersonRecord.h"
#include "core/lookup/NameTables.h"
#include "core/lookup/Search.h"
#include "gui/app/TMainForm.h"
#include "gui/screen/EditorState.h"
#include "gui/widgets/SearchResultModel.h"

#include "../support/OffscreenTestMain.h"
#include "../support/SearchMenuFixture.h"
#include "TestDatabase.h"

#include <QCheckBox>
#include <QCollator>

using namespace kx3::test;
using kx3::EditorScreen;

Q_DECLARE_METATYPE(kx3::EditorScreen)

namespace {

/// The widgets of one search of the two search menus.
struct SearchBox
{
    int menu;
    QString box, caseBox, button, list, gotoButton, noun;
};

const QMap<QString, SearchBox> Searches = {
    {"player", {1, "PSearch", "PCase", "bnSearchPlayer", "PSearchList", "bnGotoPlayer", "Player"}},
    {"staff", {1, "SSearch", "SCase", "bnSearchStaff", "SSearchList", "bnGotoStaff", "Staff"}},
    {"club", {1, "CSearch", "CCase", "bnSearchClub", "CSearchList", "bnGotoClub", "Club"}},
    {"official", {2, "OSearch", "OCase", "bnSearchOff", "OSearchList", "bnGotoOff", "Official"}},
    {"nation", {2, "NSearch", "", "bnSearchNation", "NSearchList", "bnGotoNation", "Nation"}},
    {"city", {2, "CtSearch", "", "bnSearchCity", "CtSearchList", "bnGotoCity", "City"}},
    {"stadium", {2, "StadSearch", "", "bnSearchStad", "StadSearchList", "bnGotoStad", "Stadium"}},
};

} // namespace

class TestSearchMenus : public SearchMenuFixture
{
    Q_OBJECT

private Q_SLOTS:
    void initTestCase() { setUpWindow(); }
    void init() { setUpForm(); }
    void cleanup() { tearDownForm(); }

    void search_data();
    void search();
    void emptyTextKeepsRows();
    void defaultButtonFollowsFocus_data();
    void defaultButtonFollowsFocus();
    void openResult_data();
    void openResult();
    void nothingSelectedOpensNothing();
    void generatedDatabase();
    void confirmShowsTheNewName();

private:
    /// The search of kind `kind`, with its menu in view.
    SearchBox show(const QString &kind)
    {
        const SearchBox s = Searches.value(kind);
        if (s.menu == 2)
            showMenu2();
        return s;
    }
};

void TestSearchMenus::search_data()
{
    QTest::addColumn<QString>("kind");
    QTest::addColumn<QString>("text");
    QTest::addColumn<bool>("exactCase");
    QTest::addColumn<QStringList>("expected");

    auto row = [](const char *tag, const char *kind, const char *text, bool exactCase,
                  const QStringList &expected) {
        QTest::newRow(tag) << kind << QString::fromUtf8(text) << exactCase << expected;
    };
    // First, second and common name take part; the list shows first and second.
    row("player, any case", "player", "ald", false,
        {"Donald Smith", "Gerald Baldwin", "Peter Jones"});
    row("player, exact case", "player", "ald", true, {"Donald Smith", "Gerald Baldwin"});
    row("player, common name", "player", "Ald", true, {"Peter Jones"});
    row("player, across the blank", "player", "d s", false, {"Donald Smith"});
    row("player, second and common name", "player", "jones ald", false, {"Peter Jones"});
    row("player, accent only in its case", "player", "\xC3\xA9mile", false, {});
    row("player, accented letter", "player", "\xC3\x89mile", false, {"\xC3\x89mile Mertens"});
    row("player, classification 0 never", "player", "nobody", false, {});
    row("staff, any case", "staff", "ald", false, {"Gerald Baldwin", "Ronald ALDRIDGE"});
    row("staff, exact case", "staff", "ALD", true, {"Ronald ALDRIDGE"});
    row("staff, players are not staff", "staff", "Smith", false, {});
    row("club, by nation", "club", "england", false,
        {"Aldershot Town", "England", "England (U21)", "Manchester Utd"});
    row("club, by short name", "club", "Man Utd", true, {"Manchester Utd"});
    row("club, exact case", "club", "rangers", true, {});
    row("official, any case", "official", "taylor", false, {"Pierre Taylor"});
    row("official, exact case", "official", "taylor", true, {});
    row("official, into the nation", "official", "lorEng", false, {"Pierre Taylor"});
    row("official without nation", "official", "<none>", false, {"Anna Schmidt"});
    row("nation", "nation", "eng", false, {"England"});
    row("no nation", "nation", "xyz", false, {});
    row("city by nation", "city", "scot", false, {"Glasgow"});
    row("no city", "city", "paris", false, {});
    row("stadium by city", "stadium", "glasgow", false, {"Hampden Park"});
    // City 0 contributes its nation but not its name.
    row("stadium in city 0", "stadium", "london", false, {});
}

void TestSearchMenus::search()
{
    QFETCH(QString, kind);
    QFETCH(QString, text);
    QFETCH(bool, exactCase);
    QFETCH(QStringList, expected);

    const SearchBox s = show(kind);
    if (exactCase)
        widget<QCheckBox>(s.caseBox)->setChecked(true);
    runSearch(s.box, s.button, text);
    QCOMPARE(rows(s.list), expected);
    QCOMPARE(mPrompter->texts(),
             expected.isEmpty() ? QStringList{"No " + s.noun + " found"} : QStringList());
    QCOMPARE(panelName(), QStringLiteral("pnSearch%1").arg(s.menu));
    QVERIFY(!mForm->database().isModified());
}

void TestSearchMenus::emptyTextKeepsRows()
{
    runSearch("PSearch", "bnSearchPlayer", "ald");
    const QStringList before = rows("PSearchList");
    QCOMPARE(before.size(), 3);
    widget<QLineEdit>("PSearch")->clear();
    click("bnSearchPlayer");
    QCOMPARE(rows("PSearchList"), before);
    QVERIFY(mPrompter->texts().isEmpty());

    // A search that finds nothing empties the list.
    runSearch("PSearch", "bnSearchPlayer", "zzz");
    QVERIFY(rows("PSearchList").isEmpty());
    QCOMPARE(mPrompter->texts(), QStringList{"No Player found"});
}

void TestSearchMenus::defaultButtonFollowsFocus_data()
{
    QTest::addColumn<QString>("kind");
    QTest::addColumn<QString>("text");
    QTest::newRow("player") << QString("player") << "Smith";
    QTest::newRow("staff") << QString("staff") << "Ronald";
    QTest::newRow("club") << QString("club") << "Utd";
    QTest::newRow("official") << QString("official") << "Taylor";
    QTest::newRow("nation") << QString("nation") << "Scot";
    QTest::newRow("city") << QString("city") << "Lon";
    QTest::newRow("stadium") << QString("stadium") << "Wem";
}

// Return in a search box runs that box's search, whichever box had the focus before.
void TestSearchMenus::defaultButtonFollowsFocus()
{
    QFETCH(QString, kind);
    QFETCH(QString, text);

    const SearchBox s = show(kind);
    const SearchBox other =
        Searches.value(s.menu == 1 ? (kind == "player" ? "club" : "player")
                                   : (kind == "official" ? "city" : "official"));
    QTest::mouseClick(widget<QLineEdit>(other.box), Qt::LeftButton);
    QVERIFY(!button(s.button)->isDefault());

    QLineEdit *edit = widget<QLineEdit>(s.box);
    QTest::mouseClick(edit, Qt::LeftButton);
    QCOMPARE(QApplication::focusWidget(), edit);
    QStringList searchButtons = {"bnSearchComp"};
    for (const SearchBox &each : Searches)
        searchButtons << each.button;
    for (const QString &name : searchButtons)
        QCOMPARE(button(name)->isDefault(), name == s.button);

    edit->clear();
    QTest::keyClicks(edit, text);
    QTest::keyClick(edit, Qt::Key_Return);
    QCOMPARE(rows(s.list).size(), 1);
}

void TestSearchMenus::openResult_data()
{
    QTest::addColumn<QString>("kind");
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("row");
    QTest::addColumn<int>("how"); // 0 a double-click on the row, 1 its button, 2 Return
    QTest::addColumn<EditorScreen>("screen");
    QTest::addColumn<qint64>("offset");

    auto row = [](const char *tag, const char *kind, const char *text, const char *rowName,
                  int how, EditorScreen screen, qint64 offset) {
        QTest::newRow(tag) << kind << text << rowName << how << screen << offset;
    };
    using S = EditorScreen;
    row("player, double-click", "player", "ald", "Gerald Baldwin", 0, S::Player, personAt(Gerald));
    row("player, Go To Player", "player", "ald", "Peter Jones", 1, S::Player, personAt(Peter));
    row("staff, double-click", "staff", "ald", "Ronald ALDRIDGE", 0, S::Staff, personAt(Ronald));
    row("staff, Go To Staff", "staff", "ald", "Gerald Baldwin", 1, S::Staff, personAt(Gerald));
    row("club, double-click", "club", "Rangers", "Glasgow Rangers", 0, S::Club, clubAt(Rangers));
    row("under-21 team, Go To Club", "club", "England", "England (U21)", 1, S::Club,
        clubAt(EnglandU21));
    row("official, Go To Official", "official", "a", "Anna Schmidt", 1, S::Official,
        kx3::RecordSize::Official);
    row("nation, double-click", "nation", "land", "Scotland", 0, S::Nation,
        kx3::RecordSize::Nation);
    row("city, double-click", "city", "o", "Glasgow", 0, S::City, kx3::RecordSize::City);
    row("player, Return", "player", "ald", "Peter Jones", 2, S::Player, personAt(Peter));
    row("club, Return", "club", "Rangers", "Glasgow Rangers", 2, S::Club, clubAt(Rangers));
    row("stadium, Go To Stadium", "stadium", "e", "Wembley", 1, S::Stadium, 0);
}

// The editor opens on the record of the row, and a pending "Create" is dropped.
void TestSearchMenus::openResult()
{
    QFETCH(QString, kind);
    QFETCH(QString, text);
    QFETCH(QString, row);
    QFETCH(int, how);
    QFETCH(EditorScreen, screen);
    QFETCH(qint64, offset);

    mForm->editorState().newRecordMode = true;
    const SearchBox s = show(kind);
    runSearch(s.box, s.button, text);
    if (how == 1) {
        select(s.list, row);
        click(s.gotoButton);
    } else if (how == 2) {
        select(s.list, row);
        QTest::keyClick(list(s.list), Qt::Key_Return);
    } else {
        doubleClick(s.list, row);
    }
    QCOMPARE(panelName(), QStringLiteral("pnEdit"));
    QCOMPARE(title(), row);
    QCOMPARE(mForm->editorState().offset(screen), offset);
    QVERIFY(!mForm->editorState().newRecordMode);
    QVERIFY(mPrompter->texts().isEmpty());
    QVERIFY(!mForm->database().isModified());
}

void TestSearchMenus::nothingSelectedOpensNothing()
{
    runSearch("PSearch", "bnSearchPlayer", "ald");
    QTreeView *view = list("PSearchList");
    view->clearSelection();
    click("bnGotoPlayer");
    QCOMPARE(panelName(), QStringLiteral("pnSearch1"));

    // A double-click below the last row hits no row.
    QTest::mouseDClick(view->viewport(), Qt::LeftButton, {},
                       QPoint(5, view->viewport()->height() - 3));
    QCOMPARE(panelName(), QStringLiteral("pnSearch1"));
    QCOMPARE(mForm->editorState().offset(EditorScreen::Player), 0);
}

// A renamed player reads by his new name in the list he was opened from, in
// his place, before any new search.
void TestSearchMenus::confirmShowsTheNewName()
{
    runSearch("PSearch", "bnSearchPlayer", "ald");
    const QStringList before = rows("PSearchList");
    doubleClick("PSearchList", "Peter Jones");
    mForm->findChild<QLineEdit *>(QStringLiteral("FName"))->setText(QStringLiteral("Petra"));
    click("ConfirmPlayer");
    QStringList renamed = before;
    renamed.replace(before.indexOf(QStringLiteral("Peter Jones")), QStringLiteral("Petra Jones"));
    QCOMPARE(rows("PSearchList"), renamed);
}

// A whole generated database: every match listed, in collation order, each
// row leading to the record it names.
void TestSearchMenus::generatedDatabase()
{
    kx3::BuilderOptions options;
    options.persons = 1500;
    const kx3::test::TestInstallation installation(options);
    QVERIFY2(installation.isValid(), qPrintable(installation.errorString()));
    kx3::Database &db = mForm->database();
    QVERIFY(installation.loadInto(db));
    mForm->lookups().build(db);

    runSearch("PSearch", "bnSearchPlayer", "a");
    const QStringList names = rows("PSearchList");
    QCOMPARE(names.size(), qsizetype(kx3::searchPlayers(db, "a", false).size()));
    QVERIFY(names.size() > 100);
    QCollator collator(QLocale(QLocale::English, QLocale::UnitedStates));
    collator.setCaseSensitivity(Qt::CaseSensitive);
    const QAbstractItemModel *model = list("PSearchList")->model();
    for (int row = 0; row < names.size(); ++row) {
        if (row > 0)
            QVERIFY2(collator.compare(names.at(row - 1), names.at(row)) <= 0,
                     qPrintable(names.at(row)));
        const qint64 offset =
            model->index(row, 0).data(kx3::SearchResultModel::OffsetRole).toLongLong();
        QCOMPARE(model->index(row, 1).data().toString(), QString::number(offset));
        const auto person = kx3::person(db, offset / kx3::RecordSize::Person);
        QVERIFY(person && offset % kx3::RecordSize::Person == 0);
        const QByteArray name = kx3::FirstNameText(db, person->firstName()) + ' '
                                + kx3::SecondNameText(db, person->secondName());
        QCOMPARE(kx3::toCp1252(names.at(row)), name);
    }

    doubleClick("PSearchList", names.last());
    QCOMPARE(panelName(), QStringLiteral("pnEdit"));
    QCOMPARE(title(), names.last());
    QVERIFY(mPrompter->texts().isEmpty());
}

KX3_GUI_TEST_MAIN(TestSearchMenus)
#include "tst_SearchMenus.moc"
