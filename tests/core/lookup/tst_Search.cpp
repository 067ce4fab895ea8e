#include "core/db/Database.h"
#include "core/layout/CityRecord.h"
#include "core/layout/ClubRecord.h"
#include "core/layout/NameEntry.h"
#include "core/layout/NationRecord.h"
#include "core/layout/OfficialRecord.h"
#include "core/layout/PersonRecord.h"
#include "core/layout/StadiumRecord.h"
#include "core/lookup/Search.h"

#include <QTest>

#include <limits>

using namespace kx3;

namespace {

template <typename Record>
Record add(Database &db, DataFile file, int size)
{
    DataImage &image = db.image(file);
    image.append(QByteArray(size, '\0'));
    return Record(&image, image.size() - size);
}

std::int32_t addName(Database &db, DataFile table, const QByteArray &text)
{
    auto entry = add<NameEntry>(db, table, RecordSize::NameEntry);
    entry.setText(text);
    return std::int32_t(entry.offset() / RecordSize::NameEntry);
}

PersonRecord addPerson(Database &db, const QByteArray &first, const QByteArray &second,
                       const QByteArray &common, int classification)
{
    auto p = add<PersonRecord>(db, DataFile::Staff, RecordSize::Person);
    p.setFirstName(addName(db, DataFile::FirstNames, first));
    p.setSecondName(addName(db, DataFile::SecondNames, second));
    p.setCommonName(addName(db, DataFile::CommonNames, common));
    p.setClassification(classification);
    ++db.counters().persons;
    return p;
}

qsizetype addClub(Database &db, DataFile file, const QByteArray &name, std::int32_t nation)
{
    auto c = add<ClubRecord>(db, file, RecordSize::Club);
    c.setLongName(name + " FC");
    c.setShortName(name);
    c.setNation(nation);
    return c.offset();
}

/// The combined club image, as the load builds it.
void joinClubs(Database &db)
{
    db.clubs().setBytes(db.image(DataFile::Club).bytes() + db.image(DataFile::NatClub).bytes());
}

/// One small world holding every case the searches must tell apart.
void buildWorld(Database &db)
{
    const auto nation = [&](const QByteArray &longName, const QByteArray &shortName) {
        auto n = add<NationRecord>(db, DataFile::Nation, RecordSize::Nation);
        n.setLongName(longName);
        n.setShortName(shortName);
        return n.offset();
    };
    nation("England", "England");
    nation("Brazil", "Brazil");
    nation("Italy", "Italia");
    nation("ABCDEFGHIJKLMNOPQRSTUVWXYZ0123456789", "Long");
    // 4: bytes after the long name's terminator, a short name filling its
    // whole field and an abbreviation just past the searched bytes.
    const qsizetype wales = nation("Wales", {});
    DataImage &nations = db.image(DataFile::Nation);
    nations.write(wales + 4 + 6, "XQJ");
    nations.write(wales + 56, "ABCDEFGHIJKLMNOPQRSTUVWXYZQ");
    nations.write(wales + 83, "!!!");

    addPerson(db, "Donald", "Smith", "", 2);
    addPerson(db, "John", "ALDRIDGE", "", 4);
    addPerson(db, "Jose", "Silva", "Aldair", 3);
    addPerson(db, "Andr\xE9", "\xD6zil", "", 2);
    addPerson(db, "Harald", "Nobody", "", 0);
    addPerson(db, "Reginald", "Coach", "", 1);
    PersonRecord dangling = addPerson(db, "", "", "", 2);
    dangling.setFirstName(999);
    dangling.setSecondName(-5);
    dangling.setCommonName(12345);
    addPerson(db, "Oswald", "Unknown", "", 200);

    addClub(db, DataFile::Club, "Arsenal", 0);
    const qsizetype santos = addClub(db, DataFile::Club, "Santos", 1);
    db.image(DataFile::Club).write(santos + 4 + 10, "JQX");
    db.image(DataFile::Club).write(santos + 56 + 7, QByteArray(19, 'Q'));
    addClub(db, DataFile::Club, "Newport", -1);
    addClub(db, DataFile::Club, "Lost", -2);
    addClub(db, DataFile::Club, "Far", 99);
    addClub(db, DataFile::Club, "ABCDEFGHIJKLMNOPQRSTUVWXYZ", 3);
    addClub(db, DataFile::Club, "abcdefghijklmnopqrstuvwxy", 3);
    for (int i = 0; i < 4; ++i) // 7 and 8, then their under-21 teams 9 and 10
        addClub(db, DataFile::NatClub, i % 2 ? "Brazil" : "England", i % 2);
    joinClubs(db);

    const std::pair<QByteArray, std::int32_t> cities[] = {{"London", 0},
                                                          {"Llanfairpwllgwyngyll", 0},
                                                          {"Nowhere", -1},
                                                          {QByteArray(24, 'Y'), -5},
                                                          {"Bbbbbbbbbbbbbbbbbbbbbbbxyz", 0},
                                                          {"K\xF6ln", 99},
                                                          {"Rome", 2}};
    for (const auto &[name, nation] : cities) {
        auto c = add<CityRecord>(db, DataFile::City, RecordSize::City);
        c.setName(name);
        c.setNation(nation);
    }
    const std::pair<QByteArray, std::int32_t> stadiums[] = {
        {"Wembley", 0},       {"Highbury", 1},
        {"Olimpico", 6},      {"The Very Long Stadium Name With Light", 0},
        {"Nowhere Park", -2}, {"Ghost Ground", 77},
        {"Windy Park", 2}};
    for (const auto &[name, city] : stadiums) {
        auto s = add<StadiumRecord>(db, DataFile::Stadium, RecordSize::Stadium);
        s.setName(name);
        s.setCity(city);
    }
    const std::tuple<QByteArray, QByteArray, std::int32_t> officials[] = {
        {"Pierluigi", "Collina", 2}, {"Howard", "Webb", -1}, {"Mark", "Clattenburg", -2}};
    for (const auto &[first, second, nation] : officials) {
        auto o = add<OfficialRecord>(db, DataFile::Officials, RecordSize::Official);
        o.setFirstName(addName(db, DataFile::FirstNames, first));
        o.setSecondName(addName(db, DataFile::SecondNames, second));
        o.setNation(nation);
    }
}

using Kind = int; // an index into Kinds
constexpr Kind Players = 0, Staff = 1, Clubs = 2, Officials = 3, Nations = 4, Cities = 5,
               Stadiums = 6;

const struct
{
    SearchRows (*search)(const Database &, const QByteArray &, bool);
    int recordSize;
} Kinds[] = {
    {searchPlayers, RecordSize::Person},   {searchStaff, RecordSize::Person},
    {searchClubs, RecordSize::Club},       {searchOfficials, RecordSize::Official},
    {searchNations, RecordSize::Nation},   {searchCities, RecordSize::City},
    {searchStadiums, RecordSize::Stadium},
};

QList<int> indices(const SearchRows &rows, Kind kind)
{
    QList<int> result;
    for (const SearchRow &row : rows) {
        const int size = Kinds[kind].recordSize;
        result.append(row.offset % size == 0 ? int(row.offset / size) : -1);
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

void addRow(const char *name, Kind kind, const QByteArray &text, bool caseSensitive,
            const QList<int> &expected)
{
    QTest::newRow(name) << kind << text << caseSensitive << expected;
}

} // namespace

class tst_Search : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void finds_data();
    void finds();
    void shownNames();
    void under21FromTheMiddleOfTheTeams();
    void damagedTablesAndEmptyText();
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
    addRow("staff ald: classes 1 and 3", Staff, "ald", false, {2, 5});
    addRow("first into second name", Players, "ld sm", false, {0});
    addRow("names joined by one blank", Players, "ld  sm", false, {});
    addRow("second into common name", Players, "silva ald", false, {2});
    addRow("E acute is not folded to", Players, "\xC9", false, {});
    addRow("a-z folded around accents", Players, "ANDR\xE9 \xD6ZIL", false, {3});
    addRow("dangling indices read empty", Players, "  ", false, {6});

    // Clubs 0..6, national teams 7..10 (9 and 10 under-21).
    addRow("club exact case", Clubs, "ARSENAL", true, {});
    addRow("club nation", Clubs, "england", false, {0, 7, 9});
    addRow("after long name terminator", Clubs, "jqx", false, {1});
    addRow("after short name terminator", Clubs, "QQQ", true, {1});
    addRow("nation into raw bytes", Clubs, "brazilq", false, {1});
    addRow("nation -1 is <none>, -2 nothing", Clubs, "<none>", false, {2});
    addRow("nation text cut at block end", Clubs, "345", true, {5, 6});
    addRow("one more byte fits", Clubs, "3456", true, {6});
    addRow("past the block end", Clubs, "34567", true, {});

    // Nations 0 England, 1 Brazil, 2 Italy/Italia, 3 long, 4 Wales.
    addRow("nation short name", Nations, "italia", false, {2});
    addRow("nation last searched bytes", Nations, "zq", false, {4});
    addRow("abbreviation not searched", Nations, "zq!", false, {});

    // Cities: 0 London, 1 Llanfair... (20), 2 Nowhere (-1), 3 24 x Y (-5),
    // 4 26 characters, 5 Köln (nation 99), 6 Rome.
    addRow("city name", Cities, "london", false, {0});
    addRow("city nation at 25", Cities, "and", false, {0, 1});
    addRow("city nation at 26", Cities, "nd", false, {0});
    addRow("city <none> at 25", Cities, "<none>", false, {2, 3});
    addRow("city 26 characters", Cities, "xyz", false, {4});
    addRow("city dangling nation", Cities, "k\xF6ln", false, {5});

    // Stadiums: 0 Wembley (city 0), 1 Highbury (city 1), 2 Olimpico (Rome),
    // 3 long name, 4 no city, 5 city 77, 6 Windy Park (Nowhere).
    addRow("city 0 name left out", Stadiums, "london", false, {});
    addRow("city 0 nation", Stadiums, "england", false, {0});
    addRow("stadium city", Stadiums, "rome", false, {2});
    addRow("stadium city at 25", Stadiums, "gyll", false, {1});
    addRow("stadium name from 27 on", Stadiums, "light", false, {});
    addRow("stadium city's <none>", Stadiums, "<none>", false, {6});
    addRow("stadium dangling city", Stadiums, "ghost", false, {5});

    // Officials: 0 Collina (Italy), 1 Webb (-1), 2 Clattenburg (-2).
    addRow("official exact case miss", Officials, "collina", true, {});
    addRow("surname into nation", Officials, "naIta", true, {0});
    addRow("official any negative nation", Officials, "<none>", false, {1, 2});
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
    QCOMPARE(indices(Kinds[kind].search(db, text, caseSensitive), kind), expected);
    QCOMPARE(db.clubs().bytes(), before);
}

void tst_Search::shownNames()
{
    Database db;
    buildWorld(db);
    // Persons by first and second name; clubs by long name, with " (U21)" in the
    // second half of the national teams; nations by long name; stadiums by name
    // alone; officials without their nation.
    QCOMPARE(names(searchPlayers(db, " ", false)),
             (QList<QByteArray>{"Donald Smith", "John ALDRIDGE", "Jose Silva", "Andr\xE9 \xD6zil",
                                " "}));
    QCOMPARE(names(searchClubs(db, "england", false)),
             (QList<QByteArray>{"Arsenal FC", "England FC", "England FC (U21)"}));
    QCOMPARE(names(searchNations(db, "xqj")), QList<QByteArray>{"Wales"});
    QCOMPARE(names(searchStadiums(db, "italy")), QList<QByteArray>{"Olimpico"});
    QCOMPARE(names(searchOfficials(db, "linaital", false)),
             QList<QByteArray>{"Pierluigi Collina"});
}

void tst_Search::under21FromTheMiddleOfTheTeams()
{
    // The boundary is half of nat_club.Dat's bytes, not half of its records.
    const QList<QList<bool>> cases = {{false}, {false, false, true}, {false, false, true, true}};
    for (const QList<bool> &under21 : cases) {
        Database db;
        addClub(db, DataFile::Club, "Club", -1);
        addClub(db, DataFile::Club, "Club", -1);
        for (int i = 0; i < under21.size(); ++i)
            addClub(db, DataFile::NatClub, "Team", -1);
        joinClubs(db);
        const SearchRows rows = searchClubs(db, "team", false);
        QCOMPARE(qsizetype(rows.size()), under21.size());
        for (int i = 0; i < under21.size(); ++i) {
            QCOMPARE(rows[i].offset, qint64(2 + i) * RecordSize::Club);
            QCOMPARE(rows[i].name, under21[i] ? "Team FC (U21)" : "Team FC");
        }
    }
}

void tst_Search::damagedTablesAndEmptyText()
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
    const auto firstNames =
        std::int32_t(clean.image(DataFile::FirstNames).recordCount(RecordSize::NameEntry));
    for (Database *db : {&clean, &damaged}) {
        person(*db, 6)->setFirstName(firstNames);
        person(*db, 6)->setCommonName(std::numeric_limits<std::int32_t>::min());
    }

    for (Kind kind : {Players, Staff, Clubs, Officials, Nations, Cities, Stadiums}) {
        for (const QByteArray &text : {QByteArray(" "), QByteArray("a"), QByteArray("<")}) {
            const SearchRows expected = Kinds[kind].search(clean, text, false);
            const SearchRows found = Kinds[kind].search(damaged, text, false);
            QCOMPARE(names(found), names(expected));
            QCOMPARE(indices(found, kind), indices(expected, kind));
        }
        // An empty text finds nothing, so that the list can keep what it showed.
        QVERIFY(Kinds[kind].search(clean, QByteArray(), false).empty());
        QVERIFY(Kinds[kind].search(clean, QByteArray(), true).empty());
    }

    damaged.counters().persons = -3;
    QVERIFY(searchPlayers(damaged, " ", false).empty());
}

QTEST_GUILESS_MAIN(tst_Search)
#include "tst_Search.moc"
