#include "SaveFaults.h"
#include "TestFiles.h"
#include "core/db/AtomicFileSetWriter.h"

#include <QCryptographicHash>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QTest>

using kx3::AtomicFileSetWriter;
using kx3::test::FailAtStep;

namespace {

void writeFile(const QString &path, const QByteArray &content)
{
    QVERIFY(kx3::test::writeFile(path, content));
}

} // namespace

class tst_AtomicFileSetWriter : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void replacesEveryFileAndLeavesNothingBehind();
    void failureAtAnyStepChangesNothing_data();
    void failureAtAnyStepChangesNothing();
    void readOnlyOriginalBecomesOwnerWritable();
    void unwritableFolderFails();
    void earlierJournalIsRecovered();
    void everyStepIsDurableBeforeTheNext();
};

void tst_AtomicFileSetWriter::replacesEveryFileAndLeavesNothingBehind()
{
    QTemporaryDir dir;
    writeFile(dir.filePath("a.dat"), "old a");
    AtomicFileSetWriter w;
    w.add(dir.filePath("a.dat"), "new a");
    w.add(dir.filePath("b.dat"), "new b");
    QVERIFY(w.commit());
    QCOMPARE(kx3::test::readFile(dir.filePath("a.dat")), QByteArray("new a"));
    QCOMPARE(kx3::test::readFile(dir.filePath("b.dat")), QByteArray("new b"));
    QCOMPARE(QDir(dir.path()).entryList(QDir::Files | QDir::Hidden).size(), 2);
}

void tst_AtomicFileSetWriter::failureAtAnyStepChangesNothing_data()
{
    QTest::addColumn<int>("stage");
    QTest::addColumn<int>("index");
    for (int i = 0; i < 4; ++i) {
        QTest::addRow("write %d", i) << int(FailAtStep::Stage::Write) << i;
        QTest::addRow("replace %d", i) << int(FailAtStep::Stage::Replace) << i;
    }
}

void tst_AtomicFileSetWriter::failureAtAnyStepChangesNothing()
{
    QFETCH(int, stage);
    QFETCH(int, index);
    QTemporaryDir dir;
    const QStringList names = {"one.dat", "two.dat", "three.dat", "four.cfg"};
    for (const QString &n : names)
        writeFile(dir.filePath(n), "old " + n.toLatin1());
    FailAtStep faults(FailAtStep::Stage(stage), index);
    AtomicFileSetWriter w;
    w.setFaultInjector(&faults);
    for (const QString &n : names)
        w.add(dir.filePath(n), "brand new content of " + n.toLatin1());
    QVERIFY(!w.commit());
    QCOMPARE(w.failedTarget(), dir.filePath(names.at(index)));
    for (const QString &n : names)
        QCOMPARE(kx3::test::readFile(dir.filePath(n)), "old " + n.toLatin1());
    QCOMPARE(QDir(dir.path()).entryList(QDir::Files | QDir::Hidden), [&] {
        QStringList sorted = names;
        sorted.sort();
        return sorted;
    }());
}

void tst_AtomicFileSetWriter::readOnlyOriginalBecomesOwnerWritable()
{
    QTemporaryDir dir;
    const QString path = dir.filePath("staff.dat");
    writeFile(path, "old");
    QVERIFY(QFile::setPermissions(path, QFile::ReadOwner | QFile::ReadGroup | QFile::ReadOther));
    AtomicFileSetWriter w;
    w.add(path, "new");
    QVERIFY(w.commit());
    QCOMPARE(kx3::test::readFile(path), QByteArray("new"));
    const auto perms = QFile::permissions(path);
    QVERIFY(perms & QFile::WriteOwner);
    QVERIFY(perms & QFile::ReadOther);
    QVERIFY(!(perms & QFile::WriteOther));
}

void tst_AtomicFileSetWriter::unwritableFolderFails()
{
    AtomicFileSetWriter w;
    w.add(QStringLiteral("/nonexistent-kx3-folder/a.dat"), "x");
    QVERIFY(!w.commit());
    QCOMPARE(w.failedTarget(), QStringLiteral("/nonexistent-kx3-folder/a.dat"));
    QVERIFY(!w.errorDetail().isEmpty());
}

