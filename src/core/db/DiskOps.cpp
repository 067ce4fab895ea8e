#include "core/db/DiskOps.h"

#include "core/db/AtomicFileSetWriter.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>

#include <algorithm>
#include <array>
#include <cerrno>

#ifdef Q_OS_WIN
#include <io.h>
#include <windows.h>
#else
#include <fcntl.h>
#include <unistd.h>
#endif

namespace kx3 {

QString systemError(int error)
{
    return qt_error_string(error);
}

Failure outputRefusal(const QString &path)
{
    // A save renames over its target: a device, a pipe or a folder would be
    // replaced by a plain file, and a link by the file it should have led to.
    const QFileInfo target(path);
    if (target.isSymLink() || target.exists()) {
        if (!target.isFile())
            return QStringLiteral("%1 is not a plain file (a folder, a device or a pipe): "
                                  "choose a file")
                .arg(QDir::toNativeSeparators(path));
    }
    // The game's files are written by a save of the whole set alone, and its
    // untouched copy never.
    const QFileInfo resolved(target.isSymLink() ? target.symLinkTarget() : path);
    const QDir folder = resolved.absoluteDir();
    const QString name = folder.dirName();
    const bool data = name.compare(QLatin1String("Data"), Qt::CaseInsensitive) == 0
                      && !folder.entryList({QStringLiteral("index.dat")}, QDir::Files).isEmpty();
    if (data || name.compare(QLatin1String("Data.original"), Qt::CaseInsensitive) == 0)
        return QStringLiteral("%1 is inside the game's data folder %2: choose another folder")
            .arg(QDir::toNativeSeparators(path), QDir::toNativeSeparators(folder.path()));
    return std::nullopt;
}

std::optional<QByteArray> readUserFile(const QString &path, QString *error)
{
    const QString shown = QDir::toNativeSeparators(path);
    auto fail = [&](const QString &why) -> std::optional<QByteArray> {
        if (error)
            *error = QStringLiteral("Cannot read %1 (%2)").arg(shown, why);
        return std::nullopt;
    };
    const QFileInfo info(path);
    if (info.exists() && !info.isFile())
        return fail(QStringLiteral("not a plain file: a folder, a device or a pipe"));
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return fail(file.errorString());
    // Asked of the file opened: a file swapped for another after the check
    // above is judged as what is read.
    if (file.isSequential())
        return fail(QStringLiteral("not a plain file: a device or a pipe"));
    if (file.size() > MaxUserFileSize)
        return fail(QStringLiteral("%1 bytes, more than the 1 GiB a file may hold")
                        .arg(file.size()));
    QByteArray content = file.read(MaxUserFileSize + 1);
    if (file.error() != QFileDevice::NoError)
        return fail(file.errorString());
    if (content.size() > MaxUserFileSize)
        return fail(QStringLiteral("more than the 1 GiB a file may hold"));
    return content;
}

Failure saveWholeFile(const QString &path, const QByteArray &content)
{
    if (Failure refused = outputRefusal(path))
        return refused;
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly))
        return file.errorString();
    if (Failure failure = DiskSteps().writeFlushed(file, content, false))
        return failure;
    if (!file.commit())
        return file.errorString();
    return std::nullopt;
}

void DiskSteps::done(DiskOp op, const QString &path)
{
    if (mFaults)
        mFaults->performed(op, path);
}

