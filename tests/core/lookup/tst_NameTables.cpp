#include "core/db/Database.h"
#include "core/layout/NameEntry.h"
#include "core/layout/OfficialRecord.h"
#include "core/layout/PersonRecord.h"
#include "core/lookup/NameTables.h"

#include <QTest>

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
        p->setFirstName(nameIndex);
        p->setSecondName(nameIndex);
        p->setCommonName(nameIndex);
    }
}

void setOfficials(Database &db, int count, std::int32_t nameIndex)
{
    db.image(DataFile::Officials).setBytes(QByteArray(count * RecordSize::Official, '\0'));
    for (int i = 0; i < count; ++i) {
        official(db, i)->setFirstName(nameIndex);
        official(db, i)->setSecondName(nameIndex);
    }
}

int usage(Database &db, NameTable table, int index)
{
    return nameEntry(db.image(nameTableFile(table)), index)->usageCount();
}

} // namespace

class tst_NameTables : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void readsAndFindsNames();
    void resolvesUnderTheNationKey();
    void renamingTheOnlyUserLeavesTheEntryUnused();
    void countsStopAt255();
    void officialsCountForFirstAndSecondNamesOnly();
    void oldIndexOutsideTheTableIsSkipped();
    void missingTargetChangesNothing();
    void appendsWholeEntriesAfterStrayBytes();
};

void tst_NameTables::readsAndFindsNames()
{
    Database db;
    const QByteArray full(51, 'W');
    setTable(db, NameTable::Second,
             {{"Smith", 5}, {"Smith", 9}, {"Smith ", 9}, {"Smith", 9}, {"", -2}, {full, 5}});
    // No zero after a 51-character name: the text must not run on into the id.
    QCOMPARE(SecondNameText(db, 5), full);
    QCOMPARE(SecondNameText(db, 6), QByteArray());
    QCOMPARE(SecondNameText(db, -1), QByteArray());
    // The last entry of exactly this text under exactly this key.
    QCOMPARE(FindName(db, NameTable::Second, 5, "Smith"), 0);
    QCOMPARE(FindName(db, NameTable::Second, 9, "Smith"), 3);
    QCOMPARE(FindName(db, NameTable::Second, 7, "Smith"), -1);
    QCOMPARE(FindName(db, NameTable::Second, 9, "Smith "), 2);
    QCOMPARE(FindName(db, NameTable::Second, 9, "Smit"), -1);
    QCOMPARE(FindName(db, NameTable::Second, -2, ""), 4);
    QCOMPARE(FindName(db, NameTable::Second, 5, full), 5);
}

void tst_NameTables::resolvesUnderTheNationKey()
{
    Database db;
    setTable(db, NameTable::Second, {{"Smith", 5, 1}, {"Smith", 9, 0}, {"Jones", 9, 2}});
    setPersons(db, 3, 2);
    QCOMPARE(FindOrAddName(db, NameTable::Second, 9, "Smith", NameTarget::person(1)), 1);
    QCOMPARE(person(db, 1)->secondName(), 1);
    QCOMPARE(person(db, 1)->firstName(), 2);
    QCOMPARE(usage(db, NameTable::Second, 1), 1);
    QCOMPARE(usage(db, NameTable::Second, 2), 2);

    // A third key appends one whole entry: text, id = index, key, one user.
    const QByteArray before = db.image(DataFile::SecondNames).bytes();
    QCOMPARE(FindOrAddName(db, NameTable::Second, 7, "Smith", NameTarget::person(1)), 3);
    const QByteArray &after = db.image(DataFile::SecondNames).bytes();
    QCOMPARE(after.size(), before.size() + 60);
    QCOMPARE(after.mid(180), QByteArray("Smith") + QByteArray(46, '\0')
                                 + QByteArray("\x03\0\0\0\x07\0\0\0\x01", 9));
    QCOMPARE(usage(db, NameTable::Second, 1), 0);
    QCOMPARE(usage(db, NameTable::Second, 0), 1);

    // No nationality (-1) is keyed -2, found again as such by the next person.
    QCOMPARE(FindOrAddName(db, NameTable::Second, -1, "Smith", NameTarget::person(0)), 4);
    QCOMPARE(nameEntry(db.image(DataFile::SecondNames), 4)->nationKey(), NoNationKey);
    QCOMPARE(FindOrAddName(db, NameTable::Second, -1, "Smith", NameTarget::person(2)), 4);
    QCOMPARE(nameCount(db, NameTable::Second), 5);
    QCOMPARE(usage(db, NameTable::Second, 4), 2);
    QCOMPARE(usage(db, NameTable::Second, 2), 0);
}

