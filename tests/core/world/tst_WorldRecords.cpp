#include "TestDatabase.h"

#include "db/NameEntry.h"
#include "world/CityRecord.h"
#include "world/CompetitionRecord.h"
#include "world/NationCompHistoryRecord.h"
#include "world/OfficialRecord.h"
#include "world/StadiumRecord.h"

#include <QTest>

using namespace kx3;
using kx3::test::le16;
using kx3::test::le32;
using kx3::test::le64;

namespace {

QByteArray u8(int v)
{
    return QByteArray(1, char(v));
}

QByteArray fixedText(const QByteArray &text, int width)
{
    return text + QByteArray(width - 1 - text.size(), '\0') + QByteArray(1, char(0xFF));
}

} // namespace

class tst_WorldRecords : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void cityFields();
    void stadiumFields();
    void officialFields();
    void competitionAndHistoryFields();
    void nameEntryFields();
    void viewsOnlyForIndicesInRange();
};

void tst_WorldRecords::cityFields()
{
    using C = CityRecord;
    test::checkFieldProbes<C>(RecordSize::City, {
        {"id", 0, le32(12), [](C &c) { return c.setId(12); },
         [](const C &c) { return c.id() == 12; }},
        {"name", 4, fixedText("Newport", 27), [](C &c) { return c.setName("Newport"); },
         [](const C &c) { return c.name() == "Newport"; }},
        {"nation", 31, le32(-2), [](C &c) { return c.setNation(-2); },
         [](const C &c) { return c.nation() == -2; }},
        {"latitude", 35, le64(51.5), [](C &c) { return c.setLatitude(51.5); },
         [](const C &c) { return c.latitude() == 51.5; }},
        {"longitude", 43, le64(-0.1275), [](C &c) { return c.setLongitude(-0.1275); },
         [](const C &c) { return c.longitude() == -0.1275; }},
        {"attraction", 51, u8(0x2C), [](C &c) { return c.setAttraction(300); },
         [](const C &c) { return c.attraction() == 44; }},
        {"climate", 52, le32(30), [](C &c) { return c.setClimate(30); },
         [](const C &c) { return c.climate() == 30; }},
    });
    // A 26-character name fills the field up to its 0xFF.
    DataImage image(QByteArray(RecordSize::City, '\0'));
    C c(&image, 0);
    QVERIFY(c.setName(QByteArray(26, 'q')));
    QCOMPARE(c.name(), QByteArray(26, 'q'));
    QCOMPARE(quint8(image.bytes().at(30)), quint8(0xFF));
    QCOMPARE(ClimateItems.size(), std::size_t(32));
    QCOMPARE(QByteArray(ClimateItems[0]), QByteArray("<Unknown>"));
    QCOMPARE(QByteArray(ClimateItems[19]), QByteArray("Af - Rio de Janiero"));
    QCOMPARE(QByteArray(ClimateItems[31]), QByteArray("BWhw - Karachi"));
}

void tst_WorldRecords::stadiumFields()
{
    using S = StadiumRecord;
    test::checkFieldProbes<S>(RecordSize::Stadium, {
        {"id", 0, le32(3), [](S &s) { return s.setId(3); },
         [](const S &s) { return s.id() == 3; }},
        {"name", 4, fixedText("Northgate Park", 52),
         [](S &s) { return s.setName("Northgate Park"); },
         [](const S &s) { return s.name() == "Northgate Park"; }},
        {"city", 56, le32(9), [](S &s) { return s.setCity(9); },
         [](const S &s) { return s.city() == 9; }},
        {"capacity", 60, le32(45000), [](S &s) { return s.setCapacity(45000); },
         [](const S &s) { return s.capacity() == 45000; }},
        {"seating", 64, le32(30000), [](S &s) { return s.setSeating(30000); },
         [](const S &s) { return s.seating() == 30000; }},
        {"expansion", 68, le32(5000), [](S &s) { return s.setExpansion(5000); },
         [](const S &s) { return s.expansion() == 5000; }},
        {"nearby", 72, le32(-2), [](S &s) { return s.setNearby(-2); },
         [](const S &s) { return s.nearby() == -2; }},
        {"roof", 76, u8(255), [](S &s) { return s.setRetractableRoof(255); },
         [](const S &s) { return s.retractableRoof() == 255; }},
        {"heating", 77, u8(255), [](S &s) { return s.setUnderSoilHeating(255); },
         [](const S &s) { return s.underSoilHeating() == 255; }},
    });
}

