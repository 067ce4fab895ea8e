#include "RecordsTestSupport.h"
#include "TestDatabase.h"
#include "TestFiles.h"

#include "core/fields/FieldTable.h"
#include "core/app/CommandLine.h"
#include "core/changes/RecordForms.h"
#include "core/db/Database.h"
#include "core/layout/CodeLists.h"
#include "core/layout/NationRecord.h"
#include "core/layout/PersonRecord.h"
#include "core/lookup/Lookups.h"
#include "core/people/Transfers.h"
#include "core/table/RecordTable.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTextStream>
#include <QtTest>

#include <memory>

#include <sys/stat.h>
#include <unistd.h>

using namespace kx3;
using Action = CommandLine::Action;

Q_DECLARE_METATYPE(CommandLine::Action)

namespace {

/// What a run printed and returned.
struct Run
{
    int status = -1;
    QString out;
    QString err;
};

/// What an action prints and returns.
template <typename Action>
Run runAction(Action action)
{
    Run run;
    QTextStream out(&run.out);
    QTextStream err(&run.err);
    run.status = action(out, err);
    out.flush();
    err.flush();
    return run;
}

Run check(const QString &dir)
{
    return runAction(
        [&](QTextStream &out, QTextStream &err) { return runIntegrityCheck(dir, out, err); });
}

/// Writes the image of `file` back over the installation's file.
void writeBack(const test::TestInstallation &install, const Database &db, DataFile file)
{
    QVERIFY(test::writeFile(install.filePath(file), db.image(file).bytes()));
}

} // namespace

class tst_CommandLine : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void initTestCase();
    void parses_data();
    void parses();
    void checkExitStatus_data();
    void checkExitStatus();
    void refusalsGoToStandardError();
    void savesNoErrorTheFilesDidNotHave_data();
    void savesNoErrorTheFilesDidNotHave();
    void anyFolderName_data();
    void anyFolderName();
    void outputsOnlyAsPlainFiles_data();
    void outputsOnlyAsPlainFiles();

private:
    std::unique_ptr<test::TestInstallation> mInstall;
};

void tst_CommandLine::initTestCase()
{
    mInstall = std::make_unique<test::TestInstallation>();
    QVERIFY(mInstall->isValid());
}

void tst_CommandLine::parses_data()
{
    QTest::addColumn<QStringList>("arguments"); // "GAME" stands for an existing folder
    QTest::addColumn<Action>("action");
    QTest::addColumn<QString>("dir"); // "GAME", "." (the current folder) or empty
    QTest::addColumn<QString>("error");

    auto row = [](const char *tag, const QStringList &args, Action action, const char *dir,
                  const char *error = "") {
        QTest::newRow(tag) << args << action << QString::fromLatin1(dir)
                           << QString::fromLatin1(error);
    };
    row("nothing: look the game up", {}, Action::OpenWindow, "");
    row("a folder", {"GAME"}, Action::OpenWindow, "GAME");
    row("Qt's window options are Qt's", {"-platform", "offscreen", "GAME", "-reverse"},
        Action::OpenWindow, "GAME");
    row("check a folder", {"--check", "GAME"}, Action::Check, "GAME");
    row("check the current folder", {"--check"}, Action::Check, ".");
    row("help", {"-h", "GAME"}, Action::Help, "");
    row("version", {"--version"}, Action::Version, "");
    row("unknown option", {"--chekc", "GAME"}, Action::Invalid, "", "Unknown option 'chekc'");
    row("option missing its value", {"GAME", "-style"}, Action::Invalid, "", "Missing value");
    row("two folders", {"GAME", "GAME"}, Action::Invalid, "", "One installation folder at most");
    row("a table out", {"--export-csv", "players", "out.csv", "GAME"}, Action::ExportCsv, "GAME");
    row("two actions", {"--check", "--diff", "GAME", "GAME"}, Action::Invalid, "",
        "One action at a time, not --check and --diff");
    row("an option without its action", {"--dry-run", "GAME"}, Action::Invalid, "",
        "--dry-run goes with");
    row("no such table", {"--import-csv", "coaches", "in.csv", "GAME"}, Action::Invalid, "",
        "No table 'coaches'");
    row("advised ranges allowed", {"--apply-patch", "p.json", "GAME", "--allow-advised-range"},
        Action::ApplyPatch, "GAME");
    row("no such folder", {"--check", "/no/such/kx3"}, Action::Invalid, "",
        "/no/such/kx3 is not a folder");
}

