#include "SaveFaults.h"
#include "TestDatabase.h"
#include "TestFiles.h"
#include "core/db/Database.h"

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QTest>
#include <QThread>

#include <cerrno>
#include <cstring>

#include <sys/stat.h>
#include <unistd.h>

using kx3::DataFile;
using kx3::Database;
using kx3::test::FailAtStep;

namespace {

using kx3::test::readFile;

void writeFile(const QString &path, const QByteArray &content)
{
    QVERIFY(kx3::test::writeFile(path, content));
}

/// Every file of a Data folder with its bytes, for before/after comparisons.
QMap<QString, QByteArray> snapshot(const QString &installDir)
{
    return kx3::test::filesIn(installDir + QStringLiteral("/Data"));
}

QString dataPath(const kx3::test::TestInstallation &inst, DataFile file)
{
    return inst.path() + QStringLiteral("/Data/") + kx3::dataFileName(file);
}

void patchI32(const QString &path, qint64 offset, qint32 value)
{
    QByteArray bytes = readFile(path);
    for (int i = 0; i < 4; ++i)
        bytes[offset + i] = char((quint32(value) >> (8 * i)) & 0xFF);
    writeFile(path, bytes);
}

} // namespace

class tst_Database : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void loadThenSaveIsByteIdentical();
    void saveRecomputesTableOfContents();
    void failedSaveChangesNothing_data();
    void failedSaveChangesNothing();
    void immutableFileFailsWholeSave();
    void refusesInconsistentSets_data();
    void refusesInconsistentSets();
    void missingFileNamesItsPath();
    void extraBytesAfterWholeRecordsSurvive();
    void fileNamesMatchedIgnoringCase();
    void setupFileTailTrimmedOnSave();
    void changesOnDiskAndLinksAreSeen();
    void largeStepUndoesAndRedoes_data();
    void largeStepUndoesAndRedoes();
};

void tst_Database::loadThenSaveIsByteIdentical()
{
    kx3::test::TestInstallation inst;
    const auto before = snapshot(inst.path());
    Database db;
    QVERIFY2(db.load(inst.path()), qPrintable(db.errorString()));
    QVERIFY(!db.isModified());
    QCOMPARE(db.clubs().size(),
             db.image(DataFile::Club).size() + db.image(DataFile::NatClub).size());
    QVERIFY2(db.save(), qPrintable(db.errorString()));
    QVERIFY(!db.isModified());
    const auto after = snapshot(inst.path());
    QCOMPARE(after.keys(), before.keys());
    for (auto it = before.cbegin(); it != before.cend(); ++it)
        QVERIFY2(after.value(it.key()) == it.value(), qPrintable(it.key()));
}

