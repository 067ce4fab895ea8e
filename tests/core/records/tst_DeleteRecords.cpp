#include "RecordsTestSupport.h"
#include "TestDatabase.h"

#include "core/db/Database.h"
#include "core/db/SetupLines.h"
#include "core/layout/ClubRecord.h"
#include "core/layout/CodeLists.h"
#include "core/layout/HistoryRecord.h"
#include "core/layout/NameEntry.h"
#include "core/layout/NationRecord.h"
#include "core/layout/OfficialRecord.h"
#include "core/layout/PersonRecord.h"
#include "core/layout/PlayerAttributes.h"
#include "core/layout/StaffAttributes.h"
#include "core/lookup/MiscEntries.h"
#include "core/lookup/NameTables.h"
#include "core/records/DeleteRecords.h"

#include <QFile>
#include <QtTest>

#include <memory>
#include <vector>

using namespace kx3;
using kx3::test::findPerson;

namespace {

std::int32_t renumbered(std::int32_t v, std::int32_t d)
{
    return v == d ? -1 : v > d ? v - 1 : v;
}

/// What a deletion must keep: every surviving record's own bytes, and every
/// reference after the renumbering rule, taken before the deletion.
struct Snapshot
{
    struct Person
    {
        QByteArray bytes;
        QByteArray playerAttributes; ///< bytes behind the id, empty when none
        QByteArray staffAttributes;
    };
    struct History
    {
        std::int32_t person;
        QByteArray tail; ///< +8..+16
    };
    StaffCounters counters;
    std::vector<Person> persons;
    std::vector<QByteArray> clubs;
    std::vector<History> history;
    qsizetype staffSize = 0;
    /// Files a person deletion leaves alone.
    QList<QByteArray> untouched;
    /// First, second and common names, and the nations: only the counts of
    /// the deleted person's entries change.
    std::array<QByteArray, 3> names;
    QByteArray nations;
    QList<QByteArray> setupLines;

    static QList<QByteArray> untouchedFiles(const Database &db)
    {
        QList<QByteArray> files;
        for (DataFile f : {DataFile::Officials, DataFile::City, DataFile::Stadium,
                           DataFile::NationCompHistory, DataFile::Index})
            files.append(db.image(f).bytes());
        return files;
    }

