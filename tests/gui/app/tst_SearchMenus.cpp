#include "app/EditorState.h"
#include "app/TMainForm.h"
#include "db/NameTables.h"
#include "db/Search.h"
#include "people/PersonRecord.h"
#include "widgets/Cp1252.h"
#include "widgets/SearchResultModel.h"

#include "../support/OffscreenTestMain.h"
#include "../support/SearchMenuFixture.h"
#include "TestDatabase.h"

#include <QCheckBox>
#include <QCollator>

using namespace kx3::test;
using kx3::EditorScreen;

Q_DECLARE_METATYPE(kx3::EditorScreen)

namespace {

const QStringList SearchButtons = {
    "bnSearchPlayer", "bnSearchStaff", "bnSearchClub", "bnSearchOff",
    "bnSearchNation", "bnSearchCity",  "bnSearchStad", "bnSearchComp",
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
    void openingDropsPendingCreate();
    void nothingSelectedOpensNothing();
    void generatedDatabase();
};

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

KX3_GUI_TEST_MAIN(TestSearchMenus)
#include "tst_SearchMenus.moc"
