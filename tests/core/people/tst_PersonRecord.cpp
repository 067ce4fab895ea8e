#include "TestDatabase.h"

#include "people/CodeLists.h"
#include "people/PersonRecord.h"
#include "people/PlayerAttributes.h"
#include "people/StaffAttributes.h"

#include <QTest>

#include <set>

using namespace kx3;
using kx3::test::le16;
using kx3::test::le32;

namespace {

QByteArray u8(int v)
{
    return QByteArray(1, char(v));
}

QByteArray date(RecordDate d)
{
    return le16(d.dayOfYear) + le16(d.year) + le32(d.leapFlag);
}

} // namespace

class tst_PersonRecord : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void personFieldsAtTheirOffsets();
    void playerAttributeFieldsAtTheirOffsets();
    void staffAttributeFieldsAtTheirOffsets();
    void boundFieldTablesCoverTheirRanges();
    void viewsOnlyForIndicesInRange();
    void codeLists();
};

void tst_PersonRecord::personFieldsAtTheirOffsets()
{
    using P = PersonRecord;
    const RecordDate d1{59, 1972, 1};
    const RecordDate d2{300, 2001, 0};
    const RecordDate d3{1, 1999, 0};
    const RecordDate d4{31, 1900, 1};
    std::vector<test::FieldProbe<P>> probes = {
        {"id", 0, le32(0x01020304), [](P &p) { return p.setId(0x01020304); },
         [](const P &p) { return p.id() == 0x01020304; }},
        {"first name", 4, le32(0x11121314), [](P &p) { return p.setFirstName(0x11121314); },
         [](const P &p) { return p.firstName() == 0x11121314; }},
        {"second name", 8, le32(77), [](P &p) { return p.setSecondName(77); },
         [](const P &p) { return p.secondName() == 77; }},
        {"common name", 12, le32(78), [](P &p) { return p.setCommonName(78); },
         [](const P &p) { return p.commonName() == 78; }},
        {"date of birth", 16, date(d1), [&](P &p) { return p.setDateOfBirth(d1); },
         [&](const P &p) { return p.dateOfBirth() == d1; }},
        {"nationality", 26, le32(9), [](P &p) { return p.setNationality(9); },
         [](const P &p) { return p.nationality() == 9; }},
        {"second nationality", 30, le32(-2), [](P &p) { return p.setSecondNationality(-2); },
         [](const P &p) { return p.secondNationality() == -2; }},
        {"caps", 34, u8(200), [](P &p) { return p.setCaps(200); },
         [](const P &p) { return p.caps() == 200; }},
        {"goals", 35, u8(45), [](P &p) { return p.setGoals(45); },
         [](const P &p) { return p.goals() == 45; }},
        {"national team", 36, le32(152), [](P &p) { return p.setNationalTeam(152); },
         [](const P &p) { return p.nationalTeam() == 152; }},
        {"national job", 40, u8(5), [](P &p) { return p.setNationalJob(5); },
         [](const P &p) { return p.nationalJob() == 5; }},
        {"national joined", 41, date(d2), [&](P &p) { return p.setNationalJoined(d2); },
         [&](const P &p) { return p.nationalJoined() == d2; }},
        {"national contract end", 49, date(d4),
         [&](P &p) { return p.setNationalContractEnd(d4); },
         [&](const P &p) { return p.nationalContractEnd() == d4; }},
        {"club", 57, le32(0x00ABCDEF), [](P &p) { return p.setClub(0x00ABCDEF); },
         [](const P &p) { return p.club() == 0x00ABCDEF; }},
        {"job", 61, u8(15), [](P &p) { return p.setJob(15); },
         [](const P &p) { return p.job() == 15; }},
        {"joined", 62, date(d3), [&](P &p) { return p.setJoined(d3); },
         [&](const P &p) { return p.joined() == d3; }},
        {"contract end", 70, date(d2), [&](P &p) { return p.setContractEnd(d2); },
         [&](const P &p) { return p.contractEnd() == d2; }},
        {"wage", 78, le32(123456), [](P &p) { return p.setWage(123456); },
         [](const P &p) { return p.wage() == 123456; }},
        {"value", 82, le32(7654321), [](P &p) { return p.setValue(7654321); },
         [](const P &p) { return p.value() == 7654321; }},
        {"adaptability", 86, u8(11), [](P &p) { return p.setMentalRating(0, 11); },
         [](const P &p) { return p.mentalRating(0) == 11; }},
        {"temperament", 93, u8(18), [](P &p) { return p.setMentalRating(7, 18); },
         [](const P &p) { return p.mentalRating(7) == 18; }},
        {"plays in", 94, u8(2), [](P &p) { return p.setPlaysIn(2); },
         [](const P &p) { return p.playsIn() == 2; }},
        {"classification", 95, u8(3), [](P &p) { return p.setClassification(3); },
         [](const P &p) { return p.classification() == 3; }},
        {"favourite club 1", 97, le32(-2), [](P &p) { return p.setRelationship(0, -2); },
         [](const P &p) { return p.relationship(0) == -2; }},
        {"disliked person 3", 141, le32(4444), [](P &p) { return p.setRelationship(11, 4444); },
         [](const P &p) { return p.relationship(11) == 4444; }},
        {"player attributes", 145, le32(321), [](P &p) { return p.setPlayerAttributes(321); },
         [](const P &p) { return p.playerAttributes() == 321; }},
        {"staff attributes", 153, le32(-1), [](P &p) { return p.setStaffAttributes(-1); },
         [](const P &p) { return p.staffAttributes() == -1; }},
        {"truncated byte", 34, u8(0x2C), [](P &p) { return p.setCaps(300); },
         [](const P &p) { return p.caps() == 44; }},
    };
    test::checkFieldProbes(RecordSize::Person, probes);

    DataImage image(QByteArray(RecordSize::Person, '\0'));
    PersonRecord p(&image, 0);
    QVERIFY(!p.setRelationship(12, 1));
    QVERIFY(!p.setMentalRating(8, 1));
    QCOMPARE(image.bytes(), QByteArray(RecordSize::Person, '\0'));
    QVERIFY(PersonRelationship::isClubSlot(5));
    QVERIFY(!PersonRelationship::isClubSlot(6));
}