void tst_Database::saveRecomputesTableOfContents()
{
    kx3::test::TestInstallation inst;
    Database db;
    QVERIFY(db.load(inst.path()));
    const QByteArray tocBefore = db.image(DataFile::Index).bytes();
    // Grow tables the way later operations do and check the counters follow.
    db.image(DataFile::City).append(QByteArray(56, '\1'));
    db.image(DataFile::StaffHistory).append(QByteArray(17, '\2'));
    db.image(DataFile::FirstNames).append(QByteArray(60, '\3'));
    db.image(DataFile::Club).append(QByteArray(581, '\0'));
    db.clubs().insert(db.image(DataFile::Club).size() - 581, QByteArray(581, '\0'));
    db.counters().persons += 1;
    db.counters().staffOffset += 157;
    db.counters().playerOffset += 157;
    db.image(DataFile::Staff).insert(0, QByteArray(157, '\0'));
    QVERIFY(db.save());

    const QByteArray toc = readFile(dataPath(inst, DataFile::Index));
    kx3::DataImage saved(toc);
    kx3::DataImage old(tocBefore);
    QCOMPARE(saved.size(), old.size());
    QCOMPARE(saved.i32(kx3::Toc::CityCount), old.i32(kx3::Toc::CityCount) + 1);
    QCOMPARE(saved.i32(kx3::Toc::HistoryCount), old.i32(kx3::Toc::HistoryCount) + 1);
    QCOMPARE(saved.i32(kx3::Toc::FirstNameCount), old.i32(kx3::Toc::FirstNameCount) + 1);
    QCOMPARE(saved.i32(kx3::Toc::ClubCount), old.i32(kx3::Toc::ClubCount) + 1);
    QCOMPARE(saved.i32(kx3::Toc::PersonCount), old.i32(kx3::Toc::PersonCount) + 1);
    QCOMPARE(saved.i32(kx3::Toc::PersonTableSize), old.i32(kx3::Toc::PersonTableSize) + 157);
    QCOMPARE(saved.i32(kx3::Toc::StaffAttributeOffset),
             old.i32(kx3::Toc::StaffAttributeOffset) + 157);
    QCOMPARE(saved.i32(kx3::Toc::PlayerAttributeOffset),
             old.i32(kx3::Toc::PlayerAttributeOffset) + 157);
    QCOMPARE(saved.i32(kx3::Toc::StaffAttributeCount), old.i32(kx3::Toc::StaffAttributeCount));
    // Bytes the editor does not own are carried through.
    const QList<int> written = {63,  398, 465, 532,  603,  666,  670,
                                733, 737, 867, 1068, 1135, 1202, 1269};
    for (qsizetype i = 0; i < toc.size(); ++i) {
        bool mine = false;
        for (int p : written)
            mine = mine || (i >= p && i < p + 4);
        if (!mine)
            QVERIFY2(toc.at(i) == tocBefore.at(i), qPrintable(QString::number(i)));
    }
    QCOMPARE(readFile(dataPath(inst, DataFile::Club)).size(), db.image(DataFile::Club).size());
    QCOMPARE(readFile(dataPath(inst, DataFile::NatClub)), db.image(DataFile::NatClub).bytes());
}

void tst_Database::failedSaveChangesNothing_data()
{
    QTest::addColumn<int>("stage");
    QTest::addColumn<int>("index");
    for (int i = 0; i < int(kx3::SavedDataFiles.size()); ++i) {
        const QString name = kx3::dataFileName(kx3::SavedDataFiles.at(i));
        QTest::addRow("writing %s", qPrintable(name)) << int(FailAtStep::Stage::Write) << i;
        QTest::addRow("replacing %s", qPrintable(name)) << int(FailAtStep::Stage::Replace) << i;
    }
}

void tst_Database::failedSaveChangesNothing()
{
    QFETCH(int, stage);
    QFETCH(int, index);
    kx3::test::TestInstallation inst;
    const auto before = snapshot(inst.path());
    Database db;
    QVERIFY(db.load(inst.path()));
    // Change every saved file so that any file written by mistake shows.
    for (DataFile f : kx3::AllDataFiles) {
        if (f != DataFile::PlayerSetup && f != DataFile::Index && !db.image(f).isEmpty())
            db.image(f).setU8(db.image(f).size() - 1, 0x5A);
    }
    db.clubs().setU8(0, 0x5A);
    db.clubs().setU8(db.clubs().size() - 1, 0x5A);
    db.setupLines().append("\"NEW\"");
    db.counters().persons = db.counters().persons; // toc values rewritten anyway
    const QByteArray tocImage = db.image(DataFile::Index).bytes();

    FailAtStep faults(FailAtStep::Stage(stage), index);
    db.setSaveFaultInjector(&faults);
    QVERIFY(!db.save());
    const QString failed = QDir::toNativeSeparators(db.filePath(kx3::SavedDataFiles.at(index)));
    QCOMPARE(db.errorString(), QStringLiteral("Cannot create file %1").arg(failed));
    QCOMPARE(db.errorDetail(), faults.reason());
    QVERIFY(db.isModified());
    QCOMPARE(snapshot(inst.path()), before);
    QCOMPARE(db.image(DataFile::Index).bytes(), tocImage);

    // The same images save fine once the fault is gone.
    db.setSaveFaultInjector(nullptr);
    QVERIFY(db.save());
    QVERIFY(db.errorDetail().isEmpty());
    QVERIFY(!db.isModified());
    QVERIFY(snapshot(inst.path()) != before);
    QCOMPARE(snapshot(inst.path()).size(), before.size());
}

