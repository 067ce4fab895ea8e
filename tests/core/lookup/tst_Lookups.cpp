#include "core/db/Database.h"
#include "core/layout/CityRecord.h"
#include "core/layout/ClubRecord.h"
#include "core/layout/CompetitionRecord.h"
#include "core/layout/NationRecord.h"
#include "core/layout/PersonRecord.h"
#include "core/layout/StadiumRecord.h"
#include "core/lookup/Lookups.h"

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
    void namesStayInsideTheirImage();
    void recount_data();
    void recount();
    void clubNameList();
    void clubNameListIgnoringCase();
    void buildsEveryList();
};

void tst_Lookups::namesStayInsideTheirImage()
{
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

    const struct
    {
        QByteArray (*name)(const Database &, int);
        int count;
        QByteArray last;
    } kinds[] = {{NationName, 2, "N1"},
                 {CompetitionName, 2, "Cup 1"},
                 {CityName, 2, "Town 1"},
                 {ClubLongName, 4, "Club 3"},
                 {ClubShortName, 4, "C3"}};
    for (const auto &k : kinds) {
        QCOMPARE(k.name(db, k.count - 1), k.last);
        QCOMPARE(k.name(db, k.count), QByteArray());
        QCOMPARE(k.name(db, -1), QByteArray());
    }

    // A name filling its field ends with the field, whatever follows it.
    club(db, 0)->setLongName(QByteArray(51, 'L'));
    club(db, 0)->setShortName(QByteArray(26, 'S'));
    QCOMPARE(quint8(db.clubs().bytes().at(4 + 51)), quint8(0xFF));
    QCOMPARE(quint8(db.clubs().bytes().at(56 + 26)), quint8(0xFF));
    QCOMPARE(ClubLongName(db, 0), QByteArray(51, 'L'));
    QCOMPARE(ClubShortName(db, 0), QByteArray(26, 'S'));
    db.image(DataFile::City).fill(4, 52, 'T');
    QCOMPARE(CityName(db, 0), QByteArray(26, 'T'));
    db.image(DataFile::Nation).fill(4, 60, 'n');
    QCOMPARE(NationName(db, 0), QByteArray(51, 'n'));
}

void tst_Lookups::recount_data()
{
    QTest::addColumn<bool>("clubs");
    QTest::addColumn<int>("nation");
    QTest::addColumn<QList<int>>("expected");
    // Persons: only the N of the table of contents count, not the attribute
    // records staff.dat goes on with.
    QTest::newRow("persons of nation 1") << false << 1 << QList<int>{77, 2, 77};
    QTest::newRow("persons: nobody") << false << 2 << QList<int>{77, 77, 0};
    QTest::newRow("persons: negative") << false << -1 << QList<int>{77, 77, 77};
    QTest::newRow("persons: past nation.dat") << false << 3 << QList<int>{77, 77, 77};
    // Clubs: national teams and their under-21 teams never count.
    QTest::newRow("clubs of nation 2") << true << 2 << QList<int>{77, 77, 2};
    QTest::newRow("clubs: only national teams") << true << 0 << QList<int>{0, 77, 77};
    QTest::newRow("clubs: negative") << true << -2 << QList<int>{77, 77, 77};
    QTest::newRow("clubs: past nation.dat") << true << 3 << QList<int>{77, 77, 77};
}

void tst_Lookups::recount()
{
    QFETCH(bool, clubs);
    QFETCH(int, nation);
    QFETCH(QList<int>, expected);
    Database db;
    setNations(db);
    setPersonNations(db, {1, 0, -2, 1, 3, -1, 1});
    db.counters().persons = 4;
    // Clubs 0-3, then national teams of nations 0, 1, 2 and their under-21 teams.
    setClubs(db, 4, 6, {2, 1, 2, -2, 0, 1, 2, 0, 1, 2});
    const QByteArray staff = db.image(DataFile::Staff).bytes();
    const QByteArray before = db.image(DataFile::Nation).bytes();
    if (clubs)
        RecountNationClubs(db, nation);
    else
        RecountNationPersons(db, nation);
    QList<int> got;
    for (int i = 0; i < 3; ++i) {
        got.append(clubs ? kx3::nation(db, i)->clubCount() : kx3::nation(db, i)->personCount());
        // The other count stays.
        QCOMPARE(clubs ? kx3::nation(db, i)->personCount() : kx3::nation(db, i)->clubCount(), 77);
    }
    QCOMPARE(got, expected);
    QCOMPARE(db.image(DataFile::Staff).bytes(), staff);
    if (expected == QList<int>{77, 77, 77})
        QCOMPARE(db.image(DataFile::Nation).bytes(), before);
}