void tst_PersonRecord::playerAttributeFieldsAtTheirOffsets()
{
    using A = PlayerAttributes;
    std::vector<test::FieldProbe<A>> probes = {
        {"id", 0, le32(99), [](A &a) { return a.setId(99); },
         [](const A &a) { return a.id() == 99; }},
        {"squad number", 4, u8(23), [](A &a) { return a.setSquadNumber(23); },
         [](const A &a) { return a.squadNumber() == 23; }},
        {"current ability", 5, le16(180), [](A &a) { return a.setCurrentAbility(180); },
         [](const A &a) { return a.currentAbility() == 180; }},
        {"potential ability", 7, le16(0xFFFE), [](A &a) { return a.setPotentialAbility(-2); },
         [](const A &a) { return a.potentialAbility() == -2; }},
        {"home reputation", 9, le16(0x1234), [](A &a) { return a.setHomeReputation(0x1234); },
         [](const A &a) { return a.homeReputation() == 0x1234; }},
        {"current reputation", 11, le16(0x0506),
         [](A &a) { return a.setCurrentReputation(0x0506); },
         [](const A &a) { return a.currentReputation() == 0x0506; }},
        {"world reputation", 13, le16(0x0708), [](A &a) { return a.setWorldReputation(0x0708); },
         [](const A &a) { return a.worldReputation() == 0x0708; }},
        {"goalkeeper", 15, u8(19), [](A &a) { return a.setPositionRating(0, 19); },
         [](const A &a) { return a.positionRating(0) == 19; }},
        {"free role", 26, u8(17), [](A &a) { return a.setPositionRating(11, 17); },
         [](const A &a) { return a.positionRating(11) == 17; }},
        {"acceleration", 27, u8(16), [](A &a) { return a.setPlayingRating(0, 16); },
         [](const A &a) { return a.playingRating(0) == 16; }},
        {"work rate", 68, u8(15), [](A &a) { return a.setPlayingRating(41, 15); },
         [](const A &a) { return a.playingRating(41) == 15; }},
    };
    test::checkFieldProbes(RecordSize::PlayerAttributes, probes);
}

void tst_PersonRecord::staffAttributeFieldsAtTheirOffsets()
{
    using S = StaffAttributes;
    std::vector<test::FieldProbe<S>> probes = {
        {"id", 0, le32(98), [](S &s) { return s.setId(98); },
         [](const S &s) { return s.id() == 98; }},
        {"current ability", 4, le16(150), [](S &s) { return s.setCurrentAbility(150); },
         [](const S &s) { return s.currentAbility() == 150; }},
        {"potential ability", 6, le16(151), [](S &s) { return s.setPotentialAbility(151); },
         [](const S &s) { return s.potentialAbility() == 151; }},
        {"home reputation", 8, le16(152), [](S &s) { return s.setHomeReputation(152); },
         [](const S &s) { return s.homeReputation() == 152; }},
        {"current reputation", 10, le16(153), [](S &s) { return s.setCurrentReputation(153); },
         [](const S &s) { return s.currentReputation() == 153; }},
        {"world reputation", 12, le16(154), [](S &s) { return s.setWorldReputation(154); },
         [](const S &s) { return s.worldReputation() == 154; }},
        {"attacking play", 14, u8(12), [](S &s) { return s.setRating(0, 12); },
         [](const S &s) { return s.rating(0) == 12; }},
        {"working with youngsters", 34, u8(13), [](S &s) { return s.setRating(20, 13); },
         [](const S &s) { return s.rating(20) == 13; }},
        {"formation", 67, u8(9), [](S &s) { return s.setFormation(9); },
         [](const S &s) { return s.formation() == 9; }},
    };
    test::checkFieldProbes(RecordSize::StaffAttributes, probes);
}

