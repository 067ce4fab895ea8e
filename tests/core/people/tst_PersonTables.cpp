#include "RecordsTestSupport.h"
#include "TestDatabase.h"

#include "core/db/Database.h"
#include "core/layout/CodeLists.h"
#include "core/layout/PersonRecord.h"
#include "core/layout/PlayerAttributes.h"
#include "core/layout/StaffAttributes.h"
#include "core/people/PersonTables.h"

#include <QFile>
#include <QFileInfo>
#include <QTest>

#include <functional>
#include <memory>

using namespace kx3;
using kx3::test::findPerson;
using kx3::test::le16;
using kx3::test::le32;

Q_DECLARE_METATYPE(kx3::NewPersonKind)

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
    const QByteArray none = le32(std::uint32_t(-1));
    const QByteArray noClub = le32(std::uint32_t(-2));
    QByteArray b = le32(std::uint32_t(index));
    b += bytes(12, 0);                       // name indices, resolved by the confirm
    b += date(31, 1900, 0) + le16(0);        // born 1 February 1900; +24
    b += none + noClub + bytes(2, 0);        // nationality "<none>", second none; caps, goals
    b += noClub + bytes(1, 0) + bytes(8, 0); // national team, job, join date
    b += date(31, 1900, 1);                  // national contract end
    b += noClub;                             // no club
    b += bytes(1, kind == NewPersonKind::NewPlayer ? 11 : 5);
    b += date(1, 1996, 0) + date(31, 1900, 0);    // joined 2 January 1996; contract end
    b += le32(0) + le32(0) + bytes(8, 0);         // wage, value, mental ratings
    b += bytes(1, 1) + bytes(1, 0) + bytes(1, 0); // plays in; class "<unknown>"; +96
    b += noClub.repeated(6) + none.repeated(6);   // club, then person relationships
    return b + none.repeated(3);                  // player attributes, +149, staff attributes
}

QByteArray expectedPlayerAttributes(int index)
{
    return le32(std::uint32_t(index)) + bytes(65, 0) + bytes(1, 2);
}

QByteArray expectedStaffAttributes(int index)
{
    return le32(std::uint32_t(index)) + bytes(31, 0) + le32(std::uint32_t(-1)).repeated(8)
           + bytes(1, 3);
}

QByteArray staffBytes(const Database &db)
{
    return db.image(DataFile::Staff).bytes();
}

/// Drops both attribute tables (S = 0, P = 0): every person becomes "<unknown>".
void dropAttributeTables(Database &db)
{
    StaffCounters &c = db.counters();
    for (int i = 0; i < c.persons; ++i) {
        PersonRecord p = *person(db, i);
        p.setPlayerAttributes(-1);
        p.setStaffAttributes(-1);
        p.setClassification(Classification::Unknown);
    }
    db.image(DataFile::Staff).setBytes(staffBytes(db).left(c.staffOffset));
    c = StaffCounters{c.persons, 0, c.staffOffset, 0, c.staffOffset};
}

} // namespace

class tst_PersonTables : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void initTestCase();
    void appendPerson_data();
    void appendPerson();
    void removePlayerAttributes_data();
    void removePlayerAttributes();
    void refusalsChangeNothing();
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
    QTest::addColumn<bool>("emptyTables");
    QTest::addColumn<QByteArray>("trailer");
    const NewPersonKind P = NewPersonKind::NewPlayer;
    const NewPersonKind S = NewPersonKind::NewStaff;
    // Not a whole record, so any table placed by the file size would be misaligned.
    const QByteArray trailer = bytes(13, 0xEE);
    QTest::newRow("player") << P << false << QByteArray();
    QTest::newRow("staff") << S << false << QByteArray();
    QTest::newRow("player, S = 0 and P = 0") << P << true << QByteArray();
    QTest::newRow("staff, S = 0 and P = 0") << S << true << QByteArray();
    QTest::newRow("player, bytes behind the tables") << P << false << trailer;
    QTest::newRow("staff, bytes behind the tables") << S << false << trailer;
}

