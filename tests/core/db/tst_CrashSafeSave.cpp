#include "SaveFaults.h"
#include "TestDatabase.h"
#include "TestFiles.h"

#include "core/db/AtomicFileSetWriter.h"
#include "core/db/Database.h"
#include "core/lookup/Lookups.h"
#include "core/records/CreateRecords.h"
#include "core/records/DeleteRecords.h"

#include <QDir>
#include <QFile>
#include <QMap>
#include <QTemporaryDir>
#include <QTest>

#ifdef Q_OS_UNIX
#include <csignal>
#include <sys/wait.h>
#include <unistd.h>
#endif

using namespace kx3;
using kx3::test::filesIn;

namespace {

/// Counts the steps of a save.
class CountSteps : public SaveFaultInjector
{
public:
    QString failWrite(int, const QString &) override { return {}; }
    QString failReplace(int, const QString &) override { return {}; }
    void atStep(int step) override { steps = step + 1; }
    int steps = 0;
};

/// Ends the process at one step, as a crash or a power cut would; given a
/// pipe, says so through it and waits there instead, to be killed.
class CrashAt : public SaveFaultInjector
{
public:
    explicit CrashAt(int step, int pipe = -1) : mStep(step), mPipe(pipe) {}
    QString failWrite(int, const QString &) override { return {}; }
    QString failReplace(int, const QString &) override { return {}; }
    void atStep(int step) override
    {
#ifdef Q_OS_UNIX
        if (step == mStep && mPipe >= 0 && ::write(mPipe, "x", 1) == 1)
            ::pause();
        if (step == mStep)
            ::_exit(0);
#endif
    }

private:
    int mStep;
    int mPipe;
};

void copyInstallation(const QString &from, const QString &to)
{
    QVERIFY(QDir().mkpath(to + QStringLiteral("/Data")));
    const QString data = from + QStringLiteral("/Data/");
    for (const QString &name : QDir(data).entryList(QDir::Files))
        QVERIFY(QFile::copy(data + name, to + QStringLiteral("/Data/") + name));
}

/// What the interrupted saves save: shapes of several files change.
void change(Database &db)
{
    Lookups lookups;
    lookups.build(db);
    QVERIFY(deletePerson(db, 3));
    insertClub(db, lookups.clubNames(), ClubValues{});
}

#ifdef Q_OS_UNIX
/// Saves the changed installation in `dir` from a child process that stops
/// at save step `step` (see CrashAt).
pid_t startSave(const QString &dir, int step, int pipe = -1)
{
    const pid_t child = ::fork();
    if (child == 0) {
        Database db;
        if (!db.load(dir))
            ::_exit(3);
        change(db);
        CrashAt crash(step, pipe);
        db.setSaveFaultInjector(&crash);
        db.save();
        ::_exit(2);
    }
    return child;
}

/// The exit status of a save dying at step `step`: 0 when it died there, 2
/// when it ran to its end, 3 when the folder did not load; -1 when it did not
/// exit at all.
int saveDyingAt(const QString &dir, int step)
{
    const pid_t child = startSave(dir, step);
    int status = 0;
    if (::waitpid(child, &status, 0) != child || !WIFEXITED(status))
        return -1;
    return WEXITSTATUS(status);
}
#endif

} // namespace

class tst_CrashSafeSave : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void initTestCase();
    void crashAtEveryStep();
    void damagedNewFileRollsBack();
    void damagedStatesKeepEveryCopy_data();
    void damagedStatesKeepEveryCopy();
    void secondProcessWaitsForTheWriter();
    void damagedLockIsTakenOver();

private:
    int firstRenameStep();
    std::unique_ptr<test::TestInstallation> mOriginal;
    QMap<QString, QByteArray> mOld;
    QMap<QString, QByteArray> mNew;
    int mSteps = 0;
    int mFirstRename = -1;
};

