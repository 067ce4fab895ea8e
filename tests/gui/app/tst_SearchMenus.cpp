#include "app/EditorState.h"
#include "app/SearchMenu1.h"
#include "app/SearchMenuModes.h"
#include "app/TMainForm.h"
#include "widgets/Cp1252.h"
#include "widgets/SearchResultModel.h"

#include "../support/MainFormFixture.h"
#include "../support/OffscreenTestMain.h"
#include "../support/ScriptedPrompter.h"
#include "../support/SmallWorld.h"
#include "TestDatabase.h"
#include "db/NameTables.h"
#include "db/Search.h"

#include <QCheckBox>
#include <QCollator>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTreeView>

#include <algorithm>

using kx3::ClubPickField;
using kx3::EditorScreen;
using kx3::MiscListSource;
using kx3::TMainForm;
using kx3::test::ScriptedPrompter;

Q_DECLARE_METATYPE(kx3::EditorScreen)
Q_DECLARE_METATYPE(kx3::MiscListSource)
Q_DECLARE_METATYPE(kx3::ClubPickField)

namespace {

// Persons by index: the tests name them by these constants.
enum Person
{
    Donald,
    Ronald,
    Gerald,
    Peter,
    Xavier,
    Emile
};
enum Club
{
    ManUtd,
    Rangers,
    Aldershot,
    EnglandTeam,
    ScotlandTeam,
    EnglandU21,
    ScotlandU21
};

const QStringList SearchButtons = {
    "bnSearchPlayer", "bnSearchStaff", "bnSearchClub", "bnSearchOff",
    "bnSearchNation", "bnSearchCity",  "bnSearchStad", "bnSearchComp",
};

qint64 personAt(int index)
{
    return qint64(index) * kx3::RecordSize::Person;
}

qint64 clubAt(int index)
{
    return qint64(index) * kx3::RecordSize::Club;
}

} // namespace

class TestSearchMenus : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void initTestCase();
    void init();
    void cleanup();

    void search_data();
    void search();
    void emptyTextKeepsRows();
    void searchBoxesHoldSamples();
    void resultListsShowNamesOnly();
    void defaultButtonFollowsFocus_data();
    void defaultButtonFollowsFocus();
    void openResult_data();
    void openResult();
    void openingDropsPendingCreate();
    void nothingSelectedOpensNothing();
    void competitionGroupDisabled();
    void generatedDatabase();

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

private:
    template <typename T> T *widget(const QString &name) const
    {
        T *w = mForm->findChild<T *>(name);
        if (!w)
            qWarning("no widget %s", qPrintable(name));
        return w;
    }
    QPushButton *button(const QString &name) const { return widget<QPushButton>(name); }
    QTreeView *list(const QString &name) const { return widget<QTreeView>(name); }
    void click(const QString &name)
    {
        QPushButton *b = button(name);
        QVERIFY2(b && b->isVisible() && b->isEnabled(), qPrintable(name));
        QTest::mouseClick(b, Qt::LeftButton);
    }
    QString panelName() const { return mForm->currentPanel()->objectName(); }
    QString title() const { return widget<QLabel>(QStringLiteral("pn2"))->text(); }
    QStringList rows(const QString &listName) const;
    /// Types `text` into a search box and presses its "Begin Search".
    void runSearch(const QString &box, const QString &searchButton, const QString &text);
    /// Selects the row showing `name` and double-clicks it.
    void doubleClick(const QString &listName, const QString &name);
    void select(const QString &listName, const QString &name);
    void showMenu2() { click(QStringLiteral("bnSearchP2")); }
    qint32 personSlot(int person, int slot) const
    {
        return mForm->database().image(kx3::DataFile::Staff).i32(personAt(person) + 97 + 4 * slot);
    }
    qint32 clubSlot(int club, int slot) const
    {
        return mForm->database().clubs().i32(clubAt(club) + 155 + 4 * slot);
    }
    kx3::SearchMenuModes *modes() const { return mForm->searchModes(); }

    std::unique_ptr<QTemporaryDir> mDir;
    std::unique_ptr<TMainForm> mForm;
    ScriptedPrompter *mPrompter = nullptr;
};

void TestSearchMenus::initTestCase()
{
    QApplication::setQuitOnLastWindowClosed(false);
    // The sort order of the lists must not depend on the machine's language.
    QLocale::setDefault(QLocale(QLocale::English, QLocale::UnitedStates));
}

