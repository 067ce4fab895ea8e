#include "RecordViewChecks.h"
#include "TestDatabase.h"

#include "core/layout/CodeLists.h"
#include "core/layout/PersonRecord.h"
#include "core/layout/PlayerAttributes.h"
#include "core/layout/StaffAttributes.h"

#include <QTest>

#include <algorithm>
#include <set>

using namespace kx3;
using kx3::test::le16;
using kx3::test::le32;
using kx3::test::u8;

namespace {

QByteArray date(RecordDate d)
{
    return le16(d.dayOfYear) + le16(d.year) + le32(d.leapFlag);
}

} // namespace

class tst_PersonRecord : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void fieldsAtTheirOffsets();
    void viewsOnlyForIndicesInRange();
    void codeLists();
};

void tst_PersonRecord::fieldsAtTheirOffsets()
{
    {
        using V = PersonRecord;
        const RecordDate d1{59, 1972, 1}, d2{300, 2001, 0}, d3{1, 1999, 0}, d4{31, 1900, 1};
        const std::vector<test::FieldProbe<V>> probes = {
            PROBE(0, le32(0x01020304), Id, id, 0x01020304),
            PROBE(4, le32(0x11121314), FirstName, firstName, 0x11121314),
            PROBE(8, le32(77), SecondName, secondName, 77),
            PROBE(12, le32(78), CommonName, commonName, 78),
            PROBE(16, date(d1), DateOfBirth, dateOfBirth, d1),
            PROBE(26, le32(9), Nationality, nationality, 9),
            PROBE(30, le32(-2), SecondNationality, secondNationality, -2),
            PROBE(34, u8(200), Caps, caps, 200),
            PROBE(35, u8(45), Goals, goals, 45),
            PROBE(36, le32(152), NationalTeam, nationalTeam, 152),
            PROBE(40, u8(5), NationalJob, nationalJob, 5),
            PROBE(41, date(d2), NationalJoined, nationalJoined, d2),
            PROBE(49, date(d4), NationalContractEnd, nationalContractEnd, d4),
            PROBE(57, le32(0x00ABCDEF), Club, club, 0x00ABCDEF),
            PROBE(61, u8(15), Job, job, 15),
            PROBE(62, date(d3), Joined, joined, d3),
            PROBE(70, date(d2), ContractEnd, contractEnd, d2),
            PROBE(78, le32(123456), Wage, wage, 123456),
            PROBE(82, le32(7654321), Value, value, 7654321),
            PROBE_AT(86, u8(11), MentalRating, mentalRating, 0, 11),
            PROBE_AT(93, u8(18), MentalRating, mentalRating, 7, 18),
            PROBE(94, u8(2), PlaysIn, playsIn, 2),
            PROBE(95, u8(3), Classification, classification, 3),
            PROBE_AT(97, le32(-2), Relationship, relationship, 0, -2),
            PROBE_AT(141, le32(4444), Relationship, relationship, 11, 4444),
            PROBE(145, le32(321), PlayerAttributes, playerAttributes, 321),
            PROBE(153, le32(-1), StaffAttributes, staffAttributes, -1),
            {"truncated byte", 34, u8(0x2C), [](V &p) { return p.setCaps(300); },
             [](const V &p) { return p.caps() == 44; }},
        };
        test::checkFieldProbes(RecordSize::Person, probes);
    }
    {
        using V = PlayerAttributes;
        const std::vector<test::FieldProbe<V>> probes = {
            PROBE(0, le32(99), Id, id, 99),
            PROBE(4, u8(23), SquadNumber, squadNumber, 23),
            PROBE(5, le16(180), CurrentAbility, currentAbility, 180),
            PROBE(7, le16(0xFFFE), PotentialAbility, potentialAbility, -2),
            PROBE(9, le16(0x1234), HomeReputation, homeReputation, 0x1234),
            PROBE(11, le16(0x0506), CurrentReputation, currentReputation, 0x0506),
            PROBE(13, le16(0x0708), WorldReputation, worldReputation, 0x0708),
            PROBE_AT(15, u8(19), PositionRating, positionRating, 0, 19),
            PROBE_AT(26, u8(17), PositionRating, positionRating, 11, 17),
            PROBE_AT(27, u8(16), PlayingRating, playingRating, 0, 16),
            PROBE_AT(68, u8(15), PlayingRating, playingRating, 41, 15),
        };
        test::checkFieldProbes(RecordSize::PlayerAttributes, probes);
    }
    {
        using V = StaffAttributes;
        const std::vector<test::FieldProbe<V>> probes = {
            PROBE(0, le32(98), Id, id, 98),
            PROBE(4, le16(150), CurrentAbility, currentAbility, 150),
            PROBE(6, le16(151), PotentialAbility, potentialAbility, 151),
            PROBE(8, le16(152), HomeReputation, homeReputation, 152),
            PROBE(10, le16(153), CurrentReputation, currentReputation, 153),
            PROBE(12, le16(154), WorldReputation, worldReputation, 154),
            PROBE_AT(14, u8(12), Rating, rating, 0, 12),
            PROBE_AT(34, u8(13), Rating, rating, 20, 13),
            PROBE(67, u8(9), Formation, formation, 9),
        };
        test::checkFieldProbes(RecordSize::StaffAttributes, probes);
    }

    // Slots past the arrays are refused without touching the record.
    DataImage image(QByteArray(RecordSize::Person, '\0'));
    PersonRecord p(&image, 0);
    QVERIFY(!p.setRelationship(12, 1));
    QVERIFY(!p.setMentalRating(8, 1));
    QCOMPARE(image.bytes(), QByteArray(RecordSize::Person, '\0'));
    QVERIFY(PersonRelationship::isClubSlot(5) && !PersonRelationship::isClubSlot(6));
}