void tst_WorldRecords::officialFields()
{
    using O = OfficialRecord;
    const RecordDate dob{59, 1960, 1};
    test::checkFieldProbes<O>(RecordSize::Official, {
        {"id", 0, le32(4), [](O &o) { return o.setId(4); },
         [](const O &o) { return o.id() == 4; }},
        {"first name", 4, le32(100), [](O &o) { return o.setFirstName(100); },
         [](const O &o) { return o.firstName() == 100; }},
        {"second name", 8, le32(101), [](O &o) { return o.setSecondName(101); },
         [](const O &o) { return o.secondName() == 101; }},
        {"date of birth", 12, le16(59) + le16(1960) + le32(1),
         [&](O &o) { return o.setDateOfBirth(dob); },
         [&](const O &o) { return o.dateOfBirth() == dob; }},
        {"nation", 22, le32(-1), [](O &o) { return o.setNation(-1); },
         [](const O &o) { return o.nation() == -1; }},
        {"city", 26, le32(8), [](O &o) { return o.setCity(8); },
         [](const O &o) { return o.city() == 8; }},
        {"current ability", 30, le16(200), [](O &o) { return o.setCurrentAbility(200); },
         [](const O &o) { return o.currentAbility() == 200; }},
        {"potential ability", 32, le16(0xFFFF), [](O &o) { return o.setPotentialAbility(-1); },
         [](const O &o) { return o.potentialAbility() == -1; }},
        {"current reputation", 34, le16(150), [](O &o) { return o.setCurrentReputation(150); },
         [](const O &o) { return o.currentReputation() == 150; }},
        {"allowing flow", 36, u8(20), [](O &o) { return o.setCommonRating(0, 20); },
         [](const O &o) { return o.commonRating(0) == 20; }},
        {"timekeeping", 42, u8(19), [](O &o) { return o.setCommonRating(6, 19); },
         [](const O &o) { return o.commonRating(6) == 19; }},
    });
    for (std::size_t i = 0; i < OfficialCommonFields.size(); ++i)
        QCOMPARE(OfficialCommonFields[i].offset, 36 + int(i));
    QCOMPARE(OfficialSpecialFields[2].offset, 34);
}

void tst_WorldRecords::competitionAndHistoryFields()
{
    using C = CompetitionRecord;
    test::checkFieldProbes<C>(RecordSize::Competition, {
        {"id", 0, le32(2), [](C &c) { return c.setId(2); },
         [](const C &c) { return c.id() == 2; }},
        {"name", 4, QByteArray("Premier") + QByteArray(96, '\0'),
         [](C &c) { return c.setName("Premier"); },
         [](const C &c) { return c.name() == "Premier"; }},
    });
    using H = NationCompHistoryRecord;
    test::checkFieldProbes<H>(RecordSize::NationCompHistory, {
        {"team 1", 10, le32(250), [](H &h) { return h.setTeam(0, 250); },
         [](const H &h) { return h.team(0) == 250; }},
        {"team 4", 22, le32(301), [](H &h) { return h.setTeam(3, 301); },
         [](const H &h) { return h.team(3) == 301; }},
    });
}

void tst_WorldRecords::nameEntryFields()
{
    using E = NameEntry;
    test::checkFieldProbes<E>(RecordSize::NameEntry, {
        {"text", 0, QByteArray("Smith") + QByteArray(46, '\0'),
         [](E &e) { return e.setText("Smith"); },
         [](const E &e) { return e.text() == "Smith"; }},
        {"id", 51, le32(17), [](E &e) { return e.setId(17); },
         [](const E &e) { return e.id() == 17; }},
        {"nation key", 55, le32(-2), [](E &e) { return e.setNationKey(NoNationKey); },
         [](const E &e) { return e.nationKey() == -2; }},
        {"usage count", 59, u8(255), [](E &e) { return e.setUsageCount(255); },
         [](const E &e) { return e.usageCount() == 255; }},
    });
    // A 51-character name fills the text field with no zero byte.
    DataImage image(QByteArray(RecordSize::NameEntry, char(0x01)));
    E e(&image, 0);
    QVERIFY(e.setText(QByteArray(51, 'n')));
    QCOMPARE(e.text(), QByteArray(51, 'n'));
    QCOMPARE(image.bytes().at(51), char(0x01));
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
}

QTEST_GUILESS_MAIN(tst_WorldRecords)
#include "tst_WorldRecords.moc"
