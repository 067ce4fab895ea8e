#include "TestDatabase.h"

#include "db/Database.h"
#include "people/CodeLists.h"
#include "people/PersonRecord.h"
#include "people/PersonTables.h"
#include "people/PlayerAttributes.h"
#include "people/StaffAttributes.h"
#include "records/IntegrityCheck.h"

#include <QFile>
#include <QFileInfo>
#include <QTest>

#include <functional>
#include <memory>

using namespace kx3;
using kx3::test::le16;
using kx3::test::le32;

Q_DECLARE_METATYPE(kx3::NewPersonKind)

#define QVERIFY_SOUND(db)                                                                  \
    do {                                                                                   \
        const QStringList problems_ = checkIntegrity(db);                                  \
        QVERIFY2(problems_.isEmpty(), qPrintable(problems_.join(QLatin1Char('\n'))));      \
    } while (false)

namespace {

QByteArray date(int day, int year, int leap)
{
    return le16(std::uint16_t(day)) + le16(std::uint16_t(year)) + le32(std::uint32_t(leap));
}

QByteArray bytes(int count, int value)
{
    return QByteArray(count, char(value));
}

/// A new person record as the table operation leaves it, assembled field by field.
QByteArray expectedNewPerson(int index, NewPersonKind kind)
{
    const bool player = kind == NewPersonKind::NewPlayer;
    QByteArray b = le32(std::uint32_t(index));
    b += bytes(12, 0);                  // name indices, resolved by the confirm
    b += date(31, 1900, 0);             // born 1 February 1900
    b += le16(0);                       // +24
    b += le32(std::uint32_t(-1));       // nationality "<none>"
    b += le32(std::uint32_t(-2));       // second nationality none
    b += bytes(2, 0);                   // caps, goals
    b += le32(std::uint32_t(-2));       // national team none
    b += bytes(1, 0);                   // national job
    b += bytes(8, 0);                   // national join date
    b += date(31, 1900, 1);             // national contract end
    b += le32(std::uint32_t(-2));       // no club
    b += bytes(1, player ? 11 : 5);     // job
    b += date(1, 1996, 0);              // joined 2 January 1996
    b += date(31, 1900, 0);             // contract end
    b += le32(0) + le32(0);             // wage, value
    b += bytes(8, 0);                   // mental ratings
    b += bytes(1, 1);                   // plays in
    b += bytes(1, 0);                   // class "<unknown>" until a record is owned
    b += bytes(1, 0);                   // +96
    for (int s = 0; s < 6; ++s)
        b += le32(std::uint32_t(-2));
    for (int s = 0; s < 6; ++s)
        b += le32(std::uint32_t(-1));
    b += le32(std::uint32_t(-1)) + le32(std::uint32_t(-1)) + le32(std::uint32_t(-1));
    return b;
}

QByteArray expectedPlayerAttributes(int index)
{
    return le32(std::uint32_t(index)) + bytes(65, 0) + bytes(1, 2);
}

QByteArray expectedStaffAttributes(int index)
{
    QByteArray b = le32(std::uint32_t(index)) + bytes(31, 0);
    for (int i = 0; i < 8; ++i)
        b += le32(std::uint32_t(-1));
    return b + bytes(1, 3);
}

/// First person matching `pred`, or -1.
template <typename Pred>
int findPerson(Database &db, Pred pred)
{
    for (int i = 0; i < db.counters().persons; ++i) {
        if (pred(*person(db, i)))
            return i;
    }
    return -1;
}

/// Drops both attribute tables: every person becomes "<unknown>" without records.
void stripAttributeTables(Database &db)
{
    StaffCounters &c = db.counters();
    for (int i = 0; i < c.persons; ++i) {
        PersonRecord p = *person(db, i);
        p.setPlayerAttributes(-1);
        p.setStaffAttributes(-1);
        p.setClassification(Classification::Unknown);
    }
    DataImage &staff = db.image(DataFile::Staff);
    staff.setBytes(staff.bytes().left(c.staffOffset));
    c.staffAttributes = 0;
    c.playerAttributes = 0;
    c.playerOffset = c.staffOffset;
}

QByteArray staffBytes(const Database &db)
{
    return db.image(DataFile::Staff).bytes();
}

} // namespace

