#include "TestDatabase.h"

#include "DatabaseBuilder.h"
#include "clubs/ClubRecord.h"
#include "clubs/HistoryRecord.h"
#include "db/Database.h"
#include "db/NameEntry.h"
#include "nations/NationRecord.h"
#include "people/CodeLists.h"
#include "people/PlayerAttributes.h"
#include "people/StaffAttributes.h"
#include "world/CityRecord.h"
#include "world/CompetitionRecord.h"
#include "world/OfficialRecord.h"
#include "world/StadiumRecord.h"

#include <QTest>

#include <set>

using namespace kx3;

class tst_DatabaseBuilder : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void loadsWithMatchingCounters_data();
    void loadsWithMatchingCounters();
    void positionSlotsAgreeWithPersons();
    void idsEqualPositions();
    void referencesPointAtRecords();
    void nameUsageCounts();
    void textEdgeCases();
    void setupFile();
    void tableOfContents();
    void sameSeedSameBytes();

private:
    void sizes_data();
};

void tst_DatabaseBuilder::sizes_data()
{
    QTest::addColumn<int>("persons");
    QTest::addColumn<quint32>("seed");
    QTest::newRow("none") << 0 << 1u;
    QTest::newRow("seven") << 7 << 2u;
    QTest::newRow("default") << 200 << 1u;
    QTest::newRow("5000") << 5000 << 99u;
}