void tst_Database::immutableFileFailsWholeSave()
{
    // Root ignores permissions, but not the immutable attribute; a real
    // file-system refusal proves the rollback outside the injected seam.
    if (::geteuid() != 0)
        QSKIP("needs root for chattr");
    kx3::test::TestInstallation inst;
    const QString nation = dataPath(inst, DataFile::Nation);
    if (QProcess::execute(QStringLiteral("chattr"), {QStringLiteral("+i"), nation}) != 0)
        QSKIP("the file system does not support the immutable attribute");
    const auto before = snapshot(inst.path());
    Database db;
    QVERIFY(db.load(inst.path()));
    db.image(DataFile::Staff).setU8(0, 0x77);
    db.image(DataFile::Nation).setU8(0, 0x77);
    const bool saved = db.save();
    QProcess::execute(QStringLiteral("chattr"), {QStringLiteral("-i"), nation});
    QVERIFY(!saved);
    QCOMPARE(db.errorString(),
             QStringLiteral("Cannot create file %1").arg(QDir::toNativeSeparators(nation)));
    // The file system's own words, whatever the language of the messages.
    QCOMPARE(db.errorDetail(), QString::fromLocal8Bit(std::strerror(EPERM)));
    QCOMPARE(snapshot(inst.path()), before);
}

void tst_Database::refusesInconsistentSets_data()
{
    QTest::addColumn<int>("tocOffset");
    QTest::addColumn<int>("delta");
    QTest::addColumn<int>("truncateToc");
    QTest::addColumn<int>("truncateStaff");
    QTest::addColumn<QString>("fileInMessage");
    QTest::addColumn<QString>("phrase");
    QTest::addColumn<QString>("staffIs");
    // clang-format off
    QTest::newRow("short table of contents") << 0 << 0 << 1272 << 0 << "index.dat" << "" << "";
    QTest::newRow("negative person count") << 532 << -1000000 << 0 << 0 << "index.dat" << "" << "";
    QTest::newRow("staff offset off by one") << 670 << 1 << 0 << 0 << "index.dat"
                                             << "persons of 157 bytes end at" << "";
    QTest::newRow("player offset off by one record") << 737 << 68 << 0 << 0 << "index.dat"
                                                     << "staff attribute records of 68 bytes end at" << "";
    QTest::newRow("player count past the file") << 733 << 1 << 0 << 0 << "staff.dat" << "" << "";
    QTest::newRow("truncated staff.dat") << 0 << 0 << 0 << 1 << "staff.dat" << "" << "";
    // Refused before a byte is read: a pipe would wait forever, a device or
    // a file larger than any game's would be read until memory runs out.
    QTest::newRow("a pipe") << 0 << 0 << 0 << 0 << "staff.dat" << "is not a regular file" << "fifo";
    QTest::newRow("a device") << 0 << 0 << 0 << 0 << "staff.dat" << "is not a regular file" << "/dev/zero";
    QTest::newRow("past the size cap") << 0 << 0 << 0 << 0 << "staff.dat" << "too large" << "huge";
    // clang-format on
}

