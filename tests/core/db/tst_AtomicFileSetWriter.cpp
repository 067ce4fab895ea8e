#include "SaveFaults.h"
#include "TestFiles.h"
#include "core/db/AtomicFileSetWriter.h"

#include <QCryptographicHash>
#include <QDir>
#include <QFile>
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

QTEST_GUILESS_MAIN(tst_AtomicFileSetWriter)
#include "tst_AtomicFileSetWriter.moc"
