#include "core/db/Database.h"
#include "core/layout/CityRecord.h"
#include "core/layout/StadiumRecord.h"
#include "core/lookup/PickList.h"

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
    void sortsWholeEntriesIgnoringCase();
    void windows1252BytesSortAsTheirLetters();
    void positionAndRecordIndex();
    void addAndRenameKeepTheOrder();
    void nameWithBarsIsNotMistakenForAnotherRecord();
    void builtFromStadiumsAndCities();
};

void tst_PickList::sortsWholeEntriesIgnoringCase()
{
    using List = QList<QByteArray>;
    List towns(13, "Zeta");
    towns[3] = "newport";
    towns[7] = "Newport";
    towns[12] = "Newport";
    // "1" sorts before "7" and the case of the name counts for nothing.
    QCOMPARE(listOf(towns).entries().mid(0, 3), (List{"Newport|12|", "newport|3|", "Newport|7|"}));
    QCOMPARE(listOf({"bridge", "ALDER", "abbey", "Bridge"}).entries(),
             (List{"abbey|2|", "ALDER|1|", "bridge|0|", "Bridge|3|"}));
    QCOMPARE(listOf({"A", ""}).items(), (List{"<none>", "", "A"}));

    // Entries equal ignoring case land in the same order however they came in.
    PickList a(English);
    PickList b(English);
    for (const char *name : {"newport", "Newport", "NEWPORT"})
        a.add(name, 7);
    for (const char *name : {"NEWPORT", "Newport", "newport"})
        b.add(name, 7);
    QCOMPARE(a.entries(), b.entries());
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

    // The five bytes Windows-1252 leaves undefined survive as control characters.
    const QByteArray odd("A\x81\x8D\x8F\x90\x9Dz");
    QCOMPARE(listOf({odd, "B"}).nameAt(0), odd);
    QCOMPARE(PickList::decode(odd), QString::fromUtf16(u"A\u0081\u008D\u008F\u0090\u009Dz"));
}

void tst_PickList::positionAndRecordIndex()
{
    QList<QByteArray> names(22, "Zed");
    names[1] = "Bay";
    names[2] = "Cove";
    names[11] = "Arch";
    names[12] = "Ace";
    names[21] = "Ash";
    const PickList list = listOf(names);
    // Record 1 is neither 11 nor 21, record 2 neither 12 nor 21.
    const std::pair<int, QByteArray> found[] = {{1, "Bay|1|"}, {11, "Arch|11|"}, {2, "Cove|2|"}};
    for (const auto &[record, entry] : found) {
        const int pos = PickListPosition(list, record);
        QCOMPARE(list.entryAt(pos), entry);
        QCOMPARE(PickListRecordIndex(list, pos + 1), record);
    }
    QCOMPARE(PickListPosition(list, 30), -1);
    QCOMPARE(PickListPosition(list, -1), -1);
    // Item 0 is "<none>"; no selection and an item past the box are none too.
    QCOMPARE(PickListRecordIndex(list, 0), -2);
    QCOMPARE(PickListRecordIndex(list, 23), -2);
    QCOMPARE(PickListRecordIndex(list, -1), -2);
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