void tst_NameTables::renamingTheOnlyUserLeavesTheEntryUnused()
{
    Database db;
    setTable(db, NameTable::Common, {{"", 4, 1}, {"Zico", 4, 1}});
    setPersons(db, 2, 0);
    person(db, 1)->setCommonName(1);
    QCOMPARE(FindOrAddName(db, NameTable::Common, 4, "", NameTarget::person(1)), 0);
    QCOMPARE(nameCount(db, NameTable::Common), 2);
    QCOMPARE(usage(db, NameTable::Common, 1), 0);
    QCOMPARE(usage(db, NameTable::Common, 0), 2);

    // Confirming the same name again recounts (200 stored, 2 users) and
    // leaves the persons as they are. The zero bytes after the N persons
    // (staff.dat's attribute tables) are no users of entry 0.
    nameEntry(db.image(DataFile::CommonNames), 0)->setUsageCount(200);
    db.image(DataFile::Staff).append(QByteArray(RecordSize::Person, '\0'));
    const QByteArray staff = db.image(DataFile::Staff).bytes();
    QCOMPARE(FindOrAddName(db, NameTable::Common, 4, "", NameTarget::person(0)), 0);
    QCOMPARE(db.image(DataFile::Staff).bytes(), staff);
    QCOMPARE(usage(db, NameTable::Common, 0), 2);
}

void tst_NameTables::countsStopAt255()
{
    // Every person uses "A" (entry 0); person 0 confirms "A" again or moves to "B".
    const struct
    {
        int persons;
        const char *name;
        int countA;
        int countB;
    } cases[] = {{256, "A", 255, 0}, {257, "B", 255, 1}, {255, "B", 254, 1}};
    for (const auto &c : cases) {
        Database db;
        setTable(db, NameTable::First, {{"A", 1, 17}, {"B", 1, 0}});
        setPersons(db, c.persons, 0);
        FindOrAddName(db, NameTable::First, 1, c.name, NameTarget::person(0));
        QCOMPARE(usage(db, NameTable::First, 0), c.countA);
        QCOMPARE(usage(db, NameTable::First, 1), c.countB);
    }
}

void tst_NameTables::officialsCountForFirstAndSecondNamesOnly()
{
    // Three persons and three officials hold entry 1.
    const std::pair<NameTable, int> cases[] = {
        {NameTable::First, 6}, {NameTable::Second, 6}, {NameTable::Common, 3}};
    for (const auto &[table, expected] : cases) {
        Database db;
        setTable(db, table, {{"Ref", 2, 0}, {"Pierluigi", 2, 0}});
        setPersons(db, 3, 1);
        setOfficials(db, 3, 1);
        QCOMPARE(FindOrAddName(db, table, 2, "Pierluigi", NameTarget::person(0)), 1);
        QCOMPARE(usage(db, table, 1), expected);
    }
}

void tst_NameTables::oldIndexOutsideTheTableIsSkipped()
{
    // A new official's name field before its first confirm: a fresh name is
    // appended and the entries already there keep every byte.
    for (const int old : {-1, 2, 1000000}) {
        Database db;
        setTable(db, NameTable::First, {{"Anna", 2, 9}, {"Bo", 2, 9}});
        setOfficials(db, 2, 0);
        official(db, 1)->setFirstName(old);
        const QByteArray before = db.image(DataFile::FirstNames).bytes();
        QCOMPARE(FindOrAddName(db, NameTable::First, 2, "Cy", NameTarget::official(1)), 2);
        QCOMPARE(official(db, 1)->firstName(), 2);
        QCOMPARE(db.image(DataFile::FirstNames).bytes().left(before.size()), before);
        QCOMPARE(usage(db, NameTable::First, 2), 1);
    }
}

void tst_NameTables::missingTargetChangesNothing()
{
    const std::pair<NameTable, NameTarget> cases[] = {
        {NameTable::First, NameTarget::person(2)},
        {NameTable::First, NameTarget::person(-1)},
        {NameTable::Second, NameTarget::official(1)},
        {NameTable::Common, NameTarget::official(0)}, // officials have no common name
    };
    for (const auto &[table, target] : cases) {
        Database db;
        setTable(db, table, {{"X", 1, 3}});
        // staff.dat holds more than the N persons the table of contents counts.
        setPersons(db, 3, 0);
        db.counters().persons = 2;
        setOfficials(db, 1, 0);
        const auto bytes = [&] {
            return db.image(nameTableFile(table)).bytes() + db.image(DataFile::Staff).bytes()
                   + db.image(DataFile::Officials).bytes();
        };
        const QByteArray before = bytes();
        QCOMPARE(FindOrAddName(db, table, 1, "New", target), -1);
        QCOMPARE(bytes(), before);
    }
}

void tst_NameTables::appendsWholeEntriesAfterStrayBytes()
{
    Database db;
    setTable(db, NameTable::First, {{"Ann", 1, 1}});
    db.image(DataFile::FirstNames).append("\xAB\xCD");
    setPersons(db, 1, 0);
    // The text is cut to 51 bytes, so the second confirm finds the first's entry.
    const QByteArray typed(60, 'x');
    QCOMPARE(FindOrAddName(db, NameTable::First, 1, typed, NameTarget::person(0)), 1);
    QCOMPARE(FindOrAddName(db, NameTable::First, 1, typed, NameTarget::person(0)), 1);
    const NameEntry added = *nameEntry(db.image(DataFile::FirstNames), 1);
    QCOMPARE(added.text(), typed.left(51));
    QCOMPARE(added.id(), 1);
    QCOMPARE(added.nationKey(), 1);
    QCOMPARE(db.image(DataFile::FirstNames).bytes().right(2), QByteArray("\xAB\xCD"));
    QCOMPARE(usage(db, NameTable::First, 0), 0);
}

QTEST_GUILESS_MAIN(tst_NameTables)
#include "tst_NameTables.moc"
