#include "core/changes/RecordForms.h"
#include "core/fields/FieldTable.h"
#include "core/db/DataFiles.h"

#include <QRegularExpression>
#include <QTest>

#include <map>
#include <set>

using namespace kx3;

class tst_FieldTable : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void rowsAreWholeAndApart_data();
    void rowsAreWholeAndApart();
};

void tst_FieldTable::rowsAreWholeAndApart_data()
{
    QTest::addColumn<int>("kind");
    for (const RecordKind kind : AllFormKinds)
        QTest::newRow(formKindName(kind)) << int(kind);
}

void tst_FieldTable::rowsAreWholeAndApart()
{
    QFETCH(int, kind);
    const RecordKind k = RecordKind(kind);
    const std::span<const FieldSpec> rows = fieldTable(k);
    // Patches name fields by key and everything else by caption: both must
    // name one row, and every field a form has must have its row.
    std::set<QString> keys;
    std::set<QString> captions;
    static const QRegularExpression keyForm(QStringLiteral("^[a-z][a-z0-9_]*$"));
    for (const FieldSpec &f : rows) {
        QVERIFY2(keyForm.match(QLatin1String(f.key)).hasMatch(), f.key);
        QVERIFY2(keys.insert(QLatin1String(f.key)).second, f.key);
        QVERIFY2(captions.insert(fieldCaption(f)).second, f.caption);
    }
    const QStringList names = formFieldNames(k);
    QCOMPARE(std::set<QString>(names.begin(), names.end()), captions);

    // Every stored number lies inside its record and no byte is stored by
    // two rows: a rating typed with a wrong offset would overwrite another.
    const std::map<RecordKind, int> sizes = {
        {RecordKind::Nation, RecordSize::Nation},     {RecordKind::City, RecordSize::City},
        {RecordKind::Stadium, RecordSize::Stadium},   {RecordKind::Club, RecordSize::Club},
        {RecordKind::Official, RecordSize::Official}, {RecordKind::Person, RecordSize::Person}};
    std::map<std::pair<int, int>, const char *> owner;
    for (const FieldSpec &f : rows) {
        if (!f.isStored())
            continue;
        const int width = f.type == FieldType::Real   ? 8
                          : f.type == FieldType::Date ? 8
                                                      : numberWidth(f.number.type);
        const int size = f.part == FieldPart::PlayerAttributes ? RecordSize::PlayerAttributes
                         : f.part == FieldPart::StaffAttributes
                             ? RecordSize::StaffAttributes
                             : sizes.at(k);
        QVERIFY2(f.number.offset >= 0 && f.number.offset + width <= size, f.key);
        for (int b = 0; b < width; ++b) {
            const auto [at, added] = owner.emplace(std::pair(int(f.part), f.number.offset + b), f.key);
            QVERIFY2(added, qPrintable(QStringLiteral("%1 and %2")
                                           .arg(QLatin1String(f.key), QLatin1String(at->second))));
        }
    }
}

QTEST_GUILESS_MAIN(tst_FieldTable)
#include "tst_FieldTable.moc"
