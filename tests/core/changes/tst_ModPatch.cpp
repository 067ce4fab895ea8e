// Patches on a small generated database: each kind of conflict refuses the
// whole patch and leaves every byte; a database changed elsewhere first takes
// the patch and keeps its own changes; a malformed patch is refused with its
// line; and the three commands end to end on installation folders. (A whole
// random session's patch is checked by tst_RandomOperations.)
#include "TestDatabase.h"

#include "core/app/CommandLine.h"
#include "core/changes/DatabaseDiff.h"
#include "core/changes/ModPatch.h"
#include "core/db/Cp1252.h"
#include "core/db/Database.h"
#include "core/fields/FieldTable.h"
#include "core/layout/CodeLists.h"
#include "core/layout/OfficialRecord.h"
#include "core/layout/PersonRecord.h"
#include "core/layout/PlayerAttributes.h"
#include "core/lookup/Lookups.h"
#include "core/lookup/RecordTitles.h"
#include "core/people/PersonEdit.h"
#include "core/people/Transfers.h"
#include "core/records/DeleteRecords.h"
#include "core/records/IntegrityCheck.h"
#include "core/table/TableEdit.h"

#include <QTextStream>
#include <QtTest>

using namespace kx3;

namespace {

using Fields = std::vector<std::pair<QString, QString>>;

/// A database loaded from the same generated files each time.
struct World
{
    Database db;
    Lookups lookups;

    explicit World(const std::array<QByteArray, DataFileCount> &files)
    {
        db.loadFiles(files);
        lookups.build(db, QLocale::c());
    }
    bool write(RecordKind kind, std::optional<int> index, const Fields &fields)
    {
        const EditResult r = writeRecordForm(db, lookups, kind, index, fields);
        if (!r.ok())
            qWarning("refused: %s", qPrintable(r.message));
        return r.ok();
    }
    Patch patchTo(const World &changed) const
    {
        return *readPatch(writePatch(diffDatabases(FormReader(db), FormReader(changed.db))),
                          nullptr);
    }
};

const std::array<QByteArray, DataFileCount> &startFiles()
{
    static const std::array<QByteArray, DataFileCount> files = [] {
        BuilderOptions options;
        options.seed = 7;
        options.persons = 120;
        Database db;
        db.loadFiles(DatabaseBuilder(options).files());
        return db.savedFileSet();
    }();
    return files;
}

const QString Attraction = QStringLiteral("City Attraction");

} // namespace

class tst_ModPatch : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void conflictsWriteNothing_data();
    void conflictsWriteNothing();
    void changedElsewhereKeepsItsChanges();
    void malformedPatches_data();
    void malformedPatches();
    void commandsOnFolders();
    void miscLinesFollowTheirPerson_data();
    void miscLinesFollowTheirPerson();
    void hostileTextsRefusedAlike_data();
    void hostileTextsRefusedAlike();
    void everyFieldWritesBackAsItReads();
    void diffNamesEveryStoredField();
};

void tst_ModPatch::conflictsWriteNothing_data()
{
    QTest::addColumn<int>("spoil");
    QTest::addColumn<QString>("conflict");
    QTest::addRow("field changed elsewhere") << 0 << QStringLiteral("is 3, the patch changes");
    QTest::addRow("record missing") << 1 << QStringLiteral("not in this database");
    QTest::addRow("record there twice") << 2 << QStringLiteral("2 records have this identity");
    QTest::addRow("already done") << 3 << QString();
    QTest::addRow("named twice") << 4 << QStringLiteral("named twice by the patch");
}