    static Snapshot take(Database &db)
    {
        Snapshot s;
        s.counters = db.counters();
        s.staffSize = db.image(DataFile::Staff).size();
        s.untouched = untouchedFiles(db);
        s.names = {db.image(DataFile::FirstNames).bytes(), db.image(DataFile::SecondNames).bytes(),
                   db.image(DataFile::CommonNames).bytes()};
        s.nations = db.image(DataFile::Nation).bytes();
        s.setupLines = db.setupLines();
        for (int i = 0; i < personCount(db); ++i) {
            PersonRecord p = *person(db, i);
            Person entry{db.image(DataFile::Staff).read(p.offset(), RecordSize::Person), {}, {}};
            if (auto a = playerAttributesOf(db, p))
                entry.playerAttributes = a->image()->read(a->offset() + 4, 66);
            if (auto a = staffAttributesOf(db, p))
                entry.staffAttributes = a->image()->read(a->offset() + 4, 64);
            s.persons.push_back(entry);
        }
        for (int c = 0; c < clubTotal(db); ++c)
            s.clubs.push_back(db.clubs().read(qsizetype(c) * RecordSize::Club, RecordSize::Club));
        for (int h = 0; h < historyCount(db); ++h) {
            HistoryRecord r = *historyRecord(db, h);
            s.history.push_back({r.person(), r.image()->read(r.offset() + 8, 9)});
        }
        return s;
    }
};

/// Checks every table after deleting person `d` against the snapshot before.
void verifyDeletion(Database &db, const Snapshot &before, int d)
{
    const Snapshot::Person &gone = before.persons[std::size_t(d)];
    const bool hadPlayer = !gone.playerAttributes.isEmpty();
    const bool hadStaff = !gone.staffAttributes.isEmpty();
    const StaffCounters &c = db.counters();
    QCOMPARE(c.persons, before.counters.persons - 1);
    QCOMPARE(c.playerAttributes, before.counters.playerAttributes - (hadPlayer ? 1 : 0));
    QCOMPARE(c.staffAttributes, before.counters.staffAttributes - (hadStaff ? 1 : 0));
    QCOMPARE(db.image(DataFile::Staff).size(), before.staffSize - RecordSize::Person
                                                   - (hadPlayer ? RecordSize::PlayerAttributes : 0)
                                                   - (hadStaff ? RecordSize::StaffAttributes : 0));

    const int personSlots = PersonRelationship::FavouritePersons;
    for (int old = 0; old < int(before.persons.size()); ++old) {
        if (old == d)
            continue;
        const int now = old > d ? old - 1 : old;
        const Snapshot::Person &was = before.persons[std::size_t(old)];
        PersonRecord p = *person(db, now); // ids are the integrity check's
        // Everything up to the relationship slots is carried unchanged.
        QCOMPARE(p.image()->read(p.offset() + 4, 93), was.bytes.mid(4, 93));
        for (int s = 0; s < PersonRelationship::Count; ++s) {
            const std::int32_t v =
                DataImage(was.bytes).i32(PersonField::Relationships.at(s).offset);
            QCOMPARE(p.relationship(s), s >= personSlots ? renumbered(v, d) : v);
        }
        // The attribute records moved with their owner, content intact.
        const auto player = playerAttributesOf(db, p);
        QCOMPARE(player.has_value(), !was.playerAttributes.isEmpty());
        if (player)
            QCOMPARE(player->image()->read(player->offset() + 4, 66), was.playerAttributes);
        const auto staff = staffAttributesOf(db, p);
        QCOMPARE(staff.has_value(), !was.staffAttributes.isEmpty());
        if (staff)
            QCOMPARE(staff->image()->read(staff->offset() + 4, 64), was.staffAttributes);
    }

    // Every record of the club image, national teams included.
    QCOMPARE(clubTotal(db), int(before.clubs.size()));
    for (int r = 0; r < clubTotal(db); ++r) {
        const QByteArray &was = before.clubs[std::size_t(r)];
        ClubRecord club = *kx3::club(db, r);
        for (int s = 0; s < ClubRelationship::Count; ++s) {
            const std::int32_t v = DataImage(was).i32(ClubField::Relationships.at(s).offset);
            QCOMPARE(club.relationship(s), ClubRelationship::isClubSlot(s) ? v : renumbered(v, d));
        }
        for (int s = 0; s < ClubSlots::Count; ++s)
            QCOMPARE(club.positionSlot(s),
                     renumbered(DataImage(was).i32(ClubField::PositionSlots.at(s).offset), d));
        QCOMPARE(db.clubs().read(club.offset(), 155), was.left(155));
    }

    std::vector<Snapshot::History> kept;
    for (const Snapshot::History &h : before.history) {
        if (h.person != d)
            kept.push_back({renumbered(h.person, d), h.tail});
    }
    QCOMPARE(historyCount(db), int(kept.size()));
    for (int h = 0; h < historyCount(db); ++h) {
        HistoryRecord r = *historyRecord(db, h);
        QCOMPARE(r.person(), kept[std::size_t(h)].person);
        QCOMPARE(r.image()->read(r.offset() + 8, 9), kept[std::size_t(h)].tail);
    }
    QVERIFY(Snapshot::untouchedFiles(db) == before.untouched);

    // His name entries and his nation count one user less (the generated
    // counts are exact); his misc lines went with him.
    const DataImage was(gone.bytes);
    const std::array<DataFile, 3> nameFiles = {DataFile::FirstNames, DataFile::SecondNames,
                                               DataFile::CommonNames};
    const std::array<Field<std::int32_t>, 3> nameFields = {
        PersonField::FirstName, PersonField::SecondName, PersonField::CommonName};
    for (std::size_t k = 0; k < nameFiles.size(); ++k) {
        DataImage expected(before.names[k]);
        if (auto entry = nameEntry(expected, was.i32(nameFields[k].offset)))
            entry->setUsageCount(entry->usageCount() - 1);
        QCOMPARE(db.image(nameFiles[k]).bytes(), expected.bytes());
    }
    DataImage nations(before.nations);
    const std::int32_t nation = was.i32(PersonField::Nationality.offset);
    if (nations.contains(qsizetype(nation) * RecordSize::Nation, RecordSize::Nation)) {
        const qsizetype at =
            qsizetype(nation) * RecordSize::Nation + NationField::PersonCount.offset;
        nations.setI32(at, nations.i32(at) - 1);
    }
    QCOMPARE(db.image(DataFile::Nation).bytes(), nations.bytes());
    QVERIFY(db.setupLines().size() <= before.setupLines.size());
    QVERIFY(db.isModified());
    KX3_VERIFY_SOUND(db);
}

enum class Setup {
    None,
    ThreeHistoryRecordsInARow,
    NationalTeamSlots,
    BytesBehindTheRecords,
};

} // namespace

