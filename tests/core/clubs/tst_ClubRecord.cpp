#include "RecordViewChecks.h"
#include "TestDatabase.h"

#include "core/layout/ClubRecord.h"
#include "core/layout/HistoryRecord.h"
#include "core/layout/KitColours.h"

#include <QTest>

using namespace kx3;
using kx3::test::le16;
using kx3::test::le32;
using kx3::test::u8;
using kx3::test::fixedText;

class tst_ClubRecord : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void fieldsAtTheirOffsets();
    void fullWidthNamesKeepEveryCharacter();
    void under21Boundary_data();
    void under21Boundary();
    void viewsOnlyForIndicesInRange();
    void slotRangesByJob();
    void kitColourMapping();
};

void tst_ClubRecord::fieldsAtTheirOffsets()
{
    {
        using V = ClubRecord;
        const std::vector<test::FieldProbe<V>> probes = {
            PROBE(0, le32(0x0A0B0C0D), Id, id, 0x0A0B0C0D),
            PROBE(4, fixedText("Northgate Rovers", 52), LongName, longName, "Northgate Rovers"),
            PROBE(56, fixedText("Northgate", 27), ShortName, shortName, "Northgate"),
            PROBE(83, le32(12), Nation, nation, 12),
            PROBE(87, le32(3), Division, division, 3),
            PROBE(91, le32(4), LastDivision, lastDivision, 4),
            PROBE(95, u8(17), LastPosition, lastPosition, 17),
            PROBE(96, le32(-2), OtherDivision, otherDivision, -2),
            PROBE(100, u8(2), Status, status, 2),
            PROBE(101, le32(0x7FFFFFFF), Cash, cash, 0x7FFFFFFF),
            PROBE(105, le32(41), MainStadium, mainStadium, 41),
            PROBE(109, u8(255), OwnStadium, ownStadium, 255),
            PROBE(110, le32(42), ReserveStadium, reserveStadium, 42),
            PROBE(114, u8(6), HomeMatchDay, homeMatchDay, 6),
            PROBE(115, le32(23000), AverageAttendance, averageAttendance, 23000),
            PROBE(119, le32(9000), MinimumAttendance, minimumAttendance, 9000),
            PROBE(123, le32(41000), MaximumAttendance, maximumAttendance, 41000),
            PROBE(127, u8(14), TrainingFacility, trainingFacility, 14),
            PROBE(128, le16(10000), Reputation, reputation, 10000),
            PROBE(128, le16(33000), Reputation, reputation, 33000 - 65536), // signed
            PROBE(130, u8(255), Plc, plc, 255),
            PROBE_AT(131, le32(24), KitColour, kitColour, 0, 24),
            PROBE_AT(151, le32(-2), KitColour, kitColour, 5, -2),
            PROBE_AT(155, le32(1234), Relationship, relationship, 0, 1234),
            PROBE_AT(187, le32(77), Relationship, relationship, 8, 77),
            PROBE_AT(191, le32(5), PositionSlot, positionSlot, 0, 5),
            PROBE_AT(471, le32(6), PositionSlot, positionSlot, 70, 6),
        };
        test::checkFieldProbes(RecordSize::Club, probes);
    }
    {
        using V = HistoryRecord;
        const std::vector<test::FieldProbe<V>> probes = {
            PROBE(0, le32(40000), Id, id, 40000),
            PROBE(4, le32(0x00010203), Person, person, 0x00010203),
            PROBE(8, le16(1998), Year, year, 1998),
            PROBE(10, le32(-3), Club, club, UnmatchedHistoryClub),
            PROBE(14, u8(0), Unused14, unused14, 0),
            PROBE(15, u8(46), Appearances, appearances, 46),
            PROBE(16, u8(21), Goals, goals, 21),
        };
        test::checkFieldProbes(RecordSize::History, probes);
    }

    // Slots past the arrays are refused without touching the record.
    DataImage image(QByteArray(RecordSize::Club, '\0'));
    ClubRecord c(&image, 0);
    QVERIFY(!c.setPositionSlot(71, 1));
    QVERIFY(!c.setRelationship(9, 1));
    QVERIFY(!c.setKitColour(6, 1));
    QCOMPARE(image.bytes(), QByteArray(RecordSize::Club, '\0'));
    QCOMPARE(c.positionSlot(71), ClubSlots::Empty);
}

void tst_ClubRecord::fullWidthNamesKeepEveryCharacter()
{
    const QByteArray longName("Sporting Club of the Northern Harbour Dockworkers X");
    QCOMPARE(longName.size(), 51);
    DataImage image(QByteArray(RecordSize::Club, char(0x33)));
    ClubRecord c(&image, 0);
    QVERIFY(c.setLongName(longName));
    QCOMPARE(image.bytes().mid(4, 51), longName);
    QCOMPARE(quint8(image.bytes().at(55)), quint8(0xFF));
    QCOMPARE(c.longName(), longName);
    // A longer text is cut to the field; the 0xFF never becomes part of the name.
    QVERIFY(c.setShortName(QByteArray(40, 'k')));
    QCOMPARE(c.shortName(), QByteArray(26, 'k'));
    QCOMPARE(quint8(image.bytes().at(82)), quint8(0xFF));
    QCOMPARE(image.bytes().at(83), char(0x33));
}