void tst_PersonTables::appendPerson()
{
    QFETCH(NewPersonKind, kind);
    QFETCH(bool, emptyTables);
    QFETCH(QByteArray, trailer);
    Database db;
    Database other;
    for (Database *d : {&db, &other}) {
        QVERIFY(mInstall->loadInto(*d));
        if (emptyTables)
            dropAttributeTables(*d);
        d->image(DataFile::Staff).append(trailer);
        KX3_VERIFY_SOUND(*d);
    }
    const StaffCounters c = db.counters();
    const bool player = kind == NewPersonKind::NewPlayer;

    const std::optional<int> index = kx3::appendPerson(db, kind);
    QCOMPARE(index, std::optional<int>(c.persons));
    // Earlier persons keep every byte (their attribute indices are indices, not
    // offsets); both attribute tables move up whole. The check holds OS and OP
    // to the new N.
    QByteArray after = staffBytes(other);
    after.insert(c.staffOffset, expectedNewPerson(c.persons, kind));
    QCOMPARE(staffBytes(db), after);
    KX3_VERIFY_SOUND(db);

    const int p = c.persons;
    const int k = player ? c.playerAttributes : c.staffAttributes;
    if (player) {
        QCOMPARE(appendPlayerAttributes(db, p), std::optional<int>(k));
        after.replace(qsizetype(p) * 157 + 145, 4, le32(std::uint32_t(k)));
        after.insert(c.playerOffset + 157 + qsizetype(k) * 70, expectedPlayerAttributes(k));
    } else {
        // The staff record goes between the tables: the player attribute table moves 68 up.
        QCOMPARE(insertStaffAttributes(db, p), std::optional<int>(k));
        after.replace(qsizetype(p) * 157 + 153, 4, le32(std::uint32_t(k)));
        after.insert(c.playerOffset + 157, expectedStaffAttributes(k));
    }
    QCOMPARE(staffBytes(db), after);
    const int added = player ? 0 : 1; // staff records added
    QCOMPARE(db.counters(),
             (StaffCounters{c.persons + 1, c.staffAttributes + added, c.staffOffset + 157,
                            c.playerAttributes + 1 - added, c.playerOffset + 157 + 68 * added}));
    KX3_VERIFY_SOUND(db);

    // createPerson is the same two steps plus the class the record now supports.
    person(db, p)->setClassification(player ? Classification::Player : Classification::NonPlayer);
    QCOMPARE(createPerson(other, kind), index);
    QCOMPARE(staffBytes(other), staffBytes(db));
    QCOMPARE(other.counters(), db.counters());
    KX3_VERIFY_SOUND(other);
}

void tst_PersonTables::removePlayerAttributes_data()
{
    QTest::addColumn<bool>("last");
    QTest::addColumn<bool>("ownsStaffRecord");
    QTest::addColumn<QByteArray>("trailer");
    QTest::newRow("middle record") << false << false << QByteArray();
    QTest::newRow("last record") << true << false << QByteArray();
    QTest::newRow("record of a Player/Non-Player") << false << true << QByteArray();
    QTest::newRow("last record, bytes behind") << true << false << bytes(13, 0xEE);
}

void tst_PersonTables::removePlayerAttributes()
{
    QFETCH(bool, last);
    QFETCH(bool, ownsStaffRecord);
    QFETCH(QByteArray, trailer);
    Database db;
    QVERIFY(mInstall->loadInto(db));
    db.image(DataFile::Staff).append(trailer);
    const StaffCounters c0 = db.counters();
    const int want = last ? c0.playerAttributes - 1 : c0.playerAttributes / 2;
    const int owner = findPerson(db, [&](const PersonRecord &p) {
        return ownsStaffRecord ? p.classification() == Classification::PlayerNonPlayer
                               : p.playerAttributes() == want;
    });
    QVERIFY(owner >= 0);
    const int k = person(db, owner)->playerAttributes();
    const std::int32_t ownStaff = person(db, owner)->staffAttributes();
    const QByteArray before = staffBytes(db);

    QVERIFY(kx3::removePlayerAttributes(db, owner));

    QCOMPARE(db.counters(), (StaffCounters{c0.persons, c0.staffAttributes, c0.staffOffset,
                                           c0.playerAttributes - 1, c0.playerOffset}));
    // Records behind k move down by one record and take their new position as id;
    // every index into them follows.
    QByteArray expected = before;
    expected.remove(c0.playerOffset + qsizetype(k) * 70, 70);
    for (int j = k; j < c0.playerAttributes - 1; ++j)
        expected.replace(c0.playerOffset + qsizetype(j) * 70, 4, le32(std::uint32_t(j)));
    for (int i = 0; i < c0.persons; ++i) {
        const std::int32_t old = DataImage(before).i32(qsizetype(i) * 157 + 145);
        const std::int32_t now = i == owner ? -1 : old > k ? old - 1 : old;
        expected.replace(qsizetype(i) * 157 + 145, 4, le32(std::uint32_t(now)));
    }
    QCOMPARE(staffBytes(db), expected);
    QCOMPARE(person(db, owner)->staffAttributes(), ownStaff);

    // The class is the caller's to change; with it the tables are sound again.
    person(db, owner)->setClassification(ownStaff >= 0 ? Classification::NonPlayer
                                                       : Classification::Unknown);
    KX3_VERIFY_SOUND(db);
}

