#include "clubs/ClubRecord.h"
#include "db/Database.h"
#include "db/NameEntry.h"
#include "db/Search.h"
#include "nations/NationRecord.h"
#include "people/PersonRecord.h"
#include "world/CityRecord.h"
#include "world/OfficialRecord.h"
#include "world/StadiumRecord.h"

#include <QTest>

#include <functional>
#include <limits>

using namespace kx3;

namespace {

using SearchFn = std::function<SearchRows(const Database &, const QByteArray &, bool)>;

qsizetype appendRecord(DataImage &image, int size)
{
    const qsizetype offset = image.size();
    image.append(QByteArray(size, '\0'));
    return offset;
}

std::int32_t addName(Database &db, DataFile table, const QByteArray &text)
{
    DataImage &image = db.image(table);
    const qsizetype offset = appendRecord(image, RecordSize::NameEntry);
    image.write(offset, text);
    return std::int32_t(offset / RecordSize::NameEntry);
}

void addPersonByIndex(Database &db, std::int32_t first, std::int32_t second, std::int32_t common,
                      int classification)
{
    DataImage &staff = db.image(DataFile::Staff);
    PersonRecord p(&staff, appendRecord(staff, RecordSize::Person));
    p.setFirstName(first);
    p.setSecondName(second);
    p.setCommonName(common);
    p.setClassification(classification);
    ++db.counters().persons;
}

void addPerson(Database &db, const QByteArray &first, const QByteArray &second,
               const QByteArray &common, int classification)
{
    addPersonByIndex(db, addName(db, DataFile::FirstNames, first),
                     addName(db, DataFile::SecondNames, second),
                     addName(db, DataFile::CommonNames, common), classification);
}

qsizetype addNation(Database &db, const QByteArray &longName, const QByteArray &shortName)
{
    DataImage &image = db.image(DataFile::Nation);
    NationRecord n(&image, appendRecord(image, RecordSize::Nation));
    n.setLongName(longName);
    n.setShortName(shortName);
    return n.offset();
}

qsizetype addClub(Database &db, DataFile file, const QByteArray &longName,
                  const QByteArray &shortName, std::int32_t nation)
{
    DataImage &image = db.image(file);
    ClubRecord c(&image, appendRecord(image, RecordSize::Club));
    c.setLongName(longName);
    c.setShortName(shortName);
    c.setNation(nation);
    return c.offset();
}

/// The load joins clubs and national teams into one image; so do the fixtures.
void joinClubs(Database &db)
{
    db.clubs().setBytes(db.image(DataFile::Club).bytes() + db.image(DataFile::NatClub).bytes());
}

void addCity(Database &db, const QByteArray &name, std::int32_t nation)
{
    DataImage &image = db.image(DataFile::City);
    CityRecord c(&image, appendRecord(image, RecordSize::City));
    c.setName(name);
    c.setNation(nation);
}

void addStadium(Database &db, const QByteArray &name, std::int32_t city)
{
    DataImage &image = db.image(DataFile::Stadium);
    StadiumRecord s(&image, appendRecord(image, RecordSize::Stadium));
    s.setName(name);
    s.setCity(city);
}

void addOfficialByIndex(Database &db, std::int32_t first, std::int32_t second, std::int32_t nation)
{
    DataImage &image = db.image(DataFile::Officials);
    OfficialRecord o(&image, appendRecord(image, RecordSize::Official));
    o.setFirstName(first);
    o.setSecondName(second);
    o.setNation(nation);
}

void addOfficial(Database &db, const QByteArray &first, const QByteArray &second,
                 std::int32_t nation)
{
    addOfficialByIndex(db, addName(db, DataFile::FirstNames, first),
                       addName(db, DataFile::SecondNames, second), nation);
}

const QByteArray LongNation = "ABCDEFGHIJKLMNOPQRSTUVWXYZ0123456789";

/// One small world holding every case the searches must tell apart.
void buildWorld(Database &db)
{
    addNation(db, "England", "England"); // 0
    addNation(db, "Brazil", "Brazil");   // 1
    addNation(db, "Italy", "Italia");    // 2
    addNation(db, LongNation, "Long");   // 3
    // 4: bytes after the long name's terminator, a short name filling its
    // whole field and an abbreviation just past the searched bytes.
    const qsizetype wales = addNation(db, "Wales", {});
    DataImage &nations = db.image(DataFile::Nation);
    nations.write(wales + 4 + 6, "XQJ");
    nations.write(wales + 56, "ABCDEFGHIJKLMNOPQRSTUVWXYZQ");
    nations.write(wales + 83, "!!!");
    addNation(db, "\xD6sterreich", "\xD6sterreich"); // 5

    addPerson(db, "Donald", "Smith", "", 2);
    addPerson(db, "John", "ALDRIDGE", "", 4);
    addPerson(db, "Jose", "Silva", "Aldair", 3);
    addPerson(db, "Andr\xE9", "\xD6zil", "", 2);
    addPerson(db, "Harald", "Nobody", "", 0);
    addPerson(db, "Reginald", "Coach", "", 1);
    addPersonByIndex(db, 999, -5, 12345, 2);
    addPerson(db, "Oswald", "Unknown", "", 200);

    addClub(db, DataFile::Club, "Arsenal FC", "Arsenal", 0); // 0
    const qsizetype santos = addClub(db, DataFile::Club, "Santos FC", "Santos", 1);
    DataImage &clubs = db.image(DataFile::Club);
    clubs.write(santos + 4 + 10, "JQX");
    clubs.write(santos + 56 + 7, QByteArray(19, 'Q'));
    addClub(db, DataFile::Club, "Newport County", "Newport", -1);
    addClub(db, DataFile::Club, "Lost Rovers", "Lost", -2);
    addClub(db, DataFile::Club, "Far Town", "Far", 99);
    addClub(db, DataFile::Club, "Full Short", "ABCDEFGHIJKLMNOPQRSTUVWXYZ", 3);
    addClub(db, DataFile::Club, "Almost Full", "abcdefghijklmnopqrstuvwxy", 3);
    addClub(db, DataFile::NatClub, "England", "England", 0); // 7
    addClub(db, DataFile::NatClub, "Brazil", "Brazil", 1);
    addClub(db, DataFile::NatClub, "England", "England", 0); // 9: under-21
    addClub(db, DataFile::NatClub, "Brazil", "Brazil", 1);
    joinClubs(db);

    addCity(db, "London", 0);
    addCity(db, "Llanfairpwllgwyngyll", 0);
    addCity(db, "Nowhere", -1);
    addCity(db, QByteArray(24, 'Y'), -5);
    addCity(db, "Bbbbbbbbbbbbbbbbbbbbbbbxyz", 0);
    addCity(db, "K\xF6ln", 99);
    addCity(db, "Rome", 2);

    addStadium(db, "Wembley", 0);
    addStadium(db, "Highbury", 1);
    addStadium(db, "Olimpico", 6);
    addStadium(db, "The Very Long Stadium Name With Light", 0);
    addStadium(db, "Nowhere Park", -2);
    addStadium(db, "Ghost Ground", 77);
    addStadium(db, "Windy Park", 2);

    addOfficial(db, "Pierluigi", "Collina", 2);
    addOfficial(db, "Howard", "Webb", -1);
    addOfficial(db, "Mark", "Clattenburg", -2);
    addOfficialByIndex(db, 999, -1, 99);
}

QList<int> indices(const SearchRows &rows, int recordSize)
{
    QList<int> result;
    for (const SearchRow &row : rows) {
        result.append(row.offset % recordSize == 0 ? int(row.offset / recordSize) : -1);
    }
    return result;
}

QList<QByteArray> names(const SearchRows &rows)
{
    QList<QByteArray> result;
    for (const SearchRow &row : rows)
        result.append(row.name);
    return result;
}

enum Kind
{
    Players,
    Staff,
    Clubs,
    Officials,
    Nations,
    Cities,
    Stadiums
};

struct KindInfo
{
    SearchFn search;
    int recordSize;
};

KindInfo info(Kind kind)
{
    static const KindInfo table[] = {
        {searchPlayers, RecordSize::Person},   {searchStaff, RecordSize::Person},
        {searchClubs, RecordSize::Club},       {searchOfficials, RecordSize::Official},
        {searchNations, RecordSize::Nation},   {searchCities, RecordSize::City},
        {searchStadiums, RecordSize::Stadium},
    };
    return table[kind];
}

SearchFn searchOf(Kind kind)
{
    return info(kind).search;
}

int recordSizeOf(Kind kind)
{
    return info(kind).recordSize;
}

void addRow(const char *name, Kind kind, const QByteArray &text, bool caseSensitive,
            const QList<int> &expected)
{
    QTest::newRow(name) << kind << text << caseSensitive << expected;
}

} // namespace