void tst_CrashSafeSave::initTestCase()
{
#ifndef Q_OS_UNIX
    QSKIP("Crashing a child process needs fork().");
#endif
    BuilderOptions options;
    options.persons = 60;
    mOriginal = std::make_unique<test::TestInstallation>(options);
    QVERIFY(mOriginal->isValid());
    mOld = filesIn(mOriginal->path() + QStringLiteral("/Data"));

    QTemporaryDir reference;
    copyInstallation(mOriginal->path(), reference.path());
    Database db;
    QVERIFY(db.load(reference.path()));
    change(db);
    CountSteps counter;
    db.setSaveFaultInjector(&counter);
    QVERIFY(db.save());
    mSteps = counter.steps;
    mNew = filesIn(reference.path() + QStringLiteral("/Data"));
    QVERIFY(mNew != mOld);
    QCOMPARE(mNew.keys(), mOld.keys());
    QVERIFY(mSteps > 40);
}

// A child process saves and dies at step k; the next load finds one whole
// set, old or new, byte for byte, and nothing of ours left beside it.
void tst_CrashSafeSave::crashAtEveryStep()
{
#ifdef Q_OS_UNIX
    int olds = 0;
    int news = 0;
    for (int k = 0; k < mSteps; ++k) {
        QTemporaryDir work;
        copyInstallation(mOriginal->path(), work.path());
        QVERIFY2(saveDyingAt(work.path(), k) == 0, qPrintable(QString::number(k)));

        // A read-only look (the integrity check's) sees the set the recovery
        // will leave, and leaves every file of the folder as it found it.
        const QDir dir(work.path() + QStringLiteral("/Data"));
        auto listing = [&] {
            QStringList all;
            for (const QFileInfo &f : dir.entryInfoList(QDir::Files | QDir::Hidden | QDir::System))
                all << f.fileName() + QLatin1Char(' ') + QString::number(f.size());
            return all;
        };
        const QStringList before = listing();
        Database view;
        bool interrupted = false;
        QVERIFY2(view.loadReadOnly(work.path(), {}, &interrupted), qPrintable(view.errorString()));
        QCOMPARE(listing(), before);
        QCOMPARE(interrupted, QFile::exists(dir.filePath(AtomicFileSetWriter::journalName())));

        Database db;
        QVERIFY2(db.load(work.path()), qPrintable(db.errorString()));
        for (DataFile f : AllDataFiles) {
            if (f != DataFile::PlayerSetup)
                QVERIFY2(view.image(f).bytes() == db.image(f).bytes(),
                         qPrintable(QStringLiteral("step %1: %2").arg(k).arg(dataFileName(f))));
        }
        const QMap<QString, QByteArray> found = filesIn(work.path() + QStringLiteral("/Data"));
        QVERIFY2(found == mOld || found == mNew, qPrintable(QStringLiteral("step %1").arg(k)));
        (found == mOld ? olds : news) += 1;
    }
    // Crashes before the journal leave the old set, after it the new one.
    QVERIFY(olds > 0 && news > 0);
#endif
}

// Should a new file be damaged after the journal was written (a disk that
// lied about flushing), the old set is put back and the user told so.
void tst_CrashSafeSave::damagedNewFileRollsBack()
{
#ifdef Q_OS_UNIX
    QTemporaryDir work;
    copyInstallation(mOriginal->path(), work.path());
    const QString data = work.path() + QStringLiteral("/Data");
    const int firstRename = firstRenameStep();
    QVERIFY(firstRename > 0);
    QCOMPARE(saveDyingAt(work.path(), firstRename), 0);
    for (const QString &name :
         QDir(data).entryList({QStringLiteral("*.kx3new")}, QDir::Hidden | QDir::Files)) {
        // Its size unchanged, so that only the checksum can tell.
        QFile temp(data + QLatin1Char('/') + name);
        QVERIFY(temp.open(QIODevice::ReadWrite) && temp.seek(temp.size() / 2)
                && temp.write("\x7f\x80", 2) == 2);
        break;
    }
    Database db;
    QVERIFY(db.load(work.path()));
    QCOMPARE(filesIn(data), mOld);
    QVERIFY(db.recoveryNote().contains(QStringLiteral("restored")));
#endif
}

