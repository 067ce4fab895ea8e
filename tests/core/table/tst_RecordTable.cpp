// The tables on a generated database with some damaged values: every cell
// reads as the record's form does; sorting; the filter language against a
// plain reading of each term; bulk edits and imports all or nothing, checked
// against the same writes through the forms; malformed CSV refused.
#include "TestDatabase.h"
#include "TestFiles.h"

#include "core/app/CommandLine.h"
#include "core/db/Database.h"
#include "core/layout/PersonRecord.h"
#include "core/lookup/CollationKeys.h"
#include "core/lookup/Lookups.h"
#include "core/records/IntegrityCheck.h"
#include "core/lookup/NameTables.h"
#include "core/table/RecordTable.h"
#include "core/table/TableEdit.h"
#include "core/table/TableFilter.h"

#include <QCollator>
#include <QRegularExpression>
#include <QtTest>

#include <numeric>

using namespace kx3;

namespace {

struct World
{
    Database db;
    Lookups lookups;

    World()
    {
        BuilderOptions options;
        options.seed = 11;
        options.persons = 150;
        db.loadFiles(DatabaseBuilder(options).files());
        // Codes no list has an item for, and a day beyond its year.
        for (const int i : {3, 40, 77}) {
            PersonRecord p = *person(db, i);
            p.setNationality(9000 + i);
            p.setJob(200);
            p.setDateOfBirth({400, 1970, 0});
        }
        // Born the day after, and on the day the season begins.
        person(db, 10)->setDateOfBirth(encodeRecordDate(2, 7, 1980));
        person(db, 11)->setDateOfBirth(encodeRecordDate(1, 7, 1980));
        db.commitStep({QStringLiteral("damage"), {}, {}});
        lookups.build(db, QLocale::c());
    }
    std::array<QByteArray, DataFileCount> images() const
    {
        std::array<QByteArray, DataFileCount> out;
        for (std::size_t f = 0; f < DataFileCount; ++f)
            out[f] = db.image(DataFile(f)).bytes();
        return out;
    }
};

/// A term of the filters below read plainly: `field op value`.
bool keeps(const RecordTable &t, int row, const QString &term)
{
    static const QRegularExpression form(
        QStringLiteral("^\"?(.+?)\"? *(<=|>=|!=|=|<|>|~) *(.+)$"));
    const QRegularExpressionMatch m = form.match(term.trimmed());
    const int c = t.column(m.captured(1));
    const QString op = m.captured(2);
    const QString value = m.captured(3).remove(QLatin1Char('"'));
    const QString text = t.text(row, c);
    if (op == QLatin1String("~"))
        return text.contains(value, Qt::CaseInsensitive);
    // A number or a date compares as one whatever the column says it holds;
    // a date reads yyyymmdd.
    auto number = [](const QString &s) -> std::optional<double> {
        const QStringList d = s.split(QLatin1Char('/'));
        bool ok = d.size() == 1 || d.size() == 3;
        const double n = d.size() == 3 ? d[2].toInt() * 10000 + d[1].toInt() * 100 + d[0].toInt()
                                       : s.toDouble(&ok);
        return ok ? std::optional(n) : std::nullopt;
    };
    int order = 0;
    if (const auto want = number(value); !want) {
        order = text.compare(value, Qt::CaseInsensitive);
    } else {
        const auto have = number(text);
        if (!have)
            return op == QLatin1String("!=");
        order = *have < *want ? -1 : *have > *want ? 1 : 0;
    }
    return op == QLatin1String("=")    ? order == 0
           : op == QLatin1String("!=") ? order != 0
           : op == QLatin1String("<")  ? order < 0
           : op == QLatin1String("<=") ? order <= 0
           : op == QLatin1String(">")  ? order > 0
                                       : order >= 0;
}

} // namespace

class tst_RecordTable : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void cellsReadAsFormsAndSort();
    void filters_data();
    void filters();
    void bulkEditAllOrNothing();
    void csvRoundTrip();
    void malformedCsv_data();
    void malformedCsv();
    void commandsOnFolders();
};