class tst_PersonTables : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void initTestCase();
    void appendPerson_data();
    void appendPerson();
    void appendWithEmptyAttributeTables_data();
    void appendWithEmptyAttributeTables();
    void removePlayerAttributes_data();
    void removePlayerAttributes();
    void bytesBehindTheRecordsStayBehind_data();
    void bytesBehindTheRecordsStayBehind();
    void refusalsChangeNothing();
    void tableOfContentsAfterSave_data();
    void tableOfContentsAfterSave();

private:
    std::unique_ptr<test::TestInstallation> mInstall;
};

void tst_PersonTables::initTestCase()
{
    mInstall = std::make_unique<test::TestInstallation>();
    QVERIFY2(mInstall->isValid(), qPrintable(mInstall->errorString()));
}

void tst_PersonTables::appendPerson_data()
{
    QTest::addColumn<NewPersonKind>("kind");
    QTest::newRow("player") << NewPersonKind::NewPlayer;
    QTest::newRow("staff") << NewPersonKind::NewStaff;
}

void tst_PersonTables::appendPerson()
{
    QFETCH(NewPersonKind, kind);
    Database db;
    QVERIFY(mInstall->loadInto(db));
    const StaffCounters c0 = db.counters();
    QVERIFY(c0.staffAttributes > 0 && c0.playerAttributes > 0);
    const QByteArray before = staffBytes(db);

    const std::optional<int> index = kx3::appendPerson(db, kind);
    QCOMPARE(index, std::optional<int>(c0.persons));
    QByteArray after = staffBytes(db);
    QCOMPARE(after.size(), before.size() + 157);
    // Earlier persons keep every byte (their attribute indices are indices, not
    // offsets); both attribute tables move up whole.
    QCOMPARE(after.left(c0.staffOffset), before.left(c0.staffOffset));
    QCOMPARE(after.mid(c0.staffOffset, 157), expectedNewPerson(c0.persons, kind));
    QCOMPARE(after.mid(c0.staffOffset + 157), before.mid(c0.staffOffset));
    QCOMPARE(db.counters(), (StaffCounters{c0.persons + 1, c0.staffAttributes,
                                           c0.staffOffset + 157, c0.playerAttributes,
                                           c0.playerOffset + 157}));
    QVERIFY_SOUND(db);

    const StaffCounters c1 = db.counters();
    if (kind == NewPersonKind::NewPlayer) {
        QCOMPARE(appendPlayerAttributes(db, *index), std::optional<int>(c1.playerAttributes));
        after.replace(qsizetype(*index) * 157 + 145, 4, le32(std::uint32_t(c1.playerAttributes)));
        QCOMPARE(staffBytes(db), after + expectedPlayerAttributes(c1.playerAttributes));
        QCOMPARE(db.counters(), (StaffCounters{c1.persons, c1.staffAttributes, c1.staffOffset,
                                               c1.playerAttributes + 1, c1.playerOffset}));
    } else {
        QCOMPARE(insertStaffAttributes(db, *index), std::optional<int>(c1.staffAttributes));
        after.insert(c1.playerOffset, expectedStaffAttributes(c1.staffAttributes));
        after.replace(qsizetype(*index) * 157 + 153, 4, le32(std::uint32_t(c1.staffAttributes)));
        QCOMPARE(staffBytes(db), after);
        QCOMPARE(db.counters(), (StaffCounters{c1.persons, c1.staffAttributes + 1,
                                               c1.staffOffset, c1.playerAttributes,
                                               c1.playerOffset + 68}));
    }
    QVERIFY_SOUND(db);

    // createPerson is the same two steps plus the class the record now supports.
    person(db, *index)->setClassification(kind == NewPersonKind::NewPlayer
                                              ? Classification::Player
                                              : Classification::NonPlayer);
    Database other;
    QVERIFY(mInstall->loadInto(other));
    QCOMPARE(createPerson(other, kind), index);
    QCOMPARE(staffBytes(other), staffBytes(db));
    QCOMPARE(other.counters(), db.counters());
    QVERIFY_SOUND(other);
}