void tst_DatabaseBuilder::loadsWithMatchingCounters_data()
{
    sizes_data();
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
    std::set<std::int32_t> staffIndices;
    std::set<std::int32_t> playerIndices;
    for (int i = 0; i < persons; ++i) {
        const PersonRecord p = *person(db, i);
        const int c = p.classification();
        classes.insert(c);
        QVERIFY(c >= 0 && c <= 4);
        staff += Classification::hasStaffAttributes(c) ? 1 : 0;
        players += Classification::hasPlayerAttributes(c) ? 1 : 0;
        // The attribute records a person owns are exactly those his class promises.
        QCOMPARE(bool(playerAttributesOf(db, p)), Classification::hasPlayerAttributes(c));
        QCOMPARE(bool(staffAttributesOf(db, p)), Classification::hasStaffAttributes(c));
        if (p.playerAttributes() >= 0)
            QVERIFY(playerIndices.insert(p.playerAttributes()).second);
        else
            QCOMPARE(p.playerAttributes(), -1);
        if (p.staffAttributes() >= 0)
            QVERIFY(staffIndices.insert(p.staffAttributes()).second);
        else
            QCOMPARE(p.staffAttributes(), -1);
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

void tst_DatabaseBuilder::positionSlotsAgreeWithPersons()
{
    BuilderOptions options;
    options.persons = 3000;
    test::TestInstallation inst(options);
    Database db;
    QVERIFY(inst.loadInto(db));
    std::vector<int> staffSeen(3000, 0);
    std::vector<int> squadSeen(3000, 0);
    for (int c = 0; c < clubTotal(db); ++c) {
        const ClubRecord club = *kx3::club(db, c);
        for (int s = 0; s < ClubSlots::Count; ++s) {
            const std::int32_t p = club.positionSlot(s);
            if (c >= db.clubCount()) {
                QCOMPARE(p, ClubSlots::Empty);
                continue;
            }
            if (p < 0) {
                QCOMPARE(p, ClubSlots::Empty);
                continue;
            }
            const std::optional<PersonRecord> holder = person(db, p);
            QVERIFY(holder);
            QCOMPARE(holder->club(), c);
            const int job = holder->job();
            const bool staffSide = staffSlotRange(job).contains(s);
            const bool squadSide = playerSlotRange(job).contains(s);
            QVERIFY2(staffSide || squadSide, qPrintable(QStringLiteral("person %1 job %2 slot %3")
                                                            .arg(p).arg(job).arg(s)));
            ++(staffSide ? staffSeen : squadSeen)[std::size_t(p)];
        }
    }
    int employed = 0;
    int withoutClub = 0;
    int combined = 0;
    for (int i = 0; i < 3000; ++i) {
        const PersonRecord p = *person(db, i);
        const bool hasClub = p.club() >= 0;
        employed += hasClub ? 1 : 0;
        withoutClub += hasClub ? 0 : 1;
        QVERIFY(p.club() < db.clubCount());
        const int job = p.job();
        combined += hasClub && Job::isCombined(job) ? 1 : 0;
        QCOMPARE(staffSeen[std::size_t(i)], hasClub && !staffSlotRange(job).isEmpty() ? 1 : 0);
        QCOMPARE(squadSeen[std::size_t(i)], hasClub && !playerSlotRange(job).isEmpty() ? 1 : 0);
        if (!hasClub)
            QCOMPARE(p.club(), -2);
    }
    QVERIFY(employed > 2000);
    QVERIFY(withoutClub > 50);
    QVERIFY(combined > 10);
}

void tst_DatabaseBuilder::idsEqualPositions()
{
    test::TestInstallation inst;
    Database db;
    QVERIFY(inst.loadInto(db));
    for (int i = 0; i < personCount(db); ++i)
        QCOMPARE(person(db, i)->id(), i);
    for (int i = 0; i < db.counters().staffAttributes; ++i)
        QCOMPARE(staffAttributes(db, i)->id(), i);
    for (int i = 0; i < db.counters().playerAttributes; ++i)
        QCOMPARE(playerAttributes(db, i)->id(), i);
    for (int i = 0; i < clubTotal(db); ++i)
        QCOMPARE(club(db, i)->id(), i);
    for (int i = 0; i < cityCount(db); ++i)
        QCOMPARE(city(db, i)->id(), i);
    for (int i = 0; i < stadiumCount(db); ++i)
        QCOMPARE(stadium(db, i)->id(), i);
    for (int i = 0; i < officialCount(db); ++i)
        QCOMPARE(official(db, i)->id(), i);
    for (int i = 0; i < historyCount(db); ++i)
        QCOMPARE(historyRecord(db, i)->id(), i);
    for (DataFile f : {DataFile::FirstNames, DataFile::SecondNames, DataFile::CommonNames}) {
        DataImage &table = db.image(f);
        for (qsizetype i = 0; i < table.recordCount(RecordSize::NameEntry); ++i)
            QCOMPARE(nameEntry(table, i)->id(), std::int32_t(i));
    }
}

void tst_DatabaseBuilder::referencesPointAtRecords()
{
    BuilderOptions options;
    options.persons = 2000;
    test::TestInstallation inst(options);
    Database db;
    QVERIFY(inst.loadInto(db));
    const int clubs = db.clubCount();
    const int nations = nationCount(db);
    auto inRangeOrNone = [](std::int32_t v, int count) { return v < count; };
    int duty = 0;
    for (int i = 0; i < personCount(db); ++i) {
        const PersonRecord p = *person(db, i);
        QVERIFY(inRangeOrNone(p.nationality(), nations));
        QVERIFY(inRangeOrNone(p.secondNationality(), nations));
        if (p.nationalTeam() >= 0) {
            ++duty;
            QVERIFY(p.nationalTeam() >= clubs && p.nationalTeam() < clubTotal(db));
        }
        for (int s = 0; s < PersonRelationship::Count; ++s) {
            QVERIFY(inRangeOrNone(p.relationship(s), PersonRelationship::isClubSlot(s)
                                                         ? clubs
                                                         : personCount(db)));
        }
    }
    QVERIFY(duty > 0);
    // Histories are interleaved: some person's records are not consecutive.
    bool interleaved = false;
    QHash<std::int32_t, int> lastSeen;
    std::set<std::int32_t> severalSeasons;
    for (int i = 0; i < historyCount(db); ++i) {
        const HistoryRecord h = *historyRecord(db, i);
        QVERIFY(h.person() >= 0 && h.person() < personCount(db));
        QVERIFY(h.club() == UnmatchedHistoryClub || (h.club() >= 0 && h.club() < clubs));
        if (lastSeen.contains(h.person())) {
            severalSeasons.insert(h.person());
            interleaved = interleaved || lastSeen.value(h.person()) != i - 1;
        }
        lastSeen.insert(h.person(), i);
    }
    QVERIFY(interleaved);
    QVERIFY(severalSeasons.size() > 10);
    for (int i = 0; i < clubs; ++i) {
        const ClubRecord c = *club(db, i);
        QVERIFY(c.nation() >= 0 && c.nation() < nations);
        QVERIFY(c.mainStadium() >= 0 && c.mainStadium() < stadiumCount(db));
        QVERIFY(inRangeOrNone(c.division(), competitionCount(db)));
    }
    for (int k = 0; k < nations; ++k) {
        QCOMPARE(club(db, nationalTeamIndex(db, k))->nation(), k);
        QCOMPARE(club(db, clubs + nations + k)->nation(), k);
        QCOMPARE(clubKind(db, clubs + nations + k), ClubKind::Under21Team);
        QVERIFY(inRangeOrNone(nation(db, k)->capitalCity(), cityCount(db)));
    }
    for (int i = 0; i < stadiumCount(db); ++i)
        QVERIFY(inRangeOrNone(stadium(db, i)->city(), cityCount(db)));
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
            const std::int32_t e = t == 0 ? p.firstName() : t == 1 ? p.secondName()
                                                                   : p.commonName();
            QVERIFY(e >= 0 && std::size_t(e) < uses.size());
            ++uses[std::size_t(e)];
            // Entries are keyed by the person's nation (none: -2).
            QCOMPARE(nameEntry(table, e)->nationKey(),
                     p.nationality() < 0 ? NoNationKey : p.nationality());
        }
        for (int i = 0; t < 2 && i < officialCount(db); ++i) {
            const OfficialRecord o = *official(db, i);
            const std::int32_t e = t == 0 ? o.firstName() : o.secondName();
            QVERIFY(e >= 0 && std::size_t(e) < uses.size());
            ++uses[std::size_t(e)];
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
    test::TestInstallation inst;
    Database db;
    QVERIFY(inst.loadInto(db));
    const QByteArray longName = club(db, 1)->longName();
    QCOMPARE(longName.size(), 51);
    QCOMPARE(quint8(db.clubs().u8(RecordSize::Club + 55)), quint8(0xFF));

    DataImage &second = db.image(DataFile::SecondNames);
    QHash<QByteArray, std::set<std::int32_t>> keysOfText;
    bool unmappedByte = false;
    bool latin1 = false;
    for (qsizetype i = 0; i < second.recordCount(RecordSize::NameEntry); ++i) {
        const NameEntry e = *nameEntry(second, i);
        keysOfText[e.text()].insert(e.nationKey());
        unmappedByte = unmappedByte || e.text().contains('\x81');
        latin1 = latin1 || e.text().contains('\xF6') || e.text().contains('\xE9');
    }
    QVERIFY(unmappedByte);
    QVERIFY(latin1);
    QVERIFY(keysOfText.value("Smith").size() >= 2);
    // Names are single bytes without quotes, so misc entry lines stay parseable.
    for (auto it = keysOfText.cbegin(); it != keysOfText.cend(); ++it)
        QVERIFY(!it.key().contains('"') && it.key().size() <= 51);
}

void tst_DatabaseBuilder::setupFile()
{
    const DatabaseBuilder builder;
    const QByteArray content = builder.content(DataFile::PlayerSetup);
    QVERIFY(content.endsWith("\r\n"));
    QCOMPARE(content.count('\n'), content.count("\r\n"));
    QCOMPARE(content.count('\r'), content.count("\r\n"));
    const QList<QByteArray> lines = content.left(content.size() - 2).split('\n');
    QVERIFY(lines.size() > 14);
    for (int i = 0; i < 14; ++i)
        QVERIFY(lines.at(i).contains('"'));

    test::TestInstallation inst;
    Database db;
    QVERIFY(inst.loadInto(db));
    QCOMPARE(db.setupLines().size(), lines.size());
    // Every entry line names an existing person with his club's long name.
    QHash<QByteArray, int> keywords;
    int injuriesWithDays = 0;
    for (int i = 14; i < db.setupLines().size(); ++i) {
        const QByteArray line = db.setupLines().at(i);
        const QList<QByteArray> parts = line.split('"');
        QVERIFY(parts.size() >= 11);
        ++keywords[parts.at(1)];
        bool found = false;
        for (int p = 0; p < personCount(db) && !found; ++p) {
            const PersonRecord r = *person(db, p);
            const QByteArray first = nameEntry(db.image(DataFile::FirstNames),
                                               r.firstName())->text();
            const QByteArray common = nameEntry(db.image(DataFile::CommonNames),
                                                r.commonName())->text();
            const QByteArray second = nameEntry(db.image(DataFile::SecondNames),
                                                r.secondName())->text();
            const QByteArray clubName = r.club() >= 0 ? club(db, r.club())->longName() : "";
            found = parts.at(3) == first && parts.at(5) == common && parts.at(7) == second
                    && parts.at(9) == clubName;
        }
        QVERIFY2(found, line.constData());
        if (parts.at(1) == "INJURY") {
            QVERIFY(InjuryNames.end() != std::find_if(InjuryNames.begin(), InjuryNames.end(),
                                                      [&](const char *n) {
                                                          return parts.at(11) == n;
                                                      }));
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
    test::TestInstallation inst;
    Database db;
    QVERIFY(inst.loadInto(db));
    const QByteArray toc = db.image(DataFile::Index).bytes();
    QVERIFY(toc.size() >= Toc::MinimumSize);
    // Recomputing the fourteen values changes nothing: the file agrees with the set.
    db.updateTableOfContents();
    QCOMPARE(db.image(DataFile::Index).bytes(), toc);
    QCOMPARE(db.image(DataFile::Index).i32(Toc::PersonCount), 200);
    const int positions[] = {Toc::ClubCount,         Toc::OfficialCount,
                             Toc::StadiumCount,      Toc::PersonCount,
                             Toc::PersonTableSize,   Toc::StaffAttributeCount,
                             Toc::StaffAttributeOffset, Toc::PlayerAttributeCount,
                             Toc::PlayerAttributeOffset, Toc::CityCount,
                             Toc::FirstNameCount,    Toc::SecondNameCount,
                             Toc::CommonNameCount,   Toc::HistoryCount};
    QByteArray others = toc;
    for (int p : positions)
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