void tst_CommandLine::parses()
{
    QFETCH(QStringList, arguments);
    QFETCH(Action, action);
    QFETCH(QString, dir);
    QFETCH(QString, error);

    const QString game = mInstall->path();
    arguments.replaceInStrings(QStringLiteral("GAME"), game);
    arguments.prepend(QStringLiteral("kx3edit"));
    const CommandLine c = parseCommandLine(arguments);
    QCOMPARE(c.action, action);
    QCOMPARE(c.opensWindow(), action == Action::OpenWindow);
    const QString wantDir = dir == QLatin1String("GAME") ? QDir(game).absolutePath()
                            : dir == QLatin1String(".")  ? QDir::currentPath()
                                                         : QString();
    QCOMPARE(c.installDir, wantDir);
    QVERIFY2(c.error.contains(error), qPrintable(c.error));
    QCOMPARE(c.error.isEmpty(), action != Action::Invalid);
    QCOMPARE(c.allowAdvisedRange, arguments.contains(QStringLiteral("--allow-advised-range")));
}

void tst_CommandLine::checkExitStatus_data()
{
    QTest::addColumn<int>("fault");
    QTest::addColumn<int>("status");
    QTest::addColumn<QString>("line");
    QTest::addColumn<QString>("summary");
    QTest::newRow("sound") << 0 << 0 << ""
                           << "no errors, no notes.";
    QTest::newRow("an error") << 1 << 1 << "error: staff.dat persons: record 3 has id 99"
                              << "1 error, no notes.";
    QTest::newRow("a note is no error")
        << 2 << 0 << "note: nation.dat: nation 1: kit colour 90 is neither none nor in 0..24"
        << "no errors, 1 note.";
    QTest::newRow("a contract ending before it began is a note")
        << 3 << 0 << "note: staff.dat: person 2: End 1/7/1998 is before Join 2/7/1998"
        << "no errors, 1 note.";
    QTest::newRow("a rating outside the screen's range is a note")
        << 4 << 0 << "note: staff.dat: person 2: Loyalty 25 is outside 0 - 20"
        << "no errors, 1 note.";
}

void tst_CommandLine::checkExitStatus()
{
    QFETCH(int, fault);
    QFETCH(int, status);
    QFETCH(QString, line);
    QFETCH(QString, summary);

    const test::TestInstallation install;
    QVERIFY(install.isValid());
    Database db;
    QVERIFY(install.loadInto(db));
    if (fault == 1) {
        person(db, 3)->setId(99);
        writeBack(install, db, DataFile::Staff);
    } else if (fault == 2) {
        nation(db, 1)->setKitColour(0, 90);
        writeBack(install, db, DataFile::Nation);
    } else if (fault == 3) {
        person(db, 2)->setJoined(encodeRecordDate(2, 7, 1998));
        person(db, 2)->setContractEnd(encodeRecordDate(1, 7, 1998));
        writeBack(install, db, DataFile::Staff);
    } else if (fault == 4) {
        writeNumber(db.image(DataFile::Staff), person(db, 2)->offset(),
                    fieldByKey(RecordKind::Person, u"loyalty")->number, 25);
        writeBack(install, db, DataFile::Staff);
    }

    const Run run = check(install.path());
    QCOMPARE(run.status, status);
    QVERIFY2(run.err.isEmpty(), qPrintable(run.err));
    QStringList lines = run.out.split(QLatin1Char('\n'), Qt::SkipEmptyParts);
    QVERIFY(!lines.isEmpty());
    const QString last = lines.takeLast();
    const QString data = QDir::toNativeSeparators(QDir(install.path()).filePath("Data"));
    QCOMPARE(last, QStringLiteral("Checked %1: %2").arg(data, summary));
    QCOMPARE(lines, line.isEmpty() ? QStringList() : QStringList{line});
}

void tst_CommandLine::refusalsGoToStandardError()
{
    // A folder without the game, and a database the loader refuses.
    QTemporaryDir empty;
    const Run missing = check(empty.path());
    QCOMPARE(missing.status, 2);
    QVERIFY(missing.out.isEmpty());
    QVERIFY2(missing.err.startsWith(QStringLiteral("kx3edit: Cannot open file ")),
             qPrintable(missing.err));

    const test::TestInstallation install;
    QFile staff(install.filePath(DataFile::Staff));
    QVERIFY(staff.resize(staff.size() - 157));
    const Run refused = check(install.path());
    QCOMPARE(refused.status, 2);
    QVERIFY(refused.out.isEmpty());
    QVERIFY2(refused.err.contains(QStringLiteral("staff.dat")), qPrintable(refused.err));

    // Bad arguments say so, and how to get help.
    const CommandLine bad = parseCommandLine({QStringLiteral("kx3edit"), QStringLiteral("-x")});
    const auto [status, out, err] =
        runAction([&](QTextStream &o, QTextStream &e) { return runCommandLine(bad, o, e); });
    QCOMPARE(status, 2);
    QVERIFY(out.isEmpty());
    QCOMPARE(err, QStringLiteral("kx3edit: Unknown option 'x'.\n"
                                 "Try 'kx3edit --help' for more information.\n"));
}

