#include "TestDatabase.h"

#include "clubs/ClubRecord.h"
#include "clubs/HistoryRecord.h"
#include "clubs/KitColours.h"

#include <QTest>

using namespace kx3;
using kx3::test::le16;
using kx3::test::le32;

namespace {

QByteArray u8(int v)
{
    return QByteArray(1, char(v));
}

QByteArray fixedText(const QByteArray &text, int width)
{
    QByteArray b = text.left(width - 1);
    b.append(QByteArray(width - 1 - b.size(), '\0'));
    b.append(char(0xFF));
    return b;
}

} // namespace

class tst_ClubRecord : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void clubFieldsAtTheirOffsets();
    void fullWidthNamesKeepEveryCharacter();
    void under21Boundary_data();
    void under21Boundary();
    void viewsOnlyForIndicesInRange();
    void slotRangesByJob_data();
    void slotRangesByJob();
    void historyFieldsAtTheirOffsets();
    void kitColourMapping();
};

void tst_ClubRecord::clubFieldsAtTheirOffsets()
{
    using C = ClubRecord;
    std::vector<test::FieldProbe<C>> probes = {
        {"id", 0, le32(0x0A0B0C0D), [](C &c) { return c.setId(0x0A0B0C0D); },
         [](const C &c) { return c.id() == 0x0A0B0C0D; }},
        {"long name", 4, fixedText("Northgate Rovers", 52),
         [](C &c) { return c.setLongName("Northgate Rovers"); },
         [](const C &c) { return c.longName() == "Northgate Rovers"; }},
        {"short name", 56, fixedText("Northgate", 27),
         [](C &c) { return c.setShortName("Northgate"); },
         [](const C &c) { return c.shortName() == "Northgate"; }},
        {"nation", 83, le32(12), [](C &c) { return c.setNation(12); },
         [](const C &c) { return c.nation() == 12; }},
        {"division", 87, le32(3), [](C &c) { return c.setDivision(3); },
         [](const C &c) { return c.division() == 3; }},
        {"last division", 91, le32(4), [](C &c) { return c.setLastDivision(4); },
         [](const C &c) { return c.lastDivision() == 4; }},
        {"last position", 95, u8(17), [](C &c) { return c.setLastPosition(17); },
         [](const C &c) { return c.lastPosition() == 17; }},
        {"other division", 96, le32(-2), [](C &c) { return c.setOtherDivision(-2); },
         [](const C &c) { return c.otherDivision() == -2; }},
        {"status", 100, u8(2), [](C &c) { return c.setStatus(2); },
         [](const C &c) { return c.status() == 2; }},
        {"cash", 101, le32(0x7FFFFFFF), [](C &c) { return c.setCash(0x7FFFFFFF); },
         [](const C &c) { return c.cash() == 0x7FFFFFFF; }},
        {"main stadium", 105, le32(41), [](C &c) { return c.setMainStadium(41); },
         [](const C &c) { return c.mainStadium() == 41; }},
        {"own stadium", 109, u8(255), [](C &c) { return c.setOwnStadium(255); },
         [](const C &c) { return c.ownStadium() == 255; }},
        {"reserve stadium", 110, le32(42), [](C &c) { return c.setReserveStadium(42); },
         [](const C &c) { return c.reserveStadium() == 42; }},
        {"home match day", 114, u8(6), [](C &c) { return c.setHomeMatchDay(6); },
         [](const C &c) { return c.homeMatchDay() == 6; }},
        {"average attendance", 115, le32(23000),
         [](C &c) { return c.setAverageAttendance(23000); },
         [](const C &c) { return c.averageAttendance() == 23000; }},
        {"minimum attendance", 119, le32(9000),
         [](C &c) { return c.setMinimumAttendance(9000); },
         [](const C &c) { return c.minimumAttendance() == 9000; }},
        {"maximum attendance", 123, le32(41000),
         [](C &c) { return c.setMaximumAttendance(41000); },
         [](const C &c) { return c.maximumAttendance() == 41000; }},
        {"training", 127, u8(14), [](C &c) { return c.setTrainingFacility(14); },
         [](const C &c) { return c.trainingFacility() == 14; }},
        {"reputation", 128, le16(10000), [](C &c) { return c.setReputation(10000); },
         [](const C &c) { return c.reputation() == 10000; }},
        {"reputation 66 x 500 wraps", 128, le16(std::uint16_t(33000)),
         [](C &c) { return c.setReputation(66 * 500); },
         [](const C &c) { return c.reputation() < 0; }},
        {"plc", 130, u8(255), [](C &c) { return c.setPlc(255); },
         [](const C &c) { return c.plc() == 255; }},
        {"home colour 1", 131, le32(24), [](C &c) { return c.setKitColour(0, 24); },
         [](const C &c) { return c.kitColour(0) == 24; }},
        {"third colour 2", 151, le32(-2), [](C &c) { return c.setKitColour(5, -2); },
         [](const C &c) { return c.kitColour(5) == -2; }},
        {"favourite person 1", 155, le32(1234), [](C &c) { return c.setRelationship(0, 1234); },
         [](const C &c) { return c.relationship(0) == 1234; }},
        {"rival club 3", 187, le32(77), [](C &c) { return c.setRelationship(8, 77); },
         [](const C &c) { return c.relationship(8) == 77; }},
        {"chairman slot", 191, le32(5), [](C &c) { return c.setPositionSlot(0, 5); },
         [](const C &c) { return c.positionSlot(0) == 5; }},
        {"last physio slot", 471, le32(6), [](C &c) { return c.setPositionSlot(70, 6); },
         [](const C &c) { return c.positionSlot(70) == 6; }},
    };
    test::checkFieldProbes(RecordSize::Club, probes);

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
    QTest::addColumn<int>("index");
    QTest::addColumn<int>("kind");
    // 5 clubs, 7 national teams: the under-21 half starts at byte 5*581 + 7*581/2,
    // which lies inside team 3 (club index 8): only index 9 and later are at or
    // past it, since the record offset has to reach the halfway byte.
    QTest::newRow("last club") << 4 << int(ClubKind::Club);
    QTest::newRow("first national team") << 5 << int(ClubKind::NationalTeam);
    QTest::newRow("team straddling the half") << 8 << int(ClubKind::NationalTeam);
    QTest::newRow("first past the half") << 9 << int(ClubKind::Under21Team);
    QTest::newRow("last") << 11 << int(ClubKind::Under21Team);
}