void TestSearchMenus::init()
{
    mDir = std::make_unique<QTemporaryDir>();
    QVERIFY(mDir->isValid());
    const QString game = mDir->filePath(QStringLiteral("game"));
    kx3::test::writeEmptyInstallation(game);

    auto prompter = std::make_unique<ScriptedPrompter>();
    mPrompter = prompter.get();
    mForm = std::make_unique<TMainForm>(std::make_unique<kx3::test::FakeSource>(), game,
                                        std::move(prompter));
    mForm->show();
    QVERIFY(QTest::qWaitForWindowActive(mForm.get()));
    click(QStringLiteral("bnBegin"));
    QCOMPARE(panelName(), QStringLiteral("pnSearch1"));

    kx3::Database &db = mForm->database();
    kx3::test::SmallWorld world(db);
    const int england = world.addNation("England", "England");
    const int scotland = world.addNation("Scotland", "Scotland");
    world.addPerson("Donald", "Smith", "", 2, england);
    world.addPerson("Ronald", "ALDRIDGE", "", 1, england);
    world.addPerson("Gerald", "Baldwin", "", 3, scotland);
    world.addPerson("Peter", "Jones", "Aldo", 4, england);
    world.addPerson("Xavier", "Nobody", "", 0, england);
    world.addPerson("\xC9mile", "Mertens", "", 2, -2);
    world.addClub("Manchester Utd", "Man Utd", england);
    world.addClub("Glasgow Rangers", "Rangers", scotland);
    world.addClub("Aldershot Town", "Aldershot", england);
    world.addNationalTeam("England", "England", england);
    world.addNationalTeam("Scotland", "Scotland", scotland);
    world.addNationalTeam("England", "England", england);
    world.addNationalTeam("Scotland", "Scotland", scotland);
    world.addOfficial("Pierre", "Taylor", england);
    world.addOfficial("Anna", "Schmidt", -1);
    const int london = world.addCity("London", england);
    const int glasgow = world.addCity("Glasgow", scotland);
    world.addStadium("Wembley", london);
    world.addStadium("Hampden Park", glasgow);
    world.finish();
    mForm->lookups().build(db);
}

void TestSearchMenus::cleanup()
{
    if (mPrompter)
        QCOMPARE(mPrompter->pendingAnswers(), 0);
    mForm.reset();
    mPrompter = nullptr;
    mDir.reset();
}

QStringList TestSearchMenus::rows(const QString &listName) const
{
    const QAbstractItemModel *model = list(listName)->model();
    QStringList names;
    for (int row = 0; row < model->rowCount(); ++row)
        names << model->index(row, 0).data().toString();
    return names;
}

void TestSearchMenus::runSearch(const QString &box, const QString &searchButton,
                                const QString &text)
{
    QLineEdit *edit = widget<QLineEdit>(box);
    QVERIFY(edit);
    edit->clear();
    // Qt Test can only type ASCII keys; other letters come in as if pasted.
    const bool ascii =
        std::all_of(text.cbegin(), text.cend(), [](QChar c) { return c.unicode() < 0x80; });
    if (ascii)
        QTest::keyClicks(edit, text);
    else
        edit->insert(text);
    QCOMPARE(edit->text(), text);
    click(searchButton);
}

void TestSearchMenus::select(const QString &listName, const QString &name)
{
    QTreeView *view = list(listName);
    const int row = int(rows(listName).indexOf(name));
    QVERIFY2(row >= 0, qPrintable(name));
    const QModelIndex index = view->model()->index(row, 0);
    view->scrollTo(index);
    QTest::mouseClick(view->viewport(), Qt::LeftButton, {}, view->visualRect(index).center());
    QCOMPARE(view->selectionModel()->selectedRows().size(), 1);
}

void TestSearchMenus::doubleClick(const QString &listName, const QString &name)
{
    select(listName, name);
    QTreeView *view = list(listName);
    const QModelIndex index = view->selectionModel()->selectedRows().first();
    QTest::mouseDClick(view->viewport(), Qt::LeftButton, {}, view->visualRect(index).center());
}

