#include "RecordViewChecks.h"
#include "TestDatabase.h"

#include "core/layout/CityRecord.h"
#include "core/layout/CompetitionRecord.h"
#include "core/layout/NameEntry.h"
#include "core/layout/NationCompHistoryRecord.h"
#include "core/layout/OfficialRecord.h"
#include "core/layout/StadiumRecord.h"

#include <QTest>

using namespace kx3;
using kx3::test::le16;
using kx3::test::le32;
using kx3::test::u8;
using kx3::test::fixedText;
using kx3::test::le64;

class tst_WorldRecords : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void fieldsAtTheirOffsets();
    void fullWidthNames();
    void viewsOnlyForIndicesInRange();
};

void tst_WorldRecords::fieldsAtTheirOffsets()
{
    {
        using V = CityRecord;
        const std::vector<test::FieldProbe<V>> probes = {
            PROBE(0, le32(12), Id, id, 12),
            PROBE(4, fixedText("Newport", 27), Name, name, "Newport"),
            PROBE(31, le32(-2), Nation, nation, -2),
            PROBE(35, le64(51.5), Latitude, latitude, 51.5),
            PROBE(43, le64(-0.1275), Longitude, longitude, -0.1275),
            {"attraction", 51, u8(0x2C), [](V &c) { return c.setAttraction(300); },
             [](const V &c) { return c.attraction() == 44; }},
            PROBE(52, le32(30), Climate, climate, 30),
        };
        test::checkFieldProbes(RecordSize::City, probes);
    }
    {
        using V = StadiumRecord;
        const std::vector<test::FieldProbe<V>> probes = {
            PROBE(0, le32(3), Id, id, 3),
            PROBE(4, fixedText("Northgate Park", 52), Name, name, "Northgate Park"),
            PROBE(56, le32(9), City, city, 9),
            PROBE(60, le32(45000), Capacity, capacity, 45000),
            PROBE(64, le32(30000), Seating, seating, 30000),
            PROBE(68, le32(5000), Expansion, expansion, 5000),
            PROBE(72, le32(-2), Nearby, nearby, -2),
            PROBE(76, u8(255), RetractableRoof, retractableRoof, 255),
            PROBE(77, u8(255), UnderSoilHeating, underSoilHeating, 255),
        };
        test::checkFieldProbes(RecordSize::Stadium, probes);
    }
    {
        using V = OfficialRecord;
        const RecordDate dob{59, 1960, 1};
        const std::vector<test::FieldProbe<V>> probes = {
            PROBE(0, le32(4), Id, id, 4),
            PROBE(4, le32(100), FirstName, firstName, 100),
            PROBE(8, le32(101), SecondName, secondName, 101),
            PROBE(12, le16(59) + le16(1960) + le32(1), DateOfBirth, dateOfBirth, dob),
            PROBE(22, le32(-1), Nation, nation, -1),
            PROBE(26, le32(8), City, city, 8),
            PROBE(30, le16(200), CurrentAbility, currentAbility, 200),
            PROBE(32, le16(0xFFFF), PotentialAbility, potentialAbility, -1),
            PROBE(34, le16(150), CurrentReputation, currentReputation, 150),
            PROBE_AT(36, u8(20), CommonRating, commonRating, 0, 20),
            PROBE_AT(42, u8(19), CommonRating, commonRating, 6, 19),
        };
        test::checkFieldProbes(RecordSize::Official, probes);
    }
    {
        using V = CompetitionRecord;
        const std::vector<test::FieldProbe<V>> probes = {
            PROBE(0, le32(2), Id, id, 2),
            PROBE(4, QByteArray("Premier").leftJustified(103, 0), Name, name, "Premier"),
        };
        test::checkFieldProbes(RecordSize::Competition, probes);
    }
    {
        using V = NationCompHistoryRecord;
        const std::vector<test::FieldProbe<V>> probes = {
            PROBE_AT(10, le32(250), Team, team, 0, 250),
            PROBE_AT(22, le32(301), Team, team, 3, 301),
        };
        test::checkFieldProbes(RecordSize::NationCompHistory, probes);
    }
    {
        using V = NameEntry;
        const std::vector<test::FieldProbe<V>> probes = {
            PROBE(0, QByteArray("Smith").leftJustified(51, 0), Text, text, "Smith"),
            PROBE(51, le32(17), Id, id, 17),
            PROBE(55, le32(-2), NationKey, nationKey, NoNationKey),
            PROBE(59, u8(255), UsageCount, usageCount, 255),
        };
        test::checkFieldProbes(RecordSize::NameEntry, probes);
    }
}

