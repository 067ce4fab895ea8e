#include "TestDatabase.h"

#include "nations/NationRecord.h"

#include <QTest>

using namespace kx3;
using kx3::test::le16;
using kx3::test::le32;
using kx3::test::le64;

namespace {

using N = NationRecord;

QByteArray u8(int v)
{
    return QByteArray(1, char(v));
}

QByteArray padded(const QByteArray &text, int width)
{
    return text + QByteArray(width - text.size(), '\0');
}

} // namespace

class tst_NationRecord : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void fieldsAtTheirOffsets();
    void abbreviationIsExactlyThreeBytes();
    void viewsOnlyForIndicesInRange();
    void fixedLists();
};

void tst_NationRecord::fieldsAtTheirOffsets()
{
    test::checkFieldProbes<N>(RecordSize::Nation, {
        {"long name", 4, padded("Freedonia", 52), [](N &n) { return n.setLongName("Freedonia"); },
         [](const N &n) { return n.longName() == "Freedonia"; }},
        {"short name", 56, padded("Freedon", 27), [](N &n) { return n.setShortName("Freedon"); },
         [](const N &n) { return n.shortName() == "Freedon"; }},
        {"abbreviation", 83, "FRD", [](N &n) { return n.setAbbreviation("FRD"); },
         [](const N &n) { return n.abbreviation() == "FRD"; }},
        {"nationality name", 87, padded("Freedonian", 26),
         [](N &n) { return n.setNationalityName("Freedonian"); },
         [](const N &n) { return n.nationalityName() == "Freedonian"; }},
        {"continent", 113, le32(5), [](N &n) { return n.setContinent(5); },
         [](const N &n) { return n.continent() == 5; }},
        {"region", 117, u8(24), [](N &n) { return n.setRegion(24); },
         [](const N &n) { return n.region() == 24; }},
        {"actual region", 118, u8(14), [](N &n) { return n.setActualRegion(14); },
         [](const N &n) { return n.actualRegion() == 14; }},
        {"first language", 119, u8(8), [](N &n) { return n.setLanguage(0, 8); },
         [](const N &n) { return n.language(0) == 8; }},
        {"third language", 121, u8(60), [](N &n) { return n.setLanguage(2, 60); },
         [](const N &n) { return n.language(2) == 60; }},
        {"capital", 122, le32(31), [](N &n) { return n.setCapitalCity(31); },
         [](const N &n) { return n.capitalCity() == 31; }},
        {"development state", 126, u8(3), [](N &n) { return n.setDevelopmentState(3); },
         [](const N &n) { return n.developmentState() == 3; }},
        {"group membership", 127, u8(2), [](N &n) { return n.setGroupMembership(2); },
         [](const N &n) { return n.groupMembership() == 2; }},
        {"national stadium", 128, le32(-2), [](N &n) { return n.setNationalStadium(-2); },
         [](const N &n) { return n.nationalStadium() == -2; }},
        {"game importance", 132, u8(9), [](N &n) { return n.setGameImportance(9); },
         [](const N &n) { return n.gameImportance() == 9; }},
        {"league standard", 133, u8(10), [](N &n) { return n.setLeagueStandard(10); },
         [](const N &n) { return n.leagueStandard() == 10; }},
        {"club count", 134, le16(321), [](N &n) { return n.setClubCount(321); },
         [](const N &n) { return n.clubCount() == 321; }},
        {"person count", 136, le32(70000), [](N &n) { return n.setPersonCount(70000); },
         [](const N &n) { return n.personCount() == 70000; }},
        {"season update day", 140, le16(200), [](N &n) { return n.setSeasonUpdateDay(200); },
         [](const N &n) { return n.seasonUpdateDay() == 200; }},
        {"reputation", 142, le16(19), [](N &n) { return n.setReputation(19); },
         [](const N &n) { return n.reputation() == 19; }},
        {"home colour 1", 144, le32(1), [](N &n) { return n.setKitColour(0, 1); },
         [](const N &n) { return n.kitColour(0) == 1; }},
        {"third colour 2", 164, le32(2), [](N &n) { return n.setKitColour(5, 2); },
         [](const N &n) { return n.kitColour(5) == 2; }},
        {"fifa coefficient", 168, le64(12.5), [](N &n) { return n.setFifaCoefficient(12.5); },
         [](const N &n) { return n.fifaCoefficient() == 12.5; }},
        {"fifa 91", 176, le64(1.25), [](N &n) { return n.setFifaCoefficientOfYear(0, 1.25); },
         [](const N &n) { return n.fifaCoefficientOfYear(0) == 1.25; }},
        {"fifa 96", 216, le64(-3.5), [](N &n) { return n.setFifaCoefficientOfYear(5, -3.5); },
         [](const N &n) { return n.fifaCoefficientOfYear(5) == -3.5; }},
        {"uefa 91", 224, le64(7.0), [](N &n) { return n.setUefaCoefficientOfYear(0, 7.0); },
         [](const N &n) { return n.uefaCoefficientOfYear(0) == 7.0; }},
        {"uefa 96", 264, le64(8.0), [](N &n) { return n.setUefaCoefficientOfYear(5, 8.0); },
         [](const N &n) { return n.uefaCoefficientOfYear(5) == 8.0; }},
        {"rival 1", 272, le32(3), [](N &n) { return n.setRival(0, 3); },
         [](const N &n) { return n.rival(0) == 3; }},
        {"rival 3", 280, le32(-2), [](N &n) { return n.setRival(2, -2); },
         [](const N &n) { return n.rival(2) == -2; }},
    });
}

