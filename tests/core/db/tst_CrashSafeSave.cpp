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

/// Ends the process at one step, as a crash or a power cut would.
class CrashAt : public SaveFaultInjector
{
public:
    explicit CrashAt(int step) : mStep(step) {}
    QString failWrite(int, const QString &) override { return {}; }
    QString failReplace(int, const QString &) override { return {}; }
    void atStep(int step) override
    {
#ifdef Q_OS_UNIX
        if (step == mStep)
            ::_exit(0);
#endif
    }

private:
    int mStep;
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
/// Saves the changed installation in `dir` from a child process that dies at
/// save step `step`. The child's exit status: 0 when it died there, 2 when
/// the save ran to its end, 3 when the folder did not load; -1 when it did not
/// exit at all.
int saveDyingAt(const QString &dir, int step)
{
    const pid_t child = ::fork();
    if (child == 0) {
        Database db;
        if (!db.load(dir))
            ::_exit(3);
        change(db);
        CrashAt crash(step);
        db.setSaveFaultInjector(&crash);
        db.save();
        ::_exit(2);
    }
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
    void strayFilesOfOursGo();

private:
    std::unique_ptr<test::TestInstallation> mOriginal;
    QMap<QString, QByteArray> mOld;
    QMap<QString, QByteArray> mNew;
    int mSteps = 0;
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
        QVERIFY2(view.loadAsRecovered(work.path(), &interrupted), qPrintable(view.errorString()));
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
    // The first step after the journal: crash before any rename.
    int firstRename = 0;
    for (int k = 0; k < mSteps && !firstRename; ++k) {
        QTemporaryDir probe;
        copyInstallation(mOriginal->path(), probe.path());
        QCOMPARE(saveDyingAt(probe.path(), k), 0);
        if (QFile::exists(probe.path() + QStringLiteral("/Data/")
                          + AtomicFileSetWriter::journalName()))
            firstRename = k;
    }
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

// Leftovers named as ours go at the next load; any other file stays.
void tst_CrashSafeSave::strayFilesOfOursGo()
{
    QTemporaryDir work;
    copyInstallation(mOriginal->path(), work.path());
    const QString data = work.path() + QStringLiteral("/Data/");
    const QStringList ours = {QStringLiteral(".staff.dat.Ab12Cd.kx3new"),
                              QStringLiteral(".CLUB.DAT.3.kx3old"),
                              QStringLiteral(".kx3save.journal.kx3new")};
    const QStringList theirs = {QStringLiteral(".notes.txt.Ab12Cd.kx3new"),
                                QStringLiteral("staff.dat.bak"),
                                QStringLiteral(".staff.dat.x.kx3old")};
    for (const QString &name : ours + theirs) {
        QFile f(data + name);
        QVERIFY(f.open(QIODevice::WriteOnly));
    }
    Database db;
    QVERIFY(db.load(work.path()));
    QVERIFY(db.recoveryNote().isEmpty());
    for (const QString &name : ours)
        QVERIFY2(!QFile::exists(data + name), qPrintable(name));
    for (const QString &name : theirs)
        QVERIFY2(QFile::exists(data + name), qPrintable(name));
}

QTEST_GUILESS_MAIN(tst_CrashSafeSave)
#include "tst_CrashSafeSave.moc"
