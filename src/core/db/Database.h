#pragma once

#include "AtomicFileSetWriter.h"
#include "DataFiles.h"
#include "DataImage.h"
#include "EditHistory.h"
#include "Progress.h"
#include "StaffCounters.h"

#include <QByteArray>
#include <QHash>
#include <QList>
#include <QString>

class QLockFile;

#include <array>
#include <cstdint>
#include <memory>
#include <optional>

namespace kx3 {

class SaveFaultInjector;

/// The whole game database in memory: one image per data file, the combined
/// club image, the staff table counters and the lines of player_Setup.cfg.
///
/// Nothing touches the disk between load() and save().
class Database
{
public:
    Database();
    ~Database();
    Database(const Database &) = delete;
    Database &operator=(const Database &) = delete;

    /// Loads every file of `installDir`/Data for editing. First takes the
    /// installation's lock (one editor writes a Data folder at a time; see
    /// lockHolder()), then finishes or undoes a save interrupted there. On
    /// failure returns false, keeps nothing half-loaded and errorString()
    /// says which file and why. `progress` hears of each file read.
    bool load(const QString &installDir, const Progress &progress = {});

    /// Loads `installDir`/Data without the lock and writing nothing: a save
    /// interrupted there is read as its recovery would leave the files, and
    /// `interrupted` says whether there was one. The database cannot be saved.
    bool loadReadOnly(const QString &installDir, const Progress &progress = {},
                      bool *interrupted = nullptr);

    /// Loads the files of the Data folder `dataDir` as they lie, read-only: an
    /// interrupted save there is neither finished nor undone. For comparing
    /// with a copy (Data.original, another installation) without writing to it.
    bool loadDataDir(const QString &dataDir, const Progress &progress = {});

    /// Whether the database was loaded without the lock and so cannot be saved.
    bool isReadOnly() const { return mReadOnly; }
    /// After load() failed because another program edits the installation:
    /// who ("process 4242 on host tower, kx3edit"); empty otherwise.
    QString lockHolder() const { return mLockHolder; }
    /// After load() failed: whether opening read-only is the way forward
    /// (another program holds the lock, the folder cannot be locked, or a
    /// save interrupted there can be neither finished nor undone).
    bool offersReadOnly() const { return mOffersReadOnly; }

    /// The first data file (its path) whose content on disk is no longer what
    /// the last load or save left there: another program wrote it since.
    /// Empty when none is. Reads a file again only when its size and time
    /// changed.
    QString changedOnDisk() const;

    /// Largest data file the loader reads. No game database comes near it:
    /// staff.dat, the largest table, holds 295 MB at a million persons with
    /// both attribute records each, which is the most the editor is built
    /// for; anything bigger is not one of the game's files and would only
    /// exhaust memory.
    static constexpr qint64 MaxFileSize = qint64(1) << 30;

    /// Loads a database from the bytes of its files (indexed by DataFile), as
    /// load() does once it has read them; for tests and fuzzing, which need no
    /// disk. File paths stay as they were.
    bool loadFiles(std::array<QByteArray, DataFileCount> files);

    /// A file as a save writes it.
    struct SavedFile
    {
        DataFile file;
        QByteArray content;
    };
    /// What a save writes: every saved file's bytes, the table of contents
    /// brought up to date. Changes no image.
    QList<SavedFile> savedFiles();
    /// Every file of the set as a save leaves it on disk: what savedFiles()
    /// writes, and the files a save never writes as they were loaded.
    std::array<QByteArray, DataFileCount> savedFileSet();

    /// Writes every saved file and the table of contents, all or nothing.
    /// Clears the modified flag on success. On failure returns false, changes
    /// no file, keeps the modified flag and errorString() holds "Cannot create
    /// file <path>", errorDetail() the reason. `progress` hears of each step.
    bool save(const Progress &progress = {});

    QString errorString() const { return mError; }
    /// What the last load found of an interrupted save, in words for the
    /// user; empty when there was none.
    QString recoveryNote() const;
    /// What the last load found of an interrupted save.
    SaveRecovery recovery() const { return mRecovery; }
    /// The operating system's reason for the last failure ("Permission denied"...), or empty.
    QString errorDetail() const { return mErrorDetail; }
    bool isLoaded() const { return mLoaded; }
    QString installDir() const { return mInstallDir; }
    /// Path of a file as found at load (its actual spelling on disk).
    QString filePath(DataFile file) const { return mPaths[index(file)]; }

    /// Whether the images differ from the files as last loaded or saved:
    /// changes that were taken back, or that wrote the bytes already there,
    /// do not count.
    bool isModified() const;

