#include "TestDatabase.h"
#include "TestFiles.h"

#include "core/db/AtomicFileSetWriter.h"
#include "core/db/Database.h"
#include "core/db/PristineCopy.h"

#include <QDir>
#include <QFile>
#include <QMap>
#include <QTest>

using namespace kx3;
using kx3::test::filesIn;

namespace {

class FailCopy : public SaveFaultInjector
{
public:
    QString failWrite(int, const QString &) override { return {}; }
    QString failReplace(int, const QString &) override { return {}; }
    QString failPristineCopy() override { return QStringLiteral("No space left on device"); }
};

} // namespace

class tst_PristineCopy : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    // The first save keeps the files as they came; later saves leave that
    // copy alone.
    void madeOnceNeverOverwritten()
    {
        const test::TestInstallation install;
        const QString data = install.path() + QStringLiteral("/Data");
        const QString kept = install.path() + QLatin1Char('/') + pristineFolderName();
        const QMap<QString, QByteArray> original = filesIn(data);
        Database db;
        QVERIFY(install.loadInto(db));
        db.image(DataFile::Officials).remove(0, RecordSize::Official);
        QVERIFY(db.save());
        QCOMPARE(filesIn(kept), original);
        QVERIFY(filesIn(data) != original);

        db.image(DataFile::Officials).remove(0, RecordSize::Official);
        QVERIFY(db.save());
        QCOMPARE(filesIn(kept), original);
        QCOMPARE(
            QDir(install.path()).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot),
            (QStringList{QStringLiteral("Data"), pristineFolderName()}));
    }

    // A copy that cannot be made stops the save before any file changes.
    void failedCopyChangesNothing()
    {
        const test::TestInstallation install;
        const QString data = install.path() + QStringLiteral("/Data");
        const QMap<QString, QByteArray> original = filesIn(data);
        Database db;
        QVERIFY(install.loadInto(db));
        db.image(DataFile::Officials).remove(0, RecordSize::Official);
        FailCopy fault;
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
};

QTEST_GUILESS_MAIN(tst_PristineCopy)
#include "tst_PristineCopy.moc"