void tst_RecordTable::cellsReadAsFormsAndSort()
{
    World w;
    const FormReader forms(w.db);
    QCollator collator{collationLocale(QLocale())};
    collator.setCaseSensitivity(Qt::CaseSensitive);
    for (TableKind kind : AllTableKinds) {
        const RecordTable t(w.db, w.lookups, kind);
        QVERIFY2(t.rowCount() > 0, tableKindName(kind));
        for (int r = 0; r < t.rowCount(); ++r) {
            const RecordForm form = *forms.read(tableFormKind(kind), t.record(r));
            for (std::size_t c = 0; c < t.columns().size(); ++c) {
                if (const FormField *f = form.field(t.columns()[c].field))
                    QCOMPARE(t.text(r, int(c)), f->text);
            }
        }
        for (const auto &[record, age] : {std::pair(10, "18"), std::pair(11, "19")}) {
            if (const int column = t.column(QStringLiteral("Age"));
                column >= 0 && t.rowOf(record) >= 0)
                QCOMPARE(t.text(t.rowOf(record), column), QLatin1String(age));
        }
        std::vector<int> all(std::size_t(t.rowCount()));
        std::iota(all.begin(), all.end(), 0);
        for (std::size_t c = 0; c < t.columns().size(); ++c) {
            const std::vector<int> up = t.sorted(all, int(c), true);
            QCOMPARE(up.size(), all.size());
            const bool text = t.columns()[c].type == TableColumn::Text;
            for (std::size_t i = 1; i < up.size(); ++i) {
                const int a = up[i - 1];
                const int b = up[i];
                if (text) {
                    const int order = collator.compare(t.text(a, int(c)), t.text(b, int(c)));
                    QVERIFY(order < 0
                            || (order == 0 && (a < b || t.text(a, int(c)) != t.text(b, int(c)))));
                } else {
                    const auto ka =
                        std::pair(t.value(a, int(c)).has_value(), t.value(a, int(c)).value_or(0));
                    const auto kb =
                        std::pair(t.value(b, int(c)).has_value(), t.value(b, int(c)).value_or(0));
                    QVERIFY(ka < kb || (ka == kb && a < b));
                }
            }
        }
    }
}

void tst_RecordTable::filters_data()
{
    QTest::addColumn<QString>("filter");
    QTest::addColumn<int>("errorAt"); // -1: a good filter
    QTest::addColumn<int>("kind");
    auto row = [](const char *name, const char *filter, int errorAt,
                  TableKind kind = TableKind::Players) {
        QTest::newRow(name) << QString::fromUtf8(filter) << errorAt << int(kind);
    };

    row("number", "Age < 25", -1);
    row("quoted name, no blanks", "\"Current Ability\">=100", -1);
    row("unquoted name with blanks", "current ability <= 80", -1);
    row("date", "Date Of Birth > 1/7/1975", -1);
    row("contains", "First Name ~ an", -1);
    row("text equal, any case", "job = PLAYER", -1);
    row("and before or", "Age < 20 or Age > 30 and Wage >= 500", -1);
    row("parentheses", "(Age < 20 or Age > 30) and Wage >= 500", -1);
    row("not equal", "Nation != \"<none>\"", -1);
    row("empty", "  ", -1);
    row("money, unit left off", "cash > 10000000", -1, TableKind::Clubs);
    row("city real number", "City Latitude < 10.5", -1, TableKind::Cities);
    row("official date", "Date Of Birth < 1/1/1960", -1, TableKind::Officials);
    row("no such column", "Speed > 3", 0);
    row("no operator", "Age 25", 4);
    row("no value", "Age <", 5);
    row("not a number", "Age < young", 6);
    row("not a date", "Date Of Birth < 1975", 16);
    row("no 31 February", "Date Of Birth < 31/2/1990", 16);
    row("no day 0, month 13", "Date Of Birth < 0/13/1980", 16, TableKind::Officials);
    row("open quote", "First Name = \"Ann", 13);
    row("open parenthesis", "(Age < 3", 8);
    row("no joining word", "Age < 3 Wage > 2", 8);
    row("dangling and", "Age < 3 and", 11);
}