Q_DECLARE_METATYPE(Kind)

class tst_Search : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void finds_data();
    void finds();
    void shownNames_data();
    void shownNames();
    void under21FromTheMiddleOfTheTeams_data();
    void under21FromTheMiddleOfTheTeams();
    void emptyTextFindsNothing();
    void damagedTablesAreReadSafely();
};

void tst_Search::finds_data()
{
    QTest::addColumn<Kind>("kind");
    QTest::addColumn<QByteArray>("text");
    QTest::addColumn<bool>("caseSensitive");
    QTest::addColumn<QList<int>>("expected");

    // Persons: 0 Donald Smith, 1 John ALDRIDGE, 2 Jose Silva "Aldair" (class 3),
    // 3 André Özil, 4 Harald (class 0), 5 Reginald (class 1), 6 dangling
    // name indices, 7 Oswald (class 200).
    addRow("player ald, any case", Players, "ald", false, {0, 1, 2});
    addRow("player ald, exact case", Players, "ald", true, {0});
    addRow("player ALD, exact case", Players, "ALD", true, {1});
    addRow("player Ald in common name", Players, "Ald", true, {2});
    addRow("staff ald: classes 1 and 3", Staff, "ald", false, {2, 5});
    addRow("staff ald, exact case", Staff, "ald", true, {5});
    addRow("first into second name", Players, "ld sm", false, {0});
    addRow("names joined by one blank", Players, "ld  sm", false, {});
    addRow("second into common name", Players, "silva ald", false, {2});
    addRow("blank before empty common", Players, "smith ", false, {0});
    addRow("e acute as typed", Players, "\xE9", false, {3});
    addRow("E acute is not folded to", Players, "\xC9", false, {});
    addRow("O umlaut exact", Players, "\xD6", true, {3});
    addRow("o umlaut never folds", Players, "\xF6", false, {});
    addRow("a-z folded around accents", Players, "ANDR\xE9 \xD6ZIL", false, {3});
    addRow("dangling indices read empty", Players, "  ", false, {6});
    addRow("dangling indices, staff", Staff, "  ", false, {});
    addRow("class 0 player", Players, "harald", false, {});
    addRow("class 0 staff", Staff, "harald", false, {});
    addRow("class 200 player", Players, "oswald", false, {});

    // Clubs 0..6, national teams 7..10 (9 and 10 under-21).
    addRow("club long name", Clubs, "arsenal fc", false, {0});
    addRow("club exact case", Clubs, "ARSENAL", true, {});
    addRow("club short name", Clubs, "santos", false, {1});
    addRow("club nation", Clubs, "england", false, {0, 7, 9});
    addRow("after long name terminator", Clubs, "jqx", false, {1});
    addRow("after short name terminator", Clubs, "QQQ", true, {1});
    addRow("nation into raw bytes", Clubs, "brazilq", false, {1});
    addRow("nation -1 is <none>", Clubs, "<none>", false, {2});
    addRow("nation text cut at block end", Clubs, "345", true, {5, 6});
    addRow("one more byte fits", Clubs, "3456", true, {6});
    addRow("past the block end", Clubs, "34567", true, {});

    // Nations 0 England, 1 Brazil, 2 Italy/Italia, 3 long, 4 Wales, 5 Österreich.
    addRow("nation eng", Nations, "eng", false, {0});
    addRow("nation short name", Nations, "italia", false, {2});
    addRow("nation raw bytes", Nations, "xqj", false, {4});
    addRow("nation last searched bytes", Nations, "zq", false, {4});
    addRow("nation past 79 bytes", Nations, "zq!", false, {});
    addRow("abbreviation not searched", Nations, "!!", false, {});
    addRow("nation O umlaut", Nations, "\xD6STERREICH", false, {5});
    addRow("nation o umlaut", Nations, "\xF6sterreich", false, {});

    // Cities: 0 London, 1 Llanfair... (20), 2 Nowhere (-1), 3 24 x Y (-5),
    // 4 26 characters, 5 Köln (nation 99), 6 Rome.
    addRow("city name", Cities, "london", false, {0});
    addRow("city nation", Cities, "england", false, {0, 1});
    addRow("city nation at 25", Cities, "and", false, {0, 1});
    addRow("city nation at 26", Cities, "nd", false, {0});
    addRow("city none", Cities, "none", false, {2});
    addRow("city <none> at 25", Cities, "<none>", false, {2, 3});
    addRow("city 26 characters", Cities, "xyz", false, {4});
    addRow("city accent exact", Cities, "k\xF6ln", false, {5});
    addRow("city accent not folded", Cities, "K\xD6LN", false, {});

    // Stadiums: 0 Wembley (city 0), 1 Highbury (city 1), 2 Olimpico (Rome),
    // 3 long name, 4 no city, 5 city 77, 6 Windy Park (Nowhere).
    addRow("stadium name", Stadiums, "wembley", false, {0});
    addRow("city 0 name left out", Stadiums, "london", false, {});
    addRow("city 0 nation", Stadiums, "england", false, {0});
    addRow("stadium city", Stadiums, "rome", false, {2});
    addRow("stadium city nation", Stadiums, "italy", false, {2});
    addRow("stadium city at 25", Stadiums, "gyll", false, {1});
    addRow("stadium name from 27 on", Stadiums, "light", false, {});
    addRow("stadium city's <none>", Stadiums, "<none>", false, {6});
    addRow("stadium dangling city", Stadiums, "ghost", false, {5});

    // Officials: 0 Collina (Italy), 1 Webb (-1), 2 Clattenburg (-2), 3 dangling.
    addRow("official any case", Officials, "collina", false, {0});
    addRow("official exact case miss", Officials, "collina", true, {});
    addRow("official exact case", Officials, "Collina", true, {0});
    addRow("surname into nation", Officials, "naIta", true, {0});
    addRow("surname into nation, folded", Officials, "LINAITAL", false, {0});
    addRow("official any negative nation", Officials, "<none>", false, {1, 2});
    addRow("official blank", Officials, " ", false, {0, 1, 2, 3});
}

