#include "db/Database.h"
#include "db/NameEntry.h"
#include "db/NameTables.h"
#include "people/PersonRecord.h"
#include "world/OfficialRecord.h"

#include <QTest>

Q_DECLARE_METATYPE(kx3::NameTable)
Q_DECLARE_METATYPE(kx3::NameTarget)

using namespace kx3;

namespace {

struct Name
{
    QByteArray text;
    std::int32_t key;
    int usage = 0;
};

void setTable(Database &db, NameTable table, const QList<Name> &names)
{
    DataImage &image = db.image(nameTableFile(table));
    image.setBytes(QByteArray(names.size() * RecordSize::NameEntry, '\0'));
    for (int i = 0; i < names.size(); ++i) {
        auto e = nameEntry(image, i);
        e->setText(names[i].text);
        e->setId(i);
        e->setNationKey(names[i].key);
        e->setUsageCount(names[i].usage);
    }
}

/// `count` persons whose first, second and common name fields all hold `nameIndex`.
void setPersons(Database &db, int count, std::int32_t nameIndex)
{
    db.image(DataFile::Staff).setBytes(QByteArray(count * RecordSize::Person, '\0'));
    db.counters().persons = count;
    for (int i = 0; i < count; ++i) {
        auto p = person(db, i);
        p->setId(i);
        p->setFirstName(nameIndex);
        p->setSecondName(nameIndex);
        p->setCommonName(nameIndex);
    }
}

void setOfficials(Database &db, int count, std::int32_t nameIndex)
{
    db.image(DataFile::Officials).setBytes(QByteArray(count * RecordSize::Official, '\0'));
    for (int i = 0; i < count; ++i) {
        auto o = official(db, i);
        o->setId(i);
        o->setFirstName(nameIndex);
        o->setSecondName(nameIndex);
    }
}

NameEntry entry(Database &db, NameTable table, int index)
{
    return *nameEntry(db.image(nameTableFile(table)), index);
}

} // namespace

class tst_NameTables : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void nameTextReadsTheField();
    void findName_data();
    void findName();
    void resolvesUnderItsOwnNationKey();
    void appendsAWholeEntryForANewKey();
    void noNationIsKeyedMinusTwo();
    void renamingTheOnlyUserLeavesTheEntryUnused();
    void countsStopAt255_data();
    void countsStopAt255();
    void officialsCountForFirstAndSecondNamesOnly_data();
    void officialsCountForFirstAndSecondNamesOnly();
    void oldIndexOutsideTheTableIsSkipped_data();
    void oldIndexOutsideTheTableIsSkipped();
    void reconfirmingRecomputesTheCount();
    void missingTargetChangesNothing_data();
    void missingTargetChangesNothing();
    void overlongTextFindsItsOwnEntryAgain();
    void strayTailBytesDoNotMisalignTheNewEntry();
};

void tst_NameTables::nameTextReadsTheField()
{
    Database db;
    const QByteArray full(51, 'W');
    setTable(db, NameTable::Second, {{"Smith", 5}, {full, 5}, {"", 5}});
    // A 51-character name leaves no zero: the text must stop at the field's end,
    // not run on into the identifier.
    QCOMPARE(SecondNameText(db, 1), full);
    QCOMPARE(SecondNameText(db, 0), QByteArray("Smith"));
    QCOMPARE(SecondNameText(db, 2), QByteArray());
    QCOMPARE(SecondNameText(db, 3), QByteArray());
    QCOMPARE(SecondNameText(db, -1), QByteArray());
    QCOMPARE(FirstNameText(db, 0), QByteArray());
    QCOMPARE(nameCount(db, NameTable::Second), 3);
}

