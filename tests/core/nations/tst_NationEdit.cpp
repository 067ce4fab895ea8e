#include "RecordsTestSupport.h"
#include "TestDatabase.h"

#include "core/db/Database.h"
#include "core/layout/KitColours.h"
#include "core/layout/NationRecord.h"
#include "core/lookup/Lookups.h"
#include "core/nations/NationEdit.h"

#include <QTest>

#include <bit>
#include <functional>
#include <map>
#include <memory>

using namespace kx3;

namespace {

int boxOf(const char *caption)
{
    const std::span<const EditBox> boxes = nationBoxes();
    for (std::size_t i = 0; i < boxes.size(); ++i) {
        if (qstrcmp(boxes[i].field.caption, caption) == 0)
            return int(i);
    }
    qFatal("no box %s", caption);
    return -1;
}

/// A nation record as an unchanged confirm leaves it: every negative continent,
/// capital, national stadium, kit colour and rival stored as -2.
QByteArray afterUnchangedConfirm(QByteArray record)
{
    DataImage image(record);
    NationRecord n(&image, 0);
    auto none = [](std::int32_t v) { return v < 0 ? -2 : v; };
    n.setContinent(none(n.continent()));
    n.setCapitalCity(none(n.capitalCity()));
    n.setNationalStadium(none(n.nationalStadium()));
    for (int k = 0; k < 6; ++k)
        n.setKitColour(k, none(n.kitColour(k)));
    for (int k = 0; k < 3; ++k)
        n.setRival(k, none(n.rival(k)));
    return image.bytes();
}

/// A quiet NaN with a payload: it shows as "nan" and must come back bit for bit.
constexpr std::uint64_t NanBits = 0x7FF8000000000123ull;

/// One list of the nation screen: how an edit chooses an item, and the value stored.
struct NationList
{
    std::function<void(NationEdit &, int)> choose;
    std::function<qint64(const ConstNationRecord &)> stored;
};

const std::map<QString, NationList> &nationLists()
{
    static const std::map<QString, NationList> lists = {
        {"continent",
         {[](auto &e, int i) { e.continentItem = i; }, &ConstNationRecord::continent}},
        {"region", {[](auto &e, int i) { e.regionItem = i; }, &ConstNationRecord::region}},
        {"actual region",
         {[](auto &e, int i) { e.actualRegionItem = i; }, &ConstNationRecord::actualRegion}},
        {"third language",
         {[](auto &e, int i) { e.languageItems[2] = i; },
          [](const ConstNationRecord &n) { return n.language(2); }}},
        {"capital",
         {[](auto &e, int i) { e.capitalCityItem = i; }, &ConstNationRecord::capitalCity}},
        {"development state",
         {[](auto &e, int i) { e.developmentStateItem = i; },
          &ConstNationRecord::developmentState}},
        {"group membership",
         {[](auto &e, int i) { e.groupMembershipItem = i; }, &ConstNationRecord::groupMembership}},
        {"national stadium",
         {[](auto &e, int i) { e.nationalStadiumItem = i; }, &ConstNationRecord::nationalStadium}},
        {"away colour 2",
         {[](auto &e, int i) { e.kitColourItems[3] = i; },
          [](const ConstNationRecord &n) { return n.kitColour(3); }}},
        {"rival 2",
         {[](auto &e, int i) { e.rivalItems[1] = i; },
          [](const ConstNationRecord &n) { return n.rival(1); }}},
    };
    return lists;
}

} // namespace

class tst_NationEdit : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void initTestCase();
    void init();
    void unchangedConfirmKeepsEveryNation();
    void listItemsStoreTheirValues_data();
    void listItemsStoreTheirValues();
    void boxesAreStoredAndNamesNever();
    void refusedEditChangesNothing_data();
    void refusedEditChangesNothing();

private:
    NationEdit load(int nation) { return *loadNationEdit(*mDb, mLookups, nation); }
    EditResult apply(int nation, const NationEdit &edit)
    {
        return applyNationEdit(*mDb, mLookups, nation, edit);
    }

    std::unique_ptr<test::TestInstallation> mInstall;
    std::unique_ptr<Database> mDb;
    Lookups mLookups;
};

void tst_NationEdit::initTestCase()
{
    BuilderOptions options;
    options.persons = 600;
    mInstall = std::make_unique<test::TestInstallation>(options);
    QVERIFY2(mInstall->isValid(), qPrintable(mInstall->errorString()));
}

void tst_NationEdit::init()
{
    mDb = std::make_unique<Database>();
    QVERIFY(mInstall->loadInto(*mDb));
    mLookups.build(*mDb, QLocale(QLocale::English, QLocale::UnitedStates));
}