void tst_Search::finds()
{
    QFETCH(Kind, kind);
    QFETCH(QByteArray, text);
    QFETCH(bool, caseSensitive);
    QFETCH(QList<int>, expected);

    Database db;
    buildWorld(db);
    const QByteArray before = db.clubs().bytes();
    QCOMPARE(indices(searchOf(kind)(db, text, caseSensitive), recordSizeOf(kind)), expected);
    QCOMPARE(db.clubs().bytes(), before);
}

void tst_Search::shownNames_data()
{
    QTest::addColumn<Kind>("kind");
    QTest::addColumn<QByteArray>("text");
    QTest::addColumn<QList<QByteArray>>("expected");

    QTest::newRow("players: no common name")
        << Players << QByteArray(" ")
        << QList<QByteArray>{"Donald Smith", "John ALDRIDGE", "Jose Silva", "Andr\xE9 \xD6zil",
                             " "};
    QTest::newRow("clubs: long name, (U21) in the second half")
        << Clubs << QByteArray("england")
        << QList<QByteArray>{"Arsenal FC", "England", "England (U21)"};
    QTest::newRow("nations: long name")
        << Nations << QByteArray("xqj") << QList<QByteArray>{"Wales"};
    QTest::newRow("cities: 26 characters")
        << Cities << QByteArray("xyz") << QList<QByteArray>{"Bbbbbbbbbbbbbbbbbbbbbbbxyz"};
    QTest::newRow("stadiums: name alone")
        << Stadiums << QByteArray("italy") << QList<QByteArray>{"Olimpico"};
    QTest::newRow("officials: no nation")
        << Officials << QByteArray("linaital") << QList<QByteArray>{"Pierluigi Collina"};
}

