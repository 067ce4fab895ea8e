#pragma once

#include <QString>
#include <QStringList>

class QTextStream;

namespace kx3 {

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
        Help,
        Version,
        Invalid, ///< error says why
    };

    Action action = Action::OpenWindow;
    /// The installation folder given, made absolute; empty when none was.
    QString installDir;
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

} // namespace kx3