Failure DiskSteps::writeFlushed(QFileDevice &file, const QByteArray &content, bool create)
{
    if (create && !file.open(QIODevice::WriteOnly | QIODevice::Truncate | QIODevice::Unbuffered))
        return file.errorString();
#ifdef Q_OS_WIN
    if (file.write(content) != content.size())
        return file.errorString();
    if (!file.flush())
        return file.errorString();
    done(DiskOp::Write, file.fileName());
    if (!FlushFileBuffers(reinterpret_cast<HANDLE>(_get_osfhandle(file.handle()))))
        return qt_error_string();
#else
    // Past Qt's buffer, so that a short write (a disk filling up part-way)
    // is followed to the call that says why, instead of passing for done.
    const char *at = content.constData();
    qint64 left = content.size();
    while (left > 0) {
        const ssize_t n = ::write(file.handle(), at, size_t(std::min<qint64>(left, 1 << 30)));
        if (n < 0 && errno == EINTR)
            continue;
        if (n < 0)
            return systemError(errno);
        if (n == 0)
            return systemError(ENOSPC); // a disk that takes nothing more is full
        at += n;
        left -= n;
    }
    done(DiskOp::Write, file.fileName());
    // Told only once the flush itself has answered: a test of the order sees
    // a skipped flush as a missing step.
    const int synced = ::fsync(file.handle());
    if (synced != 0)
        return systemError(errno);
#endif
    done(DiskOp::SyncFile, file.fileName());
    return std::nullopt;
}

Failure DiskSteps::syncFolder(const QString &dir)
{
#ifndef Q_OS_WIN
    const int fd = ::open(QFile::encodeName(dir).constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd < 0)
        return systemError(errno);
    const int result = ::fsync(fd);
    const int error = errno;
    ::close(fd);
    // Some file systems cannot flush a folder at all (EINVAL): there is
    // nothing more to be had from them, and refusing would make every save
    // on them fail.
    if (result != 0 && error != EINVAL)
        return systemError(error);
#endif
    done(DiskOp::SyncFolder, dir);
    return std::nullopt;
}

Failure DiskSteps::rename(const QString &from, const QString &to)
{
#ifdef Q_OS_WIN
    if (!MoveFileExW(reinterpret_cast<LPCWSTR>(from.utf16()),
                     reinterpret_cast<LPCWSTR>(to.utf16()),
                     MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH))
        return qt_error_string();
#else
    if (::rename(QFile::encodeName(from).constData(), QFile::encodeName(to).constData()) != 0)
        return systemError(errno);
#endif
    done(DiskOp::Rename, to);
    return std::nullopt;
}

Failure DiskSteps::link(const QString &from, const QString &to, bool followLinks, bool *impossible,
                        int injectedError)
{
    *impossible = true;
#ifndef Q_OS_WIN
    int error = injectedError;
    if (error == 0) {
        if (::linkat(AT_FDCWD, QFile::encodeName(from).constData(), AT_FDCWD,
                     QFile::encodeName(to).constData(), followLinks ? AT_SYMLINK_FOLLOW : 0)
            == 0) {
            *impossible = false;
            done(DiskOp::Link, to);
            return std::nullopt;
        }
        error = errno;
    }
    // Errors that say this file can never be linked there (another file
    // system, one without hard links, a file at its link limit): a copy must
    // serve. ENOTSUP and EOPNOTSUPP are one number on some systems.
    const std::array never = {EXDEV, EPERM, EMLINK, ENOTSUP, EOPNOTSUPP, ENOSYS};
    *impossible = std::find(never.begin(), never.end(), error) != never.end();
    return systemError(error);
#else
    Q_UNUSED(from)
    Q_UNUSED(to)
    Q_UNUSED(followLinks)
    Q_UNUSED(injectedError)
    return QStringLiteral("Hard links are not used here.");
#endif
}

Failure DiskSteps::linkOrCopy(const QString &from, const QString &to, bool followLinks,
                              int injectedError)
{
    bool impossible = false;
    const Failure failure = link(from, to, followLinks, &impossible, injectedError);
    if (!failure || !impossible)
        return failure;
    QFile in(from);
    if (!in.open(QIODevice::ReadOnly))
        return in.errorString();
    const QByteArray bytes = in.readAll();
    if (in.error() != QFileDevice::NoError)
        return in.errorString();
    QFile out(to);
    return writeFlushed(out, bytes);
}

Failure DiskSteps::remove(const QString &path)
{
    QFile file(path);
    if (!file.remove() && file.exists())
        return file.errorString();
    done(DiskOp::Remove, path);
    return std::nullopt;
}

} // namespace kx3