void tst_PersonTables::appendWithEmptyAttributeTables_data()
{
    appendPerson_data();
}

void tst_PersonTables::appendWithEmptyAttributeTables()
{
    QFETCH(NewPersonKind, kind);
    Database db;
    QVERIFY(mInstall->loadInto(db));
    stripAttributeTables(db);
    QVERIFY_SOUND(db);
    const int n = db.counters().persons;

    const std::optional<int> index = kx3::appendPerson(db, kind);
    QCOMPARE(index, std::optional<int>(n));
    const qsizetype size = staffBytes(db).size();
    QCOMPARE(size, qsizetype(n + 1) * 157);
    QCOMPARE(qsizetype(db.counters().staffOffset), size);
    QCOMPARE(qsizetype(db.counters().playerOffset), size);

    if (kind == NewPersonKind::NewPlayer) {
        QCOMPARE(appendPlayerAttributes(db, n), std::optional<int>(0));
        QCOMPARE(staffBytes(db).mid(size), expectedPlayerAttributes(0));
        QCOMPARE(db.counters(), (StaffCounters{n + 1, 0, int(size), 1, int(size)}));
    } else {
        QCOMPARE(insertStaffAttributes(db, n), std::optional<int>(0));
        QCOMPARE(staffBytes(db).mid(size), expectedStaffAttributes(0));
        QCOMPARE(db.counters(), (StaffCounters{n + 1, 1, int(size), 0, int(size) + 68}));
    }
    QVERIFY_SOUND(db);
}

void tst_PersonTables::removePlayerAttributes_data()
{
    QTest::addColumn<QString>("which");
    QTest::newRow("first record") << "first";
    QTest::newRow("middle record") << "middle";
    QTest::newRow("last record") << "last";
    QTest::newRow("record of a Player/Non-Player") << "both";
}

void tst_PersonTables::removePlayerAttributes()
{
    QFETCH(QString, which);
    Database db;
    QVERIFY(mInstall->loadInto(db));
    const StaffCounters c0 = db.counters();
    int owner = -1;
    if (which == QLatin1String("both")) {
        owner = findPerson(db, [](const PersonRecord &p) {
            return p.classification() == Classification::PlayerNonPlayer;
        });
    } else {
        const int k = which == QLatin1String("first")    ? 0
                      : which == QLatin1String("middle") ? c0.playerAttributes / 2
                                                         : c0.playerAttributes - 1;
        owner = findPerson(db, [k](const PersonRecord &p) { return p.playerAttributes() == k; });
    }
    QVERIFY(owner >= 0);
    const int k = person(db, owner)->playerAttributes();
    const std::int32_t ownStaff = person(db, owner)->staffAttributes();
    std::vector<std::int32_t> indices;
    for (int i = 0; i < c0.persons; ++i)
        indices.push_back(person(db, i)->playerAttributes());
    const QByteArray before = staffBytes(db);

    QVERIFY(kx3::removePlayerAttributes(db, owner));

    QCOMPARE(db.counters(), (StaffCounters{c0.persons, c0.staffAttributes, c0.staffOffset,
                                           c0.playerAttributes - 1, c0.playerOffset}));
    const QByteArray after = staffBytes(db);
    QCOMPARE(after.size(), before.size() - 70);
    // Records behind k move down by one record and take their new position as id.
    QByteArray expected = before;
    expected.remove(c0.playerOffset + qsizetype(k) * 70, 70);
    for (int j = k; j < c0.playerAttributes - 1; ++j)
        expected.replace(c0.playerOffset + qsizetype(j) * 70, 4, le32(std::uint32_t(j)));
    for (int i = 0; i < c0.persons; ++i) {
        const std::int32_t old = indices[std::size_t(i)];
        const std::int32_t now = i == owner ? -1 : old > k ? old - 1 : old;
        expected.replace(qsizetype(i) * 157 + 145, 4, le32(std::uint32_t(now)));
    }
    QCOMPARE(after, expected);
    QCOMPARE(person(db, owner)->staffAttributes(), ownStaff);

    // The class is the caller's to change; with it the tables are sound again.
    person(db, owner)->setClassification(ownStaff >= 0 ? Classification::NonPlayer
                                                       : Classification::Unknown);
    QVERIFY_SOUND(db);
}