void tst_ClubRecord::under21Boundary()
{
    QFETCH(int, index);
    QFETCH(int, kind);
    Database db;
    db.image(DataFile::Club).setBytes(QByteArray(5 * RecordSize::Club, '\0'));
    db.image(DataFile::NatClub).setBytes(QByteArray(7 * RecordSize::Club, '\0'));
    QCOMPARE(int(clubKind(db, index)), kind);

    // With an even number of teams the boundary is a record boundary.
    db.image(DataFile::NatClub).setBytes(QByteArray(8 * RecordSize::Club, '\0'));
    QCOMPARE(clubKind(db, 8), ClubKind::NationalTeam);
    QCOMPARE(clubKind(db, 9), ClubKind::Under21Team);
}

void tst_ClubRecord::viewsOnlyForIndicesInRange()
{
    Database db;
    db.image(DataFile::Club).setBytes(QByteArray(2 * RecordSize::Club, '\0'));
    db.image(DataFile::NatClub).setBytes(QByteArray(2 * RecordSize::Club, '\0'));
    db.clubs().setBytes(QByteArray(4 * RecordSize::Club + 100, '\0'));
    QCOMPARE(clubTotal(db), 4);
    QVERIFY(club(db, 3));
    QCOMPARE(club(db, 3)->offset(), qsizetype(3 * 581));
    QVERIFY(!club(db, 4));
    QVERIFY(!club(db, -1));
    QCOMPARE(nationalTeamIndex(db, 0), 2);
    QCOMPARE(nationalTeamIndex(db, 1), 3);
    QCOMPARE(nationalTeamIndex(db, 2), -1);
    QCOMPARE(nationalTeamIndex(db, -2), -1);

    db.image(DataFile::StaffHistory).setBytes(QByteArray(2 * 17 + 16, '\0'));
    QCOMPARE(historyCount(db), 2);
    QVERIFY(historyRecord(db, 1));
    QVERIFY(!historyRecord(db, 2));
}

