#include "db/Database.h"
#include "db/PickList.h"
#include "world/CityRecord.h"
#include "world/StadiumRecord.h"

#include <QTest>

using namespace kx3;

namespace {

const QLocale English(QLocale::English, QLocale::UnitedStates);

PickList listOf(const QList<QByteArray> &names)
{
    return PickList::fromNames(names, English);
}

} // namespace

class tst_PickList : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void sortsWholeEntriesIgnoringCase_data();
    void sortsWholeEntriesIgnoringCase();
    void orderDoesNotDependOnInsertionOrder();
    void windows1252BytesSortAsTheirLetters();
    void bytesWithoutACharacterSurvive();
    void position_data();
    void position();
    void recordIndexOfAnItem_data();
    void recordIndexOfAnItem();
    void addAndRenameKeepTheOrder();
    void nameWithBarsIsNotMistakenForAnotherRecord();
    void builtFromStadiumsAndCities();
};

void tst_PickList::sortsWholeEntriesIgnoringCase_data()
{
    QTest::addColumn<QList<QByteArray>>("names");
    QTest::addColumn<QList<QByteArray>>("expected");
    QList<QByteArray> towns(13, "Zeta");
    towns[3] = "newport";
    towns[7] = "Newport";
    towns[12] = "Newport";
    // "1" sorts before "7" and the case of the name counts for nothing.
    QTest::newRow("same name, index decides")
        << towns << QList<QByteArray>{"Newport|12|", "newport|3|", "Newport|7|"};
    QTest::newRow("case ignored") << QList<QByteArray>{"bridge", "ALDER", "abbey", "Bridge"}
                                  << QList<QByteArray>{"abbey|2|", "ALDER|1|", "bridge|0|",
                                                       "Bridge|3|"};
    QTest::newRow("empty name first")
        << QList<QByteArray>{"A", ""} << QList<QByteArray>{"|1|", "A|0|"};
}

void tst_PickList::sortsWholeEntriesIgnoringCase()
{
    QFETCH(QList<QByteArray>, names);
    QFETCH(QList<QByteArray>, expected);
    const PickList list = listOf(names);
    QList<QByteArray> got = list.entries();
    if (got.size() > expected.size())
        got = got.mid(0, expected.size());
    QCOMPARE(got, expected);
    QCOMPARE(list.items().first(), QByteArray("<none>"));
    QCOMPARE(list.items().size(), names.size() + 1);
    QCOMPARE(list.items().at(1), list.nameAt(0));
}

void tst_PickList::orderDoesNotDependOnInsertionOrder()
{
    // Entries equal ignoring case land in the same order however they came in.
    PickList a(English);
    a.add("newport", 7);
    a.add("Newport", 7);
    a.add("NEWPORT", 7);
    PickList b(English);
    b.add("NEWPORT", 7);
    b.add("Newport", 7);
    b.add("newport", 7);
    QCOMPARE(a.entries(), b.entries());
    QCOMPARE(a.size(), 3);
}

void tst_PickList::windows1252BytesSortAsTheirLetters()
{
    // 0x8A is S caron in Windows-1252 (a control character in Latin-1, which
    // collation would ignore and so put "Sibenik" before "Rijeka").
    const PickList list = listOf({"Split", "\x8Aibenik", "Rijeka", "\xC9vora", "Faro"});
    QCOMPARE(list.entries(), (QList<QByteArray>{"\xC9vora|3|", "Faro|4|", "Rijeka|2|",
                                                "\x8Aibenik|1|", "Split|0|"}));
    QCOMPARE(PickList::decode("\x80\x8A\x9F\xE9"),
             QString::fromUtf16(u"\u20AC\u0160\u0178\u00E9"));
}

void tst_PickList::bytesWithoutACharacterSurvive()
{
    const QByteArray odd("A\x81\x8D\x8F\x90\x9Dz");
    const PickList list = listOf({odd, "B"});
    QCOMPARE(list.nameAt(list.position(0)), odd);
    QCOMPARE(list.items().at(list.position(0) + 1), odd);
    QCOMPARE(PickList::decode(odd), QString::fromUtf16(u"A\u0081\u008D\u008F\u0090\u009Dz"));
}