void tst_NameTables::findName_data()
{
    QTest::addColumn<QByteArray>("text");
    QTest::addColumn<int>("key");
    QTest::addColumn<int>("expected");
    QTest::newRow("own key 5") << QByteArray("Smith") << 5 << 0;
    QTest::newRow("last of two with key 9") << QByteArray("Smith") << 9 << 3;
    QTest::newRow("unknown key") << QByteArray("Smith") << 7 << -1;
    QTest::newRow("case differs") << QByteArray("smith") << 9 << -1;
    QTest::newRow("trailing blank") << QByteArray("Smith ") << 9 << 2;
    QTest::newRow("prefix only") << QByteArray("Smit") << 9 << -1;
    QTest::newRow("empty under -2") << QByteArray() << -2 << 4;
    QTest::newRow("high bytes exact") << QByteArray("M\xFCller") << 9 << 5;
}

void tst_NameTables::findName()
{
    QFETCH(QByteArray, text);
    QFETCH(int, key);
    QFETCH(int, expected);
    Database db;
    setTable(
        db, NameTable::Second,
        {{"Smith", 5}, {"Smith", 9}, {"Smith ", 9}, {"Smith", 9}, {"", -2}, {"M\xFCller", 9}});
    QCOMPARE(FindName(db, NameTable::Second, key, text), expected);
}

void tst_NameTables::resolvesUnderItsOwnNationKey()
{
    Database db;
    setTable(db, NameTable::Second, {{"Smith", 5, 1}, {"Smith", 9, 0}, {"Jones", 9, 2}});
    setPersons(db, 3, 2);
    QCOMPARE(FindOrAddName(db, NameTable::Second, 9, "Smith", NameTarget::person(1)), 1);
    QCOMPARE(person(db, 1)->secondName(), 1);
    QCOMPARE(nameCount(db, NameTable::Second), 3);
    QCOMPARE(entry(db, NameTable::Second, 1).usageCount(), 1);
    QCOMPARE(entry(db, NameTable::Second, 2).usageCount(), 2);
    QCOMPARE(entry(db, NameTable::Second, 0).usageCount(), 1);
    // The other name fields of the person are not touched.
    QCOMPARE(person(db, 1)->firstName(), 2);
    QCOMPARE(person(db, 1)->commonName(), 2);
}

void tst_NameTables::appendsAWholeEntryForANewKey()
{
    Database db;
    setTable(db, NameTable::Second, {{"Smith", 5, 1}, {"Smith", 9, 1}});
    setPersons(db, 2, 0);
    const QByteArray before = db.image(DataFile::SecondNames).bytes();
    QCOMPARE(FindOrAddName(db, NameTable::Second, 7, "Smith", NameTarget::person(0)), 2);
    QCOMPARE(person(db, 0)->secondName(), 2);
    const QByteArray &after = db.image(DataFile::SecondNames).bytes();
    QCOMPARE(after.size(), before.size() + 60);
    // Entry 0 keeps its text; only its usage count (now 1 user) changes.
    QCOMPARE(after.left(59), before.left(59));
    QCOMPARE(entry(db, NameTable::Second, 0).usageCount(), 1);
    QByteArray expected("Smith");
    expected += QByteArray(46, '\0');
    expected += QByteArray("\x02\0\0\0", 4) + QByteArray("\x07\0\0\0", 4) + '\x01';
    QCOMPARE(after.mid(120), expected);
}

void tst_NameTables::noNationIsKeyedMinusTwo()
{
    Database db;
    setTable(db, NameTable::First, {{"Pele", 3, 1}});
    setPersons(db, 2, 0);
    QCOMPARE(FindOrAddName(db, NameTable::First, -1, "Pele", NameTarget::person(1)), 1);
    QCOMPARE(entry(db, NameTable::First, 1).nationKey(), NoNationKey);
    QCOMPARE(FindOrAddName(db, NameTable::First, -1, "Pele", NameTarget::person(0)), 1);
    QCOMPARE(nameCount(db, NameTable::First), 2);
    QCOMPARE(entry(db, NameTable::First, 1).usageCount(), 2);
    QCOMPARE(entry(db, NameTable::First, 0).usageCount(), 0);
}