void tst_Database::refusesInconsistentSets()
{
    QFETCH(int, tocOffset);
    QFETCH(int, delta);
    QFETCH(int, truncateToc);
    QFETCH(int, truncateStaff);
    QFETCH(QString, fileInMessage);
    QFETCH(QString, phrase);
    QFETCH(QString, staffIs);
    kx3::test::TestInstallation inst;
    const QString toc = dataPath(inst, DataFile::Index);
    const QString staff = dataPath(inst, DataFile::Staff);
    if (staffIs == QLatin1String("huge")) {
        QVERIFY(QFile(staff).resize(Database::MaxFileSize + 1));
    } else if (!staffIs.isEmpty()) {
        QVERIFY(QFile::remove(staff));
        QVERIFY(staffIs == QLatin1String("fifo")
                    ? ::mkfifo(QFile::encodeName(staff).constData(), 0600) == 0
                    : QFile::link(staffIs, staff));
    }
    if (tocOffset) {
        kx3::DataImage img(readFile(toc));
        patchI32(toc, tocOffset, img.i32(tocOffset) + delta);
    }
    if (truncateToc)
        writeFile(toc, readFile(toc).left(truncateToc));
    if (truncateStaff) {
        const QByteArray bytes = readFile(staff);
        writeFile(staff, bytes.left(bytes.size() - truncateStaff));
    }
    Database db;
    QVERIFY(!db.load(inst.path()));
    QVERIFY(!db.isLoaded());
    QVERIFY2(db.errorString().contains(fileInMessage), qPrintable(db.errorString()));
    QVERIFY2(db.errorString().contains(phrase), qPrintable(db.errorString()));
    QVERIFY(db.image(DataFile::Staff).isEmpty());
    QVERIFY(!db.save());
}

void tst_Database::missingFileNamesItsPath()
{
    kx3::test::TestInstallation inst;
    const QString comp = dataPath(inst, DataFile::ClubComp);
    QVERIFY(QFile::remove(comp));
    Database db;
    QVERIFY(!db.load(inst.path()));
    QCOMPARE(db.errorString(),
             QStringLiteral("Cannot open file %1").arg(QDir::toNativeSeparators(comp)));
    QVERIFY(db.clubs().isEmpty());
    QVERIFY(db.setupLines().isEmpty());
}

void tst_Database::extraBytesAfterWholeRecordsSurvive()
{
    kx3::test::TestInstallation inst;
    const QString staff = dataPath(inst, DataFile::Staff);
    const QString city = dataPath(inst, DataFile::City);
    writeFile(staff, readFile(staff) + "TAIL");
    writeFile(city, readFile(city) + "xyz");
    const QString club = dataPath(inst, DataFile::Club);
    writeFile(club, readFile(club) + "partial club");
    const auto before = snapshot(inst.path());
    Database db;
    QVERIFY2(db.load(inst.path()), qPrintable(db.errorString()));
    // National teams stay aligned behind the whole club records.
    QCOMPARE(db.image(DataFile::Club).size() % 581, 0);
    QCOMPARE(db.clubs().read(db.image(DataFile::Club).size(), 581),
             db.image(DataFile::NatClub).read(0, 581));
    QVERIFY(db.save());
    QCOMPARE(snapshot(inst.path()), before);
}

void tst_Database::fileNamesMatchedIgnoringCase()
{
    kx3::test::TestInstallation inst;
    QDir root(inst.path());
    QVERIFY(root.rename(QStringLiteral("Data"), QStringLiteral("DATA")));
    QVERIFY(QFile::rename(inst.path() + "/DATA/club.Dat", inst.path() + "/DATA/CLUB.DAT"));
    QVERIFY(QFile::rename(inst.path() + "/DATA/staff.dat", inst.path() + "/DATA/Staff.Dat"));
    Database db;
    QVERIFY2(db.load(inst.path()), qPrintable(db.errorString()));
    QCOMPARE(db.filePath(DataFile::Club), inst.path() + "/DATA/CLUB.DAT");
    db.clubs().setU8(4, 'Q');
    QVERIFY(db.save());
    const QStringList names = QDir(inst.path() + "/DATA").entryList(QDir::Files);
    QVERIFY(names.contains("CLUB.DAT"));
    QVERIFY(!names.contains("club.Dat"));
    QVERIFY(!names.contains("staff.dat"));
    QCOMPARE(readFile(inst.path() + "/DATA/CLUB.DAT").at(4), 'Q');
}