void tst_CommandLine::savesNoErrorTheFilesDidNotHave_data()
{
    QTest::addColumn<bool>("patch"); // --apply-patch, or --import-csv
    QTest::addColumn<QString>("field"); // set on the copy; none: a transfer into a damaged squad
    QTest::addColumn<QString>("value");
    QTest::addColumn<bool>("allow"); // --allow-advised-range
    QTest::addColumn<int>("status");
    QTest::addColumn<QString>("warning"); // the end of the one warning printed
    for (const bool patch : {true, false}) {
        const char *way = patch ? "patch" : "import";
        QTest::addRow("%s", way) << patch << "" << "" << true << 1 << "";
        QTest::addRow("%s, Finishing 25", way)
            << patch << "Finishing" << "25" << false << 1 << ": Finishing 25 is outside 0 - 20";
        QTest::addRow("%s, Current Ability 300 allowed", way)
            << patch << "Current Ability" << "300" << true << 0
            << ": Current Ability 300 is outside 0 - 200";
        // Both hold his Loyalty 25: no change of the file's.
        QTest::addRow("%s, Caps only", way) << patch << "Caps" << "31" << false << 0 << "";
    }
}

// A player the files hold in two squad slots of his club is a damage a
// transfer spreads: it frees one slot, and the other then holds a player of
// another club. A command must not write that; the files' own errors alone
// never stop a save (the guard's rows in the integrity check's test). A value
// changed to outside its advised range is written only when allowed.
void tst_CommandLine::savesNoErrorTheFilesDidNotHave()
{
    QFETCH(bool, patch);
    QFETCH(QString, field);
    QFETCH(QString, value);
    QFETCH(bool, allow);
    QFETCH(int, status);
    QFETCH(QString, warning);
    const test::TestInstallation damaged;
    const test::TestInstallation moved;
    QVERIFY(damaged.isValid() && moved.isValid());
    const QString file = damaged.path() + (patch ? "/move.json" : "/players.csv");
    int player = 0;
    for (const test::TestInstallation *install : {&damaged, &moved}) {
        Database db;
        QVERIFY(install->loadInto(db));
        while (person(db, player)->job() != Job::Player || person(db, player)->club() < 0)
            ++player;
        const int from = person(db, player)->club();
        Lookups lookups;
        lookups.build(db, QLocale::c());
        if (!field.isEmpty())
            writeNumber(db.image(DataFile::Staff), person(db, player)->offset(),
                        fieldByKey(RecordKind::Person, u"loyalty")->number, 25);
        if (install == &moved)
            QVERIFY(field.isEmpty()
                        ? transferPerson(db, player, (from + 1) % db.clubCount()).ok()
                        : writeRecordForm(db, lookups, RecordKind::Person, player, {{field, value}})
                              .ok());
        QVERIFY(db.save());
    }
    QCOMPARE(runAction([&](QTextStream &out, QTextStream &err) {
                 return patch ? runMakePatch(file, damaged.path(), moved.path(), out, err)
                              : runExportCsv(TableKind::Players, file, moved.path(), out, err);
             }).status,
             0);
    if (field.isEmpty()) {
        Database db;
        QVERIFY(damaged.loadInto(db));
        const int c = person(db, player)->club();
        const int slot = test::findSlot(db, c, -1, ClubSlots::Squad.first, ClubSlots::Squad.count);
        QVERIFY(club(db, c)->setPositionSlot(slot, player));
        QVERIFY(db.save());
    }
    const QString data = damaged.path() + QStringLiteral("/Data");
    const QMap<QString, QByteArray> before = test::filesIn(data);
    const Run run = runAction([&](QTextStream &out, QTextStream &err) {
        return patch ? runApplyPatch(file, damaged.path(), false, out, err, allow)
                     : runImportCsv(TableKind::Players, file, damaged.path(), false, out, err,
                                    allow);
    });
    QVERIFY2(run.status == status, qPrintable(run.out + run.err));
    QCOMPARE(test::filesIn(data) == before, status != 0);
    const QStringList warnings = run.out.split('\n').filter(QRegularExpression("^warning: "));
    QCOMPARE(warnings.size(), warning.isEmpty() ? 0 : 1);
    QVERIFY2(warning.isEmpty() || warnings.first().endsWith(warning), qPrintable(run.out));
    QVERIFY2(!field.isEmpty()
                 || (run.err.startsWith("kx3edit: the save would write errors the files did "
                                        "not have:\nerror: club image: club ")
                     && run.err.contains(QStringLiteral("holds person %1,").arg(player))),
             qPrintable(run.err));
}

