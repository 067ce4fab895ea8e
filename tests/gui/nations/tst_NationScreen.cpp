#include "gui/nations/NationScreen.h"

#include "core/db/Cp1252.h"
#include "core/layout/NationRecord.h"
#include "core/nations/NationEdit.h"

#include "../support/OffscreenTestMain.h"
#include "../support/RecordScreenFixture.h"

#include <QComboBox>
#include <QLabel>
#include <QSignalSpy>
#include <QToolButton>

#include <functional>
#include <map>
#include <set>
#include <string>

using namespace kx3;

namespace {

/// The choice boxes of the screen and the item of the edit each one shows.
struct ListBinding
{
    const char *name;
    std::function<int(const NationEdit &)> item;
};

const std::vector<ListBinding> &listBindings()
{
    static const std::vector<ListBinding> lists = {
        {"NContinent", [](const NationEdit &e) { return e.continentItem; }},
        {"NReg", [](const NationEdit &e) { return e.regionItem; }},
        {"NActReg", [](const NationEdit &e) { return e.actualRegionItem; }},
        {"N1Lang", [](const NationEdit &e) { return e.languageItems[0]; }},
        {"N2Lang", [](const NationEdit &e) { return e.languageItems[1]; }},
        {"N3Lang", [](const NationEdit &e) { return e.languageItems[2]; }},
        {"NCity", [](const NationEdit &e) { return e.capitalCityItem; }},
        {"DevSt", [](const NationEdit &e) { return e.developmentStateItem; }},
        {"GroupM", [](const NationEdit &e) { return e.groupMembershipItem; }},
        {"NStad", [](const NationEdit &e) { return e.nationalStadiumItem; }},
        {"NatHCol1", [](const NationEdit &e) { return e.kitColourItems[0]; }},
        {"NatHCol2", [](const NationEdit &e) { return e.kitColourItems[1]; }},
        {"NatACol1", [](const NationEdit &e) { return e.kitColourItems[2]; }},
        {"NatACol2", [](const NationEdit &e) { return e.kitColourItems[3]; }},
        {"NatTCol1", [](const NationEdit &e) { return e.kitColourItems[4]; }},
        {"NatTCol2", [](const NationEdit &e) { return e.kitColourItems[5]; }},
        {"NRiv1", [](const NationEdit &e) { return e.rivalItems[0]; }},
        {"NRiv2", [](const NationEdit &e) { return e.rivalItems[1]; }},
        {"NRiv3", [](const NationEdit &e) { return e.rivalItems[2]; }},
    };
    return lists;
}

// The typed boxes in the order of nationBoxes(), each with a text no other
// box is given.
constexpr std::array<const char *, NationBoxCount> BoxNames = {
    "NGame",   "NLeagueS", "NSUpd",   "NRep",    "FCoef",   "FCoef91",
    "FCoef92", "FCoef93",  "FCoef94", "FCoef95", "FCoef96", "UCoef91",
    "UCoef92", "UCoef93",  "UCoef94", "UCoef95", "UCoef96",
};
constexpr std::array<const char *, NationBoxCount> Typed = {
    "201",   "17",    "-300", "1234", "12.5",  "91.25", "92.5", "93.75",  "94.125",
    "95.25", "96.75", "1.5",  "2.25", "3.125", "4.5",   "5.75", "0.1275",
};

} // namespace

class tst_NationScreen : public QObject, public test::RecordScreenFixture<NationScreen>
{
    Q_OBJECT

private Q_SLOTS:
    void initTestCase()
    {
        BuilderOptions options;
        options.persons = 300;
        options.nations = 24; // more than the few 300 persons would bring
        setUpInstallation(options);
    }
    void init() { setUpScreen(); }
    void cleanup() { tearDownScreen(); }

    void confirmEveryNationUnchanged();
    void everyControlIsBound();
    void refusalFocusesTheBox_data();
    void refusalFocusesTheBox();
    void captionsAndButtons();
    void goToCapitalAndStadium();
    void previewsFollowTheirColours();

private:
    QComboBox *combo(const char *name) const { return w<QComboBox>(name); }
    DataImage &nations() const { return mDb->image(DataFile::Nation); }
};

// Through the screen, an unchanged confirm leaves every nation exactly as the
// core's own unchanged edit does, also where a list has no item for the
// stored value or a box cannot show it faithfully.
void tst_NationScreen::confirmEveryNationUnchanged()
{
    NationRecord odd = *nation(*mDb, 1);
    odd.setFifaCoefficient(0.1 + 0.2);
    odd.setContinent(9);
    odd.setRegion(200);
    odd.setActualRegion(15);
    odd.setLanguage(1, 61);
    odd.setCapitalCity(99999);
    odd.setNationalStadium(-1);
    odd.setKitColour(2, 30);
    odd.setKitColour(5, -1);
    odd.setRival(0, -1);
    odd.setRival(2, 9999);
    for (int i = 0; i < nationCount(*mDb); ++i) {
        const QByteArray before = nations().bytes();
        QVERIFY(applyNationEdit(*mDb, mLookups, i, *loadNationEdit(*mDb, mLookups, i)).ok());
        const QByteArray want = nations().bytes();
        nations().setBytes(before);
        mDb->clearHistory();

        open(i);
        QVERIFY(mScreen->confirm());
        QVERIFY2(nations().bytes() == want, qPrintable(QString::number(i)));
        QCOMPARE(mDb->isModified(), want != before);
    }
    QVERIFY(mPrompter.texts().isEmpty());
    QCOMPARE(nation(*mDb, 1)->fifaCoefficient(), 0.1 + 0.2);
    QCOMPARE(nation(*mDb, 1)->region(), 200);
}