void tst_Database::setupFileTailTrimmedOnSave()
{
    kx3::test::TestInstallation inst;
    const QString cfg = dataPath(inst, DataFile::PlayerSetup);
    const QByteArray original = readFile(cfg);
    writeFile(cfg, original + "\r\n\r\nno quotes here\r\n");
    Database db;
    QVERIFY(db.load(inst.path()));
    QVERIFY(db.save());
    QCOMPARE(readFile(cfg), original);

    writeFile(cfg, QByteArray());
    QVERIFY(db.load(inst.path()));
    QVERIFY(db.setupLines().isEmpty());
    QVERIFY(db.save());
    QCOMPARE(readFile(cfg), QByteArray());
}

// Another program's write is seen before a save would overwrite it; a touch
// that keeps the content is not. A data file that is a link is never
// replaced by a plain file.
void tst_Database::changesOnDiskAndLinksAreSeen()
{
    kx3::test::TestInstallation inst;
    Database db;
    QVERIFY(db.load(inst.path()));
    const QString nation = dataPath(inst, DataFile::Nation);
    const QByteArray bytes = readFile(nation);
    QThread::msleep(20); // a new time stamp even on coarse clocks
    writeFile(nation, bytes);
    QVERIFY(db.changedOnDisk().isEmpty());
    writeFile(nation, bytes + "x");
    QCOMPARE(db.changedOnDisk(), db.filePath(DataFile::Nation));
    QVERIFY(db.save() && db.changedOnDisk().isEmpty());

    const QString city = dataPath(inst, DataFile::City);
    QVERIFY(QFile::rename(city, city + ".real") && QFile::link(city + ".real", city));
    const auto before = snapshot(inst.path());
    db.image(DataFile::City).setU8(0, 0x42);
    QVERIFY(!db.save() && db.errorString().contains(QStringLiteral("symbolic link")));
    QCOMPARE(snapshot(inst.path()), before);
}

void tst_Database::largeStepUndoesAndRedoes_data()
{
    QTest::addColumn<int>("stride"); // from one 4-byte write to the next; 0: one write
    QTest::addColumn<int>("writes");
    QTest::newRow("one write past 64 KB") << 0 << 1;
    QTest::newRow("close writes grow one range past 64 KB") << 8 << 9000;
    QTest::newRow("more than 4096 separate ranges") << 40 << 5000;
}

// A step past the history's range limits keeps its image whole and keeps
// only the differences at the commit; only a database far larger than the
// small fixtures reaches that.
void tst_Database::largeStepUndoesAndRedoes()
{
    QFETCH(int, stride);
    QFETCH(int, writes);
    kx3::BuilderOptions options;
    options.persons = 3000;
    options.seed = 3;
    Database db;
    QVERIFY(db.loadFiles(kx3::DatabaseBuilder(options).files()));
    const kx3::DatabaseSnapshot before(db);
    kx3::DataImage &staff = db.image(DataFile::Staff);
    const qsizetype base = 4096;
    QVERIFY(staff.size() > base + qsizetype(writes) * stride + 70000);

    QVERIFY(staff.setI32(20, 0x01020304));
    QVERIFY(db.image(DataFile::Nation).setI32(8, -7));
    if (stride == 0)
        QVERIFY(staff.write(base, QByteArray(70000, char(0xA7))));
    for (int i = 0; stride > 0 && i < writes; ++i)
        QVERIFY(staff.setI32(base + qsizetype(i) * stride, i ^ 0x5A5A5A5A));
    // Written again after the image is kept whole: the first bytes must win.
    QVERIFY(staff.setI32(20, 0x0A0B0C0D));
    QVERIFY(staff.setI32(staff.size() - 4, 99));
    QVERIFY(db.commitStep({QStringLiteral("Large"), {}, {}}));
    const kx3::DatabaseSnapshot after(db);
    QVERIFY(!before.sameAs(db));
    for (int round = 0; round < 2; ++round) {
        QVERIFY(db.undo() && before.sameAs(db) && !db.isModified());
        QVERIFY(db.redo() && after.sameAs(db));
    }
}

QTEST_GUILESS_MAIN(tst_Database)
#include "tst_Database.moc"