void TestSearchMenus::search_data()
{
    QTest::addColumn<int>("menu");
    QTest::addColumn<QString>("box");
    QTest::addColumn<QString>("caseBox");
    QTest::addColumn<QString>("button");
    QTest::addColumn<QString>("list");
    QTest::addColumn<QString>("text");
    QTest::addColumn<QStringList>("expected");
    QTest::addColumn<QString>("message");

    auto player = [](const char *row, const char *text, bool caseSensitive, QStringList expected) {
        QTest::newRow(row) << 1 << "PSearch" << (caseSensitive ? "PCase" : "") << "bnSearchPlayer"
                           << "PSearchList" << QString::fromUtf8(text) << expected
                           << (expected.isEmpty() ? "No Player found" : "");
    };
    // First, second and common name take part; the list shows first and second.
    player("player, any case", "ald", false, {"Donald Smith", "Gerald Baldwin", "Peter Jones"});
    player("player, exact case", "ald", true, {"Donald Smith", "Gerald Baldwin"});
    player("player, common name", "Ald", true, {"Peter Jones"});
    player("player, across the blank", "d s", false, {"Donald Smith"});
    player("player, second and common name", "jones ald", false, {"Peter Jones"});
    player("player, accent only in its case", "\xC3\xA9mile", false, {});
    player("player, accented letter", "\xC3\x89mile", false, {"\xC3\x89mile Mertens"});
    player("player, classification 0 never", "nobody", false, {});

    auto staff = [](const char *row, const char *text, bool caseSensitive, QStringList expected) {
        QTest::newRow(row) << 1 << "SSearch" << (caseSensitive ? "SCase" : "") << "bnSearchStaff"
                           << "SSearchList" << QString::fromUtf8(text) << expected
                           << (expected.isEmpty() ? "No Staff found" : "");
    };
    staff("staff, any case", "ald", false, {"Gerald Baldwin", "Ronald ALDRIDGE"});
    staff("staff, exact case", "ALD", true, {"Ronald ALDRIDGE"});
    staff("staff, players are not staff", "Smith", false, {});

    auto club = [](const char *row, const char *text, bool caseSensitive, QStringList expected) {
        QTest::newRow(row) << 1 << "CSearch" << (caseSensitive ? "CCase" : "") << "bnSearchClub"
                           << "CSearchList" << QString::fromUtf8(text) << expected
                           << (expected.isEmpty() ? "No Club found" : "");
    };
    club("club, by nation", "england", false,
         {"Aldershot Town", "England", "England (U21)", "Manchester Utd"});
    club("club, by short name", "Man Utd", true, {"Manchester Utd"});
    club("club, exact case", "rangers", true, {});

    auto misc = [](const char *row, const char *box, const char *caseBox, const char *button,
                   const char *listName, const char *text, QStringList expected,
                   const char *message) {
        QTest::newRow(row) << 2 << box << caseBox << button << listName << text << expected
                           << (expected.isEmpty() ? message : "");
    };
    misc("official, any case", "OSearch", "", "bnSearchOff", "OSearchList", "taylor",
         {"Pierre Taylor"}, "");
    misc("official, exact case", "OSearch", "OCase", "bnSearchOff", "OSearchList", "taylor", {},
         "No Official found");
    misc("official, into the nation", "OSearch", "", "bnSearchOff", "OSearchList", "lorEng",
         {"Pierre Taylor"}, "");
    misc("official without nation", "OSearch", "", "bnSearchOff", "OSearchList", "<none>",
         {"Anna Schmidt"}, "");
    misc("nation", "NSearch", "", "bnSearchNation", "NSearchList", "eng", {"England"}, "");
    misc("no nation", "NSearch", "", "bnSearchNation", "NSearchList", "xyz", {},
         "No Nation found");
    misc("city by nation", "CtSearch", "", "bnSearchCity", "CtSearchList", "scot", {"Glasgow"},
         "");
    misc("no city", "CtSearch", "", "bnSearchCity", "CtSearchList", "paris", {}, "No City found");
    misc("stadium by city", "StadSearch", "", "bnSearchStad", "StadSearchList", "glasgow",
         {"Hampden Park"}, "");
    // City 0 contributes its nation but not its name.
    misc("stadium in city 0", "StadSearch", "", "bnSearchStad", "StadSearchList", "london", {},
         "No Stadium found");
}