void tst_RecordTable::filters()
{
    QFETCH(QString, filter);
    QFETCH(int, errorAt);
    QFETCH(int, kind);
    World w;
    const RecordTable t(w.db, w.lookups, TableKind(kind));
    FilterError error;
    const std::optional<TableFilter> f = TableFilter::parse(filter, t, &error);
    if (errorAt >= 0) {
        QVERIFY(!f);
        QCOMPARE(error.position, errorAt);
        QVERIFY(!error.message.isEmpty());
        QVERIFY(error.text().endsWith(QStringLiteral(" at character %1").arg(errorAt + 1)));
        return;
    }
    QVERIFY2(f, qPrintable(error.message));
    const std::vector<int> kept = f->apply(t);
    // Each row by the terms read plainly, `and` before `or`.
    const QString plain = QString(filter).remove(QLatin1Char('(')).remove(QLatin1Char(')'));
    const bool grouped = filter.startsWith(QLatin1Char('('));
    std::vector<int> expected;
    for (int r = 0; r < t.rowCount() && !plain.trimmed().isEmpty(); ++r) {
        bool any = false;
        const QStringList ors = grouped ? QStringList{plain} : plain.split(QStringLiteral(" or "));
        for (const QString &part : ors) {
            bool all = true;
            for (const QString &andPart : part.split(QStringLiteral(" and "))) {
                const QStringList alternatives = andPart.split(QStringLiteral(" or "));
                bool one = false;
                for (const QString &term : alternatives)
                    one = one || keeps(t, r, term);
                all = all && one;
            }
            any = any || all;
        }
        if (any)
            expected.push_back(r);
    }
    if (plain.trimmed().isEmpty()) {
        expected.resize(std::size_t(t.rowCount()));
        std::iota(expected.begin(), expected.end(), 0);
    }
    QCOMPARE(kept, expected);
}

void tst_RecordTable::bulkEditAllOrNothing()
{
    World w;
    RecordTable t(w.db, w.lookups, TableKind::Players);
    const int finishing = t.column(QStringLiteral("Finishing"));
    const int wage = t.column(QStringLiteral("Wage"));
    QVERIFY(finishing >= 0 && wage >= 0);
    // Adding 250 to a one-byte rating fits only where it was at most 5.
    std::vector<int> rows;
    bool low = false;
    bool high = false;
    for (int r = 0; r < t.rowCount() && (!low || !high || rows.size() < 6); ++r) {
        const bool fits = *t.value(r, finishing) <= 5;
        rows.push_back(r);
        (fits ? low : high) = true;
    }
    QVERIFY(low && high);
    const auto before = w.images();
    TableEditOutcome out =
        bulkEdit(w.db, w.lookups, t, rows, finishing, BulkOperation::Add, QStringLiteral("250"));
    QVERIFY(!out.ok());
    QVERIFY(!out.applied);
    QVERIFY(out.refused.size() < qsizetype(rows.size()));
    QVERIFY(w.images() == before);

    // The same rows, a value each takes: written through the forms, as a
    // second database written field by field through them shows.
    World other;
    out = bulkEdit(w.db, w.lookups, t, rows, wage, BulkOperation::Add, QStringLiteral("7"));
    QVERIFY2(out.ok(), qPrintable(out.refused.join(QLatin1Char('\n'))));
    QCOMPARE(out.changes.records.size(), rows.size());
    const RecordTable o(other.db, other.lookups, TableKind::Players);
    for (const int r : rows) {
        const QString next = QString::number(o.value(r, wage).value() + 7);
        QVERIFY(writeRecordForm(other.db, other.lookups, RecordKind::Person, o.record(r),
                                {{o.columns()[std::size_t(wage)].field, next}})
                    .ok());
        QCOMPARE(t.text(r, wage), next);
    }
    QVERIFY(w.images() == other.images());
    QCOMPARE(checkIntegrity(w.db), checkIntegrity(World().db));
}