void tst_Lookups::clubNameList()
{
    Database db;
    setClubs(db, 3, 2, {});
    club(db, 2)->setShortName("C0");
    ClubNameList list = ClubNameList::fromDatabase(db);
    QCOMPARE(list.names(), (QList<QByteArray>{"C0", "C1", "C0"}));
    QCOMPARE(list.get(3), QByteArray());
    QCOMPARE(list.indexOf("C0"), 0);
    QCOMPARE(list.indexOf("c0"), -1);
    QVERIFY(list.set(0, "Rovers"));
    QVERIFY(!list.set(3, "Nowhere"));
    QCOMPARE(list.indexOf("C0"), 2);
    list.append(QByteArray(30, 'x'));
    QCOMPARE(list.get(3), QByteArray(26, 'x'));
    QCOMPARE(list.indexOf(QByteArray(26, 'x')), 3);
}

void tst_Lookups::clubNameListIgnoringCase()
{
    const ClubNameList list(
        {"Rovers", "Athletic", "ATHLETIC", "M\xE1laga", "\x9Aibenik", "Stra\xDF\x65", "a\xF7"});
    QCOMPARE(list.indexOfIgnoringCase("ATHLETIC"), 1); // the first of two
    // Windows-1252 letters fold too: A acute, S caron.
    QCOMPARE(list.indexOfIgnoringCase("M\xC1LAGA"), 3);
    QCOMPARE(list.indexOfIgnoringCase("\x8AIBENIK"), 4);
    QCOMPARE(list.indexOfIgnoringCase("Athleti"), -1);
    // No expansion of sharp s, and the divide sign is no letter of the times sign.
    QCOMPARE(list.indexOfIgnoringCase("STRASSE"), -1);
    QCOMPARE(list.indexOfIgnoringCase("A\xD7"), -1);
}

void tst_Lookups::buildsEveryList()
{
    Database db;
    QCOMPARE(nationItems(db), QList<QByteArray>{"<none>"});
    QCOMPARE(competitionItems(db), QList<QByteArray>{"<none>"});
    setNations(db);
    nation(db, 1)->setLongName("");
    setRecords(db, DataFile::ClubComp, RecordSize::Competition, 2);
    competition(db, 0)->setName("Premier");
    competition(db, 1)->setName("Albion Cup");
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
    // Choices in file order, pick lists sorted.
    QCOMPARE(lists.competitions(), (QList<QByteArray>{"<none>", "Premier", "Albion Cup"}));
    QCOMPARE(lists.nations(), (QList<QByteArray>{"<none>", "N0", "", "N2"}));
    QCOMPARE(lists.stadiums().entries(),
             (QList<QByteArray>{"abbey|1|", "Meadow|2|", "Northgate|0|"}));
    QCOMPARE(lists.cities().items(), (QList<QByteArray>{"<none>", "Bath", "York"}));
    QCOMPARE(lists.stadiums().locale(), English);
    QCOMPARE(lists.clubNames().names(), (QList<QByteArray>{"C0", "C1"}));

    // A second build replaces the lists rather than adding to them.
    lists.build(db, English);
    QCOMPARE(lists.stadiums().size(), 3);
    QCOMPARE(lists.clubNames().size(), 2);
}

QTEST_GUILESS_MAIN(tst_Lookups)
#include "tst_Lookups.moc"
