#include "core/db/PristineCopy.h"

#include "core/db/AtomicFileSetWriter.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <algorithm>
#include <array>
#include <optional>

#ifndef Q_OS_WIN
#include <cerrno>
#include <fcntl.h>
#include <unistd.h>
#endif

namespace kx3 {

namespace {

/// Why a step failed, in the operating system's words; nothing when it worked.
using Failure = std::optional<QString>;

#ifndef Q_OS_WIN
Failure systemFailure(int error)
{
    return qt_error_string(error);
}

/// Flushes a folder's entries (the links and names made in it) to disk.
Failure syncFolder(const QString &path)
{
    const int fd = ::open(QFile::encodeName(path).constData(), O_RDONLY | O_DIRECTORY);
    if (fd < 0)
        return systemFailure(errno);
    const int result = ::fsync(fd);
    const int error = errno;
    ::close(fd);
    // Some file systems cannot flush a folder at all (EINVAL): there is
    // nothing more to be had from them, and refusing would make every first
    // save on them fail.
    if (result != 0 && error != EINVAL)
        return systemFailure(error);
    return std::nullopt;
}

/// Errors of link() that say this file can never be linked there (another
/// file system, one without hard links, a file at its link limit), so that a
/// copy must serve; any other error is a real failure.
bool linkImpossible(int error)
{
    // ENOTSUP and EOPNOTSUPP are one number on some systems, two on others.
    const std::array impossible = {EXDEV, EPERM, EMLINK, ENOTSUP, EOPNOTSUPP, ENOSYS};
    return std::find(impossible.begin(), impossible.end(), error) != impossible.end();
}
#else
Failure syncFolder(const QString &)
{
    return std::nullopt;
}
#endif

Failure copyFlushed(const QString &from, const QString &to)
{
    QFile in(from);
    if (!in.open(QIODevice::ReadOnly))
        return in.errorString();
    const QByteArray bytes = in.readAll();
    if (in.error() != QFileDevice::NoError)
        return in.errorString();
    QFile out(to);
    if (!out.open(QIODevice::WriteOnly) || out.write(bytes) != bytes.size() || !out.flush())
        return out.errorString();
#ifndef Q_OS_WIN
    if (::fsync(out.handle()) != 0)
        return systemFailure(errno);
#endif
    return std::nullopt;
}

/// Gives `to` the content of `from`. A hard link shares it at no cost; that is
/// sound only because a save never writes a data file in place but renames a
/// new file over it, which leaves the linked name with the old content.
Failure linkOrCopy(const QString &from, const QString &to, SaveFaultInjector *faults)
{
#ifndef Q_OS_WIN
    int error = faults ? faults->failPristineLink(from) : 0;
    if (error == 0) {
        // A Data file that is a symbolic link is kept as the file it names.
        if (::linkat(AT_FDCWD, QFile::encodeName(from).constData(), AT_FDCWD,
                     QFile::encodeName(to).constData(), AT_SYMLINK_FOLLOW)
            == 0)
            return std::nullopt;
        error = errno;
    }
    if (!linkImpossible(error))
        return systemFailure(error);
#else
    Q_UNUSED(faults)
#endif
    return copyFlushed(from, to);
}

} // namespace

QString pristineFolderName()
{
    return QStringLiteral("Data.original");
}

bool makePristineCopy(const QString &dataDir, const QStringList &files, QString *detail,
                      SaveFaultInjector *faults)
{
    const QString parent = QFileInfo(dataDir).absolutePath();
    const QString target = parent + QLatin1Char('/') + pristineFolderName();
    if (QFileInfo::exists(target))
        return true;
    // Our own leftover of a copy that was cut short; nothing else has this name.
    const QString temp =
        parent + QStringLiteral("/.") + pristineFolderName() + QStringLiteral(".kx3new");
    QDir(temp).removeRecursively();
    Failure failure;
    if (!QDir().mkpath(temp))
        failure = QStringLiteral("The folder cannot be created.");
    for (const QString &file : files) {
        if (failure)
            break;
        failure = linkOrCopy(file, temp + QLatin1Char('/') + QFileInfo(file).fileName(), faults);
    }
    if (!failure && faults && !faults->failPristineCopy().isEmpty())
        failure = faults->failPristineCopy();
    if (!failure)
        failure = syncFolder(temp);
    if (!failure && !QDir().rename(temp, target))
        failure = QStringLiteral("The folder cannot be renamed.");
    if (failure) {
        QDir(temp).removeRecursively();
        if (detail)
            *detail = *failure;
        return false;
    }
    // Should the folder's name not reach the disk, the save must not run: a
    // crash could lose the folder while the Data files are already the saved
    // ones, and the next save would keep those as the originals.
    if (Failure unsynced = syncFolder(parent)) {
        QDir(target).removeRecursively();
        if (detail)
            *detail = *unsynced;
        return false;
    }
    return true;
}

} // namespace kx3
