#include "core/db/PristineCopy.h"

#include "core/db/AtomicFileSetWriter.h"
#include "core/db/DiskOps.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

namespace kx3 {

namespace {

/// Gives `to` the content of `from`. A hard link shares it at no cost; that is
/// sound only because a save never writes a data file in place but renames a
/// new file over it, which leaves the linked name with the old content.
Failure linkOrCopy(DiskSteps &disk, const QString &from, const QString &to)
{
    // A Data file that is a symbolic link is kept as the file it names.
    return disk.linkOrCopy(from, to, true,
                           disk.faults() ? disk.faults()->failPristineLink(from) : 0);
}

QString temporaryName(const QString &parent)
{
    return parent + QStringLiteral("/.") + pristineFolderName() + QStringLiteral(".kx3new");
}

/// Removes `path`, a file or a whole folder; true when it is gone.
bool removeAny(const QString &path)
{
    const QFileInfo info(path);
    if (info.isDir() && !info.isSymLink())
        return QDir(path).removeRecursively();
    return QFile::remove(path) || (!info.exists() && !info.isSymLink());
}

/// Why an existing Data.original cannot be the copy of `files`; empty when it is one.
QString notACopy(const QString &target, const QStringList &files)
{
    const QFileInfo info(target);
    if (!info.isDir())
        return QStringLiteral("%1 exists but is not a folder.");
    QStringList missing;
    const QStringList present = QDir(target).entryList(QDir::Files);
    for (const QString &file : files) {
        const QString name = QFileInfo(file).fileName();
        bool found = false;
        for (const QString &p : present)
            found = found || p.compare(name, Qt::CaseInsensitive) == 0;
        if (!found)
            missing.append(name);
    }
    if (missing.isEmpty())
        return {};
    return QStringLiteral("%1 exists but does not hold the game's data files (%2 %3 missing).")
        .arg(QStringLiteral("%1"), missing.join(QStringLiteral(", ")),
             missing.size() == 1 ? QStringLiteral("is") : QStringLiteral("are"));
}

} // namespace

QString pristineFolderName()
{
    return QStringLiteral("Data.original");
}

bool removeStrayPristineCopy(const QString &dataDir)
{
    const QString temp = temporaryName(QFileInfo(dataDir).absolutePath());
    const QFileInfo info(temp);
    return (!info.exists() && !info.isSymLink()) || removeAny(temp);
}

bool makePristineCopy(const QString &dataDir, const QStringList &files, QString *detail,
                      SaveFaultInjector *faults)
{
    const QString parent = QFileInfo(dataDir).absolutePath();
    const QString target = parent + QLatin1Char('/') + pristineFolderName();
    auto refuse = [detail](const QString &why) {
        if (detail)
            *detail = why;
        return false;
    };
    if (QFileInfo::exists(target) || QFileInfo(target).isSymLink()) {
        // Kept once and never overwritten; but what stands there must be that
        // copy, or the originals would silently never be kept.
        const QString why = notACopy(target, files);
        if (why.isEmpty())
            return true;
        return refuse(why.arg(QDir::toNativeSeparators(target))
                      + QStringLiteral(" Move it away so that the files as they came can be "
                                       "kept there before the first save."));
    }
    DiskSteps disk(faults);
    // Our own leftover of a copy that was cut short; nothing else has this name.
    const QString temp = temporaryName(parent);
    if (!removeStrayPristineCopy(dataDir))
        return refuse(QStringLiteral("%1 is left from an earlier copy and cannot be removed.")
                          .arg(QDir::toNativeSeparators(temp)));
    Failure failure;
    if (!QDir().mkdir(temp))
        failure =
            QStringLiteral("The folder %1 cannot be created.").arg(QDir::toNativeSeparators(temp));
    for (const QString &file : files) {
        if (failure)
            break;
        failure = linkOrCopy(disk, file, temp + QLatin1Char('/') + QFileInfo(file).fileName());
    }
    if (!failure && faults && !faults->failPristineCopy().isEmpty())
        failure = faults->failPristineCopy();
    if (!failure)
        failure = disk.syncFolder(temp);
    if (!failure)
        failure = disk.rename(temp, target);
    if (failure) {
        removeAny(temp);
        return refuse(*failure);
    }
    // Should the folder's name not reach the disk, the save must not run: a
    // crash could lose the folder while the Data files are already the saved
    // ones, and the next save would keep those as the originals.
    if (Failure unsynced = disk.syncFolder(parent)) {
        QDir(target).removeRecursively();
        return refuse(*unsynced);
    }
    return true;
}

} // namespace kx3