class tst_DeleteRecords : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void initTestCase();
    void deletePerson_data();
    void deletePerson();
    void refusesPersonOutOfRange_data();
    void refusesPersonOutOfRange();
    void deleteOfficial_data();
    void deleteOfficial();
    void manyDeletionsThenSave();
    void miscLinesGoWithHim_data();
    void miscLinesGoWithHim();
    void messages();

private:
    std::unique_ptr<test::TestInstallation> mInstall;
};

void tst_DeleteRecords::initTestCase()
{
    mInstall = std::make_unique<test::TestInstallation>();
    QVERIFY(mInstall->isValid());
    Database db;
    QVERIFY(mInstall->loadInto(db));
    KX3_VERIFY_SOUND(db);
}

void tst_DeleteRecords::deletePerson_data()
{
    QTest::addColumn<int>("which");
    QTest::addColumn<int>("setup");
    // Person 2 of a builder database is a player-manager with both attribute
    // records, person 4 one of classification 0.
    QTest::newRow("person 0") << 0 << int(Setup::None);
    QTest::newRow("last person") << -1 << int(Setup::None);
    QTest::newRow("player-manager, both records") << 2 << int(Setup::None);
    QTest::newRow("classification 0") << 4 << int(Setup::None);
    QTest::newRow("three history records in a row") << 6 << int(Setup::ThreeHistoryRecordsInARow);
    QTest::newRow("in a national team's slots") << 7 << int(Setup::NationalTeamSlots);
    QTest::newRow("bytes behind the records") << 3 << int(Setup::BytesBehindTheRecords);
}

void tst_DeleteRecords::deletePerson()
{
    QFETCH(int, which);
    QFETCH(int, setup);
    Database db;
    QVERIFY(mInstall->loadInto(db));
    const int d = which < 0 ? personCount(db) - 1 : which;

    if (Setup(setup) == Setup::ThreeHistoryRecordsInARow) {
        QVERIFY(historyCount(db) > 12);
        for (int h : {9, 10, 11})
            historyRecord(db, h)->setPerson(d);
    } else if (Setup(setup) == Setup::NationalTeamSlots) {
        // A national manager behind d fills his team's manager slot, and d
        // himself coaches another national team.
        const int manager = findPerson(db, [d](const PersonRecord &p) {
            return p.id() > d && p.nationalTeam() >= 0 && p.nationalJob() == Job::Manager;
        });
        QVERIFY(manager > d);
        const int team = person(db, manager)->nationalTeam();
        club(db, team)->setPositionSlot(ClubSlots::Manager.first, manager);
        const int other = team + 1 < clubTotal(db) ? team + 1 : team - 1;
        person(db, d)->setNationalTeam(other);
        person(db, d)->setNationalJob(Job::Coach);
        club(db, other)->setPositionSlot(ClubSlots::Coaches.first, d);
        club(db, other)->setRelationship(ClubRelationship::FavouritePersons, manager);
        KX3_VERIFY_SOUND(db);
    }
    // Not whole records: a table placed by the file size would be misaligned.
    const QByteArray extra = Setup(setup) == Setup::BytesBehindTheRecords ? "\x01\x02\x03" : "";
    db.image(DataFile::Staff).append(extra);
    db.image(DataFile::StaffHistory).append(extra);
    if (!extra.isEmpty())
        historyRecord(db, 0)->setPerson(d);
    const Snapshot before = Snapshot::take(db);

    QVERIFY(kx3::deletePerson(db, d));
    verifyDeletion(db, before, d);
    QVERIFY(db.image(DataFile::Staff).bytes().endsWith(extra));
    QVERIFY(db.image(DataFile::StaffHistory).bytes().endsWith(extra));
}