void tst_PersonTables::refusalsChangeNothing()
{
    Database db;
    QVERIFY(mInstall->loadInto(db));
    auto owner = [&db](bool player, bool owns) {
        return findPerson(db, [=](const PersonRecord &p) {
            return ((player ? p.playerAttributes() : p.staffAttributes()) >= 0) == owns;
        });
    };
    const int withPlayer = owner(true, true);
    const int withStaff = owner(false, true);
    const int withoutPlayer = owner(true, false);
    auto refused = [&db](const std::function<bool()> &operation) {
        const QByteArray before = staffBytes(db);
        const StaffCounters counters = db.counters();
        return !operation() && staffBytes(db) == before && db.counters() == counters;
    };
    QVERIFY(refused([&] { return bool(appendPlayerAttributes(db, withPlayer)); }));
    QVERIFY(refused([&] { return bool(appendPlayerAttributes(db, db.counters().persons)); }));
    QVERIFY(refused([&] { return bool(insertStaffAttributes(db, withStaff)); }));
    QVERIFY(refused([&] { return bool(insertStaffAttributes(db, -1)); }));
    QVERIFY(refused([&] { return kx3::removePlayerAttributes(db, withoutPlayer); }));
    // A record index past P.
    person(db, withoutPlayer)->setPlayerAttributes(db.counters().playerAttributes);
    QVERIFY(refused([&] { return kx3::removePlayerAttributes(db, withoutPlayer); }));
    // OS out of step, then the tables ending past the file.
    db.counters().staffOffset += 1;
    QVERIFY(refused([&] { return bool(kx3::appendPerson(db, NewPersonKind::NewPlayer)); }));
    db.counters().staffOffset -= 1;
    db.counters().playerAttributes += 1;
    QVERIFY(refused([&] { return bool(createPerson(db, NewPersonKind::NewStaff)); }));
}

void tst_PersonTables::tableOfContentsAfterSave()
{
    BuilderOptions options;
    options.persons = 60;
    test::TestInstallation install(options);
    QVERIFY2(install.isValid(), qPrintable(install.errorString()));
    Database db;
    QVERIFY(install.loadInto(db));
    const std::optional<int> player = createPerson(db, NewPersonKind::NewPlayer);
    const std::optional<int> staff = createPerson(db, NewPersonKind::NewStaff);
    QVERIFY(player && staff);
    const int owner = findPerson(
        db, [](const PersonRecord &p) { return p.classification() == Classification::Player; });
    QVERIFY(kx3::removePlayerAttributes(db, owner));
    person(db, owner)->setClassification(Classification::Unknown);
    QVERIFY2(db.save(), qPrintable(db.errorString()));

    // The counters were checked against the tables above; index.dat takes them.
    const StaffCounters &c = db.counters();
    QFile file(install.filePath(DataFile::Index));
    QVERIFY(file.open(QIODevice::ReadOnly));
    const DataImage toc(file.readAll());
    QCOMPARE(toc.i32(Toc::PersonCount), c.persons);
    QCOMPARE(toc.i32(Toc::PersonTableSize), c.persons * 157);
    QCOMPARE(toc.i32(Toc::StaffAttributeCount), c.staffAttributes);
    QCOMPARE(toc.i32(Toc::StaffAttributeOffset), c.staffOffset);
    QCOMPARE(toc.i32(Toc::PlayerAttributeCount), c.playerAttributes);
    QCOMPARE(toc.i32(Toc::PlayerAttributeOffset), c.playerOffset);
    QCOMPARE(QFileInfo(install.filePath(DataFile::Staff)).size(),
             qint64(c.playerOffset) + qint64(c.playerAttributes) * 70);

    Database reloaded;
    QVERIFY(install.loadInto(reloaded));
    QCOMPARE(reloaded.counters(), c);
    QCOMPARE(person(reloaded, *player)->classification(), Classification::Player);
    QCOMPARE(person(reloaded, *staff)->classification(), Classification::NonPlayer);
    KX3_VERIFY_SOUND(reloaded);
}

QTEST_GUILESS_MAIN(tst_PersonTables)
#include "tst_PersonTables.moc"
