#include "clubs/ClubRecord.h"
#include "db/Database.h"
#include "db/Lookups.h"
#include "nations/NationRecord.h"
#include "people/PersonRecord.h"
#include "world/CityRecord.h"
#include "world/CompetitionRecord.h"
#include "world/StadiumRecord.h"

#include <QTest>

using namespace kx3;

namespace {

const QLocale English(QLocale::English, QLocale::UnitedStates);

void setRecords(Database &db, DataFile file, int size, int count)
{
    db.image(file).setBytes(QByteArray(count * size, '\0'));
}

/// `clubs` clubs and `teams` national teams, each with its nation in `nations`
/// (clubs first) and short name "C<i>".
void setClubs(Database &db, int clubs, int teams, const QList<int> &nations)
{
    setRecords(db, DataFile::Club, RecordSize::Club, clubs);
    setRecords(db, DataFile::NatClub, RecordSize::Club, teams);
    db.clubs().setBytes(db.image(DataFile::Club).bytes() + db.image(DataFile::NatClub).bytes());
    for (int i = 0; i < clubs + teams; ++i) {
        auto c = club(db, i);
        c->setId(i);
        c->setNation(i < nations.size() ? nations[i] : -2);
        c->setShortName("C" + QByteArray::number(i));
        c->setLongName("Club " + QByteArray::number(i));
    }
}

void setPersonNations(Database &db, const QList<int> &nations)
{
    setRecords(db, DataFile::Staff, RecordSize::Person, int(nations.size()));
    db.counters().persons = int(nations.size());
    for (int i = 0; i < nations.size(); ++i)
        person(db, i)->setNationality(nations[i]);
}

/// Three nations named N0..N2 whose counts hold 77.
void setNations(Database &db)
{
    setRecords(db, DataFile::Nation, RecordSize::Nation, 3);
    for (int i = 0; i < 3; ++i) {
        auto n = nation(db, i);
        n->setLongName("N" + QByteArray::number(i));
        n->setPersonCount(77);
        n->setClubCount(77);
    }
}

} // namespace

class tst_Lookups : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void namesOutsideTheirImageAreEmpty_data();
    void namesOutsideTheirImageAreEmpty();
    void namesFillingTheirFieldStopAtItsCapacity();
    void choiceItemsInFileOrder();
    void recountNationPersons_data();
    void recountNationPersons();
    void recountNationClubs_data();
    void recountNationClubs();
    void clubNameList();
    void clubNameListIgnoringCase_data();
    void clubNameListIgnoringCase();
    void buildsEveryList();
};

void tst_Lookups::namesOutsideTheirImageAreEmpty_data()
{
    QTest::addColumn<int>("kind");
    QTest::addColumn<int>("index");
    QTest::addColumn<QByteArray>("expected");
    const char *kinds[] = {"nation", "competition", "city", "club long", "club short"};
    const QByteArray last[] = {"N1", "Cup 1", "Town 1", "Club 3", "C3"};
    for (int k = 0; k < 5; ++k) {
        const int count = k < 3 ? 2 : 4;
        QTest::addRow("%s negative", kinds[k]) << k << -1 << QByteArray();
        QTest::addRow("%s last", kinds[k]) << k << count - 1 << last[k];
        QTest::addRow("%s past the end", kinds[k]) << k << count << QByteArray();
    }
}

void tst_Lookups::namesOutsideTheirImageAreEmpty()
{
    QFETCH(int, kind);
    QFETCH(int, index);
    QFETCH(QByteArray, expected);
    Database db;
    setRecords(db, DataFile::Nation, RecordSize::Nation, 2);
    setRecords(db, DataFile::ClubComp, RecordSize::Competition, 2);
    setRecords(db, DataFile::City, RecordSize::City, 2);
    for (int i = 0; i < 2; ++i) {
        nation(db, i)->setLongName("N" + QByteArray::number(i));
        competition(db, i)->setName("Cup " + QByteArray::number(i));
        city(db, i)->setName("Town " + QByteArray::number(i));
    }
    // Index 3 is a national team: club names cover the whole combined image.
    setClubs(db, 2, 2, {});
    // Half a record more is no record.
    db.image(DataFile::Nation).append(QByteArray(100, 'x'));
    db.clubs().append(QByteArray(300, 'x'));

    QByteArray got;
    switch (kind) {
    case 0:
        got = NationName(db, index);
        break;
    case 1:
        got = CompetitionName(db, index);
        break;
    case 2:
        got = CityName(db, index);
        break;
    case 3:
        got = ClubLongName(db, index);
        break;
    default:
        got = ClubShortName(db, index);
        break;
    }
    QCOMPARE(got, expected);
}