// Every nation, two of them holding values no list or box shows faithfully: a
// confirm without edits keeps them all and changes only what the editor
// always normalises.
void tst_NationEdit::unchangedConfirmKeepsEveryNation()
{
    {
        NationRecord odd = *nation(*mDb, 1);
        odd.setFifaCoefficient(0.1 + 0.2); // shown as 0.3
        odd.setUefaCoefficientOfYear(2, 1.0 / 3.0);
        odd.setContinent(9);        // no item
        odd.setRegion(200);         // no item
        odd.setActualRegion(15);    // one past the list
        odd.setLanguage(1, 61);     // one past the list
        odd.setCapitalCity(99999);  // not in the pick list
        odd.setDevelopmentState(7); // no item
        odd.setGroupMembership(3);  // one past the list
        odd.setNationalStadium(-1); // "<none>", normalised to -2
        odd.setKitColour(0, 30);    // beyond the colour table
        odd.setKitColour(1, -1);    // "None", normalised to -2
        odd.setRival(0, -1);        // "<none>", normalised to -2
        odd.setRival(1, 9999);      // no such nation
        odd.setClubCount(999);      // a stale count is the recounts' business
        odd.setReputation(-32768);
        NationRecord other = *nation(*mDb, 2);
        other.setContinent(-1);
        other.setCapitalCity(-7);
        other.setNationalStadium(99999);
        mDb->image(DataFile::Nation)
            .write(other.offset() + NationField::FifaCoefficients.at(0).offset,
                   test::le64(std::bit_cast<double>(NanBits)));
    }
    const DataImage before = mDb->image(DataFile::Nation);
    QByteArray expected = before.bytes();
    for (int i = 0; i < nationCount(*mDb); ++i) {
        const qsizetype at = qsizetype(i) * RecordSize::Nation;
        expected.replace(at, RecordSize::Nation,
                         afterUnchangedConfirm(expected.mid(at, RecordSize::Nation)));
        const EditResult result = apply(i, load(i));
        QVERIFY2(result.ok(), qPrintable(result.message));
    }
    QCOMPARE(mDb->image(DataFile::Nation).bytes(), expected);
    QCOMPARE(nation(*mDb, 1)->fifaCoefficient(), 0.1 + 0.2);
    QCOMPARE(std::bit_cast<std::uint64_t>(nation(*mDb, 2)->fifaCoefficientOfYear(0)), NanBits);
    QCOMPARE(load(2).boxes[boxOf("FIFA Coefficient 91")], QStringLiteral("nan"));
    QCOMPARE(load(1).boxes[boxOf("FIFA Coefficient")], QStringLiteral("0.3"));
    QVERIFY(mDb->isModified());
}

void tst_NationEdit::listItemsStoreTheirValues_data()
{
    QTest::addColumn<QString>("list");
    QTest::addColumn<int>("item");
    QTest::addColumn<qint64>("stored");
    // Item 0 of a reference list stores -2; the lists of codes store the item.
    QTest::newRow("continent <unknown>") << "continent" << 0 << qint64(-2);
    QTest::newRow("continent last") << "continent" << 6 << qint64(5);
    QTest::newRow("region last") << "region" << 24 << qint64(24);
    QTest::newRow("region <unknown>") << "region" << 0 << qint64(0);
    QTest::newRow("actual region last") << "actual region" << 14 << qint64(14);
    QTest::newRow("language last") << "third language" << 60 << qint64(60);
    QTest::newRow("language <none>") << "third language" << 0 << qint64(0);
    QTest::newRow("capital <none>") << "capital" << 0 << qint64(-2);
    QTest::newRow("development state") << "development state" << 3 << qint64(3);
    QTest::newRow("group membership") << "group membership" << 2 << qint64(2);
    QTest::newRow("national stadium <none>") << "national stadium" << 0 << qint64(-2);
    QTest::newRow("colour None") << "away colour 2" << 0 << qint64(-2);
    QTest::newRow("colour Gold") << "away colour 2" << 25 << qint64(24);
    QTest::newRow("rival <none>") << "rival 2" << 0 << qint64(-2);
    QTest::newRow("rival first nation") << "rival 2" << 1 << qint64(0);
    // Pick list items store the index their entry names; -1 marks those rows.
    QTest::newRow("capital by pick list") << "capital" << 3 << qint64(-1);
    QTest::newRow("stadium by pick list") << "national stadium" << 5 << qint64(-1);
}

// Each list stores the value of the chosen item in its own field, and the
// screen shows that item again.
void tst_NationEdit::listItemsStoreTheirValues()
{
    QFETCH(QString, list);
    QFETCH(int, item);
    QFETCH(qint64, stored);
    const NationList &field = nationLists().at(list);
    if (stored == -1) {
        const PickList &pick = list == "capital" ? mLookups.cities() : mLookups.stadiums();
        stored = pick.recordIndex(item);
        QVERIFY(stored >= 0);
    }
    const int i = 3;
    NationEdit edit = load(i);
    field.choose(edit, item);
    QVERIFY(apply(i, edit).ok());
    QCOMPARE(field.stored(*nation(std::as_const(*mDb), i)), stored);
    // Shown again as chosen, every other list and box as it was.
    QCOMPARE(load(i), edit);
}