void tst_ClubRecord::under21Boundary_data()
{
    QTest::addColumn<int>("teams");
    QTest::addColumn<int>("index");
    QTest::addColumn<ClubKind>("kind");
    // After 5 clubs, the under-21 half of 7 national teams starts at byte
    // 5*581 + 7*581/2, inside team 3 (club index 8): a team is under-21 only
    // when its record starts at or past that byte.
    QTest::newRow("last club") << 7 << 4 << ClubKind::Club;
    QTest::newRow("first national team") << 7 << 5 << ClubKind::NationalTeam;
    QTest::newRow("team straddling the half") << 7 << 8 << ClubKind::NationalTeam;
    QTest::newRow("first past the half") << 7 << 9 << ClubKind::Under21Team;
    QTest::newRow("even: last senior team") << 8 << 8 << ClubKind::NationalTeam;
    QTest::newRow("even: first under-21 team") << 8 << 9 << ClubKind::Under21Team;
}

void tst_ClubRecord::under21Boundary()
{
    QFETCH(int, teams);
    QFETCH(int, index);
    QFETCH(ClubKind, kind);
    Database db;
    db.image(DataFile::Club).setBytes(QByteArray(5 * RecordSize::Club, '\0'));
    db.image(DataFile::NatClub).setBytes(QByteArray(teams * RecordSize::Club, '\0'));
    QCOMPARE(clubKind(db, index), kind);
}

void tst_ClubRecord::viewsOnlyForIndicesInRange()
{
    Database db;
    db.image(DataFile::Club).setBytes(QByteArray(2 * RecordSize::Club, '\0'));
    db.image(DataFile::NatClub).setBytes(QByteArray(2 * RecordSize::Club, '\0'));
    db.clubs().setBytes(QByteArray(4 * RecordSize::Club + 100, '\0'));
    QCOMPARE(clubTotal(db), 4);
    QCOMPARE(club(db, 3)->offset(), qsizetype(3 * 581));
    QVERIFY(!club(db, 4));
    QVERIFY(!club(db, -1));
    QCOMPARE(nationalTeamIndex(db, 1), 3);
    QCOMPARE(nationalTeamIndex(db, 2), -1);
    QCOMPARE(nationalTeamIndex(db, -2), -1);

    db.image(DataFile::StaffHistory).setBytes(QByteArray(2 * 17 + 16, '\0'));
    QCOMPARE(historyCount(db), 2);
    QVERIFY(historyRecord(db, 1));
    QVERIFY(!historyRecord(db, 2));

    using kx3::test::readOnlyFindsTheSame;
    QVERIFY(readOnlyFindsTheSame(
        db, [](auto &d, qsizetype i) { return club(d, i); }, -1, 5));
    QVERIFY(readOnlyFindsTheSame(
        db, [](auto &d, qsizetype i) { return historyRecord(d, i); }, -1, 3));
}

void tst_ClubRecord::slotRangesByJob()
{
    // By job code 0..16: first and number of staff slots, and whether the job
    // also takes a squad slot (6..55).
    const int first[] = {0, 0, 1, 1, 1, 4, 5, 5, 56, 61, 68, 0, 4, 5, 5, 56, 0};
    const int count[] = {0, 1, 3, 3, 3, 1, 1, 1, 5, 7, 3, 0, 1, 1, 1, 5, 0};
    const bool squad[] = {0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 1, 1, 1, 1, 1, 0};
    for (int job = 0; job <= 16; ++job) {
        const SlotRange staff = staffSlotRange(job);
        const SlotRange players = playerSlotRange(job);
        const QByteArray row = QByteArray::number(job);
        QVERIFY2(staff.count == count[job] && (!staff.count || staff.first == first[job]),
                 row.constData());
        QVERIFY2(players.isEmpty() != squad[job], row.constData());
        if (squad[job])
            QVERIFY(players.first == 6 && players.end() == 56);
    }
    QVERIFY(staffSlotRange(200).isEmpty() && playerSlotRange(200).isEmpty());
}

void tst_ClubRecord::kitColourMapping()
{
    // List item k shows stored colour k - 1; item 0 and anything unknown is "none".
    QCOMPARE(kitColourItem(-1), 0);
    QCOMPARE(kitColourItem(0), 1);
    QCOMPARE(kitColourItem(25), -1);
    QCOMPARE(kitColourStored(0), -2);
    QCOMPARE(kitColourStored(-1), -2);
    QCOMPARE(kitColourStored(5), 4);
    QCOMPARE(kitColourStored(26), -2);
    QCOMPARE(QByteArray(kitColourOfItem(kitColourItem(24)).name), QByteArray("Gold"));
    QVERIFY(kitColourOfItem(0).usesButtonFace);
    QVERIFY(kitColourOfItem(26).usesButtonFace);
    QVERIFY(kitColourOfItem(-1).usesButtonFace);
}

QTEST_GUILESS_MAIN(tst_ClubRecord)
#include "tst_ClubRecord.moc"