void tst_PersonRecord::boundFieldTablesCoverTheirRanges()
{
    // Each table must cover its block byte by byte, in record order, with
    // unique object names: a screen binds every box through these tables.
    auto check = [](const auto &table, int first, const char *what) {
        std::set<QByteArray> names;
        for (std::size_t i = 0; i < table.size(); ++i) {
            const BoundField &f = table[i];
            QVERIFY2(f.offset == first + int(i) * fieldWidth(f.type), what);
            QVERIFY2(names.insert(QByteArray(f.objectName)).second, f.objectName);
        }
    };
    check(PlayerMentalFields, 86, "player mental");
    check(StaffMentalFields, 86, "staff mental");
    check(PlayerAbilityFields, 5, "player abilities");
    check(PositionRatingFields, 15, "positions");
    check(PlayingRatingFields, 27, "playing");
    check(StaffAbilityFields, 4, "staff abilities");
    check(StaffRatingFields, 14, "staff ratings");
    QCOMPARE(PlayingRatingFields.back().offset, 68);
    QCOMPARE(QByteArray(PlayingRatingFields[19].objectName), QByteArray("jum"));
    QCOMPARE(StaffRatingFields.back().offset, 34);
    QCOMPARE(QByteArray(StaffRatingFields[17].objectName), QByteArray("SPres"));

    DataImage image(QByteArray(RecordSize::PlayerAttributes, '\0'));
    PlayerAttributes a(&image, 0);
    QVERIFY(a.write(PlayerAbilityFields[1], -1));
    QCOMPARE(a.potentialAbility(), -1);
    QVERIFY(a.write(PlayingRatingFields[0], 0x1FF));
    QCOMPARE(a.read(PlayingRatingFields[0]), 0xFF);
}

void tst_PersonRecord::viewsOnlyForIndicesInRange()
{
    Database db;
    // Two persons, one staff attribute record, two player attribute records;
    // the file is one byte short of holding the second player record.
    const int size = 2 * 157 + 68 + 2 * 70 - 1;
    db.image(DataFile::Staff).setBytes(QByteArray(size, '\0'));
    db.counters() = StaffCounters{2, 1, 314, 2, 382};
    QVERIFY(person(db, 0));
    QVERIFY(person(db, 1));
    QVERIFY(!person(db, 2));
    QVERIFY(!person(db, -1));
    QCOMPARE(person(db, 1)->offset(), qsizetype(157));
    QVERIFY(staffAttributes(db, 0));
    QCOMPARE(staffAttributes(db, 0)->offset(), qsizetype(314));
    QVERIFY(!staffAttributes(db, 1));
    QVERIFY(playerAttributes(db, 0));
    QCOMPARE(playerAttributes(db, 0)->offset(), qsizetype(382));
    QVERIFY(!playerAttributes(db, 1));

    // A person's attribute index is range-checked before use.
    PersonRecord p = *person(db, 0);
    p.setPlayerAttributes(7);
    p.setStaffAttributes(-1);
    QVERIFY(!playerAttributesOf(db, p));
    QVERIFY(!staffAttributesOf(db, p));
    p.setStaffAttributes(0);
    QVERIFY(staffAttributesOf(db, p));

    // A counter larger than the file never yields a view past its end.
    db.counters().persons = 1000;
    QVERIFY(!person(db, 3));
}

void tst_PersonRecord::codeLists()
{
    QCOMPARE(JobNames.size(), std::size_t(17));
    QCOMPARE(QByteArray(JobNames[6]), QByteArray("Ast Manager"));
    QCOMPARE(QByteArray(JobNames[16]), QByteArray("Retired"));
    QCOMPARE(QByteArray(staffListJobName(6)), QByteArray("Assistant Man"));
    QCOMPARE(QByteArray(staffListJobName(16)), QByteArray("<unknown>"));
    QCOMPARE(QByteArray(staffListJobName(-1)), QByteArray("<unknown>"));
    QCOMPARE(QByteArray(ClassificationNames[3]), QByteArray("Player/Non-Player"));
    QCOMPARE(QByteArray(PlaysInNames[2]), QByteArray("Reserve Squad"));
    QCOMPARE(QByteArray(FormationNames[2]), QByteArray("4-4-2"));
    QCOMPARE(QByteArray(FormationNames[6]), QByteArray("4-1-2-1-2"));
    QCOMPARE(InjuryNames.size(), std::size_t(94));
    QCOMPARE(QByteArray(InjuryNames.front()), QByteArray("BACK_STRAIN"));
    QCOMPARE(QByteArray(InjuryNames[40]), QByteArray("DEAD_LEG"));
    QCOMPARE(QByteArray(InjuryNames.back()), QByteArray("VIRUS"));
    QCOMPARE(QByteArray(codeName(JobNames, 17, "?")), QByteArray("?"));
    QVERIFY(Job::isCombined(12) && Job::isCombined(15) && !Job::isCombined(11));
    QVERIFY(Classification::hasPlayerAttributes(4) && !Classification::hasPlayerAttributes(1));
    QVERIFY(Classification::hasStaffAttributes(3) && !Classification::hasStaffAttributes(2));
}

QTEST_GUILESS_MAIN(tst_PersonRecord)
#include "tst_PersonRecord.moc"