void tst_PersonRecord::viewsOnlyForIndicesInRange()
{
    Database db;
    // Two persons, one staff attribute record, two player attribute records;
    // the file is one byte short of holding the second player record.
    db.image(DataFile::Staff).setBytes(QByteArray(2 * 157 + 68 + 2 * 70 - 1, '\0'));
    db.counters() = StaffCounters{2, 1, 314, 2, 382};
    QCOMPARE(person(db, 1)->offset(), qsizetype(157));
    QVERIFY(!person(db, 2));
    QVERIFY(!person(db, -1));
    QCOMPARE(staffAttributes(db, 0)->offset(), qsizetype(314));
    QVERIFY(!staffAttributes(db, 1));
    QCOMPARE(playerAttributes(db, 0)->offset(), qsizetype(382));
    QVERIFY(!playerAttributes(db, 1));
    using kx3::test::readOnlyFindsTheSame;
    QVERIFY(readOnlyFindsTheSame(
        db, [](auto &d, qsizetype i) { return person(d, i); }, -1, 3));
    QVERIFY(readOnlyFindsTheSame(
        db, [](auto &d, qsizetype i) { return staffAttributes(d, i); }, -1, 2));
    QVERIFY(readOnlyFindsTheSame(
        db, [](auto &d, qsizetype i) { return playerAttributes(d, i); }, -1, 2));

    // A person's attribute index is range-checked before use.
    PersonRecord p = *person(db, 0);
    p.setPlayerAttributes(7);
    p.setStaffAttributes(-1);
    QVERIFY(!playerAttributesOf(db, p));
    QVERIFY(!staffAttributesOf(db, p));
    p.setStaffAttributes(0);
    QVERIFY(staffAttributesOf(db, p));
    QCOMPARE(staffAttributesOf(std::as_const(db), *person(std::as_const(db), 0))->offset(),
             qsizetype(314));

    // A counter larger than the file never yields a view past its end.
    db.counters().persons = 1000;
    QVERIFY(!person(db, 3));
}

void tst_PersonRecord::codeLists()
{
    // A list declared longer than its items would hand out null names.
    auto complete = [](const auto &list) {
        return std::all_of(list.begin(), list.end(), [](const char *s) { return s; });
    };
    QVERIFY(complete(JobNames) && complete(StaffListJobNames) && complete(InjuryNames));
    QVERIFY(complete(ClassificationNames) && complete(PlaysInNames) && complete(FormationNames));
    QCOMPARE(QByteArray(staffListJobName(6)), QByteArray("Assistant Man"));
    QCOMPARE(QByteArray(staffListJobName(16)), QByteArray("<unknown>"));
    QCOMPARE(QByteArray(staffListJobName(-1)), QByteArray("<unknown>"));
    QCOMPARE(QByteArray(codeName(JobNames, 17, "?")), QByteArray("?"));
    QVERIFY(Job::isCombined(12) && Job::isCombined(15) && !Job::isCombined(11));
    QVERIFY(Classification::hasPlayerAttributes(4) && !Classification::hasPlayerAttributes(1));
    QVERIFY(Classification::hasStaffAttributes(3) && !Classification::hasStaffAttributes(2));
}

QTEST_GUILESS_MAIN(tst_PersonRecord)
#include "tst_PersonRecord.moc"
