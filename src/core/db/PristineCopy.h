#pragma once

#include <QString>
#include <QStringList>

namespace kx3 {

/// Name of the folder, beside a game's Data folder, that keeps the Data files
/// as they were before the editor first saved into them.
QString pristineFolderName();

/// Copies `files` (paths inside `dataDir`) into `dataDir`/../Data.original,
/// unless that folder exists already: it is made once and never overwritten.
/// The copy is all or nothing: the files go into a temporary folder, are
/// flushed, and the folder is renamed into place. Returns false, leaving no
/// trace, when any step fails; `detail` then says why. `fault`, when not
/// empty, makes the copy fail with that reason (for tests).
bool makePristineCopy(const QString &dataDir, const QStringList &files, QString *detail,
                      const QString &fault = QString());

} // namespace kx3