void tst_Search::shownNames()
{
    QFETCH(Kind, kind);
    QFETCH(QByteArray, text);
    QFETCH(QList<QByteArray>, expected);

    Database db;
    buildWorld(db);
    QCOMPARE(names(searchOf(kind)(db, text, false)), expected);
}

void tst_Search::under21FromTheMiddleOfTheTeams_data()
{
    QTest::addColumn<int>("teams");
    QTest::addColumn<QList<bool>>("under21");

    // The boundary is half of nat_club.Dat's bytes, not half of its records.
    QTest::newRow("one team") << 1 << QList<bool>{false};
    QTest::newRow("three teams") << 3 << QList<bool>{false, false, true};
    QTest::newRow("four teams") << 4 << QList<bool>{false, false, true, true};
    QTest::newRow("five teams") << 5 << QList<bool>{false, false, false, true, true};
}

void tst_Search::under21FromTheMiddleOfTheTeams()
{
    QFETCH(int, teams);
    QFETCH(QList<bool>, under21);

    Database db;
    addClub(db, DataFile::Club, "Club", "Club", -1);
    addClub(db, DataFile::Club, "Club", "Club", -1);
    for (int i = 0; i < teams; ++i)
        addClub(db, DataFile::NatClub, "Team", "Team", -1);
    joinClubs(db);

    const SearchRows rows = searchClubs(db, "team", false);
    QCOMPARE(qsizetype(rows.size()), under21.size());
    for (int i = 0; i < teams; ++i) {
        QCOMPARE(rows[i].offset, qint64(2 + i) * RecordSize::Club);
        QCOMPARE(rows[i].name, under21[i] ? QByteArray("Team (U21)") : QByteArray("Team"));
    }
}

