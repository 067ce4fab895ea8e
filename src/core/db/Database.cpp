#include "Database.h"

#include "AtomicFileSetWriter.h"
#include "PristineCopy.h"
#include "SetupLines.h"

#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QHash>
#include <QLockFile>
#include <QMutex>

#include <xxhash.h>

#include <cerrno>

#ifndef Q_OS_WIN
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#endif

namespace kx3 {

QString resolvePathIgnoringCase(const QString &dir, const QString &name)
{
    const QString exact = dir + QLatin1Char('/') + name;
    if (QFileInfo::exists(exact))
        return exact;
    const QStringList entries = QDir(dir).entryList(
        QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot, QDir::Name);
    for (const QString &entry : entries) {
        if (entry.compare(name, Qt::CaseInsensitive) == 0)
            return dir + QLatin1Char('/') + entry;
    }
    return exact;
}

namespace {

const QString LockName = QStringLiteral(".kx3edit.lock");

/// The locks this process holds, by folder: two databases of one process on
/// one folder (a test's, a comparison's) share the lock rather than lock
/// each other out; only other processes are kept away.
struct HeldLocks
{
    QMutex mutex;
    QHash<QString, std::weak_ptr<QLockFile>> byFolder;
};

HeldLocks &heldLocks()
{
    static HeldLocks held;
    return held;
}

QString describeHolder(const QLockFile &lock)
{
    qint64 pid = 0;
    QString host;
    QString app;
    if (!lock.getLockInfo(&pid, &host, &app))
        return QStringLiteral("another program");
    QString who = QStringLiteral("process %1").arg(pid);
    if (!host.isEmpty())
        who += QStringLiteral(" on host ") + host;
    if (!app.isEmpty())
        who += QStringLiteral(", ") + app;
    return who;
}

/// Size and modification time (nanoseconds) of the file at `path`, or a
/// size of -1 when there is none.
std::pair<qint64, qint64> stamp(const QString &path)
{
#ifndef Q_OS_WIN
    struct stat st = {};
    if (::stat(QFile::encodeName(path).constData(), &st) != 0)
        return {-1, 0};
    return {qint64(st.st_size), qint64(st.st_mtim.tv_sec) * 1000000000 + st.st_mtim.tv_nsec};
#else
    const QFileInfo info(path);
    if (!info.exists())
        return {-1, 0};
    return {info.size(), info.lastModified().toMSecsSinceEpoch() * 1000000};
#endif
}

QString tooLarge(qint64 size)
{
    return QStringLiteral("It holds %1 bytes, more than the %2 bytes of the largest data file "
                          "the editor reads: no game database comes near that (staff.dat "
                          "holds 295 MB at a million persons), so it is not one of the game's "
                          "files.")
        .arg(size)
        .arg(Database::MaxFileSize);
}

} // namespace

Database::Database() = default;
Database::~Database() = default;

bool Database::takeLock(const QString &dataDir)
{
    mLockHolder.clear();
    // The key only tells folders apart; the lock file is reached through the
    // path as given, which may lead where a decoded canonical name cannot.
    const QString key = QFileInfo(dataDir).canonicalFilePath();
    HeldLocks &held = heldLocks();
    QMutexLocker guard(&held.mutex);
    if (std::shared_ptr<QLockFile> mine = held.byFolder.value(key).lock()) {
        mLock = std::move(mine);
        return true;
    }
    auto lock = std::make_shared<QLockFile>(dataDir + QLatin1Char('/') + LockName);
    // Held as long as the editor runs: never stale by age, only when its
    // process is gone (on this host; another host's lock stays until removed).
    lock->setStaleLockTime(0);
    bool taken = lock->tryLock(0);
    if (!taken && lock->error() == QLockFile::LockFailedError) {
        // A lock file that names no holder (an editor killed as it wrote it:
        // empty, or not a lock's content) is held by nobody, and nothing else
        // would ever free it. One just made may still be being written.
        qint64 pid = 0;
        QString host;
        QString app;
        const QFileInfo file(dataDir + QLatin1Char('/') + LockName);
        if (!lock->getLockInfo(&pid, &host, &app)
            && file.lastModified().secsTo(QDateTime::currentDateTime()) >= 2
            && lock->removeStaleLockFile())
            taken = lock->tryLock(0);
    }
    if (taken) {
        held.byFolder.insert(key, lock);
        mLock = std::move(lock);
        return true;
    }
    const QString folder = QDir::toNativeSeparators(dataDir);
    const QLockFile::LockError error = lock->error();
    // Said, not failed: a save that finds the lock taken keeps its database.
    if (error == QLockFile::LockFailedError) {
        mLockHolder = describeHolder(*lock);
        mError =
            QStringLiteral("%1 is being edited by another program (%2).").arg(folder, mLockHolder);
        mErrorDetail = QStringLiteral("One editor at a time may change an installation, so "
                                      "that no save overwrites another unseen. The lock is the "
                                      "file %1 in it.")
                           .arg(LockName);
    } else {
        mError = QStringLiteral("%1 cannot be opened for editing: no lock can be made in it.")
                     .arg(folder);
        mErrorDetail = error == QLockFile::PermissionError
                           ? QStringLiteral("The folder cannot be written to (%1).").arg(LockName)
                           : QStringLiteral("The lock file %1 cannot be created.").arg(LockName);
    }
    mOffersReadOnly = true;
    return false;
}

bool Database::readDataFile(DataFile file, const QString &path, QByteArray &bytes)
{
    const QString shown = QDir::toNativeSeparators(mPaths[index(file)]);
    const QString cannotOpen = QStringLiteral("Cannot open file %1").arg(shown);
#ifndef Q_OS_WIN
    // Opened without waiting (a pipe would wait for a writer forever) and
    // looked at before a byte is read: only a plain file of a size a game
    // file can have is read at all.
    const int fd = ::open(QFile::encodeName(path).constData(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0)
        return fail(cannotOpen, qt_error_string(errno));
    QFile f;
    if (!f.open(fd, QIODevice::ReadOnly, QFileDevice::AutoCloseHandle)) {
        ::close(fd);
        return fail(cannotOpen, f.errorString());
    }
    struct stat st = {};
    if (::fstat(fd, &st) != 0)
        return fail(cannotOpen, qt_error_string(errno));
    if (!S_ISREG(st.st_mode))
        return fail(QStringLiteral("Cannot load %1: it is not a regular file.").arg(shown));
    const qint64 size = st.st_size;
#else
    QFile f(path);
    if (!QFileInfo(path).isFile())
        return fail(QStringLiteral("Cannot load %1: it is not a regular file.").arg(shown));
    if (!f.open(QIODevice::ReadOnly))
        return fail(cannotOpen, f.errorString());
    const qint64 size = f.size();
#endif
    if (size > MaxFileSize)
        return fail(QStringLiteral("Cannot load %1: it is too large.").arg(shown), tooLarge(size));
    bytes = QByteArray(size, Qt::Uninitialized);
    qint64 got = 0;
    while (got < size) {
        const qint64 n = f.read(bytes.data() + got, size - got);
        if (n < 0)
            return fail(cannotOpen, f.errorString());
        if (n == 0)
            break; // it shrank while read: what it holds now is all there is
        got += n;
    }
    bytes.truncate(got);
    return true;
}

void Database::rememberDisk(DataFile file, const QString &path, const QByteArray &content)
{
    const auto [size, modified] = stamp(path);
    mDisk[index(file)] = {size, modified,
                          XXH3_64bits(content.constData(), size_t(content.size()))};
}

QString Database::changedOnDisk() const
{
    if (!mLoaded)
        return {};
    for (DataFile file : AllDataFiles) {
        const DiskState &was = mDisk[index(file)];
        const QString path = filePath(file);
        const auto [size, modified] = stamp(path);
        if (size == was.size && modified == was.modified)
            continue;
        // Touched, or rewritten with what it held: only a new content counts.
        QFile f(path);
        if (size != was.size || !f.open(QIODevice::ReadOnly))
            return path;
        const QByteArray bytes = f.read(MaxFileSize + 1);
        if (XXH3_64bits(bytes.constData(), size_t(bytes.size())) != was.checksum)
            return path;
    }
    return {};
}

bool Database::fail(const QString &message, const QString &detail)
{
    mError = message;
    mErrorDetail = detail;
    mHistory.reset({}, {});
    for (DataImage &img : mImages) {
        img.attach(nullptr, 0);
        img.clear();
    }
    mClubs.attach(nullptr, 0);
    mClubs.clear();
    mClubTail.clear();
    mSetupLines.clear();
    mCounters = {};
    mLoaded = false;
    mReadOnly = false;
    return false;
}

bool Database::load(const QString &installDir, const Progress &progress)
{
    mError.clear();
    mErrorDetail.clear();
    mLoaded = false;
    mOffersReadOnly = false;
    mLockHolder.clear();
    mLock.reset();
    mInstallDir = installDir;
    // The installation folder is used as given; only the Data folder and the
    // file names are matched ignoring case.
    const QString dataDir = resolvePathIgnoringCase(installDir, QStringLiteral("Data"));

    // The lock first: only its holder may finish another's save or write.
    // Then a save cut short by a crash is finished or undone before anything
    // is read, so that the files read are one whole set.
    mRecovery = SaveRecovery::None;
    mRecoveryDetail.clear();
    if (QFileInfo(dataDir).isDir()) {
        if (!takeLock(dataDir))
            return fail(mError, mErrorDetail);
        removeStrayPristineCopy(dataDir);
        QString detail;
        mRecovery = AtomicFileSetWriter::recover(dataDir, dataFileNames(), &detail);
        mRecoveryDetail = detail;
        if (mRecovery == SaveRecovery::Failed) {
            mLock.reset();
            fail(QStringLiteral("Cannot finish or undo the interrupted save in %1")
                     .arg(QDir::toNativeSeparators(dataDir)),
                 detail);
            mOffersReadOnly = true;
            return false;
        }
    }
    if (!readDataDir(dataDir, progress, {})) {
        // Files kept from a save whose journal is lost may be why the set
        // does not load; they are what the user needs to know of.
        if (mRecovery == SaveRecovery::Kept)
            mErrorDetail =
                recoveryNote()
                + (mErrorDetail.isEmpty() ? QString() : QLatin1Char(' ') + mErrorDetail);
        mLock.reset();
        return false;
    }
    return true;
}

bool Database::loadReadOnly(const QString &installDir, const Progress &progress, bool *interrupted)
{
    mLock.reset();
    mLockHolder.clear();
    mOffersReadOnly = false;
    mInstallDir = installDir;
    const QString dataDir = resolvePathIgnoringCase(installDir, QStringLiteral("Data"));
    QHash<QString, QString> from;
    QString detail;
    mRecovery = AtomicFileSetWriter::recoveredView(dataDir, dataFileNames(), &from, &detail);
    mRecoveryDetail = detail;
    if (interrupted)
        *interrupted = mRecovery != SaveRecovery::None && mRecovery != SaveRecovery::Kept;
    // A save that can be neither finished nor undone leaves the files as
    // they lie, which is all there is to look at.
    if (!readDataDir(dataDir, progress, from))
        return false;
    mReadOnly = true;
    return true;
}

bool Database::readDataDir(const QString &dataDir, const Progress &progress,
                           const QHash<QString, QString> &from)
{
    mError.clear();
    mErrorDetail.clear();
    mLoaded = false;
    std::array<QByteArray, DataFileCount> files;
    for (DataFile file : AllDataFiles) {
        const QString path = resolvePathIgnoringCase(dataDir, dataFileName(file));
        mPaths[index(file)] = path;
        if (progress)
            progress(QStringLiteral("Reading %1").arg(QFileInfo(path).fileName()), index(file),
                     DataFileCount);
        const QString source = from.value(QFileInfo(path).fileName().toLower(), path);
        QByteArray &bytes = files[std::size_t(index(file))];
        if (source.isEmpty()) // one a recovery would remove: as good as missing
            return fail(QStringLiteral("Cannot open file %1").arg(QDir::toNativeSeparators(path)),
                        qt_error_string(ENOENT));
        if (!readDataFile(file, source, bytes))
            return false;
        rememberDisk(file, path, source == path ? bytes : QByteArray());
    }
    return loadFiles(std::move(files));
}

bool Database::loadDataDir(const QString &dataDir, const Progress &progress)
{
    mLock.reset();
    if (!readDataDir(dataDir, progress, {}))
        return false;
    mReadOnly = true;
    return true;
}

bool Database::loadFiles(std::array<QByteArray, DataFileCount> files)
{
    mError.clear();
    mErrorDetail.clear();
    mLoaded = false;
    mReadOnly = false;
    // The images of another database leave the history with it.
    mHistory.reset({}, {});
    for (DataImage &img : mImages)
        img.attach(nullptr, 0);
    mClubs.attach(nullptr, 0);
    for (DataFile file : AllDataFiles) {
        QByteArray &bytes = files[std::size_t(index(file))];
        if (file == DataFile::PlayerSetup)
            mSetupLines = parseSetupLines(bytes);
        else
            mImages[index(file)].setBytes(std::move(bytes));
    }

    // National team k sits at record C + k of the combined image only when
    // club.Dat holds whole records; stray bytes after them are kept aside and
    // written back behind the clubs.
    DataImage &club = image(DataFile::Club);
    const qsizetype wholeClubs = club.recordCount(RecordSize::Club) * RecordSize::Club;
    mClubTail = club.read(wholeClubs, club.size() - wholeClubs);
    club.remove(wholeClubs, club.size() - wholeClubs);
    mClubs.setBytes(club.bytes() + image(DataFile::NatClub).bytes());

    const DataImage &toc = image(DataFile::Index);
    if (toc.size() < Toc::MinimumSize) {
        return fail(QStringLiteral("Cannot load %1: the table of contents holds %2 bytes, "
                                   "but at least %3 are needed.")
                        .arg(QDir::toNativeSeparators(filePath(DataFile::Index)))
                        .arg(toc.size())
                        .arg(Toc::MinimumSize));
    }
    mCounters.persons = toc.i32(Toc::PersonCount);
    mCounters.staffAttributes = toc.i32(Toc::StaffAttributeCount);
    mCounters.staffOffset = toc.i32(Toc::StaffAttributeOffset);
    mCounters.playerAttributes = toc.i32(Toc::PlayerAttributeCount);
    mCounters.playerOffset = toc.i32(Toc::PlayerAttributeOffset);
    if (!checkConsistency())
        return false;

    mLoaded = true;
    attachHistory();
    return true;
}

void Database::attachHistory()
{
    std::vector<DataImage *> images;
    for (DataFile file : AllDataFiles) {
        images.push_back(&image(file));
        image(file).attach(&mHistory, index(file));
    }
    images.push_back(&mClubs);
    mClubs.attach(&mHistory, DataFileCount);
    mHistory.reset(std::move(images), sideState());
}

void Database::clearHistory()
{
    if (mLoaded)
        attachHistory();
}

void Database::setSideState(const SideState &side)
{
    mCounters = side.counters;
    mSetupLines = side.setupLines;
}

bool Database::isModified() const
{
    return mLoaded && (!mHistory.atClean() || mHistory.pendingChanges(sideState()));
}

bool Database::commitStep(const StepInfo &info)
{
    return mLoaded && mHistory.commit(sideState(), info);
}

std::optional<StepInfo> Database::undo()
{
    if (!mLoaded)
        return std::nullopt;
    commitStep({QStringLiteral("Changes"), {}, {}});
    SideState side = sideState();
    std::optional<StepInfo> step = mHistory.undo(side);
    setSideState(side);
    return step;
}

void Database::rollBackChanges()
{
    if (!mLoaded)
        return;
    SideState side = sideState();
    mHistory.rollBack(side);
    setSideState(side);
}

std::optional<StepInfo> Database::redo()
{
    // Changes since the last step would end the steps that can be redone.
    if (!mLoaded || mHistory.pendingChanges(sideState()))
        return std::nullopt;
    SideState side = sideState();
    std::optional<StepInfo> step = mHistory.redo(side);
    setSideState(side);
    return step;
}

bool Database::checkConsistency()
{
    const StaffCounters &c = mCounters;
    const QString toc = QDir::toNativeSeparators(filePath(DataFile::Index));
    const QString staff = QDir::toNativeSeparators(filePath(DataFile::Staff));
    auto refuse = [&](const QString &what) {
        return fail(QStringLiteral("Cannot load %1: %2").arg(toc, what));
    };
    if (c.persons < 0 || c.staffAttributes < 0 || c.playerAttributes < 0 || c.staffOffset < 0
        || c.playerOffset < 0) {
        return refuse(QStringLiteral("negative staff table counters (persons %1, staff "
                                     "attributes %2 at %3, player attributes %4 at %5).")
                          .arg(c.persons)
                          .arg(c.staffAttributes)
                          .arg(c.staffOffset)
                          .arg(c.playerAttributes)
                          .arg(c.playerOffset));
    }
    const qint64 os = qint64(c.persons) * RecordSize::Person;
    if (c.staffOffset != os) {
        return refuse(QStringLiteral("the staff attribute table offset is %1, but %2 persons "
                                     "of %3 bytes end at %4.")
                          .arg(c.staffOffset)
                          .arg(c.persons)
                          .arg(RecordSize::Person)
                          .arg(os));
    }
    const qint64 op = os + qint64(c.staffAttributes) * RecordSize::StaffAttributes;
    if (c.playerOffset != op) {
        return refuse(QStringLiteral("the player attribute table offset is %1, but %2 staff "
                                     "attribute records of %3 bytes end at %4.")
                          .arg(c.playerOffset)
                          .arg(c.staffAttributes)
                          .arg(RecordSize::StaffAttributes)
                          .arg(op));
    }
    const qint64 end = op + qint64(c.playerAttributes) * RecordSize::PlayerAttributes;
    if (end > image(DataFile::Staff).size()) {
        return fail(QStringLiteral("Cannot load %1: it holds %2 bytes, but the table of "
                                   "contents %3 describes %4 bytes (%5 persons, %6 staff "
                                   "attribute and %7 player attribute records).")
                        .arg(staff)
                        .arg(image(DataFile::Staff).size())
                        .arg(toc)
                        .arg(end)
                        .arg(c.persons)
                        .arg(c.staffAttributes)
                        .arg(c.playerAttributes));
    }
    return true;
}

void Database::updateTableOfContents()
{
    image(DataFile::Index).setBytes(tableOfContents());
}

QByteArray Database::tableOfContents() const
{
    DataImage toc(image(DataFile::Index).bytes());
    auto count = [this](DataFile f, int size) { return std::int32_t(image(f).recordCount(size)); };
    toc.setI32(Toc::ClubCount, clubCount());
    toc.setI32(Toc::StadiumCount, count(DataFile::Stadium, RecordSize::Stadium));
    toc.setI32(Toc::CityCount, count(DataFile::City, RecordSize::City));
    toc.setI32(Toc::PersonCount, mCounters.persons);
    toc.setI32(Toc::PersonTableSize, mCounters.persons * RecordSize::Person);
    toc.setI32(Toc::StaffAttributeCount, mCounters.staffAttributes);
    toc.setI32(Toc::StaffAttributeOffset, mCounters.staffOffset);
    toc.setI32(Toc::PlayerAttributeCount, mCounters.playerAttributes);
    toc.setI32(Toc::PlayerAttributeOffset, mCounters.playerOffset);
    toc.setI32(Toc::FirstNameCount, count(DataFile::FirstNames, RecordSize::NameEntry));
    toc.setI32(Toc::SecondNameCount, count(DataFile::SecondNames, RecordSize::NameEntry));
    toc.setI32(Toc::CommonNameCount, count(DataFile::CommonNames, RecordSize::NameEntry));
    toc.setI32(Toc::HistoryCount, count(DataFile::StaffHistory, RecordSize::History));
    toc.setI32(Toc::OfficialCount, count(DataFile::Officials, RecordSize::Official));
    return toc.bytes();
}

QStringList Database::dataFileNames()
{
    QStringList names;
    for (DataFile file : AllDataFiles)
        names.append(dataFileName(file));
    return names;
}

QString Database::recoveryNote() const
{
    switch (mRecovery) {
    case SaveRecovery::RolledForward:
        return QStringLiteral("The last save was interrupted before it ended. It has now been "
                              "completed: the files hold the data as saved.");
    case SaveRecovery::RolledBack:
        return QStringLiteral("The last save was interrupted before it ended and could not be "
                              "completed. The files as they were before it have been restored.");
    case SaveRecovery::Cleaned:
        return QStringLiteral("The last save had written every file but was cut short before "
                              "it removed its backups; it has now been finished.");
    case SaveRecovery::Kept:
        return QStringLiteral("Files of an earlier save were found without its journal and are "
                              "kept, since they may be the only copy of some data: %1. Some data "
                              "files may hold the earlier content and others the saved one; "
                              "check them before saving.")
            .arg(mRecoveryDetail);
    case SaveRecovery::Failed:
        return QStringLiteral("A save was interrupted and can be neither finished nor undone; "
                              "the files are shown as they lie. %1")
            .arg(mRecoveryDetail);
    default: return QString();
    }
}

bool Database::save(const Progress &progress)
{
    mError.clear();
    mErrorDetail.clear();
    if (!mLoaded) {
        mError = QStringLiteral("No database is loaded.");
        return false;
    }
    if (filePath(DataFile::Index).isEmpty()) {
        mError = QStringLiteral("The database was not loaded from a folder.");
        return false;
    }
    const QString dataDir = QFileInfo(filePath(DataFile::Index)).absolutePath();
    if (mReadOnly) {
        mError = QStringLiteral("%1 was opened read-only and cannot be saved.")
                     .arg(QDir::toNativeSeparators(dataDir));
        return false;
    }
    // A save, and the recovery of another, only under the folder's lock.
    if (!mLock && !takeLock(dataDir)) {
        mError = QStringLiteral("Cannot save: ") + mError;
        return false;
    }
    // A file replaced by a rename would stop being the link it is, and the
    // file it names would keep the old content: refused before any write.
    for (DataFile file : SavedDataFiles) {
        if (QFileInfo(filePath(file)).isSymLink()) {
            mError = QStringLiteral("Cannot save %1: it is a symbolic link.")
                         .arg(QDir::toNativeSeparators(filePath(file)));
            mErrorDetail = QStringLiteral("A save replaces each file whole, which would put a "
                                          "plain file in the link's place and leave the file it "
                                          "names unchanged. Replace the link by that file.");
            return false;
        }
    }
    QString recovery;
    const SaveRecovery earlier = AtomicFileSetWriter::recover(dataDir, dataFileNames(), &recovery);
    if (earlier == SaveRecovery::Failed) {
        // Its journal must not be overwritten: it is all that says which
        // files are which.
        mError = QStringLiteral("Cannot save into %1: an interrupted save there can be neither "
                                "finished nor undone.")
                     .arg(QDir::toNativeSeparators(dataDir));
        mErrorDetail = recovery;
        return false;
    }
    // The game's files as they came, kept once before the editor first
    // changes them, so that a user can always go back.
    QStringList originals;
    for (DataFile file : AllDataFiles)
        originals.append(filePath(file));
    if (progress)
        progress(QStringLiteral("Keeping a copy of the original files"), 0, 2);
    QString detail;
    if (!makePristineCopy(dataDir, originals, &detail, mFaults)) {
        mError = QStringLiteral("Cannot keep a copy of the original files in %1")
                     .arg(QDir::toNativeSeparators(QFileInfo(dataDir).absolutePath()
                                                   + QLatin1Char('/') + pristineFolderName()));
        mErrorDetail = detail;
        return false;
    }
    const QList<SavedFile> files = savedFiles();
    if (progress)
        progress(QStringLiteral("Writing %1 files").arg(files.size()), 1, 2);

    AtomicFileSetWriter writer;
    writer.setFaultInjector(mFaults);
    for (const SavedFile &file : files)
        writer.add(filePath(file.file), file.content);
    if (!writer.commit()) {
        mError = QStringLiteral("Cannot create file %1")
                     .arg(QDir::toNativeSeparators(writer.failedTarget()));
        mErrorDetail = writer.errorDetail();
        return false;
    }
    for (const SavedFile &file : files)
        rememberDisk(file.file, filePath(file.file), file.content);
    // Changes not yet closed into a step are saved: they become one, so that
    // the state saved is a step the history can come back to.
    commitStep({QStringLiteral("Changes"), {}, {}});
    mHistory.markClean();
    return true;
}

QList<Database::SavedFile> Database::savedFiles()
{
    const DataImage &club = image(DataFile::Club);
    const QByteArray clubBytes = mClubs.read(0, club.size());
    const QByteArray natBytes = mClubs.read(club.size(), image(DataFile::NatClub).size());
    QList<SavedFile> files;
    for (DataFile file : SavedDataFiles) {
        QByteArray content;
        switch (file) {
        case DataFile::Club: content = clubBytes + mClubTail; break;
        case DataFile::NatClub: content = natBytes; break;
        case DataFile::PlayerSetup: content = serializeSetupLines(mSetupLines); break;
        case DataFile::Index: content = tableOfContents(); break;
        default: content = image(file).bytes(); break;
        }
        files.append({file, std::move(content)});
    }
    return files;
}

std::array<QByteArray, DataFileCount> Database::savedFileSet()
{
    std::array<QByteArray, DataFileCount> files;
    for (DataFile file : AllDataFiles)
        files[std::size_t(file)] = image(file).bytes();
    for (SavedFile &f : savedFiles())
        files[std::size_t(f.file)] = std::move(f.content);
    return files;
}

DatabaseSnapshot::DatabaseSnapshot(const Database &db)
    : mClubs(db.clubs().bytes()), mCounters(db.counters()), mSetupLines(db.setupLines())
{
    for (DataFile file : AllDataFiles)
        mImages[std::size_t(file)] = db.image(file).bytes();
}

namespace {

// Bytes still shared with the snapshot are equal without reading them.
bool same(const QByteArray &a, const QByteArray &b)
{
    return a.constData() == b.constData() ? a.size() == b.size() : a == b;
}

} // namespace

bool DatabaseSnapshot::sameAs(const Database &db) const
{
    for (DataFile file : AllDataFiles) {
        if (!same(mImages[std::size_t(file)], db.image(file).bytes()))
            return false;
    }
    return same(mClubs, db.clubs().bytes()) && mCounters == db.counters()
           && mSetupLines == db.setupLines();
}

} // namespace kx3
