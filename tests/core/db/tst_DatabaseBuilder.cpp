#include "TestDatabase.h"

#include "DatabaseBuilder.h"
#include "core/db/Database.h"
#include "core/layout/CityRecord.h"
#include "core/layout/ClubRecord.h"
#include "core/layout/CodeLists.h"
#include "core/layout/CompetitionRecord.h"
#include "core/layout/HistoryRecord.h"
#include "core/layout/NameEntry.h"
#include "core/layout/NationRecord.h"
#include "core/layout/OfficialRecord.h"
#include "core/layout/PersonRecord.h"
#include "core/layout/StadiumRecord.h"

#include <QTest>

#include <set>

using namespace kx3;

// Ids, reference ranges, slot rules and attribute ownership of generated
// databases are checked by tst_IntegrityCheck (builderDatabasesAreSound);
// these tests cover what the generator promises beyond a sound database.
class tst_DatabaseBuilder : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void initTestCase();
    void loadsWithMatchingCounters_data();
    void loadsWithMatchingCounters();
    void fixturesHoldEveryKindOfCase();
    void nameUsageCounts();
    void textEdgeCases();
    void setupFile();
    void tableOfContents();
    void sameSeedSameBytes();

private:
    test::TestInstallation mInstall; // 200 persons, seed 1
    Database mDb;
};

void tst_DatabaseBuilder::initTestCase()
{
    QVERIFY(mInstall.loadInto(mDb));
}

void tst_DatabaseBuilder::loadsWithMatchingCounters_data()
{
    QTest::addColumn<int>("persons");
    QTest::addColumn<quint32>("seed");
    QTest::newRow("none") << 0 << 1u;
    QTest::newRow("seven") << 7 << 2u;
    QTest::newRow("5000") << 5000 << 99u;
}

void tst_DatabaseBuilder::loadsWithMatchingCounters()
{
    QFETCH(int, persons);
    QFETCH(quint32, seed);
    BuilderOptions options;
    options.persons = persons;
    options.seed = seed;
    test::TestInstallation inst(options);
    QVERIFY2(inst.isValid(), qPrintable(inst.errorString()));
    Database db;
    QVERIFY(inst.loadInto(db));
    const BuilderOptions &o = inst.options();
    QCOMPARE(personCount(db), persons);
    QCOMPARE(db.clubCount(), o.clubs);
    QCOMPARE(clubTotal(db), o.clubs + 2 * o.nations);
    QCOMPARE(nationCount(db), o.nations);
    QCOMPARE(cityCount(db), o.cities);
    QCOMPARE(stadiumCount(db), o.stadiums);
    QCOMPARE(officialCount(db), o.officials);
    QCOMPARE(competitionCount(db), o.competitions);

    int staff = 0;
    int players = 0;
    std::set<int> classes;
    for (int i = 0; i < persons; ++i) {
        const PersonRecord p = *person(db, i);
        const int c = p.classification();
        classes.insert(c);
        staff += Classification::hasStaffAttributes(c) ? 1 : 0;
        players += Classification::hasPlayerAttributes(c) ? 1 : 0;
        if (c == Classification::Player || c == Classification::YouthPlayer)
            QVERIFY(p.job() == Job::Player || p.job() == Job::Unemployed
                    || p.job() == Job::Retired);
        if (c == Classification::NonPlayer)
            QVERIFY(!Job::isPlaying(p.job()));
    }
    QCOMPARE(db.counters().staffAttributes, staff);
    QCOMPARE(db.counters().playerAttributes, players);
    QCOMPARE(db.image(DataFile::Staff).size(),
             qsizetype(persons) * 157 + qsizetype(staff) * 68 + qsizetype(players) * 70);
    if (persons >= 5)
        QCOMPARE(classes.size(), std::size_t(5));
}