// Every box and list reaches its own field: what is typed and chosen is what
// the nation shows afterwards.
void tst_NationScreen::everyControlIsBound()
{
    const int index = 3;
    open(index);
    mDb->clearHistory();
    const NationEdit before = *loadNationEdit(*mDb, mLookups, index);
    for (std::size_t b = 0; b < BoxNames.size(); ++b)
        type(BoxNames[b], QString::fromLatin1(Typed[b]));
    // An item for each list that it does not show yet and that no other list
    // with the same items is given, so that two crossed lists show.
    std::map<std::string, int> chosen;
    std::map<int, std::set<int>> taken; // by item count
    int seed = 3;
    for (const ListBinding &list : listBindings()) {
        QComboBox *box = combo(list.name);
        const int count = box->count();
        int item = seed++ % count;
        while (item == list.item(before) || taken[count].count(item))
            item = (item + 1) % count;
        taken[count].insert(item);
        chosen[list.name] = item;
        box->setCurrentIndex(item);
    }
    click("ConfirmNation");
    QVERIFY(mDb->isModified());

    const NationEdit stored = *loadNationEdit(*mDb, mLookups, index);
    for (std::size_t b = 0; b < BoxNames.size(); ++b)
        QCOMPARE(stored.boxes[qsizetype(b)], QString::fromLatin1(Typed[b]));
    for (const ListBinding &list : listBindings())
        QVERIFY2(list.item(stored) == chosen[list.name], list.name);
    QVERIFY(mPrompter.texts().isEmpty());
}

void tst_NationScreen::refusalFocusesTheBox_data()
{
    QTest::addColumn<QString>("box");
    QTest::addColumn<QString>("typed");
    QTest::addColumn<int>("tab");
    QTest::addColumn<QString>("message");
    QTest::newRow("coefficient") << "FCoef94"
                                 << "12,5x" << 1 << "'12,5x' is not a valid floating point value";
    QTest::newRow("rating") << "NLeagueS"
                            << "256" << 0
                            << "'256' cannot be stored as League Standard: it must be between "
                               "0 and 255.";
}

// A box the record cannot take stops the confirm: the warning names it, the
// box gets the focus on its own tab, and nothing is written, though a list
// was changed too.
void tst_NationScreen::refusalFocusesTheBox()
{
    QFETCH(QString, box);
    QFETCH(QString, typed);
    QFETCH(int, tab);
    QFETCH(QString, message);
    mScreen->activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(mScreen.get()));
    open(0);
    mDb->clearHistory();
    const QByteArray name = box.toLatin1();
    type(name.constData(), typed);
    combo("NContinent")->setCurrentIndex(combo("NContinent")->currentIndex() == 1 ? 2 : 1);
    w<QTabWidget>("PC4")->setCurrentIndex(1 - tab);
    const QByteArray bytes = nations().bytes();
    click("ConfirmNation");
    QCOMPARE(mPrompter.errors(), QStringList{message});
    QCOMPARE(w<QTabWidget>("PC4")->currentIndex(), tab);
    QCOMPARE(QApplication::focusWidget(), w(name.constData()));
    QCOMPARE(w(name.constData())->selectedText(), typed);
    QCOMPARE(nations().bytes(), bytes);
    QVERIFY(!mDb->isModified());
    QVERIFY(!mDb->isModified());
}

// What is shown only, the title and the editor's buttons.
void tst_NationScreen::captionsAndButtons()
{
    QSignalSpy titles(mScreen.get(), &RecordScreen::titleChanged);
    mState.newRecordMode = true;
    const int index = 2;
    nation(*mDb, index)->setLongName("Republic of " + nation(*mDb, index)->shortName());
    open(index);
    QVERIFY(!mState.newRecordMode);
    const NationEdit e = *loadNationEdit(*mDb, mLookups, index);
    QCOMPARE(w("NLName")->text(), fromCp1252(e.longName));
    QCOMPARE(w("NSName")->text(), fromCp1252(e.shortName));
    QCOMPARE(w("NAbbr")->text(), fromCp1252(e.abbreviation));
    QCOMPARE(w("NAdj")->text(), fromCp1252(e.nationalityName));
    QCOMPARE(w("NClubs")->text(), e.clubCount);
    QCOMPARE(w("NStaff")->text(), e.personCount);
    for (const char *name : {"NLName", "NSName", "NAbbr", "NAdj", "NClubs", "NStaff"})
        QVERIFY2(w(name)->isReadOnly(), name);
    QCOMPARE(mScreen->title(), fromCp1252(e.longName));
    QCOMPARE(titles.size(), 1);
    QCOMPARE(titles.first().first().toString(), mScreen->title());

    const RecordButton create = mScreen->createButton();
    const RecordButton remove = mScreen->deleteButton();
    QCOMPARE(create.caption, QStringLiteral("Create New Nation"));
    QCOMPARE(remove.caption, QStringLiteral("Delete Nation"));
    QVERIFY(!create.enabled);
    QVERIFY(!remove.enabled);
    auto *tabs = w<QTabWidget>("PC4");
    QCOMPARE(tabs->tabText(0), QStringLiteral("General"));
    QCOMPARE(tabs->tabText(1), QStringLiteral("Miscelaneous"));
    QCOMPARE(w<QAbstractButton>("ConfirmNation")->text(),
             QStringLiteral("Confirm Nation Data Changes"));
}