void tst_ModPatch::conflictsWriteNothing()
{
    QFETCH(int, spoil);
    QFETCH(QString, conflict);
    const World start(startFiles());
    World changed(startFiles());
    // The patch: city 1's attraction and official 2's first rating, and
    // official 0 deleted.
    QVERIFY(changed.write(RecordKind::City, 1, {{Attraction, QStringLiteral("9")}}));
    const FormReader reader(start.db);
    const RecordForm official = *reader.read(RecordKind::Official, 2);
    const QString rating = official.fields.back().name;
    QVERIFY(changed.write(RecordKind::Official, 2, {{rating, QStringLiteral("17")}}));
    QVERIFY(deleteOfficial(changed.db, 0));
    Patch patch = start.patchTo(changed);
    if (spoil == 4)
        patch.records.push_back(patch.records.front());

    World target(startFiles());
    switch (spoil) {
    case 0: QVERIFY(target.write(RecordKind::City, 1, {{Attraction, QStringLiteral("3")}})); break;
    case 1: QVERIFY(deleteOfficial(target.db, 2)); break;
    case 2: {
        // A second official of the same names and birth date.
        Fields copy;
        for (const FormField &f : official.fields)
            copy.emplace_back(f.name, f.text);
        QVERIFY(target.write(RecordKind::Official, std::nullopt, copy));
        break;
    }
    case 3: QVERIFY(target.write(RecordKind::City, 1, {{Attraction, QStringLiteral("9")}})); break;
    }
    target.db.clearHistory();
    const std::array<QByteArray, DataFileCount> before = target.db.savedFileSet();

    const PatchOutcome dry = applyPatch(target.db, target.lookups, patch, true);
    QCOMPARE(target.db.savedFileSet(), before);
    const PatchOutcome outcome = applyPatch(target.db, target.lookups, patch, false);
    QCOMPARE(dry.conflicts, outcome.conflicts);
    if (conflict.isEmpty()) {
        QVERIFY2(outcome.ok(), qPrintable(outcome.error));
        QVERIFY(outcome.skipped.join('\n').contains(QStringLiteral("already 9")));
        QCOMPARE(outcome.changes.size(), 2);
        QVERIFY(diffDatabases(FormReader(target.db), FormReader(changed.db)).isEmpty());
        return;
    }
    QCOMPARE(outcome.conflicts.size(), 1);
    QVERIFY2(outcome.conflicts.first().contains(conflict), qPrintable(outcome.conflicts.first()));
    QVERIFY(!outcome.applied);
    QCOMPARE(target.db.savedFileSet(), before);
    QVERIFY(!target.db.isModified());
}

void tst_ModPatch::changedElsewhereKeepsItsChanges()
{
    const World start(startFiles());
    World changed(startFiles());
    const int persons = personCount(start.db);
    QVERIFY(changed.write(RecordKind::City, 2, {{Attraction, QStringLiteral("11")}}));
    QVERIFY(changed.write(RecordKind::Person, persons - 1, {{QStringLiteral("Caps"), "42"}}));
    QVERIFY(changed.write(RecordKind::Stadium, std::nullopt,
                          {{QStringLiteral("Name"), QStringLiteral("Patch Park")},
                           {QStringLiteral("Capacity"), QStringLiteral("12000")}}));
    QVERIFY(deletePerson(changed.db, 3));
    // A club of its own, and a national team, which that club moves up.
    const int teams = recordCount(changed.db, RecordKind::Club);
    QVERIFY(changed.write(RecordKind::Club, teams - 1, {{QStringLiteral("Cash (£)"), "777"}}));
    QVERIFY(changed.write(RecordKind::Club, std::nullopt,
                          {{QStringLiteral("Long Name"), "Patch FC"}}));
    const Patch patch = start.patchTo(changed);

    // The receiver inserted a club, deleted two persons (moving everyone
    // after them) and changed a city the patch does not touch.
    World target(startFiles());
    QVERIFY(
        target.write(RecordKind::Club, std::nullopt, {{QStringLiteral("Long Name"), "Own FC"}}));
    QVERIFY(deletePerson(target.db, 0));
    QVERIFY(deletePerson(target.db, 1));
    QVERIFY(target.write(RecordKind::City, 0, {{Attraction, QStringLiteral("5")}}));
    const World receiver(target.db.savedFileSet());

    const PatchOutcome outcome = applyPatch(target.db, target.lookups, patch, false);
    QVERIFY2(outcome.ok(), qPrintable(outcome.conflicts.join('\n') + outcome.error));
    // What the patch did to the receiver reads as what it says, nothing else.
    QStringList did = diffLines(diffDatabases(FormReader(receiver.db), FormReader(target.db)));
    QStringList says = diffLines(diffDatabases(FormReader(start.db), FormReader(changed.db)));
    did.sort();
    says.sort();
    QCOMPARE(did, says);
    QCOMPARE(checkIntegrity(target.db, target.lookups, IntegrityOptions{true}), QStringList());
    // A second apply finds every record, the added ones too, and changes nothing.
    const std::array<QByteArray, DataFileCount> once = target.db.savedFileSet();
    const PatchOutcome again = applyPatch(target.db, target.lookups, patch, false);
    QVERIFY2(again.ok() && again.changes.isEmpty(),
             qPrintable((again.changes + again.conflicts).join('\n') + again.error));
    QCOMPARE(target.db.savedFileSet(), once);
}

