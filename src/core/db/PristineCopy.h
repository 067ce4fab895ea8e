#pragma once

#include <QString>
#include <QStringList>

namespace kx3 {

class SaveFaultInjector;

/// Name of the folder, beside a game's Data folder, that keeps the Data files
/// as they were before the editor first saved into them.
QString pristineFolderName();

/// Keeps `files` (paths inside `dataDir`) in `dataDir`/../Data.original,
/// unless that folder exists already: it is made once and never overwritten.
/// A Data.original that is not a folder holding every one of the files is
/// refused, with the reason in `detail`.
/// Each file is hard-linked there, or copied where the file system cannot
/// link it. The copy is all or nothing: the files go into a temporary folder,
/// are flushed, and the folder is renamed into place. Returns false, leaving
/// no trace, when any step fails; `detail` then says why. `faults`, when set,
/// can make the copy or a link fail (for tests).
/// Removes the partial copy a crash during makePristineCopy() left beside
/// `dataDir`, if any; false when it is there and cannot be removed. Only the
/// folder's one writer may call it.
bool removeStrayPristineCopy(const QString &dataDir);

bool makePristineCopy(const QString &dataDir, const QStringList &files, QString *detail,
                      SaveFaultInjector *faults = nullptr);

} // namespace kx3