void tst_DatabaseBuilder::fixturesHoldEveryKindOfCase()
{
    BuilderOptions options;
    options.persons = 3000;
    test::TestInstallation inst(options);
    Database db;
    QVERIFY(inst.loadInto(db));
    const int clubs = db.clubCount();
    const int nations = nationCount(db);

    int withoutClub = 0;
    int combined = 0;
    int duty = 0;
    for (int i = 0; i < personCount(db); ++i) {
        const PersonRecord p = *person(db, i);
        // A person's club is a club, never a national team; none is -2.
        QVERIFY(p.club() < clubs && p.club() >= -2 && p.club() != -1);
        withoutClub += p.club() < 0 ? 1 : 0;
        combined += p.club() >= 0 && Job::isCombined(p.job()) ? 1 : 0;
        duty += p.nationalTeam() >= 0 ? 1 : 0;
    }
    QVERIFY(withoutClub > 50 && withoutClub < 1000);
    QVERIFY(combined > 10);
    QVERIFY(duty > 0);

    // National teams in nation order, then their under-21 teams.
    for (int k = 0; k < nations; ++k) {
        QCOMPARE(club(db, nationalTeamIndex(db, k))->nation(), k);
        QCOMPARE(club(db, clubs + nations + k)->nation(), k);
        QCOMPARE(clubKind(db, clubs + nations + k), ClubKind::Under21Team);
    }

    // Histories are interleaved: some person's records are not consecutive.
    bool interleaved = false;
    QHash<std::int32_t, int> lastSeen;
    std::set<std::int32_t> severalSeasons;
    for (int i = 0; i < historyCount(db); ++i) {
        const HistoryRecord h = *historyRecord(db, i);
        if (lastSeen.contains(h.person())) {
            severalSeasons.insert(h.person());
            interleaved = interleaved || lastSeen.value(h.person()) != i - 1;
        }
        lastSeen.insert(h.person(), i);
    }
    QVERIFY(interleaved);
    QVERIFY(severalSeasons.size() > 10);
}

void tst_DatabaseBuilder::nameUsageCounts()
{
    BuilderOptions options;
    options.persons = 4000;
    options.nations = 4;
    test::TestInstallation inst(options);
    Database db;
    QVERIFY(inst.loadInto(db));
    const DataFile tables[] = {DataFile::FirstNames, DataFile::SecondNames, DataFile::CommonNames};
    for (int t = 0; t < 3; ++t) {
        DataImage &table = db.image(tables[t]);
        std::vector<int> uses(std::size_t(table.recordCount(RecordSize::NameEntry)), 0);
        for (int i = 0; i < personCount(db); ++i) {
            const PersonRecord p = *person(db, i);
            const std::int32_t e = t == 0   ? p.firstName()
                                   : t == 1 ? p.secondName()
                                            : p.commonName();
            ++uses[std::size_t(e)];
            // Entries are keyed by the person's nation (none: -2).
            QCOMPARE(nameEntry(table, e)->nationKey(),
                     p.nationality() < 0 ? NoNationKey : p.nationality());
        }
        for (int i = 0; t < 2 && i < officialCount(db); ++i) {
            const OfficialRecord o = *official(db, i);
            ++uses[std::size_t(t == 0 ? o.firstName() : o.secondName())];
        }
        bool capped = false;
        for (std::size_t e = 0; e < uses.size(); ++e) {
            QCOMPARE(nameEntry(table, qsizetype(e))->usageCount(), std::min(uses[e], 255));
            capped = capped || uses[e] > 255;
        }
        if (t == 2)
            QVERIFY2(capped, "the empty common name is used often enough to reach the cap");
    }
}

void tst_DatabaseBuilder::textEdgeCases()
{
    const QByteArray longName = club(mDb, 1)->longName();
    QCOMPARE(longName.size(), 51);
    QCOMPARE(quint8(mDb.clubs().u8(RecordSize::Club + 55)), quint8(0xFF));

    DataImage &second = mDb.image(DataFile::SecondNames);
    QHash<QByteArray, std::set<std::int32_t>> keysOfText;
    bool unmappedByte = false;
    bool latin1 = false;
    for (qsizetype i = 0; i < second.recordCount(RecordSize::NameEntry); ++i) {
        const NameEntry e = *nameEntry(second, i);
        keysOfText[e.text()].insert(e.nationKey());
        unmappedByte = unmappedByte || e.text().contains('\x81');
        latin1 = latin1 || e.text().contains('\xF6') || e.text().contains('\xE9');
        // Single bytes without quotes, so misc entry lines stay parseable.
        QVERIFY(!e.text().contains('"'));
    }
    QVERIFY(unmappedByte);
    QVERIFY(latin1);
    QVERIFY(keysOfText.value("Smith").size() >= 2);
}