void tst_NationEdit::boxesAreStoredAndNamesNever()
{
    const int i = 0;
    const ConstNationRecord n = *nation(std::as_const(*mDb), i);
    const QByteArray longName = n.longName();
    const QByteArray abbreviation = n.abbreviation();
    const int clubs = n.clubCount();
    NationEdit edit = load(i);
    edit.longName = "Renamed";
    edit.shortName = "Renamed";
    edit.abbreviation = "XYZ";
    edit.nationalityName = "Renamed";
    edit.clubCount = "77";
    edit.personCount = "77";
    edit.boxes[boxOf("Game Importance")] = "255";
    edit.boxes[boxOf("League Standard")] = "0";
    edit.boxes[boxOf("Season Update Day")] = "-300";
    edit.boxes[boxOf("Reputation")] = "32767";
    edit.boxes[boxOf("FIFA Coefficient")] = "12.5";
    edit.boxes[boxOf("FIFA Coefficient 96")] = " -0.1275 ";
    edit.boxes[boxOf("UEFA Coefficient 91")] = "1e3";
    edit.boxes[boxOf("UEFA Coefficient 96")] = "0.123456789";
    const EditResult result = apply(i, edit);
    QVERIFY2(result.ok(), qPrintable(result.message));
    QCOMPARE(n.longName(), longName);
    QCOMPARE(n.abbreviation(), abbreviation);
    QCOMPARE(n.clubCount(), clubs);
    QCOMPARE(n.gameImportance(), 255);
    QCOMPARE(n.leagueStandard(), 0);
    QCOMPARE(n.seasonUpdateDay(), -300);
    QCOMPARE(n.reputation(), 32767);
    QCOMPARE(n.fifaCoefficient(), 12.5);
    QCOMPARE(n.fifaCoefficientOfYear(5), -0.1275);
    QCOMPARE(n.uefaCoefficientOfYear(0), 1000.0);
    QCOMPARE(n.uefaCoefficientOfYear(5), 0.123456789);

    const NationEdit shown = load(i);
    QCOMPARE(shown.boxes[boxOf("FIFA Coefficient")], QStringLiteral("12.5"));
    QCOMPARE(shown.boxes[boxOf("UEFA Coefficient 91")], QStringLiteral("1000"));
    QCOMPARE(shown.boxes[boxOf("UEFA Coefficient 96")], QStringLiteral("0.1234568"));
    QCOMPARE(shown.longName, longName);
}

void tst_NationEdit::refusedEditChangesNothing_data()
{
    QTest::addColumn<int>("box");
    QTest::addColumn<QString>("typed");
    QTest::addColumn<QString>("message");
    QTest::newRow("no integer") << boxOf("Game Importance") << "high"
                                << "'high' is not a valid integer value";
    QTest::newRow("byte") << boxOf("League Standard") << "256"
                          << "'256' cannot be stored as League Standard: it must be between 0 "
                             "and 255.";
    QTest::newRow("i16") << boxOf("Reputation") << "-32769"
                         << "'-32769' cannot be stored as Reputation: it must be between -32768 "
                            "and 32767.";
    QTest::newRow("comma") << boxOf("FIFA Coefficient") << "12,5"
                           << "'12,5' is not a valid floating point value";
    QTest::newRow("words") << boxOf("UEFA Coefficient 96") << "lots"
                           << "'lots' is not a valid floating point value";
    QTest::newRow("too big") << boxOf("FIFA Coefficient 91") << "1e999"
                             << "'1e999' is not a valid floating point value";
    QTest::newRow("nan") << boxOf("FIFA Coefficient 92") << "nan"
                         << "'nan' is not a valid floating point value";
}

// A refused edit names the first bad box and changes no byte and no flag,
// though every list was changed too.
void tst_NationEdit::refusedEditChangesNothing()
{
    QFETCH(int, box);
    QFETCH(QString, typed);
    QFETCH(QString, message);
    NationEdit edit = load(0);
    edit.continentItem = edit.continentItem == 1 ? 2 : 1;
    edit.capitalCityItem = 0;
    edit.rivalItems = {2, 3, 0};
    edit.kitColourItems.fill(4);
    edit.boxes[box] = typed;
    if (box + 1 < int(NationBoxCount))
        edit.boxes[box + 1] = QStringLiteral("bad too");
    const QByteArray before = mDb->image(DataFile::Nation).bytes();
    const EditResult result = apply(0, edit);
    QVERIFY(!result.ok());
    QCOMPARE(result.message, message);
    QCOMPARE(result.box, box);
    QCOMPARE(mDb->image(DataFile::Nation).bytes(), before);
    QVERIFY(!mDb->isModified());
    QVERIFY(!applyNationEdit(*mDb, mLookups, nationCount(*mDb), load(0)).ok());
}

QTEST_GUILESS_MAIN(tst_NationEdit)
#include "tst_NationEdit.moc"