void tst_CommandLine::anyFolderName_data()
{
    QTest::addColumn<QByteArray>("folder"); // empty: a working folder that is gone
    QTest::addColumn<QByteArray>("dir");    // the argument after --check, for a gone one
    QTest::addColumn<QString>("line");      // the start of what is printed
    QTest::newRow("a newline") << QByteArray("Game\nnext") << QByteArray()
                               << "Checked \"BASE/Game\\nnext/Data\": no errors, no notes.";
    QTest::newRow("not UTF-8") << QByteArray("Jo\xe9go\x01") << QByteArray()
                               << "Checked \"BASE/Jo\\xe9go\\x01/Data\": no errors, no notes.";
    for (const char *dir : {"", "."})
        QTest::addRow("no working folder, '%s'", dir)
            << QByteArray() << QByteArray(dir) << "kx3edit: The working folder cannot be read";
}

void tst_CommandLine::anyFolderName()
{
    QFETCH(QByteArray, folder);
    QFETCH(QByteArray, dir);
    QFETCH(QString, line);
    QTemporaryDir base;
    const QByteArray working = QFile::encodeName(QDir::currentPath());
    // QTemporaryDir cannot remove a name that is not UTF-8 by itself.
    const auto back = qScopeGuard([&] {
        QCOMPARE(::chdir(working.constData()), 0);
        if (!folder.isEmpty())
            QVERIFY(::unlink((dir + "/Data").constData()) == 0 && ::rmdir(dir.constData()) == 0);
    });
    if (folder.isEmpty()) {
        QVERIFY(::chdir(QFile::encodeName(base.path()).constData()) == 0 && base.remove());
    } else {
        dir = QFile::encodeName(base.path()) + '/' + folder;
        QCOMPARE(::mkdir(dir.constData(), 0755), 0);
        const QByteArray data = QFile::encodeName(mInstall->path() + QStringLiteral("/Data"));
        QCOMPARE(::symlink(data.constData(), (dir + "/Data").constData()), 0);
    }
    QByteArrayList args{"kx3edit", "--check", dir};
    char *argv[] = {args[0].data(), args[1].data(), args[2].data()};
    const Run run = runAction([&](QTextStream &out, QTextStream &err) {
        return runCommandLine(parseCommandLine(argumentList(dir.isEmpty() ? 2 : 3, argv)), out,
                              err);
    });
    QCOMPARE(run.status, folder.isEmpty() ? 2 : 0);
    QVERIFY2((run.out + run.err).startsWith(line.replace(QStringLiteral("BASE"), base.path())),
             qPrintable(run.out + run.err));
}

void tst_CommandLine::outputsOnlyAsPlainFiles_data()
{
    QTest::addColumn<QString>("target"); // under the installation
    QTest::addColumn<int>("way");        // --export-csv, --make-patch, --apply-patch, --import-csv
    QTest::addColumn<QString>("why");
    QTest::newRow("a data file") << "Data/staff.dat" << 0 << "inside the game's data folder";
    QTest::newRow("the untouched copy") << "Data.original/t.csv" << 0 << "data folder";
    QTest::newRow("a link to a data file") << "link" << 0 << "data folder";
    QTest::newRow("a pipe") << "fifo" << 0 << "not a plain file";
    QTest::newRow("a folder") << "Data" << 1 << "not a plain file";
    QTest::newRow("a patch from a pipe") << "fifo" << 2 << "not a plain file";
    QTest::newRow("a table from a folder") << "Data" << 3 << "not a plain file";
}

// A save renames over its target: the game's file, a device or a pipe would
// be replaced by the export's text. A pipe read would wait for ever.
void tst_CommandLine::outputsOnlyAsPlainFiles()
{
    QFETCH(QString, target);
    QFETCH(int, way);
    QFETCH(QString, why);
    const test::TestInstallation install;
    const QString at = install.path() + u'/' + target;
    const QString dir = install.path();
    QVERIFY(QDir(dir).mkpath(QStringLiteral("Data.original")));
    QVERIFY(::mkfifo(qPrintable(dir + "/fifo"), 0600) == 0);
    QVERIFY(QFile::link(install.filePath(DataFile::Staff), dir + "/link"));
    const QMap<QString, QByteArray> before = test::filesIn(dir + "/Data");
    const Run run = runAction([&](QTextStream &out, QTextStream &err) {
        switch (way) {
        case 0: return runExportCsv(TableKind::Players, at, dir, out, err);
        case 1: return runMakePatch(at, dir, dir, out, err);
        case 2: return runApplyPatch(at, dir, false, out, err);
        default: return runImportCsv(TableKind::Players, at, dir, false, out, err);
        }
    });
    QCOMPARE(run.status, 2);
    QVERIFY2(run.err.contains(why), qPrintable(run.err));
    QCOMPARE(test::filesIn(dir + "/Data"), before);
    QVERIFY(!QFileInfo(dir + "/fifo").isFile());
}

QTEST_GUILESS_MAIN(tst_CommandLine)
#include "tst_CommandLine.moc"