void tst_DeleteRecords::refusesPersonOutOfRange_data()
{
    QTest::addColumn<int>("index");
    QTest::addColumn<int>("brokenOffset");
    QTest::newRow("negative") << -1 << 0;
    QTest::newRow("person count") << -2 << 0;
    QTest::newRow("counters not describing the file") << 0 << 1;
}

void tst_DeleteRecords::refusesPersonOutOfRange()
{
    QFETCH(int, index);
    QFETCH(int, brokenOffset);
    Database db;
    QVERIFY(mInstall->loadInto(db));
    if (index == -2)
        index = personCount(db);
    db.counters().staffOffset += brokenOffset;
    db.clearHistory();
    const QByteArray staff = db.image(DataFile::Staff).bytes();
    const QByteArray clubs = db.clubs().bytes();
    const QByteArray history = db.image(DataFile::StaffHistory).bytes();
    const StaffCounters counters = db.counters();
    QVERIFY(!kx3::deletePerson(db, index));
    QCOMPARE(db.image(DataFile::Staff).bytes(), staff);
    QCOMPARE(db.clubs().bytes(), clubs);
    QCOMPARE(db.image(DataFile::StaffHistory).bytes(), history);
    QCOMPARE(db.counters(), counters);
    QVERIFY(!db.isModified());
}

void tst_DeleteRecords::deleteOfficial_data()
{
    QTest::addColumn<int>("which");
    QTest::addColumn<QByteArray>("extra"); // bytes behind the last whole record
    QTest::newRow("first") << 0 << QByteArray();
    QTest::newRow("middle") << 1 << QByteArray();
    QTest::newRow("last") << -1 << QByteArray();
    QTest::newRow("first, bytes behind") << 0 << QByteArray("xyz");
}

void tst_DeleteRecords::deleteOfficial()
{
    QFETCH(int, which);
    QFETCH(QByteArray, extra);
    Database db;
    QVERIFY(mInstall->loadInto(db));
    db.image(DataFile::Officials).append(extra);
    const int count = officialCount(db);
    QVERIFY(count >= 3);
    const int d = which < 0 ? count - 1 : which;
    const QByteArray before = db.image(DataFile::Officials).bytes();
    QVERIFY(kx3::deleteOfficial(db, d));
    QCOMPARE(officialCount(db), count - 1);
    const QByteArray &after = db.image(DataFile::Officials).bytes();
    QCOMPARE(after.size(), before.size() - RecordSize::Official);
    for (int x = 0; x < count - 1; ++x) {
        const int old = x < d ? x : x + 1;
        QCOMPARE(official(db, x)->id(), x);
        QCOMPARE(after.mid(qsizetype(x) * 43 + 4, 39), before.mid(qsizetype(old) * 43 + 4, 39));
    }
    QVERIFY(after.endsWith(extra));
    QVERIFY(db.isModified());
    KX3_VERIFY_SOUND(db);
    QVERIFY(!kx3::deleteOfficial(db, count - 1));
    QVERIFY(!kx3::deleteOfficial(db, -1));
}

void tst_DeleteRecords::miscLinesGoWithHim_data()
{
    QTest::addColumn<bool>("namesake");
    QTest::newRow("his own lines") << false;
    QTest::newRow("shared with a namesake at his club") << true;
}

