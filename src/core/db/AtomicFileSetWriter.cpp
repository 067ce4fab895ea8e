#include "AtomicFileSetWriter.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryFile>

#include <cstdio>
#include <optional>

#ifdef Q_OS_WIN
#include <io.h>
#include <windows.h>
#else
#include <fcntl.h>
#include <unistd.h>
#endif

namespace kx3 {

namespace {

/// Why a step of a commit failed, in the operating system's words; nothing
/// when it worked.
using Failure = std::optional<QString>;

/// The operating system's text for the error of the call that just failed,
/// worded as QFile words it.
QString lastSystemError()
{
    return qt_error_string();
}

Failure syncFile(QFile &file)
{
    if (!file.flush())
        return file.errorString();
#ifdef Q_OS_WIN
    if (!FlushFileBuffers(reinterpret_cast<HANDLE>(_get_osfhandle(file.handle()))))
        return lastSystemError();
#else
    if (::fsync(file.handle()) != 0)
        return lastSystemError();
#endif
    return std::nullopt;
}

void syncDirectory(const QString &dir)
{
#ifndef Q_OS_WIN
    const int fd = ::open(QFile::encodeName(dir).constData(), O_RDONLY | O_DIRECTORY);
    if (fd >= 0) {
        ::fsync(fd);
        ::close(fd);
    }
#else
    Q_UNUSED(dir);
#endif
}

bool replaceFile(const QString &from, const QString &to)
{
#ifdef Q_OS_WIN
    return MoveFileExW(reinterpret_cast<LPCWSTR>(from.utf16()),
                       reinterpret_cast<LPCWSTR>(to.utf16()),
                       MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH);
#else
    return ::rename(QFile::encodeName(from).constData(), QFile::encodeName(to).constData()) == 0;
#endif
}

/// Keeps the original reachable under a second name; a hard link costs no
/// copying, a copy serves where links are not possible.
Failure makeBackup(const QString &original, const QString &backup)
{
#ifndef Q_OS_WIN
    if (::link(QFile::encodeName(original).constData(), QFile::encodeName(backup).constData())
        == 0)
        return std::nullopt;
#endif
    QFile file(original);
    if (file.copy(backup))
        return std::nullopt;
    return file.errorString();
}

QString uniqueSibling(const QString &target, const char *suffix)
{
    const QFileInfo info(target);
    for (int i = 0;; ++i) {
        const QString name = QStringLiteral("%1/.%2.%3%4")
                                 .arg(info.absolutePath(), info.fileName())
                                 .arg(i)
                                 .arg(QLatin1String(suffix));
        if (!QFileInfo::exists(name))
            return name;
    }
}

/// Writes `content` under a temporary name beside `target` and flushes it to
/// disk; `temp` names the temporary file once it exists.
Failure writeTemporary(const QString &target, const QByteArray &content, QString &temp)
{
    const QFileInfo info(target);
    QTemporaryFile tmp(info.absolutePath() + QStringLiteral("/.") + info.fileName()
                       + QStringLiteral(".XXXXXX.kx3new"));
    tmp.setAutoRemove(false);
    if (!tmp.open())
        return tmp.errorString();
    temp = tmp.fileName();
    if (tmp.write(content) != content.size())
        return tmp.errorString();
    if (Failure failure = syncFile(tmp))
        return failure;
    // The game's files may have been read-only; the saved file is left
    // writable by its owner and otherwise as permissive as before.
    if (info.exists()
        && !tmp.setPermissions(QFile::permissions(target) | QFile::WriteOwner
                               | QFile::ReadOwner)) {
        return tmp.errorString();
    }
    return std::nullopt;
}

/// The reason an injected fault gives, if the injector makes the step fail.
Failure injected(const QString &reason)
{
    return reason.isEmpty() ? Failure() : Failure(reason);
}

} // namespace

bool AtomicFileSetWriter::commit()
{
    mFailedTarget.clear();
    mErrorDetail.clear();

    QStringList temps;
    auto dropTemps = [&temps] {
        for (const QString &t : temps)
            QFile::remove(t);
    };

    // Stage 1: every new content safely on disk under a temporary name.
    for (int i = 0; i < mFiles.size(); ++i) {
        const File &f = mFiles.at(i);
        QString temp;
        Failure failure = injected(mFaults ? mFaults->failWrite(i, f.target) : QString());
        if (!failure)
            failure = writeTemporary(f.target, f.content, temp);
        if (!temp.isEmpty())
            temps.append(temp);
        if (failure) {
            mFailedTarget = f.target;
            mErrorDetail = *failure;
            dropTemps();
            return false;
        }
    }

    // Stage 2: move them over the originals, keeping each original until all
    // are in place.
    QStringList backups;
    QStringList dirs;
    for (int i = 0; i < mFiles.size(); ++i) {
        const File &f = mFiles.at(i);
        QString backup;
        Failure failure;
        if (QFileInfo::exists(f.target)) {
            backup = uniqueSibling(f.target, "kx3old");
            failure = makeBackup(f.target, backup);
        }
        if (!failure)
            failure = injected(mFaults ? mFaults->failReplace(i, f.target) : QString());
        if (!failure && !replaceFile(temps.at(i), f.target))
            failure = lastSystemError();
        if (failure) {
            if (!backup.isEmpty())
                QFile::remove(backup);
            // Put back what was already replaced.
            for (int j = i - 1; j >= 0; --j) {
                if (!backups.at(j).isEmpty())
                    replaceFile(backups.at(j), mFiles.at(j).target);
                else
                    QFile::remove(mFiles.at(j).target);
            }
            for (int j = i; j < temps.size(); ++j)
                QFile::remove(temps.at(j));
            mFailedTarget = f.target;
            mErrorDetail = *failure;
            return false;
        }
        backups.append(backup);
        const QString dir = QFileInfo(f.target).absolutePath();
        if (!dirs.contains(dir))
            dirs.append(dir);
    }
    for (const QString &dir : dirs)
        syncDirectory(dir);
    for (const QString &b : backups) {
        if (!b.isEmpty())
            QFile::remove(b);
    }
    return true;
}

} // namespace kx3
