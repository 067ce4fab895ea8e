#include "core/db/PristineCopy.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

#ifndef Q_OS_WIN
#include <fcntl.h>
#include <unistd.h>
#endif

namespace kx3 {

namespace {

void syncPath(const QString &path, bool directory)
{
#ifndef Q_OS_WIN
    const int fd =
        ::open(QFile::encodeName(path).constData(), directory ? O_RDONLY | O_DIRECTORY : O_RDONLY);
    if (fd >= 0) {
        ::fsync(fd);
        ::close(fd);
    }
#else
    Q_UNUSED(path)
    Q_UNUSED(directory)
#endif
}

bool copyFlushed(const QString &from, const QString &to, QString *detail)
{
    QFile in(from);
    if (!in.open(QIODevice::ReadOnly)) {
        *detail = in.errorString();
        return false;
    }
    const QByteArray bytes = in.readAll();
    QFile out(to);
    if (!out.open(QIODevice::WriteOnly) || out.write(bytes) != bytes.size() || !out.flush()) {
        *detail = out.errorString();
        return false;
    }
    out.close();
    syncPath(to, false);
    return true;
}

} // namespace

QString pristineFolderName()
{
    return QStringLiteral("Data.original");
}

bool makePristineCopy(const QString &dataDir, const QStringList &files, QString *detail,
                      const QString &fault)
{
    const QString parent = QFileInfo(dataDir).absolutePath();
    const QString target = parent + QLatin1Char('/') + pristineFolderName();
    if (QFileInfo::exists(target))
        return true;
    // Our own leftover of a copy that was cut short; nothing else has this name.
    const QString temp =
        parent + QStringLiteral("/.") + pristineFolderName() + QStringLiteral(".kx3new");
    QDir(temp).removeRecursively();
    QString reason;
    bool ok = QDir().mkpath(temp);
    if (!ok)
        reason = QStringLiteral("The folder cannot be created.");
    for (const QString &file : files) {
        if (!ok)
            break;
        ok = copyFlushed(file, temp + QLatin1Char('/') + QFileInfo(file).fileName(), &reason);
    }
    if (ok && !fault.isEmpty()) {
        ok = false;
        reason = fault;
    }
    if (ok) {
        syncPath(temp, true);
        ok = QDir().rename(temp, target);
        if (!ok)
            reason = QStringLiteral("The folder cannot be renamed.");
    }
    if (!ok) {
        QDir(temp).removeRecursively();
        if (detail)
            *detail = reason;
        return false;
    }
    syncPath(parent, true);
    return true;
}

} // namespace kx3