void TestSearchMenus::search()
{
    QFETCH(int, menu);
    QFETCH(QString, box);
    QFETCH(QString, caseBox);
    QFETCH(QString, button);
    QFETCH(QString, list);
    QFETCH(QString, text);
    QFETCH(QStringList, expected);
    QFETCH(QString, message);

    if (menu == 2)
        showMenu2();
    if (!caseBox.isEmpty())
        widget<QCheckBox>(caseBox)->setChecked(true);
    runSearch(box, button, text);
    QCOMPARE(rows(list), expected);
    QCOMPARE(mPrompter->texts(), message.isEmpty() ? QStringList() : QStringList{message});
    QCOMPARE(panelName(), menu == 1 ? QStringLiteral("pnSearch1") : QStringLiteral("pnSearch2"));
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

void TestSearchMenus::searchBoxesHoldSamples()
{
    for (const char *name : {"PSearch", "SSearch", "CSearch", "OSearch", "NSearch", "CtSearch",
                             "StadSearch", "CompSearch"}) {
        const QLineEdit *box = widget<QLineEdit>(QLatin1String(name));
        QVERIFY2(!box->text().isEmpty(), name);
        QCOMPARE(box->maxLength(), 30);
    }
    QCOMPARE(widget<QLineEdit>("NSearch")->text(), QStringLiteral("England"));
    QCOMPARE(widget<QLineEdit>("CtSearch")->text(), QStringLiteral("London"));
    QCOMPARE(widget<QLineEdit>("StadSearch")->text(), QStringLiteral("Old Trafford"));
    QCOMPARE(widget<QLineEdit>("CompSearch")->text(), QStringLiteral("Premier"));
}

void TestSearchMenus::resultListsShowNamesOnly()
{
    for (const char *name : {"PSearchList", "SSearchList", "CSearchList", "OSearchList",
                             "NSearchList", "CtSearchList", "StadSearchList"}) {
        const QTreeView *view = list(QLatin1String(name));
        QVERIFY2(view->isHeaderHidden(), name);
        QVERIFY2(view->isColumnHidden(kx3::SearchResultModel::OffsetColumn), name);
        QCOMPARE(view->selectionBehavior(), QAbstractItemView::SelectRows);
        QCOMPARE(view->selectionMode(), QAbstractItemView::SingleSelection);
        QCOMPARE(view->editTriggers(), QAbstractItemView::NoEditTriggers);
        // The selection stays visible while the focus is on the go-to button.
        const QPalette palette = view->palette();
        QCOMPARE(palette.color(QPalette::Inactive, QPalette::Highlight),
                 palette.color(QPalette::Active, QPalette::Highlight));
    }
}

void TestSearchMenus::defaultButtonFollowsFocus_data()
{
    QTest::addColumn<int>("menu");
    QTest::addColumn<QString>("box");
    QTest::addColumn<QString>("button");
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("list");

    QTest::newRow("player") << 1 << "PSearch"
                            << "bnSearchPlayer"
                            << "Smith"
                            << "PSearchList";
    QTest::newRow("staff") << 1 << "SSearch"
                           << "bnSearchStaff"
                           << "Ronald"
                           << "SSearchList";
    QTest::newRow("club") << 1 << "CSearch"
                          << "bnSearchClub"
                          << "Utd"
                          << "CSearchList";
    QTest::newRow("official") << 2 << "OSearch"
                              << "bnSearchOff"
                              << "Taylor"
                              << "OSearchList";
    QTest::newRow("nation") << 2 << "NSearch"
                            << "bnSearchNation"
                            << "Scot"
                            << "NSearchList";
    QTest::newRow("city") << 2 << "CtSearch"
                          << "bnSearchCity"
                          << "Lon"
                          << "CtSearchList";
    QTest::newRow("stadium") << 2 << "StadSearch"
                             << "bnSearchStad"
                             << "Wem"
                             << "StadSearchList";
}

void TestSearchMenus::defaultButtonFollowsFocus()
{
    QFETCH(int, menu);
    QFETCH(QString, box);
    QFETCH(QString, button);
    QFETCH(QString, text);
    QFETCH(QString, list);

    // Another box had the focus first, so its button was the default one.
    if (menu == 2)
        showMenu2();
    QLineEdit *other = widget<QLineEdit>(menu == 1 ? (box == "PSearch" ? "CSearch" : "PSearch")
                                                   : (box == "OSearch" ? "CtSearch" : "OSearch"));
    QTest::mouseClick(other, Qt::LeftButton);
    QVERIFY(!this->button(button)->isDefault());

    QLineEdit *edit = widget<QLineEdit>(box);
    QTest::mouseClick(edit, Qt::LeftButton);
    QCOMPARE(QApplication::focusWidget(), edit);
    for (const QString &name : SearchButtons)
        QCOMPARE(this->button(name)->isDefault(), name == button);

    edit->clear();
    QTest::keyClicks(edit, text);
    QTest::keyClick(edit, Qt::Key_Return);
    QCOMPARE(rows(list).size(), 1);
}

void TestSearchMenus::openResult_data()
{
    QTest::addColumn<int>("menu");
    QTest::addColumn<QString>("box");
    QTest::addColumn<QString>("searchButton");
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("list");
    QTest::addColumn<QString>("row");
    QTest::addColumn<QString>("gotoButton"); // empty: double-click the row
    QTest::addColumn<EditorScreen>("screen");
    QTest::addColumn<qint64>("offset");
    QTest::addColumn<QString>("editorTitle");

    const qint64 P = kx3::RecordSize::Person;
    QTest::newRow("player, double-click")
        << 1 << "PSearch"
        << "bnSearchPlayer"
        << "ald"
        << "PSearchList"
        << "Gerald Baldwin"
        << "" << EditorScreen::Player << 2 * P << "Gerald Baldwin";
    QTest::newRow("player, Go To Player")
        << 1 << "PSearch"
        << "bnSearchPlayer"
        << "ald"
        << "PSearchList"
        << "Peter Jones"
        << "bnGotoPlayer" << EditorScreen::Player << 3 * P << "Peter Jones";
    QTest::newRow("staff, double-click")
        << 1 << "SSearch"
        << "bnSearchStaff"
        << "ald"
        << "SSearchList"
        << "Ronald ALDRIDGE"
        << "" << EditorScreen::Staff << 1 * P << "Ronald ALDRIDGE";
    QTest::newRow("staff, Go To Staff")
        << 1 << "SSearch"
        << "bnSearchStaff"
        << "ald"
        << "SSearchList"
        << "Gerald Baldwin"
        << "bnGotoStaff" << EditorScreen::Staff << 2 * P << "Gerald Baldwin";
    QTest::newRow("club, double-click")
        << 1 << "CSearch"
        << "bnSearchClub"
        << "Rangers"
        << "CSearchList"
        << "Glasgow Rangers"
        << "" << EditorScreen::Club << clubAt(Rangers) << "Glasgow Rangers";
    QTest::newRow("under-21 team, Go To Club")
        << 1 << "CSearch"
        << "bnSearchClub"
        << "England"
        << "CSearchList"
        << "England (U21)"
        << "bnGotoClub" << EditorScreen::Club << clubAt(EnglandU21) << "England (U21)";
    QTest::newRow("official, Go To Official")
        << 2 << "OSearch"
        << "bnSearchOff"
        << "a"
        << "OSearchList"
        << "Anna Schmidt"
        << "bnGotoOff" << EditorScreen::Official << qint64(kx3::RecordSize::Official)
        << "Anna Schmidt";
    QTest::newRow("nation, double-click")
        << 2 << "NSearch"
        << "bnSearchNation"
        << "land"
        << "NSearchList"
        << "Scotland"
        << "" << EditorScreen::Nation << qint64(kx3::RecordSize::Nation) << "Scotland";
    QTest::newRow("city, double-click")
        << 2 << "CtSearch"
        << "bnSearchCity"
        << "o"
        << "CtSearchList"
        << "Glasgow"
        << "" << EditorScreen::City << qint64(kx3::RecordSize::City) << "Glasgow";
    QTest::newRow("stadium, Go To Stadium")
        << 2 << "StadSearch"
        << "bnSearchStad"
        << "e"
        << "StadSearchList"
        << "Wembley"
        << "bnGotoStad" << EditorScreen::Stadium << qint64(0) << "Wembley";
}

void TestSearchMenus::openResult()
{
    QFETCH(int, menu);
    QFETCH(QString, box);
    QFETCH(QString, searchButton);
    QFETCH(QString, text);
    QFETCH(QString, list);
    QFETCH(QString, row);
    QFETCH(QString, gotoButton);
    QFETCH(EditorScreen, screen);
    QFETCH(qint64, offset);
    QFETCH(QString, editorTitle);

    if (menu == 2)
        showMenu2();
    runSearch(box, searchButton, text);
    if (gotoButton.isEmpty()) {
        doubleClick(list, row);
    } else {
        select(list, row);
        click(gotoButton);
    }
    QCOMPARE(panelName(), QStringLiteral("pnEdit"));
    QCOMPARE(title(), editorTitle);
    QCOMPARE(mForm->editorState().offset(screen), offset);
    QVERIFY(mPrompter->texts().isEmpty());
    QVERIFY(!mForm->database().isModified());
}

void TestSearchMenus::openingDropsPendingCreate()
{
    mForm->editorState().newRecordMode = true;
    runSearch("PSearch", "bnSearchPlayer", "Smith");
    doubleClick("PSearchList", "Donald Smith");
    QCOMPARE(panelName(), QStringLiteral("pnEdit"));
    QVERIFY(!mForm->editorState().newRecordMode);
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
    QCOMPARE(mForm->editorState().personOffset, 0);
}

void TestSearchMenus::competitionGroupDisabled()
{
    showMenu2();
    const QGroupBox *group = widget<QGroupBox>("gb47");
    QCOMPARE(group->title(), QStringLiteral("Competition Search"));
    QVERIFY(group->isVisible());
    QVERIFY(!group->isEnabled());
    QVERIFY(!button("bnSearchComp")->isEnabled());
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
        const QByteArray name = kx3::FirstNameText(db, person->firstName()) + ' ' +
                                kx3::SecondNameText(db, person->secondName());
        QCOMPARE(kx3::toCp1252(names.at(row)), name);
    }

    const QString last = names.last();
    doubleClick("PSearchList", last);
    QCOMPARE(panelName(), QStringLiteral("pnEdit"));
    QCOMPARE(title(), last);

    click("bnSearch");
    runSearch("CSearch", "bnSearchClub", "a");
    const QStringList clubs = rows("CSearchList");
    QCOMPARE(clubs.size(), qsizetype(kx3::searchClubs(db, "a", false).size()));
    const auto under21 = std::find_if(clubs.cbegin(), clubs.cend(), [](const QString &name) {
        return name.endsWith(QLatin1String(" (U21)"));
    });
    QVERIFY(under21 != clubs.cend());
    doubleClick("CSearchList", *under21);
    QCOMPARE(title(), *under21);
    QVERIFY(mPrompter->texts().isEmpty());
}