// The capital and the national stadium open the record behind the chosen
// pick list entry, once their screens exist; "<none>" opens nothing.
void tst_NationScreen::goToCapitalAndStadium()
{
    open(4);
    QVERIFY(!w<QToolButton>("bnNCity")->isEnabled());
    QVERIFY(!w<QToolButton>("bnNStad")->isEnabled());
    mScreen->screenAdded(EditorScreen::City);
    QVERIFY(w<QToolButton>("bnNCity")->isEnabled());
    QVERIFY(!w<QToolButton>("bnNStad")->isEnabled());
    mScreen->screenAdded(EditorScreen::Stadium);

    combo("NCity")->setCurrentIndex(0);
    click("bnNCity");
    combo("NStad")->setCurrentIndex(0);
    click("bnNStad");
    QVERIFY(mRequests.isEmpty());
    combo("NCity")->setCurrentIndex(3);
    click("bnNCity");
    combo("NStad")->setCurrentIndex(2);
    click("bnNStad");
    const int city = mLookups.cities().recordIndex(3);
    const int stadium = mLookups.stadiums().recordIndex(2);
    QVERIFY(city >= 0 && stadium >= 0);
    QCOMPARE(mRequests, (QList<std::pair<EditorScreen, qint64>>{
                            {EditorScreen::City, qint64(city) * RecordSize::City},
                            {EditorScreen::Stadium, qint64(stadium) * RecordSize::Stadium}}));
}

// Each kit's preview shows its stored colours and follows a choice in either
// of its two lists at once, before any confirm.
void tst_NationScreen::previewsFollowTheirColours()
{
    NationRecord n = *nation(*mDb, 5);
    const std::array<std::int32_t, 6> stored = {24, -1, 1, 4, 9, 15};
    for (int k = 0; k < 6; ++k)
        n.setKitColour(k, stored[std::size_t(k)]);
    open(5);
    QCOMPARE(combo("NatHCol1")->currentText(), QStringLiteral("Gold"));
    QCOMPARE(combo("NatHCol2")->currentText(), QStringLiteral("None"));

    const QColor none = QApplication::palette().color(QPalette::Button);
    const struct
    {
        const char *colour1, *colour2, *preview, *caption;
        QColor text, background; // as stored
    } kits[] = {
        {"NatHCol1", "NatHCol2", "pn8", "HOME", QColor(249, 209, 72), none},
        {"NatACol1", "NatACol2", "pn9", "AWAY", QColor(255, 255, 255), QColor(255, 0, 0)},
        {"NatTCol1", "NatTCol2", "pn10", "THIRD", QColor(255, 255, 0), QColor(0, 80, 192)}};
    // Two choices for each list, so that one of them is always a change.
    const std::pair<int, QColor> texts[] = {{2, QColor(255, 255, 255)}, {10, QColor(255, 255, 0)}};
    const std::pair<int, QColor> backgrounds[] = {{5, QColor(255, 0, 0)},
                                                  {16, QColor(0, 80, 192)}};
    for (const auto &kit : kits) {
        auto *preview = w<QLabel>(kit.preview);
        QCOMPARE(preview->text(), QString::fromLatin1(kit.caption));
        QCOMPARE(preview->palette().color(QPalette::WindowText), kit.text);
        QCOMPARE(preview->palette().color(QPalette::Window), kit.background);
        const auto &text = texts[combo(kit.colour1)->currentIndex() == texts[0].first];
        combo(kit.colour1)->setCurrentIndex(text.first);
        QCOMPARE(preview->palette().color(QPalette::WindowText), text.second);
        const auto &back = backgrounds[combo(kit.colour2)->currentIndex() == backgrounds[0].first];
        combo(kit.colour2)->setCurrentIndex(back.first);
        QCOMPARE(preview->palette().color(QPalette::Window), back.second);
        QCOMPARE(preview->palette().color(QPalette::WindowText), text.second);
    }
}

KX3_GUI_TEST_MAIN(tst_NationScreen)
#include "tst_NationScreen.moc"
