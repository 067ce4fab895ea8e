#include "Database.h"

#include "AtomicFileSetWriter.h"
#include "PristineCopy.h"
#include "SetupLines.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

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

Database::Database() = default;
Database::~Database() = default;

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
    return false;
}

bool Database::load(const QString &installDir, const Progress &progress)
{
    mError.clear();
    mErrorDetail.clear();
    mLoaded = false;
    mInstallDir = installDir;
    // The installation folder is used as given; only the Data folder and the
    // file names are matched ignoring case.
    const QString dataDir = resolvePathIgnoringCase(installDir, QStringLiteral("Data"));

    // A save cut short by a crash is finished or undone before anything is
    // read, so that the files read are one whole set.
    mRecovery = SaveRecovery::None;
    if (QFileInfo(dataDir).isDir()) {
        QString detail;
        mRecovery = AtomicFileSetWriter::recover(dataDir, dataFileNames(), &detail);
        if (mRecovery == SaveRecovery::Failed) {
            return fail(QStringLiteral("Cannot finish or undo the interrupted save in %1")
                            .arg(QDir::toNativeSeparators(dataDir)),
                        detail);
        }
    }

    return loadDataDir(dataDir, progress);
}

bool Database::loadAsRecovered(const QString &installDir, bool *interrupted)
{
    mInstallDir = installDir;
    mRecovery = SaveRecovery::None;
    const QString dataDir = resolvePathIgnoringCase(installDir, QStringLiteral("Data"));
    QHash<QString, QString> from;
    QString detail;
    const SaveRecovery view = AtomicFileSetWriter::recoveredView(dataDir, &from, &detail);
    *interrupted = view != SaveRecovery::None;
    if (view == SaveRecovery::Failed) {
        return fail(QStringLiteral("Cannot finish or undo the interrupted save in %1")
                        .arg(QDir::toNativeSeparators(dataDir)),
                    detail);
    }
    return readDataDir(dataDir, {}, from);
}

bool Database::loadDataDir(const QString &dataDir, const Progress &progress)
{
    return readDataDir(dataDir, progress, {});
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
        QFile f(from.value(QFileInfo(path).fileName().toLower(), path));
        const QString cannotOpen =
            QStringLiteral("Cannot open file %1").arg(QDir::toNativeSeparators(path));
        if (!f.open(QIODevice::ReadOnly))
            return fail(cannotOpen, f.errorString());
        files[std::size_t(index(file))] = f.readAll();
        if (f.error() != QFileDevice::NoError)
            return fail(cannotOpen, f.errorString());
    }
    return loadFiles(std::move(files));
}

bool Database::loadFiles(std::array<QByteArray, DataFileCount> files)
{
    mError.clear();
    mErrorDetail.clear();
    mLoaded = false;
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
    const QString dataDir = QFileInfo(filePath(DataFile::Index)).absolutePath();
    AtomicFileSetWriter::recover(dataDir, dataFileNames());
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