void tst_PickList::position_data()
{
    QTest::addColumn<int>("record");
    QTest::addColumn<QByteArray>("expected");
    QTest::newRow("1 is neither 11 nor 21") << 1 << QByteArray("Bay|1|");
    QTest::newRow("11") << 11 << QByteArray("Arch|11|");
    QTest::newRow("21") << 21 << QByteArray("Ash|21|");
    QTest::newRow("2 is not 21 or 12") << 2 << QByteArray("Cove|2|");
    QTest::newRow("no entry") << 30 << QByteArray();
    QTest::newRow("none stored") << -2 << QByteArray();
    QTest::newRow("minus one") << -1 << QByteArray();
}

void tst_PickList::position()
{
    QFETCH(int, record);
    QFETCH(QByteArray, expected);
    QList<QByteArray> names(22, "Zed");
    names[1] = "Bay";
    names[2] = "Cove";
    names[11] = "Arch";
    names[12] = "Ace";
    names[21] = "Ash";
    const PickList list = listOf(names);
    const int pos = PickListPosition(list, record);
    if (expected.isEmpty()) {
        QCOMPARE(pos, -1);
    } else {
        QCOMPARE(list.entryAt(pos), expected);
        QCOMPARE(PickListRecordIndex(list, pos + 1), record);
    }
}

void tst_PickList::recordIndexOfAnItem_data()
{
    QTest::addColumn<int>("item");
    QTest::addColumn<int>("expected");
    QTest::newRow("<none>") << 0 << -2;
    QTest::newRow("first") << 1 << 12;
    QTest::newRow("last") << 3 << 7;
    QTest::newRow("past the box") << 4 << -2;
    QTest::newRow("no selection") << -1 << -2;
}

void tst_PickList::recordIndexOfAnItem()
{
    QFETCH(int, item);
    QFETCH(int, expected);
    PickList list(English);
    list.add("Newport", 7);
    list.add("Newport", 12);
    list.add("newport", 3);
    QCOMPARE(PickListRecordIndex(list, item), expected);
}

void tst_PickList::addAndRenameKeepTheOrder()
{
    PickList list = listOf({"Delta", "Bravo", "Foxtrot"});
    QCOMPARE(list.add("echo", 3), 2);
    QCOMPARE(list.add("Alpha", 4), 0);
    QCOMPARE(list.entries(),
             (QList<QByteArray>{"Alpha|4|", "Bravo|1|", "Delta|0|", "echo|3|", "Foxtrot|2|"}));
    QVERIFY(list.rename(1, "Golf"));
    QVERIFY(!list.rename(9, "Hotel"));
    QCOMPARE(list.entries(),
             (QList<QByteArray>{"Alpha|4|", "Delta|0|", "echo|3|", "Foxtrot|2|", "Golf|1|"}));
    QCOMPARE(list.position(1), 4);
    // The list a later load would build holds the same order.
    QCOMPARE(list.entries(), listOf({"Delta", "Golf", "Foxtrot", "echo", "Alpha"}).entries());
}

void tst_PickList::nameWithBarsIsNotMistakenForAnotherRecord()
{
    const PickList list = listOf({"A|2|b", "Mid", "Zulu"});
    QCOMPARE(list.entryAt(0), QByteArray("A|2|b|0|"));
    QCOMPARE(list.position(2), 2);
    QCOMPARE(list.recordIndex(1), 0);
    QCOMPARE(list.nameAt(0), QByteArray("A|2|b"));
}

void tst_PickList::builtFromStadiumsAndCities()
{
    Database db;
    db.image(DataFile::Stadium).setBytes(QByteArray(3 * RecordSize::Stadium, '\0'));
    const QByteArray longest(51, 'x');
    stadium(db, 0)->setName("Northgate");
    stadium(db, 1)->setName(longest);
    stadium(db, 2)->setName("Abbey Park");
    db.image(DataFile::City).setBytes(QByteArray(2 * RecordSize::City, '\0'));
    city(db, 0)->setName(QByteArray(26, 'm'));
    city(db, 1)->setName("London");
    // A partial trailing record is no stadium.
    db.image(DataFile::Stadium).append(QByteArray(10, 'q'));

    const PickList stadiums = PickList::fromStadiums(db, English);
    QCOMPARE(stadiums.entries(),
             (QList<QByteArray>{"Abbey Park|2|", "Northgate|0|", longest + "|1|"}));
    const PickList cities = PickList::fromCities(db, English);
    QCOMPARE(cities.items(), (QList<QByteArray>{"<none>", "London", QByteArray(26, 'm')}));
}

QTEST_GUILESS_MAIN(tst_PickList)
#include "tst_PickList.moc"
