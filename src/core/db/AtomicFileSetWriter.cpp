#include "AtomicFileSetWriter.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryFile>

#include <cerrno>
#include <cstdio>
#include <cstring>

#ifdef Q_OS_WIN
#include <io.h>
#include <windows.h>
#else
#include <fcntl.h>
#include <unistd.h>
#endif

namespace kx3 {

namespace {

bool syncFile(QFile &file)
{
    if (!file.flush())
        return false;
#ifdef Q_OS_WIN
    return FlushFileBuffers(reinterpret_cast<HANDLE>(_get_osfhandle(file.handle())));
#else
    return ::fsync(file.handle()) == 0;
#endif
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
bool makeBackup(const QString &original, const QString &backup)
{
#ifndef Q_OS_WIN
    if (::link(QFile::encodeName(original).constData(), QFile::encodeName(backup).constData())
        == 0)
        return true;
#endif
    return QFile::copy(original, backup);
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
        const QFileInfo info(f.target);
        QTemporaryFile tmp(info.absolutePath() + QStringLiteral("/.") + info.fileName()
                           + QStringLiteral(".XXXXXX.kx3new"));
        tmp.setAutoRemove(false);
        bool ok = !(mFaults && mFaults->failWrite(i, f.target)) && tmp.open();
        if (ok)
            temps.append(tmp.fileName());
        ok = ok && tmp.write(f.content) == f.content.size() && syncFile(tmp);
        if (ok && info.exists()) {
            // The game's files may have been read-only; the saved file is
            // left writable by its owner and otherwise as permissive as before.
            ok = tmp.setPermissions(QFile::permissions(f.target) | QFile::WriteOwner
                                    | QFile::ReadOwner);
        }
        if (!ok) {
            mFailedTarget = f.target;
            mErrorDetail = tmp.errorString();
            tmp.close();
            dropTemps();
            return false;
        }
        tmp.close();
    }

    // Stage 2: move them over the originals, keeping each original until all
    // are in place.
    QStringList backups;
    QStringList dirs;
    for (int i = 0; i < mFiles.size(); ++i) {
        const File &f = mFiles.at(i);
        QString backup;
        bool ok = true;
        if (QFileInfo::exists(f.target)) {
            backup = uniqueSibling(f.target, "kx3old");
            ok = makeBackup(f.target, backup);
        }
        ok = ok && !(mFaults && mFaults->failReplace(i, f.target));
        if (ok) {
            ok = replaceFile(temps.at(i), f.target);
            if (!ok)
                mErrorDetail = QString::fromLocal8Bit(std::strerror(errno));
        }
        if (!ok) {
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