void tst_Lookups::namesFillingTheirFieldStopAtItsCapacity()
{
    Database db;
    setClubs(db, 1, 0, {});
    const QByteArray longName(51, 'L');
    const QByteArray shortName(26, 'S');
    club(db, 0)->setLongName(longName);
    club(db, 0)->setShortName(shortName);
    QCOMPARE(quint8(db.clubs().bytes().at(4 + 51)), quint8(0xFF));
    QCOMPARE(quint8(db.clubs().bytes().at(56 + 26)), quint8(0xFF));
    QCOMPARE(ClubLongName(db, 0), longName);
    QCOMPARE(ClubShortName(db, 0), shortName);

    setRecords(db, DataFile::City, RecordSize::City, 1);
    // No zero anywhere in the city's text field or behind it.
    db.image(DataFile::City).fill(4, 52, 'T');
    QCOMPARE(CityName(db, 0), QByteArray(26, 'T'));

    setRecords(db, DataFile::Nation, RecordSize::Nation, 1);
    db.image(DataFile::Nation).fill(4, 60, 'n');
    QCOMPARE(NationName(db, 0), QByteArray(51, 'n'));
}

void tst_Lookups::choiceItemsInFileOrder()
{
    Database db;
    QCOMPARE(nationItems(db), QList<QByteArray>{"<none>"});
    QCOMPARE(competitionItems(db), QList<QByteArray>{"<none>"});
    setNations(db);
    nation(db, 1)->setLongName("");
    setRecords(db, DataFile::ClubComp, RecordSize::Competition, 2);
    competition(db, 0)->setName("Premier");
    competition(db, 1)->setName("Albion Cup");
    QCOMPARE(nationItems(db), (QList<QByteArray>{"<none>", "N0", "", "N2"}));
    QCOMPARE(competitionItems(db), (QList<QByteArray>{"<none>", "Premier", "Albion Cup"}));
}

void tst_Lookups::recountNationPersons_data()
{
    QTest::addColumn<int>("nation");
    QTest::addColumn<QList<int>>("expected");
    QTest::newRow("nation 1") << 1 << QList<int>{77, 2, 77};
    QTest::newRow("nation 0") << 0 << QList<int>{1, 77, 77};
    QTest::newRow("nobody") << 2 << QList<int>{77, 77, 0};
    QTest::newRow("negative") << -1 << QList<int>{77, 77, 77};
    QTest::newRow("none") << -2 << QList<int>{77, 77, 77};
    QTest::newRow("past nation.dat") << 3 << QList<int>{77, 77, 77};
}

void tst_Lookups::recountNationPersons()
{
    QFETCH(int, nation);
    QFETCH(QList<int>, expected);
    Database db;
    setNations(db);
    setPersonNations(db, {1, 0, -2, 1, 3, -1, 1});
    // Only the N persons of the table of contents count; staff.dat goes on
    // with attribute records.
    db.counters().persons = 4;
    const QByteArray staff = db.image(DataFile::Staff).bytes();
    const QByteArray before = db.image(DataFile::Nation).bytes();
    RecountNationPersons(db, nation);
    QList<int> got;
    for (int i = 0; i < 3; ++i) {
        got.append(kx3::nation(db, i)->personCount());
        QCOMPARE(kx3::nation(db, i)->clubCount(), 77);
    }
    QCOMPARE(got, expected);
    QCOMPARE(db.image(DataFile::Staff).bytes(), staff);
    if (expected == QList<int>{77, 77, 77})
        QCOMPARE(db.image(DataFile::Nation).bytes(), before);
}

void tst_Lookups::recountNationClubs_data()
{
    QTest::addColumn<int>("nation");
    QTest::addColumn<QList<int>>("expected");
    QTest::newRow("nation 2") << 2 << QList<int>{77, 77, 2};
    QTest::newRow("only national teams") << 0 << QList<int>{0, 77, 77};
    QTest::newRow("negative") << -2 << QList<int>{77, 77, 77};
    QTest::newRow("past nation.dat") << 3 << QList<int>{77, 77, 77};
}