void TestSearchMenus::miscListDialogLayout_data()
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

void TestSearchMenus::miscListDialogLayout()
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

void TestSearchMenus::miscListNeedsRow()
{
    mForm->showEditor();
    QVERIFY(!modes()->openMiscListDialog(MiscListSource::Player, -1));
    QVERIFY(!modes()->openMiscListDialog(MiscListSource::Club, 9));
    QCOMPARE(panelName(), QStringLiteral("pnEdit"));
    QCOMPARE(widget<QLabel>("pn1")->text(), QStringLiteral("Main Search Menu"));
}

void TestSearchMenus::miscListPick_data()
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

void TestSearchMenus::miscListPick()
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

void TestSearchMenus::miscListRefusesNationalTeam_data()
{
    QTest::addColumn<MiscListSource>("source");
    QTest::addColumn<int>("row");
    QTest::addColumn<QString>("team");

    QTest::newRow("national team for a club") << MiscListSource::Club << 7 << "Scotland";
    QTest::newRow("under-21 team for a player") << MiscListSource::Player << 0 << "Scotland (U21)";
}

void TestSearchMenus::miscListRefusesNationalTeam()
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

void TestSearchMenus::setToNone_data()
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

void TestSearchMenus::setToNone()
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

void TestSearchMenus::cancelWritesNothing()
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

void TestSearchMenus::clubPicking_data()
{
    QTest::addColumn<ClubPickField>("field");
    QTest::addColumn<QString>("text");

    // The transfer and loan boxes take the caption, the history box the short name.
    QTest::newRow("future transfer") << ClubPickField::TClub << "Manchester Utd";
    QTest::newRow("loan") << ClubPickField::LClub << "Manchester Utd";
    QTest::newRow("history") << ClubPickField::HClu << "Man Utd";
}

void TestSearchMenus::clubPicking()
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

void TestSearchMenus::clubPickingRefusesNationalTeam_data()
{
    QTest::addColumn<QString>("team");
    QTest::newRow("national team") << "England";
    QTest::newRow("under-21 team") << "England (U21)";
}

void TestSearchMenus::clubPickingRefusesNationalTeam()
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

void TestSearchMenus::clubPickingSetToNone()
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
void TestSearchMenus::setToNoneAfterCancelledPickingWritesSlot()
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

void TestSearchMenus::transferMenuHandsOverClubs()
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

KX3_GUI_TEST_MAIN(TestSearchMenus)
#include "tst_SearchMenus.moc"