void tst_ModPatch::malformedPatches_data()
{
    QTest::addColumn<QByteArray>("text");
    QTest::addColumn<QString>("error");
    const QByteArray head = "{\n \"format\": \"kx3-patch\",\n \"version\": 1,\n \"records\": [\n";
    const QByteArray city = "  {\"kind\": \"city\", \"change\": \"changed\", "
                            "\"identity\": {\"Name\": \"A\", \"Nation\": \"B\"},\n";
    QTest::addRow("not JSON") << QByteArray("{\n\"format\": \"kx3-patch\",\n oops") << "line 3";
    QTest::addRow("other format") << QByteArray("{\"format\": \"zip\", \"version\": 1}")
                                  << "line 1: the format is not";
    QTest::addRow("newer version")
        << QByteArray("{\"format\": \"kx3-patch\", \"version\": 9, \"records\": []}")
        << "version 9 is newer";
    QTest::addRow("no such field")
        << head + city + "   \"fields\": {\"Colour\": {\"old\": \"1\", \"new\": \"2\"}}}]}"
        << "line 5: city has no field \"Colour\"";
    QTest::addRow("no such kind") << head + "  {\"kind\": \"planet\", \"change\": \"added\"}]}"
                                  << "line 5: 'planet'";
    QTest::addRow("nation added") << head
                                         + "  {\"kind\": \"nation\", \"change\": \"added\", "
                                           "\"identity\": {\"Name\": \"X\"}}]}"
                                  << "a nation cannot be added";
    const QByteArray misc = head + "  {\"kind\": \"misc\", \"change\": \"added\", \"identity\": ";
    QTest::addRow("misc line break")
        << misc + "{\"Line\": \"\\\"LOAN\\\" \\\"X\\\"\\r\\n\\\"KICKORA_SETUP\\\" \\\"9\\\"\"}}]}"
        << "control character CR";
    QTest::addRow("misc unquoted") << misc + "{\"Line\": \"LOAN X\"}}]}"
                                   << "is not a misc line";
    QTest::addRow("identity missing")
        << head + "  {\"kind\": \"club\", \"change\": \"removed\", \"identity\": {}}]}"
        << "no \"Long Name\"";
}

void tst_ModPatch::malformedPatches()
{
    QFETCH(QByteArray, text);
    QFETCH(QString, error);
    QString why;
    QVERIFY(!readPatch(text, &why));
    QVERIFY2(why.contains(error), qPrintable(why));
}

void tst_ModPatch::commandsOnFolders()
{
    const test::TestInstallation old;
    const test::TestInstallation copy;
    QVERIFY(old.isValid() && copy.isValid());
    Database db;
    QVERIFY(copy.loadInto(db));
    Lookups lookups;
    lookups.build(db);
    QVERIFY(writeRecordForm(db, lookups, RecordKind::City, 0, {{Attraction, "13"}}).ok());
    QVERIFY(db.save());

    auto run = [](const std::function<int(QTextStream &, QTextStream &)> &command,
                  QString *printed = nullptr) {
        QString out;
        QString err;
        QTextStream o(&out);
        QTextStream e(&err);
        const int status = command(o, e);
        o.flush();
        if (printed)
            *printed = out;
        return status;
    };
    QString lines;
    QCOMPARE(run([&](auto &o, auto &e) { return runDiff(old.path(), copy.path(), o, e); }, &lines),
             ExitStatus::Problems);
    QVERIFY2(lines.contains(QStringLiteral(": City Attraction: ")) && lines.endsWith("-> 13\n"),
             qPrintable(lines));
    QCOMPARE(
        run([&](auto &o, auto &e) { return runDiff(old.path(), old.path() + "/Data", o, e); }),
        ExitStatus::Success);
    QCOMPARE(run([&](auto &o, auto &e) { return runDiff(old.path(), "/nonexistent", o, e); }),
             ExitStatus::Failure);

    const QString patch = old.path() + "/change.json";
    QCOMPARE(
        run([&](auto &o, auto &e) { return runMakePatch(patch, old.path(), copy.path(), o, e); }),
        ExitStatus::Success);
    QCOMPARE(run([&](auto &o, auto &e) { return runApplyPatch(patch, old.path(), true, o, e); }),
             ExitStatus::Success);
    QCOMPARE(run([&](auto &o, auto &e) { return runDiff(old.path(), copy.path(), o, e); }),
             ExitStatus::Problems);
    QCOMPARE(run([&](auto &o, auto &e) { return runApplyPatch(patch, old.path(), false, o, e); }),
             ExitStatus::Success);
    QCOMPARE(run([&](auto &o, auto &e) { return runDiff(old.path(), copy.path(), o, e); }),
             ExitStatus::Success);
    QVERIFY(QFileInfo::exists(old.path() + "/Data.original"));
}