// What a save left without a whole journal goes only where nothing can be
// lost by it; a damaged or forged journal moves nothing and says so.
void tst_CrashSafeSave::damagedStatesKeepEveryCopy_data()
{
    QTest::addColumn<QString>("state");
    QTest::addColumn<QString>("outcome"); // "gone", "kept" or "refused"
    // clang-format off
    QTest::newRow("leftovers equal to their files") << "equal" << "gone";
    QTest::newRow("a backup that differs from its file") << "differs" << "kept";
    QTest::newRow("journal lost after some renames") << "lost" << "kept";
    QTest::newRow("journal moving one data file over another") << "crafted" << "refused";
    QTest::newRow("journal naming the parent folder") << "dotdot" << "refused";
    QTest::newRow("rollback that could not finish") << "stuck" << "refused";
    // clang-format on
}

void tst_CrashSafeSave::damagedStatesKeepEveryCopy()
{
#ifdef Q_OS_UNIX
    QFETCH(QString, state);
    QFETCH(QString, outcome);
    QTemporaryDir work;
    copyInstallation(mOriginal->path(), work.path());
    const QString data = work.path() + QStringLiteral("/Data/");
    const QString journal = data + AtomicFileSetWriter::journalName();
    const QStringList theirs = {".notes.txt.Ab12Cd.kx3new", "staff.dat.bak",
                                ".staff.dat.x.kx3old"};
    for (const QString &name : theirs)
        QVERIFY(test::writeFile(data + name, "theirs"));
    if (state == QLatin1String("equal") || state == QLatin1String("differs")) {
        QVERIFY(test::writeFile(data + QStringLiteral(".staff.dat.Ab12Cd.kx3new"), "new"));
        QVERIFY(test::writeFile(data + QStringLiteral(".kx3save.journal.kx3new"), "KX3"));
        QVERIFY(test::writeFile(data + QStringLiteral(".CLUB.DAT.3.kx3old"),
                                state == QLatin1String("equal") ? mOld.value("club.Dat")
                                                                : QByteArray()));
    } else if (state == QLatin1String("lost")) {
        QCOMPARE(saveDyingAt(work.path(), firstRenameStep() + 7), 0);
        QVERIFY(QFile::remove(journal));
    } else if (state == QLatin1String("crafted") || state == QLatin1String("dotdot")) {
        const QByteArray entry =
            state == QLatin1String("crafted")
                ? "club.Dat\tstaff.dat\t-\t" + QByteArray::number(mOld.value("staff.dat").size())
                : QByteArray("..\t.x.Ab12Cd.kx3new\t-\t0");
        QVERIFY(test::writeFile(journal, "KX3SAVE 2\n" + entry + "\t0123456789abcdef\nEND\n"));
    } else {
        // Renaming file 5 fails, and so does putting nation.dat back (its
        // backup vanished): the save says which files are new, keeps its journal.
        struct LoseBackup : test::FailAtStep
        {
            using FailAtStep::FailAtStep;
            QString failReplace(int index, const QString &target) override
            {
                const QDir dir = QFileInfo(target).dir();
                for (const QString &b :
                     dir.entryList({".nation.dat.*.kx3old"}, QDir::Hidden | QDir::Files))
                    QFile::remove(dir.filePath(b));
                return FailAtStep::failReplace(index, target);
            }
        } faults(test::FailAtStep::Stage::Replace, 5);
        Database db;
        QVERIFY(db.load(work.path()));
        change(db);
        db.setSaveFaultInjector(&faults);
        QVERIFY(!db.save());
        QVERIFY2(db.errorDetail().contains(QStringLiteral("nation.dat still hold")),
                 qPrintable(db.errorDetail()));
    }
    auto ours = [&] {
        QStringList names = QDir(data).entryList(
            {QStringLiteral(".*.kx3*"), QStringLiteral(".kx3save*")}, QDir::Hidden | QDir::Files);
        for (const QString &t : theirs)
            names.removeAll(t);
        return names;
    };
    const QStringList before = ours();
    const QMap<QString, QByteArray> lying = filesIn(data);
    Database db;
    // A mixed set left by a lost journal may not load at all; either way
    // the user hears of the files kept.
    const bool loaded = db.load(work.path());
    const QString said = loaded ? db.recoveryNote() : db.errorDetail();
    const bool refused = outcome == QLatin1String("refused");
    QVERIFY2(refused ? !loaded : loaded || outcome == QLatin1String("kept"), qPrintable(said));
    QCOMPARE(ours(), outcome == QLatin1String("gone") ? QStringList() : before);
    for (const QString &name : theirs)
        QVERIFY2(QFile::exists(data + name), qPrintable(name));
    if (outcome == QLatin1String("kept"))
        QVERIFY2(said.contains(QStringLiteral("kept")), qPrintable(said));
    if (refused) {
        // The way forward: the files as they lie, read-only.
        Database view;
        QVERIFY(db.offersReadOnly() && view.loadReadOnly(work.path()) && !view.save());
        QCOMPARE(filesIn(data), lying);
    }
#endif
}