void tst_WorldRecords::fullWidthNames()
{
    // A 26-character city name fills the field up to its 0xFF.
    DataImage cities(QByteArray(RecordSize::City, '\0'));
    CityRecord c(&cities, 0);
    QVERIFY(c.setName(QByteArray(26, 'q')));
    QCOMPARE(c.name(), QByteArray(26, 'q'));
    QCOMPARE(quint8(cities.bytes().at(30)), quint8(0xFF));

    // A 51-character name entry fills its text with no zero byte.
    DataImage names(QByteArray(RecordSize::NameEntry, char(0x01)));
    NameEntry e(&names, 0);
    QVERIFY(e.setText(QByteArray(51, 'n')));
    QCOMPARE(e.text(), QByteArray(51, 'n'));
    QCOMPARE(names.bytes().at(51), char(0x01));
}

void tst_WorldRecords::viewsOnlyForIndicesInRange()
{
    Database db;
    db.image(DataFile::City).setBytes(QByteArray(2 * 56 + 55, '\0'));
    db.image(DataFile::Stadium).setBytes(QByteArray(78, '\0'));
    db.image(DataFile::Officials).setBytes(QByteArray(42, '\0'));
    db.image(DataFile::ClubComp).setBytes(QByteArray(107 * 2, '\0'));
    db.image(DataFile::NationCompHistory).setBytes(QByteArray(26, '\0'));
    db.image(DataFile::FirstNames).setBytes(QByteArray(120, '\0'));
    QCOMPARE(cityCount(db), 2);
    QVERIFY(city(db, 1) && !city(db, 2));
    QVERIFY(stadium(db, 0) && !stadium(db, 1));
    QCOMPARE(officialCount(db), 0);
    QVERIFY(!official(db, 0));
    QVERIFY(competition(db, 1) && !competition(db, 2) && !competition(db, -1));
    QVERIFY(nationCompHistory(db, 0) && !nationCompHistory(db, 1));
    QVERIFY(nameEntry(db.image(DataFile::FirstNames), 1));
    QVERIFY(!nameEntry(db.image(DataFile::FirstNames), 2));

    using kx3::test::readOnlyFindsTheSame;
    QVERIFY(readOnlyFindsTheSame(
        db, [](auto &d, qsizetype i) { return city(d, i); }, -1, 3));
    QVERIFY(readOnlyFindsTheSame(
        db, [](auto &d, qsizetype i) { return stadium(d, i); }, -1, 2));
    QVERIFY(readOnlyFindsTheSame(
        db, [](auto &d, qsizetype i) { return official(d, i); }, -1, 1));
    QVERIFY(readOnlyFindsTheSame(
        db, [](auto &d, qsizetype i) { return competition(d, i); }, -1, 3));
    QVERIFY(readOnlyFindsTheSame(
        db, [](auto &d, qsizetype i) { return nationCompHistory(d, i); }, -1, 2));
    QVERIFY(readOnlyFindsTheSame(
        db, [](auto &d, qsizetype i) { return nameEntry(d.image(DataFile::FirstNames), i); }, -1,
        3));
}

QTEST_GUILESS_MAIN(tst_WorldRecords)
#include "tst_WorldRecords.moc"
