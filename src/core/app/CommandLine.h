#pragma once

#include <QString>
#include <QStringList>

#include <cstdint>

class QTextStream;

namespace kx3 {

class Database;
enum class TableKind : std::uint8_t;

/// Exit statuses of the program.
namespace ExitStatus {
inline constexpr int Success = 0;
/// --check found errors.
inline constexpr int Problems = 1;
/// Bad arguments, or a database that cannot be loaded.
inline constexpr int Failure = 2;
} // namespace ExitStatus

/// What the program's arguments ask for.
struct CommandLine
{
    enum class Action {
        OpenWindow, ///< the editor's window, on installDir when one was given
        Check,      ///< check installDir's database without a window
        Diff,       ///< list what differs from installDir to otherDir
        MakePatch,  ///< write patchFile: the changes from installDir to otherDir
        ApplyPatch, ///< apply patchFile to installDir
        ExportCsv,  ///< write the tableKind table of installDir to patchFile
        ImportCsv,  ///< write the CSV file patchFile into installDir
        Help,
        Version,
        Invalid, ///< error says why
    };

    Action action = Action::OpenWindow;
    /// The installation folder given, made absolute; empty when none was.
    QString installDir;
    /// The second folder of --diff and --make-patch (NEW).
    QString otherDir;
    /// The patch of --make-patch and --apply-patch, the CSV file of --export-csv and --import-csv.
    QString patchFile;
    /// The table of --export-csv and --import-csv, by its command-line name.
    QString tableKind;
    /// --apply-patch and --import-csv only check and list.
    bool dryRun = false;
    QString error;

    /// Only the window needs a display; every other action runs without one.
    bool opensWindow() const { return action == Action::OpenWindow; }
};

/// The program's version, as the splash screen shows it.
QString programVersion();

/// The arguments of main() as texts, the program first.
QStringList argumentList(int argc, char *argv[]);

/// Reads the arguments (the program first). Qt's own window options
/// (-platform, -style...) are accepted and left to the application.
CommandLine parseCommandLine(const QStringList &arguments);

/// Runs an action that needs no window; returns the exit status.
int runCommandLine(const CommandLine &command, QTextStream &out, QTextStream &err);

/// Loads the database of `installDir`, checks it and prints one line per
/// problem and a summary to `out`. Returns 0 when it has no errors (notes
/// allowed), 1 when it has errors, 2 when it cannot be loaded (the reason on
/// `err`).
int runIntegrityCheck(const QString &installDir, QTextStream &out, QTextStream &err);

/// --diff OLD NEW: one line per changed field, added or removed record.
/// 0 when the databases read the same, 1 when they differ, 2 when one cannot
/// be loaded.
int runDiff(const QString &oldDir, const QString &newDir, QTextStream &out, QTextStream &err);

/// --make-patch PATCH OLD NEW: 0 written, 2 cannot load or write.
int runMakePatch(const QString &patchFile, const QString &oldDir, const QString &newDir,
                 QTextStream &out, QTextStream &err);

/// --apply-patch PATCH DIR [--dry-run]: 0 applied or nothing to do, 1
/// conflicts or a refused change (nothing written), 2 cannot load, read or
/// write.
int runApplyPatch(const QString &patchFile, const QString &installDir, bool dryRun,
                  QTextStream &out, QTextStream &err);

/// Saves `db` as the editor does, for a command that changed it; false, with
/// the reason on `err`, when it cannot.
bool saveForCommand(Database &db, QTextStream &err);

/// --export-csv KIND FILE DIR: 0 written, 2 cannot load or write.
int runExportCsv(TableKind kind, const QString &csvFile, const QString &installDir,
                 QTextStream &out, QTextStream &err);

/// --import-csv KIND FILE DIR [--dry-run]: 0 done or nothing to do, 1 refused
/// rows (nothing written), 2 cannot load, read or write.
int runImportCsv(TableKind kind, const QString &csvFile, const QString &installDir, bool dryRun,
                 QTextStream &out, QTextStream &err);

} // namespace kx3
