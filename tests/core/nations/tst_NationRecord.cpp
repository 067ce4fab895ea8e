#include "RecordViewChecks.h"
#include "TestDatabase.h"

#include "core/layout/NationRecord.h"

#include <QTest>

#include <algorithm>

using namespace kx3;
using kx3::test::le16;
using kx3::test::le32;
using kx3::test::u8;
using kx3::test::le64;

class tst_NationRecord : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void fieldsAtTheirOffsets();
    void abbreviationIsExactlyThreeBytes();
    void viewsOnlyForIndicesInRange();
};

void tst_NationRecord::fieldsAtTheirOffsets()
{
    using V = NationRecord;
    const std::vector<test::FieldProbe<V>> probes = {
        PROBE(4, QByteArray("Freedonia").leftJustified(52, 0), LongName, longName, "Freedonia"),
        PROBE(56, QByteArray("Freedon").leftJustified(27, 0), ShortName, shortName, "Freedon"),
        PROBE(83, "FRD", Abbreviation, abbreviation, "FRD"),
        PROBE(87, QByteArray("Freedonian").leftJustified(26, 0), NationalityName, nationalityName,
              "Freedonian"),
        PROBE(113, le32(5), Continent, continent, 5),
        PROBE(117, u8(24), Region, region, 24),
        PROBE(118, u8(14), ActualRegion, actualRegion, 14),
        PROBE_AT(119, u8(8), Language, language, 0, 8),
        PROBE_AT(121, u8(60), Language, language, 2, 60),
        PROBE(122, le32(31), CapitalCity, capitalCity, 31),
        PROBE(126, u8(3), DevelopmentState, developmentState, 3),
        PROBE(127, u8(2), GroupMembership, groupMembership, 2),
        PROBE(128, le32(-2), NationalStadium, nationalStadium, -2),
        PROBE(132, u8(9), GameImportance, gameImportance, 9),
        PROBE(133, u8(10), LeagueStandard, leagueStandard, 10),
        PROBE(134, le16(321), ClubCount, clubCount, 321),
        PROBE(136, le32(70000), PersonCount, personCount, 70000),
        PROBE(140, le16(200), SeasonUpdateDay, seasonUpdateDay, 200),
        PROBE(142, le16(19), Reputation, reputation, 19),
        PROBE_AT(144, le32(1), KitColour, kitColour, 0, 1),
        PROBE_AT(164, le32(2), KitColour, kitColour, 5, 2),
        PROBE(168, le64(12.5), FifaCoefficient, fifaCoefficient, 12.5),
        PROBE_AT(176, le64(1.25), FifaCoefficientOfYear, fifaCoefficientOfYear, 0, 1.25),
        PROBE_AT(216, le64(-3.5), FifaCoefficientOfYear, fifaCoefficientOfYear, 5, -3.5),
        PROBE_AT(224, le64(7.0), UefaCoefficientOfYear, uefaCoefficientOfYear, 0, 7.0),
        PROBE_AT(264, le64(8.0), UefaCoefficientOfYear, uefaCoefficientOfYear, 5, 8.0),
        PROBE_AT(272, le32(3), Rival, rival, 0, 3),
        PROBE_AT(280, le32(-2), Rival, rival, 2, -2),
    };
    test::checkFieldProbes(RecordSize::Nation, probes);

    // A list declared longer than its items would hand out null names.
    auto complete = [](const auto &list) {
        return std::all_of(list.begin(), list.end(), [](const char *s) { return s; });
    };
    QVERIFY(complete(ContinentItems) && complete(RegionNames) && complete(ActualRegionNames)
            && complete(LanguageNames) && complete(DevelopmentStateNames)
            && complete(GroupMembershipNames));
}

void tst_NationRecord::abbreviationIsExactlyThreeBytes()
{
    DataImage image(QByteArray(RecordSize::Nation, 'x'));
    NationRecord n(&image, 0);
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
    QCOMPARE(nation(db, 2)->offset(), qsizetype(580));
    QVERIFY(!nation(db, 3));
    QVERIFY(!nation(db, -1));
    QVERIFY(kx3::test::readOnlyFindsTheSame(
        db, [](auto &d, qsizetype i) { return nation(d, i); }, -1, 4));
}

QTEST_GUILESS_MAIN(tst_NationRecord)
#include "tst_NationRecord.moc"