void tst_ModPatch::miscLinesFollowTheirPerson_data()
{
    QTest::addColumn<int>("way");    // an import, a patch with his lines, one without them
    QTest::addColumn<int>("change"); // a rename, a transfer, a rename with a new fee
    const char *const ways[] = {"import", "patch with his lines", "patch without his lines"};
    for (int row = 0; row < 6; ++row)
        QTest::addRow("%s, %s", ways[row / 2], row % 2 ? "transfer" : "rename")
            << row / 2 << row % 2;
    // The patch's new line differs from what refiling the old one makes:
    // both would be kept if either side did not give way.
    QTest::addRow("patch with his lines, rename and new fee") << 1 << 2;
}

// The screen's own confirm is the oracle: the lines it leaves are what an
// import or a patch of the same change must leave.
void tst_ModPatch::miscLinesFollowTheirPerson()
{
    QFETCH(int, way);
    QFETCH(int, change);
    World start(startFiles());
    int p = 0;
    while (person(start.db, p)->job() != Job::Player || person(start.db, p)->club() < 0
           || !playerAttributesOf(start.db, *person(start.db, p)))
        ++p;
    const QList<QByteArray> clubs = start.lookups.clubNames().names();
    PersonEdit e = *loadPersonEdit(start.db, p, RoleScreen::Player, clubs);
    e.playerMisc.tClub = clubs.value(0);
    e.playerMisc.tFee = "500";
    e.playerMisc.intRet = e.changed.misc = true;
    QVERIFY(applyPersonEdit(start.db, clubs, p, e).ok());
    const auto files = start.db.savedFileSet();
    const World base(files);

    World screen(files);
    e = *loadPersonEdit(screen.db, p, RoleScreen::Player, clubs);
    Fields fields;
    if (change == 1) {
        int to = 0;
        while (to == e.shownClub || !transferPerson(screen.db, p, to).ok())
            ++to;
        fields = {{QStringLiteral("Club"), fromCp1252(clubTitle(screen.db, to))}};
    } else {
        e.firstName = "Renamed";
        e.changed.firstName = true;
        if (change == 2)
            e.playerMisc.tFee = "900";
        fields = {{QStringLiteral("First Name"), QStringLiteral("Renamed")}};
    }
    e.changed.misc = true;
    QVERIFY(applyPersonEdit(screen.db, clubs, p, e).ok());
    QVERIFY(screen.db.setupLines() != base.db.setupLines());

    World target(files);
    if (way == 0) {
        RecordTable table(target.db, target.lookups, TableKind::Players);
        const QByteArray csv = "Index," + fields[0].first.toUtf8() + "\r\n" + QByteArray::number(p)
                               + ",\"" + fields[0].second.toUtf8() + "\"\r\n";
        const TableEditOutcome out = importCsv(target.db, target.lookups, table, csv, false);
        QVERIFY2(out.ok(), qPrintable(out.refused.join('\n')));
    } else {
        Patch patch = base.patchTo(screen);
        if (way == 2)
            std::erase_if(patch.records, [](auto &r) { return r.kind == RecordKind::Misc; });
        const PatchOutcome out = applyPatch(target.db, target.lookups, patch, false);
        QVERIFY2(out.ok(), qPrintable(out.conflicts.join('\n') + out.error));
    }
    QCOMPARE(target.db.setupLines(), screen.db.setupLines());
}

void tst_ModPatch::hostileTextsRefusedAlike_data()
{
    QTest::addColumn<int>("kind");
    QTest::addColumn<QString>("field");
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("refusal");
    auto row = [](const char *name, RecordKind k, const char *field, const QString &text,
                  const char *refusal) {
        QTest::addRow("%s", name) << int(k) << QString::fromUtf8(field) << text
                                  << QString::fromUtf8(refusal);
    };
    using K = RecordKind;
    row("too long", K::Person, "First Name", QString(60, u'a'),
        "First Name holds at most 51 characters");
    row("NUL", K::Person, "Common Name", QStringLiteral("Ab") + QChar(0) + QStringLiteral("cd"),
        "Common Name cannot hold the control character NUL");
    row("quote", K::Club, "Long Name", QStringLiteral("O\"Neil FC"),
        "Long Name cannot hold a double quote");
    row("line break", K::City, "Name", QStringLiteral("Bad\r\nCity"), "the control character CR");
    row("code page", K::Stadium, "Name", QStringLiteral("\u0141odz Arena"), "Western European");
    row("flag yes", K::Stadium, "Retractable Roof", QStringLiteral("yes"), "neither Yes nor No");
    row("flag TRUE", K::Club, "PLC", QStringLiteral("TRUE"), "neither Yes nor No");
    row("no such item", K::Person, "Plays In", QStringLiteral("Mars"), "is not in the list");
    row("beyond the field", K::Person, "Current Ability", QStringLiteral("70000"), "70000");
    row("no number", K::Nation, "Reputation", QStringLiteral("high"), "'high'");
    row("no such day", K::Official, "Date Of Birth", QStringLiteral("31/2/1990"), "31/2/1990");
}

