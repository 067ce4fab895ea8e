#include "core/changes/RecordForms.h"
#include "core/db/DataFiles.h"
#include "core/fields/FieldTable.h"

#include <QTest>

#include <map>
#include <set>

using namespace kx3;

class tst_FieldTable : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void rowsAreWholeAndApart();
};

void tst_FieldTable::rowsAreWholeAndApart()
{
    const std::map<RecordKind, int> sizes = {
        {RecordKind::Nation, RecordSize::Nation},     {RecordKind::City, RecordSize::City},
        {RecordKind::Stadium, RecordSize::Stadium},   {RecordKind::Club, RecordSize::Club},
        {RecordKind::Official, RecordSize::Official}, {RecordKind::Person, RecordSize::Person}};
    for (const auto &[kind, size] : sizes) {
        // Patches name fields by key, everything else by caption: each names
        // one row, and every field a form has has its row.
        std::set<QString> keys, captions;
        // No byte is stored by two rows, none outside its record: a rating
        // typed with a wrong offset would overwrite another.
        std::map<std::pair<int, int>, const char *> owner;
        for (const FieldRow &f : fieldTable(kind)) {
            QVERIFY2(keys.insert(QLatin1String(f.key)).second, f.key);
            QVERIFY2(captions.insert(fieldCaption(f)).second, f.caption);
            if (!f.isStored())
                continue;
            const int width = f.isNumber() && f.type != FieldType::Whole
                                  ? 8
                                  : numberWidth(f.number.type);
            const int end = f.part == FieldPart::PlayerAttributes  ? RecordSize::PlayerAttributes
                            : f.part == FieldPart::StaffAttributes ? RecordSize::StaffAttributes
                                                                   : size;
            QVERIFY2(f.number.offset >= 0 && f.number.offset + width <= end, f.key);
            for (int b = 0; b < width; ++b)
                QVERIFY2(owner.emplace(std::pair(int(f.part), f.number.offset + b), f.key).second,
                         f.key);
        }
        const QStringList names = formFieldNames(kind);
        QCOMPARE(std::set<QString>(names.begin(), names.end()), captions);
    }
}

QTEST_GUILESS_MAIN(tst_FieldTable)
#include "tst_FieldTable.moc"