// The lines naming him (names and club) would otherwise be applied by the game
// to nobody; a namesake at the same club is named by the same lines and keeps them.
void tst_DeleteRecords::miscLinesGoWithHim()
{
    QFETCH(bool, namesake);
    Database db;
    QVERIFY(mInstall->loadInto(db));
    const int d = test::findPerson(db, [](const PersonRecord &p) { return p.club() >= 0; });
    const int other = d + 1;
    const auto identityOf = [&db](int i) {
        const ConstPersonRecord p = *person(std::as_const(db), i);
        return MiscIdentity{{FirstNameText(db, p.firstName()), CommonNameText(db, p.commonName()),
                             SecondNameText(db, p.secondName())},
                            personClubLongName(db, i)};
    };
    if (namesake) {
        PersonRecord twin = *person(db, other);
        const ConstPersonRecord original = *person(std::as_const(db), d);
        twin.setFirstName(original.firstName());
        twin.setSecondName(original.secondName());
        twin.setCommonName(original.commonName());
        twin.setClub(original.club());
    }
    const QByteArray his = miscEntryLine(MiscKeyword::IntRetirement, identityOf(d));
    const QByteArray others =
        miscEntryLine(MiscKeyword::IntRetirement, MiscIdentity{{"Nobody", "", "Else"}, ""});
    // His line last, behind one the game skips: with his line gone, that one
    // would end the file, and the next load would drop it.
    db.setupLines() << others << "no quote here" << his;
    QVERIFY(kx3::deletePerson(db, d));
    QCOMPARE(db.setupLines().contains(his), namesake);
    QVERIFY(db.setupLines().contains(others));
    QCOMPARE(db.setupLines().constLast(), namesake ? his : others);
    QCOMPARE(parseSetupLines(serializeSetupLines(db.setupLines())), db.setupLines());
}

void tst_DeleteRecords::manyDeletionsThenSave()
{
    // Deletions compound: each one must leave a database the next can trust,
    // and all of them reach index.dat through the counters and the file sizes.
    const test::TestInstallation install;
    Database db;
    QVERIFY(install.loadInto(db));
    quint32 state = 12345;
    for (int round = 0; round < 40; ++round) {
        state = state * 1103515245u + 12345u;
        const int d = int((state >> 8) % quint32(personCount(db)));
        const Snapshot before = Snapshot::take(db);
        QVERIFY(kx3::deletePerson(db, d));
        verifyDeletion(db, before, d);
        if (QTest::currentTestFailed())
            QFAIL(qPrintable(QStringLiteral("round %1, person %2").arg(round).arg(d)));
    }
    QVERIFY(kx3::deleteOfficial(db, 1));
    const StaffCounters c = db.counters();
    QCOMPARE(c.persons, install.options().persons - 40);
    QVERIFY(db.save());
    QVERIFY(!db.isModified());

    QFile file(install.filePath(DataFile::Index));
    QVERIFY(file.open(QIODevice::ReadOnly));
    const DataImage toc(file.readAll());
    QCOMPARE(toc.i32(Toc::PersonCount), c.persons);
    QCOMPARE(toc.i32(Toc::PersonTableSize), c.persons * RecordSize::Person);
    QCOMPARE(toc.i32(Toc::StaffAttributeCount), c.staffAttributes);
    QCOMPARE(toc.i32(Toc::StaffAttributeOffset), c.staffOffset);
    QCOMPARE(toc.i32(Toc::PlayerAttributeCount), c.playerAttributes);
    QCOMPARE(toc.i32(Toc::PlayerAttributeOffset), c.playerOffset);
    QCOMPARE(toc.i32(Toc::HistoryCount), historyCount(db));
    QCOMPARE(toc.i32(Toc::OfficialCount), officialCount(db));

    Database reloaded;
    QVERIFY(install.loadInto(reloaded));
    QCOMPARE(reloaded.counters(), c);
    KX3_VERIFY_SOUND(reloaded);
}

void tst_DeleteRecords::messages()
{
    QCOMPARE(refuseClubDeletion(),
             QStringLiteral("For integrity reason, club deletion is not allowed"));
    QCOMPARE(deletedMessage(DeletedPersonKind),
             QStringLiteral("The Player/Staff has been successfuly deleted."));
    QCOMPARE(deletedMessage(DeletedOfficialKind),
             QStringLiteral("The Official has been successfuly deleted."));
}

QTEST_GUILESS_MAIN(tst_DeleteRecords)
#include "tst_DeleteRecords.moc"
