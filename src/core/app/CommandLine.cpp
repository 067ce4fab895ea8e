#include "core/app/CommandLine.h"

#include "core/table/RecordTable.h"

#include "core/db/Database.h"
#include "core/records/IntegrityCheck.h"

#include <QCommandLineOption>
#include <QCommandLineParser>
#include <QDir>
#include <QFileInfo>
#include <QTextStream>

namespace kx3 {

namespace {

const QString Program = QStringLiteral("kx3edit");

/// "players, staff, ... or officials".
QString tableKindNames()
{
    QStringList names;
    for (TableKind kind : AllTableKinds)
        names.append(QLatin1String(tableKindName(kind)));
    const QString last = names.takeLast();
    return names.join(QStringLiteral(", ")) + QStringLiteral(" or ") + last;
}

/// The options, shared by parsing and the help text.
struct Options
{
    QCommandLineOption help{{QStringLiteral("h"), QStringLiteral("help")},
                            QStringLiteral("Shows this help.")};
    QCommandLineOption version{{QStringLiteral("v"), QStringLiteral("version")},
                               QStringLiteral("Shows the version.")};
    QCommandLineOption check{
        QStringLiteral("check"),
        QStringLiteral("Checks the database of DIR (default: the current folder) without "
                       "opening a window: one line per problem, then a summary. Exit status "
                       "0 when it has no errors, 1 when it has, 2 when it cannot be loaded.")};
    QCommandLineOption diff{
        QStringLiteral("diff"),
        QStringLiteral("With two folders OLD NEW (installation or Data folders): prints one "
                       "line per field that differs, \"<kind> <record>: <field>: <old> -> "
                       "<new>\", and \"<kind> <record>: added\" or \"removed\". Exit status "
                       "0 when they read the same, 1 when they differ, 2 when one cannot be "
                       "loaded.")};
    QCommandLineOption makePatch{
        QStringLiteral("make-patch"),
        QStringLiteral("With two folders OLD NEW: writes PATCH, a JSON file of every change "
                       "from OLD to NEW that --apply-patch carries to another installation. "
                       "Exit status 0 written, 2 cannot load or write."),
        QStringLiteral("PATCH")};
    QCommandLineOption applyPatch{
        QStringLiteral("apply-patch"),
        QStringLiteral("Applies PATCH to the installation DIR and saves it, all or nothing: a "
                       "record DIR does not have, or a field that is neither the patch's old "
                       "nor its new value, is a conflict and nothing is written. Exit status 0 "
                       "applied (or nothing to do), 1 conflicts, 2 cannot load, read or write."),
        QStringLiteral("PATCH")};
    QCommandLineOption exportCsv{
        QStringLiteral("export-csv"),
        QStringLiteral("With FILE DIR: writes the KIND table (%1) of DIR's database to FILE "
                       "as CSV (UTF-8, a first column Index, a header of column names). Exit "
                       "status 0 written, 2 cannot load or write.")
            .arg(tableKindNames()),
        QStringLiteral("KIND")};
    QCommandLineOption importCsv{
        QStringLiteral("import-csv"),
        QStringLiteral("With FILE DIR: writes the changes of the CSV file FILE into the KIND "
                       "table of DIR's database and saves it, all or nothing (columns in any "
                       "order, rows found by Index or by their names). Exit status 0 done, 1 "
                       "refused rows (nothing written), 2 cannot load, read or write."),
        QStringLiteral("KIND")};
    QCommandLineOption dryRun{
        QStringLiteral("dry-run"),
        QStringLiteral("With --apply-patch or --import-csv: prints what would change and "
                       "writes nothing.")};
    QCommandLineOption allowAdvisedRange{
        QStringLiteral("allow-advised-range"),
        QStringLiteral("With --apply-patch or --import-csv: stores values outside the range "
                       "their screen advises (\"Finishing 25 is outside 0 - 20\"), each "
                       "printed as a warning. Without it such a value is printed, nothing is "
                       "written and the exit status is 1.")};
    QList<QCommandLineOption> qtOptions;