void tst_Search::emptyTextFindsNothing()
{
    Database db;
    buildWorld(db);
    for (Kind kind : {Players, Staff, Clubs, Officials, Nations, Cities, Stadiums}) {
        QVERIFY(searchOf(kind)(db, QByteArray(), false).empty());
        QVERIFY(searchOf(kind)(db, QByteArray(), true).empty());
    }
}

void tst_Search::damagedTablesAreReadSafely()
{
    // Partial records at the end of every table and a person count beyond
    // staff.dat: only whole records are read, and a name index pointing at
    // the partial name entry reads as empty. (club.Dat itself keeps its size:
    // it places the under-21 boundary.)
    Database clean;
    buildWorld(clean);
    Database damaged;
    buildWorld(damaged);
    const QByteArray junk(37, 'a');
    for (DataFile file :
         {DataFile::FirstNames, DataFile::SecondNames, DataFile::CommonNames, DataFile::Staff,
          DataFile::Nation, DataFile::City, DataFile::Stadium, DataFile::Officials}) {
        damaged.image(file).append(junk);
    }
    damaged.clubs().append(junk);
    damaged.counters().persons = 1000000;
    const auto count = [&](DataFile file) {
        return std::int32_t(clean.image(file).recordCount(RecordSize::NameEntry));
    };
    for (Database *db : {&clean, &damaged}) {
        DataImage &staff = db->image(DataFile::Staff);
        PersonRecord(&staff, 6 * RecordSize::Person).setFirstName(count(DataFile::FirstNames));
        PersonRecord(&staff, 6 * RecordSize::Person)
            .setCommonName(std::numeric_limits<std::int32_t>::min());
    }

    for (Kind kind : {Players, Staff, Clubs, Officials, Nations, Cities, Stadiums}) {
        for (const QByteArray &text : {QByteArray(" "), QByteArray("a"), QByteArray("<")}) {
            const SearchRows expected = searchOf(kind)(clean, text, false);
            const SearchRows found = searchOf(kind)(damaged, text, false);
            QCOMPARE(names(found), names(expected));
            QCOMPARE(indices(found, recordSizeOf(kind)), indices(expected, recordSizeOf(kind)));
        }
    }

    damaged.counters().persons = -3;
    QVERIFY(searchPlayers(damaged, " ", false).empty());
}

QTEST_GUILESS_MAIN(tst_Search)
#include "tst_Search.moc"