// A second editor or a check started while a save runs neither finishes it
// nor touches a file: only the writer recovers. Once it is gone the lock is
// stale and the next load finds one whole set.
void tst_CrashSafeSave::secondProcessWaitsForTheWriter()
{
#ifdef Q_OS_UNIX
    QTemporaryDir work;
    copyInstallation(mOriginal->path(), work.path());
    int ready[2];
    QVERIFY(::pipe(ready) == 0);
    const pid_t child = startSave(work.path(), firstRenameStep() + 5, ready[1]);
    char c = 0;
    QCOMPARE(::read(ready[0], &c, 1), 1);
    const QMap<QString, QByteArray> during = filesIn(work.path() + QStringLiteral("/Data"));
    Database other;
    QVERIFY(!other.load(work.path()));
    QVERIFY2(other.lockHolder().contains(QString::number(child)), qPrintable(other.lockHolder()));
    QVERIFY(other.offersReadOnly());
    Database check;
    bool interrupted = false;
    QVERIFY(check.loadReadOnly(work.path(), {}, &interrupted) && interrupted);
    QCOMPARE(filesIn(work.path() + QStringLiteral("/Data")), during);
    ::kill(child, SIGKILL);
    ::waitpid(child, nullptr, 0);
    ::close(ready[0]);
    ::close(ready[1]);
    QVERIFY2(other.load(work.path()), qPrintable(other.errorString()));
    const QMap<QString, QByteArray> found = filesIn(work.path() + QStringLiteral("/Data"));
    QVERIFY(found == mOld || found == mNew);
#endif
}

// A lock file left empty or damaged by a kill as it was written holds no
// one out for good; a lock of a live process does.
void tst_CrashSafeSave::damagedLockIsTakenOver()
{
    QTemporaryDir work;
    copyInstallation(mOriginal->path(), work.path());
    for (const QByteArray &content : {QByteArray(), QByteArray("\x01garbage")}) {
        QFile file(work.path() + QStringLiteral("/Data/.kx3edit.lock"));
        QVERIFY(file.open(QIODevice::WriteOnly) && file.write(content) == content.size()
                && file.flush()
                && file.setFileTime(QDateTime::currentDateTime().addSecs(-60),
                                    QFileDevice::FileModificationTime));
        file.close();
        Database db;
        QVERIFY2(db.load(work.path()), qPrintable(db.errorString()));
    }
}

#ifdef Q_OS_UNIX
int tst_CrashSafeSave::firstRenameStep()
{
    // The first step after the journal is durable: a crash there leaves one.
    for (int k = 0; k < mSteps && mFirstRename < 0; ++k) {
        QTemporaryDir probe;
        copyInstallation(mOriginal->path(), probe.path());
        if (saveDyingAt(probe.path(), k) == 0
            && QFile::exists(probe.path() + QStringLiteral("/Data/")
                             + AtomicFileSetWriter::journalName()))
            mFirstRename = k;
    }
    return mFirstRename;
}
#endif

QTEST_GUILESS_MAIN(tst_CrashSafeSave)
#include "tst_CrashSafeSave.moc"
