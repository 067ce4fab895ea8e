// The window-less commands that carry a table out to a spreadsheet and back.
#include "core/app/CommandLine.h"

#include "core/changes/DatabaseDiff.h"
#include "core/db/Database.h"
#include "core/db/DiskOps.h"
#include "core/lookup/Lookups.h"
#include "core/records/SaveGuard.h"
#include "core/table/RecordTable.h"
#include "core/table/TableEdit.h"

#include <QFile>
#include <QTextStream>

namespace kx3 {

namespace {

const QString Program = QStringLiteral("kx3edit");

} // namespace

int runExportCsv(TableKind kind, const QString &csvFile, const QString &installDir,
                 QTextStream &out, QTextStream &err)
{
    Database db;
    QString error;
    if (!loadDataFolder(db, installDir, &error)) {
        err << Program << ": " << printableText(error) << '\n';
        return ExitStatus::Failure;
    }
    Lookups lookups;
    lookups.build(db, QLocale::c());
    const RecordTable table(db, lookups, kind);
    if (const Failure failure = saveWholeFile(csvFile, exportCsv(table))) {
        err << Program << ": cannot write " << printableName(csvFile) << " (" << *failure << ")\n";
        return ExitStatus::Failure;
    }
    out << "Wrote " << printableName(csvFile) << ": " << table.rowCount() << ' '
        << tableKindNoun(kind) << ".\n";
    return ExitStatus::Success;
}

int runImportCsv(TableKind kind, const QString &csvFile, const QString &installDir, bool dryRun,
                 QTextStream &out, QTextStream &err, bool allowAdvisedRange)
{
    QString error;
    const std::optional<QByteArray> read = readUserFile(csvFile, &error);
    if (!read) {
        err << Program << ": " << printableText(error) << '\n';
        return ExitStatus::Failure;
    }
    const QByteArray &csv = *read;
    // A dry run loads nothing in a way that writes (a load finishes an
    // interrupted save): it has nothing to write.
    Database db;
    if (dryRun ? !loadDataFolder(db, installDir, &error) : !db.load(installDir)) {
        err << Program << ": " << (dryRun ? printableText(error) : loadError(db)) << '\n';
        return ExitStatus::Failure;
    }
    SaveGuard guard;
    if (!dryRun)
        guard.takeBaseline(db);
    Lookups lookups;
    lookups.build(db, QLocale::c());
    RecordTable table(db, lookups, kind);
    const TableEditOutcome outcome = importCsv(db, lookups, table, csv, dryRun);
    for (const QString &line : outcome.refused)
        out << "refused: " << printableName(csvFile) << ", " << line << '\n';
    if (!outcome.ok()) {
        out << "Nothing was written.\n";
        return ExitStatus::Problems;
    }
    if (!adviceAllowed(outcome.advice, allowAdvisedRange, out))
        return ExitStatus::Problems;
    for (const QString &line : diffLines(outcome.changes))
        out << (dryRun ? "would change: " : "changed: ") << line << '\n';
    if (dryRun || outcome.changes.isEmpty()) {
        if (outcome.changes.isEmpty())
            out << "Nothing to change.\n";
        return ExitStatus::Success;
    }
    if (const int status = saveForCommand(db, guard, err); status != ExitStatus::Success)
        return status;
    out << "Imported " << printableName(csvFile) << ": " << outcome.changes.records.size()
        << " records changed and saved.\n";
    return ExitStatus::Success;
}

} // namespace kx3