void tst_RecordTable::csvRoundTrip()
{
    World w;
    for (TableKind kind : AllTableKinds) {
        RecordTable t(w.db, w.lookups, kind);
        const QByteArray csv = exportCsv(t);
        const auto before = w.images();
        // Rows found by Index, and by the names alone (the Index column cut).
        QByteArray byNames;
        for (const QByteArray &line : csv.split('\n'))
            byNames += line.mid(line.indexOf(',') + 1) + '\n';
        for (const QByteArray &file : {csv, byNames}) {
            const TableEditOutcome same = importCsv(w.db, w.lookups, t, file, false);
            // Generated persons may share their names: those rows alone are
            // refused, each named, and nothing is written.
            const bool shared = file == byNames && tableFormKind(kind) == RecordKind::Person;
            for (const QString &why : same.refused)
                QVERIFY2(shared && why.startsWith(u"line ") && why.endsWith(u"tells them apart"),
                         qPrintable(why));
            QVERIFY(same.changes.isEmpty());
            QVERIFY(w.images() == before);
        }
    }
    // A changed cell in a file matched by names, then a quoted name holding a
    // comma in one matched by Index.
    RecordTable t(w.db, w.lookups, TableKind::Players);
    auto cell = [&](int row, const char *column) {
        return t.text(row, t.column(QLatin1String(column)));
    };
    const QString newName = QStringLiteral("O'Neil, Jr");
    const QByteArray byNames =
        QStringLiteral("Second Name,First Name,Common Name,Current Ability\r\n"
                       "%1,%2,%3,17\r\n%4,%5,%6,%7\r\n")
            .arg(cell(0, "Second Name"), cell(0, "First Name"), cell(0, "Common Name"),
                 cell(5, "Second Name"), cell(5, "First Name"), cell(5, "Common Name"),
                 cell(5, "Current Ability"))
            .toUtf8();
    const QByteArray byIndex =
        QStringLiteral("Common Name,Index\r\n\"O'Neil, Jr\",%1\r\n").arg(t.record(0)).toUtf8();
    World other;
    const TableEditOutcome dry = importCsv(w.db, w.lookups, t, byNames, true);
    QVERIFY2(dry.ok(), qPrintable(dry.refused.join(QLatin1Char('\n'))));
    QCOMPARE(dry.changes.records.size(), std::size_t(1));
    QVERIFY(w.images() == other.images());
    for (const QByteArray &csv : {byNames, byIndex}) {
        const TableEditOutcome done = importCsv(w.db, w.lookups, t, csv, false);
        QVERIFY2(done.ok() && done.applied, qPrintable(done.refused.join(QLatin1Char('\n'))));
        QCOMPARE(done.changes.records.size(), std::size_t(1));
    }
    QVERIFY(writeRecordForm(other.db, other.lookups, RecordKind::Person, t.record(0),
                            {{QStringLiteral("Current Ability"), QStringLiteral("17")}})
                .ok());
    QVERIFY(writeRecordForm(other.db, other.lookups, RecordKind::Person, t.record(0),
                            {{QStringLiteral("Common Name"), newName}})
                .ok());
    QVERIFY(w.images() == other.images());
    QCOMPARE(cell(0, "Common Name"), newName);
    // A quote the files hold, which no way in may write, survives the trip;
    // so does a formula, written behind the apostrophe that makes it text.
    const int name = person(w.db, t.record(0))->commonName();
    QVERIFY(w.db.image(nameTableFile(NameTable::Common))
                .write(qsizetype(name) * RecordSize::NameEntry, QByteArray("=O\"Neil, Jr\0", 12)));
    t.reload();
    const QByteArray file = exportCsv(t);
    QVERIFY(file.startsWith("\xEF\xBB\xBFIndex,") && file.contains(",\"'=O\"\"Neil, Jr\","));
    const TableEditOutcome again = importCsv(w.db, w.lookups, t, file, false);
    QVERIFY2(again.ok() && again.changes.isEmpty(), qPrintable(again.refused.join(u'\n')));
}