void tst_DatabaseBuilder::setupFile()
{
    const QByteArray content = DatabaseBuilder().content(DataFile::PlayerSetup);
    QVERIFY(content.endsWith("\r\n"));
    QCOMPARE(content.count('\n'), content.count("\r\n"));
    QCOMPARE(content.count('\r'), content.count("\r\n"));
    const QList<QByteArray> &lines = mDb.setupLines();
    QCOMPARE(lines.size(), content.count('\n'));
    QVERIFY(lines.size() > 14);
    for (int i = 0; i < 14; ++i)
        QVERIFY(lines.at(i).contains('"'));

    // Every entry line names an existing person with his club's long name.
    const auto name = [&](DataFile table, std::int32_t index) {
        return nameEntry(mDb.image(table), index)->text();
    };
    QHash<QByteArray, int> keywords;
    int injuriesWithDays = 0;
    for (int i = 14; i < lines.size(); ++i) {
        const QList<QByteArray> parts = lines.at(i).split('"');
        QVERIFY(parts.size() >= 11);
        ++keywords[parts.at(1)];
        bool found = false;
        for (int p = 0; p < personCount(mDb) && !found; ++p) {
            const PersonRecord r = *person(mDb, p);
            found = parts.at(3) == name(DataFile::FirstNames, r.firstName())
                    && parts.at(5) == name(DataFile::CommonNames, r.commonName())
                    && parts.at(7) == name(DataFile::SecondNames, r.secondName())
                    && parts.at(9) == (r.club() >= 0 ? club(mDb, r.club())->longName() : "");
        }
        QVERIFY2(found, lines.at(i).constData());
        if (parts.at(1) == "INJURY") {
            QVERIFY(std::find(InjuryNames.begin(), InjuryNames.end(), parts.at(11))
                    != InjuryNames.end());
            injuriesWithDays += parts.at(12).isEmpty() ? 0 : 1;
            QVERIFY(parts.at(12).isEmpty() || parts.at(12).startsWith(' '));
        }
        if (parts.at(1) == "FUTURE_TRANSFER")
            QCOMPARE(parts.at(12).count(' '), 6);
    }
    for (const char *k : {"FUTURE_TRANSFER", "LOAN", "INJURY", "INT_RETIREMENT", "MANAGER_CONF"})
        QVERIFY2(keywords.value(k) > 0, k);
    QVERIFY(injuriesWithDays > 0 && injuriesWithDays < keywords.value("INJURY"));
}

void tst_DatabaseBuilder::tableOfContents()
{
    const QByteArray toc = mDb.image(DataFile::Index).bytes();
    QVERIFY(toc.size() >= Toc::MinimumSize);
    QCOMPARE(mDb.image(DataFile::Index).i32(Toc::PersonCount), 200);
    // Recomputing the fourteen values changes nothing: the file agrees with the set.
    Database db;
    QVERIFY(mInstall.loadInto(db));
    db.updateTableOfContents();
    QCOMPARE(db.image(DataFile::Index).bytes(), toc);
    // And every other word is filled in.
    QByteArray others = toc;
    for (int p :
         {Toc::ClubCount, Toc::OfficialCount, Toc::StadiumCount, Toc::PersonCount,
          Toc::PersonTableSize, Toc::StaffAttributeCount, Toc::StaffAttributeOffset,
          Toc::PlayerAttributeCount, Toc::PlayerAttributeOffset, Toc::CityCount,
          Toc::FirstNameCount, Toc::SecondNameCount, Toc::CommonNameCount, Toc::HistoryCount})
        others.replace(p, 4, "****");
    QVERIFY(!others.contains('\0'));
}

void tst_DatabaseBuilder::sameSeedSameBytes()
{
    BuilderOptions options;
    options.persons = 1500;
    options.seed = 42;
    const DatabaseBuilder a(options);
    const DatabaseBuilder b(options);
    options.seed = 43;
    const DatabaseBuilder c(options);
    for (DataFile f : AllDataFiles) {
        QVERIFY(!a.content(f).isEmpty());
        QCOMPARE(a.content(f), b.content(f));
    }
    QVERIFY(a.content(DataFile::Staff) != c.content(DataFile::Staff));
    QVERIFY(a.content(DataFile::Index) != c.content(DataFile::Index));
}

QTEST_GUILESS_MAIN(tst_DatabaseBuilder)
#include "tst_DatabaseBuilder.moc"