void tst_NameTables::renamingTheOnlyUserLeavesTheEntryUnused()
{
    Database db;
    setTable(db, NameTable::Common, {{"", 4, 1}, {"Zico", 4, 1}});
    setPersons(db, 2, 0);
    person(db, 1)->setCommonName(1);
    QCOMPARE(FindOrAddName(db, NameTable::Common, 4, "", NameTarget::person(1)), 0);
    QCOMPARE(nameCount(db, NameTable::Common), 2);
    QCOMPARE(entry(db, NameTable::Common, 1).text(), QByteArray("Zico"));
    QCOMPARE(entry(db, NameTable::Common, 1).usageCount(), 0);
    QCOMPARE(entry(db, NameTable::Common, 0).usageCount(), 2);
}

void tst_NameTables::countsStopAt255_data()
{
    QTest::addColumn<int>("persons");
    QTest::addColumn<int>("oldCount");
    QTest::addColumn<int>("newCount");
    // Every person uses entry 0; person 0 moves to "B" (entry 1) or stays.
    QTest::newRow("256 users stay") << 256 << 255 << 255;
    QTest::newRow("257, one leaves") << 257 << 255 << 1;
    QTest::newRow("256, one leaves") << 256 << 255 << 1;
    QTest::newRow("255, one leaves") << 255 << 254 << 1;
}

void tst_NameTables::countsStopAt255()
{
    QFETCH(int, persons);
    QFETCH(int, oldCount);
    QFETCH(int, newCount);
    Database db;
    setTable(db, NameTable::First, {{"A", 1, 17}, {"B", 1, 0}});
    setPersons(db, persons, 0);
    const bool stays = oldCount == newCount;
    const int got =
        FindOrAddName(db, NameTable::First, 1, stays ? "A" : "B", NameTarget::person(0));
    QCOMPARE(got, stays ? 0 : 1);
    QCOMPARE(entry(db, NameTable::First, 0).usageCount(), oldCount);
    if (!stays)
        QCOMPARE(entry(db, NameTable::First, 1).usageCount(), newCount);
}

void tst_NameTables::officialsCountForFirstAndSecondNamesOnly_data()
{
    QTest::addColumn<NameTable>("table");
    QTest::addColumn<int>("expected");
    // Two other persons and three officials hold entry 1; person 0 joins them.
    QTest::newRow("first") << NameTable::First << 6;
    QTest::newRow("second") << NameTable::Second << 6;
    QTest::newRow("common") << NameTable::Common << 3;
}

void tst_NameTables::officialsCountForFirstAndSecondNamesOnly()
{
    QFETCH(NameTable, table);
    QFETCH(int, expected);
    Database db;
    setTable(db, table, {{"Ref", 2, 0}, {"Pierluigi", 2, 0}});
    setPersons(db, 3, 1);
    person(db, 0)->setFirstName(0);
    person(db, 0)->setSecondName(0);
    person(db, 0)->setCommonName(0);
    setOfficials(db, 3, 1);
    QCOMPARE(FindOrAddName(db, table, 2, "Pierluigi", NameTarget::person(0)), 1);
    QCOMPARE(entry(db, table, 1).usageCount(), expected);
    QCOMPARE(entry(db, table, 0).usageCount(), 0);
}

void tst_NameTables::oldIndexOutsideTheTableIsSkipped_data()
{
    QTest::addColumn<int>("old");
    QTest::newRow("none") << -1;
    QTest::newRow("just past the table") << 2;
    QTest::newRow("far past") << 1000000;
}

void tst_NameTables::oldIndexOutsideTheTableIsSkipped()
{
    QFETCH(int, old);
    Database db;
    setTable(db, NameTable::First, {{"Anna", 2, 9}, {"Bo", 2, 9}});
    setOfficials(db, 2, 0);
    official(db, 1)->setFirstName(old);
    const QByteArray before = db.image(DataFile::FirstNames).bytes();
    // A new official's name field before its first confirm: a fresh name is
    // appended; the entries already there keep every byte.
    QCOMPARE(FindOrAddName(db, NameTable::First, 2, "Cy", NameTarget::official(1)), 2);
    QCOMPARE(official(db, 1)->firstName(), 2);
    QCOMPARE(db.image(DataFile::FirstNames).bytes().left(before.size()), before);
    QCOMPARE(entry(db, NameTable::First, 2).usageCount(), 1);
}