void tst_Lookups::recountNationClubs()
{
    QFETCH(int, nation);
    QFETCH(QList<int>, expected);
    Database db;
    setNations(db);
    // Clubs 0-3, then national teams of nations 0, 1, 2 and their under-21 teams.
    setClubs(db, 4, 6, {2, 1, 2, -2, 0, 1, 2, 0, 1, 2});
    RecountNationClubs(db, nation);
    QList<int> got;
    for (int i = 0; i < 3; ++i) {
        got.append(kx3::nation(db, i)->clubCount());
        QCOMPARE(kx3::nation(db, i)->personCount(), 77);
    }
    QCOMPARE(got, expected);
}

void tst_Lookups::clubNameList()
{
    Database db;
    setClubs(db, 3, 2, {});
    club(db, 2)->setShortName("C0");
    ClubNameList list = ClubNameList::fromDatabase(db);
    QCOMPARE(list.names(), (QList<QByteArray>{"C0", "C1", "C0"}));
    QCOMPARE(list.get(-1), QByteArray());
    QCOMPARE(list.get(3), QByteArray());
    QCOMPARE(list.indexOf("C0"), 0);
    QCOMPARE(list.indexOf("c0"), -1);
    QCOMPARE(list.indexOf("C3"), -1);
    QVERIFY(list.set(0, "Rovers"));
    QVERIFY(!list.set(3, "Nowhere"));
    QCOMPARE(list.indexOf("C0"), 2);
    list.append(QByteArray(30, 'x'));
    QCOMPARE(list.size(), 4);
    QCOMPARE(list.get(3), QByteArray(26, 'x'));
    QCOMPARE(list.indexOf(QByteArray(26, 'x')), 3);
}

void tst_Lookups::clubNameListIgnoringCase_data()
{
    QTest::addColumn<QByteArray>("name");
    QTest::addColumn<int>("expected");
    QTest::newRow("exact") << QByteArray("Athletic") << 1;
    QTest::newRow("first of two ignoring case") << QByteArray("ATHLETIC") << 1;
    QTest::newRow("accented letters") << QByteArray("M\xC1LAGA") << 3;
    QTest::newRow("s caron") << QByteArray("\x8AIBENIK") << 4;
    QTest::newRow("prefix only") << QByteArray("Athleti") << -1;
    QTest::newRow("sharp s is no SS") << QByteArray("STRASSE") << -1;
    QTest::newRow("times is no divide") << QByteArray("A\xD7") << -1;
}

void tst_Lookups::clubNameListIgnoringCase()
{
    QFETCH(QByteArray, name);
    QFETCH(int, expected);
    const ClubNameList list(
        {"Rovers", "Athletic", "ATHLETIC", "M\xE1laga", "\x9Aibenik", "Stra\xDF\x65", "a\xF7"});
    QCOMPARE(list.indexOfIgnoringCase(name), expected);
}

void tst_Lookups::buildsEveryList()
{
    Database db;
    setNations(db);
    setRecords(db, DataFile::ClubComp, RecordSize::Competition, 1);
    competition(db, 0)->setName("League");
    setRecords(db, DataFile::Stadium, RecordSize::Stadium, 3);
    stadium(db, 0)->setName("Northgate");
    stadium(db, 1)->setName("abbey");
    stadium(db, 2)->setName("Meadow");
    setRecords(db, DataFile::City, RecordSize::City, 2);
    city(db, 0)->setName("York");
    city(db, 1)->setName("Bath");
    setClubs(db, 2, 2, {});

    Lookups lists;
    lists.build(db, English);
    QCOMPARE(lists.competitions(), (QList<QByteArray>{"<none>", "League"}));
    QCOMPARE(lists.nations(), (QList<QByteArray>{"<none>", "N0", "N1", "N2"}));
    QCOMPARE(lists.stadiums().entries(),
             (QList<QByteArray>{"abbey|1|", "Meadow|2|", "Northgate|0|"}));
    QCOMPARE(lists.cities().items(), (QList<QByteArray>{"<none>", "Bath", "York"}));
    QCOMPARE(lists.clubNames().names(), (QList<QByteArray>{"C0", "C1"}));
    QCOMPARE(lists.stadiums().locale(), English);

    // A second build replaces the lists rather than adding to them.
    lists.build(db, English);
    QCOMPARE(lists.stadiums().size(), 3);
    QCOMPARE(lists.clubNames().size(), 2);
}

QTEST_GUILESS_MAIN(tst_Lookups)
#include "tst_Lookups.moc"
