#pragma once

#include <QByteArray>
#include <QString>

#include <optional>

class QFileDevice;

namespace kx3 {

class SaveFaultInjector;

/// Why a step that changes the disk failed, in the operating system's words
/// ("No space left on device"); nothing when it worked.
using Failure = std::optional<QString>;

/// The operations a save makes on the disk, as a test sees them.
enum class DiskOp { Write, SyncFile, Link, Rename, Remove, SyncFolder };

/// The steps of a save that change the disk, each checked and each told to
/// the fault injector once it has succeeded, so that a test can assert the
/// order that makes the save crash-safe.
class DiskSteps
{
public:
    explicit DiskSteps(SaveFaultInjector *faults = nullptr) : mFaults(faults) {}

    /// Opens `file` (already named) for writing, puts `content` in it whole
    /// and flushes it to the disk.
    Failure writeFlushed(QFileDevice &file, const QByteArray &content, bool create = true);
    /// Flushes the entries of a folder (the names made, renamed or removed in
    /// it) to the disk.
    Failure syncFolder(const QString &dir);
    /// Moves `from` over `to` in one step.
    Failure rename(const QString &from, const QString &to);
    /// A second name for `from`'s content (`followLinks`: the file a symbolic
    /// link names). `impossible` is set when this file system cannot link it.
    /// A test may make it fail with the error number `injectedError`.
    Failure link(const QString &from, const QString &to, bool followLinks, bool *impossible,
                 int injectedError = 0);
    /// A link as link() makes it, or a flushed copy where this file system
    /// cannot link the file.
    Failure linkOrCopy(const QString &from, const QString &to, bool followLinks,
                       int injectedError = 0);
    /// Removes a file; one already gone counts as removed.
    Failure remove(const QString &path);

    SaveFaultInjector *faults() const { return mFaults; }

private:
    void done(DiskOp op, const QString &path);
    SaveFaultInjector *mFaults;
};

/// Why a file of the user's may not be written at `path`: it is no plain
/// file (a folder, a device, a pipe, or a link to one), or it lies in a
/// game's `Data` or `Data.original` folder; nothing when it may.
Failure outputRefusal(const QString &path);

/// Writes a file of the user's (a patch, a CSV table) whole or not at all:
/// written beside it, flushed, then moved over it; the reason when it fails
/// or outputRefusal() refuses the place.
Failure saveWholeFile(const QString &path, const QByteArray &content);

/// The most a file of the user's (a patch, a CSV table) may hold: 1 GiB.
inline constexpr qint64 MaxUserFileSize = qint64(1) << 30;

/// The whole of a file of the user's, or why it cannot be read ("… (No such
/// file or directory)"). Only a plain file of at most MaxUserFileSize is
/// read: a device, a pipe or a folder is refused before anything is read,
/// so that none can stall the program or fill its memory.
std::optional<QByteArray> readUserFile(const QString &path, QString *error);

/// The operating system's text for error number `error`.
QString systemError(int error);

} // namespace kx3
