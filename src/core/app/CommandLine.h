#pragma once

#include <QString>
#include <QStringList>

#include <cstdint>

class QTextStream;

namespace kx3 {

class Database;
class SaveGuard;
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
    /// --apply-patch and --import-csv store values outside their advised ranges.
    bool allowAdvisedRange = false;
    QString error;

    /// Only the window needs a display; every other action runs without one.
    bool opensWindow() const { return action == Action::OpenWindow; }
};

/// The program's version, as the splash screen shows it.
QString programVersion();

/// The arguments of main() as texts, the program first. A folder whose name
/// is not UTF-8 (or a file in one) comes as a path through a handle on it,
/// which printableName() prints as the bytes given.
QStringList argumentList(int argc, char *argv[]);

/// A file or folder name as an output line shows it: as it is when it holds
/// only printable text, otherwise in double quotes with control characters,
/// bytes that are not UTF-8, quotes and backslashes escaped C-style ("\n",
/// "\xe9"), so that no name can start a line of its own.
QString printableName(const QString &path);
/// A message that may hold names (the loader's): each control character
/// escaped, each folder opened by handle named by its bytes.
QString printableText(const QString &text);

/// The working folder; empty, with `error` saying why, when it is gone or
/// cannot be read.
QString workingFolder(QString *error);

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

/// --apply-patch PATCH DIR [--dry-run] [--allow-advised-range]: 0 applied or
/// nothing to do, 1 conflicts, a refused change or (unless allowed) a value
/// outside its advised range (nothing written), 2 cannot load, read or write.
int runApplyPatch(const QString &patchFile, const QString &installDir, bool dryRun,
                  QTextStream &out, QTextStream &err, bool allowAdvisedRange = false);

/// Why `db` could not be loaded, in one line: the file, the system's reason
/// and, when another program edits the installation, which one.
QString loadError(const Database &db);

/// Saves `db` as the editor does, for a command that changed it, unless it
/// now has integrity errors `guard` did not see at load. The exit status:
/// Problems (nothing written, the new errors on `err`) or Failure (the
/// reason on `err`) when it did not save.
int saveForCommand(Database &db, const SaveGuard &guard, QTextStream &err);

/// --export-csv KIND FILE DIR: 0 written, 2 cannot load or write.
int runExportCsv(TableKind kind, const QString &csvFile, const QString &installDir,
                 QTextStream &out, QTextStream &err);

/// --import-csv KIND FILE DIR [--dry-run] [--allow-advised-range]: 0 done or
/// nothing to do, 1 refused rows or (unless allowed) a value outside its
/// advised range (nothing written), 2 cannot load, read or write.
int runImportCsv(TableKind kind, const QString &csvFile, const QString &installDir, bool dryRun,
                 QTextStream &out, QTextStream &err, bool allowAdvisedRange = false);

/// Prints `advice`, one "warning: " line each; false when there is some and
/// `allowed` is not set, after saying that nothing is written.
bool adviceAllowed(const QStringList &advice, bool allowed, QTextStream &out);

} // namespace kx3