// The table's cells, a CSV file and a patch reach the records by three ways;
// each refuses the same text in the same words and writes nothing.
void tst_ModPatch::hostileTextsRefusedAlike()
{
    QFETCH(int, kind);
    QFETCH(QString, field);
    QFETCH(QString, text);
    QFETCH(QString, refusal);
    const RecordKind k = RecordKind(kind);
    World w(startFiles());
    int index = 0; // a player, so that his player fields are his
    while (k == RecordKind::Person && !playerAttributesOf(w.db, *person(w.db, index)))
        ++index;
    const RecordForm form = *FormReader(w.db).read(k, index);
    const std::array<QByteArray, DataFileCount> before = w.db.savedFileSet();
    QStringList said{writeRecordForm(w.db, w.lookups, k, index, {{field, text}}).message};
    const TableKind tables[] = {TableKind::Nations, TableKind::Cities,    TableKind::Stadiums,
                                TableKind::Clubs,   TableKind::Officials, TableKind::Players};
    RecordTable rows(w.db, w.lookups, tables[kind]);
    const QByteArray csv = "Index," + field.toUtf8() + "\r\n" + QByteArray::number(index) + ",\""
                           + text.toUtf8().replace('"', "\"\"") + "\"\r\n";
    said << importCsv(w.db, w.lookups, rows, csv, false).refused.join('\n');

    PatchRecord r{k, RecordChange::Type::Changed, form.identity, 0, {}, 1};
    r.fields.push_back({field, form.field(field)->text, text});
    const PatchOutcome out = applyPatch(w.db, w.lookups, Patch{{r}}, false);
    said << out.error + out.conflicts.join('\n');
    for (const QString &s : said)
        QVERIFY2(s.contains(refusal), qPrintable(s));
    QCOMPARE(w.db.savedFileSet(), before);
}

// Every field of every record written back with the text it reads changes no
// byte: a binding that reads one thing and writes another would.
void tst_ModPatch::everyFieldWritesBackAsItReads()
{
    World w(startFiles());
    const std::array<QByteArray, DataFileCount> before = w.db.savedFileSet();
    for (const RecordKind k : AllFormKinds) {
        const FormReader reader(w.db);
        for (int i = 0; i < std::min(reader.count(k), 40); ++i) {
            Fields fields;
            const RecordForm form = *reader.read(k, i);
            for (const FormField &f : form.fields)
                fields.emplace_back(f.name, f.text);
            const EditResult r = writeRecordForm(w.db, w.lookups, k, i, fields);
            QVERIFY2(r.ok(), qPrintable(r.message));
            QVERIFY2(w.db.savedFileSet() == before,
                     qPrintable(QStringLiteral("%1 %2").arg(formKindName(k)).arg(i)));
        }
    }
}

// The oracle is the record's bytes: one field's bytes changed, the diff must
// name that field of that record and nothing else.
void tst_ModPatch::diffNamesEveryStoredField()
{
    const World start(startFiles());
    int index = 0; // a player coach owns both attribute records
    while (!playerAttributesOf(start.db, *person(start.db, index))
           || !staffAttributesOf(start.db, *person(start.db, index)))
        ++index;
    const auto p = *person(start.db, index);
    const qsizetype parts[] = {p.offset(), playerAttributesOf(start.db, p)->offset(),
                               staffAttributesOf(start.db, p)->offset()};
    const FormReader before(start.db);
    for (const FieldRow &f : fieldTable(RecordKind::Person)) {
        if (!f.isStored())
            continue;
        World changed(startFiles());
        DataImage &image = changed.db.image(DataFile::Staff);
        // Another value the field can hold: the next, or a first one for none.
        const qsizetype at = parts[int(f.part)];
        const std::int64_t was = readNumber(image, at, f.number);
        QVERIFY(writeNumber(image, at, f.number,
                            was < 0                           ? 0
                            : was == numberMax(f.number.type) ? was - 1
                                                              : was + 1));
        const DatabaseDiff diff = diffDatabases(before, FormReader(changed.db));
        QVERIFY2(diff.records.size() == 1 && diff.records[0].fields.size() == 1, f.key);
        QCOMPARE(diff.records[0].fields[0].field, fieldCaption(f));
    }
}

QTEST_GUILESS_MAIN(tst_ModPatch)
#include "tst_ModPatch.moc"