    Options()
    {
        // Options QApplication takes for itself; they reach the parser first
        // because the parser decides whether a window is made at all.
        for (const char *name : {"platform", "platformpluginpath", "platformtheme", "plugin",
                                 "qwindowgeometry", "qwindowicon", "qwindowtitle", "display",
                                 "geometry", "style", "stylesheet", "session", "name", "title"}) {
            qtOptions.append(
                QCommandLineOption(QString::fromLatin1(name), QString(), QStringLiteral("value")));
        }
        for (const char *name : {"reverse", "widgetcount", "nograb", "dograb", "sync"})
            qtOptions.append(QCommandLineOption(QString::fromLatin1(name)));
        for (QCommandLineOption &option : qtOptions)
            option.setFlags(QCommandLineOption::HiddenFromHelp);
    }

    void addTo(QCommandLineParser &parser) const
    {
        parser.setApplicationDescription(
            QStringLiteral("Edits the pre-game database of Kickora 3 and Kickora 99/00."));
        // Qt's window options are spelled with one dash (-platform): every
        // option is read as a long one, and -h, -v still work.
        parser.setSingleDashWordOptionMode(QCommandLineParser::ParseAsLongOptions);
        parser.addOptions({help, version, check, diff, makePatch, applyPatch, exportCsv, importCsv,
                           dryRun, allowAdvisedRange});
        parser.addOptions(qtOptions);
        parser.addPositionalArgument(
            QStringLiteral("DIR"),
            QStringLiteral("The game's installation folder, the one holding Data. Opens it "
                           "without looking the game up; without DIR the editor looks for "
                           "the game the way the installer recorded it."),
            QStringLiteral("[DIR]"));
    }
};

CommandLine invalid(const QString &error)
{
    CommandLine c;
    c.action = CommandLine::Action::Invalid;
    c.error = error;
    return c;
}

QString noWorkingFolder(const QString &why)
{
    return QStringLiteral("The working folder cannot be read (%1).").arg(why);
}

QString printableNames(const QStringList &names)
{
    QStringList printable;
    for (const QString &name : names)
        printable.append(printableName(name));
    return printable.join(QLatin1Char(' '));
}

QString counted(qsizetype n, const char *one, const char *many)
{
    return n == 0 ? QStringLiteral("no %1").arg(QLatin1String(many))
                  : QStringLiteral("%1 %2").arg(n).arg(QLatin1String(n == 1 ? one : many));
}

} // namespace

QString programVersion()
{
    return QStringLiteral(KX3_VERSION);
}

CommandLine parseCommandLine(const QStringList &arguments)
{
    const Options options;
    QCommandLineParser parser;
    options.addTo(parser);
    if (!parser.parse(arguments))
        return invalid(parser.errorText());

    CommandLine c;
    if (parser.isSet(options.help)) {
        c.action = CommandLine::Action::Help;
        return c;
    }
    if (parser.isSet(options.version)) {
        c.action = CommandLine::Action::Version;
        return c;
    }
    // One action at a time: two would leave which runs to the order of the
    // checks below, and the other silently undone.
    QStringList actions;
    for (const QCommandLineOption *o : {&options.check, &options.diff, &options.makePatch,
                                        &options.applyPatch, &options.exportCsv,
                                        &options.importCsv}) {
        if (parser.isSet(*o))
            actions.append(QStringLiteral("--") + o->names().constFirst());
    }
    if (actions.size() > 1)
        return invalid(QStringLiteral("One action at a time, not %1.")
                           .arg(actions.join(QStringLiteral(" and "))));
    // An option of an action given without it would open the window instead.
    const bool writes = parser.isSet(options.applyPatch) || parser.isSet(options.importCsv);
    for (const QCommandLineOption *o : {&options.dryRun, &options.allowAdvisedRange}) {
        if (parser.isSet(*o) && !writes)
            return invalid(QStringLiteral("--%1 goes with --apply-patch or --import-csv.")
                               .arg(o->names().constFirst()));
    }
    const QStringList folders = parser.positionalArguments();
    // A relative name is found in the working folder, which may be gone: then
    // it is refused, never taken from the root of the file system.
    QString whyNoWorkingFolder;
    auto absolute = [&](const QString &name) {
        if (!QDir::isRelativePath(name))
            return QDir::cleanPath(name);
        const QString working = workingFolder(&whyNoWorkingFolder);
        return working.isEmpty() ? QString() : QDir::cleanPath(QDir(working).filePath(name));
    };
    QString folderError;
    auto folderAt = [&](qsizetype i, QString &into) {
        const QString path = absolute(folders.at(i));
        if (path.isEmpty()) {
            folderError = noWorkingFolder(whyNoWorkingFolder);
            return false;
        }
        if (!QFileInfo(path).isDir()) {
            folderError = QStringLiteral("%1 is not a folder.").arg(printableName(folders.at(i)));
            return false;
        }
        into = path;
        return true;
    };
    const bool twoFolders = parser.isSet(options.diff) || parser.isSet(options.makePatch);
    if (twoFolders) {
        if (folders.size() != 2)
            return invalid(QStringLiteral("Two folders are needed, OLD and NEW."));
        c.action = parser.isSet(options.diff) ? CommandLine::Action::Diff
                                              : CommandLine::Action::MakePatch;
        c.patchFile = parser.value(options.makePatch);
        for (qsizetype i = 0; i < 2; ++i) {
            if (!folderAt(i, i == 0 ? c.installDir : c.otherDir))
                return invalid(folderError);
        }
        return c;
    }
    if (parser.isSet(options.exportCsv) || parser.isSet(options.importCsv)) {
        const bool exporting = parser.isSet(options.exportCsv);
        const QString kind = parser.value(exporting ? options.exportCsv : options.importCsv);
        if (!tableKindFromName(kind))
            return invalid(QStringLiteral("No table '%1': %2.").arg(kind, tableKindNames()));
        if (folders.size() != 2)
            return invalid(QStringLiteral("A CSV file and an installation folder are needed, "
                                          "FILE and DIR."));
        c.action = exporting ? CommandLine::Action::ExportCsv : CommandLine::Action::ImportCsv;
        c.tableKind = kind;
        c.patchFile = absolute(folders.at(0));
        if (c.patchFile.isEmpty())
            return invalid(noWorkingFolder(whyNoWorkingFolder));
        c.dryRun = parser.isSet(options.dryRun);
        c.allowAdvisedRange = parser.isSet(options.allowAdvisedRange);
        if (!folderAt(1, c.installDir))
            return invalid(folderError);
        return c;
    }
    if (folders.size() > 1) {
        return invalid(QStringLiteral("One installation folder at most, not %1: %2")
                           .arg(folders.size())
                           .arg(printableNames(folders)));
    }
    if (!folders.isEmpty() && !folderAt(0, c.installDir))
        return invalid(folderError);
    if (parser.isSet(options.applyPatch)) {
        if (folders.isEmpty())
            return invalid(QStringLiteral("--apply-patch needs the installation folder DIR."));
        c.action = CommandLine::Action::ApplyPatch;
        c.patchFile = parser.value(options.applyPatch);
        c.dryRun = parser.isSet(options.dryRun);
        c.allowAdvisedRange = parser.isSet(options.allowAdvisedRange);
        return c;
    }
    if (parser.isSet(options.check)) {
        c.action = CommandLine::Action::Check;
        if (c.installDir.isEmpty()) {
            c.installDir = workingFolder(&whyNoWorkingFolder);
            if (c.installDir.isEmpty())
                return invalid(noWorkingFolder(whyNoWorkingFolder));
        }
    }
    return c;
}

int runCommandLine(const CommandLine &command, QTextStream &out, QTextStream &err)
{
    switch (command.action) {
    case CommandLine::Action::Help: {
        const Options options;
        QCommandLineParser parser;
        options.addTo(parser);
        out << parser.helpText();
        return ExitStatus::Success;
    }
    case CommandLine::Action::Version:
        out << "KX3 Pre-Data Editor " << programVersion() << '\n';
        return ExitStatus::Success;
    case CommandLine::Action::Check: return runIntegrityCheck(command.installDir, out, err);
    case CommandLine::Action::Diff: return runDiff(command.installDir, command.otherDir, out, err);
    case CommandLine::Action::MakePatch:
        return runMakePatch(command.patchFile, command.installDir, command.otherDir, out, err);
    case CommandLine::Action::ApplyPatch:
        return runApplyPatch(command.patchFile, command.installDir, command.dryRun, out, err,
                             command.allowAdvisedRange);
    case CommandLine::Action::ExportCsv:
        return runExportCsv(*tableKindFromName(command.tableKind), command.patchFile,
                            command.installDir, out, err);
    case CommandLine::Action::ImportCsv:
        return runImportCsv(*tableKindFromName(command.tableKind), command.patchFile,
                            command.installDir, command.dryRun, out, err,
                            command.allowAdvisedRange);
    case CommandLine::Action::Invalid:
        err << Program << ": " << printableText(command.error) << '\n'
            << "Try '" << Program << " --help' for more information.\n";
        return ExitStatus::Failure;
    case CommandLine::Action::OpenWindow: break;
    }
    err << Program << ": this action needs the window\n";
    return ExitStatus::Failure;
}

bool adviceAllowed(const QStringList &advice, bool allowed, QTextStream &out)
{
    for (const QString &line : advice)
        out << "warning: " << printableText(line) << '\n';
    if (advice.isEmpty() || allowed)
        return true;
    out << "Nothing was written: values outside their advised ranges are stored only with "
           "--allow-advised-range.\n";
    return false;
}

QString loadError(const Database &db)
{
    QString error = db.errorString();
    if (!db.errorDetail().isEmpty())
        error += QStringLiteral(" (%1)").arg(db.errorDetail());
    if (!db.lockHolder().isEmpty() && !error.contains(db.lockHolder()))
        error += QStringLiteral(" (%1)").arg(db.lockHolder());
    return printableText(error);
}

int runIntegrityCheck(const QString &installDir, QTextStream &out, QTextStream &err)
{
    // A check never writes: not even to finish a save another run left.
    Database db;
    bool interrupted = false;
    if (!db.loadReadOnly(installDir, {}, &interrupted)) {
        err << Program << ": " << loadError(db) << '\n';
        return ExitStatus::Failure;
    }
    // Enough to see what is wrong without flooding a terminal when a whole
    // table is shifted; the summary counts everything.
    IntegrityOptions options;
    options.limit = 1000;
    const IntegrityReport report = integrityReport(db, options);
    for (const IntegrityProblem &p : report.problems)
        out << (p.severity == IntegritySeverity::Error ? "error: " : "note: ") << p.text << '\n';
    const QString data = printableName(QFileInfo(db.filePath(DataFile::Index)).absolutePath());
    out << "Checked " << data << ": " << counted(report.errorCount, "error", "errors") << ", "
        << counted(report.noteCount, "note", "notes") << ".\n";
    // Files a save left that nothing can tell old from new, or a save that
    // can be neither finished nor undone: the user must look.
    if (db.recovery() == SaveRecovery::Kept || db.recovery() == SaveRecovery::Failed) {
        out << printableText(db.recoveryNote()) << '\n';
        return ExitStatus::Problems;
    }
    if (interrupted) {
        out << "A save into " << data
            << " was interrupted; the files were checked as it will leave them. Opening the "
               "folder in the editor finishes it.\n";
        return ExitStatus::Problems;
    }
    return report.hasErrors() ? ExitStatus::Problems : ExitStatus::Success;
}

} // namespace kx3