void tst_PersonTables::bytesBehindTheRecordsStayBehind_data()
{
    QTest::addColumn<QString>("operation");
    QTest::newRow("new player") << "player";
    QTest::newRow("new staff") << "staff";
    QTest::newRow("player attributes removed") << "remove";
}

void tst_PersonTables::bytesBehindTheRecordsStayBehind()
{
    QFETCH(QString, operation);
    Database db;
    QVERIFY(mInstall->loadInto(db));
    // Not a whole record, so any table placed by the file size would be misaligned.
    const QByteArray trailer = bytes(13, 0xEE);
    db.image(DataFile::Staff).append(trailer);
    QVERIFY_SOUND(db);

    if (operation == QLatin1String("remove")) {
        const int owner = findPerson(db, [](const PersonRecord &p) {
            return p.playerAttributes() == 3;
        });
        QVERIFY(kx3::removePlayerAttributes(db, owner));
        person(db, owner)->setClassification(person(db, owner)->staffAttributes() >= 0 ? 1 : 0);
    } else {
        QVERIFY(createPerson(db, operation == QLatin1String("player")
                                     ? NewPersonKind::NewPlayer
                                     : NewPersonKind::NewStaff));
    }

    const StaffCounters &c = db.counters();
    const QByteArray after = staffBytes(db);
    QCOMPARE(after.size(), qsizetype(c.playerOffset) + qsizetype(c.playerAttributes) * 70 + 13);
    QCOMPARE(after.right(13), trailer);
    for (int j = 0; j < c.playerAttributes; ++j)
        QCOMPARE(playerAttributes(db, j)->id(), j);
    for (int j = 0; j < c.staffAttributes; ++j)
        QCOMPARE(staffAttributes(db, j)->id(), j);
    if (operation == QLatin1String("player")) {
        QCOMPARE(after.mid(c.playerOffset + qsizetype(c.playerAttributes - 1) * 70, 70),
                 expectedPlayerAttributes(c.playerAttributes - 1));
    }
    QVERIFY_SOUND(db);
}