    /// The session's steps. Every change to the images, the counters or the
    /// setup lines is recorded as it happens; commitStep() closes what was
    /// recorded since the last step into one named step.
    const EditHistory &history() const { return mHistory; }
    EditHistory &history() { return mHistory; }
    /// False, and no step, when nothing changed since the last step.
    bool commitStep(const StepInfo &info);
    /// Whether bytes changed since the last step (they are not a step yet).
    bool hasChangesOutsideSteps() const { return mLoaded && mHistory.pendingChanges(sideState()); }
    /// Records of `kind` were inserted (count > 0) or removed at `index`: told
    /// by whatever inserts or removes them, so that references follow.
    void noteMoved(RecordKind kind, int index, int count) { mHistory.moved({kind, index, count}); }
    /// Takes back the last step (changes recorded since it are made a step of
    /// their own first) and returns it; nothing when there is none.
    std::optional<StepInfo> undo();
    std::optional<StepInfo> redo();
    /// Takes back every change made since the last step, as if it had never
    /// been made: a batch of edits refused half-way leaves no trace.
    void rollBackChanges();
    /// Forgets every step: what the images hold now is where the history
    /// starts, and counts as unmodified.
    void clearHistory();

    /// Image of one file. For the club files use clubs(): only the sizes of
    /// the separate club images count, they decide where a save splits the
    /// combined image (their bytes stay as loaded).
    DataImage &image(DataFile file) { return mImages[index(file)]; }
    const DataImage &image(DataFile file) const { return mImages[index(file)]; }

    /// Clubs followed by national teams; every club reference indexes it.
    DataImage &clubs() { return mClubs; }
    const DataImage &clubs() const { return mClubs; }

    StaffCounters &counters() { return mCounters; }
    const StaffCounters &counters() const { return mCounters; }

    QList<QByteArray> &setupLines() { return mSetupLines; }
    const QList<QByteArray> &setupLines() const { return mSetupLines; }

    /// Number of clubs (C), national teams excluded.
    int clubCount() const { return int(image(DataFile::Club).recordCount(RecordSize::Club)); }

    /// The fourteen table-of-contents values a save writes, stored into the
    /// index.dat image.
    void updateTableOfContents();
    /// index.dat as a save writes it: the image with those values stored.
    QByteArray tableOfContents() const;

    void setSaveFaultInjector(SaveFaultInjector *injector) { mFaults = injector; }

private:
    /// What a data file held on disk when it was last read or written.
    struct DiskState
    {
        qint64 size = -1;
        qint64 modified = 0; ///< milliseconds since the epoch
        quint64 checksum = 0;
    };

    /// loadDataDir(), reading a file from the path `from` gives for its
    /// lower-case name where it gives one.
    bool readDataDir(const QString &dataDir, const Progress &progress,
                     const QHash<QString, QString> &from);
    /// The lock of `dataDir`; when refused, errorString() says why and the
    /// loaded images stay as they are.
    bool takeLock(const QString &dataDir);
    bool readDataFile(DataFile file, const QString &path, QByteArray &bytes);
    void rememberDisk(DataFile file, const QString &path, const QByteArray &content);

    static constexpr int index(DataFile file) { return static_cast<int>(file); }
    bool fail(const QString &message, const QString &detail = QString());
    bool checkConsistency();
    static QStringList dataFileNames();
    void attachHistory();
    SideState sideState() const { return {mCounters, mSetupLines}; }
    void setSideState(const SideState &side);

    std::array<DataImage, DataFileCount> mImages;
    std::array<QString, DataFileCount> mPaths;
    DataImage mClubs;
    QByteArray mClubTail;
    StaffCounters mCounters;
    QList<QByteArray> mSetupLines;
    QString mInstallDir;
    QString mError;
    QString mErrorDetail;
    bool mLoaded = false;
    EditHistory mHistory;
    SaveFaultInjector *mFaults = nullptr;
    SaveRecovery mRecovery = SaveRecovery::None;
    QString mRecoveryDetail;
    std::shared_ptr<QLockFile> mLock;
    QString mLockHolder;
    bool mReadOnly = false;
    bool mOffersReadOnly = false;
    std::array<DiskState, DataFileCount> mDisk;
};

/// Finds `name` in `dir`: the exact name when it exists, otherwise the first
/// entry equal ignoring case (game files copied from Windows keep odd case).
/// Returns the path to use, which is `dir`/`name` when nothing matches.
QString resolvePathIgnoringCase(const QString &dir, const QString &name);

/// What a database holds at one moment: every image, the combined club image,
/// the counters and the setup lines. Cheap to take: the bytes stay shared
/// until one side changes them.
class DatabaseSnapshot
{
public:
    explicit DatabaseSnapshot(const Database &db);
    /// Whether `db` holds exactly what it held when the snapshot was taken.
    bool sameAs(const Database &db) const;

private:
    std::array<QByteArray, DataFileCount> mImages;
    QByteArray mClubs;
    StaffCounters mCounters;
    QList<QByteArray> mSetupLines;
};

} // namespace kx3
