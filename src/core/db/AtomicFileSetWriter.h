#pragma once

#include "core/db/DiskOps.h"

#include <QByteArray>
#include <QHash>
#include <QList>
#include <QString>
#include <QStringList>

namespace kx3 {

/// Lets tests make a save fail at a chosen step without a broken disk.
class SaveFaultInjector
{
public:
    virtual ~SaveFaultInjector() = default;
    /// The reason, worded as the operating system would give it, to make
    /// writing the temporary copy of file `index` fail with; empty lets it pass.
    virtual QString failWrite(int index, const QString &target) = 0;
    /// The same for moving file `index` over its original.
    virtual QString failReplace(int index, const QString &target) = 0;
    /// Called before every step that changes the disk (a write, a flush, the
    /// journal, a rename, a removal), counted from 0; a crash test ends the
    /// process there.
    virtual void atStep(int step) { Q_UNUSED(step) }
    /// The reason to make the copy of the original files fail with, before
    /// the first save into an installation; empty lets it pass.
    virtual QString failPristineCopy() { return {}; }
    /// The error number, as link() sets it, to make hard-linking the original
    /// `file` into that copy fail with; 0 lets it pass.
    virtual int failPristineLink(const QString &file)
    {
        Q_UNUSED(file)
        return 0;
    }
    /// Told of every operation on the disk once it has succeeded, in order.
    virtual void performed(DiskOp op, const QString &path)
    {
        Q_UNUSED(op)
        Q_UNUSED(path)
    }
};

/// What loading found of an earlier save.
enum class SaveRecovery {
    None,          ///< no save was interrupted
    RolledForward, ///< an interrupted save was finished: the files are the saved ones
    RolledBack,    ///< an interrupted save was undone: the files are those before it
    Cleaned,       ///< a save had replaced every file; only its backups were left
    Kept,  ///< files of a save were found without its journal and kept: they may be the only copy
    Failed ///< an interrupted save could be neither finished nor undone; everything is kept
};

/// Replaces a set of files in one folder all together or not at all, even
/// across a crash.
///
/// Every file is first written and flushed to a temporary file beside its
/// target, and every original gets a hard-linked (or copied) backup. Then a
/// journal naming them all, with the size and checksum of each new content,
/// is made durable; only then are the temporary files renamed over the
/// originals. The journal goes when the last rename is done, then the
/// backups, and then the journal. A failure part-way puts the originals back;
/// a crash part-way is finished or undone by recover() at the next load, so
/// the set is always wholly old or wholly new. What cannot be put back keeps
/// its journal and backups, and says which files are which.
class AtomicFileSetWriter
{
public:
    struct File
    {
        QString target;
        QByteArray content;
    };

    void add(const QString &target, QByteArray content)
    {
        mFiles.append({target, std::move(content)});
    }
    void setFaultInjector(SaveFaultInjector *injector) { mFaults = injector; }

    /// Returns false when any file could not be written or replaced; then no
    /// target has changed and failedTarget() names the file that failed.
    bool commit();

    QString failedTarget() const { return mFailedTarget; }

    /// Finishes or undoes a save of the folder `dir` that was interrupted
    /// (its journal is still there), then removes what a save of ours left
    /// behind for the files `names` (temporary copies, backups, the journal's
    /// temporary) where nothing can be lost by it, never any other file.
    /// Only the one writer of the folder may call it. `detail` receives, in
    /// words for the user, what was found and kept or why it failed.
    static SaveRecovery recover(const QString &dir, const QStringList &names,
                                QString *detail = nullptr);
    /// What recover() would leave, without touching anything: for each file
    /// of an interrupted save (by lower-case name), the file whose content it
    /// would end with (empty: it would remove it). None without a journal;
    /// Failed leaves `paths` empty: the files as they lie are all there is.
    static SaveRecovery recoveredView(const QString &dir, const QStringList &names,
                                      QHash<QString, QString> *paths, QString *detail = nullptr);
    /// The journal's file name inside the saved folder.
    static QString journalName();
    /// The operating system's reason for that failure ("No space left on
    /// device"...); empty after a commit that worked.
    QString errorDetail() const { return mErrorDetail; }

private:
    QList<File> mFiles;
    SaveFaultInjector *mFaults = nullptr;
    QString mFailedTarget;
    QString mErrorDetail;
};

} // namespace kx3