void tst_PersonTables::refusalsChangeNothing()
{
    struct Case
    {
        const char *name;
        std::function<void(Database &)> tweak;
        std::function<bool(Database &)> run; // true when the operation was refused
    };
    auto withPlayerRecord = [](Database &db) {
        return findPerson(db, [](const PersonRecord &p) { return p.playerAttributes() >= 0; });
    };
    auto withStaffRecord = [](Database &db) {
        return findPerson(db, [](const PersonRecord &p) { return p.staffAttributes() >= 0; });
    };
    auto withoutPlayerRecord = [](Database &db) {
        return findPerson(db, [](const PersonRecord &p) { return p.playerAttributes() < 0; });
    };
    auto none = [](Database &) {};
    const std::vector<Case> cases = {
        {"person append, OS out of step", [](Database &db) { db.counters().staffOffset += 1; },
         [](Database &db) { return !kx3::appendPerson(db, NewPersonKind::NewPlayer); }},
        {"create, tables end past the file",
         [](Database &db) { db.counters().playerAttributes += 1; },
         [](Database &db) { return !createPerson(db, NewPersonKind::NewStaff); }},
        {"player attributes for a person owning some", none,
         [&](Database &db) { return !appendPlayerAttributes(db, withPlayerRecord(db)); }},
        {"player attributes for person N", none,
         [](Database &db) { return !appendPlayerAttributes(db, db.counters().persons); }},
        {"staff attributes for a person owning some", none,
         [&](Database &db) { return !insertStaffAttributes(db, withStaffRecord(db)); }},
        {"staff attributes for person -1", none,
         [](Database &db) { return !insertStaffAttributes(db, -1); }},
        {"removal from a person owning none", none,
         [&](Database &db) { return !kx3::removePlayerAttributes(db, withoutPlayerRecord(db)); }},
        {"removal of a record index past P",
         [&](Database &db) {
             person(db, withoutPlayerRecord(db))->setPlayerAttributes(db.counters()
                                                                          .playerAttributes);
         },
         [&](Database &db) {
             const int p = findPerson(db, [&db](const PersonRecord &r) {
                 return r.playerAttributes() == db.counters().playerAttributes;
             });
             return !kx3::removePlayerAttributes(db, p);
         }},
    };
    for (const Case &c : cases) {
        Database db;
        QVERIFY(mInstall->loadInto(db));
        c.tweak(db);
        const QByteArray before = staffBytes(db);
        const StaffCounters counters = db.counters();
        QVERIFY2(c.run(db), c.name);
        QVERIFY2(staffBytes(db) == before, c.name);
        QVERIFY2(db.counters() == counters, c.name);
    }
}

void tst_PersonTables::tableOfContentsAfterSave_data()
{
    appendPerson_data();
}

void tst_PersonTables::tableOfContentsAfterSave()
{
    QFETCH(NewPersonKind, kind);
    BuilderOptions options;
    options.persons = 60;
    test::TestInstallation install(options);
    QVERIFY2(install.isValid(), qPrintable(install.errorString()));
    Database db;
    QVERIFY(install.loadInto(db));
    const StaffCounters c = db.counters();
    QVERIFY(createPerson(db, kind));
    QVERIFY2(db.save(), qPrintable(db.errorString()));

    QFile file(install.filePath(DataFile::Index));
    QVERIFY(file.open(QIODevice::ReadOnly));
    const DataImage toc(file.readAll());
    const bool player = kind == NewPersonKind::NewPlayer;
    QCOMPARE(toc.i32(Toc::PersonCount), c.persons + 1);
    QCOMPARE(toc.i32(Toc::PersonTableSize), (c.persons + 1) * 157);
    QCOMPARE(toc.i32(Toc::StaffAttributeCount), c.staffAttributes + (player ? 0 : 1));
    QCOMPARE(toc.i32(Toc::StaffAttributeOffset), c.staffOffset + 157);
    QCOMPARE(toc.i32(Toc::PlayerAttributeCount), c.playerAttributes + (player ? 1 : 0));
    QCOMPARE(toc.i32(Toc::PlayerAttributeOffset), c.playerOffset + 157 + (player ? 0 : 68));
    QCOMPARE(QFileInfo(install.filePath(DataFile::Staff)).size(),
             qint64(toc.i32(Toc::PlayerAttributeOffset))
                 + qint64(toc.i32(Toc::PlayerAttributeCount)) * 70);

    Database reloaded;
    QVERIFY(install.loadInto(reloaded));
    QCOMPARE(reloaded.counters(), db.counters());
    QCOMPARE(person(reloaded, c.persons)->classification(),
             player ? Classification::Player : Classification::NonPlayer);
    QVERIFY_SOUND(reloaded);
}

QTEST_GUILESS_MAIN(tst_PersonTables)
#include "tst_PersonTables.moc"
