// The window-less commands that compare databases and carry changes between
// installations.
#include "core/app/CommandLine.h"

#include "core/changes/DatabaseDiff.h"
#include "core/changes/ModPatch.h"
#include "core/db/Database.h"
#include "core/db/DiskOps.h"
#include "core/lookup/Lookups.h"
#include "core/records/SaveGuard.h"

#include <QFile>
#include <QTextStream>

namespace kx3 {

namespace {

const QString Program = QStringLiteral("kx3edit");

bool loadReadOnly(Database &db, const QString &folder, QTextStream &err)
{
    QString error;
    if (loadDataFolder(db, folder, &error))
        return true;
    err << Program << ": " << printableText(error) << '\n';
    return false;
}

std::optional<DatabaseDiff> diffFolders(const QString &oldDir, const QString &newDir,
                                        QTextStream &err)
{
    Database before;
    Database after;
    if (!loadReadOnly(before, oldDir, err) || !loadReadOnly(after, newDir, err))
        return std::nullopt;
    return diffDatabases(FormReader(before), FormReader(after));
}

} // namespace

int saveForCommand(Database &db, const SaveGuard &guard, QTextStream &err)
{
    // A command has no one to ask: what the files did not have is refused
    // whole, what they had is theirs to keep.
    const QStringList added = guard.newErrors(db);
    if (!added.isEmpty()) {
        err << Program << ": the save would write errors the files did not have:\n";
        for (const QString &text : added)
            err << "error: " << printableText(text) << '\n';
        err << "Nothing was written.\n";
        return ExitStatus::Problems;
    }
    if (db.save())
        return ExitStatus::Success;
    err << Program << ": " << printableText(db.errorString());
    if (!db.errorDetail().isEmpty())
        err << " (" << printableText(db.errorDetail()) << ')';
    err << '\n';
    return ExitStatus::Failure;
}

int runDiff(const QString &oldDir, const QString &newDir, QTextStream &out, QTextStream &err)
{
    const std::optional<DatabaseDiff> diff = diffFolders(oldDir, newDir, err);
    if (!diff)
        return ExitStatus::Failure;
    for (const QString &line : diffLines(*diff))
        out << line << '\n';
    return diff->isEmpty() ? ExitStatus::Success : ExitStatus::Problems;
}

int runMakePatch(const QString &patchFile, const QString &oldDir, const QString &newDir,
                 QTextStream &out, QTextStream &err)
{
    const std::optional<DatabaseDiff> diff = diffFolders(oldDir, newDir, err);
    if (!diff)
        return ExitStatus::Failure;
    if (const Failure failure = saveWholeFile(patchFile, writePatch(*diff))) {
        err << Program << ": cannot write " << printableName(patchFile) << " (" << *failure
            << ")\n";
        return ExitStatus::Failure;
    }
    out << "Wrote " << printableName(patchFile) << ": " << diff->records.size() << " records.\n";
    return ExitStatus::Success;
}

int runApplyPatch(const QString &patchFile, const QString &installDir, bool dryRun,
                  QTextStream &out, QTextStream &err, bool allowAdvisedRange)
{
    QString error;
    const std::optional<QByteArray> text = readUserFile(patchFile, &error);
    if (!text) {
        err << Program << ": " << printableText(error) << '\n';
        return ExitStatus::Failure;
    }
    const std::optional<Patch> patch = readPatch(*text, &error);
    if (!patch) {
        err << Program << ": " << printableName(patchFile) << ", " << error << '\n';
        return ExitStatus::Failure;
    }
    // Nothing is loaded in a way that writes (an interrupted save is finished
    // by a load) before a dry run has nothing to write.
    Database db;
    if (dryRun ? !loadReadOnly(db, installDir, err) : !db.load(installDir)) {
        if (!dryRun)
            err << Program << ": " << loadError(db) << '\n';
        return ExitStatus::Failure;
    }
    SaveGuard guard;
    if (!dryRun)
        guard.takeBaseline(db);
    Lookups lookups;
    lookups.build(db, QLocale::c());
    const PatchOutcome outcome = applyPatch(db, lookups, *patch, dryRun);
    for (const QString &line : outcome.conflicts)
        out << "conflict: " << line << '\n';
    if (!outcome.error.isEmpty())
        out << "refused: " << outcome.error << '\n';
    if (!outcome.ok()) {
        out << "Nothing was written.\n";
        return ExitStatus::Problems;
    }
    if (!adviceAllowed(outcome.advice, allowAdvisedRange, out))
        return ExitStatus::Problems;
    for (const QString &line : outcome.changes)
        out << (dryRun ? "would change: " : "changed: ") << line << '\n';
    for (const QString &line : outcome.skipped)
        out << "skipped: " << line << '\n';
    if (dryRun || outcome.changes.isEmpty())
        return ExitStatus::Success;
    if (const int status = saveForCommand(db, guard, err); status != ExitStatus::Success)
        return status;
    out << "Applied " << printableName(patchFile) << ": " << outcome.changes.size()
        << " changes saved.\n";
    return ExitStatus::Success;
}

} // namespace kx3
