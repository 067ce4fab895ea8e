#include "core/db/DiskOps.h"

#include "core/db/AtomicFileSetWriter.h"

#include <QFile>
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

Failure saveWholeFile(const QString &path, const QByteArray &content)
{
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