void tst_ClubRecord::slotRangesByJob_data()
{
    QTest::addColumn<int>("job");
    QTest::addColumn<int>("staffFirst");
    QTest::addColumn<int>("staffCount");
    QTest::addColumn<bool>("squad");
    QTest::newRow("unemployed") << 0 << 0 << 0 << false;
    QTest::newRow("chairman") << 1 << 0 << 1 << false;
    QTest::newRow("managing dir") << 2 << 1 << 3 << false;
    QTest::newRow("dir of football") << 4 << 1 << 3 << false;
    QTest::newRow("manager") << 5 << 4 << 1 << false;
    QTest::newRow("assistant") << 6 << 5 << 1 << false;
    QTest::newRow("reserve man") << 7 << 5 << 1 << false;
    QTest::newRow("coach") << 8 << 56 << 5 << false;
    QTest::newRow("scout") << 9 << 61 << 7 << false;
    QTest::newRow("physio") << 10 << 68 << 3 << false;
    QTest::newRow("player") << 11 << 0 << 0 << true;
    QTest::newRow("player/man") << 12 << 4 << 1 << true;
    QTest::newRow("player/ast man") << 13 << 5 << 1 << true;
    QTest::newRow("player/res man") << 14 << 5 << 1 << true;
    QTest::newRow("player/coach") << 15 << 56 << 5 << true;
    QTest::newRow("retired") << 16 << 0 << 0 << false;
    QTest::newRow("garbage") << 200 << 0 << 0 << false;
}

void tst_ClubRecord::slotRangesByJob()
{
    QFETCH(int, job);
    QFETCH(int, staffFirst);
    QFETCH(int, staffCount);
    QFETCH(bool, squad);
    const SlotRange staff = staffSlotRange(job);
    QCOMPARE(staff.count, staffCount);
    if (staffCount > 0)
        QCOMPARE(staff.first, staffFirst);
    const SlotRange players = playerSlotRange(job);
    QCOMPARE(!players.isEmpty(), squad);
    if (squad) {
        QCOMPARE(players.first, 6);
        QCOMPARE(players.end(), 56);
    }
    QCOMPARE(StaffListSlots[5], 5);
    QCOMPARE(StaffListSlots[6], 56);
    QCOMPARE(StaffListSlots.back(), 70);
}

void tst_ClubRecord::historyFieldsAtTheirOffsets()
{
    using H = HistoryRecord;
    std::vector<test::FieldProbe<H>> probes = {
        {"id", 0, le32(40000), [](H &h) { return h.setId(40000); },
         [](const H &h) { return h.id() == 40000; }},
        {"person", 4, le32(0x00010203), [](H &h) { return h.setPerson(0x00010203); },
         [](const H &h) { return h.person() == 0x00010203; }},
        {"year", 8, le16(1998), [](H &h) { return h.setYear(1998); },
         [](const H &h) { return h.year() == 1998; }},
        {"club", 10, le32(-3), [](H &h) { return h.setClub(UnmatchedHistoryClub); },
         [](const H &h) { return h.club() == -3; }},
        {"byte 14", 14, u8(0), [](H &h) { return h.setUnused14(0); },
         [](const H &h) { return h.unused14() == 0; }},
        {"appearances", 15, u8(46), [](H &h) { return h.setAppearances(46); },
         [](const H &h) { return h.appearances() == 46; }},
        {"goals", 16, u8(21), [](H &h) { return h.setGoals(21); },
         [](const H &h) { return h.goals() == 21; }},
    };
    test::checkFieldProbes(RecordSize::History, probes);
}

void tst_ClubRecord::kitColourMapping()
{
    QCOMPARE(KitColourItems.size(), std::size_t(26));
    const KitColour &gold = KitColourItems[std::size_t(kitColourItem(24))];
    QCOMPARE(QByteArray(gold.name), QByteArray("Gold"));
    QCOMPARE(gold.red, std::uint8_t(249));
    QCOMPARE(gold.green, std::uint8_t(209));
    QCOMPARE(gold.blue, std::uint8_t(72));
    QCOMPARE(kitColourItem(-1), 0);
    QCOMPARE(kitColourItem(0), 1);
    QCOMPARE(kitColourItem(25), -1);
    QCOMPARE(kitColourStored(0), -2);
    QCOMPARE(kitColourStored(-1), -2);
    QCOMPARE(kitColourStored(5), 4);
    QCOMPARE(kitColourStored(26), -2);
    QVERIFY(kitColourOfItem(0).usesButtonFace);
    QVERIFY(kitColourOfItem(26).usesButtonFace);
    QVERIFY(kitColourOfItem(-1).usesButtonFace);
    QCOMPARE(QByteArray(kitColourOfItem(5).name), QByteArray("Red"));
    QCOMPARE(QByteArray(KitColourItems[24].name), QByteArray("Pink"));
}

QTEST_GUILESS_MAIN(tst_ClubRecord)
#include "tst_ClubRecord.moc"