void tst_NationRecord::abbreviationIsExactlyThreeBytes()
{
    DataImage image(QByteArray(RecordSize::Nation, 'x'));
    N n(&image, 0);
    image.write(83, QByteArray("A\0C", 3));
    QCOMPARE(n.abbreviation(), QByteArray("A\0C", 3));
    QVERIFY(n.setAbbreviation("ABCDE"));
    QCOMPARE(image.bytes().mid(83, 4), QByteArray("ABCx"));
}

void tst_NationRecord::viewsOnlyForIndicesInRange()
{
    Database db;
    db.image(DataFile::Nation).setBytes(QByteArray(3 * RecordSize::Nation + 289, '\0'));
    QCOMPARE(nationCount(db), 3);
    QVERIFY(nation(db, 2));
    QCOMPARE(nation(db, 2)->offset(), qsizetype(580));
    QVERIFY(!nation(db, 3));
    QVERIFY(!nation(db, -1));
}

void tst_NationRecord::fixedLists()
{
    QCOMPARE(ContinentItems.size(), std::size_t(7));
    QCOMPARE(RegionNames.size(), std::size_t(25));
    QCOMPARE(QByteArray(RegionNames[5]), QByteArray("Brittain"));
    QCOMPARE(ActualRegionNames.size(), std::size_t(15));
    QCOMPARE(QByteArray(ActualRegionNames[10]), QByteArray("Oceania\t"));
    QCOMPARE(QByteArray(ActualRegionNames[14]), QByteArray("UK and Ireland"));
    QCOMPARE(LanguageNames.size(), std::size_t(61));
    QCOMPARE(QByteArray(LanguageNames[22]), QByteArray("Norwegian"));
    QCOMPARE(QByteArray(LanguageNames[34]), QByteArray("Albanian*"));
    QCOMPARE(QByteArray(LanguageNames[60]), QByteArray("Vietnamese"));
    QCOMPARE(QByteArray(DevelopmentStateNames[3]), QByteArray("Third World State"));
    QCOMPARE(QByteArray(GroupMembershipNames[1]), QByteArray("Non EEC Country"));
}

QTEST_GUILESS_MAIN(tst_NationRecord)
#include "tst_NationRecord.moc"
