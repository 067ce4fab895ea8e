#include "TestDatabase.h"
#include "TestFiles.h"

#include "core/db/AtomicFileSetWriter.h"
#include "core/db/Database.h"
#include "core/db/PristineCopy.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QMap>
#include <QTest>

#include <cerrno>
#include <sys/stat.h>

using namespace kx3;
using kx3::test::filesIn;

namespace {

class FailCopy : public SaveFaultInjector
{
public:
    QString failWrite(int, const QString &) override { return {}; }
    QString failReplace(int, const QString &) override { return {}; }
    QString failPristineCopy() override { return reason; }
    int failPristineLink(const QString &) override { return linkError; }
    QString reason;
    int linkError = 0;
};

} // namespace

class tst_PristineCopy : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void madeOnceNeverOverwritten_data()
    {
        QTest::addColumn<int>("linkError");
        QTest::newRow("hard links") << 0;
        QTest::newRow("another file system: copied") << int(EXDEV);
    }

    // The first save keeps the files as they came, linked where it can;
    // later saves leave that copy alone.
    void madeOnceNeverOverwritten()
    {
        FailCopy faults;
        QFETCH(int, linkError);
        faults.linkError = linkError;
        const test::TestInstallation install;
        const QString data = install.path() + QStringLiteral("/Data");
        const QString kept = install.path() + QLatin1Char('/') + pristineFolderName();
        const QMap<QString, QByteArray> original = filesIn(data);
        Database db;
        QVERIFY(install.loadInto(db));
        db.setSaveFaultInjector(&faults);
        db.image(DataFile::Officials).remove(0, RecordSize::Official);
        QVERIFY(db.save());
        QCOMPARE(filesIn(kept), original);
        QVERIFY(filesIn(data) != original);
        struct stat st; // no save writes club_comp.dat: linked, it stays shared
        QVERIFY(::stat(qPrintable(data + "/club_comp.dat"), &st) == 0);
        QCOMPARE(st.st_nlink, nlink_t(linkError ? 1 : 2));

        db.image(DataFile::Officials).remove(0, RecordSize::Official);
        QVERIFY(db.save());
        QCOMPARE(filesIn(kept), original);
        QCOMPARE(
            QDir(install.path()).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot),
            (QStringList{QStringLiteral("Data"), pristineFolderName()}));
    }

    void failedCopyChangesNothing_data()
    {
        QTest::addColumn<int>("linkError");
        QTest::newRow("copy") << 0;
        QTest::newRow("link") << int(ENOSPC);
    }

    // A copy that cannot be made stops the save before any file changes.
    void failedCopyChangesNothing()
    {
        FailCopy fault;
        QFETCH(int, linkError);
        fault.linkError = linkError;
        fault.reason = linkError ? QString() : QStringLiteral("No space left on device");
        const test::TestInstallation install;
        const QString data = install.path() + QStringLiteral("/Data");
        const QMap<QString, QByteArray> original = filesIn(data);
        Database db;
        QVERIFY(install.loadInto(db));
        db.image(DataFile::Officials).remove(0, RecordSize::Official);
        db.setSaveFaultInjector(&fault);
        QVERIFY(!db.save());
        QVERIFY(db.errorString().contains(pristineFolderName()));
        QCOMPARE(db.errorDetail(), QStringLiteral("No space left on device"));
        QCOMPARE(filesIn(data), original);
        QCOMPARE(
            QDir(install.path()).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot),
            QStringList{QStringLiteral("Data")});
        QVERIFY(db.isModified());
    }

    void onlyTheCopyStandsInItsPlace_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<bool>("folder");
        QTest::addColumn<QString>("refusal"); // empty: the save goes on
        const QString partial = "." + pristineFolderName() + ".kx3new";
        QTest::newRow("a plain file") << pristineFolderName() << false << "is not a folder";
        QTest::newRow("an empty folder") << pristineFolderName() << true << "are missing";
        QTest::newRow("a copy cut short, a file") << partial << false << "";
        QTest::newRow("a copy cut short, a folder") << partial << true << "";
    }

    // What stands where the copy goes must be the copy: anything else is
    // said, not skipped. A partial copy of a crashed save goes at the load.
    void onlyTheCopyStandsInItsPlace()
    {
        QFETCH(QString, name);
        QFETCH(bool, folder);
        QFETCH(QString, refusal);
        const test::TestInstallation install;
        const QString path = install.path() + QLatin1Char('/') + name;
        QVERIFY(folder ? QDir().mkdir(path) : test::writeFile(path, "x"));
        const QMap<QString, QByteArray> original =
            filesIn(install.path() + QStringLiteral("/Data"));
        Database db;
        QVERIFY(install.loadInto(db));
        QCOMPARE(db.save(), refusal.isEmpty());
        QVERIFY2(db.errorDetail().contains(refusal), qPrintable(db.errorDetail()));
        QCOMPARE(QFileInfo::exists(path), !refusal.isEmpty());
        QCOMPARE(filesIn(install.path() + QLatin1Char('/')
                         + (refusal.isEmpty() ? pristineFolderName() : QStringLiteral("Data"))),
                 original);
    }
};

QTEST_GUILESS_MAIN(tst_PristineCopy)
#include "tst_PristineCopy.moc"