// A save cut short by an earlier version, whose journal holds MD5 digests, is
// still finished, or undone when a new file does not match its digest.
void tst_AtomicFileSetWriter::earlierJournalIsRecovered()
{
    for (const QByteArray &named : {QByteArray("new a"), QByteArray("new b")}) {
        QTemporaryDir dir;
        writeFile(dir.filePath("a.dat"), "old a");
        writeFile(dir.filePath(".a.dat.0.kx3old"), "old a");
        writeFile(dir.filePath(".a.dat.Ab12Cd.kx3new"), "new a");
        writeFile(dir.filePath(AtomicFileSetWriter::journalName()),
                  "KX3SAVE 1\na.dat\t.a.dat.Ab12Cd.kx3new\t.a.dat.0.kx3old\t5\t"
                      + QCryptographicHash::hash(named, QCryptographicHash::Md5).toHex()
                      + "\nEND\n");
        const bool whole = named == "new a";
        QCOMPARE(AtomicFileSetWriter::recover(dir.path(), {"a.dat"}),
                 whole ? kx3::SaveRecovery::RolledForward : kx3::SaveRecovery::RolledBack);
        QCOMPARE(kx3::test::readFile(dir.filePath("a.dat")), whole ? named : QByteArray("old a"));
    }
}

// The order that makes a save crash-safe, from the operations the writer
// reports: a step missing (a flush skipped) or moved breaks it.
void tst_AtomicFileSetWriter::everyStepIsDurableBeforeTheNext()
{
    struct Recorder : kx3::SaveFaultInjector
    {
        QString failWrite(int, const QString &) override { return {}; }
        QString failReplace(int, const QString &) override { return {}; }
        void performed(kx3::DiskOp op, const QString &path) override
        {
            static const QRegularExpression temporary(
                QStringLiteral("(\\.[A-Za-z0-9]{6})?\\.kx3new$"));
            steps.append(QString::number(int(op)) + QLatin1Char(' ')
                         + QFileInfo(path).fileName().remove(temporary));
        }
        QStringList steps;
    } recorder;
    QTemporaryDir dir;
    writeFile(dir.filePath("a.dat"), "old a");
    writeFile(dir.filePath("b.dat"), "old b");
    AtomicFileSetWriter w;
    w.setFaultInjector(&recorder);
    w.add(dir.filePath("a.dat"), "new a");
    w.add(dir.filePath("b.dat"), "new b");
    QVERIFY(w.commit());
    using kx3::DiskOp;
    const QString folder = QFileInfo(dir.path()).fileName();
    auto step = [](DiskOp op, const QString &name) {
        return QString::number(int(op)) + QLatin1Char(' ') + name;
    };
    // Backups are named .a.dat.0.kx3old; temporaries are shown without their
    // random part.
    // clang-format off
    const QStringList expected = {
        step(DiskOp::Write, ".a.dat"), step(DiskOp::SyncFile, ".a.dat"),
        step(DiskOp::Write, ".b.dat"), step(DiskOp::SyncFile, ".b.dat"),
        step(DiskOp::Link, ".a.dat.0.kx3old"), step(DiskOp::Link, ".b.dat.0.kx3old"),
        step(DiskOp::SyncFolder, folder),
        step(DiskOp::Write, ".kx3save.journal"), step(DiskOp::SyncFile, ".kx3save.journal"),
        step(DiskOp::Rename, ".kx3save.journal"), step(DiskOp::SyncFolder, folder),
        step(DiskOp::Rename, "a.dat"), step(DiskOp::Rename, "b.dat"), step(DiskOp::SyncFolder, folder),
        step(DiskOp::Remove, ".a.dat.0.kx3old"), step(DiskOp::Remove, ".b.dat.0.kx3old"),
        step(DiskOp::SyncFolder, folder), step(DiskOp::Remove, ".kx3save.journal"),
        step(DiskOp::SyncFolder, folder)};
    // clang-format on
    QCOMPARE(recorder.steps, expected);
}

QTEST_GUILESS_MAIN(tst_AtomicFileSetWriter)
#include "tst_AtomicFileSetWriter.moc"