void tst_RecordTable::malformedCsv_data()
{
    QTest::addColumn<QByteArray>("csv");
    QTest::addColumn<QString>("refusal");

    const QByteArray head = "Index,First Name,Wage\r\n";
    QTest::newRow("unknown columns")
        << QByteArray("Index,Speed,Wage,Nonsense\r\n1,2,3,4\r\n")
        << "line 1: the players table has no columns 'Speed', 'Nonsense'";
    QTest::newRow("column twice") << QByteArray("Index,Wage,wage\r\n") << "line 1, column 3: ";
    QTest::newRow("no way to match") << QByteArray("Wage\r\n5\r\n") << "line 1: an Index column";
    QTest::newRow("no such index") << head + "99999,A,1\r\n"
                                   << "line 2, column 1: ";
    QTest::newRow("same record twice") << head + "0,A,1\r\n0,A,2\r\n"
                                       << "line 3: the same record as line 2";
    QTest::newRow("unmatched name") << QByteArray("First Name,Wage\r\nNobody Here,1\r\n")
                                    << "line 2, column 1: none of the players";
    QTest::newRow("not Windows-1252")
        << head + QStringLiteral("0,\u0141ukasz,1\r\n").toUtf8() << "line 2, column 2: ";
    QTest::newRow("number too big") << head + "0,A,99999999999\r\n"
                                    << "line 2, column 3: ";
    QTest::newRow("not a number") << head + "0,A,lots\r\n"
                                  << "line 2, column 3: ";
    QTest::newRow("quote not closed") << head + "0,\"A,1\r\n"
                                      << "line 2, column 2: the quote is not closed";
    QTest::newRow("text after quote") << head + "0,\"A\"x,1\r\n"
                                      << "line 2, column 2: text after";
    QTest::newRow("quote inside") << head + "0,A\"B,1\r\n"
                                  << "line 2, column 2: a quote inside";
    QTest::newRow("fields missing") << head + "0,A\r\n"
                                    << "line 2: 2 fields, the header has 3";
    QTest::newRow("not UTF-8") << head + "0,\xe9,1\r\n"
                               << "The file is not UTF-8 text.";
}

void tst_RecordTable::malformedCsv()
{
    QFETCH(QByteArray, csv);
    QFETCH(QString, refusal);
    World w;
    RecordTable t(w.db, w.lookups, TableKind::Players);
    const auto before = w.images();
    const TableEditOutcome out = importCsv(w.db, w.lookups, t, csv, false);
    QVERIFY(!out.ok());
    QVERIFY2(out.refused.first().startsWith(refusal), qPrintable(out.refused.first()));
    QVERIFY(w.images() == before);
}

void tst_RecordTable::commandsOnFolders()
{
    const test::TestInstallation install;
    QVERIFY(install.isValid());
    const QString file = install.path() + QStringLiteral("/staff.csv");
    QString printed;
    QTextStream out(&printed);
    QTextStream err(&printed);
    QCOMPARE(runExportCsv(TableKind::Staff, file, install.path(), out, err), 0);
    QFile csv(file);
    QVERIFY(csv.open(QIODevice::ReadWrite));
    QList<QByteArray> lines = csv.readAll().split('\n');
    QList<QByteArray> cells = lines[1].split(',');
    const qsizetype ambition = lines[0].split(',').indexOf("Ambition");
    QVERIFY(ambition > 0);
    cells[ambition] = QByteArray::number(cells[ambition].toInt() + 1);
    lines[1] = cells.join(',');
    csv.resize(0);
    csv.write(lines.join('\n'));
    csv.close();
    const QByteArray staff = test::readFile(install.filePath(DataFile::Staff));
    QCOMPARE(runImportCsv(TableKind::Staff, file, install.path(), true, out, err), 0);
    QCOMPARE(test::readFile(install.filePath(DataFile::Staff)), staff);
    QCOMPARE(runImportCsv(TableKind::Staff, file, install.path(), false, out, err), 0);
    QVERIFY(test::readFile(install.filePath(DataFile::Staff)) != staff);
    QVERIFY2(printed.contains(QStringLiteral("changed: person ")), qPrintable(printed));
    QCOMPARE(runImportCsv(TableKind::Clubs, file, install.path(), false, out, err), 1);
}

QTEST_GUILESS_MAIN(tst_RecordTable)
#include "tst_RecordTable.moc"