void tst_NameTables::reconfirmingRecomputesTheCount()
{
    Database db;
    setTable(db, NameTable::Second, {{"Owen", 8, 200}});
    setPersons(db, 4, 0);
    const QByteArray staff = db.image(DataFile::Staff).bytes();
    QCOMPARE(FindOrAddName(db, NameTable::Second, 8, "Owen", NameTarget::person(2)), 0);
    QCOMPARE(db.image(DataFile::Staff).bytes(), staff);
    QCOMPARE(entry(db, NameTable::Second, 0).usageCount(), 4);
}

void tst_NameTables::missingTargetChangesNothing_data()
{
    QTest::addColumn<NameTable>("table");
    QTest::addColumn<NameTarget>("target");
    QTest::newRow("person past N") << NameTable::First << NameTarget::person(2);
    QTest::newRow("negative person") << NameTable::First << NameTarget::person(-1);
    QTest::newRow("official past the file") << NameTable::Second << NameTarget::official(1);
    QTest::newRow("official common name") << NameTable::Common << NameTarget::official(0);
}

void tst_NameTables::missingTargetChangesNothing()
{
    QFETCH(NameTable, table);
    QFETCH(NameTarget, target);
    Database db;
    setTable(db, table, {{"X", 1, 3}});
    // staff.dat holds more than the N persons the table of contents counts.
    setPersons(db, 3, 0);
    db.counters().persons = 2;
    setOfficials(db, 1, 0);
    const QByteArray names = db.image(nameTableFile(table)).bytes();
    const QByteArray staff = db.image(DataFile::Staff).bytes();
    const QByteArray officials = db.image(DataFile::Officials).bytes();
    QCOMPARE(FindOrAddName(db, table, 1, "New", target), -1);
    QCOMPARE(db.image(nameTableFile(table)).bytes(), names);
    QCOMPARE(db.image(DataFile::Staff).bytes(), staff);
    QCOMPARE(db.image(DataFile::Officials).bytes(), officials);
}

void tst_NameTables::overlongTextFindsItsOwnEntryAgain()
{
    Database db;
    setTable(db, NameTable::First, {});
    setPersons(db, 1, -1);
    const QByteArray typed(60, 'x');
    QCOMPARE(FindOrAddName(db, NameTable::First, 1, typed, NameTarget::person(0)), 0);
    QCOMPARE(FindOrAddName(db, NameTable::First, 1, typed, NameTarget::person(0)), 0);
    QCOMPARE(nameCount(db, NameTable::First), 1);
    QCOMPARE(FirstNameText(db, 0), typed.left(51));
}

void tst_NameTables::strayTailBytesDoNotMisalignTheNewEntry()
{
    Database db;
    setTable(db, NameTable::First, {{"Ann", 1, 1}});
    db.image(DataFile::FirstNames).append("\xAB\xCD");
    setPersons(db, 1, 0);
    QCOMPARE(FindOrAddName(db, NameTable::First, 1, "Ben", NameTarget::person(0)), 1);
    QCOMPARE(FirstNameText(db, 1), QByteArray("Ben"));
    QCOMPARE(entry(db, NameTable::First, 1).id(), 1);
    QCOMPARE(entry(db, NameTable::First, 1).nationKey(), 1);
    QCOMPARE(db.image(DataFile::FirstNames).bytes().right(2), QByteArray("\xAB\xCD"));
    QCOMPARE(entry(db, NameTable::First, 0).usageCount(), 0);
}

QTEST_GUILESS_MAIN(tst_NameTables)
#include "tst_NameTables.moc"
